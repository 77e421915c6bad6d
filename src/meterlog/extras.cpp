// What the grid's popup menu offers beyond removing a row.
#include "ui/Unit1.h"

namespace voltaris {

void TForm1::designExtras() { }

} // namespace voltaris
