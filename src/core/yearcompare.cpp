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

        const QDate from = std::max(y.start, first), to = std::min(y.next, last);
        const qint64 coveredDays = from.daysTo(to);
        if (coveredDays <= 0)
            continue;
        y.estimated = from != y.start || to != y.next;
        if (last < y.next) {
            // The year of the last reading is the settlement preview's year:
            // the same figures, extrapolated at the same kWh per day.
            const Settlement now = currentYearOf(readings, contract.start,
                hasPrices ? std::optional(atStart) : std::nullopt, changes, settings);
            y.kwh = now.soFar + now.rest;
            y.hasCost = now.hasContract;
            y.cost = now.cost;
        } else {
            // An earlier year: read where the log covers it whole, else at
            // the kWh per day of the part it covers.
            const long double covered = readingOn(readings, to) - readingOn(readings, from);
            const long double perDay = covered / coveredDays;
            y.kwh = y.estimated ? perDay * y.days : covered;
            y.hasCost = hasPrices;
            if (hasPrices)
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
