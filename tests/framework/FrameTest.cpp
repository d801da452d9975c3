// MDI frames, command routing, command UI, menus, accelerators, bars and layout, tool tips.
#include "tests/framework/TestApp.h"

#include "framework/MultiDocTemplate.h"
#include "framework/ResourceText.h"
#include "tests/framework/FrameworkTestIds.h"

#include <commctrl.h>

namespace {

// The popup of the frame's current menu bar whose first item has this id.
HMENU FindPopup(HWND frame, UINT firstId, int* index = nullptr) {
    HMENU bar = GetMenu(frame);
    for (int i = 0; i < GetMenuItemCount(bar); ++i) {
        HMENU popup = GetSubMenu(bar, i);
        if (popup && GetMenuItemID(popup, 0) == firstId) {
            if (index)
                *index = i;
            return popup;
        }
    }
    return nullptr;
}

UINT StateOf(HMENU menu, UINT id) {
    return GetMenuState(menu, id, MF_BYCOMMAND);
}

} // namespace

TEST_F(FrameworkTest, MainFrameLoadsTitleMenuAndAccelerators) {
    EXPECT_EQ(m_main->GetWindowText(), "测试程序");
    EXPECT_NE(m_main->m_hWndMDIClient, nullptr);
    EXPECT_EQ(GetMenu(m_main->m_hWnd), m_main->m_hMenuDefault);
    EXPECT_NE(m_main->m_hAccelTable, nullptr);
    EXPECT_EQ(m_main->GetActiveFrame(), m_main);
    EXPECT_EQ(m_main->GetActiveDocument(), nullptr);
}

TEST_F(FrameworkTest, FileNewOpensNumberedUntitledChildrenWithTheSharedMenu) {
    UINT n = App().m_pTemplate->m_nUntitledCount;
    std::string firstTitle = AfxFormat("测试文档%u", n + 1);
    std::string secondTitle = AfxFormat("测试文档%u", n + 2);
    TestDoc* first = NewDocument();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetTitle(), firstTitle);
    CFrameWnd* child = m_main->GetActiveFrame();
    ASSERT_NE(child, m_main);
    EXPECT_TRUE(child->IsKindOf(RUNTIME_CLASS(TestChildFrame)));
    EXPECT_EQ(child->GetWindowText(), firstTitle);
    EXPECT_EQ(GetMenu(m_main->m_hWnd), App().m_pTemplate->m_hMenuShared);

    TestDoc* second = NewDocument();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_EQ(second->GetTitle(), secondTitle);
    EXPECT_EQ(App().GetOpenDocumentCount(), 2);
    bool maximized = false;
    m_main->MDIGetActive(&maximized);
    if (!maximized) {
        EXPECT_EQ(m_main->GetWindowText(), "测试程序 - " + secondTitle);
    }

    // Closing every document brings the frame's own menu and title back.
    App().CloseAllDocuments(false);
    Pump();
    EXPECT_EQ(App().GetOpenDocumentCount(), 0);
    EXPECT_EQ(m_main->MDIGetActive(), nullptr);
    EXPECT_EQ(GetMenu(m_main->m_hWnd), m_main->m_hMenuDefault);
    EXPECT_EQ(m_main->GetWindowText(), "测试程序");
}

TEST_F(FrameworkTest, UntitledNumbersKeepCountingAfterClose) {
    TestDoc* doc = NewDocument();
    ASSERT_NE(doc, nullptr);
    std::string title = doc->GetTitle();
    m_main->SendMessage(WM_COMMAND, ID_FILE_CLOSE);
    Pump();
    TestDoc* next = NewDocument();
    ASSERT_NE(next, nullptr);
    EXPECT_NE(next->GetTitle(), title);
    EXPECT_EQ(next->GetTitle().compare(0, 8, "测试文档"), 0);
}

TEST_F(FrameworkTest, UntitledNumbersSkipATitleAnOpenDocumentHas) {
    // A document given back its untitled title (restored after a crash) keeps it alone.
    const UINT n = App().m_pTemplate->m_nUntitledCount;
    TestDoc* restored = NewDocument();
    ASSERT_NE(restored, nullptr);
    restored->SetTitle(AfxFormat("测试文档%u", n + 2).c_str());
    TestDoc* next = NewDocument();
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->GetTitle(), AfxFormat("测试文档%u", n + 3));
    App().CloseAllDocuments(false);
    Pump();
}

