// What a person sees: pixels of the painted view, captured through the same line painter.
#include "tests/textview/ViewTestUtil.h"

#include "textview/ViewFontMetrics.h"

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
