// The template reader: line rule, sections, key lines, pairs, quoted strings, keyword groups,
// and the syntax table loaded from them.
#include "tests/textview/SyntaxTestUtil.h"
#include "textview/SyntaxPool.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::string CTemplate() {
    return CrLf({
        "## a comment before the section",
        "[#General]",
        "Title=C/C++",
        "Extensions=*.c;*.h",
        "Delimiters=,.;(){}[]",
        "MatchCase=yes",
        "Escape=\\",
        "LineComment=//",
        "LineComment2=#!",
        "BlockComment={on=\"/*\",off=\"*/\"}",
        "QuotedString={on=\"\\\"\",off=\"\\\"\"}",
        "QuotedString2={on=\"'\",off=\"'\"}",
        "BraceStrings={on=\"(\",off=\")\"},{on=\"{\",off=\"}\"}",
        "[#Ends]",
        "[#Keyword:name=\"Keywords\",color=\"#FF0000\"]",
        "if",
        "  else  ",
        "",
        "## not a keyword",
        "[#Ends]",
        "[#Keyword:name=\"Types\",color=\"#0000FF\"]",
        "int",
        "[#Ends]",
    });
}

TEST(SyntaxTemplate, KeyLinesOfTheGeneralSection) {
    std::string s = CTemplate();
    SyntaxTemplate t;
    t.SetText(s.data(), s.size());
    std::string v;
    ASSERT_TRUE(t.GetValue("Title", v));
    EXPECT_EQ("C/C++", v);
    ASSERT_TRUE(t.GetValue("extensions", v)); // key names in any case
    EXPECT_EQ("*.c;*.h", v);
    // "LineComment2" is not the key LineComment: the character after the name is not "=".
    ASSERT_TRUE(t.GetValue("LineComment", v));
    EXPECT_EQ("//", v);
    ASSERT_TRUE(t.GetValue("LineComment2", v));
    EXPECT_EQ("#!", v);
    EXPECT_FALSE(t.GetValue("BlockComment2", v));
}

TEST(SyntaxTemplate, SpacesAroundTheEqualsSignAndTheFirstLineWins) {
    std::string s =
        CrLf({"  [ #general ]  ", "Title  =  one  ", "Title=two", "[#Ends]", "Extensions=*.x"});
    SyntaxTemplate t;
    t.SetText(s.data(), s.size());
    std::string v;
    ASSERT_TRUE(t.GetValue("Title", v));
    EXPECT_EQ("one", v);
    EXPECT_FALSE(t.GetValue("Extensions", v)) << "after [#Ends]";
}

TEST(SyntaxTemplate, MissingEndsRunsToTheEndOfTheFile) {
    std::string s = CrLf({"[#General]", "Title=x", "Extensions=*.x"});
    SyntaxTemplate t;
    t.SetText(s.data(), s.size());
    std::string v;
    EXPECT_TRUE(t.GetValue("Extensions", v));
    EXPECT_EQ("*.x", v);
}

TEST(SyntaxTemplate, NoGeneralSection) {
    std::string s = CrLf({"[#Genera]", "Title=x", "[#General]x", "Extensions=*.x"});
    SyntaxTemplate t;
    t.SetText(s.data(), s.size());
    std::string v;
    EXPECT_FALSE(t.HasGeneralSection());
    EXPECT_FALSE(t.GetValue("Title", v));
}

TEST(SyntaxTemplate, LoneLfAndLoneCrLinesAreNotRecognised) {
    std::string s = "[#General]\r\nTitle=x\nExtensions=*.x\r\n[#Ends]\r\n"
                    "[#Keyword:name=\"K\",color=\"#FF0000\"]\n"
                    "kw\r\n[#Ends]\r\n";
    SyntaxTemplate t;
    t.SetText(s.data(), s.size());
    std::string v;
    ASSERT_TRUE(t.GetValue("Title", v));
    EXPECT_EQ("x\n", v) << "a key's value keeps the LF";
    EXPECT_TRUE(t.Groups().empty()) << "a header ends in the LF instead of ]";
    std::string cr = "[#General]\rTitle=x\r\n";
    t.SetText(cr.data(), cr.size());
    EXPECT_FALSE(t.HasGeneralSection());
    ASSERT_EQ(2u, t.Lines().size());
    EXPECT_EQ(11, t.Lines()[0].len);
}

TEST(SyntaxTemplate, LastLineWithoutLineEnd) {
    std::string s = "[#General]\r\nTitle=x";
    SyntaxTemplate t;
    t.SetText(s.data(), s.size());
    std::string v;
    ASSERT_TRUE(t.GetValue("Title", v));
    EXPECT_EQ("x", v);
}

