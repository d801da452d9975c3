// The editor's main frame. Layer: app/.
#include "app/AppMainFrame.h"

namespace {
CAppMainFrame* g_mainFrame = nullptr;
}

IMPLEMENT_DYNCREATE(CAppMainFrame, CMDIFrameWnd)

BEGIN_MESSAGE_MAP(CAppMainFrame, CMDIFrameWnd)
END_MESSAGE_MAP()

CAppMainFrame::CAppMainFrame() {
    g_mainFrame = this;
}

CAppMainFrame::~CAppMainFrame() {
    if (g_mainFrame == this)
        g_mainFrame = nullptr;
}

bool CAppMainFrame::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!CMDIFrameWnd::PreCreateWindow(cs))
        return false;
    cs.dwExStyle |= WS_EX_ACCEPTFILES; // dropped files are opened by the framework
    return true;
}

CAppMainFrame* AppMainFrame() {
    return g_mainFrame;
}
