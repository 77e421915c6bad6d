// The log of one meter: its rows as the file holds them (texts, as the table
// shows them), the meter replacements, and what is computed on them. The
// window's table and every view show one such log and follow its changes;
// the file it is read from and saved to is handled above this layer.
#pragma once

#include "core/logcheck.h"
#include "core/logdata.h"
#include "core/meterchange.h"
#include "core/textrows.h"

#include <optional>
#include <utility>

namespace voltaris {

// A row taken out of the log, with the row it followed (its texts; none for
// the first row): it is put back after that row, found by its date and
// reading, however the rows around it were numbered meanwhile.
struct RemovedRow {
    QStringList cells, after;
};

// One change of a log that the undo takes back: the rows it put in (taken
// out again, found by date and reading), the rows it took out (put back
// after the rows they followed), and the meter replacements it recorded or
// removed.
struct LogStep {
    QString caption; // of the undo item while this step is the next to undo
    LogRows added;
    std::vector<RemovedRow> removed;
    std::optional<MeterChange> changeAdded, changeRemoved;
    MeterChanges changesAdded = {}; // more than one, from an import
};

// What taking back a step did.
struct UndoOutcome {
    MeterChanges changes; // the replacements after it
    bool changesDiffer = false; // it recorded or removed one
    std::vector<int> placed; // the rows put back, in the order put
    QStringList clashes; // the dates of rows not put back: that day is taken
};

class MeterLog {
public:
    // One blank row, as the table of an empty log shows it.
    MeterLog();
    MeterLog(const MeterLog &) = delete;
    MeterLog &operator=(const MeterLog &) = delete;

    // The rows' storage, which the table reads and writes.
    TextRows &table() { return rows_; }
    const TextRows &table() const { return rows_; }

    // Rows count from 0, the first data row.
    int rowCount() const { return rows_.rowCount(); }
    const QString &cell(int col, int row) const { return rows_.cell(col, row); }
    QStringList row(int r) const { return rows_.row(r); }
    LogRows rows() const;
    bool isBlankRow(int r) const;
    // The row's date; invalid when its cell holds none.
    QDate dateOf(int r, const FormatSettings &s) const;
    // The row's reading; a cell that is no number counts as 0.
    long double readingOf(int r, QChar separator) const;
    // The last row that holds a reading: the last row, or, when a load that
    // stopped left it blank, the last non-blank one above it; -1 when none.
    int lastFilledRow() const;
    // Where a row of `date` goes: `row` while the days around it still fit
    // there, else the place its day has among the rows; -1 when a row of
    // that day is there. An invalid date goes to `row`.
    int placeFor(int row, const QDate &date, const FormatSettings &s) const;
    // The readings of the rows, and as one meter would have counted them.
    std::vector<Reading> readings(const FormatSettings &s) const;
    std::vector<Reading> continuousReadings(const FormatSettings &s) const;

    // The meter replacements the rows count across.
    const MeterChanges &changes() const { return changes_; }
    void setChanges(const MeterChanges &changes);

    // Counts the days and kWh per day of a data row from the row above it
    // ("0" and "0" in the first row); a blank row, or one whose days cannot
    // be counted, keeps its texts.
    void recountRow(int row, const FormatSettings &s, QChar separator);
    // The kWh per day from the first row up to `date` at `reading`, across
    // the replacements; none when `date` is the first row's day.
    std::optional<long double> averageUpTo(
        const QDate &date, long double reading, const FormatSettings &s, QChar separator) const;
    // The doubts about a reading among the rows (leaving out row
    // `leaveOut`, the one it replaces), with the replacements as they will
    // be; and about the last reading of a meter replaced on its day.
    QStringList doubtsAbout(const Reading &candidate, const MeterChanges &changes,
        const FormatSettings &s, int leaveOut = -1) const;
    QStringList finalReadingDoubtsAbout(
        const Reading &oldFinal, const MeterChanges &changes, const FormatSettings &s) const;

    // Puts a row back where it stood while its day fits there, else where
    // its day belongs; -1 (and nothing changed) when a row of that day is
    // there. `recount`: its days and kWh per day count from the row above;
    // the row after it counts from it again.
    int putRowAt(
        int row, const QStringList &cells, bool recount, const FormatSettings &s, QChar separator);
    // The first row with these texts; -1 when none.
    int findRow(const QStringList &cells) const;
    // A new reading after the last: into the blank last row (of an empty
    // log, or what a stopped read left), else into a new row, so that no
    // row is overwritten; its days and kWh per day count from the last row
    // that holds a reading ("0" and "0" without one). Its row.
    int addReading(
        const QDate &date, long double reading, const FormatSettings &s, QChar separator);
    // Takes out row `r`; the row that takes its place counts from its new
    // predecessor. The last row left is emptied, not taken out.
    void removeRow(int r, const FormatSettings &s, QChar separator);
    // Row `r` as taken out now.
    RemovedRow removedRow(int r) const;
    // Puts a row back after the row it followed while its day fits there,
    // else where its day belongs (the row then counts from its new
    // neighbour); -1 (and nothing changed) when a row of that day is there.
    int putBack(const RemovedRow &row, const FormatSettings &s, QChar separator);
    // Takes back a step: the replacements first, so that the rows count
    // across them as they did, then its rows.
    UndoOutcome undo(const LogStep &step, const FormatSettings &s, QChar separator);
    // Takes out the rows with these dates and readings; each row after one
    // counts from its new neighbour. False when one of them is not there.
    bool takeOutRows(const LogRows &rows, const FormatSettings &s, QChar separator);
    // Merges new rows (in date order, each with its date) with the rows by
    // date: rows without a date keep their places, a blank row goes. Each
    // new row and the one after it count again. The new rows' places.
    std::vector<int> mergeRows(const std::vector<std::pair<QDate, QStringList>> &incoming,
        const FormatSettings &s, QChar separator);

    // Called after each change of the rows or the replacements.
    int addObserver(std::function<void()> observer) const
    {
        return rows_.addObserver(std::move(observer));
    }
    void removeObserver(int id) const { rows_.removeObserver(id); }

private:
    TextRows rows_;
    MeterChanges changes_;
};

} // namespace voltaris
