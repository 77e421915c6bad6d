#include "core/settlement.h"

#include "common/dates.h"
#include "common/numtext.h"
#include "common/units.h"
#include "core/contractyear.h"

#include <algorithm>
#include <cmath>

namespace voltaris {

namespace {

bool takeNumber(
    const QString &text, const QString &name, QChar sep, long double &value, QStringList &problems)
{
    if (tryStrToFloat(text, sep, value))
        return true;
    problems << (text.trimmed().isEmpty()
            ? QStringLiteral("„%1“ im Vertrag ist leer.").arg(name)
            : QStringLiteral("„%1“ im Vertrag ist keine Zahl: „%2“.").arg(name, text));
    return false;
}

// The next year at the prices now in force, and the instalment that fits it.
void forecast(Settlement &st)
{
    st.nextYear = st.perDay * DaysPerYear * st.priceNow / CentPerEuro + st.basePriceNow;
    // Rounded to the cent first, so that an exact amount is not pushed up a
    // euro by a rounding error far behind the comma.
    st.suggested = std::ceil(std::round(st.nextYear / MonthsPerYear * CentPerEuro) / CentPerEuro);
}

// The twelve instalments month by month, when a change makes one of them
// differ from the contract's; otherwise paid stays monthly × 12.
void takeInstalments(Settlement &st, const PriceChanges &changes, const PricesInForce &atStart)
{
    std::vector<SettlementMonth> months;
    bool changed = false;
    for (int i = 0; i < MonthsPerYear; ++i) {
        const QDate from = st.yearStart.addMonths(i);
        months.push_back({ from, pricesOn(changes, atStart, from).monthly });
        changed = changed || months.back().monthly != st.monthly;
    }
    if (!changed)
        return;
    st.months = std::move(months);
    st.paid = 0;
    for (const SettlementMonth &m : st.months)
        st.paid += m.monthly;
    // Changed in the year or before it: the latest change due by the last
    // month set its amount.
    for (const InstalmentChange &c : changes.instalments) {
        const QDate due(c.from.year(), c.from.month(), 1);
        if (due > st.months.back().from)
            break;
        st.lastMonthlyFrom = due;
    }
}

// The year in parts at one set of prices each, when a tariff change reaches
// into it; the cost is then their sum. Without one the contract's fields
// alone price the year, as the caller computed it.
void splitAtTariffChanges(Settlement &st, const std::vector<Reading> &readings,
    const PriceChanges &changes, const PricesInForce &atStart)
{
    if (changes.tariff.empty() || changes.tariff.front().from >= st.nextYearStart)
        return;
    // Past the last reading at the kWh per day. Before the first one the
    // log counts nothing: readingOn gives the first reading there, the
    // year's start reading in that case.
    const auto readingAt = [&](const QDate &day) {
        if (day > st.last.date)
            return st.last.kwh + st.perDay * st.last.date.daysTo(day);
        return readingOn(readings, day);
    };
    st.cost = 0;
    for (const TariffPeriod &period :
        tariffPeriods(changes, atStart, st.yearStart, st.nextYearStart)) {
        SettlementPart part;
        part.from = period.from;
        part.to = period.to;
        part.days = period.from.daysTo(period.to);
        part.startReading = readingAt(part.from);
        part.endReading = readingAt(part.to);
        part.endEstimated = part.to > st.last.date;
        part.kwh = part.endReading - part.startReading;
        part.price = period.price;
        part.basePrice = period.basePrice;
        part.energyCost = part.kwh * part.price / CentPerEuro;
        part.baseCost = part.basePrice * part.days / st.yearDays;
        st.cost += part.energyCost + part.baseCost;
        st.parts.push_back(part);
    }
}

// The year that holds the last reading: its start reading, the consumption
// so far, the kWh per day and the rest of the year; with prices
// (hasContract), its cost, split at the tariff changes that reach into it.
void estimateYear(Settlement &st, const std::vector<Reading> &readings, const QDate &start,
    const PriceChanges &changes, const FormatSettings &s)
{
    if (readings.empty()) {
        st.problems << QStringLiteral("Noch kein Zählerstand eingetragen: Die Vorschau braucht "
                                      "mindestens zwei.");
        return;
    }
    if (!start.isValid())
        return;

    // The year: from the contract's day and month in the latest year in
    // which that day is not after the last reading.
    st.first = readings.front();
    st.last = readings.back();
    st.yearStart = contractYearOf(start, st.last.date);
    st.nextYearStart = anniversary(start, st.yearStart.year() + 1);
    st.yearDays = st.yearStart.daysTo(st.nextYearStart);
    st.daysSoFar = st.yearStart.daysTo(st.last.date);
    st.daysLeft = st.last.date.daysTo(st.nextYearStart);
    st.hasYear = true;
    if (st.yearStart < start)
        st.notes << QStringLiteral("Der Vertrag beginnt erst am %1, nach dem letzten "
                                   "Zählerstand: Die Vorschau rechnet das Jahr davor mit den "
                                   "Preisen dieses Vertrags.")
                        .arg(dateToStr(start, s));

    const Reading &first = st.first;
    if (first.date > st.yearStart) {
        st.startFrom = Settlement::StartFrom::FirstReading;
        st.startReading = first.kwh;
        st.notes << QStringLiteral("Die Ablesungen beginnen erst am %1: Als Stand zu Beginn des "
                                   "Vertragsjahres gilt der erste Zählerstand, der Verbrauch "
                                   "davor fehlt in der Rechnung.")
                        .arg(dateToStr(first.date, s));
    } else {
        st.startReading = readingOn(readings, st.yearStart);
        const auto after = std::find_if(readings.begin(), readings.end(),
            [&](const Reading &r) { return r.date >= st.yearStart; });
        if (after->date != st.yearStart) {
            st.startFrom = Settlement::StartFrom::Interpolated;
            st.before = *(after - 1);
            st.after = *after;
        }
    }
    st.soFar = st.last.kwh - st.startReading;

    if (readings.size() < 2) {
        st.problems << QStringLiteral("Erst ein Zählerstand eingetragen: Für den Verbrauch pro "
                                      "Tag braucht die Vorschau mindestens zwei.");
        return;
    }
    const QDate yearAgo = st.last.date.addDays(-DaysPerYear);
    st.rateOverYear = first.date <= yearAgo;
    st.rateFrom = st.rateOverYear ? yearAgo : first.date;
    st.rateReading = st.rateOverYear ? readingOn(readings, yearAgo) : first.kwh;
    st.rateDays = st.rateFrom.daysTo(st.last.date);
    st.perDay = (st.last.kwh - st.rateReading) / st.rateDays;
    st.rest = st.perDay * st.daysLeft;
    st.hasRate = true;
    if (st.perDay < 0)
        st.notes << QStringLiteral("Der Zählerstand ist gesunken (ein neuer Zähler?): Die "
                                   "Vorschau ist so nicht verlässlich.");

    if (!st.hasContract)
        return;
    // The contract year's bill against its instalments; Panel4's estimate
    // (btn_Save2Click in meterlog/meterlog.cpp) instead holds the tariff's
    // yearly total against a whole year at the log's average.
    st.cost = st.basePrice + (st.soFar + st.rest) * st.price / CentPerEuro;
    splitAtTariffChanges(st, readings, changes, { st.price, st.basePrice, st.monthly });
}

// The year against its instalments, once the contract's numbers are in
// `st` (`ok`: all of them are numbers).
Settlement settle(Settlement st, bool ok, const std::vector<Reading> &readings, const QDate &start,
    const FormatSettings &s, const PriceChanges &changes, const QDate &today)
{
    if (!start.isValid()) {
        st.problems << QStringLiteral("Der Vertrag hat kein Anfangsdatum.");
        ok = false;
    }
    const PricesInForce atStart { st.price, st.basePrice, st.monthly };
    if (ok) {
        st.hasContract = true;
        st.paid = st.monthly * MonthsPerYear;
        const PricesInForce now = pricesOn(changes, atStart, today);
        st.priceNow = now.price;
        st.basePriceNow = now.basePrice;
    }
    estimateYear(st, readings, start, changes, s);
    if (st.hasContract && st.hasYear)
        takeInstalments(st, changes, atStart);
    if (!st.complete())
        return st;
    st.result = st.paid - st.cost;
    forecast(st);
    return st;
}

} // namespace

Settlement settlementOf(
    const std::vector<Reading> &readings, const ContractTexts &contract, const FormatSettings &s)
{
    return settlementOf(readings, contract, s, {}, QDate());
}

Settlement settlementOf(const std::vector<Reading> &readings, const ContractTexts &contract,
    const FormatSettings &s, const PriceChanges &changes, const QDate &today)
{
    Settlement st;
    const QChar sep = s.decimalSeparator;

    bool ok = takeNumber(
        contract.basePrice, QStringLiteral("Grundpreis pro Jahr"), sep, st.basePrice, st.problems);
    ok = takeNumber(contract.price, QStringLiteral("Strompreis"), sep, st.price, st.problems) && ok;
    ok = takeNumber(contract.monthly, QStringLiteral("monatlich"), sep, st.monthly, st.problems)
        && ok;
    return settle(st, ok, readings, contract.start, s, changes, today);
}

Settlement settlementOf(const std::vector<Reading> &readings, const PricesInForce &atStart,
    const QDate &start, const FormatSettings &s, const PriceChanges &changes, const QDate &today)
{
    Settlement st;
    st.basePrice = atStart.basePrice;
    st.price = atStart.price;
    st.monthly = atStart.monthly;
    return settle(st, true, readings, start, s, changes, today);
}

Settlement currentYearOf(const std::vector<Reading> &readings, const QDate &contractStart,
    const std::optional<PricesInForce> &prices, const PriceChanges &changes,
    const FormatSettings &s)
{
    Settlement st;
    if (prices) {
        st.hasContract = true;
        st.price = prices->price;
        st.basePrice = prices->basePrice;
        st.monthly = prices->monthly;
    }
    estimateYear(st, readings, contractStart, changes, s);
    return st;
}

QString settlementVerdict(const Settlement &st, QChar separator)
{
    return QStringLiteral("%1 ca. %2 €")
        .arg(st.result >= 0 ? QStringLiteral("Guthaben") : QStringLiteral("Nachzahlung"),
            formatValue(std::fabs(st.result), separator));
}

} // namespace voltaris
