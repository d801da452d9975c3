// The bars of the main frame in this process, driven by real mouse input (SendInput from a
// helper thread, while this thread runs the program's messages and its drag loops): edge drags
// between bars of one row and their minimum, moving a bar to another side, floating it and
// docking it back by double-clicks, the close box, rows too long for the frame, and sizing a
// floating bar at its corners.
#include "app/App.h"
#include "app/AppMainFrame.h"
#include "app/CommandIds.h"
#include "common/PathName.h"
#include "framework/CmdUI.h"
#include "framework/DockBar.h"
#include "framework/Dpi.h"
#include "framework/FwIds.h"
#include "framework/MiniDockFrameWnd.h"
#include "workspace/BarTool.h"
#include "workspace/FxControlBar.h"

#include "tests/app/AppTestUtil.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

CApp& TheApp() {
    static CApp* app = new CApp; // lives to the end of the process
    return *app;
}

std::string SettingsPath() {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    return FxPathWithSeparator(FxPathFolder(exe)) + "SETTINGS.INI";
}

// The bars' records of the tests' own settings file go, so that every suite starts from the
// default layout.
void ForgetBarLayout() {
    WritePrivateProfileStringA("ControlBars", nullptr, nullptr, SettingsPath().c_str());
}

class StateCmdUI : public CCmdUI {
public:
    void Enable(bool on = true) override { enabled = on; }
    void SetCheck(int check = 1) override { checked = check; }
    bool enabled = false;
    int checked = -1;
};

// One step of a mouse script: move to (x, y) in screen coordinates, then the button events.
struct MouseStep {
    int x, y;
    DWORD buttons; // MOUSEEVENTF_LEFTDOWN, _LEFTUP, or 0
};

void SendMouse(int x, int y, DWORD buttons) {
    const int cx = GetSystemMetrics(SM_CXSCREEN) - 1, cy = GetSystemMetrics(SM_CYSCREEN) - 1;
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((x * 65535LL + cx / 2) / cx);
    in.mi.dy = static_cast<LONG>((y * 65535LL + cy / 2) / cy);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
    SendInput(1, &in, sizeof in);
}

class DockingTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ForgetBarLayout();
        ASSERT_TRUE(StartInProcessApp(TheApp()));
    }
    static void TearDownTestSuite() {
        StopInProcessApp(TheApp());
        ForgetBarLayout();
    }
    void SetUp() override {
        m_frame = AppMainFrame();
        ASSERT_NE(m_frame, nullptr);
        m_frame->ShowWindow(SW_RESTORE);
        // A known frame in the middle of the screen, with room below it for floating bars.
        ::SetWindowPos(m_frame->m_hWnd, HWND_TOP, 40, 20, 900, 600, SWP_SHOWWINDOW);
        ::SetForegroundWindow(m_frame->m_hWnd);
        // Every test starts from the default sides.
        DockAt(&m_frame->WorkspaceBar(), AFX_IDW_DOCKBAR_LEFT);
        DockAt(&m_frame->OutputBar(), AFX_IDW_DOCKBAR_BOTTOM);
        if (DockIdOf(&m_frame->ToolBar()) != AFX_IDW_DOCKBAR_TOP)
            DockAt(&m_frame->ToolBar(), AFX_IDW_DOCKBAR_TOP);
        for (CControlBar* bar : {static_cast<CControlBar*>(&m_frame->WorkspaceBar()),
                                 static_cast<CControlBar*>(&m_frame->OutputBar()),
                                 static_cast<CControlBar*>(&m_frame->ToolBar())})
            m_frame->ShowControlBar(bar, true, false);
        m_frame->WorkspaceBar().m_sizeVert = {150, 300};
        m_frame->OutputBar().m_sizeHorz = {300, 100};
        Settle();
    }
    void DockAt(CControlBar* bar, UINT side, const RECT* rc = nullptr) {
        m_frame->DockControlBar(bar, side, rc);
        Settle();
    }
    // Runs messages and idle time until the layout rests.
    static void Settle() {
        for (int i = 0; i < 6; ++i) {
            TheApp().PumpPendingMessages();
            Sleep(15);
        }
    }
    // Plays the script from another thread (the drag loops run on this one), a pause after
    // each step, while this thread handles the messages.
    static void Play(const std::vector<MouseStep>& steps, DWORD pauseMs = 60) {
        std::atomic<bool> done(false);
        std::thread input([&] {
            for (const MouseStep& s : steps) {
                SendMouse(s.x, s.y, s.buttons);
                Sleep(pauseMs);
            }
            done = true;
        });
        while (!done) {
            TheApp().PumpPendingMessages();
            Sleep(5);
        }
        input.join();
        Settle();
    }
    static RECT WindowRect(HWND wnd) {
        RECT rc;
        GetWindowRect(wnd, &rc);
        return rc;
    }
    static UINT DockIdOf(CControlBar* bar) {
        return bar->m_pDockBar ? static_cast<UINT>(bar->m_pDockBar->GetDlgCtrlID()) : 0;
    }
    // Both sizing bars in one row of the bottom dock bar: the workspace right of the output
    // window.
    void PutBothInBottomRow() {
        COutputBar& out = m_frame->OutputBar();
        RECT rc = WindowRect(out.m_hWnd);
        RECT right = rc;
        right.left = (rc.left + rc.right) / 2;
        DockAt(&m_frame->WorkspaceBar(), AFX_IDW_DOCKBAR_BOTTOM, &right);
        m_frame->RecalcLayout();
        Settle();
    }
    CAppMainFrame* m_frame = nullptr;
    // A sizing bar's least size, 32 pixels at 96 DPI, at the frame's density.
    int Least() const { return FxScale(32, FxDpiOf(m_frame->m_hWnd)); }
};

