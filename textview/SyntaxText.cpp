// Case folding and comparisons of the syntax code. Layer: textview/.
#include "textview/SyntaxText.h"

#include <cstring>

namespace {

// Double-byte letter ranges of code page 936 that have a case: upper lead/trail range and the
// distance to the lower-case trail byte.
struct CaseRange {
    unsigned char lead, first, last, delta;
};
const CaseRange kCaseRanges[] = {
    {0xA3, 0xC1, 0xDA, 0x20}, // full-width A..Z
    {0xA6, 0xA1, 0xB8, 0x20}, // Greek capitals
    {0xA7, 0xA1, 0xC1, 0x30}, // Cyrillic capitals
};

} // namespace

uint16_t SynFoldLower(uint16_t ch) {
    if (ch < 0x100)
        return (ch >= 'A' && ch <= 'Z') ? static_cast<uint16_t>(ch + 32) : ch;
    unsigned char lead = ch & 0xFF, trail = ch >> 8;
    for (const CaseRange& r : kCaseRanges) {
        if (lead == r.lead && trail >= r.first && trail <= r.last)
            return static_cast<uint16_t>(lead | (trail + r.delta) << 8);
    }
    return ch;
}

uint16_t SynFoldUpper(uint16_t ch) {
    if (ch < 0x100)
        return (ch >= 'a' && ch <= 'z') ? static_cast<uint16_t>(ch - 32) : ch;
    unsigned char lead = ch & 0xFF, trail = ch >> 8;
    for (const CaseRange& r : kCaseRanges) {
        if (lead == r.lead && trail >= r.first + r.delta && trail <= r.last + r.delta)
            return static_cast<uint16_t>(lead | (trail - r.delta) << 8);
    }
    return ch;
}

void SynLowerCopy(const char* src, int len, char* dst) {
    for (int i = 0; i < len;) {
        int n;
        uint16_t ch = SynFoldLower(SynCharAt(src, i, len, &n));
        dst[i] = static_cast<char>(ch & 0xFF);
        if (n == 2)
            dst[i + 1] = static_cast<char>(ch >> 8);
        i += n;
    }
}

bool SynEqualBytes(const char* a, const char* b, int n, bool matchCase) {
    if (matchCase)
        return std::memcmp(a, b, static_cast<size_t>(n)) == 0;
    for (int i = 0; i < n;) {
        int na, nb;
        uint16_t ca = SynCharAt(a, i, n, &na), cb = SynCharAt(b, i, n, &nb);
        if (na != nb || SynFoldLower(ca) != SynFoldLower(cb))
            return false;
        i += na;
    }
    return true;
}

void SynTrim(const char** p, int* len) {
    const char* s = *p;
    int n = *len;
    while (n > 0 && SynIsBlank(*s)) {
        ++s;
        --n;
    }
    while (n > 0 && SynIsBlank(s[n - 1]))
        --n;
    *p = s;
    *len = n;
}
