#pragma once

#include "ui/controls.h"

#include <QChar>

class QKeyEvent;

namespace voltaris {

// Virtual key codes that only the mapping from the window system's keys
// needs, beside the ones the handlers speak of.
namespace vk {
constexpr int Prior = 33, Next = 34, Insert = 45, F1 = 112, OemComma = 188, OemMinus = 189,
              OemPeriod = 190;
// A key that types a character but has no code of its own (an umlaut, "&",
// "€", a character sent by a tool): the code the platform gives such keys.
// A handler sees a key-down it does not know and leaves it alone.
constexpr int Packet = 0xE7;
} // namespace vk

// The characters a key press types that are no text: what the control's key
// filter sees for Backspace, Tab, Enter, Escape and Ctrl+letter.
namespace keychar {
constexpr char16_t CtrlA = 1, Back = 8, Tab = 9, Return = 13, CtrlV = 22, CtrlX = 24, Escape = 27;
// Below it, a character is a control code, not text.
constexpr char16_t FirstPrintable = 32;
} // namespace keychar

// Maps a Qt key to the control's virtual key code (0 when there is none).
int virtualKey(int qtKey);
// The virtual key of a key event: the key's own code, else vk::Packet when
// the key types text, else 0 (a dead key, a media key: no key for the
// handlers).
int virtualKey(const QKeyEvent &e);
// The character a key press types, as the control's key filter sees it:
// Backspace, Tab, Enter, Escape and Ctrl+letter as their control codes, else
// the text (null when it is none).
QChar typedChar(const QKeyEvent &e);
TShiftState shiftOf(Qt::KeyboardModifiers m);

} // namespace voltaris
