// Word wrap in both modes: the splitters' edge cases, and wrapping a document through its view.
#include "tests/textview/ViewTestUtil.h"

#include "textview/ViewDC.h"
#include "textview/ViewFontMetrics.h"

namespace {

// The pieces of one line as text, separated by "/".
std::string Split(const std::string& text, int mode, int width,
                  std::vector<FxLine>* keep = nullptr) {
    FxLine head = FxFreshLine();
    head.flags = 0;
    head.logLine = 0;
    head.data = const_cast<char*>(text.data());
    head.len = head.lineLen = static_cast<int32_t>(text.size());
    std::vector<FxLine> out;
    WrapContext ctx;
    ctx.wrapWidth = width;
    const ViewFontMetrics& fm = ViewFontMetrics::Shared();
    CViewDC dc(nullptr, fm.Font());
    ctx.measure.dc = dc;
    ctx.measure.spaceWidth = fm.spaceWidth;
    ctx.measure.tabGlyphWidth = fm.tabGlyphWidth;
    ctx.measure.dbcsWidth = fm.dbcsWidth;
    ctx.measure.tabSize = 4;
    if (mode == 1)
        SplitByWidth(ctx, head, out);
    else
        SplitByColumns(ctx, head, out);
    std::string s;
    for (size_t i = 0; i < out.size(); ++i) {
        EXPECT_GT(out[i].len, 0) << "piece " << i << " of " << text;
        EXPECT_EQ(out[i].IsContinued(), i > 0);
        if (i > 0) {
            EXPECT_EQ(out[i].lineLen, static_cast<int32_t>(i));
        }
        s += (i ? "/" : "") + std::string(out[i].data, static_cast<size_t>(out[i].len));
    }
    if (keep)
        *keep = out;
    return s;
}

class WrapSplitTest : public ::testing::Test {
protected:
    void SetUp() override { ViewFontMetrics::Shared().SetFont(TestFont()); }
};

} // namespace

TEST_F(WrapSplitTest, ColumnsBreakLongWordsAndMoveWholeWords) {
    EXPECT_EQ(Split("abcdefghij", 2, 4), "abcd/efgh/ij");
    EXPECT_EQ(Split("ab cdef", 2, 4), "ab /cdef");
    EXPECT_EQ(Split("short", 2, 40), "short");
}

TEST_F(WrapSplitTest, ColumnsWidthOneKeepsOneCharacterPerPiece) {
    // 中 is B6 D0 and 文 is CE C4 in code page 936: two columns each.
    EXPECT_EQ(Split("a\xD6\xD0"
                    "b",
                    2, 1),
              "a/\xD6\xD0/b");
    EXPECT_EQ(Split("\t\t", 2, 1), "\t/\t");
}

TEST_F(WrapSplitTest, ColumnsMoveBackBeforeADoubleByteCharacter) {
    // "ab 中文" at 5 columns: 中 would end at column 5, 文 not; the break moves after the space.
    EXPECT_EQ(Split("ab \xD6\xD0\xCE\xC4", 2, 5), "ab /\xD6\xD0\xCE\xC4");
}

TEST_F(WrapSplitTest, TabStopsContinueAcrossPieces) {
    std::vector<FxLine> pieces;
    // Tab size 4: "abc\t" ends at column 4, "de" at 6; the next piece's tab goes on to 8.
    EXPECT_EQ(Split("abc\tde\tf", 2, 6, &pieces), "abc\tde/\tf");
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[1].dispCol, 6);
    EXPECT_EQ(DisplayColumn(pieces[1].data, pieces[1].data + 1, 4, pieces[1].dispCol), 8);
}

TEST_F(WrapSplitTest, WidthKeepsOneCharacterWhenNarrowerThanOne) {
    const std::string s = Split("\xD6\xD0\xCE\xC4", 1, 2);
    EXPECT_EQ(s, "\xD6\xD0/\xCE\xC4");
}

