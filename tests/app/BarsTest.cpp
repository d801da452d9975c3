// The document switch bar and the standard toolbar of the real main frame in this process: one
// cell per open document through opening, re-opening, renaming, modifying and closing; paging
// with 30 documents in a narrow frame, the arrows and clicks with the real mouse; the toolbar's
// buttons from the stored layout following command UI, its tool tips and fly-by prompts.
#include "app/App.h"
#include "app/DlgFile.h"
#include "app/AppMainFrame.h"
#include "app/CommandIds.h"
#include "app/TextEditDoc.h"
#include "app/TextEditView.h"
#include "settings/SettingsStore.h"
#include "common/PathName.h"
#include "common/UiResources.h"
#include "framework/DockBar.h"
#include "framework/Dpi.h"
#include "framework/FwIds.h"
#include "framework/MDIChildWnd.h"
#include "framework/ResourceText.h"
#include "workspace/ClipTextIds.h"

#include "tests/app/AppTestUtil.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

CApp& TheApp() {
    static CApp* app = new CApp; // lives to the end of the process
    return *app;
}

void SendButton(bool down) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &input, sizeof input);
}

class BarsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(StartInProcessApp(TheApp())); }
    static void TearDownTestSuite() { StopInProcessApp(TheApp()); }
    void SetUp() override {
        m_frame = AppMainFrame();
        ASSERT_NE(m_frame, nullptr);
        m_frame->ShowWindow(SW_SHOWNORMAL);
        ::SetWindowPos(m_frame->m_hWnd, nullptr, 20, 20, 900, 600, SWP_NOZORDER);
        ::SetForegroundWindow(m_frame->m_hWnd);
        Pump();
    }
    void TearDown() override {
        for (CTextEditDoc* doc : m_frame->TextDocuments())
            doc->SetModifiedFlag(false);
        TheApp().CloseAllDocuments(false);
        Pump();
        for (const std::string& path : m_files)
            DeleteFileA(path.c_str());
    }
    static void Pump() {
        for (int i = 0; i < 3; ++i) {
            TheApp().PumpPendingMessages();
            Sleep(10);
        }
        TheApp().PumpPendingMessages();
    }
    template <class Pred> static bool PumpUntil(Pred pred, DWORD ms) {
        const DWORD start = GetTickCount();
        while (!pred()) {
            if (GetTickCount() - start > ms)
                return false;
            Pump();
        }
        return true;
    }
    CTextEditView* NewDocument() {
        m_frame->SendMessage(WM_COMMAND, ID_FILE_NEW);
        Pump();
        return ActiveView();
    }
    CTextEditView* ActiveView() {
        CMDIChildWnd* child = m_frame->MDIGetActive();
        return child ? DynamicDowncast<CTextEditView>(child->GetActiveView()) : nullptr;
    }
    CDocument* ActiveDocument() {
        CTextEditView* view = ActiveView();
        return view ? view->GetDocument() : nullptr;
    }
    std::string TempFile(const char* name, const char* text) {
        char dir[MAX_PATH];
        GetTempPathA(sizeof dir, dir);
        std::string path = std::string(dir) + name;
        std::ofstream(path, std::ios::binary) << text;
        m_files.push_back(path);
        return path;
    }
    // The active cell's document (null when no cell is active).
    void* ActiveCellKey() {
        const CBarSwitch::Item* item =
            m_frame->SwitchBar().GetItem(m_frame->SwitchBar().GetActiveIndex());
        return item ? item->key : nullptr;
    }
    void ClickAt(HWND wnd, POINT client) {
        ::ClientToScreen(wnd, &client);
        ::SetCursorPos(client.x, client.y);
        Pump();
        SendButton(true);
        Pump();
        SendButton(false);
        Pump();
    }

    CAppMainFrame* m_frame = nullptr;
    std::vector<std::string> m_files;
};

POINT Centre(const RECT& rc) {
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

} // namespace

