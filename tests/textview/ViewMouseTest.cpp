// Mouse selection, double-click words, gutter lines and column drags through real messages.
#include "tests/textview/ViewTestUtil.h"

#include "textview/ViewFontMetrics.h"

TEST_F(ViewTest, ClickPutsTheCaretOnTheNearerSideOfACharacter) {
    SetText("abcdef");
    POINT p = PointOf(FxTextPos(2, 0));
    const int w = ViewFontMetrics::Shared().aveWidth;
    Mouse(WM_LBUTTONDOWN, POINT{p.x + w - 2, p.y}, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, POINT{p.x + w - 2, p.y});
    EXPECT_EQ(m_view->Caret(), FxTextPos(3, 0));
    Mouse(WM_LBUTTONDOWN, POINT{p.x + 1, p.y}, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, POINT{p.x + 1, p.y});
    EXPECT_EQ(m_view->Caret(), FxTextPos(2, 0));
}

TEST_F(ViewTest, DragSelectsAndShiftClickExtends) {
    SetText("hello world\nsecond line");
    Mouse(WM_LBUTTONDOWN, PointOf(FxTextPos(1, 0)), MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, PointOf(FxTextPos(3, 1)), MK_LBUTTON);
    Mouse(WM_LBUTTONUP, PointOf(FxTextPos(3, 1)));
    EXPECT_EQ(Script(), "h[ello world\nsec|ond line");
    Mouse(WM_LBUTTONDOWN, PointOf(FxTextPos(6, 1)), MK_LBUTTON | MK_SHIFT);
    Mouse(WM_LBUTTONUP, PointOf(FxTextPos(6, 1)));
    EXPECT_EQ(Script(), "h[ello world\nsecond| line");
    EXPECT_EQ(m_view->SelectionLength(0, false), 10 + 2 + 6);
}

TEST_F(ViewTest, DoubleClickSelectsAWordOrOneDelimiter) {
    SetText("foo.bar baz");
    Mouse(WM_LBUTTONDBLCLK, PointOf(FxTextPos(5, 0)), MK_LBUTTON);
    Mouse(WM_LBUTTONUP, PointOf(FxTextPos(5, 0)));
    EXPECT_EQ(m_view->CopySelectionText(0), "bar");
    POINT dot = PointOf(FxTextPos(3, 0));
    Mouse(WM_LBUTTONDBLCLK, POINT{dot.x + 1, dot.y}, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, dot);
    EXPECT_EQ(m_view->CopySelectionText(0), ".");
}

TEST_F(ViewTest, WordDragGrowsByWholeWords) {
    SetText("one two three four");
    POINT two = PointOf(FxTextPos(5, 0));
    Mouse(WM_LBUTTONDBLCLK, two, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, PointOf(FxTextPos(10, 0)), MK_LBUTTON);
    EXPECT_EQ(m_view->CopySelectionText(0), "two three");
    Mouse(WM_MOUSEMOVE, PointOf(FxTextPos(1, 0)), MK_LBUTTON);
    EXPECT_EQ(m_view->CopySelectionText(0), "one two");
    Mouse(WM_LBUTTONUP, two);
    EXPECT_EQ(m_view->SelectionKind(), CFxEditView::SEL_STREAM);
}

TEST_F(ViewTest, GutterClickSelectsTheWholeRecord) {
    SetText("first\nsecond\nthird");
    POINT p = PointOf(FxTextPos(0, 1));
    p.x = m_view->Layout().gutter.left + 2;
    Mouse(WM_LBUTTONDOWN, p, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, p);
    EXPECT_EQ(Script(), "first\n[second\n|third");
    EXPECT_EQ(m_view->CopySelectionText(0), "second\r\n");
}

