// Print preview through its real window: pages turned by keys and toolbar commands, one and
// two pages, zoom, the main frame's other windows hidden and back, printing from the preview,
// and the document held while the preview shows it: the editing and closing keys and commands
// refused, documents not switched, the main window's close and a reload ending the preview
// first. Layer: tests of print/.
#include "tests/WinTestSupport.h"
#include "tests/app/TextViewFixture.h"
#include "tests/print/PrintTestUtil.h"

#include "app/TextEditDoc.h"
#include "settings/SettingsIds.h"

#include "common/UiResources.h"
#include "framework/DockBar.h"
#include "framework/Dpi.h"
#include "framework/FwPrintIds.h"
#include "framework/PrintInfo.h"
#include "framework/ToolBar.h"
#include "print/AppPreview.h"
#include "print/PrintIds.h"
#include "framework/FwIds.h"

using namespace printtest;
using viewtest::g_boxes;
using viewtest::TextViewTest;
using viewtest::TheApp;

namespace {

class PreviewTest : public TextViewTest {
protected:
    void SetUp() override {
        TextViewTest::SetUp();
        if (PdfDir().empty())
            GTEST_SKIP() << "no printer";
        Doc()->m_showLineNumbers = true;
        std::string text;
        for (int i = 1; i <= 200; ++i)
            text += "preview line " + std::to_string(i) + "\r\n";
        Type(text.c_str());
    }
    void TearDown() override {
        if (CPreviewView* p = CPreviewView::Active())
            p->Close();
        TheApp().PumpPendingMessages();
        TextViewTest::TearDown();
    }
    CAppPreview* Start() {
        Command(ID_FILE_PRINT_PREVIEW);
        TheApp().PumpPendingMessages();
        return dynamic_cast<CAppPreview*>(CPreviewView::Active());
    }
    void Key(CPreviewView* p, UINT vk) {
        SendMessageA(p->m_hWnd, WM_KEYDOWN, vk, 0);
        TheApp().PumpPendingMessages();
    }
    void Button(CAppPreview* p, UINT id) {
        SendMessageA(p->m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(p->Toolbar()));
        TheApp().PumpPendingMessages();
    }
    bool ButtonEnabled(CAppPreview* p, UINT id) {
        return SendMessageA(p->Toolbar(), TB_ISBUTTONENABLED, id, 0) != 0;
    }
    std::string ButtonText(CAppPreview* p, UINT id) {
        char buf[64] = "";
        TBBUTTONINFOA bi = {};
        bi.cbSize = sizeof bi;
        bi.dwMask = TBIF_TEXT | TBIF_IMAGE;
        bi.pszText = buf;
        bi.cchText = sizeof buf;
        SendMessageA(p->Toolbar(), TB_GETBUTTONINFOA, id, reinterpret_cast<LPARAM>(&bi));
        return std::to_string(bi.iImage) + ":" + buf;
    }
    // A press and release of the left button in the middle of the toolbar button `id`, as
    // the system delivers them to the toolbar control.
    void Click(CAppPreview* p, UINT id) {
        CToolBar& bar = p->ToolBar();
        RECT r = {0, 0, 0, 0};
        ASSERT_TRUE(bar.GetItemRect(bar.CommandToIndex(id), &r));
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        PostMessageA(bar.m_hWnd, WM_MOUSEMOVE, 0, at);
        PostMessageA(bar.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(bar.m_hWnd, WM_LBUTTONUP, 0, at);
        TheApp().PumpPendingMessages();
    }
    // Frame children shown now.
    std::vector<HWND> ShownChildren() {
        std::vector<HWND> shown;
        HWND frame = AppMainFrame()->m_hWnd;
        for (HWND c = GetTopWindow(frame); c; c = GetWindow(c, GW_HWNDNEXT))
            if (IsWindowVisible(c))
                shown.push_back(c);
        return shown;
    }
    // Dark pixels inside a page of the preview, as the window shows it.
    int InkIn(CPreviewView* p, int slot) {
        UpdateWindow(p->m_hWnd);
        RECT r = p->PageRect(slot);
        HDC dc = GetDC(p->m_hWnd);
        int ink = 0;
        for (int y = r.top + 2; y < r.bottom - 2; y += 2)
            for (int x = r.left + 2; x < r.right - 2; x += 2) {
                COLORREF c = GetPixel(dc, x, y);
                if (c != CLR_INVALID && GetRValue(c) + GetGValue(c) + GetBValue(c) < 384)
                    ++ink;
            }
        ReleaseDC(p->m_hWnd, dc);
        return ink;
    }
};

} // namespace

TEST_F(PreviewTest, TurnsPagesWithKeysAndButtons) {
    CAppPreview* p = Start();
    ASSERT_NE(p, nullptr);
    const UINT pages = p->PageCount();
    ASSERT_GE(pages, 3u);
    EXPECT_EQ(p->CurrentPage(), 1u);
    EXPECT_EQ(StatusText(), "第 1 页 ");
    EXPECT_FALSE(ButtonEnabled(p, AFX_ID_PREVIEW_PREV));
    EXPECT_TRUE(ButtonEnabled(p, AFX_ID_PREVIEW_NEXT));
    Key(p, VK_NEXT);
    EXPECT_EQ(p->CurrentPage(), 2u);
    EXPECT_EQ(StatusText(), "第 2 页 ");
    Button(p, AFX_ID_PREVIEW_NEXT);
    EXPECT_EQ(p->CurrentPage(), 3u);
    for (UINT i = 0; i < pages + 2; ++i)
        Key(p, VK_NEXT);
    EXPECT_EQ(p->CurrentPage(), pages);
    EXPECT_FALSE(ButtonEnabled(p, AFX_ID_PREVIEW_NEXT));
    Key(p, VK_PRIOR);
    EXPECT_EQ(p->CurrentPage(), pages - 1);
    Button(p, AFX_ID_PREVIEW_PREV);
    EXPECT_EQ(p->CurrentPage(), pages - 2);
    EXPECT_GT(InkIn(p, 0), 50) << "the page shows its text";
    Key(p, VK_ESCAPE);
    EXPECT_EQ(CPreviewView::Active(), nullptr);
}

TEST_F(PreviewTest, OneAndTwoPagesAndZoom) {
    CAppPreview* p = Start();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->NumPages(), 1);
    EXPECT_EQ(ButtonText(p, AFX_ID_PREVIEW_NUMPAGE), "3:两页");
    Button(p, AFX_ID_PREVIEW_NUMPAGE);
    EXPECT_EQ(p->NumPages(), 2);
    EXPECT_EQ(ButtonText(p, AFX_ID_PREVIEW_NUMPAGE), "2:一页");
    EXPECT_EQ(StatusText(), "第 1 页-第 2 页 ");
    const RECT a = p->PageRect(0), b = p->PageRect(1);
    EXPECT_LT(a.right, b.left) << "side by side";
    EXPECT_GT(InkIn(p, 1), 50) << "the second page shows its text";
    // Zooming shows one page, bigger.
    const int width = a.right - a.left;
    EXPECT_FALSE(ButtonEnabled(p, AFX_ID_PREVIEW_ZOOMOUT));
    Button(p, AFX_ID_PREVIEW_ZOOMIN);
    EXPECT_EQ(p->ZoomLevel(), 1);
    const RECT z = p->PageRect(0);
    EXPECT_GT(z.right - z.left, width);
    Button(p, AFX_ID_PREVIEW_ZOOMIN);
    Button(p, AFX_ID_PREVIEW_ZOOMIN);
    EXPECT_EQ(p->ZoomLevel(), CPreviewView::kMaxZoom);
    EXPECT_FALSE(ButtonEnabled(p, AFX_ID_PREVIEW_ZOOMIN));
    Button(p, AFX_ID_PREVIEW_ZOOMOUT);
    Button(p, AFX_ID_PREVIEW_ZOOMOUT);
    EXPECT_EQ(p->ZoomLevel(), 0);
    Button(p, AFX_ID_PREVIEW_NUMPAGE);
    EXPECT_EQ(p->NumPages(), 1);
    Button(p, AFX_ID_PREVIEW_CLOSE);
    EXPECT_EQ(CPreviewView::Active(), nullptr);
}

