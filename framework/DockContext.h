// CDockContext: what a dockable control bar needs to move between dock bars and floating: the
// drag of the bar with its outline (docking where the pointer is over a dock bar's zone,
// floating elsewhere or while Ctrl is held), the toggle of a double-click, and the resize of
// a floating bar's mini frame from its edges and corners. Layer: framework/.
#pragma once

#include <windows.h>

class CControlBar;
class CFrameWnd;

class CDockContext {
public:
    explicit CDockContext(CControlBar* bar);

    // Drags the bar from the pointer position (screen coordinates) until the left button is
    // released (dock or float), or Esc, a right press or a lost capture cancel.
    void StartDrag(POINT screenPoint);
    // Resizes the bar's mini frame from the edge or corner hitTest (HTLEFT ... HTBOTTOMRIGHT)
    // until the left button is released.
    void StartResize(int hitTest, POINT screenPoint);
    // Docked: floats the bar where it floated last. Floating: docks it where it was docked
    // last (or at its default side).
    void ToggleDocking();

    // The side a screen point docks to (a dock bar id, 0 none) for this bar.
    UINT DockSideAt(POINT screenPoint) const;

    CControlBar* m_pBar;
    CFrameWnd* m_pDockSite;

    // While resizing: the sizing code, the pointer and the mini frame's rectangle, which the
    // bar may move (a corner drag moves the left or top edge with the pointer).
    int m_nHitTest = HTNOWHERE;
    POINT m_ptLast = {0, 0};
    RECT m_rectFrameDragHorz = {0, 0, 0, 0};
    bool m_bDragging = false;
    bool m_bResizing = false;

    // Where the bar was docked last (dock bar id, screen rectangle) and floated last.
    UINT m_uMRUDockID = 0;
    RECT m_rectMRUDockPos = {0, 0, 0, 0};
    POINT m_ptMRUFloatPos = {-32768, -32768};
    // While resizing: the mini frame's size beyond the bar's.
    int m_extraW = 0, m_extraH = 0;

private:
    // The outline of the bar for a pointer position: docked size at a dock side, else the
    // floating size; answers the dock bar id (0: floating).
    UINT DragRect(POINT pt, bool noDock, RECT* rc) const;
    void DrawDragRect(const RECT* rc, bool thin);
    bool TrackLoop(bool resize);

    POINT m_offset = {0, 0};     // pointer minus the bar's top left when the drag began
    POINT m_grabOffset = {0, 0}; // held edges minus the pointer while resizing
    SIZE m_sizeHorz = {0, 0}, m_sizeVert = {0, 0}, m_sizeFloat = {0, 0};
    RECT m_rectShown = {0, 0, 0, 0};
    bool m_shown = false, m_shownThin = false;
};