TEST_F(DockingTest, TheTwoSizingBarsStartAtTheirDefaultSides) {
    EXPECT_EQ(DockIdOf(&m_frame->WorkspaceBar()), static_cast<UINT>(AFX_IDW_DOCKBAR_LEFT));
    EXPECT_EQ(DockIdOf(&m_frame->OutputBar()), static_cast<UINT>(AFX_IDW_DOCKBAR_BOTTOM));
    EXPECT_TRUE(m_frame->WorkspaceBar().IsWindowVisible());
    EXPECT_TRUE(m_frame->OutputBar().IsWindowVisible());
    // The output window spans the frame's client width (less the overlap of its borders).
    RECT client;
    m_frame->GetClientRect(&client);
    RECT out = WindowRect(m_frame->OutputBar().m_hWnd);
    EXPECT_GE(out.right - out.left, client.right - 4);
    EXPECT_EQ(m_frame->OutputBar().GetEdgeFlags() & 0x0F, static_cast<UINT>(FXCB_EDGETOP));
    EXPECT_EQ(m_frame->WorkspaceBar().GetEdgeFlags() & 0x0F, static_cast<UINT>(FXCB_EDGERIGHT));
    // The output window's container fills its client area.
    RECT inner, container;
    m_frame->OutputBar().GetClientRect(&inner);
    GetWindowRect(m_frame->OutputBar().GetContainer(), &container);
    EXPECT_EQ(container.right - container.left, inner.right);
    EXPECT_EQ(container.bottom - container.top, inner.bottom);
}

TEST_F(DockingTest, DraggingTheEdgeBetweenTwoBarsOfARowMovesLengthAndStopsAtTheMinimum) {
    PutBothInBottomRow();
    COutputBar& out = m_frame->OutputBar();
    CWorkspaceBar& ws = m_frame->WorkspaceBar();
    ASSERT_EQ(out.m_pDockBar, ws.m_pDockBar);
    int first, end;
    ws.m_pDockBar->GetRowRange(ws.m_pDockBar->FindBar(&ws), &first, &end);
    ASSERT_EQ(ws.m_pDockBar->FindBar(&out), first) << "one row: output window, workspace";
    ASSERT_EQ(end - first, 2);
    EXPECT_TRUE(out.GetEdgeFlags() & FXCB_EDGERIGHT);
    const int total = out.m_sizeHorz.cx + ws.m_sizeHorz.cx;
    RECT rc = WindowRect(out.m_hWnd);
    const int y = (rc.top + rc.bottom) / 2;
    // The neighbours overlap by two pixels: the edge is taken just inside the output window.
    const int edgeX = rc.right - 4;
    EXPECT_EQ(WindowFromPoint({edgeX, y}), out.m_hWnd);
    EXPECT_EQ(SendMessageA(out.m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(edgeX, y)), HTRIGHT);

    // A small drag to the left: the output window gives 40 pixels to the workspace.
    const int lengthBefore = out.m_sizeHorz.cx;
    Play({{rc.right - 4, y, 0},
          {rc.right - 4, y, MOUSEEVENTF_LEFTDOWN},
          {rc.right - 20, y, 0},
          {rc.right - 44, y, 0},
          {rc.right - 44, y, MOUSEEVENTF_LEFTUP}});
    EXPECT_FALSE(out.IsTracking());
    EXPECT_EQ(out.m_sizeHorz.cx, lengthBefore - 40);
    EXPECT_EQ(out.m_sizeHorz.cx + ws.m_sizeHorz.cx, total);
    RECT wsRect = WindowRect(ws.m_hWnd);
    EXPECT_EQ(wsRect.right - wsRect.left, ws.m_sizeHorz.cx) << "the window follows at idle";

    // Far to the right: the workspace ends at exactly its minimum.
    rc = WindowRect(out.m_hWnd);
    Play({{rc.right - 4, y, 0},
          {rc.right - 4, y, MOUSEEVENTF_LEFTDOWN},
          {rc.right + 100, y, 0},
          {rc.right + 2000, y, 0},
          {rc.right + 2000, y, MOUSEEVENTF_LEFTUP}});
    EXPECT_EQ(ws.m_sizeHorz.cx, Least());
    EXPECT_EQ(out.m_sizeHorz.cx, total - Least());
    wsRect = WindowRect(ws.m_hWnd);
    EXPECT_EQ(wsRect.right - wsRect.left, Least());

    // Far to the left: now the output window stops at 32.
    rc = WindowRect(out.m_hWnd);
    Play({{rc.right - 4, y, 0},
          {rc.right - 4, y, MOUSEEVENTF_LEFTDOWN},
          {rc.right - 100, y, 0},
          {rc.left - 2000, y, 0},
          {rc.left - 2000, y, MOUSEEVENTF_LEFTUP}});
    EXPECT_EQ(out.m_sizeHorz.cx, Least());
    EXPECT_EQ(ws.m_sizeHorz.cx, total - Least());
}

