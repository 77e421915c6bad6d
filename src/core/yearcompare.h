// The contract years of the log side by side: the consumption of each and
// its cost at that year's prices, against the year before.
#pragma once

#include "core/logdata.h"
#include "core/prices.h"
#include "core/settlement.h"

#include <vector>

namespace voltaris {

struct YearFigures {
    QDate start, next; // the year runs from `start` to the day before `next`
    qint64 days = 0;
    // The readings interpolated at the year's start and at the next's; an
    // earlier year the log does not cover whole is extrapolated at the kWh
    // per day of its covered part and marked estimated. The year of the last
    // reading is estimated as the settlement preview counts it
    // (currentYearOf), cost included.
    long double kwh = 0;
    bool estimated = false;
    // At the prices in force in the year (base price by days, energy at
    // each part's price per kWh); only with a contract whose fields are
    // numbers.
    bool hasCost = false;
    long double cost = 0;
    // Percent against the year before (the first year has none).
    bool hasPrevious = false;
    long double kwhChange = 0, costChange = 0;
};

// Every contract year from the one holding the first reading to the one
// holding the last (readings as one meter counts them); empty with fewer
// than two readings or without a start date.
std::vector<YearFigures> yearComparison(const std::vector<Reading> &readings,
    const ContractTexts &contract, const FormatSettings &settings, const PriceChanges &changes);

} // namespace voltaris
