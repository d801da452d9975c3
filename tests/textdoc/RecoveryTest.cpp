// Recovery copies: round trips in every encoding and line end with GBK text, caret and
// bookmarks; snapshots that stay as taken; copies cut short or damaged refused whole; the
// store's sets of live and ended instances; the writer's queue.
#include <gtest/gtest.h>

#include "FileTestUtil.h"
#include "common/SysFile.h"
#include "textdoc/FileIO.h"
#include "textdoc/RecoveryCopy.h"
#include "textdoc/RecoveryStore.h"
#include "textdoc/RecoveryWriter.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <filesystem>
#include <functional>
#include <thread>
#include <string>
#include <vector>

namespace {

const char* const kTerms[] = {"\r\n", "\n", "\r"};

// GBK text with a "\" trail byte (乗 81 5C), empty lines and no break at the end.
std::string SampleLines(const char* term) {
    const char* lines[] = {"first \xD6\xD0\xCE\xC4", "", "\x81\x5C path C:\\x",
                           "  indented\ttab",        "", "\xB2\xE2\xCA\xD4 last"};
    std::string s;
    for (size_t i = 0; i < sizeof lines / sizeof lines[0]; ++i)
        s += (i ? term : "") + std::string(lines[i]);
    return s;
}

// The bytes a document saves as, for comparing two documents byte for byte.
std::string SavedBytes(CFxEditDoc& doc, const Scratch& dir, const char* name) {
    std::string path = dir.Path(name);
    EXPECT_TRUE(SaveDocumentFile(doc, path.c_str()));
    return ReadBytes(path);
}

void SetBookmark(CFxEditDoc& doc, int32_t line) {
    FxTextPos pos(0, line);
    doc.LogicalToPiece(pos);
    doc.RecordRef(pos.line).flags |= FXL_BOOKMARK;
    doc.SetBookmarkCount(doc.BookmarkCount() + 1);
}

std::vector<int32_t> Bookmarks(const CFxEditDoc& doc) {
    std::vector<int32_t> marks;
    for (int32_t r = 0; r < doc.RecordCount(); ++r)
        if (doc.Record(r).flags & FXL_BOOKMARK)
            marks.push_back(doc.PieceToLogicalLine(doc.HeadPieceOf(r)));
    return marks;
}

FxRecoveryInfo SampleInfo(const std::string& path) {
    FxRecoveryInfo info;
    info.path = path;
    info.title = path.empty() ? "\xCE\xDE\xB1\xEA\xCC\xE2"
                                "3"
                              : "C:\\\x81\x5C\\a.txt";
    info.caretLine = 3;
    info.fileWriteTime = 0x0123456789ABCDEFull;
    info.fileSize = 77;
    return info;
}

// The text as UTF-16 LE with its mark, for loading as that encoding.
std::string Utf16Le(const std::u16string& w) {
    std::string s = B({0xFF, 0xFE});
    for (char16_t c : w) {
        s += static_cast<char>(c & 0xFF);
        s += static_cast<char>(c >> 8);
    }
    return s;
}

} // namespace

