// Benchmark of captured tool output, the editor's main frame started in this process with its
// real output panes: a tool printing 50 MB through the capture until the pane holds all of it,
// beside the same tool writing into a file; the time from a line printed after a pause to its
// appearance in the pane; a captured start of a tool printing one line, beside starting the
// tool directly and waiting for its end; and a flood of 1 GB into a pane that keeps only its
// newest lines: the time beside a bare pipe, the peak memory, and how long the main window
// kept a message waiting meanwhile.
#include "BenchUtil.h"

#include "app/App.h"
#include "app/AppMainFrame.h"
#include "common/OutputChannels.h"
#include "tools/OutputPane.h"
#include "tools/OutputWindow.h"
#include "common/PathName.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string BinFile(const char* name) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string dir = exe;
    return FxPathWithSeparator(FxPathFolder(dir)) + name;
}

// Starts the probe with its standard output into `out` (or none) and waits for its end.
double RunDirect(const std::string& args, HANDLE out) {
    std::string line = "\"" + BinFile("qvprobe.exe") + "\" " + args;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    if (out) {
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = out;
        si.hStdError = out;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    }
    PROCESS_INFORMATION pi = {};
    const double start = NowSeconds();
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &si, &pi))
        return -1;
    WaitForSingleObject(pi.hProcess, INFINITE);
    const double took = NowSeconds() - start;
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return took;
}

// Channels that only count what arrives: the capture protocol without a pane.
class CountingChannels : public IOutputChannels {
public:
    OutputChannel* AcquireOutputChannel(int key, OutputJob* job) override {
        OutputChannel& c = m_channels[key == 2 ? 1 : 0];
        if (c.inUse)
            return nullptr;
        c.inUse = true;
        c.key = key;
        c.job = job;
        return &c;
    }
    void ReleaseOutputChannel(OutputChannel* channel) override { channel->inUse = false; }
    bool HasFreeOutputChannel(int) const override { return true; }
    bool IsOutputChannelBusy(int key) const override { return m_channels[key == 2].inUse; }
    void AppendOutput(const OutputChannel*, const char* text, int length) override {
        bytes += length < 0 ? static_cast<long long>(std::strlen(text)) : length;
        ++pieces;
    }
    void ClearOutput(const OutputChannel*) override {}
    void StopOutputJob(int) override {}
    long long bytes = 0;
    long long pieces = 0;

private:
    OutputChannel m_channels[2];
};

DWORD WINAPI DrainPipe(void* pipe) {
    static char buf[256 * 1024];
    DWORD got = 0;
    while (ReadFile(static_cast<HANDLE>(pipe), buf, sizeof buf, &got, nullptr) && got)
        ;
    return 0;
}

// Messages posted to a window of the user-interface thread every 20 ms from another thread:
// the longest wait between a post and its handling is what a click waits while text pours in.
class Responsiveness {
public:
    Responsiveness() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "QvBenchProbe";
        RegisterClassA(&wc);
        m_wnd = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                wc.hInstance, nullptr);
        s_self = this;
    }
    ~Responsiveness() {
        Stop();
        DestroyWindow(m_wnd);
    }
    void Start() {
        m_longest = 0;
        m_run = true;
        m_thread = CreateThread(nullptr, 0, Poster, this, 0, nullptr);
    }
    void Stop() {
        m_run = false;
        if (m_thread) {
            WaitForSingleObject(m_thread, INFINITE);
            CloseHandle(m_thread);
            m_thread = nullptr;
        }
    }
    double LongestMs() const { return m_longest; }

private:
    static DWORD WINAPI Poster(void* param) {
        Responsiveness* self = static_cast<Responsiveness*>(param);
        while (self->m_run) {
            LARGE_INTEGER now;
            QueryPerformanceCounter(&now);
            PostMessageA(self->m_wnd, WM_APP, 0, static_cast<LPARAM>(now.QuadPart));
            Sleep(20);
        }
        return 0;
    }
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_APP && s_self) {
            LARGE_INTEGER now, freq;
            QueryPerformanceCounter(&now);
            QueryPerformanceFrequency(&freq);
            const double ms = static_cast<double>(now.QuadPart - static_cast<LONGLONG>(lParam)) *
                              1000.0 / static_cast<double>(freq.QuadPart);
            s_self->m_longest = std::max(s_self->m_longest, ms);
            return 0;
        }
        return DefWindowProcA(wnd, msg, wParam, lParam);
    }
    static Responsiveness* s_self;
    HWND m_wnd = nullptr;
    HANDLE m_thread = nullptr;
    volatile bool m_run = false;
    double m_longest = 0;
};
Responsiveness* Responsiveness::s_self = nullptr;

