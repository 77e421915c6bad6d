#include "core/logimport.h"

#include "common/cp1252.h"
#include "common/dates.h"
#include "common/numtext.h"

#include <QBuffer>
#include <QHash>
#include <QIODevice>
#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <map>

namespace voltaris {

namespace {

// A file is read in blocks of this size; the progress is told after each.
constexpr qint64 BlockBytes = 1 << 20;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

QByteArrayView trimmed(QByteArrayView t)
{
    while (!t.isEmpty() && isBlank(t.front()))
        t = t.sliced(1);
    while (!t.isEmpty() && isBlank(t.back()))
        t.chop(1);
    return t;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// --- The bytes of a file as lines ------------------------------------------

enum class Form { Bytes, Utf16LE, Utf16BE };

struct Sniffed {
    Form form = Form::Bytes;
    qsizetype bom = 0; // bytes of the byte-order mark
    bool utf8Bom = false;
};

// A byte-order mark settles it. Without one, text of mostly ASCII characters
// in UTF-16 has a zero in every other byte, and no other text has.
Sniffed sniff(QByteArrayView head)
{
    if (head.startsWith("\xEF\xBB\xBF"))
        return { Form::Bytes, 3, true };
    if (head.startsWith("\xFF\xFE"))
        return { Form::Utf16LE, 2, false };
    if (head.startsWith("\xFE\xFF"))
        return { Form::Utf16BE, 2, false };
    qsizetype pairs = head.size() / 2, zeroEven = 0, zeroOdd = 0;
    for (qsizetype i = 0; i < pairs * 2; i += 2) {
        zeroEven += head[i] == 0;
        zeroOdd += head[i + 1] == 0;
    }
    if (pairs >= 4 && zeroOdd * 10 >= pairs * 4 && zeroEven * 20 < pairs)
        return { Form::Utf16LE, 0, false };
    if (pairs >= 4 && zeroEven * 10 >= pairs * 4 && zeroOdd * 20 < pairs)
        return { Form::Utf16BE, 0, false };
    return {};
}

// The lines of a device, as bytes without their line ends (CR LF, LF or CR
// alone); UTF-16 comes as UTF-8. Reads a block at a time, so that a large file
// is never held whole.
class LineReader {
public:
    LineReader(QIODevice &device, const Sniffed &sniffed, const std::function<bool()> &tick)
        : device_(device)
        , form_(sniffed.form)
        , decoder_(
              sniffed.form == Form::Utf16BE ? QStringConverter::Utf16BE : QStringConverter::Utf16LE)
        , tick_(tick)
    {
        ok_ = device_.seek(sniffed.bom);
    }

    // The next line, valid until the next call; false at the end or when the
    // progress said stop.
    bool next(QByteArrayView &line)
    {
        for (;;) {
            qsizetype i = pos_;
            const qsizetype n = buffer_.size();
            const char *data = buffer_.constData();
            while (i < n && data[i] != '\n' && data[i] != '\r')
                ++i;
            if (i < n) {
                // A CR at the block's end may have its LF in the next one.
                if (data[i] == '\r' && i + 1 == n && !end_) {
                    if (!fill())
                        return false;
                    continue;
                }
                line = QByteArrayView(data + pos_, i - pos_);
                pos_ = i + 1;
                if (data[i] == '\r' && pos_ < n && data[pos_] == '\n')
                    ++pos_;
                ++number_;
                return true;
            }
            if (end_) {
                if (pos_ >= n)
                    return false;
                line = QByteArrayView(data + pos_, n - pos_);
                pos_ = n;
                ++number_;
                return true;
            }
            if (!fill())
                return false;
        }
    }

    int number() const { return number_; }
    bool stopped() const { return stopped_; }

private:
    bool fill()
    {
        buffer_.remove(0, pos_);
        pos_ = 0;
        if (!ok_) {
            end_ = true;
            return true;
        }
        // No more room than the rest of the file needs.
        const QByteArray block
            = device_.read(std::clamp<qint64>(device_.bytesAvailable(), 1, BlockBytes));
        if (block.isEmpty())
            end_ = true;
        else if (form_ == Form::Bytes)
            buffer_ += block;
        else
            buffer_ += QString(decoder_(block)).toUtf8();
        if (tick_ && !tick_()) {
            stopped_ = true;
            return false;
        }
        return true;
    }

    QIODevice &device_;
    Form form_;
    QStringDecoder decoder_;
    std::function<bool()> tick_;
    QByteArray buffer_;
    qsizetype pos_ = 0;
    int number_ = 0;
    bool ok_ = true, end_ = false, stopped_ = false;
};

// Whether bytes are valid UTF-8, one line after another (no line end falls
// inside a character).
class Utf8Check {
public:
    void add(QByteArrayView bytes)
    {
        // Most lines are ASCII.
        unsigned char any = 0;
        for (const char ch : bytes)
            any |= static_cast<unsigned char>(ch);
        if (!(any & 0x80))
            return;
        for (const char ch : bytes) {
            const auto c = static_cast<unsigned char>(ch);
            if (pending_ > 0) {
                if ((c & 0xC0) != 0x80)
                    valid_ = false;
                --pending_;
            } else if (c >= 0x80) {
                if (c >= 0xC2 && c <= 0xDF)
                    pending_ = 1;
                else if (c >= 0xE0 && c <= 0xEF)
                    pending_ = 2;
                else if (c >= 0xF0 && c <= 0xF4)
                    pending_ = 3;
                else
                    valid_ = false;
            }
        }
        // A character cut by a line end is no character.
        if (pending_ > 0)
            valid_ = false;
        pending_ = 0;
    }
    bool valid() const { return valid_; }

private:
    int pending_ = 0;
    bool valid_ = true;
};

// --- Fields ----------------------------------------------------------------

// The fields of a line, split where the delimiter stands outside quotes.
class Fields {
public:
    void split(QByteArrayView line, char delimiter)
    {
        line_ = line;
        ++lineCount_;
        bounds_.clear();
        bool quoted = false;
        qsizetype start = 0;
        for (qsizetype i = 0; i < line.size(); ++i) {
            const char c = line[i];
            if (c == '"')
                quoted = !quoted;
            else if (c == delimiter && !quoted) {
                bounds_.push_back({ start, i });
                start = i + 1;
            }
        }
        bounds_.push_back({ start, line.size() });
    }
    int size() const { return int(bounds_.size()); }
    // Unquoted and trimmed; inside quotes "" is a quote. Valid until the
    // next split.
    QByteArrayView at(int i)
    {
        if (i < 0 || i >= size())
            return {};
        const auto [begin, end] = bounds_[size_t(i)];
        const QByteArrayView raw = line_.sliced(begin, end - begin);
        if (!raw.contains('"'))
            return trimmed(raw);
        if (scratch_.size() < bounds_.size()) {
            scratch_.resize(bounds_.size());
            made_.resize(bounds_.size());
        }
        QByteArray &out = scratch_[size_t(i)];
        // Made once a line: a view given out before stays valid.
        if (made_[size_t(i)] == lineCount_)
            return trimmed(out);
        made_[size_t(i)] = lineCount_;
        out.resize(0);
        bool quoted = false;
        for (qsizetype k = 0; k < raw.size(); ++k) {
            if (raw[k] == '"') {
                if (quoted && k + 1 < raw.size() && raw[k + 1] == '"')
                    out += raw[++k];
                else
                    quoted = !quoted;
            } else {
                out += raw[k];
            }
        }
        return trimmed(out);
    }
    bool allEmpty()
    {
        for (int i = 0; i < size(); ++i)
            if (!at(i).isEmpty())
                return false;
        return true;
    }

private:
    QByteArrayView line_;
    std::vector<std::pair<qsizetype, qsizetype>> bounds_;
    std::vector<QByteArray> scratch_; // a field's own, so that several stay valid
    std::vector<quint64> made_; // the line for which scratch_ was made
    quint64 lineCount_ = 0;
};

// --- Dates, times and numbers ----------------------------------------------

// Reads `least` to `most` digits from t at i; false when there are fewer, or
// more follow.
bool digits(QByteArrayView t, qsizetype &i, int least, int most, int &value)
{
    value = 0;
    int n = 0;
    while (i < t.size() && n < most && isDigit(t[i])) {
        value = value * 10 + (t[i] - '0');
        ++i;
        ++n;
    }
    return n >= least && (i >= t.size() || !isDigit(t[i]));
}

// HH:MM, perhaps seconds and their fraction, from t at i.
bool timeAt(QByteArrayView t, qsizetype &i, int &seconds)
{
    int h = 0, m = 0, s = 0;
    if (!digits(t, i, 1, 2, h) || i >= t.size() || t[i] != ':')
        return false;
    ++i;
    if (!digits(t, i, 2, 2, m))
        return false;
    if (i < t.size() && t[i] == ':') {
        ++i;
        if (!digits(t, i, 2, 2, s))
            return false;
        if (i + 1 < t.size() && (t[i] == '.' || t[i] == ',') && isDigit(t[i + 1])) {
            ++i;
            while (i < t.size() && isDigit(t[i]))
                ++i;
        }
    }
    seconds = h * 3600 + m * 60 + s;
    return true;
}

// A time of day alone, for a column of its own.
bool timeOf(QByteArrayView t, int &seconds)
{
    qsizetype i = 0;
    return timeAt(t, i, seconds) && i == t.size();
}

// DD.MM.YYYY, DD.MM.YY or YYYY-MM-DD; a time of day after it (with blanks or
// ISO's T, perhaps seconds and a zone) gives `seconds`, else it is -1.
QDate dateOf(QByteArrayView t, int &seconds)
{
    seconds = -1;
    qsizetype i = 0;
    int a = 0, b = 0, c = 0;
    QDate date;
    const qsizetype startA = i;
    if (!digits(t, i, 1, 4, a) || i >= t.size())
        return {};
    const qsizetype lengthA = i - startA;
    if (t[i] == '.' && lengthA <= 2) {
        ++i;
        if (!digits(t, i, 1, 2, b) || i >= t.size() || t[i] != '.')
            return {};
        ++i;
        const qsizetype startC = i;
        if (!digits(t, i, 2, 4, c) || (i - startC != 2 && i - startC != 4))
            return {};
        date = QDate(i - startC == 2 ? fullYear(c) : c, b, a);
    } else if (t[i] == '-' && lengthA == 4) {
        ++i;
        if (!digits(t, i, 1, 2, b) || i >= t.size() || t[i] != '-')
            return {};
        ++i;
        if (!digits(t, i, 1, 2, c))
            return {};
        date = QDate(a, b, c);
    } else {
        return {};
    }
    if (i == t.size())
        return date;
    // The time of day.
    if (t[i] == 'T') {
        ++i;
    } else {
        const qsizetype blanks = i;
        while (i < t.size() && isBlank(t[i]))
            ++i;
        if (i == blanks)
            return {};
    }
    int s = 0;
    if (!timeAt(t, i, s))
        return {};
    if (i < t.size() && t[i] == 'Z') {
        ++i;
    } else if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        ++i;
        int zone = 0;
        if (!digits(t, i, 2, 2, zone))
            return {};
        if (i < t.size() && t[i] == ':')
            ++i;
        if (!digits(t, i, 2, 2, zone))
            return {};
    }
    if (i != t.size())
        return {};
    seconds = s;
    return date;
}

QDate dateOf(QByteArrayView t)
{
    int seconds = 0;
    return dateOf(t, seconds);
}

// The reading without the unit some exports write after it.
QByteArrayView numberPart(QByteArrayView t)
{
    t = trimmed(t);
    if (t.size() >= 3) {
        const QByteArrayView unit = t.last(3);
        if ((unit[0] | 0x20) == 'k' && (unit[1] | 0x20) == 'w' && (unit[2] | 0x20) == 'h')
            t = trimmed(t.first(t.size() - 3));
    }
    return t;
}

// Thousands grouped by `mark` come in threes after one to three digits, and
// nothing but the decimal part follows them: "1.234,5", "1,234.5".
bool groupedBy(QByteArrayView t, char mark, char decimal)
{
    qsizetype i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        ++i;
    qsizetype lead = 0;
    while (i < t.size() && isDigit(t[i])) {
        ++i;
        ++lead;
    }
    if (lead < 1 || lead > 3)
        return false;
    int groups = 0;
    while (i < t.size() && t[i] == mark) {
        ++i;
        int n = 0;
        while (i < t.size() && isDigit(t[i])) {
            ++i;
            ++n;
        }
        if (n != 3)
            return false;
        ++groups;
    }
    if (groups == 0)
        return false;
    if (i == t.size())
        return true;
    if (t[i] != decimal)
        return false;
    for (++i; i < t.size(); ++i)
        if (!isDigit(t[i]))
            return false;
    return true;
}

bool numberOf(QByteArrayView text, char decimal, long double &value)
{
    const QByteArrayView t = numberPart(text);
    const char group = decimal == ',' ? '.' : ',';
    char cleaned[64];
    qsizetype n = 0;
    bool digit = false;
    const bool grouped = t.contains(group);
    if (grouped && !groupedBy(t, group, decimal))
        return false;
    if (t.size() >= qsizetype(sizeof cleaned))
        return false;
    for (const char c : t) {
        if (grouped && c == group)
            continue;
        digit = digit || isDigit(c);
        cleaned[n++] = c;
    }
    // A lone mark would count as 0.
    if (!digit)
        return false;
    // Up to 19 digits with a decimal mark are an exact integer divided by an
    // exact power of ten: the division rounds to the nearest value, as the
    // text conversion does, without making a text of each of a million rows.
    unsigned long long mantissa = 0;
    int count = 0, decimals = -1;
    qsizetype i = cleaned[0] == '-' || cleaned[0] == '+' ? 1 : 0;
    for (; i < n && count <= 19; ++i) {
        if (isDigit(cleaned[i])) {
            mantissa = mantissa * 10 + unsigned(cleaned[i] - '0');
            ++count;
            decimals += decimals >= 0;
        } else if (cleaned[i] == decimal && decimals < 0) {
            decimals = 0;
        } else {
            break;
        }
    }
    if (i == n && count <= 19 && decimals != 0) {
        long double x = static_cast<long double>(mantissa), power = 1;
        for (int k = 0; k < decimals; ++k)
            power *= 10;
        x /= power;
        value = cleaned[0] == '-' ? -x : x;
        return true;
    }
    return tryStrToFloat(QString::fromLatin1(cleaned, n), QLatin1Char(decimal), value);
}

// Of the readings seen so far: a comma as the last mark of any reading
// decides for the comma, a point that cannot group thousands ("1234.5") for
// the point. Readings such as "1.234" alone leave it open: then the German
// comma.
struct DecimalVote {
    bool comma = false, point = false;
    void add(QByteArrayView reading)
    {
        const QByteArrayView t = numberPart(reading);
        const qsizetype last = std::max(t.lastIndexOf(','), t.lastIndexOf('.'));
        if (last < 0)
            return;
        if (t[last] == ',')
            comma = true;
        else if (!groupedBy(t, '.', '\0'))
            point = true;
    }
    char decimal() const { return comma || !point ? ',' : '.'; }
};

// --- Column headers --------------------------------------------------------

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

// The first column whose header holds all of the words of one of `names`.
int columnWith(const QStringList &fields, const QList<QStringList> &names)
{
    for (int i = 0; i < fields.size(); ++i) {
        const QString t = fields[i].toLower();
        for (const QStringList &words : names)
            if (std::all_of(
                    words.begin(), words.end(), [&t](const QString &w) { return t.contains(w); }))
                return i;
    }
    return -1;
}

struct Columns {
    int date = -1, reading = -1, time = -1, oldFinal = -1, number = -1;
};

// What the header lines before the table name. A title is one field; the
// last header before the table counts.
void namedColumns(const QStringList &fields, Columns &columns)
{
    static const QStringList dateNames
        = QStringLiteral("datum ablesedatum date zeitpunkt").split(u' ');
    static const QStringList readingNames
        = QStringLiteral("zählerstand zaehlerstand stand reading wert value kwh").split(u' ');
    static const QStringList timeNames = QStringLiteral("uhrzeit zeit time").split(u' ');
    static const QList<QStringList> oldFinalNames { { QStringLiteral("alter zähler") },
        { QStringLiteral("alter zaehler") }, { QStringLiteral("old meter") } };
    static const QList<QStringList> numberNames {
        { QStringLiteral("neuer zähler"), QStringLiteral("n") },
        { QStringLiteral("neuer zaehler"), QStringLiteral("n") },
        { QStringLiteral("new meter"), QStringLiteral("n") },
    };
    const int d = namedColumn(fields, dateNames), r = namedColumn(fields, readingNames);
    if (fields.size() < 2 || (d < 0 && r < 0))
        return;
    columns.date = d;
    columns.oldFinal = columnWith(fields, oldFinalNames);
    columns.number = -1;
    // "Nummer neuer Zähler", "Nr. neuer Zähler", not "Erster Stand neuer Zähler".
    for (int i = 0; i < fields.size(); ++i) {
        const QString t = fields[i].toLower();
        if (columnWith({ fields[i] }, numberNames) == 0
            && (t.contains(QLatin1String("nummer")) || t.contains(QLatin1String("nr"))
                || t.contains(QLatin1String("number")))) {
            columns.number = i;
            break;
        }
    }
    // The reading is no column of the replacement.
    QStringList named = fields;
    for (const int c : { columns.oldFinal, columns.number })
        if (c >= 0)
            named[c].clear();
    columns.reading = namedColumn(named, readingNames);
    columns.time = namedColumn(fields, timeNames);
}

// --- Reading a file --------------------------------------------------------

class Parser {
public:
    Parser(QIODevice &device, const ImportProgress &progress)
        : device_(device)
        , progress_(progress)
        , total_(std::max<qint64>(device.size(), 1) * 3)
    { }

