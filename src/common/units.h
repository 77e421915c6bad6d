// The units the tariff, the log and the appliance count in.
#pragma once

namespace voltaris {

// A year of the tariff: prices per year are per 365 days, leap years alike.
inline constexpr int DaysPerYear = 365;
inline constexpr int MonthsPerYear = 12;
// Prices per kWh are in cent, amounts in euro.
inline constexpr long double CentPerEuro = 100.0L;

} // namespace voltaris
