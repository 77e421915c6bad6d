#include "qt/settlementwindow.h"

#include "common/dates.h"
#include "common/numtext.h"
#include "meterlog/extras.h"
#include "qt/logviews.h"
#include "ui/Unit1.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

namespace voltaris {

namespace {

const QString Green = QStringLiteral("#008000");
const QString Red = QStringLiteral("#ff0000");

// The figures as an HTML table: what, how, how much.
class Sheet {
public:
    Sheet(const FormatSettings &s)
        : s_(s)
    { }
    QString f(long double x) const { return formatValue(x, s_.decimalSeparator); }
    QString kwh(long double x) const { return f(x) + QStringLiteral(" kWh"); }
    QString euro(long double x) const { return f(x) + QStringLiteral(" €"); }
    QString date(const QDate &d) const { return dateToStr(d, s_); }
    void row(
        const QString &what, const QString &how, const QString &value, const QString &colour = {})
    {
        const QString v = colour.isEmpty()
            ? value.toHtmlEscaped()
            : QStringLiteral("<b style=\"color:%1\">%2</b>").arg(colour, value.toHtmlEscaped());
        // A line break in `how` starts a new line of the cell.
        QString h = how.toHtmlEscaped();
        h.replace(QLatin1Char('\n'), QLatin1String("<br>"));
        html_ += QStringLiteral(
            "<tr valign=\"top\"><td><b>%1</b></td><td>%2</td><td align=\"right\">%3</td></tr>")
                     .arg(what.toHtmlEscaped(), h, v);
    }
    void paragraph(const QString &text, const QString &style = {})
    {
        html_ += QStringLiteral("<p style=\"%1\">%2</p>").arg(style, text.toHtmlEscaped());
    }
    void open() { html_ += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"4\">"); }
    void close() { html_ += QStringLiteral("</table>"); }
    QString html() const { return html_; }

private:
    const FormatSettings &s_;
    QString html_;
};

QString days(qint64 n)
{
    return n == 1 ? QStringLiteral("1 Tag") : QStringLiteral("%1 Tage").arg(n);
}

QString settlementHtml(const Settlement &st, const FormatSettings &s)
{
    Sheet h(s);
    if (st.hasYear) {
        h.paragraph(QStringLiteral("Vertragsjahr %1 bis %2 (%3), letzte Ablesung am %4")
                        .arg(h.date(st.yearStart), h.date(st.nextYearStart.addDays(-1)),
                            days(st.yearDays), h.date(st.last.date)),
            QStringLiteral("font-size:large"));
        h.open();
        QString how;
        switch (st.startFrom) {
        case Settlement::StartFrom::Reading:
            how = QStringLiteral("abgelesen");
            break;
        case Settlement::StartFrom::Interpolated:
            how = QStringLiteral("linear zwischen %1 (%2) und %3 (%4):\n%5 + (%6 − %5) × %7 ÷ %8")
                      .arg(h.date(st.before.date), h.kwh(st.before.kwh), h.date(st.after.date),
                          h.kwh(st.after.kwh), h.f(st.before.kwh), h.f(st.after.kwh))
                      .arg(st.before.date.daysTo(st.yearStart))
                      .arg(st.before.date.daysTo(st.after.date));
            break;
        case Settlement::StartFrom::FirstReading:
            how = QStringLiteral("erster Zählerstand (%1)").arg(h.date(st.first.date));
            break;
        }
        h.row(QStringLiteral("Stand zu Beginn"), how, h.kwh(st.startReading));
        h.row(QStringLiteral("Verbrauch bisher"),
            QStringLiteral("%1 − %2 in %3")
                .arg(h.f(st.last.kwh), h.f(st.startReading), days(st.daysSoFar)),
            h.kwh(st.soFar));
        if (st.hasRate) {
            h.row(QStringLiteral("Verbrauch pro Tag"),
                QStringLiteral("(%1 − %2) ÷ %3,\n%4")
                    .arg(h.f(st.last.kwh), h.f(st.rateReading), days(st.rateDays),
                        st.rateOverYear
                            ? QStringLiteral("über die letzten 365 Tage (Stand am %1 linear)")
                                  .arg(h.date(st.rateFrom))
                            : QStringLiteral("seit dem ersten Zählerstand am %1")
                                  .arg(h.date(st.rateFrom))),
                h.f(st.perDay) + QStringLiteral(" kWh/Tag"));
            h.row(QStringLiteral("Rest des Jahres"),
                QStringLiteral("%1 kWh/Tag × %2").arg(h.f(st.perDay), days(st.daysLeft)),
                h.kwh(st.rest));
        }
        if (st.complete()) {
            h.row(QStringLiteral("Kosten des Jahres"),
                QStringLiteral("%1 + (%2 + %3) kWh × %4 ct ÷ 100")
                    .arg(h.euro(st.basePrice), h.f(st.soFar), h.f(st.rest), h.f(st.price)),
                h.euro(st.cost));
            h.row(QStringLiteral("Bezahlt"), QStringLiteral("%1 × 12").arg(h.euro(st.monthly)),
                h.euro(st.paid));
            h.row(QStringLiteral("Ergebnis"),
                QStringLiteral("%1 − %2").arg(h.euro(st.paid), h.euro(st.cost)),
                settlementVerdict(st, s.decimalSeparator), st.result >= 0 ? Green : Red);
            h.row(QStringLiteral("Abschlag fürs nächste Jahr"),
                QStringLiteral("(%1 kWh/Tag × 365 × %2 ct ÷ 100 + %3) ÷ 12\n= %4, aufgerundet")
                    .arg(h.f(st.perDay), h.f(st.price), h.euro(st.basePrice),
                        h.euro(st.nextYear / 12)),
                QStringLiteral("%1 € im Monat")
                    .arg(formatFixed(st.suggested, 18, 0, s.decimalSeparator)),
                QStringLiteral("#000000"));
            h.row(QStringLiteral("Abschlag bisher"), QStringLiteral("monatlich laut Vertrag"),
                h.euro(st.monthly));
        }
        h.close();
    }
    for (const QString &note : st.notes)
        h.paragraph(note, QStringLiteral("font-style:italic"));
    for (const QString &problem : st.problems)
        h.paragraph(problem, QStringLiteral("color:") + Red);
    if (st.complete())
        h.paragraph(QStringLiteral("Eine Schätzung: Die Rechnung des Anbieters kann abweichen."),
            QStringLiteral("color:#555555"));
    return h.html();
}

} // namespace

SettlementWindow::SettlementWindow(TForm1 &form, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , form_(form)
    , text_(new QLabel(this))
{
    setObjectName(QStringLiteral("SettlementWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Abrechnungsvorschau"));
    text_->setTextFormat(Qt::RichText);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text_->setMargin(8);
    auto *close = new QPushButton(QStringLiteral("Schließen"), this);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text_, 1);
    layout->addLayout(buttons);

    auto *follower = new LogFollower(
        { &form.StringGrid1, &form.Edit3, &form.Edit5, &form.Edit7, &form.dtp_Ab }, this);
    connect(follower, &LogFollower::changed, this, &SettlementWindow::refresh);
    refresh();
}

QString SettlementWindow::plainText() const
{
    QTextDocument doc;
    doc.setHtml(text_->text());
    return doc.toPlainText();
}

void SettlementWindow::refresh()
{
    settlement_ = settlementOf(form_);
    text_->setText(settlementHtml(settlement_, form_.app().settings()));
    resize(size().expandedTo(sizeHint()));
}

} // namespace voltaris
