#include "core/household.h"
#include "core/yearcompare.h"
#include "readingtext.h"

#include <QtTest>

using namespace voltaris;
using namespace voltaris::test;

namespace {

const FormatSettings German = FormatSettings::german();

Meter meterOf(const QString &name, MeterKind kind, long double price = 0)
{
    Meter m;
    m.name = name;
    m.kind = kind;
    m.fileKey = meterFileKey(name);
    m.price = price;
    return m;
}

TariffChange priceFrom(const QString &from, long double cent)
{
    return { day(from), cent, std::nullopt };
}

// The year worked by hand. Every meter is read on 01.01.2026 (the heat
// pump on its contract's start) and last on 01.10.2026 (the heat pump on
// 01.11.2026); past the last reading each goes on at its kWh per day.
//
// Main contract from 01.01.2026: 73 € a year, 30 ct, from 01.07.2026 36 ct;
// 80 € a month.
//   HT   1000 → 3730 in 273 days: 10 kWh/day, 92 days left: 920 more
//        01.01.–01.07. (181 days) 1810 kWh × 0,30 = 543,00 + 73 × 181/365 = 36,20
//        01.07.–01.01. (184 days) 1840 kWh × 0,36 = 662,40 + 73 × 184/365 = 36,80
//        cost 1278,40, paid 80 × 12 = 960,00
//   NT   20 ct, from 01.07.2026 25 ct; 500 → 1865: 5 kWh/day
//        905 kWh × 0,20 = 181,00; 920 kWh × 0,25 = 230,00: 411,00
//   main contract: 1278,40 + 411,00 = 1689,40; 960,00 − 1689,40 = −729,40
// Sub-meter (wallbox) at the main prices: 0 → 546: 2 kWh/day
//        362 kWh × 0,30 = 108,60; 368 kWh × 0,36 = 132,48: 241,08 (not added)
// Heat pump, own contract from 01.03.2026: 73 € a year, 24 ct, from
// 01.09.2026 28 ct; 50 € a month, from 01.09.2026 70 €.
//        10000 → 12450 in 245 days: 10 kWh/day, 120 days left: 1200 more
//        01.03.–01.09. (184 days) 1840 kWh × 0,24 = 441,60 + 36,80
//        01.09.–01.03. (181 days) 1810 kWh × 0,28 = 506,80 + 36,20
//        cost 1021,40, paid 6 × 50 + 6 × 70 = 720,00, result −301,40
// Feed-in, 8 ct, from 01.04.2026 7 ct: 0 → 819: 3 kWh/day, 276 days left
//        01.01.–01.04. (90 days) 270 kWh × 0,08 = 21,60
//        01.04.–01.01. (275 days) 825 kWh × 0,07 = 57,75: income 79,35
// Net: −729,40 − 301,40 + 79,35 = −951,45
HouseholdInput handWorked()
{
    HouseholdInput in;
    in.main = readings({ "01.01.2026=1000", "01.10.2026=3730" });
    in.contract.basePrice = "73";
    in.contract.price = "30";
    in.contract.monthly = "80";
    in.contract.start = day("01.01.2026");
    in.changes.tariff = { priceFrom("01.07.2026", 36) };
    in.today = day("05.10.2026");

    Meter night = meterOf("Nacht", MeterKind::LowTariff, 20);
    night.changes.tariff = { priceFrom("01.07.2026", 25) };
    Meter heat = meterOf("Wärmepumpe", MeterKind::OwnContract);
    heat.contract = { "Stadtwerke", "WP", day("01.03.2026"), 73, 24, 50 };
    heat.changes.tariff = { priceFrom("01.09.2026", 28) };
    heat.changes.instalments = { { day("01.09.2026"), 70 } };
    Meter feed = meterOf("Netz", MeterKind::FeedIn, 8);
    feed.changes.tariff = { priceFrom("01.04.2026", 7) };
    Meter solar = meterOf("Dach", MeterKind::Solar);
    in.further = { { night, readings({ "01.01.2026=500", "01.10.2026=1865" }) },
        { heat, readings({ "01.03.2026=10000", "01.11.2026=12450" }) },
        { meterOf("Wallbox", MeterKind::SubMeter), readings({ "01.01.2026=0", "01.10.2026=546" }) },
        { feed, readings({ "01.01.2026=0", "01.10.2026=819" }) },
        { solar, readings({ "01.01.2026=0", "01.10.2026=4000" }) } };
    return in;
}

} // namespace

