// The fast paths of search — the first/last byte prefilter, candidates placed on the character
// grid, runs of lines laid end to end, the characters every match of a regular expression holds,
// leading loops — checked against plain references that try every character start, over random
// GBK text full of trail bytes that look like letters.
#include <gtest/gtest.h>

#include "SearchTestUtil.h"
#include "textdoc/Dbcs.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Pieces of text that make the grid hard to follow: letters in both cases, boundaries, and
// double-byte characters whose trail bytes are letters or lead bytes themselves.
const char* const kPieces[] = {"a",  "A",  "b",   "B",     "x",        "X",      " ",
                               ",",  "\t", ZHONG, WEN,     TRAIL_A,    TRAIL_UA, "\x81\x81",
                               "ab", "AB", "xAb", COMMA_W, "\xD0\xD6", "\x81X",  "a\x81"};
const char kDelims[] = " \t,.?!;:/<>(){}[]\"'";

struct Rng {
    uint32_t s;
    uint32_t Next(uint32_t n) {
        s = s * 1103515245u + 12345u;
        return (s >> 8) % n;
    }
};

std::string RandomLine(Rng& rng, int maxPieces) {
    std::string s;
    const int n = static_cast<int>(rng.Next(static_cast<uint32_t>(maxPieces) + 1));
    for (int i = 0; i < n; ++i)
        s += kPieces[rng.Next(sizeof kPieces / sizeof kPieces[0])];
    return s;
}

// A pattern of 1 to 6 bytes cut from text at any byte, or made of pieces.
std::string RandomPattern(Rng& rng, const std::string& text) {
    if (text.empty() || rng.Next(3) == 0) {
        std::string p;
        while (p.empty())
            p = RandomLine(rng, 3);
        return p;
    }
    const size_t at = rng.Next(static_cast<uint32_t>(text.size()));
    return text.substr(at, 1 + rng.Next(6));
}

int CharLen(const std::string& s, int32_t i) {
    return FxCharLen(s.data(), static_cast<size_t>(i), s.size());
}
unsigned char Lower(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}
bool BoundaryAt(const std::string& s, int32_t i) {
    return CharLen(s, i) == 1 && s[static_cast<size_t>(i)] != 0 &&
           std::strchr(kDelims, s[static_cast<size_t>(i)]) != nullptr;
}

// The reference: the comparison at every character start, as the rules state it.
struct Reference {
    std::string pat;
    bool matchCase, wholeWord;
    bool firstBoundary = false, lastBoundary = false;

    Reference(const std::string& pattern, bool mc, bool ww)
        : pat(pattern), matchCase(mc), wholeWord(ww) {
        int32_t last = 0;
        for (int32_t k = 0; k < static_cast<int32_t>(pat.size()); k += CharLen(pat, k)) {
            if (CharLen(pat, k) == 1 && !matchCase)
                pat[static_cast<size_t>(k)] = static_cast<char>(
                    Lower(static_cast<unsigned char>(pat[static_cast<size_t>(k)])));
            last = k;
        }
        firstBoundary = BoundaryAt(pat, 0);
        lastBoundary = BoundaryAt(pat, last);
    }

    bool At(const std::string& line, int32_t t, int32_t to, int32_t prev) const {
        const int32_t plen = static_cast<int32_t>(pat.size());
        const int32_t start = t;
        for (int32_t k = 0; k < plen;) {
            if (t >= to)
                return false;
            if (CharLen(line, t) == 2) {
                if (k + 1 >= plen || t + 2 > to ||
                    line.compare(static_cast<size_t>(t), 2, pat, static_cast<size_t>(k), 2) != 0)
                    return false;
                t += 2;
                k += 2;
            } else {
                unsigned char c = static_cast<unsigned char>(line[static_cast<size_t>(t)]);
                if (!matchCase)
                    c = Lower(c);
                if (c != static_cast<unsigned char>(pat[static_cast<size_t>(k)]))
                    return false;
                ++t;
                ++k;
            }
        }
        if (!wholeWord)
            return true;
        const int32_t len = static_cast<int32_t>(line.size());
        const bool before = start == 0 || firstBoundary || BoundaryAt(line, prev);
        const bool after = t >= len || lastBoundary || BoundaryAt(line, t);
        return before && after;
    }
    // The first match starting at a character start in [from, to), or -1.
    int32_t First(const std::string& line, int32_t from, int32_t to) const {
        int32_t prev = -1;
        for (int32_t c = 0; c < to; prev = c, c += CharLen(line, c))
            if (c >= from && At(line, c, to, prev))
                return c;
        return -1;
    }
    // The last match found by scanning from `from` and resuming after each match.
    int32_t Last(const std::string& line, int32_t from, int32_t to) const {
        int32_t found = -1;
        for (int32_t c; (c = First(line, from, to)) >= 0;
             from = c + static_cast<int32_t>(pat.size()))
            found = c;
        return found;
    }
};

