// CTextEditDoc. Layer: app/ (application shell).
#include "app/TextEditDoc.h"
#include "common/FxErrors.h"
#include "common/PathName.h"

#include "app/DlgFile.h"
#include "app/FileChangeMonitor.h"
#include "app/ShellIds.h"
#include "app/TextDocHost.h"
#include "settings/SettingsStore.h"
#include "framework/Archive.h"
#include "framework/DocTemplate.h"
#include "framework/Exception.h"
#include "framework/File.h"
#include "framework/FileException.h"
#include "framework/FwIds.h"
#include "framework/MessageBox.h"
#include "framework/PreviewView.h"
#include "framework/ResourceText.h"
#include "framework/UserException.h"
#include "framework/View.h"
#include "framework/WaitCursor.h"
#include "framework/WinApp.h"
#include "textdoc/DocView.h"
#include "textdoc/FileIO.h"
#include "textdoc/MappedBuffer.h"
#include "textview/FxEditView.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNCREATE(CTextEditDoc, CDocument)

namespace {

ITextDocHost* g_host = nullptr;
FileChangeMonitor* g_monitor = nullptr;
int g_pendingOpenEncoding = FxEncDetect;

void TrimMarker(std::string& title) {
    while (!title.empty() && (title.back() == ' ' || title.back() == '*'))
        title.pop_back();
}

int ShowStop(UINT id) {
    return AfxMessageBox(id, MB_OK | MB_ICONSTOP);
}

uint64_t g_freeMemoryForTest = 0; // 0: ask the system

// Physical memory free now, in bytes.
uint64_t FreeMemoryBytes() {
    if (g_freeMemoryForTest)
        return g_freeMemoryForTest;
    MEMORYSTATUSEX status;
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status))
        return UINT64_MAX;
    return status.ullAvailPhys;
}

// A file larger than the free memory is opened only when the user agrees.
bool AgreeToOpenLargeFile(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return true; // the open itself reports what is wrong
    const uint64_t size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    const uint64_t free = FreeMemoryBytes();
    if (size <= free)
        return true;
    const std::string text = AfxFormat(AfxLoadString(IDS_DOC_OVER_MEMORY).c_str(), path,
                                       std::to_string(size).c_str(), std::to_string(free).c_str());
    return AfxMessageBox(text.c_str(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

// Waits in the input queue as the first key pressed: taken out of it.
bool EscapeWaiting() {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE) ||
        msg.wParam != VK_ESCAPE)
        return false;
    PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE);
    return true;
}

} // namespace

void CTextEditDoc::SetFreeMemoryForTest(uint64_t bytes) {
    g_freeMemoryForTest = bytes;
}

CTextEditDoc::CTextEditDoc() {
    SetRequestedEncoding(g_pendingOpenEncoding);
    SetEncoding(FxEncAnsi);
}

CTextEditDoc::~CTextEditDoc() {
    UnwatchFile();
}

void CTextEditDoc::SetHost(ITextDocHost* host) {
    g_host = host;
}

void CTextEditDoc::SetFileMonitor(FileChangeMonitor* monitor) {
    g_monitor = monitor;
}

FileChangeMonitor* CTextEditDoc::GetFileMonitor() {
    return g_monitor;
}

int CTextEditDoc::PendingOpenEncoding() {
    return g_pendingOpenEncoding;
}

CDocument* CTextEditDoc::OpenFileWithEncoding(const char* path, int encoding) {
    CWinApp* app = AfxGetApp();
    if (!app)
        return nullptr;
    g_pendingOpenEncoding = (encoding >= FxEncDetect && encoding <= FxEncUtf16Be) ? encoding : 0;
    CDocument* doc = nullptr;
    try {
        doc = app->OpenDocumentFile(path);
    } catch (...) {
        AfxReportCurrentException();
    }
    g_pendingOpenEncoding = FxEncDetect;
    return doc;
}

// --- Flag, title, contents --------------------------------------------------------------------

