#include "core/household.h"

#include "common/dates.h"
#include "common/numtext.h"

#include <algorithm>

namespace voltaris {

namespace {

// A meter counted in the main contract's year: its readings' year, its kWh
// at `price` (cent, dated changes) on each day.
MeterYear inMainYear(const MeterReadings &m, const Settlement &main, const QDate &start,
    const std::optional<long double> &price, const PriceChanges &changes, const FormatSettings &s)
{
    MeterYear out { m.meter, {}, false };
    const std::optional<PricesInForce> prices
        = price ? std::optional(PricesInForce { *price, 0, 0 }) : std::nullopt;
    out.year = currentYearOf(m.readings, start, prices, pricesPerKwh(changes), s);
    if (!out.year.complete())
        return out;
    if (!main.hasYear || out.year.yearStart != main.yearStart) {
        out.year.problems << (main.hasYear
                ? QStringLiteral("Die letzte Ablesung (%1) liegt nicht im Vertragsjahr des "
                                 "Hauptzählers (%2 bis %3): Der Zähler fehlt in der Summe.")
                      .arg(dateToStr(out.year.last.date, s), dateToStr(main.yearStart, s),
                          dateToStr(main.nextYearStart.addDays(-1), s))
                : QStringLiteral("Ohne Vertragsjahr des Hauptzählers fehlt der Zähler in der "
                                 "Summe."));
        return out;
    }
    out.counted = true;
    return out;
}

// "a € (name) + b € (name)"; a term below zero is subtracted.
QString sumText(const std::vector<std::pair<long double, QString>> &terms, QChar sep)
{
    QString text;
    for (const auto &[value, name] : terms) {
        const QString amount = formatValue(text.isEmpty() ? value : std::abs(value), sep);
        if (!text.isEmpty())
            text += value < 0 ? QStringLiteral(" − ") : QStringLiteral(" + ");
        text += QStringLiteral("%1 € (%2)").arg(amount, name);
    }
    return text;
}

// Paid and the result of a settlement, as the preview writes them; the
// result only of a complete contract, as the preview gives it.
void takePaidAndResult(HouseholdContract &c, const Settlement &st, QChar sep)
{
    c.paid.value = st.paid;
    c.paid.how = st.months.empty() ? QStringLiteral("%1 € × 12").arg(formatValue(st.monthly, sep))
                                   : QStringLiteral("Summe der %1 Abschläge").arg(st.months.size());
    c.result.value = c.complete ? c.paid.value - c.cost.value : 0;
    c.result.how = QStringLiteral("%1 € − %2 €")
                       .arg(formatValue(c.paid.value, sep), formatValue(c.cost.value, sep));
}

} // namespace

PriceChanges pricesPerKwh(const PriceChanges &changes)
{
    PriceChanges out;
    for (const TariffChange &c : changes.tariff)
        if (c.price)
            out.tariff.push_back({ c.from, c.price, std::nullopt });
    return out;
}

bool hasFurtherMeters(const HouseholdInput &input)
{
    return std::any_of(input.further.begin(), input.further.end(),
        [](const MeterReadings &m) { return m.meter.kind != MeterKind::Solar; });
}

HouseholdYear householdYearOf(const HouseholdInput &input, const FormatSettings &s)
{
    const QChar sep = s.decimalSeparator;
    HouseholdYear h;
    h.main = settlementOf(input.main, input.contract.texts(), s, input.changes, input.today);
    const Settlement &main = h.main;
    const QDate start = input.contract.start;
    const std::optional<long double> mainPrice
        = main.hasContract ? std::optional(main.price) : std::nullopt;

    for (const MeterReadings &m : input.further) {
        switch (m.meter.kind) {
        case MeterKind::LowTariff:
            h.lowTariff.push_back(inMainYear(m, main, start, m.meter.price, m.meter.changes, s));
            break;
        case MeterKind::SubMeter:
            h.subMeters.push_back(inMainYear(m, main, start, mainPrice, input.changes, s));
            break;
        case MeterKind::FeedIn:
            h.feedIns.push_back(inMainYear(m, main, start, m.meter.price, m.meter.changes, s));
            break;
        case MeterKind::OwnContract: {
            const OwnContract &c = m.meter.contract;
            MeterYear own { m.meter,
                settlementOf(m.readings, PricesInForce { c.price, c.basePrice, c.monthly }, c.start,
                    s, m.meter.changes, input.today),
                false };
            own.counted = own.year.complete();
            h.ownContracts.push_back(std::move(own));
            break;
        }
        case MeterKind::Main:
        case MeterKind::Solar:
            break;
        }
    }

    // The main contract: the HT register's year with its base price, and
    // each night register's kWh at its price.
    HouseholdContract mainContract;
    mainContract.name = QStringLiteral("Hauptvertrag");
    mainContract.complete = main.complete();
    mainContract.cost.value = main.cost;
    if (h.lowTariff.empty()) {
        mainContract.cost.how = QStringLiteral("Kosten des Jahres des Hauptzählers");
    } else {
        std::vector<std::pair<long double, QString>> terms { { main.cost, QStringLiteral("HT") } };
        for (const MeterYear &nt : h.lowTariff) {
            mainContract.complete = mainContract.complete && nt.counted;
            mainContract.cost.value += nt.year.cost;
            terms.push_back({ nt.year.cost, QStringLiteral("NT „%1“").arg(nt.meter.name) });
        }
        mainContract.cost.how = sumText(terms, sep);
    }
    takePaidAndResult(mainContract, main, sep);
    if (!mainContract.complete)
        h.problems << QStringLiteral("Der Hauptvertrag ist ohne alle Zählerstände und Preise "
                                     "nicht vollständig zu rechnen.");
    h.contracts.push_back(mainContract);

    for (const MeterYear &own : h.ownContracts) {
        const Settlement &st = own.year;
        HouseholdContract c;
        c.name = own.meter.name;
        c.complete = own.counted;
        c.cost.value = st.cost;
        c.cost.how = st.parts.empty()
            ? QStringLiteral("%1 € + (%2 + %3) kWh × %4 ct ÷ 100")
                  .arg(formatValue(st.basePrice, sep), formatValue(st.soFar, sep),
                      formatValue(st.rest, sep), formatValue(st.price, sep))
            : QStringLiteral("Summe der %1 Zeiträume").arg(st.parts.size());
        takePaidAndResult(c, st, sep);
        if (!c.complete)
            h.problems << QStringLiteral("Der Vertrag von „%1“ ist ohne Zählerstände und "
                                         "Preise nicht vollständig zu rechnen.")
                              .arg(own.meter.name);
        h.contracts.push_back(c);
    }

    bool feedInComplete = true;
    std::vector<std::pair<long double, QString>> feedTerms;
    for (const MeterYear &feed : h.feedIns) {
        feedInComplete = feedInComplete && feed.counted;
        h.feedIn.value += feed.year.cost;
        feedTerms.push_back({ feed.year.cost, feed.meter.name });
    }
    h.feedIn.how
        = feedTerms.empty() ? QStringLiteral("keine Einspeisung") : sumText(feedTerms, sep);
    if (!feedInComplete)
        h.problems << QStringLiteral("Die Einspeisung ist ohne alle Zählerstände nicht "
                                     "vollständig zu rechnen.");

    h.complete = feedInComplete
        && std::all_of(h.contracts.begin(), h.contracts.end(),
            [](const HouseholdContract &c) { return c.complete; });
    std::vector<std::pair<long double, QString>> netTerms;
    for (const HouseholdContract &c : h.contracts) {
        h.net.value += c.result.value;
        netTerms.push_back({ c.result.value, QStringLiteral("Ergebnis %1").arg(c.name) });
    }
    if (!h.feedIns.empty()) {
        h.net.value += h.feedIn.value;
        netTerms.push_back({ h.feedIn.value, QStringLiteral("Einspeisung") });
    }
    h.net.how = sumText(netTerms, sep);
    return h;
}

} // namespace voltaris
