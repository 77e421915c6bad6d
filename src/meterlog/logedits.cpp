// The log over the years, from the grid's popup menu: a past reading
// corrected or added where its day belongs, a meter replacement, readings
// imported from another file. Each change is saved at once and is one step
// of the undo.
#include "common/dates.h"
#include "common/numtext.h"
#include "common/safefile.h"
#include "core/logcheck.h"
#include "core/logimport.h"
#include "meterlog/logtable.h"
#include "ui/Unit1.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSet>
#include <algorithm>
#include <cmath>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace voltaris {

namespace {

const QString NothingChanged = QStringLiteral("Es wurde nichts geändert.");

// Larger files are no table of readings. A file is read in blocks, so the
// bound is no matter of memory: a smart meter's export of 15-minute values
// over decades, or its UTF-16 form, fits.
constexpr qint64 MaxImportBytes = 256 * 1024 * 1024;
// A replacement file beside an imported one larger than this is none.
constexpr qint64 MaxChangeFileBytes = 1024 * 1024;

std::unique_ptr<TMenuItem> menuItem(TPopupMenu &menu, const QString &name, const QString &caption)
{
    auto item = std::make_unique<TMenuItem>(&menu, name);
    item->setText(caption);
    return item;
}

QString day(const QDate &d, const FormatSettings &s)
{
    return dateToStr(d, s);
}

void sortByDate(MeterChanges &changes)
{
    std::sort(changes.begin(), changes.end(),
        [](const MeterChange &a, const MeterChange &b) { return a.date < b.date; });
}

// Why `date` cannot be the date of the row: it must stay after the row above
// and before the row below. Empty when it fits.
QString outOfPlace(const MeterLog &log, int row, const QDate &date, const FormatSettings &s)
{
    const QDate above = row > 0 ? log.dateOf(row - 1, s) : QDate();
    const QDate below = row + 1 < log.rowCount() ? log.dateOf(row + 1, s) : QDate();
    if ((!above.isValid() || date > above) && (!below.isValid() || date < below))
        return {};
    if (above.isValid() && below.isValid())
        return QStringLiteral("Das Datum muss nach dem %1 und vor dem %2 liegen, zwischen den "
                              "Zeilen darüber und darunter.")
            .arg(day(above, s), day(below, s));
    if (above.isValid())
        return QStringLiteral("Das Datum muss nach dem %1 liegen, dem Datum der Zeile darüber.")
            .arg(day(above, s));
    return QStringLiteral("Das Datum muss vor dem %1 liegen, dem Datum der Zeile darunter.")
        .arg(day(below, s));
}

// A day after today is more often a typing error than a reading; its entry
// would then refuse today's reading as entered already.
QString afterToday(const QDate &date, const QDate &today, const FormatSettings &s)
{
    if (!today.isValid() || date <= today)
        return {};
    return QStringLiteral("Der %1 liegt nach heute (%2). Trotzdem übernehmen?")
        .arg(day(date, s), day(today, s));
}

// Whether the user takes a reading in spite of its doubts; no question
// without a doubt.
bool takenDespite(TForm1 &form, const QStringList &doubts)
{
    return doubts.isEmpty()
        || form.app().services().askYesNo(&form, form.app().Title,
               doubts.join(QLatin1Char('\n')) + QStringLiteral("\n\nTrotzdem übernehmen?"))
        == MsgAnswer::Yes;
}

// "1.750.000"
QString grouped(qint64 n)
{
    return QLocale(QLocale::German, QLocale::Germany).toString(n);
}

// "3 Zeilen werden übernommen, 1 übersprungen."
QString importSummary(int added, int skipped)
{
    const QString take = added == 1
        ? QStringLiteral("1 Zeile wird übernommen")
        : QStringLiteral("%1 Zeilen werden übernommen").arg(grouped(added));
    return QStringLiteral("%1, %2 übersprungen.").arg(take, grouped(skipped));
}

// The preview of planned rows: each row with the date it will store (the
// text as found when it is none), the summary and the notes under it.
void fillPreview(const std::vector<ImportRow> &rows, const QStringList &notes,
    const FormatSettings &s, QList<QStringList> &texts, QList<bool> &added, QString &summary)
{
    int count = 0, later = 0, changes = 0;
    texts.reserve(qsizetype(rows.size()));
    added.reserve(qsizetype(rows.size()));
    for (const ImportRow &r : rows) {
        const bool in = r.fate == ImportRow::Fate::Added;
        texts << QStringList { QString::number(r.line),
            r.date.isValid() ? dateToStr(r.date, s) : r.dateText, r.readingText, fateText(r) };
        added << in;
        count += in;
        later += in && r.afterToday;
        changes += in && r.change.has_value();
    }
    QStringList lines = notes;
    lines << importSummary(count, int(rows.size()) - count);
    if (changes > 0)
        lines.back() += changes == 1
            ? QStringLiteral(" Ein Zählerwechsel wird eingetragen.")
            : QStringLiteral(" %1 Zählerwechsel werden eingetragen.").arg(changes);
    if (later > 0)
        lines << (later == 1 ? QStringLiteral("1 Zeile liegt nach heute; sie wird erst nach einer "
                                              "Rückfrage übernommen.")
                             : QStringLiteral("%1 Zeilen liegen nach heute; sie werden erst nach "
                                              "einer Rückfrage übernommen.")
                                   .arg(later));
    summary = lines.join(QLatin1Char('\n'));
}

// A copy of the log comes with its replacements in their file beside it:
// they go to the rows of their days. Notes for the preview on what could not
// be used.
QStringList besideChanges(ImportParse &parse, const QString &path, const FormatSettings &s)
{
    QStringList notes;
    const QString beside = DataFolder(QFileInfo(path).absolutePath()).path(DataFile::MeterChanges);
    QFile file(beside);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return notes;
    const SideFileRead<MeterChanges> changes = parseMeterChanges(file.read(MaxChangeFileBytes));
    if (changes.badLine)
        notes << QStringLiteral("\"%1\" neben der Datei kann ab Zeile %2 nicht gelesen werden; die "
                                "Zählerwechsel ab dort fehlen.")
                     .arg(DataFolder::name(DataFile::MeterChanges))
                     .arg(changes.badLine);
    QStringList days;
    for (const MeterChange &c : attachMeterChanges(parse.rows, changes.value))
        days << day(c.date, s);
    if (!days.isEmpty())
        notes << QStringLiteral("Zählerwechsel aus \"%1\" ohne ihre Zeile in der Datei, nicht "
                                "übernommen: %2.")
                     .arg(
                         DataFolder::name(DataFile::MeterChanges), days.join(QStringLiteral(", ")));
    return notes;
}

// Freed blocks of the heap go back to the system; glibc keeps them
// otherwise, and a large import would leave its memory with the process.
void releaseFreeMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

} // namespace

