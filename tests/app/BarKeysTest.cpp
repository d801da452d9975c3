// Keys pressed in a window of a bar, posted to the focused window and taken through the main
// frame's message loop as the system delivers them: the output pane and the edit fields of
// the bars keep the editing keys (delete, the clipboard, undo, select all) and act on them
// themselves, and the document behind them is left as it was. Layer: tests of app/.
#include "app/App.h"
#include "app/AppMainFrame.h"
#include "app/CommandIds.h"
#include "app/TextEditDoc.h"
#include "app/TextEditView.h"
#include "framework/FwIds.h"
#include "framework/MDIChildWnd.h"
#include "tools/OutputPane.h"
#include "workspace/WorkspaceBar.h"
#include "workspace/WsbFileTree.h"

#include "tests/app/AppTestUtil.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// The suite's own application object (the last one made is the one the framework serves).
CApp& TheApp() {
    static CApp* app = new CApp; // lives to the end of the process
    return *app;
}

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

class BarKeysTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(StartInProcessApp(TheApp())); }
    static void TearDownTestSuite() { StopInProcessApp(TheApp()); }
    void SetUp() override {
        m_frame = AppMainFrame();
        ASSERT_NE(m_frame, nullptr);
        m_frame->SendMessage(WM_COMMAND, ID_FILE_NEW);
        TheApp().PumpPendingMessages();
        m_child = m_frame->MDIGetActive();
        ASSERT_NE(m_child, nullptr);
        m_view = DynamicDowncast<CTextEditView>(m_child->GetActiveView());
        ASSERT_NE(m_view, nullptr);
        const char text[] = "hello world";
        m_view->InsertChars(text, static_cast<int32_t>(std::strlen(text)));
        m_view->GoToPos(FxTextPos{0, 0});
        m_view->MoveCaretTo(m_view->GetEditDoc()->LogicalToPiecePos(FxTextPos{5, 0}));
        m_view->SelectRange(m_view->GetEditDoc()->LogicalToPiecePos(FxTextPos{0, 0}));
        ASSERT_EQ(Selected(), "hello");
    }
    void TearDown() override {
        SetControl(false);
        if (m_view && m_view->GetEditDoc())
            m_view->GetEditDoc()->SetModifiedFlag(false);
        if (m_child)
            m_child->SendMessage(WM_COMMAND, ID_FILE_CLOSE);
        TheApp().PumpPendingMessages();
    }
    std::string Text() { return DocumentText(m_view->GetEditDoc()); }
    std::string Selected() { return m_view->CopySelectionText(FxLineEndDos); }
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
    CMDIChildWnd* m_child = nullptr;
    CTextEditView* m_view = nullptr;
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
