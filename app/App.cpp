// The editor's application object. Layer: app/.
#include "app/App.h"

#include "app/AppMainFrame.h"
#include "app/PlaceholderView.h"
#include "app/settings/SettingsStore.h"
#include "framework/CommandLineInfo.h"
#include "framework/MDIChildWnd.h"
#include "framework/MultiDocTemplate.h"
#include "framework/OleInit.h"
#include "framework/ResourceText.h"

namespace {

const UINT kIdMainFrame = 100;
const UINT kIdTextDoc = 101;
// How long a second instance waits for the running one: the search, then the open command.
const UINT kDdeFindTimeoutMs = 1000;
const UINT kDdeExecuteTimeoutMs = 10000;

} // namespace

BEGIN_MESSAGE_MAP(CApp, CWinApp)
END_MESSAGE_MAP()

CApp::CApp() = default;

CApp::~CApp() = default;

bool CApp::InitInstance() {
    if (!AfxOleInit())
        return false;

    m_settings.reset(new SettingsStore());
    m_settings->LoadAll();
    m_strProfileName = m_settings->IniPath(IniProfile);
    m_strHelpFilePath = m_settings->HelpPath();
    LoadStdProfileSettings(static_cast<UINT>(m_settings->General().recentFiles));

    // The editor's document, frame and view take the place of the stand-ins when they exist.
    m_pDocTemplate =
        new CMultiDocTemplate(kIdTextDoc, RUNTIME_CLASS(CPlaceholderDoc),
                              RUNTIME_CLASS(CMDIChildWnd), RUNTIME_CLASS(CPlaceholderView));
    AddDocTemplate(m_pDocTemplate);

    CAppMainFrame* frame = new CAppMainFrame;
    if (!frame->LoadFrame(kIdMainFrame, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE)) {
        delete frame;
        return false;
    }
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

    frame->ShowWindow(m_nCmdShow);
    frame->UpdateWindow();
    return true;
}

bool CApp::HandOverToRunningInstance(const CCommandLineInfo& info) {
    HWND self = m_pMainWnd->m_hWnd;
    m_pDdeClient = &m_ddeClient; // the main frame passes WM_DDE_ACK on to it
    HWND server = m_ddeClient.FindServer(self, m_strExeName.c_str(), "system", kDdeFindTimeoutMs);
    if (server) {
        std::string command;
        switch (info.m_nShellCommand) {
        case CCommandLineInfo::FileOpen:
            command = AfxFormat("[open(\"%s\")]", info.m_strFileName.c_str());
            break;
        case CCommandLineInfo::FilePrint:
            command = AfxFormat("[print(\"%s\")]", info.m_strFileName.c_str());
            break;
        case CCommandLineInfo::FilePrintTo:
            command = AfxFormat("[printto(\"%s\",\"%s\",\"%s\",\"%s\")]",
                                info.m_strFileName.c_str(), info.m_strPrinterName.c_str(),
                                info.m_strDriverName.c_str(), info.m_strPortName.c_str());
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
    if (m_settings)
        m_settings->SaveOnExit();
    m_settings.reset();
    return CWinApp::ExitInstance();
}

CApp* AppGetApp() {
    return static_cast<CApp*>(AfxGetApp());
}

SettingsStore* AppSettings() {
    CApp* app = AppGetApp();
    return app ? app->GetSettings() : nullptr;
}
