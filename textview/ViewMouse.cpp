// CFxEditView: mouse selection in the text and the gutter, double-click words, column drags
// with the inverted rubber band, and the cursors. Layer: textview/ (view side).
#include "textview/FxEditView.h"

#include "textdoc/Dbcs.h"
#include "textview/FileTypeInfo.h"
#include "textview/ViewFontMetrics.h"

#include <algorithm>

FxTextPos CFxEditView::CharUnderPoint(POINT windowPt) const {
    CFxEditView* self = const_cast<CFxEditView*>(this);
    const int32_t rec = LineFromY(DocYFromWindow(windowPt.y));
    const int docX = DocXFromWindow(windowPt.x);
    int x = docX;
    int32_t col = self->XToPieceColumn(rec, x);
    if (x > docX && col > 0) {
        // The point lies in the right half of the character before the boundary.
        const FxLine& r = m_doc->Record(rec);
        int32_t j = 0;
        for (;;) {
            int32_t n = FxCharLen(r.data, static_cast<size_t>(j), static_cast<size_t>(r.len));
            if (j + n >= col)
                break;
            j += n;
        }
        col = j;
    }
    return FxTextPos(col, rec);
}

RECT CFxEditView::BandRect(const RECT& docRect) const {
    RECT n = NormalRect(docRect);
    const int32_t first = LineFromY(n.top), last = LineFromY(n.bottom);
    RECT band = {WindowXFromDoc(n.left), WindowYFromRecord(first), WindowXFromDoc(n.right),
                 WindowYFromRecord(last + 1)};
    RECT clipped;
    if (!IntersectRect(&clipped, &band, &m_layout.text))
        SetRectEmpty(&clipped);
    return clipped;
}

void CFxEditView::UpdateRubberBand(const RECT& oldRect, const RECT& newRect) {
    // Only what changed is inverted: the two bands' symmetric difference.
    const RECT a = BandRect(oldRect), b = BandRect(newRect);
    HRGN ra = CreateRectRgnIndirect(&a), rb = CreateRectRgnIndirect(&b);
    CombineRgn(ra, ra, rb, RGN_XOR);
    HDC dc = GetDC(m_hWnd);
    HideCaret(m_hWnd);
    InvertRgn(dc, ra);
    ShowCaret(m_hWnd);
    ReleaseDC(m_hWnd, dc);
    DeleteObject(ra);
    DeleteObject(rb);
}

void CFxEditView::OnLButtonDown(UINT keys, POINT pt) {
    if (!m_doc || m_doc->RecordCount() == 0)
        return;
    if (GetFocus() != m_hWnd)
        SetFocus();
    const bool columnMode = m_columnMode;
    m_columnMode = false;
    m_downPt = pt;
    const int zone = HitTest(pt);
    const FxTextPos p = PointToPos(pt);
    if (keys & MK_SHIFT) {
        const FxTextPos anchor = SelectionAnchor();
        m_dragAnchor = anchor;
        m_caret = p;
        UpdateCaretX();
        m_stickyX = m_caretX;
        SelectRange(anchor);
        EnsureVisible(m_caret.line, m_caretX);
        PlaceCaret();
    } else if (zone == HT_GUTTER) {
        const int32_t rec = p.line;
        ClearSelection();
        m_dragAnchor = FxTextPos(0, rec);
        m_caret = rec + 1 < m_doc->RecordCount() ? FxTextPos(0, rec + 1)
                                                 : FxTextPos(m_doc->Record(rec).len, rec);
        UpdateCaretX();
        m_stickyX = m_caretX;
        SelectRange(m_dragAnchor);
        EnsureVisible(m_caret.line, m_caretX);
        PlaceCaret();
    } else if (m_type->dragDrop && HitTestSelection(pt)) {
        MoveCaretTo(p);
        StartDrag();
        return;
    } else {
        ClearSelection();
        MoveCaretTo(p);
        m_dragAnchor = m_caret;
        if ((columnMode || GetKeyState(VK_MENU) < 0) && !m_doc->IsWrapped()) {
            const int x = DocXFromWindow(pt.x), y = DocYFromWindow(pt.y);
            m_colRect = {x, y, x, y};
            m_columnDrag = true;
            m_columnMode = true;
        }
    }
    m_capture = true;
    SetCapture(m_hWnd);
}

