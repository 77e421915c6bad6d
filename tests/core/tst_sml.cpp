#include "core/sml.h"
#include "registertext.h"
#include "telegrams.h"

#include <QtTest>

using namespace voltaris;
using namespace voltaris::test;

namespace {

const QByteArray Import = obis(1, 0, 1, 8, 0);

// The frame with one byte changed, and its CRC made right again: damage the
// checksum does not see.
QByteArray withByte(QByteArray frame, qsizetype at, char value)
{
    frame[at] = value;
    const uint16_t crc = crc16X25(QByteArrayView(frame).first(frame.size() - 2));
    frame[frame.size() - 2] = char(crc & 0xFF);
    frame[frame.size() - 1] = char(crc >> 8);
    return frame;
}

} // namespace

class TestSml : public QObject {
    Q_OBJECT
private slots:
    void checksums()
    {
        // The catalogue's check values of "123456789".
        QCOMPARE(crc16X25("123456789"), uint16_t(0x906E));
        QCOMPARE(crc16Kermit("123456789"), uint16_t(0x2189));
    }

    void frames_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QString>("expected");
        const std::vector<SmlEntry> three { { Import, 30, -1, 123456789 },
            { obis(1, 0, 1, 8, 1), 30, -1, 100000000 }, { obis(1, 0, 2, 8, 0), 30, 0, 4711 } };
        const QString threeText = "1-0:1.8.0*255=12345.6789/4;1-0:1.8.1*255=10000.0000/4;"
                                  "1-0:2.8.0*255=4.711/3";
        QTest::newRow("X-25") << smlFrame(three) << threeText;
        QTest::newRow("Kermit") << smlFrame(three, { SmlCrc::Kermit }) << threeText;
        QTest::newRow("Kermit high byte first")
            << smlFrame(three, { SmlCrc::KermitHighFirst }) << threeText;
        QTest::newRow("escape in data")
            << smlFrame(three, { SmlCrc::X25, false, true }) << threeText;
        QTest::newRow("multi-byte lengths")
            << smlFrame(three, { SmlCrc::X25, true, false }) << threeText;
        QTest::newRow("eight-byte value")
            << smlFrame({ { Import, 30, -4, 123456789012345, false, 8 } })
            << "1-0:1.8.0*255=12345678.9012345/7";
        QTest::newRow("signed three-byte value")
            << smlFrame({ { Import, 30, 0, 0x7FFFFF, true, 3 } }) << "1-0:1.8.0*255=8388.607/3";
        QTest::newRow("value in one byte")
            << smlFrame({ { Import, 30, 0, 7, false, 1 } }) << "1-0:1.8.0*255=0.007/3";
        QTest::newRow("PIN-less whole kWh")
            << smlFrame({ { Import, 30, 3, 12346 } }) << "1-0:1.8.0*255=12346/0!";
        // Power, a text, a negative energy, an earlier period's value and a
        // scaler out of all reason are no register.
        QTest::newRow("what is no register")
            << smlFrame({ { obis(1, 0, 16, 7, 0), 27, 0, 350, true }, { Import, 30, -1, -5, true },
                   { Import, 30, -1, 1, false, 0, "text" }, { obis(1, 0, 1, 8, 0, 1), 30, 0, 9 },
                   { Import, 30, 40, 1 }, { obis(1, 0, 2, 8, 0), 0, 0, 9 } })
            << "";
        QTest::newRow("the same register twice")
            << smlFrame({ { Import, 30, -1, 10 }, { Import, 30, 0, 1 } })
            << "1-0:1.8.0*255=0.0010/4";
        QTest::newRow("contradicting registers")
            << smlFrame({ { Import, 30, -1, 10 }, { Import, 30, -1, 11 } })
            << "Das Telegramm nennt denselben Zählerstand zweimal mit verschiedenen Werten.";

        const QByteArray good = smlFrame(three);
        const QString crc = "Die Prüfsumme des Telegramms stimmt nicht.";
        const QString truncated = "Das Telegramm ist unvollständig.";
        const QString tree = "Das Telegramm ist beschädigt: seine Felder passen nicht zusammen.";
        QTest::newRow("broken CRC") << smlFrame(three, { SmlCrc::Broken }) << crc;
        QTest::newRow("a bit flipped") << QByteArray(good).replace(40, 1, "\x7f") << crc;
        QTest::newRow("truncated") << good.first(good.size() - 4) << truncated;
        QTest::newRow("end missing") << good.first(good.size() - 8) << truncated;
        QTest::newRow("empty") << QByteArray() << truncated;
        QTest::newRow("noise") << QByteArray(64, '\x55') << truncated;
        QTest::newRow("too large")
            << QByteArray(SmlMaxFrame + 4, 0) << "Das Telegramm ist zu groß für einen Zähler.";
        // Damage with a correct CRC: a list longer than the frame, a type
        // SML lacks, a padding count over three.
        QTest::newRow("list longer than the frame") << withByte(good, 8, '\x7f') << tree;
        QTest::newRow("unknown type") << withByte(good, 8, '\x36') << tree;
        QTest::newRow("padding count") << withByte(good, good.size() - 3, '\x09') << tree;
        QTest::newRow("unknown escape")
            << withByte(withByte(withByte(withByte(good, 12, 0x1b), 13, 0x1b), 14, 0x1b), 15, 0x1b)
            << "Das Telegramm ist beschädigt: es enthält eine unbekannte Escape-Folge.";
    }
    void frames()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QString, expected);
        QCOMPARE(registersText(parseSml(frame)), expected);
    }

    // Lists nested beyond any meter's, and lengths claiming the whole
    // memory: a clear answer, at once.
    void hostileTrees_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("nested lists") << QByteArray(4000, '\x71');
        QTest::newRow("huge list length") << QByteArray("\xff\x8f\x8f\x8f\x0f", 5);
        QTest::newRow("huge octet length") << QByteArray("\x8f\x8f\x8f\x0f", 4);
    }
    void hostileTrees()
    {
        QFETCH(QByteArray, data);
        QByteArray frame(SmlStart, 8);
        data += QByteArray((4 - data.size() % 4) % 4, 0);
        frame += data + QByteArray(SmlEscape, 4) + "\x1a" + char(0);
        const uint16_t crc = crc16X25(frame);
        frame += char(crc & 0xFF);
        frame += char(crc >> 8);
        QCOMPARE(parseSml(frame).problem,
            "Das Telegramm ist beschädigt: seine Felder passen nicht zusammen.");
    }

    // A real EMH eHZ's frame: its three energy registers, not its power.
    void realMeter()
    {
        QFile f(VOLTARIS_TEST_DATA "/readhead/emh-ehz.sml");
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(registersText(parseSml(f.readAll())),
            "1-0:1.8.0*255=15338.5557/4;1-0:1.8.1*255=15338.5557/4;1-0:1.8.2*255=0.0000/4");
    }
};

QTEST_GUILESS_MAIN(TestSml)
#include "tst_sml.moc"
