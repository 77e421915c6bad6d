#include "core/history.h"

namespace voltaris {

namespace {

QDate nextMonth(const QDate &d)
{
    return QDate(d.year(), d.month(), 1).addMonths(1);
}

} // namespace

std::vector<HistoryStep> monthSteps(const std::vector<Reading> &readings)
{
    std::vector<HistoryStep> out;
    long double kwh = 0;
    qint64 days = 0;
    const auto close = [&](const QDate &from, const QDate &to) {
        out.push_back({ from, to, kwh / days, readingOn(readings, to) });
        kwh = 0;
        days = 0;
    };
    QDate monthFrom;
    for (size_t i = 1; i < readings.size(); ++i) {
        const Reading &a = readings[i - 1], &b = readings[i];
        const long double rate = (b.kwh - a.kwh) / a.date.daysTo(b.date);
        for (QDate d = a.date; d < b.date;) {
            if (!monthFrom.isValid())
                monthFrom = d;
            const QDate end = std::min(nextMonth(d), b.date);
            const qint64 n = d.daysTo(end);
            kwh += rate * n;
            days += n;
            if (end == nextMonth(d)) {
                close(monthFrom, end);
                monthFrom = QDate();
            }
            d = end;
        }
    }
    if (days > 0)
        close(monthFrom, readings.back().date);
    return out;
}

History historyOf(const std::vector<Reading> &readings, int maxSteps)
{
    History h;
    if (readings.size() < 2)
        return h;
    h.first = readings.front().date;
    h.last = readings.back().date;
    h.average = (readings.back().kwh - readings.front().kwh) / h.first.daysTo(h.last);
    if (readings.size() - 1 > size_t(maxSteps)) {
        h.byMonth = true;
        h.steps = monthSteps(readings);
        return h;
    }
    h.steps.reserve(readings.size() - 1);
    for (size_t i = 1; i < readings.size(); ++i) {
        const Reading &a = readings[i - 1], &b = readings[i];
        h.steps.push_back({ a.date, b.date, (b.kwh - a.kwh) / a.date.daysTo(b.date), b.kwh });
    }
    return h;
}

} // namespace voltaris
