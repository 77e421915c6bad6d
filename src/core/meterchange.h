// Meter replacements. The new meter's first reading is an ordinary row of the
// log on the day of the replacement; what the old meter showed last is kept
// here, in a small file beside the log, so that the consumption is counted
// across the replacement: a reading on or after a replacement counts what
// the old meters had counted on top.
#pragma once

#include "core/logdata.h"
#include "core/sidefile.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace voltaris {

struct MeterChange {
    QDate date; // the new meter's first reading is the log's row of this day
    long double oldFinal = 0; // the old meter's last reading
    long double newFirst = 0; // the new meter's first reading
    QString number; // the new meter's number, when given
};

// In date order, at most one a day.
using MeterChanges = std::vector<MeterChange>;

// The file: a header line, then one line a replacement,
// "DD.MM.YYYY;old final;new first;number" with a decimal comma, whatever the
// desktop's settings, so that a folder shared between desktops reads alike.
// Windows-1252 and CR LF as the log.
QByteArray meterChangeFileBytes(const MeterChanges &changes);

// A file with a line that cannot be read is not written over, so that
// nothing of it is lost.
SideFileRead<MeterChanges> parseMeterChanges(const QByteArray &bytes);

// What the replacements up to `day` (inclusive) add to a reading of that day.
long double meterOffset(const MeterChanges &changes, const QDate &day);

// The readings as one meter would have counted them.
std::vector<Reading> acrossMeterChanges(std::vector<Reading> readings, const MeterChanges &changes);

// The replacement of that day, or nullptr.
const MeterChange *meterChangeOn(const MeterChanges &changes, const QDate &day);

// Whether a replacement lies after `from` and on or before `to`: readings on
// those days are on different meters.
bool meterChangedBetween(const MeterChanges &changes, const QDate &from, const QDate &to);

} // namespace voltaris
