#pragma once

#include "ui/Unit1.h"
#include "ui/Unit2.h"
#include "ui/Unit3.h"

#include <memory>

namespace voltaris {

// The three windows in the order the program creates them: the main window
// first (its start-up runs before the others exist), then the notice and the
// warning, both hidden.
class TProgram {
public:
    explicit TProgram(TApplication &app, const QString &dataDir = QString());

    TApplication &app;
    std::unique_ptr<TForm1> Form1;
    std::unique_ptr<TForm2> Form2;
    std::unique_ptr<TForm_Achtung> Form_Achtung;
};

} // namespace voltaris
