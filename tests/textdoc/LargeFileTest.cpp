// Documents of more than 2 GB in the 64-bit build: load, edit, undo, save and reload across the
// 2 GB edge, and the line records' size in both builds.
#include "FileTestUtil.h"

#include "common/FxErrors.h"
#include "textdoc/FileIO.h"
#include "textdoc/RecoveryCopy.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

TEST(LargeFile, LineRecordSizeStaysSmall) {
#if UINTPTR_MAX > 0xFFFFFFFFu
    EXPECT_EQ(sizeof(FxLine), 40u); // a 32-bit block number in place of a pointer, no padding
#else
    EXPECT_EQ(sizeof(FxLine), 36u);
#endif
}

namespace {

// Records the progress it is told; cancels a load at `cancelAt` percent.
class ProgressDoc : public TestDoc {
public:
    bool OnFileProgress(bool saving, int percent) override {
        (saving ? saves : loads).push_back(percent);
        return saving || percent < cancelAt;
    }
    std::vector<int> loads, saves;
    int cancelAt = 101;
};

bool Increasing(const std::vector<int>& v) {
    for (size_t i = 1; i < v.size(); ++i)
        if (v[i] <= v[i - 1])
            return false;
    return true;
}

} // namespace

TEST(LargeFile, ALongLoadAndSaveTellTheirProgressAndTheLoadCanBeCancelled) {
    Scratch dir;
    // 24 MB of 60-byte lines: above the size from which progress is told.
    std::string text;
    text.reserve(24u << 20);
    while (text.size() < (24u << 20))
        text += "0123456789012345678901234567890123456789012345678901234567\r\n";
    const std::string path = dir.Path("long.txt");
    WriteBytes(path, text);

    ProgressDoc doc;
    ASSERT_TRUE(LoadDocumentFile(doc, path.c_str()));
    ASSERT_FALSE(doc.loads.empty());
    EXPECT_EQ(doc.loads.front(), 0);
    EXPECT_EQ(doc.loads.back(), 100);
    EXPECT_TRUE(Increasing(doc.loads));
    EXPECT_EQ(doc.DocumentSize(), static_cast<int64_t>(text.size()));

    ASSERT_TRUE(SaveDocumentFile(doc, dir.Path("copy.txt").c_str()));
    ASSERT_FALSE(doc.saves.empty());
    EXPECT_EQ(doc.saves.back(), 100);
    EXPECT_TRUE(Increasing(doc.saves));

    // Cancelled half-way: nothing of the file stays.
    ProgressDoc cancelled;
    cancelled.cancelAt = 50;
    SetText(cancelled, "kept");
    bool threw = false;
    try {
        LoadDocumentFile(cancelled, path.c_str());
    } catch (const FxCancelled&) {
        threw = true;
    }
    EXPECT_TRUE(threw);
    EXPECT_EQ(cancelled.loads.back(), 50);
    EXPECT_EQ(cancelled.RecordCount(), 1);
    EXPECT_EQ(cancelled.DocumentSize(), 0);
    EXPECT_EQ(cancelled.TextBlocks().BlockCount(), 0u);

    // A small file tells nothing.
    ProgressDoc small;
    ASSERT_TRUE(LoadBytes(small, dir, "abc\r\ndef"));
    EXPECT_TRUE(small.loads.empty());
}

#ifdef _WIN64

namespace {

// The size the system reports for the open file.
uint64_t FileSizeOf(const std::string& path) {
    uint32_t error = 0;
    fxsys::FileHandle f = fxsys::OpenForRead(path.c_str(), &error);
    uint64_t size = 0;
    if (f && !fxsys::GetFileSize64(f, &size, &error))
        size = 0;
    if (f)
        fxsys::CloseFile(f);
    return size;
}

std::string LineTail(const CFxEditDoc& doc, int32_t line, size_t n) {
    const FxLine& r = doc.Record(line);
    if (static_cast<size_t>(r.lineLen) < n)
        return std::string(r.data, static_cast<size_t>(r.lineLen));
    return std::string(r.data + r.lineLen - n, n);
}

} // namespace

