// Flat message maps: a static table per class binding window messages, command ids, command-id
// ranges, command-UI updates and notifications to member functions. Each entry carries a small
// typed call stub instantiated from the member pointer, so a handler of the wrong signature
// does not compile. Layer: framework/.
#pragma once

#include <windows.h>

// Signed coordinates of mouse messages (windowsx.h is not included: its macros clash with
// member names such as SubclassWindow).
inline int AfxLParamX(LPARAM lp) {
    return static_cast<short>(LOWORD(lp));
}
inline int AfxLParamY(LPARAM lp) {
    return static_cast<short>(HIWORD(lp));
}

class CCmdTarget;
class CCmdUI;

// What a call stub gets: the raw message plus what routing has worked out.
struct AFX_MSGCALL {
    HWND hwnd; // the window the message came to (null for routed commands)
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    UINT id;         // command or control id
    CCmdUI* cmdUI;   // update entries
    NMHDR* nmhdr;    // notify entries
    LRESULT* result; // notify entries
};

typedef LRESULT (*AFX_PMSGCALL)(CCmdTarget* target, const AFX_MSGCALL& call);

enum AfxEntryKind : UINT {
    AfxEntryEnd = 0,
    AfxEntryMessage,   // window message
    AfxEntryCommand,   // WM_COMMAND with a notification code (0 for menus and accelerators)
    AfxEntryCommandEx, // as Command; the stub's result says whether routing stops
    AfxEntryUpdate,    // command-UI update
    AfxEntryNotify,    // WM_NOTIFY
    AfxEntryNotifyEx,
};

