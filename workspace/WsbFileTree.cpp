// CWsbFileTree. Layer: workspace/.
#include "workspace/WsbFileTree.h"

#include "common/LeadBytes.h"
#include "common/PathName.h"
#include "common/UiResources.h"
#include "framework/CmdUI.h"
#include "framework/Dpi.h"
#include "framework/MessageBox.h"
#include "framework/ResourceText.h"
#include "framework/WinApp.h"
#include "workspace/FileTreeIds.h"
#include "workspace/ShellFileOps.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <vector>

IMPLEMENT_DYNAMIC(CWsbFileTree, CWnd)

namespace {

// Posted to the page when a label edit renamed an object: the parent is read again once the
// edit control is gone.
const UINT kRenameDoneMessage = WM_APP + 0x141;
const size_t kMaxPatternBytes = 259;

// The fields of a "|"-separated list; "|" may be the second byte of a double-byte character.
std::vector<std::string> SplitBars(const std::string& text) {
    std::vector<std::string> fields;
    std::string field;
    for (size_t i = 0; i < text.size();) {
        const size_t n = static_cast<size_t>(FxCharLen(text.data(), i, text.size()));
        if (n == 1 && text[i] == '|') {
            fields.push_back(field);
            field.clear();
        } else {
            field.append(text, i, n);
        }
        i += n;
    }
    if (!field.empty())
        fields.push_back(field);
    return fields;
}

// A pattern as the filter box holds it: at most kMaxPatternBytes, cut between characters.
std::string CutPattern(const std::string& text) {
    return text.substr(0, FxCutLength(text.data(), text.size(), kMaxPatternBytes));
}

// A message naming a path with one "%s".
void ShowPathMessage(UINT id, const std::wstring& path, UINT icon) {
    AfxMessageBox(AfxFormatString1(id, ShellPathToAnsi(path).c_str()).c_str(), MB_OK | icon);
}

} // namespace

// --- The filter's edit field ---------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CFileTreeFilterEdit, CWnd)
ON_WM_KEYDOWN()
ON_WM_CHAR()
END_MESSAGE_MAP()

void CFileTreeFilterEdit::OnKeyDown(UINT key, UINT repeat, UINT flags) {
    if (key == VK_RETURN && m_owner) {
        static_cast<CWsbFileTree*>(m_owner)->ApplyFilter(GetWindowText());
        ::SendMessageA(m_hWnd, EM_SETSEL, 0, -1);
        return;
    }
    CWnd::OnKeyDown(key, repeat, flags);
}

void CFileTreeFilterEdit::OnChar(UINT key, UINT repeat, UINT flags) {
    if (key == '\r')
        return; // taken by the key press; an edit field would only beep
    CWnd::OnChar(key, repeat, flags);
}

