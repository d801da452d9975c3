// What the bars and tab strips draw with: the shared colours, font, frame pen and dither brush
// (taken again after every system colour change), a double-buffered paint target, and the few
// shapes they share (etched separators, sunken frames, arrow triangles). Layer: workspace/.
#pragma once

#include <windows.h>
#include <commctrl.h>

// The shared system colours, read from the user-interface resources (or from the system
// while those are not made yet).
struct BarColours {
    COLORREF face = 0, text = 0, shadow = 0, highlight = 0;
    COLORREF window = 0, windowText = 0, selection = 0, selectionText = 0, grayText = 0;
    void Load();
};

// The shared bar font (none: the default GUI font), its height and average character width.
HFONT BarFont();
// The line height of a font made for dpi, never less than the font's line height at 96 DPI
// scaled to dpi: a rasteriser rounds each size's glyph box on its own, so a font made for twice
// the density can be a pixel or two less than twice as tall, and the bars keep the proportions
// of their 96-DPI layout.
int BarFontHeight(HFONT font, UINT dpi);
int BarFontAverageWidth(HFONT font);
// A shared font (made for the system's density) as a window at another density needs it: the
// shared font itself at the system's density, else a copy scaled to the window's, which this
// object owns until it is asked for another.
class CBarDpiFont {
public:
    CBarDpiFont() = default;
    ~CBarDpiFont();
    CBarDpiFont(const CBarDpiFont&) = delete;
    CBarDpiFont& operator=(const CBarDpiFont&) = delete;
    HFONT Get(HFONT shared, UINT dpi);

private:
    void Release();
    HFONT m_own = nullptr;
    HFONT m_from = nullptr;
    UINT m_dpi = 0;
};

// The shared one-pixel pen in the button-text colour.
HPEN BarFramePen();
// The shared checkerboard of face and highlight that marks the current item.
HBRUSH BarDitherBrush();
// The shared image list drawn for dpi (may be null).
HIMAGELIST BarImages(UINT dpi);

void FillSolid(HDC dc, const RECT& rc, COLORREF colour);
// A 2-pixel etched line (shadow, then highlight) from top to bottom at x - 2 .. x - 1.
void DrawEtchedSeparator(HDC dc, int x, int top, int bottom, const BarColours& c);
void DrawSunkenFrame(HDC dc, const RECT& rc, const BarColours& c);
void DrawRaisedFrame(HDC dc, const RECT& rc, const BarColours& c);
enum class ArrowDirection { Left, Right, Up, Down };
// A filled triangle centred in rc, drawn with the frame pen as shrinking lines.
void DrawArrowTriangle(HDC dc, const RECT& rc, ArrowDirection direction, bool enabled = true);

// A memory bitmap the size of the client area; the destructor copies it to the target.
class CBufferedPaint {
public:
    CBufferedPaint(HDC target, const RECT& client);
    ~CBufferedPaint();
    CBufferedPaint(const CBufferedPaint&) = delete;
    CBufferedPaint& operator=(const CBufferedPaint&) = delete;
    // The DC to draw into (the target itself when no bitmap could be made).
    HDC Get() const { return m_memory ? m_memory : m_target; }

private:
    HDC m_target;
    RECT m_rc;
    HDC m_memory = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_oldBitmap = nullptr;
};
