# Sourced by the scripts: a private 32-bit Wine prefix under the build folder, code page 936,
# a persistent server and a virtual display. Call wine_start, and wine_stop at the end.
QV_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${QV_WINEPREFIX:-$QV_ROOT/build/wineprefix}"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=zh_CN.UTF-8

wine_start() {
    if [ -z "${DISPLAY:-}" ]; then
        export DISPLAY=:${QV_DISPLAY:-97}
        if ! xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
            Xvfb "$DISPLAY" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
            QV_XVFB_PID=$!
            for _ in $(seq 50); do xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 && break; sleep 0.1; done
        fi
    fi
    mkdir -p "$(dirname "$WINEPREFIX")"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wineboot -i >/dev/null 2>&1 || true
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

wine_stop() {
    wineserver -k 2>/dev/null || true
    if [ -n "${QV_XVFB_PID:-}" ]; then kill "$QV_XVFB_PID" 2>/dev/null || true; fi
}
