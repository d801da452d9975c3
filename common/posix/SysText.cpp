// Native stand-in for the text seam, used only by the sanitizer build of the engine's tests:
// code page 936 through iconv; character types approximated from ASCII and GBK ranges.
#include "common/SysText.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <vector>

namespace fxsys {

namespace {

iconv_t Open(const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1) && std::strcmp(from, "CP936") == 0)
        cd = iconv_open(to, "GBK");
    if (cd == reinterpret_cast<iconv_t>(-1) && std::strcmp(to, "CP936") == 0)
        cd = iconv_open("GBK", from);
    return cd;
}

// Converts the whole source, substituting `fallback` for what cannot be converted.
std::vector<char> Convert(const char* to, const char* from, const char* src, size_t srcLen,
                          size_t unit, const char* fallback, size_t fallbackLen, bool* lossy) {
    std::vector<char> out;
    iconv_t cd = Open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return out;
    char buf[4096];
    char* in = const_cast<char*>(src);
    size_t inLeft = srcLen;
    while (inLeft > 0) {
        char* o = buf;
        size_t oLeft = sizeof buf;
        size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
        out.insert(out.end(), buf, o);
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            // Unconvertible or cut-off input: one unit becomes the fallback.
            size_t skip = inLeft < unit ? inLeft : unit;
            in += skip;
            inLeft -= skip;
            out.insert(out.end(), fallback, fallback + fallbackLen);
            if (lossy)
                *lossy = true;
        }
    }
    iconv_close(cd);
    return out;
}

} // namespace

void FillLeadByteTable(unsigned char flags[256]) {
    for (int b = 0; b < 256; ++b)
        flags[b] = (b >= 0x81 && b <= 0xFE) ? 1 : 0;
}

bool SameTextNoCase(const char* a, const char* b) {
    // ASCII letters fold; a double-byte character compares whole, byte for byte.
    const auto fold = [](unsigned char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
    };
    size_t i = 0;
    for (;;) {
        const unsigned char x = static_cast<unsigned char>(a[i]);
        const unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 0x81 && x <= 0xFE && a[i + 1] != '\0') {
            if (x != y || a[i + 1] != b[i + 1])
                return false;
            i += 2;
            continue;
        }
        if (fold(x) != fold(y))
            return false;
        if (x == 0)
            return true;
        ++i;
    }
}

int AnsiToWide(const char* src, int srcLen, uint16_t* dst, int dstCap) {
    if (srcLen <= 0)
        return 0;
    static const char kQ[2] = {'?', 0};
    std::vector<char> w = Convert("UTF-16LE", "CP936", src, srcLen, 1, kQ, 2, nullptr);
    int units = static_cast<int>(w.size() / 2);
    if (dstCap == 0)
        return units;
    if (units > dstCap)
        return 0;
    std::memcpy(dst, w.data(), w.size());
    return units;
}

int WideToAnsi(const uint16_t* src, int srcLen, char* dst, int dstCap, bool* lossy) {
    if (srcLen <= 0)
        return 0;
    if (lossy)
        *lossy = false;
    std::vector<char> a = Convert("CP936", "UTF-16LE", reinterpret_cast<const char*>(src),
                                  static_cast<size_t>(srcLen) * 2, 2, "?", 1, lossy);
    int bytes = static_cast<int>(a.size());
    if (dstCap == 0)
        return bytes;
    if (bytes > dstCap)
        return 0;
    std::memcpy(dst, a.data(), a.size());
    return bytes;
}

// The letters with two cases that code page 936 holds: ASCII, Greek, Cyrillic, full-width Latin.
uint16_t LowerUnit(uint16_t c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0x0391 && c <= 0x03A9 && c != 0x03A2) ||
        (c >= 0x0410 && c <= 0x042F))
        return static_cast<uint16_t>(c + 0x20);
    if (c >= 0xFF21 && c <= 0xFF3A)
        return static_cast<uint16_t>(c + 0x20);
    if (c == 0x0401)
        return 0x0451;
    return c;
}

uint16_t UpperUnit(uint16_t c) {
    if ((c >= 'a' && c <= 'z') || (c >= 0x03B1 && c <= 0x03C9 && c != 0x03C2) ||
        (c >= 0x0430 && c <= 0x044F))
        return static_cast<uint16_t>(c - 0x20);
    if (c >= 0xFF41 && c <= 0xFF5A)
        return static_cast<uint16_t>(c - 0x20);
    if (c == 0x0451)
        return 0x0401;
    return c;
}

bool GetCharTypes(const char* ch, int len, uint16_t* type1, uint16_t* type3) {
    unsigned char c = static_cast<unsigned char>(ch[0]);
    *type1 = 0;
    *type3 = 0;
    if (len == 2) {
        unsigned char t = static_cast<unsigned char>(ch[1]);
        if (c >= 0xB0 && c <= 0xF7 && t >= 0xA1)
            *type3 = kC3Ideograph;
        else if (c == 0xA1 || c == 0xA3)
            *type1 = kC1Punct;
        return true;
    }
    if (c == ' ' || c == '\t')
        *type1 = kC1Space | kC1Blank;
    else if (c >= '0' && c <= '9')
        *type1 = kC1Digit;
    else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
        *type3 = kC3Alpha;
    else if (c == '-' || c == '\'')
        *type3 = kC3Lexical, *type1 = kC1Punct;
    else if (c > 0x20 && c < 0x7F)
        *type1 = kC1Punct;
    return true;
}

} // namespace fxsys
