// Character helpers of the syntax code over ANSI code page text: a character is one byte, or a
// lead byte with its trail byte when the trail lies inside the text. Characters are packed into
// 16 bits as lead | trail << 8. Case folding is that of the system for code page 936: ASCII
// letters, and the full-width Latin, Greek and Cyrillic letters of the double-byte rows.
// Layer: textview/ (byte-level).
#pragma once

#include "textdoc/Dbcs.h"

#include <cstddef>
#include <cstdint>

// The character at text[i] (i < len) packed into 16 bits; *clen gets its byte length.
inline uint16_t SynCharAt(const char* text, int i, int len, int* clen) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (i + 1 < len && FxIsLeadByte(b)) {
        *clen = 2;
        return static_cast<uint16_t>(b | static_cast<unsigned char>(text[i + 1]) << 8);
    }
    *clen = 1;
    return b;
}

uint16_t SynFoldLower(uint16_t ch);
uint16_t SynFoldUpper(uint16_t ch);

inline bool SynIsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Lowercases `len` bytes character by character into dst (which holds len bytes).
void SynLowerCopy(const char* src, int len, char* dst);

// Compares n bytes of a and b: exactly, or folding each character's case.
bool SynEqualBytes(const char* a, const char* b, int n, bool matchCase);

// Trims spaces and tabs at both ends of [*p, *p + *len).
void SynTrim(const char** p, int* len);
