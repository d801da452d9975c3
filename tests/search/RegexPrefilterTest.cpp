// The prefilter of regular expressions never passes over a line that the expression matches:
// escapes and constructs of the Perl syntax that hold no text, or change what the rest means,
// are not taken for text the line must hold. Each case compares "the prefilter skips the line"
// with "the expression finds no match in it".
#include <gtest/gtest.h>

#include "SearchTestUtil.h"
#include "common/LeadBytes.h"
#include "common/SysText.h"
#include "search/AnsiWide.h"
#include "search/LineMatcher.h"

#include <cctype>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

struct Verdict {
    bool compiled = false;
    bool skipped = false; // the prefilter rules the line out
    bool matched = false; // the expression matches in the line
};

bool PrepareRegex(FxLineMatcher& m, const std::string& pattern, bool matchCase) {
    FxMatchOptions o;
    o.matchCase = matchCase;
    o.regExp = true;
    return m.Prepare(pattern.data(), static_cast<int32_t>(pattern.size()), o);
}

// The verdict of a prepared matcher on one line.
Verdict JudgeLine(FxLineMatcher& m, const std::string& line) {
    Verdict v;
    v.compiled = true;
    const char* end = line.data() + line.size();
    v.skipped = m.HasPrefilter() && m.NextCandidate(line.data(), end) == end;
    FxLineMatch lm;
    const int32_t len = static_cast<int32_t>(line.size());
    v.matched = m.FindFirst(line.data(), len, 0, len, lm) == FxLineMatcher::Matched;
    return v;
}

Verdict Judge(const std::string& pattern, const std::string& line, bool matchCase) {
    FxLineMatcher m;
    if (!PrepareRegex(m, pattern, matchCase))
        return Verdict();
    return JudgeLine(m, line);
}

// Fails for a line that the expression matches and the prefilter skips.
void ExpectNotHidden(const std::string& pattern, const std::string& line, bool matchCase) {
    const Verdict v = Judge(pattern, line, matchCase);
    ASSERT_TRUE(v.compiled) << pattern;
    EXPECT_FALSE(v.matched && v.skipped)
        << "\"" << pattern << "\" matches \"" << line << "\" (match case " << matchCase
        << ") but the prefilter skips the line";
}

struct Case {
    const char* pattern;
    const char* line; // a line the expression matches
};

