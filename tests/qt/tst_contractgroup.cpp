// The contract group on the real widgets: typing, focus changes, colours and
// the warning box.
#include "fakeservices.h"
#include "modal.h"
#include "qt/formview.h"
#include "qt/qtservices.h"
#include "ui/program.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace voltaris;
using namespace voltaris::test;

class TestContractGroup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void typingRecomputes();
    void perDayMode();
    void lowPriceWarnsOnLeaving();
    void pastedTextShowsTheError();
    void realWarningBoxInTheFocusChange();

private:
    QLineEdit *edit(const TControl &c) { return qobject_cast<QLineEdit *>(view->widgetFor(c)); }
    QColor base(const TControl &c) { return edit(c)->palette().color(QPalette::Base); }
    QColor text(const TControl &c) { return edit(c)->palette().color(QPalette::Text); }
    void focusByTab(const TControl &c)
    {
        // Tab from wherever the focus is until it reaches the field.
        for (int i = 0; i < 10 && !edit(c)->hasFocus(); ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(edit(c)->hasFocus());
    }

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<TestApp> t;
    std::unique_ptr<TProgram> program;
    std::unique_ptr<FormView> view;
};

void TestContractGroup::init()
{
    dir = std::make_unique<QTemporaryDir>();
    t = std::make_unique<TestApp>();
    program = std::make_unique<TProgram>(t->app, dir->path());
    view = std::make_unique<FormView>(*program->Form1);
    program->Form1->show();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    view->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(view.get()));
}

void TestContractGroup::cleanup()
{
    view.reset();
    program.reset();
    t.reset();
    dir.reset();
}

void TestContractGroup::typingRecomputes()
{
    TForm1 &f = *program->Form1;
    QTest::mouseClick(edit(f.Edit1), Qt::LeftButton);
    edit(f.Edit1)->selectAll();
    QTest::keyClicks(edit(f.Edit1), QStringLiteral("3x0.0-0"));
    QCOMPARE(edit(f.Edit1)->text(), QStringLiteral("3000"));
    QCOMPARE(f.Edit1.text(), QStringLiteral("3000"));
    QCOMPARE(edit(f.Edit2)->text(), QStringLiteral("8,22"));
    QCOMPARE(edit(f.Edit6)->text(), QStringLiteral("804,00"));
    QCOMPARE(edit(f.Edit7)->text(), QStringLiteral("67,00"));
    QCOMPARE(base(f.Edit7), QColor(255, 255, 0));
    QCOMPARE(text(f.Edit1), QColor(0, 0, 255));
    // Tab into Edit3: its key release recomputes there too.
    QTest::keyClick(edit(f.Edit1), Qt::Key_Tab);
    QVERIFY(edit(f.Edit3)->hasFocus());
    QTest::keyClick(edit(f.Edit3), Qt::Key_Backspace);
    QTest::keyClick(edit(f.Edit3), Qt::Key_Backspace);
    QCOMPARE(edit(f.Edit4)->text(), QStringLiteral("0"));
    QCOMPARE(edit(f.Edit6)->text(), QStringLiteral("720,00"));
    QTest::keyClick(edit(f.Edit3), Qt::Key_Tab);
    QCOMPARE(edit(f.Edit3)->text(), QStringLiteral("84,00"));
    QCOMPARE(text(f.Edit3), QColor(255, 0, 0));
    QCOMPARE(f.TotalPerYear, 804.0L);
}

void TestContractGroup::perDayMode()
{
    TForm1 &f = *program->Form1;
    QTest::mouseClick(view->widgetFor(f.rdb_02), Qt::LeftButton);
    QVERIFY(f.rdb_02.checked());
    QVERIFY(!f.rdb_01.checked());
    QVERIFY(edit(f.Edit2)->isEnabled());
    QVERIFY(!edit(f.Edit1)->isEnabled());
    QCOMPARE(base(f.Edit1), QColor(192, 192, 192));
    QTest::mouseClick(edit(f.Edit2), Qt::LeftButton);
    edit(f.Edit2)->selectAll();
    QTest::keyClicks(edit(f.Edit2), QStringLiteral("12,5"));
    QCOMPARE(edit(f.Edit1)->text(), QStringLiteral("4562,50"));
    QCOMPARE(edit(f.Edit6)->text(), QStringLiteral("1179,00"));
    QCOMPARE(edit(f.Edit7)->text(), QStringLiteral("98,25"));
}

