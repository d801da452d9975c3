// Replacing: one match in one undo step, replace all in the document or a selection under one
// undo group, read-only documents.
#include <gtest/gtest.h>

#include "SearchTestUtil.h"

#include <deque>

namespace {

FxSearch ReplaceRequest(const std::string& pattern, const std::string& replacement,
                        unsigned flags = 0) {
    static std::deque<std::string> keep;
    keep.push_back(replacement);
    FxSearch req = Request(pattern, flags);
    req.replacement = keep.back().c_str();
    req.replacementLen = static_cast<int32_t>(keep.back().size());
    return req;
}

} // namespace

TEST(ReplaceAll, GrowingReplacementTerminates) {
    TestDoc doc;
    SetText(doc, "aaa");
    FxSearch req = ReplaceRequest("a", "aa");
    FxSearchResult r = ReplaceText(doc, req);
    ASSERT_TRUE(r.Found());
    EXPECT_EQ(r.count, 3);
    EXPECT_EQ(LogicalText(doc), "aaaaaa");
    EXPECT_EQ(r.caret, FxTextPos(6, 0));
    EXPECT_EQ(doc.GetUndoAction(), FxUndoReplaceAll);
}

TEST(ReplaceAll, NothingFoundChangesNothing) {
    TestDoc doc;
    SetText(doc, "abc");
    FxSearch req = ReplaceRequest("x", "y");
    FxSearchResult r = ReplaceText(doc, req);
    EXPECT_EQ(r.status, FxSearchNotFound);
    EXPECT_EQ(r.count, 0);
    EXPECT_FALSE(doc.CanUndo());
}

TEST(ReplaceAll, ManyMatchesUndoInOneStep) {
    TestDoc doc;
    std::string text;
    for (int i = 0; i < 6000; ++i)
        text += "key=" ZHONG "value key\r\n";
    text += "end";
    SetText(doc, text);
    // 12,000 replacements make 24,000 undo records, more than the store keeps for separate
    // steps: the open group must stay whole.
    FxSearch req = ReplaceRequest("key", "k");
    FxSearchResult r = ReplaceText(doc, req);
    EXPECT_EQ(r.count, 12000);
    EXPECT_EQ(LogicalText(doc).substr(0, 15), "k=" ZHONG "value k\r\nk=");
    ASSERT_TRUE(doc.Undo(nullptr));
    EXPECT_EQ(LogicalText(doc), text);
    EXPECT_FALSE(doc.CanUndo());
    ASSERT_TRUE(doc.Redo(nullptr));
    EXPECT_EQ(LogicalText(doc).substr(0, 9), "k=" ZHONG "value");
    EXPECT_EQ(CheckInvariants(doc), "");
}

TEST(ReplaceAll, WithinATwoLineSelection) {
    TestDoc doc;
    SetText(doc, "ab ab\r\nab ab\r\nab ab");
    FxSearch req = ReplaceRequest("ab", "xyz");
    req.inSelection = true;
    req.start = FxTextPos(3, 0);
    req.end = FxTextPos(2, 1);
    FxSearchResult r = ReplaceText(doc, req);
    EXPECT_EQ(r.count, 2);
    EXPECT_EQ(LogicalText(doc), "ab xyz\r\nxyz ab\r\nab ab");
    // The selection still covers the replaced text.
    EXPECT_EQ(req.start, FxTextPos(3, 0));
    EXPECT_EQ(req.end, FxTextPos(3, 1));
    EXPECT_EQ(r.caret, FxTextPos(3, 1));
    doc.Undo(nullptr);
    EXPECT_EQ(LogicalText(doc), "ab ab\r\nab ab\r\nab ab");
}

TEST(ReplaceAll, SelectionEndMovesWithMatchesOnItsLine) {
    TestDoc doc;
    SetText(doc, "a a a a");
    FxSearch req = ReplaceRequest("a", "bbb");
    req.inSelection = true;
    req.start = FxTextPos(0, 0);
    req.end = FxTextPos(5, 0); // the first three
    FxSearchResult r = ReplaceText(doc, req);
    EXPECT_EQ(r.count, 3);
    EXPECT_EQ(LogicalText(doc), "bbb bbb bbb a");
    EXPECT_EQ(req.end, FxTextPos(11, 0));
}

TEST(ReplaceAll, ShrinkingToNothing) {
    TestDoc doc;
    SetText(doc, "x" ZHONG "x" WEN "x");
    FxSearch req = ReplaceRequest("x", "");
    EXPECT_EQ(ReplaceText(doc, req).count, 3);
    EXPECT_EQ(LogicalText(doc), ZHONG WEN);
    doc.Undo(nullptr);
    EXPECT_EQ(LogicalText(doc), "x" ZHONG "x" WEN "x");
}

TEST(ReplaceAll, KeepsWordWrapAndItsPositions) {
    TestDoc doc;
    ColumnSplitter view(4);
    doc.SetAttachedViews(&view, nullptr);
    SetText(doc, "one two one\r\nthree one");
    doc.SetWrap(2, 4);
    doc.WrapAllLines();
    FxSearch req = ReplaceRequest("one", "1");
    EXPECT_EQ(ReplaceText(doc, req).count, 3);
    EXPECT_EQ(LogicalText(doc), "1 two 1\r\nthree 1");
    EXPECT_TRUE(doc.IsWrapped());
    EXPECT_EQ(CheckInvariants(doc), "");
    doc.Undo(nullptr);
    EXPECT_EQ(LogicalText(doc), "one two one\r\nthree one");
    EXPECT_EQ(CheckInvariants(doc), "");
}

TEST(ReplaceOne, ReplacesTheExactMatchInOneStep) {
    TestDoc doc;
    SetText(doc, "say hello");
    FxSearch req = ReplaceRequest("hello", "bye");
    req.single = true;
    req.start = FxTextPos(4, 0);
    req.end = FxTextPos(9, 0);
    FxSearchResult r = ReplaceText(doc, req);
    ASSERT_TRUE(r.Found());
    EXPECT_EQ(LogicalText(doc), "say bye");
    EXPECT_EQ(req.end, FxTextPos(7, 0));
    EXPECT_EQ(doc.GetUndoAction(), FxUndoReplace);
    doc.Undo(nullptr);
    EXPECT_EQ(LogicalText(doc), "say hello");
    EXPECT_FALSE(doc.CanUndo());
}

TEST(ReplaceOne, ARangeThatIsNoMatchIsLeftAlone) {
    TestDoc doc;
    SetText(doc, "say hello");
    FxSearch req = ReplaceRequest("hello", "bye");
    req.single = true;
    req.start = FxTextPos(3, 0);
    req.end = FxTextPos(9, 0);
    EXPECT_EQ(ReplaceText(doc, req).status, FxSearchNotFound);
    EXPECT_EQ(LogicalText(doc), "say hello");
    EXPECT_FALSE(doc.CanUndo());
}

TEST(Replace, ReadOnlyReportsAndChangesNothing) {
    TestDoc doc;
    SetText(doc, "aaa");
    doc.SetReadOnly(true);
    FxSearch req = ReplaceRequest("a", "b");
    FxSearchResult r = ReplaceText(doc, req);
    EXPECT_EQ(r.status, FxSearchFailed);
    EXPECT_EQ(r.error, FxSeReadOnly);
    EXPECT_EQ(r.messageId, 0u);
    ASSERT_EQ(doc.events.size(), 1u);
    EXPECT_EQ(doc.events[0].first, FxEvReadOnly);
    EXPECT_EQ(LogicalText(doc), "aaa");
    EXPECT_FALSE(doc.CanUndo());
}
