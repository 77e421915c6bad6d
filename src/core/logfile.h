#pragma once

#include "common/filestamp.h"
#include "common/formatsettings.h"
#include "core/logrow.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
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

// The file's layout, shared by the reader and the writer.
namespace logfile {
inline constexpr int HeaderLines = 4;
// The field of each column: its first character (from 0) and its width, as
// the writer fills it; the reader takes the same fields back.
inline constexpr int FieldStart[logcol::Count] = { 0, 12, 26, 33 };
inline constexpr int FieldWidth[logcol::Count] = { 10, 12, 5, 7 };
// The bytes of a line whose texts fit their fields: fields, bars, CR LF.
inline constexpr int LineSize = 10 + 2 + 12 + 2 + 5 + 2 + 7 + 2;
extern const QByteArray Header;
// Right-aligned in its field; a longer text is written whole. `out` has room
// for the field or the text, whichever is longer.
char *writeField(char *out, const QString &text, int width);
} // namespace logfile

// The file's bytes for `rows` rows, whose texts `cell(column, row)` gives (a
// const QString &). Built in one buffer sized first, every line at its
// widest, and cut to what was written: a long log is saved without a copy.
template <typename Cell> QByteArray consumptionFileBytes(int rows, const Cell &cell)
{
    using namespace logfile;
    qsizetype room = Header.size();
    for (int r = 0; r < rows; ++r) {
        room += LineSize;
        for (int c = 0; c < logcol::Count; ++c)
            room += std::max<qsizetype>(0, cell(c, r).size() - FieldWidth[c]);
    }
    QByteArray out(room, Qt::Uninitialized);
    char *p = std::copy(Header.cbegin(), Header.cend(), out.data());
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < logcol::Count; ++c) {
            if (c > 0) {
                *p++ = ' ';
                *p++ = '|';
            }
            p = writeField(p, cell(c, r), FieldWidth[c]);
        }
        *p++ = '\r';
        *p++ = '\n';
    }
    out.truncate(p - out.constData());
    return out;
}

} // namespace voltaris
