#include "meterlog/logtable.h"

#include "common/numtext.h"
#include "ui/Unit1.h"

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

bool isBlankRow(const TStringGrid &g, int row)
{
    for (int c = 0; c < g.colCount(); ++c)
        if (!isBlankText(g.cell(c, row)))
            return false;
    return true;
}

QDate dateOf(const TStringGrid &g, int row, const FormatSettings &s)
{
    return cellDate(g.cell(logcol::Date, row), s);
}

long double readingOf(const TStringGrid &g, int row, QChar sep)
{
    long double x = 0;
    return tryStrToFloat(g.cell(logcol::Reading, row), sep, x) ? x : 0.0L;
}

int lastFilledRow(const TStringGrid &g)
{
    for (int r = g.rowCount() - 1; r >= g.fixedRows(); --r)
        if (!isBlankRow(g, r))
            return r;
    return 0;
}

} // namespace voltaris
