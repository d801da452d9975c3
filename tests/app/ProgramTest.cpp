// The editor as a program: a copy of Quorvane.exe in a fresh folder (so that its settings are
// the defaults: one instance) is started as real processes and driven through its windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const UINT kIdFileNew = 57600;
const UINT kIdAppExit = 57665;
const DWORD kStartTimeoutMs = 30000;

// A started process; closes its handles.
class Process {
public:
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process() {
        if (m_pi.hProcess) {
            if (WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(m_pi.hProcess, 1);
            CloseHandle(m_pi.hProcess);
            CloseHandle(m_pi.hThread);
        }
    }
    bool Start(const std::string& exe, const std::string& args) {
        std::string cmd = "\"" + exe + "\"" + (args.empty() ? "" : " " + args);
        std::vector<char> line(cmd.begin(), cmd.end());
        line.push_back('\0');
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        return CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &si, &m_pi) != FALSE;
    }
    bool WaitExit(DWORD ms) const { return WaitForSingleObject(m_pi.hProcess, ms) == 0; }
    DWORD Id() const { return m_pi.dwProcessId; }

private:
    PROCESS_INFORMATION m_pi = {};
};

std::string TextOf(HWND wnd) {
    char text[512] = "";
    GetWindowTextA(wnd, text, sizeof text);
    return text;
}

struct FrameSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindFrameProc(HWND wnd, LPARAM lp) {
    FrameSearch* s = reinterpret_cast<FrameSearch*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(wnd, &owner);
    if (owner == s->pid && IsWindowVisible(wnd) &&
        FindWindowExA(wnd, nullptr, "MDIClient", nullptr)) {
        s->found = wnd;
        return FALSE;
    }
    return TRUE;
}

// The process's visible top-level window that holds an MDI client.
HWND FindMainFrame(DWORD pid) {
    FrameSearch search = {pid, nullptr};
    EnumWindows(FindFrameProc, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<std::string> ChildTitles(HWND frame) {
    std::vector<std::string> titles;
    HWND client = FindWindowExA(frame, nullptr, "MDIClient", nullptr);
    for (HWND c = client ? GetWindow(client, GW_CHILD) : nullptr; c; c = GetWindow(c, GW_HWNDNEXT))
        if (GetWindow(c, GW_OWNER) == nullptr) // not an icon title
            titles.push_back(TextOf(c));
    return titles;
}

bool HasChildTitled(HWND frame, const std::string& part) {
    for (const std::string& t : ChildTitles(frame))
        if (t.find(part) != std::string::npos)
            return true;
    return false;
}

template <class Pred> bool WaitFor(Pred pred, DWORD ms) {
    DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start > ms)
            return false;
        Sleep(100);
    }
    return true;
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        char exe[MAX_PATH];
        GetModuleFileNameA(nullptr, exe, sizeof exe);
        std::string dir = exe;
        dir = dir.substr(0, dir.rfind('\\') + 1);
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        char folder[MAX_PATH];
        std::snprintf(folder, sizeof folder, "%sqvapp%lu_%lu", temp,
                      static_cast<unsigned long>(GetCurrentProcessId()),
                      static_cast<unsigned long>(GetTickCount()));
        ASSERT_TRUE(CreateDirectoryA(folder, nullptr));
        m_dir = folder;
        m_exe = m_dir + "\\Quorvane.exe";
        ASSERT_TRUE(CopyFileA((dir + "Quorvane.exe").c_str(), m_exe.c_str(), FALSE))
            << "Quorvane.exe beside the test";
    }
    void TearDown() override {
        // The program leaves its INI files and folders; remove what is there.
        RemoveTree(m_dir);
    }
    static void RemoveTree(const std::string& dir) {
        if (dir.empty())
            return;
        WIN32_FIND_DATAA fd;
        HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &fd);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                std::string name = fd.cFileName;
                if (name == "." || name == "..")
                    continue;
                std::string path = dir + "\\" + name;
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(path);
                else
                    DeleteFileA(path.c_str());
            } while (FindNextFileA(find, &fd));
            FindClose(find);
        }
        RemoveDirectoryA(dir.c_str());
    }
    std::string WriteFile(const char* name, const char* text) {
        std::string path = m_dir + "\\" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    HWND WaitForMainFrame(const Process& p) {
        HWND frame = nullptr;
        WaitFor([&] { return (frame = FindMainFrame(p.Id())) != nullptr; }, kStartTimeoutMs);
        return frame;
    }

    std::string m_dir;
    std::string m_exe;
};

} // namespace

