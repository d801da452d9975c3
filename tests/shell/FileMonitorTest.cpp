// The file change monitor: shared directory watches, outside writes noticed by polling and
// reported with the 0x402 notice, our own saves unreported, stale notices refused, and the
// document's answer to a notice.
#include "tests/shell/ShellTestApp.h"

#include "framework/MultiDocTemplate.h"

namespace {

// Polls until the frame has received `count` notices or ms have passed.
bool PollUntilNotices(FileChangeMonitor& monitor, ShellTestFrame* frame, int count, DWORD ms) {
    return PumpUntil(
        [&] {
            monitor.Poll(frame->m_hWnd);
            Pump();
            return frame->m_notices >= count;
        },
        ms);
}

void PollFor(FileChangeMonitor& monitor, ShellTestFrame* frame, DWORD ms) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        monitor.Poll(frame->m_hWnd);
        Pump();
        Sleep(20);
    }
}

} // namespace

TEST_F(ShellTest, FilesOfOneFolderShareOneDirectoryWatch) {
    std::string a = TempPath("a.txt"), b = TempPath("b.txt");
    WriteWholeFile(a, "a");
    WriteWholeFile(b, "b");
    int owner = 0;
    UINT ida = m_monitor->AddWatch(a.c_str(), &owner);
    UINT idb = m_monitor->AddWatch(b.c_str(), &owner);
    EXPECT_NE(ida, 0u);
    EXPECT_EQ(idb, ida + 1);
    EXPECT_EQ(m_monitor->DirectoryCount(), 1u);
    m_monitor->RemoveWatch(ida);
    EXPECT_FALSE(m_monitor->IsWatched(ida));
    EXPECT_TRUE(m_monitor->IsWatched(idb));
    EXPECT_EQ(m_monitor->DirectoryCount(), 1u);
    m_monitor->RemoveWatch(idb);
    m_monitor->RemoveWatch(idb); // not watched any more: nothing
    EXPECT_EQ(m_monitor->DirectoryCount(), 0u);
    EXPECT_EQ(m_monitor->AddWatch(TempPath("nowhere\\c.txt").c_str(), &owner), 0u);
    UINT idc = m_monitor->AddWatch(a.c_str(), &owner);
    EXPECT_GT(idc, idb); // ids are never reused
}

TEST_F(ShellTest, AnOutsideWriteIsPostedOnceThenTheFolderIsRearmed) {
    std::string path = TempPath("watched.txt");
    WriteWholeFile(path, "before");
    int owner = 0;
    UINT id = m_monitor->AddWatch(path.c_str(), &owner);
    ASSERT_NE(id, 0u);
    PollFor(*m_monitor, m_main, 200);
    EXPECT_EQ(m_main->m_notices, 0);
    Sleep(50);
    WriteWholeFile(path, "after, by another program");
    ASSERT_TRUE(PollUntilNotices(*m_monitor, m_main, 1, 5000));
    EXPECT_EQ(m_main->m_validNotices, 0); // the owner is no document
    PollFor(*m_monitor, m_main, 300);
    EXPECT_EQ(m_main->m_notices, 1);
    EXPECT_FALSE(m_monitor->IsReporting());
}

TEST_F(ShellTest, TwoChangedFilesGiveTwoNoticesOnSuccessivePolls) {
    std::string a = TempPath("one.txt"), b = TempPath("two.txt");
    WriteWholeFile(a, "1");
    WriteWholeFile(b, "2");
    int owner = 0;
    m_monitor->AddWatch(a.c_str(), &owner);
    m_monitor->AddWatch(b.c_str(), &owner);
    Sleep(50);
    WriteWholeFile(a, "one changed");
    WriteWholeFile(b, "two changed");
    ASSERT_TRUE(PumpUntil(
        [&] {
            m_monitor->Poll(m_main->m_hWnd);
            return m_monitor->IsReporting();
        },
        5000));
    Pump();
    EXPECT_EQ(m_main->m_notices, 0); // detection posts nothing yet
    m_monitor->Poll(m_main->m_hWnd);
    Pump();
    EXPECT_EQ(m_main->m_notices, 1);
    m_monitor->Poll(m_main->m_hWnd);
    Pump();
    EXPECT_EQ(m_main->m_notices, 2);
    EXPECT_FALSE(m_monitor->IsReporting());
}

TEST_F(ShellTest, AChangeToAnotherFileOfTheFolderPostsNothing) {
    std::string path = TempPath("quiet.txt");
    WriteWholeFile(path, "x");
    int owner = 0;
    m_monitor->AddWatch(path.c_str(), &owner);
    WriteWholeFile(TempPath("neighbour.txt"), "y");
    PollFor(*m_monitor, m_main, 800);
    EXPECT_EQ(m_main->m_notices, 0);
    EXPECT_FALSE(m_monitor->IsReporting());
}

TEST_F(ShellTest, OurOwnSavePostsNothing) {
    std::string path = TempPath("own.txt");
    WriteWholeFile(path, "text");
    std::string other = TempPath("other.txt");
    WriteWholeFile(other, "keeps the folder watched");
    CTextEditDoc* second = Open(other);
    CTextEditDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    ASSERT_NE(second, nullptr);
    UINT before = doc->WatchId();
    Type(doc, "more ");
    ASSERT_TRUE(doc->DoFileSave());
    EXPECT_NE(doc->WatchId(), before);
    EXPECT_TRUE(m_monitor->IsWatched(doc->WatchId()));
    PollFor(*m_monitor, m_main, 1000);
    EXPECT_EQ(m_main->m_notices, 0);
    EXPECT_TRUE(BoxLog::texts.empty());
}

