// The consumption file "Mein_Verbrauch.txt": a title, a header and one
// fixed-width line per row of StringGrid1, readable by people too.
#include "common/cp1252.h"
#include "common/dates.h"
#include "common/errors.h"
#include "common/safefile.h"
#include "common/textfile.h"
#include "ui/Unit1.h"

#include <QDir>
#include <QFile>

namespace voltaris {

namespace {

const QString FileName = QStringLiteral("Mein_Verbrauch.txt");
const QString BackupName = QStringLiteral("Mein_Verbrauch.bak");

constexpr int HeaderLines = 4;
constexpr int ColumnCount = 4;
// The field of each column: its first character (from 0) and its width, as
// the writer fills it; the reader takes the same fields back.
constexpr int FieldStart[ColumnCount] = { 0, 12, 26, 33 };
constexpr int FieldWidth[ColumnCount] = { 10, 12, 5, 7 };

const QByteArray Header = "           Mein Verbrauch\r\n"
                          "________________________________________\r\n"
                          "     Datum | Z\xE4hlerstand | Tage | kW/Tag\r\n"
                          "===========|=============|======|=======\r\n";

// Right-aligned in its field; a longer text is written whole.
void appendField(QByteArray &out, const QString &text, int width)
{
    const QByteArray bytes = toWindows1252(text);
    if (bytes.size() < width)
        out.append(width - bytes.size(), ' ');
    out.append(bytes);
}

bool isBlankByte(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

// Blanks and control characters stripped from both ends.
QByteArray stripped(const QByteArray &bytes)
{
    qsizetype begin = 0, end = bytes.size();
    while (begin < end && isBlankByte(bytes.at(begin)))
        ++begin;
    while (end > begin && isBlankByte(bytes.at(end - 1)))
        --end;
    return bytes.mid(begin, end - begin);
}

// The characters of a field; those beyond the end of the line are absent.
QByteArray field(const QByteArray &line, int column)
{
    return line.mid(FieldStart[column], FieldWidth[column]);
}

} // namespace

QString TForm1::verbrauchPath() const
{
    return dataDir.isEmpty() ? FileName : QDir(dataDir).filePath(FileName);
}

void TForm1::SaveVerbrauch()
{
    const TStringGrid &g = StringGrid1;
    QByteArray out;
    out.reserve(Header.size() + qsizetype(g.rowCount()) * 42);
    out.append(Header);
    for (int r = g.fixedRows(); r < g.rowCount(); ++r) {
        for (int c = 0; c < ColumnCount; ++c) {
            if (c > 0)
                out.append(" |");
            appendField(out, g.cell(c, r), FieldWidth[c]);
        }
        out.append("\r\n");
    }

    const QString path = verbrauchPath();
    // Lines the last load could not read are kept before the file is
    // replaced by the table, which lacks them.
    if (VerbrauchUnreadLines) {
        QFile old(path);
        if (old.exists()) {
            if (!old.open(QIODevice::ReadOnly))
                throw EInOutError(QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: %2")
                                      .arg(displayPath(path), old.errorString()));
            const QByteArray bytes = old.readAll();
            old.close();
            const QString backup
                = dataDir.isEmpty() ? BackupName : QDir(dataDir).filePath(BackupName);
            writeFileOrThrow(backup, bytes);
        }
        VerbrauchUnreadLines = false;
    }
    writeFileOrThrow(path, out);
}

void TForm1::LoadVerbrauch()
{
    TStringGrid &g = StringGrid1;
    TextLineReader reader(verbrauchPath());
    if (!reader.open()) {
        // A file that is there but cannot be read is not replaced unkept.
        VerbrauchUnreadLines = QFile::exists(verbrauchPath());
        return;
    }
    const FormatSettings &s = app().settings();

    // The rows are gathered first and reach the grid at once.
    std::vector<QString> cells;
    bool failed = false;
    try {
        QByteArray line;
        for (int i = 0; i < HeaderLines; ++i)
            reader.readLine(line);
        while (reader.readLine(line)) {
            if (!stripped(line).isEmpty()) {
                const QString date = fromWindows1252(field(line, 0));
                QDate d;
                if (!tryStrToDate(date, s, d)) {
                    // The row taken for this line stays, empty, at the end.
                    cells.resize(cells.size() + ColumnCount);
                    failed = true;
                    break;
                }
                cells.push_back(date);
                for (int c = 1; c < ColumnCount; ++c)
                    cells.push_back(fromWindows1252(stripped(field(line, c))));
            } else if (line.isEmpty()) {
                break;
            }
        }
        if (!failed && !reader.atEnd())
            failed = true; // stopped at an empty line with more after it
    } catch (const std::exception &) {
        failed = true; // a read error ends the load with what was read
    }

    const int firstData = g.fixedRows();
    // The first row read goes into the empty table's blank row.
    const bool intoBlank = g.rowCount() - firstData == 1 && g.cell(0, firstData).isEmpty();
    const int rows = int(cells.size() / ColumnCount);
    if (rows > 0) {
        g.beginUpdate();
        const int base = intoBlank ? firstData : g.rowCount();
        g.setRowCount(base + rows);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < ColumnCount; ++c)
                g.setCell(c, base + r, cells[size_t(r) * ColumnCount + c]);
        g.endUpdate();
    }
    if (failed) {
        VerbrauchUnreadLines = true;
        return;
    }
    g.setRow(g.rowCount() - 1);
    g.scrollToLast();
}

} // namespace voltaris
