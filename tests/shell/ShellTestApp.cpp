// The shell tests' program and fixture.
#include "tests/shell/ShellTestApp.h"

#include "app/ShellIds.h"
#include "framework/MessageBox.h"
#include "framework/ResourceText.h"
#include "framework/MultiDocTemplate.h"
#include "tests/shell/ShellTestIds.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

ShellTestApp::ShellTestApp() {
    m_bPostQuitOnMainWndDestroy = false;
    m_pTemplate =
        new CMultiDocTemplate(IDR_SHELLDOC, RUNTIME_CLASS(CTextEditDoc),
                              RUNTIME_CLASS(ShellTestChild), RUNTIME_CLASS(ShellTestView));
    AddDocTemplate(m_pTemplate);
}

ShellTestApp& App() {
    static ShellTestApp* app = new ShellTestApp; // lives to the end of the process
    return *app;
}

void Pump() {
    App().PumpPendingMessages();
}

// --- View -------------------------------------------------------------------------------------

IMPLEMENT_DYNCREATE(ShellTestView, CView)

void ShellTestView::SplitLogicalLine(const FxLine& head, std::vector<FxLine>& out) {
    out.push_back(head); // never splits
}

void ShellTestView::BeginReload(int32_t& line, int32_t& col) {
    line = m_caret.line;
    col = m_caret.col;
    m_caret = FxTextPos(0, 0);
}

void ShellTestView::EndReload(int32_t line, int32_t col) {
    ++m_reloads;
    m_caret = FxTextPos(col, line);
}

void ShellTestView::RestoreWrap(int mode, int) {
    m_restoredWrap = mode;
}

IMPLEMENT_DYNCREATE(ShellTestChild, CMDIChildWnd)

// --- Main frame -------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(ShellTestFrame, CMDIFrameWnd)
ON_WM_CREATE()
ON_MESSAGE(FileChangeMonitor::kFileChangedMessage, OnFileChanged)
ON_UPDATE_COMMAND_UI(ID_INDICATOR_TYPE, OnUpdateType)
END_MESSAGE_MAP()

int ShellTestFrame::OnCreate(LPCREATESTRUCTA cs) {
    if (CMDIFrameWnd::OnCreate(cs) == -1)
        return -1;
    static const UINT indicators[] = {0,
                                      ID_INDICATOR_POSITION,
                                      ID_INDICATOR_CHAR,
                                      ID_INDICATOR_SIZE,
                                      ID_INDICATOR_TYPE,
                                      ID_INDICATOR_OVERWRITE,
                                      ID_INDICATOR_READONLY};
    if (!m_status.Create(this) ||
        !m_status.SetIndicators(indicators, sizeof indicators / sizeof indicators[0]))
        return -1;
    return 0;
}

LRESULT ShellTestFrame::OnFileChanged(WPARAM wParam, LPARAM lParam) {
    ++m_notices;
    CTextEditDoc* doc =
        CTextEditDoc::FromChangeNotice(wParam, lParam, App().m_pTemplate->GetDocuments());
    if (doc) {
        ++m_validNotices;
        doc->OnFileChangedOnDisk();
    }
    return 0;
}

void ShellTestFrame::OnUpdateType(CCmdUI* cmdUI) {
    cmdUI->SetText(m_typeText.c_str());
    cmdUI->Enable(true);
}

void ShellTestFrame::ShowStatusMessage(const char* text) {
    m_statusTexts.push_back(text);
    m_status.ShowMessage(text);
}

void ShellTestFrame::ShowStatusProgress(UINT labelId, int position, int maximum) {
    m_status.SetProgress(labelId, position, maximum);
    if (position == -1 || position >= maximum)
        m_status.SetPaneText(0, AfxLoadString(AFX_IDS_IDLEMESSAGE).c_str());
}

void ShellTestFrame::OnDocumentRenamed(CTextEditDoc*, const char* path) {
    m_renames.push_back(path);
}

void ShellTestFrame::OnDocumentStateChanged(CTextEditDoc*, int state) {
    m_states.push_back(state);
}

// --- Hooks ------------------------------------------------------------------------------------

std::string DialogAnswer::path;
int DialogAnswer::encoding = 1, DialogAnswer::lineEnd = 0;
bool DialogAnswer::cancel = false;
int DialogAnswer::shown = 0;
std::string DialogAnswer::proposed;
int DialogAnswer::preEncoding = -1, DialogAnswer::preLineEnd = -1;

INT_PTR DialogAnswer::Hook(CDlgFile& dialog) {
    ++shown;
    proposed = dialog.m_initialName;
    preEncoding = dialog.m_encoding;
    preLineEnd = dialog.m_lineEnd;
    if (cancel)
        return IDCANCEL;
    dialog.SetAnswer({path}, encoding, lineEnd);
    return IDOK;
}

// --- Fixture ----------------------------------------------------------------------------------

void ShellTest::SetUp() {
    AfxSetMessageBoxHook(&BoxLog::Hook);
    CDlgFile::SetPromptHook(&DialogAnswer::Hook);
    BoxLog::Clear();
    DialogAnswer::shown = 0;
    DialogAnswer::cancel = false;
    m_settings.reset(new SettingsStore((TempPath("")).c_str()));
    m_settings->BuildFileTypeList();
    m_monitor.reset(new FileChangeMonitor);
    CTextEditDoc::SetFileMonitor(m_monitor.get());
    ShellTestApp& app = App();
    m_main = new ShellTestFrame;
    ASSERT_TRUE(m_main->LoadFrame(IDR_SHELLMAIN, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
    app.m_pMainWnd = m_main;
    CTextEditDoc::SetHost(m_main);
    m_main->ShowWindow(SW_SHOWNORMAL);
    Pump();
}

void ShellTest::TearDown() {
    ShellTestApp& app = App();
    BoxLog::answers.assign(64, IDNO);
    app.CloseAllDocuments(false);
    if (app.m_pMainWnd && app.m_pMainWnd->m_hWnd)
        app.m_pMainWnd->DestroyWindow();
    app.m_pMainWnd = nullptr;
    Pump();
    CTextEditDoc::SetHost(nullptr);
    CTextEditDoc::SetFileMonitor(nullptr);
    m_monitor.reset();
    m_settings.reset();
    BoxLog::Clear();
    m_temp.Remove();
    CDlgFile::SetPromptHook(nullptr);
    AfxSetMessageBoxHook(nullptr);
}

CTextEditDoc* ShellTest::Open(const std::string& path, int encoding) {
    CDocument* doc = CTextEditDoc::OpenFileWithEncoding(path.c_str(), encoding);
    Pump();
    return DynamicDowncast<CTextEditDoc>(doc);
}

ShellTestView* ShellTest::ViewOf(CTextEditDoc* doc) {
    return DynamicDowncast<ShellTestView>(doc->GetFirstView());
}

void ShellTest::Type(CTextEditDoc* doc, const char* text, int32_t line) {
    FxTextPos pos(0, line);
    if (doc->InsertText(pos, text, static_cast<int32_t>(std::strlen(text))))
        doc->SetModifiedFlag(true);
}

std::string ShellTest::Text(CTextEditDoc* doc) {
    FxTextPos start(0, 0), end = doc->EndPos();
    std::string text(static_cast<size_t>(doc->MeasureText(start, end, 0)) + 1, '\0');
    int32_t n = doc->CopyText(start, end, &text[0], static_cast<int32_t>(text.size()), 0);
    text.resize(static_cast<size_t>(n));
    return text;
}
