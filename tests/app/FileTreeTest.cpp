// The workspace's file tree page in the running editor, over Wine's shell namespace: drives and
// folders, the filter, folders read afresh on expansion, sorting, new files and folders, delete
// to the recycle bin and permanently (with the shell's confirmation), copy and paste through
// the clipboard, rename by label edit, opening a file by double-click, the stored view flags,
// the drive timer, and files whose names the ANSI code page cannot show. Each test works in a
// folder of its own under the temporary folder.
#include "app/App.h"
#include "app/AppMainFrame.h"
#include "app/FileTreeHost.h"
#include "app/TextEditDoc.h"
#include "settings/SettingsStore.h"
#include "common/PathName.h"
#include "framework/CmdUI.h"
#include "framework/MessageBox.h"
#include "framework/ResourceText.h"
#include "workspace/FileTreeIds.h"
#include "workspace/WsbFileTree.h"

#include "tests/app/AppTestUtil.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>

namespace {

CApp& TheApp() {
    static CApp* app = new CApp; // lives to the end of the process
    return *app;
}

void Settle(int rounds = 4) {
    for (int i = 0; i < rounds; ++i) {
        TheApp().PumpPendingMessages();
        Sleep(10);
    }
}

bool WriteFile(const std::string& path, size_t size) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    std::string bytes(size, 'x');
    DWORD written = 0;
    const bool ok =
        size == 0 || ::WriteFile(h, bytes.data(), static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(h);
    return ok;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring Wide(const std::string& ansi) {
    const int n = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
    std::wstring wide(n > 0 ? static_cast<size_t>(n) : 1, L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, &wide[0], n);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

bool WriteWideFile(const std::wstring& path, size_t size) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    std::string bytes(size, 'w');
    DWORD written = 0;
    const bool ok =
        size == 0 || ::WriteFile(h, bytes.data(), static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(h);
    return ok;
}

bool WideExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

DWORD WideSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ? data.nFileSizeLow
                                                                            : 0xFFFFFFFF;
}

// The names in a folder, in UTF-16 (some of the tests' names have no ANSI form).
std::vector<std::wstring> WideNames(const std::wstring& dir) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW find;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &find);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = find.cFileName;
            if (name != L"." && name != L"..")
                names.push_back(name);
        } while (FindNextFileW(h, &find));
        FindClose(h);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveWideTree(const std::wstring& dir) {
    WIN32_FIND_DATAW find;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &find);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = find.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = dir + L"\\" + name;
            if (find.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveWideTree(path);
            else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(h, &find));
        FindClose(h);
    }
    RemoveDirectoryW(dir.c_str());
}

void RemoveTree(const std::string& dir) {
    RemoveWideTree(Wide(dir));
}

// Messages the page shows, answered without a box.
std::vector<std::string> g_messages;
int RecordMessage(const char* text, const char*, UINT) {
    g_messages.push_back(text);
    return IDOK;
}

// Answers the shell's confirmation dialogs of this process from another thread, pressing
// `button` (IDYES or IDNO) in each; counts them.
class ShellDialogAnswerer {
public:
    explicit ShellDialogAnswerer(int button) : m_button(button) {
        m_thread = std::thread([this] { Run(); });
    }
    ~ShellDialogAnswerer() {
        m_stop = true;
        m_thread.join();
    }
    int Count() const { return m_count; }

private:
    void Run() {
        while (!m_stop) {
            EnumWindows(&ShellDialogAnswerer::Visit, reinterpret_cast<LPARAM>(this));
            Sleep(30);
        }
    }
    static BOOL CALLBACK Visit(HWND wnd, LPARAM self) {
        auto* me = reinterpret_cast<ShellDialogAnswerer*>(self);
        DWORD pid = 0;
        GetWindowThreadProcessId(wnd, &pid);
        char cls[64] = "";
        GetClassNameA(wnd, cls, sizeof cls);
        if (pid == GetCurrentProcessId() && IsWindowVisible(wnd) && std::string(cls) == "#32770") {
            HWND button = GetDlgItem(wnd, me->m_button);
            if (!button && me->m_button == IDYES)
                button = GetDlgItem(wnd, IDOK);
            if (!button && me->m_button == IDNO)
                button = GetDlgItem(wnd, IDCANCEL);
            if (button) {
                ++me->m_count;
                PostMessageA(wnd, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                             reinterpret_cast<LPARAM>(button));
                Sleep(100);
            }
        }
        return TRUE;
    }
    int m_button;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_count{0};
    std::thread m_thread;
};

class StateCmdUI : public CCmdUI {
public:
    void Enable(bool on = true) override { enabled = on; }
    void SetCheck(int check = 1) override { checked = check; }
    bool enabled = false;
    int checked = -1;
};

class FileTreeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(StartInProcessApp(TheApp())); }
    static void TearDownTestSuite() { StopInProcessApp(TheApp()); }

    void SetUp() override {
        m_frame = AppMainFrame();
        ASSERT_NE(m_frame, nullptr);
        m_frame->ShowWorkspacePage(CWorkspaceBar::kFileTreePage);
        Settle();
        ASSERT_NE(Page().m_hWnd, nullptr);
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = FxPathWithSeparator(temp) + "qvtree_" + info->name();
        RemoveTree(m_dir);
        ASSERT_TRUE(CreateDirectoryA(m_dir.c_str(), nullptr));
        g_messages.clear();
        AfxSetMessageBoxHook(&RecordMessage);
        Page().ApplyFilter("*.*");
    }
    void TearDown() override {
        AfxSetMessageBoxHook(nullptr);
        if (Tree().GetEditControl())
            Tree().EndEditLabelNow(true);
        TheApp().CloseAllDocuments(false);
        Settle();
        RemoveTree(m_dir);
    }

    CWsbFileTree& Page() { return m_frame->WorkspaceBar().FileTree(); }
    ShellTreeCtrl& Tree() { return Page().Tree(); }
    std::string In(const char* name) const { return m_dir + "\\" + name; }
    std::wstring WideIn(const wchar_t* name) const { return Wide(m_dir) + L"\\" + name; }

    // The item of the test's folder, expanded.
    HTREEITEM Folder(const std::string& path = std::string()) {
        HTREEITEM item = Tree().SelectPath((path.empty() ? m_dir : path).c_str());
        if (item) {
            Tree().RefreshItem(item);
            Settle(1);
        }
        return item;
    }
    std::vector<std::string> Kids(HTREEITEM parent) {
        std::vector<std::string> names;
        for (HTREEITEM c = Tree().GetChildItem(parent); c; c = Tree().GetNextSiblingItem(c))
            names.push_back(Tree().GetItemText(c));
        return names;
    }

    CAppMainFrame* m_frame = nullptr;
    std::string m_dir;
};

using Names = std::vector<std::string>;

TEST_F(FileTreeTest, TheTopLevelHoldsOnlyFileSystemObjectsAndTheDrivesAppear) {
    ASSERT_TRUE(Tree().Refresh());
    ASSERT_NE(Tree().GetRootItem(), nullptr);
    for (HTREEITEM c = Tree().GetRootItem(); c; c = Tree().GetNextSiblingItem(c)) {
        DWORD a = 0;
        ASSERT_TRUE(Tree().GetItemAttributes(c, &a));
        EXPECT_NE(a & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR), 0u) << Tree().GetItemText(c);
    }
    HTREEITEM drive = Tree().SelectPath("C:\\");
    ASSERT_NE(drive, nullptr);
    EXPECT_EQ(Tree().GetItemPath(drive), "C:\\");
    // The drive sits under a top-level container beside the other drives.
    HTREEITEM drives = Tree().GetParentItem(drive);
    ASSERT_NE(drives, nullptr);
    EXPECT_EQ(Tree().GetParentItem(drives), nullptr);
    EXPECT_EQ(Tree().GetItemPath(drives), "");
    // Expanding a drive shows its folders, the Windows folder among them.
    Tree().RefreshItem(drive);
    bool windows = false;
    for (const std::string& n : Kids(drive))
        windows = windows || lstrcmpiA(n.c_str(), "windows") == 0;
    EXPECT_TRUE(windows);
}

TEST_F(FileTreeTest, TheFilterShowsOnlyItsExtensionsAndEveryFolder) {
    for (const char* f : {"a.c", "b.h", "c.txt", "d.tar.gz", "e.C", "noext"})
        ASSERT_TRUE(WriteFile(In(f), 1));
    ASSERT_TRUE(CreateDirectoryA(In("sub.d").c_str(), nullptr));

    Page().ApplyFilter("*.c; *.h");
    EXPECT_EQ(Tree().Extensions(), (Names{".c", ".h"}));
    EXPECT_EQ(Kids(Folder()), (Names{"sub.d", "a.c", "b.h", "e.C"}));

    // Only the last extension of a name counts: a two-extension pattern matches nothing.
    Page().ApplyFilter("*.tar.gz");
    EXPECT_EQ(Kids(Folder()), (Names{"sub.d"}));

    Page().ApplyFilter("*.*");
    EXPECT_EQ(Kids(Folder()), (Names{"sub.d", "a.c", "b.h", "c.txt", "d.tar.gz", "e.C", "noext"}));
    // Splitting stops at an empty pattern or one without a dot.
    Page().ApplyFilter("*.txt;;*.c");
    EXPECT_EQ(Tree().Extensions(), (Names{".txt"}));
    Page().ApplyFilter("*.h; readme; *.c");
    EXPECT_EQ(Tree().Extensions(), (Names{".h"}));
    Page().ApplyFilter("*.h; *.*; *.c");
    EXPECT_TRUE(Tree().Extensions().empty());
}

