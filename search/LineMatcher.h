// Matching a prepared pattern within the bytes of one logical line: the literal comparison with
// its case folding, the regular-expression option, and whole-word acceptance. Layer: search/.
#pragma once

#include "search/FxRegex.h"

#include <cstdint>
#include <string>
#include <vector>

// The options that shape a comparison.
struct FxMatchOptions {
    bool matchCase = false;
    bool wholeWord = false;
    bool regExp = false;
    // Word delimiters besides space and tab: zero-terminated 16-bit values, a double-byte
    // character packed as lead | trail << 8 (the file type's list). Null: the default list.
    const uint16_t* delimiters = nullptr;
};

// One match in a line: byte columns, and the groups of a regular expression.
struct FxLineMatch {
    int32_t start = 0, end = 0;
    FxRegexMatch groups;
};

class FxLineMatcher {
public:
    enum Result { NoMatch = 0, Matched = 1, Failed = -1 };

    // Prepares a pattern of len bytes (-1: up to its terminating zero). False with Error() set
    // for an empty pattern or an invalid regular expression.
    bool Prepare(const char* pattern, int32_t len, const FxMatchOptions& options);
    int Error() const { return m_error; }
    int32_t ErrorOffset() const { return m_errorOffset; }
    bool IsRegExp() const { return m_options.regExp; }
    FxRegex& Regex() { return m_regex; }

    // The first match that starts at or after `from` (a character boundary) and ends at or
    // before `to`, in a line of len bytes.
    Result FindFirst(const char* line, int32_t len, int32_t from, int32_t to, FxLineMatch& m);
    // The last match of the same range, scanning from `from` and resuming after each match.
    Result FindLast(const char* line, int32_t len, int32_t from, int32_t to, FxLineMatch& m);
    // The text that replaces a match: the replacement as given, or with its $ groups filled in.
    void Expand(const char* rep, int32_t repLen, const char* line, const FxLineMatch& m,
                std::string& out) const;

    // A byte column moved forward to the next character boundary of the line.
    static int32_t SnapToChar(const char* line, int32_t len, int32_t col);
    // Space, tab or one of the delimiters; code as FxCharCodeAt gives it.
    bool IsBoundary(uint16_t code) const;

private:
    Result Scan(const char* line, int32_t len, int32_t from, int32_t to, FxLineMatch& m);
    bool LiteralAt(const char* line, int32_t len, int32_t pos, int32_t to) const;
    bool WholeWordAt(const char* line, int32_t len, int32_t start, int32_t end, int32_t prev) const;

    FxMatchOptions m_options;
    std::string m_pattern; // lower-cased without match case
    bool m_firstIsBoundary = false, m_lastIsBoundary = false;
    bool m_singleDelim[256];
    std::vector<uint16_t> m_doubleDelims; // lead << 8 | trail
    FxRegex m_regex;
    int m_error = 0;
    int32_t m_errorOffset = -1;
};
