// The figures of the views beyond a log's table, computed from the log and
// the contract's values as plain data.
#pragma once

#include "core/contractvalues.h"
#include "core/csvexport.h"
#include "core/history.h"
#include "core/meterlogmodel.h"
#include "core/settlement.h"
#include "core/yearcompare.h"

namespace voltaris {

// The log as a CSV file, with its replacements on their rows, so that an
// import of the file restores them.
QByteArray csvOf(const MeterLog &log, const FormatSettings &s);
// The chart's steps, across the log's replacements.
History historyOf(const MeterLog &log, const FormatSettings &s);
// The contract's kWh per day, when its text is a number.
bool contractPerDayOf(const ContractValues &contract, QChar separator, long double &perDay);
// The current contract year against the instalments, with the changes of
// price and instalment, on `today`.
Settlement settlementOf(const MeterLog &log, const ContractValues &contract,
    const FormatSettings &s, const PriceChanges &prices, const QDate &today);
// The contract years of the log, at their prices.
std::vector<YearFigures> yearComparisonOf(const MeterLog &log, const ContractValues &contract,
    const FormatSettings &s, const PriceChanges &prices);

} // namespace voltaris
