// CWinApp. Layer: framework/.
#include "framework/WinApp.h"

#include "common/PathName.h"
#include "framework/CmdUI.h"
#include "framework/CommandLineInfo.h"
#include "framework/DdeShellClient.h"
#include "framework/DocManager.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/Exception.h"
#include "framework/FrameWnd.h"
#include "framework/FwIds.h"
#include "framework/MessageBox.h"
#include "framework/RecentFileList.h"
#include "framework/ResourceText.h"
#include "framework/View.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

namespace {
CWinApp* g_app = nullptr;
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
ON_COMMAND(ID_FILE_NEW, OnFileNew)
ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
ON_COMMAND(ID_APP_EXIT, OnAppExit)
ON_COMMAND(ID_HELP, OnHelp)
ON_COMMAND_EX_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_LAST, OnOpenRecentFile)
ON_UPDATE_COMMAND_UI(ID_FILE_MRU_FILE1, OnUpdateRecentFileMenu)
END_MESSAGE_MAP()

CWinApp* AfxGetApp() {
    return g_app;
}

CWnd* AfxGetMainWnd() {
    return g_app ? g_app->m_pMainWnd : nullptr;
}

const char* AfxGetAppName() {
    return g_app ? g_app->m_strAppName.c_str() : "";
}

CWinApp::CWinApp(const char* appName) {
    g_app = this;
    m_hInstance = GetModuleHandleA(nullptr);
    m_strAppName = appName ? appName : AfxLoadString(AFX_IDS_APP_TITLE);
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    m_strExeName = FxPathBaseName(path);
    if (m_strAppName.empty())
        m_strAppName = m_strExeName;
}

CWinApp::~CWinApp() {
    delete m_pDocManager;
    delete m_pRecentFileList;
    if (m_atomApp)
        GlobalDeleteAtom(m_atomApp);
    if (m_atomSystemTopic)
        GlobalDeleteAtom(m_atomSystemTopic);
    if (g_app == this)
        g_app = nullptr;
}

bool CWinApp::InitInstance() {
    return true;
}

int CWinApp::ExitInstance() {
    SaveStdProfileSettings();
    return 0;
}

bool CWinApp::PreTranslateMessage(MSG* msg) {
    HWND main = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    return CWnd::WalkPreTranslateTree(main, msg);
}

bool CWinApp::IsIdleMessage(MSG* msg) {
    static POINT lastPos = {-1, -1};
    static UINT lastMessage = 0;
    if (msg->message == WM_MOUSEMOVE || msg->message == WM_NCMOUSEMOVE) {
        bool same = msg->pt.x == lastPos.x && msg->pt.y == lastPos.y && msg->message == lastMessage;
        lastPos = msg->pt;
        lastMessage = msg->message;
        return !same;
    }
    // The caret's blink timer and paints do not make new idle work.
    return msg->message != WM_PAINT && msg->message != 0x0118;
}

bool CWinApp::PumpMessage() {
    MSG msg;
    if (GetMessageA(&msg, nullptr, 0, 0) <= 0)
        return false;
    if (!PreTranslateMessage(&msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

bool CWinApp::PumpPendingMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (!PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    for (LONG count = 0; OnIdle(count); ++count) {
    }
    return true;
}

int CWinApp::Run() {
    bool idle = true;
    LONG idleCount = 0;
    for (;;) {
        MSG msg;
        while (idle && !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++))
                idle = false;
        }
        // The message about to be pumped decides whether idle work follows it: look at it
        // first, and wait when there is none (the one seen last may be long gone).
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            WaitMessage();
            continue;
        }
        if (!PumpMessage())
            return ExitInstance();
        if (IsIdleMessage(&msg)) {
            idle = true;
            idleCount = 0;
        }
    }
}

bool CWinApp::OnIdle(LONG count) {
    if (count == 0) {
        if (CFrameWnd* frame = DynamicDowncast<CFrameWnd>(m_pMainWnd)) {
            if (frame->m_hWnd && frame->IsWindowVisible())
                frame->OnIdleUpdateCmdUI();
        }
        return true;
    }
    return false;
}

int CWinApp::DoMessageBox(const char* text, UINT type, UINT) {
    HWND owner = m_pMainWnd && m_pMainWnd->m_hWnd ? GetLastActivePopup(m_pMainWnd->m_hWnd)
                                                  : GetActiveWindow();
    return AfxShowMessageBox(owner, text, type);
}

void CWinApp::WinHelp(DWORD_PTR, UINT) {}

bool CWinApp::ShowControlHelp(HWND, DWORD) {
    return false;
}

