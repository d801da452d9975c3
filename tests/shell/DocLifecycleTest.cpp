// The text document's life in a real MDI frame: opening with encodings, the modified marker,
// saving and Save As with their bytes, read-only protection, failed saves, the lossy-load
// warning, reloading and the engine's event texts.
#include "tests/shell/ShellTestApp.h"

#include "app/ShellIds.h"
#include "framework/Archive.h"
#include "framework/MemoryException.h"
#include "framework/MultiDocTemplate.h"
#include "framework/ResourceText.h"

#include <cstring>

namespace {

// "中文" in code page 936: lead, trail, lead, trail.
const char kGbkText[] = "\xD6\xD0\xCE\xC4\r\nabc";

bool EndsWith(const std::string& s, const char* tail) {
    size_t n = std::strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

} // namespace

TEST_F(ShellTest, GbkFileOpensTitledByPathAndSavesItsBytes) {
    std::string path = TempPath("gbk.txt");
    WriteWholeFile(path, kGbkText);
    CTextEditDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->Encoding(), FxEncAnsi);
    EXPECT_EQ(doc->GetTitle(), path);
    EXPECT_EQ(Text(doc), kGbkText);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_TRUE(m_monitor->IsWatched(doc->WatchId()));
    ASSERT_FALSE(m_main->m_renames.empty());
    EXPECT_EQ(m_main->m_renames.back(), path);

    Type(doc, "x", 1);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->GetTitle(), path + " *");
    Pump();
    EXPECT_NE(m_main->GetWindowText().find(" *"), std::string::npos);
    EXPECT_EQ(m_main->m_states.back(), ITextDocHost::StateModified);

    ASSERT_TRUE(doc->DoFileSave());
    EXPECT_TRUE(BoxLog::texts.empty());
    EXPECT_EQ(DialogAnswer::shown, 0);
    EXPECT_EQ(ReadWholeFile(path), "\xD6\xD0\xCE\xC4\r\nxabc");
    EXPECT_EQ(doc->GetTitle(), path);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(m_main->m_states.back(), ITextDocHost::StateUnmodified);
    EXPECT_TRUE(m_monitor->IsWatched(doc->WatchId()));
}

TEST_F(ShellTest, SaveAsUtf8UnixWritesTheMarkAndLineFeeds) {
    std::string path = TempPath("src.txt");
    WriteWholeFile(path, kGbkText);
    CTextEditDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    std::string target = TempPath("u8.txt");
    DialogAnswer::path = target;
    DialogAnswer::encoding = FxEncUtf8;
    DialogAnswer::lineEnd = FxLineEndUnix;
    doc->OnFileSaveAs();
    EXPECT_EQ(DialogAnswer::shown, 1);
    EXPECT_EQ(DialogAnswer::proposed, path);
    EXPECT_EQ(DialogAnswer::preEncoding, FxEncAnsi);
    EXPECT_EQ(DialogAnswer::preLineEnd, FxLineEndDos);
    EXPECT_EQ(ReadWholeFile(target), "\xEF\xBB\xBF\xE4\xB8\xAD\xE6\x96\x87\nabc");
    EXPECT_EQ(ReadWholeFile(path), kGbkText);
    EXPECT_EQ(doc->GetPathName(), target);
    EXPECT_EQ(doc->GetTitle(), target);
    EXPECT_EQ(doc->Encoding(), FxEncUtf8);
    EXPECT_EQ(doc->LineEndType(), FxLineEndUnix);
}

TEST_F(ShellTest, UntitledDocumentProposesItsNameWithTheDefaultExtension) {
    m_main->SendMessage(WM_COMMAND, ID_FILE_NEW);
    Pump();
    CTextEditDoc* doc = DynamicDowncast<CTextEditDoc>(m_main->GetActiveDocument());
    ASSERT_NE(doc, nullptr);
    std::string title = doc->GetTitle();
    EXPECT_EQ(title.rfind("未命名文档", 0), 0u);
    Type(doc, "hello");
    EXPECT_EQ(doc->GetTitle(), title + " *");
    DialogAnswer::path = TempPath("named.txt");
    DialogAnswer::encoding = FxEncAnsi;
    DialogAnswer::lineEnd = FxLineEndDos;
    ASSERT_TRUE(doc->DoFileSave());
    EXPECT_EQ(DialogAnswer::proposed, title + ".txt");
    EXPECT_EQ(ReadWholeFile(DialogAnswer::path), "hello");
    EXPECT_EQ(doc->GetTitle(), DialogAnswer::path);
}

