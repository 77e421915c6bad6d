#include "core/meters.h"
#include "fakeservices.h"
#include "meterlog/meterlogfile.h"
#include "testfiles.h"
#include "ui/program.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace voltaris;
using namespace voltaris::test;

namespace {

const QByteArray Head = "           Mein Verbrauch\r\n"
                        "________________________________________\r\n"
                        "     Datum | Z\xE4hlerstand | Tage | kW/Tag\r\n"
                        "===========|=============|======|=======\r\n";
const QByteArray Main = Head + "01.01.2026 |     5000,00 |    0 |      0\r\n";
const QByteArray Two = Head
    + "01.01.2026 |     1000,00 |    0 |      0\r\n"
      "01.02.2026 |     1155,50 |   31 |   5,02\r\n";
const QByteArray Other = Head + "01.01.2026 |      300,00 |    0 |      0\r\n";

const QString HeatPump = QStringLiteral("Mein_Verbrauch_Waermepumpe.txt");
const QString Wallbox = QStringLiteral("Mein_Verbrauch_Wallbox.txt");
const QString MetersName = QStringLiteral("Meine_Zaehler.txt");

Meter meter(const QString &name, MeterKind kind)
{
    Meter m;
    m.name = name;
    m.kind = kind;
    m.fileKey = meterFileKey(name);
    return m;
}

Meters twoMeters(MeterKind first = MeterKind::OwnContract)
{
    Meter heat = meter(QStringLiteral("Wärmepumpe"), first);
    heat.contract = { "Wärmestrom", "WP", QDate(2026, 1, 1), 120, 20, 50 };
    heat.price = 8.2L;
    heat.solar.start = QDate(2025, 6, 1);
    return { { heat, meter(QStringLiteral("Wallbox"), MeterKind::SubMeter) } };
}

// As another program replaces a file: a new one under the old name.
void replaceFile(const QString &path, const QByteArray &bytes)
{
    writeFile(path + ".neu", bytes);
    QFile::remove(path);
    QVERIFY(QFile::rename(path + ".neu", path));
}

// Services that answer the meters' dialog as the test says.
struct MeterServices : FakeServices {
    std::function<bool(MetersInput &)> meters;
    int meterDialogs = 0;
    bool editMeters(TForm *, MetersInput &input) override
    {
        ++meterDialogs;
        return meters && meters(input);
    }
};

// A household of three meters, its files written before the start.
struct Run {
    explicit Run(const Meters &m = twoMeters())
    {
        writeFile(dir.filePath(LogName), Main);
        writeFile(dir.filePath(HeatPump), Two);
        writeFile(dir.filePath(Wallbox), Other);
        if (!m.empty())
            writeFile(dir.filePath(MetersName), metersFileBytes(m));
        p.emplace(app, dir.path());
    }
    QTemporaryDir dir;
    MeterServices services;
    TApplication app { services, FormatSettings::german() };
    std::optional<TProgram> p;
    TForm1 &f() { return *p->Form1; }
    QByteArray file(const QString &name) const { return readAll(dir.filePath(name)); }
    void enter(QDate date, const QString &reading)
    {
        f().dtp_Ablese.setDate(date);
        f().Memo_Stand.setText(reading);
        f().btn_Save2.click();
    }
};

} // namespace

class TestFurtherMeters : public QObject {
    Q_OBJECT
private slots:
    // A further meter's log is read when it is first shown, not at start.
    void readWhenShown()
    {
        Run r;
        QVERIFY(!r.f().LogFiles.at(1)->loaded);
        QCOMPARE(gridRows(r.f().StringGrid1), QStringList { "01.01.2026|5000,00|0|0" });
        r.f().ShowMeter(1);
        QCOMPARE(r.f().GroupBox3.text(), QString(" Mein Verbrauch: Wärmepumpe "));
        QCOMPARE(gridRows(r.f().StringGrid1).size(), 2);
        QCOMPARE(r.f().Memo_Stand.text(), QString("1155,5"));
        QVERIFY(!r.f().LogFiles.at(2)->loaded);
        r.f().ShowMeter(0);
        QCOMPARE(r.f().GroupBox3.text(), QString(" Mein Verbrauch "));
        QVERIFY(!r.f().lbl_vSrednem.visible());
    }

