// What a person sees: pixels of the painted view, captured through the same line painter.
#include "tests/textview/ViewTestUtil.h"

#include "tests/textview/SyntaxTestUtil.h"
#include "textview/ViewFontMetrics.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Capture {
    HDC dc = nullptr;
    HBITMAP bmp = nullptr;
    HGDIOBJ old = nullptr;
    explicit Capture(CFxEditView* view) {
        bmp = view->RenderToBitmap();
        dc = CreateCompatibleDC(nullptr);
        old = SelectObject(dc, bmp);
    }
    ~Capture() {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bmp);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
    // Whether any pixel of the row segment has the colour.
    bool Any(int x0, int x1, int y, COLORREF c) const {
        for (int x = x0; x < x1; ++x)
            if (At(x, y) == c)
                return true;
        return false;
    }
};

// Distinct colours that survive any screen depth.
void Distinct(FileTypeInfo& t) {
    t.syncTextBkWithSys = 0;
    t.colors[TextBack] = RGB(255, 255, 255);
    t.colors[SelectionBack] = RGB(0, 0, 255);
    t.colors[ActiveLineBack] = RGB(255, 255, 0);
    t.colors[BookmarkBack] = RGB(0, 255, 0);
    t.colors[LineNumberBack] = RGB(192, 192, 192);
    t.colors[RulerBack] = RGB(192, 192, 192);
    t.colors[RulerFore] = RGB(0, 0, 0);
    t.colors[MarksFore] = RGB(255, 0, 0);
}

} // namespace

TEST_F(ViewTest, SelectionPastTheLineEndShowsOneMarkWidth) {
    Distinct(m_type);
    m_doc->m_showLineBreaks = false;
    SetText("ab\ncd\nef");
    m_view->MoveCaretTo(FxTextPos(1, 2));
    m_view->MoveCaretTo(FxTextPos(1, 1));
    m_view->SelectRange(FxTextPos(1, 0));
    Capture cap(m_view);
    const ViewFontMetrics& fm = ViewFontMetrics::Shared();
    POINT endOfAb = PointOf(FxTextPos(2, 0));
    const int y = endOfAb.y + fm.textHeight / 2;
    EXPECT_EQ(cap.At(endOfAb.x + 1, y), RGB(0, 0, 255));
    EXPECT_EQ(cap.At(endOfAb.x + fm.markSize - 1, y), RGB(0, 0, 255));
    EXPECT_NE(cap.At(endOfAb.x + fm.markSize + 2, y), RGB(0, 0, 255));
}

TEST_F(ViewTest, ColumnBlockIsARectangleOverShortLines) {
    Distinct(m_type);
    SetText("abcdef\na\nabcdef");
    const ViewFontMetrics& fm = ViewFontMetrics::Shared();
    const int pitch = fm.linePitch;
    m_view->SelectColumnBlock(RECT{2 * fm.aveWidth, 0, 5 * fm.aveWidth, 2 * pitch + 1});
    Capture cap(m_view);
    const int xInside = m_view->WindowXFromDoc(4 * fm.aveWidth);
    const int yShort = m_view->WindowYFromRecord(1) + pitch / 2;
    EXPECT_EQ(cap.At(xInside, yShort), RGB(0, 0, 255));
    EXPECT_NE(cap.At(m_view->WindowXFromDoc(6 * fm.aveWidth), yShort), RGB(0, 0, 255));
}

TEST_F(ViewTest, BookmarkedActiveLineShowsBookmarkLinesAtTopAndBottom) {
    Distinct(m_type);
    SetText("one\ntwo\nthree");
    m_doc->RecordRef(0).flags |= FXL_BOOKMARK;
    m_doc->RecordRef(2).flags |= FXL_BOOKMARK;
    m_view->MoveCaretTo(FxTextPos(0, 0));
    Capture cap(m_view);
    const int pitch = ViewFontMetrics::Shared().linePitch;
    const int x = m_view->Layout().client.right - 20;
    const int top0 = m_view->WindowYFromRecord(0);
    EXPECT_EQ(cap.At(x, top0), RGB(0, 255, 0));
    EXPECT_EQ(cap.At(x, top0 + pitch - 1), RGB(0, 255, 0));
    EXPECT_EQ(cap.At(x, top0 + pitch / 2), RGB(255, 255, 0));
    EXPECT_EQ(cap.At(x, m_view->WindowYFromRecord(2) + pitch / 2), RGB(0, 255, 0));
    EXPECT_EQ(cap.At(x, m_view->WindowYFromRecord(1) + pitch / 2), RGB(255, 255, 255));
    m_type.syncActLineWithTextBk = 1;
    Capture cap2(m_view);
    EXPECT_EQ(cap2.At(x, top0 + pitch / 2), RGB(255, 255, 255));
}

