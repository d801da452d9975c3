// Platform seam for the byte-level engine: lead bytes, code-page conversion and character types
// of the system ANSI code page. Win32 in common/win32/, an iconv stand-in for native tests in
// common/posix/.
#pragma once

#include <cstdint>

namespace fxsys {

// Fills flags[b] = 1 when b is a lead byte of the ANSI code page, for b = 0..254; flags[255] = 0.
void FillLeadByteTable(unsigned char flags[256]);

// ANSI code page → UTF-16 (precomposed). With dstCap 0 returns the units needed.
// Returns 0 on failure (or for an empty source).
int AnsiToWide(const char* src, int srcLen, uint16_t* dst, int dstCap);

// UTF-16 → ANSI code page, no flags and no explicit default character, as the system does it.
// With dstCap 0 returns the bytes needed. Returns 0 on failure. When lossy is given it is set to
// true if some unit could not be represented exactly (default character or a best-fit look-alike).
int WideToAnsi(const uint16_t* src, int srcLen, char* dst, int dstCap, bool* lossy);

// The lower-case and upper-case forms of one UTF-16 unit as the system maps case; the unit
// itself when it has no other case.
uint16_t LowerUnit(uint16_t c);
uint16_t UpperUnit(uint16_t c);

// True when two texts are equal as the system compares file names: without regard to case,
// character by character (the trail byte of a double-byte character never matches a letter).
bool SameTextNoCase(const char* a, const char* b);

// Character type classes of one character (1 or 2 bytes) for the system default locale.
// Returns false when the query fails.
bool GetCharTypes(const char* ch, int len, uint16_t* type1, uint16_t* type3);

// The classes that the word count looks at (the Win32 CT_CTYPE1 / CT_CTYPE3 bits).
enum : uint16_t {
    kC1Digit = 0x0004,
    kC1Space = 0x0008,
    kC1Punct = 0x0010,
    kC1Blank = 0x0040,
    kC3Ideograph = 0x0100,
    kC3Alpha = 0x8000,
    kC3Lexical = 0x0400,
};

} // namespace fxsys
