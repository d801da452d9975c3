// Reading find-in-files result lines for Go to, and turning a column of 16-bit units into a
// byte column of the loaded line.
#include "common/LeadBytes.h"
#include "tools/OutputTarget.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

bool Parse(const std::string& line, OutputTarget* target = nullptr) {
    return ParseResultLine(line.data(), static_cast<int32_t>(line.size()), target);
}

TEST(OutputTargetTest, ReadsEachEncodingCode) {
    OutputTarget t;
    ASSERT_TRUE(Parse("\"C:\\src\\a.c\"(12,5)(A):\tint x;", &t));
    EXPECT_EQ(t.path, "C:\\src\\a.c");
    EXPECT_EQ(t.line, 12);
    EXPECT_EQ(t.column, 5);
    EXPECT_FALSE(t.unicodeColumn);
    for (const char* code : {"(U)", "(U8)", "(UBE)"}) {
        ASSERT_TRUE(Parse(std::string("\"C:\\b.txt\"(1,1)") + code + ":\tx", &t)) << code;
        EXPECT_TRUE(t.unicodeColumn) << code;
    }
}

TEST(OutputTargetTest, RefusesBadPositionsCodesAndShapes) {
    EXPECT_FALSE(Parse("\"C:\\src\\a.c\"(0,5)(A):\tint x;"));
    EXPECT_FALSE(Parse("\"C:\\src\\a.c\"(5,0)(A):\tint x;"));
    EXPECT_FALSE(Parse("\"C:\\src\\a.c\"(-1,5)(A):\tint x;"));
    EXPECT_FALSE(Parse("\"C:\\src\\a.c\"(3,5)(X):\tint x;"));
    EXPECT_FALSE(Parse("\"C:\\src\\a.c\"(3,5)(a):\tint x;"));
    EXPECT_FALSE(Parse("\"C:\\src\\a.c\"(3,5):\tint x;"));
    EXPECT_FALSE(Parse("\"C:\\src\\a.c\"(3,5)(A)\tno colon"));
    EXPECT_FALSE(Parse("C:\\src\\a.c(3,5)(A):\tint x;"));
    EXPECT_FALSE(Parse("\"\"(3,5)(A):\tint x;"));
    EXPECT_FALSE(Parse("\"C:\\src\\a.c(3,5)(A):\tno closing quote"));
    EXPECT_TRUE(Parse("\"a\"(1,1)(A):")); // the shortest: 12 bytes
    EXPECT_FALSE(Parse("\"a\"(1,1)(A)"));
    EXPECT_FALSE(Parse("\"C:\\a.c\"(99999999999,1)(A):\tx"));
    EXPECT_FALSE(Parse("Searching for \"x\"..."));
}

TEST(OutputTargetTest, PathOf259BytesIsTheLongest) {
    const std::string p259 = "C:\\" + std::string(256, 'd');
    OutputTarget t;
    ASSERT_TRUE(Parse("\"" + p259 + "\"(1,2)(A):\tx", &t));
    EXPECT_EQ(t.path, p259);
    EXPECT_FALSE(Parse("\"" + p259 + "e\"(1,2)(A):\tx"));
}

TEST(OutputTargetTest, DoubleBytePathWithTrailBackslash) {
    // 0x955C: the trail byte is a backslash.
    OutputTarget t;
    ASSERT_TRUE(Parse("\"C:\\\x95\x5C\\\xD6\xD0.txt\"(2,3)(A):\tx", &t));
    EXPECT_EQ(t.path, "C:\\\x95\x5C\\\xD6\xD0.txt");
}

TEST(OutputTargetTest, UnitColumnsStepOverWholeCharacters) {
    FxEnsureLeadBytes();
    const char* line = "a\xD6\xD0"
                       "b\xCE\xC4"
                       "c";
    const int32_t len = static_cast<int32_t>(std::strlen(line));
    const int32_t expected[] = {0, 1, 3, 4, 6, 7, 7, 7};
    for (int32_t units = 0; units < 8; ++units)
        EXPECT_EQ(UnitColumnToByteColumn(line, len, units), expected[units]) << units;
}

} // namespace
