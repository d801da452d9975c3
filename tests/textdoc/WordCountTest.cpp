// The word count, with the system's character types for code page 936 (Windows only).
#include <gtest/gtest.h>

#include "DocTestUtil.h"

#ifdef _WIN32

TEST(WordCount, HyphenJoinsAWordAcrossLines) {
    TestDoc doc;
    SetText(doc, "ab-\r\ncd");
    FxWordCount wc = doc.CountWords();
    EXPECT_EQ(wc.words, 1);
    EXPECT_EQ(wc.total, 5);
}

TEST(WordCount, TwoLinesAreTwoWords) {
    TestDoc doc;
    SetText(doc, "ab\r\ncd");
    EXPECT_EQ(doc.CountWords().words, 2);
}

TEST(WordCount, ChineseSpaceWordAndFullWidthComma) {
    TestDoc doc;
    SetText(doc, "\xD6\xD0\xCE\xC4 abc\xA3\xAC"); // 中文 abc，
    FxWordCount wc = doc.CountWords();
    EXPECT_EQ(wc.chinese, 2);
    EXPECT_EQ(wc.words, 1);
    EXPECT_EQ(wc.whitespace, 1);
    EXPECT_EQ(wc.punctuation, 1);
    EXPECT_EQ(wc.total, 7);
}

TEST(WordCount, EmptyDocumentCountsNothing) {
    TestDoc doc;
    FxWordCount wc = doc.CountWords();
    EXPECT_EQ(wc.total, 0);
    EXPECT_EQ(wc.words, 0);
}

#endif
