// The find and replace in files commands of the main frame in this process: enabled while a
// find-in-files pane is free, whatever the capture panes do; the folder check of the dialog.
#include "app/App.h"
#include "app/AppMainFrame.h"
#include "app/CommandIds.h"
#include "app/DlgFindInFiles.h"
#include "framework/CmdUI.h"

#include "tests/app/AppTestUtil.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

CApp& TheApp() {
    static CApp* app = new CApp; // lives to the end of the process
    return *app;
}

class EnabledCmdUI : public CCmdUI {
public:
    void Enable(bool on = true) override { enabled = on; }
    bool enabled = false;
};

class FindInFilesCommandTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(StartInProcessApp(TheApp())); }
    static void TearDownTestSuite() { StopInProcessApp(TheApp()); }
    bool Enabled(UINT id) {
        EnabledCmdUI ui;
        ui.m_nID = id;
        AppMainFrame()->OnUpdateFindInFiles(&ui);
        return ui.enabled;
    }
};

} // namespace

TEST_F(FindInFilesCommandTest, EnabledWhileAFindPaneIsFree) {
    CAppMainFrame* frame = AppMainFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(Enabled(ID_SEARCH_FIND_IN_FILES));
    OutputChannel* a = frame->AcquireOutputChannel(3);
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(Enabled(ID_SEARCH_FIND_IN_FILES));
    OutputChannel* b = frame->AcquireOutputChannel(3);
    ASSERT_NE(b, nullptr);
    EXPECT_FALSE(Enabled(ID_SEARCH_FIND_IN_FILES));
    EXPECT_FALSE(Enabled(ID_SEARCH_REPLACE_IN_FILES));
    // The capture panes are another group.
    OutputChannel* c = frame->AcquireOutputChannel(1);
    frame->ReleaseOutputChannel(a);
    EXPECT_TRUE(Enabled(ID_SEARCH_REPLACE_IN_FILES));
    frame->ReleaseOutputChannel(b);
    if (c)
        frame->ReleaseOutputChannel(c);
}

TEST(FindInFilesFolderCheck, ExistingFoldersAndNetworkPaths) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string t = temp; // ends with "\"
    EXPECT_TRUE(CDlgFindInFiles::IsValidFolder(t));
    EXPECT_TRUE(CDlgFindInFiles::IsValidFolder("  " + t + " "));
    EXPECT_TRUE(CDlgFindInFiles::IsValidFolder(t.substr(0, t.size() - 1)));
    EXPECT_TRUE(CDlgFindInFiles::IsValidFolder("\\\\server\\share"));
    EXPECT_FALSE(CDlgFindInFiles::IsValidFolder(t + "no such folder"));
    EXPECT_FALSE(CDlgFindInFiles::IsValidFolder("   "));
    // A file is no folder.
    char file[MAX_PATH];
    GetTempFileNameA(temp, "qv", 0, file);
    EXPECT_FALSE(CDlgFindInFiles::IsValidFolder(file));
    DeleteFileA(file);
    // A trailing trail byte 0x5C is part of its character, not a separator: "乗" is 81 5C.
    const std::string dbcs = t + "qvfif\x81\x5C";
    CreateDirectoryA(dbcs.c_str(), nullptr);
    EXPECT_TRUE(CDlgFindInFiles::IsValidFolder(dbcs));
    RemoveDirectoryA(dbcs.c_str());
}
