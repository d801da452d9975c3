// The main window's placement across runs: its normal rectangle and whether it was maximised,
// kept as the "MainFrame" record beside the bars' records (their rectangles are in its client
// coordinates), put back before the bars are made, and only on a monitor that exists. The
// record keeps the window's top left corner on the screen and its size at 96 DPI, so that
// the window comes back as large as the user saw it on a monitor of another density.
// Layer: app/.
#include "app/AppMainFrame.h"

#include "app/App.h"
#include "framework/Dpi.h"
#include "settings/IniCodec.h"

#include <algorithm>
#include <cstdlib>

namespace {

const char kPlacementSection[] = "ControlBars";
const char kPlacementKey[] = "MainFrame";
// A saved size beyond this is taken for damage, not for a window.
const int kMaxFrameExtent = 16384;
// The least of the caption a monitor must show for the user to take hold of the window.
const int kReachableCaption = 48;

// The work area of the monitor that shows the most of the rectangle (screen coordinates), when
// it shows enough of it to take hold of: at least kReachableCaption pixels across and a few
// down.
bool WorkAreaShowing(const RECT& rc, RECT* work) {
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
    *work = info.rcWork;
    return common.right - common.left >= kReachableCaption && common.bottom - common.top >= 8;
}

// The rectangle moved (and, when larger, cut) to lie within the work area.
RECT FitInto(RECT rc, const RECT& work) {
    const LONG w = std::min(rc.right - rc.left, work.right - work.left);
    const LONG h = std::min(rc.bottom - rc.top, work.bottom - work.top);
    rc.left = std::clamp(rc.left, work.left, work.right - w);
    rc.top = std::clamp(rc.top, work.top, work.bottom - h);
    rc.right = rc.left + w;
    rc.bottom = rc.top + h;
    return rc;
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
    // The size for the density of the monitor the corner is on.
    POINT corner = {rc.left, rc.top};
    const UINT dpi = FxMonitorDpi(::MonitorFromPoint(corner, MONITOR_DEFAULTTOPRIMARY));
    rc.right = rc.left + FxScale(w, dpi);
    rc.bottom = rc.top + FxScale(h, dpi);
    // The caption is what the user takes hold of: some monitor must show it. The window then
    // comes back whole on that monitor (a smaller one than before cuts it to its size).
    RECT caption = rc;
    caption.bottom = rc.top + FxSystemMetric(SM_CYFRAME, dpi) + FxSystemMetric(SM_CYCAPTION, dpi);
    RECT work;
    if (!WorkAreaShowing(caption, &work))
        return;
    rc = FitInto(rc, work);
    cs.x = rc.left;
    cs.y = rc.top;
    cs.cx = rc.right - rc.left;
    cs.cy = rc.bottom - rc.top;
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
    // A window never shown (a second instance that handed its files over) leaves the record
    // of the one the user saw; a window in the tray is minimised and hidden, and counts.
    if (!IsWindowVisible() && !::IsIconic(m_hWnd))
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
    const UINT dpi = FxDpiOf(m_hWnd);
    rc.right = rc.left + FxUnscale(rc.right - rc.left, dpi);
    rc.bottom = rc.top + FxUnscale(rc.bottom - rc.top, dpi);
    FieldRecord record;
    record.Add("Maximized", maximized ? 1 : 0)
        .Add("Left", rc.left)
        .Add("Top", rc.top)
        .Add("Right", rc.right)
        .Add("Bottom", rc.bottom);
    settings->WriteString(IniSettings, kPlacementSection, kPlacementKey, record.Text().c_str());
}
