// The meter-reading log of GroupBox3: entering and removing readings in
// StringGrid1, the average consumption and the estimate of the contract year
// in Panel4, the painting of the table's cells and the caption numbering.
#include "common/dates.h"
#include "common/numtext.h"
#include "common/units.h"
#include "meterlog/logtable.h"
#include "ui/Unit1.h"

#include <cmath>

namespace voltaris {

namespace {

constexpr int EuroGap = 3; // pixels between the amount and "€"

// Before the reading of a new meter's first row.
const QString ReplacementMark = QStringLiteral("* ");

const QString AlreadyEntered = QStringLiteral("Das haben Sie schon eingegeben!");

} // namespace

void TForm1::btn_Save2Click(TControl &)
{
    // The date check runs against the file's newest rows.
    FollowVerbrauchFile();
    const FormatSettings &s = app().settings();
    const QChar sep = separator();
    TStringGrid &g = StringGrid1;
    const long double reading = Memo_Stand.value();
    const QDate date = dtp_Ablese.date();

    MeterLog &log = shownLog();
    const int previous = log.lastFilledRow();
    const QDate lastDate = previous >= 0 ? log.dateOf(previous, s) : QDate();
    if (lastDate.isValid() && date <= lastDate) {
        app().messageBox(this, app().Title, AlreadyEntered, MsgIcon::None);
        return;
    }
    g.beginUpdate();
    g.setRow(g.fixedRows() + log.addReading(date, reading, s, sep));
    g.scrollToLast();
    g.endUpdate();

    // The table is saved as soon as it changed, so that no reading waits for
    // a later entry or is lost to a contract field that is no number.
    SaveVerbrauch();
    if (ShownLog > 0) {
        // A further meter's figures are at its own prices.
        ShowMeterFigures();
        dtp_Ablese.setFocus();
        return;
    }

    // The contract's kWh per day is read for its conversion error only.
    strToFloat(Edit2.text(), sep);
    const long double basePrice = strToFloat(Edit3.text(), sep);
    const long double price = strToFloat(Edit5.text(), sep);
    const long double total = strToFloat(Edit6.text(), sep);
    if (!ShowEstimate(date, reading, basePrice, price, total))
        return;
    dtp_Ablese.setFocus();
}

bool TForm1::ShowEstimate(const QDate &date, long double reading, long double basePrice,
    long double price, long double total)
{
    const FormatSettings &s = app().settings();
    const QChar sep = separator();
    MeterLog &log = shownLog();
    log.setChanges(meterChanges());
    const std::optional<long double> averageOrNone = log.averageUpTo(date, reading, s, sep);
    if (!averageOrNone)
        return false;
    const long double average = *averageOrNone;
    // The base price is owed whatever the consumption; what is left of the
    // total pays for the energy.
    // This answers "does the tariff's yearly total fit a whole year at the
    // log's average since its first reading?". The settlement preview
    // (settlementOf in core/settlement.cpp) answers another question: what
    // the current contract year will cost against the instalments paid, at
    // the rate of the last 365 days. They agree only on a steady consumption.
    const long double estimate
        = checked(total - basePrice - average * DaysPerYear * price / CentPerEuro);

    lbl_vSrednem.setText(formatValue(average, sep));
    lbl_Zahlung.setText(formatValue(std::fabs(estimate), sep));
    // The label follows the sign of the amount it names.
    const bool credit = estimate >= 0;
    lbl_Gut.setVisible(credit);
    lbl_Nach.setVisible(!credit);
    lbl_Zahlung.setFontColor(credit ? clr::Green : clr::Red);
    LabelEUR.setLeft(lbl_Zahlung.left() + lbl_Zahlung.width() + EuroGap);
    LabelEUR.setFontColor(lbl_Zahlung.font().color);
    for (TLabel *l : { &lbl_Durch, &lbl_kWTag, &lbl_Zahlung, &LabelEUR, &lbl_vSrednem })
        l->setVisible(true);
    return true;
}

void TForm1::ShowEstimateOfTable()
{
    if (ShownLog > 0) {
        ShowMeterFigures();
        return;
    }
    // Hidden from the start until an entry shows them.
    if (!lbl_vSrednem.visible())
        return;
    const FormatSettings &s = app().settings();
    const QChar sep = separator();
    const MeterLog &log = shownLog();
    const int last = log.lastFilledRow();
    long double perDay = 0, basePrice = 0, price = 0, total = 0;
    const bool contract = tryStrToFloat(Edit2.text(), sep, perDay)
        && tryStrToFloat(Edit3.text(), sep, basePrice) && tryStrToFloat(Edit5.text(), sep, price)
        && tryStrToFloat(Edit6.text(), sep, total);
    const QDate date = last >= 0 ? log.dateOf(last, s) : QDate();
    // As the entry of the last row would show them; with no average left
    // (fewer than two readings) or a contract field that is no number, the
    // panel shows nothing rather than figures of another table.
    if (contract && date.isValid()
        && ShowEstimate(date, log.readingOf(last, sep), basePrice, price, total))
        return;
    for (TLabel *l :
        { &lbl_Durch, &lbl_kWTag, &lbl_vSrednem, &lbl_Zahlung, &LabelEUR, &lbl_Gut, &lbl_Nach })
        l->setVisible(false);
}

void TForm1::Memo_StandEnterPress(TControl &, QChar &)
{
    btn_Save2Click(btn_Save2);
}

void TForm1::Memo_StandEnter(TControl &)
{
    Memo_Stand.selectAll();
}

void TForm1::dtp_AbleseCloseUp(TControl &)
{
    FollowVerbrauchFile();
    const MeterLog &log = shownLog();
    const int last = log.lastFilledRow();
    const QDate lastDate = last >= 0 ? log.dateOf(last, app().settings()) : QDate();
    if (!lastDate.isValid() || dtp_Ablese.date() > lastDate)
        return;
    app().messageBox(this, app().Title, AlreadyEntered, MsgIcon::None);
    dtp_Ablese.setDate(app().services().today());
}

bool TForm1::FollowMarkedRow(const QString &outcome)
{
    TStringGrid &g = StringGrid1;
    const QStringList marked = rowOf(g, g.row());
    const bool blank = isBlankRow(marked);
    if (!FollowVerbrauchFile())
        return true;
    if (blank)
        return false; // the blank row of an empty log: nothing to remove
    if (const int r = shownLog().findRow(marked); r >= 0) {
        g.setRow(g.fixedRows() + r);
        return true;
    }
    app().messageBox(this, app().Title,
        QStringLiteral("Die markierte Zeile steht nicht mehr in \"%1\"; ein "
                       "anderes Programm hat die Datei geändert. ")
                .arg(shownLogName())
            + outcome,
        MsgIcon::None);
    return false;
}

void TForm1::Delete1Click(TControl &)
{
    // The row marked in the table as it was is removed from the file as it
    // is now.
    if (!FollowMarkedRow())
        return;
    TStringGrid &g = StringGrid1;
    MeterLog &log = shownLog();
    log.setChanges(meterChanges());
    g.beginUpdate();
    const bool more = log.rowCount() > 1;
    log.removeRow(g.row() - g.fixedRows(), app().settings(), separator());
    if (more)
        g.scrollToLast();
    g.endUpdate();
    SaveVerbrauch();
    if (ShownLog > 0)
        ShowMeterFigures();
}

void TForm1::RecountRow(int row)
{
    MeterLog &log = shownLog();
    log.setChanges(meterChanges());
    log.recountRow(row - StringGrid1.fixedRows(), app().settings(), separator());
}

void TForm1::StringGrid1DrawCell(TControl &, int ACol, int ARow, const TRect &Rect, TGridDrawState)
{
    static constexpr TAlignment Alignments[]
        = { TAlignment::Left, TAlignment::Right, TAlignment::Center, TAlignment::Right };
    TCanvas *canvas = StringGrid1.canvas();
    if (!canvas || ACol < 0 || ACol >= logcol::Count)
        return;
    const QString &text = StringGrid1.cell(ACol, ARow);
    // The new meter's first reading is marked on the screen only, where the
    // right-aligned reading leaves room (the date fills its column); the
    // file keeps the number.
    const MeterChanges &changes = meterChangeFile().cached();
    if (ACol == logcol::Reading && !changes.empty()
        && meterChangeOn(
            changes, cellDate(StringGrid1.cell(logcol::Date, ARow), app().settings()))) {
        DrawCellText(*canvas, Rect, Alignments[ACol], ReplacementMark + text.trimmed());
        return;
    }
    DrawCellText(*canvas, Rect, Alignments[ACol], text);
}

void TForm1::DrawCellText(
    TCanvas &Canvas, const TRect &Rect, TAlignment Alignment, const QString &Text) const
{
    const int width = Canvas.textWidth(Text);
    int x = Rect.left + 2;
    if (Alignment == TAlignment::Right)
        x = Rect.right - width - 2;
    else if (Alignment == TAlignment::Center)
        x = Rect.left + (Rect.right - Rect.left - width - 2) / 2; // truncates toward zero
    Canvas.textRect(Rect, x, Rect.top + 2, Text);
}

void TForm1::Image_SchetchikClick(TControl &)
{
    // 35 is left out.
    TControl *const numbered[] = { &GroupBox1, &lbl_Name, &lbl_Tarif, &lbl_01, &lbl_02, &lbl_03,
        &lbl_04, &lbl_05, &lbl_06, &lbl_07, &lbl_Ab, &lbl_kW1, &lbl_kW2, &lbl_EUR1, &lbl_EUR2,
        &lbl_Cent, &lbl_EUR3, &lbl_EUR4, &GroupBox2, &lbl_Leistung, &lbl_Watt, &lbl_Stopp,
        &lbl_Zeit, &lbl_Kosten, &btn_Berechnen, &lbl_EUR5, &lbl_EUR6, &GroupBox3, &lbl_Date,
        &lbl_Stand, &btn_Save2, &lbl_Nach, &lbl_Gut };
    setText(QString(15, QLatin1Char(' ')) + QLatin1Char('1'));
    int n = 2;
    for (TControl *c : numbered) {
        c->setText(c == &GroupBox1 ? QStringLiteral(" 2") : QString::number(n));
        ++n;
    }
    lbl_Durch.setText(QStringLiteral("36"));
    lbl_kWTag.setText(QStringLiteral("37"));
}

} // namespace voltaris