TEST_F(PreviewTest, HidesTheFramesOtherWindowsAndGivesThemBack) {
    const std::vector<HWND> before = ShownChildren();
    ASSERT_GT(before.size(), 2u);
    CAppPreview* p = Start();
    ASSERT_NE(p, nullptr);
    const std::vector<HWND> during = ShownChildren();
    HWND status = GetDlgItem(AppMainFrame()->m_hWnd, AFX_IDW_STATUS_BAR);
    for (HWND c : during)
        EXPECT_TRUE(c == p->m_hWnd || c == status) << "still shown: " << GetDlgCtrlID(c);
    // The preview takes the frame's client area above the status bar.
    RECT client, preview;
    GetClientRect(AppMainFrame()->m_hWnd, &client);
    GetWindowRect(p->m_hWnd, &preview);
    EXPECT_GE(preview.right - preview.left, client.right - 4);
    Key(p, VK_ESCAPE);
    EXPECT_EQ(ShownChildren(), before);
    EXPECT_EQ(GetFocus(), m_view->m_hWnd);
}

TEST_F(PreviewTest, AutomaticPasteClosesThePreviewFirst) {
    CAppPreview* p = Start();
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(m_view->IsPrinting());
    // Typing while the preview shows: the keys go to the preview, not into the text.
    SendMessageA(p->m_hWnd, WM_CHAR, 'x', 0);
    const std::string before = Text();
    EXPECT_TRUE(m_view->AppendAutoPaste("pasted text"));
    EXPECT_EQ(CPreviewView::Active(), nullptr);
    EXPECT_FALSE(m_view->IsPrinting());
    EXPECT_NE(Text().find("pasted text"), std::string::npos);
    EXPECT_EQ(Text().substr(0, before.size()), before);
}

