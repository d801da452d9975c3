// The editor's application object. Layer: app/.
#include "app/App.h"

#include "app/AppIds.h"
#include "app/AppMainFrame.h"
#include "app/HelpTables.h"
#include "app/RecoveryManager.h"
#include "app/TextEditDoc.h"
#include "app/TextEditTemplate.h"
#include "settings/SettingsStore.h"
#include "common/UiResources.h"
#include "framework/CommandLineInfo.h"
#include "framework/MDIChildWnd.h"
#include "framework/OleInit.h"
#include "framework/ResourceText.h"

#include <vector>

namespace {

const UINT kIdMainFrame = 100;
const UINT kIdTextDoc = 101;
// How long a second instance waits for the running one: the search, then the open command.
const UINT kDdeFindTimeoutMs = 1000;
const UINT kDdeExecuteTimeoutMs = 10000;

// HTML Help commands.
const UINT kHelpContext = 0x000F;     // HH_HELP_CONTEXT
const UINT kHelpWmHelpPopup = 0x0011; // HH_TP_HELP_WM_HELP

CApp::HelpViewer g_helpViewer = nullptr;

// The absolute form of a path, against this process's working folder; the path itself when
// the system cannot make one.
std::string FullPathOf(const std::string& path) {
    if (path.empty())
        return path;
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return (length > 0 && length < sizeof full) ? std::string(full) : path;
}

BOOL CALLBACK CancelModeProc(HWND wnd, LPARAM) {
    ::SendMessageA(wnd, WM_CANCELMODE, 0, 0);
    return TRUE;
}

} // namespace

BEGIN_MESSAGE_MAP(CApp, CWinApp)
END_MESSAGE_MAP()

CApp::CApp() = default;

CApp::~CApp() {
    m_recovery.reset();
    // Documents still open when the framework deletes them must not reach the monitor.
    if (CTextEditDoc::GetFileMonitor() == &m_monitor)
        CTextEditDoc::SetFileMonitor(nullptr);
}

bool CApp::InitInstance() {
    if (!AfxOleInit())
        return false;
    SharedUi().Init(m_hInstance);

    m_settings.reset(new SettingsStore());
    m_settings->LoadAll();
    m_strProfileName = m_settings->IniPath(IniProfile);
    m_strHelpFilePath = m_settings->HelpPath();
    LoadStdProfileSettings(static_cast<UINT>(m_settings->General().recentFiles));

    CTextEditDoc::SetFileMonitor(&m_monitor);
    m_pDocTemplate = new CTextEditTemplate(kIdTextDoc);
    AddDocTemplate(m_pDocTemplate);

    CAppMainFrame* frame = new CAppMainFrame;
    // A frame that fails to be created has deleted itself.
    if (!frame->LoadFrame(kIdMainFrame, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE))
        return false;
    m_pMainWnd = frame;

    EnableShellOpen();
    CCommandLineInfo info;
    ParseCommandLine(info);

    if (!m_settings->General().allowMultipleInstances && HandOverToRunningInstance(info)) {
        frame->DestroyWindow();
        m_pMainWnd = nullptr;
        return false;
    }

    if (info.m_nShellCommand == CCommandLineInfo::FileNew &&
        !m_settings->General().createNewDocOnStartup)
        info.m_nShellCommand = CCommandLineInfo::FileNothing;
    if (!ProcessShellCommand(info))
        return false;

    frame->ShowWindow(frame->StartShowCommand(m_nCmdShow));
    frame->UpdateWindow();

    // The previous run: its key map, then the documents it had open.
    m_settings->SetMainFrame(frame->m_hWnd);
    // Auto-save runs from start-up when the user turned it on.
    const BackupOptions& backup = m_settings->Backup();
    if (backup.autoSave)
        m_settings->ConfigureAutoSave(true, backup.autoSaveInterval, backup.notSaveUnnamedFile);
    m_settings->LoadKeyMap();
    m_settings->InstallKeyMap(&frame->m_hAccelTable);
    m_settings->RestoreReopenList(*frame);
    // The document menu's date and time formats and file types, built once here; the view
    // builds them again only for a menu that lacks them.
    if (HMENU docMenu = m_pDocTemplate->m_hMenuShared) {
        m_settings->BuildDateTimeMenu(docMenu);
        m_settings->BuildViewAsMenu(docMenu);
    }
    frame->RebuildToolsMenus();
    StartRecovery(*frame);
    return true;
}

