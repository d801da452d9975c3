// CBarSwitch. Layer: workspace/.
#include "workspace/BarSwitch.h"

#include "framework/Document.h"
#include "framework/FrameWnd.h"
#include "framework/GdiObject.h"
#include "framework/View.h"
#include "workspace/BarText.h"

#include <algorithm>
#include <new>

IMPLEMENT_DYNAMIC(CBarSwitch, CControlBar)

BEGIN_MESSAGE_MAP(CBarSwitch, CControlBar)
ON_WM_ERASEBKGND()
ON_WM_SIZE()
ON_WM_LBUTTONUP()
ON_WM_CAPTURECHANGED()
ON_WM_NCHITTEST()
ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()

namespace {
// At 96 DPI: the least height of the arrow column and of cells beside the toolbar, the room
// below and above a cell's text, and the gap around a cell's image and text.
const int kArrowColumn = 23;
const int kCellPadding = 4;
const int kImageGap = 4;
} // namespace

CBarSwitch::CBarSwitch() {
    SetBorders(0, 0, 0, 0);
    RefreshMetrics();
}

void CBarSwitch::OnDpiChanged(UINT oldDpi) {
    CControlBar::OnDpiChanged(oldDpi);
    RefreshMetrics();
    if (m_hWnd) {
        RecalcCells();
        Invalidate(false);
    }
}

HFONT CBarSwitch::CellFont() {
    return m_font ? m_font : m_dpiFont.Get(BarFont(), GetDpi());
}

void CBarSwitch::MeasureCellHeight(bool besideToolbar) {
    const UINT dpi = GetDpi();
    if (besideToolbar)
        m_cellHeight =
            std::max(m_fontHeight + 2 * FxSystemMetric(SM_CYBORDER, dpi), Scaled(kArrowColumn));
    else
        m_cellHeight = FxSystemMetric(SM_CYFRAME, dpi) / 2 + m_fontHeight + Scaled(kCellPadding);
}

CBarSwitch::~CBarSwitch() = default;

