// CDocTemplate. Layer: framework/.
#include "framework/DocTemplate.h"

#include "common/PathName.h"
#include "framework/CreateContext.h"
#include "framework/Document.h"
#include "framework/FrameWnd.h"
#include "framework/FwIds.h"
#include "framework/MessageBox.h"
#include "framework/ResourceText.h"
#include "framework/WinApp.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)

CDocTemplate::CDocTemplate(UINT idResource, const CRuntimeClass* docClass,
                           const CRuntimeClass* frameClass, const CRuntimeClass* viewClass)
    : m_nIDResource(idResource), m_pDocClass(docClass), m_pFrameClass(frameClass),
      m_pViewClass(viewClass) {}

CDocTemplate::~CDocTemplate() {
    // Documents still open go with their template (their destructor detaches them).
    std::vector<CDocument*> docs = m_docList;
    for (CDocument* doc : docs) {
        doc->m_pDocTemplate = nullptr;
        delete doc;
    }
}

void CDocTemplate::LoadTemplate() {
    m_strDocStrings = AfxLoadString(m_nIDResource);
}

bool CDocTemplate::GetDocString(std::string& text, DocStringIndex index) const {
    text.clear();
    size_t start = 0;
    for (int i = 0; i < index; ++i) {
        start = m_strDocStrings.find('\n', start);
        if (start == std::string::npos)
            return false;
        ++start;
    }
    size_t end = m_strDocStrings.find('\n', start);
    text =
        m_strDocStrings.substr(start, end == std::string::npos ? std::string::npos : end - start);
    return true;
}

void CDocTemplate::AddDocument(CDocument* doc) {
    if (std::find(m_docList.begin(), m_docList.end(), doc) == m_docList.end())
        m_docList.push_back(doc);
    doc->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* doc) {
    auto it = std::find(m_docList.begin(), m_docList.end(), doc);
    if (it != m_docList.end())
        m_docList.erase(it);
    doc->m_pDocTemplate = nullptr;
}

const std::vector<CDocument*>& CDocTemplate::GetDocuments() const {
    return m_docList;
}

CDocTemplate::Confidence CDocTemplate::MatchDocType(const char* path, CDocument*& match) {
    match = nullptr;
    for (CDocument* doc : m_docList) {
        if (!doc->GetPathName().empty() && FxSamePath(doc->GetPathName(), path)) {
            match = doc;
            return yesAlreadyOpen;
        }
    }
    std::string ext;
    if (GetDocString(ext, filterExt) && !ext.empty()) {
        const std::string dot = FxPathExtension(path);
        const char* e = ext.c_str();
        if (*e == '*')
            ++e;
        if (!dot.empty() && lstrcmpiA(dot.c_str(), e) == 0)
            return yesAttemptNative;
    }
    return yesAttemptForeign;
}

CDocument* CDocTemplate::CreateNewDocument() {
    CObject* obj = m_pDocClass ? m_pDocClass->CreateObject() : nullptr;
    CDocument* doc = DynamicDowncast<CDocument>(obj);
    if (!doc) {
        delete obj;
        return nullptr;
    }
    AddDocument(doc);
    return doc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* doc, CFrameWnd* other) {
    CCreateContext context;
    context.m_pCurrentFrame = other;
    context.m_pCurrentDoc = doc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    CObject* obj = m_pFrameClass ? m_pFrameClass->CreateObject() : nullptr;
    CFrameWnd* frame = DynamicDowncast<CFrameWnd>(obj);
    if (!frame) {
        delete obj;
        return nullptr;
    }
    // A frame that fails to load has deleted itself in PostNcDestroy.
    if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context))
        return nullptr;
    return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* frame, CDocument* doc, bool makeVisible) {
    frame->InitialUpdateFrame(doc, makeVisible);
}

bool CDocTemplate::SaveAllModified() {
    std::vector<CDocument*> docs = m_docList;
    for (CDocument* doc : docs) {
        if (!doc->SaveModified())
            return false;
    }
    return true;
}

void CDocTemplate::CloseAllDocuments(bool) {
    std::vector<CDocument*> docs = m_docList;
    for (CDocument* doc : docs)
        doc->OnCloseDocument();
}
