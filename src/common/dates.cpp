#include "common/dates.h"

#include "common/errors.h"

namespace voltaris {

namespace {

QString padded(int value, int width)
{
    return QString::number(value).rightJustified(width, QLatin1Char('0'));
}

// A field of `minLength` to `maxLength` ASCII digits.
bool parseField(QStringView field, int minLength, int maxLength, int &value)
{
    if (field.size() < minLength || field.size() > maxLength)
        return false;
    value = 0;
    for (const QChar c : field) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        value = value * 10 + (c.unicode() - '0');
    }
    return true;
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
    const QStringView body = trimmedBlanks(text);
    const qsizetype first = body.indexOf(settings.dateSeparator);
    if (first < 0)
        return false;
    const qsizetype second = body.indexOf(settings.dateSeparator, first + 1);
    if (second < 0 || body.indexOf(settings.dateSeparator, second + 1) >= 0)
        return false;
    const QStringView parts[3]
        = { body.left(first), body.mid(first + 1, second - first - 1), body.mid(second + 1) };

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
    int day = 0, month = 0, year = 0;
    if (!parseField(parts[dayIndex], 1, 2, day) || !parseField(parts[monthIndex], 1, 2, month))
        return false;
    const QStringView yearText = parts[yearIndex];
    if (yearText.size() == 4) {
        if (!parseField(yearText, 4, 4, year))
            return false;
    } else if (parseField(yearText, 1, 2, year)) {
        year += 2000;
    } else {
        return false;
    }
    // Year 0 does not exist in the calendar; QDate refuses it too.
    const QDate result(year, month, day);
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

} // namespace voltaris
