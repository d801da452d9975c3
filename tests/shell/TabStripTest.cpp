// The plain and the sheet tab strip in a real window: inserting and the current index, the
// arrows of a strip narrower than its tabs, the parent's refusal of a change, the sheet
// strip's geometry, its repeating arrow held down with the real mouse, its splitter and its
// scroll bar's messages handed to the owner.
#include "tests/shell/ShellTestApp.h"

#include "common/UiResources.h"
#include "framework/Dpi.h"
#include "workspace/SheetTabStrip.h"
#include "workspace/TabNotify.h"
#include "workspace/TabStrip.h"

#include <vector>

namespace {

// The strips' owner: records the notifications and the scroll messages, refuses changes on
// request.
class TabOwner : public CWnd {
public:
    struct Notice {
        int code, oldIndex, newIndex;
    };
    bool Create(CWnd* parent) {
        const char* cls = RegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        RECT rc = {0, 0, 600, 200};
        if (!CreateEx(0, cls, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                      rc, parent, 101))
            return false;
        // Above the frame's MDI client, so that the real mouse reaches the strips.
        ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return true;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_NOTIFY) {
            const NMTABSTRIP* info = reinterpret_cast<const NMTABSTRIP*>(lParam);
            notices.push_back({static_cast<int>(info->hdr.code), info->oldIndex, info->newIndex});
            if (static_cast<int>(info->hdr.code) == static_cast<int>(TCN_SELCHANGING))
                return refuse ? 1 : 0;
            return 0;
        }
        if (message == WM_HSCROLL) {
            scrolls.push_back(LOWORD(wParam));
            scrollSenders.push_back(reinterpret_cast<HWND>(lParam));
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<Notice> notices;
    std::vector<int> scrolls;
    std::vector<HWND> scrollSenders;
    bool refuse = false;
};

// A left press and release through the system's input queue, at a client point of wnd.
void MoveMouseTo(HWND wnd, POINT client) {
    ::ClientToScreen(wnd, &client);
    ::SetCursorPos(client.x, client.y);
}
void SendButton(bool down) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &input, sizeof input);
}
POINT Centre(const RECT& rc) {
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

class TabStripTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        if (!SharedUi().IsInitialised())
            SharedUi().Init(GetModuleHandleA(nullptr));
        ASSERT_TRUE(m_owner.Create(m_main));
        ::SetForegroundWindow(m_main->m_hWnd);
        Pump();
    }
    void TearDown() override {
        if (::GetCapture())
            ::ReleaseCapture();
        ShellTest::TearDown();
    }
    TabOwner m_owner;
};

} // namespace

TEST_F(TabStripTest, InsertingBeforeTheCurrentTabMovesItUp) {
    CTabStrip strip;
    ASSERT_TRUE(strip.Create(&m_owner, WS_VISIBLE, 0xE900, RECT{0, 0, 400, 24}));
    EXPECT_EQ(strip.InsertTab(0, "资源管理", 0xE901), 0);
    EXPECT_EQ(strip.InsertTab(5, "剪贴文本", 0xE902), 1); // clamped to the end
    EXPECT_EQ(strip.GetCurSel(), -1);
    ASSERT_TRUE(strip.SelectTab(1));
    EXPECT_EQ(strip.InsertTab(-3, "第一", 7, 77), 0); // clamped to the front
    EXPECT_EQ(strip.GetCurSel(), 2);
    EXPECT_EQ(strip.InsertTab(2, "中间", 8), 2);
    EXPECT_EQ(strip.GetCurSel(), 3);
    EXPECT_STREQ(strip.GetTabInfo(3)->text, "剪贴文本");
    LPARAM data = 0;
    ASSERT_TRUE(strip.GetTab(0, &data));
    EXPECT_EQ(data, 77);
    EXPECT_FALSE(strip.GetTab(4, &data));
    EXPECT_FALSE(strip.GetTab(-1, &data));
    EXPECT_EQ(strip.FindTabById(0xE902), 3);
    // Invalid and current indexes are ignored without notifications.
    m_owner.notices.clear();
    EXPECT_FALSE(strip.SelectTab(3));
    EXPECT_FALSE(strip.SelectTab(9));
    EXPECT_TRUE(m_owner.notices.empty());
}

