// The application object in this process: start-up through CApp::InitInstance, the main
// frame's menu 100, File > New through the template, the swap to menu 101, and the commands
// without a handler greyed.
#include "app/App.h"
#include "app/AppMainFrame.h"
#include "framework/MDIChildWnd.h"

#include "tests/app/AppTestUtil.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const UINT kIdSearchFind = 35420; // the editor view's command: enabled in a text view

std::string MenuText(HMENU menu, int pos) {
    char text[128] = "";
    GetMenuStringA(menu, static_cast<UINT>(pos), text, sizeof text, MF_BYPOSITION);
    return text;
}

int FindPopup(HMENU menu, const char* text) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        if (MenuText(menu, i) == text)
            return i;
    return -1;
}

CApp& TheApp() {
    static CApp* app = new CApp; // lives to the end of the process
    return *app;
}

} // namespace

TEST(AppMenuTest, FileNewSwapsMenu100ForMenu101) {
    CApp& app = TheApp();
    ASSERT_TRUE(StartInProcessApp(TheApp()));
    CAppMainFrame* frame = AppMainFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(app.m_pMainWnd, frame);

    // Menu 100: File, Search, View, Tools (position 3), Help.
    HMENU menu = frame->GetMenu();
    EXPECT_EQ(GetMenuItemCount(menu), 5);
    EXPECT_EQ(MenuText(menu, 0), "文件(&F)");
    EXPECT_EQ(MenuText(menu, 3), "工具(&T)");
    EXPECT_EQ(FindPopup(menu, "编辑(&E)"), -1);
    EXPECT_EQ(frame->MDIGetActive(), nullptr);

    frame->SendMessage(WM_COMMAND, ID_FILE_NEW);
    app.PumpPendingMessages();
    CMDIChildWnd* child = frame->MDIGetActive();
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->GetWindowText(), "未命名文档1");

    // Menu 101: Tools at 5 (6 with a maximised child's system menu in front).
    menu = frame->GetMenu();
    int edit = FindPopup(menu, "编辑(&E)");
    ASSERT_GE(edit, 1);
    EXPECT_EQ(FindPopup(menu, "工具(&T)"), edit + 4);
    EXPECT_NE(FindPopup(menu, "窗口(&W)"), -1);

    // Opening a popup updates it: the view enables its find command.
    int search = FindPopup(menu, "查找(&S)");
    ASSERT_NE(search, -1);
    HMENU popup = GetSubMenu(menu, search);
    frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), MAKELPARAM(search, 0));
    EXPECT_FALSE(GetMenuState(popup, kIdSearchFind, MF_BYCOMMAND) & MF_GRAYED);
    HMENU file = GetSubMenu(menu, edit - 1);
    frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), MAKELPARAM(edit - 1, 0));
    EXPECT_FALSE(GetMenuState(file, ID_FILE_NEW, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(GetMenuState(file, ID_FILE_SAVE, MF_BYCOMMAND) & MF_GRAYED);

    // Closing the document brings menu 100 back.
    child->SendMessage(WM_COMMAND, ID_FILE_CLOSE);
    app.PumpPendingMessages();
    EXPECT_EQ(frame->MDIGetActive(), nullptr);
    EXPECT_EQ(FindPopup(frame->GetMenu(), "编辑(&E)"), -1);

    StopInProcessApp(TheApp());
}
