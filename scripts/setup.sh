#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running need, and
# the packages named as arguments (what only a benchmark or the fuzzers use).
# Idempotent: quiet and quick when everything is there.
set -euo pipefail

packages=(cmake ninja-build g++ qt6-base-dev qt6-svg-dev qt6-charts-dev libqt6opengl6-dev qt6-translations-l10n libgl-dev libfontconfig-dev
    qt6-serialport-dev
    fonts-liberation xvfb xauth poppler-utils python3-icalendar "$@")

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done
((${#missing[@]} == 0)) && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
    sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
