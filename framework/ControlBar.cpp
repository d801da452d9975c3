// CControlBar. Layer: framework/.
#include "framework/ControlBar.h"

#include "framework/DockBar.h"
#include "framework/DockContext.h"
#include "framework/FrameWnd.h"
#include "framework/FwIds.h"

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_DESTROY()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONDBLCLK()
ON_MESSAGE(WM_FXDPICHANGED, OnFxDpiChanged)
END_MESSAGE_MAP()

CControlBar::CControlBar() = default;

CControlBar::~CControlBar() {
    if (m_pDockBar)
        m_pDockBar->RemoveControlBar(this);
    if (m_pDockSite)
        m_pDockSite->RemoveControlBar(this);
    delete m_pDockContext;
}

void CControlBar::SetDpi(UINT dpi) {
    if (!dpi || dpi == m_dpi)
        return;
    const UINT old = m_dpi;
    m_dpi = dpi;
    OnDpiChanged(old);
}

void CControlBar::SetBorders(int cxLeft, int cyTop, int cxRight, int cyBottom) {
    m_border96 = {cxLeft, cyTop, cxRight, cyBottom};
    m_cxLeftBorder = Scaled(cxLeft);
    m_cyTopBorder = Scaled(cyTop);
    m_cxRightBorder = Scaled(cxRight);
    m_cyBottomBorder = Scaled(cyBottom);
}

void CControlBar::OnDpiChanged(UINT) {
    SetBorders(m_border96.left, m_border96.top, m_border96.right, m_border96.bottom);
}

void CControlBar::PreSubclassWindow() {
    CWnd::PreSubclassWindow();
    // Bars take their parent's density before they create their window (the window cannot
    // be measured yet here); one made otherwise adopts its own quietly.
    const UINT dpi = FxDpiOf(m_hWnd);
    if (dpi != m_dpi) {
        m_dpi = dpi;
        SetBorders(m_border96.left, m_border96.top, m_border96.right, m_border96.bottom);
    }
}

LRESULT CControlBar::OnFxDpiChanged(WPARAM dpi, LPARAM) {
    SetDpi(static_cast<UINT>(dpi));
    return 0;
}

bool CControlBar::CreateBar(CWnd* parent, DWORD style, UINT id, const char* className) {
    m_dwStyle = style & CBRS_ALL;
    SetDpi(FxDpiOf(parent ? parent->m_hWnd : nullptr));
    DWORD windowStyle = (style & ~static_cast<DWORD>(CBRS_ALL)) | WS_CHILD;
    if (!className)
        className = RegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW),
                                     reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    RECT rc = {0, 0, 0, 0};
    if (!CreateEx(0, className, nullptr, windowStyle, rc, parent, id))
        return false;
    if (CFrameWnd* frame = DynamicDowncast<CFrameWnd>(parent))
        frame->AddControlBar(this);
    return true;
}

SIZE CControlBar::CalcFixedLayout(bool stretch, bool horz) {
    SIZE size = {0, 0};
    if (stretch) {
        if (horz)
            size.cx = 32767;
        else
            size.cy = 32767;
    }
    RECT rc = {0, 0, 0, 0};
    CalcInsideRect(rc, horz);
    // The inside of an empty rectangle has negative extents: the borders' total.
    size.cx += rc.left - rc.right;
    size.cy += rc.top - rc.bottom;
    return size;
}

SIZE CControlBar::CalcDynamicLayout(int, DWORD mode) {
    return CalcFixedLayout((mode & LM_STRETCH) != 0, (mode & LM_HORZ) != 0);
}

void CControlBar::CalcInsideRect(RECT& rc, bool horz) const {
    DWORD style = m_dwStyle;
    if (style & CBRS_BORDER_LEFT)
        rc.left += 1;
    if (style & CBRS_BORDER_TOP)
        rc.top += 1;
    if (style & CBRS_BORDER_RIGHT)
        rc.right -= 1;
    if (style & CBRS_BORDER_BOTTOM)
        rc.bottom -= 1;
    if (horz) {
        rc.left += m_cxLeftBorder;
        rc.top += m_cyTopBorder;
        rc.right -= m_cxRightBorder;
        rc.bottom -= m_cyBottomBorder;
    } else {
        rc.left += m_cyTopBorder;
        rc.top += m_cxLeftBorder;
        rc.right -= m_cyBottomBorder;
        rc.bottom -= m_cxRightBorder;
    }
}

