// ShellTreeCtrl. Layer: workspace/.
#include "workspace/ShellTreeCtrl.h"

#include "common/LeadBytes.h"
#include "common/PathName.h"
#include "framework/WaitCursor.h"
#include "workspace/ShellFileOps.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <cstdlib>
#include <cstring>

IMPLEMENT_DYNAMIC(ShellTreeCtrl, CTreeCtrl)

namespace {

const int kLinkOverlay = 2;

// The size of an identifier list without its terminating zero size.
UINT IdListSize(LPCITEMIDLIST pidl) {
    UINT size = 0;
    if (pidl)
        for (const SHITEMID* id = &pidl->mkid; id->cb;
             id = reinterpret_cast<const SHITEMID*>(reinterpret_cast<const BYTE*>(id) + id->cb))
            size += id->cb;
    return size;
}

LPCITEMIDLIST NextId(LPCITEMIDLIST pidl) {
    return reinterpret_cast<LPCITEMIDLIST>(reinterpret_cast<const BYTE*>(pidl) + pidl->mkid.cb);
}

std::wstring Wide(const char* text) {
    const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring wide(n > 0 ? static_cast<size_t>(n) : 1, L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], n);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Byte-wise equality, as the tree's names are compared when looking one up.
bool SameName(const char* a, const char* b) {
    return std::strcmp(a, b) == 0;
}

// Case-insensitive comparison in the ANSI code page (double-byte characters compare whole).
int CompareNoCase(const char* a, const char* b) {
    const int r = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, -1, b, -1);
    return r == 0 ? lstrcmpiA(a, b) : r - CSTR_EQUAL;
}

} // namespace

ShellTreeCtrl::ShellTreeCtrl() = default;

ShellTreeCtrl::~ShellTreeCtrl() {
    if (m_desktop)
        m_desktop->Release();
    if (m_malloc)
        m_malloc->Release();
}

bool ShellTreeCtrl::EnsureShell() {
    if (!m_hWnd)
        return false;
    if (!m_malloc && FAILED(SHGetMalloc(&m_malloc)))
        m_malloc = nullptr;
    if (!m_desktop && FAILED(SHGetDesktopFolder(&m_desktop)))
        m_desktop = nullptr;
    if (!m_images) {
        SHFILEINFOA info = {};
        m_images = reinterpret_cast<HIMAGELIST>(
            SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    }
    if (!m_malloc || !m_desktop || !m_images)
        return false;
    if (GetImageList(TVSIL_NORMAL) != m_images)
        SetImageList(m_images, TVSIL_NORMAL);
    return true;
}

// --- Filter ----------------------------------------------------------------------------------

void ShellTreeCtrl::SetFilter(const char* filter) {
    m_extensions.clear();
    const std::string text = filter ? filter : "";
    size_t start = 0;
    while (start <= text.size()) {
        // ";" cannot be the second byte of a double-byte character.
        size_t end = text.find(';', start);
        if (end == std::string::npos)
            end = text.size();
        size_t b = start, e = end;
        while (b < e && IsBlank(text[b]))
            ++b;
        while (e > b && IsBlank(text[e - 1]))
            --e;
        const std::string pattern = text.substr(b, e - b);
        if (pattern.empty() || pattern.find('.') == std::string::npos)
            break;
        if (pattern == "*.*") {
            m_extensions.clear();
            break;
        }
        // "*.txt" keeps ".txt": what follows the pattern's first character.
        size_t skip = static_cast<size_t>(FxCharLen(pattern.data(), 0, pattern.size()));
        const std::string extension = pattern.substr(skip);
        m_extensions.push_back(
            extension.substr(0, FxCutLength(extension.data(), extension.size(), kMaxExtension)));
        start = end + 1;
    }
    m_showAllFiles = m_extensions.empty();
}

bool ShellTreeCtrl::PassesFilter(const char* name) const {
    if (m_showAllFiles)
        return true;
    const std::string file = name;
    const size_t dot = FxPathExtensionDot(file);
    if (dot == std::string::npos)
        return false;
    const char* ext = file.c_str() + dot;
    for (const std::string& e : m_extensions)
        if (CompareNoCase(ext, e.c_str()) == 0)
            return true;
    return false;
}

// --- Identifier lists and folders --------------------------------------------------------------

LPITEMIDLIST ShellTreeCtrl::GetItemIdList(HTREEITEM item) const {
    if (!m_malloc)
        return nullptr;
    std::vector<const ItemData*> chain;
    for (HTREEITEM it = item; it; it = GetParentItem(it)) {
        const ItemData* data = GetData(it);
        if (!data)
            return nullptr;
        chain.push_back(data);
    }
    UINT total = 0;
    for (const ItemData* data : chain)
        total += IdListSize(data->pidl);
    BYTE* out = static_cast<BYTE*>(m_malloc->Alloc(total + sizeof(USHORT)));
    if (!out)
        return nullptr;
    BYTE* p = out;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const UINT size = IdListSize((*it)->pidl);
        std::memcpy(p, (*it)->pidl, size);
        p += size;
    }
    p[0] = p[1] = 0;
    return reinterpret_cast<LPITEMIDLIST>(out);
}