void CWinApp::AddDocTemplate(CDocTemplate* docTemplate) {
    if (!m_pDocManager)
        m_pDocManager = new CDocManager;
    m_pDocManager->AddDocTemplate(docTemplate);
}

CDocument* CWinApp::OpenDocumentFile(const char* path) {
    return m_pDocManager ? m_pDocManager->OpenDocumentFile(path) : nullptr;
}

bool CWinApp::DoPromptFileName(std::string& fileName, UINT titleId, DWORD flags, bool openFile,
                               CDocTemplate* docTemplate) {
    return m_pDocManager &&
           m_pDocManager->DoPromptFileName(fileName, titleId, flags, openFile, docTemplate);
}

bool CWinApp::SaveAllModified() {
    return !m_pDocManager || m_pDocManager->SaveAllModified();
}

void CWinApp::CloseAllDocuments(bool endSession) {
    if (m_pDocManager)
        m_pDocManager->CloseAllDocuments(endSession);
}

int CWinApp::GetOpenDocumentCount() const {
    return m_pDocManager ? m_pDocManager->GetOpenDocumentCount() : 0;
}

void CWinApp::AddToRecentFileList(const char* path) {
    if (m_pRecentFileList)
        m_pRecentFileList->Add(path);
}

void CWinApp::LoadStdProfileSettings(UINT mruCount) {
    delete m_pRecentFileList;
    m_pRecentFileList = nullptr;
    if (mruCount > 0) {
        if (mruCount > ID_FILE_MRU_LAST - ID_FILE_MRU_FILE1 + 1)
            mruCount = ID_FILE_MRU_LAST - ID_FILE_MRU_FILE1 + 1;
        m_pRecentFileList = new CRecentFileList(ID_FILE_MRU_FILE1, "Recent File List", "File%d",
                                                static_cast<int>(mruCount));
        m_pRecentFileList->ReadList(m_strProfileName.c_str());
    }
}

void CWinApp::SaveStdProfileSettings() {
    if (m_pRecentFileList)
        m_pRecentFileList->WriteList(m_strProfileName.c_str());
}

UINT CWinApp::GetProfileInt(const char* section, const char* entry, int defaultValue) const {
    return GetPrivateProfileIntA(section, entry, defaultValue, m_strProfileName.c_str());
}

std::string CWinApp::GetProfileString(const char* section, const char* entry,
                                      const char* defaultValue) const {
    char buf[4096] = "";
    GetPrivateProfileStringA(section, entry, defaultValue, buf, sizeof buf,
                             m_strProfileName.c_str());
    return buf;
}

bool CWinApp::WriteProfileInt(const char* section, const char* entry, int value) {
    return WriteProfileString(section, entry, AfxFormat("%d", value).c_str());
}

bool CWinApp::WriteProfileString(const char* section, const char* entry, const char* value) {
    return WritePrivateProfileStringA(section, entry, value, m_strProfileName.c_str()) != 0;
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) {
    // Skip the program name (quoted or not) of the process's command line.
    const char* p = GetCommandLineA();
    if (*p == '"') {
        for (++p; *p && *p != '"'; ++p) {
        }
        if (*p)
            ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t')
            ++p;
    }
    info.ParseCommandLine(p);
}

bool CWinApp::ProcessShellCommand(CCommandLineInfo& info) {
    switch (info.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        if (!OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr, nullptr))
            OnFileNew();
        return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(info.m_strFileName.c_str()) != nullptr;
    case CCommandLineInfo::FilePrint:
    case CCommandLineInfo::FilePrintTo: {
        m_nCmdShow = SW_HIDE;
        m_pCmdInfo = &info;
        PrintShellDocument(info.m_strFileName.c_str());
        m_pCmdInfo = nullptr;
        return false; // printing from the command line ends the program
    }
    case CCommandLineInfo::FileDDE:
        m_nCmdShow = SW_HIDE;
        return true;
    case CCommandLineInfo::FileNothing:
        return true;
    }
    return true;
}

bool CWinApp::PrintShellDocument(const char* path) {
    CDocument* already = m_pDocManager ? m_pDocManager->FindOpenDocument(path) : nullptr;
    CDocument* doc = OpenDocumentFile(path);
    if (!doc)
        return false;
    CView* view = doc->GetFirstView();
    if (view)
        view->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
    if (!already)
        doc->OnCloseDocument();
    return view != nullptr;
}

void CWinApp::EnableShellOpen() {
    if (!m_atomApp)
        m_atomApp = GlobalAddAtomA(m_strExeName.c_str());
    if (!m_atomSystemTopic)
        m_atomSystemTopic = GlobalAddAtomA("system");
}

