// Display columns, chunked text measuring and the two word-wrap splitters (at a pixel width and
// at a column count). Layer: textview/ (view side: measuring needs a device context).
#pragma once

#include "textdoc/FxTypes.h"

#include <windows.h>

#include <cstdint>
#include <vector>

// Display columns after stepping over [text, end): a double-byte character counts 2, a tab
// advances to the next multiple of tabSize, any other byte 1.
int32_t DisplayColumn(const char* text, const char* end, int tabSize, int32_t startDispCol);

// The advance of each character of a font, for measuring without a text call when that gives
// the same as measuring the whole run (no kerning, no overhang): a table of the single bytes
// and a cache of the double-byte characters, filled as they are met.
class CharWidthTable {
public:
    // Measures the font selected into dc; the table stays unusable when runs of it do not
    // measure as the sum of their characters.
    void Build(HDC dc);
    bool Usable() const { return m_usable; }
    // Pixel width of text[from, to) as the text functions measure it, each tab widened as in
    // TextMeasure::Width; false (and nothing) when a character can't be looked up.
    bool Width(HDC dc, const char* text, int32_t from, int32_t to, int32_t dispCol, int tabSize,
               int spaceWidth, int tabGlyphWidth, int& width) const;
    // The advance of one character of n bytes (1, or 2 for a double-byte character; not a
    // tab); false when it can't be looked up.
    bool CharWidth(HDC dc, const char* ch, int n, int& width) const;

private:
    int Pair(HDC dc, unsigned char lead, unsigned char trail) const;

    bool m_usable = false;
    int m_single[256] = {};
    mutable std::vector<int16_t> m_pairs; // by lead << 8 | trail; -1 until measured
};

// What measuring a run needs: the device context holding the display font and its widths.
struct TextMeasure {
    HDC dc = nullptr;
    int spaceWidth = 8, tabGlyphWidth = 8, dbcsWidth = 16, tabSize = 8;
    const CharWidthTable* widths = nullptr; // the font's widths when usable, for dc's font

    // Pixel width of text[from, to) starting at display column dispCol: measured with the
    // font, each tab widened to (columns to its tab stop) x space width.
    int Width(const char* text, int32_t from, int32_t to, int32_t dispCol) const;
};

// The end of a chunk of up to `count` characters from byte `from` (at least one character; a
// tab counts as the columns it spans, a double-byte character as one).
struct TextChunk {
    int32_t end;     // byte after the chunk
    int32_t dispCol; // display column reached
    int width;       // measured pixels
    int chars;       // characters taken
};
TextChunk TakeChunk(const TextMeasure& m, const char* text, int32_t len, int32_t from,
                    int32_t dispCol, int count);

// Nearest character boundary to document x within one piece (x >= 0 relative to the piece's
// left edge); x comes back as the boundary's x.
int32_t NearestBoundary(const TextMeasure& m, const char* text, int32_t len, int32_t startDispCol,
                        int& x);

struct WrapContext {
    TextMeasure measure;  // mode 1 only measures
    int wrapWidth = 0;    // pixels (mode 1) or display columns (mode 2)
    int32_t produced = 0; // records produced by the run
};

// Split one logical line (`head`: flags with FXL_LINEEND when a break follows, logical number,
// data, line length) into pieces appended to `out`. A piece always holds at least one
// character.
void SplitByWidth(WrapContext& ctx, const FxLine& head, std::vector<FxLine>& out);
void SplitByColumns(WrapContext& ctx, const FxLine& head, std::vector<FxLine>& out);