TEST(RecoveryCopy, RoundTripsEveryEncodingAndLineEnd) {
    Scratch dir;
    for (int enc = FxEncAnsi; enc <= FxEncUtf16Be; ++enc) {
        for (int type = 0; type < 3; ++type) {
            SCOPED_TRACE(testing::Message() << "encoding " << enc << " line end " << type);
            TestDoc doc;
            ASSERT_TRUE(LoadBytes(doc, dir, SampleLines(kTerms[type]), FxEncAnsi));
            ASSERT_EQ(doc.LineEndType(), type);
            doc.SetEncoding(enc);
            SetBookmark(doc, 0);
            SetBookmark(doc, 4);
            const std::string expected = SavedBytes(doc, dir, "expected.txt");

            auto snap = TakeRecoverySnapshot(doc, SampleInfo(dir.Path("in.txt")));
            const std::string copy = dir.Path("copy.qvr");
            uint32_t error = 0;
            ASSERT_TRUE(WriteRecoveryCopy(*snap, copy, &error)) << error;
            // The copy starts with the text exactly as a save writes it.
            EXPECT_EQ(ReadBytes(copy).substr(0, expected.size()), expected);

            FxRecoveryInfo info;
            ASSERT_TRUE(ReadRecoveryInfo(copy, info));
            EXPECT_EQ(info.path, dir.Path("in.txt"));
            EXPECT_EQ(info.title, "C:\\\x81\x5C\\a.txt");
            EXPECT_EQ(info.encoding, enc);
            EXPECT_EQ(info.lineEndType, type);
            EXPECT_EQ(info.caretLine, 3);
            EXPECT_EQ(info.bookmarks, (std::vector<int32_t>{0, 4}));
            EXPECT_EQ(info.fileWriteTime, 0x0123456789ABCDEFull);
            EXPECT_EQ(info.fileSize, 77u);

            TestDoc back;
            back.SetRequestedEncoding(FxEncDetect);
            ASSERT_TRUE(LoadRecoveryText(back, copy));
            EXPECT_EQ(LogicalText(back), LogicalText(doc));
            EXPECT_EQ(back.Encoding(), enc);
            EXPECT_EQ(back.LineEndType(), type);
            EXPECT_EQ(Bookmarks(back), (std::vector<int32_t>{0, 4}));
            EXPECT_EQ(back.BookmarkCount(), 2);
            EXPECT_EQ(back.RequestedEncoding(), FxEncDetect);
            EXPECT_EQ(CheckInvariants(back), "");
            EXPECT_EQ(SavedBytes(back, dir, "back.txt"), expected);
        }
    }
}

TEST(RecoveryCopy, UntitledAndEmptyDocuments) {
    Scratch dir;
    for (const char* text : {"", "\r\n", "\r\n\r\n", "x"}) {
        SCOPED_TRACE(testing::PrintToString(std::string(text)));
        TestDoc doc;
        SetText(doc, text);
        auto snap = TakeRecoverySnapshot(doc, SampleInfo(""));
        ASSERT_TRUE(WriteRecoveryCopy(*snap, dir.Path("u.qvr")));
        FxRecoveryInfo info;
        ASSERT_TRUE(ReadRecoveryInfo(dir.Path("u.qvr"), info));
        EXPECT_EQ(info.path, "");
        EXPECT_EQ(info.title, "\xCE\xDE\xB1\xEA\xCC\xE2"
                              "3");
        TestDoc back;
        ASSERT_TRUE(LoadRecoveryText(back, dir.Path("u.qvr")));
        EXPECT_EQ(LogicalText(back), text);
        EXPECT_EQ(back.LogicalLineCount(), doc.LogicalLineCount());
    }
}

TEST(RecoveryCopy, SnapshotStaysAsTakenWhileTheDocumentChanges) {
    Scratch dir;
    TestDoc doc;
    SetText(doc, "alpha\r\n\xD6\xD0\xCE\xC4\r\ngamma");
    SetBookmark(doc, 1);
    auto snap = TakeRecoverySnapshot(doc, SampleInfo(""));
    const std::string before = std::string(snap->Text(), static_cast<size_t>(snap->TextBytes()));
    EXPECT_EQ(before, "alpha\r\n\xD6\xD0\xCE\xC4\r\ngamma");

    TypeAt(doc, FxTextPos(2, 0), "INSERTED\r\nlines\r\n");
    DeleteRange(doc, FxTextPos(0, 3), FxTextPos(2, 4));
    doc.SetLineEndType(FxLineEndUnix);
    doc.DeleteContents();
    doc.InitDocument(0);

    EXPECT_EQ(std::string(snap->Text(), static_cast<size_t>(snap->TextBytes())), before);
    EXPECT_EQ(snap->Info().bookmarks, std::vector<int32_t>{1});
    EXPECT_EQ(snap->Info().lineEndType, FxLineEndDos);
    ASSERT_TRUE(WriteRecoveryCopy(*snap, dir.Path("s.qvr")));
    TestDoc back;
    ASSERT_TRUE(LoadRecoveryText(back, dir.Path("s.qvr")));
    EXPECT_EQ(LogicalText(back), before);
}

