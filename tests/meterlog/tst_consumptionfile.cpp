#include "fakeservices.h"
#include "testfiles.h"
#include "ui/program.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace voltaris;
using namespace voltaris::test;

namespace {

const QByteArray Head = "           Mein Verbrauch\r\n"
                        "________________________________________\r\n"
                        "     Datum | Z\xE4hlerstand | Tage | kW/Tag\r\n"
                        "===========|=============|======|=======\r\n";
const QByteArray LineA = "01.01.2026 |     1000,00 |    0 |      0\r\n";
const QByteArray LineB = "01.02.2026 |     1155,50 |   31 |   5,02\r\n";
const QByteArray EmptyLine = "           |             |      |        \r\n";
const QByteArray Example = Head + LineA + LineB;

const QString A = "01.01.2026|1000,00|0|0";
const QString B = "01.02.2026|1155,50|31|5,02";

// A run of the program in `dir`, started after the test wrote its files.
struct Run {
    explicit Run(const QString &dir)
        : p(t.app, dir)
    { }
    TestApp t;
    TProgram p;
    TForm1 &f = *p.Form1;

    void enter(QDate date, const QString &reading)
    {
        f.dtp_Ablese.setDate(date);
        f.Memo_Stand.setText(reading);
        f.btn_Save2.click();
    }
};

} // namespace

class TestConsumptionFile : public QObject {
    Q_OBJECT
private slots:
    // The two rows of the example, entered by hand, give its 237 bytes.
    void example()
    {
        QTemporaryDir dir;
        Run r(dir.path());
        r.enter(QDate(2026, 1, 1), "1000,0");
        r.enter(QDate(2026, 2, 1), "1155,5");
        QCOMPARE(readAll(r.f.verbrauchPath()), Example);
        QCOMPARE(Example.size(), 237);
    }

