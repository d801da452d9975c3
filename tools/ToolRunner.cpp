// The tool runner: the four ways to start a tool, and the relay window through which the
// capture jobs' reader threads reach the user-interface thread. Layer: tools/.
#include "tools/ToolRunner.h"

#include "common/OutputChannels.h"
#include "common/PathName.h"
#include "framework/MessageBox.h"
#include "framework/ResourceText.h"
#include "tools/ToolIds.h"

#include <shellapi.h>

namespace {

const char kRelayClass[] = "QvToolRelay";

std::string ProgramFolder() {
    char path[MAX_PATH] = "";
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    return FxPathWithSeparator(FxPathFolder(std::string(path, n < sizeof path ? n : 0)));
}

std::string Trimmed(const std::string& s) {
    size_t b = 0;
    size_t e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t'))
        --e;
    return s.substr(b, e - b);
}

} // namespace

ToolRunner::ToolRunner(IOutputChannels* channels) : m_channels(channels) {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    if (!GetClassInfoA(inst, kRelayClass, &wc)) {
        wc.lpfnWndProc = RelayProc;
        wc.hInstance = inst;
        wc.lpszClassName = kRelayClass;
        RegisterClassA(&wc);
    }
    m_relay =
        CreateWindowExA(0, kRelayClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, inst, nullptr);
    for (auto& job : m_jobs)
        job.reset(new CaptureJob(channels, m_relay));
    m_runnerPath = ProgramFolder() + kRunnerFileName;
}

ToolRunner::~ToolRunner() {
    StopAll();
    for (auto& job : m_jobs)
        job.reset();
    if (m_relay)
        DestroyWindow(m_relay);
}

LRESULT CALLBACK ToolRunner::RelayProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == CaptureJob::kPieceMessage) {
        reinterpret_cast<CaptureJob*>(wParam)->TakePiece(reinterpret_cast<const char*>(lParam));
        return 0;
    }
    if (message == CaptureJob::kEndedMessage) {
        reinterpret_cast<CaptureJob*>(wParam)->OnReaderEnded(static_cast<DWORD>(lParam));
        return 0;
    }
    return DefWindowProcA(wnd, message, wParam, lParam);
}

void ToolRunner::StopAll() {
    for (auto& job : m_jobs)
        if (job)
            job->Stop(true);
}

bool ToolRunner::HasFreeCaptureJob() const {
    for (const auto& job : m_jobs)
        if (job->IsFree())
            return true;
    return false;
}

int ToolRunner::ExecutableKind(const char* path) {
    const DWORD_PTR type = SHGetFileInfoA(path, 0, nullptr, 0, SHGFI_EXETYPE);
    const WORD low = LOWORD(type);
    const WORD high = HIWORD(type);
    const WORD pe = 'P' | ('E' << 8);
    const WORD ne = 'N' | ('E' << 8);
    const WORD mz = 'M' | ('Z' << 8);
    // A windowed PE program reports the Windows version it was built for (4.0 for the old
    // tool chains, 5.2 and up for today's and for every x64 program); a console one reports 0.
    if ((low == pe && high != 0) || (low == ne && (high == 0x0300 || high == 0x0350)))
        return kWindowed;
    if ((low == pe || low == mz) && high == 0)
        return kConsole;
    return kNotProgram;
}

