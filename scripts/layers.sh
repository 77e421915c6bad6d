#!/usr/bin/env bash
# Prints which folders of src/ include from which, and fails on an include
# against the layers (a folder including one above it) or a cycle between
# files. The build enforces the same through each library's include root;
# this tells it at a glance, without a build. It fails too on a cycle between
# the components of one folder (a .cpp with its .h) unless it is listed in
# scripts/layers-known-cycles.txt; LAYERS_KNOWN_CYCLES names another list
# (/dev/null: none known, every loop shown).
set -euo pipefail
list=${LAYERS_KNOWN_CYCLES:-scripts/layers-known-cycles.txt}
known=${LAYERS_KNOWN_CYCLES:-$(cd "$(dirname "$0")" && pwd)/layers-known-cycles.txt}
case $known in /*) ;; *) known=$PWD/$known ;; esac
[ -r "$known" ] || known=/dev/null
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

# A cycle between components of one folder, a component being a .cpp with its
# .h (named without the extension): a file of each includes the header of the
# next, around to the first. The file check above misses it (a.cpp -> b.h and
# b.cpp -> a.h is no loop of files), yet neither half can be built, tested or
# changed without the other. A header included without its folder is the one
# beside the file. A known cycle passes only exactly as listed, and a listed
# one that is gone fails too, so the list can only shrink.
bare=$({ grep -rHo '^#include "[A-Za-z0-9_]*\.h"' --include='*.h' --include='*.cpp' . || true; } |
    sed -E 's#^\./(([^/]*)/[^:]*):\#include "([^"]*)"#\1 \2/\3#' |
    while read -r from to; do if [ -f "$to" ]; then echo "$from $to"; fi; done)
components=$(printf '%s\n%s\n' "$edges" "$bare" | awk 'NF == 2 {
        f = $1; t = $2; sub(/\.[^.\/]*$/, "", f); sub(/\.h$/, "", t)
        split(f, a, "/"); split(t, b, "/")
        if (a[1] == b[1] && f != t) print f, t
    }' | LC_ALL=C sort -u)
# Exits 0 without a cycle, 3 with known ones only, 1 on any other.
rc=0
cycles=$(echo "$components" | awk -v list="$list" '
    # The words m[1..n] sorted, without repeats, as one line.
    function sorted(m, n,   i, j, x, s) {
        for (i = 2; i <= n; i++) {
            x = m[i]
            for (j = i - 1; j >= 1 && m[j] > x; j--) m[j + 1] = m[j]
            m[j + 1] = x
        }
        s = m[1]
        for (i = 2; i <= n; i++) if (m[i] != m[i - 1]) s = s " " m[i]
        return s
    }
    # reach[s, v] for each v that s includes, directly or through others.
    function walk(s,   head, tail, u, k, v) {
        split("", queue); queue[1] = s; head = tail = 1
        while (head <= tail) {
            u = queue[head++]
            for (k = 1; k <= nsucc[u]; k++) {
                v = succ[u, k]
                if (!((s, v) in reach)) { reach[s, v] = 1; queue[++tail] = v }
            }
        }
    }
    # The shortest loop from m back to m, its components marked as named.
    function loop(m,   head, tail, u, k, v, path) {
        split("", queue); split("", parent); queue[1] = m; head = tail = 1
        while (head <= tail) {
            u = queue[head++]
            for (k = 1; k <= nsucc[u]; k++) {
                v = succ[u, k]
                if (v == m) {
                    for (path = m; u != m; u = parent[u]) { path = u " -> " path; named[u] = 1 }
                    named[m] = 1
                    return m " -> " path
                }
                if (!(v in parent)) { parent[v] = u; queue[++tail] = v }
            }
        }
    }
    FILENAME == ARGV[1] {
        sub(/#.*/, ""); n = split($0, m)
        if (n == 0) next
        k = sorted(m, n)
        if (!(k in known)) { known[k] = 1; listed[++nlisted] = k }
        next
    }
    NF == 2 {
        if (!($1 in seen)) { seen[$1] = 1; node[++nodes] = $1 }
        if (!($2 in seen)) { seen[$2] = 1; node[++nodes] = $2 }
        succ[$1, ++nsucc[$1]] = $2; edge[$1, $2] = 1
    }
    END {
        for (i = 1; i <= nodes; i++) walk(node[i])
        sorted(node, nodes)
        bad = good = 0
        for (i = 1; i <= nodes; i++) {
            s = node[i]
            if (s in done || !((s, s) in reach)) continue
            n = 0; split("", member)
            for (j = i; j <= nodes; j++)
                if ((s, node[j]) in reach && (node[j], s) in reach) { member[++n] = node[j]; done[node[j]] = 1 }
            k = sorted(member, n)
            if (!bad && !good) print "Cycles between components (a -> b: the .cpp or .h of a includes b.h):"
            if (k in known) { print "  known (" list "): " k; found[k] = 1; good++; continue }
            bad++; split(s, f, "/")
            print "  a cycle between components of " f[1] ": " k
            # Each pair that includes the other first, then a loop through
            # each component not named yet.
            split("", named)
            for (a = 1; a <= n; a++)
                for (b = a + 1; b <= n; b++)
                    if ((member[a], member[b]) in edge && (member[b], member[a]) in edge) {
                        print "    " member[a] " -> " member[b] " -> " member[a]
                        named[member[a]] = named[member[b]] = 1
                    }
            for (a = 1; a <= n; a++) if (!(member[a] in named)) print "    " loop(member[a])
        }
        for (i = 1; i <= nlisted; i++)
            if (!(listed[i] in found)) {
                if (!bad && !good) print "Cycles between components (a -> b: the .cpp or .h of a includes b.h):"
                print "  listed in " list " but no such cycle (now gone or changed; delete or mend the line): " listed[i]
                bad++
            }
        exit bad ? 1 : good ? 3 : 0
    }' "$known" -) || rc=$?
if [ -n "$cycles" ]; then echo "$cycles"; fi
[ "$rc" -eq 0 ] || [ "$rc" -eq 3 ] || status=1
if [ "$status" -eq 0 ] && [ "$rc" -eq 0 ]; then
    echo "No include against the layers, no cycle."
elif [ "$status" -eq 0 ]; then
    echo "No include against the layers, no cycle but the known ones between components."
fi
exit "$status"
