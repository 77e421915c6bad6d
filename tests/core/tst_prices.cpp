#include "common/cp1252.h"
#include "common/numtext.h"
#include "core/prices.h"
#include "core/settlement.h"
#include "core/yearcompare.h"
#include "readingtext.h"

#include <QtTest>

using namespace voltaris;
using namespace voltaris::test;

namespace {

const QString Header = "Art;Gültig ab;Preis (Cent/kWh) oder Abschlag (€);Grundpreis (€/Jahr)";

QByteArray fileOf(const QStringList &lines)
{
    return toWindows1252((QStringList { Header } + lines).join("\r\n") + "\r\n");
}

PriceChanges changesOf(const QStringList &lines)
{
    return parsePriceChanges(fileOf(lines)).value;
}

} // namespace

class TestPrices : public QObject {
    Q_OBJECT
private slots:
    // The lines before a bad one are kept, and written back as they were.
    void file_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("good");
        QTest::addColumn<int>("badLine");
        const QStringList all { "Preis;01.07.2026;32,50;", "Preis;01.01.2027;;120,00",
            "Preis;01.03.2027;35,00;130,00", "Abschlag;01.09.2026;95,00" };
        QTest::newRow("every kind") << all << 4 << 0;
        QTest::newRow("price with neither field")
            << QStringList { all[0], "Preis;01.08.2026;;", all[3] } << 1 << 3;
        QTest::newRow("decimal point") << QStringList { "Preis;01.07.2026;32.50;" } << 0 << 2;
        QTest::newRow("date not DD.MM.YYYY")
            << QStringList { all[3], "Abschlag;1.10.2026;90,00" } << 1 << 3;
        QTest::newRow("out of date order") << QStringList { all[1], all[0] } << 1 << 3;
        QTest::newRow("unknown kind") << QStringList { "Rabatt;01.07.2026;5,00" } << 0 << 2;
    }
    void file()
    {
        QFETCH(QStringList, lines);
        QFETCH(int, good);
        QFETCH(int, badLine);
        const SideFileRead<PriceChanges> parse = parsePriceChanges(fileOf(lines));
        QCOMPARE(parse.badLine, badLine);
        QCOMPARE(priceChangeFileBytes(parse.value), fileOf(lines.mid(0, good)));
    }

    void pricesOn_data()
    {
        QTest::addColumn<QString>("dayPrices"); // day=cent|base price|monthly
        QTest::newRow("before every change") << "30.06.2026=30,00|100,00|80,00";
        QTest::newRow("on a price change") << "01.07.2026=32,50|100,00|80,00";
        QTest::newRow("on an instalment change") << "01.09.2026=32,50|100,00|95,00";
        // The instalment of 15.11. is due from the first of its month.
        QTest::newRow("its month's first day") << "01.11.2026=32,50|100,00|100,00";
        QTest::newRow("base price alone") << "01.01.2027=32,50|120,00|100,00";
    }
    void pricesOn()
    {
        QFETCH(QString, dayPrices);
        const PriceChanges changes
            = changesOf({ "Preis;01.07.2026;32,50;", "Preis;01.01.2027;;120,00",
                "Abschlag;01.09.2026;95,00", "Abschlag;15.11.2026;100,00" });
        const PricesInForce p
            = voltaris::pricesOn(changes, { 30, 100, 80 }, day(dayPrices.section('=', 0, 0)));
        QCOMPARE(QStringList({ f(p.price), f(p.basePrice), f(p.monthly) }).join('|'),
            dayPrices.section('=', 1));
    }

    // Contract: 120 € a year, 30 cent, 80 € a month. The long log: 10 a day
    // to 01.06.2026, then 20; 2490 in 200 days are 12,45 a day, 165 days
    // left: 5544,25 at the year's end.
    void settlement_data()
    {
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<QString>("today");
        QTest::addColumn<QStringList>("parts"); // from-to start-end(~ estimated) cent energy base
        QTest::addColumn<QString>("figures"); // months, paid, cost, verdict, suggested
        QTest::addColumn<QString>("since"); // from when the last month's instalment is paid
        const QStringList log { "01.01.2026=1000", "01.06.2026=2510", "20.07.2026=3490" };
        // 01.07. on 2510 + 30 × 20; 2110 × 0,30 and 2434,25 × 0,40, base
        // 120 × 181 ÷ 365 and 150 × 184 ÷ 365; paid 8 × 80 + 4 × 100. Now
        // 4544,25 × 0,40 + 150 = 1967,70 a year, 163,98 a month.
        QTest::newRow("price and instalment change in the year")
            << log << QStringList { "Preis;01.07.2026;40,00;150,00", "Abschlag;01.09.2026;100,00" }
            << "01.08.2026"
            << QStringList { "01.01.2026-01.07.2026 1000,00-3110,00 30,00 633,00 59,51",
                   "01.07.2026-01.01.2027 3110,00-5544,25~ 40,00 973,70 75,62" }
            << "80,80,80,80,80,80,80,80,100,100,100,100|1040,00|1741,82|"
               "Nachzahlung ca. 701,82 €|164"
            << "01.09.2026";
        // 4544,25 × 0,40 + 120 all year; the instalment change is the
        // contract's amount again.
        QTest::newRow("change before the year's start")
            << log << QStringList { "Preis;01.03.2025;40,00;", "Abschlag;01.05.2026;80,00" }
            << "01.08.2026"
            << QStringList { "01.01.2026-01.01.2027 1000,00-5544,25~ 40,00 1817,70 120,00" }
            << "|960,00|1937,70|Nachzahlung ca. 977,70 €|162"
            << "";
        // Only the forecast: 1817,70 + 150 = 1967,70.
        QTest::newRow("changes after the year")
            << log << QStringList { "Preis;01.02.2027;40,00;150,00", "Abschlag;01.03.2027;100,00" }
            << "01.03.2027" << QStringList {} << "|960,00|1483,28|Nachzahlung ca. 523,28 €|164"
            << "";
        // Nothing counted before the first reading; 910 + 215 × 10 after it
        // at 40 cent. Today still at 30: 3650 × 0,30 + 120 = 1215, 101,25.
        QTest::newRow("change before the first reading")
            << QStringList { "01.03.2026=500", "31.05.2026=1410" }
            << QStringList { "Preis;01.02.2026;40,00;" } << "31.01.2026"
            << QStringList { "01.01.2026-01.02.2026 500,00-500,00 30,00 0,00 10,19",
                   "01.02.2026-01.01.2027 500,00-3560,00~ 40,00 1224,00 109,81" }
            << "|960,00|1344,00|Nachzahlung ca. 384,00 €|102"
            << "";
        // Days written into the file by hand: each change is due from the
        // first of its month, and 95 € are paid since 01.09., not since the
        // last month. 1483,28 as in "changes after the year", 1030 paid.
        QTest::newRow("instalment changes in the middle of a month")
            << log << QStringList { "Abschlag;15.08.2026;90,00", "Abschlag;20.09.2026;95,00" }
            << "01.08.2026" << QStringList {}
            << "80,80,80,80,80,80,80,90,95,95,95,95|1030,00|1483,28|Nachzahlung ca. 453,28 €|124"
            << "01.09.2026";
    }
    void settlement()
    {
        QFETCH(QStringList, log);
        QFETCH(QStringList, changes);
        QFETCH(QString, today);
        QFETCH(QStringList, parts);
        QFETCH(QString, figures);
        QFETCH(QString, since);
        const Settlement st = settlementOf(readings(log), { "120", "30", "80", day("01.01.2017") },
            FormatSettings::german(), changesOf(changes), day(today));
        // Listed as they are counted: from the first of their months.
        for (const InstalmentChange &c : changesOf(changes).instalments)
            QCOMPARE(c.from.day(), 1);
        QCOMPARE(st.lastMonthlyFrom.toString("dd.MM.yyyy"), since);
        QStringList gotParts, months;
        long double kwh = 0;
        for (const SettlementPart &p : st.parts) {
            gotParts << QString("%1-%2 %3-%4%5 %6 %7 %8")
                            .arg(p.from.toString("dd.MM.yyyy"), p.to.toString("dd.MM.yyyy"),
                                f(p.startReading), f(p.endReading), p.endEstimated ? "~" : "",
                                f(p.price), f(p.energyCost), f(p.baseCost));
            kwh += p.kwh;
        }
        QCOMPARE(gotParts, parts);
        if (!parts.isEmpty())
            QCOMPARE(f(kwh), f(st.soFar + st.rest));
        for (int i = 0; i < int(st.months.size()); ++i) {
            QCOMPARE(st.months[i].from, st.yearStart.addMonths(i));
            months << formatFixed(st.months[i].monthly, 18, 0, ',');
        }
        QCOMPARE(QStringList({ months.join(','), f(st.paid), f(st.cost), settlementVerdict(st, ','),
                                 formatFixed(st.suggested, 18, 0, ',') })
                     .join('|'),
            figures);
    }

    // Without a change reaching into the year the figures are the very
    // ones of the contract's fields alone.
    void unchangedWithoutChanges_data()
    {
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QStringList>("contract");
        QTest::addColumn<QStringList>("changes");
        const QStringList standard { "84", "24,7", "75,00" };
        const QStringList twoYears { "01.03.2025=0", "01.09.2025=2760,3", "01.03.2026=4570",
            "01.06.2026=5490,7" };
        QTest::newRow("none") << twoYears << standard << QStringList {};
        QTest::newRow("one after the year")
            << twoYears << standard << QStringList { "Preis;01.01.2030;40,00;" };
        QTest::newRow("start after the first reading")
            << QStringList { "01.03.2026=500", "31.05.2026=1410,1" } << standard << QStringList {};
        QTest::newRow("one reading")
            << QStringList { "01.03.2026=500" } << standard << QStringList {};
        QTest::newRow("contract field no number")
            << twoYears << QStringList { "84", "x", "75" } << QStringList {};
    }
    void unchangedWithoutChanges()
    {
        QFETCH(QStringList, log);
        QFETCH(QStringList, contract);
        QFETCH(QStringList, changes);
        const ContractTexts texts { contract[0], contract[1], contract[2], day("15.04.2020") };
        const Settlement a = settlementOf(readings(log), texts, FormatSettings::german());
        const Settlement b = settlementOf(
            readings(log), texts, FormatSettings::german(), changesOf(changes), day("01.06.2026"));
        const auto figures = [](const Settlement &s) {
            return std::vector<long double> { s.startReading, s.soFar, s.perDay, s.rest, s.cost,
                s.paid, s.result, s.nextYear, s.suggested, s.priceNow, s.basePriceNow };
        };
        QVERIFY(figures(a) == figures(b));
        QCOMPARE(b.problems, a.problems);
        QCOMPARE(b.notes, a.notes);
        QVERIFY(b.parts.empty() && b.months.empty());
        QVERIFY(!a.hasContract || (a.priceNow == a.price && a.basePriceNow == a.basePrice));
    }

    // 10 a day in 2023's second half, 12 in 2024 (366 days), 2025 at 10,
    // 12 from 01.04. to 01.10., then 10. Contract: 120 € a year, 30 cent;
    // 40 cent from 01.07.2025, 50 from 01.06.2026.
    void yearComparison_data()
    {
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QStringList>("years"); // start kWh(~ estimated) cost kWh% cost%
        const QStringList log { "01.07.2023=0", "01.01.2024=1840", "01.01.2025=6232",
            "01.04.2025=7132", "01.10.2025=9328", "01.01.2026=10248" };
        // 2023: 10 × 365 × 0,30 + 120. 2024: 4392 × 0,30 + 120. 2025: 8224
        // on 01.07.; 1992 × 0,30 + 2024 × 0,40 + 120. 2026 begins on the
        // last reading and is left out.
        const QStringList threeYears { "01.01.2023 3650,00~ 1215,00 - -",
            "01.01.2024 4392,00 1437,60 20,33 18,32", "01.01.2025 4016,00 1527,20 -8,56 6,23" };
        QTest::newRow("partial first year") << log << "30" << threeYears;
        // 2026 as the settlement preview counts it: 590 so far, 306 days at
        // the last 365 days' 4016 ÷ 365 a day (the reading on 01.03.2025 is
        // 6822); 01.06. on 11850,25: 1602,25 × 0,40 + 2354,59 × 0,50 + 120.
        QTest::newRow("partial last year")
            << QStringList(log + QStringList { "01.03.2026=10838" }) << "30"
            << QStringList(threeYears + QStringList { "01.01.2026 3956,84~ 1938,19 -1,47 26,91" });
        // Counted from the first reading, as the preview does: 910 + 215 ×
        // 10; 01.06. on 1420: 920 × 0,40 + 2140 × 0,50 + 120.
        QTest::newRow("log within the last year") << QStringList { "01.03.2026=500",
            "31.05.2026=1410" } << "30" << QStringList { "01.01.2026 3060,00~ 1558,00 - -" };
        QTest::newRow("one reading") << QStringList { log[0] } << "30" << QStringList {};
    }
    void yearComparison()
    {
        QFETCH(QStringList, log);
        QFETCH(QString, price);
        QFETCH(QStringList, years);
        const PriceChanges changes
            = changesOf({ "Preis;01.07.2025;40,00;", "Preis;01.06.2026;50,00;" });
        const ContractTexts contract { "120", price, "80", day("01.01.2017") };
        const std::vector<YearFigures> comparison
            = voltaris::yearComparison(readings(log), contract, FormatSettings::german(), changes);
        // The year of the last reading shows the preview's figures to the cent.
        const Settlement st = settlementOf(
            readings(log), contract, FormatSettings::german(), changes, day("01.03.2026"));
        if (!comparison.empty() && st.hasRate && comparison.back().start == st.yearStart) {
            QCOMPARE(f(comparison.back().kwh), f(st.soFar + st.rest));
            QCOMPARE(comparison.back().hasCost, st.hasContract);
            QCOMPARE(f(comparison.back().cost), f(st.cost));
        }
        QStringList got;
        for (const YearFigures &y : comparison) {
            QCOMPARE(y.days, y.start.daysTo(y.next));
            got << QString("%1 %2%3 %4 %5 %6")
                       .arg(y.start.toString("dd.MM.yyyy"), f(y.kwh), y.estimated ? "~" : "",
                           y.hasCost ? f(y.cost) : "-", y.hasPrevious ? f(y.kwhChange) : "-",
                           y.hasPrevious && y.hasCost ? f(y.costChange) : "-");
        }
        QCOMPARE(got, years);
    }
};

QTEST_GUILESS_MAIN(TestPrices)
#include "tst_prices.moc"
