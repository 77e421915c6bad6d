#pragma once

#include "ui/controls.h"

#include <functional>
#include <memory>

namespace voltaris {

enum class TMouseButton { Left, Right, Middle };
using TMouseEvent = std::function<void(TControl &sender, TMouseButton button)>;

// A flat button that repeats its click while it is held down: first after
// 400 ms, then every 100 ms, as long as it is shown pressed and holds the
// mouse. The window system reports presses, moves and releases.
class TTimerSpeedButton : public TSpeedButton {
public:
    TTimerSpeedButton(TControl *parent, QString name);
    ~TTimerSpeedButton() override;

    static constexpr int InitialRepeatPause = 400;
    static constexpr int RepeatPause = 100;

    bool AutoRepeat = false;
    bool focusFrame() const { return focusFrame_; }
    void setFocusFrame(bool v);

    TMouseEvent OnMouseDown;

    // Shown pressed: held down with the pointer over it.
    bool down() const { return down_; }
    // Holds the mouse: pressed with the left button and not yet released.
    bool mouseCapture() const { return capture_; }
    TTimer *autoRepeatTimer() const { return timer_.get(); }

    void mouseDown(TMouseButton button);
    // The pointer moved while the button holds the mouse.
    void mouseMove(bool overButton);
    // A left-button release over the button clicks it.
    void mouseUp(TMouseButton button, bool overButton);
    void repeatTick();

private:
    // Created with the button rather than on first use: the window system
    // binds a form's timers when it builds the window, so a timer made later
    // would never tick.
    std::unique_ptr<TTimer> timer_;
    bool focusFrame_ = false;
    bool down_ = false;
    bool capture_ = false;
};

// Two stacked buttons, up above down, overlapping by one pixel.
class TSpinButton : public TWinControl {
public:
    TSpinButton(TControl *parent, QString name);
    ~TSpinButton() override;

    static constexpr int MinButtonWidth = 15;

    TTimerSpeedButton *ButtonUp() const { return up_.get(); }
    TTimerSpeedButton *ButtonDown() const { return down_.get(); }
    TTimerSpeedButton *activeButton() const { return active_; }
    TWinControl *FocusControl = nullptr;
    TNotifyEvent OnUpClick, OnDownClick;

    // An empty name restores the built-in glyph.
    void setUpGlyph(const QString &picture);
    void setDownGlyph(const QString &picture);

    // Places the buttons for a size w x h; w grows to at least 15.
    void arrangeButtons(int &w, int &h);
    // Arranges first, then takes the possibly widened size.
    void setBounds(int left, int top, int width, int height);

    void keyDown(int &key, TShiftState shift) override;
    // The focus frame follows the focus onto the active button.
    void doEnter() override;
    void doExit() override;

private:
    std::unique_ptr<TTimerSpeedButton> makeButton(const QString &name);
    void buttonPressed(TTimerSpeedButton &button, TMouseButton mouse);
    void buttonClicked(TTimerSpeedButton &button);
    void selectButton(TTimerSpeedButton *button);

    std::unique_ptr<TTimerSpeedButton> up_, down_;
    TTimerSpeedButton *active_ = nullptr;
};

} // namespace voltaris