// A change of the settings' filter list (the filter page confirmed) reaches the tree's filter
// box at once: the filter in force stays while the new list holds it, otherwise the new list's
// first entry takes over.
TEST_F(FileTreeTest, AChangedFilterListReachesTheFilterBoxAtOnce) {
    SettingsStore* store = AppSettings();
    ASSERT_NE(store, nullptr);
    const CLstFileFilterInfo saved = store->FileFilters();
    for (const char* f : {"a.c", "b.h", "c.txt"})
        ASSERT_TRUE(WriteFile(In(f), 1));
    const auto boxItems = [&] {
        Names items;
        for (int i = 0; i < Page().FilterBox().GetCount(); ++i)
            items.push_back(Page().FilterBox().GetLBText(i));
        return items;
    };

    CLstFileFilterInfo list = {{0, 0, "C", "*.c;*.h"}, {0, 0, "Text", "*.txt"}};
    store->SetFileFilters(list);
    m_frame->FileFiltersChanged();
    EXPECT_EQ(boxItems(), (Names{"*.c;*.h", "*.txt"}));
    // "*.*", applied before, is in the list no more.
    EXPECT_EQ(Page().CurrentFilter(), "*.c;*.h");
    EXPECT_EQ(Page().FilterBox().GetCurSel(), 0);
    EXPECT_EQ(Kids(Folder()), (Names{"a.c", "b.h"}));

    Page().FilterBox().SetCurSel(1);
    Page().OnFilterSelChange();
    list.insert(list.begin(), {0, 0, "All", "*.*"});
    store->SetFileFilters(list);
    m_frame->FileFiltersChanged();
    EXPECT_EQ(boxItems(), (Names{"*.*", "*.c;*.h", "*.txt"}));
    EXPECT_EQ(Page().CurrentFilter(), "*.txt");
    EXPECT_EQ(Page().FilterBox().GetCurSel(), 2);
    EXPECT_EQ(Kids(Folder()), (Names{"c.txt"}));

    store->SetFileFilters(saved);
    m_frame->FileFiltersChanged();
}

TEST_F(FileTreeTest, EnterInTheFilterFieldAppliesAndKeepsThePattern) {
    ASSERT_TRUE(WriteFile(In("x.md"), 1));
    ASSERT_TRUE(WriteFile(In("y.c"), 1));
    HWND edit = GetWindow(Page().FilterBox().m_hWnd, GW_CHILD);
    ASSERT_NE(edit, nullptr);
    SetWindowTextA(edit, "*.md");
    SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    Settle();
    EXPECT_EQ(Page().CurrentFilter(), "*.md");
    EXPECT_NE(Page().FilterBox().SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>("*.md")),
              CB_ERR);
    EXPECT_EQ(Kids(Folder()), (Names{"x.md"}));
    // An empty text changes nothing.
    SetWindowTextA(edit, "");
    SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(Page().CurrentFilter(), "*.md");
}

