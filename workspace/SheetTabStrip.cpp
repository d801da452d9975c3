// CSheetTabStrip. Layer: workspace/.
#include "workspace/SheetTabStrip.h"

#include "common/UiResources.h"
#include "framework/Dpi.h"
#include "framework/GdiObject.h"
#include "workspace/BarText.h"
#include "workspace/TabNotify.h"

#include <algorithm>
#include <new>

IMPLEMENT_DYNAMIC(CSheetTabStrip, CWnd)

BEGIN_MESSAGE_MAP(CSheetTabStrip, CWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_SIZE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_MOUSEMOVE()
ON_WM_CAPTURECHANGED()
ON_WM_TIMER()
ON_WM_SETCURSOR()
ON_MESSAGE(WM_HSCROLL, OnHScroll)
ON_WM_SYSCOLORCHANGE()
ON_MESSAGE(WM_FXDPICHANGED, OnFxDpiChanged)
END_MESSAGE_MAP()

CSheetTabStrip::CSheetTabStrip() {
    m_colours.Load();
    Measure();
}

CSheetTabStrip::~CSheetTabStrip() = default;

bool CSheetTabStrip::Create(CWnd* parent, DWORD style, UINT id, const RECT& rc) {
    const char* cls = RegisterWndClass(CS_HREDRAW | CS_VREDRAW, LoadCursor(nullptr, IDC_ARROW));
    m_colours.Load();
    m_dpi = FxDpiOf(parent ? parent->m_hWnd : nullptr);
    m_splitter = FxScale(m_splitter, m_dpi);
    Measure();
    return CreateEx(0, cls, nullptr, style | WS_CHILD | WS_CLIPCHILDREN, rc, parent, id);
}

LRESULT CSheetTabStrip::OnFxDpiChanged(WPARAM dpi, LPARAM) {
    if (!dpi || dpi == m_dpi)
        return 0;
    // The splitter keeps its place in proportion; tabs, arrows and step are measured anew.
    m_splitter = MulDiv(m_splitter, static_cast<int>(dpi), static_cast<int>(m_dpi));
    m_offset = MulDiv(m_offset, static_cast<int>(dpi), static_cast<int>(m_dpi));
    m_dpi = static_cast<UINT>(dpi);
    Measure();
    if (m_hWnd) {
        Layout();
        Invalidate(false);
    }
    return 0;
}

HFONT CSheetTabStrip::TabFont() {
    return m_font ? m_font : m_dpiFont.Get(BarFont(), m_dpi);
}

int CSheetTabStrip::OnCreate(LPCREATESTRUCTA cs) {
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    m_scrollBar = ::CreateWindowExA(0, "SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | SBS_HORZ, 0, 0,
                                    0, 0, m_hWnd, reinterpret_cast<HMENU>(kScrollBarId),
                                    ::GetModuleHandleA(nullptr), nullptr);
    if (!m_scrollBar)
        return -1;
    Layout();
    return 0;
}

void CSheetTabStrip::OnDestroy() {
    StopRepeat();
    CWnd::OnDestroy();
}

void CSheetTabStrip::Measure() {
    HFONT font = TabFont();
    m_tabHeight = std::max(FxSystemMetric(SM_CXVSCROLL, m_dpi), BarFontHeight(font, m_dpi));
    m_rowHeight = std::max(m_tabHeight, FxSystemMetric(SM_CYHSCROLL, m_dpi));
    m_arrowWidth = FxSystemMetric(SM_CXHSCROLL, m_dpi);
    m_step = std::max(FxScale(8, m_dpi), m_tabHeight);
    m_splitterWidth = FxScale(kSplitterWidth, m_dpi);
    // The tabs keep their widths for the new font.
    if (!m_tabs.empty()) {
        HDC dc = GetDC(nullptr);
        {
            CSelectObject select(dc, font);
            for (Tab& tab : m_tabs) {
                SIZE size = {0, 0};
                GetTextExtentPoint32A(dc, tab.text, tab.length, &size);
                tab.width = size.cx + 2 * m_tabHeight;
            }
        }
        ReleaseDC(nullptr, dc);
        Reposition(0);
    }
}

void CSheetTabStrip::Reposition(int from) {
    const int slant = m_tabHeight / 2;
    for (int i = std::max(0, from); i < GetTabCount(); ++i) {
        Tab& tab = m_tabs[static_cast<size_t>(i)];
        if (i == 0) {
            tab.x = 0;
        } else {
            const Tab& before = m_tabs[static_cast<size_t>(i - 1)];
            tab.x = before.x + before.width - slant;
        }
    }
    m_total = m_tabs.empty() ? 0 : m_tabs.back().x + m_tabs.back().width;
}

int CSheetTabStrip::InsertTab(int index, const char* text, LPARAM data) {
    index = std::clamp(index, 0, GetTabCount());
    Tab tab;
    tab.data = data;
    tab.length = CopyBarText(tab.text, kMaxText, text);
    HDC dc = GetDC(nullptr);
    {
        CSelectObject select(dc, TabFont());
        SIZE size = {0, 0};
        GetTextExtentPoint32A(dc, tab.text, tab.length, &size);
        tab.width = size.cx + 2 * m_tabHeight;
    }
    ReleaseDC(nullptr, dc);
    try {
        if (m_tabs.size() == m_tabs.capacity())
            m_tabs.reserve(m_tabs.size() + kGrowStep);
        m_tabs.insert(m_tabs.begin() + index, tab);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    if (m_current >= 0 && index <= m_current)
        m_current = std::min(m_current + 1, GetTabCount() - 1);
    Reposition(index);
    if (m_hWnd)
        Invalidate(false);
    return index;
}

bool CSheetTabStrip::SelectTab(int index) {
    if (index < 0 || index >= GetTabCount() || index == m_current)
        return false;
    const int old = m_current;
    if (m_hWnd && SendTabNotify(m_hWnd, TCN_SELCHANGING, old, index))
        return false;
    m_current = index;
    const Tab& tab = m_tabs[static_cast<size_t>(index)];
    const int area = m_tabArea.right - m_tabArea.left;
    if (tab.x < m_offset)
        m_offset = tab.x;
    else if (tab.x + tab.width > m_offset + area)
        m_offset = std::min(tab.x, tab.x + tab.width - area);
    m_offset = std::clamp(m_offset, 0, std::max(0, m_total));
    if (m_hWnd) {
        Invalidate(false);
        SendTabNotify(m_hWnd, TCN_SELCHANGE, old, index);
    }
    return true;
}

bool CSheetTabStrip::GetTab(int index, LPARAM* data) const {
    if (index < 0 || index >= GetTabCount())
        return false;
    if (data)
        *data = m_tabs[static_cast<size_t>(index)].data;
    return true;
}

const CSheetTabStrip::Tab* CSheetTabStrip::GetTabInfo(int index) const {
    if (index < 0 || index >= GetTabCount())
        return nullptr;
    return &m_tabs[static_cast<size_t>(index)];
}

void CSheetTabStrip::SetSplitterPosition(int x) {
    m_splitter = std::max(0, x);
    Layout();
    if (m_hWnd)
        Invalidate(false);
}

void CSheetTabStrip::SetFont(HFONT font, bool redraw) {
    m_font = font;
    Measure();
    Layout();
    if (m_hWnd && redraw)
        Invalidate(false);
}

int CSheetTabStrip::GetMaxOffset() const {
    return std::max(0, m_total - static_cast<int>(m_tabArea.right - m_tabArea.left));
}

void CSheetTabStrip::Layout() {
    RECT client = {0, 0, 0, 0};
    if (m_hWnd)
        GetClientRect(&client);
    const int height = client.bottom;
    m_leftArrow = {0, 0, m_arrowWidth, height};
    m_rightArrow = {m_arrowWidth, 0, 2 * m_arrowWidth, height};
    // The splitter never leaves the strip.
    const int room =
        std::max(0, static_cast<int>(client.right) - 2 * m_arrowWidth - m_splitterWidth);
    const int area = std::min(m_splitter, room);
    m_tabArea = {2 * m_arrowWidth, 0, 2 * m_arrowWidth + area, height};
    m_splitterRect = {m_tabArea.right, 0, m_tabArea.right + m_splitterWidth, height};
    // A wider area shows more of the last tab: no empty room after it while tabs are hidden.
    m_offset = std::min(m_offset, GetMaxOffset());
    if (m_scrollBar)
        ::MoveWindow(m_scrollBar, m_splitterRect.right, 0,
                     std::max(0, static_cast<int>(client.right - m_splitterRect.right)), height,
                     TRUE);
}

void CSheetTabStrip::TabPolygon(int index, POINT pts[4]) const {
    const Tab& tab = m_tabs[static_cast<size_t>(index)];
    const int slant = m_tabHeight / 2;
    const int left = m_tabArea.left + tab.x - m_offset;
    const int right = left + tab.width;
    const int bottom = m_tabHeight - 1;
    pts[0] = {left, 0};
    pts[1] = {right, 0};
    pts[2] = {right - slant, bottom};
    pts[3] = {left + slant, bottom};
}

int CSheetTabStrip::HitTest(POINT pt) const {
    if (pt.x < m_tabArea.left || pt.x >= m_tabArea.right || pt.y < 0 || pt.y >= m_tabHeight)
        return -1;
    const int slant = m_tabHeight / 2;
    // Within the slant at a side, the part nearer the outside lies outside the tab.
    auto inside = [&](int index, bool rightSlant) {
        POINT p[4];
        TabPolygon(index, p);
        if (pt.x < p[0].x || pt.x >= p[1].x)
            return false;
        const int depth = slant > 0 ? pt.y * slant / std::max(1, m_tabHeight - 1) : 0;
        if (pt.x < p[0].x + depth)
            return false;
        if (rightSlant && pt.x >= p[1].x - depth)
            return false;
        return true;
    };
    // As drawn: the current tab on top, then each tab over the one before it. A tab's right
    // part lies under the next tab, so only the last one has its right slant; the gap below
    // the crossing slants belongs to the tab on the left.
    if (m_current >= 0 && inside(m_current, true))
        return m_current;
    const int last = GetTabCount() - 1;
    for (int i = last; i >= 0; --i) {
        if (i == m_current)
            continue;
        if (inside(i, i == last))
            return i;
    }
    return -1;
}

void CSheetTabStrip::ScrollStep(int direction) {
    int offset = m_offset + (direction < 0 ? -m_step : m_step);
    offset = std::clamp(offset, 0, GetMaxOffset());
    if (direction < 0)
        offset = std::max(0, std::min(offset, m_offset));
    if (offset == m_offset)
        return;
    m_offset = offset;
    if (m_hWnd)
        Invalidate(false);
}

void CSheetTabStrip::StopRepeat() {
    if (m_timer && m_hWnd)
        KillTimer(m_timer);
    m_timer = 0;
}

void CSheetTabStrip::OnSize(UINT, int, int) {
    Layout();
    Invalidate(false);
}

bool CSheetTabStrip::OnEraseBkgnd(HDC) {
    return true;
}

void CSheetTabStrip::OnPaint() {
    CPaintDC paint(m_hWnd);
    RECT client;
    GetClientRect(&client);
    client.right = std::min(client.right, m_splitterRect.right); // the scroll bar paints itself
    CBufferedPaint buffer(paint.Get(), client);
    Paint(buffer.Get());
}

void CSheetTabStrip::Paint(HDC dc) {
    RECT client;
    GetClientRect(&client);
    FillSolid(dc, client, m_colours.face);
    // Arrows.
    const RECT* arrows[2] = {&m_leftArrow, &m_rightArrow};
    const bool pressed[2] = {m_leftPressed, m_rightPressed};
    for (int k = 0; k < 2; ++k) {
        RECT rc = *arrows[k];
        if (pressed[k]) {
            FillRect(dc, &rc, BarDitherBrush());
            DrawSunkenFrame(dc, rc, m_colours);
        } else {
            DrawRaisedFrame(dc, rc, m_colours);
        }
        const bool enabled = k == 0 ? m_offset > 0 : m_offset < GetMaxOffset();
        DrawArrowTriangle(dc, rc, k == 0 ? ArrowDirection::Left : ArrowDirection::Right, enabled);
    }
    // Tabs, clipped to their area: the others first, the current one last and on top.
    {
        CSaveDC saved(dc);
        IntersectClipRect(dc, m_tabArea.left, m_tabArea.top, m_tabArea.right, m_tabArea.bottom);
        FillSolid(dc, RECT{m_tabArea.left, 0, m_tabArea.right, 1}, m_colours.shadow);
        CSelectObject font(dc, TabFont());
        CSelectObject pen(dc, BarFramePen());
        SetBkMode(dc, TRANSPARENT);
        CBrushHandle faceBrush(CreateSolidBrush(m_colours.face));
        CBrushHandle windowBrush(CreateSolidBrush(m_colours.window));
        auto drawTab = [&](int i) {
            POINT p[4];
            TabPolygon(i, p);
            if (p[1].x < m_tabArea.left || p[0].x > m_tabArea.right)
                return;
            const bool current = i == m_current;
            CSelectObject brush(dc, current ? windowBrush.Get() : faceBrush.Get());
            Polygon(dc, p, 4);
            if (current) {
                // The current tab joins the pane above: no line along its top.
                HPEN pen2 = CreatePen(PS_SOLID, 1, m_colours.window);
                HGDIOBJ old = SelectObject(dc, pen2);
                MoveToEx(dc, p[0].x + 1, 0, nullptr);
                LineTo(dc, p[1].x, 0);
                SelectObject(dc, old);
                DeleteObject(pen2);
            }
            const Tab& tab = m_tabs[static_cast<size_t>(i)];
            RECT text = {p[0].x, 0, p[1].x, m_tabHeight};
            SetTextColor(dc, current ? m_colours.windowText : m_colours.text);
            DrawTextA(dc, tab.text, tab.length, &text,
                      DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
        };
        // Left to right, each tab over the right slant of the one before it.
        for (int i = 0; i < GetTabCount(); ++i) {
            if (i != m_current)
                drawTab(i);
        }
        if (m_current >= 0)
            drawTab(m_current);
    }
    // Splitter: a raised bar.
    if (m_splitterRect.right > m_splitterRect.left) {
        FillSolid(dc, m_splitterRect, m_colours.face);
        DrawRaisedFrame(dc, m_splitterRect, m_colours);
    }
}

void CSheetTabStrip::OnLButtonDown(UINT, POINT pt) {
    if (PtInRect(&m_leftArrow, pt) || PtInRect(&m_rightArrow, pt)) {
        const bool left = PtInRect(&m_leftArrow, pt) != 0;
        m_leftPressed = left;
        m_rightPressed = !left;
        ::SetCapture(m_hWnd);
        ScrollStep(left ? -1 : 1);
        StopRepeat();
        m_timer = SetTimer(left ? kTimerLeft : kTimerRight, kRepeatPeriod);
        Invalidate(false);
        return;
    }
    if (PtInRect(&m_splitterRect, pt)) {
        m_dragging = true;
        m_dragOffset = pt.x - m_splitterRect.left;
        ::SetCapture(m_hWnd);
        return;
    }
    int index = HitTest(pt);
    if (index >= 0)
        SelectTab(index);
}

void CSheetTabStrip::OnMouseMove(UINT, POINT pt) {
    if (!m_dragging)
        return;
    const int position = pt.x - m_dragOffset - 2 * m_arrowWidth;
    if (position != m_splitter) {
        m_splitter = std::max(0, position);
        Layout();
        Invalidate(false);
        UpdateWindow();
    }
}

void CSheetTabStrip::OnLButtonUp(UINT, POINT) {
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    else
        OnCaptureChanged(nullptr);
}

void CSheetTabStrip::OnCaptureChanged(HWND) {
    StopRepeat();
    // The splitter keeps the position it was dragged to, within the strip.
    if (m_dragging) {
        m_dragging = false;
        RECT client;
        GetClientRect(&client);
        m_splitter = std::min(m_splitter, std::max(0, static_cast<int>(client.right) -
                                                          2 * m_arrowWidth - m_splitterWidth));
        Layout();
    }
    if (m_leftPressed || m_rightPressed) {
        m_leftPressed = m_rightPressed = false;
        Invalidate(false);
    }
}

void CSheetTabStrip::OnTimer(UINT_PTR id) {
    if (id != kTimerLeft && id != kTimerRight) {
        Default();
        return;
    }
    if (id != m_timer) {
        KillTimer(id);
        return;
    }
    ScrollStep(id == kTimerLeft ? -1 : 1);
    UpdateWindow();
}

bool CSheetTabStrip::OnSetCursor(HWND wnd, UINT hitTest, UINT message) {
    if (wnd == m_hWnd && hitTest == HTCLIENT) {
        POINT pt;
        ::GetCursorPos(&pt);
        ::ScreenToClient(m_hWnd, &pt);
        if (m_dragging || PtInRect(&m_splitterRect, pt)) {
            const CUiResources& ui = SharedUi();
            HCURSOR cursor =
                ui.IsInitialised() && ui.m_splitH ? ui.m_splitH : LoadCursor(nullptr, IDC_SIZEWE);
            ::SetCursor(cursor);
            return true;
        }
    }
    (void)message;
    return Default() != 0;
}

LRESULT CSheetTabStrip::OnHScroll(WPARAM wParam, LPARAM lParam) {
    // The scroll bar serves the pane above: its messages go to the owner as they came.
    if (HWND parent = ::GetParent(m_hWnd))
        return ::SendMessageA(parent, WM_HSCROLL, wParam, lParam);
    return 0;
}

void CSheetTabStrip::OnSysColorChange() {
    m_colours.Load();
    Measure();
    Layout();
    Invalidate(false);
}
