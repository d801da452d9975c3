// OutputPane: the caret and the selection: moving them by keys and mouse, copying the
// selection to the clipboard and dragging it out as text. Layer: tools/.
#include "tools/OutputPane.h"

#include "common/LeadBytes.h"
#include "framework/OleDataSource.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// A drag of pane text: the selection as plain text, copied.
HGLOBAL TextToGlobal(const std::string& text) {
    HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (!mem)
        return nullptr;
    if (char* p = static_cast<char*>(::GlobalLock(mem))) {
        std::memcpy(p, text.c_str(), text.size() + 1);
        ::GlobalUnlock(mem);
    }
    return mem;
}

} // namespace

// --- Caret and selection -----------------------------------------------------------------------

OutputPane::Pos OutputPane::ValidPos(Pos pos) const {
    pos.line = std::clamp<int32_t>(pos.line, 0, m_lines.Count() - 1);
    const OutputLines::Line& rec = m_lines.At(pos.line);
    pos.col = std::clamp<int32_t>(pos.col, 0, rec.length);
    // Never inside a double-byte character.
    int32_t col = 0;
    while (col < pos.col) {
        const int n =
            FxCharLen(rec.text, static_cast<size_t>(col), static_cast<size_t>(rec.length));
        if (col + n > pos.col)
            break;
        col += n;
    }
    pos.col = col;
    return pos;
}

void OutputPane::GetSelection(Pos* start, Pos* end) const {
    if (!HasSelection()) {
        *start = *end = m_caret;
        return;
    }
    *start = std::min(m_anchor, m_caret);
    *end = std::max(m_anchor, m_caret);
}

void OutputPane::MoveCaret(Pos pos, bool extend) {
    Pos oldStart, oldEnd;
    GetSelection(&oldStart, &oldEnd);
    const bool hadSelection = HasSelection();
    pos = ValidPos(pos);
    if (extend) {
        if (m_anchor.line < 0)
            m_anchor = m_caret;
    } else {
        m_anchor = Pos{0, -1};
    }
    const Pos oldCaret = m_caret;
    m_caret = pos;
    if (m_hWnd) {
        Pos newStart, newEnd;
        GetSelection(&newStart, &newEnd);
        if (hadSelection)
            InvalidateLines(oldStart.line, oldEnd.line);
        if (HasSelection())
            InvalidateLines(std::min(newStart.line, oldCaret.line),
                            std::max(newEnd.line, oldCaret.line));
        ScrollCaretIntoView();
        UpdateCaret();
    }
}

void OutputPane::ClearSelection() {
    if (!HasSelection()) {
        m_anchor = Pos{0, -1};
        return;
    }
    Pos start, end;
    GetSelection(&start, &end);
    m_anchor = Pos{0, -1};
    InvalidateLines(start.line, end.line);
}

void OutputPane::SelectAll() {
    const int32_t last = m_lines.Count() - 1;
    m_anchor = Pos{0, 0};
    m_caret = Pos{m_lines.At(last).length, last};
    m_caretX = -1;
    if (m_hWnd) {
        Invalidate(false);
        ScrollCaretIntoView();
        UpdateCaret();
    }
}

std::string OutputPane::GetSelectedText() const {
    if (!HasSelection())
        return std::string();
    Pos start, end;
    GetSelection(&start, &end);
    std::string text;
    for (int32_t line = start.line; line <= end.line; ++line) {
        const OutputLines::Line& rec = m_lines.At(line);
        const int32_t from = line == start.line ? start.col : 0;
        const int32_t to = line == end.line ? end.col : rec.length;
        if (to > from)
            text.append(rec.text + from, static_cast<size_t>(to - from));
        if (line != end.line)
            text += "\r\n";
    }
    return text;
}

bool OutputPane::CopySelection() {
    if (!HasSelection())
        return false;
    HGLOBAL mem = TextToGlobal(GetSelectedText());
    if (!mem)
        return false;
    if (!::OpenClipboard(m_hWnd)) {
        ::GlobalFree(mem);
        return false;
    }
    ::EmptyClipboard();
    const bool ok = ::SetClipboardData(CF_TEXT, mem) != nullptr;
    ::CloseClipboard();
    if (!ok)
        ::GlobalFree(mem);
    return ok;
}

void OutputPane::UpdateCaret() {
    if (!m_hasCaret || !m_hWnd)
        return;
    const POINT pt = PosToPoint(m_caret);
    ::SetCaretPos(pt.x, pt.y);
}

void OutputPane::OnSetFocus(HWND) {
    ::CreateCaret(m_hWnd, nullptr, 2, m_lineHeight);
    m_hasCaret = true;
    UpdateCaret();
    ::ShowCaret(m_hWnd);
}

void OutputPane::OnKillFocus(HWND) {
    if (m_hasCaret) {
        ::HideCaret(m_hWnd);
        ::DestroyCaret();
    }
    m_hasCaret = false;
}

int32_t OutputPane::StepLeft(int32_t line, int32_t col) const {
    const OutputLines::Line& rec = m_lines.At(line);
    int32_t at = 0, prev = 0;
    while (at < col) {
        prev = at;
        at += FxCharLen(rec.text, static_cast<size_t>(at), static_cast<size_t>(rec.length));
    }
    return prev;
}

