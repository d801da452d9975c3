// CPreviewView: print preview over a frame. The view's pages are laid out for the printer and
// drawn on the screen with the printer's metrics (the screen context maps printer pixels to the
// page's place), one or two pages side by side, zoomed, turned with keys or commands; printing
// from the preview and closing it give the frame its windows back. Layer: framework/.
#pragma once

#include "framework/Wnd.h"

#include <memory>

class CDocument;
class CFrameWnd;
class CPrintInfo;
class CView;

class CPreviewView : public CWnd {
    DECLARE_DYNAMIC(CPreviewView)
public:
    CPreviewView();
    ~CPreviewView() override;

    // Starts the preview of `view` over `frame`: prepares and begins printing for preview,
    // tells the frame (which hides its other windows) and shows the first page. False (and
    // nothing changed) when there is no printer or preparing failed.
    bool Start(CFrameWnd* frame, CView* view);
    // Ends the preview: end-printing, the frame's windows back, the view active again. The
    // object deletes itself with its window.
    void Close();
    // The preview running now, or null.
    static CPreviewView* Active();
    // Lets `doc` change: a preview of it closes; false while one of its views prints (the
    // change must wait: the printed pages point into its text).
    static bool ReleaseDocument(CDocument* doc);

    CView* PrintView() const { return m_view; }
    CPrintInfo* Info() const { return m_info.get(); }
    UINT CurrentPage() const { return m_page; }
    UINT PageCount() const;
    int NumPages() const { return m_numPages; }
    int ZoomLevel() const { return m_zoom; }
    static constexpr int kMaxZoom = 2;

    void SetCurrentPage(UINT page);
    void NextPage();
    void PrevPage();
    void ToggleNumPages();
    void ZoomIn();
    void ZoomOut();
    // Closes the preview and sends the view the print command.
    void PrintFromPreview();
    // The screen rectangle (client coordinates) of shown page slot 0 or 1.
    RECT PageRect(int slot) const;

    void OnPaint();
    bool OnEraseBkgnd(HDC dc);
    void OnSize(UINT type, int cx, int cy);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnVScroll(UINT code, UINT pos, HWND bar);
    void OnHScroll(UINT code, UINT pos, HWND bar);
    bool OnMouseWheel(UINT keys, short delta, POINT pt);
    void OnLButtonDown(UINT keys, POINT pt);
    void OnCmdClose() { Close(); }
    void OnCmdNext() { NextPage(); }
    void OnCmdPrev() { PrevPage(); }
    void OnCmdNumPage() { ToggleNumPages(); }
    void OnCmdZoomIn() { ZoomIn(); }
    void OnCmdZoomOut() { ZoomOut(); }
    void OnCmdPrint() { PrintFromPreview(); }

    DECLARE_MESSAGE_MAP()

protected:
    // Called once the window exists: a derived preview makes its toolbar here.
    virtual void OnCreateToolbar() {}
    // Height of the toolbar band at the window's top (0 without one).
    virtual int ToolbarHeight() const { return 0; }
    // After a page, page-count or zoom change: a derived preview updates its toolbar.
    virtual void OnStateChanged() {}
    void PostNcDestroy() override;
    // Lays the toolbar out (derived previews).
    virtual void LayoutToolbar(int /*cx*/) {}

private:
    void DrawPage(HDC dc, const RECT& page, UINT number);
    void UpdateStatus();
    void UpdateScrollBars();
    void SetBar(int bar, const SCROLLINFO& info);
    // After a change of state; pagesOnly: the same layout, other pages.
    void Changed(bool pagesOnly = false);
    double FitScale() const;

    CFrameWnd* m_frame = nullptr;
    CView* m_view = nullptr;
    std::unique_ptr<CPrintInfo> m_info;
    HDC m_printerDC = nullptr;
    SIZE m_paper = {1, 1}; // the sheet in printer pixels
    POINT m_offset = {0, 0};
    UINT m_page = 1;
    int m_numPages = 1;
    int m_zoom = 0;
    POINT m_scroll = {0, 0}; // scroll position in pixels while zoomed
    bool m_closing = false;
    // What the horizontal [0] and vertical [1] scroll bars were last given.
    struct BarState {
        bool set;
        int min, max;
        UINT page;
        int pos;
    };
    BarState m_bars[2] = {};
};
