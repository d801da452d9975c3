// The regular-expression option: syntax, double-byte characters, errors, the step budget and
// $ groups in replacements.
#include <gtest/gtest.h>

#include "SearchTestUtil.h"
#include "search/LineMatcher.h"

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

int CompileError(const std::string& pattern) {
    FxRegex re;
    if (re.Compile(pattern.data(), static_cast<int32_t>(pattern.size()), true))
        return FxSeNone;
    return re.Error();
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
    EXPECT_EQ(Match("[]", "abc"), "none");
    EXPECT_EQ(Match("[^]", "abc"), "0,1");
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
    EXPECT_EQ(Match("(a)|\\1b", "b"), "0,1"); // a group that took no part matches nothing
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
    EXPECT_EQ(Match("\\w", TRAIL_A), "none");
    // A trail byte 0x5C in the pattern is no escape.
    EXPECT_EQ(Match(TRAIL_BS "+", "x" TRAIL_BS TRAIL_BS), "1,5");
    EXPECT_EQ(Match("[" TRAIL_BS "]", "\\" TRAIL_BS), "1,3");
    // Classes hold double-byte characters and ranges of them.
    EXPECT_EQ(Match("[" ZHONG WEN "]+", "ab" WEN ZHONG "c"), "2,6");
    EXPECT_EQ(Match("[\xB0\xA1-\xF7\xFE]+", "ab" ZHONG GUO "c"), "2,6");
    EXPECT_EQ(Match("[^\xB0\xA1-\xF7\xFE]+", ZHONG "ab" GUO), "2,4");
    // \b: double-byte characters are no word characters.
    EXPECT_EQ(Match("\\bcat\\b", ZHONG "cat" WEN), "2,5");
}

TEST(Regex, WholeWordOption) {
    EXPECT_EQ(Match("ca\\w", "category cat", kCase | kWord), "9,12");
    EXPECT_EQ(Match("ca.", "cat,dog", kCase | kWord), "0,3");
}

TEST(Regex, ErrorsNameTheirCause) {
    EXPECT_EQ(CompileError("(abc"), FxSeMissingParen);
    EXPECT_EQ(CompileError("abc)"), FxSeUnmatchedParen);
    EXPECT_EQ(CompileError("[abc"), FxSeMissingBracket);
    EXPECT_EQ(CompileError("[z-a]"), FxSeBadRange);
    EXPECT_EQ(CompileError("[\\d-z]"), FxSeBadRange);
    EXPECT_EQ(CompileError("*a"), FxSeNothingToRepeat);
    EXPECT_EQ(CompileError("a|+"), FxSeNothingToRepeat);
    EXPECT_EQ(CompileError("a**"), FxSeNothingToRepeat);
    EXPECT_EQ(CompileError("^*"), FxSeNothingToRepeat);
    EXPECT_EQ(CompileError("{2}"), FxSeNothingToRepeat);
    EXPECT_EQ(CompileError("a{3,2}"), FxSeBadRepeat);
    EXPECT_EQ(CompileError("a{99999}"), FxSeBadRepeat);
    EXPECT_EQ(CompileError("abc\\"), FxSeTrailingBackslash);
    EXPECT_EQ(CompileError("\\q"), FxSeBadEscape);
    EXPECT_EQ(CompileError("\\xZ1"), FxSeBadEscape);
    EXPECT_EQ(CompileError("(a)\\2"), FxSeBadBackref);
    EXPECT_EQ(CompileError("(?=a)"), FxSeBadGroup);
    EXPECT_EQ(CompileError("(a{1000}){1000}"), FxSeTooComplex);
    EXPECT_EQ(CompileError(std::string(300, '(') + std::string(300, ')')), FxSeTooComplex);
    EXPECT_EQ(CompileError("(a)(b)\\2\\1"), FxSeNone);
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
    // The search reports the error instead of "not found".
    TestDoc doc;
    SetText(doc, "abc");
    FxSearch req = Request("(ab", kRegex | kWrap);
    FxSearchResult r = FindText(doc, req);
    EXPECT_EQ(r.status, FxSearchFailed);
    EXPECT_EQ(r.error, FxSeMissingParen);
    EXPECT_EQ(r.messageId, FxSearchErrorStringId(FxSeMissingParen));
    EXPECT_EQ(r.errorOffset, 0);
    EXPECT_EQ(WrapEvents(doc), 0);
}

TEST(Regex, PathologicalPatternsAreStoppedByTheBudget) {
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(Match("(a+)+b", std::string(40, 'a')), "error " + std::to_string(FxSeStepBudget));
    EXPECT_EQ(Match("(a|aa)*c", std::string(60, 'a')), "error " + std::to_string(FxSeStepBudget));
    EXPECT_EQ(Match("(.*)*x", std::string(30, 'a')), "error " + std::to_string(FxSeStepBudget));
    // A long line with a pattern that is slow at every start gives up on the line's budget.
    EXPECT_EQ(Match("a.*x", std::string(100000, 'a')), "error " + std::to_string(FxSeStepBudget));
    // A leading loop is tried once for the whole run of characters it takes: after a failure at
    // one of them the starts that follow can only fail.
    EXPECT_EQ(Match(".*x", std::string(100000, 'a')), "none");
    EXPECT_EQ(Match("[a-z]+\\d", std::string(100000, 'a')), "none");
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0)
            .count();
    EXPECT_LT(ms, 20000);
    // Through the document: Find, Mark and Replace All report it.
    TestDoc doc;
    SetText(doc, "ok\r\n" + std::string(40, 'a'));
    FxSearch req = Request("(a+)+b", kRegex | kWrap);
    FxSearchResult r = FindText(doc, req);
    EXPECT_EQ(r.status, FxSearchFailed);
    EXPECT_EQ(r.error, FxSeStepBudget);
    EXPECT_NE(r.messageId, 0u);
    EXPECT_EQ(MarkAll(doc, req).error, FxSeStepBudget);
    EXPECT_EQ(ReplaceAllIn("ok\r\n" + std::string(40, 'a'), "(a+)+b", "x"),
              "error " + std::to_string(FxSeStepBudget));
}

TEST(Regex, ReplacementGroups) {
    EXPECT_EQ(ReplaceAllIn("a=1, b=2", "(\\w+)=(\\w+)", "$2=$1"), "1=a, 2=b");
    EXPECT_EQ(ReplaceAllIn("cost 5", "\\d", "$$$0"), "cost $5");
    EXPECT_EQ(ReplaceAllIn("ab", "b", "[$&]"), "a[b]");
    EXPECT_EQ(ReplaceAllIn("ab", "(a)", "$1$2$"), "a$2$b"); // no group 2: left as written
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
