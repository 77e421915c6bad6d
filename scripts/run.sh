#!/usr/bin/env bash
# Installs what is missing, builds, and starts Voltaris in the current
# directory, where it keeps its files (Mein_Vertrag.dat, Mein_Verbrauch.txt,
# ...). Arguments go to the program (scripts/run.sh --documents).
# Without a display it starts a virtual one (Xvfb) and ends it with the
# program, also on Ctrl+C.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/setup.sh"
# The build's progress stays out of the terminal; a failed build shows all of it.
[ -x "$root/build/voltaris" ] || echo "Building Voltaris (the first time takes a few minutes) ..."
log=$(mktemp)
if ! "$root/scripts/build.sh" --target voltaris >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    exit 1
fi
rm -f "$log"

xvfb= app= private=
cleanup() {
    if [ -n "$app" ]; then
        kill "$app" 2>/dev/null || true
        wait "$app" 2>/dev/null || true
    fi
    if [ -n "$xvfb" ]; then
        kill "$xvfb" 2>/dev/null || true
        wait "$xvfb" 2>/dev/null || true
    fi
    [ -z "$private" ] || rm -rf "$private"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

# Qt's place for its sockets, private to the user; unset, Qt warns and
# falls back to a folder of its own in /tmp.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    private=$(mktemp -d /tmp/voltaris-run.XXXXXX) # 0700
    export XDG_RUNTIME_DIR=$private
fi

# Whether an X server listens on display number $1: its socket (in the file
# system or the abstract one) bound and listening, not a file left behind.
listening() {
    awk -v path="/tmp/.X11-unix/X$1" '$4 == "00010000" && ($8 == path || $8 == "@" path) {
        found = 1 } END { exit !found }' /proc/net/unix
}

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    [ -n "$private" ] || private=$(mktemp -d /tmp/voltaris-run.XXXXXX)
    # The first display from :99 on that no server holds. What a server that
    # is gone left behind is stale: Xvfb takes over its lock; its socket is
    # removed (where another user's stays, the next number is taken).
    n=99
    while :; do
        pid=$({ tr -d ' ' <"/tmp/.X$n-lock"; } 2>/dev/null || true)
        if ! { [ -n "$pid" ] && [ -d "/proc/$pid" ]; } && ! listening "$n"; then
            rm -f "/tmp/.X11-unix/X$n" 2>/dev/null || true
            [ -e "/tmp/.X11-unix/X$n" ] || break
        fi
        n=$((n + 1))
    done
    display=:$n
    # -fbdir keeps the screen as a picture file: a screenshot needs no other
    # tool. A session of its own: Ctrl+C in the terminal would end it ahead of
    # the program, which would then complain of the lost display.
    setsid Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp -fbdir "$private" >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 150); do # up to 15 s
        if listening "$n" || ! kill -0 "$xvfb" 2>/dev/null; then break; fi
        sleep 0.1
    done
    if ! listening "$n" || ! kill -0 "$xvfb" 2>/dev/null; then
        echo "Xvfb could not start on $display." >&2
        exit 1
    fi
    export DISPLAY=$display
    cat <<MSG
No display found: Voltaris runs on the virtual display $display (Xvfb), which
ends with the program. Xvfb keeps the screen in a file; a screenshot, from
another shell, is a copy of it (an XWD picture, which GIMP opens):
    cp $private/Xvfb_screen0 voltaris.xwd
    convert xwd:$private/Xvfb_screen0 voltaris.png    # as PNG, with imagemagick
or watch it live with a VNC viewer:
    x11vnc -display $display -localhost    # package x11vnc; then localhost:5900
Stop the program with Ctrl+C.
MSG
fi

# In the background and waited for, so that Ctrl+C and kill reach the
# script at once and it ends the program and the display.
"$root/build/voltaris" "$@" &
app=$!
status=0
wait "$app" || status=$?
app=
exit "$status"
