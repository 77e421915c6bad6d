// The settlement preview: what the current contract year will cost, what the
// instalments pay, and the monthly instalment that would fit the next year,
// estimated from the log the way suppliers extrapolate a meter.
#pragma once

#include "core/logdata.h"
#include "core/prices.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace voltaris {

// The contract as its edits hold it: base price per year (euro), price per
// kWh (cent), the monthly amount (euro), and the start date.
struct ContractTexts {
    QString basePrice, price, monthly;
    QDate start;
};

// A part of the contract year at one set of prices, from a change (or the
// year's start) to the next change (or the year's end).
struct SettlementPart {
    QDate from, to; // `to` is the first day after the part
    qint64 days = 0;
    // The readings on `from` and `to`: read, interpolated between readings,
    // or past the last reading extrapolated at the kWh per day.
    long double startReading = 0, endReading = 0;
    bool endEstimated = false; // `to` lies after the last reading
    long double kwh = 0; // endReading − startReading
    long double price = 0, basePrice = 0; // cent per kWh, euro per year
    long double energyCost = 0; // kwh × price ÷ 100
    long double baseCost = 0; // basePrice × days ÷ the year's days
};

// An instalment of the contract year: the month it is due from, its amount.
struct SettlementMonth {
    QDate from;
    long double monthly = 0;
};

struct Settlement {
    // Why there is no result (no readings, a contract field that is no
    // number); the figures found before stay valid.
    QStringList problems;
    // How a figure was found where the log does not reach.
    QStringList notes;

    bool hasYear = false; // at least one reading: the year and its start
    QDate yearStart, nextYearStart; // the year runs up to the day before the next
    qint64 yearDays = 0;
    Reading first, last;

    enum class StartFrom { Reading, Interpolated, FirstReading };
    StartFrom startFrom = StartFrom::Reading;
    Reading before, after; // the readings around the start, when interpolated
    long double startReading = 0;
    long double soFar = 0; // last − start reading
    qint64 daysSoFar = 0, daysLeft = 0;

    bool hasRate = false; // at least two readings
    bool rateOverYear = false; // over the last 365 days, else since the first reading
    QDate rateFrom;
    qint64 rateDays = 0;
    long double rateReading = 0; // the reading on rateFrom
    long double perDay = 0;
    long double rest = 0; // perDay × daysLeft

    bool hasContract = false;
    long double basePrice = 0, price = 0, monthly = 0;

    bool complete() const { return hasYear && hasRate && hasContract; }
    long double cost = 0; // basePrice + (soFar + rest) × price ÷ 100
    long double paid = 0; // monthly × 12
    long double result = 0; // paid − cost: a credit when not negative
    long double nextYear = 0; // perDay × 365 × price ÷ 100 + basePrice
    long double suggested = 0; // nextYear ÷ 12, in cent, rounded up to euros

    // With changes of price or instalment that reach into the year (one
    // before its start sets the year's price): the year split at each
    // change. Empty without such changes, and the figures above are then
    // those of the contract's fields alone, exactly as without changes.
    std::vector<SettlementPart> parts;
    // The twelve instalments, month by month, when an instalment change
    // reaches into the year; paid is then their sum.
    std::vector<SettlementMonth> months;
    // With months: the first day of the month from which the last month's
    // instalment is paid, the month of the change that set it.
    QDate lastMonthlyFrom;
    // The prices in force on `today` (the contract's without changes):
    // nextYear and suggested are computed with them.
    long double priceNow = 0, basePriceNow = 0;
};

Settlement settlementOf(
    const std::vector<Reading> &readings, const ContractTexts &contract, const FormatSettings &s);
// The same with changes of price and instalment; `today` decides the prices
// "now in force" for the suggested instalment.
Settlement settlementOf(const std::vector<Reading> &readings, const ContractTexts &contract,
    const FormatSettings &s, const PriceChanges &changes, const QDate &today);

// The same from the contract's values as numbers (a meter's own contract):
// its prices at its start and the start.
Settlement settlementOf(const std::vector<Reading> &readings, const PricesInForce &atStart,
    const QDate &start, const FormatSettings &s, const PriceChanges &changes, const QDate &today);

// The contract year that holds the last reading, counted as the preview
// counts it: its start reading, the consumption so far, the kWh per day and
// the rest of the year; with `prices` (price and base price at the
// contract's start) also its cost with the changes of price. The one
// computation of that year, so that the preview and the comparison of years
// show the same figures for it.
Settlement currentYearOf(const std::vector<Reading> &readings, const QDate &contractStart,
    const std::optional<PricesInForce> &prices, const PriceChanges &changes,
    const FormatSettings &s);

// "Guthaben ca. 12,34 €" or "Nachzahlung ca. 12,34 €".
QString settlementVerdict(const Settlement &settlement, QChar separator);

} // namespace voltaris
