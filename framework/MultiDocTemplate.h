// CMultiDocTemplate: a template for any number of documents, each in its own MDI child frame,
// sharing one menu and accelerator table; untitled documents are numbered. Layer: framework/.
#pragma once

#include "framework/DocTemplate.h"

#include <windows.h>

class CMultiDocTemplate : public CDocTemplate {
    DECLARE_DYNAMIC(CMultiDocTemplate)
public:
    CMultiDocTemplate(UINT idResource, const CRuntimeClass* docClass,
                      const CRuntimeClass* frameClass, const CRuntimeClass* viewClass);
    ~CMultiDocTemplate() override;

    void LoadTemplate() override;
    void RemoveDocument(CDocument* doc) override;
    CDocument* OpenDocumentFile(const char* path, bool makeVisible = true) override;
    // "<untitled name><n>", n counting up from 1 over the template's life, skipping a title that
    // an open document of the template already has.
    void SetDefaultTitle(CDocument* doc) override;

    HMENU m_hMenuShared = nullptr;
    HACCEL m_hAccelTable = nullptr;
    UINT m_nUntitledCount = 0;
};