int32_t OutputPane::StepRight(int32_t line, int32_t col) const {
    const OutputLines::Line& rec = m_lines.At(line);
    if (col >= rec.length)
        return rec.length;
    return col + FxCharLen(rec.text, static_cast<size_t>(col), static_cast<size_t>(rec.length));
}

int32_t OutputPane::FirstNonBlank(int32_t line) const {
    const OutputLines::Line& rec = m_lines.At(line);
    int32_t col = 0;
    while (col < rec.length && IsBlank(rec.text[col]))
        ++col;
    return col;
}

LRESULT OutputPane::OnGetDlgCode(WPARAM, LPARAM) {
    // The moving keys are the pane's own, ahead of any shortcut of the frame.
    return DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void OutputPane::OnKeyDown(UINT key, UINT, UINT) {
    const bool shift = ::GetKeyState(VK_SHIFT) < 0;
    const bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
    // The clipboard keys copy and select the pane's text; the read-only pane takes the other
    // editing keys (cut, paste, undo, delete) and does nothing with them.
    if (ctrl && !shift && (key == 'C' || key == VK_INSERT)) {
        CopySelection();
        return;
    }
    if (ctrl && !shift && key == 'A') {
        SelectAll();
        return;
    }
    const int32_t last = m_lines.Count() - 1;
    const int32_t page = std::max(1, VisibleLines() - 1);
    Pos pos = m_caret;
    bool vertical = false;
    switch (key) {
    case VK_ESCAPE:
        ClearSelection();
        return;
    case VK_RETURN:
        GoTo();
        return;
    case VK_UP:
        if (ctrl) {
            ScrollTo(m_top - 1);
            return;
        }
        pos.line = std::max(0, pos.line - 1);
        vertical = true;
        break;
    case VK_DOWN:
        if (ctrl) {
            ScrollTo(m_top + 1);
            return;
        }
        pos.line = std::min(last, pos.line + 1);
        vertical = true;
        break;
    case VK_PRIOR:
        pos.line = std::max(0, pos.line - page);
        ScrollTo(m_top - page);
        vertical = true;
        break;
    case VK_NEXT:
        pos.line = std::min(last, pos.line + page);
        ScrollTo(m_top + page);
        vertical = true;
        break;
    case VK_LEFT:
        if (pos.col > 0)
            pos.col = StepLeft(pos.line, pos.col);
        else if (pos.line > 0)
            pos = Pos{m_lines.At(pos.line - 1).length, pos.line - 1};
        break;
    case VK_RIGHT:
        if (pos.col < m_lines.At(pos.line).length)
            pos.col = StepRight(pos.line, pos.col);
        else if (pos.line < last)
            pos = Pos{0, pos.line + 1};
        break;
    case VK_HOME:
        if (ctrl) {
            pos = Pos{0, 0};
        } else {
            const int32_t blank = FirstNonBlank(pos.line);
            pos.col = pos.col == blank ? 0 : blank;
        }
        break;
    case VK_END:
        if (ctrl)
            pos = Pos{m_lines.At(last).length, last};
        else
            pos.col = m_lines.At(pos.line).length;
        break;
    default:
        return;
    }
    if (vertical) {
        // Up and down keep the horizontal place the caret had when they started.
        if (m_caretX < 0)
            m_caretX = PosToPoint(m_caret).x + m_hscroll;
        const int32_t line = pos.line;
        pos = PointToPos(POINT{m_caretX - m_hscroll, (line - m_top) * m_lineHeight});
        pos.line = line;
        const int keepX = m_caretX;
        MoveCaret(pos, shift);
        m_caretX = keepX;
    } else {
        m_caretX = -1;
        MoveCaret(pos, shift);
    }
}

// --- Mouse ------------------------------------------------------------------------------------

void OutputPane::OnLButtonDown(UINT flags, POINT pt) {
    // The pane takes the focus; the document frames stay as they are.
    if (::GetFocus() != m_hWnd)
        ::SetFocus(m_hWnd);
    const Pos pos = PointToPos(pt);
    m_caretX = -1;
    if (flags & MK_SHIFT) {
        MoveCaret(pos, true);
        return;
    }
    Pos start, end;
    GetSelection(&start, &end);
    if (HasSelection() && !(pos < start) && pos < end) {
        POINT screen = pt;
        ::ClientToScreen(m_hWnd, &screen);
        if (::DragDetect(m_hWnd, screen)) {
            DragSelection();
            return;
        }
        MoveCaret(pos, false);
        return;
    }
    MoveCaret(pos, false);
    m_selecting = true;
    ::SetCapture(m_hWnd);
}

void OutputPane::OnMouseMove(UINT, POINT pt) {
    if (!m_selecting)
        return;
    MoveCaret(PointToPos(pt), true);
}

void OutputPane::OnLButtonUp(UINT, POINT) {
    if (m_selecting) {
        m_selecting = false;
        ::ReleaseCapture();
    }
}

void OutputPane::OnCaptureChanged(HWND) {
    m_selecting = false;
}

void OutputPane::OnLButtonDblClk(UINT, POINT pt) {
    MoveCaret(PointToPos(pt), false);
    GoTo();
}

void OutputPane::DragSelection() {
    HGLOBAL mem = TextToGlobal(GetSelectedText());
    if (!mem)
        return;
    COleDataSource* source = new COleDataSource;
    source->CacheGlobalData(CF_TEXT, mem);
    source->DoDragDrop(DROPEFFECT_COPY);
    source->InternalRelease();
}
