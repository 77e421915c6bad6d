// The settlement's figures with their formulas as HTML: shown by the
// preview and printed on its page.
#pragma once

#include "core/household.h"
#include "core/settlement.h"

#include <QString>

namespace voltaris {

// The figures of the settlement with their formulas, as HTML; `readings`
// (the log's) tell how a reading on a change of price was found.
QString settlementSheetHtml(
    const Settlement &settlement, const std::vector<Reading> &readings, const FormatSettings &s);

// Whether the preview adds the household after the main meter's sheet: it
// has further meters or a solar system.
bool showsHousehold(const HouseholdInput &input);

// The household's further meters after the main meter's sheet: each night
// register, sub-meter, own contract and feed-in register with its figures,
// then the summary of the contracts, the feed-in, the solar systems'
// self-use and savings in the contract year, and the household's net.
QString householdSheetHtml(
    const HouseholdYear &household, const HouseholdInput &input, const FormatSettings &s);
// The same in the parts a page each holds where one is too small: the main
// contract's (night registers, sub-meters), each own contract, the feed-in
// with the summary.
struct HouseholdSheet {
    QString mainContract;
    std::vector<QString> ownContracts;
    QString rest;
};
HouseholdSheet householdSheetOf(
    const HouseholdYear &household, const HouseholdInput &input, const FormatSettings &s);

} // namespace voltaris
