// Recovery of unsaved work through the real program: a copy of Quorvane.exe in a fresh folder
// is started, typed into and killed without a chance to clean up; the next start offers the
// documents back. Also: what removes the copies, two instances side by side, and how the
// program keeps answering while copies are written.
#include "common/PathName.h"
#include "textdoc/RecoveryCopy.h"
#include "tests/app/AppTestUtil.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const UINT kIdFileNew = 57600;
const UINT kIdFileSave = 57603;
const UINT kIdSelectAll = 57642;
const UINT kIdCopy = 57634;
const UINT kIdUndo = 57643;
const UINT kIdToggleBookmark = 35426;
const UINT kIdPrevBookmark = 35427;
const UINT kIdNextBookmark = 35428;
const int kRecoveryList = 3602;
const int kStatusBarId = 0xE801;
const int kPanePosition = 1;
const int kPaneFirst = 0xE900;
const DWORD kStartTimeoutMs = 30000;
// The first copy comes 2 s after the last edit, on a round every 500 ms.
const DWORD kCopyTimeoutMs = 15000;

template <class Pred> bool WaitFor(Pred pred, DWORD ms) {
    const DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start > ms)
            return false;
        Sleep(50);
    }
    return true;
}

// A started program; killed (as a crash would end it) when it outlives the test.
class Process {
public:
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process() { Kill(); }
    bool Start(const std::string& exe, const std::string& args) {
        std::string cmd = "\"" + exe + "\"" + (args.empty() ? "" : " " + args);
        std::vector<char> line(cmd.begin(), cmd.end());
        line.push_back('\0');
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        return CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &si, &m_pi) != FALSE;
    }
    // TerminateProcess: no chance to clean up.
    void Kill() {
        if (!m_pi.hProcess)
            return;
        if (WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_pi.hProcess, 1);
            WaitForSingleObject(m_pi.hProcess, 10000);
        }
        CloseHandle(m_pi.hProcess);
        CloseHandle(m_pi.hThread);
        m_pi = PROCESS_INFORMATION();
    }
    bool WaitExit(DWORD ms) const { return WaitForSingleObject(m_pi.hProcess, ms) == 0; }
    DWORD Id() const { return m_pi.dwProcessId; }

private:
    PROCESS_INFORMATION m_pi = {};
};

std::string TextOf(HWND wnd) {
    char text[1024] = "";
    GetWindowTextA(wnd, text, sizeof text);
    return text;
}

BOOL CALLBACK CollectTopWindowsProc(HWND wnd, LPARAM lp) {
    auto* s = reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(wnd, &owner);
    if (owner == s->first && IsWindowVisible(wnd))
        s->second.push_back(wnd);
    return TRUE;
}

std::vector<HWND> TopWindows(DWORD pid) {
    std::pair<DWORD, std::vector<HWND>> search(pid, {});
    EnumWindows(CollectTopWindowsProc, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

bool IsDialogWindow(HWND wnd) {
    char cls[32] = "";
    GetClassNameA(wnd, cls, sizeof cls);
    return std::string(cls) == "#32770";
}

HWND FindMainFrame(DWORD pid) {
    for (HWND wnd : TopWindows(pid))
        if (FindWindowExA(wnd, nullptr, "MDIClient", nullptr))
            return wnd;
    return nullptr;
}

// A dialog or message box of the process; with `withList` only the recovery question.
HWND FindDialog(DWORD pid, bool withList) {
    for (HWND wnd : TopWindows(pid))
        if (IsDialogWindow(wnd) && (!withList || GetDlgItem(wnd, kRecoveryList)))
            return wnd;
    return nullptr;
}

std::string DialogText(HWND dialog) {
    std::string all;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        all += TextOf(c) + "|";
    return all;
}

HWND MdiClient(HWND frame) {
    return FindWindowExA(frame, nullptr, "MDIClient", nullptr);
}

std::vector<HWND> Children(HWND frame) {
    std::vector<HWND> children;
    HWND client = MdiClient(frame);
    for (HWND c = client ? GetWindow(client, GW_CHILD) : nullptr; c; c = GetWindow(c, GW_HWNDNEXT))
        if (GetWindow(c, GW_OWNER) == nullptr)
            children.push_back(c);
    return children;
}

HWND ChildTitled(HWND frame, const std::string& title) {
    for (HWND c : Children(frame))
        if (TextOf(c) == title)
            return c;
    return nullptr;
}

HWND ActiveChild(HWND frame) {
    HWND client = MdiClient(frame);
    return client ? reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, 0)) : nullptr;
}

HWND ViewOf(HWND child) {
    HWND splitter = child ? GetDlgItem(child, kPaneFirst) : nullptr;
    return splitter ? GetDlgItem(splitter, kPaneFirst) : nullptr;
}

std::string PaneText(HWND frame, int index) {
    return StatusPaneText(GetDlgItem(frame, kStatusBarId), index);
}

// Handled by the program before this returns (a sent message, never one that opens a modal
// window: that one is posted).
void Send(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(wnd, msg, wp, lp, SMTO_NORMAL, 10000, &result);
}

void Settle(HWND wnd) {
    Send(wnd, WM_NULL, 0, 0);
}

