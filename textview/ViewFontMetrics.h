// The one display font of all editor views and the metrics measured from it. Layer: textview/
// (view side, windows).
#pragma once

#include "textview/GlyphInk.h"
#include "textview/WordWrap.h"

#include <windows.h>

struct ViewFontMetrics {
    HFONT font = nullptr;  // not owned: the settings store (or a test) keeps it alive
    int digitWidth = 8;    // widest of "0".."9"
    int spaceWidth = 8;    // one space
    int tabGlyphWidth = 8; // what the text functions give a lone tab (subtracted per tab)
    int aveWidth = 8;      // tmAveCharWidth: the unit of horizontal scrolling
    int dbcsWidth = 16;    // tmMaxCharWidth, at least 2 x tmAveCharWidth
    int textHeight = 16;   // tmHeight; also the caret height
    int caretWidth = 2;    // 2 x SM_CXBORDER
    int lineSpacing = 0;   // extra pixels between lines
    int linePitch = 16;    // textHeight + lineSpacing
    int gutterGap = 0;     // pixels between line numbers and text
    int rulerHeight = 16;  // tmHeight - tmInternalLeading, at least 16
    int markSize = 10;     // 2/3 of the text height, at least 4
    bool measured = false;
    bool digitCells = false; // no digit's glyph reaches out of its advance (no overhang)
    CharWidthTable widths;   // the font's character widths, when they add up as runs measure
    GlyphInk ink;            // the pixels of the font's glyphs, read as they are first drawn

    // The font of every view; null means the stock system font. Measures at once.
    void SetFont(HFONT f);
    // Measures the current font on a device context of the desktop window.
    void Measure();
    void SetLineSpacing(int spacing);
    void SetGutterGap(int gap) { gutterGap = gap; }
    HFONT Font() const { return font ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT)); }

    static ViewFontMetrics& Shared();
};
