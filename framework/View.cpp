// CView. Layer: framework/.
#include "framework/View.h"

#include "framework/CmdUI.h"
#include "framework/CreateContext.h"
#include "framework/Document.h"
#include "framework/FrameWnd.h"
#include "framework/FwIds.h"
#include "framework/SplitterWnd.h"

IMPLEMENT_DYNAMIC(CView, CWnd)

BEGIN_MESSAGE_MAP(CView, CWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_PAINT()
ON_WM_MOUSEACTIVATE()
ON_WM_SETFOCUS()
ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdateMsg)
ON_COMMAND(ID_WINDOW_SPLIT, OnSplitCmd)
ON_UPDATE_COMMAND_UI(ID_WINDOW_SPLIT, OnUpdateSplitCmd)
ON_COMMAND_EX(ID_NEXT_PANE, OnNextPaneCmd)
ON_COMMAND_EX(ID_PREV_PANE, OnNextPaneCmd)
ON_UPDATE_COMMAND_UI(ID_NEXT_PANE, OnUpdateNextPaneMenu)
ON_UPDATE_COMMAND_UI(ID_PREV_PANE, OnUpdateNextPaneMenu)
END_MESSAGE_MAP()

CView::CView() = default;

CView::~CView() {
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

bool CView::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!cs.lpszClass)
        cs.lpszClass = RegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW),
                                        reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    cs.style |= WS_CLIPSIBLINGS;
    return true;
}

int CView::OnCreate(LPCREATESTRUCTA cs) {
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    CCreateContext* context = static_cast<CCreateContext*>(cs->lpCreateParams);
    if (context && context->m_pCurrentDoc)
        context->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::OnDestroy() {
    if (CFrameWnd* frame = GetParentFrame()) {
        if (frame->GetActiveView() == this)
            frame->SetActiveView(nullptr, false);
    }
    CWnd::OnDestroy();
}

void CView::PostNcDestroy() {
    delete this;
}

void CView::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    OnDraw(dc);
    EndPaint(m_hWnd, &ps);
}

int CView::OnMouseActivate(HWND topParent, UINT hitTest, UINT message) {
    int result = CWnd::OnMouseActivate(topParent, hitTest, message);
    if (result == MA_NOACTIVATE || result == MA_NOACTIVATEANDEAT)
        return result;
    if (CFrameWnd* frame = GetParentFrame()) {
        if (frame->GetActiveView() != this)
            frame->SetActiveView(this);
    }
    return result;
}

void CView::OnSetFocus(HWND oldWnd) {
    CWnd::OnSetFocus(oldWnd);
    if (CFrameWnd* frame = GetParentFrame()) {
        if (frame->GetActiveView() != this)
            frame->SetActiveView(this, false);
    }
}

LRESULT CView::OnInitialUpdateMsg(WPARAM, LPARAM) {
    OnInitialUpdate();
    return 0;
}

void CView::OnInitialUpdate() {
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView*, LPARAM, CObject*) {
    Invalidate(true);
}

void CView::OnActivateView(bool activate, CView* activateView, CView*) {
    if (activate && activateView == this) {
        if (GetFocus() != m_hWnd)
            SetFocus();
    }
}

void CView::OnActivateFrame(UINT, CFrameWnd*) {}

bool CView::OnScroll(UINT, UINT, bool) {
    return false;
}

bool CView::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) {
    if (CWnd::OnCmdMsg(id, code, extra, handlerInfo))
        return true;
    return m_pDocument && m_pDocument->OnCmdMsg(id, code, extra, handlerInfo);
}

CSplitterWnd* CView::GetParentSplitter() const {
    return DynamicDowncast<CSplitterWnd>(GetParent());
}

void CView::OnSplitCmd() {
    if (CSplitterWnd* splitter = GetParentSplitter())
        splitter->DoKeyboardSplit();
}

void CView::OnUpdateSplitCmd(CCmdUI* cmdUI) {
    CSplitterWnd* splitter = GetParentSplitter();
    cmdUI->Enable(splitter != nullptr && splitter->CanSplit());
}

bool CView::OnNextPaneCmd(UINT id) {
    CSplitterWnd* splitter = GetParentSplitter();
    if (!splitter || !splitter->CanActivateNext(id == ID_PREV_PANE))
        return false;
    splitter->ActivateNext(id == ID_PREV_PANE);
    return true;
}

void CView::OnUpdateNextPaneMenu(CCmdUI* cmdUI) {
    CSplitterWnd* splitter = GetParentSplitter();
    cmdUI->Enable(splitter && splitter->CanActivateNext(cmdUI->m_nID == ID_PREV_PANE));
}
