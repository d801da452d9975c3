// The worker of find and replace in files: the folder walk, the encodings, matching line by
// line, the output lines and the rewriting of changed files. Runs on the job's own thread and
// touches nothing but its request, its files and its output channel. Layer: search/.
#include "search/FileSearch.h"

#include "common/LeadBytes.h"
#include "common/SysFile.h"
#include "search/LineMatcher.h"
#include "search/ReplaceWriter.h"
#include "search/SearchErrors.h"
#include "search/UnitMatcher.h"
#include "textdoc/Utf8.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <memory>
#include <new>
#include <set>
#include <tuple>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

const int kMaxDepth = 64;
const size_t kMaxLineOut = 8192;
const size_t kPiece = 16384; // hit lines are sent in pieces of about this size
// Files are searched a window of this size at a time (grown for a line that does not fit in
// one); the encoding is told from the first window.
const size_t kWindow = 64u << 20;
// The most a window grows to: a line is searched whole, so it must fit in one view, and its
// length in 32 bits with its line break. A 32-bit process usually fails to map far less.
const uint64_t kMaxWindow = 0x80000000ull + 0x10000;
const size_t kMaxLine = 0x7FFFFFFF;

// A hit's header is "\n\"path\"(line,column)" and the file's encoding code.
const char* const kCodes[4] = {"(A):\t", "(U8):\t", "(U):\t", "(UBE):\t"};

enum Enc { EncAnsi = 0, EncUtf8, EncUtf16, EncUtf16BE };

std::string Format(const std::string& fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    va_list ap2;
    va_copy(ap2, ap);
    const int n = std::vsnprintf(nullptr, 0, fmt.c_str(), ap);
    va_end(ap);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(&out[0], out.size(), fmt.c_str(), ap2);
        out.resize(static_cast<size_t>(n));
    }
    va_end(ap2);
    return out;
}

std::wstring ToWide(const std::string& s) {
    if (s.empty())
        return std::wstring();
    const int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), &w[0], n);
    return w;
}

// ANSI text of wide text; *lossy set when some character has no exact ANSI form.
std::string ToAnsi(const wchar_t* w, int len, bool* lossy) {
    if (lossy)
        *lossy = false;
    if (len <= 0)
        return std::string();
    const int n = WideCharToMultiByte(CP_ACP, 0, w, len, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n > 0 ? n : 0), '\0');
    BOOL usedDefault = FALSE;
    if (n > 0)
        WideCharToMultiByte(CP_ACP, lossy ? WC_NO_BEST_FIT_CHARS : 0, w, len, &s[0], n, nullptr,
                            lossy ? &usedDefault : nullptr);
    if (lossy)
        *lossy = usedDefault != FALSE;
    return s;
}

std::string SystemText(DWORD error) {
    char* buf = nullptr;
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, 0, reinterpret_cast<char*>(&buf), 0, nullptr);
    std::string s =
        n && buf ? std::string(buf, n) : Format("%lu", static_cast<unsigned long>(error));
    if (buf)
        LocalFree(buf);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ' ||
                          s.back() == '.' || s.back() == '\xa1'))
        s.pop_back();
    return s;
}

// Delimiter text as the byte matcher takes it: zero-terminated codes, a double-byte character
// packed as lead | trail << 8.
std::vector<uint16_t> PackDelimiters(const std::string& d) {
    std::vector<uint16_t> out;
    const int32_t len = static_cast<int32_t>(d.size());
    for (int32_t i = 0; i < len;) {
        const int cl = FxCharLen(d.data(), static_cast<size_t>(i), static_cast<size_t>(len));
        const unsigned char b = static_cast<unsigned char>(d[static_cast<size_t>(i)]);
        if (cl == 2)
            out.push_back(static_cast<uint16_t>(
                b | static_cast<unsigned char>(d[static_cast<size_t>(i) + 1]) << 8));
        else if (b != ' ' && b != '\t')
            out.push_back(b);
        i += cl;
    }
    out.push_back(0);
    return out;
}

// One UTF-8 sequence at the start of b (n > 0 bytes): its code point and its length. Only a
// well-formed sequence (no overlong form, at most U+10FFFF) is a character; any other byte
// stands alone for U+FFFD, which no ANSI text holds, so that a stray lead or continuation byte
// never matches a character of the pattern.
size_t DecodeUtf8Sequence(const unsigned char* b, size_t n, uint32_t* cp) {
    *cp = 0xFFFD;
    const unsigned char b0 = b[0];
    if (b0 < 0x80) {
        *cp = b0;
        return 1;
    }
    size_t len;
    uint32_t value, least;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        value = b0 & 0x1Fu;
        least = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        value = b0 & 0x0Fu;
        least = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        value = b0 & 0x07u;
        least = 0x10000;
    } else {
        return 1;
    }
    if (len > n)
        return 1;
    for (size_t k = 1; k < len; ++k) {
        if ((b[k] & 0xC0) != 0x80)
            return 1;
        value = value << 6 | (b[k] & 0x3Fu);
    }
    if (value < least || value > 0x10FFFF)
        return 1;
    *cp = value;
    return len;
}

