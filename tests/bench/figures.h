// Runs the registered Google Benchmarks and prints one line per figure from
// their medians. Every benchmark is repeated and the repetitions of all of
// them are interleaved at random, so that a change of the machine's speed
// during the run falls on a figure and on its reference alike.
#pragma once

#include "figureline.h"

#include <benchmark/benchmark.h>
#include <map>
#include <vector>

namespace voltaris::bench {

// A figure: the median of one benchmark, divided by the median of another
// (`reference`) or by a limit in seconds, or by nothing.
struct Figure {
    std::string label;
    std::string benchmark;
    std::string reference; // the benchmark it is compared with, or empty
    std::string referenceLabel;
    double target = 0; // the highest ratio to the reference; 0: none
    double limit = 0; // seconds, when there is no reference; 0: none
};

// Keeps the median of each benchmark, in seconds, and prints nothing.
class MedianReporter : public benchmark::BenchmarkReporter {
public:
    bool ReportContext(const Context &) override { return true; }
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &r : runs) {
            if (r.error_occurred) {
                std::fprintf(
                    stderr, "%s: %s\n", r.benchmark_name().c_str(), r.error_message.c_str());
                continue;
            }
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                medians[name(r)]
                    = r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
        }
    }

    static std::string name(const Run &r)
    {
        return r.run_name.function_name + (r.run_name.args.empty() ? "" : "/" + r.run_name.args);
    }

    std::map<std::string, double> medians;
};

// Runs the benchmarks (the command line may add Google Benchmark's options,
// also to change the defaults below) and prints the figures. Returns the
// process's exit status: 0 unless a benchmark could not run.
inline int runFigures(int argc, char **argv, const std::vector<Figure> &figures)
{
    std::vector<char *> args { argv[0] };
    static char repetitions[] = "--benchmark_repetitions=9";
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    static char minTime[] = "--benchmark_min_time=0.05";
    args.insert(args.end(), { repetitions, interleave, minTime });
    args.insert(args.end(), argv + 1, argv + argc);
    int n = int(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&n, args.data());
    if (benchmark::ReportUnrecognizedArguments(n, args.data()))
        return 2;
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    int status = 0;
    printHeading();
    for (const Figure &f : figures) {
        const auto it = reporter.medians.find(f.benchmark);
        if (it == reporter.medians.end()) {
            // Filtered out on the command line, or failed (reported above).
            continue;
        }
        const double value = it->second;
        if (!f.reference.empty()) {
            const auto ref = reporter.medians.find(f.reference);
            if (ref == reporter.medians.end()) {
                status = 1;
                continue;
            }
            printFigure(f.label, seconds(value), f.referenceLabel + " " + seconds(ref->second),
                value / ref->second, f.target);
        } else if (f.limit > 0) {
            printFigure(f.label, seconds(value), "limit " + seconds(f.limit), value / f.limit, 1);
        } else {
            printFigure(f.label, seconds(value), "", NAN, 0);
        }
    }
    return status;
}

} // namespace voltaris::bench
