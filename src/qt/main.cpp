#include "common/formatsettings.h"
#include "qt/filewatch.h"
#include "qt/formview.h"
#include "qt/qtservices.h"
#include "qt/singleinstance.h"
#include "qt/startup.h"
#include "ui/program.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <csignal>
#include <functional>
#include <memory>

using namespace voltaris;

namespace {

// Runs its task once a widget has been painted for the first time.
class AfterFirstPaint : public QObject {
public:
    AfterFirstPaint(QWidget &widget, std::function<void()> task)
        : QObject(&widget)
        , task_(std::move(task))
    {
        widget.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint && task_)
            QTimer::singleShot(0, this, std::exchange(task_, nullptr));
        return false;
    }

private:
    std::function<void()> task_;
};

} // namespace

int main(int argc, char *argv[])
{
#ifdef SIGXFSZ
    // Past a file size limit a write fails and the save reports it; the
    // signal would end the program instead.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const QString folder = dataFolder(arguments);
    // The application reads the locale settings again once it exists; what
    // was read ahead is taken only when both agree.
    StartupReader reader(consumptionFilePath(folder), FormatSettings::fromSystem());
    QApplication qapp(argc, argv);
    // The folder's lock first: a second start ends before it makes a window.
    SingleInstance instance(folder);
    if (instance.outcome() == SingleInstance::Outcome::Forwarded)
        return 0; // the running window comes to the front instead
    reader.applicationMade();
    installGermanQtTexts();
    if (instance.outcome() == SingleInstance::Outcome::Unreachable) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Voltaris 1.3"),
            QStringLiteral(
                "In diesem Ordner läuft Voltaris bereits, ist aber nicht erreichbar (auf "
                "einem anderen Rechner oder hängend).\n\nWenn Sie trotzdem öffnen, liest "
                "jedes Fenster die Dateien neu, sobald das andere sie ändert."));
        QPushButton *end = box.addButton(QStringLiteral("Beenden"), QMessageBox::RejectRole);
        box.addButton(QStringLiteral("Trotzdem öffnen"), QMessageBox::AcceptRole);
        box.setDefaultButton(end);
        box.setEscapeButton(end);
        box.exec();
        if (box.clickedButton() == end)
            return 0;
    }

    QtServices services;
    services.readAhead = [&reader](const QString &path, const FormatSettings &settings) {
        return reader.takeConsumption(path, settings);
    };
    TApplication app(services, FormatSettings::fromSystem());
    QApplication::setApplicationDisplayName(QString());
    QApplication::setApplicationName(app.Title);
    QApplication::setDesktopFileName(QStringLiteral("org.voltaris.Voltaris"));

    TProgram program(app, folder);
    FormView mainView(*program.Form1);
    // The notice and the warning stay hidden until the user asks for them:
    // their windows are made once the main window is on the screen.
    std::unique_ptr<FormView> noticeView, warningView;
    const auto makeViews = [&] {
        if (noticeView)
            return;
        noticeView = std::make_unique<FormView>(*program.Form2, &mainView);
        warningView = std::make_unique<FormView>(*program.Form_Achtung, &mainView);
        for (auto [view, form] :
            { std::pair { noticeView.get(), static_cast<TForm *>(program.Form2.get()) },
                { warningView.get(), program.Form_Achtung.get() } })
            if (form->visible())
                view->changed(*form, Prop::Visible);
    };
    services.windowOf = [&](TForm *f) -> QWidget * {
        if (f == program.Form1.get())
            return &mainView;
        makeViews();
        return f == program.Form2.get() ? noticeView.get() : warningView.get();
    };
    // Once the window is on the screen: later starts are answered, and the
    // files are watched (a change before is caught by the watch's first look
    // and by every change's own check).
    std::unique_ptr<FileWatch> watch;
    const auto afterStart = [&] {
        makeViews();
        instance.listen();
        if (!watch)
            watch = std::make_unique<FileWatch>(app, *program.Form1);
    };
    new AfterFirstPaint(mainView, afterStart);
    QObject::connect(&instance, &SingleInstance::activationRequested, &mainView, [&mainView] {
        mainView.setWindowState(mainView.windowState() & ~Qt::WindowMinimized);
        mainView.show();
        mainView.raise();
        mainView.activateWindow();
    });
    QTimer::singleShot(1000, &mainView, afterStart); // also where nothing is painted
    app.handle([&] { program.Form1->show(); });
    return qapp.exec();
}
