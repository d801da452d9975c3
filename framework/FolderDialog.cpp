// The folder browser. Layer: framework/.
#include "framework/FolderDialog.h"

#include "framework/Exception.h"
#include "framework/OleInit.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"

#include <shlobj.h>

CFolderDialog::CFolderDialog(const char* title, const char* initialFolder, CWnd* parent, UINT flags)
    : m_strTitle(title ? title : ""), m_strInitialFolder(initialFolder ? initialFolder : ""),
      m_nFlags(flags), m_pParentWnd(parent) {}

INT_PTR CFolderDialog::DoModal() {
    AfxOleInit(); // the shell's namespace wants COM on this thread
    char display[MAX_PATH] = "";
    BROWSEINFOA bi = {};
    bi.hwndOwner = m_pParentWnd && m_pParentWnd->m_hWnd
                       ? m_pParentWnd->m_hWnd
                       : (AfxGetMainWnd() ? AfxGetMainWnd()->m_hWnd : nullptr);
    bi.pszDisplayName = display;
    bi.lpszTitle = m_strTitle.empty() ? nullptr : m_strTitle.c_str();
    bi.ulFlags = m_nFlags;
    bi.lpfn = &CFolderDialog::BrowseProc;
    bi.lParam = reinterpret_cast<LPARAM>(this);
    m_path.clear();
    LPITEMIDLIST pidl = SHBrowseForFolderA(&bi);
    if (!pidl)
        return IDCANCEL;
    char path[MAX_PATH] = "";
    bool ok = SHGetPathFromIDListA(pidl, path) != FALSE;
    CoTaskMemFree(pidl);
    if (!ok)
        return IDCANCEL;
    m_path = path;
    return IDOK;
}

void CFolderDialog::OnInitialized(HWND) {}

bool CFolderDialog::OnSelChanged(const char*) {
    return true;
}

int CALLBACK CFolderDialog::BrowseProc(HWND wnd, UINT message, LPARAM lParam, LPARAM data) {
    CFolderDialog* dialog = reinterpret_cast<CFolderDialog*>(data);
    try {
        if (message == BFFM_INITIALIZED) {
            if (!dialog->m_strInitialFolder.empty())
                ::SendMessageA(wnd, BFFM_SETSELECTIONA, TRUE,
                               reinterpret_cast<LPARAM>(dialog->m_strInitialFolder.c_str()));
            dialog->OnInitialized(wnd);
        } else if (message == BFFM_SELCHANGED) {
            char path[MAX_PATH] = "";
            bool isFolder = SHGetPathFromIDListA(reinterpret_cast<LPITEMIDLIST>(lParam), path);
            bool enable = isFolder && dialog->OnSelChanged(path);
            ::SendMessageA(wnd, BFFM_ENABLEOK, 0, enable ? 1 : 0);
        }
    } catch (...) {
        AfxReportCurrentException();
    }
    return 0;
}
