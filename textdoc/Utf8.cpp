// Encoding detection and the UTF-8 <-> UTF-16 codecs. Layer: textdoc/. No state: the find in
// files worker runs these on its own thread over its own buffers.
#include "textdoc/Utf8.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

inline unsigned char At(const char* p, size_t i) {
    return static_cast<unsigned char>(p[i]);
}

// Length of the ASCII run at the start of [p, p + n), looked at 16 bytes at a time; it may stop
// short of the real run, never beyond it.
inline size_t AsciiRun(const char* p, size_t n) {
    size_t i = 0;
#if defined(__SSE2__)
    while (i + 16 <= n) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        if (_mm_movemask_epi8(v) != 0)
            break;
        i += 16;
    }
#else
    (void)p;
    (void)n;
#endif
    return i;
}

// True when some unit of [p, p + count) (little-endian pairs of bytes) is 0 or equals `mark`.
bool HasUnitZeroOrMark(const unsigned char* p, size_t count, uint16_t mark) {
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i m = _mm_set1_epi16(static_cast<short>(mark));
    for (; i + 8 <= count; i += 8) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2 * i));
        __m128i hit = _mm_or_si128(_mm_cmpeq_epi16(v, zero), _mm_cmpeq_epi16(v, m));
        if (_mm_movemask_epi8(hit) != 0)
            return true;
    }
#endif
    for (; i < count; ++i) {
        uint16_t u = static_cast<uint16_t>(p[2 * i] | (p[2 * i + 1] << 8));
        if (u == 0 || u == mark)
            return true;
    }
    return false;
}

// Position of the first byte that has its high bit set or is 0, or `size` when there is none.
size_t FindHighOrZero(const char* p, size_t size) {
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= size; i += 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        int mask = _mm_movemask_epi8(v) | _mm_movemask_epi8(_mm_cmpeq_epi8(v, zero));
        if (mask != 0)
            return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
#endif
    for (; i < size; ++i)
        if (At(p, i) >= 0x80 || At(p, i) == 0)
            return i;
    return size;
}

inline bool IsCrOrLf(unsigned char b) {
    return b == '\r' || b == '\n';
}

} // namespace

int DetectEncoding(const char* bytes, size_t size) {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes);
    const bool evenPair = size >= 2 && size % 2 == 0;
    if (evenPair && b[0] == 0xFF && b[1] == 0xFE && !HasUnitZeroOrMark(b + 2, size / 2 - 1, 0xFEFF))
        return 3; // UTF-16 little-endian
    // The UTF-8 mark decides by itself: a marked file whose first line holds a sequence this
    // editor cannot decode (four bytes) is still UTF-8, loaded with the loss recorded, rather
    // than shown as garbled ANSI throughout.
    if (size >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
        return 2;
    // UTF-8 is judged by the first line that holds a byte with the high bit set or a 0 byte;
    // lines end at CR, LF or CR LF, and the line is tested without its break.
    size_t hit = FindHighOrZero(bytes, size);
    if (hit < size) {
        size_t start = hit, end = hit;
        while (start > 0 && !IsCrOrLf(b[start - 1]))
            --start;
        while (end < size && !IsCrOrLf(b[end]))
            ++end;
        if (IsUtf8Text(bytes + start, end - start))
            return 2;
    }
    // Read as little-endian units, the big-endian mark FE FF is 0xFFFE.
    if (evenPair && b[0] == 0xFE && b[1] == 0xFF && !HasUnitZeroOrMark(b + 2, size / 2 - 1, 0xFFFE))
        return 4;
    return 1;
}

bool IsUtf8Text(const char* bytes, size_t size) {
    if (size == 0)
        return false;
    size_t i = 0;
    while (i < size) {
        i += AsciiRun(bytes + i, size - i);
        if (i >= size)
            break;
        unsigned char b0 = At(bytes, i);
        size_t len;
        if (b0 < 0x80)
            len = 1;
        else if (b0 >= 0xC0 && b0 <= 0xDF)
            len = 2;
        else if (b0 >= 0xE0 && b0 <= 0xEF)
            len = 3;
        else
            return false;
        if (len > size - i)
            return false;
        for (size_t k = 1; k < len; ++k)
            if ((At(bytes, i + k) & 0xC0) != 0x80)
                return false;
        i += len;
    }
    return true;
}

