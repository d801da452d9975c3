// The editor as a program: a copy of Quorvane.exe in a fresh folder (so that its settings are
// the defaults: one instance) is started as real processes and driven through its windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <fstream>
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
