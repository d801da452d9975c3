// OutputPane: where things are: the gutter and text area, each line laid out as drawn (tabs
// expanded, characters measured), positions to points and back, and the scrolling that moves
// the lines in view. Layer: tools/.
#include "tools/OutputPane.h"

#include "common/LeadBytes.h"
#include "framework/GdiObject.h"

#include <algorithm>
#include <cstdlib>

int OutputPane::DecimalDigits(int32_t n) {
    int d = 1;
    while (n >= 10) {
        n /= 10;
        ++d;
    }
    return d;
}

// --- Geometry ---------------------------------------------------------------------------------

int OutputPane::GetGutterWidth() const {
    if (!m_lineNumbers)
        return kMargin;
    return std::max(5 + DecimalDigits(m_lines.Count()) * m_digitWidth, 20) + 5;
}

int OutputPane::TextWidth() const {
    RECT rc = {0, 0, 0, 0};
    ::GetClientRect(m_hWnd, &rc);
    return std::max<int>(0, rc.right - TextLeft());
}

int OutputPane::VisibleLines() const {
    RECT rc = {0, 0, 0, 0};
    ::GetClientRect(m_hWnd, &rc);
    return std::max<int>(1, rc.bottom / m_lineHeight);
}

void OutputPane::LayOut(HDC dc, int32_t line, LineLayout* out, bool measure) const {
    const OutputLines::Line& rec = m_lines.At(line);
    const size_t length = static_cast<size_t>(rec.length);
    out->text.clear();
    out->wideOfByte.assign(length + 1, 0);
    // Expand tabs (a double-byte character takes two display columns) and convert each
    // character to its wide character, so that every byte column has one wide index.
    std::string expanded;
    expanded.reserve(length + 16);
    std::vector<int> startOfChar; // wide index of each character, in order
    int dispCol = 0;
    std::vector<size_t> charBytes;
    for (size_t i = 0; i < length;) {
        const int n = FxCharLen(rec.text, i, length);
        if (rec.text[i] == '\t') {
            const int spaces = kTabSize - dispCol % kTabSize;
            expanded.append(static_cast<size_t>(spaces), ' ');
            charBytes.push_back(static_cast<size_t>(spaces) | 0x80000000u);
            dispCol += spaces;
        } else {
            expanded.append(rec.text + i, static_cast<size_t>(n));
            charBytes.push_back(static_cast<size_t>(n));
            dispCol += n;
        }
        i += static_cast<size_t>(n);
    }
    std::wstring wide;
    if (!expanded.empty()) {
        const int wlen = ::MultiByteToWideChar(CP_ACP, 0, expanded.data(),
                                               static_cast<int>(expanded.size()), nullptr, 0);
        wide.resize(static_cast<size_t>(std::max(wlen, 0)));
        if (wlen > 0)
            ::MultiByteToWideChar(CP_ACP, 0, expanded.data(), static_cast<int>(expanded.size()),
                                  &wide[0], wlen);
    }
    // Each character of the expanded text should give one wide character; when the system
    // sees it otherwise (a byte it cannot convert), convert character by character.
    size_t wideCount = 0;
    for (size_t c : charBytes)
        wideCount += (c & 0x80000000u) ? (c & 0x7FFFFFFFu) : 1;
    if (wide.size() != wideCount) {
        wide.clear();
        size_t at = 0;
        for (size_t c : charBytes) {
            if (c & 0x80000000u) {
                wide.append(c & 0x7FFFFFFFu, L' ');
                at += c & 0x7FFFFFFFu;
                continue;
            }
            wchar_t w = L'?';
            if (::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, expanded.data() + at,
                                      static_cast<int>(c), &w, 1) != 1)
                w = L'?';
            wide.push_back(w);
            at += c;
        }
    }
    // Byte column -> wide index.
    size_t at = 0, w = 0;
    for (size_t c : charBytes) {
        const bool tab = (c & 0x80000000u) != 0;
        const size_t bytes = tab ? 1 : c;
        for (size_t k = 0; k < bytes; ++k)
            out->wideOfByte[at + k] = static_cast<int>(w);
        at += bytes;
        w += tab ? (c & 0x7FFFFFFFu) : 1;
    }
    out->wideOfByte[length] = static_cast<int>(w);
    out->text = std::move(wide);
    out->edge.assign(out->text.size() + 1, 0);
    if (measure) {
        int x = 0;
        for (size_t k = 0; k < out->text.size(); ++k) {
            x += CharWidth(dc, out->text[k]);
            out->edge[k + 1] = x;
        }
    }
}

