// Recovery copies: the snapshot of a document's text, the copy's file (text, info, seal) written
// through a temporary file, and reading it back. Layer: textdoc/, over common/SysFile.h and
// common/SysFolder.h.
#include "textdoc/RecoveryCopy.h"

#include "common/FxErrors.h"
#include "common/SysFile.h"
#include "common/SysFolder.h"
#include "common/SysText.h"
#include "textdoc/Dbcs.h"
#include "textdoc/FxEditDoc.h"
#include "textdoc/MappedBuffer.h"
#include "textdoc/Utf8.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// --- The snapshot ------------------------------------------------------------------------------

// Memory for the text of snapshots. Fresh memory costs a page fault per page on its first touch,
// several times the cost of copying into it; a large buffer is therefore kept once its snapshot
// is written, and the writer can fault one in ahead on its thread, so that the user-interface
// thread only copies. Small snapshots take plain heap memory.
class SnapshotMemory {
public:
    static const size_t kPooled = 8 << 20; // buffers from this size on are kept

    // A buffer of at least `need` bytes and its capacity; throws std::bad_alloc.
    static char* Take(size_t need, size_t& capacity) {
        if (need >= kPooled) {
            std::lock_guard<std::mutex> lock(s_mutex);
            for (size_t i = 0; i < s_free.size(); ++i) {
                Block b = s_free[i];
                // A much larger buffer is left for a larger document.
                if (b.capacity >= need && b.capacity / 4 <= need) {
                    s_free.erase(s_free.begin() + static_cast<std::ptrdiff_t>(i));
                    capacity = b.capacity;
                    return b.data;
                }
            }
        }
        capacity = Rounded(need);
        char* p = static_cast<char*>(std::malloc(capacity));
        if (!p)
            throw std::bad_alloc();
        return p;
    }
    static void Give(char* data, size_t capacity) {
        if (!data)
            return;
        if (capacity >= kPooled) {
            std::lock_guard<std::mutex> lock(s_mutex);
            if (s_free.size() < kKept) {
                s_free.push_back(Block{data, capacity});
                return;
            }
        }
        std::free(data);
    }
    // Faults in a buffer for a text of `bytes` unless one is kept for it already.
    static void Prepare(size_t bytes) {
        if (bytes < kPooled)
            return;
        {
            std::lock_guard<std::mutex> lock(s_mutex);
            for (const Block& b : s_free)
                if (b.capacity >= bytes && b.capacity / 4 <= bytes)
                    return;
        }
        const size_t capacity = Rounded(bytes);
        char* p = static_cast<char*>(std::malloc(capacity));
        if (!p)
            return;
        for (size_t i = 0; i < capacity; i += 4096)
            p[i] = 0;
        Give(p, capacity);
    }
    static void Release() {
        std::lock_guard<std::mutex> lock(s_mutex);
        for (const Block& b : s_free)
            std::free(b.data);
        s_free.clear();
    }

private:
    struct Block {
        char* data;
        size_t capacity;
    };
    static const size_t kKept = 2;
    // Large texts get room to grow by typing before they need a new buffer.
    static size_t Rounded(size_t need) {
        if (need < kPooled)
            return need > 0 ? need : 1;
        size_t extra = need / 16;
        return need + extra > need ? need + extra : need;
    }
    static std::mutex s_mutex;
    static std::vector<Block> s_free;
};

std::mutex SnapshotMemory::s_mutex;
std::vector<SnapshotMemory::Block> SnapshotMemory::s_free;

// Copies a line's bytes into a buffer that has kCopySlack bytes to spare after them. Most lines
// are short, and a call of memcpy would cost more than their bytes: lines up to a few hundred
// bytes go in 16-byte moves, which may read past the line but not past its block.
const size_t kCopySlack = 16;
const size_t kInlineCopy = 512;

