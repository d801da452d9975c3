// CSplitterWnd. Layer: framework/.
#include "framework/SplitterWnd.h"

#include "framework/CreateContext.h"
#include "framework/Document.h"
#include "framework/Dpi.h"
#include "framework/FrameWnd.h"
#include "framework/FwIds.h"
#include "framework/View.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CSplitterWnd, CWnd)

BEGIN_MESSAGE_MAP(CSplitterWnd, CWnd)
ON_WM_SIZE()
ON_WM_PAINT()
ON_WM_SETCURSOR()
ON_WM_LBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_WM_CANCELMODE()
ON_MESSAGE(WM_FXDPICHANGED, OnFxDpiChanged)
END_MESSAGE_MAP()

namespace {
// The split bar's height at 96 DPI.
const int kSplitterHeight = 6;
} // namespace

CSplitterWnd::CSplitterWnd() = default;

UINT CSplitterWnd::IdFromRowCol(int row, int col) {
    return AFX_IDW_PANE_FIRST + static_cast<UINT>(row * AFX_IDW_SPLITTER_ROW_STEP + col);
}

bool CSplitterWnd::Create(CWnd* parent, int maxRows, int, SIZE minSize, CCreateContext* context,
                          DWORD style, UINT id) {
    m_nMaxRows = std::max(1, std::min(maxRows, 2));
    m_minSize96 = minSize;
    ScaleSizes(FxDpiOf(parent ? parent->m_hWnd : nullptr));
    m_pDynamicViewClass = context ? context->m_pNewViewClass : nullptr;
    const char* cls = RegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    RECT rc = {0, 0, 0, 0};
    if (!CreateEx(0, cls, nullptr,
                  (style & ~static_cast<DWORD>(SPLS_DYNAMIC_SPLIT)) | WS_CHILD | WS_CLIPCHILDREN,
                  rc, parent, id))
        return false;
    m_nRows = 1;
    if (m_pDynamicViewClass && !CreateView(0, 0, m_pDynamicViewClass, SIZE{0, 0}, context))
        return false;
    return true;
}

void CSplitterWnd::ScaleSizes(UINT dpi) {
    m_cySplitter = FxScale(kSplitterHeight, dpi);
    m_minSize = {FxScale(m_minSize96.cx, dpi), FxScale(m_minSize96.cy, dpi)};
}

LRESULT CSplitterWnd::OnFxDpiChanged(WPARAM dpi, LPARAM oldDpi) {
    const UINT to = static_cast<UINT>(dpi);
    if (oldDpi > 0 && m_nRows > 1)
        m_cyFirstRow = MulDiv(m_cyFirstRow, static_cast<int>(to), static_cast<int>(oldDpi));
    ScaleSizes(to);
    RecalcLayout();
    return 0;
}

CWnd* CSplitterWnd::GetPane(int row, int col) const {
    return FromHandle(::GetDlgItem(m_hWnd, static_cast<int>(IdFromRowCol(row, col))));
}

bool CSplitterWnd::CreateView(int row, int col, const CRuntimeClass* viewClass, SIZE,
                              CCreateContext* context) {
    CObject* obj = viewClass ? viewClass->CreateObject() : nullptr;
    CWnd* view = DynamicDowncast<CWnd>(obj);
    if (!view) {
        delete obj;
        return false;
    }
    RECT rc = {0, 0, 0, 0};
    if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, rc, this, IdFromRowCol(row, col),
                      context))
        return false; // deleted itself
    return true;
}

bool CSplitterWnd::SplitRow(int cyBefore) {
    if (!CanSplit())
        return false;
    CView* first = DynamicDowncast<CView>(GetPane(0, 0));
    if (!first)
        return false;
    CCreateContext context;
    context.m_pCurrentDoc = first->GetDocument();
    context.m_pNewViewClass = m_pDynamicViewClass ? m_pDynamicViewClass : first->GetRuntimeClass();
    context.m_pCurrentFrame = GetParentFrame();
    context.m_pLastView = first;
    if (!CreateView(1, 0, context.m_pNewViewClass, SIZE{0, 0}, &context))
        return false;
    m_nRows = 2;
    m_cyFirstRow = std::max<int>(m_minSize.cy, cyBefore);
    RecalcLayout();
    if (CWnd* second = GetPane(1, 0))
        second->SendMessage(WM_INITIALUPDATE);
    return true;
}

void CSplitterWnd::DeleteRow(int row) {
    if (m_nRows < 2 || row < 0 || row > 1)
        return;
    CWnd* doomed = GetPane(row, 0);
    CWnd* kept = GetPane(1 - row, 0);
    CFrameWnd* frame = GetParentFrame();
    if (frame && doomed && frame->GetActiveView() == doomed)
        frame->SetActiveView(DynamicDowncast<CView>(kept));
    if (doomed)
        doomed->DestroyWindow();
    if (kept)
        kept->SetDlgCtrlID(static_cast<int>(IdFromRowCol(0, 0)));
    m_nRows = 1;
    RecalcLayout();
}

void CSplitterWnd::DoKeyboardSplit() {
    if (!CanSplit())
        return;
    RECT rc;
    GetClientRect(&rc);
    SplitRow((rc.bottom - rc.top - m_cySplitter) / 2);
}

