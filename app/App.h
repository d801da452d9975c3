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
class RecoveryManager;
class CTextEditTemplate;
class SettingsStore;

class CApp : public CWinApp {
public:
    CApp();
    ~CApp() override;

    bool InitInstance() override;
    int ExitInstance() override;
    // The framework's idle work, then one step of the file change monitor while detection is
    // on, a document window is active and the program is in the foreground. The first idle
    // time sets the event named by the environment variable kFirstIdleEventVariable, if any:
    // a starting program has drawn its windows then (start-up timing from outside).
    bool OnIdle(LONG count) override;
    static constexpr const char* kFirstIdleEventVariable = "QUORVANE_IDLE_EVENT";

    // Saves every modified document that has a path, and the untitled ones when asked; the
    // first failed save stops and gives false.
    using CWinApp::SaveAllModified;
    bool SaveAllModified(bool includeUntitled);

    // --- Help (HTML Help) ---------------------------------------------------------------------
    // Opens the help file at the topic of a help key (a frame's or dialog's resource id, or a
    // command), menus and mouse capture closed first; nothing for key 0, HELP_QUIT, or when
    // the help file or the help viewer is missing.
    void WinHelp(DWORD_PTR key, UINT cmd = HELP_CONTEXT) override;
    // The popup text of a dialog control from "::/Help.txt" in the help file; false (nothing
    // shown) when key is neither -1 nor a control of the control help table.
    bool ShowControlHelp(HWND control, DWORD key) override;
    static UINT HelpTopicOf(DWORD_PTR key);
    // The popup text number of a control identifier; 0 when the table has none.
    static UINT ControlHelpTextOf(DWORD controlId);
    // The help viewer's entry point, HtmlHelpA by default; tests put their own.
    using HelpViewer = HWND(WINAPI*)(HWND owner, const char* file, UINT command, DWORD_PTR data);
    static HelpViewer SetHelpViewer(HelpViewer viewer);

    // "product (version)\n\ncopyright\n\n" from the program's version resource.
    static std::string GetVersionText();

    SettingsStore* GetSettings() const { return m_settings.get(); }
    CTextEditTemplate* GetDocTemplate() const { return m_pDocTemplate; }
    FileChangeMonitor& FileMonitor() { return m_monitor; }
    // The recovery copies of modified documents (null when the folder cannot be used).
    RecoveryManager* Recovery() const { return m_recovery.get(); }
    // Whether start-up offers the copies of a run that did not end normally; tests that start
    // the application in their own process, beside each other, turn it off.
    void SetOfferRecovery(bool offer) { m_offerRecovery = offer; }

    DECLARE_MESSAGE_MAP()

private:
    static bool IsForeground();
    static void SignalFirstIdle();
    static HelpViewer LoadHelpViewer();
    // Closes menus and ends mouse capture before the help viewer comes up.
    void CancelModes(HWND extra);
    // Looks for a running instance; when one answers, hands it the command line and returns
    // true (this instance then ends).
    bool HandOverToRunningInstance(const CCommandLineInfo& info);
    // Claims this instance's place for recovery copies, starts their timer and asks, once
    // the frame is up, about the copies a run that did not end left behind.
    void StartRecovery(class CAppMainFrame& frame);

    std::unique_ptr<SettingsStore> m_settings;
    CDdeShellClient m_ddeClient; // the second instance's side of the conversation
    // Outlives every document: they remove their watches when they go.
    FileChangeMonitor m_monitor;
    CTextEditTemplate* m_pDocTemplate = nullptr;
    bool m_idleSignalled = false;
    std::unique_ptr<RecoveryManager> m_recovery;
    bool m_offerRecovery = true;
};

CApp* AppGetApp();
SettingsStore* AppSettings();
RecoveryManager* AppRecovery();
