// The program's end with a clip text library whose edits cannot be written: the user is told
// and asked, No keeps the program open with the edits, Yes ends it and leaves the file as it was.
#include "app/App.h"
#include "app/AppMainFrame.h"
#include "settings/SettingsStore.h"
#include "workspace/WorkspaceBar.h"
#include "workspace/WsbClipText.h"
#include "framework/MessageBox.h"

#include "tests/app/RestartFixture.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_boxes;
int g_answer = IDNO;

int AnswerBox(const char* text, const char*, UINT) {
    g_boxes.push_back(text);
    return g_answer;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class ClipTextExitTest : public ProgramRestartTest {
protected:
    void SetUp() override { AfxSetMessageBoxHook(AnswerBox); }
    void TearDown() override {
        if (!m_path.empty())
            ::SetFileAttributesA(m_path.c_str(), FILE_ATTRIBUTE_NORMAL);
        ProgramRestartTest::TearDown();
        AfxSetMessageBoxHook(nullptr);
    }
    std::string m_path;
};

} // namespace

TEST_F(ClipTextExitTest, ALibraryThatCannotBeWrittenKeepsTheProgramUnlessTheUserAgrees) {
    CAppMainFrame* frame = Start();
    ASSERT_NE(frame, nullptr);
    // The window's end must not post the quit that would end the other suites' loops.
    m_app->m_bPostQuitOnMainWndDestroy = false;
    frame->ShowWorkspacePage(CWorkspaceBar::kClipTextPage);
    Settle();
    CWsbClipText& clip = frame->WorkspaceBar().ClipText();
    ASSERT_GT(clip.LibraryCount(), 0);
    clip.ChooseLibrary(0);
    CWsbClipText::Library* lib = clip.CurrentLibrary();
    ASSERT_NE(lib, nullptr);
    ASSERT_GT(clip.ItemCount(), 1);
    m_path = lib->path;
    const std::string before = ReadAll(m_path);
    const int items = clip.ItemCount();

    g_answer = IDYES; // the delete's question
    clip.SelectItem(0);
    clip.OnDelete();
    ASSERT_EQ(clip.ItemCount(), items - 1);
    ASSERT_TRUE(::SetFileAttributesA(m_path.c_str(), FILE_ATTRIBUTE_READONLY));

    // Told it could not be written, then asked: No keeps the program and the edits.
    g_boxes.clear();
    g_answer = IDNO;
    frame->SendMessage(WM_CLOSE);
    Settle();
    ASSERT_EQ(g_boxes.size(), 2u);
    ASSERT_NE(AppMainFrame(), nullptr);
    EXPECT_TRUE(::IsWindow(frame->m_hWnd));
    EXPECT_EQ(clip.ItemCount(), items - 1);
    EXPECT_TRUE(clip.CurrentLibrary()->modified);

    // Yes ends the program; the file keeps what it held.
    g_boxes.clear();
    g_answer = IDYES;
    frame->SendMessage(WM_CLOSE);
    Settle();
    EXPECT_EQ(g_boxes.size(), 2u);
    EXPECT_EQ(AppMainFrame(), nullptr);
    EXPECT_EQ(ReadAll(m_path), before);
}
