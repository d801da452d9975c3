// The clip text window through its real controls and messages, over libraries in a folder of
// the test's own, inserting into a real editor view.
#include "tests/textview/ViewTestUtil.h"

#include "framework/CmdUI.h"
#include "framework/MessageBox.h"
#include "framework/ResourceText.h"
#include "textdoc/FxEditDoc.h"
#include "workspace/ClipTextFile.h"
#include "workspace/ClipTextHost.h"
#include "workspace/ClipTextIds.h"
#include "workspace/WsbClipText.h"

#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The message boxes the window showed, and the answer each gets.
std::vector<std::string> g_boxes;
int g_answer = IDNO;
// Runs once while the next box is up, as the messages a real box's loop dispatches would.
std::function<void()> g_whileAsking;

int AnswerBox(const char* text, const char*, UINT) {
    g_boxes.push_back(text ? text : "");
    if (g_whileAsking) {
        const std::function<void()> during = std::move(g_whileAsking);
        g_whileAsking = nullptr;
        during();
    }
    return g_answer;
}

class TestHost : public IClipTextHost {
public:
    CFxEditView* view = nullptr;
    std::string folder;
    bool ascending = true;
    int sortWrites = 0;
    std::string newDocument;
    std::string opened;

    CFxEditView* ActiveClipTextView() override { return view; }
    bool NewClipLibraryDocument(const std::string& text) override {
        newDocument = text;
        return true;
    }
    bool OpenClipLibraryFile(const std::string& path) override {
        opened = path;
        return true;
    }
    std::string ClipLibraryFolder() override { return folder; }
    bool ReadClipSortAscending() override { return ascending; }
    void WriteClipSortAscending(bool on) override {
        ascending = on;
        ++sortWrites;
    }
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

const char kCode[] = "#TITLE=Code\r\n"
                     "#BEGIN=paren\r\nf(^!)\r\n#END\r\n"
                     "#BEGIN=Block\r\n{\r\n\t^!\r\n}\r\n#END\r\n"
                     "#BEGIN=alpha\r\n\r\n#END\r\n";

class ClipTextWindowTest : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::temp_directory_path() / (std::string("qv_clipwin_") + info->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_host.folder = m_dir.string();
        m_host.view = m_view;
        g_boxes.clear();
        g_answer = IDNO;
        g_whileAsking = nullptr;
        m_oldHook = AfxSetMessageBoxHook(&AnswerBox);
    }
    void TearDown() override {
        Close();
        AfxSetMessageBoxHook(m_oldHook);
        std::error_code ec;
        fs::remove_all(m_dir, ec);
        ViewTest::TearDown();
    }
    std::string Path(const char* name) const { return (m_dir / name).string(); }
    void Library(const char* name, const std::string& bytes) { WriteFile(Path(name), bytes); }

