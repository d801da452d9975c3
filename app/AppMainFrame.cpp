// The editor's main frame. Layer: app/.
#include "app/AppMainFrame.h"

#include "app/App.h"
#include "app/AppIds.h"
#include "app/CommandIds.h"
#include "app/DlgFile.h"
#include "app/FileChangeMonitor.h"
#include "app/RecoveryManager.h"
#include "app/ShellIds.h"
#include "app/TextEditDoc.h"
#include "app/TextEditTemplate.h"
#include "app/TextEditView.h"
#include "settings/SettingsIds.h"
#include "dialogs/DlgAsFrame.h"
#include "dialogs/DlgIds.h"
#include "common/OutputJob.h"
#include "common/PathName.h"
#include "common/UiResources.h"
#include "framework/CmdUI.h"
#include "framework/FwIds.h"
#include "framework/MDIChildWnd.h"
#include "framework/MessageBox.h"
#include "framework/ResourceText.h"
#include "framework/ToolTipText.h"

#include <dbt.h>
#include <shellapi.h>

#include <cstring>

namespace {
CAppMainFrame* g_mainFrame = nullptr;
// The open dialog's name buffer: room for many selected files.
const size_t kOpenNameBuffer = 26000;
const int kMaxShortcutText = 32;
} // namespace

const UINT CAppMainFrame::kIndicators[7] = {
    0,
    ID_INDICATOR_POSITION,
    ID_INDICATOR_CHAR,
    ID_INDICATOR_SIZE,
    ID_INDICATOR_TYPE,
    ID_INDICATOR_OVERWRITE,
    ID_INDICATOR_READONLY,
};

IMPLEMENT_DYNCREATE(CAppMainFrame, CMDIFrameWnd)

BEGIN_MESSAGE_MAP(CAppMainFrame, CMDIFrameWnd)
ON_WM_CREATE()
ON_WM_CLOSE()
ON_WM_DESTROY()
ON_WM_SIZE()
ON_WM_TIMER()
ON_WM_INITMENUPOPUP()
ON_WM_GETMINMAXINFO()
ON_MESSAGE(FileChangeMonitor::kFileChangedMessage, OnFileChangedMessage)
ON_MESSAGE(CAppMainFrame::kTrayMessage, OnTrayNotify)
ON_MESSAGE(WM_DPICHANGED, OnDpiChanged)
ON_MESSAGE(CAppMainFrame::kRecoveryOfferMessage, OnRecoveryOffer)
ON_MESSAGE(CAppMainFrame::kReleaseChannelMessage, OnReleaseChannelMessage)
ON_MESSAGE(WM_DRAWCLIPBOARD, OnDrawClipboard)
ON_WM_CHANGECBCHAIN()
ON_WM_DEVICECHANGE()
ON_WM_SYSCOLORCHANGE()
ON_MESSAGE(WM_SETTINGCHANGE, OnSettingChange)
ON_MESSAGE(WM_QUERYENDSESSION, OnQueryEndSession)
ON_MESSAGE(WM_ENDSESSION, OnEndSession)
ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
ON_COMMAND(ID_FILE_SAVE_ALL, OnFileSaveAll)
ON_UPDATE_COMMAND_UI(ID_FILE_SAVE_ALL, OnUpdateNeedsChild)
ON_COMMAND(ID_FILE_PRINT_ALL, OnFilePrintAll)
ON_UPDATE_COMMAND_UI(ID_FILE_PRINT_ALL, OnUpdateNeedsChild)
ON_COMMAND(ID_WINDOW_CLOSE_ALL, OnWindowCloseAll)
ON_UPDATE_COMMAND_UI(ID_WINDOW_CLOSE_ALL, OnUpdateNeedsChild)
ON_COMMAND(ID_VIEW_STATUS_BAR, OnViewStatusBar)
ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, OnUpdateViewStatusBar)
ON_COMMAND_RANGE(ID_VIEW_TOOLBAR, ID_VIEW_OUTPUT, OnViewBar)
ON_UPDATE_COMMAND_UI_RANGE(ID_VIEW_TOOLBAR, ID_VIEW_OUTPUT, OnUpdateViewBar)
ON_COMMAND(ID_VIEW_FILETREE, OnViewFileTree)
ON_COMMAND(ID_VIEW_CLIPTEXT, OnViewClipText)
ON_UPDATE_COMMAND_UI(ID_VIEW_FILETREE, OnUpdateViewPage)
ON_UPDATE_COMMAND_UI(ID_VIEW_CLIPTEXT, OnUpdateViewPage)
ON_COMMAND(ID_VIEW_FULLSCREEN, OnViewFullScreen)
ON_UPDATE_COMMAND_UI(ID_VIEW_FULLSCREEN, OnUpdateViewFullScreen)
ON_COMMAND(ID_TOOLS_SETTINGS, OnToolsSettings)
ON_COMMAND(ID_TOOLS_USER_TOOLS, OnToolsUserTools)
ON_COMMAND(ID_FILE_PRINT_SETUP, OnFilePrintSetup)
ON_COMMAND(ID_HELP_ABOUT, OnHelpAbout)
ON_COMMAND(ID_HELP_TEMPLATE_RULES, OnHelpTemplateRules)
ON_COMMAND(ID_SEARCH_FIND_IN_FILES, OnFindInFiles)
ON_COMMAND(ID_SEARCH_REPLACE_IN_FILES, OnReplaceInFiles)
ON_UPDATE_COMMAND_UI(ID_SEARCH_FIND_IN_FILES, OnUpdateFindInFiles)
ON_UPDATE_COMMAND_UI(ID_SEARCH_REPLACE_IN_FILES, OnUpdateFindInFiles)
ON_COMMAND_RANGE(ID_TOOL_FIRST, ID_TOOL_LAST, OnUserTool)
ON_UPDATE_COMMAND_UI_RANGE(ID_TOOL_FIRST, ID_TOOL_LAST, OnUpdateUserTool)
ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFF, OnToolTipText)
ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, OnToolTipText)
END_MESSAGE_MAP()

