// Undo and redo: groups, typing merge, the saved position, the record cap.
#include <gtest/gtest.h>

#include "DocTestUtil.h"

namespace {

void TypeChars(CFxEditDoc& doc, FxTextPos at, const std::string& chars) {
    for (char c : chars) {
        TypeAt(doc, at, std::string(1, c));
        ++at.col;
    }
}

} // namespace

TEST(Undo, ConsecutiveTypingIsOneStep) {
    TestDoc doc;
    TypeChars(doc, FxTextPos(0, 0), "abc");
    EXPECT_EQ(doc.UndoCount(), 1);
    EXPECT_EQ(doc.GetUndoAction(), FxUndoTyping);
    FxTextPos caret;
    ASSERT_TRUE(doc.Undo(&caret));
    EXPECT_EQ(LogicalText(doc), "");
    EXPECT_EQ(caret, FxTextPos(0, 0));
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_EQ(doc.GetRedoAction(), FxUndoTyping);
}

TEST(Undo, MovingTheCaretStartsANewRecord) {
    TestDoc doc;
    TypeChars(doc, FxTextPos(0, 0), "ab");
    TypeChars(doc, FxTextPos(0, 0), "c");
    EXPECT_EQ(LogicalText(doc), "cab");
    EXPECT_EQ(doc.UndoCount(), 2);
    doc.Undo(nullptr);
    EXPECT_EQ(LogicalText(doc), "ab");
    doc.Undo(nullptr);
    EXPECT_EQ(LogicalText(doc), "");
}

TEST(Undo, EnterIsARecordOfItsOwn) {
    TestDoc doc;
    TypeChars(doc, FxTextPos(0, 0), "ab");
    TypeAt(doc, FxTextPos(2, 0), "\r\n");
    TypeChars(doc, FxTextPos(0, 1), "cd");
    EXPECT_EQ(doc.UndoCount(), 3);
    doc.Undo(nullptr);
    EXPECT_EQ(LogicalText(doc), "ab\r\n");
    doc.Undo(nullptr);
    EXPECT_EQ(LogicalText(doc), "ab");
}

TEST(Undo, ModifiedFlagFollowsTheSavedPosition) {
    TestDoc doc;
    TypeChars(doc, FxTextPos(0, 0), "ab");
    doc.MarkSaved();
    EXPECT_FALSE(doc.IsModified());
    DeleteRange(doc, FxTextPos(0, 0), FxTextPos(1, 0));
    EXPECT_TRUE(doc.IsModified());
    doc.Undo(nullptr);
    EXPECT_FALSE(doc.IsModified());
    doc.Undo(nullptr);
    EXPECT_TRUE(doc.IsModified());
    doc.Redo(nullptr);
    EXPECT_FALSE(doc.IsModified());
}

TEST(Undo, TypingNeverMergesIntoTheSavedRecord) {
    TestDoc doc;
    TypeChars(doc, FxTextPos(0, 0), "ab");
    doc.MarkSaved();
    TypeChars(doc, FxTextPos(2, 0), "c");
    EXPECT_EQ(doc.UndoCount(), 2);
    doc.Undo(nullptr);
    EXPECT_EQ(LogicalText(doc), "ab");
    EXPECT_FALSE(doc.IsModified());
    doc.Redo(nullptr);
    EXPECT_EQ(LogicalText(doc), "abc");
    EXPECT_TRUE(doc.IsModified()); // the file holds "ab"
}

TEST(Undo, SavedStateInADiscardedRedoChainIsUnreachable) {
    TestDoc doc;
    TypeChars(doc, FxTextPos(0, 0), "ab");
    doc.MarkSaved();
    doc.Undo(nullptr);
    TypeChars(doc, FxTextPos(0, 0), "x");
    EXPECT_EQ(doc.SavedPosition(), -1);
    doc.Undo(nullptr);
    EXPECT_TRUE(doc.IsModified()); // empty text, while the file holds "ab"
    EXPECT_EQ(LogicalText(doc), "");
}

