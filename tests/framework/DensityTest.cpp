// Frames, bars, toolbars, mini frames and splitters on a monitor of twice the density: the frame
// moved there (WM_DPICHANGED) records it and tells every window inside it, which measure
// themselves again; a toolbar's buttons fit the images of its list, whatever their size.
#include "tests/framework/TestApp.h"

#include "tests/framework/FrameworkTestIds.h"

#include "framework/Dpi.h"
#include "framework/MiniDockFrameWnd.h"
#include "framework/SplitterWnd.h"
#include "framework/ToolBar.h"

#include <commctrl.h>

namespace {

// What the system sends a window dragged onto a monitor of dpi.
void MoveToDensity(CWnd* top, UINT dpi) {
    RECT rc;
    top->GetWindowRect(&rc);
    top->SendMessage(WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&rc));
}

// A window that counts the framework's density notices.
class DensityListener : public CWnd {
public:
    bool Create(CWnd* parent) {
        const char* cls = RegisterWndClass(0);
        return CreateEx(0, cls, nullptr, WS_CHILD, RECT{0, 0, 10, 10}, parent, 0x3001);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_FXDPICHANGED) {
            ++m_notices;
            m_dpi = static_cast<UINT>(wParam);
            m_oldDpi = static_cast<UINT>(lParam);
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    int m_notices = 0;
    UINT m_dpi = 0, m_oldDpi = 0;
};

class ImageList {
public:
    explicit ImageList(int size) : m_list(ImageList_Create(size, size, ILC_COLOR24, 1, 0)) {}
    ~ImageList() { ImageList_Destroy(m_list); }
    HIMAGELIST Get() const { return m_list; }

private:
    HIMAGELIST m_list;
};

} // namespace

TEST_F(FrameworkTest, AFrameMovedToADenserMonitorTellsEveryWindowInsideIt) {
    const UINT base = FxDpiOf(m_main->m_hWnd);
    DensityListener listener;
    ASSERT_TRUE(listener.Create(m_main));
    DensityListener nested;
    ASSERT_TRUE(nested.Create(&listener));
    MoveToDensity(m_main, 2 * base);
    EXPECT_EQ(FxDpiOf(m_main->m_hWnd), 2 * base);
    // The children answer for the frame's density before the system would say so of them.
    EXPECT_EQ(FxDpiOf(nested.m_hWnd), 2 * base);
    EXPECT_EQ(listener.m_notices, 1);
    EXPECT_EQ(nested.m_notices, 1);
    EXPECT_EQ(nested.m_dpi, 2 * base);
    EXPECT_EQ(nested.m_oldDpi, base);
    // A second notice of the same density changes nothing and tells nobody.
    MoveToDensity(m_main, 2 * base);
    EXPECT_EQ(nested.m_notices, 1);
    nested.DestroyWindow();
    listener.DestroyWindow();
}

TEST_F(FrameworkTest, ABarsBordersAndASplittersBarFollowTheFrameToADenserMonitor) {
    const UINT base = FxDpiOf(m_main->m_hWnd);
    TestBar bar;
    ASSERT_TRUE(bar.CreateBar(m_main, WS_VISIBLE | CBRS_ALIGN_TOP, ID_TEST_BAR));
    EXPECT_EQ(bar.GetDpi(), base);
    EXPECT_EQ(bar.m_cxLeftBorder, FxScale(6, base));
    ASSERT_NE(NewDocument(), nullptr);
    TestChildFrame* child = DynamicDowncast<TestChildFrame>(m_main->GetActiveFrame());
    ASSERT_NE(child, nullptr);
    CSplitterWnd& splitter = child->m_splitter;
    EXPECT_EQ(splitter.m_cySplitter, FxScale(6, base));

    MoveToDensity(m_main, 2 * base);
    EXPECT_EQ(bar.GetDpi(), 2 * base);
    EXPECT_EQ(bar.m_cxLeftBorder, FxScale(6, 2 * base));
    EXPECT_EQ(bar.m_cyTopBorder, FxScale(1, 2 * base));
    EXPECT_EQ(splitter.m_cySplitter, FxScale(6, 2 * base));
    EXPECT_EQ(splitter.m_minSize.cy, FxScale(10, 2 * base));
    // Split now, the panes lie the new bar's height apart.
    m_main->SendMessage(WM_COMMAND, ID_WINDOW_SPLIT);
    ASSERT_EQ(splitter.GetRowCount(), 2);
    RECT a, b;
    GetWindowRect(splitter.GetPane(0, 0)->m_hWnd, &a);
    GetWindowRect(splitter.GetPane(1, 0)->m_hWnd, &b);
    EXPECT_EQ(b.top - a.bottom, FxScale(6, 2 * base));
    bar.DestroyWindow();
}

TEST_F(FrameworkTest, AToolbarsButtonsFitTheImagesOfItsList) {
    const UINT base = FxDpiOf(m_main->m_hWnd);
    CToolBar toolbar;
    ASSERT_TRUE(toolbar.CreateEx(m_main, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP,
                                 ID_TEST_BAR));
    // Without a list: room for images of 16 pixels at the density.
    EXPECT_EQ(toolbar.GetButtonSize().cx, FxScale(16, base) + FxScale(7, base));
    ImageList images(24);
    toolbar.SetImageList(images.Get());
    toolbar.FitButtonsToImages();
    EXPECT_EQ(toolbar.GetButtonSize().cx, 24 + FxScale(7, base));
    EXPECT_EQ(toolbar.GetButtonSize().cy, 24 + FxScale(7, base));
    // On a denser monitor the images stay their list's size; the margin grows.
    MoveToDensity(m_main, 2 * base);
    EXPECT_EQ(toolbar.GetButtonSize().cx, 24 + FxScale(7, 2 * base));
    SIZE fixed = toolbar.CalcFixedLayout(false, true);
    EXPECT_GE(fixed.cy, 24 + FxScale(7, 2 * base) + 2 * FxScale(2, 2 * base));
    toolbar.SetImageList(nullptr);
    toolbar.DestroyWindow();
}

TEST_F(FrameworkTest, AFloatingBarsMiniFrameTakesItsFramesDensityAndFollowsItsOwnMonitor) {
    const UINT base = FxDpiOf(m_main->m_hWnd);
    m_main->EnableDocking(CBRS_ALIGN_ANY);
    MoveToDensity(m_main, 2 * base);
    TestBar bar;
    ASSERT_TRUE(bar.CreateBar(m_main, WS_VISIBLE | CBRS_ALIGN_TOP, ID_TEST_BAR));
    bar.EnableDocking(CBRS_ALIGN_ANY);
    m_main->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    EXPECT_EQ(bar.GetDpi(), 2 * base);
    m_main->FloatControlBar(&bar, POINT{100, 100});
    ASSERT_EQ(m_main->GetFloatingFrames().size(), 1u);
    CMiniDockFrameWnd* mini = m_main->GetFloatingFrames()[0];
    // Floated out of the frame, onto the frame's monitor.
    EXPECT_EQ(FxDpiOf(mini->m_hWnd), 2 * base);
    EXPECT_EQ(bar.GetDpi(), 2 * base);
    // Dragged onto a monitor of the first density, the floating bar follows alone.
    MoveToDensity(mini, base);
    EXPECT_EQ(FxDpiOf(mini->m_hWnd), base);
    EXPECT_EQ(bar.GetDpi(), base);
    EXPECT_EQ(bar.m_cxLeftBorder, FxScale(6, base));
    EXPECT_EQ(FxDpiOf(m_main->m_hWnd), 2 * base);
    bar.DestroyWindow();
}
