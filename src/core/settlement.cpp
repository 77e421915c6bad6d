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

} // namespace

Settlement settlementOf(
    const std::vector<Reading> &readings, const ContractTexts &contract, const FormatSettings &s)
{
    Settlement st;
    const QChar sep = s.decimalSeparator;

    bool ok = takeNumber(
        contract.basePrice, QStringLiteral("Grundpreis pro Jahr"), sep, st.basePrice, st.problems);
    ok = takeNumber(contract.price, QStringLiteral("Strompreis"), sep, st.price, st.problems) && ok;
    ok = takeNumber(contract.monthly, QStringLiteral("monatlich"), sep, st.monthly, st.problems)
        && ok;
    if (!contract.start.isValid()) {
        st.problems << QStringLiteral("Der Vertrag hat kein Anfangsdatum.");
        ok = false;
    }
    if (ok) {
        st.hasContract = true;
        st.paid = st.monthly * MonthsPerYear;
        st.priceNow = st.price;
        st.basePriceNow = st.basePrice;
    }

    if (readings.empty()) {
        st.problems << QStringLiteral("Noch kein Zählerstand eingetragen: Die Vorschau braucht "
                                      "mindestens zwei.");
        return st;
    }
    if (!contract.start.isValid())
        return st;

    // The year: from the contract's day and month in the latest year in
    // which that day is not after the last reading.
    st.first = readings.front();
    st.last = readings.back();
    st.yearStart = contractYearOf(contract.start, st.last.date);
    st.nextYearStart = anniversary(contract.start, st.yearStart.year() + 1);
    st.yearDays = st.yearStart.daysTo(st.nextYearStart);
    st.daysSoFar = st.yearStart.daysTo(st.last.date);
    st.daysLeft = st.last.date.daysTo(st.nextYearStart);
    st.hasYear = true;
    if (st.yearStart < contract.start)
        st.notes << QStringLiteral("Der Vertrag beginnt erst am %1, nach dem letzten "
                                   "Zählerstand: Die Vorschau rechnet das Jahr davor mit den "
                                   "Preisen dieses Vertrags.")
                        .arg(dateToStr(contract.start, s));

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
        return st;
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
        return st;
    // The contract year's bill against its instalments; Panel4's estimate
    // (btn_Save2Click in meterlog/meterlog.cpp) instead holds the tariff's
    // yearly total against a whole year at the log's average.
    st.cost = st.basePrice + (st.soFar + st.rest) * st.price / CentPerEuro;
    st.result = st.paid - st.cost;
    forecast(st);
    return st;
}

Settlement settlementOf(const std::vector<Reading> &readings, const ContractTexts &contract,
    const FormatSettings &s, const PriceChanges &changes, const QDate &today)
{
    Settlement st = settlementOf(readings, contract, s);
    if (!st.hasContract)
        return st;
    const PricesInForce atStart { st.price, st.basePrice, st.monthly };
    const PricesInForce now = pricesOn(changes, atStart, today);
    st.priceNow = now.price;
    st.basePriceNow = now.basePrice;
    if (!st.hasYear)
        return st;
    takeInstalments(st, changes, atStart);
    if (!st.complete())
        return st;
    splitAtTariffChanges(st, readings, changes, atStart);
    st.result = st.paid - st.cost;
    forecast(st);
    return st;
}

QString settlementVerdict(const Settlement &st, QChar separator)
{
    return QStringLiteral("%1 ca. %2 €")
        .arg(st.result >= 0 ? QStringLiteral("Guthaben") : QStringLiteral("Nachzahlung"),
            formatValue(std::fabs(st.result), separator));
}

} // namespace voltaris
