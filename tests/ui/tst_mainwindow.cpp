#include "fakeservices.h"
#include "formscript.h"
#include "keyboard.h"
#include "testfiles.h"
#include "ui/program.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace voltaris;
using namespace voltaris::test;

Q_DECLARE_METATYPE(voltaris::TFont)

namespace {

const QByteArray Log = "           Mein Verbrauch\r\n\r\n\r\n\r\n"
                       "01.01.2026 |     1000,00 |    0 |      0\r\n"
                       "01.02.2026 |     1155,50 |   31 |   5,02\r\n";

QByteArray contractFile(const QByteArray &date, const QByteArray &total)
{
    return contractLines(1, 3) + "        Ab " + date + ": Mein Strom (Tarif)\r\n"
        + contractLines(5, 9) + "  Gesamtpreis im Jahr: " + total + " EUR\r\n"
        + contractLines(11, 11);
}

// A program started in a folder with the given files, its window shown.
struct Run {
    QTemporaryDir dir;
    std::unique_ptr<TestApp> t;
    std::unique_ptr<TProgram> p;
    TForm1 *f = nullptr;

    explicit Run(const QByteArray &contract = {}, const QByteArray &log = {})
    {
        if (!contract.isEmpty())
            writeFile(dir.filePath(ContractName), contract);
        if (!log.isEmpty())
            writeFile(dir.filePath(LogName), log);
        t = std::make_unique<TestApp>();
        p = std::make_unique<TProgram>(t->app, dir.path());
        f = p->Form1.get();
        t->app.handle([&] { f->show(); });
    }
};

QStringList names(const std::vector<TWinControl *> &controls)
{
    QStringList out;
    for (const TWinControl *c : controls)
        out << c->name();
    return out;
}

void collect(TControl &c, const std::function<bool(TControl &)> &pick, QStringList &out)
{
    if (pick(c))
        out << c.name();
    for (TControl *child : c.children())
        collect(*child, pick, out);
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void startUp_data()
    {
        QTest::addColumn<QByteArray>("contract");
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<QStringList>("totals"); // Edit6, Edit7
        QTest::addColumn<QString>("reading");
        QTest::addColumn<QString>("error");
        QTest::newRow("neither file")
            << QByteArray() << QByteArray() << QStringList { "960,00", "80,00" } << "0,0"
            << "";
        QTest::newRow("both files") << contractFile("01.01.2017", "960,00") << Log
                                    << QStringList { "960,00", "80,00" } << "1155,5"
                                    << "";
        QTest::newRow("total 1234,5") << contractFile("01.01.2017", "1234,5") << QByteArray()
                                      << QStringList { "1234,50", "102,88" } << "0,0"
                                      << "";
        // The error is shown and the start-up goes on: the log is loaded.
        QTest::newRow("unreadable date") << contractFile("32.01.2017", "960,00") << Log
                                         << QStringList { "960,00", "80,00" } << "1155,5"
                                         << "'32.01.2017' is not a valid date.";
    }
    void startUp()
    {
        QFETCH(QByteArray, contract);
        QFETCH(QByteArray, log);
        QFETCH(QStringList, totals);
        QFETCH(QString, reading);
        QFETCH(QString, error);
        Run r(contract, log);
        TForm1 &f = *r.f;
        QCOMPARE(f.text(), QString(15, ' ') + "Voltaris 1.3");
        QCOMPARE((QStringList { f.Edit6.text(), f.Edit7.text() }), totals);
        QCOMPARE(f.Memo_Stand.text(), reading);
        QCOMPARE(int(r.t->services.boxes.size()), error.isEmpty() ? 0 : 1);
        if (!error.isEmpty()) {
            QCOMPARE(r.t->services.boxes[0].text, error);
            QCOMPARE(r.t->services.boxes[0].owner, &f); // over the main window
        }
        QCOMPARE(f.StringGrid1.cell(0, 0), QString("   Datum"));
        QCOMPARE(f.lbl_Stand.text(), QString("Zählerstand"));
        QCOMPARE(f.GroupBox2.text(), QString(" Verbrauch des Geräts "));
        QCOMPARE(f.dtp_Ablese.date(), r.t->services.todayDate);
        QCOMPARE(f.Edit7.color(), clr::Silver);
        QVERIFY(!f.btn_Save1.enabled() && !f.btn_Berechnen.enabled() && !f.Edit_Watt.enabled());
        for (const TLabel *l : { &f.lbl_Durch, &f.lbl_vSrednem, &f.lbl_kWTag, &f.lbl_Zahlung,
                 &f.lbl_Gut, &f.lbl_Nach, &f.LabelEUR })
            QVERIFY2(!l->visible(), qPrintable(l->name()));
        QVERIFY(f.Image1.visible());
        QCOMPARE(f.activeControl(), &f.Memo_Stand);
    }

    void tabCycle_data()
    {
        QTest::addColumn<bool>("switchedOff");
        QTest::addColumn<QStringList>("cycle");
        QTest::newRow("after start-up")
            << false << QStringList { "Memo_Stand", "Edit1", "Edit3", "Edit5" };
        QTest::newRow("contract locked")
            << true << QStringList { "Memo_Stand", "Edit_Watt", "Edit_Time", "btn_Berechnen" };
    }
    void tabCycle()
    {
        QFETCH(bool, switchedOff);
        QFETCH(QStringList, cycle);
        Run r;
        if (switchedOff)
            r.f->img_to_off.click();
        QCOMPARE(names(r.f->tabCycle()), cycle);
        // Tab walks it and wraps around.
        focus(r.f->Memo_Stand);
        for (int i = 1; i <= cycle.size(); ++i) {
            tab(*r.f);
            QCOMPARE(r.f->activeControl()->name(), cycle[i % cycle.size()]);
        }
    }

    // Enter in Memo_Stand enters the reading whatever the calculator's
    // state; elsewhere it goes to the default button while it is enabled.
    void enterKey_data()
    {
        QTest::addColumn<bool>("switchedOff");
        QTest::addColumn<QString>("focused");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("calculated");
        QTest::newRow("Memo_Stand, calculator locked") << false << "Memo_Stand" << 3 << false;
        QTest::newRow("Memo_Stand, calculator open") << true << "Memo_Stand" << 3 << false;
        QTest::newRow("Edit_Watt, calculator open") << true << "Edit_Watt" << 2 << true;
        QTest::newRow("Edit1, calculator locked") << false << "Edit1" << 2 << false;
    }
    void enterKey()
    {
        QFETCH(bool, switchedOff);
        QFETCH(QString, focused);
        QFETCH(int, rows);
        QFETCH(bool, calculated);
        Run r(QByteArray(), Log);
        if (switchedOff)
            r.f->img_to_off.click();
        focus(*static_cast<TWinControl *>(findControl(*r.f, focused)));
        pressKey(*r.f, vk::Return, QChar(13));
        QCOMPARE(r.f->StringGrid1.rowCount() - 1, rows);
        QCOMPARE(!r.f->Edit_Day.text().isEmpty(), calculated);
    }

    // Unsaved contract changes are asked about when the window closes.
    void closeQuestion_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<bool>("saveFails");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("saved");
        QTest::newRow("nothing changed") << false << MsgAnswer::Cancel << false << true << false;
        QTest::newRow("Ja") << true << MsgAnswer::Yes << false << true << true;
        QTest::newRow("Ja, the save fails") << true << MsgAnswer::Yes << true << false << false;
        QTest::newRow("Nein") << true << MsgAnswer::No << false << true << false;
        QTest::newRow("Abbrechen") << true << MsgAnswer::Cancel << false << false << false;
    }
    void closeQuestion()
    {
        QFETCH(bool, changed);
        QFETCH(MsgAnswer, answer);
        QFETCH(bool, saveFails);
        QFETCH(bool, closes);
        QFETCH(bool, saved);
        Run r;
        if (changed) {
            focus(r.f->Edit1);
            typeText(*r.f, "0");
        }
        if (saveFails)
            QVERIFY(QDir(r.dir.path()).mkdir(ContractName));
        r.t->services.answer = answer;
        QCOMPARE(r.f->userClose(), closes);
        QCOMPARE(r.f->visible(), !closes);
        QCOMPARE(int(r.t->services.boxes.size()), changed ? 1 : 0);
        if (changed) {
            QCOMPARE(r.t->services.boxes[0].text,
                QString("Der Vertrag wurde geändert. Änderungen speichern?"));
            QCOMPARE(r.t->services.boxes[0].caption, QString("Voltaris 1.3"));
        }
        QCOMPARE(QFileInfo(r.f->contractPath()).isFile(), saved);
    }

