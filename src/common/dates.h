#pragma once

#include "common/formatsettings.h"

#include <QDate>
#include <QString>
#include <vector>

namespace voltaris {

// Short date text: two-digit day and month, four-digit year, in the order and
// with the separator of the settings: always 10 characters for the years 1 to
// 9999 (leading zeros fill the year). An invalid date gives the empty text.
QString dateToStr(const QDate &date, const FormatSettings &settings);

// The year of a date written with two digits (or one), as spreadsheets read
// it: 0 to 29 are 2000 to 2029, 30 to 99 are 1930 to 1999.
inline int fullYear(int shortYear)
{
    return shortYear < 30 ? 2000 + shortYear : 1900 + shortYear;
}

// Back from a short date text: blanks around the text are ignored; day and
// month of one or two digits, the year of four digits (or of one or two digits,
// read by fullYear), in the settings' order, with the settings' separator.
// Only spaces count as blanks; the fields are ASCII digits, a sign or a third
// separator fails. A text that names no real calendar day fails, and `date` is
// then left unchanged.
bool tryStrToDate(const QString &text, const FormatSettings &settings, QDate &date);
// The settings of other locales under which `text`, refused by `settings`, is
// a date: by its separator, the likelier order first (month first where
// slashes stand, the year first where dashes do). For files written on a
// desktop in another language; the decimal separator stays that of
// `settings`.
std::vector<FormatSettings> otherDateSettings(const QString &text, const FormatSettings &settings);

// Failure throws EConvertError "'<text>' is not a valid date".
QDate strToDate(const QString &text, const FormatSettings &settings);

} // namespace voltaris
