// Bad input and failing files: binary and random bytes in every encoding, broken UTF-8 and
// UTF-16, empty files, files too large for the document, locked and read-only files, paths at the
// length limit, and saves that fail half way. Each ends in the documented event or a clear error,
// never a crash, and never loses the file on disk.
#include <gtest/gtest.h>

#include "FileTestUtil.h"
#include "common/FxErrors.h"
#include "common/SysFile.h"
#include "textdoc/FileIO.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;

bool Load(TestDoc& doc, const Scratch& dir, const std::string& bytes, int requested = 0) {
    return LoadBytes(doc, dir, bytes, requested, "in.bin");
}

// The ANSI load's lines with CR LF between them, the plain way.
std::string SplitReference(const std::string& bytes) {
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            out += "\r\n";
        } else {
            out += bytes[i];
        }
    }
    return out;
}

#if UINTPTR_MAX == 0xFFFFFFFFu
// Makes a file of the given size without writing its bytes.
bool MakeSparseFile(const std::string& path, uint64_t size) {
#ifdef _WIN32
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER li;
    li.QuadPart = static_cast<LONGLONG>(size);
    bool ok = SetFilePointerEx(h, li, nullptr, FILE_BEGIN) && SetEndOfFile(h);
    CloseHandle(h);
    return ok;
#else
    WriteBytes(path, "");
    return truncate(path.c_str(), static_cast<off_t>(size)) == 0;
#endif
}
#endif

// A document whose store fails on request: the conversion of the n-th run, or the write after
// a number of bytes (a disk that fills up).
class FailingDoc : public TestDoc {
public:
    int failConversionAt = -1;
    int64_t failWriteAfter = -1;
    int conversions = 0;
    int64_t written = 0;

protected:
    int ConvertForStore(const char* ansi, int len, uint16_t* units, int capacity) override {
        if (conversions++ == failConversionAt)
            return 0;
        return CFxEditDoc::ConvertForStore(ansi, len, units, capacity);
    }
    void WriteForStore(fxsys::FileHandle file, const void* data, size_t len) override {
        if (failWriteAfter >= 0 && written + static_cast<int64_t>(len) > failWriteAfter) {
            size_t part = static_cast<size_t>(failWriteAfter - written);
            CFxEditDoc::WriteForStore(file, data, part);
            written += static_cast<int64_t>(part);
            throw FxFileError(112); // the disk is full
        }
        CFxEditDoc::WriteForStore(file, data, len);
        written += static_cast<int64_t>(len);
    }
};

std::string BigText() {
    std::string s;
    for (int i = 0; i < 40000; ++i)
        s += "line " + std::to_string(i) + " \xD6\xD0\xCE\xC4 text\r\n";
    return s;
}

uint32_t ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const FxFileError& e) {
        return e.OsError();
    }
    return 0;
}

} // namespace

TEST(BadInput, BinaryFileWithNulBytes) {
    Scratch dir;
    std::string bytes;
    std::mt19937 rng(7);
    bytes += '\xFF'; // no UTF-8 in the first line with a high byte
    for (int i = 0; i < 5000; ++i)
        bytes += static_cast<char>(rng() % 4 == 0 ? 0 : rng() % 256);
    TestDoc doc;
    ASSERT_TRUE(Load(doc, dir, bytes));
    EXPECT_EQ(doc.Encoding(), FxEncAnsi);
    EXPECT_EQ(CheckInvariants(doc), "");
    EXPECT_TRUE(LogicalText(doc) == SplitReference(bytes));
    EXPECT_FALSE(doc.IsLoadLossy());
    // Saved in each encoding without harm; the ANSI save keeps every byte of every line.
    for (int enc : {FxEncUtf8, FxEncUtf16Le, FxEncUtf16Be, FxEncAnsi}) {
        doc.SetEncoding(enc);
        EXPECT_TRUE(SaveDocumentFile(doc, dir.Path("out.bin").c_str()));
    }
    TestDoc back;
    ASSERT_TRUE(Load(back, dir, ReadBytes(dir.Path("out.bin")), FxEncAnsi));
    EXPECT_TRUE(LogicalText(back) == LogicalText(doc));
}