    void links()
    {
        Run r;
        r.f->Image1.click();
        r.f->lbl_Logo2.click();
        QCOMPARE(r.t->services.urls.size(), 2);
        QVERIFY(r.t->services.urls[0].startsWith("https://"));
        QVERIFY(r.t->services.urls[1].startsWith("file://"));
        // Not installed: the place it would be installed to.
        QVERIFY(r.t->services.urls[1].endsWith("/share/doc/voltaris/voltaris.html"));
        // Beside the program (a build tree): that page.
        const QString beside = QCoreApplication::applicationDirPath() + "/voltaris.html";
        QFile page(beside);
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.close();
        r.f->lbl_Logo1.click();
        page.remove();
        QCOMPARE(r.t->services.urls.value(2), QUrl::fromLocalFile(beside).toString());
        QVERIFY(r.t->services.boxes.empty());
    }

    // The hand cursor and the tooltips are on exactly the controls named.
    void cursorsAndHints()
    {
        Run r;
        QStringList hands, hints;
        collect(
            *r.f, [](TControl &c) { return c.cursor() == TCursor::HandPoint; }, hands);
        collect(
            *r.f, [](TControl &c) { return c.showHint() && !c.hint().isEmpty(); }, hints);
        hands.sort();
        hints.sort();
        QCOMPARE(hands,
            (QStringList { "Image1", "SpeedBtn_START", "btn_Berechnen", "btn_Info", "btn_Save1",
                "btn_Save2", "img_to_off", "img_to_on" }));
        QCOMPARE(hints,
            (QStringList { "Edit_Name", "Edit_Tarif", "SpeedBtn_START", "StringGrid1", "btn_Save1",
                "btn_Save2", "dtp_Ab" }));
    }