// 2,112 MiB: 64 MiB past the 2 GB edge, lines of 1 MiB; its recovery copy too.
TEST(LargeFile, MoreThanTwoGigabytesLoadEditUndoSaveReloadAndRecover) {
    Scratch dir;
    const uint64_t chunks = 2048 + 64;
    const std::string path = dir.Path("big.txt");
    ASSERT_TRUE(MakeChunkedFile(path, chunks));
    const int64_t fileSize = static_cast<int64_t>(chunks * kMiB);

    TestDoc doc;
    ASSERT_TRUE(LoadDocumentFile(doc, path.c_str()));
    EXPECT_EQ(doc.DocumentSize(), fileSize);
    EXPECT_EQ(doc.LogicalLineCount(), static_cast<int32_t>(chunks + 1));
    EXPECT_EQ(doc.LineEndType(), FxLineEndDos);
    // Its first line with a 0 byte is valid UTF-8: the UTF-8 load, written back with the mark.
    EXPECT_EQ(doc.Encoding(), FxEncUtf8);
    EXPECT_EQ(LineTail(doc, 0, 7), "L000000");
    // Line 2048 starts before the edge and ends after it.
    EXPECT_EQ(LineTail(doc, 2048, 7), "L002048");
    EXPECT_EQ(doc.GetLineLength(2048), static_cast<int32_t>(kMiB - 2));
    EXPECT_GT(doc.PosToOffset(FxTextPos(0, 2100)), int64_t{1} << 31);
    EXPECT_EQ(doc.GetLineLength(static_cast<int32_t>(chunks)), static_cast<int32_t>(kMiB - 9));

    // Typing at the end, then a deletion across the edge, undone.
    const int32_t last = static_cast<int32_t>(chunks);
    TypeAt(doc, FxTextPos(doc.GetLineLength(last), last), "end");
    EXPECT_EQ(doc.DocumentSize(), fileSize + 3);
    DeleteRange(doc, FxTextPos(3, 2040), FxTextPos(5, 2060));
    EXPECT_EQ(doc.LogicalLineCount(), static_cast<int32_t>(chunks + 1 - 20));
    EXPECT_EQ(doc.DocumentSize(), fileSize + 3 - 20 * static_cast<int64_t>(kMiB) - 2);
    FxTextPos caret;
    ASSERT_TRUE(doc.Undo(&caret));
    EXPECT_EQ(doc.LogicalLineCount(), static_cast<int32_t>(chunks + 1));
    EXPECT_EQ(doc.DocumentSize(), fileSize + 3);
    EXPECT_EQ(LineTail(doc, 2050, 7), "L002050");

    // The whole text from the end of line 0 on, more than 2 GB, removed and put back by undo.
    DeleteRange(doc, FxTextPos(7, 0), FxTextPos(doc.GetLineLength(last), last));
    EXPECT_EQ(doc.LogicalLineCount(), 1);
    EXPECT_EQ(doc.DocumentSize(), 7);
    ASSERT_TRUE(doc.Undo(&caret));
    EXPECT_EQ(doc.LogicalLineCount(), static_cast<int32_t>(chunks + 1));
    EXPECT_EQ(doc.DocumentSize(), fileSize + 3);
    EXPECT_EQ(LineTail(doc, 2111, 7), "L002111");
    EXPECT_EQ(LineTail(doc, last, 3), "end");

    // Saved whole and read back.
    const std::string copy = dir.Path("copy.txt");
    ASSERT_TRUE(SaveDocumentFile(doc, copy.c_str()));
    EXPECT_EQ(FileSizeOf(copy), static_cast<uint64_t>(fileSize + 3 + 3)); // with the mark
    fs::remove(path);
    ASSERT_TRUE(LoadDocumentFile(doc, copy.c_str()));
    EXPECT_EQ(doc.LogicalLineCount(), static_cast<int32_t>(chunks + 1));
    EXPECT_EQ(doc.DocumentSize(), fileSize + 3);
    EXPECT_EQ(doc.Encoding(), FxEncUtf8);
    EXPECT_EQ(LineTail(doc, 2049, 7), "L002049");
    EXPECT_EQ(LineTail(doc, last, 3), "end");

    // A recovery copy of it, with a bookmark past the edge, read back.
    doc.RecordRef(2100).flags |= FXL_BOOKMARK;
    doc.SetBookmarkCount(1);
    const std::string copyPath = dir.Path("big.qvr");
    {
        FxRecoveryInfo info;
        info.path = copy;
        auto snap = TakeRecoverySnapshot(doc, info);
        EXPECT_EQ(snap->TextBytes(), fileSize + 3);
        ASSERT_TRUE(WriteRecoveryCopy(*snap, copyPath));
    }
    ReleaseRecoveryMemory();
    FxRecoveryInfo back;
    EXPECT_EQ(CheckRecoveryCopy(copyPath, back), FxRecoveryCheck::Sound);
    EXPECT_EQ(back.bookmarks, std::vector<int32_t>{2100});
    ASSERT_TRUE(LoadRecoveryText(doc, copyPath));
    EXPECT_EQ(doc.LogicalLineCount(), static_cast<int32_t>(chunks + 1));
    EXPECT_EQ(doc.DocumentSize(), fileSize + 3);
    EXPECT_NE(doc.Record(2100).flags & FXL_BOOKMARK, 0u);
    EXPECT_EQ(LineTail(doc, 2100, 7), "L002100");
    EXPECT_EQ(LineTail(doc, last, 3), "end");
}

// One logical line longer than 2 GB is refused as a file too large, leaving no part behind.
TEST(LargeFile, ALineLongerThanTwoGigabytesIsRefused) {
    Scratch dir;
    const std::string path = dir.Path("one-line.bin");
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    LARGE_INTEGER li;
    li.QuadPart = (LONGLONG{1} << 31) + 10;
    const bool made = SetFilePointerEx(h, li, nullptr, FILE_BEGIN) && SetEndOfFile(h);
    CloseHandle(h);
    ASSERT_TRUE(made);
    TestDoc doc;
    SetText(doc, "kept");
    uint32_t error = 0;
    try {
        LoadDocumentFile(doc, path.c_str());
    } catch (const FxFileError& e) {
        error = e.OsError();
    }
    EXPECT_EQ(error, fxsys::kErrFileTooLarge);
    EXPECT_EQ(doc.RecordCount(), 1);
    EXPECT_EQ(doc.DocumentSize(), 0);
    EXPECT_EQ(doc.TextBlocks().BlockCount(), 0u);
}

#endif
