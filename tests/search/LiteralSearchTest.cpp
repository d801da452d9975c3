// Literal search: direction, wrap-around, case folding and whole words over GBK text, marking.
#include <gtest/gtest.h>

#include "SearchTestUtil.h"

namespace {

FxSearchResult Find(TestDoc& doc, const std::string& pattern, unsigned flags, FxTextPos start) {
    FxSearch req = Request(pattern, flags, start);
    return FindText(doc, req);
}

} // namespace

TEST(Find, DownFromTheCaretFindsWhatFollows) {
    TestDoc doc;
    SetText(doc, "xab");
    FxSearchResult r = Find(doc, "ab", kWrap, FxTextPos(1, 0));
    ASSERT_TRUE(r.Found());
    EXPECT_EQ(r.matchStart, FxTextPos(1, 0));
    EXPECT_EQ(r.matchEnd, FxTextPos(3, 0));
    EXPECT_FALSE(r.wrapped);
    EXPECT_EQ(WrapEvents(doc), 0);
}

TEST(Find, DownPastTheMatchWrapsFromTheEnd) {
    TestDoc doc;
    SetText(doc, "xab");
    FxSearchResult r = Find(doc, "ab", kWrap, FxTextPos(2, 0));
    ASSERT_TRUE(r.Found());
    EXPECT_TRUE(r.wrapped);
    EXPECT_EQ(r.matchStart, FxTextPos(1, 0));
    int arg = 0;
    EXPECT_EQ(WrapEvents(doc, &arg), 1);
    EXPECT_EQ(arg, -1);
}

TEST(Find, TheWrapEventComesEvenWhenTheSecondPassFails) {
    TestDoc doc;
    SetText(doc, "abc\r\ndef");
    FxSearchResult r = Find(doc, "zz", kWrap, FxTextPos(1, 1));
    EXPECT_EQ(r.status, FxSearchNotFound);
    EXPECT_EQ(WrapEvents(doc), 1);
}

TEST(Find, UpwardWrapReportsTheStart) {
    TestDoc doc;
    SetText(doc, "one\r\ntwo\r\nthree");
    FxSearchResult r = Find(doc, "three", kUp | kWrap, FxTextPos(1, 1));
    ASSERT_TRUE(r.Found());
    EXPECT_EQ(r.matchStart, FxTextPos(0, 2));
    int arg = -1;
    EXPECT_EQ(WrapEvents(doc, &arg), 1);
    EXPECT_EQ(arg, 0);
}

TEST(Find, WithoutWrapTheSearchStopsAtTheEnds) {
    TestDoc doc;
    SetText(doc, "(a)\r\nb");
    EXPECT_EQ(Find(doc, "(", 0, FxTextPos(1, 0)).status, FxSearchNotFound);
    EXPECT_EQ(Find(doc, "b", kUp, FxTextPos(0, 1)).status, FxSearchNotFound);
    EXPECT_EQ(WrapEvents(doc), 0);
}

TEST(Find, UpwardFindsEachLinesLastMatch) {
    TestDoc doc;
    SetText(doc, "ab ab ab\r\nab x ab\r\nzz");
    FxSearchResult r = Find(doc, "ab", kUp, FxTextPos(2, 2));
    ASSERT_TRUE(r.Found());
    EXPECT_EQ(r.matchStart, FxTextPos(5, 1));
    // In the start line only matches ending at or before the caret count.
    r = Find(doc, "ab", kUp, FxTextPos(5, 0));
    ASSERT_TRUE(r.Found());
    EXPECT_EQ(r.matchStart, FxTextPos(3, 0));
    r = Find(doc, "ab", kUp, FxTextPos(4, 0));
    ASSERT_TRUE(r.Found());
    EXPECT_EQ(r.matchStart, FxTextPos(0, 0));
}

TEST(Find, UpwardScanResumesAfterEachMatch) {
    TestDoc doc;
    SetText(doc, "aaa");
    // Scanning from the start finds aa at 0, resumes at 2 and finds no more: 0 is the last.
    FxSearchResult r = Find(doc, "aa", kUp, FxTextPos(3, 0));
    ASSERT_TRUE(r.Found());
    EXPECT_EQ(r.matchStart, FxTextPos(0, 0));
}

