#pragma once

#include <QChar>
#include <QString>

class QLocale;

namespace voltaris {

// The locale settings the conversions use. Read once at start and handed to
// whoever converts; nothing reads the C library's locale.
struct FormatSettings {
    enum class DateOrder { DMY, MDY, YMD };

    QChar decimalSeparator = QLatin1Char(',');
    QChar dateSeparator = QLatin1Char('.');
    DateOrder dateOrder = DateOrder::DMY;

    // Decimal comma, DD.MM.YYYY.
    static FormatSettings german();
    // Decimal point, MM/DD/YYYY: for tests of a non-German system.
    static FormatSettings english();
    // From a locale; the C/POSIX locale (no national locale) gives german().
    // The date order and separator come from the short date pattern (its first
    // punctuation mark is the separator); a pattern without day, month and year
    // keeps DD.MM.
    static FormatSettings fromLocale(const QLocale &locale);
    // The program's settings on this system: those of QLocale::system() where
    // it is a German-language locale, else german(), so that the files read
    // and written on any desktop are the German ones.
    static FormatSettings fromSystem();
    // The same choice for a given locale.
    static FormatSettings forLocale(const QLocale &locale);

    friend bool operator==(const FormatSettings &, const FormatSettings &) = default;
};

} // namespace voltaris
