#include "ui/Unit1.h"

#include "common/dates.h"
#include "common/numtext.h"
#include "common/textfile.h"
#include "ui/Unit3.h"
#include "ui/links.h"

namespace voltaris {

namespace {

const QString Arial = QStringLiteral("Arial");
const QString CourierNew = QStringLiteral("Courier New");

TFont makeFont(const QString &name, int size, bool bold, TColor color = clr::WindowText)
{
    TFont f;
    f.name = name;
    f.size = size;
    f.bold = bold;
    f.color = color;
    return f;
}

void label(TLabel &l, int left, int top, int width, int height, const QString &caption,
    TAlignment alignment = TAlignment::Left, TFont f = makeFont(Arial, 17, false))
{
    l.setBounds(left, top, width, height);
    l.setText(caption);
    l.setAlignment(alignment);
    l.setFont(f);
}

void numberEdit(TEdit &e, int left, int top, const QString &text, int tabOrder)
{
    e.setBounds(left, top, 77, 28);
    e.setText(text);
    e.setFont(makeFont(CourierNew, 17, true, clr::Blue));
    e.setTabOrder(tabOrder);
}

} // namespace

QString TForm1::dataFilePath(const QString &name) const
{
    return inFolder(dataDir, name);
}

TForm1::TForm1(TApplication &app)
    : TForm(app, QStringLiteral("Form1"))
{
    setClientSize(598, 596);
    borderWidth = 8;
    outerWidth = 642;
    outerHeight = 649;
    position = TPosition::ScreenCenter;
    borderIcons.minimize = false;
    constraints.minWidth = 642;
    constraints.maxWidth = 642;
    constraints.minHeight = 552;
    setFont(makeFont(Arial, 17, false));
    icon = QStringLiteral("voltaris");
    designContract();
    designResults();
    designMeterArea();
    designAppliance();
    designAccessibility();
    wire();
    designExtras();
}

TForm1::~TForm1() = default;

QChar TForm1::separator() const
{
    return app().settings().decimalSeparator;
}

void TForm1::designContract()
{
    GroupBox1.setBounds(0, 0, 369, 296);
    GroupBox1.setText(QStringLiteral(" Stromanbieter-Vergleich/\"Mein Vertrag\"        "));
    GroupBox1.setFont(makeFont(Arial, 17, true));
    GroupBox1.setTabOrder(1);

    btn_Save1.setBounds(327, 0, 34, 30);
    btn_Save1.setPicture(QStringLiteral("save"));
    btn_Save1.setHint(QStringLiteral("Mein Vertrag speichern"));
    btn_Save1.setShowHint(true);
    btn_Save1.setEnabled(false);
    btn_Save1.setCursor(TCursor::HandPoint);

    label(lbl_Name, 8, 35, 47, 19, QStringLiteral("Name:"), TAlignment::Right);
    Edit_Name.setBounds(56, 32, 111, 27);
    Edit_Name.setText(QStringLiteral("Mein Strom"));
    Edit_Name.setFont(makeFont(Arial, 17, true, clr::Blue));
    Edit_Name.setHint(QStringLiteral("Anbieter-Name"));
    Edit_Name.setShowHint(true);
    Edit_Name.setTabStop(false);

    label(lbl_Tarif, 172, 35, 36, 19, QStringLiteral("Tarif:"), TAlignment::Right);
    Edit_Tarif.setBounds(210, 32, 150, 27);
    Edit_Tarif.setText(QStringLiteral("Immer gleich: Wind, Wasser und Sonne"));
    Edit_Tarif.setFont(makeFont(Arial, 17, false, clr::Blue));
    Edit_Tarif.setHint(QStringLiteral("Vertrag-Bezeichnung"));
    Edit_Tarif.setShowHint(true);
    Edit_Tarif.setTabStop(false);

    Panel1.setBounds(32, 64, 201, 60);
    Panel1.setTabOrder(2);
    label(lbl_01, 24, 4, 150, 19, QStringLiteral("Verbrauch im Jahr:"), TAlignment::Right,
        makeFont(Arial, 17, true));
    label(lbl_02, 34, 36, 140, 19, QStringLiteral("Verbrauch pro Tag:"), TAlignment::Right);
    rdb_01.setBounds(180, 6, 17, 17);
    rdb_01.setChecked(true);
    rdb_01.setTabStop(true);
    rdb_01.setTabOrder(0);
    rdb_02.setBounds(180, 38, 17, 17);
    rdb_02.setTabOrder(1);

    numberEdit(Edit1, 240, 64, QStringLiteral("3650"), 3);
    label(lbl_kW1, 325, 69, 22, 17, QStringLiteral("kW"), TAlignment::Left,
        makeFont(Arial, 15, false));
    numberEdit(Edit2, 240, 96, QStringLiteral("10"), 4);
    Edit2.setColor(clr::Silver);
    Edit2.setEnabled(false);
    label(lbl_kW2, 325, 101, 22, 17, QStringLiteral("kW"), TAlignment::Left,
        makeFont(Arial, 15, false));

    Panel2.setBounds(32, 128, 201, 60);
    Panel2.setTabOrder(5);
    label(lbl_03, 7, 4, 167, 19, QStringLiteral("Grundpreis pro Jahr:"), TAlignment::Right,
        makeFont(Arial, 17, true));
    label(lbl_04, 53, 36, 121, 19, QStringLiteral("Grund im Monat:"), TAlignment::Right);
    rdb_03.setBounds(180, 6, 17, 17);
    rdb_03.setChecked(true);
    rdb_03.setTabStop(true);
    rdb_03.setTabOrder(0);
    rdb_04.setBounds(180, 38, 17, 17);
    rdb_04.setTabOrder(1);

    numberEdit(Edit3, 240, 128, QStringLiteral("84"), 6);
    label(lbl_EUR1, 325, 133, 31, 17, QStringLiteral("EUR"), TAlignment::Left,
        makeFont(Arial, 15, false));
    numberEdit(Edit4, 240, 160, QStringLiteral("7"), 7);
    Edit4.setColor(clr::Silver);
    Edit4.setEnabled(false);
    label(lbl_EUR2, 325, 165, 31, 17, QStringLiteral("EUR"), TAlignment::Left,
        makeFont(Arial, 15, false));

    btn_Info.setBounds(32, 192, 25, 25);
    btn_Info.setPicture(QStringLiteral("info"));
    btn_Info.setCursor(TCursor::HandPoint);
    label(lbl_05, 68, 196, 155, 19, QStringLiteral("Strompreis (1 kW) :"), TAlignment::Right,
        makeFont(Arial, 17, true));
    numberEdit(Edit5, 240, 192, QStringLiteral("24"), 8);
    label(lbl_Cent, 324, 197, 34, 18, QStringLiteral("Cent"), TAlignment::Left,
        makeFont(Arial, 15, true));

    Panel3.setBounds(32, 224, 201, 60);
    Panel3.setTabOrder(9);
    label(lbl_06, 23, 4, 168, 19, QStringLiteral("Gesamtpreis pro Jahr :"), TAlignment::Right);
    label(lbl_07, 104, 36, 87, 19, QStringLiteral("monatlich :"), TAlignment::Right,
        makeFont(Arial, 17, true));

    numberEdit(Edit6, 240, 224, QStringLiteral("960"), 10);
    Edit6.setFontColor(clr::Black);
    Edit6.setColor(clr::Silver);
    Edit6.setEnabled(false);
    label(lbl_EUR3, 325, 229, 31, 17, QStringLiteral("EUR"), TAlignment::Left,
        makeFont(Arial, 15, false));

    label(lbl_Ab, 9, 260, 20, 19, QStringLiteral("Ab"), TAlignment::Right);
    dtp_Ab.setBounds(34, 256, 99, 26);
    dtp_Ab.setDate(QDate(2017, 1, 1));
    dtp_Ab.setFont(makeFont(Arial, 15, true));
    dtp_Ab.setHint(QStringLiteral("Vertrag Begin"));
    dtp_Ab.setShowHint(true);
    dtp_Ab.setTabStop(false);

    numberEdit(Edit7, 240, 256, QStringLiteral("80"), 11);
    Edit7.setFontColor(clr::Black);
    Edit7.setColor(clr::Yellow);
    Edit7.setReadOnly(true);
    Edit7.setTabStop(false);
    label(lbl_EUR4, 325, 261, 31, 17, QStringLiteral("EUR"), TAlignment::Left,
        makeFont(Arial, 15, false));
}

void TForm1::designResults()
{
    // The logo spells the page it opens: "Voltaris" "info".
    label(lbl_Logo1, 376, 8, 73, 41, QStringLiteral("Volt"), TAlignment::Right,
        makeFont(Arial, 32, false, clr::Red));
    label(lbl_Logo2, 449, 8, 91, 41, QStringLiteral("aris"), TAlignment::Left,
        makeFont(Arial, 32, false, clr::Green));
    label(lbl_Logo3, 540, 8, 52, 41, QStringLiteral("info"), TAlignment::Left,
        makeFont(Arial, 32, false, clr::Blue));
    for (TLabel *l : { &lbl_Logo1, &lbl_Logo2, &lbl_Logo3 }) {
        l->transparent = true;
        l->fixedSize = true;
    }

    Panel4.setBounds(376, 66, 233, 229);
    Panel4.lowered = true;
    Panel4.setTabOrder(2);

    label(lbl_Durch, 20, 7, 178, 19, QStringLiteral("Durchschnittsverbrauch:"));
    label(lbl_vSrednem, 69, 33, 9, 19, QStringLiteral("0"), TAlignment::Right);
    lbl_vSrednem.setAutoSize(true);
    label(lbl_kWTag, 85, 33, 89, 19, QStringLiteral("kW/pro Tag."));
    Image1.setBounds(23, 72, 180, 70);
    Image1.setPicture(QStringLiteral("portal"));
    Image1.setCursor(TCursor::HandPoint);

    label(lbl_Gut, 4, 160, 149, 19, QStringLiteral("Guthaben wird ca. "), TAlignment::Left,
        makeFont(Arial, 17, true, clr::Green));
    label(lbl_Nach, 18, 160, 130, 19, QStringLiteral("Nachzahlung ca."), TAlignment::Left,
        makeFont(Arial, 17, true, clr::Red));
    label(lbl_Zahlung, 152, 160, 9, 19, QStringLiteral("0"), TAlignment::Left,
        makeFont(Arial, 17, false, clr::Green));
    lbl_Zahlung.setAutoSize(true);
    label(LabelEUR, 168, 160, 9, 19, QStringLiteral("€"), TAlignment::Left,
        makeFont(Arial, 17, false, clr::Green));
    for (TLabel *l : { &lbl_Gut, &lbl_Nach, &lbl_Zahlung, &LabelEUR })
        l->transparent = true;
    for (TLabel *l : { &lbl_Gut, &lbl_Nach, &LabelEUR })
        l->setVisible(false);
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

void TForm1::designMeterArea()
{
    GroupBox3.setBounds(0, 297, 610, 299);
    GroupBox3.setText(QStringLiteral(" Mein Verbrauch "));
    GroupBox3.setFont(makeFont(Arial, 17, true));
    GroupBox3.setTabOrder(0);

    label(lbl_Date, 12, 24, 93, 19, QStringLiteral("Ablesedatum"));
    // The caption comes with the start-up.
    label(lbl_Stand, 132, 24, 84, 19, QString());
    dtp_Ablese.setBounds(8, 48, 113, 27);
    dtp_Ablese.setFont(makeFont(Arial, 17, true));
    dtp_Ablese.setTabStop(false);
    dtp_Ablese.setTabOrder(0);

    Shape_Decimal.setBounds(222, 43, 27, 39);
    Shape_Decimal.setColor(clr::ShapeRed);
    Shape_Decimal.outline = false;

    // The reading input: loaded like a form description, so the range is
    // set before the value and the text shows 0,0.
    Memo_Stand.beginLoad();
    Memo_Stand.setBounds(128, 48, 115, 29);
    Memo_Stand.Increment = 1.0L;
    Memo_Stand.setDigits(1);
    Memo_Stand.setMax(999999.0L);
    Memo_Stand.setAlignment(TAlignment::Right);
    Memo_Stand.setColor(clr::Black);
    Memo_Stand.setFont(makeFont(Arial, 17, true, clr::White));
    Memo_Stand.setTabOrder(1);
    Memo_Stand.endLoad();

    btn_Save2.setBounds(256, 45, 128, 34);
    btn_Save2.setText(QStringLiteral("&Eintragen"));
    btn_Save2.setFont(makeFont(Arial, 19, false));
    btn_Save2.setPicture(QStringLiteral("enter"));
    btn_Save2.setHint(QStringLiteral("Speichern"));
    btn_Save2.setShowHint(true);
    btn_Save2.setTabStop(false);
    btn_Save2.setTabOrder(2);
    btn_Save2.setCursor(TCursor::HandPoint);

    StringGrid1.setBounds(8, 88, 377, 203);
    StringGrid1.setColCount(4);
    StringGrid1.setRowCount(2);
    StringGrid1.setFixedRows(1);
    const int widths[] = { 114, 101, 47, 82 };
    for (int c = 0; c < 4; ++c)
        StringGrid1.setColWidth(c, widths[c]);
    StringGrid1.setFont(makeFont(CourierNew, 17, true));
    StringGrid1.setColor(clr::White);
    StringGrid1.setHint(QStringLiteral("Markierte Zeile mit R-Maustaste loschen"));
    StringGrid1.setShowHint(true);
    StringGrid1.setTabStop(false);
    StringGrid1.setTabOrder(3);
    StringGrid1.popupMenu = &PopupMenuTable;
    Delete1.setText(QStringLiteral("Zeile entfernen"));

    img_On.setBounds(412, 24, 26, 44);
    img_On.setPicture(QStringLiteral("switch_on"));
    img_On.transparent = true;
    img_Off.setBounds(412, 24, 26, 44);
    img_Off.setPicture(QStringLiteral("switch_off"));
    img_to_off.setBounds(412, 86, 17, 17);
    img_to_off.setCursor(TCursor::HandPoint);
    img_to_off.setHint(QStringLiteral("Aus (Speichern)"));
    img_to_on.setBounds(444, 84, 17, 17);
    img_to_on.setCursor(TCursor::HandPoint);
    img_to_on.setHint(QStringLiteral("Ein (Andern)"));
    Image_Schetchik.setBounds(437, 29, 149, 44);
    Image_Schetchik.setPicture(QStringLiteral("meter"));
    Image_Schetchik.transparent = true;
}

void TForm1::designAppliance()
{
    GroupBox2.setBounds(387, 103, 223, 196);
    GroupBox2.setFont(makeFont(Arial, 17, true));
    GroupBox2.setTabOrder(4);
    const TFont plain = makeFont(Arial, 17, false);

    label(lbl_Leistung, 23, 32, 71, 19, QStringLiteral("Leistung: "), TAlignment::Right, plain);
    Edit_Watt.setBounds(96, 28, 57, 28);
    Edit_Watt.setText(QStringLiteral("60"));
    Edit_Watt.setFont(makeFont(CourierNew, 17, true, clr::Blue));
    Edit_Watt.setTabOrder(0);
    label(lbl_Watt, 156, 32, 47, 19, QStringLiteral("Watt/h"), TAlignment::Left, plain);

    label(lbl_Stopp, 18, 64, 71, 19, QStringLiteral("Stoppuhr:"), TAlignment::Right, plain);
    lbl_Stopp.setEnabled(false);
    SpeedBtn_START.setBounds(96, 60, 117, 28);
    SpeedBtn_START.setText(QStringLiteral("START"));
    SpeedBtn_START.setFont(makeFont(Arial, 17, true, clr::Green));
    SpeedBtn_START.setHint(QStringLiteral("[F5]"));
    SpeedBtn_START.setShowHint(true);
    SpeedBtn_START.setEnabled(false);
    SpeedBtn_START.setCursor(TCursor::HandPoint);

    label(lbl_Zeit, 27, 96, 62, 19, QStringLiteral("Laufzeit:"), TAlignment::Right, plain);
    dtp_Time.setBounds(2, 92, 93, 27);
    dtp_Time.kind = TDateTimeKind::Time;
    dtp_Time.setVisible(false);
    dtp_Time.setEnabled(false);
    Edit_Time.setBounds(96, 92, 49, 28);
    Edit_Time.setText(QStringLiteral("4"));
    Edit_Time.setFont(makeFont(CourierNew, 17, true, clr::Blue));
    Edit_Time.setTabOrder(1);
    cmb_Time.setBounds(150, 92, 65, 28);
    cmb_Time.setItems({ QStringLiteral("Std."), QStringLiteral("Min."), QStringLiteral("Sek.") });
    cmb_Time.setText(QStringLiteral("Std."));
    cmb_Time.setFont(makeFont(CourierNew, 17, true, clr::Black));
    cmb_Time.setTabStop(false);
    cmb_Time.setTabOrder(3);

    label(lbl_Kosten, 34, 128, 55, 19, QStringLiteral("Kosten:"), TAlignment::Right, plain);
    btn_Berechnen.setBounds(96, 124, 117, 28);
    btn_Berechnen.setText(QStringLiteral("Berechnen"));
    btn_Berechnen.setFont(makeFont(Arial, 19, false));
    btn_Berechnen.isDefault = true;
    btn_Berechnen.setTabOrder(2);
    btn_Berechnen.setCursor(TCursor::HandPoint);
    btn_Berechnen.setPicture(QStringLiteral("calc"));

    for (TEdit *e : { &Edit_Day, &Edit_Year }) {
        e->setFont(makeFont(Arial, 17, true, clr::Black));
        e->setReadOnly(true);
        e->setEnabled(false);
        e->setTabStop(false);
        e->setColor(clr::Yellow);
    }
    Edit_Day.setBounds(8, 156, 57, 27);
    label(lbl_EUR5, 68, 160, 9, 19, QStringLiteral("€"), TAlignment::Left, plain);
    Edit_Year.setBounds(96, 156, 57, 27);
    label(lbl_EUR6, 156, 160, 47, 19, QStringLiteral("€/Jahr"), TAlignment::Left, plain);
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
    StringGrid1.setCell(0, 0, QStringLiteral("   Datum"));
    StringGrid1.setCell(1, 0, QStringLiteral("Stand  "));
    StringGrid1.setCell(2, 0, QStringLiteral(" Tage "));
    StringGrid1.setCell(3, 0, QStringLiteral("kW/Tag"));
    LoadVerbrauch();
    shown([this] { DeriveTotals(); });
    // Any failure, an empty log among them, starts the reading at 0.
    long double last = 0;
    if (!tryStrToFloat(StringGrid1.cell(1, StringGrid1.rowCount() - 1), separator(), last))
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
