// Position arithmetic over GBK text, byte by byte.
#include <gtest/gtest.h>

#include "DocTestUtil.h"

#include "textdoc/Dbcs.h"

TEST(Position, CharacterLengthsOverGbkText) {
    // a 中 b 文 with a lead byte cut off at the end; stepping starts at every index.
    const char text[] = "a\xD6\xD0"
                        "b\xCE\xC4\xD6";
    const size_t len = 7;
    const int expected[] = {
        1, // a
        2, // D6 lead of 中
        2, // D0 trail: in code page 936 a trail byte is also a lead byte, so read from here
           // it pairs with b
        1, // b
        2, // CE lead of 文
        2, // C4 trail, paired with the D6 after it when read from here
        1, // D6 lead byte in the last position counts as one byte
    };
    for (size_t i = 0; i < len; ++i)
        EXPECT_EQ(FxCharLen(text, i, len), expected[i]) << i;
}

TEST(Position, ColumnsAreByteOffsets) {
    TestDoc doc;
    SetText(doc, "\xD6\xD0\xCE\xC4x");
    EXPECT_EQ(doc.GetLineLength(0), 5);
    FxTextPos p(4, 0);
    doc.InsertText(p, "\xB0\xA1", 2); // 啊 before x
    EXPECT_EQ(LogicalText(doc), "\xD6\xD0\xCE\xC4\xB0\xA1x");
    EXPECT_EQ(p, FxTextPos(6, 0));
}
