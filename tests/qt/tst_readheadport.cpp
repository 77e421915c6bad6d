// The read head on a fake meter: a pseudo-terminal whose other end this
// test writes telegrams into, as a meter's optical interface sends them,
// read by the real serial port reader. No hardware, no display.
#include "fakemeter.h"
#include "fakeservices.h"
#include "keyboard.h"
#include "qt/readheaddialog.h"
#include "qt/readheadport.h"
#include "registertext.h"
#include "telegrams.h"
#include "ui/Unit1.h"
#include "ui/program.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace voltaris;
using namespace voltaris::test;

namespace {

const QByteArray Gap(64, '\0'); // the meter's pause between telegrams

std::vector<SmlEntry> registers()
{
    return { { obis(1, 0, 1, 8, 0), 30, -1, 123456789 }, { obis(1, 0, 1, 8, 1), 30, -1, 100000000 },
        { obis(1, 0, 1, 8, 2), 30, -1, 23456789 }, { obis(1, 0, 2, 8, 0), 30, -1, 47110000 },
        { obis(1, 0, 16, 7, 0), 27, 0, 351, true } };
}

const QString Registers = "1-0:1.8.0*255=12345.6789/4;1-0:1.8.1*255=10000.0000/4;"
                          "1-0:1.8.2*255=2345.6789/4;1-0:2.8.0*255=4711.0000/4";

// A good telegram comes within a fraction of a second; a damaged stream is
// given up after this.
const ReadLimits Short { std::chrono::milliseconds(5000), std::chrono::milliseconds(2000) };

// Services whose read head is the real reader on the port given.
class PortServices : public FakeServices {
public:
    MeterReadout readMeter(TForm *, const ReadHeadSettings &s) override
    {
        ++reads;
        return readMeterWaiting(s, limits);
    }
    bool editReadHead(TForm *, ReadHeadSettings &s) override
    {
        ++dialogs;
        if (!answer)
            return false;
        s = *answer;
        return true;
    }
    ReadLimits limits;
    int reads = 0, dialogs = 0;
    std::optional<ReadHeadSettings> answer;
};

struct Window {
    QTemporaryDir dir;
    PortServices services;
    TApplication app { services, FormatSettings::german() };
    TProgram p { app, dir.path() };
    TForm1 &f = *p.Form1;
    QString headFile() const { return dir.filePath("Mein_Lesekopf.txt"); }
    void writeHeadFile(const QByteArray &bytes) const
    {
        QFile file(headFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
};

} // namespace

class TestReadHeadPort : public QObject {
    Q_OBJECT
private slots:
    // Each stream as the fake meter sends it: the registers read, or the
    // message.
    void streams_data()
    {
        QTest::addColumn<QByteArray>("cycle");
        QTest::addColumn<int>("framing");
        QTest::addColumn<QString>("expected");
        const int n81 = int(Framing::Bits8N1), e71 = int(Framing::Bits7E1);
        QTest::newRow("SML") << smlFrame(registers()) + Gap << n81 << Registers;
        QTest::newRow("SML Kermit")
            << smlFrame(registers(), { SmlCrc::Kermit }) + Gap << n81 << Registers;
        QTest::newRow("SML escape in data")
            << smlFrame(registers(), { SmlCrc::X25, false, true }) + Gap << n81 << Registers;
        QTest::newRow("SML without PIN") << smlFrame({ { obis(1, 0, 1, 8, 0), 30, 3, 12346 } })
                + Gap << n81 << "1-0:1.8.0*255=12346/0!";
        QTest::newRow("D0 with BCC")
            << d0Telegram({ "1-0:1.8.0*255(012345.6789*kWh)", "1-0:2.8.0*255(000017.0*kWh)" }, true)
            << e71 << "1-0:1.8.0*255=12345.6789/4;1-0:2.8.0*255=17.0/1";
        QTest::newRow("a damaged one among good ones")
            << smlFrame(registers(), { SmlCrc::Broken }) + Gap + smlFrame(registers()) + Gap << n81
            << Registers;

        QTest::newRow("broken CRC") << smlFrame(registers(), { SmlCrc::Broken }) + Gap << n81
                                    << "Vom Zähler kamen nur beschädigte Telegramme. Die Prüfsumme "
                                       "des Telegramms stimmt nicht. Sitzt der Lesekopf ruhig "
                                       "und gerade auf der Schnittstelle?";
        const QByteArray frame = smlFrame(registers());
        QTest::newRow("truncated")
            << frame.first(frame.size() / 2) + Gap << n81
            << "Vom Zähler kamen nur beschädigte Telegramme. Das Telegramm ist unvollständig. "
               "Sitzt der Lesekopf ruhig und gerade auf der Schnittstelle?";
        QTest::newRow("noise") << QByteArray(500, '\xf7') << n81
                               << "Vom Zähler kommen Zeichen, aber kein Telegramm: stimmen "
                                  "Geschwindigkeit und Übertragung unter \"Lesekopf einrichten…\"? "
                                  "(SML meist 9600 8N1, D0 9600 oder 300 mit 7E1)";
    }
    void streams()
    {
        QFETCH(QByteArray, cycle);
        QFETCH(int, framing);
        QFETCH(QString, expected);
        FakeMeter meter(cycle);
        const MeterReadout r = readMeterWaiting(
            { meter.path, framing == int(Framing::Bits7E1) ? 300 : 9600, Framing(framing) }, Short);
        QCOMPARE(r.problem.isEmpty() ? registersText(r.telegram) : r.problem, expected);
    }

