// CFxEditView: the caret, stream and column selections, the selected text, and the editing
// primitives that typing and the keys share. Layer: textview/ (view side).
#include "textview/FxEditView.h"

#include "textdoc/Dbcs.h"
#include "textview/FileTypeInfo.h"
#include "textview/ViewFontMetrics.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <new>

// --- Caret ----------------------------------------------------------------------------------

void CFxEditView::ClampCaret() {
    if (!m_doc || m_doc->RecordCount() == 0)
        return;
    m_caret.line = m_doc->ClampPiece(m_caret.line);
    m_caret.col = m_doc->ClampPieceColumn(m_caret.line, m_caret.col);
}

void CFxEditView::UpdateCaretX() {
    if (!m_doc || m_doc->RecordCount() == 0)
        return;
    ClampCaret();
    m_caretX = PieceColumnToX(m_caret);
    const FxLine& r = m_doc->Record(m_caret.line);
    m_caretDispCol =
        r.data ? DisplayColumn(r.data, r.data + m_caret.col, TabSize(), r.dispCol) : r.dispCol;
}

void CFxEditView::PlaceCaret() {
    if (!m_hWnd || !m_doc)
        return;
    if (m_caret.line != m_caretLine) {
        // The active-line highlight moves with the caret.
        InvalidateLines(m_caretLine, m_caretLine);
        InvalidateLines(m_caret.line, m_caret.line);
        m_caretLine = m_caret.line;
    }
    if (!m_hasFocus || m_dropCaret)
        return;
    POINT p = {WindowXFromDoc(m_caretX), WindowYFromRecord(m_caret.line) + m_fm.lineSpacing / 2};
    if (!PtInRect(&m_layout.text, p))
        p = {-m_fm.caretWidth, -m_fm.textHeight};
    ::SetCaretPos(p.x, p.y);
}

void CFxEditView::SetCaret(FxTextPos pos, bool resetSticky) {
    m_caret = pos;
    UpdateCaretX();
    if (resetSticky)
        m_stickyX = m_caretX;
    EnsureVisible(m_caret.line, m_caretX);
    PlaceCaret();
}

void CFxEditView::MoveCaretTo(FxTextPos piecePos) {
    SetCaret(piecePos, true);
}

// --- Selection ------------------------------------------------------------------------------

void CFxEditView::ResetSelectionFields() {
    if (m_selFirst < 0)
        return;
    const int32_t last = std::min(m_selLast, m_doc->RecordCount() - 1);
    for (int32_t r = m_selFirst; r <= last; ++r) {
        FxLine& line = m_doc->RecordRef(r);
        line.selStart = line.selEnd = -1;
    }
}

void CFxEditView::ClearSelection() {
    if (m_selFirst < 0)
        return;
    ResetSelectionFields();
    if (m_selKind == SEL_COLUMN)
        Invalidate(false);
    else
        InvalidateLines(m_selFirst, m_selLast);
    m_selFirst = m_selLast = -1;
    m_selLength = 0;
    m_selKind = SEL_STREAM;
}

void CFxEditView::SelectRange(FxTextPos anchor) {
    anchor.line = m_doc->ClampPiece(anchor.line);
    anchor.col = m_doc->ClampPieceColumn(anchor.line, anchor.col);
    ClampCaret();
    const int32_t oldFirst = m_selFirst, oldLast = m_selLast;
    const bool wasBlock = m_selKind == SEL_COLUMN && m_selFirst >= 0;
    ResetSelectionFields();
    FxTextPos a = std::min(anchor, m_caret), b = std::max(anchor, m_caret);
    m_anchor = anchor;
    m_selLength = 0;
    if (a == b) {
        m_selFirst = m_selLast = -1;
    } else if (a.line == b.line) {
        FxLine& r = m_doc->RecordRef(a.line);
        r.selStart = a.col;
        r.selEnd = b.col;
        m_selLength = b.col - a.col;
        m_selFirst = m_selLast = a.line;
    } else {
        const int term = m_doc->TerminatorLength();
        for (int32_t i = a.line; i <= b.line; ++i) {
            FxLine& r = m_doc->RecordRef(i);
            const int brk = r.HasLineEnd() ? 1 : 0;
            r.selStart = i == a.line ? a.col : 0;
            r.selEnd = i == b.line ? b.col : r.len + brk;
            m_selLength += std::min(r.selEnd, r.len) - r.selStart;
            if (i != b.line && brk)
                m_selLength += term;
        }
        m_selFirst = a.line;
        m_selLast = b.line;
    }
    if (m_selKind != SEL_WORD)
        m_selKind = SEL_STREAM;
    if (wasBlock) {
        Invalidate(false);
    } else if (oldFirst < 0 || m_selFirst < 0) {
        InvalidateLines(oldFirst >= 0 ? oldFirst : m_selFirst, oldFirst >= 0 ? oldLast : m_selLast);
        if (oldFirst >= 0 && m_selFirst >= 0)
            InvalidateLines(m_selFirst, m_selLast);
    } else {
        InvalidateLines(oldFirst, m_selFirst);
        InvalidateLines(oldLast, m_selLast);
    }
}

