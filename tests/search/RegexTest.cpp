// The regular-expression option: Perl syntax, double-byte characters, case folding beyond ASCII,
// errors and their positions, runaway matches, long lines and replacement formats.
#include <gtest/gtest.h>

#include "SearchTestUtil.h"
#include "search/LineMatcher.h"
#include "search/RequiredLiteral.h"

#include <chrono>
#include <deque>

namespace {

// The first match of a pattern in one line: "start,end", "none" or "error N".
std::string Match(const std::string& pattern, const std::string& line, unsigned flags = kCase) {
    FxLineMatcher m;
    FxMatchOptions o;
    o.matchCase = (flags & kCase) != 0;
    o.wholeWord = (flags & kWord) != 0;
    o.regExp = true;
    if (!m.Prepare(pattern.data(), static_cast<int32_t>(pattern.size()), o))
        return "error " + std::to_string(m.Error());
    FxLineMatch lm;
    const int32_t len = static_cast<int32_t>(line.size());
    switch (m.FindFirst(line.data(), len, 0, len, lm)) {
    case FxLineMatcher::Matched:
        return std::to_string(lm.start) + "," + std::to_string(lm.end);
    case FxLineMatcher::NoMatch:
        return "none";
    default:
        return "error " + std::to_string(m.Error());
    }
}

int CompileError(const std::string& pattern, int32_t* errorChar = nullptr) {
    FxLineMatcher m;
    FxMatchOptions o;
    o.matchCase = true;
    o.regExp = true;
    if (m.Prepare(pattern.data(), static_cast<int32_t>(pattern.size()), o))
        return FxSeNone;
    if (errorChar)
        *errorChar = m.ErrorChar();
    return m.Error();
}

std::string ReplaceAllIn(const std::string& text, const std::string& pattern,
                         const std::string& replacement, unsigned flags = kCase | kRegex) {
    TestDoc doc;
    SetText(doc, text);
    FxSearch req = Request(pattern, flags);
    req.replacement = replacement.c_str();
    req.replacementLen = static_cast<int32_t>(replacement.size());
    FxSearchResult r = ReplaceText(doc, req);
    if (r.status == FxSearchFailed)
        return "error " + std::to_string(r.error);
    return LogicalText(doc);
}

} // namespace

TEST(Regex, LiteralsAndEscapes) {
    EXPECT_EQ(Match("abc", "xxabc"), "2,5");
    EXPECT_EQ(Match("a\\.b", "axb a.b"), "4,7");
    EXPECT_EQ(Match("\\\\", "a\\b"), "1,2");
    EXPECT_EQ(Match("\\t", "a\tb"), "1,2");
    EXPECT_EQ(Match("\\x41", "zA"), "1,2");
    EXPECT_EQ(Match("a\\(b\\)", "a(b)"), "0,4");
    EXPECT_EQ(Match("x{", "x{"), "0,2"); // a brace that starts no count is itself
    EXPECT_EQ(Match("]}", "a]}"), "1,3");
}

TEST(Regex, ShorthandClassesAndBoundaries) {
    EXPECT_EQ(Match("\\d+", "ab123c"), "2,5");
    EXPECT_EQ(Match("\\w+", "  foo_1 "), "2,7");
    EXPECT_EQ(Match("\\s", "ab c"), "2,3");
    EXPECT_EQ(Match("\\S+", "  ab "), "2,4");
    EXPECT_EQ(Match("\\D", "12x"), "2,3");
    EXPECT_EQ(Match("\\W", "ab-"), "2,3");
    EXPECT_EQ(Match("\\bcat\\b", "category cat"), "9,12");
    EXPECT_EQ(Match("\\Bat", "at cat"), "4,6");
    EXPECT_EQ(Match("\\s", "a"
                           "\xA1\xA1"
                           "b"),
              "1,3"); // the ideographic space
}

TEST(Regex, ClassesAndRanges) {
    EXPECT_EQ(Match("[a-c]+", "xxbcaz"), "2,5");
    EXPECT_EQ(Match("[^a-z]", "abc1"), "3,4");
    EXPECT_EQ(Match("[\\d.]+", "v1.25!"), "1,5");
    EXPECT_EQ(Match("[-a]+", "x-a-"), "1,4");
    EXPECT_EQ(Match("[a-]+", "x-a-"), "1,4");
    EXPECT_EQ(Match("[\\]]", "a]"), "1,2");
    EXPECT_EQ(Match("[]a]+", "x]a"), "1,3"); // a ] first in a class is itself
}

