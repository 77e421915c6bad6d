// The appliance cost calculator of GroupBox2: cost per day and per year of one
// appliance at the contract's price per kWh (Edit5, in cent).
#include "common/keyfilter.h"
#include "common/numtext.h"
#include "common/units.h"
#include "ui/Unit1.h"

namespace voltaris {

namespace {

const QString Hours = QStringLiteral("Std.");
const QString Minutes = QStringLiteral("Min.");
const QString Euro = QStringLiteral("€");
const QString Cent = QStringLiteral("Ct.");
const QString Start = QStringLiteral("START");
const QString Stop = QStringLiteral("STOP");

constexpr long double WattsPerKW = 1000.0L;
constexpr long double MinutesPerHour = 60.0L;
constexpr long double SecondsPerHour = 3600.0L;
constexpr long double MaxHoursPerDay = 24.0L;
// Below one cent per day the cost is shown in cent.
constexpr long double OneCent = 0.01L;

} // namespace

void TForm1::btn_BerechnenClick(TControl &)
{
    const QChar sep = separator();

    Edit_Day.setColor(clr::Yellow);
    Edit_Year.setColor(clr::Yellow);

    // A day has no more than 24 hours; minutes and seconds are not capped.
    if (strToFloat(Edit_Time.text(), sep) > MaxHoursPerDay && cmb_Time.text() == Hours)
        Edit_Time.setText(QStringLiteral("24"));

    // The whole-number test throws for a power with a separator; that ends
    // the click here, as any conversion error does.
    const bool powerValid = !Edit_Watt.text().isEmpty() && strToInt(Edit_Watt.text()) > 0;
    if (!powerValid) {
        Edit_Watt.setColor(clr::LightRose);
        Edit_Watt.setFontColor(clr::Red);
    } else {
        Edit_Watt.setColor(clr::White);
        Edit_Watt.setFontColor(clr::Blue);
        const long double kW = divide(strToFloat(Edit_Watt.text(), sep), WattsPerKW);
        const long double t = strToFloat(Edit_Time.text(), sep);
        const QString unit = cmb_Time.text();
        long double energy;
        TColor unitColor;
        if (unit == Hours) {
            energy = checked(t * kW);
            unitColor = clr::LightGreen;
        } else if (unit == Minutes) {
            energy = divide(kW, divide(MinutesPerHour, t));
            unitColor = clr::LightYellow;
        } else {
            // Any other text, typed by hand or "Sek.", counts as seconds.
            energy = divide(kW, divide(SecondsPerHour, t));
            unitColor = clr::LightRose;
        }
        // The price is read only now, so that a bad price leaves the unit's
        // colour and the stored cost as they were.
        const long double price = strToFloat(Edit5.text(), sep);
        const long double cost = divide(checked(energy * price), CentPerEuro);
        cmb_Time.setColor(unitColor);
        CostPerDay = cost;

        if (CostPerDay < OneCent) {
            CostPerDay = CostPerDay * CentPerEuro;
            CostPerDayInCent = true;
            Edit_Day.setText(formatFixed(CostPerDay, 8, 3, sep));
            lbl_EUR5.setText(Cent);
        } else {
            CostPerDayInCent = false;
            Edit_Day.setText(formatFixed(CostPerDay, 8, 2, sep));
            lbl_EUR5.setText(Euro);
        }
    }

    // The unit of the stored cost is kept beside it: the caption may have
    // been numbered over.
    const long double perYear = CostPerDayInCent
        ? divide(checked(CostPerDay * DaysPerYear), CentPerEuro)
        : checked(CostPerDay * DaysPerYear);
    Edit_Year.setText(formatFixed(perYear, 8, 2, sep));
}

void TForm1::Edit_TimeKeyPress(TControl &, QChar &Key)
{
    Key = digitsKeyPress(Key);
}

// The stop watch never measures anything: the button only flips its caption.
void TForm1::SpeedBtn_STARTClick(TControl &)
{
    if (SpeedBtn_START.text() == Start) {
        SpeedBtn_START.setText(Stop);
        SpeedBtn_START.setFontColor(clr::Red);
    } else {
        SpeedBtn_START.setText(Start);
        SpeedBtn_START.setFontColor(clr::Green);
    }
}

} // namespace voltaris