TEST_F(ViewTest, ColumnModeDragMakesAColumnBlock) {
    // The column-mode flag (the column-select command; Alt does the same) arms one drag.
    SetText("abcdef\nab\nabcdef");
    m_view->ArmColumnMode();
    Mouse(WM_LBUTTONDOWN, PointOf(FxTextPos(1, 0)), MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, PointOf(FxTextPos(4, 2)), MK_LBUTTON);
    Mouse(WM_LBUTTONUP, PointOf(FxTextPos(4, 2)));
    ASSERT_EQ(m_view->SelectionKind(), CFxEditView::SEL_COLUMN);
    EXPECT_EQ(m_view->CopySelectionText(0), "bcd\r\nb\r\nbcd\r\n");
    Press("Del");
    EXPECT_EQ(Text(), "aef\na\naef");
    // The flag applied to that one drag only.
    Mouse(WM_LBUTTONDOWN, PointOf(FxTextPos(0, 0)), MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, PointOf(FxTextPos(1, 1)), MK_LBUTTON);
    Mouse(WM_LBUTTONUP, PointOf(FxTextPos(1, 1)));
    EXPECT_EQ(m_view->SelectionKind(), CFxEditView::SEL_STREAM);
}

TEST_F(ViewTest, ColumnDragInAWrappedDocumentIsAStreamSelection) {
    SetText("abcdef\nabcdef");
    m_view->SetWrapMode(2, 40);
    m_view->ArmColumnMode();
    Mouse(WM_LBUTTONDOWN, PointOf(FxTextPos(1, 0)), MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, PointOf(FxTextPos(3, 1)), MK_LBUTTON);
    Mouse(WM_LBUTTONUP, PointOf(FxTextPos(3, 1)));
    EXPECT_EQ(m_view->SelectionKind(), CFxEditView::SEL_STREAM);
    EXPECT_EQ(m_view->CopySelectionText(0), "bcdef\r\nabc");
}

TEST_F(ViewTest, WheelAndScrollBarsMoveTheTop) {
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "x\n";
    SetText(text);
    m_view->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(m_view->TopRecord(), 3);
    m_view->SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(m_view->TopRecord(), 3 + m_view->Layout().visibleLines - 1);
    m_view->SendMessage(WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(m_view->TopRecord(), 200);
    m_view->SendMessage(WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(m_view->TopRecord(), 0);
    m_view->SendMessage(WM_HSCROLL, SB_LINERIGHT, 0);
    EXPECT_EQ(m_view->HScroll(), 1);
    m_view->SendMessage(WM_HSCROLL, SB_LEFT, 0);
    EXPECT_EQ(m_view->HScroll(), 0);
}

// The system setting "one screen at a time" gives 0xFFFFFFFF lines per notch: one page.
TEST_F(ViewTest, WheelWithPageScrollingMovesOnePage) {
    UINT saved = 3;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &saved, 0));
    struct Restore {
        UINT lines;
        ~Restore() { SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, lines, nullptr, 0); }
    } restore{saved};
    ASSERT_TRUE(SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, WHEEL_PAGESCROLL, nullptr, 0));
    UINT lines = 0;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    ASSERT_EQ(lines, static_cast<UINT>(WHEEL_PAGESCROLL));

    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "x\n";
    SetText(text);
    const int page = m_view->Layout().visibleLines - 1;
    ASSERT_GT(page, 1);
    // A notch takes well under a millisecond; seconds mean a loop over the line count.
    const DWORD start = GetTickCount();
    m_view->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(m_view->TopRecord(), page);
    m_view->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(m_view->TopRecord(), 2 * page);
    m_view->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(m_view->TopRecord(), page);
    EXPECT_LT(GetTickCount() - start, 3000u);
}

TEST_F(ViewTest, GutterWidthFollowsTheDigitsOfTheLineCount) {
    SetText("1\n2\n3\n4\n5\n6\n7\n8\n9");
    const int nine = m_view->Layout().gutter.right;
    SetText("1\n2\n3\n4\n5\n6\n7\n8\n9\n10");
    const int ten = m_view->Layout().gutter.right;
    const ViewLayout& l = m_view->Layout();
    EXPECT_GE(l.gutter.right - l.margin, ViewFontMetrics::Shared().Px(20));
    EXPECT_LT(nine, ten);
    m_doc->m_showRuler = false;
    m_doc->m_showLineNumbers = false;
    m_view->UpdateViews(CFxEditView::RefreshRelayout, 0, -1);
    EXPECT_EQ(m_view->Layout().text.top, ViewFontMetrics::Shared().Px(3));
    EXPECT_EQ(m_view->Layout().text.left, ViewFontMetrics::Shared().Px(5));
}
