// The file part of one meter's log: the file its rows are read from and
// saved to, the side file of its meter replacements, what the last read left
// out and the backup that keeps it, and the steps the undo takes back. Each
// log has its own; one never reads or writes another's files.
#pragma once

#include "common/filestamp.h"
#include "core/logfile.h"
#include "core/meterlogmodel.h"
#include "core/sidefile.h"

#include <optional>

namespace voltaris {

class MeterLogFile {
public:
    MeterLogFile(MeterLog &log, QString path, QString changesPath);
    MeterLogFile(const MeterLogFile &) = delete;
    MeterLogFile &operator=(const MeterLogFile &) = delete;

    MeterLog &log() const { return log_; }
    const QString &path() const { return path_; }
    // Other files (of another data folder): the next read reads them.
    void setPaths(QString path, QString changesPath);

    // --- the log's file ---
    // Takes in a read of the file: its rows go after the log's, the first
    // into the blank row of an empty log. False when there was nothing to
    // read or the read stopped before the end.
    bool load(ConsumptionRead read);
    bool read(const FormatSettings &s) { return load(readConsumptionFile(path_, s)); }
    // Whether another program changed or replaced the file since it was
    // last read or written. A file removed since is no change: the log
    // stays, and the next save writes it again, so that no reading goes.
    bool changedOnDisk();
    // The log back to its one blank row, for reading the file again.
    void clear();
    // As changedOnDisk, and then the file read again; true when it was.
    bool follow(const FormatSettings &s);
    // Writes the log's rows through the safe writer. The file as it was is
    // kept first in a backup of its own when the last read did not take in
    // all of it, or another program changed it since: the notice says why
    // and where (empty without a backup). Throws EInOutError when the backup
    // or the file cannot be written.
    QString save(const QDate &today);

    FileStamp stamp; // the file as last read or written
    // Whether the log holds its file yet: a further meter's is read only
    // when it is first needed.
    bool loaded = false;
    // Set when the last read stopped before the end of the file, or had to
    // convert it from other locale settings: the next save keeps that file
    // in a backup of its own before replacing it, and tells keepReason.
    bool unreadLines = false;
    QString keepReason;

    // --- the replacements' side file ---
    SideFile<MeterChanges> changes;
    // The replacements as their file holds them now (or as a change under
    // way assumes them); the log counts across them from now on.
    const MeterChanges &replacements();
    // Writes them. Throws EInOutError when another program changed the file
    // since it was read, or a line of it cannot be read.
    void saveChanges(const MeterChanges &list);

    // --- the undo ---
    // The steps of this log, the next to undo at the back.
    std::vector<LogStep> undoSteps;
    // Takes back the last step in the log and assumes the replacements it
    // leaves; none without a step. Neither file is written yet.
    std::optional<UndoOutcome> undo(const FormatSettings &s, QChar separator);

private:
    MeterLog &log_;
    QString path_;
};

} // namespace voltaris
