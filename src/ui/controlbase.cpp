#include "ui/controlbase.h"

#include "ui/application.h"

#include <algorithm>
#include <utility>

namespace voltaris {

TControl::TControl(TControl *parent, QString name)
    : name_(std::move(name))
    , parent_(parent)
{
    if (parent_) {
        parent_->children_.push_back(this);
        font_ = parent_->font_;
    }
}

TControl::~TControl()
{
    if (parent_) {
        auto &siblings = parent_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    for (TControl *child : children_)
        child->parent_ = nullptr;
}

TCustomForm *TControl::form() const
{
    const TControl *c = this;
    while (c->parent_)
        c = c->parent_;
    return dynamic_cast<TCustomForm *>(const_cast<TControl *>(c));
}

TApplication &TControl::application() const
{
    return form()->app();
}

void TControl::changed(Prop what)
{
    if (observer_)
        observer_->changed(*this, what);
    if (listeners_.empty())
        return;
    // A copy, so that a listener may add or remove listeners.
    const auto listeners = listeners_;
    for (const auto &l : listeners)
        l.second(*this, what);
}

int TControl::addListener(Listener listener)
{
    listeners_.emplace_back(++nextListener_, std::move(listener));
    return nextListener_;
}

void TControl::removeListener(int id)
{
    std::erase_if(listeners_, [id](const auto &l) { return l.first == id; });
}

void TControl::setBounds(int left, int top, int width, int height)
{
    if (left == left_ && top == top_ && width == width_ && height == height_)
        return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    changed(Prop::Bounds);
}

void TControl::setEnabled(bool v)
{
    if (v == enabled_)
        return;
    enabled_ = v;
    changed(Prop::Enabled);
}

void TControl::setVisible(bool v)
{
    if (v == visible_)
        return;
    visible_ = v;
    changed(Prop::Visible);
}

bool TControl::showing() const
{
    // The window's own visibility does not count: a hidden window keeps its
    // focus order and its default button.
    for (const TControl *c = this; c && c->parent_; c = c->parent_)
        if (!c->visible_)
            return false;
    return true;
}

bool TControl::effectivelyEnabled() const
{
    for (const TControl *c = this; c; c = c->parent_)
        if (!c->enabled_)
            return false;
    return true;
}

void TControl::setColor(TColor c)
{
    if (c == color_)
        return;
    color_ = c;
    changed(Prop::Color);
}

void TControl::setFont(const TFont &f)
{
    if (f == font_)
        return;
    font_ = f;
    changed(Prop::Font);
}

void TControl::setFontColor(TColor c)
{
    TFont f = font_;
    f.color = c;
    setFont(f);
}

void TControl::setFontBold(bool bold)
{
    TFont f = font_;
    f.bold = bold;
    setFont(f);
}

void TControl::setHint(const QString &h)
{
    if (h == hint_)
        return;
    hint_ = h;
    changed(Prop::Hint);
}

void TControl::setShowHint(bool v)
{
    if (v == showHint_)
        return;
    showHint_ = v;
    changed(Prop::Hint);
}

void TControl::setCursor(TCursor c)
{
    if (c == cursor_)
        return;
    cursor_ = c;
    changed(Prop::Cursor);
}

void TControl::setText(const QString &t)
{
    if (t == text_)
        return;
    text_ = t;
    textChanged();
    changed(Prop::Text);
}

void TControl::click()
{
    if (OnClick)
        fire([&] { OnClick(*this); });
}

// --- TWinControl ---------------------------------------------------------

void TWinControl::setTabStop(bool v)
{
    if (v == tabStop_)
        return;
    tabStop_ = v;
    changed(Prop::TabStop);
}

bool TWinControl::canFocus() const
{
    return takesFocus() && showing() && effectivelyEnabled();
}

bool TWinControl::focused() const
{
    TCustomForm *f = form();
    return f && f->activeControl() == this;
}

void TWinControl::setFocus()
{
    if (TCustomForm *f = form())
        f->setFocusTo(this);
}

void TWinControl::doEnter()
{
    if (OnEnter)
        fire([&] { OnEnter(*this); });
}

void TWinControl::doExit()
{
    if (OnExit)
        fire([&] { OnExit(*this); });
}

void TWinControl::keyDown(int &key, TShiftState shift)
{
    if (OnKeyDown)
        fire([&] { OnKeyDown(*this, key, shift); });
}

void TWinControl::keyPress(QChar &key)
{
    if (OnKeyPress)
        fire([&] { OnKeyPress(*this, key); });
}

void TWinControl::keyUp(int &key, TShiftState shift)
{
    if (OnKeyUp)
        fire([&] { OnKeyUp(*this, key, shift); });
}

} // namespace voltaris
