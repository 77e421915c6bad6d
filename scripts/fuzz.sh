#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) into build-fuzz/ and runs each in turn.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#
# SECONDS per target (default 300); TARGET is a name such as "contract"
# (default: all). Each target starts from its seed corpus in
# tests/fuzz/corpus/ and the inputs in tests/fuzz/regressions/, and keeps what
# it found in build-fuzz/corpus/ for the next run. A failing input lands in
# build-fuzz/findings/<target>/: copy it to tests/fuzz/regressions/<target>/
# once it is fixed, and the test suite replays it from then on.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-300}
shift || true

# Only the fuzzers need clang and its runtime; CI does not.
"$root/scripts/setup.sh" clang libclang-rt-dev

build=$root/build-fuzz
if [ ! -f "$build/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVOLTARIS_FUZZ=ON -DVOLTARIS_TESTS=OFF >/dev/null
fi

all=()
for f in "$root"/tests/fuzz/fuzz_*.cpp; do
    n=$(basename "$f" .cpp)
    all+=("${n#fuzz_}")
done
targets=("$@")
((${#targets[@]} == 0)) && targets=("${all[@]}")

cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen LC_ALL=C LANG=C
summary=()
status=0
for t in "${targets[@]}"; do
    corpus=$build/corpus/$t
    findings=$build/findings/$t
    mkdir -p "$corpus" "$findings"
    log=$build/fuzz-$t.log
    echo "== $t: $seconds s"
    rc=0
    seeds=()
    for d in "$root/tests/fuzz/corpus/$t" "$root/tests/fuzz/regressions/$t"; do
        [ -d "$d" ] && seeds+=("$d")
    done
    # One job at a time: the machine is shared.
    (cd "$build" && "tests/fuzz/fuzz_$t" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" \
        "$corpus" "${seeds[@]}") >"$log" 2>&1 || rc=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    time=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
    found=$(find "$findings" -type f | wc -l)
    if ((rc != 0)); then
        status=1
        grep -m3 -E 'ERROR|invariant|runtime error' "$log" || true
    fi
    summary+=("$(printf '%-12s %8s s %12s runs %6s in corpus %3s findings%s' "$t" "${time:-?}" \
        "${runs:-?}" "$(find "$corpus" -type f | wc -l)" "$found" "$( ((rc)) && echo ', FAILED (see '"$log"')')")")
done
printf '%s\n' "${summary[@]}"
exit $status
