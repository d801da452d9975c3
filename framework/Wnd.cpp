// CWnd: window map, creation hook, subclassing, dispatch and the window procedure that keeps
// exceptions inside. Layer: framework/.
#include "framework/Wnd.h"

#include "framework/Button.h"

#include "framework/CmdUI.h"
#include "framework/Exception.h"
#include "framework/FrameWnd.h"
#include "framework/FwIds.h"
#include "framework/ResourceException.h"

#include <cstdio>
#include <map>
#include <string>

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

namespace {

std::map<HWND, CWnd*>& WindowMap() {
    static std::map<HWND, CWnd*> map;
    return map;
}

// Creation hook state (the UI runs on one thread).
CWnd* g_wndInit = nullptr;
HHOOK g_cbtHook = nullptr;

HWND FindDescendant(HWND parent, int id) {
    for (HWND child = ::GetTopWindow(parent); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (::GetDlgCtrlID(child) == id)
            return child;
        if (HWND found = FindDescendant(child, id))
            return found;
    }
    return nullptr;
}

} // namespace

LRESULT CALLBACK FwCbtFilterHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && g_wndInit) {
        CWnd* init = g_wndInit;
        g_wndInit = nullptr;
        init->AttachCreated(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(g_cbtHook, code, wParam, lParam);
}

void CWnd::AttachCreated(HWND wnd) {
    Attach(wnd);
    PreSubclassWindow();
    WNDPROC old = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC));
    if (old != &CWnd::StdWndProc) {
        // Remember the class's own procedure for default processing.
        SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StdWndProc));
        m_pfnSuper = old;
    }
}

CWnd::CWnd() = default;

CWnd::~CWnd() {
    for (ActiveCall* call = m_activeCalls; call; call = call->outer)
        call->destroyed = true;
    if (m_hWnd) {
        // A window still alive when its object goes: destroy it without calling back into the
        // half-destroyed object.
        HWND wnd = m_hWnd;
        Detach();
        if (m_pfnSuper)
            SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        ::DestroyWindow(wnd);
    }
}

CWnd* CWnd::FromHandle(HWND wnd) {
    if (!wnd)
        return nullptr;
    auto& map = WindowMap();
    auto it = map.find(wnd);
    return it == map.end() ? nullptr : it->second;
}

bool CWnd::Attach(HWND wnd) {
    if (!wnd || m_hWnd)
        return false;
    m_hWnd = wnd;
    WindowMap()[wnd] = this;
    return true;
}

HWND CWnd::Detach() {
    HWND wnd = m_hWnd;
    if (wnd) {
        auto& map = WindowMap();
        auto it = map.find(wnd);
        if (it != map.end() && it->second == this)
            map.erase(it);
    }
    m_hWnd = nullptr;
    return wnd;
}

void CWnd::HookWindowCreate(CWnd* wnd) {
    if (!g_cbtHook)
        g_cbtHook = SetWindowsHookExA(WH_CBT, FwCbtFilterHook, nullptr, GetCurrentThreadId());
    g_wndInit = wnd;
}

bool CWnd::UnhookWindowCreate() {
    bool consumed = g_wndInit == nullptr;
    g_wndInit = nullptr;
    return consumed;
}

const char* CWnd::RegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
    static std::map<std::string, bool> registered;
    char name[96];
    std::snprintf(name, sizeof name, "Fw:%x:%p:%p:%p", classStyle, static_cast<void*>(cursor),
                  static_cast<void*>(background), static_cast<void*>(icon));
    auto it = registered.find(name);
    if (it == registered.end()) {
        WNDCLASSA wc = {};
        wc.style = classStyle;
        wc.lpfnWndProc = &CWnd::StdWndProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = cursor;
        wc.hbrBackground = background;
        wc.hIcon = icon;
        wc.lpszClassName = name;
        if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            AfxThrowResourceException();
        it = registered.emplace(name, true).first;
    }
    return it->first.c_str();
}

bool CWnd::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!cs.lpszClass)
        cs.lpszClass = RegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW),
                                        reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    return true;
}

bool CWnd::Create(const char* className, const char* windowName, DWORD style, const RECT& rect,
                  CWnd* parent, UINT id, CCreateContext* context) {
    return CreateEx(0, className, windowName, style | WS_CHILD, rect, parent, id, context);
}

bool CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    const RECT& rect, CWnd* parent, UINT id, void* param) {
    return CreateEx(exStyle, className, windowName, style, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top,
                    parent ? parent->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), param);
}

