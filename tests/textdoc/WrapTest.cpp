// Wrapped documents: pieces, piece and logical positions, head records and renumbering.
#include <gtest/gtest.h>

#include "DocTestUtil.h"

namespace {

// A document wrapped every four bytes by the stand-in view.
struct Wrapped : ::testing::Test {
    TestDoc doc;
    ColumnSplitter view{4};
    void Load(const std::string& text) {
        doc.SetAttachedViews(&view, nullptr);
        SetText(doc, text);
        doc.SetWrap(2, 4);
        doc.WrapAllLines();
    }
};

} // namespace

TEST_F(Wrapped, LinesSplitIntoPieces) {
    Load("abcdefghij\r\n\r\nxy\r\n0123");
    // abcd efgh ij | (empty) | xy | 0123
    ASSERT_EQ(doc.RecordCount(), 6);
    EXPECT_EQ(doc.LogicalLineCount(), 4);
    EXPECT_EQ(doc.Record(1).lineLen, 1); // head distance
    EXPECT_EQ(doc.Record(2).lineLen, 2);
    EXPECT_TRUE(doc.Record(2).HasLineEnd());
    EXPECT_FALSE(doc.Record(0).HasLineEnd());
    EXPECT_EQ(doc.GetPieceCount(1), 3);
    EXPECT_EQ(doc.HeadPieceOf(2), 0);
    EXPECT_EQ(doc.NextLogicalLine(0), 3);
    EXPECT_EQ(doc.PrevLogicalLine(4), 3);
    EXPECT_EQ(doc.PrevLogicalLine(2), -1);
    EXPECT_EQ(doc.NextLogicalLine(5), -1);
    EXPECT_EQ(CheckInvariants(doc), "");
}

TEST_F(Wrapped, LogicalAndPiecePositionsConvert) {
    Load("abcdefghij\r\n\r\nxy\r\n0123");
    // Every logical position maps to a piece and back.
    for (int32_t line = 0; line < doc.LogicalLineCount(); ++line)
        for (int32_t col = 0; col <= doc.GetLineLength(line); ++col) {
            FxTextPos piece = doc.LogicalToPiecePos(FxTextPos(col, line));
            EXPECT_EQ(doc.PieceToLogical(piece), FxTextPos(col, line)) << line << ":" << col;
        }
    // A column equal to the first piece's length stays at the end of that piece.
    FxTextPos p(4, 0);
    doc.CarryColumn(p);
    EXPECT_EQ(p, FxTextPos(4, 0));
    p = FxTextPos(5, 0);
    doc.CarryColumn(p);
    EXPECT_EQ(p, FxTextPos(1, 1));
    EXPECT_EQ(doc.ToHeadPiece(FxTextPos(2, 2)), FxTextPos(10, 0));
    FxTextPos l(0, 3);
    doc.LogicalToPiece(l);
    EXPECT_EQ(l, FxTextPos(0, 5));
    FxTextPos missing(0, 4);
    doc.LogicalToPiece(missing);
    EXPECT_EQ(missing, FxTextPos(0, 0));
    EXPECT_EQ(doc.GetLineLength(0), 10);
}

TEST_F(Wrapped, BinarySearchFindsEveryLineOfALongDocument) {
    std::string text;
    for (int i = 0; i < 500; ++i)
        text += std::string(static_cast<size_t>(i % 13), 'a' + i % 26) + "\r\n";
    Load(text);
    ASSERT_EQ(doc.LogicalLineCount(), 501);
    for (int32_t line = 0; line < 501; ++line) {
        FxTextPos p(0, line);
        doc.LogicalToPiece(p);
        EXPECT_FALSE(doc.Record(p.line).IsContinued());
        EXPECT_EQ(doc.Record(p.line).logLine, line);
    }
}

