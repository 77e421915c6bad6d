#!/usr/bin/env bash
# Prints which folders of src/ include from which, and fails on an include
# against the layers (a folder including one above it) or a cycle between
# files. The build enforces the same through each library's include root;
# this tells it at a glance, without a build.
set -euo pipefail
cd "$(dirname "$0")/../src"

# The layers, lowest first; a folder may include its own and lower ones.
declare -A rank=([common]=0 [core]=1 [ui]=2 [contract]=3 [meterlog]=3 [appliance]=3 [qt]=4)

edges=$(grep -rHo '^#include "[a-z]*/[A-Za-z0-9_]*\.h"' --include='*.h' --include='*.cpp' . |
    sed -E 's#^\./([^:]*):\#include "([^"]*)"#\1 \2#')

status=0
echo "Folder includes (from -> to: count):"
echo "$edges" | awk '{split($1, a, "/"); split($2, b, "/"); if (a[1] != b[1]) print a[1] " -> " b[1]}' |
    sort | uniq -c | awk '{print "  " $2 " -> " $4 ": " $1}'
while read -r from to; do
    f=${from%%/*} t=${to%%/*}
    if [ -z "${rank[$f]+x}" ] || [ -z "${rank[$t]+x}" ]; then
        echo "unknown folder in: $from -> $to"; status=1; continue
    fi
    if [ "$f" != "$t" ] && { [ "${rank[$t]}" -ge "${rank[$f]}" ]; }; then
        echo "against the layers: $from includes $to"; status=1
    fi
done <<<"$edges"

# A cycle between files: tsort names the files of each loop.
if ! loops=$(echo "$edges" | awk '{print $2, $1}' | tsort 2>&1 >/dev/null) || [ -n "$loops" ]; then
    echo "a cycle between files:"; echo "$loops"; status=1
fi
[ "$status" -eq 0 ] && echo "No include against the layers, no cycle."
exit "$status"
