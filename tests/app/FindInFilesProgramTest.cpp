// Find and replace in files through the real program: a copy of Quorvane.exe is started in a
// fresh folder, its "在文件中替换" dialog is filled and confirmed through its windows, and the
// files of a folder change on disk; the dialog's enabling, its full form and its folder check
// are seen from outside as a user sees them.
// Literals are code page 936 (the test is compiled with a GBK execution character set).
#include "app/FindFilesIds.h"
#include "common/PathName.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const UINT kReplaceInFiles = 35425;
const UINT kFindInFiles = 35424;
const UINT kAppExit = 57665;

template <class Pred> bool WaitUntil(Pred pred, DWORD ms) {
    const DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start > ms)
            return false;
        Sleep(50);
    }
    return true;
}

std::string TextOf(HWND wnd) {
    char text[1024] = "";
    GetWindowTextA(wnd, text, sizeof text);
    return text;
}

struct Search {
    DWORD pid;
    std::string title;
    bool dialogsOnly;
    HWND found;
};

BOOL CALLBACK FindTopProc(HWND wnd, LPARAM lp) {
    Search* s = reinterpret_cast<Search*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(wnd, &owner);
    if (owner != s->pid || !IsWindowVisible(wnd))
        return TRUE;
    char cls[32] = "";
    GetClassNameA(wnd, cls, sizeof cls);
    const bool isDialog = std::string(cls) == "#32770";
    if (s->dialogsOnly ? isDialog && (s->title.empty() || TextOf(wnd) == s->title)
                       : FindWindowExA(wnd, nullptr, "MDIClient", nullptr) != nullptr) {
        s->found = wnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindTop(DWORD pid, bool dialog, const std::string& title = "") {
    Search s{pid, title, dialog, nullptr};
    EnumWindows(FindTopProc, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// The text of a message box (its static control).
std::string MessageText(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    return text ? TextOf(text) : std::string();
}

void SetBox(HWND dlg, int id, const std::string& text) {
    SetDlgItemTextA(dlg, id, text.c_str());
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, CBN_EDITCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class FindInFilesProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        char exe[MAX_PATH];
        GetModuleFileNameA(nullptr, exe, sizeof exe);
        std::string dir = exe;
        dir = FxPathWithSeparator(FxPathFolder(dir));
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        char folder[MAX_PATH];
        std::snprintf(folder, sizeof folder, "%sqvfifapp%lu_%lu", temp,
                      static_cast<unsigned long>(GetCurrentProcessId()),
                      static_cast<unsigned long>(GetTickCount()));
        ASSERT_TRUE(CreateDirectoryA(folder, nullptr));
        m_dir = folder;
        m_exe = m_dir + "\\Quorvane.exe";
        ASSERT_TRUE(CopyFileA((dir + "Quorvane.exe").c_str(), m_exe.c_str(), FALSE));
        m_data = m_dir + "\\数据";
        ASSERT_TRUE(CreateDirectoryA(m_data.c_str(), nullptr));
    }
    void TearDown() override {
        if (m_pi.hProcess) {
            if (WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(m_pi.hProcess, 1);
            CloseHandle(m_pi.hProcess);
            CloseHandle(m_pi.hThread);
        }
        RemoveTree(m_dir);
    }
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
    void Write(const std::string& name, const std::string& text) {
        std::ofstream(m_data + "\\" + name, std::ios::binary) << text;
    }
    HWND Start() {
        std::string cmd = "\"" + m_exe + "\"";
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        if (!CreateProcessA(m_exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr,
                            m_dir.c_str(), &si, &m_pi))
            return nullptr;
        HWND frame = nullptr;
        WaitUntil([&] { return (frame = FindTop(m_pi.dwProcessId, false)) != nullptr; }, 30000);
        return frame;
    }
    HWND WaitDialog(const std::string& title) {
        HWND dlg = nullptr;
        WaitUntil([&] { return (dlg = FindTop(m_pi.dwProcessId, true, title)) != nullptr; }, 10000);
        return dlg;
    }
    // A message box other than the given dialog.
    HWND WaitMessageBox(HWND except) {
        HWND box = nullptr;
        WaitUntil(
            [&] {
                box = FindTop(m_pi.dwProcessId, true);
                return box && box != except && !MessageText(box).empty();
            },
            10000);
        return box;
    }

    std::string m_dir, m_exe, m_data;
    PROCESS_INFORMATION m_pi = {};
};

} // namespace

TEST_F(FindInFilesProgramTest, ReplaceThroughTheDialogChangesTheFilesOnDisk) {
    Write("a.txt", "old needle\r\n第二行 needle\r\n");
    Write("b.c", "needle");
    HWND frame = Start();
    ASSERT_NE(frame, nullptr);

    PostMessageA(frame, WM_COMMAND, kReplaceInFiles, 0);
    HWND dlg = WaitDialog("在文件中替换");
    ASSERT_NE(dlg, nullptr);
    // All four encoding boxes start ticked; the compact form hides them.
    EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_FIF_UNICODE_BE), BST_CHECKED);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dlg, IDC_FIF_ANSI)));
    RECT compact;
    GetWindowRect(dlg, &compact);
    SendMessageA(dlg, WM_COMMAND, IDC_FIF_ADVANCED, 0);
    RECT full;
    GetWindowRect(dlg, &full);
    EXPECT_GT(full.bottom - full.top, compact.bottom - compact.top);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dlg, IDC_FIF_ANSI)));

    // OK needs a find text, a folder, filters and an encoding.
    SetBox(dlg, IDC_FIF_WHAT, "needle");
    SetBox(dlg, IDC_FIF_WITH, "针");
    SetBox(dlg, IDC_FIF_FILTERS, " *.txt ");
    SetBox(dlg, IDC_FIF_FOLDER, "");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDOK)));
    SetBox(dlg, IDC_FIF_FOLDER, m_data + "\\nowhere");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDOK)));
    for (int id : {IDC_FIF_ANSI, IDC_FIF_UTF8, IDC_FIF_UNICODE, IDC_FIF_UNICODE_BE})
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
    for (int id : {IDC_FIF_ANSI, IDC_FIF_UTF8, IDC_FIF_UNICODE, IDC_FIF_UNICODE_BE})
        CheckDlgButton(dlg, id, BST_UNCHECKED);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_FIF_ANSI, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDC_FIF_ANSI)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDOK)));
    CheckDlgButton(dlg, IDC_FIF_ANSI, BST_CHECKED);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_FIF_ANSI, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDC_FIF_ANSI)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDOK)));

    // The warning first; then a folder that does not exist is refused and the dialog stays.
    PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    HWND box = WaitMessageBox(dlg);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageText(box), "“在文件中替换”操作将可能修改一定数量的文件，并且修改后不能撤消，"
                                "请确认是否继续？");
    PostMessageA(box, WM_COMMAND, IDYES, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
    box = WaitMessageBox(dlg);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageText(box), "“" + m_data + "\\nowhere”不是一个有效的文件夹，无法执行操作。");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
    EXPECT_TRUE(IsWindow(dlg));

    // A folder with a trailing "\" and blanks is taken.
    SetBox(dlg, IDC_FIF_FOLDER, " " + m_data + "\\ ");
    PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    box = WaitMessageBox(dlg);
    ASSERT_NE(box, nullptr);
    PostMessageA(box, WM_COMMAND, IDYES, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }, 5000));
    EXPECT_TRUE(
        WaitUntil([&] { return ReadAll(m_data + "\\a.txt") == "old 针\r\n第二行 针\r\n"; }, 10000))
        << ReadAll(m_data + "\\a.txt");
    EXPECT_EQ(ReadAll(m_data + "\\b.c"), "needle");

    // The find dialog opens with the histories just stored.
    PostMessageA(frame, WM_COMMAND, kFindInFiles, 0);
    dlg = WaitDialog("在文件中查找");
    ASSERT_NE(dlg, nullptr);
    char text[MAX_PATH] = "";
    GetDlgItemTextA(dlg, IDC_FIF_FOLDER, text, sizeof text);
    EXPECT_EQ(std::string(text), m_data + "\\");
    GetDlgItemTextA(dlg, IDC_FIF_FILTERS, text, sizeof text);
    EXPECT_EQ(std::string(text), "*.txt");
    GetDlgItemTextA(dlg, IDC_FIF_WHAT, text, sizeof text);
    EXPECT_EQ(std::string(text), "needle");
    PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }, 5000));
    char ini[MAX_PATH] = "";
    GetPrivateProfileStringA("HistorySearchPath", "00", "", ini, sizeof ini,
                             (m_dir + "\\QUORVANE.INI").c_str());
    EXPECT_EQ(std::string(ini), m_data + "\\");

    PostMessageA(frame, WM_COMMAND, kAppExit, 0);
    EXPECT_EQ(WaitForSingleObject(m_pi.hProcess, 15000), WAIT_OBJECT_0);
}

