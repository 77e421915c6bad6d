#include "common/keyfilter.h"

#include <QTest>

using namespace voltaris;

class TestKeyFilter : public QObject {
    Q_OBJECT

private slots:
    void editKeyPress_data();
    void editKeyPress();
    void digitsKeyPress_data();
    void digitsKeyPress();
};

void TestKeyFilter::editKeyPress_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QChar>("key");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<bool>("passes");
    const QChar comma = QLatin1Char(',');
    const QChar point = QLatin1Char('.');
    QTest::newRow("digit") << "12" << 2 << 0 << QChar(u'7') << comma << true;
    QTest::newRow("zero into empty") << "" << 0 << 0 << QChar(u'0') << comma << true;
    QTest::newRow("backspace") << "1,5" << 3 << 0 << QChar(KeyBackspace) << comma << true;
    QTest::newRow("first separator") << "12" << 2 << 0 << comma << comma << true;
    QTest::newRow("separator into empty") << "" << 0 << 0 << comma << comma << true;
    QTest::newRow("second separator") << "1,2" << 3 << 0 << comma << comma << false;
    // The selected separator would be replaced, but the whole text counts.
    QTest::newRow("separator in selection") << "1,2" << 0 << 3 << comma << comma << false;
    QTest::newRow("point on comma system") << "12" << 2 << 0 << point << comma << false;
    QTest::newRow("point on point system") << "12" << 2 << 0 << point << point << true;
    QTest::newRow("comma on point system") << "12" << 2 << 0 << comma << point << false;
    QTest::newRow("minus") << "" << 0 << 0 << QChar(u'-') << comma << false;
    QTest::newRow("letter") << "1" << 1 << 0 << QChar(u'e') << comma << false;
    QTest::newRow("blank") << "1" << 1 << 0 << QChar(u' ') << comma << false;
    QTest::newRow("enter") << "1" << 1 << 0 << QChar(13) << comma << false;
    QTest::newRow("ctrl+c") << "1" << 0 << 1 << QChar(3) << comma << false;
    QTest::newRow("ctrl+v") << "1" << 1 << 0 << QChar(22) << comma << false;
    QTest::newRow("ctrl+x") << "1" << 0 << 1 << QChar(24) << comma << false;
    QTest::newRow("arabic-indic digit") << "1" << 1 << 0 << QChar(0x0663) << comma << false;
}

void TestKeyFilter::editKeyPress()
{
    QFETCH(QString, text);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QChar, key);
    QFETCH(QChar, separator);
    QFETCH(bool, passes);
    QCOMPARE(
        voltaris::editKeyPress(text, selStart, selLength, key, separator), passes ? key : QChar());
}

void TestKeyFilter::digitsKeyPress_data()
{
    QTest::addColumn<QChar>("key");
    QTest::addColumn<bool>("passes");
    QTest::newRow("0") << QChar(u'0') << true;
    QTest::newRow("9") << QChar(u'9') << true;
    QTest::newRow("backspace") << QChar(KeyBackspace) << true;
    QTest::newRow("comma") << QChar(u',') << false;
    QTest::newRow("point") << QChar(u'.') << false;
    QTest::newRow("minus") << QChar(u'-') << false;
    QTest::newRow("enter") << QChar(13) << false;
    QTest::newRow("superscript two") << QChar(0x00B2) << false;
}

void TestKeyFilter::digitsKeyPress()
{
    QFETCH(QChar, key);
    QFETCH(bool, passes);
    QCOMPARE(voltaris::digitsKeyPress(key), passes ? key : QChar());
}

QTEST_APPLESS_MAIN(TestKeyFilter)
#include "tst_keyfilter.moc"
