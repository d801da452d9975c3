// The line scanner: which bytes of a piece get which colour.
#include "tests/textview/SyntaxTestUtil.h"

#include <gtest/gtest.h>

namespace {

const std::string kT = CrLf({
    "[#General]",
    "Escape=\\",
    "LineComment=//",
    "BlockComment={on=\"/*\",off=\"*/\"}",
    "BlockComment2={on=\"{\",off=\"}\"}",
    "QuotedString={on=\"\\\"\",off=\"\\\"\"}",
    "QuotedString2={on=\"'\",off=\"'\"}",
    "[#Ends]",
    "[#Keyword:name=\"Words\",color=\"#FF0000\"]",
    "if",
    "return",
    "->",
    "#include",
    "(",
    "[#Ends]",
    "[#Keyword:name=\"Types\",color=\"#00FF00\"]",
    "int",
    "[#Ends]",
});

class Scanner : public testing::Test {
protected:
    void SetUp() override {
        LoadSyntax(info, kT);
        std::string d = ",;()-># \"'";
        info.SetDelimiters(d.data(), static_cast<int>(d.size()));
    }
    SyntaxInfo info;
};

TEST_F(Scanner, WordsBlanksAndKeywords) {
    EXPECT_EQ("00BTBTBTT", ColourMap(info, "if x = 1;"));
    EXPECT_EQ("000000BTB111", ColourMap(info, "return x int"));
    EXPECT_EQ("TTTT", ColourMap(info, "ifif")) << "only whole words";
    EXPECT_EQ("", ColourMap(info, ""));
}

TEST_F(Scanner, CommentsAndStrings) {
    EXPECT_EQ("TBllllll", ColourMap(info, "a //x\"y\""));
    EXPECT_EQ("ssssssBT", ColourMap(info, "\"a\\\"b\" x"));
    EXPECT_EQ("sssssBT", ColourMap(info, "\"a\\\\\" x")) << "an escaped escape ends the string";
    EXPECT_EQ("bbbbbbbbBT", ColourMap(info, "/* if */ x"));
    EXPECT_EQ("CCCCCC", ColourMap(info, "{ if }"));
    EXPECT_EQ("SSSTTsss", ColourMap(info, "'a'bc\"d\""));
    EXPECT_EQ("TBsssss", ColourMap(info, "x \"open")) << "to the end of the piece";
}

TEST_F(Scanner, CarriedConstructs) {
    EXPECT_EQ("bbbbBT", ColourMap(info, "x */ y", SYN_BLOCKCOMMENT));
    EXPECT_EQ("bbbbB00", ColourMap(info, "x */ if", SYN_BLOCKCOMMENT));
    EXPECT_EQ("llllll", ColourMap(info, "if */ ", SYN_LINECOMMENT));
    EXPECT_EQ("sssBT", ColourMap(info, "ab\" x", SYN_QUOTED));
    EXPECT_EQ("bbbb", ColourMap(info, "no e", SYN_BLOCKCOMMENT));
}

TEST_F(Scanner, DelimitersExtendIntoKeywords) {
    // With - and > both delimiters and -> a keyword, a->b colours -> as one keyword.
    EXPECT_EQ("T00T", ColourMap(info, "a->b"));
    EXPECT_EQ("00000000BTT", ColourMap(info, "#include <x"));
    EXPECT_EQ("TTTTBT", ColourMap(info, "#inc x")) << "not a keyword: the delimiter alone";
    EXPECT_EQ("0TTT", ColourMap(info, "(abc")) << "the delimiter alone is a keyword";
    EXPECT_EQ("00", ColourMap(info, "->"));
    EXPECT_EQ("TBT", ColourMap(info, "- x"));
}

TEST_F(Scanner, TheWordAfterADelimiter) {
    EXPECT_EQ("0Tsss", ColourMap(info, "(a\"s\"")) << "the delimiter alone, then a word";
    EXPECT_EQ("TTlll", ColourMap(info, ";x//c")) << "a rule starts inside the taken text";
    // The escape in the taken text escapes the quote after it; the last quote opens a string.
    EXPECT_EQ("TTTTs", ColourMap(info, ",\\\"a\""));
    // 0x95 0x5C is one character: its trail byte escapes nothing.
    EXPECT_EQ("TTTsss", ColourMap(info, ";\x95\x5C\"s\""));
    EXPECT_EQ("0TT", ColourMap(info, "(\xD6\xD0"));
    EXPECT_EQ("TBT", ColourMap(info, "x \x81")) << "a lead byte without its trail";
    EXPECT_EQ("TT", ColourMap(info, ";\x81"));
}

TEST_F(Scanner, MatchCaseOff) {
    SyntaxInfo nc;
    LoadSyntax(nc, CrLf({"[#General]", "MatchCase=no", "[#Ends]",
                         "[#Keyword:name=\"K\",color=\"#FF0000\"]", "If", "[#Ends]"}));
    EXPECT_EQ("00B00B00B00", ColourMap(nc, "if IF iF If"));
    SyntaxInfo mc;
    LoadSyntax(mc, CrLf({"[#General]", "MatchCase=yes", "[#Ends]",
                         "[#Keyword:name=\"K\",color=\"#FF0000\"]", "If", "[#Ends]"}));
    EXPECT_EQ("TTBTTBTTB00", ColourMap(mc, "if IF iF If"));
}

TEST_F(Scanner, RuleStringsFollowMatchCase) {
    SyntaxInfo nc;
    LoadSyntax(nc, CrLf({"[#General]", "MatchCase=no", "LineComment=REM", "[#Ends]"}));
    EXPECT_EQ("lllllll", ColourMap(nc, "rem abc"));
    SyntaxInfo mc;
    LoadSyntax(mc, CrLf({"[#General]", "LineComment=REM", "[#Ends]"}));
    EXPECT_EQ("TTTBTTT", ColourMap(mc, "rem abc"));
}

TEST_F(Scanner, DoubleByteText) {
    // 0x95 0x5C is one character: its trail byte does not escape the closing quote.
    EXPECT_EQ("ssssBT", ColourMap(info, "\"\x95\x5C\" x"));
    // A word of Chinese characters next to a keyword.
    EXPECT_EQ("TTTTB00", ColourMap(info, "\xD6\xD0\xCE\xC4 if"));
}

class StopAfter : public SyntaxRunSink {
public:
    explicit StopAfter(int n) : m_left(n) {}
    bool OnRun(const SyntaxRun&) override {
        ++seen;
        return --m_left > 0;
    }
    int seen = 0;

private:
    int m_left;
};

TEST_F(Scanner, TheSinkStopsTheScan) {
    StopAfter sink(2);
    std::string t = "a b c d e";
    ScanPiece(info, t.data(), static_cast<int>(t.size()), 0, sink);
    EXPECT_EQ(2, sink.seen);
}

TEST_F(Scanner, RunsCoverThePieceInOrder) {
    std::string t = "int main(void) { return a->b /* x */ + \"s\\\"\" + 'c'; } // end";
    std::vector<SyntaxRun> runs;
    ScanPiece(info, t.data(), static_cast<int>(t.size()), 0, runs);
    int pos = 0;
    for (const SyntaxRun& r : runs) {
        EXPECT_EQ(pos, r.start);
        EXPECT_GT(r.len, 0);
        pos += r.len;
    }
    EXPECT_EQ(static_cast<int>(t.size()), pos);
}

} // namespace
