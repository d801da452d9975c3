// Document life: open (and re-open of an open file), save, save as, the mirror file on a
// failed write, the save-changes prompt on close, and the recent-file list.
#include "tests/framework/TestApp.h"

#include "common/PathName.h"
#include "framework/MirrorFile.h"
#include "framework/FileException.h"
#include "framework/MultiDocTemplate.h"
#include "framework/RecentFileList.h"
#include "tests/framework/FrameworkTestIds.h"

namespace {

int CountFilesIn(const std::string& folder) {
    int count = 0;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ++count;
    } while (FindNextFileA(find, &fd));
    FindClose(find);
    return count;
}

} // namespace

TEST_F(FrameworkTest, OpenReadsTheFileAndTitlesTheFrame) {
    std::string path = TempPath("中文.tst");
    WriteWholeFile(path, "hello 世界");
    TestDoc* doc = DynamicDowncast<TestDoc>(App().OpenDocumentFile(path.c_str()));
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->m_text, "hello 世界");
    EXPECT_EQ(doc->GetPathName(), path);
    EXPECT_EQ(doc->GetTitle(), "中文.tst");
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(m_main->GetActiveFrame()->GetWindowText(), "中文.tst");
    EXPECT_EQ(m_main->GetActiveDocument(), doc);
    TestView* view = DynamicDowncast<TestView>(doc->GetFirstView());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->m_initialUpdates, 1);
}

// "乗" is 81 5C in code page 936: its second byte has the value of "\".
TEST_F(FrameworkTest, ANameEndingInABackslashTrailByteTitlesTheFrameAndJoinsTheRecentList) {
    std::string ini = TempPath("profile.ini");
    App().m_strProfileName = ini;
    App().LoadStdProfileSettings(4);
    const std::string path = TempPath("\x81\x5C.tst");
    WriteWholeFile(path, "jo");
    TestDoc* doc = DynamicDowncast<TestDoc>(App().OpenDocumentFile(path.c_str()));
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetTitle(), "\x81\x5C.tst");
    EXPECT_EQ(m_main->GetActiveFrame()->GetWindowText(), "\x81\x5C.tst");
    ASSERT_NE(App().m_pRecentFileList, nullptr);
    ASSERT_EQ(App().m_pRecentFileList->GetCount(), 1);
    EXPECT_EQ((*App().m_pRecentFileList)[0], path);
    HMENU file = GetSubMenu(GetMenu(m_main->m_hWnd), 0);
    m_main->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), MAKELPARAM(0, FALSE));
    char text[MAX_PATH + 8] = "";
    GetMenuStringA(file, ID_FILE_MRU_FILE1, text, sizeof text, MF_BYCOMMAND);
    EXPECT_EQ(std::string(text), "&1 " + path);
    delete App().m_pRecentFileList;
    App().m_pRecentFileList = nullptr;
    App().m_strProfileName.clear();
}

TEST_F(FrameworkTest, OpeningAnOpenFileOnlyActivatesIt) {
    std::string a = TempPath("a.tst"), b = TempPath("b.tst");
    WriteWholeFile(a, "A");
    WriteWholeFile(b, "B");
    CDocument* docA = App().OpenDocumentFile(a.c_str());
    CDocument* docB = App().OpenDocumentFile(b.c_str());
    ASSERT_NE(docA, nullptr);
    ASSERT_NE(docB, nullptr);
    EXPECT_EQ(m_main->GetActiveDocument(), docB);
    int deleteCalls = static_cast<TestDoc*>(docA)->m_deleteContentsCalls;
    CDocument* again = App().OpenDocumentFile(a.c_str());
    Pump();
    EXPECT_EQ(again, docA);
    EXPECT_EQ(App().GetOpenDocumentCount(), 2);
    EXPECT_EQ(m_main->GetActiveDocument(), docA);
    // Not read again.
    EXPECT_EQ(static_cast<TestDoc*>(docA)->m_deleteContentsCalls, deleteCalls);
}

TEST_F(FrameworkTest, OpeningAMissingFileReportsItAndLeavesNoDocument) {
    std::string path = TempPath("missing.tst");
    EXPECT_EQ(App().OpenDocumentFile(path.c_str()), nullptr);
    Pump();
    EXPECT_EQ(App().GetOpenDocumentCount(), 0);
    ASSERT_EQ(BoxLog::texts.size(), 1u);
    EXPECT_NE(BoxLog::texts[0].find(path), std::string::npos);
}

TEST_F(FrameworkTest, SaveWritesAndClearsTheModifiedFlag) {
    std::string path = TempPath("save.tst");
    WriteWholeFile(path, "old");
    TestDoc* doc = DynamicDowncast<TestDoc>(App().OpenDocumentFile(path.c_str()));
    ASSERT_NE(doc, nullptr);
    doc->m_text = "new text";
    doc->SetModifiedFlag(true);
    m_main->SendMessage(WM_COMMAND, ID_FILE_SAVE);
    EXPECT_EQ(ReadWholeFile(path), "new text");
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(App().m_prompts, 0);
    EXPECT_EQ(CountFilesIn(FxPathFolder(path)), 1); // no mirror left behind
}