TEST_F(ProgramTest, SecondStartHandsItsFileToTheFirstInstance) {
    std::string first = WriteFile("first.txt", "one\r\n");
    std::string second = WriteFile("second.txt", "two\r\n");

    Process a;
    ASSERT_TRUE(a.Start(m_exe, "\"" + first + "\""));
    HWND frame = WaitForMainFrame(a);
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitFor([&] { return HasChildTitled(frame, "first.txt"); }, kStartTimeoutMs));

    Process b;
    ASSERT_TRUE(b.Start(m_exe, "\"" + second + "\""));
    EXPECT_TRUE(b.WaitExit(kStartTimeoutMs)) << "the second instance did not end";
    EXPECT_EQ(FindMainFrame(b.Id()), nullptr);
    EXPECT_TRUE(WaitFor([&] { return HasChildTitled(frame, "second.txt"); }, 10000));
    std::vector<std::string> titles = ChildTitles(frame);
    EXPECT_EQ(titles.size(), 2u);

    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_TRUE(a.WaitExit(10000)) << "the first instance did not close";
}

// Menus live in their process under Wine, so the menu swap is checked in-process (MenuTest).
TEST_F(ProgramTest, FileNewOpensAnUntitledChildAndFileExitEnds) {
    Process p;
    ASSERT_TRUE(p.Start(m_exe, ""));
    HWND frame = WaitForMainFrame(p);
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(ChildTitles(frame).empty());

    PostMessageA(frame, WM_COMMAND, kIdFileNew, 0);
    EXPECT_TRUE(WaitFor([&] { return HasChildTitled(frame, "未命名文档1"); }, 10000));

    // The untitled document is unmodified: no question.
    PostMessageA(frame, WM_COMMAND, kIdAppExit, 0);
    EXPECT_TRUE(p.WaitExit(10000)) << "File > Exit did not end the program";
}

namespace {

const UINT kIdFileSave = 57603;
const int kPaneFirst = 0xE900; // the splitter, and its first pane inside it
const int kStatusBarId = 0xE801;
const char kReadOnlyNotice[] = "只读文档不能修改";

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

HWND ActiveChild(HWND frame) {
    HWND client = FindWindowExA(frame, nullptr, "MDIClient", nullptr);
    return client ? reinterpret_cast<HWND>(SendMessageA(client, WM_MDIGETACTIVE, 0, 0)) : nullptr;
}

// The first text view of the active document frame.
HWND ActiveView(HWND frame) {
    HWND child = ActiveChild(frame);
    HWND splitter = child ? GetDlgItem(child, kPaneFirst) : nullptr;
    return splitter ? GetDlgItem(splitter, kPaneFirst) : nullptr;
}

struct DialogSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindDialogProc(HWND wnd, LPARAM lp) {
    DialogSearch* s = reinterpret_cast<DialogSearch*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(wnd, &owner);
    char cls[32] = "";
    GetClassNameA(wnd, cls, sizeof cls);
    if (owner == s->pid && IsWindowVisible(wnd) && std::string(cls) == "#32770") {
        s->found = wnd;
        return FALSE;
    }
    return TRUE;
}

// A message box (or other dialog) of the process.
HWND FindDialog(DWORD pid) {
    DialogSearch search = {pid, nullptr};
    EnumWindows(FindDialogProc, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string DialogText(HWND dialog) {
    std::string all;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        all += TextOf(c) + "|";
    return all;
}

} // namespace

TEST_F(ProgramTest, OpensAGbkFileTypesMarksTheTitleAndSavesTheBytes) {
    std::string path = WriteFile("gbk.txt", "中文\r\n第二行\r\n");
    Process p;
    ASSERT_TRUE(p.Start(m_exe, "\"" + path + "\""));
    HWND frame = WaitForMainFrame(p);
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitFor([&] { return HasChildTitled(frame, "gbk.txt"); }, kStartTimeoutMs));
    HWND view = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (view = ActiveView(frame)) != nullptr; }, 10000));
    // New document frames open maximised.
    EXPECT_TRUE(IsZoomed(ActiveChild(frame)));

    PostMessageA(view, WM_CHAR, 'x', 1);
    EXPECT_TRUE(WaitFor([&] { return HasChildTitled(frame, "gbk.txt *"); }, 10000))
        << "the title has no modified marker";
    EXPECT_NE(TextOf(frame).find(" *"), std::string::npos) << TextOf(frame);

    PostMessageA(frame, WM_COMMAND, kIdFileSave, 0);
    EXPECT_TRUE(WaitFor([&] { return !HasChildTitled(frame, " *"); }, 10000));
    EXPECT_TRUE(WaitFor([&] { return ReadBytes(path) == "x中文\r\n第二行\r\n"; }, 10000))
        << ReadBytes(path);
    // The status panes describe the document: DOS line ends, ANSI.
    HWND status = GetDlgItem(frame, kStatusBarId);
    ASSERT_NE(status, nullptr);

    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_TRUE(p.WaitExit(10000)) << "closing an unmodified session asked something";
}

