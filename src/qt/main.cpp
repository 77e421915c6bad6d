#include "common/formatsettings.h"
#include "core/datafolder.h"
#include "core/meters.h"
#include "qt/filewatch.h"
#include "qt/formview.h"
#include "qt/qtservices.h"
#include "qt/singleinstance.h"
#include "qt/startup.h"
#include "qt/tariffwindow.h"
#include "ui/program.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

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

// What the command line asks for. Qt's own options (-platform, -style, ...)
// pass by: QApplication takes them.
struct CommandLine {
    enum class Ask { Window, Help, Version } ask = Ask::Window;
    QString error; // in German; the arguments are wrong when it is not empty
    bool documents = false;
    bool platform = false; // -platform given
};

CommandLine parseCommandLine(const QStringList &arguments)
{
    static const QStringList qtWithValue { QStringLiteral("platform"),
        QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"),
        QStringLiteral("plugin"), QStringLiteral("display"), QStringLiteral("geometry"),
        QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowtitle"), QStringLiteral("title"),
        QStringLiteral("qwindowicon"), QStringLiteral("icon"), QStringLiteral("style"),
        QStringLiteral("stylesheet"), QStringLiteral("session") };
    static const QStringList qtFlags { QStringLiteral("reverse"), QStringLiteral("nograb"),
        QStringLiteral("dograb"), QStringLiteral("sync"), QStringLiteral("widgetcount") };
    const auto nameOf = [](const QString &argument) {
        QString name = argument;
        while (name.startsWith(QLatin1Char('-')))
            name.remove(0, 1);
        return argument.startsWith(QLatin1Char('-')) ? name.section(QLatin1Char('='), 0, 0)
                                                     : QString();
    };
    CommandLine line;
    QStringList own { arguments.value(0) };
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString name = nameOf(arguments[i]);
        if (qtWithValue.contains(name) && !arguments[i].contains(QLatin1Char('='))
            && i + 1 < arguments.size()) {
            line.platform = line.platform || name == QLatin1String("platform");
            ++i;
        } else if (!qtFlags.contains(name))
            own << arguments[i];
    }

    QCommandLineParser parser;
    // "-documents" as "--documents", "-help" as "--help".
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption documents(QStringLiteral("documents"));
    const QCommandLineOption help(QStringList { QStringLiteral("h"), QStringLiteral("help") });
    const QCommandLineOption version(
        QStringList { QStringLiteral("v"), QStringLiteral("version") });
    parser.addOptions({ documents, help, version });
    // The argument as the user typed it.
    const auto typed = [&](const auto &matches) {
        const auto it = std::find_if(own.cbegin() + 1, own.cend(), matches);
        return it == own.cend() ? QString() : *it;
    };
    if (!parser.parse(own)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty())
            line.error = QStringLiteral("Unbekannte Option „%1“.").arg(typed([&](const QString &a) {
                return nameOf(a) == unknown[0];
            }));
        else // the other fault there can be: a value for an option that takes none
            line.error
                = QStringLiteral("Die Option „%1“ nimmt keinen Wert.")
                      .arg(typed([](const QString &a) {
                          return a.startsWith(QLatin1Char('-')) && a.contains(QLatin1Char('='));
                      }).section(QLatin1Char('='), 0, 0));
    } else if (!parser.positionalArguments().isEmpty())
        line.error
            = QStringLiteral("Unerwartetes Argument „%1“.").arg(parser.positionalArguments()[0]);
    line.documents = parser.isSet(documents);
    if (parser.isSet(help))
        line.ask = CommandLine::Ask::Help;
    else if (parser.isSet(version))
        line.ask = CommandLine::Ask::Version;
    return line;
}

// The files of the data folder, each beside what it holds.
QString folderFiles()
{
    const auto file = [](DataFile f, const QString &what) {
        return QStringLiteral("  %1 %2\n").arg(DataFolder::name(f), -27).arg(what);
    };
    return file(DataFile::Contract, QStringLiteral("der Stromvertrag"))
        + file(DataFile::Log, QStringLiteral("die Zählerstände"))
        + file(DataFile::PriceChanges,
            QStringLiteral("Preis- und Abschlagsänderungen, sobald es eine gibt"))
        + file(DataFile::MeterChanges, QStringLiteral("Zählerwechsel, sobald es einen gibt"))
        + file(DataFile::TariffCheck,
            QStringLiteral("Tarifangebote und Fristen, sobald es welche gibt"))
        + file(DataFile::Meters, QStringLiteral("weitere Zähler, sobald es einen gibt"))
        + QStringLiteral("  %1 %2\n")
              .arg(meterLogName(QStringLiteral("NAME")), -27)
              .arg(QStringLiteral("die Zählerstände des weiteren Zählers NAME"))
        + file(DataFile::ReadHead, QStringLiteral("der Lesekopf, sobald er eingerichtet ist"))
        + file(DataFile::Lock, QStringLiteral("zeigt, dass Voltaris in diesem Ordner läuft"))
        + QStringLiteral("  %1-JJJJ-MM-TT-N.bak, %2-JJJJ-MM-TT-N.bak\n")
              .arg(DataFolder::title(DataFile::Log), DataFolder::title(DataFile::Contract));
}

