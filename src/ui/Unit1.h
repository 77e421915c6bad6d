#pragma once

#include "common/filestamp.h"
#include "core/contractvalues.h"
#include "core/datafolder.h"
#include "core/household.h"
#include "core/meterchange.h"
#include "core/meterlogmodel.h"
#include "core/prices.h"
#include "core/readhead.h"
#include "core/tariffcheck.h"
#include "ui/FlEdit.h"
#include "ui/form.h"
#include "ui/stringgrid.h"

#include <memory>
#include <optional>
#include <vector>

namespace voltaris {

class MeterLogFile;
class TForm2;
class TForm_Achtung;

// The main window: the contract group, the results panel and the
// meter-reading area with the appliance calculator. Its controls hold the
// program's values as the texts they show; the handlers are grouped by
// subsystem in src/contract, src/meterlog and src/appliance.
class TForm1 : public TForm {
public:
    explicit TForm1(TApplication &app);
    ~TForm1() override;

    // The windows created after this one; the start-up must not use them.
    TForm2 *Form2 = nullptr;
    TForm_Achtung *Form_Achtung = nullptr;

    // The household's logs, one a meter: today the main meter's, of
    // "Mein_Verbrauch.txt". StringGrid1 shows the rows of the one shown;
    // made before the controls, so that the table goes before its rows.
    std::vector<std::unique_ptr<MeterLog>> Logs = mainMeterOnly();
    int ShownLog = 0;
    MeterLog &shownLog() { return *Logs.at(size_t(ShownLog)); }
    const MeterLog &shownLog() const { return *Logs.at(size_t(ShownLog)); }
    // The data folder, whose files the window reads and writes; the empty
    // folder is the working directory. Set before the start-up reads it.
    const DataFolder &dataFolder() const { return DataFolder_; }
    void setDataFolder(const QString &dir);
    // A file of that folder (relative when it is the working directory).
    QString dataFilePath(const QString &name) const { return DataFolder_.path(name); }

    // --- the window as a whole ---
    void FormCreate();
    void FormResize(TControl &Sender);
    void FormCloseQuery(TControl &Sender, bool &CanClose);
    void btn_InfoClick(TControl &Sender);
    void Image1Click(TControl &Sender);
    void lbl_LogoClick(TControl &Sender);

    // --- contract tariff calculation ---
    QString FormatValue(long double x) const;
    void EditKeyPress(TControl &Sender, QChar &Key);
    void Edit1KeyUp(TControl &Sender, int &Key, TShiftState Shift);
    void Edit2KeyUp(TControl &Sender, int &Key, TShiftState Shift);
    void Edit3KeyUp(TControl &Sender, int &Key, TShiftState Shift);
    void Edit4KeyUp(TControl &Sender, int &Key, TShiftState Shift);
    void Edit5KeyUp(TControl &Sender, int &Key, TShiftState Shift);
    void Edit1Exit(TControl &Sender);
    void Edit3Exit(TControl &Sender);
    void Edit5Exit(TControl &Sender);
    void rdb_01Click(TControl &Sender);
    void rdb_02Click(TControl &Sender);
    void rdb_03Click(TControl &Sender);
    void rdb_04Click(TControl &Sender);
    // The total as displayed, and the monthly amount derived from it; run
    // by the start-up after the contract file was read.
    void DeriveTotals();
    // The contract's values as the edits show them, for the views.
    ContractValues contractValues() const;

    // --- contract file ---
    bool WriteContract();
    void ReadContract();
    QString TakeNumber(const QString &line, int column) const;
    QString contractPath() const;
    // Set when the contract file could not be read at start: the first save
    // keeps it in a backup of its own before replacing it, and says where.
    bool ContractUnreadable = false;
    QString ContractUnreadableReason; // what the read said, for that message
    // The contract file as last read or written by this window.
    FileStamp ContractStamp;
    // Reads the contract file again when another program changed it and the
    // window holds no unsaved contract changes; with changes, the save asks.
    void FollowContractFile();

