// User tools in the editor started in this process: the Tools menu items, their command state,
// running a tool with its macros and messages, captured output in the real output panes, Stop
// from a pane, and the jump from a compiler's error line.
#include "app/App.h"
#include "app/AppMainFrame.h"
#include "app/CommandIds.h"
#include "app/TextEditDoc.h"
#include "app/TextEditTemplate.h"
#include "app/TextEditView.h"
#include "settings/SettingsIds.h"
#include "settings/SettingsStore.h"
#include "framework/CmdUI.h"
#include "framework/MDIChildWnd.h"
#include "framework/MessageBox.h"
#include "tools/OutputPane.h"
#include "tools/OutputWindow.h"

#include "tests/WinTestSupport.h"
#include "tests/app/AppTestUtil.h"
#include "common/PathName.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <functional>
#include <string>
#include <vector>

namespace {

CApp& TheApp() {
    static CApp* app = new CApp; // lives to the end of the process
    return *app;
}

class StateCmdUI : public CCmdUI {
public:
    void Enable(bool on = true) override { enabled = on; }
    bool enabled = false;
};

std::string BinFile(const char* name) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string dir = exe;
    return FxPathWithSeparator(FxPathFolder(dir)) + name;
}

UserToolInfo Tool(const std::string& name, const std::string& arg, bool capture,
                  const std::string& command = BinFile("qvprobe.exe")) {
    UserToolInfo t;
    t.name = name;
    t.command = command;
    t.argument = arg;
    t.captureOutput = capture;
    t.saveFiles = 0;
    return t;
}

std::string MenuText(HMENU menu, int pos) {
    char text[300] = "";
    GetMenuStringA(menu, static_cast<UINT>(pos), text, sizeof text, MF_BYPOSITION);
    return text;
}

HMENU ToolsPopup(HMENU bar) {
    for (int i = 0; i < GetMenuItemCount(bar); ++i)
        if (MenuText(bar, i) == "工具(&T)")
            return GetSubMenu(bar, i);
    return nullptr;
}

class UserToolsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(StartInProcessApp(TheApp())); }
    static void TearDownTestSuite() {
        AppSettings()->SetTools({});
        StopInProcessApp(TheApp());
    }
    void SetUp() override {
        m_frame = AppMainFrame();
        ASSERT_NE(m_frame, nullptr);
        AfxSetMessageBoxHook(BoxLog::Hook);
        BoxLog::Clear();
        m_savedTools = AppSettings()->Tools();
    }
    void TearDown() override {
        WriteWholeFile(m_temp.Path("stop.flag"), "");
        ASSERT_TRUE(WaitFor(
            [&] { return m_frame->Tools().Job(0).IsFree() && m_frame->Tools().Job(1).IsFree(); }));
        for (CTextEditDoc* doc : m_frame->TextDocuments())
            doc->SetModifiedFlag(false);
        TheApp().CloseAllDocuments(false);
        m_frame->Tools().SetRunnerPath(BinFile("QVLOADER.EXE"));
        AppSettings()->SetTools(m_savedTools);
        m_frame->RebuildToolsMenus();
        for (int key = 1; key <= 2; ++key)
            if (OutputPane* pane = m_frame->OutputWnd().GetPane(key))
                pane->Clear();
        AfxSetMessageBoxHook(nullptr);
        TheApp().PumpPendingMessages();
        m_temp.Remove();
    }
    void SetTools(const std::vector<UserToolInfo>& tools) {
        AppSettings()->SetTools(tools);
        m_frame->RebuildToolsMenus();
    }
    bool WaitFor(const std::function<bool()>& done, DWORD ms = 15000) {
        const DWORD start = GetTickCount();
        while (!done()) {
            if (GetTickCount() - start > ms)
                return false;
            TheApp().PumpPendingMessages();
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
        return true;
    }
    std::string PaneText(int key) {
        OutputPane* pane = m_frame->OutputWnd().GetPane(key);
        if (!pane)
            return std::string();
        std::string all;
        for (int32_t i = 0; i < pane->Lines().Count(); ++i) {
            if (i)
                all += '\n';
            all += pane->LineText(i);
        }
        return all;
    }
    bool Enabled(size_t n) {
        StateCmdUI state;
        state.m_nID = static_cast<UINT>(ID_TOOL_FIRST + n);
        m_frame->OnUpdateUserTool(&state);
        return state.enabled;
    }
    bool BothFree() { return m_frame->Tools().Job(0).IsFree() && m_frame->Tools().Job(1).IsFree(); }
    CTextEditDoc* OpenFile(const std::string& path) {
        auto* doc = DynamicDowncast<CTextEditDoc>(TheApp().OpenDocumentFile(path.c_str()));
        TheApp().PumpPendingMessages();
        return doc;
    }

    CAppMainFrame* m_frame = nullptr;
    CLstUserToolInfo m_savedTools;
    TempFolder m_temp{"qvtools"};
};

