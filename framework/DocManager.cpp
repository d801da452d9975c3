// CDocManager. Layer: framework/.
#include "framework/DocManager.h"

#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/FileDialog.h"
#include "framework/FrameWnd.h"
#include "framework/FwIds.h"
#include "framework/ResourceText.h"
#include "framework/View.h"
#include "framework/WinApp.h"

CDocManager::~CDocManager() {
    for (CDocTemplate* t : m_templates)
        delete t;
}

void CDocManager::AddDocTemplate(CDocTemplate* docTemplate) {
    docTemplate->LoadTemplate();
    m_templates.push_back(docTemplate);
}

CDocument* CDocManager::FindOpenDocument(const char* path) const {
    for (CDocTemplate* t : m_templates) {
        CDocument* match = nullptr;
        if (t->MatchDocType(path, match) == CDocTemplate::yesAlreadyOpen)
            return match;
    }
    return nullptr;
}

CDocument* CDocManager::OpenDocumentFile(const char* path) {
    if (!path)
        return nullptr;
    CDocTemplate* best = nullptr;
    CDocTemplate::Confidence bestMatch = CDocTemplate::noAttempt;
    for (CDocTemplate* t : m_templates) {
        CDocument* open = nullptr;
        CDocTemplate::Confidence match = t->MatchDocType(path, open);
        if (match == CDocTemplate::yesAlreadyOpen) {
            // Only activate it: the template's open is not reached again.
            if (CView* view = open->GetFirstView()) {
                if (CFrameWnd* frame = view->GetParentFrame())
                    frame->ActivateFrame();
            }
            return open;
        }
        if (match > bestMatch) {
            bestMatch = match;
            best = t;
        }
    }
    return best ? best->OpenDocumentFile(path) : nullptr;
}

void CDocManager::OnFileNew() {
    if (!m_templates.empty())
        m_templates.front()->OpenDocumentFile(nullptr);
}

void CDocManager::OnFileOpen() {
    std::string name;
    if (!DoPromptFileName(name, AFX_IDS_OPENFILE,
                          OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST, true, nullptr))
        return;
    if (CWinApp* app = AfxGetApp())
        app->OpenDocumentFile(name.c_str());
    else
        OpenDocumentFile(name.c_str());
}

bool CDocManager::SaveAllModified() {
    for (CDocTemplate* t : m_templates) {
        if (!t->SaveAllModified())
            return false;
    }
    return true;
}

void CDocManager::CloseAllDocuments(bool endSession) {
    for (CDocTemplate* t : m_templates)
        t->CloseAllDocuments(endSession);
}

int CDocManager::GetOpenDocumentCount() const {
    int count = 0;
    for (CDocTemplate* t : m_templates)
        count += static_cast<int>(t->GetDocuments().size());
    return count;
}

bool CDocManager::DoPromptFileName(std::string& fileName, UINT titleId, DWORD flags, bool openFile,
                                   CDocTemplate* docTemplate) {
    // Filters: each template's "name|*.ext|", then all files.
    std::string filter, defaultExt;
    for (CDocTemplate* t : m_templates) {
        if (docTemplate && t != docTemplate)
            continue;
        std::string name, ext;
        if (t->GetDocString(name, CDocTemplate::filterName) && !name.empty() &&
            t->GetDocString(ext, CDocTemplate::filterExt) && !ext.empty()) {
            std::string pattern = ext[0] == '*' ? ext : "*" + ext;
            filter += name + "|" + pattern + "|";
            if (defaultExt.empty())
                defaultExt = ext[0] == '.' ? ext.substr(1) : ext;
        }
    }
    filter += AfxLoadStringOr(AFX_IDS_ALLFILTER, "*.*") + "|*.*||";
    CFileDialog dialog(openFile, defaultExt.empty() ? nullptr : defaultExt.c_str(),
                       fileName.c_str(), flags, filter.c_str(), AfxGetMainWnd());
    std::string title = AfxLoadString(titleId);
    if (!title.empty())
        dialog.m_ofn.lpstrTitle = title.c_str();
    if (dialog.DoModal() != IDOK)
        return false;
    fileName = dialog.GetPathName();
    return true;
}