    // --- contract edit mode ---
    void img_to_onClick(TControl &Sender);
    void img_to_offClick(TControl &Sender);
    void btn_Save1Visible(TControl &Sender);
    void dtp_AbChange(TControl &Sender);
    void btn_Save1Click(TControl &Sender);

    // --- meter-reading log ---
    void btn_Save2Click(TControl &Sender);
    void Memo_StandEnterPress(TControl &Sender, QChar &Key);
    void Memo_StandEnter(TControl &Sender);
    void dtp_AbleseCloseUp(TControl &Sender);
    void Delete1Click(TControl &Sender);
    void StringGrid1DrawCell(
        TControl &Sender, int ACol, int ARow, const TRect &Rect, TGridDrawState State);
    void DrawCellText(
        TCanvas &Canvas, const TRect &Rect, TAlignment Alignment, const QString &Text) const;
    void Image_SchetchikClick(TControl &Sender);
    // Counts the days and kWh per day of a data row from the row above it
    // ("0" and "0" in the first row); a blank row, or one whose days cannot
    // be counted, keeps its texts.
    void RecountRow(int row);
    // The average up to `date` at `reading` and the estimate at the contract's
    // figures in Panel4, as an entry shows them; false (nothing shown) when
    // `date` is the first row's day.
    bool ShowEstimate(const QDate &date, long double reading, long double basePrice,
        long double price, long double total);
    // Panel4 for the table as it is, after a change other than an entry or a
    // removal: what the entry of its last row would show. Nothing while the
    // panel has not shown an entry yet.
    void ShowEstimateOfTable();

    // --- consumption file, through the shown log's file part ---
    void SaveVerbrauch();
    void LoadVerbrauch();
    QString verbrauchPath() const;
    // The file part of each log, in the order of Logs: its file and its
    // replacements' file, what the last read left out, its undo steps
    // (src/meterlog/meterlogfile.h). Made with the window and placed in the
    // data folder by placeLogFiles.
    struct MeterLogFileDeleter {
        void operator()(MeterLogFile *file) const;
    };
    std::vector<std::unique_ptr<MeterLogFile, MeterLogFileDeleter>> LogFiles;
    void placeLogFiles();
    MeterLogFile &shownLogFile() const { return *LogFiles.at(size_t(ShownLog)); }
    // Reads the consumption file again into the table when another program
    // changed or replaced it since; true when it did. Every change of the
    // table starts with it, so that a save never drops a row of the file.
    bool FollowVerbrauchFile();
    // As FollowVerbrauchFile, and the mark goes to the row that was marked
    // before; false (with a message ending in `outcome`) when that row is no
    // longer there.
    bool FollowMarkedRow(const QString &outcome = QStringLiteral("Es wurde nichts entfernt."));

    // Another program changed a file of the data folder, or may have: the
    // window system calls this when its watch fires.
    void FilesChangedOnDisk();

    // --- beyond the log: history chart, settlement preview, CSV export and
    // undo, reached from the grid's popup menu (src/meterlog/extras.cpp) ---
    void designExtras();
    void PopupMenuTablePopup(TControl &Sender);
    void Verlauf1Click(TControl &Sender);
    void Abrechnung1Click(TControl &Sender);
    void CsvExport1Click(TControl &Sender);
    void Undo1Click(TControl &Sender);
    // Ctrl+E (export) in StringGrid1 and Memo_Stand, Ctrl+Z (undo) in StringGrid1.
    void ExtrasKeyDown(TControl &Sender, int &Key, TShiftState Shift);
    // The items below "Zeile entfernen", made by designExtras after Delete1
    // exists (the menu lists its items in the order they were made).
    std::unique_ptr<TMenuItem> N1, Verlauf1, Abrechnung1, CsvExport1, N2, Undo1;

    // --- the log over the years: correcting and adding past readings, a
    // meter replacement, an import (src/meterlog/logedits.cpp) ---
    void designLogEdits();
    void Korrektur1Click(TControl &Sender);
    void Nachtrag1Click(TControl &Sender);
    void Zaehlerwechsel1Click(TControl &Sender);
    void Import1Click(TControl &Sender);
    std::unique_ptr<TMenuItem> N3, Korrektur1, Nachtrag1, Zaehlerwechsel1, Import1;

