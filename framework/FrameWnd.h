// CFrameWnd: a frame around views and control bars: loading from a resource id (title, menu,
// accelerators, icon), the command route (active view, document, frame, application), menu
// command UI on popup, prompts for the status bar, idle work, layout of bars along the edges,
// title from the document, the shell's DDE conversation and dropped files. Layer: framework/.
#pragma once

#include "framework/Wnd.h"

#include <string>
#include <vector>

class CControlBar;
class CDockBar;
class CDocument;
class CMiniDockFrameWnd;
class CView;

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    CFrameWnd();
    ~CFrameWnd() override;

    // Loads string, menu, accelerators and icon of resource id and creates the frame.
    virtual bool LoadFrame(UINT idResource, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* parent = nullptr, CCreateContext* context = nullptr);
    bool CreateFrame(const char* className, const char* title, DWORD style, const RECT& rect,
                     CWnd* parent, HMENU menu, DWORD exStyle, CCreateContext* context);

    // --- Active view and document --------------------------------------------------------
    CView* GetActiveView() const { return m_pViewActive; }
    virtual void SetActiveView(CView* view, bool notify = true);
    virtual CDocument* GetActiveDocument();
    // The frame whose view is active: this, or the active MDI child of an MDI frame.
    virtual CFrameWnd* GetActiveFrame();
    virtual void ActivateFrame(int cmdShow = -1);
    // Makes the frame's first view active, sends every view its initial update and shows the
    // frame.
    virtual void InitialUpdateFrame(CDocument* doc, bool makeVisible);
    CWnd* CreateView(CCreateContext* context, UINT id = 0xE900);

    // --- Titles and prompts --------------------------------------------------------------
    virtual void OnUpdateFrameTitle(bool addToTitle);
    void UpdateFrameTitleForDocument(const char* docName);
    // The status prompt of a command: its string's text before the line break.
    virtual void GetMessageString(UINT id, std::string& message) const;
    // Print preview starts (the preview window takes the client area as the pane and every
    // other child but the status bar is hidden) or ends (they come back as they were).
    virtual void OnSetPreviewMode(bool preview, CWnd* previewWnd);
    bool IsInPreviewMode() const { return m_previewWnd != nullptr; }
    // Ends a print preview shown in this frame (nothing when there is none).
    void ClosePreview();
    // While a preview shows, only its own commands and these reach a handler; every other
    // command is disabled, so that nothing changes or closes the document whose pages the
    // preview holds. The frame's own: help, About and Exit (which ends the preview first).
    virtual bool IsCommandAvailableInPreview(UINT id) const;
    // Text to the status bar (the bar with id 0xE801) as WM_SETTEXT.
    void SetMessageText(const char* text);
    void SetMessageText(UINT id);

    // --- Bars and layout -----------------------------------------------------------------
    enum RepositionFlags { reposDefault = 0, reposQuery = 1, reposExtra = 2 };
    // Lays the visible bars out along the edges in z-order and gives the rest to the pane
    // with id AFX_IDW_PANE_FIRST; with reposQuery nothing moves and rectOut gets the rest.
    void RepositionBars(UINT flags, RECT* rectOut = nullptr);
    virtual void RecalcLayout(bool notify = true);
    void DelayRecalcLayout(bool notify = true);
    void AddControlBar(CControlBar* bar);
    void RemoveControlBar(CControlBar* bar);
    const std::vector<CControlBar*>& GetControlBars() const { return m_listControlBars; }
    CControlBar* GetControlBar(UINT id) const;
    // Shows or hides the bar (and the mini frame of a floating one); delayed: at the next
    // idle layout.
    void ShowControlBar(CControlBar* bar, bool show, bool delay);
    // Makes the dock bars (ids AFX_IDW_DOCKBAR_TOP ... _BOTTOM) of the sides given, in the
    // order top, bottom, left, right, so that the top and bottom ones span the frame.
    void EnableDocking(DWORD dockStyle);
    // Docks the bar in the dock bar of the id (0: the bar's own side, else the first side
    // the bar allows), in the row the screen rectangle chooses (none: a new last row).
    // Without dock bars the bar is only aligned to the side.
    void DockControlBar(CControlBar* bar, UINT dockBarId = 0, const RECT* rect = nullptr);
    // Floats the bar in a mini frame of its own whose top left is at the screen point.
    void FloatControlBar(CControlBar* bar, POINT screenPoint);
    DWORD GetDockStyle() const { return m_dwDockStyle; }
    CDockBar* GetDockBar(UINT id) const;
    const std::vector<CMiniDockFrameWnd*>& GetFloatingFrames() const { return m_floatingFrames; }
    void RemoveFloatingFrame(CMiniDockFrameWnd* frame);

    // --- Density -------------------------------------------------------------------------
    // The frame was moved to a monitor of density dpi: it records the density, takes the
    // window rectangle the system suggests (none: keeps its own), tells every window inside
    // it (WM_FXDPICHANGED, parents before their children) and lays its bars out again.
    void ApplyDpiChange(UINT dpi, const RECT* suggested);

    // --- Idle, keys, menus ---------------------------------------------------------------
    // The framework's idle pass: delayed layout and title, then the command UI of every bar.
    void OnIdleUpdateCmdUI();
    void OnUpdateCmdUIIdle(bool disableIfNoHandler) override;
    // The one accelerator table that translates keys for this frame.
    virtual HACCEL GetDefaultAccelerator();
    // A key for a window inside one of the frame's control bars (docked or floating) that the
    // window keeps from the accelerators: the text-editing keys (delete, backspace, insert,
    // Ctrl with A, C, V, X, Y or Z), the moving keys when it wants arrows, and any key it
    // claims through WM_GETDLGCODE. The document's view never sees them.
    bool IsBarWindowKey(const MSG* msg) const;
    bool PreTranslateMessage(MSG* msg) override;
    bool OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) override;
    void PostNcDestroy() override;
    bool PreCreateWindow(CREATESTRUCTA& cs) override;
    virtual bool OnCreateClient(LPCREATESTRUCTA cs, CCreateContext* context);

    // Handlers.
    int OnCreate(LPCREATESTRUCTA cs);
    void OnDestroy();
    void OnClose();
    void OnSize(UINT type, int cx, int cy);
    void OnSetFocus(HWND oldWnd);
    void OnInitMenuPopup(HMENU popup, UINT index, bool sysMenu);
    void OnMenuSelect(UINT item, UINT flags, HMENU menu);
    LRESULT OnExitMenuLoop(WPARAM, LPARAM);
    void OnSysColorChange();
    void OnDropFiles(HDROP drop);
    bool OnHelpInfo(HELPINFO* info);
    bool OnToolTipText(UINT id, NMHDR* hdr, LRESULT* result);
    LRESULT OnDdeInitiate(WPARAM, LPARAM);
    LRESULT OnDdeExecute(WPARAM, LPARAM);
    LRESULT OnDdeTerminate(WPARAM, LPARAM);
    LRESULT OnDdeAck(WPARAM, LPARAM);
    LRESULT OnSetMessageString(WPARAM, LPARAM);
    // WM_DPICHANGED of a top-level frame: wParam's high word the density, lParam the
    // suggested window rectangle.
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);

    HMENU m_hMenuDefault = nullptr; // the menu of the frame's resource
    HACCEL m_hAccelTable = nullptr;
    UINT m_nIDHelp = 0;            // the help key: the frame's resource id
    bool m_bAutoMenuEnable = true; // grey items without a handler
    std::string m_strTitle;        // the application part of the title

    DECLARE_MESSAGE_MAP()

protected:
    // The preview's share of the command route: its own commands, then the frame's commands
    // that stay available; true when the command was handled or refused here.
    bool RoutePreviewCommand(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo);

    HWND m_previewWnd = nullptr;          // the preview window while preview runs
    std::vector<HWND> m_hiddenForPreview; // children hidden for it

    enum IdleFlags { idleMenu = 1, idleTitle = 2, idleNotify = 4, idleLayout = 8 };
    UINT m_nIdleFlags = 0;
    CView* m_pViewActive = nullptr;
    UINT m_nIDTracking = 0; // the command whose prompt the status bar shows
    std::vector<CControlBar*> m_listControlBars;
    DWORD m_dwDockStyle = 0;
    std::vector<CMiniDockFrameWnd*> m_floatingFrames;
    bool m_bInRecalcLayout = false;
    CCreateContext* m_pCreateContext = nullptr; // during creation
};
