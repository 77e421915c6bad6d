#include "core/meterregister.h"

namespace voltaris {

QString Obis::text() const
{
    QString out;
    if (a >= 0)
        out += QString::number(a) + QLatin1Char('-') + QString::number(b < 0 ? 0 : b)
            + QLatin1Char(':');
    out += shortText();
    if (f >= 0)
        out += QLatin1Char('*') + QString::number(f);
    return out;
}

QString Obis::shortText() const
{
    return QStringLiteral("%1.%2.%3").arg(c).arg(d).arg(e);
}

} // namespace voltaris
