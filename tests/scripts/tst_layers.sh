#!/usr/bin/env bash
# scripts/layers.sh on small trees of its own: cycles between components of a
# folder (a.cpp -> b.h, b.cpp -> a.h) fail and are named, unless listed as
# known exactly as they are; a tree without one passes.
set -uo pipefail
script=${1:-$(dirname "$0")/../../scripts/layers.sh}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/scripts" "$tmp/src/common" "$tmp/src/core" "$tmp/src/qt"
cp "$script" "$tmp/scripts/layers.sh"
failures=0

# put FILE HEADER...: writes a file of the tree, its lines the includes.
put() { local f=$1; shift; printf '#include "%s"\n' "$@" >"$tmp/src/$f"; }
# expect FAILS TEXT...: the script fails (1) or passes (0) and prints each text.
expect() {
    local want=$1 out rc; shift
    out=$(bash "$tmp/scripts/layers.sh" 2>&1); rc=$?
    [ $((rc != 0)) -eq "$want" ] || set -- "$@" "(exit $want, not $rc)"
    for text in "$@"; do
        grep -qF -- "$text" <<<"$out" || { echo "FAIL ($case): no '$text' in:"; echo "$out"; failures=$((failures + 1)); }
    done
}

case="no cycle"
put common/c.cpp common/c.h
put qt/a.h common/c.h; put qt/a.cpp qt/a.h qt/b.h; put qt/b.cpp qt/b.h
put core/x.cpp core/x.h core/y.h; put core/y.h core/z.h; put core/z.cpp core/z.h
expect 0 "No include against the layers, no cycle."

case="direct and three-way cycle"
put qt/b.cpp qt/b.h a.h # beside the file, without the folder
put core/z.cpp core/z.h core/x.h
expect 1 "a cycle between components of qt: qt/a qt/b" "qt/a -> qt/b -> qt/a" \
    "a cycle between components of core: core/x core/y core/z" "core/x -> core/y -> core/z -> core/x"

case="both known"
printf '%s\n' "# why" "qt/b qt/a  # why" "core/z core/x core/y" >"$tmp/known"
export LAYERS_KNOWN_CYCLES=$tmp/known
expect 0 "known ($tmp/known): core/x core/y core/z" "known ($tmp/known): qt/a qt/b" \
    "no cycle but the known ones"

case="a known one grew, another is gone"
put qt/c.h qt/a.h; put qt/a.cpp qt/a.h qt/b.h qt/c.h
put core/z.cpp core/z.h
expect 1 "a cycle between components of qt: qt/a qt/b qt/c" "qt/a -> qt/c -> qt/a" \
    "no such cycle (now gone or changed; delete or mend the line): core/x core/y core/z" \
    "no such cycle (now gone or changed; delete or mend the line): qt/a qt/b"

[ "$failures" -eq 0 ] && echo "all passed"
exit "$((failures > 0))"