namespace {
// Presses "打印" of the quick print dialog as soon as it shows.
void CALLBACK PressQuickPrint(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dlg = FindWindowA(nullptr, "快速打印设置");
    if (dlg && IsWindowVisible(dlg)) {
        KillTimer(nullptr, id);
        PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK)));
    }
}
} // namespace

TEST_F(PreviewTest, PrintsFromThePreview) {
    AppSettings()->Print().header = "empty";
    AppSettings()->Print().footer = "empty";
    CAppPreview* p = Start();
    ASSERT_NE(p, nullptr);
    const UINT pages = p->PageCount();
    ClearPdfs();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, PressQuickPrint);
    Button(p, AFX_ID_PREVIEW_PRINT);
    KillTimer(nullptr, timer);
    EXPECT_EQ(CPreviewView::Active(), nullptr);
    const std::string text = PrintedText();
    EXPECT_EQ(PrintedPages(), static_cast<int>(pages));
    EXPECT_NE(text.find("preview line 1"), std::string::npos);
}

TEST_F(PreviewTest, ToolbarIsAFrameworkToolbarWithImagesAndLabels) {
    CAppPreview* p = Start();
    ASSERT_NE(p, nullptr);
    CToolBar& bar = p->ToolBar();
    ASSERT_NE(bar.m_hWnd, nullptr);
    EXPECT_EQ(GetParent(bar.m_hWnd), p->m_hWnd);
    // Left to right: image and label of each button, the separator before "关闭".
    const struct {
        UINT id;
        const char* shown;
    } expected[] = {
        {AFX_ID_PREVIEW_PRINT, "0:打印"},
        {AFX_ID_PREVIEW_NEXT, "4:下一页"},
        {AFX_ID_PREVIEW_PREV, "5:上一页"},
        {AFX_ID_PREVIEW_NUMPAGE, "3:两页"},
        {AFX_ID_PREVIEW_ZOOMIN, "6:放大"},
        {AFX_ID_PREVIEW_ZOOMOUT, "7:缩小"},
        {0, ""},
        {AFX_ID_PREVIEW_CLOSE, "1:关闭"},
    };
    ASSERT_EQ(bar.GetButtonCount(), 8);
    for (int i = 0; i < 8; ++i) {
        TBBUTTON b = {};
        ASSERT_TRUE(bar.GetButton(i, &b));
        EXPECT_EQ(static_cast<UINT>(b.idCommand), expected[i].id) << "button " << i;
        if (expected[i].id == 0)
            EXPECT_TRUE(b.fsStyle & BTNS_SEP) << "button " << i;
        else
            EXPECT_EQ(ButtonText(p, expected[i].id), expected[i].shown);
    }
    // 16 x 16 images on buttons at least 23 pixels high at 96 DPI (scaled at others), the bar
    // across the whole preview.
    const UINT dpi = FxDpiOf(p->m_hWnd);
    const int image = CUiResources::ImageSizeFor(dpi);
    int cx = 0, cy = 0;
    ASSERT_TRUE(ImageList_GetIconSize(bar.GetImageList(), &cx, &cy));
    EXPECT_EQ(cx, image);
    EXPECT_EQ(cy, image);
    RECT item, barRect, client;
    ASSERT_TRUE(bar.GetItemRect(0, &item));
    EXPECT_GE(item.bottom - item.top, image + FxScale(7, dpi));
    GetWindowRect(bar.m_hWnd, &barRect);
    GetClientRect(p->m_hWnd, &client);
    EXPECT_EQ(barRect.right - barRect.left, client.right);
    // The page starts below the bar.
    EXPECT_GE(p->PageRect(0).top, barRect.bottom - barRect.top);
}

