#include "fakeservices.h"
#include "keyboard.h"
#include "testfiles.h"
#include "ui/program.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

using namespace voltaris;
using namespace voltaris::test;

namespace {

// A program started in `dir`, as a new run of the program there.
struct Run {
    explicit Run(const QString &dir, FormatSettings s = FormatSettings::german())
        : t(s)
        , p(t.app, dir)
    { }
    TestApp t;
    TProgram p;
    TForm1 &f() { return *p.Form1; }
};

const QStringList FieldNames
    = { "Edit_Name", "Edit_Tarif", "Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit6", "Edit7" };

TEdit &edit(TForm1 &f, const QString &name)
{
    TEdit *fields[] = { &f.Edit_Name, &f.Edit_Tarif, &f.Edit1, &f.Edit2, &f.Edit3, &f.Edit4,
        &f.Edit5, &f.Edit6, &f.Edit7 };
    return *fields[FieldNames.indexOf(name)];
}

// "Edit1=3650" or "dtp_Ab=01.02.2018" applied to the form.
void apply(TForm1 &f, const QStringList &assignments)
{
    for (const QString &a : assignments) {
        const QString name = a.section('=', 0, 0), value = a.section('=', 1);
        if (name == "dtp_Ab")
            f.dtp_Ab.setDate(QDate::fromString(value, "dd.MM.yyyy"));
        else
            edit(f, name).setText(value);
    }
}

// The contract as "name=text" pairs, with the expected changes applied.
QStringList contract(TForm1 &f, const QStringList &changes = {})
{
    QStringList out { "dtp_Ab=" + f.dtp_Ab.date().toString("dd.MM.yyyy") };
    for (const QString &n : FieldNames)
        out << n + "=" + edit(f, n).text();
    for (const QString &c : changes)
        for (QString &o : out)
            if (o.section('=', 0, 0) == c.section('=', 0, 0))
                o = c;
    return out;
}

} // namespace

class TestContractFile : public QObject {
    Q_OBJECT
private slots:
    // Another program writes the contract file while the window is open:
    // without unsaved changes the window reads it again; with them, the
    // save asks, and Nein keeps the other program's file.
    void followsTheFile_data()
    {
        QTest::addColumn<bool>("unsaved");
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<QString>("edit1"); // shown afterwards
        QTest::addColumn<QString>("onDisk"); // Edit1 of the file afterwards
        QTest::newRow("no unsaved changes: read again") << false << MsgAnswer::Yes << "4000"
                                                        << "4000";
        QTest::newRow("unsaved, Ja: saved") << true << MsgAnswer::Yes << "5000"
                                            << "5000";
        QTest::newRow("unsaved, Nein: the file stays") << true << MsgAnswer::No << "5000"
                                                       << "4000";
    }
    void followsTheFile()
    {
        QFETCH(bool, unsaved);
        QFETCH(MsgAnswer, answer);
        QFETCH(QString, edit1);
        QFETCH(QString, onDisk);
        QTemporaryDir dir;
        const QString path = dir.filePath(ContractName);
        writeFile(path, ContractExample);
        Run r(dir.path());
        if (unsaved)
            r.f().Edit1.setText("5000");
        writeFile(
            dir.filePath("copy"), QByteArray(ContractExample).replace(" 3650 kW", " 4000 kW"));
        QVERIFY(
            QFile::rename(path, dir.filePath("old")) && QFile::rename(dir.filePath("copy"), path));
        r.f().FilesChangedOnDisk();
        r.t.services.answer = answer;
        if (unsaved)
            r.f().btn_Save1.click();
        QCOMPARE(r.f().Edit1.text(), edit1);
        QCOMPARE(r.p.Form2->visible(), answer == MsgAnswer::Yes);
        QCOMPARE(r.p.Form2->Label1.text(),
            unsaved ? QString("Erfolgreich in \"Mein_Vertrag\" gespeichert!")
                    : QString("Neu aus \"Mein_Vertrag\" gelesen!"));
        QCOMPARE(r.f().btn_Save1.enabled(), answer == MsgAnswer::No);
        QCOMPARE(int(r.t.services.boxes.size()), unsaved ? 1 : 0);
        if (unsaved)
            QCOMPARE(r.t.services.boxes[0].text,
                QString("Mein_Vertrag.dat wurde inzwischen von einem anderen Programm geändert. "
                        "Ihre Änderungen trotzdem speichern?"));
        Run again(dir.path());
        QCOMPARE(again.f().Edit1.text(), onDisk);
    }