    // The window in a parent of its own, as the workspace bar makes it.
    void Open() {
        m_parent = new CWnd;
        ASSERT_TRUE(m_parent->CreateEx(0, CWnd::RegisterWndClass(0), "clip test",
                                       WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 20, 220, 400, nullptr,
                                       nullptr));
        m_clip = new CWsbClipText;
        m_clip->SetHost(&m_host);
        RECT rc = {0, 0, 200, 360};
        ASSERT_TRUE(m_clip->Create(m_parent, 0xE902, rc));
        PumpViewMessages();
    }
    // Another program rewrites a library: the file gets a later write time than it had.
    void ChangeOnDisk(const char* name, const std::string& bytes) {
        WriteFile(Path(name), bytes);
        HANDLE file =
            ::CreateFileA(Path(name).c_str(), FILE_WRITE_ATTRIBUTES | FILE_READ_ATTRIBUTES,
                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        FILETIME written;
        ::GetFileTime(file, nullptr, nullptr, &written);
        ULARGE_INTEGER t;
        t.LowPart = written.dwLowDateTime;
        t.HighPart = written.dwHighDateTime;
        t.QuadPart += 20000000; // 2 s
        const FILETIME later = {t.LowPart, t.HighPart};
        ::SetFileTime(file, nullptr, nullptr, &later);
        ::CloseHandle(file);
    }
    int LibraryIndex(const std::string& title) const {
        for (int i = 0; i < m_clip->LibraryCount(); ++i)
            if (m_clip->LibraryAt(i)->title == title)
                return i;
        return -1;
    }
    // Chooses a library in the selector as the user does: its selection, then its notice.
    void ChooseInSelector(const std::string& title) {
        const int index = LibraryIndex(title);
        ASSERT_GE(index, 0);
        ::SendMessageA(m_clip->Selector(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        ::SendMessageA(m_clip->m_hWnd, WM_COMMAND,
                       MAKEWPARAM(CWsbClipText::kSelectorId, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(m_clip->Selector()));
        PumpViewMessages();
    }
    int SelectorChoice() const {
        return static_cast<int>(::SendMessageA(m_clip->Selector(), CB_GETCURSEL, 0, 0));
    }
    void Close() {
        if (m_parent) {
            m_parent->DestroyWindow();
            delete m_parent;
            m_parent = nullptr;
        }
        delete m_clip;
        m_clip = nullptr;
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int i = 0; i < m_clip->ItemCount(); ++i)
            names.push_back(m_clip->ItemName(i));
        return names;
    }
    // The label the list shows for an item.
    std::string Label(int index) const {
        char buf[300] = "";
        LVITEMA item = {};
        item.iSubItem = 0;
        item.pszText = buf;
        item.cchTextMax = sizeof buf;
        ::SendMessageA(m_clip->List(), LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
        return buf;
    }
    int IndexOf(const std::string& name) const {
        for (int i = 0; i < m_clip->ItemCount(); ++i)
            if (m_clip->ItemName(i) == name)
                return i;
        return -1;
    }
    POINT ItemCenter(int index) const {
        RECT rc = {};
        rc.left = LVIR_LABEL;
        ::SendMessageA(m_clip->List(), LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rc));
        return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }
    // Renames through the list's own label edit: the text typed, then Enter.
    void EditLabel(int index, const std::string& text) {
        m_clip->SelectItem(index);
        ::SetFocus(m_clip->List());
        HWND edit = reinterpret_cast<HWND>(
            ::SendMessageA(m_clip->List(), LVM_EDITLABELA, static_cast<WPARAM>(index), 0));
        ASSERT_NE(edit, nullptr);
        ::SetWindowTextA(edit, text.c_str());
        ::SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
        PumpViewMessages();
    }
    void Command(UINT id) {
        m_clip->SendMessage(WM_COMMAND, id, 0);
        PumpViewMessages();
    }

    fs::path m_dir;
    TestHost m_host;
    CWnd* m_parent = nullptr;
    CWsbClipText* m_clip = nullptr;
    AfxMessageBoxHook m_oldHook = nullptr;
};

} // namespace

TEST_F(ClipTextWindowTest, OffersLibrariesWithTitlesOnly) {
    Library("a.CTF", kCode);
    Library("b.CTF", "#TITLE=Code\r\n#BEGIN=x\r\ny\r\n#END\r\n"); // the same title
    Library("c.CTF", "## only comments\r\n##\r\n");
    Library("d.CTF", "  #title  =  Lower Case  \r\n");
    Library("e.txt", kCode);
    Open();
    ASSERT_EQ(m_clip->LibraryCount(), 3);
    std::vector<std::string> titles;
    for (int i = 0; i < 3; ++i)
        titles.push_back(m_clip->LibraryAt(i)->title);
    EXPECT_EQ(std::count(titles.begin(), titles.end(), "Code"), 2);
    EXPECT_EQ(std::count(titles.begin(), titles.end(), "Lower Case"), 1);
    // The first library is loaded, sorted by name without regard to case.
    ASSERT_NE(m_clip->CurrentLibrary(), nullptr);
    EXPECT_EQ(m_clip->CurrentLibrary(), m_clip->LibraryAt(0));
    EXPECT_EQ(::SendMessageA(m_clip->Selector(), CB_GETCURSEL, 0, 0), 0);
}

TEST_F(ClipTextWindowTest, ItemsSortedAndShownByName) {
    Library("a.CTF", kCode);
    Open();
    EXPECT_EQ(Names(), (std::vector<std::string>{"alpha", "Block", "paren"}));
    EXPECT_EQ(Label(1), "Block");
    EXPECT_EQ(m_clip->ItemBody(0), ""); // one empty line is an empty body
    m_clip->Sort(false);
    EXPECT_EQ(Names(), (std::vector<std::string>{"paren", "Block", "alpha"}));
    Close();
    EXPECT_FALSE(m_host.ascending); // written when the window goes
    EXPECT_EQ(m_host.sortWrites, 1);
    Open();
    EXPECT_EQ(Names(), (std::vector<std::string>{"paren", "Block", "alpha"}));
}

TEST_F(ClipTextWindowTest, DoubleClickInsertsWithTheCaretBetweenParentheses) {
    Library("a.CTF", kCode);
    Open();
    SetScript("x = |;");
    const POINT pt = ItemCenter(IndexOf("paren"));
    const LPARAM at = MAKELPARAM(pt.x, pt.y);
    ::SendMessageA(m_clip->List(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageA(m_clip->List(), WM_LBUTTONUP, 0, at);
    ::SendMessageA(m_clip->List(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    ::SendMessageA(m_clip->List(), WM_LBUTTONUP, 0, at);
    PumpViewMessages();
    EXPECT_EQ(Script(), "x = f(|);");
    EXPECT_EQ(::GetFocus(), m_view->m_hWnd);
}

TEST_F(ClipTextWindowTest, EnterAndTheInsertCommandInsert) {
    Library("a.CTF", kCode);
    Open();
    SetScript("a[bc|d");
    m_clip->SelectItem(IndexOf("Block"));
    ::SetFocus(m_clip->List());
    ::SendMessageA(m_clip->List(), WM_KEYDOWN, VK_RETURN, 0);
    PumpViewMessages();
    EXPECT_EQ(Script(), "a{\n\t|\n}d");
    // An empty body inserts the name.
    SetScript("|");
    m_clip->SelectItem(IndexOf("alpha"));
    Command(ID_CLIP_INSERT);
    EXPECT_EQ(Script(), "alpha|");
    // Without a view nothing happens.
    m_host.view = nullptr;
    Command(ID_CLIP_INSERT);
    EXPECT_EQ(Script(), "alpha|");
}

TEST_F(ClipTextWindowTest, CopyPutsTheBodyOnTheClipboard) {
    Library("a.CTF", kCode);
    Open();
    m_clip->SelectItem(IndexOf("paren"));
    Command(ID_CLIP_COPY);
    ASSERT_TRUE(::OpenClipboard(nullptr));
    HANDLE data = ::GetClipboardData(CF_TEXT);
    std::string text = data ? static_cast<const char*>(::GlobalLock(data)) : "";
    if (data)
        ::GlobalUnlock(data);
    ::CloseClipboard();
    EXPECT_EQ(text, "f(^!)");
}

TEST_F(ClipTextWindowTest, RenameOntoAnotherNameAsksAndNoKeepsTheLabel) {
    Library("a.CTF", kCode);
    Open();
    const int paren = IndexOf("paren");
    g_answer = IDNO;
    EditLabel(paren, "BLOCK");
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0], AfxFormatString1(IDS_CLIP_SAME_NAME, "BLOCK"));
    EXPECT_EQ(m_clip->ItemName(paren), "paren");
    EXPECT_EQ(Label(paren), "paren");
    EXPECT_FALSE(m_clip->CurrentLibrary()->modified);
    g_answer = IDYES;
    EditLabel(paren, "BLOCK");
    EXPECT_EQ(m_clip->ItemName(paren), "BLOCK");
    EXPECT_EQ(Label(paren), "BLOCK");
    EXPECT_TRUE(m_clip->CurrentLibrary()->modified);
    // An unchanged or empty name cancels without a question.
    g_boxes.clear();
    EditLabel(paren, "");
    EXPECT_EQ(m_clip->ItemName(paren), "BLOCK");
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(ClipTextWindowTest, DeleteAsksWithTheName) {
    Library("a.CTF", kCode);
    Open();
    m_clip->SelectItem(IndexOf("paren"));
    g_answer = IDNO;
    Command(ID_CLIP_DELETE);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0], AfxFormatString1(IDS_CLIP_DELETE_ITEM, "paren"));
    EXPECT_EQ(m_clip->ItemCount(), 3);
    g_answer = IDYES;
    Command(ID_CLIP_DELETE);
    EXPECT_EQ(Names(), (std::vector<std::string>{"alpha", "Block"}));
    EXPECT_TRUE(m_clip->CurrentLibrary()->modified);
}

TEST_F(ClipTextWindowTest, AddTakesTheFirstFreeNumberAndStartsTheLabelEdit) {
    Library("a.CTF", "#TITLE=t\r\n#BEGIN=新建项目1\r\n#END\r\n#BEGIN=新建项目3\r\n#END\r\n");
    Open();
    Command(ID_CLIP_ADD);
    ASSERT_EQ(m_clip->ItemCount(), 3);
    const int added = m_clip->SelectedItem();
    EXPECT_EQ(m_clip->ItemName(added), "新建项目2");
    EXPECT_EQ(m_clip->ItemBody(added), "");
    EXPECT_NE(ListView_GetEditControl(m_clip->List()), nullptr);
    EXPECT_TRUE(m_clip->CurrentLibrary()->modified);
    ::SendMessageA(ListView_GetEditControl(m_clip->List()), WM_KEYDOWN, VK_ESCAPE, 0);
    PumpViewMessages();
}

TEST_F(ClipTextWindowTest, BodyEditorEditsInPlace) {
    Library("a.CTF", kCode);
    Open();
    const int paren = IndexOf("paren");
    m_clip->SelectItem(paren);
    Command(ID_CLIP_EDIT);
    HWND editor = m_clip->BodyEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(::IsWindowVisible(editor));
    EXPECT_EQ(::GetFocus(), editor);
    EXPECT_EQ(::GetParent(editor), m_clip->List());
    // Placed below the item, from its left to the list's right edge.
    RECT item = {}, place, client;
    item.left = LVIR_BOUNDS;
    ::SendMessageA(m_clip->List(), LVM_GETITEMRECT, paren, reinterpret_cast<LPARAM>(&item));
    ::GetWindowRect(editor, &place);
    ::MapWindowPoints(nullptr, m_clip->List(), reinterpret_cast<POINT*>(&place), 2);
    ::GetClientRect(m_clip->List(), &client);
    EXPECT_EQ(place.top, item.bottom);
    EXPECT_EQ(place.right, client.right);
    const int oneLine = place.bottom - place.top;
    // More lines make it taller.
    ::SendMessageA(editor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("g(^!)\r\nh()\r\ni()"));
    PumpViewMessages();
    ::GetWindowRect(editor, &place);
    EXPECT_GT(place.bottom - place.top, oneLine);
    // Losing the focus ends the edit and keeps the text.
    ::SetFocus(m_view->m_hWnd);
    PumpViewMessages();
    EXPECT_FALSE(::IsWindowVisible(editor));
    EXPECT_EQ(m_clip->ItemBody(paren), "g(^!)\r\nh()\r\ni()");
    EXPECT_TRUE(m_clip->CurrentLibrary()->modified);
    // Escape ends it too; an unmodified text changes nothing.
    m_clip->CurrentLibrary()->modified = false;
    Command(ID_CLIP_EDIT);
    ::SendMessageA(editor, WM_KEYDOWN, VK_ESCAPE, 0);
    PumpViewMessages();
    EXPECT_FALSE(m_clip->IsEditingBody());
    EXPECT_FALSE(m_clip->CurrentLibrary()->modified);
}

TEST_F(ClipTextWindowTest, SwitchingSavesTheExactBytes) {
    Library("a.CTF", kCode);
    Library("b.CTF", "#TITLE=Other\r\n");
    Open();
    const int first = m_clip->LibraryAt(0)->title == "Code" ? 0 : 1;
    m_clip->ChooseLibrary(first);
    ASSERT_EQ(m_clip->CurrentLibrary()->title, "Code");
    m_clip->SelectItem(IndexOf("alpha"));
    g_answer = IDYES;
    Command(ID_CLIP_DELETE);
    m_clip->ChooseLibrary(1 - first);
    EXPECT_EQ(m_clip->CurrentLibrary()->title, "Other");
    const std::string header =
        "## Quorvane剪贴库文件\r\n"
        "## 本文件一定要保存在CTF子目录下，且扩展名为CTF，以便让程序在启动的时候搜索到它。\r\n"
        "## 每个文件内必须有且只有一个#TITLE，每个剪贴项必须以#BEGIN开始定义，以#END结束，"
        "象下面的例子：\r\n"
        "## #TITLE=title\r\n## #BEGIN=item name\r\n## body（可以为空）\r\n## #END\r\n##\r\n"
        "## 符号“^!”可以用来设置输入焦点。\r\n##\r\n"
        "## 关于剪贴文件的更详细格式请参预Quorvane帮助文件。\r\n##\r\n";
    EXPECT_EQ(ReadFile(Path("a.CTF")), header + "\r\n#TITLE=Code\r\n\r\n"
                                                "#BEGIN=Block\r\n{\r\n\t^!\r\n}\r\n#END\r\n"
                                                "#BEGIN=paren\r\nf(^!)\r\n#END\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), {}), 2); // no temporary file left
}

TEST_F(ClipTextWindowTest, CutLibraryIsNotRewrittenWithoutAsking) {
    const std::string original = "#TITLE=t\r\n#BEGIN=long\r\n" + std::string(5000, 'b') +
                                 "\r\n#END\r\n#BEGIN=short\r\ns\r\n#END\r\n";
    Library("a.CTF", original);
    Open();
    ASSERT_EQ(m_clip->ItemCount(), 2);
    EXPECT_EQ(m_clip->ItemBody(IndexOf("long")).size(), 4095u);
    g_answer = IDYES;
    m_clip->SelectItem(IndexOf("short"));
    Command(ID_CLIP_DELETE);
    g_boxes.clear();
    g_answer = IDNO;
    Close(); // saving on the way out asks, naming the item
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_NE(g_boxes[0].find("long"), std::string::npos);
    EXPECT_EQ(ReadFile(Path("a.CTF")), original);
}

TEST_F(ClipTextWindowTest, LastItemWithoutEndIsNamedBeforeARewrite) {
    Library("a.CTF", "#TITLE=t\r\n#BEGIN=kept\r\nk\r\n#END\r\n#BEGIN=open\r\nlost?\r\n");
    Open();
    ASSERT_EQ(m_clip->ItemCount(), 1);
    Command(ID_CLIP_ADD);
    ::SendMessageA(ListView_GetEditControl(m_clip->List()), WM_KEYDOWN, VK_ESCAPE, 0);
    g_boxes.clear();
    g_answer = IDYES;
    Close();
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_NE(g_boxes[0].find("open"), std::string::npos);
    // Agreed: written in the window's form.
    ClipLibraryText lib;
    ASSERT_TRUE(LoadClipLibraryFile(Path("a.CTF").c_str(), lib));
    EXPECT_EQ(lib.items.size(), 2u);
}

TEST_F(ClipTextWindowTest, FailedSaveKeepsTheOldFileAndTheChanges) {
    Library("a.CTF", kCode);
    Open();
    m_clip->SelectItem(IndexOf("alpha"));
    g_answer = IDYES;
    Command(ID_CLIP_DELETE);
    // A read-only library cannot be replaced.
    ::SetFileAttributesA(Path("a.CTF").c_str(), FILE_ATTRIBUTE_READONLY);
    g_boxes.clear();
    EXPECT_FALSE(m_clip->SaveCurrent());
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_NE(g_boxes[0].find("a.CTF"), std::string::npos);
    EXPECT_TRUE(m_clip->CurrentLibrary()->modified);
    EXPECT_EQ(ReadFile(Path("a.CTF")), kCode);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), {}), 1);
    ::SetFileAttributesA(Path("a.CTF").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(m_clip->SaveCurrent());
    EXPECT_FALSE(m_clip->CurrentLibrary()->modified);
}

// The program's end with a library that cannot be written: told, then asked; No keeps the
// program and the edits, Yes lets them go without a third box at the window's end.
TEST_F(ClipTextWindowTest, AnEndWithALibraryThatCannotBeWrittenAsksFirst) {
    Library("a.CTF", kCode);
    Open();
    m_clip->SelectItem(IndexOf("alpha"));
    g_answer = IDYES;
    Command(ID_CLIP_DELETE);
    ::SetFileAttributesA(Path("a.CTF").c_str(), FILE_ATTRIBUTE_READONLY);
    g_boxes.clear();
    g_answer = IDNO;
    EXPECT_FALSE(m_clip->SaveBeforeExit());
    ASSERT_EQ(g_boxes.size(), 2u);
    EXPECT_NE(g_boxes[1].find("a.CTF"), std::string::npos);
    EXPECT_TRUE(m_clip->CurrentLibrary()->modified);
    EXPECT_EQ(m_clip->ItemCount(), 2);

    g_boxes.clear();
    g_answer = IDYES;
    EXPECT_TRUE(m_clip->SaveBeforeExit());
    EXPECT_EQ(g_boxes.size(), 2u);
    Close();
    EXPECT_EQ(g_boxes.size(), 2u);
    EXPECT_EQ(ReadFile(Path("a.CTF")), kCode);
    ::SetFileAttributesA(Path("a.CTF").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A library that can be written is written at the end without a word.
TEST_F(ClipTextWindowTest, AnEndWritesTheLibraryQuietly) {
    Library("a.CTF", kCode);
    Open();
    m_clip->SelectItem(IndexOf("alpha"));
    g_answer = IDYES;
    Command(ID_CLIP_DELETE);
    g_boxes.clear();
    EXPECT_TRUE(m_clip->SaveBeforeExit());
    EXPECT_TRUE(g_boxes.empty());
    ClipLibraryText lib;
    ASSERT_TRUE(LoadClipLibraryFile(Path("a.CTF").c_str(), lib));
    EXPECT_EQ(lib.items.size(), 2u);
}

TEST_F(ClipTextWindowTest, LibraryChangedOnDiskIsReadAgain) {
    Library("a.CTF", kCode);
    Open();
    ASSERT_EQ(m_clip->ItemCount(), 3);
    Library("a.CTF", "#TITLE=Code\r\n#BEGIN=fresh\r\nnew\r\n#END\r\n");
    // A later write time than the one read.
    HANDLE file = ::CreateFileA(Path("a.CTF").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    const FILETIME read = m_clip->CurrentLibrary()->time;
    ULARGE_INTEGER t;
    t.LowPart = read.dwLowDateTime;
    t.HighPart = read.dwHighDateTime;
    t.QuadPart += 20000000; // 2 s
    FILETIME later = {t.LowPart, t.HighPart};
    ::SetFileTime(file, nullptr, nullptr, &later);
    ::CloseHandle(file);
    ::SetFocus(m_clip->List()); // the list taking the focus looks at the file
    PumpViewMessages();
    EXPECT_EQ(Names(), (std::vector<std::string>{"fresh"}));
}

TEST_F(ClipTextWindowTest, MenuFollowsTheSelection) {
    Library("a.CTF", kCode);
    Open();
    HMENU menu = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_CLIPTEXT_MENU));
    ASSERT_NE(menu, nullptr);
    HMENU popup = ::GetSubMenu(menu, 0);
    auto state = [&](UINT id) { return ::GetMenuState(popup, id, MF_BYCOMMAND); };
    m_clip->SelectItem(-1);
    AfxUpdateMenuPopup(popup, m_clip, true);
    EXPECT_TRUE(state(ID_CLIP_INSERT) & MF_GRAYED);
    EXPECT_TRUE(state(ID_CLIP_DELETE) & MF_GRAYED);
    EXPECT_FALSE(state(ID_CLIP_ADD) & MF_GRAYED);
    EXPECT_FALSE(state(ID_CLIP_LIBRARY_NEW) & MF_GRAYED);
    EXPECT_TRUE(state(ID_CLIP_SORT_ASCENDING) & MF_CHECKED);
    EXPECT_FALSE(state(ID_CLIP_SORT_DESCENDING) & MF_CHECKED);
    m_clip->SelectItem(0);
    m_clip->Sort(false);
    AfxUpdateMenuPopup(popup, m_clip, true);
    EXPECT_FALSE(state(ID_CLIP_INSERT) & MF_GRAYED);
    EXPECT_FALSE(state(ID_CLIP_RENAME) & MF_GRAYED);
    EXPECT_TRUE(state(ID_CLIP_SORT_DESCENDING) & MF_CHECKED);
    EXPECT_FALSE(state(ID_CLIP_SORT_ASCENDING) & MF_CHECKED);
    ::DestroyMenu(menu);
}

TEST_F(ClipTextWindowTest, NewAndOpenLibraryGoToTheHost) {
    Library("a.CTF", kCode);
    Open();
    Command(ID_CLIP_LIBRARY_NEW);
    EXPECT_EQ(m_host.newDocument, AfxLoadString(IDS_CLIP_FILE_HEADER) + "#TITLE=");
    Command(ID_CLIP_LIBRARY_EDIT);
    EXPECT_EQ(m_host.opened, Path("a.CTF"));
    m_host.opened.clear();
    Command(ID_CLIP_LIBRARY_RENAME);
    EXPECT_EQ(m_host.opened, Path("a.CTF"));
}

TEST_F(ClipTextWindowTest, EmptyFolderHasNoLibrary) {
    Open();
    EXPECT_EQ(m_clip->LibraryCount(), 0);
    EXPECT_EQ(m_clip->CurrentLibrary(), nullptr);
    Command(ID_CLIP_ADD); // needs a library: nothing happens
    EXPECT_EQ(m_clip->ItemCount(), 0);
}

// --- Questions whose box lets other messages in ------------------------------------------------

// The library as another program rewrites it: "paren" (body unchanged) moves from third place
// to fourth.
const char kCodeRewritten[] = "#TITLE=Code\r\n"
                              "#BEGIN=zeta\r\nz\r\n#END\r\n"
                              "#BEGIN=paren\r\nf(^!)\r\n#END\r\n"
                              "#BEGIN=Block\r\nb\r\n#END\r\n"
                              "#BEGIN=aaa\r\na\r\n#END\r\n"
                              "#BEGIN=abc\r\nc\r\n#END\r\n";

TEST_F(ClipTextWindowTest, RenameAnsweredAfterAReloadRenamesTheItemReadAgain) {
    Library("a.CTF", kCode);
    Open();
    ASSERT_EQ(IndexOf("paren"), 2);
    g_whileAsking = [&] {
        ChangeOnDisk("a.CTF", kCodeRewritten);
        m_clip->ReloadIfChanged();
    };
    g_answer = IDYES;
    EditLabel(IndexOf("paren"), "BLOCK");
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0], AfxFormatString1(IDS_CLIP_SAME_NAME, "BLOCK"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"aaa", "abc", "Block", "BLOCK", "zeta"}));
    EXPECT_EQ(m_clip->ItemBody(3), "f(^!)");
    EXPECT_EQ(Label(3), "BLOCK");
    EXPECT_TRUE(m_clip->CurrentLibrary()->modified);
}

