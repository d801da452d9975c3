// The editor's main frame: its message map, its creation and closing, and the active document.
// Each of its other duties has a MainFrame*.cpp file of its own beside this one. Layer: app/.
#include "app/AppMainFrame.h"

#include "app/App.h"
#include "app/CommandIds.h"
#include "app/FileChangeMonitor.h"
#include "app/RecoveryManager.h"
#include "app/ShellIds.h"
#include "app/TextEditDoc.h"
#include "app/TextEditTemplate.h"
#include "app/TextEditView.h"
#include "settings/SettingsIds.h"
#include "framework/FwIds.h"
#include "framework/MDIChildWnd.h"
#include "framework/ResourceText.h"

namespace {
CAppMainFrame* g_mainFrame = nullptr;
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
    // A clip text library that cannot be written keeps the program open unless the user
    // lets its edits go.
    const bool agreed =
        (!app || app->CWinApp::SaveAllModified()) &&
        (!m_workspaceBar.ClipText().m_hWnd || m_workspaceBar.ClipText().SaveBeforeExit());
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

CAppMainFrame* AppMainFrame() {
    return g_mainFrame;
}
