// The start-up question of the recovery of unsaved work. Layer: app/.
#include "app/DlgRecovery.h"

#include "app/RecoveryIds.h"

#include <utility>

BEGIN_MESSAGE_MAP(CDlgRecovery, CDialog)
ON_BN_CLICKED(IDC_RECOVERY_RESTORE, OnRestore)
ON_BN_CLICKED(IDC_RECOVERY_DISCARD, OnDiscard)
END_MESSAGE_MAP()

CDlgRecovery::CDlgRecovery(CWnd* parent, std::vector<std::string> names)
    : CDialog(IDD_RECOVERY, parent), m_names(std::move(names)) {}

bool CDlgRecovery::OnInitDialog() {
    CDialog::OnInitDialog();
    HWND list = GetDlgItem(IDC_RECOVERY_LIST);
    int widest = 0;
    HDC dc = ::GetDC(list);
    HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(list, WM_GETFONT, 0, 0)));
    for (const std::string& name : m_names) {
        ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        SIZE size = {0, 0};
        ::GetTextExtentPoint32A(dc, name.c_str(), static_cast<int>(name.size()), &size);
        if (size.cx > widest)
            widest = size.cx;
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(list, dc);
    // Long paths scroll sideways instead of being cut.
    ::SendMessageA(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
    ::SetFocus(GetDlgItem(IDC_RECOVERY_RESTORE));
    return false; // the focus is set
}

void CDlgRecovery::OnRestore() {
    EndDialog(IDYES);
}

void CDlgRecovery::OnDiscard() {
    EndDialog(IDNO);
}
