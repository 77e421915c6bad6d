// SML 1.04, the binary language of Germany's modern meters, as their
// optical interface sends it: a transport frame (escape, start, the
// messages, escape, end with the padding count and a CRC), holding a tree of
// type-length fields whose GetList.Res carries the registers.
#pragma once

#include "core/meterregister.h"

#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>

namespace voltaris {

// Bounds on what a frame may hold: real ones are a few hundred bytes with a
// tree five or six levels deep; more is damage or an attack.
inline constexpr qsizetype SmlMaxFrame = 16384;
inline constexpr int SmlMaxDepth = 12;

// The frame's start and the escape that opens its start and its end.
inline constexpr char SmlEscape[] = "\x1b\x1b\x1b\x1b";
inline constexpr char SmlStart[] = "\x1b\x1b\x1b\x1b\x01\x01\x01\x01";

// The two checksums meters use over the frame: CRC-16/X-25 (the standard)
// and CRC-16/Kermit (some makes).
uint16_t crc16X25(QByteArrayView bytes);
uint16_t crc16Kermit(QByteArrayView bytes);

// One whole frame, from its start to its last CRC byte: the energy registers
// of its GetList.Res messages (values in Wh with a scaler, as kWh), or why
// it cannot be read. Never trusts a length or a depth it was given.
TelegramRead parseSml(QByteArrayView frame);

} // namespace voltaris
