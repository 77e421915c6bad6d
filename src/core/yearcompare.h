// The contract years of the log side by side: the consumption of each and
// its cost at that year's prices, against the year before.
#pragma once

#include "core/household.h"
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
// The same with the prices as numbers (none: no cost), for a meter priced
// apart from the contract's fields.
std::vector<YearFigures> yearComparison(const std::vector<Reading> &readings, const QDate &start,
    const std::optional<PricesInForce> &prices, const FormatSettings &settings,
    const PriceChanges &changes);

// A meter's contract years: the main meter's, a further meter's (a night
// register, a sub-meter and a feed-in register in the main contract's
// years at their price per kWh; the feed-in's cost is its income; an own
// contract in its own years at its prices).
struct MeterYears {
    QString name;
    MeterKind kind = MeterKind::Main;
    std::vector<YearFigures> years;
};

struct HouseholdYears {
    std::vector<MeterYears> meters; // the main meter first, then the file's order
    // What the household bought in each of the main contract's years: the
    // main meter, the night registers and the own contracts (these cut at
    // the main contract's years, at their own prices), with their cost. A
    // sub-meter's kWh are in the main meter's; the feed-in stays apart.
    std::vector<YearFigures> total;
};

// Empty meters and total without further meters (a solar system's
// counted elsewhere).
HouseholdYears householdYearComparison(const HouseholdInput &input, const FormatSettings &s);

} // namespace voltaris