// --- The page ------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CWsbFileTree, CWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_SIZE()
ON_WM_TIMER()
ON_WM_SYSCOLORCHANGE()
ON_MESSAGE(WM_FXDPICHANGED, OnFxDpiChanged)
ON_WM_CONTEXTMENU()
ON_CBN_SELCHANGE(CWsbFileTree::kFilterId, OnFilterSelChange)
ON_MESSAGE(WM_MENUSELECT, OnMenuSelectForward)
ON_MESSAGE(WM_EXITMENULOOP, OnExitMenuLoopForward)
ON_MESSAGE(kRenameDoneMessage, OnRenameDone)
ON_COMMAND(ID_FILETREE_OPEN, OnOpen)
ON_COMMAND(ID_FILETREE_SHELLOPEN, OnShellOpen)
ON_COMMAND(ID_FILETREE_COPY, OnCopy)
ON_COMMAND(ID_FILETREE_PASTE, OnPaste)
ON_COMMAND(ID_FILETREE_DELETE, OnDelete)
ON_COMMAND(ID_FILETREE_RENAME, OnRename)
ON_COMMAND(ID_FILETREE_NEWFILE, OnNewFile)
ON_COMMAND(ID_FILETREE_NEWFOLDER, OnNewFolder)
ON_COMMAND_RANGE(ID_FILETREE_SORT_SIZE, ID_FILETREE_SORT_DATE, OnSort)
ON_COMMAND_RANGE(ID_FILETREE_SORT_TYPE, ID_FILETREE_SORT_NAME, OnSort)
ON_COMMAND(ID_FILETREE_REFRESH, OnRefresh)
ON_COMMAND(ID_FILETREE_SHOWHIDDEN, OnShowHidden)
ON_COMMAND(ID_FILETREE_SHOWNONFS, OnShowNonFileSystem)
ON_COMMAND(ID_FILETREE_PROPERTIES, OnProperties)
ON_UPDATE_COMMAND_UI(ID_FILETREE_OPEN, OnUpdateOpen)
ON_UPDATE_COMMAND_UI(ID_FILETREE_SHELLOPEN, OnUpdateAlways)
ON_UPDATE_COMMAND_UI(ID_FILETREE_REFRESH, OnUpdateAlways)
ON_UPDATE_COMMAND_UI(ID_FILETREE_COPY, OnUpdateCopy)
ON_UPDATE_COMMAND_UI(ID_FILETREE_PASTE, OnUpdatePaste)
ON_UPDATE_COMMAND_UI(ID_FILETREE_DELETE, OnUpdateDelete)
ON_UPDATE_COMMAND_UI(ID_FILETREE_RENAME, OnUpdateRename)
ON_UPDATE_COMMAND_UI(ID_FILETREE_NEWFILE, OnUpdateNew)
ON_UPDATE_COMMAND_UI(ID_FILETREE_NEWFOLDER, OnUpdateNew)
ON_UPDATE_COMMAND_UI_RANGE(ID_FILETREE_SORT_SIZE, ID_FILETREE_SORT_DATE, OnUpdateSort)
ON_UPDATE_COMMAND_UI_RANGE(ID_FILETREE_SORT_TYPE, ID_FILETREE_SORT_NAME, OnUpdateSort)
ON_UPDATE_COMMAND_UI(ID_FILETREE_SHOWHIDDEN, OnUpdateShowHidden)
ON_UPDATE_COMMAND_UI(ID_FILETREE_SHOWNONFS, OnUpdateShowNonFileSystem)
ON_UPDATE_COMMAND_UI(ID_FILETREE_PROPERTIES, OnUpdateProperties)
END_MESSAGE_MAP()

CWsbFileTree::CWsbFileTree() = default;
CWsbFileTree::~CWsbFileTree() = default;

bool CWsbFileTree::Create(CWnd* parent, const RECT& rect, UINT id, DWORD style) {
    const char* cls = RegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    return CreateEx(0, cls, nullptr, style, rect, parent, id);
}

DWORD CWsbFileTree::FlagsFromSettings(const IFileTreeHost::ViewSettings& settings) {
    static const DWORD kModes[] = {ShellTreeCtrl::kSortByName, ShellTreeCtrl::kSortByType,
                                   ShellTreeCtrl::kSortBySize, ShellTreeCtrl::kSortByDate};
    DWORD flags = (settings.sortBy >= 1 && settings.sortBy <= 4) ? kModes[settings.sortBy - 1]
                                                                 : ShellTreeCtrl::kSortByName;
    if (settings.showHidden)
        flags |= ShellTreeCtrl::kShowHidden;
    if (settings.showNonFileSystem)
        flags |= ShellTreeCtrl::kShowNonFileSystem;
    return flags;
}

IFileTreeHost::ViewSettings CWsbFileTree::SettingsFromFlags(DWORD flags) {
    IFileTreeHost::ViewSettings settings;
    switch (flags & ShellTreeCtrl::kSortMask) {
    case ShellTreeCtrl::kSortByType:
        settings.sortBy = 2;
        break;
    case ShellTreeCtrl::kSortBySize:
        settings.sortBy = 3;
        break;
    case ShellTreeCtrl::kSortByDate:
        settings.sortBy = 4;
        break;
    default:
        settings.sortBy = 1;
        break;
    }
    settings.showHidden = (flags & ShellTreeCtrl::kShowHidden) != 0;
    settings.showNonFileSystem = (flags & ShellTreeCtrl::kShowNonFileSystem) != 0;
    return settings;
}