    ImportParse run();

private:
    // Each pass reads the file from its start.
    LineReader lines(int pass)
    {
        return LineReader(device_, sniffed_, [this, pass] {
            return !progress_ || progress_(pass * (total_ / 3) + device_.pos(), total_);
        });
    }
    QString text(QByteArrayView bytes) const
    {
        return (utf8_ ? QString::fromUtf8(bytes) : fromWindows1252(bytes)).trimmed();
    }
    QStringList texts(Fields &fields) const
    {
        QStringList out;
        for (int i = 0; i < fields.size(); ++i)
            out << text(fields.at(i));
        return out;
    }
    bool firstPass();
    bool secondPass();
    bool thirdPass();
    // Keeps the row unless its day has a later reading; the row kept, or
    // nullptr.
    ImportRow *addRow(ImportRow &&row, int seconds, bool valid);

    QIODevice &device_;
    const ImportProgress &progress_;
    qint64 total_;
    Sniffed sniffed_;
    bool utf8_ = true;
    char delimiter_ = ';';
    char decimal_ = ',';
    int start_ = 0; // the number of the table's first line
    Columns columns_;
    ImportParse out_;

    // Of each day with readings at times of day: its row in out_.rows, the
    // time of that row, whether it is a reading, and how many rows it had.
    struct Day {
        size_t row = 0;
        int seconds = 0;
        bool valid = false;
        qint64 rows = 0;
    };
    QHash<qint64, Day> days_;
    // The date and reading fields of each row of out_.rows, as bytes.
    std::vector<std::pair<QByteArray, QByteArray>> raw_;
};

// Keeps the bytes in `to`, reusing its room.
void copyInto(QByteArray &to, QByteArrayView from)
{
    to.resize(from.size());
    std::copy(from.begin(), from.end(), to.data());
}

// The delimiter and the encoding: the candidate found outside quotes in most
// lines, on a tie the earlier one, so that a German file with decimal commas
// keeps its semicolons or bars.
bool Parser::firstPass()
{
    static constexpr std::array<char, 4> candidates { ';', '\t', '|', ',' };
    static constexpr std::array<unsigned char, 256> candidateBits = [] {
        std::array<unsigned char, 256> bits {};
        for (size_t k = 0; k < candidates.size(); ++k)
            bits[static_cast<unsigned char>(candidates[k])] = static_cast<unsigned char>(1u << k);
        return bits;
    }();
    std::array<qint64, 4> counts {};
    Utf8Check check;
    bool any = false;
    LineReader reader = lines(0);
    QByteArrayView line;
    while (reader.next(line)) {
        if (sniffed_.form == Form::Bytes && !sniffed_.utf8Bom && check.valid())
            check.add(line);
        if (trimmed(line).isEmpty())
            continue;
        any = true;
        bool quoted = false;
        unsigned seen = 0; // a bit per candidate
        for (const char c : line) {
            if (c == '"')
                quoted = !quoted;
            else if (!quoted)
                seen |= candidateBits[static_cast<unsigned char>(c)];
        }
        for (size_t k = 0; k < candidates.size(); ++k)
            counts[k] += (seen >> k) & 1;
    }
    if (reader.stopped())
        return false;
    // Windows-1252 umlauts hardly ever form valid UTF-8 sequences.
    utf8_ = sniffed_.form != Form::Bytes || sniffed_.utf8Bom || check.valid();
    qint64 best = -1;
    for (size_t k = 0; k < candidates.size(); ++k) {
        if (counts[k] > best) {
            best = counts[k];
            delimiter_ = candidates[k];
        }
    }
    if (!any)
        out_.error = QStringLiteral("Die Datei ist leer.");
    return true;
}

// The table's first line and its columns, then the decimal mark of its
// readings.
bool Parser::secondPass()
{
    LineReader reader = lines(1);
    Fields fields;
    QByteArrayView line;
    DecimalVote vote;
    bool started = false;
    while (reader.next(line)) {
        fields.split(line, delimiter_);
        if (fields.allEmpty())
            continue;
        if (started) {
            if (delimiter_ == ',' || vote.comma)
                break;
            vote.add(fields.at(columns_.reading));
            continue;
        }
        int dateColumn = -1;
        for (int i = 0; i < fields.size() && dateColumn < 0; ++i)
            if (dateOf(fields.at(i)).isValid())
                dateColumn = i;
        if (dateColumn < 0) {
            namedColumns(texts(fields), columns_);
            continue;
        }
        // The table starts at the first line with a date; titles, a header
        // and its rule stand before it.
        started = true;
        start_ = reader.number();
        if (columns_.date < 0)
            columns_.date = dateColumn;
        if (columns_.reading < 0 || columns_.reading == columns_.date) {
            // Either mark will do here; the file's own is decided by all rows.
            long double x = 0;
            columns_.reading = -1;
            for (int i = fields.size() - 1; i > columns_.date; --i) {
                if (i == columns_.oldFinal || i == columns_.number)
                    continue;
                if (numberOf(fields.at(i), ',', x) || numberOf(fields.at(i), '.', x))
                    columns_.reading = i;
            }
        }
        if (columns_.reading < 0) {
            out_.error = QStringLiteral("In der Datei steht keine Spalte mit Zählerständen.");
            return true;
        }
        // No column is two things at once.
        for (int *other : { &columns_.time, &columns_.oldFinal, &columns_.number })
            if (*other == columns_.date || *other == columns_.reading)
                *other = -1;
        if (columns_.number == columns_.oldFinal)
            columns_.number = -1;
        // A time of day in a column of its own, named or found.
        int seconds = 0;
        for (int i = 0; i < fields.size() && columns_.time < 0; ++i)
            if (i != columns_.date && i != columns_.reading && timeOf(fields.at(i), seconds))
                columns_.time = i;
        vote.add(fields.at(columns_.reading));
    }
    if (reader.stopped())
        return false;
    if (!started)
        out_.error = QStringLiteral("In der Datei steht keine Spalte mit Datumsangaben.");
    decimal_ = delimiter_ == ',' ? '.' : vote.decimal();
    return true;
}

ImportRow *Parser::addRow(ImportRow &&row, int seconds, bool valid)
{
    if (seconds < 0 || !row.date.isValid()) {
        out_.rows.push_back(std::move(row));
        return &out_.rows.back();
    }
    // Of a day's readings at times of day, its last one (the last in the
    // file at the same time) is the day's.
    const auto it = days_.find(row.date.toJulianDay());
    if (it == days_.end()) {
        days_.insert(row.date.toJulianDay(), { out_.rows.size(), seconds, valid, 1 });
        out_.rows.push_back(std::move(row));
        return &out_.rows.back();
    }
    Day &day = *it;
    ++day.rows;
    if ((valid && !day.valid) || (valid == day.valid && seconds >= day.seconds)) {
        out_.rows[day.row] = std::move(row);
        day.seconds = seconds;
        day.valid = valid;
        return &out_.rows[day.row];
    }
    return nullptr;
}

bool Parser::thirdPass()
{
    LineReader reader = lines(2);
    Fields fields;
    QByteArrayView line;
    while (reader.next(line)) {
        if (reader.number() < start_)
            continue;
        fields.split(line, delimiter_);
        if (fields.allEmpty())
            continue;
        ImportRow row;
        row.line = reader.number();
        const QByteArrayView dateField = fields.at(columns_.date);
        int seconds = -1;
        row.date = dateOf(dateField, seconds);
        if (seconds < 0 && columns_.time >= 0 && !timeOf(fields.at(columns_.time), seconds))
            seconds = -1;
        const QByteArrayView readingField = fields.at(columns_.reading);
        const bool number = numberOf(readingField, decimal_, row.reading);
        if (!row.date.isValid())
            row.fate = ImportRow::Fate::NotADate;
        else if (!number)
            row.fate = ImportRow::Fate::NotANumber;
        else if (row.reading < 0 || row.reading > MaxReading)
            row.fate = ImportRow::Fate::OutOfRange;
        const QByteArrayView oldFinal = fields.at(columns_.oldFinal);
        if (row.fate == ImportRow::Fate::Added && !oldFinal.isEmpty()) {
            // The export keeps a number that begins like a formula text with
            // an apostrophe.
            QString number = text(fields.at(columns_.number)).simplified();
            if (number.size() > 1 && number.front() == u'\''
                && QStringLiteral("=+-@").contains(number[1]))
                number.remove(0, 1);
            MeterChange change { row.date, 0, row.reading, number };
            if (numberOf(oldFinal, decimal_, change.oldFinal) && change.oldFinal >= 0
                && change.oldFinal <= MaxReading)
                row.change = change;
            else
                row.fate = ImportRow::Fate::ChangeNotANumber;
        }
        const bool valid = row.fate == ImportRow::Fate::Added;
        // Texts only for the rows that are kept, made at the end: in a file
        // in time order each reading of a day is its last one for a moment.
        if (ImportRow *kept = addRow(std::move(row), seconds, valid)) {
            const size_t at = size_t(kept - out_.rows.data());
            if (raw_.size() <= at)
                raw_.resize(at + 1);
            copyInto(raw_[at].first, dateField);
            copyInto(raw_[at].second, readingField);
        }
    }
    for (size_t i = 0; i < raw_.size() && i < out_.rows.size(); ++i) {
        out_.rows[i].dateText = text(raw_[i].first);
        out_.rows[i].readingText = text(raw_[i].second);
    }
    raw_ = {};
    return !reader.stopped();
}

ImportParse Parser::run()
{
    if (!device_.seek(0)) {
        out_.error = QStringLiteral("Die Datei kann nicht gelesen werden.");
        return out_;
    }
    sniffed_ = sniff(device_.peek(4096));
    if (!firstPass() || (out_.error.isEmpty() && !secondPass())
        || (out_.error.isEmpty() && !thirdPass())) {
        out_ = {};
        out_.cancelled = true;
        return out_;
    }
    if (!out_.error.isEmpty()) {
        out_.rows.clear();
        return out_;
    }
    // A day's last reading took the place of its first one.
    if (!days_.isEmpty())
        std::stable_sort(out_.rows.begin(), out_.rows.end(),
            [](const ImportRow &a, const ImportRow &b) { return a.line < b.line; });
    for (const Day &day : std::as_const(days_)) {
        if (day.rows > 1) {
            ++out_.severalDays;
            out_.severalRows += day.rows;
        }
    }
    out_.rows.shrink_to_fit();
    return out_;
}

} // namespace

ImportParse parseImport(QIODevice &device, const ImportProgress &progress)
{
    return Parser(device, progress).run();
}

ImportParse parseImport(const QByteArray &bytes, const ImportProgress &progress)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    return parseImport(buffer, progress);
}

