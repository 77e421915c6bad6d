// The chart of the log: the kWh per day of each interval between two
// readings as steps over the days, with the average since the first reading.
#pragma once

#include "core/logdata.h"

#include <vector>

namespace voltaris {

// One step of the chart: the days from `from` up to `to` (the day of the
// reading that ends it) at `perDay` kWh per day; `reading` is the reading on
// `to`. Months are steps too: from the first covered day to the first day of
// the next month (or the last reading's day), the month's mean kWh per day.
struct HistoryStep {
    QDate from, to;
    long double perDay = 0;
    long double reading = 0;
};

struct History {
    std::vector<HistoryStep> steps;
    bool byMonth = false; // the intervals were too many and are months
    // (last − first reading) ÷ days between them; valid with two readings.
    long double average = 0;
    QDate first, last;
};

// Intervals beyond this many become months.
constexpr int MaxHistorySteps = 300;

History historyOf(const std::vector<Reading> &readings, int maxSteps = MaxHistorySteps);

// Each interval's consumption spread evenly over its days and summed per
// calendar month; a month's kWh per day is its sum over the days covered.
std::vector<HistoryStep> monthSteps(const std::vector<Reading> &readings);

} // namespace voltaris
