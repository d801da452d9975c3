// The pixel density of the monitor a window is on, and sizes scaled to it. Sizes in the
// program are written for 96 dots per inch and scaled here. Layer: framework/.
#pragma once

#include <windows.h>

// The system's message to a top-level window moved to a monitor of another density (the
// headers declare it only for newer systems than the program targets).
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

// Sizes below are written for this density (100 % scaling).
constexpr UINT kFxBaseDpi = 96;

// The density of the monitor wnd is on: the density the top-level window was last moved
// to (FxSetWindowDpi), else what the system says of the window, else the system's own.
UINT FxDpiOf(HWND wnd);
// The density of the primary monitor, for what is sized before it has a window.
UINT FxSystemDpi();
// The density of a monitor (the system's where the system cannot tell monitors apart).
UINT FxMonitorDpi(HMONITOR monitor);
// Records the density a top-level window was moved to (from WM_DPICHANGED), so that its
// children size themselves for it before the system says so of them.
void FxSetWindowDpi(HWND topLevel, UINT dpi);

// px96 pixels at 96 DPI, at dpi; a nonzero size never scales to zero.
int FxScale(int px96, UINT dpi);
// px pixels at dpi, brought back to 96 DPI (for sizes that are stored).
int FxUnscale(int px, UINT dpi);
// The system metric index at dpi (GetSystemMetricsForDpi where the system has it); borders,
// edges and frames are never thinner than their 96-DPI width scaled to dpi.
int FxSystemMetric(int index, UINT dpi);
// A font of the icon title and menu kind for dpi: the system's font, made for dpi.
LOGFONTA FxMessageFont(UINT dpi);
// AdjustWindowRectEx for the non-client sizes of dpi (AdjustWindowRectExForDpi where the
// system has it).
bool FxAdjustWindowRectEx(RECT* rc, DWORD style, bool menu, DWORD exStyle, UINT dpi);
