// CWinApp: the application object: start-up and exit, the message loop with idle processing,
// documents through the document manager, the recent-file list, profile access, command line,
// the shell's DDE commands and help. Layer: framework/.
#pragma once

#include "framework/CmdTarget.h"

#include <windows.h>

#include <memory>
#include <string>

class CCmdUI;
class CCommandLineInfo;
class CDdeShellClient;
class CDocManager;
class CDocTemplate;
class CDocument;
class CRecentFileList;
class CWnd;

class CWinApp : public CCmdTarget {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;

    // --- Life ----------------------------------------------------------------------------
    virtual bool InitInstance();
    virtual int ExitInstance();
    // The message loop; returns ExitInstance's code after WM_QUIT.
    virtual int Run();
    // Idle work, called with 0, 1, 2, ... while no message waits; return true for more calls.
    // Count 0 updates the command UI of the main frame's bars and menus-less items.
    virtual bool OnIdle(LONG count);
    virtual bool PreTranslateMessage(MSG* msg);
    // Messages after which idle processing starts again (not mouse moves that did not move).
    virtual bool IsIdleMessage(MSG* msg);
    // One message from the queue; false on WM_QUIT.
    bool PumpMessage();
    // Handles every message waiting now, then the idle calls; false when WM_QUIT was seen
    // (it is put back in the queue). For tests and for modal waits.
    bool PumpPendingMessages();

    // --- Messages to the user and help ---------------------------------------------------
    virtual int DoMessageBox(const char* text, UINT type, UINT helpId);
    // Help for a key: a frame's or dialog's resource id, or a command id. Does nothing here.
    virtual void WinHelp(DWORD_PTR data, UINT cmd = HELP_CONTEXT);
    // Popup help for a dialog control (WM_HELP); key is the control's help id or -1.
    virtual bool ShowControlHelp(HWND control, DWORD key);

    // --- Documents -----------------------------------------------------------------------
    void AddDocTemplate(CDocTemplate* docTemplate);
    // Opens a file, or activates it when it is open already.
    virtual CDocument* OpenDocumentFile(const char* path);
    // Asks for a file name (open or save dialog); the program may replace the dialog.
    virtual bool DoPromptFileName(std::string& fileName, UINT titleId, DWORD flags, bool openFile,
                                  CDocTemplate* docTemplate);
    virtual bool SaveAllModified();
    void CloseAllDocuments(bool endSession);
    int GetOpenDocumentCount() const;

    // --- Recent files and profile --------------------------------------------------------
    virtual void AddToRecentFileList(const char* path);
    // Reads the recent-file list (mruCount entries) from the profile.
    void LoadStdProfileSettings(UINT mruCount = 4);
    void SaveStdProfileSettings();
    UINT GetProfileInt(const char* section, const char* entry, int defaultValue) const;
    std::string GetProfileString(const char* section, const char* entry,
                                 const char* defaultValue = "") const;
    bool WriteProfileInt(const char* section, const char* entry, int value);
    bool WriteProfileString(const char* section, const char* entry, const char* value);

    // --- Command line and shell ----------------------------------------------------------
    void ParseCommandLine(CCommandLineInfo& info);
    // New, open, print (the document's view gets 57608, then the program quits) or nothing.
    virtual bool ProcessShellCommand(CCommandLineInfo& info);
    // Registers the atoms of the shell's DDE conversation (application = the executable's
    // name, topic "system").
    void EnableShellOpen();
    // A shell command: "[open(\"path\")]", "[print(\"path\")]" or
    // "[printto(\"path\",\"printer\",\"driver\",\"port\")]". True when understood.
    virtual bool OnDDECommand(const char* command);
    // WM_DDE_ACK that reached the main frame (the second-instance side of the conversation).
    virtual void OnDdeAck(HWND from, LPARAM lParam);

    // --- State ---------------------------------------------------------------------------
    HINSTANCE m_hInstance = nullptr;
    std::string m_strAppName;     // the title of message boxes and frames (string 57344)
    std::string m_strExeName;     // the executable's base name
    std::string m_strProfileName; // the INI file of the framework's settings
    std::string m_strHelpFilePath;
    CWnd* m_pMainWnd = nullptr;
    int m_nCmdShow = SW_SHOWDEFAULT;
    bool m_bPostQuitOnMainWndDestroy = true;
    CDocManager* m_pDocManager = nullptr;
    CRecentFileList* m_pRecentFileList = nullptr;
    CDdeShellClient* m_pDdeClient = nullptr; // set by the program while it looks for another
                                             // instance; acknowledgements go to it
    ATOM m_atomApp = 0;
    ATOM m_atomSystemTopic = 0;
    const CCommandLineInfo* m_pCmdInfo = nullptr; // the command being processed (printing)

    // Standard command handlers.
    void OnFileNew();
    void OnFileOpen();
    void OnAppExit();
    bool OnOpenRecentFile(UINT id);
    void OnUpdateRecentFileMenu(CCmdUI* cmdUI);
    void OnHelp();

    DECLARE_MESSAGE_MAP()

private:
    // Prints a document the shell named: opened, printed through its view, closed again when
    // it was not open before.
    bool PrintShellDocument(const char* path);
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
const char* AfxGetAppName();

// The program's entry: WinMain returns AfxWinMain(...). Runs InitInstance and, when it
// succeeds, the message loop; otherwise ExitInstance.
int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCmd);
