// The notification both tab strips send their parent through WM_NOTIFY, with the system tab
// control's codes: TCN_SELCHANGING (-552) before the current tab changes, which the parent
// refuses by answering nonzero, and TCN_SELCHANGE (-551) after it changed. Layer: workspace/.
#pragma once

#include <windows.h>
#include <commctrl.h>

struct NMTABSTRIP {
    NMHDR hdr;
    int oldIndex; // -1: none
    int newIndex;
};

// Sends the notification to the strip's parent; true when the parent answered nonzero.
inline bool SendTabNotify(HWND strip, int code, int oldIndex, int newIndex) {
    HWND parent = ::GetParent(strip);
    if (!parent)
        return false;
    NMTABSTRIP info = {};
    info.hdr.hwndFrom = strip;
    info.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(strip));
    info.hdr.code = static_cast<UINT>(code);
    info.oldIndex = oldIndex;
    info.newIndex = newIndex;
    return ::SendMessageA(parent, WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info)) != 0;
}
