// Character helpers of the matchers. Layer: search/.
#include "search/CharCode.h"

#include "common/LeadBytes.h"

uint16_t FxCharCodeAt(const char* text, int32_t i, int32_t len, int* charLen) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (i + 1 < len && FxIsLeadByte(b)) {
        *charLen = 2;
        return static_cast<uint16_t>(b << 8 | static_cast<unsigned char>(text[i + 1]));
    }
    *charLen = 1;
    return b;
}

int32_t FxCharStartBefore(const char* text, int32_t pos, int32_t len) {
    // Any byte that is not a lead byte ends a character, so a run of lead-byte values starts on
    // a boundary and pairs up from there.
    (void)len;
    const auto lead = [&](int32_t i) { return FxIsLeadByte(static_cast<unsigned char>(text[i])); };
    const int32_t r = pos - 1;
    int32_t first = r;
    while (first > 0 && lead(first - 1))
        --first;
    if (lead(r)) // [first, r] are lead values: r is a trail when they pair up, else a lone lead
        return ((r - first + 1) % 2 == 0) ? r - 1 : r;
    return ((r - first) % 2 == 1) ? r - 1 : r; // [first, r) are lead values
}