inline void CopyLine(char* out, const char* hardEnd, const FxLine& line, const FxTextBlock* b,
                     size_t len) {
#if defined(__SSE2__)
    const size_t moved = (len + 15) & ~static_cast<size_t>(15);
    if (len <= kInlineCopy && b && out + moved <= hardEnd &&
        line.data + moved <= reinterpret_cast<const char*>(b + 1) + b->dataSize) {
        const char* from = line.data;
        for (size_t i = 0; i < len; i += 16)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i)));
        return;
    }
#endif
    if (len > 0)
        std::memcpy(out, line.data, len);
}

class FlatSnapshot : public FxRecoverySnapshot {
public:
    FlatSnapshot(const FxRecoveryInfo& info, bool lossy) {
        m_info = info;
        m_loadLossy = lossy;
    }
    ~FlatSnapshot() override { SnapshotMemory::Give(m_data, m_capacity); }
    const char* Text() const override { return m_size > 0 ? m_data : ""; }
    int64_t TextBytes() const override { return m_size; }

    // The text of the document's logical lines joined by its terminator. The document's size is
    // what this writes; a size that disagrees with its lines is measured instead of trusted.
    void CopyText(const CFxEditDoc& doc);

private:
    bool CopyInto(const CFxEditDoc& doc, size_t need);

    char* m_data = nullptr;
    size_t m_capacity = 0;
    int64_t m_size = 0;
};

// One stretch of records copied on one thread: the logical lines whose heads lie in
// [first, last), each after a terminator unless it is the document's first line.
struct CopyRange {
    int32_t first = 0, last = 0;
    int32_t line = -1; // the logical line before the first head; -1 at the document's start
    char* out = nullptr;
    const char* textEnd = nullptr; // the text must end by here
    const char* hardEnd = nullptr; // and nothing is written at or past here
    std::vector<int32_t> marks;
    bool ok = false;

    void Run(const CFxEditDoc& doc) {
        const char* term = FxTerminator(doc.LineEndType());
        const size_t termLen = static_cast<size_t>(FxTerminatorLength(doc.LineEndType()));
        for (int32_t r = first; r < last; ++r) {
            const FxLine& rec = doc.Record(r);
            if (!rec.IsContinued()) {
                const size_t len = rec.lineLen > 0 ? static_cast<size_t>(rec.lineLen) : 0;
                const size_t want = len + (line >= 0 ? termLen : 0);
                if (want > static_cast<size_t>(textEnd - out))
                    return;
                if (line >= 0) {
                    out[0] = term[0];
                    out[termLen - 1] = term[termLen - 1];
                    out += termLen;
                }
                CopyLine(out, hardEnd, rec, doc.BlockOf(rec), len);
                out += len;
                ++line;
            }
            // A bookmark on any piece of a wrapped line marks the logical line, once.
            if ((rec.flags & FXL_BOOKMARK) && line >= 0 && (marks.empty() || marks.back() != line))
                marks.push_back(line);
        }
        ok = true;
    }
};

// Large documents are copied in two halves at once, the second on a helper thread that ends
// before the snapshot is handed out; the calling thread waits meanwhile, so the document cannot
// change under either.
const size_t kSplitBytes = 8 << 20;