TEST_F(ViewTest, RulerAfterAFifteenColumnScrollShowsThreeAtColumnTwenty) {
    Distinct(m_type);
    SetText(std::string(300, 'x'));
    for (int i = 0; i < 15; ++i)
        m_view->ScrollColumns(1);
    ASSERT_EQ(m_view->HScroll(), 15);
    Capture cap(m_view);
    const ViewFontMetrics& fm = ViewFontMetrics::Shared();
    const int h = fm.rulerHeight;
    const int x20 = m_view->Layout().text.left + 5 * fm.aveWidth;
    // A long tick at column 20 and the number beside it; a short tick at 21.
    EXPECT_EQ(cap.At(x20, h - h / 3 - 1), RGB(0, 0, 0));
    EXPECT_NE(cap.At(x20 + fm.aveWidth, h - h / 3 - 1), RGB(0, 0, 0));
    EXPECT_EQ(cap.At(x20 + fm.aveWidth, h - 2), RGB(0, 0, 0));
    EXPECT_TRUE(cap.Any(x20, x20 + fm.aveWidth + 2, h / 2, RGB(0, 0, 0)) ||
                cap.Any(x20, x20 + fm.aveWidth + 2, h / 3, RGB(0, 0, 0)));
    // Column 10 lies left of the text: the ruler there is plain.
    const int x10 = m_view->Layout().text.left - 5 * fm.aveWidth;
    if (x10 > 0) {
        EXPECT_EQ(cap.At(x10, h - 2), RGB(192, 192, 192));
    }
}

TEST_F(ViewTest, MarksOnlyWhereTheyBelong) {
    Distinct(m_type);
    SetText("aaaaaaaaaaaaaaaaaaaa\nb");
    m_view->SetWrapMode(2, 8);
    ASSERT_EQ(m_doc->RecordCount(), 4);
    m_view->MoveCaretTo(FxTextPos(0, 3));
    Capture cap(m_view);
    const ViewFontMetrics& fm = ViewFontMetrics::Shared();
    auto marked = [&](int32_t rec) {
        POINT end = PointOf(FxTextPos(m_doc->Record(rec).len, rec));
        int y0 = m_view->WindowYFromRecord(rec);
        for (int y = y0; y < y0 + fm.linePitch; ++y)
            if (cap.Any(end.x, end.x + fm.markSize + 4, y, RGB(255, 0, 0)))
                return true;
        return false;
    };
    EXPECT_FALSE(marked(0)); // middle pieces: nothing
    EXPECT_FALSE(marked(1));
    EXPECT_TRUE(marked(2)); // line break after the wrapped line
    EXPECT_TRUE(marked(3)); // end of document
}

TEST_F(ViewTest, LineNumbersCountLogicalLinesWhenWrapped) {
    SetText("aaaaaaaaaaaaaaaaaaaa\nb");
    m_view->SetWrapMode(2, 8);
    // The gutter text of each record, read back by drawing nothing but the numbers is not
    // possible; the numbers come from the records' logical numbers.
    EXPECT_EQ(m_doc->Record(0).logLine, 0);
    EXPECT_TRUE(m_doc->Record(1).IsContinued());
    EXPECT_EQ(m_doc->Record(3).logLine, 1);
    Capture cap(m_view);
    const int pitch = ViewFontMetrics::Shared().linePitch;
    const RECT& g = m_view->Layout().gutter;
    const int split = m_view->Layout().text.left - m_view->Layout().margin;
    COLORREF back = m_type.colors[LineNumberBack];
    auto inked = [&](int32_t rec) {
        const int y0 = m_view->WindowYFromRecord(rec);
        for (int y = y0; y < y0 + pitch; ++y)
            for (int x = g.left; x < split; ++x)
                if (cap.At(x, y) != back)
                    return true;
        return false;
    };
    EXPECT_TRUE(inked(0));
    EXPECT_FALSE(inked(1));
    EXPECT_FALSE(inked(2));
    EXPECT_TRUE(inked(3));
}

