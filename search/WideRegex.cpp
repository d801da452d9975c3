// The regular-expression matcher over UTF-16 lines. Layer: search/.
#include "search/WideRegex.h"

#include "search/RegexTraits.h"
#include "search/SearchErrors.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <iterator>
#include <limits>

struct FxRegexHit {
    std::shared_ptr<const FxWideLine> line; // the text the groups point into
    boost::match_results<const wchar_t*> groups;
};

struct FxWideRegex::Impl {
    FxBoostRegex re;
};

std::ptrdiff_t FxRegexStateBound(std::ptrdiff_t lineUnits, std::ptrdiff_t patternUnits) {
    // A floor for short lines, and the cap the library puts on the square of the line.
    const std::ptrdiff_t floor = 100000, cap = BOOST_REGEX_MAX_STATE_COUNT;
    const std::ptrdiff_t n = std::max<std::ptrdiff_t>(lineUnits, 1);
    const std::ptrdiff_t s = std::max<std::ptrdiff_t>(patternUnits, 1);
    const std::ptrdiff_t square = n > cap / n ? cap : std::min(n * n, cap);
    const std::ptrdiff_t most = std::numeric_limits<std::ptrdiff_t>::max() / 2;
    const std::ptrdiff_t linear = n > most / s ? most : n * s;
    return std::max(square, linear) + floor;
}

// The matcher gives up, and the search reports a runaway match, after visiting a number of
// states. The library's own bound grows with the length of the line times the square of the
// pattern's, so that a long pattern (a comment or a wide alternation is enough) on a long line
// took minutes to give up. Here the bound grows with the line: the square of its length, capped
// as the library caps it, or the pattern's length once for each character of the line when that
// is more, so that a long pattern that does no more than that still finds its matches.
namespace boost {
namespace BOOST_REGEX_DETAIL_NS {
template <>
void perl_matcher<const wchar_t*, std::allocator<sub_match<const wchar_t*>>,
                  FxRegexTraits>::estimate_max_state_count(std::random_access_iterator_tag*) {
    max_state_count = FxRegexStateBound(last - base, static_cast<std::ptrdiff_t>(re.size()));
}
} // namespace BOOST_REGEX_DETAIL_NS
} // namespace boost