// --- Document switch bar ---------------------------------------------------------------------

TEST_F(BarsTest, TheSwitchBarIsDockedAboveTheStatusBar) {
    CBarSwitch& bar = m_frame->SwitchBar();
    ASSERT_NE(bar.m_hWnd, nullptr);
    if (::GetDlgCtrlID(::GetParent(bar.m_hWnd)) != AFX_IDW_DOCKBAR_BOTTOM) {
        m_frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_BOTTOM);
        m_frame->RecalcLayout();
        Pump();
    }
    EXPECT_EQ(bar.GetDlgCtrlID(), 0xE8FB);
    EXPECT_EQ(bar.GetWindowText(), "文档选择栏");
    EXPECT_TRUE(bar.IsWindowVisible());
    RECT switchRc, statusRc;
    bar.GetWindowRect(&switchRc);
    m_frame->StatusBar().GetWindowRect(&statusRc);
    EXPECT_EQ(switchRc.bottom, statusRc.top);
    EXPECT_EQ(bar.GetItemCount(), 0);
    EXPECT_EQ(bar.GetActiveIndex(), -1);
    // It answers every hit test with its client area.
    POINT inside = Centre(switchRc);
    EXPECT_EQ(bar.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(inside.x, inside.y)), HTCLIENT);
}

TEST_F(BarsTest, EachOpenDocumentHasExactlyOneCellLabelledWithItsFileName) {
    CBarSwitch& bar = m_frame->SwitchBar();
    CTextEditView* first = NewDocument();
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(bar.GetItemCount(), 1);
    EXPECT_EQ(bar.GetItem(0)->key, first->GetDocument());
    EXPECT_STREQ(bar.GetItem(0)->text, first->GetDocument()->GetTitle().c_str());
    EXPECT_EQ(bar.GetItem(0)->image, 0);

    const std::string path = TempFile("切换栏测试.txt", "abc\r\n");
    CDocument* opened = CTextEditDoc::OpenFileWithEncoding(path.c_str(), 0);
    Pump();
    ASSERT_NE(opened, nullptr);
    ASSERT_EQ(bar.GetItemCount(), 2);
    EXPECT_STREQ(bar.GetItem(1)->text, "切换栏测试.txt");
    EXPECT_EQ(bar.GetActiveIndex(), 1);

    // Opening it again only activates it.
    m_frame->MDIActivate(first->GetParentFrame()->m_hWnd);
    Pump();
    EXPECT_EQ(bar.GetActiveIndex(), 0);
    EXPECT_EQ(CTextEditDoc::OpenFileWithEncoding(path.c_str(), 0), opened);
    Pump();
    EXPECT_EQ(bar.GetItemCount(), 2);
    EXPECT_EQ(bar.GetActiveIndex(), 1);

    // Modified: the modified image; saved under a new name: the new file name.
    CTextEditDoc* doc = DynamicDowncast<CTextEditDoc>(opened);
    doc->SetModifiedFlag(true);
    EXPECT_EQ(bar.GetItem(1)->image, 1);
    doc->SetModifiedFlag(false);
    EXPECT_EQ(bar.GetItem(1)->image, 0);
    doc->SetPathName("C:\\文件夹\\新名字表.txt", false);
    EXPECT_STREQ(bar.GetItem(1)->text, "新名字表.txt");

    // Closing removes its cell.
    doc->OnCloseDocument();
    Pump();
    ASSERT_EQ(bar.GetItemCount(), 1);
    EXPECT_EQ(bar.GetItem(0)->key, first->GetDocument());
    EXPECT_EQ(ActiveCellKey(), ActiveDocument());
}

