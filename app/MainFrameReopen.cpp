// The main frame's view of the open documents for the reopen list: their paths, caret lines
// and bookmarks, and their opening again at the next start. Layer: app/.
#include "app/AppMainFrame.h"

#include "app/FirstTextView.h"
#include "app/TextEditDoc.h"
#include "app/TextEditView.h"

std::vector<ReopenHost::Document> CAppMainFrame::Documents() {
    std::vector<Document> list;
    CTextEditDoc* active = GetActiveTextDoc();
    for (CTextEditDoc* doc : TextDocuments()) {
        Document entry;
        entry.path = doc->GetPathName();
        entry.active = doc == active;
        CTextEditView* view = FirstTextView(doc);
        entry.view = view;
        entry.caretLine = view ? view->LogicalCaret().line : 0;
        list.push_back(entry);
    }
    return list;
}

int CAppMainFrame::NextBookmark(void* view, int line) {
    return view ? static_cast<CTextEditView*>(view)->NextBookmarkAfter(line) : -1;
}

void* CAppMainFrame::Open(const char* path, int* lineCount) {
    // A file that cannot be opened now (deleted, locked) gives no view: the entry is skipped.
    CDocument* doc = CTextEditDoc::OpenFileWithEncoding(path, FxEncDetect);
    CTextEditDoc* text = DynamicDowncast<CTextEditDoc>(doc);
    CTextEditView* view = text ? FirstTextView(text) : nullptr;
    if (!view)
        return nullptr;
    if (lineCount)
        *lineCount = text->LogicalLineCount();
    return view;
}

void CAppMainFrame::SetBookmark(void* view, int line) {
    if (view)
        static_cast<CTextEditView*>(view)->SetBookmarkOnLine(line);
}

void CAppMainFrame::SetCaretLine(void* view, int line) {
    if (view)
        static_cast<CTextEditView*>(view)->GoToLine(line);
}

void CAppMainFrame::ActivateFrameOf(void* view) {
    if (!view)
        return;
    if (CFrameWnd* frame = static_cast<CTextEditView*>(view)->GetParentFrame())
        frame->ActivateFrame();
}
