// The main frame in this process: automatic pasting through the clipboard viewer chain (the
// command of the view, the append with its separating lines and bookmark as one undo step,
// read-only targets, closing the target), the drive notices handed to the file tree, status
// prompts, tool tips and help.
#include "app/App.h"
#include "app/AppMainFrame.h"
#include "app/CommandIds.h"
#include "app/TextEditDoc.h"
#include "app/TextEditView.h"
#include "settings/SettingsStore.h"
#include "framework/CmdUI.h"
#include "framework/FwIds.h"
#include "framework/MDIChildWnd.h"

#include "tests/app/AppTestUtil.h"

#include <gtest/gtest.h>

#include <dbt.h>

#include <commctrl.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

CApp& TheApp() {
    static CApp* app = new CApp; // lives to the end of the process
    return *app;
}

// Enabled and checked states of a command as its update handler leaves them.
class StateCmdUI : public CCmdUI {
public:
    void Enable(bool on = true) override { enabled = on; }
    void SetCheck(int check = 1) override { checked = check; }
    bool enabled = false;
    int checked = -1;
};

class MainFrameTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(StartInProcessApp(TheApp())); }
    static void TearDownTestSuite() { StopInProcessApp(TheApp()); }
    void SetUp() override {
        m_frame = AppMainFrame();
        ASSERT_NE(m_frame, nullptr);
        m_view = NewDocument();
        ASSERT_NE(m_view, nullptr);
    }
    void TearDown() override {
        for (CTextEditDoc* doc : m_frame->TextDocuments()) {
            doc->SetModifiedFlag(false);
            doc->SetReadOnly(false);
        }
        TheApp().CloseAllDocuments(false);
        Pump();
    }
    static void Pump() {
        // The clipboard's notices come through the server: give them a moment.
        for (int i = 0; i < 5; ++i) {
            TheApp().PumpPendingMessages();
            Sleep(20);
        }
        TheApp().PumpPendingMessages();
    }
    CTextEditView* NewDocument() {
        m_frame->SendMessage(WM_COMMAND, ID_FILE_NEW);
        Pump();
        CMDIChildWnd* child = m_frame->MDIGetActive();
        return child ? DynamicDowncast<CTextEditView>(child->GetActiveView()) : nullptr;
    }
    static std::string Text(CTextEditView* view) { return DocumentText(view->GetEditDoc()); }
    static StateCmdUI AutoPasteState(CTextEditView* view) {
        StateCmdUI state;
        state.m_nID = ID_DOC_AUTO_PASTE;
        view->OnUpdateDocAutoPaste(&state);
        return state;
    }

    CAppMainFrame* m_frame = nullptr;
    CTextEditView* m_view = nullptr;
};

} // namespace

TEST_F(MainFrameTest, TheCommandTogglesTheTargetAndTheChain) {
    ASSERT_TRUE(PutClipboardText("already there"));
    Pump();
    StateCmdUI off = AutoPasteState(m_view);
    EXPECT_TRUE(off.enabled);
    EXPECT_EQ(off.checked, 0);

    m_view->SendMessage(WM_COMMAND, ID_DOC_AUTO_PASTE);
    Pump();
    EXPECT_EQ(m_frame->AutoPasteTarget(), m_view->GetTextDoc());
    EXPECT_TRUE(m_frame->IsClipboardViewer());
    EXPECT_EQ(GetClipboardViewer(), m_frame->m_hWnd);
    StateCmdUI on = AutoPasteState(m_view);
    EXPECT_TRUE(on.enabled);
    EXPECT_EQ(on.checked, 1);
    // Turning it on takes nothing from the clipboard as it was: neither the notice that
    // joining the chain sends on some systems nor a repeat of it.
    m_frame->SendMessage(WM_DRAWCLIPBOARD, 0, 0);
    m_frame->SendMessage(WM_DRAWCLIPBOARD, 0, 0);
    Pump();
    EXPECT_EQ(Text(m_view), "");
    EXPECT_FALSE(m_view->GetEditDoc()->CanUndo());

    // Another document cannot take the watch while this one has it.
    CTextEditView* other = NewDocument();
    ASSERT_NE(other, nullptr);
    StateCmdUI otherState = AutoPasteState(other);
    EXPECT_FALSE(otherState.enabled);
    EXPECT_EQ(otherState.checked, 0);

    m_view->SendMessage(WM_COMMAND, ID_DOC_AUTO_PASTE);
    Pump();
    EXPECT_EQ(m_frame->AutoPasteTarget(), nullptr);
    EXPECT_FALSE(m_frame->IsClipboardViewer());
    EXPECT_NE(GetClipboardViewer(), m_frame->m_hWnd);
    EXPECT_TRUE(AutoPasteState(other).enabled);
    ASSERT_TRUE(PutClipboardText("after"));
    Pump();
    EXPECT_EQ(Text(m_view), "");
}