void TForm1::designLogEdits()
{
    N3 = menuItem(PopupMenuTable, QStringLiteral("N3"), QStringLiteral("-"));
    Korrektur1 = menuItem(
        PopupMenuTable, QStringLiteral("Korrektur1"), QStringLiteral("Ablesung korrigieren…"));
    Nachtrag1 = menuItem(
        PopupMenuTable, QStringLiteral("Nachtrag1"), QStringLiteral("Ablesung nachtragen…"));
    Zaehlerwechsel1 = menuItem(
        PopupMenuTable, QStringLiteral("Zaehlerwechsel1"), QStringLiteral("Zählerwechsel…"));
    Import1 = menuItem(
        PopupMenuTable, QStringLiteral("Import1"), QStringLiteral("Ablesungen importieren…"));
    Korrektur1->OnClick = [this](TControl &s) { Korrektur1Click(s); };
    Nachtrag1->OnClick = [this](TControl &s) { Nachtrag1Click(s); };
    Zaehlerwechsel1->OnClick = [this](TControl &s) { Zaehlerwechsel1Click(s); };
    Import1->OnClick = [this](TControl &s) { Import1Click(s); };
}

void TForm1::Korrektur1Click(TControl &)
{
    if (!FollowMarkedRow(NothingChanged))
        return;
    const FormatSettings &s = app().settings();
    TStringGrid &g = StringGrid1;
    const QStringList old = rowOf(g, g.row());
    ReadingInput input { QStringLiteral("Ablesung korrigieren"),
        cellDate(old.value(logcol::Date), s), 0 };
    if (isBlankRow(old) || !input.date.isValid()
        || !tryStrToFloat(old.value(logcol::Reading).trimmed(), separator(), input.reading)) {
        app().messageBox(this, app().Title,
            QStringLiteral("Die markierte Zeile enthält keinen Zählerstand zum Korrigieren."),
            MsgIcon::None);
        return;
    }
    // The dialog shows one decimal: a reading of hundredths (from an import
    // or an older file) that the user left as shown keeps its hundredths.
    const long double exact = input.reading;
    // A date out of place, or after today where it was not, is answered
    // while the dialog is open, so that the typed values stay to be mended.
    const QDate oldDate = input.date, today = app().services().today();
    const int marked = g.row();
    input.check = [&](const ReadingInput &answer) {
        return ReadingCheck { outOfPlace(shownLog(), marked - g.fixedRows(), answer.date, s),
            answer.date != oldDate ? afterToday(answer.date, today, s) : QString() };
    };
    if (!app().services().askReading(this, input))
        return;
    if (input.reading == std::round(exact * 10) / 10)
        input.reading = exact;
    // The file may have changed while the dialog was open.
    if (!FollowMarkedRow(NothingChanged))
        return;
    const int row = g.row();
    // The row as it is before the correction (the marked row is found as it
    // was), with the row it follows, for the undo.
    const RemovedRow oldRow = shownLog().removedRow(row - g.fixedRows());
    if (const QString text = outOfPlace(shownLog(), row - g.fixedRows(), input.date, s);
        !text.isEmpty()) {
        app().messageBox(this, app().Title, text, MsgIcon::None);
        return;
    }
    const QString dateText = dateToStr(input.date, s);
    const QString readingText = formatValue(input.reading, separator());
    if (dateText == old.value(logcol::Date) && readingText == old.value(logcol::Reading))
        return;

    // A replacement day's row is the new meter's first reading: the
    // replacement moves with it.
    MeterChanges changes = meterChanges();
    const QDate oldDay = cellDate(old.value(logcol::Date), s);
    auto change = std::find_if(
        changes.begin(), changes.end(), [&](const MeterChange &c) { return c.date == oldDay; });
    const bool ofChange = change != changes.end();
    const std::optional<MeterChange> oldChange
        = ofChange ? std::optional<MeterChange>(*change) : std::nullopt;
    if (ofChange) {
        change->date = input.date;
        change->newFirst = input.reading;
    }
    if (!takenDespite(*this,
            shownLog().doubtsAbout(
                Reading { input.date, input.reading }, changes, s, row - g.fixedRows())))
        return;

    if (ofChange)
        meterChangeFile().assume(changes);
    g.beginUpdate();
    g.setCell(logcol::Date, row, dateText);
    g.setCell(logcol::Reading, row, readingText);
    RecountRow(row);
    RecountRow(row + 1);
    g.endUpdate();
    SaveVerbrauch();
    LogStep step { QStringLiteral("Rückgängig: Korrektur"), { rowOf(g, row) }, { oldRow }, {}, {} };
    if (ofChange) {
        SaveMeterChanges(changes);
        step.changeAdded = *change;
        step.changeRemoved = oldChange;
    }
    PushUndo(std::move(step));
    ShowEstimateOfTable();
}

