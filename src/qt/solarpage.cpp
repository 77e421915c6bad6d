#include "qt/solarpage.h"

#include "common/dates.h"
#include "common/numtext.h"

#include <QFontMetricsF>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QtCharts/QBarSet>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QStackedBarSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>

namespace voltaris {

int monthLabelStep(size_t months, double plotWidth, double labelWidth)
{
    // A label and half its width again between two.
    const double room = labelWidth * 1.5;
    for (int step : { 1, 2, 3, 6 })
        if (months == 0 || plotWidth / double(months) * step >= room)
            return step;
    return 12;
}

namespace {

const QColor SelfUseColor(240, 170, 0);
const QColor FeedInColor(0, 90, 200);
const QColor BenefitColor(0, 128, 0);
const QColor PriceColor(200, 0, 0);

QLocale chartLocale(QChar separator)
{
    return separator == QLatin1Char(',') ? QLocale(QLocale::German, QLocale::Germany)
                                         : QLocale::c();
}

} // namespace

SolarPage::SolarPage(QWidget *parent)
    : QWidget(parent)
    , view_(new QChartView(this))
    , notes_(new QLabel(this))
    , table_(new QTableWidget(this))
{
    setObjectName(QStringLiteral("SolarPage"));
    view_->setObjectName(QStringLiteral("SolarChart"));
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setMinimumSize(480, 260);
    notes_->setWordWrap(true);
    notes_->setTextFormat(Qt::RichText);
    table_->setObjectName(QStringLiteral("SolarTable"));
    table_->setColumnCount(3);
    table_->setHorizontalHeaderLabels(
        { QStringLiteral("Größe"), QStringLiteral("Rechnung"), QStringLiteral("Wert") });
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(true);
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    table_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    // The rows grow with a formula that wraps once the columns have their width.
    connect(table_->horizontalHeader(), &QHeaderView::sectionResized, table_,
        &QTableWidget::resizeRowsToContents);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_, 3);
    layout->addWidget(notes_);
    layout->addWidget(table_, 2);
}

void SolarPage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // Once the layout has given the table its columns' widths.
    QTimer::singleShot(0, table_, &QTableWidget::resizeRowsToContents);
}

void SolarPage::labelMonths()
{
    if (!months_)
        return;
    const QChart &chart = *view_->chart();
    // Before its first layout the chart's plot is as wide as the view.
    const double plot = chart.plotArea().width() > 0 ? chart.plotArea().width() : view_->width();
    const double label
        = QFontMetricsF(months_->labelsFont()).horizontalAdvance(QStringLiteral("00.00"));
    int step = monthLabelStep(figures_.months.size(), plot, label);
    // More labels only with room to spare: their own width at the plot's
    // edge must not take back the room they were given.
    if (monthStep_ > 0 && step < monthStep_
        && monthLabelStep(figures_.months.size(), plot * 0.9, label) >= monthStep_)
        step = monthStep_;
    if (step == monthStep_)
        return;
    monthStep_ = step;
    for (const QString &l : months_->categoriesLabels())
        months_->remove(l);
    for (size_t i = 0; i < figures_.months.size(); ++i) {
        const QDate month = figures_.months[i].month;
        // The first month of each second, quarter, half or whole year.
        if ((month.month() - 1) % step == 0)
            months_->append(month.toString(QStringLiteral("MM.yy")), qreal(i));
    }
}

