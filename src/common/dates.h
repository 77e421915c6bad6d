#pragma once

#include "common/formatsettings.h"

#include <QDate>
#include <QString>

namespace voltaris {

// Short date text: two-digit day and month, four-digit year, in the order and
// with the separator of the settings: always 10 characters.
QString dateToStr(const QDate &date, const FormatSettings &settings);

// Back from a short date text: blanks around the text are ignored; day and
// month of one or two digits, the year of four digits (or of one or two digits,
// taken as 2000 + year), in the settings' order, with the settings' separator.
// A text that names no real calendar day fails.
bool tryStrToDate(const QString &text, const FormatSettings &settings, QDate &date);
// Failure throws EConvertError "'<text>' is not a valid date".
QDate strToDate(const QString &text, const FormatSettings &settings);

} // namespace voltaris
