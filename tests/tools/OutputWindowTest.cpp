// The output window in the real main frame of the editor, started in this process: its tabs
// and panes made on first use, text from the channels (also from another thread), the keyboard
// and mouse rules, the context menu's enabling, bookmarks with their wrap notices, copying,
// clearing, and Go to from result lines into ANSI, UTF-8 and UTF-16 files.
#include "common/PathName.h"
#include "app/App.h"
#include "app/AppMainFrame.h"
#include "app/TextEditDoc.h"
#include "app/TextEditView.h"
#include "framework/CmdUI.h"
#include "framework/ResourceText.h"
#include "tools/OutputIds.h"
#include "tools/OutputWindow.h"

#include "tests/app/AppTestUtil.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

CApp& TheApp() {
    static CApp* app = new CApp; // lives to the end of the process
    return *app;
}

class OutputWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(StartInProcessApp(TheApp())); }
    static void TearDownTestSuite() { StopInProcessApp(TheApp()); }
    void SetUp() override {
        m_frame = AppMainFrame();
        ASSERT_NE(m_frame, nullptr);
        m_frame->ShowWindow(SW_SHOWNORMAL);
        ::SetWindowPos(m_frame->m_hWnd, nullptr, 20, 20, 900, 600, SWP_NOZORDER);
        ::SetForegroundWindow(m_frame->m_hWnd);
        CControlBar* bar = &m_frame->OutputBar();
        if (!bar->IsWindowVisible())
            m_frame->ShowControlBar(bar, true, false);
        m_frame->RecalcLayout();
        Pump();
        char dir[MAX_PATH];
        ::GetTempPathA(MAX_PATH, dir);
        m_dir = std::string(dir) + "qv_output_test\\";
        ::CreateDirectoryA(m_dir.c_str(), nullptr);
    }
    void TearDown() override {
        for (CTextEditDoc* doc : m_frame->TextDocuments())
            doc->SetModifiedFlag(false);
        TheApp().CloseAllDocuments(false);
        Pump();
        for (const std::string& path : m_files)
            ::DeleteFileA(path.c_str());
        ::RemoveDirectoryA(m_dir.c_str());
        SetShift(false);
    }
    static void Pump() {
        for (int i = 0; i < 3; ++i) {
            TheApp().PumpPendingMessages();
            Sleep(5);
        }
        TheApp().PumpPendingMessages();
    }
    OutputWindow& Window() { return m_frame->OutputWnd(); }
    // The pane of a key, made and shown, emptied.
    OutputPane* FreshPane(int key) {
        HWND wnd = Window().PaneForKey(key);
        EXPECT_NE(wnd, nullptr);
        OutputPane* pane = Window().GetPane(key);
        pane->Clear();
        pane->SetLineNumbers(true);
        pane->SetWhitespace(true);
        Pump();
        return pane;
    }
    static void Append(OutputPane* pane, const std::string& text) {
        ::SendMessageA(pane->m_hWnd, WM_USER + 3, text.size(),
                       reinterpret_cast<LPARAM>(text.c_str()));
    }
    static std::string Joined(OutputPane* pane) {
        std::string all;
        for (int32_t i = 0; i < pane->Lines().Count(); ++i)
            all += (i ? "|" : "") + pane->LineText(i);
        return all;
    }
    static void SetShift(bool down) {
        BYTE keys[256];
        ::GetKeyboardState(keys);
        keys[VK_SHIFT] = down ? 0x80 : 0;
        ::SetKeyboardState(keys);
    }
    static void Key(OutputPane* pane, UINT key, bool shift = false) {
        SetShift(shift);
        ::SendMessageA(pane->m_hWnd, WM_KEYDOWN, key, 1);
        SetShift(false);
    }
    // Whether the pane's update handler enables the command (as the menu would show it).
    static bool Enabled(OutputPane* pane, UINT id) {
        CTestCmdUI ui;
        ui.m_nID = id;
        pane->OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &ui, nullptr);
        return ui.m_bEnabled;
    }
    std::string StatusText() { return m_frame->StatusBar().GetPaneText(0); }
    std::string WriteFile(const std::string& name, const std::string& bytes) {
        const std::string path = m_dir + name;
        std::ofstream(path, std::ios::binary) << bytes;
        m_files.push_back(path);
        return path;
    }
    // Runs Go to on a result line and answers the active text view (null when none).
    CTextEditView* GoToLine(const std::string& line) {
        OutputPane* pane = FreshPane(3);
        Append(pane, "header\r\n" + line + "\r\n");
        pane->MoveCaret(OutputPane::Pos{0, 1}, false);
        ::SendMessageA(pane->m_hWnd, WM_COMMAND, ID_OUTPUT_GOTO, 0);
        Pump();
        return m_frame->GetActiveTextView();
    }

    CAppMainFrame* m_frame = nullptr;
    std::string m_dir;
    std::vector<std::string> m_files;
};

TEST_F(OutputWindowTest, FourTabsInTheirOrderWithTheFindPaneFirst) {
    CSheetTabStrip& tabs = Window().TabStrip();
    ASSERT_EQ(tabs.GetTabCount(), 4);
    const char* titles[] = {"查找替换1", "查找替换2", "捕捉输出1", "捕捉输出2"};
    for (int i = 0; i < 4; ++i)
        EXPECT_STREQ(tabs.GetTabInfo(i)->text, titles[i]);
    // The window sits in the output bar as its container, id 0xE900.
    EXPECT_EQ(::GetParent(Window().m_hWnd), m_frame->OutputBar().m_hWnd);
    EXPECT_EQ(::GetDlgCtrlID(Window().m_hWnd), 0xE900);
    EXPECT_EQ(m_frame->OutputBar().GetContainer(), Window().m_hWnd);
    ASSERT_NE(Window().GetPane(3), nullptr);
    EXPECT_EQ(::GetDlgCtrlID(Window().GetPane(3)->m_hWnd), 3);
}

