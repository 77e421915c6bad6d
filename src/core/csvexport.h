// The log as a CSV file that a German spreadsheet opens as it is.
#pragma once

#include "core/logdata.h"

#include <QByteArray>

namespace voltaris {

// UTF-8 with a byte-order mark, semicolons, CR LF, the header
// "Datum;Zählerstand;Tage;kWh/Tag" and one line per non-blank row: dates as
// DD.MM.YYYY and numbers with a decimal comma, whatever the settings the
// table was written with; other texts as they are, quoted where needed.
QByteArray csvOf(const LogRows &rows, const FormatSettings &settings);

} // namespace voltaris
