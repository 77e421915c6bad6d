#include "core/meterchange.h"

#include "common/cp1252.h"
#include "common/numtext.h"

#include <algorithm>

namespace voltaris {

namespace {

const QString DateFormat = QStringLiteral("dd.MM.yyyy");
const QString Header = QStringLiteral("Datum;Letzter Stand alter Zähler;Erster Stand neuer Zähler;"
                                      "Nummer neuer Zähler");

} // namespace

QByteArray meterChangeFileBytes(const MeterChanges &changes)
{
    QString out = Header + QStringLiteral("\r\n");
    for (const MeterChange &c : changes) {
        // A line break in the number would split its line.
        QString number = c.number;
        number.replace(QLatin1Char('\r'), QLatin1Char(' '))
            .replace(QLatin1Char('\n'), QLatin1Char(' '));
        out += c.date.toString(DateFormat) + QLatin1Char(';') + formatValue(c.oldFinal, u',')
            + QLatin1Char(';') + formatValue(c.newFirst, u',') + QLatin1Char(';') + number
            + QStringLiteral("\r\n");
    }
    return toWindows1252(out);
}

SideFileRead<MeterChanges> parseMeterChanges(const QByteArray &bytes)
{
    SideFileRead<MeterChanges> parse;
    parse.badLine = readSideFileLines(bytes, Header, [&parse](const QString &line) {
        // The number is the rest of the line: it may hold a semicolon.
        MeterChange c;
        c.date = QDate::fromString(line.section(QLatin1Char(';'), 0, 0).trimmed(), DateFormat);
        c.number = line.section(QLatin1Char(';'), 3);
        if (!c.date.isValid()
            || !tryStrToFloat(line.section(QLatin1Char(';'), 1, 1), u',', c.oldFinal)
            || !tryStrToFloat(line.section(QLatin1Char(';'), 2, 2), u',', c.newFirst)
            || (!parse.value.empty() && c.date <= parse.value.back().date))
            return false;
        parse.value.push_back(c);
        return true;
    });
    return parse;
}

long double meterOffset(const MeterChanges &changes, const QDate &day)
{
    long double offset = 0;
    for (const MeterChange &c : changes) {
        if (c.date > day)
            break;
        offset += c.oldFinal - c.newFirst;
    }
    return offset;
}

std::vector<Reading> acrossMeterChanges(std::vector<Reading> readings, const MeterChanges &changes)
{
    if (changes.empty())
        return readings;
    auto change = changes.begin();
    long double offset = 0;
    for (Reading &r : readings) {
        for (; change != changes.end() && change->date <= r.date; ++change)
            offset += change->oldFinal - change->newFirst;
        r.kwh += offset;
    }
    return readings;
}

const MeterChange *meterChangeOn(const MeterChanges &changes, const QDate &day)
{
    const auto it = std::find_if(
        changes.begin(), changes.end(), [&day](const MeterChange &c) { return c.date == day; });
    return it == changes.end() ? nullptr : &*it;
}

bool meterChangedBetween(const MeterChanges &changes, const QDate &from, const QDate &to)
{
    return std::any_of(changes.begin(), changes.end(),
        [&](const MeterChange &c) { return from < c.date && c.date <= to; });
}

} // namespace voltaris
