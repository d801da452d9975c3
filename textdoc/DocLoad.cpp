// Loading a file into CFxEditDoc: encoding detection, conversion of UTF-8 and UTF-16 to ANSI,
// and the split of the ANSI text into line records. Layer: textdoc/.
#include "textdoc/FxEditDoc.h"

#include "common/FxErrors.h"
#include "common/SysText.h"
#include "textdoc/FileProgress.h"
#include "textdoc/MappedBuffer.h"
#include "textdoc/Utf8.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Text blocks made by a load hold 64 units of the document's 65,520-byte block size (about
// 4 MB): one compaction copies little, and a big file needs no single huge allocation.
const size_t kLoadBlockRequest = 64 * 65520 - sizeof(FxTextBlock);
// Text is converted and split this many units (or ANSI bytes) at a time.
const size_t kPart = 32768;

struct BreakCounts {
    size_t cr = 0;   // CR units
    size_t lf = 0;   // LF units
    size_t crlf = 0; // CR LF pairs (each also counted in cr and lf)
};

#if defined(__SSE2__)
inline size_t SumBytes(__m128i counters) {
    __m128i s = _mm_sad_epu8(counters, _mm_setzero_si128());
    return static_cast<size_t>(_mm_cvtsi128_si32(s)) + static_cast<size_t>(_mm_extract_epi16(s, 4));
}
#endif

// Counts the CR and LF bytes of ANSI or UTF-8 text.
BreakCounts CountByteBreaks(const char* p, size_t size) {
    BreakCounts c;
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    // Each byte lane counts up to 255 matches before the lanes are summed. A pair is a CR lane
    // whose following byte (the same lane one byte further on) is LF.
    while (i + 17 <= size) {
        __m128i nCr = _mm_setzero_si128(), nLf = nCr, nPair = nCr;
        for (int round = 0; round < 255 && i + 17 <= size; ++round, i += 16) {
            __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 1));
            __m128i isCr = _mm_cmpeq_epi8(v, cr);
            nCr = _mm_sub_epi8(nCr, isCr);
            nLf = _mm_sub_epi8(nLf, _mm_cmpeq_epi8(v, lf));
            nPair = _mm_sub_epi8(nPair, _mm_and_si128(isCr, _mm_cmpeq_epi8(next, lf)));
        }
        c.cr += SumBytes(nCr);
        c.lf += SumBytes(nLf);
        c.crlf += SumBytes(nPair);
    }
#endif
    for (; i < size; ++i) {
        if (p[i] == '\r') {
            ++c.cr;
            if (i + 1 < size && p[i + 1] == '\n')
                ++c.crlf;
        } else if (p[i] == '\n') {
            ++c.lf;
        }
    }
    return c;
}

// Counts the CR and LF units of UTF-16 text, stored as pairs of bytes (big-endian when kSwap).
template <bool kSwap> BreakCounts CountUnitBreaks(const unsigned char* p, size_t count) {
    auto unit = [p](size_t i) -> unsigned {
        return kSwap ? (p[2 * i] << 8) | p[2 * i + 1] : p[2 * i] | (p[2 * i + 1] << 8);
    };
    BreakCounts c;
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi16(static_cast<short>(kSwap ? 0x0D00 : 0x000D));
    const __m128i lf = _mm_set1_epi16(static_cast<short>(kSwap ? 0x0A00 : 0x000A));
    // 16-bit lanes count up to 65,535 matches; a round of 8,191 steps stays below that.
    while (i + 9 <= count) {
        __m128i nCr = _mm_setzero_si128(), nLf = nCr, nPair = nCr;
        for (int round = 0; round < 8191 && i + 9 <= count; ++round, i += 8) {
            __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2 * i));
            __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2 * i + 2));
            __m128i isCr = _mm_cmpeq_epi16(v, cr);
            nCr = _mm_sub_epi16(nCr, isCr);
            nLf = _mm_sub_epi16(nLf, _mm_cmpeq_epi16(v, lf));
            nPair = _mm_sub_epi16(nPair, _mm_and_si128(isCr, _mm_cmpeq_epi16(next, lf)));
        }
        alignas(16) uint16_t lanes[3][8];
        _mm_store_si128(reinterpret_cast<__m128i*>(lanes[0]), nCr);
        _mm_store_si128(reinterpret_cast<__m128i*>(lanes[1]), nLf);
        _mm_store_si128(reinterpret_cast<__m128i*>(lanes[2]), nPair);
        for (int k = 0; k < 8; ++k) {
            c.cr += lanes[0][k];
            c.lf += lanes[1][k];
            c.crlf += lanes[2][k];
        }
    }
