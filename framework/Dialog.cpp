// CDialog. Layer: framework/.
#include "framework/Dialog.h"

#include "framework/DataExchange.h"
#include "framework/ResourceText.h"
#include "framework/UserException.h"
#include "framework/WinApp.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_MESSAGE(WM_INITDIALOG, OnInitDialogMsg)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
ON_WM_HELPINFO()
END_MESSAGE_MAP()

CDialog::CDialog(UINT idTemplate, CWnd* parent)
    : m_nIDTemplate(idTemplate), m_nIDHelp(idTemplate), m_pParentWnd(parent) {}

INT_PTR CALLBACK CDialog::DialogProc(HWND, UINT, WPARAM, LPARAM) {
    // Everything reaches the object through the window's subclass; the dialog manager only
    // needs to hear "not handled".
    return FALSE;
}

INT_PTR CDialog::DoModal() {
    HWND parent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!parent && AfxGetMainWnd())
        parent = AfxGetMainWnd()->m_hWnd;
    if (parent)
        parent = GetLastActivePopup(GetAncestor(parent, GA_ROOT));
    m_bModal = true;
    HookWindowCreate(this);
    INT_PTR result = DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate),
                                     parent, &CDialog::DialogProc, 0);
    UnhookWindowCreate();
    m_bModal = false;
    return result;
}

bool CDialog::Create(UINT idTemplate, CWnd* parent) {
    m_nIDTemplate = idTemplate;
    if (!m_nIDHelp)
        m_nIDHelp = idTemplate;
    m_pParentWnd = parent;
    m_bModal = false;
    HookWindowCreate(this);
    HWND wnd = CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(idTemplate),
                                  parent ? parent->m_hWnd : nullptr, &CDialog::DialogProc, 0);
    UnhookWindowCreate();
    return wnd != nullptr;
}

void CDialog::EndDialog(int result) {
    if (m_bModal)
        ::EndDialog(m_hWnd, result);
    else
        DestroyWindow();
}

LRESULT CDialog::OnInitDialogMsg(WPARAM, LPARAM) {
    return OnInitDialog() ? TRUE : FALSE;
}

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::OnOK() {
    if (!UpdateData(true))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

bool CDialog::UpdateData(bool saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CUserException&) {
        return false; // the user was told which value is wrong
    }
    return true;
}

bool CDialog::PreTranslateMessage(MSG* msg) {
    if (!m_bModal && m_hWnd && msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST)
        return ::IsDialogMessageA(m_hWnd, msg) != 0;
    return false;
}

bool CDialog::OnHelpInfo(HELPINFO* info) {
    CWinApp* app = AfxGetApp();
    if (!app)
        return true;
    if (info && info->iContextType == HELPINFO_WINDOW) {
        HWND control = static_cast<HWND>(info->hItemHandle);
        if (control && control != m_hWnd && ::GetParent(control) == m_hWnd &&
            app->ShowControlHelp(control,
                                 static_cast<DWORD>(info->dwContextId ? info->dwContextId : -1)))
            return true;
    }
    app->WinHelp(m_nIDHelp, HELP_CONTEXT);
    return true;
}
