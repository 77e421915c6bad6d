#include "core/meterlogmodel.h"

#include "common/dates.h"
#include "common/numtext.h"

#include <QSet>
#include <algorithm>

namespace voltaris {

namespace {

bool sameChanges(const MeterChanges &a, const MeterChanges &b)
{
    return std::equal(
        a.begin(), a.end(), b.begin(), b.end(), [](const MeterChange &x, const MeterChange &y) {
            return x.date == y.date && x.oldFinal == y.oldFinal && x.newFirst == y.newFirst
                && x.number == y.number;
        });
}

QString rowKey(const QString &date, const QString &reading)
{
    return date.trimmed() + QLatin1Char('|') + reading.trimmed();
}

} // namespace

MeterLog::MeterLog()
    : rows_(logcol::Count)
{
    rows_.setRowCount(1);
}

LogRows MeterLog::rows() const
{
    LogRows rows;
    rows.reserve(rowCount());
    for (int r = 0; r < rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < logcol::Count; ++c)
            row << cell(c, r);
        rows << row;
    }
    return rows;
}

bool MeterLog::isBlankRow(int r) const
{
    for (int c = 0; c < rows_.columns(); ++c)
        if (!isBlankText(cell(c, r)))
            return false;
    return true;
}

QDate MeterLog::dateOf(int r, const FormatSettings &s) const
{
    return cellDate(cell(logcol::Date, r), s);
}

long double MeterLog::readingOf(int r, QChar sep) const
{
    long double x = 0;
    return tryStrToFloat(cell(logcol::Reading, r), sep, x) ? x : 0.0L;
}

int MeterLog::lastFilledRow() const
{
    for (int r = rowCount() - 1; r >= 0; --r)
        if (!isBlankRow(r))
            return r;
    return -1;
}

int MeterLog::placeFor(int row, const QDate &date, const FormatSettings &s) const
{
    const int end = rowCount();
    int place = std::clamp(row, 0, end);
    if (!date.isValid())
        return place;
    const QDate above = place > 0 ? dateOf(place - 1, s) : QDate();
    const QDate below = place < end ? dateOf(place, s) : QDate();
    if ((!above.isValid() || above < date) && (!below.isValid() || date < below))
        return place;
    place = end;
    for (int r = 0; r < end; ++r) {
        const QDate d = dateOf(r, s);
        if (d == date)
            return -1;
        if (d.isValid() && d > date) {
            place = r;
            break;
        }
    }
    return place;
}

std::vector<Reading> MeterLog::readings(const FormatSettings &s) const
{
    return readingsOf(rows(), s);
}

std::vector<Reading> MeterLog::continuousReadings(const FormatSettings &s) const
{
    return acrossMeterChanges(readings(s), changes_);
}

void MeterLog::setChanges(const MeterChanges &changes)
{
    if (sameChanges(changes, changes_))
        return;
    changes_ = changes;
    rows_.notify();
}

void MeterLog::recountRow(int row, const FormatSettings &s, QChar sep)
{
    if (row < 0 || row >= rowCount() || isBlankRow(row))
        return;
    if (row == 0) {
        rows_.setCell(logcol::Days, row, QStringLiteral("0"));
        rows_.setCell(logcol::PerDay, row, QStringLiteral("0"));
        return;
    }
    const QDate from = dateOf(row - 1, s), to = dateOf(row, s);
    const qint64 days = from.isValid() && to.isValid() ? from.daysTo(to) : 0;
    if (days <= 0)
        return;
    // A replacement between the two rows: the new meter's reading counts
    // what the old one had counted on top, so the row of a replacement day
    // shows the old meter's last interval.
    const long double across
        = changes_.empty() ? 0.0L : meterOffset(changes_, to) - meterOffset(changes_, from);
    rows_.setCell(logcol::Days, row, QString::number(days));
    rows_.setCell(logcol::PerDay, row,
        formatValue((readingOf(row, sep) + across - readingOf(row - 1, sep)) / days, sep));
}

