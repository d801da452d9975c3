// The main frame in full screen: the bars hidden while a document is open, the window grown
// past the screen's edges by its frame, and everything put back. Layer: app/.
#include "app/AppMainFrame.h"

#include "framework/CmdUI.h"

void CAppMainFrame::SetFullScreen(bool on) {
    if (on == m_fullScreen)
        return;
    if (on) {
        // Each bar remembers whether it was shown; the shown ones go while a document is
        // open, so that the document takes the whole screen.
        const bool hasChild = MDIGetActive() != nullptr;
        for (int i = 0; i < kBarCount; ++i) {
            CControlBar* bar = BarOfEntry(i);
            if (!bar || !bar->m_hWnd)
                continue;
            m_barTable[i].visible = bar->IsVisible();
            if (m_barTable[i].visible && hasChild)
                ShowControlBar(bar, false, true);
        }
        RECT work;
        RECT target;
        if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
            target.left = -work.left;
            target.top = -work.top;
            target.right = GetSystemMetrics(SM_CXSCREEN) - work.left;
            target.bottom = GetSystemMetrics(SM_CYSCREEN) - work.top;
        } else {
            ::GetWindowRect(::GetDesktopWindow(), &target);
        }
        ::AdjustWindowRectEx(&target, static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_STYLE)), TRUE,
                             static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_EXSTYLE)));
        m_placement.length = sizeof m_placement;
        GetWindowPlacement(m_hWnd, &m_placement);
        m_fullScreenRect = target;
        m_fullScreen = true;
        WINDOWPLACEMENT full = m_placement;
        full.showCmd = SW_SHOWNORMAL;
        full.rcNormalPosition = target;
        LockWindowUpdate(m_hWnd);
        SetWindowPlacement(m_hWnd, &full);
        LockWindowUpdate(nullptr);
    } else {
        for (int i = 0; i < kBarCount; ++i) {
            CControlBar* bar = BarOfEntry(i);
            if (bar && bar->m_hWnd && m_barTable[i].visible && !bar->IsVisible())
                ShowControlBar(bar, true, true);
        }
        m_fullScreen = false;
        LockWindowUpdate(m_hWnd);
        SetWindowPlacement(m_hWnd, &m_placement);
        LockWindowUpdate(nullptr);
    }
    RecalcLayout();
}

void CAppMainFrame::OnViewFullScreen() {
    SetFullScreen(!m_fullScreen);
}

void CAppMainFrame::OnUpdateViewFullScreen(CCmdUI* cmdUI) {
    cmdUI->SetCheck(m_fullScreen ? 1 : 0);
}

void CAppMainFrame::OnGetMinMaxInfo(MINMAXINFO* info) {
    Default();
    if (!m_fullScreen)
        return;
    const LONG cx = m_fullScreenRect.right - m_fullScreenRect.left;
    const LONG cy = m_fullScreenRect.bottom - m_fullScreenRect.top;
    info->ptMaxSize.x = info->ptMaxTrackSize.x = cx;
    info->ptMaxSize.y = info->ptMaxTrackSize.y = cy;
}