    void writesTheExample()
    {
        QTemporaryDir dir;
        Run r(dir.path());
        focus(r.f().Edit1);
        clearField(r.f());
        typeText(r.f(), "3650");
        QVERIFY(r.f().btn_Save1.enabled());
        r.f().btn_Save1.click();
        QCOMPARE(ContractExample.size(), 435);
        QCOMPARE(readAll(r.f().contractPath()), ContractExample);
        QVERIFY(!r.f().btn_Save1.enabled());
        QVERIFY(r.p.Form2->visible());
    }

    // Save, start again, read: the fields come back as the reader gives them.
    void roundTrip_data()
    {
        QTest::addColumn<bool>("pointWriter"); // written where the separator is a point
        QTest::addColumn<QStringList>("set");
        QTest::addColumn<QStringList>("back");
        QTest::newRow("values typed and derived")
            << false
            << QStringList { "Edit_Name=Stadtwerke Süd", "Edit_Tarif=Öko-Strom 24",
                   "dtp_Ab=29.02.2024", "Edit1=3000", "Edit2=8,22", "Edit3=94,80", "Edit4=7,90",
                   "Edit5=27,35", "Edit6=915,30", "Edit7=76,28" }
            << QStringList {};
        QTest::newRow("total normalised, monthly derived")
            << false << QStringList { "Edit6=1234,5", "Edit7=99" }
            << QStringList { "Edit6=1234,50", "Edit7=102,88" };
        QTest::newRow("empty field, lone separator")
            << false << QStringList { "Edit5=", "Edit1=," } << QStringList {};
        QTest::newRow("characters outside the code page")
            << false << QStringList { "Edit_Name=Énergie €uro", "Edit_Tarif=Łódź – grün" }
            << QStringList { "Edit_Tarif=?ód? – grün" };
        QTest::newRow("supplier with (")
            << false << QStringList { "Edit_Name=Stadtwerke (Nord)", "Edit_Tarif=Öko" }
            << QStringList { "Edit_Name=Stadtwerke", "Edit_Tarif=Nord" };
        QTest::newRow("tariff with )")
            << false << QStringList { "Edit_Tarif=Öko) Plus" } << QStringList { "Edit_Tarif=Öko" };
        QTest::newRow("blanks at the ends")
            << false << QStringList { "Edit_Name=  Mein Strom ", "Edit_Tarif= Öko " }
            << QStringList { "Edit_Name=Mein Strom" };
        QTest::newRow("pasted text") << false << QStringList { "Edit3=84 EUR", "Edit4=abc" }
                                     << QStringList { "Edit3=84", "Edit4=" };
        // Written on a desktop with the decimal point: converted.
        QTest::newRow("point as separator, converted")
            << true << QStringList { "Edit2=10.00", "Edit6=960.50" }
            << QStringList { "Edit2=10,00", "Edit6=960,50", "Edit7=80,04" };
        QTest::newRow("line break pasted into a name keeps the layout")
            << false << QStringList { "Edit_Name=Mein\nStrom" }
            << QStringList { "Edit_Name=Mein?Strom" };
    }
    void roundTrip()
    {
        QFETCH(bool, pointWriter);
        QFETCH(QStringList, set);
        QFETCH(QStringList, back);
        QTemporaryDir dir;
        FormatSettings writer = FormatSettings::german();
        if (pointWriter)
            writer.decimalSeparator = '.';
        QStringList expected;
        {
            Run r(dir.path(), writer);
            apply(r.f(), set);
            QVERIFY(r.f().WriteContract());
            expected = contract(r.f(), back);
        }
        Run again(dir.path());
        QCOMPARE(contract(again.f()), expected);
        QVERIFY(!again.f().btn_Save1.enabled());
        QVERIFY(again.t.services.boxes.empty());
    }