void PressKey(HWND view, UINT vk, int times = 1) {
    for (int i = 0; i < times; ++i) {
        Send(view, WM_KEYDOWN, vk, 1);
        Send(view, WM_KEYUP, vk, 0xC0000001);
    }
}

void TypeText(HWND view, const std::string& text) {
    for (char c : text) {
        if (c == '\n')
            PressKey(view, VK_RETURN);
        else
            Send(view, WM_CHAR, static_cast<unsigned char>(c), 1);
    }
}

void Command(HWND wnd, UINT id) {
    Send(wnd, WM_COMMAND, id, 0);
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string ClipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr))
        return "(no clipboard)";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(GlobalLock(data))) {
            text = p;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

class RecoveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        char exe[MAX_PATH];
        GetModuleFileNameA(nullptr, exe, sizeof exe);
        const std::string dir = FxPathWithSeparator(FxPathFolder(exe));
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        char folder[MAX_PATH];
        std::snprintf(folder, sizeof folder, "%sqvrec%lu_%lu", temp,
                      static_cast<unsigned long>(GetCurrentProcessId()),
                      static_cast<unsigned long>(GetTickCount()));
        ASSERT_TRUE(CreateDirectoryA(folder, nullptr));
        m_dir = folder;
        m_exe = m_dir + "\\Quorvane.exe";
        ASSERT_TRUE(CopyFileA((dir + "Quorvane.exe").c_str(), m_exe.c_str(), FALSE));
    }
    void TearDown() override { RemoveTree(m_dir); }
    static void RemoveTree(const std::string& dir) {
        WIN32_FIND_DATAA fd;
        HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &fd);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = fd.cFileName;
                if (name == "." || name == "..")
                    continue;
                const std::string path = dir + "\\" + name;
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(path);
                else
                    DeleteFileA(path.c_str());
            } while (FindNextFileA(find, &fd));
            FindClose(find);
        }
        RemoveDirectoryA(dir.c_str());
    }
    std::string WriteFile(const char* name, const std::string& bytes) {
        const std::string path = m_dir + "\\" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    // The program opens the file, `typed` goes in at its start, and the program is killed once
    // the copy of the edit is written.
    void KillAfterACopyOf(const std::string& path, const std::string& typed) {
        Process p;
        ASSERT_TRUE(p.Start(m_exe, "\"" + path + "\""));
        HWND frame = WaitForMainFrame(p);
        ASSERT_NE(frame, nullptr);
        HWND view = WaitForActiveView(frame);
        ASSERT_NE(view, nullptr);
        TypeText(view, typed);
        ASSERT_TRUE(WaitForCopies(1));
        p.Kill();
    }
    // `megabytes` MB of 100-byte lines, made quickly.
    std::string WriteLongFile(const char* name, int megabytes) {
        std::string block;
        for (int i = 0; i < 10000; ++i)
            block += std::string(98, 'x') + "\r\n";
        const std::string path = m_dir + "\\" + name;
        std::ofstream out(path, std::ios::binary);
        for (int i = 0; i < megabytes; ++i)
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
        return path;
    }
    void AllowMultipleInstances() {
        WritePrivateProfileStringA("Settings", "AllowMultipleInstances", "1",
                                   (m_dir + "\\SETTINGS.INI").c_str());
    }
    // Every complete copy in the "Recovery" folder, of any instance.
    std::vector<std::string> Copies() const {
        std::vector<std::string> copies;
        const std::string root = m_dir + "\\Recovery";
        WIN32_FIND_DATAA set;
        HANDLE sets = FindFirstFileA((root + "\\*").c_str(), &set);
        if (sets == INVALID_HANDLE_VALUE)
            return copies;
        do {
            const std::string name = set.cFileName;
            if (name == "." || name == ".." || !(set.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                continue;
            WIN32_FIND_DATAA fd;
            HANDLE files = FindFirstFileA((root + "\\" + name + "\\*.qvr").c_str(), &fd);
            if (files == INVALID_HANDLE_VALUE)
                continue;
            do {
                const std::string path = root + "\\" + name + "\\" + fd.cFileName;
                FxRecoveryInfo info;
                if (ReadRecoveryInfo(path, info))
                    copies.push_back(path);
            } while (FindNextFileA(files, &fd));
            FindClose(files);
        } while (FindNextFileA(sets, &set));
        FindClose(sets);
        return copies;
    }
    bool WaitForCopies(size_t count, DWORD ms = kCopyTimeoutMs) {
        return WaitFor([&] { return Copies().size() == count; }, ms);
    }
    HWND WaitForMainFrame(const Process& p) {
        HWND frame = nullptr;
        WaitFor([&] { return (frame = FindMainFrame(p.Id())) != nullptr || p.WaitExit(0); },
                kStartTimeoutMs);
        return frame;
    }
    HWND WaitForActiveView(HWND frame) {
        HWND view = nullptr;
        WaitFor([&] { return (view = ViewOf(ActiveChild(frame))) != nullptr; }, kStartTimeoutMs);
        return view;
    }
    // The start-up question of a program started with copies left behind.
    HWND WaitForQuestion(const Process& p) {
        HWND dialog = nullptr;
        WaitFor([&] { return (dialog = FindDialog(p.Id(), true)) != nullptr; }, kStartTimeoutMs);
        return dialog;
    }
    // The caret's pane, shown in idle time, begins with `prefix`.
    static bool WaitForPane(HWND frame, const std::string& prefix) {
        return WaitFor(
            [&] {
                PostMessageA(frame, WM_NULL, 0, 0); // idle comes after a message
                return PaneText(frame, kPanePosition).rfind(prefix, 0) == 0;
            },
            5000);
    }
    // The button's notice, as a click sends it; the question is gone afterwards.
    static void Click(HWND dialog, int id) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, 10000)) << "the answer " << id;
    }
    static std::vector<std::string> ListItems(HWND dialog) {
        std::vector<std::string> items;
        HWND list = GetDlgItem(dialog, kRecoveryList);
        const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            // Asked in UTF-16, which crosses the process boundary whole.
            wchar_t wide[1024] = L"";
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide));
            char text[2048] = "";
            WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
            items.push_back(text);
        }
        return items;
    }
    // The whole text of a document (its frame activated), read through the clipboard.
    static std::string DocumentText(HWND frame, HWND child) {
        SendMessageA(MdiClient(frame), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), 0);
        Settle(frame);
        HWND view = ViewOf(child);
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
        Command(view, kIdSelectAll);
        Command(view, kIdCopy);
        return ClipboardText();
    }

    std::string m_dir;
    std::string m_exe;
};

} // namespace