TEST(SyntaxTemplate, QuotedStrings) {
    auto parse = [](const std::string& s, std::string& out) {
        const char* p = s.data();
        return StfParseQuoted(&p, s.data() + s.size(), out);
    };
    std::string out;
    EXPECT_TRUE(parse("\"abc\"", out));
    EXPECT_EQ("abc", out);
    EXPECT_TRUE(parse("\"a\\\"b\"", out));
    EXPECT_EQ("a\"b", out);
    EXPECT_TRUE(parse("\"a\\\\\"", out)) << "a doubled backslash does not escape";
    EXPECT_EQ("a\\", out);
    EXPECT_TRUE(parse("\"a\\nb\"", out)) << "other backslashes stay";
    EXPECT_EQ("a\\nb", out);
    EXPECT_FALSE(parse("\"open", out));
    EXPECT_FALSE(parse("abc\"", out));
    // The trail byte of this double-byte character is 0x5C: it neither escapes the quote nor
    // is taken for a backslash.
    EXPECT_TRUE(parse("\"\x95\x5C\"", out));
    EXPECT_EQ("\x95\x5C", out);
}

TEST(SyntaxTemplate, Pairs) {
    std::string on, off;
    std::string p = "{on=\"/*\",off=\"*/\"}";
    EXPECT_TRUE(StfParsePair(p.data(), static_cast<int>(p.size()), on, off));
    EXPECT_EQ("/*", on);
    EXPECT_EQ("*/", off);
    p = "  {  ON = \"<!--\" ,  Off=\"-->\"  }  ";
    EXPECT_TRUE(StfParsePair(p.data(), static_cast<int>(p.size()), on, off));
    EXPECT_EQ("<!--", on);
    EXPECT_EQ("-->", off);
    for (const char* bad :
         {"{on=\"\",off=\"*/\"}x", "{on=\"/*\",off=\"\"}", "{on=\"/*\"}", "{on=\"/*\" off=\"*/\"}",
          "{off=\"*/\",on=\"/*\"}", "{on=\"/*\",off=\"*/\"x}", "{o=\"a\",off=\"b\"}",
          "{on=\"a\",of=\"b\"}"}) {
        std::string b = bad;
        EXPECT_FALSE(StfParsePair(b.data(), static_cast<int>(b.size()), on, off)) << bad;
    }
    p = "{on=\"a\",off=\"b\"}"; // 16 bytes: the shortest real pair
    EXPECT_TRUE(StfParsePair(p.data(), static_cast<int>(p.size()), on, off));
}

TEST(SyntaxTemplate, ListsOfPairs) {
    std::vector<std::pair<std::string, std::string>> out;
    std::string l = "{on=\"(\",off=\")\"}, {on=\"\",off=\"]\"} ,{on=\"{\",off=\"}\"}";
    StfParsePairList(l.data(), static_cast<int>(l.size()), out);
    ASSERT_EQ(2u, out.size()) << "the pair with an empty string is skipped";
    EXPECT_EQ("(", out[0].first);
    EXPECT_EQ("}", out[1].second);
    out.clear();
    l = "{on=\"(\",off=\")\"},{on=\"[\" off=\"]\"},{on=\"{\",off=\"}\"}";
    StfParsePairList(l.data(), static_cast<int>(l.size()), out);
    EXPECT_EQ(1u, out.size()) << "reading stops at the first malformed pair";
    out.clear();
    l = "{on=\"(\",off=\")\"} {on=\"{\",off=\"}\"}";
    StfParsePairList(l.data(), static_cast<int>(l.size()), out);
    EXPECT_EQ(1u, out.size()) << "no comma follows";
}

TEST(SyntaxTemplate, GroupHeaders) {
    std::string name, colour;
    std::string h = "[#Keyword:name=\"Keywords\",color=\"#FF0000\"]";
    EXPECT_TRUE(StfParseGroupHeader(h.data(), static_cast<int>(h.size()), name, colour));
    EXPECT_EQ("Keywords", name);
    EXPECT_EQ("#FF0000", colour);
    h = "[ #keyword : name = \"A\" , color = \"#1\" ]";
    EXPECT_TRUE(StfParseGroupHeader(h.data(), static_cast<int>(h.size()), name, colour));
    for (const char* bad :
         {"[#Keyword:name=\"A\",color=\"#1\"]x", "[#Keyword:color=\"#1\",name=\"Abcdef\"]",
          "[#Keyword:name=\"A\",color=\"#1\"", "[#Keyword:name=\"A\",colour=\"#1\"]",
          "[#Keyword:name=\"A\"color=\"#FFFFFF\"]", "[#Keywords:name=\"A\",color=\"#1\"]",
          "[#Keyword name=\"Abc\",color=\"#FFFF\"]", "[#Keyword:n=\"A\"]"}) {
        std::string b = bad;
        EXPECT_FALSE(StfParseGroupHeader(b.data(), static_cast<int>(b.size()), name, colour))
            << bad;
    }
    EXPECT_EQ(0x0000FFu, StfParseColour("#0000FF"));
    EXPECT_EQ(0xFF0000u, StfParseColour("#ff0000"));
    EXPECT_EQ(0xFFFFFFFFu, StfParseColour("FF0000"));
    EXPECT_EQ(0xFFFFFFFFu, StfParseColour("#xyz"));
    EXPECT_EQ(0xFFFFFFFFu, StfParseColour(""));
}