TEST_F(ShellTest, SaveModifiedAsksWithTheTrimmedTitle) {
    m_main->SendMessage(WM_COMMAND, ID_FILE_NEW);
    Pump();
    CTextEditDoc* doc = DynamicDowncast<CTextEditDoc>(m_main->GetActiveDocument());
    ASSERT_NE(doc, nullptr);
    std::string title = doc->GetTitle();
    EXPECT_TRUE(doc->SaveModified());
    EXPECT_TRUE(BoxLog::texts.empty());
    Type(doc, "x");
    BoxLog::answers = {IDCANCEL, IDNO};
    EXPECT_FALSE(doc->SaveModified());
    ASSERT_EQ(BoxLog::texts.size(), 1u);
    EXPECT_EQ(BoxLog::texts[0], title + "\n文档已经被修改，保存所作改动？");
    EXPECT_EQ(BoxLog::types[0] & MB_TYPEMASK, static_cast<UINT>(MB_YESNOCANCEL));
    EXPECT_TRUE(doc->SaveModified());
    EXPECT_EQ(DialogAnswer::shown, 0);
}

TEST_F(ShellTest, BigEndianRequestReadsAFileWithoutMark) {
    std::string path = TempPath("be.txt");
    // U+4E2D U+6587 'A' as big-endian units, no mark.
    WriteWholeFile(path, std::string("\x4E\x2D\x65\x87\x00\x41", 6));
    CTextEditDoc* doc = Open(path, FxEncUtf16Be);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->Encoding(), FxEncUtf16Be);
    EXPECT_EQ(Text(doc), "\xD6\xD0\xCE\xC4"
                         "A");
    EXPECT_EQ(CTextEditDoc::PendingOpenEncoding(), 0);
    // The next open detects again.
    std::string other = TempPath("plain.txt");
    WriteWholeFile(other, "abc");
    CTextEditDoc* second = Open(other);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->RequestedEncoding(), FxEncDetect);
}

TEST_F(ShellTest, ReadOnlyFileMakesAReadOnlyDocument) {
    std::string path = TempPath("ro.txt");
    WriteWholeFile(path, "abc");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    CTextEditDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(doc->IsReadOnly());
    Type(doc, "x");
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(Text(doc), "abc");
    ASSERT_EQ(m_main->m_statusTexts.size(), 1u);
    EXPECT_EQ(m_main->m_statusTexts[0], "只读文档不能修改");
    EXPECT_STREQ(m_main->m_status.GetPaneText(0), "只读文档不能修改");
    EXPECT_TRUE(m_main->m_status.GetPane(0).style & CBarStatus::PaneHighlight);
}

TEST_F(ShellTest, ReadOnlyProtectionOffLeavesTheDocumentWritable) {
    m_settings->FileChange().protectReadOnly = false;
    std::string path = TempPath("ro2.txt");
    WriteWholeFile(path, "abc");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    CTextEditDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    EXPECT_FALSE(doc->IsReadOnly());
}

TEST_F(ShellTest, SaveAsOntoAReadOnlyFileIsRefused) {
    std::string path = TempPath("a.txt");
    WriteWholeFile(path, "abc");
    std::string target = TempPath("locked.txt");
    WriteWholeFile(target, "keep");
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY);
    CTextEditDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    DialogAnswer::path = target;
    EXPECT_FALSE(doc->DoSave(nullptr));
    ASSERT_EQ(BoxLog::texts.size(), 1u);
    EXPECT_EQ(BoxLog::texts[0],
              target + "\n该文件具有只读属性，请指定其它文件名或去掉该文件的只读属性然后再试。");
    EXPECT_EQ(ReadWholeFile(target), "keep");
    EXPECT_EQ(doc->GetPathName(), path);
}

