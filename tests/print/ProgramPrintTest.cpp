// Printing from outside the editor: Quorvane.exe started with /p or /pt prints and ends without
// a window; with an editor already running, a second start hands "[print(...)]" or
// "[printto(...)]" to it over DDE and the running editor prints. A copy of the program in a
// fresh folder (default settings: one instance) is run as real processes; the PDF printer's
// output is read back. Layer: tests of print/.
#include "tests/WinTestSupport.h"
#include "tests/print/PrintTestUtil.h"

#include "common/PathName.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

using namespace printtest;

namespace {

const DWORD kTimeoutMs = 30000;

std::string BinFile(const char* name) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    return FxPathWithSeparator(FxPathFolder(exe)) + name;
}

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
        std::string cmd = "\"" + exe + "\" " + args;
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

struct WindowSearch {
    DWORD pid;
    bool dialog; // a message box (#32770) rather than the main frame
    HWND found;
};

BOOL CALLBACK FindProc(HWND wnd, LPARAM lp) {
    auto* s = reinterpret_cast<WindowSearch*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(wnd, &owner);
    if (owner != s->pid || !IsWindowVisible(wnd))
        return TRUE;
    char cls[32] = "";
    GetClassNameA(wnd, cls, sizeof cls);
    const bool isDialog = std::string(cls) == "#32770";
    if (s->dialog ? isDialog : FindWindowExA(wnd, nullptr, "MDIClient", nullptr) != nullptr) {
        s->found = wnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindShown(DWORD pid, bool dialog) {
    WindowSearch s{pid, dialog, nullptr};
    EnumWindows(FindProc, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

template <class Pred> bool WaitFor(Pred pred, DWORD ms) {
    const DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start > ms)
            return false;
        Sleep(50);
    }
    return true;
}

// Document windows of a main frame.
int ChildCount(HWND frame) {
    int n = 0;
    HWND client = FindWindowExA(frame, nullptr, "MDIClient", nullptr);
    for (HWND c = client ? GetWindow(client, GW_CHILD) : nullptr; c; c = GetWindow(c, GW_HWNDNEXT))
        if (!GetWindow(c, GW_OWNER))
            ++n;
    return n;
}

// The text of a message box: its static controls joined.
std::string BoxText(HWND box) {
    std::string text;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[32] = "", buf[512] = "";
        GetClassNameA(c, cls, sizeof cls);
        if (lstrcmpiA(cls, "Static") == 0) {
            GetWindowTextA(c, buf, sizeof buf);
            text += buf;
        }
    }
    return text;
}

class ProgramPrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (PdfDir().empty())
            GTEST_SKIP() << "no PDF printer";
        m_exe = m_dir.Path("Quorvane.exe");
        ASSERT_TRUE(CopyFileA(BinFile("Quorvane.exe").c_str(), m_exe.c_str(), FALSE));
        // Body only: the stored header and footer of a fresh program are long examples.
        WriteWholeFile(m_dir.Path("SETTINGS.INI"), "[Printing]\r\nHeader=&f\r\nFooter=empty\r\n");
        m_exe2 = m_alone.Path("Quorvane.exe");
        ASSERT_TRUE(CopyFileA(m_exe.c_str(), m_exe2.c_str(), FALSE));
        // This copy never hands its command to another editor that may be running.
        WriteWholeFile(m_alone.Path("SETTINGS.INI"), "[Settings]\r\nAllowMultipleInstances=1\r\n"
                                                     "[Printing]\r\nHeader=&f\r\nFooter=empty\r\n");
        // A copy elsewhere whose own printing would show another header: its commands must
        // reach the running editor instead.
        m_exe3 = m_other.Path("Quorvane.exe");
        ASSERT_TRUE(CopyFileA(m_exe.c_str(), m_exe3.c_str(), FALSE));
        WriteWholeFile(m_other.Path("SETTINGS.INI"), "[Printing]\r\nHeader=NOT HANDED OVER\r\n");
        m_file = m_dir.Path("letter.txt");
        WriteWholeFile(m_file, "Dear reader,\r\n\xC4\xFA\xBA\xC3\r\nThe end.\r\n"); // 您好
        ClearPdfs();
    }
    void TearDown() override {
        // The program may leave folders of its own beside it.
        RemoveSubfolders(m_dir.Path(""));
        RemoveSubfolders(m_alone.Path(""));
        RemoveSubfolders(m_other.Path(""));
        m_dir.Remove();
        m_alone.Remove();
        m_other.Remove();
    }
    static void RemoveSubfolders(const std::string& dir) {
        WIN32_FIND_DATAA fd;
        HANDLE find = FindFirstFileA((dir + "*").c_str(), &fd);
        if (find == INVALID_HANDLE_VALUE)
            return;
        do {
            const std::string name = fd.cFileName;
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == "." || name == "..")
                continue;
            const std::string sub = dir + name + "\\";
            RemoveSubfolders(sub);
            WIN32_FIND_DATAA f2;
            HANDLE files = FindFirstFileA((sub + "*").c_str(), &f2);
            if (files != INVALID_HANDLE_VALUE) {
                do
                    DeleteFileA((sub + f2.cFileName).c_str());
                while (FindNextFileA(files, &f2));
                FindClose(files);
            }
            RemoveDirectoryA(sub.c_str());
        } while (FindNextFileA(find, &fd));
        FindClose(find);
    }
    void ExpectLetterPrinted(const char* paper) {
        const std::string text = PrintedText();
        EXPECT_NE(text.find("letter.txt"), std::string::npos) << text;
        EXPECT_EQ(text.find("NOT HANDED OVER"), std::string::npos) << text;
        EXPECT_NE(text.find("Dear reader,"), std::string::npos) << text;
        EXPECT_NE(text.find("\xC4\xFA\xBA\xC3"), std::string::npos) << text;
        EXPECT_NE(text.find("The end."), std::string::npos) << text;
        EXPECT_EQ(PrintedPages(), 1);
        EXPECT_NE(PdfInfoLine("Page size:").find(paper), std::string::npos)
            << PdfInfoLine("Page size:");
    }
    TempFolder m_dir{"qvprintprog"}, m_alone{"qvprintalone"}, m_other{"qvprintother"};
    std::string m_exe, m_exe2, m_exe3, m_file;
};

