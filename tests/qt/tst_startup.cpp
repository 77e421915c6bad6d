#include "qt/qtservices.h"
#include "qt/startup.h"
#include "testfiles.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <optional>
#include <string>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace voltaris;
using namespace voltaris::test;

namespace {

const QByteArray Log = "           Mein Verbrauch\r\n"
                       "________________________________________\r\n"
                       "     Datum | Z\xE4hlerstand | Tage | kW/Tag\r\n"
                       "===========|=============|======|=======\r\n"
                       "01.01.2026 |     1000,00 |    0 |      0\r\n"
                       "11.01.2026 |     1050,00 |   10 |   5,00\r\n";

// Whether the application made while the file was read ahead found this
// thread Qt's main one (main() finds out).
bool mainThreadKept = false;

} // namespace

// The consumption file read while the display is connected is the one the
// window loads only while nothing has changed since.
class TestStartup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // From a shell the files are kept in the current directory; from the
    // menu entry ("--documents") in "Voltaris" among the user's documents,
    // made when missing.
    void dataFolder()
    {
        QTemporaryDir home;
        const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + QStringLiteral("/.config")));
        const QString shell = voltaris::dataFolder({ QStringLiteral("voltaris") });
        const QString menu
            = voltaris::dataFolder({ QStringLiteral("voltaris"), QStringLiteral("--documents") });
        for (auto [name, value] :
            { std::pair { "HOME", oldHome }, { "XDG_CONFIG_HOME", oldConfig } })
            value.isNull() ? qunsetenv(name) : qputenv(name, value);
        QCOMPARE(shell, QString());
        QCOMPARE(menu, home.path() + QStringLiteral("/Documents/Voltaris"));
        QVERIFY(QFileInfo(menu).isDir());
    }

    // Qt takes the first thread that uses it for the main one; taken by the
    // reading thread, the window's events wait for a timer: a hang on closing.
    void mainThreadKept()
    {
#ifndef Q_OS_UNIX
        QSKIP("needs a named pipe to hold the read");
#endif
        QVERIFY(::mainThreadKept);
    }

    void readAhead_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("taken");
        QTest::newRow("unchanged") << "" << true;
        QTest::newRow("no file, none since") << "no file" << true;
        QTest::newRow("rewritten since") << "rewrite" << false;
        QTest::newRow("made since") << "make" << false;
        QTest::newRow("other settings") << "settings" << false;
        QTest::newRow("other file") << "path" << false;
        QTest::newRow("asked twice") << "twice" << false;
    }
    void readAhead()
    {
        QFETCH(QString, change);
        QFETCH(bool, taken);
        QTemporaryDir dir;
        const QString path = consumptionFilePath(dir.path());
        QCOMPARE(path, QDir(dir.path()).filePath(LogName));
        if (change != QLatin1String("no file") && change != QLatin1String("make"))
            writeFile(path, Log);
        const FormatSettings german = FormatSettings::german();

        std::optional<ConsumptionRead> read;
        {
            StartupReader reader(path, german);
            reader.applicationMade();
            // The read is done before the file changes.
            if (change == QLatin1String("rewrite") || change == QLatin1String("make"))
                QTRY_VERIFY_WITH_TIMEOUT(reader.consumptionDone(), 20000);
            if (change == QLatin1String("rewrite")) {
                // Longer, so that a clock too coarse for the change still
                // tells it by the size.
                QByteArray longer = Log;
                longer += "21.01.2026 |     1100,00 |   10 |   5,00\r\n";
                writeFile(path, longer);
            }
            if (change == QLatin1String("make"))
                writeFile(path, Log);
            if (change == QLatin1String("twice"))
                reader.takeConsumption(path, german);
            read = reader.takeConsumption(
                change == QLatin1String("path") ? consumptionFilePath(QString()) : path,
                change == QLatin1String("settings") ? FormatSettings::english() : german);
        }
        QCOMPARE(read.has_value(), taken);
        if (!taken)
            return;
        // The window's services hand on what was read ahead; without it, or
        // when it no longer holds, they read the file.
        QtServices services;
        bool asked = false;
        services.readAhead = [&](const QString &p, const FormatSettings &) {
            asked = true;
            return p == path ? read : std::nullopt;
        };
        const ConsumptionRead now = readConsumptionFile(path, german);
        for (const QString &p : { path, path + QStringLiteral(".other") }) {
            asked = false;
            const ConsumptionRead handed = services.readConsumption(p, german);
            QVERIFY(asked);
            QCOMPARE(handed.path, p);
            QCOMPARE(handed.cells, p == path ? now.cells : std::vector<QString>());
        }
        QCOMPARE(read->opened, now.opened);
        QCOMPARE(read->cells, now.cells);
        QCOMPARE(read->failed, now.failed);
        QCOMPARE(read->unread, now.unread);
        QCOMPARE(int(read->cells.size()), change.isEmpty() ? 8 : 0);
    }
};

// The consumption file is a named pipe: its writer holds the reading thread
// in its read while the application object is made. Nothing of Qt runs on
// this thread before the reader.
int main(int argc, char *argv[])
{
    std::optional<QApplication> app;
#ifdef Q_OS_UNIX
    char dir[] = "/tmp/voltaris-startup-XXXXXX";
    const std::string pipe = std::string(::mkdtemp(dir) ? dir : "/nowhere") + "/pipe";
    if (::mkfifo(pipe.c_str(), 0600) == 0) {
        StartupReader reader(QString::fromLocal8Bit(pipe.c_str()), FormatSettings::german());
        int fd = -1; // opens once the reading thread waits in its open
        for (int i = 0; i < 10000 && fd < 0; ++i)
            if ((fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK)) < 0)
                ::usleep(1000);
        app.emplace(argc, argv);
        mainThreadKept = fd >= 0
            && QCoreApplication::eventDispatcher() == QThread::currentThread()->eventDispatcher();
        if (fd < 0)
            fd = ::open(pipe.c_str(), O_WRONLY); // late: the read still has to end
        ::close(fd); // the end of the file
        ::unlink(pipe.c_str());
    }
    ::rmdir(dir);
#endif
    if (!app)
        app.emplace(argc, argv);
    app->setAttribute(Qt::AA_Use96Dpi, true);
    TestStartup test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
