// Matching within one logical line. Layer: search/.
#include "search/LineMatcher.h"

#include "search/RequiredLiteral.h"
#include "search/SearchErrors.h"
#include "textdoc/Dbcs.h"

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// The delimiters a file type has before its settings give others.
const uint16_t kDefaultDelimiters[] = {',', '.', '?', '!', ';', ':', '/', '<',  '>',
                                       '(', ')', '{', '}', '[', ']', '"', '\'', 0};

inline unsigned char Byte(const char* s, int32_t i) {
    return static_cast<unsigned char>(s[i]);
}
inline unsigned char Lower(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

} // namespace

bool FxLineMatcher::Prepare(const char* pattern, int32_t len, const FxMatchOptions& options) {
    m_options = options;
    m_error = FxSeNone;
    m_errorOffset = -1;
    m_errorChar = 0;
    if (!pattern)
        len = 0;
    else if (len < 0)
        len = static_cast<int32_t>(std::strlen(pattern));
    m_pattern.assign(pattern ? pattern : "", static_cast<size_t>(len));

    std::memset(m_singleDelim, 0, sizeof m_singleDelim);
    m_doubleDelims.clear();
    m_singleDelim[' '] = m_singleDelim['\t'] = true;
    for (const uint16_t* d = options.delimiters ? options.delimiters : kDefaultDelimiters; *d; ++d)
        if (*d > 0xFF)
            m_doubleDelims.push_back(static_cast<uint16_t>((*d & 0xFF) << 8 | *d >> 8));
        else
            m_singleDelim[*d] = true;

    m_hasPrefilter = false;
    m_sets.clear();
    m_lineData = nullptr;
    m_lineLen = -1;
    if (len == 0) {
        m_error = FxSeEmptyPattern;
        return false;
    }
    if (options.regExp) {
        if (!m_regex.Compile(m_pattern.data(), len, options.matchCase)) {
            m_error = m_regex.Error();
            m_errorOffset = m_regex.ErrorOffset();
            m_errorChar = m_regex.ErrorChar();
            return false;
        }
        const std::string required = FxRequiredLiteral(m_pattern.data(), len, options.matchCase);
        // A run of classes longer than the literal run tests more of each candidate: a pattern
        // of classes alone still passes over nearly every line.
        std::vector<FxByteSet> sets = FxRequiredClassRun(m_pattern.data(), len, options.matchCase);
        if (sets.size() > required.size() && sets.size() >= 2) {
            SetClassPrefilter(std::move(sets));
            m_hasPrefilter = true;
            return true;
        }
        m_hasPrefilter = !required.empty();
        if (m_hasPrefilter)
            SetPrefilter(required);
        return true;
    }
    // Lower-case single-byte letters only, stepping over double-byte characters whole.
    int lastStart = 0;
    for (int32_t i = 0; i < len;) {
        int cl = FxCharLen(m_pattern.data(), static_cast<size_t>(i), static_cast<size_t>(len));
        if (cl == 1 && !options.matchCase)
            m_pattern[static_cast<size_t>(i)] = static_cast<char>(Lower(Byte(m_pattern.data(), i)));
        lastStart = i;
        i += cl;
    }
    int cl;
    m_firstIsBoundary = IsBoundary(FxCharCodeAt(m_pattern.data(), 0, len, &cl));
    m_lastIsBoundary = IsBoundary(FxCharCodeAt(m_pattern.data(), lastStart, len, &cl));
    m_hasPrefilter = true;
    SetPrefilter(m_pattern);
    return true;
}

void FxLineMatcher::SetPrefilter(const std::string& start) {
    // Text that matches has, where the pattern has a lower-case letter, that letter in either
    // case (a single byte) or exactly that byte (part of a double-byte character); or-ing 0x20
    // into the text's byte covers both. Any other byte of the pattern is matched exactly.
    m_span = static_cast<ptrdiff_t>(start.size()) - 1;
    m_first = Byte(start.data(), 0);
    m_last = Byte(start.data(), static_cast<int32_t>(m_span));
    const auto fold = [&](unsigned char c) {
        return static_cast<unsigned char>(!m_options.matchCase && c >= 'a' && c <= 'z' ? 0x20 : 0);
    };
    m_foldFirst = fold(m_first);
    m_foldLast = fold(m_last);
}

