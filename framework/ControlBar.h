// CControlBar: the base of bars that a frame lays out along its edges (status bar, toolbars,
// docking windows). Bars negotiate their size through CalcFixedLayout / CalcDynamicLayout and
// update their items' command UI at idle. Layer: framework/.
#pragma once

#include "framework/Dpi.h"
#include "framework/Wnd.h"

class CDockBar;
class CDockContext;
class CFrameWnd;

class CControlBar : public CWnd {
    DECLARE_DYNAMIC(CControlBar)
public:
    CControlBar();
    ~CControlBar() override;

    enum StateFlags : UINT { delayHide = 1, delayShow = 2 };

    // Creates the bar as a child of the frame: the bar style is style & CBRS_ALL, the window
    // style style & ~CBRS_ALL (plus WS_CHILD).
    bool CreateBar(CWnd* parent, DWORD style, UINT id, const char* className = nullptr);

    // The bar's size docked in a row (horz) or column; stretch asks for the whole length.
    virtual SIZE CalcFixedLayout(bool stretch, bool horz);
    // The size for a length along the docking direction (-1: the bar's own) and a LM_ mode;
    // the default answers with CalcFixedLayout.
    virtual SIZE CalcDynamicLayout(int length, DWORD mode);
    // Idle update of the bar's items through the frame's route.
    virtual void OnUpdateCmdUI(CFrameWnd* target, bool disableIfNoHandler);
    // Paints the client area; the default draws the borders the style asks for.
    virtual void DoPaint(HDC dc);
    // The client rectangle less the borders.
    virtual void CalcInsideRect(RECT& rc, bool horz) const;

    // The density the bar's sizes are made for, and a size written for 96 DPI at it.
    UINT GetDpi() const { return m_dpi; }
    int Scaled(int px96) const { return FxScale(px96, m_dpi); }
    // Makes the bar's sizes for dpi (OnDpiChanged runs when it differs from the bar's own).
    void SetDpi(UINT dpi);
    // The borders at 96 DPI; the bar keeps them scaled to its density in m_cx/m_cy..Border.
    void SetBorders(int cxLeft, int cyTop, int cxRight, int cyBottom);

    DWORD GetBarStyle() const { return m_dwStyle; }
    virtual void SetBarStyle(DWORD style);
    // The sides the bar may dock to; a bar that may dock gets a dock context for dragging.
    void EnableDocking(DWORD style);
    bool IsVisible() const;
    // In a dock bar that floats in a mini frame.
    bool IsFloating() const;
    bool IsDocked() const { return m_pDockBar && !IsFloating(); }
    bool IsHorz() const;
    void DelayShow(bool show);
    void ApplyDelayedShow();
    CFrameWnd* GetDockingFrame() const { return m_pDockSite; }

    void OnUpdateCmdUIIdle(bool disableIfNoHandler) override;
    void PostNcDestroy() override;
    void PreSubclassWindow() override;

    void OnPaint();
    bool OnEraseBkgnd(HDC dc);
    void OnDestroy();
    // A press in the client area of a bar in a dock bar drags it; a double-click toggles
    // between docked and floating.
    void OnLButtonDown(UINT flags, POINT pt);
    void OnLButtonDblClk(UINT flags, POINT pt);
    // WM_FXDPICHANGED: the bar measures itself again for the new density.
    LRESULT OnFxDpiChanged(WPARAM dpi, LPARAM);

    DWORD m_dwStyle = 0;     // bar style (CBRS_)
    DWORD m_dwDockStyle = 0; // sides the bar may dock to
    UINT m_nDockBarId = 0;   // the dock bar (side) it was docked to last, 0 none
    // The borders in pixels at the bar's density (SetBorders gives them at 96 DPI).
    int m_cxLeftBorder = 6, m_cxRightBorder = 6, m_cyTopBorder = 1, m_cyBottomBorder = 1;
    UINT m_nStateFlags = 0;
    CFrameWnd* m_pDockSite = nullptr;
    CDockBar* m_pDockBar = nullptr;         // the dock bar holding the bar, null when none
    CDockContext* m_pDockContext = nullptr; // owned; made by EnableDocking
    bool m_bAutoDelete = false;

    DECLARE_MESSAGE_MAP()

protected:
    // The bar's density changed from oldDpi to GetDpi(): the default scales the borders again;
    // bars remake what else they measured in pixels.
    virtual void OnDpiChanged(UINT oldDpi);

private:
    UINT m_dpi = kFxBaseDpi;
    RECT m_border96 = {6, 1, 6, 1}; // left, top, right, bottom at 96 DPI
};
