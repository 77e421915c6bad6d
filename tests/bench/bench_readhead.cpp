// Prints how long the read head's parsers take for a telegram, and the time
// from a click on "Vom Zähler lesen" to the reading in Memo_Stand on a fake
// meter (a pseudo-terminal) that sends a telegram every 250 ms.
#include "core/d0.h"
#include "core/sml.h"
#include "fakemeter.h"
#include "fakeservices.h"
#include "figures.h"
#include "qt/readheadport.h"
#include "telegrams.h"
#include "ui/Unit1.h"
#include "ui/program.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>

using namespace voltaris;
using namespace voltaris::test;

namespace {

constexpr int IntervalMs = 250;
// The slowest click of all runs: one interval plus 50 ms at most.
double slowestClick = 0;

// A telegram as a modern meter sends it with its PIN entered: the counters
// of both tariffs, feed-in, power, a signature.
QByteArray smlTelegram()
{
    return smlFrame(
        { { obis(1, 0, 1, 8, 0), 30, -1, 123456789 }, { obis(1, 0, 1, 8, 1), 30, -1, 100000000 },
            { obis(1, 0, 1, 8, 2), 30, -1, 23456789 }, { obis(1, 0, 2, 8, 0), 30, -1, 47110000 },
            { obis(1, 0, 16, 7, 0), 27, 0, 351, true } },
        { SmlCrc::X25, true, false });
}

void BM_ParseSml(benchmark::State &state)
{
    const QByteArray frame = smlTelegram();
    for (auto _ : state)
        benchmark::DoNotOptimize(parseSml(frame));
    if (parseSml(frame).registers.size() != 4)
        state.SkipWithError("the telegram did not read");
}

void BM_ParseD0(benchmark::State &state)
{
    const QByteArray telegram
        = d0Telegram({ "1-0:0.0.0*255(1ESY1160123456)", "1-0:1.8.0*255(012345.6789*kWh)",
                         "1-0:1.8.1*255(010000.0000*kWh)", "1-0:1.8.2*255(002345.6789*kWh)",
                         "1-0:2.8.0*255(000471.1000*kWh)", "1-0:16.7.0*255(000351.24*W)" },
            true);
    for (auto _ : state)
        benchmark::DoNotOptimize(parseD0(telegram));
    if (parseD0(telegram).registers.size() != 4)
        state.SkipWithError("the telegram did not read");
}

class PortServices : public FakeServices {
public:
    MeterReadout readMeter(TForm *, const ReadHeadSettings &s) override
    {
        return readMeterWaiting(s);
    }
};

// The click through the handler and the real serial port reader, to the
// text in Memo_Stand; the meter's interval runs on meanwhile, so the clicks
// fall anywhere in it.
void BM_ClickToReading(benchmark::State &state)
{
    FakeMeter meter(smlTelegram(), 1 << 16, IntervalMs);
    QTemporaryDir dir;
    PortServices services;
    TApplication app(services, FormatSettings::german());
    TProgram program(app, dir.path());
    TForm1 &f = *program.Form1;
    QFile head(dir.filePath("Mein_Lesekopf.txt"));
    if (!head.open(QIODevice::WriteOnly)
        || head.write("Art;Wert\r\nAnschluss;" + meter.path.toLocal8Bit() + "\r\n") <= 0) {
        state.SkipWithError("cannot write the head's file");
        return;
    }
    head.close();
    // The meter's first telegram, half of one, is behind it: its interval runs.
    f.Lesen1->click();
    for (auto _ : state) {
        f.Memo_Stand.setText(QStringLiteral("0,0"));
        const auto start = std::chrono::steady_clock::now();
        f.Lesen1->click();
        const std::chrono::duration<double> t = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(t.count());
        slowestClick = std::max(slowestClick, t.count());
        if (f.Memo_Stand.text() != QStringLiteral("12345,7")) {
            state.SkipWithError("no reading");
            return;
        }
        // The next click somewhere else in the interval.
        static int step = 0;
        QEventLoop wait;
        QTimer::singleShot((++step * 97) % IntervalMs, &wait, &QEventLoop::quit);
        wait.exec();
    }
}

} // namespace

BENCHMARK(BM_ParseSml)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ParseD0)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClickToReading)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

int main(int argc, char **argv)
{
    QCoreApplication qapp(argc, argv);
    const int status = bench::runFigures(argc, argv,
        { { "SML telegram parsed (GetList.Res of 5 entries)", "BM_ParseSml", "", "", 0, 1e-3 },
            { "D0 telegram parsed (6 lines, BCC)", "BM_ParseD0", "", "", 0, 1e-3 },
            { "click to reading, telegram every 250 ms", "BM_ClickToReading", "", "", 0,
                (IntervalMs + 50) * 1e-3 } });
    std::printf("click to reading, the slowest of all: %.1f ms (limit %d ms)\n", slowestClick * 1e3,
        IntervalMs + 50);
    return status;
}