    void load_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("marked");
        QTest::addColumn<QString>("reading");
        const QStringList empty { "|||" };
        QTest::newRow("example") << Example << QStringList { A, B } << 2 << "1155,5";
        QTest::newRow("header only") << Head << empty << 1 << "0,0";
        QTest::newRow("two lines") << Head.left(67) << empty << 1 << "0,0";
        QTest::newRow("empty log") << Head + EmptyLine << empty << 1 << "0,0";
        QTest::newRow("blank line between")
            << Head + LineA + "      \r\n" + LineB << QStringList { A, B } << 2 << "1155,5";
        // An empty line ends the reading, as the end of the file does.
        QTest::newRow("empty line between")
            << Head + LineA + LineB + "\r\n" + LineA << QStringList { A, B } << 2 << "1155,5";
        QTest::newRow("bad date first")
            << Head + "31.02.2026" + LineB.mid(10) + LineA << empty << 1 << "0,0";
        QTest::newRow("bad date later") << Head + LineA + "2026-02-01" + LineB.mid(10)
                                        << QStringList { A, "|||" } << 1 << "0,0";
        QTest::newRow("short line")
            << Head + "01.01.2026 |  12" << QStringList { "01.01.2026|12||" } << 1 << "12,0";
        // Written on a desktop in another language: converted.
        QTest::newRow("US desktop") << Head
                + "01/01/2026 |     1000.00 |    0 |      0\r\n"
                  "02/01/2026 |     1155.50 |   31 |   5.02\r\n"
                                    << QStringList { A, B } << 2 << "1155,5";
        QTest::newRow("British desktop, day told by a 13th")
            << Head
                + "01/01/2026 |     1000.00 |    0 |      0\r\n"
                  "13/01/2026 |     1050.00 |   12 |   4.17\r\n"
            << QStringList { A, "13.01.2026|1050,00|12|4,17" } << 2 << "1050,0";
        QTest::newRow("ISO dates")
            << Head + "2026-01-01" + LineA.mid(10) + "2026-02-01" + LineB.mid(10)
            << QStringList { A, B } << 2 << "1155,5";
        QTest::newRow("German dates, decimal point")
            << Head + "01.01.2026 |     1000.00 |    0 |      0\r\n"
            << QStringList { A } << 1 << "1000,0";
        QTest::newRow("no CR, Ctrl+Z ends it")
            << QByteArray(Head + LineA).replace("\r", "") + "\x1A" + LineB << QStringList { A } << 1
            << "1000,0";
    }
    void load()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, rows);
        QFETCH(int, marked);
        QFETCH(QString, reading);
        QTemporaryDir dir;
        writeFile(dir.filePath(LogName), file);
        Run r(dir.path());
        QCOMPARE(::gridRows(r.f.StringGrid1), rows);
        QCOMPARE(r.f.StringGrid1.row(), marked);
        QCOMPARE(r.f.Memo_Stand.text(), reading);
        QVERIFY(r.t.services.boxes.empty());
    }

    // Values at the width limits come back unchanged, and so do wider ones
    // (a mistyped reading), which push the rest of their line to the right.
    void roundTrip()
    {
        QTemporaryDir dir;
        const QStringList texts { "01.01.2026|0,00|0|0", "02.01.2026|999999,00|1|999,99",
            "21.05.2053|-12,50|9999|-99,99", "22.05.2053|5965,76|1|-5965,76",
            "23.05.2053|999999,00|1234567|11198,64" };
        {
            Run r(dir.path());
            TStringGrid &g = r.f.StringGrid1;
            g.setRowCount(int(texts.size()) + 1);
            for (int i = 0; i < texts.size(); ++i)
                for (int c = 0; c < 4; ++c)
                    g.setCell(c, i + 1, texts[i].section('|', c, c));
            r.f.SaveVerbrauch();
        }
        Run again(dir.path());
        QCOMPARE(gridRows(again.f.StringGrid1), texts);
        QCOMPARE(again.f.StringGrid1.row(), int(texts.size()));
    }

    // Another program changes the file while the window is open (a sync tool
    // renames its copy over it, a user deletes it): the next change starts
    // from the file's rows, and no row of the file is lost.
    void followsTheFile_data()
    {
        QTest::addColumn<QByteArray>("other"); // what the other program leaves; empty: removed
        QTest::addColumn<QString>("action"); // "enter DATE READING", "remove ROW", "save", "look"
        QTest::addColumn<QStringList>("rows"); // of the file afterwards
        QTest::addColumn<QString>("message");
        const QByteArray lineC = "01.03.2026 |     1300,00 |   28 |   5,16\r\n";
        const QString C = "01.03.2026|1300,00|28|5,16";
        QTest::newRow("entry after a rename")
            << Example + lineC << "enter 01.04.2026 1400,0"
            << QStringList { A, B, C, "01.04.2026|1400,00|31|3,23" } << "";
        QTest::newRow("entry on a day the file already has")
            << Example + lineC << "enter 15.02.2026 1200,0" << QStringList { A, B, C }
            << "Das haben Sie schon eingegeben!";
        QTest::newRow("removal of the marked row")
            << Example + lineC << "remove 1" << QStringList { "01.02.2026|1155,50|0|0", C } << "";
        QTest::newRow("removal of a row the other removed")
            << Head + LineA + lineC << "remove 2" << QStringList { A, C }
            << "Die markierte Zeile steht nicht mehr in \"Mein_Verbrauch.txt\"; ein anderes "
               "Programm hat die Datei geändert. Es wurde nichts entfernt.";
        QTest::newRow("file removed: the table stays")
            << QByteArray() << "enter 01.03.2026 1300,0"
            << QStringList { A, B, "01.03.2026|1300,00|28|5,16" } << "";
        QTest::newRow("changed in the moment of the save: kept")
            << Example + lineC << "save" << QStringList { A, B } << "gesichert unter";
        QTest::newRow("the window's own save")
            << QByteArray("own") << "look" << QStringList { A, B, "01.03.2026|1300,00|28|5,16" }
            << "";
    }
    void followsTheFile()
    {
        QFETCH(QByteArray, other);
        QFETCH(QString, action);
        QFETCH(QStringList, rows);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(LogName);
        writeFile(path, Example);
        Run r(dir.path());
        if (other.isEmpty()) {
            QVERIFY(QFile::remove(path));
        } else if (other == "own") {
            r.enter(QDate(2026, 3, 1), "1300,0");
        } else {
            writeFile(dir.filePath("copy"), other);
            QVERIFY(std::rename(qPrintable(dir.filePath("copy")), qPrintable(path)) == 0);
        }
        const QStringList words = action.split(' ');
        if (words[0] == "enter")
            r.enter(QDate::fromString(words[1], "dd.MM.yyyy"), words[2]);
        else if (words[0] == "remove") {
            r.f.StringGrid1.setRow(words[1].toInt());
            r.f.Delete1.click();
        } else if (words[0] == "save")
            r.f.SaveVerbrauch();
        else
            r.f.FilesChangedOnDisk();
        const bool reread = !other.isEmpty() && other != "own" && words[0] != "save";
        QCOMPARE(r.p.Form2->visible(), reread);
        if (reread)
            QCOMPARE(r.p.Form2->Label1.text(), QString("Neu aus \"Mein_Verbrauch\" gelesen!"));
        Run again(dir.path());
        QCOMPARE(gridRows(again.f.StringGrid1), rows);
        if (message.isEmpty())
            QVERIFY(r.t.services.boxes.empty());
        else {
            QCOMPARE(r.t.services.boxes.size(), size_t(1));
            QVERIFY2(r.t.services.boxes[0].text.contains(message),
                qPrintable(r.t.services.boxes[0].text));
        }
        if (words[0] == "save") // the other program's file is in the backup
            QCOMPARE(readAll(dir.filePath("Mein_Verbrauch-2026-12-08-1.bak")), other);
    }

    // A load that stopped keeps the file it could not read whole, once, under
    // a name of its own; no backup is ever overwritten, and the user is told
    // which lines and where.
    void backupAfterStoppedLoad()
    {
        QTemporaryDir dir;
        const auto backups
            = [&dir] { return QDir(dir.path()).entryList({ "*.bak" }, QDir::Files, QDir::Name); };
        const QByteArray stopped = Head + LineA + "\r\n" + LineB + "garbage\r\n";
        writeFile(dir.filePath(LogName), stopped);
        writeFile(dir.filePath("Mein_Verbrauch-2026-12-08-1.bak"), "older copy");
        Run r(dir.path());
        r.enter(QDate(2026, 3, 1), "1300,0");
        QCOMPARE(
            readAll(dir.filePath("Mein_Verbrauch-2026-12-08-1.bak")), QByteArray("older copy"));
        QCOMPARE(readAll(dir.filePath("Mein_Verbrauch-2026-12-08-2.bak")), stopped);
        QCOMPARE(r.t.services.boxes.size(), size_t(1));
        const QString told = r.t.services.boxes[0].text;
        QVERIFY2(told.contains("Ab Zeile 7") && told.contains("01.02.2026")
                && told.contains(
                    QDir::toNativeSeparators(dir.filePath("Mein_Verbrauch-2026-12-08-2.bak"))),
            qPrintable(told));
        const QByteArray saved = readAll(dir.filePath(LogName));
        QCOMPARE(saved, Head + LineA + "01.03.2026 |     1300,00 |   59 |   5,08\r\n");
        r.enter(QDate(2026, 4, 1), "1400,0");
        QCOMPARE(backups().size(), 2);
        QCOMPARE(r.t.services.boxes.size(), size_t(1)); // told once
        // A second start that stops again leaves a second backup beside.
        writeFile(dir.filePath(LogName), stopped);
        Run second(dir.path());
        second.enter(QDate(2026, 3, 1), "1300,0");
        QCOMPARE(backups().size(), 3);
        QCOMPARE(readAll(dir.filePath("Mein_Verbrauch-2026-12-08-3.bak")), stopped);
        // A clean load makes no copy, nor does the line of an empty log.
        Run clean(dir.path());
        clean.enter(QDate(2026, 5, 1), "1500,0");
        QCOMPARE(backups().size(), 3);
        QCOMPARE(gridRows(clean.f.StringGrid1).size(), 3);
        writeFile(dir.filePath(LogName), Head + EmptyLine);
        Run empty(dir.path());
        empty.enter(QDate(2026, 5, 1), "1500,0");
        QCOMPARE(backups().size(), 3);
    }

    // A save that cannot replace the file shows the error and keeps the
    // file whole. Root writes through permissions, so as root the run that
    // saves drops to an unprivileged user.
    void readOnlyFileKeptWhole()
    {
#ifndef Q_OS_UNIX
        QSKIP("needs POSIX permissions");
#else
        QTemporaryDir dir;
        const QString path = dir.filePath(LogName);
        writeFile(path, Example);
        chmod(qPrintable(dir.path()), 0555);
        chmod(qPrintable(path), 0444);
        const auto attempt = [&]() -> int {
            Run r(dir.path());
            r.enter(QDate(2026, 3, 1), "1300,0");
            // The row stays in the table; one error box names the file.
            const bool shown = r.t.services.boxes.size() == 1
                && r.t.services.boxes[0].icon == MsgIcon::Error
                && r.t.services.boxes[0].text.contains("Mein_Verbrauch.txt")
                && r.t.services.boxes[0].text.endsWith(": Zugriff verweigert.");
            return shown && gridRows(r.f.StringGrid1).size() == 3 && !r.f.lbl_Zahlung.visible() ? 0
                                                                                                : 1;
        };
        int status = 0;
        if (geteuid() == 0) {
            const pid_t child = fork();
            if (child == 0) {
                if (setgid(65534) != 0 || setuid(65534) != 0)
                    _exit(2);
                _exit(attempt());
            }
            int ws = 0;
            waitpid(child, &ws, 0);
            status = WIFEXITED(ws) ? WEXITSTATUS(ws) : 3;
        } else {
            status = attempt();
        }
        chmod(qPrintable(dir.path()), 0755);
        QCOMPARE(status, 0);
        QCOMPARE(readAll(path), Example);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList { LogName });
#endif
    }
};

QTEST_GUILESS_MAIN(TestConsumptionFile)
#include "tst_consumptionfile.moc"
