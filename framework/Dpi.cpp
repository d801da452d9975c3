// The pixel density of the monitor a window is on, and sizes scaled to it. Layer: framework/.
#include "framework/Dpi.h"

#include <algorithm>
#include <cstddef>

namespace {

// Where a top-level window keeps the density it was last moved to.
const char kDpiProp[] = "FxWindowDpi";

template <typename Fn> Fn UserProc(const char* name) {
    HMODULE user = GetModuleHandleA("user32.dll");
    return user ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user, name)))
                : nullptr;
}

bool IsBorderMetric(int index) {
    switch (index) {
    case SM_CXBORDER:
    case SM_CYBORDER:
    case SM_CXEDGE:
    case SM_CYEDGE:
    case SM_CXFRAME:
    case SM_CYFRAME:
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return true;
    default:
        return false;
    }
}

UINT ScreenDpi() {
    HDC dc = GetDC(nullptr);
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (dc)
        ReleaseDC(nullptr, dc);
    return dpi > 0 ? static_cast<UINT>(dpi) : kFxBaseDpi;
}

} // namespace

UINT FxSystemDpi() {
    using GetDpiForSystemFn = UINT(WINAPI*)();
    static const GetDpiForSystemFn forSystem = UserProc<GetDpiForSystemFn>("GetDpiForSystem");
    const UINT dpi = forSystem ? forSystem() : 0;
    return dpi ? dpi : ScreenDpi();
}

UINT FxMonitorDpi(HMONITOR monitor) {
    // GetDpiForMonitor lives in the shell's scaling library of newer systems.
    using DpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const DpiForMonitorFn forMonitor = [] {
        HMODULE shcore = LoadLibraryA("shcore.dll");
        return shcore ? reinterpret_cast<DpiForMonitorFn>(
                            reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                      : nullptr;
    }();
    // Only a program aware of each monitor's density is told it; any other sees the system's
    // density everywhere (and its windows answer so).
    using ContextFn = HANDLE(WINAPI*)();
    using AwarenessFn = int(WINAPI*)(HANDLE);
    static const ContextFn context = UserProc<ContextFn>("GetThreadDpiAwarenessContext");
    static const AwarenessFn awareness =
        UserProc<AwarenessFn>("GetAwarenessFromDpiAwarenessContext");
    const int perMonitorAware = 2;
    if (!context || !awareness || awareness(context()) != perMonitorAware)
        return FxSystemDpi();
    UINT x = 0, y = 0;
    const int effectiveDpi = 0;
    if (monitor && forMonitor && SUCCEEDED(forMonitor(monitor, effectiveDpi, &x, &y)) && y)
        return y;
    return FxSystemDpi();
}

UINT FxDpiOf(HWND wnd) {
    if (!wnd || !IsWindow(wnd))
        return FxSystemDpi();
    HWND top = GetAncestor(wnd, GA_ROOT);
    if (top) {
        const UINT_PTR told = reinterpret_cast<UINT_PTR>(GetPropA(top, kDpiProp));
        if (told)
            return static_cast<UINT>(told);
    }
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const GetDpiForWindowFn forWindow = UserProc<GetDpiForWindowFn>("GetDpiForWindow");
    const UINT dpi = forWindow ? forWindow(wnd) : 0;
    return dpi ? dpi : FxSystemDpi();
}

void FxSetWindowDpi(HWND topLevel, UINT dpi) {
    if (!topLevel)
        return;
    if (dpi)
        SetPropA(topLevel, kDpiProp, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(dpi)));
    else
        RemovePropA(topLevel, kDpiProp);
}

int FxScale(int px96, UINT dpi) {
    if (px96 == 0)
        return 0;
    const int scaled = MulDiv(px96, static_cast<int>(dpi), static_cast<int>(kFxBaseDpi));
    if (scaled == 0)
        return px96 > 0 ? 1 : -1;
    return scaled;
}

int FxUnscale(int px, UINT dpi) {
    if (!dpi)
        return px;
    return MulDiv(px, static_cast<int>(kFxBaseDpi), static_cast<int>(dpi));
}

int FxSystemMetric(int index, UINT dpi) {
    using MetricsForDpiFn = int(WINAPI*)(int, UINT);
    static const MetricsForDpiFn forDpi = UserProc<MetricsForDpiFn>("GetSystemMetricsForDpi");
    const UINT system = FxSystemDpi();
    const int value =
        forDpi ? forDpi(index, dpi)
               : MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(system));
    if (!IsBorderMetric(index))
        return value;
    // The system keeps its thin borders and edges at one or two pixels at every density; the
    // bars draw theirs in proportion, so that each keeps its 96-DPI share of the bar's size.
    const int at96 = forDpi ? forDpi(index, kFxBaseDpi)
                            : MulDiv(GetSystemMetrics(index), static_cast<int>(kFxBaseDpi),
                                     static_cast<int>(system));
    return std::max(value, FxScale(at96, dpi));
}

LOGFONTA FxMessageFont(UINT dpi) {
    NONCLIENTMETRICSA metrics{};
    // The size of the structure as the oldest supported system knows it.
    metrics.cbSize = offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(LOGFONTA);
    LOGFONTA font{};
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
        font = metrics.lfMessageFont;
    else
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    // The system gives its font for its own density.
    const UINT system = FxSystemDpi();
    if (system != dpi)
        font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(system));
    return font;
}

bool FxAdjustWindowRectEx(RECT* rc, DWORD style, bool menu, DWORD exStyle, UINT dpi) {
    using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const AdjustForDpiFn forDpi = UserProc<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    if (forDpi)
        return forDpi(rc, style, menu, exStyle, dpi) != 0;
    return AdjustWindowRectEx(rc, style, menu, exStyle) != 0;
}
