// CPrintDialog: the system's print and print-setup dialogs and the printer defaults: page
// range, copies, collation, print to file, and the chosen printer (names, device mode, a
// device context). Layer: framework/.
#pragma once

#include "framework/CommonDialog.h"

#include <commdlg.h>

#include <string>

class CPrintDialog : public CCommonDialog {
    DECLARE_DYNAMIC(CPrintDialog)
public:
    explicit CPrintDialog(bool printSetupOnly,
                          DWORD flags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS |
                                        PD_HIDEPRINTTOFILE | PD_NOSELECTION,
                          CWnd* parent = nullptr);
    ~CPrintDialog() override;

    INT_PTR DoModal() override;
    // The default printer's settings without showing anything; false when there is none.
    bool GetDefaults();
    // A device context for the chosen printer (the caller deletes it), or null.
    HDC CreatePrinterDC() const;

    std::string GetDeviceName() const;
    std::string GetDriverName() const;
    std::string GetPortName() const;
    // The chosen printer's device mode, locked until the next call or the dialog's end.
    const DEVMODEA* GetDevMode() const;

    int GetCopies() const;
    bool PrintCollate() const { return (m_pd.Flags & PD_COLLATE) != 0; }
    bool PrintToFile() const { return (m_pd.Flags & PD_PRINTTOFILE) != 0; }
    bool PrintAll() const { return !PrintRange() && !PrintSelection(); }
    bool PrintRange() const { return (m_pd.Flags & PD_PAGENUMS) != 0; }
    bool PrintSelection() const { return (m_pd.Flags & PD_SELECTION) != 0; }
    int GetFromPage() const { return PrintRange() ? m_pd.nFromPage : -1; }
    int GetToPage() const { return PrintRange() ? m_pd.nToPage : -1; }

    // hDevMode and hDevNames belong to the dialog object and are freed with it.
    PRINTDLGA m_pd;

protected:
    static UINT_PTR CALLBACK HookProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    std::string DevName(int which) const;
    void UnlockDevMode() const;
    mutable bool m_devModeLocked = false;
};