namespace {

// The view's pixels, 32 bits each, as RenderToBitmap paints them.
std::vector<uint32_t> Pixels(CFxEditView* view) {
    HBITMAP bmp = view->RenderToBitmap();
    BITMAP info;
    GetObject(bmp, sizeof info, &info);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = info.bmWidth;
    bi.bmiHeader.biHeight = -info.bmHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> px(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, bmp, 0, static_cast<UINT>(info.bmHeight), px.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    DeleteObject(bmp);
    px.push_back(static_cast<uint32_t>(info.bmWidth));
    return px;
}

// Where two captures first differ ("" when they are equal).
std::string FirstDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    if (a.size() != b.size())
        return "sizes differ";
    const uint32_t w = a.back();
    for (size_t i = 0; i + 1 < a.size(); ++i)
        if (a[i] != b[i]) {
            char at[96];
            std::snprintf(at, sizeof at, "pixel (%u, %u): %06X vs %06X",
                          static_cast<unsigned>(i % w), static_cast<unsigned>(i / w),
                          static_cast<unsigned>(a[i] & 0xFFFFFF),
                          static_cast<unsigned>(b[i] & 0xFFFFFF));
            return at;
        }
    return "";
}

const char* const kComposeStf[] = {"[#General]",
                                   "Delimiters=,.;:?!~%^&*()-+=|/\\<>[]{}\"'#",
                                   "MatchCase=yes",
                                   "Escape=\\",
                                   "LineComment=//",
                                   "BlockComment={on=\"/*\",off=\"*/\"}",
                                   "QuotedString={on=\"\\\"\",off=\"\\\"\"}",
                                   "QuotedString2={on=\"'\",off=\"'\"}",
                                   "[#Ends]",
                                   "[#Keyword:name=\"Keywords\",color=\"#FF0000\"]",
                                   "static",
                                   "struct",
                                   "return",
                                   "if",
                                   "else",
                                   "for",
                                   "while",
                                   "[#Keyword:name=\"Types\",color=\"#008080\"]",
                                   "int",
                                   "char",
                                   "size_t",
                                   "unsigned"};

std::string ComposeSample() {
    std::string s;
    s += "/* Merges the sorted runs, \xD6\xD0\xCE\xC4 comment */\n";
    s += "static size_t merge_runs(struct entry *table, size_t count)\n";
    s += "{\n";
    s += "    size_t moves = 0; // entries \xB2\xE2\xCA\xD4 moved\n";
    s += "\tfor (int i = 1;\ti < count; i *= 2) {\t\t/* tabbed */\n";
    s += "        if (table[i].key == '\\0' || table[i].key == '\\t')   \n";
    s += "            fprintf(stderr, \"run %zu: \\\"%s\\\"\\n\", i, \"\xD6\xD0\");\n";
    s += "x\x01y\x7F\xA1\xA1z\xA3\xAC.\xA1\xA3Wi fl  gj\n";
    s += "    /* a comment that runs\n";
    s += "       over two lines */ return moves;\n";
    s += std::string(700, 'w') + " tail " + std::string(40, 'q') + "\n";
    s += "\xD6\xD0\xCE\xC4\xD6\xD0\xCE\xC4 \xB2\xE2\tstatic\xB2\xE2int\n";
    s += "}";
    return s;
}

} // namespace

