// The settlement preview: what the current contract year will cost, what the
// instalments pay, and the monthly instalment that would fit the next year,
// estimated from the log the way suppliers extrapolate a meter.
#pragma once

#include "core/logdata.h"

#include <QString>
#include <QStringList>

namespace voltaris {

// The contract as its edits hold it: base price per year (euro), price per
// kWh (cent), the monthly amount (euro), and the start date.
struct ContractTexts {
    QString basePrice, price, monthly;
    QDate start;
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
};

Settlement settlementOf(
    const std::vector<Reading> &readings, const ContractTexts &contract, const FormatSettings &s);

// "Guthaben ca. 12,34 €" or "Nachzahlung ca. 12,34 €".
QString settlementVerdict(const Settlement &settlement, QChar separator);

} // namespace voltaris
