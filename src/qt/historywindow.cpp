#include "qt/historywindow.h"

#include "common/dates.h"
#include "common/numtext.h"
#include "common/safefile.h"
#include "meterlog/extras.h"
#include "qt/logfollower.h"
#include "qt/savedialog.h"
#include "qt/solarpage.h"
#include "qt/yearchart.h"
#include "ui/Unit1.h"

#include <QBuffer>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolTip>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>

namespace voltaris {

namespace {

const QColor StepColor(0, 90, 200);
const QColor ContractColor(0, 128, 0);
const QColor AverageColor(230, 120, 0);

qreal msOf(const QDate &d)
{
    return qreal(d.startOfDay().toMSecsSinceEpoch());
}

// The short date as the settings write it, as a QDateTime pattern; without
// the day for months.
QString datePattern(const FormatSettings &s, bool withDay)
{
    const QString sep(s.dateSeparator);
    switch (s.dateOrder) {
    case FormatSettings::DateOrder::MDY:
        return withDay ? "MM" + sep + "dd" + sep + "yyyy" : "MM" + sep + "yyyy";
    case FormatSettings::DateOrder::YMD:
        return withDay ? "yyyy" + sep + "MM" + sep + "dd" : "yyyy" + sep + "MM";
    case FormatSettings::DateOrder::DMY:
        break;
    }
    return withDay ? "dd" + sep + "MM" + sep + "yyyy" : "MM" + sep + "yyyy";
}

QLineSeries *line(const QString &name, const QColor &colour, Qt::PenStyle style, qreal width)
{
    auto *s = new QLineSeries;
    s->setName(name);
    QPen pen(colour, width, style);
    s->setPen(pen);
    return s;
}

} // namespace

HistoryWindow::HistoryWindow(TForm1 &form, const MeterLog &log, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , form_(form)
    , log_(log)
    , pages_(new QStackedWidget(this))
    , stack_(new QStackedWidget(pages_))
    , hint_(new QLabel(stack_))
    , view_(new QChartView(stack_))
    , yearView_(new YearComparisonView(pages_))
    , toggle_(new QPushButton(QStringLiteral("Jahresvergleich"), this))
    , save_(new QPushButton(QStringLiteral("Als Bild speichern…"), this))
    , meter_(new QComboBox(this))
    , solar_(new QPushButton(QStringLiteral("Solar"), this))
{
    setObjectName(QStringLiteral("HistoryWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Verlauf des Verbrauchs"));
    hint_->setAlignment(Qt::AlignCenter);
    hint_->setWordWrap(true);
    hint_->setMargin(24);
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setMinimumSize(480, 300);
    view_->viewport()->installEventFilter(this);
    stack_->addWidget(hint_);
    stack_->addWidget(view_);
    pages_->addWidget(stack_);
    pages_->addWidget(yearView_);
    toggle_->setObjectName(QStringLiteral("YearToggle"));
    connect(toggle_, &QPushButton::clicked, this, [this] { setShowsYears(!showsYears()); });

    auto *close = new QPushButton(QStringLiteral("Schließen"), this);
    connect(save_, &QPushButton::clicked, this, &HistoryWindow::savePicture);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    // Which meter's years, or the household's: only with further meters.
    meter_->setObjectName(QStringLiteral("YearMeterChoice"));
    meter_->setAccessibleName(QStringLiteral("Zähler im Jahresvergleich"));
    meter_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    meter_->hide();
    connect(meter_, &QComboBox::currentIndexChanged, this, &HistoryWindow::showChosenYears);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(toggle_);
    buttons->addWidget(meter_);
    buttons->addWidget(solar_);
    buttons->addStretch();
    buttons->addWidget(save_);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pages_, 1);
    layout->addLayout(buttons);
    resize(820, 500);

    auto *follower = new LogFollower(&log, { &form.Edit2 }, this);
    connect(follower, &LogFollower::changed, this, &HistoryWindow::refresh);
    // The years' costs follow the contract's prices and its start as well,
    // the household's years and solar every meter.
    auto *yearFollower
        = new LogFollower(&log, { &form.Edit3, &form.Edit5, &form.dtp_Ab }, this, &form);
    connect(yearFollower, &LogFollower::changed, this, &HistoryWindow::refreshYears);
    refresh();
    refreshYears();

    solar_->setObjectName(QStringLiteral("SolarToggle"));
    solar_->setCheckable(true);
    solar_->hide();
    connect(solar_, &QPushButton::clicked, this, [this] { setShowsSolar(!showsSolar()); });
    connect(yearFollower, &LogFollower::changed, this, &HistoryWindow::refreshSolar);
    refreshSolar();
}

bool HistoryWindow::showsSolar() const
{
    return solarPage_ && pages_->currentWidget() == solarPage_;
}

void HistoryWindow::setShowsSolar(bool solar)
{
    if (!solar || !solarPage_) {
        setShowsYears(false);
        return;
    }
    pages_->setCurrentWidget(solarPage_);
    solar_->setChecked(true);
    meter_->hide();
    toggle_->setText(QStringLiteral("Jahresvergleich"));
    setWindowTitle(QStringLiteral("Solaranlage: Erzeugung und Nutzen"));
    save_->setEnabled(false);
}

// The page comes with the first solar meter and goes with the last; the
// figures follow the readings of every meter of the household.
void HistoryWindow::refreshSolar()
{
    const FormatSettings &s = form_.app().settings();
    const SolarFigures figures = solarFiguresOf(form_.householdInput(), s);
    if (!figures.hasSolar) {
        if (showsSolar())
            setShowsYears(false);
        delete solarPage_;
        solarPage_ = nullptr;
        solar_->hide();
        return;
    }
    if (!solarPage_) {
        solarPage_ = new SolarPage(pages_);
        pages_->addWidget(solarPage_);
    }
    solarPage_->setFigures(figures, s);
    solar_->show();
}

bool HistoryWindow::showsYears() const
{
    return pages_->currentWidget() == yearView_;
}

void HistoryWindow::setShowsYears(bool years)
{
    pages_->setCurrentWidget(years ? static_cast<QWidget *>(yearView_) : stack_);
    toggle_->setText(years ? QStringLiteral("Verlauf") : QStringLiteral("Jahresvergleich"));
    setWindowTitle(years ? QStringLiteral("Jahresvergleich des Verbrauchs")
                         : QStringLiteral("Verlauf des Verbrauchs"));
    meter_->setVisible(years && !household_.meters.empty());
    save_->setEnabled(years ? yearView_->showsChart() : showsChart());
    solar_->setChecked(false);
}

void HistoryWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        refreshYears();
        refreshSolar();
    }
}

void HistoryWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel))
        close();
    else
        QWidget::keyPressEvent(event);
}

void HistoryWindow::refreshYears()
{
    const FormatSettings &s = form_.app().settings();
    shownLogOf(form_);
    years_ = yearComparisonOf(log_, form_.contractValues(), s, form_.priceChanges());
    const HouseholdInput household = form_.householdInput();
    household_ = householdYearComparison(household, s);
    withoutSolar_.clear();
    totalWithoutSolar_.clear();
    if (const SolarFigures solar = solarFiguresOf(household, s); solar.hasSolar) {
        // The purchase is the main meter's alone when the household has no
        // other meter it buys from, and the shown log is that meter's.
        if (household_.meters.empty() && &log_ == form_.Logs.front().get())
            withoutSolar_ = consumptionWithoutSolar(solar, years_);
        totalWithoutSolar_ = consumptionWithoutSolar(solar, household_.total);
    }
    // The choice: each meter, then the household; the one chosen stays.
    QStringList names;
    for (const MeterYears &m : household_.meters)
        names << (m.kind == MeterKind::Main
                ? m.name
                : QStringLiteral("%1 (%2)").arg(m.name, meterKindName(m.kind)));
    if (!household_.meters.empty())
        names << QStringLiteral("Haushalt gesamt");
    QStringList before;
    for (int i = 0; i < meter_->count(); ++i)
        before << meter_->itemText(i);
    if (names != before) {
        const QString chosen = meter_->currentText();
        const QSignalBlocker block(meter_);
        meter_->clear();
        meter_->addItems(names);
        meter_->setCurrentIndex(std::max(0, int(names.indexOf(chosen))));
    }
    meter_->setVisible(showsYears() && !household_.meters.empty());
    showChosenYears();
}

