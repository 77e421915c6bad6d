// The appliance calculator on the real widgets: opened by the switch, typed
// into, calculated by Enter through the default button.
#include "fakeservices.h"
#include "qt/formview.h"
#include "ui/program.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace voltaris;
using namespace voltaris::test;

class TestApplianceWidgets : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void switchTypeEnter();
};

void TestApplianceWidgets::switchTypeEnter()
{
    QTemporaryDir dir;
    TestApp t;
    TProgram program(t.app, dir.path());
    TForm1 &f = *program.Form1;
    FormView view(f);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&view));
    const auto edit
        = [&](const TControl &c) { return qobject_cast<QLineEdit *>(view.widgetFor(c)); };
    const auto base
        = [&](const TControl &c) { return view.widgetFor(c)->palette().color(QPalette::Base); };
    auto *combo = qobject_cast<QComboBox *>(view.widgetFor(f.cmb_Time));
    auto *unitLabel = qobject_cast<QLabel *>(view.widgetFor(f.lbl_EUR5));
    QVERIFY(edit(f.Edit_Watt) && edit(f.Edit_Time) && edit(f.Edit_Day) && combo && unitLabel);

    // Locked at start: Enter in a contract field calculates nothing.
    QVERIFY(!edit(f.Edit_Watt)->isEnabled());
    QTest::mouseClick(edit(f.Edit1), Qt::LeftButton);
    QTest::keyClick(edit(f.Edit1), Qt::Key_Return);
    QCOMPARE(edit(f.Edit_Day)->text(), QString());
    QTest::mouseClick(view.widgetFor(f.img_to_off), Qt::LeftButton);
    QVERIFY(view.widgetFor(f.btn_Berechnen)->isEnabled());
    QTRY_VERIFY(edit(f.Edit_Watt)->hasFocus());
    QCOMPARE(base(f.Edit_Watt), QColor(255, 255, 255));

    edit(f.Edit_Watt)->selectAll();
    QTest::keyClicks(edit(f.Edit_Watt), QStringLiteral("10-x0"));
    QCOMPARE(f.Edit_Watt.text(), QStringLiteral("100"));
    QTest::keyClick(edit(f.Edit_Watt), Qt::Key_Tab);
    QTRY_VERIFY(edit(f.Edit_Time)->hasFocus());
    edit(f.Edit_Time)->selectAll();
    QTest::keyClicks(edit(f.Edit_Time), QStringLiteral("2x,"));
    QCOMPARE(edit(f.Edit_Time)->text(), QStringLiteral("2"));
    QTest::keyClick(edit(f.Edit_Time), Qt::Key_Return);
    QCOMPARE(edit(f.Edit_Day)->text(), QStringLiteral("0,05"));
    QCOMPARE(unitLabel->text(), QStringLiteral("€"));
    QCOMPARE(edit(f.Edit_Year)->text(), QStringLiteral("17,52"));
    QCOMPARE(base(f.Edit_Day), QColor(255, 255, 0));
    QCOMPARE(base(f.cmb_Time), QColor(128, 255, 128));

    // Minutes picked from the list, Enter again in the power field.
    combo->setCurrentIndex(1);
    QCOMPARE(f.cmb_Time.text(), QStringLiteral("Min."));
    QTest::mouseClick(edit(f.Edit_Watt), Qt::LeftButton);
    QTest::keyClick(edit(f.Edit_Watt), Qt::Key_Return);
    QCOMPARE(edit(f.Edit_Day)->text(), QStringLiteral("0,080"));
    QCOMPARE(unitLabel->text(), QStringLiteral("Ct."));
    QCOMPARE(edit(f.Edit_Year)->text(), QStringLiteral("0,29"));
    QCOMPARE(base(f.cmb_Time), QColor(255, 255, 128));
    QVERIFY(t.services.boxes.empty());
}

QTEST_MAIN(TestApplianceWidgets)
#include "tst_appliancewidgets.moc"
