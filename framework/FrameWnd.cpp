// CFrameWnd. Layer: framework/.
#include "framework/FrameWnd.h"

#include "framework/CmdUI.h"
#include "framework/ControlBar.h"
#include "framework/CreateContext.h"
#include "framework/DockBar.h"
#include "framework/DockContext.h"
#include "framework/Document.h"
#include "framework/Dpi.h"
#include "framework/FwIds.h"
#include "framework/MiniDockFrameWnd.h"
#include "framework/PreviewView.h"
#include "framework/ResourceException.h"
#include "framework/ResourceText.h"
#include "framework/ToolTipText.h"
#include "framework/View.h"
#include "framework/WinApp.h"

#include <commctrl.h>
#include <dde.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_CLOSE()
ON_WM_SIZE()
ON_WM_SETFOCUS()
ON_WM_INITMENUPOPUP()
ON_WM_MENUSELECT()
ON_MESSAGE(WM_EXITMENULOOP, OnExitMenuLoop)
ON_WM_SYSCOLORCHANGE()
ON_WM_DROPFILES()
ON_WM_HELPINFO()
ON_MESSAGE(WM_DDE_INITIATE, OnDdeInitiate)
ON_MESSAGE(WM_DDE_EXECUTE, OnDdeExecute)
ON_MESSAGE(WM_DDE_TERMINATE, OnDdeTerminate)
ON_MESSAGE(WM_DDE_ACK, OnDdeAck)
ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
ON_MESSAGE(WM_DPICHANGED, OnDpiChanged)
ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFF, OnToolTipText)
ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, OnToolTipText)
END_MESSAGE_MAP()

CFrameWnd::CFrameWnd() = default;

CFrameWnd::~CFrameWnd() = default;

bool CFrameWnd::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!cs.lpszClass)
        cs.lpszClass = RegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW),
                                        reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1),
                                        LoadIconA(nullptr, IDI_APPLICATION));
    return true;
}

bool CFrameWnd::LoadFrame(UINT idResource, DWORD style, CWnd* parent, CCreateContext* context) {
    m_nIDHelp = idResource;
    HINSTANCE inst = AfxGetResourceHandle();
    std::string full = AfxLoadString(idResource);
    m_strTitle = full.substr(0, full.find('\n'));
    if (m_strTitle.empty() && AfxGetApp())
        m_strTitle = AfxGetApp()->m_strAppName;
    HICON icon = LoadIconA(inst, MAKEINTRESOURCEA(idResource));
    const char* cls = RegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1),
                                       icon ? icon : LoadIconA(nullptr, IDI_APPLICATION));
    HMENU menu = LoadMenuA(inst, MAKEINTRESOURCEA(idResource));
    RECT rc = {static_cast<LONG>(CW_USEDEFAULT), static_cast<LONG>(CW_USEDEFAULT), 0, 0};
    if (!CreateFrame(cls, m_strTitle.c_str(), style, rc, parent, menu, 0, context))
        return false;
    m_hMenuDefault = ::GetMenu(m_hWnd);
    m_hAccelTable = LoadAcceleratorsA(inst, MAKEINTRESOURCEA(idResource));
    if (!context)
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, true);
    return true;
}

bool CFrameWnd::CreateFrame(const char* className, const char* title, DWORD style, const RECT& rect,
                            CWnd* parent, HMENU menu, DWORD exStyle, CCreateContext* context) {
    m_strTitle = title ? title : "";
    m_pCreateContext = context;
    int cx = rect.left == static_cast<LONG>(CW_USEDEFAULT) ? static_cast<int>(CW_USEDEFAULT)
                                                           : rect.right - rect.left;
    int cy = rect.left == static_cast<LONG>(CW_USEDEFAULT) ? static_cast<int>(CW_USEDEFAULT)
                                                           : rect.bottom - rect.top;
    bool ok = CreateEx(exStyle, className, title, style, rect.left, rect.top, cx, cy,
                       parent ? parent->m_hWnd : nullptr, menu, context);
    m_pCreateContext = nullptr;
    if (!ok && menu && IsMenu(menu))
        DestroyMenu(menu);
    return ok;
}

