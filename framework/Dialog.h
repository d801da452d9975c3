// CDialog: a dialog from a resource template, modal (DoModal) or modeless (Create), with
// OnInitDialog / OnOK / OnCancel, data exchange with its controls and help. Layer: framework/.
#pragma once

#include "framework/Wnd.h"

class CDataExchange;

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog() = default;
    explicit CDialog(UINT idTemplate, CWnd* parent = nullptr);

    // Runs the dialog modally; returns the EndDialog result (-1 when it could not be made).
    virtual INT_PTR DoModal();
    // Creates the dialog modeless; its keys go through IsDialogMessage.
    bool Create(UINT idTemplate, CWnd* parent = nullptr);
    void EndDialog(int result);

    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* dx);
    // Controls → members (save) or members → controls; false when a value was refused.
    bool UpdateData(bool saveAndValidate = true);

    bool PreTranslateMessage(MSG* msg) override;
    bool OnHelpInfo(HELPINFO* info);
    LRESULT OnInitDialogMsg(WPARAM, LPARAM);

    UINT m_nIDTemplate = 0;
    UINT m_nIDHelp = 0; // the help key; the template id unless set
    CWnd* m_pParentWnd = nullptr;
    bool m_bModal = false;

    static INT_PTR CALLBACK DialogProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};