TEST_F(FrameworkTest, CommandsRouteFromTheViewToTheApplication) {
    ASSERT_NE(NewDocument(), nullptr);
    m_main->SendMessage(WM_COMMAND, ID_TEST_ROUTE);
    EXPECT_EQ(App().m_route, "view;doc;child;main;app;");

    App().m_route.clear();
    App().m_appOnlyRuns = 0;
    m_main->SendMessage(WM_COMMAND, ID_TEST_APP_ONLY);
    EXPECT_EQ(App().m_appOnlyRuns, 1);
}

TEST_F(FrameworkTest, WithoutDocumentsCommandsGoFromMainFrameToApplication) {
    m_main->SendMessage(WM_COMMAND, ID_TEST_ROUTE);
    EXPECT_EQ(App().m_route, "main;app;");
}

TEST_F(FrameworkTest, CommandRangesReachTheView) {
    ASSERT_NE(NewDocument(), nullptr);
    TestView* view = DynamicDowncast<TestView>(m_main->GetActiveFrame()->GetActiveView());
    ASSERT_NE(view, nullptr);
    m_main->SendMessage(WM_COMMAND, ID_TEST_RANGE_FIRST + 3);
    EXPECT_EQ(view->m_lastRange, static_cast<UINT>(ID_TEST_RANGE_FIRST + 3));
}

TEST_F(FrameworkTest, MenuPopupIsUpdatedThroughTheRoute) {
    ASSERT_NE(NewDocument(), nullptr);
    int index = 0;
    HMENU popup = FindPopup(m_main->m_hWnd, ID_TEST_NO_HANDLER, &index);
    ASSERT_NE(popup, nullptr);
    m_main->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup),
                        MAKELPARAM(index, FALSE));
    EXPECT_TRUE(StateOf(popup, ID_TEST_NO_HANDLER) & MF_GRAYED);
    EXPECT_TRUE(StateOf(popup, ID_TEST_CHECKED) & MF_CHECKED);
    EXPECT_FALSE(StateOf(popup, ID_TEST_CHECKED) & MF_GRAYED);
    EXPECT_TRUE(StateOf(popup, ID_TEST_DISABLED) & MF_GRAYED);
    EXPECT_FALSE(StateOf(popup, ID_TEST_HANDLED) & MF_GRAYED);
    // The range update handler rewrites the texts of its items.
    char text[64] = "";
    GetMenuStringA(popup, ID_TEST_RANGE_FIRST, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "范围0");
    GetMenuStringA(popup, ID_TEST_RANGE_FIRST + 1, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "范围1");
}

TEST_F(FrameworkTest, DisabledCommandDoesNotRun) {
    ASSERT_NE(NewDocument(), nullptr);
    TestView* view = DynamicDowncast<TestView>(m_main->GetActiveFrame()->GetActiveView());
    ASSERT_NE(view, nullptr);
    m_main->SendMessage(WM_COMMAND, ID_TEST_DISABLED);
    m_main->SendMessage(WM_COMMAND, ID_TEST_HANDLED);
    EXPECT_EQ(view->m_disabledRuns, 0);
    EXPECT_EQ(view->m_handledRuns, 1);
}

TEST_F(FrameworkTest, SystemMenuIsLeftAlone) {
    ASSERT_NE(NewDocument(), nullptr);
    int index = 0;
    HMENU popup = FindPopup(m_main->m_hWnd, ID_TEST_NO_HANDLER, &index);
    ASSERT_NE(popup, nullptr);
    EnableMenuItem(popup, ID_TEST_NO_HANDLER, MF_BYCOMMAND | MF_ENABLED);
    m_main->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), MAKELPARAM(index, TRUE));
    EXPECT_FALSE(StateOf(popup, ID_TEST_NO_HANDLER) & MF_GRAYED);
}

TEST_F(FrameworkTest, OnlyTheActiveChildsAcceleratorsTranslate) {
    // No child: the frame's own table (F8).
    MSG msg = {};
    msg.hwnd = m_main->m_hWnd;
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_F9;
    EXPECT_FALSE(App().PreTranslateMessage(&msg));

    ASSERT_NE(NewDocument(), nullptr);
    TestView* view = DynamicDowncast<TestView>(m_main->GetActiveFrame()->GetActiveView());
    ASSERT_NE(view, nullptr);
    msg.hwnd = view->m_hWnd;
    msg.wParam = VK_F9;
    EXPECT_TRUE(App().PreTranslateMessage(&msg));
    EXPECT_EQ(view->m_accelRuns, 1);
    msg.wParam = VK_F8; // the frame's table is not consulted while a child is active
    EXPECT_FALSE(App().PreTranslateMessage(&msg));
    EXPECT_EQ(view->m_accelRuns, 1);
}