struct AFX_MSGMAP_ENTRY {
    UINT kind;
    UINT message; // window message, or the notification code for commands and notifications
    UINT id;
    UINT lastId;
    AFX_PMSGCALL call;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// The class a member function pointer belongs to.
template <class M> struct AfxMemberOf;
template <class R, class C, class... A> struct AfxMemberOf<R (C::*)(A...)> { using Class = C; };
template <auto F> using AfxClassOf = typename AfxMemberOf<decltype(F)>::Class;
template <auto F> AfxClassOf<F>* AfxTarget(CCmdTarget* t) {
    return static_cast<AfxClassOf<F>*>(t);
}

// --- Call stubs -------------------------------------------------------------------------------
template <auto F> LRESULT AfxCall_v(CCmdTarget* t, const AFX_MSGCALL&) {
    (AfxTarget<F>(t)->*F)();
    return 0;
}
template <auto F> LRESULT AfxCall_vId(CCmdTarget* t, const AFX_MSGCALL& c) {
    (AfxTarget<F>(t)->*F)(c.id);
    return 0;
}
template <auto F> LRESULT AfxCall_bId(CCmdTarget* t, const AFX_MSGCALL& c) {
    return (AfxTarget<F>(t)->*F)(c.id) ? 1 : 0;
}
template <auto F> LRESULT AfxCall_ui(CCmdTarget* t, const AFX_MSGCALL& c) {
    (AfxTarget<F>(t)->*F)(c.cmdUI);
    return 0;
}
template <auto F> LRESULT AfxCall_lwl(CCmdTarget* t, const AFX_MSGCALL& c) {
    return (AfxTarget<F>(t)->*F)(c.wParam, c.lParam);
}
template <auto F> LRESULT AfxCall_notify(CCmdTarget* t, const AFX_MSGCALL& c) {
    (AfxTarget<F>(t)->*F)(c.nmhdr, c.result);
    return 0;
}
template <auto F> LRESULT AfxCall_notifyId(CCmdTarget* t, const AFX_MSGCALL& c) {
    (AfxTarget<F>(t)->*F)(c.id, c.nmhdr, c.result);
    return 0;
}
template <auto F> LRESULT AfxCall_notifyEx(CCmdTarget* t, const AFX_MSGCALL& c) {
    return (AfxTarget<F>(t)->*F)(c.id, c.nmhdr, c.result) ? 1 : 0;
}
template <auto F> LRESULT AfxCall_create(CCmdTarget* t, const AFX_MSGCALL& c) {
    return (AfxTarget<F>(t)->*F)(reinterpret_cast<LPCREATESTRUCTA>(c.lParam));
}
template <auto F> LRESULT AfxCall_size(CCmdTarget* t, const AFX_MSGCALL& c) {
    (AfxTarget<F>(t)->*F)(static_cast<UINT>(c.wParam), AfxLParamX(c.lParam), AfxLParamY(c.lParam));
    return 0;
}
template <auto F> LRESULT AfxCall_bHdc(CCmdTarget* t, const AFX_MSGCALL& c) {
    return (AfxTarget<F>(t)->*F)(reinterpret_cast<HDC>(c.wParam)) ? 1 : 0;
}
template <auto F> LRESULT AfxCall_timer(CCmdTarget* t, const AFX_MSGCALL& c) {
    (AfxTarget<F>(t)->*F)(static_cast<UINT_PTR>(c.wParam));
    return 0;
}
template <auto F> LRESULT AfxCall_vHwnd(CCmdTarget* t, const AFX_MSGCALL& c) {
    (AfxTarget<F>(t)->*F)(reinterpret_cast<HWND>(c.wParam));
    return 0;
}
template <auto F> LRESULT AfxCall_vHwndL(CCmdTarget* t, const AFX_MSGCALL& c) {
    (AfxTarget<F>(t)->*F)(reinterpret_cast<HWND>(c.lParam));
    return 0;
}
template <auto F> LRESULT AfxCall_initMenuPopup(CCmdTarget* t, const AFX_MSGCALL& c) {
    (AfxTarget<F>(t)->*F)(reinterpret_cast<HMENU>(c.wParam), LOWORD(c.lParam),
                          HIWORD(c.lParam) != 0);
    return 0;
}
template <auto F> LRESULT AfxCall_menuSelect(CCmdTarget* t, const AFX_MSGCALL& c) {
    (AfxTarget<F>(t)->*F)(LOWORD(c.wParam), HIWORD(c.wParam), reinterpret_cast<HMENU>(c.lParam));
    return 0;
}
template <auto F> LRESULT AfxCall_minMax(CCmdTarget* t, const AFX_MSGCALL& c) {
    (AfxTarget<F>(t)->*F)(reinterpret_cast<MINMAXINFO*>(c.lParam));
    return 0;
}
template <auto F> LRESULT AfxCall_mdiActivate(CCmdTarget* t, const AFX_MSGCALL& c) {
    HWND activated = reinterpret_cast<HWND>(c.lParam);
    (AfxTarget<F>(t)->*F)(activated == c.hwnd, activated, reinterpret_cast<HWND>(c.wParam));
    return 0;
}
template <auto F> LRESULT AfxCall_dropFiles(CCmdTarget* t, const AFX_MSGCALL& c) {
    (AfxTarget<F>(t)->*F)(reinterpret_cast<HDROP>(c.wParam));
    return 0;
}
template <auto F> LRESULT AfxCall_mouse(CCmdTarget* t, const AFX_MSGCALL& c) {
    POINT pt = {AfxLParamX(c.lParam), AfxLParamY(c.lParam)};
    (AfxTarget<F>(t)->*F)(static_cast<UINT>(c.wParam), pt);
    return 0;
}
template <auto F> LRESULT AfxCall_wheel(CCmdTarget* t, const AFX_MSGCALL& c) {
    POINT pt = {AfxLParamX(c.lParam), AfxLParamY(c.lParam)};
    return (AfxTarget<F>(t)->*F)(GET_KEYSTATE_WPARAM(c.wParam), GET_WHEEL_DELTA_WPARAM(c.wParam),
                                 pt)
               ? 1
               : 0;
}
template <auto F> LRESULT AfxCall_key(CCmdTarget* t, const AFX_MSGCALL& c) {
    (AfxTarget<F>(t)->*F)(static_cast<UINT>(c.wParam), LOWORD(c.lParam), HIWORD(c.lParam));
    return 0;
}
template <auto F> LRESULT AfxCall_setCursor(CCmdTarget* t, const AFX_MSGCALL& c) {
    return (AfxTarget<F>(t)->*F)(reinterpret_cast<HWND>(c.wParam), LOWORD(c.lParam),
                                 HIWORD(c.lParam))
               ? 1
               : 0;
}
template <auto F> LRESULT AfxCall_scroll(CCmdTarget* t, const AFX_MSGCALL& c) {
    (AfxTarget<F>(t)->*F)(LOWORD(c.wParam), HIWORD(c.wParam), reinterpret_cast<HWND>(c.lParam));
    return 0;
}
template <auto F> LRESULT AfxCall_mouseActivate(CCmdTarget* t, const AFX_MSGCALL& c) {
    return (AfxTarget<F>(t)->*F)(reinterpret_cast<HWND>(c.wParam), LOWORD(c.lParam),
                                 HIWORD(c.lParam));
}
template <auto F> LRESULT AfxCall_hitTest(CCmdTarget* t, const AFX_MSGCALL& c) {
    POINT pt = {AfxLParamX(c.lParam), AfxLParamY(c.lParam)};
    return (AfxTarget<F>(t)->*F)(pt);
}
template <auto F> LRESULT AfxCall_ncCalcSize(CCmdTarget* t, const AFX_MSGCALL& c) {
    (AfxTarget<F>(t)->*F)(c.wParam != 0, reinterpret_cast<NCCALCSIZE_PARAMS*>(c.lParam));
    return 0;
}
template <auto F> LRESULT AfxCall_showWindow(CCmdTarget* t, const AFX_MSGCALL& c) {
    (AfxTarget<F>(t)->*F)(c.wParam != 0, static_cast<UINT>(c.lParam));
    return 0;
}
template <auto F> LRESULT AfxCall_contextMenu(CCmdTarget* t, const AFX_MSGCALL& c) {
    POINT pt = {AfxLParamX(c.lParam), AfxLParamY(c.lParam)};
    (AfxTarget<F>(t)->*F)(reinterpret_cast<HWND>(c.wParam), pt);
    return 0;
}
template <auto F> LRESULT AfxCall_deviceChange(CCmdTarget* t, const AFX_MSGCALL& c) {
    return (AfxTarget<F>(t)->*F)(static_cast<UINT>(c.wParam), static_cast<DWORD_PTR>(c.lParam))
               ? TRUE
               : FALSE;
}
template <auto F> LRESULT AfxCall_changeCbChain(CCmdTarget* t, const AFX_MSGCALL& c) {
    (AfxTarget<F>(t)->*F)(reinterpret_cast<HWND>(c.wParam), reinterpret_cast<HWND>(c.lParam));
    return 0;
}
template <auto F> LRESULT AfxCall_helpInfo(CCmdTarget* t, const AFX_MSGCALL& c) {
    return (AfxTarget<F>(t)->*F)(reinterpret_cast<HELPINFO*>(c.lParam)) ? TRUE : FALSE;
}
template <auto F> LRESULT AfxCall_activate(CCmdTarget* t, const AFX_MSGCALL& c) {
    (AfxTarget<F>(t)->*F)(LOWORD(c.wParam), reinterpret_cast<HWND>(c.lParam),
                          HIWORD(c.wParam) != 0);
    return 0;
}

// --- Declaring and defining maps --------------------------------------------------------------
#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    static const AFX_MSGMAP* GetThisMessageMap();                                                  \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const {                                            \
        return GetThisMessageMap();                                                                \
    }                                                                                              \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                              \
        /* unused in a map without entries */                                                      \
        [[maybe_unused]] typedef theClass ThisClass;                                               \
        typedef baseClass TheBaseClass;                                                            \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                                          \
    { AfxEntryEnd, 0, 0, 0, nullptr }                                                              \
    }                                                                                              \
    ;                                                                                              \
    static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, &entries[0]};                 \
    return &map;                                                                                   \
    }

