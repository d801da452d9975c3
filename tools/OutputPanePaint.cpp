// OutputPane: painting: the visible lines drawn one by one into an off-screen bitmap, with
// the selection, whitespace marks, line numbers and bookmark marks. Layer: tools/.
#include "tools/OutputPane.h"

#include "common/LeadBytes.h"
#include "framework/GdiObject.h"

#include <algorithm>

// --- Drawing ----------------------------------------------------------------------------------

bool OutputPane::OnEraseBkgnd(HDC) {
    return true; // every pixel is painted
}

void OutputPane::OnSysColorChange() {
    Invalidate(false);
}

void OutputPane::OnPaint() {
    CPaintDC paint(m_hWnd);
    RECT client;
    GetClientRect(&client);
    if (client.right <= 0 || client.bottom <= 0)
        return;
    // The lines are drawn one after another into an off-screen bitmap, then copied at once.
    const RECT& dirty = paint.Paint().rcPaint;
    CMemoryDC mem(paint.Get());
    CBitmapHandle bitmap(::CreateCompatibleBitmap(paint.Get(), client.right, client.bottom));
    if (!mem.Get() || !bitmap) {
        PaintInto(paint.Get(), client, dirty);
        return;
    }
    CSelectObject selBitmap(mem.Get(), bitmap.Get());
    PaintInto(mem.Get(), client, dirty);
    ::BitBlt(paint.Get(), dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top,
             mem.Get(), dirty.left, dirty.top, SRCCOPY);
}

void OutputPane::PaintInto(HDC dc, const RECT& client, const RECT& dirty) {
    CSaveDC saved(dc);
    ::SelectObject(dc, m_font);
    PaintTools tools;
    tools.whitespace.Reset(::CreatePen(PS_SOLID, 1, kWhitespaceColour));
    tools.markPen.Reset(::CreatePen(PS_SOLID, 1, RGB(0, 0, 128)));
    tools.markBrush.Reset(::CreateSolidBrush(RGB(0, 0, 255)));
    tools.window = ::GetSysColor(COLOR_WINDOW);
    tools.text = ::GetSysColor(COLOR_WINDOWTEXT);
    GetSelection(&tools.selStart, &tools.selEnd);
    tools.selected = HasSelection();
    const int gutter = GetGutterWidth();
    const int32_t first = m_top + std::max<LONG>(0, dirty.top) / m_lineHeight;
    const int32_t stop = std::min<int32_t>(
        m_lines.Count(),
        m_top + (std::min(dirty.bottom, client.bottom) + m_lineHeight - 1) / m_lineHeight);
    const int bottom = std::max(0, stop - m_top) * m_lineHeight;

    // The text area, line by line, clipped to its column.
    {
        CSaveDC clip(dc);
        ::IntersectClipRect(dc, gutter, dirty.top, client.right, dirty.bottom);
        ::SelectObject(dc, tools.whitespace.Get());
        ::SetBkMode(dc, OPAQUE);
        for (int32_t line = first; line < stop; ++line)
            PaintText(dc, line,
                      RECT{gutter, (line - m_top) * m_lineHeight, client.right,
                           (line - m_top + 1) * m_lineHeight},
                      tools);
        // Below the last line.
        if (bottom < client.bottom) {
            const RECT rest = {gutter, bottom, client.right, client.bottom};
            ::SetBkColor(dc, tools.window);
            ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rest, nullptr, 0, nullptr);
        }
    }

    // The gutter: its face and the gap before the text as two columns, then the numbers and
    // bookmark marks.
    const RECT face = {0, dirty.top, m_lineNumbers ? gutter - 3 : 0, dirty.bottom};
    const RECT gap = {face.right, dirty.top, gutter, dirty.bottom};
    if (face.right > 0) {
        ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
        ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &face, nullptr, 0, nullptr);
    }
    ::SetBkColor(dc, tools.window);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &gap, nullptr, 0, nullptr);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    ::SetTextAlign(dc, TA_RIGHT | TA_TOP);
    ::SelectObject(dc, tools.markPen.Get());
    ::SelectObject(dc, tools.markBrush.Get());
    for (int32_t line = first; line < stop; ++line) {
        const int y = (line - m_top) * m_lineHeight;
        if (m_lineNumbers) {
            char number[16];
            const int len = wsprintfA(number, "%d", static_cast<int>(line + 1));
            ::ExtTextOutA(dc, face.right - 3, y, 0, nullptr, number, static_cast<UINT>(len),
                          nullptr);
        }
        if (m_lines.IsBookmarked(line)) {
            // A rounded blue mark at the left edge of the line.
            const int w = m_lineNumbers ? std::min(10, gutter - 4) : 4;
            ::RoundRect(dc, 1, y + 1, 1 + w, y + m_lineHeight - 1, 4, 4);
        }
    }
}