int CFrameWnd::OnCreate(LPCREATESTRUCTA cs) {
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    CCreateContext* context = m_pCreateContext;
    if (!context && cs->lpCreateParams && !(cs->dwExStyle & WS_EX_MDICHILD))
        context = static_cast<CCreateContext*>(cs->lpCreateParams);
    if (!OnCreateClient(cs, context))
        return -1;
    if (cs->dwExStyle & WS_EX_ACCEPTFILES)
        DragAcceptFiles(m_hWnd, TRUE);
    RecalcLayout();
    return 0;
}

bool CFrameWnd::OnCreateClient(LPCREATESTRUCTA, CCreateContext* context) {
    if (context && context->m_pNewViewClass)
        return CreateView(context, AFX_IDW_PANE_FIRST) != nullptr;
    return true;
}

CWnd* CFrameWnd::CreateView(CCreateContext* context, UINT id) {
    CObject* obj = context->m_pNewViewClass ? context->m_pNewViewClass->CreateObject() : nullptr;
    CWnd* view = DynamicDowncast<CWnd>(obj);
    if (!view) {
        delete obj;
        return nullptr;
    }
    RECT rc = {0, 0, 0, 0};
    // A view that fails to create has deleted itself in PostNcDestroy.
    if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, rc, this, id, context))
        return nullptr;
    return view;
}

void CFrameWnd::OnDestroy() {
    // The mini frames go first, while their bars' frame still exists.
    std::vector<CMiniDockFrameWnd*> floating = m_floatingFrames;
    for (CMiniDockFrameWnd* mini : floating)
        if (mini->m_hWnd)
            mini->DestroyWindow();
    m_floatingFrames.clear();
    for (CControlBar* bar : m_listControlBars)
        bar->m_pDockSite = nullptr;
    m_listControlBars.clear();
    // The menu of the resource goes with the frame; a shared menu (an MDI template's) must
    // not, so no menu stays attached for DestroyWindow to destroy.
    if (!(GetStyle() & WS_CHILD))
        ::SetMenu(m_hWnd, nullptr);
    if (m_hMenuDefault)
        DestroyMenu(m_hMenuDefault);
    m_hMenuDefault = nullptr;
    // Tables loaded from resources need no destroying, and a child's is its template's.
    m_hAccelTable = nullptr;
    CWnd::OnDestroy();
}

void CFrameWnd::PostNcDestroy() {
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
        if (app->m_bPostQuitOnMainWndDestroy)
            PostQuitMessage(0);
    }
    delete this;
}

void CFrameWnd::OnClose() {
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        // The documents are asked about and closed as the user sees them, not under a
        // preview that still holds one of them.
        ClosePreview();
        // The main window: every document may refuse.
        if (!app->SaveAllModified())
            return;
        app->CloseAllDocuments(false);
        if (!m_hWnd)
            return;
        DestroyWindow();
        return;
    }
    // A preview of one of this frame's views ends before the frame may go.
    if (CPreviewView* preview = CPreviewView::Active())
        if (preview->PrintView() && preview->PrintView()->GetParentFrame() == this)
            preview->Close();
    CDocument* doc = GetActiveDocument();
    if (doc && !doc->CanCloseFrame(this))
        return;
    if (doc && doc->m_bAutoDelete) {
        // The last frame of its document closes the document (which destroys the frame).
        bool otherFrame = false;
        for (CView* view : doc->GetViews())
            otherFrame = otherFrame || view->GetParentFrame() != this;
        if (!otherFrame) {
            doc->OnCloseDocument();
            return;
        }
    }
    DestroyWindow();
}

void CFrameWnd::OnSize(UINT type, int, int) {
    if (type != SIZE_MINIMIZED)
        RecalcLayout();
}

void CFrameWnd::OnSetFocus(HWND oldWnd) {
    if (m_pViewActive && m_pViewActive->m_hWnd)
        m_pViewActive->SetFocus();
    else
        CWnd::OnSetFocus(oldWnd);
}

void CFrameWnd::SetActiveView(CView* view, bool notify) {
    CView* old = m_pViewActive;
    if (view == old)
        return;
    m_pViewActive = view;
    if (notify && old && old->m_hWnd)
        old->OnActivateView(false, view, old);
    if (notify && view && view->m_hWnd)
        view->OnActivateView(true, view, old);
}

CDocument* CFrameWnd::GetActiveDocument() {
    return m_pViewActive ? m_pViewActive->GetDocument() : nullptr;
}

CFrameWnd* CFrameWnd::GetActiveFrame() {
    return this;
}

