// The print preview window. Layer: framework/.
#include "framework/PreviewView.h"

#include "framework/Document.h"
#include "framework/FrameWnd.h"
#include "framework/FwIds.h"
#include "framework/FwPrintIds.h"
#include "framework/MessageMap.h"
#include "framework/PrintInfo.h"
#include "framework/View.h"

#include <algorithm>
#include <cstdio>
#include <string>

IMPLEMENT_DYNAMIC(CPreviewView, CWnd)

BEGIN_MESSAGE_MAP(CPreviewView, CWnd)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_SIZE()
ON_WM_KEYDOWN()
ON_WM_VSCROLL()
ON_WM_HSCROLL()
ON_WM_MOUSEWHEEL()
ON_WM_LBUTTONDOWN()
ON_COMMAND(AFX_ID_PREVIEW_CLOSE, OnCmdClose)
ON_COMMAND(AFX_ID_PREVIEW_NEXT, OnCmdNext)
ON_COMMAND(AFX_ID_PREVIEW_PREV, OnCmdPrev)
ON_COMMAND(AFX_ID_PREVIEW_NUMPAGE, OnCmdNumPage)
ON_COMMAND(AFX_ID_PREVIEW_ZOOMIN, OnCmdZoomIn)
ON_COMMAND(AFX_ID_PREVIEW_ZOOMOUT, OnCmdZoomOut)
ON_COMMAND(AFX_ID_PREVIEW_PRINT, OnCmdPrint)
END_MESSAGE_MAP()

namespace {
CPreviewView* g_active = nullptr;
const int kGap = 12;
const double kZoomFactors[CPreviewView::kMaxZoom + 1] = {1.0, 2.0, 3.0};
} // namespace

CPreviewView::CPreviewView() = default;

CPreviewView::~CPreviewView() {
    if (g_active == this)
        g_active = nullptr;
    if (m_printerDC)
        DeleteDC(m_printerDC);
}

CPreviewView* CPreviewView::Active() {
    return g_active;
}

bool CPreviewView::ReleaseDocument(CDocument* doc) {
    if (!doc)
        return true;
    if (g_active && g_active->m_view && g_active->m_view->GetDocument() == doc)
        g_active->Close();
    for (CView* v : doc->GetViews())
        if (v->IsPrinting())
            return false;
    return true;
}

UINT CPreviewView::PageCount() const {
    return m_info ? std::max<UINT>(1, m_info->GetMaxPage()) : 1;
}

bool CPreviewView::Start(CFrameWnd* frame, CView* view) {
    if (!frame || !view || g_active)
        return false;
    m_frame = frame;
    m_view = view;
    m_info.reset(new CPrintInfo);
    m_info->m_bPreview = true;
    ++view->m_printing;
    if (!view->OnPreparePrinting(m_info.get()) || !m_info->m_pPD->m_pd.hDC) {
        if (m_info->m_pPD->m_pd.hDC)
            DeleteDC(m_info->m_pPD->m_pd.hDC);
        m_info->m_pPD->m_pd.hDC = nullptr;
        --view->m_printing;
        return false;
    }
    m_printerDC = m_info->m_pPD->m_pd.hDC;
    m_info->m_pPD->m_pd.hDC = nullptr;
    m_paper = {GetDeviceCaps(m_printerDC, PHYSICALWIDTH),
               GetDeviceCaps(m_printerDC, PHYSICALHEIGHT)};
    if (m_paper.cx <= 0 || m_paper.cy <= 0)
        m_paper = {GetDeviceCaps(m_printerDC, HORZRES), GetDeviceCaps(m_printerDC, VERTRES)};
    m_offset = {GetDeviceCaps(m_printerDC, PHYSICALOFFSETX),
                GetDeviceCaps(m_printerDC, PHYSICALOFFSETY)};
    view->OnBeginPrinting(m_printerDC, m_info.get());
    m_page = std::max<UINT>(1, m_info->GetFromPage());
    if (m_page > PageCount())
        m_page = 1;

    RECT rc = {0, 0, 0, 0};
    const char* cls = RegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW), nullptr);
    if (!CreateEx(0, cls, "", WS_CHILD | WS_VSCROLL | WS_HSCROLL | WS_CLIPCHILDREN, rc, frame,
                  AFX_IDW_PANE_LAST)) {
        view->OnEndPrinting(m_printerDC, m_info.get());
        --view->m_printing;
        return false;
    }
    g_active = this;
    OnCreateToolbar();
    frame->OnSetPreviewMode(true, this);
    ShowWindow(SW_SHOW);
    ::SetFocus(m_hWnd);
    Changed();
    return true;
}