TEST_F(PreviewTest, ToolbarClicksReachThePreviewThroughTheFrame) {
    const std::string text = Text();
    CAppPreview* p = Start();
    ASSERT_NE(p, nullptr);
    ASSERT_GE(p->PageCount(), 3u);
    Click(p, AFX_ID_PREVIEW_NEXT);
    EXPECT_EQ(p->CurrentPage(), 2u);
    EXPECT_EQ(StatusText(), "第 2 页 ");
    Click(p, AFX_ID_PREVIEW_PREV);
    EXPECT_EQ(p->CurrentPage(), 1u);
    // The one/two pages toggle offers the other mode after each click.
    Click(p, AFX_ID_PREVIEW_NUMPAGE);
    EXPECT_EQ(p->NumPages(), 2);
    EXPECT_EQ(ButtonText(p, AFX_ID_PREVIEW_NUMPAGE), "2:一页");
    Click(p, AFX_ID_PREVIEW_NUMPAGE);
    EXPECT_EQ(p->NumPages(), 1);
    EXPECT_EQ(ButtonText(p, AFX_ID_PREVIEW_NUMPAGE), "3:两页");
    Click(p, AFX_ID_PREVIEW_ZOOMIN);
    EXPECT_EQ(p->ZoomLevel(), 1);
    Click(p, AFX_ID_PREVIEW_ZOOMOUT);
    EXPECT_EQ(p->ZoomLevel(), 0);
    // The text view under the preview got none of the commands.
    EXPECT_EQ(Text(), text);
    Click(p, AFX_ID_PREVIEW_CLOSE);
    EXPECT_EQ(CPreviewView::Active(), nullptr);
    EXPECT_EQ(GetFocus(), m_view->m_hWnd);
}

