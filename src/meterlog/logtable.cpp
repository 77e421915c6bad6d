#include "meterlog/logtable.h"

#include "common/numtext.h"
#include "ui/Unit1.h"

#include <algorithm>

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

int placeFor(const TStringGrid &g, int row, const QDate &date, const FormatSettings &s)
{
    const int first = g.fixedRows(), end = g.rowCount();
    int place = std::clamp(row, first, end);
    if (!date.isValid())
        return place;
    const QDate above = place > first ? dateOf(g, place - 1, s) : QDate();
    const QDate below = place < end ? dateOf(g, place, s) : QDate();
    if ((!above.isValid() || above < date) && (!below.isValid() || date < below))
        return place;
    place = end;
    for (int r = first; r < end; ++r) {
        const QDate d = dateOf(g, r, s);
        if (d == date)
            return -1;
        if (d.isValid() && d > date) {
            place = r;
            break;
        }
    }
    return place;
}

} // namespace voltaris