int CWsbFileTree::OnCreate(LPCREATESTRUCTA cs) {
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    m_dpi = FxDpiOf(m_hWnd);
    const RECT box = {0, 0, cs->cx, FxScale(kDroppedHeight, m_dpi)};
    if (!m_filter.Create(WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL |
                             CBS_NOINTEGRALHEIGHT,
                         box, this, kFilterId))
        return -1;
    if (HWND edit = ::GetWindow(m_filter.m_hWnd, GW_CHILD)) {
        m_filterEdit.m_owner = this;
        m_filterEdit.SubclassWindow(edit);
    }
    const RECT rc = {0, 0, cs->cx, cs->cy};
    if (!m_tree.Create(WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                           TVS_EDITLABELS | TVS_DISABLEDRAGDROP | TVS_SHOWSELALWAYS |
                           TVS_NONEVENHEIGHT,
                       rc, this, kTreeId, WS_EX_CLIENTEDGE))
        return -1;
    IFileTreeHost::ViewSettings settings;
    if (m_host)
        settings = m_host->ReadFileTreeSettings();
    m_tree.SetViewFlags(FlagsFromSettings(settings));
    ApplyFont();
    FillFilterBox();
    Layout();
    return 0;
}

void CWsbFileTree::OnDestroy() {
    KillTimer(kDriveTimer);
    if (m_filterEdit.m_hWnd)
        m_filterEdit.UnsubclassWindow();
    if (m_host)
        m_host->WriteFileTreeSettings(SettingsFromFlags(m_tree.GetViewFlags()));
    CWnd::OnDestroy();
}

LRESULT CWsbFileTree::OnFxDpiChanged(WPARAM dpi, LPARAM) {
    if (!dpi || dpi == m_dpi)
        return 0;
    m_dpi = static_cast<UINT>(dpi);
    ApplyFont();
    Layout();
    return 0;
}

void CWsbFileTree::ApplyFont() {
    HFONT font = SharedUi().IsInitialised() ? SharedUi().m_font : nullptr;
    if (!font)
        font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    font = m_dpiFont.Get(font, m_dpi);
    if (m_tree.m_hWnd)
        m_tree.SetFont(font);
    if (m_filter.m_hWnd)
        m_filter.SetFont(font);
}

void CWsbFileTree::AddFilterPatterns() {
    if (!m_host)
        return;
    // Description, patterns, description, patterns, ...: every second field.
    const std::vector<std::string> fields = SplitBars(m_host->FileFilterList());
    for (size_t i = 1; i < fields.size(); i += 2) {
        if (fields[i - 1].empty() && fields[i].empty())
            break;
        m_filter.AddString(CutPattern(fields[i]).c_str());
    }
}

