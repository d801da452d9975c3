#!/bin/bash
# Installs what is missing, builds, and runs the editor. Without a display it runs on a virtual
# one and leaves a screenshot in build/screenshot.png after a few seconds.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/cmake/install-deps.sh"
"$root/cmake/build.sh"
headless=""
[ -z "${DISPLAY:-}" ] && headless=1
. "$root/cmake/wine-env.sh"
wine_start
trap wine_stop EXIT
cd "$root/build/win/bin"
if [ -n "$headless" ]; then
    wine Quorvane.exe "$@" &
    sleep "${QV_SHOT_DELAY:-6}"
    xwd -root -silent | convert xwd:- "$root/build/screenshot.png"
    echo "screenshot: build/screenshot.png"
    wineserver -k || true
else
    wine Quorvane.exe "$@"
fi
