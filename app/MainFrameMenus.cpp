// The main frame's menu texts (undo and redo names, shortcuts from the key map), the status bar
// prompts of commands and the toolbar's tool tips. Layer: app/.
#include "app/AppMainFrame.h"

#include "app/App.h"
#include "app/AppIds.h"
#include "app/TextEditView.h"
#include "settings/SettingsIds.h"
#include "framework/FwIds.h"
#include "framework/ResourceText.h"
#include "framework/ToolTipText.h"

namespace {
// The longest shortcut text put after a menu item's tab.
const int kMaxShortcutText = 32;
} // namespace

std::string CAppMainFrame::UndoName(bool redo) {
    CTextEditView* view = GetActiveTextView();
    if (!view || !view->GetEditDoc())
        return AfxLoadString(redo ? IDS_REDO : IDS_UNDO);
    const int action =
        redo ? view->GetEditDoc()->GetRedoAction() : view->GetEditDoc()->GetUndoAction();
    const UINT none = redo ? IDS_REDO_NONE : IDS_UNDO_NONE;
    if (action < FxUndoTyping || action >= FxUndoActionCount)
        return AfxLoadString(none);
    return AfxLoadStringOr(none + static_cast<UINT>(action), AfxLoadString(none).c_str());
}

void CAppMainFrame::UpdateMenuTexts(HMENU popup) {
    SettingsStore* settings = AppSettings();
    const int count = GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        char text[260] = "";
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_TYPE | MIIM_ID | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = sizeof text;
        if (!GetMenuItemInfoA(popup, static_cast<UINT>(i), TRUE, &info))
            continue;
        if ((info.fType & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW)) || info.hSubMenu ||
            info.wID == 0)
            continue;
        std::string updated;
        if (info.wID == ID_EDIT_UNDO || info.wID == ID_EDIT_REDO) {
            updated = UndoName(info.wID == ID_EDIT_REDO);
        } else {
            updated = text;
            size_t tab = updated.rfind('\t');
            if (tab != std::string::npos)
                updated.resize(tab + 1);
        }
        char shortcut[kMaxShortcutText + 1];
        if (settings && settings->ShortcutText(info.wID, shortcut, sizeof shortcut)) {
            if (updated.find('\t') == std::string::npos)
                updated += '\t';
            updated += shortcut;
        }
        if (updated == text)
            continue;
        MENUITEMINFOA change = {};
        change.cbSize = sizeof change;
        change.fMask = MIIM_TYPE;
        change.fType = info.fType;
        change.dwTypeData = const_cast<char*>(updated.c_str());
        SetMenuItemInfoA(popup, static_cast<UINT>(i), TRUE, &change);
    }
}

void CAppMainFrame::GetMessageString(UINT id, std::string& message) const {
    if (id >= ID_TOOL_FIRST && id < ID_TOOL_FIRST + 256) {
        message.clear();
        SettingsStore* settings = AppSettings();
        const size_t index = id - ID_TOOL_FIRST;
        if (settings && index < settings->Tools().size())
            message = settings->Tools()[index].command;
        return;
    }
    if (id >= ID_DATETIME_FIRST && id <= ID_DATETIME_LAST)
        id = ID_INSERT_DATETIME;
    else if (id >= ID_VIEWAS_FIRST && id < ID_VIEWAS_LIMIT)
        id = ID_VIEW_AS;
    CMDIFrameWnd::GetMessageString(id, message);
}

bool CAppMainFrame::OnToolTipText(UINT id, NMHDR* hdr, LRESULT* result) {
    UINT_PTR command = hdr->idFrom;
    const bool wide = hdr->code == TTN_NEEDTEXTW;
    const UINT flags = wide ? reinterpret_cast<NMTTDISPINFOW*>(hdr)->uFlags
                            : reinterpret_cast<NMTTDISPINFOA*>(hdr)->uFlags;
    if (flags & TTF_IDISHWND)
        command = static_cast<UINT_PTR>(::GetDlgCtrlID(reinterpret_cast<HWND>(command)));
    if (command != ID_EDIT_UNDO && command != ID_EDIT_REDO)
        return CMDIFrameWnd::OnToolTipText(id, hdr, result);
    AfxSetToolTipText(hdr, UndoName(command == ID_EDIT_REDO).c_str());
    *result = 0;
    ::SetWindowPos(hdr->hwndFrom, HWND_TOP, 0, 0, 0, 0,
                   SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOMOVE | SWP_NOOWNERZORDER);
    return true;
}

void CAppMainFrame::OnInitMenuPopup(HMENU popup, UINT index, bool sysMenu) {
    CMDIFrameWnd::OnInitMenuPopup(popup, index, sysMenu);
    if (!sysMenu)
        UpdateMenuTexts(popup);
}