TEST(SyntaxInfo, LoadsEveryPartOfATemplate) {
    SyntaxInfo info;
    LoadSyntax(info, CTemplate());
    EXPECT_TRUE(info.HasSyntax());
    EXPECT_TRUE(info.MatchCase());
    EXPECT_EQ('\\', info.Escape());
    ASSERT_NE(nullptr, info.Rule(SynLineComment));
    EXPECT_STREQ("//", info.Rule(SynLineComment)->start);
    EXPECT_EQ(0, info.Rule(SynLineComment)->endLen);
    EXPECT_STREQ("#!", info.Rule(SynLineComment2)->start);
    EXPECT_STREQ("*/", info.Rule(SynBlockComment)->end);
    EXPECT_EQ(nullptr, info.Rule(SynBlockComment2));
    EXPECT_STREQ("\"", info.Rule(SynQuoted)->start);
    EXPECT_STREQ("'", info.Rule(SynQuoted2)->end);
    // Newest first.
    ASSERT_NE(nullptr, info.Brackets());
    EXPECT_STREQ("{", info.Brackets()->start);
    EXPECT_STREQ(")", info.Brackets()->next->end);
    EXPECT_EQ(nullptr, info.Brackets()->next->next);
    ASSERT_EQ(2, info.GroupCount());
    EXPECT_STREQ("Keywords", info.Group(0).name);
    EXPECT_EQ(0xFF0000u, info.Group(0).colour);
    EXPECT_EQ(3, info.Keywords().Count());
    EXPECT_EQ(0, info.LookupKeyword("else", 4));
    EXPECT_EQ(1, info.LookupKeyword("int", 3));
    EXPECT_EQ(-1, info.LookupKeyword("Int", 3));
    EXPECT_EQ(-1, info.LookupKeyword("## not a keyword", 16));
    // The delimiters come from the file type's settings, not from the template.
    EXPECT_EQ(17, info.DelimiterCount());
}

TEST(SyntaxInfo, MatchCaseValues) {
    for (const char* v : {"no", "NO", "No"}) {
        SyntaxInfo info;
        LoadSyntax(info, CrLf({"[#General]", std::string("MatchCase=") + v, "[#Ends]"}));
        EXPECT_FALSE(info.MatchCase()) << v;
    }
    for (const char* v : {"yes", "nope", "", "0"}) {
        SyntaxInfo info;
        LoadSyntax(info, CrLf({"[#General]", std::string("MatchCase=") + v, "[#Ends]"}));
        EXPECT_TRUE(info.MatchCase()) << v;
    }
}

TEST(SyntaxInfo, EscapeIsTheFirstCharacter) {
    SyntaxInfo info;
    LoadSyntax(info, CrLf({"[#General]", "Escape=\xD6\xD0x", "[#Ends]"}));
    EXPECT_EQ(0xD0D6, info.Escape()) << "a double-byte character counts whole";
    LoadSyntax(info, CrLf({"[#General]", "Escape=", "[#Ends]"}));
    EXPECT_EQ(0, info.Escape());
}

TEST(SyntaxInfo, NoSyntaxWithoutRulesOrKeywords) {
    SyntaxInfo info;
    LoadSyntax(info, CrLf({"[#General]", "Title=x", "BlockComment={on=\"\",off=\"x\"}", "[#Ends]",
                           "[#Keyword:name=\"Empty\",color=\"#000000\"]", "", "[#Ends]"}));
    EXPECT_FALSE(info.HasSyntax());
    EXPECT_EQ(1, info.GroupCount());
    LoadSyntax(info, CrLf({"[#General]", "LineComment=;", "[#Ends]"}));
    EXPECT_TRUE(info.HasSyntax());
}

