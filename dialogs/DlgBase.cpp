// CDlgBase. Layer: dialogs/.
#include "dialogs/DlgBase.h"

#include "framework/WinApp.h"

IMPLEMENT_DYNAMIC(CDlgBase, CDialog)

bool CDlgBase::IsEnterInsidePage() const {
    if (GetKeyState(VK_RETURN) >= 0)
        return false;
    HWND focus = ::GetFocus();
    for (HWND w = focus; w && w != m_hWnd; w = ::GetParent(w)) {
        if (::GetParent(w) == m_hWnd)
            return (::GetWindowLongA(w, GWL_STYLE) & DS_CONTROL) != 0;
    }
    return false;
}

std::string CDlgBase::ItemText(int id) const {
    HWND item = GetDlgItem(id);
    if (!item)
        return std::string();
    std::string text(static_cast<size_t>(::GetWindowTextLengthA(item)) + 1, '\0');
    text.resize(
        static_cast<size_t>(::GetWindowTextA(item, &text[0], static_cast<int>(text.size()))));
    return text;
}

void CDlgBase::SetItemText(int id, const char* text) {
    ::SetDlgItemTextA(m_hWnd, id, text);
}

bool CDlgBase::IsChecked(int id) const {
    return ::IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED;
}

void CDlgBase::SetCheck(int id, bool on) {
    ::CheckDlgButton(m_hWnd, id, on ? BST_CHECKED : BST_UNCHECKED);
}

void CDlgBase::EnableItem(int id, bool on) {
    ::EnableWindow(GetDlgItem(id), on);
}

void CDlgBase::ShowHelp(UINT context) {
    if (CWinApp* app = AfxGetApp())
        app->WinHelp(context, HELP_CONTEXT);
}