bool FlatSnapshot::CopyInto(const CFxEditDoc& doc, size_t need) {
    if (m_capacity < need + kCopySlack) {
        SnapshotMemory::Give(m_data, m_capacity);
        m_data = nullptr;
        m_capacity = 0;
        m_data = SnapshotMemory::Take(need + kCopySlack, m_capacity);
    }
    m_size = 0;
    m_info.bookmarks.clear();
    const int32_t records = doc.RecordCount();
    CopyRange one, two;
    one.first = 0;
    one.last = records;
    one.out = m_data;
    one.textEnd = m_data + need;
    one.hardEnd = m_data + need + kCopySlack;
    if (need >= kSplitBytes && records >= 2) {
        // The second half starts at a head; the first half's text length places it.
        int32_t mid = records / 2;
        while (mid < records && doc.Record(mid).IsContinued())
            ++mid;
        const size_t termLen = static_cast<size_t>(FxTerminatorLength(doc.LineEndType()));
        size_t firstBytes = 0;
        int32_t heads = 0;
        for (int32_t r = 0; r < mid; ++r) {
            const FxLine& rec = doc.Record(r);
            if (rec.IsContinued())
                continue;
            firstBytes += (rec.lineLen > 0 ? static_cast<size_t>(rec.lineLen) : 0) +
                          (heads > 0 ? termLen : 0);
            ++heads;
        }
        if (mid < records && heads > 0 && firstBytes <= need) {
            one.last = mid;
            one.textEnd = one.hardEnd = m_data + firstBytes;
            two.first = mid;
            two.last = records;
            two.line = heads - 1;
            two.out = m_data + firstBytes;
            two.textEnd = m_data + need;
            two.hardEnd = m_data + need + kCopySlack;
        }
    }
    char* const secondStart = two.out;
    if (secondStart) {
        std::thread helper;
        try {
            helper = std::thread([&] { two.Run(doc); });
        } catch (const std::system_error&) {
        }
        one.Run(doc);
        if (helper.joinable())
            helper.join();
        else
            two.Run(doc);
        // The first half must end where the second began.
        if (!one.ok || !two.ok || one.out != secondStart)
            return false;
        one.marks.insert(one.marks.end(), two.marks.begin(), two.marks.end());
        one.out = two.out;
    } else {
        one.Run(doc);
        if (!one.ok)
            return false;
    }
    m_info.bookmarks.swap(one.marks);
    m_size = one.out - m_data;
    return true;
}

void FlatSnapshot::CopyText(const CFxEditDoc& doc) {
    const int64_t size = doc.DocumentSize();
    const int64_t most = static_cast<int64_t>(CFxEditDoc::kMaxFileBytes);
    if (size >= 0 && size <= most && CopyInto(doc, static_cast<size_t>(size)))
        return;
    int64_t exact = 0;
    const int64_t termLen = FxTerminatorLength(doc.LineEndType());
    bool first = true;
    for (int32_t r = 0; r < doc.RecordCount(); ++r) {
        const FxLine& rec = doc.Record(r);
        if (rec.IsContinued())
            continue;
        exact += (rec.lineLen > 0 ? rec.lineLen : 0) + (first ? 0 : termLen);
        first = false;
    }
    if (exact > most || !CopyInto(doc, static_cast<size_t>(exact)))
        throw std::bad_alloc();
}

// --- The copy's file ---------------------------------------------------------------------------

// A checksum of a byte stream fed in runs of any length: two 64-bit running sums over its 32-bit
// little-endian words (the second summing the first), which catches changed, lost and moved words.
class Checksum {
public:
    void Add(const void* data, size_t len) {
        const unsigned char* p = static_cast<const unsigned char*>(data);
        while (m_pending > 0 && len > 0) {
            m_word |= static_cast<uint32_t>(*p++) << (8 * m_pending);
            --len;
            if (++m_pending == 4)
                Flush();
        }
        if (m_pending == 0) {
            uint64_t a = m_a, b = m_b;
            m_count += len / 4;
            for (; len >= 4; p += 4, len -= 4) {
                uint32_t w;
                std::memcpy(&w, p, 4);
                a += w;
                b += a;
            }
            m_a = a;
            m_b = b;
        }
        while (len > 0) {
            m_word |= static_cast<uint32_t>(*p++) << (8 * m_pending);
            --len;
            if (++m_pending == 4)
                Flush();
        }
    }
    uint64_t Value() const {
        uint64_t a = m_a, b = m_b;
        if (m_pending > 0) {
            a += m_word + (static_cast<uint64_t>(m_pending) << 32);
            b += a;
        }
        return a ^ (b * 0x9E3779B97F4A7C15ull) ^ m_count;
    }

private:
    void Flush() {
        m_a += m_word;
        m_b += m_a;
        m_word = 0;
        m_pending = 0;
        ++m_count;
    }
    uint64_t m_a = 1, m_b = 0, m_count = 0;
    uint32_t m_word = 0;
    unsigned m_pending = 0;
};