// UTF-8 of UTF-16 units, a surrogate pair as the one four-byte sequence of its character.
std::string EncodeUtf8WithPairs(const wchar_t* w, size_t n) {
    std::string out;
    size_t run = 0; // units before i not yet encoded, none of them part of a pair
    const auto flushRun = [&](size_t end) {
        if (run == end)
            return;
        const uint16_t* u = reinterpret_cast<const uint16_t*>(w) + run;
        const size_t bytes = EncodeUtf8(u, end - run, nullptr, 0);
        const size_t at = out.size();
        out.resize(at + bytes);
        EncodeUtf8(u, end - run, &out[at], bytes);
    };
    for (size_t i = 0; i < n; ++i) {
        const uint32_t hi = static_cast<uint16_t>(w[i]);
        if (hi < 0xD800 || hi > 0xDBFF || i + 1 >= n)
            continue;
        const uint32_t lo = static_cast<uint16_t>(w[i + 1]);
        if (lo < 0xDC00 || lo > 0xDFFF)
            continue;
        flushRun(i);
        const uint32_t cp = 0x10000 + ((hi - 0xD800) << 10) + (lo - 0xDC00);
        out += static_cast<char>(0xF0 | cp >> 18);
        out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
        run = i + 2;
        ++i;
    }
    flushRun(n);
    return out;
}

// A folder or file as the file system knows it, whatever path reached it: volume and index.
using FileIdentity = std::tuple<DWORD, DWORD, DWORD>;

bool IdentityOf(const std::wstring& path, FileIdentity* id) {
    HANDLE h = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    const bool ok = GetFileInformationByHandle(h, &info) != FALSE &&
                    (info.nFileIndexHigh != 0 || info.nFileIndexLow != 0);
    CloseHandle(h);
    if (ok)
        *id = FileIdentity(info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow);
    return ok;
}

bool SamePathIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() &&
           CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                          b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

// A full path in the form the system takes at any length ("\\?\" or "\\?\UNC\"), ending
// with "\".
std::wstring LongFolderPath(const std::wstring& folder) {
    std::wstring out = folder;
    std::vector<wchar_t> full(32768);
    const DWORD n = GetFullPathNameW(folder.c_str(), 32768, full.data(), nullptr);
    if (n > 0 && n < 32768)
        out = full.data();
    if (out.compare(0, 4, L"\\\\?\\") != 0) {
        if (out.compare(0, 2, L"\\\\") == 0)
            out = L"\\\\?\\UNC\\" + out.substr(2);
        else
            out = L"\\\\?\\" + out;
    }
    if (out.back() != L'\\')
        out += L'\\';
    return out;
}

// Makes the folder and those above it that are missing.
bool MakeFolders(const std::wstring& folder) {
    std::wstring f = folder;
    while (!f.empty() && f.back() == L'\\')
        f.pop_back();
    if (f.empty())
        return false;
    // With a trailing "\" the root of a drive reads as a folder too.
    const DWORD attrs = GetFileAttributesW((f + L'\\').c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES)
        return (attrs & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const size_t slash = f.find_last_of(L'\\');
    if (slash == std::wstring::npos || slash < 4 || !MakeFolders(f.substr(0, slash)))
        return false;
    return CreateDirectoryW(f.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// The index just past the line break that starts at p (CR LF, CR or LF), for bytes.
inline size_t NextLineStart(const char* base, size_t eol, size_t size) {
    if (eol >= size)
        return size;
    if (base[eol] == '\r' && eol + 1 < size && base[eol + 1] == '\n')
        return eol + 2;
    return eol + 1;
}

// The first CR or LF at or after from, or size.
inline size_t LineEnd(const char* base, size_t from, size_t size) {
    size_t i = from;
#ifdef __SSE2__
    const __m128i lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r');
    for (; i + 16 <= size; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i));
        const unsigned m = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr))));
        if (m)
            return i + static_cast<size_t>(__builtin_ctz(m));
    }
#endif
    for (; i < size; ++i) {
        const char c = base[i];
        if (c == '\n' || c == '\r')
            return i;
    }
    return size;
}

// The start of the line that holds byte c, going forward from the line start ls; *line grows by
// the line breaks passed (CR LF, lone CR, lone LF each one).
size_t LineStartOf(const char* base, size_t ls, size_t c, int32_t* line) {
    size_t start = ls;
    const auto breakAt = [&](size_t p) {
        // An LF right after a CR ends the same break.
        if (base[p] == '\n' && p > ls && base[p - 1] == '\r')
            start = p + 1;
        else {
            ++*line;
            start = p + 1;
        }
    };
    size_t i = ls;
#ifdef __SSE2__
    const __m128i lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r');
    for (; i + 16 <= c; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i));
        unsigned m = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr))));
        while (m) {
            breakAt(i + static_cast<size_t>(__builtin_ctz(m)));
            m &= m - 1;
        }
    }