std::optional<long double> MeterLog::averageUpTo(
    const QDate &date, long double reading, const FormatSettings &s, QChar sep) const
{
    const QDate first = dateOf(0, s);
    const qint64 d = first.isValid() ? first.daysTo(date) : 0;
    if (d == 0)
        return std::nullopt;
    // Across a meter replacement, the readings count as one meter would.
    return changes_.empty() ? (reading - readingOf(0, sep)) / d
                            : (reading + meterOffset(changes_, date)
                                  - (readingOf(0, sep) + meterOffset(changes_, first)))
            / d;
}

QStringList MeterLog::doubtsAbout(const Reading &candidate, const MeterChanges &changes,
    const FormatSettings &s, int leaveOut) const
{
    LogRows others = rows();
    if (leaveOut >= 0 && leaveOut < others.size())
        others.removeAt(leaveOut);
    return readingDoubts(readingsOf(others, s), changes, candidate);
}

QStringList MeterLog::finalReadingDoubtsAbout(
    const Reading &oldFinal, const MeterChanges &changes, const FormatSettings &s) const
{
    return finalReadingDoubts(readings(s), changes, oldFinal);
}

int MeterLog::putRowAt(
    int row, const QStringList &cells, bool recount, const FormatSettings &s, QChar sep)
{
    const bool empty = rowCount() == 1 && isBlankRow(0);
    int place = 0;
    if (empty) {
        for (int c = 0; c < rows_.columns(); ++c)
            rows_.setCell(c, 0, cells.value(c));
    } else {
        place = placeFor(row, cellDate(cells.value(logcol::Date), s), s);
        if (place < 0)
            return -1;
        rows_.insertRow(place, cells);
    }
    if (recount)
        recountRow(place, s, sep);
    // The row after it counts from it again.
    recountRow(place + 1, s, sep);
    return place;
}

int MeterLog::findRow(const QStringList &cells) const
{
    for (int r = 0; r < rowCount(); ++r) {
        int c = 0;
        while (c < rows_.columns() && cell(c, r) == cells.value(c))
            ++c;
        if (c == rows_.columns())
            return r;
    }
    return -1;
}

int MeterLog::addReading(const QDate &date, long double reading, const FormatSettings &s, QChar sep)
{
    const int previous = lastFilledRow();
    const QDate lastDate = previous >= 0 ? dateOf(previous, s) : QDate();
    int target = rowCount() - 1;
    if (!isBlankRow(target)) {
        rows_.setRowCount(rowCount() + 1);
        ++target;
    }
    rows_.setCell(logcol::Date, target, dateToStr(date, s));
    rows_.setCell(logcol::Reading, target, formatValue(reading, sep));
    if (!lastDate.isValid()) {
        rows_.setCell(logcol::Days, target, QStringLiteral("0"));
        rows_.setCell(logcol::PerDay, target, QStringLiteral("0"));
    } else {
        const qint64 days = lastDate.daysTo(date);
        rows_.setCell(logcol::Days, target, QString::number(days));
        const long double perDay = (readingOf(target, sep) - readingOf(previous, sep)) / days;
        rows_.setCell(logcol::PerDay, target, formatValue(perDay, sep));
    }
    return target;
}

void MeterLog::removeRow(int r, const FormatSettings &s, QChar sep)
{
    for (int c = 0; c < rows_.columns(); ++c)
        rows_.setCell(c, r, QString());
    if (rowCount() <= 1)
        return;
    rows_.shiftRowsUp(r);
    rows_.setRowCount(rowCount() - 1);
    // No row refers to a reading that is gone.
    recountRow(r, s, sep);
}

RemovedRow MeterLog::removedRow(int r) const
{
    return { row(r), r > 0 ? row(r - 1) : QStringList() };
}

int MeterLog::putBack(const RemovedRow &removed, const FormatSettings &s, QChar sep)
{
    const bool empty = rowCount() == 1 && isBlankRow(0);
    // Where it stood: after the row it followed, or at the top.
    int stood = removed.after.isEmpty() ? 0 : -1;
    if (!removed.after.isEmpty()) {
        const QString key
            = rowKey(removed.after.value(logcol::Date), removed.after.value(logcol::Reading));
        for (int r = 0; r < rowCount() && stood < 0; ++r)
            if (rowKey(cell(logcol::Date, r), cell(logcol::Reading, r)) == key)
                stood = r + 1;
    }
    const int place = putRowAt(stood < 0 ? rowCount() : stood, removed.cells, false, s, sep);
    // The row back in its old place keeps its texts; one that had to go
    // elsewhere (or into an empty log, as its first row) counts from its new
    // neighbour.
    if (place >= 0 && (empty || place != stood))
        recountRow(place, s, sep);
    return place;
}