    void portProblems()
    {
        FakeMeter silent({});
        QCOMPARE(readMeterWaiting({ silent.path }, { std::chrono::milliseconds(300) }).problem,
            "Kein Signal vom Zähler: sitzt der Lesekopf richtig auf der Schnittstelle?");
        QCOMPARE(readMeterWaiting({ "/dev/serial/by-id/usb-nicht-da" }).problem,
            "Der Anschluss \"/dev/serial/by-id/usb-nicht-da\" kann nicht geöffnet werden: es gibt "
            "ihn nicht. Ist der Lesekopf eingesteckt?");
    }

    // The window: Ctrl+L reads the register of the meter shown into the
    // reading input with today's date; only Enter logs it.
    void readingIntoTheWindow()
    {
        FakeMeter meter(smlFrame(registers()) + Gap);
        Window w;
        w.writeHeadFile("Art;Wert\r\nAnschluss;" + meter.path.toLocal8Bit()
            + "\r\nGeschwindigkeit;9600\r\n\xdc"
              "bertragung;8N1\r\n");
        w.services.limits = Short;
        const QByteArray logBefore = [&] {
            QFile f(w.dir.filePath("Mein_Verbrauch.txt"));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        focus(w.f.Memo_Stand);
        TShiftState ctrl;
        ctrl.ctrl = true;
        pressKey(w.f, 'L', QChar(12), ctrl);
        QVERIFY2(w.services.boxes.empty(),
            qPrintable(w.services.boxes.empty() ? QString() : w.services.boxes[0].text));
        QCOMPARE(w.services.reads, 1);
        QCOMPARE(w.f.Memo_Stand.text(), "12345,7");
        QCOMPARE(w.f.dtp_Ablese.date(), w.services.todayDate);
        QCOMPARE(w.f.shownLog().lastFilledRow(), -1);
        QFile log(w.dir.filePath("Mein_Verbrauch.txt"));
        QCOMPARE(log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray(), logBefore);

        pressKey(w.f, '\r', QChar('\r'));
        QCOMPARE(w.f.shownLog().lastFilledRow(), 0);
        QVERIFY(w.f.StringGrid1.cell(1, 1).startsWith("12345,7"));
    }

    // Every way a read ends without a reading: a message, nothing entered.
    void nothingEntered_data()
    {
        QTest::addColumn<QByteArray>("headFile");
        QTest::addColumn<QByteArray>("cycle");
        QTest::addColumn<QString>("message");
        QTest::newRow("no port chosen")
            << QByteArray() << QByteArray() << "Es ist noch kein Lesekopf eingerichtet";
        QTest::newRow("file unreadable") << QByteArray("Art;Wert\r\nProtokoll;SML\r\n")
                                         << QByteArray() << "ab Zeile 2 nicht gelesen";
        QTest::newRow("damaged only")
            << QByteArray("PORT") << smlFrame(registers(), { SmlCrc::Broken }) + Gap
            << "nur beschädigte Telegramme";
        QTest::newRow("no such register")
            << QByteArray("PORT") << smlFrame({ { obis(1, 0, 2, 8, 0), 30, -1, 5 } }) + Gap
            << "Der Zähler sendet keinen Zählerstand 1.8.0 (Bezug), der zu diesem Zähler "
               "gehört (er sendet 2.8.0). Es wurde nichts eingetragen.";
        QTest::newRow("too large for the input")
            << QByteArray("PORT") << smlFrame({ { obis(1, 0, 1, 8, 0), 30, 0, 1000000000 } }) + Gap
            << "ist größer, als das Feld fasst";
    }
    void nothingEntered()
    {
        QFETCH(QByteArray, headFile);
        QFETCH(QByteArray, cycle);
        QFETCH(QString, message);
        FakeMeter meter(cycle);
        Window w;
        w.services.limits = Short;
        if (headFile == "PORT")
            headFile = "Art;Wert\r\nAnschluss;" + meter.path.toLocal8Bit() + "\r\n";
        if (!headFile.isEmpty())
            w.writeHeadFile(headFile);
        const QString before = w.f.Memo_Stand.text();
        const QDate day = w.f.dtp_Ablese.date();
        w.f.Lesen1->click();
        QCOMPARE(w.services.boxes.size(), size_t(1));
        QVERIFY2(w.services.boxes[0].text.contains(message), qPrintable(w.services.boxes[0].text));
        QCOMPARE(w.f.Memo_Stand.text(), before);
        QCOMPARE(w.f.dtp_Ablese.date(), day);
    }

    // The dialog's choice is saved, byte for byte as the file has it; a
    // file that is unreadable or changed meanwhile is kept as it is.
    void settingsSaved()
    {
        Window w;
        w.services.answer
            = ReadHeadSettings { "/dev/serial/by-id/usb-Kopf", 300, Framing::Bits7E1 };
        QVERIFY(!QFile::exists(w.headFile()));
        w.f.Lesekopf1->click();
        QFile file(w.headFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
            QByteArray("Art;Wert\r\nAnschluss;/dev/serial/by-id/usb-Kopf\r\nGeschwindigkeit;"
                       "300\r\n\xdc"
                       "bertragung;7E1\r\n"));
        file.close();

        const QByteArray newer = "Art;Wert\r\nProtokoll;SML\r\n";
        w.writeHeadFile(newer);
        w.services.answer->baud = 9600;
        w.f.Lesekopf1->click();
        QCOMPARE(w.services.dialogs, 1); // refused before the dialog
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), newer);
    }

    // The dialog's test on the fake meter: the registers with their units,
    // and the note on whole kWh.
    void dialogTest()
    {
        FakeMeter meter(smlFrame({ { obis(1, 0, 1, 8, 0), 30, 3, 12346 } }) + Gap);
        ReadHeadDialog dialog(nullptr, { meter.path });
        QCOMPARE(dialog.settings().port, meter.path);
        QCOMPARE(dialog.speed->currentText(), "9600");
        dialog.test->click();
        QTRY_VERIFY_WITH_TIMEOUT(dialog.test->isEnabled(), 10000);
        QVERIFY2(dialog.found->text().contains("1.8.0 (Bezug): 12346 kWh"),
            qPrintable(dialog.found->text()));
        QVERIFY(dialog.found->text().contains("ohne PIN nur ganze kWh"));
    }
};

QTEST_MAIN(TestReadHeadPort)
#include "tst_readheadport.moc"
