// Print preview through its real window: pages turned by keys and toolbar commands, one and
// two pages, zoom, the main frame's other windows hidden and back, printing from the preview,
// and the document held while the preview shows it. Layer: tests of print/.
#include "tests/app/TextViewFixture.h"
#include "tests/print/PrintTestUtil.h"

#include "framework/FwPrintIds.h"
#include "framework/PrintInfo.h"
#include "print/AppPreview.h"
#include "print/PrintIds.h"

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
