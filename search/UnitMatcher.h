// Matching a prepared pattern within one line of UTF-16 units (the text of UTF-8 and UTF-16
// files): literal comparison folding only A-Z, whole words, and the regular-expression option.
// Columns are unit indexes. Layer: search/.
#pragma once

#include "search/WideRegex.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class FxUnitMatcher {
public:
    enum Result { NoMatch = 0, Matched = 1, Failed = -1 };

    // Prepares a pattern of ANSI bytes. delimiters: the word delimiters besides space and tab as
    // ANSI text (zero-terminated; null: none). False with Error() set (FxSearchError).
    bool Prepare(const char* pattern, int32_t len, bool matchCase, bool wholeWord, bool regExp,
                 const char* delimiters);
    int Error() const { return m_error; }
    int32_t ErrorChar() const { return m_errorChar; }

    // Makes line the one FindFirst looks at (a regular expression converts it once).
    void SetLine(const wchar_t* line, int32_t len);
    // The first match in line[from, len) of the line given to SetLine; a regular expression sees
    // the whole line (anchors, look-behind). Failed with Error() FxSeRunaway when matching grew
    // too complex.
    Result FindFirst(const wchar_t* line, int32_t len, int32_t from, int32_t& start, int32_t& end);
    // The replacement for the match FindFirst found last, as UTF-16 units.
    std::wstring Expand(const char* rep, int32_t repLen) const;

    bool IsBoundary(wchar_t c) const;

private:
    bool LiteralAt(const wchar_t* line, int32_t pos) const;
    bool WholeWordAt(const wchar_t* line, int32_t len, int32_t start, int32_t end) const;

    bool m_matchCase = false, m_wholeWord = false, m_regExp = false;
    std::wstring m_pattern; // A-Z folded without match case
    std::wstring m_delims;
    bool m_firstIsBoundary = false, m_lastIsBoundary = false;
    FxWideRegex m_regex;
    std::shared_ptr<const FxRegexHit> m_hit;
    int m_error = 0;
    int32_t m_errorChar = 0;
};
