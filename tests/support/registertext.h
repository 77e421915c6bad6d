// The registers of a read telegram as one text, for comparisons in tables:
// "1-0:1.8.0*255=12345.6789/4;…", a "!" after a register of whole kWh sent
// without the PIN; or the problem.
#pragma once

#include "core/meterregister.h"

#include <QStringList>

namespace voltaris::test {

inline QString registersText(const TelegramRead &read)
{
    if (!read.ok())
        return read.problem;
    QStringList out;
    for (const MeterRegister &r : read.registers)
        out << QStringLiteral("%1=%2/%3%4")
                   .arg(r.obis.text(), QString::number(double(r.kWh), 'f', r.decimals))
                   .arg(r.decimals)
                   .arg(r.wholeKWh ? QStringLiteral("!") : QString());
    return out.join(QLatin1Char(';'));
}

} // namespace voltaris::test
