#include "core/logimport.h"

#include "common/cp1252.h"
#include "common/dates.h"
#include "common/numtext.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>
#include <map>

namespace voltaris {

namespace {

// A byte-order mark settles it; otherwise text that is valid UTF-8 is taken
// as such, since Windows-1252 umlauts hardly ever form valid UTF-8 sequences.
QString decode(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8(bytes);
    return utf8.hasError() ? fromWindows1252(bytes) : text;
}

struct Line {
    int number; // from 1
    QString text;
    QStringList fields;
};

QStringList fieldsOf(const QString &line, QChar delimiter);

// The candidate found outside quotes in most lines; on a tie the earlier one,
// so that a German file with decimal commas keeps its semicolons or bars.
QChar delimiterOf(const std::vector<Line> &lines)
{
    static const QString candidates = QStringLiteral(";\t|,");
    QChar best = candidates.front();
    qsizetype bestCount = -1;
    for (const QChar c : candidates) {
        const auto count = std::count_if(lines.cbegin(), lines.cend(),
            [c](const Line &line) { return fieldsOf(line.text, c).size() > 1; });
        if (count > bestCount) {
            best = c;
            bestCount = count;
        }
    }
    return best;
}

// Unquoted and trimmed; inside quotes the delimiter is text and "" a quote.
QStringList fieldsOf(const QString &line, QChar delimiter)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u'"') {
            if (quoted && i + 1 < line.size() && line[i + 1] == u'"')
                field += line[++i];
            else
                quoted = !quoted;
        } else if (c == delimiter && !quoted) {
            fields << field.trimmed();
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field.trimmed();
    return fields;
}

// DD.MM.YYYY, DD.MM.YY or YYYY-MM-DD; a time of day after it (with a space
// or ISO's T, perhaps seconds and a zone) says nothing about the reading's day.
QDate dateOf(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(
        R"(^(?:([0-9]{1,2})\.([0-9]{1,2})\.([0-9]{4}|[0-9]{2})|([0-9]{4})-([0-9]{1,2})-([0-9]{1,2})))"
        R"((?:(?:\s+|T)[0-9]{1,2}:[0-9]{2}(?::[0-9]{2}(?:[.,][0-9]+)?)?(?:Z|[+-][0-9]{2}:?[0-9]{2})?)?$)"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return {};
    if (m.capturedLength(4) > 0)
        return QDate(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    int year = m.captured(3).toInt();
    if (m.capturedLength(3) == 2)
        year += 2000;
    return QDate(year, m.captured(2).toInt(), m.captured(1).toInt());
}

// The first field that is a date, -1 when none is.
int dateColumnOf(const QStringList &fields)
{
    for (int i = 0; i < fields.size(); ++i) {
        if (dateOf(fields[i]).isValid())
            return i;
    }
    return -1;
}

// The reading without the unit some exports write after it.
QString numberPart(const QString &text)
{
    QString t = text;
    if (t.endsWith(QLatin1String("kwh"), Qt::CaseInsensitive))
        t.chop(3);
    return t.trimmed();
}

// Thousands grouped by the other mark come in threes: "1.234,5", "1,234.5".
bool numberOf(const QString &text, QChar decimal, long double &value)
{
    static const QRegularExpression points(
        QStringLiteral(R"(^[+-]?[0-9]{1,3}(?:\.[0-9]{3})+(?:,[0-9]*)?$)"));
    static const QRegularExpression commas(
        QStringLiteral(R"(^[+-]?[0-9]{1,3}(?:,[0-9]{3})+(?:\.[0-9]*)?$)"));
    const bool comma = decimal == u',';
    QString t = numberPart(text);
    if (t.contains(comma ? u'.' : u',')) {
        if (!(comma ? points : commas).match(t).hasMatch())
            return false;
        t.remove(comma ? u'.' : u',');
    }
    // A lone mark would count as 0.
    if (!std::any_of(t.cbegin(), t.cend(), [](QChar c) { return c.isDigit(); }))
        return false;
    return tryStrToFloat(t, decimal, value);
}

// A comma as the last mark of any reading decides for the comma, a point that
// cannot group thousands ("1234.5") for the point. Readings such as "1.234"
// alone leave it open: then the German comma, unless commas delimit.
QChar decimalOf(const std::vector<ImportRow> &rows, QChar delimiter)
{
    static const QRegularExpression grouped(QStringLiteral(R"(^[+-]?[0-9]{1,3}(?:\.[0-9]{3})+$)"));
    if (delimiter == u',')
        return u'.';
    bool point = false;
    for (const ImportRow &row : rows) {
        const QString t = numberPart(row.readingText);
        const qsizetype last = std::max(t.lastIndexOf(u','), t.lastIndexOf(u'.'));
        if (last >= 0 && t[last] == u',')
            return u',';
        point = point || (last >= 0 && !grouped.match(t).hasMatch());
    }
    return point ? u'.' : u',';
}

// 2 when the header is the name, alone or with a unit in brackets
// ("Zählerstand (kWh)"); 1 when the name is a word of it ("kWh/Tag"), so
// that a plainer column wins.
int nameScore(const QString &header, const QStringList &names)
{
    static const QRegularExpression unit(QStringLiteral(R"(\s*[(\[][^)\]]*[)\]]\s*$)"));
    const QString t = header.toLower().remove(unit).trimmed();
    int score = 0;
    for (const QString &name : names) {
        if (t == name)
            return 2;
        for (qsizetype at = t.indexOf(name); at >= 0; at = t.indexOf(name, at + 1)) {
            const qsizetype end = at + name.size();
            if ((at == 0 || !t[at - 1].isLetter()) && (end == t.size() || !t[end].isLetter()))
                score = 1;
        }
    }
    return score;
}

// The leftmost of the best named columns, -1 when none is named.
int namedColumn(const QStringList &fields, const QStringList &names)
{
    int column = -1, best = 0;
    for (int i = 0; i < fields.size(); ++i) {
        const int score = nameScore(fields[i], names);
        if (score > best) {
            best = score;
            column = i;
        }
    }
    return column;
}

} // namespace

ImportParse parseImport(const QByteArray &bytes)
{
    ImportParse out;
    std::vector<Line> lines;
    const QStringList texts = decode(bytes).split(u'\n');
    for (int i = 0; i < texts.size(); ++i) {
        if (!texts[i].trimmed().isEmpty())
            lines.push_back({ i + 1, QString(texts[i]).remove(u'\r'), {} });
    }
    if (lines.empty()) {
        out.error = QStringLiteral("Die Datei ist leer.");
        return out;
    }
    const QChar delimiter = delimiterOf(lines);
    for (Line &line : lines)
        line.fields = fieldsOf(line.text, delimiter);
    // Empty fields alone are blank too: the consumption file's empty row, a
    // spreadsheet's ";;;".
    std::erase_if(lines, [](const Line &line) {
        return std::all_of(
            line.fields.cbegin(), line.fields.cend(), [](const QString &f) { return f.isEmpty(); });
    });

    // The table starts at the first line with a date; titles, a header and
    // its rule stand before it.
    const auto start = std::find_if(lines.cbegin(), lines.cend(),
        [](const Line &line) { return dateColumnOf(line.fields) >= 0; });
    if (start == lines.cend()) {
        out.error = QStringLiteral("In der Datei steht keine Spalte mit Datumsangaben.");
        return out;
    }
    static const QStringList dateNames
        = QStringLiteral("datum ablesedatum date zeitpunkt").split(u' ');
    static const QStringList readingNames
        = QStringLiteral("zählerstand zaehlerstand stand reading wert value kwh").split(u' ');
    int dateColumn = -1, readingColumn = -1;
    for (auto it = lines.cbegin(); it != start; ++it) {
        // A title is one field; the last header before the table counts.
        const int d = namedColumn(it->fields, dateNames), r = namedColumn(it->fields, readingNames);
        if (it->fields.size() >= 2 && (d >= 0 || r >= 0)) {
            dateColumn = d;
            readingColumn = r;
        }
    }
    const QStringList &first = start->fields;
    if (dateColumn < 0)
        dateColumn = dateColumnOf(first);
    if (readingColumn < 0 || readingColumn == dateColumn) {
        // Either mark will do here; the file's own is decided by all rows.
        long double x = 0;
        readingColumn = -1;
        for (int i = first.size() - 1; i > dateColumn; --i) {
            if (numberOf(first[i], u',', x) || numberOf(first[i], u'.', x))
                readingColumn = i;
        }
    }
    if (readingColumn < 0) {
        out.error = QStringLiteral("In der Datei steht keine Spalte mit Zählerständen.");
        return out;
    }

    for (auto it = start; it != lines.cend(); ++it) {
        ImportRow row;
        row.line = it->number;
        row.dateText = it->fields.value(dateColumn);
        row.readingText = it->fields.value(readingColumn);
        row.date = dateOf(row.dateText);
        out.rows.push_back(row);
    }
    const QChar decimal = decimalOf(out.rows, delimiter);
    for (ImportRow &row : out.rows) {
        const bool number = numberOf(row.readingText, decimal, row.reading);
        if (!row.date.isValid())
            row.fate = ImportRow::Fate::NotADate;
        else if (!number)
            row.fate = ImportRow::Fate::NotANumber;
        else if (row.reading < 0 || row.reading > MaxReading)
            row.fate = ImportRow::Fate::OutOfRange;
    }
    return out;
}

void planImport(std::vector<ImportRow> &rows, const std::vector<Reading> &log,
    const std::vector<QDate> &meterStarts)
{
    std::vector<QDate> starts = meterStarts;
    std::sort(starts.begin(), starts.end());
    // The meter of a day: how many meters started on it or before.
    const auto meterOf = [&starts](const QDate &day) {
        return std::upper_bound(starts.cbegin(), starts.cend(), day) - starts.cbegin();
    };
    const auto clashOf = [](const std::pair<const QDate, long double> &reading) {
        return dateToStr(reading.first, FormatSettings::german()) + QStringLiteral(": ")
            + formatValue(reading.second, u',');
    };
    std::map<QDate, long double> logged;
    for (const Reading &r : log)
        logged.emplace(r.date, r.kwh);
    std::map<QDate, long double> known = logged; // and the rows accepted so far

    std::vector<size_t> order;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].fate == ImportRow::Fate::Added)
            order.push_back(i);
    }
    std::stable_sort(order.begin(), order.end(),
        [&rows](size_t a, size_t b) { return rows[a].date < rows[b].date; });
    for (const size_t i : order) {
        ImportRow &row = rows[i];
        if (const auto it = logged.find(row.date); it != logged.end()) {
            row.fate = ImportRow::Fate::DateInLog;
            row.clash = clashOf(*it);
            continue;
        }
        if (known.contains(row.date)) {
            row.fate = ImportRow::Fate::DateTwiceInFile;
            continue;
        }
        // Meters run in date order, so the neighbours on either side are the
        // nearest of the row's own meter, if they are on it at all.
        const auto after = known.upper_bound(row.date);
        const auto before = after == known.begin() ? known.end() : std::prev(after);
        const auto onMeter
            = [&](auto it) { return it != known.end() && meterOf(it->first) == meterOf(row.date); };
        const auto clash = onMeter(before) && row.reading < before->second ? before
            : onMeter(after) && row.reading > after->second                ? after
                                                                           : known.end();
        if (clash == known.end()) {
            known.emplace(row.date, row.reading);
        } else {
            row.fate = ImportRow::Fate::OutsideMeter;
            row.clash = clashOf(*clash);
        }
    }
}

