// COutputBar: the output window's docking bar. It keeps its one child, the output tab
// container (control id 0xE900, client edge), filling its client area. Until the output panes
// exist the container is an empty window of its own class. Layer: workspace/.
#pragma once

#include "workspace/FxControlBar.h"

class COutputBar : public CFxControlBar {
    DECLARE_DYNAMIC(COutputBar)
public:
    static const UINT kBarId = 0xE8FC;
    static const UINT kContainerId = 0xE900;

    // Created with the fit-child flag; the container is made on creation.
    bool Create(CWnd* parent, UINT id, const char* title, int cx, int cy, UINT flags,
                DWORD style) override;
    HWND GetContainer() const { return m_container; }

    int OnCreate(LPCREATESTRUCTA cs);

    DECLARE_MESSAGE_MAP()

private:
    HWND m_container = nullptr;
};
