#pragma once

#include "qt/widgetsite.h"

#include <vector>

namespace voltaris {

// The factories of every control kind the view shows, asked in this order:
// the first that knows a control makes its widget. A derived kind comes
// before its base (a spin edit is an edit too).
const std::vector<WidgetFactory> &builtinWidgetFactories();

} // namespace voltaris