TEST(Regex, GroupsAlternationAndQuantifiers) {
    EXPECT_EQ(Match("(ab)+", "xababab"), "1,7");
    EXPECT_EQ(Match("(?:ab|cd)+e", "abcdabe"), "0,7");
    EXPECT_EQ(Match("cat|dog", "hotdog"), "3,6");
    EXPECT_EQ(Match("a*", "bbb"), "0,0");
    EXPECT_EQ(Match("a+?", "aaa"), "0,1");
    EXPECT_EQ(Match("a??b", "ab"), "0,2");
    EXPECT_EQ(Match("a{2}", "abaab"), "2,4");
    EXPECT_EQ(Match("a{2,}", "aaaaa"), "0,5");
    EXPECT_EQ(Match("a{2,3}", "aaaaa"), "0,3");
    EXPECT_EQ(Match("a{2,3}?", "aaaaa"), "0,2");
    EXPECT_EQ(Match("<.*>", "<a><b>"), "0,6");
    EXPECT_EQ(Match("<.*?>", "<a><b>"), "0,3");
    EXPECT_EQ(Match("(a*)*b", "aaab"), "0,4");
    EXPECT_EQ(Match("(a|)*c", "aac"), "0,3");
    EXPECT_EQ(Match("(?:)*x", "x"), "0,1");
}

TEST(Regex, Anchors) {
    EXPECT_EQ(Match("^ab", "abab"), "0,2");
    EXPECT_EQ(Match("ab$", "abab"), "2,4");
    EXPECT_EQ(Match("^$", ""), "0,0");
    EXPECT_EQ(Match("^b", "ab"), "none");
}

TEST(Regex, Backreferences) {
    EXPECT_EQ(Match("(\\w)\\1", "abccd"), "2,4");
    EXPECT_EQ(Match("(a)|\\1b", "b"), "none"); // a group that took no part matches no text
    EXPECT_EQ(Match("(" ZHONG ")\\1", ZHONG WEN ZHONG ZHONG), "4,8");
    EXPECT_EQ(Match("(ab)\\1", "abAB", 0), "0,4");
}

TEST(Regex, CaseFolding) {
    EXPECT_EQ(Match("abc", "xABC", 0), "1,4");
    EXPECT_EQ(Match("[a-c]+", "ABC", 0), "0,3");
    EXPECT_EQ(Match("[A-C]+", "abc", 0), "0,3");
    EXPECT_EQ(Match("abc", "xABC"), "none");
    // Double-byte characters are never folded: trail bytes a and A stay different characters.
    EXPECT_EQ(Match(TRAIL_A, TRAIL_UA, 0), "none");
    EXPECT_EQ(Match("[" TRAIL_A "]", TRAIL_UA, 0), "none");
}

TEST(Regex, DoubleByteCharactersStayWhole) {
    // A dot and a negated class take a double-byte character whole.
    EXPECT_EQ(Match(ZHONG ".", ZHONG WEN), "0,4");
    EXPECT_EQ(Match(ZHONG "." WEN, ZHONG GUO WEN), "0,6");
    EXPECT_EQ(Match("[^a]", TRAIL_A), "0,2");
    EXPECT_EQ(Match("^.$", ZHONG), "0,2");
    // The trail bytes are never seen as single characters.
    EXPECT_EQ(Match("a", TRAIL_A), "none");
    EXPECT_EQ(Match("\\\\", TRAIL_BS), "none");
    EXPECT_EQ(Match("[a\\\\]", TRAIL_A TRAIL_BS), "none");
    EXPECT_NE(Match("\\w", TRAIL_A), "1,2"); // the character is a letter or not, but whole
    EXPECT_EQ(Match("[[:lower:]]", TRAIL_A), "none");
    // A trail byte 0x5C in the pattern is no escape.
    EXPECT_EQ(Match(TRAIL_BS "+", "x" TRAIL_BS TRAIL_BS), "1,5");
    EXPECT_EQ(Match("[" TRAIL_BS "]", "\\" TRAIL_BS), "1,3");
    // Classes hold double-byte characters and ranges of them.
    EXPECT_EQ(Match("[" ZHONG WEN "]+", "ab" WEN ZHONG "c"), "2,6");
    EXPECT_EQ(Match("[" ZHONG "-" GUO "]+", "ab" ZHONG GUO "c"), "2,6");
    EXPECT_EQ(Match("[^" ZHONG "-" GUO "]+", ZHONG "ab" GUO), "2,4");
    // \b sees characters, not the bytes of a double-byte character.
    EXPECT_EQ(Match("\\bcat\\b", ZHONG " cat," WEN), "3,6");
    EXPECT_EQ(Match("\\ba", TRAIL_A "a"), Match("\\ba", ZHONG "a"));
}

TEST(Regex, WholeWordOption) {
    EXPECT_EQ(Match("ca\\w", "category cat", kCase | kWord), "9,12");
    EXPECT_EQ(Match("ca.", "cat,dog", kCase | kWord), "0,3");
}