void CFrameWnd::ActivateFrame(int cmdShow) {
    if (cmdShow == -1)
        cmdShow = IsIconic(m_hWnd) ? SW_RESTORE : (IsWindowVisible() ? SW_SHOWNORMAL : SW_SHOW);
    ShowWindow(cmdShow);
    if (!(GetStyle() & WS_CHILD))
        SetForegroundWindow(m_hWnd);
}

void CFrameWnd::InitialUpdateFrame(CDocument* doc, bool makeVisible) {
    if (!m_pViewActive) {
        // The first pane (or the first view inside a splitter pane).
        HWND pane = GetDescendantWindow(AFX_IDW_PANE_FIRST);
        CView* view = DynamicDowncast<CView>(FromHandle(pane));
        if (!view && pane)
            view = DynamicDowncast<CView>(FromHandle(::GetDlgItem(pane, AFX_IDW_PANE_FIRST)));
        if (view)
            SetActiveView(view, false);
    }
    SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, true);
    if (makeVisible) {
        ActivateFrame();
        if (m_pViewActive)
            m_pViewActive->OnActivateView(true, m_pViewActive, m_pViewActive);
    }
    (void)doc;
    OnUpdateFrameTitle(true);
    if (CFrameWnd* top = GetTopLevelFrame(); top && top != this)
        top->OnUpdateFrameTitle(true);
}

void CFrameWnd::OnUpdateFrameTitle(bool addToTitle) {
    if (!(GetStyle() & FWS_ADDTOTITLE))
        return;
    CDocument* doc = GetActiveDocument();
    UpdateFrameTitleForDocument(addToTitle && doc ? doc->GetTitle().c_str() : nullptr);
}

void CFrameWnd::UpdateFrameTitleForDocument(const char* docName) {
    std::string title;
    if (!docName || !*docName)
        title = m_strTitle;
    else if (GetStyle() & FWS_PREFIXTITLE)
        title = std::string(docName) + " - " + m_strTitle;
    else
        title = m_strTitle + " - " + docName;
    SetWindowText(title.c_str());
}

void CFrameWnd::GetMessageString(UINT id, std::string& message) const {
    std::string text = AfxLoadString(id);
    message = text.substr(0, text.find('\n'));
}

