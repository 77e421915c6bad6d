// The consumption file "Mein_Verbrauch.txt": a title, a header and one
// fixed-width line per row of the log, readable by people too.
#include "core/logfile.h"

#include "common/cp1252.h"
#include "common/dates.h"
#include "common/textfile.h"
#include "core/datafolder.h"

#include <QFileInfo>
#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <optional>

namespace voltaris {

namespace logfile {

const QByteArray Header = "           Mein Verbrauch\r\n"
                          "________________________________________\r\n"
                          "     Datum | Z\xE4hlerstand | Tage | kW/Tag\r\n"
                          "===========|=============|======|=======\r\n";

char *writeField(char *out, const QString &text, int width)
{
    const qsizetype pad = width - windows1252Size(text);
    if (pad > 0) {
        std::memset(out, ' ', size_t(pad));
        out += pad;
    }
    return writeWindows1252(out, text);
}

} // namespace logfile

namespace {

bool isBlankByte(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

// Blanks and control characters stripped from both ends.
QByteArrayView stripped(QByteArrayView bytes)
{
    qsizetype begin = 0, end = bytes.size();
    while (begin < end && isBlankByte(bytes[begin]))
        ++begin;
    while (end > begin && isBlankByte(bytes[end - 1]))
        --end;
    return bytes.sliced(begin, end - begin);
}

// Texts that recur in a log share one string: the days between readings
// taken at a steady pace, their kWh per day. Fewer allocations while a long
// log loads, less memory while it is shown.
class RecurringTexts {
public:
    QString text(QByteArrayView bytes)
    {
        if (bytes.size() > MaxSize)
            return fromWindows1252(bytes);
        quint32 hash = 2166136261u;
        unsigned char any = 0;
        for (const char c : bytes) {
            hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
            any |= static_cast<unsigned char>(c);
        }
        if (any & 0x80)
            return fromWindows1252(bytes); // kept are ASCII texts, alike in Latin-1
        QString &kept = slots_[hash % Slots];
        if (kept != QLatin1String(bytes.data(), bytes.size()))
            kept = QString::fromLatin1(bytes);
        return kept;
    }

private:
    static constexpr qsizetype MaxSize = 8;
    static constexpr size_t Slots = 4096;
    std::array<QString, Slots> slots_;
};

// The characters of a field; those beyond the end of the line are absent.
QByteArrayView field(QByteArrayView line, int column)
{
    const qsizetype start = std::min<qsizetype>(logfile::FieldStart[column], line.size());
    return line.sliced(
        start, std::min<qsizetype>(logfile::FieldWidth[column], line.size() - start));
}

// The date field as the writer writes it (two-digit day and month, four-digit
// year, in the settings' order and separator) is checked on its bytes, the
// way text to date would judge it; any other form goes to text to date.
enum class Canonical { Date, NoDate, Other };
Canonical canonicalDate(QByteArrayView f, const FormatSettings &s)
{
    if (f.size() != 10 || s.dateSeparator.unicode() > 0x7F)
        return Canonical::Other;
    const char sep = char(s.dateSeparator.unicode());
    // Where the day, the month and the year stand.
    int day = 0, month = 3, year = 6;
    if (s.dateOrder == FormatSettings::DateOrder::MDY) {
        day = 3;
        month = 0;
    } else if (s.dateOrder == FormatSettings::DateOrder::YMD) {
        year = 0;
        month = 5;
        day = 8;
    }
    const int seps[2] = { year == 0 ? 4 : 2, year == 0 ? 7 : 5 };
    for (int i = 0; i < 10; ++i) {
        const bool isSep = i == seps[0] || i == seps[1];
        if (isSep ? f[i] != sep : (f[i] < '0' || f[i] > '9'))
            return Canonical::Other;
    }
    const auto number = [f](int at, int digits) {
        int n = 0;
        for (int i = at; i < at + digits; ++i)
            n = n * 10 + (f[i] - '0');
        return n;
    };
    return QDate::isValid(number(year, 4), number(month, 2), number(day, 2)) ? Canonical::Date
                                                                             : Canonical::NoDate;
}

// Nothing but blanks, control characters and bars: the line of an empty row.
bool barsOnly(QByteArrayView line)
{
    return std::all_of(line.begin(), line.end(), [](char c) { return isBlankByte(c) || c == '|'; });
}

// The reading, the days and the kWh per day of a data line, stripped. A text
// wider than its field (a kWh per day of 10000,00 after a mistyped reading)
// pushes the rest of its line to the right: where a line has its three bars,
// the fields lie between them, wherever they are; other lines are read by
// the fixed positions.
using Fields = std::array<QByteArrayView, logcol::Count - 1>;
Fields fieldsOf(QByteArrayView line)
{
    const auto fixed = [line] {
        return Fields { stripped(field(line, logcol::Reading)), stripped(field(line, logcol::Days)),
            stripped(field(line, logcol::PerDay)) };
    };
    // Most lines are as the writer makes them when every text fits.
    if (line.size() == logfile::LineSize - 2 && line[logfile::FieldStart[1] - 1] == '|'
        && line[logfile::FieldStart[2] - 1] == '|' && line[logfile::FieldStart[3] - 1] == '|')
        return fixed();
    qsizetype bars[logcol::Count - 1];
    int n = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] != '|')
            continue;
        if (n == logcol::Count - 1)
            return fixed(); // a fourth bar: not a line as the writer makes them
        bars[n++] = i;
    }
    if (n < logcol::Count - 1)
        return fixed();
    return { stripped(line.sliced(bars[0] + 1, bars[1] - bars[0] - 1)),
        stripped(line.sliced(bars[1] + 1, bars[2] - bars[1] - 1)),
        stripped(line.sliced(bars[2] + 1)) };
}

} // namespace

