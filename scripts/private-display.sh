# shellcheck shell=bash disable=SC2034  # display and xvfb are the caller's
# Sourced by the benchmark scripts: starts a virtual display of their own on
# the first free number from :77 on and waits until it answers (xdpyinfo,
# from x11-utils). Sets `display` (its number) and `xvfb` (the server's
# process, for the caller to end).
start_private_display() {
    display=77
    while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do
        display=$((display + 1))
    done
    Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do
        DISPLAY=":$display" xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.1
    done
}
