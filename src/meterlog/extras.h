// The main window's log as the views beyond its table are given it.
#pragma once

#include "core/logfigures.h"

namespace voltaris {

class TForm1;

// The log the window shows, its replacements as their file holds them now.
const MeterLog &shownLogOf(TForm1 &form);
// The main meter's log, its replacements as their file holds them now,
// whichever log is shown: the settlement preview's.
const MeterLog &mainLogOf(TForm1 &form);
// The settlement of the main meter's log at the contract's values, the
// changes of price and instalment, and the services' today: the contract
// prices the main meter's kWh, whichever meter is shown.
Settlement settlementOf(TForm1 &form);

} // namespace voltaris