#define FW_MSG(msg, stub, fn) {AfxEntryMessage, msg, 0, 0, &stub<&ThisClass::fn>},

// Commands, command ranges and command-UI.
#define ON_COMMAND(id, fn) {AfxEntryCommand, 0, id, id, &AfxCall_v<&ThisClass::fn>},
#define ON_COMMAND_RANGE(first, last, fn)                                                          \
    {AfxEntryCommand, 0, first, last, &AfxCall_vId<&ThisClass::fn>},
#define ON_COMMAND_EX(id, fn) {AfxEntryCommandEx, 0, id, id, &AfxCall_bId<&ThisClass::fn>},
#define ON_COMMAND_EX_RANGE(first, last, fn)                                                       \
    {AfxEntryCommandEx, 0, first, last, &AfxCall_bId<&ThisClass::fn>},
#define ON_UPDATE_COMMAND_UI(id, fn) {AfxEntryUpdate, 0, id, id, &AfxCall_ui<&ThisClass::fn>},
#define ON_UPDATE_COMMAND_UI_RANGE(first, last, fn)                                                \
    {AfxEntryUpdate, 0, first, last, &AfxCall_ui<&ThisClass::fn>},
// Control notifications that arrive as WM_COMMAND.
#define ON_CONTROL(code, id, fn) {AfxEntryCommand, code, id, id, &AfxCall_v<&ThisClass::fn>},
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)
#define ON_CBN_SELCHANGE(id, fn) ON_CONTROL(CBN_SELCHANGE, id, fn)
#define ON_LBN_SELCHANGE(id, fn) ON_CONTROL(LBN_SELCHANGE, id, fn)
// WM_NOTIFY.
#define ON_NOTIFY(code, id, fn) {AfxEntryNotify, code, id, id, &AfxCall_notify<&ThisClass::fn>},
#define ON_NOTIFY_RANGE(code, first, last, fn)                                                     \
    {AfxEntryNotify, code, first, last, &AfxCall_notifyId<&ThisClass::fn>},
