// CApp: the editor's application object: start-up (OLE, settings, the document template, the
// main frame, the hand-over to a running instance over DDE, the command line) and exit.
// Layer: app/.
#pragma once

#include "app/FileChangeMonitor.h"
#include "framework/DdeShellClient.h"
#include "framework/WinApp.h"

#include <memory>
#include <string>

class CCommandLineInfo;
class CTextEditTemplate;
class SettingsStore;

class CApp : public CWinApp {
public:
    CApp();
    ~CApp() override;

    bool InitInstance() override;
    int ExitInstance() override;
    // The framework's idle work, then one step of the file change monitor while detection is
    // on, a document window is active and the program is in the foreground.
    bool OnIdle(LONG count) override;

    // Saves every modified document that has a path, and the untitled ones when asked; the
    // first failed save stops and gives false.
    using CWinApp::SaveAllModified;
    bool SaveAllModified(bool includeUntitled);

    // "product (version)\n\ncopyright\n\n" from the program's version resource.
    static std::string GetVersionText();

    SettingsStore* GetSettings() const { return m_settings.get(); }
    CTextEditTemplate* GetDocTemplate() const { return m_pDocTemplate; }
    FileChangeMonitor& FileMonitor() { return m_monitor; }

    DECLARE_MESSAGE_MAP()

private:
    static bool IsForeground();
    // Looks for a running instance; when one answers, hands it the command line and returns
    // true (this instance then ends).
    bool HandOverToRunningInstance(const CCommandLineInfo& info);

    std::unique_ptr<SettingsStore> m_settings;
    CDdeShellClient m_ddeClient; // the second instance's side of the conversation
    // Outlives every document: they remove their watches when they go.
    FileChangeMonitor m_monitor;
    CTextEditTemplate* m_pDocTemplate = nullptr;
};

CApp* AppGetApp();
SettingsStore* AppSettings();
