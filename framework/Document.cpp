// CDocument. Layer: framework/.
#include "framework/Document.h"

#include "framework/Archive.h"
#include "framework/DocTemplate.h"
#include "framework/FileException.h"
#include "framework/FrameWnd.h"
#include "framework/FwIds.h"
#include "framework/MemoryException.h"
#include "framework/MessageBox.h"
#include "framework/MirrorFile.h"
#include "framework/PreviewView.h"
#include "framework/ResourceText.h"
#include "framework/UserException.h"
#include "framework/View.h"
#include "framework/WaitCursor.h"
#include "framework/WinApp.h"

#include "common/FxErrors.h"
#include "common/PathName.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
ON_COMMAND(ID_FILE_CLOSE, OnFileClose)
ON_COMMAND(ID_FILE_SAVE, OnFileSave)
ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
END_MESSAGE_MAP()

CDocument::CDocument() = default;

CDocument::~CDocument() {
    // Views outliving their document must not reach it any more.
    for (CView* view : m_viewList)
        view->m_pDocument = nullptr;
    if (m_pDocTemplate)
        m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(const char* title) {
    m_strTitle = title ? title : "";
    UpdateFrameCounts();
}

void CDocument::SetPathName(const char* path, bool addToMRU) {
    char full[MAX_PATH];
    char* namePart = nullptr;
    DWORD len = GetFullPathNameA(path, sizeof full, full, &namePart);
    m_strPathName = (len > 0 && len < sizeof full) ? full : path;
    SetTitle(FxPathFileName(m_strPathName).c_str());
    if (addToMRU) {
        if (CWinApp* app = AfxGetApp())
            app->AddToRecentFileList(m_strPathName.c_str());
    }
}

void CDocument::SetModifiedFlag(bool modified) {
    m_bModified = modified;
}

bool CDocument::IsModified() const {
    return m_bModified;
}

void CDocument::AddView(CView* view) {
    if (std::find(m_viewList.begin(), m_viewList.end(), view) != m_viewList.end())
        return;
    m_viewList.push_back(view);
    view->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* view) {
    auto it = std::find(m_viewList.begin(), m_viewList.end(), view);
    if (it == m_viewList.end())
        return;
    m_viewList.erase(it);
    view->m_pDocument = nullptr;
    OnChangedViewList();
}

void CDocument::UpdateAllViews(CView* sender, LPARAM hint, CObject* hintObject) {
    std::vector<CView*> views = m_viewList; // a view may go while updating
    for (CView* view : views) {
        if (view != sender)
            view->OnUpdate(sender, hint, hintObject);
    }
}

void CDocument::OnChangedViewList() {
    if (m_viewList.empty() && m_bAutoDelete) {
        OnCloseDocument();
        return;
    }
    UpdateFrameCounts();
}

void CDocument::UpdateFrameCounts() {
    std::vector<CFrameWnd*> frames;
    for (CView* view : m_viewList) {
        CFrameWnd* frame = view->GetParentFrame();
        if (frame && std::find(frames.begin(), frames.end(), frame) == frames.end())
            frames.push_back(frame);
    }
    for (CFrameWnd* frame : frames) {
        frame->OnUpdateFrameTitle(true);
        if (CFrameWnd* top = frame->GetTopLevelFrame(); top && top != frame)
            top->OnUpdateFrameTitle(true);
    }
}

bool CDocument::OnNewDocument() {
    DeleteContents();
    m_strPathName.clear();
    SetModifiedFlag(false);
    return true;
}

bool CDocument::OnOpenDocument(const char* path) {
    CFileException error;
    CFile* file = GetFile(path, CFile::modeRead | CFile::shareDenyWrite, &error);
    if (!file) {
        ReportSaveLoadException(path, &error, false, AFX_IDP_FAILED_TO_OPEN_DOC);
        return false;
    }
    DeleteContents();
    SetModifiedFlag(true); // dirty while being read
    bool released = false;
    try {
        CArchive ar(file, CArchive::load);
        ar.m_pDocument = this;
        Serialize(ar);
        released = true;
        ReleaseFile(file, false);
    } catch (...) {
        if (!released)
            ReleaseFile(file, true);
        DeleteContents();
        ReportCurrentSaveLoadException(path, false, AFX_IDP_FAILED_TO_OPEN_DOC);
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

bool CDocument::OnSaveDocument(const char* path) {
    CFileException error;
    CFile* file =
        GetFile(path, CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive, &error);
    if (!file) {
        ReportSaveLoadException(path, &error, true, AFX_IDP_FAILED_TO_SAVE_DOC);
        return false;
    }
    bool released = false;
    try {
        CArchive ar(file, CArchive::store);
        ar.m_pDocument = this;
        Serialize(ar);
        released = true;
        ReleaseFile(file, false); // the mirror replaces the target here
    } catch (...) {
        if (!released)
            ReleaseFile(file, true);
        ReportCurrentSaveLoadException(path, true, AFX_IDP_FAILED_TO_SAVE_DOC);
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

void CDocument::OnCloseDocument() {
    // A preview of this document ends first: its pages point into the text.
    CPreviewView::ReleaseDocument(this);
    // Destroying the frames removes the views; keep this object alive meanwhile.
    bool autoDelete = m_bAutoDelete;
    m_bAutoDelete = false;
    while (!m_viewList.empty()) {
        CView* view = m_viewList.front();
        CFrameWnd* frame = view->GetParentFrame();
        if (frame)
            frame->DestroyWindow();
        else
            view->DestroyWindow();
        if (!m_viewList.empty() && m_viewList.front() == view)
            RemoveView(view); // a view that did not go with its window
    }
    m_bAutoDelete = autoDelete;
    DeleteContents();
    if (m_pDocTemplate)
        m_pDocTemplate->RemoveDocument(this);
    if (m_bAutoDelete)
        delete this;
}

void CDocument::DeleteContents() {}

void CDocument::Serialize(CArchive&) {}

std::string CDocument::ProposedSaveName() const {
    if (!m_strPathName.empty())
        return m_strPathName;
    std::string name = m_strTitle;
    while (!name.empty() && (name.back() == ' ' || name.back() == '*'))
        name.pop_back();
    size_t bad = name.find_first_of("\\/:*?\"<>|");
    if (bad != std::string::npos)
        name.resize(bad);
    std::string ext;
    if (m_pDocTemplate && m_pDocTemplate->GetDocString(ext, CDocTemplate::filterExt) &&
        !ext.empty()) {
        size_t semicolon = ext.find(';');
        if (semicolon != std::string::npos)
            ext.resize(semicolon);
        if (ext[0] == '*')
            ext.erase(0, 1);
        if (!ext.empty() && ext[0] != '.')
            ext.insert(ext.begin(), '.');
        name += ext;
    }
    return name;
}

bool CDocument::SaveModified() {
    if (!IsModified())
        return true;
    std::string name = m_strPathName;
    if (name.empty()) {
        name = m_strTitle;
        while (!name.empty() && (name.back() == ' ' || name.back() == '*'))
            name.pop_back();
    }
    std::string prompt = AfxFormatString1(AFX_IDP_ASK_TO_SAVE, name.c_str());
    switch (AfxMessageBox(prompt.c_str(), MB_YESNOCANCEL | MB_ICONQUESTION, AFX_IDP_ASK_TO_SAVE)) {
    case IDCANCEL:
        return false;
    case IDYES:
        return DoFileSave();
    default:
        return true;
    }
}

bool CDocument::CanCloseFrame(CFrameWnd* frame) {
    for (CView* view : m_viewList) {
        if (view->GetParentFrame() != frame)
            return true; // another frame still shows the document
    }
    return SaveModified();
}

bool CDocument::DoSave(const char* path, bool replace) {
    std::string newName = path ? path : "";
    if (newName.empty()) {
        newName = ProposedSaveName();
        CWinApp* app = AfxGetApp();
        if (!app ||
            !app->DoPromptFileName(newName, AFX_IDS_SAVEFILE, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST,
                                   false, m_pDocTemplate))
            return false;
    }
    // A Save As that fails must not delete a file the user chose to overwrite: the mirror
    // file kept it intact. Only a file this save created goes.
    bool existedBefore = CFile::Exists(newName.c_str());
    CWaitCursor wait;
    if (!OnSaveDocument(newName.c_str())) {
        if (!path && !existedBefore && CFile::Exists(newName.c_str()))
            DeleteFileA(newName.c_str());
        return false;
    }
    if (replace)
        SetPathName(newName.c_str());
    return true;
}

bool CDocument::DoFileSave() {
    DWORD attrs = GetFileAttributesA(m_strPathName.c_str());
    if (m_strPathName.empty() ||
        (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY)))
        return DoSave(nullptr);
    return DoSave(m_strPathName.c_str());
}

CFile* CDocument::GetFile(const char* path, UINT flags, CFileException* error) {
    std::unique_ptr<CFile> file((flags & CFile::modeCreate) ? new CMirrorFile : new CFile);
    if (!file->Open(path, flags, error))
        return nullptr;
    return file.release();
}

void CDocument::ReleaseFile(CFile* file, bool abort) {
    std::unique_ptr<CFile> owner(file);
    if (abort)
        file->Abort();
    else
        file->Close();
}

void CDocument::ReportSaveLoadException(const char* path, const CException* e, bool,
                                        UINT defaultId) {
    if (e && e->IsKindOf(RUNTIME_CLASS(CUserException)))
        return;
    std::string message;
    if (e && e->GetErrorMessage(message)) {
        AfxMessageBox(message.c_str(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    std::string text = AfxFormatString1(defaultId, path);
    AfxMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void CDocument::ReportCurrentSaveLoadException(const char* path, bool saving, UINT defaultId) {
    try {
        throw;
    } catch (const CFileException& e) {
        CFileException named = e;
        if (named.m_strFileName.empty())
            named.m_strFileName = path;
        ReportSaveLoadException(path, &named, saving, defaultId);
    } catch (const CException& e) {
        ReportSaveLoadException(path, &e, saving, defaultId);
    } catch (const std::bad_alloc&) {
        CMemoryException e;
        ReportSaveLoadException(path, &e, saving, defaultId);
    } catch (const FxCancelled&) {
        // The user stopped it: nothing to tell.
    } catch (const FxFileError& fe) {
        CFileException e(CFileException::OsErrorToCause(fe.OsError()),
                         static_cast<LONG>(fe.OsError()), path);
        ReportSaveLoadException(path, &e, saving, defaultId);
    } catch (...) {
        ReportSaveLoadException(path, nullptr, saving, defaultId);
    }
}

void CDocument::OnFileClose() {
    if (!SaveModified())
        return;
    OnCloseDocument();
}

void CDocument::OnFileSave() {
    DoFileSave();
}

void CDocument::OnFileSaveAs() {
    DoSave(nullptr);
}

bool CDocument::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) {
    if (CCmdTarget::OnCmdMsg(id, code, extra, handlerInfo))
        return true;
    return m_pDocTemplate && m_pDocTemplate->OnCmdMsg(id, code, extra, handlerInfo);
}