namespace {

std::atomic<long> g_linesConverted(0);

int ErrorOf(boost::regex_constants::error_type code) {
    namespace rc = boost::regex_constants;
    switch (code) {
    case rc::error_paren:
    case rc::error_right_paren:
        return FxSeParen;
    case rc::error_brack:
        return FxSeBracket;
    case rc::error_range:
    case rc::error_ctype: // also a range whose start lies after its end
        return FxSeRange;
    case rc::error_badrepeat:
        return FxSeNothingToRepeat;
    case rc::error_brace:
    case rc::error_badbrace:
        return FxSeBrace;
    case rc::error_escape:
        return FxSeEscape;
    case rc::error_backref:
        return FxSeBackref;
    case rc::error_collate:
        return FxSeCollate;
    case rc::error_perl_extension:
        return FxSeExtension;
    case rc::error_empty:
        return FxSeEmptyExpr;
    case rc::error_size:
    case rc::error_space:
        return FxSeTooComplex;
    case rc::error_complexity:
    case rc::error_stack:
        return FxSeRunaway;
    default:
        return FxSeBadPattern;
    }
}

bool IsWordUnit(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') ||
           c == L'_' || c >= 0x80;
}

// The capturing groups of a pattern: "(" not followed by "?", or a named group.
int CountGroups(const std::wstring& p) {
    int groups = 0;
    bool inClass = false;
    for (size_t i = 0; i < p.size(); ++i) {
        const wchar_t c = p[i];
        if (c == L'\\') {
            ++i;
        } else if (inClass) {
            inClass = c != L']';
        } else if (c == L'[') {
            inClass = true;
            if (i + 1 < p.size() && p[i + 1] == L'^')
                ++i;
            if (i + 1 < p.size() && p[i + 1] == L']')
                ++i;
        } else if (c == L'(') {
            if (i + 1 >= p.size() || p[i + 1] != L'?')
                ++groups;
            else if (i + 2 < p.size() && (p[i + 2] == L'\'' || p[i + 2] == L'P' ||
                                          (p[i + 2] == L'<' && i + 3 < p.size() &&
                                           p[i + 3] != L'=' && p[i + 3] != L'!')))
                ++groups;
        }
    }
    return groups;
}

// Back-references above 9 written as \NN, as Perl reads them (the longest number that names a
// group of the pattern), in the form the library knows: \g{NN}.
std::wstring WithLongBackrefs(const std::wstring& p) {
    const int groups = CountGroups(p);
    if (groups < 10)
        return p;
    std::wstring out;
    bool inClass = false;
    for (size_t i = 0; i < p.size(); ++i) {
        const wchar_t c = p[i];
        if (c == L'\\' && i + 1 < p.size()) {
            size_t j = i + 1;
            if (!inClass && p[j] >= L'1' && p[j] <= L'9') {
                int n = 0;
                size_t take = 0;
                for (size_t k = j; k < p.size() && p[k] >= L'0' && p[k] <= L'9' && k < j + 4; ++k) {
                    n = n * 10 + static_cast<int>(p[k] - L'0');
                    if (n <= groups)
                        take = k - j + 1;
                }
                if (take >= 2) {
                    int v = 0;
                    for (size_t k = j; k < j + take; ++k)
                        v = v * 10 + static_cast<int>(p[k] - L'0');
                    out += L"\\g{" + std::to_wstring(v) + L"}";
                    i = j + take - 1;
                    continue;
                }
            }
            out += c;
            out += p[j];
            i = j;
            continue;
        }
        if (inClass)
            inClass = c != L']';
        else if (c == L'[')
            inClass = true;
        out += c;
    }
    return out;
}

// A named group in a replacement, ${name}, in the form the library knows: $+{name}.
std::wstring WithNamedGroups(const std::wstring& f) {
    std::wstring out;
    for (size_t i = 0; i < f.size(); ++i) {
        const wchar_t c = f[i];
        if ((c == L'\\' || (c == L'$' && i + 1 < f.size() && f[i + 1] == L'$')) &&
            i + 1 < f.size()) {
            out += c;
            out += f[++i];
            continue;
        }
        if (c == L'$' && i + 2 < f.size() && f[i + 1] == L'{' &&
            (f[i + 2] == L'_' || (f[i + 2] >= L'A' && f[i + 2] <= L'Z') ||
             (f[i + 2] >= L'a' && f[i + 2] <= L'z'))) {
            out += L"$+";
            continue;
        }
        out += c;
    }
    return out;
}

} // namespace

FxWideRegex::FxWideRegex() : m_impl(new Impl), m_line(std::make_shared<FxWideLine>()) {}

FxWideRegex::~FxWideRegex() = default;

bool FxWideRegex::Compile(const char* pattern, int32_t len, bool matchCase) {
    m_error = 0;
    m_errorOffset = -1;
    m_errorChar = 0;
    FxWideLine wide;
    wide.Assign(pattern, len);
    m_patternBook = wide.book;
    boost::regex_constants::syntax_option_type flags = boost::regex_constants::perl;
    if (!matchCase)
        flags = flags | boost::regex_constants::icase;
    try {
        const std::wstring source =
            WithLongBackrefs(std::wstring(wide.wide.begin(), wide.wide.end()));
        m_impl->re.assign(source.data(), source.data() + source.size(), flags);
        return true;
    } catch (const boost::regex_error& e) {
        m_error = ErrorOf(e.code());
        int32_t pos = static_cast<int32_t>(e.position());
        if (pos < 0 || pos > wide.Size())
            pos = wide.Size();
        m_errorOffset = wide.byteOf[static_cast<size_t>(pos)];
        // A bad range or class name is found once its class is closed: show the "]".
        if (m_error == FxSeRange && pos > 0 && pos <= wide.Size() &&
            wide.wide[static_cast<size_t>(pos - 1)] == L']')
            --pos;
        // A fault found past the last character (an unclosed group) is shown at the last one.
        m_errorChar = pos < wide.Size() ? pos + 1 : wide.Size();
    } catch (const std::exception&) {
        m_error = FxSeTooComplex;
    }
    return false;
}