double MegabytesOf(SIZE_T bytes) {
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

class Bench {
public:
    Bench(CApp* app, CAppMainFrame* frame) : m_app(app), m_frame(frame) {}
    OutputPane* Pane() { return m_frame->OutputWnd().GetPane(1); }
    void Pump() {
        m_app->PumpPendingMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
    bool Start(const std::string& args) {
        if (Pane())
            Pane()->Clear();
        DWORD error = 0;
        return m_frame->Tools().StartCapture(BinFile("qvprobe.exe"), args, "", false, &error);
    }
    void WaitFree() {
        while (!m_frame->Tools().Job(0).IsFree() || !m_frame->Tools().Job(1).IsFree())
            Pump();
    }
    int32_t Lines() { return Pane() ? Pane()->Lines().Count() : 0; }

    CApp* m_app;
    CAppMainFrame* m_frame;
};

} // namespace

int main() {
    // The size comes from the environment: the application object reads the command line as
    // files to open.
    const char* size = std::getenv("QV_CAPTURE_BENCH_MB");
    const long long megabytes = size && std::atoll(size) > 0 ? std::atoll(size) : 50;
    CApp* app = new CApp; // lives to the end of the process
    app->m_nCmdShow = SW_SHOWNORMAL;
    if (!app->InitInstance()) {
        std::printf("the editor did not start\n");
        return 1;
    }
    CAppMainFrame* frame = AppMainFrame();
    Bench bench(app, frame);
    app->PumpPendingMessages();

    // 1. Throughput: 50 MB of 79-byte lines.
    const long long bytes = megabytes * 1000 * 1000;
    const std::string flood = "flood:" + std::to_string(bytes);
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string outPath = std::string(temp) + "qvcapture_bench.txt";
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE file = CreateFileA(outPath.c_str(), GENERIC_WRITE, 0, &sa, CREATE_ALWAYS, 0, nullptr);
    const double toFile = RunDirect(flood, file);
    CloseHandle(file);
    DeleteFileA(outPath.c_str());
    // A CR LF split between two pieces is still one break.
    const int32_t expectLines = static_cast<int32_t>(bytes / 79) + 1;
    double start = NowSeconds();
    bench.Start(flood);
    bench.WaitFree();
    const double captured = NowSeconds() - start;
    std::printf("%lld MB captured: %d lines in the pane (%d expected)\n", megabytes, bench.Lines(),
                expectLines);
    {
        CountingChannels counting;
        ToolRunner runner(&counting);
        DWORD error = 0;
        start = NowSeconds();
        runner.StartCapture(BinFile("qvprobe.exe"), flood, "", false, &error);
        while (!runner.Job(0).IsFree())
            bench.Pump();
        const double protocol = NowSeconds() - start;
        std::printf(
            "%lld MB through the capture protocol alone: %.3f s (%lld bytes in %lld pieces)\n",
            megabytes, protocol, counting.bytes, counting.pieces);
    }
    {
        // The same tool into a bare pipe drained by a thread: what a pipe costs here.
        HANDLE r = nullptr;
        HANDLE w = nullptr;
        CreatePipe(&r, &w, &sa, 256 * 1024);
        SetHandleInformation(r, HANDLE_FLAG_INHERIT, 0);
        HANDLE drain = CreateThread(nullptr, 0, DrainPipe, r, 0, nullptr);
        const double piped = RunDirect(flood, w);
        CloseHandle(w);
        WaitForSingleObject(drain, INFINITE);
        CloseHandle(drain);
        CloseHandle(r);
        std::printf("%lld MB into a bare pipe: %.3f s\n", megabytes, piped);
    }
    PrintFigure("tool output through the capture into the pane", captured, "s", toFile, 3.0);

    // 2. Latency of a line printed after a pause, median of 20.
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    bench.Start("stamps:20:100");
    std::vector<double> delays;
    int32_t seen = 0;
    while (delays.size() < 20) {
        bench.Pump();
        OutputPane* pane = bench.Pane();
        if (!pane)
            continue;
        const int32_t complete = pane->Lines().Count() - 1; // the last line is still open
        while (seen < complete) {
            LARGE_INTEGER now;
            QueryPerformanceCounter(&now);
            const long long printed = std::atoll(pane->LineText(seen).c_str());
            delays.push_back(static_cast<double>(now.QuadPart - printed) * 1000.0 /
                             static_cast<double>(freq.QuadPart));
            ++seen;
        }
        if (frame->Tools().Job(0).IsFree() && seen >= complete)
            break;
    }
    bench.WaitFree();
    PrintFigure("line after a pause to the pane (median of 20)", Median(delays), "ms", 0, 30.0);

    // 3. Starting a captured tool printing one line until the line is in the pane.
    std::vector<double> direct;
    std::vector<double> capture;
    for (int i = 0; i < 10; ++i) {
        direct.push_back(RunDirect("out:one nl", nullptr));
        start = NowSeconds();
        bench.Start("out:one nl");
        while (bench.Lines() < 2 || bench.Pane()->LineText(0) != "one")
            bench.Pump();
        capture.push_back(NowSeconds() - start);
        bench.WaitFree();
    }
    PrintFigure("captured start until the line is in the pane", Median(capture) * 1000, "ms",
                Median(direct) * 1000, 2.0);

    // 4. A flood of 1 GB of 79-byte lines into a pane that keeps only its newest lines.
    const char* floodSize = std::getenv("QV_CAPTURE_FLOOD_MB");
    const long long floodMb = floodSize && std::atoll(floodSize) > 0 ? std::atoll(floodSize) : 1000;
    const std::string bigFlood = "flood:" + std::to_string(floodMb * 1000 * 1000);
    double piped = 0;
    {
        HANDLE r = nullptr;
        HANDLE w = nullptr;
        CreatePipe(&r, &w, &sa, 256 * 1024);
        SetHandleInformation(r, HANDLE_FLAG_INHERIT, 0);
        HANDLE drain = CreateThread(nullptr, 0, DrainPipe, r, 0, nullptr);
        piped = RunDirect(bigFlood, w);
        CloseHandle(w);
        WaitForSingleObject(drain, INFINITE);
        CloseHandle(drain);
        CloseHandle(r);
    }
    if (bench.Pane())
        bench.Pane()->Clear();
    PROCESS_MEMORY_COUNTERS before = {};
    before.cb = sizeof before;
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    Responsiveness responsiveness;
    responsiveness.Start();
    start = NowSeconds();
    bench.Start(bigFlood);
    bench.WaitFree();
    const double flooded = NowSeconds() - start;
    responsiveness.Stop();
    PROCESS_MEMORY_COUNTERS after = {};
    after.cb = sizeof after;
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    const OutputLines& kept = bench.Pane()->Lines();
    std::printf("%lld MB flood: %d lines kept (%.1f MB), %lld dropped; peak private memory "
                "%.1f MB (%.1f MB before), peak working set %.1f MB\n",
                floodMb, kept.Count(), MegabytesOf(kept.KeptBytes()),
                static_cast<long long>(kept.DroppedLines()), MegabytesOf(after.PeakPagefileUsage),
                MegabytesOf(before.PagefileUsage), MegabytesOf(after.PeakWorkingSetSize));
    PrintFigure("1 GB flood through the capture into the pane", flooded, "s", piped, 3.0);
    PrintFigure("1 GB flood: peak memory above the start",
                MegabytesOf(after.PeakPagefileUsage -
                            std::min(after.PeakPagefileUsage, before.PagefileUsage)),
                "MB", 0, 256.0);
    PrintFigure("1 GB flood: longest wait of a posted message", responsiveness.LongestMs(), "ms", 0,
                500.0);

    frame->DestroyWindow();
    app->PumpPendingMessages();
    app->ExitInstance();
    return 0;
}
