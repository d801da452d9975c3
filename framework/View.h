// CView: a window that shows a document inside a frame: painting through OnDraw, initial
// update, update hints, activation, the scroll request and the split and pane commands.
// Layer: framework/.
#pragma once

#include "framework/Wnd.h"

class CCmdUI;
class CDocument;
class CPrintInfo;
class CPreviewView;
class CSplitterWnd;

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
public:
    CView();
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    // The splitter the view is a pane of, or null.
    CSplitterWnd* GetParentSplitter() const;

    virtual void OnDraw(HDC dc) = 0;
    virtual void OnInitialUpdate();
    // Default: repaint all.
    virtual void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject);
    // The frame made this view active (or not).
    virtual void OnActivateView(bool activate, CView* activateView, CView* deactiveView);
    virtual void OnActivateFrame(UINT state, CFrameWnd* frame);
    // The framework's scroll request: the vertical scroll code in the high byte, the
    // horizontal one in the low byte (0xFF: none); doScroll false only asks whether it would
    // scroll. Returns true when it scrolled (or would).
    virtual bool OnScroll(UINT scrollCode, UINT pos, bool doScroll = true);

    // --- Printing: prepare, begin, then per page prepare-DC and print, then end -------------
    // Ask for the printer and the range; false ends the run. A derived view calls
    // DoPreparePrinting from here.
    virtual bool OnPreparePrinting(CPrintInfo* info);
    // The printer's device context exists: lay out the pages (may change the range).
    virtual void OnBeginPrinting(HDC dc, CPrintInfo* info);
    // Before each page (info null when painting the screen): may move info->m_nCurPage on,
    // or clear m_bContinuePrinting to stop.
    virtual void OnPrepareDC(HDC dc, CPrintInfo* info);
    // Draws one page into info->m_rectDraw. Default: OnDraw.
    virtual void OnPrint(HDC dc, CPrintInfo* info);
    virtual void OnEndPrinting(HDC dc, CPrintInfo* info);
    // The preview window closed (the view is shown again).
    virtual void OnEndPrintPreview(HDC dc, CPrintInfo* info, POINT point, CPreviewView* preview);
    // The printer defaults into info (the print dialog only when there are none, or when
    // asking); false when the user cancelled or there is no printer.
    bool DoPreparePrinting(CPrintInfo* info);
    // The whole print run: prepare, device context, begin, the pages with an abort window,
    // end. `direct`: no dialog even when the defaults are missing.
    void RunPrint(bool direct);
    // Starts the preview window over the frame with `preview` (created by the caller, owned
    // by the frame's window afterwards); false when it could not start.
    bool DoPrintPreview(CPreviewView* preview);
    // The print loop over a prepared info and device context (used by RunPrint and by the
    // preview's print button).
    void PrintPages(HDC dc, CPrintInfo& info);
    // True while a print run or a preview of this view is going on.
    bool IsPrinting() const { return m_printing > 0; }

    void OnFilePrint();
    void OnFilePrintDirect();

    bool PreCreateWindow(CREATESTRUCTA& cs) override;
    bool OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) override;
    void PostNcDestroy() override;

    int OnCreate(LPCREATESTRUCTA cs);
    void OnDestroy();
    void OnPaint();
    int OnMouseActivate(HWND topParent, UINT hitTest, UINT message);
    void OnSetFocus(HWND oldWnd);
    void OnSplitCmd();
    void OnUpdateSplitCmd(CCmdUI* cmdUI);
    bool OnNextPaneCmd(UINT id);
    void OnUpdateNextPaneMenu(CCmdUI* cmdUI);
    LRESULT OnInitialUpdateMsg(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()

protected:
    friend class CDocument;
    CDocument* m_pDocument = nullptr;
    int m_printing = 0; // print runs and previews going on
    friend class CPreviewView;
};
