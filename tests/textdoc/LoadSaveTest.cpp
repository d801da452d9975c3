// Loading and saving through files: line splitting and the line-end majority, the records a load
// builds, each encoding's layout, the lossy mark, the safe save and backup names.
#include <gtest/gtest.h>

#include "FileTestUtil.h"
#include "common/SysFile.h"
#include "textdoc/FileIO.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

// Saves through a file and returns what was written.
std::string SaveBytes(TestDoc& doc, const Scratch& dir) {
    std::string path = dir.Path("out.txt");
    EXPECT_TRUE(SaveDocumentFile(doc, path.c_str()));
    return ReadBytes(path);
}

std::string Text(const TestDoc& doc) {
    return LogicalText(doc);
}

} // namespace

TEST(LoadSave, LoneLfInsideACrLfFileBreaksALineAndSavesAsCrLf) {
    Scratch dir;
    TestDoc doc;
    ASSERT_TRUE(LoadBytes(doc, dir, "one\r\ntwo\nhalf\r\nthree"));
    EXPECT_EQ(doc.LineEndType(), FxLineEndDos); // d = 2 > u = 1
    EXPECT_EQ(doc.RecordCount(), 4);
    EXPECT_EQ(doc.LogicalLineCount(), 4);
    EXPECT_EQ(doc.Encoding(), FxEncAnsi);
    EXPECT_EQ(SaveBytes(doc, dir), "one\r\ntwo\r\nhalf\r\nthree");
}

TEST(LoadSave, LineEndTypeByMajority) {
    Scratch dir;
    struct Case {
        const char* bytes;
        int type;
    } cases[] = {
        {"a\nb\rc", FxLineEndUnix},      // u = m, no CR LF
        {"a\rb\rc\nd", FxLineEndMac},    // m > u
        {"a\r\nb\nc", FxLineEndDos},     // u = d: not more
        {"a\r\nb\rc", FxLineEndDos},     // m = d
        {"a\nb\nc\r\nd", FxLineEndUnix}, // u > d
        {"plain", FxLineEndDos},         // no break at all
        {"a\n\r", FxLineEndUnix},        // LF then a lone CR at the end: u = m
        {"\r\r\n\r", FxLineEndMac},      // m = 2 > d = 1
    };
    for (const Case& c : cases) {
        TestDoc doc;
        ASSERT_TRUE(LoadBytes(doc, dir, c.bytes));
        EXPECT_EQ(doc.LineEndType(), c.type) << testing::PrintToString(std::string(c.bytes));
        EXPECT_EQ(doc.TerminatorLength(), c.type == FxLineEndDos ? 2 : 1);
    }
}

TEST(LoadSave, RecordsOfALoadedFile) {
    Scratch dir;
    TestDoc doc;
    // 中文 in GBK, an empty line, a line of spaces and a last line without a break.
    ASSERT_TRUE(LoadBytes(doc, dir, "ab\xD6\xD0\xCE\xC4\r\n\r\n   \r\nend"));
    ASSERT_EQ(doc.RecordCount(), 4);
    EXPECT_EQ(doc.LogicalLineCount(), 4);
    EXPECT_EQ(doc.DocumentSize(), 6 + 2 + 0 + 2 + 3 + 2 + 3);
    EXPECT_EQ(doc.WrapMode(), 0);
    const int32_t lens[] = {6, 0, 3, 3};
    for (int32_t r = 0; r < 4; ++r) {
        const FxLine& rec = doc.Record(r);
        EXPECT_EQ(rec.len, lens[r]);
        EXPECT_EQ(rec.lineLen, lens[r]);
        EXPECT_EQ(rec.dispCol, 0);
        EXPECT_EQ(rec.selStart, -1);
        EXPECT_EQ(rec.selEnd, -1);
        EXPECT_EQ(rec.flags, r < 3 ? static_cast<uint32_t>(FXL_LINEEND) : 0u);
        EXPECT_EQ(rec.data == nullptr, lens[r] == 0);
        EXPECT_EQ(!rec.block, lens[r] == 0);
    }
    EXPECT_EQ(std::string(doc.Record(0).data, 6), "ab\xD6\xD0\xCE\xC4");
    EXPECT_LE(doc.RecordCapacity() - static_cast<size_t>(doc.RecordCount()), 2048u);
    EXPECT_EQ(CheckInvariants(doc), "");
    EXPECT_FALSE(doc.IsLoadLossy());
    EXPECT_TRUE(doc.events.empty());
}

