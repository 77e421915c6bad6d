#include "common/cp1252.h"
#include "core/readhead.h"
#include "registertext.h"
#include "telegrams.h"

#include <QtTest>

using namespace voltaris;
using namespace voltaris::test;

namespace {

const QByteArray Sml
    = smlFrame({ { obis(1, 0, 1, 8, 0), 30, -1, 123456789 }, { obis(1, 0, 2, 8, 0), 30, -1, 5 } });
const QByteArray D0 = d0Telegram({ "1-0:1.8.0*255(000017.5*kWh)" });

struct Fed {
    QStringList reads;
    int damaged;
    bool sawBytes;
};

// The stream in chunks of `chunk` bytes, as a port delivers it.
Fed feedAll(const QByteArray &stream, int chunk)
{
    TelegramFinder finder;
    Fed fed;
    for (qsizetype i = 0; i < stream.size(); i += chunk)
        for (const TelegramRead &r : finder.feed(
                 QByteArrayView(stream).sliced(i, std::min<qsizetype>(chunk, stream.size() - i))))
            fed.reads << registersText(r);
    fed.damaged = finder.damaged();
    fed.sawBytes = finder.sawBytes();
    return fed;
}

} // namespace

class TestReadHead : public QObject {
    Q_OBJECT
private slots:
    // Each stream, in chunks of one byte, of 7 and whole: the telegrams in
    // it, read, and how many were damaged.
    void finder_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QStringList>("reads");
        QTest::addColumn<int>("damaged");
        const QString sml = "1-0:1.8.0*255=12345.6789/4;1-0:2.8.0*255=0.0005/4";
        const QString d0 = "1-0:1.8.0*255=17.5/1";
        QTest::newRow("SML mid-stream")
            << Sml.sliced(Sml.size() / 2) + Sml + Sml << QStringList { sml, sml } << 0;
        QTest::newRow("D0 mid-stream") << D0.sliced(5) + D0 << QStringList { d0 } << 0;
        QTest::newRow("noise, then SML")
            << QByteArray(300, '\xaa') + "/x!\r\n" + Sml
            << QStringList { "Das Telegramm ist beschädigt: seine erste Zeile ist keine Kennung.",
                   sml }
            << 1;
        QTest::newRow("escape in data") << smlFrame(
            { { obis(1, 0, 1, 8, 0), 30, -1, 123456789 }, { obis(1, 0, 2, 8, 0), 30, -1, 5 } },
            { SmlCrc::X25, false, true })
                                        << QStringList { sml } << 0;
        QTest::newRow("truncated SML, then a whole one")
            << Sml.first(Sml.size() / 2) + Sml << QStringList { sml } << 1;
        QTest::newRow("broken CRC")
            << smlFrame({}, { SmlCrc::Broken }) + Sml
            << QStringList { "Die Prüfsumme des Telegramms stimmt nicht.", sml } << 1;
        QTest::newRow("truncated D0, then a whole one")
            << D0.first(D0.size() - 5) + D0 << QStringList { d0 } << 1;
        QTest::newRow("slash inside SML")
            << QByteArray("/E\x01\x02") + Sml << QStringList { sml } << 0;
        QTest::newRow("noise only") << QByteArray(40000, '\x1b') << QStringList {} << 0;
        QTest::newRow("endless SML")
            << QByteArray(SmlStart, 8) + QByteArray(SmlMaxFrame + 64, 'x') << QStringList {} << 1;
    }
    void finder()
    {
        QFETCH(QByteArray, stream);
        QFETCH(QStringList, reads);
        QFETCH(int, damaged);
        for (const int chunk : { 1, 7, int(stream.size()) }) {
            const Fed fed = feedAll(stream, chunk);
            QCOMPARE(fed.reads, reads);
            QCOMPARE(fed.damaged, damaged);
            QVERIFY(fed.sawBytes);
        }
    }

    void registerOfMeter_data()
    {
        QTest::addColumn<int>("shown"); // index into the meters, -1: main
        QTest::addColumn<bool>("withNightMeter");
        QTest::addColumn<QString>("wanted");
        QTest::newRow("main") << -1 << false << "1.8.0";
        QTest::newRow("main beside NT") << -1 << true << "1.8.1";
        QTest::newRow("NT") << 0 << true << "1.8.2";
        QTest::newRow("feed-in") << 1 << false << "2.8.0";
        QTest::newRow("own contract") << 2 << false << "1.8.0";
        QTest::newRow("sub-meter") << 3 << true << "1.8.0";
        QTest::newRow("solar") << 4 << false << "1.8.0";
    }
    void registerOfMeter()
    {
        QFETCH(int, shown);
        QFETCH(bool, withNightMeter);
        QFETCH(QString, wanted);
        Meters meters;
        for (const MeterKind k : { MeterKind::LowTariff, MeterKind::FeedIn, MeterKind::OwnContract,
                 MeterKind::SubMeter, MeterKind::Solar })
            if (k != MeterKind::LowTariff || withNightMeter) {
                Meter m;
                m.kind = k;
                meters.further.push_back(m);
            }
        if (!withNightMeter && shown >= 0)
            --shown;
        const Obis o
            = readHeadRegister(shown < 0 ? nullptr : &meters.further[size_t(shown)], meters);
        QCOMPARE(o.shortText(), wanted);
        // Found by C.D.E whatever the telegram left out of the code; never
        // another medium's.
        std::vector<MeterRegister> registers { { { 7, 0, o.c, o.d, o.e, 255 }, 1, 0, "kWh" },
            { { -1, -1, o.c, o.d, o.e, -1 }, 2, 0, "kWh" } };
        QCOMPARE(double(findRegister(registers, o)->kWh), 2.0);
        registers.pop_back();
        QVERIFY(!findRegister(registers, o));
    }

    void settingsFile_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("badLine");
        QTest::newRow("as written")
            << "Art;Wert\r\nAnschluss;/dev/serial/by-id/usb-Weidmann_IR;x\r\n"
               "Geschwindigkeit;300\r\nÜbertragung;7E1\r\n"
            << 0;
        QTest::newRow("speed unknown") << "Art;Wert\r\nGeschwindigkeit;1234\r\n" << 2;
        QTest::newRow("framing unknown") << "Art;Wert\r\nÜbertragung;8E2\r\n" << 2;
        QTest::newRow("a newer program's line") << "Art;Wert\r\nProtokoll;SML\r\n" << 2;
    }
    void settingsFile()
    {
        QFETCH(QString, text);
        QFETCH(int, badLine);
        const SideFileRead<ReadHeadSettings> read = parseReadHead(toWindows1252(text));
        QCOMPARE(read.badLine, badLine);
        if (badLine == 0) {
            QCOMPARE(read.value.port, "/dev/serial/by-id/usb-Weidmann_IR;x");
            QCOMPARE(read.value.framing, Framing::Bits7E1);
            QCOMPARE(readHeadFileBytes(read.value), toWindows1252(text));
        }
    }
};

QTEST_GUILESS_MAIN(TestReadHead)
#include "tst_readhead.moc"
