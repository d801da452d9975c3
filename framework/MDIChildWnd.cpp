// CMDIChildWnd. Layer: framework/.
#include "framework/MDIChildWnd.h"

#include "framework/CreateContext.h"
#include "framework/Document.h"
#include "framework/FwIds.h"
#include "framework/MDIFrameWnd.h"
#include "framework/MultiDocTemplate.h"
#include "framework/ResourceText.h"
#include "framework/View.h"
#include "framework/WinApp.h"

IMPLEMENT_DYNCREATE(CMDIChildWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMDIChildWnd, CFrameWnd)
ON_WM_CREATE()
ON_WM_MDIACTIVATE()
ON_WM_SIZE()
ON_WM_CLOSE()
END_MESSAGE_MAP()

CMDIChildWnd::CMDIChildWnd() = default;

bool CMDIChildWnd::LoadFrame(UINT idResource, DWORD style, CWnd* parent, CCreateContext* context) {
    m_nIDHelp = idResource;
    CMDIFrameWnd* frame = DynamicDowncast<CMDIFrameWnd>(parent);
    if (!frame)
        frame = DynamicDowncast<CMDIFrameWnd>(AfxGetMainWnd());
    if (!frame || !frame->m_hWndMDIClient) {
        PostNcDestroy();
        return false;
    }
    HINSTANCE inst = AfxGetResourceHandle();
    HICON icon = LoadIconA(inst, MAKEINTRESOURCEA(idResource));
    const char* cls = RegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1),
                                       icon ? icon : LoadIconA(nullptr, IDI_APPLICATION));
    std::string full = AfxLoadString(idResource);
    m_strTitle = full.substr(0, full.find('\n'));
    RECT rc = {static_cast<LONG>(CW_USEDEFAULT), static_cast<LONG>(CW_USEDEFAULT), 0, 0};
    if (!Create(cls, m_strTitle.c_str(), style, rc, frame, context))
        return false;
    if (context) {
        if (CMultiDocTemplate* t = DynamicDowncast<CMultiDocTemplate>(context->m_pNewDocTemplate)) {
            m_hMenuShared = t->m_hMenuShared;
            m_hAccelTable = t->m_hAccelTable;
        }
    }
    return true;
}

