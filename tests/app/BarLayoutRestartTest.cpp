// The main window and its bars across a restart of the program in this process, each start
// with an application object of its own and each end through the window's close: a bar docked
// on another side and a maximised window come back as they were left; a window's normal place
// comes back, also when it was closed in full screen, and a place that no monitor shows, or a
// damaged one, gives way to the default place.
#include "app/App.h"
#include "app/AppMainFrame.h"
#include "common/PathName.h"
#include "framework/DockBar.h"
#include "framework/Dpi.h"
#include "framework/FwIds.h"

#include "tests/app/RestartFixture.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

std::string PlacementRecord() {
    char text[512] = "";
    GetPrivateProfileStringA("ControlBars", "MainFrame", "", text, sizeof text,
                             TestSettingsPath().c_str());
    return text;
}

UINT DockIdOf(CControlBar* bar) {
    return bar->m_pDockBar ? static_cast<UINT>(bar->m_pDockBar->GetDlgCtrlID()) : 0;
}

// Whether the user can see and take the bar: shown, and inside the frame's client area but
// for the two pixels by which docked bars reach past its edge.
bool IsInsideFrame(CAppMainFrame* frame, CControlBar* bar) {
    if (!bar->m_hWnd || !bar->IsWindowVisible())
        return false;
    RECT client, rc;
    frame->GetClientRect(&client);
    MapWindowPoints(frame->m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    bar->GetWindowRect(&rc);
    const int slack = 2;
    return rc.right > rc.left && rc.bottom > rc.top && rc.left >= client.left - slack &&
           rc.top >= client.top - slack && rc.right <= client.right + slack &&
           rc.bottom <= client.bottom + slack;
}

// A window's size kept at 96 DPI and brought back to the screen's density: the same but for
// the rounding of a density that is not a whole multiple of 96.
int KeptSize(int px) {
    const UINT dpi = FxSystemDpi();
    return FxScale(FxUnscale(px, dpi), dpi);
}

RECT WindowRect(HWND wnd) {
    RECT rc;
    GetWindowRect(wnd, &rc);
    return rc;
}

using BarLayoutRestartTest = ProgramRestartTest;

} // namespace