#endif
    for (; i < c; ++i)
        if (base[i] == '\n' || base[i] == '\r')
            breakAt(i);
    return start;
}

// The 16-bit unit i of UTF-16 text in either byte order.
inline wchar_t UnitAt(const char* base, size_t i, bool bigEndian) {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(base) + i * 2;
    return static_cast<wchar_t>(bigEndian ? (b[0] << 8 | b[1]) : (b[0] | b[1] << 8));
}

// Where a window of text that does not end the file is cut: just after its last line break, in
// bytes; 0 when it holds none. A CR at its very end may be the first half of a CR LF pair and is
// left to the next window. Neither a UTF-8 sequence nor a surrogate pair holds a CR or LF, so a
// cut never splits a character.
size_t CutAfterLastBreak(const char* base, size_t size, bool utf16, bool bigEndian) {
    if (!utf16) {
        size_t cut = base[size - 1] == '\r' ? size - 1 : size;
        while (cut > 0 && base[cut - 1] != '\n' && base[cut - 1] != '\r')
            --cut;
        return cut;
    }
    const size_t units = size / 2;
    if (units == 0)
        return 0;
    size_t cut = UnitAt(base, units - 1, bigEndian) == L'\r' ? units - 1 : units;
    while (cut > 0) {
        const wchar_t c = UnitAt(base, cut - 1, bigEndian);
        if (c == L'\n' || c == L'\r')
            break;
        --cut;
    }
    return cut * 2;
}

// A read-only mapping of one file, seen whole or through a window moved along it.
struct MappedFile {
    HANDLE file = INVALID_HANDLE_VALUE;
    HANDLE map = nullptr;
    const char* base = nullptr; // the view: `size` bytes of the file from `offset`
    size_t size = 0;
    uint64_t offset = 0;
    uint64_t fileSize = 0;
    const char* view = nullptr; // where the view was mapped (at or before base)
    ~MappedFile() { Close(); }
    // Maps [from, from + len) of the file (cut at its end); false when it cannot be mapped.
    bool View(uint64_t from, uint64_t len) {
        if (view)
            UnmapViewOfFile(view);
        view = base = nullptr;
        size = 0;
        if (len > fileSize - from)
            len = fileSize - from;
        static const uint64_t grain = [] {
            SYSTEM_INFO si;
            GetSystemInfo(&si);
            return static_cast<uint64_t>(si.dwAllocationGranularity);
        }();
        const uint64_t at = from - from % grain;
        const uint64_t bytes = from - at + len;
        if (bytes > static_cast<uint64_t>(PTRDIFF_MAX))
            return false;
        view = static_cast<const char*>(
            MapViewOfFile(map, FILE_MAP_READ, static_cast<DWORD>(at >> 32), static_cast<DWORD>(at),
                          static_cast<SIZE_T>(bytes)));
        if (!view)
            return false;
        base = view + (from - at);
        size = static_cast<size_t>(len);
        offset = from;
        return true;
    }
    void Close() {
        if (view)
            UnmapViewOfFile(view);
        if (map)
            CloseHandle(map);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        view = base = nullptr;
        map = nullptr;
        file = INVALID_HANDLE_VALUE;
    }
};

// One pattern prepared for one filter's delimiters, in both forms.
struct PreparedPattern {
    std::vector<uint16_t> delims;
    FxLineMatcher bytes;
    FxUnitMatcher units;
};

