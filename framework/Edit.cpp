// CEdit. Layer: framework/.
#include "framework/Edit.h"

IMPLEMENT_DYNAMIC(CEdit, CWnd)

bool CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CreateEx(WS_EX_CLIENTEDGE, "EDIT", nullptr, style | WS_CHILD, rect, parent, id);
}

void CEdit::SetSel(int start, int end, bool noScroll) {
    SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end);
    if (!noScroll)
        SendMessage(EM_SCROLLCARET);
}

void CEdit::GetSel(int& start, int& end) const {
    DWORD s = 0, e = 0;
    SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    start = static_cast<int>(s);
    end = static_cast<int>(e);
}

void CEdit::ReplaceSel(const char* text, bool canUndo) {
    SendMessage(EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(text));
}
