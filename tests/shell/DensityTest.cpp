// The status bar, the tab strips and the flat buttons on a monitor of twice the density: the
// frame moved there (WM_DPICHANGED) tells them, and they measure themselves again without being
// made anew; images are drawn at their list's own size, whatever size the caller named.
#include "tests/shell/ShellTestApp.h"

#include "common/UiResources.h"
#include "framework/Dpi.h"
#include "workspace/FxButton.h"
#include "workspace/SheetTabStrip.h"
#include "workspace/TabStrip.h"

#include <commctrl.h>

#include <cstdlib>

namespace {

// An image list of square images of one size, for the strips and buttons to draw from.
class TestImages {
public:
    explicit TestImages(int size) : m_list(ImageList_Create(size, size, ILC_COLOR24, 2, 0)) {
        ImageList_SetImageCount(m_list, 2);
    }
    ~TestImages() { ImageList_Destroy(m_list); }
    HIMAGELIST Get() const { return m_list; }

private:
    HIMAGELIST m_list;
};

// The frame moved to a monitor of dpi, the rectangle the system suggests being its own.
void MoveToDensity(CFrameWnd* frame, UINT dpi) {
    RECT rc;
    frame->GetWindowRect(&rc);
    frame->SendMessage(WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&rc));
    Pump();
}

// A height made of a font's and a fixed part, at twice the density: twice as high, within the
// rounding of the font's own height.
void ExpectDoubled(int before, int after) {
    EXPECT_LE(std::abs(after - 2 * before), 3) << before << " -> " << after;
}

class DensityTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        if (!SharedUi().IsInitialised())
            SharedUi().Init(GetModuleHandleA(nullptr));
        m_base = FxDpiOf(m_main->m_hWnd);
    }
    UINT m_base = kFxBaseDpi;
};

} // namespace

TEST_F(DensityTest, TheStatusBarGrowsWithTheFrameMovedToADenserMonitor) {
    CBarStatus& bar = m_main->m_status;
    m_main->RecalcLayout();
    const int height = bar.CalcFixedLayout(false, true).cy;
    RECT rc;
    bar.GetWindowRect(&rc);
    ASSERT_EQ(rc.bottom - rc.top, height);

    MoveToDensity(m_main, 2 * m_base);
    EXPECT_EQ(FxDpiOf(m_main->m_hWnd), 2 * m_base);
    EXPECT_EQ(bar.GetDpi(), 2 * m_base);
    const int denser = bar.CalcFixedLayout(false, true).cy;
    ExpectDoubled(height, denser);
    // Laid out again at once: the window has the new height at the bottom of the frame.
    RECT client;
    m_main->GetClientRect(&client);
    bar.GetWindowRect(&rc);
    m_main->ScreenToClient(&rc);
    EXPECT_EQ(rc.bottom - rc.top, denser);
    EXPECT_EQ(rc.bottom, client.bottom);

    // And back: the sizes of the first density again.
    MoveToDensity(m_main, m_base);
    EXPECT_EQ(bar.CalcFixedLayout(false, true).cy, height);
}

TEST_F(DensityTest, ThePlainTabStripMeasuresItsTabsAndImagesForItsDensity) {
    TestImages images(32);
    CTabStrip strip;
    ASSERT_TRUE(strip.Create(m_main, WS_VISIBLE, 0xE900, RECT{0, 0, 400, 40}));
    strip.InsertTab(0, "资源管理", 0xE901, 0, 0);
    strip.InsertTab(1, "剪贴文本", 0xE902, 0, 1);
    // The caller names 16 x 16; the list's images are 32 x 32 and are drawn so.
    strip.SetImageList(images.Get(), SIZE{16, 16});
    strip.SetTabWidth(80);
    EXPECT_EQ(strip.GetTabWidth(), FxScale(80, m_base));
    const int height = strip.GetStripHeight();
    EXPECT_GE(height, 32 + FxScale(4, m_base));

    MoveToDensity(m_main, 2 * m_base);
    EXPECT_EQ(strip.GetDpi(), 2 * m_base);
    EXPECT_EQ(strip.GetTabWidth(), FxScale(80, 2 * m_base));
    EXPECT_EQ(strip.GetStripSize().cx, 2 * FxScale(80, 2 * m_base));
    // The images stay 32 pixels high; the strip's room around them and its font grow.
    const int fontHeight = strip.GetStripHeight() - FxScale(4, 2 * m_base);
    EXPECT_GE(fontHeight, 32);
    EXPECT_GE(strip.GetStripHeight(), height + FxScale(4, m_base));
    // The arrows follow the strip's height.
    strip.MoveWindow(RECT{0, 0, FxScale(100, 2 * m_base), strip.GetStripHeight()});
    Pump();
    ASSERT_TRUE(strip.HasArrows());
    RECT arrow = strip.GetLeftArrowRect();
    EXPECT_EQ(arrow.right - arrow.left, strip.GetStripHeight() / 2);
    strip.DestroyWindow();
}

TEST_F(DensityTest, TheSheetTabStripKeepsItsSplitterInProportionAndGrowsItsTabs) {
    CSheetTabStrip strip;
    ASSERT_TRUE(strip.Create(m_main, WS_VISIBLE, 0xE901, RECT{0, 0, 900, 30}));
    strip.InsertTab(0, "捕捉输出1", 1);
    strip.InsertTab(1, "查找替换1", 2);
    strip.SetSplitterPosition(200);
    const int tabHeight = strip.GetTabHeight();
    const int step = strip.GetScrollStep();

    MoveToDensity(m_main, 2 * m_base);
    EXPECT_EQ(strip.GetSplitterPosition(), 400);
    ExpectDoubled(tabHeight, strip.GetTabHeight());
    EXPECT_GE(strip.GetScrollStep(), 2 * step - 3);
    RECT splitter = strip.GetSplitterRect();
    EXPECT_EQ(splitter.right - splitter.left, FxScale(CSheetTabStrip::kSplitterWidth, 2 * m_base));
    strip.DestroyWindow();
}

TEST_F(DensityTest, AFlatButtonDrawsTheImagesOfItsListAtTheirOwnSize) {
    TestImages images(24);
    CFxButton button;
    ASSERT_TRUE(button.Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{0, 0, 80, 40}, m_main,
                              0x2000));
    button.SetImages(images.Get(), 0, 1, 16, 16);
    EXPECT_EQ(button.GetImageSize().cx, 24);
    EXPECT_EQ(button.GetImageSize().cy, 24);
    // Without a list the caller's size stands.
    button.SetImages(nullptr, -1, -1, 16, 16);
    EXPECT_EQ(button.GetImageSize().cx, 16);
    button.DestroyWindow();
}