class Worker {
public:
    Worker(FxFileSearchJob& job, const FxFileSearch& req, const std::atomic<bool>& stop)
        : m_job(job), m_req(req), m_stop(stop) {
        // UTF-16 text is cut between units: windows hold an even number of bytes.
        if (req.window)
            m_window = (static_cast<uint64_t>(req.window) + 1) & ~1ull;
        if (req.maxWindow)
            m_maxWindow = (static_cast<uint64_t>(req.maxWindow) + 1) & ~1ull;
        if (m_maxWindow < m_window)
            m_maxWindow = m_window;
    }
    void Run();

private:
    // Text goes out in pieces: hit lines gather up to kPiece bytes, every other line goes out
    // at once with what has gathered before it. Each send first yields the time slice.
    void Queue(const std::string& s) {
        m_pending += s;
        if (m_pending.size() >= kPiece)
            Flush();
    }
    void Send(const std::string& s) {
        m_pending += s;
        Flush();
    }
    void Flush() {
        if (m_pending.empty())
            return;
        Sleep(0);
        m_job.Append(m_pending.data(), static_cast<int>(m_pending.size()));
        m_pending.clear();
    }
    bool Stopped() const { return m_stop.load(std::memory_order_relaxed); }
    void Walk(const std::wstring& dir, int depth);
    void SearchFile(const std::wstring& path, PreparedPattern& pat);
    // Searches the file a stretch of whole lines at a time, in its encoding.
    void SearchWindows(MappedFile& f, PreparedPattern& pat, Enc enc);
    // One stretch of whole lines of an ANSI file, seen at f.base; `last` when it ends the file.
    // Replace: the file's bytes from `copied` on are not yet written.
    void SearchAnsiLines(MappedFile& f, PreparedPattern& pat, bool last, int32_t& line,
                         uint64_t& copied);
    // Replace: writes the file's bytes [from, to), a window at a time.
    void OutFileBytes(MappedFile& f, uint64_t from, uint64_t to);
    // The same for UTF-8 and UTF-16 text.
    void SearchUnitLines(MappedFile& f, PreparedPattern& pat, Enc enc, bool last, int32_t& line,
                         uint64_t& copied);
    void Hit(int32_t line, int32_t col, const std::string& text);
    bool Out(const void* data, size_t len);
    bool OutUnits(const wchar_t* w, size_t n, Enc enc);
    std::string DisplayPath(const std::wstring& path, bool* lossy) const;
    std::wstring BackupPathOf(const std::wstring& path) const;
    void Skip(const std::string& fmt, const std::string& path, DWORD error);
    void Failed(const std::string& reason);

    FxFileSearchJob& m_job;
    const FxFileSearch& m_req;
    const std::atomic<bool>& m_stop;
    std::vector<std::unique_ptr<PreparedPattern>> m_patterns;
    int m_filesSearched = 0, m_totalHits = 0, m_fileHits = 0, m_skipped = 0;
    std::wstring m_root;       // the searched folder, long form, ending with "\"
    std::wstring m_backupRoot; // the backup folder, long form, ending with "\"; empty: none
    std::set<FileIdentity> m_visitedFolders;
    std::string m_path; // the current file's display path
    Enc m_enc = EncAnsi;
    std::string m_pending; // hit lines not yet sent
    FxReplaceWriter m_writer;
    bool m_writeFailed = false;
    DWORD m_writeError = 0;
    bool m_matchFailed = false;
    int m_matchError = 0;
    DWORD m_viewError = 0;   // a window of the file being searched could not be mapped
    int32_t m_longLine = -1; // the line (from 0) too long to search; the file ends there
    uint64_t m_window = kWindow, m_maxWindow = kMaxWindow; // see FxFileSearch::window
};

std::string Worker::DisplayPath(const std::wstring& path, bool* lossy) const {
    const wchar_t* p = path.c_str();
    std::wstring shown;
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0)
        shown = L"\\\\" + path.substr(8);
    else if (path.compare(0, 4, L"\\\\?\\") == 0)
        shown = path.substr(4);
    else
        shown = p;
    return ToAnsi(shown.data(), static_cast<int>(shown.size()), lossy);
}

void Worker::Skip(const std::string& fmt, const std::string& path, DWORD error) {
    ++m_skipped;
    Send(Format(fmt, path.c_str(), SystemText(error).c_str()));
}

void Worker::Failed(const std::string& reason) {
    Send(Format(m_req.texts.failed, reason.c_str()));
}

void Worker::Run() {
    const std::vector<FxFilterPattern>& filters = m_req.patterns;
    if (filters.empty())
        return;
    const std::string& find = m_req.find;
    try {
        for (const FxFilterPattern& f : filters) {
            auto p = std::make_unique<PreparedPattern>();
            p->delims = PackDelimiters(f.delimiters);
            FxMatchOptions o;
            o.matchCase = m_req.matchCase;
            o.wholeWord = m_req.wholeWord;
            o.regExp = m_req.regExp;
            o.delimiters = p->delims.data();
            const bool ok =
                p->bytes.Prepare(find.data(), static_cast<int32_t>(find.size()), o) &&
                p->units.Prepare(find.data(), static_cast<int32_t>(find.size()), m_req.matchCase,
                                 m_req.wholeWord, m_req.regExp, f.delimiters.c_str());
            if (!ok) {
                const int e = p->bytes.Error() ? p->bytes.Error() : p->units.Error();
                char msg[1024] = "";
                const unsigned id = FxSearchErrorStringId(e);
                if (id)
                    LoadStringA(GetModuleHandleA(nullptr), id, msg, sizeof msg);
                Failed(Format(msg, find.c_str(), static_cast<int>(p->bytes.ErrorChar())));
                return;
            }
            m_patterns.push_back(std::move(p));
        }
        if (m_req.replace)
            Send(Format(m_req.texts.startReplace, m_req.folder.c_str(), m_req.filters.c_str(),
                        find.c_str(), m_req.replacement.c_str()));
        else
            Send(Format(m_req.texts.startFind, m_req.folder.c_str(), m_req.filters.c_str(),
                        find.c_str()));

        // The folder as a full path the system takes at any length.
        m_root = LongFolderPath(ToWide(m_req.folder));
        // A backup folder inside the searched tree is not searched: its backups would be
        // replaced in and backed up again. The searched folder itself as the backup folder is
        // still searched; its backups are made beside their files.
        if (m_req.replace && m_req.backup && !m_req.backupFolder.empty()) {
            m_backupRoot = LongFolderPath(ToWide(m_req.backupFolder));
            FileIdentity id, rootId;
            if (IdentityOf(m_backupRoot, &id) && !(IdentityOf(m_root, &rootId) && id == rootId))
                m_visitedFolders.insert(id);
        }
        Walk(m_root, 0);

        if (m_matchFailed) {
            char msg[1024] = "";
            LoadStringA(GetModuleHandleA(nullptr), FxSearchErrorStringId(m_matchError), msg,
                        sizeof msg);
            Failed(Format(msg, find.c_str(), 0));
        }
        if (m_req.replace)
            Send(Format(m_req.texts.endReplace, m_filesSearched, m_totalHits));
        else
            Send(Format(m_req.texts.endFind, m_filesSearched, m_totalHits));
        if (m_skipped > 0)
            Send(Format(m_req.texts.skippedCount, m_skipped));
    } catch (const std::bad_alloc&) {
        m_writer.Discard();
        Failed(m_req.texts.outOfMemory);
    }
}

