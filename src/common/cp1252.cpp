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

QByteArray toWindows1252(QStringView text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    out.truncate(writeWindows1252(out.data(), text) - out.constData());
    return out;
}

// Through a pointer, into room made beforehand: a file is written a cell at a
// time, hundreds of thousands of them.
char *writeWindows1252(char *out, QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            *out++ = char(c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size()
            && QChar::isLowSurrogate(text[i + 1].unicode())) {
            // One character outside the code page, one "?".
            *out++ = '?';
            ++i;
        } else {
            *out++ = QChar::isSurrogate(c) ? '?' : encode(c);
        }
    }
    return out;
}

qsizetype windows1252Size(QStringView text)
{
    qsizetype n = text.size();
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i].isHighSurrogate() && text[i + 1].isLowSurrogate()) {
            --n;
            ++i;
        }
    }
    return n;
}

QString outsideWindows1252(QStringView text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        qsizetype n = 1;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size()
            && QChar::isLowSurrogate(text[i + 1].unicode()))
            n = 2;
        else if (c == u'?' || (!QChar::isSurrogate(c) && encode(c) != '?'))
            continue;
        // A lone half of a pair has no face of its own.
        const QString one = QChar::isSurrogate(c) && n == 1 ? QString(QChar::ReplacementCharacter)
                                                            : text.mid(i, n).toString();
        if (!out.contains(one))
            out += one;
        i += n - 1;
    }
    return out;
}

QString fromWindows1252(QByteArrayView bytes)
{
    // Most texts have no byte of 0x80 to 0x9F, where the code page and
    // Latin-1 differ: those convert in one go.
    QString out = QString::fromLatin1(bytes);
    unsigned char any = 0;
    for (const char c : bytes)
        any |= static_cast<unsigned char>(c);
    if (any & 0x80) {
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const auto b = static_cast<unsigned char>(bytes[i]);
            if (b >= 0x80 && b < 0xA0)
                out[i] = QChar(HighBlock[b - 0x80]);
        }
    }
    return out;
}

} // namespace voltaris