MeterChanges attachMeterChanges(std::vector<ImportRow> &rows, const MeterChanges &changes)
{
    MeterChanges unplaced;
    for (const MeterChange &c : changes) {
        const auto row = std::find_if(rows.begin(), rows.end(), [&c](const ImportRow &r) {
            return r.fate == ImportRow::Fate::Added && r.date == c.date
                && formatValue(r.reading, u',') == formatValue(c.newFirst, u',');
        });
        if (row == rows.end())
            unplaced.push_back(c);
        else if (!row->change)
            row->change = c;
    }
    return unplaced;
}

// --- The plan --------------------------------------------------------------

namespace {

QString readingText(const QDate &day, long double kwh)
{
    return dateToStr(day, FormatSettings::german()) + QStringLiteral(": ") + formatValue(kwh, u',');
}

bool sameChange(const MeterChange &a, const MeterChange &b)
{
    return a.date == b.date && formatValue(a.oldFinal, u',') == formatValue(b.oldFinal, u',')
        && formatValue(a.newFirst, u',') == formatValue(b.newFirst, u',')
        && (a.number.trimmed() == b.number.trimmed() || a.number.trimmed().isEmpty());
}

} // namespace

void planImport(std::vector<ImportRow> &rows, const ImportTarget &target)
{
    using Fate = ImportRow::Fate;
    std::vector<QDate> starts;
    for (const MeterChange &c : target.changes)
        starts.push_back(c.date);
    std::sort(starts.begin(), starts.end());
    // The meter of a day: how many meters started on it or before.
    const auto meterOf = [&starts](const QDate &day) {
        return std::upper_bound(starts.cbegin(), starts.cend(), day) - starts.cbegin();
    };
    const auto addStart = [&starts](const QDate &day) {
        if (!std::binary_search(starts.begin(), starts.end(), day))
            starts.insert(std::upper_bound(starts.begin(), starts.end(), day), day);
    };
    const auto clashOf = [](const std::pair<const QDate, long double> &reading) {
        return readingText(reading.first, reading.second);
    };
    std::map<QDate, long double> logged;
    for (const Reading &r : target.log)
        logged.emplace(r.date, r.kwh);
    const QDate lastLogged = logged.empty() ? QDate() : logged.rbegin()->first;
    std::map<QDate, long double> known = logged; // and the rows accepted so far

    std::vector<size_t> order;
    for (size_t i = 0; i < rows.size(); ++i) {
        // A replacement found by an earlier plan is found again, or not.
        if (rows[i].found)
            rows[i].change.reset();
        rows[i].found = false;
        rows[i].afterToday = false;
        if (rows[i].fate == Fate::Added)
            order.push_back(i);
    }
    std::stable_sort(order.begin(), order.end(),
        [&rows](size_t a, size_t b) { return rows[a].date < rows[b].date; });
    for (size_t k = 0; k < order.size(); ++k) {
        ImportRow &row = rows[order[k]];
        if (const auto it = logged.find(row.date); it != logged.end()) {
            row.fate = Fate::DateInLog;
            row.clash = clashOf(*it);
            continue;
        }
        if (known.contains(row.date)) {
            row.fate = Fate::DateTwiceInFile;
            continue;
        }
        // Meters run in date order, so the neighbours on either side are the
        // nearest of the row's own meter, if they are on it at all.
        const auto after = known.upper_bound(row.date);
        const auto before = after == known.begin() ? known.end() : std::prev(after);
        const auto onMeter = [&](auto it, const QDate &day) {
            return it != known.end() && meterOf(it->first) == meterOf(day);
        };
        if (row.change) {
            const auto recorded = std::find_if(target.changes.begin(), target.changes.end(),
                [&row](const MeterChange &c) { return c.date == row.date; });
            if (recorded != target.changes.end() && !sameChange(*recorded, *row.change)) {
                row.fate = Fate::ChangeClash;
                row.clash = formatValue(recorded->oldFinal, u',');
                continue;
            }
            if (recorded == target.changes.end() && lastLogged.isValid() && row.date < lastLogged) {
                row.fate = Fate::ChangeInsideLog;
                row.clash = dateToStr(lastLogged, FormatSettings::german());
                continue;
            }
            // The old meter's last reading follows its readings before.
            if (onMeter(before, row.date.addDays(-1)) && row.change->oldFinal < before->second) {
                row.fate = Fate::ChangeBelowOld;
                row.clash = clashOf(*before);
                continue;
            }
            const bool started = std::binary_search(starts.begin(), starts.end(), row.date);
            addStart(row.date);
            if (onMeter(after, row.date) && row.reading > after->second) {
                row.fate = Fate::OutsideMeter;
                row.clash = clashOf(*after);
                if (!started)
                    starts.erase(std::find(starts.begin(), starts.end(), row.date));
                continue;
            }
            known.emplace(row.date, row.reading);
            continue;
        }
        const bool lower = onMeter(before, row.date) && row.reading < before->second;
        const bool higher = !lower && onMeter(after, row.date) && row.reading > after->second;
        if (lower && target.findChanges && (!lastLogged.isValid() || lastLogged < row.date)) {
            // A new meter: the next reading rises from this one and stays
            // below the old meter's.
            size_t next = k + 1;
            while (next < order.size() && rows[order[next]].date == row.date)
                ++next;
            const ImportRow *following = next < order.size() ? &rows[order[next]] : nullptr;
            if (following && !following->change && following->reading > row.reading
                && following->reading < before->second) {
                row.change = MeterChange { row.date, before->second, row.reading, {} };
                row.found = true;
                row.clash = clashOf(*before);
                addStart(row.date);
                known.emplace(row.date, row.reading);
                continue;
            }
        }
        if (lower || higher) {
            row.fate = Fate::OutsideMeter;
            row.clash = clashOf(lower ? *before : *after);
        } else {
            known.emplace(row.date, row.reading);
        }
    }
    if (target.today.isValid())
        for (ImportRow &row : rows)
            row.afterToday = row.fate == Fate::Added && row.date > target.today;
}