TEST_F(PreviewTest, ToolbarStatesFollowThePreviewAtIdle) {
    CAppPreview* p = Start();
    ASSERT_NE(p, nullptr);
    const UINT pages = p->PageCount();
    // Turned without any command of the bar: the idle pass updates the buttons.
    p->SetCurrentPage(pages);
    TheApp().PumpPendingMessages();
    EXPECT_FALSE(ButtonEnabled(p, AFX_ID_PREVIEW_NEXT));
    EXPECT_TRUE(ButtonEnabled(p, AFX_ID_PREVIEW_PREV));
    // A disabled button does nothing when clicked.
    Click(p, AFX_ID_PREVIEW_NEXT);
    EXPECT_EQ(p->CurrentPage(), pages);
    // Two pages shown from the one before the last: the last is in view, next is disabled.
    p->SetCurrentPage(pages - 1);
    Click(p, AFX_ID_PREVIEW_NUMPAGE);
    EXPECT_FALSE(ButtonEnabled(p, AFX_ID_PREVIEW_NEXT));
    p->SetCurrentPage(1);
    TheApp().PumpPendingMessages();
    EXPECT_TRUE(ButtonEnabled(p, AFX_ID_PREVIEW_NEXT));
    EXPECT_FALSE(ButtonEnabled(p, AFX_ID_PREVIEW_PREV));
    // Print and close stay enabled; zoom in at its limit is disabled.
    EXPECT_TRUE(ButtonEnabled(p, AFX_ID_PREVIEW_PRINT));
    EXPECT_TRUE(ButtonEnabled(p, AFX_ID_PREVIEW_CLOSE));
    for (int i = 0; i < CPreviewView::kMaxZoom; ++i)
        Click(p, AFX_ID_PREVIEW_ZOOMIN);
    EXPECT_FALSE(ButtonEnabled(p, AFX_ID_PREVIEW_ZOOMIN));
    EXPECT_TRUE(ButtonEnabled(p, AFX_ID_PREVIEW_ZOOMOUT));
    // The keys still work with the bar there.
    Key(p, VK_ESCAPE);
    EXPECT_EQ(CPreviewView::Active(), nullptr);
}

TEST_F(PreviewTest, ToolbarTakesTheImagesAndButtonsOfANewDensity) {
    CAppPreview* p = Start();
    ASSERT_NE(p, nullptr);
    CToolBar& bar = p->ToolBar();
    const UINT start = FxDpiOf(p->m_hWnd);
    struct Seen {
        int image, button, height, pageTop;
    };
    auto change = [&](UINT dpi) {
        SendMessageA(p->m_hWnd, WM_FXDPICHANGED, dpi, start);
        // The frame lays its windows out again after telling them.
        RECT r;
        GetClientRect(p->m_hWnd, &r);
        SendMessageA(p->m_hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(r.right, r.bottom));
        TheApp().PumpPendingMessages();
        Seen seen = {};
        int cy = 0;
        ImageList_GetIconSize(bar.GetImageList(), &seen.image, &cy);
        RECT item = {};
        bar.GetItemRect(0, &item);
        seen.button = item.bottom - item.top;
        RECT barRect;
        GetWindowRect(bar.m_hWnd, &barRect);
        seen.height = barRect.bottom - barRect.top;
        seen.pageTop = p->PageRect(0).top;
        return seen;
    };
    const Seen at96 = change(96), at144 = change(144), at192 = change(192);
    change(start);
    EXPECT_EQ(at96.image, 16);
    EXPECT_EQ(at144.image, 24);
    EXPECT_EQ(at192.image, 32);
    EXPECT_GE(at96.button, 23);
    EXPECT_GE(at144.button, 24 + FxScale(7, 144));
    EXPECT_GE(at192.button, 32 + FxScale(7, 192));
    EXPECT_GT(at144.height, at96.height);
    EXPECT_GT(at192.height, at144.height);
    // The pages move down below the taller bar.
    EXPECT_GE(at192.pageTop, at192.height);
}

TEST_F(PreviewTest, ToolbarSpansThePreviewWhenTheFrameIsResized) {
    CAppPreview* p = Start();
    ASSERT_NE(p, nullptr);
    HWND frame = AppMainFrame()->m_hWnd;
    WINDOWPLACEMENT before = {};
    before.length = sizeof before;
    GetWindowPlacement(frame, &before);
    ShowWindow(frame, SW_RESTORE);
    SetWindowPos(frame, nullptr, 0, 0, 700, 500, SWP_NOZORDER | SWP_NOMOVE);
    TheApp().PumpPendingMessages();
    RECT bar, client;
    GetWindowRect(p->Toolbar(), &bar);
    GetClientRect(p->m_hWnd, &client);
    EXPECT_LT(client.right, 700);
    EXPECT_EQ(bar.right - bar.left, client.right);
    const LONG small = client.right;
    SetWindowPlacement(frame, &before);
    TheApp().PumpPendingMessages();
    GetWindowRect(p->Toolbar(), &bar);
    GetClientRect(p->m_hWnd, &client);
    EXPECT_NE(client.right, small);
    EXPECT_EQ(bar.right - bar.left, client.right);
    // The page lies below the bar after the change.
    EXPECT_GE(p->PageRect(0).top, bar.bottom - bar.top);
}

