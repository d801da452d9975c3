// Storing CFxEditDoc: the logical lines with the document's terminator, as ANSI bytes or
// converted to UTF-8 or UTF-16 with their mark. Output is gathered and written in large runs.
// Layer: textdoc/.
#include "textdoc/FxEditDoc.h"

#include "common/FxErrors.h"
#include "common/SysText.h"
#include "textdoc/Dbcs.h"
#include "textdoc/MappedBuffer.h"
#include "textdoc/Utf8.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// ANSI bytes gathered before one write (ANSI) or one conversion (UTF-8, UTF-16).
const size_t kAnsiRun = 256 * 1024;
const size_t kConvertRun = 256 * 1024;

// Copies a line's bytes into the output buffer, which has kCopySlack bytes to spare after them.
// Most lines are short, and a call of memcpy would cost more than their bytes: up to 48 bytes go
// in three 16-byte moves, which may read past the line but not past its block.
const size_t kCopySlack = 48;

inline void CopyLine(char* out, const FxLine& line, size_t len) {
#if defined(__SSE2__)
    FxTextBlock* b = line.block;
    if (len <= kCopySlack && b && line.data + kCopySlack <= b->Data() + b->dataSize) {
        const __m128i* from = reinterpret_cast<const __m128i*>(line.data);
        __m128i* to = reinterpret_cast<__m128i*>(out);
        __m128i x = _mm_loadu_si128(from), y = _mm_loadu_si128(from + 1),
                z = _mm_loadu_si128(from + 2);
        _mm_storeu_si128(to, x);
        _mm_storeu_si128(to + 1, y);
        _mm_storeu_si128(to + 2, z);
        return;
    }
#endif
    if (len > 0)
        std::memcpy(out, line.data, len);
}

// Thrown inside the Unicode store when the conversion to UTF-16 fails.
struct ConversionFailed {};

// Number of lead-byte values that end [p, p + n) without a byte of another value before them.
// Such a run starts on a character boundary, so its bytes pair up as lead and trail from its
// start: an odd run ends in a lead byte that has no second byte.
inline size_t LeadRunAtEnd(const char* p, size_t n) {
    size_t k = 0;
    while (k < n && FxIsLeadByte(static_cast<unsigned char>(p[n - 1 - k])))
        ++k;
    return k;
}

// The largest character boundary not past `limit` in a line at p holding more than `limit`
// bytes (the byte at `limit` exists).
inline size_t CutBefore(const char* p, size_t limit) {
    return LeadRunAtEnd(p, limit) % 2 != 0 ? limit - 1 : limit;
}

} // namespace

int CFxEditDoc::ConvertForStore(const char* ansi, int len, uint16_t* units, int capacity) {
    return fxsys::AnsiToWide(ansi, len, units, capacity);
}

void CFxEditDoc::WriteForStore(fxsys::FileHandle file, const void* data, size_t len) {
    uint32_t error = 0;
    if (!fxsys::WriteAll(file, data, len, &error))
        throw FxFileError(error != 0 ? error : fxsys::kErrWriteFault);
}

bool CFxEditDoc::StoreArchive(const FxArchive& ar) {
    switch (m_encoding) {
    case FxEncUtf8:
    case FxEncUtf16Le:
    case FxEncUtf16Be:
        return StoreUnicode(ar.file, m_encoding);
    default:
        return StoreAnsi(ar.file);
    }
}

bool CFxEditDoc::StoreAnsi(fxsys::FileHandle file) {
    FxMappedBuffer buffer;
    buffer.OpenAnonymous(kAnsiRun);
    char* const start = buffer.Data();
    char* const limit = start + kAnsiRun;
    char* out = start;
    const char* term = FxTerminator(m_lineEndType);
    const size_t termLen = static_cast<size_t>(FxTerminatorLength(m_lineEndType));
    bool first = true;
    // A logical line is written whole from its head's buffer; continuation pieces add nothing.
    for (int32_t r = 0; r < m_lineCount; ++r) {
        const FxLine& line = m_lines[r];
        if (line.IsContinued())
            continue;
        const size_t len = line.lineLen > 0 ? static_cast<size_t>(line.lineLen) : 0;
        const size_t need = len + (first ? 0 : termLen);
        if (need + kCopySlack > static_cast<size_t>(limit - out)) {
            WriteForStore(file, start, static_cast<size_t>(out - start));
            out = start;
            if (need + kCopySlack > kAnsiRun) { // a line longer than the buffer goes out as it is
                if (!first)
                    WriteForStore(file, term, termLen);
                WriteForStore(file, line.data, len);
                first = false;
                continue;
            }
        }
        if (!first) {
            out[0] = term[0];
            out[termLen - 1] = term[termLen - 1];
            out += termLen;
        }
        first = false;
        CopyLine(out, line, len);
        out += len;
    }
    if (out > start)
        WriteForStore(file, start, static_cast<size_t>(out - start));
    return true;
}