TEST(RecoveryCopy, CopyCutShortOrDamagedIsRefusedWhole) {
    Scratch dir;
    TestDoc doc;
    ASSERT_TRUE(LoadBytes(doc, dir, Utf16Le(u"\u4E2D\u6587 line\r\nsecond"), FxEncDetect));
    ASSERT_EQ(doc.Encoding(), FxEncUtf16Le);
    SetBookmark(doc, 1);
    auto snap = TakeRecoverySnapshot(doc, SampleInfo(dir.Path("in.txt")));
    const std::string copy = dir.Path("c.qvr");
    ASSERT_TRUE(WriteRecoveryCopy(*snap, copy));
    const std::string whole = ReadBytes(copy);

    // Every shorter file: the seal is gone or its lengths disagree.
    for (size_t cut = 0; cut < whole.size(); ++cut) {
        WriteBytes(dir.Path("cut.qvr"), whole.substr(0, cut));
        FxRecoveryInfo info;
        EXPECT_FALSE(ReadRecoveryInfo(dir.Path("cut.qvr"), info)) << cut;
        TestDoc back;
        SetText(back, "old text");
        EXPECT_FALSE(LoadRecoveryText(back, dir.Path("cut.qvr"))) << cut;
        EXPECT_EQ(LogicalText(back), "") << cut;
        EXPECT_EQ(back.RecordCount(), 1);
    }
    // Every single byte changed: the info's or the text's checksum disagrees.
    for (size_t at = 0; at < whole.size(); ++at) {
        std::string bad = whole;
        bad[at] = static_cast<char>(bad[at] ^ 0x20);
        WriteBytes(dir.Path("bad.qvr"), bad);
        TestDoc back;
        EXPECT_FALSE(LoadRecoveryText(back, dir.Path("bad.qvr"))) << at;
    }
    // Bytes appended, and a file that is no copy at all.
    WriteBytes(dir.Path("long.qvr"), whole + "x");
    FxRecoveryInfo info;
    EXPECT_FALSE(ReadRecoveryInfo(dir.Path("long.qvr"), info));
    EXPECT_FALSE(ReadRecoveryInfo(dir.Path("missing.qvr"), info));
    WriteBytes(dir.Path("text.qvr"), std::string(100, 'Q'));
    EXPECT_FALSE(ReadRecoveryInfo(dir.Path("text.qvr"), info));
    // The whole copy still reads.
    TestDoc back;
    EXPECT_TRUE(LoadRecoveryText(back, copy));
}

TEST(RecoveryCopy, FailedWriteLeavesThePreviousCopy) {
    Scratch dir;
    TestDoc doc;
    SetText(doc, "first version");
    const std::string copy = dir.Path("p.qvr");
    ASSERT_TRUE(WriteRecoveryCopy(*TakeRecoverySnapshot(doc, SampleInfo("")), copy));
    const std::string first = ReadBytes(copy);

    SetText(doc, "second version, longer");
    auto snap = TakeRecoverySnapshot(doc, SampleInfo(""));
    std::atomic<bool> cancel{true};
    uint32_t error = 0;
    EXPECT_FALSE(WriteRecoveryCopy(*snap, copy, &error, cancel));
    EXPECT_NE(error, 0u);
    EXPECT_EQ(ReadBytes(copy), first);
    EXPECT_EQ(dir.FileCount(), 1u); // the temporary file is gone
    // A copy into a folder that does not exist fails and makes nothing.
    EXPECT_FALSE(WriteRecoveryCopy(*snap, dir.Path("no/such/x.qvr"), &error));
    EXPECT_NE(error, 0u);
}

TEST(RecoveryCopy, TextTheEncodingCannotTakeIsKeptAsItsBytes) {
    Scratch dir;
    TestDoc doc;
    // A lead byte with no second byte before the line end cannot become UTF-8.
    SetText(doc, "ok\r\nbad \x81\r\nend");
    doc.SetEncoding(FxEncUtf8);
    auto snap = TakeRecoverySnapshot(doc, SampleInfo(""));
    ASSERT_TRUE(WriteRecoveryCopy(*snap, dir.Path("b.qvr")));
    TestDoc back;
    ASSERT_TRUE(LoadRecoveryText(back, dir.Path("b.qvr")));
    EXPECT_EQ(LogicalText(back), "ok\r\nbad \x81\r\nend");
    EXPECT_EQ(back.Encoding(), FxEncUtf8);
}

