// CFxEditView: OLE drag and drop of text: the drag source with delayed rendering, the drop
// target with its drop caret, and the move and copy rules with their position corrections.
// Layer: textview/ (view side).
#include "textview/FxEditView.h"

#include "textview/ViewFontMetrics.h"

#include <shlobj.h>

#include <algorithm>
#include <string>

namespace {

// The text of a drop, read before anything changes: the source selection may be deleted by
// the drop itself.
bool ReadDroppedText(IDataObject* data, std::string& text, bool& isBlock) {
    FORMATETC fmt = {CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (FAILED(data->GetData(&fmt, &medium)))
        return false;
    bool ok = false;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) {
        const char* p = static_cast<const char*>(GlobalLock(medium.hGlobal));
        if (p) {
            const SIZE_T size = GlobalSize(medium.hGlobal);
            SIZE_T n = 0;
            while (n < size && p[n])
                ++n;
            text.assign(p, n);
            GlobalUnlock(medium.hGlobal);
            ok = true;
        }
        isBlock = medium.hGlobal == ColumnDragData::Shared().dragHandle;
    }
    ReleaseStgMedium(&medium);
    return ok;
}

bool HasText(IDataObject* data) {
    FORMATETC fmt = {CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return data && data->QueryGetData(&fmt) == S_OK;
}

// The selection of the dragging view as CF_TEXT, rendered when the drop asks for it.
class CFxDataSource : public IDataObject {
public:
    explicit CFxDataSource(CFxEditView* view) : m_view(view) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IDataObject) {
            *out = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG n = --m_refs;
        if (n == 0)
            delete this;
        return n;
    }
    STDMETHODIMP GetData(FORMATETC* fmt, STGMEDIUM* medium) override {
        if (QueryGetData(fmt) != S_OK)
            return DV_E_FORMATETC;
        const std::string text = m_view->CopySelectionText(FxLineEndDos);
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
        if (!h)
            return E_OUTOFMEMORY;
        char* p = static_cast<char*>(GlobalLock(h));
        std::copy(text.begin(), text.end(), p);
        p[text.size()] = '\0';
        GlobalUnlock(h);
        if (m_view->SelectionKind() == CFxEditView::SEL_COLUMN)
            ColumnDragData::Shared().dragHandle = h;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = h;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* fmt) override {
        return fmt && fmt->cfFormat == CF_TEXT && (fmt->tymed & TYMED_HGLOBAL) &&
                       fmt->dwAspect == DVASPECT_CONTENT
                   ? S_OK
                   : DV_E_FORMATETC;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
        if (direction != DATADIR_GET)
            return E_NOTIMPL;
        FORMATETC fmt = {CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        return SHCreateStdEnumFmtEtc(1, &fmt, out);
    }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    virtual ~CFxDataSource() = default;
    CFxEditView* m_view;
    ULONG m_refs = 1;
};

class CFxDropSource : public IDropSource {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IDropSource) {
            *out = static_cast<IDropSource*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG n = --m_refs;
        if (n == 0)
            delete this;
        return n;
    }
    STDMETHODIMP QueryContinueDrag(BOOL escape, DWORD keys) override {
        if (escape)
            return DRAGDROP_S_CANCEL;
        if (!(keys & (MK_LBUTTON | MK_RBUTTON)))
            return DRAGDROP_S_DROP;
        return S_OK;
    }
    STDMETHODIMP GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    virtual ~CFxDropSource() = default;
    ULONG m_refs = 1;
};

} // namespace

