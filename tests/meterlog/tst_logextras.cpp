#include "common/dates.h"
#include "common/numtext.h"
#include "core/csvexport.h"
#include "core/history.h"
#include "core/logfile.h"
#include "core/meterchange.h"
#include "core/settlement.h"
#include "fakeservices.h"
#include "keyboard.h"
#include "meterlog/extras.h"
#include "meterlog/logtable.h"
#include "meterlog/meterlogfile.h"
#include "testfiles.h"
#include "ui/program.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace voltaris;
using namespace voltaris::test;

namespace {

// "01.02.2026=1155,5" is a row of that day and reading.
LogRows rowsOf(const QStringList &readings)
{
    LogRows rows;
    for (const QString &r : readings)
        rows << QStringList { r.section('=', 0, 0), r.section('=', 1), "", "" };
    return rows;
}

std::vector<Reading> readings(const QStringList &list)
{
    return readingsOf(rowsOf(list), FormatSettings::german());
}

QString f(long double x)
{
    return formatValue(x, ',');
}

QDate day(const QString &text)
{
    return QDate::fromString(text, "dd.MM.yyyy");
}

struct Run {
    QTemporaryDir dir;
    TestApp t;
    TProgram p { t.app, dir.path() };
    TForm1 &f = *p.Form1;

    void enter(const QStringList &steps)
    {
        for (const QString &s : steps) {
            f.dtp_Ablese.setDate(day(s.section('=', 0, 0)));
            f.Memo_Stand.setText(s.section('=', 1));
            f.btn_Save2.click();
        }
    }
    void remove(int row)
    {
        f.StringGrid1.userSelected(row);
        f.Delete1.click();
    }
    QStringList fileRows() const
    {
        TestApp t2;
        TProgram p2(t2.app, dir.path());
        return gridRows(p2.Form1->StringGrid1);
    }
};

// Panel4 as the user sees it: the average, the amount, which label and colour.
QString panelOf(const TForm1 &f)
{
    if (!f.lbl_vSrednem.visible())
        return "-";
    return QStringList { f.lbl_vSrednem.text(), f.lbl_Zahlung.text(),
        f.lbl_Gut.visible() ? "Gut" : "", f.lbl_Nach.visible() ? "Nach" : "",
        QString::number(f.lbl_Zahlung.font().color) }
        .join('|');
}

// What the entry of the log's last row shows after the rows before it, with
// the same replacements: a fresh program on a copy of the files.
QString panelOfEntry(const QString &dir)
{
    QTemporaryDir copy;
    const QByteArray log = readAll(dir + "/" + LogName);
    const qsizetype cut = log.lastIndexOf("\r\n", log.size() - 3) + 2;
    const QList<QByteArray> last = log.mid(cut).split('|');
    writeFile(copy.filePath(LogName), log.left(cut));
    const QString changes = "/" + MeterChangesName;
    if (QFile::exists(dir + changes))
        writeFile(copy.path() + changes, readAll(dir + changes));
    TestApp t;
    TProgram p(t.app, copy.path());
    p.Form1->dtp_Ablese.setDate(day(QString(last.at(0)).trimmed()));
    p.Form1->Memo_Stand.setText(QString(last.at(1)).trimmed());
    p.Form1->btn_Save2.click();
    return panelOf(*p.Form1);
}

// The first line of the replacement file.
const QByteArray ChangeHeader = "Datum;Letzter Stand alter Z\xE4hler;Erster Stand neuer Z\xE4hler;"
                                "Nummer neuer Z\xE4hler\r\n";

const QString A = "01.01.2026|1000,00|0|0";
const QString B = "01.02.2026|1155,50|31|5,02";
const QString C = "01.03.2026|1300,00|28|5,16";
const QString D = "01.04.2026|1462,00|31|5,23";

} // namespace

