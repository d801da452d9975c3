// CButton. Layer: framework/.
#include "framework/Button.h"

IMPLEMENT_DYNAMIC(CButton, CWnd)

bool CButton::Create(const char* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CreateEx(0, "BUTTON", caption, style | WS_CHILD, rect, parent, id);
}

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}
