#include "common/cp1252.h"
#include "common/formatsettings.h"
#include "common/numtext.h"
#include "core/csvexport.h"
#include "core/logfile.h"
#include "core/logimport.h"

#include <QtTest>

using namespace voltaris;

namespace {

// Each row as "line date reading fate".
QStringList described(const std::vector<ImportRow> &rows)
{
    QStringList out;
    for (const ImportRow &r : rows)
        out << QStringLiteral("%1 %2 %3 %4")
                   .arg(r.line)
                   .arg(r.date.toString(QStringLiteral("dd.MM.yyyy")), formatValue(r.reading, ','),
                       fateText(r));
    return out;
}

QDate day(const char *text)
{
    return QDate::fromString(QLatin1String(text), QStringLiteral("dd.MM.yyyy"));
}

const QString Ok = QStringLiteral("wird übernommen");

// The text in UTF-16 of that byte order, with or without its byte-order mark.
QByteArray utf16(const QString &text, QSysInfo::Endian order, bool bom)
{
    QByteArray out;
    for (const QChar c : (bom ? QStringLiteral("\uFEFF") : QString()) + text) {
        const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xFF);
        out.append(order == QSysInfo::LittleEndian ? low : high);
        out.append(order == QSysInfo::LittleEndian ? high : low);
    }
    return out;
}

} // namespace