TEST_F(TabStripTest, StripSizeFollowsTabWidthImagesAndFont) {
    CTabStrip strip;
    ASSERT_TRUE(strip.Create(&m_owner, WS_VISIBLE, 0xE900, RECT{0, 0, 400, 24}));
    strip.InsertTab(0, "一", 1);
    strip.InsertTab(1, "二", 2);
    // Widths are given at 96 DPI and kept at the strip's density.
    const UINT dpi = strip.GetDpi();
    strip.SetTabWidth(0); // at least 1
    EXPECT_EQ(strip.GetTabWidth(), FxScale(1, dpi));
    strip.SetTabWidth(80);
    strip.SetImageList(SharedUi().m_images, SIZE{16, 16});
    TEXTMETRICA tm = SharedUi().m_fontMetrics;
    const int height = std::max(16, static_cast<int>(tm.tmHeight)) + FxScale(4, dpi);
    EXPECT_EQ(strip.GetStripHeight(), height);
    SIZE size = strip.GetStripSize();
    EXPECT_EQ(size.cx, 2 * FxScale(80, dpi));
    EXPECT_EQ(size.cy, height + 2 * FxSystemMetric(SM_CYBORDER, dpi));
}

TEST_F(TabStripTest, ANarrowStripShowsArrowsAndTheRightArrowShowsTheSecondTabFirst) {
    CTabStrip strip;
    ASSERT_TRUE(strip.Create(&m_owner, WS_VISIBLE, 0xE900, RECT{10, 10, 130, 40}));
    strip.SetTabWidth(80);
    strip.InsertTab(0, "资源管理", 0xE901);
    strip.InsertTab(1, "剪贴文本", 0xE902);
    strip.SelectTab(0);
    strip.UpdateWindow();
    ASSERT_TRUE(strip.HasArrows());
    EXPECT_EQ(strip.GetFirstVisible(), 0);
    RECT right = strip.GetRightArrowRect();
    RECT client;
    strip.GetClientRect(&client);
    EXPECT_EQ(right.right, client.right);
    EXPECT_EQ(right.right - right.left, strip.GetStripHeight() / 2);

    MoveMouseTo(strip.m_hWnd, Centre(right));
    SendButton(true);
    ASSERT_TRUE(PumpUntil([&] { return strip.GetFirstVisible() == 1; }, 2000));
    EXPECT_EQ(::GetCapture(), strip.m_hWnd);
    SendButton(false);
    ASSERT_TRUE(PumpUntil([&] { return ::GetCapture() != strip.m_hWnd; }, 2000));
    EXPECT_EQ(strip.GetFirstVisible(), 1);
    EXPECT_EQ(strip.GetCurSel(), 0); // scrolling does not select
    // Not beyond the last tab; the left arrow goes back.
    strip.ScrollBy(1);
    EXPECT_EQ(strip.GetFirstVisible(), 1);
    strip.SendMessage(WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(strip.GetFirstVisible(), 0);
    strip.ScrollBy(-1);
    EXPECT_EQ(strip.GetFirstVisible(), 0);
}

TEST_F(TabStripTest, AWideStripHasNoArrows) {
    CTabStrip strip;
    ASSERT_TRUE(strip.Create(&m_owner, WS_VISIBLE, 0xE900, RECT{0, 0, 400, 24}));
    strip.SetTabWidth(80);
    strip.InsertTab(0, "一", 1);
    strip.InsertTab(1, "二", 2);
    EXPECT_FALSE(strip.HasArrows());
    EXPECT_EQ(strip.GetLastVisible(), 1);
    const int width = strip.GetTabWidth();
    EXPECT_EQ(strip.HitTest(POINT{width + 5, 5}), 1);
    EXPECT_EQ(strip.HitTest(POINT{2 * width + 40, 5}), -1);
}

TEST_F(TabStripTest, ARefusedChangeKeepsTheOldTabAndSendsNoChangedNotice) {
    CTabStrip strip;
    ASSERT_TRUE(strip.Create(&m_owner, WS_VISIBLE, 0xE900, RECT{0, 0, 400, 24}));
    strip.SetTabWidth(80);
    strip.InsertTab(0, "一", 1);
    strip.InsertTab(1, "二", 2);
    ASSERT_TRUE(strip.SelectTab(0));
    ASSERT_EQ(m_owner.notices.size(), 2u);
    EXPECT_EQ(m_owner.notices[0].code, -552);
    EXPECT_EQ(m_owner.notices[0].oldIndex, -1);
    EXPECT_EQ(m_owner.notices[0].newIndex, 0);
    EXPECT_EQ(m_owner.notices[1].code, -551);

    m_owner.notices.clear();
    m_owner.refuse = true;
    // A click on the second tab, as the user does it.
    const int x = strip.GetTabWidth() + 20;
    strip.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 5));
    strip.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(x, 5));
    EXPECT_EQ(strip.GetCurSel(), 0);
    ASSERT_EQ(m_owner.notices.size(), 1u);
    EXPECT_EQ(m_owner.notices[0].code, -552);
    EXPECT_EQ(m_owner.notices[0].oldIndex, 0);
    EXPECT_EQ(m_owner.notices[0].newIndex, 1);

    m_owner.notices.clear();
    m_owner.refuse = false;
    strip.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 5));
    EXPECT_EQ(strip.GetCurSel(), 1);
    ASSERT_EQ(m_owner.notices.size(), 2u);
    EXPECT_EQ(m_owner.notices[1].code, -551);
    EXPECT_EQ(m_owner.notices[1].oldIndex, 0);
    EXPECT_EQ(m_owner.notices[1].newIndex, 1);
}