class TestLogExtras : public QObject {
    Q_OBJECT
private slots:
    // Worked out by hand; the figures joined: start reading, so far,
    // kWh per day, rest, cost, verdict, suggested instalment.
    void settlement_data()
    {
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QString>("start"); // dtp_Ab
        QTest::addColumn<QStringList>("contract"); // base price, cent, monthly
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("figures");
        QTest::addColumn<QStringList>("problems");
        const QStringList standard { "84", "24", "75,00" };
        // 1000 + 400 × 31 ÷ 40 on 01.01.; 10 kWh per day since the first
        // reading, 315 days left: 84 + 3650 × 0,24 = 960 against 900 paid.
        QTest::newRow("readings on both sides of the start")
            << QStringList { "01.12.2025=1000", "10.01.2026=1400", "20.02.2026=1810" }
            << "01.01.2017" << standard << "01.01.2026-01.01.2027"
            << "1310,00|500,00|10,00|3150,00|960,00|Nachzahlung ca. 60,00 €|80" << QStringList {};
        // A year and more: the reading on 01.06.2025 is 1380 (half of the
        // first interval), so (5490 − 1380) ÷ 365 a day; 318 days left.
        QTest::newRow("log starts before the year")
            << QStringList { "01.03.2025=0", "01.09.2025=2760", "01.03.2026=4570",
                   "01.06.2026=5490" }
            << "15.04.2020" << QStringList { "84", "30", "100" } << "15.04.2026-15.04.2027"
            << "5020,00|470,00|11,26|3580,77|1299,23|Nachzahlung ca. 99,23 €|110" << QStringList {};
        QTest::newRow("log starts after the year's start")
            << QStringList { "01.03.2026=500", "31.05.2026=1410" } << "01.01.2017" << standard
            << "01.01.2026-01.01.2027"
            << "500,00|910,00|10,00|2150,00|818,40|Guthaben ca. 81,60 €|80" << QStringList {};
        QTest::newRow("one reading only")
            << QStringList { "01.03.2026=500" } << "01.01.2017" << standard
            << "01.01.2026-01.01.2027"
            << "500,00|0,00|-|-|-|-|-"
            << QStringList { "Erst ein Zählerstand eingetragen: Für den Verbrauch pro Tag "
                             "braucht die Vorschau mindestens zwei." };
        QTest::newRow("contract fields no numbers")
            << QStringList { "01.03.2026=500", "31.05.2026=1410" } << "01.01.2017"
            << QStringList { "84", "abc", "" } << "01.01.2026-01.01.2027"
            << "500,00|910,00|10,00|2150,00|-|-|-"
            << QStringList { "„Strompreis“ im Vertrag ist keine Zahl: „abc“.",
                   "„monatlich“ im Vertrag ist leer." };
        // The day and month of the start in the latest year not after the
        // last reading; a 29 February is the 28th in other years.
        QTest::newRow("start day later in the year than the last reading")
            << QStringList { "01.03.2025=0", "15.03.2026=3790" } << "01.07.2019" << standard
            << "01.07.2025-01.07.2026"
            << "1220,00|2570,00|10,00|1080,00|960,00|Nachzahlung ca. 60,00 €|80" << QStringList {};
        QTest::newRow("29 February")
            << QStringList { "28.02.2026=0", "10.03.2026=100" } << "29.02.2016" << standard
            << "28.02.2026-28.02.2027"
            << "0,00|100,00|10,00|3550,00|960,00|Nachzahlung ca. 60,00 €|80" << QStringList {};
        QTest::newRow("no readings") << QStringList {} << "01.01.2017" << standard << "-"
                                     << "-|-|-|-|-|-|-"
                                     << QStringList { "Noch kein Zählerstand eingetragen: Die "
                                                      "Vorschau braucht mindestens zwei." };
    }
    void settlement()
    {
        QFETCH(QStringList, log);
        QFETCH(QString, start);
        QFETCH(QStringList, contract);
        QFETCH(QString, year);
        QFETCH(QString, figures);
        QFETCH(QStringList, problems);
        const Settlement st = settlementOf(readings(log),
            { contract[0], contract[1], contract[2], day(start) }, FormatSettings::german());
        const QString dash = "-";
        QCOMPARE(st.hasYear ? st.yearStart.toString("dd.MM.yyyy") + "-"
                    + st.nextYearStart.toString("dd.MM.yyyy")
                            : dash,
            year);
        QStringList got { st.hasYear ? f(st.startReading) : dash, st.hasYear ? f(st.soFar) : dash,
            st.hasRate ? f(st.perDay) : dash, st.hasRate ? f(st.rest) : dash };
        if (st.complete())
            got << f(st.cost) << settlementVerdict(st, ',')
                << formatFixed(st.suggested, 18, 0, ',');
        else
            got << dash << dash << dash;
        QCOMPARE(got.join('|'), figures);
        // Hints about the contract come first, then those about the log.
        QCOMPARE(st.problems, problems);
        if (st.hasYear)
            QCOMPARE(st.daysSoFar + st.daysLeft, st.yearDays);
        QCOMPARE(st.startFrom == Settlement::StartFrom::FirstReading,
            st.hasYear && st.first.date > st.yearStart);
        QCOMPARE(st.notes.filter("erst am").size(),
            st.startFrom == Settlement::StartFrom::FirstReading ? 1 : 0);
        // Between two readings the start is interpolated; on a reading it is that reading.
        const bool onStart
            = st.hasYear && !log.filter(st.yearStart.toString("dd.MM.yyyy=")).isEmpty();
        QCOMPARE(st.startFrom == Settlement::StartFrom::Interpolated,
            st.hasYear && !onStart && st.first.date < st.yearStart);
    }

    void history_data()
    {
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<int>("maxSteps");
        QTest::addColumn<QStringList>("steps"); // from-to kWh/day @ reading
        QTest::addColumn<QString>("average");
        const QStringList small { "01.01.2026=1000", "01.02.2026=1155,5", "01.03.2026=1300" };
        QTest::newRow("intervals") << small << 300
                                   << QStringList { "01.01.2026-01.02.2026 5,02 @ 1155,50",
                                          "01.02.2026-01.03.2026 5,16 @ 1300,00" }
                                   << "5,08";
        // 10 a day to 15.02., then 20: January 170 in 17 days, February
        // 140 + 280 in 28, March 280 in 14.
        QTest::newRow("months") << QStringList { "15.01.2026=0", "15.02.2026=310",
            "15.03.2026=870" } << 1
                                << QStringList { "15.01.2026-01.02.2026 10,00 @ 170,00",
                                       "01.02.2026-01.03.2026 15,00 @ 590,00",
                                       "01.03.2026-15.03.2026 20,00 @ 870,00" }
                                << "14,75";
        QTest::newRow("months, the last reading on the first")
            << QStringList { "15.01.2026=0", "15.02.2026=310", "01.03.2026=590" } << 1
            << QStringList { "15.01.2026-01.02.2026 10,00 @ 170,00",
                   "01.02.2026-01.03.2026 15,00 @ 590,00" }
            << "13,11";
        QTest::newRow("one reading")
            << QStringList { "01.01.2026=1000" } << 300 << QStringList {} << "0,00";
    }
    void history()
    {
        QFETCH(QStringList, log);
        QFETCH(int, maxSteps);
        QFETCH(QStringList, steps);
        QFETCH(QString, average);
        const History h = historyOf(readings(log), maxSteps);
        QStringList got;
        for (const HistoryStep &s : h.steps)
            got << QString("%1-%2 %3 @ %4")
                       .arg(s.from.toString("dd.MM.yyyy"), s.to.toString("dd.MM.yyyy"), f(s.perDay),
                           f(s.reading));
        QCOMPARE(got, steps);
        QCOMPARE(f(h.average), average);
        QCOMPARE(h.byMonth, maxSteps < log.size() - 1);
    }

    // Thousands of daily readings stay a few dozen months.
    void historyOfManyReadings()
    {
        std::vector<Reading> many;
        for (int i = 0; i < 3650; ++i)
            many.push_back({ QDate(2016, 1, 1).addDays(i), 10.0L * i });
        const History h = historyOf(many);
        QVERIFY(h.byMonth);
        QCOMPARE(int(h.steps.size()), 120);
        for (const HistoryStep &s : h.steps)
            QCOMPARE(f(s.perDay), QString("10,00"));
    }

