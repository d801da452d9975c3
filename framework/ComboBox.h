// CComboBox: a thin wrapper of the system combo box; items can carry a value. Layer: framework/.
#pragma once

#include "framework/Wnd.h"

#include <string>

class CComboBox : public CWnd {
    DECLARE_DYNAMIC(CComboBox)
public:
    bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int AddString(const char* text);
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int index) {
        return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index)));
    }
    DWORD_PTR GetItemData(int index) const;
    int SetItemData(int index, DWORD_PTR data);
    std::string GetLBText(int index) const;
    void ResetContent() { SendMessage(CB_RESETCONTENT); }
};
