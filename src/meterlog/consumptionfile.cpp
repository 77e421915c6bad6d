// The consumption file "Mein_Verbrauch.txt": a title, a header and one
// fixed-width line per row of StringGrid1, readable by people too.
#include "common/cp1252.h"
#include "common/dates.h"
#include "common/errors.h"
#include "common/safefile.h"
#include "common/textfile.h"
#include "meterlog/consumptionread.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <optional>

namespace voltaris {

namespace {

const QString FileName = QStringLiteral("Mein_Verbrauch.txt");
const QString ReloadedNotice = QStringLiteral("Neu aus \"Mein_Verbrauch\" gelesen!");

constexpr int HeaderLines = 4;
constexpr int ColumnCount = 4;
constexpr int ReadingColumn = 1, DaysColumn = 2, PerDayColumn = 3;
// The field of each column: its first character (from 0) and its width, as
// the writer fills it; the reader takes the same fields back.
constexpr int FieldStart[ColumnCount] = { 0, 12, 26, 33 };
constexpr int FieldWidth[ColumnCount] = { 10, 12, 5, 7 };

const QByteArray Header = "           Mein Verbrauch\r\n"
                          "________________________________________\r\n"
                          "     Datum | Z\xE4hlerstand | Tage | kW/Tag\r\n"
                          "===========|=============|======|=======\r\n";

// The bytes of a line whose texts fit their fields: fields, bars, CR LF.
constexpr int LineSize = 10 + 2 + 12 + 2 + 5 + 2 + 7 + 2;

// Right-aligned in its field; a longer text is written whole. `out` has room
// for the field or the text, whichever is longer.
char *writeField(char *out, const QString &text, int width)
{
    const qsizetype pad = width - windows1252Size(text);
    if (pad > 0) {
        std::memset(out, ' ', size_t(pad));
        out += pad;
    }
    return writeWindows1252(out, text);
}

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
    const qsizetype start = std::min<qsizetype>(FieldStart[column], line.size());
    return line.sliced(start, std::min<qsizetype>(FieldWidth[column], line.size() - start));
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
using Fields = std::array<QByteArrayView, ColumnCount - 1>;
Fields fieldsOf(QByteArrayView line)
{
    const auto fixed = [line] {
        return Fields { stripped(field(line, ReadingColumn)), stripped(field(line, DaysColumn)),
            stripped(field(line, PerDayColumn)) };
    };
    // Most lines are as the writer makes them when every text fits.
    if (line.size() == LineSize - 2 && line[FieldStart[1] - 1] == '|'
        && line[FieldStart[2] - 1] == '|' && line[FieldStart[3] - 1] == '|')
        return fixed();
    qsizetype bars[ColumnCount - 1];
    int n = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] != '|')
            continue;
        if (n == ColumnCount - 1)
            return fixed(); // a fourth bar: not a line as the writer makes them
        bars[n++] = i;
    }
    if (n < ColumnCount - 1)
        return fixed();
    return { stripped(line.sliced(bars[0] + 1, bars[1] - bars[0] - 1)),
        stripped(line.sliced(bars[1] + 1, bars[2] - bars[1] - 1)),
        stripped(line.sliced(bars[2] + 1)) };
}

} // namespace

QString consumptionFilePath(const QString &folder)
{
    return inFolder(folder, FileName);
}

QString TForm1::verbrauchPath() const
{
    return dataFilePath(FileName);
}

