// CDlgAsTools. Layer: dialogs/.
#include "dialogs/DlgAsTools.h"

#include "common/PathName.h"
#include "dialogs/DlgIds.h"
#include "dialogs/SettingsHost.h"
#include "framework/FileDialog.h"
#include "framework/FolderDialog.h"
#include "framework/MessageBox.h"
#include "framework/ResourceText.h"

#include <utility>

BEGIN_MESSAGE_MAP(CDlgAsTools, CDlgAsBase)
ON_BN_CLICKED(IDC_TOOL_ADD, OnAdd)
ON_BN_CLICKED(IDC_TOOL_DEL, OnDelete)
ON_BN_CLICKED(IDC_TOOL_UP, OnUp)
ON_BN_CLICKED(IDC_TOOL_DN, OnDown)
ON_LBN_SELCHANGE(IDC_TOOL_LIST, OnSelect)
ON_BN_CLICKED(IDC_TOOL_PICK, OnPick)
ON_BN_CLICKED(IDC_TOOL_CMD_BROWSE, OnBrowseCommand)
ON_BN_CLICKED(IDC_TOOL_ARG_MENU, OnArgMenu)
ON_BN_CLICKED(IDC_TOOL_DIR_MENU, OnDirMenu)
END_MESSAGE_MAP()

namespace {
const int kFieldIds[] = {IDC_TOOL_NAME, IDC_TOOL_CMD, IDC_TOOL_ARG, IDC_TOOL_DIR};
const int kCheckIds[] = {IDC_TOOL_SAVE, IDC_TOOL_PROMPT, IDC_TOOL_CAPTURE, IDC_TOOL_DOSBOX};
} // namespace

CDlgAsTools::CDlgAsTools(CWnd* frame) : CDlgAsBase(IDD_AS_TOOLS, frame) {}

bool CDlgAsTools::OnInitDialog() {
    CDlgAsBase::OnInitDialog();
    m_loading = true;
    for (int id : kFieldIds)
        ::SendMessageA(GetDlgItem(id), EM_LIMITTEXT, MAX_PATH - 1, 0);
    if (SettingsStore* s = Store())
        m_tools = s->Tools();
    FillList(m_tools.empty() ? -1 : 0);
    m_loading = false;
    return true;
}

int CDlgAsTools::Selected() const {
    const LRESULT sel = ::SendMessageA(GetDlgItem(IDC_TOOL_LIST), LB_GETCURSEL, 0, 0);
    return sel == LB_ERR ? -1 : static_cast<int>(sel);
}

void CDlgAsTools::FillList(int select) {
    HWND list = GetDlgItem(IDC_TOOL_LIST);
    ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const UserToolInfo& t : m_tools)
        ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(t.name.c_str()));
    ::SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(select), 0);
    ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
    ShowTool();
}

void CDlgAsTools::ShowTool() {
    m_shown = Selected();
    const bool has = m_shown >= 0;
    const UserToolInfo empty;
    const UserToolInfo& t = has ? m_tools[static_cast<size_t>(m_shown)] : empty;
    const bool loading = m_loading;
    m_loading = true;
    SetItemText(IDC_TOOL_NAME, has ? t.name.c_str() : "");
    SetItemText(IDC_TOOL_CMD, has ? t.command.c_str() : "");
    SetItemText(IDC_TOOL_ARG, has ? t.argument.c_str() : "");
    SetItemText(IDC_TOOL_DIR, has ? t.initDir.c_str() : "");
    SetCheck(IDC_TOOL_SAVE, has && t.saveFiles);
    SetCheck(IDC_TOOL_PROMPT, has && t.promptForArg);
    SetCheck(IDC_TOOL_CAPTURE, has && t.captureOutput);
    SetCheck(IDC_TOOL_DOSBOX, has && t.dosBox);
    m_loading = loading;
    for (int id : kFieldIds)
        EnableItem(id, has);
    for (int id : kCheckIds)
        EnableItem(id, has);
    for (int id : {IDC_TOOL_PICK, IDC_TOOL_CMD_BROWSE, IDC_TOOL_ARG_MENU, IDC_TOOL_DIR_MENU})
        EnableItem(id, has);
}

// Every edit of a field goes into the selected tool at once; the name also renames its entry.
void CDlgAsTools::CollectField(int id) {
    if (m_loading || m_shown < 0 || m_shown >= static_cast<int>(m_tools.size()))
        return;
    UserToolInfo& t = m_tools[static_cast<size_t>(m_shown)];
    switch (id) {
    case IDC_TOOL_NAME: {
        t.name = ItemText(IDC_TOOL_NAME);
        HWND list = GetDlgItem(IDC_TOOL_LIST);
        m_loading = true;
        ::SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(m_shown), 0);
        ::SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(m_shown),
                       reinterpret_cast<LPARAM>(t.name.c_str()));
        ::SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(m_shown), 0);
        m_loading = false;
        break;
    }
    case IDC_TOOL_CMD:
        t.command = ItemText(id);
        break;
    case IDC_TOOL_ARG:
        t.argument = ItemText(id);
        break;
    case IDC_TOOL_DIR:
        t.initDir = ItemText(id);
        break;
    case IDC_TOOL_SAVE:
        t.saveFiles = IsChecked(id);
        break;
    case IDC_TOOL_PROMPT:
        t.promptForArg = IsChecked(id);
        break;
    case IDC_TOOL_CAPTURE:
        t.captureOutput = IsChecked(id);
        break;
    case IDC_TOOL_DOSBOX:
        t.dosBox = IsChecked(id);
        break;
    default:
        break;
    }
}

