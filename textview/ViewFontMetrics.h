// The one display font of all editor views and the metrics measured from it. Layer: textview/
// (view side, windows).
#pragma once

#include "textview/GlyphInk.h"
#include "textview/WordWrap.h"

#include <windows.h>

struct ViewFontMetrics {
    // The font as the settings describe it, at 96 DPI. Not owned: the settings store (or a
    // test) keeps it alive.
    HFONT font = nullptr;
    HFONT scaled = nullptr; // owned: the font made again for dpi, when dpi is not 96
    UINT dpi = 0;           // the density everything below is measured for; 0 until measured
    int digitWidth = 8;     // widest of "0".."9"
    int spaceWidth = 8;     // one space
    int tabGlyphWidth = 8;  // what the text functions give a lone tab (subtracted per tab)
    int aveWidth = 8;       // tmAveCharWidth: the unit of horizontal scrolling
    int dbcsWidth = 16;     // tmMaxCharWidth, at least 2 x tmAveCharWidth
    int textHeight = 16;    // tmHeight; also the caret height
    int caretWidth = 2;     // 2 x SM_CXBORDER or the system's caret width, scaled
    int lineSpacing = 0;    // extra pixels between lines (the setting, scaled)
    int spacingSetting = 0; // the line spacing setting, pixels at 96 DPI
    int linePitch = 16;     // textHeight + lineSpacing
    int gutterGap = 0;      // pixels between line numbers and text, at 96 DPI
    int rulerHeight = 16;   // tmHeight - tmInternalLeading, at least 16 (scaled)
    int markSize = 10;      // 2/3 of the text height, at least 4 (scaled)
    bool measured = false;
    bool digitCells = false; // no digit's glyph reaches out of its advance (no overhang)
    CharWidthTable widths;   // the font's character widths, when they add up as runs measure
    GlyphInk ink;            // the pixels of the font's glyphs, read as they are first drawn

    ~ViewFontMetrics();
    // The font of every view, with its height meant for 96 DPI; null means the stock system
    // font. Makes it for the current density and measures at once.
    void SetFont(HFONT f);
    // Makes the font again for another density and measures it; false when nothing changed.
    bool SetDpi(UINT newDpi);
    // Measures the current font on a device context of the desktop window (at the system's
    // density when none was set).
    void Measure();
    void SetLineSpacing(int spacing);
    void SetGutterGap(int gap) { gutterGap = gap; }
    // The font the views draw with: the settings font made for dpi.
    HFONT Font() const {
        if (scaled)
            return scaled;
        return font ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    }
    // px96 pixels at 96 DPI at the metrics' density.
    int Px(int px96) const;

    static ViewFontMetrics& Shared();
};
