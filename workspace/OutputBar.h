// COutputBar: the output window's docking bar. It keeps its one child, the output tab
// container (control id 0xE900, client edge), filling its client area. The bar starts with an
// empty container of its own class, which the program replaces by the output window.
// Layer: workspace/.
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
    // Puts `container` (a child of this bar) in the place of the current one, which is
    // destroyed when it is the bar's own empty window.
    void SetContainer(HWND container);

    int OnCreate(LPCREATESTRUCTA cs);

    DECLARE_MESSAGE_MAP()

private:
    HWND m_container = nullptr;
    bool m_ownContainer = false;
};