void TForm1::SaveVerbrauch()
{
    const TStringGrid &g = StringGrid1;
    // The file is built in one buffer sized first, every line at its
    // widest, and cut to what was written.
    qsizetype room = Header.size();
    for (int r = g.fixedRows(); r < g.rowCount(); ++r) {
        room += LineSize;
        for (int c = 0; c < ColumnCount; ++c)
            room += std::max<qsizetype>(0, g.cell(c, r).size() - FieldWidth[c]);
    }
    QByteArray out(room, Qt::Uninitialized);
    char *p = std::copy(Header.cbegin(), Header.cend(), out.data());
    for (int r = g.fixedRows(); r < g.rowCount(); ++r) {
        for (int c = 0; c < ColumnCount; ++c) {
            if (c > 0) {
                *p++ = ' ';
                *p++ = '|';
            }
            p = writeField(p, g.cell(c, r), FieldWidth[c]);
        }
        *p++ = '\r';
        *p++ = '\n';
    }
    out.truncate(p - out.constData());

    const QString path = verbrauchPath();
    // A file that another program changed since the handler took it in (in
    // the moment between) is kept like one that could not be read whole: the
    // table lacks what it added.
    const FileStamp now = FileStamp::of(path);
    if (now.exists && now != VerbrauchStamp) {
        VerbrauchUnreadLines = true;
        VerbrauchKeepReason = QStringLiteral(
            "Ein anderes Programm hat sie eben geändert, während dieses sie schrieb.");
    }
    // Lines the last load could not read are kept before the file is
    // replaced by the table, which lacks them.
    QString backup;
    if (VerbrauchUnreadLines && now.exists) {
        QFile old(path);
        if (!old.open(QIODevice::ReadOnly))
            throw EInOutError(QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: %2")
                                  .arg(displayPath(path), fileErrorText(old)));
        const QByteArray bytes = old.readAll();
        old.close();
        QString reason;
        backup = keepBackup(path, bytes, app().services().today(), &reason);
        if (backup.isEmpty())
            throw EInOutError(
                QStringLiteral("Die Sicherung von \"%1\" kann nicht geschrieben werden: %2")
                    .arg(displayPath(path), reason));
    }
    VerbrauchUnreadLines = false;
    writeFileOrThrow(path, out);
    VerbrauchStamp = FileStamp::of(path);
    if (!backup.isEmpty()) {
        QString text = QStringLiteral("\"%1\" konnte nicht ganz in die Tabelle übernommen werden.")
                           .arg(FileName);
        if (!VerbrauchKeepReason.isEmpty())
            text += QLatin1Char(' ') + VerbrauchKeepReason;
        text += QStringLiteral("\n\nDie ganze alte Datei ist gesichert unter:\n")
            + displayPath(backup);
        VerbrauchKeepReason.clear();
        app().messageBox(this, app().Title, text, MsgIcon::Warning);
    }
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
    cells.reserve(size_t(std::max<qint64>(reader.size(), 0) / LineSize + 1) * ColumnCount);
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
        for (int i = 0; i < HeaderLines; ++i)
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
                    cells.resize(cells.size() + ColumnCount);
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
    for (size_t i = 0; i + ColumnCount <= cells.size(); i += ColumnCount) {
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
    if (r.failed && r.cells.size() == ColumnCount && r.firstUnreadLine > 0) {
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
            const int rows = int(guess.cells.size() / ColumnCount) - (guess.failed ? 1 : 0);
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
            for (size_t i = 0; i + ColumnCount <= r.cells.size(); i += ColumnCount) {
                QDate d;
                if (tryStrToDate(r.cells[i], from, d))
                    r.cells[i] = dateToStr(d, s);
            }
        }
    }
    // Numbers of another locale ("1200.00" where the comma is in use) are
    // told by the first reading and converted like the dates.
    if (r.cells.size() >= ColumnCount) {
        const QString &first = r.cells[ReadingColumn];
        if (!first.contains(s.decimalSeparator)
            && first.contains(otherSeparator(s.decimalSeparator))) {
            r.converted = true;
            for (size_t i = 0; i + ColumnCount <= r.cells.size(); i += ColumnCount) {
                convertNumber(r.cells[i + ReadingColumn], s.decimalSeparator);
                convertNumber(r.cells[i + PerDayColumn], s.decimalSeparator);
            }
        }
    }
    return r;
}

bool stillHolds(const ConsumptionRead &read, const QString &path, const FormatSettings &settings)
{
    return read.path == path && read.settings == settings && FileStamp::of(path) == read.stamp;
}

void TForm1::LoadVerbrauch()
{
    TStringGrid &g = StringGrid1;
    ConsumptionRead r = app().services().readConsumption(verbrauchPath(), app().settings());
    VerbrauchStamp = r.stamp;
    if (!r.opened) {
        // A file that is there but cannot be read is not replaced unkept.
        VerbrauchUnreadLines = r.exists;
        VerbrauchKeepReason = r.exists ? QStringLiteral("Sie war nicht lesbar.") : QString();
        return;
    }
    const int firstData = g.fixedRows();
    // The first row read goes into the empty table's blank row.
    const bool intoBlank = g.rowCount() - firstData == 1 && g.cell(0, firstData).isEmpty();
    if (!r.cells.empty())
        g.setRowsFrom(intoBlank ? firstData : g.rowCount(), std::move(r.cells));
    // A converted file was read whole, but its old form is kept all the
    // same: a guess of the day's and the month's places could be wrong.
    VerbrauchUnreadLines = r.unread || r.converted;
    VerbrauchKeepReason.clear();
    if (r.converted)
        VerbrauchKeepReason = QStringLiteral("Sie war mit anderen Landeseinstellungen geschrieben "
                                             "(Datum oder Zahlen wie 12/09/2026 oder 1200.00); "
                                             "die Tabelle zeigt sie umgewandelt.");
    if (r.unread)
        VerbrauchKeepReason += (VerbrauchKeepReason.isEmpty() ? QString() : QStringLiteral(" "))
            + (r.firstUnreadText.isEmpty()
                    ? QStringLiteral("Ab Zeile %1 fehlen ihre Zeilen in der Tabelle.")
                          .arg(r.firstUnreadLine)
                    : QStringLiteral("Ab Zeile %1 (\"%2\") fehlen ihre Zeilen in der Tabelle.")
                          .arg(r.firstUnreadLine)
                          .arg(r.firstUnreadText));
    if (r.failed)
        return;
    g.setRow(g.rowCount() - 1);
    g.scrollToLast();
}

bool TForm1::FollowVerbrauchFile()
{
    const FileStamp now = FileStamp::of(verbrauchPath());
    if (now == VerbrauchStamp)
        return false;
    // A file removed by someone else: the table stays, and the next change
    // writes it again, so that no reading goes with it.
    if (!now.exists) {
        VerbrauchStamp = now;
        return false;
    }
    TStringGrid &g = StringGrid1;
    g.beginUpdate();
    g.setRowCount(g.fixedRows() + 1);
    for (int c = 0; c < g.colCount(); ++c)
        g.setCell(c, g.fixedRows(), QString());
    g.setRow(g.fixedRows());
    LoadVerbrauch();
    g.endUpdate();
    if (Form2)
        Form2->ShowNotice(ReloadedNotice);
    return true;
}

} // namespace voltaris
