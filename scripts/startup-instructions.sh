#!/usr/bin/env bash
# Counts the instructions one start of the program takes until its window is
# shown and painted, under valgrind's callgrind, on a virtual display of its
# own: with no files (a first start), with a log of ten years of daily
# readings, and with four further meters beside it, each as long. Unlike a
# time, the count hardly moves when the machine is busy, so two builds
# compared this way show a change of a fraction of a percent that the
# start-up benchmark's times cannot.
#
#   scripts/startup-instructions.sh VOLTARIS [BASELINE] [ROUNDS]   (default 2)
#
# BASELINE is another build's voltaris; each figure is then printed for both
# and as their ratio. Each start takes some seconds under callgrind.
set -euo pipefail
[ $# -ge 1 ] || {
    sed -n '10p' "$0"
    exit 2
}
programs=("$(realpath "$1")")
[ -n "${2:-}" ] && programs+=("$(realpath "$2")")
rounds=${3:-2}

"$(dirname "$0")/setup.sh" valgrind xdotool x11-utils

work=$(mktemp -d)
xvfb=
cleanup() {
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=scripts/private-display.sh
. "$(dirname "$0")/private-display.sh"
start_private_display
export DISPLAY=":$display" LC_ALL=C LANG=C

# The log as the program writes it: Windows-1252, CR LF, 3,650 days of 10 kWh.
mkdir -p "$work/empty" "$work/log"
{
    printf '           Mein Verbrauch\r\n'
    printf '________________________________________\r\n'
    printf '     Datum | Z\xe4hlerstand | Tage | kW/Tag\r\n'
    printf '===========|=============|======|=======\r\n'
    seq 0 3649 | sed 's/.*/2016-01-01 + & days/' | date -u -f - +%d.%m.%Y |
        awk '{ if (NR == 1) printf "%s | %11s | %4s | %6s\r\n", $1, "1000,00", 0, 0
               else printf "%s | %11s | %4s | %6s\r\n", $1, (1000 + 10 * (NR - 1)) ",00", 1, "10,00" }'
} >"$work/log/Mein_Verbrauch.txt"
# The same log and four sub-meters with logs as long, read when first shown.
mkdir -p "$work/meters"
{
    printf 'Art;Name;Z\xe4hlerart;Z\xe4hlernummer;Datei;Werte\r\n'
    for i in 1 2 3 4; do
        printf 'Z\xe4hler;Unterz\xe4hler %s;Unterzaehler;;Unterzaehler_%s\r\n' "$i" "$i"
        cp "$work/log/Mein_Verbrauch.txt" "$work/meters/Mein_Verbrauch_Unterzaehler_$i.txt"
    done
} >"$work/meters/Meine_Zaehler.txt"
cp "$work/log/Mein_Verbrauch.txt" "$work/meters/"

# One start in FOLDER: until the window is shown, then a moment for its first
# paint; the count is written when the program ends on SIGTERM.
count() {
    local program=$1 folder=$2 out="$work/callgrind.out"
    rm -f "$folder/.voltaris.lock" "$out"
    (cd "$folder" && exec valgrind --tool=callgrind --callgrind-out-file="$out" "$program" \
        >/dev/null 2>&1) &
    local pid=$!
    for _ in $(seq 600); do
        xdotool search --onlyvisible --name 'Voltaris' >/dev/null 2>&1 && break
        sleep 0.1
    done
    sleep 2
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    sed -n 's/^summary: //p' "$out"
}

median() { sort -n | awk '{v[NR] = $1} END {printf "%d\n", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

if [ ${#programs[@]} -gt 1 ]; then
    printf '%-30s %16s %16s %8s\n' "instructions to the window" "voltaris" "baseline" "ratio"
else
    printf '%-30s %16s\n' "instructions to the window" "voltaris"
fi
for folder in empty log meters; do
    a=() b=()
    for _ in $(seq "$rounds"); do
        a+=("$(count "${programs[0]}" "$work/$folder")")
        [ ${#programs[@]} -gt 1 ] && b+=("$(count "${programs[1]}" "$work/$folder")")
    done
    ma=$(printf '%s\n' "${a[@]}" | median)
    case $folder in
    empty) label="no files" ;;
    log) label="3650 rows" ;;
    meters) label="3650 rows, 4 further meters" ;;
    esac
    if [ ${#programs[@]} -gt 1 ]; then
        mb=$(printf '%s\n' "${b[@]}" | median)
        printf '%-30s %16.0f %16.0f %8.4f\n' "$label" "$ma" "$mb" "$(awk "BEGIN {print $ma / $mb}")"
    else
        printf '%-30s %16.0f\n' "$label" "$ma"
    fi
done