void CFrameWnd::SetMessageText(const char* text) {
    HWND bar = GetDescendantWindow(AFX_IDW_STATUS_BAR);
    if (bar)
        ::SendMessageA(bar, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void CFrameWnd::SetMessageText(UINT id) {
    std::string text;
    GetMessageString(id, text);
    SetMessageText(text.c_str());
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam) {
    if (lParam)
        SetMessageText(reinterpret_cast<const char*>(lParam));
    else
        SetMessageText(static_cast<UINT>(wParam));
    m_nIDTracking = static_cast<UINT>(wParam);
    return 0;
}

void CFrameWnd::OnInitMenuPopup(HMENU popup, UINT index, bool sysMenu) {
    if (sysMenu) {
        CWnd::OnInitMenuPopup(popup, index, sysMenu);
        return;
    }
    AfxUpdateMenuPopup(popup, this, m_bAutoMenuEnable);
}

void CFrameWnd::OnMenuSelect(UINT item, UINT flags, HMENU menu) {
    if (flags == 0xFFFF && !menu) {
        m_nIDTracking = AFX_IDS_IDLEMESSAGE; // the menu closed
    } else if (item == 0 || (flags & (MF_SEPARATOR | MF_POPUP))) {
        m_nIDTracking = 0;
    } else if (item >= 0xF000 && item < 0xF1F0) {
        m_nIDTracking = AFX_IDS_IDLEMESSAGE; // system commands have no prompts of ours
    } else {
        m_nIDTracking = item;
    }
    if (m_nIDTracking == 0) {
        SetMessageText("");
    } else {
        SetMessageText(m_nIDTracking);
    }
}

LRESULT CFrameWnd::OnExitMenuLoop(WPARAM, LPARAM) {
    m_nIDTracking = AFX_IDS_IDLEMESSAGE;
    SetMessageText(AFX_IDS_IDLEMESSAGE);
    return 0;
}

void CFrameWnd::OnSysColorChange() {
    SendMessageToDescendants(WM_SYSCOLORCHANGE, 0, 0, true);
    // Floating bars too, after the frame: their mini frames are not its children.
    for (CMiniDockFrameWnd* mini : m_floatingFrames)
        if (mini->m_hWnd)
            mini->SendMessageToDescendants(WM_SYSCOLORCHANGE, 0, 0, true);
    Invalidate(true);
}

void CFrameWnd::OnDropFiles(HDROP drop) {
    SetActiveWindow(m_hWnd);
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    CWinApp* app = AfxGetApp();
    for (UINT i = 0; i < count && app; ++i) {
        char path[MAX_PATH];
        if (DragQueryFileA(drop, i, path, sizeof path))
            app->OpenDocumentFile(path);
    }
    DragFinish(drop);
}

bool CFrameWnd::OnHelpInfo(HELPINFO*) {
    SendMessage(WM_COMMAND, ID_HELP);
    return true;
}

bool CFrameWnd::OnToolTipText(UINT, NMHDR* hdr, LRESULT* result) {
    UINT_PTR id = hdr->idFrom;
    bool isWide = hdr->code == TTN_NEEDTEXTW;
    UINT flags = isWide ? reinterpret_cast<NMTTDISPINFOW*>(hdr)->uFlags
                        : reinterpret_cast<NMTTDISPINFOA*>(hdr)->uFlags;
    if (flags & TTF_IDISHWND)
        id = static_cast<UINT_PTR>(::GetDlgCtrlID(reinterpret_cast<HWND>(id)));
    std::string text;
    if (id != 0) {
        std::string full = AfxLoadString(static_cast<UINT>(id));
        size_t nl = full.find('\n');
        if (nl != std::string::npos)
            text = full.substr(nl + 1);
    }
    AfxSetToolTipText(hdr, text.c_str());
    *result = 0;
    ::SetWindowPos(hdr->hwndFrom, HWND_TOP, 0, 0, 0, 0,
                   SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOMOVE | SWP_NOOWNERZORDER);
    return true;
}

// --- The shell's DDE conversation (server side) -------------------------------------------

LRESULT CFrameWnd::OnDdeInitiate(WPARAM wParam, LPARAM lParam) {
    CWinApp* app = AfxGetApp();
    if (!app || app->m_pMainWnd != this || !app->m_atomApp)
        return 0;
    ATOM appAtom = LOWORD(lParam), topicAtom = HIWORD(lParam);
    if ((appAtom == 0 || appAtom == app->m_atomApp) &&
        (topicAtom == 0 || topicAtom == app->m_atomSystemTopic)) {
        // The answer carries atoms of its own, which the client deletes.
        char name[256];
        GlobalGetAtomNameA(app->m_atomApp, name, sizeof name);
        ATOM a = GlobalAddAtomA(name);
        ATOM t = GlobalAddAtomA("system");
        ::SendMessageA(reinterpret_cast<HWND>(wParam), WM_DDE_ACK, reinterpret_cast<WPARAM>(m_hWnd),
                       MAKELPARAM(a, t));
    }
    return 0;
}

LRESULT CFrameWnd::OnDdeExecute(WPARAM wParam, LPARAM lParam) {
    HWND client = reinterpret_cast<HWND>(wParam);
    UINT_PTR unused = 0, commands = 0;
    UnpackDDElParam(WM_DDE_EXECUTE, lParam, &unused, &commands);
    HGLOBAL memory = reinterpret_cast<HGLOBAL>(commands);
    std::string command;
    if (const char* text = static_cast<const char*>(GlobalLock(memory))) {
        command = text;
        GlobalUnlock(memory);
    }
    // Acknowledge before acting: the command may open windows or take long, and the client
    // is waiting to free its memory.
    CWinApp* app = AfxGetApp();
    WORD status = 0x8000; // fAck
    LPARAM ack = ReuseDDElParam(lParam, WM_DDE_EXECUTE, WM_DDE_ACK, status, commands);
    if (!::PostMessageA(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(m_hWnd), ack))
        FreeDDElParam(WM_DDE_ACK, ack);
    if (app && !command.empty())
        app->OnDDECommand(command.c_str());
    return 0;
}

LRESULT CFrameWnd::OnDdeTerminate(WPARAM wParam, LPARAM) {
    ::PostMessageA(reinterpret_cast<HWND>(wParam), WM_DDE_TERMINATE,
                   reinterpret_cast<WPARAM>(m_hWnd), 0);
    return 0;
}

LRESULT CFrameWnd::OnDdeAck(WPARAM wParam, LPARAM lParam) {
    if (CWinApp* app = AfxGetApp())
        app->OnDdeAck(reinterpret_cast<HWND>(wParam), lParam);
    return 0;
}

// --- Routing, keys, idle --------------------------------------------------------------------

bool CFrameWnd::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) {
    // A print preview in the frame comes first: its toolbar's commands and their command UI.
    if (RoutePreviewCommand(id, code, extra, handlerInfo))
        return true;
    if (m_pViewActive && m_pViewActive->OnCmdMsg(id, code, extra, handlerInfo))
        return true;
    if (CWnd::OnCmdMsg(id, code, extra, handlerInfo))
        return true;
    // A frame inside another frame (an MDI child) leaves the rest of the route to it.
    if (GetStyle() & WS_CHILD)
        return false;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(id, code, extra, handlerInfo);
}

HACCEL CFrameWnd::GetDefaultAccelerator() {
    return m_hAccelTable;
}

namespace {

bool IsKeyDown(int vk) {
    return ::GetKeyState(vk) < 0;
}

// Keys that every window holding text gives a meaning of its own: deleting, the clipboard,
// undo and redo, select all. (Alt makes them something else: menu keys.)
bool IsTextEditingKey(const MSG* msg) {
    if (msg->message == WM_CHAR)
        return true;
    if (msg->message != WM_KEYDOWN && msg->message != WM_KEYUP)
        return false;
    if (IsKeyDown(VK_MENU))
        return false;
    switch (msg->wParam) {
    case VK_DELETE:
    case VK_BACK:
    case VK_INSERT:
        return true;
    case 'A':
    case 'C':
    case 'V':
    case 'X':
    case 'Y':
    case 'Z':
        return IsKeyDown(VK_CONTROL);
    default:
        return false;
    }
}

bool IsMovingKey(const MSG* msg) {
    return (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP) && !IsKeyDown(VK_MENU) &&
           msg->wParam >= VK_PRIOR && msg->wParam <= VK_DOWN;
}

} // namespace

bool CFrameWnd::IsBarWindowKey(const MSG* msg) const {
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST || !msg->hwnd ||
        msg->hwnd == m_hWnd)
        return false;
    // Up the parents (a floating bar's mini frame has this frame as its owner) to a bar.
    bool inBar = false;
    for (HWND wnd = msg->hwnd; wnd && wnd != m_hWnd && !inBar; wnd = ::GetParent(wnd))
        inBar = DynamicDowncast<CControlBar>(CWnd::FromHandlePermanent(wnd)) != nullptr;
    if (!inBar)
        return false;
    if (IsTextEditingKey(msg))
        return true;
    const LRESULT code = ::SendMessageA(msg->hwnd, WM_GETDLGCODE, msg->wParam,
                                        reinterpret_cast<LPARAM>(const_cast<MSG*>(msg)));
    return (code & DLGC_WANTMESSAGE) != 0 || ((code & DLGC_WANTARROWS) && IsMovingKey(msg));
}

