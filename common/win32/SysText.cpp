// Win32 side of the text seam: the ANSI code page as the system defines it.
// Part of common/, the only place the byte-level engine reaches Windows for text.
#include "common/SysText.h"

#include <windows.h>

namespace fxsys {

void FillLeadByteTable(unsigned char flags[256]) {
    for (int b = 0; b < 255; ++b)
        flags[b] = IsDBCSLeadByte(static_cast<BYTE>(b)) ? 1 : 0;
    flags[255] = 0;
}

int AnsiToWide(const char* src, int srcLen, uint16_t* dst, int dstCap) {
    if (srcLen <= 0)
        return 0;
    return MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, src, srcLen, reinterpret_cast<wchar_t*>(dst),
                               dstCap);
}

uint16_t LowerUnit(uint16_t c) {
    wchar_t w = static_cast<wchar_t>(c);
    CharLowerBuffW(&w, 1);
    return static_cast<uint16_t>(w);
}

uint16_t UpperUnit(uint16_t c) {
    wchar_t w = static_cast<wchar_t>(c);
    CharUpperBuffW(&w, 1);
    return static_cast<uint16_t>(w);
}

int WideToAnsi(const uint16_t* src, int srcLen, char* dst, int dstCap, bool* lossy) {
    if (srcLen <= 0)
        return 0;
    const wchar_t* w = reinterpret_cast<const wchar_t*>(src);
    if (lossy) {
        // The used-default flag alone misses best-fit look-alikes, so ask without best fit:
        // when nothing needed the default character, the plain conversion is exact.
        BOOL usedDefault = FALSE;
        int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w, srcLen, dst, dstCap, nullptr,
                                    &usedDefault);
        if (n > 0 && !usedDefault) {
            *lossy = false;
            return n;
        }
        *lossy = true;
    }
    return WideCharToMultiByte(CP_ACP, 0, w, srcLen, dst, dstCap, nullptr, nullptr);
}

bool SameTextNoCase(const char* a, const char* b) {
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a, -1, b, -1) == CSTR_EQUAL;
}

bool GetCharTypes(const char* ch, int len, uint16_t* type1, uint16_t* type3) {
    WORD t1[2] = {0, 0}, t3[2] = {0, 0};
    if (!GetStringTypeExA(LOCALE_SYSTEM_DEFAULT, CT_CTYPE1, ch, len, t1))
        return false;
    if (!GetStringTypeExA(LOCALE_SYSTEM_DEFAULT, CT_CTYPE3, ch, len, t3))
        return false;
    *type1 = t1[0];
    *type3 = t3[0];
    return true;
}

} // namespace fxsys
