// Days, readings and figures as the tests of the computations write them.
#pragma once

#include "common/numtext.h"
#include "core/logdata.h"

#include <QDate>
#include <QStringList>
#include <vector>

namespace voltaris::test {

inline QDate day(const QString &text)
{
    return QDate::fromString(text, QStringLiteral("dd.MM.yyyy"));
}

// "01.02.2026=1155,5" is a reading of that day.
inline std::vector<Reading> readings(const QStringList &list)
{
    std::vector<Reading> out;
    for (const QString &r : list)
        out.push_back({ day(r.section('=', 0, 0)), strToFloat(r.section('=', 1), ',') });
    return out;
}

// A figure as the German desktop shows it.
inline QString f(long double x)
{
    return formatValue(x, ',');
}

} // namespace voltaris::test