#endif
    for (; i < count; ++i) {
        if (unit(i) == '\r') {
            ++c.cr;
            if (i + 1 < count && unit(i + 1) == '\n')
                ++c.crlf;
        } else if (unit(i) == '\n') {
            ++c.lf;
        }
    }
    return c;
}

// The first CR or LF in [p, end), or end.
inline char* FindBreak(char* p, char* end) {
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    while (end - p >= 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
        if (mask != 0)
            return p + __builtin_ctz(static_cast<unsigned>(mask));
        p += 16;
    }
#endif
    while (p < end && *p != '\r' && *p != '\n')
        ++p;
    return p;
}

// How the system converts each of the 65,536 UTF-16 units to the ANSI code page, learnt once
// through two whole-table conversions. Converting by the table gives the bytes the system gives
// for the text, unit by unit, at a small part of the cost of its own call; and a unit that does
// not come back from its bytes (the default character, or a best-fit look-alike) is known
// without a second conversion. Read-only once built, so any thread may use it.
class AnsiTable {
public:
    // Null when the system could not convert the table.
    static const AnsiTable* Get() {
        static const AnsiTable* const table = Build();
        return table;
    }

    // Converts `count` units stored as pairs of bytes at p (big-endian pairs when kSwap) into
    // out, which has room for two bytes a unit. Returns the bytes written; sets *lossy when a
    // unit does not come back.
    template <bool kSwap>
    size_t Convert(const unsigned char* p, size_t count, char* out, bool* lossy) const {
        size_t o = 0, i = 0;
        uint32_t seen = 0;
        while (i < count) {
#if defined(__SSE2__)
            if (m_asciiSame) {
                const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF80));
                while (i + 8 <= count) {
                    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2 * i));
                    if (kSwap)
                        v = _mm_or_si128(_mm_slli_epi16(v, 8), _mm_srli_epi16(v, 8));
                    __m128i isAscii = _mm_cmpeq_epi16(_mm_and_si128(v, high), _mm_setzero_si128());
                    if (_mm_movemask_epi8(isAscii) != 0xFFFF)
                        break;
                    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + o), _mm_packus_epi16(v, v));
                    i += 8;
                    o += 8;
                }
                if (i >= count)
                    break;
            }
#endif
            unsigned u = kSwap ? (p[2 * i] << 8) | p[2 * i + 1] : p[2 * i] | (p[2 * i + 1] << 8);
            uint32_t e = m_entry[u];
            // Two bytes are always stored; the second is overwritten when the unit gives one.
            out[o] = static_cast<char>(e & 0xFF);
            out[o + 1] = static_cast<char>((e >> 8) & 0xFF);
            o += (e >> 16) & 3;
            seen |= e;
            ++i;
        }
        if (seen & kLost)
            *lossy = true;
        return o;
    }

private:
    static const uint32_t kLost = 1u << 18; // entry: bytes in bits 0-15, their count in 16-17

    static const AnsiTable* Build();

    uint32_t m_entry[65536];
    bool m_asciiSame = false; // units below 0x80 are their own bytes
};