UndoOutcome MeterLog::undo(const LogStep &step, const FormatSettings &s, QChar sep)
{
    UndoOutcome out;
    out.changes = changes_;
    MeterChanges &changes = out.changes;
    if (step.changeAdded)
        std::erase_if(
            changes, [&](const MeterChange &c) { return c.date == step.changeAdded->date; });
    for (const MeterChange &added : step.changesAdded)
        std::erase_if(changes, [&](const MeterChange &c) { return c.date == added.date; });
    if (step.changeRemoved && !meterChangeOn(changes, step.changeRemoved->date)) {
        changes.push_back(*step.changeRemoved);
        std::sort(changes.begin(), changes.end(),
            [](const MeterChange &a, const MeterChange &b) { return a.date < b.date; });
    }
    out.changesDiffer = step.changeAdded || step.changeRemoved || !step.changesAdded.empty();
    if (out.changesDiffer)
        setChanges(changes);
    takeOutRows(step.added, s, sep);
    // Put back in the order they were taken.
    for (auto it = step.removed.rbegin(); it != step.removed.rend(); ++it) {
        const int place = putBack(*it, s, sep);
        if (place < 0)
            out.clashes << it->cells.value(logcol::Date).trimmed();
        else
            out.placed.push_back(place);
    }
    return out;
}

bool MeterLog::takeOutRows(const LogRows &rows, const FormatSettings &s, QChar sep)
{
    if (rows.isEmpty())
        return true;
    QSet<QString> wanted;
    for (const QStringList &r : rows)
        wanted.insert(rowKey(r.value(logcol::Date), r.value(logcol::Reading)));
    std::vector<QString> kept;
    std::vector<int> recount; // the rows (new numbers) that followed one taken out
    int keptRows = 0, found = 0;
    bool afterTaken = false;
    for (int r = 0; r < rowCount(); ++r) {
        if (wanted.remove(rowKey(cell(logcol::Date, r), cell(logcol::Reading, r)))) {
            ++found;
            afterTaken = true;
            continue;
        }
        for (int c = 0; c < rows_.columns(); ++c)
            kept.push_back(cell(c, r));
        if (afterTaken)
            recount.push_back(keptRows);
        afterTaken = false;
        ++keptRows;
    }
    // An empty log keeps its one blank row, as at the start.
    rows_.setRowCount(std::max(keptRows, 1));
    if (keptRows == 0)
        for (int c = 0; c < rows_.columns(); ++c)
            rows_.setCell(c, 0, QString());
    else
        rows_.setRowsFrom(0, std::move(kept));
    for (int r : recount)
        recountRow(r, s, sep);
    return found == rows.size();
}

std::vector<int> MeterLog::mergeRows(
    const std::vector<std::pair<QDate, QStringList>> &incoming, const FormatSettings &s, QChar sep)
{
    std::vector<QString> texts;
    std::vector<int> placed;
    auto next = incoming.begin();
    int count = 0;
    const int cols = rows_.columns();
    const auto put = [&](const QStringList &cells) {
        for (int c = 0; c < cols; ++c)
            texts.push_back(cells.value(c));
        ++count;
    };
    const auto putUpTo = [&](const QDate &until) {
        for (; next != incoming.end() && (!until.isValid() || next->first < until); ++next) {
            placed.push_back(count);
            put(next->second);
        }
    };
    for (int r = 0; r < rowCount(); ++r) {
        if (isBlankRow(r))
            continue;
        const QDate d = dateOf(r, s);
        if (d.isValid())
            putUpTo(d);
        put(row(r));
    }
    putUpTo(QDate());
    rows_.setRowCount(std::max(count, 1));
    if (count > 0)
        rows_.setRowsFrom(0, std::move(texts));
    for (int r : placed) {
        recountRow(r, s, sep);
        recountRow(r + 1, s, sep);
    }
    return placed;
}

} // namespace voltaris
