// CDlgAsFile. Layer: dialogs/.
#include "dialogs/DlgAsFile.h"

#include "settings/SettingsStore.h"
#include "dialogs/DlgIds.h"
#include "dialogs/SettingsHost.h"
#include "framework/MessageBox.h"
#include "framework/ResourceText.h"

#include <utility>

BEGIN_MESSAGE_MAP(CDlgAsFile, CDlgAsBase)
ON_BN_CLICKED(IDC_FILE_ADD, OnAdd)
ON_BN_CLICKED(IDC_FILE_DEL, OnDelete)
ON_BN_CLICKED(IDC_FILE_UP, OnUp)
ON_BN_CLICKED(IDC_FILE_DN, OnDown)
ON_LBN_SELCHANGE(IDC_FILE_LIST, OnSelect)
ON_EN_CHANGE(IDC_FILE_DESC, OnDescChanged)
ON_EN_CHANGE(IDC_FILE_EXT, OnExtChanged)
END_MESSAGE_MAP()

CDlgAsFile::CDlgAsFile(CWnd* frame) : CDlgAsBase(IDD_AS_FILE, frame) {}

bool CDlgAsFile::OnInitDialog() {
    CDlgAsBase::OnInitDialog();
    m_loading = true;
    ::SendMessageA(GetDlgItem(IDC_FILE_DESC), EM_LIMITTEXT, 259, 0);
    ::SendMessageA(GetDlgItem(IDC_FILE_EXT), EM_LIMITTEXT, 259, 0);
    if (SettingsStore* s = Store()) {
        m_filters = s->FileFilters();
        SetCheck(IDC_FILE_DETECT, s->FileChange().detectFileChanges);
        SetCheck(IDC_FILE_AUTORELOAD, s->FileChange().autoReload);
        SetCheck(IDC_FILE_PROTECT, s->FileChange().protectReadOnly);
    }
    FillList(m_filters.empty() ? -1 : 0);
    m_loading = false;
    return true;
}

int CDlgAsFile::Selected() const {
    const LRESULT sel = ::SendMessageA(GetDlgItem(IDC_FILE_LIST), LB_GETCURSEL, 0, 0);
    return sel == LB_ERR ? -1 : static_cast<int>(sel);
}

void CDlgAsFile::FillList(int select) {
    HWND list = GetDlgItem(IDC_FILE_LIST);
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const FileFilterInfo& f : m_filters)
        ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.description.c_str()));
    ::SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(select), 0);
    OnSelect();
}

void CDlgAsFile::OnSelect() {
    const int sel = Selected();
    const bool loading = m_loading;
    m_loading = true;
    SetItemText(IDC_FILE_DESC, sel >= 0 ? m_filters[sel].description.c_str() : "");
    SetItemText(IDC_FILE_EXT, sel >= 0 ? m_filters[sel].patterns.c_str() : "");
    m_loading = loading;
    EnableItem(IDC_FILE_DESC, sel >= 0);
    EnableItem(IDC_FILE_EXT, sel >= 0);
}

void CDlgAsFile::OnAdd() {
    const std::string pattern = AfxLoadString(IDS_NEW_FILTER);
    std::string name;
    for (int n = 1; n < 65535; ++n) {
        name = AfxFormat(pattern.c_str(), n);
        bool used = false;
        for (const FileFilterInfo& f : m_filters)
            used = used || f.description == name;
        if (!used)
            break;
    }
    FileFilterInfo f;
    f.description = name;
    f.patterns = "*.*";
    m_filters.push_back(f);
    FillList(static_cast<int>(m_filters.size()) - 1);
    SetModified(true);
}

void CDlgAsFile::OnDelete() {
    const int sel = Selected();
    if (sel < 0) {
        AfxMessageBox(IDS_SELECT_ITEM, MB_OK | MB_ICONINFORMATION);
        return;
    }
    m_filters.erase(m_filters.begin() + sel);
    const int count = static_cast<int>(m_filters.size());
    FillList(sel < count ? sel : count - 1);
    SetModified(true);
}

void CDlgAsFile::Move(int by) {
    const int sel = Selected();
    if (sel < 0) {
        AfxMessageBox(IDS_SELECT_ITEM, MB_OK | MB_ICONINFORMATION);
        return;
    }
    const int to = sel + by;
    if (to < 0 || to >= static_cast<int>(m_filters.size()))
        return;
    std::swap(m_filters[sel], m_filters[to]);
    FillList(to);
    SetModified(true);
}

void CDlgAsFile::OnUp() {
    Move(-1);
}

void CDlgAsFile::OnDown() {
    Move(1);
}

void CDlgAsFile::OnDescChanged() {
    const int sel = Selected();
    if (m_loading || sel < 0)
        return;
    m_filters[sel].description = ItemText(IDC_FILE_DESC);
    HWND list = GetDlgItem(IDC_FILE_LIST);
    m_loading = true;
    ::SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(sel), 0);
    ::SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(sel),
                   reinterpret_cast<LPARAM>(m_filters[sel].description.c_str()));
    ::SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(sel), 0);
    m_loading = false;
}

void CDlgAsFile::OnExtChanged() {
    const int sel = Selected();
    if (!m_loading && sel >= 0)
        m_filters[sel].patterns = ItemText(IDC_FILE_EXT);
}

void CDlgAsFile::StoreValues() {
    SettingsStore* s = Store();
    if (!s)
        return;
    FileChangeOptions& fc = s->FileChange();
    fc.detectFileChanges = IsChecked(IDC_FILE_DETECT);
    fc.autoReload = IsChecked(IDC_FILE_AUTORELOAD);
    fc.protectReadOnly = IsChecked(IDC_FILE_PROTECT);
    s->SetFileFilters(m_filters);
    s->SaveFileFilters();
    if (ISettingsHost* host = Host())
        host->FileFiltersChanged();
}
