// The program's command line, run as a process without a display: what it
// prints, where, and how it ends.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString program()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../voltaris"));
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void arguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("display"); // DISPLAY, none when empty
        QTest::addColumn<int>("code");
        QTest::addColumn<QStringList>("out"); // texts on stdout; "=" first: the whole of it
        QTest::addColumn<QStringList>("err"); // texts on stderr; none: it stays empty
        const QStringList usage { "Aufruf: voltaris", "--documents", "--help", "--version",
            "Mein_Vertrag.dat", "Mein_Verbrauch.txt", "Mein_Preisaenderungen.txt",
            "Mein_Zaehlerwechsel.txt", "Mein_Tarifvergleich.txt", "Meine_Zaehler.txt",
            "Mein_Verbrauch_NAME.txt", "Mein_Lesekopf.txt", ".voltaris.lock",
            "Mein_Verbrauch-JJJJ-MM-TT-N.bak", "Datenordner", "%home/Documents/Voltaris", "%cwd" };
        const QStringList version { "=Voltaris 1.3\n" };
        const QStringList wrong { "Aufruf: voltaris", "Mein_Vertrag.dat" };
        const QStringList noDisplay { "Keine grafische Anzeige", "xvfb-run", "scripts/run.sh" };
        const auto row = [](const char *name, const QStringList &args, const QString &display,
                             int code, const QStringList &out, const QStringList &err) {
            QTest::newRow(name) << args << display << code << out << err;
        };
        row("--help", { "--help" }, "", 0, usage, {});
        row("-h", { "-h" }, "", 0, usage, {});
        row("--documents --help: the folder only named", { "--documents", "--help" }, "", 0, usage,
            {});
        row("--version", { "--version" }, "", 0, version, {});
        row("-v", { "-v" }, "", 0, version, {});
        row("Qt's options pass", { "-platform", "offscreen", "-style", "fusion", "-v" }, "", 0,
            version, {});
        row("unknown long option", { "--hilfe" }, "", 2, {},
            QStringList { "Unbekannte Option „--hilfe“." } + wrong);
        row("unknown short option", { "-x" }, "", 2, {},
            QStringList { "Unbekannte Option „-x“." } + wrong);
        row("unknown beside --help", { "--help", "--gibtsnicht" }, "", 2, {},
            QStringList { "„--gibtsnicht“" } + wrong);
        row("a value where none is taken", { "--documents=ja" }, "", 2, {},
            QStringList { "Die Option „--documents“ nimmt keinen Wert." } + wrong);
        row("a file named", { "Mein_Vertrag.dat" }, "", 2, {},
            QStringList { "Unerwartetes Argument „Mein_Vertrag.dat“." } + wrong);
        row("no display", {}, "", 1, {}, noDisplay);
        row("no display, --documents", { "--documents" }, "", 1, {}, noDisplay);
        row("a display that is gone", {}, ":4711", 1, {},
            { "Die grafische Anzeige lässt sich nicht öffnen (DISPLAY=:4711)", "xvfb-run" });
    }
    void arguments()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, display);
        QFETCH(int, code);
        QFETCH(QStringList, out);
        QFETCH(QStringList, err);
        if (!QFileInfo(program()).isExecutable())
            QSKIP("the program is not part of this build");
        QTemporaryDir home, cwd;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *v : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_CONFIG_HOME",
                 "XDG_DOCUMENTS_DIR" })
            env.remove(QString::fromLatin1(v));
        if (!display.isEmpty())
            env.insert(QStringLiteral("DISPLAY"), display);
        env.insert(QStringLiteral("HOME"), home.path());
        QProcess p;
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(cwd.path());
        p.start(program(), arguments);
        QVERIFY2(p.waitForFinished(30000), "the program did not end within 30 s");
        const QString stdOut = QString::fromUtf8(p.readAllStandardOutput());
        const QString stdErr = QString::fromUtf8(p.readAllStandardError());
        const auto has = [&](const QString &text, const QStringList &texts) {
            for (QString t : texts) {
                t.replace("%home", home.path()).replace("%cwd", cwd.path());
                if (t.startsWith('=') ? text != t.mid(1) : !text.contains(t))
                    return false;
            }
            return true;
        };
        const QString both = "stdout:\n" + stdOut + "\nstderr:\n" + stdErr;
        QVERIFY2(p.exitStatus() == QProcess::NormalExit, qPrintable(both));
        QCOMPARE(p.exitCode(), code);
        QVERIFY2(out.isEmpty() ? stdOut.isEmpty() : has(stdOut, out), qPrintable(both));
        QVERIFY2(err.isEmpty() ? stdErr.isEmpty() : has(stdErr, err), qPrintable(both));
        // Nothing made: no folder in the documents, no lock, no file.
        QVERIFY(!QFileInfo::exists(home.filePath(QStringLiteral("Documents"))));
        QCOMPARE(QDir(cwd.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList());
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