TEST(LoadSave, AFileEndingInABreakHasAnEmptyLastLine) {
    Scratch dir;
    const char* files[] = {"a\r\nb\r\n", "a\nb\n", "a\rb\r", "abc\r", "\n", "\r\n\r\n"};
    for (const char* bytes : files) {
        TestDoc doc;
        ASSERT_TRUE(LoadBytes(doc, dir, bytes));
        const FxLine& last = doc.Record(doc.RecordCount() - 1);
        EXPECT_EQ(last.len, 0);
        EXPECT_FALSE(last.HasLineEnd());
        EXPECT_EQ(SaveBytes(doc, dir), bytes) << testing::PrintToString(std::string(bytes));
        EXPECT_EQ(doc.DocumentSize(), static_cast<int64_t>(std::string(bytes).size()));
    }
}

TEST(LoadSave, LoadReplacesTheContentAndItsHistory) {
    Scratch dir;
    TestDoc doc;
    TypeAt(doc, FxTextPos(0, 0), "typed\r\ntext");
    ASSERT_TRUE(doc.CanUndo());
    ASSERT_TRUE(LoadBytes(doc, dir, "x\ny"));
    EXPECT_EQ(Text(doc), "x\r\ny");
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_FALSE(doc.CanRedo());
    EXPECT_EQ(CheckInvariants(doc), "");
}

TEST(LoadSave, RequestedEncodingOverridesDetection) {
    Scratch dir;
    TestDoc doc;
    ASSERT_TRUE(LoadBytes(doc, dir, B({'A', 0, 'B', 0, '\r', 0, '\n', 0, 'C', 0}), FxEncUtf16Le));
    EXPECT_EQ(doc.Encoding(), FxEncUtf16Le);
    EXPECT_EQ(Text(doc), "AB\r\nC");
    // Saving writes the mark that the file lacked.
    EXPECT_EQ(SaveBytes(doc, dir), B({0xFF, 0xFE, 'A', 0, 'B', 0, '\r', 0, '\n', 0, 'C', 0}));

    TestDoc ansi;
    std::string utf8 = B({0xE4, 0xB8, 0xAD});
    ASSERT_TRUE(LoadBytes(ansi, dir, utf8, FxEncAnsi));
    EXPECT_EQ(ansi.Encoding(), FxEncAnsi);
    EXPECT_EQ(Text(ansi), utf8);
    EXPECT_EQ(SaveBytes(ansi, dir), utf8);
}

TEST(LoadSave, Utf8WithoutMarkIsDetectedFromItsFirstNonAsciiLine) {
    Scratch dir;
    TestDoc doc;
    // 中 in UTF-8 on line 2, then GBK 中 on line 3, which is not UTF-8.
    ASSERT_TRUE(LoadBytes(doc, dir, "ascii\n" + B({0xE4, 0xB8, 0xAD}) + "\n" + B({0xD6, 0xD0})));
    EXPECT_EQ(doc.Encoding(), FxEncUtf8);
    EXPECT_EQ(doc.RecordCount(), 3);
    EXPECT_EQ(std::string(doc.Record(1).data, doc.Record(1).len), "\xD6\xD0");
    EXPECT_TRUE(doc.IsLoadLossy()); // line 3 cannot come back as it was
}

TEST(LoadSave, AFourByteSequenceAloneIsAnsi) {
    Scratch dir;
    TestDoc doc;
    std::string bytes = "x\r\n" + B({0xF0, 0x9F, 0x98, 0x80});
    ASSERT_TRUE(LoadBytes(doc, dir, bytes));
    EXPECT_EQ(doc.Encoding(), FxEncAnsi);
    EXPECT_EQ(SaveBytes(doc, dir), bytes);
}

TEST(LoadSave, MarkedUtf16WithAU0000IsNotUtf16) {
    Scratch dir;
    TestDoc doc;
    std::string bytes = B({0xFF, 0xFE, 'a', 0, 0, 0, 'b', 0});
    ASSERT_TRUE(LoadBytes(doc, dir, bytes));
    EXPECT_EQ(doc.Encoding(), FxEncAnsi);
    EXPECT_EQ(SaveBytes(doc, dir), bytes); // kept byte for byte, 0 bytes and all
}

