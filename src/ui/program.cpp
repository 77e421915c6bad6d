#include "ui/program.h"

namespace voltaris {

TProgram::TProgram(TApplication &application, const QString &dataDir)
    : app(application)
{
    Form1 = std::make_unique<TForm1>(app);
    Form1->setDataFolder(dataDir);
    app.MainForm = Form1.get();
    app.handle([&] { Form1->FormCreate(); });
    Form2 = std::make_unique<TForm2>(app);
    Form_Achtung = std::make_unique<TForm_Achtung>(app);
    Form1->Form2 = Form2.get();
    Form1->Form_Achtung = Form_Achtung.get();
}

} // namespace voltaris