// The seal ends every copy: the lengths of the text before the info and of the info before the
// seal, the text's checksum, and a checksum of the info and the seal's fields before it.
const char kSealMagic[8] = {'Q', 'V', 'R', 'E', 'C', 'O', 'V', '1'};
const uint32_t kFormatVersion = 1;
const size_t kSealBytes = 40;
const uint32_t kMaxInfoBytes = 1u << 20;
const uint32_t kFlagLoadLossy = 1;

void Put32(std::string& s, uint32_t v) {
    for (int k = 0; k < 4; ++k)
        s += static_cast<char>((v >> (8 * k)) & 0xFF);
}
void Put64(std::string& s, uint64_t v) {
    Put32(s, static_cast<uint32_t>(v));
    Put32(s, static_cast<uint32_t>(v >> 32));
}
void PutBytes(std::string& s, const std::string& bytes) {
    Put32(s, static_cast<uint32_t>(bytes.size()));
    s += bytes;
}

// Reads the info block field by field; any read past its end fails the whole block.
class InfoReader {
public:
    InfoReader(const char* data, size_t size) : m_p(data), m_end(data + size) {}
    bool Get32(uint32_t& v) {
        if (m_end - m_p < 4)
            return m_ok = false;
        v = 0;
        for (int k = 0; k < 4; ++k)
            v |= static_cast<uint32_t>(static_cast<unsigned char>(m_p[k])) << (8 * k);
        m_p += 4;
        return true;
    }
    bool Get64(uint64_t& v) {
        uint32_t lo = 0, hi = 0;
        if (!Get32(lo) || !Get32(hi))
            return false;
        v = lo | (static_cast<uint64_t>(hi) << 32);
        return true;
    }
    bool GetBytes(std::string& s) {
        uint32_t n = 0;
        if (!Get32(n) || static_cast<size_t>(m_end - m_p) < n)
            return m_ok = false;
        s.assign(m_p, n);
        m_p += n;
        return true;
    }
    bool AtEnd() const { return m_ok && m_p == m_end; }

private:
    const char* m_p;
    const char* m_end;
    bool m_ok = true;
};

// What the file holds beside the recorded info.
struct CopyLayout {
    int textEncoding = FxEncAnsi; // as the text was written
    uint32_t flags = 0;
    uint64_t textBytes = 0;
    uint64_t textChecksum = 0;
};

std::string MakeInfoBlock(const FxRecoveryInfo& info, const CopyLayout& layout) {
    std::string s;
    Put32(s, kFormatVersion);
    Put32(s, static_cast<uint32_t>(info.encoding));
    Put32(s, static_cast<uint32_t>(layout.textEncoding));
    Put32(s, static_cast<uint32_t>(info.lineEndType));
    Put32(s, static_cast<uint32_t>(info.caretLine));
    Put32(s, layout.flags);
    Put64(s, info.fileWriteTime);
    Put64(s, info.fileSize);
    PutBytes(s, info.path);
    PutBytes(s, info.title);
    Put32(s, static_cast<uint32_t>(info.bookmarks.size()));
    for (int32_t line : info.bookmarks)
        Put32(s, static_cast<uint32_t>(line));
    return s;
}

