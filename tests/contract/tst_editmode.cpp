#include "fakeservices.h"
#include "keyboard.h"
#include "ui/program.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace voltaris;
using namespace voltaris::test;

namespace {

struct Run {
    QTemporaryDir dir;
    TestApp t;
    TProgram p { t.app, dir.path() };
    TForm1 &f = *p.Form1;
};

QStringList texts(TForm1 &f)
{
    QStringList out;
    for (const TEdit *e : { &f.Edit_Name, &f.Edit_Tarif, &f.Edit1, &f.Edit2, &f.Edit3, &f.Edit4,
             &f.Edit5, &f.Edit6, &f.Edit7, &f.Edit_Watt, &f.Edit_Time })
        out << e->text();
    return out << f.dtp_Ab.date().toString() << f.cmb_Time.text();
}

void expectState(const TControl &c, bool enabled, TColor color)
{
    QVERIFY2(c.enabled() == enabled, qPrintable(c.name()));
    QVERIFY2(c.color() == color, qPrintable(c.name()));
}

} // namespace

class TestEditMode : public QObject {
    Q_OBJECT
private slots:
    // The Save button shows unsaved changes, whatever the switch does.
    void saveButton_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("saved");
        QTest::newRow("start") << QStringList {} << false << false;
        QTest::newRow("switching only") << QStringList { "off", "on", "off" } << false << false;
        QTest::newRow("same text, same date") << QStringList { "same" } << false << false;
        QTest::newRow("typed") << QStringList { "type" } << true << false;
        QTest::newRow("typed, locked") << QStringList { "type", "off" } << true << false;
        QTest::newRow("typed, locked, saved")
            << QStringList { "type", "off", "save" } << false << true;
        QTest::newRow("name typed") << QStringList { "name" } << true << false;
        QTest::newRow("date picked") << QStringList { "date" } << true << false;
        QTest::newRow("saved, changed again")
            << QStringList { "date", "save", "on", "type" } << true << true;
    }
    void saveButton()
    {
        QFETCH(QStringList, steps);
        QFETCH(bool, enabled);
        QFETCH(bool, saved);
        Run r;
        TForm1 &f = r.f;
        for (const QString &s : steps) {
            if (s == "off")
                f.img_to_off.click();
            else if (s == "on")
                f.img_to_on.click();
            else if (s == "save")
                f.btn_Save1.click();
            else if (s == "date")
                f.dtp_Ab.userPicked(QDate(2018, 5, 1));
            else if (s == "same") {
                f.Edit1.setText(f.Edit1.text());
                f.dtp_Ab.userPicked(f.dtp_Ab.date());
            } else {
                focus(s == "name" ? f.Edit_Name : f.Edit1);
                typeText(f, "5");
            }
        }
        QCOMPARE(f.btn_Save1.enabled(), enabled);
        QCOMPARE(QFile::exists(f.contractPath()), saved);
    }

    // Switching on puts both pairs back into their per-year modes, running a
    // radio button's handler only when it was unchecked.
    void switchOnRestoresPairs_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<quint32>("edit1Font");
        QTest::addColumn<quint32>("edit3Font");
        QTest::newRow("per day") << "rdb_02" << clr::Blue << clr::Red;
        QTest::newRow("per month") << "rdb_04" << clr::Red << clr::Blue;
        QTest::newRow("per year already: no handler") << "" << clr::Red << clr::Red;
    }
    void switchOnRestoresPairs()
    {
        QFETCH(QString, chosen);
        QFETCH(quint32, edit1Font);
        QFETCH(quint32, edit3Font);
        Run r;
        TForm1 &f = r.f;
        // Red as after a default put back; only a handler makes it blue.
        f.Edit1.setFontColor(clr::Red);
        f.Edit3.setFontColor(clr::Red);
        if (chosen == "rdb_02")
            f.rdb_02.click();
        if (chosen == "rdb_04")
            f.rdb_04.click();
        f.img_to_off.click();
        f.img_to_on.click();
        QVERIFY(f.rdb_01.checked() && !f.rdb_02.checked());
        QVERIFY(f.rdb_03.checked() && !f.rdb_04.checked());
        QCOMPARE(f.Edit1.font().color, edit1Font);
        QCOMPARE(f.Edit3.font().color, edit3Font);
        for (const TLabel *l : { &f.lbl_01, &f.lbl_03 })
            QVERIFY(l->font().bold);
        for (const TLabel *l : { &f.lbl_02, &f.lbl_04 })
            QVERIFY(!l->font().bold);
        for (const TEdit *e : { &f.Edit1, &f.Edit3 })
            expectState(*e, true, clr::White);
        for (const TEdit *e : { &f.Edit2, &f.Edit4 })
            expectState(*e, false, clr::Silver);
        if (chosen == "rdb_02")
            QCOMPARE(f.Edit2.font().color, clr::DarkGrey);
    }

    void switchOffAndOn()
    {
        Run r;
        TForm1 &f = r.f;
        focus(f.Edit1);
        clearField(f);
        f.img_to_off.click();
        // Leaving the emptied field put its default back.
        QCOMPARE(f.Edit1.text(), QString("3650"));
        QCOMPARE(f.activeControl(), &f.Edit_Watt);
        QVERIFY(!f.img_On.visible() && f.img_Off.visible());
        for (const TControl *c : std::initializer_list<const TControl *> { &f.Edit1, &f.Edit2,
                 &f.Edit3, &f.Edit4, &f.Edit5, &f.Edit_Name, &f.Edit_Tarif, &f.dtp_Ab })
            expectState(*c, false, clr::Silver);
        for (const TRadioButton *b : { &f.rdb_01, &f.rdb_02, &f.rdb_03, &f.rdb_04 })
            QVERIFY(!b->enabled());
        QVERIFY(f.rdb_01.checked() && f.rdb_03.checked());
        QCOMPARE(f.Edit7.color(), clr::Silver);
        for (const TControl *c :
            std::initializer_list<const TControl *> { &f.Edit_Watt, &f.Edit_Time, &f.cmb_Time })
            expectState(*c, true, clr::White);
        QVERIFY(!f.cmb_Time.tabStop());
        QVERIFY(f.btn_Berechnen.enabled() && f.dtp_Time.enabled());

        // A calculation colours the result by its unit; the switch greys it again.
        f.btn_Berechnen.click();
        QVERIFY(f.Edit_Day.color() != clr::Silver && f.Edit_Year.color() != clr::Silver);
        const QStringList before = texts(f);
        f.img_to_on.click();
        QCOMPARE(texts(f), before);
        QCOMPARE(f.activeControl(), &f.Edit1);
        QVERIFY(f.img_On.visible() && !f.img_Off.visible());
        for (const TControl *c : std::initializer_list<const TControl *> {
                 &f.Edit1, &f.Edit3, &f.Edit5, &f.Edit_Name, &f.Edit_Tarif, &f.dtp_Ab })
            expectState(*c, true, clr::White);
        QCOMPARE(f.Edit7.color(), clr::Silver);
        for (const TControl *c :
            std::initializer_list<const TControl *> { &f.Edit_Watt, &f.Edit_Time, &f.cmb_Time })
            expectState(*c, false, clr::Silver);
        QVERIFY(f.cmb_Time.tabStop());
        QVERIFY(!f.btn_Berechnen.enabled() && !f.dtp_Time.enabled());
        QCOMPARE(f.Edit_Day.color(), clr::Silver);
        QCOMPARE(f.Edit_Year.color(), clr::Silver);
    }
};

QTEST_GUILESS_MAIN(TestEditMode)
#include "tst_editmode.moc"