void TForm1::Nachtrag1Click(TControl &)
{
    FollowVerbrauchFile();
    const FormatSettings &s = app().settings();
    TStringGrid &g = StringGrid1;
    const QDate today = app().services().today();
    // Why a day cannot be added: the table holds it already.
    const MeterLog &log = shownLog();
    const auto taken = [&](const QDate &date) -> QString {
        if (log.placeFor(log.rowCount(), date, s) >= 0)
            return {};
        int row = 0;
        while (row < log.rowCount() && log.dateOf(row, s) != date)
            ++row;
        return QStringLiteral("Für den %1 steht schon ein Zählerstand in der Tabelle: %2 in Zeile "
                              "%3. Korrigieren Sie ihn mit „Ablesung korrigieren…“.")
            .arg(day(date, s), log.cell(logcol::Reading, row).trimmed())
            .arg(row + 1);
    };
    ReadingInput input { QStringLiteral("Ablesung nachtragen"), today, 0 };
    input.check = [&](const ReadingInput &answer) {
        return ReadingCheck { taken(answer.date), afterToday(answer.date, today, s) };
    };
    if (!app().services().askReading(this, input))
        return;
    // The file may have changed while the dialog was open.
    FollowVerbrauchFile();
    if (const QString text = taken(input.date); !text.isEmpty()) {
        app().messageBox(this, app().Title, text, MsgIcon::None);
        return;
    }
    if (!takenDespite(*this,
            shownLog().doubtsAbout(Reading { input.date, input.reading }, meterChanges(), s)))
        return;
    g.beginUpdate();
    const int row = PutRowAt(g.rowCount(),
        { dateToStr(input.date, s), formatValue(input.reading, separator()), QString(), QString() },
        true);
    ShowRow(row);
    g.endUpdate();
    SaveVerbrauch();
    PushUndo({ QStringLiteral("Rückgängig: Nachtrag"), { rowOf(g, row) }, {}, {}, {} });
    ShowEstimateOfTable();
}

