// CWnd: a window object bound to its HWND through the framework's window map, with creation,
// subclassing, message-map dispatch and the exception-safe window procedure. Layer: framework/.
#pragma once

#include "framework/CmdTarget.h"
#include "framework/FwIds.h"

#include <windows.h>

#include <string>

class CFrameWnd;
struct CCreateContext;

LRESULT CALLBACK FwCbtFilterHook(int code, WPARAM wParam, LPARAM lParam);

class CWnd : public CCmdTarget {
    DECLARE_DYNCREATE(CWnd)
public:
    CWnd();
    ~CWnd() override;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }

    // --- The window map ------------------------------------------------------------------
    // The framework object of a window, or null for a window the framework does not know.
    static CWnd* FromHandle(HWND wnd);
    static CWnd* FromHandlePermanent(HWND wnd) { return FromHandle(wnd); }
    bool Attach(HWND wnd);
    HWND Detach();

    // --- Creation ------------------------------------------------------------------------
    virtual bool PreCreateWindow(CREATESTRUCTA& cs);
    virtual bool Create(const char* className, const char* windowName, DWORD style,
                        const RECT& rect, CWnd* parent, UINT id, CCreateContext* context = nullptr);
    bool CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                  const RECT& rect, CWnd* parent, UINT id, void* param = nullptr);
    bool CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x,
                  int y, int cx, int cy, HWND parent, HMENU idOrMenu, void* param = nullptr);
    virtual bool DestroyWindow();
    // Called after the last message (WM_NCDESTROY) once the object is no longer in the map;
    // frames and views delete themselves here.
    virtual void PostNcDestroy();

    // Takes over an existing window: its messages go through this object's map first.
    bool SubclassWindow(HWND wnd);
    bool SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();
    // Called before a window is subclassed (also for windows created through this object).
    virtual void PreSubclassWindow();

    // --- Messages ------------------------------------------------------------------------
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Dispatches through the message map; false when no entry took the message.
    virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The default processing of the message being handled.
    LRESULT Default();
    virtual bool OnCommand(WPARAM wParam, LPARAM lParam);
    virtual bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual bool PreTranslateMessage(MSG* msg);
    // Offers a message to PreTranslateMessage of its window and each parent up to `stop`.
    static bool WalkPreTranslateTree(HWND stop, MSG* msg);
    // The framework's idle update of this window's command UI (WM_IDLEUPDATECMDUI).
    virtual void OnUpdateCmdUIIdle(bool disableIfNoHandler);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageA(m_hWnd, message, wParam, lParam) != 0;
    }
    // Sends the message to every child (and with deep their children) of the window.
    static void SendMessageToDescendants(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         bool deep = true);
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                                  bool deep = true) const {
        SendMessageToDescendants(m_hWnd, message, wParam, lParam, deep);
    }

    // --- Relations -----------------------------------------------------------------------
    CWnd* GetParent() const;
    // The nearest framework frame above this window (the MDI child for a view in one).
    CFrameWnd* GetParentFrame() const;
    // The outermost frame (the main frame for windows inside it).
    CFrameWnd* GetTopLevelFrame() const;
    HWND GetDescendantWindow(int id) const;
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    void SetDlgCtrlID(int id) { ::SetWindowLongPtrA(m_hWnd, GWLP_ID, id); }

    // --- State and geometry --------------------------------------------------------------
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)); }
    bool ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
    bool ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0);
    std::string GetWindowText() const;
    void SetWindowText(const char* text);
    void GetClientRect(RECT* rc) const { ::GetClientRect(m_hWnd, rc); }
    void GetWindowRect(RECT* rc) const { ::GetWindowRect(m_hWnd, rc); }
    void ScreenToClient(RECT* rc) const;
    void ClientToScreen(RECT* rc) const;
    void MoveWindow(const RECT& rc, bool repaint = true);
    bool ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd) != 0; }
    bool IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != 0; }
    bool IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd) != 0; }
    void EnableWindow(bool enable = true) { ::EnableWindow(m_hWnd, enable); }
    void Invalidate(bool erase = true) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    HWND SetFocus() { return ::SetFocus(m_hWnd); }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse) { return ::SetTimer(m_hWnd, id, elapse, nullptr); }
    bool KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id) != 0; }
    HMENU GetMenu() const { return ::GetMenu(m_hWnd); }
    void DrawMenuBar() { ::DrawMenuBar(m_hWnd); }
    void SetFont(HFONT font, bool redraw = true) {
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    }
    void CenterWindow(HWND alternateOwner = nullptr);
    // Cancel mode for this window and every descendant, and for the capture window.
    void SendCancelMode();

    // --- Default handlers the message maps bind to (each does the default processing) ------
    int OnCreate(LPCREATESTRUCTA) { return static_cast<int>(Default()); }
    void OnDestroy() { Default(); }
    void OnNcDestroy() { Default(); }
    void OnClose() { Default(); }
    void OnSize(UINT, int, int) { Default(); }
    void OnPaint() { Default(); }
    void OnNcPaint() { Default(); }
    bool OnEraseBkgnd(HDC) { return Default() != 0; }
    void OnTimer(UINT_PTR) { Default(); }
    void OnSetFocus(HWND) { Default(); }
    void OnKillFocus(HWND) { Default(); }
    void OnInitMenuPopup(HMENU, UINT, bool) { Default(); }
    void OnMenuSelect(UINT, UINT, HMENU) { Default(); }
    void OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
    void OnMDIActivate(bool, HWND, HWND) { Default(); }
    void OnSysColorChange() { Default(); }
    void OnDropFiles(HDROP) { Default(); }
    void OnLButtonDown(UINT, POINT) { Default(); }
    void OnLButtonUp(UINT, POINT) { Default(); }
    void OnLButtonDblClk(UINT, POINT) { Default(); }
    void OnRButtonDown(UINT, POINT) { Default(); }
    void OnRButtonUp(UINT, POINT) { Default(); }
    void OnMouseMove(UINT, POINT) { Default(); }
    bool OnMouseWheel(UINT, short, POINT) { return Default() != 0; }
    void OnKeyDown(UINT, UINT, UINT) { Default(); }
    void OnKeyUp(UINT, UINT, UINT) { Default(); }
    void OnChar(UINT, UINT, UINT) { Default(); }
    void OnSysKeyDown(UINT, UINT, UINT) { Default(); }
    bool OnSetCursor(HWND, UINT, UINT) { return Default() != 0; }
    void OnVScroll(UINT, UINT, HWND) { Default(); }
    void OnHScroll(UINT, UINT, HWND) { Default(); }
    void OnCancelMode() { Default(); }
    void OnCaptureChanged(HWND) { Default(); }
    int OnMouseActivate(HWND, UINT, UINT) { return static_cast<int>(Default()); }
    LRESULT OnNcHitTest(POINT) { return Default(); }
    void OnNcCalcSize(bool, NCCALCSIZE_PARAMS*) { Default(); }
    void OnShowWindow(bool, UINT) { Default(); }
    void OnContextMenu(HWND, POINT) { Default(); }
    bool OnDeviceChange(UINT, DWORD_PTR) { return Default() != 0; }
    void OnDrawClipboard() { Default(); }
    void OnChangeCbChain(HWND, HWND) { Default(); }
    bool OnHelpInfo(HELPINFO*) { return Default() != 0; }
    void OnActivate(UINT, HWND, bool) { Default(); }

    // The window procedure of every framework window class.
    static LRESULT CALLBACK StdWndProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Registers (once) a window class using the framework's window procedure and returns its
    // name. Classes with equal parameters share one registration.
    static const char* RegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr,
                                        HBRUSH background = nullptr, HICON icon = nullptr);
    // Makes the next window created on this thread belong to `wnd` (creation hook); false
    // when no window was created for it since.
    static void HookWindowCreate(CWnd* wnd);
    static bool UnhookWindowCreate();

protected:
    WNDPROC m_pfnSuper = nullptr; // the window's own procedure, called for default processing

private:
    friend LRESULT CALLBACK FwCbtFilterHook(int code, WPARAM wParam, LPARAM lParam);
    void AttachCreated(HWND wnd);
    void OnFinalNcDestroy();

    // The message being handled, for Default().
    struct CurrentMsg {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    CurrentMsg m_current = {0, 0, 0};
    // The WindowProc calls running on this object, innermost first. An object deleted inside a
    // handler (a frame that closes itself, a mini frame docked away) marks every one of them,
    // so that none touches the freed object on its way out.
    struct ActiveCall {
        ActiveCall* outer;
        bool destroyed;
    };
    ActiveCall* m_activeCalls = nullptr;
};