TEST_F(ShellTest, SaveOntoALockedTargetFailsAndLeavesTheFile) {
    std::string path = TempPath("busy.txt");
    WriteWholeFile(path, "old text");
    CTextEditDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    Type(doc, "new ");
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(doc->DoFileSave());
    CloseHandle(lock);
    EXPECT_EQ(BoxLog::texts.size(), 1u);
    EXPECT_EQ(ReadWholeFile(path), "old text");
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->GetTitle(), path + " *");
    EXPECT_TRUE(m_monitor->IsWatched(doc->WatchId()));
}

TEST_F(ShellTest, FailedSaveAsKeepsEncodingAndRemovesOnlyItsOwnFile) {
    std::string path = TempPath("enc.txt");
    WriteWholeFile(path, "abc");
    CTextEditDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    // A target in a folder that does not exist cannot be written.
    DialogAnswer::path = TempPath("missing\\new.txt");
    DialogAnswer::encoding = FxEncUtf8;
    DialogAnswer::lineEnd = FxLineEndMac;
    EXPECT_FALSE(doc->DoSave(nullptr));
    EXPECT_EQ(doc->Encoding(), FxEncAnsi);
    EXPECT_EQ(doc->LineEndType(), FxLineEndDos);
    EXPECT_EQ(doc->GetPathName(), path);
    EXPECT_EQ(BoxLog::texts.size(), 1u);
}

TEST_F(ShellTest, BackupIsMadeOnPlainSave) {
    m_settings->Backup().backupFileOnSave = true;
    std::string path = TempPath("b.txt");
    WriteWholeFile(path, "first");
    CTextEditDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    Type(doc, "x");
    ASSERT_TRUE(doc->DoFileSave());
    EXPECT_EQ(ReadWholeFile(TempPath("b_txt.BAK")), "first");
    EXPECT_EQ(ReadWholeFile(path), "xfirst");
}

TEST_F(ShellTest, LossyLoadWarnsOnOpenAndBeforeOverwritingTheOriginal) {
    std::string path = TempPath("thai.txt");
    // "a", U+0E01 (no GBK form), "b" in UTF-8 with the mark.
    std::string original = "\xEF\xBB\xBF"
                           "a\xE0\xB8\x81"
                           "b";
    WriteWholeFile(path, original);
    CTextEditDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(doc->IsLoadLossy());
    ASSERT_EQ(BoxLog::texts.size(), 1u);
    EXPECT_EQ(BoxLog::texts[0], AfxFormatString1(IDS_DOC_LOSSY_OPEN, path.c_str()));
    EXPECT_EQ(BoxLog::types[0] & MB_ICONMASK, static_cast<UINT>(MB_ICONWARNING));
    BoxLog::Clear();

    Type(doc, "z");
    BoxLog::answers = {IDNO};
    EXPECT_FALSE(doc->DoFileSave());
    ASSERT_EQ(BoxLog::texts.size(), 1u);
    EXPECT_EQ(BoxLog::texts[0], AfxFormatString1(IDS_DOC_LOSSY_SAVE, path.c_str()));
    EXPECT_EQ(BoxLog::types[0] & MB_DEFMASK, static_cast<UINT>(MB_DEFBUTTON2));
    EXPECT_EQ(ReadWholeFile(path), original);
    EXPECT_TRUE(doc->IsModified());

    // A copy elsewhere does not touch the original and needs no question.
    BoxLog::Clear();
    DialogAnswer::path = TempPath("copy.txt");
    DialogAnswer::encoding = FxEncUtf8;
    DialogAnswer::lineEnd = FxLineEndDos;
    EXPECT_TRUE(doc->DoSave(nullptr, false));
    EXPECT_TRUE(BoxLog::texts.empty());
    EXPECT_EQ(ReadWholeFile(path), original);
    EXPECT_EQ(doc->GetPathName(), path);
    EXPECT_EQ(doc->Encoding(), FxEncUtf8); // the original's own encoding, kept

    BoxLog::answers = {IDYES};
    EXPECT_TRUE(doc->DoFileSave());
    EXPECT_EQ(BoxLog::texts.size(), 1u);
    EXPECT_NE(ReadWholeFile(path), original);
    // Once overwritten, later saves need no question.
    BoxLog::Clear();
    Type(doc, "y");
    EXPECT_TRUE(doc->DoFileSave());
    EXPECT_TRUE(BoxLog::texts.empty());
}

