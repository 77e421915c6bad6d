#include "common/cp1252.h"

#include <QTest>

using namespace voltaris;

class TestCp1252 : public QObject {
    Q_OBJECT

private slots:
    void encode_data();
    void encode();
    void allBytes();
};

void TestCp1252::encode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii with CR LF") << "Ab 01.01.2017\r\n" << QByteArray("Ab 01.01.2017\r\n");
    QTest::newRow("umlauts") << QString::fromUtf8("Menü Verbräuche")
                             << QByteArray("Men\xFC Verbr\xE4uche");
    QTest::newRow("euro and quotes")
        << QString::fromUtf8("€ „x“ – ™ Ÿ") << QByteArray("\x80 \x84x\x93 \x96 \x99 \x9F");
    // Each defined byte of 0x80 to 0x9F: a wrong entry of the table would
    // turn its character into "?" here (a round trip cannot see it).
    QTest::newRow("the whole high block")
        << QString::fromUtf8("€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ")
        << QByteArray("\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E\x91\x92\x93\x94"
                      "\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9E\x9F");
    QTest::newRow("not in code page") << QString::fromUtf8("Ω ł") << QByteArray("? ?");
    QTest::newRow("undefined byte's control") << QString(QChar(0x81)) << QByteArray("?");
    QTest::newRow("control of the euro's byte") << QString(QChar(0x80)) << QByteArray("?");
    QTest::newRow("outside the BMP") << QString::fromUtf8("a😀b") << QByteArray("a?b");
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + "x" << QByteArray("?x");
}

void TestCp1252::encode()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(toWindows1252(text), bytes);
    // The size written, known before writing (the file's fields are padded by it).
    QCOMPARE(windows1252Size(text), bytes.size());
}

void TestCp1252::allBytes()
{
    // Every byte decodes to one character and, except the five undefined ones,
    // encodes back to itself.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = fromWindows1252(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(text.at(0x80), QChar(0x20AC));
    QCOMPARE(text.at(0x9F), QChar(0x0178));
    QCOMPARE(text.at(0xFC), QChar(0x00FC));
    QCOMPARE(text.at(0x8D), QChar(0x008D));
    const QByteArray back = toWindows1252(text);
    for (int b = 0; b < 256; ++b) {
        const bool undefined = b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
        QCOMPARE(back.at(b), undefined ? '?' : char(b));
    }
}

QTEST_APPLESS_MAIN(TestCp1252)
#include "tst_cp1252.moc"