const AnsiTable* AnsiTable::Build() {
    // Every unit but 0 followed by a 0 unit: no character of a code page holds a 0 byte, so the
    // output splits at its 0 bytes into the bytes of each unit.
    const int kUnits = 65535;
    std::vector<uint16_t> wide(2 * kUnits);
    for (int u = 1; u <= kUnits; ++u) {
        wide[2 * (u - 1)] = static_cast<uint16_t>(u);
        wide[2 * (u - 1) + 1] = 0;
    }
    const int wideLen = 2 * kUnits;
    int need = fxsys::WideToAnsi(wide.data(), wideLen, nullptr, 0, nullptr);
    if (need <= 0)
        return nullptr;
    std::vector<char> ansi(static_cast<size_t>(need));
    if (fxsys::WideToAnsi(wide.data(), wideLen, ansi.data(), need, nullptr) != need)
        return nullptr;
    // And back: a unit is kept when its bytes give that unit again.
    int backLen = fxsys::AnsiToWide(ansi.data(), need, nullptr, 0);
    if (backLen <= 0)
        return nullptr;
    std::vector<uint16_t> back(static_cast<size_t>(backLen));
    if (fxsys::AnsiToWide(ansi.data(), need, back.data(), backLen) != backLen)
        return nullptr;

    std::unique_ptr<AnsiTable> t(new AnsiTable);
    t->m_entry[0] = 1u << 16;
    size_t a = 0, w = 0;
    for (int u = 1; u <= kUnits; ++u) {
        size_t end = a;
        while (end < ansi.size() && ansi[end] != 0)
            ++end;
        size_t len = end - a;
        if (len < 1 || len > 2 || end >= ansi.size())
            return nullptr;
        size_t wend = w;
        while (wend < back.size() && back[wend] != 0)
            ++wend;
        const bool kept = wend == w + 1 && back[w] == u;
        uint32_t bytes = static_cast<unsigned char>(ansi[a]);
        if (len == 2)
            bytes |= static_cast<uint32_t>(static_cast<unsigned char>(ansi[a + 1])) << 8;
        t->m_entry[u] = bytes | static_cast<uint32_t>(len) << 16 | (kept ? 0 : kLost);
        a = end + 1;
        w = wend + 1;
    }
    t->m_asciiSame = true;
    for (uint32_t u = 0; u < 0x80; ++u)
        if (t->m_entry[u] != (u | 1u << 16))
            t->m_asciiSame = false;
    return t.release(); // kept for the life of the process
}

// Builds the records of a load while the ANSI text arrives in parts. Each part is written
// straight into the newest text block and split there: the lines are moved together over their
// breaks, so that the block ends up holding the lines back to back, as if each had been
// allocated on its own. A line still open at the end of a part stays at the end of the block;
// when the block is full, it moves to the next one.
class LineBuilder {
public:
    LineBuilder(FxBlockStore& text, FxBlockRelocator& owner, size_t expectedLines)
        : m_text(text), m_owner(owner) {
        Grow(expectedLines + 1);
    }
    ~LineBuilder() { std::free(m_recs); }
    LineBuilder(const LineBuilder&) = delete;
    LineBuilder& operator=(const LineBuilder&) = delete;

    // Room for n bytes after the text so far; `toCome` bounds the text still to come (with this
    // part), which sizes the last block.
    char* Reserve(size_t n, size_t toCome) {
        if (n == 0 || (m_block && static_cast<size_t>(m_block->freeBytes) >= n))
            return m_block ? m_block->freePtr : nullptr;
        const uint64_t open = m_block ? static_cast<uint64_t>(m_block->freePtr - m_line) : 0;
        // A new block of the usual size, or twice the size of a long line still open (so that
        // such a line moves a few times only), but no larger than the text still to come.
        uint64_t want = kLoadBlockRequest;
        if (want < 2 * open + n)
            want = 2 * open + n;
        if (want > open + toCome)
            want = open + toCome;
        if (want < open + n)
            want = open + n;
        if (open > static_cast<uint64_t>(kFxMaxLineBytes))
            throw FxLineTooLong();
        if (want > static_cast<uint64_t>(PTRDIFF_MAX))
            throw std::bad_alloc();
        FxTextBlock* fresh = m_text.MakeBlock(static_cast<FxSize>(want));
        if (open > 0) {
            char* moved = m_text.AllocateIn(fresh, static_cast<FxSize>(open));
            std::memcpy(moved, m_line, static_cast<size_t>(open));
            // The old copy is released; a block left with no line is freed. Nothing is
            // compacted while the records are being made.
            m_text.Release(m_block, static_cast<FxSize>(open), true, m_owner);
        }
        m_block = fresh;
        m_line = fresh->Data();
        return fresh->freePtr;
    }

