#include "meterlog/logtable.h"

#include "ui/stringgrid.h"

namespace voltaris {

QStringList rowOf(const TStringGrid &g, int row)
{
    QStringList cells;
    for (int c = 0; c < g.colCount(); ++c)
        cells << g.cell(c, row);
    return cells;
}

LogRows logRowsOf(const TStringGrid &g)
{
    LogRows rows;
    rows.reserve(g.rowCount() - g.fixedRows());
    for (int r = g.fixedRows(); r < g.rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < logcol::Count; ++c)
            row << g.cell(c, r);
        rows << row;
    }
    return rows;
}

} // namespace voltaris