CView* CSplitterWnd::GetActivePane(int* row, int* col) const {
    CFrameWnd* frame = GetParentFrame();
    CView* view = frame ? frame->GetActiveView() : nullptr;
    if (!view || ::GetParent(view->m_hWnd) != m_hWnd)
        return nullptr;
    int id = view->GetDlgCtrlID() - static_cast<int>(AFX_IDW_PANE_FIRST);
    if (row)
        *row = id / AFX_IDW_SPLITTER_ROW_STEP;
    if (col)
        *col = id % AFX_IDW_SPLITTER_ROW_STEP;
    return view;
}

void CSplitterWnd::SetActivePane(int row, int col) {
    CView* view = DynamicDowncast<CView>(GetPane(row, col));
    if (!view)
        return;
    if (CFrameWnd* frame = GetParentFrame())
        frame->SetActiveView(view);
    view->SetFocus();
}

bool CSplitterWnd::CanActivateNext(bool) const {
    return m_nRows > 1;
}

void CSplitterWnd::ActivateNext(bool) {
    // Two panes: next and previous are both the other one.
    int row = 0;
    if (!GetActivePane(&row, nullptr))
        row = 1;
    SetActivePane(1 - row, 0);
}

RECT CSplitterWnd::SplitterRect() const {
    RECT rc;
    GetClientRect(&rc);
    if (m_nRows > 1) {
        rc.top = m_cyFirstRow;
        rc.bottom = m_cyFirstRow + m_cySplitter;
    } else {
        rc.bottom = rc.top + (CanSplit() ? m_cySplitter : 0);
    }
    return rc;
}

void CSplitterWnd::RecalcLayout() {
    RECT rc;
    GetClientRect(&rc);
    int width = rc.right - rc.left, height = rc.bottom - rc.top;
    CWnd* first = GetPane(0, 0);
    if (m_nRows > 1) {
        m_cyFirstRow = std::min(m_cyFirstRow, std::max(0, height - m_cySplitter));
        CWnd* second = GetPane(1, 0);
        if (first)
            ::MoveWindow(first->m_hWnd, 0, 0, width, m_cyFirstRow, TRUE);
        if (second)
            ::MoveWindow(second->m_hWnd, 0, m_cyFirstRow + m_cySplitter, width,
                         std::max(0, height - m_cyFirstRow - m_cySplitter), TRUE);
    } else if (first) {
        int top = CanSplit() ? m_cySplitter : 0;
        ::MoveWindow(first->m_hWnd, 0, top, width, std::max(0, height - top), TRUE);
    }
    Invalidate(true);
}

void CSplitterWnd::OnSize(UINT type, int, int) {
    if (type != SIZE_MINIMIZED)
        RecalcLayout();
}

void CSplitterWnd::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    RECT bar = SplitterRect();
    if (bar.bottom > bar.top) {
        FillRect(dc, &bar, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(dc, &bar, EDGE_RAISED, BF_RECT);
    }
    EndPaint(m_hWnd, &ps);
}

bool CSplitterWnd::OnSetCursor(HWND wnd, UINT hitTest, UINT message) {
    if (wnd == m_hWnd && hitTest == HTCLIENT) {
        SetCursor(LoadCursor(nullptr, IDC_SIZENS));
        return true;
    }
    return CWnd::OnSetCursor(wnd, hitTest, message);
}

void CSplitterWnd::OnLButtonDown(UINT, POINT pt) {
    RECT bar = SplitterRect();
    if (!PtInRect(&bar, pt))
        return;
    m_bTracking = true;
    m_trackOffset = pt.y - bar.top;
    m_trackY = bar.top;
    SetCapture(m_hWnd);
}

void CSplitterWnd::OnMouseMove(UINT, POINT pt) {
    if (!m_bTracking)
        return;
    RECT rc;
    GetClientRect(&rc);
    m_trackY = std::max(0L, std::min<LONG>(pt.y - m_trackOffset, rc.bottom - m_cySplitter));
    // Live feedback: the layout follows the pointer.
    if (m_nRows > 1) {
        m_cyFirstRow = m_trackY;
        RecalcLayout();
        UpdateWindow();
    }
}

void CSplitterWnd::OnLButtonUp(UINT, POINT) {
    if (m_bTracking)
        EndTracking(true);
}

void CSplitterWnd::OnCancelMode() {
    if (m_bTracking)
        EndTracking(false);
    CWnd::OnCancelMode();
}

void CSplitterWnd::EndTracking(bool accept) {
    m_bTracking = false;
    if (GetCapture() == m_hWnd)
        ReleaseCapture();
    if (!accept)
        return;
    RECT rc;
    GetClientRect(&rc);
    int height = rc.bottom - rc.top;
    if (m_nRows == 1) {
        if (m_trackY >= m_minSize.cy && height - m_trackY - m_cySplitter >= m_minSize.cy)
            SplitRow(m_trackY);
        return;
    }
    // Dragged past the minimum at either end: that pane goes.
    if (m_trackY < m_minSize.cy)
        DeleteRow(0);
    else if (height - m_trackY - m_cySplitter < m_minSize.cy)
        DeleteRow(1);
    else {
        m_cyFirstRow = m_trackY;
        RecalcLayout();
    }
}