TEST_F(ClipTextWindowTest, RenameAnsweredAfterAReloadWithoutTheItemChangesNothing) {
    Library("a.CTF", kCode);
    Open();
    // "paren" read again with another body is another snippet.
    g_whileAsking = [&] {
        ChangeOnDisk("a.CTF", "#TITLE=Code\r\n#BEGIN=paren\r\ng()\r\n#END\r\n"
                              "#BEGIN=Block\r\nb\r\n#END\r\n");
        m_clip->ReloadIfChanged();
    };
    g_answer = IDYES;
    EditLabel(IndexOf("paren"), "BLOCK");
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Block", "paren"}));
    EXPECT_FALSE(m_clip->CurrentLibrary()->modified);
}

TEST_F(ClipTextWindowTest, DeleteAnsweredAfterAReloadDeletesTheItemReadAgain) {
    Library("a.CTF", kCode);
    Open();
    m_clip->SelectItem(IndexOf("paren"));
    g_whileAsking = [&] {
        ChangeOnDisk("a.CTF", kCodeRewritten);
        m_clip->ReloadIfChanged();
    };
    g_answer = IDYES;
    Command(ID_CLIP_DELETE);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(Names(), (std::vector<std::string>{"aaa", "abc", "Block", "zeta"}));
    EXPECT_TRUE(m_clip->CurrentLibrary()->modified);
}

