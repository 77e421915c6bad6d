// The log table's rows as data for the views beyond the table: the texts of
// the data rows, and the readings parsed from them.
#pragma once

#include "common/formatsettings.h"

#include <QDate>
#include <QList>
#include <QStringList>
#include <vector>

namespace voltaris {

class TStringGrid;

// The data rows of the log, each with its four texts: date, reading, days,
// kWh per day.
using LogRows = QList<QStringList>;
LogRows logRowsOf(const TStringGrid &grid);
// No text but blanks and control characters, as the table judges a row.
bool isBlankRow(const QStringList &row);

struct Reading {
    QDate date;
    long double kwh = 0;
};

// The rows whose date and reading convert, in table order. A row not later
// than the one kept before it is left out (only a file edited by hand has
// one), so the days strictly increase and no interval is empty.
std::vector<Reading> readingsOf(const LogRows &rows, const FormatSettings &settings);

// The reading on `day`, interpolated linearly between the readings on either
// side; `day` lies between the first and the last reading's days.
long double readingOn(const std::vector<Reading> &readings, const QDate &day);

} // namespace voltaris
