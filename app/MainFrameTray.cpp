// The main frame's tray icon: minimising hides the window behind it, a click brings it
// back. Layer: app/.
#include "app/AppMainFrame.h"

#include "app/App.h"
#include "framework/FwIds.h"
#include "framework/ResourceText.h"

#include <shellapi.h>

void CAppMainFrame::OnSize(UINT type, int cx, int cy) {
    CMDIFrameWnd::OnSize(type, cx, cy);
    SettingsStore* settings = AppSettings();
    if (type != SIZE_MINIMIZED)
        return;
    // Once the icon is there the window hides on minimising even if the option went off.
    if (settings && settings->General().minimizeToSysTray)
        AddTrayIcon();
    if (m_trayIcon)
        ShowWindow(SW_HIDE);
}

void CAppMainFrame::AddTrayIcon() {
    if (m_trayIcon)
        return;
    NOTIFYICONDATAA data = {};
    data.cbSize = sizeof data;
    data.hWnd = m_hWnd;
    data.uID = 1;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayMessage;
    data.hIcon = reinterpret_cast<HICON>(GetClassLongPtrA(m_hWnd, GCLP_HICONSM));
    if (!data.hIcon)
        data.hIcon = reinterpret_cast<HICON>(GetClassLongPtrA(m_hWnd, GCLP_HICON));
    std::string tip = AfxLoadString(AFX_IDS_APP_TITLE);
    lstrcpynA(data.szTip, tip.c_str(), 64);
    m_trayIcon = Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
}

void CAppMainFrame::RemoveTrayIcon() {
    if (!m_trayIcon)
        return;
    NOTIFYICONDATAA data = {};
    data.cbSize = sizeof data;
    data.hWnd = m_hWnd;
    data.uID = 1;
    Shell_NotifyIconA(NIM_DELETE, &data);
    m_trayIcon = false;
}

LRESULT CAppMainFrame::OnTrayNotify(WPARAM, LPARAM lParam) {
    if (lParam == WM_LBUTTONDOWN || lParam == WM_LBUTTONDBLCLK) {
        if (!IsWindowVisible())
            ShowWindow(SW_RESTORE);
        SetForegroundWindow(m_hWnd);
    }
    return 0;
}