void CApp::StartRecovery(CAppMainFrame& frame) {
    // The copies live beside the INI files; a folder that cannot be used means no copies.
    std::unique_ptr<RecoveryManager> recovery(
        new RecoveryManager(std::string(m_settings->ProgramDir()) + "Recovery"));
    if (!recovery->Open())
        return;
    m_recovery = std::move(recovery);
    frame.SetTimer(CAppMainFrame::kRecoveryTimer, m_recovery->GetTiming().tickMs);
    // Asked once the frame has drawn itself and the reopened documents are there.
    if (m_offerRecovery)
        frame.PostMessage(CAppMainFrame::kRecoveryOfferMessage, 0, 0);
}

bool CApp::OnIdle(LONG count) {
    bool more = CWinApp::OnIdle(count);
    CAppMainFrame* frame = AppMainFrame();
    if (count == 0 && frame && frame->m_hWnd && m_settings &&
        m_settings->FileChange().detectFileChanges && frame->MDIGetActive() && IsForeground())
        m_monitor.Poll(frame->m_hWnd);
    if (!m_idleSignalled) {
        m_idleSignalled = true;
        SignalFirstIdle();
    }
    return more;
}

void CApp::SignalFirstIdle() {
    char name[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA(kFirstIdleEventVariable, name, sizeof name);
    if (length == 0 || length >= sizeof name)
        return;
    if (HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, name)) {
        SetEvent(event);
        CloseHandle(event);
    }
}

bool CApp::IsForeground() {
    // One of this program's windows is the foreground window.
    HWND foreground = GetForegroundWindow();
    DWORD pid = 0;
    if (foreground)
        GetWindowThreadProcessId(foreground, &pid);
    return foreground && pid == GetCurrentProcessId();
}

bool CApp::SaveAllModified(bool includeUntitled) {
    if (!m_pDocTemplate)
        return true;
    // A copy: a save may rename documents but never opens or closes one.
    const std::vector<CDocument*> docs = m_pDocTemplate->GetDocuments();
    for (CDocument* doc : docs) {
        if (!doc->IsModified() || (doc->GetPathName().empty() && !includeUntitled))
            continue;
        if (!doc->DoFileSave())
            return false;
    }
    return true;
}

// --- Help ------------------------------------------------------------------------------------

UINT CApp::HelpTopicOf(DWORD_PTR key) {
    for (size_t i = 0; i < kHelpTopicCount; ++i)
        if (kHelpTopics[i].key == key)
            return kHelpTopics[i].topic;
    return kDefaultHelpTopic;
}

UINT CApp::ControlHelpTextOf(DWORD controlId) {
    for (size_t i = 0; kControlHelpPairs[i] != 0; i += 2)
        if (kControlHelpPairs[i] == controlId)
            return static_cast<UINT>(kControlHelpPairs[i + 1]);
    return 0;
}

CApp::HelpViewer CApp::SetHelpViewer(HelpViewer viewer) {
    HelpViewer previous = g_helpViewer;
    g_helpViewer = viewer;
    return previous;
}

CApp::HelpViewer CApp::LoadHelpViewer() {
    if (g_helpViewer)
        return g_helpViewer;
    // Loaded on the first request: most sessions never ask for help.
    static HelpViewer viewer = [] {
        HMODULE module = LoadLibraryA("hhctrl.ocx");
        return module ? reinterpret_cast<HelpViewer>(
                            reinterpret_cast<void*>(GetProcAddress(module, "HtmlHelpA")))
                      : nullptr;
    }();
    return viewer;
}

void CApp::CancelModes(HWND extra) {
    if (m_pMainWnd && m_pMainWnd->m_hWnd) {
        ::SendMessageA(m_pMainWnd->m_hWnd, WM_CANCELMODE, 0, 0);
        EnumChildWindows(m_pMainWnd->m_hWnd, CancelModeProc, 0);
    }
    if (HWND capture = ::GetCapture())
        ::SendMessageA(capture, WM_CANCELMODE, 0, 0);
    if (extra)
        ::SendMessageA(extra, WM_CANCELMODE, 0, 0);
}

void CApp::WinHelp(DWORD_PTR key, UINT cmd) {
    if (key == 0 || cmd == HELP_QUIT)
        return;
    const DWORD attrs = GetFileAttributesA(m_strHelpFilePath.c_str());
    if (m_strHelpFilePath.empty() || attrs == INVALID_FILE_ATTRIBUTES)
        return;
    HelpViewer viewer = LoadHelpViewer();
    if (!viewer)
        return;
    CancelModes(nullptr);
    viewer(::GetDesktopWindow(), m_strHelpFilePath.c_str(), kHelpContext, HelpTopicOf(key));
}

