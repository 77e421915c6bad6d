// Contract tariff: the mutual recalculation of the contract fields while the
// user types, the defaults put back on leaving a field, and the pair modes.
#include "common/errors.h"
#include "common/keyfilter.h"
#include "common/numtext.h"
#include "common/units.h"
#include "ui/Unit1.h"

namespace voltaris {

namespace {

constexpr long double TypingThreshold = 15; // prices at most this only colour the field
constexpr long double LeavingThreshold = 2; // prices below this are likely euro, not cent
constexpr long double DefaultBasePerYear = 84;
constexpr long double DefaultBasePerMonth = 7;

// Cost of the consumption at the price, plus the base price: every total of
// the contract is this sum, checked for overflow.
long double total(long double consumption, long double price, long double base)
{
    return checked(consumption * price / CentPerEuro + base);
}

} // namespace

QString TForm1::FormatValue(long double x) const
{
    return formatValue(checked(x), separator());
}

long double TForm1::v(const TControl &c) const
{
    return strToFloat(c.text(), separator());
}

void TForm1::EditKeyPress(TControl &Sender, QChar &Key)
{
    const auto &edit = dynamic_cast<const TEdit &>(Sender);
    Key = editKeyPress(edit.text(), edit.selStart(), edit.selLength(), Key, separator());
}

void TForm1::Edit1KeyUp(TControl &, int &, TShiftState)
{
    if (Edit1.text().isEmpty()) {
        Edit2.setText(QStringLiteral("0"));
        Edit6.setText(Edit3.text());
        Edit7.setText(Edit4.text());
        return;
    }
    Edit7.setColor(clr::Yellow);
    Edit1.setFontColor(clr::Blue);
    ConsumptionPerYear = v(Edit1);
    BasePricePerYear = v(Edit3);
    PricePerKWh = v(Edit5);
    Edit2.setText(FormatValue(ConsumptionPerYear / DaysPerYear));
    Edit6.setText(FormatValue(total(ConsumptionPerYear, PricePerKWh, BasePricePerYear)));
    TotalPerYear = v(Edit6);
    Edit7.setText(FormatValue(TotalPerYear / MonthsPerYear));
}

void TForm1::Edit2KeyUp(TControl &, int &, TShiftState)
{
    if (Edit2.text().isEmpty()) {
        Edit1.setText(QStringLiteral("0"));
        Edit6.setText(Edit3.text());
        Edit7.setText(Edit4.text());
        return;
    }
    Edit7.setColor(clr::Yellow);
    Edit2.setFontColor(clr::Blue);
    ConsumptionPerDay = v(Edit2);
    BasePricePerYear = v(Edit3);
    PricePerKWh = v(Edit5);
    ConsumptionPerYear = checked(ConsumptionPerDay * DaysPerYear);
    Edit1.setText(FormatValue(ConsumptionPerYear));
    TotalPerYear = total(ConsumptionPerYear, PricePerKWh, BasePricePerYear);
    Edit6.setText(FormatValue(TotalPerYear));
    Edit7.setText(FormatValue(TotalPerYear / MonthsPerYear));
}

void TForm1::Edit3KeyUp(TControl &, int &, TShiftState)
{
    if (Edit3.text().isEmpty()) {
        Edit4.setText(QStringLiteral("0"));
        // The working values of the last recomputation, as they stand.
        TotalPerYear = total(ConsumptionPerYear, PricePerKWh, 0);
        Edit6.setText(FormatValue(TotalPerYear));
        Edit7.setText(FormatValue(TotalPerYear / MonthsPerYear));
        return;
    }
    Edit7.setColor(clr::Yellow);
    Edit3.setFontColor(clr::Blue);
    ConsumptionPerYear = v(Edit1);
    BasePricePerYear = v(Edit3);
    PricePerKWh = v(Edit5);
    Edit4.setText(FormatValue(BasePricePerYear / MonthsPerYear));
    TotalPerYear = total(ConsumptionPerYear, PricePerKWh, BasePricePerYear);
    Edit6.setText(FormatValue(TotalPerYear));
    Edit7.setText(FormatValue(TotalPerYear / MonthsPerYear));
}

void TForm1::Edit4KeyUp(TControl &, int &, TShiftState)
{
    if (Edit4.text().isEmpty()) {
        Edit3.setText(QStringLiteral("0"));
        TotalPerYear = total(ConsumptionPerYear, PricePerKWh, 0);
    } else {
        Edit7.setColor(clr::Yellow);
        Edit4.setFontColor(clr::Blue);
        ConsumptionPerYear = v(Edit1);
        BasePricePerMonth = v(Edit4);
        PricePerKWh = v(Edit5);
        Edit3.setText(FormatValue(BasePricePerMonth * MonthsPerYear));
        BasePricePerYear = v(Edit3); // the yearly base price as displayed
        TotalPerYear = total(ConsumptionPerYear, PricePerKWh, BasePricePerYear);
    }
    Edit6.setText(FormatValue(TotalPerYear));
    Edit7.setText(FormatValue(TotalPerYear / MonthsPerYear));
}

void TForm1::Edit5KeyUp(TControl &, int &, TShiftState)
{
    // While typing, the results follow only prices that are plausibly cent.
    if (!Edit5.text().isEmpty() && v(Edit5) > TypingThreshold) {
        Edit7.setColor(clr::Yellow);
        Edit5.setColor(clr::White);
        Edit5.setFontColor(clr::Blue);
        BasePricePerYear = v(Edit3);
        PricePerKWh = v(Edit5);
        ConsumptionPerYear = v(Edit1);
        TotalPerYear = total(ConsumptionPerYear, PricePerKWh, BasePricePerYear);
        Edit6.setText(FormatValue(TotalPerYear));
        Edit7.setText(FormatValue(TotalPerYear / MonthsPerYear));
    } else {
        Edit5.setColor(clr::LightRose);
        Edit5.setFontColor(clr::Red);
    }
}

// The total as displayed (rounded to cents) and the monthly amount from it.
void TForm1::DeriveTotals()
{
    TotalPerYear = v(Edit6);
    Edit6.setText(FormatValue(TotalPerYear));
    Edit7.setText(FormatValue(TotalPerYear / MonthsPerYear));
}

// The total recomputation of the leave handlers: the total from the fields,
// the monthly amount from the total as displayed.
void TForm1::RecomputeTotal()
{
    ConsumptionPerYear = v(Edit1);
    BasePricePerYear = v(Edit3);
    PricePerKWh = v(Edit5);
    Edit6.setText(FormatValue(total(ConsumptionPerYear, PricePerKWh, BasePricePerYear)));
    TotalPerYear = v(Edit6);
    Edit7.setText(FormatValue(TotalPerYear / MonthsPerYear));
}

void TForm1::Edit1Exit(TControl &)
{
    // Edit1 decides for both fields of the pair: an emptied Edit2 has already
    // set Edit1 to 0 on its key release.
    if (!Edit1.text().isEmpty())
        return;
    Edit1.setText(QStringLiteral("3650"));
    Edit2.setText(QStringLiteral("10"));
    Edit1.setFontColor(clr::Red);
    RecomputeTotal();
}

void TForm1::Edit3Exit(TControl &Sender)
{
    if (!Sender.text().isEmpty())
        return;
    Edit3.setText(FormatValue(DefaultBasePerYear));
    Edit4.setText(FormatValue(DefaultBasePerMonth));
    Edit3.setFontColor(clr::Red);
    Edit4.setFontColor(clr::Blue);
    ConsumptionPerYear = v(Edit1);
    PricePerKWh = v(Edit5);
    TotalPerYear = total(ConsumptionPerYear, PricePerKWh, DefaultBasePerYear);
    Edit6.setText(FormatValue(TotalPerYear));
    Edit7.setText(FormatValue(TotalPerYear / MonthsPerYear));
}

void TForm1::Edit5Exit(TControl &)
{
    if (Edit5.text().isEmpty()) {
        Edit5.setText(QStringLiteral("22") + separator() + QStringLiteral("134"));
        Edit5.setFontColor(clr::Red);
    } else if (v(Edit5) >= LeavingThreshold) {
        Edit5.setFontColor(clr::Blue);
    } else {
        // Probably typed in euro: warn, but compute with what was typed.
        Edit5.setFontColor(clr::Red);
        app().messageBox(this, QStringLiteral("Achtung!"),
            QStringLiteral("Bitte in Cent eingeben! €/100=Cent"), MsgIcon::Warning);
        Edit5.setFocus();
    }
    RecomputeTotal();
}

namespace {

// The typed field of a pair: bold label, enabled, white, blue; the derived
// one: normal label, disabled, silver, dark grey.
void choosePair(TLabel &typedLabel, TEdit &typed, TLabel &derivedLabel, TEdit &derived)
{
    typedLabel.setFontBold(true);
    typed.setEnabled(true);
    typed.setColor(clr::White);
    typed.setFontColor(clr::Blue);
    derivedLabel.setFontBold(false);
    derived.setEnabled(false);
    derived.setColor(clr::Silver);
    derived.setFontColor(clr::DarkGrey);
}

} // namespace

void TForm1::rdb_01Click(TControl &)
{
    choosePair(lbl_01, Edit1, lbl_02, Edit2);
}

void TForm1::rdb_02Click(TControl &)
{
    choosePair(lbl_02, Edit2, lbl_01, Edit1);
}

void TForm1::rdb_03Click(TControl &)
{
    choosePair(lbl_03, Edit3, lbl_04, Edit4);
}

void TForm1::rdb_04Click(TControl &)
{
    choosePair(lbl_04, Edit4, lbl_03, Edit3);
}

} // namespace voltaris
