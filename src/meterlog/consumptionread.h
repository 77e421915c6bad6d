#pragma once

#include "common/filestamp.h"
#include "common/formatsettings.h"

#include <QString>
#include <vector>

namespace voltaris {

// The consumption file as read, before its rows reach the table. Reading
// needs nothing of a window, so any thread may do it: the start-up reads the
// file while the display is connected.
struct ConsumptionRead {
    QString path;
    FormatSettings settings; // the dates were read in these
    // The file as it was before it was read: a later change, made while it
    // was read or after, shows as another stamp.
    FileStamp stamp;

    bool opened = false; // false: no such file, or one that cannot be read
    bool exists = false; // a file that could not be opened is there
    std::vector<QString> cells; // four per row: date, reading, days, per day
    bool failed = false; // a line that is no date ended the read
    bool unread = false; // lines are left that the table does not hold
    // The first line the table does not hold (from 1; 0 when none), and its
    // text, to tell the user what a backup keeps.
    int firstUnreadLine = 0;
    QString firstUnreadText;
    // Written under other locale settings (dates such as 12/09/2026, numbers
    // such as 1200.00): the cells were converted into `settings`.
    bool converted = false;
};

// The consumption file of a data folder (the empty text: the current one).
QString consumptionFilePath(const QString &folder);

ConsumptionRead readConsumptionFile(const QString &path, const FormatSettings &settings);

// True when `read` is of this path in these settings and the file has not
// changed since.
bool stillHolds(const ConsumptionRead &read, const QString &path, const FormatSettings &settings);

} // namespace voltaris
