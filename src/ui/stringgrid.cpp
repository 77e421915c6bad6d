#include "ui/stringgrid.h"

#include "ui/application.h"
#include "ui/form.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace voltaris {

TStringGrid::TStringGrid(TControl *parent, QString name)
    : TWinControl(parent, std::move(name))
{
    setColor(clr::White);
    setTabStop(true);
    header_.resize(std::size_t(cols_) * fixedRows_);
    own_.setRowCount(4);
    colWidths_.assign(size_t(cols_), 64);
    observer_ = store_->addObserver([this] { rowsChanged(); });
}

TStringGrid::~TStringGrid()
{
    store_->removeObserver(observer_);
}

void TStringGrid::bindRows(TextRows *rows)
{
    TextRows *const next = rows ? rows : &own_;
    if (next == store_)
        return;
    store_->removeObserver(observer_);
    store_ = next;
    store_->setColumns(cols_);
    if (store_->rowCount() == 0)
        store_->setRowCount(1);
    observer_ = store_->addObserver([this] { rowsChanged(); });
    rowsChanged();
}

void TStringGrid::rowsChanged()
{
    notify(Prop::Items);
    // The marked and the top row stay among the rows there are.
    const int rows = rowCount();
    if (row_ >= rows)
        setRow(rows - 1);
    if (top_ >= rows)
        setTopRow(rows - 1);
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
    std::vector<QString> header(size_t(n) * fixedRows_);
    for (int r = 0; r < fixedRows_; ++r)
        for (int c = 0; c < std::min(n, cols_); ++c)
            header[size_t(r) * n + c] = std::move(header_[index(c, r)]);
    header_ = std::move(header);
    cols_ = n;
    colWidths_.resize(size_t(n), 64);
    const bool storeHasThem = store_->columns() == n;
    store_->setColumns(n);
    if (storeHasThem)
        notify(Prop::Items);
}

void TStringGrid::setRowCount(int n)
{
    n = std::max(fixedRows_ + 1, n);
    if (n == rowCount())
        return;
    store_->setRowCount(n - fixedRows_);
}

void TStringGrid::setFixedRows(int n)
{
    n = std::clamp(n, 0, rowCount() - 1);
    if (n == fixedRows_)
        return;
    std::vector<QString> all = std::move(header_);
    for (int r = 0; r < store_->rowCount(); ++r)
        for (int c = 0; c < cols_; ++c)
            all.push_back(store_->cell(c, r));
    const auto split = all.begin() + std::ptrdiff_t(n) * cols_;
    header_.assign(std::make_move_iterator(all.begin()), std::make_move_iterator(split));
    std::vector<QString> rest(std::make_move_iterator(split), std::make_move_iterator(all.end()));
    fixedRows_ = n;
    store_->setRowsFrom(0, std::move(rest));
    setRow(std::max(row_, n));
    setTopRow(std::max(top_, n));
}

const QString &TStringGrid::cell(int col, int row) const
{
    static const QString none;
    if (col < 0 || col >= cols_ || row < 0 || row >= rowCount())
        return none;
    if (row < fixedRows_)
        return header_[index(col, row)];
    return store_->cell(col, row - fixedRows_);
}

void TStringGrid::setCell(int col, int row, const QString &text)
{
    if (col < 0 || col >= cols_ || row < 0 || row >= rowCount())
        return;
    if (row >= fixedRows_) {
        store_->setCell(col, row - fixedRows_, text);
        return;
    }
    QString &c = header_[index(col, row)];
    if (c == text)
        return;
    c = text;
    notify(Prop::Items);
}

void TStringGrid::shiftRowsUp(int first)
{
    if (first < 0 || first >= rowCount() - 1)
        return;
    if (first >= fixedRows_) {
        store_->shiftRowsUp(first - fixedRows_);
        return;
    }
    // Through the header: the last row keeps copies of its texts until the
    // caller drops it.
    beginUpdate();
    for (int r = first; r < rowCount() - 1; ++r)
        for (int c = 0; c < cols_; ++c)
            setCell(c, r, QString(cell(c, r + 1)));
    notify(Prop::Items);
    endUpdate();
}

void TStringGrid::setRowsFrom(int first, std::vector<QString> &&texts)
{
    first = std::clamp(first, fixedRows_, rowCount());
    const int added = int((qsizetype(texts.size()) + cols_ - 1) / cols_);
    if (first + added <= fixedRows_)
        return; // the grid keeps a row below the fixed ones
    store_->setRowsFrom(first - fixedRows_, std::move(texts));
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
    r = std::clamp(r, fixedRows_, rowCount() - 1);
    if (r == row_)
        return;
    row_ = r;
    notify(Prop::Selection);
}

void TStringGrid::setTopRow(int r)
{
    r = std::clamp(r, fixedRows_, rowCount() - 1);
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
    setTopRow(std::max(fixedRows_, rowCount() - visibleRowCount()));
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
} // namespace voltaris