bool CFrameWnd::PreTranslateMessage(MSG* msg) {
    if (IsBarWindowKey(msg))
        return false;
    if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) {
        HACCEL accel = GetDefaultAccelerator();
        if (accel && ::TranslateAcceleratorA(m_hWnd, accel, msg))
            return true;
    }
    return false;
}

void CFrameWnd::OnIdleUpdateCmdUI() {
    SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, true);
    // Floating bars live in mini frames outside the frame's own windows.
    std::vector<CMiniDockFrameWnd*> floating = m_floatingFrames;
    for (CMiniDockFrameWnd* mini : floating)
        if (mini->m_hWnd && mini->IsWindowVisible())
            mini->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, true);
}

void CFrameWnd::OnUpdateCmdUIIdle(bool) {
    if (m_nIdleFlags & idleLayout) {
        for (CControlBar* bar : m_listControlBars)
            bar->ApplyDelayedShow();
        RecalcLayout(true);
    }
    if (m_nIdleFlags & idleTitle)
        OnUpdateFrameTitle(true);
    m_nIdleFlags = 0;
}

// --- Bars and layout --------------------------------------------------------------------------

void CFrameWnd::AddControlBar(CControlBar* bar) {
    if (std::find(m_listControlBars.begin(), m_listControlBars.end(), bar) ==
        m_listControlBars.end())
        m_listControlBars.push_back(bar);
    bar->m_pDockSite = this;
}