void Worker::Walk(const std::wstring& dir, int depth) {
    if (Stopped() || depth > kMaxDepth || m_matchFailed)
        return;
    // A folder reached a second time, through a link (junction or symbolic link), is not
    // walked again; nor is a link back to a folder above it.
    FileIdentity id;
    if (IdentityOf(dir, &id) && !m_visitedFolders.insert(id).second)
        return;
    // The folder's files are listed before any of them is searched: a file that two filters
    // match is searched once, with the delimiters of the first, and what replacing writes into
    // the folder (temporary files, backups) is never searched itself.
    struct Entry {
        std::wstring name;
        size_t pattern;
        unsigned long long size;
    };
    std::vector<Entry> entries;
    std::set<std::wstring> listed;
    for (size_t pi = 0; pi < m_patterns.size() && !Stopped(); ++pi) {
        const std::wstring query = dir + ToWide(m_req.patterns[pi].pattern);
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW(query.c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE)
            continue;
        do {
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            // The system gives one entry the same name under every pattern.
            if (!listed.insert(fd.cFileName).second)
                continue;
            entries.push_back(
                {fd.cFileName, pi,
                 (static_cast<unsigned long long>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow});
        } while (!Stopped() && FindNextFileW(h, &fd));
        FindClose(h);
    }
    for (size_t i = 0; i < entries.size() && !Stopped() && !m_matchFailed; ++i) {
        const Entry& e = entries[i];
        const std::wstring path = dir + e.name;
        bool lossy = false;
        const std::string shown = DisplayPath(path, &lossy);
        if (lossy) {
            ++m_skipped;
            Send(Format(m_req.texts.skipName, shown.c_str()));
            continue;
        }
        if (e.size == 0)
            continue;
        m_path = shown;
        SearchFile(path, *m_patterns[e.pattern]);
    }
    if (!m_req.subFolders || Stopped() || m_matchFailed)
        return;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        if (!std::wcscmp(fd.cFileName, L".") || !std::wcscmp(fd.cFileName, L".."))
            continue;
        const std::wstring sub = dir + fd.cFileName + L"\\";
        if (!m_backupRoot.empty() && SamePathIgnoringCase(sub, m_backupRoot))
            continue;
        Walk(sub, depth + 1);
    } while (!Stopped() && !m_matchFailed && FindNextFileW(h, &fd));
    FindClose(h);
}

