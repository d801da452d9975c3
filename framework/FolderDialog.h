// CFolderDialog: the shell's folder browser: a title, an initial folder, the chosen folder's
// path; a derived class sees the browser window when it is ready. Layer: framework/.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>

class CWnd;

class CFolderDialog {
public:
    explicit CFolderDialog(const char* title = nullptr, const char* initialFolder = nullptr,
                           CWnd* parent = nullptr, UINT flags = BIF_RETURNONLYFSDIRS);
    virtual ~CFolderDialog() = default;

    // IDOK when a file-system folder was chosen, else IDCANCEL.
    virtual INT_PTR DoModal();
    const std::string& GetFolderPath() const { return m_path; }

    // The browser is shown, at the initial folder when there is one.
    virtual void OnInitialized(HWND browser);
    // The selection moved; false greys OK.
    virtual bool OnSelChanged(const char* path);

    std::string m_strTitle;
    std::string m_strInitialFolder;
    UINT m_nFlags;
    CWnd* m_pParentWnd;

private:
    static int CALLBACK BrowseProc(HWND wnd, UINT message, LPARAM lParam, LPARAM data);
    std::string m_path;
};