RECT CFxEditView::NormalRect(const RECT& r) const {
    RECT n = {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
              std::max(r.top, r.bottom)};
    return n;
}

void CFxEditView::SelectColumnBlock(RECT docRect) {
    ClearSelection();
    RECT r = NormalRect(docRect);
    const int32_t first = LineFromY(r.top), last = LineFromY(r.bottom);
    int right = r.left;
    m_selLength = 0;
    for (int32_t i = first; i <= last; ++i) {
        int xl = r.left, xr = r.right;
        FxLine& line = m_doc->RecordRef(i);
        int32_t s = XToPieceColumn(i, xl);
        int32_t e = XToPieceColumn(i, xr);
        line.selStart = s;
        line.selEnd = e;
        m_selLength += e - s;
        right = std::max(right, xr);
    }
    m_colRect = {r.left, r.top, right, r.bottom};
    m_selFirst = first;
    m_selLast = last;
    m_selKind = SEL_COLUMN;
    m_anchor = FxTextPos(m_doc->Record(first).selStart, first);
    Invalidate(false);
}

FxTextPos CFxEditView::SelectionAnchor() const {
    return m_selFirst >= 0 ? m_anchor : m_caret;
}

FxTextPos CFxEditView::SelectionStart() const {
    if (m_selFirst < 0)
        return m_caret;
    return FxTextPos(m_doc->Record(m_selFirst).selStart, m_selFirst);
}

FxTextPos CFxEditView::SelectionEnd() const {
    if (m_selFirst < 0)
        return m_caret;
    const FxLine& r = m_doc->Record(m_selLast);
    return FxTextPos(std::min(r.selEnd, r.len), m_selLast);
}

std::string CFxEditView::CopySelectionText(int lineEndType) const {
    return SelectionTextUpTo(lineEndType, std::string::npos);
}

std::string CFxEditView::SelectionTextUpTo(int lineEndType, size_t limit) const {
    std::string out;
    if (m_selFirst < 0)
        return out;
    const char* term = FxTerminator(lineEndType);
    for (int32_t i = m_selFirst; i <= m_selLast && out.size() < limit; ++i) {
        const FxLine& r = m_doc->Record(i);
        const int32_t s = std::min(std::max(0, r.selStart), r.len);
        const int32_t e = std::min(r.selEnd, r.len);
        if (r.data && e > s)
            out.append(r.data + s, std::min(static_cast<size_t>(e - s), limit - out.size()));
        if (m_selKind == SEL_COLUMN || r.selEnd > r.len)
            out += term;
    }
    if (out.size() > limit)
        out.resize(limit);
    std::replace(out.begin(), out.end(), '\0', ' ');
    return out;
}

int32_t CFxEditView::CopySelectionText(int lineEndType, char* buf, int32_t size) const {
    if (size <= 0)
        return 0;
    // One byte past the room tells whether the last character that fits is whole.
    const size_t room = static_cast<size_t>(size) - 1;
    const std::string text = SelectionTextUpTo(lineEndType, room + 1);
    size_t n = 0;
    while (n < text.size()) {
        const size_t step = static_cast<size_t>(FxCharLen(text.data(), n, text.size()));
        if (n + step > room)
            break;
        n += step;
    }
    std::copy(text.data(), text.data() + n, buf);
    buf[n] = '\0';
    return static_cast<int32_t>(n);
}

FxSize CFxEditView::SelectionLength(int lineEndType, bool recount) const {
    if (m_selFirst < 0)
        return 0;
    if (!recount && lineEndType == m_doc->LineEndType() && m_selKind != SEL_COLUMN)
        return m_selLength;
    const int term = FxTerminatorLength(lineEndType);
    FxSize n = 0;
    for (int32_t i = m_selFirst; i <= m_selLast; ++i) {
        const FxLine& r = m_doc->Record(i);
        const int32_t s = std::min(std::max(0, r.selStart), r.len);
        n += std::max(0, std::min(r.selEnd, r.len) - s);
        if (m_selKind == SEL_COLUMN || r.selEnd > r.len)
            n += term;
    }
    return n;
}

FxTextPos CFxEditView::PointToPos(POINT windowPt) const {
    CFxEditView* self = const_cast<CFxEditView*>(this);
    const int32_t rec = LineFromY(DocYFromWindow(windowPt.y));
    int x = DocXFromWindow(windowPt.x);
    return FxTextPos(self->XToPieceColumn(rec, x), rec);
}

