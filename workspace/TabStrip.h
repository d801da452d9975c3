// CTabStrip: the plain tab strip, a row of equal-width owner-drawn tabs, each with an optional
// image and a text, and a left and a right scroll arrow at its right end when not all
// tabs fit. Its parent handles it like a tab control (TabNotify.h). The workspace bar shows it
// along its bottom edge. Layer: workspace/.
#pragma once

#include "framework/Wnd.h"
#include "workspace/BarPaint.h"

#include <commctrl.h>

#include <vector>

class CTabStrip : public CWnd {
    DECLARE_DYNAMIC(CTabStrip)
public:
    static constexpr int kMaxText = 259;
    static constexpr int kGrowStep = 14;

    struct Tab {
        UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_PATH_ELLIPSIS;
        int marginLeft = 4, marginRight = 4; // at 96 DPI
        int image = -1;                      // -1: none
        int length = 0;
        UINT id = 0;     // the caller's value, for example a command id
        LPARAM data = 0; // the caller's data
        char text[kMaxText + 1] = {0};
    };

    CTabStrip();
    ~CTabStrip() override;

    bool Create(CWnd* parent, DWORD style, UINT id, const RECT& rc);

    // index is clamped to [0, count]; -1 when memory runs out (nothing changed).
    int InsertTab(int index, const char* text, UINT id, LPARAM data = 0, int image = -1);
    // Asks the parent first (TCN_SELCHANGING, refusable), then makes the tab current, scrolls
    // it into view and tells the parent (TCN_SELCHANGE). Invalid and current indexes are
    // ignored. True when the tab became current.
    bool SelectTab(int index);
    int GetCurSel() const { return m_current; }
    int GetTabCount() const { return static_cast<int>(m_tabs.size()); }
    // The width of every tab, at 96 DPI; GetTabWidth answers it at the strip's density.
    void SetTabWidth(int width);
    int GetTabWidth() const { return m_tabWidth; }
    // The images are drawn at the list's own size (size only when the list has none).
    void SetImageList(HIMAGELIST images, SIZE size);
    void SetFont(HFONT font, bool redraw = true);
    // (tab count x tab width, strip height + 2 x border height): the parent reserves the height.
    SIZE GetStripSize() const;
    // The tab's caller data; false for an invalid index.
    bool GetTab(int index, LPARAM* data) const;
    const Tab* GetTabInfo(int index) const;
    // The tab's index with this caller id, -1 when none.
    int FindTabById(UINT id) const;

    // Layout, for the parent and tests.
    int GetFirstVisible() const { return m_first; }
    int GetLastVisible() const;
    int GetTabsPerView() const { return m_perView; }
    bool HasArrows() const { return m_scrolling; }
    RECT GetLeftArrowRect() const { return m_leftArrow; }
    RECT GetRightArrowRect() const { return m_rightArrow; }
    int GetStripHeight() const { return m_stripHeight; }
    int GetFontHeight() const { return m_fontHeight; }
    SIZE GetImageSize() const { return m_imageSize; }
    // The tab under a client point (-1: none, or an arrow).
    int HitTest(POINT pt) const;
    // Scrolls the view by one tab (-1 left, +1 right).
    void ScrollBy(int step);

    void OnPaint();
    bool OnEraseBkgnd(HDC dc);
    void OnSize(UINT type, int cx, int cy);
    void OnLButtonDown(UINT flags, POINT pt);
    void OnLButtonUp(UINT flags, POINT pt);
    void OnCaptureChanged(HWND wnd);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    LRESULT OnGetDlgCode(WPARAM, LPARAM);
    void OnSysColorChange();
    // WM_FXDPICHANGED: font, heights, arrows and tab width for the new density.
    LRESULT OnFxDpiChanged(WPARAM dpi, LPARAM);
    UINT GetDpi() const { return m_dpi; }

    DECLARE_MESSAGE_MAP()

private:
    // The font the tabs are drawn with, for the strip's density.
    HFONT TabFont();
    void Layout();
    void Measure();
    void Paint(HDC dc);

    std::vector<Tab> m_tabs;
    int m_current = -1;
    int m_first = 0;
    int m_perView = 1;
    int m_tabWidth96 = 80;
    int m_tabWidth = 80; // at the strip's density
    UINT m_dpi = 96;
    CBarDpiFont m_dpiFont; // the shared font at the strip's density
    int m_stripHeight = 0;
    int m_fontHeight = 0;
    int m_arrowWidth = 0, m_arrowHeight = 0;
    RECT m_arrowArea = {0, 0, 0, 0};
    RECT m_leftArrow = {0, 0, 0, 0}, m_rightArrow = {0, 0, 0, 0};
    bool m_scrolling = false;
    bool m_leftPressed = false, m_rightPressed = false;
    HIMAGELIST m_images = nullptr; // not owned
    SIZE m_imageSize = {0, 0};
    HFONT m_font = nullptr; // none: the shared font
    BarColours m_colours;
};
