#include "common/errors.h"
#include "fakeservices.h"
#include "keyboard.h"
#include "ui/FlEdit.h"
#include "ui/Spin.h"
#include "ui/form.h"

#include <QTest>

using namespace voltaris;
using namespace voltaris::test;

namespace {

// Memo_Stand as the main window sets it up, beside a second edit.
struct Window {
    TestApp t;
    TForm form { t.app, QStringLiteral("Form1") };
    TSpinFloatEdit edit { &form, QStringLiteral("Memo_Stand") };
    TEdit other { &form, QStringLiteral("Edit1") };
    Window()
    {
        edit.setMax(999999);
        edit.setBounds(128, 48, 115, 29);
        edit.ErrorMessage = QStringLiteral("Fehler");
        form.show();
        form.setFocusTo(&other); // each test brings the focus in itself
    }
    void press(int key, QChar ch = QChar()) { pressKey(form, key, ch); }
    TTimerSpeedButton &up() { return *edit.spinButton()->ButtonUp(); }
    int boxes() const { return int(t.services.boxes.size()); }
};

// An edit's text with its selection in brackets, or its caret as "|".
QString marked(const TEdit &e)
{
    QString t = e.text();
    if (e.selLength() == 0)
        return t.insert(e.selStart(), u'|');
    return t.insert(e.selStart() + e.selLength(), u']').insert(e.selStart(), u'[');
}

void setMarked(TEdit &e, QString m)
{
    const qsizetype open = m.indexOf(u'['), caret = m.indexOf(u'|');
    const qsizetype length = open >= 0 ? m.indexOf(u']') - open - 1 : 0;
    e.setText(QString(m).remove(u'[').remove(u']').remove(u'|'));
    e.setSelection(int(open >= 0 ? open : caret), int(length));
}

void click(TTimerSpeedButton &b)
{
    b.mouseDown(TMouseButton::Left);
    b.mouseUp(TMouseButton::Left, true);
}

} // namespace

class TestSpinFloatEdit : public QObject {
    Q_OBJECT
private slots:
    void keyFilter_data()
    {
        QTest::addColumn<int>("digits");
        QTest::addColumn<double>("min");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("after");
        QTest::newRow("separator into empty") << 1 << 0.0 << "|"
                                              << ","
                                              << "0,[0]";
        QTest::newRow("separator over all") << 1 << 0.0 << "[123,4]"
                                            << ","
                                            << "0,[0]";
        QTest::newRow("digit after 0,0") << 1 << 0.0 << "0,[0]"
                                         << "5"
                                         << "0,5|";
        QTest::newRow("minus into empty") << 1 << 0.0 << "|"
                                          << "-"
                                          << "-[0]";
        QTest::newRow("negative, Min 0") << 1 << 0.0 << "-[0]"
                                         << "1"
                                         << "-[0]";
        QTest::newRow("negative, Min -10") << 1 << -10.0 << "-[0]"
                                           << "5"
                                           << "-5|";
        QTest::newRow("second decimal") << 1 << 0.0 << "12,3|"
                                        << "4"
                                        << "12,3|";
        QTest::newRow("Digits 0 separator") << 0 << 0.0 << "12|"
                                            << ","
                                            << "12|";
        QTest::newRow("Digits 0 into empty") << 0 << 0.0 << "|"
                                             << ","
                                             << "0,[0]";
        QTest::newRow("sixth digit") << 1 << 0.0 << "12345|"
                                     << "6"
                                     << "123456|";
        QTest::newRow("seventh digit") << 1 << 0.0 << "123456|"
                                       << "7"
                                       << "123456|";
        QTest::newRow("Min 10 refuses 1") << 1 << 10.0 << "|"
                                          << "1"
                                          << "|";
        QTest::newRow("upper-case E") << 1 << 0.0 << "1|5"
                                      << "E"
                                      << "1|5";
        QTest::newRow("1e5 from 15") << 1 << 0.0 << "1|5"
                                     << "e"
                                     << "1e|5";
        QTest::newRow("e at the end") << 1 << 0.0 << "15|"
                                      << "e"
                                      << "15|";
        QTest::newRow("e skips decimals") << 1 << 0.0 << "1,2|5"
                                          << "e"
                                          << "1,2e|5";
        QTest::newRow("point") << 1 << 0.0 << "12|"
                               << "."
                               << "12|";
        QTest::newRow("letter") << 1 << 0.0 << "12|"
                                << "a"
                                << "12|";
        QTest::newRow("blank") << 1 << 0.0 << "12|"
                               << " "
                               << "12|";
        QTest::newRow("replaces selection") << 1 << 0.0 << "[12],3"
                                            << "5"
                                            << "5|,3";
        QTest::newRow("Backspace") << 1 << 0.0 << "12,3|"
                                   << "\b"
                                   << "12,|";
    }
    void keyFilter()
    {
        QFETCH(int, digits);
        QFETCH(double, min);
        QFETCH(QString, before);
        QFETCH(QString, typed);
        Window w;
        w.edit.setDigits(digits);
        w.edit.setMin(min);
        w.form.setFocusTo(&w.edit);
        setMarked(w.edit, before);
        typeText(w.form, typed);
        QTEST(marked(w.edit), "after");
    }

