#include "core/d0.h"
#include "registertext.h"
#include "telegrams.h"

#include <QtTest>

using namespace voltaris;
using namespace voltaris::test;

class TestD0 : public QObject {
    Q_OBJECT
private slots:
    void telegrams_data()
    {
        QTest::addColumn<QByteArray>("telegram");
        QTest::addColumn<QString>("expected");
        const QStringList lines { "1-0:0.0.0*255(1ESY1160123456)", "1-0:1.8.0*255(012345.6789*kWh)",
            "1-0:1.8.1*255(010000.0000*kWh)", "1-0:1.8.2*255(002345.6789*kWh)",
            "1-0:2.8.0*255(000471.1000*kWh)", "1-0:16.7.0*255(000351.24*W)", "1-0:96.5.5*255(82)",
            "0-0:96.1.255*255(1ESY1160123456)" };
        const QString all = "1-0:1.8.0*255=12345.6789/4;1-0:1.8.1*255=10000.0000/4;"
                            "1-0:1.8.2*255=2345.6789/4;1-0:2.8.0*255=471.1000/4";
        QTest::newRow("pushed") << d0Telegram(lines) << all;
        QTest::newRow("with STX and BCC") << d0Telegram(lines, true) << all;
        QTest::newRow("short codes, Wh, several sets a line")
            << d0Telegram({ "1.8.0(0012345*Wh)2.8.0(17.5*kWh)", "F.F(00)", "C.1.0(12345678)" })
            << "1.8.0=12.345/3;2.8.0=17.5/1";
        // A stored value of an earlier period (F 1), a profile of several
        // values, another medium (7: gas) are no reading now.
        QTest::newRow("what is no register")
            << d0Telegram({ "1.8.0*01(001234.5*kWh)", "1.8.0(24-01-01 00:00)(000017*kWh)",
                   "7-0:1.8.0(000017*kWh)", "1.8.0()", "1.8.0(-5*kWh)", "1.8.0(1.2.3*kWh)" })
            << "";
        QTest::newRow("contradicting registers")
            << d0Telegram({ "1.8.0(000001.0*kWh)", "1-0:1.8.0*255(000002.0*kWh)" })
            << "Das Telegramm nennt denselben Zählerstand zweimal mit verschiedenen Werten.";

        const QByteArray good = d0Telegram(lines, true);
        QTest::newRow("BCC wrong") << QByteArray(good).replace("012345", "012346")
                                   << "Die Prüfsumme (BCC) des Telegramms stimmt nicht.";
        QTest::newRow("truncated")
            << good.first(good.size() - 10) << "Das Telegramm ist unvollständig.";
        QTest::newRow("no end") << d0Telegram(lines).chopped(3)
                                << "Das Telegramm ist unvollständig.";
        QTest::newRow("not an identification") << d0Telegram(lines, false,
            "/1") << "Das Telegramm ist beschädigt: seine erste Zeile ist keine Kennung.";
        QTest::newRow("bracket open") << d0Telegram({ "1-0:1.8.0*255(012345.6789*kWh" })
                                      << "Das Telegramm ist beschädigt: Zeile 2 ist unlesbar.";
        QTest::newRow("binary in a line")
            << d0Telegram({ "1.8.0(1*kWh)", QString("1.8.1(\x01*kWh)") })
            << "Das Telegramm ist beschädigt: Zeile 3 ist unlesbar.";
        QTest::newRow("too large") << d0Telegram(QStringList(900, "1.8.0(000001.0*kWh)"))
                                   << "Das Telegramm ist zu groß für einen Zähler.";
    }
    void telegrams()
    {
        QFETCH(QByteArray, telegram);
        QFETCH(QString, expected);
        QCOMPARE(registersText(parseD0(telegram)), expected);
    }
};

QTEST_GUILESS_MAIN(TestD0)
#include "tst_d0.moc"
