// The main window's log as the views beyond its table are given it.
#pragma once

#include "core/logfigures.h"

namespace voltaris {

class TForm1;

// The log the window shows, its replacements as their file holds them now.
const MeterLog &shownLogOf(TForm1 &form);
// The settlement of the shown log at the contract's values, the changes of
// price and instalment, and the services' today.
Settlement settlementOf(TForm1 &form);

} // namespace voltaris