std::wstring ShellTreeCtrl::GetItemPathW(HTREEITEM item) const {
    LPITEMIDLIST pidl = GetItemIdList(item);
    if (!pidl)
        return std::wstring();
    wchar_t path[MAX_PATH] = L"";
    const bool ok = SHGetPathFromIDListW(pidl, path) != FALSE;
    m_malloc->Free(pidl);
    return ok ? std::wstring(path) : std::wstring();
}

std::string ShellTreeCtrl::GetItemPath(HTREEITEM item, bool* exact) const {
    return ShellPathToAnsi(GetItemPathW(item), exact);
}

bool ShellTreeCtrl::GetItemAttributes(HTREEITEM item, DWORD* attributes) const {
    const ItemData* data = item ? GetData(item) : nullptr;
    if (!data)
        return false;
    *attributes = data->attributes;
    return true;
}

bool ShellTreeCtrl::IsFileItem(HTREEITEM item) const {
    const ItemData* data = item ? GetData(item) : nullptr;
    return data && !(data->attributes & SFGAO_FOLDER) && !ItemHasChildren(item);
}

IShellFolder* ShellTreeCtrl::BindFolder(HTREEITEM item) const {
    if (!m_desktop)
        return nullptr;
    if (!item) {
        m_desktop->AddRef();
        return m_desktop;
    }
    LPITEMIDLIST pidl = GetItemIdList(item);
    if (!pidl)
        return nullptr;
    IShellFolder* folder = nullptr;
    if (FAILED(m_desktop->BindToObject(pidl, nullptr, IID_IShellFolder,
                                       reinterpret_cast<void**>(&folder))))
        folder = nullptr;
    m_malloc->Free(pidl);
    return folder;
}

// --- Building the tree -------------------------------------------------------------------------

