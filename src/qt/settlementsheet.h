// The settlement's figures with their formulas as HTML: shown by the
// preview and printed on its page.
#pragma once

#include "core/settlement.h"

#include <QString>

namespace voltaris {

// The figures of the settlement with their formulas, as HTML; `readings`
// (the log's) tell how a reading on a change of price was found.
QString settlementSheetHtml(
    const Settlement &settlement, const std::vector<Reading> &readings, const FormatSettings &s);

} // namespace voltaris