void Worker::SearchFile(const std::wstring& path, PreparedPattern& pat) {
    MappedFile f;
    // Others may read the file while it is searched; while it is replaced in, nobody may write.
    const DWORD share = m_req.replace ? FILE_SHARE_READ : FILE_SHARE_READ | FILE_SHARE_WRITE;
    f.file = CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                         FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (f.file == INVALID_HANDLE_VALUE) {
        Skip(m_req.texts.skipOpen, m_path, GetLastError());
        return;
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(f.file, &size)) {
        Skip(m_req.texts.skipOpen, m_path, GetLastError());
        return;
    }
    if (size.QuadPart == 0)
        return;
    f.fileSize = static_cast<uint64_t>(size.QuadPart);
    f.map = CreateFileMappingW(f.file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!f.map || !f.View(0, m_window)) {
        Skip(m_req.texts.skipOpen, m_path, GetLastError());
        return;
    }
    ++m_filesSearched;
    m_fileHits = 0;
    m_writeFailed = false;
    m_viewError = 0;
    m_longLine = -1;
    if (m_req.replace)
        m_writer.Begin(path);

    static const Enc kEncOf[5] = {EncAnsi, EncAnsi, EncUtf8, EncUtf16, EncUtf16BE};
    const int detected = DetectEncoding(f.base, f.size);
    const Enc enc = kEncOf[detected >= 0 && detected <= 4 ? detected : 1];
    if (!m_req.encodings[enc])
        return;
    SearchWindows(f, pat, enc);
    if (m_viewError) {
        // A window could not be mapped part-way: nothing of the file is replaced.
        Skip(m_req.texts.skipOpen, m_path, m_viewError);
        if (m_req.replace)
            m_writer.Discard();
        return;
    }
    if (m_longLine >= 0) {
        // The hits before the line have been sent; nothing of the file is replaced.
        ++m_skipped;
        Send(Format(m_req.replace ? m_req.texts.longLineReplace : m_req.texts.longLineFind,
                    m_path.c_str(), static_cast<int>(m_longLine + 1)));
        if (m_req.replace)
            m_writer.Discard();
        return;
    }

    const bool stopped = Stopped();
    if (m_fileHits > 0 || stopped) {
        if (stopped)
            Send(m_req.texts.stopped);
        else
            Send(Format(m_req.replace ? m_req.texts.fileReplaced : m_req.texts.fileFound,
                        m_fileHits));
    }
    if (!m_req.replace)
        return;
    if (m_writeFailed) {
        Skip(m_req.texts.skipWrite, m_path, m_writeError);
        return;
    }
    if (!m_writer.HasWritten() || stopped || m_matchFailed) {
        m_writer.Discard();
        return;
    }
    f.Close();
    std::wstring backup;
    if (m_req.backup) {
        backup = BackupPathOf(path);
        // A backup folder that cannot be made fails the commit, which then keeps the file.
        MakeFolders(backup.substr(0, backup.find_last_of(L'\\')));
    }
    bool backupFailed = false;
    const DWORD error = m_writer.Commit(backup, &backupFailed);
    if (error)
        Skip(m_req.texts.skipWrite, m_path, error);
    else if (backupFailed)
        Send(Format(m_req.texts.noBackup, m_path.c_str()));
}

// The backup's full path: beside the file, or with a backup folder, at the file's place below
// the searched folder repeated below the backup folder, so that two files of one name in
// different folders (several Makefiles) keep a backup each. The file's name has the dot of its
// extension turned into "_" and ".BAK" appended; nothing is ever cut.
std::wstring Worker::BackupPathOf(const std::wstring& path) const {
    const size_t nameAt = path.find_last_of(L'\\') + 1;
    std::wstring folder = path.substr(0, nameAt);
    if (!m_backupRoot.empty()) {
        // Every walked path starts with the searched folder.
        const std::wstring below = folder.compare(0, m_root.size(), m_root) == 0
                                       ? folder.substr(m_root.size())
                                       : std::wstring();
        folder = m_backupRoot + below;
    }
    std::wstring name = path.substr(nameAt);
    const size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos)
        name[dot] = L'_';
    return folder + name + L".BAK";
}

void Worker::Hit(int32_t line, int32_t col, const std::string& text) {
    ++m_totalHits;
    ++m_fileHits;
    char numbers[40];
    std::snprintf(numbers, sizeof numbers, "(%d,%d)", static_cast<int>(line + 1),
                  static_cast<int>(col + 1));
    std::string s;
    s.reserve(m_path.size() + text.size() + 56);
    s += "\n\"";
    s += m_path;
    s += '"';
    s += numbers;
    s += kCodes[m_enc];
    s += text;
    Queue(s);
}

bool Worker::Out(const void* data, size_t len) {
    if (m_writeFailed)
        return false;
    if (len == 0)
        return true;
    if (!m_writer.Write(data, len, &m_writeError)) {
        m_writeFailed = true;
        return false;
    }
    return true;
}

bool Worker::OutUnits(const wchar_t* w, size_t n, Enc enc) {
    if (enc == EncUtf16)
        return Out(w, n * 2);
    if (enc == EncUtf16BE) {
        std::vector<wchar_t> swapped(w, w + n);
        for (wchar_t& c : swapped)
            c = static_cast<wchar_t>((c >> 8 & 0xFF) | (c & 0xFF) << 8);
        return Out(swapped.data(), n * 2);
    }
    const std::string bytes = EncodeUtf8WithPairs(w, n);
    return Out(bytes.data(), bytes.size());
}

void Worker::OutFileBytes(MappedFile& f, uint64_t from, uint64_t to) {
    if (from >= f.offset && to <= f.offset + f.size) {
        Out(f.base + (from - f.offset), static_cast<size_t>(to - from));
        return;
    }
    // Bytes outside the stretch being searched (before the first hit): read through a second
    // view, so that the stretch stays where it is.
    MappedFile other;
    other.map = f.map;
    other.fileSize = f.fileSize;
    while (from < to && !m_writeFailed) {
        const uint64_t n = to - from < m_window ? to - from : m_window;
        if (!other.View(from, n)) {
            m_viewError = GetLastError() ? GetLastError() : ERROR_NOT_ENOUGH_MEMORY;
            m_writeFailed = true; // nothing more is written
            break;
        }
        Out(other.base, other.size);
        from += other.size;
    }
    other.map = nullptr; // f's
}

