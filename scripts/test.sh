#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test; then
# builds the same suite under AddressSanitizer (with LeakSanitizer) and
# UndefinedBehaviorSanitizer into build-asan/ and runs it again, where any
# report fails the test. Qt tests run on the offscreen platform; no display
# is needed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/layers.sh" >/dev/null || "$root/scripts/layers.sh"
"$root/scripts/build.sh"
cd "$root/build"
# Each test has its own timeout (tests/CMakeLists.txt); this one is for a test
# added without it.
ctest --output-on-failure -j"$(nproc)" --timeout 60

echo "== The suite under AddressSanitizer and UndefinedBehaviorSanitizer"
if [ ! -f "$root/build-asan/build.ninja" ]; then
    cmake -S "$root" -B "$root/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVOLTARIS_SANITIZE=ON >/dev/null
fi
cmake --build "$root/build-asan" -j"$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd "$root/build-asan"
ctest --output-on-failure -j"$(nproc)" --timeout 150
