#include "ui/Spin.h"

#include "ui/form.h"

#include <algorithm>

namespace voltaris {

// --- TTimerSpeedButton -----------------------------------------------------

TTimerSpeedButton::TTimerSpeedButton(TControl *parent, QString name)
    : TSpeedButton(parent, std::move(name))
{
    if (TCustomForm *f = form())
        timer_ = std::make_unique<TTimer>(*f, InitialRepeatPause);
}

TTimerSpeedButton::~TTimerSpeedButton() = default;

void TTimerSpeedButton::setFocusFrame(bool v)
{
    if (v == focusFrame_)
        return;
    focusFrame_ = v;
    changed(Prop::Other); // repaint
}

void TTimerSpeedButton::mouseDown(TMouseButton button)
{
    if (!effectivelyEnabled())
        return;
    if (button == TMouseButton::Left) {
        down_ = true;
        capture_ = true;
        changed(Prop::Other);
    }
    if (OnMouseDown)
        fire([&] { OnMouseDown(*this, button); });
    if (AutoRepeat && timer_) {
        timer_->OnTimer = [this](TTimer &) { repeatTick(); };
        timer_->setInterval(InitialRepeatPause);
        timer_->setEnabled(true);
    }
}

void TTimerSpeedButton::mouseMove(bool overButton)
{
    if (!capture_ || overButton == down_)
        return;
    down_ = overButton;
    changed(Prop::Other);
}

void TTimerSpeedButton::mouseUp(TMouseButton button, bool overButton)
{
    if (button == TMouseButton::Left && capture_) {
        capture_ = false;
        down_ = false;
        changed(Prop::Other);
        if (overButton)
            click();
    }
    if (timer_)
        timer_->setEnabled(false);
}

void TTimerSpeedButton::repeatTick()
{
    timer_->setInterval(RepeatPause);
    if (!down_ || !capture_)
        return;
    try {
        click();
    } catch (...) {
        // A failing step must not repeat its error ten times a second.
        timer_->setEnabled(false);
        throw;
    }
}

// --- TSpinButton -----------------------------------------------------------

TSpinButton::TSpinButton(TControl *parent, QString name)
    : TWinControl(parent, std::move(name))
{
    setTabStop(false);
    TControl::setBounds(0, 0, 20, 25);
    up_ = makeButton(QStringLiteral("ButtonUp"));
    down_ = makeButton(QStringLiteral("ButtonDown"));
    active_ = up_.get();
    setUpGlyph(QString());
    setDownGlyph(QString());
    int w = width(), h = height();
    arrangeButtons(w, h);
}

TSpinButton::~TSpinButton() = default;

std::unique_ptr<TTimerSpeedButton> TSpinButton::makeButton(const QString &name)
{
    auto b = std::make_unique<TTimerSpeedButton>(this, name);
    TTimerSpeedButton *raw = b.get();
    b->OnClick = [this, raw](TControl &) { buttonClicked(*raw); };
    b->OnMouseDown = [this, raw](TControl &, TMouseButton m) { buttonPressed(*raw, m); };
    b->AutoRepeat = true;
    return b;
}

void TSpinButton::setUpGlyph(const QString &picture)
{
    up_->setPicture(picture.isEmpty() ? QStringLiteral("SpinUp") : picture);
}

void TSpinButton::setDownGlyph(const QString &picture)
{
    down_->setPicture(picture.isEmpty() ? QStringLiteral("SpinDown") : picture);
}

void TSpinButton::arrangeButtons(int &w, int &h)
{
    if (!up_ || !down_)
        return;
    w = std::max(w, MinButtonWidth);
    up_->setBounds(0, 0, w, h / 2);
    down_->setBounds(0, up_->height() - 1, w, h - up_->height() + 1);
}

void TSpinButton::setBounds(int left, int top, int width, int height)
{
    arrangeButtons(width, height);
    TControl::setBounds(left, top, width, height);
}

void TSpinButton::buttonPressed(TTimerSpeedButton &button, TMouseButton mouse)
{
    if (mouse != TMouseButton::Left)
        return;
    selectButton(&button);
    if (FocusControl && FocusControl->tabStop() && FocusControl->canFocus()
        && !FocusControl->focused())
        FocusControl->setFocus();
    else if (tabStop() && !focused() && canFocus())
        setFocus();
}

void TSpinButton::selectButton(TTimerSpeedButton *button)
{
    if (!tabStop() || !canFocus() || button == active_)
        return;
    active_->setFocusFrame(false);
    active_ = button;
    if (focused())
        active_->setFocusFrame(true);
}

void TSpinButton::buttonClicked(TTimerSpeedButton &button)
{
    if (&button == up_.get()) {
        if (OnUpClick)
            fire([&] { OnUpClick(*this); });
    } else if (OnDownClick) {
        fire([&] { OnDownClick(*this); });
    }
}

void TSpinButton::keyDown(int &key, TShiftState shift)
{
    if (key == vk::Space) {
        active_->click();
    } else if (key == vk::Up) {
        selectButton(up_.get());
        up_->click();
    } else if (key == vk::Down) {
        selectButton(down_.get());
        down_->click();
    }
    TWinControl::keyDown(key, shift);
}

void TSpinButton::doEnter()
{
    active_->setFocusFrame(true);
    TWinControl::doEnter();
}

void TSpinButton::doExit()
{
    active_->setFocusFrame(false);
    TWinControl::doExit();
}

} // namespace voltaris
