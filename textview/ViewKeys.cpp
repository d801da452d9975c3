// CFxEditView: the keyboard table, word movement, typed characters with double-byte pairing,
// and the input method's result string. Layer: textview/ (view side).
#include "textview/FxEditView.h"

#include "textdoc/Dbcs.h"
#include "textview/FileTypeInfo.h"
#include "textview/SyntaxText.h"

#include <imm.h>

#include <algorithm>
#include <string>

namespace {

// The lead byte typed last, waiting for its trail byte: one per process, tagged with the
// window that received it, so that bytes typed into two windows are never combined.
struct PendingLead {
    HWND wnd = nullptr;
    unsigned char byte = 0;
};
PendingLead g_pendingLead;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool KeyDown(int vk) {
    return GetKeyState(vk) < 0;
}

// The start of the character before byte i of text (i > 0).
int32_t PrevBoundary(const char* text, int32_t len, int32_t i) {
    int32_t j = 0;
    for (;;) {
        int32_t n = FxCharLen(text, static_cast<size_t>(j), static_cast<size_t>(len));
        if (j + n >= i)
            return j;
        j += n;
    }
}

bool IsLegalPair(unsigned char lead, unsigned char trail) {
    char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    WCHAR w[2];
    return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, pair, 2, w, 2) == 1;
}

} // namespace

// --- Words ----------------------------------------------------------------------------------

// 0: space or tab, 1: delimiter, 2: word character.
int CFxEditView::CharClass(const char* text, int32_t i, int32_t len) const {
    if (IsBlank(text[i]))
        return 0;
    int n;
    return m_type->syntax.IsDelimiter(SynCharAt(text, i, len, &n)) ? 1 : 2;
}

namespace {

// A position given as (column in the logical line, head record) back to a piece position.
FxTextPos HeadToPiece(const CFxEditDoc& doc, int32_t col, int32_t head) {
    int32_t rec = head;
    while (col > doc.Record(rec).len && rec + 1 < doc.RecordCount() &&
           doc.Record(rec + 1).IsContinued()) {
        col -= doc.Record(rec).len;
        ++rec;
    }
    return FxTextPos(std::min(col, doc.Record(rec).len), rec);
}

} // namespace

FxTextPos CFxEditView::CharLeft(FxTextPos p) const {
    const FxTextPos h = m_doc->ToHeadPiece(p);
    const FxLine& head = m_doc->Record(h.line);
    if (h.col > 0)
        return HeadToPiece(*m_doc, PrevBoundary(head.data, head.lineLen, h.col), h.line);
    if (h.line > 0)
        return FxTextPos(m_doc->Record(h.line - 1).len, h.line - 1);
    return p;
}

FxTextPos CFxEditView::CharRight(FxTextPos p) const {
    const FxLine& r = m_doc->Record(p.line);
    if (p.col >= r.len)
        return p.line + 1 < m_doc->RecordCount() ? FxTextPos(0, p.line + 1) : p;
    const FxTextPos h = m_doc->ToHeadPiece(p);
    const FxLine& head = m_doc->Record(h.line);
    const int32_t n =
        FxCharLen(head.data, static_cast<size_t>(h.col), static_cast<size_t>(head.lineLen));
    return HeadToPiece(*m_doc, h.col + n, h.line);
}

FxTextPos CFxEditView::WordLeft(FxTextPos p) const {
    const FxTextPos h = m_doc->ToHeadPiece(p);
    const FxLine& head = m_doc->Record(h.line);
    if (h.col == 0)
        return CharLeft(p);
    const char* t = head.data;
    const int32_t len = head.lineLen;
    int32_t i = h.col;
    while (i > 0 && IsBlank(t[i - 1]))
        --i;
    if (i > 0) {
        i = PrevBoundary(t, len, i);
        const int cls = CharClass(t, i, len);
        while (i > 0) {
            int32_t j = PrevBoundary(t, len, i);
            int c = CharClass(t, j, len);
            if (c != cls || c == 0)
                break;
            i = j;
        }
    }
    return HeadToPiece(*m_doc, i, h.line);
}

