// Line states: constructs carried from record to record, the state mark, escapes, and the
// comment-or-string test of bracket matching.
#include "tests/textview/SyntaxTestUtil.h"
#include "textview/SyntaxState.h"

#include <gtest/gtest.h>

namespace {

const std::string kC = CrLf({
    "[#General]",
    "Escape=\\",
    "LineComment=//",
    "LineComment2=#",
    "BlockComment={on=\"/*\",off=\"*/\"}",
    "BlockComment2={on=\"(*\",off=\"*)\"}",
    "QuotedString={on=\"\\\"\",off=\"\\\"\"}",
    "QuotedString2={on=\"'\",off=\"'\"}",
    "[#Ends]",
});

class LineStates : public testing::Test {
protected:
    void SetUp() override { LoadSyntax(info, kC); }
    // States of every record after bringing them all up to date.
    std::vector<uint32_t> States(Records& r) {
        int32_t mark = -1;
        int32_t last = static_cast<int32_t>(r.recs.size()) - 1;
        ComputeLineStates(info, r.recs.data(), last, last, -1, mark);
        std::vector<uint32_t> s;
        for (size_t i = 0; i < r.recs.size(); ++i)
            s.push_back(r.State(i));
        return s;
    }
    uint32_t Next(const std::string& text, uint32_t flags = FXL_LINEEND) {
        return NextLineState(info, text.data(), static_cast<int>(text.size()), flags);
    }
    SyntaxInfo info;
};

TEST_F(LineStates, PlainLinesAndClosedConstructs) {
    EXPECT_EQ(0u, Next(""));
    EXPECT_EQ(0u, Next("int a = 1;"));
    EXPECT_EQ(0u, Next("a = \"x\" /* c */ 'y';"));
    EXPECT_EQ(0u, Next("// comment"));
    EXPECT_EQ(SYN_BLOCKCOMMENT, Next("a /* open"));
    EXPECT_EQ(SYN_BLOCKCOMMENT2, Next("(* open"));
    EXPECT_EQ(0u, Next("\"a // b\" c"));
    EXPECT_EQ(0u, Next("// a /* b"));
    EXPECT_EQ(SYN_BLOCKCOMMENT, Next("\"/*\" /*"));
}

TEST_F(LineStates, EscapedQuotesAndEscapedEscapes) {
    // "a\"b" is one string; "a\\" ends at its last quote.
    EXPECT_EQ(0u, Next("x = \"a\\\"b\";"));
    EXPECT_EQ(0u, Next("x = \"a\\\\\" /* \"*/"));
    EXPECT_EQ(SYN_BLOCKCOMMENT, Next("x = \"a\\\\\" /*"));
    EXPECT_EQ(SYN_BLOCKCOMMENT, Next("x = \"a\\\" /*\" /*"));
    // An escaped quote does not start a string either.
    EXPECT_EQ(0u, Next("x = \\\" y"));
}

TEST_F(LineStates, AStringLeftOpenEndsWithTheLine) {
    EXPECT_EQ(0u, Next("x = \"open"));
    EXPECT_EQ(SYN_QUOTED, Next("x = \"open\\"));
    EXPECT_EQ(0u, Next("x = \"open\\\\")) << "an even number of escapes";
    EXPECT_EQ(SYN_QUOTED2, Next("x = 'open\\"));
    Records r({"s = \"one\\", "two\\", "three\" /* x", "y", "z */ w"});
    EXPECT_EQ(
        (std::vector<uint32_t>{0, SYN_QUOTED, SYN_QUOTED, SYN_BLOCKCOMMENT, SYN_BLOCKCOMMENT}),
        States(r));
}

TEST_F(LineStates, ABlockCommentRunsUntilItsEnd) {
    std::vector<std::string> lines{"/* start"};
    for (int i = 0; i < 50; ++i)
        lines.push_back("no end here \" ' //");
    lines.push_back("end */ x");
    lines.push_back("y");
    Records r(lines);
    std::vector<uint32_t> s = States(r);
    EXPECT_EQ(0u, s[0]);
    for (int i = 1; i <= 51; ++i)
        EXPECT_EQ(SYN_BLOCKCOMMENT, s[i]) << i;
    EXPECT_EQ(0u, s[52]);
}

TEST_F(LineStates, ALineCommentEndingInAnEscapeContinues) {
    Records r({"// one\\", "two", "three", "# a\\", "b\\\\", "c"});
    EXPECT_EQ((std::vector<uint32_t>{0, SYN_LINECOMMENT, 0, 0, SYN_LINECOMMENT2, 0}), States(r));
}

TEST_F(LineStates, ConstructsContinueIntoTheNextPieceOfAWrappedLine) {
    // One logical line in three pieces, then a second line.
    Records r({"x = \"wrapped str", "ing // still\" // com", "ment", "next"}, {true, true});
    EXPECT_EQ((std::vector<uint32_t>{0, SYN_QUOTED, SYN_LINECOMMENT, 0}), States(r));
}

TEST_F(LineStates, ATrailByteThatLooksLikeAnEscapeEscapesNothing) {
    // 0x95 0x5C is one double-byte character whose trail byte equals the backslash.
    EXPECT_EQ(0u, Next("s = \"\x95\x5C\" /* x */"));
    EXPECT_EQ(SYN_BLOCKCOMMENT, Next("s = \"\x95\x5C\" /* x"));
    EXPECT_EQ(0u, Next("s = \"\x95\x5C")) << "the line does not end in an escape";
    EXPECT_EQ(0u, Next("// \x95\x5C")) << "nor does this comment";
    // The same bytes as single bytes: a real backslash.
    EXPECT_EQ(SYN_QUOTED, Next("s = \"a\x5C"));
    // A lead byte at the very end of a piece is a character of its own.
    EXPECT_EQ(SYN_QUOTED, Next("s = \"\x95\x5C\x5C"));
}

TEST_F(LineStates, NoEscapeCharacter) {
    SyntaxInfo plain;
    LoadSyntax(plain, CrLf({"[#General]", "QuotedString={on=\"\\\"\",off=\"\\\"\"}",
                            "LineComment=;", "[#Ends]"}));
    EXPECT_EQ(0u, NextLineState(plain, "\"a\\", 3, FXL_LINEEND));
    EXPECT_EQ(0u, NextLineState(plain, "\"a\\\" ; \"", 8, FXL_LINEEND));
}

TEST_F(LineStates, ATwoByteEscapeCharacter) {
    SyntaxInfo e;
    LoadSyntax(
        e, CrLf({"[#General]", "Escape=\xA3\xDC", "QuotedString={on=\"'\",off=\"'\"}", "[#Ends]"}));
    EXPECT_EQ(0xDCA3, e.Escape());
    std::string t = "'a\xA3\xDC' b";
    EXPECT_EQ(SYN_QUOTED, NextLineState(e, t.data(), static_cast<int>(t.size()), 0));
    t = "'a\xA3\xDC'";
    EXPECT_EQ(0u, NextLineState(e, t.data(), static_cast<int>(t.size()), FXL_LINEEND));
    t = "'a\xA3\xDC";
    EXPECT_EQ(SYN_QUOTED, NextLineState(e, t.data(), static_cast<int>(t.size()), FXL_LINEEND));
}

TEST_F(LineStates, ComputeKeepsOtherFlagsAndMovesTheMark) {
    Records r({"/*", "a", "b", "*/", "c", "d"});
    r.recs[2].flags |= FXL_BOOKMARK;
    r.recs[0].flags |= SYN_QUOTED; // record 0 is cleared when the mark is reset
    int32_t mark = -1;
    EXPECT_TRUE(ComputeLineStates(info, r.recs.data(), 3, 5, -1, mark));
    EXPECT_EQ(2, mark);
    EXPECT_EQ(0u, r.State(0));
    EXPECT_EQ(SYN_BLOCKCOMMENT, r.State(1));
    EXPECT_EQ(SYN_BLOCKCOMMENT, r.State(3));
    EXPECT_EQ(0u, r.State(4)) << "not computed yet";
    EXPECT_TRUE(r.recs[2].flags & FXL_BOOKMARK);
    EXPECT_TRUE(r.recs[2].flags & FXL_LINEEND);
    // Already current: nothing happens.
    EXPECT_FALSE(ComputeLineStates(info, r.recs.data(), 3, 5, 3, mark));
    EXPECT_EQ(2, mark);
    // Further down; nothing changes at or above the previous mark.
    EXPECT_FALSE(ComputeLineStates(info, r.recs.data(), 5, 5, 3, mark));
    EXPECT_EQ(4, mark);
    // An edit closes the comment early: records below change.
    r.text[1] = "*/";
    r.recs[1].data = &r.text[1][0];
    r.recs[1].len = 2;
    mark = 0; // the edit cut the mark back
    EXPECT_TRUE(ComputeLineStates(info, r.recs.data(), 5, 5, 3, mark));
    EXPECT_EQ(0u, r.State(2));
    EXPECT_EQ(0u, r.State(3));
}

TEST_F(LineStates, ComputeEdges) {
    Records r({"/*", "a"});
    int32_t mark = 7;
    EXPECT_FALSE(ComputeLineStates(info, r.recs.data(), 0, -1, -1, mark)) << "no records";
    EXPECT_EQ(7, mark);
    EXPECT_TRUE(ComputeLineStates(info, r.recs.data(), 99, 1, -1, mark)) << "target clamped";
    EXPECT_EQ(SYN_BLOCKCOMMENT, r.State(1));
    EXPECT_EQ(0, mark);
    mark = -5;
    EXPECT_FALSE(ComputeLineStates(info, r.recs.data(), -3, 1, -1, mark));
    EXPECT_EQ(-1, mark);
}

TEST_F(LineStates, StaleStateOfARemovedRuleIsIgnored) {
    SyntaxInfo none;
    EXPECT_EQ(0u, NextLineState(none, "abc", 3, SYN_BLOCKCOMMENT | FXL_LINEEND));
}

TEST_F(LineStates, IsInCommentOrString) {
    Records r({"a = \"(\" + ( /* ( */ b", "// (", "/* x", "( */ (", "'(", "x"});
    int32_t mark = -1;
    auto in = [&](int rec, int col) {
        return IsInCommentOrString(info, r.recs.data(), static_cast<int32_t>(r.recs.size()), -1,
                                   mark, rec, col);
    };
    EXPECT_FALSE(in(0, 0));
    EXPECT_TRUE(in(0, 4)) << "the opening quote";
    EXPECT_TRUE(in(0, 5));
    EXPECT_TRUE(in(0, 6)) << "the closing quote";
    EXPECT_FALSE(in(0, 10));
    EXPECT_TRUE(in(0, 12));
    EXPECT_TRUE(in(0, 15));
    EXPECT_TRUE(in(0, 18)) << "the last byte of */";
    EXPECT_FALSE(in(0, 20));
    EXPECT_TRUE(in(1, 3));
    EXPECT_TRUE(in(2, 0));
    EXPECT_TRUE(in(3, 0)) << "carried block comment";
    EXPECT_TRUE(in(3, 3));
    EXPECT_FALSE(in(3, 5));
    EXPECT_TRUE(in(4, 1)) << "an unterminated string";
    EXPECT_FALSE(in(5, 0));
    EXPECT_FALSE(in(99, 0));
}

} // namespace