void HistoryWindow::showChosenYears()
{
    const FormatSettings &s = form_.app().settings();
    const int chosen = meter_->currentIndex();
    const std::vector<MeterYears> &meters = household_.meters;
    if (meters.empty() || chosen < 0) {
        yearView_->setYears(years_, s, {}, {}, withoutSolar_);
    } else if (size_t(chosen) >= meters.size()) {
        yearView_->setYears(household_.total, s,
            QStringLiteral("Gekaufter Strom des Haushalts: Hauptzähler, NT und eigene Verträge"),
            {}, totalWithoutSolar_);
    } else {
        const MeterYears &m = meters[size_t(chosen)];
        switch (m.kind) {
        case MeterKind::LowTariff:
            yearView_->setYears(m.years, s,
                QStringLiteral("Verbrauch der Vertragsjahre: %1 (NT)").arg(m.name),
                QStringLiteral("Kosten NT (€)"));
            break;
        case MeterKind::SubMeter:
            yearView_->setYears(m.years, s,
                QStringLiteral("Verbrauch der Vertragsjahre: %1 (im Hauptzähler enthalten)")
                    .arg(m.name),
                QStringLiteral("Anteil an den Kosten (€)"));
            break;
        case MeterKind::FeedIn:
            yearView_->setYears(m.years, s,
                QStringLiteral("Einspeisung der Vertragsjahre: %1").arg(m.name),
                QStringLiteral("Vergütung (€)"));
            break;
        case MeterKind::OwnContract:
            yearView_->setYears(m.years, s,
                QStringLiteral("Verbrauch der Vertragsjahre: %1 (eigener Vertrag)").arg(m.name));
            break;
        case MeterKind::Main:
        case MeterKind::Solar:
            yearView_->setYears(m.years, s);
            break;
        }
    }
    if (showsYears())
        save_->setEnabled(yearView_->showsChart());
}

bool HistoryWindow::showsChart() const
{
    return stack_->currentWidget() == view_;
}

void HistoryWindow::refresh()
{
    shownLogOf(form_);
    history_ = historyOf(log_, form_.app().settings());
    if (history_.steps.empty()) {
        hint_->setText(QStringLiteral("Für den Verlauf braucht es mindestens zwei Zählerstände.\n"
                                      "Tragen Sie Ihre Ablesungen in die Tabelle ein."));
        stack_->setCurrentWidget(hint_);
        if (!showsYears())
            save_->setEnabled(false);
        return;
    }
    const FormatSettings &s = form_.app().settings();
    const QChar sep = s.decimalSeparator;

    auto *chart = new QChart;
    chart->setLocalizeNumbers(true);
    chart->setLocale(
        sep == QLatin1Char(',') ? QLocale(QLocale::German, QLocale::Germany) : QLocale::c());
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setTitle(history_.byMonth ? QStringLiteral("Verbrauch pro Tag im Monatsmittel")
                                     : QStringLiteral("Verbrauch pro Tag zwischen den Ablesungen"));

    auto *steps = line(history_.byMonth ? QStringLiteral("kWh pro Tag je Monat")
                                        : QStringLiteral("kWh pro Tag je Ableseintervall"),
        StepColor, Qt::SolidLine, 2);
    auto *points = new QScatterSeries;
    points->setMarkerSize(7);
    points->setColor(StepColor);
    points->setBorderColor(StepColor);
    QList<QPointF> stepPoints, pointList;
    stepPoints.reserve(qsizetype(history_.steps.size()) * 2);
    pointList.reserve(qsizetype(history_.steps.size()));
    long double low = 0, high = 0;
    for (const HistoryStep &st : history_.steps) {
        stepPoints << QPointF(msOf(st.from), qreal(st.perDay))
                   << QPointF(msOf(st.to), qreal(st.perDay));
        pointList << QPointF(msOf(st.to), qreal(st.perDay));
        low = std::min(low, st.perDay);
        high = std::max(high, st.perDay);
    }
    steps->replace(stepPoints);
    points->replace(pointList);

    const qreal x0 = msOf(history_.first), x1 = msOf(history_.last);
    auto *average = line(QStringLiteral("Durchschnitt seit %1: %2 kWh/Tag")
                             .arg(dateToStr(history_.first, s), formatValue(history_.average, sep)),
        AverageColor, Qt::DotLine, 2);
    average->append(x0, qreal(history_.average));
    average->append(x1, qreal(history_.average));
    high = std::max(high, history_.average);
    low = std::min(low, history_.average);

    chart->addSeries(steps);
    chart->addSeries(points);
    long double contract = 0;
    if (contractPerDayOf(form_.contractValues(), sep, contract)) {
        auto *reference
            = line(QStringLiteral("Vertrag: %1 kWh/Tag").arg(formatValue(contract, sep)),
                ContractColor, Qt::DashLine, 2);
        reference->append(x0, qreal(contract));
        reference->append(x1, qreal(contract));
        chart->addSeries(reference);
        high = std::max(high, contract);
        low = std::min(low, contract);
    }
    chart->addSeries(average);

    auto *xAxis = new QDateTimeAxis;
    xAxis->setFormat(datePattern(s, !history_.byMonth));
    xAxis->setTickCount(7);
    xAxis->setRange(history_.first.startOfDay(), history_.last.startOfDay());
    xAxis->setTitleText(QStringLiteral("Ablesedatum"));
    auto *yAxis = new QValueAxis;
    yAxis->setLabelFormat(QStringLiteral("%.1f"));
    yAxis->setTitleText(QStringLiteral("kWh pro Tag"));
    yAxis->setRange(qreal(low), qreal(high > low ? high * 1.1L : low + 1));
    yAxis->applyNiceNumbers();
    chart->addAxis(xAxis, Qt::AlignBottom);
    chart->addAxis(yAxis, Qt::AlignLeft);
    for (QAbstractSeries *series : chart->series()) {
        series->attachAxis(xAxis);
        series->attachAxis(yAxis);
    }
    // The reading markers need no legend entry of their own.
    for (QLegendMarker *m : chart->legend()->markers(points))
        m->setVisible(false);
    connect(steps, &QLineSeries::hovered, this, &HistoryWindow::showTip);
    connect(points, &QScatterSeries::hovered, this, &HistoryWindow::showTip);

    QChart *old = view_->chart();
    view_->setChart(chart);
    delete old;
    stack_->setCurrentWidget(view_);
    if (!showsYears() && !showsSolar())
        save_->setEnabled(true);
}

