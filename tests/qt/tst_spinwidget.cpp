#include "fakeservices.h"
#include "qt/formview.h"
#include "qt/spinfloateditwidget.h"
#include "ui/FlEdit.h"
#include "ui/Spin.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <memory>

using namespace voltaris;
using namespace voltaris::test;

namespace {

// Memo_Stand as the main window has it, an edit to come from, and a default
// button that Enter must not reach.
struct SpinForm : TForm {
    TSpinFloatEdit Memo_Stand { this, QStringLiteral("Memo_Stand") };
    TEdit Edit1 { this, QStringLiteral("Edit1") };
    TBitBtn btn_Berechnen { this, QStringLiteral("btn_Berechnen") };
    int enterPresses = 0, clicks = 0;

    explicit SpinForm(TApplication &app)
        : TForm(app, QStringLiteral("Form1"))
    {
        setClientSize(300, 120);
        Memo_Stand.setBounds(128, 48, 115, 29);
        Memo_Stand.setMax(999999);
        Memo_Stand.setColor(clr::Black);
        Memo_Stand.setFont({ QStringLiteral("Arial"), 17, true, clr::White });
        Memo_Stand.OnEnterPress = [this](TControl &, QChar &) { ++enterPresses; };
        Edit1.setBounds(8, 8, 100, 21);
        Edit1.setTabOrder(1);
        btn_Berechnen.setBounds(8, 80, 80, 25);
        btn_Berechnen.setTabOrder(2);
        btn_Berechnen.isDefault = true;
        btn_Berechnen.OnClick = [this](TControl &) { ++clicks; };
    }
};

} // namespace

class TestSpinWidget : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void typing();
    void clipboard_data();
    void clipboard();
    void refusedExit();
    void arrowKeysAndEnter();
    void holdUpButton();
    void layout();
    void glyphs_data();
    void glyphs();

private:
    void focusMemo();
    std::unique_ptr<TestApp> t_;
    std::unique_ptr<SpinForm> form_;
    std::unique_ptr<FormView> view_;
    SpinFloatEditWidget *widget_ = nullptr;
    QLineEdit *line_ = nullptr;
};

void TestSpinWidget::init()
{
    t_ = std::make_unique<TestApp>();
    form_ = std::make_unique<SpinForm>(t_->app);
    view_ = std::make_unique<FormView>(
        *form_, nullptr, std::vector<WidgetFactory> { createSpinFloatEditWidget });
    t_->app.handle([&] { form_->show(); });
    QVERIFY(QTest::qWaitForWindowActive(view_.get()));
    widget_ = qobject_cast<SpinFloatEditWidget *>(view_->widgetFor(form_->Memo_Stand));
    QVERIFY(widget_);
    line_ = widget_->lineEdit();
}

void TestSpinWidget::cleanup()
{
    view_.reset();
    form_.reset();
    t_.reset();
}

void TestSpinWidget::focusMemo()
{
    t_->app.handle([&] { form_->setFocusTo(&form_->Edit1); });
    t_->app.handle([&] { form_->setFocusTo(&form_->Memo_Stand); });
    QTRY_VERIFY(line_->hasFocus());
}

void TestSpinWidget::typing()
{
    focusMemo();
    QCOMPARE(line_->selectedText(), QStringLiteral("0,0"));
    // The seventh digit and a second decimal are refused.
    QTest::keyClicks(line_, QStringLiteral("1234567,89"));
    QCOMPARE(line_->text(), QStringLiteral("123456,8"));
    QCOMPARE(double(form_->Memo_Stand.value()), 123456.8);
    // A caret moved by the user decides where the next character goes.
    QTest::keyClick(line_, Qt::Key_Home);
    QTest::keyClick(line_, Qt::Key_0);
    QCOMPARE(line_->text(), QStringLiteral("0123456,8"));
    QTest::keyClick(line_, Qt::Key_Escape);
    QCOMPARE(line_->text(), QStringLiteral("0,0"));
    QCOMPARE(line_->selectedText(), QStringLiteral("0,0"));
}

// Cut and paste with the keyboard work while the editor is enabled; a
// locked editor keeps its text and the clipboard.
void TestSpinWidget::clipboard_data()
{
    QTest::addColumn<bool>("editorEnabled");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("clipboard");
    QTest::newRow("paste") << true << int(Qt::Key_V) << "42,5"
                           << "42,5";
    QTest::newRow("cut") << true << int(Qt::Key_X) << ""
                         << "0,0";
    QTest::newRow("paste, editor locked") << false << int(Qt::Key_V) << "0,0"
                                          << "42,5";
    QTest::newRow("cut, editor locked") << false << int(Qt::Key_X) << "0,0"
                                        << "42,5";
}