TEST_F(ShellTest, ReloadRestoresCaretLinesAndReadOnly) {
    std::string path = TempPath("r.txt");
    WriteWholeFile(path, "one\r\ntwo\r\nthree");
    CTextEditDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    ShellTestView* view = ViewOf(doc);
    ASSERT_NE(view, nullptr);
    view->m_caret = FxTextPos(4, 2);
    doc->SetReadOnly(true);
    WriteWholeFile(path, "ONE\r\nTWO\r\nxy");
    BoxLog::answers = {IDCANCEL};
    doc->OnReloadCommand();
    ASSERT_EQ(BoxLog::texts.size(), 1u);
    EXPECT_EQ(BoxLog::texts[0],
              "“" + path + "”\n重新读取文档将会丢失当前对文档所作的修改，请确认是否继续。");
    EXPECT_EQ(BoxLog::types[0] & MB_DEFMASK, static_cast<UINT>(MB_DEFBUTTON2));
    EXPECT_EQ(Text(doc), "one\r\ntwo\r\nthree");
    BoxLog::answers = {IDOK};
    doc->OnReloadCommand();
    EXPECT_EQ(Text(doc), "ONE\r\nTWO\r\nxy");
    EXPECT_EQ(view->m_reloads, 1);
    EXPECT_EQ(view->m_caret, FxTextPos(2, 2)); // the column cut to the line
    EXPECT_EQ(view->m_restoredWrap, 0);
    EXPECT_TRUE(doc->IsReadOnly());
    EXPECT_FALSE(doc->IsModified());

    WriteWholeFile(path, "only");
    EXPECT_TRUE(doc->Reload());
    EXPECT_EQ(view->m_caret, FxTextPos(0, 0)); // line 2 is gone
}

TEST_F(ShellTest, ReloadThatCannotReadKeepsTheText) {
    std::string path = TempPath("gone.txt");
    WriteWholeFile(path, "kept");
    CTextEditDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    Type(doc, "still ");
    DeleteFileA(path.c_str());
    EXPECT_FALSE(doc->Reload());
    EXPECT_EQ(Text(doc), "still kept");
    EXPECT_EQ(BoxLog::texts.size(), 1u);
}

namespace {

// A document whose reading fails after the framework's open step has emptied it: memory that
// runs out, or a file that changed after the reload's first look at it.
class FailingReadDoc : public CTextEditDoc {
public:
    bool m_failReads = false;
    void Serialize(CArchive& ar) override {
        if (m_failReads && ar.IsLoading())
            AfxThrowMemoryException();
        CTextEditDoc::Serialize(ar);
    }
};

} // namespace