bool CBarSwitch::Create(CWnd* parent, UINT id, DWORD style) {
    SetDpi(FxDpiOf(parent ? parent->m_hWnd : nullptr));
    RefreshMetrics();
    const char* cls = RegisterWndClass(CS_HREDRAW | CS_VREDRAW, LoadCursor(nullptr, IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    const DWORD barStyle = (style & 0xFF) | 0x2 | (style & 0x40FF00);
    if (!CreateBar(parent, (style & 0xFFBF0000) | WS_CHILD, id, cls))
        return false;
    m_dwStyle = barStyle;
    RecalcCells();
    return true;
}

void CBarSwitch::SetImageList(HIMAGELIST images, SIZE size) {
    m_images = images;
    // A list's images are drawn at their own size, whatever the caller thought it was.
    int cx = 0, cy = 0;
    m_imageSize = images && ImageList_GetIconSize(images, &cx, &cy) ? SIZE{cx, cy} : size;
    if (m_hWnd)
        Invalidate(false);
}

void CBarSwitch::RefreshMetrics() {
    m_colours.Load();
    HFONT font = CellFont();
    m_fontHeight = BarFontHeight(font, GetDpi());
    const int average = BarFontAverageWidth(font);
    m_minCell = average * 11;
    m_maxCell = average * 22;
    m_arrowColumn =
        std::max(m_fontHeight + 2 * FxSystemMetric(SM_CYBORDER, GetDpi()), Scaled(kArrowColumn));
    m_imageGap = Scaled(kImageGap);
    MeasureCellHeight(false);
}

// --- Items --------------------------------------------------------------------------------------

int CBarSwitch::InsertItem(int index, const char* text, int image, void* key) {
    const int count = GetItemCount();
    if (index == -1 || index > count)
        index = count;
    else if (index < 0)
        index = 0;
    Item item;
    item.key = key;
    item.image = image;
    item.length = CopyBarText(item.text, kMaxText, text);
    try {
        if (m_items.size() == m_items.capacity())
            m_items.reserve(m_items.size() + kGrowStep);
        m_items.insert(m_items.begin() + index, item);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    if (m_active >= index)
        ++m_active; // the active item keeps being the same document
    RecalcCells();
    SelectItem(index);
    return index;
}

bool CBarSwitch::RemoveItem(int index) {
    if (index < 0 || index >= GetItemCount())
        return false;
    m_items.erase(m_items.begin() + index);
    if (m_active == index)
        m_active = -1;
    else if (m_active > index)
        --m_active;
    RecalcCells();
    if (m_hWnd)
        Invalidate(false);
    return true;
}

int CBarSwitch::FindItem(const void* key) const {
    for (int i = 0; i < GetItemCount(); ++i) {
        if (m_items[static_cast<size_t>(i)].key == key)
            return i;
    }
    return -1;
}

void CBarSwitch::SelectItem(int index) {
    if (index != m_active && index >= 0 && index < GetItemCount()) {
        m_active = index;
        const int page = std::max(1, m_perPage);
        m_first = m_paging ? page * (index / page) : 0;
    }
    if (m_hWnd)
        Invalidate(false);
}

bool CBarSwitch::SetItemText(int index, const char* text) {
    if (index < 0 || index >= GetItemCount())
        return false;
    Item& item = m_items[static_cast<size_t>(index)];
    item.length = CopyBarText(item.text, kMaxText, text);
    return true;
}

bool CBarSwitch::SetItemImage(int index, int image) {
    if (index < 0 || index >= GetItemCount())
        return false;
    m_items[static_cast<size_t>(index)].image = image;
    if (m_hWnd)
        Invalidate(false);
    return true;
}

const CBarSwitch::Item* CBarSwitch::GetItem(int index) const {
    if (index < 0 || index >= GetItemCount())
        return nullptr;
    return &m_items[static_cast<size_t>(index)];
}

// --- Layout --------------------------------------------------------------------------------------

int CBarSwitch::AvailableWidth() const {
    int width = m_cx;
    if (CFrameWnd* frame = GetTopLevelFrame()) {
        // A docked bar is never given more than the frame's client area.
        if (frame->m_hWnd && !IsFloating()) {
            RECT client;
            frame->GetClientRect(&client);
            width = std::min(width, static_cast<int>(client.right - client.left));
        }
    }
    return std::max(0, width);
}

void CBarSwitch::RecalcCells() {
    const int count = GetItemCount();
    if (count == 0)
        m_active = -1;
    const int available = AvailableWidth();
    int width = count ? std::min((available + count - 1) / count, m_maxCell) : m_maxCell;
    if (width < m_minCell) {
        m_paging = true;
        m_cellWidth = m_minCell;
        m_perPage = std::max(1, (available - m_arrowColumn) / m_minCell);
        const int active = std::max(m_active, 0);
        m_first = m_perPage * (active / m_perPage);
        m_first = std::min(m_first, std::max(0, count - 1));
    } else {
        m_paging = false;
        m_cellWidth = std::max(1, width);
        m_first = 0;
        m_perPage = std::max(1, (available + m_cellWidth - 1) / m_cellWidth);
    }
    RECT client = {0, 0, m_cx, m_cy};
    CalcInsideRect(client, true);
    m_cellArea = client;
    if (m_paging) {
        m_cellArea.right = std::max(m_cellArea.left, client.right - m_arrowColumn);
        m_arrowArea = {m_cellArea.right, client.top, client.right, client.bottom};
        const int middle = (m_arrowArea.top + m_arrowArea.bottom) / 2;
        m_upArrow = {m_arrowArea.left, m_arrowArea.top, m_arrowArea.right, middle};
        m_downArrow = {m_arrowArea.left, middle, m_arrowArea.right, m_arrowArea.bottom};
    } else {
        m_arrowArea = m_upArrow = m_downArrow = RECT{0, 0, 0, 0};
    }
}

int CBarSwitch::GetLastVisible() const {
    return std::min(GetItemCount() - 1, m_first + m_perPage - 1);
}

RECT CBarSwitch::GetCellRect(int index) const {
    if (index < m_first || index > GetLastVisible())
        return RECT{0, 0, 0, 0};
    const int left = m_cellArea.left + (index - m_first) * m_cellWidth;
    return RECT{left, m_cellArea.top, left + m_cellWidth, m_cellArea.top + m_cellHeight};
}

int CBarSwitch::HitTest(POINT pt) const {
    for (int i = m_first; i <= GetLastVisible(); ++i) {
        RECT rc = GetCellRect(i);
        rc.right = std::min(rc.right, m_cellArea.right);
        rc.bottom = std::max(rc.bottom, m_cellArea.bottom);
        if (PtInRect(&rc, pt))
            return i;
    }
    return -1;
}

void CBarSwitch::Page(int direction) {
    if (direction < 0) {
        m_first = std::max(0, m_first - m_perPage);
    } else if (m_first + m_perPage < GetItemCount()) {
        m_first += m_perPage;
    }
    if (m_hWnd)
        Invalidate(false);
}

bool CBarSwitch::ToolbarShares() const {
    CFrameWnd* frame = GetTopLevelFrame();
    if (!frame)
        return false;
    CControlBar* toolbar = frame->GetControlBar(kToolBarId);
    if (!toolbar || !toolbar->IsVisible())
        return false;
    HWND parent = ::GetParent(m_hWnd);
    if (parent != frame->m_hWnd && ::GetParent(toolbar->m_hWnd) == parent)
        return true; // the same dock bar
    return m_nDockBarId != 0 && toolbar->m_nDockBarId == m_nDockBarId;
}

SIZE CBarSwitch::CalcFixedLayout(bool stretch, bool horz) {
    MeasureCellHeight(ToolbarShares());
    SIZE size = CControlBar::CalcFixedLayout(false, horz);
    if (horz) {
        size.cy += m_cellHeight;
        if (stretch) {
            size.cx = 32767;
        } else {
            RECT frame = {0, 0, 0, 0};
            if (CFrameWnd* top = GetTopLevelFrame())
                top->GetWindowRect(&frame);
            size.cx = frame.right - frame.left;
        }
    } else {
        size.cx += m_cellWidth;
        if (stretch) {
            size.cy = 32767;
        } else {
            RECT frame = {0, 0, 0, 0};
            if (CFrameWnd* top = GetTopLevelFrame())
                top->GetWindowRect(&frame);
            size.cy = frame.bottom - frame.top;
        }
    }
    return size;
}

void CBarSwitch::OnSize(UINT, int cx, int cy) {
    m_cx = cx;
    m_cy = cy;
    RecalcCells();
    Invalidate(false);
}

// --- Painting ------------------------------------------------------------------------------------

bool CBarSwitch::OnEraseBkgnd(HDC) {
    return true;
}

void CBarSwitch::DoPaint(HDC target) {
    RECT client;
    GetClientRect(&client);
    CBufferedPaint buffer(target, client);
    HDC dc = buffer.Get();
    FillSolid(dc, client, m_colours.face);
    CControlBar::DoPaint(dc); // the borders
    PaintCells(dc);
    if (m_paging)
        DrawArrows(dc);
}

void CBarSwitch::PaintCells(HDC dc) {
    CSaveDC saved(dc);
    IntersectClipRect(dc, m_cellArea.left, m_cellArea.top, m_cellArea.right, m_cellArea.bottom);
    CSelectObject font(dc, CellFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, m_colours.text);
    const int last = GetLastVisible();
    for (int i = m_first; i <= last; ++i) {
        const Item& item = m_items[static_cast<size_t>(i)];
        RECT cell = GetCellRect(i);
        const bool active = i == m_active;
        if (active)
            FillRect(dc, &cell, BarDitherBrush());
        int x = cell.left + m_imageGap;
        if (item.image >= 0 && m_images) {
            ImageList_Draw(m_images, item.image, dc, x,
                           cell.top + (cell.bottom - cell.top - m_imageSize.cy) / 2,
                           ILD_TRANSPARENT);
            x += m_imageSize.cx + m_imageGap;
        }
        RECT text = {x, cell.top, cell.right - m_imageGap, cell.bottom};
        if (text.right > text.left)
            DrawTextA(dc, item.text, item.length, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        if (active) {
            RECT frame = cell;
            if (i != m_first)
                frame.left -= 2;
            frame.bottom += 1;
            DrawSunkenFrame(dc, frame, m_colours);
        } else {
            DrawEtchedSeparator(dc, cell.right, cell.top + 2, cell.bottom - 2, m_colours);
        }
    }
}

void CBarSwitch::DrawArrows(HDC dc) {
    FillSolid(dc, m_arrowArea, m_colours.face);
    const RECT* arrows[2] = {&m_upArrow, &m_downArrow};
    const bool pressed[2] = {m_upPressed, m_downPressed};
    for (int k = 0; k < 2; ++k) {
        if (pressed[k]) {
            FillRect(dc, arrows[k], BarDitherBrush());
            DrawSunkenFrame(dc, *arrows[k], m_colours);
        }
        DrawArrowTriangle(dc, *arrows[k], k == 0 ? ArrowDirection::Up : ArrowDirection::Down);
    }
}

// --- Input
// -----------------------------------------------------------------------------------------

LRESULT CBarSwitch::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // A press on an arrow or a cell is the bar's; anywhere else the framework's bar handling
    // (dragging the bar) applies.
    if (message == WM_LBUTTONDOWN) {
        POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (OnLeftPress(pt))
            return 0;
    }
    return CControlBar::WindowProc(message, wParam, lParam);
}

bool CBarSwitch::OnLeftPress(POINT pt) {
    if (m_paging && (PtInRect(&m_upArrow, pt) || PtInRect(&m_downArrow, pt))) {
        m_upPressed = PtInRect(&m_upArrow, pt) != 0;
        m_downPressed = !m_upPressed;
        Invalidate(false);
        ::SetCapture(m_hWnd);
        return true;
    }
    const int index = HitTest(pt);
    if (index < 0)
        return false;
    if (index != m_active && ActivateItem(index, false))
        SelectItem(index);
    return true;
}

void CBarSwitch::OnLButtonUp(UINT, POINT pt) {
    if (::GetCapture() != m_hWnd) {
        Default();
        return;
    }
    if (m_upPressed && PtInRect(&m_upArrow, pt))
        Page(-1);
    else if (m_downPressed && PtInRect(&m_downArrow, pt))
        Page(1);
    ::ReleaseCapture();
}

void CBarSwitch::OnCaptureChanged(HWND) {
    if (m_upPressed || m_downPressed) {
        m_upPressed = m_downPressed = false;
        Invalidate(false);
    }
}

LRESULT CBarSwitch::OnNcHitTest(POINT) {
    return HTCLIENT; // moved only by its client area
}

bool CBarSwitch::ActivateItem(int index, bool) {
    const Item* item = GetItem(index);
    if (!item || !item->key)
        return false;
    CDocument* doc = static_cast<CDocument*>(item->key);
    CView* view = doc->GetFirstView();
    if (!view || !view->m_hWnd)
        return false;
    CFrameWnd* frame = view->GetParentFrame();
    if (!frame || !frame->m_hWnd)
        return false;
    HWND client = ::GetParent(frame->m_hWnd);
    if (!client)
        return false;
    ::SendMessageA(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(frame->m_hWnd), 0);
    return true;
}

void CBarSwitch::OnSysColorChange() {
    RefreshMetrics();
    RecalcCells();
    Invalidate(false);
}