TEST(LoadSave, EmptyDocumentInEachEncoding) {
    Scratch dir;
    const std::pair<int, std::string> cases[] = {
        {FxEncAnsi, ""},
        {FxEncUtf8, B({0xEF, 0xBB, 0xBF})},
        {FxEncUtf16Le, B({0xFF, 0xFE})},
        {FxEncUtf16Be, B({0xFE, 0xFF})},
    };
    for (const auto& c : cases) {
        TestDoc doc;
        doc.SetEncoding(c.first);
        EXPECT_EQ(SaveBytes(doc, dir), c.second) << c.first;
        // And what was saved loads back as an empty document in that encoding, silently.
        TestDoc back;
        back.SetEncoding(FxEncUtf16Be);
        ASSERT_TRUE(LoadBytes(back, dir, c.second));
        EXPECT_EQ(back.RecordCount(), 1);
        EXPECT_EQ(back.Record(0).len, 0);
        EXPECT_EQ(back.DocumentSize(), 0);
        EXPECT_TRUE(back.events.empty());
        EXPECT_EQ(back.Encoding(), c.first == FxEncAnsi ? FxEncUtf16Be : c.first);
    }
}

TEST(LoadSave, ThreeEmptyLinesAsUtf8Unix) {
    Scratch dir;
    TestDoc doc;
    ASSERT_TRUE(LoadBytes(doc, dir, "\n\n"));
    ASSERT_EQ(doc.RecordCount(), 3);
    doc.SetEncoding(FxEncUtf8);
    EXPECT_EQ(SaveBytes(doc, dir), B({0xEF, 0xBB, 0xBF, 0x0A, 0x0A}));
    doc.SetEncoding(FxEncUtf16Be);
    EXPECT_EQ(SaveBytes(doc, dir), B({0xFE, 0xFF, 0, 0x0A, 0, 0x0A}));
}

TEST(LoadSave, SavingConvertsLineEndsAndEncoding) {
    Scratch dir;
    TestDoc doc;
    ASSERT_TRUE(LoadBytes(doc, dir, "\xD6\xD0\r\nb"));
    doc.SetLineEndType(FxLineEndMac);
    EXPECT_EQ(SaveBytes(doc, dir), "\xD6\xD0\rb");
    doc.SetEncoding(FxEncUtf8);
    EXPECT_EQ(SaveBytes(doc, dir), B({0xEF, 0xBB, 0xBF, 0xE4, 0xB8, 0xAD, '\r', 'b'}));
    doc.SetEncoding(FxEncUtf16Le);
    doc.SetLineEndType(FxLineEndDos);
    EXPECT_EQ(SaveBytes(doc, dir), B({0xFF, 0xFE, 0x2D, 0x4E, '\r', 0, '\n', 0, 'b', 0}));
    doc.SetEncoding(FxEncUtf16Be);
    EXPECT_EQ(SaveBytes(doc, dir), B({0xFE, 0xFF, 0x4E, 0x2D, 0, '\r', 0, '\n', 0, 'b'}));
}

TEST(LoadSave, Utf8AndUtf16LoadsConvertToAnsi) {
    Scratch dir;
    const std::string expect = "\xD6\xD0\xCE\xC4 ok\r\nz";
    const std::string files[] = {
        B({0xEF, 0xBB, 0xBF, 0xE4, 0xB8, 0xAD, 0xE6, 0x96, 0x87, ' ', 'o', 'k', '\r', '\n', 'z'}),
        B({0xFF, 0xFE, 0x2D, 0x4E, 0x87, 0x65, ' ', 0, 'o', 0, 'k', 0, '\r', 0, '\n', 0, 'z', 0}),
        B({0xFE, 0xFF, 0x4E, 0x2D, 0x65, 0x87, 0, ' ', 0, 'o', 0, 'k', 0, '\r', 0, '\n', 0, 'z'}),
    };
    const int encodings[] = {FxEncUtf8, FxEncUtf16Le, FxEncUtf16Be};
    for (int i = 0; i < 3; ++i) {
        TestDoc doc;
        ASSERT_TRUE(LoadBytes(doc, dir, files[i]));
        EXPECT_EQ(doc.Encoding(), encodings[i]);
        EXPECT_EQ(Text(doc), expect);
        EXPECT_FALSE(doc.IsLoadLossy());
        EXPECT_EQ(SaveBytes(doc, dir), files[i]);
    }
}

