// The platform under the tests: code page 936 and its lead bytes.
#include <gtest/gtest.h>

#include "textdoc/Dbcs.h"

#ifdef _WIN32
#include <windows.h>

TEST(Platform, AnsiCodePageIs936) { ASSERT_EQ(GetACP(), 936u); }
#endif

TEST(Platform, LeadBytesOfCodePage936) {
    EXPECT_FALSE(FxIsLeadByte(0x41));
    EXPECT_FALSE(FxIsLeadByte(0x80));
    EXPECT_TRUE(FxIsLeadByte(0x81));
    EXPECT_TRUE(FxIsLeadByte(0xD6)); // 中 = D6 D0
    EXPECT_TRUE(FxIsLeadByte(0xFE));
    EXPECT_FALSE(FxIsLeadByte(0xFF)); // never a lead byte
}

TEST(Platform, LeadByteAtTheEndIsOneByte) {
    const char text[] = "a\xD6\xD0\xD6";
    EXPECT_EQ(FxCharLen(text, 0, 4), 1);
    EXPECT_EQ(FxCharLen(text, 1, 4), 2);
    EXPECT_EQ(FxCharLen(text, 3, 4), 1);
}
