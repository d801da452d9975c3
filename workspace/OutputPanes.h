// What the main frame's output channels need of the output window: the pane of a channel key
// (made on first use), showing the window's bar, and clearing a pane. The output window
// implements it. Layer: workspace/ (bars and docking windows).
#pragma once

#include <windows.h>

class IOutputPanes {
public:
    // Text for a pane: SendMessage(pane, kAppendMessage, length, text), synchronous, so that
    // a job thread's text is taken before the thread goes on.
    static const UINT kAppendMessage = WM_USER + 3;

    // The pane of a channel key (1, 2 the capture panes; 3, 4 the find-in-files panes),
    // created when it does not exist; null when it cannot be made.
    virtual HWND PaneForKey(int key) = 0;
    // Shows the output window's bar when it is hidden.
    virtual void ShowOutputBar() = 0;
    virtual void ClearPane(HWND pane) = 0;

protected:
    ~IOutputPanes() = default;
};
