// CFxEditView: scrolling: the scroll bars and their deferred redraw, moving the pixels,
// scrolling by lines, pages, columns and the wheel, keeping a place in view and going to a
// position. Layer: textview/ (view side).
#include "textview/FxEditView.h"

#include "framework/GdiObject.h"
#include "textview/ViewFontMetrics.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

void CFxEditView::UpdateScrollBars(int bar) {
    if (!m_hWnd || !m_doc)
        return;
    if (bar == SB_VERT || bar == SB_BOTH) {
        SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
        si.nMax = m_doc->RecordCount();
        si.nPage = static_cast<UINT>(
            std::min(std::max(0, m_layout.visibleLines - 1), si.nMax - si.nMin + 1));
        si.nPos = m_top;
        SetScrollInfo(m_hWnd, SB_VERT, &si, TRUE);
    }
    if (bar == SB_HORZ || bar == SB_BOTH) {
        if (m_doc->WrapMode() == 1) {
            ShowScrollBar(m_hWnd, SB_HORZ, FALSE);
        } else {
            SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 8192, 0, 0, 0};
            si.nPage = static_cast<UINT>(
                std::max(0, static_cast<int>(m_layout.text.right - m_layout.text.left)) /
                m_fm.aveWidth);
            si.nPos = m_hscroll;
            ShowScrollBar(m_hWnd, SB_HORZ, TRUE);
            SetScrollInfo(m_hWnd, SB_HORZ, &si, TRUE);
        }
    }
}

void CFxEditView::ArmScrollTimer() {
    if (!m_vbarStale && !m_hbarStale && !m_caretHiddenForScroll)
        SetTimer(kScrollBarTimer, kScrollBarDelay);
}

void CFxEditView::DeferScrollBarRedraw(int bar) {
    ArmScrollTimer();
    (bar == SB_VERT ? m_vbarStale : m_hbarStale) = true;
}

void CFxEditView::ScrollPixels(int dx, int dy, const RECT& r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    // ScrollDC and painting the band straight away costs a fraction of ScrollWindowEx with
    // its invalidation and the paint message; it needs a window whose pixels are all current.
    // Asking the window for its update region is dear; the queue tells at less cost whether
    // any window of the thread awaits a paint at all.
    const bool direct =
        m_doc && m_doc->RecordCount() > 0 && ::IsWindowVisible(m_hWnd) && std::abs(dx) < w &&
        std::abs(dy) < h &&
        (!(HIWORD(GetQueueStatus(QS_PAINT)) & QS_PAINT) || !GetUpdateRect(m_hWnd, nullptr, FALSE));
    if (!direct) {
        ScrollWindowEx(m_hWnd, dx, dy, &r, &r, nullptr, nullptr, SW_INVALIDATE);
        return;
    }
    if (m_hasFocus && !m_dropCaret && !m_caretHiddenForScroll) {
        HideCaret(m_hWnd); // its pixels must not travel with the text
        ArmScrollTimer();
        m_caretHiddenForScroll = true;
    }
    HDC dc = GetDC(m_hWnd);
    CRgnHandle uncovered(CreateRectRgn(0, 0, 0, 0));
    RECT box;
    ScrollDC(dc, dx, dy, &r, &r, uncovered.Get(), &box);
    // The band the move uncovered, and whatever it could not bring along from outside the
    // visible part of the window, is painted now through the same painter.
    const int kind = GetRgnBox(uncovered.Get(), &box);
    if (kind == SIMPLEREGION || kind == COMPLEXREGION) {
        SelectClipRgn(dc, uncovered.Get());
        PaintAll(dc, box);
    }
    ReleaseDC(m_hWnd, dc);
}

