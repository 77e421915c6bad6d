#include "core/settlement.h"

#include "common/dates.h"
#include "common/numtext.h"
#include "common/units.h"

#include <algorithm>
#include <cmath>

namespace voltaris {

namespace {

// The contract's day and month in `year`; a 29 February falls on the 28th
// in other years, the last day of that month.
QDate anniversary(const QDate &start, int year)
{
    const int day = std::min(start.day(), QDate(year, start.month(), 1).daysInMonth());
    return QDate(year, start.month(), day);
}

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
    st.yearStart = anniversary(contract.start, st.last.date.year());
    if (st.yearStart > st.last.date)
        st.yearStart = anniversary(contract.start, st.last.date.year() - 1);
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
    st.nextYear = st.perDay * DaysPerYear * st.price / CentPerEuro + st.basePrice;
    // Rounded to the cent first, so that an exact amount is not pushed up a
    // euro by a rounding error far behind the comma.
    st.suggested = std::ceil(std::round(st.nextYear / MonthsPerYear * CentPerEuro) / CentPerEuro);
    return st;
}

QString settlementVerdict(const Settlement &st, QChar separator)
{
    return QStringLiteral("%1 ca. %2 €")
        .arg(st.result >= 0 ? QStringLiteral("Guthaben") : QStringLiteral("Nachzahlung"),
            formatValue(std::fabs(st.result), separator));
}

} // namespace voltaris
