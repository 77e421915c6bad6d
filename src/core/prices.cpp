#include "core/prices.h"

#include "common/cp1252.h"
#include "common/numtext.h"

#include <QStringList>

namespace voltaris {

namespace {

const QString DateFormat = QStringLiteral("dd.MM.yyyy");
const QString Header = QStringLiteral("Art;Gültig ab;Preis (Cent/kWh) oder Abschlag (€);"
                                      "Grundpreis (€/Jahr)");
const QString TariffKind = QStringLiteral("Preis");
const QString InstalmentKind = QStringLiteral("Abschlag");

QString optionalValue(const std::optional<long double> &value)
{
    return value ? formatValue(*value, u',') : QString();
}

// An empty field leaves the value unset; anything else must be a number.
bool takeOptional(const QString &text, std::optional<long double> &value)
{
    if (text.trimmed().isEmpty())
        return true;
    long double v = 0;
    if (!tryStrToFloat(text, u',', v))
        return false;
    value = v;
    return true;
}

bool takeTariff(const QStringList &fields, const QDate &from, PriceChanges &changes)
{
    if (fields.size() < 3 || fields.size() > 4)
        return false;
    TariffChange c { from, {}, {} };
    if (!takeOptional(fields[2], c.price) || !takeOptional(fields.value(3), c.basePrice)
        || (!c.price && !c.basePrice)
        || (!changes.tariff.empty() && from <= changes.tariff.back().from))
        return false;
    changes.tariff.push_back(c);
    return true;
}

bool takeInstalment(const QStringList &fields, const QDate &from, PriceChanges &changes)
{
    // A trailing empty field, as a spreadsheet writes it, is allowed.
    if (fields.size() < 3 || fields.size() > 4 || !fields.value(3).trimmed().isEmpty())
        return false;
    // An instalment is due from a month: a day written into the file by
    // hand stands for the first of its month, as it is counted and listed.
    InstalmentChange c { QDate(from.year(), from.month(), 1), 0 };
    if (!tryStrToFloat(fields[2], u',', c.monthly)
        || (!changes.instalments.empty() && c.from <= changes.instalments.back().from))
        return false;
    changes.instalments.push_back(c);
    return true;
}

} // namespace

QByteArray priceChangeFileBytes(const PriceChanges &changes)
{
    return toWindows1252(Header + QStringLiteral("\r\n") + priceChangeLines(changes));
}

QString priceChangeLines(const PriceChanges &changes)
{
    QString out;
    for (const TariffChange &c : changes.tariff)
        out += TariffKind + QLatin1Char(';') + c.from.toString(DateFormat) + QLatin1Char(';')
            + optionalValue(c.price) + QLatin1Char(';') + optionalValue(c.basePrice)
            + QStringLiteral("\r\n");
    for (const InstalmentChange &c : changes.instalments)
        out += InstalmentKind + QLatin1Char(';') + c.from.toString(DateFormat) + QLatin1Char(';')
            + formatValue(c.monthly, u',') + QStringLiteral("\r\n");
    return out;
}

SideFileRead<PriceChanges> parsePriceChanges(const QByteArray &bytes)
{
    SideFileRead<PriceChanges> parse;
    parse.badLine = readSideFileLines(bytes, Header,
        [&parse](const QString &line) { return takePriceChangeLine(line, parse.value); });
    return parse;
}

bool isPriceChangeLine(const QString &line)
{
    const QString kind = line.section(QLatin1Char(';'), 0, 0).trimmed();
    return kind == TariffKind || kind == InstalmentKind;
}

bool takePriceChangeLine(const QString &line, PriceChanges &changes)
{
    const QStringList fields = line.split(QLatin1Char(';'));
    const QString kind = fields[0].trimmed();
    const QDate from = QDate::fromString(fields.value(1).trimmed(), DateFormat);
    // A line out of date order is not read either: the file is then
    // kept as it is rather than written over with what was understood.
    return from.isValid()
        && (kind == TariffKind           ? takeTariff(fields, from, changes)
                : kind == InstalmentKind ? takeInstalment(fields, from, changes)
                                         : false);
}

PricesInForce pricesOn(const PriceChanges &changes, const PricesInForce &atStart, const QDate &day)
{
    PricesInForce p = atStart;
    for (const TariffChange &c : changes.tariff) {
        if (c.from > day)
            break;
        if (c.price)
            p.price = *c.price;
        if (c.basePrice)
            p.basePrice = *c.basePrice;
    }
    // An instalment is due from the first day of its month.
    for (const InstalmentChange &c : changes.instalments) {
        if (QDate(c.from.year(), c.from.month(), 1) > day)
            break;
        p.monthly = c.monthly;
    }
    return p;
}

} // namespace voltaris
