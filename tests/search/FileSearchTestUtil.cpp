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
