#include "qt/singleinstance.h"
#include "testfiles.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

using namespace voltaris;

namespace {

using Outcome = SingleInstance::Outcome;

// The program itself, beside the tests' folder of the build.
QString program()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../voltaris"));
}

// The sanitizer build leaves the program out; the other build has it.
#define NEED_PROGRAM()                                                                             \
    if (!QFileInfo(program()).isExecutable())                                                      \
    QSKIP("the program is not part of this build")

void start(QProcess &p, const QString &folder)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(folder);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program(), {});
    QVERIFY(p.waitForStarted());
}

// A socket bound under that name: it takes connections (the system
// queues them) but never answers, as a hung program would.
struct Deaf {
    int fd = -1;
    QByteArray path;
    bool listen(const QString &name)
    {
        path = QFile::encodeName(QDir(QDir::tempPath()).filePath(name));
        sockaddr_un a {};
        a.sun_family = AF_UNIX;
        std::memcpy(a.sun_path, path.constData(), size_t(path.size()));
        ::unlink(path.constData());
        fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        return ::bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0 && ::listen(fd, 4) == 0;
    }
    ~Deaf()
    {
        if (fd >= 0) {
            ::close(fd);
            ::unlink(path.constData());
        }
    }
};

// Whether a program listens under that name.
bool listening(const QString &name)
{
    sockaddr_un a {};
    a.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(QDir(QDir::tempPath()).filePath(name));
    std::memcpy(a.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

// Whether a socket file of that name is there, live or left behind.
bool socketFile(const QString &name)
{
    return QFileInfo::exists(QDir(QDir::tempPath()).filePath(name));
}

} // namespace

// One program per data folder, between real processes.
class TestSingleInstance : public QObject {
    Q_OBJECT
private Q_SLOTS:

    // A second start ends by itself and brings the first to the front.
    void secondStartRaisesTheFirst()
    {
        NEED_PROGRAM();
        QTemporaryDir dir;
        SingleInstance first(dir.path());
        QCOMPARE(first.outcome(), Outcome::Primary);
        first.listen();
        QSignalSpy raised(&first, &SingleInstance::activationRequested);
        QProcess second;
        start(second, dir.path());
        QVERIFY(raised.wait(20000));
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(raised.size(), 1);
    }

    // Who holds the lock decides: a dead owner's lock is taken over, a live
    // owner that does not answer is told apart from it, promptly.
    void heldLocks_data()
    {
        QTest::addColumn<QString>("holder");
        QTest::addColumn<Outcome>("outcome");
        QTest::newRow("killed program") << "killed" << Outcome::Primary;
        QTest::newRow("live program without a server") << "silent" << Outcome::Unreachable;
        QTest::newRow("hung program") << "hung" << Outcome::Unreachable;
        // An hour old: the age of a lock says nothing of its owner.
        QTest::newRow("other computer") << "elsewhere" << Outcome::Unreachable;
        QTest::newRow("read-only folder") << "read-only" << Outcome::NoLock;
    }
    void heldLocks()
    {
        QFETCH(QString, holder);
        QFETCH(Outcome, outcome);
        QTemporaryDir dir;
        const QString lockPath = dir.filePath(test::LockName);
        const QString name = SingleInstance::serverName(dir.path());
        QLockFile held(lockPath);
        Deaf deaf;
        QProcess killed;
        if (holder == "killed") {
            NEED_PROGRAM();
            start(killed, dir.path());
            // Once it listens, its socket is left behind as well.
            QTRY_VERIFY_WITH_TIMEOUT(socketFile(name), 20000);
            killed.kill();
            QVERIFY(killed.waitForFinished());
        } else if (holder == "silent" || holder == "hung") {
            QVERIFY(held.tryLock(0));
            if (holder == "hung")
                QVERIFY(deaf.listen(name));
        } else if (holder == "elsewhere") {
            QFile file(lockPath);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("4242\nvoltaris\nanderer-rechner\n0123456789abcdef0123456789abcdef\n"
                       "00000000-0000-0000-0000-000000000000\n");
            QVERIFY(file.flush()); // else the write at closing dates it anew
            QVERIFY(file.setFileTime(
                QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
        } else {
#ifdef Q_OS_UNIX
            if (::geteuid() == 0)
                QSKIP("root writes into a read-only folder");
#endif
            QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        }
        QElapsedTimer took;
        took.start();
        SingleInstance later(dir.path());
        const qint64 ms = took.elapsed();
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(later.outcome(), outcome);
        // Promptly: the answer's own wait and some slack for a busy machine,
        // far from the half minute of a socket's or a lock's default wait.
        QVERIFY2(ms < SingleInstance::AnswerMs + 3000, qPrintable(QString::number(ms)));
        if (outcome == Outcome::Primary) {
            later.listen();
            QVERIFY(listening(name)); // later starts reach it, past the socket left behind
        }
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
