// The find and replace in files dialogs. Layer: app/.
#include "app/DlgFindInFiles.h"

#include "app/App.h"
#include "app/FindFilesIds.h"
#include "settings/SettingsStore.h"
#include "framework/FolderDialog.h"
#include "framework/MessageBox.h"
#include "framework/ResourceText.h"
#include "search/LineMatcher.h"
#include "search/SearchErrors.h"
#include "textdoc/Dbcs.h"

#include <cstring>
#include <vector>

namespace {

const int kBoxLimit = 4096;
const int kEncodingBoxes[4] = {IDC_FIF_ANSI, IDC_FIF_UTF8, IDC_FIF_UNICODE, IDC_FIF_UNICODE_BE};

// Chosen in this run only; off after start-up.
bool g_output2 = false;
bool g_backup = false;

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t'))
        --e;
    return s.substr(b, e - b);
}

SearchOptions& Options() {
    static SearchOptions fallback;
    SettingsStore* settings = AppSettings();
    return settings ? settings->Search() : fallback;
}

} // namespace

BEGIN_MESSAGE_MAP(CDlgFindInFiles, CDialog)
ON_BN_CLICKED(IDC_FIF_ADVANCED, OnAdvanced)
ON_BN_CLICKED(IDC_FIF_BROWSE, OnBrowse)
ON_BN_CLICKED(IDC_FIF_ANSI, OnInputChanged)
ON_BN_CLICKED(IDC_FIF_UTF8, OnInputChanged)
ON_BN_CLICKED(IDC_FIF_UNICODE, OnInputChanged)
ON_BN_CLICKED(IDC_FIF_UNICODE_BE, OnInputChanged)
ON_CONTROL(CBN_EDITCHANGE, IDC_FIF_WHAT, OnInputChanged)
ON_CONTROL(CBN_SELCHANGE, IDC_FIF_WHAT, OnInputChanged)
ON_CONTROL(CBN_EDITCHANGE, IDC_FIF_FILTERS, OnInputChanged)
ON_CONTROL(CBN_SELCHANGE, IDC_FIF_FILTERS, OnInputChanged)
ON_CONTROL(CBN_EDITCHANGE, IDC_FIF_FOLDER, OnInputChanged)
ON_CONTROL(CBN_SELCHANGE, IDC_FIF_FOLDER, OnInputChanged)
END_MESSAGE_MAP()

CDlgFindInFiles::CDlgFindInFiles(CWnd* parent, bool replace, const std::string& offered)
    : CDialog(replace ? IDD_REPLACE_IN_FILES : IDD_FIND_IN_FILES, parent), m_replace(replace),
      m_offered(offered) {}

std::string CDlgFindInFiles::BoxText(int id) const {
    HWND box = GetDlgItem(id);
    if (!box)
        return std::string();
    std::string text(static_cast<size_t>(::GetWindowTextLengthA(box)) + 1, '\0');
    text.resize(
        static_cast<size_t>(::GetWindowTextA(box, &text[0], static_cast<int>(text.size()))));
    return text;
}

// While a list entry is being chosen the edit text is not yet updated: the choice counts.
bool CDlgFindInFiles::BoxHasText(int id) const {
    HWND box = GetDlgItem(id);
    if (!box)
        return false;
    if (::GetWindowTextLengthA(box) > 0)
        return true;
    const LRESULT sel = ::SendMessageA(box, CB_GETCURSEL, 0, 0);
    return sel != CB_ERR && ::SendMessageA(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(sel), 0) > 0;
}

void CDlgFindInFiles::FillBox(int id, int kind) {
    HWND box = GetDlgItem(id);
    ::SendMessageA(box, CB_LIMITTEXT, kBoxLimit, 0);
    SettingsStore* settings = AppSettings();
    if (!settings)
        return;
    const std::vector<std::string>& list = settings->History(static_cast<HistoryKind>(kind));
    for (const std::string& item : list)
        ::SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    if (!list.empty())
        ::SetWindowTextA(box, list.front().c_str());
}