bool CFxEditDoc::StoreUnicode(fxsys::FileHandle file, int encoding) {
    static const unsigned char kUtf8Mark[] = {0xEF, 0xBB, 0xBF};
    static const unsigned char kLeMark[] = {0xFF, 0xFE};
    static const unsigned char kBeMark[] = {0xFE, 0xFF};
    const bool utf8 = encoding == FxEncUtf8;

    // One mapping: the ANSI run, its UTF-16 units (at most one per byte) and, for UTF-8, the
    // encoded bytes (at most three per unit).
    FxMappedBuffer work;
    work.OpenAnonymous(kConvertRun * (utf8 ? 6 : 3));
    char* const ansi = work.Data();
    uint16_t* const units = reinterpret_cast<uint16_t*>(work.Data() + kConvertRun);
    char* const bytes = work.Data() + kConvertRun * 3;
    size_t used = 0;

    // Converts a run of whole characters and writes it in the file's encoding. The units are
    // written as they lie in memory, which on this little-endian machine is UTF-16 LE.
    auto emit = [&](const char* p, size_t n) {
        int count = ConvertForStore(p, static_cast<int>(n), units, static_cast<int>(kConvertRun));
        if (count <= 0)
            throw ConversionFailed();
        size_t k = static_cast<size_t>(count);
        if (utf8) {
            WriteForStore(file, bytes, EncodeUtf8(units, k, bytes, kConvertRun * 3));
            return;
        }
        if (encoding == FxEncUtf16Be)
            for (size_t i = 0; i < k; ++i)
                units[i] = static_cast<uint16_t>((units[i] << 8) | (units[i] >> 8));
        WriteForStore(file, units, k * 2);
    };
    auto flush = [&] {
        if (used > 0)
            emit(ansi, used);
        used = 0;
    };
    auto put = [&](const char* p, size_t n) {
        if (n > kConvertRun - used) {
            flush();
            // A line longer than the run is converted in parts cut between characters.
            while (n > kConvertRun) {
                size_t cut = CutBefore(p, kConvertRun);
                emit(p, cut);
                p += cut;
                n -= cut;
            }
        }
        std::memcpy(ansi + used, p, n);
        used += n;
    };

    try {
        if (utf8)
            WriteForStore(file, kUtf8Mark, sizeof kUtf8Mark);
        else if (encoding == FxEncUtf16Be)
            WriteForStore(file, kBeMark, sizeof kBeMark);
        else
            WriteForStore(file, kLeMark, sizeof kLeMark);

        const char* term = FxTerminator(m_lineEndType);
        const size_t termLen = static_cast<size_t>(FxTerminatorLength(m_lineEndType));
        bool first = true;
        for (int32_t r = 0; r < m_lineCount; ++r) {
            const FxLine& line = m_lines[r];
            if (line.IsContinued())
                continue;
            if (!first)
                put(term, termLen);
            first = false;
            if (line.lineLen <= 0)
                continue;
            put(line.data, static_cast<size_t>(line.lineLen));
            // Many lines go through one conversion. A line that ends in a lead byte without its
            // second byte ends its conversion too, so that the lead byte cannot pair with the
            // terminator after it: each line converts as it would on its own.
            if (LeadRunAtEnd(line.data, static_cast<size_t>(line.lineLen)) % 2 != 0)
                flush();
        }
        flush();
    } catch (const ConversionFailed&) {
        OnDocEvent(FxEvSaveConversion, 0);
        return false;
    }
    return true;
}
