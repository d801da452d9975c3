// CKeyCaptureEdit. Layer: dialogs/.
#include "dialogs/KeyCaptureEdit.h"

#include "settings/SettingsStore.h"

namespace {
const UINT kIgnored[] = {VK_CONTROL,  VK_SHIFT,  VK_MENU,    VK_LWIN,     VK_RWIN,   VK_APPS,
                         VK_NUMLOCK,  VK_SCROLL, VK_CAPITAL, VK_PAUSE,    VK_CANCEL, VK_TAB,
                         VK_SNAPSHOT, VK_ATTN,   VK_CRSEL,   VK_EXSEL,    VK_EREOF,  VK_PLAY,
                         VK_ZOOM,     VK_NONAME, VK_PA1,     VK_OEM_CLEAR};
static_assert(sizeof kIgnored / sizeof kIgnored[0] == 22, "the 22 keys that are never recorded");
} // namespace

bool CKeyCaptureEdit::IsIgnoredKey(UINT vk) {
    for (UINT k : kIgnored)
        if (k == vk)
            return true;
    // The left and right forms of the modifiers are modifiers too.
    return vk >= VK_LSHIFT && vk <= VK_RMENU;
}

uint32_t CKeyCaptureEdit::HeldModifiers() {
    uint32_t bits = 0;
    if (GetKeyState(VK_CONTROL) < 0)
        bits |= FCONTROL;
    if (GetKeyState(VK_SHIFT) < 0)
        bits |= FSHIFT;
    if (GetKeyState(VK_MENU) < 0)
        bits |= FALT;
    return bits;
}

void CKeyCaptureEdit::Clear() {
    m_keyCode = 0;
    ::SetWindowTextA(m_hWnd, "");
}

void CKeyCaptureEdit::Record(UINT vk) {
    m_keyCode = (vk & 0xFFFF) | (HeldModifiers() << 16);
    ::SetWindowTextA(m_hWnd, SettingsStore::KeyCodeText(m_keyCode).c_str());
    if (m_listener)
        m_listener->OnKeyCaptured(m_keyCode);
}

LRESULT CKeyCaptureEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTTAB | DLGC_WANTARROWS;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (wParam == VK_TAB) {
            HWND top = ::GetAncestor(m_hWnd, GA_ROOT);
            HWND next = ::GetNextDlgTabItem(top, m_hWnd, GetKeyState(VK_SHIFT) < 0);
            if (next)
                ::SetFocus(next);
            return 0;
        }
        if (!IsIgnoredKey(static_cast<UINT>(wParam)))
            Record(static_cast<UINT>(wParam));
        return 0;
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_DEADCHAR:
    case WM_SYSDEADCHAR:
    case WM_KEYUP:
    case WM_SYSKEYUP:
        return 0;
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}
