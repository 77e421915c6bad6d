#include "qt/qtservices.h"

#include "qt/formview.h"
#include "qt/logdialogs.h"
#include "qt/meterdialog.h"
#include "qt/readheaddialog.h"
#include "qt/readheadport.h"
#include "qt/savedialog.h"
#include "ui/Unit1.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFontMetrics>
#include <QMessageBox>
#include <QProgressDialog>
#include <QUrl>
#include <algorithm>

namespace voltaris {

void QtServices::messageBox(TForm *owner, const QString &caption, const QString &text, MsgIcon icon)
{
    QWidget *parent = owner && windowOf ? windowOf(owner) : nullptr;
    QMessageBox box(parent);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (icon) {
    case MsgIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    // Without a window manager the owner would stay inactive.
    if (parent)
        parent->window()->activateWindow();
}

namespace {

MsgAnswer ask(QWidget *parent, const QString &caption, const QString &text,
    QMessageBox::StandardButtons buttons, QMessageBox::StandardButton byDefault,
    QMessageBox::StandardButton onEscape)
{
    QMessageBox box(parent);
    box.setWindowTitle(caption);
    box.setText(text);
    box.setIcon(QMessageBox::Question);
    box.setStandardButtons(buttons);
    box.setDefaultButton(byDefault);
    box.setEscapeButton(onEscape);
    const int answer = box.exec();
    if (parent)
        parent->window()->activateWindow();
    if (answer == QMessageBox::Yes)
        return MsgAnswer::Yes;
    return answer == QMessageBox::No ? MsgAnswer::No : MsgAnswer::Cancel;
}

} // namespace

MsgAnswer QtServices::askYesNoCancel(TForm *owner, const QString &caption, const QString &text)
{
    return ask(owner && windowOf ? windowOf(owner) : nullptr, caption, text,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes,
        QMessageBox::Cancel);
}

MsgAnswer QtServices::askYesNo(TForm *owner, const QString &caption, const QString &text)
{
    // Nein keeps what is on the disk: the safe answer comes first.
    return ask(owner && windowOf ? windowOf(owner) : nullptr, caption, text,
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No, QMessageBox::No);
}

QDate QtServices::today()
{
    return QDate::currentDate();
}

void QtServices::openUrl(const QString &url)
{
    QDesktopServices::openUrl(QUrl(url));
}

void QtServices::beep()
{
    QApplication::beep();
}

int QtServices::textWidth(const TFont &font, const QString &text)
{
    return QFontMetrics(FormView::qfont(font)).horizontalAdvance(text);
}

void QtServices::showLogView(TForm &owner, LogView view)
{
    if (auto *form = dynamic_cast<TForm1 *>(&owner))
        logViews.show(*form, windowOf ? windowOf(&owner) : nullptr, view);
}

QString QtServices::saveFileName(
    TForm *owner, const QString &caption, const QString &suggested, const QString &filter)
{
    return askSaveFileName(
        owner && windowOf ? windowOf(owner) : nullptr, caption, suggested, filter);
}

QString QtServices::openFileName(
    TForm *owner, const QString &caption, const QString &folder, const QString &filter)
{
    return askOpenFileName(owner && windowOf ? windowOf(owner) : nullptr, caption, folder, filter);
}

bool QtServices::askReading(TForm *owner, ReadingInput &input)
{
    return voltaris::askReading(owner && windowOf ? windowOf(owner) : nullptr, input);
}

bool QtServices::askMeterChange(TForm *owner, MeterChangeInput &input)
{
    return voltaris::askMeterChange(owner && windowOf ? windowOf(owner) : nullptr, input);
}

bool QtServices::editMeters(TForm *owner, MetersInput &input)
{
    return askMeters(owner && windowOf ? windowOf(owner) : nullptr, input);
}

bool QtServices::confirmImport(TForm *owner, const ImportPreview &preview)
{
    return askImport(owner && windowOf ? windowOf(owner) : nullptr, preview);
}

bool QtServices::confirmImportOffer(TForm *owner, const ImportPreview &preview, bool &takeOffer)
{
    return askImport(owner && windowOf ? windowOf(owner) : nullptr, preview, &takeOffer);
}

void QtServices::beginProgress(TForm *owner, const QString &caption, const QString &text)
{
    endProgress();
    progress_ = makeProgressDialog(owner && windowOf ? windowOf(owner) : nullptr, caption, text);
}

bool QtServices::stepProgress(qint64 done, qint64 total)
{
    if (!progress_)
        return true;
    // A modal bar lets the window system paint it and take the click on
    // "Abbrechen" while it moves.
    progress_->setValue(int(std::clamp<qint64>(
        total > 0 ? done * progress_->maximum() / total : 0, 0, progress_->maximum() - 1)));
    return !progress_->wasCanceled();
}

void QtServices::endProgress()
{
    if (!progress_)
        return;
    QWidget *owner = progress_->parentWidget();
    const bool shown = progress_->isVisible();
    delete progress_;
    progress_ = nullptr;
    // Without a window manager the owner would stay inactive.
    if (owner && shown)
        owner->window()->activateWindow();
}

ConsumptionRead QtServices::readConsumption(const QString &path, const FormatSettings &settings)
{
    if (readAhead)
        if (std::optional<ConsumptionRead> read = readAhead(path, settings))
            return std::move(*read);
    return readConsumptionFile(path, settings);
}

// The read head.
MeterReadout QtServices::readMeter(TForm *owner, const ReadHeadSettings &settings)
{
    return readMeterModal(owner && windowOf ? windowOf(owner) : nullptr, settings);
}

bool QtServices::editReadHead(TForm *owner, ReadHeadSettings &settings)
{
    return editReadHeadDialog(owner && windowOf ? windowOf(owner) : nullptr, settings);
}

} // namespace voltaris