    // The fonts the window shows: family, pixel size, bold, colour.
    void fonts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<TFont>("font");
        const auto row = [](const char *name, const char *family, int size, bool bold,
                             TColor color = clr::WindowText) {
            QTest::newRow(name) << QString(name) << TFont { family, size, bold, color };
        };
        row("lbl_Logo1", "Arial", 32, false, clr::Red);
        row("lbl_Logo2", "Arial", 32, false, clr::Green);
        row("lbl_Logo3", "Arial", 32, false, clr::Blue);
        row("Edit_Name", "Arial", 17, true, clr::Blue);
        row("Edit_Tarif", "Arial", 17, false, clr::Blue);
        row("lbl_01", "Arial", 17, true);
        row("lbl_02", "Arial", 17, false);
        row("Edit1", "Courier New", 17, true, clr::Blue);
        row("lbl_kW1", "Arial", 15, false);
        row("lbl_Cent", "Arial", 15, true);
        row("dtp_Ab", "Arial", 15, true);
        row("lbl_Durch", "Arial", 17, false);
        row("lbl_Gut", "Arial", 17, true, clr::Green);
        row("lbl_Nach", "Arial", 17, true, clr::Red);
        row("dtp_Ablese", "Arial", 17, true);
        row("Memo_Stand", "Arial", 17, true, clr::White);
        row("btn_Save2", "Arial", 19, false);
        row("StringGrid1", "Courier New", 17, true);
        row("SpeedBtn_START", "Arial", 17, true, clr::Green);
        row("cmb_Time", "Courier New", 17, true, clr::Black);
        row("btn_Berechnen", "Arial", 19, false);
        row("Edit_Day", "Arial", 17, true, clr::Black);
        row("Edit_Year", "Arial", 17, true, clr::Black);
    }
    void fonts()
    {
        QFETCH(QString, name);
        QFETCH(TFont, font);
        Run r;
        const TControl *c = findControl(*r.f, name);
        QVERIFY(c);
        QCOMPARE(c->font().name, font.name);
        QCOMPARE(c->font().size, font.size);
        QCOMPARE(c->font().bold, font.bold);
        QCOMPARE(c->font().color, font.color);
    }

    // The width stays; the height follows the user.
    void resize()
    {
        Run r;
        r.f->userResized(700, 500);
        QCOMPARE(r.f->clientWidth(), 598);
        QCOMPARE(r.f->clientHeight(), 500);
    }
};

QTEST_GUILESS_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
