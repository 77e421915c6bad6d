#include "qt/settlementsheet.h"

#include "common/dates.h"
#include "common/numtext.h"
#include "core/meters.h"
#include "core/solar.h"

#include <algorithm>

namespace voltaris {

namespace {

const QString Green = QStringLiteral("#008000");
const QString Red = QStringLiteral("#ff0000");

// The figures as an HTML table: what, how, how much.
class Sheet {
public:
    Sheet(const FormatSettings &s)
        : s_(s)
    { }
    QString f(long double x) const { return formatValue(x, s_.decimalSeparator); }
    QString kwh(long double x) const { return f(x) + QStringLiteral(" kWh"); }
    QString euro(long double x) const { return f(x) + QStringLiteral(" €"); }
    QString date(const QDate &d) const { return dateToStr(d, s_); }
    void row(
        const QString &what, const QString &how, const QString &value, const QString &colour = {})
    {
        const QString v = colour.isEmpty()
            ? value.toHtmlEscaped()
            : QStringLiteral("<b style=\"color:%1\">%2</b>").arg(colour, value.toHtmlEscaped());
        // A line break in `how` starts a new line of the cell.
        QString h = how.toHtmlEscaped();
        h.replace(QLatin1Char('\n'), QLatin1String("<br>"));
        html_ += QStringLiteral(
            "<tr valign=\"top\"><td><b>%1</b></td><td>%2</td><td align=\"right\">%3</td></tr>")
                     .arg(what.toHtmlEscaped(), h, v);
    }
    // A row that names what the rows below it belong to.
    void heading(const QString &what, const QString &how)
    {
        html_ += QStringLiteral("<tr valign=\"top\"><td colspan=\"3\" style=\"padding-top:8px\">"
                                "<b>%1</b> %2</td></tr>")
                     .arg(what.toHtmlEscaped(), how.toHtmlEscaped());
    }
    void paragraph(const QString &text, const QString &style = {})
    {
        html_ += QStringLiteral("<p style=\"%1\">%2</p>").arg(style, text.toHtmlEscaped());
    }
    void open() { html_ += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"4\">"); }
    void close() { html_ += QStringLiteral("</table>"); }
    QString html() const { return html_; }

private:
    const FormatSettings &s_;
    QString html_;
};

QString days(qint64 n)
{
    return n == 1 ? QStringLiteral("1 Tag") : QStringLiteral("%1 Tage").arg(n);
}

// After "in" the dative: "in 1 Tag", "in 304 Tagen".
QString inDays(qint64 n)
{
    return n == 1 ? QStringLiteral("in 1 Tag") : QStringLiteral("in %1 Tagen").arg(n);
}

// How the reading on a part's boundary was found.
QString howFound(const Settlement &st, const std::vector<Reading> &readings, const QDate &day)
{
    const bool read = std::any_of(
        readings.begin(), readings.end(), [&day](const Reading &r) { return r.date == day; });
    if (read)
        return QStringLiteral("abgelesen");
    if (st.hasYear && day > st.last.date)
        return QStringLiteral("geschätzt");
    if (st.hasYear && day < st.first.date)
        return QStringLiteral("geschätzt (erster Zählerstand)");
    return QStringLiteral("interpoliert");
}

// The terms of a sum, two parts (four terms) a line, so that many changes
// of price lengthen the sheet instead of widening it past the screen.
QString sumLines(const QStringList &terms)
{
    QString text;
    for (qsizetype i = 0; i < terms.size(); ++i) {
        if (i > 0)
            text += i % 4 == 0 ? QStringLiteral("\n+ ") : QStringLiteral(" + ");
        text += terms[i];
    }
    return text;
}

// The year split at the changes of price: each part's consumption and its
// cost at that part's prices, then their sum.
// A meter priced by the kWh alone (a night register, a sub-meter, feed-in)
// has no base price: its parts say so, and what they call kWh and cost.
struct PartWords {
    bool basePrice = true;
    QString kwh = QStringLiteral("Verbrauch");
    QString energy = QStringLiteral("Arbeitspreis");
    QString total = QStringLiteral("Kosten des Jahres");
};

void partRows(
    Sheet &h, const Settlement &st, const std::vector<Reading> &readings, const PartWords &w = {})
{
    QStringList sums;
    int number = 0;
    for (const SettlementPart &p : st.parts) {
        const QString period
            = QStringLiteral("%1 bis %2 (%3), %4 ct/kWh")
                  .arg(h.date(p.from), h.date(p.to.addDays(-1)), days(p.days), h.f(p.price));
        h.heading(QStringLiteral("Zeitraum %1:").arg(++number),
            w.basePrice
                ? period + QStringLiteral(", Grundpreis %1 im Jahr").arg(h.euro(p.basePrice))
                : period);
        h.row(QStringLiteral("Stand am %1").arg(h.date(p.from)), howFound(st, readings, p.from),
            h.kwh(p.startReading));
        h.row(QStringLiteral("Stand am %1").arg(h.date(p.to)),
            p.endEstimated ? QStringLiteral("geschätzt") : howFound(st, readings, p.to),
            h.kwh(p.endReading));
        h.row(w.kwh, QStringLiteral("%1 − %2").arg(h.f(p.endReading), h.f(p.startReading)),
            h.kwh(p.kwh));
        h.row(w.energy, QStringLiteral("%1 kWh × %2 ct ÷ 100").arg(h.f(p.kwh), h.f(p.price)),
            h.euro(p.energyCost));
        sums << h.f(p.energyCost);
        if (!w.basePrice)
            continue;
        h.row(QStringLiteral("Grundpreis"),
            QStringLiteral("%1 × %2 ÷ %3")
                .arg(h.euro(p.basePrice), days(p.days), days(st.yearDays)),
            h.euro(p.baseCost));
        sums << h.f(p.baseCost);
    }
    h.row(
        w.total, QStringLiteral("Summe der Zeiträume:\n%1 €").arg(sumLines(sums)), h.euro(st.cost));
}

// The twelve instalments, three a line, and their sum.
void monthRows(Sheet &h, const Settlement &st)
{
    QStringList lines, line;
    for (const SettlementMonth &m : st.months) {
        line << QStringLiteral("%1: %2").arg(h.date(m.from), h.euro(m.monthly));
        if (line.size() == 3) {
            lines << line.join(QStringLiteral(", "));
            line.clear();
        }
    }
    if (!line.isEmpty())
        lines << line.join(QStringLiteral(", "));
    h.row(QStringLiteral("Bezahlt"),
        QStringLiteral("Summe der %1 Abschläge:\n%2")
            .arg(st.months.size())
            .arg(lines.join(QLatin1Char('\n'))),
        h.euro(st.paid));
}

// What the rows of a meter's year call its kWh: consumed, or fed in.
struct YearWords {
    QString soFar, perDay;
};
const YearWords Consumption { QStringLiteral("Verbrauch bisher"),
    QStringLiteral("Verbrauch pro Tag") };
const YearWords FedIn { QStringLiteral("Eingespeist bisher"),
    QStringLiteral("Einspeisung pro Tag") };

// The year's start reading, its kWh so far, per day and in the rest of it.
void yearRows(Sheet &h, const Settlement &st, const YearWords &words)
{
    QString how;
    switch (st.startFrom) {
    case Settlement::StartFrom::Reading:
        how = QStringLiteral("abgelesen");
        break;
    case Settlement::StartFrom::Interpolated:
        how = QStringLiteral("linear zwischen %1 (%2) und %3 (%4):\n%5 + (%6 − %5) × %7 ÷ %8")
                  .arg(h.date(st.before.date), h.kwh(st.before.kwh), h.date(st.after.date),
                      h.kwh(st.after.kwh), h.f(st.before.kwh), h.f(st.after.kwh))
                  .arg(st.before.date.daysTo(st.yearStart))
                  .arg(st.before.date.daysTo(st.after.date));
        break;
    case Settlement::StartFrom::FirstReading:
        how = QStringLiteral("erster Zählerstand (%1)").arg(h.date(st.first.date));
        break;
    }
    h.row(QStringLiteral("Stand zu Beginn"), how, h.kwh(st.startReading));
    // The days the kWh so far were counted in: from the first reading
    // when the log begins inside the year.
    const qint64 counted = st.startFrom == Settlement::StartFrom::FirstReading
        ? st.first.date.daysTo(st.last.date)
        : st.daysSoFar;
    h.row(words.soFar,
        QStringLiteral("%1 − %2 %3").arg(h.f(st.last.kwh), h.f(st.startReading), inDays(counted)),
        h.kwh(st.soFar));
    if (st.hasRate) {
        h.row(words.perDay,
            QStringLiteral("(%1 − %2) ÷ %3,\n%4")
                .arg(h.f(st.last.kwh), h.f(st.rateReading), days(st.rateDays),
                    st.rateOverYear
                        ? QStringLiteral("über die letzten 365 Tage (Stand am %1 linear)")
                              .arg(h.date(st.rateFrom))
                        : QStringLiteral("seit dem ersten Zählerstand am %1")
                              .arg(h.date(st.rateFrom))),
            h.f(st.perDay) + QStringLiteral(" kWh/Tag"));
        h.row(QStringLiteral("Rest des Jahres"),
            QStringLiteral("%1 kWh/Tag × %2").arg(h.f(st.perDay), days(st.daysLeft)),
            h.kwh(st.rest));
    }
}

} // namespace

