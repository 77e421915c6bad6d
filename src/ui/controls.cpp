#include "ui/controls.h"

#include "ui/application.h"

#include <algorithm>
#include <utility>

namespace voltaris {

// --- TLabel --------------------------------------------------------------

TLabel::TLabel(TControl *parent, QString name)
    : TControl(parent, std::move(name))
{ }

void TLabel::setAlignment(TAlignment a)
{
    if (a == alignment_)
        return;
    alignment_ = a;
    changed(Prop::Alignment);
}

void TLabel::setAutoSize(bool v)
{
    autoSize_ = v;
    fitToText();
}

void TLabel::textChanged()
{
    fitToText();
}

void TLabel::fitToText()
{
    if (!autoSize_ || !form())
        return;
    const int w = application().services().textWidth(font(), text());
    if (alignment_ == TAlignment::Right)
        setBounds(left() + width() - w, top(), w, height());
    else
        setBounds(left(), top(), w, height());
}

// --- TEdit ---------------------------------------------------------------

TEdit::TEdit(TControl *parent, QString name)
    : TWinControl(parent, std::move(name))
{
    setColor(clr::White);
    setTabStop(true);
}

void TEdit::setReadOnly(bool v)
{
    if (v == readOnly_)
        return;
    readOnly_ = v;
    changed(Prop::ReadOnly);
}

void TEdit::setAlignment(TAlignment a)
{
    if (a == alignment_)
        return;
    alignment_ = a;
    changed(Prop::Alignment);
}

void TEdit::setSelection(int start, int length)
{
    const int size = int(text_.size());
    start = std::clamp(start, 0, size);
    length = std::clamp(length, 0, size - start);
    if (start == selStart_ && length == selLength_)
        return;
    selStart_ = start;
    selLength_ = length;
    changed(Prop::Selection);
}

void TEdit::textChanged()
{
    // A text set by code puts the caret at its start.
    selStart_ = 0;
    selLength_ = 0;
    if (OnChange)
        fire([&] { OnChange(*this); });
}

void TEdit::doEnter()
{
    if (autoSelect && !form()->focusByMouse())
        selectAll();
    TWinControl::doEnter();
}

void TEdit::userEdited(const QString &text, int selStart, int selLength)
{
    application().handle([&] {
        setText(text);
        setSelection(selStart, selLength);
    });
}

// --- TRadioButton ----------------------------------------------------------

void TRadioButton::setChecked(bool v)
{
    if (v == checked_)
        return;
    checked_ = v;
    if (v && parent()) {
        for (TControl *sibling : parent()->children())
            if (auto *r = dynamic_cast<TRadioButton *>(sibling); r && r != this && r->checked_) {
                r->checked_ = false;
                r->changed(Prop::Checked);
            }
    }
    changed(Prop::Checked);
    if (v)
        TControl::click();
}

void TRadioButton::click()
{
    if (!checked_)
        setChecked(true);
}

// --- containers and buttons ----------------------------------------------

TPanel::TPanel(TControl *parent, QString name)
    : TWinControl(parent, std::move(name))
{ }

TGroupBox::TGroupBox(TControl *parent, QString name)
    : TWinControl(parent, std::move(name))
{ }

void TButtonControl::setPicture(const QString &p)
{
    if (p == picture_)
        return;
    picture_ = p;
    changed(Prop::Picture);
}

void TButtonControl::click()
{
    if (effectivelyEnabled() && showing())
        TControl::click();
}

TSpeedButton::TSpeedButton(TControl *parent, QString name)
    : TButtonControl(parent, std::move(name))
{ }

TBitBtn::TBitBtn(TControl *parent, QString name)
    : TButtonControl(parent, std::move(name))
{
    setTabStop(true);
}

void TImage::setPicture(const QString &p)
{
    if (p == picture_)
        return;
    picture_ = p;
    changed(Prop::Picture);
}

TShape::TShape(TControl *parent, QString name)
    : TControl(parent, std::move(name))
{
    setColor(clr::White);
}

// --- TDateTimePicker -------------------------------------------------------

TDateTimePicker::TDateTimePicker(TControl *parent, QString name)
    : TWinControl(parent, std::move(name))
{
    setColor(clr::White);
    setTabStop(true);
}

void TDateTimePicker::setDate(const QDate &d)
{
    if (d == date_)
        return;
    date_ = d;
    changed(Prop::Date);
    if (OnChange)
        fire([&] { OnChange(*this); });
}

void TDateTimePicker::userPicked(const QDate &d)
{
    application().handle([&] { setDate(d); });
}

void TDateTimePicker::closeUp()
{
    if (OnCloseUp)
        fire([&] { OnCloseUp(*this); });
}

// --- TComboBox -------------------------------------------------------------

TComboBox::TComboBox(TControl *parent, QString name)
    : TWinControl(parent, std::move(name))
{
    setColor(clr::White);
    setTabStop(true);
}

void TComboBox::setItems(const QStringList &items)
{
    if (items == items_)
        return;
    items_ = items;
    changed(Prop::Items);
}

void TComboBox::textChanged()
{
    if (OnChange)
        fire([&] { OnChange(*this); });
}

void TComboBox::userEdited(const QString &text)
{
    application().handle([&] { setText(text); });
}

// --- TMemo -----------------------------------------------------------------

TMemo::TMemo(TControl *parent, QString name)
    : TWinControl(parent, std::move(name))
{
    setColor(clr::White);
    setTabStop(true);
}

QStringList TMemo::lines() const
{
    return text_.split(QLatin1String("\r\n"));
}

void TMemo::setLines(const QStringList &lines)
{
    setText(lines.join(QLatin1String("\r\n")));
}

// --- TTimer ----------------------------------------------------------------

TTimer::TTimer(TCustomForm &owner, int interval)
    : owner_(owner)
    , interval_(interval)
{
    owner_.registerTimer(this, true);
}

TTimer::~TTimer()
{
    owner_.registerTimer(this, false);
}

void TTimer::setEnabled(bool v)
{
    if (v == enabled_)
        return;
    enabled_ = v;
    ++generation_;
    if (onStateChanged)
        onStateChanged(*this);
}

void TTimer::setInterval(int ms)
{
    if (ms == interval_)
        return;
    interval_ = ms;
    ++generation_;
    if (onStateChanged)
        onStateChanged(*this);
}

void TTimer::tick()
{
    if (enabled_ && OnTimer)
        owner_.app().handle([&] { OnTimer(*this); });
}

// --- popup menu ------------------------------------------------------------

TMenuItem::TMenuItem(TControl *menu, QString name)
    : TControl(menu, std::move(name))
{ }

void TMenuItem::click()
{
    if (enabled() && visible() && !isSeparator())
        TControl::click();
}

std::vector<TMenuItem *> TMenuItem::items() const
{
    std::vector<TMenuItem *> out;
    for (TControl *c : children())
        if (auto *item = dynamic_cast<TMenuItem *>(c))
            out.push_back(item);
    return out;
}

TPopupMenu::TPopupMenu(TControl *owner, QString name)
    : TControl(owner, std::move(name))
{
    setVisible(false);
}

std::vector<TMenuItem *> TPopupMenu::items() const
{
    std::vector<TMenuItem *> out;
    for (TControl *c : children())
        if (auto *item = dynamic_cast<TMenuItem *>(c))
            out.push_back(item);
    return out;
}

void TPopupMenu::popup()
{
    if (OnPopup)
        fire([&] { OnPopup(*this); });
}

} // namespace voltaris
