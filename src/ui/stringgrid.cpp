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
} // namespace voltaris