TEST_F(DockingTest, DraggingTheEdgeAcrossTheRowChangesTheRowsThickness) {
    COutputBar& out = m_frame->OutputBar();
    RECT rc = WindowRect(out.m_hWnd);
    const int x = (rc.left + rc.right) / 2;
    const int before = out.m_sizeHorz.cy;
    Play({{x, rc.top + 2, 0},
          {x, rc.top + 2, MOUSEEVENTF_LEFTDOWN},
          {x, rc.top - 20, 0},
          {x, rc.top - 48, 0},
          {x, rc.top - 48, MOUSEEVENTF_LEFTUP}});
    EXPECT_EQ(out.m_sizeHorz.cy, before + 50);
    RECT after = WindowRect(out.m_hWnd);
    EXPECT_EQ(after.bottom - after.top, before + 50);
    // Pulled down beyond everything: the row keeps its minimum thickness.
    Play({{x, after.top + 2, 0},
          {x, after.top + 2, MOUSEEVENTF_LEFTDOWN},
          {x, after.top + 50, 0},
          {x, after.bottom + 3000, 0},
          {x, after.bottom + 3000, MOUSEEVENTF_LEFTUP}});
    EXPECT_EQ(out.m_sizeHorz.cy, Least());
}

TEST_F(DockingTest, ABarDragsToAnotherSideToFloatingAndBackByDoubleClicks) {
    CWorkspaceBar& ws = m_frame->WorkspaceBar();
    RECT rc = WindowRect(ws.m_hWnd);
    RECT grip = ws.GetGripperRect();
    const POINT start = {rc.left + (grip.left + grip.right) / 2,
                         rc.top + (grip.top + grip.bottom) / 2};
    RECT client;
    m_frame->GetClientRect(&client);
    MapWindowPoints(m_frame->m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const POINT right = {client.right - 6, (client.top + client.bottom) / 2};
    Play({{start.x, start.y, 0},
          {start.x, start.y, MOUSEEVENTF_LEFTDOWN},
          {start.x + 20, start.y + 20, 0},
          {right.x - 100, right.y, 0},
          {right.x, right.y, 0},
          {right.x, right.y, MOUSEEVENTF_LEFTUP}});
    EXPECT_EQ(DockIdOf(&ws), static_cast<UINT>(AFX_IDW_DOCKBAR_RIGHT));
    EXPECT_TRUE(ws.GetEdgeFlags() & FXCB_EDGELEFT);
    rc = WindowRect(ws.m_hWnd);
    EXPECT_GE(rc.right, client.right - 2);

    // Dropped below the frame: it floats in a mini frame of its own.
    grip = ws.GetGripperRect();
    const POINT from = {rc.left + (grip.left + grip.right) / 2,
                        rc.top + (grip.top + grip.bottom) / 2};
    const POINT below = {400, client.bottom + 120};
    Play({{from.x, from.y, 0},
          {from.x, from.y, MOUSEEVENTF_LEFTDOWN},
          {from.x - 30, from.y + 30, 0},
          {below.x, below.y - 40, 0},
          {below.x, below.y, 0},
          {below.x, below.y, MOUSEEVENTF_LEFTUP}});
    ASSERT_TRUE(ws.IsFloating());
    auto* mini = DynamicDowncast<CMiniDockFrameWnd>(ws.m_pDockBar->GetParent());
    ASSERT_NE(mini, nullptr);
    EXPECT_TRUE(mini->IsWindowVisible());
    EXPECT_EQ(ws.GetEdgeFlags() & 0x0F, 0u) << "no sizing edges while floating";
    const RECT closeBox = ws.GetCloseRect();
    EXPECT_TRUE(IsRectEmpty(&closeBox)) << "no close box while floating";

    // A double-click on the caption docks it back where it was docked last.
    RECT frameRect = WindowRect(mini->m_hWnd);
    const int captionY =
        frameRect.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYSMCAPTION) / 2;
    const int captionX = frameRect.left + 30;
    ASSERT_EQ(SendMessageA(mini->m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(captionX, captionY)),
              HTCAPTION);
    Play({{captionX, captionY, 0},
          {captionX, captionY, MOUSEEVENTF_LEFTDOWN},
          {captionX, captionY, MOUSEEVENTF_LEFTUP},
          {captionX, captionY, MOUSEEVENTF_LEFTDOWN},
          {captionX, captionY, MOUSEEVENTF_LEFTUP}},
         20);
    EXPECT_FALSE(ws.IsFloating());
    EXPECT_EQ(DockIdOf(&ws), static_cast<UINT>(AFX_IDW_DOCKBAR_RIGHT));

    // A double-click on the docked bar's gripper floats it again.
    rc = WindowRect(ws.m_hWnd);
    grip = ws.GetGripperRect();
    const POINT g = {rc.left + (grip.left + grip.right) / 2, rc.top + (grip.top + grip.bottom) / 2};
    Play({{g.x, g.y, 0},
          {g.x, g.y, MOUSEEVENTF_LEFTDOWN},
          {g.x, g.y, MOUSEEVENTF_LEFTUP},
          {g.x, g.y, MOUSEEVENTF_LEFTDOWN},
          {g.x, g.y, MOUSEEVENTF_LEFTUP}},
         20);
    EXPECT_TRUE(ws.IsFloating());
    // Dragged by its caption onto a dock side, it docks there.
    mini = DynamicDowncast<CMiniDockFrameWnd>(ws.m_pDockBar->GetParent());
    ASSERT_NE(mini, nullptr);
    frameRect = WindowRect(mini->m_hWnd);
    const POINT cap2 = {frameRect.left + 30, frameRect.top + GetSystemMetrics(SM_CYFRAME) +
                                                 GetSystemMetrics(SM_CYSMCAPTION) / 2};
    Play({{cap2.x, cap2.y, 0},
          {cap2.x, cap2.y, MOUSEEVENTF_LEFTDOWN},
          {cap2.x + 20, cap2.y - 20, 0},
          {right.x, right.y, 0},
          {right.x, right.y, MOUSEEVENTF_LEFTUP}});
    EXPECT_EQ(DockIdOf(&ws), static_cast<UINT>(AFX_IDW_DOCKBAR_RIGHT));
    EXPECT_EQ(m_frame->GetFloatingFrames().size(), 0u) << "the empty mini frame goes";
}

