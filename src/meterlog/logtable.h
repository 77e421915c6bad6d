// StringGrid1 read as the log's rows: the texts of the rows it shows, as
// the handlers name a row by its place in the table (the marked one).
#pragma once

#include "core/logrow.h"

namespace voltaris {

class TStringGrid;

// The texts of a row, one per column.
QStringList rowOf(const TStringGrid &grid, int row);
// The data rows below the fixed ones.
LogRows logRowsOf(const TStringGrid &grid);

} // namespace voltaris