int32_t Snap(const std::string& line, int32_t col) {
    return FxLineMatcher::SnapToChar(line.data(), static_cast<int32_t>(line.size()), col);
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i)
        text += (i ? "\r\n" : "") + lines[i];
    return text;
}

void Load(CFxEditDoc& doc, const std::vector<std::string>& lines) {
    const std::string text = Joined(lines);
    doc.DeleteContents();
    doc.InitDocument(0);
    doc.LoadAnsi(text.data(), text.size());
}

// Every match of every line by MarkAll, and Find Next / Previous from random places, against the
// reference.
void CheckDocument(TestDoc& doc, const std::vector<std::string>& lines, Rng& rng, int rounds) {
    ASSERT_EQ(LogicalText(doc), Joined(lines));
    for (int round = 0; round < rounds; ++round) {
        const std::string& source = lines[rng.Next(static_cast<uint32_t>(lines.size()))];
        const std::string pattern = RandomPattern(rng, source);
        const unsigned flags = (rng.Next(2) ? kCase : 0u) | (rng.Next(3) == 0 ? kWord : 0u);
        const Reference ref(pattern, flags & kCase, flags & kWord);
        SCOPED_TRACE(testing::Message()
                     << "pattern " << testing::PrintToString(pattern) << " flags " << flags);

        std::vector<FxSearchHit> hits;
        FxSearch req = Request(pattern, flags);
        FxClearBookmarks(doc);
        FxSearchResult marked = MarkAll(doc, req, &hits);
        std::vector<FxSearchHit> expected;
        int32_t lineCount = 0;
        for (int32_t l = 0; l < static_cast<int32_t>(lines.size()); ++l) {
            const std::string& s = lines[static_cast<size_t>(l)];
            const size_t before = expected.size();
            for (int32_t from = 0, c; (c = ref.First(s, from, static_cast<int32_t>(s.size()))) >= 0;
                 from = c + static_cast<int32_t>(pattern.size()))
                expected.push_back(FxSearchHit{
                    FxTextPos(c, l), FxTextPos(c + static_cast<int32_t>(pattern.size()), l)});
            lineCount += expected.size() > before;
        }
        EXPECT_EQ(marked.count, lineCount);
        EXPECT_EQ(doc.BookmarkCount(), lineCount);
        ASSERT_EQ(hits.size(), expected.size());
        for (size_t i = 0; i < hits.size(); ++i) {
            ASSERT_EQ(hits[i].start, expected[i].start) << "hit " << i;
            ASSERT_EQ(hits[i].end, expected[i].end) << "hit " << i;
        }
        if (!(flags & kWord)) {
            // The pieces hold no operators: as a regular expression the pattern matches itself.
            hits.clear();
            FxSearch re = Request(pattern, flags | kRegex);
            MarkAll(doc, re, &hits);
            ASSERT_EQ(hits.size(), expected.size()) << "regular expression";
            for (size_t i = 0; i < hits.size(); ++i)
                ASSERT_EQ(hits[i].start, expected[i].start) << "regular expression, hit " << i;
        }

        for (int k = 0; k < 4; ++k) {
            const int32_t line =
                static_cast<int32_t>(rng.Next(static_cast<uint32_t>(lines.size())));
            const std::string& s = lines[static_cast<size_t>(line)];
            const int32_t col =
                Snap(s, static_cast<int32_t>(rng.Next(static_cast<uint32_t>(s.size() + 1))));
            const bool down = rng.Next(2) != 0;
            FxSearch find = Request(pattern, flags | (down ? 0u : kUp), FxTextPos(col, line));
            FxSearchResult r = FindText(doc, find);
            FxTextPos want(-1, -1);
            if (down) {
                for (int32_t l = line; l < static_cast<int32_t>(lines.size()) && want.line < 0;
                     ++l) {
                    const std::string& t = lines[static_cast<size_t>(l)];
                    const int32_t c =
                        ref.First(t, l == line ? col : 0, static_cast<int32_t>(t.size()));
                    if (c >= 0)
                        want = FxTextPos(c, l);
                }
            } else {
                for (int32_t l = line; l >= 0 && want.line < 0; --l) {
                    const std::string& t = lines[static_cast<size_t>(l)];
                    const int32_t c =
                        ref.Last(t, 0, l == line ? col : static_cast<int32_t>(t.size()));
                    if (c >= 0)
                        want = FxTextPos(c, l);
                }
            }
            SCOPED_TRACE(testing::Message()
                         << (down ? "down" : "up") << " from " << col << "," << line);
            ASSERT_EQ(r.Found(), want.line >= 0);
            if (r.Found()) {
                ASSERT_EQ(r.matchStart, want);
            }
        }
    }
}

} // namespace

