// CTextEditTemplate: the one document template of the editor: CTextEditDoc in CTextEditFrame
// with CTextEditView panes. It keeps the main frame's status bar mode and automatic paste
// target (and, later, its document switch bar) in step with the open documents.
// Layer: app/ (application shell).
#pragma once

#include "framework/MultiDocTemplate.h"

class CTextEditTemplate : public CMultiDocTemplate {
    DECLARE_DYNAMIC(CTextEditTemplate)
public:
    explicit CTextEditTemplate(UINT idResource);

    CDocument* OpenDocumentFile(const char* path, bool makeVisible = true) override;
    void RemoveDocument(CDocument* doc) override;
};