TEST_F(FileTreeTest, CollapsingAndExpandingShowsAFileAddedOutside) {
    ASSERT_TRUE(WriteFile(In("one.txt"), 1));
    HTREEITEM folder = Folder();
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(Kids(folder), (Names{"one.txt"}));
    ASSERT_TRUE(WriteFile(In("two.txt"), 1));
    // The user collapses and expands the folder with the arrow keys.
    Tree().SelectItem(folder);
    Tree().SetFocus();
    Tree().SendMessage(WM_KEYDOWN, VK_LEFT, 0);
    Settle(1);
    EXPECT_FALSE(Tree().GetItemState(folder, TVIS_EXPANDED) & TVIS_EXPANDED);
    // A collapsed folder keeps only its placeholder.
    EXPECT_EQ(Kids(folder), (Names{""}));
    Tree().SendMessage(WM_KEYDOWN, VK_RIGHT, 0);
    Settle(1);
    EXPECT_TRUE(Tree().GetItemState(folder, TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_EQ(Kids(folder), (Names{"one.txt", "two.txt"}));
}

TEST_F(FileTreeTest, SortBySizeOrdersFilesAndKeepsFoldersInTheShellsOrder) {
    for (const char* d : {"zeta", "alpha", "Mid"})
        ASSERT_TRUE(CreateDirectoryA(In(d).c_str(), nullptr));
    ASSERT_TRUE(WriteFile(In("a_big.txt"), 300));
    ASSERT_TRUE(WriteFile(In("b_small.txt"), 10));
    ASSERT_TRUE(WriteFile(In("c_mid.txt"), 100));
    ASSERT_TRUE(WriteFile(In("d_mid.txt"), 100));
    ASSERT_TRUE(WriteFile(In("e.bat"), 1000));
    ASSERT_TRUE(WriteFile(In("f"), 5000));

    Page().SendMessage(WM_COMMAND, ID_FILETREE_SORT_NAME);
    const Names byName = Kids(Folder());
    ASSERT_EQ(byName.size(), 9u);
    const Names folders(byName.begin(), byName.begin() + 3);
    EXPECT_EQ(Names(byName.begin() + 3, byName.end()),
              (Names{"a_big.txt", "b_small.txt", "c_mid.txt", "d_mid.txt", "e.bat", "f"}));

    Page().SendMessage(WM_COMMAND, ID_FILETREE_SORT_SIZE);
    EXPECT_EQ(Tree().GetViewFlags() & ShellTreeCtrl::kSortMask, ShellTreeCtrl::kSortBySize);
    Names bySize = Kids(Folder());
    ASSERT_EQ(bySize.size(), 9u);
    EXPECT_EQ(Names(bySize.begin(), bySize.begin() + 3), folders);
    EXPECT_EQ(Names(bySize.begin() + 3, bySize.end()),
              (Names{"b_small.txt", "c_mid.txt", "d_mid.txt", "a_big.txt", "e.bat", "f"}));

    // By type: no extension first, then by extension, equal ones by name.
    Page().SendMessage(WM_COMMAND, ID_FILETREE_SORT_TYPE);
    Names byType = Kids(Folder());
    EXPECT_EQ(Names(byType.begin() + 3, byType.end()),
              (Names{"f", "e.bat", "a_big.txt", "b_small.txt", "c_mid.txt", "d_mid.txt"}));
    StateCmdUI ui;
    ui.m_nID = ID_FILETREE_SORT_TYPE;
    Page().OnUpdateSort(&ui);
    EXPECT_EQ(ui.checked, 1);
    ui.m_nID = ID_FILETREE_SORT_NAME;
    Page().OnUpdateSort(&ui);
    EXPECT_EQ(ui.checked, 0);
    Page().SendMessage(WM_COMMAND, ID_FILETREE_SORT_NAME);
}

TEST_F(FileTreeTest, NewFileAndFolderNamesSkipTakenNumbersAndStartTheLabelEdit) {
    const std::string file1 = AfxFormat(AfxLoadString(IDS_FILETREE_NEWFILE).c_str(), 1);
    const std::string file2 = AfxFormat(AfxLoadString(IDS_FILETREE_NEWFILE).c_str(), 2);
    EXPECT_EQ(file1, "新建文件1");
    ASSERT_TRUE(WriteFile(In(file1.c_str()), 0));
    HTREEITEM folder = Folder();
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(CWsbFileTree::FreeName(Wide(m_dir), AfxLoadString(IDS_FILETREE_NEWFILE)), file2);

    Page().ChooseTargets(folder);
    Page().SendMessage(WM_COMMAND, ID_FILETREE_NEWFILE);
    Settle(1);
    EXPECT_TRUE(Exists(In(file2.c_str())));
    HWND edit = Tree().GetEditControl();
    ASSERT_NE(edit, nullptr);
    char text[MAX_PATH] = "";
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_EQ(std::string(text), file2);
    Tree().EndEditLabelNow(true);
    Settle(1);

    folder = Tree().SelectPath(m_dir.c_str());
    Page().ChooseTargets(folder);
    Page().SendMessage(WM_COMMAND, ID_FILETREE_NEWFOLDER);
    Settle(1);
    const std::string dir1 = AfxFormat(AfxLoadString(IDS_FILETREE_NEWFOLDER).c_str(), 1);
    EXPECT_EQ(dir1, "新建文件夹1");
    EXPECT_TRUE(GetFileAttributesA(In(dir1.c_str()).c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_NE(Tree().GetEditControl(), nullptr);
    Tree().EndEditLabelNow(true);
    EXPECT_TRUE(g_messages.empty());
}

TEST_F(FileTreeTest, ANewFileThatCannotBeMadeShowsTheSystemsReason) {
    HTREEITEM folder = Folder();
    ASSERT_NE(folder, nullptr);
    RemoveTree(m_dir); // the folder goes away behind the tree's back
    EXPECT_EQ(Page().NewFile(folder, false), nullptr);
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_EQ(g_messages[0].rfind("试图建立新文件失败，错误信息：", 0), 0u) << g_messages[0];
    CreateDirectoryA(m_dir.c_str(), nullptr);
}

TEST_F(FileTreeTest, DeleteMovesToTheRecycleBinAfterTheShellsConfirmation) {
    ASSERT_TRUE(WriteFile(In("gone.txt"), 10));
    ASSERT_TRUE(WriteFile(In("stays.txt"), 10));
    HTREEITEM folder = Folder();
    HTREEITEM item = Tree().FindChild(folder, "gone.txt", false);
    ASSERT_NE(item, nullptr);
    Page().ChooseTargets(item);
    StateCmdUI ui;
    ui.m_nID = ID_FILETREE_DELETE;
    Page().OnUpdateDelete(&ui);
    EXPECT_TRUE(ui.enabled);
    {
        ShellDialogAnswerer yes(IDYES);
        Page().SendMessage(WM_COMMAND, ID_FILETREE_DELETE);
    }
    EXPECT_FALSE(Exists(In("gone.txt")));
    EXPECT_EQ(Kids(folder), (Names{"stays.txt"}));
    EXPECT_TRUE(g_messages.empty());
}

TEST_F(FileTreeTest, PermanentDeleteWithShiftStillAsksAndNoKeepsTheFile) {
    ASSERT_TRUE(WriteFile(In("keep.txt"), 10));
    HTREEITEM folder = Folder();
    HTREEITEM item = Tree().FindChild(folder, "keep.txt", false);
    ASSERT_NE(item, nullptr);
    Page().ChooseTargets(item);
    BYTE keys[256];
    GetKeyboardState(keys);
    BYTE shifted[256];
    memcpy(shifted, keys, sizeof keys);
    shifted[VK_SHIFT] = 0x80;
    SetKeyboardState(shifted);
    {
        ShellDialogAnswerer no(IDNO);
        Page().SendMessage(WM_COMMAND, ID_FILETREE_DELETE);
        EXPECT_GE(no.Count(), 1); // the confirmation was shown
    }
    EXPECT_TRUE(Exists(In("keep.txt")));
    EXPECT_EQ(Kids(folder), (Names{"keep.txt"}));
    {
        ShellDialogAnswerer yes(IDYES);
        Page().SendMessage(WM_COMMAND, ID_FILETREE_DELETE);
        EXPECT_GE(yes.Count(), 1);
    }
    SetKeyboardState(keys);
    EXPECT_FALSE(Exists(In("keep.txt")));
    EXPECT_TRUE(Kids(folder).empty());
    EXPECT_TRUE(g_messages.empty());
}

TEST_F(FileTreeTest, DeleteWithoutAnItemOrOfAnObjectWithoutPathSaysWhy) {
    Page().DeleteItem(nullptr, false);
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_EQ(g_messages[0], "没有选定项目或操作出错，删除操作无法进行。");
    HTREEITEM drive = Tree().SelectPath("C:\\");
    HTREEITEM drives = drive ? Tree().GetParentItem(drive) : nullptr;
    ASSERT_NE(drives, nullptr);
    Page().DeleteItem(drives, false);
    ASSERT_EQ(g_messages.size(), 2u);
    EXPECT_NE(g_messages[1].find("所选定的项目具有只读属性，不能被删除。"), std::string::npos);
}

TEST_F(FileTreeTest, CopyAndPasteAFileIntoAnotherFolder) {
    ASSERT_TRUE(CreateDirectoryA(In("from").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(In("to").c_str(), nullptr));
    ASSERT_TRUE(WriteFile(In("from\\note.txt"), 42));
    HTREEITEM from = Folder(In("from"));
    HTREEITEM file = Tree().FindChild(from, "note.txt", false);
    ASSERT_NE(file, nullptr);
    Page().ChooseTargets(file);
    Page().SendMessage(WM_COMMAND, ID_FILETREE_COPY);

    // The clipboard holds a drop list of the one path.
    ASSERT_TRUE(IsClipboardFormatAvailable(CF_HDROP));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HDROP drop = static_cast<HDROP>(GetClipboardData(CF_HDROP));
    ASSERT_NE(drop, nullptr);
    EXPECT_EQ(DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0), 1u);
    char path[MAX_PATH] = "";
    DragQueryFileA(drop, 0, path, sizeof path);
    CloseClipboard();
    EXPECT_EQ(lstrcmpiA(path, In("from\\note.txt").c_str()), 0) << path;

    // Paste is offered on a folder, not on a file.
    StateCmdUI ui;
    ui.m_nID = ID_FILETREE_PASTE;
    Page().OnUpdatePaste(&ui);
    EXPECT_FALSE(ui.enabled);
    HTREEITEM to = Folder(In("to"));
    ASSERT_NE(to, nullptr);
    Page().ChooseTargets(to);
    Page().OnUpdatePaste(&ui);
    EXPECT_TRUE(ui.enabled);
    {
        ShellDialogAnswerer yes(IDYES);
        Page().SendMessage(WM_COMMAND, ID_FILETREE_PASTE);
    }
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExA(In("to\\note.txt").c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.nFileSizeLow, 42u);
    EXPECT_TRUE(Exists(In("from\\note.txt")));
    to = Folder(In("to"));
    EXPECT_EQ(Kids(to), (Names{"note.txt"}));
}

TEST_F(FileTreeTest, RenamingOntoAnExistingNameKeepsTheOldLabel) {
    ASSERT_TRUE(WriteFile(In("x.txt"), 1));
    ASSERT_TRUE(WriteFile(In("y.txt"), 2));
    HTREEITEM folder = Folder();
    HTREEITEM x = Tree().FindChild(folder, "x.txt", false);
    ASSERT_NE(x, nullptr);
    EXPECT_FALSE(Tree().RenameItem(x, "y.txt", true));
    EXPECT_TRUE(Exists(In("x.txt")));

    // Through the label edit, as the user does it.
    Page().ChooseTargets(x);
    Page().SendMessage(WM_COMMAND, ID_FILETREE_RENAME);
    HWND edit = Tree().GetEditControl();
    ASSERT_NE(edit, nullptr);
    SetWindowTextA(edit, "y.txt");
    Tree().EndEditLabelNow(false);
    Settle();
    EXPECT_EQ(Kids(folder), (Names{"x.txt", "y.txt"}));
    EXPECT_TRUE(Exists(In("x.txt")));

    // A free name renames the file, and the folder shows it.
    x = Tree().FindChild(folder, "x.txt", false);
    ASSERT_NE(x, nullptr);
    Tree().SetFocus();
    edit = Tree().EditLabel(x);
    ASSERT_NE(edit, nullptr);
    SetWindowTextA(edit, "z.txt");
    Tree().EndEditLabelNow(false);
    Settle();
    EXPECT_FALSE(Exists(In("x.txt")));
    EXPECT_TRUE(Exists(In("z.txt")));
    folder = Tree().SelectPath(m_dir.c_str());
    EXPECT_EQ(Kids(folder), (Names{"y.txt", "z.txt"}));
}

TEST_F(FileTreeTest, DoubleClickOnAFileOpensItInTheEditor) {
    ASSERT_TRUE(WriteFile(In("open me.txt"), 5));
    ASSERT_TRUE(CreateDirectoryA(In("folder").c_str(), nullptr));
    m_frame->ShowWindow(SW_RESTORE);
    SetWindowPos(m_frame->m_hWnd, HWND_TOP, 20, 20, 900, 640, SWP_SHOWWINDOW);
    SetForegroundWindow(m_frame->m_hWnd);
    Settle();
    HTREEITEM folder = Folder();
    HTREEITEM file = Tree().FindChild(folder, "open me.txt", false);
    ASSERT_NE(file, nullptr);
    Tree().EnsureVisible(file);
    Settle();
    RECT rc;
    ASSERT_TRUE(Tree().GetItemRect(file, &rc, true));
    POINT pt = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    ClientToScreen(Tree().m_hWnd, &pt);
    std::atomic<bool> done(false);
    std::thread input([&] {
        SetCursorPos(pt.x, pt.y);
        Sleep(50);
        for (int i = 0; i < 2; ++i) {
            mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
            mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
        }
        Sleep(300);
        done = true;
    });
    while (!done) {
        TheApp().PumpPendingMessages();
        Sleep(5);
    }
    input.join();
    Settle();
    bool open = false;
    for (CTextEditDoc* doc : m_frame->TextDocuments())
        open = open || lstrcmpiA(doc->GetPathName().c_str(), In("open me.txt").c_str()) == 0;
    EXPECT_TRUE(open);

    // Open is offered for a file only.
    StateCmdUI ui;
    ui.m_nID = ID_FILETREE_OPEN;
    Page().ChooseTargets(Tree().FindChild(Tree().SelectPath(m_dir.c_str()), "folder", true));
    Page().OnUpdateOpen(&ui);
    EXPECT_FALSE(ui.enabled);
}

TEST_F(FileTreeTest, TheViewFlagsGoToAndComeFromTheStoredSettings) {
    IFileTreeHost::ViewSettings s;
    s.sortBy = 3;
    s.showHidden = true;
    EXPECT_EQ(CWsbFileTree::FlagsFromSettings(s),
              ShellTreeCtrl::kSortBySize | ShellTreeCtrl::kShowHidden);
    s.sortBy = 9; // out of range: by name
    s.showHidden = false;
    s.showNonFileSystem = true;
    EXPECT_EQ(CWsbFileTree::FlagsFromSettings(s),
              ShellTreeCtrl::kSortByName | ShellTreeCtrl::kShowNonFileSystem);
    const IFileTreeHost::ViewSettings back =
        CWsbFileTree::SettingsFromFlags(ShellTreeCtrl::kSortByDate | ShellTreeCtrl::kShowHidden);
    EXPECT_EQ(back.sortBy, 4);
    EXPECT_TRUE(back.showHidden);
    EXPECT_FALSE(back.showNonFileSystem);

    // The application's host keeps them in SETTINGS.INI.
    const IFileTreeHost::ViewSettings saved = AppFileTreeHost().ReadFileTreeSettings();
    AppFileTreeHost().WriteFileTreeSettings(back);
    const IFileTreeHost::ViewSettings read = AppFileTreeHost().ReadFileTreeSettings();
    EXPECT_EQ(read.sortBy, 4);
    EXPECT_TRUE(read.showHidden);
    EXPECT_FALSE(read.showNonFileSystem);
    AppFileTreeHost().WriteFileTreeSettings(saved);
}

TEST_F(FileTreeTest, HiddenFilesShowOnlyWithTheirFlag) {
    ASSERT_TRUE(WriteFile(In("seen.txt"), 1));
    ASSERT_TRUE(WriteFile(In("secret.txt"), 1));
    SetFileAttributesA(In("secret.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    const DWORD flags = Tree().GetViewFlags();
    Tree().SetViewFlags(flags & ~ShellTreeCtrl::kShowHidden);
    EXPECT_EQ(Kids(Folder()), (Names{"seen.txt"}));
    Page().SendMessage(WM_COMMAND, ID_FILETREE_SHOWHIDDEN);
    EXPECT_EQ(Kids(Folder()), (Names{"secret.txt", "seen.txt"}));
    Tree().SetViewFlags(flags);
}

TEST_F(FileTreeTest, TheDriveTimerRefreshesOnceAndStops) {
    ASSERT_TRUE(WriteFile(In("early.txt"), 1));
    HTREEITEM folder = Folder();
    ASSERT_NE(folder, nullptr);
    ASSERT_TRUE(WriteFile(In("late.txt"), 1));
    HWND wnd = Page().DriveTreeWindow();
    ASSERT_EQ(wnd, Page().m_hWnd);
    SetTimer(wnd, IFileTreeDrives::kDriveTimer, 10, nullptr);
    Sleep(50);
    Settle();
    // The refresh kept the selected folder open and read it again.
    HTREEITEM again = Tree().GetSelectedItem();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(Tree().GetItemPath(again), m_dir);
    EXPECT_EQ(Kids(again), (Names{"early.txt", "late.txt"}));
    EXPECT_FALSE(KillTimer(wnd, IFileTreeDrives::kDriveTimer)); // already stopped
}

// Names outside the ANSI code page: the ANSI shell functions give "?" for their characters,
// which the shell's file operations would expand as a wildcard, so such a name must reach the
// shell whole or not at all. The odd file holds U+0E01, which code page 936 lacks; its
// neighbours are what "a?b.txt" would match.
const wchar_t kOddName[] = L"a\u0E01b.txt";
const char kOddLabel[] = "a?b.txt";
using WideNameList = std::vector<std::wstring>;

class FileTreeOddNameTest : public FileTreeTest {
protected:
    // The odd file and its two look-alikes in `dir` (the test's folder or one below it).
    void MakeLookAlikes(const std::wstring& dir) {
        ASSERT_TRUE(WriteWideFile(dir + L"\\" + kOddName, 17));
        ASSERT_TRUE(WriteWideFile(dir + L"\\aXb.txt", 3));
        ASSERT_TRUE(WriteWideFile(dir + L"\\aYb.txt", 5));
    }
};

TEST_F(FileTreeOddNameTest, DeleteRemovesThatFileAndNoOther) {
    MakeLookAlikes(Wide(m_dir));
    HTREEITEM folder = Folder();
    ASSERT_NE(folder, nullptr);
    HTREEITEM odd = Tree().FindChild(folder, kOddLabel, false);
    ASSERT_NE(odd, nullptr);
    Page().ChooseTargets(odd);
    {
        ShellDialogAnswerer yes(IDYES);
        Page().SendMessage(WM_COMMAND, ID_FILETREE_DELETE);
    }
    EXPECT_EQ(WideNames(Wide(m_dir)), (WideNameList{L"aXb.txt", L"aYb.txt"}));
    EXPECT_EQ(Kids(folder), (Names{"aXb.txt", "aYb.txt"}));
    EXPECT_TRUE(g_messages.empty()) << g_messages[0];
}

TEST_F(FileTreeOddNameTest, PermanentDeleteRemovesThatFileAndNoOther) {
    MakeLookAlikes(Wide(m_dir));
    HTREEITEM folder = Folder();
    HTREEITEM odd = Tree().FindChild(folder, kOddLabel, false);
    ASSERT_NE(odd, nullptr);
    {
        ShellDialogAnswerer yes(IDYES);
        Page().DeleteItem(odd, true);
    }
    EXPECT_EQ(WideNames(Wide(m_dir)), (WideNameList{L"aXb.txt", L"aYb.txt"}));
    EXPECT_TRUE(g_messages.empty()) << g_messages[0];
}

TEST_F(FileTreeOddNameTest, CopyAndPasteCopyThatFileAndNoOther) {
    ASSERT_TRUE(CreateDirectoryA(In("from").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(In("to").c_str(), nullptr));
    MakeLookAlikes(WideIn(L"from"));
    HTREEITEM from = Folder(In("from"));
    HTREEITEM odd = Tree().FindChild(from, kOddLabel, false);
    ASSERT_NE(odd, nullptr);
    Page().ChooseTargets(odd);
    Page().SendMessage(WM_COMMAND, ID_FILETREE_COPY);

    // The drop list names the file itself.
    ASSERT_TRUE(OpenClipboard(nullptr));
    HDROP drop = static_cast<HDROP>(GetClipboardData(CF_HDROP));
    ASSERT_NE(drop, nullptr);
    EXPECT_EQ(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0), 1u);
    wchar_t path[MAX_PATH] = L"";
    DragQueryFileW(drop, 0, path, MAX_PATH);
    CloseClipboard();
    EXPECT_TRUE(path == WideIn(L"from\\") + kOddName);

    HTREEITEM to = Folder(In("to"));
    ASSERT_NE(to, nullptr);
    Page().ChooseTargets(to);
    {
        ShellDialogAnswerer yes(IDYES);
        Page().SendMessage(WM_COMMAND, ID_FILETREE_PASTE);
    }
    EXPECT_EQ(WideNames(WideIn(L"to")), (WideNameList{kOddName}));
    EXPECT_EQ(WideSize(WideIn(L"to\\") + kOddName), 17u);
    EXPECT_EQ(WideNames(WideIn(L"from")), (WideNameList{L"aXb.txt", L"aYb.txt", kOddName}));
    EXPECT_TRUE(g_messages.empty()) << g_messages[0];
}

TEST_F(FileTreeOddNameTest, APastedListWithAWildcardIsRefused) {
    ASSERT_TRUE(CreateDirectoryA(In("from").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(In("to").c_str(), nullptr));
    MakeLookAlikes(WideIn(L"from"));
    // Another program's drop list naming "a?b.txt" as it stands.
    const std::wstring pattern = WideIn(L"from\\a?b.txt");
    const size_t bytes = sizeof(DROPFILES) + (pattern.size() + 2) * sizeof(wchar_t);
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    ASSERT_NE(mem, nullptr);
    BYTE* p = static_cast<BYTE*>(GlobalLock(mem));
    reinterpret_cast<DROPFILES*>(p)->pFiles = sizeof(DROPFILES);
    reinterpret_cast<DROPFILES*>(p)->fWide = TRUE;
    memcpy(p + sizeof(DROPFILES), pattern.c_str(), pattern.size() * sizeof(wchar_t));
    GlobalUnlock(mem);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    ASSERT_NE(SetClipboardData(CF_HDROP, mem), nullptr);
    CloseClipboard();

    HTREEITEM to = Folder(In("to"));
    ASSERT_NE(to, nullptr);
    {
        ShellDialogAnswerer yes(IDYES);
        EXPECT_FALSE(Page().PasteInto(to));
    }
    EXPECT_TRUE(WideNames(WideIn(L"to")).empty());
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_EQ(g_messages[0],
              "“" + In("from\\a?b.txt") + "”\n路径中含有通配符“?”或“*”，操作无法进行。");
}

// The application's host, but for opening, which it only records.
class OpenRecordingHost : public IFileTreeHost {
public:
    ViewSettings ReadFileTreeSettings() override {
        return AppFileTreeHost().ReadFileTreeSettings();
    }
    void WriteFileTreeSettings(const ViewSettings& s) override {
        AppFileTreeHost().WriteFileTreeSettings(s);
    }
    std::string FileFilterList() override { return AppFileTreeHost().FileFilterList(); }
    void OpenInEditor(const char* path) override { opened.push_back(path); }
    std::vector<std::string> opened;
};

TEST_F(FileTreeOddNameTest, OpeningInTheEditorIsRefusedNamingTheFile) {
    MakeLookAlikes(Wide(m_dir));
    HTREEITEM folder = Folder();
    HTREEITEM odd = Tree().FindChild(folder, kOddLabel, false);
    ASSERT_NE(odd, nullptr);
    HTREEITEM lookAlike = Tree().FindChild(folder, "aXb.txt", false);
    ASSERT_NE(lookAlike, nullptr);
    OpenRecordingHost host;
    Page().SetHost(&host);
    struct Restore {
        CWsbFileTree& page;
        ~Restore() { page.SetHost(&AppFileTreeHost()); }
    } restore{Page()};
    Page().ChooseTargets(odd);
    Page().SendMessage(WM_COMMAND, ID_FILETREE_OPEN);
    Settle();
    EXPECT_TRUE(host.opened.empty());
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_EQ(g_messages[0],
              "“" + In(kOddLabel) + "”\n路径中含有当前代码页无法表示的字符，不能在编辑器中打开。");
    // A look-alike opens as ever, by its own path.
    g_messages.clear();
    Page().ChooseTargets(lookAlike);
    Page().SendMessage(WM_COMMAND, ID_FILETREE_OPEN);
    Settle();
    EXPECT_EQ(host.opened, (Names{In("aXb.txt")}));
    EXPECT_TRUE(g_messages.empty()) << g_messages[0];
}

TEST_F(FileTreeOddNameTest, ANewFileGoesIntoAFolderSoNamed) {
    const std::wstring odd = WideIn(L"d\u0E01d");
    ASSERT_TRUE(CreateDirectoryW(odd.c_str(), nullptr));
    ASSERT_TRUE(WriteWideFile(
        odd + L"\\" + Wide(AfxFormat(AfxLoadString(IDS_FILETREE_NEWFILE).c_str(), 1)), 0));
    HTREEITEM folder = Folder();
    HTREEITEM sub = Tree().FindChild(folder, "d?d", true);
    ASSERT_NE(sub, nullptr);
    Page().ChooseTargets(sub);
    Page().SendMessage(WM_COMMAND, ID_FILETREE_NEWFILE);
    Settle(1);
    const std::string file2 = AfxFormat(AfxLoadString(IDS_FILETREE_NEWFILE).c_str(), 2);
    EXPECT_TRUE(WideExists(odd + L"\\" + Wide(file2)));
    ASSERT_NE(Tree().GetEditControl(), nullptr);
    Tree().EndEditLabelNow(true);
    Settle(1);

    sub = Tree().FindChild(Tree().SelectPath(m_dir.c_str()), "d?d", true);
    ASSERT_NE(sub, nullptr);
    Page().ChooseTargets(sub);
    Page().SendMessage(WM_COMMAND, ID_FILETREE_NEWFOLDER);
    Settle(1);
    const std::string dir1 = AfxFormat(AfxLoadString(IDS_FILETREE_NEWFOLDER).c_str(), 1);
    EXPECT_TRUE(GetFileAttributesW((odd + L"\\" + Wide(dir1)).c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    if (Tree().GetEditControl())
        Tree().EndEditLabelNow(true);
    EXPECT_TRUE(g_messages.empty()) << g_messages[0];
}

TEST_F(FileTreeOddNameTest, RenameActsOnThatFileAlone) {
    MakeLookAlikes(Wide(m_dir));
    HTREEITEM folder = Folder();
    HTREEITEM odd = Tree().FindChild(folder, kOddLabel, false);
    ASSERT_NE(odd, nullptr);
    Page().ChooseTargets(odd);
    Page().SendMessage(WM_COMMAND, ID_FILETREE_RENAME);
    HWND edit = Tree().GetEditControl();
    ASSERT_NE(edit, nullptr);
    SetWindowTextA(edit, "renamed.txt");
    Tree().EndEditLabelNow(false);
    Settle();
    EXPECT_EQ(WideNames(Wide(m_dir)), (WideNameList{L"aXb.txt", L"aYb.txt", L"renamed.txt"}));
    EXPECT_EQ(WideSize(WideIn(L"renamed.txt")), 17u);
}

} // namespace
