// Keys and typing through real messages, as scripted cases: text with "|" at the caret and "["
// at the selection's anchor, the keys, and the expected text and selection.
#include "tests/textview/ViewTestUtil.h"

#include "textview/ViewFontMetrics.h"

#include <algorithm>
#include <cstring>

namespace {

struct KeyCase {
    const char* name;
    const char* before;
    std::vector<std::string> keys;
    const char* after;
};

const KeyCase kCases[] = {
    {"shift left over a line break", "ab\n|cd", {"S-Left"}, "ab|\n[cd"},
    {"left collapses a selection to its start", "a[bc|d", {"Left"}, "a|bcd"},
    {"right collapses a selection to its end", "a|bc[d", {"Right"}, "abc|d"},
    {"right at a record end goes to the next", "ab|\ncd", {"Right"}, "ab\n|cd"},
    {"home alternates on an indented line", "  ab|c", {"Home"}, "  |abc"},
    {"home again goes to column 0", "  ab|c", {"Home", "Home"}, "|  abc"},
    {"home a third time", "  ab|c", {"Home", "Home", "Home"}, "  |abc"},
    {"end", "|abc\nd", {"End"}, "abc|\nd"},
    {"ctrl end and ctrl home", "a|bc\nde", {"C-End", "C-Home"}, "|abc\nde"},
    {"shift end selects", "a|bc", {"S-End"}, "a[bc|"},
    {"ctrl backspace on foo.bar", "foo.bar|", {"C-Back"}, "foo.|"},
    {"ctrl backspace twice", "foo.bar|", {"C-Back", "C-Back"}, "foo|"},
    {"ctrl backspace three times", "foo.bar|", {"C-Back", "C-Back", "C-Back"}, "|"},
    {"ctrl right moves to the next word", "|foo  bar", {"C-Right"}, "foo  |bar"},
    {"ctrl left over spaces", "foo  bar|", {"C-Left", "C-Left"}, "|foo  bar"},
    {"backspace joins lines", "ab\n|cd", {"Back"}, "ab|cd"},
    {"backspace at the document start", "|ab", {"Back"}, "|ab"},
    {"delete a line break", "ab|\ncd", {"Del"}, "ab|cd"},
    {"delete at the document end", "ab|", {"Del"}, "ab|"},
    {"delete a selection", "a[bc|d", {"Del"}, "a|d"},
    {"backspace a double-byte character", "a\xD6\xD0|b", {"Back"}, "a|b"},
    {"typing replaces a selection", "a[bc|d", {"x"}, "ax|d"},
    {"enter keeps the indentation", "\tab|c", {"Enter"}, "\tab\n\t|c"},
    {"enter indents with spaces and tabs", "          x|", {"Enter"}, "          x\n\t  |"},
    {"overwrite replaces", "a|bcd", {"Ins", "x", "y"}, "axy|d"},
    {"overwrite at the line end appends", "ab|\ncd", {"Ins", "x", "y"}, "abxy|\ncd"},
    {"overwrite enter only moves", "ab|\ncd", {"Ins", "Enter"}, "ab\n|cd"},
    {"tab inserts a tab", "a|b", {"Tab"}, "a\t|b"},
    {"escape clears the selection", "a[bc|d", {"Esc"}, "abc|d"},
    {"shift down then up", "a|bc\ndef\ng", {"S-Down", "S-Down"}, "a[bc\ndef\ng|"},
    {"up and down keep the x", "abcd|e\nx\nabcdef", {"Down", "Down"}, "abcde\nx\nabcd|ef"},
};

class ScriptedKeys : public ViewTest, public ::testing::WithParamInterface<KeyCase> {};

} // namespace

TEST_P(ScriptedKeys, Case) {
    const KeyCase& c = GetParam();
    SetScript(c.before);
    ASSERT_EQ(Script(), c.before);
    PressAll(c.keys);
    EXPECT_EQ(Script(), c.after) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Keys, ScriptedKeys, ::testing::ValuesIn(kCases));