TEST_F(ClipTextWindowTest, DeleteAnsweredAfterASwitchDeletesNothing) {
    Library("a.CTF", kCode);
    Library("b.CTF", "#TITLE=Other\r\n#BEGIN=o\r\none\r\n#END\r\n");
    Open();
    ChooseInSelector("Code");
    m_clip->SelectItem(IndexOf("paren"));
    g_whileAsking = [&] { ChooseInSelector("Other"); };
    g_answer = IDYES;
    Command(ID_CLIP_DELETE);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(m_clip->CurrentLibrary()->title, "Other");
    EXPECT_EQ(Names(), (std::vector<std::string>{"o"}));
    EXPECT_FALSE(m_clip->CurrentLibrary()->modified);
    ChooseInSelector("Code");
    EXPECT_EQ(Names(), (std::vector<std::string>{"alpha", "Block", "paren"}));
    EXPECT_EQ(ReadFile(Path("a.CTF")), kCode);
}

// --- Deleting a library through the shell -----------------------------------------------------

// Answers the shell's questions (its own dialogs, not the program's message boxes) from a
// timer of this thread, so inside the loop of the box itself: once, first, what the messages a
// real box lets in would do, then Yes to every question.
namespace {

class ShellQuestionAnswerer {
public:
    explicit ShellQuestionAnswerer(std::function<void()> during) {
        s_during = std::move(during);
        s_questions = 0;
        m_timer = ::SetTimer(nullptr, 0, 50, &ShellQuestionAnswerer::Tick);
    }
    ~ShellQuestionAnswerer() {
        ::KillTimer(nullptr, m_timer);
        s_during = nullptr;
    }
    int Questions() const { return s_questions; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        ::EnumThreadWindows(::GetCurrentThreadId(), &ShellQuestionAnswerer::Visit, 0);
    }
    static BOOL CALLBACK Visit(HWND wnd, LPARAM) {
        char cls[16] = "";
        ::GetClassNameA(wnd, cls, sizeof cls);
        if (!::IsWindowVisible(wnd) || std::string(cls) != "#32770")
            return TRUE;
        HWND yes = ::GetDlgItem(wnd, IDYES);
        if (!yes)
            yes = ::GetDlgItem(wnd, IDOK);
        if (!yes)
            return TRUE;
        if (s_during) {
            const std::function<void()> during = std::move(s_during);
            s_during = nullptr;
            during();
        }
        ++s_questions;
        ::PostMessageA(wnd, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(yes), BN_CLICKED),
                       reinterpret_cast<LPARAM>(yes));
        return FALSE;
    }
    static std::function<void()> s_during;
    static int s_questions;
    UINT_PTR m_timer = 0;
};
std::function<void()> ShellQuestionAnswerer::s_during;
int ShellQuestionAnswerer::s_questions = 0;

} // namespace

