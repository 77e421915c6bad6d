#include "common/formatsettings.h"

#include <QLocale>

namespace voltaris {

FormatSettings FormatSettings::german()
{
    return FormatSettings { QLatin1Char(','), QLatin1Char('.'), DateOrder::DMY };
}

FormatSettings FormatSettings::english()
{
    return FormatSettings { QLatin1Char('.'), QLatin1Char('/'), DateOrder::MDY };
}

FormatSettings FormatSettings::fromLocale(const QLocale &locale)
{
    // Without a national locale the program behaves as on the German systems
    // it is made for.
    if (locale.language() == QLocale::C)
        return german();

    FormatSettings s = german();
    const QString point = locale.decimalPoint();
    if (!point.isEmpty())
        s.decimalSeparator = point.at(0);

    // Order and separator from the short date pattern ("dd.MM.yy", "M/d/yy",
    // "yyyy-MM-dd"): the first day, month and year letters give the order, the
    // first punctuation mark outside quoted literals the separator.
    const QString pattern = locale.dateFormat(QLocale::ShortFormat);
    qsizetype dayAt = -1, monthAt = -1, yearAt = -1;
    QChar separator;
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            continue;
        }
        if (quoted)
            continue;
        if (c == QLatin1Char('d') && dayAt < 0)
            dayAt = i;
        else if (c == QLatin1Char('M') && monthAt < 0)
            monthAt = i;
        else if (c == QLatin1Char('y') && yearAt < 0)
            yearAt = i;
        else if ((c.isPunct() || c.isSymbol()) && separator.isNull()
            && (dayAt >= 0 || monthAt >= 0 || yearAt >= 0))
            separator = c; // blanks and invisible direction marks do not count
    }
    if (dayAt < 0 || monthAt < 0 || yearAt < 0)
        return s;
    if (!separator.isNull())
        s.dateSeparator = separator;
    if (yearAt < dayAt && yearAt < monthAt)
        s.dateOrder = DateOrder::YMD;
    else if (monthAt < dayAt)
        s.dateOrder = DateOrder::MDY;
    else
        s.dateOrder = DateOrder::DMY;
    return s;
}

FormatSettings FormatSettings::forLocale(const QLocale &locale)
{
    // The files are German; a desktop in another language would write them
    // in its own date and number forms, which a German one cannot read back.
    return locale.language() == QLocale::German ? fromLocale(locale) : german();
}

FormatSettings FormatSettings::fromSystem()
{
    return forLocale(QLocale::system());
}

} // namespace voltaris
