// CTextEditView: automatic pasting, the view's side of the main frame's clipboard watch: the
// command that makes this document the target, and the append of newly copied text at the end
// of the document. Layer: app/ (application shell).
#include "app/AppMainFrame.h"
#include "app/CommandIds.h"
#include "app/TextEditDoc.h"
#include "app/TextEditView.h"
#include "framework/CmdUI.h"

#include <string>

void CTextEditView::OnDocAutoPaste() {
    CAppMainFrame* main = AppMainFrame();
    CTextEditDoc* doc = GetTextDoc();
    if (!main || !doc)
        return;
    main->SetAutoPasteTarget(main->AutoPasteTarget() == doc ? nullptr : doc);
}

void CTextEditView::OnUpdateDocAutoPaste(CCmdUI* cmdUI) {
    CAppMainFrame* main = AppMainFrame();
    CTextEditDoc* doc = GetTextDoc();
    CTextEditDoc* target = main ? main->AutoPasteTarget() : nullptr;
    cmdUI->Enable(main && doc && (!target || target == doc));
    cmdUI->SetCheck(doc && target == doc ? 1 : 0);
}

bool CTextEditView::AutoPasteClipboard() {
    std::string text;
    bool isBlock = false;
    if (!ReadClipboardText(text, isBlock))
        return false;
    return AppendAutoPaste(text);
}

bool CTextEditView::AppendAutoPaste(const std::string& text) {
    if (!m_doc || text.empty() || !CheckWritable())
        return false;
    // The pages of a print run point into the text: the paste waits for the run to end. A
    // preview is closed first.
    if (!ReleaseFromPrinting(GetDocument())) {
        m_heldPastes.push_back(text);
        return false;
    }
    try {
        // Breaks, bookmark and text are undone together.
        FxUndoGroupGuard group(*m_doc, FxUndoPaste);
        ClearSelection();
        const int32_t lastLine = m_doc->LogicalLineCount() - 1;
        const bool lastEmpty = m_doc->GetLineLength(lastLine) == 0;
        // One empty line always separates the pasted text from what was there.
        m_caret = m_doc->EndPos();
        InsertAtCaret("\r\n\r\n", lastEmpty ? 2 : 4);
        SetBookmarkOnLine(m_doc->LogicalLineCount() - 1);
        m_caret = m_doc->EndPos();
        InsertAtCaret(text);
        m_caret = m_doc->EndPos();
        UpdateViews(RefreshAll, 0, -1);
        GoToPos(m_doc->PieceToLogical(m_caret));
    } catch (...) {
        ReportException();
        return false;
    }
    return true;
}
