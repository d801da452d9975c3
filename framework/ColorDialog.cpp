// The colour dialog. Layer: framework/.
#include "framework/ColorDialog.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CColorDialog, CCommonDialog)

CColorDialog::CColorDialog(COLORREF initial, DWORD flags, CWnd* parent) : CCommonDialog(parent) {
    std::memset(&m_cc, 0, sizeof m_cc);
    m_cc.lStructSize = sizeof m_cc;
    m_cc.rgbResult = initial;
    m_cc.lpCustColors = GetSavedCustomColors();
    m_cc.Flags = flags | CC_ENABLEHOOK | (initial != 0 ? CC_RGBINIT : 0);
    m_cc.lpfnHook = &CColorDialog::HookProc;
}

COLORREF* CColorDialog::GetSavedCustomColors() {
    static COLORREF colors[16] = {
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)};
    return colors;
}

INT_PTR CColorDialog::DoModal() {
    m_cc.hwndOwner = GetOwnerWindow();
    m_cc.lCustData = reinterpret_cast<LPARAM>(this);
    return FinishModal(ChooseColorA(&m_cc));
}

UINT_PTR CALLBACK CColorDialog::HookProc(HWND wnd, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        CHOOSECOLORA* cc = reinterpret_cast<CHOOSECOLORA*>(lParam);
        return HookInit(reinterpret_cast<CColorDialog*>(cc->lCustData), wnd);
    }
    if (message == WM_DESTROY)
        HookDestroy(wnd);
    return 0;
}
