// CFxEditHostDoc. Layer: textview/ (view side).
#include "textview/FxEditHostDoc.h"

#include "textview/FxEditView.h"

IMPLEMENT_DYNCREATE(CFxEditHostDoc, CDocument)

void CFxEditHostDoc::SetModifiedFlag(bool modified) {
    CDocument::SetModifiedFlag(modified);
    CFxEditDoc::SetModifiedFlag(modified);
}

bool CFxEditHostDoc::OnNewDocument() {
    if (!CDocument::OnNewDocument())
        return false;
    InitDocument(0);
    return true;
}

void CFxEditHostDoc::OnChangedViewList() {
    CFxEditView::AttachViews(*this, GetViews());
    CDocument::OnChangedViewList();
}