CAppMainFrame::CAppMainFrame() {
    g_mainFrame = this;
    m_placement.length = sizeof m_placement;
    for (int i = 0; i < kOutputChannels; ++i)
        m_channels[i].key = i + 1;
    m_workspaceBar.ClipText().SetHost(this);
}

CAppMainFrame::~CAppMainFrame() {
    // The window and its panes are gone: a job thread's text send fails at once now, so
    // waiting for the jobs cannot block on the user-interface thread.
    StopAllOutputJobs();
    if (g_mainFrame == this)
        g_mainFrame = nullptr;
}

bool CAppMainFrame::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!CMDIFrameWnd::PreCreateWindow(cs))
        return false;
    cs.dwExStyle |= WS_EX_ACCEPTFILES; // dropped files are opened by the framework
    ReadPlacement(cs);
    return true;
}

bool CAppMainFrame::PreTranslateMessage(MSG* msg) {
    if (m_fullScreen && msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) {
        SetFullScreen(false);
        return true;
    }
    // F4 opens the next error line's file: not from a window of a bar that keeps its keys,
    // nor while a print preview shows.
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_F4 && GetKeyState(VK_CONTROL) >= 0 &&
        GetKeyState(VK_MENU) >= 0 && !IsInPreviewMode() && !IsBarWindowKey(msg)) {
        const bool shift = GetKeyState(VK_SHIFT) < 0;
        SettingsStore* settings = AppSettings();
        const uint32_t code = VK_F4 | (shift ? 0x04u << 16 : 0u);
        // A shortcut the user gave to F4 comes first.
        if (!settings || settings->KeyMap().count(code) == 0) {
            if (!StepErrorLine(shift ? -1 : 1))
                ::MessageBeep(MB_OK);
            return true;
        }
    }
    return CMDIFrameWnd::PreTranslateMessage(msg);
}

bool CAppMainFrame::IsCommandAvailableInPreview(UINT id) const {
    if (id == ID_HELP_ABOUT || id == ID_HELP_TEMPLATE_RULES)
        return true;
    for (UINT indicator : kIndicators)
        if (indicator != 0 && id == indicator)
            return true;
    return CMDIFrameWnd::IsCommandAvailableInPreview(id);
}

// --- Creation and closing -------------------------------------------------------------------

int CAppMainFrame::OnCreate(LPCREATESTRUCTA cs) {
    if (CMDIFrameWnd::OnCreate(cs) == -1)
        return -1;
    ReadBarTable();
    if (!CreateBars())
        return -1;
    InstallErrorLineReaders();
    m_status.SetSimple(true);
    SetMessageText(AFX_IDS_IDLEMESSAGE);
    CTextEditDoc::SetHost(this);
    ApplyEditorDisplaySettings(false);
    m_channelWindow = m_hWnd;
    return 0;
}

void CAppMainFrame::ApplyEditorDisplaySettings(bool fontRecreated) {
    SettingsStore* settings = AppSettings();
    if (!settings)
        return;
    CFxEditView::ApplyDisplaySettings(settings->GetFont(kEditorFontId),
                                      settings->General().lineSpacing,
                                      settings->General().lineNumberAndTextSpacing, fontRecreated);
}

void CAppMainFrame::OnClose() {
    // The documents are asked about and closed as the user sees them, not under a preview
    // that still holds one of them.
    ClosePreview();
    CApp* app = AppGetApp();
    SettingsStore* settings = AppSettings();
    if (settings)
        settings->SaveReopenList(*this);
    // The auto-save timer keeps running until the close is certain; its ticks are skipped
    // while the save prompts are up, and a Cancel leaves it as it was.
    m_closing = true;
    const bool agreed = !app || app->CWinApp::SaveAllModified();
    m_closing = false;
    if (!agreed)
        return;
    KillTimer(kAutoSaveTimer);
    if (app)
        app->CloseAllDocuments(false);
    // A normal end leaves no recovery copies behind.
    KillTimer(kRecoveryTimer);
    if (RecoveryManager* recovery = AppRecovery())
        recovery->EndNormally();
    // The bars are written while every one of them still exists: a floating bar's mini
    // frame goes before the frame's own WM_DESTROY.
    SaveBarTable();
    if (m_hWnd)
        DestroyWindow();
}

void CAppMainFrame::OnDestroy() {
    // Job threads ending from now on leave their channels marked: nobody acquires one again,
    // and the frame's destructor waits for every job that still holds one.
    m_channelWindow = nullptr;
    // A window that goes without leaving the chain would cut it for every viewer after it.
    SetAutoPasteTarget(nullptr);
    RemoveTrayIcon();
    SaveBarTable();
    CTextEditDoc::SetHost(nullptr);
    if (SettingsStore* settings = AppSettings())
        settings->SetMainFrame(nullptr);
    CMDIFrameWnd::OnDestroy();
}