TEST(CandidateScan, LinesMatchTheReference) {
    Rng rng{7};
    for (int round = 0; round < 3000; ++round) {
        const std::string line = RandomLine(rng, 60);
        const std::string pattern = RandomPattern(rng, line);
        const bool matchCase = rng.Next(2) != 0, wholeWord = rng.Next(3) == 0;
        SCOPED_TRACE(testing::Message() << "line " << testing::PrintToString(line) << " pattern "
                                        << testing::PrintToString(pattern) << " case " << matchCase
                                        << " word " << wholeWord);
        FxMatchOptions o;
        o.matchCase = matchCase;
        o.wholeWord = wholeWord;
        FxLineMatcher matcher;
        ASSERT_TRUE(matcher.Prepare(pattern.data(), static_cast<int32_t>(pattern.size()), o));
        const Reference ref(pattern, matchCase, wholeWord);
        // An exact-size copy: any read past the line's end is caught by the sanitizers.
        std::vector<char> bytes(line.begin(), line.end());
        const int32_t len = static_cast<int32_t>(line.size());
        for (int k = 0; k < 4; ++k) {
            const int32_t from =
                Snap(line, static_cast<int32_t>(rng.Next(static_cast<uint32_t>(len + 1))));
            const int32_t to =
                k == 0
                    ? len
                    : from + static_cast<int32_t>(rng.Next(static_cast<uint32_t>(len - from + 1)));
            FxLineMatch m;
            const int32_t first = ref.First(line, from, to);
            ASSERT_EQ(matcher.FindFirst(bytes.data(), len, from, to, m) == FxLineMatcher::Matched,
                      first >= 0)
                << "from " << from << " to " << to;
            if (first >= 0) {
                ASSERT_EQ(m.start, first) << "from " << from << " to " << to;
            }
            const int32_t last = ref.Last(line, from, to);
            ASSERT_EQ(matcher.FindLast(bytes.data(), len, from, to, m) == FxLineMatcher::Matched,
                      last >= 0);
            if (last >= 0) {
                ASSERT_EQ(m.start, last) << "from " << from << " to " << to;
            }
        }
    }
}

TEST(CandidateScan, PrefilterNeverReadsOutsideItsRange) {
    FxMatchOptions o;
    FxLineMatcher matcher;
    ASSERT_TRUE(matcher.Prepare("xyz", 3, o));
    for (size_t n = 0; n < 70; ++n) {
        std::vector<char> bytes(n, 'x');
        if (n >= 3)
            std::memcpy(bytes.data() + n - 3, "XYZ", 3);
        bytes.shrink_to_fit();
        const char* end = bytes.data() + n;
        const char* c = matcher.NextCandidate(bytes.data(), end);
        EXPECT_EQ(c, n >= 3 ? end - 3 : end) << n;
    }
}

TEST(CandidateScan, LoadedDocumentMatchesTheReference) {
    Rng rng{11};
    std::vector<std::string> lines;
    for (int i = 0; i < 3000; ++i)
        lines.push_back(RandomLine(rng, i % 50 == 0 ? 200 : 12));
    TestDoc doc;
    Load(doc, lines);
    CheckDocument(doc, lines, rng, 60);
}

TEST(CandidateScan, EditedDocumentMatchesTheReference) {
    // Edits move line buffers out of the loaded runs and break runs apart.
    Rng rng{13};
    std::vector<std::string> lines;
    for (int i = 0; i < 2000; ++i)
        lines.push_back(RandomLine(rng, 10));
    TestDoc doc;
    Load(doc, lines);
    for (int i = 0; i < 300; ++i) {
        const int32_t line = static_cast<int32_t>(rng.Next(static_cast<uint32_t>(lines.size())));
        std::string& s = lines[static_cast<size_t>(line)];
        const std::string text = RandomLine(rng, 4);
        if (rng.Next(3) == 0 && !s.empty()) {
            const int32_t a =
                Snap(s, static_cast<int32_t>(rng.Next(static_cast<uint32_t>(s.size()))));
            const int32_t b = Snap(s, a + 1 + static_cast<int32_t>(rng.Next(4)));
            DeleteRange(doc, FxTextPos(a, line), FxTextPos(b, line));
            s.erase(static_cast<size_t>(a), static_cast<size_t>(b - a));
        } else {
            const int32_t col =
                Snap(s, static_cast<int32_t>(rng.Next(static_cast<uint32_t>(s.size() + 1))));
            TypeAt(doc, FxTextPos(col, line), text);
            s.insert(static_cast<size_t>(col), text);
        }
    }
    CheckDocument(doc, lines, rng, 60);
}

