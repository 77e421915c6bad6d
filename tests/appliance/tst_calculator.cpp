#include "fakeservices.h"
#include "ui/program.h"

#include <QTemporaryDir>
#include <QTest>

using namespace voltaris;
using namespace voltaris::test;

namespace {

struct Window {
    Window()
    {
        f.show();
        f.img_to_off.click(); // leaving the contract's edit mode opens the calculator
    }
    TestApp t;
    QTemporaryDir dir;
    TProgram program { t.app, dir.path() };
    TForm1 &f = *program.Form1;

    void calculate(const QString &watt, const QString &time, const QString &unit,
        const QString &price = QStringLiteral("24"))
    {
        f.Edit_Watt.setText(watt);
        f.Edit_Time.setText(time);
        f.cmb_Time.setText(unit);
        f.Edit5.setText(price);
        f.btn_Berechnen.click();
    }
};

} // namespace

class TestCalculator : public QObject {
    Q_OBJECT
private slots:
    void calculation_data();
    void calculation();
    void repeatedAndSwitchingUnits();
    void invalidPowerReshowsYear_data();
    void invalidPowerReshowsYear();
    void stopwatchToggle();
};

void TestCalculator::calculation_data()
{
    for (const char *column :
        { "watt", "time", "unit", "price", "day", "caption", "year", "timeAfter", "error" })
        QTest::addColumn<QString>(column);
    QTest::addColumn<double>("cost");
    QTest::addColumn<TColor>("wattColor");
    QTest::addColumn<TColor>("unitColor");
    const auto row = [](const char *name, QStringList texts, double cost, TColor watt, TColor unit,
                         const char *error = "") {
        auto &r = QTest::newRow(name);
        for (const QString &s : texts)
            r << s;
        r << QString::fromUtf8(error) << cost << watt << unit;
    };

    // Error rows keep the previous result (0,06 € from the defaults) and the
    // neutral silver painted before the click, except what ran before the
    // failing step.
    const TColor S = clr::Silver, W = clr::White, R = clr::LightRose, G = clr::LightGreen,
                 Y = clr::LightYellow;
    row("defaults", { "60", "4", "Std.", "24", "0,06", "€", "21,02", "4" }, 0.0576, W, G);
    row("minutes in cent", { "5", "10", "Min.", "24", "0,020", "Ct.", "0,07", "10" }, 0.02, W, Y);
    row("seconds", { "1000", "3600", "Sek.", "24", "0,24", "€", "87,60", "3600" }, 0.24, W, R);
    row("other unit is seconds", { "60", "4", "std.", "24", "0,002", "Ct.", "0,01", "4" }, 0.0016,
        W, R);
    row("one cent is euro", { "10", "1", "Std.", "100", "0,01", "€", "3,65", "1" }, 0.01, W, G);
    row("hours cut to 24", { "60", "30", "Std.", "24", "0,35", "€", "126,14", "24" }, 0.3456, W, G);
    row("minutes not cut", { "60", "30", "Min.", "24", "0,720", "Ct.", "2,63", "30" }, 0.72, W, Y);
    row("zero hours", { "60", "0", "Std.", "24", "0,000", "Ct.", "0,00", "0" }, 0, W, G);
    row("power 1", { "1", "1", "Std.", "24", "0,024", "Ct.", "0,09", "1" }, 0.024, W, G);
    row("power 0", { "0", "4", "Std.", "24", "0,06", "€", "21,02", "4" }, 0.0576, R, S);
    row("power empty", { "", "4", "Std.", "24", "0,06", "€", "21,02", "4" }, 0.0576, R, S);
    row("power with separator", { "60,5", "30", "Std.", "24", "0,06", "€", "21,02", "24" }, 0.0576,
        S, S, "'60,5' is not a valid integer value.");
    row("time empty", { "60", "", "Std.", "24", "0,06", "€", "21,02", "" }, 0.0576, S, S,
        "'' is not a valid floating point value.");
    row("price no number", { "60", "4", "Min.", "2x", "0,06", "€", "21,02", "4" }, 0.0576, W, S,
        "'2x' is not a valid floating point value.");
    row("zero minutes", { "60", "0", "Min.", "24", "0,06", "€", "21,02", "0" }, 0.0576, W, S,
        "Floating point division by zero.");
    row("zero seconds", { "60", "0", "Sek.", "24", "0,06", "€", "21,02", "0" }, 0.0576, W, S,
        "Floating point division by zero.");
}

