#include "core/readhead.h"

#include "common/cp1252.h"
#include "core/d0.h"
#include "core/sml.h"

#include <QStringList>
#include <algorithm>

namespace voltaris {

namespace {

const QString Header = QStringLiteral("Art;Wert");
const QString PortKey = QStringLiteral("Anschluss");
const QString SpeedKey = QStringLiteral("Geschwindigkeit");
const QString FramingKey = QStringLiteral("Übertragung");

const QString Incomplete = QStringLiteral("Das Telegramm ist unvollständig.");
const QString TooLong = QStringLiteral("Das Telegramm ist zu groß für einen Zähler.");

// The maker's letters of a D0 identification: ASCII, whatever a byte above
// 127 would be in some code page.
bool isLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

const std::vector<int> &readHeadSpeeds()
{
    static const std::vector<int> speeds { 300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600,
        115200 };
    return speeds;
}

QString framingName(Framing framing)
{
    return framing == Framing::Bits7E1 ? QStringLiteral("7E1") : QStringLiteral("8N1");
}

QByteArray readHeadFileBytes(const ReadHeadSettings &s)
{
    const QString crlf = QStringLiteral("\r\n");
    return toWindows1252(Header + crlf + PortKey + QLatin1Char(';') + s.port + crlf + SpeedKey
        + QLatin1Char(';') + QString::number(s.baud) + crlf + FramingKey + QLatin1Char(';')
        + framingName(s.framing) + crlf);
}

SideFileRead<ReadHeadSettings> parseReadHead(const QByteArray &bytes)
{
    SideFileRead<ReadHeadSettings> parse;
    ReadHeadSettings &s = parse.value;
    parse.badLine = readSideFileLines(bytes, Header, [&s](const QString &line) {
        const QString key = line.section(QLatin1Char(';'), 0, 0).trimmed();
        // The port's path is the rest of the line, a ";" in it included.
        const QString value = line.section(QLatin1Char(';'), 1).trimmed();
        if (key == PortKey) {
            s.port = value;
            return true;
        }
        if (key == SpeedKey) {
            bool ok = false;
            const int baud = value.toInt(&ok);
            const std::vector<int> &speeds = readHeadSpeeds();
            if (!ok || std::find(speeds.begin(), speeds.end(), baud) == speeds.end())
                return false;
            s.baud = baud;
            return true;
        }
        if (key == FramingKey) {
            if (value == framingName(Framing::Bits8N1))
                s.framing = Framing::Bits8N1;
            else if (value == framingName(Framing::Bits7E1))
                s.framing = Framing::Bits7E1;
            else
                return false;
            return true;
        }
        return false;
    });
    return parse;
}

void TelegramFinder::damage(const QString &why)
{
    ++damaged_;
    lastProblem_ = why;
}

std::vector<TelegramRead> TelegramFinder::feed(QByteArrayView bytes)
{
    std::vector<TelegramRead> out;
    if (bytes.isEmpty())
        return out;
    sawBytes_ = true;
    buffer_.append(bytes);
    const QByteArrayView smlStart(SmlStart);
    for (;;) {
        // The earliest start of either kind; D0's "/" followed by a letter.
        qsizetype sml = buffer_.indexOf(smlStart);
        qsizetype d0 = -1;
        for (qsizetype from = 0; (from = buffer_.indexOf('/', from)) >= 0; ++from) {
            if (from + 1 >= buffer_.size() || isLetter(buffer_[from + 1])) {
                d0 = from;
                break;
            }
        }
        if (sml < 0 && d0 < 0) {
            // What may be the beginning of a start stays.
            const qsizetype keep = std::min<qsizetype>(buffer_.size(), smlStart.size() - 1);
            buffer_.remove(0, buffer_.size() - keep);
            return out;
        }
        const bool isSml = sml >= 0 && (d0 < 0 || sml < d0);
        buffer_.remove(0, isSml ? sml : d0);
        if (!(isSml ? takeSml(out) : takeD0(out)))
            return out;
    }
}

bool TelegramFinder::takeSml(std::vector<TelegramRead> &out)
{
    const QByteArrayView esc(SmlEscape);
    // Escapes stand on blocks of four from the start: the data is padded.
    for (qsizetype pos = 8; pos + 4 <= buffer_.size(); pos += 4) {
        if (pos >= SmlMaxFrame) {
            damage(TooLong);
            buffer_.remove(0, 4); // look for the next start
            return true;
        }
        if (QByteArrayView(buffer_).sliced(pos, 4) != esc)
            continue;
        if (pos + 8 > buffer_.size())
            return false;
        const QByteArrayView next = QByteArrayView(buffer_).sliced(pos + 4, 4);
        if (next == esc) {
            pos += 4; // an escape inside the data
            continue;
        }
        if (uint8_t(next[0]) == 0x1A) {
            const TelegramRead read = parseSml(QByteArrayView(buffer_).first(pos + 8));
            if (!read.ok())
                damage(read.problem);
            out.push_back(read);
            buffer_.remove(0, pos + 8);
            return true;
        }
        // A new start, or an escape SML does not know: what came so far
        // is no telegram.
        damage(Incomplete);
        buffer_.remove(0, next == QByteArrayView("\x01\x01\x01\x01") ? pos : 4);
        return true;
    }
    return false;
}

bool TelegramFinder::takeD0(std::vector<TelegramRead> &out)
{
    const QByteArrayView b(buffer_);
    // The end "!" CR LF; or a new identification first, when this one broke off.
    qsizetype end = -1;
    for (qsizetype i = 1; i < b.size(); ++i) {
        if (i >= D0MaxTelegram) {
            damage(TooLong);
            buffer_.remove(0, 1);
            return true;
        }
        // "/" and three letters: the next identification, where a telegram
        // broke off.
        if (b[i] == '/' && b.size() - i >= 4 && isLetter(b[i + 1]) && isLetter(b[i + 2])
            && isLetter(b[i + 3])) {
            damage(Incomplete);
            buffer_.remove(0, i);
            return true;
        }
        if (b[i] == '!') {
            if (b.size() - i < 3)
                return false;
            if (b.sliced(i).startsWith("!\r\n")) {
                end = i + 3;
                break;
            }
        }
        // Binary bytes: the "/" was part of something else (an SML frame
        // the head came upon in its middle), not a telegram's start.
        if (!(b[i] >= 0x20 && b[i] <= 0x7E) && b[i] != '\r' && b[i] != '\n' && b[i] != 0x02) {
            buffer_.remove(0, 1);
            return true;
        }
    }
    if (end < 0)
        return false;
    // After STX at the data's start, ETX and the block check follow.
    const qsizetype idEnd = b.indexOf(QByteArrayView("\r\n"));
    qsizetype dataStart = idEnd + 2;
    if (b.sliced(dataStart).startsWith("\r\n"))
        dataStart += 2;
    if (dataStart < end && b[dataStart] == 0x02) {
        if (end + 2 > b.size())
            return false;
        end += 2;
    }
    const TelegramRead read = parseD0(b.first(end));
    if (!read.ok())
        damage(read.problem);
    out.push_back(read);
    buffer_.remove(0, end);
    return true;
}

Obis readHeadRegister(const Meter *shown, const Meters &meters)
{
    const auto has = [&meters](MeterKind kind) {
        return std::any_of(meters.further.begin(), meters.further.end(),
            [kind](const Meter &m) { return m.kind == kind; });
    };
    Obis o { 1, 0, 1, 8, 0, 255 };
    if (!shown) {
        if (has(MeterKind::LowTariff))
            o.e = 1;
    } else if (shown->kind == MeterKind::LowTariff) {
        o.e = 2;
    } else if (shown->kind == MeterKind::FeedIn) {
        o.c = 2;
    }
    return o;
}

const MeterRegister *findRegister(const std::vector<MeterRegister> &registers, const Obis &wanted)
{
    for (const MeterRegister &r : registers)
        if (r.obis.c == wanted.c && r.obis.d == wanted.d && r.obis.e == wanted.e
            && (r.obis.a < 0 || r.obis.a == wanted.a))
            return &r;
    return nullptr;
}

QString registerName(const Obis &obis)
{
    QString what;
    if (obis.c == 1 && obis.d == 8)
        what = obis.e == 0 ? QStringLiteral("Bezug")
            : obis.e == 1  ? QStringLiteral("Bezug HT")
            : obis.e == 2  ? QStringLiteral("Bezug NT")
                           : QStringLiteral("Bezug Tarif %1").arg(obis.e);
    else if (obis.c == 2 && obis.d == 8)
        what = obis.e == 0 ? QStringLiteral("Einspeisung")
                           : QStringLiteral("Einspeisung Tarif %1").arg(obis.e);
    return what.isEmpty() ? obis.shortText()
                          : QStringLiteral("%1 (%2)").arg(obis.shortText(), what);
}

QString registerValueText(const MeterRegister &r, QChar decimalSeparator)
{
    QString text = QString::number(double(r.kWh), 'f', std::min(r.decimals, 6));
    text.replace(QLatin1Char('.'), decimalSeparator);
    return text + QStringLiteral(" kWh");
}

} // namespace voltaris