TEST_F(BarsTest, AFileNameWhoseTrailByteLooksLikeASeparatorIsKeptWhole) {
    // 0x5C is the trail byte of this character: it must not cut the name.
    CTextEditView* view = NewDocument();
    ASSERT_NE(view, nullptr);
    view->GetDocument()->SetPathName("C:\\dir\\\xB1\x5C"
                                     "a.txt",
                                     false);
    const CBarSwitch::Item* item = m_frame->SwitchBar().GetItem(0);
    ASSERT_NE(item, nullptr);
    EXPECT_STREQ(item->text, "\xB1\x5C"
                             "a.txt");
}

TEST_F(BarsTest, ThirtyDocumentsInANarrowFramePageTheSwitchBar) {
    ::SetWindowPos(m_frame->m_hWnd, nullptr, 0, 0, 520, 480, SWP_NOZORDER | SWP_NOMOVE);
    Pump();
    CBarSwitch& bar = m_frame->SwitchBar();
    std::vector<CDocument*> docs;
    for (int i = 0; i < 30; ++i) {
        CTextEditView* view = NewDocument();
        ASSERT_NE(view, nullptr);
        docs.push_back(view->GetDocument());
    }
    ASSERT_EQ(bar.GetItemCount(), 30);
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ(bar.FindItem(docs[static_cast<size_t>(i)]), i);
    EXPECT_EQ(bar.GetActiveIndex(), 29);
    ASSERT_TRUE(bar.IsPaging());
    RECT client;
    bar.GetClientRect(&client);
    const int arrows = std::max(23, static_cast<int>(SharedUi().m_fontMetrics.tmHeight) +
                                        2 * GetSystemMetrics(SM_CYBORDER));
    EXPECT_EQ(bar.GetCellWidth(), bar.GetMinCellWidth());
    EXPECT_EQ(bar.GetCellsPerPage(),
              std::max(1, static_cast<int>((client.right - arrows) / bar.GetMinCellWidth())));
    const int perPage = bar.GetCellsPerPage();
    ASSERT_LT(perPage, 30);
    // The active document's page is shown.
    EXPECT_EQ(bar.GetFirstVisible(), perPage * (29 / perPage));
    EXPECT_GT(bar.GetUpArrowRect().bottom, bar.GetUpArrowRect().top);
    EXPECT_EQ(bar.GetUpArrowRect().right, client.right);
    EXPECT_EQ(bar.GetDownArrowRect().top, bar.GetUpArrowRect().bottom);

    // Activating a document through its window scrolls the bar to its page.
    m_frame->MDIActivate(docs[3]->GetFirstView()->GetParentFrame()->m_hWnd);
    Pump();
    EXPECT_EQ(bar.GetActiveIndex(), 3);
    EXPECT_EQ(bar.GetFirstVisible(), perPage * (3 / perPage));
    EXPECT_LE(bar.GetFirstVisible(), 3);
    EXPECT_GE(bar.GetLastVisible(), 3);

    // The down arrow pages forward, the up arrow back, with the real mouse.
    const int first = bar.GetFirstVisible();
    ClickAt(bar.m_hWnd, Centre(bar.GetDownArrowRect()));
    EXPECT_EQ(bar.GetFirstVisible(), first + perPage);
    EXPECT_EQ(bar.GetActiveIndex(), 3); // paging does not activate
    ClickAt(bar.m_hWnd, Centre(bar.GetUpArrowRect()));
    EXPECT_EQ(bar.GetFirstVisible(), first);
    ClickAt(bar.m_hWnd, Centre(bar.GetUpArrowRect()));
    EXPECT_EQ(bar.GetFirstVisible(), 0);

    // A click on a cell activates its document.
    const int target =
        bar.GetFirstVisible() + 1 == 3 ? bar.GetFirstVisible() : bar.GetFirstVisible() + 1;
    ClickAt(bar.m_hWnd, Centre(bar.GetCellRect(target)));
    ASSERT_TRUE(
        PumpUntil([&] { return ActiveDocument() == docs[static_cast<size_t>(target)]; }, 2000));
    EXPECT_EQ(bar.GetActiveIndex(), target);

    // Closing the active document: its cell goes, and no cell stays active for it; the cell
    // that is active belongs to the document the frame activated instead.
    CDocument* closing = ActiveDocument();
    closing->OnCloseDocument();
    Pump();
    EXPECT_EQ(bar.GetItemCount(), 29);
    EXPECT_EQ(bar.FindItem(closing), -1);
    EXPECT_EQ(ActiveCellKey(), static_cast<void*>(ActiveDocument()));
}

