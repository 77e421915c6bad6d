// What the grid's popup menu offers beyond removing a row: the chart of the
// log, the settlement preview, the CSV export and the undo of removals.
#include "meterlog/extras.h"

#include "common/dates.h"
#include "common/numtext.h"
#include "common/safefile.h"
#include "core/csvexport.h"
#include "meterlog/logtable.h"
#include "ui/Unit1.h"

#include <QDir>
#include <algorithm>

namespace voltaris {

namespace {

constexpr int KeyE = 'E', KeyZ = 'Z';

std::unique_ptr<TMenuItem> menuItem(
    TPopupMenu &menu, const QString &name, const QString &caption, const QString &shortCut = {})
{
    auto item = std::make_unique<TMenuItem>(&menu, name);
    item->setText(caption);
    item->shortCut = shortCut;
    return item;
}

// Where a removed row goes back: its old place while the days around it
// still fit (nothing but removals and undos in between), else the place its
// day has among the rows; -1 when a row of that day is there again.
int placeFor(const TStringGrid &g, int row, const QDate &date, const FormatSettings &s)
{
    const int first = g.fixedRows(), end = g.rowCount();
    int place = std::clamp(row, first, end);
    if (!date.isValid())
        return place;
    const QDate above = place > first ? dateOf(g, place - 1, s) : QDate();
    const QDate below = place < end ? dateOf(g, place, s) : QDate();
    if ((!above.isValid() || above < date) && (!below.isValid() || date < below))
        return place;
    place = end;
    for (int r = first; r < end; ++r) {
        const QDate d = dateOf(g, r, s);
        if (d == date)
            return -1;
        if (d.isValid() && d > date) {
            place = r;
            break;
        }
    }
    return place;
}

} // namespace

History historyOf(const TForm1 &form)
{
    return historyOf(readingsOf(logRowsOf(form.StringGrid1), form.app().settings()));
}

bool contractPerDayOf(const TForm1 &form, long double &perDay)
{
    return tryStrToFloat(form.Edit2.text(), form.app().settings().decimalSeparator, perDay);
}

Settlement settlementOf(const TForm1 &form)
{
    const ContractTexts contract { form.Edit3.text(), form.Edit5.text(), form.Edit7.text(),
        form.dtp_Ab.date() };
    const FormatSettings &s = form.app().settings();
    return settlementOf(readingsOf(logRowsOf(form.StringGrid1), s), contract, s);
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
    Undo1 = menuItem(PopupMenuTable, QStringLiteral("Undo1"),
        QStringLiteral("Rückgängig: Zeile wiederherstellen"), QStringLiteral("Ctrl+Z"));
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
    // the undo can put it back.
    Delete1.OnClick = [this, remove = std::move(Delete1.OnClick)](TControl &s) {
        // The row is found in the file's newest table before it is noted.
        if (!FollowMarkedRow())
            return;
        const TStringGrid &g = StringGrid1;
        const QStringList cells = rowOf(g, g.row());
        if (!isBlankRow(cells)) {
            RemovedRows.push_back({ g.row(), cells });
            Undo1->setEnabled(true);
        }
        if (remove)
            remove(s);
    };
}

void TForm1::PopupMenuTablePopup(TControl &)
{
    Undo1->setEnabled(!RemovedRows.empty());
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
    const LogRows rows = logRowsOf(StringGrid1);
    if (std::all_of(rows.begin(), rows.end(), [](const QStringList &r) { return isBlankRow(r); })) {
        app().messageBox(this, app().Title,
            QStringLiteral("Die Tabelle enthält noch keinen Zählerstand zum Exportieren."),
            MsgIcon::None);
        return;
    }
    const QString path = app().services().saveFileName(this, QStringLiteral("Als CSV exportieren"),
        QDir::current().absoluteFilePath(dataFilePath(QStringLiteral("Mein_Verbrauch.csv"))),
        QStringLiteral("CSV-Datei (*.csv)"));
    if (path.isEmpty())
        return;
    writeFileOrThrow(path, csvOf(rows, app().settings()));
}

void TForm1::Undo1Click(TControl &)
{
    if (RemovedRows.empty())
        return;
    // The row goes back into the file's newest table; its place is found by
    // its date there.
    FollowVerbrauchFile();
    const RemovedRow removed = RemovedRows.back();
    RemovedRows.pop_back();
    Undo1->setEnabled(!RemovedRows.empty());
    const FormatSettings &s = app().settings();
    TStringGrid &g = StringGrid1;
    const QDate date = cellDate(removed.cells.value(logcol::Date), s);

    const int first = g.fixedRows();
    int place = first;
    const bool empty = g.rowCount() - first == 1 && isBlankRow(g, first);
    if (!empty) {
        place = placeFor(g, removed.row, date, s);
        if (place < 0) {
            app().messageBox(this, app().Title,
                QStringLiteral("Für den %1 ist schon ein Zählerstand eingetragen; die entfernte "
                               "Zeile wird nicht wiederhergestellt.")
                    .arg(removed.cells.value(logcol::Date).trimmed()),
                MsgIcon::None);
            return;
        }
    }
    const bool moved = !empty && place != std::clamp(removed.row, first, g.rowCount());
    g.beginUpdate();
    if (!empty) {
        g.setRowCount(g.rowCount() + 1);
        for (int r = g.rowCount() - 1; r > place; --r)
            for (int c = 0; c < g.colCount(); ++c)
                g.setCell(c, r, g.cell(c, r - 1));
    }
    for (int c = 0; c < g.colCount(); ++c)
        g.setCell(c, place, removed.cells.value(c));
    // The row back in its old place keeps its texts; one that had to go
    // elsewhere (or into an empty log, as its first row) counts from its new
    // neighbour. The row after it counts from it again, as the removal made
    // it count from the row before.
    if (moved || empty)
        RecountRow(place);
    RecountRow(place + 1);
    g.setRow(place);
    if (place < g.topRow())
        g.setTopRow(place);
    else if (place >= g.topRow() + g.visibleRowCount())
        g.setTopRow(place - g.visibleRowCount() + 1);
    g.endUpdate();
    SaveVerbrauch();
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
        if (RemovedRows.empty())
            app().services().beep();
        else
            Undo1Click(Sender);
    }
}

} // namespace voltaris
