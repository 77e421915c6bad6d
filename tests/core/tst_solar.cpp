#include "core/solar.h"
#include "readingtext.h"

#include <QtTest>

using namespace voltaris;
using namespace voltaris::test;

namespace {

const FormatSettings German = FormatSettings::german();

// The feed-in register pays 8 ct per kWh.
constexpr long double FeedInRate = 8;

MeterReadings meter(MeterKind kind, const QString &name, const QStringList &list)
{
    MeterReadings m;
    m.meter.name = name;
    m.meter.kind = kind;
    m.readings = readings(list);
    return m;
}

// A household on a contract from `start` at `price` ct, the price changed
// by "DD.MM.YYYY=cent" entries; a solar system "Dach" bought at `purchase`
// euro, started on its first reading, with `share` % stated fed in; a
// feed-in register when it has readings.
HouseholdInput household(const QString &start, const QString &price, const QStringList &changes,
    const QStringList &main, const QStringList &solar, const QStringList &feedIn,
    long double share = 0, long double purchase = 1000)
{
    HouseholdInput in;
    in.main = readings(main);
    in.contract.start = day(start);
    in.contract.price = price;
    for (const Reading &r : readings(changes))
        in.changes.tariff.push_back({ r.date, r.kwh, std::nullopt });
    MeterReadings roof = meter(MeterKind::Solar, "Dach", solar);
    roof.meter.solar = { purchase, roof.readings.front().date, std::nullopt, share };
    in.further.push_back(roof);
    if (!feedIn.isEmpty()) {
        in.further.push_back(meter(MeterKind::FeedIn, "Netz", feedIn));
        in.further.back().meter.price = FeedInRate;
    }
    in.today = in.main.back().date;
    return in;
}

const SolarRow *rowAfter(
    const std::vector<SolarRow> &rows, const QString &heading, const QString &what)
{
    auto it = std::find_if(rows.begin(), rows.end(),
        [&](const SolarRow &r) { return r.heading && r.what.startsWith(heading); });
    for (; it != rows.end(); ++it)
        if (!it->heading && it->what == what)
            return &*it;
    return nullptr;
}

} // namespace

Q_DECLARE_METATYPE(HouseholdInput)