    // Splits the n bytes just written where Reserve said.
    void Commit(size_t n) {
        if (n == 0)
            return;
        char* p = m_text.AllocateIn(m_block, static_cast<FxSize>(n));
        char* const end = p + n;
        char* dst = p; // where the open line's next byte goes
        if (m_afterCr) {
            m_afterCr = false;
            if (*p == '\n') { // the LF of a CR LF pair cut between two parts
                ++p;
                --m_counts.cr;
                ++m_counts.crlf;
            }
        }
        while (p < end) {
            char* brk = FindBreak(p, end);
            size_t run = static_cast<size_t>(brk - p);
            if (dst != p)
                std::memmove(dst, p, run);
            dst += run;
            if (brk == end)
                break;
            AddLine(FXL_LINEEND, dst);
            if (*brk == '\n') {
                ++m_counts.lf;
                p = brk + 1;
            } else if (brk + 1 == end) {
                ++m_counts.cr;
                m_afterCr = true;
                p = end;
            } else if (brk[1] == '\n') {
                ++m_counts.crlf;
                p = brk + 2;
            } else {
                ++m_counts.cr;
                p = brk + 1;
            }
        }
        // Give back the break bytes the lines were moved over.
        m_text.ResizeInPlace(m_block, dst, end - dst, 0);
    }

    // Ends the last line, which has no break after it.
    void Finish() {
        char* end = m_block ? m_block->freePtr : nullptr;
        AddLine(0, end);
    }

    FxLine* Records() const { return m_recs; }
    size_t Count() const { return m_count; }
    size_t Capacity() const { return m_capacity; }
    void Release() { m_recs = nullptr; }
    // Lone CRs, lone LFs and CR LF pairs, as the types of break are counted.
    const BreakCounts& Breaks() const { return m_counts; }
    size_t TextBytes() const { return m_textBytes; }

private:
    // The open line, from m_line to end, is complete.
    void AddLine(uint32_t flags, char* end) {
        if (m_count == m_capacity)
            Grow(m_capacity + m_capacity / 2 + 2048);
        const size_t len = end ? static_cast<size_t>(end - m_line) : 0;
        if (len > static_cast<size_t>(kFxMaxLineBytes))
            throw FxLineTooLong();
        const int32_t n = static_cast<int32_t>(len);
        m_recs[m_count] = FxLine{flags,
                                 static_cast<int32_t>(m_count),
                                 0,
                                 n,
                                 n,
                                 -1,
                                 -1,
                                 n ? FxBlockStore::RefOf(m_block) : FxBlockRef{},
                                 n ? m_line : nullptr};
        ++m_count;
        m_textBytes += len;
        m_line = end;
    }

    void Grow(size_t capacity) {
        if (capacity > static_cast<uint64_t>(kFxMaxRecords))
            throw std::bad_alloc();
        FxLine* grown = static_cast<FxLine*>(std::realloc(m_recs, capacity * sizeof(FxLine)));
        if (!grown)
            throw std::bad_alloc();
        m_recs = grown;
        m_capacity = capacity;
    }

    FxBlockStore& m_text;
    FxBlockRelocator& m_owner;
    FxTextBlock* m_block = nullptr; // the block being written; its free pointer ends the text
    char* m_line = nullptr;         // start of the open line in m_block
    bool m_afterCr = false;         // the last part ended in CR
    BreakCounts m_counts;           // here: cr and lf count lone breaks only
    size_t m_textBytes = 0;
    FxLine* m_recs = nullptr;
    size_t m_count = 0, m_capacity = 0;
};

} // namespace

bool CFxEditDoc::Serialize(FxArchive& ar) {
    return ar.loading ? LoadArchive(ar) : StoreArchive(ar);
}

void CFxEditDoc::EmptyForLoad() {
    CFxEditDoc::DeleteContents();
}

void CFxEditDoc::EnsureOneRecord() {
    if (m_lineCount > 0)
        return;
    InsertRecords(0, 1);
    m_lines[0] = FxFreshLine();
    m_lines[0].flags = 0;
    m_lines[0].logLine = 0;
    m_logicalLines = 1;
}