TEST_F(ShellTest, AReloadThatFailsAfterEmptyingPutsTheTextBack) {
    std::string path = TempPath("failing.txt");
    WriteWholeFile(path, "one\r\ntwo\r\nthree");
    for (bool modified : {true, false}) {
        SCOPED_TRACE(modified ? "modified" : "unmodified");
        FailingReadDoc doc;
        doc.m_bAutoDelete = false;
        ASSERT_TRUE(doc.OnOpenDocument(path.c_str()));
        doc.SetPathName(path.c_str(), false);
        if (modified)
            Type(&doc, "edited ", 1);
        doc.SetEncoding(FxEncUtf8);
        doc.RecordRef(2).flags |= FXL_BOOKMARK;
        doc.SetBookmarkCount(1);
        const std::string before = Text(&doc);
        doc.m_failReads = true;
        BoxLog::Clear();
        EXPECT_FALSE(doc.Reload());
        EXPECT_EQ(BoxLog::texts.size(), 1u) << "the failure is reported";
        EXPECT_EQ(Text(&doc), before);
        EXPECT_EQ(doc.IsModified(), modified);
        EXPECT_EQ(doc.GetTitle(), modified ? path + " *" : path);
        EXPECT_EQ(doc.LineEndType(), FxLineEndDos);
        EXPECT_EQ(doc.Encoding(), FxEncUtf8);
        EXPECT_TRUE(doc.Record(2).flags & FXL_BOOKMARK);
        EXPECT_EQ(doc.BookmarkCount(), 1);
        // What a save would write is the text the user had, not an empty file.
        if (modified) {
            doc.SetEncoding(FxEncAnsi);
            ASSERT_TRUE(doc.DoSave(path.c_str()));
            EXPECT_EQ(ReadWholeFile(path), "one\r\nedited two\r\nthree");
            WriteWholeFile(path, "one\r\ntwo\r\nthree");
        }
    }
}

TEST_F(ShellTest, AfterASaveReloadsReadTheEncodingThatWasWritten) {
    std::string path = TempPath("forced.txt");
    // U+4E2D U+6587 'A' as big-endian units, no mark.
    WriteWholeFile(path, std::string("\x4E\x2D\x65\x87\x00\x41", 6));
    CTextEditDoc* doc = Open(path, FxEncUtf16Be);
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(Text(doc), "\xD6\xD0\xCE\xC4"
                         "A");
    DialogAnswer::path = path;
    DialogAnswer::encoding = FxEncUtf8;
    DialogAnswer::lineEnd = FxLineEndDos;
    ASSERT_TRUE(doc->DoSave(nullptr));
    EXPECT_EQ(ReadWholeFile(path), "\xEF\xBB\xBF\xE4\xB8\xAD\xE6\x96\x87"
                                   "A");
    ASSERT_TRUE(doc->Reload());
    EXPECT_EQ(doc->Encoding(), FxEncUtf8);
    EXPECT_EQ(Text(doc), "\xD6\xD0\xCE\xC4"
                         "A");
    // The automatic reload of a change made elsewhere reads the same way.
    WriteWholeFile(path, "\xEF\xBB\xBF\xE4\xB8\xAD");
    m_settings->FileChange().autoReload = true;
    doc->OnFileChangedOnDisk();
    m_settings->FileChange().autoReload = false;
    EXPECT_EQ(Text(doc), "\xD6\xD0");
}

namespace {

// A document whose conversion for storing fails, as event 261 reports it.
class UnconvertibleDoc : public CTextEditDoc {
protected:
    int ConvertForStore(const char*, int, uint16_t*, int) override { return 0; }
};

} // namespace

TEST_F(ShellTest, AConversionErrorWhileSavingLeavesTheTargetAsItWas) {
    std::string path = TempPath("conv.txt");
    WriteWholeFile(path, "old");
    UnconvertibleDoc doc;
    doc.m_bAutoDelete = false;
    ASSERT_TRUE(doc.OnOpenDocument(path.c_str()));
    doc.SetPathName(path.c_str(), false);
    Type(&doc, "new ");
    doc.SetEncoding(FxEncUtf8);
    EXPECT_FALSE(doc.DoSave(path.c_str()));
    ASSERT_EQ(BoxLog::texts.size(), 1u); // only the event's own message
    EXPECT_EQ(BoxLog::texts[0], "保存该文件时转换编码出错！");
    EXPECT_EQ(ReadWholeFile(path), "old");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(m_monitor->IsWatched(doc.WatchId()));
}

