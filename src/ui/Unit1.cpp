#include "ui/Unit1.h"

#include "common/dates.h"
#include "common/numtext.h"
#include "core/logrow.h"
#include "ui/Unit3.h"
#include "ui/links.h"
#include "ui/mainlayout.h"

namespace voltaris {

void TForm1::setDataFolder(const QString &dir)
{
    DataFolder_ = DataFolder(dir);
    MetersFile.setPath(DataFolder_.path(DataFile::Meters));
    placeLogFiles();
    PriceChangeFile.setPath(DataFolder_.path(DataFile::PriceChanges));
    TariffCheckFile.setPath(DataFolder_.path(DataFile::TariffCheck));
}

std::vector<std::unique_ptr<MeterLog>> TForm1::mainMeterOnly()
{
    std::vector<std::unique_ptr<MeterLog>> logs;
    logs.push_back(std::make_unique<MeterLog>());
    return logs;
}

ContractValues TForm1::contractValues() const
{
    return { Edit_Name.text(), Edit_Tarif.text(), Edit2.text(), Edit3.text(), Edit5.text(),
        Edit7.text(), dtp_Ab.date(), Edit1.text() };
}

TForm1::TForm1(TApplication &app)
    : TForm(app, QStringLiteral("Form1"))
{
    placeLogFiles();
    setClientSize(598, 596);
    borderWidth = 8;
    outerWidth = 642;
    outerHeight = 649;
    position = TPosition::ScreenCenter;
    borderIcons.minimize = false;
    constraints.minWidth = 642;
    constraints.maxWidth = 642;
    constraints.minHeight = 552;
    setFont(TFont {}); // Arial, 17 pixels
    icon = QStringLiteral("voltaris");
    [[maybe_unused]] const QStringList misfits = layout::apply(*this, mainLayout());
    Q_ASSERT_X(misfits.isEmpty(), "TForm1", qPrintable(misfits.join(QLatin1String("; "))));
    designDetails();
    designAccessibility();
    wire();
    designExtras();
    designTariffCheck();
    designMeters();
    designReadHead();
}

TForm1::~TForm1() = default;

QChar TForm1::separator() const
{
    return app().settings().decimalSeparator;
}

// What a row of the layout cannot say.
void TForm1::designDetails()
{
    dtp_Ab.setDate(QDate(2017, 1, 1));

    // The reading input: loaded like a form description, so the range is
    // set before the value and the text shows 0,0.
    Memo_Stand.beginLoad();
    Memo_Stand.Increment = 1.0L;
    Memo_Stand.setDigits(1);
    Memo_Stand.setMax(999999.0L);
    Memo_Stand.endLoad();
    Shape_Decimal.outline = false;

    StringGrid1.setColCount(4);
    StringGrid1.setRowCount(2);
    StringGrid1.setFixedRows(1);
    StringGrid1.bindRows(&shownLog().table());
    const int widths[] = { 114, 101, 47, 82 };
    for (int c = 0; c < 4; ++c)
        StringGrid1.setColWidth(c, widths[c]);
    StringGrid1.popupMenu = &PopupMenuTable;
    Delete1.setText(QStringLiteral("Zeile entfernen"));

    dtp_Time.kind = TDateTimeKind::Time;
    cmb_Time.setItems({ QStringLiteral("Std."), QStringLiteral("Min."), QStringLiteral("Sek.") });
}

// Names for screen readers: an input is called what the label in front of it
// says, with its hint or unit as the description; a clickable picture by
// what a click does.
void TForm1::designAccessibility()
{
    const auto name = [](TControl &c, const QString &n, const QString &description = QString()) {
        c.accessibleName = n;
        c.accessibleDescription = description;
    };
    name(Edit_Name, QStringLiteral("Name"), Edit_Name.hint());
    name(Edit_Tarif, QStringLiteral("Tarif"), Edit_Tarif.hint());
    name(rdb_01, QStringLiteral("Verbrauch im Jahr eingeben"));
    name(rdb_02, QStringLiteral("Verbrauch pro Tag eingeben"));
    name(rdb_03, QStringLiteral("Grundpreis pro Jahr eingeben"));
    name(rdb_04, QStringLiteral("Grundpreis im Monat eingeben"));
    name(Edit1, QStringLiteral("Verbrauch im Jahr"), QStringLiteral("kWh"));
    name(Edit2, QStringLiteral("Verbrauch pro Tag"), QStringLiteral("kWh"));
    name(Edit3, QStringLiteral("Grundpreis pro Jahr"), QStringLiteral("Euro"));
    name(Edit4, QStringLiteral("Grundpreis im Monat"), QStringLiteral("Euro"));
    name(Edit5, QStringLiteral("Strompreis pro kWh"), QStringLiteral("Cent"));
    name(Edit6, QStringLiteral("Gesamtpreis pro Jahr"), QStringLiteral("Euro"));
    name(Edit7, QStringLiteral("Abschlag monatlich"), QStringLiteral("Euro"));
    name(dtp_Ab, QStringLiteral("Vertrag ab"), dtp_Ab.hint());
    name(btn_Save1, btn_Save1.hint());
    name(btn_Info, QStringLiteral("Warum der Preis genau einzugeben ist"));
    name(Panel4, QStringLiteral("Ergebnis"));
    name(lbl_Logo1, QStringLiteral("Voltaris-Infoseite öffnen"));
    name(lbl_Logo2, QStringLiteral("Voltaris-Infoseite öffnen"));
    name(lbl_Logo3, QStringLiteral("Voltaris-Infoseite öffnen"));
    name(Image1, QStringLiteral("Stromtarife vergleichen"),
        QStringLiteral("Öffnet ein Vergleichsportal im Browser"));
    name(dtp_Ablese, QStringLiteral("Ablesedatum"));
    name(Memo_Stand, QStringLiteral("Zählerstand"), QStringLiteral("kWh, eine Nachkommastelle"));
    name(btn_Save2, QStringLiteral("Eintragen"), btn_Save2.hint());
    name(StringGrid1, QStringLiteral("Ablesungen"), StringGrid1.hint());
    name(img_On, QStringLiteral("Schalter"));
    name(img_Off, QStringLiteral("Schalter"));
    name(img_to_off, QStringLiteral("Schalter aus: Vertrag sperren, Gerätekosten freigeben"));
    name(img_to_on, QStringLiteral("Schalter ein: Vertrag ändern"));
    name(Image_Schetchik, QStringLiteral("Zählwerk"),
        QStringLiteral("Nummeriert die Beschriftungen"));
    name(Edit_Watt, QStringLiteral("Leistung"), QStringLiteral("Watt"));
    name(SpeedBtn_START, QStringLiteral("Stoppuhr"));
    name(Edit_Time, QStringLiteral("Laufzeit"));
    name(cmb_Time, QStringLiteral("Einheit der Laufzeit"));
    name(Edit_Day, QStringLiteral("Kosten pro Tag"));
    name(Edit_Year, QStringLiteral("Kosten pro Jahr"));
}

} // namespace voltaris

