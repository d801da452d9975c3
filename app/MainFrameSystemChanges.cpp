// The main frame on changes of the system's colours and metrics: the shared user-interface
// resources first, then the bars that draw with them. Layer: app/.
#include "app/AppMainFrame.h"

#include "common/UiResources.h"

// The shared colours, pen and brush first: the bars repaint with them when the notice reaches
// them.
void CAppMainFrame::OnSysColorChange() {
    if (SharedUi().IsInitialised())
        SharedUi().RefreshColours();
    CMDIFrameWnd::OnSysColorChange();
}

LRESULT CAppMainFrame::OnSettingChange(WPARAM wParam, LPARAM) {
    if (wParam == SPI_SETNONCLIENTMETRICS && SharedUi().IsInitialised()) {
        SharedUi().RefreshFonts();
        if (m_status.m_hWnd)
            m_status.RefreshFonts();
        if (m_switch.m_hWnd) {
            m_switch.RefreshMetrics();
            m_switch.RecalcCells();
            m_switch.Invalidate(false);
        }
        RecalcLayout();
    }
    return Default();
}
