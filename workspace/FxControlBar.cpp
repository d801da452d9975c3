// CFxControlBar. Layer: workspace/.
#include "workspace/FxControlBar.h"

#include "common/UiResources.h"
#include "framework/DockBar.h"
#include "framework/DockContext.h"
#include "framework/FrameWnd.h"
#include "framework/FwIds.h"
#include "framework/Halftone.h"
#include "framework/MiniDockFrameWnd.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CFxControlBar, CControlBar)

BEGIN_MESSAGE_MAP(CFxControlBar, CControlBar)
ON_WM_NCHITTEST()
ON_WM_NCCALCSIZE()
ON_WM_NCPAINT()
ON_MESSAGE(WM_NCLBUTTONDOWN, OnNcLButtonDown)
// A quick second press on the close box or an edge is a press like the first.
ON_MESSAGE(WM_NCLBUTTONDBLCLK, OnNcLButtonDown)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_RBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_CAPTURECHANGED()
ON_MESSAGE(WM_WINDOWPOSCHANGING, OnWindowPosChanging)
ON_WM_SIZE()
ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()

namespace {

// Sizes at 96 DPI: the close box's side, the room the gripper and close box take beside the
// client area, the gap between them and the client, the gripper's lines, a sizing edge, the
// bar's borders and least size.
const int kMaxRowBars = 256;
const int kCloseSize = 12;
const int kGripperRoom = 12;
const int kCloseGap = 2;
const int kGripperLine = 3;
const int kEdgeWidth = 5;
const int kBorder = 5;
const int kMinSize = 32;

// The shared colours, or the system's before they are made.
COLORREF Face() {
    return SharedUi().IsInitialised() ? SharedUi().m_face : GetSysColor(COLOR_BTNFACE);
}
COLORREF Light() {
    return SharedUi().IsInitialised() ? SharedUi().m_highlight : GetSysColor(COLOR_BTNHIGHLIGHT);
}
COLORREF Shadow() {
    return SharedUi().IsInitialised() ? SharedUi().m_shadow : GetSysColor(COLOR_BTNSHADOW);
}
COLORREF FaceText() {
    return SharedUi().IsInitialised() ? SharedUi().m_faceText : GetSysColor(COLOR_BTNTEXT);
}

void FillSolid(HDC dc, const RECT& rc, COLORREF colour) {
    COLORREF old = SetBkColor(dc, colour);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
    SetBkColor(dc, old);
}

void Draw3dRect(HDC dc, const RECT& rc, COLORREF topLeft, COLORREF bottomRight) {
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    FillSolid(dc, {rc.left, rc.top, rc.left + w - 1, rc.top + 1}, topLeft);
    FillSolid(dc, {rc.left, rc.top, rc.left + 1, rc.top + h - 1}, topLeft);
    FillSolid(dc, {rc.left + w - 1, rc.top, rc.left + w, rc.top + h}, bottomRight);
    FillSolid(dc, {rc.left, rc.top + h - 1, rc.left + w, rc.top + h}, bottomRight);
}

bool IsSizing(CControlBar* bar) {
    return DynamicDowncast<CFxControlBar>(bar) != nullptr;
}

} // namespace

CFxControlBar::CFxControlBar() {
    SetBorders(kBorder, kBorder, kBorder, kBorder);
}

