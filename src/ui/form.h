#pragma once

#include "ui/application.h"
#include "ui/controls.h"

namespace voltaris {

class TBitBtn;

enum class TPosition { Designed, ScreenCenter, MainFormCenter };
enum class TBorderStyle { Sizeable, Dialog };

struct TBorderIcons {
    bool systemMenu = true, minimize = true, maximize = true;
};

struct TSizeConstraints {
    int minWidth = 0, maxWidth = 0, minHeight = 0, maxHeight = 0; // 0: no limit
};

// A window: caption (the text), client size, frame, and the keyboard focus.
class TForm : public TCustomForm {
public:
    TForm(TApplication &app, QString name);
    ~TForm() override;

    TApplication &app() const override { return app_; }

    int clientWidth() const { return clientWidth_; }
    int clientHeight() const { return clientHeight_; }
    void setClientSize(int width, int height);
    // Screen position of the window's outer frame.
    int screenLeft() const { return screenLeft_; }
    int screenTop() const { return screenTop_; }
    void setScreenPos(int left, int top);
    int borderWidth = 0;
    // The outer size of the design (frame included); 0 when not known.
    int outerWidth = 0, outerHeight = 0;
    TPosition position = TPosition::Designed;
    TBorderStyle borderStyle = TBorderStyle::Sizeable;
    TBorderIcons borderIcons;
    TSizeConstraints constraints;
    QString icon;

    // Showing and hiding; a window is created hidden.
    void show();
    void hide();
    void close() { hide(); }
    void bringToFront();
    bool takesFocus() const override { return false; }

    // The control with the keyboard focus, or none.
    TWinControl *activeControl() const override { return active_; }
    // Moves the focus: the old control's exit runs first, then the new one's
    // enter. An exit handler may move the focus elsewhere (or keep it); then
    // that move wins.
    void setFocusTo(TWinControl *control, bool byMouse = false) override;
    // Whether the focus last came by a left mouse button press.
    bool focusByMouse() const override { return focusByMouse_; }
    // The focus cycle: controls with a tab stop that can take the focus, in
    // tab order, depth first.
    std::vector<TWinControl *> tabCycle() const;
    void selectNext(bool forward);

    // The default button takes Enter (without modifiers) from every control
    // that neither is a push button nor takes Enter itself, while it is
    // enabled. Returns whether the key was used.
    bool dialogKey(int key, TShiftState shift);
    TBitBtn *defaultButton() const;

    // The keyboard as the window system delivers it, to the focused control:
    // the key-down (Tab moving the focus and Enter for the default button
    // come after the control's own key-down), the typed character, and the
    // release. userKeyDown returns whether the key was used up (a handler
    // that cleared the key; a key of 0, which has no code, never is);
    // userKeyPress the character that reaches the control's text (code 0:
    // swallowed).
    bool userKeyDown(int key, TShiftState shift);
    // A key of the whole window (a shortcut), offered after the focused
    // control left it: true when it was used.
    std::function<bool(int key, TShiftState shift)> OnShortCut;
    QChar userKeyPress(QChar ch);
    void userKeyUp(int key, TShiftState shift);

    // Called by the window system when the window's size changed.
    TNotifyEvent OnResize;
    void userResized(int clientWidth, int clientHeight);
    // Asked before the user closes the window.
    std::function<void(TControl &, bool &canClose)> OnCloseQuery;
    bool userClose();

    const std::vector<TTimer *> &timers() const { return timers_; }
    void registerTimer(TTimer *timer, bool add) override;

private:
    TApplication &app_;
    std::vector<TTimer *> timers_;
    bool focusByMouse_ = false;
    int clientWidth_ = 0, clientHeight_ = 0;
    int screenLeft_ = 0, screenTop_ = 0;
    TWinControl *active_ = nullptr;
    TWinControl *exiting_ = nullptr;
    quint64 focusSerial_ = 0;
};

} // namespace voltaris