TEST_F(ViewTest, TypingPairsLeadAndTrailBytesPerWindow) {
    SetText("");
    Type("\xD6\xD0");
    EXPECT_EQ(Text(), "\xD6\xD0");
    // A lead byte typed here and a trail byte typed into another window are not combined.
    ViewWindow other;
    CFxEditHostDoc* doc2 = new CFxEditHostDoc;
    doc2->m_bAutoDelete = false;
    doc2->OnNewDocument();
    other.Open(doc2, 200, 100, &m_type);
    Char(0xD6);
    Char('P', other.view);
    Char('x');
    PumpViewMessages();
    EXPECT_EQ(Text(), "\xD6\xD0x");
    std::string t2(16, '\0');
    int32_t n = doc2->CopyText(FxTextPos(0, 0), doc2->EndPos(), &t2[0], 16, 1);
    EXPECT_EQ(t2.substr(0, static_cast<size_t>(n)), "P");
    other.Close();
    delete doc2;
}

TEST_F(ViewTest, IllegalPairIsDropped) {
    SetText("");
    Char(0x81);
    Char(0x7F); // not a trail byte of code page 936
    Char('a');
    PumpViewMessages();
    EXPECT_EQ(Text(), "a");
}

TEST_F(ViewTest, UndoRestoresTypingAndDeleting) {
    SetScript("ab|c");
    Type("xyz");
    Press("Back");
    EXPECT_EQ(Script(), "abxy|c");
    EXPECT_TRUE(m_view->Undo());
    EXPECT_EQ(Text(), "abxyzc");
    EXPECT_TRUE(m_view->Undo());
    EXPECT_EQ(Text(), "abc");
}

TEST_F(ViewTest, ReadOnlyDocumentRefusesTyping) {
    SetScript("ab|");
    m_doc->SetReadOnly(true);
    Type("x");
    Press("Back");
    EXPECT_EQ(Script(), "ab|");
    m_doc->SetReadOnly(false);
}

TEST_F(ViewTest, PageKeysMoveByTheScrolledRecords) {
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "line " + std::to_string(i) + "\n";
    SetText(text);
    const int visible = m_view->Layout().visibleLines;
    ASSERT_GT(visible, 3);
    Press("PgDn");
    EXPECT_EQ(m_view->TopRecord(), visible - 1);
    EXPECT_EQ(m_view->Caret().line, visible - 1);
    Press("PgUp");
    EXPECT_EQ(m_view->TopRecord(), 0);
    Press("PgUp");
    EXPECT_EQ(m_view->Caret().line, 0);
    Press("C-End");
    EXPECT_EQ(m_view->Caret().line, 100);
    EXPECT_GE(m_view->TopRecord(), 100 - visible);
    const int32_t top = m_view->TopRecord();
    Press("C-Up");
    EXPECT_EQ(m_view->TopRecord(), top - 1);
    EXPECT_LT(m_view->Caret().line, m_view->TopRecord() + visible);
}

namespace {

// The input method's result string handed to the view by the test reader.
std::string g_imeResult;

LONG ReadTestImeResult(HWND, char* buf, DWORD size) {
    if (!buf)
        return static_cast<LONG>(g_imeResult.size());
    const DWORD n = std::min(size, static_cast<DWORD>(g_imeResult.size()));
    std::memcpy(buf, g_imeResult.data(), n);
    return static_cast<LONG>(n);
}

struct ImeReaderSwap {
    CFxEditView::ImeResultReader saved = CFxEditView::s_imeResultReader;
    ImeReaderSwap() { CFxEditView::s_imeResultReader = ReadTestImeResult; }
    ~ImeReaderSwap() { CFxEditView::s_imeResultReader = saved; }
};

} // namespace

TEST_F(ViewTest, ImeResultLongerThan260BytesIsInsertedWhole) {
    ImeReaderSwap swap;
    // 1 + 2 x 140 = 281 bytes: byte 260 is a lead byte, and the string ends in "中".
    g_imeResult = "x";
    for (int i = 0; i < 140; ++i)
        g_imeResult += "\xD6\xD0"; // 中
    SetScript("ab|cd");
    m_view->SendMessage(WM_IME_COMPOSITION, 0, GCS_RESULTSTR);
    PumpViewMessages();
    EXPECT_EQ(Script(), "ab" + g_imeResult + "|cd");
    // One typing group: a single undo removes the whole phrase.
    m_view->Undo();
    PumpViewMessages();
    EXPECT_EQ(Text(), "abcd");
}

TEST_F(ViewTest, ImeMessageWithoutResultInsertsNothing) {
    ImeReaderSwap swap;
    g_imeResult = "\xD6\xD0";
    SetScript("ab|");
    m_view->SendMessage(WM_IME_COMPOSITION, 0, GCS_COMPSTR);
    PumpViewMessages();
    EXPECT_EQ(Script(), "ab|");
}