HTREEITEM ShellTreeCtrl::InsertChild(HTREEITEM parent, IShellFolder* folder, LPCITEMIDLIST pidl,
                                     DWORD attributes) {
    const bool isFolder = (attributes & (SFGAO_FOLDER | SFGAO_FILESYSANCESTOR)) != 0;
    // The file system's own data when it has them, else the shell's name without size or time.
    WIN32_FIND_DATAA find = {};
    char name[MAX_PATH] = "";
    if (SUCCEEDED(SHGetDataFromIDListA(folder, pidl, SHGDFIL_FINDDATA, &find, sizeof find)) &&
        find.cFileName[0]) {
        lstrcpynA(name, find.cFileName, sizeof name);
    } else {
        std::memset(&find, 0, sizeof find);
        STRRET ret = {};
        if (FAILED(folder->GetDisplayNameOf(pidl, SHGDN_INFOLDER, &ret)) ||
            FAILED(StrRetToBufA(&ret, pidl, name, sizeof name)))
            return nullptr;
    }
    if (!isFolder && !PassesFilter(name))
        return nullptr;

    const UINT pidlSize = IdListSize(pidl);
    const size_t nameSize = std::strlen(name) + 1;
    const size_t total = sizeof(ItemData) + pidlSize + 3 + nameSize;
    BYTE* block = static_cast<BYTE*>(std::malloc(total));
    if (!block)
        return nullptr; // a child whose data cannot be kept is left out
    ItemData* data = reinterpret_cast<ItemData*>(block);
    BYTE* ids = block + sizeof(ItemData);
    std::memcpy(ids, pidl, pidlSize);
    ids[pidlSize] = ids[pidlSize + 1] = ids[pidlSize + 2] = 0;
    char* text = reinterpret_cast<char*>(ids + pidlSize + 3);
    std::memcpy(text, name, nameSize);
    data->name = text;
    data->attributes = attributes;
    data->sizeLow = find.nFileSizeLow;
    data->sizeHigh = find.nFileSizeHigh;
    data->timeLow = find.ftLastWriteTime.dwLowDateTime;
    data->timeHigh = find.ftLastWriteTime.dwHighDateTime;
    data->pidl = reinterpret_cast<LPITEMIDLIST>(ids);

    TVINSERTSTRUCTA ins = {};
    ins.hParent = parent ? parent : TVI_ROOT;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
    ins.item.pszText = LPSTR_TEXTCALLBACKA;
    ins.item.lParam = reinterpret_cast<LPARAM>(data);
    if (attributes & SFGAO_LINK) {
        ins.item.state = INDEXTOOVERLAYMASK(kLinkOverlay);
        ins.item.stateMask = TVIS_OVERLAYMASK;
    }
    // The small system icons, asked of the shell by the item's absolute identifier list; the
    // shell is slow to answer, so icons that many items share are asked once.
    std::string iconKey;
    const bool shared = IconKey(find, attributes, isFolder, &iconKey);
    auto cached = shared ? m_iconCache.find(iconKey) : m_iconCache.end();
    if (cached != m_iconCache.end()) {
        ins.item.iImage = cached->second.normal;
        ins.item.iSelectedImage = cached->second.open;
    } else {
        LPITEMIDLIST parentIds = parent ? GetItemIdList(parent) : nullptr;
        LPITEMIDLIST absolute = parentIds ? ILCombine(parentIds, pidl) : ILClone(pidl);
        if (parentIds)
            m_malloc->Free(parentIds);
        if (absolute) {
            SHFILEINFOA info = {};
            const UINT flags = SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON;
            if (SHGetFileInfoA(reinterpret_cast<LPCSTR>(absolute), 0, &info, sizeof info, flags))
                ins.item.iImage = ins.item.iSelectedImage = info.iIcon;
            if (isFolder && SHGetFileInfoA(reinterpret_cast<LPCSTR>(absolute), 0, &info,
                                           sizeof info, flags | SHGFI_OPENICON))
                ins.item.iSelectedImage = info.iIcon;
            ILFree(absolute);
            if (shared)
                m_iconCache[iconKey] = Icons{ins.item.iImage, ins.item.iSelectedImage};
        }
    }
    HTREEITEM item = InsertItem(ins);
    if (!item) {
        std::free(block);
        return nullptr;
    }
    if (isFolder)
        AddPlaceholder(item);
    return item;
}

bool ShellTreeCtrl::IconKey(const WIN32_FIND_DATAA& find, DWORD attributes, bool isFolder,
                            std::string* key) const {
    // Only plain file-system objects: a folder marked read-only or system may carry an icon of
    // its own, as may a shortcut.
    if (!find.cFileName[0] || !(attributes & SFGAO_FILESYSTEM) || (attributes & SFGAO_LINK))
        return false;
    if (isFolder) {
        if (!(find.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            (find.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM)))
            return false;
        *key = "\\";
        return true;
    }
    const std::string name = find.cFileName;
    const size_t dot = FxPathExtensionDot(name);
    std::string ext = dot == std::string::npos ? std::string() : name.substr(dot);
    if (!ext.empty())
        CharLowerBuffA(&ext[0], static_cast<DWORD>(ext.size()));
    static const char* const kOwnIcons[] = {".exe", ".ico", ".lnk", ".cur", ".ani", ".url",
                                            ".pif", ".scr", ".dll", ".cpl", ".msc", ".icl"};
    for (const char* own : kOwnIcons)
        if (ext == own)
            return false;
    *key = "." + ext;
    return true;
}