class TestHousehold : public QObject {
    Q_OBJECT
private slots:
    void handWorkedYear_data()
    {
        QTest::addColumn<QString>("figure");
        QTest::addColumn<QString>("value");
        QTest::newRow("HT cost") << "HT"
                                 << "1278,40";
        QTest::newRow("NT kWh") << "NT kWh"
                                << "1825,00";
        QTest::newRow("NT parts") << "NT parts"
                                  << "181,00|230,00";
        QTest::newRow("main contract cost") << "main cost"
                                            << "1689,40";
        QTest::newRow("main contract paid") << "main paid"
                                            << "960,00";
        QTest::newRow("main contract result") << "main result"
                                              << "-729,40";
        QTest::newRow("sub-meter kWh") << "sub kWh"
                                       << "730,00";
        QTest::newRow("sub-meter cost") << "sub cost"
                                        << "241,08";
        QTest::newRow("own contract year") << "own year"
                                           << "01.03.2026";
        QTest::newRow("own contract parts") << "own parts"
                                            << "478,40|543,00";
        QTest::newRow("own contract cost") << "own cost"
                                           << "1021,40";
        QTest::newRow("own contract paid") << "own paid"
                                           << "720,00";
        QTest::newRow("own contract result") << "own result"
                                             << "-301,40";
        QTest::newRow("feed-in parts") << "feed parts"
                                       << "21,60|57,75";
        QTest::newRow("feed-in income") << "feed-in"
                                        << "79,35";
        QTest::newRow("net") << "net"
                             << "-951,45";
        QTest::newRow("complete, solar left out") << "counted"
                                                  << "1|1|1|1|2";
    }
    void handWorkedYear()
    {
        QFETCH(QString, figure);
        QFETCH(QString, value);
        const HouseholdYear h = householdYearOf(handWorked(), German);
        QCOMPARE(h.lowTariff.size(), size_t(1));
        QCOMPARE(h.ownContracts.size(), size_t(1));
        QCOMPARE(h.subMeters.size(), size_t(1));
        QCOMPARE(h.feedIns.size(), size_t(1));
        const Settlement &nt = h.lowTariff[0].year, &own = h.ownContracts[0].year;
        const auto parts = [](const Settlement &st) {
            QStringList out;
            for (const SettlementPart &p : st.parts)
                out << f(p.energyCost + p.baseCost);
            return out.join('|');
        };
        const QMap<QString, QString> figures {
            { "HT", f(h.main.cost) },
            { "NT kWh", f(nt.soFar + nt.rest) },
            { "NT parts", parts(nt) },
            { "main cost", f(h.contracts[0].cost.value) },
            { "main paid", f(h.contracts[0].paid.value) },
            { "main result", f(h.contracts[0].result.value) },
            { "sub kWh", f(h.subMeters[0].year.soFar + h.subMeters[0].year.rest) },
            { "sub cost", f(h.subMeters[0].year.cost) },
            { "own year", own.yearStart.toString("dd.MM.yyyy") },
            { "own parts", parts(own) },
            { "own cost", f(h.contracts[1].cost.value) },
            { "own paid", f(h.contracts[1].paid.value) },
            { "own result", f(h.contracts[1].result.value) },
            { "feed parts", parts(h.feedIns[0].year) },
            { "feed-in", f(h.feedIn.value) },
            { "net", f(h.net.value) },
            { "counted",
                QStringList { QString::number(h.complete), QString::number(h.lowTariff[0].counted),
                    QString::number(h.subMeters[0].counted), QString::number(h.feedIns[0].counted),
                    QString::number(h.contracts.size()) }
                    .join('|') },
        };
        QCOMPARE(figures.value(figure), value);
    }

    // The summary's formulas name each term with its own figure.
    void formulas()
    {
        const HouseholdYear h = householdYearOf(handWorked(), German);
        QCOMPARE(h.contracts[0].cost.how, "1278,40 € (HT) + 411,00 € (NT „Nacht“)");
        QCOMPARE(h.contracts[0].result.how, "960,00 € − 1689,40 €");
        QCOMPARE(h.net.how,
            "-729,40 € (Ergebnis Hauptvertrag) − 301,40 € (Ergebnis Wärmepumpe) + 79,35 € "
            "(Einspeisung)");
    }

    // A register read last in another contract year than the main meter, or
    // an own contract that cannot be settled, is not added: its contract then
    // has no whole figure, and the household none.
    void notCounted_data()
    {
        QTest::addColumn<int>("meter");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<int>("contract");
        QTest::addColumn<QString>("problem");
        QTest::newRow("register in another year")
            << 0 << QStringList { "01.01.2025=0", "01.12.2025=1000" } << 0 << "01.12.2025";
        QTest::newRow("own contract, one reading")
            << 1 << QStringList { "01.03.2026=10000" } << 1 << "„Wärmepumpe“";
    }
    void notCounted()
    {
        QFETCH(int, meter);
        QFETCH(QStringList, log);
        QFETCH(int, contract);
        QFETCH(QString, problem);
        HouseholdInput in = handWorked();
        in.further[size_t(meter)].readings = readings(log);
        const HouseholdYear h = householdYearOf(in, German);
        QVERIFY(!h.contracts[size_t(contract)].complete);
        const QString problems = h.problems.join(' ') + h.lowTariff[0].year.problems.join(' ');
        QVERIFY2(problems.contains(problem), qPrintable(problems));
        QVERIFY(!h.complete);
    }