TEST_F(ShellTest, AStaleNoticeIsIgnored) {
    std::string path = TempPath("stale.txt");
    WriteWholeFile(path, "text");
    CTextEditDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    const std::vector<CDocument*>& docs = App().m_pTemplate->GetDocuments();
    WPARAM owner = reinterpret_cast<WPARAM>(static_cast<void*>(doc));
    LPARAM id = static_cast<LPARAM>(doc->WatchId());
    EXPECT_EQ(CTextEditDoc::FromChangeNotice(owner, id, docs), doc);
    EXPECT_EQ(CTextEditDoc::FromChangeNotice(owner, id + 1, docs), nullptr);

    doc->OnCloseDocument();
    Pump();
    EXPECT_EQ(CTextEditDoc::FromChangeNotice(owner, id, docs), nullptr);
    m_main->PostMessage(FileChangeMonitor::kFileChangedMessage, owner, id);
    Pump();
    EXPECT_EQ(m_main->m_notices, 1);
    EXPECT_EQ(m_main->m_validNotices, 0);
    EXPECT_TRUE(BoxLog::texts.empty());
    EXPECT_EQ(m_monitor->WatchCount(), 0u);
}

TEST_F(ShellTest, AutoReloadReplacesOnlyAnUnmodifiedDocumentSilently) {
    m_settings->FileChange().autoReload = true;
    std::string path = TempPath("auto.txt");
    WriteWholeFile(path, "first");
    CTextEditDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    Sleep(50);
    WriteWholeFile(path, "second");
    ASSERT_TRUE(PollUntilNotices(*m_monitor, m_main, 1, 5000));
    EXPECT_EQ(m_main->m_validNotices, 1);
    EXPECT_TRUE(BoxLog::texts.empty());
    EXPECT_EQ(Text(doc), "second");

    // With edits of ours, always ask; No keeps them.
    Type(doc, "mine ");
    Sleep(50);
    WriteWholeFile(path, "third");
    BoxLog::answers = {IDNO};
    ASSERT_TRUE(PollUntilNotices(*m_monitor, m_main, 2, 5000));
    ASSERT_EQ(BoxLog::texts.size(), 1u);
    EXPECT_NE(BoxLog::texts[0].find("丢失"), std::string::npos);
    EXPECT_EQ(BoxLog::types[0] & MB_DEFMASK, static_cast<UINT>(MB_DEFBUTTON2));
    EXPECT_EQ(Text(doc), "mine second");
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(ShellTest, WithoutAutoReloadTheUserIsAsked) {
    std::string path = TempPath("ask.txt");
    WriteWholeFile(path, "first");
    CTextEditDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    Sleep(50);
    WriteWholeFile(path, "second");
    BoxLog::answers = {IDNO};
    ASSERT_TRUE(PollUntilNotices(*m_monitor, m_main, 1, 5000));
    ASSERT_EQ(BoxLog::texts.size(), 1u);
    EXPECT_EQ(BoxLog::texts[0], path + "\n文件已经被修改，是否重新载入该文件？");
    EXPECT_EQ(BoxLog::types[0] & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(Text(doc), "first");
    Sleep(50);
    WriteWholeFile(path, "third");
    BoxLog::answers = {IDYES};
    ASSERT_TRUE(PollUntilNotices(*m_monitor, m_main, 2, 5000));
    EXPECT_EQ(Text(doc), "third");
}

// "乗" is 81 5C in code page 936: the second byte has the value of "\".
TEST_F(ShellTest, AFileNamedWithABackslashTrailByteIsWatchedInItsOwnFolder) {
    const std::string jo = TempPath("\x81\x5C.txt"), plain = TempPath("plain.txt");
    WriteWholeFile(jo, "before");
    WriteWholeFile(plain, "plain");
    std::string folder = TempPath("");
    folder.pop_back(); // without its trailing backslash
    int owner = 0;
    UINT id = m_monitor->AddWatch(jo.c_str(), &owner);
    ASSERT_NE(id, 0u);
    UINT other = m_monitor->AddWatch(plain.c_str(), &owner);
    ASSERT_NE(other, 0u);
    EXPECT_EQ(m_monitor->DirectoryCount(), 1u) << "both files are in one folder";
    ASSERT_FALSE(m_monitor->Directories().empty());
    EXPECT_EQ(m_monitor->Directories()[0], folder);

    PollFor(*m_monitor, m_main, 200);
    Sleep(50);
    WriteWholeFile(jo, "after, by another program");
    EXPECT_TRUE(PollUntilNotices(*m_monitor, m_main, 1, 5000));
}

TEST_F(ShellTest, ADocumentNamedWithABackslashTrailByteIsTitledWatchedAndBackedUp) {
    const std::string path = TempPath("\x81\x5C.txt");
    WriteWholeFile(path, "old");
    m_settings->Backup().backupFileOnSave = true;
    CTextEditDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetTitle(), path);
    EXPECT_TRUE(m_monitor->IsWatched(doc->WatchId()));
    EXPECT_EQ(m_monitor->DirectoryCount(), 1u);
    Type(doc, "new ");
    ASSERT_TRUE(doc->DoFileSave());
    EXPECT_EQ(ReadWholeFile(TempPath("\x81\x5C_txt.BAK")), "old");
    EXPECT_EQ(ReadWholeFile(path), "new old");
    m_settings->Backup().backupFileOnSave = false;
}