// --- The active document ---------------------------------------------------------------------

CTextEditView* CAppMainFrame::GetActiveTextView() {
    CMDIChildWnd* child = MDIGetActive();
    return child ? DynamicDowncast<CTextEditView>(child->GetActiveView()) : nullptr;
}

CTextEditDoc* CAppMainFrame::GetActiveTextDoc() {
    CTextEditView* view = GetActiveTextView();
    return view ? view->GetTextDoc() : nullptr;
}

std::vector<CTextEditDoc*> CAppMainFrame::TextDocuments() const {
    std::vector<CTextEditDoc*> docs;
    CApp* app = AppGetApp();
    if (app && app->GetDocTemplate())
        for (CDocument* doc : app->GetDocTemplate()->GetDocuments())
            if (CTextEditDoc* text = DynamicDowncast<CTextEditDoc>(doc))
                docs.push_back(text);
    return docs;
}

namespace {

CTextEditView* FirstTextView(CDocument* doc) {
    for (CView* view : doc->GetViews())
        if (CTextEditView* text = DynamicDowncast<CTextEditView>(view))
            return text;
    return nullptr;
}

} // namespace

// --- Status bar --------------------------------------------------------------------------------

void CAppMainFrame::SetDocumentMode(bool hasDocument) {
    if (m_status.m_hWnd)
        m_status.SetSimple(!hasDocument);
}

void CAppMainFrame::OnDocumentRemoved(CDocument* doc) {
    // Closed: saved, or its changes given up; either way its recovery copy goes.
    if (RecoveryManager* recovery = AppRecovery())
        recovery->OnDocumentClosed(doc);
    // A closed document stops automatic pasting.
    if (doc && static_cast<CDocument*>(m_pasteTarget) == doc)
        SetAutoPasteTarget(nullptr);
    RemoveDocumentTab(doc);
}

void CAppMainFrame::DropClientScrollBars() {
    bool maximized = false;
    if (m_hWndMDIClient && MDIGetActive(&maximized) && maximized)
        ::ShowScrollBar(m_hWndMDIClient, SB_BOTH, FALSE);
}

void CAppMainFrame::ShowStatusMessage(const char* text) {
    if (m_status.m_hWnd)
        m_status.ShowMessage(text);
}

void CAppMainFrame::ShowStatusProgress(UINT labelId, int position, int maximum) {
    if (!m_status.m_hWnd)
        return;
    m_status.SetProgress(labelId, position, maximum);
    if (position == -1 || position >= maximum)
        m_status.SetPaneText(0, AfxLoadString(AFX_IDS_IDLEMESSAGE).c_str());
}

void CAppMainFrame::OnDocumentRenamed(CTextEditDoc* doc, const char* path) {
    RenameDocumentTab(doc, path);
}

void CAppMainFrame::OnDocumentStateChanged(CTextEditDoc* doc, int state) {
    SetDocumentTabState(doc, state);
    // Saved, reloaded or undone to the saved text: its recovery copy is no longer needed.
    if (state == StateUnmodified)
        if (RecoveryManager* recovery = AppRecovery())
            recovery->OnDocumentUnmodified(doc);
}

void CAppMainFrame::OnViewStatusBar() {
    ShowControlBar(&m_status, !m_status.IsVisible(), false);
}

void CAppMainFrame::OnUpdateViewStatusBar(CCmdUI* cmdUI) {
    cmdUI->SetCheck(m_status.m_hWnd && m_status.IsVisible() ? 1 : 0);
}

// --- Document switch bar and toolbar ------------------------------------------------------------

bool CAppMainFrame::CreateToolBar(DWORD alignment, bool visible) {
    if (!m_toolbar.Create(this, alignment, visible))
        return false;
    m_toolbar.SetWindowText(AfxLoadString(IDS_TOOLBAR_STANDARD).c_str());
    if (SettingsStore* settings = AppSettings()) {
        ToolbarButtonSet& set = settings->Toolbar();
        if (!set.loaded)
            settings->LoadToolbar();
        settings->ApplyToolbarLayout(m_toolbar.m_hWnd, set.layout, set.layoutCount);
    }
    m_toolbar.OnButtonsReplaced();
    return m_toolbar.m_hWnd != nullptr;
}

bool CAppMainFrame::CreateSwitchBar(DWORD style) {
    if (!m_switch.Create(this, CBarSwitch::kBarId, style))
        return false;
    m_switch.SetWindowText(AfxLoadString(IDS_SWITCHBAR_TITLE).c_str());
    m_switch.SetImageList(SharedUi().IsInitialised() ? SharedUi().m_docImages : nullptr,
                          SIZE{CUiResources::kImageSize, CUiResources::kImageSize});
    return m_switch.m_hWnd != nullptr;
}

int CAppMainFrame::SwitchBarImage(int state) {
    // The document image list holds the plain document first, the modified one second.
    return state == ITextDocHost::StateModified ? 1 : 0;
}

std::string CAppMainFrame::DocumentTabLabel(CDocument* doc) {
    const std::string& path = doc->GetPathName();
    if (path.empty()) {
        // The title without the modified marker.
        std::string title = doc->GetTitle();
        if (title.size() >= 2 && title.compare(title.size() - 2, 2, " *") == 0)
            title.resize(title.size() - 2);
        return title;
    }
    return FxPathFileName(path);
}

