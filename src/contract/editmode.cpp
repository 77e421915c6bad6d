// The edit-mode switch: either the contract inputs or the appliance
// calculator are open, never both; and the Save button as the sign of
// unsaved contract changes.
#include "ui/Unit1.h"

namespace voltaris {

void TForm1::img_to_onClick(TControl &)
{
    img_On.setVisible(true);
    img_Off.setVisible(false);
    for (TWinControl *c : std::initializer_list<TWinControl *> {
             &Edit_Name, &Edit_Tarif, &dtp_Ab, &Edit1, &Edit3, &Edit5 }) {
        c->setEnabled(true);
        c->setColor(clr::White);
    }
    for (TRadioButton *r : { &rdb_01, &rdb_02, &rdb_03, &rdb_04 })
        r->setEnabled(true);
    // Checking a button that was unchecked runs its click handler, which
    // puts its pair back into the per-year mode.
    rdb_01.setChecked(true);
    rdb_02.setChecked(false);
    rdb_03.setChecked(true);
    rdb_04.setChecked(false);
    lbl_01.setFontBold(true);
    lbl_03.setFontBold(true);
    lbl_02.setFontBold(false);
    lbl_04.setFontBold(false);

    Edit_Watt.setEnabled(false);
    Edit_Time.setEnabled(false);
    dtp_Time.setEnabled(false);
    for (TWinControl *c :
        std::initializer_list<TWinControl *> { &Edit_Watt, &Edit_Time, &cmb_Time })
        c->setColor(clr::Silver);
    cmb_Time.setTabStop(true);
    btn_Berechnen.setEnabled(false);
    cmb_Time.setEnabled(false);
    Edit_Day.setColor(clr::Silver);
    Edit_Year.setColor(clr::Silver);

    Edit1.setFocus();
}

void TForm1::img_to_offClick(TControl &)
{
    img_On.setVisible(false);
    img_Off.setVisible(true);
    Edit7.setColor(clr::Silver);
    for (TRadioButton *r : { &rdb_01, &rdb_02, &rdb_03, &rdb_04 })
        r->setEnabled(false);
    const std::initializer_list<TWinControl *> contract { &Edit1, &Edit2, &Edit3, &Edit4, &Edit5,
        &Edit_Name, &Edit_Tarif, &dtp_Ab };
    for (TWinControl *c : contract)
        c->setEnabled(false);
    for (TWinControl *c : contract)
        c->setColor(clr::Silver);

    Edit_Watt.setEnabled(true);
    Edit_Time.setEnabled(true);
    for (TWinControl *c :
        std::initializer_list<TWinControl *> { &Edit_Watt, &Edit_Time, &cmb_Time })
        c->setColor(clr::White);
    cmb_Time.setTabStop(false);
    cmb_Time.setEnabled(true);
    btn_Berechnen.setEnabled(true);
    dtp_Time.setEnabled(true);

    // Moving the focus runs the exit handler of the contract field that had
    // it, as leaving the field by hand would.
    Edit_Watt.setFocus();
}

void TForm1::btn_Save1Visible(TControl &)
{
    btn_Save1.setEnabled(true);
}

void TForm1::dtp_AbChange(TControl &Sender)
{
    btn_Save1Visible(Sender);
}

void TForm1::btn_Save1Click(TControl &)
{
    // A failed save shows nothing; the button stays enabled.
    WriteContract();
}

} // namespace voltaris
