#include "core/d0.h"

#include <QList>
#include <optional>

namespace voltaris {

namespace {

const QString Truncated = QStringLiteral("Das Telegramm ist unvollständig.");
const QString BadBcc = QStringLiteral("Die Prüfsumme (BCC) des Telegramms stimmt nicht.");
const QString TooLarge = QStringLiteral("Das Telegramm ist zu groß für einen Zähler.");
const QString BadIdentification
    = QStringLiteral("Das Telegramm ist beschädigt: seine erste Zeile ist keine Kennung.");
const QString BadLine = QStringLiteral("Das Telegramm ist beschädigt: Zeile %1 ist unlesbar.");
const QString Contradicting
    = QStringLiteral("Das Telegramm nennt denselben Zählerstand zweimal mit verschiedenen Werten.");

constexpr char Stx = 0x02, Etx = 0x03;

bool isPrintable(char c)
{
    return c >= 0x20 && c <= 0x7E;
}

// A number of the OBIS code: 0 to 255. Letters name the manufacturer's own
// codes (C.1.0, F.F), which are never energy: none.
std::optional<int> obisPart(QByteArrayView text)
{
    if (text.isEmpty() || text.size() > 3)
        return std::nullopt;
    int v = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v <= 255 ? std::optional<int>(v) : std::nullopt;
}

// "1-0:1.8.0*255", "1-0:1.8.0", "1.8.0", "1.8.0*255" (also with & for *).
std::optional<Obis> obisOf(QByteArrayView id)
{
    Obis o;
    if (const qsizetype colon = id.indexOf(':'); colon >= 0) {
        const QByteArrayView medium = id.first(colon);
        const qsizetype dash = medium.indexOf('-');
        const auto a = obisPart(dash < 0 ? medium : medium.first(dash));
        const auto b = dash < 0 ? std::optional<int>(0) : obisPart(medium.sliced(dash + 1));
        if (!a || !b)
            return std::nullopt;
        o.a = *a;
        o.b = *b;
        id = id.sliced(colon + 1);
    }
    qsizetype star = id.indexOf('*');
    if (star < 0)
        star = id.indexOf('&');
    if (star >= 0) {
        const auto f = obisPart(id.sliced(star + 1));
        if (!f)
            return std::nullopt;
        o.f = *f;
        id = id.first(star);
    }
    const QList<QByteArrayView> parts = [&id] {
        QList<QByteArrayView> out;
        qsizetype from = 0;
        for (qsizetype i = 0; i <= id.size(); ++i)
            if (i == id.size() || id[i] == '.') {
                out << id.sliced(from, i - from);
                from = i + 1;
            }
        return out;
    }();
    if (parts.size() != 3)
        return std::nullopt;
    const auto c = obisPart(parts[0]), d = obisPart(parts[1]), e = obisPart(parts[2]);
    if (!c || !d || !e)
        return std::nullopt;
    o.c = *c;
    o.d = *d;
    o.e = *e;
    return o;
}

// "012345.6789*kWh" or "12345678*Wh" as a register; none for anything
// else (a text, a time, power).
std::optional<MeterRegister> energyOf(const Obis &obis, QByteArrayView value)
{
    const qsizetype star = value.indexOf('*');
    if (star < 0)
        return std::nullopt;
    const QByteArrayView number = value.first(star);
    const QByteArrayView unit = value.sliced(star + 1);
    const bool kWh = unit.compare(QByteArrayView("kWh"), Qt::CaseInsensitive) == 0;
    if (!kWh && unit.compare(QByteArrayView("Wh"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    // Up to 18 digits are exact in a long double's 64-bit mantissa.
    long double v = 0;
    int digits = 0, decimals = -1;
    for (const char c : number) {
        if (c == '.' && decimals < 0) {
            decimals = 0;
            continue;
        }
        if (c < '0' || c > '9' || ++digits > 18)
            return std::nullopt;
        v = v * 10 + (c - '0');
        if (decimals >= 0)
            ++decimals;
    }
    if (digits == 0)
        return std::nullopt;
    if (decimals < 0)
        decimals = 0;
    if (!kWh)
        decimals += 3;
    for (int i = 0; i < decimals; ++i)
        v /= 10;
    return MeterRegister { obis, v, decimals, QString::fromLatin1(unit), false };
}

// The data sets of one line: ID(value)(value)…, one after the other.
bool takeLine(QByteArrayView line, std::vector<MeterRegister> &registers, QString &problem)
{
    qsizetype pos = 0;
    while (pos < line.size()) {
        const qsizetype open = line.indexOf('(', pos);
        if (open < 0)
            return false;
        const QByteArrayView id = line.sliced(pos, open - pos);
        QList<QByteArrayView> values;
        pos = open;
        while (pos < line.size() && line[pos] == '(') {
            const qsizetype close = line.indexOf(')', pos);
            if (close < 0)
                return false;
            const QByteArrayView value = line.sliced(pos + 1, close - pos - 1);
            if (value.contains('('))
                return false;
            values << value;
            pos = close + 1;
        }
        if (id.contains(')'))
            return false;
        // A data set of several values is a stored profile, never the reading now.
        const std::optional<Obis> obis = obisOf(id);
        if (!obis || values.size() != 1 || (obis->f >= 0 && obis->f != 255)
            || (obis->a >= 0 && obis->a != 1))
            continue;
        const std::optional<MeterRegister> r = energyOf(*obis, values.front());
        if (!r)
            continue;
        bool same = false;
        for (const MeterRegister &known : registers) {
            // A code without its channel is the same register as one with it.
            if (known.obis.shortText() != r->obis.shortText()
                || (known.obis.b != r->obis.b && known.obis.b >= 0 && r->obis.b >= 0))
                continue;
            if (known.kWh != r->kWh) {
                problem = Contradicting;
                return false;
            }
            same = true;
        }
        if (!same)
            registers.push_back(*r);
    }
    return true;
}

} // namespace

char d0Bcc(QByteArrayView bytes)
{
    char bcc = 0;
    for (const char c : bytes)
        bcc ^= c;
    return bcc;
}

TelegramRead parseD0(QByteArrayView t)
{
    TelegramRead read { MeterProtocol::D0, {}, {} };
    const auto fail = [&read](const QString &why) {
        read.registers.clear();
        read.problem = why;
        return read;
    };
    if (t.size() > D0MaxTelegram)
        return fail(TooLarge);
    // The identification: "/", three letters of the maker, the speed's
    // character, the type; up to CR LF.
    const qsizetype idEnd = t.indexOf(QByteArrayView("\r\n"));
    if (!t.startsWith('/') || idEnd < 0)
        return fail(Truncated);
    const QByteArrayView id = t.first(idEnd);
    if (id.size() < 5 || id.size() > D0MaxLine)
        return fail(BadIdentification);
    for (qsizetype i = 1; i < id.size(); ++i)
        if (!isPrintable(id[i]) || (i <= 3 && !QChar::isLetter(char16_t(id[i]))))
            return fail(BadIdentification);

    QByteArrayView data = t.sliced(idEnd + 2);
    if (data.startsWith(QByteArrayView("\r\n")))
        data = data.sliced(2);
    if (data.startsWith(Stx)) {
        // STX … ! CR LF ETX BCC: the check covers what follows STX up to ETX.
        if (data.size() < 3 || data[data.size() - 2] != Etx)
            return fail(Truncated);
        if (d0Bcc(data.sliced(1, data.size() - 2)) != data.back())
            return fail(BadBcc);
        data = data.sliced(1, data.size() - 3);
    }
    if (!data.endsWith(QByteArrayView("!\r\n")))
        return fail(Truncated);
    data.chop(3);

    int lineNumber = 1;
    qsizetype from = 0;
    while (from < data.size()) {
        qsizetype end = data.indexOf(QByteArrayView("\r\n"), from);
        if (end < 0)
            end = data.size();
        const QByteArrayView line = data.sliced(from, end - from);
        ++lineNumber;
        from = end + 2;
        if (line.size() > D0MaxLine)
            return fail(BadLine.arg(lineNumber));
        for (const char c : line)
            if (!isPrintable(c))
                return fail(BadLine.arg(lineNumber));
        if (line.isEmpty())
            continue;
        QString problem;
        if (!takeLine(line, read.registers, problem))
            return fail(problem.isEmpty() ? BadLine.arg(lineNumber) : problem);
    }
    return read;
}

} // namespace voltaris
