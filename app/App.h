// CApp: the editor's application object: start-up (OLE, settings, the document template, the
// main frame, the hand-over to a running instance over DDE, the command line) and exit.
// Layer: app/.
#pragma once

#include "framework/DdeShellClient.h"
#include "framework/WinApp.h"

#include <memory>

class CCommandLineInfo;
class CMultiDocTemplate;
class SettingsStore;

class CApp : public CWinApp {
public:
    CApp();
    ~CApp() override;

    bool InitInstance() override;
    int ExitInstance() override;

    SettingsStore* GetSettings() const { return m_settings.get(); }
    CMultiDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    DECLARE_MESSAGE_MAP()

private:
    // Looks for a running instance; when one answers, hands it the command line and returns
    // true (this instance then ends).
    bool HandOverToRunningInstance(const CCommandLineInfo& info);

    std::unique_ptr<SettingsStore> m_settings;
    CDdeShellClient m_ddeClient; // the second instance's side of the conversation
    CMultiDocTemplate* m_pDocTemplate = nullptr;
};

CApp* AppGetApp();
SettingsStore* AppSettings();