TEST(LoadSave, CharactersOutsideTheCodePageMarkTheLoadLossy) {
    Scratch dir;
    const std::string thai = B({0xE0, 0xB8, 0x81});                // ก, not in GBK
    const std::string emoji = B({0xF0, 0x9F, 0x98, 0x80});         // beyond 16-bit units
    const std::string grave = B({0xC3, 0x80});                     // À, a best-fit look-alike of A
    const std::string chinese = B({0xE4, 0xB8, 0xAD, 0xC3, 0xA0}); // 中à, both in GBK
    struct Case {
        std::string text;
        bool lossy;
    } cases[] = {
        {"a " + chinese + "\n" + emoji + " " + thai + "\n", true},
        {"a " + chinese + " " + thai + "\n" + emoji, true},
        {thai, true},
        {"x\n" + emoji, true},
        {grave, true},
        {chinese + "\r\n" + chinese, false},
    };
    for (const Case& c : cases) {
        TestDoc doc;
        ASSERT_TRUE(LoadBytes(doc, dir, B({0xEF, 0xBB, 0xBF}) + c.text));
        EXPECT_EQ(doc.Encoding(), FxEncUtf8);
        EXPECT_EQ(doc.IsLoadLossy(), c.lossy) << testing::PrintToString(c.text);
        EXPECT_TRUE(doc.events.empty());
    }
    // The same in a UTF-16 file.
    TestDoc wide;
    ASSERT_TRUE(LoadBytes(wide, dir, B({0xFF, 0xFE, 'a', 0, 0x01, 0x0E})));
    EXPECT_TRUE(wide.IsLoadLossy());
    ASSERT_TRUE(LoadBytes(wide, dir, B({0xFF, 0xFE, 'a', 0, 0x2D, 0x4E})));
    EXPECT_FALSE(wide.IsLoadLossy());
}

TEST(LoadSave, TheUtf8MarkDecidesEvenWithAFourByteSequenceInTheFirstLine) {
    // The mark's line holds an emoji, which the strict test of that line rejects; the mark still
    // makes the file UTF-8, and the emoji that cannot come back is recorded as a loss.
    Scratch dir;
    TestDoc doc;
    const std::string bytes =
        B({0xEF, 0xBB, 0xBF, 'a', 0xF0, 0x9F, 0x98, 0x80, '\n', 0xE4, 0xB8, 0xAD});
    ASSERT_TRUE(LoadBytes(doc, dir, bytes));
    EXPECT_EQ(doc.Encoding(), FxEncUtf8);
    EXPECT_TRUE(doc.IsLoadLossy());
    ASSERT_EQ(doc.LogicalLineCount(), 2);
    EXPECT_EQ(doc.GetLineLength(1), 2); // 中 in code page 936
}

TEST(LoadSave, WrappedDocumentSavesWholeLogicalLines) {
    Scratch dir;
    TestDoc doc;
    const std::string bytes = "abcdefghij\n\nxy\xD6\xD0z12345\nq";
    ASSERT_TRUE(LoadBytes(doc, dir, bytes));
    ColumnSplitter splitter(3);
    doc.SetAttachedViews(&splitter, nullptr);
    doc.SetWrap(2, 3);
    doc.WrapAllLines();
    ASSERT_GT(doc.RecordCount(), 4);
    EXPECT_EQ(CheckInvariants(doc), "");
    EXPECT_EQ(SaveBytes(doc, dir), bytes);
    doc.SetEncoding(FxEncUtf16Le);
    std::string wide = SaveBytes(doc, dir);
    doc.SetAttachedViews(nullptr, nullptr);
    TestDoc back;
    ASSERT_TRUE(LoadBytes(back, dir, wide));
    EXPECT_EQ(Text(back), Text(doc));
}

TEST(LoadSave, EditedTextSavesAndLoadsBack) {
    Scratch dir;
    TestDoc doc;
    ASSERT_TRUE(LoadBytes(doc, dir, "first\nsecond\nthird"));
    FxTextPos pos(3, 1);
    ASSERT_TRUE(doc.InsertText(pos, "\xD6\xD0\r\nnew\r\n", 9));
    std::string expect = "first\nsec\xD6\xD0\nnew\nond\nthird";
    EXPECT_EQ(SaveBytes(doc, dir), expect);
    EXPECT_EQ(doc.DocumentSize(), static_cast<int64_t>(expect.size()));
}

TEST(LoadSave, SaveReplacesTheTargetAndLeavesNoTemporaryFile) {
    Scratch dir;
    std::string target = dir.Path("t.txt");
    WriteBytes(target, "old content that is longer than the new one");
    TestDoc doc;
    ASSERT_TRUE(LoadBytes(doc, dir, "new"));
    ASSERT_TRUE(SaveDocumentFile(doc, target.c_str()));
    EXPECT_EQ(ReadBytes(target), "new");
    EXPECT_EQ(dir.FileCount(), 2u); // in.txt and t.txt
    // A target that does not exist yet is made.
    std::string fresh = dir.Path("fresh.txt");
    ASSERT_TRUE(SaveDocumentFile(doc, fresh.c_str()));
    EXPECT_EQ(ReadBytes(fresh), "new");
    EXPECT_EQ(dir.FileCount(), 3u);
}