void FxLineMatcher::SetClassPrefilter(std::vector<FxByteSet> sets) {
    m_sets = std::move(sets);
    // The scan looks first at the position with the fewest members.
    m_anchor = 0;
    size_t fewest = 257;
    for (size_t k = 0; k < m_sets.size(); ++k) {
        const size_t n = static_cast<size_t>(std::count(m_sets[k].begin(), m_sets[k].end(), true));
        if (n < fewest) {
            fewest = n;
            m_anchor = k;
        }
    }
    m_anchorBytes.clear();
    for (int c = 0; c < 256; ++c)
        if (m_sets[m_anchor][static_cast<size_t>(c)])
            m_anchorBytes.push_back(static_cast<unsigned char>(c));
}

const char* FxLineMatcher::NextClassCandidate(const char* p, const char* end) const {
    const ptrdiff_t n = static_cast<ptrdiff_t>(m_sets.size());
    if (end - p < n)
        return end;
    const char* const stop = end - n + 1;
    const FxByteSet& anchor = m_sets[m_anchor];
    const ptrdiff_t at = static_cast<ptrdiff_t>(m_anchor);
    const auto fits = [&](const char* q) {
        for (ptrdiff_t k = 0; k < n; ++k)
            if (!m_sets[static_cast<size_t>(k)][Byte(q, static_cast<int32_t>(k))])
                return false;
        return true;
    };
#ifdef __SSE2__
    // A sparse anchor (up to four bytes) is looked for sixteen bytes at a time.
    if (m_anchorBytes.size() <= 4) {
        __m128i want[4];
        for (size_t k = 0; k < 4; ++k)
            want[k] =
                _mm_set1_epi8(static_cast<char>(m_anchorBytes[k < m_anchorBytes.size() ? k : 0]));
        for (; stop - p >= 16; p += 16) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at));
            const __m128i hit =
                _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(a, want[0]), _mm_cmpeq_epi8(a, want[1])),
                             _mm_or_si128(_mm_cmpeq_epi8(a, want[2]), _mm_cmpeq_epi8(a, want[3])));
            for (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit)); mask;
                 mask &= mask - 1) {
                const char* q = p + __builtin_ctz(mask);
                if (fits(q))
                    return q;
            }
        }
    }
#endif
    for (; p < stop; ++p)
        if (anchor[Byte(p, static_cast<int32_t>(at))] && fits(p))
            return p;
    return end;
}

const char* FxLineMatcher::NextCandidate(const char* p, const char* end) const {
    if (!m_hasPrefilter)
        return p;
    if (!m_sets.empty())
        return NextClassCandidate(p, end);
    // Candidates j lie in [p, stop); the second byte tested is read at j + span.
    const ptrdiff_t span = m_span;
    if (end - p <= span)
        return end;
    const char* const stop = end - span;
#ifdef __SSE2__
    const __m128i first = _mm_set1_epi8(static_cast<char>(m_first));
    const __m128i last = _mm_set1_epi8(static_cast<char>(m_last));
    const __m128i foldFirst = _mm_set1_epi8(static_cast<char>(m_foldFirst));
    const __m128i foldLast = _mm_set1_epi8(static_cast<char>(m_foldLast));
    for (; stop - p >= 16; p += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + span));
        const __m128i hit = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(a, foldFirst), first),
                                          _mm_cmpeq_epi8(_mm_or_si128(b, foldLast), last));
        if (const int mask = _mm_movemask_epi8(hit))
            return p + __builtin_ctz(static_cast<unsigned>(mask));
    }