// Two libraries, "Code" (a.CTF) current, which the tests delete.
class ClipLibraryDeleteTest : public ClipTextWindowTest {
protected:
    void SetUp() override {
        ClipTextWindowTest::SetUp();
        Library("a.CTF", kCode);
        Library("b.CTF", "#TITLE=Other\r\n#BEGIN=o\r\none\r\n#END\r\n");
        Open();
        ChooseInSelector("Code");
    }
    // The Delete command of the library, with `during` run under the shell's question.
    void DeleteCode(std::function<void()> during) {
        ShellQuestionAnswerer answerer(std::move(during));
        Command(ID_CLIP_LIBRARY_DELETE);
        EXPECT_GE(answerer.Questions(), 1);
        EXPECT_FALSE(fs::exists(Path("a.CTF")));
    }
    void ExpectOtherAloneAndCurrent() {
        ASSERT_EQ(m_clip->LibraryCount(), 1);
        EXPECT_EQ(m_clip->LibraryAt(0)->title, "Other");
        ASSERT_NE(m_clip->CurrentLibrary(), nullptr);
        EXPECT_EQ(m_clip->CurrentLibrary()->title, "Other");
        EXPECT_EQ(SelectorChoice(), 0);
        EXPECT_EQ(Names(), (std::vector<std::string>{"o"}));
    }
};

