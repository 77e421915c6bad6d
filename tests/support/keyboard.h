#pragma once

#include "ui/form.h"

namespace voltaris::test {

// The window system's keyboard, headless: what happens when the user presses
// a key while `form` has the focus somewhere. A typed character that reaches a
// TEdit replaces its selection (Backspace deletes), as a real edit does.
void pressKey(TForm &form, int key, QChar ch = QChar(), TShiftState shift = {});
// Types each character: key-down, key press, the edit, key release.
void typeText(TForm &form, const QString &text);
// Select all and Delete in the focused edit, with its key release.
void clearField(TForm &form);
// Moves the focus as a click into the control would (exit, then enter).
void focus(TWinControl &control);
// Tab (or Shift+Tab) with its key-down on the old and its release on the
// new control.
void tab(TForm &form, bool forward = true);

} // namespace voltaris::test