TEST(Find, FoundMatchBecomesTheRequestsRange) {
    TestDoc doc;
    SetText(doc, "hello world");
    FxSearch req = Request("world", 0);
    ASSERT_TRUE(FindText(doc, req).Found());
    EXPECT_EQ(req.start, FxTextPos(6, 0));
    EXPECT_EQ(req.end, FxTextPos(11, 0));
}

TEST(Find, CaseInsensitiveFoldsSingleBytesOnly) {
    TestDoc doc;
    SetText(doc, "xx ABC " TRAIL_UA);
    EXPECT_TRUE(Find(doc, "abc", 0, FxTextPos()).Found());
    EXPECT_FALSE(Find(doc, "abc", kCase, FxTextPos()).Found());
    // The trail bytes differ only by case: the characters are still different.
    EXPECT_FALSE(Find(doc, TRAIL_A, 0, FxTextPos()).Found());
    EXPECT_TRUE(Find(doc, TRAIL_UA, 0, FxTextPos()).Found());
}

TEST(Find, TrailBytesNeverMatchSingleCharacters) {
    TestDoc doc;
    SetText(doc, TRAIL_A TRAIL_UA TRAIL_BS ZHONG);
    EXPECT_FALSE(Find(doc, "a", 0, FxTextPos()).Found());
    EXPECT_FALSE(Find(doc, "A", kCase, FxTextPos()).Found());
    EXPECT_FALSE(Find(doc, "\\", 0, FxTextPos()).Found());
    // Nor does a pattern that would straddle two characters: the trail of one and the lead of
    // the next.
    EXPECT_FALSE(Find(doc, "\x5C\xD6", 0, FxTextPos()).Found());
    FxSearchResult r = Find(doc, ZHONG, 0, FxTextPos());
    ASSERT_TRUE(r.Found());
    EXPECT_EQ(r.matchStart, FxTextPos(6, 0));
}

TEST(Find, CandidatesStepOverDoubleByteCharacters) {
    TestDoc doc;
    // 0xD6 0xD0 0xD6 0xD0: the pattern "\xD0\xD6" occurs in the bytes across the two characters.
    SetText(doc, ZHONG ZHONG);
    EXPECT_FALSE(Find(doc, "\xD0\xD6", 0, FxTextPos()).Found());
    // A caret on a trail byte is moved to the next character boundary.
    FxSearchResult r = Find(doc, ZHONG, 0, FxTextPos(1, 0));
    ASSERT_TRUE(r.Found());
    EXPECT_EQ(r.matchStart, FxTextPos(2, 0));
}

TEST(Find, WholeWordUsesTheDelimiters) {
    TestDoc doc;
    SetText(doc, "cat,dog");
    EXPECT_TRUE(Find(doc, "cat", kWord, FxTextPos()).Found());
    SetText(doc, "category");
    EXPECT_FALSE(Find(doc, "cat", kWord, FxTextPos()).Found());
    SetText(doc, "a\tcat\tb");
    EXPECT_TRUE(Find(doc, "cat", kWord, FxTextPos()).Found());
}

TEST(Find, WholeWordWithABoundaryAtThePatternsEnd) {
    TestDoc doc;
    SetText(doc, "xcat sat");
    // The pattern's last character is a space: any character may follow it; the start still
    // needs a boundary before it.
    EXPECT_FALSE(Find(doc, "cat ", kWord, FxTextPos()).Found());
    SetText(doc, "the cat sat");
    FxSearchResult r = Find(doc, "cat ", kWord, FxTextPos());
    ASSERT_TRUE(r.Found());
    EXPECT_EQ(r.matchStart, FxTextPos(4, 0));
    SetText(doc, "x.cat");
    EXPECT_TRUE(Find(doc, ".cat", kWord, FxTextPos()).Found());
}

TEST(Find, WholeWordNextToDoubleByteText) {
    TestDoc doc;
    SetText(doc, ZHONG "cat" WEN);
    // Double-byte letters are no boundaries unless the file type lists them.
    EXPECT_FALSE(Find(doc, "cat", kWord, FxTextPos()).Found());
    SetText(doc, COMMA_W "cat" COMMA_W);
    EXPECT_FALSE(Find(doc, "cat", kWord, FxTextPos()).Found());
    const uint16_t delims[] = {',', 0xACA3, 0}; // ，packed lead | trail << 8
    FxSearch req = Request("cat", kWord);
    req.delimiters = delims;
    FxSearchResult r = FindText(doc, req);
    ASSERT_TRUE(r.Found());
    EXPECT_EQ(r.matchStart, FxTextPos(2, 0));
    // The character before the match is found by stepping back one whole character: the trail
    // byte "]" of the character before is no delimiter.
    SetText(doc, "\x81]cat");
    EXPECT_FALSE(Find(doc, "cat", kWord, FxTextPos()).Found());
}