void ShellTreeCtrl::EnumerateChildren(HTREEITEM parent, IShellFolder* folder) {
    if (!folder)
        return;
    SHCONTF flags = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS;
    if (m_flags & kShowHidden)
        flags |= SHCONTF_INCLUDEHIDDEN;
    IEnumIDList* list = nullptr;
    if (FAILED(folder->EnumObjects(m_hWnd, flags, &list)) || !list)
        return;
    LPITEMIDLIST child = nullptr;
    try {
        ULONG fetched = 0;
        while (list->Next(1, &child, &fetched) == S_OK && fetched == 1) {
            DWORD attributes = kAttributeMask;
            LPCITEMIDLIST one = child;
            if (SUCCEEDED(folder->GetAttributesOf(1, &one, &attributes)) &&
                ((attributes & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR)) ||
                 (m_flags & kShowNonFileSystem)))
                InsertChild(parent, folder, child, attributes);
            m_malloc->Free(child);
            child = nullptr;
        }
    } catch (...) {
        // What was inserted so far stays.
        if (child)
            m_malloc->Free(child);
    }
    list->Release();
    SortChildren(parent, folder);
}

void ShellTreeCtrl::AddPlaceholder(HTREEITEM item) {
    TVINSERTSTRUCTA ins = {};
    ins.hParent = item;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM;
    ins.item.pszText = LPSTR_TEXTCALLBACKA;
    ins.item.lParam = 0;
    InsertItem(ins);
}

void ShellTreeCtrl::DeleteChildren(HTREEITEM item) {
    HTREEITEM child = GetChildItem(item);
    while (child) {
        HTREEITEM next = GetNextSiblingItem(child);
        DeleteItem(child);
        child = next;
    }
}

void ShellTreeCtrl::Populate(HTREEITEM item) {
    DeleteChildren(item);
    if (GetSelectedItem() != item)
        SelectItem(item);
    CWaitCursor wait;
    IShellFolder* folder = BindFolder(item);
    if (folder) {
        EnumerateChildren(item, folder);
        folder->Release();
    }
}

void ShellTreeCtrl::ExpandItem(HTREEITEM item) {
    const bool was = m_filling;
    m_filling = true;
    Populate(item);
    Expand(item, TVE_EXPAND);
    m_filling = was;
}

// --- Sorting -----------------------------------------------------------------------------------

void ShellTreeCtrl::SortChildren(HTREEITEM parent, IShellFolder* folder) {
    m_sortFolder = folder;
    SortChildrenCB(parent ? parent : TVI_ROOT, &ShellTreeCtrl::Compare,
                   reinterpret_cast<LPARAM>(this));
    m_sortFolder = nullptr;
}

int CALLBACK ShellTreeCtrl::Compare(LPARAM a, LPARAM b, LPARAM self) {
    const ItemData* da = reinterpret_cast<const ItemData*>(a);
    const ItemData* db = reinterpret_cast<const ItemData*>(b);
    if (!da || !db)
        return 0;
    return reinterpret_cast<ShellTreeCtrl*>(self)->CompareItems(da, db);
}

int ShellTreeCtrl::CompareItems(const ItemData* a, const ItemData* b) const {
    const bool fa = a->IsFolder(), fb = b->IsFolder();
    if (fa != fb)
        return fa ? -1 : 1;
    const DWORD mode = m_flags & kSortMask;
    if (!fa) {
        if (mode == kSortBySize && a->Size() != b->Size())
            return a->Size() < b->Size() ? -1 : 1;
        if (mode == kSortByDate && a->Time() != b->Time())
            return a->Time() < b->Time() ? -1 : 1;
        if (mode == kSortByType) {
            const std::string na = a->name, nb = b->name;
            const size_t da = FxPathExtensionDot(na), db = FxPathExtensionDot(nb);
            if ((da == std::string::npos) != (db == std::string::npos))
                return da == std::string::npos ? -1 : 1;
            if (da != std::string::npos) {
                const int r = CompareNoCase(na.c_str() + da, nb.c_str() + db);
                if (r != 0)
                    return r;
            }
        }
        return CompareNoCase(a->name, b->name);
    }
    if (mode == kSortByDate && a->Time() && b->Time()) {
        if (a->Time() != b->Time())
            return a->Time() < b->Time() ? -1 : 1;
        return CompareNoCase(a->name, b->name);
    }
    // Folders keep the order their parent folder gives them.
    if (!m_sortFolder)
        return 0;
    const HRESULT hr = m_sortFolder->CompareIDs(0, a->pidl, b->pidl);
    return FAILED(hr) ? 0 : static_cast<short>(HRESULT_CODE(hr));
}