TEST(Regex, ErrorsNameTheirCause) {
    EXPECT_EQ(CompileError("(abc"), FxSeParen);
    EXPECT_EQ(CompileError("abc)"), FxSeParen);
    EXPECT_EQ(CompileError("[abc"), FxSeBracket);
    EXPECT_EQ(CompileError("[z-a]"), FxSeRange);
    EXPECT_EQ(CompileError("*a"), FxSeNothingToRepeat);
    EXPECT_EQ(CompileError("a**"), FxSeNothingToRepeat);
    EXPECT_EQ(CompileError("a{3,2}"), FxSeBrace);
    EXPECT_EQ(CompileError("abc\\"), FxSeEscape);
    EXPECT_EQ(CompileError("(a)\\2"), FxSeBackref);
    EXPECT_EQ(CompileError("[[:nothing:]]"), FxSeRange);
    EXPECT_EQ(CompileError("[[.nothing.]]"), FxSeCollate);
    EXPECT_EQ(CompileError("(?Qa)"), FxSeExtension);
    EXPECT_EQ(CompileError("(a)(b)\\2\\1"), FxSeNone);
    // The position names the character of the pattern, double-byte characters counted once.
    int32_t at = 0;
    EXPECT_EQ(CompileError(ZHONG WEN "[abc", &at), FxSeBracket);
    EXPECT_GE(at, 3);
    EXPECT_LE(at, 7);
}

TEST(Regex, ErrorsCarryDistinctMessages) {
    std::vector<unsigned> ids;
    for (int e = FxSeEmptyPattern; e < FxSeErrorCount; ++e) {
        unsigned id = FxSearchErrorStringId(e);
        if (e == FxSeReadOnly) {
            EXPECT_EQ(id, 0u);
            continue;
        }
        EXPECT_GE(id, static_cast<unsigned>(IDS_SEARCH_ERROR_FIRST));
        EXPECT_LE(id, static_cast<unsigned>(IDS_SEARCH_ERROR_LAST));
        for (unsigned other : ids)
            EXPECT_NE(id, other);
        ids.push_back(id);
    }
    EXPECT_EQ(ids.size(), static_cast<size_t>(IDS_SEARCH_ERROR_LAST - IDS_SEARCH_ERROR_FIRST + 1));
    // The search reports the error, where it stands, instead of "not found".
    TestDoc doc;
    SetText(doc, "abc");
    FxSearch req = Request(ZHONG "(ab", kRegex | kWrap);
    FxSearchResult r = FindText(doc, req);
    EXPECT_EQ(r.status, FxSearchFailed);
    EXPECT_EQ(r.error, FxSeParen);
    EXPECT_EQ(r.messageId, FxSearchErrorStringId(FxSeParen));
    EXPECT_GE(r.errorChar, 2);
    EXPECT_GE(r.errorOffset, 2); // bytes: past the double-byte character
    EXPECT_EQ(WrapEvents(doc), 0);
}

TEST(Regex, PerlConstructs) {
    // Look-behind and look-ahead, also across the start of the searched range.
    EXPECT_EQ(Match("(?<=\\$)\\d+", "a1 $25"), "4,6");
    EXPECT_EQ(Match("(?<!\\$)\\b\\d+", "$25 7"), "4,5");
    EXPECT_EQ(Match("\\w+(?=" ZHONG ")", "ab cd" ZHONG), "3,5");
    EXPECT_EQ(Match("(?<=" ZHONG ")x", "x" ZHONG "x"), "3,4");
    // Named groups and back-references to them.
    EXPECT_EQ(Match("(?<q>['\"]).*?\\k<q>", "say 'it\" now' x"), "4,13");
    // Back-references above 9.
    EXPECT_EQ(Match("(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)\\11\\10", "abcdefghijkkj"), "0,13");
    EXPECT_EQ(Match("(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)\\11", "abcdefghijkj"), "none");
}

TEST(Regex, ChineseClassOverGbkText) {
    // The range of CJK ideographs as \x{...} units, and as the characters themselves.
    EXPECT_EQ(Match("[\\x{4E00}-\\x{9FA5}]+", "ab" ZHONG GUO "c" WEN), "2,6");
    EXPECT_EQ(Match("[" ZHONG "-" GUO "]+", "a" ZHONG GUO), "1,5");
    EXPECT_EQ(Match("[^\\x{4E00}-\\x{9FA5}]+", ZHONG "ab" GUO), "2,4");
    EXPECT_EQ(ReplaceAllIn("x" ZHONG WEN "y", "[\\x{4E00}-\\x{9FA5}]", "<$0>"),
              "x<" ZHONG "><" WEN ">y");
}