namespace {

// Reads the quoted arguments of a command such as [name("a","b")] after its opening
// parenthesis; returns false when the text is not well formed.
bool ParseDdeArgs(const char* p, std::string* args, int count) {
    for (int i = 0; i < count; ++i) {
        while (*p == ' ')
            ++p;
        if (*p++ != '"')
            return false;
        while (*p && *p != '"')
            args[i] += *p++;
        if (*p++ != '"')
            return false;
        while (*p == ' ')
            ++p;
        if (*p != (i + 1 < count ? ',' : ')'))
            return false;
        ++p;
    }
    return std::strcmp(p, "]") == 0;
}

bool StartsWithNoCase(const char* text, const char* prefix) {
    size_t n = std::strlen(prefix);
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, text,
                          static_cast<int>(std::min(n, std::strlen(text))), prefix,
                          static_cast<int>(n)) == CSTR_EQUAL;
}

} // namespace

bool CWinApp::OnDDECommand(const char* command) {
    std::string args[4];
    if (StartsWithNoCase(command, "[open(")) {
        if (!ParseDdeArgs(command + 6, args, 1))
            return false;
        if (m_pMainWnd && m_pMainWnd->m_hWnd) {
            if (IsIconic(m_pMainWnd->m_hWnd))
                m_pMainWnd->ShowWindow(SW_RESTORE);
            SetForegroundWindow(m_pMainWnd->m_hWnd);
        }
        OpenDocumentFile(args[0].c_str());
        return true;
    }
    if (StartsWithNoCase(command, "[print(")) {
        if (!ParseDdeArgs(command + 7, args, 1))
            return false;
        CCommandLineInfo info;
        info.m_nShellCommand = CCommandLineInfo::FilePrint;
        info.m_strFileName = args[0];
        m_pCmdInfo = &info;
        PrintShellDocument(args[0].c_str());
        m_pCmdInfo = nullptr;
        return true;
    }
    if (StartsWithNoCase(command, "[printto(")) {
        if (!ParseDdeArgs(command + 9, args, 4))
            return false;
        CCommandLineInfo info;
        info.m_nShellCommand = CCommandLineInfo::FilePrintTo;
        info.m_strFileName = args[0];
        info.m_strPrinterName = args[1];
        info.m_strDriverName = args[2];
        info.m_strPortName = args[3];
        m_pCmdInfo = &info;
        PrintShellDocument(args[0].c_str());
        m_pCmdInfo = nullptr;
        return true;
    }
    return false;
}

void CWinApp::OnDdeAck(HWND from, LPARAM lParam) {
    if (m_pDdeClient)
        m_pDdeClient->OnAck(from, lParam);
}

void CWinApp::OnFileNew() {
    if (m_pDocManager)
        m_pDocManager->OnFileNew();
}

void CWinApp::OnFileOpen() {
    if (m_pDocManager)
        m_pDocManager->OnFileOpen();
}

void CWinApp::OnAppExit() {
    if (m_pMainWnd && m_pMainWnd->m_hWnd)
        m_pMainWnd->SendMessage(WM_CLOSE);
}

bool CWinApp::OnOpenRecentFile(UINT id) {
    if (!m_pRecentFileList)
        return false;
    int index = static_cast<int>(id - ID_FILE_MRU_FILE1);
    if (index >= m_pRecentFileList->GetCount())
        return false;
    std::string path = (*m_pRecentFileList)[index];
    if (!OpenDocumentFile(path.c_str()))
        m_pRecentFileList->Remove(index);
    return true;
}

void CWinApp::OnUpdateRecentFileMenu(CCmdUI* cmdUI) {
    if (m_pRecentFileList)
        m_pRecentFileList->UpdateMenu(cmdUI);
    else
        cmdUI->Enable(false);
}

void CWinApp::OnHelp() {
    CFrameWnd* frame = DynamicDowncast<CFrameWnd>(m_pMainWnd);
    if (frame) {
        if (CFrameWnd* active = frame->GetActiveFrame())
            frame = active;
        WinHelp(frame->m_nIDHelp, HELP_CONTEXT);
    }
}

int AfxWinMain(HINSTANCE, HINSTANCE, LPSTR, int showCmd) {
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    app->m_nCmdShow = showCmd;
    int code = -1;
    try {
        if (app->InitInstance())
            return app->Run();
    } catch (...) {
        AfxReportCurrentException();
    }
    code = app->ExitInstance();
    return code;
}