TEST(SyntaxInfo, ARepeatedGroupRecoloursTheEarlierOne) {
    SyntaxInfo info;
    LoadSyntax(info,
               CrLf({"[#Keyword:name=\"Words\",color=\"#000001\"]", "one", "two", "[#Ends]",
                     "[#Keyword:name=\"Other\",color=\"#000002\"]", "three", "[#Ends]",
                     "[#Keyword:name=\"WORDS\",color=\"#000003\"]", "two", "four", "[#Ends]"}));
    ASSERT_EQ(2, info.GroupCount());
    EXPECT_EQ(3u, info.Group(0).colour);
    EXPECT_EQ(0, info.LookupKeyword("four", 4));
    EXPECT_EQ(0, info.LookupKeyword("two", 3));
    EXPECT_EQ(4, info.Keywords().Count());
}

TEST(SyntaxInfo, FirstGroupKeepsADuplicateKeyword) {
    SyntaxInfo info;
    LoadSyntax(info, CrLf({"[#Keyword:name=\"First\",color=\"#000001\"]", "x", "[#Ends]",
                           "[#Keyword:name=\"Second\",color=\"#000002\"]", "x", "[#Ends]"}));
    EXPECT_EQ(0, info.LookupKeyword("x", 1));
}

TEST(SyntaxInfo, AGroupWithoutEndsSwallowsTheNextHeader) {
    SyntaxInfo info;
    LoadSyntax(info, CrLf({"[#Keyword:name=\"First\",color=\"#000001\"]", "x",
                           "[#Keyword:name=\"Second\",color=\"#000002\"]", "y"}));
    EXPECT_EQ(1, info.GroupCount());
    const char* header = "[#Keyword:name=\"Second\",color=\"#000002\"]";
    EXPECT_EQ(0, info.LookupKeyword(header, static_cast<int>(std::strlen(header))));
    EXPECT_EQ(0, info.LookupKeyword("y", 1));
}

TEST(SyntaxInfo, MoreThanSixtyFourGroups) {
    std::vector<std::string> lines;
    for (int i = 0; i < 70; ++i) {
        lines.push_back("[#Keyword:name=\"Group" + std::to_string(i) + "\",color=\"#" +
                        std::to_string(i) + "\"]");
        lines.push_back("kw" + std::to_string(i));
        lines.push_back("[#Ends]");
    }
    SyntaxInfo info;
    LoadSyntax(info, CrLf(lines));
    EXPECT_EQ(64, info.GroupCount());
    EXPECT_EQ(63, info.LookupKeyword("kw63", 4));
    EXPECT_EQ(-1, info.LookupKeyword("kw64", 4));
    EXPECT_EQ(64, info.Keywords().Count());
}

TEST(SyntaxInfo, AHundredThousandKeywords) {
    std::vector<std::string> lines{"[#Keyword:name=\"Many\",color=\"#123456\"]"};
    for (int i = 0; i < 100000; ++i)
        lines.push_back("k" + std::to_string(i));
    lines.push_back("[#Ends]");
    SyntaxInfo info;
    LoadSyntax(info, CrLf(lines));
    EXPECT_EQ(100000, info.Keywords().Count());
    EXPECT_EQ(0, info.LookupKeyword("k99999", 6));
    EXPECT_EQ(-1, info.LookupKeyword("k100000", 7));
}

TEST(SyntaxInfo, LongKeywordsAreCut) {
    std::string kw(300, 'a');
    SyntaxInfo info;
    LoadSyntax(info, CrLf({"[#Keyword:name=\"Long\",color=\"#123456\"]", kw, "[#Ends]"}));
    EXPECT_EQ(1, info.Keywords().Count());
    EXPECT_EQ(0, info.LookupKeyword(kw.data(), 255));
    EXPECT_EQ(-1, info.LookupKeyword(kw.data(), 300));
}

TEST(SyntaxInfo, ColourOverride) {
    SyntaxInfo info;
    std::string s = CTemplate();
    SyntaxTemplate t;
    t.SetText(s.data(), s.size());
    info.Load(t, [](const std::string& g, uint32_t& c) {
        if (g == "Types")
            c = 0x123456;
    });
    EXPECT_EQ(0xFF0000u, info.Group(0).colour);
    EXPECT_EQ(0x123456u, info.Group(1).colour);
}

