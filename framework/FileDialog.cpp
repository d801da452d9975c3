// CFileDialog. Layer: framework/.
#include "framework/FileDialog.h"

#include "common/PathName.h"
#include "framework/Exception.h"
#include "framework/WinApp.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CFileDialog, CDialog)

CFileDialog::CFileDialog(bool openFileDialog, const char* defaultExt, const char* fileName,
                         DWORD flags, const char* filter, CWnd* parent)
    : m_bOpenFileDialog(openFileDialog) {
    m_pParentWnd = parent;
    std::memset(&m_ofn, 0, sizeof m_ofn);
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLEHOOK;
    m_ofn.hInstance = GetModuleHandleA(nullptr);
    m_ofn.lpfnHook = &CFileDialog::HookProc;
    m_ofn.lCustData = reinterpret_cast<LPARAM>(this);
    if (defaultExt) {
        m_defaultExt = defaultExt;
        m_ofn.lpstrDefExt = m_defaultExt.c_str();
    }
    if (filter) {
        m_filter = filter;
        for (char& c : m_filter) {
            if (c == '|')
                c = '\0';
        }
        m_filter.push_back('\0');
        m_ofn.lpstrFilter = m_filter.c_str();
    }
    SetFileBufferSize(MAX_PATH);
    if (fileName)
        lstrcpynA(m_fileBuffer.data(), fileName, static_cast<int>(m_fileBuffer.size()));
}

void CFileDialog::SetFileBufferSize(size_t bytes) {
    std::string keep = m_fileBuffer.empty() ? std::string() : std::string(m_fileBuffer.data());
    m_fileBuffer.assign(bytes < MAX_PATH ? MAX_PATH : bytes, '\0');
    lstrcpynA(m_fileBuffer.data(), keep.c_str(), static_cast<int>(m_fileBuffer.size()));
}

INT_PTR CFileDialog::DoModal() {
    m_ofn.lpstrFile = m_fileBuffer.data();
    m_ofn.nMaxFile = static_cast<DWORD>(m_fileBuffer.size());
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!owner && AfxGetMainWnd())
        owner = AfxGetMainWnd()->m_hWnd;
    m_ofn.hwndOwner = owner;
    BOOL ok = m_bOpenFileDialog ? GetOpenFileNameA(&m_ofn) : GetSaveFileNameA(&m_ofn);
    if (m_hWnd)
        Detach();
    return ok ? IDOK : IDCANCEL;
}

std::string CFileDialog::GetPathName() const {
    const char* buf = m_fileBuffer.data();
    if ((m_ofn.Flags & OFN_ALLOWMULTISELECT)) {
        std::vector<std::string> names = GetPathNames();
        return names.empty() ? std::string() : names.front();
    }
    return buf;
}

std::vector<std::string> CFileDialog::GetPathNames() const {
    std::vector<std::string> names;
    const char* p = m_fileBuffer.data();
    std::string first = p;
    p += first.size() + 1;
    if (!(m_ofn.Flags & OFN_ALLOWMULTISELECT) || !*p) {
        if (!first.empty())
            names.push_back(first);
        return names;
    }
    // A folder followed by the file names, each ended by a NUL, the list by two.
    const std::string folder = FxPathWithSeparator(first);
    while (*p) {
        std::string name = p;
        names.push_back(folder + name);
        p += name.size() + 1;
    }
    return names;
}

void CFileDialog::OnInitDone() {}

void CFileDialog::OnTypeChange() {}

bool CFileDialog::OnFileNameOK() {
    return true;
}

UINT_PTR CALLBACK CFileDialog::HookProc(HWND wnd, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        // wnd is the child dialog (the template or an empty one); the object attaches to it.
        OPENFILENAMEA* ofn = reinterpret_cast<OPENFILENAMEA*>(lParam);
        CFileDialog* dialog = reinterpret_cast<CFileDialog*>(ofn->lCustData);
        dialog->Attach(wnd);
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        CFileDialog* dialog = DynamicDowncast<CFileDialog>(FromHandle(wnd));
        if (!dialog)
            return 0;
        OFNOTIFYA* notify = reinterpret_cast<OFNOTIFYA*>(lParam);
        try {
            switch (notify->hdr.code) {
            case CDN_INITDONE:
                dialog->OnInitDone();
                break;
            case CDN_TYPECHANGE:
                dialog->OnTypeChange();
                break;
            case CDN_FILEOK:
                if (!dialog->OnFileNameOK()) {
                    SetWindowLongPtrA(wnd, DWLP_MSGRESULT, 1);
                    return 1;
                }
                break;
            }
        } catch (...) {
            AfxReportCurrentException();
        }
    }
    if (message == WM_DESTROY) {
        if (CWnd* dialog = FromHandle(wnd))
            dialog->Detach();
    }
    return 0;
}