#define ON_NOTIFY_EX_RANGE(code, first, last, fn)                                                  \
    {AfxEntryNotifyEx, code, first, last, &AfxCall_notifyEx<&ThisClass::fn>},
// Any message, user messages included: LRESULT fn(WPARAM, LPARAM).
#define ON_MESSAGE(msg, fn) FW_MSG(msg, AfxCall_lwl, fn)

// Window messages with cracked parameters.
#define ON_WM_CREATE() FW_MSG(WM_CREATE, AfxCall_create, OnCreate)
#define ON_WM_DESTROY() FW_MSG(WM_DESTROY, AfxCall_v, OnDestroy)
#define ON_WM_NCDESTROY() FW_MSG(WM_NCDESTROY, AfxCall_v, OnNcDestroy)
#define ON_WM_CLOSE() FW_MSG(WM_CLOSE, AfxCall_v, OnClose)
#define ON_WM_SIZE() FW_MSG(WM_SIZE, AfxCall_size, OnSize)
#define ON_WM_PAINT() FW_MSG(WM_PAINT, AfxCall_v, OnPaint)
#define ON_WM_NCPAINT() FW_MSG(WM_NCPAINT, AfxCall_v, OnNcPaint)
#define ON_WM_ERASEBKGND() FW_MSG(WM_ERASEBKGND, AfxCall_bHdc, OnEraseBkgnd)
#define ON_WM_TIMER() FW_MSG(WM_TIMER, AfxCall_timer, OnTimer)
#define ON_WM_SETFOCUS() FW_MSG(WM_SETFOCUS, AfxCall_vHwnd, OnSetFocus)
#define ON_WM_KILLFOCUS() FW_MSG(WM_KILLFOCUS, AfxCall_vHwnd, OnKillFocus)
#define ON_WM_INITMENUPOPUP() FW_MSG(WM_INITMENUPOPUP, AfxCall_initMenuPopup, OnInitMenuPopup)
#define ON_WM_MENUSELECT() FW_MSG(WM_MENUSELECT, AfxCall_menuSelect, OnMenuSelect)
#define ON_WM_GETMINMAXINFO() FW_MSG(WM_GETMINMAXINFO, AfxCall_minMax, OnGetMinMaxInfo)
#define ON_WM_MDIACTIVATE() FW_MSG(WM_MDIACTIVATE, AfxCall_mdiActivate, OnMDIActivate)
#define ON_WM_SYSCOLORCHANGE() FW_MSG(WM_SYSCOLORCHANGE, AfxCall_v, OnSysColorChange)
#define ON_WM_DROPFILES() FW_MSG(WM_DROPFILES, AfxCall_dropFiles, OnDropFiles)
#define ON_WM_LBUTTONDOWN() FW_MSG(WM_LBUTTONDOWN, AfxCall_mouse, OnLButtonDown)
#define ON_WM_LBUTTONUP() FW_MSG(WM_LBUTTONUP, AfxCall_mouse, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() FW_MSG(WM_LBUTTONDBLCLK, AfxCall_mouse, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() FW_MSG(WM_RBUTTONDOWN, AfxCall_mouse, OnRButtonDown)
#define ON_WM_RBUTTONUP() FW_MSG(WM_RBUTTONUP, AfxCall_mouse, OnRButtonUp)
#define ON_WM_MOUSEMOVE() FW_MSG(WM_MOUSEMOVE, AfxCall_mouse, OnMouseMove)
#define ON_WM_MOUSEWHEEL() FW_MSG(WM_MOUSEWHEEL, AfxCall_wheel, OnMouseWheel)
#define ON_WM_KEYDOWN() FW_MSG(WM_KEYDOWN, AfxCall_key, OnKeyDown)
#define ON_WM_KEYUP() FW_MSG(WM_KEYUP, AfxCall_key, OnKeyUp)
#define ON_WM_CHAR() FW_MSG(WM_CHAR, AfxCall_key, OnChar)
#define ON_WM_SYSKEYDOWN() FW_MSG(WM_SYSKEYDOWN, AfxCall_key, OnSysKeyDown)
#define ON_WM_SETCURSOR() FW_MSG(WM_SETCURSOR, AfxCall_setCursor, OnSetCursor)
#define ON_WM_VSCROLL() FW_MSG(WM_VSCROLL, AfxCall_scroll, OnVScroll)
#define ON_WM_HSCROLL() FW_MSG(WM_HSCROLL, AfxCall_scroll, OnHScroll)
#define ON_WM_CANCELMODE() FW_MSG(WM_CANCELMODE, AfxCall_v, OnCancelMode)
#define ON_WM_CAPTURECHANGED() FW_MSG(WM_CAPTURECHANGED, AfxCall_vHwndL, OnCaptureChanged)
#define ON_WM_MOUSEACTIVATE() FW_MSG(WM_MOUSEACTIVATE, AfxCall_mouseActivate, OnMouseActivate)
#define ON_WM_NCHITTEST() FW_MSG(WM_NCHITTEST, AfxCall_hitTest, OnNcHitTest)
#define ON_WM_NCCALCSIZE() FW_MSG(WM_NCCALCSIZE, AfxCall_ncCalcSize, OnNcCalcSize)
#define ON_WM_SHOWWINDOW() FW_MSG(WM_SHOWWINDOW, AfxCall_showWindow, OnShowWindow)
#define ON_WM_CONTEXTMENU() FW_MSG(WM_CONTEXTMENU, AfxCall_contextMenu, OnContextMenu)
#define ON_WM_DEVICECHANGE() FW_MSG(WM_DEVICECHANGE, AfxCall_deviceChange, OnDeviceChange)
#define ON_WM_DRAWCLIPBOARD() FW_MSG(WM_DRAWCLIPBOARD, AfxCall_v, OnDrawClipboard)
#define ON_WM_CHANGECBCHAIN() FW_MSG(WM_CHANGECBCHAIN, AfxCall_changeCbChain, OnChangeCbChain)
#define ON_WM_HELPINFO() FW_MSG(WM_HELP, AfxCall_helpInfo, OnHelpInfo)
#define ON_WM_ACTIVATE() FW_MSG(WM_ACTIVATE, AfxCall_activate, OnActivate)
