#pragma once

#include "qt/widgetsite.h"
#include "ui/form.h"

#include <QHash>
#include <QPointer>
#include <QSet>
#include <QWidget>
#include <memory>

class QInputMethodEvent;
class QKeyEvent;
class QTimer;

namespace voltaris {

// Shows a headless form as a Qt window: one widget per control, at its
// position, kept in step both ways. Model to widget on every change of the
// control; user input goes to the control first (focus, keys, clicks, edits),
// then the control's events run the handlers.
class FormView : public QWidget, public ControlObserver, public WidgetSite {
    Q_OBJECT
public:
    explicit FormView(TForm &form, QWidget *parent = nullptr,
        const std::vector<WidgetFactory> &extraFactories = {});
    ~FormView() override;

    TForm &form() const { return form_; }
    QWidget *widgetFor(const TControl &control) const;
    TControl *controlFor(const QWidget *widget) const;

    void changed(TControl &control, Prop what) override;

    // What the widgets need of the view (see WidgetSite).
    void route(QWidget *widget, TWinControl &control) override;

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
    bool committing_ = false; // typed text is handed to a widget
    bool placed_ = false;
};

} // namespace voltaris