TEST_F(BarLayoutRestartTest, ABarOnAnotherSideAndAMaximisedWindowComeBackAfterARestart) {
    CAppMainFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    frame->ShowWindow(SW_SHOWNORMAL);
    ::SetWindowPos(frame->m_hWnd, nullptr, 60, 40, 880, 620, SWP_NOZORDER);
    Settle();
    frame->DockControlBar(&frame->WorkspaceBar(), AFX_IDW_DOCKBAR_RIGHT);
    frame->DockControlBar(&frame->OutputBar(), AFX_IDW_DOCKBAR_TOP);
    frame->RecalcLayout();
    frame->ShowWindow(SW_MAXIMIZE);
    Settle();
    ASSERT_TRUE(::IsZoomed(frame->m_hWnd));
    ASSERT_EQ(DockIdOf(&frame->WorkspaceBar()), static_cast<UINT>(AFX_IDW_DOCKBAR_RIGHT));
    Close();

    frame = Start();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(::IsZoomed(frame->m_hWnd)) << PlacementRecord();
    EXPECT_EQ(DockIdOf(&frame->WorkspaceBar()), static_cast<UINT>(AFX_IDW_DOCKBAR_RIGHT));
    EXPECT_EQ(DockIdOf(&frame->OutputBar()), static_cast<UINT>(AFX_IDW_DOCKBAR_TOP));
    EXPECT_TRUE(IsInsideFrame(frame, &frame->WorkspaceBar()));
    EXPECT_TRUE(IsInsideFrame(frame, &frame->OutputBar()));
    // The workspace fills the right side of the maximised frame.
    RECT client;
    frame->GetClientRect(&client);
    MapWindowPoints(frame->m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const RECT ws = WindowRect(frame->WorkspaceBar().m_hWnd);
    EXPECT_GE(ws.right, client.right - 2);
    // Restored, the window takes the place it had before it was maximised.
    frame->ShowWindow(SW_RESTORE);
    Settle();
    const RECT normal = WindowRect(frame->m_hWnd);
    EXPECT_EQ(normal.left, 60);
    EXPECT_EQ(normal.top, 40);
    EXPECT_EQ(normal.right, 60 + KeptSize(880));
    EXPECT_EQ(normal.bottom, 40 + KeptSize(620));
    EXPECT_EQ(DockIdOf(&frame->WorkspaceBar()), static_cast<UINT>(AFX_IDW_DOCKBAR_RIGHT));
    Close();
    // Not maximised at the end: not maximised at the next start.
    frame = Start();
    ASSERT_NE(frame, nullptr);
    EXPECT_FALSE(::IsZoomed(frame->m_hWnd));
    Close();
    ForgetBarLayout();
}

TEST_F(BarLayoutRestartTest, TheWindowComesBackWhereItWasUnlessNoMonitorShowsThatPlace) {
    CAppMainFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    frame->ShowWindow(SW_SHOWNORMAL);
    ::SetWindowPos(frame->m_hWnd, nullptr, 150, 90, 700, 480, SWP_NOZORDER);
    Settle();
    Close();
    // The corner on the screen, the size at 96 DPI.
    const UINT dpi = FxSystemDpi();
    EXPECT_EQ(PlacementRecord(), "\"Maximized\"=0|\"Left\"=150|\"Top\"=90|\"Right\"=" +
                                     std::to_string(150 + FxUnscale(700, dpi)) +
                                     "|\"Bottom\"=" + std::to_string(90 + FxUnscale(480, dpi)));
    frame = Start();
    ASSERT_NE(frame, nullptr);
    RECT rc = WindowRect(frame->m_hWnd);
    EXPECT_EQ(rc.left, 150);
    EXPECT_EQ(rc.top, 90);
    EXPECT_EQ(rc.right, 150 + KeptSize(700));
    EXPECT_EQ(rc.bottom, 90 + KeptSize(480));
    EXPECT_FALSE(::IsZoomed(frame->m_hWnd));
    Close();

    // Larger than the monitor, its caption partly on it: whole on the monitor.
    WritePrivateProfileStringA(
        "ControlBars", "MainFrame",
        "\"Maximized\"=0|\"Left\"=-300|\"Top\"=100|\"Right\"=4000|\"Bottom\"=3000",
        TestSettingsPath().c_str());
    frame = Start();
    ASSERT_NE(frame, nullptr);
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    rc = WindowRect(frame->m_hWnd);
    EXPECT_TRUE(EqualRect(&rc, &work))
        << rc.left << "," << rc.top << "," << rc.right << "," << rc.bottom;
    Close();

    // A place on a monitor that is gone, and damaged records: the default place, not
    // maximised, its caption on the screen.
    const char* records[] = {
        "\"Maximized\"=1|\"Left\"=-5000|\"Top\"=-4000|\"Right\"=-4300|\"Bottom\"=-3500",
        "\"Maximized\"=0|\"Left\"=3000|\"Top\"=90|\"Right\"=3700|\"Bottom\"=570",
        "\"Maximized\"=0|\"Left\"=400|\"Top\"=90|\"Right\"=100|\"Bottom\"=570",
        "\"Maximized\"=0|\"Left\"=abc|\"Top\"=|\"Right\"=2000000000",
    };
    for (const char* record : records) {
        WritePrivateProfileStringA("ControlBars", "MainFrame", record, TestSettingsPath().c_str());
        frame = Start();
        ASSERT_NE(frame, nullptr) << record;
        rc = WindowRect(frame->m_hWnd);
        RECT caption = {rc.left, rc.top, rc.right, rc.top + GetSystemMetrics(SM_CYCAPTION)};
        RECT common;
        EXPECT_TRUE(IntersectRect(&common, &caption, &work) && common.right - common.left >= 100)
            << record << ": " << rc.left << "," << rc.top;
        EXPECT_GT(rc.right - rc.left, 100) << record;
        EXPECT_FALSE(::IsZoomed(frame->m_hWnd)) << record;
        Close();
    }
    ForgetBarLayout();
}

TEST_F(BarLayoutRestartTest, AWindowClosedInFullScreenComesBackAtItsPlaceBeforeIt) {
    CAppMainFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    frame->ShowWindow(SW_SHOWNORMAL);
    ::SetWindowPos(frame->m_hWnd, nullptr, 120, 70, 760, 520, SWP_NOZORDER);
    Settle();
    frame->SetFullScreen(true);
    Settle();
    ASSERT_TRUE(frame->IsFullScreen());
    Close();
    frame = Start();
    ASSERT_NE(frame, nullptr);
    EXPECT_FALSE(frame->IsFullScreen());
    const RECT rc = WindowRect(frame->m_hWnd);
    EXPECT_EQ(rc.left, 120);
    EXPECT_EQ(rc.top, 70);
    EXPECT_EQ(rc.right, 120 + KeptSize(760));
    EXPECT_EQ(rc.bottom, 70 + KeptSize(520));
    Close();
    ForgetBarLayout();
}