TEST_F(DockingTest, TheCloseBoxHidesTheBarOnlyWhenReleasedOverIt) {
    COutputBar& out = m_frame->OutputBar();
    RECT rc = WindowRect(out.m_hWnd);
    RECT box = out.GetCloseRect();
    const POINT c = {rc.left + (box.left + box.right) / 2, rc.top + (box.top + box.bottom) / 2};
    EXPECT_EQ(SendMessageA(out.m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(c.x, c.y)), HTCLOSE);
    // Pressed, then released elsewhere: the bar stays and the box comes up again.
    std::atomic<bool> sawPressed(false);
    Play({{c.x, c.y, 0}, {c.x, c.y, MOUSEEVENTF_LEFTDOWN}});
    sawPressed = out.IsClosePressed();
    Play({{c.x + 60, c.y - 60, 0}, {c.x + 60, c.y - 60, MOUSEEVENTF_LEFTUP}});
    EXPECT_TRUE(sawPressed.load());
    EXPECT_FALSE(out.IsClosePressed());
    EXPECT_TRUE(out.IsWindowVisible());

    // Pressed and released over it: the bar hides and its View item is unchecked.
    Play({{c.x, c.y, 0}, {c.x, c.y, MOUSEEVENTF_LEFTDOWN}, {c.x, c.y, MOUSEEVENTF_LEFTUP}});
    EXPECT_FALSE(out.IsWindowVisible());
    StateCmdUI state;
    state.m_nID = ID_VIEW_OUTPUT;
    m_frame->OnUpdateViewBar(&state);
    EXPECT_EQ(state.checked, 0);
    EXPECT_TRUE(state.enabled);
    // The View command shows it again, checked.
    m_frame->SendMessage(WM_COMMAND, ID_VIEW_OUTPUT);
    Settle();
    EXPECT_TRUE(out.IsWindowVisible());
    m_frame->OnUpdateViewBar(&state);
    EXPECT_EQ(state.checked, 1);
}

TEST_F(DockingTest, ARowTooLongForTheFrameBreaksIntoTwo) {
    PutBothInBottomRow();
    COutputBar& out = m_frame->OutputBar();
    CWorkspaceBar& ws = m_frame->WorkspaceBar();
    CDockBar* dock = out.m_pDockBar;
    ASSERT_EQ(dock, ws.m_pDockBar);
    RECT client;
    m_frame->GetClientRect(&client);
    // Each bar needs more than half the frame: both cannot share the row.
    out.m_sizeMinHorz.cx = ws.m_sizeMinHorz.cx = client.right * 2 / 3;
    m_frame->RecalcLayout();
    Settle();
    ASSERT_EQ(ws.m_pDockBar, dock) << "still on the same side";
    int first, end;
    dock->GetRowRange(dock->FindBar(&out), &first, &end);
    int wsFirst, wsEnd;
    dock->GetRowRange(dock->FindBar(&ws), &wsFirst, &wsEnd);
    EXPECT_NE(first, wsFirst) << "two rows";
    RECT a = WindowRect(out.m_hWnd), b = WindowRect(ws.m_hWnd);
    EXPECT_TRUE(a.bottom <= b.top + 2 || b.bottom <= a.top + 2) << "one above the other";
    // Each bar alone in its row takes the whole length.
    EXPECT_GE(a.right - a.left, client.right);
    EXPECT_GE(b.right - b.left, client.right);
    out.m_sizeMinHorz.cx = ws.m_sizeMinHorz.cx = 32;
}

