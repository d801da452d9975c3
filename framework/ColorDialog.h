// CColorDialog: the system's colour dialog, starting at a given colour, with the program's
// sixteen custom colours kept for the process. Layer: framework/.
#pragma once

#include "framework/CommonDialog.h"

#include <commdlg.h>

class CColorDialog : public CCommonDialog {
    DECLARE_DYNAMIC(CColorDialog)
public:
    explicit CColorDialog(COLORREF initial = 0, DWORD flags = 0, CWnd* parent = nullptr);

    INT_PTR DoModal() override;
    COLORREF GetColor() const { return m_cc.rgbResult; }
    // The custom colours shared by every colour dialog of the process.
    static COLORREF* GetSavedCustomColors();

    CHOOSECOLORA m_cc;

protected:
    static UINT_PTR CALLBACK HookProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);
};
