// CDockContext. Layer: framework/.
#include "framework/DockContext.h"

#include "framework/ControlBar.h"
#include "framework/DockBar.h"
#include "framework/FrameWnd.h"
#include "framework/FwIds.h"
#include "framework/Halftone.h"
#include "framework/MiniDockFrameWnd.h"

#include <algorithm>

namespace {

// A dock side that holds no bar still catches a dragged bar within this many pixels (at 96
// DPI) of the frame's inner edge.
const int kDockZone = 20;

const struct {
    UINT id;
    DWORD align;
} kSides[] = {{AFX_IDW_DOCKBAR_TOP, CBRS_ALIGN_TOP},
              {AFX_IDW_DOCKBAR_BOTTOM, CBRS_ALIGN_BOTTOM},
              {AFX_IDW_DOCKBAR_LEFT, CBRS_ALIGN_LEFT},
              {AFX_IDW_DOCKBAR_RIGHT, CBRS_ALIGN_RIGHT}};

// Ctrl held keeps a dragged bar from docking. Asked of the keyboard itself too: the key may
// have gone to a window of another thread.
bool CtrlDown() {
    return ((::GetKeyState(VK_CONTROL) | ::GetAsyncKeyState(VK_CONTROL)) & 0x8000) != 0;
}

bool IsHorzSide(UINT id) {
    return id == AFX_IDW_DOCKBAR_TOP || id == AFX_IDW_DOCKBAR_BOTTOM;
}

} // namespace

CDockContext::CDockContext(CControlBar* bar) : m_pBar(bar), m_pDockSite(bar->m_pDockSite) {}

UINT CDockContext::DockSideAt(POINT pt) const {
    CFrameWnd* site = m_pDockSite ? m_pDockSite : m_pBar->m_pDockSite;
    if (!site || !site->m_hWnd)
        return 0;
    for (const auto& side : kSides) {
        if (!(m_pBar->m_dwDockStyle & side.align))
            continue;
        CDockBar* dock = site->GetDockBar(side.id);
        if (!dock || !dock->m_hWnd)
            continue;
        RECT zone;
        dock->GetWindowRect(&zone);
        // The zone reaches kDockZone pixels into the frame from the dock bar's outer edge.
        const int reach = dock->Scaled(kDockZone);
        switch (side.id) {
        case AFX_IDW_DOCKBAR_TOP:
            zone.bottom = std::max<LONG>(zone.bottom, zone.top + reach);
            break;
        case AFX_IDW_DOCKBAR_BOTTOM:
            zone.top = std::min<LONG>(zone.top, zone.bottom - reach);
            break;
        case AFX_IDW_DOCKBAR_LEFT:
            zone.right = std::max<LONG>(zone.right, zone.left + reach);
            break;
        default:
            zone.left = std::min<LONG>(zone.left, zone.right - reach);
            break;
        }
        if (::PtInRect(&zone, pt))
            return side.id;
    }
    return 0;
}

UINT CDockContext::DragRect(POINT pt, bool noDock, RECT* rc) const {
    UINT side = noDock ? 0 : DockSideAt(pt);
    SIZE size = side ? (IsHorzSide(side) ? m_sizeHorz : m_sizeVert) : m_sizeFloat;
    // The pointer keeps its place in the outline, as far as the outline reaches.
    const int inside = m_pBar->Scaled(8);
    int ox = std::min<int>(m_offset.x, std::max<int>(size.cx - inside, 0));
    int oy = std::min<int>(m_offset.y, std::max<int>(size.cy - inside, 0));
    rc->left = pt.x - ox;
    rc->top = pt.y - oy;
    rc->right = rc->left + size.cx;
    rc->bottom = rc->top + size.cy;
    return side;
}

void CDockContext::DrawDragRect(const RECT* rc, bool thin) {
    // A docking outline is thin, a floating one thick; both as thick as the density asks.
    if (m_shown)
        AfxInvertHalftoneFrame(nullptr, m_rectShown, m_pBar->Scaled(m_shownThin ? 1 : 3));
    m_shown = rc != nullptr;
    if (rc) {
        m_rectShown = *rc;
        m_shownThin = thin;
        AfxInvertHalftoneFrame(nullptr, m_rectShown, m_pBar->Scaled(thin ? 1 : 3));
    }
}

