#pragma once

#include "core/history.h"
#include "core/solar.h"
#include "core/yearcompare.h"

#include <QWidget>

class QChartView;
class QComboBox;
class QLabel;
class QPointF;
class QPushButton;
class QStackedWidget;

namespace voltaris {

class MeterLog;
class SolarPage;
class TForm1;
class YearComparisonView;

// The chart of the log: the kWh per day of each interval as steps over the
// days, the contract's kWh per day and the average since the first reading
// as lines; redrawn whenever the table or the contract's kWh per day changes.
// A second page compares the contract years.
class HistoryWindow : public QWidget {
    Q_OBJECT
public:
    // The figures are those of `log`, the log the form shows, at the form's
    // contract.
    HistoryWindow(TForm1 &form, const MeterLog &log, QWidget *parent = nullptr);

    const History &history() const { return history_; }
    QChartView *chartView() const { return view_; }
    // The hint in place of the chart, when the log has less than two readings.
    QLabel *hint() const { return hint_; }
    bool showsChart() const;
    const std::vector<YearFigures> &years() const { return years_; }
    // With further meters: each meter's years and the household's total,
    // one of them shown as chosen.
    const HouseholdYears &householdYears() const { return household_; }
    QComboBox *meterChoice() const { return meter_; }
    YearComparisonView *yearView() const { return yearView_; }
    // Whether the contract years are shown, rather than the history.
    bool showsYears() const;
    void setShowsYears(bool years);
    // The tooltip of the step at that day.
    QString tipAt(const QDate &day) const;
    void refresh();
    void refreshYears();
    void savePicture();

    // The solar page: only while the household has a solar meter.
    SolarPage *solarPage() const { return solarPage_; }
    bool showsSolar() const;
    void setShowsSolar(bool solar);
    void refreshSolar();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Changes of price are made in the preview: the years catch up when this
    // window comes to the front again.
    void changeEvent(QEvent *event) override;
    // Escape closes the window, as it does a dialog.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showTip(const QPointF &point, bool state);
    void showChosenYears();
    QRect tipRect() const;

    TForm1 &form_;
    const MeterLog &log_;
    History history_;
    std::vector<YearFigures> years_;
    HouseholdYears household_;
    // "Verbrauch ohne Solar" beside what the household bought: of the main
    // meter's years (without further meters) and of the household's total;
    // empty without a solar system.
    std::vector<SolarYearUse> withoutSolar_, totalWithoutSolar_;
    QStackedWidget *pages_; // the history, the contract years
    QStackedWidget *stack_;
    QLabel *hint_;
    QChartView *view_;
    YearComparisonView *yearView_;
    QPushButton *toggle_, *save_;
    QComboBox *meter_;
    QPushButton *solar_;
    SolarPage *solarPage_ = nullptr;
    QString tip_; // of the point last hovered, at tipPos_ in the chart
    QPoint tipPos_;
};

} // namespace voltaris
