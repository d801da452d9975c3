// Storing CFxEditDoc: the logical lines with the document's terminator, as ANSI bytes or
// converted to UTF-8 or UTF-16 with their mark. Output is gathered in large buffers, which a
// writer thread writes while the next one is filled. Layer: textdoc/.
#include "textdoc/FxEditDoc.h"

#include "common/FxErrors.h"
#include "common/SysText.h"
#include "textdoc/Dbcs.h"
#include "textdoc/FileProgress.h"
#include "textdoc/MappedBuffer.h"
#include "textdoc/StoreWriter.h"
#include "textdoc/Utf8.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// ANSI bytes gathered before one write (ANSI) or one conversion (UTF-8, UTF-16), and the
// number of buffers the store fills in turn: one filled while the writer writes the others.
const size_t kAnsiRun = CFxEditDoc::kStoreBufferBytes;
const int kAnsiBuffers = 3;
const size_t kConvertRun = 256 * 1024;
const int kConvertBuffers = 3;

// Copies a line's bytes into the output buffer, which has kCopySlack bytes to spare after them.
// Most lines are short, and a call of memcpy would cost more than their bytes: up to 48 bytes go
// in three 16-byte moves, which may read past the line but not past its block.
const size_t kCopySlack = 48;

inline void CopyLine(char* out, const FxLine& line, const FxTextBlock* b, size_t len) {
#if defined(__SSE2__)
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
    // The document's size is its ANSI store's: a text that fits in one buffer (the most common
    // save) is written at once on this thread, from a buffer of its size.
    const bool one = m_size + static_cast<int64_t>(kCopySlack) <= static_cast<int64_t>(kAnsiRun);
    const size_t size = one ? static_cast<size_t>(m_size) + kCopySlack : kAnsiRun;
    const int count = one ? 1 : kAnsiBuffers;
    FxMappedBuffer buffers;
    buffers.OpenAnonymous(size * static_cast<size_t>(count));
    FxStoreWriter writer(
        [this, file](const void* data, size_t len) { WriteForStore(file, data, len); },
        buffers.Data(), size, count);
    char* start = writer.Buffer();
    char* limit = start + size;
    char* out = start;
    const char* term = FxTerminator(m_lineEndType);
    const size_t termLen = static_cast<size_t>(FxTerminatorLength(m_lineEndType));
    bool first = true;
    FxFileProgress progress(*this, true, static_cast<uint64_t>(m_size));
    uint64_t done = 0;
    // A logical line is written whole from its head's buffer; continuation pieces add nothing.
    for (int32_t r = 0; r < m_lineCount; ++r) {
        const FxLine& line = m_lines[r];
        if (line.IsContinued())
            continue;
        done += static_cast<uint64_t>(line.lineLen) + static_cast<uint64_t>(termLen);
        progress.Step(done);
        const size_t len = line.lineLen > 0 ? static_cast<size_t>(line.lineLen) : 0;
        const size_t need = len + (first ? 0 : termLen);
        if (need + kCopySlack > static_cast<size_t>(limit - out)) {
            start = writer.HandOver(static_cast<size_t>(out - start));
            limit = start + size;
            out = start;
            // A line longer than a buffer goes out from its own memory, which stays as it is
            // until the save is over.
            if (need + kCopySlack > size) {
                if (!first)
                    writer.HandOverDirect(term, termLen);
                writer.HandOverDirect(line.data, len);
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
        CopyLine(out, line, BlockOf(line), len);
        out += len;
    }
    writer.Finish(static_cast<size_t>(out - start));
    progress.Finish();
    return true;
}

bool CFxEditDoc::StoreUnicode(fxsys::FileHandle file, int encoding) {
    static const unsigned char kUtf8Mark[] = {0xEF, 0xBB, 0xBF};
    static const unsigned char kLeMark[] = {0xFF, 0xFE};
    static const unsigned char kBeMark[] = {0xFE, 0xFF};
    const bool utf8 = encoding == FxEncUtf8;

    // One mapping: the ANSI run and, for UTF-8, its UTF-16 units (at most one per byte), then
    // the writer's buffers, each holding a converted run: its UTF-16 units, or for UTF-8 the
    // encoded bytes (at most three per unit). A text that fits in one run is written at once on
    // this thread.
    const size_t scratch = kConvertRun * (utf8 ? 3 : 1);
    const size_t converted = kConvertRun * (utf8 ? 3 : 2);
    const int count = m_size > static_cast<int64_t>(kConvertRun) ? kConvertBuffers : 1;
    FxMappedBuffer work;
    work.OpenAnonymous(scratch + converted * static_cast<size_t>(count));
    char* const ansi = work.Data();
    uint16_t* const wide = reinterpret_cast<uint16_t*>(work.Data() + kConvertRun);
    size_t used = 0;

    try {
        FxStoreWriter writer(
            [this, file](const void* data, size_t len) { WriteForStore(file, data, len); },
            work.Data() + scratch, converted, count);

        // Converts a run of whole characters into the buffer being filled and hands it over. The
        // units are written as they lie in memory, which on this little-endian machine is
        // UTF-16 LE.
        auto emit = [&](const char* p, size_t n) {
            uint16_t* units = utf8 ? wide : reinterpret_cast<uint16_t*>(writer.Buffer());
            int got = ConvertForStore(p, static_cast<int>(n), units, static_cast<int>(kConvertRun));
            if (got <= 0)
                throw ConversionFailed();
            size_t k = static_cast<size_t>(got);
            if (utf8) {
                writer.HandOver(EncodeUtf8(units, k, writer.Buffer(), converted));
                return;
            }
            if (encoding == FxEncUtf16Be)
                for (size_t i = 0; i < k; ++i)
                    units[i] = static_cast<uint16_t>((units[i] << 8) | (units[i] >> 8));
            writer.HandOver(k * 2);
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

        if (utf8)
            writer.HandOverDirect(kUtf8Mark, sizeof kUtf8Mark);
        else if (encoding == FxEncUtf16Be)
            writer.HandOverDirect(kBeMark, sizeof kBeMark);
        else
            writer.HandOverDirect(kLeMark, sizeof kLeMark);

        const char* term = FxTerminator(m_lineEndType);
        const size_t termLen = static_cast<size_t>(FxTerminatorLength(m_lineEndType));
        bool first = true;
        FxFileProgress progress(*this, true, static_cast<uint64_t>(m_size));
        uint64_t done = 0;
        for (int32_t r = 0; r < m_lineCount; ++r) {
            const FxLine& line = m_lines[r];
            if (line.IsContinued())
                continue;
            done += static_cast<uint64_t>(line.lineLen) + termLen;
            progress.Step(done);
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
        writer.Finish(0);
        progress.Finish();
    } catch (const ConversionFailed&) {
        // The writer has stopped and been joined on the way out of the block.
        OnDocEvent(FxEvSaveConversion, 0);
        return false;
    }
    return true;
}
