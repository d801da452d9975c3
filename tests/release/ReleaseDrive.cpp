// Drives an installed or unpacked Quorvane through its windows for the release test.
//   qv_release_drive start EXE [CMD]  starts the editor, waits for its main window, runs the
//                                     command line CMD meanwhile (printing its exit code), and
//                                     closes the editor
//   qv_release_drive edit EXE FILE    starts the editor on FILE, types a line at its start,
//                                     saves it and closes the editor
//   qv_release_drive uninstall EXE yes|no
//                                     runs the uninstaller EXE through its pages as a user
//                                     would, answering its question about the user's files
// Exits with 0 when every step worked; otherwise prints what went wrong and exits with 1 (the
// editor is ended if it is still there).
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const UINT kIdFileSave = 57603;
const DWORD kStartTimeoutMs = 30000;
const DWORD kStepTimeoutMs = 15000;

// What the edit run types: a Chinese word, so that the file is saved in code page 936.
const wchar_t kTypedText[] = L"\x5B89\x88C5\x6D4B\x8BD5 release\r"; // 安装测试

template <class Pred> bool WaitFor(Pred pred, DWORD ms) {
    DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start > ms)
            return false;
        Sleep(50);
    }
    return true;
}

struct WindowSearch {
    DWORD pid;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectTopWindows(HWND wnd, LPARAM lp) {
    auto* s = reinterpret_cast<WindowSearch*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(wnd, &owner);
    if (owner == s->pid && IsWindowVisible(wnd))
        s->windows.push_back(wnd);
    return TRUE;
}

std::vector<HWND> TopWindows(DWORD pid) {
    WindowSearch s = {pid, {}};
    EnumWindows(CollectTopWindows, reinterpret_cast<LPARAM>(&s));
    return s.windows;
}

std::string TextOf(HWND wnd) {
    wchar_t text[512] = L"";
    GetWindowTextW(wnd, text, 512);
    char utf8[1536] = "";
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    return utf8;
}

// The process's visible top-level window that holds an MDI client.
HWND FindMainFrame(DWORD pid) {
    for (HWND wnd : TopWindows(pid))
        if (FindWindowExW(wnd, nullptr, L"MDIClient", nullptr))
            return wnd;
    return nullptr;
}

// Prints the process's visible top-level windows (a message box the run did not expect).
void ReportWindows(DWORD pid) {
    for (HWND wnd : TopWindows(pid)) {
        wchar_t cls[64] = L"";
        GetClassNameW(wnd, cls, 64);
        std::printf("  window \"%s\" (class %ls)\n", TextOf(wnd).c_str(), cls);
        for (HWND c = GetWindow(wnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if (IsWindowVisible(c) && !TextOf(c).empty())
                std::printf("    \"%s\"\n", TextOf(c).c_str());
    }
}

class Editor {
public:
    ~Editor() {
        if (m_pi.hProcess) {
            if (WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(m_pi.hProcess, 1);
            CloseHandle(m_pi.hProcess);
            CloseHandle(m_pi.hThread);
        }
    }
    // Starts the editor in a working folder other than its own, so that it must find its INI
    // files and folders beside itself.
    bool Start(const std::wstring& exe, const std::wstring& args) {
        std::wstring cmd = L"\"" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
        std::vector<wchar_t> line(cmd.begin(), cmd.end());
        line.push_back(L'\0');
        wchar_t temp[MAX_PATH] = L"";
        GetTempPathW(MAX_PATH, temp);
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        return CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, temp,
                              &si, &m_pi) != FALSE;
    }
    bool Ended() const { return WaitForSingleObject(m_pi.hProcess, 0) == WAIT_OBJECT_0; }
    bool WaitEnd(DWORD ms) const { return WaitForSingleObject(m_pi.hProcess, ms) == WAIT_OBJECT_0; }
    DWORD Pid() const { return m_pi.dwProcessId; }
    DWORD ExitCode() const {
        DWORD code = 0;
        GetExitCodeProcess(m_pi.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION m_pi = {};
};

int Fail(const Editor& editor, const char* what) {
    std::printf("qv_release_drive: %s\n", what);
    if (!editor.Ended())
        ReportWindows(editor.Pid());
    return 1;
}

HWND WaitForMainFrame(const Editor& editor) {
    HWND frame = nullptr;
    WaitFor([&] { return (frame = FindMainFrame(editor.Pid())) != nullptr || editor.Ended(); },
            kStartTimeoutMs);
    return frame;
}

// Closes the editor through its main window; it must end by itself.
int Close(const Editor& editor, HWND frame) {
    PostMessageW(frame, WM_CLOSE, 0, 0);
    if (!editor.WaitEnd(kStepTimeoutMs))
        return Fail(editor, "the editor did not end after its main window was closed");
    if (editor.ExitCode() != 0) {
        std::printf("qv_release_drive: the editor ended with code %lu\n",
                    static_cast<unsigned long>(editor.ExitCode()));
        return 1;
    }
    return 0;
}

LONGLONG FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Runs a command line to its end; its exit code, or -1 when it could not be started.
long RunCommand(const std::wstring& command) {
    std::vector<wchar_t> line(command.begin(), command.end());
    line.push_back(L'\0');
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return -1;
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return static_cast<long>(code);
}

int RunStart(const std::wstring& exe, const std::wstring& command) {
    Editor editor;
    if (!editor.Start(exe, L""))
        return Fail(editor, "the editor could not be started");
    HWND frame = WaitForMainFrame(editor);
    if (!frame)
        return Fail(editor, "the editor showed no main window");
    std::printf("main window: \"%s\"\n", TextOf(frame).c_str());
    if (!command.empty())
        std::printf("command ended with code %ld\n", RunCommand(command));
    return Close(editor, frame);
}

int RunEdit(const std::wstring& exe, const std::wstring& file) {
    LONGLONG before = FileSize(file);
    if (before < 0) {
        std::printf("qv_release_drive: the file to edit does not exist\n");
        return 1;
    }
    Editor editor;
    if (!editor.Start(exe, L"\"" + file + L"\""))
        return Fail(editor, "the editor could not be started");
    HWND frame = WaitForMainFrame(editor);
    if (!frame)
        return Fail(editor, "the editor showed no main window");
    HWND client = FindWindowExW(frame, nullptr, L"MDIClient", nullptr);
    HWND child = nullptr;
    if (!WaitFor(
            [&] {
                child = reinterpret_cast<HWND>(SendMessageW(client, WM_MDIGETACTIVE, 0, 0));
                return child != nullptr;
            },
            kStepTimeoutMs))
        return Fail(editor, "the editor opened no document window");
    std::printf("document window: \"%s\"\n", TextOf(child).c_str());

    // The keys go to the window that has the focus in the editor: the document's view.
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    DWORD thread = GetWindowThreadProcessId(frame, nullptr);
    if (!WaitFor(
            [&] {
                return GetGUIThreadInfo(thread, &gui) && gui.hwndFocus &&
                       IsChild(child, gui.hwndFocus);
            },
            kStepTimeoutMs))
        return Fail(editor, "no window of the document has the focus");
    // Enter arrives as its key with the character the message loop makes of it.
    for (const wchar_t* c = kTypedText; *c; ++c) {
        if (*c == L'\r')
            PostMessageW(gui.hwndFocus, WM_KEYDOWN, VK_RETURN, 0x001C0001);
        PostMessageW(gui.hwndFocus, WM_CHAR, *c, 1);
        if (*c == L'\r')
            PostMessageW(gui.hwndFocus, WM_KEYUP, VK_RETURN, 0xC01C0001);
    }

    PostMessageW(frame, WM_COMMAND, kIdFileSave, 0);
    if (!WaitFor([&] { return FileSize(file) != before; }, kStepTimeoutMs))
        return Fail(editor, "the file did not change on disk after Save");
    return Close(editor, frame);
}

struct UninstallerWindows {
    std::vector<HWND> pages;     // the uninstaller's own window
    std::vector<HWND> questions; // its message boxes with Yes and No
};

BOOL CALLBACK CollectUninstallerWindows(HWND wnd, LPARAM lp) {
    auto* s = reinterpret_cast<UninstallerWindows*>(lp);
    wchar_t cls[32] = L"";
    GetClassNameW(wnd, cls, 32);
    wchar_t title[256] = L"";
    GetWindowTextW(wnd, title, 256);
    std::wstring t = title;
    // "Quorvane <version> 卸载"
    if (!IsWindowVisible(wnd) || std::wstring(cls) != L"#32770" ||
        t.compare(0, 9, L"Quorvane ") != 0 || t.find(L"\x5378\x8F7D") == std::wstring::npos)
        return TRUE;
    if (GetDlgItem(wnd, IDYES) && GetDlgItem(wnd, IDNO))
        s->questions.push_back(wnd);
    else
        s->pages.push_back(wnd);
    return TRUE;
}

// The uninstaller runs a copy of itself and ends at once, so its windows are found by their
// titles. Each page is passed with its default button (id 1: "uninstall", then "close") once it
// is enabled; the question is answered as asked for.
int RunUninstall(const std::wstring& exe, bool removeUserFiles) {
    Editor uninstaller;
    if (!uninstaller.Start(exe, L""))
        return Fail(uninstaller, "the uninstaller could not be started");
    int pagesPassed = 0;
    bool asked = false;
    bool seen = false;
    DWORD lastSeen = GetTickCount();
    DWORD start = GetTickCount();
    for (;;) {
        if (GetTickCount() - start > kStartTimeoutMs * 2) {
            std::printf("qv_release_drive: the uninstaller did not finish\n");
            return 1;
        }
        UninstallerWindows found;
        EnumWindows(CollectUninstallerWindows, reinterpret_cast<LPARAM>(&found));
        if (!found.questions.empty()) {
            asked = true;
            HWND box = found.questions.front();
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(removeUserFiles ? IDYES : IDNO, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(box, removeUserFiles ? IDYES : IDNO)));
            Sleep(500);
            continue;
        }
        if (!found.pages.empty()) {
            seen = true;
            lastSeen = GetTickCount();
            HWND page = found.pages.front();
            HWND button = GetDlgItem(page, 1);
            if (button && IsWindowEnabled(button) && IsWindowVisible(button)) {
                PostMessageW(page, WM_COMMAND, MAKEWPARAM(1, BN_CLICKED),
                             reinterpret_cast<LPARAM>(button));
                ++pagesPassed;
                Sleep(500);
                continue;
            }
        } else if (seen && GetTickCount() - lastSeen > 2000) {
            break;
        }
        Sleep(100);
    }
    std::printf("uninstaller: %d page(s) passed, %s\n", pagesPassed,
                asked ? "asked about the user's files" : "did not ask about the user's files");
    return 0;
}

} // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv && (argc == 3 || argc == 4) && std::wstring(argv[1]) == L"start")
        return RunStart(argv[2], argc == 4 ? argv[3] : L"");
    if (argv && argc == 4 && std::wstring(argv[1]) == L"edit")
        return RunEdit(argv[2], argv[3]);
    if (argv && argc == 4 && std::wstring(argv[1]) == L"uninstall")
        return RunUninstall(argv[2], std::wstring(argv[3]) == L"yes");
    std::printf("usage: qv_release_drive start EXE [CMD] | edit EXE FILE | uninstall EXE yes|no\n");
    return 2;
}
