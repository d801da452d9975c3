// CFxEditView: OLE drag and drop of text: the drag source with delayed rendering, the drop
// target with its drop caret, and the move and copy rules with their position corrections.
// Layer: textview/ (view side).
#include "textview/FxEditView.h"

#include "framework/OleDataSource.h"
#include "framework/OleDropTarget.h"
#include "textview/ViewFontMetrics.h"

#include <algorithm>
#include <string>

namespace {

// The text of a drop as the source delivered it, read before anything changes: in a move
// within one view the source selection is deleted by the drop itself. isBlock: the handle is
// the editor's own column block of the drag in progress.
bool ReadDroppedText(COleDataObject& data, std::string& text, bool& isBlock) {
    HGLOBAL h = data.GetGlobalData(CF_TEXT);
    if (!h)
        return false;
    const char* p = static_cast<const char*>(GlobalLock(h));
    if (!p)
        return false;
    const SIZE_T size = GlobalSize(h);
    SIZE_T n = 0;
    while (n < size && p[n])
        ++n;
    text.assign(p, n);
    GlobalUnlock(h);
    isBlock = h == ColumnDragData::Shared().dragHandle;
    return true;
}

// The dragging view's selection as CF_TEXT, rendered when a drop first asks for it.
class CFxDragSource : public COleDataSource {
public:
    explicit CFxDragSource(CFxEditView* view) : m_view(view) { DelayRenderData(CF_TEXT); }

    bool OnRenderGlobalData(CLIPFORMAT format, HGLOBAL* data) override {
        if (format != CF_TEXT)
            return false;
        const std::string text = m_view->CopySelectionText(FxLineEndDos);
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
        if (!h)
            return false;
        char* p = static_cast<char*>(GlobalLock(h));
        std::copy(text.begin(), text.end(), p);
        p[text.size()] = '\0';
        GlobalUnlock(h);
        if (m_view->SelectionKind() == CFxEditView::SEL_COLUMN)
            ColumnDragData::Shared().dragHandle = h;
        *data = h;
        return true;
    }

private:
    ~CFxDragSource() override = default;
    CFxEditView* m_view;
};

} // namespace

// The view's drop target, registered at creation: the framework's target with the view's
// drop caret, effects and insertion.
class CFxDropTarget : public COleDropTarget {
public:
    explicit CFxDropTarget(CFxEditView* view) : m_view(view) {}

    DROPEFFECT OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keys, POINT pt) override {
        return OnDragOver(wnd, data, keys, pt);
    }
    DROPEFFECT OnDragOver(CWnd*, COleDataObject* data, DWORD keys, POINT pt) override {
        const DROPEFFECT effect = m_view->DropEffectFor(data->IsDataAvailable(CF_TEXT), keys);
        if (effect != DROPEFFECT_NONE)
            m_view->ShowDropCaret(pt);
        return effect;
    }
    void OnDragLeave(CWnd*) override { m_view->HideDropCaret(); }
    bool OnDrop(CWnd*, COleDataObject* data, DROPEFFECT effect, POINT pt) override {
        m_view->HideDropCaret();
        std::string text;
        bool isBlock = false;
        if (!ReadDroppedText(*data, text, isBlock))
            return false;
        return m_view->DropText(text, isBlock, pt, effect) != DROPEFFECT_NONE;
    }

private:
    CFxEditView* m_view;
};

IDropTarget* CFxEditView::DropTargetInterface() const {
    return m_dropTarget;
}

void CFxEditView::RegisterDropTarget() {
    m_dropTarget = new CFxDropTarget(this);
    if (!m_dropTarget->Register(this)) {
        delete m_dropTarget;
        m_dropTarget = nullptr;
    }
}

void CFxEditView::RevokeDropTarget() {
    if (!m_dropTarget)
        return;
    m_dropTarget->Revoke();
    delete m_dropTarget;
    m_dropTarget = nullptr;
}

