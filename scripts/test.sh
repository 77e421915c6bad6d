#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test. Qt tests
# run on the offscreen platform; no display is needed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
cd "$root/build"
ctest --output-on-failure -j"$(nproc)"
