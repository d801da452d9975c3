// Changes of the display settings and of a document's file type, through real windows: every
// open document is refreshed, and a document wrapped at the window edge is wrapped again.
#include "tests/textview/ViewTestUtil.h"

#include "framework/Dpi.h"
#include "textview/ViewFontMetrics.h"

namespace {

// Puts the shared metrics back as every view test expects them.
struct MetricsRestorer {
    ~MetricsRestorer() { CFxEditView::ApplyDisplaySettings(TestFont(), 0, 0); }
};

std::string LongLines(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i)
        text += "alpha beta gamma delta epsilon zeta eta theta iota kappa lambda mu nu xi "
                "omicron pi rho sigma tau\n";
    return text + "end";
}

} // namespace

TEST_F(ViewTest, GutterGapChangeRewrapsEdgeWrappedDocumentsAndRelaysOthers) {
    MetricsRestorer restore;
    CFxEditView::ApplyDisplaySettings(TestFont(), 0, 0);
    // A gap of 200 pixels at this density (the setting is a size at 96 DPI).
    const int gap = FxUnscale(200, ViewFontMetrics::Shared().dpi);
    SetText(LongLines(6));
    ASSERT_TRUE(m_view->SetWrapMode(1, 0));
    const int oldWidth = m_doc->WrapColumn();
    const int32_t oldRecords = m_doc->RecordCount();
    // A second, unwrapped document in a frame of its own.
    CFxEditHostDoc* other = new CFxEditHostDoc;
    other->m_bAutoDelete = false;
    other->OnNewDocument();
    ViewWindow win;
    win.Open(other, 400, 200, &m_type);
    FxTextPos at(0, 0);
    other->InsertText(at, "x\r\ny", 3, nullptr);
    win.view->UpdateViews(CFxEditView::RefreshRelayout, 0, -1);
    const LONG otherLeft = win.view->Layout().text.left;
    m_view->SetFocus();
    PumpViewMessages();

    CFxEditView::ApplyDisplaySettings(TestFont(), 0, gap);
    EXPECT_EQ(ViewFontMetrics::Shared().gutterGap, gap);
    // Line numbers are shown: the margin grows to the gap and the text narrows.
    EXPECT_EQ(m_view->Layout().margin, ViewFontMetrics::Shared().Px(gap));
    EXPECT_EQ(m_doc->WrapMode(), 1);
    EXPECT_EQ(m_doc->WrapColumn(), m_view->Layout().text.right - m_view->Layout().text.left);
    EXPECT_LT(m_doc->WrapColumn(), oldWidth);
    EXPECT_GT(m_doc->RecordCount(), oldRecords);
    EXPECT_GT(win.view->Layout().text.left, otherLeft);
    EXPECT_EQ(other->WrapMode(), 0);
    EXPECT_EQ(Text(), LongLines(6));

    // Nothing changes when nothing changed.
    const int32_t records = m_doc->RecordCount();
    CFxEditView::ApplyDisplaySettings(TestFont(), 0, gap);
    EXPECT_EQ(m_doc->RecordCount(), records);
    win.Close();
    delete other;
}

TEST_F(ViewTest, LineSpacingChangeRelaysWithoutRewrapping) {
    MetricsRestorer restore;
    SetText(LongLines(30));
    ASSERT_TRUE(m_view->SetWrapMode(1, 0));
    const int32_t records = m_doc->RecordCount();
    const int visible = m_view->Layout().visibleLines;
    const int pitch = ViewFontMetrics::Shared().linePitch;
    CFxEditView::ApplyDisplaySettings(TestFont(), 8, 0);
    const int spacing = ViewFontMetrics::Shared().Px(8); // 8 pixels at 96 DPI
    EXPECT_EQ(ViewFontMetrics::Shared().linePitch, pitch + spacing);
    EXPECT_LT(m_view->Layout().visibleLines, visible);
    EXPECT_EQ(m_doc->RecordCount(), records);
    EXPECT_EQ(m_view->WindowYFromRecord(m_view->TopRecord() + 3),
              m_view->Layout().text.top + 3 * (pitch + spacing));
}

TEST_F(ViewTest, FontChangeMeasuresAgainAndRewraps) {
    MetricsRestorer restore;
    SetText(LongLines(6));
    ASSERT_TRUE(m_view->SetWrapMode(1, 0));
    const int32_t records = m_doc->RecordCount();
    HFONT big = CreateFontA(-28, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                            FIXED_PITCH | FF_MODERN, "WenQuanYi Micro Hei Mono");
    const int height = ViewFontMetrics::Shared().textHeight;
    CFxEditView::ApplyDisplaySettings(big, 0, 0);
    EXPECT_GT(ViewFontMetrics::Shared().textHeight, height);
    EXPECT_GT(m_doc->RecordCount(), records);
    EXPECT_EQ(Text(), LongLines(6));
    CFxEditView::ApplyDisplaySettings(TestFont(), 0, 0);
    EXPECT_EQ(m_doc->RecordCount(), records);
    DeleteObject(big);
}

