// Both saves under faults of the disk and the process: a full disk, a
// read-only folder or file, a directory in the file's place, and a process
// killed at any moment while it saves. After each, the file on disk is the
// old or the new version, whole; the window says what the design says (the
// contract save fails silently, the log save shows the error) and its next
// save succeeds and leaves no temporary file behind.
#include "fakeservices.h"
#include "testfiles.h"
#include "ui/program.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <random>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace voltaris;
using namespace voltaris::test;

namespace {

const QByteArray LogFile = "           Mein Verbrauch\r\n"
                           "________________________________________\r\n"
                           "     Datum | Z\xE4hlerstand | Tage | kW/Tag\r\n"
                           "===========|=============|======|=======\r\n"
                           "01.01.2026 |     1000,00 |    0 |      0\r\n"
                           "01.02.2026 |     1155,50 |   31 |   5,02\r\n";
// The versions a change makes of each: Edit1 retyped, a third reading.
const QByteArray ContractChanged = QByteArray(ContractExample).replace("3650 kW", "4000 kW");
const QByteArray LogChanged = LogFile + "01.03.2026 |     1300,00 |   28 |   5,16\r\n";

enum class Which { Contract, Log };

struct Run {
    explicit Run(const QString &dir)
        : p(t.app, dir)
    { }
    TestApp t;
    TProgram p;
    TForm1 &f = *p.Form1;

    // The user's change and its save: Edit1 retyped and the Save button,
    // or a reading entered (which saves the log).
    void change(Which w, const QString &consumption = QStringLiteral("4000"))
    {
        t.services.clear();
        if (w == Which::Contract) {
            f.Edit1.setText(consumption);
            f.btn_Save1.click();
        } else {
            f.dtp_Ablese.setDate(QDate(2026, 3, 1));
            f.Memo_Stand.setText(QStringLiteral("1300,0"));
            f.btn_Save2.click();
        }
    }
    // Whether the window shows the failed save as designed: the contract's
    // Save button stays enabled without any message or notice; the log shows
    // one error naming its file and keeps the new row.
    bool showsFailure(Which w) const
    {
        const auto &boxes = t.services.boxes;
        if (w == Which::Contract)
            return boxes.empty() && f.btn_Save1.enabled() && !p.Form2->visible();
        const TStringGrid &g = f.StringGrid1;
        return boxes.size() == 1 && boxes[0].icon == MsgIcon::Error
            && boxes[0].text.contains(LogName) && g.cell(0, g.rowCount() - 1) == "01.03.2026";
    }
    bool showsSuccess(Which w) const
    {
        if (w == Which::Contract)
            return t.services.boxes.empty() && !f.btn_Save1.enabled() && p.Form2->visible();
        return t.services.boxes.empty();
    }
};

// A new start in `dir` reads the changed contract or the new reading.
bool readsNewVersion(const QString &dir, Which w)
{
    Run r(dir);
    const TStringGrid &g = r.f.StringGrid1;
    if (w == Which::Contract)
        return r.f.Edit1.text() == "4000";
    return r.t.services.boxes.empty() && g.cell(0, g.rowCount() - 1) == "01.03.2026"
        && g.cell(1, g.rowCount() - 1) == "1300,00";
}

QByteArray contentsOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden, QDir::Name);
}

#ifdef Q_OS_UNIX
// Runs `body` in a child process, as the unprivileged user "nobody" when
// `drop` and running as root (root writes through permissions); returns the
// child's exit code, 100 + the signal that ended it.
int inChild(const std::function<int()> &body, bool drop = false)
{
    const pid_t child = fork();
    if (child == 0) {
        if (drop && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(90);
        int code = 91;
        try {
            code = body();
        } catch (...) { }
        _exit(code);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}
#endif

// A failed check inside a child: where, then the child's exit code.
#define CHILD_CHECK(cond)                                                                          \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #cond);                        \
            return __LINE__ % 80 + 1;                                                              \
        }                                                                                          \
    } while (0)

