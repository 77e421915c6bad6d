#pragma once

#include <QByteArray>
#include <QString>

namespace voltaris {

// Windows-1252 bytes of a text; characters the code page cannot hold become
// "?". The five undefined bytes 0x81, 0x8D, 0x8F, 0x90, 0x9D are not produced.
QByteArray toWindows1252(const QString &text);
// Text of Windows-1252 bytes; the five undefined bytes map to U+0081 etc.
QString fromWindows1252(const QByteArray &bytes);

} // namespace voltaris
