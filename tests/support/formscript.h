#pragma once

#include "fakeservices.h"
#include "ui/form.h"

#include <QString>

namespace voltaris::test {

// The control of that name anywhere in the form, or nullptr.
TControl *findControl(TControl &root, const QString &name);

// Plays a short script of user actions on a form, separated by ";":
//   click:Name    a click on the control (radio button, button, image)
//   focus:Name    the focus moved there by a click
//   clear         select all and Delete in the focused edit
//   type:Text     the characters typed one by one
//   key:shift     Shift pressed and released (also: up, down, left, enter, escape)
//   tab           Tab
//   set:Name=Text the text set by code (as a file would leave it)
void play(TForm &form, const QString &script);

// Checks expectations separated by ";": "Name=Text" for the text,
// "Name.color=N" and "Name.font=N" for colour numbers, "Name.bold=0/1",
// "Name.enabled=0/1", "focus=Name", "boxes=N" (message boxes so far).
// Returns an empty string when all hold, else what differed.
QString check(TForm &form, const FakeServices &services, const QString &expectations);

} // namespace voltaris::test
