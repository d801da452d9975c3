// Starting the editor as a program for the benchmarks: its own folder, its first idle time,
// its main window. Layer: bench.
#include "ProgramStart.h"

#include "BenchUtil.h"

#include <cstdio>
#include <vector>

const DWORD kIdleTimeoutMs = 120000;

namespace {

struct TopWindowSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindTopWindow(HWND wnd, LPARAM lp) {
    TopWindowSearch* s = reinterpret_cast<TopWindowSearch*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(wnd, &owner);
    if (owner == s->pid && IsWindowVisible(wnd) && !GetWindow(wnd, GW_OWNER)) {
        s->found = wnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND MainWindowOf(DWORD pid) {
    TopWindowSearch search = {pid, nullptr};
    EnumWindows(FindTopWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Starts the program and waits for its first idle time; seconds from the start, or -1.
// The program is closed through its main window afterwards.
double TimeToFirstIdle(const std::string& exe, const std::string& args) {
    static int serial = 0;
    char name[64];
    std::snprintf(name, sizeof name, "QvBenchIdle_%lu_%d",
                  static_cast<unsigned long>(GetCurrentProcessId()), ++serial);
    HANDLE idle = CreateEventA(nullptr, TRUE, FALSE, name);
    if (!idle)
        return -1;
    SetEnvironmentVariableA("QUORVANE_IDLE_EVENT", name);
    std::string cmd = "\"" + exe + "\"" + (args.empty() ? "" : " " + args);
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    const double t0 = NowSeconds();
    if (!CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
        CloseHandle(idle);
        return -1;
    }
    HANDLE both[2] = {idle, pi.hProcess};
    const DWORD woke = WaitForMultipleObjects(2, both, FALSE, kIdleTimeoutMs);
    const double t = woke == WAIT_OBJECT_0 ? NowSeconds() - t0 : -1;
    SetEnvironmentVariableA("QUORVANE_IDLE_EVENT", nullptr);

    if (HWND frame = MainWindowOf(pi.dwProcessId))
        PostMessageA(frame, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    CloseHandle(idle);
    return t;
}

// A fresh program folder: the editor with default settings, its syntax templates beside it.
bool MakeProgramFolder(const std::string& bin, const std::string& folder) {
    CreateDirectoryA(folder.c_str(), nullptr);
    if (!CopyFileA((bin + "\\Quorvane.exe").c_str(), (folder + "\\Quorvane.exe").c_str(), FALSE))
        return false;
    const std::string stf = folder + "\\STF";
    CreateDirectoryA(stf.c_str(), nullptr);
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((bin + "\\STF\\*.STF").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do
            CopyFileA((bin + "\\STF\\" + fd.cFileName).c_str(), (stf + "\\" + fd.cFileName).c_str(),
                      FALSE);
        while (FindNextFileA(find, &fd));
        FindClose(find);
    }
    return true;
}

void RemoveFolder(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = fd.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = dir + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveFolder(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(find, &fd));
        FindClose(find);
    }
    RemoveDirectoryA(dir.c_str());
}