TEST_F(FrameworkTest, StatusPromptGoesToTheStatusBarAsText) {
    CWnd status;
    RECT rc = {0, 0, 100, 20};
    ASSERT_TRUE(status.CreateEx(0, "STATIC", "", WS_CHILD, rc, m_main, AFX_IDW_STATUS_BAR));
    m_main->SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_TEST_HANDLED, MF_STRING), 0);
    EXPECT_EQ(status.GetWindowText(), "执行测试命令");
    m_main->SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(status.GetWindowText(), "如需帮助，请按F1键");
    status.DestroyWindow();
}

TEST_F(FrameworkTest, BarsAreLaidOutAlongTheEdgesAndUpdatedAtIdle) {
    TestBar top, left;
    ASSERT_TRUE(top.CreateBar(m_main, WS_VISIBLE | CBRS_ALIGN_TOP, ID_TEST_BAR));
    ASSERT_TRUE(left.CreateBar(m_main, WS_VISIBLE | CBRS_ALIGN_LEFT, ID_TEST_BAR + 1));
    EXPECT_EQ(top.GetBarStyle(), static_cast<DWORD>(CBRS_ALIGN_TOP));
    EXPECT_EQ(m_main->GetControlBar(ID_TEST_BAR), &top);
    m_main->RecalcLayout();

    RECT client, topRc, leftRc, mdiRc;
    m_main->GetClientRect(&client);
    GetWindowRect(top.m_hWnd, &topRc);
    GetWindowRect(left.m_hWnd, &leftRc);
    GetWindowRect(m_main->m_hWndMDIClient, &mdiRc);
    m_main->ScreenToClient(&topRc);
    m_main->ScreenToClient(&leftRc);
    m_main->ScreenToClient(&mdiRc);
    EXPECT_EQ(topRc.top, 0);
    EXPECT_EQ(topRc.bottom - topRc.top, 20);
    EXPECT_EQ(topRc.right - topRc.left, client.right);
    EXPECT_EQ(leftRc.left, 0);
    EXPECT_EQ(leftRc.top, 20);
    EXPECT_EQ(leftRc.right - leftRc.left, 30);
    EXPECT_EQ(mdiRc.left, 30);
    EXPECT_EQ(mdiRc.top, 20);
    EXPECT_EQ(mdiRc.right, client.right);
    EXPECT_EQ(mdiRc.bottom, client.bottom);

    RECT rest;
    m_main->RepositionBars(CFrameWnd::reposQuery, &rest);
    EXPECT_EQ(rest.left, 30);
    EXPECT_EQ(rest.top, 20);

    // Hidden with delay: nothing moves until the idle pass.
    m_main->ShowControlBar(&top, false, true);
    EXPECT_TRUE(top.IsWindowVisible());
    EXPECT_FALSE(top.IsVisible());
    Pump();
    EXPECT_FALSE(top.IsWindowVisible());
    GetWindowRect(m_main->m_hWndMDIClient, &mdiRc);
    m_main->ScreenToClient(&mdiRc);
    EXPECT_EQ(mdiRc.top, 0);

    // Idle command UI reached the visible bar through the frame's route.
    left.m_updates = 0;
    Pump();
    EXPECT_GT(left.m_updates, 0);
    EXPECT_FALSE(left.m_handledEnabled); // no document: nobody handles the command
    ASSERT_NE(NewDocument(), nullptr);
    Pump();
    EXPECT_TRUE(left.m_handledEnabled); // the active view does
    top.DestroyWindow();
    left.DestroyWindow();
    EXPECT_EQ(m_main->GetControlBar(ID_TEST_BAR), nullptr);
}