#endif
    for (; p < stop; ++p)
        if ((Byte(p, 0) | m_foldFirst) == m_first && (Byte(p, span) | m_foldLast) == m_last)
            return p;
    return end;
}

bool FxLineMatcher::IsBoundary(uint16_t code) const {
    if (code <= 0xFF)
        return m_singleDelim[code];
    return std::find(m_doubleDelims.begin(), m_doubleDelims.end(), code) != m_doubleDelims.end();
}

int32_t FxLineMatcher::SnapToChar(const char* line, int32_t len, int32_t col) {
    if (col <= 0)
        return 0;
    if (col >= len)
        return len;
    int32_t i = 0;
    while (i < col)
        i += FxCharLen(line, static_cast<size_t>(i), static_cast<size_t>(len));
    return i;
}

// Compares the pattern at pos character by character: a double-byte character of the text as a
// whole and exactly, a single byte folded when case does not matter.
bool FxLineMatcher::LiteralAt(const char* line, int32_t len, int32_t pos, int32_t to) const {
    const char* p = m_pattern.data();
    const int32_t plen = static_cast<int32_t>(m_pattern.size());
    int32_t t = pos, k = 0;
    while (k < plen) {
        if (t >= to)
            return false;
        if (FxCharLen(line, static_cast<size_t>(t), static_cast<size_t>(len)) == 2) {
            if (k + 1 >= plen || t + 2 > to || line[t] != p[k] || line[t + 1] != p[k + 1])
                return false;
            t += 2;
            k += 2;
        } else {
            unsigned char c = Byte(line, t);
            if (!m_options.matchCase)
                c = Lower(c);
            if (c != Byte(p, k))
                return false;
            ++t;
            ++k;
        }
    }
    return true;
}

bool FxLineMatcher::WholeWordAt(const char* line, int32_t len, int32_t start, int32_t end,
                                int32_t prev) const {
    int cl;
    bool firstBoundary = m_firstIsBoundary, lastBoundary = m_lastIsBoundary;
    if (m_options.regExp) {
        firstBoundary = end > start && IsBoundary(FxCharCodeAt(line, start, len, &cl));
        lastBoundary = end > start &&
                       IsBoundary(FxCharCodeAt(line, FxCharStartBefore(line, end, len), len, &cl));
    }
    const bool before =
        start == 0 || firstBoundary || IsBoundary(FxCharCodeAt(line, prev, len, &cl));
    const bool after = end >= len || lastBoundary || IsBoundary(FxCharCodeAt(line, end, len, &cl));
    return before && after;
}

// Candidates come from the prefilter and are then placed on the character grid that starts at
// `from`: `known` is a character boundary at or before the candidate, `knownPrev` the start of
// the character before it (-2 while unknown, which happens only at `from`). A candidate right
// after a byte that is no lead byte starts a character; any other one is settled by stepping
// from `known`, which only ever moves forward, so that a line costs linear time at worst.
FxLineMatcher::Result FxLineMatcher::ScanLiteral(const char* line, int32_t len, int32_t from,
                                                 int32_t to, FxLineMatch& m) const {
    const int32_t plen = static_cast<int32_t>(m_pattern.size());
    const auto stepTo = [&](int32_t& known, int32_t& knownPrev, int32_t target) {
        while (known < target) {
            knownPrev = known;
            known += FxCharLen(line, static_cast<size_t>(known), static_cast<size_t>(len));
        }
    };
    int32_t known = from, knownPrev = -2;
    for (int32_t pos = from; to - pos >= plen;) {
        const int32_t j = static_cast<int32_t>(NextCandidate(line + pos, line + to) - line);
        if (j >= to)
            break;
        if (j != known && FxIsLeadByte(Byte(line, j - 1))) {
            stepTo(known, knownPrev, j);
            if (known != j) { // j is the trail byte of a double-byte character
                pos = known;
                continue;
            }
        }
        if (LiteralAt(line, len, j, to)) {
            if (!m_options.wholeWord) {
                m.start = j;
                m.end = j + plen;
                return Matched;
            }
            stepTo(known, knownPrev, j);
            const int32_t prev = j == 0            ? -1
                                 : knownPrev == -2 ? FxCharStartBefore(line, j, len)
                                                   : knownPrev;
            if (WholeWordAt(line, len, j, j + plen, prev)) {
                m.start = j;
                m.end = j + plen;
                return Matched;
            }
        }
        knownPrev = j;
        known = pos = j + FxCharLen(line, static_cast<size_t>(j), static_cast<size_t>(len));
    }
    return NoMatch;
}

