#!/usr/bin/env bash
# Starts Voltaris on a virtual display with the accessibility bus and prints
# what a screen reader is told about every control (scripts/a11y-tree.py).
# Needs xvfb, at-spi2-core, dbus and python3-pyatspi (Debian).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" --target voltaris >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
sleep 1
cd "$work"
DISPLAY=$display dbus-run-session -- bash -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately &
    sleep 1
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 "$0" &
    app=$!
    sleep 3
    /usr/bin/python3 "$1"
    status=$?
    kill $app
    exit $status' "$root/build/voltaris" "$root/scripts/a11y-tree.py"