TEST(BadInput, RandomBytesInEveryEncoding) {
    Scratch dir;
    std::mt19937 rng(2024);
    const std::string prefixes[] = {"", B({0xFF, 0xFE}), B({0xFE, 0xFF}), B({0xEF, 0xBB, 0xBF})};
    const char pool[] = {0,      '\r',   '\n',   'a',    ' ',    '\x80', '\xBF', '\xC3',
                         '\xE4', '\xED', '\xEF', '\xF0', '\xFE', '\xFF', '\xD6', '\xD0'};
    for (int round = 0; round < 300; ++round) {
        std::string bytes = prefixes[rng() % 4];
        int n = static_cast<int>(rng() % 200);
        for (int k = 0; k < n; ++k)
            bytes += rng() % 3 == 0 ? static_cast<char>(rng() % 256) : pool[rng() % sizeof pool];
        for (int requested = 0; requested <= 4; ++requested) {
            SCOPED_TRACE(testing::Message() << "round " << round << " encoding " << requested);
            TestDoc doc;
            bool ok = Load(doc, dir, bytes, requested);
            EXPECT_GE(doc.RecordCount(), 1);
            EXPECT_EQ(CheckInvariants(doc), "");
            for (const auto& ev : doc.events)
                EXPECT_EQ(ev.first, FxEvLoadConversion);
            EXPECT_EQ(ok, doc.events.empty());
            if (requested == FxEncAnsi) {
                EXPECT_TRUE(LogicalText(doc) == SplitReference(bytes));
            }
            doc.SetEncoding(1 + static_cast<int>(rng() % 4));
            EXPECT_TRUE(SaveDocumentFile(doc, dir.Path("out.bin").c_str()));
        }
    }
}

TEST(BadInput, InvalidUtf8AfterTheFirstLine) {
    Scratch dir;
    TestDoc doc;
    std::string bytes = "a" + B({0xC3, 0xA9}) + "\r\n" + B({0xD6, 0xD0, 0xE4, 0xB8}) + "\r\n" +
                        B({0xF0, 0x9F, 0x98, 0x80, 0xC0, 0x80}) + "\r\nend";
    ASSERT_TRUE(Load(doc, dir, bytes));
    EXPECT_EQ(doc.Encoding(), FxEncUtf8);
    EXPECT_TRUE(doc.IsLoadLossy());
    EXPECT_EQ(doc.RecordCount(), 4);
    EXPECT_EQ(CheckInvariants(doc), "");
    // A well-formed file is not marked.
    TestDoc good;
    ASSERT_TRUE(Load(good, dir, "a" + B({0xC3, 0xA9}) + "\r\n" + B({0xE4, 0xB8, 0xAD})));
    EXPECT_FALSE(good.IsLoadLossy());
    // Nor is a loss remembered past the next load.
    ASSERT_TRUE(Load(doc, dir, "plain"));
    EXPECT_FALSE(doc.IsLoadLossy());
}

TEST(BadInput, OddLengthUtf16) {
    Scratch dir;
    // Odd size: not taken as UTF-16 by detection.
    TestDoc detected;
    ASSERT_TRUE(Load(detected, dir, B({0xFF, 0xFE, 'A', 0, 'B'})));
    EXPECT_EQ(detected.Encoding(), FxEncAnsi);
    // Asked for, the odd last byte is dropped and the load is marked.
    for (int enc : {FxEncUtf16Le, FxEncUtf16Be}) {
        TestDoc doc;
        std::string bytes =
            enc == FxEncUtf16Le ? B({0xFF, 0xFE, 'A', 0, 'B'}) : B({0xFE, 0xFF, 0, 'A', 0});
        ASSERT_TRUE(Load(doc, dir, bytes, enc));
        EXPECT_EQ(LogicalText(doc), "A");
        EXPECT_TRUE(doc.IsLoadLossy());
        TestDoc one;
        ASSERT_TRUE(Load(one, dir, "x", enc)); // fewer than two bytes: nothing
        EXPECT_EQ(one.RecordCount(), 1);
        EXPECT_EQ(one.Record(0).len, 0);
        EXPECT_TRUE(one.events.empty());
    }
}

TEST(BadInput, MarkWithoutText) {
    Scratch dir;
    const std::pair<std::string, int> cases[] = {{B({0xFF, 0xFE}), FxEncUtf16Le},
                                                 {B({0xFE, 0xFF}), FxEncUtf16Be},
                                                 {B({0xEF, 0xBB, 0xBF}), FxEncUtf8}};
    for (const auto& c : cases) {
        TestDoc doc;
        ASSERT_TRUE(Load(doc, dir, c.first));
        EXPECT_EQ(doc.Encoding(), c.second);
        EXPECT_EQ(doc.RecordCount(), 1);
        EXPECT_EQ(doc.DocumentSize(), 0);
        EXPECT_TRUE(doc.events.empty());
        EXPECT_FALSE(doc.IsLoadLossy());
    }
}

