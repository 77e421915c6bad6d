// Prints how long the meter-reading log takes at 1,000 to 100,000 rows:
// loading and saving the consumption file beside reading and writing the same
// file's lines without parsing them, and an entry and a removal in a log of
// 100,000 rows, from the handler to the file written, with the main window's
// widgets following the table as they do in the program.
#include "core/meters.h"
#include "fakeservices.h"
#include "figures.h"
#include "logfile.h"
#include "qt/formview.h"
#include "testfiles.h"
#include "ui/program.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <map>
#include <memory>

using namespace voltaris;

namespace {

constexpr int BigLog = 100000;
using test::LogName;

// A program started in a folder of its own whose log holds `rows` daily
// readings, optionally with its main window on show.
struct Log {
    Log(int rows, bool window)
    {
        bench::writeLogFile(QFile::encodeName(path(LogName)).toStdString(), rows);
        program = std::make_unique<TProgram>(t.app, dir.path());
        TForm1 &f = form();
        f.Edit2.setText(QStringLiteral("10,00"));
        f.Edit3.setText(QStringLiteral("87,50"));
        f.Edit5.setText(QStringLiteral("25,00"));
        f.Edit6.setText(QStringLiteral("1000,00"));
        loaded = f.StringGrid1.rowCount() - f.StringGrid1.fixedRows() == rows;
        if (window) {
            view = std::make_unique<FormView>(f);
            f.show();
            QCoreApplication::processEvents();
        }
    }
    ~Log()
    {
        // The view lets go of the controls before they go.
        view.reset();
    }

    TForm1 &form() { return *program->Form1; }
    QString path(const QString &name) const { return QDir(dir.path()).filePath(name); }

    QTemporaryDir dir;
    test::TestApp t;
    std::unique_ptr<TProgram> program;
    std::unique_ptr<FormView> view;
    bool loaded = false;
};

// One log per size and use, made on first use and kept for the whole run
// (the repetitions of the benchmarks come interleaved); gone before the
// application object is.
std::map<std::pair<int, std::string>, std::unique_ptr<Log>> logs;

Log &logOf(int rows, const char *use, bool window = false)
{
    auto &log = logs[{ rows, use }];
    if (!log)
        log = std::make_unique<Log>(rows, window);
    return *log;
}

bool usable(benchmark::State &state, const Log &log)
{
    if (!log.loaded)
        state.SkipWithError("the generated log did not load whole");
    return log.loaded;
}

// Back to the table of an empty log, as the start-up finds it.
void clearTable(TStringGrid &g)
{
    g.setRowCount(g.fixedRows() + 1);
    for (int c = 0; c < g.colCount(); ++c)
        g.setCell(c, g.fixedRows(), QString());
}

void BM_Load(benchmark::State &state)
{
    const int rows = int(state.range(0));
    Log &log = logOf(rows, "file");
    if (!usable(state, log))
        return;
    TStringGrid &g = log.form().StringGrid1;
    for (auto _ : state) {
        state.PauseTiming();
        clearTable(g);
        state.ResumeTiming();
        log.form().LoadVerbrauch();
    }
    if (g.rowCount() - g.fixedRows() != rows)
        state.SkipWithError("the log did not load whole");
}

void BM_Save(benchmark::State &state)
{
    Log &log = logOf(int(state.range(0)), "file");
    if (!usable(state, log))
        return;
    for (auto _ : state)
        log.form().SaveVerbrauch();
}

// The floor of loading: the file's lines into strings, nothing parsed.
void readLines(const QString &path, QStringList &lines)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    while (!file.atEnd()) {
        QByteArray line = file.readLine();
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        lines.append(QString::fromLatin1(line));
    }
}

void BM_PlainRead(benchmark::State &state)
{
    const int rows = int(state.range(0));
    Log &log = logOf(rows, "file");
    QStringList lines;
    for (auto _ : state) {
        state.PauseTiming();
        lines = QStringList();
        state.ResumeTiming();
        readLines(log.path(LogName), lines);
    }
    if (lines.size() != rows + 4)
        state.SkipWithError("the file was not read whole");
}

// The floor of saving: the same lines written back as they are.
void BM_PlainWrite(benchmark::State &state)
{
    Log &log = logOf(int(state.range(0)), "file");
    QStringList lines;
    readLines(log.path(LogName), lines);
    const QString path = log.path(QStringLiteral("plain.txt"));
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            state.SkipWithError("cannot write");
            break;
        }
        for (const QString &line : lines) {
            file.write(line.toLatin1());
            file.write("\r\n", 2);
        }
        file.close();
    }
}

// A reading the day after the last one, entered with the button; the row is
// dropped again between the iterations.
void BM_Entry(benchmark::State &state)
{
    const bool window = state.range(0) != 0;
    Log &log = logOf(BigLog, window ? "entry, window" : "entry", window);
    if (!usable(state, log))
        return;
    TForm1 &f = log.form();
    TStringGrid &g = f.StringGrid1;
    const int rows = g.rowCount();
    f.dtp_Ablese.setDate(QDate(1800, 1, 1).addDays(BigLog));
    f.Memo_Stand.setValue(999000);
    for (auto _ : state) {
        f.btn_Save2.click();
        state.PauseTiming();
        const bool appended = g.rowCount() == rows + 1;
        g.setRowCount(rows);
        state.ResumeTiming();
        if (!appended || !log.t.services.boxes.empty()) {
            state.SkipWithError("the entry was not made");
            break;
        }
    }
}

