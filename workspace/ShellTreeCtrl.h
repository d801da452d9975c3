// ShellTreeCtrl: a tree control over the shell namespace from the desktop down. Each item
// carries one data block (attributes, size, time, its identifier list relative to its parent
// and its display name); a folder that has not been expanded holds one placeholder child so
// that it shows its button, and every expansion enumerates the folder afresh. Files are
// filtered by a list of extensions, folders never. Layer: workspace/ (bars and docking
// windows).
#pragma once

#include "framework/TreeCtrl.h"

#include <shlobj.h>

#include <string>
#include <unordered_map>
#include <vector>

class ShellTreeCtrl : public CTreeCtrl {
    DECLARE_DYNAMIC(ShellTreeCtrl)
public:
    // View flags: the sort mode in the low four bits, then the two show flags.
    static constexpr DWORD kSortByName = 1, kSortByType = 2, kSortBySize = 4, kSortByDate = 8;
    static constexpr DWORD kSortMask = 0x0F;
    static constexpr DWORD kShowHidden = 0x10;
    static constexpr DWORD kShowNonFileSystem = 0x20;
    // The shell attributes asked for each child.
    static constexpr DWORD kAttributeMask =
        SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK | SFGAO_CANRENAME | SFGAO_CANDELETE |
        SFGAO_HASPROPSHEET | SFGAO_LINK | SFGAO_HIDDEN | SFGAO_REMOVABLE | SFGAO_BROWSABLE |
        SFGAO_FILESYSANCESTOR | SFGAO_FOLDER | SFGAO_FILESYSTEM;
    static constexpr size_t kMaxExtension = 255;

    // One per item, in one heap block: the record, then the relative identifier list (ending
    // with a zero size and one more zero byte), then the display name.
    struct ItemData {
        const char* name;
        DWORD attributes;
        DWORD sizeLow, sizeHigh;
        DWORD timeLow, timeHigh;
        LPITEMIDLIST pidl; // relative to the parent folder
        ULONGLONG Size() const { return (static_cast<ULONGLONG>(sizeHigh) << 32) | sizeLow; }
        ULONGLONG Time() const { return (static_cast<ULONGLONG>(timeHigh) << 32) | timeLow; }
        bool IsFolder() const { return (attributes & (SFGAO_FOLDER | SFGAO_FILESYSANCESTOR)) != 0; }
    };

    ShellTreeCtrl();
    ~ShellTreeCtrl() override;

    // Rebuilds the tree (applying the filter first when one is given) and finds the selected
    // item again by its chain of names. False when the window, the shell allocator or the
    // image list is unavailable.
    bool Refresh(const char* filter = nullptr);
    void SetViewFlags(DWORD flags);
    DWORD GetViewFlags() const { return m_flags; }
    void SetSortMode(DWORD mode);
    // Enumerates the item's folder afresh (the root, or no item, rebuilds everything).
    void RefreshItem(HTREEITEM item);
    void RefreshParent(HTREEITEM item);
    bool RenameItem(HTREEITEM item, const char* newName, bool refreshParent);
    // The child of parent (the top level for none) named `name` byte for byte whose folder
    // attribute is `wantFolder`.
    HTREEITEM FindChild(HTREEITEM parent, const char* name, bool wantFolder) const;
    // Expands the tree down to a file-system path and selects its item; null when some level
    // is not in the tree (filtered out, hidden, or not there).
    HTREEITEM SelectPath(const char* path);

    // The item's file-system path (empty for other objects). File operations take the UTF-16
    // path: the ANSI one shows characters outside the code page as "?" or a look-alike, which
    // `exact` (when given) reports; it is for showing, or for use where it is exact.
    std::wstring GetItemPathW(HTREEITEM item) const;
    std::string GetItemPath(HTREEITEM item, bool* exact = nullptr) const;
    // An absolute identifier list (free it with the shell allocator), or null.
    LPITEMIDLIST GetItemIdList(HTREEITEM item) const;
    bool GetItemAttributes(HTREEITEM item, DWORD* attributes) const;
    const ItemData* GetData(HTREEITEM item) const {
        return reinterpret_cast<const ItemData*>(GetItemData(item));
    }
    // A file: no folder attribute and no children.
    bool IsFileItem(HTREEITEM item) const;

    // The filter: patterns separated by ";"; "*.*" or an empty list shows every file.
    void SetFilter(const char* filter);
    const std::vector<std::string>& Extensions() const { return m_extensions; }
    bool PassesFilter(const char* name) const;

    // The tree's own notifications, handed over by its parent; true when handled.
    bool HandleNotify(NMHDR* hdr, LRESULT* result);

private:
    bool EnsureShell();
    // Adds the children of a folder under parent (the top level for null), then sorts them.
    void EnumerateChildren(HTREEITEM parent, IShellFolder* folder);
    HTREEITEM InsertChild(HTREEITEM parent, IShellFolder* folder, LPCITEMIDLIST pidl,
                          DWORD attributes);
    // The folder object of an item (the desktop for none); release it.
    IShellFolder* BindFolder(HTREEITEM item) const;
    void DeleteChildren(HTREEITEM item);
    void AddPlaceholder(HTREEITEM item);
    // Fills a folder item with its current children (the expansion's work).
    void Populate(HTREEITEM item);
    // Expands an item, filling it first, whether or not the control notifies.
    void ExpandItem(HTREEITEM item);
    void SortChildren(HTREEITEM parent, IShellFolder* folder);
    static int CALLBACK Compare(LPARAM a, LPARAM b, LPARAM self);
    int CompareItems(const ItemData* a, const ItemData* b) const;

    IMalloc* m_malloc = nullptr;
    IShellFolder* m_desktop = nullptr;
    HIMAGELIST m_images = nullptr;
    DWORD m_flags = kSortByName;
    bool m_showAllFiles = true;
    std::vector<std::string> m_extensions;
    // The small icon (and open icon) of what shares one: plain folders, and files by
    // extension except those whose icon is their own (programs, icons, shortcuts).
    bool IconKey(const WIN32_FIND_DATAA& find, DWORD attributes, bool isFolder,
                 std::string* key) const;
    struct Icons {
        int normal, open;
    };
    std::unordered_map<std::string, Icons> m_iconCache;
    IShellFolder* m_sortFolder = nullptr; // the parent folder while its children are sorted
    bool m_filling = false;               // expansions made here, not by the user
};