QString settlementSheetHtml(
    const Settlement &st, const std::vector<Reading> &readings, const FormatSettings &s)
{
    Sheet h(s);
    if (st.hasYear) {
        h.paragraph(QStringLiteral("Vertragsjahr %1 bis %2 (%3), letzte Ablesung am %4")
                        .arg(h.date(st.yearStart), h.date(st.nextYearStart.addDays(-1)),
                            days(st.yearDays), h.date(st.last.date)),
            QStringLiteral("font-size:large"));
        h.open();
        yearRows(h, st, Consumption);
        if (st.complete()) {
            if (st.parts.empty())
                h.row(QStringLiteral("Kosten des Jahres"),
                    QStringLiteral("%1 + (%2 + %3) kWh × %4 ct ÷ 100")
                        .arg(h.euro(st.basePrice), h.f(st.soFar), h.f(st.rest), h.f(st.price)),
                    h.euro(st.cost));
            else
                partRows(h, st, readings);
            if (st.months.empty())
                h.row(QStringLiteral("Bezahlt"), QStringLiteral("%1 × 12").arg(h.euro(st.monthly)),
                    h.euro(st.paid));
            else
                monthRows(h, st);
            h.row(QStringLiteral("Ergebnis"),
                QStringLiteral("%1 − %2").arg(h.euro(st.paid), h.euro(st.cost)),
                settlementVerdict(st, s.decimalSeparator), st.result >= 0 ? Green : Red);
            // The next year is paid at the prices in force now; said so where
            // they are not simply the contract's.
            const bool pricesNow
                = !st.parts.empty() || st.priceNow != st.price || st.basePriceNow != st.basePrice;
            const long double price = pricesNow ? st.priceNow : st.price;
            const long double basePrice = pricesNow ? st.basePriceNow : st.basePrice;
            h.row(QStringLiteral("Abschlag fürs nächste Jahr"),
                QStringLiteral("(%1 kWh/Tag × 365 × %2 ct ÷ 100 + %3) ÷ 12\n= %4, aufgerundet")
                        .arg(
                            h.f(st.perDay), h.f(price), h.euro(basePrice), h.euro(st.nextYear / 12))
                    + (pricesNow ? QStringLiteral("\nzu den heute geltenden Preisen") : QString()),
                QStringLiteral("%1 € im Monat")
                    .arg(formatFixed(st.suggested, 18, 0, s.decimalSeparator)),
                QStringLiteral("#000000"));
            if (st.months.empty())
                h.row(QStringLiteral("Abschlag bisher"), QStringLiteral("monatlich laut Vertrag"),
                    h.euro(st.monthly));
            else
                h.row(QStringLiteral("Abschlag bisher"),
                    QStringLiteral("zuletzt, ab %1").arg(h.date(st.lastMonthlyFrom)),
                    h.euro(st.months.back().monthly));
        }
        h.close();
    }
    for (const QString &note : st.notes)
        h.paragraph(note, QStringLiteral("font-style:italic"));
    for (const QString &problem : st.problems)
        h.paragraph(problem, QStringLiteral("color:") + Red);
    if (st.complete())
        h.paragraph(QStringLiteral("Eine Schätzung: Die Rechnung des Anbieters kann abweichen."),
            QStringLiteral("color:#555555"));
    return h.html();
}