TEST_F(BarsTest, ClosingTheLastDocumentLeavesNoActiveCell) {
    CTextEditView* view = NewDocument();
    ASSERT_NE(view, nullptr);
    CBarSwitch& bar = m_frame->SwitchBar();
    ASSERT_EQ(bar.GetActiveIndex(), 0);
    view->GetDocument()->OnCloseDocument();
    Pump();
    EXPECT_EQ(bar.GetItemCount(), 0);
    EXPECT_EQ(bar.GetActiveIndex(), -1);
}

TEST_F(BarsTest, RemovingTheActiveCellLeavesNoneActiveUntilTheFrameSelectsOne) {
    CBarSwitch& bar = m_frame->SwitchBar();
    NewDocument();
    NewDocument();
    CDocument* third = NewDocument()->GetDocument();
    ASSERT_EQ(bar.GetActiveIndex(), 2);
    // The frame's notice for a document going away, before any other is activated.
    m_frame->RemoveDocumentTab(third);
    EXPECT_EQ(bar.GetItemCount(), 2);
    EXPECT_EQ(bar.GetActiveIndex(), -1);
    m_frame->SelectDocumentTab(static_cast<CDocument*>(bar.GetItem(0)->key));
    EXPECT_EQ(bar.GetActiveIndex(), 0);
    EXPECT_NE(bar.GetActiveIndex(), -1);
    m_frame->AddDocumentTab(third); // back, for the tear-down
    EXPECT_EQ(bar.GetItemCount(), 3);
    // Adding a listed document only selects it.
    m_frame->AddDocumentTab(third);
    EXPECT_EQ(bar.GetItemCount(), 3);
}

// --- Standard toolbar ------------------------------------------------------------------------

TEST_F(BarsTest, TheToolbarHasTheStoredLayoutAlongTheTop) {
    CBarTool& bar = m_frame->ToolBar();
    ASSERT_NE(bar.m_hWnd, nullptr);
    // Where an earlier run of the program left it does not matter here.
    if (::GetDlgCtrlID(::GetParent(bar.m_hWnd)) != AFX_IDW_DOCKBAR_TOP) {
        m_frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
        m_frame->RecalcLayout();
        Pump();
    }
    EXPECT_EQ(bar.GetDlgCtrlID(), 0xE8FE);
    EXPECT_EQ(bar.GetBarStyle() & 0x34u, 0x34u);
    SettingsStore* settings = AppSettings();
    ASSERT_NE(settings, nullptr);
    const ToolbarButtonSet& set = settings->Toolbar();
    ASSERT_TRUE(set.loaded);
    ASSERT_EQ(bar.GetButtonCount(), set.layoutCount);
    for (int i = 0; i < set.layoutCount; ++i) {
        TBBUTTON button = {};
        ASSERT_TRUE(bar.GetButton(i, &button));
        const ToolbarButton* entry = settings->ButtonByImage(set.layout[i]);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(static_cast<UINT>(button.idCommand), entry->command) << i;
        if (entry->image == 255) {
            EXPECT_TRUE(button.fsStyle & BTNS_SEP);
        }
    }
    RECT rc, client;
    bar.GetWindowRect(&rc);
    m_frame->ScreenToClient(&rc);
    m_frame->GetClientRect(&client);
    // In the top dock bar's first row (bars of a row overlap their neighbours by 2 pixels).
    EXPECT_LE(rc.top, 0);
    EXPECT_GE(rc.top, -2);
    EXPECT_LE(rc.left, 0);
    EXPECT_GE(rc.left, -2);
    RECT button;
    ASSERT_TRUE(bar.GetItemRect(bar.CommandToIndex(ID_FILE_NEW), &button));
    // Buttons as large as the images of the toolbar's list, with a margin of 7 pixels at 96
    // DPI: 23 x 23 for 16-pixel images there.
    int imageCx = 0, imageCy = 0;
    ASSERT_TRUE(ImageList_GetIconSize(bar.GetImageList(), &imageCx, &imageCy));
    const int margin = FxScale(7, FxDpiOf(m_frame->m_hWnd));
    EXPECT_EQ(button.right - button.left, imageCx + margin);
    EXPECT_EQ(button.bottom - button.top, imageCy + margin);
    EXPECT_GE(rc.bottom - rc.top, imageCy + margin);
}

