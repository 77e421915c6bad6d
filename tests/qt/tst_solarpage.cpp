#include "fakeservices.h"
#include "qt/historywindow.h"
#include "qt/solarpage.h"
#include "readingtext.h"
#include "ui/program.h"

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtCharts/QBarSet>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QStackedBarSeries>
#include <QtTest>

using namespace voltaris;
using namespace voltaris::test;

namespace {

// A roof from 01.03.2026 at 30 ct and a register paying 8 ct; the feed-in
// stated or read.
HouseholdInput roof(bool withRegister)
{
    HouseholdInput in;
    in.main = readings({ "01.03.2026=1000", "01.07.2026=2000" });
    in.contract.start = QDate(2026, 1, 1);
    in.contract.price = "30,00";
    MeterReadings solar;
    solar.meter.name = "Dach";
    solar.meter.kind = MeterKind::Solar;
    solar.meter.solar = { 500, QDate(2026, 3, 1), std::nullopt, 25 };
    solar.readings = readings({ "01.03.2026=0", "01.07.2026=1220" });
    in.further.push_back(solar);
    if (withRegister) {
        MeterReadings feedIn;
        feedIn.meter.name = "Netz";
        feedIn.meter.kind = MeterKind::FeedIn;
        feedIn.meter.price = 8;
        feedIn.readings = readings({ "01.03.2026=0", "01.07.2026=610" });
        in.further.push_back(feedIn);
    }
    in.today = QDate(2026, 7, 1);
    return in;
}

} // namespace

class TestSolarPage : public QObject {
    Q_OBJECT
private slots:
    // Four months as stacked bars of self-use and feed-in, the benefit
    // line against the purchase price, and the table of every figure; the
    // stated share is named an assumption on the bar and above the table.
    void page_data()
    {
        QTest::addColumn<bool>("withRegister");
        QTest::addColumn<QString>("feedInBar");
        QTest::newRow("register") << true << "Einspeisung (kWh)";
        QTest::newRow("share stated") << false << "Einspeisung, angenommen (kWh)";
    }
    void page()
    {
        QFETCH(bool, withRegister);
        QFETCH(QString, feedInBar);
        const FormatSettings s = FormatSettings::german();
        SolarFigures sf = solarFiguresOf(roof(withRegister), s);
        sf.problems << "Mehr eingespeist als erzeugt";
        SolarPage page;
        page.setFigures(sf, s);
        page.show();

        const QList<QAbstractSeries *> series = page.chartView()->chart()->series();
        QCOMPARE(series.size(), 3);
        auto *bars = qobject_cast<QStackedBarSeries *>(series[0]);
        QVERIFY(bars);
        QCOMPARE(bars->barSets().size(), 2);
        QCOMPARE(bars->barSets()[1]->label(), feedInBar);
        QCOMPARE(bars->barSets()[0]->count(), 4);
        // Each month's bars add up to its generation: 1220 kWh in 122 days.
        const QBarSet &self = *bars->barSets()[0], &fed = *bars->barSets()[1];
        QCOMPARE(f(self.at(0) + fed.at(0)), f(310)); // March, 31 days × 10 kWh
        auto *benefit = qobject_cast<QLineSeries *>(series[1]);
        QCOMPARE(f(benefit->points().last().y()), f(sf.sinceStart.benefit()));
        QCOMPARE(qobject_cast<QLineSeries *>(series[2])->points().first().y(), 500.0);

        const std::vector<SolarRow> rows = solarRows(sf, s);
        QCOMPARE(page.table()->rowCount(), int(rows.size()));
        QVERIFY(rows[0].heading && page.table()->item(0, 1)->font().bold()); // the year
        QCOMPARE(page.table()->item(0, 1)->text(), rows[0].how);
        QCOMPARE(page.table()->item(1, 1)->text(), rows[1].how);
        QCOMPARE(page.table()->item(1, 2)->text(), rows[1].value);
        QVERIFY(page.notes()->isVisible());
        QCOMPARE(page.notes()->text().contains("Ohne Einspeisezähler"), !withRegister);
        QVERIFY(page.notes()->text().contains("#ff0000\">Mehr eingespeist als erzeugt"));
    }

    // A month's label needs its width and half again; the steps keep to
    // the calendar.
    void labelStep_data()
    {
        QTest::addColumn<int>("months");
        QTest::addColumn<double>("plotWidth");
        QTest::addColumn<int>("step");
        QTest::newRow("four months") << 4 << 600.0 << 1;
        QTest::newRow("31 months") << 31 << 600.0 << 3;
        QTest::newRow("31 months, wide") << 31 << 1500.0 << 1;
        QTest::newRow("ten years") << 120 << 600.0 << 12;
    }
    void labelStep()
    {
        QFETCH(int, months);
        QFETCH(double, plotWidth);
        QFETCH(int, step);
        QCOMPARE(monthLabelStep(size_t(months), plotWidth, 30), step);
    }

    // On the page: fewer labels when narrow, every month when wide, each
    // label at its month's bar.
    void monthLabels()
    {
        HouseholdInput in = roof(false);
        in.further[0].meter.solar.start = QDate(2024, 6, 1);
        in.further[0].readings = readings({ "01.06.2024=0", "01.01.2027=9000" });
        in.today = QDate(2027, 1, 1);
        const FormatSettings s = FormatSettings::german();
        SolarPage page;
        page.setFigures(solarFiguresOf(in, s), s);
        auto *axis = qobject_cast<QCategoryAxis *>(
            page.chartView()->chart()->axes(Qt::Horizontal).value(0));
        page.resize(700, 600);
        page.show();
        QTRY_VERIFY(axis->count() > 0 && axis->count() < 31);
        QCOMPARE(axis->endValue("01.25"), 7.0); // June 2024 is bar 0
        page.resize(3000, 600);
        QTRY_COMPARE(axis->count(), 31);
        QCOMPARE(axis->endValue("06.24"), 0.0);
    }

    // Without a solar meter the chart window has no solar page and no
    // button for one.
    void noPageWithoutSolar()
    {
        QTemporaryDir dir;
        FakeServices services;
        TApplication app { services, FormatSettings::german() };
        TProgram p { app, dir.path() };
        TForm1 &form = *p.Form1;
        HistoryWindow window(form, form.shownLog());
        QVERIFY(!window.solarPage());
        QVERIFY(!window.findChild<QPushButton *>("SolarToggle")->isVisibleTo(&window));
        window.setShowsSolar(true);
        QVERIFY(!window.showsSolar());
    }
};

QTEST_MAIN(TestSolarPage)
#include "tst_solarpage.moc"