// Replacing with an empty text deletes the find text and leaves the replacement history as it
// was: the empty text takes no place in it, neither in the box's list nor in the settings.
TEST_F(FindInFilesProgramTest, AnEmptyReplacementKeepsTheReplaceHistory) {
    const std::string ini = m_dir + "\\QUORVANE.INI";
    WritePrivateProfileStringA("HistoryReplace", "00", "针", ini.c_str());
    WritePrivateProfileStringA("HistoryReplace", "01", "pin", ini.c_str());
    Write("a.txt", "old needle\r\n");
    HWND frame = Start();
    ASSERT_NE(frame, nullptr);

    PostMessageA(frame, WM_COMMAND, kReplaceInFiles, 0);
    HWND dlg = WaitDialog("在文件中替换");
    ASSERT_NE(dlg, nullptr);
    char text[MAX_PATH] = "";
    GetDlgItemTextA(dlg, IDC_FIF_WITH, text, sizeof text);
    EXPECT_EQ(std::string(text), "针");
    SetBox(dlg, IDC_FIF_WHAT, "needle");
    SetBox(dlg, IDC_FIF_WITH, "");
    SetBox(dlg, IDC_FIF_FILTERS, "*.txt");
    SetBox(dlg, IDC_FIF_FOLDER, m_data);
    PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    HWND box = WaitMessageBox(dlg);
    ASSERT_NE(box, nullptr);
    PostMessageA(box, WM_COMMAND, IDYES, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }, 5000));
    EXPECT_TRUE(WaitUntil([&] { return ReadAll(m_data + "\\a.txt") == "old \r\n"; }, 10000))
        << ReadAll(m_data + "\\a.txt");

    for (const char* key : {"00", "01"}) {
        GetPrivateProfileStringA("HistoryReplace", key, "", text, sizeof text, ini.c_str());
        EXPECT_EQ(std::string(text), key[1] == '0' ? "针" : "pin") << key;
    }
    PostMessageA(frame, WM_COMMAND, kReplaceInFiles, 0);
    dlg = WaitDialog("在文件中替换");
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(SendDlgItemMessageA(dlg, IDC_FIF_WITH, CB_GETCOUNT, 0, 0), 2);
    GetDlgItemTextA(dlg, IDC_FIF_WITH, text, sizeof text);
    EXPECT_EQ(std::string(text), "针");
    PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }, 5000));

    PostMessageA(frame, WM_COMMAND, kAppExit, 0);
    EXPECT_EQ(WaitForSingleObject(m_pi.hProcess, 15000), WAIT_OBJECT_0);
}
