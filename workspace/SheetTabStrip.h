// CSheetTabStrip: the sheet tab strip, slanted overlapping tabs sized to their text, with two
// scroll arrows at the left that repeat while held, a draggable splitter after the tab area
// and an embedded horizontal scroll bar that serves the pane above the strip (its scroll
// messages go to the strip's parent unchanged). Its parent handles it like a tab control
// (TabNotify.h). The output window shows it along its bottom edge. Layer: workspace/.
#pragma once

#include "framework/Wnd.h"
#include "workspace/BarPaint.h"

#include <vector>

class CSheetTabStrip : public CWnd {
    DECLARE_DYNAMIC(CSheetTabStrip)
public:
    static constexpr int kMaxText = 259;
    static constexpr int kGrowStep = 14;
    static constexpr UINT kScrollBarId = 0xE900;
    static constexpr UINT_PTR kTimerLeft = 2003;  // repeating a scroll to the left
    static constexpr UINT_PTR kTimerRight = 2004; // repeating a scroll to the right
    static constexpr UINT kRepeatPeriod = 100;    // ms
    static constexpr int kSplitterWidth = 6;      // at 96 DPI

    struct Tab {
        LPARAM data = 0;
        int x = 0;     // from the start of the first tab
        int width = 0; // text width + 2 x tab height
        int length = 0;
        char text[kMaxText + 1] = {0};
    };

    CSheetTabStrip();
    ~CSheetTabStrip() override;

    bool Create(CWnd* parent, DWORD style, UINT id, const RECT& rc);

    // index is clamped to [0, count]; -1 when memory runs out (nothing changed).
    int InsertTab(int index, const char* text, LPARAM data = 0);
    // As the plain strip: refusable TCN_SELCHANGING, then TCN_SELCHANGE; the tab is scrolled
    // fully into view. True when the tab became current.
    bool SelectTab(int index);
    int GetCurSel() const { return m_current; }
    int GetTabCount() const { return static_cast<int>(m_tabs.size()); }
    bool GetTab(int index, LPARAM* data) const;
    const Tab* GetTabInfo(int index) const;
    // The width of the tab area; re-lays out and repaints.
    void SetSplitterPosition(int x);
    int GetSplitterPosition() const { return m_splitter; }
    // The row height the owner reserves at its bottom.
    int GetStripSize() const { return m_rowHeight; }
    void SetFont(HFONT font, bool redraw = true);

    // Geometry, for the owner and tests (client coordinates).
    int GetScrollOffset() const { return m_offset; }
    int GetScrollStep() const { return m_step; }
    int GetTotalWidth() const { return m_total; }
    int GetTabHeight() const { return m_tabHeight; }
    RECT GetLeftArrowRect() const { return m_leftArrow; }
    RECT GetRightArrowRect() const { return m_rightArrow; }
    RECT GetTabAreaRect() const { return m_tabArea; }
    RECT GetSplitterRect() const { return m_splitterRect; }
    HWND GetScrollBar() const { return m_scrollBar; }
    UINT_PTR GetRepeatTimer() const { return m_timer; }
    // The largest offset: the last tab ends at the right of the tab area.
    int GetMaxOffset() const;
    // The tab under a client point, -1 for none.
    int HitTest(POINT pt) const;
    // Moves the offset one step left (-1) or right (+1), within its limits.
    void ScrollStep(int direction);

    int OnCreate(LPCREATESTRUCTA cs);
    void OnDestroy();
    void OnPaint();
    bool OnEraseBkgnd(HDC dc);
    void OnSize(UINT type, int cx, int cy);
    void OnLButtonDown(UINT flags, POINT pt);
    void OnLButtonUp(UINT flags, POINT pt);
    void OnMouseMove(UINT flags, POINT pt);
    void OnCaptureChanged(HWND wnd);
    void OnTimer(UINT_PTR id);
    bool OnSetCursor(HWND wnd, UINT hitTest, UINT message);
    LRESULT OnHScroll(WPARAM wParam, LPARAM lParam);
    // WM_FXDPICHANGED: tab height, arrows, step and splitter for the new density.
    LRESULT OnFxDpiChanged(WPARAM dpi, LPARAM);
    void OnSysColorChange();

    DECLARE_MESSAGE_MAP()

private:
    // The font the tabs are drawn with, for the strip's density.
    HFONT TabFont();
    void Measure();
    void Reposition(int from);
    void Layout();
    void StopRepeat();
    void Paint(HDC dc);
    // The tab's outline in client coordinates: top-left, top-right, bottom-right, bottom-left.
    void TabPolygon(int index, POINT pts[4]) const;

    std::vector<Tab> m_tabs;
    int m_current = -1;
    int m_offset = 0; // pixels the tabs are scrolled to the left
    int m_step = 0;
    int m_total = 0;
    int m_tabHeight = 0;
    int m_rowHeight = 0;
    int m_arrowWidth = 0;
    int m_splitter = 320; // tab area width, pixels at the strip's density
    int m_splitterWidth = kSplitterWidth;
    UINT m_dpi = 96;
    CBarDpiFont m_dpiFont; // the shared font at the strip's density
    bool m_dragging = false;
    int m_dragOffset = 0;
    UINT_PTR m_timer = 0; // 0, kTimerLeft or kTimerRight
    bool m_leftPressed = false, m_rightPressed = false;
    HWND m_scrollBar = nullptr;
    RECT m_leftArrow = {0, 0, 0, 0}, m_rightArrow = {0, 0, 0, 0};
    RECT m_tabArea = {0, 0, 0, 0}, m_splitterRect = {0, 0, 0, 0};
    HFONT m_font = nullptr; // none: the shared font
    BarColours m_colours;
};