const char kA4[] = "595 x 842", kLetter[] = "612 x 792";

} // namespace

TEST_F(ProgramPrintTest, SlashPPrintsTheFileAndEnds) {
    Process p;
    ASSERT_TRUE(p.Start(m_exe2, "/p \"" + m_file + "\""));
    ASSERT_TRUE(p.WaitExit(kTimeoutMs)) << "the program did not end after printing";
    ExpectLetterPrinted(kA4);
}

TEST_F(ProgramPrintTest, SlashPtPrintsOnTheNamedPrinter) {
    Process p;
    ASSERT_TRUE(p.Start(m_exe2, "/pt \"" + m_file + "\" QVPDF2 wineps.drv CUPS:QVPDF2"));
    ASSERT_TRUE(p.WaitExit(kTimeoutMs)) << "the program did not end after printing";
    ExpectLetterPrinted(kLetter);
}

TEST_F(ProgramPrintTest, SlashPtToAPrinterThatDoesNotExistSaysSo) {
    Process p;
    ASSERT_TRUE(p.Start(m_exe2, "/pt \"" + m_file + "\" NOSUCHPRINTER wineps.drv CUPS:NOSUCH"));
    HWND box = nullptr;
    ASSERT_TRUE(
        WaitFor([&] { return (box = FindShown(p.Id(), true)) || p.WaitExit(0); }, kTimeoutMs));
    ASSERT_NE(box, nullptr) << "the program ended without a word";
    EXPECT_EQ(BoxText(box),
              "\xC3\xBB\xD3\xD0\xBF\xC9\xD3\xC3\xB5\xC4\xB4\xF2\xD3\xA1\xBB\xFA\xA1\xA3");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(p.WaitExit(kTimeoutMs));
    // Nothing reached a printer.
    RunUnix("sleep 0.5; ls '" + PdfDir() + "'/*.pdf > '" + PdfDir() + "'/queued.txt 2>/dev/null");
    EXPECT_EQ(ReadFile(WindowsPath(PdfDir() + "/queued.txt")), "");
}

TEST_F(ProgramPrintTest, ASecondStartPrintsThroughTheRunningEditor) {
    Process first;
    ASSERT_TRUE(first.Start(m_exe, ""));
    HWND frame = nullptr;
    ASSERT_TRUE(
        WaitFor([&] { return (frame = FindShown(first.Id(), false)) != nullptr; }, kTimeoutMs));

    // "[print(...)]": the running editor opens, prints and closes the file.
    Process second;
    ASSERT_TRUE(second.Start(m_exe3, "/p \"" + m_file + "\""));
    EXPECT_TRUE(second.WaitExit(kTimeoutMs)) << "the second start did not end";
    ExpectLetterPrinted(kA4);
    EXPECT_EQ(ChildCount(frame), 0);

    // "[printto(...)]" with the file open already: it stays open.
    ClearPdfs();
    Process opener;
    ASSERT_TRUE(opener.Start(m_exe3, "\"" + m_file + "\""));
    EXPECT_TRUE(opener.WaitExit(kTimeoutMs));
    ASSERT_TRUE(WaitFor([&] { return ChildCount(frame) == 1; }, kTimeoutMs));
    Process third;
    ASSERT_TRUE(third.Start(m_exe3, "/pt \"" + m_file + "\" QVPDF2 wineps.drv CUPS:QVPDF2"));
    EXPECT_TRUE(third.WaitExit(kTimeoutMs)) << "the third start did not end";
    ExpectLetterPrinted(kLetter);
    EXPECT_EQ(ChildCount(frame), 1);
    EXPECT_EQ(FindShown(third.Id(), false), nullptr);

    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_TRUE(first.WaitExit(kTimeoutMs));
}

TEST_F(ProgramPrintTest, SlashPOfAMissingFileSaysSoAndEnds) {
    Process p;
    const std::string missing = m_dir.Path("missing.txt");
    ASSERT_TRUE(p.Start(m_exe2, "/p \"" + missing + "\""));
    HWND box = nullptr;
    ASSERT_TRUE(
        WaitFor([&] { return (box = FindShown(p.Id(), true)) || p.WaitExit(0); }, kTimeoutMs));
    ASSERT_NE(box, nullptr) << "the program ended without a word";
    EXPECT_NE(BoxText(box).find("missing.txt"), std::string::npos) << BoxText(box);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(p.WaitExit(kTimeoutMs));
    EXPECT_EQ(FindShown(p.Id(), false), nullptr);
    RunUnix("sleep 0.5; ls '" + PdfDir() + "'/*.pdf > '" + PdfDir() + "'/queued.txt 2>/dev/null");
    EXPECT_EQ(ReadFile(WindowsPath(PdfDir() + "/queued.txt")), "");
}
