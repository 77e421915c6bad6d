#include "ui/form.h"

#include <algorithm>

namespace voltaris {

TForm::TForm(TApplication &app, QString name)
    : TCustomForm(nullptr, std::move(name))
    , app_(app)
{
    setVisible(false);
}

TForm::~TForm() = default;

void TForm::setClientSize(int width, int height)
{
    if (width == clientWidth_ && height == clientHeight_)
        return;
    clientWidth_ = width;
    clientHeight_ = height;
    changed(Prop::Bounds);
}

void TForm::setScreenPos(int left, int top)
{
    if (left == screenLeft_ && top == screenTop_)
        return;
    screenLeft_ = left;
    screenTop_ = top;
    changed(Prop::Bounds);
}

void TForm::show()
{
    if (visible()) {
        bringToFront();
        return;
    }
    setVisible(true);
    // A window that opens takes the focus to the first control of its cycle.
    if (!active_) {
        const auto cycle = tabCycle();
        if (!cycle.empty())
            setFocusTo(cycle.front());
    }
}

void TForm::hide()
{
    setVisible(false);
}

void TForm::bringToFront()
{
    changed(Prop::Raise);
}

void TForm::registerTimer(TTimer *timer, bool add)
{
    if (add)
        timers_.push_back(timer);
    else
        timers_.erase(std::remove(timers_.begin(), timers_.end(), timer), timers_.end());
}

void TForm::setFocusTo(TWinControl *control, bool byMouse)
{
    ++focusSerial_;
    focusByMouse_ = byMouse;
    if (control == active_) {
        // Also the exit handler that keeps the focus in its own control.
        changed(Prop::Focus);
        return;
    }
    const quint64 serial = focusSerial_;
    if (active_ && exiting_ != active_) {
        TWinControl *old = active_;
        exiting_ = old;
        old->doExit();
        exiting_ = nullptr;
        if (serial != focusSerial_)
            return; // the exit handler moved the focus itself
    }
    active_ = control;
    changed(Prop::Focus);
    if (control)
        control->doEnter();
}

static void collectCycle(const TControl &parent, std::vector<TWinControl *> &out)
{
    std::vector<TWinControl *> wins;
    for (TControl *c : parent.children())
        if (auto *w = dynamic_cast<TWinControl *>(c))
            wins.push_back(w);
    std::stable_sort(wins.begin(), wins.end(),
        [](const TWinControl *a, const TWinControl *b) { return a->tabOrder() < b->tabOrder(); });
    for (TWinControl *w : wins) {
        if (!w->showing() || !w->effectivelyEnabled())
            continue;
        if (w->takesFocus()) {
            if (w->tabStop())
                out.push_back(w);
        } else {
            collectCycle(*w, out);
        }
    }
}

std::vector<TWinControl *> TForm::tabCycle() const
{
    std::vector<TWinControl *> out;
    collectCycle(*this, out);
    return out;
}

void TForm::selectNext(bool forward)
{
    const auto cycle = tabCycle();
    if (cycle.empty())
        return;
    auto it = std::find(cycle.begin(), cycle.end(), active_);
    TWinControl *next;
    if (it == cycle.end())
        next = forward ? cycle.front() : cycle.back();
    else if (forward)
        next = (it + 1 == cycle.end()) ? cycle.front() : *(it + 1);
    else
        next = (it == cycle.begin()) ? cycle.back() : *(it - 1);
    app_.handle([&] { setFocusTo(next); });
}

static TBitBtn *findDefault(const TControl &parent)
{
    for (TControl *c : parent.children()) {
        if (auto *b = dynamic_cast<TBitBtn *>(c); b && b->isDefault)
            return b;
        if (TBitBtn *b = findDefault(*c))
            return b;
    }
    return nullptr;
}

TBitBtn *TForm::defaultButton() const
{
    return findDefault(*this);
}

bool TForm::dialogKey(int key, TShiftState shift)
{
    if (key != vk::Return || !shift.none())
        return false;
    if (active_ && (active_->wantsReturn() || dynamic_cast<TButtonControl *>(active_)))
        return false;
    TBitBtn *b = defaultButton();
    if (!b || !b->showing() || !b->effectivelyEnabled())
        return false;
    b->click();
    return true;
}

bool TForm::userKeyDown(int key, TShiftState shift)
{
    // A key without a code (a dead key, a media key) is none the handlers
    // could name, so none of them can have used it up: its character, if
    // any, still goes to the control.
    if (key == 0)
        return false;
    bool used = false;
    app_.handle([&] {
        TWinControl *c = active_;
        if (c) {
            int k = key;
            c->keyDown(k, shift);
            if (k == 0) {
                used = true;
                return;
            }
        }
        if (key == vk::Tab && !shift.ctrl && !shift.alt) {
            selectNext(!shift.shift);
            used = true;
        } else if (dialogKey(key, shift)) {
            used = true;
        } else if (OnShortCut && OnShortCut(key, shift)) {
            used = true;
        }
    });
    return used;
}

QChar TForm::userKeyPress(QChar ch)
{
    QChar k = ch;
    TWinControl *c = active_;
    if (!c)
        return k;
    if (!app_.handle([&] { c->keyPress(k); }))
        return QChar(); // a failed handler swallows the key
    return k;
}

void TForm::userKeyUp(int key, TShiftState shift)
{
    if (TWinControl *c = active_) {
        int k = key;
        app_.handle([&] { c->keyUp(k, shift); });
    }
}

void TForm::userResized(int clientWidth, int clientHeight)
{
    app_.handle([&] {
        setClientSize(clientWidth, clientHeight);
        if (OnResize)
            OnResize(*this);
    });
}

bool TForm::userClose()
{
    bool canClose = true;
    app_.handle([&] {
        if (OnCloseQuery)
            OnCloseQuery(*this, canClose);
    });
    if (canClose)
        hide();
    return canClose;
}

} // namespace voltaris
