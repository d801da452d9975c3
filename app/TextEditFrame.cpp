// CTextEditFrame. Layer: app/ (application shell).
#include "app/TextEditFrame.h"

#include "app/AppMainFrame.h"
#include "framework/CreateContext.h"
#include "framework/FwIds.h"
#include "framework/MultiDocTemplate.h"

IMPLEMENT_DYNCREATE(CTextEditFrame, CMDIChildWnd)

BEGIN_MESSAGE_MAP(CTextEditFrame, CMDIChildWnd)
ON_WM_MDIACTIVATE()
ON_WM_GETMINMAXINFO()
END_MESSAGE_MAP()

bool CTextEditFrame::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!CMDIChildWnd::PreCreateWindow(cs))
        return false;
    cs.style = kFrameStyle;
    return true;
}

bool CTextEditFrame::OnCreateClient(LPCREATESTRUCTA, CCreateContext* context) {
    // A visible, maximised frame is activated as soon as it exists, before the framework hands
    // it the template's menu: it takes the menu and keys from the creation context here.
    if (context) {
        if (CMultiDocTemplate* t = DynamicDowncast<CMultiDocTemplate>(context->m_pNewDocTemplate)) {
            m_hMenuShared = t->m_hMenuShared;
            m_hAccelTable = t->m_hAccelTable;
        }
    }
    return m_splitter.Create(this, 2, 1, SIZE{10, 10}, context,
                             WS_CHILD | WS_VISIBLE | SPLS_DYNAMIC_SPLIT, AFX_IDW_PANE_FIRST);
}

void CTextEditFrame::OnMDIActivate(bool activate, HWND activateWnd, HWND deactivateWnd) {
    CMDIChildWnd::OnMDIActivate(activate, activateWnd, deactivateWnd);
    if (activate && GetActiveDocument()) {
        if (CAppMainFrame* main = AppMainFrame()) {
            main->SelectDocumentTab(GetActiveDocument());
            main->SetDocumentMode(true);
        }
    }
}

void CTextEditFrame::OnGetMinMaxInfo(MINMAXINFO* info) {
    Default();
    CAppMainFrame* main = AppMainFrame();
    if (!main || !main->IsFullScreen() || !main->m_hWndMDIClient)
        return;
    // In full screen a maximised document covers the client area exactly: its caption and
    // borders lie outside it.
    RECT rc;
    ::GetClientRect(main->m_hWndMDIClient, &rc);
    ::AdjustWindowRectEx(&rc, static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_EXSTYLE)));
    info->ptMaxSize.x = info->ptMaxTrackSize.x = rc.right - rc.left;
    info->ptMaxSize.y = info->ptMaxTrackSize.y = rc.bottom - rc.top;
    info->ptMaxPosition.x = rc.left;
    info->ptMaxPosition.y = rc.top;
}
