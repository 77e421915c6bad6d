#include "meterlog/logdata.h"

#include "common/dates.h"
#include "common/numtext.h"
#include "ui/stringgrid.h"

#include <algorithm>

namespace voltaris {

LogRows logRowsOf(const TStringGrid &grid)
{
    LogRows rows;
    rows.reserve(grid.rowCount() - grid.fixedRows());
    for (int r = grid.fixedRows(); r < grid.rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < 4; ++c)
            row << grid.cell(c, r);
        rows << row;
    }
    return rows;
}

bool isBlankRow(const QStringList &row)
{
    for (const QString &text : row)
        for (const QChar ch : text)
            if (ch.unicode() > 32)
                return false;
    return true;
}

std::vector<Reading> readingsOf(const LogRows &rows, const FormatSettings &settings)
{
    std::vector<Reading> out;
    out.reserve(size_t(rows.size()));
    for (const QStringList &row : rows) {
        Reading r;
        if (row.size() < 2 || !tryStrToDate(row[0], settings, r.date)
            || !tryStrToFloat(row[1].trimmed(), settings.decimalSeparator, r.kwh))
            continue;
        if (!out.empty() && r.date <= out.back().date)
            continue;
        out.push_back(r);
    }
    return out;
}

long double readingOn(const std::vector<Reading> &readings, const QDate &day)
{
    // The first reading on or after the day.
    const auto after = std::lower_bound(readings.begin(), readings.end(), day,
        [](const Reading &r, const QDate &d) { return r.date < d; });
    if (after == readings.end())
        return readings.empty() ? 0.0L : readings.back().kwh;
    if (after->date == day || after == readings.begin())
        return after->kwh;
    const Reading &before = *(after - 1);
    const long double span = before.date.daysTo(after->date);
    return before.kwh + (after->kwh - before.kwh) * before.date.daysTo(day) / span;
}

} // namespace voltaris