TEST_F(UserToolsTest, SixteenToolsGiveTheSixteenthItemNoMnemonic) {
    std::vector<UserToolInfo> tools;
    for (int i = 0; i < 16; ++i)
        tools.push_back(Tool("工具" + std::to_string(i), "", false));
    SetTools(tools);
    for (HMENU bar :
         std::vector<HMENU>{m_frame->m_hMenuDefault, TheApp().GetDocTemplate()->m_hMenuShared}) {
        HMENU popup = ToolsPopup(bar);
        ASSERT_TRUE(popup);
        const int n = GetMenuItemCount(popup);
        ASSERT_GE(n, 17);
        EXPECT_EQ(GetMenuItemID(popup, n - 17), 0u); // the separator before the tools
        EXPECT_EQ(MenuText(popup, n - 16), "&1. 工具0");
        EXPECT_EQ(MenuText(popup, n - 7), "&a. 工具9");
        EXPECT_EQ(MenuText(popup, n - 2), "&f. 工具14");
        EXPECT_EQ(MenuText(popup, n - 1), "工具15");
        EXPECT_EQ(GetMenuItemID(popup, n - 1), static_cast<UINT>(ID_TOOL_FIRST + 15));
    }
    // Rebuilding with fewer tools leaves no stale item and one separator.
    SetTools({Tool("唯一", "", false)});
    HMENU popup = ToolsPopup(m_frame->m_hMenuDefault);
    const int n = GetMenuItemCount(popup);
    EXPECT_EQ(MenuText(popup, n - 1), "&1. 唯一");
    EXPECT_EQ(GetMenuItemID(popup, n - 2), 0u);
    EXPECT_NE(GetMenuItemID(popup, n - 3), 0u);
    // The status bar prompt of a tool is its command.
    std::string prompt;
    m_frame->GetMessageString(ID_TOOL_FIRST, prompt);
    EXPECT_EQ(prompt, BinFile("qvprobe.exe"));
}

TEST_F(UserToolsTest, MacrosComeFromTheActiveDocument) {
    const std::string src = m_temp.Path("src");
    CreateDirectoryA(src.c_str(), nullptr);
    WriteWholeFile(src + "\\a.c", "int x;\r\n");
    ASSERT_TRUE(OpenFile(src + "\\a.c"));
    SetTools({Tool("宏", "out:$(FileDir)$(FileNameNoExt).exe", true)});
    m_frame->SendMessage(WM_COMMAND, ID_TOOL_FIRST);
    ASSERT_TRUE(WaitFor([&] { return BothFree() && !PaneText(1).empty(); }));
    EXPECT_EQ(PaneText(1), src + "\\a.exe");
    EXPECT_TRUE(BoxLog::texts.empty());
}

