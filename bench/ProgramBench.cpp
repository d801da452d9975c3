// Benchmark of the editor as a program under the same Wine as its baseline: start-up of
// Quorvane.exe to its first idle time with no document, beside a minimal Win32 program measured
// the same way; and opening the generated ~100 MB GBK file from the command line to the first
// idle time after its view has painted, beside the engine's bare load of the same file.
// Both programs set the event named by QUORVANE_IDLE_EVENT when their queue first runs empty.
// The bare load is measured twice: in this process after a first load (its memory reused) and,
// like the editor's, in a fresh process (this program run with --load FILE, which answers the
// load time in microseconds as its exit code).
#include "BenchUtil.h"
#include "ProgramStart.h"

#include "textdoc/Dbcs.h"
#include "textdoc/FileIO.h"
#include "textdoc/FxEditDoc.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const int kStartRuns = 9;
const int kOpenRuns = 5;

// Starts the editor on a file (its document maximised in the frame), then resizes the main
// window back and forth: each round is one full layout of the frame and its bars and the repaint
// of everything that changed, waited for through the window's own paint. Seconds per resize,
// or -1.
double ResizeSeconds(const std::string& exe, const std::string& file, int rounds) {
    HANDLE idle = CreateEventA(nullptr, TRUE, FALSE, "QvBenchResizeIdle");
    if (!idle)
        return -1;
    SetEnvironmentVariableA("QUORVANE_IDLE_EVENT", "QvBenchResizeIdle");
    std::string cmd = "\"" + exe + "\" \"" + file + "\"";
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
        CloseHandle(idle);
        return -1;
    }
    SetEnvironmentVariableA("QUORVANE_IDLE_EVENT", nullptr);
    double seconds = -1;
    HANDLE both[2] = {idle, pi.hProcess};
    if (WaitForMultipleObjects(2, both, FALSE, kIdleTimeoutMs) == WAIT_OBJECT_0) {
        if (HWND frame = MainWindowOf(pi.dwProcessId)) {
            ShowWindow(frame, SW_RESTORE);
            SetWindowPos(frame, nullptr, 0, 0, 800, 600, SWP_NOZORDER | SWP_NOACTIVATE);
            RedrawWindow(frame, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            const double t0 = NowSeconds();
            for (int i = 0; i < rounds; ++i) {
                const bool wide = (i & 1) == 0;
                SetWindowPos(frame, nullptr, 0, 0, wide ? 900 : 800, wide ? 680 : 600,
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
                RedrawWindow(frame, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
                SendMessageA(frame, WM_NULL, 0, 0);
            }
            seconds = (NowSeconds() - t0) / rounds;
            PostMessageA(frame, WM_CLOSE, 0, 0);
        }
    }
    if (WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    CloseHandle(idle);
    return seconds;
}

struct Doc : CFxEditDoc {
    Doc() { InitDocument(0); }
};

void PrintBaseline(const char* name, double seconds) {
    std::printf("%-44s %10.3f s    (baseline)\n", name, seconds);
}

// The bare load in a fresh process: seconds, or -1.
double FreshProcessLoad(const std::string& self, const std::string& path) {
    std::string cmd = "\"" + self + "\" --load \"" + path + "\"";
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(self.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &pi))
        return -1;
    DWORD code = 0;
    if (WaitForSingleObject(pi.hProcess, kIdleTimeoutMs) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(pi.hProcess, &code))
        code = 0;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code ? code / 1e6 : -1;
}

} // namespace

int main(int argc, char** argv) {
    FxInitLeadBytes();
    if (argc == 3 && std::string(argv[1]) == "--load") {
        Doc doc;
        const double t0 = NowSeconds();
        if (!LoadDocumentFile(doc, argv[2]))
            return 0;
        return static_cast<int>((NowSeconds() - t0) * 1e6);
    }
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    const std::string dir = argc > 1 ? argv[1] : ".";
    const size_t megabytes = argc > 2 ? static_cast<size_t>(std::atoi(argv[2])) : 100;
    const std::string bin = argc > 3 ? argv[3] : ".";
    const std::string minimal = bin + "\\bench_minimal_window.exe";

    // --- Start-up with no document ------------------------------------------------------------
    const std::string home = dir + "\\program";
    if (!MakeProgramFolder(bin, home)) {
        std::printf("cannot copy Quorvane.exe from %s\n", bin.c_str());
        return 1;
    }
    const std::string editor = home + "\\Quorvane.exe";
    // The first start of each loads what Wine caches and writes the settings files.
    TimeToFirstIdle(minimal, "");
    TimeToFirstIdle(editor, "");
    std::vector<double> base, start;
    for (int i = 0; i < kStartRuns; ++i) {
        base.push_back(TimeToFirstIdle(minimal, ""));
        start.push_back(TimeToFirstIdle(editor, ""));
    }
    const double baseStart = Median(base), editorStart = Median(start);
    if (baseStart <= 0 || editorStart <= 0) {
        std::printf("a program did not reach its first idle time\n");
        return 1;
    }
    std::printf("start-up to the first idle time, median of %d runs\n", kStartRuns);
    PrintBaseline("minimal Win32 program (baseline)", baseStart);
    PrintFigure("Quorvane.exe, five bars from a saved layout", editorStart, "s", baseStart, 2.0);

    // --- Resizing the main window with and without the bars -----------------------------------
    {
        const std::string text = dir + "\\resize.txt";
        std::string body;
        for (int i = 0; i < 3000; ++i)
            body += "int resize_line = " + std::to_string(i) + "; // \xd6\xd0\xce\xc4 text\r\n";
        HANDLE out =
            CreateFileA(text.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        if (out != INVALID_HANDLE_VALUE) {
            WriteFile(out, body.data(), static_cast<DWORD>(body.size()), &written, nullptr);
            CloseHandle(out);
        }
        // The same program with every bar hidden by its saved record.
        const std::string bare = dir + "\\nobars";
        MakeProgramFolder(bin, bare);
        const std::string bareIni = bare + "\\SETTINGS.INI";
        for (int i = 0; i < 5; ++i) {
            char key[8];
            std::snprintf(key, sizeof key, "%02d", i);
            WritePrivateProfileStringA("ControlBars", key, "\"Visible\"=0", bareIni.c_str());
        }
        const int rounds = 40;
        std::vector<double> withBars, without;
        for (int i = 0; i < 3; ++i) {
            without.push_back(ResizeSeconds(bare + "\\Quorvane.exe", text, rounds));
            withBars.push_back(ResizeSeconds(editor, text, rounds));
        }
        const double bareResize = Median(without), barsResize = Median(withBars);
        std::printf("\nresizing the main window, a maximised document, median of 3 x %d\n", rounds);
        if (bareResize > 0 && barsResize > 0) {
            std::printf("%-44s %10.3f ms   (baseline)\n", "no bars shown", bareResize * 1000);
            PrintFigure("five docked bars", barsResize * 1000, "ms", bareResize * 1000, 3.0);
        } else {
            std::printf("the resize runs did not complete\n");
        }
        RemoveFolder(bare);
        DeleteFileA(text.c_str());
    }

    // --- Opening the big file -----------------------------------------------------------------
    const std::string big = dir + "\\big_ansi.txt";
    std::printf("\ngenerating %u MB of GBK text...\n", static_cast<unsigned>(megabytes));
    GenerateGbkText(big, megabytes << 20, 1);
    std::vector<double> loads, freshLoads;
    for (int i = 0; i < kOpenRuns; ++i) {
        Doc doc;
        const double t0 = NowSeconds();
        const bool ok = LoadDocumentFile(doc, big.c_str());
        loads.push_back(ok ? NowSeconds() - t0 : -1);
        freshLoads.push_back(FreshProcessLoad(self, big));
    }
    // The program's own start-up is measured in the same folder just before each open, and
    // taken off: what is left is the open, the layout and the first paint.
    std::vector<double> opens, totals;
    for (int i = 0; i < kOpenRuns; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "\\open%d", i);
        const std::string folder = dir + name;
        MakeProgramFolder(bin, folder);
        const std::string exe = folder + "\\Quorvane.exe";
        const double empty = TimeToFirstIdle(exe, "");
        const double withFile = TimeToFirstIdle(exe, "\"" + big + "\"");
        totals.push_back(withFile);
        opens.push_back(empty > 0 && withFile > 0 ? withFile - empty : -1);
        RemoveFolder(folder);
    }
    const double bareLoad = Median(loads), freshLoad = Median(freshLoads);
    std::printf("open of the file to its first painted view, median of %d runs\n", kOpenRuns);
    PrintBaseline("engine's bare load (LoadDocumentFile)", bareLoad);
    PrintBaseline("the same in a fresh process", freshLoad);
    std::printf("%-44s %10.3f s\n", "Quorvane.exe start with the file", Median(totals));
    const double open = Median(opens);
    PrintFigure("  less its start-up: open to first paint", open, "s", bareLoad, 1.3);
    PrintFigure("  the same beside the fresh-process load", open, "s", freshLoad, 1.3);
    DeleteFileA(big.c_str());
    RemoveFolder(home);
    return 0;
}
