#include "qt/settlementsheet.h"

#include "common/dates.h"
#include "common/numtext.h"

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
void partRows(Sheet &h, const Settlement &st, const std::vector<Reading> &readings)
{
    QStringList sums;
    int number = 0;
    for (const SettlementPart &p : st.parts) {
        h.heading(QStringLiteral("Zeitraum %1:").arg(++number),
            QStringLiteral("%1 bis %2 (%3), %4 ct/kWh, Grundpreis %5 im Jahr")
                .arg(h.date(p.from), h.date(p.to.addDays(-1)), days(p.days), h.f(p.price),
                    h.euro(p.basePrice)));
        h.row(QStringLiteral("Stand am %1").arg(h.date(p.from)), howFound(st, readings, p.from),
            h.kwh(p.startReading));
        h.row(QStringLiteral("Stand am %1").arg(h.date(p.to)),
            p.endEstimated ? QStringLiteral("geschätzt") : howFound(st, readings, p.to),
            h.kwh(p.endReading));
        h.row(QStringLiteral("Verbrauch"),
            QStringLiteral("%1 − %2").arg(h.f(p.endReading), h.f(p.startReading)), h.kwh(p.kwh));
        h.row(QStringLiteral("Arbeitspreis"),
            QStringLiteral("%1 kWh × %2 ct ÷ 100").arg(h.f(p.kwh), h.f(p.price)),
            h.euro(p.energyCost));
        h.row(QStringLiteral("Grundpreis"),
            QStringLiteral("%1 × %2 ÷ %3")
                .arg(h.euro(p.basePrice), days(p.days), days(st.yearDays)),
            h.euro(p.baseCost));
        sums << h.f(p.energyCost) << h.f(p.baseCost);
    }
    h.row(QStringLiteral("Kosten des Jahres"),
        QStringLiteral("Summe der Zeiträume:\n%1 €").arg(sumLines(sums)), h.euro(st.cost));
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
        h.row(QStringLiteral("Verbrauch bisher"),
            QStringLiteral("%1 − %2 %3")
                .arg(h.f(st.last.kwh), h.f(st.startReading), inDays(counted)),
            h.kwh(st.soFar));
        if (st.hasRate) {
            h.row(QStringLiteral("Verbrauch pro Tag"),
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

} // namespace voltaris
