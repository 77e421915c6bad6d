#include "common/cp1252.h"
#include "core/meters.h"

#include <QtTest>

using namespace voltaris;

namespace {

const QString Header = "Art;Name;Zählerart;Zählernummer;Datei;Werte";

QByteArray fileOf(const QStringList &lines)
{
    return toWindows1252((QStringList { Header } + lines).join("\r\n") + "\r\n");
}

} // namespace

class TestMeters : public QObject {
    Q_OBJECT
private slots:
    // Every kind with its values and changes comes back as it was written,
    // byte for byte.
    void roundTrip()
    {
        const QStringList lines { "Zähler;Nacht;NT;;Nacht;22,50", "Preis;01.07.2026;23,10;",
            "Zähler;Wärmepumpe;Vertrag;1ESY 42;Waermepumpe;Stadtwerke;WP Strom;01.03.2026;"
            "96,00;24,90;55,00",
            "Preis;01.01.2027;26,00;110,00", "Abschlag;01.02.2027;60,00",
            "Zähler;Wallbox;Unterzaehler;;Wallbox", "Zähler;Netz;Einspeisung;;Netz;0,00",
            "Zähler;Balkon;Solar;;Balkon;799,99;15.04.2025;;30,00",
            "Zähler;Dach;Solar;;Dach;9800,00;01.06.2024;6,40;0,00" };
        const SideFileRead<Meters> read = parseMeters(fileOf(lines));
        QCOMPARE(read.badLine, 0);
        QCOMPARE(read.value.further.size(), size_t(6));
        const Meter &heat = read.value.further[1];
        QCOMPARE(heat.kind, MeterKind::OwnContract);
        QCOMPARE(heat.contract.start, QDate(2026, 3, 1));
        QCOMPARE(double(heat.contract.price), 24.9);
        QCOMPARE(heat.changes.instalments.size(), size_t(1));
        QVERIFY(!read.value.further[4].solar.peakPower);
        QCOMPARE(double(*read.value.further[5].solar.peakPower), 6.4);
        QCOMPARE(metersFileBytes(read.value), fileOf(lines));
    }

    // The first line that cannot be read, with the meters above it kept:
    // after the night meter, the line (and a meter line before it).
    void badLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("kept");
        QTest::newRow("unknown kind") << "Zähler;Keller;Gas;;Keller" << 1;
        QTest::newRow("values missing") << "Zähler;Keller;NT;;Keller" << 1;
        QTest::newRow("sub-meter with values") << "Zähler;Keller;Unterzaehler;;Keller;3" << 1;
        QTest::newRow("sub-meter with a change")
            << "Zähler;Keller;Unterzaehler;;Keller\r\nPreis;01.01.2026;3;" << 2;
        QTest::newRow("price no number") << "Zähler;Keller;NT;;Keller;zwölf" << 1;
        QTest::newRow("no start date") << "Zähler;WP;Vertrag;;WP;A;B;;1;2;3" << 1;
        QTest::newRow("share over 100") << "Zähler;PV;Solar;;PV;500;01.01.2025;;101" << 1;
        QTest::newRow("key is a path") << "Zähler;Keller;NT;;../Keller;3" << 1;
        QTest::newRow("key of another") << "Zähler;Auto;NT;;Nacht;3" << 1;
        QTest::newRow("name of another") << "Zähler;nacht;NT;;Nacht2;3" << 1;
        QTest::newRow("main meter's name") << "Zähler;Hauptzähler;NT;;Hauptzaehler;3" << 1;
        QTest::newRow("change out of order") << "Preis;01.07.2026;24;\r\nPreis;01.06.2026;25;" << 1;
        QTest::newRow("unknown line") << "Tarif;01.07.2026;24;" << 1;
    }
    void badLines()
    {
        QFETCH(QString, line);
        QFETCH(int, kept);
        const SideFileRead<Meters> read
            = parseMeters(fileOf({ "Zähler;Nacht;NT;;Nacht;22,50", line }));
        QCOMPARE(read.badLine, 2 + int(line.count("\r\n")) + 1);
        QCOMPARE(int(read.value.further.size()), kept);
    }

    void fileKeys_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("key");
        QTest::newRow("umlauts") << "Wärmepumpe Süd"
                                 << "Waermepumpe_Sued";
        QTest::newRow("capitals and ß") << "ÖLHEIZUNG Straße"
                                        << "OeLHEIZUNG_Strasse";
        QTest::newRow("signs collapse") << " Wallbox (Garage) #2 "
                                        << "Wallbox_Garage_2";
        QTest::newRow("path signs") << "../../etc"
                                    << "etc";
        QTest::newRow("nothing left") << "€ – …"
                                      << "";
    }
    void fileKeys()
    {
        QFETCH(QString, name);
        QFETCH(QString, key);
        QCOMPARE(meterFileKey(name), key);
    }

    // A copy of a log brings the replacements' file of its own name.
    void changesBeside_data()
    {
        QTest::addColumn<QString>("log");
        QTest::addColumn<QString>("changes");
        QTest::newRow("main") << "Mein_Verbrauch.txt"
                              << "Mein_Zaehlerwechsel.txt";
        QTest::newRow("further") << "Mein_Verbrauch_Waermepumpe.txt"
                                 << "Mein_Zaehlerwechsel_Waermepumpe.txt";
        QTest::newRow("renamed copy") << "Sicherung.txt"
                                      << "Mein_Zaehlerwechsel.txt";
        QTest::newRow("no key") << "Mein_Verbrauch_.txt"
                                << "Mein_Zaehlerwechsel.txt";
        QTest::newRow("key not one") << "Mein_Verbrauch_a b.txt"
                                     << "Mein_Zaehlerwechsel.txt";
    }
    void changesBeside()
    {
        QFETCH(QString, log);
        QFETCH(QString, changes);
        QCOMPARE(changesNameBeside(log), changes);
    }
};

QTEST_GUILESS_MAIN(TestMeters)
#include "tst_meters.moc"
