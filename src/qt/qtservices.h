#pragma once

#include "qt/logviews.h"
#include "ui/services.h"

#include <functional>
#include <optional>

class QProgressDialog;
class QWidget;

namespace voltaris {

class FormView;

// The platform services on Qt: message boxes, the clock, the browser, the
// beep.
class QtServices : public Services {
public:
    // The window of a form, for the owner of a message box.
    std::function<QWidget *(TForm *)> windowOf;
    // A consumption file read ahead, when it is still the one asked for.
    std::function<std::optional<ConsumptionRead>(const QString &, const FormatSettings &)>
        readAhead;

    void messageBox(
        TForm *owner, const QString &caption, const QString &text, MsgIcon icon) override;
    MsgAnswer askYesNoCancel(TForm *owner, const QString &caption, const QString &text) override;
    MsgAnswer askYesNo(TForm *owner, const QString &caption, const QString &text) override;
    QDate today() override;
    void openUrl(const QString &url) override;
    void beep() override;
    int textWidth(const TFont &font, const QString &text) override;
    void showLogView(TForm &owner, LogView view) override;
    QString saveFileName(TForm *owner, const QString &caption, const QString &suggested,
        const QString &filter) override;
    QString openFileName(TForm *owner, const QString &caption, const QString &folder,
        const QString &filter) override;
    bool askReading(TForm *owner, ReadingInput &input) override;
    bool askMeterChange(TForm *owner, MeterChangeInput &input) override;
    bool editMeters(TForm *owner, MetersInput &input) override;
    bool confirmImport(TForm *owner, const ImportPreview &preview) override;
    bool confirmImportOffer(TForm *owner, const ImportPreview &preview, bool &takeOffer) override;
    void beginProgress(TForm *owner, const QString &caption, const QString &text) override;
    bool stepProgress(qint64 done, qint64 total) override;
    void endProgress() override;
    ConsumptionRead readConsumption(const QString &path, const FormatSettings &settings) override;
    // The read head (src/qt/readheadport.*, src/qt/readheaddialog.*).
    MeterReadout readMeter(TForm *owner, const ReadHeadSettings &settings) override;
    bool editReadHead(TForm *owner, ReadHeadSettings &settings) override;

    LogViews logViews;

private:
    QProgressDialog *progress_ = nullptr; // while a task runs
};

} // namespace voltaris