void TForm1::Zaehlerwechsel1Click(TControl &)
{
    FollowVerbrauchFile();
    const FormatSettings &s = app().settings();
    TStringGrid &g = StringGrid1;
    MeterChangeInput input { app().services().today(), 0, 0, {} };
    const MeterLog &log = shownLog();
    if (const int last = log.lastFilledRow(); last >= 0)
        input.oldFinal = log.readingOf(last, separator());
    if (!app().services().askMeterChange(this, input))
        return;
    FollowVerbrauchFile();
    const SideFileRead<MeterChanges> &read = meterChangesRead();
    MeterChanges changes = read.value;
    if (read.badLine) {
        app().messageBox(this, app().Title,
            QStringLiteral("Die Datei \"%1\" kann ab Zeile %2 nicht gelesen werden; sie wird nicht "
                           "überschrieben. Der Zählerwechsel ist nicht eingetragen.")
                .arg(displayPath(meterChangePath()))
                .arg(read.badLine),
            MsgIcon::None);
        return;
    }
    if (log.placeFor(log.rowCount(), input.date, s) < 0 || meterChangeOn(changes, input.date)) {
        app().messageBox(this, app().Title,
            QStringLiteral("Für den %1 steht schon ein Zählerstand in der Tabelle. Der erste Stand "
                           "des neuen Zählers braucht eine Zeile für sich; tragen Sie den Wechsel "
                           "an seinem Tag ein oder entfernen Sie die Zeile zuerst.")
                .arg(day(input.date, s)),
            MsgIcon::None);
        return;
    }
    // The old meter's last reading is its reading of the day: it may not be
    // lower than its reading before.
    const MeterChange change { input.date, input.oldFinal, input.newFirst, input.number.trimmed() };
    const QStringList doubts
        = shownLog().finalReadingDoubtsAbout(Reading { input.date, input.oldFinal }, changes, s);
    if (!takenDespite(*this, doubts))
        return;
    // The files may have changed while the question was open: what was
    // checked is no longer what would be written.
    const bool changesMoved = meterChangeFile().follow();
    if (!doubts.isEmpty() && (FollowVerbrauchFile() || changesMoved)) {
        app().messageBox(this, app().Title,
            QStringLiteral("Ein anderes Programm hat die Tabelle eben geändert. Der Zählerwechsel "
                           "ist nicht eingetragen; bitte tragen Sie ihn noch einmal ein."),
            MsgIcon::None);
        return;
    }
    changes.push_back(change);
    sortByDate(changes);
    const MeterChanges before = meterChangeFile().assumed();
    meterChangeFile().assume(changes);
    g.beginUpdate();
    const int row = PutRowAt(g.rowCount(),
        { dateToStr(input.date, s), formatValue(input.newFirst, separator()), QString(),
            QString() },
        true);
    ShowRow(row);
    g.endUpdate();
    try {
        SaveVerbrauch();
    } catch (...) {
        meterChangeFile().assume(before);
        throw;
    }
    SaveMeterChanges(changes);
    PushUndo({ QStringLiteral("Rückgängig: Zählerwechsel"), { rowOf(g, row) }, {}, change, {} });
    ShowEstimateOfTable();
}