TEST_F(RecoveryTest, ANamedAndAnUntitledDocumentComeBackAfterAKill) {
    const std::string named = WriteFile("named.txt", "zero\r\none\r\ntwo\r\nthree\r\n");
    {
        Process p;
        ASSERT_TRUE(p.Start(m_exe, "\"" + named + "\""));
        HWND frame = WaitForMainFrame(p);
        ASSERT_NE(frame, nullptr);
        HWND view = WaitForActiveView(frame);
        ASSERT_NE(view, nullptr);
        // A bookmark on line 1, the caret on line 2, where the edit goes.
        PressKey(view, VK_DOWN);
        Command(view, kIdToggleBookmark);
        PressKey(view, VK_DOWN);
        TypeText(view, "X");

        Command(frame, kIdFileNew);
        HWND untitled = nullptr;
        ASSERT_TRUE(WaitFor(
            [&] { return (untitled = ChildTitled(frame, "未命名文档1")) != nullptr; }, 10000));
        view = WaitForActiveView(frame);
        TypeText(view, "甲乙\n丙\n丁");
        Command(view, kIdToggleBookmark); // on line 2, the caret's
        PressKey(view, VK_UP);
        ASSERT_TRUE(WaitForCopies(2)) << Copies().size();
        // What the copies record.
        for (const std::string& copy : Copies()) {
            FxRecoveryInfo info;
            ASSERT_TRUE(ReadRecoveryInfo(copy, info));
            if (info.path.empty()) {
                EXPECT_EQ(info.title, "未命名文档1");
                EXPECT_EQ(info.caretLine, 1);
                EXPECT_EQ(info.bookmarks, std::vector<int32_t>({2}));
            } else {
                EXPECT_EQ(info.path, named);
                EXPECT_EQ(info.caretLine, 2);
                EXPECT_EQ(info.bookmarks, std::vector<int32_t>({1}));
            }
        }
        p.Kill();
    }
    const std::vector<std::string> oldCopies = Copies();
    EXPECT_EQ(oldCopies.size(), 2u) << "a kill leaves the copies";

    Process p;
    ASSERT_TRUE(p.Start(m_exe, ""));
    HWND question = WaitForQuestion(p);
    ASSERT_NE(question, nullptr) << "no question at the start after the kill";
    EXPECT_NE(DialogText(question).find("以下文档在上次运行中未保存……"), std::string::npos)
        << DialogText(question);
    std::vector<std::string> items = ListItems(question);
    std::sort(items.begin(), items.end());
    ASSERT_EQ(items.size(), 2u);
    EXPECT_NE(std::find(items.begin(), items.end(), named), items.end());
    EXPECT_NE(std::find(items.begin(), items.end(), "未命名文档1"), items.end());
    EXPECT_EQ(TextOf(GetDlgItem(question, IDYES)), "恢复");
    EXPECT_EQ(TextOf(GetDlgItem(question, IDNO)), "放弃");
    EXPECT_EQ(TextOf(GetDlgItem(question, IDCANCEL)), "稍后决定");
    Click(question, IDYES);

    HWND frame = WaitForMainFrame(p);
    ASSERT_NE(frame, nullptr);
    HWND namedChild = nullptr, untitledChild = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] {
            namedChild = ChildTitled(frame, named + " *");
            untitledChild = ChildTitled(frame, "未命名文档1 *");
            return namedChild && untitledChild;
        },
        10000))
        << Children(frame).size();
    // The file on disk is untouched; the editor holds the copy's text, caret and bookmarks.
    EXPECT_EQ(ReadBytes(named), "zero\r\none\r\ntwo\r\nthree\r\n");
    SendMessageA(MdiClient(frame), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(namedChild), 0);
    Settle(frame);
    EXPECT_TRUE(WaitForPane(frame, " 行3，")) << PaneText(frame, kPanePosition);
    Command(ViewOf(namedChild), kIdPrevBookmark);
    EXPECT_TRUE(WaitForPane(frame, " 行2，")) << PaneText(frame, kPanePosition);
    EXPECT_EQ(DocumentText(frame, namedChild), "zero\r\none\r\nXtwo\r\nthree\r\n");

    SendMessageA(MdiClient(frame), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(untitledChild), 0);
    Settle(frame);
    EXPECT_TRUE(WaitForPane(frame, " 行2，")) << PaneText(frame, kPanePosition);
    Command(ViewOf(untitledChild), kIdNextBookmark);
    EXPECT_TRUE(WaitForPane(frame, " 行3，")) << PaneText(frame, kPanePosition);
    EXPECT_EQ(DocumentText(frame, untitledChild), "甲乙\r\n丙\r\n丁");
    // The restored text is not any file's: an edit undone leaves it modified.
    TypeText(ViewOf(untitledChild), "q");
    Command(ViewOf(untitledChild), kIdUndo);
    EXPECT_EQ(DocumentText(frame, untitledChild), "甲乙\r\n丙\r\n丁");
    EXPECT_EQ(TextOf(untitledChild), "未命名文档1 *");

    // The old copies give way to fresh ones of this instance.
    EXPECT_TRUE(WaitFor(
        [&] {
            const std::vector<std::string> copies = Copies();
            for (const std::string& copy : copies)
                if (std::find(oldCopies.begin(), oldCopies.end(), copy) != oldCopies.end())
                    return false;
            return copies.size() == 2;
        },
        kCopyTimeoutMs))
        << Copies().size();
    p.Kill();
}