TEST_F(FrameworkTest, SaveOfAnUntitledDocumentProposesTitleWithExtension) {
    TestDoc* doc = NewDocument();
    ASSERT_NE(doc, nullptr);
    doc->m_text = "abc";
    std::string title = doc->GetTitle();
    App().m_promptAnswer = TempPath("named.tst");
    m_main->SendMessage(WM_COMMAND, ID_FILE_SAVE);
    EXPECT_EQ(App().m_prompts, 1);
    EXPECT_EQ(App().m_proposedName, title + ".tst");
    EXPECT_EQ(ReadWholeFile(App().m_promptAnswer), "abc");
    EXPECT_EQ(doc->GetPathName(), App().m_promptAnswer);
    EXPECT_EQ(doc->GetTitle(), "named.tst");
}

TEST_F(FrameworkTest, FailedSaveLeavesTheOldFileIntact) {
    std::string path = TempPath("keep.tst");
    WriteWholeFile(path, "precious contents");
    TestDoc* doc = DynamicDowncast<TestDoc>(App().OpenDocumentFile(path.c_str()));
    ASSERT_NE(doc, nullptr);
    doc->m_text = "replacement that fails half-way";
    doc->m_failAfterBytes = 5;
    doc->SetModifiedFlag(true);
    EXPECT_FALSE(doc->DoFileSave());
    EXPECT_EQ(ReadWholeFile(path), "precious contents");
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(CountFilesIn(FxPathFolder(path)), 1); // the mirror was removed
    ASSERT_EQ(BoxLog::texts.size(), 1u);
    EXPECT_NE(BoxLog::texts[0].find(path), std::string::npos);
}

TEST_F(FrameworkTest, FailedSaveAsOverAnExistingFileKeepsThatFile) {
    std::string other = TempPath("other.tst");
    WriteWholeFile(other, "someone else's file");
    TestDoc* doc = NewDocument();
    ASSERT_NE(doc, nullptr);
    doc->m_text = "this write will fail";
    doc->m_failAfterBytes = 3;
    App().m_promptAnswer = other;
    EXPECT_FALSE(doc->DoSave(nullptr));
    EXPECT_EQ(ReadWholeFile(other), "someone else's file");
    EXPECT_TRUE(doc->GetPathName().empty());
}

TEST_F(FrameworkTest, FailedSaveAsToANewFileLeavesNoFile) {
    std::string fresh = TempPath("fresh.tst");
    TestDoc* doc = NewDocument();
    ASSERT_NE(doc, nullptr);
    doc->m_text = "this write will fail";
    doc->m_failAfterBytes = 3;
    App().m_promptAnswer = fresh;
    EXPECT_FALSE(doc->DoSave(nullptr));
    EXPECT_FALSE(CFile::Exists(fresh.c_str()));
    EXPECT_EQ(CountFilesIn(FxPathFolder(fresh)), 0);
}

TEST_F(FrameworkTest, MirrorFileReplacesTargetOnlyOnClose) {
    std::string path = TempPath("mirror.tst");
    WriteWholeFile(path, "before");
    {
        CMirrorFile file;
        ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
        EXPECT_NE(file.GetMirrorPath(), path);
        EXPECT_EQ(FxPathFolder(file.GetMirrorPath()), FxPathFolder(path));
        file.Write("after", 5);
        EXPECT_EQ(ReadWholeFile(path), "before");
        file.Close();
    }
    EXPECT_EQ(ReadWholeFile(path), "after");
    {
        CMirrorFile file;
        ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
        file.Write("aborted", 7);
    } // destroyed unclosed: aborted
    EXPECT_EQ(ReadWholeFile(path), "after");
    EXPECT_EQ(CountFilesIn(FxPathFolder(path)), 1);
}

TEST_F(FrameworkTest, ClosingAModifiedDocumentAsksAndCancelKeepsIt) {
    TestDoc* doc = NewDocument();
    ASSERT_NE(doc, nullptr);
    doc->SetModifiedFlag(true);
    CFrameWnd* child = m_main->GetActiveFrame();
    BoxLog::answers = {IDCANCEL};
    child->SendMessage(WM_CLOSE);
    Pump();
    ASSERT_EQ(BoxLog::texts.size(), 1u);
    EXPECT_EQ(BoxLog::texts[0], doc->GetTitle() + "\n文档已经被修改，保存所作改动？");
    EXPECT_EQ(BoxLog::types[0] & 0xF, static_cast<UINT>(MB_YESNOCANCEL));
    EXPECT_EQ(App().GetOpenDocumentCount(), 1);
    EXPECT_EQ(m_main->GetActiveFrame(), child);

    BoxLog::answers = {IDNO};
    child->SendMessage(WM_CLOSE);
    Pump();
    EXPECT_EQ(App().GetOpenDocumentCount(), 0);
    EXPECT_EQ(m_main->MDIGetActive(), nullptr);
}