TEST_F(OutputWindowTest, SelectingATabMakesItsPaneOnceAndHidesTheOld) {
    ASSERT_TRUE(Window().SelectKey(3));
    OutputPane* find1 = Window().GetPane(3);
    ASSERT_TRUE(Window().TabStrip().SelectTab(3)); // "捕捉输出2", key 2
    OutputPane* cap2 = Window().GetPane(2);
    ASSERT_NE(cap2, nullptr);
    EXPECT_EQ(Window().GetCurrentKey(), 2);
    EXPECT_TRUE(cap2->IsWindowVisible());
    EXPECT_FALSE(find1->IsWindowVisible());
    EXPECT_EQ(::GetFocus(), cap2->m_hWnd);
    // The pane fills the window above the strip.
    RECT win, pane, strip;
    ::GetClientRect(Window().m_hWnd, &win);
    ::GetWindowRect(cap2->m_hWnd, &pane);
    ::GetWindowRect(Window().TabStrip().m_hWnd, &strip);
    EXPECT_EQ(pane.bottom, strip.top);
    EXPECT_EQ(pane.right - pane.left, win.right);
    ASSERT_TRUE(Window().SelectKey(2));
    EXPECT_EQ(Window().GetPane(2), cap2); // not made again
    ASSERT_TRUE(Window().SelectKey(3));
    EXPECT_FALSE(cap2->IsWindowVisible());
}

TEST_F(OutputWindowTest, ChannelAcquireShowsTheBarAndItsPaneTakesText) {
    m_frame->ShowControlBar(&m_frame->OutputBar(), false, false);
    Pump();
    OutputChannel* channel = m_frame->AcquireOutputChannel(1);
    ASSERT_NE(channel, nullptr);
    EXPECT_TRUE(m_frame->OutputBar().IsWindowVisible());
    EXPECT_EQ(Window().GetCurrentKey(), 1);
    ASSERT_NE(Window().GetPane(1), nullptr);
    EXPECT_EQ(channel->pane, Window().GetPane(1)->m_hWnd);
    OutputPane* pane = Window().GetPane(1);
    m_frame->ClearOutput(channel);
    m_frame->AppendOutput(channel, "x");
    m_frame->AppendOutput(channel, "a\r\nb");
    EXPECT_EQ(Joined(pane), "xa|b");
    // Stop is offered while a job holds the channel.
    EXPECT_TRUE(Enabled(pane, ID_OUTPUT_STOP));
    m_frame->ReleaseOutputChannel(channel);
    EXPECT_FALSE(Enabled(pane, ID_OUTPUT_STOP));
    m_frame->ClearOutput(channel);
    EXPECT_EQ(Joined(pane), "");
}

TEST_F(OutputWindowTest, TextFromAnotherThreadArrivesWhileTheWindowPumps) {
    OutputChannel* channel = m_frame->AcquireOutputChannel(4);
    ASSERT_NE(channel, nullptr);
    OutputPane* pane = Window().GetPane(channel->key);
    pane->Clear();
    bool done = false;
    std::thread job([&] {
        for (int i = 0; i < 100; ++i) {
            const std::string line = "hit " + std::to_string(i) + "\n";
            m_frame->AppendOutput(channel, line.c_str());
        }
        // Clearing from the job's thread runs on the window's thread too.
        done = true;
    });
    const DWORD start = ::GetTickCount();
    while (!done && ::GetTickCount() - start < 10000)
        Pump();
    job.join();
    EXPECT_EQ(pane->Lines().Count(), 101);
    EXPECT_EQ(pane->LineText(99), "hit 99");
    // The last line is in view.
    EXPECT_GE(pane->GetTopLine() + pane->VisibleLines(), 101);
    std::thread clearer([&] {
        m_frame->ClearOutput(channel);
        done = false;
    });
    while (done && ::GetTickCount() - start < 10000)
        Pump();
    clearer.join();
    EXPECT_EQ(pane->Lines().Count(), 1);
    m_frame->ReleaseOutputChannel(channel);
}

TEST_F(OutputWindowTest, CrThenLfInTwoAppendsGivesOneBreak) {
    OutputPane* pane = FreshPane(3);
    Append(pane, "a\r");
    Append(pane, "\nb");
    EXPECT_EQ(Joined(pane), "a|b");
}

TEST_F(OutputWindowTest, ContextMenuEnablingFollowsThePaneState) {
    OutputPane* pane = FreshPane(3);
    EXPECT_FALSE(Enabled(pane, ID_OUTPUT_CLEAR));
    EXPECT_FALSE(Enabled(pane, ID_OUTPUT_SELECT_ALL));
    EXPECT_FALSE(Enabled(pane, ID_OUTPUT_COPY));
    EXPECT_FALSE(Enabled(pane, ID_OUTPUT_GOTO));
    EXPECT_TRUE(Enabled(pane, ID_OUTPUT_TOGGLE_BOOKMARK));
    EXPECT_FALSE(Enabled(pane, ID_OUTPUT_NEXT_BOOKMARK));
    Append(pane, "plain\r\n\"C:\\a.c\"(3,4)(A):\tx");
    EXPECT_TRUE(Enabled(pane, ID_OUTPUT_CLEAR));
    EXPECT_TRUE(Enabled(pane, ID_OUTPUT_SELECT_ALL));
    pane->MoveCaret(OutputPane::Pos{0, 0}, false);
    EXPECT_FALSE(Enabled(pane, ID_OUTPUT_GOTO));
    pane->MoveCaret(OutputPane::Pos{0, 1}, false);
    EXPECT_TRUE(Enabled(pane, ID_OUTPUT_GOTO));
    pane->MoveCaret(OutputPane::Pos{3, 1}, true);
    EXPECT_TRUE(Enabled(pane, ID_OUTPUT_COPY));
    pane->ToggleBookmark();
    EXPECT_TRUE(Enabled(pane, ID_OUTPUT_NEXT_BOOKMARK));
    EXPECT_TRUE(Enabled(pane, ID_OUTPUT_PREV_BOOKMARK));
    EXPECT_TRUE(Enabled(pane, ID_OUTPUT_CLEAR_BOOKMARKS));

    // The real menu 116 as the pane's update pass leaves it.
    HMENU menu = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDM_OUTPUT_PANE));
    ASSERT_NE(menu, nullptr);
    HMENU popup = ::GetSubMenu(menu, 0);
    AfxUpdateMenuPopup(popup, pane, true);
    auto state = [&](UINT id) { return ::GetMenuState(popup, id, MF_BYCOMMAND); };
    EXPECT_FALSE(state(ID_OUTPUT_GOTO) & MF_GRAYED);
    EXPECT_TRUE(state(ID_OUTPUT_STOP) & MF_GRAYED);
    EXPECT_FALSE(state(ID_OUTPUT_COPY) & MF_GRAYED);
    EXPECT_TRUE(state(ID_OUTPUT_LINE_NUMBERS) & MF_CHECKED);
    EXPECT_TRUE(state(ID_OUTPUT_WHITESPACE) & MF_CHECKED);
    pane->SetWhitespace(false);
    AfxUpdateMenuPopup(popup, pane, true);
    EXPECT_FALSE(state(ID_OUTPUT_WHITESPACE) & MF_CHECKED);
    ::DestroyMenu(menu);
}

