// The one cut of code page 936 text at a byte limit: the longest start that never ends between
// a lead byte and its trail byte. "中" is D6 D0, "乗" is 81 5C (its trail byte the value of "\").
#include "common/LeadBytes.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct CutCase {
    const char* text;
    size_t limit;
    size_t kept;
};

// clang-format off
const CutCase kCuts[] = {
    // text                      limit kept
    {"abc",                      5,    3},  // shorter than the limit: whole
    {"abc",                      3,    3},
    {"abc",                      2,    2},
    {"abc",                      0,    0},
    {"a\xD6\xD0" "b",            4,    4},  // a 中 b
    {"a\xD6\xD0" "b",            3,    3},  // up to the end of 中
    {"a\xD6\xD0" "b",            2,    1},  // would end between D6 and D0
    {"\xD6\xD0\xD6\xD0",         3,    2},
    {"\xD6\xD0\xD6\xD0",         1,    0},
    {"\x81\x5C\x81\x5C",         3,    2},  // 乗乗: the 5C is no character of its own
    {"x\x81\x5C",                2,    1},
    {"ab\xD6",                   3,    3},  // a lead byte without its trail counts one byte
    {"ab\xD6",                   2,    2},
};
// clang-format on

TEST(FxCutLength, KeepsWholeCharactersWithinTheLimit) {
    for (const CutCase& c : kCuts)
        EXPECT_EQ(FxCutLength(c.text, std::strlen(c.text), c.limit), c.kept)
            << "limit " << c.limit << " of " << c.text;
}

TEST(FxCutLength, StopsAtTheGivenLengthNotAtTheTerminator) {
    // Only the first three bytes count: the D6 at the end is a lead byte without its trail.
    EXPECT_EQ(FxCutLength("ab\xD6\xD0", 3, 10), 3u);
    EXPECT_EQ(FxCutLength("", 0, 10), 0u);
}

} // namespace