// Lines are composed without a text call per run (glyphs set into the line's pixels, or one
// text call per colour); what a person sees must be what drawing each run on its own gives,
// in every state a line can be painted in, with and without antialiasing.
TEST_F(ViewTest, ComposedLinesPaintLikeRunByRun) {
    Distinct(m_type);
    std::string stf;
    for (const char* l : kComposeStf)
        stf += std::string(l) + "\r\n";
    SetText(ComposeSample());
    auto compare = [&](const char* what) {
        CFxEditView::s_composeLines = false;
        const std::vector<uint32_t> runs = Pixels(m_view);
        CFxEditView::s_composeLines = true;
        const std::vector<uint32_t> composed = Pixels(m_view);
        EXPECT_EQ(FirstDifference(runs, composed), "") << what;
    };
    HFONT antialiased = CreateFontA(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                    FIXED_PITCH | FF_MODERN, "WenQuanYi Micro Hei Mono");
    for (int syntax = 0; syntax < 2; ++syntax) {
        if (syntax) {
            LoadSyntax(m_type.syntax, stf);
            ASSERT_TRUE(m_type.syntax.HasSyntax());
        }
        for (HFONT font : {TestFont(), antialiased}) {
            CFxEditView::ApplyDisplaySettings(font, 0, 0);
            if (font == antialiased) {
                // Glyphs with grey edges cannot be set pixel by pixel: the lines are composed
                // with text calls then.
                EXPECT_EQ(ViewFontMetrics::Shared().ink.Get("a", 1), nullptr);
            }
            for (int marks = 0; marks < 2; ++marks) {
                m_doc->m_showWhitespace = m_doc->m_showLineBreaks = marks != 0;
                m_view->ClearSelection();
                m_view->UpdateViews(CFxEditView::RefreshRelayout, 0, -1);
                m_view->MoveCaretTo(FxTextPos(3, 1));
                compare("plain");
                m_view->MoveCaretTo(FxTextPos(9, 3));
                m_view->SelectRange(FxTextPos(5, 4));
                compare("stream selection over lines");
                m_view->MoveCaretTo(FxTextPos(20, 6));
                m_view->SelectRange(FxTextPos(12, 6));
                compare("selection inside a line");
                const ViewFontMetrics& fm = ViewFontMetrics::Shared();
                m_view->SelectColumnBlock(
                    RECT{3 * fm.aveWidth, fm.linePitch, 17 * fm.aveWidth, 8 * fm.linePitch});
                compare("column block");
                m_view->ClearSelection();
                for (int i = 0; i < 3; ++i)
                    m_view->ScrollColumns(1);
                compare("scrolled three columns");
                m_view->ScrollColumns(6);
                m_view->SetWrapMode(1, 0);
                compare("wrapped at the window edge");
                m_view->SetWrapMode(0, 0);
            }
        }
    }
    CFxEditView::ApplyDisplaySettings(TestFont(), 0, 0);
    DeleteObject(antialiased);
}

namespace {

// The pixels the window shows now, in the layout of Pixels().
std::vector<uint32_t> WindowPixels(CFxEditView* view) {
    RECT rc;
    GetClientRect(view->m_hWnd, &rc);
    HDC wdc = GetDC(view->m_hWnd);
    HDC mem = CreateCompatibleDC(wdc);
    HBITMAP bmp = CreateCompatibleBitmap(wdc, rc.right, rc.bottom);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, rc.right, rc.bottom, wdc, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = rc.right;
    bi.bmiHeader.biHeight = -rc.bottom;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> px(static_cast<size_t>(rc.right) * rc.bottom);
    GetDIBits(mem, bmp, 0, static_cast<UINT>(rc.bottom), px.data(), &bi, DIB_RGB_COLORS);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(view->m_hWnd, wdc);
    px.push_back(static_cast<uint32_t>(rc.right));
    return px;
}

} // namespace

// Scrolling moves the pixels already shown and paints only the uncovered band: the window
// must then look exactly as after painting it all.
TEST_F(ViewTest, ScrolledWindowLooksLikeAFullRepaint) {
    Distinct(m_type);
    std::string stf;
    for (const char* l : kComposeStf)
        stf += std::string(l) + "\r\n";
    LoadSyntax(m_type.syntax, stf);
    std::string text;
    for (int i = 0; i < 12; ++i)
        text += ComposeSample() + "\n";
    SetText(text);
    m_view->MoveCaretTo(FxTextPos(2, 5));
    UpdateWindow(m_view->m_hWnd);
    struct Step {
        bool vertical;
        int code;
        const char* what;
    } steps[] = {{true, 1, "line down"},
                 {true, 1, "line down again"},
                 {true, 0, "line up"},
                 {true, 3, "page down"},
                 {true, 2, "page up"},
                 {false, 1, "column right"},
                 {false, 3, "page right"},
                 {false, 0, "column left"},
                 {true, 1, "line down, scrolled"},
                 {false, 6, "back to column 0"}};
    for (const Step& s : steps) {
        if (s.vertical)
            m_view->ScrollLines(s.code);
        else
            m_view->ScrollColumns(s.code);
        UpdateWindow(m_view->m_hWnd);
        EXPECT_EQ(FirstDifference(WindowPixels(m_view), Pixels(m_view)), "") << s.what;
    }
    // With the band's paint still pending the pixels are moved with their invalid area.
    m_view->InvalidateLines(m_view->TopRecord() + 2, m_view->TopRecord() + 2);
    m_view->ScrollLines(1);
    UpdateWindow(m_view->m_hWnd);
    EXPECT_EQ(FirstDifference(WindowPixels(m_view), Pixels(m_view)), "") << "with a pending paint";
}

