#pragma once

#include "core/logfile.h"

#include <QDate>
#include <QString>

namespace voltaris {

class TForm;
struct TFont;

enum class MsgIcon { None, Warning, Error, Question };
enum class MsgAnswer { Yes, No, Cancel };

// The windows that show the main window's log beyond its table.
enum class LogView { History, Settlement };

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
    // The consumption file, read. A service so that the start-up can read it
    // ahead; the default reads it now.
    virtual ConsumptionRead readConsumption(const QString &path, const FormatSettings &settings)
    {
        return readConsumptionFile(path, settings);
    }
};

} // namespace voltaris
