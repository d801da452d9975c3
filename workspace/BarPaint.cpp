// Drawing helpers of the bars. Layer: workspace/.
#include "workspace/BarPaint.h"

#include "common/UiResources.h"
#include "framework/Dpi.h"

#include <algorithm>

void BarColours::Load() {
    const CUiResources& ui = SharedUi();
    if (ui.IsInitialised()) {
        face = ui.m_face;
        text = ui.m_faceText;
        shadow = ui.m_shadow;
        highlight = ui.m_highlight;
        window = ui.m_window;
        windowText = ui.m_windowText;
        selection = ui.m_selection;
        selectionText = ui.m_selectionText;
        grayText = ui.m_grayText;
        return;
    }
    face = GetSysColor(COLOR_BTNFACE);
    text = GetSysColor(COLOR_BTNTEXT);
    shadow = GetSysColor(COLOR_BTNSHADOW);
    highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    window = GetSysColor(COLOR_WINDOW);
    windowText = GetSysColor(COLOR_WINDOWTEXT);
    selection = GetSysColor(COLOR_HIGHLIGHT);
    selectionText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    grayText = GetSysColor(COLOR_GRAYTEXT);
}

HFONT BarFont() {
    const CUiResources& ui = SharedUi();
    if (ui.IsInitialised() && ui.m_font)
        return ui.m_font;
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

namespace {
TEXTMETRICA Metrics(HFONT font) {
    TEXTMETRICA tm = {};
    if (HDC dc = GetDC(nullptr)) {
        HGDIOBJ old = SelectObject(dc, font);
        GetTextMetricsA(dc, &tm);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
    }
    return tm;
}
} // namespace

int BarFontHeight(HFONT font, UINT dpi) {
    const int height = Metrics(font).tmHeight;
    LOGFONTA lf;
    if (!dpi || dpi == kFxBaseDpi || !GetObjectA(font, sizeof lf, &lf) || lf.lfHeight == 0)
        return height;
    lf.lfHeight = MulDiv(lf.lfHeight, static_cast<int>(kFxBaseDpi), static_cast<int>(dpi));
    if (lf.lfHeight == 0)
        return height;
    HFONT base = CreateFontIndirectA(&lf);
    if (!base)
        return height;
    const int baseHeight = Metrics(base).tmHeight;
    DeleteObject(base);
    return std::max(height, FxScale(baseHeight, dpi));
}

int BarFontAverageWidth(HFONT font) {
    int width = Metrics(font).tmAveCharWidth;
    return width > 0 ? width : 6;
}

CBarDpiFont::~CBarDpiFont() {
    Release();
}

void CBarDpiFont::Release() {
    if (m_own)
        DeleteObject(m_own);
    m_own = m_from = nullptr;
    m_dpi = 0;
}

HFONT CBarDpiFont::Get(HFONT shared, UINT dpi) {
    const UINT system = FxSystemDpi();
    if (!shared || !dpi || dpi == system) {
        Release();
        return shared;
    }
    if (m_own && m_from == shared && m_dpi == dpi)
        return m_own;
    Release();
    LOGFONTA description = {};
    if (!GetObjectA(shared, sizeof description, &description))
        return shared;
    description.lfHeight =
        MulDiv(description.lfHeight, static_cast<int>(dpi), static_cast<int>(system));
    description.lfWidth =
        MulDiv(description.lfWidth, static_cast<int>(dpi), static_cast<int>(system));
    m_own = CreateFontIndirectA(&description);
    if (!m_own)
        return shared;
    m_from = shared;
    m_dpi = dpi;
    return m_own;
}

HPEN BarFramePen() {
    const CUiResources& ui = SharedUi();
    if (ui.IsInitialised() && ui.m_textPen)
        return ui.m_textPen;
    return static_cast<HPEN>(GetStockObject(BLACK_PEN));
}

HBRUSH BarDitherBrush() {
    const CUiResources& ui = SharedUi();
    if (ui.IsInitialised() && ui.m_ditherBrush)
        return ui.m_ditherBrush;
    return GetSysColorBrush(COLOR_BTNHIGHLIGHT);
}

HIMAGELIST BarImages(UINT dpi) {
    return SharedUi().Images(CUiResources::ImageSizeFor(dpi));
}

void FillSolid(HDC dc, const RECT& rc, COLORREF colour) {
    COLORREF old = SetBkColor(dc, colour);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
    SetBkColor(dc, old);
}

void DrawEtchedSeparator(HDC dc, int x, int top, int bottom, const BarColours& c) {
    RECT dark = {x - 2, top, x - 1, bottom};
    RECT light = {x - 1, top, x, bottom};
    FillSolid(dc, dark, c.shadow);
    FillSolid(dc, light, c.highlight);
}

namespace {
void Draw3dFrame(HDC dc, const RECT& rc, COLORREF topLeft, COLORREF bottomRight) {
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (w <= 0 || h <= 0)
        return;
    FillSolid(dc, RECT{rc.left, rc.top, rc.right - 1, rc.top + 1}, topLeft);
    FillSolid(dc, RECT{rc.left, rc.top, rc.left + 1, rc.bottom - 1}, topLeft);
    FillSolid(dc, RECT{rc.right - 1, rc.top, rc.right, rc.bottom}, bottomRight);
    FillSolid(dc, RECT{rc.left, rc.bottom - 1, rc.right, rc.bottom}, bottomRight);
}
} // namespace

void DrawSunkenFrame(HDC dc, const RECT& rc, const BarColours& c) {
    Draw3dFrame(dc, rc, c.shadow, c.highlight);
}

void DrawRaisedFrame(HDC dc, const RECT& rc, const BarColours& c) {
    Draw3dFrame(dc, rc, c.highlight, c.shadow);
}

void DrawArrowTriangle(HDC dc, const RECT& rc, ArrowDirection direction, bool enabled) {
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    bool horizontal = direction == ArrowDirection::Left || direction == ArrowDirection::Right;
    // The triangle's base runs across the pointing direction; its height is half the base.
    int base = horizontal ? h : w;
    int room = horizontal ? w : h;
    int size = base / 2;
    if (size > room)
        size = room;
    size = size / 2 * 2 + 1; // odd: a tip of one pixel
    if (size < 3)
        size = 3;
    int depth = size / 2 + 1;
    int cx = rc.left + (w - (horizontal ? depth : size)) / 2;
    int cy = rc.top + (h - (horizontal ? size : depth)) / 2;
    HPEN pen = enabled ? BarFramePen() : static_cast<HPEN>(GetStockObject(WHITE_PEN));
    HGDIOBJ old = SelectObject(dc, pen);
    for (int i = 0; i < depth; ++i) {
        // Line i: the base line first, shrinking by one pixel each side.
        int from = i, to = size - i;
        switch (direction) {
        case ArrowDirection::Left: // base at the right
            MoveToEx(dc, cx + depth - 1 - i, cy + from, nullptr);
            LineTo(dc, cx + depth - 1 - i, cy + to);
            break;
        case ArrowDirection::Right:
            MoveToEx(dc, cx + i, cy + from, nullptr);
            LineTo(dc, cx + i, cy + to);
            break;
        case ArrowDirection::Up:
            MoveToEx(dc, cx + from, cy + depth - 1 - i, nullptr);
            LineTo(dc, cx + to, cy + depth - 1 - i);
            break;
        case ArrowDirection::Down:
            MoveToEx(dc, cx + from, cy + i, nullptr);
            LineTo(dc, cx + to, cy + i);
            break;
        }
    }
    SelectObject(dc, old);
}

CBufferedPaint::CBufferedPaint(HDC target, const RECT& client) : m_target(target), m_rc(client) {
    int cx = client.right - client.left, cy = client.bottom - client.top;
    if (cx <= 0 || cy <= 0)
        return;
    m_memory = CreateCompatibleDC(target);
    m_bitmap = m_memory ? CreateCompatibleBitmap(target, cx, cy) : nullptr;
    if (!m_bitmap) {
        if (m_memory)
            DeleteDC(m_memory);
        m_memory = nullptr;
        return;
    }
    m_oldBitmap = SelectObject(m_memory, m_bitmap);
    SetWindowOrgEx(m_memory, client.left, client.top, nullptr);
}

CBufferedPaint::~CBufferedPaint() {
    if (!m_memory)
        return;
    SetWindowOrgEx(m_memory, 0, 0, nullptr);
    BitBlt(m_target, m_rc.left, m_rc.top, m_rc.right - m_rc.left, m_rc.bottom - m_rc.top, m_memory,
           0, 0, SRCCOPY);
    SelectObject(m_memory, m_oldBitmap);
    DeleteObject(m_bitmap);
    DeleteDC(m_memory);
}
