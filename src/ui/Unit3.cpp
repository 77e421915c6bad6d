#include "ui/Unit3.h"

namespace voltaris {

TForm_Achtung::TForm_Achtung(TApplication &app)
    : TForm(app, QStringLiteral("Form_Achtung"))
{
    setText(QStringLiteral("Achtung!"));
    setClientSize(379, 155);
    borderStyle = TBorderStyle::Dialog;
    borderIcons = { true, false, false };
    position = TPosition::Designed;
    setScreenPos(220, 92);
    setColor(clr::WarningGrey);
    TFont f;
    f.name = QStringLiteral("MS Sans Serif");
    f.size = 17;
    f.bold = true;
    f.color = clr::Yellow;
    setFont(f);
    Memo1.setBounds(8, 8, 361, 137);
    Memo1.setFont(f);
    Memo1.setColor(clr::WarningGrey);
    Memo1.readOnly = true;
    Memo1.wordWrap = true;
    Memo1.scrollBars = false;
    FormCreate();
}

void TForm_Achtung::FormCreate()
{
    Memo1.setLines({
        QStringLiteral("Einige Betruger verstecken hier die Kosten!"),
        QString(),
        QStringLiteral("Z.B. unter 0,20 € können 20,444 Cent sein"),
        QStringLiteral("(mathematisch abgerundet!)."),
        QStringLiteral("D.h. bei 3400 kW/Jahr-Verbrauch"),
        QStringLiteral("bezahlen Sie am Ende 15 € mehr!"),
    });
}

} // namespace voltaris
