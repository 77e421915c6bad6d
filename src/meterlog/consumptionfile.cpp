// Loading and saving StringGrid1 in "Mein_Verbrauch.txt", and following the
// file when another program changes it.
#include "common/errors.h"
#include "common/safefile.h"
#include "core/logfile.h"
#include "core/meterchange.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"

#include <QFile>

namespace voltaris {

namespace {

const QString ReloadedNotice
    = QStringLiteral("Neu aus \"%1\" gelesen!").arg(DataFolder::title(DataFile::Log));

} // namespace

QString TForm1::verbrauchPath() const
{
    return dataFolder().path(DataFile::Log);
}

void TForm1::SaveVerbrauch()
{
    const TStringGrid &g = StringGrid1;
    const int first = g.fixedRows();
    const QByteArray out = consumptionFileBytes(g.rowCount() - first,
        [&g, first](int c, int r) -> const QString & { return g.cell(c, first + r); });

    const QString path = verbrauchPath();
    // A file that another program changed since the handler took it in (in
    // the moment between) is kept like one that could not be read whole: the
    // table lacks what it added.
    const FileStamp now = FileStamp::of(path);
    if (now.exists && now != VerbrauchStamp) {
        VerbrauchUnreadLines = true;
        VerbrauchKeepReason = QStringLiteral(
            "Ein anderes Programm hat sie eben geändert, während dieses sie schrieb.");
    }
    // Lines the last load could not read are kept before the file is
    // replaced by the table, which lacks them.
    QString backup;
    if (VerbrauchUnreadLines && now.exists) {
        QFile old(path);
        if (!old.open(QIODevice::ReadOnly))
            throw EInOutError(QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: %2")
                                  .arg(displayPath(path), fileErrorText(old)));
        const QByteArray bytes = old.readAll();
        old.close();
        QString reason;
        backup = keepBackup(path, bytes, app().services().today(), &reason);
        if (backup.isEmpty())
            throw EInOutError(
                QStringLiteral("Die Sicherung von \"%1\" kann nicht geschrieben werden: %2")
                    .arg(displayPath(path), reason));
    }
    VerbrauchUnreadLines = false;
    writeFileOrThrow(path, out);
    VerbrauchStamp = FileStamp::of(path);
    if (!backup.isEmpty()) {
        QString text = QStringLiteral("\"%1\" konnte nicht ganz in die Tabelle übernommen werden.")
                           .arg(DataFolder::name(DataFile::Log));
        if (!VerbrauchKeepReason.isEmpty())
            text += QLatin1Char(' ') + VerbrauchKeepReason;
        text += QStringLiteral("\n\nDie ganze alte Datei ist gesichert unter:\n")
            + displayPath(backup);
        VerbrauchKeepReason.clear();
        app().messageBox(this, app().Title, text, MsgIcon::Warning);
    }
}

void TForm1::LoadVerbrauch()
{
    TStringGrid &g = StringGrid1;
    ConsumptionRead r = app().services().readConsumption(verbrauchPath(), app().settings());
    VerbrauchStamp = r.stamp;
    if (!r.opened) {
        // A file that is there but cannot be read is not replaced unkept.
        VerbrauchUnreadLines = r.exists;
        VerbrauchKeepReason = r.exists ? QStringLiteral("Sie war nicht lesbar.") : QString();
        return;
    }
    const int firstData = g.fixedRows();
    // The first row read goes into the empty table's blank row.
    const bool intoBlank
        = g.rowCount() - firstData == 1 && g.cell(logcol::Date, firstData).isEmpty();
    if (!r.cells.empty())
        g.setRowsFrom(intoBlank ? firstData : g.rowCount(), std::move(r.cells));
    // A converted file was read whole, but its old form is kept all the
    // same: a guess of the day's and the month's places could be wrong.
    VerbrauchUnreadLines = r.unread || r.converted;
    VerbrauchKeepReason.clear();
    if (r.converted)
        VerbrauchKeepReason = QStringLiteral("Sie war mit anderen Landeseinstellungen geschrieben "
                                             "(Datum oder Zahlen wie 12/09/2026 oder 1200.00); "
                                             "die Tabelle zeigt sie umgewandelt.");
    if (r.unread)
        VerbrauchKeepReason += (VerbrauchKeepReason.isEmpty() ? QString() : QStringLiteral(" "))
            + (r.firstUnreadText.isEmpty()
                    ? QStringLiteral("Ab Zeile %1 fehlen ihre Zeilen in der Tabelle.")
                          .arg(r.firstUnreadLine)
                    : QStringLiteral("Ab Zeile %1 (\"%2\") fehlen ihre Zeilen in der Tabelle.")
                          .arg(r.firstUnreadLine)
                          .arg(r.firstUnreadText));
    if (r.failed)
        return;
    g.setRow(g.rowCount() - 1);
    g.scrollToLast();
}

bool TForm1::FollowVerbrauchFile()
{
    const FileStamp now = FileStamp::of(verbrauchPath());
    if (now == VerbrauchStamp)
        return false;
    // A file removed by someone else: the table stays, and the next change
    // writes it again, so that no reading goes with it.
    if (!now.exists) {
        VerbrauchStamp = now;
        return false;
    }
    TStringGrid &g = StringGrid1;
    g.beginUpdate();
    g.setRowCount(g.fixedRows() + 1);
    for (int c = 0; c < g.colCount(); ++c)
        g.setCell(c, g.fixedRows(), QString());
    g.setRow(g.fixedRows());
    LoadVerbrauch();
    g.endUpdate();
    ShowEstimateOfTable();
    if (Form2)
        Form2->ShowNotice(ReloadedNotice);
    return true;
}

void TForm1::SaveMeterChanges(const MeterChanges &changes)
{
    const QString path = meterChangePath();
    // The caller's replacements came from the file as last read: one that
    // another program wrote since is not written over.
    if (MeterChangeFile.changedOnDisk())
        throw EInOutError(QStringLiteral("Die Datei \"%1\" hat eben ein anderes Programm geändert; "
                                         "sie wird nicht überschrieben. Bitte prüfen Sie die "
                                         "Zählerwechsel in der Tabelle.")
                              .arg(displayPath(path)));
    // What the file holds beyond its readable lines is not written over.
    if (const SideFileRead<MeterChanges> &read = meterChangesRead(); read.badLine)
        throw EInOutError(notWrittenOver(path, read.badLine)
            + QStringLiteral(" Der Zählerwechsel ist darum nicht gespeichert."));
    if (changes.empty() && !MeterChangeFile.stamp().exists)
        return;
    writeFileOrThrow(path, meterChangeFileBytes(changes));
    MeterChangeFile.saved(changes);
}

} // namespace voltaris