    // The year comparison of the hand-worked year. The heat pump in its own
    // year (from 01.03.2026) as settled above; in the household's total cut
    // at the main contract's year: nothing counted before its first reading,
    // 2450 + 61 days × 10 = 3060 kWh; 01.01.–01.09. 1840 kWh × 0,24 = 441,60
    // + 73 × 243/365 = 48,60, 01.09.–01.01. 1220 kWh × 0,28 = 341,60 + 24,40:
    // 856,20. Bought: 3650 + 1825 + 3060 = 8535 kWh for 1278,40 + 411,00 +
    // 856,20 = 2545,60 €; the wallbox is in the main meter's kWh, the feed-in
    // apart.
    void householdYears_data()
    {
        QTest::addColumn<QString>("meter"); // a meter's name, or the total
        QTest::addColumn<QString>("year"); // start: kWh, cost
        QTest::newRow("main meter") << "Hauptzähler"
                                    << "01.01.2026: 3650,00, 1278,40";
        QTest::newRow("night register") << "Nacht"
                                        << "01.01.2026: 1825,00, 411,00";
        QTest::newRow("own contract") << "Wärmepumpe"
                                      << "01.03.2026: 3650,00, 1021,40";
        QTest::newRow("sub-meter") << "Wallbox"
                                   << "01.01.2026: 730,00, 241,08";
        QTest::newRow("feed-in") << "Netz"
                                 << "01.01.2026: 1095,00, 79,35";
        QTest::newRow("household") << ""
                                   << "01.01.2026: 8535,00, 2545,60";
    }
    void householdYears()
    {
        QFETCH(QString, meter);
        QFETCH(QString, year);
        const HouseholdYears h = householdYearComparison(handWorked(), German);
        QCOMPARE(h.meters.size(), size_t(5)); // the solar system's are not here
        std::vector<YearFigures> years = h.total;
        for (const MeterYears &m : h.meters)
            if (m.name == meter)
                years = m.years;
        QCOMPARE(years.size(), size_t(1));
        QCOMPARE(QString("%1: %2, %3")
                     .arg(years[0].start.toString("dd.MM.yyyy"), f(years[0].kwh), f(years[0].cost)),
            year);
    }

    // Without further meters (a solar system is none here) the household is
    // today's settlement, figure for figure.
    void mainAlone_data()
    {
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<bool>("changes");
        QTest::addColumn<bool>("solar");
        const QStringList log { "15.02.2025=800", "01.01.2026=1000", "01.10.2026=3730" };
        QTest::newRow("contract's prices") << log << false << false;
        QTest::newRow("with changes") << log << true << false;
        QTest::newRow("with a solar system") << log << true << true;
        QTest::newRow("one reading") << QStringList { "01.10.2026=3730" } << false << false;
    }
    void mainAlone()
    {
        QFETCH(QStringList, log);
        QFETCH(bool, changes);
        QFETCH(bool, solar);
        HouseholdInput in = handWorked();
        in.main = readings(log);
        in.further.clear();
        if (!changes)
            in.changes = {};
        else
            in.changes.instalments = { { day("01.05.2026"), 95 } };
        if (solar)
            in.further = { { meterOf("Dach", MeterKind::Solar), readings(log) } };
        QVERIFY(!hasFurtherMeters(in));
        const Settlement st
            = settlementOf(in.main, in.contract.texts(), German, in.changes, in.today);
        const HouseholdYear h = householdYearOf(in, German);
        const auto figures = [](const Settlement &x) {
            return QStringList { f(x.cost), f(x.paid), f(x.result), f(x.suggested), f(x.soFar),
                f(x.rest), QString::number(x.parts.size()), QString::number(x.months.size()),
                x.problems.join(' '), x.notes.join(' ') };
        };
        QCOMPARE(figures(h.main), figures(st));
        QCOMPARE(h.contracts.size(), size_t(1));
        QCOMPARE(h.contracts[0].cost.value, st.cost);
        QCOMPARE(h.contracts[0].result.value, st.result);
        QCOMPARE(h.net.value, st.result);
        QCOMPARE(h.complete, st.complete());
        QVERIFY(householdYearComparison(in, German).meters.empty());
    }
};

QTEST_GUILESS_MAIN(TestHousehold)
#include "tst_household.moc"
