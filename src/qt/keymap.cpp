#include "qt/keymap.h"

#include <QKeyEvent>

namespace voltaris {

int virtualKey(int k)
{
    // Digits and letters share their codes with Qt's keys.
    if ((k >= Qt::Key_0 && k <= Qt::Key_9) || (k >= Qt::Key_A && k <= Qt::Key_Z))
        return k;
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24)
        return vk::F1 + (k - Qt::Key_F1);
    switch (k) {
    case Qt::Key_Backspace:
        return vk::Back;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return vk::Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return vk::Return;
    case Qt::Key_Shift:
        return vk::Shift;
    case Qt::Key_Control:
        return vk::Control;
    case Qt::Key_Alt:
        return vk::Menu;
    case Qt::Key_Escape:
        return vk::Escape;
    case Qt::Key_Space:
        return vk::Space;
    case Qt::Key_PageUp:
        return vk::Prior;
    case Qt::Key_PageDown:
        return vk::Next;
    case Qt::Key_End:
        return vk::End;
    case Qt::Key_Home:
        return vk::Home;
    case Qt::Key_Left:
        return vk::Left;
    case Qt::Key_Up:
        return vk::Up;
    case Qt::Key_Right:
        return vk::Right;
    case Qt::Key_Down:
        return vk::Down;
    case Qt::Key_Insert:
        return vk::Insert;
    case Qt::Key_Delete:
        return vk::Delete;
    case Qt::Key_Comma:
        return vk::OemComma;
    case Qt::Key_Minus:
        return vk::OemMinus;
    case Qt::Key_Period:
        return vk::OemPeriod;
    default:
        return 0;
    }
}

int virtualKey(const QKeyEvent &e)
{
    if (const int k = virtualKey(e.key()))
        return k;
    const QString t = e.text();
    return !t.isEmpty() && t[0].unicode() >= keychar::FirstPrintable ? vk::Packet : 0;
}

QChar typedChar(const QKeyEvent &e)
{
    switch (e.key()) {
    case Qt::Key_Backspace:
        return QChar(keychar::Back);
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return QChar(keychar::Tab);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QChar(keychar::Return);
    case Qt::Key_Escape:
        return QChar(keychar::Escape);
    default:
        break;
    }
    if ((e.modifiers() & Qt::ControlModifier) && e.key() >= Qt::Key_A && e.key() <= Qt::Key_Z)
        return QChar(char16_t(keychar::CtrlA + (e.key() - Qt::Key_A)));
    const QString t = e.text();
    if (t.size() == 1
        && (t[0].unicode() >= keychar::FirstPrintable || t[0].unicode() == keychar::Back))
        return t[0];
    return QChar();
}

TShiftState shiftOf(Qt::KeyboardModifiers m)
{
    TShiftState s;
    s.shift = m & Qt::ShiftModifier;
    s.ctrl = m & Qt::ControlModifier;
    s.alt = m & Qt::AltModifier;
    return s;
}

} // namespace voltaris