bool ParseInfoBlock(const char* data, size_t size, FxRecoveryInfo& info, CopyLayout& layout) {
    InfoReader in(data, size);
    uint32_t version = 0, enc = 0, textEnc = 0, lineEnd = 0, caret = 0, marks = 0;
    if (!in.Get32(version) || version != kFormatVersion || !in.Get32(enc) || !in.Get32(textEnc) ||
        !in.Get32(lineEnd) || !in.Get32(caret) || !in.Get32(layout.flags) ||
        !in.Get64(info.fileWriteTime) || !in.Get64(info.fileSize) || !in.GetBytes(info.path) ||
        !in.GetBytes(info.title) || !in.Get32(marks))
        return false;
    if (enc < FxEncAnsi || enc > FxEncUtf16Be || textEnc < FxEncAnsi || textEnc > FxEncUtf16Be ||
        lineEnd > 2 || marks > size / 4)
        return false;
    info.encoding = static_cast<int>(enc);
    layout.textEncoding = static_cast<int>(textEnc);
    info.lineEndType = static_cast<int>(lineEnd);
    info.caretLine = static_cast<int32_t>(caret);
    info.bookmarks.clear();
    for (uint32_t k = 0; k < marks; ++k) {
        uint32_t line = 0;
        if (!in.Get32(line))
            return false;
        info.bookmarks.push_back(static_cast<int32_t>(line));
    }
    return in.AtEnd();
}

void StoreSealFields(char* seal, uint32_t infoBytes, const CopyLayout& layout) {
    std::string s;
    Put32(s, infoBytes);
    Put32(s, kFormatVersion);
    Put64(s, layout.textBytes);
    Put64(s, layout.textChecksum);
    std::memcpy(seal, s.data(), 24);
}

uint64_t SealChecksum(const std::string& infoBlock, const char* sealFields) {
    Checksum sum;
    sum.Add(infoBlock.data(), infoBlock.size());
    sum.Add(sealFields, 24);
    return sum.Value();
}

// An open file that closes itself.
class FileCloser {
public:
    explicit FileCloser(fxsys::FileHandle file = nullptr) : m_file(file) {}
    ~FileCloser() { fxsys::CloseFile(m_file); }
    FileCloser(const FileCloser&) = delete;
    FileCloser& operator=(const FileCloser&) = delete;
    fxsys::FileHandle Get() const { return m_file; }
    void Reset(fxsys::FileHandle file = nullptr) {
        fxsys::CloseFile(m_file);
        m_file = file;
    }

private:
    fxsys::FileHandle m_file;
};

// Reads and checks a copy's info and layout from its open file; the text's checksum is checked
// only by loading.
bool ReadCopyInfo(fxsys::FileHandle file, FxRecoveryInfo& info, CopyLayout& layout) {
    uint64_t size = 0;
    if (!fxsys::GetFileSize64(file, &size, nullptr) || size < kSealBytes)
        return false;
    char seal[kSealBytes];
    if (!fxsys::ReadAt(file, size - kSealBytes, seal, kSealBytes, nullptr) ||
        std::memcmp(seal + 32, kSealMagic, 8) != 0)
        return false;
    InfoReader fields(seal, 32);
    uint32_t infoBytes = 0, version = 0;
    uint64_t sealSum = 0;
    fields.Get32(infoBytes);
    fields.Get32(version);
    fields.Get64(layout.textBytes);
    fields.Get64(layout.textChecksum);
    fields.Get64(sealSum);
    if (version != kFormatVersion || infoBytes > kMaxInfoBytes || infoBytes > size - kSealBytes ||
        layout.textBytes != size - kSealBytes - infoBytes)
        return false;
    std::string block(infoBytes, '\0');
    if (infoBytes > 0 && !fxsys::ReadAt(file, layout.textBytes, &block[0], infoBytes, nullptr))
        return false;
    if (SealChecksum(block, seal) != sealSum)
        return false;
    return ParseInfoBlock(block.data(), block.size(), info, layout);
}

// The largest character boundary not past `limit` in text at p holding more than `limit` bytes:
// a run of lead-byte values ending at the limit starts on a boundary, so an odd run ends in a
// lead byte whose second byte lies beyond.
size_t CutBefore(const char* p, size_t limit) {
    size_t k = 0;
    while (k < limit && FxIsLeadByte(static_cast<unsigned char>(p[limit - 1 - k])))
        ++k;
    return k % 2 != 0 ? limit - 1 : limit;
}

struct CancelledWrite {};