TEST_F(BarsTest, UndoFollowsTheDocumentAndWordWrapIsACheckButton) {
    CBarTool& bar = m_frame->ToolBar();
    CTextEditView* view = NewDocument();
    ASSERT_NE(view, nullptr);
    m_frame->OnIdleUpdateCmdUI();
    const int undo = bar.CommandToIndex(ID_EDIT_UNDO);
    ASSERT_GE(undo, 0);
    EXPECT_FALSE(bar.GetButtonState(undo) & TBSTATE_ENABLED);

    view->SetFocus();
    view->SendMessage(WM_CHAR, 'x', 1);
    Pump();
    m_frame->OnIdleUpdateCmdUI();
    EXPECT_TRUE(bar.GetButtonState(undo) & TBSTATE_ENABLED);

    const int wrap = bar.CommandToIndex(ID_DOC_WORD_WRAP);
    ASSERT_GE(wrap, 0);
    const bool wrapped = view->GetEditDoc()->IsWrapped();
    EXPECT_TRUE(bar.GetButtonStyle(wrap) & BTNS_CHECK);
    EXPECT_EQ((bar.GetButtonState(wrap) & TBSTATE_CHECKED) != 0, wrapped);
    // Clicking the button itself routes the command through the frame to the view.
    RECT rc;
    ASSERT_TRUE(bar.GetItemRect(wrap, &rc));
    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM((rc.left + rc.right) / 2, 10));
    bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM((rc.left + rc.right) / 2, 10));
    Pump();
    m_frame->OnIdleUpdateCmdUI();
    EXPECT_EQ(view->GetEditDoc()->IsWrapped(), !wrapped);
    EXPECT_EQ((bar.GetButtonState(wrap) & TBSTATE_CHECKED) != 0, !wrapped);

    // Closing every document disables what needs one.
    TheApp().CloseAllDocuments(false);
    Pump();
    m_frame->OnIdleUpdateCmdUI();
    EXPECT_FALSE(bar.GetButtonState(undo) & TBSTATE_ENABLED);
    EXPECT_FALSE(bar.GetButtonState(wrap) & (TBSTATE_ENABLED | TBSTATE_CHECKED));
    EXPECT_TRUE(bar.GetButtonState(bar.CommandToIndex(ID_FILE_NEW)) & TBSTATE_ENABLED);
}

TEST_F(BarsTest, ToolTipsComeFromTheFrame) {
    CBarTool& bar = m_frame->ToolBar();
    NMTTDISPINFOA info = {};
    info.hdr.hwndFrom = bar.m_hWnd;
    info.hdr.idFrom = ID_FILE_NEW;
    info.hdr.code = TTN_NEEDTEXTA;
    bar.SendMessage(WM_NOTIFY, ID_FILE_NEW, reinterpret_cast<LPARAM>(&info));
    std::string full = AfxLoadString(ID_FILE_NEW);
    ASSERT_NE(full.find('\n'), std::string::npos);
    EXPECT_EQ(std::string(info.szText), full.substr(full.find('\n') + 1));

    // Undo: the undo name of the active view.
    NewDocument();
    NMTTDISPINFOW wide = {};
    wide.hdr.hwndFrom = bar.m_hWnd;
    wide.hdr.idFrom = ID_EDIT_UNDO;
    wide.hdr.code = TTN_NEEDTEXTW;
    bar.SendMessage(WM_NOTIFY, ID_EDIT_UNDO, reinterpret_cast<LPARAM>(&wide));
    char text[100] = "";
    WideCharToMultiByte(CP_ACP, 0, wide.szText, -1, text, sizeof text, nullptr, nullptr);
    EXPECT_EQ(std::string(text), m_frame->UndoName(false));
}

