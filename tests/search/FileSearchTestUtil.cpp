// Helpers of the find-in-files tests.
#include "FileSearchTestUtil.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

CollectingChannels::CollectingChannels() {
    for (int i = 0; i < 4; ++i)
        m_slots[i].key = i + 1;
}

OutputChannel* CollectingChannels::AcquireOutputChannel(int key, OutputJob* job) {
    std::lock_guard<std::mutex> g(m_lock);
    if (key < 1 || key > 4)
        return nullptr;
    OutputChannel* c = &m_slots[key - 1];
    if (c->inUse) {
        const int first = key <= 2 ? 1 : 3;
        c = nullptr;
        for (int k = first; k < first + 2 && !c; ++k)
            if (!m_slots[k - 1].inUse)
                c = &m_slots[k - 1];
        if (!c)
            return nullptr;
    }
    c->inUse = true;
    c->job = job;
    return c;
}

void CollectingChannels::ReleaseOutputChannel(OutputChannel* channel) {
    std::lock_guard<std::mutex> g(m_lock);
    channel->inUse = false;
    channel->job = nullptr;
}

bool CollectingChannels::HasFreeOutputChannel(int key) const {
    const int first = key <= 2 ? 1 : 3;
    return !m_slots[first - 1].inUse || !m_slots[first].inUse;
}

bool CollectingChannels::IsOutputChannelBusy(int key) const {
    return m_slots[key - 1].inUse;
}

void CollectingChannels::AppendOutput(const OutputChannel* channel, const char* text, int length) {
    if (length < 0)
        length = static_cast<int>(std::strlen(text));
    const std::string piece(text, static_cast<size_t>(length));
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_text[channel->key - 1] += piece;
    }
    if (onAppend)
        onAppend(channel->key, piece);
}

void CollectingChannels::ClearOutput(const OutputChannel* channel) {
    std::lock_guard<std::mutex> g(m_lock);
    m_text[channel->key - 1].clear();
}

void CollectingChannels::StopOutputJob(int key) {
    OutputJob* job = m_slots[key - 1].job;
    if (job)
        job->Stop(false);
}

std::string CollectingChannels::Text(int key) {
    std::lock_guard<std::mutex> g(m_lock);
    return m_text[key - 1];
}

bool WaitForFileSearch() {
    for (int i = 0; i < 4000; ++i) {
        if (!FxFileSearchSlot(0).IsBusy() && !FxFileSearchSlot(1).IsBusy())
            return true;
        Sleep(5);
    }
    return false;
}

namespace {

void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (!std::wcscmp(fd.cFileName, L".") || !std::wcscmp(fd.cFileName, L".."))
                continue;
            const std::wstring p = dir + L"\\" + fd.cFileName;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(p);
            } else {
                SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(p.c_str());
            }
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(dir.c_str());
}

} // namespace

ScratchDir::ScratchDir() {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    static int counter = 0;
    char name[MAX_PATH];
    wsprintfA(name, "%sqvfif%lu_%d", tmp, GetCurrentProcessId(), ++counter);
    m_path = name;
    CreateDirectoryA(m_path.c_str(), nullptr);
}

ScratchDir::~ScratchDir() {
    wchar_t w[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, m_path.c_str(), -1, w, MAX_PATH);
    RemoveTree(std::wstring(L"\\\\?\\") + w);
}

void ScratchDir::Write(const std::string& rel, const std::string& bytes) const {
    HANDLE h = CreateFileA(File(rel).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD wrote = 0;
    if (h != INVALID_HANDLE_VALUE) {
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr);
        CloseHandle(h);
    }
}