class TestSolar : public QObject {
    Q_OBJECT
private slots:
    // Since the start, by hand:
    //
    // roof, register, price 30 ct, 40 ct from 01.07.2026, feed-in 8 ct:
    //   part        generation  feed-in  self-use  savings        income
    //   Jan–Jun     1000        600      400       400×0,30=120   600×0,08=48
    //   Jul–Dec      500        100      400       400×0,40=160   100×0,08= 8
    //   year        1500        700      800       280            56
    //   purchase 12500 − 10000 = 2500
    // plug-in, no register, 30 % stated, 35 ct:
    //   Mar–Aug      400        120      280       280×0,35=98    0 (none without register)
    //   purchase 6000 − 5000 = 1000
    // feed-in over generation in January, 30 ct:
    //   January      100        150      0 (not −50)   0          150×0,08=12
    //   February     100         10     90          90×0,30=27   10×0,08=0,80
    //   total        200        160     90 (not 40)  27           12,80
    void figures_data()
    {
        QTest::addColumn<HouseholdInput>("in");
        QTest::addColumn<double>("generation");
        QTest::addColumn<double>("feedIn");
        QTest::addColumn<double>("selfUse");
        QTest::addColumn<double>("savings");
        QTest::addColumn<double>("income");
        QTest::addColumn<double>("purchase");
        QTest::addColumn<bool>("measured");
        QTest::addColumn<int>("parts");
        QTest::addColumn<QString>("note");

        QTest::newRow("roof with register across a price change")
            << household("01.01.2026", "30,00", { "01.07.2026=40" },
                   { "01.01.2026=10000", "01.07.2026=11000", "01.01.2027=12500" },
                   { "01.01.2026=0", "01.07.2026=1000", "01.01.2027=1500" },
                   { "01.01.2026=0", "01.07.2026=600", "01.01.2027=700" })
            << 1500.0 << 700.0 << 800.0 << 280.0 << 56.0 << 2500.0 << true << 2 << QString();
        QTest::newRow("plug-in with a stated share")
            << household("01.03.2026", "35,00", {}, { "01.03.2026=5000", "01.09.2026=6000" },
                   { "01.03.2026=0", "01.09.2026=400" }, {}, 30, 800)
            << 400.0 << 120.0 << 280.0 << 98.0 << 0.0 << 1000.0 << false << 1
            << "Ohne Einspeisezähler ist die Einspeisung angenommen";
        QTest::newRow("more fed in than generated in January")
            << household("01.01.2026", "30,00", {},
                   { "01.01.2026=100", "01.02.2026=400", "01.03.2026=700" },
                   { "01.01.2026=0", "01.02.2026=100", "01.03.2026=200" },
                   { "01.01.2026=0", "01.02.2026=150", "01.03.2026=160" })
            << 200.0 << 160.0 << 90.0 << 27.0 << 12.8 << 600.0 << true << 1
            << "Vom 01.01.2026 bis 31.01.2026 wurde mehr eingespeist (150,00 kWh) als erzeugt "
               "(100,00 kWh)";
    }
    void figures()
    {
        QFETCH(HouseholdInput, in);
        QFETCH(double, generation);
        QFETCH(double, feedIn);
        QFETCH(double, selfUse);
        QFETCH(double, savings);
        QFETCH(double, income);
        QFETCH(double, purchase);
        QFETCH(bool, measured);
        QFETCH(int, parts);
        QFETCH(QString, note);

        const SolarFigures sf = solarFiguresOf(in, German);
        QVERIFY(sf.hasSolar && sf.counted && sf.problems.isEmpty());
        QCOMPARE(sf.feedInMeasured, measured);
        const SolarAmounts &a = sf.sinceStart;
        QCOMPARE(f(a.generation), f(generation));
        QCOMPARE(f(a.feedIn), f(feedIn));
        QCOMPARE(f(a.selfUse), f(selfUse));
        QCOMPARE(f(a.savings), f(savings));
        QCOMPARE(f(a.income), f(income));
        QCOMPARE(f(a.purchase), f(purchase));
        QCOMPARE(f(a.withoutSolar()), f(purchase + selfUse));
        QCOMPARE(sf.years.size(), size_t(1));
        QCOMPARE(int(sf.years.front().parts.size()), parts);
        // The months add up to the same self-use and feed-in.
        long double monthsSelf = 0, monthsFeed = 0;
        for (const SolarMonth &m : sf.months) {
            QVERIFY(m.selfUse >= 0);
            monthsSelf += m.selfUse;
            monthsFeed += m.feedIn;
        }
        QCOMPARE(f(monthsSelf), f(selfUse));
        QCOMPARE(f(monthsFeed), f(feedIn));
        QCOMPARE(f(sf.curve.back().benefit), f(savings + income));
        if (!note.isEmpty())
            QVERIFY2(sf.notes.join('\n').contains(note), qPrintable(sf.notes.join('\n')));
    }