TEST_F(BarsTest, RestingOnAButtonShowsItsPromptInTheStatusBar) {
    CBarTool& bar = m_frame->ToolBar();
    CBarStatus& status = m_frame->StatusBar();
    RECT rc;
    const int open = bar.CommandToIndex(ID_FILE_OPEN);
    ASSERT_TRUE(bar.GetItemRect(open, &rc));
    bar.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(rc.left + 5, rc.top + 5));
    EXPECT_EQ(bar.GetFlyByCommand(), static_cast<UINT>(ID_FILE_OPEN));
    std::string prompt;
    m_frame->GetMessageString(ID_FILE_OPEN, prompt);
    EXPECT_FALSE(prompt.empty());
    EXPECT_EQ(std::string(status.GetPaneText(0)), prompt);
    bar.SendMessage(WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(bar.GetFlyByCommand(), 0u);
    EXPECT_EQ(std::string(status.GetPaneText(0)), AfxLoadString(AFX_IDS_IDLEMESSAGE));
}

// --- The workspace bar's tab strip -------------------------------------------------------------

TEST_F(BarsTest, TheWorkspaceTabsSwitchItsPages) {
    CWorkspaceBar& ws = m_frame->WorkspaceBar();
    ASSERT_NE(ws.m_hWnd, nullptr);
    CTabStrip& tabs = ws.GetTabStrip();
    ASSERT_NE(tabs.m_hWnd, nullptr);
    EXPECT_EQ(tabs.GetDlgCtrlID(), 0xE900);
    ASSERT_EQ(tabs.GetTabCount(), 2);
    EXPECT_STREQ(tabs.GetTabInfo(0)->text, "资源管理");
    EXPECT_STREQ(tabs.GetTabInfo(1)->text, "剪贴文本");
    // 80 pixels at 96 DPI.
    EXPECT_EQ(tabs.GetTabWidth(), FxScale(80, FxDpiOf(m_frame->m_hWnd)));
    // Along the bottom of the bar, full width.
    RECT bar, strip;
    ws.GetClientRect(&bar);
    ::GetWindowRect(tabs.m_hWnd, &strip);
    ws.ScreenToClient(&strip);
    EXPECT_EQ(strip.bottom, bar.bottom);
    EXPECT_EQ(strip.right - strip.left, bar.right - bar.left);
    EXPECT_EQ(strip.bottom - strip.top, tabs.GetStripSize().cy);

    ws.SelectPage(CWorkspaceBar::kFileTreePage);
    EXPECT_EQ(tabs.GetCurSel(), 0);
    EXPECT_TRUE(ws.IsPageVisible(CWorkspaceBar::kFileTreePage));
    // A click on the second tab makes and shows its page and hides the first.
    const int second = tabs.GetTabWidth() + 10;
    tabs.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(second, 5));
    tabs.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(second, 5));
    EXPECT_EQ(tabs.GetCurSel(), 1);
    EXPECT_TRUE(ws.IsPageVisible(CWorkspaceBar::kClipTextPage));
    EXPECT_FALSE(ws.IsPageVisible(CWorkspaceBar::kFileTreePage));
    HWND page = ws.GetPageWindow(CWorkspaceBar::kClipTextPage);
    ASSERT_NE(page, nullptr);
    RECT rc;
    ::GetWindowRect(page, &rc);
    ws.ScreenToClient(&rc);
    EXPECT_EQ(rc.bottom, strip.top);
    // The View command selects the page through the strip.
    m_frame->SendMessage(WM_COMMAND, ID_VIEW_FILETREE);
    Pump();
    EXPECT_EQ(tabs.GetCurSel(), 0);
    EXPECT_TRUE(ws.IsPageVisible(CWorkspaceBar::kFileTreePage));
}

