#include "common/dates.h"

#include "common/errors.h"

namespace voltaris {

namespace {

QString padded(int value, int width)
{
    return QString::number(value).rightJustified(width, QLatin1Char('0'));
}

QStringView trimmedBlanks(QStringView text)
{
    while (!text.isEmpty() && text.front() == QLatin1Char(' '))
        text = text.mid(1);
    while (!text.isEmpty() && text.back() == QLatin1Char(' '))
        text.chop(1);
    return text;
}

} // namespace

QString dateToStr(const QDate &date, const FormatSettings &settings)
{
    if (!date.isValid())
        return QString();
    const QString day = padded(date.day(), 2);
    const QString month = padded(date.month(), 2);
    const QString year = padded(date.year(), 4);
    const QChar sep = settings.dateSeparator;
    switch (settings.dateOrder) {
    case FormatSettings::DateOrder::MDY:
        return month + sep + day + sep + year;
    case FormatSettings::DateOrder::YMD:
        return year + sep + month + sep + day;
    case FormatSettings::DateOrder::DMY:
        break;
    }
    return day + sep + month + sep + year;
}

bool tryStrToDate(const QString &text, const FormatSettings &settings, QDate &date)
{
    // One pass over the text: three fields of ASCII digits between two
    // separators. A log is read a date a line, a hundred thousand of them.
    const QStringView body = trimmedBlanks(text);
    const char16_t separator = settings.dateSeparator.unicode();
    int values[3] = { 0, 0, 0 }, lengths[3] = { 0, 0, 0 };
    int part = 0;
    for (const QChar ch : body) {
        const char16_t c = ch.unicode();
        const unsigned digit = unsigned(c) - u'0';
        if (digit <= 9 && lengths[part] < 4) { // no field has more than four digits
            values[part] = values[part] * 10 + int(digit);
            ++lengths[part];
        } else if (c != separator || ++part > 2) {
            return false;
        }
    }
    if (part != 2)
        return false;

    int dayIndex = 0, monthIndex = 1, yearIndex = 2;
    switch (settings.dateOrder) {
    case FormatSettings::DateOrder::DMY:
        break;
    case FormatSettings::DateOrder::MDY:
        dayIndex = 1;
        monthIndex = 0;
        break;
    case FormatSettings::DateOrder::YMD:
        yearIndex = 0;
        monthIndex = 1;
        dayIndex = 2;
        break;
    }
    const auto dayOrMonth = [&](int i) { return lengths[i] >= 1 && lengths[i] <= 2; };
    if (!dayOrMonth(dayIndex) || !dayOrMonth(monthIndex))
        return false;
    int year = values[yearIndex];
    if (lengths[yearIndex] == 1 || lengths[yearIndex] == 2)
        year = fullYear(year);
    else if (lengths[yearIndex] != 4)
        return false;
    // Year 0 does not exist in the calendar; QDate refuses it too.
    const QDate result(year, values[monthIndex], values[dayIndex]);
    if (!result.isValid())
        return false;
    date = result;
    return true;
}

QDate strToDate(const QString &text, const FormatSettings &settings)
{
    QDate date;
    if (!tryStrToDate(text, settings, date))
        throw EConvertError(QStringLiteral("'%1' is not a valid date").arg(text));
    return date;
}

std::vector<FormatSettings> otherDateSettings(const QString &text, const FormatSettings &s)
{
    using Order = FormatSettings::DateOrder;
    std::vector<FormatSettings> candidates;
    for (const QChar sep : { QLatin1Char('/'), QLatin1Char('-'), QLatin1Char('.') }) {
        if (!text.contains(sep))
            continue;
        const bool dashes = sep == QLatin1Char('-');
        const Order orders[]
            = { dashes ? Order::YMD : Order::MDY, Order::DMY, dashes ? Order::MDY : Order::YMD };
        for (const Order order : orders) {
            const FormatSettings c { s.decimalSeparator, sep, order };
            QDate d;
            if (c != s && tryStrToDate(text, c, d))
                candidates.push_back(c);
        }
    }
    return candidates;
}

} // namespace voltaris