void CAppMainFrame::AddDocumentTab(CDocument* doc) {
    if (!doc || !m_switch.m_hWnd)
        return;
    int index = m_switch.FindItem(doc);
    if (index < 0) {
        const bool modified = doc->IsModified();
        index = m_switch.InsertItem(
            -1, DocumentTabLabel(doc).c_str(),
            SwitchBarImage(modified ? ITextDocHost::StateModified : ITextDocHost::StateUnmodified),
            doc);
    } else {
        m_switch.SelectItem(index);
    }
}

void CAppMainFrame::RemoveDocumentTab(CDocument* doc) {
    if (!m_switch.m_hWnd)
        return;
    // A document is never listed twice, but a stale cell must not survive either.
    for (int index = m_switch.FindItem(doc); index >= 0; index = m_switch.FindItem(doc))
        m_switch.RemoveItem(index);
}

void CAppMainFrame::SelectDocumentTab(CDocument* doc) {
    if (!m_switch.m_hWnd)
        return;
    const int index = m_switch.FindItem(doc);
    if (index >= 0)
        m_switch.SelectItem(index);
}

void CAppMainFrame::RenameDocumentTab(CDocument* doc, const char*) {
    const int index = m_switch.m_hWnd ? m_switch.FindItem(doc) : -1;
    if (index < 0)
        return;
    m_switch.SetItemText(index, DocumentTabLabel(doc).c_str());
    m_switch.Invalidate(false);
}

void CAppMainFrame::SetDocumentTabState(CDocument* doc, int state) {
    const int index = m_switch.m_hWnd ? m_switch.FindItem(doc) : -1;
    if (index >= 0)
        m_switch.SetItemImage(index, SwitchBarImage(state));
}

// --- Menus -------------------------------------------------------------------------------------

std::string CAppMainFrame::UndoName(bool redo) {
    CTextEditView* view = GetActiveTextView();
    if (!view || !view->GetEditDoc())
        return AfxLoadString(redo ? IDS_REDO : IDS_UNDO);
    const int action =
        redo ? view->GetEditDoc()->GetRedoAction() : view->GetEditDoc()->GetUndoAction();
    const UINT none = redo ? IDS_REDO_NONE : IDS_UNDO_NONE;
    if (action < FxUndoTyping || action >= FxUndoActionCount)
        return AfxLoadString(none);
    return AfxLoadStringOr(none + static_cast<UINT>(action), AfxLoadString(none).c_str());
}

void CAppMainFrame::UpdateMenuTexts(HMENU popup) {
    SettingsStore* settings = AppSettings();
    const int count = GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        char text[260] = "";
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_TYPE | MIIM_ID | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = sizeof text;
        if (!GetMenuItemInfoA(popup, static_cast<UINT>(i), TRUE, &info))
            continue;
        if ((info.fType & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW)) || info.hSubMenu ||
            info.wID == 0)
            continue;
        std::string updated;
        if (info.wID == ID_EDIT_UNDO || info.wID == ID_EDIT_REDO) {
            updated = UndoName(info.wID == ID_EDIT_REDO);
        } else {
            updated = text;
            size_t tab = updated.rfind('\t');
            if (tab != std::string::npos)
                updated.resize(tab + 1);
        }
        char shortcut[kMaxShortcutText + 1];
        if (settings && settings->ShortcutText(info.wID, shortcut, sizeof shortcut)) {
            if (updated.find('\t') == std::string::npos)
                updated += '\t';
            updated += shortcut;
        }
        if (updated == text)
            continue;
        MENUITEMINFOA change = {};
        change.cbSize = sizeof change;
        change.fMask = MIIM_TYPE;
        change.fType = info.fType;
        change.dwTypeData = const_cast<char*>(updated.c_str());
        SetMenuItemInfoA(popup, static_cast<UINT>(i), TRUE, &change);
    }
}

void CAppMainFrame::GetMessageString(UINT id, std::string& message) const {
    if (id >= ID_TOOL_FIRST && id < ID_TOOL_FIRST + 256) {
        message.clear();
        SettingsStore* settings = AppSettings();
        const size_t index = id - ID_TOOL_FIRST;
        if (settings && index < settings->Tools().size())
            message = settings->Tools()[index].command;
        return;
    }
    if (id >= ID_DATETIME_FIRST && id <= ID_DATETIME_LAST)
        id = ID_INSERT_DATETIME;
    else if (id >= ID_VIEWAS_FIRST && id < ID_VIEWAS_LIMIT)
        id = ID_VIEW_AS;
    CMDIFrameWnd::GetMessageString(id, message);
}

bool CAppMainFrame::OnToolTipText(UINT id, NMHDR* hdr, LRESULT* result) {
    UINT_PTR command = hdr->idFrom;
    const bool wide = hdr->code == TTN_NEEDTEXTW;
    const UINT flags = wide ? reinterpret_cast<NMTTDISPINFOW*>(hdr)->uFlags
                            : reinterpret_cast<NMTTDISPINFOA*>(hdr)->uFlags;
    if (flags & TTF_IDISHWND)
        command = static_cast<UINT_PTR>(::GetDlgCtrlID(reinterpret_cast<HWND>(command)));
    if (command != ID_EDIT_UNDO && command != ID_EDIT_REDO)
        return CMDIFrameWnd::OnToolTipText(id, hdr, result);
    AfxSetToolTipText(hdr, UndoName(command == ID_EDIT_REDO).c_str());
    *result = 0;
    ::SetWindowPos(hdr->hwndFrom, HWND_TOP, 0, 0, 0, 0,
                   SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOMOVE | SWP_NOOWNERZORDER);
    return true;
}