void TestContractGroup::lowPriceWarnsOnLeaving()
{
    TForm1 &f = *program->Form1;
    focusByTab(f.Edit5);
    edit(f.Edit5)->selectAll();
    QTest::keyClicks(edit(f.Edit5), QStringLiteral("1,5"));
    QCOMPARE(base(f.Edit5), QColor(255, 221, 221));
    QCOMPARE(text(f.Edit5), QColor(255, 0, 0));
    QCOMPARE(edit(f.Edit6)->text(), QStringLiteral("960,00")); // not followed while typing
    QTest::mouseClick(edit(f.Edit1), Qt::LeftButton);
    QCOMPARE(t->services.boxes.size(), size_t(1));
    QCOMPARE(t->services.boxes[0].caption, QStringLiteral("Achtung!"));
    QCOMPARE(t->services.boxes[0].text, QStringLiteral("Bitte in Cent eingeben! €/100=Cent"));
    QCOMPARE(t->services.boxes[0].icon, MsgIcon::Warning);
    QTRY_VERIFY(edit(f.Edit5)->hasFocus());
    QCOMPARE(f.activeControl(), &f.Edit5);
    QCOMPARE(edit(f.Edit6)->text(), QStringLiteral("138,75"));
    QCOMPARE(edit(f.Edit7)->text(), QStringLiteral("11,56"));
}

void TestContractGroup::pastedTextShowsTheError()
{
    TForm1 &f = *program->Form1;
    QTest::mouseClick(edit(f.Edit1), Qt::LeftButton);
    edit(f.Edit1)->selectAll();
    edit(f.Edit1)->insert(QStringLiteral("12a")); // as the context menu's paste does
    QCOMPARE(f.Edit1.text(), QStringLiteral("12a"));
    QTest::keyClick(edit(f.Edit1), Qt::Key_Shift);
    QCOMPARE(t->services.boxes.size(), size_t(1));
    QCOMPARE(
        t->services.boxes[0].text, QStringLiteral("'12a' is not a valid floating point value."));
    QCOMPARE(t->services.boxes[0].icon, MsgIcon::Error);
    // The window goes on working.
    edit(f.Edit1)->selectAll();
    QTest::keyClicks(edit(f.Edit1), QStringLiteral("365"));
    QCOMPARE(edit(f.Edit2)->text(), QStringLiteral("1,00"));
}

// The real modal box, opened while the focus moves, closed by the user.
void TestContractGroup::realWarningBoxInTheFocusChange()
{
    cleanup();
    dir = std::make_unique<QTemporaryDir>();
    QtServices services;
    TApplication app(services, FormatSettings::german());
    TProgram prog(app, dir->path());
    FormView mainView(*prog.Form1);
    services.windowOf = [&](TForm *) { return &mainView; };
    prog.Form1->show();
    QVERIFY(QTest::qWaitForWindowExposed(&mainView));
    auto *e5 = qobject_cast<QLineEdit *>(mainView.widgetFor(prog.Form1->Edit5));
    auto *e1 = qobject_cast<QLineEdit *>(mainView.widgetFor(prog.Form1->Edit1));
    QTest::mouseClick(e5, Qt::LeftButton);
    e5->selectAll();
    QTest::keyClicks(e5, QStringLiteral("1"));
    QString shown;
    ModalAnswer warning("QMessageBox", [&](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        shown = box->windowTitle() + QLatin1Char('|') + box->text();
        box->button(QMessageBox::Ok)->click();
    });
    QTest::mouseClick(e1, Qt::LeftButton);
    VERIFY_ANSWERED(warning);
    QCOMPARE(shown, QStringLiteral("Achtung!|Bitte in Cent eingeben! €/100=Cent"));
    mainView.activateWindow();
    QTRY_VERIFY(e5->hasFocus());
    QCOMPARE(prog.Form1->activeControl(), &prog.Form1->Edit5);
    QCOMPARE(prog.Form1->Edit6.text(), QStringLiteral("120,50"));
}

QTEST_MAIN(TestContractGroup)
#include "tst_contractgroup.moc"