QString consumptionFilePath(const QString &folder)
{
    return DataFolder(folder).path(DataFile::Log);
}

namespace {

// Reads the data lines of the file in the settings `s`.
void readDataLines(const QString &path, const FormatSettings &s, ConsumptionRead &r)
{
    TextLineReader reader(path);
    if (!reader.open()) {
        r.exists = QFileInfo::exists(path);
        return;
    }
    r.opened = true;

    std::vector<QString> &cells = r.cells;
    auto recurring = std::make_unique<RecurringTexts>();
    cells.reserve(
        size_t(std::max<qint64>(reader.size(), 0) / logfile::LineSize + 1) * logcol::Count);
    int lineNo = 0;
    const auto noteUnread = [&r](int at, QByteArrayView line) {
        r.unread = true;
        r.firstUnreadLine = at;
        // Shown in a message: what cannot be shown there becomes "?".
        QString text = fromWindows1252(stripped(line.first(std::min<qsizetype>(line.size(), 60))));
        for (QChar &c : text)
            if (!c.isPrint())
                c = QLatin1Char('?');
        r.firstUnreadText = text;
    };
    // A line that is no date ends the load as a failure; whatever a load
    // leaves unread is kept by the next save.
    try {
        QByteArrayView line;
        for (int i = 0; i < logfile::HeaderLines; ++i)
            lineNo += reader.readLine(line) ? 1 : 0;
        while (reader.readLine(line)) {
            ++lineNo;
            if (!stripped(line).isEmpty()) {
                const QByteArrayView dateField = field(line, 0);
                const Canonical canonical = canonicalDate(dateField, s);
                QString date = canonical == Canonical::Date ? QString::fromLatin1(dateField)
                                                            : fromWindows1252(dateField);
                QDate d;
                if (canonical == Canonical::NoDate
                    || (canonical == Canonical::Other && !tryStrToDate(date, s, d))) {
                    // The row taken for this line stays, empty, at the end.
                    cells.resize(cells.size() + logcol::Count);
                    // The line of an empty row, last in its file, leaves
                    // nothing unread that a copy would have to keep.
                    if (!barsOnly(line) || !reader.atEnd())
                        noteUnread(lineNo, line);
                    r.failed = true;
                    break;
                }
                const Fields f = fieldsOf(line);
                cells.push_back(std::move(date));
                cells.push_back(fromWindows1252(f[0]));
                cells.push_back(recurring->text(f[1]));
                cells.push_back(recurring->text(f[2]));
            } else if (line.isEmpty()) {
                // Stopped at an empty line: what follows it is not read.
                if (!reader.atEnd()) {
                    QByteArrayView next;
                    reader.readLine(next);
                    noteUnread(lineNo + 1, next);
                }
                break;
            }
        }
    } catch (const std::exception &) {
        // A read error ends the load with what was read.
        r.failed = true;
        if (!r.unread)
            noteUnread(lineNo + 1, QByteArrayView());
    }
}

// The other decimal separator of the two the program's files know.
QChar otherSeparator(QChar sep)
{
    return sep == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(',');
}

// Rows whose dates ascend under `settings`: the measure of a right guess
// where day and month could stand either way.
int ascendingRows(const std::vector<QString> &cells, const FormatSettings &settings)
{
    int ascending = 0;
    QDate previous;
    for (size_t i = 0; i + logcol::Count <= cells.size(); i += logcol::Count) {
        QDate d;
        if (!tryStrToDate(cells[i], settings, d))
            break;
        if (!previous.isValid() || previous < d)
            ++ascending;
        previous = d;
    }
    return ascending;
}

// A number cell written with the other decimal separator, in `sep`'s.
void convertNumber(QString &cell, QChar sep)
{
    const QChar other = otherSeparator(sep);
    if (!cell.contains(sep))
        cell.replace(other, sep);
}

} // namespace