void TestCalculator::calculation()
{
    QFETCH(QString, watt);
    QFETCH(QString, time);
    QFETCH(QString, unit);
    QFETCH(QString, price);
    QFETCH(QString, error);
    Window w;
    w.calculate(QStringLiteral("60"), QStringLiteral("4"), QStringLiteral("Std."));
    QCOMPARE(w.f.Edit_Day.text(), QStringLiteral("0,06"));
    for (TControl *c : std::initializer_list<TControl *> {
             &w.f.Edit_Day, &w.f.Edit_Year, &w.f.Edit_Watt, &w.f.cmb_Time })
        c->setColor(clr::Silver);
    w.f.Edit_Watt.setFontColor(clr::Black);

    w.calculate(watt, time, unit, price);

    QTEST(w.f.Edit_Day.text(), "day");
    QTEST(w.f.lbl_EUR5.text(), "caption");
    QTEST(w.f.Edit_Year.text(), "year");
    QFETCH(double, cost);
    QVERIFY2(qAbs(double(w.f.CostPerDay) - cost) < 1e-12,
        qPrintable(QString::number(double(w.f.CostPerDay))));
    QTEST(w.f.Edit_Time.text(), "timeAfter");
    QCOMPARE(w.f.Edit_Day.color(), clr::Yellow);
    QCOMPARE(w.f.Edit_Year.color(), clr::Yellow);
    QFETCH(TColor, wattColor);
    QCOMPARE(w.f.Edit_Watt.color(), wattColor);
    const TColor wattFont = wattColor == clr::White ? clr::Blue
        : wattColor == clr::LightRose               ? clr::Red
                                                    : clr::Black;
    QCOMPARE(w.f.Edit_Watt.font().color, wattFont);
    QTEST(w.f.cmb_Time.color(), "unitColor");

    const auto &boxes = w.t.services.boxes;
    QCOMPARE(boxes.size(), size_t(error.isEmpty() ? 0 : 1));
    if (!error.isEmpty()) {
        QCOMPARE(boxes[0].caption, QStringLiteral("Voltaris 1.3"));
        QCOMPARE(boxes[0].icon, MsgIcon::Error);
        QCOMPARE(boxes[0].text, error);
        // The window stays usable: the next click calculates again.
        w.calculate(QStringLiteral("5"), QStringLiteral("10"), QStringLiteral("Min."));
        QCOMPARE(w.f.Edit_Day.text(), QStringLiteral("0,020"));
    }
}

void TestCalculator::repeatedAndSwitchingUnits()
{
    Window w;
    const struct {
        const char *watt, *time, *unit, *day, *caption, *year;
    } steps[] = { { "5", "10", "Min.", "0,020", "Ct.", "0,07" },
        { "5", "10", "Min.", "0,020", "Ct.", "0,07" },
        { "60", "4", "Std.", "0,06", "€", "21,02" } };
    for (const auto &s : steps) {
        w.calculate(
            QString::fromUtf8(s.watt), QString::fromUtf8(s.time), QString::fromUtf8(s.unit));
        QCOMPARE(w.f.Edit_Day.text(), QString::fromUtf8(s.day));
        QCOMPARE(w.f.lbl_EUR5.text(), QString::fromUtf8(s.caption));
        QCOMPARE(w.f.Edit_Year.text(), QString::fromUtf8(s.year));
    }
}

void TestCalculator::invalidPowerReshowsYear_data()
{
    // The first calculation, a caption another part of the window put there
    // afterwards (empty: none), and what the click with power 0 shows.
    for (const char *column : { "watt", "unit", "caption", "day", "year" })
        QTest::addColumn<QString>(column);
    const auto row = [](const char *name, const QStringList &texts) {
        auto &r = QTest::newRow(name);
        for (const QString &s : texts)
            r << s;
    };
    row("before any calculation", { "", "", "", "", "0,00" });
    row("after euro", { "60", "Std.", "", "0,06", "21,02" });
    row("after cent", { "5", "Min.", "", "0,020", "0,07" });
    // The meter picture numbers the captions; the stored cost keeps its unit.
    row("after euro, caption numbered", { "60", "Std.", "27", "0,06", "21,02" });
    row("after cent, caption numbered", { "5", "Min.", "27", "0,020", "0,07" });
}

void TestCalculator::invalidPowerReshowsYear()
{
    QFETCH(QString, watt);
    QFETCH(QString, unit);
    QFETCH(QString, caption);
    Window w;
    if (!watt.isEmpty())
        w.calculate(
            watt, unit == QLatin1String("Std.") ? QStringLiteral("4") : QStringLiteral("10"), unit);
    if (!caption.isEmpty())
        w.f.lbl_EUR5.setText(caption);
    w.f.Edit_Year.setText(QStringLiteral("stale"));
    w.calculate(QStringLiteral("0"), QStringLiteral("4"), QStringLiteral("Std."));
    QTEST(w.f.Edit_Day.text(), "day");
    QTEST(w.f.Edit_Year.text(), "year");
    QCOMPARE(w.f.Edit_Watt.color(), clr::LightRose);
    QVERIFY(w.t.services.boxes.empty());
}

void TestCalculator::stopwatchToggle()
{
    Window w;
    w.calculate(QStringLiteral("60"), QStringLiteral("30"), QStringLiteral("Min."));
    const QString day = w.f.Edit_Day.text();
    QVERIFY(!w.f.SpeedBtn_START.enabled() && !w.f.lbl_Stopp.enabled());
    for (const QString after : { "STOP", "START", "STOP" }) {
        w.f.SpeedBtn_STARTClick(w.f.SpeedBtn_START);
        QCOMPARE(w.f.SpeedBtn_START.text(), after);
        QCOMPARE(w.f.SpeedBtn_START.font().color, after == "STOP" ? clr::Red : clr::Green);
    }
    w.f.SpeedBtn_START.setText(QStringLiteral("Stop"));
    w.f.SpeedBtn_STARTClick(w.f.SpeedBtn_START);
    QCOMPARE(w.f.SpeedBtn_START.text(), QStringLiteral("START"));
    QCOMPARE(w.f.Edit_Day.text(), day);
    QCOMPARE(w.f.Edit_Time.text(), QStringLiteral("30"));
}

QTEST_GUILESS_MAIN(TestCalculator)
#include "tst_calculator.moc"
