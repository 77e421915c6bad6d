#!/usr/bin/env bash
# Installs what is missing, builds, and starts Voltaris in the current
# directory, where it keeps Mein_Vertrag.dat and Mein_Verbrauch.txt.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" --target voltaris | grep -v '^ninja: no work to do' || true

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    display=:99
    if ! [ -e /tmp/.X11-unix/X99 ]; then
        Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
        for _ in $(seq 50); do [ -e /tmp/.X11-unix/X99 ] && break; sleep 0.1; done
    fi
    export DISPLAY=$display
    cat <<MSG
No display found: Voltaris runs on the virtual display $display (Xvfb).
To see it, take a screenshot from another shell:
    DISPLAY=$display import -window root voltaris.png     # imagemagick
or watch it live with a VNC viewer:
    x11vnc -display $display -localhost    # then connect to localhost:5900
Stop the program with Ctrl+C.
MSG
fi
exec "$root/build/voltaris"
