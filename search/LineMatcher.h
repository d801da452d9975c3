// Matching a prepared pattern within the bytes of one logical line: the literal comparison with
// its case folding, the regular-expression option, and whole-word acceptance. Layer: search/.
#pragma once

#include "search/CharCode.h"
#include "search/RequiredLiteral.h"
#include "search/WideRegex.h"

#include <cstddef>
#include <cstdint>
#include <memory>
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
    std::shared_ptr<const FxRegexHit> hit; // the groups of a regular expression's match
};

class FxLineMatcher {
public:
    enum Result { NoMatch = 0, Matched = 1, Failed = -1 };

    // Prepares a pattern of len bytes (-1: up to its terminating zero). False with Error() set
    // for an empty pattern or an invalid regular expression.
    bool Prepare(const char* pattern, int32_t len, const FxMatchOptions& options);
    int Error() const { return m_error; }
    int32_t ErrorOffset() const { return m_errorOffset; }
    int32_t ErrorChar() const { return m_errorChar; } // the character, from 1; 0 when none
    bool IsRegExp() const { return m_options.regExp; }

    // The first match that starts at or after `from` (a character boundary) and ends at or
    // before `to`, in a line of len bytes.
    Result FindFirst(const char* line, int32_t len, int32_t from, int32_t to, FxLineMatch& m);
    // The same as FindFirst, in the line that the previous FindFirst or FindNext looked at and
    // whose bytes have not changed since: the regular expression goes on with the line as it
    // converted it then, so that stepping through all the matches of a line costs time linear
    // in the line. Another line (another address or length) is converted as FindFirst does.
    Result FindNext(const char* line, int32_t len, int32_t from, int32_t to, FxLineMatch& m);
    // The last match of the same range, scanning from `from` and resuming after each match.
    Result FindLast(const char* line, int32_t len, int32_t from, int32_t to, FxLineMatch& m);
    // The text that replaces a match: the replacement as given, or with its groups ($0-$99,
    // ${name}) and escapes filled in.
    void Expand(const char* rep, int32_t repLen, const char* line, const FxLineMatch& m,
                std::string& out) const;

    // True when NextCandidate can rule out stretches of text: a literal pattern, or a regular
    // expression whose matches all hold known characters.
    bool HasPrefilter() const { return m_hasPrefilter; }
    // The first byte of [p, end) where a match lying inside [p, end) could start, or end when
    // there is none: a cheap test of the first and last bytes of the pattern, to be confirmed by
    // FindFirst. For a regular expression the test is of the characters that every match holds
    // (the candidate is where they could start, inside the match). Any bytes will do: a candidate
    // need not start a character, and [p, end) may hold several lines laid end to end, so that a
    // line without a candidate holds no match. Every position is a candidate without a prefilter.
    const char* NextCandidate(const char* p, const char* end) const;

    // A byte column moved forward to the next character boundary of the line.
    static int32_t SnapToChar(const char* line, int32_t len, int32_t col);
    // Space, tab or one of the delimiters; code as FxCharCodeAt gives it.
    bool IsBoundary(uint16_t code) const;

private:
    // Converts the line for the regular expression and remembers it as the current one.
    void SetLine(const char* line, int32_t len);
    Result ScanRegex(const char* line, int32_t len, int32_t from, int32_t to, FxLineMatch& m);
    Result Scan(const char* line, int32_t len, int32_t from, int32_t to, FxLineMatch& m);
    void SetPrefilter(const std::string& start);
    // The prefilter of a run of classes that every match holds.
    void SetClassPrefilter(std::vector<FxByteSet> sets);
    const char* NextClassCandidate(const char* p, const char* end) const;
    Result ScanLiteral(const char* line, int32_t len, int32_t from, int32_t to,
                       FxLineMatch& m) const;
    bool LiteralAt(const char* line, int32_t len, int32_t pos, int32_t to) const;
    bool WholeWordAt(const char* line, int32_t len, int32_t start, int32_t end, int32_t prev) const;

    FxMatchOptions m_options;
    std::string m_pattern; // lower-cased without match case
    bool m_firstIsBoundary = false, m_lastIsBoundary = false;
    // The prefilter of a literal, or of the characters every match of a regular expression
    // holds: a candidate's first byte and the byte m_span after it, or-ed with the fold bits
    // (0x20 for a lower-case letter without match case, else 0), equal the pattern's.
    bool m_hasPrefilter = false;
    ptrdiff_t m_span = 0;
    unsigned char m_first = 0, m_last = 0, m_foldFirst = 0, m_foldLast = 0;
    bool m_singleDelim[256];
    std::vector<uint16_t> m_doubleDelims; // lead << 8 | trail
    // A run of byte sets instead (not empty when in use), tested from its sparsest position.
    std::vector<FxByteSet> m_sets;
    size_t m_anchor = 0;
    std::vector<unsigned char> m_anchorBytes; // the members of the anchor position
    FxWideRegex m_regex;
    const char* m_lineData = nullptr; // the line m_regex holds converted
    int32_t m_lineLen = -1;
    int m_error = 0;
    int32_t m_errorOffset = -1;
    int32_t m_errorChar = 0;
};
