// CTextEditView: the clipboard, deletion and selection commands, undo and redo with their menu
// names, bookmarks. Layer: app/ (application shell).
#include "app/AppIds.h"
#include "app/TextEditView.h"
#include "settings/FileTypes.h"
#include "framework/CmdUI.h"
#include "framework/ResourceText.h"
#include "textdoc/Dbcs.h"
#include "textview/ViewFontMetrics.h"

#include <algorithm>
#include <cstring>
#include <string>

// --- Undo and redo -----------------------------------------------------------------------------

std::string CTextEditView::UndoMenuText(const CFxEditDoc* doc, bool redo) {
    if (!doc)
        return AfxLoadString(redo ? IDS_REDO : IDS_UNDO);
    const int action = redo ? doc->GetRedoAction() : doc->GetUndoAction();
    if (action <= FxUndoNone || action >= FxUndoActionCount)
        return AfxLoadString(redo ? IDS_REDO_NONE : IDS_UNDO_NONE);
    return AfxLoadString(static_cast<UINT>((redo ? IDS_REDO_NONE : IDS_UNDO_NONE) + action));
}

void CTextEditView::OnEditUndo() {
    if (m_doc && m_doc->CanUndo())
        Undo();
}

void CTextEditView::OnUpdateEditUndo(CCmdUI* cmdUI) {
    cmdUI->Enable(m_doc && m_doc->CanUndo());
    if (cmdUI->m_pMenu)
        cmdUI->SetText(UndoMenuText(m_doc, false).c_str());
}

void CTextEditView::OnEditRedo() {
    if (m_doc && m_doc->CanRedo())
        Redo();
}

void CTextEditView::OnUpdateEditRedo(CCmdUI* cmdUI) {
    cmdUI->Enable(m_doc && m_doc->CanRedo());
    if (cmdUI->m_pMenu)
        cmdUI->SetText(UndoMenuText(m_doc, true).c_str());
}

// --- Clipboard -------------------------------------------------------------------------------

bool CTextEditView::ReadClipboardText(std::string& text, bool& isBlock) {
    text.clear();
    isBlock = false;
    if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(m_hWnd))
        return false;
    bool ok = false;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(GlobalLock(data))) {
            const SIZE_T size = GlobalSize(data);
            text.assign(p, strnlen(p, size));
            GlobalUnlock(data);
            const ColumnDragData& block = ColumnDragData::Shared();
            isBlock = block.clipHandle && data == block.clipHandle && size == block.clipSize;
            ok = true;
        }
    }
    CloseClipboard();
    return ok;
}

bool CTextEditView::CopyToClipboard(bool append) {
    if (!m_doc || !HasSelection())
        return false;
    std::string before;
    if (append) {
        bool isBlock = false;
        ReadClipboardText(before, isBlock);
    }
    const std::string sel = CopySelectionText(FxLineEndDos);
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, before.size() + sel.size() + 1);
    if (!mem)
        return false;
    char* p = static_cast<char*>(GlobalLock(mem));
    std::memcpy(p, before.data(), before.size());
    std::memcpy(p + before.size(), sel.data(), sel.size());
    p[before.size() + sel.size()] = 0;
    GlobalUnlock(mem);
    if (!OpenClipboard(m_hWnd)) {
        GlobalFree(mem);
        return false;
    }
    EmptyClipboard();
    HANDLE set = SetClipboardData(CF_TEXT, mem);
    CloseClipboard();
    if (!set) {
        GlobalFree(mem);
        return false;
    }
    ColumnDragData& block = ColumnDragData::Shared();
    if (m_selKind == SEL_COLUMN) {
        block.clipHandle = mem;
        block.clipSize = GlobalSize(mem);
    } else {
        block.clipHandle = nullptr;
        block.clipSize = 0;
    }
    return true;
}

void CTextEditView::OnEditCopy() {
    CopyToClipboard(false);
}

void CTextEditView::OnEditAppendCopy() {
    CopyToClipboard(true);
}