std::string ScratchDir::Read(const std::string& rel) const {
    HANDLE h = CreateFileA(File(rel).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string out(GetFileSize(h, nullptr), '\0');
    DWORD got = 0;
    if (!out.empty())
        ReadFile(h, &out[0], static_cast<DWORD>(out.size()), &got, nullptr);
    CloseHandle(h);
    return out;
}

void ScratchDir::MakeDir(const std::string& rel) const {
    CreateDirectoryA(File(rel).c_str(), nullptr);
}

std::vector<std::string> ScratchDir::List(const std::string& rel) const {
    std::vector<std::string> out;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(((rel.empty() ? m_path : File(rel)) + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (std::strcmp(fd.cFileName, ".") && std::strcmp(fd.cFileName, ".."))
                out.push_back(fd.cFileName);
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    std::sort(out.begin(), out.end());
    return out;
}

namespace {

std::wstring Wide(const std::string& s, UINT codePage = CP_ACP) {
    std::wstring w(s.size() + 1, L'\0');
    w.resize(static_cast<size_t>(
        MultiByteToWideChar(codePage, 0, s.c_str(), -1, &w[0], static_cast<int>(w.size())) - 1));
    return w;
}

bool IsFolder(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeJunction(const std::string& link, const std::string& target) {
    if (!CreateDirectoryA(link.c_str(), nullptr))
        return false;
    HANDLE h = CreateFileA(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    bool ok = false;
    if (h != INVALID_HANDLE_VALUE) {
        // A mount point's data: the substitute name, then an empty print name.
        const std::wstring name = L"\\??\\" + Wide(target);
        const WORD bytes = static_cast<WORD>(name.size() * 2);
        std::vector<char> data(16 + bytes + 4, 0);
        const DWORD tag = 0xA0000003; // IO_REPARSE_TAG_MOUNT_POINT
        const WORD dataLength = static_cast<WORD>(8 + bytes + 4);
        const WORD fields[4] = {0, bytes, static_cast<WORD>(bytes + 2), 0};
        std::memcpy(&data[0], &tag, 4);
        std::memcpy(&data[4], &dataLength, 2);
        std::memcpy(&data[8], fields, 8);
        std::memcpy(&data[16], name.data(), bytes);
        DWORD got = 0;
        ok = DeviceIoControl(h, 0x000900A4 /* FSCTL_SET_REPARSE_POINT */, data.data(),
                             static_cast<DWORD>(data.size()), nullptr, 0, &got, nullptr) != FALSE;
        CloseHandle(h);
    }
    if (!ok)
        RemoveDirectoryA(link.c_str());
    return ok;
}

// Starts a program of the host system under Wine with the arguments given as host paths. Wine
// does not follow such a process: the caller waits for what it does.
bool RunHostProgram(const char* program, const std::vector<std::string>& winPaths,
                    const char* options) {
    using UnixName = char*(CDECL*)(const WCHAR*);
    using DosName = WCHAR*(CDECL*)(const char*);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_unix_file_name")));
    const auto dosName = reinterpret_cast<DosName>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_dos_file_name")));
    if (!unixName || !dosName)
        return false;
    WCHAR* exe = dosName(program);
    if (!exe)
        return false;
    std::wstring cmd = L"x " + Wide(options);
    for (const std::string& p : winPaths) {
        char* u = unixName(Wide(p).c_str());
        if (!u) {
            HeapFree(GetProcessHeap(), 0, exe);
            return false;
        }
        cmd += L" \"" + Wide(u, CP_UTF8) + L"\"";
        HeapFree(GetProcessHeap(), 0, u);
    }
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    const bool started =
        CreateProcessW(exe, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    HeapFree(GetProcessHeap(), 0, exe);
    if (!started)
        return false;
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return true;
}

} // namespace

FolderLink::FolderLink(const std::string& link, const std::string& target) : m_link(link) {
    // A system without symbolic links may still say it made one.
    using MakeLink = BOOLEAN(WINAPI*)(const char*, const char*, DWORD);
    const auto makeLink = reinterpret_cast<MakeLink>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "CreateSymbolicLinkA")));
    if (makeLink && makeLink(link.c_str(), target.c_str(), 1 /* a folder */) && IsFolder(link)) {
        m_made = true;
        return;
    }
    RemoveDirectoryA(link.c_str());
    if (MakeJunction(link, target) && IsFolder(link)) {
        m_made = true;
        return;
    }
    if (RunHostProgram("/bin/ln", {target, link}, "-s")) {
        for (int i = 0; i < 500 && !IsFolder(link); ++i)
            Sleep(10);
        m_host = IsFolder(link);
    }
    m_made = m_host;
}

FolderLink::~FolderLink() {
    if (!m_made)
        return;
    if (m_host) {
        if (RunHostProgram("/bin/rm", {m_link}, "-f"))
            for (int i = 0; i < 500 && IsFolder(m_link); ++i)
                Sleep(10);
    } else {
        RemoveDirectoryA(m_link.c_str());
    }
}

std::string AsUtf8(const std::string& ansi, bool mark) {
    std::wstring w(ansi.size() + 1, L'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &w[0],
                                      static_cast<int>(w.size()));
    std::string out(static_cast<size_t>(n) * 3 + 3, '\0');
    const int b = WideCharToMultiByte(CP_UTF8, 0, w.data(), n, &out[0],
                                      static_cast<int>(out.size()), nullptr, nullptr);
    out.resize(static_cast<size_t>(b));
    return mark ? "\xEF\xBB\xBF" + out : out;
}

std::string AsUtf16(const std::string& ansi, bool bigEndian) {
    std::wstring w(ansi.size() + 1, L'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &w[0],
                                      static_cast<int>(w.size()));
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (int i = 0; i < n; ++i) {
        const unsigned u = static_cast<unsigned>(w[static_cast<size_t>(i)]);
        const char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

FxFileSearch Request(const std::string& find, const std::string& folder,
                     const std::string& filters) {
    FxFileSearch r;
    r.find = find;
    r.folder = folder;
    r.filters = filters;
    r.texts = FxLoadFileSearchTexts();
    return r;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    size_t at = 0;
    for (;;) {
        const size_t nl = text.find('\n', at);
        if (nl == std::string::npos) {
            out.push_back(text.substr(at));
            return out;
        }
        out.push_back(text.substr(at, nl - at));
        at = nl + 1;
    }
}