TEST(RecoveryStore, LiveInstancesKeepTheirCopiesEndedOnesLeaveOrphans) {
    Scratch dir;
    const std::string root = dir.Path("Recovery");
    TestDoc doc;
    SetText(doc, "text");
    auto snap = TakeRecoverySnapshot(doc, SampleInfo(""));

    std::vector<std::string> aCopies;
    {
        FxRecoveryStore a(root);
        ASSERT_TRUE(a.Open());
        for (int i = 0; i < 3; ++i) {
            aCopies.push_back(a.NewCopyPath());
            ASSERT_TRUE(WriteRecoveryCopy(*snap, aCopies.back()));
        }
        EXPECT_NE(aCopies[0], aCopies[1]);
        FxRecoveryStore b(root);
        ASSERT_TRUE(b.Open());
        EXPECT_NE(a.InstanceFolder(), b.InstanceFolder());
        EXPECT_TRUE(b.FindOrphanCopies().empty()); // a still runs
        EXPECT_TRUE(a.FindOrphanCopies().empty());
        // b ends normally with a copy it removed: nothing of it is left.
        std::string bCopy = b.NewCopyPath();
        ASSERT_TRUE(WriteRecoveryCopy(*snap, bCopy));
        EXPECT_TRUE(b.RemoveCopy(bCopy));
    } // a ends without removing its copies, as a killed instance does

    FxRecoveryStore c(root);
    ASSERT_TRUE(c.Open());
    std::vector<std::string> orphans = c.FindOrphanCopies();
    EXPECT_EQ(orphans, aCopies);
    {
        // An instance starting while c decides does not offer them too.
        FxRecoveryStore d(root);
        ASSERT_TRUE(d.Open());
        EXPECT_TRUE(d.FindOrphanCopies().empty());
    }
    EXPECT_TRUE(c.DiscardOrphan(orphans[0]));
    EXPECT_EQ(ReadBytes(orphans[0]), "<missing>");
    EXPECT_FALSE(c.DiscardOrphan(dir.Path("elsewhere.qvr")));
    // A second call finds the claimed set's remaining copies again.
    EXPECT_EQ(c.FindOrphanCopies(), (std::vector<std::string>{orphans[1], orphans[2]}));
    c.DiscardOrphan(orphans[1]);
    c.DiscardOrphan(orphans[2]);
    c.RemoveAll();
    // Nothing is left but the folder itself.
    EXPECT_EQ(dir.FileCount(), 0u);
}

TEST(RecoveryStore, UndecidedOrphansComeBackAtTheNextStart) {
    Scratch dir;
    const std::string root = dir.Path("\xD6\xD0\xCE\xC4\x81\x5C");
    TestDoc doc;
    SetText(doc, "x");
    {
        FxRecoveryStore a(root);
        ASSERT_TRUE(a.Open());
        ASSERT_TRUE(WriteRecoveryCopy(*TakeRecoverySnapshot(doc, SampleInfo("")), a.NewCopyPath()));
    }
    {
        FxRecoveryStore b(root);
        ASSERT_TRUE(b.Open());
        EXPECT_EQ(b.FindOrphanCopies().size(), 1u);
        b.RemoveAll(); // "稍后决定": b ends normally, the orphan stays
    }
    FxRecoveryStore c(root);
    ASSERT_TRUE(c.Open());
    ASSERT_EQ(c.FindOrphanCopies().size(), 1u);
    FxRecoveryInfo info;
    EXPECT_TRUE(ReadRecoveryInfo(c.FindOrphanCopies()[0], info));
}