TEST_F(DockingTest, ASizingBarAfterTheToolbarInItsRowTakesTheRestOfTheRow) {
    // Wide enough for the toolbar and the output window side by side.
    ::SetWindowPos(m_frame->m_hWnd, nullptr, 10, 20, 1240, 600, SWP_NOZORDER);
    Settle();
    CBarTool& tool = m_frame->ToolBar();
    COutputBar& out = m_frame->OutputBar();
    const RECT outRc = WindowRect(out.m_hWnd);
    const RECT toolRc = WindowRect(tool.m_hWnd);
    const int toolLength = toolRc.right - toolRc.left;
    // Dropped at the start of the output window's row: the toolbar comes first in it.
    RECT at = {outRc.left - 1, outRc.top, outRc.left - 1 + toolLength,
               outRc.top + (toolRc.bottom - toolRc.top)};
    DockAt(&tool, AFX_IDW_DOCKBAR_BOTTOM, &at);
    m_frame->RecalcLayout();
    Settle();
    CDockBar* dock = out.m_pDockBar;
    ASSERT_EQ(tool.m_pDockBar, dock);
    int first, end;
    dock->GetRowRange(dock->FindBar(&out), &first, &end);
    ASSERT_EQ(dock->FindBar(&tool), first) << "one row: the toolbar, then the output window";
    ASSERT_EQ(end - first, 2);
    RECT client;
    m_frame->GetClientRect(&client);
    MapWindowPoints(m_frame->m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    auto expectFitted = [&](const char* when) {
        const RECT t = WindowRect(tool.m_hWnd), o = WindowRect(out.m_hWnd);
        EXPECT_EQ(t.right - t.left, toolLength) << when << ": the toolbar keeps its length";
        EXPECT_EQ(o.left, t.right - 2) << when << ": the neighbours overlap by two pixels";
        EXPECT_EQ(o.right, client.right) << when << ": to the end of the row";
        EXPECT_EQ(out.m_sizeHorz.cx, o.right - o.left) << when;
    };
    expectFitted("docked");
    // A narrower frame: the output window gives up the difference.
    ::SetWindowPos(m_frame->m_hWnd, nullptr, 10, 20, 1140, 600, SWP_NOZORDER);
    Settle();
    m_frame->GetClientRect(&client);
    MapWindowPoints(m_frame->m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    expectFitted("narrower");
}

TEST_F(DockingTest, AFloatingBarSizesAtItsCornersButNeverBelowItsMinimum) {
    COutputBar& out = m_frame->OutputBar();
    RECT client;
    m_frame->GetClientRect(&client);
    MapWindowPoints(m_frame->m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    m_frame->FloatControlBar(&out, {300, client.bottom + 60});
    Settle();
    ASSERT_TRUE(out.IsFloating());
    auto* mini = DynamicDowncast<CMiniDockFrameWnd>(out.m_pDockBar->GetParent());
    ASSERT_NE(mini, nullptr);
    EXPECT_FALSE(mini->GetStyle() & MFS_4THICKFRAME) << "corners size too";
    RECT fr = WindowRect(mini->m_hWnd);
    const POINT corner = {fr.right - 2, fr.bottom - 2};
    ASSERT_EQ(SendMessageA(mini->m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y)),
              HTBOTTOMRIGHT);
    // Larger by the bottom-right corner: both sizes follow the pointer.
    const SIZE before = out.m_sizeFloat;
    Play({{corner.x, corner.y, 0},
          {corner.x, corner.y, MOUSEEVENTF_LEFTDOWN},
          {corner.x + 20, corner.y + 10, 0},
          {corner.x + 50, corner.y + 30, 0},
          {corner.x + 50, corner.y + 30, MOUSEEVENTF_LEFTUP}});
    EXPECT_EQ(out.m_sizeFloat.cx, before.cx + 50);
    EXPECT_EQ(out.m_sizeFloat.cy, before.cy + 30);
    RECT bar = WindowRect(out.m_hWnd);
    EXPECT_EQ(bar.right - bar.left, out.m_sizeFloat.cx);
    // Far up and left: never below 32 x 32.
    fr = WindowRect(mini->m_hWnd);
    Play({{fr.right - 2, fr.bottom - 2, 0},
          {fr.right - 2, fr.bottom - 2, MOUSEEVENTF_LEFTDOWN},
          {fr.right - 100, fr.bottom - 50, 0},
          {fr.left - 300, fr.top - 300, 0},
          {fr.left - 300, fr.top - 300, MOUSEEVENTF_LEFTUP}});
    EXPECT_EQ(out.m_sizeFloat.cx, Least());
    EXPECT_EQ(out.m_sizeFloat.cy, Least());
    bar = WindowRect(out.m_hWnd);
    EXPECT_GE(bar.right - bar.left, Least());
    EXPECT_GE(bar.bottom - bar.top, Least());
    // By the top-left corner, far down and right: the frame's right and bottom stay put.
    fr = WindowRect(mini->m_hWnd);
    Play({{fr.left + 1, fr.top + 1, 0},
          {fr.left + 1, fr.top + 1, MOUSEEVENTF_LEFTDOWN},
          {fr.left - 60, fr.top - 40, 0},
          {fr.left - 60, fr.top - 40, MOUSEEVENTF_LEFTUP}});
    EXPECT_EQ(out.m_sizeFloat.cx, Least() + 61);
    EXPECT_EQ(out.m_sizeFloat.cy, Least() + 41);
    RECT moved = WindowRect(mini->m_hWnd);
    EXPECT_EQ(moved.right, fr.right);
    EXPECT_EQ(moved.bottom, fr.bottom);
    out.m_sizeFloat = {300, 100};
}

} // namespace

namespace {

TEST_F(DockingTest, FullScreenHidesTheShownBarsAndBringsBackOnlyThose) {
    COutputBar& out = m_frame->OutputBar();
    CWorkspaceBar& ws = m_frame->WorkspaceBar();
    m_frame->SendMessage(WM_COMMAND, ID_FILE_NEW);
    Settle();
    ASSERT_NE(m_frame->MDIGetActive(), nullptr);
    // The workspace is hidden before: it stays hidden afterwards.
    m_frame->SendMessage(WM_COMMAND, ID_VIEW_WORKSPACE);
    Settle();
    ASSERT_FALSE(ws.IsWindowVisible());
    m_frame->SetFullScreen(true);
    Settle();
    EXPECT_FALSE(out.IsWindowVisible());
    EXPECT_FALSE(ws.IsWindowVisible());
    m_frame->SetFullScreen(false);
    Settle();
    EXPECT_TRUE(out.IsWindowVisible());
    EXPECT_FALSE(ws.IsWindowVisible());
    TheApp().CloseAllDocuments(false);
    Settle();
}

TEST_F(DockingTest, TheFileTreeAndClipTextCommandsShowTheWorkspaceAtTheirPage) {
    CWorkspaceBar& ws = m_frame->WorkspaceBar();
    m_frame->ShowControlBar(&ws, false, false);
    m_frame->SendMessage(WM_COMMAND, ID_VIEW_CLIPTEXT);
    Settle();
    EXPECT_TRUE(ws.IsWindowVisible());
    EXPECT_TRUE(ws.IsPageVisible(CWorkspaceBar::kClipTextPage));
    EXPECT_FALSE(ws.IsPageVisible(CWorkspaceBar::kFileTreePage));
    StateCmdUI state;
    state.m_nID = ID_VIEW_CLIPTEXT;
    m_frame->OnUpdateViewPage(&state);
    EXPECT_EQ(state.checked, 1);
    m_frame->SendMessage(WM_COMMAND, ID_VIEW_FILETREE);
    Settle();
    EXPECT_TRUE(ws.IsPageVisible(CWorkspaceBar::kFileTreePage));
    m_frame->OnUpdateViewPage(&state);
    EXPECT_EQ(state.checked, 0);
}

} // namespace

// --- The toolbar ---------------------------------------------------------------------------------

namespace {

// A point of the toolbar (screen coordinates) on no button: its blank right or bottom border.
POINT ToolbarBlankPoint(CToolBar& bar) {
    RECT rc;
    GetWindowRect(bar.m_hWnd, &rc);
    const POINT candidates[] = {{rc.right - 2, (rc.top + rc.bottom) / 2},
                                {(rc.left + rc.right) / 2, rc.bottom - 2},
                                {rc.left + 4, rc.bottom - 2},
                                {rc.right - 2, rc.top + 4}};
    for (POINT pt : candidates) {
        POINT local = pt;
        ScreenToClient(bar.m_hWnd, &local);
        if (WindowFromPoint(pt) == bar.m_hWnd &&
            SendMessageA(bar.m_hWnd, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&local)) < 0)
            return pt;
    }
    ADD_FAILURE() << "no blank point on the toolbar";
    return candidates[0];
}

// The screen rectangles of the toolbar's buttons (separators left out).
std::vector<RECT> ButtonRects(CToolBar& bar) {
    std::vector<RECT> rects;
    for (int i = 0; i < bar.GetButtonCount(); ++i) {
        RECT rc;
        if ((bar.GetButtonStyle(i) & BTNS_SEP) || !bar.GetItemRect(i, &rc))
            continue;
        MapWindowPoints(bar.m_hWnd, nullptr, reinterpret_cast<POINT*>(&rc), 2);
        rects.push_back(rc);
    }
    return rects;
}

// Docked bars reach two pixels past the frame's client edge, where their borders meet the
// frame's: a button is within when it lies inside but for those two pixels.
bool Within(const RECT& inner, const RECT& outer) {
    const int slack = 2;
    return inner.left >= outer.left - slack && inner.top >= outer.top - slack &&
           inner.right <= outer.right + slack && inner.bottom <= outer.bottom + slack;
}

} // namespace