bool CFxEditView::HitTestSelection(POINT windowPt) const {
    if (m_selFirst < 0)
        return false;
    const int32_t rec = LineFromY(DocYFromWindow(windowPt.y));
    if (rec < m_selFirst || rec > m_selLast)
        return false;
    const FxLine& r = m_doc->Record(rec);
    if (m_selKind == SEL_COLUMN) {
        CFxEditView* self = const_cast<CFxEditView*>(this);
        const int docX = DocXFromWindow(windowPt.x);
        FxTextPos s(r.selStart, rec), e(r.selEnd, rec);
        int xs = r.selStart >= r.len ? m_colRect.left : self->PieceColumnToX(s);
        int xe = r.selEnd >= r.len ? m_colRect.right : self->PieceColumnToX(e);
        return docX >= xs && docX < xe;
    }
    FxTextPos p = PointToPos(windowPt);
    if (m_selFirst == m_selLast)
        return p.col >= r.selStart && p.col < r.selEnd;
    if (rec > m_selFirst && rec < m_selLast)
        return true;
    if (rec == m_selFirst)
        return p.col >= r.selStart;
    return p.col < r.selEnd;
}

// --- Editing primitives (inside the caller's undo group) --------------------------------------

bool CFxEditView::CheckWritable() {
    if (!m_doc || m_doc->RecordCount() == 0)
        return false;
    if (m_doc->IsReadOnly()) {
        m_doc->OnDocEvent(FxEvReadOnly, 0);
        return false;
    }
    return true;
}

void CFxEditView::InsertAtCaret(const char* text, FxSize len) {
    ClampCaret();
    const FxTextPos start = m_doc->ToHeadPiece(m_caret);
    FxTextPos pos = m_doc->PieceToLogical(m_caret);
    if (!m_doc->InsertText(pos, text, len, this))
        return;
    m_doc->RecordInsert(start, pos);
}

void CFxEditView::InsertAtCaret(const std::string& text) {
    // A text of more than 2 GB goes in whole in the 64-bit build; the document refuses a
    // line it cannot hold.
    if (text.size() > static_cast<size_t>(std::numeric_limits<FxSize>::max()))
        throw std::bad_alloc();
    InsertAtCaret(text.data(), static_cast<FxSize>(text.size()));
}

void CFxEditView::DeleteRange(FxTextPos a, FxTextPos b, bool moveCaret) {
    if (b < a)
        std::swap(a, b);
    if (a == b)
        return;
    m_doc->RecordDelete(a, b);
    const int32_t records = m_doc->RecordCount();
    m_doc->DeleteText(a, b, moveCaret ? this : nullptr);
    if (!moveCaret)
        UpdateViews(records == m_doc->RecordCount() ? RefreshInsert : RefreshLineCount, a.line,
                    a.line);
}

void CFxEditView::DeleteSelection() {
    if (m_selFirst < 0)
        return;
    const int kind = m_selKind;
    const int32_t first = m_selFirst, last = m_selLast;
    if (kind != SEL_COLUMN) {
        const FxTextPos a = SelectionStart();
        const FxTextPos b = SelectionEnd();
        ResetSelectionFields();
        m_selFirst = m_selLast = -1;
        m_selLength = 0;
        m_selKind = SEL_STREAM;
        InvalidateLines(first, last);
        DeleteRange(a, b, true);
        return;
    }
    std::vector<std::pair<int32_t, int32_t>> cols;
    for (int32_t i = first; i <= last; ++i) {
        const FxLine& r = m_doc->Record(i);
        cols.emplace_back(std::min(r.selStart, r.len), std::min(r.selEnd, r.len));
    }
    ResetSelectionFields();
    m_selFirst = m_selLast = -1;
    m_selLength = 0;
    m_selKind = SEL_STREAM;
    Invalidate(false);
    for (int32_t i = last; i >= first; --i) {
        const auto& c = cols[static_cast<size_t>(i - first)];
        if (c.second > c.first) {
            m_doc->RecordDelete(FxTextPos(c.first, i), FxTextPos(c.second, i));
            FxTextPos a(c.first, i);
            m_doc->DeleteText(a, FxTextPos(c.second, i), nullptr);
        }
    }
    UpdateViews(RefreshLineCount, first, -1);
    MoveCaretTo(FxTextPos(cols.front().first, first));
}

void CFxEditView::InsertChars(const char* bytes, int32_t len) {
    if (!CheckWritable() || len <= 0)
        return;
    try {
        FxUndoGroupGuard group(*m_doc, FxUndoTyping);
        if (HasSelection())
            DeleteSelection();
        if (m_overwrite) {
            // Replace as many characters as were typed, never past the end of the line.
            int chars = 0;
            for (int32_t i = 0; i < len; ++chars)
                i += FxCharLen(bytes, static_cast<size_t>(i), static_cast<size_t>(len));
            ClampCaret();
            const FxTextPos head = m_doc->ToHeadPiece(m_caret);
            const FxLine& h = m_doc->Record(head.line);
            int32_t end = head.col;
            for (int k = 0; k < chars && end < h.lineLen; ++k)
                end += FxCharLen(h.data, static_cast<size_t>(end), static_cast<size_t>(h.lineLen));
            if (end > head.col) {
                FxTextPos b =
                    m_doc->LogicalToPiecePos(FxTextPos(end, m_doc->PieceToLogicalLine(head.line)));
                DeleteRange(m_caret, b, true);
            }
        }
        InsertAtCaret(bytes, len);
    } catch (...) {
        ReportException();
    }
}