// The temporary file of one write, beside the copy; deleted unless it has replaced the copy.
class TempCopy {
public:
    explicit TempCopy(const std::string& copyPath) {
        static std::atomic<uint32_t> s_serial{0};
        uint32_t x = fxsys::TickCount() * 2654435761u ^ (fxsys::ProcessId() << 12) ^
                     (++s_serial * 0x9E3779B9u);
        char hex[9];
        for (int k = 0; k < 8; ++k)
            hex[k] = "0123456789ABCDEF"[(x >> (28 - 4 * k)) & 15];
        hex[8] = 0;
        m_path = copyPath + "." + hex + ".tmp";
    }
    ~TempCopy() {
        m_file.Reset();
        if (!m_replaced)
            fxsys::DeleteFilePath(m_path.c_str());
    }
    bool Create(uint32_t* error) {
        m_file.Reset(fxsys::CreateNew(m_path.c_str(), error));
        return m_file.Get() != nullptr;
    }
    fxsys::FileHandle Handle() const { return m_file.Get(); }
    bool Replace(const std::string& target, uint32_t* error) {
        if (!fxsys::FlushFile(m_file.Get(), error))
            return false;
        m_file.Reset();
        if (!fxsys::ReplaceByRename(m_path.c_str(), target.c_str(), error))
            return false;
        m_replaced = true;
        return true;
    }
    // Starts the file afresh: closes and deletes it.
    void Discard() {
        m_file.Reset();
        fxsys::DeleteFilePath(m_path.c_str());
    }

private:
    std::string m_path;
    FileCloser m_file;
    bool m_replaced = false;
};

// Writes the text of the snapshot in `encoding` to the file, summing what it writes. False when
// the text cannot be converted; throws FxFileError on a failed write, CancelledWrite when asked.
bool WriteText(const FxRecoverySnapshot& snap, int encoding, fxsys::FileHandle file, Checksum& sum,
               uint64_t& written, const std::atomic<bool>* cancel) {
    auto write = [&](const void* data, size_t len) {
        if (cancel && cancel->load(std::memory_order_relaxed))
            throw CancelledWrite();
        uint32_t error = 0;
        if (!fxsys::WriteAll(file, data, len, &error))
            throw FxFileError(error != 0 ? error : fxsys::kErrWriteFault);
        sum.Add(data, len);
        written += len;
    };
    const char* text = snap.Text();
    size_t left = static_cast<size_t>(snap.TextBytes());
    if (encoding == FxEncAnsi) {
        const size_t kRun = 4 * 1024 * 1024;
        while (left > 0) {
            size_t n = left < kRun ? left : kRun;
            write(text, n);
            text += n;
            left -= n;
        }
        return true;
    }
    static const unsigned char kUtf8Mark[] = {0xEF, 0xBB, 0xBF};
    static const unsigned char kLeMark[] = {0xFF, 0xFE};
    static const unsigned char kBeMark[] = {0xFE, 0xFF};
    const bool utf8 = encoding == FxEncUtf8;
    if (utf8)
        write(kUtf8Mark, sizeof kUtf8Mark);
    else if (encoding == FxEncUtf16Be)
        write(kBeMark, sizeof kBeMark);
    else
        write(kLeMark, sizeof kLeMark);
    const size_t kRun = 256 * 1024;
    std::vector<uint16_t> units(kRun);
    std::vector<char> bytes(utf8 ? kRun * 3 : 0);
    std::vector<char> back(kRun);
    while (left > 0) {
        size_t n = left <= kRun ? left : CutBefore(text, kRun);
        int got =
            fxsys::AnsiToWide(text, static_cast<int>(n), units.data(), static_cast<int>(kRun));
        if (got <= 0)
            return false;
        const size_t k = static_cast<size_t>(got);
        // The system converts a byte that starts no character to a look-alike: a run whose
        // units do not give back its very bytes cannot be written in this encoding.
        bool lossy = false;
        int again =
            fxsys::WideToAnsi(units.data(), got, back.data(), static_cast<int>(kRun), &lossy);
        if (lossy || again != static_cast<int>(n) || std::memcmp(back.data(), text, n) != 0)
            return false;
        if (utf8) {
            write(bytes.data(), EncodeUtf8(units.data(), k, bytes.data(), bytes.size()));
        } else {
            if (encoding == FxEncUtf16Be)
                for (size_t i = 0; i < k; ++i)
                    units[i] = static_cast<uint16_t>((units[i] << 8) | (units[i] >> 8));
            write(units.data(), k * 2);
        }
        text += n;
        left -= n;
    }
    return true;
}

