// A small encoder of meter telegrams, for the tests of the read head: SML
// frames (OpenRes, GetList.Res with the registers given, CloseRes) and D0
// texts, made as a meter makes them, with the faults a test asks for.
#pragma once

#include "core/d0.h"
#include "core/sml.h"

#include <QByteArray>
#include <QStringList>
#include <vector>

namespace voltaris::test {

// One entry of the value list: an OBIS name, a unit (30: Wh, 27: W; 0:
// none), a scaler and an integer value sent in `bytes` bytes (0: as few as
// it takes); or an octet string as the value.
struct SmlEntry {
    QByteArray obis; // six bytes
    int unit = 30;
    int scaler = -1;
    qint64 value = 0;
    bool isSigned = false;
    int bytes = 0;
    QByteArray octets = {}; // the value instead, when not empty
};

inline QByteArray obis(int a, int b, int c, int d, int e, int f = 255)
{
    QByteArray out;
    for (const int part : { a, b, c, d, e, f })
        out += char(part);
    return out;
}

// A type-length field of type (0 octets, 5 int, 6 uint, 7 list) whose
// length is `n` (items of a list; value bytes otherwise, to which the
// type-length bytes are added as SML counts them). `minBytes` forces a
// longer type-length field than needed.
inline QByteArray smlTl(int type, qsizetype n, int minBytes = 1)
{
    int k = minBytes;
    const auto fits = [&](int tl) {
        const qsizetype len = type == 7 ? n : n + tl;
        return len < (qsizetype(1) << (4 * tl));
    };
    while (!fits(k))
        ++k;
    qsizetype len = type == 7 ? n : n + k;
    QByteArray out(k, 0);
    for (int i = k - 1; i >= 0; --i) {
        out[i] = char(len & 0x0F);
        len >>= 4;
    }
    for (int i = 0; i < k; ++i)
        out[i] = char(out[i] | (i + 1 < k ? 0x80 : 0) | (i == 0 ? type << 4 : 0));
    return out;
}

inline QByteArray smlOctets(const QByteArray &b, int minTl = 1)
{
    return smlTl(0, b.size(), minTl) + b;
}
inline QByteArray smlAbsent()
{
    return QByteArray(1, 0x01);
}
inline QByteArray smlUint(quint64 v, int bytes)
{
    QByteArray out = smlTl(6, bytes);
    for (int i = bytes - 1; i >= 0; --i)
        out += char((v >> (8 * i)) & 0xFF);
    return out;
}
inline QByteArray smlInt(qint64 v, int bytes)
{
    QByteArray out = smlUint(quint64(v), bytes);
    out[0] = char((out[0] & 0x0F) | 0x50);
    return out;
}
inline QByteArray smlList(const QList<QByteArray> &items)
{
    QByteArray out = smlTl(7, items.size());
    for (const QByteArray &i : items)
        out += i;
    return out;
}

inline int bytesFor(qint64 v, bool isSigned)
{
    for (int n = 1; n < 8; ++n) {
        const qint64 limit = qint64(1) << (8 * n - (isSigned ? 1 : 0));
        if (v < limit && v >= (isSigned ? -limit : 0))
            return n;
    }
    return 8;
}

// A message: transactionId, groupNo, abortOnError, body, its CRC, end.
inline QByteArray smlMessage(quint32 tag, const QByteArray &body, char id)
{
    QByteArray m = QByteArray(1, char(0x76)) + smlOctets(QByteArray(4, id)) + smlUint(0, 1)
        + smlUint(0, 1) + smlList({ smlUint(tag, 4), body });
    const uint16_t crc = crc16X25(m);
    return m + smlUint(uint16_t(crc << 8 | crc >> 8), 2) + QByteArray(1, 0);
}

enum class SmlCrc { X25, Kermit, KermitHighFirst, Broken };

struct SmlOptions {
    SmlCrc crc = SmlCrc::X25;
    // A value list of more than 15 entries, or a long signature, needs a
    // type-length field of two bytes: both are there when set.
    bool longFields = false;
    // An octet string of eight 0x1B (the transport then escapes the
    // escape inside the data).
    bool escapeInData = false;
};

inline QByteArray smlFrame(const std::vector<SmlEntry> &entries, const SmlOptions &o = {})
{
    const QByteArray serverId = QByteArray::fromHex("0a01454d480000a1b2c3");
    QList<QByteArray> list;
    if (o.escapeInData)
        list << smlList({ smlOctets(obis(129, 129, 199, 130, 3)), smlAbsent(), smlAbsent(),
            smlAbsent(), smlAbsent(), smlOctets(QByteArray(8, 0x1B)), smlAbsent() });
    for (const SmlEntry &e : entries) {
        const int n = e.bytes ? e.bytes : bytesFor(e.value, e.isSigned);
        const QByteArray value = !e.octets.isEmpty() ? smlOctets(e.octets)
            : e.isSigned                             ? smlInt(e.value, n)
                                                     : smlUint(quint64(e.value), n);
        list << smlList({ smlOctets(e.obis), smlUint(0x0182, 3), smlAbsent(),
            e.unit ? smlUint(quint64(e.unit), 1) : smlAbsent(), smlInt(e.scaler, 1), value,
            smlAbsent() });
    }
    if (o.longFields)
        while (list.size() < 17)
            list << smlList({ smlOctets(obis(1, 0, 96, 50, 1)), smlAbsent(), smlAbsent(),
                smlAbsent(), smlAbsent(), smlOctets("EMH"), smlAbsent() });
    const QByteArray signature = o.longFields ? smlOctets(QByteArray(20, 'S'), 2) : smlAbsent();
    QByteArray data = smlMessage(0x0101,
        smlList({ smlAbsent(), smlAbsent(), smlOctets("file"), smlOctets(serverId), smlAbsent(),
            smlAbsent() }),
        'a');
    data += smlMessage(0x0701,
        smlList({ smlAbsent(), smlOctets(serverId), smlAbsent(), smlAbsent(), smlList(list),
            signature, smlAbsent() }),
        'b');
    data += smlMessage(0x0201, smlList({ smlAbsent() }), 'c');
    const int padding = int((4 - data.size() % 4) % 4);
    data += QByteArray(padding, 0);

    QByteArray frame(SmlStart, 8);
    const QByteArray esc(SmlEscape, 4);
    for (qsizetype i = 0; i < data.size(); i += 4) {
        const QByteArray block = data.mid(i, 4);
        frame += block;
        if (block == esc)
            frame += esc;
    }
    frame += esc + char(0x1A) + char(padding);
    const QByteArrayView covered(frame);
    uint16_t crc = o.crc == SmlCrc::X25 || o.crc == SmlCrc::Broken ? crc16X25(covered)
                                                                   : crc16Kermit(covered);
    if (o.crc == SmlCrc::Broken)
        crc ^= 0x0100;
    if (o.crc == SmlCrc::KermitHighFirst)
        return frame + char(crc >> 8) + char(crc & 0xFF);
    return frame + char(crc & 0xFF) + char(crc >> 8);
}

// A D0 telegram of these data lines; with STX, ETX and its block check
// when `stx`.
inline QByteArray d0Telegram(const QStringList &lines, bool stx = false,
    const QByteArray &identification = "/ESY5Q3DA1024 V3.04")
{
    QByteArray data;
    for (const QString &l : lines)
        data += l.toLatin1() + "\r\n";
    data += "!\r\n";
    if (!stx)
        return identification + "\r\n\r\n" + data;
    data += char(0x03);
    return identification + "\r\n" + char(0x02) + data + d0Bcc(data);
}

} // namespace voltaris::test
