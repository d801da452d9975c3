// The shell tests' program: an application with the text document template, a main frame with
// the status bar that serves as the documents' host and handles the file-changed notice, a
// small view that records reloads, and the fixture. Message boxes and the file dialog are
// answered by hooks.
#pragma once

#include "app/DlgFile.h"
#include "app/FileChangeMonitor.h"
#include "app/TextDocHost.h"
#include "app/TextEditDoc.h"
#include "settings/SettingsStore.h"
#include "framework/CmdUI.h"
#include "framework/MDIChildWnd.h"
#include "framework/MDIFrameWnd.h"
#include "framework/View.h"
#include "framework/WinApp.h"
#include "textdoc/DocView.h"
#include "workspace/BarStatus.h"
#include "tests/WinTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class CMultiDocTemplate;

class ShellTestApp : public CWinApp {
public:
    ShellTestApp();
    CMultiDocTemplate* m_pTemplate = nullptr;
};

ShellTestApp& App();
void Pump();
// Pumps until pred holds or ms have passed; true when it held.
template <class Pred> bool PumpUntil(Pred pred, DWORD ms) {
    DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start > ms)
            return false;
        Pump();
        Sleep(20);
    }
    return true;
}

class ShellTestView : public CView, public IFxDocView, public ITextDocReloadView {
    DECLARE_DYNCREATE(ShellTestView)
public:
    void OnDraw(HDC) override {}
    void SplitLogicalLine(const FxLine& head, std::vector<FxLine>& out) override;
    void OnTextEdited(const FxTextPos&, int32_t, bool) override {}
    void BeginReload(int32_t& line, int32_t& col) override;
    void EndReload(int32_t line, int32_t col) override;
    void RestoreWrap(int mode, int column) override;

    FxTextPos m_caret; // logical
    int m_reloads = 0;
    int m_restoredWrap = -1;
};

class ShellTestChild : public CMDIChildWnd {
    DECLARE_DYNCREATE(ShellTestChild)
};

class ShellTestFrame : public CMDIFrameWnd, public ITextDocHost {
public:
    int OnCreate(LPCREATESTRUCTA cs);
    LRESULT OnFileChanged(WPARAM wParam, LPARAM lParam);
    void OnUpdateType(CCmdUI* cmdUI);

    void ShowStatusMessage(const char* text) override;
    void ShowStatusProgress(UINT labelId, int position, int maximum) override;
    void OnDocumentRenamed(CTextEditDoc* doc, const char* path) override;
    void OnDocumentStateChanged(CTextEditDoc* doc, int state) override;

    CBarStatus m_status;
    std::vector<std::string> m_statusTexts;
    std::vector<std::string> m_renames;
    std::vector<int> m_states;
    int m_notices = 0;      // 0x402 received
    int m_validNotices = 0; // ... naming an open document's current watch
    std::string m_typeText = " DOS，A ";

    DECLARE_MESSAGE_MAP()
};

// The file dialog's answer for the next prompts.
struct DialogAnswer {
    static std::string path;
    static int encoding, lineEnd;
    static bool cancel;
    static int shown;
    static std::string proposed; // the name the dialog was given
    static int preEncoding, preLineEnd;
    static INT_PTR Hook(CDlgFile& dialog);
};

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string TempPath(const char* name) { return m_temp.Path(name); }
    CTextEditDoc* Open(const std::string& path, int encoding = 0);
    ShellTestView* ViewOf(CTextEditDoc* doc);
    // Types text at the start of a line as the view would, marking the document modified.
    void Type(CTextEditDoc* doc, const char* text, int32_t line = 0);
    std::string Text(CTextEditDoc* doc);

    ShellTestFrame* m_main = nullptr;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<FileChangeMonitor> m_monitor;
    TempFolder m_temp{"qvsh"};
};
