#!/usr/bin/env bash
# Builds the benchmarks (Release, into build-bench/) and runs them all: the
# number texts and a key release, the consumption file and the log's
# handlers, the import of a smart meter's large export, the read head, and the start-up on a
# virtual X display of its own. Prints one line per figure: its median, what
# it is compared with, the ratio and the target. Takes about five minutes;
# the figures mean most on an idle machine.
#
#   scripts/bench.sh [START-UP ROUNDS [BASELINE]]     (default 11)
#
# BASELINE is another build's voltaris (an earlier version's): the start-up
# is then measured against it in the same rounds, A/B.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-bench"
rounds=${1:-11}
baseline=()
[ -n "${2:-}" ] && baseline=(100000 "$(realpath "$2")")

# What only the benchmarks need beside the build's: Google Benchmark, xcb's
# DAMAGE extension (pkg-config finds it) and xdpyinfo to tell when the
# display is up.
"$root/scripts/setup.sh" libbenchmark-dev libxcb-damage0-dev pkg-config x11-utils

log=$(mktemp)
xvfb=
cleanup() {
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
    rm -f "$log"
}
trap cleanup EXIT
# What a step prints on its error output (Qt's notes about the offscreen
# platform, the build's progress) is shown only when the step fails.
quiet() {
    if ! "$@" 2>"$log"; then
        cat "$log" >&2
        return 1
    fi
}

if ! { cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release &&
    cmake --build "$build" -j2 --target voltaris bare_window texts_window bench_startup bench_numtext \
        bench_meterlog bench_import bench_readhead; } >"$log" 2>&1; then
    cat "$log" >&2
    exit 1
fi

echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(nproc) cores," \
    "$(free -g | awk '/^Mem:/ {print $2}') GiB, $(uname -sr)"
echo "software: Qt $(pkg-config --modversion Qt6Core 2>/dev/null || echo 6), $(g++ --version | head -1)," \
    "Release build; load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"

echo
echo "number texts and a key release (Google Benchmark, medians of 9 repetitions)"
quiet "$build/tests/bench_numtext"
echo
echo "consumption file and log handlers (Google Benchmark, medians of 9 repetitions," \
    "repetitions interleaved)"
quiet "$build/tests/bench_meterlog"

echo
echo "a smart meter's export, once each (a process of its own, so that the peak is the import's)"
quiet "$build/tests/bench_import"
quiet "$build/tests/bench_import" --utf16

echo
echo "the optical read head: a telegram parsed, and a click read off a fake meter on a pseudo-terminal"
quiet "$build/tests/bench_readhead"

# A display of its own.
# shellcheck source=scripts/private-display.sh
. "$root/scripts/private-display.sh"
start_private_display

echo
# The German settings, as on a system without a national locale, so that
# the generated log reads back.
DISPLAY=":$display" LC_ALL=C LANG=C quiet "$build/tests/bench_startup" \
    "$build/voltaris" "$build/tests/bare_window" "$build/tests/texts_window" "$rounds" "${baseline[@]}"