void TForm1::Import1Click(TControl &)
{
    // What a large file took goes back to the system once all of it is
    // freed: this is the last local to go.
    const struct ReleaseAtEnd {
        ~ReleaseAtEnd() { releaseFreeMemory(); }
    } releaseAtEnd;
    const QString folder = QDir::current().absoluteFilePath(
        dataFolder().dir().isEmpty() ? QStringLiteral(".") : dataFolder().dir());
    const QString path = app().services().openFileName(this,
        QStringLiteral("Ablesungen importieren"), QDir::cleanPath(folder),
        QStringLiteral("Tabellen und Textdateien (*.csv *.txt *.tsv);;Alle Dateien (*)"));
    if (path.isEmpty())
        return;
    QFile file(path);
    QString problem;
    ImportParse parse;
    if (!file.open(QIODevice::ReadOnly))
        problem = fileErrorText(file);
    else if (file.size() > MaxImportBytes)
        problem = QStringLiteral("Sie ist größer als %1 MB und keine Tabelle von Zählerständen.")
                      .arg(MaxImportBytes / (1024 * 1024));
    else {
        // A smart meter's export takes a while: the bar shows it, and
        // "Abbrechen" stops the reading before anything changed.
        Services &services = app().services();
        services.beginProgress(this, app().Title,
            QStringLiteral("\"%1\" wird gelesen …").arg(QFileInfo(path).fileName()));
        try {
            parse = parseImport(file, [&services](qint64 done, qint64 total) {
                return services.stepProgress(done, total);
            });
        } catch (...) {
            services.endProgress();
            throw;
        }
        services.endProgress();
        if (parse.cancelled)
            return;
        if (file.error() != QFileDevice::NoError)
            problem = fileErrorText(file);
        else
            problem = parse.error;
    }
    file.close();
    if (!problem.isEmpty()) {
        app().messageBox(this, app().Title,
            QStringLiteral("Aus \"%1\" kann nichts importiert werden: %2")
                .arg(displayPath(path), problem),
            MsgIcon::None);
        return;
    }
    QStringList notes = besideChanges(parse, path, app().settings());

    const FormatSettings &s = app().settings();
    TStringGrid &g = StringGrid1;
    FollowVerbrauchFile();
    const auto plan = [&](bool findChanges) {
        std::vector<ImportRow> rows = parse.rows;
        planImport(rows,
            ImportTarget {
                shownLog().readings(s), meterChanges(), app().services().today(), findChanges });
        return rows;
    };
    std::vector<ImportRow> with = plan(true), without = plan(false);
    const bool offered
        = std::any_of(with.begin(), with.end(), [](const ImportRow &r) { return r.found; });
    if (parse.severalDays > 0)
        notes.prepend(
            QStringLiteral("%1 Zeilen mit mehreren Ständen am Tag (an %2 Tagen): je Tag wird nur "
                           "der letzte Stand übernommen, die früheren sind nicht aufgeführt.")
                .arg(grouped(parse.severalRows), grouped(parse.severalDays)));
    ImportPreview preview;
    preview.fileName = QFileInfo(path).fileName();
    preview.headers = QStringList { QStringLiteral("Zeile"), QStringLiteral("Datum"),
        QStringLiteral("Zählerstand"), QStringLiteral("Ergebnis") };
    fillPreview(offered ? with : without, notes, s, preview.rows, preview.added, preview.summary);
    bool takeOffer = false;
    if (offered) {
        fillPreview(
            without, notes, s, preview.rowsWithout, preview.addedWithout, preview.summaryWithout);
        QStringList found;
        for (const ImportRow &r : with)
            if (r.found)
                found << QStringLiteral("am %1 (Zeile %2)").arg(day(r.date, s)).arg(r.line);
        preview.offer = (found.size() == 1 ? QStringLiteral("Zählerwechsel eintragen: ")
                                           : QStringLiteral("Die Zählerwechsel eintragen: "))
            + found.join(QStringLiteral(", "));
        if (!app().services().confirmImportOffer(this, preview, takeOffer))
            return;
    } else if (!app().services().confirmImport(this, preview)) {
        return;
    }
    std::vector<ImportRow> rows = takeOffer ? std::move(with) : std::move(without);

    // A day after today is a typing error as often as not: taken only when
    // the user says so, naming the days.
    QStringList later;
    for (const ImportRow &r : rows)
        if (r.fate == ImportRow::Fate::Added && r.afterToday)
            later << day(r.date, s);
    bool takeLater = true;
    if (!later.isEmpty()) {
        const qsizetype count = later.size();
        if (count > 10)
            later = later.mid(0, 10) << QStringLiteral("…");
        const MsgAnswer answer = app().services().askYesNoCancel(this, app().Title,
            QStringLiteral("%1 nach dem heutigen Tag (%2) datiert: %3.\n\nJa: auch %4 übernehmen.\n"
                           "Nein: nur die übrigen Zeilen übernehmen.\n"
                           "Abbrechen: nichts importieren.")
                .arg(count == 1 ? QStringLiteral("Eine Ablesung ist")
                                : QStringLiteral("%1 Ablesungen sind").arg(count),
                    day(app().services().today(), s), later.join(QStringLiteral(", ")),
                    count == 1 ? QStringLiteral("sie") : QStringLiteral("diese")));
        if (answer == MsgAnswer::Cancel)
            return;
        takeLater = answer == MsgAnswer::Yes;
    }
    const auto taken = [takeLater](const ImportRow &r) {
        return r.fate == ImportRow::Fate::Added && (takeLater || !r.afterToday);
    };
    if (std::none_of(rows.begin(), rows.end(), taken))
        return;

    // What is saved is what the preview promised, or nothing.
    const bool changesMoved = meterChangeFile().follow();
    if (FollowVerbrauchFile() || changesMoved) {
        std::vector<ImportRow> again = plan(takeOffer);
        const bool same = std::equal(rows.begin(), rows.end(), again.begin(), again.end(),
            [](const ImportRow &a, const ImportRow &b) {
                return a.fate == b.fate && a.found == b.found && bool(a.change) == bool(b.change);
            });
        if (!same) {
            app().messageBox(this, app().Title,
                QStringLiteral("Ein anderes Programm hat \"%1\" oder \"%2\" eben "
                               "geändert. Es wurde nichts importiert; bitte importieren Sie noch "
                               "einmal.")
                    .arg(shownLogName(), QFileInfo(meterChangePath()).fileName()),
                MsgIcon::None);
            return;
        }
    }
    // The replacements the import records; one of the same day is there
    // already (the plan skipped any that differs).
    const SideFileRead<MeterChanges> &read = meterChangesRead();
    MeterChanges changes = read.value;
    MeterChanges recorded;
    for (const ImportRow &r : rows)
        if (taken(r) && r.change && !meterChangeOn(changes, r.date))
            recorded.push_back(*r.change);
    if (!recorded.empty() && read.badLine) {
        app().messageBox(this, app().Title,
            QStringLiteral("Die Datei \"%1\" kann ab Zeile %2 nicht gelesen werden; sie wird nicht "
                           "überschrieben. Es wurde nichts importiert, da die Datei Zählerwechsel "
                           "enthält.")
                .arg(displayPath(meterChangePath()))
                .arg(read.badLine),
            MsgIcon::None);
        return;
    }
    changes.insert(changes.end(), recorded.begin(), recorded.end());
    sortByDate(changes);

    // The new rows merge with the table by date; rows without a date keep
    // their places, a blank row (of an empty log) goes.
    std::vector<std::pair<QDate, QStringList>> incoming;
    for (const ImportRow &r : rows)
        if (taken(r))
            incoming.push_back({ r.date,
                { dateToStr(r.date, s), formatValue(r.reading, separator()), QString(),
                    QString() } });
    std::stable_sort(incoming.begin(), incoming.end(),
        [](const auto &a, const auto &b) { return a.first < b.first; });
    const MeterChanges before = meterChangeFile().assumed();
    if (!recorded.empty())
        meterChangeFile().assume(changes);
    MeterLog &log = shownLog();
    log.setChanges(meterChanges());
    g.beginUpdate();
    const std::vector<int> placed = log.mergeRows(incoming, s, separator());
    ShowRow(g.fixedRows() + placed.back());
    g.endUpdate();
    try {
        SaveVerbrauch();
    } catch (...) {
        meterChangeFile().assume(before);
        throw;
    }
    if (!recorded.empty())
        SaveMeterChanges(changes);
    LogRows step;
    for (int r : placed)
        step << log.row(r);
    PushUndo(
        { QStringLiteral("Rückgängig: Import"), std::move(step), {}, {}, {}, std::move(recorded) });
    ShowEstimateOfTable();
}

} // namespace voltaris