TEST_F(RecoveryTest, AFileChangedSinceTheCopyIsSaidAndBothAreKept) {
    const std::string path = WriteFile("changed.txt", "old\r\n");
    ASSERT_NO_FATAL_FAILURE(KillAfterACopyOf(path, "mine "));
    // Another program writes the file while the editor is down.
    WriteFile("changed.txt", "theirs, longer\r\n");

    Process p;
    ASSERT_TRUE(p.Start(m_exe, ""));
    HWND question = WaitForQuestion(p);
    ASSERT_NE(question, nullptr);
    Click(question, IDYES);
    HWND notice = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] {
            notice = FindDialog(p.Id(), false);
            return notice && !GetDlgItem(notice, kRecoveryList);
        },
        10000))
        << "no word about the changed file";
    const std::string text = DialogText(notice);
    EXPECT_NE(text.find(path), std::string::npos) << text;
    EXPECT_NE(text.find("已被修改"), std::string::npos) << text;
    PostMessageA(notice, WM_COMMAND, IDOK, 0);

    HWND frame = WaitForMainFrame(p);
    ASSERT_NE(frame, nullptr);
    HWND child = nullptr;
    ASSERT_TRUE(
        WaitFor([&] { return (child = ChildTitled(frame, path + " *")) != nullptr; }, 10000));
    EXPECT_EQ(DocumentText(frame, child), "mine old\r\n");
    EXPECT_EQ(ReadBytes(path), "theirs, longer\r\n");
    p.Kill();
}

TEST_F(RecoveryTest, DecideLaterKeepsTheCopiesAndDiscardRemovesThem) {
    {
        Process p;
        ASSERT_TRUE(p.Start(m_exe, ""));
        HWND frame = WaitForMainFrame(p);
        ASSERT_NE(frame, nullptr);
        Command(frame, kIdFileNew);
        HWND view = WaitForActiveView(frame);
        ASSERT_NE(view, nullptr);
        TypeText(view, "draft");
        ASSERT_TRUE(WaitForCopies(1));
        p.Kill();
    }
    {
        Process p;
        ASSERT_TRUE(p.Start(m_exe, ""));
        HWND question = WaitForQuestion(p);
        ASSERT_NE(question, nullptr);
        Click(question, IDCANCEL);
        HWND frame = WaitForMainFrame(p);
        ASSERT_NE(frame, nullptr);
        EXPECT_TRUE(WaitFor([&] { return FindDialog(p.Id(), false) == nullptr; }, 10000));
        EXPECT_TRUE(Children(frame).empty());
        // Kept for the next start, also past this instance's normal end.
        EXPECT_EQ(Copies().size(), 1u);
        PostMessageA(frame, WM_CLOSE, 0, 0);
        ASSERT_TRUE(p.WaitExit(10000));
        EXPECT_EQ(Copies().size(), 1u);
    }
    {
        Process p;
        ASSERT_TRUE(p.Start(m_exe, ""));
        HWND question = WaitForQuestion(p);
        ASSERT_NE(question, nullptr) << "the copy kept for later is offered again";
        EXPECT_EQ(ListItems(question), std::vector<std::string>({"未命名文档1"}));
        Click(question, IDNO);
        HWND frame = WaitForMainFrame(p);
        ASSERT_NE(frame, nullptr);
        EXPECT_TRUE(WaitFor([&] { return Copies().empty(); }, 10000));
        EXPECT_TRUE(Children(frame).empty());
        PostMessageA(frame, WM_CLOSE, 0, 0);
        ASSERT_TRUE(p.WaitExit(10000));
    }
    // Nothing is left to offer.
    Process p;
    ASSERT_TRUE(p.Start(m_exe, ""));
    HWND frame = WaitForMainFrame(p);
    ASSERT_NE(frame, nullptr);
    Settle(frame);
    Sleep(500);
    Settle(frame);
    EXPECT_EQ(FindDialog(p.Id(), false), nullptr);
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_TRUE(p.WaitExit(10000));
}