// A font, gutter or file type change while the text area is too narrow to wrap leaves the
// document as it was, with the re-wrap pending until the area is wide enough again: later
// edits never split a line one character per piece.
TEST_F(ViewTest, DisplayChangesWhileTooNarrowKeepTheRewrapPending) {
    MetricsRestorer restore;
    const std::string line(200, 'x');
    HFONT big = CreateFontA(-28, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                            FIXED_PITCH | FF_MODERN, "WenQuanYi Micro Hei Mono");
    struct Change {
        const char* what;
        void (*apply)(CFxEditView* view, HFONT big);
    } changes[] = {
        {"font", [](CFxEditView*, HFONT f) { CFxEditView::ApplyDisplaySettings(f, 0, 0); }},
        {"gutter gap",
         [](CFxEditView*, HFONT) { CFxEditView::ApplyDisplaySettings(TestFont(), 0, 30); }},
        {"file type", [](CFxEditView* v, HFONT) { v->ApplyFileType(&v->FileType()); }},
    };
    for (const Change& c : changes) {
        CFxEditView::ApplyDisplaySettings(TestFont(), 0, 0);
        SetWindowPos(m_win.frame->m_hWnd, nullptr, 0, 0, 500, 320, SWP_NOMOVE | SWP_NOZORDER);
        PumpViewMessages();
        SetText(line + "\nend");
        ASSERT_TRUE(m_view->SetWrapMode(1, 0));
        // Narrower than the wrapping minimum: the wrap waits.
        SetWindowPos(m_view->m_hWnd, nullptr, 0, 0, 60, 300, SWP_NOMOVE | SWP_NOZORDER);
        PumpViewMessages();
        ASSERT_TRUE(m_view->IsRewrapPending()) << c.what;
        const int width = m_doc->WrapColumn();
        ASSERT_GE(width, int{CFxEditView::kMinWrapWidth}) << c.what;

        c.apply(m_view, big);
        EXPECT_TRUE(m_view->IsRewrapPending()) << c.what;
        EXPECT_EQ(m_doc->WrapColumn(), width) << c.what << ": never wrapped at width 0";
        // Typing into the long line splits it at the old width, not per character.
        m_view->GoToPos(FxTextPos(100, 0));
        Type("y");
        EXPECT_LT(m_doc->GetPieceCount(0), 20) << c.what;
        EXPECT_EQ(Text(), line.substr(0, 100) + "y" + line.substr(100) + "\nend") << c.what;

        // Wide again: the wrap runs at the new width.
        SetWindowPos(m_win.frame->m_hWnd, nullptr, 0, 0, 520, 320, SWP_NOMOVE | SWP_NOZORDER);
        SetWindowPos(m_view->m_hWnd, nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER);
        PumpViewMessages();
        EXPECT_FALSE(m_view->IsRewrapPending()) << c.what;
        EXPECT_EQ(m_doc->WrapColumn(), m_view->Layout().text.right - m_view->Layout().text.left)
            << c.what;
        m_view->SetWrapMode(0, 0);
    }
    DeleteObject(big);
}

TEST_F(ViewTest, FileTypeChangeReachesBothViewsAndRewraps) {
    SetText("aaaa bbbb cccc dddd eeee ffff gggg\n\tx\tyy\tz");
    ASSERT_TRUE(m_view->SetWrapMode(2, 20));
    ViewWindow second;
    second.Open(m_doc, 300, 160, &m_type);
    ASSERT_EQ(m_doc->SecondView(), second.view);
    FileTypeInfo text = MakeFileType();
    text.title = "Text";
    text.ruler = 0;
    text.lineNumber = 0;
    text.whitespace = 0;
    text.lineBreak = 1;
    text.tabSize = 4;
    text.wrapStyle = 2;
    text.wrapWidth = 10;
    second.view->ApplyFileType(&text);
    EXPECT_EQ(&m_view->FileType(), &text);
    EXPECT_EQ(&second.view->FileType(), &text);
    EXPECT_FALSE(m_doc->m_showRuler);
    EXPECT_FALSE(m_doc->m_showLineNumbers);
    EXPECT_FALSE(m_doc->m_showWhitespace);
    EXPECT_TRUE(m_doc->m_showLineBreaks);
    // Both views are laid out anew: no ruler (a 3-pixel strip) and no numbers (5 pixels), at
    // 96 DPI.
    const ViewFontMetrics& fm = ViewFontMetrics::Shared();
    for (CFxEditView* v : {m_view, second.view}) {
        EXPECT_EQ(v->Layout().text.top, fm.Px(3));
        EXPECT_EQ(v->Layout().text.left, fm.Px(5));
    }
    // Wrapped again at ten columns with the new tab size.
    EXPECT_EQ(m_doc->WrapMode(), 2);
    EXPECT_EQ(m_doc->WrapColumn(), 10);
    std::vector<std::string> pieces;
    for (int32_t r = 0; r < m_doc->RecordCount(); ++r)
        pieces.emplace_back(m_doc->Record(r).data, static_cast<size_t>(m_doc->Record(r).len));
    EXPECT_EQ(pieces, (std::vector<std::string>{"aaaa bbbb ", "cccc dddd ", "eeee ffff ", "gggg",
                                                "\tx\tyy", "\tz"}));
    // The same type again with another tab size still re-splits.
    text.tabSize = 8;
    m_view->ApplyFileType(&text);
    EXPECT_EQ(m_doc->Record(4).len, 2); // "\tx" fills ten columns
    second.Close();
    // An unwrapped document stays unwrapped.
    m_view->SetWrapMode(0, 0);
    m_view->ApplyFileType(nullptr);
    EXPECT_EQ(m_doc->WrapMode(), 0);
    EXPECT_EQ(m_view->FileType().title, "Default");
}