TEST(BadInput, EmptyFile) {
    Scratch dir;
    TestDoc doc;
    SetText(doc, "old\r\ntext");
    doc.SetEncoding(FxEncUtf16Be);
    ASSERT_TRUE(Load(doc, dir, ""));
    EXPECT_EQ(doc.RecordCount(), 1);
    EXPECT_EQ(doc.LogicalLineCount(), 1);
    EXPECT_EQ(doc.Record(0).len, 0);
    EXPECT_FALSE(doc.Record(0).HasLineEnd());
    EXPECT_EQ(doc.DocumentSize(), 0);
    EXPECT_EQ(doc.Encoding(), FxEncUtf16Be); // unchanged
    EXPECT_TRUE(doc.events.empty());
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_EQ(CheckInvariants(doc), "");
}

TEST(BadInput, MissingFileAndFolder) {
    Scratch dir;
    TestDoc doc;
    SetText(doc, "kept");
    EXPECT_NE(ErrorOf([&] { LoadDocumentFile(doc, dir.Path("none.txt").c_str()); }), 0u);
    EXPECT_EQ(LogicalText(doc), "kept"); // a file that does not open leaves the document
    std::string nowhere = (fs::path(dir.Dir()) / "no" / "such" / "x.txt").string();
    EXPECT_NE(ErrorOf([&] { SaveDocumentFile(doc, nowhere.c_str()); }), 0u);
    EXPECT_EQ(dir.FileCount(), 0u);
}

TEST(BadInput, FileTooLargeForTheDocumentIsRefusedWhole) {
    Scratch dir;
    // The 32-bit build holds less than 2 GB; 4 GB + 5 would read as 5 bytes with a 32-bit size.
    // (The 64-bit build takes such files: LargeFileTest.cpp.)
#if UINTPTR_MAX == 0xFFFFFFFFu
    for (uint64_t size : {(1ull << 31) + 10, (1ull << 32) + 5}) {
        std::string path = dir.Path("huge.bin");
        if (!MakeSparseFile(path, size))
            GTEST_SKIP() << "no sparse file of " << size << " bytes here";
        TestDoc doc;
        SetText(doc, "kept\r\ntext");
        EXPECT_EQ(ErrorOf([&] { LoadDocumentFile(doc, path.c_str()); }), fxsys::kErrFileTooLarge);
        EXPECT_EQ(LogicalText(doc), "kept\r\ntext");
        fs::remove(path);
    }
#endif
    // The archive itself refuses a length it cannot hold.
    WriteBytes(dir.Path("small.txt"), "abc");
    uint32_t error = 0;
    fxsys::FileHandle file = fxsys::OpenForRead(dir.Path("small.txt").c_str(), &error);
    ASSERT_NE(file, nullptr);
    FxArchive ar;
    ar.file = file;
    ar.length = CFxEditDoc::kMaxFileBytes + 1;
    TestDoc doc;
    EXPECT_EQ(ErrorOf([&] { doc.Serialize(ar); }), fxsys::kErrFileTooLarge);
    EXPECT_EQ(doc.RecordCount(), 1);
    fxsys::CloseFile(file);
}

TEST(BadInput, PathsAtTheLengthLimit) {
    Scratch dir;
    // A folder and a 60-byte file name that make a path of exactly n bytes.
    auto pathOf = [&](size_t n) {
        std::string folder = dir.Dir();
        size_t sub = n - folder.size() - 2 - 60;
        std::string name = std::string(56, 'f') + ".txt";
        fs::path p = fs::path(folder) / std::string(sub, 'd');
        fs::create_directories(p);
        return (p / name).string();
    };
    std::string p259 = pathOf(259);
    ASSERT_EQ(p259.size(), 259u);
    TestDoc doc;
    SetText(doc, "at the limit");
    EXPECT_TRUE(SaveDocumentFile(doc, p259.c_str()));
    TestDoc back;
    EXPECT_TRUE(LoadDocumentFile(back, p259.c_str()));
    EXPECT_EQ(LogicalText(back), "at the limit");
    const size_t files = dir.FileCount();
    for (size_t n : {260u, 261u}) {
        std::string p = pathOf(n);
        ASSERT_EQ(p.size(), n);
        EXPECT_EQ(ErrorOf([&] { SaveDocumentFile(doc, p.c_str()); }),
                  fxsys::kErrFilenameExcedRange);
        EXPECT_EQ(ErrorOf([&] { LoadDocumentFile(back, p.c_str()); }),
                  fxsys::kErrFilenameExcedRange);
    }
    EXPECT_EQ(dir.FileCount(), files);
    EXPECT_EQ(LogicalText(back), "at the limit");

    // A short name in a deep folder: the temporary file's name is shortened to fit.
    std::string folder = dir.Dir();
    fs::path deep = fs::path(folder) / std::string(259 - folder.size() - 2 - 3, 'e');
    std::error_code ec;
    fs::create_directories(deep, ec);
    if (ec)
        GTEST_SKIP() << "no folder of " << deep.string().size() << " bytes here";
    std::string shortName = (deep / "a.t").string();
    ASSERT_EQ(shortName.size(), 259u);
    EXPECT_TRUE(SaveDocumentFile(doc, shortName.c_str()));
    EXPECT_EQ(ReadBytes(shortName), "at the limit");
    EXPECT_EQ(std::distance(fs::directory_iterator(deep), {}), 1);
}