void CTextEditDoc::SetModifiedFlag(bool modified) {
    if (modified)
        ++m_editSerial;
    else if (m_restoredText)
        return; // no undo position holds the file's text
    if (modified == CFxEditDoc::IsModified() && modified == CDocument::IsModified())
        return;
    CDocument::SetModifiedFlag(modified);
    CFxEditDoc::SetModifiedFlag(modified);
    if (!modified)
        MarkSaved();
    ApplyTitleMarker(modified);
    if (g_host)
        g_host->OnDocumentStateChanged(this, modified ? ITextDocHost::StateModified
                                                      : ITextDocHost::StateUnmodified);
}

void CTextEditDoc::MarkRestored() {
    // Both flags down first, so that the change is announced and the title marked.
    m_restoredText = false;
    CDocument::SetModifiedFlag(false);
    CFxEditDoc::SetModifiedFlag(false);
    SetModifiedFlag(true);
    m_restoredText = true;
}

void CTextEditDoc::ApplyTitleMarker(bool modified) {
    std::string title = GetTitle();
    if (modified) {
        if (title.size() >= 2 && title.compare(title.size() - 2, 2, " *") == 0)
            return;
        title += " *";
    } else {
        TrimMarker(title);
    }
    if (title != GetTitle())
        SetTitle(title.c_str());
}

std::string CTextEditDoc::NameForMessages() const {
    if (!m_strPathName.empty())
        return m_strPathName;
    std::string title = m_strTitle;
    TrimMarker(title);
    return title;
}

void CTextEditDoc::DeleteContents() {
    CFxEditDoc::DeleteContents();
    CDocument::DeleteContents();
}

void CTextEditDoc::SetPathName(const char* path, bool addToMRU) {
    CDocument::SetPathName(path, addToMRU);
    std::string title = m_strPathName;
    if (IsModified())
        title += " *";
    SetTitle(title.c_str());
    if (!g_monitor || !g_monitor->IsWatched(m_watchId))
        WatchFile();
    if (g_host)
        g_host->OnDocumentRenamed(this, m_strPathName.c_str());
}

void CTextEditDoc::WatchFile() {
    m_watchId = 0;
    if (g_monitor && !m_strPathName.empty())
        m_watchId = g_monitor->AddWatch(m_strPathName.c_str(), this);
}

void CTextEditDoc::UnwatchFile() {
    if (g_monitor && m_watchId)
        g_monitor->RemoveWatch(m_watchId);
    m_watchId = 0;
}

void CTextEditDoc::OnChangedViewList() {
    // The first two views that can split lines become the engine's attached views.
    IFxDocView* attached[2] = {nullptr, nullptr};
    int count = 0;
    for (CView* view : GetViews()) {
        if (IFxDocView* docView = dynamic_cast<IFxDocView*>(view)) {
            attached[count++] = docView;
            if (count == 2)
                break;
        }
    }
    SetAttachedViews(attached[0], attached[1]);
    CDocument::OnChangedViewList(); // may delete this document: nothing may follow
}

// --- Opening --------------------------------------------------------------------------------

bool CTextEditDoc::OnNewDocument() {
    if (!CDocument::OnNewDocument())
        return false;
    return InitDocument(nullptr);
}

bool CTextEditDoc::OnOpenDocument(const char* path) {
    m_restoredText = false; // the file's own text from now on
    if (!AgreeToOpenLargeFile(path))
        return false;
    if (!CDocument::OnOpenDocument(path))
        return false;
    if (!InitDocument(path))
        return false;
    m_lossyAccepted = false;
    if (IsLoadLossy()) {
        std::string text = AfxFormatString1(IDS_DOC_LOSSY_OPEN, path);
        AfxMessageBox(text.c_str(), MB_OK | MB_ICONWARNING);
    }
    return true;
}

