// The framework tests' application, document, view, frames and bar, and the fixture that
// makes a fresh main frame for each test; message boxes are answered by a hook.
#pragma once

#include "framework/CmdUI.h"
#include "framework/ControlBar.h"
#include "framework/Document.h"
#include "framework/MDIChildWnd.h"
#include "framework/MDIFrameWnd.h"
#include "framework/SplitterWnd.h"
#include "framework/View.h"
#include "framework/WinApp.h"
#include "tests/WinTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class CMultiDocTemplate;

class TestApp : public CWinApp {
public:
    TestApp();
    bool DoPromptFileName(std::string& fileName, UINT titleId, DWORD flags, bool openFile,
                          CDocTemplate* docTemplate) override;
    void WinHelp(DWORD_PTR data, UINT cmd) override;

    bool OnRoute(UINT id);
    void OnAppOnly();

    CMultiDocTemplate* m_pTemplate = nullptr;
    std::string m_route;
    int m_appOnlyRuns = 0;
    // The file-name prompt: the name it was shown, and the answer.
    int m_prompts = 0;
    std::string m_proposedName;
    std::string m_promptAnswer;
    bool m_promptAccepts = true;
    std::vector<DWORD_PTR> m_helpKeys;

    DECLARE_MESSAGE_MAP()
};

TestApp& App();
// Handles every waiting message and the idle calls.
void Pump();

class TestDoc : public CDocument {
    DECLARE_DYNCREATE(TestDoc)
public:
    void Serialize(CArchive& ar) override;
    void DeleteContents() override;
    bool OnRoute(UINT id);

    std::string m_text;
    int m_failAfterBytes = -1; // storing throws a disk-full error after this many bytes
    int m_deleteContentsCalls = 0;

    DECLARE_MESSAGE_MAP()
};

class TestView : public CView {
    DECLARE_DYNCREATE(TestView)
public:
    void OnDraw(HDC) override {}
    void OnInitialUpdate() override;
    void OnActivateView(bool activate, CView* activateView, CView* deactiveView) override;

    bool OnRoute(UINT id);
    void OnUpdateChecked(CCmdUI* cmdUI);
    void OnUpdateDisabled(CCmdUI* cmdUI);
    void OnDisabled();
    void OnHandled();
    void OnRange(UINT id);
    void OnUpdateRange(CCmdUI* cmdUI);
    void OnAccel();

    int m_initialUpdates = 0;
    int m_activations = 0;
    int m_disabledRuns = 0;
    int m_handledRuns = 0;
    UINT m_lastRange = 0;
    int m_accelRuns = 0;

    DECLARE_MESSAGE_MAP()
};

class TestChildFrame : public CMDIChildWnd {
    DECLARE_DYNCREATE(TestChildFrame)
public:
    bool OnCreateClient(LPCREATESTRUCTA cs, CCreateContext* context) override;
    bool OnRoute(UINT id);

    CSplitterWnd m_splitter;

    DECLARE_MESSAGE_MAP()
};

class TestMainFrame : public CMDIFrameWnd {
public:
    bool OnRoute(UINT id);
    DECLARE_MESSAGE_MAP()
};

class TestBar : public CControlBar {
public:
    SIZE CalcFixedLayout(bool stretch, bool horz) override;
    void OnUpdateCmdUI(CFrameWnd* target, bool disableIfNoHandler) override;

    int m_updates = 0;
    bool m_handledEnabled = false; // what command-UI said about ID_TEST_HANDLED
};

class FrameworkTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    TestMainFrame* m_main = nullptr;
    TestDoc* NewDocument();
    // A fresh temporary folder for files of one test (removed in TearDown).
    std::string TempPath(const char* name) { return m_temp.Path(name); }
    TempFolder m_temp{"qvfw"};
};
