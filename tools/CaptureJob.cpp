// The editor's side of one captured tool run. Only the user-interface thread opens and closes
// the job's handles; the reader thread uses them while it runs and, when it ends, posts a
// notice that makes the user-interface thread close the job. Layer: tools/.
#include "tools/CaptureJob.h"

#include "tools/CaptureObjects.h"

#include <cstring>

void CaptureWaitDispatchingSent(HANDLE object) {
    for (;;) {
        const DWORD r = MsgWaitForMultipleObjects(1, &object, FALSE, INFINITE, QS_SENDMESSAGE);
        if (r != WAIT_OBJECT_0 + 1)
            return;
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

CaptureJob::~CaptureJob() {
    Close();
}

bool CaptureJob::CreateBlock(const StartInfo& info) {
    OwnerOnlySecurity security;
    SECURITY_ATTRIBUTES* sa = security.Attributes();
    if (!sa) {
        SetLastError(security.Error() ? security.Error() : ERROR_ACCESS_DENIED);
        return false;
    }
    SYSTEM_INFO sys;
    GetSystemInfo(&sys);
    const CaptureLayout layout = CaptureBlockLayout(static_cast<DWORD>(info.arguments.size()),
                                                    sys.dwPageSize, info.textCapacity);
    m_baseName = NextCaptureBaseName(info.command);
    // An object that already exists under the name belongs to someone else: never use it.
    auto created = [](HANDLE h) {
        if (h && GetLastError() == ERROR_ALREADY_EXISTS) {
            CloseHandle(h);
            SetLastError(ERROR_ALREADY_EXISTS);
            return static_cast<HANDLE>(nullptr);
        }
        return h;
    };
    SetLastError(0);
    m_mapping = created(CreateFileMappingA(INVALID_HANDLE_VALUE, sa, PAGE_READWRITE, 0,
                                           layout.totalSize, m_baseName.c_str()));
    if (!m_mapping)
        return false;
    m_block = static_cast<CaptureBlock*>(MapViewOfFile(m_mapping, FILE_MAP_WRITE, 0, 0, 0));
    if (!m_block)
        return false;
    SetLastError(0);
    m_exitEvent = created(CreateEventA(sa, TRUE, FALSE, (m_baseName + "_event_exit").c_str()));
    if (!m_exitEvent)
        return false;
    const std::string readName = m_baseName + "_event_read";
    SetLastError(0);
    m_readEvent = created(CreateEventA(sa, TRUE, FALSE, readName.c_str()));
    if (!m_readEvent)
        return false;

    std::memset(m_block, 0, CaptureBlock::kHeaderSize);
    m_block->totalSize = layout.totalSize;
    m_block->textOffset = layout.textOffset;
    m_block->textCapacity = layout.textCapacity;
    m_block->ready = 1;
    m_block->detached = 0;
    m_block->holdLimit = kCaptureHoldLimit;
    auto put = [](char* field, const std::string& value) {
        const size_t n =
            value.size() < CaptureBlock::kNameSize - 1 ? value.size() : CaptureBlock::kNameSize - 1;
        std::memcpy(field, value.data(), n);
        field[n] = '\0';
    };
    put(m_block->readEventName, readName);
    put(m_block->command, info.command);
    put(m_block->folder, info.folder);
    std::memcpy(m_block->arguments, info.arguments.c_str(), info.arguments.size() + 1);
    m_block->Text()[0] = '\0';
    return true;
}

bool CaptureJob::Start(const StartInfo& info, DWORD* error) {
    DWORD dummy = 0;
    if (!error)
        error = &dummy;
    *error = 0;
    if (!m_channel) {
        *error = ERROR_BUSY;
        return false;
    }
    m_stopped = false;
    ++m_run;
    if (!CreateBlock(info)) {
        *error = GetLastError();
        Close();
        return false;
    }
    std::string commandLine = "\"" + info.runnerPath + "\" " QV_CAPTURE_ARG_PREFIX + m_baseName;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    if (!info.showConsole) {
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = SW_HIDE;
    }
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(info.runnerPath.c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                        CREATE_SUSPENDED | CREATE_DEFAULT_ERROR_MODE | NORMAL_PRIORITY_CLASS |
                            CREATE_NEW_CONSOLE,
                        nullptr, nullptr, &si, &pi)) {
        *error = GetLastError();
        Close();
        return false;
    }
    m_process = pi.hProcess;
    // The runner watches the editor through its own handle to this process, given before it
    // runs: it ends with its tool when the editor dies without stopping the capture.
    HANDLE host = nullptr;
    if (DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), pi.hProcess, &host, SYNCHRONIZE,
                        FALSE, 0))
        m_block->hostProcess = static_cast<ULONGLONG>(reinterpret_cast<ULONG_PTR>(host));
    m_thread = CreateThread(nullptr, 0, ReaderMain, this, CREATE_SUSPENDED, nullptr);
    if (!m_thread) {
        *error = GetLastError();
        // The runner has not run a single instruction: end it rather than leave it waiting.
        TerminateProcess(pi.hProcess, static_cast<UINT>(-1));
        CloseHandle(pi.hThread);
        Close();
        return false;
    }
    ResumeThread(pi.hThread);
    CloseHandle(pi.hThread);
    ResumeThread(m_thread);
    return true;
}