TEST_F(MainFrameTest, NewClipboardTextIsAppendedAfterAnEmptyLineInOneUndoStep) {
    m_view->InsertChars("top", 3);
    m_view->SendMessage(WM_COMMAND, ID_DOC_AUTO_PASTE);
    Pump();
    ASSERT_TRUE(PutClipboardText("one\r\ntwo"));
    Pump();
    CFxEditDoc* doc = m_view->GetEditDoc();
    // The last line held text: two breaks.
    EXPECT_EQ(Text(m_view), "top\n\none\ntwo");
    EXPECT_EQ(m_view->NextBookmarkAfter(0), 2);
    EXPECT_EQ(m_view->NextBookmarkAfter(2), -1);
    EXPECT_EQ(doc->BookmarkCount(), 1);
    EXPECT_EQ(m_view->LogicalCaret().line, 3);
    EXPECT_EQ(m_view->LogicalCaret().col, 3);
    EXPECT_EQ(doc->GetUndoAction(), FxUndoPaste);
    // The first change after joining counts even where joining sent no notice; a repeated
    // notice of the same change pastes nothing more.
    m_frame->SendMessage(WM_DRAWCLIPBOARD, 0, 0);
    EXPECT_EQ(Text(m_view), "top\n\none\ntwo");

    // End the document with an empty line.
    m_view->GoToPos(FxTextPos(3, 3));
    m_view->InsertChars("\r\n", 2);
    ASSERT_EQ(Text(m_view), "top\n\none\ntwo\n");
    ASSERT_TRUE(PutClipboardText("three"));
    Pump();
    // An empty last line: one break.
    EXPECT_EQ(Text(m_view), "top\n\none\ntwo\n\nthree");
    EXPECT_EQ(m_view->NextBookmarkAfter(2), 5);
    EXPECT_EQ(doc->BookmarkCount(), 2);

    // Each paste goes back in one step, bookmark and all.
    m_view->SendMessage(WM_COMMAND, ID_EDIT_UNDO);
    EXPECT_EQ(Text(m_view), "top\n\none\ntwo\n");
    EXPECT_EQ(doc->BookmarkCount(), 1);
    m_view->SendMessage(WM_COMMAND, ID_EDIT_UNDO); // the line break
    m_view->SendMessage(WM_COMMAND, ID_EDIT_UNDO);
    EXPECT_EQ(Text(m_view), "top");
    EXPECT_EQ(doc->BookmarkCount(), 0);
}

TEST_F(MainFrameTest, AnEmptyDocumentGetsOneBreakFirst) {
    m_view->SendMessage(WM_COMMAND, ID_DOC_AUTO_PASTE);
    Pump();
    ASSERT_TRUE(PutClipboardText("x"));
    Pump();
    EXPECT_EQ(Text(m_view), "\nx");
    EXPECT_EQ(m_view->NextBookmarkAfter(0), 1);
}