bool WriteCopy(const FxRecoverySnapshot& snap, const std::string& copyPath, uint32_t* error,
               const std::atomic<bool>* cancel) {
    uint32_t err = 0;
    try {
        TempCopy temp(copyPath);
        if (!temp.Create(&err))
            throw FxFileError(err != 0 ? err : fxsys::kErrAccessDenied);
        CopyLayout layout;
        layout.textEncoding = snap.Info().encoding;
        if (layout.textEncoding < FxEncAnsi || layout.textEncoding > FxEncUtf16Be)
            layout.textEncoding = FxEncAnsi;
        Checksum sum;
        uint64_t written = 0;
        if (!WriteText(snap, layout.textEncoding, temp.Handle(), sum, written, cancel)) {
            // The document's encoding cannot take this text: its ANSI bytes lose nothing.
            temp.Discard();
            if (!temp.Create(&err))
                throw FxFileError(err != 0 ? err : fxsys::kErrAccessDenied);
            layout.textEncoding = FxEncAnsi;
            sum = Checksum();
            written = 0;
            WriteText(snap, FxEncAnsi, temp.Handle(), sum, written, cancel);
        }
        layout.textBytes = written;
        layout.textChecksum = sum.Value();
        layout.flags = snap.IsLoadLossy() ? kFlagLoadLossy : 0;
        const std::string block = MakeInfoBlock(snap.Info(), layout);
        char seal[kSealBytes];
        StoreSealFields(seal, static_cast<uint32_t>(block.size()), layout);
        std::string tail = block;
        std::string sealSum;
        Put64(sealSum, SealChecksum(block, seal));
        tail.append(seal, 24);
        tail += sealSum;
        tail.append(kSealMagic, 8);
        if (cancel && cancel->load())
            throw CancelledWrite();
        if (!fxsys::WriteAll(temp.Handle(), tail.data(), tail.size(), &err))
            throw FxFileError(err != 0 ? err : fxsys::kErrWriteFault);
        if (!temp.Replace(copyPath, &err))
            throw FxFileError(err != 0 ? err : fxsys::kErrWriteFault);
        return true;
    } catch (const FxFileError& e) {
        err = e.OsError();
    } catch (const CancelledWrite&) {
        err = 1223; // ERROR_CANCELLED
    } catch (const std::bad_alloc&) {
        err = fxsys::kErrNotEnoughMemory;
    }
    if (error)
        *error = err;
    return false;
}

// Leaves the document empty as loading an empty file does: one empty line.
void LeaveEmpty(CFxEditDoc& doc) {
    FxArchive ar;
    ar.length = 0;
    ar.loading = true;
    doc.Serialize(ar);
}

} // namespace

std::unique_ptr<FxRecoverySnapshot> TakeRecoverySnapshot(const CFxEditDoc& doc,
                                                         const FxRecoveryInfo& info) {
    FxRecoveryInfo own = info;
    own.encoding = doc.Encoding();
    own.lineEndType = doc.LineEndType();
    std::unique_ptr<FlatSnapshot> snap(new FlatSnapshot(own, doc.IsLoadLossy()));
    snap->CopyText(doc);
    return snap;
}

void PrepareRecoveryMemory(int64_t textBytes) {
    if (textBytes > 0 && static_cast<uint64_t>(textBytes) <= CFxEditDoc::kMaxFileBytes)
        SnapshotMemory::Prepare(static_cast<size_t>(textBytes));
}

void ReleaseRecoveryMemory() {
    SnapshotMemory::Release();
}

