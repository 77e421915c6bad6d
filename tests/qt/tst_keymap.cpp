#include "qt/keymap.h"

#include <QKeyEvent>
#include <QtTest>

using namespace voltaris;

// What the controls' key handlers see of a key press: the virtual key of the
// key, the character it types, and the modifiers held.
class TestKeymap : public QObject {
    Q_OBJECT
private slots:
    void virtualKeys_data()
    {
        QTest::addColumn<int>("qtKey");
        QTest::addColumn<int>("expected");
        QTest::newRow("digit") << int(Qt::Key_7) << int('7');
        QTest::newRow("letter") << int(Qt::Key_Q) << int('Q');
        QTest::newRow("F1") << int(Qt::Key_F1) << 112;
        QTest::newRow("F5 the handlers know") << int(Qt::Key_F5) << vk::F5;
        QTest::newRow("F12") << int(Qt::Key_F12) << 123;
        QTest::newRow("Backtab is Tab") << int(Qt::Key_Backtab) << vk::Tab;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << vk::Return;
        QTest::newRow("Alt") << int(Qt::Key_Alt) << vk::Menu;
        QTest::newRow("Delete") << int(Qt::Key_Delete) << vk::Delete;
        QTest::newRow("comma") << int(Qt::Key_Comma) << 188;
        QTest::newRow("minus") << int(Qt::Key_Minus) << 189;
        QTest::newRow("period") << int(Qt::Key_Period) << 190;
        QTest::newRow("Insert") << int(Qt::Key_Insert) << 45;
        QTest::newRow("Page Down") << int(Qt::Key_PageDown) << 34;
        QTest::newRow("no such key") << int(Qt::Key_Dead_Circumflex) << 0;
    }
    void virtualKeys()
    {
        QFETCH(int, qtKey);
        QFETCH(int, expected);
        QCOMPARE(virtualKey(qtKey), expected);
    }

    void typedChars_data()
    {
        QTest::addColumn<int>("qtKey");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected"); // -1: no character
        const int none = Qt::NoModifier, ctrl = Qt::ControlModifier;
        QTest::newRow("Backspace") << int(Qt::Key_Backspace) << none << QString() << 8;
        QTest::newRow("Shift+Tab")
            << int(Qt::Key_Backtab) << int(Qt::ShiftModifier) << QString() << 9;
        QTest::newRow("Enter") << int(Qt::Key_Return) << none << QStringLiteral("\r") << 13;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << none << QStringLiteral("\x1b") << 27;
        QTest::newRow("Ctrl+A") << int(Qt::Key_A) << ctrl << QString() << 1;
        QTest::newRow("Ctrl+V") << int(Qt::Key_V) << ctrl << QString() << 22;
        QTest::newRow("Ctrl+X") << int(Qt::Key_X) << ctrl << QString() << 24;
        QTest::newRow("Ctrl+digit is none") << int(Qt::Key_1) << ctrl << QString() << -1;
        QTest::newRow("letter") << int(Qt::Key_A) << none << QStringLiteral("a") << int('a');
        QTest::newRow("decimal comma")
            << int(Qt::Key_Comma) << none << QStringLiteral(",") << int(',');
        QTest::newRow("umlaut") << int(Qt::Key_Adiaeresis) << none << QStringLiteral("ä")
                                << int(u'ä');
        QTest::newRow("arrow") << int(Qt::Key_Left) << none << QString() << -1;
        QTest::newRow("control code")
            << int(Qt::Key_unknown) << none << QStringLiteral("\x01") << -1;
        QTest::newRow("two characters")
            << int(Qt::Key_unknown) << none << QStringLiteral("ab") << -1;
    }
    void typedChars()
    {
        QFETCH(int, qtKey);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QFETCH(int, expected);
        const QKeyEvent e(QEvent::KeyPress, qtKey, Qt::KeyboardModifiers(modifiers), text);
        const QChar ch = typedChar(e);
        QCOMPARE(ch.isNull() ? -1 : int(ch.unicode()), expected);
    }

    void shiftStates_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<bool>("ctrl");
        QTest::addColumn<bool>("alt");
        QTest::newRow("none") << int(Qt::NoModifier) << false << false << false;
        QTest::newRow("shift") << int(Qt::ShiftModifier) << true << false << false;
        QTest::newRow("ctrl") << int(Qt::ControlModifier) << false << true << false;
        QTest::newRow("alt+shift")
            << int(Qt::AltModifier | Qt::ShiftModifier) << true << false << true;
        QTest::newRow("keypad alone") << int(Qt::KeypadModifier) << false << false << false;
    }
    void shiftStates()
    {
        QFETCH(int, modifiers);
        QFETCH(bool, shift);
        QFETCH(bool, ctrl);
        QFETCH(bool, alt);
        const TShiftState s = shiftOf(Qt::KeyboardModifiers(modifiers));
        QCOMPARE(s.shift, shift);
        QCOMPARE(s.ctrl, ctrl);
        QCOMPARE(s.alt, alt);
    }
};

QTEST_GUILESS_MAIN(TestKeymap)
#include "tst_keymap.moc"