TEST_F(ClipLibraryDeleteTest, DeletedLibraryGoesWithItsFileAndTheFirstIsLoaded) {
    DeleteCode(nullptr);
    ExpectOtherAloneAndCurrent();
}

TEST_F(ClipLibraryDeleteTest, AnsweredAfterTheListWasReadAgainItLeavesTheNewList) {
    // The window is made again while the question is up: it reads the library list anew,
    // and every record the deletion started from is freed.
    DeleteCode([&] {
        m_clip->DestroyWindow();
        RECT rc = {0, 0, 200, 360};
        ASSERT_TRUE(m_clip->Create(m_parent, 0xE902, rc));
    });
    // The list read under the question stays as it was read, its first library current.
    ASSERT_EQ(m_clip->LibraryCount(), 2);
    ASSERT_NE(m_clip->CurrentLibrary(), nullptr);
    EXPECT_EQ(m_clip->CurrentLibrary(), m_clip->LibraryAt(0));
    EXPECT_EQ(SelectorChoice(), 0);
    EXPECT_FALSE(m_clip->CurrentLibrary()->title.empty());
}

TEST_F(ClipLibraryDeleteTest, AnsweredAfterASwitchItKeepsTheLibraryChosen) {
    DeleteCode([&] { ChooseInSelector("Other"); });
    ExpectOtherAloneAndCurrent();
}

