#include "common/cp1252.h"

namespace voltaris {

namespace {

// Characters of the bytes 0x80 to 0x9F; the undefined bytes map to the C1
// control of the same number.
constexpr char16_t HighBlock[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 0x98
};

bool isUndefinedByte(int b)
{
    return b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
}

char encode(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return char(cp);
    for (int i = 0; i < 32; ++i) {
        if (HighBlock[i] == cp && !isUndefinedByte(0x80 + i))
            return char(0x80 + i);
    }
    return '?';
}

} // namespace

QByteArray toWindows1252(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            // One character outside the code page, one "?".
            out.append('?');
            ++i;
            continue;
        }
        out.append(c.isSurrogate() ? '?' : encode(c.unicode()));
    }
    return out;
}

QString fromWindows1252(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        out.append(b >= 0x80 && b < 0xA0 ? QChar(HighBlock[b - 0x80]) : QChar(b));
    }
    return out;
}

} // namespace voltaris