TEST_F(PreviewTest, ADocumentOfMoreThan65535PagesShowsUpToPage65535) {
    // Margins that leave room for one line a page: a page for each of 70,000 lines and more.
    const PrintSettings saved = AppSettings()->Print();
    PrintSettings& ps = AppSettings()->Print();
    ps.header = ps.footer = "empty";
    ps.marginUnit = 0;
    ps.marginTop = 5.7;
    ps.marginBottom = 5.8;
    std::string lines;
    lines.reserve(70000 * 3);
    for (int i = 0; i < 70000; ++i)
        lines += "x\r\n";
    Type(lines.c_str());
    CAppPreview* p = Start();
    AppSettings()->Print() = saved;
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->PageCount(), 65535u);
    p->SetCurrentPage(65535);
    EXPECT_EQ(p->CurrentPage(), 65535u);
    EXPECT_EQ(StatusText(), "第 65535 页 ");
    Key(p, VK_ESCAPE);
    EXPECT_EQ(CPreviewView::Active(), nullptr);
}

// --- The document the preview holds ---------------------------------------------------------

namespace {

void SetControl(bool down) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

// One press and release of the key to the focused window, taken through the main frame's
// message loop (its accelerators) as the system delivers it; Ctrl held when asked.
void Press(UINT vk, bool ctrl = false) {
    SetControl(ctrl);
    HWND focus = GetFocus();
    PostMessageA(focus, WM_KEYDOWN, vk, 1);
    PostMessageA(focus, WM_KEYUP, vk, 0xC0000001);
    TheApp().PumpPendingMessages();
    SetControl(false);
}

// A command as a menu item gives it: WM_COMMAND without a control, through the loop.
void MenuCommand(UINT id) {
    PostMessageA(AppMainFrame()->m_hWnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    TheApp().PumpPendingMessages();
}

bool FrameCommandEnabled(UINT id) {
    CTestCmdUI ui;
    ui.m_nID = id;
    ui.DoUpdate(AppMainFrame(), true);
    return ui.m_bEnabled;
}

// The message boxes shown, each with whether a preview was up then.
std::vector<std::pair<std::string, bool>> g_shown;
int g_reply = IDCANCEL;
int RecordBox(const char* text, const char*, UINT) {
    g_shown.emplace_back(text, CPreviewView::Active() != nullptr);
    return g_reply;
}

} // namespace

TEST_F(PreviewTest, EditingKeysLeaveThePreviewedTextAlone) {
    Select(FxTextPos{0, 0}, FxTextPos{7, 0});
    const std::string text = Text();
    ASSERT_TRUE(PutClipboardText("pasted"));
    CAppPreview* p = Start();
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(GetFocus(), p->m_hWnd);
    Press(VK_DELETE);
    EXPECT_EQ(Text(), text) << "Delete";
    Press('V', true);
    EXPECT_EQ(Text(), text) << "Ctrl+V";
    Press('X', true);
    EXPECT_EQ(Text(), text) << "Ctrl+X";
    Press('Z', true);
    EXPECT_EQ(Text(), text) << "Ctrl+Z";
    Press('A', true);
    Press(VK_DELETE);
    EXPECT_EQ(Text(), text) << "Ctrl+A, Delete";
    Press(VK_BACK);
    EXPECT_EQ(Text(), text) << "Backspace";
    ASSERT_EQ(CPreviewView::Active(), p);
    // The pages still read the text they were laid out over (a freed block read here is a
    // heap error under the heap check).
    Key(p, VK_NEXT);
    EXPECT_EQ(p->CurrentPage(), 2u);
    UpdateWindow(p->m_hWnd);
}

TEST_F(PreviewTest, EditMenuCommandsAreDisabledWhileThePreviewShows) {
    Select(FxTextPos{0, 0}, FxTextPos{7, 0});
    const std::string text = Text();
    ASSERT_TRUE(PutClipboardText("pasted"));
    EXPECT_TRUE(FrameCommandEnabled(ID_EDIT_PASTE));
    CAppPreview* p = Start();
    ASSERT_NE(p, nullptr);
    for (UINT id :
         {ID_EDIT_CLEAR, ID_EDIT_PASTE, ID_EDIT_CUT, ID_EDIT_UNDO, ID_EDIT_SELECT_ALL,
          ID_FILE_CLOSE, ID_FILE_SAVE_ALL, ID_WINDOW_CLOSE_ALL, ID_FILE_RELOAD, ID_TOOLS_SETTINGS})
        EXPECT_FALSE(FrameCommandEnabled(id)) << id;
    EXPECT_TRUE(FrameCommandEnabled(AFX_ID_PREVIEW_CLOSE));
    EXPECT_TRUE(FrameCommandEnabled(ID_HELP_ABOUT));
    for (UINT id : {ID_EDIT_CLEAR, ID_EDIT_PASTE, ID_EDIT_CUT, ID_EDIT_UNDO})
        MenuCommand(id);
    EXPECT_EQ(Text(), text);
    ASSERT_EQ(CPreviewView::Active(), p);
    Key(p, VK_NEXT);
    EXPECT_EQ(p->CurrentPage(), 2u);
    Key(p, VK_ESCAPE);
    EXPECT_TRUE(FrameCommandEnabled(ID_EDIT_PASTE)) << "enabled again after the preview";
}

TEST_F(PreviewTest, CloseKeysAndCommandsLeaveThePreviewedDocumentOpen) {
    const std::string text = Text();
    CAppPreview* p = Start();
    ASSERT_NE(p, nullptr);
    Press(VK_F4, true);
    MenuCommand(ID_FILE_CLOSE);
    MenuCommand(ID_WINDOW_CLOSE_ALL);
    ASSERT_EQ(CPreviewView::Active(), p);
    ASSERT_TRUE(IsWindow(m_child->m_hWnd));
    EXPECT_EQ(p->PrintView(), m_view);
    EXPECT_EQ(Text(), text);
    Key(p, VK_NEXT);
    EXPECT_EQ(p->CurrentPage(), 2u);
    UpdateWindow(p->m_hWnd);
}

TEST_F(PreviewTest, DocumentsAreNotSwitchedWhileThePreviewShows) {
    CMDIChildWnd* first = m_child;
    AppMainFrame()->SendMessage(WM_COMMAND, ID_FILE_NEW);
    TheApp().PumpPendingMessages();
    CMDIChildWnd* second = AppMainFrame()->MDIGetActive();
    ASSERT_NE(second, first);
    first->ActivateFrame();
    ::SendMessageA(AppMainFrame()->m_hWndMDIClient, WM_MDIACTIVATE,
                   reinterpret_cast<WPARAM>(first->m_hWnd), 0);
    TheApp().PumpPendingMessages();
    ASSERT_EQ(AppMainFrame()->MDIGetActive(), first);
    CAppPreview* p = Start();
    ASSERT_NE(p, nullptr);
    Press(VK_TAB, true);
    Press(VK_F6, true);
    MenuCommand(0xFF01); // the Window menu's entry of the second document
    EXPECT_EQ(AppMainFrame()->MDIGetActive(), first);
    EXPECT_EQ(CPreviewView::Active(), p);
    Key(p, VK_ESCAPE);
    second->SendMessage(WM_COMMAND, ID_FILE_CLOSE);
    TheApp().PumpPendingMessages();
}

TEST_F(PreviewTest, ClosingTheMainWindowEndsThePreviewBeforeAskingAboutTheDocuments) {
    ASSERT_TRUE(Doc()->IsModified());
    const std::string text = Text();
    CAppPreview* p = Start();
    ASSERT_NE(p, nullptr);
    g_shown.clear();
    g_reply = IDCANCEL; // the close is cancelled: the editor stays
    AfxSetMessageBoxHook(RecordBox);
    AppMainFrame()->SendMessage(WM_CLOSE);
    AfxSetMessageBoxHook(viewtest::AnswerBox);
    ASSERT_NE(AppMainFrame(), nullptr);
    ASSERT_EQ(g_shown.size(), 1u);
    EXPECT_FALSE(g_shown[0].second) << "asked under the preview: " << g_shown[0].first;
    EXPECT_EQ(CPreviewView::Active(), nullptr);
    EXPECT_TRUE(IsWindow(m_child->m_hWnd));
    EXPECT_EQ(Text(), text);
}

TEST_F(PreviewTest, ReloadAfterAnOutsideChangeEndsThePreviewFirst) {
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    const std::string path = std::string(dir) + "qv_preview_reload.txt";
    std::string before;
    for (int i = 1; i <= 200; ++i)
        before += "on disk " + std::to_string(i) + "\r\n";
    WriteWholeFile(path, before);
    CTextEditDoc* doc =
        DynamicDowncast<CTextEditDoc>(CTextEditDoc::OpenFileWithEncoding(path.c_str(), 0));
    ASSERT_NE(doc, nullptr);
    TheApp().PumpPendingMessages();
    CTextEditView* view = nullptr;
    for (CView* v : doc->GetViews())
        if (!view)
            view = DynamicDowncast<CTextEditView>(v);
    ASSERT_NE(view, nullptr);
    view->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW);
    TheApp().PumpPendingMessages();
    CPreviewView* p = CPreviewView::Active();
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(p->PrintView(), view);
    WriteWholeFile(path, "changed outside\r\n");
    g_shown.clear();
    g_reply = IDYES;
    AfxSetMessageBoxHook(RecordBox);
    // What the main frame does with the monitor's notice about the file.
    doc->OnFileChangedOnDisk();
    TheApp().PumpPendingMessages();
    AfxSetMessageBoxHook(viewtest::AnswerBox);
    ASSERT_EQ(g_shown.size(), 1u);
    EXPECT_EQ(CPreviewView::Active(), nullptr);
    EXPECT_FALSE(view->IsPrinting());
    EXPECT_EQ(TextOf(doc), "changed outside\n");
    doc->SetModifiedFlag(false);
    doc->OnCloseDocument();
    TheApp().PumpPendingMessages();
    DeleteFileA(path.c_str());
}