void CFxControlBar::OnDpiChanged(UINT oldDpi) {
    CControlBar::OnDpiChanged(oldDpi);
    const UINT dpi = GetDpi();
    auto rescale = [dpi, oldDpi](SIZE& size) {
        size.cx = MulDiv(size.cx, static_cast<int>(dpi), static_cast<int>(oldDpi));
        size.cy = MulDiv(size.cy, static_cast<int>(dpi), static_cast<int>(oldDpi));
    };
    rescale(m_sizeHorz);
    rescale(m_sizeVert);
    rescale(m_sizeFloat);
    const int least = Scaled(kMinSize);
    m_sizeMinHorz = m_sizeMinVert = m_sizeMinFloat = {least, least};
    m_edgeWidth = Scaled(kEdgeWidth);
    if (m_hWnd)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

CFxControlBar::~CFxControlBar() = default;

bool CFxControlBar::Create(CWnd* parent, UINT id, const char* title, int cx, int cy, UINT flags,
                           DWORD style) {
    m_edgeFlags = flags & 0x3F;
    m_dwStyle = style & CBRS_ALL;
    // cx and cy are pixels at the frame's density; the defaults follow it first.
    SetDpi(FxDpiOf(parent ? parent->m_hWnd : nullptr));
    const SIZE size = {cx, cy};
    if (style & (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)) {
        m_sizeFloat = m_sizeHorz = size;
    } else {
        m_sizeFloat = m_sizeVert = size;
        if (!(style & (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)))
            m_sizeHorz = size;
    }
    const char* cls = RegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    RECT rc = {0, 0, 0, 0};
    const DWORD windowStyle = (style & ~static_cast<DWORD>(CBRS_ALL)) | WS_CLIPCHILDREN;
    if (!CreateEx(0, cls, title, windowStyle, rc, parent, id))
        return false;
    if (CFrameWnd* frame = DynamicDowncast<CFrameWnd>(parent))
        frame->AddControlBar(this);
    return true;
}

bool CFxControlBar::IsSideHorz() const {
    return m_dockBarId == AFX_IDW_DOCKBAR_TOP || m_dockBarId == AFX_IDW_DOCKBAR_BOTTOM;
}

// --- Row arithmetic --------------------------------------------------------------------------

int CFxControlBar::CollectRow(std::vector<CControlBar*>& row) const {
    row.clear();
    if (!m_pDockBar)
        return -1;
    const int index = m_pDockBar->FindBar(this);
    if (index < 0)
        return -1;
    int first, end;
    m_pDockBar->GetRowRange(index, &first, &end);
    int self = -1;
    for (int i = first; i < end && static_cast<int>(row.size()) < kMaxRowBars; ++i) {
        CControlBar* bar = m_pDockBar->m_arrBars[i];
        if (!bar || !bar->m_hWnd || !bar->IsVisible())
            continue;
        if (bar == this)
            self = static_cast<int>(row.size());
        row.push_back(bar);
    }
    return self;
}

LONG& CFxControlBar::LengthOf(CFxControlBar* bar) {
    return IsSideHorz() ? bar->m_sizeHorz.cx : bar->m_sizeVert.cy;
}

LONG& CFxControlBar::ThicknessOf(CFxControlBar* bar) {
    return IsSideHorz() ? bar->m_sizeHorz.cy : bar->m_sizeVert.cx;
}

int CFxControlBar::MinLengthOf(const CFxControlBar* bar) const {
    return IsSideHorz() ? bar->m_sizeMinHorz.cx : bar->m_sizeMinVert.cy;
}

int CFxControlBar::MinThicknessOf(const CFxControlBar* bar) const {
    return IsSideHorz() ? bar->m_sizeMinHorz.cy : bar->m_sizeMinVert.cx;
}

int CFxControlBar::AvailableLength() const {
    RECT layout = {0, 0, 0, 0};
    if (m_pDockBar)
        layout = m_pDockBar->m_rectLayout;
    if (::IsRectEmpty(&layout) && m_pDockSite && m_pDockSite->m_hWnd)
        m_pDockSite->GetClientRect(&layout);
    return IsSideHorz() ? (layout.right - layout.left) + 2 : (layout.bottom - layout.top) - 2;
}

bool CFxControlBar::NegotiateRow(int available) {
    std::vector<CControlBar*> row;
    const int self = CollectRow(row);
    if (self < 0)
        return false;
    const bool horz = IsSideHorz();
    auto windowLength = [horz](CControlBar* bar) {
        RECT rc;
        bar->GetWindowRect(&rc);
        return horz ? static_cast<int>(rc.right - rc.left) : static_cast<int>(rc.bottom - rc.top);
    };
    // A row too long for the frame breaks at the first bar that does not fit.
    int total = 2;
    for (int i = 0; i < static_cast<int>(row.size()); ++i) {
        auto* fx = DynamicDowncast<CFxControlBar>(row[i]);
        total += (fx ? MinLengthOf(fx) : windowLength(row[i])) - 2;
        if (total <= available)
            continue;
        if (i < self) {
            m_pDockBar->InsertRowBreak(m_pDockBar->FindBar(row[i]) + 1);
            return false;
        }
        if (i > self) {
            m_pDockBar->InsertRowBreak(m_pDockBar->FindBar(row[i]));
            row.resize(i);
            break;
        }
        LengthOf(this) = MinLengthOf(this);
        return true;
    }

    std::vector<CFxControlBar*> sizing;
    int lengthLeft = available - 2;
    int sizingTotal = 0;
    int rowThickness = 0;
    for (CControlBar* bar : row) {
        if (auto* fx = DynamicDowncast<CFxControlBar>(bar)) {
            sizing.push_back(fx);
            sizingTotal += LengthOf(fx) - 2;
            rowThickness = std::max<int>(rowThickness, ThicknessOf(fx));
        } else {
            lengthLeft -= windowLength(bar) - 2;
        }
    }
    int diff = lengthLeft - sizingTotal;
    bool changed = false;
    if (sizing.size() == 1) {
        if (diff != 0) {
            sizing[0]->m_bKeepSize = false;
            LengthOf(sizing[0]) += diff;
            changed = true;
        }
        return changed;
    }
    for (CFxControlBar* fx : sizing) {
        if (ThicknessOf(fx) != rowThickness) {
            ThicknessOf(fx) = rowThickness;
            changed = true;
        }
    }
    // The difference goes one pixel at a time to the bars in turn; a bar just shown keeps its
    // length while the others can take it.
    bool flagsCleared = false;
    while (diff != 0) {
        bool passChanged = false;
        for (CFxControlBar* fx : sizing) {
            if (diff == 0)
                break;
            if (fx->m_bKeepSize)
                continue;
            if (diff < 0 && LengthOf(fx) <= MinLengthOf(fx))
                continue;
            const int step = diff > 0 ? 1 : -1;
            LengthOf(fx) += step;
            diff -= step;
            passChanged = true;
            changed = true;
        }
        if (!passChanged || diff == 0) {
            const bool anyKept = std::any_of(sizing.begin(), sizing.end(),
                                             [](CFxControlBar* fx) { return fx->m_bKeepSize; });
            for (CFxControlBar* fx : sizing)
                fx->m_bKeepSize = false;
            if (!passChanged && (flagsCleared || !anyKept))
                break;
            flagsCleared = true;
        }
    }
    return changed;
}

void CFxControlBar::LayoutRow() {
    std::vector<CControlBar*> row;
    if (CollectRow(row) < 0)
        return;
    const bool horz = IsSideHorz();
    int pos = horz ? -2 : 0;
    bool moved = false;
    for (CControlBar* bar : row) {
        RECT rc;
        bar->GetWindowRect(&rc);
        m_pDockBar->ScreenToClient(&rc);
        SIZE size = {rc.right - rc.left, rc.bottom - rc.top};
        if (auto* fx = DynamicDowncast<CFxControlBar>(bar))
            size = horz ? fx->m_sizeHorz : fx->m_sizeVert;
        const int lead = horz ? pos : pos - 2;
        if ((horz ? rc.left : rc.top) != lead || size.cx != rc.right - rc.left ||
            size.cy != rc.bottom - rc.top) {
            const int x = horz ? lead : static_cast<int>(rc.left);
            const int y = horz ? static_cast<int>(rc.top) : lead;
            ::SetWindowPos(bar->m_hWnd, nullptr, x, y, size.cx, size.cy,
                           SWP_NOZORDER | SWP_NOACTIVATE);
            moved = true;
        }
        pos += (horz ? size.cx : size.cy) - 2;
    }
    if (moved && m_pDockSite)
        m_pDockSite->DelayRecalcLayout();
}

SIZE CFxControlBar::CalcFixedLayout(bool stretch, bool horz) {
    if (stretch)
        return horz ? SIZE{32767, m_sizeHorz.cy} : SIZE{m_sizeVert.cx, 32767};
    std::vector<CControlBar*> row;
    const int self = CollectRow(row);
    if (m_pDockBar) {
        // Bars shown or hidden later than the layout asked are shown or hidden now.
        const int index = m_pDockBar->FindBar(this);
        int first, end;
        m_pDockBar->GetRowRange(index, &first, &end);
        for (int i = first; i < end; ++i)
            if (CControlBar* bar = m_pDockBar->m_arrBars[i])
                if (bar->m_nStateFlags & (delayShow | delayHide))
                    bar->ApplyDelayedShow();
    }
    // The row is fitted once per layout, by its first sizing bar, wherever that stands: other
    // bars before it (a toolbar) count by their lengths.
    const auto firstSizing = std::find_if(row.begin(), row.end(), IsSizing);
    const bool fitsRow = self >= 0 && firstSizing != row.end() && *firstSizing == this;
    if (fitsRow && IsVisible() && IsDocked() && m_bParentSizing) {
        NegotiateRow(AvailableLength());
        // Placed in any case: an edge drag may have changed lengths without changing the
        // row's total.
        LayoutRow();
    }
    m_bParentSizing = false;
    SIZE size = horz ? m_sizeHorz : m_sizeVert;
    const SIZE& minimum = horz ? m_sizeMinHorz : m_sizeMinVert;
    size.cx = std::max(size.cx, minimum.cx);
    size.cy = std::max(size.cy, minimum.cy);
    return size;
}

SIZE CFxControlBar::CalcDynamicLayout(int length, DWORD mode) {
    if (mode & (LM_HORZDOCK | LM_VERTDOCK)) {
        if (length == -1)
            m_bParentSizing = true;
        return CControlBar::CalcDynamicLayout(length, mode);
    }
    if (!(mode & (LM_MRUWIDTH | LM_COMMIT))) {
        CDockContext* context = m_pDockContext;
        const int hit = context ? context->m_nHitTest : HTNOWHERE;
        const bool corner =
            hit == HTTOPLEFT || hit == HTTOPRIGHT || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT;
        if (IsFloating() && context && context->m_bResizing && corner) {
            RECT& frame = context->m_rectFrameDragHorz;
            const POINT pt = context->m_ptLast;
            const int extraW = context->m_extraW, extraH = context->m_extraH;
            if (hit == HTTOPLEFT || hit == HTBOTTOMLEFT) {
                m_sizeFloat.cx = std::max<int>(frame.right - pt.x - extraW, m_sizeMinFloat.cx);
                frame.left = frame.right - m_sizeFloat.cx - extraW;
            } else {
                m_sizeFloat.cx = pt.x - frame.left - extraW;
            }
            if (hit == HTTOPLEFT || hit == HTTOPRIGHT) {
                m_sizeFloat.cy = std::max<int>(frame.bottom - pt.y - extraH, m_sizeMinFloat.cy);
                frame.top = frame.bottom - m_sizeFloat.cy - extraH;
            } else {
                m_sizeFloat.cy = pt.y - frame.top - extraH;
            }
        } else if (mode & LM_LENGTHY) {
            m_sizeFloat.cy = length;
        } else {
            m_sizeFloat.cx = length;
        }
    }
    m_sizeFloat.cx = std::max(m_sizeFloat.cx, m_sizeMinFloat.cx);
    m_sizeFloat.cy = std::max(m_sizeFloat.cy, m_sizeMinFloat.cy);
    return m_sizeFloat;
}

void CFxControlBar::OnUpdateCmdUI(CFrameWnd*, bool) {}

void CFxControlBar::DoPaint(HDC) {}

// --- Non-client area -------------------------------------------------------------------------

void CFxControlBar::OnNcCalcSize(bool, NCCALCSIZE_PARAMS* params) {
    RECT& rc = params->rgrc[0];
    const RECT window = rc;
    m_dockBarId = ::GetParent(m_hWnd) ? static_cast<UINT>(::GetDlgCtrlID(::GetParent(m_hWnd))) : 0;
    if (IsFloating()) {
        // The mini frame is sized at its corners too.
        HWND dockBar = ::GetParent(m_hWnd);
        HWND mini = ::GetParent(dockBar);
        if (mini && (::GetWindowLongA(mini, GWL_STYLE) & MFS_4THICKFRAME)) {
            ::SetWindowLongA(mini, GWL_STYLE, ::GetWindowLongA(mini, GWL_STYLE) & ~MFS_4THICKFRAME);
            ::SetWindowLongA(dockBar, GWL_STYLE,
                             ::GetWindowLongA(dockBar, GWL_STYLE) & ~WS_CLIPCHILDREN);
        }
    }
    m_edgeFlags &= ~(FXCB_EDGELEFT | FXCB_EDGERIGHT | FXCB_EDGETOP | FXCB_EDGEBOTTOM);
    const bool docked = IsDocked();
    if (docked) {
        std::vector<CControlBar*> row;
        const int self = CollectRow(row);
        if (self >= 0 && self + 1 < static_cast<int>(row.size()))
            m_edgeFlags |= IsSideHorz() ? FXCB_EDGERIGHT : FXCB_EDGEBOTTOM;
        switch (m_dockBarId) {
        case AFX_IDW_DOCKBAR_TOP:
            m_edgeFlags |= FXCB_EDGEBOTTOM;
            break;
        case AFX_IDW_DOCKBAR_LEFT:
            m_edgeFlags |= FXCB_EDGERIGHT;
            break;
        case AFX_IDW_DOCKBAR_RIGHT:
            m_edgeFlags |= FXCB_EDGELEFT;
            break;
        case AFX_IDW_DOCKBAR_BOTTOM:
            m_edgeFlags |= FXCB_EDGETOP;
            break;
        default:
            break;
        }
    }
    if (m_edgeFlags & FXCB_SHOWEDGES) {
        if (m_edgeFlags & FXCB_EDGELEFT)
            rc.left += m_edgeWidth;
        if (m_edgeFlags & FXCB_EDGERIGHT)
            rc.right -= m_edgeWidth;
        if (m_edgeFlags & FXCB_EDGETOP)
            rc.top += m_edgeWidth;
        if (m_edgeFlags & FXCB_EDGEBOTTOM)
            rc.bottom -= m_edgeWidth;
    }
    ::SetRectEmpty(&m_rectClose);
    ::SetRectEmpty(&m_rectGripper);
    const int room = Scaled(kGripperRoom), box = Scaled(kCloseSize), gap = Scaled(kCloseGap);
    // The gripper: two lines, kGripperLine each, the second overlapping the first by one
    // pixel less than its own width (see DrawGripper).
    const int line = Scaled(kGripperLine);
    const int gripper = 2 * line - 1;
    if (docked && IsSideHorz()) {
        rc.left += m_cxLeftBorder + room;
        rc.top += m_cyTopBorder;
        rc.right -= m_cxRightBorder;
        rc.bottom -= m_cyBottomBorder;
        m_rectClose = {rc.left - gap - box, rc.top, rc.left - gap, rc.top + box};
        const int centre = (m_rectClose.left + m_rectClose.right) / 2;
        m_rectGripper = {centre - gripper / 2, m_rectClose.bottom + gap,
                         centre - gripper / 2 + gripper, rc.bottom};
    } else if (docked) {
        rc.left += m_cxLeftBorder;
        rc.top += m_cyTopBorder + room;
        rc.right -= m_cxRightBorder;
        rc.bottom -= m_cyBottomBorder;
        m_rectClose = {rc.right - box, rc.top - gap - box, rc.right, rc.top - gap};
        const int centre = (m_rectClose.top + m_rectClose.bottom) / 2;
        m_rectGripper = {rc.left, centre - gripper / 2, m_rectClose.left - gap,
                         centre - gripper / 2 + gripper};
    } else {
        rc.left += m_cxLeftBorder;
        rc.top += m_cyTopBorder;
        rc.right -= m_cxRightBorder;
        rc.bottom -= m_cyBottomBorder;
    }
    rc.right = std::max(rc.right, rc.left);
    rc.bottom = std::max(rc.bottom, rc.top);
    ::OffsetRect(&m_rectClose, -window.left, -window.top);
    ::OffsetRect(&m_rectGripper, -window.left, -window.top);
}

RECT CFxControlBar::EdgeStrip(int edge) const {
    RECT rc;
    GetWindowRect(&rc);
    ::OffsetRect(&rc, -rc.left, -rc.top);
    switch (edge) {
    case HTLEFT:
        rc.right = rc.left + m_edgeWidth;
        break;
    case HTRIGHT:
        rc.left = rc.right - m_edgeWidth;
        break;
    case HTTOP:
        rc.bottom = rc.top + m_edgeWidth;
        break;
    default:
        rc.top = rc.bottom - m_edgeWidth;
        break;
    }
    return rc;
}

LRESULT CFxControlBar::OnNcHitTest(POINT pt) {
    if (IsFloating() || !IsDocked())
        return CControlBar::OnNcHitTest(pt);
    RECT window;
    GetWindowRect(&window);
    POINT local = {pt.x - window.left, pt.y - window.top};
    static const struct {
        UINT flag;
        int code;
    } edges[] = {{FXCB_EDGELEFT, HTLEFT},
                 {FXCB_EDGETOP, HTTOP},
                 {FXCB_EDGERIGHT, HTRIGHT},
                 {FXCB_EDGEBOTTOM, HTBOTTOM}};
    for (const auto& edge : edges) {
        if (!(m_edgeFlags & edge.flag))
            continue;
        RECT strip = EdgeStrip(edge.code);
        if (::PtInRect(&strip, local))
            return edge.code;
    }
    if (::PtInRect(&m_rectClose, local))
        return HTCLOSE;
    return HTCLIENT;
}

void CFxControlBar::RedrawFrame() {
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
}

void CFxControlBar::OnNcPaint() {
    HDC dc = ::GetWindowDC(m_hWnd);
    if (!dc)
        return;
    RECT window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
    ::OffsetRect(&client, -window.left, -window.top);
    ::ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    RECT rc = {0, 0, window.right - window.left, window.bottom - window.top};
    DrawBarFrame(dc, rc);
    FillSolid(dc, rc, Face());
    DrawEdges(dc);
    DrawGripper(dc);
    DrawCloseBox(dc);
    ::ReleaseDC(m_hWnd, dc);
}

void CFxControlBar::DrawBarFrame(HDC dc, RECT& rc) {
    // One etched line on each side the bar style gives a border.
    if (m_dwStyle & CBRS_BORDER_LEFT) {
        FillSolid(dc, {rc.left, rc.top, rc.left + 1, rc.bottom}, Shadow());
        FillSolid(dc, {rc.left + 1, rc.top, rc.left + 2, rc.bottom}, Light());
        rc.left += 2;
    }
    if (m_dwStyle & CBRS_BORDER_TOP) {
        FillSolid(dc, {rc.left, rc.top, rc.right, rc.top + 1}, Shadow());
        FillSolid(dc, {rc.left, rc.top + 1, rc.right, rc.top + 2}, Light());
        rc.top += 2;
    }
    if (m_dwStyle & CBRS_BORDER_RIGHT) {
        FillSolid(dc, {rc.right - 2, rc.top, rc.right - 1, rc.bottom}, Shadow());
        FillSolid(dc, {rc.right - 1, rc.top, rc.right, rc.bottom}, Light());
        rc.right -= 2;
    }
    if (m_dwStyle & CBRS_BORDER_BOTTOM) {
        FillSolid(dc, {rc.left, rc.bottom - 2, rc.right, rc.bottom - 1}, Shadow());
        FillSolid(dc, {rc.left, rc.bottom - 1, rc.right, rc.bottom}, Light());
        rc.bottom -= 2;
    }
}

void CFxControlBar::DrawGripper(HDC dc) {
    if (IsFloating() || !(m_dwStyle & CBRS_GRIPPER) || ::IsRectEmpty(&m_rectGripper))
        return;
    const RECT& g = m_rectGripper;
    // Two raised lines side by side, each kGripperLine thick at 96 DPI.
    const int line = Scaled(kGripperLine);
    if (IsSideHorz()) {
        Draw3dRect(dc, {g.left - 1, g.top, g.left - 1 + line, g.bottom}, Light(), Shadow());
        Draw3dRect(dc, {g.left - 1 + line, g.top, g.left - 1 + 2 * line, g.bottom}, Light(),
                   Shadow());
    } else {
        Draw3dRect(dc, {g.left, g.top - 1, g.right, g.top - 1 + line}, Light(), Shadow());
        Draw3dRect(dc, {g.left, g.top - 1 + line, g.right, g.top - 1 + 2 * line}, Light(),
                   Shadow());
    }
}

void CFxControlBar::DrawCloseBox(HDC dc) {
    if (IsFloating() || ::IsRectEmpty(&m_rectClose))
        return;
    const RECT& box = m_rectClose;
    HPEN pen = SharedUi().m_textPen;
    HPEN own = nullptr;
    if (!pen)
        pen = own = ::CreatePen(PS_SOLID, 1, FaceText());
    HGDIOBJ old = ::SelectObject(dc, pen);
    // The cross: parallel diagonals, more of them in a larger box.
    const int inset = Scaled(3);
    const int size = box.right - box.left - 2 * inset;
    const int strokes = std::max(1, size / 4);
    for (int k = 0; k < strokes; ++k) {
        ::MoveToEx(dc, box.left + inset + k, box.top + inset, nullptr);
        ::LineTo(dc, box.right - inset + k, box.bottom - inset);
        ::MoveToEx(dc, box.right - inset - 1 - k, box.top + inset, nullptr);
        ::LineTo(dc, box.left + inset - 1 - k, box.bottom - inset);
    }
    ::SelectObject(dc, old);
    if (own)
        ::DeleteObject(own);
    if (m_bClosePressed)
        Draw3dRect(dc, box, Shadow(), Light());
}

void CFxControlBar::DrawEdges(HDC dc) {
    if (!(m_edgeFlags & FXCB_SHOWEDGES))
        return;
    static const struct {
        UINT flag;
        int code;
        int dx, dy;
    } edges[] = {{FXCB_EDGELEFT, HTLEFT, -1, 0},
                 {FXCB_EDGETOP, HTTOP, 0, -1},
                 {FXCB_EDGERIGHT, HTRIGHT, 1, 0},
                 {FXCB_EDGEBOTTOM, HTBOTTOM, 0, 1}};
    for (const auto& edge : edges) {
        if (!(m_edgeFlags & edge.flag))
            continue;
        RECT strip = EdgeStrip(edge.code);
        ::OffsetRect(&strip, edge.dx, edge.dy);
        Draw3dRect(dc, strip, Light(), Shadow());
    }
}

// --- Mouse -----------------------------------------------------------------------------------

LRESULT CFxControlBar::OnNcLButtonDown(WPARAM hit, LPARAM pos) {
    if (m_bTracking || IsFloating())
        return Default();
    const POINT pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
    switch (hit) {
    case HTLEFT:
    case HTRIGHT:
    case HTTOP:
    case HTBOTTOM:
        BeginEdgeDrag(static_cast<int>(hit), pt.x, pt.y);
        return 0;
    case HTCLOSE:
        m_bClosePressed = true;
        RedrawFrame();
        ::SetCapture(m_hWnd);
        return 0;
    default:
        return Default();
    }
}

void CFxControlBar::OnLButtonDown(UINT flags, POINT pt) {
    if (m_bTracking || m_bClosePressed)
        return;
    CControlBar::OnLButtonDown(flags, pt);
}

void CFxControlBar::OnLButtonUp(UINT, POINT pt) {
    if (m_bClosePressed) {
        m_bClosePressed = false;
        if (::GetCapture() == m_hWnd)
            ::ReleaseCapture();
        RECT window;
        GetWindowRect(&window);
        ::ClientToScreen(m_hWnd, &pt);
        POINT local = {pt.x - window.left, pt.y - window.top};
        RedrawFrame();
        if (::PtInRect(&m_rectClose, local) && m_pDockSite)
            m_pDockSite->ShowControlBar(this, false, false);
        return;
    }
    if (m_bTracking) {
        EndEdgeDrag();
        return;
    }
    Default();
}

void CFxControlBar::OnRButtonDown(UINT, POINT) {
    if (m_bTracking) {
        EndEdgeDrag();
        return;
    }
    Default();
}

void CFxControlBar::OnMouseMove(UINT, POINT pt) {
    if (m_bTracking) {
        ::ClientToScreen(m_hWnd, &pt);
        DragEdgeTo(pt);
        return;
    }
    Default();
}

void CFxControlBar::OnCaptureChanged(HWND wnd) {
    if (wnd != m_hWnd) {
        if (m_bTracking)
            EndEdgeDrag();
        if (m_bClosePressed) {
            m_bClosePressed = false;
            RedrawFrame();
        }
    }
    Default();
}

// --- Edge drag -------------------------------------------------------------------------------

void CFxControlBar::BeginEdgeDrag(int edge, int x, int y) {
    std::vector<CControlBar*> row;
    const int self = CollectRow(row);
    if (self < 0)
        return;
    ::SetCapture(m_hWnd);
    ::RedrawWindow(m_hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    m_nDragEdge = edge;
    m_bTracking = true;
    const bool xAxis = edge == HTLEFT || edge == HTRIGHT;
    RECT window;
    GetWindowRect(&window);
    RECT strip = EdgeStrip(edge);
    ::OffsetRect(&strip, window.left, window.top);
    const int centre = xAxis ? (strip.left + strip.right) / 2 : (strip.top + strip.bottom) / 2;
    m_trackPos = xAxis ? x : y;
    m_trackOffset = m_trackPos - centre;
    m_trackMin = m_trackMax = m_trackPos;
    const bool horz = IsSideHorz();
    const bool alongRow = horz == xAxis;
    if (alongRow) {
        // Bars before the edge and bars after it may each shrink to their minimum length.
        const int firstAfter = (edge == HTLEFT || edge == HTTOP) ? self : self + 1;
        for (int i = 0; i < static_cast<int>(row.size()); ++i) {
            auto* fx = DynamicDowncast<CFxControlBar>(row[i]);
            if (!fx)
                continue;
            const int room = std::max<int>(0, LengthOf(fx) - MinLengthOf(fx));
            if (i < firstAfter)
                m_trackMin -= room;
            else
                m_trackMax += room;
        }
    } else {
        // The row may shrink to its thickest minimum and grow into the frame's free room.
        int largestMin = 0;
        for (CControlBar* bar : row)
            if (auto* fx = DynamicDowncast<CFxControlBar>(bar))
                largestMin = std::max<int>(largestMin, MinThicknessOf(fx));
        const int shrink = std::max<int>(0, ThicknessOf(this) - largestMin);
        int grow = 0;
        if (m_pDockSite) {
            RECT rest;
            m_pDockSite->RepositionBars(CFrameWnd::reposQuery, &rest);
            grow = std::max<int>(0, (horz ? static_cast<int>(rest.bottom - rest.top)
                                          : static_cast<int>(rest.right - rest.left)) -
                                        2);
        }
        if (edge == HTTOP || edge == HTLEFT) {
            m_trackMin -= grow;
            m_trackMax += shrink;
        } else {
            m_trackMin -= shrink;
            m_trackMax += grow;
        }
    }
    if (m_pDockSite && m_pDockSite->m_hWnd)
        ::LockWindowUpdate(m_pDockSite->m_hWnd);
    InvertDragLine();
    m_lineShown = true;
}

void CFxControlBar::InvertDragLine() {
    if (!m_pDockSite || !m_pDockSite->m_hWnd)
        return;
    const bool xAxis = m_nDragEdge == HTLEFT || m_nDragEdge == HTRIGHT;
    RECT window;
    GetWindowRect(&window);
    RECT strip = EdgeStrip(m_nDragEdge);
    ::OffsetRect(&strip, window.left, window.top);
    const bool alongRow = IsSideHorz() == xAxis;
    if (!alongRow && m_pDockBar) {
        RECT dock;
        m_pDockBar->GetWindowRect(&dock);
        if (IsSideHorz()) {
            strip.left = dock.left + 1;
            strip.right = dock.right - 1;
        } else {
            strip.top = dock.top + 1;
            strip.bottom = dock.bottom - 1;
        }
    }
    const int centre = xAxis ? (strip.left + strip.right) / 2 : (strip.top + strip.bottom) / 2;
    const int shift = m_trackPos - m_trackOffset - centre;
    if (xAxis)
        ::OffsetRect(&strip, shift, 0);
    else
        ::OffsetRect(&strip, 0, shift);
    RECT frame;
    m_pDockSite->GetWindowRect(&frame);
    ::OffsetRect(&strip, -frame.left, -frame.top);
    AfxInvertHalftoneRect(m_pDockSite->m_hWnd, strip);
}

void CFxControlBar::DragEdgeTo(POINT pt) {
    if (!m_bTracking)
        return;
    const bool xAxis = m_nDragEdge == HTLEFT || m_nDragEdge == HTRIGHT;
    const int target = std::clamp<int>(xAxis ? pt.x : pt.y, m_trackMin, m_trackMax);
    if (target == m_trackPos)
        return;
    if (m_lineShown)
        InvertDragLine();
    const int delta = target - m_trackPos;
    m_trackPos = target;
    std::vector<CControlBar*> row;
    const int self = CollectRow(row);
    if (self >= 0) {
        const bool leadingEdge = m_nDragEdge == HTLEFT || m_nDragEdge == HTTOP;
        if (IsSideHorz() == xAxis) {
            // The bar on the growing side grows; those on the other side give the same back,
            // nearest first, each down to its minimum.
            const int n = static_cast<int>(row.size());
            int grower;
            int step; // direction of the givers from the edge
            int start;
            if (leadingEdge) {
                grower = delta > 0 ? self - 1 : self;
                start = delta > 0 ? self : self - 1;
                step = delta > 0 ? 1 : -1;
            } else {
                grower = delta > 0 ? self : self + 1;
                start = delta > 0 ? self + 1 : self;
                step = delta > 0 ? 1 : -1;
            }
            // The grower is the nearest sizing bar on its side of the edge.
            while (grower >= 0 && grower < n && !IsSizing(row[grower]))
                grower -= step;
            auto* grow =
                grower >= 0 && grower < n ? DynamicDowncast<CFxControlBar>(row[grower]) : nullptr;
            int amount = std::abs(delta);
            int given = 0;
            for (int i = start; i >= 0 && i < n && given < amount; i += step) {
                auto* fx = DynamicDowncast<CFxControlBar>(row[i]);
                if (!fx)
                    continue;
                const int take =
                    std::min<int>(amount - given, std::max<int>(0, LengthOf(fx) - MinLengthOf(fx)));
                LengthOf(fx) -= take;
                given += take;
            }
            if (grow)
                LengthOf(grow) += given;
        } else {
            const int thickness = ThicknessOf(this) + (leadingEdge ? -delta : delta);
            for (CControlBar* bar : row)
                if (auto* fx = DynamicDowncast<CFxControlBar>(bar))
                    ThicknessOf(fx) = thickness;
        }
    }
    InvertDragLine();
    m_lineShown = true;
}

void CFxControlBar::EndEdgeDrag() {
    if (!m_bTracking)
        return;
    if (m_lineShown)
        InvertDragLine();
    m_lineShown = false;
    m_bTracking = false;
    ::LockWindowUpdate(nullptr);
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    if (m_pDockSite)
        m_pDockSite->DelayRecalcLayout(true);
}

// --- Position and size -----------------------------------------------------------------------

LRESULT CFxControlBar::OnWindowPosChanging(WPARAM, LPARAM lParam) {
    auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
    pos->flags |= SWP_FRAMECHANGED;
    HWND parent = ::GetParent(m_hWnd);
    m_dockBarId = parent ? static_cast<UINT>(::GetDlgCtrlID(parent)) : 0;
    if ((pos->flags & SWP_SHOWWINDOW) && IsDocked())
        m_bKeepSize = true;
    return Default();
}

void CFxControlBar::OnSize(UINT, int cx, int cy) {
    if (!(m_edgeFlags & FXCB_FITCHILD))
        return;
    if (HWND child = ::GetWindow(m_hWnd, GW_CHILD))
        ::SetWindowPos(child, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CFxControlBar::OnSysColorChange() {
    RedrawFrame();
    Invalidate(true);
}