// A file goes a stretch of whole lines at a time: the window from the current line on, cut
// after its last line break, or grown until a break or the end of the file comes into it when one
// line fills it. A line that no window can hold (longer than the largest window, or than what
// this process can map) ends the search of the file at that line.
void Worker::SearchWindows(MappedFile& f, PreparedPattern& pat, Enc enc) {
    m_enc = enc;
    const bool utf16 = enc == EncUtf16 || enc == EncUtf16BE;
    int32_t line = 0;
    uint64_t copied = 0;
    uint64_t start = 0;
    uint64_t window = m_window;
    for (;;) {
        const bool inView =
            f.offset == start && f.base && (f.size == window || f.offset + f.size == f.fileSize);
        if (!inView && !f.View(start, window)) {
            if (window > m_window) {
                m_longLine = line; // the window grew for this line
                return;
            }
            m_viewError = GetLastError();
            if (!m_viewError)
                m_viewError = ERROR_NOT_ENOUGH_MEMORY;
            return;
        }
        const bool last = f.offset + f.size >= f.fileSize;
        if (!last) {
            const size_t cut = CutAfterLastBreak(f.base, f.size, utf16, enc == EncUtf16BE);
            if (cut == 0) {
                if (window >= m_maxWindow) {
                    m_longLine = line;
                    return;
                }
                window = window * 2 < m_maxWindow ? window * 2 : m_maxWindow;
                continue;
            }
            f.size = cut;
        }
        if (enc == EncAnsi)
            SearchAnsiLines(f, pat, last, line, copied);
        else
            SearchUnitLines(f, pat, enc, last, line, copied);
        if (last || Stopped() || m_matchFailed || m_longLine >= 0)
            break;
        ++line;
        start = f.offset + f.size;
        window = m_window;
    }
    if (m_req.replace && m_writer.HasWritten() && !Stopped() && !m_matchFailed && m_longLine < 0)
        OutFileBytes(f, copied, f.fileSize);
}

void Worker::SearchAnsiLines(MappedFile& f, PreparedPattern& pat, bool last, int32_t& line,
                             uint64_t& copied) {
    const char* base = f.base;
    const size_t size = f.size;
    FxLineMatcher& m = pat.bytes;
    size_t ls = 0; // the current line's start
    std::string rep;
    // A stretch that is not the last ends after a line break: no line starts at its end.
    while ((last ? ls <= size : ls < size) && !Stopped()) {
        // Lines without a candidate hold no match: skip to the line of the next candidate.
        if (m.HasPrefilter()) {
            const char* cand = m.NextCandidate(base + ls, base + size);
            const size_t c = static_cast<size_t>(cand - base);
            if (c >= size) {
                // The rest holds no match; its lines are counted for the next stretch.
                LineStartOf(base, ls, size, &line);
                --line;
                break;
            }
            ls = LineStartOf(base, ls, c, &line);
        }
        const size_t eol = LineEnd(base, ls, size);
        const char* text = base + ls;
        const int32_t len = static_cast<int32_t>(eol - ls);
        FxLineMatch hit;
        for (int32_t from = 0; from <= len && !Stopped();) {
            const FxLineMatcher::Result r = from == 0 ? m.FindFirst(text, len, from, len, hit)
                                                      : m.FindNext(text, len, from, len, hit);
            if (r == FxLineMatcher::Failed) {
                m_matchFailed = true;
                m_matchError = m.Error();
                return;
            }
            if (r != FxLineMatcher::Matched)
                break;
            Hit(line, hit.start,
                std::string(text, FxCutLength(text, static_cast<size_t>(len), kMaxLineOut)));
            if (m_req.replace) {
                m.Expand(m_req.replacement.data(), static_cast<int32_t>(m_req.replacement.size()),
                         text, hit, rep);
                const uint64_t at = f.offset + ls + static_cast<size_t>(hit.start);
                OutFileBytes(f, copied, at);
                Out(rep.data(), rep.size());
                copied = f.offset + ls + static_cast<size_t>(hit.end);
            }
            if (hit.end > hit.start)
                from = hit.end;
            else if (hit.end >= len)
                break;
            else
                from = hit.end +
                       FxCharLen(text, static_cast<size_t>(hit.end), static_cast<size_t>(len));
        }
        if (eol >= size)
            break;
        ls = NextLineStart(base, eol, size);
        if (!last && ls >= size)
            break; // the line after the stretch's last break starts the next stretch
        ++line;
    }
}

