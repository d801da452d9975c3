// CBarSwitch: the document switch bar, one cell per open document with its state image and
// name; a click activates the document's window. When the cells would be narrower than their
// minimum the bar pages: whole pages of minimum-width cells with an up and a down arrow at the
// right end. The main frame keeps it in step with the open documents. Layer: workspace/.
#pragma once

#include "framework/ControlBar.h"
#include "workspace/BarPaint.h"

#include <commctrl.h>

#include <vector>

class CBarSwitch : public CControlBar {
    DECLARE_DYNAMIC(CBarSwitch)
public:
    static constexpr UINT kBarId = 0xE8FB;
    static constexpr UINT kToolBarId = 0xE8FE; // a visible toolbar beside it sets the cell height
    static constexpr int kMaxText = 259;
    static constexpr int kGrowStep = 128;

    struct Item {
        void* key = nullptr; // the document
        int image = -1;      // -1: none
        int length = 0;
        char text[kMaxText + 1] = {0};
    };

    CBarSwitch();
    ~CBarSwitch() override;

    bool Create(CWnd* parent, UINT id = kBarId,
                DWORD style = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_BOTTOM);
    void SetImageList(HIMAGELIST images, SIZE size);

    // index -1 appends, any other negative inserts at 0, beyond the count appends. The new
    // item becomes active. -1 when memory runs out (nothing changed).
    int InsertItem(int index, const char* text, int image, void* key);
    bool RemoveItem(int index);
    int FindItem(const void* key) const;
    // Makes a valid item active and scrolls to its page; repaints in any case.
    void SelectItem(int index);
    bool SetItemText(int index, const char* text);
    bool SetItemImage(int index, int image);
    int GetItemCount() const { return static_cast<int>(m_items.size()); }
    const Item* GetItem(int index) const;
    int GetActiveIndex() const { return m_active; }

    // Lays the cells out for the current width and item count.
    virtual void RecalcCells();
    // Paints the arrow column (only while paging).
    virtual void DrawArrows(HDC dc);
    // MDI-activates the frame of the item's document's first view. False for an invalid index
    // or a document without views.
    virtual bool ActivateItem(int index, bool current);
    // Colours, font and the sizes that follow from them, taken again.
    virtual void RefreshMetrics();

    // Layout, for the frame and tests (client coordinates).
    int GetFirstVisible() const { return m_first; }
    int GetLastVisible() const;
    int GetCellsPerPage() const { return m_perPage; }
    int GetCellWidth() const { return m_cellWidth; }
    int GetCellHeight() const { return m_cellHeight; }
    int GetMinCellWidth() const { return m_minCell; }
    int GetMaxCellWidth() const { return m_maxCell; }
    bool IsPaging() const { return m_paging; }
    RECT GetUpArrowRect() const { return m_upArrow; }
    RECT GetDownArrowRect() const { return m_downArrow; }
    // The cell of an item while it is visible (empty otherwise).
    RECT GetCellRect(int index) const;
    // The item under a client point, -1 for none.
    int HitTest(POINT pt) const;
    // One page back (-1) or forward (+1), as the arrows do.
    void Page(int direction);

    SIZE CalcFixedLayout(bool stretch, bool horz) override;
    void DoPaint(HDC dc) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    bool OnEraseBkgnd(HDC dc);
    void OnSize(UINT type, int cx, int cy);
    void OnLButtonUp(UINT flags, POINT pt);
    void OnCaptureChanged(HWND wnd);
    LRESULT OnNcHitTest(POINT pt);
    void OnSysColorChange();

    DECLARE_MESSAGE_MAP()

protected:
    // Font and cell sizes taken again for the new density, the cells laid out anew.
    void OnDpiChanged(UINT oldDpi) override;

private:
    // The font the cells are drawn with, for the bar's density.
    HFONT CellFont();
    // The cell height for the row the bar is in.
    void MeasureCellHeight(bool besideToolbar);
    // A left press: true when the bar took it (arrow or cell).
    bool OnLeftPress(POINT pt);
    int AvailableWidth() const;
    bool ToolbarShares() const;
    void PaintCells(HDC dc);

    std::vector<Item> m_items;
    int m_active = -1;
    int m_first = 0;
    int m_perPage = 1;
    int m_cellWidth = 0;
    int m_cellHeight = 0;
    int m_minCell = 0, m_maxCell = 0;
    int m_arrowColumn = 23;
    bool m_paging = false;
    bool m_upPressed = false, m_downPressed = false;
    RECT m_cellArea = {0, 0, 0, 0};
    RECT m_arrowArea = {0, 0, 0, 0};
    RECT m_upArrow = {0, 0, 0, 0}, m_downArrow = {0, 0, 0, 0};
    int m_cx = 0, m_cy = 0;
    BarColours m_colours;
    HFONT m_font = nullptr; // none: the shared font
    CBarDpiFont m_dpiFont;  // the shared font at the bar's density
    int m_fontHeight = 0;
    HIMAGELIST m_images = nullptr; // not owned
    SIZE m_imageSize = {16, 16};   // the list's own image size
    int m_imageGap = 4;            // the room before and after the image, at the density
};
