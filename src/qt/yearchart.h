// The contract years side by side: a bar of kWh a year and a table of
// consumption and cost against the year before.
#pragma once

#include "core/solar.h"
#include "core/yearcompare.h"

#include <QWidget>

class QChartView;
class QLabel;
class QStackedWidget;
class QTableWidget;

namespace voltaris {

// "2025/26" for a year from another day than the 1st of January, "2025"
// for a calendar year; an estimated year says so.
QString yearLabel(const YearFigures &year);
// "+5,2 %", "−3,0 %".
QString percentChange(long double percent, QChar separator);

class YearComparisonView : public QWidget {
    Q_OBJECT
public:
    explicit YearComparisonView(QWidget *parent = nullptr);

    // `title` (of a further meter, of the household) in place of the
    // chart's own; `costHeader` names the cost column where it is an income
    // or a share. `withoutSolar`, one a year where the years are what the
    // household bought and it has a solar system: "Verbrauch ohne Solar"
    // beside the purchase, a year the solar readings do not cover whole
    // marked.
    void setYears(const std::vector<YearFigures> &years, const FormatSettings &settings,
        const QString &title = {}, const QString &costHeader = {},
        const std::vector<SolarYearUse> &withoutSolar = {});
    QChartView *chartView() const { return view_; }
    QTableWidget *table() const { return table_; }
    bool showsChart() const;

private:
    QStackedWidget *stack_;
    QLabel *hint_;
    QWidget *page_;
    QChartView *view_;
    QTableWidget *table_;
};

} // namespace voltaris
