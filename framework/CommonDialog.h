// CCommonDialog: the base of the wrappers of the system's common dialogs: the object attaches
// to the dialog window while it is shown (from the dialog's hook), gets OnInitDialog there,
// and the dialog's owner is the parent given or the main window. Layer: framework/.
#pragma once

#include "framework/Dialog.h"

class CCommonDialog : public CDialog {
    DECLARE_DYNAMIC(CCommonDialog)
public:
    explicit CCommonDialog(CWnd* parent = nullptr);

    // The error of the last DoModal that could not show the dialog (CommDlgExtendedError), 0
    // when it was shown or cancelled.
    DWORD GetExtendedError() const { return m_extendedError; }

protected:
    HWND GetOwnerWindow() const;
    // Called from a hook's WM_INITDIALOG and WM_DESTROY.
    static UINT_PTR HookInit(CCommonDialog* dialog, HWND wnd);
    static void HookDestroy(HWND wnd);
    // Ends DoModal: detaches from the window and turns the dialog function's result into
    // IDOK / IDCANCEL.
    INT_PTR FinishModal(BOOL ok);

    DWORD m_extendedError = 0;
};
