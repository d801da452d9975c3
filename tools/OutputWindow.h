// OutputWindow: the output window's content inside its docking bar: a sheet tab strip along
// the bottom edge and four pane slots above it, in tab order "查找替换1" (key 3), "查找替换2"
// (key 4), "捕捉输出1" (key 1) and "捕捉输出2" (key 2). A pane is made the first time its tab is
// selected. The find-in-files panes read result lines for Go to; the capture panes have no
// reader until one is given with SetLineReader (for example one that knows compiler error
// lines). Layer: tools/.
#pragma once

#include "framework/Wnd.h"
#include "tools/OutputPane.h"
#include "tools/OutputTarget.h"
#include "workspace/OutputPanes.h"
#include "workspace/SheetTabStrip.h"

#include <memory>

class IOutputChannels;
class IOutputHost;

class OutputWindow : public CWnd, public IOutputPanes {
    DECLARE_DYNAMIC(OutputWindow)
public:
    static const UINT kWindowId = 0xE900;
    static const UINT kTabId = 0xE901;
    static const int kSlotCount = 4;

    struct Slot {
        UINT titleId;
        int key;
        std::unique_ptr<OutputPane> pane; // null until first selected
        OutputLineReader reader;
    };

    OutputWindow();
    ~OutputWindow() override;

    // Made inside the output bar (which keeps it filling its client area).
    bool Create(CWnd* bar);
    void SetChannels(IOutputChannels* channels);
    void SetHost(IOutputHost* host);
    // The Go to reader of a key's pane (also for a pane made later); none removes Go to.
    void SetLineReader(int key, OutputLineReader reader);

    // IOutputPanes
    HWND PaneForKey(int key) override;
    void ShowOutputBar() override;
    void ClearPane(HWND pane) override;

    // Selects the tab of the key (making its pane); false when it cannot be made.
    bool SelectKey(int key);
    OutputPane* GetPane(int key) const;
    OutputPane* GetCurrentPane() const;
    int GetCurrentKey() const;
    CSheetTabStrip& TabStrip() { return m_tabs; }
    static int SlotOfKey(int key);

    int OnCreate(LPCREATESTRUCTA cs);
    void OnSize(UINT type, int cx, int cy);
    bool OnEraseBkgnd(HDC dc);
    void OnSetFocus(HWND oldWnd);
    LRESULT OnHScrollMessage(WPARAM wParam, LPARAM lParam);
    void OnTabChanging(NMHDR* hdr, LRESULT* result);

    DECLARE_MESSAGE_MAP()

private:
    // Makes (when needed) and shows the slot's pane, hiding the one shown; false when the
    // pane cannot be made (the old one stays).
    bool ShowSlot(int index);
    void PlacePanes();

    Slot m_slots[kSlotCount];
    int m_current = -1;
    CSheetTabStrip m_tabs;
    RECT m_content = {0, 0, 0, 0};
    IOutputChannels* m_channels = nullptr;
    IOutputHost* m_host = nullptr;
};