TEST_F(OutputWindowTest, CapturePanesNeverOfferOpen) {
    OutputPane* pane = FreshPane(1);
    Append(pane, "\"C:\\a.c\"(3,4)(A):\tx");
    pane->MoveCaret(OutputPane::Pos{0, 0}, false);
    EXPECT_FALSE(Enabled(pane, ID_OUTPUT_GOTO));
    EXPECT_FALSE(pane->GoTo());
}

TEST_F(OutputWindowTest, NextBookmarkOnTheOnlyBookmarkWrapsAndStays) {
    OutputPane* pane = FreshPane(3);
    Append(pane, "a\nb\nc\nd");
    pane->MoveCaret(OutputPane::Pos{0, 2}, false);
    ::SendMessageA(pane->m_hWnd, WM_COMMAND, ID_OUTPUT_TOGGLE_BOOKMARK, 0);
    EXPECT_TRUE(pane->Lines().IsBookmarked(2));
    m_frame->StatusBar().SetPaneText(0, "");
    ::SendMessageA(pane->m_hWnd, WM_COMMAND, ID_OUTPUT_NEXT_BOOKMARK, 0);
    EXPECT_EQ(pane->GetCaret().line, 2);
    EXPECT_EQ(StatusText(), "搜索已经从文档的尽头折回");
    m_frame->StatusBar().SetPaneText(0, "");
    ::SendMessageA(pane->m_hWnd, WM_COMMAND, ID_OUTPUT_PREV_BOOKMARK, 0);
    EXPECT_EQ(pane->GetCaret().line, 2);
    EXPECT_EQ(StatusText(), "搜索已经从文档的开头折回");
}

TEST_F(OutputWindowTest, BookmarksStepForwardAndBackWithoutWrapNotice) {
    OutputPane* pane = FreshPane(3);
    Append(pane, "0\n1\n2\n3\n4\n5");
    for (int line : {1, 4}) {
        pane->MoveCaret(OutputPane::Pos{0, line}, false);
        pane->ToggleBookmark();
    }
    pane->MoveCaret(OutputPane::Pos{0, 0}, false);
    m_frame->StatusBar().SetPaneText(0, "");
    ASSERT_TRUE(pane->NextBookmark());
    EXPECT_EQ(pane->GetCaret().line, 1);
    ASSERT_TRUE(pane->NextBookmark());
    EXPECT_EQ(pane->GetCaret().line, 4);
    EXPECT_EQ(StatusText(), "");
    ASSERT_TRUE(pane->NextBookmark()); // wraps to the first
    EXPECT_EQ(pane->GetCaret().line, 1);
    ASSERT_TRUE(pane->PrevBookmark()); // wraps to the last
    EXPECT_EQ(pane->GetCaret().line, 4);
    ::SendMessageA(pane->m_hWnd, WM_COMMAND, ID_OUTPUT_CLEAR_BOOKMARKS, 0);
    EXPECT_EQ(pane->Lines().BookmarkCount(), 0);
    EXPECT_FALSE(pane->NextBookmark());
    // A disabled command does nothing when sent.
    ::SendMessageA(pane->m_hWnd, WM_COMMAND, ID_OUTPUT_NEXT_BOOKMARK, 0);
    EXPECT_EQ(pane->GetCaret().line, 4);
}

TEST_F(OutputWindowTest, KeyboardMovesTheCaretAndShiftExtends) {
    OutputPane* pane = FreshPane(3);
    Append(pane, "  \xD6\xD0x\r\nsecond line\r\nthird");
    pane->MoveCaret(OutputPane::Pos{4, 0}, false);
    Key(pane, VK_HOME);
    EXPECT_EQ(pane->GetCaret().col, 2); // first non-blank
    Key(pane, VK_HOME);
    EXPECT_EQ(pane->GetCaret().col, 0); // then the start
    Key(pane, VK_HOME);
    EXPECT_EQ(pane->GetCaret().col, 2);
    Key(pane, VK_RIGHT);
    EXPECT_EQ(pane->GetCaret().col, 4); // over the double-byte character
    Key(pane, VK_LEFT, true);
    EXPECT_TRUE(pane->HasSelection());
    EXPECT_EQ(pane->GetSelectedText(), "\xD6\xD0");
    Key(pane, VK_ESCAPE);
    EXPECT_FALSE(pane->HasSelection());
    Key(pane, VK_END);
    EXPECT_EQ(pane->GetCaret().col, 5);
    Key(pane, VK_RIGHT);
    EXPECT_EQ(pane->GetCaret().line, 1);
    EXPECT_EQ(pane->GetCaret().col, 0);
    Key(pane, VK_LEFT);
    EXPECT_EQ(pane->GetCaret().line, 0);
    EXPECT_EQ(pane->GetCaret().col, 5);
    Key(pane, VK_DOWN, true);
    EXPECT_EQ(pane->GetCaret().line, 1);
    Key(pane, VK_END);
    ::SetKeyboardState(nullptr);
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    ::SendMessageA(pane->m_hWnd, WM_KEYDOWN, VK_END, 1);
    EXPECT_EQ(pane->GetCaret().line, 2);
    EXPECT_EQ(pane->GetCaret().col, 5);
    ::SendMessageA(pane->m_hWnd, WM_KEYDOWN, VK_HOME, 1);
    EXPECT_EQ(pane->GetCaret().line, 0);
    EXPECT_EQ(pane->GetCaret().col, 0);
    keys[VK_CONTROL] = 0;
    ::SetKeyboardState(keys);
}