bool CFxEditDoc::LoadArchive(const FxArchive& ar) {
    // A 32-bit size would read a file of 4 GB and more as a short one; refuse what the
    // document cannot hold instead of loading a part of it.
    if (ar.length > kMaxFileBytes)
        throw FxFileError(fxsys::kErrFileTooLarge);
    EmptyForLoad();
    bool converted = true;
    try {
        FxMappedBuffer file;
        // An empty file maps nothing: the document stays empty, the file's encoding unchanged.
        if (file.OpenFile(ar.file, ar.length)) {
            int enc = m_requestedEncoding != FxEncDetect ? m_requestedEncoding
                                                         : DetectEncoding(file.Data(), file.Size());
            if (enc < FxEncAnsi || enc > FxEncUtf16Be)
                enc = FxEncAnsi;
            m_encoding = enc;
            switch (enc) {
            case FxEncUtf8:
                converted = LoadUtf8(file);
                break;
            case FxEncUtf16Le:
            case FxEncUtf16Be:
                converted = LoadUnits(file, file.Data(), file.Size(), enc == FxEncUtf16Be);
                break;
            default:
                LoadAnsi(file.Data(), file.Size());
                break;
            }
        }
        EnsureOneRecord();
    } catch (...) {
        // Never a part of a file: a failed load leaves the document empty.
        EmptyForLoad();
        try {
            EnsureOneRecord();
        } catch (const std::bad_alloc&) {
        }
        throw;
    }
    return converted;
}

template <class LoadedLines> void CFxEditDoc::AdoptLoadedLines(LoadedLines& lines) {
    // The line-end type by majority of CR LF pairs (d), lone LFs (u) and lone CRs (m).
    const BreakCounts& lone = lines.Breaks();
    const size_t d = lone.crlf, u = lone.lf, m = lone.cr;
    m_lineEndType = FxLineEndDos;
    if (u > d && u >= m)
        m_lineEndType = FxLineEndUnix;
    else if (m > d && m >= u)
        m_lineEndType = FxLineEndMac;
    m_termLen = FxTerminatorLength(m_lineEndType);
    // The size as the document defines it, what a save with this type writes; for a file with
    // one kind of break that is the file's own byte count.
    m_size = static_cast<int64_t>(lines.TextBytes()) + static_cast<int64_t>(d + u + m) * m_termLen;

    std::free(m_lines);
    m_lines = lines.Records();
    m_lineCount = static_cast<int32_t>(lines.Count());
    m_lineSpare = static_cast<int32_t>(lines.Capacity() - lines.Count());
    lines.Release();
    if (m_lineSpare > kLineGrowth) {
        // Keep the spare of an array grown by the usual step.
        size_t capacity = static_cast<size_t>(m_lineCount) + kLineGrowth;
        if (FxLine* shrunk =
                static_cast<FxLine*>(std::realloc(m_lines, capacity * sizeof(FxLine)))) {
            m_lines = shrunk;
            m_lineSpare = kLineGrowth;
        }
    }
    m_logicalLines = m_lineCount;
    m_wrapMode = 0; // one record per line
}

void CFxEditDoc::LoadAnsi(const char* bytes, size_t size) {
    if (size > kMaxFileBytes)
        throw FxFileError(fxsys::kErrFileTooLarge);
    if (m_lineCount > 0)
        EmptyForLoad();
    m_loadLossy = false; // ANSI bytes are kept as they are
    FxFileProgress progress(*this, false, size);
    progress.Step(0);
    const BreakCounts bc = CountByteBreaks(bytes, size);
    try {
        LineBuilder lines(m_text, *this, bc.cr + bc.lf - bc.crlf);
        for (size_t at = 0; at < size;) {
            size_t n = size - at < kPart ? size - at : kPart;
            std::memcpy(lines.Reserve(n, size - at), bytes + at, n);
            lines.Commit(n);
            at += n;
            progress.Step(at);
        }
        lines.Finish();
        AdoptLoadedLines(lines);
    } catch (...) {
        ResetRecords();
        throw;
    }
    progress.Finish();
}

