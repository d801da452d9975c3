// The capture runner program: runs one console tool for the editor with its standard output and
// standard error on a pipe, and hands the output back piece by piece through the shared block
// the editor created. Uses the kernel only; no user interface. Layer: loader/.
#include "common/CaptureBlock.h"

#include <windows.h>

#include <cstring>

namespace {

const int kFailed = -1;
// The editor died, or kept a piece past its hold limit while more output waited: nobody will
// read the pipe again, so the tool is ended too rather than left blocked on it.
const int kEditorGone = 1;
// A pass counts at most this much towards a piece the editor holds, so that a machine asleep
// while a piece is held does not count its sleep.
const DWORD kMaxPassCredit = 1000;
// How long a failing runner waits for the editor to take its one line of explanation.
const DWORD kErrorLineWait = 5000;
// The pipe is made as large as one piece, within these bounds, so that a tool that prints fast
// fills a whole piece between two passes instead of blocking on a small pipe.
const DWORD kMinPipeSize = 4096;
const DWORD kMaxPipeSize = 1024 * 1024;

class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE h) : m_h(h) {}
    ~Handle() { Reset(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    void Reset(HANDLE h = nullptr) {
        if (m_h && m_h != INVALID_HANDLE_VALUE)
            CloseHandle(m_h);
        m_h = h;
    }
    HANDLE Get() const { return m_h; }
    HANDLE* Out() {
        Reset();
        return &m_h;
    }
    explicit operator bool() const { return m_h && m_h != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_h = nullptr;
};

class View {
public:
    ~View() {
        if (m_p)
            UnmapViewOfFile(m_p);
    }
    void Reset(void* p) { m_p = p; }
    CaptureBlock* Block() const { return static_cast<CaptureBlock*>(m_p); }

private:
    void* m_p = nullptr;
};

// A growable byte string on the process heap: the runner stays free of the C++ library.
class Text {
public:
    ~Text() {
        if (m_p)
            HeapFree(GetProcessHeap(), 0, m_p);
    }
    bool Append(const char* s, size_t n) {
        if (m_len + n + 1 > m_size) {
            const size_t size = (m_len + n + 1) * 2;
            char* p = static_cast<char*>(m_p ? HeapReAlloc(GetProcessHeap(), 0, m_p, size)
                                             : HeapAlloc(GetProcessHeap(), 0, size));
            if (!p)
                return false;
            m_p = p;
            m_size = size;
        }
        std::memcpy(m_p + m_len, s, n);
        m_len += n;
        m_p[m_len] = '\0';
        return true;
    }
    bool Append(const char* s) { return Append(s, std::strlen(s)); }
    // Appends a field that is not trusted to be terminated within its size.
    bool AppendField(const char* field, size_t size) {
        size_t n = 0;
        while (n < size && field[n])
            ++n;
        return Append(field, n);
    }
    void DropTrailing(const char* chars) {
        while (m_len && std::strchr(chars, m_p[m_len - 1]))
            m_p[--m_len] = '\0';
    }
    char* Data() { return m_p ? m_p : const_cast<char*>(""); }
    size_t Length() const { return m_len; }
    bool Empty() const { return m_len == 0; }

private:
    char* m_p = nullptr;
    size_t m_len = 0;
    size_t m_size = 0;
};

// The header must describe a text area that lies inside the mapped view.
bool IsSaneHeader(const CaptureBlock* block, SIZE_T viewSize) {
    return block->totalSize <= viewSize && block->textOffset >= CaptureBlock::kHeaderSize &&
           block->textCapacity >= 2 && block->textOffset <= block->totalSize &&
           block->textCapacity <= block->totalSize - block->textOffset;
}

class Runner {
public:
    int Run(const char* objectName);

private:
    bool OpenBlock(const char* objectName);
    bool StartTool();
    // Takes the editor's process handle from the block (none when it holds no usable one).
    void WatchHost();
    // Pumps the pipe into the block until the tool has ended and its output is passed on;
    // false when the editor went first (see kEditorGone).
    bool Pump();
    // Waits up to `timeout` ms for the editor's or (while it runs) the tool's end.
    void WaitPass(bool toolRunning, DWORD timeout);
    // The system's text for the error, as one line in the block, so that the user sees why
    // nothing ran; waits a while for the editor to take it.
    void ReportError(DWORD error);

    Handle m_mapping;
    View m_view;
    CaptureBlock* m_block = nullptr;
    Handle m_readEvent;
    Handle m_pipeRead;
    Handle m_pipeWrite;
    Handle m_process;
    Handle m_host; // the editor's process; null: not watched
    Text m_command;
};

bool Runner::OpenBlock(const char* objectName) {
    m_mapping.Reset(OpenFileMappingA(FILE_MAP_WRITE, FALSE, objectName));
    if (!m_mapping)
        return false;
    void* p = MapViewOfFile(m_mapping.Get(), FILE_MAP_WRITE, 0, 0, 0);
    if (!p)
        return false;
    m_view.Reset(p);
    MEMORY_BASIC_INFORMATION info;
    if (!VirtualQuery(p, &info, sizeof info) || info.RegionSize < CaptureBlock::kHeaderSize)
        return false;
    m_block = static_cast<CaptureBlock*>(p);
    if (!IsSaneHeader(m_block, info.RegionSize)) {
        m_block = nullptr;
        return false;
    }
    Text eventName;
    if (!eventName.AppendField(m_block->readEventName, CaptureBlock::kNameSize))
        return false;
    m_readEvent.Reset(OpenEventA(EVENT_MODIFY_STATE, FALSE, eventName.Data()));
    return static_cast<bool>(m_readEvent);
}

bool Runner::StartTool() {
    // Only the write end may reach the tool: a read end held by the tool would keep the pipe
    // open after the runner stops reading.
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    DWORD pipeSize = m_block->textCapacity - 1;
    if (pipeSize < kMinPipeSize)
        pipeSize = 0; // the system's default
    else if (pipeSize > kMaxPipeSize)
        pipeSize = kMaxPipeSize;
    HANDLE inheritableRead = nullptr;
    if (!CreatePipe(&inheritableRead, m_pipeWrite.Out(), &sa, pipeSize))
        return false;
    Handle readOwner(inheritableRead);
    if (!DuplicateHandle(GetCurrentProcess(), inheritableRead, GetCurrentProcess(),
                         m_pipeRead.Out(), 0, FALSE, DUPLICATE_SAME_ACCESS))
        return false;
    readOwner.Reset();

    Text folder;
    Text commandLine;
    const DWORD argRoom = m_block->textOffset - offsetof(CaptureBlock, arguments);
    if (!m_command.AppendField(m_block->command, CaptureBlock::kNameSize) ||
        !folder.AppendField(m_block->folder, CaptureBlock::kNameSize) ||
        !commandLine.Append("\"") || !commandLine.Append(m_command.Data()) ||
        !commandLine.Append("\" ") || !commandLine.AppendField(m_block->arguments, argRoom))
        return false;
    SetConsoleTitleA(m_command.Data());

    // The tool inherits the runner's console and standard input, and both its output streams
    // go into the pipe.
    const HANDLE oldOut = GetStdHandle(STD_OUTPUT_HANDLE);
    const HANDLE oldErr = GetStdHandle(STD_ERROR_HANDLE);
    SetStdHandle(STD_OUTPUT_HANDLE, m_pipeWrite.Get());
    SetStdHandle(STD_ERROR_HANDLE, m_pipeWrite.Get());
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = m_pipeWrite.Get();
    si.hStdError = m_pipeWrite.Get();
    PROCESS_INFORMATION pi = {};
    const BOOL started = CreateProcessA(nullptr, commandLine.Data(), nullptr, nullptr, TRUE,
                                        CREATE_DEFAULT_ERROR_MODE | NORMAL_PRIORITY_CLASS, nullptr,
                                        folder.Empty() ? nullptr : folder.Data(), &si, &pi);
    const DWORD error = GetLastError();
    SetStdHandle(STD_OUTPUT_HANDLE, oldOut);
    SetStdHandle(STD_ERROR_HANDLE, oldErr);
    if (!started) {
        SetLastError(error);
        return false;
    }
    CloseHandle(pi.hThread);
    m_process.Reset(pi.hProcess);
    return true;
}

void Runner::ReportError(DWORD error) {
    char* system = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, error, 0, reinterpret_cast<char*>(&system), 0, nullptr);
    Text line;
    line.Append("\"");
    line.Append(m_command.Data());
    line.Append("\": ");
    if (system) {
        line.Append(system);
        LocalFree(system);
    } else {
        char code[16];
        char* p = code + sizeof code;
        *--p = '\0';
        do
            *--p = static_cast<char>('0' + error % 10);
        while ((error /= 10) != 0);
        line.Append(p);
    }
    line.DropTrailing("\r\n ");
    line.Append("\r\n");
    // Cut on a character: the system's text may be double-byte.
    size_t length = 0;
    while (length < line.Length()) {
        const size_t step = IsDBCSLeadByte(static_cast<BYTE>(line.Data()[length])) ? 2 : 1;
        if (length + step > m_block->textCapacity - 1)
            break;
        length += step;
    }
    const DWORD start = GetTickCount();
    while (!m_block->ready && !m_block->detached && GetTickCount() - start < kErrorLineWait)
        Sleep(1);
    if (m_block->detached || !m_block->ready)
        return;
    std::memcpy(m_block->Text(), line.Data(), length);
    m_block->Text()[length] = '\0';
    InterlockedExchange(&m_block->ready, 0);
    SetEvent(m_readEvent.Get());
    // The editor holds the block until it has taken the piece; waiting keeps the line ahead of
    // the runner's end in the editor's view of things.
    while (!m_block->ready && !m_block->detached && GetTickCount() - start < kErrorLineWait)
        Sleep(1);
}

void Runner::WatchHost() {
    const ULONGLONG value = m_block->hostProcess;
    if (!value)
        return;
    HANDLE host = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(value));
    // Anything but a process handle that can be waited for is not watched (nor closed).
    if (WaitForSingleObject(host, 0) != WAIT_FAILED)
        m_host.Reset(host);
}

