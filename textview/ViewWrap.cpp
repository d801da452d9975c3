// CFxEditView: word wrap: splitting lines into pieces at the window edge or at a column,
// wrapping and unwrapping the whole document with its progress notices, and switching the
// mode while both views keep their caret and selection. Layer: textview/ (view side).
#include "textview/FxEditView.h"

#include "textview/ViewDC.h"
#include "textview/ViewFontMetrics.h"

#include <algorithm>
#include <vector>

int CFxEditView::WrapLine(const FxLine& head, std::vector<FxLine>& out) {
    const size_t before = out.size();
    const int mode = m_doc ? m_doc->WrapMode() : 0;
    if (mode == 0 || head.lineLen == 0 || !head.data) {
        FxLine r = head;
        if (mode != 0) {
            // An empty line: a fresh record that keeps the line's flags and number.
            CFxEditDoc::InitPieces(&r, 1);
            r.flags = head.flags & ~FXL_CONTINUED;
            r.logLine = head.logLine;
            r.data = head.data;
            r.block = head.block;
        }
        r.len = r.lineLen = head.lineLen;
        r.selStart = r.selEnd = -1;
        r.dispCol = 0;
        out.push_back(r);
        return 1;
    }
    WrapContext ctx;
    ctx.wrapWidth = m_doc->WrapColumn();
    if (mode == 1 && m_wrapDC) {
        ctx.measure = MakeMeasure(m_wrapDC);
        SplitByWidth(ctx, head, out);
    } else if (mode == 1) {
        CViewDC dc(m_hWnd, m_fm.Font());
        ctx.measure = MakeMeasure(dc);
        SplitByWidth(ctx, head, out);
    } else {
        ctx.measure = MakeMeasure(nullptr);
        SplitByColumns(ctx, head, out);
    }
    return static_cast<int>(out.size() - before);
}

int CFxEditView::WrapLines(const FxLine* heads, int32_t count, int32_t caretLine,
                           std::vector<FxLine>& out, int32_t* caretIndex) {
    const size_t before = out.size();
    if (caretIndex)
        *caretIndex = -1;
    for (int32_t i = 0; i < count; ++i) {
        if (i == caretLine && caretIndex)
            *caretIndex = static_cast<int32_t>(out.size() - before);
        WrapLine(heads[i], out);
    }
    return static_cast<int>(out.size() - before);
}

void CFxEditView::SplitLogicalLine(const FxLine& head, std::vector<FxLine>& out) {
    WrapLine(head, out);
    if (m_progress.on && ++m_progress.seen % m_progress.step == 0)
        ReportWrapProgress(false);
}

void CFxEditView::ReportWrapProgress(bool finished) {
    if (finished) {
        if (m_progress.reports < 100)
            m_doc->OnDocEvent(FxEvWrapProgress, 100);
        m_progress = WrapProgress();
        return;
    }
    m_doc->OnDocEvent(FxEvWrapProgress, ++m_progress.reports);
}

namespace {
// Documents this small are wrapped too fast for a progress notice to be seen.
const int64_t kProgressMinSize = 65536;
} // namespace

void CFxEditView::WrapDocument(int mode, int width) {
    m_doc->SetWrap(mode, width);
    // One device context for the whole pass: getting one per line costs more than the split.
    CViewDC dc(m_hWnd, m_fm.Font());
    struct Holder {
        CFxEditView& view;
        ~Holder() {
            view.m_wrapDC = nullptr;
            view.m_progress = WrapProgress();
            view.m_doc->SuppressProgress(false);
        }
    } hold{*this};
    m_wrapDC = dc;
    // The view counts the lines it splits and reports every hundredth of them, numbered from
    // 1; the document's own percentage notices stay quiet meanwhile.
    m_progress = WrapProgress();
    m_progress.on = m_doc->DocumentSize() >= kProgressMinSize;
    m_progress.step = std::max(1, (m_doc->LogicalLineCount() + 99) / 100);
    m_doc->SuppressProgress(true);
    m_doc->WrapAllLines();
    if (m_progress.on)
        ReportWrapProgress(true);
}

void CFxEditView::UnwrapDocument() {
    m_doc->UnwrapAllLines();
    m_doc->SetWrap(0, 0);
    // Merging the pieces back runs in one go: only its end is reported.
    if (m_doc->DocumentSize() >= kProgressMinSize)
        m_doc->OnDocEvent(FxEvWrapProgress, 100);
}

bool CFxEditView::SetWrapMode(int mode, int width) {
    if (!m_doc || m_doc->RecordCount() == 0)
        return false;
    if (!IsWrappingView()) {
        CFxEditView* first = OtherView();
        return first && first->IsWrappingView() ? first->SetWrapMode(mode, width) : false;
    }
    if (mode == 1) {
        width = m_layout.text.right - m_layout.text.left;
        if (width < m_fm.Px(kMinWrapWidth)) {
            // Too narrow to wrap sensibly: the document keeps its pieces and width until the
            // text area is wide enough again (a resize or the focus runs this again).
            m_rewrapPending = true;
            return false;
        }
        if (m_doc->WrapMode() == 1 && m_doc->WrapColumn() == width && !m_rewrapForced) {
            m_rewrapPending = false;
            return false;
        }
    } else {
        // Another mode replaces any re-wrap at the window edge still waiting.
        m_rewrapPending = m_rewrapForced = false;
        if (mode == 2) {
            if (width <= 0 || (m_doc->WrapMode() == 2 && m_doc->WrapColumn() == width))
                return false;
        } else {
            mode = 0;
            if (!m_doc->IsWrapped())
                return false;
        }
    }
    struct Remembered {
        CFxEditView* view;
        FxTextPos caret, anchor;
        bool hadSelection;
    } saved[2] = {{this, {}, {}, false}, {OtherView(), {}, {}, false}};
    for (Remembered& s : saved) {
        if (!s.view)
            continue;
        s.view->ClampCaret();
        s.caret = m_doc->PieceToLogical(s.view->m_caret);
        s.hadSelection = s.view->HasSelection() && s.view->m_selKind != SEL_COLUMN;
        if (s.hadSelection)
            s.anchor = m_doc->PieceToLogical(s.view->SelectionAnchor());
        s.view->ClearSelection();
    }
    if (mode == 0)
        UnwrapDocument();
    else
        WrapDocument(mode, width);
    m_rewrapPending = m_rewrapForced = false;
    for (Remembered& s : saved) {
        if (!s.view)
            continue;
        s.view->m_top = m_doc->ClampPiece(s.view->m_top);
        if (mode == 1)
            s.view->m_hscroll = 0;
        s.view->GoToPos(s.caret);
        if (s.hadSelection)
            s.view->SelectRange(m_doc->LogicalToPiecePos(s.anchor));
    }
    UpdateViews(RefreshRelayout, 0, -1);
    return true;
}