TEST_F(OutputWindowTest, CtrlUpAndDownScrollByOneLine) {
    OutputPane* pane = FreshPane(3);
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "line " + std::to_string(i) + "\n";
    Append(pane, text);
    const int32_t top = pane->GetTopLine();
    ASSERT_GT(top, 0); // the last line was brought into view
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    ::SendMessageA(pane->m_hWnd, WM_KEYDOWN, VK_UP, 1);
    EXPECT_EQ(pane->GetTopLine(), top - 1);
    ::SendMessageA(pane->m_hWnd, WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_EQ(pane->GetTopLine(), top);
    keys[VK_CONTROL] = 0;
    ::SetKeyboardState(keys);
    // Page Up moves the caret a page and keeps it in view.
    pane->MoveCaret(OutputPane::Pos{0, 200}, false);
    Key(pane, VK_PRIOR);
    EXPECT_LT(pane->GetCaret().line, 200);
    EXPECT_GE(pane->GetCaret().line, pane->GetTopLine());
    EXPECT_LT(pane->GetCaret().line, pane->GetTopLine() + pane->VisibleLines());
}

TEST_F(OutputWindowTest, ClickPlacesTheCaretAndShiftClickExtends) {
    OutputPane* pane = FreshPane(3);
    Append(pane, "abcdef\r\nghijkl");
    const POINT p1 = pane->PosToPoint(OutputPane::Pos{2, 0});
    const POINT p2 = pane->PosToPoint(OutputPane::Pos{4, 1});
    const int half = pane->GetLineHeight() / 2;
    ::SendMessageA(pane->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p1.x + 1, p1.y + half));
    ::SendMessageA(pane->m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(p1.x + 1, p1.y + half));
    EXPECT_EQ(pane->GetCaret(), (OutputPane::Pos{2, 0}));
    EXPECT_FALSE(pane->HasSelection());
    EXPECT_EQ(::GetFocus(), pane->m_hWnd);
    ::SendMessageA(pane->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT,
                   MAKELPARAM(p2.x + 1, p2.y + half));
    ::SendMessageA(pane->m_hWnd, WM_LBUTTONUP, MK_SHIFT, MAKELPARAM(p2.x + 1, p2.y + half));
    EXPECT_EQ(pane->GetSelectedText(), "cdef\r\nghij");
    // Copy puts it on the clipboard with CR LF breaks.
    ::SendMessageA(pane->m_hWnd, WM_COMMAND, ID_OUTPUT_COPY, 0);
    ASSERT_TRUE(::OpenClipboard(nullptr));
    HANDLE data = ::GetClipboardData(CF_TEXT);
    ASSERT_NE(data, nullptr);
    EXPECT_STREQ(static_cast<const char*>(::GlobalLock(data)), "cdef\r\nghij");
    ::GlobalUnlock(data);
    ::CloseClipboard();
    ::SendMessageA(pane->m_hWnd, WM_COMMAND, ID_OUTPUT_SELECT_ALL, 0);
    EXPECT_EQ(pane->GetSelectedText(), "abcdef\r\nghijkl");
    ::SendMessageA(pane->m_hWnd, WM_COMMAND, ID_OUTPUT_CLEAR, 0);
    EXPECT_EQ(pane->Lines().Count(), 1);
    EXPECT_FALSE(pane->HasSelection());
}

TEST_F(OutputWindowTest, GutterFollowsTheLineCountAndTheSwitch) {
    OutputPane* pane = FreshPane(3);
    const int narrow = pane->GetGutterWidth();
    EXPECT_GE(narrow, 25); // at least 20 + 5
    std::string text;
    for (int i = 0; i < 123456; ++i)
        text += "\n";
    Append(pane, text);
    EXPECT_GT(pane->GetGutterWidth(), narrow - 1);
    ::SendMessageA(pane->m_hWnd, WM_COMMAND, ID_OUTPUT_LINE_NUMBERS, 0);
    EXPECT_FALSE(pane->ShowsLineNumbers());
    EXPECT_EQ(pane->GetGutterWidth(), 5);
    ::SendMessageA(pane->m_hWnd, WM_COMMAND, ID_OUTPUT_LINE_NUMBERS, 0);
    EXPECT_TRUE(pane->ShowsLineNumbers());
}

TEST_F(OutputWindowTest, GoToOpensAnAnsiFileAtTheByteColumn) {
    const std::string path = WriteFile("ansi.c", "first\r\nab\xD6\xD0target\r\n");
    CTextEditView* view = GoToLine("\"" + path + "\"(2,5)(A):\tab\xD6\xD0target");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->GetTextDoc()->GetPathName(), path);
    EXPECT_EQ(view->Caret().line, 1);
    EXPECT_EQ(view->Caret().col, 4);
    EXPECT_EQ(::GetFocus(), view->m_hWnd);
}