TEST_F(RecoveryTest, SavingClosingWithoutSavingAndANormalExitLeaveNoCopies) {
    const std::string path = WriteFile("kept.txt", "a\r\n");
    Process p;
    ASSERT_TRUE(p.Start(m_exe, "\"" + path + "\""));
    HWND frame = WaitForMainFrame(p);
    ASSERT_NE(frame, nullptr);
    HWND view = WaitForActiveView(frame);
    ASSERT_NE(view, nullptr);
    TypeText(view, "1");
    ASSERT_TRUE(WaitForCopies(1));
    Command(frame, kIdFileSave);
    EXPECT_TRUE(WaitFor([&] { return Copies().empty(); }, 5000)) << "saving keeps the copy";
    EXPECT_EQ(ReadBytes(path), "1a\r\n");

    TypeText(view, "2");
    Command(frame, kIdFileNew);
    view = WaitForActiveView(frame);
    TypeText(view, "new");
    ASSERT_TRUE(WaitForCopies(2));
    // Closing: the question about each document is answered No.
    PostMessageA(frame, WM_CLOSE, 0, 0);
    for (int i = 0; i < 2; ++i) {
        HWND ask = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (ask = FindDialog(p.Id(), false)) != nullptr; }, 10000));
        PostMessageA(ask, WM_COMMAND, IDNO, 0);
        WaitFor([&] { return !IsWindow(ask); }, 5000);
    }
    ASSERT_TRUE(p.WaitExit(10000));
    EXPECT_TRUE(Copies().empty());
    EXPECT_EQ(ReadBytes(path), "1a\r\n");
    // Not even this instance's place is left.
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((m_dir + "\\Recovery\\*").c_str(), &fd);
    int entries = 0;
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (std::strcmp(fd.cFileName, ".") != 0 && std::strcmp(fd.cFileName, "..") != 0)
                ++entries;
        } while (FindNextFileA(find, &fd));
        FindClose(find);
    }
    EXPECT_EQ(entries, 0);
}

TEST_F(RecoveryTest, ASecondRunningInstanceNeverOffersTheFirstOnesCopies) {
    AllowMultipleInstances();
    Process a;
    ASSERT_TRUE(a.Start(m_exe, ""));
    HWND frameA = WaitForMainFrame(a);
    ASSERT_NE(frameA, nullptr);
    Command(frameA, kIdFileNew);
    HWND view = WaitForActiveView(frameA);
    ASSERT_NE(view, nullptr);
    TypeText(view, "first's");
    ASSERT_TRUE(WaitForCopies(1));

    Process b;
    ASSERT_TRUE(b.Start(m_exe, ""));
    HWND frameB = WaitForMainFrame(b);
    ASSERT_NE(frameB, nullptr);
    ASSERT_NE(frameB, frameA) << "the second start did not run on its own";
    Settle(frameB);
    Sleep(500);
    Settle(frameB);
    EXPECT_EQ(FindDialog(b.Id(), false), nullptr) << "the second instance offered a live copy";
    // Its normal end leaves the first one's copy alone.
    PostMessageA(frameB, WM_CLOSE, 0, 0);
    ASSERT_TRUE(b.WaitExit(10000));
    EXPECT_EQ(Copies().size(), 1u);
    // Once the first one is gone, its copy is an orphan.
    a.Kill();
    Process c;
    ASSERT_TRUE(c.Start(m_exe, ""));
    HWND question = WaitForQuestion(c);
    ASSERT_NE(question, nullptr);
    Click(question, IDNO);
    EXPECT_TRUE(WaitFor([&] { return Copies().empty(); }, 10000));
}

