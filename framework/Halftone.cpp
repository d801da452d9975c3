// Halftone brush and inverted outlines. Layer: framework/.
#include "framework/Halftone.h"

HBRUSH AfxGetHalftoneBrush() {
    static HBRUSH brush = [] {
        WORD bits[8];
        for (int i = 0; i < 8; ++i)
            bits[i] = static_cast<WORD>(0x5555 << (i & 1));
        HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, bits);
        HBRUSH made = bitmap ? CreatePatternBrush(bitmap) : nullptr;
        if (bitmap)
            DeleteObject(bitmap);
        return made ? made : static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    }();
    return brush;
}

void AfxInvertHalftoneRect(HWND wnd, const RECT& rc) {
    HWND target = wnd ? wnd : GetDesktopWindow();
    HDC dc = GetDCEx(target, nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    if (!dc)
        dc = GetWindowDC(target);
    if (!dc)
        return;
    HGDIOBJ old = SelectObject(dc, AfxGetHalftoneBrush());
    PatBlt(dc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, PATINVERT);
    SelectObject(dc, old);
    ReleaseDC(target, dc);
}

void AfxInvertHalftoneFrame(HWND wnd, const RECT& rc, int t) {
    const int w = rc.right - rc.left;
    const int h = rc.bottom - rc.top;
    if (w <= 2 * t || h <= 2 * t) {
        AfxInvertHalftoneRect(wnd, rc);
        return;
    }
    AfxInvertHalftoneRect(wnd, {rc.left, rc.top, rc.right, rc.top + t});
    AfxInvertHalftoneRect(wnd, {rc.left, rc.bottom - t, rc.right, rc.bottom});
    AfxInvertHalftoneRect(wnd, {rc.left, rc.top + t, rc.left + t, rc.bottom - t});
    AfxInvertHalftoneRect(wnd, {rc.right - t, rc.top + t, rc.right, rc.bottom - t});
}
