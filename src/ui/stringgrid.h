#pragma once

#include "core/textrows.h"
#include "ui/controls.h"

#include <QString>
#include <functional>
#include <vector>

namespace voltaris {

// A rectangle in a control's client coordinates; right and bottom are the
// first pixels outside it.
struct TRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const TRect &, const TRect &) = default;
};

// Where a painting handler draws: the window system's painter, or a test's
// recorder. Font and colours are those the control set before the handler.
class TCanvas {
public:
    virtual ~TCanvas() = default;
    virtual int textWidth(const QString &text) = 0;
    // Fills `rect` with the current brush, then writes `text` from (x, y)
    // (the top left of the text), clipped to `rect`.
    virtual void textRect(const TRect &rect, int x, int y, const QString &text) = 0;
};

struct TGridDrawState {
    bool selected = false, focused = false, fixed = false;
};

using TDrawCellEvent = std::function<void(
    TControl &sender, int col, int row, const TRect &rect, TGridDrawState state)>;

// A grid of texts with fixed header rows on top. The cells, the row count,
// the marked row and the top visible row are what the window shows. Changes
// made between beginUpdate() and endUpdate() reach the window system as one.
// The rows below the header live in a row store: the grid's own, or one
// bound to it (a log's rows), which the grid then shows and writes.
class TStringGrid : public TWinControl {
public:
    TStringGrid(TControl *parent, QString name);
    ~TStringGrid() override;

    // The grid shows and writes `rows` from now on (its own store for
    // nullptr); the store outlives the binding. A store without a row gets
    // one, as the grid keeps a row below the fixed ones.
    void bindRows(TextRows *rows);
    const TextRows &boundRows() const { return *store_; }

    int colCount() const { return cols_; }
    void setColCount(int n);
    int rowCount() const { return fixedRows_ + store_->rowCount(); }
    // Added rows are empty; dropped rows take their texts with them.
    void setRowCount(int n);
    int fixedRows() const { return fixedRows_; }
    void setFixedRows(int n);

    const QString &cell(int col, int row) const;
    void setCell(int col, int row, const QString &text);
    // Moves rows first + 1 .. last up by one over row `first`, leaving the
    // last row's texts in place (the caller drops or empties it).
    void shiftRowsUp(int first);
    // Replaces the rows from `first` on by the texts given, colCount() to a
    // row (a last row given in part is filled up with empty texts): many rows
    // at once, their texts moved in.
    void setRowsFrom(int first, std::vector<QString> &&texts);

    int colWidth(int col) const;
    void setColWidth(int col, int width);
    int defaultRowHeight() const { return rowHeight_; }
    void setDefaultRowHeight(int h);
    int gridLineWidth() const { return gridLine_; }

    // The marked row (kept among the data rows) and the first data row shown.
    int row() const { return row_; }
    void setRow(int r);
    int topRow() const { return top_; }
    void setTopRow(int r);
    // Data rows that fit whole below the header in the client area.
    int visibleRowCount() const;
    // Scrolls so that the last row is in view at the bottom.
    void scrollToLast();

    TPopupMenu *popupMenu = nullptr;
    TDrawCellEvent OnDrawCell;
    // The canvas of the cell being painted, else nullptr.
    TCanvas *canvas() const { return canvas_; }

    // The window system paints a cell: it filled the background (marked row,
    // header) and set brush and font; the handler writes the text, or the
    // grid does when there is none.
    void drawCell(TCanvas &canvas, int col, int row, const TRect &rect, TGridDrawState state);

    void beginUpdate();
    void endUpdate();

    // The user marked a row with the mouse or the arrow keys, or scrolled.
    void userSelected(int r);
    void userScrolled(int top);

private:
    void notify(Prop what);
    void rowsChanged();
    std::size_t index(int col, int row) const { return std::size_t(row) * cols_ + col; }

    int cols_ = 5, fixedRows_ = 1;
    std::vector<QString> header_; // the texts of the fixed rows
    TextRows own_ { 5 };
    TextRows *store_ = &own_;
    int observer_ = 0;
    std::vector<int> colWidths_;
    int rowHeight_ = 24, gridLine_ = 1;
    int row_ = 1, top_ = 1;
    int updating_ = 0;
    bool pendingItems_ = false, pendingSelection_ = false;
    TCanvas *canvas_ = nullptr;
};
} // namespace voltaris
