// The common base of the system dialogs' wrappers. Layer: framework/.
#include "framework/CommonDialog.h"

#include "framework/Exception.h"
#include "framework/WinApp.h"

#include <commdlg.h>

IMPLEMENT_DYNAMIC(CCommonDialog, CDialog)

CCommonDialog::CCommonDialog(CWnd* parent) {
    m_pParentWnd = parent;
}

HWND CCommonDialog::GetOwnerWindow() const {
    if (m_pParentWnd && m_pParentWnd->m_hWnd)
        return m_pParentWnd->m_hWnd;
    CWnd* main = AfxGetMainWnd();
    return main ? main->m_hWnd : nullptr;
}

UINT_PTR CCommonDialog::HookInit(CCommonDialog* dialog, HWND wnd) {
    if (!dialog)
        return TRUE;
    dialog->Attach(wnd);
    try {
        return dialog->OnInitDialog() ? TRUE : FALSE;
    } catch (...) {
        AfxReportCurrentException();
    }
    return TRUE;
}

void CCommonDialog::HookDestroy(HWND wnd) {
    if (CWnd* dialog = DynamicDowncast<CCommonDialog>(FromHandle(wnd)))
        dialog->Detach();
}

INT_PTR CCommonDialog::FinishModal(BOOL ok) {
    if (m_hWnd)
        Detach();
    m_extendedError = ok ? 0 : CommDlgExtendedError();
    return ok ? IDOK : IDCANCEL;
}