void CWsbFileTree::FillFilterBox() {
    m_filter.ResetContent();
    AddFilterPatterns();
    if (m_filter.GetCount() > 0) {
        m_filter.SetCurSel(0);
        m_filter.SendMessage(CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
        ApplyFilter(m_filter.GetLBText(0));
    }
}

void CWsbFileTree::ApplyFilter(const std::string& text) {
    if (text.empty())
        return;
    m_currentFilter = text;
    // A pattern typed into the field joins the list for the rest of the session.
    if (m_filter.SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                             reinterpret_cast<LPARAM>(text.c_str())) == CB_ERR) {
        m_filter.SendMessage(CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        m_filter.SetWindowText(text.c_str());
    }
    m_tree.Refresh(text.c_str());
}

void CWsbFileTree::ReloadFilterList() {
    if (!m_filter.m_hWnd)
        return;
    m_filter.ResetContent();
    AddFilterPatterns();
    for (int i = 0; i < m_filter.GetCount(); ++i) {
        if (m_filter.GetLBText(i) == m_currentFilter) {
            // The tree shows this filter already: the box only selects it again.
            m_filter.SetCurSel(i);
            return;
        }
    }
    if (m_filter.GetCount() > 0) {
        m_filter.SetCurSel(0);
        m_filter.SendMessage(CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
        ApplyFilter(m_filter.GetLBText(0));
        return;
    }
    m_currentFilter.clear();
    m_filter.SetWindowText("");
    m_tree.Refresh("*.*");
}

void CWsbFileTree::OnFilterSelChange() {
    const int index = m_filter.GetCurSel();
    if (index >= 0)
        ApplyFilter(m_filter.GetLBText(index));
}

void CWsbFileTree::Layout() {
    if (!m_tree.m_hWnd || !m_filter.m_hWnd)
        return;
    RECT client;
    GetClientRect(&client);
    ::SetWindowPos(m_filter.m_hWnd, nullptr, 0, 0, client.right, FxScale(kDroppedHeight, m_dpi),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    RECT box;
    m_filter.GetWindowRect(&box);
    const int top = box.bottom - box.top + FxScale(2, m_dpi);
    ::SetWindowPos(m_tree.m_hWnd, nullptr, 0, top, client.right,
                   client.bottom > top ? client.bottom - top : 0, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWsbFileTree::OnSize(UINT type, int cx, int cy) {
    CWnd::OnSize(type, cx, cy);
    Layout();
}

void CWsbFileTree::OnTimer(UINT_PTR id) {
    if (id != kDriveTimer) {
        CWnd::OnTimer(id);
        return;
    }
    // Volumes came or went: read the tree again once the burst of notices is over.
    KillTimer(kDriveTimer);
    m_tree.Refresh();
}

void CWsbFileTree::OnSysColorChange() {
    CWnd::OnSysColorChange();
    ApplyFont();
}

// The context menu's prompts go to the status bar, as the frame's own menus do.
LRESULT CWsbFileTree::OnMenuSelectForward(WPARAM wParam, LPARAM lParam) {
    CWnd* frame = AfxGetMainWnd();
    return frame ? frame->SendMessage(WM_MENUSELECT, wParam, lParam) : 0;
}

LRESULT CWsbFileTree::OnExitMenuLoopForward(WPARAM wParam, LPARAM lParam) {
    CWnd* frame = AfxGetMainWnd();
    return frame ? frame->SendMessage(WM_EXITMENULOOP, wParam, lParam) : 0;
}

// --- Tree notifications --------------------------------------------------------------------------

bool CWsbFileTree::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    NMHDR* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (!hdr || hdr->hwndFrom != m_tree.m_hWnd)
        return CWnd::OnNotify(wParam, lParam, result);
    switch (hdr->code) {
    case NM_DBLCLK: {
        POINT pt;
        ::GetCursorPos(&pt);
        ::ScreenToClient(m_tree.m_hWnd, &pt);
        UINT flags = 0;
        HTREEITEM item = m_tree.HitTest(pt, &flags);
        if (item && (flags & TVHT_ONITEM) && m_tree.IsFileItem(item)) {
            OpenInEditor(item);
            *result = 1;
            return true;
        }
        *result = 0;
        return true;
    }
    case NM_RETURN: {
        HTREEITEM item = m_tree.GetSelectedItem();
        if (m_tree.IsFileItem(item))
            OpenInEditor(item);
        *result = 1;
        return true;
    }
    case NM_RCLICK: {
        POINT screen;
        ::GetCursorPos(&screen);
        POINT pt = screen;
        ::ScreenToClient(m_tree.m_hWnd, &pt);
        UINT flags = 0;
        HTREEITEM item = m_tree.HitTest(pt, &flags);
        ShowContextMenu(screen, (flags & TVHT_ONITEM) ? item : nullptr);
        *result = 1;
        return true;
    }
    case TVN_BEGINLABELEDITA: {
        // Only objects the shell lets rename get a label edit.
        NMTVDISPINFOA* info = reinterpret_cast<NMTVDISPINFOA*>(hdr);
        *result = HasAttribute(info->item.hItem, SFGAO_CANRENAME) ? 0 : 1;
        return true;
    }
    case TVN_ENDLABELEDITA: {
        NMTVDISPINFOA* info = reinterpret_cast<NMTVDISPINFOA*>(hdr);
        *result = 0; // the label is never taken as typed; a refresh shows the object's name
        if (!info->item.pszText)
            return true;
        if (m_tree.RenameItem(info->item.hItem, info->item.pszText, false)) {
            m_renamedParent = m_tree.GetParentItem(info->item.hItem);
            m_renamePending = true;
            PostMessage(kRenameDoneMessage);
        }
        return true;
    }
    case TVN_DELETEITEMA: {
        HTREEITEM gone = reinterpret_cast<NMTREEVIEWA*>(hdr)->itemOld.hItem;
        for (HTREEITEM* held : {&m_pasteTarget, &m_deleteItem, &m_renameItem, &m_propertiesItem,
                                &m_openItem, &m_newFileTarget, &m_newFolderTarget})
            if (*held == gone)
                *held = nullptr;
        if (m_renamedParent == gone)
            m_renamedParent = nullptr; // the whole tree will do
        break;
    }
    default:
        break;
    }
    if (m_tree.HandleNotify(hdr, result))
        return true;
    return CWnd::OnNotify(wParam, lParam, result);
}

LRESULT CWsbFileTree::OnRenameDone(WPARAM, LPARAM) {
    if (!m_renamePending)
        return 0;
    m_renamePending = false;
    HTREEITEM parent = m_renamedParent;
    m_renamedParent = nullptr;
    if (parent)
        m_tree.RefreshItem(parent);
    else
        m_tree.Refresh();
    return 0;
}

// --- Context menu --------------------------------------------------------------------------------

void CWsbFileTree::ChooseTargets(HTREEITEM hit) {
    HTREEITEM item = hit;
    if (hit)
        m_tree.SelectItem(hit);
    else
        item = m_tree.GetSelectedItem();
    m_openItem = m_deleteItem = m_renameItem = m_propertiesItem = item;
    // Without an item under the pointer, paste and new act on the desktop.
    m_pasteTarget = m_newFileTarget = m_newFolderTarget = hit;
}

void CWsbFileTree::ShowContextMenu(POINT screenPt, HTREEITEM hit) {
    ChooseTargets(hit);
    HMENU menu = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_FILETREE_MENU));
    if (!menu)
        return;
    if (HMENU popup = ::GetSubMenu(menu, 0))
        AfxTrackPopupMenu(popup, screenPt, this);
    ::DestroyMenu(menu);
}

void CWsbFileTree::OnContextMenu(HWND, POINT pt) {
    // The menu key: the selected item, no target for paste and new.
    ShowContextMenu(pt, nullptr);
}

bool CWsbFileTree::HasAttribute(HTREEITEM item, DWORD attribute) const {
    DWORD attributes = 0;
    return item && m_tree.GetItemAttributes(item, &attributes) && (attributes & attribute);
}

bool CWsbFileTree::IsDropTarget(HTREEITEM item) const {
    if (!item)
        return true;
    DWORD a = 0;
    return m_tree.GetItemAttributes(item, &a) && (a & SFGAO_FILESYSTEM) && (a & SFGAO_FOLDER) &&
           !(a & SFGAO_LINK);
}

std::wstring CWsbFileTree::TargetFolder(HTREEITEM target) const {
    if (target)
        return m_tree.GetItemPathW(target);
    wchar_t desktop[MAX_PATH] = L"";
    if (!SHGetSpecialFolderPathW(m_hWnd, desktop, CSIDL_DESKTOPDIRECTORY, FALSE))
        return std::wstring();
    return desktop;
}

// --- Commands ------------------------------------------------------------------------------------

void CWsbFileTree::OpenInEditor(HTREEITEM item) {
    const std::wstring path = m_tree.GetItemPathW(item);
    if (path.empty() || !m_host)
        return;
    // The editor opens files by their ANSI paths: one that is not exact would name another
    // file, or none.
    bool exact = false;
    const std::string ansi = ShellPathToAnsi(path, &exact);
    if (!exact) {
        ShowPathMessage(IDS_FILETREE_NOTANSI, path, MB_ICONEXCLAMATION);
        return;
    }
    m_host->OpenInEditor(ansi.c_str());
}

void CWsbFileTree::ShellExecuteItem(HTREEITEM item, const char* verb) {
    if (!item)
        return;
    LPITEMIDLIST pidl = m_tree.GetItemIdList(item);
    if (!pidl)
        return;
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_INVOKEIDLIST;
    info.hwnd = m_hWnd;
    info.lpVerb = verb;
    info.lpIDList = pidl;
    info.nShow = SW_SHOWNORMAL;
    ::ShellExecuteExA(&info);
    ILFree(pidl);
}

bool CWsbFileTree::CopyItem(HTREEITEM item) {
    const std::wstring path = item ? m_tree.GetItemPathW(item) : std::wstring();
    return !path.empty() && ShellPutDropList(m_hWnd, path);
}

bool CWsbFileTree::PasteInto(HTREEITEM target) {
    const std::wstring folder = TargetFolder(target);
    std::vector<std::wstring> from;
    if (folder.empty() || !ShellReadDropList(m_hWnd, &from) || from.empty())
        return false;
    // Another program's list may name a pattern; only what the list names is copied.
    for (const std::wstring& path : from) {
        if (ShellPathHasWildcard(path)) {
            ShowPathMessage(IDS_FILETREE_WILDCARD, path, MB_ICONEXCLAMATION);
            return false;
        }
    }
    if (!ShellCopyInto(m_hWnd, from, folder).Succeeded())
        return false;
    m_tree.Refresh();
    return true;
}

void CWsbFileTree::DeleteItem(HTREEITEM item, bool permanently) {
    DWORD attributes = 0;
    if (!item || !m_tree.GetItemAttributes(item, &attributes)) {
        AfxMessageBox(IDS_FILETREE_NOITEM, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const std::wstring path = m_tree.GetItemPathW(item);
    if (path.empty() || !(attributes & SFGAO_CANDELETE)) {
        ShowPathMessage(IDS_FILETREE_READONLY, path, MB_ICONEXCLAMATION);
        return;
    }
    if (ShellPathHasWildcard(path)) {
        ShowPathMessage(IDS_FILETREE_WILDCARD, path, MB_ICONEXCLAMATION);
        return;
    }
    const ShellOpResult result = ShellDeletePath(m_hWnd, path, permanently);
    if (result.aborted || result.code == ERROR_CANCELLED)
        return; // the user said no
    if (result.code != 0) {
        ShowPathMessage(IDS_FILETREE_DELETEFAILED, path, MB_ICONSTOP);
        return;
    }
    if (!ShellPathExists(path))
        m_tree.DeleteItem(item);
}

std::string CWsbFileTree::FreeName(const std::wstring& folder, const std::string& pattern) {
    // "%" is never the second byte of a double-byte character.
    const size_t mark = pattern.find("%d");
    for (int n = 1; n <= kMaxNewNames; ++n) {
        std::string name = pattern;
        if (mark != std::string::npos)
            name.replace(mark, 2, std::to_string(n));
        else
            name += std::to_string(n);
        WIN32_FIND_DATAW find;
        HANDLE h = ::FindFirstFileW(ShellPathJoin(folder, ShellPathFromAnsi(name)).c_str(), &find);
        if (h == INVALID_HANDLE_VALUE)
            return name;
        ::FindClose(h);
    }
    return std::string();
}

HTREEITEM CWsbFileTree::NewFile(HTREEITEM target, bool folder) {
    const UINT failId = folder ? IDS_FILETREE_NEWFOLDERFAILED : IDS_FILETREE_NEWFILEFAILED;
    const std::wstring dir = TargetFolder(target);
    std::string name;
    DWORD error = ERROR_PATH_NOT_FOUND;
    if (!dir.empty()) {
        name = FreeName(dir, AfxLoadString(folder ? IDS_FILETREE_NEWFOLDER : IDS_FILETREE_NEWFILE));
        error = ERROR_FILE_EXISTS;
    }
    bool made = false;
    if (!name.empty()) {
        const std::wstring path = ShellPathJoin(dir, ShellPathFromAnsi(name));
        if (folder) {
            made = ::CreateDirectoryW(path.c_str(), nullptr) != FALSE;
        } else {
            HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                     CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            made = h != INVALID_HANDLE_VALUE;
            if (made)
                ::CloseHandle(h);
        }
        if (!made)
            error = ::GetLastError();
    }
    if (!made) {
        AfxMessageBox(AfxFormatString1(failId, AfxSystemErrorText(error).c_str()).c_str(),
                      MB_OK | MB_ICONSTOP);
        return nullptr;
    }
    if (target)
        m_tree.RefreshItem(target);
    else
        m_tree.Refresh();
    // The user names the new object at once.
    HTREEITEM item = m_tree.FindChild(target, name.c_str(), folder);
    if (item) {
        m_tree.SelectItem(item);
        m_tree.EnsureVisible(item);
        m_tree.SetFocus();
        m_tree.EditLabel(item);
    }
    return item;
}

void CWsbFileTree::OnOpen() {
    if (m_tree.IsFileItem(m_openItem))
        OpenInEditor(m_openItem);
}

void CWsbFileTree::OnShellOpen() {
    ShellExecuteItem(m_openItem, nullptr);
}

void CWsbFileTree::OnCopy() {
    CopyItem(m_deleteItem);
}

void CWsbFileTree::OnPaste() {
    PasteInto(m_pasteTarget);
}

void CWsbFileTree::OnDelete() {
    DeleteItem(m_deleteItem, ::GetKeyState(VK_SHIFT) < 0);
}

void CWsbFileTree::OnRename() {
    if (!m_renameItem) {
        AfxMessageBox(IDS_FILETREE_NOITEM, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_tree.SetFocus();
    m_tree.EditLabel(m_renameItem);
}

void CWsbFileTree::OnNewFile() {
    NewFile(m_newFileTarget, false);
}

void CWsbFileTree::OnNewFolder() {
    NewFile(m_newFolderTarget, true);
}

void CWsbFileTree::OnSort(UINT id) {
    switch (id) {
    case ID_FILETREE_SORT_TYPE:
        m_tree.SetSortMode(ShellTreeCtrl::kSortByType);
        break;
    case ID_FILETREE_SORT_SIZE:
        m_tree.SetSortMode(ShellTreeCtrl::kSortBySize);
        break;
    case ID_FILETREE_SORT_DATE:
        m_tree.SetSortMode(ShellTreeCtrl::kSortByDate);
        break;
    default:
        m_tree.SetSortMode(ShellTreeCtrl::kSortByName);
        break;
    }
}

void CWsbFileTree::OnRefresh() {
    m_tree.Refresh(m_currentFilter.empty() ? nullptr : m_currentFilter.c_str());
}

void CWsbFileTree::OnShowHidden() {
    m_tree.SetViewFlags(m_tree.GetViewFlags() ^ ShellTreeCtrl::kShowHidden);
}

void CWsbFileTree::OnShowNonFileSystem() {
    m_tree.SetViewFlags(m_tree.GetViewFlags() ^ ShellTreeCtrl::kShowNonFileSystem);
}

void CWsbFileTree::OnProperties() {
    ShellExecuteItem(m_propertiesItem, "PROPERTIES");
}

void CWsbFileTree::OnUpdateOpen(CCmdUI* cmdUI) {
    cmdUI->Enable(m_tree.IsFileItem(m_openItem));
}

void CWsbFileTree::OnUpdateAlways(CCmdUI* cmdUI) {
    cmdUI->Enable(true);
}

void CWsbFileTree::OnUpdateCopy(CCmdUI* cmdUI) {
    cmdUI->Enable(HasAttribute(m_deleteItem, SFGAO_CANCOPY));
}

void CWsbFileTree::OnUpdatePaste(CCmdUI* cmdUI) {
    cmdUI->Enable(::IsClipboardFormatAvailable(CF_HDROP) && IsDropTarget(m_pasteTarget));
}

void CWsbFileTree::OnUpdateDelete(CCmdUI* cmdUI) {
    cmdUI->Enable(HasAttribute(m_deleteItem, SFGAO_CANDELETE));
}

void CWsbFileTree::OnUpdateRename(CCmdUI* cmdUI) {
    cmdUI->Enable(HasAttribute(m_renameItem, SFGAO_CANRENAME));
}

void CWsbFileTree::OnUpdateNew(CCmdUI* cmdUI) {
    cmdUI->Enable(
        IsDropTarget(cmdUI->m_nID == ID_FILETREE_NEWFILE ? m_newFileTarget : m_newFolderTarget));
}

void CWsbFileTree::OnUpdateSort(CCmdUI* cmdUI) {
    DWORD mode = ShellTreeCtrl::kSortByName;
    switch (cmdUI->m_nID) {
    case ID_FILETREE_SORT_TYPE:
        mode = ShellTreeCtrl::kSortByType;
        break;
    case ID_FILETREE_SORT_SIZE:
        mode = ShellTreeCtrl::kSortBySize;
        break;
    case ID_FILETREE_SORT_DATE:
        mode = ShellTreeCtrl::kSortByDate;
        break;
    default:
        break;
    }
    cmdUI->Enable(true);
    cmdUI->SetCheck((m_tree.GetViewFlags() & ShellTreeCtrl::kSortMask) == mode ? 1 : 0);
}

void CWsbFileTree::OnUpdateShowHidden(CCmdUI* cmdUI) {
    cmdUI->Enable(true);
    cmdUI->SetCheck((m_tree.GetViewFlags() & ShellTreeCtrl::kShowHidden) ? 1 : 0);
}

void CWsbFileTree::OnUpdateShowNonFileSystem(CCmdUI* cmdUI) {
    cmdUI->Enable(true);
    cmdUI->SetCheck((m_tree.GetViewFlags() & ShellTreeCtrl::kShowNonFileSystem) ? 1 : 0);
}

void CWsbFileTree::OnUpdateProperties(CCmdUI* cmdUI) {
    cmdUI->Enable(HasAttribute(m_propertiesItem, SFGAO_HASPROPSHEET));
}
