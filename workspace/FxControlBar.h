// CFxControlBar: a resizable docking bar. It docks to any side of the main frame, shares a
// dock row with other bars of its kind, is resized by dragging its sizing edges, carries a
// gripper and a close box in its non-client area, floats in a mini frame that can be sized at
// its corners too, and may keep its single child window filling its client area. The output
// window bar and the workspace bar derive from it. Layer: workspace/.
#pragma once

#include "framework/ControlBar.h"

#include <vector>

// Edge flags: the four sizing edges (computed at every non-client size calculation) and the
// two creation flags.
enum : UINT {
    FXCB_EDGELEFT = 0x01,
    FXCB_EDGERIGHT = 0x02,
    FXCB_EDGETOP = 0x04,
    FXCB_EDGEBOTTOM = 0x08,
    FXCB_SHOWEDGES = 0x10, // sizing edges are drawn and take room in the non-client area
    FXCB_FITCHILD = 0x20,  // the first child window follows the client area's size
};

class CFxControlBar : public CControlBar {
    DECLARE_DYNAMIC(CFxControlBar)
public:
    CFxControlBar();
    ~CFxControlBar() override;

    // cx, cy: the size for the side the style aligns to (and the floating size); flags:
    // FXCB_SHOWEDGES, FXCB_FITCHILD; style: alignment, visibility and bar style bits.
    virtual bool Create(CWnd* parent, UINT id, const char* title, int cx, int cy, UINT flags,
                        DWORD style);

    SIZE CalcFixedLayout(bool stretch, bool horz) override;
    SIZE CalcDynamicLayout(int length, DWORD mode) override;
    void OnUpdateCmdUI(CFrameWnd* target, bool disableIfNoHandler) override;
    void DoPaint(HDC dc) override;

    // Edge drag: begun by a press on a sizing edge, moved by the pointer (screen
    // coordinates), ended by the release, a right press or a lost capture.
    virtual void BeginEdgeDrag(int edge, int x, int y);
    virtual void EndEdgeDrag();
    virtual void InvertDragLine();
    virtual void DragEdgeTo(POINT pt);
    // Places the visible bars of the row one after the other, neighbours overlapping by two
    // pixels; a sizing bar takes its stored size.
    virtual void LayoutRow();
    virtual void DrawGripper(HDC dc);
    // The bar style's borders about rc (window coordinates); rc shrinks by them.
    virtual void DrawBarFrame(HDC dc, RECT& rc);
    virtual void DrawCloseBox(HDC dc);
    virtual void DrawEdges(HDC dc);

    // The sizes while docked at the top or bottom, at the left or right, and floating, in
    // pixels at the bar's density (the defaults and the minimums are written for 96 DPI and
    // scaled when the bar is made).
    SIZE m_sizeHorz = {320, 120};
    SIZE m_sizeVert = {120, 320};
    SIZE m_sizeFloat = {120, 120};
    SIZE m_sizeMinHorz = {32, 32};
    SIZE m_sizeMinVert = {32, 32};
    SIZE m_sizeMinFloat = {32, 32};

    bool IsTracking() const { return m_bTracking; }
    bool IsClosePressed() const { return m_bClosePressed; }
    bool IsKeepSize() const { return m_bKeepSize; }
    UINT GetEdgeFlags() const { return m_edgeFlags; }
    UINT GetDockBarId() const { return m_dockBarId; }
    // Window-relative rectangles of the close box and the gripper.
    RECT GetCloseRect() const { return m_rectClose; }
    RECT GetGripperRect() const { return m_rectGripper; }
    bool IsSideHorz() const;

    LRESULT OnNcHitTest(POINT pt);
    void OnNcCalcSize(bool calcValidRects, NCCALCSIZE_PARAMS* params);
    void OnNcPaint();
    LRESULT OnNcLButtonDown(WPARAM hit, LPARAM pos);
    void OnLButtonUp(UINT flags, POINT pt);
    void OnLButtonDown(UINT flags, POINT pt);
    void OnRButtonDown(UINT flags, POINT pt);
    void OnMouseMove(UINT flags, POINT pt);
    void OnCaptureChanged(HWND wnd);
    LRESULT OnWindowPosChanging(WPARAM, LPARAM lParam);
    void OnSize(UINT type, int cx, int cy);
    void OnSysColorChange();

    DECLARE_MESSAGE_MAP()

protected:
    // The sizes keep their look at the new density: the user's sizes in proportion, the
    // minimums, the edges, the gripper and the close box anew.
    void OnDpiChanged(UINT oldDpi) override;

    // The visible bars of the bar's row (at most 256), and this bar's place among them (-1
    // when not docked).
    int CollectRow(std::vector<CControlBar*>& row) const;
    // Fits the row's sizing bars into the available length; true when a size changed.
    bool NegotiateRow(int available);
    int AvailableLength() const;
    // Length and thickness of a bar in the row's orientation (sizing bars: stored sizes).
    LONG& LengthOf(CFxControlBar* bar);
    LONG& ThicknessOf(CFxControlBar* bar);
    int MinLengthOf(const CFxControlBar* bar) const;
    int MinThicknessOf(const CFxControlBar* bar) const;
    RECT EdgeStrip(int edge) const; // window-relative strip of a sizing edge
    void RedrawFrame();

    bool m_bTracking = false;
    bool m_bKeepSize = false;
    bool m_bParentSizing = false;
    int m_nDragEdge = 0;
    UINT m_dockBarId = 0;
    UINT m_edgeFlags = 0;
    int m_edgeWidth = 5; // pixels at the bar's density
    int m_trackMin = 0, m_trackMax = 0, m_trackPos = 0, m_trackOffset = 0;
    RECT m_rectGripper = {0, 0, 0, 0};
    bool m_bClosePressed = false;
    RECT m_rectClose = {0, 0, 0, 0};
    bool m_lineShown = false;
};