    void csv_data()
    {
        QTest::addColumn<FormatSettings>("settings");
        QTest::addColumn<LogRows>("rows");
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray header = "\xEF\xBB\xBF"
                                  "Datum;Z\xC3\xA4hlerstand;Tage;kWh/Tag\r\n";
        QTest::newRow("german") << FormatSettings::german()
                                << LogRows { { "01.01.2026", "1000,00", "0", "0" },
                                       { "01.02.2026", "907,00", "31", "-3,00" },
                                       { "  ", "", "", "" } }
                                << header
                + "01.01.2026;1000,00;0;0\r\n01.02.2026;907,00;31;-3,00\r\n";
        QTest::newRow("other settings become german")
            << FormatSettings::english() << LogRows { { "02/01/2026", "1155.50", "31", "5.02" } }
            << header + "01.02.2026;1155,50;31;5,02\r\n";
        QTest::newRow("texts that are no numbers")
            << FormatSettings::german()
            << LogRows { { "01.01.2026", "=1+2", "-x", "@a;\"b\"" }, { "x", "+1", "", "" } }
            << header + "01.01.2026;'=1+2;'-x;\"'@a;\"\"b\"\"\"\r\nx;+1;;\r\n";
        QTest::newRow("line breaks, semicolons and quotes are quoted")
            << FormatSettings::german() << LogRows { { "a\nb", "c\rd", "e;f", "g\"h" } }
            << header + "\"a\nb\";\"c\rd\";\"e;f\";\"g\"\"h\"\r\n";
        QTest::newRow("empty log")
            << FormatSettings::german() << LogRows { { "", "", "", "" } } << header;
        QTest::newRow("blank is blanks and control characters only")
            << FormatSettings::german()
            << LogRows { { "\t", " \x1f", "", "" }, { "!", "", "", "" } } << header + "!;;;\r\n";
    }
    void csv()
    {
        QFETCH(FormatSettings, settings);
        QFETCH(LogRows, rows);
        QFETCH(QByteArray, bytes);
        QCOMPARE(csvOf(rows, settings), bytes);
    }

