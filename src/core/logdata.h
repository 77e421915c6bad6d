// The readings of the log's rows, for the views beyond the table.
#pragma once

#include "core/logrow.h"

#include <vector>

namespace voltaris {

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