void CPreviewView::Close() {
    if (m_closing)
        return;
    m_closing = true;
    if (m_view) {
        m_view->OnEndPrinting(m_printerDC, m_info.get());
        POINT pt = {0, 0};
        m_view->OnEndPrintPreview(m_printerDC, m_info.get(), pt, this);
        --m_view->m_printing;
    }
    if (g_active == this)
        g_active = nullptr;
    if (m_frame) {
        m_frame->OnSetPreviewMode(false, this);
        m_frame->SetMessageText(AFX_IDS_IDLEMESSAGE);
    }
    CView* view = m_view;
    DestroyWindow(); // deletes this
    if (view && view->m_hWnd)
        ::SetFocus(view->m_hWnd);
}

void CPreviewView::PostNcDestroy() {
    delete this;
}

double CPreviewView::FitScale() const {
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    const int top = ToolbarHeight();
    const int n = m_zoom > 0 ? 1 : m_numPages;
    const double w = std::max(1L, rc.right - rc.left - (n + 1) * kGap);
    const double h = std::max(1L, rc.bottom - rc.top - top - 2 * kGap);
    return std::min(w / (double(n) * m_paper.cx), h / double(m_paper.cy));
}

RECT CPreviewView::PageRect(int slot) const {
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    const double s = FitScale() * kZoomFactors[m_zoom];
    const int pw = std::max(1, static_cast<int>(m_paper.cx * s));
    const int ph = std::max(1, static_cast<int>(m_paper.cy * s));
    const int n = m_zoom > 0 ? 1 : m_numPages;
    const int total = n * pw + (n - 1) * kGap;
    int left = std::max<int>(kGap, (rc.right - total) / 2) - m_scroll.x;
    int top = ToolbarHeight() + kGap - m_scroll.y;
    left += slot * (pw + kGap);
    return RECT{left, top, left + pw, top + ph};
}