TEST(CandidateScan, WrappedDocumentMatchesTheReference) {
    Rng rng{17};
    std::vector<std::string> lines;
    for (int i = 0; i < 800; ++i)
        lines.push_back(RandomLine(rng, 16));
    TestDoc doc;
    ColumnSplitter view(7);
    doc.SetAttachedViews(&view, nullptr);
    Load(doc, lines);
    doc.SetWrap(2, 7);
    doc.WrapAllLines();
    ASSERT_GT(doc.RecordCount(), doc.LogicalLineCount());
    CheckDocument(doc, lines, rng, 40);
    EXPECT_EQ(CheckInvariants(doc), "");
}

TEST(CandidateScan, MovedLinesAmidLoadedRunsAreSearched) {
    // Lines edited after loading live in other blocks, before or after the loaded text in
    // memory: each is still searched, in both directions, and so are its neighbours.
    std::vector<std::string> lines(400, "abc " ZHONG " def");
    TestDoc doc;
    Load(doc, lines);
    const int32_t moved[] = {3, 150, 151, 398};
    for (int32_t l : moved) {
        TypeAt(doc, FxTextPos(4, l), "xyz" ZHONG);
        lines[static_cast<size_t>(l)].insert(4, "xyz" ZHONG);
    }
    TypeAt(doc, FxTextPos(0, 200), "q");
    lines[200].insert(0, "q");
    ASSERT_EQ(LogicalText(doc), Joined(lines));
    FxTextPos at(0, 0);
    for (int32_t l : moved) {
        FxSearch req = Request("XYZ", 0, at);
        FxSearchResult r = FindText(doc, req);
        ASSERT_TRUE(r.Found());
        EXPECT_EQ(r.matchStart, FxTextPos(4, l));
        at = r.matchEnd;
    }
    at = FxTextPos(0, 399);
    for (int k = 3; k >= 0; --k) {
        FxSearch req = Request("xyz", kUp, at);
        FxSearchResult r = FindText(doc, req);
        ASSERT_TRUE(r.Found());
        EXPECT_EQ(r.matchStart, FxTextPos(4, moved[k]));
        at = r.matchStart;
    }
    FxSearch q = Request("q", kUp | kCase, FxTextPos(0, 399));
    EXPECT_EQ(FindText(doc, q).matchStart, FxTextPos(0, 200));
    q = Request("q", kCase, FxTextPos(0, 0));
    EXPECT_EQ(FindText(doc, q).matchStart, FxTextPos(0, 200));
    FxSearch d = Request("def", kUp | kCase, FxTextPos(0, 399));
    EXPECT_EQ(FindText(doc, d).matchStart,
              FxTextPos(static_cast<int32_t>(lines[398].size()) - 3, 398));
}