TEST_F(WrapSplitTest, WidthBreaksAtSpacesButNotBeforeDoubleByte) {
    const int w = ViewFontMetrics::Shared().aveWidth;
    // Room for about 8 characters.
    EXPECT_EQ(Split("aaaa bbbbbb", 1, 8 * w + 1), "aaaa /bbbbbb");
    // A break in front of a double-byte character stays where it is.
    const std::string dbcs = Split("aa \xD6\xD0\xCE\xC4\xD6\xD0\xCE\xC4\xD6\xD0", 1, 8 * w + 1);
    EXPECT_EQ(dbcs.find("aa /"), std::string::npos) << dbcs;
}

TEST_F(WrapSplitTest, EmptyPiecesNeverAppearWithAnyWidth) {
    const std::string text = "a b\tc \xD6\xD0 dd\t\xCE\xC4 eee ffff";
    for (int width = 1; width < 12; ++width) {
        Split(text, 2, width);
        Split(text, 1, width * 4);
    }
}

TEST_F(ViewTest, WrapAtColumnsThroughTheView) {
    SetText("one two three four five\nsix");
    EXPECT_TRUE(m_view->SetWrapMode(2, 8));
    EXPECT_EQ(m_doc->WrapMode(), 2);
    EXPECT_EQ(m_doc->LogicalLineCount(), 2);
    EXPECT_GT(m_doc->RecordCount(), 2);
    EXPECT_EQ(Text(), "one two three four five\nsix");
    // Typing re-splits through the view.
    m_view->MoveCaretTo(FxTextPos(0, 0));
    Type("xxxxxxxxxxxx");
    EXPECT_EQ(Text(), "xxxxxxxxxxxxone two three four five\nsix");
    EXPECT_EQ(m_doc->Record(0).len, 8);
    EXPECT_TRUE(m_view->SetWrapMode(0, 0));
    EXPECT_EQ(m_doc->RecordCount(), 2);
    EXPECT_FALSE(m_view->SetWrapMode(0, 0));
}

TEST_F(ViewTest, WrapAtWindowEdgeFollowsResizeAndHidesHorizontalBar) {
    std::string line;
    for (int i = 0; i < 40; ++i)
        line += "word ";
    SetText(line);
    EXPECT_TRUE(m_view->SetWrapMode(1, 0));
    const int32_t records = m_doc->RecordCount();
    EXPECT_GT(records, 2);
    EXPECT_FALSE(m_view->GetStyle() & WS_HSCROLL);
    // Narrower window: more pieces.
    SetWindowPos(m_win.frame->m_hWnd, nullptr, 0, 0, 300, 320, SWP_NOMOVE | SWP_NOZORDER);
    PumpViewMessages();
    EXPECT_GT(m_doc->RecordCount(), records);
    EXPECT_EQ(Text(), line);
    // Narrower than a character: the re-wrap stays pending instead of splitting per byte.
    const int32_t before = m_doc->RecordCount();
    SetWindowPos(m_view->m_hWnd, nullptr, 0, 0, 60, 300, SWP_NOMOVE | SWP_NOZORDER);
    PumpViewMessages();
    EXPECT_TRUE(m_view->IsRewrapPending());
    EXPECT_EQ(m_doc->RecordCount(), before);
    SetWindowPos(m_win.frame->m_hWnd, nullptr, 0, 0, 500, 320, SWP_NOMOVE | SWP_NOZORDER);
    PumpViewMessages();
    EXPECT_FALSE(m_view->IsRewrapPending());
    EXPECT_TRUE(m_view->SetWrapMode(0, 0));
    EXPECT_TRUE(m_view->GetStyle() & WS_HSCROLL);
}

TEST_F(ViewTest, WrapKeepsCaretAndSelectionAsLogicalPositions) {
    SetText("alpha beta gamma delta epsilon zeta eta theta");
    m_view->MoveCaretTo(FxTextPos(30, 0));
    m_view->SelectRange(FxTextPos(6, 0));
    m_view->SetWrapMode(2, 10);
    EXPECT_EQ(LogicalCaret(), FxTextPos(30, 0));
    EXPECT_EQ(m_view->SelectionLength(m_doc->LineEndType(), true), 24);
    EXPECT_EQ(m_view->CopySelectionText(0), "beta gamma delta epsilon");
}

