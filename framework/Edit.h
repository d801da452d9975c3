// CEdit: a thin wrapper of the system edit control. Layer: framework/.
#pragma once

#include "framework/Wnd.h"

class CEdit : public CWnd {
    DECLARE_DYNAMIC(CEdit)
public:
    bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    void SetSel(int start, int end, bool noScroll = false);
    void GetSel(int& start, int& end) const;
    void ReplaceSel(const char* text, bool canUndo = false);
    void LimitText(int maxChars) { SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(maxChars)); }
    void SetReadOnly(bool readOnly = true) { SendMessage(EM_SETREADONLY, readOnly); }
};