    // A change of the shown log that the undo takes back: one more of its
    // file part's steps.
    void PushUndo(LogStep step);
    // Undo1 enabled and named after the next step, or greyed as "Rückgängig".
    void ShowUndoStep();
    // Puts a row back where it stood while its day fits there, else where
    // its day belongs; -1 (and nothing changed) when a row of that day is
    // there. `recount`: its days and kWh per day count from the row above.
    int PutRowAt(int row, const QStringList &cells, bool recount);
    // Marks the row and brings it into view.
    void ShowRow(int row);

    // The shown log's meter replacements, read again when another program
    // changed their file; the read tells the first line it could not read.
    // A change under way is assumed in the file until SaveMeterChanges
    // writes it.
    SideFile<MeterChanges> &meterChangeFile() const;
    const SideFileRead<MeterChanges> &meterChangesRead() const { return meterChangeFile().read(); }
    const MeterChanges &meterChanges() const { return meterChangeFile().value(); }
    void SaveMeterChanges(const MeterChanges &changes);
    QString meterChangePath() const { return meterChangeFile().path(); }

    // --- changes of price and instalment, kept beside the contract
    // (src/contract/prices.cpp) ---
    // Read again when another program changed their file.
    SideFile<PriceChanges> PriceChangeFile { DataFolder().path(DataFile::PriceChanges),
        &parsePriceChanges };
    const SideFileRead<PriceChanges> &priceChangesRead() const { return PriceChangeFile.read(); }
    const PriceChanges &priceChanges() const { return PriceChangeFile.value(); }
    // Each adds or removes one change, in the file's newest list, and saves
    // it; false (after a message saying why) when nothing changed: a change
    // of that kind on that day is there already, or none is to remove.
    bool AddTariffChange(const TariffChange &change);
    bool AddInstalmentChange(const InstalmentChange &change);
    bool RemoveTariffChange(const QDate &from);
    bool RemoveInstalmentChange(const QDate &from);
    QString priceChangePath() const { return PriceChangeFile.path(); }

    // --- offers compared with the contract, and the contract's deadlines,
    // kept beside it (src/contract/tariffcheck.cpp) ---
    // The last item of the grid's menu; the window is opened from the
    // contract group too.
    void designTariffCheck();
    void Tarife1Click(TControl &Sender);
    std::unique_ptr<TMenuItem> N4, Tarife1;
    SideFile<TariffCheck> TariffCheckFile { DataFolder().path(DataFile::TariffCheck),
        &parseTariffCheck };
    // Writes the offers and deadlines, edited from the file as it was at
    // `readAt`; false (after a message saying why) when the file has a line
    // that cannot be read, or another program changed it since: it is then
    // kept as it is.
    bool SaveTariffCheck(const TariffCheck &check, const FileStamp &readAt);
    // Whether a side file the user edited from its state at `readAt` may be
    // written over now: false, after a message ending in what was not saved,
    // when it has a line that cannot be read or another program changed it
    // since.
    bool MayWriteSideFile(const QString &path, int badLine, const FileStamp &now,
        const FileStamp &readAt, const QString &notSaved);
    // At start: a notice names a deadline of the contract within six weeks.
    void RemindDeadlines();