size_t MeasureUtf8(const char* bytes, size_t size, bool* exact) {
    bool ok = true;
    size_t units = 0, i = 0;
    while (i < size) {
        size_t run = AsciiRun(bytes + i, size - i);
        units += run;
        i += run;
        if (i >= size)
            break;
        unsigned char b0 = At(bytes, i);
        size_t len = b0 < 0x80                    ? 1
                     : (b0 >= 0xC0 && b0 <= 0xDF) ? 2
                     : (b0 >= 0xE0 && b0 <= 0xEF) ? 3
                                                  : 1;
        if (b0 >= 0x80 && len == 1)
            ok = false; // a continuation byte or a four-byte lead in first place
        if (len > size - i) {
            // A sequence cut off by the end counts as many units as it has bytes left.
            units += size - i;
            ok = false;
            break;
        }
        if (len >= 2) {
            unsigned char b1 = At(bytes, i + 1);
            if ((b1 & 0xC0) != 0x80)
                ok = false;
            if (len == 2 && b0 < 0xC2)
                ok = false; // overlong: decodes below 0x80
            if (len == 3) {
                if ((At(bytes, i + 2) & 0xC0) != 0x80)
                    ok = false;
                if (b0 == 0xE0 && b1 < 0xA0)
                    ok = false; // overlong: decodes below 0x800
                if (b0 == 0xED && b1 >= 0xA0)
                    ok = false; // a surrogate unit, which no code page converts back
            }
        }
        ++units;
        i += len;
    }
    if (exact)
        *exact = ok;
    return units;
}

size_t DecodeUtf8(const char* bytes, size_t size, uint16_t* units, size_t capacity) {
    if (capacity == 0)
        return MeasureUtf8(bytes, size, nullptr);
    size_t used = 0;
    return DecodeUtf8Part(bytes, size, units, capacity, &used);
}

size_t DecodeUtf8Part(const char* bytes, size_t size, uint16_t* units, size_t capacity,
                      size_t* used, bool* exact) {
    size_t n = 0, i = 0;
    while (i < size && n < capacity) {
#if defined(__SSE2__)
        // Sixteen ASCII bytes widen to sixteen units at once.
        const __m128i zero = _mm_setzero_si128();
        while (i + 16 <= size && n + 16 <= capacity) {
            __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
            if (_mm_movemask_epi8(v) != 0)
                break;
            _mm_storeu_si128(reinterpret_cast<__m128i*>(units + n), _mm_unpacklo_epi8(v, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(units + n + 8), _mm_unpackhi_epi8(v, zero));
            i += 16;
            n += 16;
        }
        if (i >= size || n >= capacity)
            break;
#endif
        unsigned b0 = At(bytes, i);
        unsigned u;
        bool regular = true;
        if (b0 < 0x80) {
            u = b0;
            i += 1;
        } else if (b0 >= 0xC0 && b0 <= 0xDF) {
            unsigned b1 = i + 1 < size ? At(bytes, i + 1) : 0;
            u = ((b0 << 6) & 0x7FF) | (b1 & 0x3F);
            regular = (b1 & 0xC0) == 0x80 && u >= 0x80;
            i += 2;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            unsigned b1 = i + 1 < size ? At(bytes, i + 1) : 0;
            unsigned b2 = i + 2 < size ? At(bytes, i + 2) : 0;
            u = ((b0 & 0x0F) << 12) | ((b1 & 0x3F) << 6) | (b2 & 0x3F);
            regular = (b1 & 0xC0) == 0x80 && (b2 & 0xC0) == 0x80 && u >= 0x800 &&
                      (u < 0xD800 || u > 0xDFFF);
            i += 3;
        } else {
            u = b0;
            regular = false;
            i += 1;
        }
        if (i > size)
            regular = false; // cut off by the end
        if (!regular && exact)
            *exact = false;
        units[n++] = static_cast<uint16_t>(u);
    }
    *used = i < size ? i : size;
    return n;
}

size_t EncodeUtf8(const uint16_t* units, size_t count, char* bytes, size_t capacity) {
    if (capacity == 0) {
        size_t n = 0;
        for (size_t k = 0; k < count; ++k)
            n += units[k] < 0x80 ? 1 : units[k] < 0x800 ? 2 : 3;
        return n;
    }
    size_t n = 0;
    for (size_t k = 0; k < count && n < capacity; ++k) {
        unsigned u = units[k];
        unsigned char seq[3];
        size_t len;
        if (u < 0x80) {
            bytes[n++] = static_cast<char>(u);
            continue;
        }
        if (u < 0x800) {
            seq[0] = static_cast<unsigned char>(0xC0 | (u >> 6));
            seq[1] = static_cast<unsigned char>(0x80 | (u & 0x3F));
            len = 2;
        } else {
            seq[0] = static_cast<unsigned char>(0xE0 | (u >> 12));
            seq[1] = static_cast<unsigned char>(0x80 | ((u >> 6) & 0x3F));
            seq[2] = static_cast<unsigned char>(0x80 | (u & 0x3F));
            len = 3;
        }
        if (len > capacity - n)
            len = capacity - n;
        std::memcpy(bytes + n, seq, len);
        n += len;
    }
    return n;
}