#ifdef Q_OS_UNIX
// Makes the change with no file larger than `bytes` (the disk is full from
// there; SIGXFSZ ignored, so a write fails instead), then lifts the limit.
bool changeWithFilesUpTo(Run &r, Which which, qint64 bytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = rlim_t(bytes);
    if (setrlimit(RLIMIT_FSIZE, &small) != 0)
        return false;
    r.change(which);
    return setrlimit(RLIMIT_FSIZE, &saved) == 0;
}
#endif

} // namespace

class TestSaves : public QObject {
    Q_OBJECT
private:
    // Every case once for the contract and once for the log.
    static void eachFile()
    {
        QTest::addColumn<Which>("which");
        QTest::newRow("contract") << Which::Contract;
        QTest::newRow("log") << Which::Log;
    }
    // A folder with both files in their old version.
    static void prepare(const QTemporaryDir &dir)
    {
        writeFile(dir.filePath(ContractName), ContractExample);
        writeFile(dir.filePath(LogName), LogFile);
    }

private slots:
    // The two versions each check compares against are what the program
    // really writes.
    void versionsAreThePrograms()
    {
        QTemporaryDir dir;
        prepare(dir);
        for (Which w : { Which::Contract, Which::Log }) {
            Run r(dir.path());
            r.change(w);
            QVERIFY(r.showsSuccess(w));
        }
        QCOMPARE(contentsOf(dir.filePath(ContractName)), ContractChanged);
        QCOMPARE(contentsOf(dir.filePath(LogName)), LogChanged);
    }

#ifdef Q_OS_UNIX
    // The disk fills up (a file size limit, SIGXFSZ ignored, in a child)
    // anywhere in the new file; then the space is back.
    void fullDisk_data()
    {
        QTest::addColumn<Which>("which");
        QTest::addColumn<int>("limit");
        // Up to one byte short of the new file: 435 and 279 bytes.
        for (int limit : { 0, 1, 100, 230, 434 })
            QTest::addRow("contract, %d bytes", limit) << Which::Contract << limit;
        for (int limit : { 0, 1, 100, 237, 278 })
            QTest::addRow("log, %d bytes", limit) << Which::Log << limit;
    }
    void fullDisk()
    {
        QFETCH(Which, which);
        QFETCH(int, limit);
        QTemporaryDir dir;
        prepare(dir);
        const QString path = dir.filePath(which == Which::Contract ? ContractName : LogName);
        const QByteArray old = contentsOf(path);
        const QByteArray changed = which == Which::Contract ? ContractChanged : LogChanged;
        const QStringList before = entries(dir.path());
        const int code = inChild([&] {
            Run r(dir.path());
            CHILD_CHECK(changeWithFilesUpTo(r, which, limit));
            CHILD_CHECK(r.showsFailure(which));
            CHILD_CHECK(contentsOf(path) == old);
            CHILD_CHECK(entries(dir.path()) == before);
            // The window goes on: the same save again, with space.
            r.t.services.clear();
            if (which == Which::Contract)
                r.f.btn_Save1.click();
            else
                r.f.SaveVerbrauch();
            CHILD_CHECK(r.showsSuccess(which));
            CHILD_CHECK(contentsOf(path) == changed);
            return 0;
        });
        QCOMPARE(code, 0);
        QCOMPARE(entries(dir.path()), before);
    }