TEST_F(ProgramTest, AReadOnlyFileRefusesTypingWithTheStatusNotice) {
    std::string path = WriteFile("locked.txt", "keep\r\n");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    Process p;
    ASSERT_TRUE(p.Start(m_exe, "\"" + path + "\""));
    HWND frame = WaitForMainFrame(p);
    ASSERT_NE(frame, nullptr);
    HWND view = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (view = ActiveView(frame)) != nullptr; }, kStartTimeoutMs));
    HWND status = GetDlgItem(frame, kStatusBarId);
    ASSERT_NE(status, nullptr);

    PostMessageA(view, WM_CHAR, 'x', 1);
    EXPECT_TRUE(WaitFor([&] { return TextOf(status) == kReadOnlyNotice; }, 10000))
        << TextOf(status);
    EXPECT_FALSE(HasChildTitled(frame, " *"));
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_TRUE(p.WaitExit(10000));
    EXPECT_EQ(ReadBytes(path), "keep\r\n");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ProgramTest, AFileChangedByAnotherProgramIsOfferedForReloading) {
    std::string path = WriteFile("outside.txt", "old\r\n");
    Process p;
    ASSERT_TRUE(p.Start(m_exe, "\"" + path + "\""));
    HWND frame = WaitForMainFrame(p);
    ASSERT_NE(frame, nullptr);
    HWND view = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (view = ActiveView(frame)) != nullptr; }, kStartTimeoutMs));
    Sleep(1100); // a later last-write time
    WriteFile("outside.txt", "new text\r\n");

    // The monitor works in idle time: keep the program's queue moving.
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] {
            PostMessageA(frame, WM_NULL, 0, 0);
            return (dialog = FindDialog(p.Id())) != nullptr;
        },
        15000))
        << "no question";
    EXPECT_NE(DialogText(dialog).find("文件已经被修改，是否重新载入该文件？"), std::string::npos)
        << DialogText(dialog);
    PostMessageA(dialog, WM_COMMAND, IDYES, 0);
    EXPECT_TRUE(WaitFor([&] { return FindDialog(p.Id()) == nullptr; }, 10000));

    // The reloaded text is what gets saved after an edit.
    PostMessageA(view, WM_CHAR, 'z', 1);
    ASSERT_TRUE(WaitFor([&] { return HasChildTitled(frame, " *"); }, 10000));
    PostMessageA(frame, WM_COMMAND, kIdFileSave, 0);
    EXPECT_TRUE(WaitFor([&] { return ReadBytes(path) == "znew text\r\n"; }, 10000))
        << ReadBytes(path);
    // Our own save is not reported as a change.
    for (int i = 0; i < 10; ++i) {
        PostMessageA(frame, WM_NULL, 0, 0);
        Sleep(100);
    }
    EXPECT_EQ(FindDialog(p.Id()), nullptr);
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_TRUE(p.WaitExit(10000));
}

TEST_F(ProgramTest, TheNextStartReopensTheDocumentsOfTheLastSession) {
    std::string a = WriteFile("one.txt", "1\r\n");
    std::string b = WriteFile("two.txt", "2\r\n");
    {
        Process p;
        ASSERT_TRUE(p.Start(m_exe, "\"" + a + "\""));
        HWND frame = WaitForMainFrame(p);
        ASSERT_NE(frame, nullptr);
        ASSERT_TRUE(WaitFor([&] { return HasChildTitled(frame, "one.txt"); }, kStartTimeoutMs));
        Process second;
        ASSERT_TRUE(second.Start(m_exe, "\"" + b + "\""));
        EXPECT_TRUE(second.WaitExit(kStartTimeoutMs));
        ASSERT_TRUE(WaitFor([&] { return HasChildTitled(frame, "two.txt"); }, 10000));
        PostMessageA(frame, WM_CLOSE, 0, 0);
        ASSERT_TRUE(p.WaitExit(10000));
    }
    Process p;
    ASSERT_TRUE(p.Start(m_exe, ""));
    HWND frame = WaitForMainFrame(p);
    ASSERT_NE(frame, nullptr);
    // A child frame exists a moment before its document names it: wait for both titles.
    EXPECT_TRUE(WaitFor(
        [&] {
            return ChildTitles(frame).size() == 2 && HasChildTitled(frame, "one.txt") &&
                   HasChildTitled(frame, "two.txt");
        },
        kStartTimeoutMs));
    EXPECT_TRUE(HasChildTitled(frame, "one.txt"));
    std::string titles;
    for (const std::string& t : ChildTitles(frame))
        titles += t + "|";
    EXPECT_TRUE(HasChildTitled(frame, "two.txt")) << titles;
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_TRUE(p.WaitExit(10000));
}
