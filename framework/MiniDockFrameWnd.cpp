// CMiniDockFrameWnd. Layer: framework/.
#include "framework/MiniDockFrameWnd.h"

#include "framework/DockBar.h"
#include "framework/DockContext.h"
#include "framework/Dpi.h"
#include "framework/FrameWnd.h"
#include "framework/FwIds.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CMiniDockFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CMiniDockFrameWnd, CWnd)
ON_WM_SIZE()
ON_WM_NCHITTEST()
ON_MESSAGE(WM_NCLBUTTONDOWN, OnNcLButtonDown)
ON_MESSAGE(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk)
ON_WM_CLOSE()
ON_WM_MOUSEACTIVATE()
ON_WM_GETMINMAXINFO()
ON_MESSAGE(WM_DPICHANGED, OnDpiChanged)
END_MESSAGE_MAP()

CMiniDockFrameWnd::CMiniDockFrameWnd() = default;

CMiniDockFrameWnd::~CMiniDockFrameWnd() = default;

bool CMiniDockFrameWnd::Create(CFrameWnd* dockSite, const char* title) {
    m_pDockSite = dockSite;
    const char* cls = RegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN |
                        WS_CLIPSIBLINGS | MFS_4THICKFRAME;
    if (!CreateEx(WS_EX_TOOLWINDOW, cls, title, style, 0, 0, 0, 0, dockSite->m_hWnd, nullptr))
        return false;
    // A bar floats out of the frame onto the frame's monitor: it keeps the frame's density.
    m_dpi = FxDpiOf(dockSite->m_hWnd);
    FxSetWindowDpi(m_hWnd, m_dpi);
    m_pDockBar = new CDockBar(true);
    m_pDockBar->m_pDockSite = dockSite;
    if (!m_pDockBar->Create(this, CBRS_ALIGN_TOP, AFX_IDW_DOCKBAR_FLOAT)) {
        delete m_pDockBar;
        m_pDockBar = nullptr;
        return false;
    }
    return true;
}

CControlBar* CMiniDockFrameWnd::GetBar() const {
    if (!m_pDockBar)
        return nullptr;
    for (CControlBar* bar : m_pDockBar->m_arrBars)
        if (bar)
            return bar;
    return nullptr;
}

void CMiniDockFrameWnd::RecalcLayout() {
    if (!m_pDockBar || !m_pDockBar->m_hWnd)
        return;
    SIZE size = m_pDockBar->LayoutBars(false);
    RECT rc = {0, 0, std::max<LONG>(size.cx, 1), std::max<LONG>(size.cy, 1)};
    FxAdjustWindowRectEx(&rc, GetStyle() & ~MFS_4THICKFRAME, false, GetExStyle(), m_dpi);
    RECT cur;
    GetWindowRect(&cur);
    if (cur.right - cur.left != rc.right - rc.left || cur.bottom - cur.top != rc.bottom - rc.top)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    GetClientRect(&client);
    ::SetWindowPos(m_pDockBar->m_hWnd, nullptr, 0, 0, client.right, client.bottom,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void CMiniDockFrameWnd::OnSize(UINT, int cx, int cy) {
    if (m_pDockBar && m_pDockBar->m_hWnd)
        ::SetWindowPos(m_pDockBar->m_hWnd, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CMiniDockFrameWnd::OnNcHitTest(POINT pt) {
    LRESULT hit = Default();
    if (GetStyle() & MFS_4THICKFRAME) {
        // Four-way sizing: a corner sizes like the edge it is nearest along.
        switch (hit) {
        case HTTOPLEFT:
        case HTBOTTOMLEFT: {
            RECT rc;
            GetWindowRect(&rc);
            hit = (pt.x - rc.left < FxSystemMetric(SM_CXFRAME, m_dpi))
                      ? HTLEFT
                      : (hit == HTTOPLEFT ? HTTOP : HTBOTTOM);
            break;
        }
        case HTTOPRIGHT:
        case HTBOTTOMRIGHT: {
            RECT rc;
            GetWindowRect(&rc);
            hit = (rc.right - pt.x <= FxSystemMetric(SM_CXFRAME, m_dpi))
                      ? HTRIGHT
                      : (hit == HTTOPRIGHT ? HTTOP : HTBOTTOM);
            break;
        }
        default:
            break;
        }
    }
    return hit;
}

LRESULT CMiniDockFrameWnd::OnNcLButtonDown(WPARAM hit, LPARAM pos) {
    CControlBar* bar = GetBar();
    POINT pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
    if (bar && bar->m_pDockContext) {
        if (hit == HTCAPTION) {
            bar->m_pDockContext->StartDrag(pt);
            return 0;
        }
        if (hit >= HTLEFT && hit <= HTBOTTOMRIGHT) {
            bar->m_pDockContext->StartResize(static_cast<int>(hit), pt);
            return 0;
        }
    }
    return Default();
}

LRESULT CMiniDockFrameWnd::OnNcLButtonDblClk(WPARAM hit, LPARAM) {
    CControlBar* bar = GetBar();
    if (hit == HTCAPTION && bar && bar->m_pDockContext) {
        bar->m_pDockContext->ToggleDocking();
        return 0;
    }
    return Default();
}

void CMiniDockFrameWnd::OnClose() {
    // The close box hides the bar; the frame stays for the next time it is shown.
    if (CControlBar* bar = GetBar()) {
        if (m_pDockSite)
            m_pDockSite->ShowControlBar(bar, false, false);
        return;
    }
    ShowWindow(SW_HIDE);
}

void CMiniDockFrameWnd::OnGetMinMaxInfo(MINMAXINFO* info) {
    Default();
    // As small as the bar allows: the bar keeps its own minimum, the frame only its borders
    // and caption.
    RECT nc = {0, 0, 0, 0};
    FxAdjustWindowRectEx(&nc, GetStyle() & ~MFS_4THICKFRAME, false, GetExStyle(), m_dpi);
    info->ptMinTrackSize.x = nc.right - nc.left;
    info->ptMinTrackSize.y = nc.bottom - nc.top;
}

LRESULT CMiniDockFrameWnd::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    // Moved onto a monitor of another density: the bar measures itself anew and the frame
    // takes the size the system suggests before it fits itself to the bar again.
    const UINT dpi = HIWORD(wParam);
    const UINT old = m_dpi;
    m_dpi = dpi;
    FxSetWindowDpi(m_hWnd, dpi);
    if (const RECT* suggested = reinterpret_cast<const RECT*>(lParam))
        ::SetWindowPos(m_hWnd, nullptr, suggested->left, suggested->top,
                       suggested->right - suggested->left, suggested->bottom - suggested->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    if (old != dpi)
        SendMessageToDescendants(WM_FXDPICHANGED, dpi, old);
    RecalcLayout();
    return 0;
}

int CMiniDockFrameWnd::OnMouseActivate(HWND, UINT, UINT) {
    return MA_NOACTIVATE;
}

void CMiniDockFrameWnd::PostNcDestroy() {
    if (m_pDockSite)
        m_pDockSite->RemoveFloatingFrame(this);
    delete this;
}
