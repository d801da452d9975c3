// Byte counts in messages: all of a 64-bit count, where "%d" would show 32 bits of it.
#include "common/CountText.h"

#include <gtest/gtest.h>

TEST(CountText, TheFirstIntegerConversionTakesTheWholeCount) {
    EXPECT_EQ(FxFormatCount(" 文档：%d字节 ", 0), " 文档：0字节 ");
    EXPECT_EQ(FxFormatCount(" 文档：%d字节 ", 4294967296 + 5), " 文档：4294967301字节 ");
    EXPECT_EQ(FxFormatCount("%d", -1), "-1");
    EXPECT_EQ(FxFormatCount("100%% of %d", 2147483648), "100%% of 2147483648");
    EXPECT_EQ(FxFormatCount("no count", 7), "no count");
    EXPECT_EQ(FxFormatCount("ends in %", 7), "ends in %");
}
