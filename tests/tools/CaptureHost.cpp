// A stand-in for the editor that the capture tests can kill: it starts one captured run of the
// probe tool through the real tool runner, writes the capture runner's process id into a file,
// and then takes the pieces as they come ("take") or never takes one ("hold"), until it is
// killed. Arguments: PID-FILE take|hold PROBE-ARGUMENTS...
#include "ToolTestUtil.h"

#include "tools/ToolRunner.h"

#include <windows.h>

#include <string>

int main(int argc, char** argv) {
    if (argc < 4)
        return 2;
    FakeChannels channels;
    ToolRunner runner(&channels);
    std::string args;
    for (int i = 3; i < argc; ++i)
        args += std::string(i > 3 ? " " : "") + argv[i];
    DWORD error = 0;
    if (!runner.StartCapture(ProbePath(), args, "", false, &error))
        return 3;
    // Not in the headers of the oldest Windows the tests build for.
    typedef DWORD(WINAPI * ProcessIdOf)(HANDLE);
    const ProcessIdOf processIdOf = reinterpret_cast<ProcessIdOf>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetProcessId")));
    if (!processIdOf)
        return 4;
    const std::string id = std::to_string(processIdOf(runner.Job(0).RunnerProcess()));
    HANDLE file = CreateFileA(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD done = 0;
    WriteFile(file, id.data(), static_cast<DWORD>(id.size()), &done, nullptr);
    CloseHandle(file);
    if (std::string(argv[2]) == "hold") {
        // The reader thread's piece is never taken.
        Sleep(INFINITE);
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