void CTextEditView::OnEditCut() {
    if (!HasSelection() || !CheckWritable())
        return;
    if (CopyToClipboard(false))
        OnKeyDelete(false);
}

void CTextEditView::OnEditAppendCut() {
    if (!HasSelection() || !CheckWritable())
        return;
    if (CopyToClipboard(true))
        OnKeyDelete(false);
}

void CTextEditView::Paste(int kind) {
    std::string text;
    bool isBlock = false;
    if (!m_doc || !ReadClipboardText(text, isBlock) || text.empty() || !CheckWritable())
        return;
    try {
        FxUndoGroupGuard group(*m_doc, FxUndoPaste);
        DeleteSelection();
        if (kind == PasteAligned || (kind == PasteNormal && isBlock && !m_doc->IsWrapped())) {
            PasteColumnBlock(text, true);
        } else if (kind == PasteAppended) {
            PasteColumnBlock(text, false);
        } else {
            InsertAtCaret(text);
            UpdateViews(RefreshAll, 0, -1);
            GoToPos(m_doc->PieceToLogical(m_caret));
        }
    } catch (...) {
        ReportException();
    }
}

void CTextEditView::OnEditPaste() {
    Paste(PasteNormal);
}

void CTextEditView::OnEditColumnPasteAligned() {
    if (m_doc && m_doc->IsWrapped())
        return;
    Paste(PasteAligned);
}

void CTextEditView::OnEditColumnPasteAppended() {
    if (m_doc && m_doc->IsWrapped())
        return;
    Paste(PasteAppended);
}

// --- Selecting and deleting to the ends -------------------------------------------------------

void CTextEditView::OnEditSelectAll() {
    if (!m_doc || m_doc->RecordCount() == 0)
        return;
    ClearSelection();
    m_caret = FxTextPos(0, 0);
    const int32_t lastLine = m_doc->LogicalLineCount() - 1;
    MoveOrExtend(m_doc->LogicalToPiecePos(FxTextPos(m_doc->GetLineLength(lastLine), lastLine)),
                 true, true);
}

void CTextEditView::SelectToOtherEnd(FxTextPos otherLogical) {
    if (!m_doc || m_doc->RecordCount() == 0)
        return;
    // The caret is the anchor: a selection made before counts for nothing.
    ClearSelection();
    MoveOrExtend(m_doc->LogicalToPiecePos(otherLogical), true, true);
}

void CTextEditView::DeleteToOtherEnd(FxTextPos otherLogical) {
    if (!CheckWritable())
        return;
    try {
        FxUndoGroupGuard group(*m_doc, FxUndoDelete);
        ClearSelection();
        const FxTextPos other = m_doc->LogicalToPiecePos(otherLogical);
        DeleteRange(m_caret, other, true);
    } catch (...) {
        ReportException();
    }
}

void CTextEditView::OnEditSelectToLineStart() {
    SelectToOtherEnd(FxTextPos(0, LogicalCaret().line));
}

void CTextEditView::OnEditSelectToLineEnd() {
    const int32_t line = LogicalCaret().line;
    SelectToOtherEnd(FxTextPos(m_doc ? m_doc->GetLineLength(line) : 0, line));
}

void CTextEditView::OnEditSelectToDocStart() {
    SelectToOtherEnd(FxTextPos(0, 0));
}

void CTextEditView::OnEditSelectToDocEnd() {
    if (!m_doc)
        return;
    const int32_t line = m_doc->LogicalLineCount() - 1;
    SelectToOtherEnd(FxTextPos(m_doc->GetLineLength(line), line));
}

void CTextEditView::OnEditDeleteToLineStart() {
    DeleteToOtherEnd(FxTextPos(0, LogicalCaret().line));
}

void CTextEditView::OnEditDeleteToLineEnd() {
    const int32_t line = LogicalCaret().line;
    DeleteToOtherEnd(FxTextPos(m_doc ? m_doc->GetLineLength(line) : 0, line));
}

void CTextEditView::OnEditDeleteToDocStart() {
    DeleteToOtherEnd(FxTextPos(0, 0));
}

