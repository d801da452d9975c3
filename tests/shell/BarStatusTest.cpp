// The status bar in a real frame: indicator panes and their captions, docking at the bottom,
// pane texts from command-UI, transient notices with the 2000 ms timer, progress, the window
// text messages and the size grip.
#include "tests/shell/ShellTestApp.h"

#include "app/ShellIds.h"

TEST_F(ShellTest, StatusBarHasTheIndicatorsWithTheirCaptions) {
    CBarStatus& bar = m_main->m_status;
    ASSERT_EQ(bar.GetPaneCount(), 7);
    EXPECT_EQ(bar.GetPane(0).style,
              static_cast<DWORD>(CBarStatus::PaneStretch | CBarStatus::PaneNoBorder));
    EXPECT_STREQ(bar.GetPaneText(0), "");
    EXPECT_STREQ(bar.GetPaneText(1), "当前位置");
    EXPECT_STREQ(bar.GetPaneText(2), "字符");
    EXPECT_STREQ(bar.GetPaneText(3), "文档大小 ");
    EXPECT_STREQ(bar.GetPaneText(4), "类型");
    EXPECT_STREQ(bar.GetPaneText(5), "覆盖");
    EXPECT_STREQ(bar.GetPaneText(6), "只读");
    EXPECT_EQ(bar.GetPane(1).style, 0u);
    EXPECT_EQ(bar.CommandToIndex(ID_INDICATOR_TYPE), 4);
    EXPECT_TRUE(bar.IsSimple());
}

TEST_F(ShellTest, StatusBarIsDockedAlongTheBottom) {
    CBarStatus& bar = m_main->m_status;
    m_main->RecalcLayout();
    RECT client, rc;
    m_main->GetClientRect(&client);
    bar.GetWindowRect(&rc);
    m_main->ScreenToClient(&rc);
    SIZE size = bar.CalcFixedLayout(false, true);
    EXPECT_EQ(rc.bottom, client.bottom);
    EXPECT_EQ(rc.left, client.left);
    EXPECT_EQ(rc.right, client.right);
    EXPECT_EQ(rc.bottom - rc.top, size.cy);
    EXPECT_EQ(size.cx, 32767);
    EXPECT_GT(size.cy, 4);
}

TEST_F(ShellTest, CommandUiSetsPaneTextsOnlyInNormalMode) {
    CBarStatus& bar = m_main->m_status;
    m_main->m_typeText = " UNIX，U8 ";
    m_main->OnIdleUpdateCmdUI();
    EXPECT_STREQ(bar.GetPaneText(4), "类型"); // simple mode: only the message pane
    bar.SetSimple(false);
    m_main->OnIdleUpdateCmdUI();
    EXPECT_STREQ(bar.GetPaneText(4), " UNIX，U8 ");
    // Panes without a handler are left enabled as they are.
    EXPECT_FALSE(bar.GetPane(4).style & CBarStatus::PaneDisabled);
}

TEST_F(ShellTest, PaneRightEdgesFillTheWidthBesideTheGrip) {
    CBarStatus& bar = m_main->m_status;
    bar.SetSimple(false);
    m_main->RecalcLayout();
    Pump();
    ASSERT_TRUE(bar.HasSizeGrip());
    RECT client;
    bar.GetClientRect(&client);
    int grip = GetSystemMetrics(SM_CXBORDER) + GetSystemMetrics(SM_CXVSCROLL);
    EXPECT_EQ(bar.GetPane(6).right, client.right - grip);
    for (int i = 1; i < bar.GetPaneCount(); ++i)
        EXPECT_GT(bar.GetPane(i).right, bar.GetPane(i - 1).right);
    m_main->ShowWindow(SW_MAXIMIZE);
    Pump();
    bar.GetClientRect(&client);
    EXPECT_EQ(bar.GetPane(6).right, client.right);
}

TEST_F(ShellTest, ANoticeIsHighlightedForFourSecondsThenTheIdlePromptReturns) {
    CBarStatus& bar = m_main->m_status;
    DWORD start = GetTickCount();
    bar.ShowMessage(IDS_DOC_READONLY);
    EXPECT_STREQ(bar.GetPaneText(0), "只读文档不能修改");
    EXPECT_TRUE(bar.GetPane(0).style & CBarStatus::PaneHighlight);
    EXPECT_TRUE(bar.IsTimerRunning());
    DWORD shown = bar.GetPane(0).highlightTick;
    bar.AgeHighlights(shown + 3999);
    EXPECT_TRUE(bar.GetPane(0).style & CBarStatus::PaneHighlight);
    EXPECT_TRUE(bar.IsTimerRunning());
    bar.AgeHighlights(shown + 4000);
    EXPECT_FALSE(bar.GetPane(0).style & CBarStatus::PaneHighlight);
    EXPECT_STREQ(bar.GetPaneText(0), "如需帮助，请按F1键");
    EXPECT_FALSE(bar.IsTimerRunning());

    // The real timer: between 4 and 6 seconds.
    bar.ShowMessage("另一条消息");
    start = GetTickCount();
    ASSERT_TRUE(
        PumpUntil([&] { return !(bar.GetPane(0).style & CBarStatus::PaneHighlight); }, 8000));
    DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 3900u);
    EXPECT_LE(elapsed, 6500u);
    EXPECT_STREQ(bar.GetPaneText(0), "如需帮助，请按F1键");
    EXPECT_FALSE(bar.IsTimerRunning());
}