TEST_F(MainFrameTest, TheTargetTakesTheTextEvenWhenAnotherDocumentIsActive) {
    m_view->SendMessage(WM_COMMAND, ID_DOC_AUTO_PASTE);
    Pump();
    CTextEditView* other = NewDocument();
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(PutClipboardText("here"));
    Pump();
    EXPECT_EQ(Text(m_view), "\nhere");
    EXPECT_EQ(Text(other), "");
}

TEST_F(MainFrameTest, AReadOnlyTargetTakesNothingAndSaysSo) {
    m_view->InsertChars("keep", 4);
    m_view->SendMessage(WM_COMMAND, ID_DOC_AUTO_PASTE);
    Pump();
    m_view->GetEditDoc()->SetReadOnly(true);
    m_frame->StatusBar().SetPaneText(0, "");
    ASSERT_TRUE(PutClipboardText("refused"));
    Pump();
    EXPECT_EQ(Text(m_view), "keep");
    EXPECT_EQ(m_view->GetEditDoc()->BookmarkCount(), 0);
    EXPECT_STREQ(m_frame->StatusBar().GetPaneText(0), "只读文档不能修改");
}

TEST_F(MainFrameTest, ClosingTheTargetTurnsAutomaticPasteOff) {
    CTextEditView* other = NewDocument();
    ASSERT_NE(other, nullptr);
    m_view->SendMessage(WM_COMMAND, ID_DOC_AUTO_PASTE);
    Pump();
    ASSERT_TRUE(m_frame->IsClipboardViewer());
    // Closing another document changes nothing.
    other->GetParentFrame()->SendMessage(WM_COMMAND, ID_FILE_CLOSE);
    Pump();
    EXPECT_EQ(m_frame->AutoPasteTarget(), m_view->GetTextDoc());
    m_view->GetParentFrame()->SendMessage(WM_COMMAND, ID_FILE_CLOSE);
    Pump();
    EXPECT_EQ(m_frame->AutoPasteTarget(), nullptr);
    EXPECT_FALSE(m_frame->IsClipboardViewer());
    EXPECT_NE(GetClipboardViewer(), m_frame->m_hWnd);
    // Nothing is pasted anywhere after that.
    ASSERT_TRUE(PutClipboardText("gone"));
    Pump();
    m_view = NewDocument();
    ASSERT_NE(m_view, nullptr);
    EXPECT_EQ(Text(m_view), "");
}

namespace {

// A viewer after the frame in the chain: it counts the notices passed on to it.
int g_laterViewerNotices = 0;
HWND g_laterViewerNext = nullptr;

LRESULT CALLBACK LaterViewerProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DRAWCLIPBOARD) {
        ++g_laterViewerNotices;
        if (g_laterViewerNext)
            SendMessageA(g_laterViewerNext, msg, wp, lp);
        return 0;
    }
    if (msg == WM_CHANGECBCHAIN) {
        if (reinterpret_cast<HWND>(wp) == g_laterViewerNext)
            g_laterViewerNext = reinterpret_cast<HWND>(lp);
        else if (g_laterViewerNext)
            SendMessageA(g_laterViewerNext, msg, wp, lp);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

} // namespace

TEST_F(MainFrameTest, NoticesArePassedOnAndTheChainStaysWhole) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = LaterViewerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "QvLaterViewer";
    RegisterClassA(&wc);
    HWND later = CreateWindowA("QvLaterViewer", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                               wc.hInstance, nullptr);
    ASSERT_NE(later, nullptr);
    g_laterViewerNext = SetClipboardViewer(later);
    Pump();

    // The frame joins in front of it.
    m_view->SendMessage(WM_COMMAND, ID_DOC_AUTO_PASTE);
    Pump();
    g_laterViewerNotices = 0;
    ASSERT_TRUE(PutClipboardText("a"));
    Pump();
    EXPECT_EQ(Text(m_view), "\na");
    EXPECT_GE(g_laterViewerNotices, 1) << "the notice was not passed on";

    // The later viewer leaves: the frame learns its successor and the chain still works.
    ChangeClipboardChain(later, g_laterViewerNext);
    Pump();
    g_laterViewerNotices = 0;
    ASSERT_TRUE(PutClipboardText("b"));
    Pump();
    EXPECT_EQ(Text(m_view), "\na\n\nb");
    EXPECT_EQ(g_laterViewerNotices, 0);
    DestroyWindow(later);
}

