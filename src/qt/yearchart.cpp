#include "qt/yearchart.h"

#include "common/numtext.h"

#include <QHeaderView>
#include <QLabel>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QValueAxis>
#include <algorithm>

namespace voltaris {

namespace {

const QColor BarColor(0, 90, 200);
const QString None = QStringLiteral("–");

} // namespace

QString yearLabel(const YearFigures &year)
{
    QString label = year.start.month() == 1 && year.start.day() == 1
        ? QString::number(year.start.year())
        : QStringLiteral("%1/%2")
              .arg(year.start.year())
              .arg((year.start.year() + 1) % 100, 2, 10, QLatin1Char('0'));
    if (year.estimated)
        label += QStringLiteral(" (geschätzt)");
    return label;
}

QString percentChange(long double percent, QChar separator)
{
    QString text = formatFixed(percent, 18, 1, separator);
    if (text.startsWith(QLatin1Char('-')))
        text.replace(0, 1, QChar(0x2212));
    else if (text != formatFixed(0, 18, 1, separator))
        text.prepend(QLatin1Char('+'));
    return text + QStringLiteral(" %");
}

YearComparisonView::YearComparisonView(QWidget *parent)
    : QWidget(parent)
    , stack_(new QStackedWidget(this))
    , hint_(new QLabel(stack_))
    , page_(new QWidget(stack_))
    , view_(new QChartView(page_))
    , table_(new QTableWidget(page_))
{
    setObjectName(QStringLiteral("YearComparison"));
    hint_->setAlignment(Qt::AlignCenter);
    hint_->setWordWrap(true);
    hint_->setMargin(24);
    hint_->setText(QStringLiteral("Für den Jahresvergleich braucht es mindestens zwei "
                                  "Zählerstände und den Beginn des Vertrags."));
    view_->setObjectName(QStringLiteral("YearChart"));
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setMinimumSize(480, 240);
    table_->setObjectName(QStringLiteral("YearTable"));
    table_->setColumnCount(5);
    table_->setHorizontalHeaderLabels({ QStringLiteral("Vertragsjahr"),
        QStringLiteral("Verbrauch (kWh)"), QStringLiteral("Kosten (€)"),
        QStringLiteral("Änderung Verbrauch"), QStringLiteral("Änderung Kosten") });
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    auto *pageLayout = new QVBoxLayout(page_);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addWidget(view_, 3);
    pageLayout->addWidget(table_, 1);
    stack_->addWidget(hint_);
    stack_->addWidget(page_);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(stack_);
}

bool YearComparisonView::showsChart() const
{
    return stack_->currentWidget() == page_;
}

void YearComparisonView::setYears(const std::vector<YearFigures> &years, const FormatSettings &s,
    const QString &title, const QString &costHeader, const std::vector<SolarYearUse> &withoutSolar)
{
    const bool solar = !withoutSolar.empty() && withoutSolar.size() == years.size();
    QStringList headers { QStringLiteral("Vertragsjahr"), QStringLiteral("Verbrauch (kWh)"),
        costHeader.isEmpty() ? QStringLiteral("Kosten (€)") : costHeader,
        QStringLiteral("Änderung Verbrauch"), QStringLiteral("Änderung Kosten") };
    if (solar)
        headers.insert(2, QStringLiteral("Verbrauch ohne Solar (kWh)"));
    table_->setColumnCount(int(headers.size()));
    table_->setHorizontalHeaderLabels(headers);
    if (years.empty()) {
        table_->setRowCount(0);
        stack_->setCurrentWidget(hint_);
        return;
    }
    const QChar sep = s.decimalSeparator;

    auto *bars = new QBarSet(QStringLiteral("Verbrauch im Vertragsjahr (kWh)"));
    bars->setColor(BarColor);
    bars->setBorderColor(BarColor);
    // An estimated year is drawn lighter: the bar set's selection colour.
    bars->setSelectedColor(BarColor.lighter(170));
    QStringList labels;
    long double high = 0;
    for (size_t i = 0; i < years.size(); ++i) {
        bars->append(qreal(years[i].kwh));
        labels << yearLabel(years[i]);
        high = std::max(high, years[i].kwh);
        if (years[i].estimated)
            bars->selectBar(int(i));
    }
    auto *series = new QBarSeries;
    series->append(bars);

    auto *chart = new QChart;
    chart->setLocalizeNumbers(true);
    chart->setLocale(
        sep == QLatin1Char(',') ? QLocale(QLocale::German, QLocale::Germany) : QLocale::c());
    chart->setTitle(title.isEmpty() ? QStringLiteral("Verbrauch der Vertragsjahre") : title);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->addSeries(series);
    auto *xAxis = new QBarCategoryAxis;
    xAxis->append(labels);
    auto *yAxis = new QValueAxis;
    yAxis->setLabelFormat(QStringLiteral("%.0f"));
    yAxis->setTitleText(QStringLiteral("kWh"));
    yAxis->setRange(0, qreal(high > 0 ? high * 1.1L : 1));
    yAxis->applyNiceNumbers();
    chart->addAxis(xAxis, Qt::AlignBottom);
    chart->addAxis(yAxis, Qt::AlignLeft);
    series->attachAxis(xAxis);
    series->attachAxis(yAxis);
    QChart *old = view_->chart();
    view_->setChart(chart);
    delete old;

    table_->setRowCount(int(years.size()));
    for (size_t i = 0; i < years.size(); ++i) {
        const YearFigures &y = years[i];
        const bool costChange = y.hasPrevious && y.hasCost && i > 0 && years[i - 1].hasCost;
        QStringList cells { yearLabel(y), formatValue(y.kwh, sep),
            y.hasCost ? formatValue(y.cost, sep) : None,
            y.hasPrevious ? percentChange(y.kwhChange, sep) : None,
            costChange ? percentChange(y.costChange, sep) : None };
        if (solar) {
            // Purchase + self-use; where the solar readings miss part of the
            // year, its self-use is only that of the days they count.
            const SolarYearUse &use = withoutSolar[i];
            cells.insert(2,
                formatValue(use.withoutSolar, sep)
                    + (use.whole ? QString() : QStringLiteral(" (Solar nicht ganzjährig)")));
        }
        for (int c = 0; c < cells.size(); ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            item->setTextAlignment(
                c == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(int(i), c, item);
        }
    }
    stack_->setCurrentWidget(page_);
}

} // namespace voltaris