TEST_F(ShellTest, ProgressLocksTheMessagePaneUntilItEnds) {
    CBarStatus& bar = m_main->m_status;
    bar.SetSimple(false);
    bar.SetProgress(IDS_DOC_FORMATTING, 30, 100);
    EXPECT_TRUE(bar.GetPane(0).style & CBarStatus::PaneProgress);
    EXPECT_STREQ(bar.GetPaneText(0), "正在格式化...");
    EXPECT_TRUE(bar.SetPaneText(0, "ignored"));
    EXPECT_STREQ(bar.GetPaneText(0), "正在格式化...");
    m_main->UpdateWindow();
    bar.SetProgress(IDS_DOC_FORMATTING, 100, 100);
    EXPECT_FALSE(bar.GetPane(0).style & CBarStatus::PaneProgress);
    EXPECT_STREQ(bar.GetPaneText(0), "正在格式化...");
    EXPECT_TRUE(bar.SetPaneText(0, "next"));
    EXPECT_STREQ(bar.GetPaneText(0), "next");
}

TEST_F(ShellTest, WindowTextMessagesActOnTheMessagePane) {
    CBarStatus& bar = m_main->m_status;
    bar.SetSimple(true);
    m_main->SetMessageText("就绪了");
    EXPECT_STREQ(bar.GetPaneText(0), "就绪了");
    char buf[5];
    LRESULT copied = bar.SendMessage(WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
    EXPECT_EQ(copied, 5);
    EXPECT_STREQ(buf, "就绪");
    EXPECT_EQ(bar.SendMessage(WM_GETTEXTLENGTH), 6);
    // A buffer that ends inside a character takes the whole characters before it.
    char odd[4];
    EXPECT_EQ(bar.SendMessage(WM_GETTEXT, sizeof odd, reinterpret_cast<LPARAM>(odd)), 3);
    EXPECT_STREQ(odd, "就");
}

TEST_F(ShellTest, WindowTextHoldsEveryShownPaneSeparatedByTabs) {
    CBarStatus& bar = m_main->m_status;
    bar.SetSimple(false);
    m_main->SetMessageText("就绪");
    bar.SetPaneText(4, " DOS，A ");
    char buf[1024];
    const std::string expected = "就绪\t当前位置\t字符\t文档大小 \t DOS，A \t覆盖\t只读";
    LRESULT copied = bar.SendMessage(WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
    EXPECT_EQ(buf, expected);
    EXPECT_EQ(copied, static_cast<LRESULT>(expected.size() + 1));
    EXPECT_EQ(bar.SendMessage(WM_GETTEXTLENGTH), static_cast<LRESULT>(expected.size()));
}

namespace {
int g_copyDataSeen = 0;
LRESULT CALLBACK CountCopyData(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COPYDATA)
        ++g_copyDataSeen;
    return DefWindowProcA(wnd, msg, wp, lp);
}
} // namespace

TEST_F(ShellTest, NoMessageMakesTheBarSendToAWindowItIsHanded) {
    // Any process could hand the bar a window that never answers and hang the editor in
    // its send: the bar answers no such request.
    WNDCLASSA wc = {};
    wc.lpfnWndProc = CountCopyData;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "QvStatusAsker";
    RegisterClassA(&wc);
    HWND asker = CreateWindowA("QvStatusAsker", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               wc.hInstance, nullptr);
    ASSERT_NE(asker, nullptr);
    g_copyDataSeen = 0;
    CBarStatus& bar = m_main->m_status;
    const UINT request = RegisterWindowMessageA("QuorvaneStatusPaneText");
    EXPECT_EQ(bar.SendMessage(request, 0, reinterpret_cast<LPARAM>(asker)), 0);
    EXPECT_EQ(g_copyDataSeen, 0);
    DestroyWindow(asker);
}

TEST_F(ShellTest, LongPaneTextsAreCutOnACharacterBoundary) {
    CBarStatus& bar = m_main->m_status;
    std::string text = "a";
    for (int i = 0; i < 200; ++i)
        text += "\xD6\xD0";
    bar.SetPaneText(1, text.c_str());
    EXPECT_EQ(bar.GetPane(1).length, 259);
    bar.SetPaneText(1, text.c_str() + 1);
    EXPECT_EQ(bar.GetPane(1).length, 258);
}