TEST(RecoveryWriter, WritesRemovesAndReplacesWaitingSnapshots) {
    Scratch dir;
    TestDoc doc;
    FxRecoveryWriter writer;
    const std::string a = dir.Path("a.qvr"), b = dir.Path("b.qvr");
    for (int i = 0; i < 20; ++i) {
        SetText(doc, "version " + std::to_string(i));
        writer.Post(TakeRecoverySnapshot(doc, SampleInfo("")), a);
        writer.Post(TakeRecoverySnapshot(doc, SampleInfo("")), b);
    }
    writer.WaitIdle();
    EXPECT_LE(writer.WrittenCount(), 40u);
    EXPECT_EQ(writer.FailedCount(), 0u);
    TestDoc back;
    ASSERT_TRUE(LoadRecoveryText(back, a));
    EXPECT_EQ(LogicalText(back), "version 19"); // the last posted one is the copy
    writer.Remove(a);
    EXPECT_EQ(ReadBytes(a), "<missing>");
    EXPECT_NE(ReadBytes(b), "<missing>");
    // A snapshot posted and removed before the worker takes it leaves no copy.
    writer.Post(TakeRecoverySnapshot(doc, SampleInfo("")), a);
    writer.Remove(a);
    writer.WaitIdle();
    EXPECT_EQ(ReadBytes(a), "<missing>");
}

