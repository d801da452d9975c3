// Inserting a snippet with a caret mark, as scripted cases: the text before ("|" caret, "["
// the other end of a selection), the snippet, and the text after with the caret.
#include "tests/textview/ViewTestUtil.h"

#include "textdoc/FxEditDoc.h"
#include "textdoc/UndoTypes.h"

namespace {

struct SnippetCase {
    const char* name;
    const char* before;
    const char* snippet;
    const char* after;
};

const SnippetCase kSnippets[] = {
    {"the caret mark between parentheses", "x = |;", "f(^!)", "x = f(|);"},
    {"no mark leaves the caret after the text", "a|b", "123", "a123|b"},
    {"only the first mark is taken", "|", "a^!b^!c", "a|b^!c"},
    {"a mark at the start", "ab|", "^!xy", "ab|xy"},
    {"a mark at the end", "|ab", "xy^!", "xy|ab"},
    {"the mark alone", "a|b", "^!", "a|b"},
    {"a selection is replaced", "a[bc|d", "(^!)", "a(|)d"},
    {"a selection made backwards is replaced", "a|bc[d", "<^!>", "a<|>d"},
    {"lines before and after the mark", "|", "if (x) {\r\n\t^!\r\n}", "if (x) {\n\t|\n}"},
    {"a mark after a double-byte character", "|", "\xD6\xD0^!\xCE\xC4", "\xD6\xD0|\xCE\xC4"},
    // "^" (0x5E) as the trail byte of a double-byte character is no mark.
    {"a trail byte that looks like the mark", "|", "\x81^!x", "\x81^!x|"},
    {"a selection over lines", "a[b\ncd|e", "[^!]", "a[|]e"},
};

class ScriptedSnippets : public ViewTest, public ::testing::WithParamInterface<SnippetCase> {};

} // namespace

TEST_P(ScriptedSnippets, Case) {
    const SnippetCase& c = GetParam();
    SetScript(c.before);
    ASSERT_EQ(Script(), c.before);
    EXPECT_TRUE(m_view->InsertSnippet(c.snippet));
    EXPECT_EQ(Script(), c.after) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Snippets, ScriptedSnippets, ::testing::ValuesIn(kSnippets));

TEST_F(ViewTest, SnippetIsOneUndoableInsertion) {
    SetScript("one [two| three");
    ASSERT_TRUE(m_view->InsertSnippet("<b>^!</b>"));
    EXPECT_EQ(Script(), "one <b>|</b> three");
    const FxUndoRec* rec = m_doc->GetUndoRec();
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(rec->action, FxUndoInsert);
    EXPECT_TRUE(m_view->Undo());
    EXPECT_EQ(Text(), "one two three");
    EXPECT_FALSE(m_doc->CanUndo());
}

TEST_F(ViewTest, SnippetIntoAReadOnlyDocumentChangesNothing) {
    SetScript("a|b");
    m_doc->SetReadOnly(true);
    EXPECT_FALSE(m_view->InsertSnippet("xyz"));
    EXPECT_EQ(Script(), "a|b");
    m_doc->SetReadOnly(false);
    EXPECT_FALSE(m_view->InsertSnippet(""));
    EXPECT_EQ(Script(), "a|b");
}
