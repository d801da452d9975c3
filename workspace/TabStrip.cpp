// CTabStrip. Layer: workspace/.
#include "workspace/TabStrip.h"

#include "framework/Dpi.h"
#include "framework/GdiObject.h"
#include "workspace/BarText.h"
#include "workspace/TabNotify.h"

#include <algorithm>
#include <new>

IMPLEMENT_DYNAMIC(CTabStrip, CWnd)

BEGIN_MESSAGE_MAP(CTabStrip, CWnd)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_SIZE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_CAPTURECHANGED()
ON_WM_KEYDOWN()
ON_WM_SYSCOLORCHANGE()
ON_MESSAGE(WM_GETDLGCODE, OnGetDlgCode)
ON_MESSAGE(WM_FXDPICHANGED, OnFxDpiChanged)
END_MESSAGE_MAP()

CTabStrip::CTabStrip() {
    m_colours.Load();
}

CTabStrip::~CTabStrip() = default;

bool CTabStrip::Create(CWnd* parent, DWORD style, UINT id, const RECT& rc) {
    const char* cls = RegisterWndClass(CS_HREDRAW | CS_VREDRAW, LoadCursor(nullptr, IDC_ARROW));
    m_colours.Load();
    m_dpi = FxDpiOf(parent ? parent->m_hWnd : nullptr);
    Measure();
    return CreateEx(0, cls, nullptr, style | WS_CHILD, rc, parent, id);
}

LRESULT CTabStrip::OnFxDpiChanged(WPARAM dpi, LPARAM) {
    if (!dpi || dpi == m_dpi)
        return 0;
    m_dpi = static_cast<UINT>(dpi);
    Measure();
    Layout();
    Invalidate(false);
    return 0;
}

HFONT CTabStrip::TabFont() {
    return m_font ? m_font : m_dpiFont.Get(BarFont(), m_dpi);
}

void CTabStrip::Measure() {
    m_tabWidth = FxScale(m_tabWidth96, m_dpi);
    m_fontHeight = BarFontHeight(TabFont(), m_dpi);
    m_stripHeight = std::max(static_cast<int>(m_imageSize.cy), m_fontHeight) + FxScale(4, m_dpi);
    m_arrowWidth = m_stripHeight / 2;
    m_arrowHeight = m_stripHeight * 2 / 3;
}

