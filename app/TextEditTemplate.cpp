// CTextEditTemplate. Layer: app/ (application shell).
#include "app/TextEditTemplate.h"

#include "app/AppMainFrame.h"
#include "app/TextEditDoc.h"
#include "app/TextEditFrame.h"
#include "app/TextEditView.h"

IMPLEMENT_DYNAMIC(CTextEditTemplate, CMultiDocTemplate)

CTextEditTemplate::CTextEditTemplate(UINT idResource)
    : CMultiDocTemplate(idResource, RUNTIME_CLASS(CTextEditDoc), RUNTIME_CLASS(CTextEditFrame),
                        RUNTIME_CLASS(CTextEditView)) {}

CDocument* CTextEditTemplate::OpenDocumentFile(const char* path, bool makeVisible) {
    CDocument* doc = CMultiDocTemplate::OpenDocumentFile(path, makeVisible);
    if (doc) {
        if (CAppMainFrame* main = AppMainFrame()) {
            main->AddDocumentTab(doc);
            main->SetDocumentMode(true);
            main->DropClientScrollBars();
        }
    }
    return doc;
}

void CTextEditTemplate::RemoveDocument(CDocument* doc) {
    CMultiDocTemplate::RemoveDocument(doc);
    if (CAppMainFrame* main = AppMainFrame()) {
        main->OnDocumentRemoved(doc);
        if (GetDocuments().empty())
            main->SetDocumentMode(false);
    }
}
