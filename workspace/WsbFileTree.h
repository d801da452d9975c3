// CWsbFileTree: the workspace bar's file tree page: a filter combo box over the shell tree, the
// tree's context menu (open in the editor or with the system's handler, copy and paste of files
// through the clipboard, delete, rename, new file and folder, sorting, the show flags,
// properties), and the drive refresh timer the main frame starts when volumes come and go.
// Layer: workspace/ (bars and docking windows).
#pragma once

#include "framework/ComboBox.h"
#include "workspace/FileTreeDrives.h"
#include "workspace/BarPaint.h"
#include "workspace/FileTreeHost.h"
#include "workspace/ShellTreeCtrl.h"

#include <string>

class CCmdUI;

// The combo box's edit field: Enter applies its text as the filter.
class CFileTreeFilterEdit : public CWnd {
public:
    CWnd* m_owner = nullptr;
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnChar(UINT key, UINT repeat, UINT flags);
    DECLARE_MESSAGE_MAP()
};

class CWsbFileTree : public CWnd, public IFileTreeDrives {
    DECLARE_DYNAMIC(CWsbFileTree)
public:
    static constexpr UINT kTreeId = 0xE901;
    static constexpr UINT kFilterId = 0xE900;
    static constexpr int kDroppedHeight = 150;
    static constexpr int kMaxNewNames = 65534;

    CWsbFileTree();
    ~CWsbFileTree() override;

    // The page window: arrow cursor, button-face background.
    bool Create(CWnd* parent, const RECT& rect, UINT id, DWORD style = 0x52000000);
    void SetHost(IFileTreeHost* host) { m_host = host; }
    ShellTreeCtrl& Tree() { return m_tree; }
    CComboBox& FilterBox() { return m_filter; }
    // The filter text in force.
    const std::string& CurrentFilter() const { return m_currentFilter; }
    // Applies a pattern text as the filter (nothing for an empty text) and keeps it in the list.
    void ApplyFilter(const std::string& text);
    // The settings' filter list changed: the box takes the new list. The filter in force stays
    // when the new list holds it; otherwise the list's first entry is applied, or with an empty
    // list every file is shown.
    void ReloadFilterList();

    // The view flags from and to the stored settings.
    static DWORD FlagsFromSettings(const IFileTreeHost::ViewSettings& settings);
    static IFileTreeHost::ViewSettings SettingsFromFlags(DWORD flags);

    // The item the context menu's commands act on, as a right click at a client point of the
    // tree would choose it; tests and the keyboard menu use it too.
    void ChooseTargets(HTREEITEM hit);
    // The actions behind the commands, on the chosen targets.
    void OpenInEditor(HTREEITEM item);
    bool CopyItem(HTREEITEM item);
    bool PasteInto(HTREEITEM target);
    void DeleteItem(HTREEITEM item, bool permanently);
    HTREEITEM NewFile(HTREEITEM target, bool folder);
    // The first free "name%d" in a folder, numbered from 1; empty when every number is taken.
    static std::string FreeName(const std::wstring& folder, const std::string& pattern);

    // IFileTreeDrives
    HWND DriveTreeWindow() const override { return m_hWnd; }

    bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    int OnCreate(LPCREATESTRUCTA cs);
    void OnDestroy();
    void OnSize(UINT type, int cx, int cy);
    void OnTimer(UINT_PTR id);
    void OnSysColorChange();
    // WM_FXDPICHANGED: the font for the new density, and the layout again.
    LRESULT OnFxDpiChanged(WPARAM dpi, LPARAM);
    void OnContextMenu(HWND wnd, POINT pt);
    void OnFilterSelChange();
    LRESULT OnMenuSelectForward(WPARAM wParam, LPARAM lParam);
    LRESULT OnExitMenuLoopForward(WPARAM wParam, LPARAM lParam);
    LRESULT OnRenameDone(WPARAM wParam, LPARAM lParam);

    void OnOpen();
    void OnShellOpen();
    void OnCopy();
    void OnPaste();
    void OnDelete();
    void OnRename();
    void OnNewFile();
    void OnNewFolder();
    void OnSort(UINT id);
    void OnRefresh();
    void OnShowHidden();
    void OnShowNonFileSystem();
    void OnProperties();
    void OnUpdateOpen(CCmdUI* cmdUI);
    void OnUpdateAlways(CCmdUI* cmdUI);
    void OnUpdateCopy(CCmdUI* cmdUI);
    void OnUpdatePaste(CCmdUI* cmdUI);
    void OnUpdateDelete(CCmdUI* cmdUI);
    void OnUpdateRename(CCmdUI* cmdUI);
    void OnUpdateNew(CCmdUI* cmdUI);
    void OnUpdateSort(CCmdUI* cmdUI);
    void OnUpdateShowHidden(CCmdUI* cmdUI);
    void OnUpdateShowNonFileSystem(CCmdUI* cmdUI);
    void OnUpdateProperties(CCmdUI* cmdUI);

    DECLARE_MESSAGE_MAP()

private:
    void ApplyFont();
    void FillFilterBox();
    // The patterns of the settings' filter list, in order.
    void AddFilterPatterns();
    void Layout();
    bool HasAttribute(HTREEITEM item, DWORD attribute) const;
    // A file-system folder that is not a shortcut, or no item (the desktop).
    bool IsDropTarget(HTREEITEM item) const;
    // The folder new files and pasted files go to: the item's path or the desktop directory.
    std::wstring TargetFolder(HTREEITEM target) const;
    void ShellExecuteItem(HTREEITEM item, const char* verb);
    void ShowContextMenu(POINT screenPt, HTREEITEM hit);

    ShellTreeCtrl m_tree;
    CComboBox m_filter;
    UINT m_dpi = 96;
    CBarDpiFont m_dpiFont; // the shared font at the page's density
    CFileTreeFilterEdit m_filterEdit;
    IFileTreeHost* m_host = nullptr;
    std::string m_currentFilter;
    // The items the context menu's commands act on (null: none).
    HTREEITEM m_pasteTarget = nullptr;
    HTREEITEM m_deleteItem = nullptr;
    HTREEITEM m_renameItem = nullptr;
    HTREEITEM m_propertiesItem = nullptr;
    HTREEITEM m_openItem = nullptr;
    HTREEITEM m_newFileTarget = nullptr;
    HTREEITEM m_newFolderTarget = nullptr;
    // A successful label edit refreshes the renamed item's parent once the edit is over.
    HTREEITEM m_renamedParent = nullptr;
    bool m_renamePending = false;
};
