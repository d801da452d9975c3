# Sourced by the scripts: a private Wine prefix under the build folder, code page 936, a
# persistent server and a virtual display. Call wine_use ARCH (win32 or win64) to choose the
# build and the prefix it runs in, wine_start, and wine_stop at the end.
#   win32: the x86 build, a win32 prefix (build/wineprefix-win32), the plain wine.
#   win64: the x64 build, a win64 prefix (build/wineprefix-win64), the 64-bit loader: the plain
#          wine wrapper would take the 32-bit one whenever it is installed, even where the kernel
#          cannot run it, so cmake/wine64 goes first in PATH.
# QV_WINEPREFIX names another prefix; QV_ARCH chooses the build where a script runs one only
# (default: the x64 build, which every machine runs); QV_SCREEN the size of a virtual display
# started here (default 1280x900x24).
QV_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$QV_ROOT/cmake/kernel-arch.sh"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=zh_CN.UTF-8
# PATH without the 64-bit wine folder, which a parent script may have put first.
QV_PATH_WITHOUT_WINE64="$(printf '%s' "$PATH" | tr ':' '\n' | grep -vxF "$QV_ROOT/cmake/wine64" | paste -sd:)"

# The builds this machine can run, x64 first: it runs everywhere.
qv_runnable_arches() {
    if qv_runs_32bit; then
        echo "win64 win32"
    else
        echo "win64"
    fi
}

# The build a script that runs only one takes.
qv_default_arch() {
    echo "${QV_ARCH:-win64}"
}

wine_use() { # win32 | win64
    case "$1" in
    win32)
        if ! qv_runs_32bit; then
            echo "wine-env: this kernel does not run 32-bit programs: the x86 build cannot run here" >&2
            return 1
        fi
        export PATH="$QV_PATH_WITHOUT_WINE64"
        unset WINELOADER
        ;;
    win64)
        export PATH="$QV_ROOT/cmake/wine64:$QV_PATH_WITHOUT_WINE64"
        export WINELOADER=/usr/lib/wine/wine64
        ;;
    *)
        echo "wine-env: unknown build '$1' (win32, win64)" >&2
        return 1
        ;;
    esac
    export QV_ARCH="$1"
    export WINEARCH="$1"
    export WINEPREFIX="${QV_WINEPREFIX:-$QV_ROOT/build/wineprefix-$1}"
    export QV_BIN="$QV_ROOT/build/$1/bin"
}

wine_start() {
    [ -n "${WINEPREFIX:-}" ] || wine_use "$(qv_default_arch)"
    if [ -z "${DISPLAY:-}" ]; then
        export DISPLAY=:${QV_DISPLAY:-97}
        if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
            Xvfb "$DISPLAY" -screen 0 "${QV_SCREEN:-1280x900x24}" -nolisten tcp >/dev/null 2>&1 &
            QV_XVFB_PID=$!
            for _ in $(seq 50); do xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && break; sleep 0.1; done
        fi
    fi
    mkdir -p "$(dirname "$WINEPREFIX")"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        # wineboot is a script over the plain wine: through the wine of PATH instead.
        wine wineboot.exe -i >/dev/null 2>&1 || true
        wineserver -w
    fi
    wineserver -p 2>/dev/null || true # already running for this prefix: keep it
    # Without a window manager, Wine waits up to two seconds for each managed window it hides;
    # unmanaged windows draw their own frames and hide at once.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 || true
    # The editor's default font is "Courier New", which a Chinese Windows has and draws Chinese
    # through its linked fonts. Wine has neither: without a replacement it falls back to a
    # proportional face and the columns stop lining up with the ruler. WenQuanYi Micro Hei Mono is
    # fixed-pitch with full-width Chinese glyphs, as the real pair is.
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Courier New' /d 'WenQuanYi Micro Hei Mono' /f \
        </dev/null >/dev/null 2>&1 || true
    # The first program of a server starts Wine's services, which keep the standard handles they
    # inherit: start them here, detached, so that they never hold a test runner's pipes open.
    wine cmd.exe /c exit 0 </dev/null >/dev/null 2>&1 || true
}

# Ends this prefix's server; the display stays for the next prefix (wine_stop_display ends it).
wine_stop_server() {
    wineserver -k 2>/dev/null || true
}

wine_stop() {
    wine_stop_server
    if [ -n "${QV_XVFB_PID:-}" ]; then kill "$QV_XVFB_PID" 2>/dev/null || true; fi
}

# Sets the display's pixel density of this prefix (96, 144, 192, ...) and restarts its server, so
# that the next program reads it.
wine_set_dpi() { # dpi
    local hex
    hex=$(printf '0x%x' "$1")
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$hex" /f </dev/null >/dev/null 2>&1 || true
    wine reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d "$hex" /f </dev/null >/dev/null 2>&1 || true
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    wineserver -p 2>/dev/null || true
    wine cmd.exe /c exit 0 </dev/null >/dev/null 2>&1 || true
}
