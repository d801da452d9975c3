// ViewFontMetrics: measuring the display font. Layer: textview/ (view side).
#include "textview/ViewFontMetrics.h"

#include "framework/Dpi.h"
#include "framework/GdiObject.h"

#include <algorithm>

ViewFontMetrics& ViewFontMetrics::Shared() {
    static ViewFontMetrics metrics;
    return metrics;
}

namespace {

// The caret width the user chose in the system (1 when the system has no such setting).
int SystemCaretWidth() {
    DWORD width = 0;
    if (!SystemParametersInfoA(SPI_GETCARETWIDTH, 0, &width, 0) || width == 0)
        return 1;
    return static_cast<int>(width);
}

// The settings font with its 96-DPI height made for dpi; null when it needs no other size.
HFONT MakeScaledFont(HFONT font, UINT dpi) {
    if (!font || dpi == kFxBaseDpi)
        return nullptr;
    LOGFONTA lf;
    if (GetObjectA(font, sizeof lf, &lf) != sizeof lf)
        return nullptr;
    if (lf.lfHeight == 0) {
        // The default size: the height the font has as made, as a cell height.
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, font);
        TEXTMETRICA tm = {};
        GetTextMetricsA(dc, &tm);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        lf.lfHeight = tm.tmHeight;
    }
    lf.lfHeight = MulDiv(lf.lfHeight, static_cast<int>(dpi), static_cast<int>(kFxBaseDpi));
    lf.lfWidth = MulDiv(lf.lfWidth, static_cast<int>(dpi), static_cast<int>(kFxBaseDpi));
    return CreateFontIndirectA(&lf);
}

} // namespace

ViewFontMetrics::~ViewFontMetrics() {
    if (scaled)
        DeleteObject(scaled);
}

void ViewFontMetrics::SetFont(HFONT f) {
    font = f;
    if (!dpi)
        dpi = FxSystemDpi();
    if (scaled)
        DeleteObject(scaled);
    scaled = MakeScaledFont(font, dpi);
    Measure();
}

bool ViewFontMetrics::SetDpi(UINT newDpi) {
    if (!newDpi || (newDpi == dpi && measured))
        return false;
    dpi = newDpi;
    SetFont(font);
    return true;
}

int ViewFontMetrics::Px(int px96) const {
    return FxScale(px96, dpi ? dpi : FxSystemDpi());
}

void ViewFontMetrics::SetLineSpacing(int spacing) {
    spacingSetting = spacing < 0 ? 0 : spacing;
    lineSpacing = Px(spacingSetting);
    linePitch = textHeight + lineSpacing;
}

void ViewFontMetrics::Measure() {
    if (!dpi) {
        dpi = FxSystemDpi();
        if (scaled)
            DeleteObject(scaled);
        scaled = MakeScaledFont(font, dpi);
    }
    HWND desktop = GetDesktopWindow();
    HDC dc = GetDC(desktop);
    {
        CSelectObject sel(dc, Font());
        TEXTMETRICA tm;
        GetTextMetricsA(dc, &tm);
        SIZE sz;
        digitWidth = 1;
        for (char c = '0'; c <= '9'; ++c) {
            GetTextExtentPoint32A(dc, &c, 1, &sz);
            if (sz.cx > digitWidth)
                digitWidth = sz.cx;
        }
        GetTextExtentPoint32A(dc, " ", 1, &sz);
        spaceWidth = sz.cx > 0 ? sz.cx : 1;
        GetTextExtentPoint32A(dc, "\t", 1, &sz);
        tabGlyphWidth = sz.cx;
        aveWidth = tm.tmAveCharWidth > 0 ? tm.tmAveCharWidth : 1;
        dbcsWidth = tm.tmMaxCharWidth;
        if (2 * tm.tmAveCharWidth >= dbcsWidth)
            dbcsWidth = 2 * tm.tmAveCharWidth;
        if (dbcsWidth < 1)
            dbcsWidth = 1;
        textHeight = tm.tmHeight;
        rulerHeight = tm.tmHeight - tm.tmInternalLeading;
        rulerHeight = std::max(rulerHeight, Px(16));
        markSize = std::max(textHeight * 2 / 3, Px(4));
        widths.Build(dc);
        ink.Reset(Font(), static_cast<int>(std::max(tm.tmMaxCharWidth, 2 * tm.tmAveCharWidth)),
                  tm.tmHeight);
        ABC abc[10];
        digitCells = true;
        if (GetCharABCWidthsA(dc, '0', '9', abc)) // raster fonts have none and never overhang
            for (const ABC& a : abc)
                if (a.abcA < 0 || a.abcC < 0)
                    digitCells = false;
    }
    ReleaseDC(desktop, dc);
    // The system's border and caret widths are pixels at 96 DPI for a program that sizes itself.
    caretWidth = Px(std::max(2 * GetSystemMetrics(SM_CXBORDER), SystemCaretWidth()));
    lineSpacing = Px(spacingSetting);
    linePitch = textHeight + lineSpacing;
    measured = true;
}
