// The two find-in-files slots, starting and stopping their workers, and the filter list.
// Layer: search/.
#include "search/FileSearch.h"

#include "search/FileSearchIds.h"

#include <algorithm>
#include <cstring>

namespace {

std::string LoadText(UINT id) {
    char buf[1024];
    const int n = LoadStringA(GetModuleHandleA(nullptr), id, buf, sizeof buf);
    return std::string(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t'))
        --e;
    return s.substr(b, e - b);
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a.data(),
                          static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) == CSTR_EQUAL;
}

} // namespace

FxFileSearchTexts FxLoadFileSearchTexts() {
    FxFileSearchTexts t;
    t.startFind = LoadText(IDS_FIF_START_FIND);
    t.startReplace = LoadText(IDS_FIF_START_REPLACE);
    t.fileFound = LoadText(IDS_FIF_FILE_FOUND);
    t.fileReplaced = LoadText(IDS_FIF_FILE_REPLACED);
    t.stopped = LoadText(IDS_FIF_STOPPED);
    t.endFind = LoadText(IDS_FIF_END_FIND);
    t.endReplace = LoadText(IDS_FIF_END_REPLACE);
    t.failed = LoadText(IDS_FIF_FAILED);
    t.skipOpen = LoadText(IDS_FIF_SKIP_OPEN);
    t.skipName = LoadText(IDS_FIF_SKIP_NAME);
    t.skipWrite = LoadText(IDS_FIF_SKIP_WRITE);
    t.skippedCount = LoadText(IDS_FIF_SKIPPED_COUNT);
    t.noBackup = LoadText(IDS_FIF_NO_BACKUP);
    t.badPattern = LoadText(IDS_FIF_BAD_PATTERN);
    t.outOfMemory = LoadText(IDS_FIF_OUT_OF_MEMORY);
    t.longLineFind = LoadText(IDS_FIF_LONG_LINE_FIND);
    t.longLineReplace = LoadText(IDS_FIF_LONG_LINE_REPLACE);
    return t;
}

std::vector<std::string> FxSplitFilters(const std::string& list) {
    std::vector<std::string> out;
    size_t at = 0;
    while (at <= list.size()) {
        size_t semi = list.find(';', at);
        if (semi == std::string::npos)
            semi = list.size();
        const std::string piece = Trim(list.substr(at, semi - at));
        at = semi + 1;
        if (piece.empty())
            continue;
        if (piece == "*.*")
            return {piece};
        if (std::none_of(out.begin(), out.end(),
                         [&](const std::string& p) { return SameIgnoringCase(p, piece); }))
            out.push_back(piece);
    }
    return out;
}

FxFileSearchJob::~FxFileSearchJob() {
    Stop(true);
    if (m_thread)
        CloseHandle(m_thread);
}

bool FxFileSearchJob::Start(IOutputChannels* channels, FxFileSearch&& request) {
    if (m_running.load())
        return false;
    if (m_thread) {
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
        m_thread = nullptr;
    }
    m_channels = channels;
    if (!Open(request.outputKey))
        return false;
    ClearPane();
    m_request = std::move(request);
    m_stop = false;
    m_running = true;
    m_thread =
        CreateThread(nullptr, 0, &FxFileSearchJob::ThreadMain, this, CREATE_SUSPENDED, nullptr);
    if (!m_thread) {
        m_running = false;
        Close();
        return false;
    }
    ResumeThread(m_thread);
    return true;
}

void FxFileSearchJob::Stop(bool wait) {
    m_stop = true;
    if (!wait || !m_thread)
        return;
    // The worker may be sending text to a window of this thread: let such sends through while
    // waiting.
    for (;;) {
        const DWORD r = MsgWaitForMultipleObjects(1, &m_thread, FALSE, INFINITE, QS_SENDMESSAGE);
        if (r != WAIT_OBJECT_0 + 1)
            break;
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

DWORD WINAPI FxFileSearchJob::ThreadMain(void* self) {
    FxFileSearchJob* job = static_cast<FxFileSearchJob*>(self);
    job->Run();
    job->Close();
    job->m_running = false;
    return 0;
}

FxFileSearchJob& FxFileSearchSlot(int index) {
    static FxFileSearchJob slots[2];
    return slots[index & 1];
}

namespace {

bool StartInFreeSlot(IOutputChannels* channels, FxFileSearch&& request) {
    if (request.find.empty() || request.filters.empty() || request.folder.empty())
        return false;
    if (request.patterns.empty())
        for (const std::string& p : FxSplitFilters(request.filters))
            request.patterns.push_back({p, std::string()});
    if (request.texts.startFind.empty())
        request.texts = FxLoadFileSearchTexts();
    for (int i = 0; i < 2; ++i)
        if (!FxFileSearchSlot(i).IsBusy())
            return FxFileSearchSlot(i).Start(channels, std::move(request));
    return false;
}

} // namespace

bool StartFindInFiles(IOutputChannels* channels, FxFileSearch request) {
    request.replace = false;
    return StartInFreeSlot(channels, std::move(request));
}

bool StartReplaceInFiles(IOutputChannels* channels, FxFileSearch request) {
    request.replace = true;
    // Only the very same bytes leave every file as it was; a pattern never does, since its
    // text is not what it matches.
    if (!request.regExp && request.find == request.replacement && !request.find.empty())
        return true;
    return StartInFreeSlot(channels, std::move(request));
}

void StopFileSearch(bool wait) {
    for (int i = 0; i < 2; ++i)
        FxFileSearchSlot(i).Stop(false);
    if (wait)
        for (int i = 0; i < 2; ++i)
            FxFileSearchSlot(i).Stop(true);
}