namespace {

struct FakeFileTree : IFileTreeDrives {
    HWND window = nullptr;
    HWND DriveTreeWindow() const override { return window; }
};

LRESULT SendDeviceChange(CAppMainFrame* frame, UINT event, DWORD type) {
    DEV_BROADCAST_HDR header = {};
    header.dbch_size = sizeof header;
    header.dbch_devicetype = type;
    return frame->SendMessage(WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&header));
}

// KillTimer succeeds only on a timer that runs: it tells whether the frame started it.
bool TakeDriveTimer(HWND wnd) {
    return KillTimer(wnd, IFileTreeDrives::kDriveTimer) != FALSE;
}

} // namespace

TEST_F(MainFrameTest, AVolumeComingOrGoingStartsTheFileTreesDriveTimer) {
    EXPECT_TRUE(CAppMainFrame::IsVolumeChange(DBT_DEVICEARRIVAL, 0) == false);
    HWND tree = CreateWindowA("STATIC", "", WS_CHILD, 0, 0, 1, 1, m_frame->m_hWnd, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(tree, nullptr);

    // Without a file tree nothing happens, and the message is still answered.
    EXPECT_EQ(SendDeviceChange(m_frame, DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME), TRUE);
    EXPECT_FALSE(TakeDriveTimer(tree));

    FakeFileTree fake;
    m_frame->SetFileTreeDrives(&fake);
    // A tree whose window does not exist yet: nothing.
    SendDeviceChange(m_frame, DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME);
    EXPECT_FALSE(TakeDriveTimer(tree));

    fake.window = tree;
    SendDeviceChange(m_frame, DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME);
    EXPECT_TRUE(TakeDriveTimer(tree));
    SendDeviceChange(m_frame, DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_VOLUME);
    EXPECT_TRUE(TakeDriveTimer(tree));
    // Other events, and devices that are not volumes, leave the drives alone.
    SendDeviceChange(m_frame, DBT_DEVICEQUERYREMOVE, DBT_DEVTYP_VOLUME);
    EXPECT_FALSE(TakeDriveTimer(tree));
    SendDeviceChange(m_frame, DBT_DEVICEARRIVAL, DBT_DEVTYP_OEM);
    EXPECT_FALSE(TakeDriveTimer(tree));
    SendDeviceChange(m_frame, DBT_DEVICEARRIVAL, DBT_DEVTYP_DEVICEINTERFACE);
    EXPECT_FALSE(TakeDriveTimer(tree));
    m_frame->SendMessage(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
    EXPECT_FALSE(TakeDriveTimer(tree));

    // The timer fires after about a second.
    SendDeviceChange(m_frame, DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME);
    MSG msg;
    DWORD start = GetTickCount();
    bool fired = false;
    while (!fired && GetTickCount() - start < 3000) {
        if (PeekMessageA(&msg, tree, WM_TIMER, WM_TIMER, PM_REMOVE))
            fired = msg.wParam == IFileTreeDrives::kDriveTimer;
        else
            Sleep(20);
    }
    EXPECT_TRUE(fired);
    EXPECT_GE(GetTickCount() - start, 900u);
    KillTimer(tree, IFileTreeDrives::kDriveTimer);

    m_frame->SetFileTreeDrives(nullptr);
    DestroyWindow(tree);
}

TEST_F(MainFrameTest, StatusPromptsOfToolsDateFormatsAndFileTypes) {
    std::string expected, prompt;
    m_frame->GetMessageString(35242, expected);
    m_frame->GetMessageString(41472, prompt);
    EXPECT_EQ(prompt, expected);
    m_frame->GetMessageString(41727, prompt);
    EXPECT_EQ(prompt, expected);
    m_frame->GetMessageString(35320, expected);
    m_frame->GetMessageString(41730, prompt);
    EXPECT_EQ(prompt, expected);
    // An ordinary command: the first line of its string.
    m_frame->GetMessageString(ID_DOC_AUTO_PASTE, prompt);
    EXPECT_EQ(prompt, "将剪贴板中新出现的文本自动粘贴到当前文档的末尾");

    CLstUserToolInfo& tools = AppSettings()->Tools();
    const CLstUserToolInfo kept = tools;
    tools.clear();
    UserToolInfo tool;
    tool.name = "Build";
    tool.command = "C:\\tools\\make.exe";
    tools.push_back(tool);
    m_frame->GetMessageString(40960, prompt);
    EXPECT_EQ(prompt, "C:\\tools\\make.exe");
    m_frame->GetMessageString(40961, prompt);
    EXPECT_EQ(prompt, "");
    tools = kept;
}

TEST_F(MainFrameTest, TheSwitchBarNamesADocumentByItsWholeFileName) {
    CTextEditDoc doc;
    doc.m_bAutoDelete = false;
    doc.SetPathName("C:\\nowhere\\\x81\x5C.txt", false); // "乗": 81 5C
    EXPECT_EQ(CAppMainFrame::DocumentTabLabel(&doc), "\x81\x5C.txt");
    doc.SetPathName("C:\\\x81\x5C\\\x81\x5C", false);
    EXPECT_EQ(CAppMainFrame::DocumentTabLabel(&doc), "\x81\x5C");
}

TEST_F(MainFrameTest, SearchCommandsPromptWithTheirOwnTexts) {
    const struct {
        UINT id;
        const char* prompt;
    } kPrompts[] = {
        {35420, "查找指定的正文"},
        {35421, "用不同的正文替换指定的正文"},
        {35422, "查找下一个"},
        {35423, "查找上一个"},
        {35424, "在文件中查找指定的正文"},
        {35425, "在文件中替换指定的正文"},
    };
    HMENU menu = GetMenu(m_frame->m_hWnd);
    for (const auto& p : kPrompts) {
        std::string prompt;
        m_frame->GetMessageString(p.id, prompt);
        EXPECT_EQ(prompt, p.prompt) << p.id;
        // Highlighting the item shows the prompt in the status bar.
        m_frame->SendMessage(WM_MENUSELECT, MAKEWPARAM(p.id, MF_STRING),
                             reinterpret_cast<LPARAM>(menu));
        EXPECT_STREQ(m_frame->StatusBar().GetPaneText(0), p.prompt) << p.id;
    }
    m_frame->SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
}

TEST_F(MainFrameTest, ToolTipsNameTheNextUndoAndRedo) {
    HWND tip = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    auto ask = [&](UINT id, bool wide) {
        NMTTDISPINFOW w = {};
        NMTTDISPINFOA& a = reinterpret_cast<NMTTDISPINFOA&>(w);
        w.hdr.hwndFrom = tip;
        w.hdr.idFrom = id;
        w.hdr.code = wide ? TTN_NEEDTEXTW : TTN_NEEDTEXTA;
        m_frame->SendMessage(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&w));
        if (!wide)
            return std::string(a.szText);
        char text[160] = "";
        WideCharToMultiByte(CP_ACP, 0, w.szText, -1, text, sizeof text, nullptr, nullptr);
        return std::string(text);
    };
    m_view->InsertChars("ab", 2);
    EXPECT_EQ(ask(ID_EDIT_UNDO, false), m_frame->UndoName(false));
    EXPECT_NE(ask(ID_EDIT_UNDO, false), "撤消");
    EXPECT_EQ(ask(ID_EDIT_UNDO, true), m_frame->UndoName(false));
    EXPECT_EQ(ask(ID_EDIT_REDO, false), "无法恢复");
    m_view->SendMessage(WM_COMMAND, ID_EDIT_UNDO);
    EXPECT_EQ(ask(ID_EDIT_REDO, true), m_frame->UndoName(true));
    EXPECT_NE(ask(ID_EDIT_REDO, true), "无法恢复");
    // Other buttons: the text after the first line break of the command's string.
    EXPECT_EQ(ask(ID_DOC_AUTO_PASTE, false), "自动粘贴");
    EXPECT_EQ(ask(ID_DOC_AUTO_PASTE, true), "自动粘贴");
    DestroyWindow(tip);
}

namespace {

struct HelpCall {
    HWND owner;
    std::string file;
    UINT command;
    DWORD_PTR data;
};
std::vector<HelpCall> g_helpCalls;

HWND WINAPI RecordHelp(HWND owner, const char* file, UINT command, DWORD_PTR data) {
    g_helpCalls.push_back({owner, file, command, data});
    return nullptr;
}

} // namespace

TEST_F(MainFrameTest, HelpOpensTheTopicOfItsKeyAndControlPopups) {
    CApp& app = TheApp();
    const std::string help = app.m_strHelpFilePath;
    ASSERT_FALSE(help.empty());
    CApp::HelpViewer previous = CApp::SetHelpViewer(RecordHelp);
    g_helpCalls.clear();

    // Without the help file nothing happens.
    DeleteFileA(help.c_str());
    app.WinHelp(420);
    EXPECT_TRUE(g_helpCalls.empty());

    { std::ofstream(help, std::ios::binary) << "chm"; }
    app.WinHelp(420); // the find dialog
    ASSERT_EQ(g_helpCalls.size(), 1u);
    EXPECT_EQ(g_helpCalls[0].command, 0x000Fu);
    EXPECT_EQ(g_helpCalls[0].data, 1230u);
    EXPECT_EQ(g_helpCalls[0].file, help);
    EXPECT_EQ(g_helpCalls[0].owner, GetDesktopWindow());
    app.WinHelp(12345); // any other key
    app.WinHelp(ID_HELP_TEMPLATE_RULES);
    app.WinHelp(405);
    ASSERT_EQ(g_helpCalls.size(), 4u);
    EXPECT_EQ(g_helpCalls[1].data, 1000u);
    EXPECT_EQ(g_helpCalls[2].data, 1002u);
    EXPECT_EQ(g_helpCalls[3].data, 1204u);
    app.WinHelp(0);
    app.WinHelp(420, HELP_QUIT);
    EXPECT_EQ(g_helpCalls.size(), 4u);
    // The menu commands: help topics for the frame, the template rules topic.
    m_frame->SendMessage(WM_COMMAND, ID_HELP_TEMPLATE_RULES);
    ASSERT_EQ(g_helpCalls.size(), 5u);
    EXPECT_EQ(g_helpCalls[4].data, 1002u);

    // Control popups from the text file inside the help file.
    HWND box = CreateWindowA("EDIT", "", WS_CHILD, 0, 0, 10, 10, m_frame->m_hWnd,
                             reinterpret_cast<HMENU>(3219), GetModuleHandleA(nullptr), nullptr);
    g_helpCalls.clear();
    EXPECT_TRUE(app.ShowControlHelp(box, static_cast<DWORD>(-1)));
    ASSERT_EQ(g_helpCalls.size(), 1u);
    EXPECT_EQ(g_helpCalls[0].file, help + "::/Help.txt");
    EXPECT_EQ(g_helpCalls[0].command, 0x0011u);
    const DWORD* pairs = reinterpret_cast<const DWORD*>(g_helpCalls[0].data);
    bool listed = false;
    for (size_t i = 0; pairs[i] != 0; i += 2)
        listed = listed || (pairs[i] == 3219 && pairs[i + 1] == 4208);
    EXPECT_TRUE(listed);
    EXPECT_EQ(CApp::ControlHelpTextOf(3000), 2100u);
    EXPECT_EQ(CApp::ControlHelpTextOf(3003), 2200u);
    EXPECT_EQ(CApp::ControlHelpTextOf(3002), 2201u);
    EXPECT_EQ(CApp::ControlHelpTextOf(4711), 0u);
    // A key that is no control of the table: nothing.
    EXPECT_FALSE(app.ShowControlHelp(box, 4711));
    EXPECT_EQ(g_helpCalls.size(), 1u);
    DestroyWindow(box);

    DeleteFileA(help.c_str());
    CApp::SetHelpViewer(previous);
}

namespace {

struct AppendSeen {
    WPARAM length;
    std::string text;
};
std::vector<AppendSeen> g_appends;

LRESULT CALLBACK PaneProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == IOutputPanes::kAppendMessage) {
        g_appends.push_back({wp, std::string(reinterpret_cast<const char*>(lp), wp)});
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

struct FakePanes : IOutputPanes {
    HWND panes[5] = {};
    int shown = 0;
    std::vector<HWND> cleared;
    HWND PaneForKey(int key) override { return panes[key]; }
    void ShowOutputBar() override { ++shown; }
    void ClearPane(HWND pane) override { cleared.push_back(pane); }
};

} // namespace

TEST_F(MainFrameTest, OutputChannelsFallBackWithinTheirGroupAndSendTextToTheirPane) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PaneProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "QvFakePane";
    RegisterClassA(&wc);
    FakePanes fake;
    for (int key = 1; key <= 4; ++key)
        fake.panes[key] = CreateWindowA("QvFakePane", "", WS_CHILD, 0, 0, 1, 1, m_frame->m_hWnd,
                                        nullptr, wc.hInstance, nullptr);
    m_frame->SetOutputPanes(&fake);

    EXPECT_EQ(m_frame->AcquireOutputChannel(0), nullptr);
    EXPECT_EQ(m_frame->AcquireOutputChannel(5), nullptr);
    EXPECT_TRUE(m_frame->HasFreeOutputChannel(3));
    CAppMainFrame::OutputChannel* a = m_frame->AcquireOutputChannel(4);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->key, 4);
    EXPECT_EQ(a->pane, fake.panes[4]);
    EXPECT_EQ(fake.shown, 1);
    // Busy: the other slot of the group, then none; the capture group is not touched.
    CAppMainFrame::OutputChannel* b = m_frame->AcquireOutputChannel(4);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->key, 3);
    EXPECT_FALSE(m_frame->HasFreeOutputChannel(3));
    EXPECT_TRUE(m_frame->HasFreeOutputChannel(1));
    EXPECT_EQ(m_frame->AcquireOutputChannel(3), nullptr);
    CAppMainFrame::OutputChannel* c = m_frame->AcquireOutputChannel(2);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->key, 2);

    g_appends.clear();
    m_frame->AppendOutput(a, "found\r\n");
    m_frame->AppendOutput(c, "captured text", 8);
    ASSERT_EQ(g_appends.size(), 2u);
    EXPECT_EQ(g_appends[0].length, 7u);
    EXPECT_EQ(g_appends[0].text, "found\r\n");
    EXPECT_EQ(g_appends[1].text, "captured");
    CAppMainFrame::OutputChannel stranger;
    stranger.pane = fake.panes[1];
    m_frame->AppendOutput(&stranger, "no");
    EXPECT_EQ(g_appends.size(), 2u);
    m_frame->ClearOutput(b);
    ASSERT_EQ(fake.cleared.size(), 1u);
    EXPECT_EQ(fake.cleared[0], fake.panes[3]);

    m_frame->ReleaseOutputChannel(a);
    EXPECT_TRUE(m_frame->HasFreeOutputChannel(4));
    CAppMainFrame::OutputChannel* d = m_frame->AcquireOutputChannel(3);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->key, 4);
    for (CAppMainFrame::OutputChannel* ch : {b, c, d})
        m_frame->ReleaseOutputChannel(ch);
    m_frame->SetOutputPanes(nullptr);
    for (int key = 1; key <= 4; ++key)
        DestroyWindow(fake.panes[key]);
}
