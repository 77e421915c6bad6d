// The solar page of the chart window: the months' generation as bars of
// self-use and feed-in, the cumulated benefit as a line against the
// purchase price, and under them every figure with its formula.
#pragma once

#include "core/solar.h"

#include <QWidget>
#include <cstddef>

class QCategoryAxis;
class QChartView;
class QLabel;
class QTableWidget;

namespace voltaris {

// Every how many months a month is labelled below the bars (1, 2, 3, 6 or
// 12): the fewest steps at which a label of `labelWidth` pixels has room
// over the bars of `months` months across `plotWidth` pixels.
int monthLabelStep(size_t months, double plotWidth, double labelWidth);

class SolarPage : public QWidget {
    Q_OBJECT
public:
    explicit SolarPage(QWidget *parent = nullptr);

    void setFigures(const SolarFigures &figures, const FormatSettings &settings);
    const SolarFigures &figures() const { return figures_; }
    QChartView *chartView() const { return view_; }
    QTableWidget *table() const { return table_; }
    // The notes and problems above the table.
    QLabel *notes() const { return notes_; }

protected:
    // The rows' heights follow the formulas' wrapping at the width the page
    // gets, not at the width it was made with.
    void resizeEvent(QResizeEvent *event) override;

private:
    // The months' labels for the chart's width, again when it changes.
    void labelMonths();

    SolarFigures figures_;
    QCategoryAxis *months_ = nullptr;
    int monthStep_ = 0;
    QChartView *view_;
    QLabel *notes_;
    QTableWidget *table_;
};

} // namespace voltaris