    void enterAndEscape_data()
    {
        QTest::addColumn<bool>("editorEnabled");
        QTest::addColumn<QString>("typedText");
        QTest::newRow("editor enabled") << true << "3";
        QTest::newRow("editor disabled") << false << "12,0";
    }
    void enterAndEscape()
    {
        QFETCH(bool, editorEnabled);
        Window w;
        TBitBtn ok(&w.form, QStringLiteral("btn_Berechnen"));
        ok.isDefault = true;
        int clicks = 0, enters = 0;
        ok.OnClick = [&](TControl &) { ++clicks; };
        QString seen; // what OnKeyPress saw, "0" for a suppressed key
        w.edit.OnKeyPress = [&](TControl &, QChar &k) { seen += k.isNull() ? QChar(u'0') : k; };
        w.edit.OnEnterPress = [&](TControl &, QChar &) { ++enters; };
        w.edit.setValue(12);
        w.form.setFocusTo(&w.edit);
        w.edit.setEditorEnabled(editorEnabled);
        typeText(w.form, QStringLiteral("3"));
        QTEST(w.edit.text(), "typedText");
        w.press(vk::Return, QChar(13));
        QCOMPARE(enters, 1);
        QCOMPARE(clicks, 0); // never reaches the default button
        w.press(vk::Escape, QChar(27));
        QCOMPARE(marked(w.edit), QStringLiteral("[12,0]"));
        QCOMPARE(seen, QStringLiteral("30"));
    }

    void lockedEditor()
    {
        Window w;
        w.edit.setValue(12);
        w.form.setFocusTo(&w.edit);
        QVERIFY(w.edit.canCut() && w.edit.canPaste());
        w.edit.setEditorEnabled(false);
        w.edit.setSelection(0, 1);
        for (int key : { vk::Up, vk::Down, vk::Delete })
            w.press(key);
        w.press(vk::Back, QChar(8));
        QCOMPARE(w.edit.text(), QStringLiteral("12,0"));
        QVERIFY(!w.edit.canCut() && !w.edit.canPaste());
        click(w.up()); // the buttons still step
        QCOMPARE(w.edit.text(), QStringLiteral("13,0"));
        w.press(vk::Tab); // and the focus can still leave
        QCOMPARE(w.form.activeControl(), &w.other);
    }