    // A file that could not be read whole is kept before the save replaces
    // it. When the disk fills up while that backup is written, the save
    // fails and the file stays as it was: a backup cut short, taken for
    // whole, would let the save replace the only full copy.
    void fullDiskForTheBackup_data()
    {
        eachFile();
    }
    void fullDiskForTheBackup()
    {
        QFETCH(Which, which);
        QTemporaryDir dir;
        prepare(dir);
        const QString path = dir.filePath(which == Which::Contract ? ContractName : LogName);
        // Unreadable (a start date cut short, a line that is no reading), and
        // longer than the new version by a tail the table does not show.
        const QByteArray tail = QByteArray(300, 'x') + "\r\n";
        writeFile(path,
            which == Which::Contract
                ? QByteArray(ContractExample).replace("01.01.2017", "1.1") + tail
                : LogFile + "kaputt\r\n" + tail);
        const QByteArray old = contentsOf(path);
        const QStringList before = entries(dir.path());
        const int code = inChild([&] {
            Run r(dir.path());
            // Room for the new file, not for the copy.
            CHILD_CHECK(changeWithFilesUpTo(r, which, old.size() - 100));
            CHILD_CHECK(r.showsFailure(which));
            // The log's message names the backup and why it failed.
            if (which == Which::Log) {
                const QString told = r.t.services.boxes.at(0).text;
                CHILD_CHECK(told.contains(QStringLiteral("Sicherung"))
                    && !told.trimmed().endsWith(QLatin1Char(':')));
            }
            CHILD_CHECK(contentsOf(path) == old);
            CHILD_CHECK(entries(dir.path()) == before);
            // With space again, the backup is whole and the save goes through.
            if (which == Which::Contract)
                CHILD_CHECK(r.f.WriteContract());
            else
                r.f.SaveVerbrauch();
            const QStringList backups = QDir(dir.path()).entryList({ QStringLiteral("*.bak") });
            CHILD_CHECK(backups.size() == 1 && contentsOf(dir.filePath(backups[0])) == old);
            CHILD_CHECK(contentsOf(path) != old);
            return 0;
        });
        QCOMPARE(code, 0);
    }

    // The folder or the file is read-only, or a directory stands in the
    // file's place. Root writes through permissions, so the run drops to an
    // unprivileged user that owns the folder and can make it writable again.
    void readOnly_data()
    {
        QTest::addColumn<Which>("which");
        QTest::addColumn<QString>("cause");
        for (const char *c : { "read-only folder", "read-only file", "directory in its place" }) {
            QTest::addRow("contract, %s", c) << Which::Contract << QString(c);
            QTest::addRow("log, %s", c) << Which::Log << QString(c);
        }
    }
    void readOnly()
    {
        QFETCH(Which, which);
        QFETCH(QString, cause);
        QTemporaryDir dir;
        prepare(dir);
        const QString name = which == Which::Contract ? ContractName : LogName;
        const QString path = dir.filePath(name);
        const QByteArray dirPath = QFile::encodeName(dir.path());
        const QByteArray filePath = QFile::encodeName(path);
        if (cause == "directory in its place") {
            QVERIFY(QFile::remove(path));
            QVERIFY(QDir(dir.path()).mkdir(name));
        }
        if (geteuid() == 0) {
            QCOMPARE(chown(dirPath, 65534, 65534), 0);
            for (const QString &e : entries(dir.path()))
                QCOMPARE(chown(QFile::encodeName(dir.filePath(e)), 65534, 65534), 0);
        }
        const QByteArray old = contentsOf(path);
        const QStringList before = entries(dir.path());
        const int code = inChild(
            [&] {
                if (cause == "read-only folder")
                    CHILD_CHECK(chmod(dirPath, 0555) == 0);
                if (cause == "read-only file")
                    CHILD_CHECK(chmod(filePath, 0444) == 0);
                Run r(dir.path());
                r.change(which);
                CHILD_CHECK(r.showsFailure(which));
                CHILD_CHECK(contentsOf(path) == old);
                CHILD_CHECK(entries(dir.path()) == before);
                // Writable again: the next save goes through.
                CHILD_CHECK(chmod(dirPath, 0755) == 0);
                if (cause == "read-only file")
                    CHILD_CHECK(chmod(filePath, 0644) == 0);
                if (cause == "directory in its place")
                    CHILD_CHECK(rmdir(filePath) == 0);
                r.t.services.clear();
                if (which == Which::Contract)
                    r.f.btn_Save1.click();
                else
                    r.f.SaveVerbrauch();
                CHILD_CHECK(r.showsSuccess(which));
                CHILD_CHECK(readsNewVersion(dir.path(), which));
                return 0;
            },
            true);
        chmod(dirPath, 0755);
        QCOMPARE(code, 0);
        QCOMPARE(entries(dir.path()), QStringList({ LogName, ContractName }));
    }