QString usage()
{
    return QStringLiteral(
        "Aufruf: voltaris [--documents]\n"
        "        voltaris --help | --version\n"
        "\n"
        "Voltaris hält in einem Fenster die Stromkosten eines Haushalts fest: den\n"
        "Stromvertrag, die Zählerstände und die Kosten eines Geräts.\n"
        "\n"
        "Optionen:\n"
        "  --documents    die Dateien im Ordner „Voltaris“ im Dokumente-Ordner führen\n"
        "                 (so startet das Anwendungsmenü); er wird beim ersten Start\n"
        "                 angelegt\n"
        "  -h, --help     diese Hilfe zeigen\n"
        "  -v, --version  die Version zeigen\n"
        "Dazu die Optionen von Qt, etwa -platform offscreen oder -style fusion.\n"
        "\n"
        "Datenordner:\n"
        "  ohne --documents das aktuelle Verzeichnis, hier\n"
        "    %1\n"
        "  mit --documents\n"
        "    %2\n"
        "\n"
        "Dateien im Datenordner:\n"
        "%3"
        "                              Sicherungen von Dateien, die nicht ganz gelesen\n"
        "                              werden konnten; sie werden nie überschrieben\n"
        "\n"
        "Ohne grafische Anzeige (etwa über ssh): „ssh -X“, „xvfb-run voltaris“ oder im\n"
        "Quellbaum scripts/run.sh.\n")
        .arg(QDir::toNativeSeparators(QDir::currentPath()),
            QDir::toNativeSeparators(documentsDataFolder()), folderFiles());
}

// How to start it where there is no display, after what went wrong.
const char *const DisplayHint
    = "Voltaris ist ein Programm mit Fenster. Starten Sie es auf dem Desktop oder mit\n"
      "einer Anzeige: über ssh mit „ssh -X“, mit einer virtuellen Anzeige\n"
      "(„xvfb-run voltaris“, Paket xvfb) oder im Quellbaum mit scripts/run.sh.\n"
      "„voltaris --help“ zeigt die Optionen.\n";

void print(FILE *to, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fflush(to);
}

// Where Qt would find no display at all: it would abort.
bool noDisplay(const CommandLine &line)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN) && !defined(Q_OS_ANDROID)
    return !line.platform && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
#else
    Q_UNUSED(line);
    return false;
#endif
}

// While the application connects to the display: Qt ends the program when
// it cannot (a display that is gone, a user without access). It says so in
// German then, with Qt's own words after, and ends with 1 rather than an
// abort. Qt's messages until then wait: where it connects, they go on as
// ever; where not, they follow the German text.
struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};
QtMessageHandler qtMessages = nullptr;
std::vector<HeldMessage> heldMessages;
std::mutex heldMutex; // the start-up's threads may have something to say too

void whileConnecting(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const std::lock_guard lock(heldMutex);
    if (type != QtFatalMsg) {
        heldMessages.push_back({ type, QByteArray(context.category), message });
        return;
    }
    QStringList named;
    for (const char *variable : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" })
        if (!qEnvironmentVariableIsEmpty(variable))
            named << QString::fromLatin1(variable) + QLatin1Char('=')
                    + qEnvironmentVariable(variable);
    QString text = QStringLiteral("voltaris: Die grafische Anzeige lässt sich nicht öffnen (%1).\n")
                       .arg(named.join(QStringLiteral(", ")))
        + QString::fromUtf8(DisplayHint);
    if (!heldMessages.empty())
        text += QStringLiteral("Qt meldet:\n");
    for (const HeldMessage &held : heldMessages)
        text += QStringLiteral("  %1\n").arg(held.text);
    print(stderr, text);
    std::_Exit(1);
}

void connected()
{
    qInstallMessageHandler(qtMessages);
    const std::lock_guard lock(heldMutex);
    for (const HeldMessage &held : std::exchange(heldMessages, {}))
        if (qtMessages)
            qtMessages(held.type,
                QMessageLogContext(nullptr, 0, nullptr, held.category.constData()), held.text);
}

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
    // Answered without a display and before anything is read or made.
    const CommandLine line = parseCommandLine(arguments);
    if (!line.error.isEmpty()) {
        print(stderr, QStringLiteral("voltaris: %1\n\n").arg(line.error) + usage());
        return 2;
    }
    if (line.ask == CommandLine::Ask::Help) {
        print(stdout, usage());
        return 0;
    }
    if (line.ask == CommandLine::Ask::Version) {
        print(stdout, QStringLiteral("Voltaris " VOLTARIS_VERSION "\n"));
        return 0;
    }
    if (noDisplay(line)) {
        print(stderr,
            QStringLiteral("voltaris: Keine grafische Anzeige gefunden (weder DISPLAY noch "
                           "WAYLAND_DISPLAY ist gesetzt).\n")
                + QString::fromUtf8(DisplayHint));
        return 1;
    }
    const QString folder = dataFolder(line.documents
            ? QStringList { arguments.value(0), QStringLiteral("--documents") }
            : QStringList { arguments.value(0) });
    // The application reads the locale settings again once it exists; what
    // was read ahead is taken only when both agree.
    StartupReader reader(consumptionFilePath(folder), FormatSettings::fromSystem());
    qtMessages = qInstallMessageHandler(whileConnecting);
    QApplication qapp(argc, argv);
    connected();
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
    offerTariffCheckOnContract(mainView, *program.Form1);
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
        if (!watch) {
            watch = std::make_unique<FileWatch>(app, *program.Form1);
            app.handle([&] { program.Form1->RemindDeadlines(); });
        }
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
