// The contract group recomputing while the user types and leaves fields.
#include "fakeservices.h"
#include "formscript.h"
#include "ui/program.h"

#include <QTemporaryDir>
#include <QTest>

using namespace voltaris;
using namespace voltaris::test;

namespace {
// Colour numbers as the window shows them.
const QString White = QStringLiteral("16777215");
const QString Yellow = QStringLiteral("65535");
const QString Rose = QStringLiteral("14540287");
const QString Blue = QStringLiteral("16711680");
const QString Red = QStringLiteral("255");
const QString Silver = QStringLiteral("12632256");
const QString DarkGrey = QStringLiteral("5329233");
} // namespace

class TestTariff : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void typing_data();
    void typing();
    void conversionErrorStopsAtItsStep();
    void pointSeparatorSystem();
};

void TestTariff::typing_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("expected");

    QTest::newRow("start-up shows two decimals")
        << ""
        << "Edit6=960,00;Edit7=80,00;Edit7.color=" + Silver + ";Edit1=3650";
    QTest::newRow("shift in Edit1 recomputes the defaults")
        << "focus:Edit1;key:shift"
        << "Edit2=10,00;Edit6=960,00;Edit7=80,00;Edit7.color=" + Yellow + ";Edit1.font=" + Blue;
    QTest::newRow("3000 kWh, 94,80 base, 27,35 cent")
        << "focus:Edit3;clear;type:94,8;focus:Edit5;clear;type:27,35;focus:Edit1;clear;type:3000"
        << "Edit2=8,22;Edit6=915,30;Edit7=76,28";
    QTest::newRow("per-day mode, 10 kWh a day")
        << "click:rdb_02;focus:Edit2;clear;type:10"
        << "Edit1=3650,00;Edit6=960,00;Edit7=80,00;Edit2.enabled=1;Edit1.enabled=0;"
           "Edit1.color="
            + Silver + ";Edit1.font=" + DarkGrey + ";lbl_02.bold=1;lbl_01.bold=0";
    QTest::newRow("per-month mode, 7,9 a month")
        << "click:rdb_04;focus:Edit4;clear;type:7,9"
        << "Edit3=94,80;Edit6=970,80;Edit7=80,90;Edit4.color=" + White + ";lbl_04.bold=1";
    QTest::newRow("100 base per year") << "focus:Edit3;clear;type:100"
                                       << "Edit4=8,33;Edit6=976,00;Edit7=81,33";
    QTest::newRow("emptied Edit1 copies the base prices") << "focus:Edit1;clear"
                                                          << "Edit2=0;Edit6=84;Edit7=7";
    QTest::newRow("leaving an emptied Edit1 puts 3650 back")
        << "focus:Edit1;clear;focus:Edit5"
        << "Edit1=3650;Edit2=10;Edit1.font=" + Red + ";Edit6=960,00;Edit7=80,00";
    QTest::newRow("emptied Edit3 drops the base price") << "focus:Edit1;key:shift;focus:Edit3;clear"
                                                        << "Edit4=0;Edit6=876,00;Edit7=73,00";
    QTest::newRow("leaving an emptied Edit3 right after start-up")
        << "focus:Edit3;clear;focus:Edit5"
        << "Edit3=84,00;Edit4=7,00;Edit6=960,00;Edit7=80,00";
    QTest::newRow("leaving an emptied Edit3 puts 84 and 7 back")
        << "focus:Edit1;key:shift;focus:Edit3;clear;focus:Edit5"
        << "Edit3=84,00;Edit4=7,00;Edit3.font=" + Red + ";Edit4.font=" + Blue
            + ";Edit6=960,00;Edit7=80,00";
    QTest::newRow("emptied Edit4 in per-month mode")
        << "focus:Edit1;key:shift;click:rdb_04;focus:Edit4;clear"
        << "Edit3=0;Edit6=876,00;Edit7=73,00";
    QTest::newRow("a price of 2 only colours the field")
        << "focus:Edit5;clear;type:2"
        << "Edit5.color=" + Rose + ";Edit5.font=" + Red + ";Edit6=960,00;Edit7=80,00";
    QTest::newRow("then 4 makes 24 and recomputes")
        << "focus:Edit5;clear;type:24"
        << "Edit5.color=" + White + ";Edit5.font=" + Blue + ";Edit6=960,00;Edit7.color=" + Yellow;
    QTest::newRow("15 is still too low while typing") << "focus:Edit5;clear;type:15"
                                                      << "Edit5.color=" + Rose + ";Edit6=960,00";
    QTest::newRow("15,1 recomputes") << "focus:Edit5;clear;type:15,1"
                                     << "Edit5.color=" + White + ";Edit6=635,15;Edit7=52,93";
    QTest::newRow("leaving Edit5 with 1,5 warns and keeps the focus")
        << "focus:Edit5;clear;type:1,5;focus:Edit1"
        << "boxes=1;focus=Edit5;Edit5.font=" + Red + ";Edit6=138,75;Edit7=11,56";
    QTest::newRow("leaving Edit5 with 10 computes quietly")
        << "focus:Edit5;clear;type:10;focus:Edit1"
        << "boxes=0;focus=Edit1;Edit5.font=" + Blue + ";Edit5.color=" + Rose
            + ";Edit6=449,00;Edit7=37,42";
    QTest::newRow("leaving an emptied Edit5 puts the default price back")
        << "focus:Edit5;clear;focus:Edit1"
        << "Edit5=22,134;Edit5.font=" + Red + ";Edit6=891,89;Edit7=74,32";
    QTest::newRow("emptied Edit2 in per-day mode puts nothing back")
        << "click:rdb_02;focus:Edit2;clear;focus:Edit3"
        << "Edit1=0;Edit2=";
    QTest::newRow("a lone separator is zero") << "focus:Edit1;clear;type:,"
                                              << "Edit1=,;Edit2=0,00;Edit6=84,00;Edit7=7,00";
    QTest::newRow("the filter refuses signs, points, letters, a second comma")
        << "focus:Edit1;clear;type:-1.2a,5,x"
        << "Edit1=12,5;Edit2=0,03";
    QTest::newRow("Tab into a field runs its key release")
        << "focus:Edit1;clear;type:1000;focus:Edit3;clear;type:20;focus:Edit1;tab"
        << "focus=Edit3;Edit4=1,67;Edit6=260,00";
}

