#include "common/cp1252.h"
#include "common/numtext.h"
#include "core/tariffcheck.h"
#include "readingtext.h"

#include <QtTest>

using namespace voltaris;
using namespace voltaris::test;

namespace {

const QString Header = "Art;Anbieter;Tarif;Grundpreis (€);je;Arbeitspreis (Cent/kWh);"
                       "Neukundenbonus (€);Sofortbonus (€);Preisgarantie (Monate);"
                       "Mindestlaufzeit (Monate);Kündigungsfrist;Notiz";

QByteArray fileOf(const QStringList &lines)
{
    return toWindows1252((QStringList { Header } + lines).join("\r\n") + "\r\n");
}

// No reading on 30.11.2025, 365 days before the last one: 5 kWh a day
// between the two around it give 10050, and 13550 − 10050 = 3500 kWh.
const QStringList Log { "20.11.2025=10000", "10.12.2025=10100", "01.06.2026=11800",
    "30.11.2026=13550" };

struct OfferRow {
    const char *name;
    const char *offer; // base|per month|cent|bonus|instant bonus
    const char *expected; // year one|year two|savings in each|rank|bonus trap
};
const OfferRow Offers[] = {
    // 180 + 1330 = 1510, less 250 and 100: cheapest in year one, dearest after.
    { "bonus tariff", "15|1|38|250|100", "1160,00|1510,00|120,47|-130,00|3|1" },
    { "plain", "100|0|35|0|0", "1325,00|1325,00|-44,53|55,00|1|0" },
    { "small bonus", "150|0|34|0|30", "1310,00|1340,00|-29,53|40,00|2|0" },
};

} // namespace

class TestTariffCheck : public QObject {
    Q_OBJECT
private slots:
    void consumption_data()
    {
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QString>("today");
        QTest::addColumn<QString>("expected"); // source|kWh|from|to
        QTest::newRow("last reading before today") << Log << "10.12.2026"
                                                   << "Log|3500,00|30.11.2025|30.11.2026";
        // Both ends between readings: 11800 + 177 × 1750 ÷ 182 − (10000 + 5 × 5).
        QTest::newRow("both ends interpolated") << Log << "25.11.2026"
                                                << "Log|3476,92|25.11.2025|25.11.2026";
        QTest::newRow("log too short") << Log.mid(1) << "10.12.2026"
                                       << "Contract|3650,00||";
        QTest::newRow("no log") << QStringList() << "10.12.2026"
                                << "Contract|3650,00||";
    }
    void consumption()
    {
        QFETCH(QStringList, log);
        QFETCH(QString, today);
        QFETCH(QString, expected);
        const ComparedConsumption c = consumptionToCompare(readings(log), day(today), 3650);
        const QString source = c.source == ComparedConsumption::Source::Log ? "Log" : "Contract";
        QCOMPARE(QStringList({ source, f(c.kwh), c.from.toString("dd.MM.yyyy"),
                                 c.to.toString("dd.MM.yyyy") })
                     .join('|'),
            expected);
        QVERIFY(consumptionToCompare({}, day(today), std::nullopt).source
            == ComparedConsumption::Source::None);
    }