TEST(Regex, CaseFoldingCoversGreekAndFullWidthLetters) {
    // Greek alpha, beta, gamma (GBK A6C1-A6C3) against their capitals (A6A1-A6A3).
    const std::string lower = "\xA6\xC1\xA6\xC2\xA6\xC3", upper = "\xA6\xA1\xA6\xA2\xA6\xA3";
    EXPECT_EQ(Match(lower, "x" + upper, 0), "1,7");
    EXPECT_EQ(Match(upper, "x" + lower, 0), "1,7");
    EXPECT_EQ(Match(lower, "x" + upper), "none");
    EXPECT_EQ(Match("[\xA6\xC1-\xA6\xD8]+", upper, 0), "0,6"); // a range of small letters
    // Full-width a, b (A3E1, A3E2) against full-width A, B (A3C1, A3C2).
    EXPECT_EQ(Match("\xA3\xE1\xA3\xE2", "\xA3\xC1\xA3\xC2", 0), "0,4");
    EXPECT_EQ(Match("\xA3\xC1+", "\xA3\xE1\xA3\xC1", 0), "0,4");
    // Cyrillic (GBK A7D1 / A7A1).
    EXPECT_EQ(Match("\xA7\xD1", "\xA7\xA1", 0), "0,2");
}

TEST(Regex, RunawayMatchesEndWithAMessage) {
    EXPECT_EQ(Match("(a+)+b", std::string(40, 'a') + "b"), "0,41");
    EXPECT_EQ(Match("(a+)+b", std::string(40, 'a') + "c" + "b"),
              "error " + std::to_string(FxSeRunaway));
    EXPECT_EQ(Match("(x+x+)+y", std::string(40, 'x') + "y" + std::string(40, 'x')), "0,41");
    // Through the document: Find, Mark and Replace All report it.
    const std::string text = "ok\r\n" + std::string(40, 'a') + "cb";
    TestDoc doc;
    SetText(doc, text);
    FxSearch req = Request("(a+)+b", kRegex | kWrap);
    FxSearchResult r = FindText(doc, req);
    EXPECT_EQ(r.status, FxSearchFailed);
    EXPECT_EQ(r.error, FxSeRunaway);
    EXPECT_EQ(r.messageId, FxSearchErrorStringId(FxSeRunaway));
    EXPECT_EQ(MarkAll(doc, req).error, FxSeRunaway);
    EXPECT_EQ(ReplaceAllIn(text, "(a+)+b", "x"), "error " + std::to_string(FxSeRunaway));
    EXPECT_EQ(LogicalText(doc), text);
}

TEST(Regex, MillionCharacterLines) {
    std::string line(1000000, 'a');
    EXPECT_EQ(Match(".*x", line), "none");
    EXPECT_EQ(Match("a+b", line), "none");
    EXPECT_EQ(Match("\"[^\"]*\"", line), "none");
    line[999990] = 'x';
    EXPECT_EQ(Match(".*x", line), "0,999991");
    line[999995] = 'b';
    EXPECT_EQ(Match("a+b", line), "999991,999996");
    line[10] = '"';
    line[999000] = '"';
    EXPECT_EQ(Match("\"[^\"]*\"", line), "10,999001");
    // The same through the document, with a double-byte character before the match.
    TestDoc doc;
    std::string text = ZHONG + std::string(1000000, 'a') + "b";
    SetText(doc, text);
    FxSearch req = Request("a+b", kRegex | kCase);
    FxSearchResult r = FindText(doc, req);
    ASSERT_TRUE(r.Found());
    EXPECT_EQ(r.matchStart, FxTextPos(2, 0));
    EXPECT_EQ(r.matchEnd, FxTextPos(1000003, 0));
}

TEST(Regex, ReplacementGroups) {
    EXPECT_EQ(ReplaceAllIn("a=1, b=2", "(\\w+)=(\\w+)", "$2=$1"), "1=a, 2=b");
    EXPECT_EQ(ReplaceAllIn("cost 5", "\\d", "$$$0"), "cost $5");
    EXPECT_EQ(ReplaceAllIn("ab", "b", "[$&]"), "a[b]");
    EXPECT_EQ(ReplaceAllIn("ab", "(a)", "$1$2"), "ab"); // no group 2: nothing
    EXPECT_EQ(ReplaceAllIn("2026-12-08", "(?<y>\\d+)-(?<m>\\d+)-(?<d>\\d+)", "${d}.${m}.${y}"),
              "08.12.2026");
    EXPECT_EQ(ReplaceAllIn("abcdefghijk", "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)", "$11$10${1}0"),
              "kja0");
    EXPECT_EQ(ReplaceAllIn("a,b", ",", "\\t"), "a\tb");
    EXPECT_EQ(ReplaceAllIn("a,b", ",", "\\\\"), "a\\b");
    EXPECT_EQ(ReplaceAllIn("ab", "(x)?a", "[$1]"), "[]b");
    EXPECT_EQ(ReplaceAllIn(ZHONG WEN "x", "(.)(.)", "$2$1"), WEN ZHONG "x");
}