// Escapes and constructs that hold no text of their own, each with a line that it matches and
// that lacks what a careless reading would require.
const Case kCases[] = {
    // Back-references by number and by name, in every spelling.
    {"(a)\\g1", "aa"},
    {"(a)\\g{1}", "aa"},
    {"(a)\\g-1", "aa"},
    {"(a)\\g{-1}", "aa"},
    {"(?<n>a)\\k'n'", "aa"},
    {"(?<n>a)\\k<n>", "aa"},
    {"(?<n>a)\\k{n}", "aa"},
    {"(?<n>a)\\g{n}", "aa"},
    {"(?'n'a)\\k'n'x?", "aa"},
    {"(a)\\1", "aa"},
    // Character properties, one letter or named.
    {"\\pL+", "ab"},
    {"\\PL+", "12"},
    {"\\p{L}+", "ab"},
    {"\\P{L}+", "12"},
    {"\\pLx?", "b"},
    // Word and buffer assertions.
    {"\\<foo", "foo"},
    {"foo\\>", "foo"},
    {"\\`foo", "foo"},
    {"foo\\'", "foo"},
    {"\\bfoo\\B", "foox"},
    {"\\Afoo\\z", "foo"},
    {"\\Afoo\\Z", "foo"},
    {"\\Gfoo", "foo"},
    // Verbs: a match may end at (*ACCEPT), wherever it stands.
    {"a?(*ACCEPT)b", "a"},
    {"a(?:(*ACCEPT))b", "a"},
    {"a((*ACCEPT)|c)b", "a"},
    {"(*COMMIT)ab", "ab"},
    // Quoted stretches.
    {"\\Qa.b\\E", "a.b"},
    {"x\\Q|y\\E", "x|y"},
    {"\\Q(\\Ez", "(z"},
    // Characters by code.
    {"\\x{61}b", "ab"},
    {"\\x61b", "ab"},
    {"\\x6", "\x06"},
    {"\\N{space}x", " x"},
    {"\\cAb", "\x01"
              "b"},
    {"\\c\\b", "\x1C"
               "b"},
    {"\\012", "\n"},
    {"\\e", "\x1B"},
    {"\\t\\r?", "\t"},
    // Comments, free spacing and other inline options.
    {"(?#x)a", "a"},
    {"(?#[)|(x])abc", "q"},
    {"(?#\\)|abc", "q"},
    {"(?x) a b", "ab"},
    {"(?x)a#b\nc", "ac"},
    {"(?i)ABC", "abc"},
    {"(?i:ABC)x", "abcx"},
    {"x(?i)YZ", "xyz"},
    {"(?-i)ab", "ab"},
    {"(?s).b", "xb"},
    // Conditionals, recursion, groups that do not capture.
    {"(a)?(?(1)b|c)", "c"},
    {"(?(?=x)xy|z)", "z"},
    {"(a|b(?1))", "ba"},
    {"(?|(a)|(b))\\1", "bb"},
    {"(?>a+)b", "ab"},
    {"(?:ab)+", "ab"},
    // Match start reset, line endings, clusters, blanks, single units.
    {"a\\Kb", "ab"},
    {"a\\Rb", "a\nb"},
    {"\\X", "x"},
    {"\\h+", " "},
    {"\\v", "\x0B"},
    {"\\C", "x"},
    {"\\H\\V", "xy"},
    {"\\l\\u", "aB"},
    // Alternation at the top level, and quantifiers of every kind.
    {"cat|dog", "dog"},
    {"a{0}b", "b"},
    {"a{0,1}b", "b"},
    {"a{ 0 }b", "b"},
    {"ab{0,}c", "ac"},
    {"ab*?c", "ac"},
    {"ab??c", "ac"},
    {"ab?+c", "ac"},
    {"ab*+c", "ac"},
    // A brace that is no repeat is a character; what follows it is not swallowed.
    {"qq{|abc}", "abc}"},
    {"x{,2}|y", "y"},
    {"{|z", "z"},
    // Classes with escapes of several characters, and classes holding brackets.
    {"[\\c]abc]", "\x1D"},
    {"[\\x{5D}]|y", "y"},
    {"[\\x5D]x", "]x"},
    {"[]|]x", "|x"},
    {"[^]]", "a"},
    {"[[:alpha:]]|1", "1"},
    {"[\\d]x", "1x"},
    {"[a]", "a"},
    {"[\\]]x", "]x"},
    // Escaped punctuation is itself; doubled backslashes.
    {"\\.x", ".x"},
    {"\\\\x", "\\x"},
    {"\\{x", "{x"},
    // Double-byte text in the pattern and the line.
    {ZHONG "+x", ZHONG "x"},
    {"\\" ZHONG, ZHONG},
    {"[" ZHONG "]x", ZHONG "x"},
    {TRAIL_BS "x", TRAIL_BS "x"},
    {".x", ZHONG "x"},
};

} // namespace

TEST(RegexPrefilter, NeverHidesAMatchingLine) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.pattern);
        // Each line is first checked to be one the expression matches.
        EXPECT_TRUE(Judge(c.pattern, c.line, true).matched) << c.pattern << " / " << c.line;
        ExpectNotHidden(c.pattern, c.line, true);
        ExpectNotHidden(c.pattern, c.line, false);
    }
}

TEST(RegexPrefilter, StillRulesOutLinesWithoutTheText) {
    // The prefilter keeps doing its work where the pattern can be read exactly.
    const char* const patterns[] = {"abc",       "x\\d+hello",    "(?<=ab)cd", "\\.txt$",
                                    "(a)\\1zz",  "\\pL+zz",       "a\\Kzz",    "(?#c)zz",
                                    "\\x{41}zz", "[a-z]+[xyz][z]"};
    for (const char* p : patterns) {
        const Verdict v = Judge(p, "nothing of the kind", true);
        EXPECT_TRUE(v.skipped) << p;
        EXPECT_FALSE(v.matched) << p;
    }
    EXPECT_TRUE(Judge("ABC", "nothing", false).skipped);
}