    // Each change of the shown further meter's log writes its file alone.
    void changesItsFileOnly_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("rows");
        const QString a = "01.01.2026|1000,00|0|0", b = "01.02.2026|1155,50|31|5,02";
        QTest::newRow("entry") << "entry" << QStringList { a, b, "01.03.2026|1300,00|28|5,16" };
        QTest::newRow("removal") << "removal" << QStringList { a };
        QTest::newRow("import") << "import" << QStringList { a, b, "15.02.2026|1230,00|14|5,32" };
        QTest::newRow("undo") << "undo" << QStringList { a, b };
    }
    void changesItsFileOnly()
    {
        QFETCH(QString, change);
        QFETCH(QStringList, rows);
        Run r;
        const QByteArray main = r.file(LogName), wallbox = r.file(Wallbox),
                         meters = r.file(MetersName);
        r.f().ShowMeter(1);
        if (change == "entry")
            r.enter(QDate(2026, 3, 1), "1300,0");
        if (change == "removal" || change == "undo") {
            r.f().StringGrid1.userSelected(2);
            r.f().Delete1.click();
        }
        if (change == "undo")
            r.f().Undo1->click();
        if (change == "import") {
            r.services.openPath = r.dir.filePath("import.csv");
            writeFile(r.services.openPath, "Datum;Stand\r\n15.02.2026;1230\r\n");
            r.f().Import1->click();
        }
        QCOMPARE(gridRows(r.f().StringGrid1), rows);
        // What the table holds is what its file holds; the others are as
        // they were.
        TProgram again(r.app, r.dir.path());
        again.Form1->ShowMeter(1);
        QCOMPARE(gridRows(again.Form1->StringGrid1), rows);
        QCOMPARE(r.file(LogName), main);
        QCOMPARE(r.file(Wallbox), wallbox);
        QCOMPARE(r.file(MetersName), meters);
        QVERIFY(!QFile::exists(r.dir.filePath(MeterChangesName)));
    }

    // Another program replaces a further meter's log while another meter is
    // shown: an entry there leaves it, and showing it shows the new file.
    void replacedWhileAnotherShown()
    {
        Run r;
        r.f().ShowMeter(1);
        r.f().ShowMeter(2);
        const QByteArray replaced = Head + "01.01.2026 |     2000,00 |    0 |      0\r\n";
        replaceFile(r.dir.filePath(HeatPump), replaced);
        r.enter(QDate(2026, 2, 1), "350,0");
        QCOMPARE(r.file(HeatPump), replaced);
        QCOMPARE(r.f().householdInput().further.at(0).readings.front().kwh, 2000.0L);
        r.f().ShowMeter(1);
        QCOMPARE(gridRows(r.f().StringGrid1), QStringList { "01.01.2026|2000,00|0|0" });
    }

    // Panel4 of a further meter, worked by hand: 155,5 kWh in 31 days
    // (5,02 kWh a day), the main contract from 1 January at 24 cent.
    void panel_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("amount");
        // 600 € paid − 120 € − 5,0161 × 365 × 0,20 €.
        QTest::newRow("own contract") << int(MeterKind::OwnContract) << "Guthaben wird ca. "
                                      << "113,82";
        QTest::newRow("sub-meter") << int(MeterKind::SubMeter) << "Kosten bisher:"
                                   << "37,32";
        QTest::newRow("feed-in") << int(MeterKind::FeedIn) << "Vergütung bisher:"
                                 << "12,75";
        QTest::newRow("night register") << int(MeterKind::LowTariff) << "Kosten bisher:"
                                        << "12,75";
        QTest::newRow("solar") << int(MeterKind::Solar) << ""
                               << "";
    }
    void panel()
    {
        QFETCH(int, kind);
        QFETCH(QString, caption);
        QFETCH(QString, amount);
        Run r(twoMeters(MeterKind(kind)));
        r.enter(QDate(2026, 2, 1), "5310"); // the main meter's figures: 10 kWh a day
        r.f().ShowMeter(1);
        TForm1 &f = r.f();
        QVERIFY(f.lbl_vSrednem.visible());
        QCOMPARE(f.lbl_vSrednem.text(), QString("5,02"));
        const TLabel *shown = f.lbl_Gut.visible() ? &f.lbl_Gut
            : f.lbl_Nach.visible()                ? &f.lbl_Nach
                                                  : nullptr;
        QCOMPARE(shown ? shown->text() : QString(), caption);
        QCOMPARE(f.lbl_Zahlung.visible() ? f.lbl_Zahlung.text() : QString(), amount);
        // The main meter's figures and captions come back with it.
        f.ShowMeter(0);
        QCOMPARE(f.lbl_Gut.text(), QString("Guthaben wird ca. "));
        QCOMPARE(f.lbl_Nach.text(), QString("Nachzahlung ca."));
        QVERIFY(f.lbl_vSrednem.visible());
        QCOMPARE(f.lbl_vSrednem.text(), QString("10,00"));
    }

    // The meters' file is never written over a line it cannot read, nor over
    // another program's change made while the dialog was open; with the main
    // meter alone and nothing added, no file is made.
    void metersFileKept_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("unreadable line") << "unreadable";
        QTest::newRow("changed meanwhile") << "changed";
        QTest::newRow("main meter alone") << "alone";
    }
    void metersFileKept()
    {
        QFETCH(QString, how);
        Run r(how == "alone" ? Meters {} : twoMeters());
        const QString path = r.dir.filePath(MetersName);
        QByteArray expected = r.file(MetersName);
        if (how == "unreadable") {
            expected += "Unsinn\r\n";
            writeFile(path, expected);
        }
        r.services.meters = [&](MetersInput &input) {
            if (how == "changed") {
                expected = metersFileBytes(twoMeters(MeterKind::FeedIn));
                replaceFile(path, expected);
            }
            if (how != "alone")
                input.meters.further.push_back(meter("Garage", MeterKind::SubMeter));
            return true;
        };
        r.f().Zaehler1->click();
        QCOMPARE(r.services.meterDialogs, how == "unreadable" ? 0 : 1);
        QCOMPARE(QFile::exists(path), how != "alone");
        QCOMPARE(r.file(MetersName), expected);
        QCOMPARE(r.services.boxes.size(), how == "alone" ? size_t(0) : size_t(1));
    }

    // Ctrl+PgDown and Ctrl+PgUp show the next and the previous meter from
    // any control; another program's change of the meters' file is followed
    // (the meter shown gone: the main meter is shown).
    void keysAndFollowedFile()
    {
        Run r;
        TForm1 &f = r.f();
        const TShiftState ctrl { false, true, false };
        for (TWinControl *c :
            std::initializer_list<TWinControl *> { &f.StringGrid1, &f.Memo_Stand, &f.dtp_Ablese }) {
            f.setFocusTo(c);
            QVERIFY(f.userKeyDown(34, ctrl));
        }
        QCOMPARE(f.ShownLog, 0); // three meters: round once
        QVERIFY(f.userKeyDown(33, ctrl));
        QCOMPARE(f.GroupBox3.text(), QString(" Mein Verbrauch: Wallbox "));
        QVERIFY(f.userKeyDown(33, ctrl));
        QCOMPARE(f.ShownLog, 1);
        Meters rest = twoMeters();
        rest.further.erase(rest.further.begin());
        replaceFile(r.dir.filePath(MetersName), metersFileBytes(rest));
        f.FilesChangedOnDisk();
        QCOMPARE(f.ShownLog, 0);
        QCOMPARE(f.Logs.size(), size_t(2));
        QCOMPARE(f.GroupBox3.text(), QString(" Mein Verbrauch "));
        QCOMPARE(gridRows(f.StringGrid1), QStringList { "01.01.2026|5000,00|0|0" });
    }

    // A meter removed keeps its file; added again, it takes it up.
    void removedAndAddedAgain()
    {
        Run r;
        r.f().ShowMeter(1);
        r.services.meters = [](MetersInput &input) {
            input.meters.further.erase(input.meters.further.begin());
            return true;
        };
        r.f().Zaehler1->click();
        QCOMPARE(r.f().ShownLog, 0);
        QCOMPARE(r.f().GroupBox3.text(), QString(" Mein Verbrauch "));
        QCOMPARE(r.file(HeatPump), Two);
        r.services.meters = [](MetersInput &input) {
            Meter m;
            m.name = "Wärmepumpe";
            input.meters.further.push_back(m);
            return true;
        };
        r.f().Zaehler1->click();
        r.f().ShowMeter(2);
        QCOMPARE(r.f().GroupBox3.text(), QString(" Mein Verbrauch: Wärmepumpe "));
        QCOMPARE(gridRows(r.f().StringGrid1).size(), 2);
    }

    // The group's chooser lists the meters while there are further ones and
    // follows the meter shown, however it was chosen.
    void chooser()
    {
        Run r;
        TComboBox &c = r.f().cmb_Zaehler;
        QVERIFY(c.visible() && c.showHint());
        QCOMPARE(c.items(), (QStringList { "Hauptzähler", "Wärmepumpe", "Wallbox" }));
        QCOMPARE(c.text(), QString("Hauptzähler"));
        c.userEdited("Wallbox");
        QCOMPARE(r.f().GroupBox3.text(), QString(" Mein Verbrauch: Wallbox "));
        r.services.meters = [](MetersInput &input) {
            input.meters.further[0].name = "WP";
            return true;
        };
        r.f().Zaehler1->click();
        QCOMPARE(c.items(), (QStringList { "Hauptzähler", "WP", "Wallbox" }));
        QCOMPARE(c.text(), QString("Wallbox"));
        r.services.meters = [](MetersInput &input) {
            input.meters.further.clear();
            return true;
        };
        r.f().Zaehler1->click();
        QVERIFY(!c.visible() && !c.showHint());
        QCOMPARE(c.text(), QString("Hauptzähler"));
    }
};

QTEST_GUILESS_MAIN(TestFurtherMeters)
#include "tst_furthermeters.moc"