void OutputPane::PaintText(HDC dc, int32_t line, const RECT& area, PaintTools& tools) {
    const OutputLines::Line& rec = m_lines.At(line);
    LineLayout layout;
    LayOut(dc, line, &layout, true);
    const int width = layout.edge.back();
    if (width > m_widestLine) {
        m_widestLine = width;
        if (m_hbar && !m_refreshPending)
            m_refreshPending = PostMessage(kRefreshMessage);
    }

    // The text on its background, in one call.
    const int x0 = area.left - m_hscroll;
    ::SetBkColor(dc, tools.window);
    ::SetTextColor(dc, tools.text);
    ::ExtTextOutW(dc, x0, area.top, ETO_OPAQUE | ETO_CLIPPED, &area, layout.text.data(),
                  static_cast<UINT>(layout.text.size()), nullptr);

    if (tools.selected && line >= tools.selStart.line && line <= tools.selEnd.line) {
        const int32_t from = line == tools.selStart.line ? tools.selStart.col : 0;
        const int32_t to = line == tools.selEnd.line ? tools.selEnd.col : rec.length;
        const int left =
            x0 + layout.edge[static_cast<size_t>(layout.wideOfByte[static_cast<size_t>(from)])];
        int right =
            x0 + layout.edge[static_cast<size_t>(layout.wideOfByte[static_cast<size_t>(to)])];
        // A selected line break shows as a little room after the line.
        if (line != tools.selEnd.line)
            right += m_charWidth;
        const RECT sel = {std::max<LONG>(left, area.left), area.top,
                          std::min<LONG>(right, area.right), area.bottom};
        if (sel.left < sel.right) {
            ::SetBkColor(dc, ::GetSysColor(COLOR_HIGHLIGHT));
            ::SetTextColor(dc, ::GetSysColor(COLOR_HIGHLIGHTTEXT));
            ::ExtTextOutW(dc, x0, area.top, ETO_OPAQUE | ETO_CLIPPED, &sel, layout.text.data(),
                          static_cast<UINT>(layout.text.size()), nullptr);
        }
    }

    if (!m_whitespace || !rec.length)
        return;
    // A dot in the middle of each space, an arrow across each tab's room: one call.
    std::vector<POINT>& pts = tools.points;
    std::vector<DWORD>& counts = tools.counts;
    pts.clear();
    counts.clear();
    const int midY = area.top + m_lineHeight / 2;
    const size_t length = static_cast<size_t>(rec.length);
    for (size_t i = 0; i < length;) {
        const char c = rec.text[i];
        if (c != ' ' && c != '\t') {
            i += static_cast<size_t>(FxCharLen(rec.text, i, length));
            continue;
        }
        const int left = x0 + layout.edge[static_cast<size_t>(layout.wideOfByte[i])];
        const int right = x0 + layout.edge[static_cast<size_t>(layout.wideOfByte[i + 1])];
        ++i;
        if (right < area.left || left > area.right)
            continue;
        if (c == ' ') {
            const int cx = (left + right) / 2;
            pts.push_back({cx, midY});
            pts.push_back({cx + 2, midY});
            pts.push_back({cx + 2, midY + 1});
            pts.push_back({cx, midY + 1});
            counts.push_back(4);
        } else {
            const int end = std::max(left + 4, right - 2);
            pts.push_back({left + 1, midY});
            pts.push_back({end, midY});
            counts.push_back(2);
            pts.push_back({end - 3, midY - 3});
            pts.push_back({end, midY});
            pts.push_back({end - 4, midY + 4});
            counts.push_back(3);
        }
    }
    if (!counts.empty())
        ::PolyPolyline(dc, pts.data(), counts.data(), static_cast<DWORD>(counts.size()));
}