int OutputPane::CharWidth(HDC dc, wchar_t c) const {
    // The widths of the pane's one font, asked once per character.
    if (m_widths.empty())
        m_widths.assign(65536, -1);
    int16_t& cached = m_widths[static_cast<unsigned short>(c)];
    if (cached < 0) {
        SIZE size = {0, 0};
        ::GetTextExtentPoint32W(dc, &c, 1, &size);
        cached = static_cast<int16_t>(std::clamp<LONG>(size.cx, 0, 32767));
    }
    return cached;
}

POINT OutputPane::PosToPoint(Pos pos) {
    pos = ValidPos(pos);
    CClientDC dc(m_hWnd);
    CSelectObject font(dc.Get(), m_font);
    LineLayout layout;
    LayOut(dc.Get(), pos.line, &layout, true);
    const int x = layout.edge[static_cast<size_t>(layout.wideOfByte[static_cast<size_t>(pos.col)])];
    return POINT{TextLeft() + x - m_hscroll, (pos.line - m_top) * m_lineHeight};
}

OutputPane::Pos OutputPane::PointToPos(POINT pt) {
    Pos pos;
    int32_t line =
        m_top + (pt.y >= 0 ? pt.y / m_lineHeight : (pt.y - m_lineHeight + 1) / m_lineHeight);
    pos.line = std::clamp<int32_t>(line, 0, m_lines.Count() - 1);
    CClientDC dc(m_hWnd);
    CSelectObject font(dc.Get(), m_font);
    LineLayout layout;
    LayOut(dc.Get(), pos.line, &layout, true);
    const int x = pt.x - TextLeft() + m_hscroll;
    const OutputLines::Line& rec = m_lines.At(pos.line);
    const size_t length = static_cast<size_t>(rec.length);
    // The character whose middle lies right of x starts at the answer.
    pos.col = rec.length;
    for (size_t i = 0; i < length;) {
        const int n = FxCharLen(rec.text, i, length);
        const int left = layout.edge[static_cast<size_t>(layout.wideOfByte[i])];
        const int right =
            layout.edge[static_cast<size_t>(layout.wideOfByte[i + static_cast<size_t>(n)])];
        if (x < (left + right) / 2) {
            pos.col = static_cast<int32_t>(i);
            break;
        }
        i += static_cast<size_t>(n);
    }
    return pos;
}

// --- Scrolling --------------------------------------------------------------------------------

void OutputPane::UpdateScrollBars() {
    if (!m_hWnd)
        return;
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    si.nMin = 0;
    si.nMax = m_lines.Count() - 1;
    si.nPage = static_cast<UINT>(VisibleLines());
    si.nPos = m_top;
    ::SetScrollInfo(m_hWnd, SB_VERT, &si, TRUE);
    if (m_hbar) {
        const int width = std::max(m_widestLine, (m_lines.MaxLength() + kTabSize) * m_charWidth);
        SCROLLINFO hi = {};
        hi.cbSize = sizeof hi;
        hi.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
        hi.nMin = 0;
        hi.nMax = width;
        hi.nPage = static_cast<UINT>(std::max(1, TextWidth()));
        hi.nPos = m_hscroll;
        ::SetScrollInfo(m_hbar, SB_CTL, &hi, TRUE);
    }
}

void OutputPane::SetHScrollBar(HWND bar) {
    m_hbar = bar;
    UpdateScrollBars();
}

