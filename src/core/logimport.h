// Readings brought in from other files: this program's own CSV export and
// consumption file, German and international spreadsheet exports. The file
// is read into rows first; what becomes of each row is decided against the
// log afterwards, so that the preview shows exactly what the import does.
#pragma once

#include "core/logdata.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace voltaris {

// The largest reading a meter shows (as the reading input allows).
inline constexpr long double MaxReading = 999999.0L;

struct ImportRow {
    int line = 0; // in the file, from 1
    QString dateText, readingText; // the fields as found, unquoted and trimmed
    QDate date; // valid when dateText is a date
    long double reading = 0; // when readingText is a number

    enum class Fate {
        Added,
        DateInLog, // the log holds a reading of that day
        DateTwiceInFile, // an earlier row of the file has that day
        NotADate,
        NotANumber,
        OutOfRange, // below 0 or above MaxReading
        OutsideMeter, // below the reading before it or above the one after it, on one meter
    };
    Fate fate = Fate::Added;
    // The reading (date and value, as texts) that an OutsideMeter or
    // DateInLog row clashes with, for the preview's reason.
    QString clash;
};

struct ImportParse {
    // Every line of the table after its header, in file order; blank lines
    // are left out. Fates are NotADate, NotANumber, OutOfRange or Added.
    std::vector<ImportRow> rows;
    // Why no table was found (German), empty when one was.
    QString error;
};

// Reads the bytes of a file: UTF-8 with or without a byte-order mark, else
// Windows-1252; `;`, tab, `|` or `,` as delimiter; quoted fields; dates
// DD.MM.YYYY, DD.MM.YY or YYYY-MM-DD, a time of day after them dropped;
// decimal comma or point. The date and reading columns are found by their
// header, else as the first column of dates and the first of numbers after it.
ImportParse parseImport(const QByteArray &bytes);

// Decides the fate of each row still Added against the log's readings (in
// date order, as on their meters) and the days on which a new meter started
// (its first reading belongs to the new meter). A row is checked against the
// log and the rows of the file added before it.
void planImport(std::vector<ImportRow> &rows, const std::vector<Reading> &log,
    const std::vector<QDate> &meterStarts);

// What the preview says of a row: "wird übernommen", "übersprungen: ...".
QString fateText(const ImportRow &row);

} // namespace voltaris