FxLineMatcher::Result FxLineMatcher::Scan(const char* line, int32_t len, int32_t from, int32_t to,
                                          FxLineMatch& m) {
    if (from > to)
        return NoMatch;
    if (!m_options.regExp)
        return ScanLiteral(line, len, from, to, m);
    return ScanRegex(line, len, from, to, m);
}

// A match that is not a whole word is passed over: the search resumes one character after its
// start.
FxLineMatcher::Result FxLineMatcher::ScanRegex(const char* line, int32_t len, int32_t from,
                                               int32_t to, FxLineMatch& m) {
    for (int32_t pos = from; pos <= to;) {
        int32_t start = 0, end = 0;
        const FxWideRegex::Result r = m_regex.Search(pos, to, start, end, &m.hit);
        if (r == FxWideRegex::Failed) {
            m_error = m_regex.Error();
            return Failed;
        }
        if (r == FxWideRegex::NoMatch)
            return NoMatch;
        m.start = start;
        m.end = end;
        if (!m_options.wholeWord ||
            WholeWordAt(line, len, start, end,
                        start > 0 ? FxCharStartBefore(line, start, len) : -1))
            return Matched;
        if (start >= to)
            break;
        pos = start + FxCharLen(line, static_cast<size_t>(start), static_cast<size_t>(len));
    }
    return NoMatch;
}

void FxLineMatcher::SetLine(const char* line, int32_t len) {
    if (!m_options.regExp)
        return;
    m_regex.SetLine(line, len);
    m_lineData = line;
    m_lineLen = len;
}

FxLineMatcher::Result FxLineMatcher::FindFirst(const char* line, int32_t len, int32_t from,
                                               int32_t to, FxLineMatch& m) {
    SetLine(line, len);
    return Scan(line, len, from, std::min(to, len), m);
}

FxLineMatcher::Result FxLineMatcher::FindNext(const char* line, int32_t len, int32_t from,
                                              int32_t to, FxLineMatch& m) {
    if (line != m_lineData || len != m_lineLen)
        SetLine(line, len);
    return Scan(line, len, from, std::min(to, len), m);
}

FxLineMatcher::Result FxLineMatcher::FindLast(const char* line, int32_t len, int32_t from,
                                              int32_t to, FxLineMatch& m) {
    SetLine(line, len);
    to = std::min(to, len);
    Result found = NoMatch;
    FxLineMatch cur;
    for (int32_t pos = from; pos <= to;) {
        Result r = Scan(line, len, pos, to, cur);
        if (r == Failed)
            return Failed;
        if (r == NoMatch)
            break;
        m = cur;
        found = Matched;
        if (cur.end > cur.start)
            pos = cur.end;
        else if (cur.end >= to)
            break;
        else
            pos = cur.end + FxCharLen(line, static_cast<size_t>(cur.end), static_cast<size_t>(len));
    }
    return found;
}

void FxLineMatcher::Expand(const char* rep, int32_t repLen, const char* line, const FxLineMatch& m,
                           std::string& out) const {
    if (!rep)
        repLen = 0;
    else if (repLen < 0)
        repLen = static_cast<int32_t>(std::strlen(rep));
    (void)line;
    if (m_options.regExp && m.hit)
        out = m_regex.Format(rep, repLen, *m.hit);
    else
        out.assign(rep ? rep : "", static_cast<size_t>(repLen));
}