// --- A library that cannot be written or read --------------------------------------------------

TEST_F(ClipTextWindowTest, FailedSaveOnSwitchKeepsTheLibraryAndItsEdits) {
    Library("a.CTF", kCode);
    Library("b.CTF", "#TITLE=Other\r\n");
    Open();
    ChooseInSelector("Code");
    m_clip->SelectItem(IndexOf("alpha"));
    g_answer = IDYES;
    Command(ID_CLIP_DELETE);
    ::SetFileAttributesA(Path("a.CTF").c_str(), FILE_ATTRIBUTE_READONLY);
    g_boxes.clear();
    ChooseInSelector("Other");
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_NE(g_boxes[0].find("a.CTF"), std::string::npos);
    EXPECT_EQ(m_clip->CurrentLibrary()->title, "Code");
    EXPECT_EQ(SelectorChoice(), LibraryIndex("Code"));
    EXPECT_TRUE(m_clip->CurrentLibrary()->modified);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Block", "paren"}));
    EXPECT_EQ(ReadFile(Path("a.CTF")), kCode);
    // The next switch tries again, and the window's end once the file can be written.
    ChooseInSelector("Other");
    EXPECT_EQ(g_boxes.size(), 2u);
    EXPECT_EQ(m_clip->CurrentLibrary()->title, "Code");
    ::SetFileAttributesA(Path("a.CTF").c_str(), FILE_ATTRIBUTE_NORMAL);
    Close();
    EXPECT_EQ(g_boxes.size(), 2u);
    ClipLibraryText lib;
    ASSERT_TRUE(LoadClipLibraryFile(Path("a.CTF").c_str(), lib));
    ASSERT_EQ(lib.items.size(), 2u);
    EXPECT_EQ(lib.items[0].name, "Block");
    EXPECT_EQ(lib.items[1].name, "paren");
}

TEST_F(ClipTextWindowTest, UnreadableLibraryIsToldTakesNothingAndIsNotWrittenOver) {
    Library("a.CTF", kCode);
    Library("b.CTF", "#TITLE=Other\r\n");
    Open();
    ChooseInSelector("Other");
    // Another program holds the file without sharing it.
    HANDLE lock =
        ::CreateFileA(Path("a.CTF").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    g_boxes.clear();
    ChooseInSelector("Code");
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0], AfxFormat(AfxLoadString(IDS_CLIP_READ_FAILED).c_str(),
                                    Path("a.CTF").c_str(), AfxSystemErrorText(32).c_str()));
    EXPECT_EQ(m_clip->CurrentLibrary()->title, "Code");
    EXPECT_TRUE(m_clip->CurrentLibrary()->unread);
    EXPECT_EQ(m_clip->ItemCount(), 0);
    // Nothing can be added, so nothing is saved over the file.
    HMENU menu = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_CLIPTEXT_MENU));
    ASSERT_NE(menu, nullptr);
    AfxUpdateMenuPopup(::GetSubMenu(menu, 0), m_clip, true);
    EXPECT_TRUE(::GetMenuState(::GetSubMenu(menu, 0), ID_CLIP_ADD, MF_BYCOMMAND) & MF_GRAYED);
    ::DestroyMenu(menu);
    Command(ID_CLIP_ADD);
    EXPECT_EQ(m_clip->ItemCount(), 0);
    EXPECT_FALSE(m_clip->CurrentLibrary()->modified);
    ::CloseHandle(lock);
    Close();
    EXPECT_EQ(ReadFile(Path("a.CTF")), kCode);
    EXPECT_EQ(g_boxes.size(), 1u);
}