// Undoing and redoing a change over several lines repaints every line it changed, with the
// syntax colours below them: the window looks as after painting it all.
TEST_F(ViewTest, UndoOfAChangeOverSeveralLinesRepaintsThemAll) {
    Distinct(m_type);
    LoadSyntax(m_type.syntax, "[#General]\r\nBlockComment={on=\"/*\",off=\"*/\"}\r\n[#Ends]\r\n");
    SetText("zero line\n/*one line\ntwo line\nthree line\nfour line\nfive */ line\nsix line");
    UpdateWindow(m_view->m_hWnd);
    const int pitch = ViewFontMetrics::Shared().linePitch;
    const int w = ViewFontMetrics::Shared().aveWidth;
    // A block of the first two characters of lines 1 to 4: the comment opener goes with it.
    m_view->SelectColumnBlock(RECT{0, pitch, 2 * w, 4 * pitch + pitch / 2});
    ASSERT_EQ(m_view->SelectionKind(), CFxEditView::SEL_COLUMN);
    {
        FxUndoGroupGuard group(*m_doc, FxUndoDelete);
        m_view->DeleteSelection();
    }
    m_view->UpdateViews(CFxEditView::RefreshAll, 0, -1);
    ASSERT_EQ(Text(), "zero line\none line\no line\nree line\nur line\nfive */ line\nsix line");
    UpdateWindow(m_view->m_hWnd);
    HideCaret(m_view->m_hWnd);
    EXPECT_EQ(FirstDifference(WindowPixels(m_view), Pixels(m_view)), "") << "after the delete";

    ASSERT_TRUE(m_view->Undo());
    ASSERT_EQ(Text(),
              "zero line\n/*one line\ntwo line\nthree line\nfour line\nfive */ line\nsix line");
    UpdateWindow(m_view->m_hWnd);
    HideCaret(m_view->m_hWnd);
    EXPECT_EQ(FirstDifference(WindowPixels(m_view), Pixels(m_view)), "") << "after undo";

    ASSERT_TRUE(m_view->Redo());
    UpdateWindow(m_view->m_hWnd);
    HideCaret(m_view->m_hWnd);
    EXPECT_EQ(FirstDifference(WindowPixels(m_view), Pixels(m_view)), "") << "after redo";
}

TEST_F(ViewTest, AWindowNarrowerThanItsGutterPaintsOnlyTheGutter) {
    Distinct(m_type);
    m_doc->m_showLineNumbers = true;
    SetText("one\ntwo\nthree");
    // A gutter wider than what the window shows of it: the text area is empty.
    RECT wr, cr;
    GetWindowRect(m_view->m_hWnd, &wr);
    GetClientRect(m_view->m_hWnd, &cr);
    const int outer = (wr.right - wr.left) - (cr.right - cr.left);
    const int narrow = m_view->Layout().gutter.right / 2;
    SetWindowPos(m_view->m_hWnd, nullptr, 0, 0, outer + narrow, wr.bottom - wr.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    PumpViewMessages();
    const ViewLayout& l = m_view->Layout();
    EXPECT_EQ(l.client.right, narrow);
    EXPECT_EQ(l.text.right - l.text.left, 0);
    Capture cap(m_view);
    EXPECT_EQ(cap.At(0, m_view->WindowYFromRecord(1) + 2), RGB(192, 192, 192));
}
