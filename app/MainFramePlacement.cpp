// The main window's placement across runs: its normal rectangle and whether it was maximised,
// kept as the "MainFrame" record beside the bars' records (their rectangles are in its client
// coordinates), put back before the bars are made, and only on a monitor that exists.
// Layer: app/.
#include "app/AppMainFrame.h"

#include "app/App.h"
#include "app/settings/IniCodec.h"

#include <cstdlib>

namespace {

const char kPlacementSection[] = "ControlBars";
const char kPlacementKey[] = "MainFrame";
// A saved size beyond this is taken for damage, not for a window.
const int kMaxFrameExtent = 16384;
// The least of the caption a monitor must show for the user to take hold of the window.
const int kReachableCaption = 48;

// Whether some monitor's work area shows enough of the rectangle (screen coordinates) to take
// hold of: at least kReachableCaption pixels across and a few down.
bool IsOnSomeMonitor(const RECT& rc) {
    HMONITOR monitor = ::MonitorFromRect(&rc, MONITOR_DEFAULTTONULL);
    if (!monitor)
        return false;
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoA(monitor, &info))
        return false;
    RECT common;
    if (!::IntersectRect(&common, &rc, &info.rcWork))
        return false;
    return common.right - common.left >= kReachableCaption && common.bottom - common.top >= 8;
}

// Workspace coordinates (those of WINDOWPLACEMENT) are relative to the primary monitor's work
// area; the record keeps screen coordinates.
POINT WorkspaceOrigin() {
    RECT work;
    if (::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        return {work.left, work.top};
    return {0, 0};
}

} // namespace

void CAppMainFrame::ReadPlacement(CREATESTRUCTA& cs) {
    m_startMaximized = false;
    SettingsStore* settings = AppSettings();
    if (!settings)
        return;
    const std::string text =
        settings->ReadString(IniSettings, kPlacementSection, kPlacementKey, "");
    if (text.empty())
        return;
    RECT rc;
    rc.left = FieldRecord::GetInt(text.c_str(), "Left", 0);
    rc.top = FieldRecord::GetInt(text.c_str(), "Top", 0);
    rc.right = FieldRecord::GetInt(text.c_str(), "Right", 0);
    rc.bottom = FieldRecord::GetInt(text.c_str(), "Bottom", 0);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    const bool sane = w > 0 && h > 0 && w <= kMaxFrameExtent && h <= kMaxFrameExtent &&
                      std::abs(rc.left) <= 4 * kMaxFrameExtent &&
                      std::abs(rc.top) <= 4 * kMaxFrameExtent;
    if (!sane)
        return;
    // The caption is what the user takes hold of: some monitor must show it.
    RECT caption = rc;
    caption.bottom = rc.top + ::GetSystemMetrics(SM_CYFRAME) + ::GetSystemMetrics(SM_CYCAPTION);
    if (!IsOnSomeMonitor(caption))
        return;
    cs.x = rc.left;
    cs.y = rc.top;
    cs.cx = w;
    cs.cy = h;
    m_startMaximized = FieldRecord::GetBool(text.c_str(), "Maximized", false);
}

int CAppMainFrame::StartShowCommand(int cmdShow) const {
    if (!m_startMaximized)
        return cmdShow;
    switch (cmdShow) {
    case SW_SHOWNORMAL:
    case SW_SHOW:
    case SW_SHOWDEFAULT:
    case SW_RESTORE:
        return SW_SHOWMAXIMIZED;
    default:
        return cmdShow; // minimised, hidden or not activated: as the caller asked
    }
}

void CAppMainFrame::SavePlacement() {
    SettingsStore* settings = AppSettings();
    if (!settings || !m_hWnd)
        return;
    // In full screen the window's own placement is the one before it.
    WINDOWPLACEMENT placement = m_placement;
    if (!m_fullScreen) {
        placement = {};
        placement.length = sizeof placement;
        if (!::GetWindowPlacement(m_hWnd, &placement))
            return;
    }
    const bool maximized =
        placement.showCmd == SW_SHOWMAXIMIZED ||
        (placement.showCmd == SW_SHOWMINIMIZED && (placement.flags & WPF_RESTORETOMAXIMIZED));
    const POINT origin = WorkspaceOrigin();
    RECT rc = placement.rcNormalPosition;
    ::OffsetRect(&rc, origin.x, origin.y);
    FieldRecord record;
    record.Add("Maximized", maximized ? 1 : 0)
        .Add("Left", rc.left)
        .Add("Top", rc.top)
        .Add("Right", rc.right)
        .Add("Bottom", rc.bottom);
    settings->WriteString(IniSettings, kPlacementSection, kPlacementKey, record.Text().c_str());
}