    // What a killed save leaves is removed by the next one; a user's own
    // copy beside the file and the save under way in a running process stay.
    void leftoversOfKilledSaves()
    {
        QTemporaryDir dir;
        prepare(dir);
        const pid_t dead = fork();
        if (dead == 0)
            _exit(0);
        waitpid(dead, nullptr, 0);
        const QString stale = QString(".%1.saving-%2").arg(ContractName).arg(dead);
        const QString running = QString(".%1.saving-%2").arg(ContractName).arg(getppid());
        const QString own = ContractName + ".backup";
        for (const QString &name : { stale, running, own })
            writeFile(dir.filePath(name), ContractExample.left(100));
        Run r(dir.path());
        r.change(Which::Contract);
        QVERIFY(r.showsSuccess(Which::Contract));
        QCOMPARE(entries(dir.path()), QStringList({ running, LogName, ContractName, own }));
    }

    // A process saving in a loop, killed at random moments: the file is
    // always one of the two versions, whole; the next successful save leaves
    // nothing beside it.
    void killedWhileSaving_data()
    {
        eachFile();
    }
    void killedWhileSaving()
    {
        QFETCH(Which, which);
        QTemporaryDir dir;
        prepare(dir);
        const QString path = dir.filePath(which == Which::Contract ? ContractName : LogName);
        const QByteArray a = contentsOf(path);
        const QByteArray b = which == Which::Contract
            ? ContractChanged
            : QByteArray(LogFile).replace("1155,50", "1255,50");
        std::mt19937 random(QTest::currentDataTag()[0]);
        std::uniform_int_distribution<int> delay(0, 3000); // microseconds
        constexpr int Kills = 150;
        int midSave = 0; // kills that left a new temporary file: the save was under way
        qsizetype count = entries(dir.path()).size();
        for (int k = 0; k < Kills; ++k) {
            int ready[2];
            QCOMPARE(pipe(ready), 0);
            const pid_t child = fork();
            if (child == 0) {
                close(ready[0]);
                Run r(dir.path());
                if (write(ready[1], "r", 1) != 1)
                    _exit(1);
                for (int i = 0;; ++i) {
                    if (which == Which::Contract) {
                        r.f.Edit1.setText(i % 2 ? QStringLiteral("3650") : QStringLiteral("4000"));
                        r.f.WriteContract();
                    } else {
                        r.f.StringGrid1.setCell(
                            1, 2, i % 2 ? QStringLiteral("1155,50") : QStringLiteral("1255,50"));
                        try {
                            r.f.SaveVerbrauch();
                        } catch (...) {
                            _exit(2);
                        }
                    }
                }
            }
            close(ready[1]);
            char c = 0;
            QCOMPARE(read(ready[0], &c, 1), ssize_t(1));
            close(ready[0]);
            usleep(useconds_t(delay(random)));
            kill(child, SIGKILL);
            int status = 0;
            waitpid(child, &status, 0);
            QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
            const QByteArray now = contentsOf(path);
            QVERIFY2(now == a || now == b,
                qPrintable(QString("kill %1: %2 bytes").arg(k).arg(now.size())));
            if (entries(dir.path()).size() > count)
                ++midSave;
            count = entries(dir.path()).size();
        }
        qInfo("%d of %d kills left a temporary file", midSave, Kills);
        // The file still reads, and a save cleans up after the killed ones.
        {
            Run r(dir.path());
            QVERIFY(r.t.services.boxes.empty());
            r.change(which, QStringLiteral("5000"));
            QVERIFY(r.showsSuccess(which));
        }
        QCOMPARE(entries(dir.path()), QStringList({ LogName, ContractName }));
    }
#endif
};

QTEST_GUILESS_MAIN(TestSaves)
#include "tst_saves.moc"