void CTextEditDoc::Serialize(CArchive& ar) {
    // A load or save that ends early (an error, Esc) takes its progress off the status bar.
    struct ProgressEnd {
        UINT& label;
        ~ProgressEnd() {
            if (label && g_host)
                g_host->ShowStatusProgress(label, -1, 100);
            label = 0;
        }
    } progressEnd{m_progressLabel};
    FxArchive fx;
    fx.file = ar.GetFileHandle();
    fx.length = ar.GetFileLength();
    fx.loading = ar.IsLoading();
    if (fx.loading && fx.length > kMaxFileBytes)
        AfxThrowFileException(CFileException::invalidFile, ERROR_FILE_TOO_LARGE);
    // A failed conversion has been reported through OnDocEvent: the open fails, and a save
    // is aborted so that the mirror file never replaces the target.
    bool done = false;
    try {
        done = CFxEditDoc::Serialize(fx);
    } catch (const FxCancelled&) {
        // The framework drops the mirror file; the save flow tells the user.
        if (!fx.loading)
            m_saveCancelled = true;
        throw;
    } catch (const FxLineTooLong&) {
        // Said here with the reason, not as the system's "file too large".
        const std::string path = ar.GetFile() ? ar.GetFile()->GetFilePath() : GetPathName();
        std::string text = AfxFormatString1(IDS_DOC_LINE_TOO_LONG, path.c_str());
        AfxMessageBox(text.c_str(), MB_OK | MB_ICONSTOP);
        AfxThrowUserException();
    }
    if (!done)
        AfxThrowUserException();
}

bool CTextEditDoc::InitDocument(const char* path) {
    CFxEditDoc::InitDocument(0);
    AttachFileType(path);
    ReadReadOnlyAttribute(path);
    return true;
}

void CTextEditDoc::ReadReadOnlyAttribute(const char* path) {
    SettingsStore* settings = GetSettings();
    bool protect = settings ? settings->FileChange().protectReadOnly : true;
    if (path && *path && protect) {
        DWORD attrs = GetFileAttributesA(path);
        SetReadOnly(attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY));
    }
}

void CTextEditDoc::AttachFileType(const char* path) {
    SettingsStore* settings = GetSettings();
    if (!settings)
        return;
    bool first = m_fileType == nullptr;
    // A type whose template cannot be loaded must not keep its files from opening: they are
    // shown as "Default" instead.
    const FileTypeInfo* type = settings->FindFileType(path ? path : "");
    if (!type && !settings->FileTypes().empty()) {
        FileTypeInfo& fallback = settings->FileTypes().front();
        if (settings->EnsureLoaded(fallback))
            type = &fallback;
    }
    m_fileType = type;
    if (!type)
        return;
    // The document shows what its type asks for.
    m_showRuler = type->ruler != 0;
    m_showLineNumbers = type->lineNumber != 0;
    m_showLineBreaks = type->lineBreak != 0;
    m_showWhitespace = type->whitespace != 0;
    if (first) {
        if (type->wrapOnLoad)
            SetWrap(type->wrapStyle, type->wrapWidth);
        else
            SetWrap(0, 0);
    }
}

// --- Saving ---------------------------------------------------------------------------------

bool CTextEditDoc::SaveModified() {
    if (!IsModified())
        return true;
    std::string prompt = AfxFormatString1(AFX_IDP_ASK_TO_SAVE, NameForMessages().c_str());
    switch (AfxMessageBox(prompt.c_str(), MB_YESNOCANCEL | MB_ICONQUESTION, AFX_IDP_ASK_TO_SAVE)) {
    case IDCANCEL:
        return false;
    case IDYES:
        return DoFileSave();
    default:
        return true;
    }
}

void CTextEditDoc::OfferSaveAs(const std::string& filter, const std::string& ext,
                               const std::string& folder) {
    m_saveFilter = filter;
    m_saveExt = ext;
    m_saveFolder = folder;
}

bool CTextEditDoc::PromptSaveName(std::string& path, int& encoding, int& lineEnd, bool copy) {
    std::string filter;
    if (SettingsStore* settings = GetSettings())
        filter = settings->FileDialogFilter();
    filter = m_saveFilter + filter;
    std::string ext = m_saveExt;
    // A new library is proposed under its own extension.
    if (!m_saveExt.empty() && m_strPathName.empty())
        path = FxPathBaseName(path) + "." + m_saveExt;
    if (ext.empty() && m_pDocTemplate)
        m_pDocTemplate->GetDocString(ext, CDocTemplate::filterExt);
    size_t semicolon = ext.find(';');
    if (semicolon != std::string::npos)
        ext.resize(semicolon);
    while (!ext.empty() && (ext[0] == '*' || ext[0] == '.'))
        ext.erase(0, 1);
    CDlgFile dialog(false, ext.empty() ? nullptr : ext.c_str(), path.c_str(),
                    OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST,
                    filter.empty() ? nullptr : filter.c_str());
    if (!m_saveFolder.empty() && m_strPathName.empty())
        dialog.m_ofn.lpstrInitialDir = m_saveFolder.c_str();
    std::string title = AfxLoadString(AFX_IDS_SAVEFILE);
    if (!copy)
        dialog.m_ofn.lpstrTitle = title.c_str();
    dialog.m_encoding = encoding;
    dialog.m_lineEnd = lineEnd;
    if (dialog.DoModal() != IDOK)
        return false;
    path = dialog.ChosenPath();
    encoding = dialog.m_encoding;
    lineEnd = dialog.m_lineEnd;
    return !path.empty();
}

