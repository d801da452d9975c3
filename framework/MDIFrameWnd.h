// CMDIFrameWnd: the main frame of a multi-document program: the MDI client with its window
// list, the active child, menu swapping between the frame's own menu and the active
// document's shared menu, the window commands, and a route that starts at the active child.
// Layer: framework/.
#pragma once

#include "framework/FrameWnd.h"

class CMDIChildWnd;

class CMDIFrameWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMDIFrameWnd)
public:
    CMDIFrameWnd();

    HWND m_hWndMDIClient = nullptr;

    virtual bool CreateClient(LPCREATESTRUCTA cs, HMENU windowMenu);
    bool OnCreateClient(LPCREATESTRUCTA cs, CCreateContext* context) override;
    // The popup of a menu bar that lists the windows (the one holding the window commands).
    static HMENU FindWindowMenuPopup(HMENU menuBar);

    CMDIChildWnd* MDIGetActive(bool* maximized = nullptr) const;
    void MDIActivate(HWND child);
    // Shows menu (or the frame's own menu when null) with the window list in its window popup.
    virtual void OnUpdateFrameMenu(HMENU menu);

    CFrameWnd* GetActiveFrame() override;
    CDocument* GetActiveDocument() override;
    HACCEL GetDefaultAccelerator() override;
    bool PreTranslateMessage(MSG* msg) override;
    bool OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnUpdateFrameTitle(bool addToTitle) override;

    void OnSize(UINT type, int cx, int cy);
    void OnDestroy();
    bool OnMDIWindowCmd(UINT id);
    void OnUpdateMDIWindowCmd(CCmdUI* cmdUI);
    void OnWindowNew();

    DECLARE_MESSAGE_MAP()
};