    // At 3500 kWh from 10.12.2026, the own contract at 30 cent and 120 € a
    // year, 36 cent from 01.06.2027: 173 days at 30, 192 at 36, so
    // 3500 × (173 × 0,30 + 192 × 0,36) ÷ 365 + 120 = 1280,47 in year one
    // and 3500 × 0,36 + 120 = 1380 in year two. Each row's offer is compared
    // among all three.
    void offers_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(Offers)); ++i)
            QTest::newRow(Offers[i].name) << i;
    }
    void offers()
    {
        QFETCH(int, index);
        std::vector<Offer> all;
        for (const OfferRow &row : Offers) {
            const QStringList v = QString(row.offer).split('|');
            Offer x;
            x.supplier = row.name;
            x.basePrice = strToFloat(v[0], ',');
            x.basePerMonth = v[1] == "1";
            x.price = strToFloat(v[2], ',');
            x.newCustomerBonus = strToFloat(v[3], ',');
            x.instantBonus = strToFloat(v[4], ',');
            all.push_back(x);
        }
        const PriceChanges changes { { { day("01.06.2027"), 36.0L, std::nullopt } }, {} };
        const ComparedConsumption kwh
            = consumptionToCompare(readings(Log), day("10.12.2026"), std::nullopt);
        const Comparison c
            = compareOffers(kwh.kwh, { 30, 120, 0 }, changes, all, day("10.12.2026"));
        QCOMPARE(f(c.ownYearOne), "1280,47");
        QCOMPARE(f(c.ownYearTwo), "1380,00");
        const OfferResult &r = c.offers[size_t(index)];
        QCOMPARE(QStringList({ f(r.yearOne), f(r.yearTwo), f(r.savingOne), f(r.savingTwo),
                                 QString::number(r.rank), QString::number(r.bonusTrap) })
                     .join('|'),
            QString(Offers[index].expected));
        QCOMPARE(bonusTrapText(r, ',').isEmpty(), !r.bonusTrap);
    }

    void noticeDeadline_data()
    {
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("period");
        QTest::addColumn<QString>("deadline");
        QTest::newRow("31.03. back into February") << "31.03.2027"
                                                   << "1 Monat"
                                                   << "28.02.2027";
        QTest::newRow("leap year") << "31.03.2028"
                                   << "1 Monat"
                                   << "29.02.2028";
        QTest::newRow("30.04. to the month's last day") << "30.04.2027"
                                                        << "1 Monat"
                                                        << "31.03.2027";
        QTest::newRow("three months") << "31.05.2027"
                                      << "3 Monate"
                                      << "28.02.2027";
        QTest::newRow("mid-month") << "15.05.2027"
                                   << "1 Monat"
                                   << "15.04.2027";
        QTest::newRow("weeks across the year") << "15.01.2027"
                                               << "6 Wochen"
                                               << "04.12.2026";
    }
    void noticeDeadline()
    {
        QFETCH(QString, end);
        QFETCH(QString, period);
        QFETCH(QString, deadline);
        NoticePeriod p;
        QVERIFY(parseNoticePeriod(period, p));
        QCOMPARE(noticePeriodText(p), period);
        const QDate d = voltaris::noticeDeadline(day(end), p);
        QCOMPARE(d.toString("dd.MM.yyyy"), deadline);
        // Notice given on the deadline ends the contract on the term's last day.
        QVERIFY(endAfterNotice(d, p) <= day(end));
        QVERIFY(endAfterNotice(d.addDays(1), p) > day(end));
    }

    // Past the minimum term one month's notice applies, from today.
    void noticeLine()
    {
        ContractDeadlines d { day("31.03.2027"), { 1, NoticePeriod::Unit::Months }, {}, {} };
        QVERIFY(voltaris::noticeLine(d, day("28.02.2027"))
                    .startsWith("Kündigen spätestens am 28.02.2027 (zum Ende der "
                                "Mindestlaufzeit am 31.03.2027)."));
        QVERIFY(voltaris::noticeLine(d, day("01.03.2027"))
                    .endsWith("Heute gekündigt, endet der Vertrag am 01.04.2027."));
        d.guaranteeEnd = day("10.04.2027");
        QCOMPARE(deadlinesSoon(d, day("01.03.2027")).size(), size_t(1));
        QCOMPARE(deadlinesSoon(d, day("17.01.2027")).size(), size_t(1));
        QCOMPARE(deadlinesSoon(d, day("16.01.2027")).size(), size_t(0));
    }

    // The lines before a bad one are kept, and written back as they were.
    void file_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("good");
        QTest::addColumn<int>("badLine");
        const QStringList all { "Vertrag;31.03.2027;1 Monat;31.12.2026;",
            "Angebot;Stadtwerke Süd;Öko 24;12,50;Monat;31,20;200,00;50,00;12;24;6 Wochen;laut "
            "Portal",
            "Angebot;Blitz;Basis;99,00;Jahr;33,00;0,00;0,00;0;0;;" };
        QTest::newRow("every kind") << all << 3 << 0;
        QTest::newRow("second contract line") << QStringList { all[0], all[0] } << 1 << 3;
        QTest::newRow("date not DD.MM.YYYY")
            << QStringList { "Vertrag;31.3.2027;1 Monat;;" } << 0 << 2;
        QTest::newRow("decimal point")
            << QStringList { all[1], "Angebot;B;T;99.00;Jahr;33,00;0;0;0;0;;" } << 1 << 3;
        QTest::newRow("negative price")
            << QStringList { "Angebot;B;T;99,00;Jahr;-33,00;0;0;0;0;;" } << 0 << 2;
        QTest::newRow("base price per day")
            << QStringList { "Angebot;B;T;99,00;Tag;33,00;0;0;0;0;;" } << 0 << 2;
        QTest::newRow("field missing")
            << QStringList { "Angebot;B;T;99,00;Jahr;33,00;0;0;0;0;" } << 0 << 2;
        QTest::newRow("unknown notice period")
            << QStringList { all[2], "Angebot;B;T;99,00;Jahr;33,00;0;0;0;0;ein Jahr;" } << 1 << 3;
        QTest::newRow("no supplier")
            << QStringList { "Angebot;;T;99,00;Jahr;33,00;0;0;0;0;;" } << 0 << 2;
        QTest::newRow("unknown kind") << QStringList { "Rabatt;01.07.2026;5,00" } << 0 << 2;
    }
    void file()
    {
        QFETCH(QStringList, lines);
        QFETCH(int, good);
        QFETCH(int, badLine);
        const SideFileRead<TariffCheck> parse = parseTariffCheck(fileOf(lines));
        QCOMPARE(parse.badLine, badLine);
        QCOMPARE(tariffCheckFileBytes(parse.value), fileOf(lines.mid(0, good)));
        QCOMPARE(parseTariffCheck(tariffCheckFileBytes(parse.value)).value, parse.value);
    }
};

QTEST_GUILESS_MAIN(TestTariffCheck)
#include "tst_tariffcheck.moc"