bool CDlgAsTools::OnCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    const bool result = CDlgAsBase::OnCommand(wParam, lParam);
    if ((code == EN_CHANGE && id >= IDC_TOOL_NAME && id <= IDC_TOOL_ARG) ||
        (code == BN_CLICKED && id >= IDC_TOOL_DOSBOX && id <= IDC_TOOL_SAVE))
        CollectField(id);
    return result;
}

void CDlgAsTools::OnSelect() {
    ShowTool();
}

void CDlgAsTools::OnAdd() {
    if (m_tools.size() >= static_cast<size_t>(SettingsStore::kMaxTools)) {
        AfxMessageBox(
            AfxFormat(AfxLoadString(IDS_TOO_MANY_TOOLS).c_str(), SettingsStore::kMaxTools).c_str(),
            MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const std::string pattern = AfxLoadString(IDS_NEW_TOOL);
    std::string name;
    for (int n = 1;; ++n) {
        name = AfxFormat(pattern.c_str(), n);
        bool used = false;
        for (const UserToolInfo& t : m_tools)
            used = used || t.name == name;
        if (!used)
            break;
    }
    UserToolInfo t;
    t.name = name;
    int at = Selected();
    if (at < 0)
        at = static_cast<int>(m_tools.size());
    m_tools.insert(m_tools.begin() + at, t);
    FillList(at);
    SetModified(true);
}

void CDlgAsTools::OnDelete() {
    const int sel = Selected();
    if (sel < 0) {
        AfxMessageBox(IDS_SELECT_ITEM_FIRST, MB_OK | MB_ICONINFORMATION);
        return;
    }
    m_tools.erase(m_tools.begin() + sel);
    const int count = static_cast<int>(m_tools.size());
    FillList(sel < count ? sel : count - 1);
    SetModified(true);
}

void CDlgAsTools::Move(int by) {
    const int sel = Selected();
    if (sel < 0) {
        AfxMessageBox(IDS_SELECT_ITEM_FIRST, MB_OK | MB_ICONINFORMATION);
        return;
    }
    const int to = sel + by;
    if (to < 0 || to >= static_cast<int>(m_tools.size()))
        return;
    std::swap(m_tools[static_cast<size_t>(sel)], m_tools[static_cast<size_t>(to)]);
    FillList(to);
    SetModified(true);
}

void CDlgAsTools::OnUp() {
    Move(-1);
}

void CDlgAsTools::OnDown() {
    Move(1);
}

void CDlgAsTools::OnPick() {
    std::string filter;
    if (SettingsStore* s = Store())
        filter = s->FileDialogFilter();
    CFileDialog dialog(true, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                       filter.empty() ? nullptr : filter.c_str(), this);
    if (dialog.DoModal() != IDOK)
        return;
    const std::string path = dialog.GetPathName();
    SetItemText(IDC_TOOL_NAME, FxPathFileName(path).c_str());
    if (ItemText(IDC_TOOL_CMD).empty())
        SetItemText(IDC_TOOL_CMD, path.c_str());
}

void CDlgAsTools::OnBrowseCommand() {
    const std::string filter = AfxLoadString(IDS_TOOL_PROGRAMS);
    CFileDialog dialog(true, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, filter.c_str(),
                       this);
    if (dialog.DoModal() == IDOK)
        SetItemText(IDC_TOOL_CMD, dialog.GetPathName().c_str());
}

void CDlgAsTools::InsertAtCaret(int id, const char* text) {
    HWND edit = GetDlgItem(id);
    ::SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
    ::SetFocus(edit);
}

void CDlgAsTools::PopupMenu(UINT menuId, int button, int edit) {
    HMENU menu = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(menuId));
    if (!menu)
        return;
    RECT rc;
    ::GetWindowRect(GetDlgItem(button), &rc);
    const UINT chosen = static_cast<UINT>(::TrackPopupMenu(
        ::GetSubMenu(menu, 0), TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON,
        rc.right, rc.top, 0, m_hWnd, nullptr));
    ::DestroyMenu(menu);
    if (!chosen)
        return;
    if (chosen == ID_TOOL_DIR_BROWSE) {
        const std::string current = ItemText(edit);
        CFolderDialog dialog(nullptr, current.c_str(), this);
        if (dialog.DoModal() == IDOK && !dialog.GetFolderPath().empty())
            SetItemText(edit, dialog.GetFolderPath().c_str());
        return;
    }
    static const struct {
        UINT id;
        const char* macro;
    } kMacros[] = {{ID_TOOL_ARG_FILEPATH, "$(FilePath)"},
                   {ID_TOOL_ARG_FILEDIR, "$(FileDir)"},
                   {ID_TOOL_ARG_FILENAME, "$(FileName)"},
                   {ID_TOOL_ARG_FILENAMENOEXT, "$(FileNameNoExt)"},
                   {ID_TOOL_ARG_FILEEXT, "$(FileExt)"}};
    for (const auto& m : kMacros)
        if (m.id == chosen)
            InsertAtCaret(edit, m.macro);
}

void CDlgAsTools::OnArgMenu() {
    PopupMenu(IDR_TOOL_ARG_MENU, IDC_TOOL_ARG_MENU, IDC_TOOL_ARG);
}

void CDlgAsTools::OnDirMenu() {
    PopupMenu(IDR_TOOL_DIR_MENU, IDC_TOOL_DIR_MENU, IDC_TOOL_DIR);
}

void CDlgAsTools::StoreValues() {
    SettingsStore* s = Store();
    if (!s)
        return;
    s->SetTools(m_tools);
    s->SaveTools();
    if (ISettingsHost* host = Host())
        host->RebuildToolsMenus();
}