DWORD WINAPI CaptureJob::ReaderMain(void* param) {
    static_cast<CaptureJob*>(param)->ReaderLoop();
    return 0;
}

void CaptureJob::ReaderLoop() {
    const DWORD run = m_run;
    HANDLE waits[3] = {m_readEvent, m_exitEvent, m_process};
    CaptureBlock* block = m_block;
    // The last byte of the text area stays a terminator whatever the runner wrote.
    char* text = block->Text();
    const DWORD capacity = block->textCapacity;
    for (;;) {
        // The read event comes first: a piece the runner left just before it ended is taken
        // before the end is seen.
        const DWORD r = WaitForMultipleObjects(3, waits, FALSE, INFINITE);
        if (r != WAIT_OBJECT_0)
            break; // the exit event, the runner's end, or a failed wait
        InterlockedExchange(&block->ready, 0);
        text[capacity - 1] = '\0';
        Sleep(0);
        SendMessageA(m_relay, kPieceMessage, reinterpret_cast<WPARAM>(this),
                     reinterpret_cast<LPARAM>(text));
        ResetEvent(m_readEvent);
        InterlockedExchange(&block->ready, 1);
    }
    PostMessageA(m_relay, kEndedMessage, reinterpret_cast<WPARAM>(this), static_cast<LPARAM>(run));
}

void CaptureJob::TakePiece(const char* text) {
    if (!m_stopped && m_channel)
        Append(text, -1);
}

void CaptureJob::OnReaderEnded(DWORD run) {
    if (run == m_run && m_thread)
        Close();
}

void CaptureJob::Stop(bool wait) {
    if (!m_thread)
        return;
    m_stopped = true;
    if (m_block)
        InterlockedExchange(&m_block->detached, 1);
    if (m_exitEvent)
        SetEvent(m_exitEvent);
    OutputJob::Close(); // the channel is free at once
    if (wait)
        Close();
}

void CaptureJob::Close() {
    if (m_thread) {
        m_stopped = true;
        if (m_exitEvent)
            SetEvent(m_exitEvent);
        CaptureWaitDispatchingSent(m_thread);
    }
    CloseHandles();
    OutputJob::Close();
}

void CaptureJob::CloseHandles() {
    if (m_readEvent)
        CloseHandle(m_readEvent);
    if (m_exitEvent)
        CloseHandle(m_exitEvent);
    m_readEvent = m_exitEvent = nullptr;
    if (m_block) {
        // The runner may still be pumping: it discards from now on.
        InterlockedExchange(&m_block->ready, 1);
        InterlockedExchange(&m_block->detached, 1);
        UnmapViewOfFile(m_block);
        m_block = nullptr;
    }
    if (m_mapping)
        CloseHandle(m_mapping);
    m_mapping = nullptr;
    if (m_process)
        CloseHandle(m_process);
    m_process = nullptr;
    if (m_thread)
        CloseHandle(m_thread);
    m_thread = nullptr;
}
