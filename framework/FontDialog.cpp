// The font dialog. Layer: framework/.
#include "framework/FontDialog.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CFontDialog, CCommonDialog)

CFontDialog::CFontDialog(const LOGFONTA* initial, DWORD flags, HDC printer, CWnd* parent)
    : CCommonDialog(parent) {
    std::memset(&m_cf, 0, sizeof m_cf);
    std::memset(&m_lf, 0, sizeof m_lf);
    m_cf.lStructSize = sizeof m_cf;
    m_cf.lpLogFont = &m_lf;
    m_cf.Flags = flags | CF_ENABLEHOOK;
    m_cf.lpfnHook = &CFontDialog::HookProc;
    if (initial) {
        m_lf = *initial;
        m_cf.Flags |= CF_INITTOLOGFONTSTRUCT;
    }
    if (printer) {
        m_cf.hDC = printer;
        m_cf.Flags |= CF_PRINTERFONTS;
    }
}

INT_PTR CFontDialog::DoModal() {
    m_cf.hwndOwner = GetOwnerWindow();
    m_cf.lCustData = reinterpret_cast<LPARAM>(this);
    return FinishModal(ChooseFontA(&m_cf));
}

UINT_PTR CALLBACK CFontDialog::HookProc(HWND wnd, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        CHOOSEFONTA* cf = reinterpret_cast<CHOOSEFONTA*>(lParam);
        return HookInit(reinterpret_cast<CFontDialog*>(cf->lCustData), wnd);
    }
    if (message == WM_DESTROY)
        HookDestroy(wnd);
    return 0;
}
