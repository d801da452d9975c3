// The main window moved to a monitor of twice the density (WM_DPICHANGED, as the system sends
// it): the window takes the suggested rectangle and its bars, tab strip and status bar follow
// without a restart; the bars' records and the window's size are kept at 96 DPI, so that after a
// restart on either monitor the bars are as large as the user left them.
#include "app/App.h"
#include "app/AppMainFrame.h"
#include "common/PathName.h"
#include "framework/Dpi.h"

#include "tests/app/RestartFixture.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

// A number field of a "ControlBars" record.
int RecordField(const char* key, const char* field) {
    char text[512] = "";
    GetPrivateProfileStringA("ControlBars", key, "", text, sizeof text, TestSettingsPath().c_str());
    const std::string record = text;
    const std::string name = std::string("\"") + field + "\"=";
    const size_t at = record.find(name);
    return at == std::string::npos ? -99999 : std::atoi(record.c_str() + at + name.size());
}

SIZE WindowSize(HWND wnd) {
    RECT rc;
    GetWindowRect(wnd, &rc);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

// A size made of a font's part and fixed parts, at twice the density: twice as large, within
// the rounding of the font's own height.
void ExpectDoubled(int before, int after, const char* what) {
    EXPECT_LE(std::abs(after - 2 * before), 3) << what << ": " << before << " -> " << after;
}

class DensityChangeTest : public ProgramRestartTest {
protected:
    CAppMainFrame* Start() {
        CAppMainFrame* frame = ProgramRestartTest::Start();
        if (frame) {
            frame->ShowWindow(SW_SHOWNORMAL);
            Settle();
            m_base = FxDpiOf(frame->m_hWnd);
        }
        return frame;
    }
    // What the system sends a window dragged onto a monitor of dpi.
    void MoveToDensity(CAppMainFrame* frame, UINT dpi, RECT suggested) {
        frame->SendMessage(WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                           reinterpret_cast<LPARAM>(&suggested));
        Settle();
    }
    UINT m_base = kFxBaseDpi;
};

} // namespace

TEST_F(DensityChangeTest, TheBarsFollowTheWindowToADenserMonitorWithoutARestart) {
    CAppMainFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    ::SetWindowPos(frame->m_hWnd, nullptr, 20, 10, 600, 440, SWP_NOZORDER);
    Settle();
    CBarTool& toolbar = frame->ToolBar();
    const int status = WindowSize(frame->StatusBar().m_hWnd).cy;
    const int switchBar = WindowSize(frame->SwitchBar().m_hWnd).cy;
    const int workspace = WindowSize(frame->WorkspaceBar().m_hWnd).cx;
    const int output = WindowSize(frame->OutputBar().m_hWnd).cy;
    const CTabStrip& strip = frame->WorkspaceBar().GetTabStrip();
    const int tabs = strip.GetStripHeight();
    const int tabFont = strip.GetFontHeight();
    const int tabWidth = frame->WorkspaceBar().GetTabStrip().GetTabWidth();

    const UINT dpi = 2 * m_base;
    const RECT suggested = {20, 10, 20 + 1200, 10 + 880};
    MoveToDensity(frame, dpi, suggested);

    EXPECT_EQ(FxDpiOf(frame->m_hWnd), dpi);
    RECT now;
    frame->GetWindowRect(&now);
    EXPECT_TRUE(::EqualRect(&now, &suggested));
    // The toolbar's buttons fit the images of its list, whatever their size, with the margin
    // of the new density.
    int imageCx = 0, imageCy = 0;
    ASSERT_TRUE(ImageList_GetIconSize(toolbar.GetImageList(), &imageCx, &imageCy));
    EXPECT_EQ(toolbar.GetButtonSize().cx, imageCx + FxScale(7, dpi));
    EXPECT_EQ(toolbar.GetButtonSize().cy, imageCy + FxScale(7, dpi));
    EXPECT_EQ(toolbar.GetDpi(), dpi);
    ExpectDoubled(status, WindowSize(frame->StatusBar().m_hWnd).cy, "status bar");
    ExpectDoubled(switchBar, WindowSize(frame->SwitchBar().m_hWnd).cy, "switch bar");
    // The tab strip: its font made for the density, its images as large as its list's, and
    // the room around them doubled.
    ExpectDoubled(tabFont, strip.GetFontHeight(), "tab font");
    EXPECT_EQ(strip.GetStripHeight(),
              std::max<int>(strip.GetImageSize().cy, strip.GetFontHeight()) + FxScale(4, dpi));
    EXPECT_EQ(frame->WorkspaceBar().GetTabStrip().GetTabWidth(), 2 * tabWidth);
    // The sizing bars keep the share of the window the user gave them.
    EXPECT_LE(std::abs(WindowSize(frame->WorkspaceBar().m_hWnd).cx - 2 * workspace), 2);
    EXPECT_LE(std::abs(WindowSize(frame->OutputBar().m_hWnd).cy - 2 * output), 2);
    // Every bar lies along the frame's edges as before: the status bar at the bottom.
    RECT client, rc;
    frame->GetClientRect(&client);
    ::GetWindowRect(frame->StatusBar().m_hWnd, &rc);
    frame->ScreenToClient(&rc);
    EXPECT_EQ(rc.bottom, client.bottom);

    // Back on the first monitor, the first sizes again.
    MoveToDensity(frame, m_base, RECT{20, 10, 620, 450});
    EXPECT_EQ(WindowSize(frame->StatusBar().m_hWnd).cy, status);
    EXPECT_EQ(frame->WorkspaceBar().GetTabStrip().GetStripHeight(), tabs);
    EXPECT_LE(std::abs(WindowSize(frame->WorkspaceBar().m_hWnd).cx - workspace), 1);
    Close();
    ForgetBarLayout();
}

