// CWsbClipText: the clip text window, the workspace bar's second page. A drop-down selector of
// the libraries in the library folder over a list of the current library's snippets by name;
// a snippet goes into the active editor view at its caret mark, to the clipboard, or is added,
// renamed, edited in place, deleted and sorted. A modified library is written back when the
// user switches to another and when the window goes. Layer: workspace/.
#pragma once

#include "framework/Wnd.h"
#include "workspace/BarPaint.h"
#include "workspace/ClipTextFormat.h"

#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CCmdUI;
class IClipTextHost;

class CWsbClipText : public CWnd {
    DECLARE_DYNAMIC(CWsbClipText)
public:
    static const UINT kSelectorId = 0xE900;
    static const UINT kListId = 0xE901;
    static const UINT kEditorId = 0xE902;
    static const int kSelectorDropHeight = 150;

    // One offered library, owned by its selector entry. The title is bounded to the record;
    // the file's own title (up to 4095 bytes) is kept for writing the file back whole.
    struct Library {
        bool modified = false;
        std::string title; // at most 259 bytes
        std::string fileTitle;
        std::string path;
        FILETIME time = {0, 0}; // the file's last write when it was read or written
        ClipLibraryText::Damage damage = ClipLibraryText::kWhole;
        std::string damagedItem;
        // The file could not be read (another program holds it, it cannot be mapped, it is
        // gone): the window shows none of its snippets, takes no new ones and never writes the
        // file, so that what the file holds is not replaced. It is read again, quietly, when
        // the list next takes the focus or the library is chosen again.
        bool unread = false;
        // A number no other library or item of this window ever has: the library is found
        // again by it after a message box, under which the list may have been read anew.
        uint64_t serial = 0;
    };

    CWsbClipText();
    ~CWsbClipText() override;

    void SetHost(IClipTextHost* host) { m_host = host; }
    // The page window: arrow cursor, face background, style 0x52000000.
    bool Create(CWnd* parent, UINT id, const RECT& rc);

    // --- State, for the program and its tests --------------------------------------------
    HWND Selector() const { return m_selector; }
    HWND List() const { return m_list; }
    HWND BodyEditor() const { return m_editor; }
    int LibraryCount() const;
    Library* LibraryAt(int index) const;
    Library* CurrentLibrary() const { return m_current; }
    int ItemCount() const;
    std::string ItemName(int index) const;
    std::string ItemBody(int index) const;
    int SelectedItem() const;
    void SelectItem(int index);
    bool IsSortAscending() const { return m_ascending; }
    bool IsEditingBody() const { return m_editItem >= 0; }

    // --- What the user does -------------------------------------------------------------
    // Chooses the library of the selector's entry, as a choice in the drop-down does.
    void ChooseLibrary(int index);
    void InsertSelected();
    void CopySelected();
    void AddItem();
    void RenameSelected();
    void EditSelected();
    void EndBodyEdit();
    void DeleteSelected();
    void Sort(bool ascending);
    void NewLibrary();
    void OpenLibraryFile();
    void DeleteLibrary();
    // Writes the current library when modified; false when it stays modified.
    bool SaveCurrent();
    // Before the program ends: writes the current library; when it cannot be written, asks
    // whether to end anyway. False when the user keeps the program (and the edits).
    bool SaveBeforeExit();
    // Reads the current library again when its file changed since it was read or written.
    void ReloadIfChanged();

    // --- Handlers -----------------------------------------------------------------------
    int OnCreate(LPCREATESTRUCTA cs);
    void OnDestroy();
    void OnSize(UINT type, int cx, int cy);
    void OnShowWindow(bool show, UINT status);
    void OnSysColorChange();
    // WM_FXDPICHANGED: the font for the new density, and the layout again.
    LRESULT OnFxDpiChanged(WPARAM dpi, LPARAM);
    void OnContextMenu(HWND wnd, POINT pt);
    bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnInsert() { InsertSelected(); }
    void OnCopy() { CopySelected(); }
    void OnAdd() { AddItem(); }
    void OnRename() { RenameSelected(); }
    void OnEdit() { EditSelected(); }
    void OnDelete() { DeleteSelected(); }
    void OnSortAscending() { Sort(true); }
    void OnSortDescending() { Sort(false); }
    void OnLibraryNew() { NewLibrary(); }
    void OnLibraryEdit() { OpenLibraryFile(); }
    void OnLibraryDelete() { DeleteLibrary(); }
    void OnUpdateNeedsItem(CCmdUI* cmdUI);
    void OnUpdateNeedsLibrary(CCmdUI* cmdUI);
    void OnUpdateAdd(CCmdUI* cmdUI);
    void OnUpdateSort(CCmdUI* cmdUI);
    void OnUpdateAlways(CCmdUI* cmdUI);

    DECLARE_MESSAGE_MAP()

private:
    // The data of one list item: its name and body, and a serial number no other item of
    // this window ever has. The list holds no items of its own: it shows m_items by index.
    struct ItemData {
        std::string name;
        std::string body;
        uint64_t serial = 0;
    };
    // An item as a question's message box leaves it: the box runs a message loop, in which the
    // library can be read again (a changed file) or another one chosen, freeing every item.
    // The serial finds the item when nothing was read since; after a reload of the same library
    // an item with the same name and body stands for it.
    struct ItemKey {
        std::string libraryPath;
        uint64_t serial = 0;
        uint64_t loads = 0;
        std::string name;
        std::string body;
    };
    static LRESULT CALLBACK ListProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK EditorProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);

    void FindLibraries();
    // Reads lib into the list; a file that cannot be read is reported unless quiet.
    void LoadLibrary(Library* lib, bool quiet = false);
    int IndexOfLibrary(const Library* lib) const;
    // The selector's entry of the library with this serial, -1 when there is none.
    int FindLibrary(uint64_t serial) const;
    void ClearList();
    void ShowItemCount();
    void SortItems();
    ItemData* DataAt(int index) const;
    int FindItemByName(const std::string& name, int except) const;
    std::unique_ptr<ItemData> MakeItem(std::string name, std::string body);
    ItemKey KeyOf(int index) const;
    // The item's index now, or -1 when it is gone (its library no longer current, or read
    // again without it).
    int FindItem(const ItemKey& key) const;
    bool CanChangeLibrary() const;
    void MarkModified();
    void PlaceBodyEditor();
    void ApplyFonts();
    void ShowMenu(POINT screenPt);
    bool OnEndLabelEdit(NMLVDISPINFOA* info);
    static bool FileTime(const std::string& path, FILETIME* time);

    IClipTextHost* m_host = nullptr;
    HWND m_selector = nullptr;
    HWND m_list = nullptr;
    HWND m_editor = nullptr;
    UINT m_dpi = 96;
    CBarDpiFont m_dpiFont; // the shared font at the page's density
    WNDPROC m_listProc = nullptr;
    WNDPROC m_editorProc = nullptr;
    std::vector<std::unique_ptr<ItemData>> m_items;
    uint64_t m_nextSerial = 0;
    uint64_t m_loads = 0; // how many times a library was read into the list
    Library* m_current = nullptr;
    int m_editItem = -1; // the item whose body is being edited, -1 none
    bool m_ascending = true;
    bool m_endingEdit = false;
};