TEST_F(Wrapped, InsertingABreakRenumbersTheLinesBelow) {
    Load("abcdefghij\r\nklmnop\r\nqr");
    FxTextPos p(6, 0);
    ASSERT_TRUE(doc.InsertText(p, "\r\n", 2, &view));
    EXPECT_EQ(LogicalText(doc), "abcdef\r\nghij\r\nklmnop\r\nqr");
    EXPECT_EQ(doc.LogicalLineCount(), 4);
    EXPECT_EQ(doc.PieceToLogical(p), FxTextPos(0, 1));
    EXPECT_TRUE(view.lastFromLineDown);
    EXPECT_EQ(CheckInvariants(doc), "");
}

TEST_F(Wrapped, TypingIntoAPieceResplitsOnlyThatLine) {
    Load("abcdefgh\r\nxyz");
    FxTextPos p(2, 0);
    ASSERT_TRUE(doc.InsertText(p, "1", 1, &view)); // abcdefgh becomes ab1cdefgh: 3 pieces
    EXPECT_EQ(doc.RecordCount(), 4);
    EXPECT_EQ(p, FxTextPos(3, 0));
    EXPECT_TRUE(view.lastFromLineDown);
    FxTextPos q(3, 1);
    doc.InsertText(q, "2", 1, &view); // xyz2 still one piece
    EXPECT_FALSE(view.lastFromLineDown);
    EXPECT_EQ(CheckInvariants(doc), "");
}

TEST_F(Wrapped, DeleteAcrossWrappedLines) {
    Load("abcdefghij\r\nklmnopqrst\r\nuvwxyz");
    FxTextPos a = doc.LogicalToPiecePos(FxTextPos(5, 0));
    FxTextPos b = doc.LogicalToPiecePos(FxTextPos(4, 2));
    ASSERT_TRUE(doc.DeleteText(a, b, &view));
    EXPECT_EQ(LogicalText(doc), "abcdeyz");
    EXPECT_EQ(doc.PieceToLogical(a), FxTextPos(5, 0));
    EXPECT_EQ(doc.LogicalLineCount(), 1);
    EXPECT_EQ(CheckInvariants(doc), "");
}

TEST_F(Wrapped, DoubleByteCharactersAreNeverSplit) {
    // 中文中文中 = five characters of two bytes; four-byte pieces hold two each.
    Load("a\xD6\xD0\xCE\xC4\xD6\xD0\xCE\xC4");
    for (int32_t i = 0; i < doc.RecordCount(); ++i)
        EXPECT_LE(doc.Record(i).len, 4);
    EXPECT_EQ(LogicalText(doc), "a\xD6\xD0\xCE\xC4\xD6\xD0\xCE\xC4");
    EXPECT_EQ(CheckInvariants(doc), "");
}

TEST_F(Wrapped, UnwrapRestoresOneRecordPerLine) {
    Load("abcdefghij\r\nklm\r\nnopqrstu");
    doc.SetWrap(0, 0);
    doc.UnwrapAllLines();
    EXPECT_EQ(doc.RecordCount(), 3);
    EXPECT_EQ(LogicalText(doc), "abcdefghij\r\nklm\r\nnopqrstu");
    EXPECT_EQ(CheckInvariants(doc), "");
}

TEST_F(Wrapped, ReplacePiecesMovesTheCaretByItsByteAddress) {
    Load("abcdefghij");
    // Re-split the line as one piece: the caret in the third piece moves into it.
    FxLine whole = doc.Record(0);
    whole.len = whole.lineLen;
    whole.flags &= ~FXL_LINEEND;
    FxTextPos caret(1, 2); // before 'j'
    doc.ReplacePieces(&whole, 0, 3, 1, &caret);
    EXPECT_EQ(caret, FxTextPos(9, 0));
    EXPECT_EQ(doc.RecordCount(), 1);
}

TEST_F(Wrapped, ProgressIsReportedForLargeDocuments) {
    std::string text;
    while (text.size() < 70000)
        text += "0123456789abcdef\r\n";
    Load(text);
    ASSERT_FALSE(doc.events.empty());
    EXPECT_EQ(doc.events.back(), std::make_pair(int(FxEvWrapProgress), 100));
    doc.events.clear();
    doc.SuppressProgress(true);
    doc.WrapAllLines();
    EXPECT_TRUE(doc.events.empty());
}
