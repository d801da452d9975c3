// CCmdUI for menu items and windows, and the popup-menu helpers. Layer: framework/.
#include "framework/CmdUI.h"

#include "framework/CmdTarget.h"
#include "framework/Wnd.h"

#include <string>

namespace {

// The item's flags that ModifyMenu must keep.
UINT KeptMenuState(HMENU menu, UINT index) {
    UINT state = GetMenuState(menu, index, MF_BYPOSITION);
    if (state == static_cast<UINT>(-1))
        return 0;
    return state & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_MENUBARBREAK | MF_MENUBREAK);
}

} // namespace

void CCmdUI::Enable(bool on) {
    m_bEnableChanged = true;
    if (m_pMenu) {
        if (m_pSubMenu)
            return; // a popup item follows its first command only for checking, not greying
        EnableMenuItem(m_pMenu, m_nIndex, MF_BYPOSITION | (on ? MF_ENABLED : MF_GRAYED));
    } else if (m_pOther && m_pOther->GetSafeHwnd()) {
        HWND wnd = m_pOther->GetSafeHwnd();
        if (!on && GetFocus() == wnd)
            SendMessageA(GetParent(wnd), WM_NEXTDLGCTL, 0, FALSE);
        EnableWindow(wnd, on);
    }
}

void CCmdUI::SetCheck(int check) {
    if (m_pMenu) {
        if (m_pSubMenu)
            return;
        CheckMenuItem(m_pMenu, m_nIndex, MF_BYPOSITION | (check ? MF_CHECKED : MF_UNCHECKED));
    } else if (m_pOther && m_pOther->GetSafeHwnd()) {
        HWND wnd = m_pOther->GetSafeHwnd();
        if (SendMessageA(wnd, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON)
            SendMessageA(wnd, BM_SETCHECK, static_cast<WPARAM>(check), 0);
    }
}

void CCmdUI::SetRadio(bool on) {
    SetCheck(on ? 1 : 0);
}

void CCmdUI::SetText(const char* text) {
    if (m_pMenu) {
        char current[512] = "";
        GetMenuStringA(m_pMenu, m_nIndex, current, sizeof current, MF_BYPOSITION);
        if (std::string(current) == text)
            return;
        UINT flags = MF_BYPOSITION | MF_STRING | KeptMenuState(m_pMenu, m_nIndex);
        UINT_PTR item = m_nID;
        if (m_pSubMenu) {
            flags |= MF_POPUP;
            item = reinterpret_cast<UINT_PTR>(m_pSubMenu);
        }
        ModifyMenuA(m_pMenu, m_nIndex, flags, item, text);
    } else if (m_pOther && m_pOther->GetSafeHwnd()) {
        m_pOther->SetWindowText(text);
    }
}

bool CCmdUI::DoUpdate(CCmdTarget* target, bool disableIfNoHandler) {
    m_bEnableChanged = false;
    bool handled = target->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this, nullptr);
    if (!handled && disableIfNoHandler && !m_bEnableChanged) {
        AFX_CMDHANDLERINFO info = {nullptr, nullptr};
        Enable(target->OnCmdMsg(m_nID, CN_COMMAND, this, &info));
    }
    return handled;
}

void CTestCmdUI::Enable(bool on) {
    m_bEnabled = on;
    m_bEnableChanged = true;
}

void CTestCmdUI::SetCheck(int check) {
    m_nCheck = check;
}

void CTestCmdUI::SetRadio(bool on) {
    m_nCheck = on ? 1 : 0;
}

void CTestCmdUI::SetText(const char*) {
    m_bTextSet = true;
}

void AfxUpdateMenuPopup(HMENU popup, CCmdTarget* target, bool disableIfNoHandler) {
    CCmdUI state;
    state.m_pMenu = popup;
    state.m_nIndexMax = static_cast<UINT>(GetMenuItemCount(popup));
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = GetMenuItemID(popup, static_cast<int>(state.m_nIndex));
        state.m_pSubMenu = nullptr;
        if (state.m_nID == 0)
            continue; // separator
        if (state.m_nID == static_cast<UINT>(-1)) {
            HMENU sub = GetSubMenu(popup, static_cast<int>(state.m_nIndex));
            UINT first = sub ? GetMenuItemID(sub, 0) : 0;
            if (first == 0 || first == static_cast<UINT>(-1))
                continue;
            state.m_nID = first;
            state.m_pSubMenu = sub;
            state.DoUpdate(target, false);
        } else {
            state.DoUpdate(target, disableIfNoHandler);
        }
        // A handler may have removed items (a handler that inserts items moves m_nIndex and
        // m_nIndexMax itself).
        UINT count = static_cast<UINT>(GetMenuItemCount(popup));
        if (count < state.m_nIndexMax) {
            state.m_nIndex -= state.m_nIndexMax - count;
            while (state.m_nIndex < count &&
                   GetMenuItemID(popup, static_cast<int>(state.m_nIndex)) == state.m_nID)
                ++state.m_nIndex;
        }
        state.m_nIndexMax = count;
    }
}

UINT AfxTrackPopupMenu(HMENU popup, POINT screenPt, CWnd* target) {
    HWND wnd = target->GetSafeHwnd();
    RECT rc;
    GetWindowRect(wnd, &rc);
    if (!PtInRect(&rc, screenPt)) {
        screenPt.x = screenPt.y = 0;
        ClientToScreen(wnd, &screenPt);
    }
    AfxUpdateMenuPopup(popup, target, true);
    UINT id = static_cast<UINT>(
        TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
                       screenPt.x, screenPt.y, 0, wnd, nullptr));
    if (id != 0)
        SendMessageA(wnd, WM_COMMAND, id, 0);
    return id;
}