FxTextPos CFxEditView::WordRight(FxTextPos p) const {
    const FxTextPos h = m_doc->ToHeadPiece(p);
    const FxLine& head = m_doc->Record(h.line);
    const char* t = head.data;
    const int32_t len = head.lineLen;
    if (h.col >= len) {
        const int32_t next = m_doc->NextLogicalLine(h.line);
        return next >= 0 ? FxTextPos(0, next) : p;
    }
    int32_t i = h.col;
    if (!IsBlank(t[i])) {
        const int cls = CharClass(t, i, len);
        while (i < len && CharClass(t, i, len) == cls)
            i += FxCharLen(t, static_cast<size_t>(i), static_cast<size_t>(len));
    }
    while (i < len && IsBlank(t[i]))
        ++i;
    return HeadToPiece(*m_doc, i, h.line);
}

bool CFxEditView::WordAt(FxTextPos p, FxTextPos& start, FxTextPos& end) const {
    const FxTextPos h = m_doc->ToHeadPiece(p);
    const FxLine& head = m_doc->Record(h.line);
    const char* t = head.data;
    const int32_t len = head.lineLen;
    const int32_t line = m_doc->PieceToLogicalLine(h.line);
    int32_t s = h.col, e = h.col;
    int cls = 0;
    if (t && s < len) {
        cls = CharClass(t, s, len);
        e = s + FxCharLen(t, static_cast<size_t>(s), static_cast<size_t>(len));
        if (cls == 2) {
            while (s > 0) {
                int32_t j = PrevBoundary(t, len, s);
                if (CharClass(t, j, len) != 2)
                    break;
                s = j;
            }
            while (e < len && CharClass(t, e, len) == 2)
                e += FxCharLen(t, static_cast<size_t>(e), static_cast<size_t>(len));
        } else if (cls == 0) {
            e = s; // a blank selects nothing
        }
    }
    start = FxTextPos(s, line);
    end = FxTextPos(e, line);
    return cls == 2;
}

FxTextPos CFxEditView::AtStickyX(int32_t rec) const {
    rec = m_doc->ClampPiece(rec);
    int x = m_stickyX;
    return FxTextPos(const_cast<CFxEditView*>(this)->XToPieceColumn(rec, x), rec);
}

void CFxEditView::MoveOrExtend(FxTextPos to, bool extend, bool resetSticky) {
    if (extend) {
        const FxTextPos anchor = SelectionAnchor();
        m_caret = to;
        UpdateCaretX();
        if (resetSticky)
            m_stickyX = m_caretX;
        SelectRange(anchor);
        EnsureVisible(m_caret.line, m_caretX);
        PlaceCaret();
        return;
    }
    ClearSelection();
    SetCaret(to, resetSticky);
}

// --- Keys -----------------------------------------------------------------------------------