void planImport(std::vector<ImportRow> &rows, const std::vector<Reading> &log,
    const std::vector<QDate> &meterStarts)
{
    ImportTarget target { log, {}, {}, false };
    for (const QDate &day : meterStarts)
        target.changes.push_back({ day, 0, 0, {} });
    planImport(rows, target);
}

QString fateText(const ImportRow &row)
{
    const QString skipped = QStringLiteral("übersprungen: ");
    // The clash is "day: value".
    const QString day = row.clash.section(QStringLiteral(": "), 0, 0);
    const QString value = row.clash.section(QStringLiteral(": "), 1);
    switch (row.fate) {
    case ImportRow::Fate::Added: {
        QString text = QStringLiteral("wird übernommen");
        if (row.found)
            text = QStringLiteral("Zählerwechsel: erster Stand eines neuen Zählers; als letzter "
                                  "des alten gilt der Stand vom %1 (%2)")
                       .arg(day, value);
        else if (row.change)
            text += QStringLiteral(" mit Zählerwechsel (letzter Stand des alten Zählers %1)")
                        .arg(formatValue(row.change->oldFinal, u','));
        if (row.afterToday)
            text = QStringLiteral("Datum liegt nach heute: ") + text
                + QStringLiteral(", wenn Sie es bestätigen");
        return text;
    }
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
        // A reading before the row's day was higher.
        const bool before = QDate::fromString(day, QStringLiteral("dd.MM.yyyy")) < row.date;
        return skipped
            + QStringLiteral("%1 als der Stand vom %2 (%3)")
                  .arg(before ? QStringLiteral("kleiner") : QStringLiteral("größer"), day, value);
    }
    case ImportRow::Fate::ChangeNotANumber:
        return skipped + QStringLiteral("der letzte Stand des alten Zählers ist keine Zahl");
    case ImportRow::Fate::ChangeClash:
        return skipped
            + QStringLiteral("an diesem Tag ist schon ein anderer Zählerwechsel eingetragen "
                             "(letzter Stand des alten Zählers %1)")
                  .arg(row.clash);
    case ImportRow::Fate::ChangeInsideLog:
        return skipped
            + QStringLiteral("Zählerwechsel vor dem letzten Stand der Tabelle (%1); tragen Sie "
                             "ihn mit „Zählerwechsel…“ ein")
                  .arg(row.clash);
    case ImportRow::Fate::ChangeBelowOld:
        return skipped
            + QStringLiteral("letzter Stand des alten Zählers (%1) kleiner als der Stand vom %2 "
                             "(%3)")
                  .arg(formatValue(row.change ? row.change->oldFinal : 0, u','), day, value);
    }
    return {};
}

} // namespace voltaris
