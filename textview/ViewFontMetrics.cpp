// ViewFontMetrics: measuring the display font. Layer: textview/ (view side).
#include "textview/ViewFontMetrics.h"

#include "framework/GdiObject.h"

#include <algorithm>

ViewFontMetrics& ViewFontMetrics::Shared() {
    static ViewFontMetrics metrics;
    return metrics;
}

void ViewFontMetrics::SetFont(HFONT f) {
    font = f;
    Measure();
}

void ViewFontMetrics::SetLineSpacing(int spacing) {
    lineSpacing = spacing < 0 ? 0 : spacing;
    linePitch = textHeight + lineSpacing;
}

void ViewFontMetrics::Measure() {
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
        if (rulerHeight < 16)
            rulerHeight = 16;
        markSize = textHeight * 2 / 3;
        if (markSize < 4)
            markSize = 4;
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
    caretWidth = 2 * GetSystemMetrics(SM_CXBORDER);
    linePitch = textHeight + lineSpacing;
    measured = true;
}
