#pragma once

// What every control is: its place, colours, font and states, what the
// window system hears of changes, and the keyboard focus.
#include "common/colors.h"
#include "ui/application.h"

#include <QChar>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

namespace voltaris {

class TControl;
class TCustomForm;
class TTimer;

// What changed on a control, for the window system that shows it.
enum class Prop {
    Text, // text of an edit or caption of a label, button, group box, form
    Color, // background colour number
    Font, // font name, pixel size, bold, colour
    Enabled,
    Visible,
    ReadOnly,
    TabStop,
    Checked,
    Date,
    Bounds,
    Hint,
    Selection, // selection of an edit
    Items, // items of a combo box, lines of a memo
    Picture,
    Cursor,
    Alignment,
    Focus, // the form's focused control
    Raise, // a window brought to the front
    Other,
};

class ControlObserver {
public:
    virtual ~ControlObserver() = default;
    virtual void changed(TControl &control, Prop what) = 0;
};

struct TFont {
    QString name = QStringLiteral("Arial");
    int size = 17; // pixel height
    bool bold = false;
    TColor color = clr::WindowText;
    friend bool operator==(const TFont &, const TFont &) = default;
};

enum class TCursor { Default, HandPoint };
enum class TAlignment { Left, Right, Center };

// Virtual key codes of the keys the handlers and the window system speak of.
namespace vk {
constexpr int Back = 8, Tab = 9, Return = 13, Shift = 16, Control = 17, Menu = 18, Escape = 27,
              Space = 32, End = 35, Home = 36, Left = 37, Up = 38, Right = 39, Down = 40,
              Delete = 46, F5 = 116;
} // namespace vk

struct TShiftState {
    bool shift = false, ctrl = false, alt = false;
    bool none() const { return !shift && !ctrl && !alt; }
};

using TNotifyEvent = std::function<void(TControl &sender)>;
using TKeyEvent = std::function<void(TControl &sender, int &key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TControl &sender, QChar &key)>;

// A control as the window shows it: position inside its parent, colours,
// font, states. Setters raise the observer only on a real change.
class TControl {
public:
    TControl(TControl *parent, QString name);
    virtual ~TControl();
    TControl(const TControl &) = delete;
    TControl &operator=(const TControl &) = delete;

    const QString &name() const { return name_; }
    TControl *parent() const { return parent_; }
    const std::vector<TControl *> &children() const { return children_; }
    // The window the control sits on; none for a control built outside one.
    TCustomForm *form() const;
    TApplication &application() const;

    int left() const { return left_; }
    int top() const { return top_; }
    int width() const { return width_; }
    int height() const { return height_; }
    void setBounds(int left, int top, int width, int height);
    void setLeft(int v) { setBounds(v, top_, width_, height_); }
    void setTop(int v) { setBounds(left_, v, width_, height_); }
    void setWidth(int v) { setBounds(left_, top_, v, height_); }
    void setHeight(int v) { setBounds(left_, top_, width_, v); }

    bool enabled() const { return enabled_; }
    void setEnabled(bool v);
    bool visible() const { return visible_; }
    void setVisible(bool v);
    // Visible with all parents inside its window; enabled with all parents.
    bool showing() const;
    bool effectivelyEnabled() const;

    TColor color() const { return color_; }
    void setColor(TColor c);
    const TFont &font() const { return font_; }
    void setFont(const TFont &f);
    void setFontColor(TColor c);
    void setFontBold(bool bold);

    const QString &hint() const { return hint_; }
    void setHint(const QString &h);
    bool showHint() const { return showHint_; }
    void setShowHint(bool v);
    TCursor cursor() const { return cursor_; }
    void setCursor(TCursor c);

    // Text or caption; its meaning depends on the kind of control.
    const QString &text() const { return text_; }
    void setText(const QString &t);

    // What a screen reader calls the control and adds about it; where empty,
    // the window system takes the caption or the hint.
    QString accessibleName, accessibleDescription;

    void setObserver(ControlObserver *o) { observer_ = o; }
    ControlObserver *observer() const { return observer_; }
    // Further listeners beside the window system's observer, for those that
    // follow a control without showing it (a window that redraws when the log
    // changes). addListener returns the id that removes it again.
    using Listener = std::function<void(TControl &control, Prop what)>;
    int addListener(Listener listener);
    void removeListener(int id);

    // Raised on a click by the user or by code that clicks.
    TNotifyEvent OnClick;
    virtual void click();

protected:
    void changed(Prop what);
    // Called after the text really changed, before the observer hears of it.
    virtual void textChanged() { }
    // Runs an event through the application's handler entry.
    template <class F> void fire(F &&f);

    QString text_;

private:
    QString name_;
    TControl *parent_;
    std::vector<TControl *> children_;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool enabled_ = true, visible_ = true, showHint_ = false;
    TColor color_ = clr::BtnFace;
    TFont font_;
    QString hint_;
    TCursor cursor_ = TCursor::Default;
    ControlObserver *observer_ = nullptr;
    std::vector<std::pair<int, Listener>> listeners_;
    int nextListener_ = 0;
};

// A control that can hold the keyboard focus.
class TWinControl : public TControl {
public:
    using TControl::TControl;

    bool tabStop() const { return tabStop_; }
    void setTabStop(bool v);
    int tabOrder() const { return tabOrder_; }
    void setTabOrder(int v) { tabOrder_ = v; }
    // Whether the control can take the focus now: showing, enabled, and a
    // kind of control that takes the focus at all.
    virtual bool canFocus() const;
    virtual bool takesFocus() const { return true; }
    bool focused() const;
    void setFocus();

    TNotifyEvent OnEnter, OnExit;
    TKeyEvent OnKeyDown, OnKeyUp;
    TKeyPressEvent OnKeyPress;

    // Called by the form as the focus comes and goes.
    virtual void doEnter();
    virtual void doExit();
    // The keyboard as the window system delivers it to the focused control.
    virtual void keyDown(int &key, TShiftState shift);
    virtual void keyPress(QChar &key);
    virtual void keyUp(int &key, TShiftState shift);
    // Whether the control takes Enter itself instead of the default button.
    virtual bool wantsReturn() const { return false; }

private:
    bool tabStop_ = false;
    int tabOrder_ = 0;
};

// The window a control sits on, as its controls see it: the application it
// belongs to, the keyboard focus and the timers it runs. TForm (ui/form.h) is
// the window; the controls know it only by this, so that it can know them.
class TCustomForm : public TWinControl {
public:
    using TWinControl::TWinControl;

    virtual TApplication &app() const = 0;
    // The control with the keyboard focus, or none.
    virtual TWinControl *activeControl() const = 0;
    // Moves the focus (see TForm::setFocusTo).
    virtual void setFocusTo(TWinControl *control, bool byMouse = false) = 0;
    // Whether the focus last came by a left mouse button press.
    virtual bool focusByMouse() const = 0;
    virtual void registerTimer(TTimer *timer, bool add) = 0;
};

template <class F> void TControl::fire(F &&f)
{
    application().handle(std::forward<F>(f));
}

} // namespace voltaris
