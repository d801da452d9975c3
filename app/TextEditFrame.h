// CTextEditFrame: the MDI child frame of one document: a dynamic splitter of up to two rows
// of text views, opened maximised, filling the client area exactly in full screen.
// Layer: app/ (application shell).
#pragma once

#include "framework/MDIChildWnd.h"
#include "framework/SplitterWnd.h"

class CTextEditFrame : public CMDIChildWnd {
    DECLARE_DYNCREATE(CTextEditFrame)
public:
    // New document frames open maximised.
    static const DWORD kFrameStyle =
        WS_CHILD | WS_VISIBLE | WS_MAXIMIZE | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE; // 0x51CF8000

    CTextEditFrame() = default;

    CSplitterWnd& Splitter() { return m_splitter; }

    bool PreCreateWindow(CREATESTRUCTA& cs) override;
    bool OnCreateClient(LPCREATESTRUCTA cs, CCreateContext* context) override;

    void OnMDIActivate(bool activate, HWND activateWnd, HWND deactivateWnd);
    void OnGetMinMaxInfo(MINMAXINFO* info);

    DECLARE_MESSAGE_MAP()

private:
    CSplitterWnd m_splitter;
};
