#include "common/formatsettings.h"
#include "qt/formview.h"
#include "qt/qtservices.h"
#include "ui/program.h"

#include <QApplication>

using namespace voltaris;

int main(int argc, char *argv[])
{
    QApplication qapp(argc, argv);
    QtServices services;
    TApplication app(services, FormatSettings::fromSystem());
    QApplication::setApplicationDisplayName(QString());
    QApplication::setApplicationName(app.Title);

    TProgram program(app);
    FormView mainView(*program.Form1);
    FormView noticeView(*program.Form2, &mainView);
    FormView warningView(*program.Form_Achtung, &mainView);
    services.windowOf = [&](TForm *f) -> QWidget * {
        if (f == program.Form1.get())
            return &mainView;
        if (f == program.Form2.get())
            return &noticeView;
        return &warningView;
    };
    app.handle([&] { program.Form1->show(); });
    return qapp.exec();
}
