// Rows of texts with a fixed number of columns, stored in one block, and the
// observers told of every change. A log's rows live here; the grid that
// shows them reads and writes this storage, so there is one copy of them.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

namespace voltaris {

class TextRows {
public:
    explicit TextRows(int columns = 1);
    TextRows(const TextRows &) = delete;
    TextRows &operator=(const TextRows &) = delete;

    int columns() const { return cols_; }
    // Each row keeps its first texts; added columns are empty.
    void setColumns(int n);
    int rowCount() const { return rows_; }
    // Added rows are empty; dropped rows take their texts with them.
    void setRowCount(int n);

    // An empty text outside the rows.
    const QString &cell(int col, int row) const;
    void setCell(int col, int row, const QString &text);
    QStringList row(int r) const;
    // Moves rows first + 1 .. last up by one over row `first`, leaving the
    // last row's texts in place (the caller drops or empties it).
    void shiftRowsUp(int first);
    // Replaces the rows from `first` on by the texts given, columns() to a
    // row (a last row given in part is filled up with empty texts), their
    // texts moved in.
    void setRowsFrom(int first, std::vector<QString> &&texts);
    // Puts a row in before row `at` (at the end when `at` is rowCount()).
    void insertRow(int at, const QStringList &cells);

    // Called after each change, in the order added; the id removes it.
    // Watching is no change: a reader of const rows may watch them.
    int addObserver(std::function<void()> observer) const;
    void removeObserver(int id) const;
    // Tells the observers of a change made beside the texts.
    void notify();

private:
    std::size_t index(int col, int row) const { return std::size_t(row) * cols_ + col; }

    int cols_ = 1, rows_ = 0;
    std::vector<QString> cells_;
    mutable std::vector<std::pair<int, std::function<void()>>> observers_;
    mutable int nextId_ = 1;
};

} // namespace voltaris
