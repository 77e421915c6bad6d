#pragma once

#include "core/logfile.h"
#include "core/meters.h"
#include "core/readhead.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace voltaris {

class TForm;
struct TFont;

enum class MsgIcon { None, Warning, Error, Question };
enum class MsgAnswer { Yes, No, Cancel };

// The windows that show the main window's log beyond its table.
enum class LogView { History, Settlement, TariffCheck };

// What a reading dialog says to an answer on OK, while it is still open.
struct ReadingCheck {
    // Not taken: the dialog shows this message and stays open with the
    // values as typed.
    QString refusal;
    // Asked with Ja and Nein (the default); Nein keeps the dialog open with
    // the values as typed.
    QString question;
};

// A reading to be corrected or added: the dialog shows these and gives back
// what the user chose.
struct ReadingInput {
    QString caption; // "Ablesung korrigieren", "Ablesung nachtragen"
    QDate date;
    long double reading = 0; // one decimal, 0 to 999999
    // Looked at on OK; none: every answer closes the dialog.
    std::function<ReadingCheck(const ReadingInput &answer)> check {};
};

// A meter replaced: the day, the old meter's last and the new meter's first
// reading, and the new meter's number (optional).
struct MeterChangeInput {
    QDate date;
    long double oldFinal = 0, newFirst = 0;
    QString number;
};

// What an import will do, row by row, as the preview lists it.
struct ImportPreview {
    QString fileName; // for the title
    QStringList headers; // "Zeile", "Datum", "Zählerstand", "Ergebnis"
    QList<QStringList> rows; // the texts of each row under the headers
    QList<bool> added; // per row: added (true) or skipped
    QString summary; // "3 Zeilen werden übernommen, 2 übersprungen."
    // Meter replacements found by a drop of the readings, offered as a check
    // box with this text (ticked at first); empty when none are. The rows,
    // marks and summary above are those with the replacements, these those
    // without.
    QString offer = {};
    QList<QStringList> rowsWithout = {};
    QList<bool> addedWithout = {};
    QString summaryWithout = {};
};

// The household's meters as their dialog edits them.
struct MetersInput {
    Meters meters;
    QChar separator; // the desktop's, for the dialog's numbers
    // The file a meter's readings are kept in, by its file key: the dialog
    // names it when a meter is removed (the file stays).
    std::function<QString(const QString &fileKey)> logName {};
    // Looked at on OK: a refusal is shown and the dialog stays open.
    std::function<QString(const Meters &answer)> check {};
};

// What the forms ask of the platform. The window system implements it; tests
// answer it themselves.
class Services {
public:
    virtual ~Services() = default;
    // A modal message box with one OK button; returns when it was closed.
    virtual void messageBox(TForm *owner, const QString &caption, const QString &text, MsgIcon icon)
        = 0;
    // A modal question with the buttons Ja, Nein and Abbrechen; closing the
    // box is Abbrechen.
    virtual MsgAnswer askYesNoCancel(TForm *owner, const QString &caption, const QString &text) = 0;
    // A modal question with the buttons Ja and Nein (the default); closing
    // the box is Nein.
    virtual MsgAnswer askYesNo(TForm *owner, const QString &caption, const QString &text) = 0;
    // Today's date (the clock).
    virtual QDate today() = 0;
    // Opens a web address in the user's browser; failures are not reported.
    virtual void openUrl(const QString &url) = 0;
    // The default system beep.
    virtual void beep() = 0;
    // The width of a text in pixels, written in that font.
    virtual int textWidth(const TFont &font, const QString &text) = 0;
    // Opens a view of the main window's log, non-modal and one of each kind
    // (a second call brings it to the front); it follows the log while open.
    virtual void showLogView(TForm &owner, LogView view) = 0;
    // A modal save dialog proposing `suggested` (a path) with the file type
    // `filter` ("CSV-Datei (*.csv)"); the chosen path, empty when cancelled.
    virtual QString saveFileName(
        TForm *owner, const QString &caption, const QString &suggested, const QString &filter)
        = 0;
    // A modal open dialog in `folder` for the file types of `filter`; the
    // chosen path, empty when cancelled.
    virtual QString openFileName(
        TForm *owner, const QString &caption, const QString &folder, const QString &filter)
        = 0;
    // A modal dialog of a reading: a date picker and a spin edit of one
    // decimal from 0 to 999999, "OK" and "Abbrechen". OK runs `input.check`
    // first, which may keep the dialog open. True on OK, with `input`
    // holding the answer.
    virtual bool askReading(TForm *owner, ReadingInput &input) = 0;
    // A modal dialog of a meter replacement, alike; true on OK.
    virtual bool askMeterChange(TForm *owner, MeterChangeInput &input) = 0;
    // The import's preview, modal: true when the user chose "Importieren"
    // (the default button), false on "Abbrechen" or closing.
    virtual bool confirmImport(TForm *owner, const ImportPreview &preview) = 0;
    // The same preview with its offer of replacements (preview.offer not
    // empty): `takeOffer` says whether the box was ticked when the user chose
    // "Importieren". Without an offer it is confirmImport.
    virtual bool confirmImportOffer(TForm *owner, const ImportPreview &preview, bool &takeOffer)
    {
        takeOffer = false;
        return confirmImport(owner, preview);
    }
    // A long task's progress, modal over the form: a bar with "Abbrechen",
    // captioned `caption`, saying `text`. beginProgress shows it (perhaps only
    // once the task takes a while), stepProgress moves the bar to `done` of
    // `total` and answers false once the user chose "Abbrechen",
    // endProgress closes it.
    virtual void beginProgress(TForm *owner, const QString &caption, const QString &text)
    {
        (void)owner, (void)caption, (void)text;
    }
    virtual bool stepProgress(qint64 done, qint64 total)
    {
        (void)done, (void)total;
        return true;
    }
    virtual void endProgress() { }
    // The household's meters, modal: add, rename, remove, each with its
    // kind, number and prices. True on OK (after `input.check`), with
    // `input.meters` holding the answer.
    virtual bool editMeters(TForm *owner, MetersInput &input)
    {
        (void)owner, (void)input;
        return false;
    }
    // --- the optical read head on the meter ---
    // One read of the meter through the read head as `settings` has it:
    // waits for a whole telegram (modal, with "Abbrechen"), 5 s at most
    // when nothing comes.
    virtual MeterReadout readMeter(TForm *owner, const ReadHeadSettings &settings)
    {
        (void)owner, (void)settings;
        return { {}, QStringLiteral("Hier gibt es keinen Lesekopf."), false };
    }
    // The dialog "Lesekopf einrichten": port, speed, framing and its test;
    // true when the user saved, with `settings` holding the choice.
    virtual bool editReadHead(TForm *owner, ReadHeadSettings &settings)
    {
        (void)owner, (void)settings;
        return false;
    }

    // The consumption file, read. A service so that the start-up can read it
    // ahead; the default reads it now.
    virtual ConsumptionRead readConsumption(const QString &path, const FormatSettings &settings)
    {
        return readConsumptionFile(path, settings);
    }
};

} // namespace voltaris
