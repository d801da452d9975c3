#!/bin/bash
# Runs the density tests: in a Wine prefix of their own (build/wineprefix-dpi-ARCH, made on the
# first run and kept), the display set to 96, 144 and 192 DPI in turn, the test program run once
# at each from a folder of its own (its INI files start from the defaults). The run at 96 DPI
# writes the figures the others scale. The program asks for screenshots of its windows, which
# land in build/ARCH/dpi-test/shots as DPI-NAME.png.
# Arguments: the dpi_tests program, then gtest arguments.
set -uo pipefail
exe="$1"
shift
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "$(dirname "$exe")/.." && pwd)"
arch="$(basename "$build")"
export QV_WINEPREFIX="$(dirname "$build")/wineprefix-dpi-$arch"
# A display started here is as large as one a 200 % scaling is made for, so that the settings
# dialog at 192 DPI fits in the screenshots (the measurements do not depend on it).
export QV_SCREEN="${QV_SCREEN:-2560x1600x24}"
. "$root/cmake/wine-env.sh"
wine_use "$arch" || exit 1
work="$build/dpi-test"
# The prefix's server ends with the test (the prefix stays for the next run) and, after a
# failure, the prefix is left at 96 DPI as every other program expects.
trap 'wine_set_dpi 96; wine_stop' EXIT
wine_start

rm -rf "$work"
mkdir -p "$work/shots"
cp "$exe" "$work/"
program="$work/$(basename "$exe")"
figures="$work/figures.ini"

# The screen as a picture: the root window, and over it each top-level window in its place from
# the bottom of the stack up (a window that Wine gives a visual of its own is missing from the
# root window's picture).
shoot() { # png
    local id size at
    xwd -root -silent -display "$DISPLAY" | convert xwd:- "$1" 2>/dev/null || return 1
    # xwininfo lists the root's children from the top of the stack down.
    xwininfo -root -tree -display "$DISPLAY" 2>/dev/null |
        awk '/^     0x/ && $(NF-1) ~ /^[0-9]+x[0-9]+/ { split($(NF-1), g, "[x+-]"); if (g[1] > 1 && g[2] > 1) print $1, $NF }' |
        tac | while read -r id at; do
            xwd -id "$id" -silent -display "$DISPLAY" 2>/dev/null |
                convert "$1" xwd:- -geometry "$at" -composite "$1" 2>/dev/null || true
        done
}

# Takes the screenshots the program asks for until it ends.
serve_shots() { # pid
    local ready name
    while kill -0 "$1" 2>/dev/null; do
        for ready in "$work"/shots/*.ready; do
            [ -e "$ready" ] || continue
            name="$(basename "$ready" .ready)"
            shoot "$work/shots/$name.png" || echo "dpi tests: no screenshot of $name"
            rm -f "$ready"
        done
        sleep 0.1
    done
}

status=0
for dpi in 96 144 192; do
    echo "=== at $dpi DPI"
    wine_set_dpi "$dpi"
    rm -f "$work"/*.INI
    QV_DPI_EXPECTED="$dpi" QV_DPI_FIGURES="$(winepath -w "$figures" 2>/dev/null)" \
        QV_DPI_SHOTS="$(winepath -w "$work/shots" 2>/dev/null)" \
        "$root/cmake/wine-run.sh" "$program" "$@" &
    pid=$!
    serve_shots "$pid"
    wait "$pid" || status=1
    if [ "$dpi" = 96 ] && [ ! -s "$figures" ]; then
        echo "dpi tests: the run at 96 DPI wrote no figures: the others cannot be compared"
        status=1
        break
    fi
done
echo "dpi tests: screenshots in $work/shots"
exit $status
