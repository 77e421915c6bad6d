#include "meterlog/meterlogfile.h"

#include "common/errors.h"
#include "common/safefile.h"
#include "core/datafolder.h"

#include <QFile>
#include <QFileInfo>

namespace voltaris {

MeterLogFile::MeterLogFile(MeterLog &log, QString path, QString changesPath)
    : changes(std::move(changesPath), &parseMeterChanges)
    , log_(log)
    , path_(std::move(path))
{ }

void MeterLogFile::setPaths(QString path, QString changesPath)
{
    path_ = std::move(path);
    stamp = FileStamp();
    changes.setPath(std::move(changesPath));
}

bool MeterLogFile::load(ConsumptionRead r)
{
    stamp = r.stamp;
    if (!r.opened) {
        // A file that is there but cannot be read is not replaced unkept.
        unreadLines = r.exists;
        keepReason = r.exists ? QStringLiteral("Sie war nicht lesbar.") : QString();
        return false;
    }
    TextRows &rows = log_.table();
    // The first row read goes into the empty log's blank row.
    const bool intoBlank = rows.rowCount() == 1 && rows.cell(logcol::Date, 0).isEmpty();
    if (!r.cells.empty())
        rows.setRowsFrom(intoBlank ? 0 : rows.rowCount(), std::move(r.cells));
    // A converted file was read whole, but its old form is kept all the
    // same: a guess of the day's and the month's places could be wrong.
    unreadLines = r.unread || r.converted;
    keepReason.clear();
    if (r.converted)
        keepReason = QStringLiteral("Sie war mit anderen Landeseinstellungen geschrieben "
                                    "(Datum oder Zahlen wie 12/09/2026 oder 1200.00); "
                                    "die Tabelle zeigt sie umgewandelt.");
    if (r.unread)
        keepReason += (keepReason.isEmpty() ? QString() : QStringLiteral(" "))
            + (r.firstUnreadText.isEmpty()
                    ? QStringLiteral("Ab Zeile %1 fehlen ihre Zeilen in der Tabelle.")
                          .arg(r.firstUnreadLine)
                    : QStringLiteral("Ab Zeile %1 (\"%2\") fehlen ihre Zeilen in der Tabelle.")
                          .arg(r.firstUnreadLine)
                          .arg(r.firstUnreadText));
    return !r.failed;
}

bool MeterLogFile::changedOnDisk()
{
    const FileStamp now = FileStamp::of(path_);
    if (now == stamp)
        return false;
    if (!now.exists) {
        stamp = now;
        return false;
    }
    return true;
}

void MeterLogFile::clear()
{
    TextRows &rows = log_.table();
    rows.setRowCount(1);
    for (int c = 0; c < rows.columns(); ++c)
        rows.setCell(c, 0, QString());
}

bool MeterLogFile::follow(const FormatSettings &s)
{
    if (!changedOnDisk())
        return false;
    clear();
    read(s);
    return true;
}

QString MeterLogFile::save(const QDate &today)
{
    const TextRows &rows = log_.table();
    const QByteArray out = consumptionFileBytes(
        rows.rowCount(), [&rows](int c, int r) -> const QString & { return rows.cell(c, r); });
    // A file that another program changed since it was taken in (in the
    // moment between) is kept like one that could not be read whole: the
    // log lacks what it added.
    const FileStamp now = FileStamp::of(path_);
    if (now.exists && now != stamp) {
        unreadLines = true;
        keepReason = QStringLiteral(
            "Ein anderes Programm hat sie eben geändert, während dieses sie schrieb.");
    }
    // Lines the last read could not take in are kept before the file is
    // replaced by the log, which lacks them.
    QString backup;
    if (unreadLines && now.exists) {
        QFile old(path_);
        if (!old.open(QIODevice::ReadOnly))
            throw EInOutError(QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: %2")
                                  .arg(displayPath(path_), fileErrorText(old)));
        const QByteArray bytes = old.readAll();
        old.close();
        QString reason;
        backup = keepBackup(path_, bytes, today, &reason);
        if (backup.isEmpty())
            throw EInOutError(
                QStringLiteral("Die Sicherung von \"%1\" kann nicht geschrieben werden: %2")
                    .arg(displayPath(path_), reason));
    }
    unreadLines = false;
    writeFileOrThrow(path_, out);
    stamp = FileStamp::of(path_);
    if (backup.isEmpty())
        return {};
    QString text = QStringLiteral("\"%1\" konnte nicht ganz in die Tabelle übernommen werden.")
                       .arg(QFileInfo(path_).fileName());
    if (!keepReason.isEmpty())
        text += QLatin1Char(' ') + keepReason;
    text += QStringLiteral("\n\nDie ganze alte Datei ist gesichert unter:\n") + displayPath(backup);
    keepReason.clear();
    return text;
}

const MeterChanges &MeterLogFile::replacements()
{
    log_.setChanges(changes.value());
    return log_.changes();
}

void MeterLogFile::saveChanges(const MeterChanges &list)
{
    const QString &path = changes.path();
    // The caller's replacements came from the file as last read: one that
    // another program wrote since is not written over.
    if (changes.changedOnDisk())
        throw EInOutError(QStringLiteral("Die Datei \"%1\" hat eben ein anderes Programm geändert; "
                                         "sie wird nicht überschrieben. Bitte prüfen Sie die "
                                         "Zählerwechsel in der Tabelle.")
                              .arg(displayPath(path)));
    // What the file holds beyond its readable lines is not written over.
    if (const SideFileRead<MeterChanges> &read = changes.read(); read.badLine)
        throw EInOutError(notWrittenOver(path, read.badLine)
            + QStringLiteral(" Der Zählerwechsel ist darum nicht gespeichert."));
    if (list.empty() && !changes.stamp().exists)
        return;
    writeFileOrThrow(path, meterChangeFileBytes(list));
    changes.saved(list);
    log_.setChanges(list);
}

std::optional<UndoOutcome> MeterLogFile::undo(const FormatSettings &s, QChar separator)
{
    if (undoSteps.empty())
        return std::nullopt;
    const LogStep step = std::move(undoSteps.back());
    undoSteps.pop_back();
    replacements();
    UndoOutcome out = log_.undo(step, s, separator);
    if (out.changesDiffer)
        changes.assume(out.changes);
    return out;
}

} // namespace voltaris