TEST_F(OutputWindowTest, GoToCountsUnitsInAUtf8File) {
    // "中文x" on line 2: x is the third unit, bytes 4..5 of the loaded line.
    const std::string path =
        WriteFile("utf8.txt", "\xEF\xBB\xBF\xE4\xB8\xAD\r\n\xE4\xB8\xAD\xE6\x96\x87x\r\n");
    CTextEditView* view = GoToLine("\"" + path + "\"(2,3)(U8):\tx");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->Caret().line, 1);
    EXPECT_EQ(view->Caret().col, 4);
    // On the first line the mark counts as one unit: column 3 is the place after "中".
    view = GoToLine("\"" + path + "\"(1,3)(U8):\tx");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->Caret().line, 0);
    EXPECT_EQ(view->Caret().col, 2);
}

TEST_F(OutputWindowTest, GoToCountsUnitsInUtf16Files) {
    // Line 1 "a中b", line 2 "中文z": little and big endian.
    const unsigned short units[] = {0x61,   0x4E2D, 0x62, 0x0D, 0x0A,
                                    0x4E2D, 0x6587, 0x7A, 0x0D, 0x0A};
    std::string le = "\xFF\xFE", be = "\xFE\xFF";
    for (unsigned short u : units) {
        le += static_cast<char>(u & 0xFF);
        le += static_cast<char>(u >> 8);
        be += static_cast<char>(u >> 8);
        be += static_cast<char>(u & 0xFF);
    }
    for (const auto& [name, bytes, code] :
         {std::tuple<const char*, std::string, const char*>{"le.txt", le, "(U)"},
          std::tuple<const char*, std::string, const char*>{"be.txt", be, "(UBE)"}}) {
        const std::string path = WriteFile(name, bytes);
        // "z" is unit 3 of line 2: byte 4.
        CTextEditView* view = GoToLine("\"" + path + "\"(2,3)" + code + ":\tz");
        ASSERT_NE(view, nullptr) << name;
        EXPECT_EQ(view->Caret().line, 1) << name;
        EXPECT_EQ(view->Caret().col, 4) << name;
        // "b" on line 1 is reported as column 4 (the mark is unit 1): byte 3.
        view = GoToLine("\"" + path + "\"(1,4)" + code + ":\tb");
        ASSERT_NE(view, nullptr) << name;
        EXPECT_EQ(view->Caret().line, 0) << name;
        EXPECT_EQ(view->Caret().col, 3) << name;
    }
}

TEST_F(OutputWindowTest, GoToAMissingFileSaysSoAndOpensNothing) {
    const std::string path = m_dir + "missing.c";
    m_frame->StatusBar().SetPaneText(0, "");
    CTextEditView* view = GoToLine("\"" + path + "\"(2,5)(A):\tx");
    EXPECT_EQ(view, nullptr);
    EXPECT_EQ(StatusText(), "无法找到“" + path + "”。");
}

TEST_F(OutputWindowTest, GoToOnBadPositionOrCodeDoesNothing) {
    const std::string path = WriteFile("bad.c", "one\r\ntwo\r\n");
    m_frame->StatusBar().SetPaneText(0, "");
    EXPECT_EQ(GoToLine("\"" + path + "\"(0,5)(A):\tx"), nullptr);
    EXPECT_EQ(GoToLine("\"" + path + "\"(1,1)(Q):\tx"), nullptr);
    EXPECT_EQ(StatusText(), "");
    // Enter on a good line goes.
    OutputPane* pane = FreshPane(3);
    Append(pane, "\"" + path + "\"(2,2)(A):\ttwo");
    Key(pane, VK_RETURN);
    Pump();
    CTextEditView* view = m_frame->GetActiveTextView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->Caret().line, 1);
    EXPECT_EQ(view->Caret().col, 1);
}

} // namespace

