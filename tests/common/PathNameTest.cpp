// Splitting and comparing paths whose names hold double-byte characters: "乗" is 81 5C in code
// page 936, its second byte the value of "\", which must never be taken for a separator.
#include "common/PathName.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <string>

namespace {

// "乗": lead 0x81, trail 0x5C.
#define JO "\x81\x5C"

struct PathCase {
    const char* path;
    size_t nameStart;
    const char* folder;
    const char* fileName;
    const char* extension;
    const char* baseName;
    bool endsWithSeparator;
};

// clang-format off
const PathCase kCases[] = {
    // path                          start folder            name          ext     base   sep
    {"C:\\dir\\" JO ".txt",          7,    "C:\\dir",        JO ".txt",    ".txt", JO,    false},
    {"C:\\dir\\" JO,                 7,    "C:\\dir",        JO,           "",     JO,    false},
    {"C:\\" JO "\\a.c",              6,    "C:\\" JO,        "a.c",        ".c",   "a",   false},
    {"C:\\" JO JO,                   3,    "C:\\",           JO JO,        "",     JO JO, false},
    {"C:\\" JO ".d\\" JO,            8,    "C:\\" JO ".d",   JO,           "",     JO,    false},
    {"C:\\dir\\",                    7,    "C:\\dir",        "",           "",     "",    true},
    {"C:\\" JO "\\",                 6,    "C:\\" JO,        "",           "",     "",    true},
    {"C:\\a.txt",                    3,    "C:\\",           "a.txt",      ".txt", "a",   false},
    {"\\a.txt",                      1,    "\\",             "a.txt",      ".txt", "a",   false},
    {"C:a.txt",                      2,    "C:",             "a.txt",      ".txt", "a",   false},
    {"a.txt",                        0,    "",               "a.txt",      ".txt", "a",   false},
    {"C:\\v1.2\\README",             8,    "C:\\v1.2",       "README",     "",     "README", false},
    {"C:\\a\\b.x.txt",               5,    "C:\\a",          "b.x.txt",    ".txt", "b.x", false},
    {"/usr/" JO ".c",                5,    "/usr",           JO ".c",      ".c",   JO,    false},
    {"\\\\server\\share\\f.txt",     15,   "\\\\server\\share", "f.txt",   ".txt", "f",   false},
    {"C:\\d\\a\x81",                 5,    "C:\\d",          "a\x81",      "",     "a\x81", false},
    {"",                             0,    "",               "",           "",     "",    false},
};
// clang-format on

} // namespace

TEST(PathName, SplitsAtSeparatorsButNeverInsideACharacter) {
    for (const PathCase& c : kCases) {
        const std::string path = c.path;
        SCOPED_TRACE(path);
        EXPECT_EQ(FxPathNameStart(path), c.nameStart);
        EXPECT_EQ(FxPathFolder(path), c.folder);
        EXPECT_EQ(FxPathFileName(path), c.fileName);
        EXPECT_EQ(FxPathExtension(path), c.extension);
        EXPECT_EQ(FxPathBaseName(path), c.baseName);
        EXPECT_EQ(FxPathEndsWithSeparator(path), c.endsWithSeparator);
    }
}

TEST(PathName, ExtensionDotIsTheFileNamesLastDot) {
    EXPECT_EQ(FxPathExtensionDot("C:\\a.b\\c"), std::string::npos);
    EXPECT_EQ(FxPathExtensionDot("C:\\a\\" JO ".x.y"), 9u);
    EXPECT_EQ(FxPathExtensionDot(".bashrc"), 0u);
}

TEST(PathName, SeparatorIsAppendedOnlyWhereNoneEndsThePath) {
    EXPECT_EQ(FxPathWithSeparator("C:\\" JO), "C:\\" JO "\\");
    EXPECT_EQ(FxPathWithSeparator("C:\\dir\\"), "C:\\dir\\");
    EXPECT_EQ(FxPathWithSeparator("/usr/"), "/usr/");
    EXPECT_EQ(FxPathWithSeparator("C:\\dir"), "C:\\dir\\");
    EXPECT_EQ(FxPathWithSeparator(""), "");
}

TEST(PathName, SamePathIgnoresCaseButNotTheTrailBytesOfCharacters) {
    EXPECT_TRUE(FxSamePath("C:\\Dir\\" JO ".TXT", "c:\\dir\\" JO ".txt"));
    EXPECT_FALSE(FxSamePath("C:\\dir\\a.txt", "C:\\dir\\b.txt"));
    // 81 41 and 81 61 are two characters, though their trail bytes are "A" and "a".
    EXPECT_FALSE(FxSamePath("C:\\\x81\x41.txt", "C:\\\x81\x61.txt"));
    EXPECT_FALSE(FxSamePath("C:\\dir\\a.txt", "C:\\dir\\a.txt2"));
}

#ifdef _WIN32
TEST(PathName, SamePathComparesTheAbsoluteForms) {
    char cwd[260];
    ASSERT_GT(GetCurrentDirectoryA(sizeof cwd, cwd), 0u);
    EXPECT_TRUE(FxSamePath("a.txt", FxPathWithSeparator(cwd) + "A.TXT"));
    EXPECT_TRUE(FxSamePath("C:\\dir\\sub\\..\\a.txt", "C:\\dir\\a.txt"));
    EXPECT_TRUE(FxSamePath("C:/dir/a.txt", "C:\\DIR\\a.txt"));
}
#endif