void CControlBar::OnUpdateCmdUI(CFrameWnd*, bool) {}

void CControlBar::DoPaint(HDC dc) {
    RECT rc;
    GetClientRect(&rc);
    if (m_dwStyle & CBRS_BORDER_ANY) {
        UINT edges = 0;
        if (m_dwStyle & CBRS_BORDER_LEFT)
            edges |= BF_LEFT;
        if (m_dwStyle & CBRS_BORDER_TOP)
            edges |= BF_TOP;
        if (m_dwStyle & CBRS_BORDER_RIGHT)
            edges |= BF_RIGHT;
        if (m_dwStyle & CBRS_BORDER_BOTTOM)
            edges |= BF_BOTTOM;
        DrawEdge(dc, &rc, BDR_SUNKENOUTER, edges);
    }
}

void CControlBar::SetBarStyle(DWORD style) {
    if (m_dwStyle != style) {
        m_dwStyle = style & CBRS_ALL;
        if (m_hWnd)
            Invalidate(true);
    }
}

void CControlBar::EnableDocking(DWORD style) {
    m_dwDockStyle = style & CBRS_ALIGN_ANY;
    if (m_dwDockStyle && !m_pDockContext)
        m_pDockContext = new CDockContext(this);
    if (m_pDockContext && !m_pDockContext->m_pDockSite)
        m_pDockContext->m_pDockSite = m_pDockSite ? m_pDockSite : GetParentFrame();
}

bool CControlBar::IsFloating() const {
    return m_pDockBar && m_pDockBar->m_bFloating;
}

void CControlBar::OnLButtonDown(UINT, POINT pt) {
    if (m_pDockBar && m_pDockContext) {
        ::ClientToScreen(m_hWnd, &pt);
        m_pDockContext->StartDrag(pt);
        return;
    }
    Default();
}

void CControlBar::OnLButtonDblClk(UINT, POINT) {
    if (m_pDockBar && m_pDockContext) {
        m_pDockContext->ToggleDocking();
        return;
    }
    Default();
}

bool CControlBar::IsVisible() const {
    if (m_nStateFlags & delayHide)
        return false;
    if (m_nStateFlags & delayShow)
        return true;
    return m_hWnd && (GetStyle() & WS_VISIBLE) != 0;
}

bool CControlBar::IsHorz() const {
    return (m_dwStyle & CBRS_ORIENT_HORZ) != 0 || (m_dwStyle & CBRS_ALIGN_ANY) == 0;
}

void CControlBar::DelayShow(bool show) {
    m_nStateFlags &= ~(delayHide | delayShow);
    bool visible = m_hWnd && (GetStyle() & WS_VISIBLE) != 0;
    if (show && !visible)
        m_nStateFlags |= delayShow;
    else if (!show && visible)
        m_nStateFlags |= delayHide;
}

void CControlBar::ApplyDelayedShow() {
    if (m_nStateFlags & delayShow)
        ShowWindow(SW_SHOWNOACTIVATE);
    else if (m_nStateFlags & delayHide)
        ShowWindow(SW_HIDE);
    m_nStateFlags &= ~(delayHide | delayShow);
}

void CControlBar::OnUpdateCmdUIIdle(bool disableIfNoHandler) {
    if (!IsWindowVisible())
        return;
    CFrameWnd* target = m_pDockSite ? m_pDockSite : GetParentFrame();
    if (target)
        OnUpdateCmdUI(target, disableIfNoHandler);
}

void CControlBar::PostNcDestroy() {
    if (m_bAutoDelete)
        delete this;
}

void CControlBar::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    DoPaint(dc);
    EndPaint(m_hWnd, &ps);
}

bool CControlBar::OnEraseBkgnd(HDC dc) {
    RECT rc;
    GetClientRect(&rc);
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    return true;
}

void CControlBar::OnDestroy() {
    if (m_pDockBar)
        m_pDockBar->RemoveControlBar(this);
    if (m_pDockSite) {
        m_pDockSite->RemoveControlBar(this);
        m_pDockSite = nullptr;
    }
    CWnd::OnDestroy();
}