bool CApp::ShowControlHelp(HWND control, DWORD key) {
    if (!control || !(GetWindowLongA(control, GWL_STYLE) & WS_CHILD) || GetDlgCtrlID(control) == 0)
        return false;
    if (key != static_cast<DWORD>(-1) && ControlHelpTextOf(key) == 0)
        return false;
    const DWORD attrs = GetFileAttributesA(m_strHelpFilePath.c_str());
    if (m_strHelpFilePath.empty() || attrs == INVALID_FILE_ATTRIBUTES)
        return false;
    HelpViewer viewer = LoadHelpViewer();
    if (!viewer)
        return false;
    CancelModes(::GetAncestor(control, GA_ROOT));
    const std::string file = m_strHelpFilePath + "::/Help.txt";
    viewer(control, file.c_str(), kHelpWmHelpPopup, reinterpret_cast<DWORD_PTR>(kControlHelpPairs));
    return true;
}

std::string CApp::GetVersionText() {
    const std::string unknown = AfxLoadString(IDS_VERSION_UNKNOWN);
    char exe[MAX_PATH];
    if (!GetModuleFileNameA(nullptr, exe, sizeof exe))
        return unknown;
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(exe, &handle);
    if (size == 0)
        return unknown;
    std::vector<char> data(size);
    if (!GetFileVersionInfoA(exe, 0, size, data.data()))
        return unknown;
    WORD* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), "\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &length) ||
        length < 2 * sizeof(WORD))
        return unknown;
    std::string values[3];
    static const char* const kNames[3] = {"ProductName", "ProductVersion", "LegalCopyright"};
    for (int i = 0; i < 3; ++i) {
        std::string key =
            AfxFormat("\\StringFileInfo\\%04X%04X\\%s", translation[0], translation[1], kNames[i]);
        char* value = nullptr;
        UINT valueLength = 0;
        if (!VerQueryValueA(data.data(), key.c_str(), reinterpret_cast<void**>(&value),
                            &valueLength) ||
            !value)
            return unknown;
        values[i] = value;
    }
    return values[0] + "(" + values[1] + ")\n\n" + values[2] + "\n\n";
}

bool CApp::HandOverToRunningInstance(const CCommandLineInfo& info) {
    HWND self = m_pMainWnd->m_hWnd;
    m_pDdeClient = &m_ddeClient; // the main frame passes WM_DDE_ACK on to it
    HWND server = m_ddeClient.FindServer(self, m_strExeName.c_str(), "system", kDdeFindTimeoutMs);
    if (server) {
        // The running instance has a working folder of its own: a name relative to ours would
        // name another file there.
        const std::string file = FullPathOf(info.m_strFileName);
        std::string command;
        switch (info.m_nShellCommand) {
        case CCommandLineInfo::FileOpen:
            command = AfxFormat("[open(\"%s\")]", file.c_str());
            break;
        case CCommandLineInfo::FilePrint:
            command = AfxFormat("[print(\"%s\")]", file.c_str());
            break;
        case CCommandLineInfo::FilePrintTo:
            command = AfxFormat("[printto(\"%s\",\"%s\",\"%s\",\"%s\")]", file.c_str(),
                                info.m_strPrinterName.c_str(), info.m_strDriverName.c_str(),
                                info.m_strPortName.c_str());
            break;
        default:
            break;
        }
        if (!command.empty())
            m_ddeClient.Execute(command.c_str(), kDdeExecuteTimeoutMs);
        m_ddeClient.Terminate();
    }
    m_pDdeClient = nullptr;
    return server != nullptr;
}

int CApp::ExitInstance() {
    // Without a close through the main frame (its window destroyed directly) the copies go
    // here; a normal end never leaves any.
    if (m_recovery)
        m_recovery->EndNormally();
    m_recovery.reset();
    CTextEditDoc::SetFileMonitor(nullptr);
    if (m_settings)
        m_settings->SaveOnExit();
    m_settings.reset();
    SharedUi().Release();
    return CWinApp::ExitInstance();
}

CApp* AppGetApp() {
    return static_cast<CApp*>(AfxGetApp());
}

SettingsStore* AppSettings() {
    CApp* app = AppGetApp();
    return app ? app->GetSettings() : nullptr;
}

RecoveryManager* AppRecovery() {
    CApp* app = AppGetApp();
    return app ? app->Recovery() : nullptr;
}