TEST_F(PreviewTest, AToolThatSavesTheDocumentsCannotRunWhileThePreviewShows) {
    SettingsStore* settings = AppSettings();
    const std::vector<UserToolInfo> saved(settings->Tools().begin(), settings->Tools().end());
    UserToolInfo tool;
    tool.name = "save and run";
    tool.command = "qv_no_such_tool.exe";
    tool.saveFiles = 1;
    settings->SetTools({tool});
    AppMainFrame()->RebuildToolsMenus();
    EXPECT_TRUE(FrameCommandEnabled(ID_TOOL_FIRST));
    CAppPreview* p = Start();
    ASSERT_NE(p, nullptr);
    const bool enabled = FrameCommandEnabled(ID_TOOL_FIRST);
    EXPECT_FALSE(enabled);
    if (!enabled) {
        // Chosen anyway (a menu opened before): refused, nothing is saved.
        MenuCommand(ID_TOOL_FIRST);
        EXPECT_EQ(CPreviewView::Active(), p);
        EXPECT_TRUE(Doc()->IsModified());
    }
    Key(p, VK_ESCAPE);
    settings->SetTools(saved);
    AppMainFrame()->RebuildToolsMenus();
}

TEST_F(PreviewTest, AFloatingBarIsHiddenWhileThePreviewShows) {
    CAppMainFrame* frame = AppMainFrame();
    CControlBar& bar = frame->OutputBar();
    frame->ShowControlBar(&bar, true, false);
    frame->FloatControlBar(&bar, POINT{300, 300});
    TheApp().PumpPendingMessages();
    ASSERT_TRUE(bar.IsFloating());
    HWND mini = GetParent(bar.m_pDockBar->m_hWnd);
    ASSERT_TRUE(IsWindowVisible(mini));
    CAppPreview* p = Start();
    ASSERT_NE(p, nullptr);
    EXPECT_FALSE(IsWindowVisible(mini));
    Key(p, VK_ESCAPE);
    EXPECT_TRUE(IsWindowVisible(mini));
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_BOTTOM);
    TheApp().PumpPendingMessages();
}
