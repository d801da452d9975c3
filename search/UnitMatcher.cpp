// Matching within one line of UTF-16 units. Layer: search/.
#include "search/UnitMatcher.h"

#include "common/SysText.h"
#include "search/SearchErrors.h"

#include <cstring>

namespace {

inline wchar_t FoldAZ(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c;
}

std::wstring ToUnits(const char* text, int32_t len) {
    if (len <= 0)
        return std::wstring();
    const int n = fxsys::AnsiToWide(text, len, nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        fxsys::AnsiToWide(text, len, reinterpret_cast<uint16_t*>(&out[0]), n);
    return out;
}

} // namespace

bool FxUnitMatcher::Prepare(const char* pattern, int32_t len, bool matchCase, bool wholeWord,
                            bool regExp, const char* delimiters) {
    m_matchCase = matchCase;
    m_wholeWord = wholeWord;
    m_regExp = regExp;
    m_error = FxSeNone;
    m_errorChar = 0;
    m_hit.reset();
    if (!pattern)
        len = 0;
    else if (len < 0)
        len = static_cast<int32_t>(std::strlen(pattern));
    m_delims = delimiters ? ToUnits(delimiters, static_cast<int32_t>(std::strlen(delimiters)))
                          : std::wstring();
    if (len == 0) {
        m_error = FxSeEmptyPattern;
        return false;
    }
    if (regExp) {
        if (!m_regex.Compile(pattern, len, matchCase)) {
            m_error = m_regex.Error();
            m_errorChar = m_regex.ErrorChar();
            return false;
        }
        return true;
    }
    m_pattern = ToUnits(pattern, len);
    if (m_pattern.empty()) {
        m_error = FxSeBadPattern;
        return false;
    }
    if (!matchCase)
        for (wchar_t& c : m_pattern)
            c = FoldAZ(c);
    m_firstIsBoundary = IsBoundary(m_pattern.front());
    m_lastIsBoundary = IsBoundary(m_pattern.back());
    return true;
}

bool FxUnitMatcher::IsBoundary(wchar_t c) const {
    return c == L' ' || c == L'\t' || m_delims.find(c) != std::wstring::npos;
}

bool FxUnitMatcher::LiteralAt(const wchar_t* line, int32_t pos) const {
    const size_t n = m_pattern.size();
    if (m_matchCase)
        return std::wmemcmp(line + pos, m_pattern.data(), n) == 0;
    for (size_t k = 0; k < n; ++k)
        if (FoldAZ(line[static_cast<size_t>(pos) + k]) != m_pattern[k])
            return false;
    return true;
}

bool FxUnitMatcher::WholeWordAt(const wchar_t* line, int32_t len, int32_t start,
                                int32_t end) const {
    bool firstBoundary = m_firstIsBoundary, lastBoundary = m_lastIsBoundary;
    if (m_regExp) {
        firstBoundary = end > start && IsBoundary(line[start]);
        lastBoundary = end > start && IsBoundary(line[end - 1]);
    }
    const bool before = start == 0 || firstBoundary || IsBoundary(line[start - 1]);
    const bool after = end >= len || lastBoundary || IsBoundary(line[end]);
    return before && after;
}

void FxUnitMatcher::SetLine(const wchar_t* line, int32_t len) {
    if (m_regExp)
        m_regex.SetUnitLine(line, len);
}

FxUnitMatcher::Result FxUnitMatcher::FindFirst(const wchar_t* line, int32_t len, int32_t from,
                                               int32_t& start, int32_t& end) {
    if (m_regExp) {
        for (int32_t pos = from; pos <= len;) {
            const FxWideRegex::Result r = m_regex.Search(pos, len, start, end, &m_hit);
            if (r == FxWideRegex::Failed) {
                m_error = m_regex.Error();
                return Failed;
            }
            if (r == FxWideRegex::NoMatch)
                return NoMatch;
            if (!m_wholeWord || WholeWordAt(line, len, start, end))
                return Matched;
            pos = start + 1;
        }
        return NoMatch;
    }
    const int32_t plen = static_cast<int32_t>(m_pattern.size());
    const wchar_t first = m_pattern[0];
    const bool firstHasUpper = !m_matchCase && first >= L'a' && first <= L'z';
    const wchar_t firstUpper = static_cast<wchar_t>(first - 32);
    for (int32_t pos = from; len - pos >= plen; ++pos) {
        const wchar_t c = line[pos];
        if (c != first && !(firstHasUpper && c == firstUpper))
            continue;
        if (LiteralAt(line, pos) && (!m_wholeWord || WholeWordAt(line, len, pos, pos + plen))) {
            start = pos;
            end = pos + plen;
            return Matched;
        }
    }
    return NoMatch;
}

std::wstring FxUnitMatcher::Expand(const char* rep, int32_t repLen) const {
    if (!rep)
        repLen = 0;
    else if (repLen < 0)
        repLen = static_cast<int32_t>(std::strlen(rep));
    if (m_regExp && m_hit)
        return m_regex.FormatUnits(rep, repLen, *m_hit);
    return ToUnits(rep, repLen);
}