TEST_F(DockingTest, TheToolbarDragsByItsBlankAreaToTheLeftAndWrapsIntoColumns) {
    // A short frame: one column of buttons would run past its bottom (as large as the
    // density makes the bars).
    const UINT dpi = FxDpiOf(m_frame->m_hWnd);
    ::SetWindowPos(m_frame->m_hWnd, nullptr, 40, 20, FxScale(700, dpi), FxScale(360, dpi),
                   SWP_NOZORDER);
    Settle();
    CBarTool& bar = m_frame->ToolBar();
    ASSERT_EQ(DockIdOf(&bar), static_cast<UINT>(AFX_IDW_DOCKBAR_TOP));
    ASSERT_GT(bar.GetButtonCount(), 10);
    RECT client;
    m_frame->GetClientRect(&client);
    MapWindowPoints(m_frame->m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const POINT start = ToolbarBlankPoint(bar);
    const POINT left = {client.left + 4, (client.top + client.bottom) / 2};
    Play({{start.x, start.y, 0},
          {start.x, start.y, MOUSEEVENTF_LEFTDOWN},
          {start.x - 20, start.y + 20, 0},
          {left.x + 100, left.y, 0},
          {left.x, left.y, 0},
          {left.x, left.y, MOUSEEVENTF_LEFTUP}});
    EXPECT_EQ(DockIdOf(&bar), static_cast<UINT>(AFX_IDW_DOCKBAR_LEFT));
    EXPECT_FALSE(bar.IsHorz());
    const std::vector<RECT> buttons = ButtonRects(bar);
    ASSERT_FALSE(buttons.empty());
    int columns = 0, lastLeft = -100000;
    for (const RECT& rc : buttons) {
        EXPECT_TRUE(Within(rc, client)) << rc.left << "," << rc.top << " beyond the frame";
        if (rc.left > lastLeft)
            lastLeft = rc.left;
    }
    for (const RECT& rc : buttons)
        if (rc.left == buttons.front().left)
            ++columns;
    const int height = client.bottom - client.top;
    EXPECT_GT(static_cast<int>(buttons.size()) * bar.GetButtonSize().cy, height)
        << "the frame is short enough";
    EXPECT_GT(lastLeft, buttons.front().left) << "a second column";
    RECT barRect = WindowRect(bar.m_hWnd);
    EXPECT_LE(barRect.bottom, client.bottom + 2);
    // A click on a button still is the button's: the toolbar stays where it is.
    const RECT b0 = buttons.front();
    Play({{(b0.left + b0.right) / 2, (b0.top + b0.bottom) / 2, 0},
          {(b0.left + b0.right) / 2 + 30, (b0.top + b0.bottom) / 2, 0}});
    EXPECT_EQ(DockIdOf(&bar), static_cast<UINT>(AFX_IDW_DOCKBAR_LEFT));
    (void)columns;
}

TEST_F(DockingTest, TheToolbarFloatsAsABlockAndADoubleClickDocksItBack) {
    CBarTool& bar = m_frame->ToolBar();
    RECT client;
    m_frame->GetClientRect(&client);
    MapWindowPoints(m_frame->m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const int rowWidth = WindowRect(bar.m_hWnd).right - WindowRect(bar.m_hWnd).left;
    // Dropped below the frame: it floats.
    const POINT start = ToolbarBlankPoint(bar);
    const POINT below = {300, client.bottom + 100};
    Play({{start.x, start.y, 0},
          {start.x, start.y, MOUSEEVENTF_LEFTDOWN},
          {start.x - 20, start.y + 20, 0},
          {below.x, below.y - 40, 0},
          {below.x, below.y, 0},
          {below.x, below.y, MOUSEEVENTF_LEFTUP}});
    ASSERT_TRUE(bar.IsFloating()) << "docked at " << DockIdOf(&bar);
    auto* mini = DynamicDowncast<CMiniDockFrameWnd>(bar.m_pDockBar->GetParent());
    ASSERT_NE(mini, nullptr);
    EXPECT_TRUE(mini->IsWindowVisible());
    EXPECT_EQ(mini->GetWindowText(), bar.GetWindowText()) << "the toolbar's name as caption";
    EXPECT_TRUE(mini->GetStyle() & WS_SYSMENU) << "a close box";
    // A block, not one long row: narrower than the docked row and more than one row high.
    RECT frameRect = WindowRect(mini->m_hWnd);
    EXPECT_LT(frameRect.right - frameRect.left, rowWidth / 2);
    const std::vector<RECT> buttons = ButtonRects(bar);
    RECT inside;
    mini->GetClientRect(&inside);
    MapWindowPoints(mini->m_hWnd, nullptr, reinterpret_cast<POINT*>(&inside), 2);
    int rows = 0;
    for (const RECT& rc : buttons) {
        EXPECT_TRUE(Within(rc, inside));
        if (rc.left == buttons.front().left)
            ++rows;
    }
    EXPECT_GE(rows, 2);
    EXPECT_GT(frameRect.right - frameRect.left, frameRect.bottom - frameRect.top)
        << "wider than high";

    // A double-click on its blank area docks it back at the top.
    const POINT blank = ToolbarBlankPoint(bar);
    Play({{blank.x, blank.y, 0},
          {blank.x, blank.y, MOUSEEVENTF_LEFTDOWN},
          {blank.x, blank.y, MOUSEEVENTF_LEFTUP},
          {blank.x, blank.y, MOUSEEVENTF_LEFTDOWN},
          {blank.x, blank.y, MOUSEEVENTF_LEFTUP}},
         20);
    EXPECT_FALSE(bar.IsFloating());
    EXPECT_EQ(DockIdOf(&bar), static_cast<UINT>(AFX_IDW_DOCKBAR_TOP));
    EXPECT_EQ(m_frame->GetFloatingFrames().size(), 0u);
    // Docked, a double-click floats it; one on the mini frame's caption docks it again.
    const POINT again = ToolbarBlankPoint(bar);
    Play({{again.x, again.y, 0},
          {again.x, again.y, MOUSEEVENTF_LEFTDOWN},
          {again.x, again.y, MOUSEEVENTF_LEFTUP},
          {again.x, again.y, MOUSEEVENTF_LEFTDOWN},
          {again.x, again.y, MOUSEEVENTF_LEFTUP}},
         20);
    ASSERT_TRUE(bar.IsFloating());
    mini = DynamicDowncast<CMiniDockFrameWnd>(bar.m_pDockBar->GetParent());
    ASSERT_NE(mini, nullptr);
    frameRect = WindowRect(mini->m_hWnd);
    const POINT caption = {frameRect.left + 12, frameRect.top + GetSystemMetrics(SM_CYFRAME) +
                                                    GetSystemMetrics(SM_CYSMCAPTION) / 2};
    Play({{caption.x, caption.y, 0},
          {caption.x, caption.y, MOUSEEVENTF_LEFTDOWN},
          {caption.x, caption.y, MOUSEEVENTF_LEFTUP},
          {caption.x, caption.y, MOUSEEVENTF_LEFTDOWN},
          {caption.x, caption.y, MOUSEEVENTF_LEFTUP}},
         20);
    EXPECT_EQ(DockIdOf(&bar), static_cast<UINT>(AFX_IDW_DOCKBAR_TOP));
}

TEST_F(DockingTest, ANarrowFrameKeepsEveryTopToolbarButtonVisible) {
    CBarTool& bar = m_frame->ToolBar();
    ::SetWindowPos(m_frame->m_hWnd, nullptr, 40, 20, 260, 500, SWP_NOZORDER);
    m_frame->RecalcLayout();
    Settle();
    ASSERT_EQ(DockIdOf(&bar), static_cast<UINT>(AFX_IDW_DOCKBAR_TOP));
    RECT client;
    m_frame->GetClientRect(&client);
    MapWindowPoints(m_frame->m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const std::vector<RECT> buttons = ButtonRects(bar);
    ASSERT_FALSE(buttons.empty());
    int rows = 0;
    for (const RECT& rc : buttons) {
        EXPECT_TRUE(Within(rc, client)) << rc.left << "," << rc.top << " beyond the frame";
        if (rc.left == buttons.front().left)
            ++rows;
    }
    EXPECT_GE(rows, 3);
    // The bars below follow the taller toolbar: the document area starts beneath it.
    RECT barRect = WindowRect(bar.m_hWnd);
    EXPECT_GE(barRect.bottom - barRect.top, rows * 23);
    // Wide again: one row.
    ::SetWindowPos(m_frame->m_hWnd, nullptr, 40, 20, 1000, 500, SWP_NOZORDER);
    m_frame->RecalcLayout();
    Settle();
    const std::vector<RECT> wide = ButtonRects(bar);
    for (const RECT& rc : wide)
        EXPECT_EQ(rc.top, wide.front().top);
}

TEST_F(DockingTest, AClickOnTheToolbarsBlankAreaLeavesItWhereAndAsItWas) {
    CBarTool& bar = m_frame->ToolBar();
    ASSERT_EQ(DockIdOf(&bar), static_cast<UINT>(AFX_IDW_DOCKBAR_TOP));
    const std::vector<RECT> before = ButtonRects(bar);
    const RECT barBefore = WindowRect(bar.m_hWnd);
    const POINT blank = ToolbarBlankPoint(bar);
    Play({{blank.x, blank.y, 0},
          {blank.x, blank.y, MOUSEEVENTF_LEFTDOWN},
          {blank.x, blank.y, MOUSEEVENTF_LEFTUP}});
    EXPECT_EQ(DockIdOf(&bar), static_cast<UINT>(AFX_IDW_DOCKBAR_TOP));
    const std::vector<RECT> after = ButtonRects(bar);
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i)
        EXPECT_TRUE(EqualRect(&after[i], &before[i])) << "button " << i << " moved";
    const RECT barAfter = WindowRect(bar.m_hWnd);
    EXPECT_TRUE(EqualRect(&barAfter, &barBefore));
}

TEST_F(DockingTest, AFloatingToolbarWrapsToTheWidthItsFrameIsSizedTo) {
    CBarTool& bar = m_frame->ToolBar();
    RECT client;
    m_frame->GetClientRect(&client);
    MapWindowPoints(m_frame->m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    m_frame->FloatControlBar(&bar, {200, client.bottom + 40});
    Settle();
    ASSERT_TRUE(bar.IsFloating());
    auto* mini = DynamicDowncast<CMiniDockFrameWnd>(bar.m_pDockBar->GetParent());
    ASSERT_NE(mini, nullptr);
    auto countRows = [&] {
        std::vector<LONG> tops;
        for (const RECT& rc : ButtonRects(bar))
            if (std::find(tops.begin(), tops.end(), rc.top) == tops.end())
                tops.push_back(rc.top);
        return static_cast<int>(tops.size());
    };
    const int rowsBefore = countRows();
    RECT fr = WindowRect(mini->m_hWnd);
    const int y = (fr.top + fr.bottom) / 2;
    ASSERT_EQ(SendMessageA(mini->m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(fr.right - 2, y)), HTRIGHT);
    // Narrower by its right edge: more rows, every button inside the frame.
    Play({{fr.right - 2, y, 0},
          {fr.right - 2, y, MOUSEEVENTF_LEFTDOWN},
          {fr.right - 30, y, 0},
          {fr.right - 90, y, 0},
          {fr.right - 90, y, MOUSEEVENTF_LEFTUP}});
    const RECT narrow = WindowRect(mini->m_hWnd);
    EXPECT_LT(narrow.right - narrow.left, fr.right - fr.left - 60);
    EXPECT_GT(countRows(), rowsBefore);
    RECT inside;
    mini->GetClientRect(&inside);
    MapWindowPoints(mini->m_hWnd, nullptr, reinterpret_cast<POINT*>(&inside), 2);
    for (const RECT& rc : ButtonRects(bar))
        EXPECT_TRUE(Within(rc, inside));
    // The width stays when the frame lays the bar out again.
    mini->RecalcLayout();
    Settle();
    const RECT again = WindowRect(mini->m_hWnd);
    EXPECT_EQ(again.right - again.left, narrow.right - narrow.left);
    // Far wider than all the buttons: one row, no wider than the row.
    fr = again;
    Play({{fr.right - 2, y, 0},
          {fr.right - 2, y, MOUSEEVENTF_LEFTDOWN},
          {fr.right + 100, y, 0},
          {fr.right + 1200, y, 0},
          {fr.right + 1200, y, MOUSEEVENTF_LEFTUP}});
    EXPECT_EQ(countRows(), 1);
    m_frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    Settle();
}