void TestSpinWidget::clipboard()
{
    QFETCH(bool, editorEnabled);
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(QString, clipboard);
    t_->app.handle([&] { form_->Memo_Stand.setEditorEnabled(editorEnabled); });
    focusMemo();
    QApplication::clipboard()->setText(QStringLiteral("42,5"));
    line_->selectAll();
    QTest::keyClick(line_, Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(line_->text(), text);
    QCOMPARE(form_->Memo_Stand.text(), text);
    QCOMPARE(QApplication::clipboard()->text(), clipboard);
}

// A click into another field with no number pasted into the reading: the
// focus comes back to the reading, in the window too.
void TestSpinWidget::refusedExit()
{
    focusMemo();
    QApplication::clipboard()->setText(QStringLiteral("abc"));
    line_->selectAll();
    QTest::keyClick(line_, Qt::Key_V, Qt::ControlModifier);
    QWidget *edit1 = view_->widgetFor(form_->Edit1);
    QTest::mouseClick(edit1, Qt::LeftButton);
    QCOMPARE(form_->activeControl(), &form_->Memo_Stand);
    QTRY_VERIFY(line_->hasFocus());
    QVERIFY(!edit1->hasFocus());
}

void TestSpinWidget::arrowKeysAndEnter()
{
    t_->app.handle([&] { form_->Memo_Stand.setValue(5); });
    focusMemo();
    QTest::keyClick(line_, Qt::Key_Up);
    QCOMPARE(line_->text(), QStringLiteral("6,0"));
    QTest::keyClick(line_, Qt::Key_Down);
    QTest::keyClick(line_, Qt::Key_Down);
    QCOMPARE(line_->text(), QStringLiteral("4,0"));
    QTest::keyClick(line_, Qt::Key_Return);
    QCOMPARE(form_->enterPresses, 1);
    QCOMPARE(form_->clicks, 0);
}

void TestSpinWidget::holdUpButton()
{
    t_->app.handle([&] { form_->Memo_Stand.setValue(10); });
    t_->app.handle([&] { form_->setFocusTo(&form_->Edit1); });
    SpinArrowButton *up = widget_->upButton();
    const TTimer *repeat = up->model().autoRepeatTimer();
    const auto steps = [&] { return int(form_->Memo_Stand.value()) - 10; };
    QElapsedTimer held; // from before the press: the timer starts inside it
    held.start();
    QTest::mousePress(up, Qt::LeftButton, {}, up->rect().center());
    QTRY_VERIFY(line_->hasFocus()); // the press moves the focus to the edit
    QCOMPARE(form_->Memo_Stand.text(), QStringLiteral("10,0"));
    QVERIFY(repeat->enabled());
    QCOMPARE(repeat->interval(), 400);
    // One step after 400 ms, then every 100 ms. A busy machine only delays
    // the steps, so they are timed from below (a coarse timer may fire 5 %
    // early).
    QTRY_VERIFY_WITH_TIMEOUT(steps() >= 1, 20000);
    QVERIFY2(held.elapsed() >= 380, qPrintable(QString::number(held.elapsed())));
    QCOMPARE(repeat->interval(), 100);
    QTRY_VERIFY_WITH_TIMEOUT(steps() >= 5, 20000);
    QVERIFY2(held.elapsed() >= 760, qPrintable(QString::number(held.elapsed())));
    const int before = steps();
    QTest::mouseRelease(up, Qt::LeftButton, {}, up->rect().center());
    QCOMPARE(steps(), before + 1); // once more on release
    // And no more: the timer is off, and a tick still under way steps nothing.
    QVERIFY(!repeat->enabled());
    t_->app.handle([&] { up->model().repeatTick(); });
    QCOMPARE(steps(), before + 1);
}

void TestSpinWidget::layout()
{
    // Arial 17 px fits the 29 pixels, so nothing grows; the pair sits at
    // (95, 0) of the client area, inside the 2-pixel border.
    QCOMPARE(form_->Memo_Stand.height(), 29);
    QCOMPARE(widget_->upButton()->geometry(), QRect(97, 2, 15, 12));
    QCOMPARE(widget_->downButton()->geometry(), QRect(97, 13, 15, 13));
    // The right-aligned text ends by the text area's end (client 94), clear
    // of the buttons.
    line_->setCursorPosition(int(line_->text().size()));
    const int textEnd = line_->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
    QVERIFY2(textEnd >= 90 && textEnd <= 96, qPrintable(QString::number(textEnd)));
}

void TestSpinWidget::glyphs_data()
{
    QTest::addColumn<bool>("up");
    QTest::newRow("SpinUp") << true;
    QTest::newRow("SpinDown") << false;
}

void TestSpinWidget::glyphs()
{
    QFETCH(bool, up);
    SpinArrowButton *b = up ? widget_->upButton() : widget_->downButton();
    const QImage image = b->grab().toImage();
    const QPoint origin((b->width() - 9) / 2, (b->height() - 6) / 2);
    QList<int> widths;
    for (int y = origin.y(); y < origin.y() + 6; ++y) {
        int black = 0;
        for (int x = origin.x(); x < origin.x() + 9; ++x)
            black += qGray(image.pixel(x, y)) < 40;
        widths << black;
    }
    QCOMPARE(widths, up ? QList<int>({ 0, 1, 3, 5, 7, 0 }) : QList<int>({ 0, 7, 5, 3, 1, 0 }));
}

QTEST_MAIN(TestSpinWidget)
#include "tst_spinwidget.moc"