// --- Docking on other sides ----------------------------------------------------------------------

TEST_F(BarsTest, AToolbarDockedAtTheLeftRunsInTheFewestColumnsThatFit) {
    CBarTool& bar = m_frame->ToolBar();
    m_frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);
    m_frame->RecalcLayout();
    Pump();
    RECT rc;
    bar.GetWindowRect(&rc);
    EXPECT_GT(rc.bottom - rc.top, rc.right - rc.left);
    // The side's length: what the bars above and below leave.
    ASSERT_NE(bar.m_pDockBar, nullptr);
    const RECT side = bar.m_pDockBar->m_rectLayout;
    const int length = side.bottom - side.top;
    const int columns = (rc.right - rc.left) / bar.GetButtonSize().cx;
    ASSERT_GE(columns, 1);
    // Within the side's length (and its two pixels of overlap); more than one column only
    // when one would not do.
    EXPECT_LE(rc.bottom - rc.top, length + 4);
    int buttons = 0;
    for (int i = 0; i < bar.GetButtonCount(); ++i)
        buttons += (bar.GetButtonStyle(i) & BTNS_SEP) ? 0 : 1;
    EXPECT_EQ(columns > 1, buttons * bar.GetButtonSize().cy > length);
    RECT first, second;
    ASSERT_TRUE(bar.GetItemRect(0, &first));
    ASSERT_TRUE(bar.GetItemRect(1, &second));
    if (columns == 1) {
        EXPECT_GE(second.top, first.bottom);
        EXPECT_EQ(second.left, first.left);
    }
    // Back along the top: one row again.
    m_frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    m_frame->RecalcLayout();
    Pump();
    ASSERT_TRUE(bar.GetItemRect(0, &first));
    ASSERT_TRUE(bar.GetItemRect(1, &second));
    EXPECT_EQ(second.top, first.top);
    EXPECT_GE(second.left, first.right);
    bar.GetWindowRect(&rc);
    EXPECT_GT(rc.right - rc.left, rc.bottom - rc.top);
}

TEST_F(BarsTest, BesideTheToolbarTheSwitchBarTakesTheButtonHeight) {
    CBarSwitch& bar = m_frame->SwitchBar();
    const int fontHeight = SharedUi().m_fontMetrics.tmHeight;
    // Sizes at 96 DPI and system metrics, at the bar's density.
    const UINT dpi = bar.GetDpi();
    const int alone = FxSystemMetric(SM_CYFRAME, dpi) / 2 + fontHeight + FxScale(4, dpi);
    bar.CalcFixedLayout(false, true);
    EXPECT_EQ(bar.GetCellHeight(), alone);
    m_frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    m_frame->RecalcLayout();
    Pump();
    ASSERT_EQ(::GetParent(bar.m_hWnd), ::GetParent(m_frame->ToolBar().m_hWnd));
    bar.CalcFixedLayout(false, true);
    EXPECT_EQ(bar.GetCellHeight(),
              std::max(fontHeight + 2 * FxSystemMetric(SM_CYBORDER, dpi), FxScale(23, dpi)));
    // The stretch query asks for the whole length; otherwise the frame's width.
    EXPECT_EQ(bar.CalcFixedLayout(true, true).cx, 32767);
    RECT frame;
    m_frame->GetWindowRect(&frame);
    EXPECT_EQ(bar.CalcFixedLayout(false, true).cx, frame.right - frame.left);
    m_frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_BOTTOM);
    m_frame->RecalcLayout();
    Pump();
    bar.CalcFixedLayout(false, true);
    EXPECT_EQ(bar.GetCellHeight(), alone);
}