TEST(Undo, NewEditEndsTheRedoChain) {
    TestDoc doc;
    TypeChars(doc, FxTextPos(0, 0), "abc");
    TypeChars(doc, FxTextPos(0, 0), "x");
    doc.Undo(nullptr);
    EXPECT_TRUE(doc.CanRedo());
    TypeChars(doc, FxTextPos(3, 0), "d");
    EXPECT_FALSE(doc.CanRedo());
    EXPECT_EQ(doc.GetRedoAction(), FxUndoNone);
    EXPECT_EQ(FxUndoMenuStringId(doc.GetRedoAction(), true), 5631u); // "无法恢复"
    EXPECT_EQ(FxUndoMenuStringId(99, false), 5601u);
    EXPECT_EQ(FxUndoMenuStringId(FxUndoReplaceAll, false), 5608u);
}

TEST(Undo, GroupsNestAndOnlyTheOutermostNamesTheAction) {
    TestDoc doc;
    SetText(doc, "hello world");
    {
        FxUndoGroupGuard outer(doc, FxUndoReplace);
        DeleteRange(doc, FxTextPos(0, 0), FxTextPos(5, 0), FxUndoDelete);
        TypeAt(doc, FxTextPos(0, 0), "HELLO", FxUndoInsert);
    }
    EXPECT_EQ(LogicalText(doc), "HELLO world");
    EXPECT_EQ(doc.GetUndoAction(), FxUndoReplace);
    doc.Undo(nullptr);
    EXPECT_EQ(LogicalText(doc), "hello world");
    doc.Redo(nullptr);
    EXPECT_EQ(LogicalText(doc), "HELLO world");
}

TEST(Undo, UndoAndRedoOnReadOnlyChangeNothing) {
    TestDoc doc;
    TypeChars(doc, FxTextPos(0, 0), "ab");
    doc.SetReadOnly(true);
    EXPECT_FALSE(doc.Undo(nullptr));
    EXPECT_EQ(LogicalText(doc), "ab");
    ASSERT_FALSE(doc.events.empty());
    EXPECT_EQ(doc.events.back().first, FxEvReadOnly);
}

TEST(Undo, TheCapDropsTheOlderHalf) {
    TestDoc doc;
    for (int i = 0; i < 16384; ++i)
        TypeAt(doc, FxTextPos(0, 0), "x");
    EXPECT_EQ(doc.UndoCount(), 16384);
    TypeAt(doc, FxTextPos(0, 0), "y");
    EXPECT_EQ(doc.UndoCount(), 8193);
    int steps = 0;
    while (doc.Undo(nullptr))
        ++steps;
    EXPECT_EQ(steps, 8193);
    EXPECT_EQ(doc.GetLineLength(0), 8192);
    EXPECT_TRUE(doc.IsModified()); // the saved state was dropped
}

TEST(Undo, AReplaceAllLargerThanTheCapUndoesExactly) {
    TestDoc doc;
    std::string original;
    for (int i = 0; i < 12000; ++i)
        original += "foo bar " + std::to_string(i) + "\r\n";
    SetText(doc, original);
    // A few older steps, then one replace-all of 12,000 matches: 24,000 records in one group.
    TypeAt(doc, FxTextPos(0, 0), "#");
    {
        FxUndoGroupGuard group(doc, FxUndoReplaceAll);
        CFxEditDoc::BulkGuard bulk(doc, true);
        for (int32_t line = 0; line < 12000; ++line) {
            int32_t col = line == 0 ? 1 : 0;
            DeleteRange(doc, FxTextPos(col, line), FxTextPos(col + 3, line), FxUndoReplace);
            TypeAt(doc, FxTextPos(col, line), "quux", FxUndoReplace);
        }
    }
    EXPECT_EQ(doc.GetUndoAction(), FxUndoReplaceAll);
    std::string replaced = LogicalText(doc);
    ASSERT_TRUE(doc.Undo(nullptr));
    EXPECT_EQ(LogicalText(doc), "#" + original);
    // The older typing step was dropped whole to make room for the open group.
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_TRUE(doc.IsModified());
    ASSERT_TRUE(doc.Redo(nullptr));
    EXPECT_EQ(LogicalText(doc), replaced);
    ASSERT_TRUE(doc.Undo(nullptr));
    EXPECT_EQ(LogicalText(doc), "#" + original);
    ASSERT_TRUE(doc.Redo(nullptr));
    // The next edit passes the cap: the replace-all goes whole, never half of it.
    TypeAt(doc, FxTextPos(0, 5), "!");
    EXPECT_EQ(doc.UndoCount(), 1);
    ASSERT_TRUE(doc.Undo(nullptr));
    EXPECT_EQ(LogicalText(doc), replaced);
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_EQ(CheckInvariants(doc), "");
}

