// Readings brought in from other files: this program's own CSV export and
// consumption file, German and international spreadsheet exports, a smart
// meter's export of many readings a day. The file is read into rows first;
// what becomes of each row is decided against the log afterwards, so that the
// preview shows exactly what the import does.
#pragma once

#include "core/logdata.h"
#include "core/meterchange.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class QIODevice;

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
        ChangeNotANumber, // the old meter's last reading given for the row is no number
        ChangeClash, // another replacement of that day is recorded already
        ChangeInsideLog, // a replacement before the log's last reading
        ChangeBelowOld, // the old meter's last reading is below its reading before
    };
    Fate fate = Fate::Added;
    // The reading (date and value, as texts) that an OutsideMeter, DateInLog
    // or ChangeBelowOld row clashes with, for the preview's reason; the day
    // of the log's last reading for ChangeInsideLog; the reading taken as the
    // old meter's last for a found replacement.
    QString clash;
    // A meter replacement on this row's day, the row being the new meter's
    // first reading: given by the file (a column of the old meter's last
    // reading, or the replacement file beside it) or, `found`, by the plan.
    std::optional<MeterChange> change;
    // The plan found the replacement: a drop of the readings followed by
    // rising ones. The reading before it is taken as the old meter's last.
    bool found = false;
    // An added row dated after today: taken only when the user confirms it.
    bool afterToday = false;
};

struct ImportParse {
    // Every line of the table after its header, in file order; blank lines
    // are left out, and of a day with several readings at times of day only
    // its last one stands here. Fates are NotADate, NotANumber, OutOfRange,
    // ChangeNotANumber or Added.
    std::vector<ImportRow> rows;
    // Why no table was found (German), empty when one was.
    QString error;
    // The reading was stopped (the progress answered false).
    bool cancelled = false;
    // Days with several readings at times of day, and the rows of those
    // days together (each day's last one among them).
    qint64 severalDays = 0, severalRows = 0;
};

// Says how far the reading has come (bytes of `total`); false stops it.
using ImportProgress = std::function<bool(qint64 done, qint64 total)>;

// Reads a file: UTF-8 with or without a byte-order mark, else Windows-1252,
// or UTF-16 (either byte order, with a byte-order mark or plainly so); line
// ends CR LF, LF or CR alone; `;`, tab, `|` or `,` as delimiter; quoted
// fields; dates DD.MM.YYYY, DD.MM.YY (00 to 29 as 2000 to 2029, 30 to 99 as
// 1930 to 1999) or YYYY-MM-DD, a time of day after them, or in a column of
// its own, says which of a day's readings is its last; decimal comma or
// point. The date and reading columns are found by their header, else as
// the first column of dates and the first of numbers after it; a column
// "Letzter Stand alter Zähler" (with "Nummer neuer Zähler") gives meter
// replacements. The device is read in blocks, three times over (it must be
// able to seek); what is kept is a row a day.
ImportParse parseImport(QIODevice &device, const ImportProgress &progress = {});
ImportParse parseImport(const QByteArray &bytes, const ImportProgress &progress = {});

// Gives each replacement to the row of its day whose reading is the new
// meter's first one, unless that row has one of its own. Returns those for
// which no row was found.
MeterChanges attachMeterChanges(std::vector<ImportRow> &rows, const MeterChanges &changes);

// What the rows are checked against.
struct ImportTarget {
    std::vector<Reading> log; // the log's readings in date order, each as its meter shows it
    MeterChanges changes; // the log's replacements
    QDate today; // an added row after it is marked; invalid: none is
    // A reading clearly lower than the one before it on its meter, followed
    // by rising readings that stay below that one, is taken as a new meter's
    // first reading (found) rather than skipped.
    bool findChanges = false;
};

// Decides the fate of each row still Added against the log and the rows of
// the file added before it, in date order. A replacement given by the file is
// recorded only after the log's last reading, and never over another one of
// its day.
void planImport(std::vector<ImportRow> &rows, const ImportTarget &target);
// As above with the days on which a new meter started (its first reading
// belongs to the new meter).
void planImport(std::vector<ImportRow> &rows, const std::vector<Reading> &log,
    const std::vector<QDate> &meterStarts);

// What the preview says of a row: "wird übernommen", "übersprungen: ...".
QString fateText(const ImportRow &row);

} // namespace voltaris
