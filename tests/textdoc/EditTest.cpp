// Inserting, deleting, measuring and copying text in unwrapped documents.
#include <gtest/gtest.h>

#include "DocTestUtil.h"

#include <cstring>

namespace {

std::string Line(const CFxEditDoc& doc, int32_t rec) {
    const FxLine& r = doc.Record(rec);
    return r.len ? std::string(r.data, static_cast<size_t>(r.len)) : std::string();
}

} // namespace

TEST(Edit, EmptyDocumentHasOneEmptyLine) {
    TestDoc doc;
    EXPECT_EQ(doc.RecordCount(), 1);
    EXPECT_EQ(doc.LogicalLineCount(), 1);
    EXPECT_EQ(doc.DocumentSize(), 0);
    EXPECT_EQ(doc.GetLineLength(0), 0);
    EXPECT_EQ(doc.GetLineLength(1), -1);
    EXPECT_FALSE(doc.Record(0).HasLineEnd());
    EXPECT_EQ(CheckInvariants(doc), "");
}

TEST(Edit, InsertWithBreakIntoUnixDocument) {
    TestDoc doc;
    doc.SetLineEndType(FxLineEndUnix);
    SetText(doc, "xy");
    ASSERT_EQ(doc.DocumentSize(), 2);
    FxTextPos p(2, 0);
    ASSERT_TRUE(doc.InsertText(p, "a\r\nb", 4));
    EXPECT_EQ(LogicalText(doc), "xya\r\nb");
    EXPECT_EQ(doc.DocumentSize(), 5); // grew by 3: the break counts one byte in UNIX
    EXPECT_EQ(p, FxTextPos(1, 1));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(CheckInvariants(doc), "");
}

TEST(Edit, LoneLineFeedStaysInsideTheLine) {
    TestDoc doc;
    SetText(doc, "ab");
    FxTextPos p(1, 0);
    doc.InsertText(p, "\n", 1);
    EXPECT_EQ(doc.LogicalLineCount(), 1);
    EXPECT_EQ(Line(doc, 0), "a\nb");
    FxTextPos q(0, 0);
    doc.InsertText(q, "\r", 1);
    EXPECT_EQ(doc.LogicalLineCount(), 1);
    EXPECT_EQ(doc.DocumentSize(), 4);
}

TEST(Edit, DeleteAcrossLinesJoinsHeadAndTail) {
    TestDoc doc;
    SetText(doc, "line0\r\nline1\r\nLINE2xx\r\nline3\r\nline4\r\nyyLINE5\r\nline6");
    FxTextPos a(4, 2), b(2, 5);
    ASSERT_TRUE(doc.DeleteText(a, b));
    EXPECT_EQ(LogicalText(doc), "line0\r\nline1\r\nLINELINE5\r\nline6");
    EXPECT_EQ(a, FxTextPos(4, 2));
    EXPECT_EQ(doc.LogicalLineCount(), 4);
    EXPECT_EQ(CheckInvariants(doc), "");
}

TEST(Edit, DeletingEverythingLeavesOneRecordWithoutLineEnd) {
    TestDoc doc;
    SetText(doc, "one\r\ntwo\r\nthree");
    FxTextPos a(0, 0);
    ASSERT_TRUE(doc.DeleteText(a, doc.EndPos()));
    EXPECT_EQ(doc.RecordCount(), 1);
    EXPECT_FALSE(doc.Record(0).HasLineEnd());
    EXPECT_EQ(doc.DocumentSize(), 0);
    EXPECT_EQ(CheckInvariants(doc), "");
}

TEST(Edit, DeleteToEndOfDocumentEndingInBreak) {
    TestDoc doc;
    SetText(doc, "one\r\ntwo\r\n");
    ASSERT_EQ(doc.LogicalLineCount(), 3);
    FxTextPos a(1, 1);
    doc.DeleteText(a, doc.EndPos());
    EXPECT_EQ(LogicalText(doc), "one\r\nt");
    EXPECT_EQ(CheckInvariants(doc), "");
}