TEST(CandidateScan, RegularExpressionsSkipOnlyLinesWithoutMatches) {
    // Lines passed over for lacking the characters every match holds (or its first bytes) must
    // hold no match: MarkAll against the matcher run on every line.
    Rng rng{19};
    std::vector<std::string> lines;
    for (int i = 0; i < 1500; ++i)
        lines.push_back(RandomLine(rng, 14));
    TestDoc doc;
    Load(doc, lines);
    for (int i = 0; i < 100; ++i) {
        const int32_t line = static_cast<int32_t>(rng.Next(static_cast<uint32_t>(lines.size())));
        TypeAt(doc, FxTextPos(0, line), "Ab");
        lines[static_cast<size_t>(line)].insert(0, "Ab");
    }
    const char* const patterns[] = {"x[ab]+b",
                                    "(ab)+X",
                                    "a?b" ZHONG,
                                    "\\bab",
                                    "[xX]A",
                                    "b*,a",
                                    "(a|x)b" WEN,
                                    ZHONG "+X",
                                    "a(b|B)A",
                                    "^Ab" TRAIL_A,
                                    "[a-b]+" COMMA_W "x",
                                    "A\\b",
                                    "(?:x|b)\\s*" ZHONG "x",
                                    "(abA|x)b",
                                    "(?:x|Ab,)a",
                                    "a(?:x|)b",
                                    "[xa][Ab]",
                                    "[a-b]+[xA][b]",
                                    "x[A-Z][a-z]",
                                    "[ab][ ,]\\.?",
                                    "[ab]x?[Bb]"};
    for (const char* pattern : patterns)
        for (unsigned flags : {0u, unsigned(kCase)}) {
            SCOPED_TRACE(testing::Message()
                         << "pattern " << testing::PrintToString(pattern) << " flags " << flags);
            FxSearch req = Request(pattern, flags | kRegex);
            FxLineMatcher matcher;
            ASSERT_TRUE(matcher.Prepare(req.pattern, req.patternLen, FxMatchOptionsOf(req)));
            std::vector<FxSearchHit> expected;
            for (int32_t l = 0; l < static_cast<int32_t>(lines.size()); ++l) {
                const std::string& s = lines[static_cast<size_t>(l)];
                const int32_t len = static_cast<int32_t>(s.size());
                FxLineMatch m;
                for (int32_t from = 0;
                     from <= len &&
                     matcher.FindFirst(s.data(), len, from, len, m) == FxLineMatcher::Matched;
                     from = m.end > m.start ? m.end : m.end + 1)
                    expected.push_back(FxSearchHit{FxTextPos(m.start, l), FxTextPos(m.end, l)});
            }
            std::vector<FxSearchHit> hits;
            FxClearBookmarks(doc);
            MarkAll(doc, req, &hits);
            ASSERT_FALSE(expected.empty());
            ASSERT_EQ(hits.size(), expected.size());
            for (size_t i = 0; i < hits.size(); ++i) {
                ASSERT_EQ(hits[i].start, expected[i].start) << "hit " << i;
                ASSERT_EQ(hits[i].end, expected[i].end) << "hit " << i;
            }
        }
}

TEST(CandidateScan, RegexMatchesCoverWholeCharactersAndPassThePrefilter) {
    // Over random double-byte lines: a match starts and ends on character starts, lies inside
    // the range asked for, and sits in text that the prefilter offers as a candidate.
    Rng rng{23};
    const char* const patterns[] = {
        "a+b",  "[ab]+X",     "x*A",         ".+,",     "[a-b]*" ZHONG,
        "a+?b", ZHONG "+x",   "\\w+\\s" WEN, "[^ ]+ A", "X*",
        ".*b$", "[a-z]+\\bA", TRAIL_A "+b",  "(?<=a)b", "ab(?=" ZHONG ")"};
    for (int round = 0; round < 1500; ++round) {
        const std::string line = RandomLine(rng, 40);
        const char* pattern = patterns[rng.Next(sizeof patterns / sizeof patterns[0])];
        const bool matchCase = rng.Next(2) != 0, wholeWord = rng.Next(3) == 0;
        SCOPED_TRACE(testing::Message() << "line " << testing::PrintToString(line) << " pattern "
                                        << testing::PrintToString(pattern) << " case " << matchCase
                                        << " word " << wholeWord);
        FxMatchOptions o;
        o.matchCase = matchCase;
        o.regExp = true;
        o.wholeWord = wholeWord;
        FxLineMatcher matcher;
        ASSERT_TRUE(matcher.Prepare(pattern, -1, o));
        const int32_t len = static_cast<int32_t>(line.size());
        const int32_t from =
            Snap(line, static_cast<int32_t>(rng.Next(static_cast<uint32_t>(len + 1))));
        const int32_t to =
            rng.Next(2)
                ? len
                : from + static_cast<int32_t>(rng.Next(static_cast<uint32_t>(len - from + 1)));
        std::vector<int32_t> starts;
        for (int32_t c = 0; c < len; c += CharLen(line, c))
            starts.push_back(c);
        starts.push_back(len);
        const auto isStart = [&](int32_t pos) {
            return std::binary_search(starts.begin(), starts.end(), pos);
        };
        FxLineMatch m;
        if (matcher.FindFirst(line.data(), len, from, to, m) != FxLineMatcher::Matched)
            continue;
        ASSERT_TRUE(isStart(m.start)) << m.start;
        ASSERT_TRUE(isStart(m.end)) << m.end;
        ASSERT_LE(from, m.start);
        ASSERT_LE(m.start, m.end);
        ASSERT_LE(m.end, to);
        if (matcher.HasPrefilter()) {
            ASSERT_LT(matcher.NextCandidate(line.data() + m.start, line.data() + m.end),
                      line.data() + m.end);
        }
    }
}
