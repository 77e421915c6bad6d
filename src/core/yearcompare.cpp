#include "core/yearcompare.h"

#include "common/numtext.h"
#include "common/units.h"
#include "core/contractyear.h"

#include <algorithm>

namespace voltaris {

namespace {

// Percent of `now` against `before`.
long double change(long double now, long double before)
{
    return (now - before) / before * 100;
}

} // namespace

std::vector<YearFigures> yearComparison(const std::vector<Reading> &readings,
    const ContractTexts &contract, const FormatSettings &settings, const PriceChanges &changes)
{
    std::vector<YearFigures> years;
    if (readings.size() < 2 || !contract.start.isValid())
        return years;
    const QChar sep = settings.decimalSeparator;
    PricesInForce atStart;
    const bool hasPrices = tryStrToFloat(contract.basePrice, sep, atStart.basePrice)
        && tryStrToFloat(contract.price, sep, atStart.price);
    const QDate first = readings.front().date, last = readings.back().date;

    for (QDate start = contractYearOf(contract.start, first); start <= last;) {
        YearFigures y;
        y.start = start;
        y.next = anniversary(contract.start, start.year() + 1);
        y.days = y.start.daysTo(y.next);
        start = y.next;

        // The part of the year the log covers, at its kWh per day.
        const QDate from = std::max(y.start, first), to = std::min(y.next, last);
        const qint64 coveredDays = from.daysTo(to);
        if (coveredDays <= 0)
            continue;
        const long double covered = readingOn(readings, to) - readingOn(readings, from);
        const long double perDay = covered / coveredDays;
        y.estimated = from != y.start || to != y.next;
        y.kwh = y.estimated ? perDay * y.days : covered;

        if (hasPrices) {
            y.hasCost = true;
            for (const TariffPeriod &p : tariffPeriods(changes, atStart, y.start, y.next)) {
                const qint64 days = p.from.daysTo(p.to);
                const long double kwh = y.estimated
                    ? perDay * days
                    : readingOn(readings, p.to) - readingOn(readings, p.from);
                y.cost += kwh * p.price / CentPerEuro + p.basePrice * days / y.days;
            }
        }

        if (!years.empty() && years.back().kwh != 0) {
            const YearFigures &before = years.back();
            y.hasPrevious = true;
            y.kwhChange = change(y.kwh, before.kwh);
            if (y.hasCost && before.cost != 0)
                y.costChange = change(y.cost, before.cost);
        }
        years.push_back(y);
    }
    return years;
}

} // namespace voltaris
