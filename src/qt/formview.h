#pragma once

#include "ui/form.h"

#include <QHash>
#include <QPointer>
#include <QSet>
#include <QWidget>
#include <functional>
#include <memory>

class QKeyEvent;
class QLabel;
class QPlainTextEdit;
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
    // Applies the common properties of a control to its widget.
    void applyCommon(TControl &control, QWidget *w, Prop what);

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
    void syncBuiltin(TControl &control, QWidget *w, Prop what);
    void syncForm(Prop what);
    void fitLabel(const TLabel &label, QLabel *w);
    void fitMemo(const TMemo &memo, QPlainTextEdit *w);
    void syncFocus();
    bool keyPress(TWinControl &control, QWidget *w, QKeyEvent *e);
    void bindTimers();
    void placeWindow();
    QSize clientExtent() const;

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
    bool placed_ = false;
};

// Maps a Qt key to the control's virtual key code (0 when there is none).
int virtualKey(int qtKey);
// The character a key press types, as the control's key filter sees it:
// Backspace 8, Tab 9, Enter 13, Escape 27, Ctrl+letter 1..26, else the text.
QChar typedChar(const QKeyEvent &e);

} // namespace voltaris
