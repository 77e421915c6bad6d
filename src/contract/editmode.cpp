// Placeholder until the edit mode is built.
#include "ui/Unit1.h"

namespace voltaris {

void TForm1::img_to_onClick(TControl &) {}
void TForm1::img_to_offClick(TControl &) {}
void TForm1::btn_Save1Visible(TControl &) {}
void TForm1::dtp_AbChange(TControl &) {}
void TForm1::btn_Save1Click(TControl &) {}

} // namespace voltaris