TEST_F(RecoveryTest, AHundredModifiedDocumentsKeepTypingResponsive) {
    Process p;
    ASSERT_TRUE(p.Start(m_exe, ""));
    HWND frame = WaitForMainFrame(p);
    ASSERT_NE(frame, nullptr);
    const int kDocs = 100;
    for (int i = 0; i < kDocs; ++i)
        PostMessageA(frame, WM_COMMAND, kIdFileNew, 0);
    ASSERT_TRUE(WaitFor([&] { return Children(frame).size() == kDocs; }, 60000))
        << Children(frame).size();
    // All hundred modified at once: their copies come due together.
    for (HWND child : Children(frame))
        TypeText(ViewOf(child), "document text\n");
    HWND view = WaitForActiveView(frame);
    // A keystroke's round trip: typed, handled, answered.
    auto typeTimed = [&](int count, std::vector<double>& times) {
        for (int i = 0; i < count; ++i) {
            LARGE_INTEGER f, a, b;
            QueryPerformanceFrequency(&f);
            QueryPerformanceCounter(&a);
            DWORD_PTR result = 0;
            SendMessageTimeoutA(view, WM_CHAR, 'k', 1, SMTO_NORMAL, 10000, &result);
            QueryPerformanceCounter(&b);
            times.push_back(1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) /
                            static_cast<double>(f.QuadPart));
        }
    };
    // While all hundred copies are due and written: the documents went quiet 3 s ago.
    std::vector<double> during;
    const DWORD start = GetTickCount();
    // The document typed into stays due until typing stops: the other 99 are the load.
    // Bursts of keys far faster than anyone types, with the short gaps real typing has: the
    // system makes a timer message only while nothing else waits, and keys sent back to back
    // would hold off the copies' timer itself.
    while (Copies().size() < static_cast<size_t>(kDocs - 1) && GetTickCount() - start < 30000) {
        typeTimed(20, during);
        Sleep(5);
    }
    EXPECT_GE(Copies().size(), static_cast<size_t>(kDocs - 1));
    std::vector<double> quiet;
    typeTimed(static_cast<int>(std::max<size_t>(during.size(), 50)), quiet);
    std::sort(during.begin(), during.end());
    std::sort(quiet.begin(), quiet.end());
    const double duringMedian = during[during.size() / 2], duringMax = during.back();
    const double quietMedian = quiet[quiet.size() / 2];
    std::printf("[ figure ] keystroke round trip with 100 modified documents being copied: "
                "median %.2f ms, longest %.2f ms (%zu keys); afterwards median %.2f ms\n",
                duringMedian, duringMax, during.size(), quietMedian);
    // A keystroke never waits for the copies: typing costs about what it costs without them,
    // and no key is held up for long enough for a typist to notice.
    EXPECT_LT(duringMedian, 2 * quietMedian + 1.0);
    EXPECT_LT(duringMax, 250.0);
    p.Kill();
}

TEST_F(RecoveryTest, AHundredMegabyteCopyDoesNotFreezeTheWindow) {
    const std::string path = WriteLongFile("big.txt", 100);
    Process p;
    ASSERT_TRUE(p.Start(m_exe, "\"" + path + "\""));
    HWND frame = WaitForMainFrame(p);
    ASSERT_NE(frame, nullptr);
    HWND view = WaitForActiveView(frame);
    ASSERT_NE(view, nullptr);
    TypeText(view, "!");
    // The longest gap between two handled messages: in the quiet time before the copy is due
    // (the baseline), and from then until the copy is complete.
    double longest = 0, baseline = 0;
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    const DWORD start = GetTickCount();
    while (Copies().empty() && GetTickCount() - start < 60000) {
        LARGE_INTEGER a, b;
        QueryPerformanceCounter(&a);
        DWORD_PTR result = 0;
        SendMessageTimeoutA(frame, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result);
        QueryPerformanceCounter(&b);
        const double gap =
            1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
        if (GetTickCount() - start < 1500) // the copy is due 2 s after the edit
            baseline = std::max(baseline, gap);
        else
            longest = std::max(longest, gap);
        Sleep(5);
    }
    ASSERT_EQ(Copies().size(), 1u) << "no copy of the 100 MB document";
    std::printf("[ figure ] longest pause of the window while the 100 MB copy was taken and "
                "written: %.1f ms (before it was due: %.1f ms); copy written %lu ms after the "
                "edit\n",
                longest, baseline, static_cast<unsigned long>(GetTickCount() - start));
    // The snapshot of the text is the only part on the window's thread, into memory made ready
    // on the writer's thread when the document was first modified; the write runs there too.
    EXPECT_LT(longest, 250.0);
    p.Kill();
    DeleteFileA(path.c_str());
}

// Esc during the restore of a long copy stops it without a word: no document, no message, and
// the copy stays for another try.
TEST_F(RecoveryTest, EscapeDuringTheRestoreOfALongCopyKeepsTheCopy) {
    // Long enough for the read to tell its progress.
    const std::string path = WriteLongFile("long.txt", 20);
    ASSERT_NO_FATAL_FAILURE(KillAfterACopyOf(path, "!"));
    Process p;
    ASSERT_TRUE(p.Start(m_exe, ""));
    HWND question = WaitForQuestion(p);
    ASSERT_NE(question, nullptr);
    // The answer, then Esc waiting behind it on the same thread, as a key pressed at once.
    const DWORD thread = GetWindowThreadProcessId(question, nullptr);
    PostMessageA(question, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(question, IDYES)));
    PostThreadMessageA(thread, WM_KEYDOWN, VK_ESCAPE, 0);
    HWND frame = WaitForMainFrame(p);
    ASSERT_NE(frame, nullptr);
    Settle(frame);
    Sleep(500);
    Settle(frame);
    EXPECT_EQ(FindDialog(p.Id(), false), nullptr) << "a message after the user's own cancel";
    EXPECT_TRUE(Children(frame).empty());
    EXPECT_EQ(Copies().size(), 1u);
    p.Kill();
    DeleteFileA(path.c_str());
}

// --- Copies during typing, failed writes, damaged copies -----------------------------------

namespace {

// Text of `count` numbered lines, as TypeLines types them.
std::string NumberedLine(int i) {
    char line[16];
    std::snprintf(line, sizeof line, "L%05d\n", i);
    return line;
}

} // namespace