namespace {

// Whether a copy's write is under way in the folder: its temporary file is there.
bool WriteUnderWay(const Scratch& dir) {
    for (const auto& e : std::filesystem::directory_iterator(dir.Dir()))
        if (e.path().extension() == ".tmp")
            return true;
    return false;
}

// A document of some 16 MB, whose copy takes a while to write.
void MakeLarge(TestDoc& doc, const std::string& first) {
    std::string text = first;
    for (int i = 0; i < 400000; ++i)
        text += "\r\n\xD6\xD0\xCE\xC4 0123456789 abcdefghij klmnopqrs";
    SetText(doc, text);
}

bool WaitUntil(const std::function<bool()>& cond) {
    for (int i = 0; i < 20000 && !cond(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return cond();
}

} // namespace

// A write of one copy that lasts until the test lets it go.
class HeldWrite {
public:
    explicit HeldWrite(std::string path) : m_path(std::move(path)) {}
    FxRecoveryWriter::WriteFunc Func() {
        return [this](const FxRecoverySnapshot& snap, const std::string& path, uint32_t* error,
                      const std::atomic<bool>& cancel) {
            if (path == m_path) {
                entered = true;
                while (!released && !cancel)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            return WriteRecoveryCopy(snap, path, error, cancel);
        };
    }
    std::atomic<bool> entered{false}, released{false};

private:
    std::string m_path;
};

TEST(RecoveryWriter, NewerSnapshotReplacesTheWaitingOne) {
    Scratch dir;
    TestDoc doc;
    const std::string a = dir.Path("a.qvr"), b = dir.Path("b.qvr");
    HeldWrite held(a);
    FxRecoveryWriter writer;
    writer.SetWriteFunc(held.Func());
    SetText(doc, "a");
    writer.Post(TakeRecoverySnapshot(doc, SampleInfo("")), a);
    ASSERT_TRUE(WaitUntil([&] { return held.entered.load(); }));
    // While a is written, three snapshots of b come: only the last one waits.
    for (int i = 1; i <= 3; ++i) {
        SetText(doc, "b version " + std::to_string(i));
        writer.Post(TakeRecoverySnapshot(doc, SampleInfo("")), b);
    }
    held.released = true;
    writer.WaitIdle();
    EXPECT_EQ(writer.WrittenCount(), 2u);
    TestDoc back;
    ASSERT_TRUE(LoadRecoveryText(back, b));
    EXPECT_EQ(LogicalText(back), "b version 3");
}

TEST(RecoveryWriter, TellsWhatBecameOfEachPost) {
    Scratch dir;
    TestDoc doc;
    SetText(doc, "text");
    const std::string a = dir.Path("a.qvr"), b = dir.Path("b.qvr");
    HeldWrite held(a);
    FxRecoveryWriter writer;
    bool failB = true;
    writer.SetWriteFunc([&](const FxRecoverySnapshot& snap, const std::string& path,
                            uint32_t* error, const std::atomic<bool>& cancel) {
        if (path == b && failB) {
            *error = 112; // the disk is full
            return false;
        }
        return held.Func()(snap, path, error, cancel);
    });
    const uint64_t first = writer.Post(TakeRecoverySnapshot(doc, SampleInfo("")), a);
    ASSERT_TRUE(WaitUntil([&] { return held.entered.load(); }));
    EXPECT_EQ(writer.OutcomeOf(a, first), FxRecoveryWriter::Outcome::Waiting);
    // A newer post while the older one is written: the older one's outcome is the newer one's.
    const uint64_t second = writer.Post(TakeRecoverySnapshot(doc, SampleInfo("")), a);
    EXPECT_GT(second, first);
    const uint64_t failed = writer.Post(TakeRecoverySnapshot(doc, SampleInfo("")), b);
    held.released = true;
    writer.WaitIdle();
    EXPECT_EQ(writer.OutcomeOf(a, second), FxRecoveryWriter::Outcome::Written);
    EXPECT_EQ(writer.OutcomeOf(b, failed), FxRecoveryWriter::Outcome::Failed);
    EXPECT_EQ(writer.LastError(), 112u);
    // Tried again: the new post settles it.
    failB = false;
    const uint64_t retried = writer.Post(TakeRecoverySnapshot(doc, SampleInfo("")), b);
    writer.WaitIdle();
    EXPECT_EQ(writer.OutcomeOf(b, retried), FxRecoveryWriter::Outcome::Written);
    writer.Remove(a);
    EXPECT_EQ(writer.OutcomeOf(a, second), FxRecoveryWriter::Outcome::Unknown);
    EXPECT_EQ(writer.OutcomeOf(b, retried + 1), FxRecoveryWriter::Outcome::Unknown);
    EXPECT_EQ(writer.Post(nullptr, b), 0u);
}

TEST(RecoveryCopy, CheckingACopyReadsItsTextWhole) {
    Scratch dir;
    TestDoc doc;
    SetText(doc, "\xD6\xD0\xCE\xC4 sound text\r\nline two");
    const std::string path = dir.Path("c.qvr");
    ASSERT_TRUE(WriteRecoveryCopy(*TakeRecoverySnapshot(doc, SampleInfo("c.txt")), path));
    FxRecoveryInfo info;
    EXPECT_EQ(CheckRecoveryCopy(path, info), FxRecoveryCheck::Sound);
    EXPECT_EQ(info.path, SampleInfo("c.txt").path);
    // One byte of the text changed: the info still reads, the copy is damaged.
    std::string bytes = ReadBytes(path);
    bytes[bytes.find("sound")] = 'S';
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    EXPECT_TRUE(ReadRecoveryInfo(path, info));
    EXPECT_EQ(CheckRecoveryCopy(path, info), FxRecoveryCheck::Damaged);
    // Cut short: damaged too; missing: not opened (perhaps another time), never damaged.
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bytes.substr(0, bytes.size() / 2);
    }
    EXPECT_EQ(CheckRecoveryCopy(path, info), FxRecoveryCheck::Damaged);
    EXPECT_EQ(CheckRecoveryCopy(dir.Path("missing.qvr"), info), FxRecoveryCheck::NotOpened);
    // An empty document's copy is sound.
    SetText(doc, "");
    ASSERT_TRUE(WriteRecoveryCopy(*TakeRecoverySnapshot(doc, SampleInfo("")), path));
    EXPECT_EQ(CheckRecoveryCopy(path, info), FxRecoveryCheck::Sound);
}

TEST(RecoveryWriter, RemoveWaitsForTheWriteUnderWay) {
    Scratch dir;
    TestDoc doc;
    SetText(doc, "a");
    const std::string a = dir.Path("a.qvr");
    HeldWrite held(a);
    FxRecoveryWriter writer;
    writer.SetWriteFunc(held.Func());
    writer.Post(TakeRecoverySnapshot(doc, SampleInfo("")), a);
    ASSERT_TRUE(WaitUntil([&] { return held.entered.load(); }));
    std::atomic<bool> removed{false};
    std::thread remover([&] {
        writer.Remove(a);
        removed = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(removed.load()); // still waiting for the write
    held.released = true;
    remover.join();
    // The write ended before the copy was deleted: neither the copy nor its temporary file is
    // left, and nothing comes back afterwards.
    EXPECT_EQ(writer.WrittenCount(), 1u);
    EXPECT_EQ(ReadBytes(a), "<missing>");
    writer.WaitIdle();
    EXPECT_EQ(dir.FileCount(), 0u);
}

TEST(RecoveryWriter, EndingCancelsAHeldWrite) {
    Scratch dir;
    TestDoc doc;
    SetText(doc, "previous");
    const std::string a = dir.Path("a.qvr");
    ASSERT_TRUE(WriteRecoveryCopy(*TakeRecoverySnapshot(doc, SampleInfo("")), a));
    HeldWrite held(a);
    {
        FxRecoveryWriter writer;
        writer.SetWriteFunc(held.Func());
        SetText(doc, "newer");
        writer.Post(TakeRecoverySnapshot(doc, SampleInfo("")), a);
        ASSERT_TRUE(WaitUntil([&] { return held.entered.load(); }));
    } // never released: only the writer's end lets it go, cancelled
    TestDoc back;
    ASSERT_TRUE(LoadRecoveryText(back, a));
    EXPECT_EQ(LogicalText(back), "previous");
    EXPECT_EQ(dir.FileCount(), 1u);
}

TEST(RecoveryWriter, EndingStopsAWriteUnderWayAndKeepsThePreviousCopy) {
    Scratch dir;
    TestDoc doc, big;
    SetText(doc, "previous");
    const std::string a = dir.Path("a.qvr");
    ASSERT_TRUE(WriteRecoveryCopy(*TakeRecoverySnapshot(doc, SampleInfo("")), a));
    MakeLarge(big, "large");
    {
        FxRecoveryWriter writer;
        writer.Post(TakeRecoverySnapshot(big, SampleInfo("")), a);
        ASSERT_TRUE(WaitUntil([&] { return WriteUnderWay(dir); }));
    }
    EXPECT_FALSE(WriteUnderWay(dir));
    TestDoc back;
    ASSERT_TRUE(LoadRecoveryText(back, a));
    // Either the write was stopped or it had just ended: the copy is whole either way.
    const std::string text = LogicalText(back);
    EXPECT_TRUE(text == "previous" || text.compare(0, 5, "large") == 0);
}

TEST(RecoveryWriter, PreparedMemoryServesTheNextSnapshot) {
    TestDoc big;
    MakeLarge(big, "large");
    FxRecoveryWriter writer;
    writer.Prepare(big.DocumentSize());
    writer.WaitIdle();
    auto snap = TakeRecoverySnapshot(big, SampleInfo(""));
    EXPECT_EQ(snap->TextBytes(), big.DocumentSize());
    EXPECT_EQ(std::string(snap->Text(), 5), "large");
}

TEST(RecoveryCopy, WrappedDocumentGivesItsLogicalLines) {
    Scratch dir;
    TestDoc doc;
    ColumnSplitter splitter(4);
    doc.SetAttachedViews(&splitter, nullptr);
    SetText(doc, "abcdefghij\r\n\xD6\xD0\xCE\xC4\xB2\xE2\xCA\xD4xy\r\n\r\nlast line here");
    doc.SetWrap(1, 4);
    doc.WrapAllLines();
    ASSERT_GT(doc.RecordCount(), doc.LogicalLineCount());
    // A bookmark on a continuation piece marks its logical line.
    FxTextPos pos(0, 3);
    doc.LogicalToPiece(pos);
    doc.RecordRef(pos.line + 1).flags |= FXL_BOOKMARK;
    doc.SetBookmarkCount(1);
    auto snap = TakeRecoverySnapshot(doc, SampleInfo(""));
    EXPECT_EQ(std::string(snap->Text(), static_cast<size_t>(snap->TextBytes())),
              "abcdefghij\r\n\xD6\xD0\xCE\xC4\xB2\xE2\xCA\xD4xy\r\n\r\nlast line here");
    EXPECT_EQ(snap->Info().bookmarks, std::vector<int32_t>{3});
    doc.SetAttachedViews(nullptr, nullptr);
}

TEST(RecoveryCopy, LargeDocumentCopiedInHalvesIsWholeAndInOrder) {
    Scratch dir;
    TestDoc doc;
    // Some 12 MB of numbered lines of varying lengths, long ones included, with lone CR breaks.
    std::string text;
    const int lines = 200000;
    for (int i = 0; i < lines; ++i) {
        if (i)
            text += "\r\n";
        text += std::to_string(i) + std::string(static_cast<size_t>(i % 97), '\xB2');
        if (i % 1000 == 7)
            text += std::string(3000, 'L');
    }
    SetText(doc, text);
    doc.SetLineEndType(FxLineEndMac);
    const std::vector<int32_t> marks = {0, 1, lines / 2 - 1, lines / 2, lines / 2 + 1, lines - 1};
    for (int32_t line : marks)
        SetBookmark(doc, line);
    const std::string expected = SavedBytes(doc, dir, "large.txt");
    ASSERT_GT(expected.size(), 8u << 20);
    auto snap = TakeRecoverySnapshot(doc, SampleInfo(""));
    ASSERT_EQ(snap->TextBytes(), static_cast<int64_t>(expected.size()));
    EXPECT_TRUE(std::string(snap->Text(), expected.size()) == expected);
    EXPECT_EQ(snap->Info().bookmarks, marks);
    ASSERT_TRUE(WriteRecoveryCopy(*snap, dir.Path("large.qvr")));
    TestDoc back;
    ASSERT_TRUE(LoadRecoveryText(back, dir.Path("large.qvr")));
    EXPECT_EQ(back.LineEndType(), FxLineEndMac);
    EXPECT_EQ(Bookmarks(back), marks);
    EXPECT_TRUE(SavedBytes(back, dir, "back.txt") == expected);
}

TEST(RecoveryStore, LeftoversOfEndedInstancesAreTidied) {
    Scratch dir;
    const std::string root = dir.Path("Recovery");
    TestDoc doc;
    SetText(doc, "kept");
    std::string copy;
    {
        FxRecoveryStore a(root);
        ASSERT_TRUE(a.Open());
        copy = a.NewCopyPath();
        ASSERT_TRUE(WriteRecoveryCopy(*TakeRecoverySnapshot(doc, SampleInfo("")), copy));
        // A write that never finished left its temporary file.
        WriteBytes(copy + ".0000ABCD.tmp", "partial");
    }
    // A set whose lock file is gone but which holds a copy, and an empty one without a lock.
    // The native tests' folders use "/", which is never a trail byte.
    const char* sep = root.find('/') != std::string::npos ? "/" : "\\";
    const std::string noLock = root + sep + "dead";
    ASSERT_TRUE(std::filesystem::create_directory(noLock));
    const std::string noLockCopy = noLock + sep + "00000001.qvr";
    ASSERT_TRUE(WriteRecoveryCopy(*TakeRecoverySnapshot(doc, SampleInfo("")), noLockCopy));
    const std::string empty = root + sep + "empty";
    ASSERT_TRUE(std::filesystem::create_directory(empty));

    FxRecoveryStore b(root);
    ASSERT_TRUE(b.Open());
    std::vector<std::string> orphans = b.FindOrphanCopies();
    std::sort(orphans.begin(), orphans.end());
    std::vector<std::string> expected = {copy, noLockCopy};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(orphans, expected);
    EXPECT_FALSE(std::filesystem::exists(empty));
    EXPECT_FALSE(std::filesystem::exists(copy + ".0000ABCD.tmp"));
    for (const std::string& o : orphans)
        EXPECT_TRUE(b.DiscardOrphan(o));
    b.RemoveAll();
    EXPECT_TRUE(std::filesystem::is_empty(root));
}

TEST(RecoveryCopy, FileStampOfAFileAndOfNone) {
    Scratch dir;
    WriteBytes(dir.Path("f.txt"), "12345");
    uint64_t time = 0, size = 0;
    ASSERT_TRUE(ReadFileStamp(dir.Path("f.txt"), time, size));
    EXPECT_EQ(size, 5u);
    EXPECT_NE(time, 0u);
    EXPECT_FALSE(ReadFileStamp(dir.Path("none.txt"), time, size));
    EXPECT_EQ(time, 0u);
    EXPECT_EQ(size, 0u);
    EXPECT_FALSE(ReadFileStamp("", time, size));
}