TEST_F(TabStripTest, SelectingAHiddenTabScrollsItIntoView) {
    CTabStrip strip;
    ASSERT_TRUE(strip.Create(&m_owner, WS_VISIBLE, 0xE900, RECT{0, 0, 200, 24}));
    strip.SetTabWidth(80);
    for (int i = 0; i < 6; ++i)
        strip.InsertTab(i, "标签", static_cast<UINT>(i));
    ASSERT_TRUE(strip.HasArrows());
    strip.SelectTab(5);
    EXPECT_LE(strip.GetFirstVisible(), 5);
    EXPECT_GE(strip.GetLastVisible(), 5);
    strip.SelectTab(0);
    EXPECT_EQ(strip.GetFirstVisible(), 0);
}

// --- The sheet strip ------------------------------------------------------------------------

TEST_F(TabStripTest, SheetTabsOverlapByHalfTheirHeight) {
    CSheetTabStrip strip;
    ASSERT_TRUE(strip.Create(&m_owner, WS_VISIBLE, 0xE901, RECT{0, 100, 600, 120}));
    ASSERT_NE(strip.GetScrollBar(), nullptr);
    EXPECT_EQ(::GetDlgCtrlID(strip.GetScrollBar()), 0xE900);
    const int h = strip.GetTabHeight();
    EXPECT_EQ(h, std::max(GetSystemMetrics(SM_CXVSCROLL),
                          static_cast<int>(SharedUi().m_fontMetrics.tmHeight)));
    EXPECT_EQ(strip.InsertTab(0, "查找替换1", 1), 0);
    EXPECT_EQ(strip.InsertTab(1, "捕捉输出1", 2), 1);
    EXPECT_EQ(strip.InsertTab(0, "输出", 3), 0);
    const CSheetTabStrip::Tab* t0 = strip.GetTabInfo(0);
    const CSheetTabStrip::Tab* t1 = strip.GetTabInfo(1);
    const CSheetTabStrip::Tab* t2 = strip.GetTabInfo(2);
    EXPECT_EQ(t0->x, 0);
    EXPECT_EQ(t1->x, t0->width - h / 2);
    EXPECT_EQ(t2->x, t1->x + t1->width - h / 2);
    EXPECT_EQ(strip.GetTotalWidth(), t2->x + t2->width);
    EXPECT_GT(t0->width, 2 * h);
    // The row: two arrows, the tab area up to the splitter, the splitter, the scroll bar.
    strip.SetSplitterPosition(200);
    const int aw = GetSystemMetrics(SM_CXHSCROLL);
    EXPECT_EQ(strip.GetTabAreaRect().left, 2 * aw);
    EXPECT_EQ(strip.GetTabAreaRect().right, 2 * aw + 200);
    RECT bar;
    ::GetWindowRect(strip.GetScrollBar(), &bar);
    strip.ScreenToClient(&bar);
    EXPECT_EQ(bar.left, strip.GetSplitterRect().right);
    EXPECT_EQ(bar.right, 600);
    // A press in the middle of the second tab selects it; the parent hears both codes.
    m_owner.notices.clear();
    POINT mid = {strip.GetTabAreaRect().left + t1->x + t1->width / 2, h / 2};
    EXPECT_EQ(strip.HitTest(mid), 1);
    strip.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(mid.x, mid.y));
    EXPECT_EQ(strip.GetCurSel(), 1);
    ASSERT_EQ(m_owner.notices.size(), 2u);
    EXPECT_EQ(m_owner.notices[0].code, -552);
    // The current tab lies on top: the overlap goes to it.
    POINT overlap = {strip.GetTabAreaRect().left + t1->x + 1, 1};
    EXPECT_EQ(strip.HitTest(overlap), 1);
    strip.SelectTab(0);
    EXPECT_EQ(strip.HitTest(overlap), 0);
}

