// StringGrid1 read as the log's rows: what the handlers ask of a row.
#pragma once

#include "core/logrow.h"

namespace voltaris {

class TStringGrid;

// The texts of a row, one per column.
QStringList rowOf(const TStringGrid &grid, int row);
// The data rows below the fixed ones.
LogRows logRowsOf(const TStringGrid &grid);
bool isBlankRow(const TStringGrid &grid, int row);
// The row's date; invalid when its cell holds none.
QDate dateOf(const TStringGrid &grid, int row, const FormatSettings &settings);
// The row's reading; a cell that is no number counts as 0.
long double readingOf(const TStringGrid &grid, int row, QChar separator);
// The last row that holds a reading: the last row, or, when a load that
// stopped left it blank, the last non-blank one above it. 0 for an empty log.
int lastFilledRow(const TStringGrid &grid);
// Where a row of `date` goes: `row` while the days around it still fit there
// (a removed row's old place, when nothing but removals and undos came in
// between), else the place its day has among the rows; -1 when a row of
// that day is there. An invalid date goes to `row`.
int placeFor(const TStringGrid &grid, int row, const QDate &date, const FormatSettings &settings);

} // namespace voltaris