TEST(Edit, CopyTextNeverWritesHalfATerminator) {
    TestDoc doc;
    SetText(doc, "abc\r\ndef");
    char buf[16];
    std::memset(buf, '#', sizeof buf);
    FxTextPos a(0, 0), b(3, 1);
    EXPECT_EQ(doc.MeasureText(a, b, FxLineEndDos), 8);
    EXPECT_EQ(doc.CopyText(a, b, buf, 4, FxLineEndDos), 3);
    EXPECT_EQ(buf[3], '#');
    EXPECT_EQ(doc.CopyText(a, b, buf, 5, FxLineEndDos), 5);
    EXPECT_EQ(std::string(buf, 5), "abc\r\n");
    EXPECT_EQ(doc.CopyText(a, b, buf, 6, FxLineEndDos), 6);
    EXPECT_EQ(std::string(buf, 6), "abc\r\nd");
    EXPECT_EQ(doc.CopyText(a, b, buf, 16, FxLineEndUnix), 7);
    EXPECT_EQ(std::string(buf, 7), "abc\ndef");
    EXPECT_EQ(doc.MeasureText(a, b, FxLineEndMac), 7);
}

TEST(Edit, LineEndTypeChangesTheSize) {
    TestDoc doc;
    ColumnSplitter view(80);
    doc.SetAttachedViews(&view, nullptr);
    SetText(doc, "a\r\nb\r\nc");
    EXPECT_EQ(doc.DocumentSize(), 7);
    EXPECT_EQ(doc.SetLineEndType(FxLineEndMac), FxLineEndMac);
    EXPECT_EQ(doc.DocumentSize(), 5);
    EXPECT_EQ(view.lineEndChanges, 1);
    EXPECT_EQ(doc.SetLineEndType(FxLineEndMac), FxLineEndMac); // same type: nothing happens
    EXPECT_EQ(view.lineEndChanges, 1);
    EXPECT_EQ(doc.SetLineEndType(7), FxLineEndDos); // out of range: DOS
    EXPECT_EQ(doc.DocumentSize(), 7);
    EXPECT_EQ(doc.TerminatorLength(), 2);
}

TEST(Edit, ReadOnlyDocumentRefusesEdits) {
    TestDoc doc;
    SetText(doc, "abc");
    doc.SetReadOnly(true);
    FxTextPos p(1, 0);
    EXPECT_FALSE(doc.InsertText(p, "x", 1));
    FxTextPos a(0, 0);
    EXPECT_FALSE(doc.DeleteText(a, FxTextPos(2, 0)));
    EXPECT_EQ(LogicalText(doc), "abc");
    ASSERT_EQ(doc.events.size(), 2u);
    EXPECT_EQ(doc.events[0].first, FxEvReadOnly);
}

TEST(Edit, OffsetsCountEachBreakAsOneByte) {
    TestDoc doc;
    SetText(doc, "ab\r\n\r\ncde");
    EXPECT_EQ(doc.PosToOffset(FxTextPos(0, 2)), 4);
    EXPECT_EQ(doc.PosToOffset(FxTextPos(2, 0)), 2);
    EXPECT_EQ(doc.PosToOffset(FxTextPos(3, 0)), 0); // beyond the piece
    EXPECT_EQ(doc.PosToOffset(FxTextPos(-1, 1)), 0);
    for (int64_t off = 0; off <= 7; ++off)
        EXPECT_EQ(doc.PosToOffset(doc.OffsetToPos(off)), off) << off;
    EXPECT_EQ(doc.OffsetToPos(2), FxTextPos(2, 0)); // the end of a piece stays in it
    EXPECT_EQ(doc.OffsetToPos(100), FxTextPos(3, 2));
}

