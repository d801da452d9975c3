// CWsbClipText. Layer: workspace/.
#include "workspace/WsbClipText.h"

#include "common/LeadBytes.h"
#include "common/PathName.h"
#include "common/UiResources.h"
#include "framework/CmdUI.h"
#include "framework/Dpi.h"
#include "framework/MessageBox.h"
#include "framework/ResourceText.h"
#include "textview/FxEditView.h"
#include "workspace/ClipTextFile.h"
#include "workspace/ClipTextHost.h"
#include "workspace/ClipTextIds.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <memory>

IMPLEMENT_DYNAMIC(CWsbClipText, CWnd)

BEGIN_MESSAGE_MAP(CWsbClipText, CWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_SIZE()
ON_WM_SHOWWINDOW()
ON_WM_SYSCOLORCHANGE()
ON_MESSAGE(WM_FXDPICHANGED, OnFxDpiChanged)
ON_WM_CONTEXTMENU()
ON_COMMAND(ID_CLIP_INSERT, OnInsert)
ON_COMMAND(ID_CLIP_COPY, OnCopy)
ON_COMMAND(ID_CLIP_ADD, OnAdd)
ON_COMMAND(ID_CLIP_RENAME, OnRename)
ON_COMMAND(ID_CLIP_EDIT, OnEdit)
ON_COMMAND(ID_CLIP_DELETE, OnDelete)
ON_COMMAND(ID_CLIP_SORT_ASCENDING, OnSortAscending)
ON_COMMAND(ID_CLIP_SORT_DESCENDING, OnSortDescending)
ON_COMMAND(ID_CLIP_LIBRARY_NEW, OnLibraryNew)
ON_COMMAND(ID_CLIP_LIBRARY_EDIT, OnLibraryEdit)
ON_COMMAND(ID_CLIP_LIBRARY_RENAME, OnLibraryEdit)
ON_COMMAND(ID_CLIP_LIBRARY_DELETE, OnLibraryDelete)
ON_UPDATE_COMMAND_UI(ID_CLIP_INSERT, OnUpdateNeedsItem)
ON_UPDATE_COMMAND_UI(ID_CLIP_COPY, OnUpdateNeedsItem)
ON_UPDATE_COMMAND_UI(ID_CLIP_RENAME, OnUpdateNeedsItem)
ON_UPDATE_COMMAND_UI(ID_CLIP_EDIT, OnUpdateNeedsItem)
ON_UPDATE_COMMAND_UI(ID_CLIP_DELETE, OnUpdateNeedsItem)
ON_UPDATE_COMMAND_UI(ID_CLIP_ADD, OnUpdateAdd)
ON_UPDATE_COMMAND_UI(ID_CLIP_LIBRARY_EDIT, OnUpdateNeedsLibrary)
ON_UPDATE_COMMAND_UI(ID_CLIP_LIBRARY_RENAME, OnUpdateNeedsLibrary)
ON_UPDATE_COMMAND_UI(ID_CLIP_LIBRARY_DELETE, OnUpdateNeedsLibrary)
ON_UPDATE_COMMAND_UI(ID_CLIP_SORT_ASCENDING, OnUpdateSort)
ON_UPDATE_COMMAND_UI(ID_CLIP_SORT_DESCENDING, OnUpdateSort)
ON_UPDATE_COMMAND_UI(ID_CLIP_LIBRARY_NEW, OnUpdateAlways)
END_MESSAGE_MAP()

namespace {

const char kOwnerProp[] = "QvClipTextOwner";
// The most names "新建项目%d" tries.
const int kMaxNewNumber = 65534;

CWsbClipText* OwnerOf(HWND wnd) {
    return static_cast<CWsbClipText*>(::GetPropA(wnd, kOwnerProp));
}

// The text of an edit control or window.
std::string WindowText(HWND wnd) {
    const int len = ::GetWindowTextLengthA(wnd);
    std::string text(static_cast<size_t>(len) + 1, '\0');
    const int got = ::GetWindowTextA(wnd, &text[0], len + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

void CopyBounded(char* dest, int size, const std::string& text) {
    if (!dest || size <= 0)
        return;
    const size_t n = FxCutLength(text.data(), text.size(), static_cast<size_t>(size - 1));
    std::memcpy(dest, text.data(), n);
    dest[n] = '\0';
}

} // namespace

CWsbClipText::CWsbClipText() = default;

CWsbClipText::~CWsbClipText() = default;

bool CWsbClipText::Create(CWnd* parent, UINT id, const RECT& rc) {
    const char* cls = RegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    return CreateEx(0, cls, nullptr, 0x52000000, rc, parent, id);
}

// --- Creation and layout ----------------------------------------------------------------------

int CWsbClipText::OnCreate(LPCREATESTRUCTA) {
    HINSTANCE inst = ::GetModuleHandleA(nullptr);
    m_selector = ::CreateWindowExA(
        0, WC_COMBOBOXA, nullptr,
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST, 0, 0, 100,
        kSelectorDropHeight, m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kSelectorId)),
        inst, nullptr);
    m_list =
        ::CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, nullptr,
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER |
                              LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_EDITLABELS | LVS_OWNERDATA,
                          0, 0, 100, 100, m_hWnd,
                          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kListId)), inst, nullptr);
    if (!m_selector || !m_list)
        return -1;
    m_dpi = FxDpiOf(m_hWnd);
    ListView_SetExtendedListViewStyle(m_list, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH;
    column.cx = 100;
    ::SendMessageA(m_list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    // The list tells this window about the edits and scrolls it does not report itself.
    ::SetPropA(m_list, kOwnerProp, this);
    m_listProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(m_list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ListProc)));
    ApplyFonts();
    m_ascending = m_host ? m_host->ReadClipSortAscending() : true;
    FindLibraries();
    if (LibraryCount() > 0)
        ChooseLibrary(0);
    return 0;
}