// The view's drop target, registered at creation.
class CFxDropTarget : public IDropTarget {
public:
    explicit CFxDropTarget(CFxEditView* view) : m_view(view) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IDropTarget) {
            *out = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG n = --m_refs;
        if (n == 0)
            delete this;
        return n;
    }
    STDMETHODIMP DragEnter(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override {
        m_hasText = HasText(data);
        return DragOver(keys, pt, effect);
    }
    STDMETHODIMP DragOver(DWORD keys, POINTL pt, DWORD* effect) override {
        if (!m_view)
            return E_UNEXPECTED;
        *effect = m_view->DropEffectFor(m_hasText, keys);
        if (*effect != DROPEFFECT_NONE) {
            POINT p = ClientPoint(pt);
            DragScroll(p);
            m_view->ShowDropCaret(p);
        }
        return S_OK;
    }
    STDMETHODIMP DragLeave() override {
        if (m_view)
            m_view->HideDropCaret();
        return S_OK;
    }
    STDMETHODIMP Drop(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override {
        if (!m_view)
            return E_UNEXPECTED;
        m_view->HideDropCaret();
        DWORD wanted = m_view->DropEffectFor(HasText(data), keys);
        *effect = DROPEFFECT_NONE;
        std::string text;
        bool isBlock = false;
        if (wanted == DROPEFFECT_NONE || !ReadDroppedText(data, text, isBlock))
            return S_OK;
        *effect = m_view->DropText(text, isBlock, ClientPoint(pt), wanted);
        return S_OK;
    }
    void Detach() { m_view = nullptr; }

private:
    virtual ~CFxDropTarget() = default;
    POINT ClientPoint(POINTL pt) const {
        POINT p = {pt.x, pt.y};
        ScreenToClient(m_view->m_hWnd, &p);
        return p;
    }
    // Near an edge of the text area the view scrolls (vertical code high, horizontal low).
    void DragScroll(POINT p) {
        const RECT& t = m_view->Layout().text;
        const int inset = ViewFontMetrics::Shared().linePitch;
        UINT vert = 0xFF, horz = 0xFF;
        if (p.y < t.top + inset)
            vert = SB_LINEUP;
        else if (p.y >= t.bottom - inset)
            vert = SB_LINEDOWN;
        if (p.x < t.left + inset)
            horz = SB_LINELEFT;
        else if (p.x >= t.right - inset)
            horz = SB_LINERIGHT;
        if (vert != 0xFF || horz != 0xFF)
            m_view->OnScroll(MAKEWORD(horz, vert), 0, true);
    }

    CFxEditView* m_view;
    ULONG m_refs = 1;
    bool m_hasText = false;
};

IDropTarget* CFxEditView::DropTargetInterface() const {
    return m_dropTarget;
}

void CFxEditView::RegisterDropTarget() {
    m_dropTarget = new CFxDropTarget(this);
    if (FAILED(RegisterDragDrop(m_hWnd, m_dropTarget))) {
        m_dropTarget->Release();
        m_dropTarget = nullptr;
    }
}

void CFxEditView::RevokeDropTarget() {
    if (!m_dropTarget)
        return;
    RevokeDragDrop(m_hWnd);
    m_dropTarget->Detach();
    m_dropTarget->Release();
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
    CFxDataSource* data = new CFxDataSource(this);
    CFxDropSource* source = new CFxDropSource;
    DWORD effect = DROPEFFECT_NONE;
    if (DoDragDrop(data, source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect) != DRAGDROP_S_DROP)
        effect = DROPEFFECT_NONE;
    data->Release();
    source->Release();
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
            // Aligned column paste: each row of the block at the drop x of successive records.
            FxTextPos at = drop;
            const int dropX = PieceColumnToX(at);
            int32_t rec = at.line, rows = 0;
            int right = dropX;
            size_t p = 0;
            while (p < text.size()) {
                size_t eol = text.find("\r\n", p);
                std::string row =
                    text.substr(p, eol == std::string::npos ? std::string::npos : eol - p);
                p = eol == std::string::npos ? text.size() : eol + 2;
                if (rec >= m_doc->RecordCount()) {
                    m_caret = m_doc->EndPos();
                    InsertAtCaret("\r\n", 2);
                }
                int x = dropX;
                int32_t col = XToPieceColumn(rec, x);
                FxTextPos end(m_doc->Record(rec).len, rec);
                const int endX = PieceColumnToX(end);
                if (col >= m_doc->Record(rec).len && endX < dropX)
                    row.insert(0, static_cast<size_t>((dropX - endX) / m_fm.spaceWidth), ' ');
                m_caret = FxTextPos(col, rec);
                InsertAtCaret(row.data(), static_cast<int32_t>(row.size()));
                right = std::max(right, m_caretX);
                ++rec;
                ++rows;
            }
            if (m_dragSource && rows > 0) {
                const int pitch = m_fm.linePitch;
                SelectColumnBlock(
                    RECT{dropX, at.line * pitch, right, (at.line + rows - 1) * pitch + pitch / 2});
            }
        } else {
            m_caret = drop;
            const FxTextPos startLogical = m_doc->PieceToLogical(drop);
            InsertAtCaret(text.data(), static_cast<int32_t>(text.size()));
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