    // --- the household's further meters (src/meterlog/household.cpp) ---
    // Their list, kinds and prices, beside the contract; Logs[i + 1] is the
    // log of further[i].
    SideFile<Meters> MetersFile { DataFolder().path(DataFile::Meters), &parseMeters };
    const Meters &meters() const { return MetersFile.value(); }
    // The meter shown; nullptr for the main meter.
    const Meter *shownMeter() const;
    // Every meter's readings and prices, for the views of the whole
    // household.
    HouseholdInput householdInput();
    // Told after any meter's readings, or the meters themselves, changed:
    // the views of the whole household follow them all.
    int addHouseholdObserver(std::function<void()> observer);
    void removeHouseholdObserver(int id);
    // Logs and LogFiles in step with the meters' file: one a further meter,
    // found again by its file; a meter's log that goes is kept aside (its
    // file stays), the shown one going shows the main meter.
    void syncMeterLogs();
    // A further meter's log is read the first time it is needed, and again
    // when another program changed its file since; true when it was read.
    bool readLogWhenNeeded(size_t index);
    // Shows meter `index` (0 the main meter, i + 1 further[i]) in GroupBox3:
    // its rows in StringGrid1, its figures in Panel4, its undo step.
    void ShowMeter(int index);
    // cmb_Zaehler's meters, the shown one chosen; seen while there are
    // further meters.
    void ShowMeterChoice();
    void cmb_ZaehlerChange(TControl &Sender);
    // GroupBox3's caption for the meter shown.
    QString meterCaption() const;
    // Panel4 for a further meter (src/meterlog/meterpanel.cpp).
    void ShowMeterFigures();
    // The shown log's file by name, as messages name it.
    QString shownLogName() const;
    // The popup menu's "Zähler anzeigen" and "Zähler verwalten…", and
    // Ctrl+PgDown / Ctrl+PgUp for the next and the previous meter.
    void designMeters();
    void Zaehler1Click(TControl &Sender);
    bool MetersKeyDown(int Key, TShiftState Shift);
    // Writes the meters, edited from the file as it was at `readAt`; false
    // (after a message saying why) when the file has a line that cannot be
    // read, or another program changed it since.
    bool SaveMeters(const Meters &meters, const FileStamp &readAt);
    std::unique_ptr<TMenuItem> N5, Anzeigen1, Zaehler1;
    std::vector<std::unique_ptr<TMenuItem>> ShowMeterItems;

    // --- the reading from the meter through the optical read head
    // (src/meterlog/readhead.cpp) ---
    // The last items of the grid's menu, and Ctrl+L in Memo_Stand.
    void designReadHead();
    void Lesen1Click(TControl &Sender);
    void Lesekopf1Click(TControl &Sender);
    std::unique_ptr<TMenuItem> N9, Lesen1, Lesekopf1;
    // The head's port and framing, beside the contract, in the data folder
    // as it is when asked for; written only from its dialog.
    SideFile<ReadHeadSettings> &readHeadFile() const;
    mutable SideFile<ReadHeadSettings> ReadHeadFile { DataFolder().path(DataFile::ReadHead),
        &parseReadHead };

    // --- appliance cost calculator ---
    void btn_BerechnenClick(TControl &Sender);
    void Edit_TimeKeyPress(TControl &Sender, QChar &Key);
    void SpeedBtn_STARTClick(TControl &Sender);

    // Working values of the contract calculation (extended precision).
    long double ConsumptionPerYear = 0;
    long double ConsumptionPerDay = 0;
    long double BasePricePerYear = 0;
    long double BasePricePerMonth = 0;
    long double PricePerKWh = 0;
    long double TotalPerYear = 0;
    // The appliance's last cost per day, and whether it is in cent; the unit
    // is kept here because the caption of lbl_EUR5 can be numbered over.
    long double CostPerDay = 0;
    bool CostPerDayInCent = false;