TEST_F(TabStripTest, SheetTabsAreDrawnLeftToRightAndAPressGoesToTheTabOnTop) {
    CSheetTabStrip strip;
    ASSERT_TRUE(strip.Create(&m_owner, WS_VISIBLE, 0xE901, RECT{0, 100, 600, 130}));
    strip.InsertTab(0, "查找替换1", 1);
    strip.InsertTab(1, "捕捉输出1", 2);
    strip.InsertTab(2, "输出", 3);
    strip.SetSplitterPosition(400);
    // The first two tabs are not current: neither is lifted above the other by that.
    strip.SelectTab(2);
    ::RedrawWindow(strip.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const int h = strip.GetTabHeight();
    const int slant = h / 2;
    ASSERT_GE(slant, 6);
    const CSheetTabStrip::Tab* t0 = strip.GetTabInfo(0);
    const CSheetTabStrip::Tab* t1 = strip.GetTabInfo(1);
    const int left = strip.GetTabAreaRect().left;
    const int right0 = left + t0->x + t0->width; // the first tab's top right corner
    ASSERT_EQ(left + t1->x, right0 - slant);
    // A row through the top of the overlap: the first tab's right slant and the second tab's
    // left slant cross it, the first near the overlap's right end, the second near its left.
    const int y = h / 4;
    const int middle = right0 - slant / 2;
    HDC dc = ::GetDC(strip.m_hWnd);
    const COLORREF face = ::GetPixel(dc, right0 + 4, h / 2);
    std::vector<int> lines;
    for (int x = right0 - slant; x <= right0 + 1; ++x)
        if (::GetPixel(dc, x, y) != face)
            lines.push_back(x);
    ::ReleaseDC(strip.m_hWnd, dc);
    ASSERT_FALSE(lines.empty());
    // Only the second tab's outline shows: it was drawn over the first.
    for (int x : lines)
        EXPECT_LT(x, middle) << "an outline at " << x - right0 << " from the corner";
    // A press where both overlap goes to the tab drawn on top; the gap below the crossing
    // slants belongs to the tab on the left.
    EXPECT_EQ(strip.HitTest(POINT{middle, y}), 1);
    EXPECT_EQ(strip.HitTest(POINT{middle, h - 2}), 0);
    strip.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(middle, y));
    EXPECT_EQ(strip.GetCurSel(), 1);
}

TEST_F(TabStripTest, ARefusedSheetChangeKeepsTheOldTab) {
    CSheetTabStrip strip;
    ASSERT_TRUE(strip.Create(&m_owner, WS_VISIBLE, 0xE901, RECT{0, 100, 600, 120}));
    strip.InsertTab(0, "一", 1);
    strip.InsertTab(1, "二", 2);
    strip.SelectTab(0);
    m_owner.notices.clear();
    m_owner.refuse = true;
    EXPECT_FALSE(strip.SelectTab(1));
    EXPECT_EQ(strip.GetCurSel(), 0);
    ASSERT_EQ(m_owner.notices.size(), 1u);
    EXPECT_EQ(m_owner.notices[0].code, -552);
}

