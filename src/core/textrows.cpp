#include "core/textrows.h"

#include <algorithm>
#include <iterator>

namespace voltaris {

TextRows::TextRows(int columns)
    : cols_(std::max(1, columns))
{ }

void TextRows::setColumns(int n)
{
    n = std::max(1, n);
    if (n == cols_)
        return;
    std::vector<QString> cells(std::size_t(n) * rows_);
    for (int r = 0; r < rows_; ++r)
        for (int c = 0; c < std::min(n, cols_); ++c)
            cells[std::size_t(r) * n + c] = std::move(cells_[index(c, r)]);
    cells_ = std::move(cells);
    cols_ = n;
    notify();
}

void TextRows::setRowCount(int n)
{
    n = std::max(0, n);
    if (n == rows_)
        return;
    rows_ = n;
    cells_.resize(std::size_t(cols_) * rows_);
    notify();
}

const QString &TextRows::cell(int col, int row) const
{
    static const QString none;
    if (col < 0 || col >= cols_ || row < 0 || row >= rows_)
        return none;
    return cells_[index(col, row)];
}

void TextRows::setCell(int col, int row, const QString &text)
{
    if (col < 0 || col >= cols_ || row < 0 || row >= rows_)
        return;
    QString &c = cells_[index(col, row)];
    if (c == text)
        return;
    c = text;
    notify();
}

QStringList TextRows::row(int r) const
{
    QStringList cells;
    cells.reserve(cols_);
    for (int c = 0; c < cols_; ++c)
        cells << cell(c, r);
    return cells;
}

void TextRows::shiftRowsUp(int first)
{
    if (first < 0 || first >= rows_ - 1)
        return;
    const auto begin = cells_.begin() + std::ptrdiff_t(index(0, first));
    std::move(begin + cols_, cells_.end(), begin);
    // The last row keeps copies of its texts until the caller drops it.
    for (int c = 0; c < cols_; ++c)
        cells_[index(c, rows_ - 1)] = cells_[index(c, rows_ - 2)];
    notify();
}

void TextRows::setRowsFrom(int first, std::vector<QString> &&texts)
{
    first = std::clamp(first, 0, rows_);
    const int added = int((qsizetype(texts.size()) + cols_ - 1) / cols_);
    cells_.resize(std::size_t(first) * cols_);
    cells_.insert(
        cells_.end(), std::make_move_iterator(texts.begin()), std::make_move_iterator(texts.end()));
    rows_ = first + added;
    cells_.resize(std::size_t(rows_) * cols_);
    notify();
}

void TextRows::insertRow(int at, const QStringList &cells)
{
    at = std::clamp(at, 0, rows_);
    std::vector<QString> row;
    row.reserve(std::size_t(cols_));
    for (int c = 0; c < cols_; ++c)
        row.push_back(cells.value(c));
    cells_.insert(cells_.begin() + std::ptrdiff_t(index(0, at)),
        std::make_move_iterator(row.begin()), std::make_move_iterator(row.end()));
    ++rows_;
    notify();
}

int TextRows::addObserver(std::function<void()> observer) const
{
    observers_.emplace_back(nextId_, std::move(observer));
    return nextId_++;
}

void TextRows::removeObserver(int id) const
{
    std::erase_if(observers_, [id](const auto &o) { return o.first == id; });
}

void TextRows::notify()
{
    // By index: an observer may add another.
    for (std::size_t i = 0; i < observers_.size(); ++i)
        observers_[i].second();
}

} // namespace voltaris
