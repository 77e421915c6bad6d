#include "qt/solarpage.h"

#include "common/dates.h"
#include "common/numtext.h"

#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QStackedBarSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>

namespace voltaris {

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
        QStringList labels;
        long double high = 0;
        for (const SolarMonth &m : f.months) {
            selfUse->append(qreal(m.selfUse));
            feedIn->append(qreal(m.feedIn));
            labels << m.month.toString(QStringLiteral("MM.yy"));
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

        auto *xAxis = new QBarCategoryAxis;
        xAxis->append(labels);
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