namespace {

// A document that keeps the progress notices it is given.
class ProgressDoc : public CFxEditHostDoc {
public:
    std::vector<int> progress;
    void OnDocEvent(int code, int arg) override {
        if (code == FxEvWrapProgress)
            progress.push_back(arg);
        CFxEditHostDoc::OnDocEvent(code, arg);
    }
};

} // namespace

TEST_F(ViewTest, WholeDocumentWrapReportsEveryHundredthLineFromOne) {
    ProgressDoc* doc = new ProgressDoc;
    doc->m_bAutoDelete = false;
    doc->OnNewDocument();
    std::string text;
    for (int i = 0; i < 250; ++i) // 250 lines of 300 bytes: above the 64 KB of a notice
        text += std::string(290, 'a' + i % 26) + " tail\r\n";
    text += "last";
    FxTextPos at(0, 0);
    doc->InsertText(at, text.data(), static_cast<int32_t>(text.size()), nullptr);
    ViewWindow win;
    win.Open(doc, 400, 200, &m_type);
    doc->progress.clear();
    ASSERT_TRUE(win.view->SetWrapMode(2, 40));
    // Every (251 + 99) / 100 = 3 lines, numbered 1, 2, ...; 83 of them, then 100.
    ASSERT_EQ(doc->progress.size(), 84u);
    for (size_t i = 0; i < 83; ++i)
        EXPECT_EQ(doc->progress[i], static_cast<int>(i + 1));
    EXPECT_EQ(doc->progress.back(), 100);
    doc->progress.clear();
    ASSERT_TRUE(win.view->SetWrapMode(0, 0));
    EXPECT_EQ(doc->progress, std::vector<int>{100});
    // A small document is wrapped without notices.
    doc->progress.clear();
    SetText("short\nlines");
    m_view->SetWrapMode(2, 3);
    win.Close();
    delete doc;
}

TEST_F(ViewTest, WrapLinesTellsWhereTheCaretLinePiecesBegin) {
    SetText("x");
    m_view->SetWrapMode(2, 4);
    std::string a = "abcdefghij", b = "", c = "xy zw";
    FxLine heads[3];
    std::string* texts[3] = {&a, &b, &c};
    for (int i = 0; i < 3; ++i) {
        heads[i] = FxFreshLine();
        heads[i].flags = FXL_LINEEND;
        if (i == 1)
            heads[i].flags |= FXL_BOOKMARK;
        heads[i].logLine = 7 + i;
        heads[i].data = texts[i]->empty() ? nullptr : &(*texts[i])[0];
        heads[i].len = heads[i].lineLen = static_cast<int32_t>(texts[i]->size());
    }
    std::vector<FxLine> out(1); // pieces are appended: indexes count from here
    int32_t caretIndex = 0;
    EXPECT_EQ(m_view->WrapLines(heads, 3, 2, out, &caretIndex), 6);
    EXPECT_EQ(caretIndex, 4); // abcd/efgh/ij, the empty line, then "xy "/"zw"
    EXPECT_EQ(out[1 + 4].logLine, 9);
    EXPECT_EQ(out[1 + 4].len, 3);
    EXPECT_FALSE(out[1 + 4].IsContinued());
    // The empty line is one record that keeps its flags and number.
    EXPECT_EQ(out[4].len, 0);
    EXPECT_EQ(out[4].logLine, 8);
    EXPECT_TRUE(out[4].flags & FXL_BOOKMARK);
    EXPECT_TRUE(out[4].flags & FXL_LINEEND);
    EXPECT_FALSE(out[5].flags & FXL_LINEEND);
    EXPECT_TRUE(out[6].flags & FXL_LINEEND);
    EXPECT_EQ(m_view->WrapLines(heads, 3, 5, out, &caretIndex), 6);
    EXPECT_EQ(caretIndex, -1);
}