bool CTextEditDoc::DoSave(const char* path, bool replace) {
    std::string target = path ? path : "";
    int encoding = Encoding(), lineEnd = LineEndType();
    const bool saveAs = target.empty();
    if (saveAs) {
        target = ProposedSaveName();
        if (!PromptSaveName(target, encoding, lineEnd, !replace))
            return false;
        DWORD attrs = GetFileAttributesA(target.c_str());
        if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY)) {
            std::string text = AfxFormatString1(IDS_SAVE_TARGET_READONLY, target.c_str());
            AfxMessageBox(text.c_str(), MB_OK | MB_ICONWARNING);
            return false;
        }
    }
    // Characters replaced while loading cannot be written back: overwriting the original
    // loses them, so ask first; No leaves the file untouched.
    if (IsLoadLossy() && !m_lossyAccepted && !m_strPathName.empty() &&
        FxSamePath(target, m_strPathName)) {
        std::string text = AfxFormatString1(IDS_DOC_LOSSY_SAVE, m_strPathName.c_str());
        if (AfxMessageBox(text.c_str(), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
            return false;
    }

    const bool existedBefore = CFile::Exists(target.c_str());
    // Our own write must not come back as a change made by another program.
    UnwatchFile();
    if (!saveAs) {
        SettingsStore* settings = GetSettings();
        if (settings)
            BackupBeforeSave(target.c_str(), settings->Backup().backupPath.c_str(),
                             settings->Backup().backupFileOnSave);
    }
    const int oldEncoding = Encoding(), oldLineEnd = LineEndType();
    SetEncoding(encoding);
    SetLineEndType(lineEnd);

    bool saved;
    const bool restoredText = m_restoredText;
    m_saveCancelled = false;
    {
        // A restored text becomes the file's once it is written there.
        m_restoredText = false;
        CWaitCursor wait;
        saved = OnSaveDocument(target.c_str()); // reports its own failures
    }
    if (!saved || !replace)
        m_restoredText = restoredText;
    if (saved) {
        if (replace) {
            m_lossyAccepted = true; // the document's file now holds exactly this text
            // An encoding forced at open described the old file: reloads read what was written.
            if (RequestedEncoding() != FxEncDetect)
                SetRequestedEncoding(encoding);
            bool renamed = !FxSamePath(target, m_strPathName);
            SetPathName(target.c_str());
            if (renamed) {
                // The new name may be of another type, and the new file is not the old one's
                // read-only attribute: both views take the type with its switches.
                AttachFileType(target.c_str());
                ReadReadOnlyAttribute(target.c_str());
                CFxEditView* first = dynamic_cast<CFxEditView*>(FirstView());
                if (first && first->m_hWnd)
                    first->ApplyFileType(m_fileType);
                else
                    UpdateAllViews(nullptr);
            }
        } else {
            // A copy leaves the document with its own file, in that file's encoding.
            SetEncoding(oldEncoding);
            SetLineEndType(oldLineEnd);
            WatchFile();
        }
        return true;
    }
    SetEncoding(oldEncoding);
    SetLineEndType(oldLineEnd);
    // Only a file that this save created goes; one the user chose to overwrite was kept
    // intact by the mirror file.
    if (saveAs && !existedBefore && CFile::Exists(target.c_str()))
        DeleteFileA(target.c_str());
    WatchFile();
    // Said after the progress has left the status bar, which puts the idle prompt back.
    if (m_saveCancelled && g_host)
        g_host->ShowStatusMessage(AfxLoadString(IDS_DOC_SAVE_CANCELLED).c_str());
    return false;
}

// --- Events ---------------------------------------------------------------------------------

bool CTextEditDoc::OnFileProgress(bool saving, int percent) {
    const UINT label = saving ? IDS_DOC_SAVING : IDS_DOC_LOADING;
    m_progressLabel = percent < 100 ? label : 0;
    if (g_host)
        g_host->ShowStatusProgress(label, percent, 100);
    return !EscapeWaiting();
}

void CTextEditDoc::OnDocEvent(int code, int arg) {
    switch (code) {
    case FxEvReadOnly:
        if (g_host)
            g_host->ShowStatusMessage(AfxLoadString(IDS_DOC_READONLY).c_str());
        break;
    case FxEvSearchWrapped:
        if (g_host)
            g_host->ShowStatusMessage(
                AfxLoadString(arg == -1 ? IDS_SEARCH_WRAPPED_END : IDS_SEARCH_WRAPPED_START)
                    .c_str());
        break;
    case FxEvWrapProgress:
        if (g_host)
            g_host->ShowStatusProgress(IDS_DOC_FORMATTING, arg, 100);
        break;
    case FxEvSeriousError:
        ShowStop(IDS_DOC_SERIOUS_ERROR);
        break;
    case FxEvInternalError:
        ShowStop(IDS_DOC_INTERNAL_ERROR);
        break;
    case FxEvOutOfMemory:
        ShowStop(AFX_IDP_FAILED_MEMORY_ALLOC);
        break;
    case FxEvOutOfResources:
        ShowStop(AFX_IDP_FAILED_RESOURCE);
        break;
    case FxEvLoadConversion:
        ShowStop(IDS_DOC_LOAD_CONVERSION);
        break;
    case FxEvSaveConversion:
        ShowStop(IDS_DOC_SAVE_CONVERSION);
        break;
    default:
        break;
    }
}

// --- Reloading ------------------------------------------------------------------------------

void CTextEditDoc::OnReloadCommand() {
    if (m_strPathName.empty())
        return;
    std::string text = AfxFormatString1(IDS_DOC_RELOAD_CONFIRM, m_strPathName.c_str());
    if (AfxMessageBox(text.c_str(), MB_OKCANCEL | MB_ICONWARNING | MB_DEFBUTTON2) == IDOK)
        Reload();
}

void CTextEditDoc::OnFileChangedOnDisk() {
    if (m_strPathName.empty())
        return;
    SettingsStore* settings = GetSettings();
    bool autoReload = settings && settings->FileChange().autoReload;
    if (IsModified()) {
        // Edits made here would be lost: never without asking, No being the default.
        std::string text = AfxFormatString1(IDS_DOC_RELOAD_MODIFIED, m_strPathName.c_str());
        if (AfxMessageBox(text.c_str(), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
            return;
    } else if (!autoReload) {
        std::string text = AfxFormatString1(IDS_FILE_CHANGED_RELOAD, m_strPathName.c_str());
        if (AfxMessageBox(text.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
    }
    Reload();
}

struct CTextEditDoc::KeptText {
    FxMappedBuffer text; // the whole text with the document's line ends; closed when empty
    size_t size = 0;
    int lineEnd = FxLineEndDos, encoding = FxEncAnsi, requested = FxEncDetect;
    bool modified = false, lossy = false;
    std::vector<int32_t> bookmarks; // logical lines
};

bool CTextEditDoc::Reload() {
    if (m_strPathName.empty())
        return false;
    // Pages being printed or previewed point into the text: a preview closes first, a print
    // run keeps the text as it is.
    if (!CPreviewView::ReleaseDocument(this))
        return false;
    const std::string path = m_strPathName;
    // The framework's open step empties the document before it reads; a file that cannot be
    // read now (locked, gone, not convertible) must not cost the text the document has, so it
    // is read once on the side first.
    try {
        CFxEditDoc probe;
        probe.SetRequestedEncoding(RequestedEncoding());
        if (!LoadDocumentFile(probe, path.c_str())) {
            OnDocEvent(FxEvLoadConversion, 0);
            return false;
        }
    } catch (...) {
        AfxReportCurrentException();
        return false;
    }

    // The file may change or vanish after the probe, and memory may run short: the open step
    // then fails with the document emptied, and an empty modified document would be saved over
    // the file. The text is kept aside and put back.
    KeptText saved;
    try {
        KeepText(saved);
    } catch (...) {
        AfxReportCurrentException();
        return false;
    }

    struct Kept {
        ITextDocReloadView* view;
        int32_t line, col;
    };
    std::vector<Kept> views;
    for (CView* view : GetViews()) {
        if (ITextDocReloadView* rv = dynamic_cast<ITextDocReloadView*>(view)) {
            Kept kept = {rv, 0, 0};
            rv->BeginReload(kept.line, kept.col);
            views.push_back(kept);
            if (views.size() == 2)
                break;
        }
    }
    const bool readOnly = IsReadOnly();
    const int wrapMode = WrapMode(), wrapColumn = WrapColumn();

    const bool opened = OnOpenDocument(path.c_str());
    if (!opened && RecordCount() == 0) {
        try {
            RestoreText(saved);
        } catch (...) {
            // Nothing to put back: at least nothing is saved over the file unasked.
            SetModifiedFlag(false);
            AfxReportCurrentException();
        }
    }
    SetWrap(0, 0);
    if (readOnly)
        SetReadOnly(true);
    UpdateAllViews(nullptr);
    for (Kept& kept : views) {
        int32_t line = kept.line, col = kept.col;
        if (IsValidLine(line)) {
            col = std::min(std::max(col, 0), GetLineLength(line));
        } else {
            line = 0;
            col = 0;
        }
        kept.view->EndReload(line, col);
    }
    if (!views.empty())
        views.front().view->RestoreWrap(wrapMode, wrapColumn);
    else
        SetWrap(wrapMode, wrapColumn);
    return opened;
}

void CTextEditDoc::KeepText(KeptText& kept) const {
    kept.lineEnd = LineEndType();
    kept.encoding = Encoding();
    kept.requested = RequestedEncoding();
    kept.modified = IsModified();
    kept.lossy = IsLoadLossy();
    if (RecordCount() == 0)
        return;
    const FxTextPos start(0, 0), end = EndPos();
    const FxSize size = MeasureText(start, end, kept.lineEnd);
    if (size > 0 && kept.text.OpenAnonymous(static_cast<size_t>(size)))
        kept.size = static_cast<size_t>(CopyText(start, end, kept.text.Data(), size, kept.lineEnd));
    for (int32_t line = 0; line < LogicalLineCount(); ++line) {
        FxTextPos head(0, line);
        LogicalToPiece(head);
        if (Record(head.line).flags & FXL_BOOKMARK)
            kept.bookmarks.push_back(line);
    }
}

void CTextEditDoc::RestoreText(const KeptText& kept) {
    DeleteContents();
    LoadAnsi(kept.size > 0 ? kept.text.Data() : "", kept.size);
    SetLineEndType(kept.lineEnd);
    SetEncoding(kept.encoding);
    SetRequestedEncoding(kept.requested);
    SetLoadLossy(kept.lossy);
    // Loaded unwrapped: a logical line is its own record.
    for (int32_t line : kept.bookmarks)
        if (line < RecordCount())
            RecordRef(line).flags |= FXL_BOOKMARK;
    SetBookmarkCount(static_cast<int>(kept.bookmarks.size()));
    SetModifiedFlag(kept.modified);
}

CTextEditDoc* CTextEditDoc::FromChangeNotice(WPARAM wParam, LPARAM lParam,
                                             const std::vector<CDocument*>& openDocs) {
    // The owner is compared, never dereferenced: it may be gone.
    const void* owner = reinterpret_cast<const void*>(wParam);
    UINT id = static_cast<UINT>(lParam);
    if (!owner || id == 0)
        return nullptr;
    for (CDocument* doc : openDocs) {
        CTextEditDoc* text = DynamicDowncast<CTextEditDoc>(doc);
        if (text && static_cast<const void*>(text) == owner)
            return text->m_watchId == id ? text : nullptr;
    }
    return nullptr;
}
