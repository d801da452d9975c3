// CMDIFrameWnd. Layer: framework/.
#include "framework/MDIFrameWnd.h"

#include "framework/CmdUI.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/FwIds.h"
#include "framework/MDIChildWnd.h"
#include "framework/View.h"

IMPLEMENT_DYNCREATE(CMDIFrameWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CMDIFrameWnd, CFrameWnd)
ON_WM_SIZE()
ON_WM_DESTROY()
ON_COMMAND_EX(ID_WINDOW_ARRANGE, OnMDIWindowCmd)
ON_COMMAND_EX(ID_WINDOW_CASCADE, OnMDIWindowCmd)
ON_COMMAND_EX(ID_WINDOW_TILE_HORZ, OnMDIWindowCmd)
ON_COMMAND_EX(ID_WINDOW_TILE_VERT, OnMDIWindowCmd)
ON_UPDATE_COMMAND_UI_RANGE(ID_WINDOW_ARRANGE, ID_WINDOW_TILE_VERT, OnUpdateMDIWindowCmd)
ON_COMMAND(ID_WINDOW_NEW, OnWindowNew)
ON_UPDATE_COMMAND_UI(ID_WINDOW_NEW, OnUpdateMDIWindowCmd)
END_MESSAGE_MAP()

CMDIFrameWnd::CMDIFrameWnd() = default;

HMENU CMDIFrameWnd::FindWindowMenuPopup(HMENU menuBar) {
    if (!menuBar)
        return nullptr;
    for (int i = GetMenuItemCount(menuBar) - 1; i >= 0; --i) {
        HMENU popup = GetSubMenu(menuBar, i);
        if (!popup)
            continue;
        for (int j = 0, n = GetMenuItemCount(popup); j < n; ++j) {
            UINT id = GetMenuItemID(popup, j);
            if (id >= ID_WINDOW_NEW && id <= ID_WINDOW_SPLIT)
                return popup;
        }
    }
    return nullptr;
}

bool CMDIFrameWnd::OnCreateClient(LPCREATESTRUCTA cs, CCreateContext*) {
    return CreateClient(cs, FindWindowMenuPopup(cs->hMenu));
}

bool CMDIFrameWnd::CreateClient(LPCREATESTRUCTA, HMENU windowMenu) {
    CLIENTCREATESTRUCT ccs;
    ccs.hWindowMenu = windowMenu;
    ccs.idFirstChild = 0xFF00; // AFX_IDM_FIRST_MDICHILD
    m_hWndMDIClient = CreateWindowExA(
        WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL | MDIS_ALLCHILDSTYLES, 0,
        0, 0, 0, m_hWnd, reinterpret_cast<HMENU>(AFX_IDW_PANE_FIRST), GetModuleHandleA(nullptr),
        &ccs);
    if (!m_hWndMDIClient)
        return false;
    // With no child the client hides both bars at its first recalculation, which it posts
    // for after the first paint: hidden now, they are never drawn for nothing (under Wine
    // that drawing costs about 20 ms of the start-up).
    ::ShowScrollBar(m_hWndMDIClient, SB_BOTH, FALSE);
    return true;
}

LRESULT CMDIFrameWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefFrameProcA(m_hWnd, m_hWndMDIClient, message, wParam, lParam);
}

void CMDIFrameWnd::OnSize(UINT type, int, int) {
    // Not the default: it would give the MDI client the whole client area.
    if (type != SIZE_MINIMIZED)
        RecalcLayout();
}

void CMDIFrameWnd::OnDestroy() {
    CFrameWnd::OnDestroy();
    m_hWndMDIClient = nullptr;
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive(bool* maximized) const {
    if (!m_hWndMDIClient)
        return nullptr;
    BOOL max = FALSE;
    HWND child = reinterpret_cast<HWND>(
        ::SendMessageA(m_hWndMDIClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&max)));
    if (maximized)
        *maximized = max != FALSE;
    return DynamicDowncast<CMDIChildWnd>(FromHandle(child));
}

void CMDIFrameWnd::MDIActivate(HWND child) {
    ::SendMessageA(m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), 0);
}

