#include "qt/singleinstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
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

} // namespace

// One program per data folder, between real processes.
class TestSingleInstance : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY2(QFileInfo(program()).isExecutable(), qPrintable(program())); }

    // A second start ends by itself and brings the first to the front.
    void secondStartRaisesTheFirst()
    {
        QTemporaryDir dir;
        SingleInstance first(dir.path());
        QCOMPARE(first.outcome(), Outcome::Primary);
        first.listen();
        QSignalSpy raised(&first, &SingleInstance::activationRequested);
        QProcess second;
        start(second, dir.path());
        QVERIFY(raised.wait(5000));
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(raised.size(), 1);
    }

    // The lock of a killed program is taken over; one held without an answer
    // is told apart from it.
    void heldLocks_data()
    {
        QTest::addColumn<QString>("holder");
        QTest::addColumn<Outcome>("outcome");
        QTest::newRow("killed program") << "killed" << Outcome::Primary;
        QTest::newRow("live program that does not answer") << "silent" << Outcome::Unreachable;
        QTest::newRow("read-only folder") << "read-only" << Outcome::NoLock;
    }
    void heldLocks()
    {
        QFETCH(QString, holder);
        QFETCH(Outcome, outcome);
        QTemporaryDir dir;
        const QString lockPath = dir.filePath(QStringLiteral(".voltaris.lock"));
        QLockFile silent(lockPath);
        QProcess killed;
        if (holder == "killed") {
            start(killed, dir.path());
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(lockPath), 5000);
            killed.kill();
            QVERIFY(killed.waitForFinished());
        } else if (holder == "silent") {
            QVERIFY(silent.tryLock(0)); // this live process, with no server
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
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(later.outcome(), outcome);
        QVERIFY(took.elapsed() < SingleInstance::AnswerMs + 1000);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
