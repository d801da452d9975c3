// CFxEditHostDoc: a framework document that is a CFxEditDoc, so that a document template can
// show CFxEditView in a child frame until the editor's own document class exists.
// Layer: textview/ (view side).
#pragma once

#include "framework/Document.h"
#include "textdoc/FxEditDoc.h"

class CFxEditHostDoc : public CDocument, public CFxEditDoc {
    DECLARE_DYNCREATE(CFxEditHostDoc)
public:
    // Both bases keep a modified flag; they are kept equal.
    void SetModifiedFlag(bool modified = true) override;
    bool IsModified() const override { return CFxEditDoc::IsModified(); }
    void DeleteContents() override { CFxEditDoc::DeleteContents(); }
    bool OnNewDocument() override;
    // The first two editor views become the document's attached views.
    void OnChangedViewList() override;
};
