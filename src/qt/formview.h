#pragma once

#include "ui/form.h"

#include <QHash>
#include <QPointer>
#include <QSet>
#include <QWidget>
#include <functional>
#include <memory>

class QInputMethodEvent;
class QKeyEvent;
class QTimer;

namespace voltaris {

class FormView;

// A widget that shows one control and keeps itself in step with it beyond the
// common properties the view handles (bounds, enabled, visible, colours, font,
// hint, cursor).
class BoundWidget {
public:
    virtual ~BoundWidget() = default;
    virtual void sync(Prop what) = 0;
    // Once the view has applied every property of the new widget: one that
    // fits itself to its content does it here, not on each property.
    virtual void built() { }
};

// Builds the widget for a control, or returns nullptr when it does not know
// the control's kind.
using WidgetFactory = std::function<QWidget *(TControl &, QWidget *parent, FormView &)>;

// Shows a headless form as a Qt window: one widget per control, at its
// position, kept in step both ways. Model to widget on every change of the
// control; user input goes to the control first (focus, keys, clicks, edits),
// then the control's events run the handlers.
class FormView : public QWidget, public ControlObserver {
    Q_OBJECT
public:
    explicit FormView(TForm &form, QWidget *parent = nullptr,
        const std::vector<WidgetFactory> &extraFactories = {});
    ~FormView() override;

    TForm &form() const { return form_; }
    QWidget *widgetFor(const TControl &control) const;
    TControl *controlFor(const QWidget *widget) const;

    void changed(TControl &control, Prop what) override;

    // Plumbing for the widgets of custom kinds.
    // Routes focus and key events of `widget` to `control`; install it on
    // every widget that can take the keyboard focus (also inner editors).
    void route(QWidget *widget, TWinControl &control);
    // True while the view itself writes to widgets: their change signals are
    // then no user input.
    bool syncing() const { return syncing_ > 0; }
    // True while the properties of a new widget are applied one by one.
    bool building() const { return building_; }
    struct SyncGuard {
        explicit SyncGuard(FormView &v)
            : v_(v)
        {
            ++v_.syncing_;
        }
        ~SyncGuard() { --v_.syncing_; }
        FormView &v_;
    };
    // The colour of a colour number, resolving the system colours.
    static QColor qcolor(TColor c);
    static QFont qfont(const TFont &f);
    static Qt::Alignment qtAlignment(TAlignment a);
    // Applies the common properties of a control to its widget.
    void applyCommon(TControl &control, QWidget *w, Prop what);
    // The focus policy of a control that takes the focus, on a change of its
    // tab stop.
    static void applyTabStop(TWinControl &control, QWidget *w, Prop what);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void build(TControl &parent, QWidget *parentWidget);
    QWidget *create(TControl &control, QWidget *parentWidget);
    void syncForm(Prop what);
    void syncFocus();
    bool keyPress(TWinControl &control, QObject *target, QKeyEvent *e);
    // Types `text` into the control as if each character had been typed: the
    // control's key filter sees each one, the widget `target` takes what
    // passes. `from` is the input method's event the text came with (its
    // composition goes on after it). Returns whether anything was put in.
    bool typeText(TWinControl &control, QObject *target, const QString &text,
        const QInputMethodEvent *from = nullptr);
    // Printable characters only, no control codes.
    static bool isText(const QString &text);
    void bindTimers();

    TForm &form_;
    std::vector<WidgetFactory> factories_;
    QHash<const TControl *, QWidget *> widgets_;
    QHash<const QWidget *, TControl *> controls_;
    QHash<QObject *, TWinControl *> routed_;
    QSet<int> pressed_; // keys pressed in this window and not yet released
    QObject *mouseFocusFor_ = nullptr; // the widget a click last gave the focus
    std::vector<std::unique_ptr<QTimer>> timers_;
    QWidget *client_ = nullptr;
    int syncing_ = 0;
    bool building_ = false; // the widgets are being made
    bool committing_ = false; // typed text is handed to a widget
    bool placed_ = false;
};

} // namespace voltaris