bool ToolRunner::RunnerExists() const {
    if (m_runnerPath.size() >= 2 && m_runnerPath[0] == '\\' && m_runnerPath[1] == '\\')
        return true; // a UNC path counts as existing
    const DWORD attributes = GetFileAttributesA(m_runnerPath.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ToolRunner::StartCapture(const std::string& command, const std::string& arguments,
                              const std::string& folder, bool showConsole, DWORD* error) {
    CaptureJob* job = nullptr;
    for (auto& j : m_jobs)
        if (!job && j->IsFree())
            job = j.get();
    if (!job) {
        *error = ERROR_BUSY;
        return false;
    }
    if (!job->Open(1)) {
        *error = ERROR_BUSY;
        return false;
    }
    CaptureJob::StartInfo info;
    info.runnerPath = m_runnerPath;
    info.command = command;
    info.arguments = arguments;
    info.folder = folder;
    info.showConsole = showConsole;
    info.textCapacity = m_textCapacity;
    const int key = job->ChannelKey();
    if (!job->Start(info, error))
        return false;
    if (key == 1 || key == 2) {
        m_paneFolders[key] = folder;
        m_lastPaneKey = key;
    }
    return true;
}

std::string ToolRunner::PaneFolder(int key) const {
    return key == 1 || key == 2 ? m_paneFolders[key] : std::string();
}

bool ToolRunner::StartProcess(const ToolRequest& request, int kind, const std::string& folder,
                              DWORD* error) {
    const std::string commandLine = Trimmed("\"" + request.command + "\" " + request.argument);
    std::string buffer = commandLine;
    const char* dir = folder.empty() ? nullptr : folder.c_str();
    PROCESS_INFORMATION pi = {};
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    BOOL ok;
    if (kind == kWindowed) {
        SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
        ok = CreateProcessA(nullptr, &buffer[0], &sa, &sa, TRUE,
                            CREATE_DEFAULT_ERROR_MODE | NORMAL_PRIORITY_CLASS, nullptr, dir, &si,
                            &pi);
    } else {
        char title[MAX_PATH];
        lstrcpynA(title, request.command.c_str(), sizeof title);
        si.lpTitle = title;
        if (!request.consoleWindow) {
            si.dwFlags = STARTF_USESHOWWINDOW;
            si.wShowWindow = SW_HIDE;
        }
        ok = CreateProcessA(nullptr, &buffer[0], nullptr, nullptr, TRUE,
                            CREATE_DEFAULT_ERROR_MODE | NORMAL_PRIORITY_CLASS | CREATE_NEW_CONSOLE,
                            nullptr, dir, &si, &pi);
    }
    if (!ok) {
        *error = GetLastError();
        return false;
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

bool ToolRunner::Run(const ToolRequest& request, HWND owner) {
    const int kind = ExecutableKind(request.command.c_str());
    const std::string folder = !request.initDir.empty() || kind == kNotProgram
                                   ? request.initDir
                                   : FxPathFolder(request.command);
    DWORD error = 0;
    bool ok;
    if (kind == kNotProgram) {
        SHELLEXECUTEINFOA sei = {};
        sei.cbSize = sizeof sei;
        sei.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
        sei.hwnd = owner;
        sei.lpVerb = "OPEN";
        sei.lpFile = request.command.c_str();
        sei.lpParameters = request.argument.empty() ? nullptr : request.argument.c_str();
        sei.lpDirectory = folder.empty() ? nullptr : folder.c_str();
        sei.nShow = SW_SHOWNORMAL;
        ok = ShellExecuteExA(&sei) != FALSE;
        if (!ok)
            error = GetLastError();
        else if (sei.hProcess)
            CloseHandle(sei.hProcess);
    } else if (kind == kConsole && request.captureOutput) {
        if (!RunnerExists()) {
            const std::string text = AfxFormat(AfxLoadString(IDS_TOOL_NO_RUNNER).c_str(),
                                               kRunnerFileName, request.name.c_str());
            AfxShowMessageBox(owner, text.c_str(), MB_OK | MB_ICONSTOP);
            return false;
        }
        ok = StartCapture(request.command, request.argument, folder, request.consoleWindow, &error);
    } else {
        ok = StartProcess(request, kind, folder, &error);
    }
    if (!ok) {
        const std::string text = AfxFormat(AfxLoadString(IDS_TOOL_RUN_FAILED).c_str(),
                                           request.name.c_str(), AfxSystemErrorText(error).c_str());
        AfxShowMessageBox(owner, text.c_str(), MB_OK | MB_ICONWARNING);
    }
    return ok;
}