namespace {

const std::vector<Reading> &readingsOf(const HouseholdInput &in, const Meter &meter)
{
    static const std::vector<Reading> none;
    for (const MeterReadings &m : in.further)
        if (m.meter.fileKey == meter.fileKey)
            return m.readings;
    return none;
}

QString quoted(const QString &name)
{
    return QStringLiteral("„%1“").arg(name);
}

void section(QString &html, const QString &title)
{
    html += QStringLiteral("<h3>%1</h3>").arg(title.toHtmlEscaped());
}

QString verdict(long double result, QChar sep)
{
    return QStringLiteral("%1 ca. %2 €")
        .arg(result >= 0 ? QStringLiteral("Guthaben") : QStringLiteral("Nachzahlung"),
            formatValue(std::fabs(result), sep));
}

// A meter priced by the kWh in the main contract's year: its kWh as the
// main meter's are counted, and their price day by day.
QString meterSheet(const MeterYear &m, const std::vector<Reading> &readings, const YearWords &year,
    const PartWords &w, const FormatSettings &s)
{
    const Settlement &st = m.year;
    Sheet h(s);
    if (st.hasYear) {
        h.paragraph(QStringLiteral("Vertragsjahr %1 bis %2 (%3), letzte Ablesung am %4")
                        .arg(h.date(st.yearStart), h.date(st.nextYearStart.addDays(-1)),
                            days(st.yearDays), h.date(st.last.date)));
        h.open();
        yearRows(h, st, year);
        if (st.complete()) {
            if (st.parts.empty())
                h.row(w.total,
                    QStringLiteral("(%1 + %2) kWh × %3 ct ÷ 100")
                        .arg(h.f(st.soFar), h.f(st.rest), h.f(st.price)),
                    h.euro(st.cost));
            else
                partRows(h, st, readings, w);
        }
        h.close();
    }
    for (const QString &note : st.notes)
        h.paragraph(note, QStringLiteral("font-style:italic"));
    for (const QString &problem : st.problems)
        h.paragraph(problem, QStringLiteral("color:") + Red);
    return h.html();
}

// The solar systems' part of the main contract's year: what the household
// used of their output, and what that saved at the working price. Saved
// money is none paid: the household's result leaves it out.
void solarRows(Sheet &h, const SolarFigures &solar, const Settlement &main)
{
    h.heading(QStringLiteral("Solar:"), QString());
    const SolarYearSummary year
        = main.hasYear ? solarYearOf(solar, main.yearStart) : SolarYearSummary {};
    if (!year.found || !solar.hasPrice) {
        h.row(QStringLiteral("Ersparnis"),
            solar.hasPrice ? QStringLiteral("keine Solar-Ablesungen im Vertragsjahr")
                           : QStringLiteral("ohne Arbeitspreis nicht zu rechnen"),
            QStringLiteral("–"));
        return;
    }
    const QString counted
        = QStringLiteral("vom %1 bis %2 (%3)")
              .arg(h.date(year.from), h.date(year.to.addDays(-1)), days(year.from.daysTo(year.to)));
    h.row(QStringLiteral("Eigenverbrauch"),
        QStringLiteral("Erzeugung − Einspeisung, nie unter 0,\n") + counted, h.kwh(year.selfUse));
    // One working price in the counted days: the product; else the sum of
    // the days at their prices, as the solar page lists it.
    const auto at = std::find_if(solar.years.begin(), solar.years.end(),
        [&](const SolarYear &y) { return y.start == main.yearStart; });
    const QString product = at != solar.years.end() && at->parts.size() == 1
        ? QStringLiteral("%1 kWh × %2 ct ÷ 100").arg(h.f(year.selfUse), h.f(at->parts[0].price))
        : QStringLiteral("%1 kWh × Arbeitspreis des Tages ÷ 100").arg(h.f(year.selfUse));
    h.row(QStringLiteral("Ersparnis"),
        product + QStringLiteral(",\n") + counted
            + QStringLiteral(";\nnicht im Ergebnis des Haushalts: gespart, nicht gezahlt"),
        h.euro(year.savings));
}

} // namespace

