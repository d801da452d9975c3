// ToolRunner: starts the program of a user tool request in one of four ways (a windowed
// program, a document through the shell, a console program captured through the capture
// runner, a console program with its console shown or hidden), and owns the two capture jobs.
// Layer: tools/.
#pragma once

#include "tools/CaptureJob.h"

#include <windows.h>

#include <memory>
#include <string>

class IOutputChannels;

struct ToolRequest {
    std::string name;
    std::string command;
    std::string initDir;
    std::string argument;
    bool promptForArg = false;
    bool saveFiles = true;
    bool captureOutput = false;
    bool consoleWindow = false;
};

class ToolRunner {
public:
    static const int kCaptureJobs = 2;
    static constexpr const char* kRunnerFileName = "QVLOADER.EXE";
    // One piece of captured output: large enough that a tool printing fast is bounded by the
    // runner's reads, not by its polling period.
    static const DWORD kDefaultTextCapacity = 1024 * 1024;

    enum Kind { kNotProgram = 0, kWindowed = 1, kConsole = 2 };

    // Must be made on the user-interface thread: the capture jobs hand their text to it.
    explicit ToolRunner(IOutputChannels* channels);
    ~ToolRunner();
    ToolRunner(const ToolRunner&) = delete;
    ToolRunner& operator=(const ToolRunner&) = delete;

    // Starts the request's program; reports a failure itself (messages 8020, 8022) with
    // `owner` as the message box's owner. True when the program was started.
    bool Run(const ToolRequest& request, HWND owner);
    // Starts the capture runner for a console program; false with *error set when no job or
    // channel is free or the block, its events or the runner cannot be made.
    bool StartCapture(const std::string& command, const std::string& arguments,
                      const std::string& folder, bool showConsole, DWORD* error);
    // Stops every capture job and waits for each.
    void StopAll();
    bool HasFreeCaptureJob() const;
    CaptureJob& Job(int i) { return *m_jobs[i]; }

    // The shell's view of a file: 1 windowed program, 2 console or MS-DOS program, 0 anything
    // else (documents included).
    static int ExecutableKind(const char* path);

    // The capture runner program; the program's own folder unless set (tests).
    const std::string& RunnerPath() const { return m_runnerPath; }
    void SetRunnerPath(const std::string& path) { m_runnerPath = path; }
    void SetTextCapacity(DWORD bytes) { m_textCapacity = bytes; }

    // The initial folder of the last tool captured into the pane of a key (1 or 2): relative
    // paths in its error lines are read against it. Empty before any capture there.
    std::string PaneFolder(int key) const;
    // The key of the capture pane a tool last wrote into; 0 before any capture.
    int LastPaneKey() const { return m_lastPaneKey; }

private:
    static LRESULT CALLBACK RelayProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool StartProcess(const ToolRequest& request, int kind, const std::string& folder,
                      DWORD* error);
    bool RunnerExists() const;

    IOutputChannels* m_channels;
    HWND m_relay = nullptr;
    std::unique_ptr<CaptureJob> m_jobs[kCaptureJobs];
    std::string m_runnerPath;
    DWORD m_textCapacity = kDefaultTextCapacity;
    std::string m_paneFolders[3]; // by key 1 and 2
    int m_lastPaneKey = 0;
};
