#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace voltaris {

// Windows-1252 bytes of a text; characters the code page cannot hold become
// "?". The five undefined bytes 0x81, 0x8D, 0x8F, 0x90, 0x9D are not produced.
QByteArray toWindows1252(QStringView text);
// The same bytes written at `out`, which has room for text.size() bytes;
// returns the end of what it wrote.
char *writeWindows1252(char *out, QStringView text);
// How many bytes toWindows1252 gives.
qsizetype windows1252Size(QStringView text);
// The characters of `text` that the code page cannot hold (those that
// become "?"), each once, in the order they first come.
QString outsideWindows1252(QStringView text);
// Text of Windows-1252 bytes; the five undefined bytes map to U+0081 etc.
QString fromWindows1252(QByteArrayView bytes);

} // namespace voltaris
