// The framework tests' application and window classes.
#include "tests/framework/TestApp.h"

#include "framework/Archive.h"
#include "framework/CreateContext.h"
#include "framework/File.h"
#include "framework/FileException.h"
#include "framework/MessageBox.h"
#include "framework/MultiDocTemplate.h"
#include "tests/framework/FrameworkTestIds.h"

#include <cstdio>
#include <fstream>
#include <sstream>

// --- Application ------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(TestApp, CWinApp)
ON_COMMAND_EX(ID_TEST_ROUTE, OnRoute)
ON_COMMAND(ID_TEST_APP_ONLY, OnAppOnly)
END_MESSAGE_MAP()

TestApp::TestApp() {
    m_bPostQuitOnMainWndDestroy = false;
    m_pTemplate = new CMultiDocTemplate(IDR_TESTDOC, RUNTIME_CLASS(TestDoc),
                                        RUNTIME_CLASS(TestChildFrame), RUNTIME_CLASS(TestView));
    AddDocTemplate(m_pTemplate);
}

bool TestApp::DoPromptFileName(std::string& fileName, UINT, DWORD, bool, CDocTemplate*) {
    ++m_prompts;
    m_proposedName = fileName;
    if (!m_promptAccepts)
        return false;
    fileName = m_promptAnswer;
    return true;
}

void TestApp::WinHelp(DWORD_PTR data, UINT) {
    m_helpKeys.push_back(data);
}

bool TestApp::OnRoute(UINT) {
    m_route += "app;";
    return false;
}

void TestApp::OnAppOnly() {
    ++m_appOnlyRuns;
}

TestApp& App() {
    static TestApp* app = new TestApp; // lives to the end of the process
    return *app;
}

void Pump() {
    App().PumpPendingMessages();
}

// --- Document ---------------------------------------------------------------------------------

IMPLEMENT_DYNCREATE(TestDoc, CDocument)

BEGIN_MESSAGE_MAP(TestDoc, CDocument)
ON_COMMAND_EX(ID_TEST_ROUTE, OnRoute)
END_MESSAGE_MAP()

void TestDoc::Serialize(CArchive& ar) {
    if (ar.IsLoading()) {
        std::string text(static_cast<size_t>(ar.GetFileLength()), '\0');
        if (!text.empty())
            ar.Read(&text[0], static_cast<UINT>(text.size()));
        m_text = text;
        return;
    }
    if (m_failAfterBytes >= 0 && static_cast<size_t>(m_failAfterBytes) < m_text.size()) {
        ar.Write(m_text.data(), static_cast<UINT>(m_failAfterBytes));
        AfxThrowFileException(CFileException::diskFull, ERROR_DISK_FULL);
    }
    ar.Write(m_text.data(), static_cast<UINT>(m_text.size()));
}

void TestDoc::DeleteContents() {
    ++m_deleteContentsCalls;
    m_text.clear();
}

bool TestDoc::OnRoute(UINT) {
    App().m_route += "doc;";
    return false;
}

// --- View -------------------------------------------------------------------------------------

IMPLEMENT_DYNCREATE(TestView, CView)

BEGIN_MESSAGE_MAP(TestView, CView)
ON_COMMAND_EX(ID_TEST_ROUTE, OnRoute)
ON_UPDATE_COMMAND_UI(ID_TEST_CHECKED, OnUpdateChecked)
ON_UPDATE_COMMAND_UI(ID_TEST_DISABLED, OnUpdateDisabled)
ON_COMMAND(ID_TEST_DISABLED, OnDisabled)
ON_COMMAND(ID_TEST_HANDLED, OnHandled)
ON_COMMAND_RANGE(ID_TEST_RANGE_FIRST, ID_TEST_RANGE_LAST, OnRange)
ON_UPDATE_COMMAND_UI_RANGE(ID_TEST_RANGE_FIRST, ID_TEST_RANGE_LAST, OnUpdateRange)
ON_COMMAND(ID_TEST_ACCEL, OnAccel)
END_MESSAGE_MAP()