    void readValue_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("value");
        QTest::newRow("empty") << "" << -5.0 << 0.0;
        QTest::newRow("empty, Min 5") << "" << 5.0 << 5.0;
        QTest::newRow("minus") << "-" << -5.0 << 0.0;
        QTest::newRow("separator") << "," << -5.0 << 0.0;
        QTest::newRow("upper-case E") << "E" << -5.0 << 0.0;
        QTest::newRow("lower-case e") << "e" << -5.0 << -5.0;
        QTest::newRow("point") << "12.5" << -5.0 << -5.0;
        QTest::newRow("decimal") << "12,5" << -5.0 << 12.5;
        QTest::newRow("exponent") << "1e2" << -5.0 << 100.0;
        QTest::newRow("above Max") << "1000000" << -5.0 << 999999.0;
        QTest::newRow("below Min") << "-7" << -5.0 << -5.0;
    }
    void readValue()
    {
        QFETCH(QString, text);
        QFETCH(double, min);
        Window w;
        w.edit.setMin(min);
        w.edit.setText(text);
        QTEST(double(w.edit.value()), "value");
        QCOMPARE(w.boxes(), 0); // reading never shows a message
    }

    void writeValue_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<int>("digits");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("text");
        QTest::newRow("12.34, one decimal") << 12.34 << 1 << "Fehler"
                                            << "12,3";
        QTest::newRow("no decimals") << 12.4 << 0 << "Fehler"
                                     << "12";
        QTest::newRow("above Max") << 1e6 << 1 << "Zu groß"
                                   << "999999,0";
        QTest::newRow("below Min") << -1.0 << 1 << "Zu klein"
                                   << "0,0";
        QTest::newRow("no message set") << 1e6 << 1 << ""
                                        << "999999,0";
    }
    void writeValue()
    {
        QFETCH(double, x);
        QFETCH(int, digits);
        QFETCH(QString, message);
        Window w;
        w.edit.setDigits(digits);
        w.edit.ErrorMessage = message;
        w.edit.setValue(x);
        QTEST(w.edit.text(), "text");
        QCOMPARE(w.boxes(), int((x < 0 || x > 999999) && !message.isEmpty()));
        for (const ShownBox &box : w.t.services.boxes) {
            QCOMPARE(box.caption, QStringLiteral("Voltaris 1.3"));
            QCOMPARE(box.text, message);
            QCOMPARE(box.icon, MsgIcon::None);
        }
    }

    void rangeSetters()
    {
        Window w;
        w.edit.setValue(500);
        auto failure = [](auto &&write) {
            try {
                write();
            } catch (const EInvalidOperation &e) {
                return e.message();
            }
            return QString();
        };
        QCOMPARE(failure([&] { w.edit.setMin(1e6); }),
            QStringLiteral("Minimum value must not be greater than maximum value !"));
        QCOMPARE(failure([&] { w.edit.setMax(-1); }),
            QStringLiteral("Maximum value must not be less than minimum value !"));
        QCOMPARE(double(w.edit.minValue()), 0.0);
        QCOMPARE(double(w.edit.maxValue()), 999999.0);
        // A narrower range pulls the value in without a message.
        w.edit.setMax(100);
        QCOMPARE(w.edit.text(), QStringLiteral("100,0"));
        w.edit.setMin(100); // Min equal to Max is a range
        w.edit.setMax(200);
        w.edit.setMin(150);
        QCOMPARE(w.edit.text(), QStringLiteral("150,0"));
        w.edit.setMax(150); // and Max equal to Min
        QCOMPARE(double(w.edit.maxValue()), 150.0);
        QCOMPARE(w.boxes(), 0);
        w.edit.setDigits(25);
        QCOMPARE(w.edit.digits(), 18);
        QCOMPARE(w.edit.text(), QStringLiteral("150,") + QString(18, u'0'));
    }

    void loading_data()
    {
        QTest::addColumn<bool>("given");
        QTest::addColumn<double>("loadValue");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("boxes");
        QTest::newRow("no Value") << false << 0.0 << "0,0" << 0;
        QTest::newRow("Value above the first Max") << true << 5000.0 << "5000,0" << 0;
        QTest::newRow("Value above the final Max") << true << 2e6 << "999999,0" << 1;
    }
    void loading()
    {
        QFETCH(bool, given);
        QFETCH(double, loadValue);
        TestApp t;
        TForm form(t.app, QStringLiteral("Form1"));
        TSpinFloatEdit edit(&form, QStringLiteral("Memo_Stand"));
        edit.beginLoad();
        edit.ErrorMessage = QStringLiteral("Fehler");
        if (given)
            edit.setValue(loadValue);
        QCOMPARE(double(edit.value()), loadValue);
        QCOMPARE(edit.text(), QStringLiteral("0,0"));
        edit.setMax(999999);
        edit.endLoad();
        QTEST(edit.text(), "text");
        QTEST(int(t.services.boxes.size()), "boxes");
    }

    void stepping_data()
    {
        QTest::addColumn<double>("start");
        QTest::addColumn<bool>("up");
        QTest::addColumn<bool>("byButton");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("boxes");
        QTest::addColumn<int>("beeps");
        QTest::newRow("Up key") << 5.0 << true << false << false << "6,0" << 0 << 0;
        QTest::newRow("Down key") << 5.0 << false << false << false << "4,0" << 0 << 0;
        QTest::newRow("down button") << 5.0 << false << true << false << "4,0" << 0 << 0;
        QTest::newRow("at Max") << 999999.0 << true << false << false << "999999,0" << 1 << 0;
        QTest::newRow("past Min") << 0.5 << false << true << false << "0,0" << 1 << 0;
        QTest::newRow("read-only key") << 5.0 << true << false << true << "5,0" << 0 << 1;
        QTest::newRow("read-only button") << 5.0 << true << true << true << "5,0" << 0 << 1;
    }
    void stepping()
    {
        QFETCH(double, start);
        QFETCH(bool, up);
        QFETCH(bool, byButton);
        QFETCH(bool, readOnly);
        Window w;
        w.edit.setValue(start);
        w.edit.setReadOnly(readOnly);
        w.form.setFocusTo(&w.edit);
        TSpinButton &pair = *w.edit.spinButton();
        if (byButton)
            click(up ? *pair.ButtonUp() : *pair.ButtonDown());
        else
            w.press(up ? vk::Up : vk::Down);
        QTEST(w.edit.text(), "text");
        QTEST(w.boxes(), "boxes");
        QTEST(w.t.services.beeps, "beeps");
    }

    void computedIncrement()
    {
        Window w;
        QList<bool> calls;
        QList<int> keys;
        w.edit.OnComputedIncrement = [&](TControl &, bool increment) { calls << increment; };
        w.edit.OnKeyDown = [&](TControl &, int &key, TShiftState) { keys << key; };
        w.form.setFocusTo(&w.edit);
        w.press(vk::Up);
        w.press(vk::Down);
        QCOMPARE(calls, QList<bool>({ true, false }));
        QCOMPARE(keys, QList<int>({ vk::Up, vk::Down })); // the step does not clear the key
        QCOMPARE(w.edit.text(), QStringLiteral("0,0"));
    }

    void focusEntry_data()
    {
        QTest::addColumn<bool>("byMouse");
        QTest::newRow("keyboard") << false;
        QTest::newRow("mouse") << true;
    }
    void focusEntry()
    {
        QFETCH(bool, byMouse);
        Window w;
        w.edit.setValue(42);
        long double atEnter = -1;
        w.edit.OnEnter = [&](TControl &) { atEnter = w.edit.oldValue(); };
        w.form.setFocusTo(&w.edit, byMouse);
        QCOMPARE(w.edit.selLength(), byMouse ? 0 : 4);
        QCOMPARE(double(atEnter), 42.0);
        // A plain edit selects its text the same way.
        w.other.setText(QStringLiteral("abc"));
        w.form.setFocusTo(&w.other, byMouse);
        QCOMPARE(w.other.selLength(), byMouse ? 0 : 3);
        w.other.setSelection(10, 5); // past the end: the caret at the end
        QCOMPARE(w.other.selStart(), 3);
        QCOMPARE(w.other.selLength(), 0);
    }

    void exitCheck_data()
    {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<double>("min");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("left");
        QTest::newRow("not a number") << "abc" << 0.0 << "[12,0]" << false;
        QTest::newRow("above Max") << "1000000" << 0.0 << "[12,0]" << false;
        QTest::newRow("lone minus") << "-" << 0.0 << "[12,0]" << false;
        QTest::newRow("too many decimals") << "12,34" << 0.0 << "|12,3" << true;
        QTest::newRow("empty") << "" << 0.0 << "|0,0" << true;
        QTest::newRow("empty, Min 5") << "" << 5.0 << "|5,0" << true;
    }
    void exitCheck()
    {
        QFETCH(QString, pasted);
        QFETCH(double, min);
        QFETCH(bool, left);
        Window w;
        w.edit.setMin(min);
        w.edit.setValue(12);
        int exits = 0;
        w.edit.OnExit = [&](TControl &) { ++exits; };
        w.form.setFocusTo(&w.edit);
        w.edit.userEdited(pasted, 0, 0);
        focus(w.other);
        QTEST(marked(w.edit), "text");
        QCOMPARE(w.form.activeControl(), left ? static_cast<TWinControl *>(&w.other) : &w.edit);
        QCOMPARE(exits, int(left));
        QCOMPARE(w.boxes(), int(!left));
    }

    void autoRepeat()
    {
        Window w;
        w.edit.setValue(10);
        TTimer &timer = *w.up().autoRepeatTimer();
        w.up().mouseDown(TMouseButton::Left);
        QCOMPARE(w.form.activeControl(), &w.edit); // the press moves the focus
        QVERIFY(timer.enabled());
        QCOMPARE(timer.interval(), 400);
        QCOMPARE(w.edit.text(), QStringLiteral("10,0"));
        for (int i = 0; i < 10; ++i)
            timer.tick();
        QCOMPARE(timer.interval(), 100);
        QCOMPARE(w.edit.text(), QStringLiteral("20,0"));
        w.up().mouseMove(false); // held off the button: no steps
        timer.tick();
        QCOMPARE(w.edit.text(), QStringLiteral("20,0"));
        w.up().mouseMove(true);
        timer.tick();
        w.up().mouseUp(TMouseButton::Left, true); // one more on release
        QCOMPARE(w.edit.text(), QStringLiteral("22,0"));
        QVERIFY(!timer.enabled());
        QVERIFY(!w.up().down()); // drawn up again
        w.up().mouseDown(TMouseButton::Left);
        w.up().mouseUp(TMouseButton::Left, false); // released elsewhere
        QCOMPARE(w.edit.text(), QStringLiteral("22,0"));
    }

    void repeatError()
    {
        Window w;
        w.edit.OnComputedIncrement
            = [](TControl &, bool) { throw EConvertError(QStringLiteral("'x' is not valid")); };
        TTimer &timer = *w.up().autoRepeatTimer();
        w.up().mouseDown(TMouseButton::Left);
        timer.tick();
        QVERIFY(!timer.enabled());
        QCOMPARE(w.boxes(), 1);
        QCOMPARE(w.t.services.boxes[0].icon, MsgIcon::Error);
    }

    void layout()
    {
        QCOMPARE(TSpinFloatEdit::minimumHeight(16, 8), 16); // min(s, f) takes the smaller
        Window w;
        w.edit.setHeight(20); // below the minimum: grows first
        w.edit.sizeChanged(TSpinFloatEdit::minimumHeight(16, 19));
        QCOMPARE(w.edit.height(), 29);
        auto bounds
            = [](const TControl &c) { return QRect(c.left(), c.top(), c.width(), c.height()); };
        const TSpinButton &pair = *w.edit.spinButton();
        QCOMPARE(bounds(pair), QRect(95, 0, 15, 24));
        QCOMPARE(bounds(*pair.ButtonUp()), QRect(0, 0, 15, 12));
        QCOMPARE(bounds(*pair.ButtonDown()), QRect(0, 11, 15, 13));
        QCOMPARE(w.edit.clientWidth() - (w.edit.editRect().right() + 1), 17);
        // Without the 3D frame the pair sits inside the flat border.
        w.edit.ctl3D = false;
        w.edit.sizeChanged(TSpinFloatEdit::minimumHeight(16, 19));
        QCOMPARE(bounds(pair), QRect(100, 1, 15, 26));
    }
};

QTEST_APPLESS_MAIN(TestSpinFloatEdit)
#include "tst_spinfloatedit.moc"