void CPreviewView::DrawPage(HDC dc, const RECT& page, UINT number) {
    // Shadow along the right and bottom edges, sheet, border: no pixel is painted twice, so a
    // turned page does not flicker through grey.
    const RECT shadowRight = {page.right, page.top + 3, page.right + 3, page.bottom + 3};
    const RECT shadowBottom = {page.left + 3, page.bottom, page.right, page.bottom + 3};
    FillRect(dc, &shadowRight, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    FillRect(dc, &shadowBottom, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    FrameRect(dc, &page, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const RECT sheet = {page.left + 1, page.top + 1, page.right - 1, page.bottom - 1};
    FillRect(dc, &sheet, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (number > PageCount())
        return;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, sheet.left, sheet.top, sheet.right, sheet.bottom);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, m_paper.cx, m_paper.cy, nullptr);
    SetViewportExtEx(dc, page.right - page.left, page.bottom - page.top, nullptr);
    // Logical (0, 0) is the printable area's corner, as on the printer.
    SetWindowOrgEx(dc, -m_offset.x, -m_offset.y, nullptr);
    SetViewportOrgEx(dc, page.left, page.top, nullptr);
    m_info->m_nCurPage = number;
    m_info->m_rectDraw = {0, 0, GetDeviceCaps(m_printerDC, HORZRES),
                          GetDeviceCaps(m_printerDC, VERTRES)};
    m_view->OnPrepareDC(dc, m_info.get());
    m_view->OnPrint(dc, m_info.get());
    RestoreDC(dc, saved);
}

void CPreviewView::OnPaint() {
    // Straight into the window: the background around the pages, then each page over its own
    // place. An off-screen copy of the whole window would cost a transfer of every pixel on
    // each turn.
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    rc.top = ToolbarHeight();
    const int n = m_view && m_info ? (m_zoom > 0 ? 1 : m_numPages) : 0;
    RECT pages[2] = {};
    for (int slot = 0; slot < n; ++slot)
        pages[slot] = PageRect(slot);
    const int saved = SaveDC(dc);
    for (int slot = 0; slot < n; ++slot) {
        const RECT& p = pages[slot];
        ExcludeClipRect(dc, p.left, p.top, p.right, p.bottom);
        ExcludeClipRect(dc, p.right, p.top + 3, p.right + 3, p.bottom + 3);
        ExcludeClipRect(dc, p.left + 3, p.bottom, p.right, p.bottom + 3);
    }
    FillRect(dc, &rc, GetSysColorBrush(COLOR_APPWORKSPACE));
    RestoreDC(dc, saved);
    IntersectClipRect(dc, rc.left, rc.top, rc.right, rc.bottom);
    for (int slot = 0; slot < n; ++slot)
        DrawPage(dc, pages[slot], m_page + slot);
    EndPaint(m_hWnd, &ps);
}

bool CPreviewView::OnEraseBkgnd(HDC) {
    return true;
}

void CPreviewView::OnSize(UINT, int cx, int) {
    LayoutToolbar(cx);
    UpdateScrollBars();
    Invalidate(false);
}

void CPreviewView::UpdateStatus() {
    if (!m_frame || !m_info)
        return;
    // The description holds the one-page format, a line break and the two-page format.
    const std::string& desc = m_info->m_strPageDesc;
    const size_t nl = desc.find('\n');
    std::string one = desc.substr(0, nl);
    std::string two = nl == std::string::npos ? one : desc.substr(nl + 1);
    if (!two.empty() && two.back() == '\n')
        two.pop_back();
    char text[256] = "";
    if (m_numPages == 2 && m_zoom == 0 && m_page + 1 <= PageCount())
        std::snprintf(text, sizeof text, two.c_str(), m_page, m_page + 1);
    else
        std::snprintf(text, sizeof text, one.c_str(), m_page);
    m_frame->SetMessageText(text);
}

void CPreviewView::SetBar(int bar, const SCROLLINFO& info) {
    // Only what changed: setting a scroll bar redraws it, and a turned page moves the thumb only.
    BarState& last = m_bars[bar == SB_VERT ? 1 : 0];
    const bool sameRange =
        last.set && last.min == info.nMin && last.max == info.nMax && last.page == info.nPage;
    if (sameRange && last.pos == info.nPos)
        return;
    SCROLLINFO si = info;
    if (sameRange)
        si.fMask = SIF_POS;
    SetScrollInfo(m_hWnd, bar, &si, TRUE);
    last = {true, info.nMin, info.nMax, info.nPage, info.nPos};
}

void CPreviewView::UpdateScrollBars() {
    if (!m_hWnd)
        return;
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
    if (m_zoom == 0) {
        // Whole pages: the vertical bar turns pages.
        m_scroll = {0, 0};
        si.nMin = 1;
        si.nMax = static_cast<int>(PageCount());
        si.nPage = 1;
        si.nPos = static_cast<int>(m_page);
        SetBar(SB_VERT, si);
        si.nMin = si.nMax = si.nPos = 0;
        si.nPage = 1;
        SetBar(SB_HORZ, si);
        return;
    }
    const double s = FitScale() * kZoomFactors[m_zoom];
    const int pw = static_cast<int>(m_paper.cx * s) + 2 * kGap;
    const int ph = static_cast<int>(m_paper.cy * s) + 2 * kGap + ToolbarHeight();
    m_scroll.x = std::clamp<int>(m_scroll.x, 0, std::max<int>(0, pw - rc.right));
    m_scroll.y = std::clamp<int>(m_scroll.y, 0, std::max<int>(0, ph - rc.bottom));
    si.nMin = 0;
    si.nMax = ph;
    si.nPage = static_cast<UINT>(std::max<LONG>(1, rc.bottom));
    si.nPos = m_scroll.y;
    SetBar(SB_VERT, si);
    si.nMax = pw;
    si.nPage = static_cast<UINT>(std::max<LONG>(1, rc.right));
    si.nPos = m_scroll.x;
    SetBar(SB_HORZ, si);
}

void CPreviewView::Changed(bool pagesOnly) {
    UpdateScrollBars();
    UpdateStatus();
    OnStateChanged();
    if (!pagesOnly) {
        Invalidate(false);
        return;
    }
    // A turned page keeps its place: only the sheets (and their shadows) are drawn again.
    const int n = m_zoom > 0 ? 1 : m_numPages;
    for (int slot = 0; slot < n; ++slot) {
        RECT r = PageRect(slot);
        r.right += 3;
        r.bottom += 3;
        ::InvalidateRect(m_hWnd, &r, FALSE);
    }
}

void CPreviewView::SetCurrentPage(UINT page) {
    page = std::clamp<UINT>(page, 1, PageCount());
    if (page == m_page)
        return;
    m_page = page;
    Changed(true);
}

void CPreviewView::NextPage() {
    SetCurrentPage(m_page + 1);
}

void CPreviewView::PrevPage() {
    if (m_page > 1)
        SetCurrentPage(m_page - 1);
}

void CPreviewView::ToggleNumPages() {
    m_numPages = m_numPages == 1 ? 2 : 1;
    m_info->m_nNumPreviewPages = static_cast<UINT>(m_numPages);
    Changed();
}

void CPreviewView::ZoomIn() {
    if (m_zoom < kMaxZoom) {
        ++m_zoom;
        Changed();
    }
}

void CPreviewView::ZoomOut() {
    if (m_zoom > 0) {
        --m_zoom;
        Changed();
    }
}

void CPreviewView::PrintFromPreview() {
    CView* view = m_view;
    Close();
    if (view && view->m_hWnd)
        view->SendMessage(WM_COMMAND, ID_FILE_PRINT);
}

void CPreviewView::OnKeyDown(UINT key, UINT, UINT) {
    switch (key) {
    case VK_NEXT:
        NextPage();
        break;
    case VK_PRIOR:
        PrevPage();
        break;
    case VK_ESCAPE:
        Close();
        break;
    case VK_ADD:
        ZoomIn();
        break;
    case VK_SUBTRACT:
        ZoomOut();
        break;
    }
}

void CPreviewView::OnVScroll(UINT code, UINT pos, HWND) {
    if (m_zoom == 0) {
        switch (code) {
        case SB_LINEDOWN:
        case SB_PAGEDOWN:
            NextPage();
            break;
        case SB_LINEUP:
        case SB_PAGEUP:
            PrevPage();
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            SetCurrentPage(pos);
            break;
        }
        return;
    }
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    switch (code) {
    case SB_LINEDOWN:
        m_scroll.y += 20;
        break;
    case SB_LINEUP:
        m_scroll.y -= 20;
        break;
    case SB_PAGEDOWN:
        m_scroll.y += rc.bottom;
        break;
    case SB_PAGEUP:
        m_scroll.y -= rc.bottom;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        m_scroll.y = static_cast<int>(pos);
        break;
    }
    UpdateScrollBars();
    Invalidate(false);
}

void CPreviewView::OnHScroll(UINT code, UINT pos, HWND) {
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    switch (code) {
    case SB_LINERIGHT:
        m_scroll.x += 20;
        break;
    case SB_LINELEFT:
        m_scroll.x -= 20;
        break;
    case SB_PAGERIGHT:
        m_scroll.x += rc.right;
        break;
    case SB_PAGELEFT:
        m_scroll.x -= rc.right;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        m_scroll.x = static_cast<int>(pos);
        break;
    }
    UpdateScrollBars();
    Invalidate(false);
}

bool CPreviewView::OnMouseWheel(UINT, short delta, POINT) {
    if (m_zoom == 0) {
        if (delta < 0)
            NextPage();
        else
            PrevPage();
    } else {
        OnVScroll(delta < 0 ? SB_LINEDOWN : SB_LINEUP, 0, nullptr);
    }
    return true;
}

void CPreviewView::OnLButtonDown(UINT, POINT) {
    // A click zooms in, and out again from the closest view.
    if (m_zoom < kMaxZoom)
        ZoomIn();
    else {
        m_zoom = 0;
        Changed();
    }
}
