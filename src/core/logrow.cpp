#include "core/logrow.h"

#include "common/dates.h"

#include <algorithm>

namespace voltaris {

bool isBlankText(QStringView text)
{
    for (const QChar ch : text)
        if (ch.unicode() > 32)
            return false;
    return true;
}

bool isBlankRow(const QStringList &row)
{
    return std::all_of(row.begin(), row.end(), [](const QString &t) { return isBlankText(t); });
}

QDate cellDate(const QString &text, const FormatSettings &settings)
{
    QDate d;
    tryStrToDate(text, settings, d);
    return d;
}

} // namespace voltaris
