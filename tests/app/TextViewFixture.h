// The fixture of the text view's command tests: the application object started in this
// process, a new document through File > New for each case, WM_COMMAND sent to its view, and
// message boxes answered by a hook that records them. Layer: tests of app/.
#pragma once

#include "app/App.h"
#include "app/AppMainFrame.h"
#include "app/CommandIds.h"
#include "app/TextEditView.h"
#include "settings/SettingsStore.h"
#include "framework/CmdUI.h"
#include "framework/FwIds.h"
#include "framework/MDIChildWnd.h"
#include "framework/MessageBox.h"

#include "tests/app/AppTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace viewtest {

// The message boxes shown, with their MB_ flags, and the button that answers the next ones.
inline std::vector<std::string> g_boxes;
inline std::vector<UINT> g_boxTypes;
inline int g_answer = IDOK;
inline int g_beeps = 0;

inline void CountBeep(UINT) {
    ++g_beeps;
}

inline int AnswerBox(const char* text, const char*, UINT type) {
    g_boxes.push_back(text);
    g_boxTypes.push_back(type);
    return g_answer;
}

inline CApp& TheApp() {
    static CApp* app = new CApp; // lives to the end of the process
    return *app;
}

class TextViewTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(StartInProcessApp(TheApp()));
        AfxSetMessageBoxHook(AnswerBox);
    }
    static void TearDownTestSuite() {
        AfxSetMessageBoxHook(nullptr);
        StopInProcessApp(TheApp());
    }
    void SetUp() override {
        g_boxes.clear();
        g_boxTypes.clear();
        g_answer = IDOK;
        CAppMainFrame* frame = AppMainFrame();
        ASSERT_NE(frame, nullptr);
        frame->SendMessage(WM_COMMAND, ID_FILE_NEW);
        TheApp().PumpPendingMessages();
        m_child = frame->MDIGetActive();
        ASSERT_NE(m_child, nullptr);
        m_view = DynamicDowncast<CTextEditView>(m_child->GetActiveView());
        ASSERT_NE(m_view, nullptr);
        SearchOptions& o = AppSettings()->Search();
        o = SearchOptions();
        g_beeps = 0;
        CTextEditView::SetBeepHook(CountBeep);
    }
    void TearDown() override {
        CTextEditView::SetBeepHook(nullptr);
        if (m_view && m_view->GetEditDoc()) {
            m_view->GetEditDoc()->SetReadOnly(false);
            m_view->GetEditDoc()->SetModifiedFlag(false);
        }
        if (m_child)
            m_child->SendMessage(WM_COMMAND, ID_FILE_CLOSE);
        TheApp().PumpPendingMessages();
    }
    void Type(const char* text) { m_view->InsertChars(text, static_cast<int32_t>(strlen(text))); }
    void Command(UINT id) { m_view->SendMessage(WM_COMMAND, id); }
    CFxEditDoc* Doc() { return m_view->GetEditDoc(); }
    std::string Text() { return TextOf(Doc()); }
    // The document's logical lines joined by "\n".
    static std::string TextOf(CFxEditDoc* doc) { return DocumentText(doc); }
    std::string Selected() { return m_view->CopySelectionText(FxLineEndDos); }
    void Select(FxTextPos a, FxTextPos b) {
        m_view->GoToPos(a);
        CFxEditDoc* doc = Doc();
        m_view->MoveCaretTo(doc->LogicalToPiecePos(b));
        m_view->SelectRange(doc->LogicalToPiecePos(a));
    }
    void SetBox(HWND dlg, int id, const char* text) {
        SetDlgItemTextA(dlg, id, text);
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, CBN_EDITCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
    }
    // What the command's update handler says: enabled, and checked (1) or not (0).
    struct ItemState {
        bool enabled;
        int check;
    };
    ItemState State(UINT id) {
        CTestCmdUI ui;
        ui.m_nID = id;
        ui.DoUpdate(m_view, true);
        return ItemState{ui.m_bEnabled, ui.m_nCheck};
    }
    std::string StatusText() { return AppMainFrame()->StatusBar().GetPaneText(0); }

    CMDIChildWnd* m_child = nullptr;
    CTextEditView* m_view = nullptr;
};

} // namespace viewtest