DWORD CFxEditView::DropEffectFor(bool hasText, DWORD keyState) const {
    if (!m_doc || m_doc->IsReadOnly() || !hasText)
        return DROPEFFECT_NONE;
    return (keyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

void CFxEditView::ShowDropCaret(POINT windowPt) {
    if (!m_dropCaret) {
        if (m_hasFocus) {
            HideCaret(m_hWnd);
            DestroyCaret();
        }
        m_caretHiddenForScroll = false;
        CreateCaret(m_hWnd, nullptr, m_fm.caretWidth, m_fm.textHeight);
        m_dropCaret = true;
        ShowCaret(m_hWnd);
    }
    POINT p = windowPt;
    p.x = std::max(p.x, m_layout.text.left);
    p.y = std::max(p.y, m_layout.text.top);
    FxTextPos at = PointToPos(p);
    const int x = PieceColumnToX(at);
    ::SetCaretPos(WindowXFromDoc(x), WindowYFromRecord(at.line) + m_fm.lineSpacing / 2);
}

void CFxEditView::HideDropCaret() {
    if (!m_dropCaret)
        return;
    DestroyCaret();
    m_dropCaret = false;
    if (m_hasFocus) {
        CreateCaret(m_hWnd, nullptr, m_fm.caretWidth, m_fm.textHeight);
        PlaceCaret();
        ShowCaret(m_hWnd);
    }
}

void CFxEditView::StartDrag() {
    BeginDragState();
    CFxDragSource* source = new CFxDragSource(this);
    const DROPEFFECT effect = source->DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE);
    source->InternalRelease(); // frees the rendered text: its handle identifies nothing now
    ColumnDragData::Shared().dragHandle = nullptr;
    FinishDrag(effect);
}

void CFxEditView::FinishDrag(DWORD effect) {
    if (effect == DROPEFFECT_NONE) {
        ClearSelection();
    } else if (!m_droppedIntoSource) {
        if (effect == DROPEFFECT_MOVE && !m_doc->IsReadOnly()) {
            try {
                FxUndoGroupGuard group(*m_doc, FxUndoDragMove);
                DeleteSelection();
            } catch (...) {
                ReportException();
            }
        } else {
            ClearSelection();
        }
    }
    m_dragSource = false;
    m_droppedIntoSource = false;
    if (m_hasFocus) {
        m_caretHiddenForScroll = false;
        CreateCaret(m_hWnd, nullptr, m_fm.caretWidth, m_fm.textHeight);
        PlaceCaret();
        ShowCaret(m_hWnd);
    }
}

DWORD CFxEditView::DropText(const std::string& text, bool isBlock, POINT windowPt, DWORD effect) {
    if (!m_doc || m_doc->IsReadOnly() || text.empty())
        return DROPEFFECT_NONE;
    CFxEditView* other = OtherView();
    if (other && other->m_dragSource && !m_dragSource) {
        // A move between two views of one document is one operation of the source view.
        const int docX = DocXFromWindow(windowPt.x), docY = DocYFromWindow(windowPt.y);
        POINT there = {other->WindowXFromDoc(docX),
                       docY - other->m_top * m_fm.linePitch + other->m_layout.text.top};
        return other->DropText(text, isBlock, there, effect);
    }
    if (m_dragSource && HitTestSelection(windowPt))
        return DROPEFFECT_NONE;
    const bool move = effect == DROPEFFECT_MOVE;
    try {
        FxUndoGroupGuard group(*m_doc, move ? FxUndoDragMove : FxUndoDragCopy);
        FxTextPos drop = PointToPos(windowPt);
        if (move && m_dragSource && HasSelection()) {
            if (m_selKind != SEL_COLUMN) {
                // Offsets count a line break as one byte, like the correction itself.
                const int64_t s = m_doc->PosToOffset(SelectionStart());
                const int64_t e = m_doc->PosToOffset(SelectionEnd());
                int64_t at = m_doc->PosToOffset(drop);
                DeleteSelection();
                if (at >= e)
                    at -= e - s;
                drop = m_doc->OffsetToPos(at);
            } else {
                if (drop.line >= m_selFirst && drop.line <= m_selLast) {
                    const FxLine& r = m_doc->Record(drop.line);
                    const int32_t s = std::min(r.selStart, r.len), e = std::min(r.selEnd, r.len);
                    if (drop.col >= e)
                        drop.col -= e - s;
                }
                DeleteSelection();
            }
        } else {
            ClearSelection();
        }
        m_droppedIntoSource = m_dragSource;
        if (isBlock && !m_doc->IsWrapped()) {
            // The editor's own block: the aligned column paste at the drop point.
            m_caret = drop;
            const PastedBlock b = PasteColumnBlock(text, true);
            if (m_dragSource && b.rows > 0) {
                const int pitch = m_fm.linePitch;
                SelectColumnBlock(RECT{b.left, b.firstRecord * pitch, b.right,
                                       (b.firstRecord + b.rows - 1) * pitch + pitch / 2});
            }
        } else {
            m_caret = drop;
            const FxTextPos startLogical = m_doc->PieceToLogical(drop);
            InsertAtCaret(text);
            if (m_dragSource)
                SelectRange(m_doc->LogicalToPiecePos(startLogical));
        }
        UpdateViews(RefreshAll, 0, -1);
    } catch (...) {
        ReportException();
        return DROPEFFECT_NONE;
    }
    return effect;
}
