// CaptureJob: one captured tool run. The editor's side of the capture protocol: the shared
// block and events, the capture runner's process, and the reader thread that hands each piece
// of output to the user-interface thread. Layer: tools/.
#pragma once

#include "common/CaptureBlock.h"
#include "common/OutputJob.h"

#include <windows.h>

#include <string>

class CaptureJob : public OutputJob {
public:
    // Messages the reader thread sends and posts to the relay window, which lives on the
    // user-interface thread and hands them back to the job (wParam: the job).
    static const UINT kPieceMessage = WM_APP + 0x31; // sent; lParam: the zero-terminated text
    static const UINT kEndedMessage = WM_APP + 0x32; // posted; lParam: the run's number

    struct StartInfo {
        std::string runnerPath; // the capture runner program
        std::string command;
        std::string arguments;
        std::string folder;
        bool showConsole = false;
        DWORD textCapacity = 0; // bytes of one piece, rounded to whole pages
    };

    CaptureJob(IOutputChannels* channels, HWND relay) : OutputJob(channels), m_relay(relay) {}
    ~CaptureJob() override;

    // Creates the block and its events, starts the runner and the reader thread. The job must
    // hold a channel (Open) first. On failure everything is closed and *error holds the
    // system's error code.
    bool Start(const StartInfo& info, DWORD* error);
    // Releases everything; a reader thread still running is told to end and waited for.
    void Close() override;
    // Detaches from the output at once (the runner and the tool run on, the runner discarding
    // what they print) and frees the channel; with wait, also waits for the reader thread and
    // closes the job.
    void Stop(bool wait) override;

    // A job is free when it has no reader thread.
    bool IsFree() const { return m_thread == nullptr; }
    bool IsStopped() const { return m_stopped; }
    const std::string& BaseName() const { return m_baseName; }
    HANDLE RunnerProcess() const { return m_process; }
    HANDLE Mapping() const { return m_mapping; }

    // User-interface thread: a piece from the reader thread, appended unless stopped.
    void TakePiece(const char* text);
    // User-interface thread: the reader thread of run `run` has ended.
    void OnReaderEnded(DWORD run);

private:
    static DWORD WINAPI ReaderMain(void* param);
    void ReaderLoop();
    bool CreateBlock(const StartInfo& info);
    void CloseHandles();

    HWND m_relay;
    HANDLE m_readEvent = nullptr;
    HANDLE m_exitEvent = nullptr;
    HANDLE m_process = nullptr;
    HANDLE m_thread = nullptr;
    HANDLE m_mapping = nullptr;
    CaptureBlock* m_block = nullptr;
    bool m_stopped = false;
    DWORD m_run = 0; // numbers the runs, so that a late end notice of an old one is ignored
    std::string m_baseName;
};

// Waits for an object while letting messages that other threads send to this thread through
// (a reader thread may be sending a piece just then).
void CaptureWaitDispatchingSent(HANDLE object);