// UTF-8 and UTF-16 text: each line as UTF-16 units with, for UTF-8, the byte where each unit
// starts, so that text left alone is copied byte for byte. A stretch starts at a line's start,
// so at a character's start too.
void Worker::SearchUnitLines(MappedFile& f, PreparedPattern& pat, Enc enc, bool last, int32_t& line,
                             uint64_t& copied) {
    const char* base = f.base;
    const size_t size = f.size;
    const bool bigEndian = enc == EncUtf16BE;
    FxUnitMatcher& m = pat.units;
    std::vector<wchar_t> units;
    std::vector<size_t> byteOf; // byte offset in the view of each unit, and of the line's end
    size_t ls = 0;
    const size_t total = enc == EncUtf8 ? size : size / 2;
    const auto isCR = [&](size_t i) {
        return enc == EncUtf8 ? base[i] == '\r' : UnitAt(base, i, bigEndian) == L'\r';
    };
    const auto isLF = [&](size_t i) {
        return enc == EncUtf8 ? base[i] == '\n' : UnitAt(base, i, bigEndian) == L'\n';
    };
    std::wstring rep;
    // A stretch that is not the last ends after a line break: no line starts at its end.
    while ((last ? ls <= total : ls < total) && !Stopped()) {
        size_t eol = ls;
        if (enc == EncUtf8)
            eol = LineEnd(base, ls, size);
        else
            while (eol < total && !isCR(eol) && !isLF(eol))
                ++eol;
        // The line's units; one that cannot be held is as one too long to map.
        if (eol - ls > kMaxLine) {
            m_longLine = line;
            return;
        }
        try {
            units.clear();
            byteOf.clear();
            if (enc == EncUtf8) {
                const unsigned char* bytes = reinterpret_cast<const unsigned char*>(base);
                for (size_t i = ls; i < eol;) {
                    uint32_t cp = 0;
                    const size_t n = DecodeUtf8Sequence(bytes + i, eol - i, &cp);
                    if (cp >= 0x10000) {
                        // A character beyond the 16-bit range is a surrogate pair. Both halves
                        // map to its first byte, so that a rewritten file holds it whole or not
                        // at all.
                        units.push_back(static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10)));
                        units.push_back(static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
                        byteOf.push_back(i);
                        byteOf.push_back(i);
                    } else {
                        units.push_back(static_cast<wchar_t>(cp));
                        byteOf.push_back(i);
                    }
                    i += n;
                }
                byteOf.push_back(eol);
            } else {
                units.reserve(eol - ls);
                byteOf.reserve(eol - ls + 1);
                for (size_t i = ls; i < eol; ++i) {
                    units.push_back(UnitAt(base, i, bigEndian));
                    byteOf.push_back(i * 2);
                }
                byteOf.push_back(eol * 2);
            }
        } catch (const std::bad_alloc&) {
            units = std::vector<wchar_t>();
            byteOf = std::vector<size_t>();
            m_longLine = line;
            return;
        }
        // The mark at the start of the file is not matched, but counts as one column.
        int32_t skip = 0;
        if (f.offset == 0 && ls == 0 && !units.empty() && units[0] == 0xFEFF)
            skip = 1;
        const wchar_t* text = units.data() + skip;
        const int32_t len = static_cast<int32_t>(units.size()) - skip;
        m.SetLine(text, len);
        bool lineSent = false;
        std::string shown;
        for (int32_t from = 0; from <= len && !Stopped();) {
            int32_t start = 0, end = 0;
            const FxUnitMatcher::Result r = m.FindFirst(text, len, from, start, end);
            if (r == FxUnitMatcher::Failed) {
                m_matchFailed = true;
                m_matchError = m.Error();
                return;
            }
            if (r != FxUnitMatcher::Matched)
                break;
            if (!lineSent) {
                const int32_t n = std::min(len, static_cast<int32_t>(kMaxLineOut));
                shown = ToAnsi(text, n, nullptr);
                shown.resize(FxCutLength(shown.data(), shown.size(), kMaxLineOut));
                lineSent = true;
            }
            Hit(line, start + skip, shown);
            if (m_req.replace) {
                rep = m.Expand(m_req.replacement.data(),
                               static_cast<int32_t>(m_req.replacement.size()));
                OutFileBytes(f, copied, f.offset + byteOf[static_cast<size_t>(start + skip)]);
                OutUnits(rep.data(), rep.size(), enc);
                copied = f.offset + byteOf[static_cast<size_t>(end + skip)];
            }
            if (end > start)
                from = end;
            else if (end >= len)
                break;
            else
                from = end + 1;
        }
        if (eol >= total)
            break;
        ls = eol + ((isCR(eol) && eol + 1 < total && isLF(eol + 1)) ? 2 : 1);
        if (!last && ls >= total)
            break; // the line after the stretch's last break starts the next stretch
        ++line;
    }
}

} // namespace

void FxFileSearchJob::Run() {
    Worker worker(*this, m_request, m_stop);
    worker.Run();
}