TEST_F(UserToolsTest, AnUnnamedDocumentShowsItsMessageAndNothingRuns) {
    m_frame->SendMessage(WM_COMMAND, ID_FILE_NEW);
    TheApp().PumpPendingMessages();
    ASSERT_TRUE(m_frame->GetActiveTextDoc());
    SetTools({Tool("需要路径", "$(FileName)", true)});
    m_frame->SendMessage(WM_COMMAND, ID_TOOL_FIRST);
    ASSERT_EQ(BoxLog::texts.size(), 1u);
    EXPECT_EQ(BoxLog::texts[0],
              "“需要路径”\n您已经设定启动它的时候为其提供与路径相关的参数，请先保存"
              "当前文档然后再试。");
    EXPECT_TRUE(BoxLog::types[0] & MB_ICONINFORMATION);
    EXPECT_TRUE(BothFree());
    EXPECT_FALSE(m_frame->IsOutputChannelBusy(1));
    // Without any document the run stops silently.
    TheApp().CloseAllDocuments(false);
    TheApp().PumpPendingMessages();
    BoxLog::Clear();
    m_frame->SendMessage(WM_COMMAND, ID_TOOL_FIRST);
    EXPECT_TRUE(BoxLog::texts.empty());
    EXPECT_TRUE(BothFree());
}

TEST_F(UserToolsTest, OutputLargerThanOnePieceArrivesWholeInThePane) {
    SetTools({Tool("大量", "block:40000", true)});
    m_frame->SendMessage(WM_COMMAND, ID_TOOL_FIRST);
    OutputPane* pane = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        pane = m_frame->OutputWnd().GetPane(1);
        return BothFree() && pane && pane->Lines().Count() > 40000;
    }));
    ASSERT_EQ(pane->Lines().Count(), 40001);
    char expect[16];
    for (int32_t i = 0; i < 40000; i += 997) {
        std::snprintf(expect, sizeof expect, "L%07d", i);
        ASSERT_EQ(pane->LineText(i), expect) << i;
    }
    EXPECT_EQ(pane->LineText(39999), "L0039999");
    EXPECT_EQ(pane->LineText(40000), "");
}

TEST_F(UserToolsTest, TwoCapturesDisableAThirdWhileAToolWithoutCaptureStillRuns) {
    const std::string stop = m_temp.Path("stop.flag");
    const std::string touched = m_temp.Path("touched.txt");
    SetTools({Tool("一", "forever:" + stop, true), Tool("二", "forever:" + stop, true),
              Tool("三", "out:x", true), Tool("无捕捉", "touch:" + touched + " ok", false)});
    EXPECT_TRUE(Enabled(2));
    m_frame->SendMessage(WM_COMMAND, ID_TOOL_FIRST);
    m_frame->SendMessage(WM_COMMAND, ID_TOOL_FIRST + 1);
    EXPECT_TRUE(m_frame->IsOutputChannelBusy(1));
    EXPECT_TRUE(m_frame->IsOutputChannelBusy(2));
    EXPECT_FALSE(Enabled(0));
    EXPECT_FALSE(Enabled(2));
    EXPECT_TRUE(Enabled(3));
    EXPECT_FALSE(Enabled(4)); // no such tool
    m_frame->SendMessage(WM_COMMAND, ID_TOOL_FIRST + 3);
    EXPECT_TRUE(WaitFor([&] { return ReadWholeFile(touched) == "ok\r\n"; }));
    ASSERT_TRUE(WaitFor([&] { return PaneText(1).size() > 20 && PaneText(2).size() > 20; }));
    EXPECT_EQ(PaneText(1).substr(0, 8), "L0000000");
    EXPECT_EQ(PaneText(2).substr(0, 8), "L0000000");
    EXPECT_TRUE(BoxLog::texts.empty());
    WriteWholeFile(stop, "");
    ASSERT_TRUE(WaitFor([&] { return BothFree(); }));
    EXPECT_TRUE(Enabled(2));
}