TEST_F(DensityChangeTest, BarSizesSavedOnADenserMonitorComeBackAsLargeAsTheUserSawThem) {
    CAppMainFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    ::SetWindowPos(frame->m_hWnd, nullptr, 20, 10, 600, 440, SWP_NOZORDER);
    Settle();
    const UINT dpi = 2 * m_base;
    MoveToDensity(frame, dpi, RECT{20, 10, 20 + 1200, 10 + 880});
    const int workspace = WindowSize(frame->WorkspaceBar().m_hWnd).cx;
    const int output = WindowSize(frame->OutputBar().m_hWnd).cy;
    Close();

    // The records hold the sizes at 96 DPI: the window's too, its corner where it was.
    EXPECT_EQ(RecordField("01", "Right") - RecordField("01", "Left"), FxUnscale(workspace, dpi));
    EXPECT_EQ(RecordField("02", "Bottom") - RecordField("02", "Top"), FxUnscale(output, dpi));
    EXPECT_EQ(RecordField("MainFrame", "Left"), 20);
    EXPECT_EQ(RecordField("MainFrame", "Right") - RecordField("MainFrame", "Left"),
              FxUnscale(1200, dpi));

    // On a monitor of the first density the bars are as large as the user saw them (within
    // the rounding of a density that is not a whole multiple of 96).
    frame = Start();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(WindowSize(frame->m_hWnd).cx, FxScale(FxUnscale(1200, dpi), m_base));
    EXPECT_LE(std::abs(2 * WindowSize(frame->WorkspaceBar().m_hWnd).cx - workspace), 3);
    EXPECT_LE(std::abs(2 * WindowSize(frame->OutputBar().m_hWnd).cy - output), 3);
    // Moved to the denser one again, as they were there.
    MoveToDensity(frame, dpi, RECT{20, 10, 20 + 1200, 10 + 880});
    EXPECT_LE(std::abs(WindowSize(frame->WorkspaceBar().m_hWnd).cx - workspace), 3);
    EXPECT_LE(std::abs(WindowSize(frame->OutputBar().m_hWnd).cy - output), 3);
    Close();
    ForgetBarLayout();
}