void FxWideRegex::SetLine(const char* line, int32_t len) {
    if (m_line.use_count() > 1)
        m_line = std::make_shared<FxWideLine>();
    m_line->Assign(line, len, &m_patternBook);
    ++g_linesConverted;
}

long FxWideRegex::LinesConverted() {
    return g_linesConverted.load();
}

void FxWideRegex::SetUnitLine(const wchar_t* line, int32_t len) {
    if (m_line.use_count() > 1)
        m_line = std::make_shared<FxWideLine>();
    m_line->AssignUnits(line, len, &m_patternBook);
}

FxWideRegex::Result FxWideRegex::Search(int32_t from, int32_t to, int32_t& start, int32_t& end,
                                        std::shared_ptr<const FxRegexHit>* hit) {
    const FxWideLine& l = *m_line;
    const int32_t wfrom = l.UnitAt(from), wto = l.UnitAt(to);
    if (wfrom > wto)
        return NoMatch;
    namespace rc = boost::regex_constants;
    rc::match_flag_type flags = rc::match_default | rc::match_not_dot_newline;
    if (wfrom > 0)
        flags |= rc::match_prev_avail;
    if (wto < l.Size()) {
        // The range ends inside the line: its end is neither the line's end nor, before a
        // word character, the end of a word.
        flags |= rc::match_not_eol;
        if (IsWordUnit(l.wide[static_cast<size_t>(wto)]))
            flags |= rc::match_not_eow;
    }
    const wchar_t* base = l.wide.data();
    boost::match_results<const wchar_t*> groups;
    try {
        if (!boost::regex_search(base + wfrom, base + wto, groups, m_impl->re, flags, base))
            return NoMatch;
    } catch (const std::exception&) {
        m_error = FxSeRunaway;
        return Failed;
    }
    start = l.byteOf[static_cast<size_t>(groups[0].first - base)];
    end = l.byteOf[static_cast<size_t>(groups[0].second - base)];
    if (hit) {
        auto h = std::make_shared<FxRegexHit>();
        h->line = m_line;
        h->groups = std::move(groups);
        *hit = std::move(h);
    }
    return Matched;
}

std::string FxWideRegex::Format(const char* rep, int32_t len, const FxRegexHit& hit) const {
    FxPairBook book;
    const std::wstring out = FormatWith(rep, len, hit, &book);
    return FxWideToAnsiString(out.data(), out.size(), book);
}

std::wstring FxWideRegex::FormatUnits(const char* rep, int32_t len, const FxRegexHit& hit) const {
    FxPairBook book;
    return FormatWith(rep, len, hit, &book);
}

// The replacement's undefined pairs take their units from the book of the matched line, so that
// the pairs of the groups and of the replacement all convert back to their bytes through *book.
std::wstring FxWideRegex::FormatWith(const char* rep, int32_t len, const FxRegexHit& hit,
                                     FxPairBook* book) const {
    FxWideLine fmt;
    fmt.Assign(rep ? rep : "", rep ? len : 0, &hit.line->book);
    *book = fmt.book;
    std::wstring out;
    const std::wstring f = WithNamedGroups(std::wstring(fmt.wide.begin(), fmt.wide.end()));
    hit.groups.format(std::back_inserter(out), f, boost::regex_constants::format_perl, m_impl->re);
    return out;
}
