// The dynamic splitter: split by command and by dragging, pane switching, unsplit.
#include "tests/framework/TestApp.h"

#include "tests/framework/FrameworkTestIds.h"

namespace {

TestChildFrame* ActiveChild(CMDIFrameWnd* main) {
    return DynamicDowncast<TestChildFrame>(main->GetActiveFrame());
}

void Drag(CWnd* wnd, int fromY, int toY) {
    wnd->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, fromY));
    wnd->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, toY));
    wnd->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, toY));
}

} // namespace

TEST_F(FrameworkTest, SplitCommandAddsASecondViewOfTheSameDocument) {
    TestDoc* doc = NewDocument();
    ASSERT_NE(doc, nullptr);
    TestChildFrame* child = ActiveChild(m_main);
    ASSERT_NE(child, nullptr);
    CSplitterWnd& splitter = child->m_splitter;
    EXPECT_EQ(splitter.GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
    EXPECT_EQ(splitter.GetRowCount(), 1);
    ASSERT_EQ(doc->GetViews().size(), 1u);
    TestView* first = DynamicDowncast<TestView>(doc->GetViews()[0]);
    EXPECT_EQ(child->GetActiveView(), first);
    EXPECT_EQ(first->GetParentSplitter(), &splitter);
    EXPECT_EQ(first->GetParentFrame(), child);

    m_main->SendMessage(WM_COMMAND, ID_WINDOW_SPLIT);
    EXPECT_EQ(splitter.GetRowCount(), 2);
    ASSERT_EQ(doc->GetViews().size(), 2u);
    TestView* second = DynamicDowncast<TestView>(doc->GetViews()[1]);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->GetDocument(), doc);
    EXPECT_EQ(second->m_initialUpdates, 1);
    EXPECT_EQ(splitter.GetPane(1, 0), second);

    // Both panes share the height; the bar lies between them.
    RECT a, b;
    GetWindowRect(first->m_hWnd, &a);
    GetWindowRect(second->m_hWnd, &b);
    EXPECT_EQ(b.top - a.bottom, splitter.m_cySplitter);

    // Next / previous pane move the active view, and so the route.
    m_main->SendMessage(WM_COMMAND, ID_NEXT_PANE);
    EXPECT_EQ(child->GetActiveView(), second);
    m_main->SendMessage(WM_COMMAND, ID_PREV_PANE);
    EXPECT_EQ(child->GetActiveView(), first);

    // A second split is refused: the update disables the command.
    m_main->SendMessage(WM_COMMAND, ID_WINDOW_SPLIT);
    EXPECT_EQ(splitter.GetRowCount(), 2);
}

TEST_F(FrameworkTest, DraggingTheBarPastTheMinimumUnsplits) {
    TestDoc* doc = NewDocument();
    ASSERT_NE(doc, nullptr);
    TestChildFrame* child = ActiveChild(m_main);
    CSplitterWnd& splitter = child->m_splitter;
    RECT rc;
    splitter.GetClientRect(&rc);
    ASSERT_GT(rc.bottom, 60);

    // Dragging the split box (grabbed at its top edge) down splits at the drop point.
    Drag(&splitter, 0, 40);
    ASSERT_EQ(splitter.GetRowCount(), 2);
    EXPECT_EQ(splitter.GetSplitRowHeight(), 40);
    ASSERT_EQ(doc->GetViews().size(), 2u);
    CView* second = doc->GetViews()[1];
    m_main->SendMessage(WM_COMMAND, ID_NEXT_PANE);
    EXPECT_EQ(child->GetActiveView(), second);

    // Moving the bar keeps both panes.
    Drag(&splitter, 40, 30);
    EXPECT_EQ(splitter.GetRowCount(), 2);
    EXPECT_EQ(splitter.GetSplitRowHeight(), 30);

    // Past the minimum at the top: the first pane goes, the second becomes the first.
    Drag(&splitter, 30, 3);
    Pump();
    EXPECT_EQ(splitter.GetRowCount(), 1);
    ASSERT_EQ(doc->GetViews().size(), 1u);
    EXPECT_EQ(doc->GetViews()[0], second);
    EXPECT_EQ(second->GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
    EXPECT_EQ(child->GetActiveView(), second);
    EXPECT_EQ(App().GetOpenDocumentCount(), 1); // the document stays open
}
