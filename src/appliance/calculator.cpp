// Placeholder until the calculator is built.
#include "ui/Unit1.h"

namespace voltaris {

void TForm1::btn_BerechnenClick(TControl &) {}
void TForm1::Edit_TimeKeyPress(TControl &, QChar &) {}
void TForm1::SpeedBtn_STARTClick(TControl &) {}

} // namespace voltaris