void CTextEditView::OnEditDeleteToDocEnd() {
    if (!m_doc)
        return;
    const int32_t line = m_doc->LogicalLineCount() - 1;
    DeleteToOtherEnd(FxTextPos(m_doc->GetLineLength(line), line));
}

void CTextEditView::OnUpdateNeedSelection(CCmdUI* cmdUI) {
    cmdUI->Enable(HasSelection());
}

void CTextEditView::OnUpdateNeedText(CCmdUI* cmdUI) {
    cmdUI->Enable(m_doc && m_doc->DocumentSize() > 0);
}

void CTextEditView::OnUpdatePaste(CCmdUI* cmdUI) {
    cmdUI->Enable(IsClipboardFormatAvailable(CF_TEXT) != 0);
}

void CTextEditView::OnUpdateColumnPaste(CCmdUI* cmdUI) {
    cmdUI->Enable(IsClipboardFormatAvailable(CF_TEXT) && m_doc && !m_doc->IsWrapped());
}

void CTextEditView::OnUpdateAlways(CCmdUI* cmdUI) {
    cmdUI->Enable(true);
}

void CTextEditView::OnUpdateNever(CCmdUI* cmdUI) {
    cmdUI->Enable(false);
}

// --- Bookmarks ---------------------------------------------------------------------------------

void CTextEditView::OnToggleBookmark() {
    if (!m_doc || m_doc->RecordCount() == 0)
        return;
    const FxTextPos head = m_doc->ToHeadPiece(m_caret);
    FxLine& r = m_doc->RecordRef(head.line);
    r.flags ^= FXL_BOOKMARK;
    m_doc->SetBookmarkCount(m_doc->BookmarkCount() + ((r.flags & FXL_BOOKMARK) ? 1 : -1));
    InvalidateLines(head.line, head.line);
}

void CTextEditView::OnNextBookmark() {
    if (!m_doc || m_doc->BookmarkCount() == 0)
        return;
    const int32_t caretHead = m_doc->ToHeadPiece(m_caret).line;
    for (int32_t rec = caretHead + 1; rec < m_doc->RecordCount(); ++rec)
        if (m_doc->Record(rec).flags & FXL_BOOKMARK) {
            GoToLine(m_doc->PieceToLogicalLine(rec));
            return;
        }
    m_doc->OnDocEvent(FxEvSearchWrapped, -1);
    for (int32_t rec = 0; rec <= caretHead && rec < m_doc->RecordCount(); ++rec)
        if (m_doc->Record(rec).flags & FXL_BOOKMARK) {
            GoToLine(m_doc->PieceToLogicalLine(rec));
            return;
        }
}

void CTextEditView::OnPrevBookmark() {
    if (!m_doc || m_doc->BookmarkCount() == 0)
        return;
    const int32_t caretHead = m_doc->ToHeadPiece(m_caret).line;
    for (int32_t rec = caretHead - 1; rec >= 0; --rec)
        if (m_doc->Record(rec).flags & FXL_BOOKMARK) {
            GoToLine(m_doc->PieceToLogicalLine(rec));
            return;
        }
    m_doc->OnDocEvent(FxEvSearchWrapped, 0);
    for (int32_t rec = m_doc->RecordCount() - 1; rec >= caretHead && rec >= 0; --rec)
        if (m_doc->Record(rec).flags & FXL_BOOKMARK) {
            GoToLine(m_doc->PieceToLogicalLine(rec));
            return;
        }
}

void CTextEditView::OnClearBookmarks() {
    if (!m_doc)
        return;
    for (int32_t rec = 0; rec < m_doc->RecordCount(); ++rec)
        m_doc->RecordRef(rec).flags &= ~FXL_BOOKMARK;
    m_doc->SetBookmarkCount(0);
    Invalidate(false);
}

void CTextEditView::OnUpdateNeedBookmark(CCmdUI* cmdUI) {
    cmdUI->Enable(m_doc && m_doc->BookmarkCount() > 0);
}