TEST_F(RecoveryTest, AKillDuringUnbrokenTypingLosesAtMostTheLastTenSeconds) {
    Process p;
    ASSERT_TRUE(p.Start(m_exe, ""));
    HWND frame = WaitForMainFrame(p);
    ASSERT_NE(frame, nullptr);
    Command(frame, kIdFileNew);
    HWND view = WaitForActiveView(frame);
    ASSERT_NE(view, nullptr);
    // A line every 50 ms, never a pause long enough for the quiet copy: only the copies taken
    // during typing protect the text. The kill comes at a moment that differs from run to run.
    const DWORD killAfter = 10500 + GetTickCount() % 2000;
    std::vector<DWORD> typedAt;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < killAfter) {
        TypeText(view, NumberedLine(static_cast<int>(typedAt.size())));
        typedAt.push_back(GetTickCount() - start);
        Sleep(50);
    }
    p.Kill();
    const DWORD killedAt = GetTickCount() - start;
    ASSERT_EQ(Copies().size(), 1u) << "no copy after " << killedAt << " ms of typing";

    Process q;
    ASSERT_TRUE(q.Start(m_exe, ""));
    HWND question = WaitForQuestion(q);
    ASSERT_NE(question, nullptr);
    Click(question, IDYES);
    frame = WaitForMainFrame(q);
    ASSERT_NE(frame, nullptr);
    HWND child = nullptr;
    ASSERT_TRUE(
        WaitFor([&] { return (child = ChildTitled(frame, "未命名文档1 *")) != nullptr; }, 10000));
    const std::string restored = DocumentText(frame, child);
    // Every line typed more than ten seconds before the kill is there, whole and in order.
    int kept = 0;
    std::string expected;
    for (size_t i = 0; i < typedAt.size(); ++i) {
        std::string line = NumberedLine(static_cast<int>(i));
        line.insert(line.size() - 1, "\r");
        if (restored.compare(expected.size(), line.size(), line) != 0)
            break;
        expected += line;
        ++kept;
    }
    const DWORD lostFrom = kept < static_cast<int>(typedAt.size()) ? typedAt[kept] : killedAt;
    std::printf("[ figure ] killed after %lu ms of typing: %d of %zu lines restored, the first "
                "lost typed %lu ms before the kill\n",
                static_cast<unsigned long>(killedAt), kept, typedAt.size(),
                static_cast<unsigned long>(killedAt - lostFrom));
    EXPECT_LE(killedAt - lostFrom, 10000u) << "lost more than the last ten seconds";
    EXPECT_GT(kept, 0);
    q.Kill();
}

