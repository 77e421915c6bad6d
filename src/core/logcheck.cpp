#include "core/logcheck.h"

#include "common/numtext.h"

#include <algorithm>
#include <iterator>

namespace voltaris {

namespace {

QString number(long double x)
{
    return formatValue(x, u',');
}

QString day(const QDate &d)
{
    return d.toString(QStringLiteral("dd.MM.yyyy"));
}

} // namespace

long double medianPerDay(const std::vector<Reading> &continuous)
{
    std::vector<long double> perDay;
    for (size_t i = 1; i < continuous.size(); ++i) {
        const qint64 days = continuous[i - 1].date.daysTo(continuous[i].date);
        if (days > 0)
            perDay.push_back((continuous[i].kwh - continuous[i - 1].kwh) / days);
    }
    if (perDay.empty())
        return 0;
    const size_t mid = perDay.size() / 2;
    std::nth_element(perDay.begin(), perDay.begin() + mid, perDay.end());
    if (perDay.size() % 2)
        return perDay[mid];
    const long double upper = perDay[mid];
    return (*std::max_element(perDay.begin(), perDay.begin() + mid) + upper) / 2;
}

QStringList readingDoubts(
    const std::vector<Reading> &others, const MeterChanges &changes, const Reading &candidate)
{
    QStringList doubts;
    const auto after = std::lower_bound(others.begin(), others.end(), candidate.date,
        [](const Reading &r, const QDate &d) { return r.date < d; });
    const Reading *before = after != others.begin() ? &*(after - 1) : nullptr;
    const Reading *next = after != others.end() ? &*after : nullptr;

    // A meter never runs backwards; across a replacement the readings are
    // of two meters and say nothing of each other.
    if (before && !meterChangedBetween(changes, before->date, candidate.date)
        && candidate.kwh < before->kwh)
        doubts << QStringLiteral("Der Zählerstand %1 ist kleiner als der vom %2 (%3).")
                      .arg(number(candidate.kwh), day(before->date), number(before->kwh));
    if (next && !meterChangedBetween(changes, candidate.date, next->date)
        && candidate.kwh > next->kwh)
        doubts << QStringLiteral("Der Zählerstand %1 ist größer als der vom %2 (%3).")
                      .arg(number(candidate.kwh), day(next->date), number(next->kwh));
    if (!doubts.isEmpty())
        return doubts;

    const long double usual = medianPerDay(acrossMeterChanges(others, changes));
    if (usual <= 0)
        return doubts;
    const long double at = candidate.kwh + meterOffset(changes, candidate.date);
    const auto tooHigh
        = [&](const Reading &from, const Reading &to, long double fromKwh, long double toKwh) {
              const qint64 days = from.date.daysTo(to.date);
              const long double perDay = days > 0 ? (toKwh - fromKwh) / days : 0;
              if (perDay > DoubtFactor * usual)
                  doubts << QStringLiteral("Vom %1 bis zum %2 wären das %3 kWh pro Tag, mehr als "
                                           "dreimal so viel wie sonst (im Mittel %4 kWh pro Tag).")
                                .arg(day(from.date), day(to.date), number(perDay), number(usual));
          };
    if (before)
        tooHigh(*before, candidate, before->kwh + meterOffset(changes, before->date), at);
    if (next)
        tooHigh(candidate, *next, at, next->kwh + meterOffset(changes, next->date));
    return doubts;
}

QStringList finalReadingDoubts(
    const std::vector<Reading> &log, const MeterChanges &changes, const Reading &oldFinal)
{
    std::vector<Reading> before;
    std::copy_if(log.begin(), log.end(), std::back_inserter(before),
        [&oldFinal](const Reading &r) { return r.date < oldFinal.date; });
    return readingDoubts(before, changes, oldFinal);
}

} // namespace voltaris
