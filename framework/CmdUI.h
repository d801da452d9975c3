// CCmdUI: the state of one user-interface item (menu item, toolbar button, status pane) being
// brought up to date by its command's update handler. Subclass it for other kinds of item.
// Layer: framework/.
#pragma once

#include <windows.h>

class CCmdTarget;
class CWnd;

class CCmdUI {
public:
    CCmdUI() = default;
    virtual ~CCmdUI() = default;

    virtual void Enable(bool on = true);
    virtual void SetCheck(int check = 1); // 0 unchecked, 1 checked, 2 indeterminate
    virtual void SetRadio(bool on = true);
    virtual void SetText(const char* text);

    // Lets the next target in the route handle the update as well.
    void ContinueRouting() { m_bContinueRouting = true; }

    // Asks the route starting at target to update this item. An item nobody updates is enabled
    // when some target handles its command and, with disableIfNoHandler, greyed otherwise.
    // Returns true when an update handler was found.
    bool DoUpdate(CCmdTarget* target, bool disableIfNoHandler);

    UINT m_nID = 0;
    UINT m_nIndex = 0;          // menu position
    UINT m_nIndexMax = 0;       // item count of the menu being updated
    HMENU m_pMenu = nullptr;    // the menu holding the item
    HMENU m_pSubMenu = nullptr; // the item's own popup, when it opens one
    HMENU m_pParentMenu = nullptr;
    CWnd* m_pOther = nullptr; // a window standing for the item (button, bar)

    bool m_bEnableChanged = false;
    bool m_bContinueRouting = false;
};

// Records what an update handler asked for without touching any item; used to test whether a
// command is enabled before it runs.
class CTestCmdUI : public CCmdUI {
public:
    void Enable(bool on = true) override;
    void SetCheck(int check = 1) override;
    void SetRadio(bool on = true) override;
    void SetText(const char* text) override;

    bool m_bEnabled = true;
    int m_nCheck = 0;
    bool m_bTextSet = false;
};

// Updates every item of a popup menu through the route starting at target (command-UI on
// popup); handlers may add or remove items. Separators are skipped; an item that opens a popup
// is updated through the first command of that popup.
void AfxUpdateMenuPopup(HMENU popup, CCmdTarget* target, bool disableIfNoHandler);

// Tracks a popup menu at a screen point (at the window's client origin when the point lies
// outside the window), after updating it through the window's own route, and sends the chosen
// command to the window. Returns the command id, 0 when nothing was chosen.
UINT AfxTrackPopupMenu(HMENU popup, POINT screenPt, CWnd* target);