bool CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    int x, int y, int cx, int cy, HWND parent, HMENU idOrMenu, void* param) {
    CREATESTRUCTA cs = {};
    cs.dwExStyle = exStyle;
    cs.lpszClass = className;
    cs.lpszName = windowName;
    cs.style = static_cast<LONG>(style);
    cs.x = x;
    cs.y = y;
    cs.cx = cx;
    cs.cy = cy;
    cs.hwndParent = parent;
    cs.hMenu = idOrMenu;
    cs.hInstance = GetModuleHandleA(nullptr);
    cs.lpCreateParams = param;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return false;
    }
    HookWindowCreate(this);
    HWND wnd = CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName,
                               static_cast<DWORD>(cs.style), cs.x, cs.y, cs.cx, cs.cy,
                               cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    UnhookWindowCreate();
    return wnd != nullptr;
}

bool CWnd::DestroyWindow() {
    if (!m_hWnd)
        return false;
    return ::DestroyWindow(m_hWnd) != 0;
}

void CWnd::PostNcDestroy() {}

void CWnd::PreSubclassWindow() {}

bool CWnd::SubclassWindow(HWND wnd) {
    if (!Attach(wnd))
        return false;
    PreSubclassWindow();
    WNDPROC old = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StdWndProc)));
    if (old != &CWnd::StdWndProc)
        m_pfnSuper = old;
    return true;
}

bool CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    HWND control = ::GetDlgItem(parent->m_hWnd, static_cast<int>(id));
    return control && SubclassWindow(control);
}

HWND CWnd::UnsubclassWindow() {
    if (m_pfnSuper)
        SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

LRESULT CALLBACK CWnd::StdWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = FromHandle(hwnd);
    if (!wnd)
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    LRESULT result = 0;
    try {
        result = wnd->WindowProc(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the system's code: report here, once, and answer as a
        // failed message.
        AfxReportCurrentException();
        result = message == WM_CREATE ? -1 : 0;
    }
    if (message == WM_NCDESTROY)
        wnd->OnFinalNcDestroy();
    return result;
}

void CWnd::OnFinalNcDestroy() {
    if (m_pfnSuper && m_hWnd)
        SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    Detach();
    PostNcDestroy();
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    ActiveCall call = {m_activeCalls, false};
    m_activeCalls = &call;
    const CurrentMsg saved = m_current;
    m_current = {message, wParam, lParam};
    // On the way out, unless the handler deleted the object.
    struct Restore {
        CWnd* w;
        ActiveCall* call;
        CurrentMsg s;
        ~Restore() {
            if (call->destroyed)
                return;
            w->m_current = s;
            w->m_activeCalls = call->outer;
        }
    } restore{this, &call, saved};
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return false;
        *result = 0;
        return true;
    }
    if (message == WM_NOTIFY) {
        LRESULT notifyResult = 0;
        if (!OnNotify(wParam, lParam, &notifyResult))
            return false;
        *result = notifyResult;
        return true;
    }
    if (message == WM_IDLEUPDATECMDUI) {
        OnUpdateCmdUIIdle(wParam != 0);
        // continue into the map: a class may handle the message itself as well
    }
    const AFX_MSGMAP_ENTRY* e = FindMessageEntry(AfxEntryMessage, message, 0);
    if (!e && message == WM_DRAWITEM && wParam != 0) {
        // Reflected to an owner-drawn button the framework knows: it draws itself.
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (CButton* button = DynamicDowncast<CButton>(FromHandle(item->hwndItem))) {
            button->DrawItem(item);
            *result = TRUE;
            return true;
        }
    }
    if (!e)
        return message == WM_IDLEUPDATECMDUI;
    AFX_MSGCALL call = {};
    call.hwnd = m_hWnd;
    call.message = message;
    call.wParam = wParam;
    call.lParam = lParam;
    *result = e->call(this, call);
    return true;
}

void CWnd::OnUpdateCmdUIIdle(bool) {}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam);
}

bool CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    UINT id = LOWORD(wParam);
    int code = HIWORD(wParam);
    HWND control = reinterpret_cast<HWND>(lParam);
    if (!control) {
        // A menu or accelerator command: refuse it when its item has become disabled.
        CTestCmdUI state;
        state.m_nID = id;
        OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &state, nullptr);
        if (!state.m_bEnabled)
            return true;
        code = CN_COMMAND;
    }
    return OnCmdMsg(id, code, nullptr, nullptr);
}

