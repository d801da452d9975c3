// CMultiDocTemplate. Layer: framework/.
#include "framework/MultiDocTemplate.h"

#include "framework/Document.h"
#include "framework/FrameWnd.h"
#include "framework/FwIds.h"
#include "framework/MessageBox.h"
#include "framework/ResourceText.h"
#include "framework/WaitCursor.h"
#include "framework/WinApp.h"

IMPLEMENT_DYNAMIC(CMultiDocTemplate, CDocTemplate)

CMultiDocTemplate::CMultiDocTemplate(UINT idResource, const CRuntimeClass* docClass,
                                     const CRuntimeClass* frameClass,
                                     const CRuntimeClass* viewClass)
    : CDocTemplate(idResource, docClass, frameClass, viewClass) {}

CMultiDocTemplate::~CMultiDocTemplate() {
    if (m_hMenuShared)
        DestroyMenu(m_hMenuShared);
    if (m_hAccelTable)
        DestroyAcceleratorTable(m_hAccelTable);
}

void CMultiDocTemplate::LoadTemplate() {
    CDocTemplate::LoadTemplate();
    HINSTANCE inst = AfxGetResourceHandle();
    if (!m_hMenuShared)
        m_hMenuShared = LoadMenuA(inst, MAKEINTRESOURCEA(m_nIDResource));
    if (!m_hAccelTable)
        m_hAccelTable = LoadAcceleratorsA(inst, MAKEINTRESOURCEA(m_nIDResource));
}

void CMultiDocTemplate::RemoveDocument(CDocument* doc) {
    CDocTemplate::RemoveDocument(doc);
}

void CMultiDocTemplate::SetDefaultTitle(CDocument* doc) {
    std::string name;
    if (!GetDocString(name, docName) || name.empty())
        name = AfxLoadStringOr(AFX_IDS_UNTITLED, "Untitled");
    // A number is skipped while an open document has its title (one given back to a document
    // the program restored, say).
    for (;;) {
        const std::string title = AfxFormat("%s%u", name.c_str(), ++m_nUntitledCount);
        bool taken = false;
        for (CDocument* other : GetDocuments())
            taken = taken || (other != doc && other->GetTitle() == title);
        if (!taken) {
            doc->SetTitle(title.c_str());
            return;
        }
    }
}

CDocument* CMultiDocTemplate::OpenDocumentFile(const char* path, bool makeVisible) {
    CDocument* doc = CreateNewDocument();
    if (!doc) {
        AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC, MB_OK | MB_ICONSTOP);
        return nullptr;
    }
    // The frame must not close the document while it is being built.
    bool autoDelete = doc->m_bAutoDelete;
    doc->m_bAutoDelete = false;
    CFrameWnd* frame = CreateNewFrame(doc, nullptr);
    doc->m_bAutoDelete = autoDelete;
    if (!frame) {
        AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC, MB_OK | MB_ICONSTOP);
        delete doc;
        return nullptr;
    }
    if (!path) {
        SetDefaultTitle(doc);
        if (!doc->OnNewDocument()) {
            frame->DestroyWindow();
            return nullptr;
        }
    } else {
        CWaitCursor wait;
        if (!doc->OnOpenDocument(path)) {
            // The user has been told; the frame goes and takes the document with it.
            frame->DestroyWindow();
            return nullptr;
        }
        doc->SetPathName(path);
    }
    InitialUpdateFrame(frame, doc, makeVisible);
    return doc;
}