TEST_F(RecoveryTest, AWriteThatFailsIsTakenAgainWithoutAFurtherEdit) {
    const std::string path = WriteFile("retry.txt", "base\r\n");
    Process p;
    ASSERT_TRUE(p.Start(m_exe, "\"" + path + "\""));
    HWND frame = WaitForMainFrame(p);
    ASSERT_NE(frame, nullptr);
    HWND view = WaitForActiveView(frame);
    ASSERT_NE(view, nullptr);
    TypeText(view, "first ");
    ASSERT_TRUE(WaitForCopies(1));
    const std::string copy = Copies().front();
    ASSERT_NE(ReadBytes(copy).find("first base"), std::string::npos);
    // Held open without leave to delete: the next copy cannot replace this one.
    HANDLE held = CreateFileA(copy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    TypeText(view, "second ");
    Sleep(7000); // the quiet copy is due and fails
    EXPECT_EQ(ReadBytes(copy).find("first second base"), std::string::npos)
        << "the held copy was replaced after all: the test proves nothing here";
    CloseHandle(held);
    // No further edit: the failed write is tried again on its own.
    EXPECT_TRUE(WaitFor(
        [&] { return ReadBytes(copy).find("first second base") != std::string::npos; }, 15000))
        << "the edit made while the write failed is in no copy";
    p.Kill();
}

TEST_F(RecoveryTest, ADamagedCopyIsNeverOfferedAndIsRemoved) {
    {
        Process p;
        ASSERT_TRUE(p.Start(m_exe, ""));
        HWND frame = WaitForMainFrame(p);
        ASSERT_NE(frame, nullptr);
        for (const char* text : {"sound one", "damaged one"}) {
            Command(frame, kIdFileNew);
            ASSERT_TRUE(WaitFor([&] { return ViewOf(ActiveChild(frame)) != nullptr; }, 10000));
            Settle(frame);
            TypeText(ViewOf(ActiveChild(frame)), text);
        }
        ASSERT_TRUE(WaitForCopies(2));
        p.Kill();
    }
    // One byte of one copy's text changed, as a bad sector or a stray write would: its info
    // still reads, its text does not.
    std::string damaged;
    for (const std::string& copy : Copies()) {
        std::string bytes = ReadBytes(copy);
        const size_t at = bytes.find("damaged one");
        if (at == std::string::npos)
            continue;
        bytes[at] = 'D';
        std::ofstream(copy, std::ios::binary | std::ios::trunc) << bytes;
        damaged = copy;
    }
    ASSERT_FALSE(damaged.empty());
    FxRecoveryInfo info;
    ASSERT_TRUE(ReadRecoveryInfo(damaged, info));

    Process q;
    ASSERT_TRUE(q.Start(m_exe, ""));
    HWND question = WaitForQuestion(q);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(ListItems(question).size(), 1u) << "the damaged copy was offered";
    EXPECT_EQ(GetFileAttributesA(damaged.c_str()), INVALID_FILE_ATTRIBUTES)
        << "the damaged copy was left behind";
    Click(question, IDNO);
    q.Kill();
}

// --- The end of the Windows session --------------------------------------------------------

namespace {

// Sends WM_QUERYENDSESSION on a thread of its own, so that the test can answer the questions
// it raises; Result waits for the program's answer.
class SessionQuery {
public:
    SessionQuery(HWND frame, LPARAM flags) : m_frame(frame), m_flags(flags) {
        m_thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
    ~SessionQuery() {
        WaitForSingleObject(m_thread, 30000);
        CloseHandle(m_thread);
    }
    SessionQuery(const SessionQuery&) = delete;
    SessionQuery& operator=(const SessionQuery&) = delete;
    // TRUE: the session may end; FALSE: refused; -1: no answer in time.
    LRESULT Result() {
        if (WaitForSingleObject(m_thread, 30000) != WAIT_OBJECT_0)
            return -1;
        return m_answered ? static_cast<LRESULT>(m_result) : -1;
    }

private:
    static DWORD WINAPI Run(LPVOID self) {
        SessionQuery* q = static_cast<SessionQuery*>(self);
        q->m_answered = SendMessageTimeoutA(q->m_frame, WM_QUERYENDSESSION, 0, q->m_flags,
                                            SMTO_NORMAL, 25000, &q->m_result) != 0;
        return 0;
    }
    HWND m_frame;
    LPARAM m_flags;
    HANDLE m_thread = nullptr;
    DWORD_PTR m_result = 0;
    bool m_answered = false;
};

} // namespace

TEST_F(RecoveryTest, TheEndOfTheSessionAsksAsAnExitDoesAndWritesTheSettings) {
    const std::string path = WriteFile("session.txt", "text\r\n");
    const std::string ini = m_dir + "\\SETTINGS.INI";
    Process p;
    ASSERT_TRUE(p.Start(m_exe, "\"" + path + "\""));
    HWND frame = WaitForMainFrame(p);
    ASSERT_NE(frame, nullptr);
    HWND view = WaitForActiveView(frame);
    ASSERT_NE(view, nullptr);
    TypeText(view, "edited ");
    {
        // Cancel keeps the session, and the document, as they were.
        SessionQuery query(frame, static_cast<LPARAM>(ENDSESSION_LOGOFF));
        HWND ask = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (ask = FindDialog(p.Id(), false)) != nullptr; }, 10000))
            << "log-off asked nothing";
        PostMessageA(ask, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(query.Result(), FALSE);
    }
    Send(frame, WM_ENDSESSION, FALSE, 0);
    EXPECT_FALSE(p.WaitExit(0));
    EXPECT_EQ(ReadBytes(path), "text\r\n");
    {
        SessionQuery query(frame, static_cast<LPARAM>(ENDSESSION_LOGOFF));
        HWND ask = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (ask = FindDialog(p.Id(), false)) != nullptr; }, 10000));
        PostMessageA(ask, WM_COMMAND, IDYES, 0);
        EXPECT_EQ(query.Result(), TRUE);
    }
    EXPECT_EQ(ReadBytes(path), "edited text\r\n");
    DeleteFileA(ini.c_str());
    Send(frame, WM_ENDSESSION, TRUE, static_cast<LPARAM>(ENDSESSION_LOGOFF));
    // The process is ended after that answer, as the system ends it: what the program keeps
    // between runs is on disk already.
    p.Kill();
    char bars[64] = "";
    GetPrivateProfileStringA("ControlBars", nullptr, "", bars, sizeof bars, ini.c_str());
    EXPECT_NE(bars[0], '\0') << "the bar layout was not written";
    EXPECT_TRUE(Copies().empty());
}

TEST_F(RecoveryTest, AnEndWithNoTimeToAskLeavesFreshCopies) {
    const std::string path = WriteFile("critical.txt", "text\r\n");
    {
        Process p;
        ASSERT_TRUE(p.Start(m_exe, "\"" + path + "\""));
        HWND frame = WaitForMainFrame(p);
        ASSERT_NE(frame, nullptr);
        HWND view = WaitForActiveView(frame);
        ASSERT_NE(view, nullptr);
        TypeText(view, "at once ");
        // Straight after the edit, long before a copy is due.
        SessionQuery query(frame, static_cast<LPARAM>(ENDSESSION_CRITICAL));
        EXPECT_EQ(query.Result(), TRUE);
        EXPECT_EQ(FindDialog(p.Id(), false), nullptr) << "a critical end asked a question";
        ASSERT_EQ(Copies().size(), 1u) << "no copy was written before the answer";
        EXPECT_NE(ReadBytes(Copies().front()).find("at once text"), std::string::npos);
        Send(frame, WM_ENDSESSION, TRUE, static_cast<LPARAM>(ENDSESSION_CRITICAL));
        EXPECT_EQ(Copies().size(), 1u);
        p.Kill();
    }
    EXPECT_EQ(ReadBytes(path), "text\r\n");
    Process q;
    ASSERT_TRUE(q.Start(m_exe, ""));
    HWND question = WaitForQuestion(q);
    ASSERT_NE(question, nullptr) << "the copy was not offered at the next start";
    Click(question, IDNO);
    q.Kill();
}