void Runner::WaitPass(bool toolRunning, DWORD timeout) {
    HANDLE waits[2];
    DWORD count = 0;
    if (m_host)
        waits[count++] = m_host.Get();
    // An ended tool's handle stays signalled: waiting for it would not wait at all.
    if (toolRunning)
        waits[count++] = m_process.Get();
    if (!count || WaitForMultipleObjects(count, waits, FALSE, timeout) == WAIT_FAILED)
        Sleep(timeout);
}

bool Runner::Pump() {
    const DWORD capacity = m_block->textCapacity;
    const DWORD holdLimit = m_block->holdLimit ? m_block->holdLimit : kCaptureHoldLimit;
    bool running = true;
    bool detached = false;
    DWORD lastRead = 0;
    DWORD lastAvailable = 0;
    // Passes that moved text poll again at once; a pass held up by the editor waits a little;
    // an idle pass waits the full period for the tool.
    DWORD timeout = 10;
    // How long the editor has held its piece while more output waited, as the passes count it.
    DWORD held = 0;
    DWORD lastPass = GetTickCount();
    do {
        WaitPass(running, timeout);
        running = WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT;
        detached = m_block->detached != 0;
        // Once detached the editor no longer cares: the tool runs to its end as after a stop.
        if (!detached && m_host && WaitForSingleObject(m_host.Get(), 0) == WAIT_OBJECT_0)
            return false;
        const DWORD now = GetTickCount();
        const DWORD pass = now - lastPass;
        lastPass = now;
        DWORD available = 0;
        if (!PeekNamedPipe(m_pipeRead.Get(), nullptr, 0, nullptr, &available, nullptr))
            break;
        lastRead = 0;
        lastAvailable = available;
        if (m_block->ready || detached)
            held = 0;
        if (available == 0) {
            timeout = 10;
            continue;
        }
        if (!m_block->ready && !detached) {
            held += pass < kMaxPassCredit ? pass : kMaxPassCredit;
            if (held >= holdLimit)
                return false;
            timeout = 1;
            continue;
        }
        DWORD want = available < capacity - 1 ? available : capacity - 1;
        DWORD got = 0;
        if (!ReadFile(m_pipeRead.Get(), m_block->Text(), want, &got, nullptr))
            break;
        m_block->Text()[got] = '\0';
        lastRead = got;
        timeout = 0;
        if (!detached) {
            InterlockedExchange(&m_block->ready, 0);
            SetEvent(m_readEvent.Get());
        }
    } while (running || (!detached && lastRead < lastAvailable));
    return true;
}

int Runner::Run(const char* objectName) {
    if (!OpenBlock(objectName))
        return kFailed;
    if (!StartTool()) {
        ReportError(GetLastError());
        return kFailed;
    }
    WatchHost();
    if (!Pump()) {
        if (WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT)
            TerminateProcess(m_process.Get(), static_cast<UINT>(kEditorGone));
        return kEditorGone;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const size_t prefix = sizeof QV_CAPTURE_ARG_PREFIX - 1;
    if (argc != 2 || std::strncmp(argv[1], QV_CAPTURE_ARG_PREFIX, prefix) != 0 || !argv[1][prefix])
        return kFailed;
    Runner runner;
    return runner.Run(argv[1] + prefix);
}