// --- Operations --------------------------------------------------------------------------------

bool ShellTreeCtrl::Refresh(const char* filter) {
    if (!EnsureShell())
        return false;
    if (filter)
        SetFilter(filter);
    // The selection as a chain of names from the top level down.
    std::vector<std::string> chain;
    HTREEITEM selected = GetSelectedItem();
    const bool expanded = selected && (GetItemState(selected, TVIS_EXPANDED) & TVIS_EXPANDED);
    for (HTREEITEM it = selected; it; it = GetParentItem(it)) {
        const ItemData* data = GetData(it);
        chain.insert(chain.begin(), data ? data->name : "");
    }

    SendMessage(WM_SETREDRAW, FALSE);
    m_iconCache.clear();
    DeleteAllItems();
    EnumerateChildren(nullptr, m_desktop);
    HTREEITEM parent = nullptr, found = nullptr;
    for (size_t i = 0; i < chain.size(); ++i) {
        HTREEITEM match = nullptr;
        for (HTREEITEM c = parent ? GetChildItem(parent) : GetRootItem(); c;
             c = GetNextSiblingItem(c)) {
            const ItemData* data = GetData(c);
            if (data && CompareNoCase(data->name, chain[i].c_str()) == 0) {
                match = c;
                break;
            }
        }
        if (!match)
            break;
        found = match;
        if (i + 1 < chain.size() || expanded)
            ExpandItem(match);
        parent = match;
    }
    if (found)
        SelectItem(found);
    SendMessage(WM_SETREDRAW, TRUE);
    Invalidate();
    return true;
}

void ShellTreeCtrl::SetViewFlags(DWORD flags) {
    m_flags = flags;
    Refresh();
}

void ShellTreeCtrl::SetSortMode(DWORD mode) {
    m_flags = (m_flags & ~kSortMask) | (mode & kSortMask);
    Refresh();
}

void ShellTreeCtrl::RefreshItem(HTREEITEM item) {
    if (!item || item == TVI_ROOT) {
        Refresh();
        return;
    }
    const bool was = m_filling;
    m_filling = true;
    Expand(item, TVE_COLLAPSE);
    m_filling = was;
    ExpandItem(item);
}

void ShellTreeCtrl::RefreshParent(HTREEITEM item) {
    HTREEITEM parent = item ? GetParentItem(item) : nullptr;
    if (parent)
        RefreshItem(parent);
    else
        Refresh();
}

bool ShellTreeCtrl::RenameItem(HTREEITEM item, const char* newName, bool refreshParent) {
    const ItemData* data = item ? GetData(item) : nullptr;
    if (!data || !newName)
        return false;
    if (SameName(data->name, newName))
        return true;
    if (!(data->attributes & SFGAO_CANRENAME))
        return false;
    IShellFolder* folder = BindFolder(GetParentItem(item));
    if (!folder)
        return false;
    // A file-system label is the whole file name, so it is given as it stands.
    const SHGDNF how =
        (data->attributes & SFGAO_FILESYSTEM) ? SHGDN_INFOLDER | SHGDN_FORPARSING : SHGDN_INFOLDER;
    LPITEMIDLIST renamed = nullptr;
    const HRESULT hr = folder->SetNameOf(m_hWnd, data->pidl, Wide(newName).c_str(), how, &renamed);
    if (renamed)
        m_malloc->Free(renamed);
    folder->Release();
    if (FAILED(hr))
        return false;
    if (refreshParent)
        RefreshParent(item);
    return true;
}

