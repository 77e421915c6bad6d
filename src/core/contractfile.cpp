#include "core/contractfile.h"

#include "common/cp1252.h"
#include "common/dates.h"
#include "common/errors.h"
#include "common/safefile.h"
#include "common/textfile.h"

#include <algorithm>
#include <array>

namespace voltaris {

namespace {

// Line 4 holds the date in columns 12 to 21, then ": " and the names; every
// value of lines 5 to 11 starts in column 24.
constexpr int DateColumn = 12;
constexpr int DateLength = 10;
constexpr int ValueColumn = 24;
constexpr int DateLine = 4;
constexpr int LastReadLine = 11;
constexpr char16_t CtrlZ = 26;

// The labels of lines 5 to 11, each 23 characters, right-aligned on the colon.
const std::array<QString, 7> ValueLabels = {
    QStringLiteral("      Jahresverbrauch: "),
    QStringLiteral("       Tagesverbrauch: "),
    QStringLiteral("     Jahresgrundpreis: "),
    QStringLiteral("       Grund im Monat: "),
    QStringLiteral("    Strompreis (1 kW): "),
    QStringLiteral("  Gesamtpreis im Jahr: "),
    QStringLiteral("Stromkosten monatlich: "),
};
const std::array<QString, 7> ValueUnits = {
    QStringLiteral(" kW"),
    QStringLiteral(" kW"),
    QStringLiteral(" EUR"),
    QStringLiteral(" EUR"),
    QStringLiteral(" Cent"),
    QStringLiteral(" EUR"),
    QStringLiteral(" EUR"),
};

// A field text inside one line of the file: a line break or Ctrl+Z in it
// (only pasting can put one there) would shift every later line for the
// reader, so those become "?" like any character the code page lacks.
QString lineSafe(QString text)
{
    for (QChar &c : text)
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c.unicode() == CtrlZ)
            c = QLatin1Char('?');
    return text;
}

// Blanks and control characters count as blanks at the ends of a name.
QString trimBlanks(QStringView s)
{
    qsizetype begin = 0, end = s.size();
    while (begin < end && s.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && s.at(end - 1).unicode() <= 32)
        --end;
    return s.mid(begin, end - begin).toString();
}

} // namespace

ContractLines readContractLines(const QString &path)
{
    TextLineReader reader(path);
    if (!reader.open())
        return { {},
            QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: %2")
                .arg(displayPath(path), reader.errorString()) };
    ContractLines read;
    QByteArray line;
    try {
        while (read.lines.size() < LastReadLine && reader.readLine(line))
            read.lines << fromWindows1252(line);
    } catch (const EInOutError &e) {
        return { {}, e.message() }; // a read that failed half-way names the file too
    }
    return read;
}

QString takeNumber(const QString &line, int column, QChar sep)
{
    if (column < 1)
        return QString();
    const qsizetype start = column - 1;
    qsizetype end = start;
    while (end < line.size()
        && ((line.at(end) >= QLatin1Char('0') && line.at(end) <= QLatin1Char('9'))
            || line.at(end) == sep))
        ++end;
    return end > start ? line.mid(start, end - start) : QString();
}

namespace {

// The decimal separator of a file written under other locale settings:
// a value whose digits go on after the other separator.
bool hasOtherSeparator(const QStringList &lines, QChar sep)
{
    const QChar other = sep == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(',');
    for (int i = DateLine; i < lines.size(); ++i) {
        const QString number = takeNumber(lines.at(i), ValueColumn, other);
        if (number.contains(other) && !takeNumber(lines.at(i), ValueColumn, sep).contains(sep)
            && !number.endsWith(other))
            return true;
    }
    return false;
}

} // namespace

QByteArray contractFileBytes(const ContractFields &contract, const FormatSettings &settings)
{
    QStringList lines;
    lines << QString() << QStringLiteral("          Mein Vertrag") << QString();
    lines << QStringLiteral("        Ab ") + dateToStr(contract.start, settings)
            + QStringLiteral(": ") + lineSafe(contract.supplier) + QStringLiteral(" (")
            + lineSafe(contract.tariff) + QLatin1Char(')');
    for (size_t i = 0; i < ValueLabels.size(); ++i)
        lines << ValueLabels[i] + lineSafe(contract.values.value(int(i))) + ValueUnits[i];
    lines << QString(34, QLatin1Char('_'));
    lines << QStringLiteral("Menü: Format >> Schriftart... >> Consolas oder Courier New, Fett, 16");

    QByteArray bytes;
    for (const QString &line : lines)
        bytes += toWindows1252(line) + "\r\n";
    return bytes;
}

ContractFields contractOf(const QStringList &lines, const FormatSettings &s)
{
    ContractFields c;
    bool converted = false;
    if (lines.size() >= DateLine) {
        const QString &line = lines.at(DateLine - 1);
        const QString dateText = line.mid(DateColumn - 1, DateLength);
        QDate date;
        if (!tryStrToDate(dateText, s, date)) {
            const std::vector<FormatSettings> other = otherDateSettings(dateText, s);
            if (!other.empty() && tryStrToDate(dateText, other.front(), date))
                converted = true;
            else
                // A bad date stops here, before any field has changed.
                date = strToDate(dateText, s);
        }
        // The supplier runs from column 24 to the first "(", the tariff from
        // there to the next ")". Views, not copies: a line may be of any
        // length, and only the two names are kept.
        const QStringView rest
            = QStringView(line).mid(std::min(line.size(), qsizetype(ValueColumn - 1)));
        const qsizetype open = rest.indexOf(QLatin1Char('('));
        QString tariff;
        if (open >= 0) {
            const qsizetype close = rest.indexOf(QLatin1Char(')'), open + 1);
            tariff = (close >= 0 ? rest.mid(open + 1, close - open - 1) : rest.mid(open + 1))
                         .toString();
        }
        c.hasStartLine = true;
        c.start = date;
        c.supplier = trimBlanks(open >= 0 ? rest.left(open) : rest);
        c.tariff = tariff;
    }
    const QChar sep = s.decimalSeparator;
    const bool otherSep = hasOtherSeparator(lines, sep);
    const QChar fileSep
        = otherSep ? (sep == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(',')) : sep;
    for (int i = 0; i < 7 && DateLine + i < lines.size(); ++i)
        c.values << takeNumber(lines.at(DateLine + i), ValueColumn, fileSep).replace(fileSep, sep);
    c.converted = converted || otherSep;
    return c;
}

} // namespace voltaris