bool showsHousehold(const HouseholdInput &input)
{
    return hasFurtherMeters(input)
        || std::any_of(input.further.begin(), input.further.end(),
            [](const MeterReadings &m) { return m.meter.kind == MeterKind::Solar; });
}

HouseholdSheet householdSheetOf(
    const HouseholdYear &hy, const HouseholdInput &in, const FormatSettings &s)
{
    const QChar sep = s.decimalSeparator;
    HouseholdSheet sheet;
    QString &html = sheet.mainContract;
    const PartWords nt { false, QStringLiteral("Verbrauch"), QStringLiteral("Arbeitspreis"),
        QStringLiteral("Kosten NT") };
    for (const MeterYear &m : hy.lowTariff) {
        section(html, QStringLiteral("Niedertarif (NT): %1").arg(quoted(m.meter.name)));
        html += meterSheet(m, readingsOf(in, m.meter), Consumption, nt, s);
    }

    // Behind the main meter: what it counted of the main meter's kWh, and
    // what that part cost.
    const Settlement &main = hy.main;
    long double mainKwh = main.soFar + main.rest;
    for (const MeterYear &m : hy.lowTariff)
        if (m.counted)
            mainKwh += m.year.soFar + m.year.rest;
    const PartWords sub { false, QStringLiteral("Verbrauch"), QStringLiteral("Arbeitspreis"),
        QStringLiteral("Anteil an den Kosten") };
    for (const MeterYear &m : hy.subMeters) {
        section(html, QStringLiteral("Unterzähler: %1").arg(quoted(m.meter.name)));
        html += meterSheet(m, readingsOf(in, m.meter), Consumption, sub, s);
        Sheet h(s);
        if (m.counted && main.complete() && mainKwh > 0) {
            const long double kwh = m.year.soFar + m.year.rest;
            h.open();
            h.row(QStringLiteral("Anteil am Verbrauch"),
                QStringLiteral("%1 kWh ÷ %2 kWh des Hauptzählers × 100")
                    .arg(h.f(kwh), h.f(mainKwh)),
                h.f(kwh / mainKwh * 100) + QStringLiteral(" %"));
            h.close();
        }
        h.paragraph(QStringLiteral("Im Verbrauch des Hauptzählers enthalten: Seine Kosten sind "
                                   "ein Teil von dessen Kosten und werden nicht dazugezählt."),
            QStringLiteral("font-style:italic"));
        html += h.html();
    }

    for (const MeterYear &m : hy.ownContracts) {
        const OwnContract &c = m.meter.contract;
        QString &own = sheet.ownContracts.emplace_back();
        section(own, QStringLiteral("Eigener Vertrag: %1").arg(quoted(m.meter.name)));
        Sheet h(s);
        h.paragraph(QStringLiteral("%1, %2; ab %3: Grundpreis %4 im Jahr, %5 ct/kWh, Abschlag %6 "
                                   "im Monat")
                        .arg(c.provider, c.tariff, h.date(c.start), h.euro(c.basePrice),
                            h.f(c.price), h.euro(c.monthly)));
        own += h.html() + settlementSheetHtml(m.year, readingsOf(in, m.meter), s);
    }

    QString &rest = sheet.rest;
    const PartWords feed { false, QStringLiteral("Eingespeist"), QStringLiteral("Vergütung"),
        QStringLiteral("Einspeisevergütung") };
    for (const MeterYear &m : hy.feedIns) {
        section(rest, QStringLiteral("Einspeisung: %1").arg(quoted(m.meter.name)));
        rest += meterSheet(m, readingsOf(in, m.meter), FedIn, feed, s);
    }

    section(rest, QStringLiteral("Haushalt: Zusammenfassung"));
    Sheet h(s);
    h.open();
    for (const HouseholdContract &c : hy.contracts) {
        h.heading(c.name + QLatin1Char(':'), QString());
        if (!c.complete) {
            h.row(QStringLiteral("Ergebnis"), QStringLiteral("nicht zu rechnen"),
                QStringLiteral("–"));
            continue;
        }
        h.row(QStringLiteral("Kosten"), c.cost.how, h.euro(c.cost.value));
        h.row(QStringLiteral("Bezahlt"), c.paid.how, h.euro(c.paid.value));
        h.row(QStringLiteral("Ergebnis"), c.result.how, verdict(c.result.value, sep),
            c.result.value >= 0 ? Green : Red);
    }
    if (!hy.feedIns.empty()) {
        h.heading(QStringLiteral("Einspeisung:"), QString());
        h.row(QStringLiteral("Vergütung"), hy.feedIn.how, h.euro(hy.feedIn.value));
    }
    const SolarFigures solar = solarFiguresOf(in, s);
    if (solar.hasSolar)
        solarRows(h, solar, hy.main);
    if (hy.complete) {
        h.heading(QStringLiteral("Haushalt:"), QString());
        h.row(QStringLiteral("Ergebnis des Haushalts"),
            solar.hasSolar ? hy.net.how + QStringLiteral(",\nohne die Ersparnis durch Solar")
                           : hy.net.how,
            verdict(hy.net.value, sep), hy.net.value >= 0 ? Green : Red);
    }
    h.close();
    for (const QString &problem : hy.problems)
        h.paragraph(problem, QStringLiteral("color:") + Red);
    rest += h.html();
    return sheet;
}

QString householdSheetHtml(
    const HouseholdYear &hy, const HouseholdInput &in, const FormatSettings &s)
{
    const HouseholdSheet sheet = householdSheetOf(hy, in, s);
    QString html = sheet.mainContract;
    for (const QString &own : sheet.ownContracts)
        html += own;
    return html + sheet.rest;
}

} // namespace voltaris
