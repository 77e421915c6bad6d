#pragma once

#include <QtGlobal>

namespace voltaris {

// A colour number: blue in the high byte, red in the low byte.
using TColor = quint32;

constexpr TColor rgb(unsigned r, unsigned g, unsigned b)
{
    return TColor(r & 0xFF) | (TColor(g & 0xFF) << 8) | (TColor(b & 0xFF) << 16);
}
constexpr unsigned redOf(TColor c)
{
    return c & 0xFF;
}
constexpr unsigned greenOf(TColor c)
{
    return (c >> 8) & 0xFF;
}
constexpr unsigned blueOf(TColor c)
{
    return (c >> 16) & 0xFF;
}

namespace clr {
constexpr TColor White = rgb(255, 255, 255); // 16777215
constexpr TColor Black = rgb(0, 0, 0);
constexpr TColor Silver = rgb(192, 192, 192); // 12632256
constexpr TColor Yellow = rgb(255, 255, 0); // 65535
constexpr TColor LightRose = rgb(255, 221, 221); // 14540287
constexpr TColor Blue = rgb(0, 0, 255); // 16711680
constexpr TColor Red = rgb(255, 0, 0); // 255
constexpr TColor DarkGrey = rgb(81, 81, 81); // 5329233
constexpr TColor Green = rgb(0, 128, 0); // 32768
constexpr TColor LightGreen = rgb(128, 255, 128);
constexpr TColor LightYellow = rgb(255, 255, 128);
constexpr TColor WarningGrey = rgb(62, 62, 62); // 4079166
constexpr TColor ShapeRed = rgb(200, 8, 3);
// System colours, resolved by the window system from its palette.
constexpr TColor BtnFace = 0x8000000F;
constexpr TColor WindowText = 0x80000008;
constexpr TColor Window = 0x80000005;
constexpr bool isSystem(TColor c)
{
    return (c & 0xFF000000u) == 0x80000000u;
}
} // namespace clr

} // namespace voltaris