void CMDIFrameWnd::OnUpdateFrameMenu(HMENU menu) {
    if (!m_hWndMDIClient)
        return;
    HMENU bar = menu ? menu : m_hMenuDefault;
    if (!bar)
        return;
    ::SendMessageA(m_hWndMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(bar),
                   reinterpret_cast<LPARAM>(FindWindowMenuPopup(bar)));
    ::DrawMenuBar(m_hWnd);
}

CFrameWnd* CMDIFrameWnd::GetActiveFrame() {
    CMDIChildWnd* child = MDIGetActive();
    return child ? static_cast<CFrameWnd*>(child) : this;
}

CDocument* CMDIFrameWnd::GetActiveDocument() {
    CMDIChildWnd* child = MDIGetActive();
    return child ? child->GetActiveDocument() : nullptr;
}

HACCEL CMDIFrameWnd::GetDefaultAccelerator() {
    // Only one table translates: the active child's (its template's), else the frame's own.
    CMDIChildWnd* child = MDIGetActive();
    if (child && child->m_hAccelTable)
        return child->m_hAccelTable;
    return m_hAccelTable;
}

bool CMDIFrameWnd::PreTranslateMessage(MSG* msg) {
    if (IsBarWindowKey(msg))
        return false;
    if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) {
        // The system keys of the children (Ctrl+F4 closes, Ctrl+Tab and Ctrl+F6 switch) would
        // close or change the document a print preview shows: not while it shows.
        if (m_hWndMDIClient && !IsInPreviewMode() && MDIGetActive() &&
            ::TranslateMDISysAccel(m_hWndMDIClient, msg))
            return true;
        HACCEL accel = GetDefaultAccelerator();
        if (accel && ::TranslateAcceleratorA(m_hWnd, accel, msg))
            return true;
    }
    return false;
}

bool CMDIFrameWnd::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) {
    // A print preview first (it refuses what would change its document), then the active
    // child (its view, document and itself) before the main frame and application.
    if (RoutePreviewCommand(id, code, extra, handlerInfo))
        return true;
    CMDIChildWnd* child = MDIGetActive();
    if (child && child->OnCmdMsg(id, code, extra, handlerInfo))
        return true;
    return CFrameWnd::OnCmdMsg(id, code, extra, handlerInfo);
}

void CMDIFrameWnd::OnUpdateFrameTitle(bool addToTitle) {
    if (!(GetStyle() & FWS_ADDTOTITLE))
        return;
    bool maximized = false;
    CMDIChildWnd* child = MDIGetActive(&maximized);
    CDocument* doc = child ? child->GetActiveDocument() : nullptr;
    // A maximised child's title is shown by the system after the frame's own.
    if (addToTitle && doc && !maximized)
        UpdateFrameTitleForDocument(doc->GetTitle().c_str());
    else
        UpdateFrameTitleForDocument(nullptr);
}

bool CMDIFrameWnd::OnMDIWindowCmd(UINT id) {
    UINT message = 0;
    WPARAM wParam = 0;
    switch (id) {
    case ID_WINDOW_ARRANGE:
        message = WM_MDIICONARRANGE;
        break;
    case ID_WINDOW_CASCADE:
        message = WM_MDICASCADE;
        break;
    case ID_WINDOW_TILE_HORZ:
        message = WM_MDITILE;
        wParam = MDITILE_HORIZONTAL;
        break;
    case ID_WINDOW_TILE_VERT:
        message = WM_MDITILE;
        wParam = MDITILE_VERTICAL;
        break;
    default:
        return false;
    }
    ::SendMessageA(m_hWndMDIClient, message, wParam, 0);
    return true;
}

void CMDIFrameWnd::OnUpdateMDIWindowCmd(CCmdUI* cmdUI) {
    cmdUI->Enable(MDIGetActive() != nullptr);
}

void CMDIFrameWnd::OnWindowNew() {
    CMDIChildWnd* child = MDIGetActive();
    CDocument* doc = child ? child->GetActiveDocument() : nullptr;
    CDocTemplate* docTemplate = doc ? doc->GetDocTemplate() : nullptr;
    if (!docTemplate)
        return;
    if (CFrameWnd* frame = docTemplate->CreateNewFrame(doc, child))
        docTemplate->InitialUpdateFrame(frame, doc);
}
