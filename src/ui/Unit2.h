#pragma once

#include "ui/form.h"

namespace voltaris {

// The saved notice: shown without blocking over the main window, it closes
// itself when its timer ticks.
class TForm2 : public TForm {
public:
    explicit TForm2(TApplication &app);

    static constexpr int NoticeInterval = 3000;

    void ShowNotice();
    // The same window with another short text: what was read again.
    void ShowNotice(const QString &text);
    void Timer1Timer(TTimer &Sender);

    TLabel Label1 { this, QStringLiteral("Label1") };
    TTimer Timer1 { *this, NoticeInterval };
};

} // namespace voltaris
