// CFileDialog: the system's open and save dialogs, explorer style, with "|"-separated filters,
// a default extension, an optional child template and hook (a derived dialog adds controls
// there), and a multi-selection buffer. Layer: framework/.
#pragma once

#include "framework/Dialog.h"

#include <commdlg.h>

#include <string>
#include <vector>

class CFileDialog : public CDialog {
    DECLARE_DYNAMIC(CFileDialog)
public:
    CFileDialog(bool openFileDialog, const char* defaultExt = nullptr,
                const char* fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
                CWnd* parent = nullptr);

    INT_PTR DoModal() override;
    // Makes the name buffer this large (multi-selection needs a big one).
    void SetFileBufferSize(size_t bytes);

    std::string GetPathName() const;
    // The selected files of a multi-selection (or the one file).
    std::vector<std::string> GetPathNames() const;

    // The dialog's hook messages for a derived class: the explorer dialog (the parent of the
    // child template) is shown, a notification arrived, or OK was pressed (return false to
    // refuse).
    virtual void OnInitDone();
    virtual void OnTypeChange();
    virtual bool OnFileNameOK();

    OPENFILENAMEA m_ofn;
    bool m_bOpenFileDialog;

protected:
    static UINT_PTR CALLBACK HookProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    std::vector<char> m_fileBuffer;
    std::string m_filter; // with the "|" turned into NULs
    std::string m_defaultExt;
};
