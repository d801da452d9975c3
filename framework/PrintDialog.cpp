// The print and print-setup dialogs. Layer: framework/.
#include "framework/PrintDialog.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CPrintDialog, CCommonDialog)

CPrintDialog::CPrintDialog(bool printSetupOnly, DWORD flags, CWnd* parent) : CCommonDialog(parent) {
    std::memset(&m_pd, 0, sizeof m_pd);
    m_pd.lStructSize = sizeof m_pd;
    m_pd.Flags = flags | PD_ENABLEPRINTHOOK | PD_ENABLESETUPHOOK;
    if (printSetupOnly)
        m_pd.Flags |= PD_PRINTSETUP;
    m_pd.lpfnPrintHook = &CPrintDialog::HookProc;
    m_pd.lpfnSetupHook = &CPrintDialog::HookProc;
    m_pd.nCopies = 1;
    m_pd.nFromPage = m_pd.nMinPage = 1;
    m_pd.nToPage = m_pd.nMaxPage = 0xFFFF;
}

CPrintDialog::~CPrintDialog() {
    UnlockDevMode();
    if (m_pd.hDevMode)
        GlobalFree(m_pd.hDevMode);
    if (m_pd.hDevNames)
        GlobalFree(m_pd.hDevNames);
}

INT_PTR CPrintDialog::DoModal() {
    UnlockDevMode();
    m_pd.hwndOwner = GetOwnerWindow();
    m_pd.lCustData = reinterpret_cast<LPARAM>(this);
    return FinishModal(PrintDlgA(&m_pd));
}

bool CPrintDialog::GetDefaults() {
    UnlockDevMode();
    DWORD flags = m_pd.Flags;
    m_pd.Flags = (flags | PD_RETURNDEFAULT) & ~(PD_RETURNDC | PD_PRINTSETUP);
    m_pd.hwndOwner = nullptr;
    // The defaults go into fresh handles: PrintDlg refuses existing ones here.
    if (m_pd.hDevMode)
        GlobalFree(m_pd.hDevMode);
    if (m_pd.hDevNames)
        GlobalFree(m_pd.hDevNames);
    m_pd.hDevMode = m_pd.hDevNames = nullptr;
    BOOL ok = PrintDlgA(&m_pd);
    m_extendedError = ok ? 0 : CommDlgExtendedError();
    m_pd.Flags = flags;
    return ok != FALSE;
}

HDC CPrintDialog::CreatePrinterDC() const {
    if (!m_pd.hDevNames)
        return nullptr;
    std::string driver = GetDriverName(), device = GetDeviceName(), port = GetPortName();
    HDC dc = CreateDCA(driver.c_str(), device.c_str(), port.empty() ? nullptr : port.c_str(),
                       GetDevMode());
    UnlockDevMode();
    return dc;
}

std::string CPrintDialog::DevName(int which) const {
    if (!m_pd.hDevNames)
        return std::string();
    const DEVNAMES* names = static_cast<const DEVNAMES*>(GlobalLock(m_pd.hDevNames));
    if (!names)
        return std::string();
    WORD offset = which == 0   ? names->wDriverOffset
                  : which == 1 ? names->wDeviceOffset
                               : names->wOutputOffset;
    std::string text = reinterpret_cast<const char*>(names) + offset;
    GlobalUnlock(m_pd.hDevNames);
    return text;
}

std::string CPrintDialog::GetDriverName() const {
    return DevName(0);
}

std::string CPrintDialog::GetDeviceName() const {
    return DevName(1);
}

std::string CPrintDialog::GetPortName() const {
    return DevName(2);
}

const DEVMODEA* CPrintDialog::GetDevMode() const {
    if (!m_pd.hDevMode)
        return nullptr;
    UnlockDevMode();
    const DEVMODEA* mode = static_cast<const DEVMODEA*>(GlobalLock(m_pd.hDevMode));
    m_devModeLocked = mode != nullptr;
    return mode;
}

void CPrintDialog::UnlockDevMode() const {
    if (m_devModeLocked && m_pd.hDevMode)
        GlobalUnlock(m_pd.hDevMode);
    m_devModeLocked = false;
}

int CPrintDialog::GetCopies() const {
    if (m_pd.Flags & PD_USEDEVMODECOPIES) {
        const DEVMODEA* mode = GetDevMode();
        int copies = mode && (mode->dmFields & DM_COPIES) ? mode->dmCopies : 1;
        UnlockDevMode();
        return copies;
    }
    return m_pd.nCopies;
}

UINT_PTR CALLBACK CPrintDialog::HookProc(HWND wnd, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        PRINTDLGA* pd = reinterpret_cast<PRINTDLGA*>(lParam);
        return HookInit(reinterpret_cast<CPrintDialog*>(pd->lCustData), wnd);
    }
    if (message == WM_DESTROY)
        HookDestroy(wnd);
    return 0;
}
