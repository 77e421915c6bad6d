// A row of the log as texts: its columns, when it is blank, its date. The
// table, the file and the views beyond the table all count with these.
#pragma once

#include "common/formatsettings.h"

#include <QDate>
#include <QList>
#include <QStringList>

namespace voltaris {

// The columns of a row, in the table and in the file.
namespace logcol {
inline constexpr int Date = 0, Reading = 1, Days = 2, PerDay = 3;
inline constexpr int Count = 4;
} // namespace logcol

// The data rows of the log, each with its four texts: date, reading, days,
// kWh per day.
using LogRows = QList<QStringList>;
// No character but blanks and control characters.
bool isBlankText(QStringView text);
// No text but blanks and control characters, as the table judges a row.
bool isBlankRow(const QStringList &row);
// The date of a date cell; invalid when it is none in the settings.
QDate cellDate(const QString &text, const FormatSettings &settings);

} // namespace voltaris