// Patterns made of pieces at random, each over lines made of a few characters at random: the
// prefilter may only skip lines that the expression does not match.
TEST(RegexPrefilter, RandomPatternsOverRandomLines) {
    const char* const pieces[] = {
        "a",      "b",      "A",     "x",     ZHONG,       TRAIL_A,   "(a)",   "(?<n>b)", "\\g1",
        "\\k'n'", "\\k<n>", "\\pL",  "\\PL",  "\\<",       "\\>",     "\\b",   "+",       "?",
        "*",      "{2}",    "{0,1}", "{",     "}",         "|",       ".",     "[ab]",    "[^a]",
        "\\Q",    "\\E",    "(?#c)", "(?i)",  "(*ACCEPT)", "\\x{61}", "\\x62", "\\K",     "\\R",
        "\\X",    "\\h",    "\\s",   "\\w",   "\\d",       "(?:a|x)", "\\1",   "^",       "$",
        "\\A",    "\\z",    "\\G",   "(?=a)", "(?!b)",     "(?<=a)",  "\\.",   " ",       "\\ "};
    const char* const chars[] = {"a", "b", "A", "B", "x", " ", ".", ZHONG, TRAIL_A, "1"};
    std::mt19937 rng(936);
    int checks = 0, hiddenChecks = 0;
    for (int n = 0; n < 4000; ++n) {
        std::string pattern;
        const int parts = 1 + static_cast<int>(rng() % 6);
        for (int k = 0; k < parts; ++k)
            pattern += pieces[rng() % (sizeof pieces / sizeof pieces[0])];
        FxLineMatcher withCase, withoutCase;
        const bool ok[2] = {PrepareRegex(withCase, pattern, true),
                            PrepareRegex(withoutCase, pattern, false)};
        for (int l = 0; l < 12; ++l) {
            std::string line;
            const int len = static_cast<int>(rng() % 7);
            for (int k = 0; k < len; ++k)
                line += chars[rng() % (sizeof chars / sizeof chars[0])];
            for (const bool matchCase : {true, false}) {
                if (!ok[matchCase ? 0 : 1])
                    continue;
                const Verdict v = JudgeLine(matchCase ? withCase : withoutCase, line);
                ++checks;
                if (v.matched)
                    ++hiddenChecks;
                EXPECT_FALSE(v.matched && v.skipped)
                    << "\"" << pattern << "\" matches \"" << line << "\" (match case " << matchCase
                    << ") but the prefilter skips the line";
            }
        }
    }
    EXPECT_GT(checks, 10000);
    EXPECT_GT(hiddenChecks, 5000);
}

// A character that the code page spells in more than one way is found in any spelling: the
// prefilter does not require the pattern's.
TEST(RegexPrefilter, CharactersWithSeveralSpellings) {
    std::map<uint16_t, std::vector<std::string>> spellings;
    for (int b = 0x80; b < 0x100; ++b) {
        const std::string one(1, static_cast<char>(b));
        int cl;
        if (!FxIsLeadByte(static_cast<unsigned char>(b))) {
            spellings[FxAnsiUnitAt(one.data(), 0, 1, &cl)].push_back(one);
            continue;
        }
        for (int t = 0x40; t < 0xFF; ++t) {
            const std::string two = one + static_cast<char>(t);
            const uint16_t u = FxAnsiUnitAt(two.data(), 0, 2, &cl);
            if (u != 0xFFFD)
                spellings[u].push_back(two);
        }
    }
    for (int b = 0x20; b < 0x7F; ++b)
        spellings[static_cast<uint16_t>(b)].push_back(std::string(1, static_cast<char>(b)));
    int shared = 0;
    for (const auto& s : spellings) {
        if (s.second.size() < 2 || s.first == 0xFFFD)
            continue;
        ++shared;
        EXPECT_GT(FxAnsiSpellings(s.first), 1);
        for (std::string p : s.second) {
            if (p.size() == 1 && !std::isalnum(static_cast<unsigned char>(p[0])))
                p.insert(0, "\\"); // punctuation stands for itself when escaped
            for (const std::string& l : s.second) {
                SCOPED_TRACE(testing::Message() << "unit " << std::hex << s.first);
                EXPECT_TRUE(Judge(p + "x", "=" + l + "x", true).matched);
                ExpectNotHidden(p + "x", "=" + l + "x", true);
                ExpectNotHidden(p + "x", "=" + l + "x", false);
            }
        }
    }
    RecordProperty("shared units", shared);
}

// Without match case a pattern's letter also matches every character that lower-cases like it,
// whatever its bytes.
TEST(RegexPrefilter, LettersThatOtherCharactersFoldTo) {
    int folding = 0;
    for (int lead = 0x81; lead < 0xFF; ++lead) {
        if (!FxIsLeadByte(static_cast<unsigned char>(lead)))
            continue;
        for (int t = 0x40; t < 0xFF; ++t) {
            const std::string ch{static_cast<char>(lead), static_cast<char>(t)};
            int cl;
            const uint16_t u = FxAnsiUnitAt(ch.data(), 0, 2, &cl);
            const uint16_t lower = fxsys::LowerUnit(u);
            if (u == 0xFFFD || lower >= 0x80)
                continue;
            ++folding;
            const std::string pattern = std::string(1, static_cast<char>(lower)) + "zz";
            EXPECT_FALSE(FxAnsiFoldsAlone(static_cast<unsigned char>(lower)));
            ExpectNotHidden(pattern, ch + "ZZ", false);
        }
    }
    RecordProperty("folding characters", folding);
    EXPECT_TRUE(FxAnsiFoldsAlone('a'));
    EXPECT_TRUE(FxAnsiFoldsAlone('.'));
}
