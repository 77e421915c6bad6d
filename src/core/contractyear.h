// The contract year and its parts at one tariff, shared by the settlement
// preview and the comparison of years.
#pragma once

#include "core/prices.h"

#include <QDate>
#include <algorithm>
#include <vector>

namespace voltaris {

// The contract's day and month in `year`; a 29 February falls on the 28th
// in other years, the last day of that month.
inline QDate anniversary(const QDate &start, int year)
{
    const int day = std::min(start.day(), QDate(year, start.month(), 1).daysInMonth());
    return QDate(year, start.month(), day);
}

// The first day of the contract year that holds `day`.
inline QDate contractYearOf(const QDate &start, const QDate &day)
{
    const QDate inYear = anniversary(start, day.year());
    return inYear > day ? anniversary(start, day.year() - 1) : inYear;
}

// A stretch of days at one price per kWh and one base price.
struct TariffPeriod {
    QDate from, to; // `to` is the first day after the stretch
    long double price = 0, basePrice = 0;
};

// [from, to) split at each tariff change strictly inside it, with the
// prices in force in each part.
inline std::vector<TariffPeriod> tariffPeriods(
    const PriceChanges &changes, const PricesInForce &atStart, const QDate &from, const QDate &to)
{
    PricesInForce p = pricesOn(changes, atStart, from);
    std::vector<TariffPeriod> out;
    QDate begin = from;
    for (const TariffChange &c : changes.tariff) {
        if (c.from <= from)
            continue;
        if (c.from >= to)
            break;
        out.push_back({ begin, c.from, p.price, p.basePrice });
        if (c.price)
            p.price = *c.price;
        if (c.basePrice)
            p.basePrice = *c.basePrice;
        begin = c.from;
    }
    out.push_back({ begin, to, p.price, p.basePrice });
    return out;
}

} // namespace voltaris