TEST_F(ClipTextWindowTest, UnreadableLibraryIsReadWhenTheListTakesTheFocusAgain) {
    Library("a.CTF", kCode);
    Library("b.CTF", "#TITLE=Other\r\n");
    Open();
    ChooseInSelector("Other");
    HANDLE lock =
        ::CreateFileA(Path("a.CTF").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    ChooseInSelector("Code");
    EXPECT_EQ(m_clip->ItemCount(), 0);
    // Still held: tried again without another message.
    ::SetFocus(m_view->m_hWnd);
    ::SetFocus(m_clip->List());
    PumpViewMessages();
    EXPECT_EQ(m_clip->ItemCount(), 0);
    EXPECT_EQ(g_boxes.size(), 1u);
    ::CloseHandle(lock);
    ::SetFocus(m_view->m_hWnd);
    ::SetFocus(m_clip->List());
    PumpViewMessages();
    EXPECT_EQ(Names(), (std::vector<std::string>{"alpha", "Block", "paren"}));
    EXPECT_FALSE(m_clip->CurrentLibrary()->unread);
    EXPECT_EQ(g_boxes.size(), 1u);
    Command(ID_CLIP_ADD);
    EXPECT_EQ(m_clip->ItemCount(), 4);
    ::SendMessageA(ListView_GetEditControl(m_clip->List()), WM_KEYDOWN, VK_ESCAPE, 0);
    PumpViewMessages();
}

// --- Edit limits -------------------------------------------------------------------------------

TEST_F(ClipTextWindowTest, NameAndBodyEditedToTheirLimitsReadBackWhole) {
    Library("a.CTF", kCode);
    Open();
    std::string chinese;
    for (int i = 0; i < 2100; ++i)
        chinese += "中";
    // The label edit takes no more than a name keeps; what comes in is cut between characters.
    const int paren = IndexOf("paren");
    m_clip->SelectItem(paren);
    ::SetFocus(m_clip->List());
    HWND label = reinterpret_cast<HWND>(
        ::SendMessageA(m_clip->List(), LVM_EDITLABELA, static_cast<WPARAM>(paren), 0));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(::SendMessageA(label, EM_GETLIMITTEXT, 0, 0), static_cast<LRESULT>(kClipNameMax));
    ::SetWindowTextA(label, chinese.substr(0, 400).c_str());
    ::SendMessageA(label, WM_KEYDOWN, VK_RETURN, 0);
    PumpViewMessages();
    const std::string name = chinese.substr(0, 258);
    ASSERT_EQ(m_clip->ItemName(paren), name);
    // So does the body editor.
    Command(ID_CLIP_EDIT);
    HWND editor = m_clip->BodyEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(::SendMessageA(editor, EM_GETLIMITTEXT, 0, 0), static_cast<LRESULT>(kClipBodyMax));
    ::SetWindowTextA(editor, chinese.c_str());
    ::SendMessageA(editor, EM_SETMODIFY, TRUE, 0);
    ::SendMessageA(editor, WM_KEYDOWN, VK_ESCAPE, 0);
    PumpViewMessages();
    EXPECT_EQ(m_clip->ItemBody(paren), chinese.substr(0, 4094));
    Close();
    // Read back whole: a later change is saved without the question about cut snippets.
    Open();
    const int again = IndexOf(name);
    ASSERT_GE(again, 0);
    EXPECT_EQ(m_clip->ItemBody(again), chinese.substr(0, 4094));
    EXPECT_EQ(m_clip->CurrentLibrary()->damage, ClipLibraryText::kWhole);
    m_clip->SelectItem(IndexOf("alpha"));
    g_answer = IDYES;
    Command(ID_CLIP_DELETE);
    g_boxes.clear();
    Close();
    EXPECT_TRUE(g_boxes.empty());
    ClipLibraryText lib;
    ASSERT_TRUE(LoadClipLibraryFile(Path("a.CTF").c_str(), lib));
    EXPECT_EQ(lib.items.size(), 2u);
    EXPECT_TRUE(lib.IsWhole());
}

TEST_F(ClipTextWindowTest, RenameKeepsWhatTheNameLineKeeps) {
    Library("a.CTF", kCode);
    Open();
    const int paren = IndexOf("paren");
    EditLabel(paren, "  spaced\t ");
    EXPECT_EQ(m_clip->ItemName(paren), "spaced");
    // Blanks alone are no name: the label edit is cancelled.
    EditLabel(paren, "   ");
    EXPECT_EQ(m_clip->ItemName(paren), "spaced");
}

TEST_F(ClipTextWindowTest, SaveQuestionAnsweredAfterASwitchWritesNoOtherLibraryOverIt) {
    const std::string original = "#TITLE=Cut\r\n#BEGIN=long\r\n" + std::string(5000, 'b') +
                                 "\r\n#END\r\n#BEGIN=short\r\ns\r\n#END\r\n";
    Library("a.CTF", original);
    Library("b.CTF", "#TITLE=Other\r\n#BEGIN=o\r\none\r\n#END\r\n");
    Open();
    ChooseInSelector("Cut");
    m_clip->SelectItem(IndexOf("short"));
    g_answer = IDYES;
    Command(ID_CLIP_DELETE);
    // The question about the cut snippet is answered after the other library was chosen again
    // (which asked and saved it in its turn).
    g_boxes.clear();
    g_whileAsking = [&] { ChooseInSelector("Other"); };
    ChooseInSelector("Other");
    EXPECT_EQ(g_boxes.size(), 2u);
    EXPECT_EQ(m_clip->CurrentLibrary()->title, "Other");
    EXPECT_EQ(Names(), (std::vector<std::string>{"o"}));
    ClipLibraryText lib;
    ASSERT_TRUE(LoadClipLibraryFile(Path("a.CTF").c_str(), lib));
    EXPECT_EQ(lib.title, "Cut");
    ASSERT_EQ(lib.items.size(), 1u);
    EXPECT_EQ(lib.items[0].name, "long");
}