TEST_F(UserToolsTest, StopInThePaneFreesTheChannelAndNothingMoreArrives) {
    SetTools({Tool("不停", "forever:" + m_temp.Path("stop.flag"), true)});
    m_frame->SendMessage(WM_COMMAND, ID_TOOL_FIRST);
    ASSERT_TRUE(WaitFor([&] { return PaneText(1).size() > 40; }));
    OutputPane* pane = m_frame->OutputWnd().GetPane(1);
    ASSERT_TRUE(pane);
    HANDLE runner = nullptr;
    DuplicateHandle(GetCurrentProcess(), m_frame->Tools().Job(0).RunnerProcess(),
                    GetCurrentProcess(), &runner, SYNCHRONIZE, FALSE, 0);
    pane->SendMessage(WM_COMMAND, 40421); // the pane's Stop
    EXPECT_FALSE(m_frame->IsOutputChannelBusy(1));
    const std::string seen = PaneText(1);
    const DWORD start = GetTickCount();
    WaitFor([&] { return GetTickCount() - start > 300; });
    EXPECT_EQ(PaneText(1), seen);
    EXPECT_TRUE(BothFree());
    EXPECT_EQ(WaitForSingleObject(runner, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    // The detached runner ends with its tool. The stop file must be seen before the test's
    // folder goes, or the tool and its runner would outlive the tests.
    WriteWholeFile(m_temp.Path("stop.flag"), "");
    EXPECT_EQ(WaitForSingleObject(runner, 15000), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(runner);
}

TEST_F(UserToolsTest, AMissingRunnerShowsItsMessage) {
    m_frame->Tools().SetRunnerPath(m_temp.Path("QVLOADER.EXE"));
    SetTools({Tool("缺少", "out:x", true)});
    m_frame->SendMessage(WM_COMMAND, ID_TOOL_FIRST);
    ASSERT_EQ(BoxLog::texts.size(), 1u);
    EXPECT_EQ(BoxLog::texts[0],
              "无法找到“QVLOADER.EXE”，Quorvane需要该程序来运行“缺少”，请确保该程序在Quorvane的目"
              "录内，如果该程序已损坏或被删除，请重新安装Quorvane。");
    EXPECT_TRUE(BothFree());
}

TEST_F(UserToolsTest, AToolThatCannotStartShowsTheSystemsText) {
    SetTools({Tool("坏", "", false, m_temp.Path("nothing.exe"))});
    m_frame->SendMessage(WM_COMMAND, ID_TOOL_FIRST);
    ASSERT_EQ(BoxLog::texts.size(), 1u);
    EXPECT_EQ(BoxLog::texts[0].find("坏运行失败，系统回应说："), 0u) << BoxLog::texts[0];
    EXPECT_TRUE(BoxLog::types[0] & MB_ICONWARNING);
}

TEST_F(UserToolsTest, ErrorLinesOfGccAndMsvcOpenTheFileAtTheLine) {
    const std::string dir = m_temp.Path("proj");
    CreateDirectoryA(dir.c_str(), nullptr);
    WriteWholeFile(dir + "\\main.c", "one\r\ntwo\r\nthree\r\nfour\r\nfive\r\n");
    UserToolInfo t = Tool(
        "编译", "\"out:main.c(2): error C2065: x\" nl \"out:main.c:4:3: warning: y\" nl", true);
    t.initDir = dir;
    SetTools({t});
    m_frame->SendMessage(WM_COMMAND, ID_TOOL_FIRST);
    ASSERT_TRUE(
        WaitFor([&] { return BothFree() && PaneText(1).find("warning") != std::string::npos; }));
    ASSERT_TRUE(m_frame->StepErrorLine(1));
    TheApp().PumpPendingMessages();
    CTextEditView* view = m_frame->GetActiveTextView();
    ASSERT_TRUE(view);
    EXPECT_EQ(lstrcmpiA(view->GetTextDoc()->GetPathName().c_str(), (dir + "\\main.c").c_str()), 0);
    EXPECT_EQ(view->Caret().line, 1);
    EXPECT_EQ(view->Caret().col, 0);
    // F4 through the frame's key handling: the gcc line, column 3.
    MSG msg = {};
    msg.hwnd = view->m_hWnd;
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_F4;
    EXPECT_TRUE(m_frame->PreTranslateMessage(&msg));
    TheApp().PumpPendingMessages();
    EXPECT_EQ(view->Caret().line, 3);
    EXPECT_EQ(view->Caret().col, 2);
    // Shift+F4 goes back to the first one; nothing before it.
    EXPECT_TRUE(m_frame->StepErrorLine(-1));
    EXPECT_EQ(view->Caret().line, 1);
    EXPECT_FALSE(m_frame->StepErrorLine(-1));
    // Go to on the caret line of the pane goes the same way.
    OutputPane* pane = m_frame->OutputWnd().GetPane(1);
    EXPECT_TRUE(pane->CanGoTo());
}

} // namespace

namespace {

// Whether a process of the given file name runs (any folder).
bool ProcessRuns(const char* exeName) {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL ok = Process32First(snap, &entry); ok && !found; ok = Process32Next(snap, &entry))
        found = lstrcmpiA(entry.szExeFile, exeName) == 0;
    CloseHandle(snap);
    return found;
}

struct TopWindowSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindTopWindowProc(HWND wnd, LPARAM lp) {
    auto* search = reinterpret_cast<TopWindowSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    char cls[64] = "";
    GetClassNameA(wnd, cls, sizeof cls);
    if (pid == search->pid && IsWindowVisible(wnd) && GetMenu(wnd) &&
        std::string(cls) != "#32770") {
        search->found = wnd;
        return FALSE;
    }
    return TRUE;
}

// The real program in a folder of its own, with two tools that capture output until a stop
// file appears.
TEST(UserToolsProgramTest, QuittingWhileTwoCapturesRunEndsCleanly) {
    TempFolder dir("qvtoolprog");
    for (const char* name : {"Quorvane.exe", "QVLOADER.EXE", "qvprobe.exe"})
        ASSERT_TRUE(CopyFileA(BinFile(name).c_str(), dir.Path(name).c_str(), FALSE)) << name;
    const std::string stop = dir.Path("stop.flag");
    std::string ini;
    for (int i = 0; i < 2; ++i)
        ini += "[Tool0" + std::to_string(i) + "]\r\nName=T" + std::to_string(i) +
               "\r\nCmd=" + dir.Path("qvprobe.exe") + "\r\nArg=forever:" + stop +
               "\r\nCaptureOutput=1\r\nSaveFiles=0\r\n";
    WriteWholeFile(dir.Path("QUORVANE.INI"), ini);
    // A Quorvane of another test may be running: this one must not hand over to it.
    WriteWholeFile(dir.Path("SETTINGS.INI"), "[Settings]\r\nAllowMultipleInstances=1\r\n");
    std::string line = "\"" + dir.Path("Quorvane.exe") + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                               dir.Path("").c_str(), &si, &pi));
    CloseHandle(pi.hThread);
    // Whatever fails below, the program must not outlive the test: a Quorvane left running
    // would answer the next start's search for a running instance.
    struct EndProgram {
        HANDLE process;
        std::string stop;
        TempFolder* folder;
        ~EndProgram() {
            if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT)
                TerminateProcess(process, 1);
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
            WriteWholeFile(stop, "");
            // The tools see the stop file and end, and with them their runners; the folder
            // goes only then, or they would outlive the tests.
            for (int i = 0; i < 300 && ProcessRuns("qvprobe.exe"); ++i)
                Sleep(50);
            folder->Remove();
        }
    } end{pi.hProcess, stop, &dir};
    TopWindowSearch search = {pi.dwProcessId, nullptr};
    for (int i = 0; i < 600 && !search.found; ++i) {
        EnumWindows(FindTopWindowProc, reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            Sleep(50);
    }
    ASSERT_TRUE(search.found);
    WaitForInputIdle(pi.hProcess, 5000);
    PostMessageA(search.found, WM_COMMAND, ID_TOOL_FIRST, 0);
    PostMessageA(search.found, WM_COMMAND, ID_TOOL_FIRST + 1, 0);
    Sleep(800);
    PostMessageA(search.found, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 30000), static_cast<DWORD>(WAIT_OBJECT_0));
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
}

} // namespace
