#pragma once

#include "ui/layout.h"

#include <span>

namespace voltaris {

// The main window's design (TForm1): each control's place in its parent and
// how it starts out, in the order the controls are made. The constructor
// applies it; what a table row cannot say (the grid's columns, the reading's
// range, the lists) stays with the constructor.
std::span<const layout::Row> mainLayout();

} // namespace voltaris