TEST(Find, MatchesNeverSpanLines) {
    TestDoc doc;
    SetText(doc, "ab\r\ncd");
    EXPECT_FALSE(Find(doc, "bc", 0, FxTextPos()).Found());
    EXPECT_FALSE(Find(doc, "b\r\nc", 0, FxTextPos()).Found());
}

TEST(Find, EmptyPatternFailsAtOnce) {
    TestDoc doc;
    SetText(doc, "abc");
    FxSearchResult r = Find(doc, "", kWrap, FxTextPos());
    EXPECT_EQ(r.status, FxSearchFailed);
    EXPECT_EQ(r.error, FxSeEmptyPattern);
    EXPECT_EQ(r.messageId, static_cast<unsigned>(IDS_SEARCH_ERROR_FIRST));
    EXPECT_EQ(WrapEvents(doc), 0);
}

TEST(Find, WrappedDocumentGivesLogicalPositions) {
    TestDoc doc;
    ColumnSplitter view(4);
    doc.SetAttachedViews(&view, nullptr);
    SetText(doc, "abcdefghij\r\nxy" ZHONG "zz");
    doc.SetWrap(2, 4);
    doc.WrapAllLines();
    // "defg" crosses the first piece boundary.
    FxSearchResult r = Find(doc, "defg", 0, FxTextPos());
    ASSERT_TRUE(r.Found());
    EXPECT_EQ(r.matchStart, FxTextPos(3, 0));
    r = Find(doc, ZHONG "z", kUp, FxTextPos(6, 1));
    ASSERT_TRUE(r.Found());
    EXPECT_EQ(r.matchStart, FxTextPos(2, 1));
}

TEST(Mark, BookmarksEveryMatchingLine) {
    TestDoc doc;
    SetText(doc, "cat\r\ndog\r\ncat cat\r\n" ZHONG "cat");
    std::vector<FxSearchHit> hits;
    FxSearch req = Request("CAT");
    FxSearchResult r = MarkAll(doc, req, &hits);
    ASSERT_TRUE(r.Found());
    EXPECT_EQ(r.count, 3);
    EXPECT_EQ(doc.BookmarkCount(), 3);
    EXPECT_TRUE(doc.Record(0).flags & FXL_BOOKMARK);
    EXPECT_FALSE(doc.Record(1).flags & FXL_BOOKMARK);
    EXPECT_TRUE(doc.Record(3).flags & FXL_BOOKMARK);
    ASSERT_EQ(hits.size(), 4u);
    EXPECT_EQ(hits[2].start, FxTextPos(4, 2));
    EXPECT_EQ(hits[3].start, FxTextPos(2, 3));
    EXPECT_EQ(CheckInvariants(doc), "");
    FxClearBookmarks(doc);
    EXPECT_EQ(doc.BookmarkCount(), 0);
    EXPECT_EQ(CheckInvariants(doc), "");
}

TEST(Mark, NothingFoundMarksNothing) {
    TestDoc doc;
    SetText(doc, "abc");
    FxSearch req = Request("x");
    FxSearchResult r = MarkAll(doc, req);
    EXPECT_EQ(r.status, FxSearchNotFound);
    EXPECT_EQ(doc.BookmarkCount(), 0);
}

TEST(Mark, WrappedLinesAreMarkedOnTheirHeads) {
    TestDoc doc;
    ColumnSplitter view(4);
    doc.SetAttachedViews(&view, nullptr);
    SetText(doc, "0123456789xyz\r\nno\r\nxyz");
    doc.SetWrap(2, 4);
    doc.WrapAllLines();
    FxSearch req = Request("xyz");
    req.markAll = true; // FindText with the mark-all option marks
    FxSearchResult r = FindText(doc, req);
    EXPECT_EQ(r.count, 2);
    EXPECT_TRUE(doc.Record(0).flags & FXL_BOOKMARK);
    EXPECT_FALSE(doc.Record(3).flags & FXL_BOOKMARK); // the continuation holding xyz
    EXPECT_EQ(doc.BookmarkCount(), 2);
    EXPECT_EQ(CheckInvariants(doc), "");
}