void OutputPane::ScrollTo(int32_t top) {
    const int32_t maxTop = std::max<int32_t>(0, m_lines.Count() - VisibleLines());
    top = std::clamp<int32_t>(top, 0, maxTop);
    if (top == m_top)
        return;
    const int32_t delta = m_top - top;
    m_top = top;
    if (std::abs(delta) < VisibleLines())
        ::ScrollWindowEx(m_hWnd, 0, delta * m_lineHeight, nullptr, nullptr, nullptr, nullptr,
                         SW_INVALIDATE);
    else
        Invalidate(false);
    UpdateScrollBars();
    UpdateCaret();
}

void OutputPane::SetHScroll(int x) {
    x = std::max(0, x);
    if (x == m_hscroll)
        return;
    m_hscroll = x;
    Invalidate(false);
    UpdateScrollBars();
    UpdateCaret();
}

void OutputPane::ScrollCaretIntoView() {
    const int visible = VisibleLines();
    if (m_caret.line < m_top)
        ScrollTo(m_caret.line);
    else if (m_caret.line >= m_top + visible)
        ScrollTo(m_caret.line - visible + 1);
    const POINT pt = PosToPoint(m_caret);
    const int width = TextWidth();
    const int x = pt.x - TextLeft() + m_hscroll;
    if (x < m_hscroll)
        SetHScroll(std::max(0, x - width / 4));
    else if (width > 0 && x >= m_hscroll + width - 2)
        SetHScroll(x - width * 3 / 4);
}

void OutputPane::OnVScroll(UINT code, UINT, HWND) {
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    ::GetScrollInfo(m_hWnd, SB_VERT, &si);
    const int32_t page = std::max(1, VisibleLines() - 1);
    switch (code) {
    case SB_LINEUP:
        ScrollTo(m_top - 1);
        break;
    case SB_LINEDOWN:
        ScrollTo(m_top + 1);
        break;
    case SB_PAGEUP:
        ScrollTo(m_top - page);
        break;
    case SB_PAGEDOWN:
        ScrollTo(m_top + page);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        ScrollTo(si.nTrackPos);
        break;
    case SB_TOP:
        ScrollTo(0);
        break;
    case SB_BOTTOM:
        ScrollTo(m_lines.Count());
        break;
    default:
        break;
    }
}

LRESULT OutputPane::OnHScrollMessage(WPARAM wParam, LPARAM lParam) {
    HWND bar = reinterpret_cast<HWND>(lParam);
    if (!bar)
        return 0;
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    ::GetScrollInfo(bar, SB_CTL, &si);
    const int page = std::max(m_charWidth, TextWidth() - m_charWidth);
    switch (LOWORD(wParam)) {
    case SB_LINELEFT:
        SetHScroll(m_hscroll - m_charWidth * 4);
        break;
    case SB_LINERIGHT:
        SetHScroll(m_hscroll + m_charWidth * 4);
        break;
    case SB_PAGELEFT:
        SetHScroll(m_hscroll - page);
        break;
    case SB_PAGERIGHT:
        SetHScroll(m_hscroll + page);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        SetHScroll(si.nTrackPos);
        break;
    case SB_LEFT:
        SetHScroll(0);
        break;
    default:
        break;
    }
    return 0;
}

bool OutputPane::OnMouseWheel(UINT, short delta, POINT) {
    UINT lines = 3;
    ::SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    if (lines == WHEEL_PAGESCROLL)
        lines = static_cast<UINT>(std::max(1, VisibleLines() - 1));
    ScrollTo(m_top - delta * static_cast<int>(lines) / WHEEL_DELTA);
    return true;
}

void OutputPane::OnSize(UINT type, int cx, int cy) {
    CWnd::OnSize(type, cx, cy);
    // Keep the last line at the bottom when the pane grows.
    ScrollTo(m_top);
    UpdateScrollBars();
    Invalidate(false);
}
