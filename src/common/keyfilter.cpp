#include "common/keyfilter.h"

namespace voltaris {

namespace {
bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}
} // namespace

QChar editKeyPress(const QString &text, int selStart, int selLength, QChar key, QChar separator)
{
    // The selection does not matter: a separator inside a selected part still
    // blocks a second one, as the field has always behaved.
    Q_UNUSED(selStart);
    Q_UNUSED(selLength);
    if (key == QChar(KeyBackspace) || isAsciiDigit(key))
        return key;
    if (key == separator && !text.contains(separator))
        return key;
    return QChar();
}

QChar digitsKeyPress(QChar key)
{
    if (key == QChar(KeyBackspace) || isAsciiDigit(key))
        return key;
    return QChar();
}

} // namespace voltaris