bool CDlgFindInFiles::OnInitDialog() {
    CDialog::OnInitDialog();
    FillBox(IDC_FIF_WHAT, HistoryFind);
    if (m_replace)
        FillBox(IDC_FIF_WITH, HistoryReplace);
    FillBox(IDC_FIF_FILTERS, HistoryFilters);
    FillBox(IDC_FIF_FOLDER, HistorySearchPath);
    if (!m_offered.empty())
        SetDlgItemTextA(m_hWnd, IDC_FIF_WHAT, m_offered.c_str());
    const SearchOptions& o = Options();
    CheckDlgButton(m_hWnd, IDC_FIF_MATCH_CASE, o.matchCase ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(m_hWnd, IDC_FIF_WHOLE_WORD, o.wholeWord ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(m_hWnd, IDC_FIF_REGEXP, o.regExp ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(m_hWnd, IDC_FIF_SUBFOLDERS, o.lookInSubFolders ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(m_hWnd, IDC_FIF_OUTPUT2, g_output2 ? BST_CHECKED : BST_UNCHECKED);
    if (m_replace)
        CheckDlgButton(m_hWnd, IDC_FIF_BACKUP, g_backup ? BST_CHECKED : BST_UNCHECKED);
    for (int id : kEncodingBoxes)
        CheckDlgButton(m_hWnd, id, BST_CHECKED);

    // The compact form ends just above the separator.
    RECT window, sep;
    ::GetWindowRect(m_hWnd, &window);
    ::GetWindowRect(GetDlgItem(IDC_FIF_SEPARATOR), &sep);
    m_fullHeight = window.bottom - window.top;
    m_compactHeight = sep.top - window.top;
    m_full = true;
    SetFullForm(false);
    OnInputChanged();
    return true;
}

void CDlgFindInFiles::SetFullForm(bool full) {
    if (full == m_full)
        return;
    m_full = full;
    RECT window;
    ::GetWindowRect(m_hWnd, &window);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, window.right - window.left,
                   full ? m_fullHeight : m_compactHeight,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(GetDlgItem(IDC_FIF_SEPARATOR), full ? SW_SHOW : SW_HIDE);
    for (int id : kEncodingBoxes)
        ::ShowWindow(GetDlgItem(id), full ? SW_SHOW : SW_HIDE);
}

void CDlgFindInFiles::OnAdvanced() {
    SetFullForm(!m_full);
}

void CDlgFindInFiles::OnBrowse() {
    CFolderDialog dlg(AfxLoadString(IDS_FIF_BROWSE_TITLE).c_str(),
                      Trim(BoxText(IDC_FIF_FOLDER)).c_str(), this);
    if (dlg.DoModal() != IDOK)
        return;
    SetDlgItemTextA(m_hWnd, IDC_FIF_FOLDER, dlg.GetFolderPath().c_str());
    OnInputChanged();
}

bool CDlgFindInFiles::CanStart() const {
    bool anyEncoding = false;
    for (int id : kEncodingBoxes)
        anyEncoding = anyEncoding || IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED;
    return anyEncoding && BoxHasText(IDC_FIF_WHAT) && BoxHasText(IDC_FIF_FOLDER) &&
           BoxHasText(IDC_FIF_FILTERS);
}

void CDlgFindInFiles::OnInputChanged() {
    ::EnableWindow(GetDlgItem(IDOK), CanStart());
}

bool CDlgFindInFiles::IsValidFolder(const std::string& folder) {
    std::string path = Trim(folder);
    // One trailing "\" goes, but only when it is a character of its own, not the trail byte
    // of a double-byte character.
    int32_t last = -1;
    const int32_t len = static_cast<int32_t>(path.size());
    for (int32_t i = 0; i < len;
         i += FxCharLen(path.data(), static_cast<size_t>(i), static_cast<size_t>(len)))
        last = i;
    if (last >= 0 && last == len - 1 && path[static_cast<size_t>(last)] == '\\' && len > 1)
        path.resize(static_cast<size_t>(last));
    if (path.empty())
        return false;
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\')
        return true;
    const DWORD attrs = ::GetFileAttributesA(path.c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY);
}

void CDlgFindInFiles::PushToBox(int id, const std::string& text) {
    HWND box = GetDlgItem(id);
    const int count = static_cast<int>(::SendMessageA(box, CB_GETCOUNT, 0, 0));
    for (int i = count - 1; i >= 0; --i) {
        const LRESULT n = ::SendMessageA(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        if (n < 0 || n > kBoxLimit)
            continue;
        std::string item(static_cast<size_t>(n) + 1, '\0');
        ::SendMessageA(box, CB_GETLBTEXT, static_cast<WPARAM>(i),
                       reinterpret_cast<LPARAM>(&item[0]));
        item.resize(static_cast<size_t>(n));
        if (item == text)
            ::SendMessageA(box, CB_DELETESTRING, static_cast<WPARAM>(i), 0);
    }
    ::SendMessageA(box, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    while (::SendMessageA(box, CB_GETCOUNT, 0, 0) > SettingsStore::kHistoryLimit)
        ::SendMessageA(box, CB_DELETESTRING, SettingsStore::kHistoryLimit, 0);
    ::SetWindowTextA(box, text.c_str());
}

void CDlgFindInFiles::StoreHistory(int id, int kind) {
    SettingsStore* settings = AppSettings();
    if (!settings)
        return;
    settings->UpdateHistoryFromCombo(static_cast<HistoryKind>(kind), GetDlgItem(id));
    settings->SaveHistory(static_cast<HistoryKind>(kind));
}

void CDlgFindInFiles::OnOK() {
    if (!CanStart()) {
        MessageBeep(MB_OK);
        return;
    }
    if (m_replace &&
        AfxMessageBox(IDS_FIF_CONFIRM_REPLACE, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
        return;
    const std::string find = BoxText(IDC_FIF_WHAT);
    const std::string with = m_replace ? BoxText(IDC_FIF_WITH) : std::string();
    const std::string folder = Trim(BoxText(IDC_FIF_FOLDER));
    const std::string filters = Trim(BoxText(IDC_FIF_FILTERS));
    if (find.empty() || folder.empty() || filters.empty() || FxSplitFilters(filters).empty()) {
        MessageBeep(MB_OK);
        return;
    }
    if (!IsValidFolder(folder)) {
        AfxMessageBox(AfxFormatString1(IDS_FIF_BAD_FOLDER, folder.c_str()).c_str(),
                      MB_OK | MB_ICONSTOP);
        return;
    }
    const bool matchCase = IsDlgButtonChecked(m_hWnd, IDC_FIF_MATCH_CASE) == BST_CHECKED;
    const bool wholeWord = IsDlgButtonChecked(m_hWnd, IDC_FIF_WHOLE_WORD) == BST_CHECKED;
    const bool regExp = IsDlgButtonChecked(m_hWnd, IDC_FIF_REGEXP) == BST_CHECKED;
    // A pattern that cannot be searched for is refused here, with its fault, before any
    // worker starts.
    if (regExp) {
        FxLineMatcher check;
        FxMatchOptions o;
        o.matchCase = matchCase;
        o.regExp = true;
        if (!check.Prepare(find.data(), static_cast<int32_t>(find.size()), o)) {
            const unsigned id = FxSearchErrorStringId(check.Error());
            AfxMessageBox(
                AfxFormat(AfxLoadString(id).c_str(), find.c_str(), check.ErrorChar()).c_str(),
                MB_OK | MB_ICONEXCLAMATION);
            return;
        }
    }

    PushToBox(IDC_FIF_WHAT, find);
    // An empty replacement (deleting the find text) is no history entry: the stored list ends
    // at its first empty entry, so one at the top would wipe the list.
    if (m_replace && !with.empty())
        PushToBox(IDC_FIF_WITH, with);
    PushToBox(IDC_FIF_FILTERS, filters);
    PushToBox(IDC_FIF_FOLDER, folder);
    SearchOptions& o = Options();
    o.matchCase = matchCase;
    o.wholeWord = wholeWord;
    o.regExp = regExp;
    o.lookInSubFolders = IsDlgButtonChecked(m_hWnd, IDC_FIF_SUBFOLDERS) == BST_CHECKED;
    g_output2 = IsDlgButtonChecked(m_hWnd, IDC_FIF_OUTPUT2) == BST_CHECKED;
    if (m_replace)
        g_backup = IsDlgButtonChecked(m_hWnd, IDC_FIF_BACKUP) == BST_CHECKED;
    SettingsStore* settings = AppSettings();
    if (settings) {
        settings->SetSearchDirty();
        settings->SaveSearch();
    }

    FxFileSearch& r = m_request;
    r = FxFileSearch();
    r.outputKey = g_output2 ? 4 : 3;
    r.find = find;
    r.replacement = with;
    r.filters = filters;
    r.folder = folder;
    r.replace = m_replace;
    r.matchCase = matchCase;
    r.wholeWord = wholeWord;
    r.regExp = regExp;
    r.subFolders = o.lookInSubFolders;
    r.backup = m_replace && g_backup;
    for (int i = 0; i < 4; ++i)
        r.encodings[i] = IsDlgButtonChecked(m_hWnd, kEncodingBoxes[i]) == BST_CHECKED;
    // Everything the worker needs of the settings is read here, on this thread.
    if (settings)
        r.backupFolder = settings->Backup().backupPath;
    for (const std::string& p : FxSplitFilters(filters))
        r.patterns.push_back(
            {p, settings ? settings->DelimitersForPath(p.c_str()) : std::string()});
    r.texts = FxLoadFileSearchTexts();

    StoreHistory(IDC_FIF_WHAT, HistoryFind);
    if (m_replace)
        StoreHistory(IDC_FIF_WITH, HistoryReplace);
    StoreHistory(IDC_FIF_FILTERS, HistoryFilters);
    StoreHistory(IDC_FIF_FOLDER, HistorySearchPath);
    EndDialog(IDOK);
}
