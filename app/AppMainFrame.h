// CAppMainFrame: the editor's main window, an MDI frame loaded from resource 100. For now it
// only holds the global pointer; the bars, the application-wide commands and the rest of its
// state come later. Layer: app/.
#pragma once

#include "framework/MDIFrameWnd.h"

class CAppMainFrame : public CMDIFrameWnd {
    DECLARE_DYNCREATE(CAppMainFrame)
public:
    CAppMainFrame();
    ~CAppMainFrame() override;

    bool PreCreateWindow(CREATESTRUCTA& cs) override;

    DECLARE_MESSAGE_MAP()
};

// The one main frame (null before it is made and after it is gone).
CAppMainFrame* AppMainFrame();
