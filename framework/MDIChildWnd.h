// CMDIChildWnd: a document frame inside the MDI client: created through WM_MDICREATE, titled
// from its document, with the template's shared menu and accelerators, and active-view
// tracking on activation. Layer: framework/.
#pragma once

#include "framework/FrameWnd.h"

class CMDIFrameWnd;

class CMDIChildWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMDIChildWnd)
public:
    CMDIChildWnd();

    bool LoadFrame(UINT idResource, DWORD style = WS_CHILD | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* parent = nullptr, CCreateContext* context = nullptr) override;
    virtual bool Create(const char* className, const char* title, DWORD style, const RECT& rect,
                        CMDIFrameWnd* parent, CCreateContext* context);
    bool PreCreateWindow(CREATESTRUCTA& cs) override;
    bool DestroyWindow() override;
    void ActivateFrame(int cmdShow = -1) override;
    void OnUpdateFrameTitle(bool addToTitle) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool PreTranslateMessage(MSG* msg) override;
    void PostNcDestroy() override;

    CMDIFrameWnd* GetMDIFrame() const;
    void MDIDestroy();
    void MDIActivate();
    void MDIMaximize();

    int OnCreate(LPCREATESTRUCTA cs);
    void OnMDIActivate(bool activate, HWND activateWnd, HWND deactivateWnd);
    void OnSize(UINT type, int cx, int cy);
    void OnClose();

    HMENU m_hMenuShared = nullptr; // the template's menu, shown while this child is active

    DECLARE_MESSAGE_MAP()

private:
    CMDIFrameWnd* m_pMDIFrame = nullptr;
};
