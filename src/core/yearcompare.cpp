#include "core/yearcompare.h"

#include "common/numtext.h"
#include "common/units.h"
#include "core/contractyear.h"

#include <algorithm>
#include <map>

namespace voltaris {

namespace {

// Percent of `now` against `before`.
long double change(long double now, long double before)
{
    return (now - before) / before * 100;
}

// Each year against the one before.
void compareWithPrevious(std::vector<YearFigures> &years)
{
    for (size_t i = 1; i < years.size(); ++i) {
        const YearFigures &before = years[i - 1];
        YearFigures &y = years[i];
        if (before.kwh == 0)
            continue;
        y.hasPrevious = true;
        y.kwhChange = change(y.kwh, before.kwh);
        if (y.hasCost && before.cost != 0)
            y.costChange = change(y.cost, before.cost);
    }
}

} // namespace

std::vector<YearFigures> yearComparison(const std::vector<Reading> &readings,
    const ContractTexts &contract, const FormatSettings &settings, const PriceChanges &changes)
{
    const QChar sep = settings.decimalSeparator;
    PricesInForce atStart;
    const bool hasPrices = tryStrToFloat(contract.basePrice, sep, atStart.basePrice)
        && tryStrToFloat(contract.price, sep, atStart.price);
    return yearComparison(readings, contract.start,
        hasPrices ? std::optional(atStart) : std::nullopt, settings, changes);
}

std::vector<YearFigures> yearComparison(const std::vector<Reading> &readings,
    const QDate &contractStart, const std::optional<PricesInForce> &prices,
    const FormatSettings &settings, const PriceChanges &changes)
{
    std::vector<YearFigures> years;
    if (readings.size() < 2 || !contractStart.isValid())
        return years;
    const bool hasPrices = prices.has_value();
    const PricesInForce atStart = prices.value_or(PricesInForce {});
    const QDate first = readings.front().date, last = readings.back().date;

    for (QDate start = contractYearOf(contractStart, first); start <= last;) {
        YearFigures y;
        y.start = start;
        y.next = anniversary(contractStart, start.year() + 1);
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
            const Settlement now
                = currentYearOf(readings, contractStart, prices, changes, settings);
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
        years.push_back(y);
    }
    compareWithPrevious(years);
    return years;
}

HouseholdYears householdYearComparison(const HouseholdInput &input, const FormatSettings &s)
{
    HouseholdYears out;
    if (!hasFurtherMeters(input))
        return out;
    const QDate start = input.contract.start;
    const ContractTexts contract = input.contract.texts();
    // The main contract's price per kWh prices a sub-meter, when a number.
    std::optional<PricesInForce> mainPrices;
    if (PricesInForce p; tryStrToFloat(contract.price, s.decimalSeparator, p.price))
        mainPrices = p;
    const auto perKwh = [](const std::optional<long double> &cent) {
        return cent ? std::optional(PricesInForce { *cent, 0, 0 }) : std::nullopt;
    };
    out.meters.push_back({ QStringLiteral("Hauptzähler"), MeterKind::Main,
        yearComparison(input.main, contract, s, input.changes) });

    // The total by the main contract's years: what each meter bought in it.
    std::map<QDate, std::vector<YearFigures>> bought;
    for (const YearFigures &y : out.meters.front().years)
        bought[y.start].push_back(y);
    for (const MeterReadings &m : input.further) {
        const Meter &meter = m.meter;
        const OwnContract &own = meter.contract;
        const PricesInForce ownPrices { own.price, own.basePrice, own.monthly };
        std::vector<YearFigures> years;
        switch (meter.kind) {
        case MeterKind::LowTariff:
            years = yearComparison(
                m.readings, start, perKwh(meter.price), s, pricesPerKwh(meter.changes));
            for (const YearFigures &y : years)
                bought[y.start].push_back(y);
            break;
        case MeterKind::SubMeter:
            years = yearComparison(m.readings, start, mainPrices, s, pricesPerKwh(input.changes));
            break;
        case MeterKind::FeedIn:
            years = yearComparison(
                m.readings, start, perKwh(meter.price), s, pricesPerKwh(meter.changes));
            break;
        case MeterKind::OwnContract:
            years = yearComparison(m.readings, own.start, ownPrices, s, meter.changes);
            for (const YearFigures &y :
                yearComparison(m.readings, start, ownPrices, s, meter.changes))
                bought[y.start].push_back(y);
            break;
        case MeterKind::Main:
        case MeterKind::Solar:
            continue;
        }
        out.meters.push_back({ meter.name, meter.kind, years });
    }
    for (const auto &[yearStart, parts] : bought) {
        YearFigures total = parts.front();
        total.hasPrevious = false;
        total.kwhChange = total.costChange = 0;
        for (size_t i = 1; i < parts.size(); ++i) {
            total.kwh += parts[i].kwh;
            total.cost += parts[i].cost;
            total.hasCost = total.hasCost && parts[i].hasCost;
            total.estimated = total.estimated || parts[i].estimated;
        }
        out.total.push_back(total);
    }
    compareWithPrevious(out.total);
    return out;
}

} // namespace voltaris
