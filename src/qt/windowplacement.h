#pragma once

#include <QSize>

class QWidget;

namespace voltaris {

class TForm;

// The client area of a form's window: as wide as its widest control, as
// high as the form's client height.
QSize clientExtent(const TForm &form);

// Moves a form's window where its position says, before it shows. A window
// placed once keeps its place on the screen or at its design's position;
// one centred over the main window is centred again at each showing.
void placeWindow(QWidget &window, const TForm &form, bool placedBefore);

} // namespace voltaris