namespace {

std::string g_proposedName;
std::string g_initialDir;
std::string g_saveFilter;

INT_PTR CancelSaveAs(CDlgFile& dialog) {
    g_proposedName = dialog.m_initialName;
    g_initialDir = dialog.m_ofn.lpstrInitialDir ? dialog.m_ofn.lpstrInitialDir : "";
    g_saveFilter = dialog.m_ofn.lpstrFilter ? dialog.m_ofn.lpstrFilter : "";
    return IDCANCEL;
}

} // namespace

TEST_F(BarsTest, TheClipTextPageInsertsIntoTheActiveDocumentAndStartsNewLibraries) {
    m_frame->ShowWorkspacePage(CWorkspaceBar::kClipTextPage);
    Pump();
    CWsbClipText& clip = m_frame->WorkspaceBar().ClipText();
    ASSERT_NE(clip.m_hWnd, nullptr);
    EXPECT_TRUE(::IsWindowVisible(clip.m_hWnd));
    // The shipped libraries of the program's CTF folder are offered.
    int cpp = -1;
    std::vector<std::string> titles;
    for (int i = 0; i < clip.LibraryCount(); ++i) {
        titles.push_back(clip.LibraryAt(i)->title);
        if (titles.back() == "C/C++")
            cpp = i;
    }
    for (const char* title : {"C/C++", "HTML", "SQL", "中文写作"})
        EXPECT_NE(std::find(titles.begin(), titles.end(), title), titles.end()) << title;
    ASSERT_GE(cpp, 0);
    clip.ChooseLibrary(cpp);

    // A snippet goes into the active document with the caret at its mark.
    m_frame->SendMessage(WM_COMMAND, ID_FILE_NEW);
    Pump();
    CTextEditView* view = m_frame->GetActiveTextView();
    ASSERT_NE(view, nullptr);
    int item = -1;
    for (int i = 0; i < clip.ItemCount(); ++i)
        if (clip.ItemName(i) == "if")
            item = i;
    ASSERT_GE(item, 0);
    clip.SelectItem(item);
    clip.SendMessage(WM_COMMAND, ID_CLIP_INSERT);
    Pump();
    EXPECT_EQ(DocumentText(view->GetTextDoc()), "if () {\n}");
    EXPECT_EQ(view->Caret().col, 4);
    EXPECT_EQ(view->Caret().line, 0);
    EXPECT_EQ(::GetFocus(), view->m_hWnd);

    // A new library: a new document holding the header and the title keyword, whose Save As
    // proposes a library file in the CTF folder.
    clip.SendMessage(WM_COMMAND, ID_CLIP_LIBRARY_NEW);
    Pump();
    CTextEditView* library = m_frame->GetActiveTextView();
    ASSERT_NE(library, nullptr);
    ASSERT_NE(library, view);
    std::string header = AfxLoadString(IDS_CLIP_FILE_HEADER);
    std::string expected;
    for (char c : header + "#TITLE=")
        if (c != '\r')
            expected += c;
    EXPECT_EQ(DocumentText(library->GetTextDoc()), expected);
    CDlgFile::PromptHook oldHook = CDlgFile::SetPromptHook(CancelSaveAs);
    EXPECT_FALSE(library->GetTextDoc()->DoSave(nullptr));
    CDlgFile::SetPromptHook(oldHook);
    EXPECT_EQ(g_initialDir, AppSettings()->ClipTextDir());
    EXPECT_EQ(FxPathExtension(g_proposedName), ".CTF");
    EXPECT_EQ(g_saveFilter.rfind(AfxLoadString(IDS_CLIP_FILE_FILTER).substr(0, 10), 0), 0u);
}