ConsumptionRead readConsumptionFile(const QString &path, const FormatSettings &s)
{
    ConsumptionRead r;
    r.path = path;
    r.settings = s;
    r.stamp = FileStamp::of(path);
    readDataLines(path, s, r);

    // A file whose first date the settings refuse may have been written
    // under another locale: the guess that reads the most rows, in order, is
    // taken and its texts converted into the settings in use.
    if (r.failed && r.cells.size() == logcol::Count && r.firstUnreadLine > 0) {
        TextLineReader reader(path);
        QByteArrayView line;
        int lineNo = 0;
        if (reader.open())
            while (lineNo < r.firstUnreadLine && reader.readLine(line))
                ++lineNo;
        const QString dateField
            = lineNo == r.firstUnreadLine ? fromWindows1252(field(line, 0)).trimmed() : QString();
        std::optional<ConsumptionRead> best;
        int bestRows = 0, bestAscending = 0;
        for (const FormatSettings &c : otherDateSettings(dateField, s)) {
            ConsumptionRead guess;
            guess.stamp = r.stamp;
            readDataLines(path, c, guess);
            const int rows = int(guess.cells.size() / logcol::Count) - (guess.failed ? 1 : 0);
            const int ascending = ascendingRows(guess.cells, c);
            if (rows > bestRows || (rows == bestRows && ascending > bestAscending)) {
                best = std::move(guess);
                best->settings = c;
                bestRows = rows;
                bestAscending = ascending;
            }
        }
        if (best) {
            const FormatSettings from = best->settings;
            r = std::move(*best);
            r.path = path;
            r.settings = s;
            r.converted = true;
            for (size_t i = 0; i + logcol::Count <= r.cells.size(); i += logcol::Count) {
                QDate d;
                if (tryStrToDate(r.cells[i], from, d))
                    r.cells[i] = dateToStr(d, s);
            }
        }
    }
    // Numbers of another locale ("1200.00" where the comma is in use) are
    // told by the first reading and converted like the dates.
    if (r.cells.size() >= logcol::Count) {
        const QString &first = r.cells[logcol::Reading];
        if (!first.contains(s.decimalSeparator)
            && first.contains(otherSeparator(s.decimalSeparator))) {
            r.converted = true;
            for (size_t i = 0; i + logcol::Count <= r.cells.size(); i += logcol::Count) {
                convertNumber(r.cells[i + logcol::Reading], s.decimalSeparator);
                convertNumber(r.cells[i + logcol::PerDay], s.decimalSeparator);
            }
        }
    }
    return r;
}

bool stillHolds(const ConsumptionRead &read, const QString &path, const FormatSettings &settings)
{
    return read.path == path && read.settings == settings && FileStamp::of(path) == read.stamp;
}

} // namespace voltaris
