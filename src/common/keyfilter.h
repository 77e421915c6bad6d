#pragma once

#include <QChar>
#include <QString>

namespace voltaris {

constexpr char16_t KeyBackspace = 8;

// The numeric key filter of the contract fields and the appliance power: the
// typed character passes when it is Backspace, a digit, or `separator` while
// `text` holds no separator yet (the whole text counts, also a selected part
// the character would replace). Returns the character that reaches the edit,
// or QChar() (code 0) when it is swallowed.
QChar editKeyPress(const QString &text, int selStart, int selLength, QChar key, QChar separator);

// The running-time filter: Backspace and the digits pass, all else is
// swallowed.
QChar digitsKeyPress(QChar key);

} // namespace voltaris