QString HistoryWindow::tipAt(const QDate &day) const
{
    const auto &steps = history_.steps;
    // The step that ends on or after the day.
    auto it = std::lower_bound(steps.begin(), steps.end(), day,
        [](const HistoryStep &st, const QDate &d) { return st.to < d; });
    if (it == steps.end())
        return QString();
    const FormatSettings &s = form_.app().settings();
    const QChar sep = s.decimalSeparator;
    if (history_.byMonth) {
        const QLocale german(QLocale::German);
        return QStringLiteral("%1 %2\nZählerstand am %3: %4 kWh\n%5 kWh pro Tag im Monatsmittel")
            .arg(german.standaloneMonthName(it->from.month()), QString::number(it->from.year()),
                dateToStr(it->to, s), formatValue(it->reading, sep), formatValue(it->perDay, sep));
    }
    const qint64 days = it->from.daysTo(it->to);
    return QStringLiteral("%1\nZählerstand: %2 kWh\n%3 kWh pro Tag seit %4 (%5 %6)")
        .arg(dateToStr(it->to, s), formatValue(it->reading, sep), formatValue(it->perDay, sep),
            dateToStr(it->from, s), QString::number(days),
            days == 1 ? QStringLiteral("Tag") : QStringLiteral("Tage"));
}

void HistoryWindow::showTip(const QPointF &point, bool state)
{
    // The step line and the markers overlap: the one left may report after
    // the one entered, so a leave does not hide the tip; it stays while the
    // cursor is near the point.
    if (!state)
        return;
    const QDate day = QDateTime::fromMSecsSinceEpoch(qint64(point.x())).date();
    tip_ = tipAt(day);
    tipPos_ = view_->viewport()->mapFromGlobal(QCursor::pos());
    QToolTip::showText(QCursor::pos(), tip_, view_->viewport(), tipRect());
}

QRect HistoryWindow::tipRect() const
{
    return QRect(tipPos_ - QPoint(10, 10), QSize(21, 21));
}

bool HistoryWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The chart's scene answers the view's tooltip event with its own (empty)
    // tip, which would hide the point's at once.
    if (watched == view_->viewport() && event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        if (!tip_.isEmpty() && tipRect().contains(help->pos()))
            QToolTip::showText(help->globalPos(), tip_, view_->viewport(), tipRect());
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void HistoryWindow::savePicture()
{
    const bool years = showsYears();
    const QString path = askSaveFileName(this,
        years ? QStringLiteral("Jahresvergleich als Bild speichern")
              : QStringLiteral("Verlauf als Bild speichern"),
        QDir::current().absoluteFilePath(
            form_.dataFolder().path(years ? DataFile::YearChart : DataFile::HistoryChart)),
        QStringLiteral("PNG-Bild (*.png)"));
    if (path.isEmpty())
        return;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    (years ? yearView_->chartView() : view_)->grab().save(&buffer, "PNG");
    QString reason;
    if (!writeFileSafely(path, bytes, &reason))
        form_.app().messageBox(&form_, form_.app().Title,
            QStringLiteral("Das Bild konnte nicht gespeichert werden:\n%1\n\n%2")
                .arg(displayPath(path), reason),
            MsgIcon::Warning);
}

} // namespace voltaris
