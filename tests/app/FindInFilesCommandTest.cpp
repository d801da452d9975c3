// The find and replace in files commands of the main frame in this process: enabled while a
// find-in-files pane is free, whatever the capture panes do; the folder check of the dialog;
// workers writing into the frame's own panes and stopped from them.
// Literals are code page 936 (the test is compiled with a GBK execution character set).
#include "app/App.h"
#include "app/AppMainFrame.h"
#include "app/CommandIds.h"
#include "app/DlgFindInFiles.h"
#include "framework/CmdUI.h"
#include "search/FileSearch.h"
#include "tools/OutputIds.h"
#include "tools/OutputPane.h"

#include "tests/app/AppTestUtil.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>

namespace {

CApp& TheApp() {
    static CApp* app = new CApp; // lives to the end of the process
    return *app;
}

class EnabledCmdUI : public CCmdUI {
public:
    void Enable(bool on = true) override { enabled = on; }
    bool enabled = false;
};

class FindInFilesCommandTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(StartInProcessApp(TheApp())); }
    static void TearDownTestSuite() { StopInProcessApp(TheApp()); }
    bool Enabled(UINT id) {
        EnabledCmdUI ui;
        ui.m_nID = id;
        AppMainFrame()->OnUpdateFindInFiles(&ui);
        return ui.enabled;
    }
};

} // namespace

TEST_F(FindInFilesCommandTest, EnabledWhileAFindPaneIsFree) {
    CAppMainFrame* frame = AppMainFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(Enabled(ID_SEARCH_FIND_IN_FILES));
    OutputChannel* a = frame->AcquireOutputChannel(3);
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(Enabled(ID_SEARCH_FIND_IN_FILES));
    OutputChannel* b = frame->AcquireOutputChannel(3);
    ASSERT_NE(b, nullptr);
    EXPECT_FALSE(Enabled(ID_SEARCH_FIND_IN_FILES));
    EXPECT_FALSE(Enabled(ID_SEARCH_REPLACE_IN_FILES));
    // The capture panes are another group.
    OutputChannel* c = frame->AcquireOutputChannel(1);
    frame->ReleaseOutputChannel(a);
    EXPECT_TRUE(Enabled(ID_SEARCH_REPLACE_IN_FILES));
    frame->ReleaseOutputChannel(b);
    if (c)
        frame->ReleaseOutputChannel(c);
}

TEST(FindInFilesFolderCheck, ExistingFoldersAndNetworkPaths) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string t = temp; // ends with "\"
    EXPECT_TRUE(CDlgFindInFiles::IsValidFolder(t));
    EXPECT_TRUE(CDlgFindInFiles::IsValidFolder("  " + t + " "));
    EXPECT_TRUE(CDlgFindInFiles::IsValidFolder(t.substr(0, t.size() - 1)));
    EXPECT_TRUE(CDlgFindInFiles::IsValidFolder("\\\\server\\share"));
    EXPECT_FALSE(CDlgFindInFiles::IsValidFolder(t + "no such folder"));
    EXPECT_FALSE(CDlgFindInFiles::IsValidFolder("   "));
    // A file is no folder.
    char file[MAX_PATH];
    GetTempFileNameA(temp, "qv", 0, file);
    EXPECT_FALSE(CDlgFindInFiles::IsValidFolder(file));
    DeleteFileA(file);
    // A trailing trail byte 0x5C is part of its character, not a separator: "乗" is 81 5C.
    const std::string dbcs = t + "qvfif\x81\x5C";
    CreateDirectoryA(dbcs.c_str(), nullptr);
    EXPECT_TRUE(CDlgFindInFiles::IsValidFolder(dbcs));
    RemoveDirectoryA(dbcs.c_str());
}

namespace {

// A folder of files full of hits, removed at the end.
class HitFolder {
public:
    explicit HitFolder(int files) {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        m_path = std::string(temp) + "qvfifstop" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(m_path.c_str(), nullptr);
        std::string text;
        for (int i = 0; i < 200; ++i)
            text += "needle " + std::string(60, 'x') + "\r\n";
        for (int i = 0; i < files; ++i)
            std::ofstream(m_path + "\\f" + std::to_string(i) + ".txt", std::ios::binary) << text;
    }
    ~HitFolder() {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((m_path + "\\*.txt").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do
                DeleteFileA((m_path + "\\" + fd.cFileName).c_str());
            while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryA(m_path.c_str());
    }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

FxFileSearch SearchIn(const std::string& folder) {
    FxFileSearch r;
    r.find = "needle";
    r.filters = "*.txt";
    r.folder = folder;
    r.texts = FxLoadFileSearchTexts();
    return r;
}

bool AnySlotBusy() {
    return FxFileSearchSlot(0).IsBusy() || FxFileSearchSlot(1).IsBusy();
}

// Whether the pane's text holds the line.
bool PaneHas(const OutputPane& pane, const char* text) {
    for (int32_t i = pane.Lines().Count() - 1; i >= 0; --i)
        if (pane.LineText(i).find(text) != std::string::npos)
            return true;
    return false;
}

template <class Pred> bool PumpUntil(Pred done, DWORD ms) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms)
            return false;
        TheApp().PumpPendingMessages();
        Sleep(1);
    }
    return true;
}

