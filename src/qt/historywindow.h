#pragma once

#include "core/history.h"

#include <QWidget>

class QChartView;
class QLabel;
class QPointF;
class QPushButton;
class QStackedWidget;

namespace voltaris {

class TForm1;

// The chart of the log: the kWh per day of each interval as steps over the
// days, the contract's kWh per day and the average since the first reading
// as lines; redrawn whenever the table or the contract's kWh per day changes.
class HistoryWindow : public QWidget {
    Q_OBJECT
public:
    HistoryWindow(TForm1 &form, QWidget *parent = nullptr);

    const History &history() const { return history_; }
    QChartView *chartView() const { return view_; }
    // The hint in place of the chart, when the log has less than two readings.
    QLabel *hint() const { return hint_; }
    bool showsChart() const;
    // The tooltip of the step at that day.
    QString tipAt(const QDate &day) const;
    void refresh();
    void savePicture();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showTip(const QPointF &point, bool state);
    QRect tipRect() const;

    TForm1 &form_;
    History history_;
    QStackedWidget *stack_;
    QLabel *hint_;
    QChartView *view_;
    QPushButton *save_;
    QString tip_; // of the point last hovered, at tipPos_ in the chart
    QPoint tipPos_;
};

} // namespace voltaris