    // --- controls, parents before children ---
    TGroupBox GroupBox1 { this, QStringLiteral("GroupBox1") };
    TSpeedButton btn_Save1 { &GroupBox1, QStringLiteral("btn_Save1") };
    TLabel lbl_Name { &GroupBox1, QStringLiteral("lbl_Name") };
    TEdit Edit_Name { &GroupBox1, QStringLiteral("Edit_Name") };
    TLabel lbl_Tarif { &GroupBox1, QStringLiteral("lbl_Tarif") };
    TEdit Edit_Tarif { &GroupBox1, QStringLiteral("Edit_Tarif") };
    TPanel Panel1 { &GroupBox1, QStringLiteral("Panel1") };
    TLabel lbl_01 { &Panel1, QStringLiteral("lbl_01") };
    TLabel lbl_02 { &Panel1, QStringLiteral("lbl_02") };
    TRadioButton rdb_01 { &Panel1, QStringLiteral("rdb_01") };
    TRadioButton rdb_02 { &Panel1, QStringLiteral("rdb_02") };
    TEdit Edit1 { &GroupBox1, QStringLiteral("Edit1") };
    TLabel lbl_kW1 { &GroupBox1, QStringLiteral("lbl_kW1") };
    TEdit Edit2 { &GroupBox1, QStringLiteral("Edit2") };
    TLabel lbl_kW2 { &GroupBox1, QStringLiteral("lbl_kW2") };
    TPanel Panel2 { &GroupBox1, QStringLiteral("Panel2") };
    TLabel lbl_03 { &Panel2, QStringLiteral("lbl_03") };
    TLabel lbl_04 { &Panel2, QStringLiteral("lbl_04") };
    TRadioButton rdb_03 { &Panel2, QStringLiteral("rdb_03") };
    TRadioButton rdb_04 { &Panel2, QStringLiteral("rdb_04") };
    TEdit Edit3 { &GroupBox1, QStringLiteral("Edit3") };
    TLabel lbl_EUR1 { &GroupBox1, QStringLiteral("lbl_EUR1") };
    TEdit Edit4 { &GroupBox1, QStringLiteral("Edit4") };
    TLabel lbl_EUR2 { &GroupBox1, QStringLiteral("lbl_EUR2") };
    TSpeedButton btn_Info { &GroupBox1, QStringLiteral("btn_Info") };
    TLabel lbl_05 { &GroupBox1, QStringLiteral("lbl_05") };
    TEdit Edit5 { &GroupBox1, QStringLiteral("Edit5") };
    TLabel lbl_Cent { &GroupBox1, QStringLiteral("lbl_Cent") };
    TPanel Panel3 { &GroupBox1, QStringLiteral("Panel3") };
    TLabel lbl_06 { &Panel3, QStringLiteral("lbl_06") };
    TLabel lbl_07 { &Panel3, QStringLiteral("lbl_07") };
    TEdit Edit6 { &GroupBox1, QStringLiteral("Edit6") };
    TLabel lbl_EUR3 { &GroupBox1, QStringLiteral("lbl_EUR3") };
    TLabel lbl_Ab { &GroupBox1, QStringLiteral("lbl_Ab") };
    TDateTimePicker dtp_Ab { &GroupBox1, QStringLiteral("dtp_Ab") };
    TEdit Edit7 { &GroupBox1, QStringLiteral("Edit7") };
    TLabel lbl_EUR4 { &GroupBox1, QStringLiteral("lbl_EUR4") };

    TLabel lbl_Logo1 { this, QStringLiteral("lbl_Logo1") };
    TLabel lbl_Logo2 { this, QStringLiteral("lbl_Logo2") };
    TLabel lbl_Logo3 { this, QStringLiteral("lbl_Logo3") };
    TPanel Panel4 { this, QStringLiteral("Panel4") };
    TLabel lbl_Durch { &Panel4, QStringLiteral("lbl_Durch") };
    TLabel lbl_vSrednem { &Panel4, QStringLiteral("lbl_vSrednem") };
    TLabel lbl_kWTag { &Panel4, QStringLiteral("lbl_kWTag") };
    TImage Image1 { &Panel4, QStringLiteral("Image1") };
    TLabel lbl_Gut { &Panel4, QStringLiteral("lbl_Gut") };
    TLabel lbl_Nach { &Panel4, QStringLiteral("lbl_Nach") };
    TLabel lbl_Zahlung { &Panel4, QStringLiteral("lbl_Zahlung") };
    TLabel LabelEUR { &Panel4, QStringLiteral("LabelEUR") };