void TestView::OnInitialUpdate() {
    ++m_initialUpdates;
    CView::OnInitialUpdate();
}

void TestView::OnActivateView(bool activate, CView* activateView, CView* deactiveView) {
    if (activate && activateView == this)
        ++m_activations;
    CView::OnActivateView(activate, activateView, deactiveView);
}

bool TestView::OnRoute(UINT) {
    App().m_route += "view;";
    return false;
}

void TestView::OnUpdateChecked(CCmdUI* cmdUI) {
    cmdUI->SetCheck(1);
}

void TestView::OnUpdateDisabled(CCmdUI* cmdUI) {
    cmdUI->Enable(false);
}

void TestView::OnDisabled() {
    ++m_disabledRuns;
}

void TestView::OnHandled() {
    ++m_handledRuns;
}

void TestView::OnRange(UINT id) {
    m_lastRange = id;
}

void TestView::OnUpdateRange(CCmdUI* cmdUI) {
    char text[32];
    std::snprintf(text, sizeof text, "范围%u", cmdUI->m_nID - ID_TEST_RANGE_FIRST);
    cmdUI->SetText(text);
}

void TestView::OnAccel() {
    ++m_accelRuns;
}

// --- Frames and bar ---------------------------------------------------------------------------

IMPLEMENT_DYNCREATE(TestChildFrame, CMDIChildWnd)

BEGIN_MESSAGE_MAP(TestChildFrame, CMDIChildWnd)
ON_COMMAND_EX(ID_TEST_ROUTE, OnRoute)
END_MESSAGE_MAP()

bool TestChildFrame::OnCreateClient(LPCREATESTRUCTA, CCreateContext* context) {
    return m_splitter.Create(this, 2, 1, SIZE{10, 10}, context,
                             WS_CHILD | WS_VISIBLE | SPLS_DYNAMIC_SPLIT, AFX_IDW_PANE_FIRST);
}

bool TestChildFrame::OnRoute(UINT) {
    App().m_route += "child;";
    return false;
}

BEGIN_MESSAGE_MAP(TestMainFrame, CMDIFrameWnd)
ON_COMMAND_EX(ID_TEST_ROUTE, OnRoute)
END_MESSAGE_MAP()

bool TestMainFrame::OnRoute(UINT) {
    App().m_route += "main;";
    return false;
}

SIZE TestBar::CalcFixedLayout(bool, bool horz) {
    return horz ? SIZE{32767, 20} : SIZE{30, 32767};
}

void TestBar::OnUpdateCmdUI(CFrameWnd* target, bool disableIfNoHandler) {
    ++m_updates;
    CTestCmdUI state;
    state.m_nID = ID_TEST_HANDLED;
    state.DoUpdate(target, disableIfNoHandler);
    m_handledEnabled = state.m_bEnabled;
}

// --- Fixture ----------------------------------------------------------------------------------

void FrameworkTest::SetUp() {
    AfxSetMessageBoxHook(&BoxLog::Hook);
    BoxLog::Clear();
    TestApp& app = App();
    app.m_route.clear();
    app.m_prompts = 0;
    app.m_promptAccepts = true;
    app.m_helpKeys.clear();
    m_main = new TestMainFrame;
    ASSERT_TRUE(m_main->LoadFrame(IDR_TESTMAIN, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
    app.m_pMainWnd = m_main;
    m_main->ShowWindow(SW_SHOWNORMAL);
    Pump();
}

void FrameworkTest::TearDown() {
    TestApp& app = App();
    BoxLog::answers.assign(64, IDNO);
    app.CloseAllDocuments(false);
    if (app.m_pMainWnd && app.m_pMainWnd->m_hWnd)
        app.m_pMainWnd->DestroyWindow();
    app.m_pMainWnd = nullptr;
    Pump();
    BoxLog::Clear();
    m_temp.Remove();
    AfxSetMessageBoxHook(nullptr);
}

TestDoc* FrameworkTest::NewDocument() {
    m_main->SendMessage(WM_COMMAND, ID_FILE_NEW);
    Pump();
    return DynamicDowncast<TestDoc>(m_main->GetActiveDocument());
}
