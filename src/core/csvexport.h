// The log as a CSV file that a German spreadsheet opens as it is.
#pragma once

#include "core/logdata.h"
#include "core/meterchange.h"

#include <QByteArray>

namespace voltaris {

// UTF-8 with a byte-order mark, semicolons, CR LF, the header
// "Datum;Zählerstand;Tage;kWh/Tag" and one line per non-blank row: dates as
// DD.MM.YYYY and numbers with a decimal comma, whatever the settings the
// table was written with; other texts as they are, quoted where needed.
QByteArray csvOf(const LogRows &rows, const FormatSettings &settings);
// As above. With meter replacements two columns follow the four, so that a
// restore brings them back: "Letzter Stand alter Zähler" and "Nummer neuer
// Zähler", filled on the row of each replacement's day (the new meter's
// first reading) and empty on every other row. A log without one is written
// as above.
QByteArray csvOf(const LogRows &rows, const FormatSettings &settings, const MeterChanges &changes);

} // namespace voltaris