bool WriteRecoveryCopy(const FxRecoverySnapshot& snap, const std::string& copyPath,
                       uint32_t* error) {
    return WriteCopy(snap, copyPath, error, nullptr);
}

bool WriteRecoveryCopy(const FxRecoverySnapshot& snap, const std::string& copyPath, uint32_t* error,
                       const std::atomic<bool>& cancel) {
    return WriteCopy(snap, copyPath, error, &cancel);
}

bool ReadRecoveryInfo(const std::string& copyPath, FxRecoveryInfo& info) {
    FileCloser file(fxsys::OpenForRead(copyPath.c_str(), nullptr));
    if (!file.Get())
        return false;
    FxRecoveryInfo read;
    CopyLayout layout;
    if (!ReadCopyInfo(file.Get(), read, layout))
        return false;
    info = read;
    return true;
}

FxRecoveryCheck CheckRecoveryCopy(const std::string& copyPath, FxRecoveryInfo& info) {
    FileCloser file(fxsys::OpenForRead(copyPath.c_str(), nullptr));
    if (!file.Get())
        return FxRecoveryCheck::NotOpened;
    FxRecoveryInfo read;
    CopyLayout layout;
    if (!ReadCopyInfo(file.Get(), read, layout))
        return FxRecoveryCheck::Damaged;
    Checksum sum;
    if (layout.textBytes > 0) {
        FxMappedBuffer text;
        if (!text.OpenFile(file.Get(), layout.textBytes))
            return FxRecoveryCheck::NotOpened;
        sum.Add(text.Data(), text.Size());
    }
    if (sum.Value() != layout.textChecksum)
        return FxRecoveryCheck::Damaged;
    info = read;
    return FxRecoveryCheck::Sound;
}

bool LoadRecoveryText(CFxEditDoc& doc, const std::string& copyPath) {
    LeaveEmpty(doc);
    FxRecoveryInfo info;
    CopyLayout layout;
    uint32_t error = 0;
    FileCloser file(fxsys::OpenForRead(copyPath.c_str(), &error));
    if (!file.Get() || !ReadCopyInfo(file.Get(), info, layout) ||
        layout.textBytes > CFxEditDoc::kMaxFileBytes)
        return false;
    {
        // The whole text is checked before the document takes any of it.
        Checksum sum;
        FxMappedBuffer text;
        if (text.OpenFile(file.Get(), layout.textBytes))
            sum.Add(text.Data(), text.Size());
        if (sum.Value() != layout.textChecksum)
            return false;
    }
    const int requested = doc.RequestedEncoding();
    doc.SetRequestedEncoding(layout.textEncoding);
    bool converted = false;
    try {
        FxArchive ar;
        ar.file = file.Get();
        ar.length = layout.textBytes;
        ar.loading = true;
        converted = doc.Serialize(ar);
    } catch (...) {
        doc.SetRequestedEncoding(requested);
        throw;
    }
    doc.SetRequestedEncoding(requested);
    if (!converted) {
        LeaveEmpty(doc);
        return false;
    }
    doc.SetEncoding(info.encoding);
    doc.SetLineEndType(info.lineEndType);
    doc.SetLoadLossy((layout.flags & kFlagLoadLossy) != 0);
    int marks = 0;
    for (int32_t line : info.bookmarks) {
        if (!doc.IsValidLine(line))
            continue;
        FxTextPos pos(0, line);
        doc.LogicalToPiece(pos);
        FxLine& rec = doc.RecordRef(pos.line);
        if (!(rec.flags & FXL_BOOKMARK)) {
            rec.flags |= FXL_BOOKMARK;
            ++marks;
        }
    }
    doc.SetBookmarkCount(marks);
    return true;
}

bool ReadFileStamp(const std::string& path, uint64_t& writeTime, uint64_t& size) {
    writeTime = size = 0;
    if (path.empty())
        return false;
    if (fxsys::GetFileStamp(path.c_str(), &writeTime, &size))
        return true;
    writeTime = size = 0;
    return false;
}
