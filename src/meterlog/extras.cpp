// What the grid's popup menu offers beyond removing a row: the chart of the
// log, the settlement preview, the CSV export and the undo of removals.
#include "meterlog/extras.h"

#include "common/dates.h"
#include "common/numtext.h"
#include "common/safefile.h"
#include "core/csvexport.h"
#include "meterlog/logtable.h"
#include "meterlog/meterlogfile.h"
#include "ui/Unit1.h"

#include <QDir>
#include <algorithm>

namespace voltaris {

namespace {

constexpr int KeyE = 'E', KeyZ = 'Z';

const QString NothingToUndo = QStringLiteral("Rückgängig");

std::unique_ptr<TMenuItem> menuItem(
    TPopupMenu &menu, const QString &name, const QString &caption, const QString &shortCut = {})
{
    auto item = std::make_unique<TMenuItem>(&menu, name);
    item->setText(caption);
    item->shortCut = shortCut;
    return item;
}

} // namespace

const MeterLog &shownLogOf(TForm1 &form)
{
    MeterLog &log = form.shownLog();
    log.setChanges(form.meterChanges());
    return log;
}

const MeterLog &mainLogOf(TForm1 &form)
{
    MeterLog &log = *form.Logs.front();
    log.setChanges(form.LogFiles.front()->replacements());
    return log;
}

Settlement settlementOf(TForm1 &form)
{
    return settlementOf(mainLogOf(form), form.contractValues(), form.app().settings(),
        form.priceChanges(), form.app().services().today());
}

void TForm1::designExtras()
{
    N1 = menuItem(PopupMenuTable, QStringLiteral("N1"), QStringLiteral("-"));
    Verlauf1
        = menuItem(PopupMenuTable, QStringLiteral("Verlauf1"), QStringLiteral("Verlauf anzeigen…"));
    Abrechnung1 = menuItem(
        PopupMenuTable, QStringLiteral("Abrechnung1"), QStringLiteral("Abrechnungsvorschau…"));
    CsvExport1 = menuItem(PopupMenuTable, QStringLiteral("CsvExport1"),
        QStringLiteral("Als CSV exportieren…"), QStringLiteral("Ctrl+E"));
    N2 = menuItem(PopupMenuTable, QStringLiteral("N2"), QStringLiteral("-"));
    Undo1 = menuItem(
        PopupMenuTable, QStringLiteral("Undo1"), NothingToUndo, QStringLiteral("Ctrl+Z"));
    Undo1->setEnabled(false);

    Verlauf1->OnClick = [this](TControl &s) { Verlauf1Click(s); };
    Abrechnung1->OnClick = [this](TControl &s) { Abrechnung1Click(s); };
    CsvExport1->OnClick = [this](TControl &s) { CsvExport1Click(s); };
    Undo1->OnClick = [this](TControl &s) { Undo1Click(s); };
    PopupMenuTable.OnPopup = [this](TControl &s) { PopupMenuTablePopup(s); };
    const auto keyDown = [this](TControl &s, int &k, TShiftState sh) { ExtrasKeyDown(s, k, sh); };
    StringGrid1.OnKeyDown = keyDown;
    Memo_Stand.OnKeyDown = keyDown;

    // The removal stays as it is; the row is noted before it goes, so that
    // the undo can put it back. A meter replacement goes with the row of its
    // day, before the rows around it are counted again.
    Delete1.OnClick = [this, remove = std::move(Delete1.OnClick)](TControl &s) {
        // The row is found in the file's newest table before it is noted.
        if (!FollowMarkedRow())
            return;
        const TStringGrid &g = StringGrid1;
        const QStringList cells = rowOf(g, g.row());
        if (isBlankRow(cells)) {
            if (remove)
                remove(s);
            return;
        }
        LogStep step { QStringLiteral("Rückgängig: Zeile wiederherstellen"), {},
            { shownLog().removedRow(g.row() - g.fixedRows()) }, {}, {} };
        MeterChanges changes = meterChanges();
        const QDate day = cellDate(cells.value(logcol::Date), app().settings());
        const auto change = std::find_if(
            changes.begin(), changes.end(), [&day](const MeterChange &c) { return c.date == day; });
        if (change != changes.end()) {
            step.changeRemoved = *change;
            changes.erase(change);
            const MeterChanges before = meterChangeFile().assumed();
            meterChangeFile().assume(changes);
            try {
                if (remove)
                    remove(s);
            } catch (...) {
                meterChangeFile().assume(before);
                throw;
            }
            SaveMeterChanges(changes);
        } else if (remove) {
            remove(s);
        }
        PushUndo(std::move(step));
    };
    designLogEdits();
}

void TForm1::PopupMenuTablePopup(TControl &)
{
    ShowUndoStep();
}

void TForm1::PushUndo(LogStep step)
{
    shownLogFile().undoSteps.push_back(std::move(step));
    ShowUndoStep();
}

void TForm1::ShowUndoStep()
{
    // Greyed, the item names no step that is not there.
    const std::vector<LogStep> &steps = shownLogFile().undoSteps;
    Undo1->setEnabled(!steps.empty());
    Undo1->setText(steps.empty() ? NothingToUndo : steps.back().caption);
}

void TForm1::Verlauf1Click(TControl &)
{
    app().services().showLogView(*this, LogView::History);
}

void TForm1::Abrechnung1Click(TControl &)
{
    app().services().showLogView(*this, LogView::Settlement);
}

void TForm1::CsvExport1Click(TControl &)
{
    const MeterLog &log = shownLog();
    if (log.lastFilledRow() < 0) {
        app().messageBox(this, app().Title,
            QStringLiteral("Die Tabelle enthält noch keinen Zählerstand zum Exportieren."),
            MsgIcon::None);
        return;
    }
    const QString path = app().services().saveFileName(this, QStringLiteral("Als CSV exportieren"),
        QDir::current().absoluteFilePath(dataFolder().path(DataFile::CsvExport)),
        QStringLiteral("CSV-Datei (*.csv)"));
    if (path.isEmpty())
        return;
    // The replacements go with it, so that an import of the file restores them.
    writeFileOrThrow(path, csvOf(shownLogOf(*this), app().settings()));
}

void TForm1::Undo1Click(TControl &)
{
    MeterLogFile &file = shownLogFile();
    if (file.undoSteps.empty())
        return;
    // The step is undone in the file's newest table; its rows are found by
    // their dates and readings there.
    FollowVerbrauchFile();
    TStringGrid &g = StringGrid1;
    g.beginUpdate();
    std::optional<UndoOutcome> undone;
    try {
        undone = file.undo(app().settings(), separator());
    } catch (...) {
        g.endUpdate();
        throw;
    }
    ShowUndoStep();
    for (const int place : undone->placed)
        ShowRow(g.fixedRows() + place);
    g.endUpdate();
    SaveVerbrauch();
    if (undone->changesDiffer)
        SaveMeterChanges(undone->changes);
    ShowEstimateOfTable();
    for (const QString &day : undone->clashes)
        app().messageBox(this, app().Title,
            QStringLiteral("Für den %1 ist schon ein Zählerstand eingetragen; die entfernte "
                           "Zeile wird nicht wiederhergestellt.")
                .arg(day),
            MsgIcon::None);
}

int TForm1::PutRowAt(int row, const QStringList &cells, bool recount)
{
    MeterLog &log = shownLog();
    log.setChanges(meterChanges());
    const int first = StringGrid1.fixedRows();
    const int place = log.putRowAt(row - first, cells, recount, app().settings(), separator());
    return place < 0 ? -1 : first + place;
}

void TForm1::ShowRow(int place)
{
    TStringGrid &g = StringGrid1;
    g.setRow(place);
    if (place < g.topRow())
        g.setTopRow(place);
    else if (place >= g.topRow() + g.visibleRowCount())
        g.setTopRow(place - g.visibleRowCount() + 1);
}

void TForm1::ExtrasKeyDown(TControl &Sender, int &Key, TShiftState Shift)
{
    if (!Shift.ctrl || Shift.alt || Shift.shift)
        return;
    if (Key == KeyE) {
        Key = 0;
        CsvExport1Click(Sender);
    } else if (Key == KeyZ && &Sender == &StringGrid1) {
        Key = 0;
        if (shownLogFile().undoSteps.empty())
            app().services().beep();
        else
            Undo1Click(Sender);
    }
}

} // namespace voltaris