TEST_F(TabStripTest, HoldingTheRightArrowScrollsEveryHundredMillisecondsToTheLastTab) {
    CSheetTabStrip strip;
    ASSERT_TRUE(strip.Create(&m_owner, WS_VISIBLE, 0xE901, RECT{0, 100, 600, 120}));
    for (int i = 0; i < 5; ++i)
        strip.InsertTab(i, "查找替换结果", static_cast<LPARAM>(i));
    strip.SetSplitterPosition(150);
    strip.UpdateWindow();
    const int maxOffset = strip.GetMaxOffset();
    ASSERT_GT(maxOffset, 8 * strip.GetScrollStep()); // many steps to go

    MoveMouseTo(strip.m_hWnd, Centre(strip.GetRightArrowRect()));
    SendButton(true);
    ASSERT_TRUE(PumpUntil([&] { return strip.GetScrollOffset() > 0; }, 2000));
    EXPECT_EQ(strip.GetRepeatTimer(), CSheetTabStrip::kTimerRight);
    // Record when each step lands.
    std::vector<DWORD> times;
    int last = strip.GetScrollOffset();
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 6000 && strip.GetScrollOffset() < maxOffset) {
        Pump();
        if (strip.GetScrollOffset() != last) {
            times.push_back(GetTickCount());
            last = strip.GetScrollOffset();
        }
        Sleep(5);
    }
    SendButton(false);
    ASSERT_TRUE(PumpUntil([&] { return strip.GetRepeatTimer() == 0; }, 2000));
    // It reached the end: the last tab ends at the right of the tab area, and stays there.
    EXPECT_EQ(strip.GetScrollOffset(), maxOffset);
    const CSheetTabStrip::Tab* lastTab = strip.GetTabInfo(4);
    EXPECT_EQ(strip.GetTabAreaRect().left + lastTab->x + lastTab->width - strip.GetScrollOffset(),
              strip.GetTabAreaRect().right);
    ASSERT_GE(times.size(), 5u);
    const double average =
        static_cast<double>(times.back() - times.front()) / static_cast<double>(times.size() - 1);
    EXPECT_GE(average, 80.0);
    EXPECT_LE(average, 160.0);
    // Released: no more steps.
    const int offset = strip.GetScrollOffset();
    strip.ScrollStep(-1);
    Sleep(250);
    Pump();
    EXPECT_EQ(strip.GetScrollOffset(), offset - strip.GetScrollStep());
}

TEST_F(TabStripTest, TheLeftArrowStopsAtTheStart) {
    CSheetTabStrip strip;
    ASSERT_TRUE(strip.Create(&m_owner, WS_VISIBLE, 0xE901, RECT{0, 100, 600, 120}));
    for (int i = 0; i < 8; ++i)
        strip.InsertTab(i, "查找替换结果", 0);
    strip.SetSplitterPosition(200);
    strip.ScrollStep(1);
    strip.ScrollStep(-1);
    strip.ScrollStep(-1);
    EXPECT_EQ(strip.GetScrollOffset(), 0);
    // Selecting the last tab shows it whole.
    strip.SelectTab(7);
    const CSheetTabStrip::Tab* t = strip.GetTabInfo(7);
    EXPECT_EQ(strip.GetScrollOffset(), t->x + t->width - 200);
    // A wider tab area takes back offset that would leave room after the last tab.
    strip.SetSplitterPosition(400);
    EXPECT_EQ(strip.GetScrollOffset(), strip.GetMaxOffset());
}

TEST_F(TabStripTest, DraggingTheSplitterResizesTheScrollBar) {
    CSheetTabStrip strip;
    ASSERT_TRUE(strip.Create(&m_owner, WS_VISIBLE, 0xE901, RECT{0, 100, 600, 120}));
    strip.SetSplitterPosition(200);
    RECT split = strip.GetSplitterRect();
    POINT p = Centre(split);
    strip.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    strip.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x + 50, p.y));
    strip.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(p.x + 50, p.y));
    EXPECT_EQ(strip.GetSplitterPosition(), 250);
    RECT bar;
    ::GetWindowRect(strip.GetScrollBar(), &bar);
    strip.ScreenToClient(&bar);
    EXPECT_EQ(bar.left, strip.GetSplitterRect().right);
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(TabStripTest, TheScrollBarsMessagesReachTheOwnerUnchanged) {
    CSheetTabStrip strip;
    ASSERT_TRUE(strip.Create(&m_owner, WS_VISIBLE, 0xE901, RECT{0, 100, 600, 120}));
    HWND bar = strip.GetScrollBar();
    strip.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_LINERIGHT, 0), reinterpret_cast<LPARAM>(bar));
    ASSERT_EQ(m_owner.scrolls.size(), 1u);
    EXPECT_EQ(m_owner.scrolls[0], SB_LINERIGHT);
    EXPECT_EQ(m_owner.scrollSenders[0], bar);
}
