#include "ui/Unit2.h"

#include "core/datafolder.h"

namespace voltaris {

namespace {
const QString SavedText = QStringLiteral("Erfolgreich in \"%1\" gespeichert!")
                              .arg(DataFolder::title(DataFile::Contract));
}

TForm2::TForm2(TApplication &app)
    : TForm(app, QStringLiteral("Form2"))
{
    setClientSize(378, 32);
    borderStyle = TBorderStyle::Dialog;
    borderIcons = { false, false, false };
    position = TPosition::MainFormCenter;
    setColor(clr::BtnFace);
    // The label model knows no vertical centring: a label of one line's
    // height in the middle of the client area shows the text centred.
    Label1.setBounds(0, 6, 378, 20);
    Label1.setAlignment(TAlignment::Center);
    TFont f;
    f.bold = true;
    Label1.setFont(f);
    Label1.setText(SavedText);
    Timer1.OnTimer = [this](TTimer &t) { Timer1Timer(t); };
}

void TForm2::ShowNotice()
{
    ShowNotice(SavedText);
}

void TForm2::ShowNotice(const QString &text)
{
    Label1.setText(text);
    setText(app().Title);
    show();
    // Every showing stays up the full interval: restart the count.
    Timer1.setEnabled(false);
    Timer1.setEnabled(true);
}

void TForm2::Timer1Timer(TTimer &)
{
    Timer1.setEnabled(false);
    close();
}

} // namespace voltaris
