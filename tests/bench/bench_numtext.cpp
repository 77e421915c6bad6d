// Prints how long the number texts take, and a key release in Edit1 with its
// recomputation of the contract: headless, and from the window system's key
// event through the handler to the widgets showing the new texts.
#include "common/numtext.h"
#include "fakeservices.h"
#include "figures.h"
#include "qt/formview.h"
#include "ui/program.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <chrono>

using namespace voltaris;

namespace {

const QChar Comma(u',');

void BM_FormatValue(benchmark::State &state)
{
    long double x = 915.3L / 12;
    for (auto _ : state) {
        benchmark::DoNotOptimize(formatValue(x, Comma));
        x += 1;
    }
}

void BM_FormatFixed18(benchmark::State &state)
{
    long double x = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(formatFixed(x, 18, 1, Comma));
        x += 0.1L;
    }
}

void BM_StrToFloat(benchmark::State &state)
{
    const QString text = QStringLiteral("27,35");
    for (auto _ : state)
        benchmark::DoNotOptimize(strToFloat(text, Comma));
}

// The main window with Edit1 focused, and, for the window figure, on show.
struct Contract {
    explicit Contract(bool window)
    {
        TForm1 &f = *program.Form1;
        if (window) {
            view = std::make_unique<FormView>(f);
            f.show();
            QCoreApplication::processEvents();
        }
        f.Edit1.setFocus();
    }
    ~Contract() { view.reset(); }

    QTemporaryDir dir;
    test::TestApp t;
    TProgram program { t.app, dir.path() };
    std::unique_ptr<FormView> view;
};

// Each release follows a change of Edit1's text, as a typed digit makes it,
// so that every recomputation writes new texts. Only the release is timed.
void BM_KeyRelease(benchmark::State &state)
{
    const bool window = state.range(0) != 0;
    Contract c(window);
    TForm1 &f = *c.program.Form1;
    QWidget *edit = window ? c.view->widgetFor(f.Edit1) : nullptr;
    if (window && !edit) {
        state.SkipWithError("no widget for Edit1");
        return;
    }
    const QString texts[] = { QStringLiteral("3650"), QStringLiteral("3651") };
    int i = 0;
    for (auto _ : state) {
        if (window) {
            // The window takes only the release of a key pressed in it.
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
            QApplication::sendEvent(edit, &press);
        }
        f.Edit1.userEdited(texts[++i % 2], 4, 0);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
        const auto start = std::chrono::steady_clock::now();
        if (window)
            QApplication::sendEvent(edit, &release);
        else
            f.userKeyUp(vk::Shift, {});
        const std::chrono::duration<double> t = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(t.count());
    }
    if (f.Edit2.text() != formatValue(texts[i % 2].toInt() / 365.0L, Comma))
        state.SkipWithError("the release did not recompute");
}

} // namespace

BENCHMARK(BM_FormatValue);
BENCHMARK(BM_FormatFixed18);
BENCHMARK(BM_StrToFloat);
BENCHMARK(BM_KeyRelease)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return bench::runFigures(argc, argv,
        { { "FormatValue (2 decimals)", "BM_FormatValue", "", "", 0, 0 },
            { "formatFixed (18 digits, 1 decimal)", "BM_FormatFixed18", "", "", 0, 0 },
            { "text to number (strToFloat)", "BM_StrToFloat", "", "", 0, 0 },
            { "key release in Edit1 (headless)", "BM_KeyRelease/0", "", "", 0, 0 },
            { "key release in Edit1", "BM_KeyRelease/1", "", "", 0, 50e-6 } });
}