bool CFxEditDoc::LoadUtf8(FxMappedBuffer& file) {
    if (m_lineCount > 0)
        EmptyForLoad();
    const AnsiTable* table = AnsiTable::Get();
    if (!table) {
        OnDocEvent(FxEvLoadConversion, 0);
        return false;
    }
    const char* const data = file.Data();
    const size_t size = file.Size();
    FxFileProgress progress(*this, false, size);
    progress.Step(0);
    // For well-formed UTF-8 the CR and LF bytes are the breaks; otherwise this is an estimate.
    const BreakCounts bc = CountByteBreaks(data, size);
    LineBuilder lines(m_text, *this, bc.cr + bc.lf - bc.crlf);
    // Detected from its first non-ASCII line, a file may still hold bytes that are not UTF-8
    // further on; those cannot be written back as they were.
    bool exact = true, lossy = false;
    // Decoded a part at a time and each part converted at once, so that the UTF-16 form of the
    // whole file never needs a buffer.
    std::vector<uint16_t> part(kPart);
    size_t pos = 0;
    bool first = true, swapped = false;
    while (pos < size) {
        size_t used = 0;
        size_t n = DecodeUtf8Part(data + pos, size - pos, part.data(), part.size(), &used, &exact);
        pos += used;
        const uint16_t* units = part.data();
        if (first) {
            first = false;
            // A text that starts with U+FFFE is taken with every unit byte-swapped, and then,
            // like any UTF-16 text, without the mark U+FEFF it starts with.
            swapped = units[0] == 0xFFFE;
            if (swapped)
                lossy = true;
            if (units[0] == (swapped ? 0xFFFE : 0xFEFF)) {
                ++units;
                --n;
            }
        }
        // Each unit gives at most two bytes; the bytes still to come give at most one unit each.
        const unsigned char* p = reinterpret_cast<const unsigned char*>(units);
        char* out = lines.Reserve(2 * n, 2 * (n + size - pos));
        lines.Commit(swapped ? table->Convert<true>(p, n, out, &lossy)
                             : table->Convert<false>(p, n, out, &lossy));
        progress.Step(pos);
    }
    file.Close();
    lines.Finish();
    AdoptLoadedLines(lines);
    m_loadLossy = lossy || !exact;
    progress.Finish();
    return true;
}

void CFxEditDoc::LoadUtf16Le(const char* bytes, size_t size) {
    FxMappedBuffer none;
    LoadUnits(none, bytes, size, false);
}

bool CFxEditDoc::LoadUnits(FxMappedBuffer& source, const char* bytes, size_t size, bool bigEndian) {
    if (m_lineCount > 0)
        EmptyForLoad();
    bool lossy = size % 2 != 0; // the odd last byte is dropped
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes);
    size_t count = size / 2;
    if (count > 0 && (bigEndian ? p[0] == 0xFE && p[1] == 0xFF : p[0] == 0xFF && p[1] == 0xFE)) {
        p += 2; // the mark U+FEFF is skipped
        --count;
    }
    if (count == 0) {
        // Fewer than two bytes, or the mark alone: an empty document.
        source.Close();
        m_loadLossy = lossy;
        return true;
    }
    const AnsiTable* table = AnsiTable::Get();
    if (!table) {
        source.Close();
        OnDocEvent(FxEvLoadConversion, 0);
        return false;
    }
    FxFileProgress progress(*this, false, count);
    progress.Step(0);
    const BreakCounts bc =
        bigEndian ? CountUnitBreaks<true>(p, count) : CountUnitBreaks<false>(p, count);
    LineBuilder lines(m_text, *this, bc.cr + bc.lf - bc.crlf);
    // Two bytes a unit at most in a code page of one- and two-byte characters.
    for (size_t at = 0; at < count;) {
        size_t n = count - at < kPart ? count - at : kPart;
        char* out = lines.Reserve(2 * n, 2 * (count - at));
        lines.Commit(bigEndian ? table->Convert<true>(p + 2 * at, n, out, &lossy)
                               : table->Convert<false>(p + 2 * at, n, out, &lossy));
        at += n;
        progress.Step(at);
    }
    source.Close();
    lines.Finish();
    AdoptLoadedLines(lines);
    m_loadLossy = lossy;
    progress.Finish();
    return true;
}