TEST(Undo, WrappedUndoRestoresTheTextAfterAWrappedLine) {
    TestDoc doc;
    ColumnSplitter view(3);
    doc.SetAttachedViews(&view, nullptr);
    SetText(doc, "abcdefghijkl\r\nmnop\r\nqrs");
    doc.SetWrap(2, 3);
    doc.WrapAllLines();
    const std::string before = LogicalText(doc);
    TypeAt(doc, FxTextPos(2, 1), "XYZW\r\n12");
    DeleteRange(doc, FxTextPos(1, 0), FxTextPos(2, 2));
    const std::string after = LogicalText(doc);
    doc.Undo(nullptr);
    doc.Undo(nullptr);
    EXPECT_EQ(LogicalText(doc), before);
    doc.Redo(nullptr);
    doc.Redo(nullptr);
    EXPECT_EQ(LogicalText(doc), after);
    EXPECT_EQ(CheckInvariants(doc), "");
}

TEST(Undo, ReplaceAllReplayRunsUnwrappedAndRewrapsAfter) {
    TestDoc doc;
    ColumnSplitter view(4);
    doc.SetAttachedViews(&view, nullptr);
    SetText(doc, "aaaa bbbb aaaa\r\naaaa");
    doc.SetWrap(2, 4);
    doc.WrapAllLines();
    {
        FxUndoGroupGuard group(doc, FxUndoReplaceAll);
        DeleteRange(doc, FxTextPos(0, 1), FxTextPos(4, 1), FxUndoReplace);
        TypeAt(doc, FxTextPos(0, 1), "c", FxUndoReplace);
    }
    doc.Undo(nullptr);
    EXPECT_EQ(doc.WrapMode(), 2);
    EXPECT_GT(doc.RecordCount(), doc.LogicalLineCount());
    EXPECT_FALSE(doc.IsCompactionSuspended());
    EXPECT_EQ(LogicalText(doc), "aaaa bbbb aaaa\r\naaaa");
    EXPECT_EQ(CheckInvariants(doc), "");
}

// A group that changed lines far apart tells the view to refresh from the first of them down,
// not only around the caret where the replay ended.
TEST(Undo, AGroupOverSeveralLinesRefreshesFromItsFirstLineDown) {
    TestDoc doc;
    ColumnSplitter view(80); // the document is not wrapped: only the notices count
    SetText(doc, "zero\r\none\r\ntwo\r\nthree\r\nfour\r\nfive");
    {
        // Replaced bottom to top, as a block delete works: undoing it ends on line 4.
        FxUndoGroupGuard group(doc, FxUndoUpperCase);
        for (int32_t line = 4; line >= 1; --line) {
            DeleteRange(doc, FxTextPos(0, line), FxTextPos(1, line), FxUndoUpperCase);
            TypeAt(doc, FxTextPos(0, line), "#", FxUndoUpperCase);
        }
    }
    ASSERT_EQ(LogicalText(doc), "zero\r\n#ne\r\n#wo\r\n#hree\r\n#our\r\nfive");
    FxTextPos caret;
    ASSERT_TRUE(doc.Undo(&caret, &view));
    EXPECT_EQ(LogicalText(doc), "zero\r\none\r\ntwo\r\nthree\r\nfour\r\nfive");
    EXPECT_EQ(view.lastRecord, 1);
    EXPECT_TRUE(view.lastFromLineDown) << "lines 2 to 4 changed too";

    // Redo ends on line 1, where the first change is; the lines below changed as well.
    ASSERT_TRUE(doc.Redo(&caret, &view));
    EXPECT_EQ(view.lastRecord, 1);
    EXPECT_TRUE(view.lastFromLineDown);
}
