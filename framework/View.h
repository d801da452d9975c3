// CView: a window that shows a document inside a frame: painting through OnDraw, initial
// update, update hints, activation, the scroll request and the split and pane commands.
// Layer: framework/.
#pragma once

#include "framework/Wnd.h"

class CCmdUI;
class CDocument;
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
};