TEST(LoadSave, BackupNames) {
    EXPECT_EQ(MakeBackupName("C:\\a\\b.txt", ""), "C:\\a\\b_txt.BAK");
    EXPECT_EQ(MakeBackupName("C:\\a\\b.txt", nullptr), "C:\\a\\b_txt.BAK");
    EXPECT_EQ(MakeBackupName("test.c", ""), "test_c.BAK");
    EXPECT_EQ(MakeBackupName("C:\\a\\README", ""), "C:\\a\\README.BAK");
    // The dot of a folder is not the file's: nothing outside the name changes.
    EXPECT_EQ(MakeBackupName("C:\\v1.2\\README", ""), "C:\\v1.2\\README.BAK");
    EXPECT_EQ(MakeBackupName("C:\\v1.2\\x.tar.gz", ""), "C:\\v1.2\\x.tar_gz.BAK");
    EXPECT_EQ(MakeBackupName("/home/u/v1.2/notes", ""), "/home/u/v1.2/notes.BAK");
    EXPECT_EQ(MakeBackupName("C:.profile", ""), "C:_profile.BAK");
    // With a backup folder: the folder, a separator and the file's name.
    EXPECT_EQ(MakeBackupName("C:\\a\\b.txt", "D:\\bak"), "D:\\bak\\b_txt.BAK");
    EXPECT_EQ(MakeBackupName("C:\\a\\b.txt", "D:\\bak\\"), "D:\\bak\\b_txt.BAK");
    EXPECT_EQ(MakeBackupName("C:\\a\\README", "D:\\v.2"), "D:\\v.2\\README.BAK");
    EXPECT_EQ(MakeBackupName("/x/b.txt", "/home/u/bak"), "/home/u/bak/b_txt.BAK");
    // 乗 is 81 5C: its second byte is not a separator.
    EXPECT_EQ(MakeBackupName("C:\\a\\\x81\x5C.txt", ""), "C:\\a\\\x81\x5C_txt.BAK");
    EXPECT_EQ(MakeBackupName("C:\\a.b\\\x81\x5C", ""), "C:\\a.b\\\x81\x5C.BAK");
    EXPECT_EQ(MakeBackupName("C:\\a\\\x81\x5C.txt", "D:\\\x81\x5C"),
              "D:\\\x81\x5C\\\x81\x5C_txt.BAK");
    // Cut to a path's length, between characters.
    std::string longName = "C:\\" + std::string(250, 'n') + ".txt";
    std::string cut = MakeBackupName(longName.c_str(), "");
    EXPECT_EQ(cut.size(), 259u);
    EXPECT_EQ(cut.substr(0, 254), "C:\\" + std::string(250, 'n') + "_");
    std::string wide = "C:\\" + std::string(1, 'x');
    for (int i = 0; i < 130; ++i)
        wide += "\xD6\xD0";
    cut = MakeBackupName(wide.c_str(), "");
    EXPECT_EQ(cut.size(), 258u); // 259 would split a character
}

TEST(LoadSave, BackupBeforeSaveCopiesWhenEnabled) {
    Scratch dir;
    std::string file = dir.Path("notes.txt");
    WriteBytes(file, "version 1");
    EXPECT_FALSE(BackupBeforeSave(file.c_str(), "", false));
    EXPECT_EQ(ReadBytes(dir.Path("notes_txt.BAK")), "<missing>");
    EXPECT_TRUE(BackupBeforeSave(file.c_str(), "", true));
    EXPECT_EQ(ReadBytes(dir.Path("notes_txt.BAK")), "version 1");
    // Overwrites an older backup.
    WriteBytes(file, "version 2");
    EXPECT_TRUE(BackupBeforeSave(file.c_str(), "", true));
    EXPECT_EQ(ReadBytes(dir.Path("notes_txt.BAK")), "version 2");
    // Into the backup folder.
    std::string folder = dir.Path("bak");
    fs::create_directories(folder);
    EXPECT_TRUE(BackupBeforeSave(file.c_str(), folder.c_str(), true));
    EXPECT_EQ(ReadBytes((fs::path(folder) / "notes_txt.BAK").string()), "version 2");
    // Failures are only reported: no file, or a folder that does not exist.
    EXPECT_FALSE(BackupBeforeSave(dir.Path("none.txt").c_str(), "", true));
    EXPECT_FALSE(BackupBeforeSave(file.c_str(), dir.Path("no/such").c_str(), true));
}