namespace {

TEST_F(OutputWindowTest, ColumnsLieWhereTheSystemDrawsTheText) {
    OutputPane* pane = FreshPane(3);
    const std::string line = "ab\t\xD6\xD0\xCE\xC4 x";
    Append(pane, line);
    // The expanded text: tab to column 8, then the rest.
    const std::wstring expanded = L"ab      \x4E2D\x6587 x";
    HDC dc = ::GetDC(pane->m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    SIZE whole = {0, 0}, upToTab = {0, 0}, upToWen = {0, 0};
    ::GetTextExtentPoint32W(dc, expanded.c_str(), static_cast<int>(expanded.size()), &whole);
    ::GetTextExtentPoint32W(dc, expanded.c_str(), 8, &upToTab);
    ::GetTextExtentPoint32W(dc, expanded.c_str(), 9, &upToWen);
    ::SelectObject(dc, old);
    ::ReleaseDC(pane->m_hWnd, dc);
    const int left = pane->PosToPoint(OutputPane::Pos{0, 0}).x;
    EXPECT_EQ(left, pane->GetGutterWidth());
    EXPECT_EQ(pane->PosToPoint(OutputPane::Pos{3, 0}).x - left, upToTab.cx);
    EXPECT_EQ(pane->PosToPoint(OutputPane::Pos{5, 0}).x - left, upToWen.cx);
    EXPECT_EQ(pane->PosToPoint(OutputPane::Pos{static_cast<int32_t>(line.size()), 0}).x - left,
              whole.cx);
    // A point inside the second half of "文" lands after it; inside its first half, before it.
    const int wenLeft = pane->PosToPoint(OutputPane::Pos{5, 0}).x;
    const int wenRight = pane->PosToPoint(OutputPane::Pos{7, 0}).x;
    const int y = pane->GetLineHeight() / 2;
    EXPECT_EQ(pane->PointToPos(POINT{wenLeft + 1, y}).col, 5);
    EXPECT_EQ(pane->PointToPos(POINT{wenRight - 1, y}).col, 7);
}

TEST_F(OutputWindowTest, ThePaneDrawsItsTextMarksAndGutter) {
    OutputPane* pane = FreshPane(3);
    Append(pane, "a b\r\nsecond");
    pane->MoveCaret(OutputPane::Pos{0, 1}, false);
    pane->ToggleBookmark();
    ::RedrawWindow(pane->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = ::GetDC(pane->m_hWnd);
    auto countColour = [&](const RECT& rc, COLORREF colour) {
        int n = 0;
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x)
                n += ::GetPixel(dc, x, y) == colour;
        return n;
    };
    const int h = pane->GetLineHeight();
    const int gutter = pane->GetGutterWidth();
    // The space of line 1 carries the whitespace colour; the bookmark of line 2 is blue.
    const int marks = countColour(RECT{gutter, 0, gutter + 40, h}, OutputPane::kWhitespaceColour);
    EXPECT_GT(marks, 0);
    EXPECT_GT(countColour(RECT{0, h, 8, 2 * h}, RGB(0, 0, 255)), 0);
    EXPECT_EQ(countColour(RECT{0, 0, 8, h}, RGB(0, 0, 255)), 0);
    // The line number is drawn in the gutter: not all of it is the face colour.
    const int face = countColour(RECT{0, 0, gutter - 3, h}, ::GetSysColor(COLOR_BTNFACE));
    EXPECT_LT(face, (gutter - 3) * h);
    EXPECT_GT(face, 0);
    ::ReleaseDC(pane->m_hWnd, dc);
    // Without whitespace marks the space is plain.
    pane->SetWhitespace(false);
    ::RedrawWindow(pane->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    dc = ::GetDC(pane->m_hWnd);
    EXPECT_EQ(countColour(RECT{gutter, 0, gutter + 40, h}, OutputPane::kWhitespaceColour), 0);
    ::ReleaseDC(pane->m_hWnd, dc);
}

TEST_F(OutputWindowTest, TheViewCommandShowsAndHidesTheBar) {
    CControlBar* bar = &m_frame->OutputBar();
    ASSERT_TRUE(bar->IsWindowVisible());
    m_frame->SendMessage(WM_COMMAND, 35324);
    Pump();
    EXPECT_FALSE(bar->IsWindowVisible());
    m_frame->SendMessage(WM_COMMAND, 35324);
    Pump();
    EXPECT_TRUE(bar->IsWindowVisible());
    EXPECT_TRUE(Window().IsWindowVisible());
}

TEST_F(OutputWindowTest, ScrollBarsFollowABurstOfTextOnceItIsOver) {
    OutputPane* pane = FreshPane(3);
    std::string text;
    for (int i = 0; i < 500; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    Append(pane, text);
    Pump();
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    ASSERT_TRUE(::GetScrollInfo(pane->m_hWnd, SB_VERT, &si));
    EXPECT_EQ(si.nMax, 500);
    EXPECT_EQ(si.nPos, pane->GetTopLine());
    EXPECT_EQ(static_cast<int>(si.nPage), pane->VisibleLines());
    // The thumb scrolls the pane.
    ::SendMessageA(pane->m_hWnd, WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(pane->GetTopLine(), 0);
    ::SendMessageA(pane->m_hWnd, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(pane->GetTopLine(), 1);
    ::SendMessageA(pane->m_hWnd, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    EXPECT_GT(pane->GetTopLine(), 1);
    // A long line widens the strip's scroll bar, which scrolls the pane sideways.
    Append(pane, std::string(3000, 'w'));
    Pump();
    HWND hbar = Window().TabStrip().GetScrollBar();
    ASSERT_TRUE(::GetScrollInfo(hbar, SB_CTL, &si));
    EXPECT_GT(si.nMax, 3000);
    ::SendMessageA(Window().m_hWnd, WM_HSCROLL, SB_PAGERIGHT, reinterpret_cast<LPARAM>(hbar));
    EXPECT_GT(pane->GetHScroll(), 0);
}

} // namespace

#include "search/FileSearch.h"

namespace {

bool SearchesRunning() {
    return FxFileSearchSlot(0).IsBusy() || FxFileSearchSlot(1).IsBusy();
}

// The real search over a small tree of ANSI, UTF-8 and UTF-16 files: every hit line it writes
// leads, through Go to, to the very text that was found.
TEST_F(OutputWindowTest, EveryHitOfARealSearchLeadsToTheFoundText) {
    WriteFile("hits.c", "int main()\r\n{\r\n\tif (x) \xD6\xD0return 0;\r\n}\r\n");
    WriteFile("hits8.c", "\xEF\xBB\xBF"
                         "return a; \xE4\xB8\xAD\xE6\x96\x87return b;\n");
    const unsigned short units[] = {0x4E2D, 0x09, 0x72, 0x65, 0x74, 0x75, 0x72, 0x6E, 0x0A};
    std::string le = "\xFF\xFE";
    for (unsigned short u : units) {
        le += static_cast<char>(u & 0xFF);
        le += static_cast<char>(u >> 8);
    }
    WriteFile("hits16.c", le);
    FxFileSearch request;
    request.find = "return";
    request.filters = "*.c";
    request.folder = m_dir.substr(0, m_dir.size() - 1);
    request.texts = FxLoadFileSearchTexts();
    ASSERT_TRUE(StartFindInFiles(m_frame, request));
    const DWORD start = ::GetTickCount();
    while (SearchesRunning() && ::GetTickCount() - start < 20000)
        Pump();
    ASSERT_FALSE(SearchesRunning());
    Pump();
    OutputPane* pane = Window().GetPane(3);
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(Window().GetCurrentKey(), 3);
    int hits = 0;
    for (int32_t i = 0; i < pane->Lines().Count(); ++i) {
        pane->MoveCaret(OutputPane::Pos{0, i}, false);
        if (!pane->CanGoTo())
            continue;
        ++hits;
        ASSERT_TRUE(pane->GoTo()) << pane->LineText(i);
        Pump();
        CTextEditView* view = m_frame->GetActiveTextView();
        ASSERT_NE(view, nullptr);
        CTextEditDoc* doc = view->GetTextDoc();
        const FxTextPos caret = view->Caret();
        const int32_t length = doc->GetLineLength(caret.line);
        std::vector<char> text(static_cast<size_t>(length) + 1);
        const int32_t got = doc->CopyText(doc->LogicalToPiecePos(FxTextPos(0, caret.line)),
                                          doc->LogicalToPiecePos(FxTextPos(length, caret.line)),
                                          text.data(), length + 1, doc->LineEndType());
        const std::string line(text.data(), static_cast<size_t>(std::min(got, length)));
        EXPECT_EQ(line.compare(static_cast<size_t>(caret.col), 6, "return"), 0)
            << pane->LineText(i) << " -> column " << caret.col << " of " << line;
    }
    EXPECT_EQ(hits, 4);
}

} // namespace

namespace {

bool PaneHas(OutputPane* pane, const std::string& part) {
    for (int32_t i = 0; i < pane->Lines().Count(); ++i)
        if (pane->LineText(i).find(part) != std::string::npos)
            return true;
    return false;
}

// Two searches at once write into the two find-in-files panes; the pane's Stop command stops the
// job holding its channel, which then frees the channel.
TEST_F(OutputWindowTest, TwoSearchesFillBothFindPanesAndStopEndsOne) {
    for (int i = 0; i < 150; ++i)
        WriteFile("many" + std::to_string(i) + ".txt",
                  std::string(2000, 'x') + "\r\nneedle " + std::to_string(i) + "\r\n");
    FxFileSearch request;
    request.find = "needle";
    request.filters = "*.txt";
    request.folder = m_dir.substr(0, m_dir.size() - 1);
    request.texts = FxLoadFileSearchTexts();
    ASSERT_TRUE(StartFindInFiles(m_frame, request));
    ASSERT_TRUE(StartFindInFiles(m_frame, request));
    Pump();
    // Both channels are held; stop the one in pane 4 from its pane.
    OutputPane* first = Window().GetPane(3);
    OutputPane* second = Window().GetPane(4);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    if (m_frame->IsOutputChannelBusy(4)) {
        EXPECT_TRUE(Enabled(second, ID_OUTPUT_STOP));
        ::SendMessageA(second->m_hWnd, WM_COMMAND, ID_OUTPUT_STOP, 0);
    }
    const DWORD start = ::GetTickCount();
    while (SearchesRunning() && ::GetTickCount() - start < 30000)
        Pump();
    ASSERT_FALSE(SearchesRunning());
    Pump();
    EXPECT_FALSE(Enabled(first, ID_OUTPUT_STOP));
    EXPECT_FALSE(Enabled(second, ID_OUTPUT_STOP));
    // The first ran to its end: all 150 hits, each a line Go to can read.
    int hits = 0;
    for (int32_t i = 0; i < first->Lines().Count(); ++i) {
        first->MoveCaret(OutputPane::Pos{0, i}, false);
        hits += first->CanGoTo() ? 1 : 0;
    }
    EXPECT_EQ(hits, 150);
    EXPECT_TRUE(second->Lines().HasText());
    EXPECT_FALSE(PaneHas(first, "needle 150"));
    EXPECT_TRUE(PaneHas(first, "needle 149"));
}

} // namespace

#include "framework/OleDropTarget.h"

namespace {

// A window that takes dropped text.
class TextDropTarget : public COleDropTarget {
public:
    DROPEFFECT OnDragEnter(CWnd*, COleDataObject* data, DWORD, POINT) override {
        return data->IsDataAvailable(CF_TEXT) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    }
    DROPEFFECT OnDragOver(CWnd*, COleDataObject* data, DWORD, POINT) override {
        return data->IsDataAvailable(CF_TEXT) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    }
    bool OnDrop(CWnd*, COleDataObject* data, DROPEFFECT, POINT) override {
        std::vector<char> text;
        if (!data->GetText(CF_TEXT, text))
            return false;
        dropped.assign(text.begin(), std::find(text.begin(), text.end(), '\0'));
        return true;
    }
    std::string dropped;
};

void SendMouse(DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    ::SendInput(1, &input, sizeof input);
}

// With the real mouse: the button goes down inside the selection, the pointer moves onto
// another window and the button comes up there: the selection arrives as text, a copy.
TEST_F(OutputWindowTest, DraggingTheSelectionCarriesItAsText) {
    OutputPane* pane = FreshPane(3);
    Append(pane, "first line\r\nsecond line");
    pane->MoveCaret(OutputPane::Pos{6, 0}, false);
    pane->MoveCaret(OutputPane::Pos{6, 1}, true);
    ASSERT_EQ(pane->GetSelectedText(), "line\r\nsecond");

    CWnd target;
    RECT frameRc;
    ::GetWindowRect(m_frame->m_hWnd, &frameRc);
    ASSERT_TRUE(target.CreateEx(WS_EX_TOPMOST, CWnd::RegisterWndClass(0), "drop",
                                WS_POPUP | WS_VISIBLE, frameRc.left + 300, frameRc.top + 150, 200,
                                100, nullptr, nullptr));
    TextDropTarget drop;
    ASSERT_TRUE(drop.Register(&target));
    Pump();

    POINT from = pane->PosToPoint(OutputPane::Pos{8, 0});
    from.y += pane->GetLineHeight() / 2;
    ::ClientToScreen(pane->m_hWnd, &from);
    const POINT to = {frameRc.left + 400, frameRc.top + 200};
    ::SetCursorPos(from.x, from.y);
    Pump();
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    // The rest of the gesture comes while the pane is in its drag loops.
    std::thread hand([&] {
        for (int step = 1; step <= 10; ++step) {
            ::Sleep(30);
            ::SetCursorPos(from.x + (to.x - from.x) * step / 10,
                           from.y + (to.y - from.y) * step / 10);
            SendMouse(MOUSEEVENTF_MOVE);
        }
        ::Sleep(100);
        SendMouse(MOUSEEVENTF_LEFTUP);
    });
    const DWORD start = ::GetTickCount();
    while (drop.dropped.empty() && ::GetTickCount() - start < 5000)
        Pump();
    hand.join();
    Pump();
    EXPECT_EQ(drop.dropped, "line\r\nsecond");
    // A copy: the pane keeps its text.
    EXPECT_EQ(pane->Lines().Count(), 2);
    EXPECT_EQ(pane->LineText(0), "first line");
    drop.Revoke();
    target.DestroyWindow();
}

} // namespace

#include "common/LeadBytes.h"
#include "tools/ToolRunner.h"

namespace {

// 2,250 CR LF lines of GBK text: numbers, "中文输出" repeated and ASCII filler of varying lengths,
// so that cuts every 777 bytes fall between CRs and LFs and inside double-byte characters.
std::string GbkLines() {
    std::string text;
    for (int i = 0; i < 2250; ++i) {
        text += std::to_string(i) + "：";
        for (int k = 0; k < i % 5; ++k)
            text += "中文输出";
        text += std::string(static_cast<size_t>(i % 7), 'x') + "\r\n";
    }
    return text;
}

std::string ClipboardText() {
    std::string text;
    if (!::OpenClipboard(nullptr))
        return text;
    if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(::GlobalLock(data)))
            text = p;
        ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    return text;
}

std::string ProgramPath(const char* name) {
    char exe[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, exe, sizeof exe);
    return FxPathWithSeparator(FxPathFolder(exe)) + name;
}

// A console tool writes GBK text in 777-byte pieces through the real capture runner into capture
// pane 1; Select All and Copy give back exactly the bytes it wrote.
TEST_F(OutputWindowTest, CapturedTextCopiesBackByteForByte) {
    const std::string text = GbkLines();
    // The cuts this test is about are really there.
    int crLf = 0, doubleByte = 0;
    for (size_t cut = 777; cut < text.size(); cut += 777) {
        crLf += text[cut - 1] == '\r';
        size_t at = cut - 777;
        while (at < cut)
            at += static_cast<size_t>(FxCharLen(text.data(), at, text.size()));
        doubleByte += at != cut;
    }
    ASSERT_GE(crLf, 2);
    ASSERT_GE(doubleByte, 10);
    const std::string source = WriteFile("gbk_lines.txt", text);
    OutputPane* pane = FreshPane(1);
    ToolRunner& tools = m_frame->Tools();
    DWORD error = 0;
    ASSERT_TRUE(tools.StartCapture(ProgramPath("qvprobe.exe"), "pieces:" + source + ":777:30", "",
                                   false, &error))
        << error;
    const DWORD start = ::GetTickCount();
    while ((!tools.Job(0).IsFree() || !tools.Job(1).IsFree()) && ::GetTickCount() - start < 60000)
        Pump();
    ASSERT_TRUE(tools.Job(0).IsFree() && tools.Job(1).IsFree());
    EXPECT_EQ(pane->Lines().Count(), 2251);
    ::SendMessageA(pane->m_hWnd, WM_COMMAND, ID_OUTPUT_SELECT_ALL, 0);
    ::SendMessageA(pane->m_hWnd, WM_COMMAND, ID_OUTPUT_COPY, 0);
    const std::string copied = ClipboardText();
    EXPECT_EQ(copied.size(), text.size());
    EXPECT_TRUE(copied == text)
        << "first difference at byte "
        << std::mismatch(copied.begin(), copied.end(), text.begin(), text.end()).first -
               copied.begin();
}

// A pane that is fed far more than it keeps drops its oldest lines and says so in its first
// line; the newest lines are all there, and the caret stays on its line while older ones go.
TEST_F(OutputWindowTest, APaneFedWithoutEndKeepsItsNewestLinesWithinItsBound) {
    OutputPane* pane = FreshPane(2);
    int number = 0;
    // About 1 MB of numbered 72-byte lines.
    auto piece = [&] {
        std::string text;
        for (int i = 0; i < 14563; ++i) {
            std::string line = std::to_string(number++);
            text += line + std::string(70 - line.size(), 'o') + "\r\n";
        }
        return text;
    };
    for (int i = 0; i < 100; ++i)
        Append(pane, piece());
    Append(pane, "last line");
    Pump();
    size_t kept = 0; // the notice not counted
    for (int32_t i = 1; i < pane->Lines().Count(); ++i)
        kept += static_cast<size_t>(pane->Lines().At(i).length);
    EXPECT_LE(kept, static_cast<size_t>(64) << 20);
    EXPECT_GE(kept, static_cast<size_t>(32) << 20);
    const std::string notice = pane->LineText(0);
    EXPECT_NE(notice.find("最前面的" + std::to_string(pane->Lines().DroppedLines()) + "行"),
              std::string::npos)
        << notice;
    // Line 1 is the first line kept, and every line after it follows in order.
    const int32_t last = pane->Lines().Count() - 1;
    EXPECT_EQ(pane->LineText(last), "last line");
    EXPECT_EQ(std::atoi(pane->LineText(1).c_str()), pane->Lines().DroppedLines());
    EXPECT_EQ(std::atoi(pane->LineText(last - 1).c_str()), number - 1);
    EXPECT_EQ(last - 1, number - pane->Lines().DroppedLines());
    // The last line is in view.
    EXPECT_GE(pane->GetTopLine() + pane->VisibleLines(), last + 1);
    // A caret and selection on kept lines stay on them while more old lines go.
    pane->MoveCaret(OutputPane::Pos{0, last - 2}, false);
    pane->MoveCaret(OutputPane::Pos{3, last - 1}, true);
    const std::string selected = pane->GetSelectedText();
    Append(pane, "\r\n" + piece());
    Pump();
    EXPECT_EQ(pane->GetSelectedText(), selected);
    EXPECT_EQ(pane->GetCaret().col, 3);
    pane->Clear();
}

} // namespace