    // The exported file as Python's csv module reads it.
    void csvInPython()
    {
        const QString python = QStandardPaths::findExecutable("python3");
        if (python.isEmpty())
            QSKIP("python3 is not installed");
        Run r;
        r.enter({ "01.01.2026=1000,0", "01.02.2026=1155,5" });
        r.f.StringGrid1.setCell(1, 2, "=HYPERLINK(\"x\";1)");
        const QString path = r.dir.filePath("export.csv");
        r.t.services.savePath = path;
        focus(r.f.Memo_Stand);
        TShiftState ctrl;
        ctrl.ctrl = true;
        pressKey(r.f, 'E', QChar(5), ctrl);
        QCOMPARE(r.t.services.saveDialogs, QStringList { "Als CSV exportieren" });
        QCOMPARE(r.t.services.suggestedPaths, QStringList { r.dir.filePath("Mein_Verbrauch.csv") });
        QProcess p;
        p.start(python,
            { "-c",
                "import csv, json, sys\n"
                "with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
                "    print(json.dumps(list(csv.reader(f, delimiter=';'))))",
                path });
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()).trimmed(),
            QString("[[\"Datum\", \"Z\\u00e4hlerstand\", \"Tage\", \"kWh/Tag\"], "
                    "[\"01.01.2026\", \"1000,00\", \"0\", \"0\"], "
                    "[\"01.02.2026\", \"'=HYPERLINK(\\\"x\\\";1)\", \"31\", \"5,02\"]]"));
        // Cancelled: nothing written; an empty log asks for no file at all.
        QFile::remove(path);
        r.t.services.savePath.clear();
        r.f.CsvExport1->click();
        QVERIFY(!QFile::exists(path));
        Run empty;
        empty.f.CsvExport1->click();
        QCOMPARE(empty.t.services.saveDialogs.size(), 0);
        QCOMPARE(int(empty.t.services.boxes.size()), 1);
    }

    void undo_data()
    {
        QTest::addColumn<QStringList>("removals"); // rows, in order
        QTest::addColumn<QStringList>("removed");
        QTest::addColumn<QStringList>("afterOneUndo");
        const QStringList all { A, B, C, D };
        QTest::newRow("one, in the middle")
            << QStringList { "2" } << QStringList { A, "01.03.2026|1300,00|59|5,08", D } << all;
        QTest::newRow("two, then the first undone is the second removed")
            << QStringList { "3", "1" }
            << QStringList { "01.02.2026|1155,50|0|0", "01.04.2026|1462,00|59|5,19" }
            << QStringList { A, B, "01.04.2026|1462,00|59|5,19" };
        QTest::newRow("the last") << QStringList { "4" } << QStringList { A, B, C } << all;
    }
    void undo()
    {
        QFETCH(QStringList, removals);
        QFETCH(QStringList, removed);
        QFETCH(QStringList, afterOneUndo);
        Run r;
        r.enter(
            { "01.01.2026=1000,0", "01.02.2026=1155,5", "01.03.2026=1300,0", "01.04.2026=1462,0" });
        r.f.PopupMenuTable.popup();
        QVERIFY(!r.f.Undo1->enabled());
        QCOMPARE(r.f.Undo1->text(), QString("Rückgängig"));
        for (const QString &row : removals)
            r.remove(row.toInt());
        QCOMPARE(gridRows(r.f.StringGrid1), removed);
        r.f.PopupMenuTable.popup();
        QVERIFY(r.f.Undo1->enabled());
        // Ctrl+Z in the grid is the menu's undo; in the reading it is not,
        // nor is another Ctrl key in the grid.
        TShiftState ctrl;
        ctrl.ctrl = true;
        focus(r.f.Memo_Stand);
        pressKey(r.f, 'Z', QChar(26), ctrl);
        focus(r.f.StringGrid1);
        pressKey(r.f, 'C', QChar(3), ctrl);
        QCOMPARE(gridRows(r.f.StringGrid1), removed);
        QCOMPARE(r.t.services.beeps, 0);
        pressKey(r.f, 'Z', QChar(26), ctrl);
        QCOMPARE(gridRows(r.f.StringGrid1), afterOneUndo);
        QCOMPARE(r.fileRows(), afterOneUndo);
        for (int i = 0; i < 4 && !r.f.shownLogFile().undoSteps.empty(); ++i)
            r.f.Undo1->click();
        QCOMPARE(gridRows(r.f.StringGrid1), (QStringList { A, B, C, D }));
        QCOMPARE(r.fileRows(), (QStringList { A, B, C, D }));
        r.f.PopupMenuTable.popup();
        QVERIFY(!r.f.Undo1->enabled());
        QCOMPARE(r.f.Undo1->text(), QString("Rückgängig"));
        pressKey(r.f, 'Z', QChar(26), ctrl);
        QCOMPARE(r.t.services.beeps, 1);
        QCOMPARE(int(r.t.services.boxes.size()), 0);
    }

    // A restored row is brought into view; a view that shows it stays put.
    void undoScrollsOnlyWhenNeeded()
    {
        Run r;
        QStringList steps;
        for (int i = 0; i < 40; ++i)
            steps << QDate(2026, 1, 1).addDays(i).toString("dd.MM.yyyy=")
                    + QString::number(1000 + i);
        r.enter(steps);
        TStringGrid &g = r.f.StringGrid1;
        const int visible = g.visibleRowCount();
        QVERIFY(visible > 2 && visible < 30);
        const struct {
            int removed, topBefore, topAfter;
        } cases[] = { { 2, 1, 1 }, { 12, 10, 10 }, { 2, 20, 2 }, { 40, 1, 40 - visible + 1 } };
        for (const auto &c : cases) {
            r.remove(c.removed);
            g.setTopRow(c.topBefore);
            r.f.Undo1->click();
            QCOMPARE(g.row(), c.removed);
            QCOMPARE(g.topRow(), c.topAfter);
        }
    }

    // The only row comes back into the blank row. A row whose old place no
    // longer fits its day goes where its day belongs and counts from the row
    // above; a day entered again in the meantime is not doubled.
    void undoAfterNewEntries()
    {
        Run r;
        r.enter({ "01.01.2026=1000,0" });
        r.remove(1);
        r.f.Undo1->click();
        QCOMPARE(gridRows(r.f.StringGrid1), QStringList { A });
        r.enter({ "01.02.2026=1155,5", "01.03.2026=1300,0" });
        r.remove(3);
        r.enter({ "15.02.2026=1230,0" });
        r.f.Undo1->click();
        const QStringList restored { A, B, "15.02.2026|1230,00|14|5,32",
            "01.03.2026|1300,00|14|5,00" };
        QCOMPARE(gridRows(r.f.StringGrid1), restored);
        QCOMPARE(r.f.StringGrid1.row(), 4);
        r.remove(4);
        r.enter({ "01.03.2026=1310,0" });
        r.f.Undo1->click();
        QCOMPARE(int(r.t.services.boxes.size()), 1);
        QCOMPARE(gridRows(r.f.StringGrid1).last(), QString("01.03.2026|1310,00|14|5,71"));
        QCOMPARE(r.f.shownLogFile().undoSteps.size(), size_t(0));
        QCOMPARE(r.fileRows(), gridRows(r.f.StringGrid1));
    }

    // A past reading corrected or added from the popup menu: the rows after
    // it, the question before a doubtful reading, and the undo.
    void edits_data()
    {
        // item, marked row, the dialog's answers in turn (a replacement's:
        // day=old meter's last/new meter's first reading)
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("yes"); // the answer to a question
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("box"); // what the message or question says, in part
        const QStringList all { A, B, C, D };
        QTest::newRow("correction in the middle")
            << "Korrektur1 2 01.02.2026=1160" << true
            << QStringList { A, "01.02.2026|1160,00|31|5,16", "01.03.2026|1300,00|28|5,00", D }
            << "";
        QTest::newRow("correction moves the day")
            << "Korrektur1 2 10.02.2026=1155,5" << true
            << QStringList { A, "10.02.2026|1155,50|40|3,89", "01.03.2026|1300,00|19|7,61", D }
            << "";
        QTest::newRow("correction at the end")
            << "Korrektur1 4 05.04.2026=1480" << true
            << QStringList { A, B, C, "05.04.2026|1480,00|35|5,14" } << "";
        QTest::newRow("correction past the row below")
            << "Korrektur1 2 01.03.2026=1200" << true << all
            << "nach dem 01.01.2026 und vor dem 01.03.2026";
        QTest::newRow("correction below the reading above, Nein")
            << "Korrektur1 3 01.03.2026=1100" << false << all
            << "Der Zählerstand 1100,00 ist kleiner als der vom 01.02.2026 (1155,50).";
        QTest::newRow("correction below the reading above, Ja")
            << "Korrektur1 3 01.03.2026=1100" << true
            << QStringList { A, B, "01.03.2026|1100,00|28|-1,98", "01.04.2026|1462,00|31|11,68" }
            << "Trotzdem übernehmen?";
        QTest::newRow("added between two rows")
            << "Nachtrag1 0 15.02.2026=1230" << true
            << QStringList { A, B, "15.02.2026|1230,00|14|5,32", "01.03.2026|1300,00|14|5,00", D }
            << "";
        QTest::newRow("added before the first")
            << "Nachtrag1 0 01.12.2025=850" << true
            << QStringList { "01.12.2025|850,00|0|0", "01.01.2026|1000,00|31|4,84", B, C, D } << "";
        QTest::newRow("added on a row's day") << "Nachtrag1 0 01.03.2026=1300" << true << all
                                              << "Für den 01.03.2026 steht schon ein Zählerstand "
                                                 "in der Tabelle: 1300,00 in Zeile 3.";
        QTest::newRow("added above the reading after it")
            << "Nachtrag1 0 15.03.2026=1500" << false << all << "ist größer als der vom 01.04.2026";
        QTest::newRow("added three times the usual kWh per day")
            << "Nachtrag1 0 10.01.2026=1150" << false << all
            << "Vom 01.01.2026 bis zum 10.01.2026 wären das 16,67 kWh pro Tag";
        // The dialog stays open with the values after its message; the
        // second answer is the user's mend.
        QTest::newRow("correction past the row below, then mended")
            << "Korrektur1 2 01.03.2026=1200 10.02.2026=1155,5" << true
            << QStringList { A, "10.02.2026|1155,50|40|3,89", "01.03.2026|1300,00|19|7,61", D }
            << "nach dem 01.01.2026 und vor dem 01.03.2026";
        QTest::newRow("added on a row's day, then mended")
            << "Nachtrag1 0 01.03.2026=1300 15.03.2026=1380" << true
            << QStringList { A, B, C, "15.03.2026|1380,00|14|5,71", "01.04.2026|1462,00|17|4,82" }
            << "Für den 01.03.2026 steht schon";
        // A day after today (08.12.2026) is asked about, naming both days.
        QTest::newRow("correction after today, Nein")
            << "Korrektur1 4 20.12.2027=1480" << false << all
            << "Der 20.12.2027 liegt nach heute (08.12.2026). Trotzdem übernehmen?";
        QTest::newRow("correction after today, Ja")
            << "Korrektur1 4 20.12.2027=1480" << true
            << QStringList { A, B, C, "20.12.2027|1480,00|659|0,27" } << "liegt nach heute";
        QTest::newRow("added after today, Nein") << "Nachtrag1 0 09.12.2026=1480" << false << all
                                                 << "Der 09.12.2026 liegt nach heute (08.12.2026).";
        // The readings after a replacement's day are the new meter's: the old
        // meter's last reading is not compared with them.
        QTest::newRow("replacement before a reading of the new meter")
            << "Zaehlerwechsel1 0 15.03.2026=1480/0" << false
            << QStringList { A, B, C, "15.03.2026|0,00|14|12,86", "01.04.2026|1462,00|17|86,00" }
            << "";
    }
    void edits()
    {
        QFETCH(QString, action);
        QFETCH(bool, yes);
        QFETCH(QStringList, rows);
        QFETCH(QString, box);
        Run r;
        r.enter(
            { "01.01.2026=1000,0", "01.02.2026=1155,5", "01.03.2026=1300,0", "01.04.2026=1462,0" });
        const QStringList all = gridRows(r.f.StringGrid1);
        const QStringList words = action.split(' ');
        const bool change = words.at(0) == "Zaehlerwechsel1";
        for (const QString &answer : change ? QStringList() : words.mid(2))
            r.t.services.readingAnswers.push_back(
                { {}, day(answer.section('=', 0, 0)), strToFloat(answer.section('=', 1), ',') });
        r.t.services.answer = yes ? MsgAnswer::Yes : MsgAnswer::No;
        if (change) {
            const QString answer = words.at(2);
            r.t.services.meterChangeAnswer = MeterChangeInput { day(answer.section('=', 0, 0)),
                strToFloat(answer.section('=', 1).section('/', 0, 0), ','),
                strToFloat(answer.section('/', 1), ','), "" };
            r.f.Zaehlerwechsel1->click();
        } else if (words.at(0) == "Korrektur1") {
            r.f.StringGrid1.userSelected(words.at(1).toInt());
            r.f.Korrektur1->click();
            // The dialog shows the marked row.
            const ReadingInput &shown = r.t.services.readingDialogs.at(0);
            QCOMPARE(dateToStr(shown.date, FormatSettings::german()) + "|" + f(shown.reading) + "|",
                all.at(words.at(1).toInt() - 1).section('|', 0, 1) + "|");
        } else {
            r.f.Nachtrag1->click();
        }
        // A mend happens in the dialog that was open.
        QCOMPARE(r.t.services.readingDialogs.size(), size_t(change ? 0 : 1));
        QCOMPARE(gridRows(r.f.StringGrid1), rows);
        QCOMPARE(r.fileRows(), rows);
        QCOMPARE(r.t.services.boxes.size(), size_t(box.isEmpty() ? 0 : 1));
        if (!box.isEmpty())
            QVERIFY2(
                r.t.services.boxes[0].text.contains(box), qPrintable(r.t.services.boxes[0].text));
        if (rows == all) {
            QVERIFY(r.f.shownLogFile().undoSteps.empty());
            return;
        }
        r.f.PopupMenuTable.popup();
        QVERIFY(r.f.Undo1->text().startsWith("Rückgängig: "));
        r.f.Undo1->click();
        QCOMPARE(gridRows(r.f.StringGrid1), all);
        QCOMPARE(r.fileRows(), all);
    }

    // A meter replaced after the last reading: the rows, the average, the
    // settlement, the chart and the export count across it; removing its row
    // removes it, and the undo brings both back.
    void meterChange()
    {
        Run r;
        r.enter(
            { "01.01.2026=1000,0", "01.02.2026=1155,5", "01.03.2026=1300,0", "01.04.2026=1462,0" });
        r.t.services.meterChangeAnswer = MeterChangeInput { day("10.04.2026"), 1500, 0, "Z-42" };
        r.f.Zaehlerwechsel1->click();
        const QString change = "10.04.2026|0,00|9|4,22";
        QCOMPARE(gridRows(r.f.StringGrid1).last(), change);
        const QString changes = r.dir.filePath(MeterChangesName);
        const QByteArray header
            = "Datum;Letzter Stand alter Z\xE4hler;Erster Stand neuer Z\xE4hler;"
              "Nummer neuer Z\xE4hler\r\n";
        QCOMPARE(readAll(changes), header + "10.04.2026;1500,00;0,00;Z-42\r\n");

        r.enter({ "30.04.2026=100,0" });
        QCOMPARE(gridRows(r.f.StringGrid1).last(), QString("30.04.2026|100,00|20|5,00"));
        // (100 + 1500 − 1000) kWh over the 119 days since 01.01.2026.
        QCOMPARE(r.f.lbl_vSrednem.text(), QString("5,04"));
        const History h = historyOf(shownLogOf(r.f), r.f.app().settings());
        QCOMPARE(f(h.average), QString("5,04"));
        QCOMPARE(f(h.steps.back().perDay), QString("5,00"));
        r.f.Edit3.setText("84");
        r.f.Edit5.setText("24");
        r.f.Edit7.setText("75");
        r.f.dtp_Ab.setDate(day("01.01.2020"));
        const Settlement st = settlementOf(r.f);
        QCOMPARE(f(st.soFar), QString("600,00"));
        QVERIFY(csvOf(logRowsOf(r.f.StringGrid1), FormatSettings::german())
                    .contains("10.04.2026;0,00;9;4,22\r\n30.04.2026;100,00;20;5,00\r\n"));
        // The export carries the replacement on the new meter's first row.
        r.t.services.savePath = r.dir.filePath("export.csv");
        r.f.CsvExport1->click();
        const QByteArray exported = readAll(r.t.services.savePath);
        QVERIFY(exported.startsWith("\xEF\xBB\xBF"
                                    "Datum;Z\xC3\xA4hlerstand;Tage;kWh/Tag;Letzter Stand alter "
                                    "Z\xC3\xA4hler;Nummer neuer Z\xC3\xA4hler\r\n"));
        QVERIFY(exported.endsWith("01.04.2026;1462,00;31;5,23;;\r\n10.04.2026;0,00;9;4,22;1500,00;"
                                  "Z-42\r\n30.04.2026;100,00;20;5,00;;\r\n"));
        // Reopened, the window counts across it again.
        {
            TestApp t2;
            TProgram p2(t2.app, r.dir.path());
            QCOMPARE(p2.Form1->meterChanges().size(), size_t(1));
        }

        r.remove(5);
        QCOMPARE(readAll(changes), header);
        QCOMPARE(gridRows(r.f.StringGrid1).last(), QString("30.04.2026|100,00|29|-46,97"));
        r.f.Undo1->click();
        QCOMPARE(readAll(changes), header + "10.04.2026;1500,00;0,00;Z-42\r\n");
        QCOMPARE(gridRows(r.f.StringGrid1).mid(4),
            (QStringList { change, "30.04.2026|100,00|20|5,00" }));
        r.f.Undo1->click(); // the entry is no undo step: the replacement goes
        QCOMPARE(readAll(changes), header);
        QCOMPARE(r.fileRows(), (QStringList { A, B, C, D, "30.04.2026|100,00|29|-46,97" }));
    }

    // After a change of the table other than an entry or a removal, Panel4
    // shows what the entry of its last row would show; nothing where no
    // average is left.
    void estimateAfterChanges_data()
    {
        QTest::addColumn<QString>("change");
        for (const char *change :
            { "import", "correction", "added", "replacement", "undo", "reload", "reload single" })
            QTest::newRow(change) << QString(change);
    }
    void estimateAfterChanges()
    {
        QFETCH(QString, change);
        const bool shown = change != "reload single";
        Run r;
        const QByteArray row = "15.04.2026 |     1650,00 |   14 |  13,43\r\n";
        r.enter(
            { "01.01.2026=1000,0", "01.02.2026=1155,5", "01.03.2026=1300,0", "01.04.2026=1462,0" });
        const QString before = panelOf(r.f);
        if (change == "import") {
            r.t.services.openPath = r.dir.filePath("import.csv");
            writeFile(r.t.services.openPath, "Datum;Stand\r\n15.04.2026;1650\r\n");
            r.f.Import1->click();
        } else if (change == "correction") {
            r.t.services.readingAnswers.push_back({ {}, day("01.04.2026"), 1650 });
            r.f.StringGrid1.userSelected(4);
            r.f.Korrektur1->click();
        } else if (change == "added") {
            r.t.services.readingAnswers.push_back({ {}, day("15.04.2026"), 1650 });
            r.f.Nachtrag1->click();
        } else if (change == "replacement") {
            r.t.services.meterChangeAnswer = MeterChangeInput { day("15.04.2026"), 1650, 20, "" };
            r.f.Zaehlerwechsel1->click();
        } else if (change == "undo") {
            // The removal leaves the panel as it was; the entry after it
            // counts from the second row, the undo from the first again.
            r.remove(1);
            r.enter({ "15.04.2026=1650,0" });
            QVERIFY(panelOf(r.f) != before);
            r.f.Undo1->click();
        } else if (change.startsWith("reload")) {
            const QByteArray first = "01.01.2026 |     1000,00 |    0 |      0\r\n";
            writeFile(r.dir.filePath(LogName),
                LogHeader + (change == "reload" ? first + row : QByteArray(row)));
            r.f.FilesChangedOnDisk();
        }
        QCOMPARE(r.t.services.boxes.size(), size_t(0));
        QCOMPARE(panelOf(r.f) != "-", shown);
        if (shown)
            QVERIFY(panelOf(r.f) != before);
        QCOMPARE(panelOf(r.f), panelOfEntry(r.dir.path()));
    }

    // An import: each row's fate in the preview, the saved log as promised,
    // the whole import one undo step; Abbrechen changes nothing. `how`: an
    // empty folder, the replacement file beside the imported one, the answer
    // to a question, the progress's step that cancels, whether the offered
    // replacements are taken, and what the dialogs must have said; `changes`:
    // the replacement file after (empty: none).
    void import_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QVariantMap>("how");
        QTest::addColumn<QByteArray>("changes");
        const QStringList all { A, B, C, D };
        const QString jan = "15.01.2026|1080,50|14|5,75", feb = "01.02.2026|1155,50|17|4,41";
        QTest::newRow("German spreadsheet, each skip")
            << QByteArray("Ablesedatum;Z\xE4hlerstand;Notiz\r\n"
                          "15.01.26;1080,5;neu\r\n"
                          "01.02.2026;1155,5;schon da\r\n"
                          "gestern;1200;kein Datum\r\n"
                          "10.02.2026;viel;keine Zahl\r\n"
                          "20.02.2026;-5;negativ\r\n"
                          "25.02.2026;1100;zu klein\r\n")
            << true << "1 Zeile wird übernommen, 5 übersprungen."
            << QStringList { A, jan, feb, C, D } << QVariantMap { { "date", "15.01.2026" } }
            << QByteArray();
        QTest::newRow("international")
            << QByteArray("\"Date\",\"Reading\",\"Note\"\n\"2026-01-15 07:30\",\"1,080.5\",x\n"
                          "2026-02-01,1155.5,twice\n2026-03-15T08:00:00,\"1,380.0\",ok\n")
            << true << "2 Zeilen werden übernommen, 1 übersprungen."
            << QStringList { A, jan, feb, C, "15.03.2026|1380,00|14|5,71",
                   "01.04.2026|1462,00|17|4,82" }
            << QVariantMap() << QByteArray();
        QTest::newRow("tabs, no header")
            << QByteArray("15.01.2026\t1080,5\n") << true
            << "1 Zeile wird übernommen, 0 übersprungen." << QStringList { A, jan, feb, C, D }
            << QVariantMap() << QByteArray();
        QTest::newRow("a copy of the log")
            << QByteArray(LogHeader
                   + "15.01.2026 |     1080,50 |   14 |   5,75\r\n"
                     "01.02.2026 |     1155,50 |   17 |   4,41\r\n")
            << true << "1 Zeile wird übernommen, 1 übersprungen."
            << QStringList { A, jan, feb, C, D } << QVariantMap() << QByteArray();
        QTest::newRow("own export")
            << QByteArray("\xEF\xBB\xBF"
                          "Datum;Z\xC3\xA4hlerstand;Tage;kWh/Tag\r\n15.01.2026;1080,5;14;5,75\r\n")
            << true << "1 Zeile wird übernommen, 0 übersprungen."
            << QStringList { A, jan, feb, C, D } << QVariantMap() << QByteArray();
        QTest::newRow("cancelled")
            << QByteArray("\"Date\",\"Reading\"\n\"2026-01-15 07:30\",\"1080.5\"\n") << false
            << "1 Zeile wird übernommen, 0 übersprungen." << all << QVariantMap() << QByteArray();

        QTest::newRow("two-digit years of the last century")
            << QByteArray("Datum;Stand\n15.06.99;500\n01.01.70;100\n") << true
            << "2 Zeilen werden übernommen, 0 übersprungen."
            << QStringList { "01.01.1970|100,00|0|0", "15.06.1999|500,00|10757|0,04",
                   "01.01.2026|1000,00|9697|0,05", B, C, D }
            << QVariantMap { { "date", "15.06.1999" } } << QByteArray();

        // A restore into an empty folder brings back every reading and the
        // replacement, from the export or from a copy of the log beside its
        // replacement file.
        const QStringList restored { A, B, C, D, "10.04.2026|0,00|9|4,22",
            "30.04.2026|100,00|20|5,00" };
        const QByteArray changeFile = ChangeHeader + "10.04.2026;1500,00;0,00;Z-42\r\n";
        const QString six = "6 Zeilen werden übernommen, 0 übersprungen. Ein Zählerwechsel wird "
                            "eingetragen.";
        LogRows exported;
        for (const QString &row : restored)
            exported << row.split('|');
        QTest::newRow("restore of the export with a replacement")
            << csvOf(exported, FormatSettings::german(), { { day("10.04.2026"), 1500, 0, "Z-42" } })
            << true << six << restored << QVariantMap { { "empty", true } } << changeFile;
        QTest::newRow("restore of a log copy beside its replacement file")
            << consumptionFileBytes(int(exported.size()),
                   [&exported](int c, int r) -> const QString & { return exported[r][c]; })
            << true << six << restored
            << QVariantMap { { "empty", true }, { "beside", changeFile } } << changeFile;

        // A drop followed by rising readings is offered as a replacement.
        const QByteArray drop = "Datum;Stand\n10.04.2026;3\n10.05.2026;150\n10.06.2026;300\n";
        const QString dropped = "3 Zeilen werden übernommen, 0 übersprungen. Ein Zählerwechsel "
                                "wird eingetragen.";
        QTest::newRow("a drop taken as a replacement")
            << drop << true << dropped
            << QStringList { A, B, C, D, "10.04.2026|3,00|9|0,00", "10.05.2026|150,00|30|4,90",
                   "10.06.2026|300,00|31|4,84" }
            << QVariantMap { { "offer", "Zählerwechsel eintragen: am 10.04.2026 (Zeile 2)" } }
            << ChangeHeader + "10.04.2026;1462,00;3,00;\r\n";
        QTest::newRow("a drop not taken")
            << drop << true << dropped << all
            << QVariantMap { { "offer", "Zählerwechsel eintragen: am 10.04.2026 (Zeile 2)" },
                   { "takeOffer", false } }
            << QByteArray();

        // A day after today is asked about, with the day.
        const QByteArray future = "Datum;Stand\n15.04.2026;1500\n20.12.2027;9000\n";
        const QString later = "2 Zeilen werden übernommen, 0 übersprungen.\n1 Zeile liegt nach "
                              "heute; sie wird erst nach einer Rückfrage übernommen.";
        const QString april = "15.04.2026|1500,00|14|2,71";
        QTest::newRow("a day after today, left out")
            << future << true << later << QStringList { A, B, C, D, april }
            << QVariantMap { { "answer", "Nein" },
                   { "asked",
                       "Eine Ablesung ist nach dem heutigen Tag (08.12.2026) datiert: "
                       "20.12.2027." } }
            << QByteArray();
        QTest::newRow("a day after today, taken")
            << future << true << later
            << QStringList { A, B, C, D, april, "20.12.2027|9000,00|614|12,21" }
            << QVariantMap { { "answer", "Ja" }, { "asked", "20.12.2027" } } << QByteArray();
        QTest::newRow("a day after today, Abbrechen")
            << future << true << later << all
            << QVariantMap { { "answer", "Abbrechen" }, { "asked", "20.12.2027" } } << QByteArray();

        // "Abbrechen" while the file is read: no preview, nothing changed.
        QTest::newRow("reading cancelled") << drop << true << QString() << all
                                           << QVariantMap { { "cancelAt", 1 } } << QByteArray();
    }
    void import()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, accept);
        QFETCH(QString, summary);
        QFETCH(QStringList, rows);
        QFETCH(QVariantMap, how);
        QFETCH(QByteArray, changes);
        Run r;
        if (!how.value("empty").toBool())
            r.enter({ "01.01.2026=1000,0", "01.02.2026=1155,5", "01.03.2026=1300,0",
                "01.04.2026=1462,0" });
        const QStringList before = gridRows(r.f.StringGrid1);
        // A copy comes from another folder, beside its replacement file.
        QDir(r.dir.path()).mkdir("sicherung");
        const QString path
            = r.dir.filePath(how.contains("beside") ? "sicherung/" + LogName : "import.csv");
        writeFile(path, file);
        if (how.contains("beside"))
            writeFile(
                r.dir.filePath("sicherung/" + MeterChangesName), how.value("beside").toByteArray());
        r.t.services.openPath = path;
        r.t.services.importAnswer = accept;
        r.t.services.importTakeOffer = how.value("takeOffer", true).toBool();
        r.t.services.cancelAtStep = how.value("cancelAt", 0).toInt();
        const QString answer = how.value("answer", "Ja").toString();
        r.t.services.answer = answer == "Ja" ? MsgAnswer::Yes
            : answer == "Nein"               ? MsgAnswer::No
                                             : MsgAnswer::Cancel;
        r.t.services.clear();
        r.f.Import1->click();
        QCOMPARE(r.t.services.progressTexts,
            QStringList { "Voltaris 1.3: \"" + QFileInfo(path).fileName() + "\" wird gelesen …" });
        QVERIFY(!r.t.services.progressOpen);
        QCOMPARE(r.t.services.importPreviews.size(), size_t(summary.isEmpty() ? 0 : 1));
        if (!summary.isEmpty()) {
            const ImportPreview &p = r.t.services.importPreviews[0];
            QCOMPARE(p.summary, summary);
            QCOMPARE(p.offer, how.value("offer").toString());
            if (how.contains("date"))
                QCOMPARE(p.rows[0][1], how.value("date").toString());
        }
        if (how.contains("asked")) {
            QCOMPARE(r.t.services.boxes.size(), size_t(1));
            QVERIFY2(r.t.services.boxes[0].text.contains(how.value("asked").toString()),
                qPrintable(r.t.services.boxes[0].text));
        } else {
            QCOMPARE(r.t.services.boxes.size(), size_t(0));
        }
        QCOMPARE(gridRows(r.f.StringGrid1), rows);
        QCOMPARE(r.fileRows(), rows);
        const QString changePath = r.dir.filePath(MeterChangesName);
        QCOMPARE(readAll(changePath), changes);
        if (rows == before)
            return;
        // The table shows the last row added.
        QStringList days;
        for (const QString &row : before)
            days << row.section('|', 0, 0);
        QDate last;
        for (const QString &row : rows)
            if (!days.contains(row.section('|', 0, 0)))
                last = std::max(last, day(row.section('|', 0, 0)));
        QCOMPARE(day(rows[r.f.StringGrid1.row() - 1].section('|', 0, 0)), last);
        r.f.Undo1->click();
        QCOMPARE(gridRows(r.f.StringGrid1), before);
        if (!changes.isEmpty())
            QCOMPARE(readAll(changePath), ChangeHeader);
    }

    // Changes of price and instalment go through the form into their file,
    // one a day of each kind, and the preview of the window counts with them.
    void priceChanges()
    {
        Run r;
        r.enter({ "01.01.2026=1000,0", "01.04.2026=1900,0" });
        r.f.Edit3.setText("84");
        r.f.Edit5.setText("24");
        r.f.Edit7.setText("75");
        r.f.dtp_Ab.setDate(day("01.01.2020"));
        QVERIFY(settlementOf(r.f).parts.empty());
        QVERIFY(r.f.AddTariffChange({ day("01.03.2026"), 30.0L, std::nullopt }));
        QVERIFY(r.f.AddInstalmentChange({ day("15.05.2026"), 90.0L }));
        QVERIFY(!r.f.AddTariffChange({ day("01.03.2026"), 31.0L, std::nullopt }));
        QCOMPARE(r.t.services.boxes.size(), size_t(1));
        const QString path = r.dir.filePath(PriceChangesName);
        QVERIFY(
            readAll(path).endsWith("\r\nPreis;01.03.2026;30,00;\r\nAbschlag;01.05.2026;90,00\r\n"));
        const Settlement st = settlementOf(r.f);
        QCOMPARE(st.parts.size(), size_t(2));
        QCOMPARE(f(st.parts[1].price), QString("30,00"));
        // Four months at 75 €, eight at 90 €.
        QCOMPARE(f(st.paid), QString("1020,00"));
        {
            TestApp t2;
            TProgram p2(t2.app, r.dir.path());
            QCOMPARE(p2.Form1->priceChanges(), r.f.priceChanges());
        }
        QVERIFY(r.f.RemoveTariffChange(day("01.03.2026")));
        QVERIFY(!r.f.RemoveTariffChange(day("01.03.2026")));
        QCOMPARE(r.f.priceChanges().tariff.size(), size_t(0));
        QCOMPARE(r.f.priceChanges().instalments.size(), size_t(1));
        // A line it cannot read keeps the file from being written over, and
        // the message says where.
        const QByteArray bad = readAll(path) + "Preis;kein Datum;1\r\n";
        writeFile(path, bad);
        QVERIFY(!r.f.AddTariffChange({ day("01.06.2026"), 32.0L, std::nullopt }));
        QVERIFY2(r.t.services.boxes.back().text.contains("ab Zeile 3 nicht gelesen werden"),
            qPrintable(r.t.services.boxes.back().text));
        QCOMPARE(readAll(path), bad);
    }

    // A reading of hundredths that the dialog (of one decimal) showed
    // rounded and the user left alone keeps its hundredths.
    void correctionKeepsHundredths()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(LogName),
            LogHeader
                + "01.01.2026 |     1000,00 |    0 |      0\r\n"
                  "01.02.2026 |     1155,55 |   31 |   5,02\r\n");
        TestApp t;
        TProgram p(t.app, dir.path());
        t.services.readingAnswers.push_back({ {}, day("02.02.2026"), 1155.6L });
        p.Form1->StringGrid1.userSelected(2);
        p.Form1->Korrektur1->click();
        QCOMPARE(gridRows(p.Form1->StringGrid1).last(), QString("02.02.2026|1155,55|32|4,86"));
    }

    // A file that cannot be read is named, with the reason.
    void importUnreadable()
    {
        Run r;
        r.t.services.openPath = r.dir.filePath("fehlt.csv");
        r.f.Import1->click();
        QCOMPARE(r.t.services.boxes.size(), size_t(1));
        QVERIFY(r.t.services.boxes[0].text.startsWith("Aus \""));
        QVERIFY(r.t.services.boxes[0].text.contains("fehlt.csv"));
        QVERIFY(r.t.services.importPreviews.empty());
    }
};

QTEST_GUILESS_MAIN(TestLogExtras)
#include "tst_logextras.moc"