const char kEndLine[] = "查找已经结束";

// Watches a pane's appends: when the worker's end line arrives, the worker is let go on at once
// while this thread stays in the handler, running nothing else for a while, and the state of
// the frame's channel is noted at the end of that while.
struct EndLineWatch {
    WNDPROC oldProc = nullptr;
    CAppMainFrame* frame = nullptr;
    bool seen = false;
    bool channelBusy = false;
    bool slotBusy = false;
};
EndLineWatch g_watch;

LRESULT CALLBACK WatchingPaneProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    const LRESULT result = CallWindowProcA(g_watch.oldProc, wnd, msg, wp, lp);
    if (msg == OutputPane::kAppendMessage && !g_watch.seen &&
        std::string(reinterpret_cast<const char*>(lp), static_cast<size_t>(wp)).find(kEndLine) !=
            std::string::npos) {
        g_watch.seen = true;
        ReplyMessage(result);
        Sleep(500);
        g_watch.channelBusy = g_watch.frame->IsOutputChannelBusy(3);
        g_watch.slotBusy = AnySlotBusy();
    }
    return result;
}

} // namespace

// A worker ends by releasing its channel; the frame's channel table belongs to the frame's
// thread, which reads it for the Stop command, the command states and the next job's acquire,
// so the release waits for that thread instead of changing the table behind its back.
TEST_F(FindInFilesCommandTest, AStoppedWorkerReleasesItsChannelOnTheFramesThread) {
    CAppMainFrame* frame = AppMainFrame();
    ASSERT_NE(frame, nullptr);
    HitFolder folder(20);
    ASSERT_TRUE(StartFindInFiles(frame, SearchIn(folder.Path())));
    OutputPane* pane = frame->OutputWnd().GetPane(3);
    ASSERT_NE(pane, nullptr);
    ASSERT_TRUE(frame->IsOutputChannelBusy(3));
    g_watch = EndLineWatch();
    g_watch.frame = frame;
    g_watch.oldProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        pane->m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchingPaneProc)));
    EXPECT_TRUE(PumpUntil([&] { return pane->Lines().Count() > 50; }, 10000));
    // Stop pressed in the pane while the worker writes.
    ::SendMessageA(pane->m_hWnd, WM_COMMAND, ID_OUTPUT_STOP, 0);
    EXPECT_TRUE(PumpUntil([] { return !AnySlotBusy(); }, 10000));
    SetWindowLongPtrA(pane->m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_watch.oldProc));
    ASSERT_TRUE(g_watch.seen);
    // Half a second after its last line the worker still waited for this thread to release.
    EXPECT_TRUE(g_watch.channelBusy);
    EXPECT_TRUE(g_watch.slotBusy);
    EXPECT_FALSE(frame->IsOutputChannelBusy(3));
}

// Stop pressed again and again while a worker writes, at once after the start or after a few
// pieces, each search started as soon as the one before has ended: every one ends with its end
// line and gives its channel back.
TEST_F(FindInFilesCommandTest, StopPressedManyTimesWhileTheWorkerWrites) {
    CAppMainFrame* frame = AppMainFrame();
    ASSERT_NE(frame, nullptr);
    HitFolder folder(10);
    for (int round = 0; round < 30; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(StartFindInFiles(frame, SearchIn(folder.Path())));
        OutputPane* pane = frame->OutputWnd().GetPane(3);
        ASSERT_NE(pane, nullptr);
        const int32_t lines = 1 + round % 4 * 20;
        if (round % 4 != 0)
            PumpUntil([&] { return pane->Lines().Count() > lines; }, 10000);
        ::SendMessageA(pane->m_hWnd, WM_COMMAND, ID_OUTPUT_STOP, 0);
        ASSERT_TRUE(PumpUntil([] { return !AnySlotBusy(); }, 10000));
        EXPECT_FALSE(frame->IsOutputChannelBusy(3));
        EXPECT_FALSE(frame->IsOutputChannelBusy(4));
        EXPECT_TRUE(PaneHas(*pane, kEndLine));
    }
}