void CAppMainFrame::OnInitMenuPopup(HMENU popup, UINT index, bool sysMenu) {
    CMDIFrameWnd::OnInitMenuPopup(popup, index, sysMenu);
    if (!sysMenu)
        UpdateMenuTexts(popup);
}

// --- File commands -----------------------------------------------------------------------------

void CAppMainFrame::OnFileOpen() {
    SettingsStore* settings = AppSettings();
    std::string filter;
    const char* folder = nullptr;
    if (settings) {
        filter = settings->FileDialogFilter();
        CTextEditDoc* active = GetActiveTextDoc();
        if (settings->General().useActiveFileDirOnFileOpen && active)
            folder = settings->ActiveDocumentFolder(active->GetPathName().c_str());
    }
    CDlgFile dialog(true, nullptr, nullptr,
                    OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT | OFN_EXPLORER |
                        OFN_ENABLESIZING,
                    filter.empty() ? nullptr : filter.c_str(), this);
    dialog.SetFileBufferSize(kOpenNameBuffer);
    if (folder && *folder)
        dialog.m_ofn.lpstrInitialDir = folder;
    dialog.m_encoding = CTextEditDoc::PendingOpenEncoding();
    if (dialog.DoModal() != IDOK)
        return;
    for (const std::string& path : dialog.ChosenPaths())
        CTextEditDoc::OpenFileWithEncoding(path.c_str(), dialog.m_encoding);
}

void CAppMainFrame::OnFileSaveAll() {
    if (CApp* app = AppGetApp())
        app->SaveAllModified(true);
}

void CAppMainFrame::OnWindowCloseAll() {
    CApp* app = AppGetApp();
    if (app && app->CWinApp::SaveAllModified())
        app->CloseAllDocuments(false);
}

void CAppMainFrame::OnUpdateNeedsChild(CCmdUI* cmdUI) {
    cmdUI->Enable(MDIGetActive() != nullptr);
}

void CAppMainFrame::OnHelpAbout() {
    AfxMessageBox(CApp::GetVersionText().c_str(), MB_OK | MB_ICONINFORMATION);
}

void CAppMainFrame::OnHelpTemplateRules() {
    if (CWinApp* app = AfxGetApp())
        app->WinHelp(ID_HELP_TEMPLATE_RULES, HELP_CONTEXT);
}

// --- Files changed on disk ---------------------------------------------------------------------

LRESULT CAppMainFrame::OnFileChangedMessage(WPARAM wParam, LPARAM lParam) {
    CApp* app = AppGetApp();
    if (!app || !app->GetDocTemplate())
        return 0;
    // A stale notice (the document closed, or saved and watched again) names no open
    // document with that watch: it is dropped.
    if (CTextEditDoc* doc =
            CTextEditDoc::FromChangeNotice(wParam, lParam, app->GetDocTemplate()->GetDocuments()))
        doc->OnFileChangedOnDisk();
    return 0;
}

// --- Auto-save -----------------------------------------------------------------------------

bool CAppMainFrame::AutoSaveTick() {
    // A save that asks for a name must never open a second dialog over the first, nor run
    // while the close prompts or any other modal window is up.
    if (m_inAutoSave || m_closing || !IsWindowEnabled() || ::GetLastActivePopup(m_hWnd) != m_hWnd)
        return false;
    CApp* app = AppGetApp();
    SettingsStore* settings = AppSettings();
    if (!app || !settings)
        return false;
    m_inAutoSave = true;
    app->SaveAllModified(!settings->Backup().notSaveUnnamedFile);
    m_inAutoSave = false;
    return true;
}

LRESULT CAppMainFrame::OnRecoveryOffer(WPARAM, LPARAM) {
    if (RecoveryManager* recovery = AppRecovery())
        recovery->OfferOrphans(m_hWnd);
    return 0;
}

void CAppMainFrame::OnTimer(UINT_PTR id) {
    if (id == kAutoSaveTimer) {
        AutoSaveTick();
        return;
    }
    if (id == kRecoveryTimer) {
        if (RecoveryManager* recovery = AppRecovery())
            recovery->Tick();
        return;
    }
    Default();
}

// --- Automatic paste -------------------------------------------------------------------------

void CAppMainFrame::SetAutoPasteTarget(CTextEditDoc* doc) {
    if (doc == m_pasteTarget)
        return;
    if (!doc) {
        if (m_inViewerChain)
            ::ChangeClipboardChain(m_hWnd, m_nextViewer);
        m_inViewerChain = false;
        m_nextViewer = nullptr;
        m_skipClipboardNotice = true;
        m_pasteTarget = nullptr;
        return;
    }
    if (!m_inViewerChain) {
        if (!m_hWnd)
            return;
        // Joining sends a notice at once: that one is about the text already there.
        m_skipClipboardNotice = true;
        m_clipboardSequence = ::GetClipboardSequenceNumber();
        ::SetLastError(0);
        HWND next = ::SetClipboardViewer(m_hWnd);
        if (!next && ::GetLastError() != 0) {
            m_pasteTarget = nullptr;
            return;
        }
        m_nextViewer = next;
        m_inViewerChain = true;
    }
    m_pasteTarget = doc;
}