    // The roof's year in the table, each figure with its formula:
    //   own-use rate 800 ÷ 1500 = 53,33 %; self-sufficiency 800 ÷ 3300 = 24,24 %
    //   per day 336 ÷ 365 days; 01.01.2027 + ⌈(1000 − 336) ÷ (336 ÷ 365)⌉ = + 722 days
    //   a year at today's 40 ct and 8 ct: 800 × 0,40 + 700 × 0,08 = 376 €, 20 years 7520 €
    void rowsOfTheRoof()
    {
        const HouseholdInput in = household("01.01.2026", "30,00", { "01.07.2026=40" },
            { "01.01.2026=10000", "01.07.2026=11000", "01.01.2027=12500" },
            { "01.01.2026=0", "01.07.2026=1000", "01.01.2027=1500" },
            { "01.01.2026=0", "01.07.2026=600", "01.01.2027=700" });
        const SolarFigures sf = solarFiguresOf(in, German);
        const std::vector<SolarRow> rows = solarRows(sf, German);
        const auto check = [&](const QString &heading, const QString &what, const QString &how,
                               const QString &value) {
            const SolarRow *r = rowAfter(rows, heading, what);
            QVERIFY2(r, qPrintable(heading + " / " + what));
            QVERIFY2(r->how.contains(how), qPrintable(r->how));
            QCOMPARE(r->value, value);
        };
        check("Zeitraum 1", "Ersparnis", "400,00 kWh × 30,00 ct ÷ 100", "120,00 €");
        check("Zeitraum 2", "Ersparnis", "400,00 kWh × 40,00 ct ÷ 100", "160,00 €");
        check("Zeitraum 2", "Erzeugung", "1500,00 − 1000,00", "500,00 kWh");
        check("Zeitraum 2", "Einspeisung", "„Netz“: 700,00 − 600,00", "100,00 kWh");
        check("Vertragsjahr zusammen", "Vergütung", "48,00 + 8,00", "56,00 €");
        check("Vertragsjahr zusammen", "Eigenverbrauchsquote", "800,00 ÷ 1500,00", "53,33 %");
        check("Vertragsjahr zusammen", "Autarkiegrad", "800,00 ÷ 3300,00", "24,24 %");
        check("Amortisation", "Amortisiert voraussichtlich", "01.01.2027 + 722 Tage", "23.12.2028");
        check("20 Jahre", "Nutzen im Jahr", "800,00 kWh × 40,00 ct + 700,00 kWh × 8,00 ct",
            "376,00 €");
        check("20 Jahre", "Nach Abzug des Kaufpreises", "7520,00 − 1000,00", "6520,00 €");

        // The other views' year figures: the preview's savings and income,
        // the comparison's consumption without solar (2500 + 800).
        const SolarYearSummary year = solarYearOf(sf, QDate(2026, 1, 1));
        QVERIFY(year.found);
        QCOMPARE(f(year.savings), f(280));
        QCOMPARE(f(year.income), f(56));
        QVERIFY(!solarYearOf(sf, QDate(2025, 1, 1)).found);
        YearFigures y;
        y.start = QDate(2026, 1, 1);
        y.next = QDate(2027, 1, 1);
        y.kwh = 2500;
        const std::vector<SolarYearUse> use = consumptionWithoutSolar(sf, { y });
        QCOMPARE(f(use.front().withoutSolar), f(3300));
        QVERIFY(use.front().whole);
    }

    // A plug-in at 50 ct, nothing fed in, 10 kWh a day: 5 € a day; January
    // (31 days) brings 155 €, February 140 €.
    //   price   reached after                       on
    //   100     100 ÷ 5 = 20 days                   21.01.2026
    //   155     31 days, January whole              01.02.2026
    //   200     January 155, then 45 ÷ 5 = 9 days   10.02.2026
    //   395     295 by 01.03.2026, 100 ÷ 5 = 20     21.03.2026 (projected)
    void amortisation_data()
    {
        QTest::addColumn<double>("purchase");
        QTest::addColumn<QDate>("on");
        QTest::addColumn<bool>("projected");
        QTest::newRow("in the first month") << 100.0 << QDate(2026, 1, 21) << false;
        QTest::newRow("at the month's end") << 155.0 << QDate(2026, 2, 1) << false;
        QTest::newRow("in the second month") << 200.0 << QDate(2026, 2, 10) << false;
        QTest::newRow("after the last reading") << 395.0 << QDate(2026, 3, 21) << true;
    }
    void amortisation()
    {
        QFETCH(double, purchase);
        QFETCH(QDate, on);
        QFETCH(bool, projected);
        const SolarFigures sf = solarFiguresOf(
            household("01.01.2026", "50,00", {}, { "01.01.2026=0", "01.03.2026=1000" },
                { "01.01.2026=0", "01.03.2026=590" }, {}, 0, purchase),
            German);
        QCOMPARE(sf.amortised, !projected);
        QCOMPARE(sf.projected, projected);
        QCOMPARE(sf.amortisedOn, on);
    }

    // A household without a solar meter (a feed-in register and a night
    // register alone) has no solar figures and no rows.
    void withoutSolar()
    {
        HouseholdInput in;
        in.main = readings({ "01.01.2026=0", "01.03.2026=1000" });
        in.contract.start = QDate(2026, 1, 1);
        in.contract.price = "30,00";
        in.further.push_back(meter(MeterKind::FeedIn, "Netz", { "01.01.2026=0" }));
        in.further.push_back(meter(MeterKind::LowTariff, "Nacht", { "01.01.2026=0" }));
        const SolarFigures sf = solarFiguresOf(in, German);
        QVERIFY(!sf.hasSolar && !sf.counted);
        QVERIFY(sf.years.empty() && sf.months.empty() && sf.notes.isEmpty());
        QVERIFY(solarRows(sf, German).empty());
    }
};

QTEST_APPLESS_MAIN(TestSolar)
#include "tst_solar.moc"
