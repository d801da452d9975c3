// CMiniDockFrameWnd: the small tool window that holds a floating control bar in its own dock
// bar (id AFX_IDW_DOCKBAR_FLOAT). The caption drags the bar (and docks it when dropped on a
// dock side), a double-click on the caption docks it back, the close box hides the bar, and
// the sizing border resizes the bar through its dock context. While the style keeps
// MFS_4THICKFRAME the corners size like the nearest edge. Layer: framework/.
#pragma once

#include "framework/Wnd.h"

class CControlBar;
class CDockBar;
class CFrameWnd;

#define MFS_4THICKFRAME 0x0200L

class CMiniDockFrameWnd : public CWnd {
    DECLARE_DYNAMIC(CMiniDockFrameWnd)
public:
    CMiniDockFrameWnd();
    ~CMiniDockFrameWnd() override;

    bool Create(CFrameWnd* dockSite, const char* title);
    // Sizes the frame around the bar's floating size and the dock bar to the client.
    void RecalcLayout();
    CDockBar* GetDockBar() const { return m_pDockBar; }
    CFrameWnd* GetDockSite() const { return m_pDockSite; }
    // The one bar it holds (null when empty).
    CControlBar* GetBar() const;

    void PostNcDestroy() override;

    void OnSize(UINT type, int cx, int cy);
    LRESULT OnNcHitTest(POINT pt);
    LRESULT OnNcLButtonDown(WPARAM hit, LPARAM pos);
    LRESULT OnNcLButtonDblClk(WPARAM hit, LPARAM pos);
    void OnClose();
    int OnMouseActivate(HWND top, UINT hit, UINT message);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    // WM_DPICHANGED: wParam's high word the new density, lParam the suggested window rectangle.
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    CDockBar* m_pDockBar = nullptr;
    CFrameWnd* m_pDockSite = nullptr;
    UINT m_dpi = 96; // the density of the monitor the frame is on
};