namespace voltaris {

void TForm1::wire()
{
    const auto keyPress = [this](TControl &s, QChar &k) { EditKeyPress(s, k); };
    const auto saveVisible = [this](TControl &s) { btn_Save1Visible(s); };
    for (TEdit *e : { &Edit1, &Edit2, &Edit3, &Edit4, &Edit5 })
        e->OnKeyPress = keyPress;
    for (TEdit *e :
        { &Edit1, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6, &Edit7, &Edit_Name, &Edit_Tarif })
        e->OnChange = saveVisible;
    Edit1.OnKeyUp = [this](TControl &s, int &k, TShiftState sh) { Edit1KeyUp(s, k, sh); };
    Edit2.OnKeyUp = [this](TControl &s, int &k, TShiftState sh) { Edit2KeyUp(s, k, sh); };
    Edit3.OnKeyUp = [this](TControl &s, int &k, TShiftState sh) { Edit3KeyUp(s, k, sh); };
    Edit4.OnKeyUp = [this](TControl &s, int &k, TShiftState sh) { Edit4KeyUp(s, k, sh); };
    Edit5.OnKeyUp = [this](TControl &s, int &k, TShiftState sh) { Edit5KeyUp(s, k, sh); };
    Edit1.OnExit = [this](TControl &s) { Edit1Exit(s); };
    Edit2.OnExit = [this](TControl &s) { Edit1Exit(s); };
    Edit3.OnExit = [this](TControl &s) { Edit3Exit(s); };
    Edit4.OnExit = [this](TControl &s) { Edit3Exit(s); };
    Edit5.OnExit = [this](TControl &s) { Edit5Exit(s); };
    rdb_01.OnClick = [this](TControl &s) { rdb_01Click(s); };
    rdb_02.OnClick = [this](TControl &s) { rdb_02Click(s); };
    rdb_03.OnClick = [this](TControl &s) { rdb_03Click(s); };
    rdb_04.OnClick = [this](TControl &s) { rdb_04Click(s); };
    dtp_Ab.OnChange = [this](TControl &s) { dtp_AbChange(s); };
    btn_Save1.OnClick = [this](TControl &s) { btn_Save1Click(s); };
    btn_Info.OnClick = [this](TControl &s) { btn_InfoClick(s); };
    img_to_on.OnClick = [this](TControl &s) { img_to_onClick(s); };
    img_to_off.OnClick = [this](TControl &s) { img_to_offClick(s); };

    Edit_Watt.OnKeyPress = keyPress;
    Edit_Time.OnKeyPress = [this](TControl &s, QChar &k) { Edit_TimeKeyPress(s, k); };
    btn_Berechnen.OnClick = [this](TControl &s) { btn_BerechnenClick(s); };
    for (TLabel *l : { &lbl_Logo1, &lbl_Logo2, &lbl_Logo3 })
        l->OnClick = [this](TControl &s) { lbl_LogoClick(s); };
    Image1.OnClick = [this](TControl &s) { Image1Click(s); };
    SpeedBtn_START.OnClick = [this](TControl &s) { SpeedBtn_STARTClick(s); };

    btn_Save2.OnClick = [this](TControl &s) { btn_Save2Click(s); };
    Memo_Stand.OnEnterPress = [this](TControl &s, QChar &k) { Memo_StandEnterPress(s, k); };
    Memo_Stand.OnEnter = [this](TControl &s) { Memo_StandEnter(s); };
    dtp_Ablese.OnCloseUp = [this](TControl &s) { dtp_AbleseCloseUp(s); };
    Delete1.OnClick = [this](TControl &s) { Delete1Click(s); };
    StringGrid1.OnDrawCell = [this](TControl &s, int c, int r, const TRect &rect,
                                 TGridDrawState st) { StringGrid1DrawCell(s, c, r, rect, st); };
    Image_Schetchik.OnClick = [this](TControl &s) { Image_SchetchikClick(s); };

    OnResize = [this](TControl &s) { FormResize(s); };
    OnCloseQuery = [this](TControl &s, bool &canClose) { FormCloseQuery(s, canClose); };
}

void TForm1::FormCreate()
{
    setText(QString(15, QLatin1Char(' ')) + app().Title);
    GroupBox2.setText(QStringLiteral(" Verbrauch des Geräts "));
    lbl_Stand.setText(QStringLiteral("Zählerstand"));
    // A contract file that cannot be read is shown as the error it is, but
    // the start-up goes on: without the log loaded, the next reading would
    // replace "Mein_Verbrauch.txt" with a table of one row.
    const auto shown = [this](const auto &step) {
        try {
            step();
        } catch (const std::exception &e) {
            app().showException(e);
            ContractUnreadable = true;
            ContractUnreadableReason = QString::fromUtf8(e.what());
        }
    };
    shown([this] { ReadContract(); });
    StringGrid1.setCell(logcol::Date, 0, QStringLiteral("   Datum"));
    StringGrid1.setCell(logcol::Reading, 0, QStringLiteral("Stand  "));
    StringGrid1.setCell(logcol::Days, 0, QStringLiteral(" Tage "));
    StringGrid1.setCell(logcol::PerDay, 0, QStringLiteral("kW/Tag"));
    LoadVerbrauch();
    // The further meters' logs wait until they are shown or asked for.
    syncMeterLogs();
    shown([this] { DeriveTotals(); });
    // Any failure, an empty log among them, starts the reading at 0.
    long double last = 0;
    if (!tryStrToFloat(
            StringGrid1.cell(logcol::Reading, StringGrid1.rowCount() - 1), separator(), last))
        last = 0;
    Memo_Stand.setValue(last);
    rdb_01.setTabStop(false);
    rdb_03.setTabStop(false);
    for (TEdit *e : { &Edit7, &Edit_Day, &Edit_Year })
        e->setColor(clr::Silver);
    for (TWinControl *c :
        std::initializer_list<TWinControl *> { &Edit_Watt, &Edit_Time, &cmb_Time }) {
        c->setEnabled(false);
        c->setColor(clr::Silver);
    }
    cmb_Time.setTabStop(false);
    btn_Berechnen.setEnabled(false);
    for (TLabel *l : { &lbl_Durch, &lbl_kWTag, &lbl_vSrednem, &lbl_Zahlung })
        l->setVisible(false);
    dtp_Ablese.setDate(app().services().today());
    btn_Save1.setEnabled(false);
}

void TForm1::FormResize(TControl &)
{
    setClientSize(598, clientHeight());
}

void TForm1::FormCloseQuery(TControl &, bool &CanClose)
{
    CanClose = true;
    if (!btn_Save1.enabled())
        return;
    // Unsaved contract changes are not dropped without a word.
    switch (app().askYesNoCancel(
        this, app().Title, QStringLiteral("Der Vertrag wurde geändert. Änderungen speichern?"))) {
    case MsgAnswer::Yes:
        CanClose = WriteContract();
        break;
    case MsgAnswer::No:
        break;
    case MsgAnswer::Cancel:
        CanClose = false;
        break;
    }
}

void TForm1::Image1Click(TControl &)
{
    app().services().openUrl(links::portal());
}

void TForm1::lbl_LogoClick(TControl &)
{
    app().services().openUrl(links::makerPage());
}

void TForm1::btn_InfoClick(TControl &)
{
    if (Form_Achtung)
        Form_Achtung->show();
}

} // namespace voltaris