LRESULT CAppMainFrame::OnDrawClipboard(WPARAM wParam, LPARAM lParam) {
    // The notice of the join, and repeats of a notice already handled, name a clipboard whose
    // sequence number has not moved (0: the system does not count, the flag alone decides).
    const DWORD sequence = ::GetClipboardSequenceNumber();
    bool skip = sequence != 0 && sequence == m_clipboardSequence;
    if (m_skipClipboardNotice) {
        m_skipClipboardNotice = false;
        skip = skip || sequence == 0;
    }
    m_clipboardSequence = sequence;
    if (!skip && m_pasteTarget && ::IsClipboardFormatAvailable(CF_TEXT)) {
        CTextEditView* view = FirstTextView(m_pasteTarget);
        if (view && view->m_hWnd)
            view->AutoPasteClipboard();
    }
    if (m_nextViewer)
        ::SendMessageA(m_nextViewer, WM_DRAWCLIPBOARD, wParam, lParam);
    return 0;
}

void CAppMainFrame::OnChangeCbChain(HWND removed, HWND next) {
    if (removed == m_nextViewer)
        m_nextViewer = next;
    else if (m_nextViewer)
        ::SendMessageA(m_nextViewer, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(removed),
                       reinterpret_cast<LPARAM>(next));
}

// --- Output channels -------------------------------------------------------------------------

bool CAppMainFrame::IsOwnChannel(const OutputChannel* channel) const {
    return channel >= m_channels && channel < m_channels + kOutputChannels;
}

CAppMainFrame::OutputChannel* CAppMainFrame::AcquireOutputChannel(int key, OutputJob* job) {
    if (key < 1 || key > kOutputChannels)
        return nullptr;
    OutputChannel* chosen = &m_channels[key - 1];
    if (chosen->inUse) {
        const int first = key <= 2 ? 1 : 3; // the groups {1, 2} and {3, 4}
        chosen = nullptr;
        for (int k = first; k < first + 2 && !chosen; ++k)
            if (!m_channels[k - 1].inUse)
                chosen = &m_channels[k - 1];
        if (!chosen)
            return nullptr;
    }
    chosen->inUse = true;
    chosen->job = job;
    if (m_outputPanes) {
        chosen->pane = m_outputPanes->PaneForKey(chosen->key);
        m_outputPanes->ShowOutputBar();
    }
    return chosen;
}

void CAppMainFrame::ReleaseOutputChannel(OutputChannel* channel) {
    if (!IsOwnChannel(channel))
        return;
    // A job thread's release waits until this thread has made it, so the table never changes
    // under a reader here: the Stop command, the command states, the next job's acquire.
    if (::GetCurrentThreadId() != m_channelThread) {
        if (HWND wnd = m_channelWindow.load())
            ::SendMessageA(wnd, kReleaseChannelMessage, 0, reinterpret_cast<LPARAM>(channel));
        return;
    }
    FreeChannel(channel);
}

LRESULT CAppMainFrame::OnReleaseChannelMessage(WPARAM, LPARAM lParam) {
    OutputChannel* channel = reinterpret_cast<OutputChannel*>(lParam);
    if (IsOwnChannel(channel))
        FreeChannel(channel);
    return 0;
}

void CAppMainFrame::FreeChannel(OutputChannel* channel) {
    channel->inUse = false;
    channel->job = nullptr;
}

bool CAppMainFrame::IsOutputChannelBusy(int key) const {
    return key >= 1 && key <= kOutputChannels && m_channels[key - 1].inUse;
}

void CAppMainFrame::StopOutputJob(int key) {
    if (key >= 1 && key <= kOutputChannels && m_channels[key - 1].inUse && m_channels[key - 1].job)
        m_channels[key - 1].job->Stop(false);
}

void CAppMainFrame::StopAllOutputJobs() {
    for (OutputChannel& channel : m_channels)
        if (channel.inUse && channel.job)
            channel.job->Stop(true);
}

bool CAppMainFrame::HasFreeOutputChannel(int key) const {
    if (key < 1 || key > kOutputChannels)
        return false;
    const int first = key <= 2 ? 1 : 3;
    return !m_channels[first - 1].inUse || !m_channels[first].inUse;
}

void CAppMainFrame::AppendOutput(const OutputChannel* channel, const char* text, int length) {
    if (!IsOwnChannel(channel) || !channel->pane || !text)
        return;
    if (length < 0)
        length = static_cast<int>(std::strlen(text));
    ::SendMessageA(channel->pane, IOutputPanes::kAppendMessage, static_cast<WPARAM>(length),
                   reinterpret_cast<LPARAM>(text));
}

void CAppMainFrame::ClearOutput(const OutputChannel* channel) {
    if (IsOwnChannel(channel) && channel->pane && m_outputPanes)
        m_outputPanes->ClearPane(channel->pane);
}

// --- Drives ----------------------------------------------------------------------------------

bool CAppMainFrame::IsVolumeChange(UINT event, DWORD_PTR data) {
    if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE)
        return false;
    const DEV_BROADCAST_HDR* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    return header && (header->dbch_devicetype & DBT_DEVTYP_VOLUME) != 0;
}