HTREEITEM ShellTreeCtrl::FindChild(HTREEITEM parent, const char* name, bool wantFolder) const {
    for (HTREEITEM c = parent ? GetChildItem(parent) : GetRootItem(); c;
         c = GetNextSiblingItem(c)) {
        const ItemData* data = GetData(c);
        if (data && SameName(data->name, name) &&
            ((data->attributes & SFGAO_FOLDER) != 0) == wantFolder)
            return c;
    }
    return nullptr;
}

HTREEITEM ShellTreeCtrl::SelectPath(const char* path) {
    if (!EnsureShell() || !path || !*path)
        return nullptr;
    LPITEMIDLIST target = nullptr;
    std::wstring wide = Wide(path);
    if (FAILED(m_desktop->ParseDisplayName(m_hWnd, nullptr, &wide[0], nullptr, &target, nullptr)) ||
        !target)
        return nullptr;
    HTREEITEM parent = nullptr, found = nullptr;
    IShellFolder* folder = m_desktop;
    folder->AddRef();
    for (LPCITEMIDLIST id = target; id->mkid.cb && folder; id = NextId(id)) {
        // One element of the list, terminated.
        std::vector<BYTE> one(id->mkid.cb + sizeof(USHORT), 0);
        std::memcpy(one.data(), id, id->mkid.cb);
        LPCITEMIDLIST element = reinterpret_cast<LPCITEMIDLIST>(one.data());
        if (parent && !(GetItemState(parent, TVIS_EXPANDED) & TVIS_EXPANDED))
            ExpandItem(parent);
        found = nullptr;
        for (HTREEITEM c = parent ? GetChildItem(parent) : GetRootItem(); c;
             c = GetNextSiblingItem(c)) {
            const ItemData* data = GetData(c);
            if (!data)
                continue;
            const HRESULT hr = folder->CompareIDs(0, data->pidl, element);
            if (SUCCEEDED(hr) && HRESULT_CODE(hr) == 0) {
                found = c;
                break;
            }
        }
        folder->Release();
        folder = nullptr;
        if (!found)
            break;
        parent = found;
        if (NextId(id)->mkid.cb)
            folder = BindFolder(found);
    }
    if (folder)
        folder->Release();
    m_malloc->Free(target);
    if (found) {
        SelectItem(found);
        EnsureVisible(found);
    }
    return found;
}

// --- Notifications -----------------------------------------------------------------------------

bool ShellTreeCtrl::HandleNotify(NMHDR* hdr, LRESULT* result) {
    switch (hdr->code) {
    case TVN_GETDISPINFOA: {
        NMTVDISPINFOA* info = reinterpret_cast<NMTVDISPINFOA*>(hdr);
        if ((info->item.mask & TVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0) {
            const ItemData* data = reinterpret_cast<const ItemData*>(info->item.lParam);
            lstrcpynA(info->item.pszText, data ? data->name : "", info->item.cchTextMax);
        }
        *result = 0;
        return true;
    }
    case TVN_DELETEITEMA: {
        NMTREEVIEWA* tv = reinterpret_cast<NMTREEVIEWA*>(hdr);
        std::free(reinterpret_cast<void*>(tv->itemOld.lParam));
        *result = 0;
        return true;
    }
    case TVN_ITEMEXPANDINGA: {
        NMTREEVIEWA* tv = reinterpret_cast<NMTREEVIEWA*>(hdr);
        if ((tv->action & TVE_EXPAND) && !m_filling)
            Populate(tv->itemNew.hItem);
        *result = 0;
        return true;
    }
    case TVN_ITEMEXPANDEDA: {
        // A collapsed folder forgets its children, so that the next expansion reads it anew.
        NMTREEVIEWA* tv = reinterpret_cast<NMTREEVIEWA*>(hdr);
        if ((tv->action & TVE_COLLAPSE) && !m_filling) {
            DeleteChildren(tv->itemNew.hItem);
            AddPlaceholder(tv->itemNew.hItem);
            SetItemState(tv->itemNew.hItem, 0, TVIS_EXPANDEDONCE);
        }
        *result = 0;
        return true;
    }
    default:
        return false;
    }
}
