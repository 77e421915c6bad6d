// Doubts about a reading before it goes into the log: a meter never runs
// backwards, and a consumption far above the household's usual one is more
// often a typing error than a fact.
#pragma once

#include "core/meterchange.h"

#include <QStringList>

namespace voltaris {

// How many times the usual kWh per day an interval may reach unasked.
inline constexpr long double DoubtFactor = 3.0L;

// The median kWh per day of the intervals between the readings (as one
// meter counts them); 0 without an interval.
long double medianPerDay(const std::vector<Reading> &continuous);

// The doubts about `candidate` among `others` (the log's other readings in
// date order, each as its meter shows it), with the replacements as they
// will be: it is lower than the reading before it or higher than the one
// after it on the same meter, or an interval it bounds has more than
// DoubtFactor times the median kWh per day of the others. German sentences
// naming the figures; empty when there is no doubt.
QStringList readingDoubts(
    const std::vector<Reading> &others, const MeterChanges &changes, const Reading &candidate);

// The doubts about the final reading of a meter replaced on its day, among
// the log's readings: only those before that day are the old meter's; the
// readings after it are the new meter's and say nothing of it.
QStringList finalReadingDoubts(
    const std::vector<Reading> &log, const MeterChanges &changes, const Reading &oldFinal);

} // namespace voltaris
