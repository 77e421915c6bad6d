// One line per figure, the same in every benchmark program, so that
// scripts/bench.sh can print them one under the other: the figure, its
// median, what it is compared with, the ratio and the target.
#pragma once

#include <cmath>
#include <cstdio>
#include <string>

namespace voltaris::bench {

// Seconds in the unit that keeps three digits or so.
inline std::string seconds(double s)
{
    char text[32];
    if (s < 1e-6)
        std::snprintf(text, sizeof text, "%.0f ns", s * 1e9);
    else if (s < 1e-3)
        std::snprintf(text, sizeof text, "%.2f us", s * 1e6);
    else if (s < 1)
        std::snprintf(text, sizeof text, "%.2f ms", s * 1e3);
    else
        std::snprintf(text, sizeof text, "%.2f s", s);
    return text;
}

inline std::string mebibytes(double bytes)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MiB", bytes / (1024.0 * 1024.0));
    return text;
}

inline void printHeading()
{
    std::printf("%-42s %11s   %-36s %6s   %-9s %s\n", "figure", "median", "compared with", "ratio",
        "target", "");
}

// `ratio` is NAN for a figure held to no target; `target` is the ratio's
// upper bound (for an absolute limit, 1 with the limit as the reference).
inline bool printFigure(const std::string &label, const std::string &value,
    const std::string &reference, double ratio, double target)
{
    const bool held = !std::isnan(ratio) && target > 0;
    const bool met = held && ratio <= target;
    char ratioText[16] = "-", targetText[16] = "-";
    if (!std::isnan(ratio))
        std::snprintf(ratioText, sizeof ratioText, "%.2f", ratio);
    if (held)
        std::snprintf(targetText, sizeof targetText, "<= %g", target);
    std::printf("%-42s %11s   %-36s %6s   %-9s %s\n", label.c_str(), value.c_str(),
        reference.c_str(), ratioText, targetText, held ? (met ? "met" : "MISSED") : "");
    std::fflush(stdout);
    return !held || met;
}

} // namespace voltaris::bench
