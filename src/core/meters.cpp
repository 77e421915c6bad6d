#include "core/meters.h"

#include "common/cp1252.h"
#include "common/numtext.h"

#include <QStringList>
#include <array>
#include <utility>

namespace voltaris {

namespace {

const QString DateFormat = QStringLiteral("dd.MM.yyyy");
const QString Header = QStringLiteral("Art;Name;Zählerart;Zählernummer;Datei;Werte");
const QString MeterLine = QStringLiteral("Zähler");

// The kinds as the file spells them: fixed, whatever the dialog calls them.
const std::array<std::pair<MeterKind, QLatin1StringView>, 5> KindWords { {
    { MeterKind::LowTariff, QLatin1StringView("NT") },
    { MeterKind::OwnContract, QLatin1StringView("Vertrag") },
    { MeterKind::SubMeter, QLatin1StringView("Unterzaehler") },
    { MeterKind::FeedIn, QLatin1StringView("Einspeisung") },
    { MeterKind::Solar, QLatin1StringView("Solar") },
} };

QString kindWord(MeterKind kind)
{
    for (const auto &[k, word] : KindWords)
        if (k == kind)
            return word;
    return QString();
}

std::optional<MeterKind> kindOfWord(const QString &word)
{
    for (const auto &[k, w] : KindWords)
        if (word == w)
            return k;
    return std::nullopt;
}

QString number(long double value)
{
    return formatValue(value, u',');
}

bool takeNumber(const QString &text, long double &value)
{
    return tryStrToFloat(text.trimmed(), u',', value);
}

bool takeDate(const QString &text, QDate &date)
{
    date = QDate::fromString(text.trimmed(), DateFormat);
    return date.isValid();
}

// The kind's values after "Zähler;name;kind;number;key".
QStringList valuesOf(const Meter &m)
{
    switch (m.kind) {
    case MeterKind::LowTariff:
    case MeterKind::FeedIn:
        return { number(m.price) };
    case MeterKind::OwnContract:
        return { m.contract.provider, m.contract.tariff, m.contract.start.toString(DateFormat),
            number(m.contract.basePrice), number(m.contract.price), number(m.contract.monthly) };
    case MeterKind::Solar:
        return { number(m.solar.purchasePrice), m.solar.start.toString(DateFormat),
            m.solar.peakPower ? number(*m.solar.peakPower) : QString(),
            number(m.solar.feedInShare) };
    case MeterKind::Main:
    case MeterKind::SubMeter:
        break;
    }
    return {};
}

bool takeValues(const QStringList &v, Meter &m)
{
    switch (m.kind) {
    case MeterKind::LowTariff:
    case MeterKind::FeedIn:
        return v.size() == 1 && takeNumber(v[0], m.price) && m.price >= 0;
    case MeterKind::OwnContract:
        return v.size() == 6 && takeDate(v[2], m.contract.start)
            && takeNumber(v[3], m.contract.basePrice) && takeNumber(v[4], m.contract.price)
            && takeNumber(v[5], m.contract.monthly)
            && (m.contract.provider = v[0], m.contract.tariff = v[1], true);
    case MeterKind::Solar: {
        if (v.size() != 4 || !takeNumber(v[0], m.solar.purchasePrice)
            || !takeDate(v[1], m.solar.start) || !takeNumber(v[3], m.solar.feedInShare)
            || m.solar.feedInShare < 0 || m.solar.feedInShare > 100)
            return false;
        if (v[2].trimmed().isEmpty())
            return true;
        long double peak = 0;
        if (!takeNumber(v[2], peak))
            return false;
        m.solar.peakPower = peak;
        return true;
    }
    case MeterKind::SubMeter:
        return v.isEmpty();
    case MeterKind::Main:
        break;
    }
    return false;
}

bool takeMeter(const QString &line, Meters &meters)
{
    const QStringList f = line.split(QLatin1Char(';'));
    if (f.size() < 5)
        return false;
    Meter m;
    m.name = f[1].trimmed();
    const std::optional<MeterKind> kind = kindOfWord(f[2].trimmed());
    if (!kind)
        return false;
    m.kind = *kind;
    m.number = f[3].trimmed();
    m.fileKey = f[4].trimmed();
    // A key the name rules would not give (a path, a dot) is not taken: it
    // names a file the program writes.
    if (m.fileKey.isEmpty() || meterFileKey(m.fileKey) != m.fileKey
        || !meterNameProblem(meters, m.name).isEmpty() || !takeValues(f.mid(5), m))
        return false;
    for (const Meter &other : meters.further)
        if (other.fileKey.compare(m.fileKey, Qt::CaseInsensitive) == 0)
            return false;
    meters.further.push_back(std::move(m));
    return true;
}

} // namespace

QString meterKindName(MeterKind kind)
{
    switch (kind) {
    case MeterKind::Main:
        return QStringLiteral("Hauptzähler");
    case MeterKind::LowTariff:
        return QStringLiteral("Niedertarif (NT)");
    case MeterKind::OwnContract:
        return QStringLiteral("Eigener Vertrag");
    case MeterKind::SubMeter:
        return QStringLiteral("Unterzähler");
    case MeterKind::FeedIn:
        return QStringLiteral("Einspeisung");
    case MeterKind::Solar:
        return QStringLiteral("Solaranlage");
    }
    return QString();
}

QString meterFileKey(const QString &name)
{
    QString key;
    bool gap = false;
    for (const QChar c : name) {
        QString part;
        switch (c.unicode()) {
        case u'ä':
            part = QStringLiteral("ae");
            break;
        case u'ö':
            part = QStringLiteral("oe");
            break;
        case u'ü':
            part = QStringLiteral("ue");
            break;
        case u'Ä':
            part = QStringLiteral("Ae");
            break;
        case u'Ö':
            part = QStringLiteral("Oe");
            break;
        case u'Ü':
            part = QStringLiteral("Ue");
            break;
        case u'ß':
            part = QStringLiteral("ss");
            break;
        default:
            if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'))
                part = c;
        }
        if (part.isEmpty()) {
            gap = true;
            continue;
        }
        if (gap && !key.isEmpty())
            key += QLatin1Char('_');
        gap = false;
        key += part;
    }
    return key;
}

QString meterLogName(const QString &fileKey)
{
    return QStringLiteral("Mein_Verbrauch_") + fileKey + QStringLiteral(".txt");
}

QString meterChangesName(const QString &fileKey)
{
    return QStringLiteral("Mein_Zaehlerwechsel_") + fileKey + QStringLiteral(".txt");
}

QString changesNameBeside(const QString &logName)
{
    static const QString prefix = QStringLiteral("Mein_Verbrauch_");
    static const QString suffix = QStringLiteral(".txt");
    if (logName.startsWith(prefix, Qt::CaseInsensitive)
        && logName.endsWith(suffix, Qt::CaseInsensitive)) {
        const QString key
            = logName.mid(prefix.size(), logName.size() - prefix.size() - suffix.size());
        if (!key.isEmpty() && meterFileKey(key) == key)
            return meterChangesName(key);
    }
    return QStringLiteral("Mein_Zaehlerwechsel.txt");
}

QByteArray metersFileBytes(const Meters &meters)
{
    QString out = Header + QStringLiteral("\r\n");
    for (const Meter &m : meters.further) {
        const QStringList fields
            = QStringList { MeterLine, m.name, kindWord(m.kind), m.number, m.fileKey }
            + valuesOf(m);
        out += fields.join(QLatin1Char(';')) + QStringLiteral("\r\n");
        out += priceChangeLines(m.changes);
    }
    return toWindows1252(out);
}

SideFileRead<Meters> parseMeters(const QByteArray &bytes)
{
    SideFileRead<Meters> parse;
    Meters &meters = parse.value;
    parse.badLine = readSideFileLines(bytes, Header, [&meters](const QString &line) {
        if (line.section(QLatin1Char(';'), 0, 0).trimmed() == MeterLine)
            return takeMeter(line, meters);
        // A change belongs to the meter above it; a sub-meter has none.
        return isPriceChangeLine(line) && !meters.further.empty()
            && meters.further.back().kind != MeterKind::SubMeter
            && takePriceChangeLine(line, meters.further.back().changes);
    });
    return parse;
}

QString meterNameProblem(const Meters &meters, const QString &name, int except)
{
    const QString n = name.trimmed();
    if (n.isEmpty())
        return QStringLiteral("Bitte einen Namen für den Zähler eingeben.");
    if (n.contains(QLatin1Char(';')))
        return QStringLiteral("Der Name darf kein ; enthalten.");
    for (const QChar c : n)
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("Der Name darf keine Steuerzeichen enthalten.");
    if (const QString outside = outsideWindows1252(n); !outside.isEmpty())
        return QStringLiteral("Die Zeichen „%1“ kann die Datei der Zähler nicht speichern.")
            .arg(outside);
    if (n.compare(meterKindName(MeterKind::Main), Qt::CaseInsensitive) == 0)
        return QStringLiteral("„%1“ heißt schon der Hauptzähler.").arg(n);
    const QString key = meterFileKey(n);
    if (key.isEmpty())
        return QStringLiteral("Der Name braucht mindestens einen Buchstaben oder eine Ziffer.");
    for (int i = 0; i < int(meters.further.size()); ++i) {
        if (i == except)
            continue;
        const Meter &m = meters.further[size_t(i)];
        if (m.name.compare(n, Qt::CaseInsensitive) == 0)
            return QStringLiteral("Einen Zähler „%1“ gibt es schon.").arg(m.name);
        if (m.fileKey.compare(key, Qt::CaseInsensitive) == 0)
            return QStringLiteral("Der Zähler „%1“ schreibt schon in die Datei „%2“.")
                .arg(m.name, meterLogName(m.fileKey));
    }
    return QString();
}

} // namespace voltaris