void CFxEditView::OnTimer(UINT_PTR id) {
    if (id != kScrollBarTimer) {
        CView::OnTimer(id);
        return;
    }
    KillTimer(kScrollBarTimer);
    if (m_caretHiddenForScroll) {
        m_caretHiddenForScroll = false;
        ShowCaret(m_hWnd);
    }
    // A scroll bar redraws when its position changes: it is moved off and back.
    const bool stale[2] = {m_hbarStale, m_vbarStale};
    m_vbarStale = m_hbarStale = false;
    for (int bar = SB_HORZ; bar <= SB_VERT; ++bar) {
        if (!stale[bar])
            continue;
        SCROLLINFO si = {sizeof si, SIF_RANGE | SIF_POS, 0, 0, 0, 0, 0};
        if (!GetScrollInfo(m_hWnd, bar, &si))
            continue;
        const int other = si.nPos > si.nMin ? si.nPos - 1 : si.nPos + 1;
        SetScrollPos(m_hWnd, bar, other, FALSE);
        SetScrollPos(m_hWnd, bar, si.nPos, TRUE);
    }
}

int32_t CFxEditView::ScrollLines(int code) {
    const int page = std::max(1, m_layout.visibleLines - 1);
    int32_t top = m_top;
    switch (code) {
    case 0:
        top = m_top - 1;
        break;
    case 1:
        top = m_top + 1;
        break;
    case 2:
        top = m_top - page;
        break;
    case 3:
        top = m_top + page;
        break;
    case 4:
    case 5: {
        // The 32-bit track position: the message's 16-bit one breaks above 65,535 records.
        SCROLLINFO si = {sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
        GetScrollInfo(m_hWnd, SB_VERT, &si);
        top = si.nTrackPos;
        break;
    }
    case 6:
        top = 0;
        break;
    case 7:
        top = m_doc->RecordCount() - 1;
        break;
    default:
        break;
    }
    top = m_doc->ClampPiece(top);
    if (top != m_top) {
        const int dy = (m_top - top) * m_fm.linePitch;
        m_top = top;
        RECT r = {0, m_layout.ruler.bottom, m_layout.client.right, m_layout.text.bottom};
        ScrollPixels(0, dy, r);
        SetScrollPos(m_hWnd, SB_VERT, m_top, FALSE);
        DeferScrollBarRedraw(SB_VERT);
    }
    return m_top;
}

int CFxEditView::ScrollColumns(int code) {
    const int page =
        std::max(1, static_cast<int>(m_layout.text.right - m_layout.text.left) / m_fm.aveWidth);
    int col = m_hscroll;
    switch (code) {
    case 0:
        col = m_hscroll - 1;
        break;
    case 1:
        col = m_hscroll + 1;
        break;
    case 2:
        col = m_hscroll - page;
        break;
    case 3:
        col = m_hscroll + page;
        break;
    case 4:
    case 5: {
        SCROLLINFO si = {sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
        GetScrollInfo(m_hWnd, SB_HORZ, &si);
        col = si.nTrackPos;
        break;
    }
    case 6:
        col = 0;
        break;
    default:
        break;
    }
    col = std::max(0, col);
    if (col != m_hscroll) {
        const int dx = (m_hscroll - col) * m_fm.aveWidth;
        m_hscroll = col;
        RECT r = {m_layout.text.left, 0, m_layout.text.right, m_layout.text.bottom};
        ScrollPixels(dx, 0, r);
        SetScrollPos(m_hWnd, SB_HORZ, m_hscroll, FALSE);
        DeferScrollBarRedraw(SB_HORZ);
    }
    return m_hscroll;
}

bool CFxEditView::OnScroll(UINT scrollCode, UINT, bool doScroll) {
    const UINT vert = HIBYTE(scrollCode), horz = LOBYTE(scrollCode);
    const int32_t oldTop = m_top;
    const int oldCol = m_hscroll;
    if (!doScroll) {
        if (vert == SB_LINEUP || vert == SB_PAGEUP)
            return m_top > 0;
        if (vert == SB_LINEDOWN || vert == SB_PAGEDOWN)
            return m_top < m_doc->RecordCount() - 1;
        if (horz == SB_LINELEFT || horz == SB_PAGELEFT)
            return m_hscroll > 0;
        return horz == SB_LINERIGHT || horz == SB_PAGERIGHT;
    }
    if (vert != 0xFF)
        ScrollLines(static_cast<int>(vert));
    if (horz != 0xFF)
        ScrollColumns(static_cast<int>(horz));
    if (m_top != oldTop || m_hscroll != oldCol) {
        UpdateWindow();
        PlaceCaret();
        return true;
    }
    return false;
}

void CFxEditView::OnVScroll(UINT code, UINT, HWND) {
    ScrollLines(static_cast<int>(code));
    PlaceCaret();
}

void CFxEditView::OnHScroll(UINT code, UINT, HWND) {
    ScrollColumns(static_cast<int>(code));
    PlaceCaret();
}

bool CFxEditView::OnMouseWheel(UINT, short delta, POINT) {
    UINT lines = 3;
    if (!SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0))
        lines = 3;
    if (lines == WHEEL_PAGESCROLL) {
        ScrollLines(delta > 0 ? 2 : 3); // "one screen at a time"
    } else {
        // More lines than the document has records scroll no further.
        lines = std::min<UINT>(lines, static_cast<UINT>(m_doc ? m_doc->RecordCount() : 0));
        for (UINT i = 0; i < lines; ++i)
            ScrollLines(delta > 0 ? 0 : 1);
    }
    PlaceCaret();
    return true;
}

bool CFxEditView::EnsureVisible(int32_t rec, int docX) {
    const int visible = std::max(1, m_layout.visibleLines);
    int32_t top = m_top;
    if (m_caret.line == top + visible)
        top = top + 1;
    if (rec < top)
        top = rec;
    else if (rec >= top + visible)
        top = m_doc->ClampPiece(rec - visible + 1);
    top = m_doc->ClampPiece(top);
    int col = m_hscroll;
    const int left = m_hscroll * m_fm.aveWidth;
    const int width = m_layout.text.right - m_layout.text.left;
    if (docX < left)
        col = (docX - width / 4) / m_fm.aveWidth;
    else if (docX >= left + width)
        col = (docX - width + width / 4) / m_fm.aveWidth;
    col = std::max(0, col);
    if (m_doc->WrapMode() == 1)
        col = 0;
    bool changed = false;
    if (top != m_top) {
        m_top = top;
        SetScrollPos(m_hWnd, SB_VERT, m_top, TRUE);
        changed = true;
    }
    if (col != m_hscroll) {
        m_hscroll = col;
        SetScrollPos(m_hWnd, SB_HORZ, m_hscroll, TRUE);
        changed = true;
    }
    if (changed)
        Invalidate(false);
    return changed;
}

void CFxEditView::GoToPos(FxTextPos logical) {
    const FxTextPos old = m_caret;
    m_caret = m_doc->ValidatePos(logical);
    UpdateCaretX();
    if (m_caret != old && HasSelection())
        ClearSelection();
    const int visible = m_layout.visibleLines;
    bool scrolled = false;
    if (m_caret.line < m_top || m_caret.line >= m_top + visible) {
        int32_t top = std::max(0, m_caret.line - visible / 2);
        scrolled = top != m_top;
        m_top = top;
    }
    const int left = m_hscroll * m_fm.aveWidth;
    const int width = m_layout.text.right - m_layout.text.left;
    if (m_caretX < left || m_caretX >= left + width) {
        int col = std::max(0, (m_caretX - width / 2) / m_fm.aveWidth);
        scrolled = scrolled || col != m_hscroll;
        m_hscroll = col;
    }
    if (scrolled) {
        UpdateScrollBars(SB_BOTH);
        Invalidate(false);
    } else {
        InvalidateLines(old.line, old.line);
        InvalidateLines(m_caret.line, m_caret.line);
    }
    m_stickyX = m_caretX;
    PlaceCaret();
}