bool CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* result) {
    NMHDR* hdr = reinterpret_cast<NMHDR*>(lParam);
    UINT id = static_cast<UINT>(hdr->idFrom);
    AFX_MSGCALL call = {};
    call.hwnd = m_hWnd;
    call.message = WM_NOTIFY;
    call.lParam = lParam;
    call.id = id;
    call.nmhdr = hdr;
    call.result = result;
    if (const AFX_MSGMAP_ENTRY* ex = FindMessageEntry(AfxEntryNotifyEx, hdr->code, id)) {
        if (ex->call(this, call))
            return true;
    }
    if (const AFX_MSGMAP_ENTRY* e = FindMessageEntry(AfxEntryNotify, hdr->code, id)) {
        e->call(this, call);
        return true;
    }
    return false;
}

bool CWnd::PreTranslateMessage(MSG*) {
    return false;
}

bool CWnd::WalkPreTranslateTree(HWND stop, MSG* msg) {
    for (HWND wnd = msg->hwnd; wnd; wnd = ::GetParent(wnd)) {
        if (CWnd* obj = FromHandle(wnd)) {
            if (obj->PreTranslateMessage(msg))
                return true;
        }
        if (wnd == stop)
            break;
    }
    return false;
}

void CWnd::SendMessageToDescendants(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam,
                                    bool deep) {
    for (HWND child = ::GetTopWindow(wnd); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        ::SendMessageA(child, message, wParam, lParam);
        if (deep && ::GetTopWindow(child))
            SendMessageToDescendants(child, message, wParam, lParam, true);
    }
}

CWnd* CWnd::GetParent() const {
    return FromHandle(::GetParent(m_hWnd));
}

CFrameWnd* CWnd::GetParentFrame() const {
    for (HWND wnd = ::GetParent(m_hWnd); wnd; wnd = ::GetParent(wnd)) {
        if (CFrameWnd* frame = DynamicDowncast<CFrameWnd>(FromHandle(wnd)))
            return frame;
    }
    return nullptr;
}

CFrameWnd* CWnd::GetTopLevelFrame() const {
    CFrameWnd* top = DynamicDowncast<CFrameWnd>(const_cast<CWnd*>(this));
    for (CFrameWnd* frame = GetParentFrame(); frame; frame = frame->GetParentFrame())
        top = frame;
    return top;
}

HWND CWnd::GetDescendantWindow(int id) const {
    return FindDescendant(m_hWnd, id);
}

bool CWnd::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) {
    DWORD style = GetStyle();
    DWORD changed = (style & ~remove) | add;
    if (changed == style)
        return false;
    ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(changed));
    if (swpFlags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    return true;
}

bool CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags) {
    DWORD style = GetExStyle();
    DWORD changed = (style & ~remove) | add;
    if (changed == style)
        return false;
    ::SetWindowLongA(m_hWnd, GWL_EXSTYLE, static_cast<LONG>(changed));
    if (swpFlags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    return true;
}

std::string CWnd::GetWindowText() const {
    int len = ::GetWindowTextLengthA(m_hWnd);
    std::string text(static_cast<size_t>(len) + 1, '\0');
    int got = ::GetWindowTextA(m_hWnd, &text[0], len + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

void CWnd::SetWindowText(const char* text) {
    if (GetWindowText() != text)
        ::SetWindowTextA(m_hWnd, text);
}

void CWnd::ScreenToClient(RECT* rc) const {
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(rc), 2);
}

void CWnd::ClientToScreen(RECT* rc) const {
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(rc), 2);
}

void CWnd::MoveWindow(const RECT& rc, bool repaint) {
    ::MoveWindow(m_hWnd, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, repaint);
}

void CWnd::CenterWindow(HWND alternateOwner) {
    HWND owner = alternateOwner ? alternateOwner : ::GetWindow(m_hWnd, GW_OWNER);
    RECT area;
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner))
        ::GetWindowRect(owner, &area);
    else
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
    int x = (area.left + area.right - cx) / 2, y = (area.top + area.bottom - cy) / 2;
    if (GetStyle() & WS_CHILD) {
        POINT pt = {x, y};
        ::ScreenToClient(::GetParent(m_hWnd), &pt);
        x = pt.x;
        y = pt.y;
    }
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::SendCancelMode() {
    SendMessage(WM_CANCELMODE);
    SendMessageToDescendants(WM_CANCELMODE, 0, 0, true);
    HWND capture = ::GetCapture();
    if (capture && capture != m_hWnd)
        ::SendMessageA(capture, WM_CANCELMODE, 0, 0);
}