TEST_F(ShellTest, EngineEventsBecomeStatusTextsAndStopBoxes) {
    m_main->SendMessage(WM_COMMAND, ID_FILE_NEW);
    Pump();
    CTextEditDoc* doc = DynamicDowncast<CTextEditDoc>(m_main->GetActiveDocument());
    ASSERT_NE(doc, nullptr);
    doc->OnDocEvent(FxEvSearchWrapped, -1);
    doc->OnDocEvent(FxEvSearchWrapped, 0);
    ASSERT_EQ(m_main->m_statusTexts.size(), 2u);
    EXPECT_EQ(m_main->m_statusTexts[0], "搜索已经从文档的尽头折回");
    EXPECT_EQ(m_main->m_statusTexts[1], "搜索已经从文档的开头折回");
    doc->OnDocEvent(FxEvWrapProgress, 40);
    EXPECT_STREQ(m_main->m_status.GetPaneText(0), "正在格式化...");
    EXPECT_TRUE(m_main->m_status.GetPane(0).style & CBarStatus::PaneProgress);
    doc->OnDocEvent(FxEvWrapProgress, 100);
    EXPECT_FALSE(m_main->m_status.GetPane(0).style & CBarStatus::PaneProgress);
    EXPECT_STREQ(m_main->m_status.GetPaneText(0), "如需帮助，请按F1键");

    const int codes[] = {256, 257, 258, 259, 260, 261};
    for (int code : codes)
        doc->OnDocEvent(code, 0);
    ASSERT_EQ(BoxLog::texts.size(), 6u);
    for (UINT type : BoxLog::types)
        EXPECT_EQ(type & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
    EXPECT_NE(BoxLog::texts[0].find("严重内部错误"), std::string::npos);
    EXPECT_NE(BoxLog::texts[1].find("一般内部错误"), std::string::npos);
    EXPECT_EQ(BoxLog::texts[2],
              "内存不足无法继续操作，请尝试关闭一些程序以腾出一些可用内存然后再试。");
    EXPECT_EQ(BoxLog::texts[3].rfind("资源不足操作失败！", 0), 0u);
    EXPECT_EQ(BoxLog::texts[4], "装入该文件时转换编码出错！");
    EXPECT_EQ(BoxLog::texts[5], "保存该文件时转换编码出错！");
}

TEST_F(ShellTest, ClearingTheFlagRemovesTheMarkerAndMarksTheSavedPosition) {
    std::string path = TempPath("u.txt");
    WriteWholeFile(path, "abc");
    CTextEditDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    Type(doc, "x");
    EXPECT_TRUE(EndsWith(doc->GetTitle(), " *"));
    doc->SetModifiedFlag(true); // already set: nothing changes
    EXPECT_TRUE(EndsWith(doc->GetTitle(), " *"));
    EXPECT_FALSE(EndsWith(doc->GetTitle(), " * *"));
    doc->SetModifiedFlag(false); // as the view does when undo reaches the saved state
    EXPECT_EQ(doc->GetTitle(), path);
    EXPECT_EQ(doc->SavedPosition(), doc->UndoPosition());
    EXPECT_FALSE(doc->CDocument::IsModified());
}

TEST(DlgFileChoice, ItemValuesAreTakenBackWithinTheirRanges) {
    EXPECT_EQ(CDlgFile::TakeEncoding(true, CB_ERR, 3), FxEncDetect);
    EXPECT_EQ(CDlgFile::TakeEncoding(false, CB_ERR, 3), FxEncAnsi);
    EXPECT_EQ(CDlgFile::TakeEncoding(true, 0, 3), 0);
    EXPECT_EQ(CDlgFile::TakeEncoding(false, 0, 3), 3);
    EXPECT_EQ(CDlgFile::TakeEncoding(false, 4, 1), 4);
    EXPECT_EQ(CDlgFile::TakeEncoding(true, 5, 2), 2);
    EXPECT_EQ(CDlgFile::TakeLineEnd(CB_ERR, 2), FxLineEndDos);
    EXPECT_EQ(CDlgFile::TakeLineEnd(1, 2), 1);
    EXPECT_EQ(CDlgFile::TakeLineEnd(3, 2), 2);
}