bool CDockContext::TrackLoop(bool resize) {
    // A modal loop of its own: the capture stays with the bar (or its mini frame) until the
    // button is released; anything that takes the capture away cancels.
    HWND owner = resize ? ::GetParent(::GetParent(m_pBar->m_hWnd)) : m_pBar->m_hWnd;
    ::SetCapture(owner);
    bool done = false, accepted = false;
    RECT rc = {0, 0, 0, 0};
    UINT side = 0;
    bool ctrl = CtrlDown();
    if (!resize) {
        side = DragRect(m_ptLast, ctrl, &rc);
        DrawDragRect(&rc, side == 0);
    }
    while (!done) {
        MSG msg;
        if (!::GetMessageA(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (::GetCapture() != owner)
            break;
        switch (msg.message) {
        case WM_LBUTTONUP:
            accepted = true;
            done = true;
            break;
        case WM_MOUSEMOVE: {
            POINT pt;
            ::GetCursorPos(&pt);
            if (resize) {
                pt.x += m_grabOffset.x;
                pt.y += m_grabOffset.y;
            }
            if (pt.x == m_ptLast.x && pt.y == m_ptLast.y)
                break;
            m_ptLast = pt;
            if (resize) {
                // Live: the bar takes its new floating size at once.
                RECT frame = m_rectFrameDragHorz;
                SIZE size;
                switch (m_nHitTest) {
                case HTLEFT:
                    size = m_pBar->CalcDynamicLayout(frame.right - pt.x - m_extraW, LM_HORZ);
                    break;
                case HTRIGHT:
                    size = m_pBar->CalcDynamicLayout(pt.x - frame.left - m_extraW, LM_HORZ);
                    break;
                case HTTOP:
                    size = m_pBar->CalcDynamicLayout(frame.bottom - pt.y - m_extraH,
                                                     LM_HORZ | LM_LENGTHY);
                    break;
                case HTBOTTOM:
                    size = m_pBar->CalcDynamicLayout(pt.y - frame.top - m_extraH,
                                                     LM_HORZ | LM_LENGTHY);
                    break;
                default:
                    size = m_pBar->CalcDynamicLayout(0, LM_HORZ);
                    break;
                }
                RECT next = m_rectFrameDragHorz;
                const int w = size.cx + m_extraW, h = size.cy + m_extraH;
                if (m_nHitTest == HTLEFT || m_nHitTest == HTTOPLEFT || m_nHitTest == HTBOTTOMLEFT)
                    next.left = next.right - w;
                else
                    next.right = next.left + w;
                if (m_nHitTest == HTTOP || m_nHitTest == HTTOPLEFT || m_nHitTest == HTTOPRIGHT)
                    next.top = next.bottom - h;
                else
                    next.bottom = next.top + h;
                HWND mini = owner;
                ::SetWindowPos(mini, nullptr, next.left, next.top, w, h,
                               SWP_NOZORDER | SWP_NOACTIVATE);
                if (auto* frameWnd = DynamicDowncast<CMiniDockFrameWnd>(CWnd::FromHandle(mini)))
                    frameWnd->RecalcLayout();
                ::UpdateWindow(mini);
            } else {
                ctrl = CtrlDown();
                side = DragRect(pt, ctrl, &rc);
                DrawDragRect(&rc, side == 0);
            }
            break;
        }
        case WM_KEYDOWN:
        case WM_KEYUP:
            if (msg.wParam == VK_ESCAPE) {
                done = true;
            } else if (msg.wParam == VK_CONTROL && !resize) {
                ctrl = msg.message == WM_KEYDOWN;
                side = DragRect(m_ptLast, ctrl, &rc);
                DrawDragRect(&rc, side == 0);
            }
            break;
        case WM_RBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            done = true;
            break;
        default:
            ::DispatchMessageA(&msg);
            break;
        }
    }
    if (!resize)
        DrawDragRect(nullptr, false);
    if (::GetCapture() == owner)
        ::ReleaseCapture();
    if (accepted && !resize) {
        CFrameWnd* site = m_pDockSite ? m_pDockSite : m_pBar->m_pDockSite;
        if (site) {
            if (side)
                site->DockControlBar(m_pBar, side, &rc);
            else
                site->FloatControlBar(m_pBar, {rc.left, rc.top});
        }
    }
    return accepted;
}

void CDockContext::StartDrag(POINT pt) {
    if (m_bDragging || m_bResizing || !m_pBar->m_hWnd)
        return;
    if (!m_pDockSite)
        m_pDockSite = m_pBar->m_pDockSite;
    RECT cur;
    m_pBar->GetWindowRect(&cur);
    m_offset = {pt.x - cur.left, pt.y - cur.top};
    m_sizeHorz = m_pBar->CalcFixedLayout(false, true);
    m_sizeVert = m_pBar->CalcFixedLayout(false, false);
    m_sizeFloat = m_pBar->CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH);
    if (m_pBar->IsFloating()) {
        // The outline of a floating bar is its mini frame's.
        HWND mini = ::GetParent(::GetParent(m_pBar->m_hWnd));
        RECT frame;
        ::GetWindowRect(mini, &frame);
        m_sizeFloat = {frame.right - frame.left, frame.bottom - frame.top};
        m_offset = {pt.x - frame.left, pt.y - frame.top};
    }
    m_ptLast = pt;
    m_bDragging = true;
    // Only a real move starts the drag: a press and release in place does nothing.
    const int cx = FxSystemMetric(SM_CXDRAG, m_pBar->GetDpi());
    const int cy = FxSystemMetric(SM_CYDRAG, m_pBar->GetDpi());
    HWND capture = m_pBar->m_hWnd;
    ::SetCapture(capture);
    bool moved = false;
    while (true) {
        MSG msg;
        if (!::GetMessageA(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (::GetCapture() != capture)
            break;
        if (msg.message == WM_MOUSEMOVE) {
            POINT now = {static_cast<short>(LOWORD(msg.lParam)),
                         static_cast<short>(HIWORD(msg.lParam))};
            ::ClientToScreen(msg.hwnd, &now);
            if (std::abs(now.x - pt.x) > cx || std::abs(now.y - pt.y) > cy) {
                m_ptLast = now;
                moved = true;
                break;
            }
        } else if (msg.message == WM_LBUTTONUP || msg.message == WM_RBUTTONDOWN ||
                   (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE)) {
            break;
        } else if (msg.message == WM_LBUTTONDBLCLK) {
            // The second press of a double-click: the bar's own handler toggles.
            ::DispatchMessageA(&msg);
            break;
        } else {
            ::DispatchMessageA(&msg);
        }
    }
    if (::GetCapture() == capture)
        ::ReleaseCapture();
    bool placed = false;
    if (moved && m_pBar->m_hWnd)
        placed = TrackLoop(false);
    m_bDragging = false;
    // Measuring for the outline may have laid the bar out for another side: where it stays,
    // the frame lays it out again as it was.
    if (!placed && m_pBar->IsDocked() && m_pDockSite && m_pDockSite->m_hWnd)
        m_pDockSite->RecalcLayout();
}

void CDockContext::StartResize(int hitTest, POINT pt) {
    if (m_bDragging || m_bResizing || !m_pBar->IsFloating())
        return;
    HWND mini = ::GetParent(::GetParent(m_pBar->m_hWnd));
    ::GetWindowRect(mini, &m_rectFrameDragHorz);
    // The frame's own borders and caption: what it adds to the bar's size.
    RECT nc = {0, 0, 0, 0};
    FxAdjustWindowRectEx(
        &nc, static_cast<DWORD>(::GetWindowLongA(mini, GWL_STYLE)) & ~MFS_4THICKFRAME, false,
        static_cast<DWORD>(::GetWindowLongA(mini, GWL_EXSTYLE)), FxDpiOf(mini));
    m_extraW = nc.right - nc.left;
    m_extraH = nc.bottom - nc.top;
    // The pointer counts from the edges it holds, wherever in the border it took them.
    const bool left = hitTest == HTLEFT || hitTest == HTTOPLEFT || hitTest == HTBOTTOMLEFT;
    const bool right = hitTest == HTRIGHT || hitTest == HTTOPRIGHT || hitTest == HTBOTTOMRIGHT;
    const bool top = hitTest == HTTOP || hitTest == HTTOPLEFT || hitTest == HTTOPRIGHT;
    const bool bottom = hitTest == HTBOTTOM || hitTest == HTBOTTOMLEFT || hitTest == HTBOTTOMRIGHT;
    m_grabOffset.x = left    ? m_rectFrameDragHorz.left - pt.x
                     : right ? m_rectFrameDragHorz.right - pt.x
                             : 0;
    m_grabOffset.y = top      ? m_rectFrameDragHorz.top - pt.y
                     : bottom ? m_rectFrameDragHorz.bottom - pt.y
                              : 0;
    pt.x += m_grabOffset.x;
    pt.y += m_grabOffset.y;
    m_nHitTest = hitTest;
    m_ptLast = pt;
    m_bResizing = true;
    TrackLoop(true);
    m_bResizing = false;
    m_nHitTest = HTNOWHERE;
    m_grabOffset = {0, 0};
}

void CDockContext::ToggleDocking() {
    CFrameWnd* site = m_pDockSite ? m_pDockSite : m_pBar->m_pDockSite;
    if (!site)
        return;
    if (m_pBar->IsFloating()) {
        UINT id = m_uMRUDockID;
        const bool known =
            id >= AFX_IDW_DOCKBAR_TOP && id <= AFX_IDW_DOCKBAR_BOTTOM && site->GetDockBar(id) &&
            (m_pBar->m_dwDockStyle & site->GetDockBar(id)->GetBarStyle() & CBRS_ALIGN_ANY);
        if (known && !::IsRectEmpty(&m_rectMRUDockPos))
            site->DockControlBar(m_pBar, id, &m_rectMRUDockPos);
        else
            site->DockControlBar(m_pBar, known ? id : 0, nullptr);
    } else {
        POINT at = m_ptMRUFloatPos;
        if (at.x == -32768) {
            RECT cur;
            m_pBar->GetWindowRect(&cur);
            at = {cur.left + m_pBar->Scaled(24), cur.top + m_pBar->Scaled(24)};
        }
        site->FloatControlBar(m_pBar, at);
    }
}
