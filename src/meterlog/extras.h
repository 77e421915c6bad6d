// The figures of the views beyond the log table, read from the main window's
// texts at the moment of the call.
#pragma once

#include "core/history.h"
#include "core/settlement.h"
#include "core/yearcompare.h"

namespace voltaris {

class TForm1;

History historyOf(const TForm1 &form);
// The contract's kWh per day (Edit2), when its text is a number.
bool contractPerDayOf(const TForm1 &form, long double &perDay);
// With the changes of price and instalment, and the services' today.
Settlement settlementOf(const TForm1 &form);
// The contract years of the log, at their prices.
std::vector<YearFigures> yearComparisonOf(const TForm1 &form);

} // namespace voltaris
