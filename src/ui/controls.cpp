#include "ui/controls.h"

#include "ui/application.h"
#include "ui/form.h"

#include <algorithm>
#include <iterator>
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

TForm *TControl::form() const
{
    const TControl *c = this;
    while (c->parent_)
        c = c->parent_;
    return dynamic_cast<TForm *>(const_cast<TControl *>(c));
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
    TForm *f = form();
    return f && f->activeControl() == this;
}

void TWinControl::setFocus()
{
    if (TForm *f = form())
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

TTimer::TTimer(TForm &owner, int interval)
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

// --- TStringGrid ----------------------------------------------------------

TStringGrid::TStringGrid(TControl *parent, QString name)
    : TWinControl(parent, std::move(name))
{
    setColor(clr::White);
    setTabStop(true);
    cells_.resize(size_t(cols_) * rows_);
    colWidths_.assign(size_t(cols_), 64);
}

void TStringGrid::notify(Prop what)
{
    if (updating_ > 0) {
        (what == Prop::Items ? pendingItems_ : pendingSelection_) = true;
        return;
    }
    changed(what);
}

void TStringGrid::beginUpdate()
{
    ++updating_;
}

void TStringGrid::endUpdate()
{
    if (--updating_ > 0)
        return;
    if (std::exchange(pendingItems_, false))
        changed(Prop::Items);
    if (std::exchange(pendingSelection_, false))
        changed(Prop::Selection);
}

void TStringGrid::setColCount(int n)
{
    n = std::max(1, n);
    if (n == cols_)
        return;
    std::vector<QString> cells(size_t(n) * rows_);
    for (int r = 0; r < rows_; ++r)
        for (int c = 0; c < std::min(n, cols_); ++c)
            cells[size_t(r) * n + c] = std::move(cells_[index(c, r)]);
    cells_ = std::move(cells);
    cols_ = n;
    colWidths_.resize(size_t(n), 64);
    notify(Prop::Items);
}

void TStringGrid::setRowCount(int n)
{
    n = std::max(fixedRows_ + 1, n);
    if (n == rows_)
        return;
    rows_ = n;
    cells_.resize(size_t(cols_) * rows_);
    notify(Prop::Items);
    // The marked and the top row stay among the rows there are.
    if (row_ >= rows_)
        setRow(rows_ - 1);
    if (top_ >= rows_)
        setTopRow(rows_ - 1);
}

void TStringGrid::setFixedRows(int n)
{
    n = std::clamp(n, 0, rows_ - 1);
    if (n == fixedRows_)
        return;
    fixedRows_ = n;
    notify(Prop::Items);
    setRow(std::max(row_, n));
    setTopRow(std::max(top_, n));
}

const QString &TStringGrid::cell(int col, int row) const
{
    static const QString none;
    if (col < 0 || col >= cols_ || row < 0 || row >= rows_)
        return none;
    return cells_[size_t(index(col, row))];
}

void TStringGrid::setCell(int col, int row, const QString &text)
{
    if (col < 0 || col >= cols_ || row < 0 || row >= rows_)
        return;
    QString &c = cells_[size_t(index(col, row))];
    if (c == text)
        return;
    c = text;
    notify(Prop::Items);
}

void TStringGrid::shiftRowsUp(int first)
{
    if (first < 0 || first >= rows_ - 1)
        return;
    const auto begin = cells_.begin() + index(0, first);
    std::move(begin + cols_, cells_.end(), begin);
    // The last row keeps copies of its texts until the caller drops it.
    for (int c = 0; c < cols_; ++c)
        cells_[size_t(index(c, rows_ - 1))] = cells_[size_t(index(c, rows_ - 2))];
    notify(Prop::Items);
}

void TStringGrid::setRowsFrom(int first, std::vector<QString> &&texts)
{
    first = std::clamp(first, fixedRows_, rows_);
    const int added = int((qsizetype(texts.size()) + cols_ - 1) / cols_);
    if (first + added <= fixedRows_)
        return; // the grid keeps a row below the fixed ones
    cells_.resize(size_t(first) * cols_);
    cells_.insert(
        cells_.end(), std::make_move_iterator(texts.begin()), std::make_move_iterator(texts.end()));
    rows_ = first + added;
    cells_.resize(size_t(rows_) * cols_);
    notify(Prop::Items);
    if (row_ >= rows_)
        setRow(rows_ - 1);
    if (top_ >= rows_)
        setTopRow(rows_ - 1);
}

int TStringGrid::colWidth(int col) const
{
    return col >= 0 && col < cols_ ? colWidths_[size_t(col)] : 0;
}

void TStringGrid::setColWidth(int col, int width)
{
    if (col < 0 || col >= cols_ || colWidths_[size_t(col)] == width)
        return;
    colWidths_[size_t(col)] = width;
    notify(Prop::Items);
}

void TStringGrid::setDefaultRowHeight(int h)
{
    if (h == rowHeight_)
        return;
    rowHeight_ = h;
    notify(Prop::Items);
}

void TStringGrid::setRow(int r)
{
    r = std::clamp(r, fixedRows_, rows_ - 1);
    if (r == row_)
        return;
    row_ = r;
    notify(Prop::Selection);
}

void TStringGrid::setTopRow(int r)
{
    r = std::clamp(r, fixedRows_, rows_ - 1);
    if (r == top_)
        return;
    top_ = r;
    notify(Prop::Selection);
}

int TStringGrid::visibleRowCount() const
{
    // A sunken border of two pixels on each side; each row is followed by
    // its grid line.
    const int client = height() - 4;
    const int pitch = rowHeight_ + gridLine_;
    return std::max(0, (client - fixedRows_ * pitch) / pitch);
}

void TStringGrid::scrollToLast()
{
    setTopRow(std::max(fixedRows_, rows_ - visibleRowCount()));
}

void TStringGrid::drawCell(
    TCanvas &canvas, int col, int row, const TRect &rect, TGridDrawState state)
{
    TCanvas *const saved = std::exchange(canvas_, &canvas);
    struct Restore {
        TCanvas *&c;
        TCanvas *v;
        ~Restore() { c = v; }
    } restore { canvas_, saved };
    if (OnDrawCell)
        fire([&] { OnDrawCell(*this, col, row, rect, state); });
    else
        canvas.textRect(rect, rect.left + 2, rect.top + 2, cell(col, row));
}

void TStringGrid::userSelected(int r)
{
    setRow(r);
}

void TStringGrid::userScrolled(int top)
{
    setTopRow(top);
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
