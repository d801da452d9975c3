// A regular expression in Perl syntax matched over one line of ANSI text converted to UTF-16,
// with match positions mapped back to bytes, so that a match always covers whole characters.
// Layer: search/ (the matching library stays inside WideRegex.cpp).
#pragma once

#include "search/AnsiWide.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// The groups of one match, kept for the replacement text; opaque outside WideRegex.cpp.
struct FxRegexHit;

// The most states the matcher visits in one search of a line of lineUnits characters, with a
// pattern of patternUnits characters, before it gives up on a runaway match: it grows with the
// line, and with the pattern no faster than linearly.
std::ptrdiff_t FxRegexStateBound(std::ptrdiff_t lineUnits, std::ptrdiff_t patternUnits);

class FxWideRegex {
public:
    enum Result { NoMatch = 0, Matched = 1, Failed = -1 };

    FxWideRegex();
    ~FxWideRegex();
    FxWideRegex(const FxWideRegex&) = delete;
    FxWideRegex& operator=(const FxWideRegex&) = delete;

    // Compiles a pattern of len bytes; false with Error() (FxSearchError), ErrorOffset() (bytes)
    // and ErrorChar() (the character where the error stands, from 1) when it is invalid.
    bool Compile(const char* pattern, int32_t len, bool matchCase);
    int Error() const { return m_error; }
    int32_t ErrorOffset() const { return m_errorOffset; }
    int32_t ErrorChar() const { return m_errorChar; }

    // Makes line the one that Search looks at (converted once; kept until the next call).
    void SetLine(const char* line, int32_t len);
    // How many lines SetLine has converted in this process (for tests of the cost of a scan).
    static long LinesConverted();
    // The same for a line of UTF-16 units: columns are then unit indexes.
    void SetUnitLine(const wchar_t* line, int32_t len);
    // The first match in the current line starting at or after the byte column from and ending
    // at or before to (both character boundaries); anchors and look-behind see the text before
    // from. Failed with Error() FxSeRunaway when matching grew too complex.
    Result Search(int32_t from, int32_t to, int32_t& start, int32_t& end,
                  std::shared_ptr<const FxRegexHit>* hit);
    // The replacement text for a match (of any line): $0-$99, ${name} and \n-style escapes.
    std::string Format(const char* rep, int32_t len, const FxRegexHit& hit) const;
    // The same as UTF-16 units, for text that stays UTF-16.
    std::wstring FormatUnits(const char* rep, int32_t len, const FxRegexHit& hit) const;

private:
    std::wstring FormatWith(const char* rep, int32_t len, const FxRegexHit& hit,
                            FxPairBook* book) const;

    struct Impl;
    std::unique_ptr<Impl> m_impl;
    std::shared_ptr<FxWideLine> m_line; // shared with the hits that point into it
    FxPairBook m_patternBook;           // the undefined pairs of the pattern, which lines share
    int m_error = 0;
    int32_t m_errorOffset = -1;
    int32_t m_errorChar = 0;
};