TEST(Edit, ClampingAndValidation) {
    TestDoc doc;
    SetText(doc, "abc\r\n\xD6\xD0\xCE\xC4"); // 中文: D6 D0 | CE C4
    EXPECT_EQ(doc.ClampLine(-3), 0);
    EXPECT_EQ(doc.ClampLine(9), 1);
    EXPECT_EQ(doc.ClampColumn(1, 99), 4);
    EXPECT_EQ(doc.ClampColumn(7, -2), 0);
    EXPECT_TRUE(doc.IsValidPos(FxTextPos(4, 1)));
    EXPECT_FALSE(doc.IsValidPos(FxTextPos(5, 1)));
    EXPECT_EQ(doc.ValidatePos(FxTextPos(50, 50)), FxTextPos(4, 1));
    FxTextPos bad(3, 7);
    doc.LogicalToPiece(bad);
    EXPECT_EQ(bad, FxTextPos(0, 0));
}

TEST(Edit, BookmarkCountFollowsDeletedLines) {
    TestDoc doc;
    SetText(doc, "a\r\nb\r\nc\r\nd\r\ne");
    for (int rec : {1, 2, 4}) {
        doc.RecordRef(rec).flags |= FXL_BOOKMARK;
    }
    doc.SetBookmarkCount(3);
    FxTextPos a(1, 0), b(0, 3);
    doc.DeleteText(a, b); // removes lines b and c (bookmarked), joins a and d
    EXPECT_EQ(LogicalText(doc), "ad\r\ne");
    EXPECT_EQ(doc.BookmarkCount(), 1);
    EXPECT_EQ(CheckInvariants(doc), "");
    FxTextPos start(0, 0);
    doc.DeleteText(start, doc.EndPos());
    EXPECT_EQ(doc.BookmarkCount(), 0);
    EXPECT_EQ(CheckInvariants(doc), "");
}

TEST(Edit, BookmarkMovesWithTheLineWhenTextIsInsertedBefore) {
    TestDoc doc;
    SetText(doc, "head\r\nmarked");
    doc.RecordRef(1).flags |= FXL_BOOKMARK;
    doc.SetBookmarkCount(1);
    FxTextPos p(0, 1);
    doc.InsertText(p, "x\r\ny\r\n", 6);
    EXPECT_EQ(doc.BookmarkCount(), 1);
    EXPECT_EQ(CheckInvariants(doc), "");
    doc.DeleteContents();
    EXPECT_EQ(doc.BookmarkCount(), 0);
}

TEST(Edit, CompactionKeepsEveryLineUnderChurn) {
    TestDoc doc;
    std::string model;
    for (int i = 0; i < 3000; ++i)
        model += "line " + std::to_string(i) + " of text that fills the blocks\r\n";
    SetText(doc, model);
    // Grow and shrink lines all over the document: old blocks fill with waste and are compacted.
    uint32_t seed = 7;
    auto next = [&seed]() { return seed = seed * 1103515245u + 12345u, (seed >> 8) & 0xFFFFFF; };
    for (int step = 0; step < 20000; ++step) {
        int32_t line = static_cast<int32_t>(next() % 3000);
        int32_t len = doc.GetLineLength(line);
        if (next() % 2 && len > 0) {
            FxTextPos a(static_cast<int32_t>(next() % len), line);
            FxTextPos b(a.col + 1, line);
            doc.DeleteText(a, b);
        } else {
            FxTextPos p(static_cast<int32_t>(next() % (len + 1)), line);
            doc.InsertText(p, "zz", 2);
        }
    }
    EXPECT_EQ(CheckInvariants(doc), "");
    // Every block is a multiple of 65,520 bytes and no block holds more waste than its limit
    // allows, except through the line buffers it still carries.
    size_t blocks = 0;
    for (const FxTextBlock* b = doc.TextBlocks().Head(); b; b = b->next, ++blocks) {
        EXPECT_EQ((b->dataSize + sizeof(FxTextBlock)) % 65520, 0u);
        EXPECT_LT(b->wasted, b->wasteLimit);
    }
    EXPECT_EQ(blocks, doc.TextBlocks().BlockCount());
}