TEST(BadInput, ConversionFailureMidSaveLeavesTheOldFile) {
    Scratch dir;
    std::string target = dir.Path("keep.txt");
    const std::string old = "old content\r\n";
    WriteBytes(target, old);
    for (int enc : {FxEncUtf8, FxEncUtf16Le, FxEncUtf16Be}) {
        FailingDoc doc;
        SetText(doc, BigText()); // several conversion runs
        doc.SetEncoding(enc);
        doc.failConversionAt = 2;
        EXPECT_FALSE(SaveDocumentFile(doc, target.c_str()));
        ASSERT_EQ(doc.events.size(), 1u);
        EXPECT_EQ(doc.events[0].first, FxEvSaveConversion);
        EXPECT_EQ(doc.conversions, 3); // the save was under way
        EXPECT_EQ(ReadBytes(target), old);
        EXPECT_EQ(dir.FileCount(), 1u);
    }
}

TEST(BadInput, ShortWriteLeavesTheOldFile) {
    Scratch dir;
    std::string target = dir.Path("keep.txt");
    const std::string old = "old content\r\n";
    WriteBytes(target, old);
    for (int enc : {FxEncAnsi, FxEncUtf8, FxEncUtf16Le}) {
        FailingDoc doc;
        SetText(doc, BigText());
        doc.SetEncoding(enc);
        doc.failWriteAfter = 300000;
        EXPECT_EQ(ErrorOf([&] { SaveDocumentFile(doc, target.c_str()); }), 112u);
        EXPECT_EQ(ReadBytes(target), old);
        EXPECT_EQ(dir.FileCount(), 1u);
    }
}

TEST(BadInput, ReadOnlyTargetIsNotReplaced) {
    Scratch dir;
    std::string target = dir.Path("ro.txt");
    WriteBytes(target, "protected");
#ifdef _WIN32
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
#else
    chmod(target.c_str(), 0444);
#endif
    TestDoc doc;
    SetText(doc, "new");
    EXPECT_EQ(ErrorOf([&] { SaveDocumentFile(doc, target.c_str()); }), 5u); // access denied
    EXPECT_EQ(ReadBytes(target), "protected");
    EXPECT_EQ(dir.FileCount(), 1u); // no temporary file left behind
#ifdef _WIN32
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
#else
    chmod(target.c_str(), 0644);
#endif
}

#ifdef _WIN32
TEST(BadInput, FileLockedByAnotherProcess) {
    Scratch dir;
    std::string target = dir.Path("locked.txt");
    WriteBytes(target, "locked content");
    HANDLE lock = CreateFileA(target.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    TestDoc doc;
    SetText(doc, "document");
    EXPECT_EQ(ErrorOf([&] { LoadDocumentFile(doc, target.c_str()); }),
              static_cast<uint32_t>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(LogicalText(doc), "document");
    EXPECT_NE(ErrorOf([&] { SaveDocumentFile(doc, target.c_str()); }), 0u);
    CloseHandle(lock);
    EXPECT_EQ(ReadBytes(target), "locked content");
    EXPECT_EQ(dir.FileCount(), 1u);
}

TEST(BadInput, TrailByteWithTheValueOfABackslashInAFileName) {
    Scratch dir;
    // 乗 is 81 5C: the file goes beside the name, not into a folder "\x81".
    std::string path = dir.Dir() + "\\\x81\x5C.txt";
    TestDoc doc;
    SetText(doc, "\xD6\xD0");
    ASSERT_TRUE(SaveDocumentFile(doc, path.c_str()));
    TestDoc back;
    ASSERT_TRUE(LoadDocumentFile(back, path.c_str()));
    EXPECT_EQ(LogicalText(back), "\xD6\xD0");
    EXPECT_TRUE(BackupBeforeSave(path.c_str(), "", true));
    EXPECT_EQ(ReadBytes(dir.Dir() + "\\\x81\x5C_txt.BAK"), "\xD6\xD0");
    EXPECT_EQ(dir.FileCount(), 2u);
}
#endif