// The middle row removed through the popup menu; the row is put back between
// the iterations.
void BM_Removal(benchmark::State &state)
{
    const bool window = state.range(0) != 0;
    Log &log = logOf(BigLog, window ? "removal, window" : "removal", window);
    if (!usable(state, log))
        return;
    TForm1 &f = log.form();
    TStringGrid &g = f.StringGrid1;
    const int rows = g.rowCount();
    const int r = g.fixedRows() + BigLog / 2;
    // The removed row and the one after it, which the removal may rewrite.
    QStringList kept;
    for (int i = r; i <= r + 1; ++i)
        for (int c = 0; c < g.colCount(); ++c)
            kept << g.cell(c, i);
    for (auto _ : state) {
        state.PauseTiming();
        g.userSelected(r);
        state.ResumeTiming();
        f.Delete1.click();
        state.PauseTiming();
        const bool removed = g.rowCount() == rows - 1;
        g.beginUpdate();
        g.setRowCount(rows);
        for (int i = rows - 1; i > r; --i)
            for (int c = 0; c < g.colCount(); ++c)
                g.setCell(c, i, g.cell(c, i - 1));
        for (int i = 0; i < kept.size(); ++i)
            g.setCell(i % g.colCount(), r + i / g.colCount(), kept[i]);
        g.endUpdate();
        state.ResumeTiming();
        if (!removed) {
            state.SkipWithError("the row was not removed");
            break;
        }
    }
}

// A household of ten years of daily readings on the main meter and on
// `further` more meters, their list in the meters' file.
struct Household {
    explicit Household(int further)
    {
        const auto path = [&](const QString &name) {
            return QFile::encodeName(QDir(dir.path()).filePath(name)).toStdString();
        };
        bench::writeLogFile(path(LogName), TenYears);
        Meters meters;
        for (int i = 0; i < further; ++i) {
            Meter m;
            m.name = QStringLiteral("Zähler %1").arg(i + 2);
            m.kind = MeterKind::SubMeter;
            m.fileKey = meterFileKey(m.name);
            bench::writeLogFile(path(meterLogName(m.fileKey)), TenYears);
            meters.further.push_back(m);
        }
        if (further > 0) {
            QFile file(QDir(dir.path()).filePath(QStringLiteral("Meine_Zaehler.txt")));
            if (file.open(QIODevice::WriteOnly))
                file.write(metersFileBytes(meters));
        }
    }
    static constexpr int TenYears = 3650;
    QTemporaryDir dir;
    test::TestApp t;
};

// The start of the program, the window made and the logs read: with the
// main meter alone and with four further meters beside it, whose logs wait
// until they are shown.
void BM_Start(benchmark::State &state)
{
    Household household(int(state.range(0)));
    for (auto _ : state) {
        TProgram program(household.t.app, household.dir.path());
        benchmark::DoNotOptimize(program.Form1->StringGrid1.rowCount());
    }
}

// Showing another meter of 3,650 rows: the table bound to its rows, Panel4
// and the undo item, with the window's widgets following (Arg 1). Each
// step shows the other meter; both logs were read before.
void BM_ShowMeter(benchmark::State &state)
{
    Household household(1);
    TProgram program(household.t.app, household.dir.path());
    TForm1 &f = *program.Form1;
    std::unique_ptr<FormView> view;
    if (state.range(0)) {
        view = std::make_unique<FormView>(f);
        f.show();
        QCoreApplication::processEvents();
    }
    f.ShowMeter(1);
    f.ShowMeter(0);
    if (f.StringGrid1.rowCount() - f.StringGrid1.fixedRows() != Household::TenYears) {
        state.SkipWithError("the log did not load whole");
        return;
    }
    for (auto _ : state) {
        f.ShowMeter(f.ShownLog == 0 ? 1 : 0);
        if (view)
            QCoreApplication::processEvents();
    }
    view.reset();
}

} // namespace

BENCHMARK(BM_Start)->Arg(0)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowMeter)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load)->Arg(1000)->Arg(10000)->Arg(BigLog)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainRead)->Arg(1000)->Arg(10000)->Arg(BigLog)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Arg(1000)->Arg(10000)->Arg(BigLog)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainWrite)->Arg(1000)->Arg(10000)->Arg(BigLog)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Entry)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Removal)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    // The window's widgets need a platform; no display is.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    std::vector<bench::Figure> figures;
    for (const int rows : { 1000, 10000, BigLog }) {
        const std::string n = std::to_string(rows);
        figures.push_back({ "LoadVerbrauch, " + n + " rows", "BM_Load/" + n, "BM_PlainRead/" + n,
            "plain read", 4, 0 });
    }
    for (const int rows : { 1000, 10000, BigLog }) {
        const std::string n = std::to_string(rows);
        figures.push_back({ "SaveVerbrauch, " + n + " rows", "BM_Save/" + n, "BM_PlainWrite/" + n,
            "plain write", 4, 0 });
    }
    figures.push_back({ "entry into 100000 rows (headless)", "BM_Entry/0", "", "", 0, 0 });
    figures.push_back({ "entry into 100000 rows", "BM_Entry/1", "", "", 0, 0.050 });
    figures.push_back({ "removal from 100000 rows (headless)", "BM_Removal/0", "", "", 0, 0 });
    figures.push_back({ "removal from 100000 rows", "BM_Removal/1", "", "", 0, 0.050 });
    figures.push_back({ "start, main meter and four further meters of 3650 rows", "BM_Start/4",
        "BM_Start/0", "main meter alone", 1.05, 0 });
    figures.push_back(
        { "another meter shown, 3650 rows (headless)", "BM_ShowMeter/0", "", "", 0, 0 });
    figures.push_back({ "another meter shown, 3650 rows", "BM_ShowMeter/1", "", "", 0, 0.016 });
    const int status = bench::runFigures(argc, argv, figures);
    logs.clear();
    return status;
}