int CTabStrip::InsertTab(int index, const char* text, UINT id, LPARAM data, int image) {
    const int count = GetTabCount();
    index = std::clamp(index, 0, count);
    Tab tab;
    tab.length = CopyBarText(tab.text, kMaxText, text);
    tab.id = id;
    tab.data = data;
    tab.image = image;
    try {
        if (m_tabs.size() == m_tabs.capacity())
            m_tabs.reserve(m_tabs.size() + kGrowStep);
        m_tabs.insert(m_tabs.begin() + index, tab);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    if (m_current >= 0 && index <= m_current)
        m_current = std::min(m_current + 1, GetTabCount() - 1);
    Layout();
    if (m_hWnd)
        Invalidate(false);
    return index;
}

bool CTabStrip::SelectTab(int index) {
    if (index < 0 || index >= GetTabCount() || index == m_current)
        return false;
    const int old = m_current;
    if (m_hWnd && SendTabNotify(m_hWnd, TCN_SELCHANGING, old, index))
        return false; // the parent refused
    m_current = index;
    // Bring the tab into view: whole tabs before the arrow area.
    Layout();
    if (m_current < m_first) {
        m_first = m_current;
    } else {
        RECT client = {0, 0, 0, 0};
        if (m_hWnd)
            GetClientRect(&client);
        int room = (m_scrolling ? m_arrowArea.left : client.right);
        int whole = std::max(1, room / std::max(1, m_tabWidth));
        if (m_current >= m_first + whole)
            m_first = m_current - whole + 1;
    }
    Layout();
    if (m_hWnd) {
        Invalidate(false);
        SendTabNotify(m_hWnd, TCN_SELCHANGE, old, index);
    }
    return true;
}

void CTabStrip::SetTabWidth(int width) {
    m_tabWidth96 = std::max(1, width);
    m_tabWidth = FxScale(m_tabWidth96, m_dpi);
    Layout();
    if (m_hWnd)
        Invalidate(false);
}

void CTabStrip::SetImageList(HIMAGELIST images, SIZE size) {
    m_images = images;
    int cx = 0, cy = 0;
    m_imageSize = images && ImageList_GetIconSize(images, &cx, &cy) ? SIZE{cx, cy} : size;
    Measure();
    Layout();
    if (m_hWnd)
        Invalidate(false);
}

void CTabStrip::SetFont(HFONT font, bool redraw) {
    m_font = font;
    Measure();
    Layout();
    if (m_hWnd && redraw)
        Invalidate(false);
}

SIZE CTabStrip::GetStripSize() const {
    return SIZE{GetTabCount() * m_tabWidth, m_stripHeight + 2 * FxSystemMetric(SM_CYBORDER, m_dpi)};
}

bool CTabStrip::GetTab(int index, LPARAM* data) const {
    if (index < 0 || index >= GetTabCount())
        return false;
    if (data)
        *data = m_tabs[static_cast<size_t>(index)].data;
    return true;
}

const CTabStrip::Tab* CTabStrip::GetTabInfo(int index) const {
    if (index < 0 || index >= GetTabCount())
        return nullptr;
    return &m_tabs[static_cast<size_t>(index)];
}

int CTabStrip::FindTabById(UINT id) const {
    for (int i = 0; i < GetTabCount(); ++i) {
        if (m_tabs[static_cast<size_t>(i)].id == id)
            return i;
    }
    return -1;
}

int CTabStrip::GetLastVisible() const {
    return std::min(GetTabCount() - 1, m_first + m_perView - 1);
}

void CTabStrip::Layout() {
    RECT client = {0, 0, 0, 0};
    if (m_hWnd)
        GetClientRect(&client);
    const int width = client.right;
    const int count = GetTabCount();
    m_perView = std::max(1, (width + m_tabWidth - 1) / m_tabWidth);
    if (count < m_perView) {
        m_first = 0;
        m_scrolling = false;
    } else {
        m_first = std::clamp(m_first, 0, std::max(0, count - 1));
        const bool allFit = (count - m_first) * m_tabWidth <= width;
        m_scrolling = m_first != 0 || !allFit;
    }
    if (m_scrolling) {
        m_arrowArea = {width - 2 * m_arrowWidth, 0, width, client.bottom};
        const int top = (client.bottom - m_arrowHeight) / 2;
        m_leftArrow = {m_arrowArea.left, top, m_arrowArea.left + m_arrowWidth, top + m_arrowHeight};
        m_rightArrow = {m_leftArrow.right, top, m_leftArrow.right + m_arrowWidth,
                        top + m_arrowHeight};
    } else {
        m_arrowArea = m_leftArrow = m_rightArrow = RECT{0, 0, 0, 0};
    }
}

int CTabStrip::HitTest(POINT pt) const {
    if (m_scrolling && PtInRect(&m_arrowArea, pt))
        return -1;
    if (pt.x < 0 || pt.y < 0 || pt.y >= m_stripHeight + 2)
        return -1;
    int index = m_first + pt.x / std::max(1, m_tabWidth);
    if (index > GetLastVisible())
        return -1;
    return index;
}

void CTabStrip::ScrollBy(int step) {
    const int count = GetTabCount();
    int first = std::clamp(m_first + step, 0, std::max(0, count - 1));
    if (first == m_first)
        return;
    m_first = first;
    Layout();
    if (m_hWnd)
        Invalidate(false);
}

void CTabStrip::OnSize(UINT, int, int) {
    Layout();
    Invalidate(false);
}

bool CTabStrip::OnEraseBkgnd(HDC) {
    return true; // painting fills everything
}

void CTabStrip::OnPaint() {
    CPaintDC paint(m_hWnd);
    RECT client;
    GetClientRect(&client);
    CBufferedPaint buffer(paint.Get(), client);
    Paint(buffer.Get());
}

void CTabStrip::Paint(HDC dc) {
    RECT client;
    GetClientRect(&client);
    FillSolid(dc, client, m_colours.face);
    CSelectObject font(dc, TabFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, m_colours.text);
    const int last = GetLastVisible();
    for (int i = m_first; i <= last && i < GetTabCount(); ++i) {
        const Tab& tab = m_tabs[static_cast<size_t>(i)];
        const int left = (i - m_first) * m_tabWidth;
        RECT cell = {left, 0, left + m_tabWidth, m_stripHeight};
        const bool current = i == m_current;
        if (current)
            FillRect(dc, &cell, BarDitherBrush());
        const int marginLeft = FxScale(tab.marginLeft, m_dpi);
        int x = cell.left + marginLeft;
        if (tab.image >= 0 && m_images) {
            ImageList_Draw(m_images, tab.image, dc, x,
                           cell.top + (m_stripHeight - m_imageSize.cy) / 2, ILD_TRANSPARENT);
            x += m_imageSize.cx + marginLeft;
        }
        RECT text = {x, cell.top, cell.right - FxScale(tab.marginRight, m_dpi), cell.bottom};
        if (text.right > text.left)
            DrawTextA(dc, tab.text, tab.length, &text, tab.format);
        if (current) {
            RECT frame = cell;
            if (i != m_first)
                frame.left -= 2;
            frame.bottom += 1;
            DrawSunkenFrame(dc, frame, m_colours);
        } else {
            DrawEtchedSeparator(dc, cell.right, cell.top + 2, cell.bottom - 2, m_colours);
        }
    }
    if (m_scrolling) {
        RECT area = m_arrowArea;
        area.left -= FxScale(4, m_dpi);
        FillSolid(dc, area, m_colours.face);
        const RECT* arrows[2] = {&m_leftArrow, &m_rightArrow};
        const bool pressed[2] = {m_leftPressed, m_rightPressed};
        for (int k = 0; k < 2; ++k) {
            if (pressed[k]) {
                FillRect(dc, arrows[k], BarDitherBrush());
                DrawSunkenFrame(dc, *arrows[k], m_colours);
            }
            DrawArrowTriangle(dc, *arrows[k],
                              k == 0 ? ArrowDirection::Left : ArrowDirection::Right);
        }
    }
}

void CTabStrip::OnLButtonDown(UINT, POINT pt) {
    if (m_scrolling && (PtInRect(&m_leftArrow, pt) || PtInRect(&m_rightArrow, pt))) {
        const bool left = PtInRect(&m_leftArrow, pt) != 0;
        m_leftPressed = left;
        m_rightPressed = !left;
        ScrollBy(left ? -1 : 1);
        Invalidate(false);
        ::SetCapture(m_hWnd);
        return;
    }
    int index = HitTest(pt);
    if (index >= 0)
        SelectTab(index);
}

void CTabStrip::OnLButtonUp(UINT, POINT) {
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
}

void CTabStrip::OnCaptureChanged(HWND) {
    if (m_leftPressed || m_rightPressed) {
        m_leftPressed = m_rightPressed = false;
        Invalidate(false);
    }
}

void CTabStrip::OnKeyDown(UINT key, UINT, UINT) {
    if (key == VK_LEFT)
        ScrollBy(-1);
    else if (key == VK_RIGHT)
        ScrollBy(1);
    else
        Default();
}

LRESULT CTabStrip::OnGetDlgCode(WPARAM, LPARAM) {
    return DLGC_WANTARROWS;
}

void CTabStrip::OnSysColorChange() {
    m_colours.Load();
    Measure();
    Layout();
    Invalidate(false);
}
