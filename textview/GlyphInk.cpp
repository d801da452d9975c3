// GlyphInk: reading the pixels of the display font's glyphs. Layer: textview/ (view side).
#include "textview/GlyphInk.h"

#include <algorithm>
#include <string>

void GlyphInk::Reset(HFONT font, int maxWidth, int height) {
    if (m_dc) {
        SelectObject(m_dc, m_oldFont);
        SelectObject(m_dc, m_oldBitmap);
        DeleteDC(m_dc);
        DeleteObject(m_bitmap);
    }
    m_dc = nullptr;
    m_bitmap = nullptr;
    m_bits = nullptr;
    m_index.clear();
    m_glyphs.clear();
    m_font = font;
    m_maxWidth = maxWidth;
    m_height = height;
}

bool GlyphInk::Scratch() {
    if (m_dc)
        return true;
    if (!m_font || m_maxWidth <= 0 || m_height <= 0 || m_maxWidth > 256 || m_height > 512)
        return false;
    // Room for a glyph reaching two cells out of its place on either side.
    m_stride = 5 * m_maxWidth;
    m_ox = 2 * m_maxWidth;
    m_oy = m_height;
    m_w = kCells * m_stride;
    m_h = 3 * m_height;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = m_w;
    bi.bmiHeader.biHeight = -m_h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_dc = CreateCompatibleDC(nullptr);
    m_bitmap = m_dc ? CreateDIBSection(m_dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    if (!m_bitmap) {
        if (m_dc)
            DeleteDC(m_dc);
        m_dc = nullptr;
        return false;
    }
    m_bits = static_cast<uint32_t*>(bits);
    m_oldBitmap = SelectObject(m_dc, m_bitmap);
    m_oldFont = SelectObject(m_dc, m_font);
    SetBkMode(m_dc, TRANSPARENT);
    SetTextColor(m_dc, RGB(0, 0, 0));
    SetTextAlign(m_dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    m_index.assign(0x10000, 0);
    return true;
}

bool GlyphInk::Read(const uint16_t* keys, int count, bool keepAnyway) {
    std::string text;
    std::vector<INT> advances;
    for (int i = 0; i < count; ++i) {
        // Each character at the origin of its own cell.
        if (keys[i] > 0xFF) {
            text += static_cast<char>(keys[i] >> 8);
            text += static_cast<char>(keys[i] & 0xFF);
            advances.push_back(m_stride);
            advances.push_back(0);
        } else {
            text += static_cast<char>(keys[i]);
            advances.push_back(m_stride);
        }
    }
    PatBlt(m_dc, 0, 0, count * m_stride, m_h, WHITENESS);
    ExtTextOutA(m_dc, m_ox, m_oy, 0, nullptr, text.data(), static_cast<UINT>(text.size()),
                advances.data());
    GdiFlush();
    std::vector<Glyph> read(static_cast<size_t>(count));
    bool clean = true;
    for (int i = 0; i < count; ++i) {
        Glyph& g = read[static_cast<size_t>(i)];
        g.drawable = true;
        const int left = i * m_stride, right = left + m_stride;
        for (int y = 0; y < m_h && g.drawable; ++y) {
            const uint32_t* row = m_bits + static_cast<size_t>(y) * m_w;
            for (int x = left; x < right;) {
                if ((row[x] & 0xFFFFFF) == 0xFFFFFF) {
                    ++x;
                    continue;
                }
                int end = x;
                while (end < right && (row[end] & 0xFFFFFF) == 0)
                    ++end;
                const bool grey = end == x; // antialiased
                const bool side = x == left || end == right;
                if (grey || side || y == 0 || y == m_h - 1) {
                    g.drawable = false;
                    // Ink at the side of a cell may belong to, or reach into, a neighbour.
                    clean = clean && !side;
                    break;
                }
                g.runs.push_back(Run{static_cast<int16_t>(y - m_oy),
                                     static_cast<int16_t>(x - left - m_ox),
                                     static_cast<int16_t>(end - x)});
                x = end;
            }
        }
        if (!g.drawable)
            g.runs.clear();
    }
    if (!clean && !keepAnyway)
        return false;
    for (int i = 0; i < count; ++i) {
        m_glyphs.push_back(std::move(read[static_cast<size_t>(i)]));
        m_index[keys[i]] = static_cast<int32_t>(m_glyphs.size());
    }
    return true;
}

void GlyphInk::Prefetch(const std::vector<uint16_t>& keys) {
    if (!Scratch())
        return;
    m_missing.clear();
    for (uint16_t k : keys)
        if (!m_index[k] && std::find(m_missing.begin(), m_missing.end(), k) == m_missing.end())
            m_missing.push_back(k);
    for (size_t at = 0; at < m_missing.size(); at += kCells) {
        const int n = static_cast<int>(std::min<size_t>(kCells, m_missing.size() - at));
        if (!Read(m_missing.data() + at, n, false))
            for (int i = 0; i < n; ++i) // each alone: no neighbour can reach into its cell
                Read(m_missing.data() + at + i, 1, true);
    }
}

const GlyphInk::Glyph* GlyphInk::Get(uint16_t key) {
    if ((key >> 8) != 0 && (key & 0xFF) == 0)
        return nullptr;
    if (!Scratch())
        return nullptr;
    if (!m_index[key])
        Read(&key, 1, true);
    const Glyph& g = m_glyphs[static_cast<size_t>(m_index[key] - 1)];
    return g.drawable ? &g : nullptr;
}
