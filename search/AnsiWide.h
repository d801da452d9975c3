// ANSI code page text as UTF-16 for the regular-expression matcher: a table of every one- and
// two-byte character built once from the system conversion, and lines converted through it with
// a map from each unit back to the byte where its character starts. Layer: search/.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// The UTF-16 unit of the character at text[i] (one byte, or a lead and a trail byte); *charLen
// is set to its length in bytes. A pair or a byte the code page does not define gives U+FFFD; a
// lead byte without a trail byte a unit of its own (U+DC80-U+DCFF).
uint16_t FxAnsiUnitAt(const char* text, int32_t i, int32_t len, int* charLen);

// How many characters of the code page (single bytes and defined pairs) convert to unit: a
// character whose unit has more than one spelling may be matched by bytes other than its own.
int FxAnsiSpellings(uint16_t unit);
// True when, among the characters of the code page, only the ASCII character c itself and (for a
// letter) its other case have the lower case that c has: a search without match case then
// finds c only as one of those bytes.
bool FxAnsiFoldsAlone(unsigned char c);

// Units for the pairs the code page leaves undefined. Such a pair is still one character (a lead
// byte and the byte after it always are, as the caret takes them), given a surrogate unit of its
// own on first sight: no character converts to one, so it matches only the same pair, and it
// converts back to its bytes. Text that is matched together (the pattern, a line, a replacement)
// shares one book, so that a pair has the same unit in all of them.
class FxPairBook {
public:
    // The unit of the pair; U+FFFD once the book is full (text with that many different
    // undefined pairs is no text).
    uint16_t UnitOf(unsigned char lead, unsigned char trail);
    // The two bytes of a unit this book gave out; false for any other unit.
    bool BytesOf(uint16_t unit, char* lead, char* trail) const;
    size_t Size() const { return m_pairs.size(); }
    void Clear();

private:
    std::vector<uint16_t> m_pairs;                 // index of the unit -> lead << 8 | trail
    std::unordered_map<uint16_t, uint16_t> m_unit; // lead << 8 | trail -> unit
};

// One line converted: wide[k] is a character, byteOf[k] the byte offset where it starts, and
// byteOf[size] the line's length. A pair the code page does not define is one unit of the
// line's book; a byte that stands alone (a lead byte at the end, a byte the code page leaves
// undefined) is a unit U+DC80-U+DCFF of its own.
struct FxWideLine {
    std::vector<wchar_t> wide;
    std::vector<int32_t> byteOf;
    FxPairBook book; // the units of the undefined pairs, starting from the seed's

    void Assign(const char* text, int32_t len, const FxPairBook* seed = nullptr);
    // UTF-16 text as it is: each unit maps to its own index.
    void AssignUnits(const wchar_t* text, int32_t len, const FxPairBook* seed = nullptr);
    int32_t Size() const { return static_cast<int32_t>(wide.size()); }
    // The unit index of a byte offset that starts a character (or of the first character after
    // it when it does not).
    int32_t UnitAt(int32_t byteOffset) const;
};

// UTF-16 text back to ANSI bytes: the units of the book and the units of single bytes become
// their own bytes again.
std::string FxWideToAnsiString(const wchar_t* text, size_t len, const FxPairBook& book);
