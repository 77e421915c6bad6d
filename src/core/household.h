// The household as its views see it: every meter's readings and prices, as
// plain data, so that the figures of the household are computed in one place.
#pragma once

#include "core/contractvalues.h"
#include "core/logdata.h"
#include "core/meters.h"
#include "core/prices.h"

#include <QDate>
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

} // namespace voltaris