bool CAppMainFrame::OnDeviceChange(UINT event, DWORD_PTR data) {
    if (IsVolumeChange(event, data) && m_fileTree) {
        HWND tree = m_fileTree->DriveTreeWindow();
        if (tree && ::IsWindow(tree))
            ::SetTimer(tree, IFileTreeDrives::kDriveTimer, IFileTreeDrives::kDriveTimerDelayMs,
                       nullptr);
    }
    return true;
}

// --- Full screen -------------------------------------------------------------------------------

void CAppMainFrame::SetFullScreen(bool on) {
    if (on == m_fullScreen)
        return;
    if (on) {
        // Each bar remembers whether it was shown; the shown ones go while a document is
        // open, so that the document takes the whole screen.
        const bool hasChild = MDIGetActive() != nullptr;
        for (int i = 0; i < kBarCount; ++i) {
            CControlBar* bar = BarOfEntry(i);
            if (!bar || !bar->m_hWnd)
                continue;
            m_barTable[i].visible = bar->IsVisible();
            if (m_barTable[i].visible && hasChild)
                ShowControlBar(bar, false, true);
        }
        RECT work;
        RECT target;
        if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
            target.left = -work.left;
            target.top = -work.top;
            target.right = GetSystemMetrics(SM_CXSCREEN) - work.left;
            target.bottom = GetSystemMetrics(SM_CYSCREEN) - work.top;
        } else {
            ::GetWindowRect(::GetDesktopWindow(), &target);
        }
        ::AdjustWindowRectEx(&target, static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_STYLE)), TRUE,
                             static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_EXSTYLE)));
        m_placement.length = sizeof m_placement;
        GetWindowPlacement(m_hWnd, &m_placement);
        m_fullScreenRect = target;
        m_fullScreen = true;
        WINDOWPLACEMENT full = m_placement;
        full.showCmd = SW_SHOWNORMAL;
        full.rcNormalPosition = target;
        LockWindowUpdate(m_hWnd);
        SetWindowPlacement(m_hWnd, &full);
        LockWindowUpdate(nullptr);
    } else {
        for (int i = 0; i < kBarCount; ++i) {
            CControlBar* bar = BarOfEntry(i);
            if (bar && bar->m_hWnd && m_barTable[i].visible && !bar->IsVisible())
                ShowControlBar(bar, true, true);
        }
        m_fullScreen = false;
        LockWindowUpdate(m_hWnd);
        SetWindowPlacement(m_hWnd, &m_placement);
        LockWindowUpdate(nullptr);
    }
    RecalcLayout();
}

void CAppMainFrame::OnViewFullScreen() {
    SetFullScreen(!m_fullScreen);
}

void CAppMainFrame::OnUpdateViewFullScreen(CCmdUI* cmdUI) {
    cmdUI->SetCheck(m_fullScreen ? 1 : 0);
}

void CAppMainFrame::OnGetMinMaxInfo(MINMAXINFO* info) {
    Default();
    if (!m_fullScreen)
        return;
    const LONG cx = m_fullScreenRect.right - m_fullScreenRect.left;
    const LONG cy = m_fullScreenRect.bottom - m_fullScreenRect.top;
    info->ptMaxSize.x = info->ptMaxTrackSize.x = cx;
    info->ptMaxSize.y = info->ptMaxTrackSize.y = cy;
}

// --- Tray icon -----------------------------------------------------------------------------

void CAppMainFrame::OnSize(UINT type, int cx, int cy) {
    CMDIFrameWnd::OnSize(type, cx, cy);
    SettingsStore* settings = AppSettings();
    if (type != SIZE_MINIMIZED)
        return;
    // Once the icon is there the window hides on minimising even if the option went off.
    if (settings && settings->General().minimizeToSysTray)
        AddTrayIcon();
    if (m_trayIcon)
        ShowWindow(SW_HIDE);
}

void CAppMainFrame::AddTrayIcon() {
    if (m_trayIcon)
        return;
    NOTIFYICONDATAA data = {};
    data.cbSize = sizeof data;
    data.hWnd = m_hWnd;
    data.uID = 1;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayMessage;
    data.hIcon = reinterpret_cast<HICON>(GetClassLongPtrA(m_hWnd, GCLP_HICONSM));
    if (!data.hIcon)
        data.hIcon = reinterpret_cast<HICON>(GetClassLongPtrA(m_hWnd, GCLP_HICON));
    std::string tip = AfxLoadString(AFX_IDS_APP_TITLE);
    lstrcpynA(data.szTip, tip.c_str(), 64);
    m_trayIcon = Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
}

void CAppMainFrame::RemoveTrayIcon() {
    if (!m_trayIcon)
        return;
    NOTIFYICONDATAA data = {};
    data.cbSize = sizeof data;
    data.hWnd = m_hWnd;
    data.uID = 1;
    Shell_NotifyIconA(NIM_DELETE, &data);
    m_trayIcon = false;
}

LRESULT CAppMainFrame::OnTrayNotify(WPARAM, LPARAM lParam) {
    if (lParam == WM_LBUTTONDOWN || lParam == WM_LBUTTONDBLCLK) {
        if (!IsWindowVisible())
            ShowWindow(SW_RESTORE);
        SetForegroundWindow(m_hWnd);
    }
    return 0;
}

// --- The reopen list -------------------------------------------------------------------------

std::vector<ReopenHost::Document> CAppMainFrame::Documents() {
    std::vector<Document> list;
    CTextEditDoc* active = GetActiveTextDoc();
    for (CTextEditDoc* doc : TextDocuments()) {
        Document entry;
        entry.path = doc->GetPathName();
        entry.active = doc == active;
        CTextEditView* view = FirstTextView(doc);
        entry.view = view;
        entry.caretLine = view ? view->LogicalCaret().line : 0;
        list.push_back(entry);
    }
    return list;
}