TEST_F(FrameworkTest, DockControlBarPlacesTheBarOnTheNamedSide) {
    TestBar bar;
    ASSERT_TRUE(bar.CreateBar(m_main, WS_VISIBLE | CBRS_ALIGN_TOP, ID_TEST_BAR));
    bar.EnableDocking(CBRS_ALIGN_ANY);
    m_main->EnableDocking(CBRS_ALIGN_ANY);
    m_main->DockControlBar(&bar, AFX_IDW_DOCKBAR_BOTTOM);
    EXPECT_EQ(bar.GetBarStyle() & CBRS_ALIGN_ANY, static_cast<DWORD>(CBRS_ALIGN_BOTTOM));
    EXPECT_EQ(bar.m_nDockBarId, static_cast<UINT>(AFX_IDW_DOCKBAR_BOTTOM));
    Pump();
    RECT client, rc;
    m_main->GetClientRect(&client);
    GetWindowRect(bar.m_hWnd, &rc);
    m_main->ScreenToClient(&rc);
    EXPECT_EQ(rc.bottom, client.bottom);
    EXPECT_EQ(rc.bottom - rc.top, 20);
    bar.DestroyWindow();
}

TEST_F(FrameworkTest, HelpGoesToTheApplicationWithTheFramesKey) {
    m_main->SendMessage(WM_COMMAND, ID_HELP);
    ASSERT_EQ(App().m_helpKeys.size(), 1u);
    EXPECT_EQ(App().m_helpKeys[0], static_cast<DWORD_PTR>(IDR_TESTMAIN));
}

// With no child there is nothing to scroll: a new frame's client has no scroll bars before
// its first paint (the bars would be drawn, then hidden by the client's first recalculation).
TEST_F(FrameworkTest, ANewFramesClientShowsNoScrollBars) {
    TestMainFrame* frame = new TestMainFrame;
    ASSERT_TRUE(frame->LoadFrame(IDR_TESTMAIN, WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(GetWindowLongA(frame->m_hWndMDIClient, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0);
    frame->DestroyWindow();
    Pump();
}

// --- Tool tips ---------------------------------------------------------------------------------

namespace {

// The tip text (after the first line break) of a string table entry.
std::string TipOf(UINT id) {
    const std::string full = AfxLoadString(id);
    const size_t nl = full.find('\n');
    return nl == std::string::npos ? std::string() : full.substr(nl + 1);
}

std::wstring Wide(const std::string& text) {
    std::wstring wide(text.size() + 1, L'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()),
                                      &wide[0], static_cast<int>(wide.size()));
    wide.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return wide;
}

} // namespace

TEST_F(FrameworkTest, ALongToolTipIsCutOnACharacterBoundary) {
    const std::string tip = TipOf(ID_TEST_LONG_TIP);
    ASSERT_EQ(tip.size(), 80u) << "forty double-byte characters";
    // The ANSI request has room for 79 bytes: the 40th character does not fit and goes whole.
    NMTTDISPINFOA a = {};
    a.hdr.idFrom = ID_TEST_LONG_TIP;
    a.hdr.code = TTN_NEEDTEXTA;
    m_main->SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&a));
    EXPECT_EQ(std::string(a.szText), tip.substr(0, 78));
    // The wide request holds all forty characters.
    NMTTDISPINFOW w = {};
    w.hdr.idFrom = ID_TEST_LONG_TIP;
    w.hdr.code = TTN_NEEDTEXTW;
    m_main->SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&w));
    EXPECT_EQ(std::wstring(w.szText), Wide(tip));
    // A hundred characters: the wide request takes the first 79.
    const std::wstring longer = Wide(TipOf(ID_TEST_LONGER_TIP));
    ASSERT_EQ(longer.size(), 100u);
    NMTTDISPINFOW w2 = {};
    w2.hdr.idFrom = ID_TEST_LONGER_TIP;
    w2.hdr.code = TTN_NEEDTEXTW;
    m_main->SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&w2));
    EXPECT_EQ(std::wstring(w2.szText), longer.substr(0, 79));
    NMTTDISPINFOA a2 = {};
    a2.hdr.idFrom = ID_TEST_LONGER_TIP;
    a2.hdr.code = TTN_NEEDTEXTA;
    m_main->SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&a2));
    EXPECT_EQ(std::string(a2.szText), TipOf(ID_TEST_LONGER_TIP).substr(0, 78));
}

TEST_F(FrameworkTest, AShortToolTipIsCopiedWhole) {
    NMTTDISPINFOA a = {};
    a.hdr.idFrom = ID_TEST_HANDLED;
    a.hdr.code = TTN_NEEDTEXTA;
    m_main->SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&a));
    EXPECT_STREQ(a.szText, "测试命令");
    NMTTDISPINFOW w = {};
    w.hdr.idFrom = ID_TEST_HANDLED;
    w.hdr.code = TTN_NEEDTEXTW;
    m_main->SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&w));
    EXPECT_EQ(std::wstring(w.szText), Wide("测试命令"));
}