TEST_F(FrameworkTest, ClosingWithYesSavesFirst) {
    TestDoc* doc = NewDocument();
    ASSERT_NE(doc, nullptr);
    doc->m_text = "saved on close";
    doc->SetModifiedFlag(true);
    App().m_promptAnswer = TempPath("onclose.tst");
    BoxLog::answers = {IDYES};
    m_main->SendMessage(WM_COMMAND, ID_FILE_CLOSE);
    Pump();
    EXPECT_EQ(ReadWholeFile(App().m_promptAnswer), "saved on close");
    EXPECT_EQ(App().GetOpenDocumentCount(), 0);
}

TEST_F(FrameworkTest, ClosingTheMainFrameAsksForEveryModifiedDocument) {
    TestDoc* a = NewDocument();
    TestDoc* b = NewDocument();
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    a->SetModifiedFlag(true);
    b->SetModifiedFlag(true);
    BoxLog::answers = {IDNO, IDCANCEL};
    m_main->SendMessage(WM_CLOSE);
    EXPECT_EQ(BoxLog::texts.size(), 2u);
    EXPECT_NE(m_main->m_hWnd, nullptr); // cancelled: still there
    EXPECT_EQ(App().GetOpenDocumentCount(), 2);
}

TEST_F(FrameworkTest, RecentFilesAreListedInTheMenuAndKeptInTheProfile) {
    std::string ini = TempPath("profile.ini");
    App().m_strProfileName = ini;
    App().LoadStdProfileSettings(4);
    std::string a = TempPath("r1.tst"), b = TempPath("r2.tst");
    WriteWholeFile(a, "1");
    WriteWholeFile(b, "2");
    ASSERT_NE(App().OpenDocumentFile(a.c_str()), nullptr);
    ASSERT_NE(App().OpenDocumentFile(b.c_str()), nullptr);
    ASSERT_NE(App().m_pRecentFileList, nullptr);
    EXPECT_EQ(App().m_pRecentFileList->GetCount(), 2);
    EXPECT_EQ((*App().m_pRecentFileList)[0], b);

    HMENU file = GetSubMenu(GetMenu(m_main->m_hWnd), 0);
    m_main->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), MAKELPARAM(0, FALSE));
    char text[MAX_PATH + 8] = "";
    GetMenuStringA(file, ID_FILE_MRU_FILE1, text, sizeof text, MF_BYCOMMAND);
    EXPECT_EQ(std::string(text), "&1 " + b);
    GetMenuStringA(file, ID_FILE_MRU_FILE1 + 1, text, sizeof text, MF_BYCOMMAND);
    EXPECT_EQ(std::string(text), "&2 " + a);

    App().SaveStdProfileSettings();
    char stored[MAX_PATH] = "";
    GetPrivateProfileStringA("Recent File List", "File1", "", stored, sizeof stored, ini.c_str());
    EXPECT_EQ(std::string(stored), b);
    App().LoadStdProfileSettings(4);
    EXPECT_EQ(App().m_pRecentFileList->GetCount(), 2);
    EXPECT_EQ((*App().m_pRecentFileList)[1], a);

    // Choosing the second entry of a closed file opens it.
    App().CloseAllDocuments(false);
    Pump();
    m_main->SendMessage(WM_COMMAND, ID_FILE_MRU_FILE1 + 1);
    CDocument* reopened = m_main->GetActiveDocument();
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->GetPathName(), a);

    delete App().m_pRecentFileList;
    App().m_pRecentFileList = nullptr;
    App().m_strProfileName.clear();
}

// Another spelling of an open file's name (other case, a ".." step) opens no second document
// and leaves one entry in the recent list.
TEST_F(FrameworkTest, AnotherSpellingOfAnOpenFilesNameFindsTheOpenDocument) {
    App().LoadStdProfileSettings(4);
    const std::string path = TempPath("same.tst");
    WriteWholeFile(path, "1");
    CDocument* doc = App().OpenDocumentFile(path.c_str());
    ASSERT_NE(doc, nullptr);

    const std::string other = FxPathWithSeparator(FxPathFolder(path)) + "sub\\..\\SAME.TST";
    EXPECT_EQ(App().OpenDocumentFile(other.c_str()), doc);
    EXPECT_EQ(App().GetOpenDocumentCount(), 1);
    ASSERT_NE(App().m_pRecentFileList, nullptr);
    App().m_pRecentFileList->Add(other.c_str());
    EXPECT_EQ(App().m_pRecentFileList->GetCount(), 1);

    delete App().m_pRecentFileList;
    App().m_pRecentFileList = nullptr;
}
