#include "core/logfigures.h"

#include "common/numtext.h"

namespace voltaris {

QByteArray csvOf(const MeterLog &log, const FormatSettings &s)
{
    return csvOf(log.rows(), s, log.changes());
}

History historyOf(const MeterLog &log, const FormatSettings &s)
{
    return historyOf(log.continuousReadings(s));
}

bool contractPerDayOf(const ContractValues &contract, QChar separator, long double &perDay)
{
    return tryStrToFloat(contract.perDay, separator, perDay);
}

Settlement settlementOf(const MeterLog &log, const ContractValues &contract,
    const FormatSettings &s, const PriceChanges &prices, const QDate &today)
{
    return settlementOf(log.continuousReadings(s), contract.texts(), s, prices, today);
}

std::vector<YearFigures> yearComparisonOf(const MeterLog &log, const ContractValues &contract,
    const FormatSettings &s, const PriceChanges &prices)
{
    return yearComparison(log.continuousReadings(s), contract.texts(), s, prices);
}

} // namespace voltaris
