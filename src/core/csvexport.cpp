#include "core/csvexport.h"

#include "common/dates.h"
#include "common/numtext.h"

namespace voltaris {

namespace {

// A text that is no number or date. A spreadsheet would run one that begins
// like a formula: the apostrophe keeps it text. Quotes where the delimiter,
// a quote or a line break would split it.
QString textField(const QString &text)
{
    QString t = text;
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (!t.isEmpty() && formulaStarts.contains(t.front()))
        t.prepend(QLatin1Char('\''));
    if (t.contains(QLatin1Char(';')) || t.contains(QLatin1Char('"'))
        || t.contains(QLatin1Char('\n')) || t.contains(QLatin1Char('\r'))) {
        t.replace(QLatin1String("\""), QLatin1String("\"\""));
        t = QLatin1Char('"') + t + QLatin1Char('"');
    }
    return t;
}

QString numberField(const QString &text, QChar sep)
{
    const QString t = text.trimmed();
    long double x = 0;
    if (!tryStrToFloat(t, sep, x))
        return textField(text);
    QString out = t;
    out.replace(sep, QLatin1Char(','));
    return out;
}

QString dateField(const QString &text, const FormatSettings &s)
{
    QDate d;
    if (!tryStrToDate(text, s, d))
        return textField(text);
    return d.toString(QStringLiteral("dd.MM.yyyy"));
}

} // namespace

QByteArray csvOf(const LogRows &rows, const FormatSettings &settings)
{
    return csvOf(rows, settings, {});
}

QByteArray csvOf(const LogRows &rows, const FormatSettings &settings, const MeterChanges &changes)
{
    const QChar sep = settings.decimalSeparator;
    QString out = QStringLiteral("\uFEFFDatum;Zählerstand;Tage;kWh/Tag");
    if (!changes.empty())
        out += QStringLiteral(";Letzter Stand alter Zähler;Nummer neuer Zähler");
    out += QStringLiteral("\r\n");
    for (const QStringList &row : rows) {
        if (isBlankRow(row))
            continue;
        const QString date = row.value(logcol::Date);
        out += dateField(date, settings) + QLatin1Char(';')
            + numberField(row.value(logcol::Reading), sep) + QLatin1Char(';')
            + numberField(row.value(logcol::Days), sep) + QLatin1Char(';')
            + numberField(row.value(logcol::PerDay), sep);
        if (!changes.empty()) {
            QDate day;
            const MeterChange *change
                = tryStrToDate(date, settings, day) ? meterChangeOn(changes, day) : nullptr;
            if (change)
                out += QLatin1Char(';') + formatValue(change->oldFinal, u',') + QLatin1Char(';')
                    + textField(change->number);
            else
                out += QStringLiteral(";;");
        }
        out += QStringLiteral("\r\n");
    }
    return out.toUtf8();
}

} // namespace voltaris
