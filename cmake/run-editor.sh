#!/bin/bash
# Installs what is missing, builds, and runs the editor. Without a display it runs on a virtual
# one and leaves a screenshot in build/screenshot.png after a few seconds.
# It runs the x64 build, which every machine runs; QV_ARCH=win32 runs the x86 one where the
# kernel runs 32-bit programs.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/cmake/install-deps.sh"
. "$root/cmake/wine-env.sh"
arch="$(qv_default_arch)"
QV_BUILD_ARCHES="$arch" "$root/cmake/build.sh"
wine_use "$arch"
echo "run-editor: the $(qv_arch_name "$arch") build (build/$arch/bin/Quorvane.exe), Wine prefix build/$(basename "$WINEPREFIX")"
headless=""
[ -z "${DISPLAY:-}" ] && headless=1
wine_start
trap wine_stop EXIT
cd "$QV_BIN"
if [ -n "$headless" ]; then
    wine Quorvane.exe "$@" &
    sleep "${QV_SHOT_DELAY:-6}"
    xwd -root -silent | convert xwd:- "$root/build/screenshot.png"
    echo "screenshot: build/screenshot.png"
    wineserver -k || true
else
    wine Quorvane.exe "$@"
fi