    // Characters the file cannot hold become "?" only when the user agrees.
    void outsideTheCodePage_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("saved with ?") << true;
        QTest::newRow("left unsaved") << false;
    }
    void outsideTheCodePage()
    {
        QFETCH(bool, yes);
        QTemporaryDir dir;
        Run r(dir.path());
        r.t.services.answer = yes ? MsgAnswer::Yes : MsgAnswer::No;
        r.f().Edit_Name.setText("Łódź ⁶ 😀😀 Grün €");
        QCOMPARE(r.f().WriteContract(), yes);
        QCOMPARE(r.t.services.boxes.size(), 1u);
        QVERIFY(r.t.services.boxes.front().text.contains(": Ł ź ⁶ 😀\n"));
        QCOMPARE(readAll(r.f().contractPath()).contains(": ?\xF3\x64? ? ?? Gr\xFCn \x80 ("), yes);
    }

    // The reader alone on files it did not write.
    void reader_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("changes");
        const QStringList all = { "Edit2=10,00", "Edit6=960,00", "Edit7=80,00" };
        QByteArray lf = ContractExample;
        QTest::newRow("LF only") << lf.replace("\r\n", "\n") << all;
        QTest::newRow("lone CR dropped")
            << contractLines(1, 8) + "    Strompreis (1 kW): 2\r5 Cent\r\n" + contractLines(10, 13)
            << (QStringList(all) << "Edit5=25");
        QTest::newRow("Ctrl+Z ends the file")
            << contractLines(1, 9) + "\x1a  Gesamtpreis im Jahr: 1 EUR\r\n"
            << QStringList { "Edit2=10,00" };
        QTest::newRow("extra lines after line 11") << contractLines(1, 11)
                + "  Gesamtpreis im Jahr: 1 EUR\r\nStromkosten monatlich: 2 EUR\r\n"
                                                   << all;
        QTest::newRow("empty file") << QByteArray() << QStringList {};
        QTest::newRow("three lines") << contractLines(1, 3) << QStringList {};
        QTest::newRow("ends after line 4, no line end")
            << contractLines(1, 3) + "        Ab 15.03.2020: Anbieter (Tarif)"
            << QStringList { "dtp_Ab=15.03.2020", "Edit_Name=Anbieter", "Edit_Tarif=Tarif" };
        QTest::newRow("truncated in a label")
            << contractLines(1, 6) + "     Jahresgrund" << QStringList { "Edit2=10,00", "Edit3=" };
        QTest::newRow("truncated in a value") << contractLines(1, 6) + "     Jahresgrundpreis: 8"
                                              << QStringList { "Edit2=10,00", "Edit3=8" };
        QTest::newRow("line 4 without (") << contractLines(1, 3)
                + "        Ab 01.01.2017: Nur ein Name \t\r\n" + contractLines(5, 13)
                                          << (QStringList(all) << "Edit_Name=Nur ein Name"
                                                               << "Edit_Tarif=");
        QTest::newRow("line 4 ends after the date") << contractLines(1, 3)
                + "        Ab 01.01.2017\r\n" << QStringList { "Edit_Name=", "Edit_Tarif=" };
        QTest::newRow("no supplier, only the tariff")
            << contractLines(1, 3) + "        Ab 01.01.2017: (Nur Tarif)\r\n"
            << QStringList { "Edit_Name=", "Edit_Tarif=Nur Tarif" };
        QTest::newRow("tariff without )")
            << contractLines(1, 3) + "        Ab 01.01.2017: Gr\xFCn (offen \r\n"
            << QStringList { "Edit_Name=Grün", "Edit_Tarif=offen " };
        QTest::newRow("value line of 23 characters, label one longer")
            << contractLines(1, 4) + "      Jahresverbrauch: \r\n        Tagesverbrauch: 10 kW\r\n"
            << QStringList { "Edit1=", "Edit2=" };
    }
    void reader()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, changes);
        QTemporaryDir dir;
        Run r(dir.path());
        const QStringList expected = contract(r.f(), changes);
        writeFile(r.f().contractPath(), file);
        r.f().btn_Save1.setEnabled(true);
        r.f().ReadContract();
        QCOMPARE(contract(r.f()), expected);
        QVERIFY(!r.f().btn_Save1.enabled());
    }

    // Errors reach the start-up's error display; the contract keeps its
    // design values and the start-up goes on: the log is loaded, the
    // calculator locked. The first save keeps the unreadable file.
    void startUpErrors_data()
    {
        QTest::addColumn<QByteArray>("line4"); // empty: the file is a directory
        QTest::addColumn<QString>("message");
        QTest::newRow("no date in any order")
            << QByteArray("        Ab 2017-13-45: A (B)") << "'2017-13-45' is not a valid date.";
        QTest::newRow("short date") << QByteArray("        Ab 1.1") << "'1.1' is not a valid date.";
        QTest::newRow("file cannot be read")
            << QByteArray()
            << "Mein_Vertrag.dat\" kann nicht gelesen werden: An ihrer Stelle steht ein Ordner.";
    }
    void startUpErrors()
    {
        QFETCH(QByteArray, line4);
        QFETCH(QString, message);
        QTemporaryDir dir;
        if (line4.isEmpty())
            QVERIFY(QDir(dir.path()).mkdir(ContractName));
        else
            writeFile(dir.filePath(ContractName),
                "\r\n\r\n\r\n" + line4 + "\r\n" + ContractExample.mid(102));
        const QByteArray log = "           Mein Verbrauch\r\n\r\n\r\n\r\n"
                               "01.01.2026 |     1000,00 |    0 |      0\r\n";
        writeFile(dir.filePath(LogName), log);
        const QByteArray unreadable = readAll(dir.filePath(ContractName));
        Run r(dir.path());
        QCOMPARE(r.t.services.boxes.size(), size_t(1));
        QCOMPARE(r.t.services.boxes[0].caption, QString("Voltaris 1.3"));
        QCOMPARE(r.t.services.boxes[0].icon, MsgIcon::Error);
        QVERIFY2(
            r.t.services.boxes[0].text.contains(message), qPrintable(r.t.services.boxes[0].text));
        QCOMPARE(r.f().Edit_Name.text(), QString("Mein Strom"));
        QCOMPARE(r.f().Edit1.text(), QString("3650"));
        QCOMPARE(r.f().Edit6.text(), QString("960,00"));
        QCOMPARE(r.f().StringGrid1.cell(1, 1), QString("1000,00"));
        QCOMPARE(r.f().Memo_Stand.text(), QString("1000,0"));
        QVERIFY(!r.f().Edit_Watt.enabled() && !r.f().btn_Save1.enabled());
        r.f().Edit1.setText("4000");
        const bool saved = r.f().WriteContract();
        QCOMPARE(saved, !line4.isEmpty()); // a directory cannot be replaced
        if (saved) {
            const QString backup = dir.filePath("Mein_Vertrag-2026-12-08-1.bak");
            QCOMPARE(readAll(backup), unreadable);
            QVERIFY(r.t.services.boxes.back().text.contains(QDir::toNativeSeparators(backup)));
            r.f().WriteContract(); // a second save keeps the first copy, and no other
            QCOMPARE(readAll(backup), unreadable);
            QCOMPARE(QDir(dir.path()).entryList({ "*.bak" }).size(), 1);
        }
    }

    // A failed save keeps the old file whole, shows nothing and leaves the
    // button enabled. The tests run as root in CI, where permissions do not
    // stop writes: the failures are made real by a file size limit (the
    // disk full), a directory in the file's place and a folder that is a file.
    void failedSave_data()
    {
        QTest::addColumn<QString>("cause");
        for (const char *c : { "disk full", "directory in the file's place", "folder is a file",
                 "folder without write permission" })
            QTest::newRow(c) << QString(c);
    }
    void failedSave()
    {
        QFETCH(QString, cause);
        QTemporaryDir tmp;
        QString dataDir = tmp.path();
        if (cause == "folder is a file") {
            dataDir = tmp.filePath("plain");
            writeFile(dataDir, "x");
        } else if (cause == "directory in the file's place") {
            QVERIFY(QDir(dataDir).mkdir(ContractName));
        } else {
            writeFile(tmp.filePath(ContractName), ContractExample);
        }
#ifdef Q_OS_UNIX
        if (cause == "folder without write permission") {
            if (geteuid() == 0)
                QSKIP("root writes into read-only folders");
            QFile::setPermissions(dataDir, QFile::ReadOwner | QFile::ExeOwner);
        }
#endif
        const QStringList before = QDir(dataDir).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
        Run r(dataDir);
        r.t.services.clear();
        r.f().Edit1.setText("4000");
        bool written = true;
#ifdef Q_OS_UNIX
        rlimit old {};
        if (cause == "disk full") {
            std::signal(SIGXFSZ, SIG_IGN);
            getrlimit(RLIMIT_FSIZE, &old);
            rlimit small = old;
            small.rlim_cur = 100;
            setrlimit(RLIMIT_FSIZE, &small);
        }
        written = r.f().WriteContract();
        if (cause == "disk full")
            setrlimit(RLIMIT_FSIZE, &old);
#else
        if (cause == "disk full")
            QSKIP("needs a file size limit");
        written = r.f().WriteContract();
#endif
        QFile::setPermissions(dataDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!written);
        QVERIFY(r.f().btn_Save1.enabled());
        QVERIFY(!r.p.Form2->visible());
        QVERIFY(r.t.services.boxes.empty());
        QCOMPARE(QDir(dataDir).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), before);
        if (cause == "disk full") {
            QCOMPARE(readAll(r.f().contractPath()), ContractExample);
            r.f().btn_Save1.click(); // the space is back
            QVERIFY(readAll(r.f().contractPath()).contains("Jahresverbrauch: 4000 kW"));
            QVERIFY(!r.f().btn_Save1.enabled());
        }
    }
};

QTEST_GUILESS_MAIN(TestContractFile)
#include "tst_contractfile.moc"
