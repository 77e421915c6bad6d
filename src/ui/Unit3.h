#pragma once

#include "ui/form.h"

namespace voltaris {

// The rounding warning: why the price per kWh must be entered exactly.
class TForm_Achtung : public TForm {
public:
    explicit TForm_Achtung(TApplication &app);

    void FormCreate();

    TMemo Memo1 { this, QStringLiteral("Memo1") };
};

} // namespace voltaris