void SolarPage::setFigures(const SolarFigures &f, const FormatSettings &s)
{
    figures_ = f;
    const QChar sep = s.decimalSeparator;

    // Problems in red, then what the figures assume.
    QStringList lines;
    for (const QString &p : f.problems)
        lines << QStringLiteral("<span style=\"color:#ff0000\">%1</span>").arg(p.toHtmlEscaped());
    for (const QString &n : f.notes)
        lines << n.toHtmlEscaped();
    notes_->setText(lines.join(QStringLiteral("<br>")));
    notes_->setVisible(!lines.isEmpty());

    auto *chart = new QChart;
    chart->setLocalizeNumbers(true);
    chart->setLocale(chartLocale(sep));
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setTitle(f.counted ? QStringLiteral("Erzeugung der Monate und kumulierter Nutzen")
                              : QStringLiteral("Für die Solaranlage braucht es mindestens zwei "
                                               "Zählerstände."));
    if (f.counted) {
        auto *selfUse = new QBarSet(QStringLiteral("Eigenverbrauch (kWh)"));
        selfUse->setColor(SelfUseColor);
        auto *feedIn
            = new QBarSet(f.feedInMeasured ? QStringLiteral("Einspeisung (kWh)")
                                           : QStringLiteral("Einspeisung, angenommen (kWh)"));
        feedIn->setColor(FeedInColor);
        // The months are labelled at the bars' centres once the chart
        // knows its width (labelMonths).
        auto *xAxis = new QCategoryAxis;
        xAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        xAxis->setRange(-0.5, qreal(f.months.size()) - 0.5);
        xAxis->setGridLineVisible(false);
        long double high = 0;
        for (const SolarMonth &m : f.months) {
            selfUse->append(qreal(m.selfUse));
            feedIn->append(qreal(m.feedIn));
            high = std::max(high, m.selfUse + m.feedIn);
        }
        auto *bars = new QStackedBarSeries;
        bars->append(selfUse);
        bars->append(feedIn);
        chart->addSeries(bars);

        // The benefit at each month's end, over that month's bar.
        auto *benefit = new QLineSeries;
        benefit->setName(QStringLiteral("Nutzen kumuliert (€)"));
        benefit->setPen(QPen(BenefitColor, 2));
        long double highEuro = f.purchasePrice;
        for (size_t i = 1; i < f.curve.size(); ++i) {
            benefit->append(qreal(i - 1), qreal(f.curve[i].benefit));
            highEuro = std::max(highEuro, f.curve[i].benefit);
        }
        chart->addSeries(benefit);
        auto *price = new QLineSeries;
        price->setName(QStringLiteral("Kaufpreis: %1 €").arg(formatValue(f.purchasePrice, sep)));
        price->setPen(QPen(PriceColor, 2, Qt::DashLine));
        price->append(0, qreal(f.purchasePrice));
        price->append(qreal(std::max<size_t>(f.months.size(), 2) - 1), qreal(f.purchasePrice));
        chart->addSeries(price);

        auto *kwhAxis = new QValueAxis;
        kwhAxis->setLabelFormat(QStringLiteral("%.0f"));
        kwhAxis->setTitleText(QStringLiteral("kWh im Monat"));
        kwhAxis->setRange(0, qreal(high > 0 ? high * 1.1L : 1));
        kwhAxis->applyNiceNumbers();
        auto *euroAxis = new QValueAxis;
        euroAxis->setLabelFormat(QStringLiteral("%.0f"));
        euroAxis->setTitleText(QStringLiteral("Euro"));
        euroAxis->setRange(0, qreal(highEuro > 0 ? highEuro * 1.1L : 1));
        euroAxis->applyNiceNumbers();
        chart->addAxis(xAxis, Qt::AlignBottom);
        chart->addAxis(kwhAxis, Qt::AlignLeft);
        chart->addAxis(euroAxis, Qt::AlignRight);
        for (QAbstractSeries *series : chart->series())
            series->attachAxis(xAxis);
        bars->attachAxis(kwhAxis);
        benefit->attachAxis(euroAxis);
        price->attachAxis(euroAxis);
    }
    QChart *old = view_->chart();
    view_->setChart(chart);
    delete old;
    months_
        = f.counted ? qobject_cast<QCategoryAxis *>(chart->axes(Qt::Horizontal).value(0)) : nullptr;
    monthStep_ = 0;
    labelMonths();
    connect(chart, &QChart::plotAreaChanged, this, &SolarPage::labelMonths);

    // The window computes again when it comes to the front: the table stays
    // where it was scrolled to.
    const int scrolled = table_->verticalScrollBar()->value();
    const std::vector<SolarRow> rows = solarRows(f, s);
    table_->clearContents();
    table_->clearSpans();
    table_->setRowCount(int(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i) {
        const SolarRow &r = rows[i];
        const int row = int(i);
        // A heading names a year or a part in bold, the rows below it its
        // figures.
        QFont bold = table_->font();
        bold.setBold(true);
        auto *what = new QTableWidgetItem(r.what);
        what->setFont(bold);
        table_->setItem(row, 0, what);
        auto *how = new QTableWidgetItem(r.how);
        if (r.heading)
            how->setFont(bold);
        table_->setItem(row, 1, how);
        // A heading has no value: its text (the assumptions) takes that
        // column's room too.
        if (r.heading && r.value.isEmpty()) {
            table_->setSpan(row, 1, 1, 2);
            continue;
        }
        auto *value = new QTableWidgetItem(r.value);
        value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table_->setItem(row, 2, value);
    }
    table_->resizeRowsToContents();
    table_->verticalScrollBar()->setValue(scrolled);
}

} // namespace voltaris
