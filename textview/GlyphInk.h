// The pixels each glyph of the display font sets when the text functions draw it in one colour
// over any background, for fonts drawn without antialiasing, so that a line can be composed
// without a text call per colour. Layer: textview/ (view side).
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <vector>

class GlyphInk {
public:
    // A horizontal run of inked pixels, relative to where a text call aligned TA_TOP | TA_LEFT
    // would put the character.
    struct Run {
        int16_t dy, dx, len;
    };
    struct Glyph {
        bool drawable = false; // bi-level and well inside the cell it was read from
        std::vector<Run> runs;
    };

    GlyphInk() = default;
    ~GlyphInk() { Reset(); }
    GlyphInk(const GlyphInk&) = delete;
    GlyphInk& operator=(const GlyphInk&) = delete;

    // The character of n bytes (1, or 2 for a double-byte one) at ch as one number.
    static uint16_t Key(const char* ch, int n) {
        const unsigned lead = static_cast<unsigned char>(ch[0]);
        return static_cast<uint16_t>(n == 2 ? lead << 8 | static_cast<unsigned char>(ch[1]) : lead);
    }

    // Forgets every glyph: the font changed. maxWidth and height bound the font's characters.
    void Reset(HFONT font = nullptr, int maxWidth = 0, int height = 0);
    // Reads the glyphs of those characters that are not known yet, many with one text call:
    // a line of text new to the cache costs about what drawing it does.
    void Prefetch(const std::vector<uint16_t>& keys);
    // The ink of a character; null when it cannot be drawn this way (an antialiased font, a
    // glyph reaching far out of its cell). Valid until Reset.
    const Glyph* Get(uint16_t key);
    const Glyph* Get(const char* ch, int n) { return Get(Key(ch, n)); }

private:
    static const int kCells = 32; // characters read by one text call
    bool Scratch();
    // Draws keys[0, count) one per cell and reads them; false when a glyph came near the edge
    // of its cell (its ink may have reached a neighbour's).
    bool Read(const uint16_t* keys, int count, bool keepAnyway);

    HFONT m_font = nullptr;
    int m_maxWidth = 0, m_height = 0;
    std::vector<int32_t> m_index; // by key: glyph + 1, 0 unknown
    std::deque<Glyph> m_glyphs;   // a deque: the glyphs handed out stay put as more are read
    std::vector<uint16_t> m_missing;
    // The bitmap glyphs are drawn into, black on white, to read their pixels: kCells cells of
    // m_stride x m_h, each character's origin m_ox into its cell and m_oy down.
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_oldBitmap = nullptr, m_oldFont = nullptr;
    uint32_t* m_bits = nullptr;
    int m_w = 0, m_h = 0, m_stride = 0, m_ox = 0, m_oy = 0;
};
