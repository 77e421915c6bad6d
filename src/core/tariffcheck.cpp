#include "core/tariffcheck.h"

#include "common/cp1252.h"
#include "common/numtext.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <numeric>

namespace voltaris {

namespace {

const QString DateFormat = QStringLiteral("dd.MM.yyyy");
// The offers' columns; the contract's line ("Vertrag") has its own five.
const QString Header = QStringLiteral(
    "Art;Anbieter;Tarif;Grundpreis (€);je;Arbeitspreis (Cent/kWh);Neukundenbonus (€);"
    "Sofortbonus (€);Preisgarantie (Monate);Mindestlaufzeit (Monate);Kündigungsfrist;Notiz");
const QString ContractKind = QStringLiteral("Vertrag");
const QString OfferKind = QStringLiteral("Angebot");
const QString PerYear = QStringLiteral("Jahr");
const QString PerMonth = QStringLiteral("Monat");

// After the minimum term a household contract runs on with one month's
// notice at any time.
const NoticePeriod AfterMinimumTerm { 1, NoticePeriod::Unit::Months };

QString dateText(const QDate &day)
{
    return day.isValid() ? day.toString(DateFormat) : QString();
}

// An empty field is an unset day; anything else must be DD.MM.YYYY.
bool takeDate(const QString &text, QDate &day)
{
    if (text.trimmed().isEmpty())
        return true;
    day = QDate::fromString(text.trimmed(), DateFormat);
    return day.isValid();
}

// An empty field is 0; a number must not be negative.
bool takeAmount(const QString &text, long double &value)
{
    if (text.trimmed().isEmpty()) {
        value = 0;
        return true;
    }
    return tryStrToFloat(text, u',', value) && value >= 0;
}

bool takeMonths(const QString &text, int &months)
{
    if (text.trimmed().isEmpty()) {
        months = 0;
        return true;
    }
    return tryStrToInt(text, months) && months >= 0 && months <= 600;
}

QString field(QString text)
{
    return text.replace(QLatin1Char(';'), QLatin1Char(','))
        .replace(QLatin1Char('\n'), QLatin1Char(' '))
        .remove(QLatin1Char('\r'));
}

QString money(long double x, QChar separator)
{
    return formatValue(x, separator) + QStringLiteral(" €");
}

} // namespace

ComparedConsumption consumptionToCompare(const std::vector<Reading> &readings, const QDate &today,
    const std::optional<long double> &contractPerYear)
{
    ComparedConsumption c;
    if (!readings.empty()) {
        const QDate to = std::min(today, readings.back().date);
        const QDate from = to.addDays(-365);
        if (readings.front().date <= from) {
            c.source = ComparedConsumption::Source::Log;
            c.from = from;
            c.to = to;
            c.kwh = readingOn(readings, to) - readingOn(readings, from);
            return c;
        }
    }
    if (contractPerYear) {
        c.source = ComparedConsumption::Source::Contract;
        c.kwh = *contractPerYear;
    }
    return c;
}

long double contractCost(long double kwhPerYear, const PricesInForce &atStart,
    const PriceChanges &changes, const QDate &from, const QDate &to)
{
    const long double yearDays = from.daysTo(from.addYears(1));
    std::vector<QDate> cuts { from };
    for (const TariffChange &c : changes.tariff)
        if (c.from > from && c.from < to)
            cuts.push_back(c.from);
    cuts.push_back(to);
    long double cost = 0;
    for (size_t i = 0; i + 1 < cuts.size(); ++i) {
        const PricesInForce p = pricesOn(changes, atStart, cuts[i]);
        const long double share = cuts[i].daysTo(cuts[i + 1]) / yearDays;
        cost += kwhPerYear * share * p.price / 100 + p.basePrice * share;
    }
    return cost;
}

QString noticePeriodText(const NoticePeriod &period)
{
    if (!period.isSet())
        return QString();
    const bool one = period.count == 1;
    const QString unit = period.unit == NoticePeriod::Unit::Months
        ? (one ? QStringLiteral("Monat") : QStringLiteral("Monate"))
        : (one ? QStringLiteral("Woche") : QStringLiteral("Wochen"));
    return QString::number(period.count) + QLatin1Char(' ') + unit;
}

bool parseNoticePeriod(const QString &text, NoticePeriod &period)
{
    if (text.trimmed().isEmpty()) {
        period = {};
        return true;
    }
    static const QRegularExpression form(
        QStringLiteral("^\\s*(\\d{1,2})\\s*(Monate?|M|Wochen?|W)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch() || m.captured(1).toInt() == 0)
        return false;
    period.count = m.captured(1).toInt();
    period.unit = m.captured(2).front().toLower() == QLatin1Char('m') ? NoticePeriod::Unit::Months
                                                                      : NoticePeriod::Unit::Weeks;
    return true;
}

QDate noticeDeadline(const QDate &end, const NoticePeriod &period)
{
    // Counted back from the end of the term's last day: the period begins
    // with the day after the deadline.
    const QDate after = end.addDays(1);
    const QDate begins = period.unit == NoticePeriod::Unit::Months
        ? after.addMonths(-period.count)
        : after.addDays(-7 * period.count);
    return begins.addDays(-1);
}

QDate endAfterNotice(const QDate &day, const NoticePeriod &period)
{
    // Counted on from the day after the notice arrived; a month without the
    // day ends with its last day.
    return period.unit == NoticePeriod::Unit::Months ? day.addMonths(period.count)
                                                     : day.addDays(7 * period.count);
}

QByteArray tariffCheckFileBytes(const TariffCheck &check)
{
    QStringList lines { Header };
    const ContractDeadlines &d = check.deadlines;
    if (!d.isEmpty())
        lines << QStringList { ContractKind, dateText(d.minimumEnd), noticePeriodText(d.notice),
            dateText(d.guaranteeEnd), dateText(d.bonusEnd) }
                     .join(QLatin1Char(';'));
    for (const Offer &o : check.offers)
        lines << QStringList { OfferKind, field(o.supplier), field(o.tariff),
            formatValue(o.basePrice, u','), o.basePerMonth ? PerMonth : PerYear,
            formatValue(o.price, u','), formatValue(o.newCustomerBonus, u','),
            formatValue(o.instantBonus, u','), QString::number(o.guaranteeMonths),
            QString::number(o.minimumMonths), noticePeriodText(o.notice), field(o.note) }
                     .join(QLatin1Char(';'));
    return toWindows1252(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

SideFileRead<TariffCheck> parseTariffCheck(const QByteArray &bytes)
{
    SideFileRead<TariffCheck> parse;
    bool contractSeen = false;
    parse.badLine = readSideFileLines(bytes, Header, [&](const QString &line) {
        const QStringList f = line.split(QLatin1Char(';'));
        const QString kind = f[0].trimmed();
        if (kind == ContractKind) {
            ContractDeadlines d;
            if (contractSeen || f.size() != 5 || !takeDate(f[1], d.minimumEnd)
                || !parseNoticePeriod(f[2], d.notice) || !takeDate(f[3], d.guaranteeEnd)
                || !takeDate(f[4], d.bonusEnd))
                return false;
            contractSeen = true;
            parse.value.deadlines = d;
            return true;
        }
        if (kind != OfferKind || f.size() != 12)
            return false;
        Offer o;
        o.supplier = f[1].trimmed();
        o.tariff = f[2].trimmed();
        const QString per = f[4].trimmed();
        if (per != PerYear && per != PerMonth)
            return false;
        o.basePerMonth = per == PerMonth;
        o.note = f[11].trimmed();
        if (o.supplier.isEmpty() || !takeAmount(f[3], o.basePrice) || !takeAmount(f[5], o.price)
            || !takeAmount(f[6], o.newCustomerBonus) || !takeAmount(f[7], o.instantBonus)
            || !takeMonths(f[8], o.guaranteeMonths) || !takeMonths(f[9], o.minimumMonths)
            || !parseNoticePeriod(f[10], o.notice))
            return false;
        parse.value.offers.push_back(o);
        return true;
    });
    return parse;
}

Comparison compareOffers(long double kwhPerYear, const PricesInForce &contractAtStart,
    const PriceChanges &changes, const std::vector<Offer> &offers, const QDate &today)
{
    Comparison c;
    const QDate yearTwo = today.addYears(1);
    c.ownYearOne = contractCost(kwhPerYear, contractAtStart, changes, today, yearTwo);
    c.ownYearTwo = contractCost(kwhPerYear, contractAtStart, changes, yearTwo, yearTwo.addYears(1));
    for (const Offer &o : offers) {
        OfferResult r;
        r.yearTwo = o.basePerYear() + kwhPerYear * o.price / 100;
        r.yearOne = r.yearTwo - o.newCustomerBonus - o.instantBonus;
        r.savingOne = c.ownYearOne - r.yearOne;
        r.savingTwo = c.ownYearTwo - r.yearTwo;
        r.bonusTrap = r.savingOne > 0 && r.savingTwo <= 0;
        c.offers.push_back(r);
    }
    std::vector<size_t> order(offers.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&c](size_t a, size_t b) {
        const OfferResult &x = c.offers[a], &y = c.offers[b];
        return x.yearTwo != y.yearTwo ? x.yearTwo < y.yearTwo : x.yearOne < y.yearOne;
    });
    for (size_t i = 0; i < order.size(); ++i)
        c.offers[order[i]].rank = int(i) + 1;
    return c;
}

QString bonusTrapText(const OfferResult &result, QChar separator)
{
    if (!result.bonusTrap)
        return QString();
    return QStringLiteral("Nur wegen des Bonus günstiger: ab dem zweiten Jahr %1 teurer als Ihr "
                          "Vertrag.")
        .arg(money(-result.savingTwo, separator));
}

std::vector<Deadline> deadlinesOf(const ContractDeadlines &d, const QDate &today)
{
    std::vector<Deadline> out;
    if (d.minimumEnd.isValid() && d.notice.isSet()) {
        const QDate day = noticeDeadline(d.minimumEnd, d.notice);
        if (day >= today)
            out.push_back({ Deadline::Kind::Notice, day,
                QStringLiteral("Stromvertrag: letzter Tag zum Kündigen zum %1")
                    .arg(d.minimumEnd.toString(DateFormat)) });
    }
    if (d.guaranteeEnd.isValid() && d.guaranteeEnd >= today)
        out.push_back({ Deadline::Kind::Guarantee, d.guaranteeEnd,
            QStringLiteral("Stromvertrag: Preisgarantie endet") });
    if (d.bonusEnd.isValid() && d.bonusEnd >= today)
        out.push_back({ Deadline::Kind::Bonus, d.bonusEnd,
            QStringLiteral("Stromvertrag: Bonuszeitraum endet") });
    std::stable_sort(
        out.begin(), out.end(), [](const Deadline &a, const Deadline &b) { return a.day < b.day; });
    return out;
}

std::vector<Deadline> deadlinesSoon(const ContractDeadlines &deadlines, const QDate &today)
{
    std::vector<Deadline> out = deadlinesOf(deadlines, today);
    std::erase_if(out, [&today](const Deadline &d) { return d.day > today.addDays(42); });
    return out;
}

QString reminderText(const Deadline &deadline)
{
    const QString day = deadline.day.toString(DateFormat);
    switch (deadline.kind) {
    case Deadline::Kind::Notice:
        return QStringLiteral("Kündigen spätestens am %1!").arg(day);
    case Deadline::Kind::Guarantee:
        return QStringLiteral("Preisgarantie endet am %1!").arg(day);
    case Deadline::Kind::Bonus:
        return QStringLiteral("Bonuszeitraum endet am %1!").arg(day);
    }
    return QString();
}

QString noticeLine(const ContractDeadlines &d, const QDate &today)
{
    if (!d.minimumEnd.isValid())
        return QString();
    const QString end = d.minimumEnd.toString(DateFormat);
    const QString after = QStringLiteral(
        "Nach der Mindestlaufzeit gilt eine Kündigungsfrist von einem Monat, jederzeit.");
    if (d.notice.isSet()) {
        const QDate deadline = noticeDeadline(d.minimumEnd, d.notice);
        if (deadline >= today)
            return QStringLiteral(
                       "Kündigen spätestens am %1 (zum Ende der Mindestlaufzeit am %2). ")
                       .arg(deadline.toString(DateFormat), end)
                + after;
    } else if (d.minimumEnd >= today) {
        return QStringLiteral("Die Mindestlaufzeit endet am %1; tragen Sie die Kündigungsfrist "
                              "ein. ")
                   .arg(end)
            + after;
    }
    const QDate earliest = std::max(endAfterNotice(today, AfterMinimumTerm), d.minimumEnd);
    return QStringLiteral("Die Frist zum Ende der Mindestlaufzeit (%1) ist vorbei. %2 Heute "
                          "gekündigt, endet der Vertrag am %3.")
        .arg(end, after, earliest.toString(DateFormat));
}

namespace {

// RFC 5545 TEXT: backslash, semicolon, comma and line breaks escaped.
QString icsText(QString text)
{
    return text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char(';'), QStringLiteral("\\;"))
        .replace(QLatin1Char(','), QStringLiteral("\\,"))
        .replace(QLatin1Char('\n'), QStringLiteral("\\n"));
}

// A content line folded after at most 75 octets, never inside a character:
// each continuation starts with a space, which counts to its 75.
QByteArray icsLine(const QString &line)
{
    const QByteArray utf8 = line.toUtf8();
    QByteArray out;
    int width = 0;
    for (qsizetype i = 0; i < utf8.size();) {
        qsizetype n = 1;
        while (i + n < utf8.size() && (uchar(utf8[i + n]) & 0xC0) == 0x80)
            ++n;
        if (width + n > 75) {
            out += "\r\n ";
            width = 1;
        }
        out += utf8.mid(i, n);
        width += int(n);
        i += n;
    }
    return out + "\r\n";
}

QString icsDay(const QDate &day)
{
    return day.toString(QStringLiteral("yyyyMMdd"));
}

QString kindName(Deadline::Kind kind)
{
    switch (kind) {
    case Deadline::Kind::Notice:
        return QStringLiteral("kuendigung");
    case Deadline::Kind::Guarantee:
        return QStringLiteral("preisgarantie");
    case Deadline::Kind::Bonus:
        return QStringLiteral("bonus");
    }
    return QString();
}

} // namespace

QByteArray calendarBytes(const std::vector<Deadline> &deadlines, const QDateTime &stamp)
{
    QByteArray out;
    const auto line = [&out](const QString &text) { out += icsLine(text); };
    line(QStringLiteral("BEGIN:VCALENDAR"));
    line(QStringLiteral("VERSION:2.0"));
    line(QStringLiteral("PRODID:-//Voltaris//Tarifvergleich//DE"));
    line(QStringLiteral("CALSCALE:GREGORIAN"));
    line(QStringLiteral("METHOD:PUBLISH"));
    const QString dtstamp = stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    for (const Deadline &d : deadlines) {
        line(QStringLiteral("BEGIN:VEVENT"));
        // The same deadline gives the same UID, so that a calendar that
        // imports the file again updates the event instead of doubling it.
        line(QStringLiteral("UID:%1-%2@voltaris").arg(kindName(d.kind), icsDay(d.day)));
        line(QStringLiteral("DTSTAMP:") + dtstamp);
        line(QStringLiteral("DTSTART;VALUE=DATE:") + icsDay(d.day));
        line(QStringLiteral("DTEND;VALUE=DATE:") + icsDay(d.day.addDays(1)));
        line(QStringLiteral("SUMMARY:") + icsText(d.summary));
        line(QStringLiteral("TRANSP:TRANSPARENT"));
        line(QStringLiteral("BEGIN:VALARM"));
        line(QStringLiteral("ACTION:DISPLAY"));
        line(QStringLiteral("DESCRIPTION:") + icsText(d.summary));
        line(QStringLiteral("TRIGGER:-P7D"));
        line(QStringLiteral("END:VALARM"));
        line(QStringLiteral("END:VEVENT"));
    }
    line(QStringLiteral("END:VCALENDAR"));
    return out;
}

} // namespace voltaris