TEST(SyntaxInfo, CopyIsDeep) {
    SyntaxInfo* a = new SyntaxInfo;
    LoadSyntax(*a, CTemplate());
    a->SetDelimiters("-+", 2);
    SyntaxInfo b(*a);
    delete a;
    EXPECT_TRUE(b.HasSyntax());
    EXPECT_EQ(1, b.LookupKeyword("int", 3));
    EXPECT_STREQ("*/", b.Rule(SynBlockComment)->end);
    EXPECT_STREQ("{", b.Brackets()->start);
    EXPECT_STREQ("Types", b.Group(1).name);
    EXPECT_TRUE(b.IsDelimiter('+'));
    EXPECT_FALSE(b.IsDelimiter(','));
}

TEST(SyntaxInfo, Delimiters) {
    SyntaxInfo info;
    EXPECT_TRUE(info.IsDelimiter(','));
    EXPECT_TRUE(info.IsDelimiter('\''));
    EXPECT_FALSE(info.IsDelimiter('-'));
    std::string d = "-\xA3\xAC+"; // "-，+": the full-width comma is one double-byte delimiter
    info.SetDelimiters(d.data(), static_cast<int>(d.size()));
    EXPECT_EQ(3, info.DelimiterCount());
    EXPECT_TRUE(info.IsDelimiter(0xACA3));
    EXPECT_FALSE(info.IsDelimiter(0xA3));
    EXPECT_FALSE(info.IsDelimiter(','));
    std::string many(100, '!');
    info.SetDelimiters(many.data(), 100);
    EXPECT_EQ(63, info.DelimiterCount());
}

TEST(SyntaxInfo, GroupTableFull) {
    SyntaxInfo info;
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(i, info.RegisterGroup(("g" + std::to_string(i)).c_str(), 0));
    EXPECT_EQ(-1, info.RegisterGroup("another", 0));
    EXPECT_EQ(5, info.RegisterGroup("G5", 7)) << "an existing name is still found";
    EXPECT_EQ(7u, info.Group(5).colour);
}

TEST(SyntaxInfo, MissingFile) {
    SyntaxInfo info;
    EXPECT_FALSE(info.LoadFile("no such directory/none.STF"));
    EXPECT_FALSE(info.HasSyntax());
}

TEST(KeywordTable, HashAndCase) {
    EXPECT_EQ(0u, KeywordTable::Hash("", 0));
    EXPECT_EQ(static_cast<unsigned>('a'), KeywordTable::Hash("a", 1));
    EXPECT_EQ(static_cast<unsigned>(('a' * 33 + 'b') & 0xFF), KeywordTable::Hash("ab", 2));
    KeywordTable t;
    EXPECT_FALSE(t.Add("", 0, 0, true));
    EXPECT_TRUE(t.Add("If", 2, 3, false));
    EXPECT_FALSE(t.Add("IF", 2, 4, false));
    EXPECT_EQ(3, t.Lookup("iF", 2, false));
    EXPECT_EQ(3, t.Lookup("if", 2, true)) << "stored lowercased";
    EXPECT_EQ(-1, t.Lookup("If", 2, true));
    // Full-width letters fold as the system folds them for code page 936.
    EXPECT_TRUE(t.Add("\xA3\xC1", 2, 1, false)); // full-width A
    EXPECT_EQ(1, t.Lookup("\xA3\xE1", 2, false));
}

TEST(SyntaxPools, SizeClassesAndReuse) {
    size_t before = SyntaxPoolOf(0).InUse();
    void* a = SyntaxAlloc(10);
    EXPECT_EQ(before + 1, SyntaxPoolOf(0).InUse());
    SyntaxFree(a);
    EXPECT_EQ(before, SyntaxPoolOf(0).InUse());
    void* b = SyntaxAlloc(70);
    EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(b) % alignof(void*));
    SyntaxFree(b);
    void* big = SyntaxAlloc(5000);
    std::memset(big, 1, 5000);
    SyntaxFree(big);
    SmallBlockPool pool(32, 113);
    std::vector<void*> blocks;
    for (int i = 0; i < 114; ++i)
        blocks.push_back(pool.Take());
    EXPECT_EQ(2u, pool.ChunkCount());
    for (void* p : blocks)
        pool.Give(p);
    EXPECT_EQ(0u, pool.InUse());
    pool.Take();
    EXPECT_EQ(2u, pool.ChunkCount());
}

TEST(SyntaxArena, BlocksRoundUpTo8192) {
    SyntaxArena arena;
    arena.Alloc(10);
    arena.Alloc(8000);
    EXPECT_EQ(1u, arena.BlockCount());
    arena.Alloc(200);
    EXPECT_EQ(2u, arena.BlockCount());
    void* big = arena.Alloc(20000);
    std::memset(big, 0, 20000);
    EXPECT_EQ(3u, arena.BlockCount());
    arena.Clear();
    EXPECT_EQ(0u, arena.BlockCount());
}

} // namespace
