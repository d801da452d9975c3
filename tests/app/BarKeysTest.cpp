// Keys pressed in a window of a bar, posted to the focused window and taken through the main
// frame's message loop as the system delivers them: the output pane and the edit fields of
// the bars keep the editing keys (delete, the clipboard, undo, select all) and act on them
// themselves, and the document behind them is left as it was. Layer: tests of app/.
#include "tests/app/TextViewFixture.h"

#include "app/TextEditDoc.h"
#include "tools/OutputPane.h"
#include "workspace/WorkspaceBar.h"
#include "workspace/WsbFileTree.h"

#include <windows.h>

using viewtest::TextViewTest;
using viewtest::TheApp;

namespace {

std::string ClipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr))
        return "(no clipboard)";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(GlobalLock(data))) {
            text = p;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

std::string WindowText(HWND wnd) {
    char text[512] = "";
    GetWindowTextA(wnd, text, sizeof text);
    return text;
}

class BarKeysTest : public TextViewTest {
protected:
    void SetUp() override {
        TextViewTest::SetUp();
        m_frame = AppMainFrame();
        Type("hello world");
        Select(FxTextPos{0, 0}, FxTextPos{5, 0});
        ASSERT_EQ(Selected(), "hello");
    }
    void TearDown() override {
        SetControl(false);
        TextViewTest::TearDown();
    }
    static void SetControl(bool down) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = keys[VK_LCONTROL] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }
    // One press and release of the key, with Ctrl held when asked, to the focused window.
    static void Press(UINT vk, bool ctrl = false) {
        SetControl(ctrl);
        HWND focus = GetFocus();
        PostMessageA(focus, WM_KEYDOWN, vk, 1);
        PostMessageA(focus, WM_KEYUP, vk, 0xC0000001);
        TheApp().PumpPendingMessages();
        SetControl(false);
    }
    // The output pane of key 3 with two lines, shown and focused.
    OutputPane* FocusedPane() {
        m_frame->OutputWnd().PaneForKey(3);
        m_frame->ShowControlBar(&m_frame->OutputBar(), true, false);
        OutputPane* pane = m_frame->OutputWnd().GetPane(3);
        if (!pane)
            return nullptr;
        pane->Clear();
        const char text[] = "first line\r\nsecond line";
        pane->Append(text, sizeof text - 1);
        ::SetFocus(pane->m_hWnd);
        TheApp().PumpPendingMessages();
        return pane;
    }
    // The document as the fixture left it: text and selection.
    void ExpectDocumentUntouched() {
        EXPECT_EQ(Text(), "hello world");
        EXPECT_EQ(Selected(), "hello");
    }

    CAppMainFrame* m_frame = nullptr;
};

} // namespace

TEST_F(BarKeysTest, OutputPaneCopiesAndSelectsItsOwnText) {
    OutputPane* pane = FocusedPane();
    ASSERT_NE(pane, nullptr);
    ASSERT_EQ(GetFocus(), pane->m_hWnd);
    Press('A', true);
    EXPECT_TRUE(pane->HasSelection());
    EXPECT_EQ(pane->GetSelectedText(), "first line\r\nsecond line");
    ASSERT_TRUE(PutClipboardText("before"));
    Press('C', true);
    EXPECT_EQ(ClipboardText(), "first line\r\nsecond line");
    ExpectDocumentUntouched();
    EXPECT_EQ(GetFocus(), pane->m_hWnd);
}

TEST_F(BarKeysTest, OutputPaneKeepsDeletePasteAndUndoFromTheDocument) {
    OutputPane* pane = FocusedPane();
    ASSERT_NE(pane, nullptr);
    ASSERT_TRUE(PutClipboardText("pasted"));
    Press(VK_DELETE);
    ExpectDocumentUntouched();
    Press('V', true);
    ExpectDocumentUntouched();
    Press('X', true);
    ExpectDocumentUntouched();
    EXPECT_EQ(ClipboardText(), "pasted");
    Press('Z', true);
    ExpectDocumentUntouched();
    Press(VK_BACK);
    ExpectDocumentUntouched();
    // The read-only pane keeps its text.
    EXPECT_EQ(pane->LineText(0), "first line");
    EXPECT_EQ(pane->LineText(1), "second line");
    EXPECT_EQ(GetFocus(), pane->m_hWnd);
}

TEST_F(BarKeysTest, AnEditFieldInABarEditsItselfNotTheDocument) {
    m_frame->ShowWorkspacePage(CWorkspaceBar::kFileTreePage);
    TheApp().PumpPendingMessages();
    CWsbFileTree& tree = m_frame->WorkspaceBar().FileTree();
    ASSERT_NE(tree.m_hWnd, nullptr);
    HWND edit = FindWindowExA(tree.FilterBox().m_hWnd, nullptr, "Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    SetWindowTextA(edit, "*.txt");
    ::SetFocus(edit);
    TheApp().PumpPendingMessages();
    ASSERT_EQ(GetFocus(), edit);

    SendMessageA(edit, EM_SETSEL, 2, 5);
    ASSERT_TRUE(PutClipboardText("before"));
    Press('C', true);
    EXPECT_EQ(ClipboardText(), "txt");
    ExpectDocumentUntouched();

    Press(VK_DELETE);
    EXPECT_EQ(WindowText(edit), "*.");
    ExpectDocumentUntouched();

    ASSERT_TRUE(PutClipboardText("cpp"));
    Press('V', true);
    EXPECT_EQ(WindowText(edit), "*.cpp");
    ExpectDocumentUntouched();

    Press(VK_BACK);
    EXPECT_EQ(WindowText(edit), "*.cp");
    ExpectDocumentUntouched();

    Press('Z', true);
    EXPECT_NE(WindowText(edit), "*.cp") << "the field undid its own change";
    ExpectDocumentUntouched();
}

TEST_F(BarKeysTest, TheDocumentStillTakesItsKeysWhenItsViewHasTheFocus) {
    // The same keys in the view keep editing the document.
    FocusedPane();
    ::SetFocus(m_view->m_hWnd);
    TheApp().PumpPendingMessages();
    ASSERT_EQ(GetFocus(), m_view->m_hWnd);
    ASSERT_TRUE(PutClipboardText("before"));
    Press('C', true);
    EXPECT_EQ(ClipboardText(), "hello");
    Press(VK_DELETE);
    EXPECT_EQ(Text(), " world");
    Press('Z', true);
    EXPECT_EQ(Text(), "hello world");
}

TEST_F(BarKeysTest, KeysThatAreNotEditingKeysStillReachTheFrame) {
    // Ctrl+N in the output pane still makes a new document.
    FocusedPane();
    const size_t before = m_frame->TextDocuments().size();
    Press('N', true);
    const std::vector<CTextEditDoc*> docs = m_frame->TextDocuments();
    EXPECT_EQ(docs.size(), before + 1);
    if (docs.size() == before + 1) {
        CTextEditDoc* added = docs.back();
        added->SetModifiedFlag(false);
        added->OnCloseDocument();
        TheApp().PumpPendingMessages();
    }
}