void CFxEditView::OnMouseMove(UINT keys, POINT pt) {
    if (!m_capture || !m_doc) {
        CView::OnMouseMove(keys, pt);
        return;
    }
    if (m_columnDrag) {
        const int x = DocXFromWindow(pt.x), y = DocYFromWindow(pt.y);
        if (EnsureVisible(LineFromY(y), x))
            UpdateWindow();
        const RECT old = m_colRect;
        m_colRect.right = x;
        m_colRect.bottom = y;
        UpdateRubberBand(old, m_colRect);
        return;
    }
    if (m_selKind == SEL_WORD && HasSelection()) {
        const FxTextPos under = CharUnderPoint(pt);
        FxTextPos s, e;
        const bool word = WordAt(under, s, e);
        const FxTextPos at = m_doc->PieceToLogical(PointToPos(pt));
        FxTextPos anchor, caret;
        if (at < m_wordStart) {
            anchor = m_wordEnd;
            caret = word ? s : at;
        } else {
            anchor = m_wordStart;
            caret = word ? e : at;
        }
        m_caret = m_doc->LogicalToPiecePos(caret);
        UpdateCaretX();
        m_stickyX = m_caretX;
        SelectRange(m_doc->LogicalToPiecePos(anchor));
        EnsureVisible(m_caret.line, m_caretX);
        PlaceCaret();
        return;
    }
    m_caret = PointToPos(pt);
    UpdateCaretX();
    m_stickyX = m_caretX;
    SelectRange(m_dragAnchor);
    EnsureVisible(m_caret.line, m_caretX);
    PlaceCaret();
}

void CFxEditView::EndCapture() {
    if (!m_capture)
        return;
    m_capture = false;
    if (m_columnDrag) {
        m_columnDrag = false;
        m_columnMode = false;
        const RECT r = m_colRect;
        if (r.left != r.right)
            SelectColumnBlock(r);
        else
            Invalidate(false); // the rubber band goes
    }
    if (m_selKind == SEL_WORD)
        m_selKind = SEL_STREAM;
}

void CFxEditView::OnLButtonUp(UINT, POINT) {
    if (!m_capture)
        return;
    EndCapture();
    if (GetCapture() == m_hWnd)
        ReleaseCapture();
}

void CFxEditView::OnCaptureChanged(HWND newCapture) {
    if (newCapture != m_hWnd)
        EndCapture();
}

void CFxEditView::OnLButtonDblClk(UINT, POINT pt) {
    if (!m_doc || HitTest(pt) != HT_TEXT)
        return;
    FxTextPos s, e;
    WordAt(CharUnderPoint(pt), s, e);
    ClearSelection();
    m_wordStart = s;
    m_wordEnd = e;
    m_caret = m_doc->LogicalToPiecePos(e);
    UpdateCaretX();
    m_stickyX = m_caretX;
    m_selKind = SEL_WORD;
    SelectRange(m_doc->LogicalToPiecePos(s));
    if (!HasSelection())
        m_selKind = SEL_STREAM;
    EnsureVisible(m_caret.line, m_caretX);
    PlaceCaret();
    m_capture = true;
    SetCapture(m_hWnd);
}

void CFxEditView::OnRButtonDown(UINT keys, POINT pt) {
    if (m_doc && !HitTestSelection(pt)) {
        ClearSelection();
        MoveCaretTo(PointToPos(pt));
    }
    CView::OnRButtonDown(keys, pt);
}

bool CFxEditView::OnSetCursor(HWND wnd, UINT hitTest, UINT message) {
    if (hitTest != HTCLIENT || !m_doc)
        return CView::OnSetCursor(wnd, hitTest, message);
    POINT pt;
    GetCursorPos(&pt);
    ::ScreenToClient(m_hWnd, &pt);
    LPCSTR cursor = IDC_IBEAM;
    const int zone = HitTest(pt);
    if (m_columnDrag)
        cursor = IDC_CROSS;
    else if (zone == HT_RULER || zone == HT_GUTTER)
        cursor = IDC_ARROW;
    else if ((GetKeyState(VK_MENU) < 0 || m_columnMode) && !m_doc->IsWrapped())
        cursor = IDC_CROSS;
    SetCursor(LoadCursor(nullptr, cursor));
    return true;
}