bool CMDIChildWnd::Create(const char* className, const char* title, DWORD style, const RECT& rect,
                          CMDIFrameWnd* parent, CCreateContext* context) {
    m_pMDIFrame = parent;
    m_pCreateContext = context;
    CREATESTRUCTA cs = {};
    cs.lpszClass = className;
    cs.lpszName = title;
    cs.style = static_cast<LONG>(style);
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.left == static_cast<LONG>(CW_USEDEFAULT) ? static_cast<int>(CW_USEDEFAULT)
                                                          : rect.right - rect.left;
    cs.cy = rect.left == static_cast<LONG>(CW_USEDEFAULT) ? static_cast<int>(CW_USEDEFAULT)
                                                          : rect.bottom - rect.top;
    cs.hwndParent = parent->m_hWndMDIClient;
    cs.hInstance = GetModuleHandleA(nullptr);
    cs.lpCreateParams = context;
    if (!PreCreateWindow(cs)) {
        m_pCreateContext = nullptr;
        PostNcDestroy();
        return false;
    }
    MDICREATESTRUCTA mcs;
    mcs.szClass = cs.lpszClass;
    mcs.szTitle = cs.lpszName;
    mcs.hOwner = cs.hInstance;
    mcs.x = cs.x;
    mcs.y = cs.y;
    mcs.cx = cs.cx;
    mcs.cy = cs.cy;
    mcs.style = static_cast<DWORD>(cs.style) & ~(WS_MAXIMIZE | WS_VISIBLE);
    mcs.lParam = reinterpret_cast<LPARAM>(context);
    // Opening maximised when asked, or when the active child is maximised already.
    bool maximized = false;
    parent->MDIGetActive(&maximized);
    bool maximize = (cs.style & WS_MAXIMIZE) || maximized;
    HookWindowCreate(this);
    HWND wnd = reinterpret_cast<HWND>(
        ::SendMessageA(parent->m_hWndMDIClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
    UnhookWindowCreate();
    m_pCreateContext = nullptr;
    if (!wnd)
        return false;
    if (maximize)
        ::SendMessageA(parent->m_hWndMDIClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(wnd), 0);
    return true;
}

bool CMDIChildWnd::PreCreateWindow(CREATESTRUCTA& cs) {
    cs.style |= WS_CHILD;
    return CFrameWnd::PreCreateWindow(cs);
}

int CMDIChildWnd::OnCreate(LPCREATESTRUCTA cs) {
    // The creation context travels in the MDI creation structure.
    if (!m_pCreateContext && cs->lpCreateParams) {
        MDICREATESTRUCTA* mcs = static_cast<MDICREATESTRUCTA*>(cs->lpCreateParams);
        m_pCreateContext = reinterpret_cast<CCreateContext*>(mcs->lParam);
    }
    return CFrameWnd::OnCreate(cs);
}

LRESULT CMDIChildWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefMDIChildProcA(m_hWnd, message, wParam, lParam);
}

CMDIFrameWnd* CMDIChildWnd::GetMDIFrame() const {
    if (m_pMDIFrame)
        return m_pMDIFrame;
    HWND client = ::GetParent(m_hWnd);
    return DynamicDowncast<CMDIFrameWnd>(FromHandle(::GetParent(client)));
}

bool CMDIChildWnd::DestroyWindow() {
    if (!m_hWnd)
        return false;
    MDIDestroy();
    return true;
}

void CMDIChildWnd::MDIDestroy() {
    CMDIFrameWnd* frame = GetMDIFrame();
    if (frame && frame->m_hWndMDIClient)
        ::SendMessageA(frame->m_hWndMDIClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(m_hWnd), 0);
    else
        ::DestroyWindow(m_hWnd);
}

void CMDIChildWnd::MDIActivate() {
    if (CMDIFrameWnd* frame = GetMDIFrame())
        frame->MDIActivate(m_hWnd);
}

void CMDIChildWnd::MDIMaximize() {
    if (CMDIFrameWnd* frame = GetMDIFrame())
        ::SendMessageA(frame->m_hWndMDIClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CMDIChildWnd::ActivateFrame(int cmdShow) {
    if (cmdShow == -1 && !IsWindowVisible())
        cmdShow = SW_SHOW;
    if (cmdShow != -1)
        ShowWindow(cmdShow);
    MDIActivate();
    if (m_pViewActive && m_pViewActive->m_hWnd)
        m_pViewActive->SetFocus();
}

void CMDIChildWnd::OnMDIActivate(bool activate, HWND activateWnd, HWND deactivateWnd) {
    CFrameWnd::OnMDIActivate(activate, activateWnd, deactivateWnd);
    CMDIFrameWnd* frame = GetMDIFrame();
    if (!frame)
        return;
    if (activate) {
        frame->OnUpdateFrameMenu(m_hMenuShared);
        if (m_pViewActive)
            m_pViewActive->OnActivateView(true, m_pViewActive, m_pViewActive);
    } else {
        if (m_pViewActive && m_pViewActive->m_hWnd)
            m_pViewActive->OnActivateView(false, m_pViewActive, m_pViewActive);
        if (!activateWnd)
            frame->OnUpdateFrameMenu(nullptr); // no child left active
    }
    frame->OnUpdateFrameTitle(true);
}

void CMDIChildWnd::OnSize(UINT type, int cx, int cy) {
    // Default first: the MDI child's own processing (maximise, restore) needs it.
    Default();
    CFrameWnd::OnSize(type, cx, cy);
    if (CMDIFrameWnd* frame = GetMDIFrame())
        frame->OnUpdateFrameTitle(true);
}

void CMDIChildWnd::OnClose() {
    CFrameWnd::OnClose();
}

void CMDIChildWnd::PostNcDestroy() {
    CMDIFrameWnd* frame = m_pMDIFrame;
    CFrameWnd::PostNcDestroy(); // deletes this
    if (frame && frame->m_hWnd && !frame->MDIGetActive()) {
        frame->OnUpdateFrameMenu(nullptr);
        frame->OnUpdateFrameTitle(true);
    }
}

void CMDIChildWnd::OnUpdateFrameTitle(bool addToTitle) {
    CDocument* doc = GetActiveDocument();
    if (addToTitle && (GetStyle() & FWS_ADDTOTITLE) && doc)
        SetWindowText(doc->GetTitle().c_str());
    else if (addToTitle && (GetStyle() & FWS_ADDTOTITLE))
        SetWindowText(m_strTitle.c_str());
}

bool CMDIChildWnd::PreTranslateMessage(MSG*) {
    // Keys are translated once, by the MDI frame with the active child's table.
    return false;
}