void TestTariff::typing()
{
    QFETCH(QString, script);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    TestApp t;
    TProgram program(t.app, dir.path());
    play(*program.Form1, script);
    const QString wrong = check(*program.Form1, t.services, expected);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
}

void TestTariff::conversionErrorStopsAtItsStep()
{
    QTemporaryDir dir;
    TestApp t;
    TProgram program(t.app, dir.path());
    TForm1 &f = *program.Form1;
    play(f, "set:Edit5=;focus:Edit1;clear;type:2000");

    // Steps before the failing conversion of Edit5 stay done.
    QCOMPARE(f.Edit7.color(), clr::Yellow);
    QCOMPARE(f.Edit1.font().color, clr::Blue);
    QCOMPARE(double(f.ConsumptionPerYear), 2000.0);
    QCOMPARE(double(f.BasePricePerYear), 84.0);
    QCOMPARE(f.Edit2.text(), QStringLiteral("0")); // from the emptied branch before typing
    QCOMPARE(f.Edit6.text(), QStringLiteral("84"));
    // One error box per key release, captioned with the title.
    QCOMPARE(t.services.boxes.size(), size_t(4));
    const ShownBox &box = t.services.boxes.back();
    QCOMPARE(box.caption, QStringLiteral("Voltaris 1.3"));
    QCOMPARE(box.text, QStringLiteral("'' is not a valid floating point value."));
    QCOMPARE(box.icon, MsgIcon::Error);
    // The window stays usable: a valid price recomputes again.
    play(f, "focus:Edit5;type:20");
    QCOMPARE(f.Edit6.text(), QStringLiteral("484,00"));
}

void TestTariff::pointSeparatorSystem()
{
    QTemporaryDir dir;
    TestApp t(FormatSettings::english());
    TProgram program(t.app, dir.path());
    TForm1 &f = *program.Form1;
    play(f, "focus:Edit5;clear;type:2,7.5;focus:Edit1");
    QCOMPARE(f.Edit5.text(), QStringLiteral("27.5"));
    QCOMPARE(f.Edit6.text(), QStringLiteral("1087.75"));
    play(f, "focus:Edit5;clear;focus:Edit1");
    QCOMPARE(f.Edit5.text(), QStringLiteral("22.134"));
}

QTEST_GUILESS_MAIN(TestTariff)
#include "tst_tariff.moc"