QString fateText(const ImportRow &row)
{
    const QString skipped = QStringLiteral("übersprungen: ");
    switch (row.fate) {
    case ImportRow::Fate::Added:
        return QStringLiteral("wird übernommen");
    case ImportRow::Fate::DateInLog:
        return skipped + QStringLiteral("Datum schon in der Tabelle (%1)").arg(row.clash);
    case ImportRow::Fate::DateTwiceInFile:
        return skipped + QStringLiteral("Datum doppelt in der Datei");
    case ImportRow::Fate::NotADate:
        return skipped + QStringLiteral("kein Datum");
    case ImportRow::Fate::NotANumber:
        return skipped + QStringLiteral("keine Zahl");
    case ImportRow::Fate::OutOfRange:
        return skipped + QStringLiteral("außerhalb von 0 bis %1").arg(qint64(MaxReading));
    case ImportRow::Fate::OutsideMeter: {
        // The clash is "day: value"; a reading before the row's day was higher.
        const QString day = row.clash.section(QStringLiteral(": "), 0, 0);
        const bool before = QDate::fromString(day, QStringLiteral("dd.MM.yyyy")) < row.date;
        return skipped
            + QStringLiteral("%1 als der Stand vom %2 (%3)")
                  .arg(before ? QStringLiteral("kleiner") : QStringLiteral("größer"), day,
                      row.clash.section(QStringLiteral(": "), 1));
    }
    }
    return {};
}

} // namespace voltaris
