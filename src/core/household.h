// The household as its views see it: every meter's readings and prices, as
// plain data, so that the figures of the household are computed in one place.
#pragma once

#include "core/contractvalues.h"
#include "core/logdata.h"
#include "core/meters.h"
#include "core/prices.h"
#include "core/settlement.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <vector>

namespace voltaris {

// A further meter with its readings, as one meter would have counted them
// (across its replacements).
struct MeterReadings {
    Meter meter;
    std::vector<Reading> readings;
};

struct HouseholdInput {
    std::vector<Reading> main; // the main meter's (its HT register with an NT meter)
    ContractValues contract;
    PriceChanges changes; // the main contract's
    std::vector<MeterReadings> further; // in the order of the meters' file
    QDate today;
};

// Whether the household has meters that its money counts (a solar system's
// are counted elsewhere).
bool hasFurtherMeters(const HouseholdInput &input);

// The changes of the price per kWh alone: a register or a meter priced by
// the kWh pays no base price of its own.
PriceChanges pricesPerKwh(const PriceChanges &changes);

// A further meter's part of the household's year.
struct MeterYear {
    Meter meter;
    // An own contract: its own settlement (its year from its start, its
    // prices, its instalments). The others: their kWh in the main contract's
    // year, counted as the preview counts the main meter, and `cost` their
    // kWh at the price per kWh in force each day (no base price): the night
    // register's price, the main contract's for a sub-meter, the feed-in
    // rate (then an income).
    Settlement year;
    // In the summary: the year is complete and, but for an own contract,
    // it is the main contract's year.
    bool counted = false;
};

// A figure of the summary and how it was found.
struct HouseholdFigure {
    long double value = 0;
    QString how;
};

// A contract of the household: the main one (with its night registers) or
// a meter's own.
struct HouseholdContract {
    QString name;
    bool complete = false;
    HouseholdFigure cost, paid, result; // result = paid − cost
};

struct HouseholdYear {
    // Today's settlement of the main meter (its HT register with a night
    // register), exactly as the preview computes it alone.
    Settlement main;
    std::vector<MeterYear> lowTariff, ownContracts, subMeters, feedIns;

    // The summary: the main contract first, then each own contract.
    std::vector<HouseholdContract> contracts;
    HouseholdFigure feedIn; // the year's income of every feed-in register
    bool complete = false; // every contract and feed-in counted: `net` holds
    HouseholdFigure net; // Σ results + feed-in income
    // Why a figure is left out of the summary.
    QStringList problems;
};

// The contract year that holds the main meter's last reading, for the whole
// household; with no further meters, `main` alone.
HouseholdYear householdYearOf(const HouseholdInput &input, const FormatSettings &s);

} // namespace voltaris