class TestLogImport : public QObject {
    Q_OBJECT
private slots:
    void dialects_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("rows");
        const LogRows log { { "01.01.2026", "1000,00", "0", "0" }, { "", "", "", "" },
            { "01.02.2026", "1155,50", "31", "5,02" } };
        QTest::newRow("own CSV export")
            << csvOf(log, FormatSettings::german())
            << QStringList { "2 01.01.2026 1000,00 " + Ok, "3 01.02.2026 1155,50 " + Ok };
        QTest::newRow("consumption file")
            << consumptionFileBytes(
                   int(log.size()), [&log](int c, int r) -> const QString & { return log[r][c]; })
            << QStringList { "5 01.01.2026 1000,00 " + Ok, "7 01.02.2026 1155,50 " + Ok };
        QTest::newRow("German, Windows-1252, two-digit years")
            << toWindows1252(u"Zählerstände;Küche\r\nAblesedatum;Nr;Zählerstand (kWh)\r\n"
                             u"05.01.26;7;1.234,5\r\n06.02.26;8;1.300\r\n")
            << QStringList { "3 05.01.2026 1234,50 " + Ok, "4 06.02.2026 1300,00 " + Ok };
        QTest::newRow("UTF-8 without byte-order mark")
            << QStringLiteral("Datum;Tage;Zählerstand [kWh]\n\n01.03.2026;3;1500,25 kWh\n").toUtf8()
            << QStringList { "3 01.03.2026 1500,25 " + Ok };
        QTest::newRow("international, quoted, times")
            << QByteArray("\"Date\",\"Reading [kWh]\",\"Note\"\n"
                          "2026-01-05 08:30,\"1,234.5\",\"a, \"\"b\"\"\"\n"
                          "2026-02-05T08:30:00Z,1300,x\n")
            << QStringList { "2 05.01.2026 1234,50 " + Ok, "3 05.02.2026 1300,00 " + Ok };
        // The per-day column comes first, yet the reading's own name wins.
        QTest::newRow("tabs") << QByteArray(
            "Zeitpunkt\tkWh/Tag\tValue\n05.01.2026 08:30\t3.5\t1234.5\n")
                              << QStringList { "2 05.01.2026 1234,50 " + Ok };
        // Once the table started, a line without a date is one of its rows.
        QTest::newRow("no header")
            << QByteArray("Zaehler 1\n01.01.2026|A|1000\n02.01.2026|B|1010.5\nSumme||2010.5\n")
            << QStringList { "2 01.01.2026 1000,00 " + Ok, "3 02.01.2026 1010,50 " + Ok,
                   "4  2010,50 übersprungen: kein Datum" };
        // As spreadsheets read them.
        QTest::newRow("two-digit years of both centuries")
            << QByteArray("Datum;Stand\n15.06.99;500\n01.01.70;600\n31.12.29;700\n01.01.30;800\n")
            << QStringList { "2 15.06.1999 500,00 " + Ok, "3 01.01.1970 600,00 " + Ok,
                   "4 31.12.2029 700,00 " + Ok, "5 01.01.1930 800,00 " + Ok };
        QTest::newRow("CR only (CSV Macintosh)")
            << QByteArray("Datum;Z\xE4hlerstand\r01.01.2026;1000\r\r01.02.2026;1155,5\r")
            << QStringList { "2 01.01.2026 1000,00 " + Ok, "4 01.02.2026 1155,50 " + Ok };
        const QString text = "Datum\tZählerstand\r\n01.01.2026\t1000,5\r\n01.02.2026\t1.155,5\r\n";
        const QStringList utf16Rows { "2 01.01.2026 1000,50 " + Ok, "3 01.02.2026 1155,50 " + Ok };
        QTest::newRow("UTF-16 LE") << utf16(text, QSysInfo::LittleEndian, true) << utf16Rows;
        QTest::newRow("UTF-16 BE") << utf16(text, QSysInfo::BigEndian, true) << utf16Rows;
        QTest::newRow("UTF-16 LE, no mark")
            << utf16(text, QSysInfo::LittleEndian, false) << utf16Rows;
        QTest::newRow("UTF-16 BE, no mark") << utf16(text, QSysInfo::BigEndian, false) << utf16Rows;
        // Of a day's readings its last one, by the time of day.
        QTest::newRow("many readings a day, newest first")
            << QByteArray("Zeitpunkt;Z\xE4hlerstand (kWh)\n02.03.2026 00:15;110,7\n"
                          "01.03.2026 23:05;110,5\n01.03.2026 12:00;105\n01.03.2026 00:15;100,1\n")
            << QStringList { "2 02.03.2026 110,70 " + Ok, "3 01.03.2026 110,50 " + Ok };
        // The date's header names no replacement column as well.
        QTest::newRow("date column named like a replacement")
            << QByteArray("\"Datum (alter Z\xE4hler)\";Stand\n\"01.01.2026\";1000\n")
            << QStringList { "2 01.01.2026 1000,00 " + Ok };
        QTest::newRow("many readings a day, the time in a column")
            << QByteArray("Datum;Uhrzeit;Stand\n01.03.2026;00:15;100\n01.03.2026;23:45;110\n"
                          "01.03.2026;23:50;n/a\n02.03.2026;00:15;111\n")
            << QStringList { "3 01.03.2026 110,00 " + Ok, "5 02.03.2026 111,00 " + Ok };
    }
    void dialects()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, rows);
        const ImportParse p = parseImport(bytes);
        QCOMPARE(p.error, QString());
        QCOMPARE(described(p.rows), rows);
    }

    // Against a log whose second meter started on 10.03.2026; a "~" stands
    // for "übersprungen: ", a "|" between the fates of several lines.
    void fates_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QString>("fates");
        const auto row = [](const char *name, const char *lines, const char *fates) {
            QTest::newRow(name) << QByteArray(lines)
                                << QString::fromUtf8(fates).replace("~", "übersprungen: ");
        };
        row("added", "15.02.2026;1200", "wird übernommen");
        row("in log", "01.02.2026;1155,5", "~Datum schon in der Tabelle (01.02.2026: 1155,50)");
        row("twice", "15.02.2026;1200\n15.02.2026;1210",
            "wird übernommen|~Datum doppelt in der Datei");
        row("no day", "31.02.2026;1200", "~kein Datum");
        row("date first", "xx;yy", "~kein Datum");
        row("no number", "15.02.2026;12a", "~keine Zahl");
        row("bad groups", "15.02.2026;1.23,4", "~keine Zahl");
        row("empty", "15.02.2026;", "~keine Zahl");
        row("negative", "15.02.2026;-1", "~außerhalb von 0 bis 999999");
        row("too big", "15.02.2026;1000000", "~außerhalb von 0 bis 999999");
        row("lower", "15.02.2026;1100", "~kleiner als der Stand vom 01.02.2026 (1155,50)");
        row("same as before", "15.02.2026;1155,5", "wird übernommen");
        row("higher", "15.02.2026;1400", "~größer als der Stand vom 01.03.2026 (1300,00)");
        // In date order: the earlier day is accepted first and bounds the later one.
        row("file order", "20.02.2026;1250\n15.02.2026;1300",
            "~kleiner als der Stand vom 15.02.2026 (1300,00)|wird übernommen");
        row("old meter, later new", "05.03.2026;1350", "wird übernommen");
        row("old meter, lower", "05.03.2026;1250",
            "~kleiner als der Stand vom 01.03.2026 (1300,00)");
        row("new meter, earlier old", "12.03.2026;5", "wird übernommen");
        row("start day is new", "10.03.2026;0", "wird übernommen");
        row("start day, higher", "10.03.2026;30", "~größer als der Stand vom 15.03.2026 (20,00)");
    }
    void fates()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QString, fates);
        ImportParse p = parseImport("Datum;Zählerstand\n01.01.2026;1\n" + lines);
        QCOMPARE(p.error, QString());
        p.rows.erase(p.rows.begin()); // the first row only makes the table start
        planImport(p.rows,
            { { day("01.02.2026"), 1155.5L }, { day("01.03.2026"), 1300 },
                { day("15.03.2026"), 20 } },
            { day("10.03.2026") });
        QStringList texts;
        for (const ImportRow &r : p.rows)
            texts << fateText(r);
        QCOMPARE(texts.join(u'|'), fates);
    }

    void noTable_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        QTest::newRow("empty") << QByteArray() << QStringLiteral("Die Datei ist leer.");
        QTest::newRow("blank lines")
            << QByteArray("\xEF\xBB\xBF\r\n  \r\n") << QStringLiteral("Die Datei ist leer.");
        QTest::newRow("no dates") << QByteArray("Datum;Stand\nmorgen;1\n")
                                  << QStringLiteral(
                                         "In der Datei steht keine Spalte mit Datumsangaben.");
        QTest::newRow("no numbers")
            << QByteArray("01.01.2026;viel\n")
            << QStringLiteral("In der Datei steht keine Spalte mit Zählerständen.");
    }
    void noTable()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        const ImportParse p = parseImport(bytes);
        QCOMPARE(p.error, error);
        QVERIFY(p.rows.empty());
    }
};

QTEST_GUILESS_MAIN(TestLogImport)
#include "tst_logimport.moc"