void CWsbClipText::OnDestroy() {
    EndBodyEdit();
    SaveCurrent();
    if (m_host)
        m_host->WriteClipSortAscending(m_ascending);
    ClearList();
    for (int i = LibraryCount() - 1; i >= 0; --i)
        delete LibraryAt(i);
    if (m_selector)
        ::SendMessageA(m_selector, CB_RESETCONTENT, 0, 0);
    m_current = nullptr;
    if (m_list) {
        ::SetWindowLongPtrA(m_list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_listProc));
        ::RemovePropA(m_list, kOwnerProp);
    }
    if (m_editor) {
        ::SetWindowLongPtrA(m_editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_editorProc));
        ::RemovePropA(m_editor, kOwnerProp);
    }
    m_selector = m_list = m_editor = nullptr;
    Default();
}

void CWsbClipText::OnSize(UINT, int cx, int cy) {
    if (!m_selector || !m_list)
        return;
    // The selector's closed height follows its font; dropped it is 150 pixels tall.
    ::SetWindowPos(m_selector, nullptr, 0, 0, cx, kSelectorDropHeight,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    RECT sel;
    ::GetWindowRect(m_selector, &sel);
    const int top = sel.bottom - sel.top;
    ::SetWindowPos(m_list, nullptr, 0, top, cx, std::max(0, cy - top),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    ::GetClientRect(m_list, &client);
    ListView_SetColumnWidth(m_list, 0, std::max<LONG>(client.right, 20));
    if (IsEditingBody())
        PlaceBodyEditor();
}

void CWsbClipText::OnShowWindow(bool show, UINT) {
    Default();
    if (show)
        ReloadIfChanged();
}

LRESULT CWsbClipText::OnFxDpiChanged(WPARAM dpi, LPARAM) {
    if (!dpi || dpi == m_dpi)
        return 0;
    m_dpi = static_cast<UINT>(dpi);
    ApplyFonts();
    return 0;
}

void CWsbClipText::ApplyFonts() {
    HFONT font = SharedUi().IsInitialised() ? SharedUi().m_font : nullptr;
    if (!font)
        font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    font = m_dpiFont.Get(font, m_dpi);
    for (HWND wnd : {m_selector, m_list, m_editor})
        if (wnd)
            ::SendMessageA(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    RECT rc;
    GetClientRect(&rc);
    OnSize(0, rc.right, rc.bottom);
}

void CWsbClipText::OnSysColorChange() {
    Default();
    ApplyFonts();
}

// --- Libraries --------------------------------------------------------------------------------

int CWsbClipText::LibraryCount() const {
    if (!m_selector)
        return 0;
    const LRESULT n = ::SendMessageA(m_selector, CB_GETCOUNT, 0, 0);
    return n == CB_ERR ? 0 : static_cast<int>(n);
}

CWsbClipText::Library* CWsbClipText::LibraryAt(int index) const {
    const LRESULT data = ::SendMessageA(m_selector, CB_GETITEMDATA, index, 0);
    return data == CB_ERR ? nullptr : reinterpret_cast<Library*>(data);
}

bool CWsbClipText::FileTime(const std::string& path, FILETIME* time) {
    WIN32_FILE_ATTRIBUTE_DATA info;
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &info))
        return false;
    *time = info.ftLastWriteTime;
    return true;
}

void CWsbClipText::FindLibraries() {
    if (!m_host)
        return;
    const std::string folder = FxPathWithSeparator(m_host->ClipLibraryFolder());
    WIN32_FIND_DATAA found;
    HANDLE find = ::FindFirstFileA((folder + "*.CTF").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const std::string path = folder + found.cFileName;
        const std::string title = LoadClipLibraryTitle(path.c_str());
        if (title.empty())
            continue;
        Library* lib = new Library;
        lib->title = ClipLineValue(title, kClipRecordTitleMax);
        lib->fileTitle = title;
        lib->path = path;
        lib->serial = ++m_nextSerial;
        const LRESULT at = ::SendMessageA(m_selector, CB_ADDSTRING, 0,
                                          reinterpret_cast<LPARAM>(lib->title.c_str()));
        if (at == CB_ERR || at == CB_ERRSPACE) {
            delete lib; // a library that cannot be offered is dropped
            continue;
        }
        ::SendMessageA(m_selector, CB_SETITEMDATA, static_cast<WPARAM>(at),
                       reinterpret_cast<LPARAM>(lib));
    } while (::FindNextFileA(find, &found));
    ::FindClose(find);
}

void CWsbClipText::ChooseLibrary(int index) {
    Library* lib = (index >= 0 && index < LibraryCount()) ? LibraryAt(index) : nullptr;
    ::SendMessageA(m_selector, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (!lib || lib == m_current) {
        ReloadIfChanged();
        return;
    }
    EndBodyEdit();
    if (!SaveCurrent()) {
        // The edits could not be written: the library stays current with them, still
        // modified, and the next switch or the window's end tries again.
        ::SendMessageA(m_selector, CB_SETCURSEL, static_cast<WPARAM>(IndexOfLibrary(m_current)), 0);
        return;
    }
    // The questions of the save let other messages in: the chosen library may be gone.
    if (IndexOfLibrary(lib) < 0)
        return;
    LoadLibrary(lib);
}

int CWsbClipText::IndexOfLibrary(const Library* lib) const {
    const int count = lib ? LibraryCount() : 0;
    for (int i = 0; i < count; ++i)
        if (LibraryAt(i) == lib)
            return i;
    return -1;
}

int CWsbClipText::FindLibrary(uint64_t serial) const {
    const int count = LibraryCount();
    for (int i = 0; i < count; ++i) {
        const Library* lib = LibraryAt(i);
        if (lib && lib->serial == serial)
            return i;
    }
    return -1;
}

void CWsbClipText::ClearList() {
    m_items.clear();
    if (m_list)
        ListView_SetItemCountEx(m_list, 0, 0);
}

void CWsbClipText::ShowItemCount() {
    ListView_SetItemCountEx(m_list, static_cast<int>(m_items.size()), LVSICF_NOSCROLL);
    // The one column spans the client area, which a vertical scroll bar may just have narrowed.
    RECT client;
    ::GetClientRect(m_list, &client);
    ListView_SetColumnWidth(m_list, 0, std::max<LONG>(client.right, 20));
    ::InvalidateRect(m_list, nullptr, TRUE);
}

void CWsbClipText::LoadLibrary(Library* lib, bool quiet) {
    EndBodyEdit();
    ::SendMessageA(m_list, WM_SETREDRAW, FALSE, 0);
    ClearList();
    ++m_loads;
    m_current = lib;
    ClipLibraryText text;
    uint32_t error = 0;
    const bool read = lib && LoadClipLibraryFile(lib->path.c_str(), text, &error);
    if (read) {
        m_items.reserve(text.items.size());
        for (ClipItem& clip : text.items)
            m_items.push_back(MakeItem(std::move(clip.name), std::move(clip.body)));
        if (!text.title.empty())
            lib->fileTitle = text.title;
    }
    if (lib) {
        lib->modified = false;
        lib->unread = !read;
        lib->damage = text.damage;
        lib->damagedItem = text.damagedItem;
        if (!FileTime(lib->path, &lib->time))
            lib->time = FILETIME{0, 0};
    }
    SortItems();
    ShowItemCount();
    ::SendMessageA(m_list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(m_list, nullptr, TRUE);
    if (lib && !read && !quiet) {
        const std::string message = AfxFormat(AfxLoadString(IDS_CLIP_READ_FAILED).c_str(),
                                              lib->path.c_str(), AfxSystemErrorText(error).c_str());
        AfxMessageBox(message.c_str(), MB_OK | MB_ICONWARNING);
    }
}

bool CWsbClipText::SaveCurrent() {
    Library* lib = m_current;
    if (!lib || !lib->modified)
        return true;
    if (lib->unread)
        return false; // what the file holds was never read: it is not written over
    if (lib->damage != ClipLibraryText::kWhole) {
        // The window holds this library in a cut form: writing it would lose what was cut.
        const std::string question = AfxFormat(AfxLoadString(IDS_CLIP_SAVE_DAMAGED).c_str(),
                                               lib->path.c_str(), lib->damagedItem.c_str());
        const uint64_t loads = m_loads;
        const int answer =
            AfxMessageBox(question.c_str(), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
        // The box let other messages in: a library read or chosen meanwhile took the list, and
        // with it the edits this save was for (saved or dropped by whoever replaced them).
        if (m_current != lib || m_loads != loads)
            return true;
        if (answer != IDYES) {
            lib->modified = false; // the file keeps its whole text; the changes are dropped
            return true;
        }
    }
    std::vector<ClipItem> items;
    const int n = ItemCount();
    items.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        if (const ItemData* data = DataAt(i))
            items.push_back({data->name, data->body});
    const std::string bytes =
        FormatClipLibrary(AfxLoadString(IDS_CLIP_FILE_HEADER), lib->fileTitle, items);
    uint32_t error = 0;
    if (!SaveClipLibraryFile(lib->path.c_str(), bytes, &error)) {
        const std::string message = AfxFormat(AfxLoadString(IDS_CLIP_SAVE_FAILED).c_str(),
                                              lib->path.c_str(), AfxSystemErrorText(error).c_str());
        AfxMessageBox(message.c_str(), MB_OK | MB_ICONWARNING);
        return false; // the changes stay here until the next attempt
    }
    lib->modified = false;
    lib->damage = ClipLibraryText::kWhole;
    lib->damagedItem.clear();
    FileTime(lib->path, &lib->time);
    return true;
}

bool CWsbClipText::SaveBeforeExit() {
    EndBodyEdit();
    if (SaveCurrent())
        return true;
    Library* lib = m_current;
    if (!lib || !lib->modified || lib->unread)
        return true; // nothing of the window's own is left to lose
    const uint64_t serial = lib->serial;
    const std::string question =
        AfxFormat(AfxLoadString(IDS_CLIP_EXIT_UNSAVED).c_str(), lib->path.c_str());
    const int answer = AfxMessageBox(question.c_str(), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
    if (answer != IDYES)
        return false;
    // Agreed: the window's end does not try, and fail, once more.
    if (m_current && m_current->serial == serial)
        m_current->modified = false;
    return true;
}

void CWsbClipText::ReloadIfChanged() {
    Library* lib = m_current;
    if (!lib || IsEditingBody())
        return;
    if (lib->unread) {
        // Tried again without a word: the user was told when the read failed.
        LoadLibrary(lib, true);
        return;
    }
    FILETIME now;
    if (!FileTime(lib->path, &now) || ::CompareFileTime(&now, &lib->time) == 0)
        return;
    if (lib->modified) {
        const std::string question =
            AfxFormat(AfxLoadString(IDS_CLIP_RELOAD_CHANGED).c_str(), lib->path.c_str());
        const uint64_t loads = m_loads;
        const int answer = AfxMessageBox(question.c_str(), MB_YESNO | MB_ICONQUESTION);
        if (m_current != lib || m_loads != loads)
            return; // read again or left while the question was up
        if (answer != IDYES) {
            lib->time = now; // kept: the next save writes the window's version
            return;
        }
    }
    const int selected = SelectedItem();
    const std::string name = selected >= 0 ? ItemName(selected) : std::string();
    LoadLibrary(lib);
    const int again = name.empty() ? -1 : FindItemByName(name, -1);
    if (again >= 0)
        SelectItem(again);
}

// --- Items ------------------------------------------------------------------------------------

int CWsbClipText::ItemCount() const {
    return static_cast<int>(m_items.size());
}

CWsbClipText::ItemData* CWsbClipText::DataAt(int index) const {
    if (index < 0 || index >= ItemCount())
        return nullptr;
    return m_items[static_cast<size_t>(index)].get();
}

std::string CWsbClipText::ItemName(int index) const {
    const ItemData* data = DataAt(index);
    return data ? data->name : std::string();
}

std::string CWsbClipText::ItemBody(int index) const {
    const ItemData* data = DataAt(index);
    return data ? data->body : std::string();
}

int CWsbClipText::SelectedItem() const {
    return m_list ? ListView_GetNextItem(m_list, -1, LVNI_SELECTED) : -1;
}

void CWsbClipText::SelectItem(int index) {
    ListView_SetItemState(m_list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (index < 0)
        return;
    ListView_SetItemState(m_list, index, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(m_list, index, FALSE);
}

int CWsbClipText::FindItemByName(const std::string& name, int except) const {
    const int n = ItemCount();
    for (int i = 0; i < n; ++i) {
        if (i == except)
            continue;
        const ItemData* data = DataAt(i);
        if (data && ::lstrcmpiA(data->name.c_str(), name.c_str()) == 0)
            return i;
    }
    return -1;
}

std::unique_ptr<CWsbClipText::ItemData> CWsbClipText::MakeItem(std::string name, std::string body) {
    auto item = std::make_unique<ItemData>();
    item->name = std::move(name);
    item->body = std::move(body);
    item->serial = ++m_nextSerial;
    return item;
}

CWsbClipText::ItemKey CWsbClipText::KeyOf(int index) const {
    ItemKey key;
    if (const ItemData* data = DataAt(index)) {
        key.libraryPath = m_current ? m_current->path : std::string();
        key.serial = data->serial;
        key.loads = m_loads;
        key.name = data->name;
        key.body = data->body;
    }
    return key;
}

int CWsbClipText::FindItem(const ItemKey& key) const {
    if (!m_current || key.serial == 0 || m_current->path != key.libraryPath)
        return -1;
    const int n = ItemCount();
    for (int i = 0; i < n; ++i)
        if (m_items[static_cast<size_t>(i)]->serial == key.serial)
            return i;
    if (m_loads == key.loads)
        return -1; // removed, not read again
    for (int i = 0; i < n; ++i) {
        const ItemData& data = *m_items[static_cast<size_t>(i)];
        if (data.name == key.name && data.body == key.body)
            return i;
    }
    return -1;
}

bool CWsbClipText::CanChangeLibrary() const {
    return m_current && !m_current->unread;
}

void CWsbClipText::MarkModified() {
    if (m_current)
        m_current->modified = true;
}

void CWsbClipText::SortItems() {
    // Each name's key is made once; the keys then compare as plain bytes.
    std::vector<std::pair<std::string, std::unique_ptr<ItemData>>> keyed;
    keyed.reserve(m_items.size());
    for (std::unique_ptr<ItemData>& item : m_items) {
        std::string key = ClipSortKey(item->name);
        keyed.emplace_back(std::move(key), std::move(item));
    }
    const bool ascending = m_ascending;
    std::stable_sort(keyed.begin(), keyed.end(), [ascending](const auto& a, const auto& b) {
        return ascending ? a.first < b.first : b.first < a.first;
    });
    for (size_t i = 0; i < keyed.size(); ++i)
        m_items[i] = std::move(keyed[i].second);
}

void CWsbClipText::Sort(bool ascending) {
    EndBodyEdit();
    m_ascending = ascending;
    // The selection follows its item to the item's new place.
    const ItemData* selected = DataAt(SelectedItem());
    SortItems();
    ShowItemCount();
    int index = -1;
    for (int i = 0; selected && i < ItemCount(); ++i)
        if (m_items[static_cast<size_t>(i)].get() == selected)
            index = i;
    SelectItem(index);
}

void CWsbClipText::InsertSelected() {
    const ItemData* data = DataAt(SelectedItem());
    if (!data || !m_host)
        return;
    const std::string& text = data->body.empty() ? data->name : data->body;
    CFxEditView* view = m_host->ActiveClipTextView();
    if (!view || text.empty())
        return;
    view->InsertSnippet(text);
    ::SetFocus(view->m_hWnd);
}

void CWsbClipText::CopySelected() {
    const ItemData* data = DataAt(SelectedItem());
    if (!data)
        return;
    const std::string& text = data->body.empty() ? data->name : data->body;
    if (!::OpenClipboard(m_hWnd))
        return;
    ::EmptyClipboard();
    HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, text.size() + 1);
    if (mem) {
        char* dest = static_cast<char*>(::GlobalLock(mem));
        std::memcpy(dest, text.c_str(), text.size() + 1);
        ::GlobalUnlock(mem);
        if (!::SetClipboardData(CF_TEXT, mem))
            ::GlobalFree(mem);
    }
    ::CloseClipboard();
}

void CWsbClipText::AddItem() {
    if (!CanChangeLibrary())
        return;
    EndBodyEdit();
    const std::string format = AfxLoadString(IDS_CLIP_NEW_ITEM);
    std::string name;
    for (int n = 1; n <= kMaxNewNumber; ++n) {
        name = AfxFormat(format.c_str(), n);
        if (FindItemByName(name, -1) < 0)
            break;
    }
    int at = -1;
    try {
        m_items.push_back(MakeItem(name, std::string()));
        at = ItemCount() - 1;
    } catch (const std::bad_alloc&) {
        at = -1;
    }
    if (at < 0) {
        AfxMessageBox(IDS_CLIP_ADD_FAILED, MB_OK | MB_ICONINFORMATION);
        return;
    }
    ShowItemCount();
    MarkModified();
    ::SetFocus(m_list);
    SelectItem(at);
    ::SendMessageA(m_list, LVM_EDITLABELA, static_cast<WPARAM>(at), 0);
}

void CWsbClipText::RenameSelected() {
    const int selected = SelectedItem();
    if (selected < 0)
        return;
    EndBodyEdit();
    ::SetFocus(m_list);
    ::SendMessageA(m_list, LVM_EDITLABELA, static_cast<WPARAM>(selected), 0);
}

bool CWsbClipText::OnEndLabelEdit(NMLVDISPINFOA* info) {
    ItemData* data = DataAt(info->item.iItem);
    if (!data || !info->item.pszText)
        return false;
    // Stored as a "#BEGIN" line keeps it, so that it reads back as it was accepted.
    const std::string name = ClipLineValue(info->item.pszText, kClipNameMax);
    if (name.empty() || name == data->name)
        return false;
    int index = info->item.iItem;
    if (FindItemByName(name, index) >= 0) {
        const ItemKey key = KeyOf(index);
        const std::string question = AfxFormatString1(IDS_CLIP_SAME_NAME, name.c_str());
        if (AfxMessageBox(question.c_str(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
            return false;
        index = FindItem(key);
        if (index < 0)
            return false;
    }
    DataAt(index)->name = name;
    MarkModified();
    if (index != info->item.iItem) {
        // Read again while the question was up: the item has moved.
        ListView_RedrawItems(m_list, index, index);
        return false;
    }
    return true;
}

void CWsbClipText::DeleteSelected() {
    const int selected = SelectedItem();
    const ItemData* data = DataAt(selected);
    if (!data)
        return;
    EndBodyEdit();
    const ItemKey key = KeyOf(selected);
    const std::string question = AfxFormatString1(IDS_CLIP_DELETE_ITEM, data->name.c_str());
    if (AfxMessageBox(question.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    // The box let other messages in: the library may have been read again or switched.
    const int index = FindItem(key);
    if (index < 0)
        return;
    m_items.erase(m_items.begin() + index);
    SelectItem(-1);
    ShowItemCount();
    MarkModified();
}

// --- The body editor --------------------------------------------------------------------------

void CWsbClipText::EditSelected() {
    const int selected = SelectedItem();
    const ItemData* data = DataAt(selected);
    if (!data)
        return;
    EndBodyEdit();
    if (!m_editor) {
        m_editor = ::CreateWindowExA(
            0, "EDIT", nullptr,
            WS_CHILD | WS_BORDER | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN,
            0, 0, 10, 10, m_list, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kEditorId)),
            ::GetModuleHandleA(nullptr), nullptr);
        if (!m_editor)
            return;
        ::SetPropA(m_editor, kOwnerProp, this);
        m_editorProc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(m_editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditorProc)));
        ::SendMessageA(m_editor, WM_SETFONT, ::SendMessageA(m_list, WM_GETFONT, 0, 0), FALSE);
    }
    ::SendMessageA(m_editor, EM_LIMITTEXT, kClipBodyMax, 0);
    m_editItem = selected;
    ::SetWindowTextA(m_editor, data->body.c_str());
    ::SendMessageA(m_editor, EM_SETMODIFY, FALSE, 0);
    PlaceBodyEditor();
    ::ShowWindow(m_editor, SW_SHOW);
    ::SendMessageA(m_editor, EM_SETSEL, 0, -1);
    ::SetFocus(m_editor);
}

void CWsbClipText::PlaceBodyEditor() {
    if (!m_editor || m_editItem < 0)
        return;
    RECT client, item;
    ::GetClientRect(m_list, &client);
    item.left = LVIR_BOUNDS;
    if (!::SendMessageA(m_list, LVM_GETITEMRECT, static_cast<WPARAM>(m_editItem),
                        reinterpret_cast<LPARAM>(&item)))
        item = client;
    HFONT font = reinterpret_cast<HFONT>(::SendMessageA(m_editor, WM_GETFONT, 0, 0));
    HDC dc = ::GetDC(m_editor);
    HGDIOBJ old = font ? ::SelectObject(dc, font) : nullptr;
    TEXTMETRICA tm = {};
    ::GetTextMetricsA(dc, &tm);
    if (old)
        ::SelectObject(dc, old);
    ::ReleaseDC(m_editor, dc);
    const int lines = static_cast<int>(::SendMessageA(m_editor, EM_GETLINECOUNT, 0, 0));
    const int height = lines * tm.tmHeight + FxScale(4, m_dpi);
    RECT place = {item.left, 0, client.right, 0};
    if (item.bottom + height <= client.bottom) {
        place.top = item.bottom;
        place.bottom = item.bottom + height;
    } else if (item.top - height >= client.top) {
        place.top = item.top - height;
        place.bottom = item.top;
    } else {
        place = client;
        place.left = item.left;
    }
    ::SetWindowPos(m_editor, HWND_TOP, place.left, place.top, place.right - place.left,
                   place.bottom - place.top, SWP_NOACTIVATE);
}

void CWsbClipText::EndBodyEdit() {
    if (m_endingEdit || !m_editor || m_editItem < 0)
        return;
    m_endingEdit = true;
    const int index = m_editItem;
    m_editItem = -1;
    ::ShowWindow(m_editor, SW_HIDE);
    ::SendMessageA(m_editor, EM_EMPTYUNDOBUFFER, 0, 0);
    if (::SendMessageA(m_editor, EM_GETMODIFY, 0, 0)) {
        ItemData* data = DataAt(index);
        const std::string text = ClipCut(WindowText(m_editor), kClipBodyMax);
        if (data && !data->name.empty() && (!text.empty() || !data->body.empty())) {
            data->body = text;
            MarkModified();
        }
    }
    ::SetWindowTextA(m_editor, "");
    m_endingEdit = false;
}

// --- Library files ----------------------------------------------------------------------------

void CWsbClipText::NewLibrary() {
    if (m_host)
        m_host->NewClipLibraryDocument(AfxLoadString(IDS_CLIP_FILE_HEADER) + "#TITLE=");
}

void CWsbClipText::OpenLibraryFile() {
    if (!m_current || !m_host)
        return;
    EndBodyEdit();
    // The document shows what the window holds.
    SaveCurrent();
    m_host->OpenClipLibraryFile(m_current->path);
}

void CWsbClipText::DeleteLibrary() {
    const Library* current = m_current;
    if (!current)
        return;
    EndBodyEdit();
    const uint64_t serial = current->serial;
    std::string from = current->path;
    from.push_back('\0'); // the list of files ends with two NULs
    SHFILEOPSTRUCTA op = {};
    op.hwnd = ::GetAncestor(m_hWnd, GA_ROOT);
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_ALLOWUNDO;
    if (::SHFileOperationA(&op) != 0 || op.fAnyOperationsAborted)
        return;
    // The shell's question let other messages in: the list may have been read anew, freeing
    // the record, or another library chosen.
    const int index = FindLibrary(serial);
    if (index < 0)
        return;
    Library* lib = LibraryAt(index);
    ::SendMessageA(m_selector, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
    const bool wasCurrent = lib == m_current;
    delete lib;
    if (!wasCurrent)
        return; // the library chosen meanwhile stays
    m_current = nullptr;
    if (::SendMessageA(m_selector, CB_GETCURSEL, 0, 0) == CB_ERR)
        ClearList();
    if (LibraryCount() > 0)
        ChooseLibrary(0);
}

// --- Menu -------------------------------------------------------------------------------------

void CWsbClipText::ShowMenu(POINT screenPt) {
    HMENU menu = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_CLIPTEXT_MENU));
    if (!menu)
        return;
    HMENU popup = ::GetSubMenu(menu, 0);
    if (popup)
        AfxTrackPopupMenu(popup, screenPt, this);
    ::DestroyMenu(menu);
}

void CWsbClipText::OnContextMenu(HWND, POINT pt) {
    if (pt.x == -1 && pt.y == -1) {
        // From the keyboard: at the selected item, else at the list's corner.
        RECT rc = {0, 0, 0, 0};
        const int selected = SelectedItem();
        rc.left = LVIR_BOUNDS;
        if (selected < 0 || !::SendMessageA(m_list, LVM_GETITEMRECT, static_cast<WPARAM>(selected),
                                            reinterpret_cast<LPARAM>(&rc)))
            rc = RECT{0, 0, 0, 0};
        pt = {rc.left, rc.bottom};
        ::ClientToScreen(m_list, &pt);
    }
    ShowMenu(pt);
}

void CWsbClipText::OnUpdateNeedsItem(CCmdUI* cmdUI) {
    cmdUI->Enable(SelectedItem() >= 0);
}

void CWsbClipText::OnUpdateNeedsLibrary(CCmdUI* cmdUI) {
    cmdUI->Enable(m_current != nullptr);
}

void CWsbClipText::OnUpdateAdd(CCmdUI* cmdUI) {
    cmdUI->Enable(CanChangeLibrary());
}

void CWsbClipText::OnUpdateSort(CCmdUI* cmdUI) {
    cmdUI->Enable(true);
    cmdUI->SetCheck((cmdUI->m_nID == ID_CLIP_SORT_ASCENDING) == m_ascending ? 1 : 0);
}

void CWsbClipText::OnUpdateAlways(CCmdUI* cmdUI) {
    cmdUI->Enable(true);
}

// --- Messages ---------------------------------------------------------------------------------

bool CWsbClipText::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (lParam && reinterpret_cast<HWND>(lParam) == m_selector) {
        if (HIWORD(wParam) == CBN_SELCHANGE) {
            const LRESULT index = ::SendMessageA(m_selector, CB_GETCURSEL, 0, 0);
            if (index != CB_ERR)
                ChooseLibrary(static_cast<int>(index));
        }
        return true;
    }
    return CWnd::OnCommand(wParam, lParam);
}

bool CWsbClipText::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    NMHDR* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (!hdr || hdr->hwndFrom != m_list)
        return CWnd::OnNotify(wParam, lParam, result);
    *result = 0;
    switch (hdr->code) {
    case LVN_GETDISPINFOA: {
        NMLVDISPINFOA* info = reinterpret_cast<NMLVDISPINFOA*>(hdr);
        if (info->item.mask & LVIF_TEXT) {
            const ItemData* data = DataAt(info->item.iItem);
            CopyBounded(info->item.pszText, info->item.cchTextMax,
                        data ? data->name : AfxLoadString(IDS_CLIP_ITEM_ERROR));
        }
        return true;
    }
    case LVN_GETINFOTIPA: {
        NMLVGETINFOTIPA* tip = reinterpret_cast<NMLVGETINFOTIPA*>(hdr);
        if (const ItemData* data = DataAt(tip->iItem))
            CopyBounded(tip->pszText, tip->cchTextMax,
                        data->body.empty() ? data->name : data->body);
        return true;
    }
    case LVN_BEGINLABELEDITA: {
        EndBodyEdit();
        if (HWND edit = ListView_GetEditControl(m_list))
            ::SendMessageA(edit, EM_LIMITTEXT, kClipNameMax, 0);
        return true;
    }
    case LVN_ENDLABELEDITA:
        *result = OnEndLabelEdit(reinterpret_cast<NMLVDISPINFOA*>(hdr)) ? TRUE : FALSE;
        return true;
    case NM_DBLCLK:
        if (reinterpret_cast<NMITEMACTIVATE*>(hdr)->iItem >= 0)
            InsertSelected();
        return true;
    case NM_RETURN:
        InsertSelected();
        return true;
    case NM_RCLICK: {
        // The item under the pointer is selected first.
        POINT pt;
        ::GetCursorPos(&pt);
        LVHITTESTINFO hit = {};
        hit.pt = pt;
        ::ScreenToClient(m_list, &hit.pt);
        const int index = ListView_HitTest(m_list, &hit);
        if (index >= 0)
            SelectItem(index);
        ShowMenu(pt);
        *result = 1;
        return true;
    }
    case NM_SETFOCUS:
        ReloadIfChanged();
        return true;
    default:
        return false;
    }
}

LRESULT CWsbClipText::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NOTIFYFORMAT:
        return NFR_ANSI;
    case WM_MENUSELECT:
    case WM_EXITMENULOOP:
        // The command prompts of the context menu go to the frame's status bar.
        if (HWND top = ::GetAncestor(m_hWnd, GA_ROOT); top && top != m_hWnd)
            ::SendMessageA(top, message, wParam, lParam);
        break;
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

LRESULT CALLBACK CWsbClipText::ListProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWsbClipText* self = OwnerOf(wnd);
    if (!self)
        return ::DefWindowProcA(wnd, message, wParam, lParam);
    switch (message) {
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) == self->m_editor && self->m_editor &&
            HIWORD(wParam) == EN_CHANGE) {
            self->PlaceBodyEditor();
            return 0;
        }
        break;
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_MOUSEWHEEL:
    case WM_CANCELMODE:
        self->EndBodyEdit();
        break;
    case WM_KEYDOWN:
        // Keys of the menu's commands while the list has the focus.
        if (wParam == VK_DELETE && self->SelectedItem() >= 0) {
            self->DeleteSelected();
            return 0;
        }
        if (wParam == VK_F2 && self->SelectedItem() >= 0) {
            self->RenameSelected();
            return 0;
        }
        break;
    default:
        break;
    }
    return ::CallWindowProcA(self->m_listProc, wnd, message, wParam, lParam);
}

LRESULT CALLBACK CWsbClipText::EditorProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWsbClipText* self = OwnerOf(wnd);
    if (!self)
        return ::DefWindowProcA(wnd, message, wParam, lParam);
    const WNDPROC base = self->m_editorProc;
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | ::CallWindowProcA(base, wnd, message, wParam, lParam);
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
            self->EndBodyEdit();
            ::SetFocus(self->m_list);
            return 0;
        }
        break;
    case WM_KILLFOCUS: {
        const LRESULT r = ::CallWindowProcA(base, wnd, message, wParam, lParam);
        self->EndBodyEdit();
        return r;
    }
    case WM_CANCELMODE:
        self->EndBodyEdit();
        break;
    default:
        break;
    }
    return ::CallWindowProcA(base, wnd, message, wParam, lParam);
}