void CFrameWnd::RemoveControlBar(CControlBar* bar) {
    auto it = std::find(m_listControlBars.begin(), m_listControlBars.end(), bar);
    if (it != m_listControlBars.end())
        m_listControlBars.erase(it);
}

CControlBar* CFrameWnd::GetControlBar(UINT id) const {
    for (CControlBar* bar : m_listControlBars) {
        if (bar->m_hWnd && static_cast<UINT>(bar->GetDlgCtrlID()) == id)
            return bar;
    }
    return nullptr;
}

void CFrameWnd::ShowControlBar(CControlBar* bar, bool show, bool delay) {
    if (!bar || !bar->m_hWnd)
        return;
    CMiniDockFrameWnd* mini = nullptr;
    if (bar->IsFloating())
        mini = DynamicDowncast<CMiniDockFrameWnd>(bar->m_pDockBar->GetParent());
    if (delay && !mini) {
        bar->DelayShow(show);
        DelayRecalcLayout();
        return;
    }
    bar->ShowWindow(show ? SW_SHOWNOACTIVATE : SW_HIDE);
    bar->m_nStateFlags &= ~(CControlBar::delayShow | CControlBar::delayHide);
    if (mini) {
        if (show) {
            mini->RecalcLayout();
            mini->ShowWindow(SW_SHOWNOACTIVATE);
        } else {
            mini->ShowWindow(SW_HIDE);
        }
        return;
    }
    RecalcLayout();
}

CDockBar* CFrameWnd::GetDockBar(UINT id) const {
    for (CControlBar* bar : m_listControlBars) {
        if (bar->m_hWnd && static_cast<UINT>(bar->GetDlgCtrlID()) == id)
            if (CDockBar* dock = DynamicDowncast<CDockBar>(bar))
                if (!dock->m_bFloating)
                    return dock;
    }
    return nullptr;
}

