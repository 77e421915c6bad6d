// D0, the plain-text telegram of IEC 62056-21 that many electronic meters
// send (pushed at 9600 7E1, or asked for at 300 baud): an identification
// line "/ESY5Q3DA1004 V3.04", data lines "1-0:1.8.0*255(012345.6789*kWh)",
// and "!" at the end; with STX at the start of the data, ETX and a block
// check character follow the "!".
#pragma once

#include "core/meterregister.h"

#include <QByteArray>
#include <QByteArrayView>

namespace voltaris {

// Real telegrams are a few hundred bytes; a line of one a hundred.
inline constexpr qsizetype D0MaxTelegram = 8192;
inline constexpr qsizetype D0MaxLine = 256;

// The block check character: the XOR of the bytes after STX up to and with ETX.
char d0Bcc(QByteArrayView bytes);

// One whole telegram, from its "/" to the end (with ETX and BCC when the
// data began with STX): its energy registers in kWh, or why it cannot be
// read.
TelegramRead parseD0(QByteArrayView telegram);

} // namespace voltaris