int CAppMainFrame::NextBookmark(void* view, int line) {
    return view ? static_cast<CTextEditView*>(view)->NextBookmarkAfter(line) : -1;
}

void* CAppMainFrame::Open(const char* path, int* lineCount) {
    // A file that cannot be opened now (deleted, locked) gives no view: the entry is skipped.
    CDocument* doc = CTextEditDoc::OpenFileWithEncoding(path, FxEncDetect);
    CTextEditDoc* text = DynamicDowncast<CTextEditDoc>(doc);
    CTextEditView* view = text ? FirstTextView(text) : nullptr;
    if (!view)
        return nullptr;
    if (lineCount)
        *lineCount = text->LogicalLineCount();
    return view;
}

void CAppMainFrame::SetBookmark(void* view, int line) {
    if (view)
        static_cast<CTextEditView*>(view)->SetBookmarkOnLine(line);
}

void CAppMainFrame::SetCaretLine(void* view, int line) {
    if (view)
        static_cast<CTextEditView*>(view)->GoToLine(line);
}

void CAppMainFrame::ActivateFrameOf(void* view) {
    if (!view)
        return;
    if (CFrameWnd* frame = static_cast<CTextEditView*>(view)->GetParentFrame())
        frame->ActivateFrame();
}

CAppMainFrame* AppMainFrame() {
    return g_mainFrame;
}

// --- System colours and metrics ------------------------------------------------------------

// The shared colours, pen and brush first: the bars repaint with them when the notice reaches
// them.
void CAppMainFrame::OnSysColorChange() {
    if (SharedUi().IsInitialised())
        SharedUi().RefreshColours();
    CMDIFrameWnd::OnSysColorChange();
}

LRESULT CAppMainFrame::OnSettingChange(WPARAM wParam, LPARAM) {
    if (wParam == SPI_SETNONCLIENTMETRICS && SharedUi().IsInitialised()) {
        SharedUi().RefreshFonts();
        if (m_status.m_hWnd)
            m_status.RefreshFonts();
        if (m_switch.m_hWnd) {
            m_switch.RefreshMetrics();
            m_switch.RecalcCells();
            m_switch.Invalidate(false);
        }
        RecalcLayout();
    }
    return Default();
}

// --- Settings dialog ---------------------------------------------------------------------------

void CAppMainFrame::OpenSettings(UINT pageId, UINT controlId) {
    if (m_settingsDlg) {
        if (m_settingsDlg->m_hWnd)
            ::SetWindowPos(m_settingsDlg->m_hWnd, HWND_TOP, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        return;
    }
    try {
        CDlgAsFrame dialog(this, pageId ? pageId : m_settingsPage, controlId, this);
        m_settingsDlg = &dialog;
        const INT_PTR result = dialog.DoModal();
        m_settingsDlg = nullptr;
        if (dialog.CurrentPageId())
            m_settingsPage = dialog.CurrentPageId();
        if (result == -1)
            AfxMessageBox(IDS_SETTINGS_FAILED, MB_OK | MB_ICONSTOP);
    } catch (...) {
        m_settingsDlg = nullptr;
        throw;
    }
}

void CAppMainFrame::OnToolsSettings() {
    OpenSettings(0);
}

void CAppMainFrame::OnToolsUserTools() {
    OpenSettings(IDD_AS_TOOLS);
}

void CAppMainFrame::OnFilePrintSetup() {
    OpenSettings(IDD_AS_PRINT);
}

void CAppMainFrame::ApplyDisplaySettings(bool fontRecreated) {
    ApplyEditorDisplaySettings(fontRecreated);
}

void CAppMainFrame::ApplyFileType(const FileTypeInfo& type) {
    for (CTextEditDoc* doc : TextDocuments())
        if (doc->FileType() == &type)
            CTextEditView::ApplyFileType(*doc, type);
}

void CAppMainFrame::ApplyToolbarLayout() {
    SettingsStore* settings = AppSettings();
    if (!settings || !m_toolbar.m_hWnd)
        return;
    const ToolbarButtonSet& set = settings->Toolbar();
    settings->ApplyToolbarLayout(m_toolbar.m_hWnd, set.layout, set.layoutCount);
    m_toolbar.OnButtonsReplaced();
    RecalcLayout();
}

void CAppMainFrame::InstallKeyMap() {
    if (SettingsStore* settings = AppSettings())
        settings->InstallKeyMap(&m_hAccelTable);
}

void CAppMainFrame::FileFiltersChanged() {
    // The Open dialog builds its filter string from the store each time it opens; the file
    // tree's filter box takes the new list at once.
    CWsbFileTree& tree = m_workspaceBar.FileTree();
    if (tree.m_hWnd)
        tree.ReloadFilterList();
}

void CAppMainFrame::SetRecentFileCount(int count) {
    CApp* app = AppGetApp();
    if (!app)
        return;
    app->SaveStdProfileSettings();
    app->LoadStdProfileSettings(static_cast<UINT>(count));
}

const FileTypeInfo* CAppMainFrame::ActiveFileType() {
    CTextEditDoc* doc = GetActiveTextDoc();
    return doc ? doc->FileType() : nullptr;
}