void CFxEditView::OnKeyDown(UINT key, UINT repeat, UINT flags) {
    if (!m_doc) {
        CView::OnKeyDown(key, repeat, flags);
        return;
    }
    const bool shift = KeyDown(VK_SHIFT), ctrl = KeyDown(VK_CONTROL);
    switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END:
    case VK_BACK:
    case VK_DELETE:
    case VK_RETURN:
    case VK_INSERT:
    case VK_ESCAPE:
        if (m_capture)
            ReleaseCapture();
        break;
    case VK_TAB:
        break;
    default:
        CView::OnKeyDown(key, repeat, flags);
        return;
    }
    ClampCaret();
    const bool toStart = key == VK_LEFT || key == VK_UP || key == VK_PRIOR || key == VK_HOME;
    // Without Shift, a selection first puts the caret at its start or end.
    FxTextPos base = m_caret;
    const bool collapse =
        !shift && HasSelection() &&
        (toStart || key == VK_RIGHT || key == VK_DOWN || key == VK_NEXT || key == VK_END);
    if (collapse) {
        base = toStart ? SelectionStart() : SelectionEnd();
        ClearSelection();
        m_caret = base;
        UpdateCaretX();
        if (key == VK_LEFT || key == VK_RIGHT) {
            m_stickyX = m_caretX;
            EnsureVisible(m_caret.line, m_caretX);
            PlaceCaret();
            return;
        }
    }
    switch (key) {
    case VK_LEFT:
        MoveOrExtend(ctrl ? WordLeft(base) : CharLeft(base), shift, true);
        break;
    case VK_RIGHT:
        MoveOrExtend(ctrl ? WordRight(base) : CharRight(base), shift, true);
        break;
    case VK_UP:
    case VK_DOWN:
        OnKeyVertical(static_cast<int>(key), shift, ctrl);
        break;
    case VK_PRIOR:
    case VK_NEXT: {
        const int32_t last = m_doc->RecordCount() - 1;
        int32_t rec;
        if (key == VK_NEXT && last < m_top + m_layout.visibleLines) {
            rec = last;
        } else {
            const int32_t oldTop = m_top;
            ScrollLines(key == VK_PRIOR ? 2 : 3);
            rec = m_caret.line + (m_top - oldTop);
            if (key == VK_PRIOR && oldTop == 0)
                rec = 0;
        }
        MoveOrExtend(AtStickyX(rec), shift, false);
        break;
    }
    case VK_HOME: {
        FxTextPos to(0, base.line);
        if (ctrl) {
            to = FxTextPos(0, 0);
        } else if (m_type->homeKeyGFNW) {
            const FxLine& r = m_doc->Record(base.line);
            int32_t i = 0;
            while (i < r.len && IsBlank(r.data[i]))
                ++i;
            to.col = base.col == i ? 0 : i;
        }
        MoveOrExtend(to, shift, true);
        break;
    }
    case VK_END:
        MoveOrExtend(ctrl ? m_doc->EndPos() : FxTextPos(m_doc->Record(base.line).len, base.line),
                     shift, true);
        break;
    case VK_BACK:
        OnKeyBackspace(ctrl);
        break;
    case VK_DELETE:
        OnKeyDelete(ctrl);
        break;
    case VK_RETURN:
        OnKeyEnter();
        break;
    case VK_TAB:
        OnKeyTab();
        break;
    case VK_INSERT:
        m_overwrite = !m_overwrite;
        break;
    case VK_ESCAPE:
        ClearSelection();
        break;
    default:
        break;
    }
}

void CFxEditView::OnKeyVertical(int key, bool shift, bool ctrl) {
    const bool up = key == VK_UP;
    if (ctrl && !shift) {
        ScrollLines(up ? 0 : 1);
        const int visible = std::max(1, m_layout.visibleLines);
        if (m_caret.line < m_top)
            m_caret = AtStickyX(m_top);
        else if (m_caret.line >= m_top + visible)
            m_caret = AtStickyX(m_top + visible - 1);
        UpdateCaretX();
        PlaceCaret();
        return;
    }
    const int32_t rec = m_doc->ClampPiece(m_caret.line + (up ? -1 : 1));
    MoveOrExtend(AtStickyX(rec), shift, false);
}

void CFxEditView::OnKeyBackspace(bool ctrl) {
    if (!CheckWritable())
        return;
    try {
        FxUndoGroupGuard group(*m_doc, FxUndoDelete);
        if (HasSelection()) {
            DeleteSelection();
            return;
        }
        const FxTextPos a = ctrl ? WordLeft(m_caret) : CharLeft(m_caret);
        DeleteRange(a, m_caret, true);
    } catch (...) {
        ReportException();
    }
}

void CFxEditView::OnKeyDelete(bool ctrl) {
    if (!CheckWritable())
        return;
    try {
        FxUndoGroupGuard group(*m_doc, FxUndoDelete);
        if (HasSelection()) {
            DeleteSelection();
            return;
        }
        const FxTextPos h = m_doc->ToHeadPiece(m_caret);
        const FxLine& head = m_doc->Record(h.line);
        FxTextPos b;
        if (h.col >= head.lineLen) {
            const int32_t next = m_doc->NextLogicalLine(h.line);
            if (next < 0)
                return;
            b = FxTextPos(0, next);
        } else if (ctrl) {
            b = WordRight(m_caret);
        } else {
            b = HeadToPiece(*m_doc,
                            h.col + FxCharLen(head.data, static_cast<size_t>(h.col),
                                              static_cast<size_t>(head.lineLen)),
                            h.line);
        }
        DeleteRange(m_caret, b, true);
    } catch (...) {
        ReportException();
    }
}

