// The household's solar systems: what the panels produced, what the
// household used itself and what that saved at its working price, what the
// feed-in earned, and when the systems have paid for themselves. Computed
// from the household's readings alone, per contract year and since the
// start of operation, split at the changes of price as the settlement is.
#pragma once

#include "core/household.h"
#include "core/yearcompare.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <vector>

namespace voltaris {

// What a stretch of days brought, in kWh and euro.
struct SolarAmounts {
    long double generation = 0; // all solar meters
    std::vector<long double> byMeter; // each solar meter's, in the order of the meters
    long double feedIn = 0;
    // generation − feed-in, counted month by month and never below 0.
    long double selfUse = 0;
    // From the grid: the main meter and its NT register.
    long double purchaseMain = 0, purchaseLow = 0, purchase = 0;
    long double savings = 0; // self-use × the working price of each day ÷ 100
    long double income = 0; // feed-in × the feed-in rate of each day ÷ 100
    // A month (or a part of one) in which more was fed in than generated.
    bool clipped = false;

    long double benefit() const { return savings + income; }
    long double withoutSolar() const { return purchase + selfUse; }
    // Own-use rate and self-sufficiency in percent; false where the divisor
    // is 0.
    bool ownUseRate(long double &percent) const;
    bool selfSufficiency(long double &percent) const;
};

// A part of a contract year at one working price and one feed-in rate.
struct SolarPart {
    QDate from, to; // `to` is the first day after the part
    long double price = 0; // the main contract's working price, cent per kWh
    long double feedInRate = 0; // cent per kWh
    // The solar meters' and the feed-in register's readings on `from` and
    // `to`, interpolated as the settlement does (a meter not yet read
    // counts nothing).
    std::vector<long double> startReadings, endReadings;
    long double feedInStart = 0, feedInEnd = 0;
    SolarAmounts amounts;
};

struct SolarYear {
    QDate start, next; // the contract year: from `start` to the day before `next`
    QDate from, to; // the part of it the readings count
    std::vector<SolarPart> parts;
    SolarAmounts amounts;
};

struct SolarMonth {
    QDate month; // its first day
    long double selfUse = 0, feedIn = 0; // their sum is the month's generation
};

// The cumulated benefit at the end of a month (or at the last counted day).
struct SolarPoint {
    QDate day;
    long double benefit = 0;
};

// A stretch where more was fed in than generated: self-use counts 0 there.
struct SolarOverflow {
    QDate from, to;
    long double generation = 0, feedIn = 0;
};

struct SolarFigures {
    // The household has a solar meter; without one nothing else is set.
    bool hasSolar = false;
    QStringList names; // the solar meters' names
    // Why a figure is missing (no readings, a contract price that is no
    // number) and what the figures assume.
    QStringList problems, notes;

    // The feed-in as read off a feed-in register; without one, the share
    // of the generation the user stated (per system), an assumption.
    bool feedInMeasured = false;
    QString feedInName; // the feed-in register's
    std::vector<long double> shares; // percent, per solar meter, when assumed

    bool hasPrice = false; // the contract's working price is a number
    bool counted = false; // the readings count at least one day
    QDate operationStart; // the earliest start of operation
    QDate from, to; // the days the readings count: from `from` to the day before `to`
    long double purchasePrice = 0; // euro, all systems

    std::vector<SolarYear> years; // the contract years, oldest first
    SolarAmounts sinceStart;
    std::vector<SolarMonth> months;
    std::vector<SolarPoint> curve; // the cumulated benefit, month by month
    std::vector<SolarOverflow> overflows;

    // Amortisation: the day the cumulated benefit reached the purchase
    // price, or the day it will at the last 365 days' benefit per day.
    bool amortised = false; // reached within the counted days
    bool projected = false; // to be reached, on `amortisedOn`
    QDate amortisedOn;
    QDate rateFrom; // the days the rate is taken from: rateFrom to `to`
    qint64 rateDays = 0;
    SolarAmounts lastYear; // over those days
    long double benefitPerDay = 0;

    // At the prices in force today, the output of those days scaled to a
    // year: a year's benefit and twenty years' (no price rise, no loss of
    // output).
    long double priceNow = 0, feedInRateNow = 0;
    long double yearSelfUse = 0, yearFeedIn = 0; // kWh a year
    long double yearBenefit = 0, twentyYears = 0;
};

SolarFigures solarFiguresOf(const HouseholdInput &household, const FormatSettings &settings);

// A figure with its formula, as the page's table shows it.
struct SolarRow {
    QString what, how, value;
    bool heading = false; // a row naming what the rows below it belong to
};
std::vector<SolarRow> solarRows(const SolarFigures &figures, const FormatSettings &settings);

// The contract year that starts on `yearStart` as far as the solar readings
// count it (zero amounts and `found` false when they count none of it): the
// settlement preview's household summary lists its savings and feed-in
// income.
struct SolarYearSummary {
    bool found = false;
    QDate from, to; // the days counted
    long double selfUse = 0, savings = 0, income = 0;
};
SolarYearSummary solarYearOf(const SolarFigures &figures, const QDate &yearStart);

// The year comparison's "Verbrauch ohne Solar": each year's consumption
// from the grid plus the self-use counted in it; `whole` is false where
// the solar readings do not count the whole year.
struct SolarYearUse {
    long double selfUse = 0, withoutSolar = 0;
    bool whole = false;
};
std::vector<SolarYearUse> consumptionWithoutSolar(
    const SolarFigures &figures, const std::vector<YearFigures> &years);

} // namespace voltaris