void CFrameWnd::EnableDocking(DWORD dockStyle) {
    m_dwDockStyle = dockStyle & CBRS_ALIGN_ANY;
    static const struct {
        DWORD align;
        UINT id;
    } sides[] = {{CBRS_ALIGN_TOP, AFX_IDW_DOCKBAR_TOP},
                 {CBRS_ALIGN_BOTTOM, AFX_IDW_DOCKBAR_BOTTOM},
                 {CBRS_ALIGN_LEFT, AFX_IDW_DOCKBAR_LEFT},
                 {CBRS_ALIGN_RIGHT, AFX_IDW_DOCKBAR_RIGHT}};
    for (const auto& side : sides) {
        if (!(m_dwDockStyle & side.align) || GetDockBar(side.id))
            continue;
        CDockBar* dock = new CDockBar(false);
        if (!dock->Create(this, side.align, side.id)) {
            delete dock;
            continue;
        }
        // Laid out after every bar made before (the status bar stays outermost), in this
        // order: the top and bottom dock bars span the frame, the side ones the rest.
        ::SetWindowPos(dock->m_hWnd, HWND_BOTTOM, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void CFrameWnd::DockControlBar(CControlBar* bar, UINT dockBarId, const RECT* rect) {
    if (!bar)
        return;
    DWORD side = 0;
    switch (dockBarId) {
    case AFX_IDW_DOCKBAR_TOP:
        side = CBRS_ALIGN_TOP;
        break;
    case AFX_IDW_DOCKBAR_LEFT:
        side = CBRS_ALIGN_LEFT;
        break;
    case AFX_IDW_DOCKBAR_RIGHT:
        side = CBRS_ALIGN_RIGHT;
        break;
    case AFX_IDW_DOCKBAR_BOTTOM:
        side = CBRS_ALIGN_BOTTOM;
        break;
    default: {
        // The bar's own side when it may dock there, else the first side both the bar and
        // the frame allow, in the order top, bottom, left, right.
        DWORD allowed = bar->m_dwDockStyle & (m_dwDockStyle ? m_dwDockStyle : CBRS_ALIGN_ANY);
        DWORD current = bar->GetBarStyle() & CBRS_ALIGN_ANY;
        const DWORD order[] = {CBRS_ALIGN_TOP, CBRS_ALIGN_BOTTOM, CBRS_ALIGN_LEFT,
                               CBRS_ALIGN_RIGHT};
        for (DWORD s : order) {
            if ((current & s) && (allowed & s || !allowed)) {
                side = s;
                break;
            }
        }
        for (DWORD s : order) {
            if (!side && (allowed & s))
                side = s;
        }
        if (!side)
            side = CBRS_ALIGN_TOP;
    }
    }
    dockBarId = side == CBRS_ALIGN_TOP     ? AFX_IDW_DOCKBAR_TOP
                : side == CBRS_ALIGN_LEFT  ? AFX_IDW_DOCKBAR_LEFT
                : side == CBRS_ALIGN_RIGHT ? AFX_IDW_DOCKBAR_RIGHT
                                           : AFX_IDW_DOCKBAR_BOTTOM;
    AddControlBar(bar);
    CDockBar* dock = GetDockBar(dockBarId);
    if (!dock) {
        // No dock bars: the bar is only aligned, and laid out in a fixed row of its own.
        bar->SetBarStyle((bar->GetBarStyle() & ~CBRS_ALIGN_ANY) | side);
        bar->m_nDockBarId = dockBarId;
        DelayRecalcLayout();
        return;
    }
    // Leaving a mini frame: the frame goes when it is empty.
    CMiniDockFrameWnd* oldMini = nullptr;
    if (bar->IsFloating())
        oldMini = DynamicDowncast<CMiniDockFrameWnd>(bar->m_pDockBar->GetParent());
    dock->DockControlBar(bar, rect);
    bar->m_nDockBarId = dockBarId;
    if (bar->m_pDockContext) {
        bar->m_pDockContext->m_pDockSite = this;
        bar->m_pDockContext->m_uMRUDockID = dockBarId;
        if (rect)
            bar->m_pDockContext->m_rectMRUDockPos = *rect;
    }
    if (oldMini && !oldMini->GetBar())
        oldMini->DestroyWindow();
    RecalcLayout();
    DelayRecalcLayout();
}

void CFrameWnd::FloatControlBar(CControlBar* bar, POINT pt) {
    if (!bar || !bar->m_hWnd)
        return;
    AddControlBar(bar);
    if (bar->m_pDockContext) {
        bar->m_pDockContext->m_pDockSite = this;
        bar->m_pDockContext->m_ptMRUFloatPos = pt;
        // Where it was docked, for the way back.
        if (bar->IsDocked()) {
            bar->m_pDockContext->m_uMRUDockID = static_cast<UINT>(bar->m_pDockBar->GetDlgCtrlID());
            bar->GetWindowRect(&bar->m_pDockContext->m_rectMRUDockPos);
        }
    }
    CMiniDockFrameWnd* mini = nullptr;
    if (bar->IsFloating()) {
        mini = DynamicDowncast<CMiniDockFrameWnd>(bar->m_pDockBar->GetParent());
    } else {
        const bool wasDocked = bar->m_pDockBar != nullptr;
        mini = new CMiniDockFrameWnd;
        std::string title = bar->GetWindowText();
        if (!mini->Create(this, title.c_str())) {
            delete mini;
            return;
        }
        m_floatingFrames.push_back(mini);
        mini->GetDockBar()->DockControlBar(bar, nullptr);
        if (wasDocked)
            RecalcLayout();
    }
    if (!mini)
        return;
    mini->RecalcLayout();
    // Kept on a monitor: the caption must stay within reach.
    RECT rc;
    mini->GetWindowRect(&rc);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    POINT at = pt;
    HMONITOR monitor = ::MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (monitor && ::GetMonitorInfoA(monitor, &info)) {
        const RECT& work = info.rcWork;
        const UINT dpi = FxDpiOf(m_hWnd);
        at.x = std::max<LONG>(
            work.left, std::min<LONG>(at.x, work.right - std::min<LONG>(w, FxScale(64, dpi))));
        at.y = std::max<LONG>(work.top, std::min<LONG>(at.y, work.bottom - FxScale(24, dpi)));
    }
    ::SetWindowPos(mini->m_hWnd, nullptr, at.x, at.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    (void)h;
    if (bar->GetStyle() & WS_VISIBLE)
        mini->ShowWindow(SW_SHOWNOACTIVATE);
    bar->SendMessage(WM_NCPAINT, 1);
    ::SetWindowPos(bar->m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    mini->RecalcLayout();
    // Drawn whole now: a frame shown where the drag outline was may miss its first paint.
    ::RedrawWindow(mini->m_hWnd, nullptr, nullptr,
                   RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    DelayRecalcLayout();
}

void CFrameWnd::RemoveFloatingFrame(CMiniDockFrameWnd* frame) {
    auto it = std::find(m_floatingFrames.begin(), m_floatingFrames.end(), frame);
    if (it != m_floatingFrames.end())
        m_floatingFrames.erase(it);
}

void CFrameWnd::ApplyDpiChange(UINT dpi, const RECT* suggested) {
    if (!m_hWnd || !dpi)
        return;
    const UINT old = FxDpiOf(m_hWnd);
    FxSetWindowDpi(m_hWnd, dpi);
    if (suggested)
        ::SetWindowPos(m_hWnd, nullptr, suggested->left, suggested->top,
                       suggested->right - suggested->left, suggested->bottom - suggested->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    if (old != dpi)
        SendMessageToDescendants(WM_FXDPICHANGED, dpi, old);
    RecalcLayout();
    ::RedrawWindow(m_hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

LRESULT CFrameWnd::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    ApplyDpiChange(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
    return 0;
}

void CFrameWnd::DelayRecalcLayout(bool) {
    m_nIdleFlags |= idleLayout;
}

void CFrameWnd::RecalcLayout(bool) {
    if (m_bInRecalcLayout || !m_hWnd)
        return;
    m_bInRecalcLayout = true;
    RepositionBars(reposDefault);
    m_bInRecalcLayout = false;
}

void CFrameWnd::RepositionBars(UINT flags, RECT* rectOut) {
    RECT rc;
    GetClientRect(&rc);
    const bool query = (flags & reposQuery) != 0;
    for (HWND child = ::GetTopWindow(m_hWnd); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        CControlBar* bar = DynamicDowncast<CControlBar>(FromHandle(child));
        if (!bar || std::find(m_listControlBars.begin(), m_listControlBars.end(), bar) ==
                        m_listControlBars.end())
            continue;
        // Print preview leaves only the status bar beside the preview window.
        if (m_previewWnd && ::GetDlgCtrlID(child) != AFX_IDW_STATUS_BAR)
            continue;
        CDockBar* dock = DynamicDowncast<CDockBar>(bar);
        if (!dock && !bar->IsVisible())
            continue;
        DWORD align = bar->GetBarStyle() & CBRS_ALIGN_ANY;
        bool horz = (align & (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)) != 0 || align == 0;
        SIZE size;
        if (dock) {
            // The dock bar lays its rows out in the room that is left.
            dock->m_rectLayout = rc;
            size = dock->LayoutBars(query);
        } else {
            size = bar->CalcDynamicLayout(-1, horz ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK);
        }
        RECT place = rc;
        if (align & CBRS_ALIGN_TOP || align == 0) {
            place.bottom = std::min(rc.bottom, rc.top + size.cy);
            rc.top = place.bottom;
        } else if (align & CBRS_ALIGN_BOTTOM) {
            place.top = std::max(rc.top, rc.bottom - size.cy);
            rc.bottom = place.top;
        } else if (align & CBRS_ALIGN_LEFT) {
            place.right = std::min(rc.right, rc.left + size.cx);
            rc.left = place.right;
        } else {
            place.left = std::max(rc.left, rc.right - size.cx);
            rc.right = place.left;
        }
        if (!query) {
            RECT cur;
            bar->GetWindowRect(&cur);
            ScreenToClient(&cur);
            if (!::EqualRect(&cur, &place))
                ::SetWindowPos(child, nullptr, place.left, place.top, place.right - place.left,
                               place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if (rectOut)
        *rectOut = rc;
    if (flags & reposQuery)
        return;
    if (HWND pane = ::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST)) {
        // A pane whose origin moves is drawn afresh: its old bits would stay where they were.
        RECT cur;
        ::GetWindowRect(pane, &cur);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&cur), 2);
        UINT swp = SWP_NOZORDER | SWP_NOACTIVATE;
        if (cur.left != rc.left || cur.top != rc.top)
            swp |= SWP_NOCOPYBITS;
        ::SetWindowPos(pane, nullptr, rc.left, rc.top, std::max(0L, rc.right - rc.left),
                       std::max(0L, rc.bottom - rc.top), swp);
    }
}
