// ANSI code page text as UTF-16 for the regular-expression matcher: a table of every one- and
// two-byte character built once from the system conversion, and lines converted through it with
// a map from each unit back to the byte where its character starts. Layer: search/.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The UTF-16 unit of the character at text[i] (one byte, or a lead and a trail byte); *charLen
// is set to its length in bytes. A pair the code page does not define gives U+FFFD; a lead byte
// without a trail byte a unit of its own (U+DC80-U+DCFF).
uint16_t FxAnsiUnitAt(const char* text, int32_t i, int32_t len, int* charLen);

// One line converted: wide[k] is a character, byteOf[k] the byte offset where it starts, and
// byteOf[size] the line's length. A pair the code page does not define becomes two units of
// their own (U+DE80-U+DEFF for its lead byte, U+DD00-U+DDFF for its trail byte), which only
// the same bytes of a pattern match and which convert back to those bytes.
struct FxWideLine {
    std::vector<wchar_t> wide;
    std::vector<int32_t> byteOf;

    void Assign(const char* text, int32_t len);
    // UTF-16 text as it is: each unit maps to its own index.
    void AssignUnits(const wchar_t* text, int32_t len);
    int32_t Size() const { return static_cast<int32_t>(wide.size()); }
    // The unit index of a byte offset that starts a character (or of the first character after
    // it when it does not).
    int32_t UnitAt(int32_t byteOffset) const;
};

// Whole strings in both directions (the pattern and the replacement).
std::wstring FxAnsiToWideString(const char* text, int32_t len);
std::string FxWideToAnsiString(const wchar_t* text, size_t len);