    TGroupBox GroupBox3 { this, QStringLiteral("GroupBox3") };
    TLabel lbl_Date { &GroupBox3, QStringLiteral("lbl_Date") };
    TLabel lbl_Stand { &GroupBox3, QStringLiteral("lbl_Stand") };
    TDateTimePicker dtp_Ablese { &GroupBox3, QStringLiteral("dtp_Ablese") };
    // Behind the reading input, so that a red frame surrounds its decimal.
    TShape Shape_Decimal { &GroupBox3, QStringLiteral("Shape_Decimal") };
    TSpinFloatEdit Memo_Stand { &GroupBox3, QStringLiteral("Memo_Stand") };
    TBitBtn btn_Save2 { &GroupBox3, QStringLiteral("btn_Save2") };
    TStringGrid StringGrid1 { &GroupBox3, QStringLiteral("StringGrid1") };
    TImage img_On { &GroupBox3, QStringLiteral("img_On") };
    TImage img_Off { &GroupBox3, QStringLiteral("img_Off") };
    TImage img_to_off { &GroupBox3, QStringLiteral("img_to_off") };
    TImage img_to_on { &GroupBox3, QStringLiteral("img_to_on") };
    TImage Image_Schetchik { &GroupBox3, QStringLiteral("Image_Schetchik") };
    // The meter shown, to choose with the mouse; only while there are further
    // meters, so that the main meter alone leaves the window as it was.
    TComboBox cmb_Zaehler { &GroupBox3, QStringLiteral("cmb_Zaehler") };

    TGroupBox GroupBox2 { &GroupBox3, QStringLiteral("GroupBox2") };
    TLabel lbl_Leistung { &GroupBox2, QStringLiteral("lbl_Leistung") };
    TEdit Edit_Watt { &GroupBox2, QStringLiteral("Edit_Watt") };
    TLabel lbl_Watt { &GroupBox2, QStringLiteral("lbl_Watt") };
    TLabel lbl_Stopp { &GroupBox2, QStringLiteral("lbl_Stopp") };
    TSpeedButton SpeedBtn_START { &GroupBox2, QStringLiteral("SpeedBtn_START") };
    TLabel lbl_Zeit { &GroupBox2, QStringLiteral("lbl_Zeit") };
    TDateTimePicker dtp_Time { &GroupBox2, QStringLiteral("dtp_Time") };
    TEdit Edit_Time { &GroupBox2, QStringLiteral("Edit_Time") };
    TComboBox cmb_Time { &GroupBox2, QStringLiteral("cmb_Time") };
    TLabel lbl_Kosten { &GroupBox2, QStringLiteral("lbl_Kosten") };
    TBitBtn btn_Berechnen { &GroupBox2, QStringLiteral("btn_Berechnen") };
    TEdit Edit_Day { &GroupBox2, QStringLiteral("Edit_Day") };
    TLabel lbl_EUR5 { &GroupBox2, QStringLiteral("lbl_EUR5") };
    TEdit Edit_Year { &GroupBox2, QStringLiteral("Edit_Year") };
    TLabel lbl_EUR6 { &GroupBox2, QStringLiteral("lbl_EUR6") };

    TPopupMenu PopupMenuTable { this, QStringLiteral("PopupMenuTable") };
    TMenuItem Delete1 { &PopupMenuTable, QStringLiteral("Delete1") };

private:
    // The further meters as Logs follows them, and the logs of meters that
    // went (a view may still hold one).
    std::vector<Meter> LogMeters;
    std::vector<
        std::pair<std::unique_ptr<MeterLog>, std::unique_ptr<MeterLogFile, MeterLogFileDeleter>>>
        RetiredLogs;
    std::vector<std::pair<int, std::function<void()>>> HouseholdObservers;
    int LastHouseholdObserver = 0;
    void householdChanged();
    // Panel4 and its captions as the main meter left them.
    bool MainFiguresShown = false;
    QString MainCreditCaption, MainBackCaption;
    static std::vector<std::unique_ptr<MeterLog>> mainMeterOnly();
    DataFolder DataFolder_;
    void designDetails();
    void designAccessibility();
    void wire();
    void RecomputeTotal();
    long double v(const TControl &c) const;
    QChar separator() const;
};

} // namespace voltaris