void CFxEditView::OnKeyEnter() {
    if (m_overwrite) {
        ClearSelection();
        MoveCaretTo(FxTextPos(0, m_doc->ClampPiece(m_caret.line + 1)));
        return;
    }
    if (!CheckWritable())
        return;
    try {
        FxUndoGroupGuard group(*m_doc, FxUndoTyping);
        if (HasSelection())
            DeleteSelection();
        const FxTextPos h = m_doc->ToHeadPiece(m_caret);
        const FxLine& head = m_doc->Record(h.line);
        int32_t i = 0;
        while (i < h.col && IsBlank(head.data[i]))
            ++i;
        const int tab = TabSize();
        const int32_t w = head.data ? DisplayColumn(head.data, head.data + i, tab, 0) : 0;
        std::string text = "\r\n";
        if (m_type->expandTabToSpaces) {
            text.append(static_cast<size_t>(w), ' ');
        } else {
            text.append(static_cast<size_t>(w / tab), '\t');
            text.append(static_cast<size_t>(w % tab), ' ');
        }
        InsertAtCaret(text.data(), static_cast<int32_t>(text.size()));
    } catch (...) {
        ReportException();
    }
}

void CFxEditView::OnKeyTab() {
    if (m_capture)
        return;
    if (m_type->expandTabToSpaces) {
        const int tab = TabSize();
        std::string spaces(static_cast<size_t>(tab - m_caretDispCol % tab), ' ');
        InsertChars(spaces.data(), static_cast<int32_t>(spaces.size()));
    } else {
        InsertChars("\t", 1);
    }
}

// --- Typed characters and the input method ----------------------------------------------------

void CFxEditView::OnChar(UINT ch, UINT, UINT) {
    if (m_capture || !m_doc)
        return;
    const unsigned char b = static_cast<unsigned char>(ch & 0xFF);
    // A pending or new lead byte comes first: a lead byte must never be inserted alone.
    if (g_pendingLead.wnd == m_hWnd) {
        const unsigned char lead = g_pendingLead.byte;
        g_pendingLead = PendingLead();
        if (IsLegalPair(lead, b)) {
            const char pair[2] = {static_cast<char>(lead), static_cast<char>(b)};
            InsertChars(pair, 2);
        }
        return;
    }
    g_pendingLead = PendingLead(); // a lead byte typed into another window is dropped
    if (FxIsLeadByte(b)) {
        g_pendingLead.wnd = m_hWnd;
        g_pendingLead.byte = b;
        return;
    }
    if (b >= 0x20 && b != 0x7F) {
        const char c = static_cast<char>(b);
        InsertChars(&c, 1);
    }
}

namespace {

LONG ReadImeResultFromContext(HWND wnd, char* buf, DWORD size) {
    HIMC imc = ImmGetContext(wnd);
    if (!imc)
        return -1;
    LONG got = ImmGetCompositionStringA(imc, GCS_RESULTSTR, buf, size);
    ImmReleaseContext(wnd, imc);
    return got;
}

} // namespace

CFxEditView::ImeResultReader CFxEditView::s_imeResultReader = ReadImeResultFromContext;

LRESULT CFxEditView::OnImeComposition(WPARAM, LPARAM lParam) {
    if (!(lParam & GCS_RESULTSTR) || !m_doc)
        return Default();
    // Ask for the length first: a phrase may be longer than any fixed buffer.
    LONG bytes = s_imeResultReader(m_hWnd, nullptr, 0);
    if (bytes < 0)
        return Default(); // no input context
    if (bytes > 0) {
        std::string text(static_cast<size_t>(bytes), '\0');
        bytes = s_imeResultReader(m_hWnd, &text[0], static_cast<DWORD>(bytes));
        if (bytes > 0)
            InsertChars(text.data(), std::min(bytes, static_cast<LONG>(text.size())));
    }
    return 0;
}