TEST(Regex, ReplaceAllWithEmptyMatchesAndAnchors) {
    EXPECT_EQ(ReplaceAllIn("abc", "x*", "-"), "-a-b-c-");
    EXPECT_EQ(ReplaceAllIn("one\r\ntwo\r\n", "^", "> "), "> one\r\n> two\r\n> ");
    EXPECT_EQ(ReplaceAllIn("a b  c", "\\s+", " "), "a b c");
    EXPECT_EQ(ReplaceAllIn("a" ZHONG "b", "(?:)", "."), ".a." ZHONG ".b.");
    EXPECT_EQ(ReplaceAllIn("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(ReplaceAllIn("Cat cAT", "cat", "dog", kRegex), "dog dog");
}

TEST(Regex, LineBreaksInTheReplacementBreakTheLine) {
    EXPECT_EQ(ReplaceAllIn("a,b,c", ",", "\\n"), "a\r\nb\r\nc");
    EXPECT_EQ(ReplaceAllIn("a,b", ",", "\\r\\n"), "a\r\nb");
    EXPECT_EQ(ReplaceAllIn("a,b", ",", "\\r"), "a\r\nb");
    EXPECT_EQ(ReplaceAllIn("a,b", ",", "\\n\\n"), "a\r\n\r\nb");
    EXPECT_EQ(ReplaceAllIn(ZHONG "=" WEN "\r\nx=y", "(.)=(.)", "$1\\n$2"),
              ZHONG "\r\n" WEN "\r\nx\r\ny");

    // The lines really are lines: counted, searched by anchor, and undone in one step.
    TestDoc doc;
    SetText(doc, "k1=v1;k2=v2\r\nend");
    FxSearch req = Request(";", kRegex);
    req.replacement = "\\n";
    req.replacementLen = 2;
    FxSearchResult r = ReplaceText(doc, req);
    EXPECT_EQ(r.count, 1);
    EXPECT_EQ(doc.LogicalLineCount(), 3);
    EXPECT_EQ(LogicalText(doc), "k1=v1\r\nk2=v2\r\nend");
    EXPECT_EQ(r.caret, FxTextPos(0, 1));
    req = Request("^k\\d", kRegex);
    req.replacement = "K";
    req.replacementLen = 1;
    EXPECT_EQ(ReplaceText(doc, req).count, 2);
    EXPECT_EQ(LogicalText(doc), "K=v1\r\nK=v2\r\nend");
    ASSERT_TRUE(doc.Undo(nullptr));
    ASSERT_TRUE(doc.Undo(nullptr));
    EXPECT_EQ(LogicalText(doc), "k1=v1;k2=v2\r\nend");
}

TEST(Regex, FindUpAndAcrossTheDocument) {
    TestDoc doc;
    SetText(doc, "x1 x22\r\nnone\r\nx333 x4");
    FxSearch req = Request("x\\d+", kRegex | kUp, FxTextPos(0, 1));
    FxSearchResult r = FindText(doc, req);
    ASSERT_TRUE(r.Found());
    EXPECT_EQ(r.matchStart, FxTextPos(3, 0));
    EXPECT_EQ(r.matchEnd, FxTextPos(6, 0));
    req = Request("x\\d+$", kRegex | kWrap, FxTextPos(1, 0));
    r = FindText(doc, req);
    ASSERT_TRUE(r.Found());
    EXPECT_EQ(r.matchStart, FxTextPos(3, 0));
    // Matches are limited to the range: from (6, 2) up, x4 does not fit before the start column.
    req = Request("x\\d", kRegex | kUp, FxTextPos(6, 2));
    r = FindText(doc, req);
    ASSERT_TRUE(r.Found());
    EXPECT_EQ(r.matchStart, FxTextPos(0, 2));
}

TEST(Regex, MarkAllOverGbkText) {
    TestDoc doc;
    SetText(doc, ZHONG "abc\r\nxyz\r\n" WEN ZHONG GUO);
    FxSearch req = Request(ZHONG "(" GUO "|a)", kRegex);
    std::vector<FxSearchHit> hits;
    FxSearchResult r = MarkAll(doc, req, &hits);
    EXPECT_EQ(r.count, 2);
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[1].start, FxTextPos(2, 2));
    EXPECT_EQ(hits[1].end, FxTextPos(6, 2));
    EXPECT_EQ(doc.BookmarkCount(), 2);
}

TEST(Regex, RequiredLiteralOfThePrefilter) {
    const auto req = [](const std::string& p, bool matchCase = true) {
        return FxRequiredLiteral(p.data(), static_cast<int32_t>(p.size()), matchCase);
    };
    EXPECT_EQ(req("abc"), "abc");
    EXPECT_EQ(req("x\\d+hello"), "hello");
    EXPECT_EQ(req("ab?cd"), "cd"); // b may be left out
    EXPECT_EQ(req("ab*"), "a");
    EXPECT_EQ(req("ab+c"), "ab"); // the run ends after a repeated character
    EXPECT_EQ(req("a{2}bc"), "bc");
    EXPECT_EQ(req("[a-z]+[xyz][z][xy]"), "z");
    EXPECT_EQ(req("[.]x"), ".x");
    EXPECT_EQ(req("\\.txt$"), ".txt");
    EXPECT_EQ(req("(?<=ab)cd"), "cd");
    EXPECT_EQ(req("\\x{41}{2}zz"), "zz");
    EXPECT_EQ(req("cat|dog"), ""); // alternatives at the top level
    EXPECT_EQ(req("(?i)abc"), ""); // inline options
    EXPECT_EQ(req("\\Qa.b\\E"), "");
    EXPECT_EQ(req("ABC", false), "abc");
    EXPECT_EQ(req(ZHONG "ab", false), "ab"); // a double-byte letter may fold to other bytes
    EXPECT_EQ(req(ZHONG WEN), ZHONG WEN);
    EXPECT_EQ(req("a" TRAIL_BS "b"), "a" TRAIL_BS "b"); // the trail byte is no escape
}

TEST(Regex, RequiredClassRunOfThePrefilter) {
    // Each position written as its members in order.
    const auto run = [](const std::string& p, bool matchCase = true) {
        std::vector<std::string> out;
        for (const FxByteSet& set :
             FxRequiredClassRun(p.data(), static_cast<int32_t>(p.size()), matchCase)) {
            std::string members;
            for (int c = 0; c < 256; ++c)
                if (set[static_cast<size_t>(c)])
                    members += static_cast<char>(c);
            out.push_back(members);
        }
        return out;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(run("[a-z]+[xyz][z][xy]"), (V{"xyz", "z", "xy"}));
    EXPECT_EQ(run("X[a-c]+y"), (V{"X", "abc"})); // a repeated class ends the run
    EXPECT_EQ(run("ab?[cd]e"), (V{"cd", "e"}));  // b may be left out
    EXPECT_EQ(run("[^x]yz"), (V{"y", "z"}));     // a negated class is no member list
    EXPECT_EQ(run("[\\d]ab"), (V{"a", "b"}));    // nor a class with escapes
    EXPECT_EQ(run("[[:alpha:]]ab"), (V{"a", "b"}));
    EXPECT_EQ(run("\\.[ch]$"), (V{".", "ch"}));
    EXPECT_EQ(run("a|[bc]d"), V{});
    EXPECT_EQ(run("(?i)[ab]c"), V{});
    EXPECT_EQ(run(ZHONG "[ab]c"), (V{"ab", "c"})); // double-byte characters take no part
    // Without match case: literal letters in both cases, classes left out.
    EXPECT_EQ(run("xY[ab]", false), (V{"Xx", "Yy"}));
    EXPECT_EQ(run("[ab]", false), V{});
}

// The bound on the work of one search grows with the line, not with the square of the pattern:
// a comment that makes the pattern long does not let a runaway match go on for longer.
TEST(Regex, RunawayBoundDoesNotGrowWithTheSquareOfThePattern) {
    const std::string line = std::string(18, 'a') + "c";
    const std::string comment = "(?#" + std::string(1000, '.') + ")";
    const std::string runaway = "error " + std::to_string(FxSeRunaway);
    EXPECT_EQ(Match("(a+)+b", line), runaway);
    EXPECT_EQ(Match("(a+)+b" + comment, line), runaway);
    EXPECT_EQ(Match("(a+)+b|" + std::string(400, 'x'), line), runaway);
    // The bound itself: the line's length squared up to a cap, or the pattern once for each
    // character of the line when that is more.
    EXPECT_EQ(FxRegexStateBound(100000, 7), FxRegexStateBound(100000, 907));
    EXPECT_EQ(FxRegexStateBound(100000, 2000), 200000000 + 100000);
    EXPECT_LT(FxRegexStateBound(1000, 200), FxRegexStateBound(2000, 200));
    // Patterns that do their work within it still match on long lines.
    EXPECT_EQ(Match("(a+)+b" + comment, std::string(20, 'a') + "b"), "0,21");
    std::string alternatives;
    for (int k = 0; k < 300; ++k)
        alternatives += (k ? "|w" : "w") + std::to_string(k) + "z";
    std::string text(20000, 'w');
    text += "w299z";
    EXPECT_EQ(Match(alternatives, text), "20000,20005");
    // The message of the runaway match reaches the user as before.
    TestDoc doc;
    SetText(doc, line);
    FxSearch req = Request("(a+)+b" + comment, kRegex | kCase);
    const FxSearchResult r = FindText(doc, req);
    EXPECT_EQ(r.status, FxSearchFailed);
    EXPECT_EQ(r.messageId, FxSearchErrorStringId(FxSeRunaway));
}

// Stepping through every match of a line converts the line for the expression once, so that
// all the matches of a long line cost time linear in the line.
TEST(Regex, AllMatchesOfALineConvertItOnce) {
    const std::string line(3000, 'a');
    FxLineMatcher m;
    FxMatchOptions o;
    o.matchCase = true;
    o.regExp = true;
    ASSERT_TRUE(m.Prepare("a", 1, o));
    const int32_t len = static_cast<int32_t>(line.size());
    long before = FxWideRegex::LinesConverted();
    FxLineMatch lm;
    int found = 0;
    for (int32_t from = 0;; ++found) {
        const auto r = from == 0 ? m.FindFirst(line.data(), len, from, len, lm)
                                 : m.FindNext(line.data(), len, from, len, lm);
        if (r != FxLineMatcher::Matched)
            break;
        ASSERT_EQ(lm.start, from);
        from = lm.end;
    }
    EXPECT_EQ(found, 3000);
    EXPECT_EQ(FxWideRegex::LinesConverted() - before, 1);
    // FindFirst converts the line again; FindNext too when it is another line.
    std::string other = line;
    other[5] = 'b';
    EXPECT_EQ(m.FindNext(other.data(), 6, 5, 6, lm), FxLineMatcher::NoMatch);
    other[3] = 'b';
    EXPECT_EQ(m.FindFirst(other.data(), 6, 3, 6, lm), FxLineMatcher::Matched);
    EXPECT_EQ(lm.start, 4);

    // Mark All with its hits, and Replace All, over a document of long lines.
    TestDoc doc;
    SetText(doc, line + "\r\nbbb\r\n" + line);
    std::vector<FxSearchHit> hits;
    before = FxWideRegex::LinesConverted();
    FxSearchResult r = MarkAll(doc, Request("a", kRegex | kCase), &hits);
    EXPECT_EQ(hits.size(), 6000u);
    EXPECT_EQ(r.count, 2);
    EXPECT_LE(FxWideRegex::LinesConverted() - before, 3);
    before = FxWideRegex::LinesConverted();
    FxSearch req = Request("a", kRegex | kCase);
    req.replacement = "b";
    req.replacementLen = 1;
    r = ReplaceText(doc, req);
    EXPECT_EQ(r.count, 6000);
    EXPECT_LE(FxWideRegex::LinesConverted() - before, 6);
    EXPECT_EQ(LogicalText(doc), std::string(3000, 'b') + "\r\nbbb\r\n" + std::string(3000, 'b'));
    EXPECT_EQ(r.caret, FxTextPos(3000, 2));
    ASSERT_TRUE(doc.Undo(nullptr));
    EXPECT_EQ(LogicalText(doc), line + "\r\nbbb\r\n" + line);
}

// Replace All finds a line's matches in the line as it was, as a global substitution does; the
// range's end and the caret follow the replaced text.
TEST(Regex, ReplaceAllInALineAndInASelection) {
    EXPECT_EQ(ReplaceAllIn("a1b22c333", "\\d+", "<$0>"), "a<1>b<22>c<333>");
    EXPECT_EQ(ReplaceAllIn("ab ab\r\nab", "a(?=b)", "x"), "xb xb\r\nxb");
    EXPECT_EQ(ReplaceAllIn("x,y,z", ",", "\\n"), "x\r\ny\r\nz");
    EXPECT_EQ(ReplaceAllIn("aXa", "(?<=a)X|a", "-"), "---");
    TestDoc doc;
    SetText(doc, "a1 a2 a3\r\na4 a5 a6\r\na7");
    FxSearch req = Request("a\\d", kRegex | kCase);
    req.inSelection = true;
    req.start = FxTextPos(3, 0);
    req.end = FxTextPos(5, 1);
    req.replacement = "[$0]";
    req.replacementLen = 4;
    FxSearchResult r = ReplaceText(doc, req);
    EXPECT_EQ(r.count, 4);
    EXPECT_EQ(LogicalText(doc), "a1 [a2] [a3]\r\n[a4] [a5] a6\r\na7");
    EXPECT_EQ(req.start, FxTextPos(3, 0));
    EXPECT_EQ(req.end, FxTextPos(9, 1));
    EXPECT_EQ(r.caret, FxTextPos(9, 1));
}

// Pairs that code page 936 leaves undefined: a lead byte with a trail byte below 0x40 or 0x7F.
#define UNDEF_0 "\xB0\x30"
#define UNDEF_1 "\xB0\x31"
#define UNDEF_7F "\x81\x7F"

TEST(Regex, UndefinedPairsAreWholeCharacters) {
    // A lead byte and the byte after it are one character, defined or not.
    EXPECT_EQ(Match(".", UNDEF_0), "0,2");
    EXPECT_EQ(Match(".", UNDEF_7F), "0,2");
    EXPECT_EQ(Match("(?<=.).", UNDEF_0 "x"), "2,3");
    EXPECT_EQ(Match("^..$", UNDEF_0 "x"), "0,3");
    EXPECT_EQ(Match("^.$", UNDEF_0), "0,2");
    EXPECT_EQ(Match("[^x]+", UNDEF_0 UNDEF_1 "x"), "0,4");
    EXPECT_EQ(Match(".$", "a" UNDEF_0), "1,3");
    // Its trail byte is no character of its own.
    EXPECT_EQ(Match("0", UNDEF_0), "none");
    EXPECT_EQ(Match("\\d", UNDEF_0), "none");
    EXPECT_EQ(Match("\\x7F", UNDEF_7F), "none");
    // It matches itself only: in the pattern, as a back-reference, in a class.
    EXPECT_EQ(Match(UNDEF_0, "x" UNDEF_1 UNDEF_0), "3,5");
    EXPECT_EQ(Match(UNDEF_0 "+", UNDEF_0 UNDEF_0 UNDEF_1), "0,4");
    EXPECT_EQ(Match(UNDEF_0, UNDEF_1), "none");
    EXPECT_EQ(Match(UNDEF_0, UNDEF_0, 0), "0,2");
    EXPECT_EQ(Match("(.)\\1", UNDEF_0 UNDEF_1), "none");
    EXPECT_EQ(Match("(.)\\1", UNDEF_1 UNDEF_0 UNDEF_0), "2,6");
    EXPECT_EQ(Match("[" UNDEF_0 "]", UNDEF_1 UNDEF_0), "2,4");
    EXPECT_EQ(Match("[^" UNDEF_0 "]", UNDEF_0 UNDEF_1), "2,4");
}

TEST(Regex, UndefinedPairsAreReplacedAndKeptWhole) {
    // Groups and replacement texts holding such pairs give back their bytes.
    EXPECT_EQ(ReplaceAllIn("a" UNDEF_0 "b", ".", "<$0>"), "<a><" UNDEF_0 "><b>");
    EXPECT_EQ(ReplaceAllIn(UNDEF_0 "=" UNDEF_1, "(.)=(.)", "$2=$1"), UNDEF_1 "=" UNDEF_0);
    EXPECT_EQ(ReplaceAllIn("x" UNDEF_0, "x", UNDEF_1 UNDEF_7F), UNDEF_1 UNDEF_7F UNDEF_0);
    EXPECT_EQ(ReplaceAllIn(UNDEF_0 "x", "(.)x", "$1" UNDEF_1 "$1"), UNDEF_0 UNDEF_1 UNDEF_0);
    EXPECT_EQ(ReplaceAllIn(UNDEF_0 UNDEF_7F, UNDEF_7F, ZHONG), UNDEF_0 ZHONG);
    // A match never ends between the lead byte and its trail byte.
    EXPECT_EQ(ReplaceAllIn(UNDEF_0 "x", "(?<=.)", "|"), UNDEF_0 "|x|");
    EXPECT_EQ(ReplaceAllIn(UNDEF_0, "(?:)", "|"), "|" UNDEF_0 "|");
    // A byte the code page leaves undefined on its own is kept too.
    EXPECT_EQ(ReplaceAllIn("\xFF", ".", "[$0]"), "[\xFF]");
    // Mark All places its hits on whole pairs.
    TestDoc doc;
    SetText(doc, UNDEF_0 "x" UNDEF_7F);
    std::vector<FxSearchHit> hits;
    MarkAll(doc, Request(".", kRegex), &hits);
    ASSERT_EQ(hits.size(), 3u);
    EXPECT_EQ(hits[0].end, FxTextPos(2, 0));
    EXPECT_EQ(hits[1].start, FxTextPos(2, 0));
    EXPECT_EQ(hits[2].start, FxTextPos(3, 0));
    EXPECT_EQ(hits[2].end, FxTextPos(5, 0));
}
