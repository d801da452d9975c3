// The file tree's UTF-16 file operations on their own: the ANSI form of a path and whether it
// is exact, the two forms of the clipboard's drop list, and paths with wildcards, which never
// reach the shell. Each test works in a folder of its own under the temporary folder.
#include "workspace/ShellFileOps.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::wstring TempFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, temp);
    return ShellPathJoin(temp, name);
}

bool MakeFile(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(h);
    return true;
}

std::vector<std::wstring> Names(const std::wstring& dir) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW find;
    HANDLE h = FindFirstFileW(ShellPathJoin(dir, L"*").c_str(), &find);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = find.cFileName;
            if (name != L"." && name != L"..")
                names.push_back(name);
        } while (FindNextFileW(h, &find));
        FindClose(h);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A folder holding a name outside code page 936 and the two names "a?b.txt" also matches.
class ShellFileOpsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = TempFolder(L"qvshellops");
        Clear();
        ASSERT_TRUE(CreateDirectoryW(m_dir.c_str(), nullptr));
        for (const wchar_t* name : {L"a\u0E01b.txt", L"aXb.txt", L"aYb.txt"})
            ASSERT_TRUE(MakeFile(ShellPathJoin(m_dir, name)));
    }
    void TearDown() override { Clear(); }
    // The folder and what is in it, one level of sub-folders included.
    void Clear() {
        for (const std::wstring& name : Names(m_dir)) {
            const std::wstring path = ShellPathJoin(m_dir, name);
            for (const std::wstring& inner : Names(path))
                DeleteFileW(ShellPathJoin(path, inner).c_str());
            if (!RemoveDirectoryW(path.c_str()))
                DeleteFileW(path.c_str());
        }
        RemoveDirectoryW(m_dir.c_str());
    }
    std::wstring m_dir;
};

using WideNames = std::vector<std::wstring>;

TEST(ShellPathTest, TheAnsiFormIsExactOnlyWhenEveryCharacterComesThrough) {
    bool exact = false;
    // "中文" is in the code page: C4 D6 CE C4.
    EXPECT_EQ(ShellPathToAnsi(L"C:\\\u4E2D\u6587.txt", &exact), "C:\\\xD6\xD0\xCE\xC4.txt");
    EXPECT_TRUE(exact);
    EXPECT_EQ(ShellPathFromAnsi("C:\\\xD6\xD0\xCE\xC4.txt"), L"C:\\\u4E2D\u6587.txt");
    // U+0E01 is not: it shows as "?", which is not the file.
    EXPECT_EQ(ShellPathToAnsi(L"a\u0E01b.txt", &exact), "a?b.txt");
    EXPECT_FALSE(exact);
    EXPECT_EQ(ShellPathToAnsi(L"", &exact), "");
    EXPECT_TRUE(exact);
}

TEST(ShellPathTest, JoinAddsOneSeparatorAndWildcardsAreFound) {
    EXPECT_EQ(ShellPathJoin(L"C:\\a", L"b"), L"C:\\a\\b");
    EXPECT_EQ(ShellPathJoin(L"C:\\", L"b"), L"C:\\b");
    EXPECT_TRUE(ShellPathHasWildcard(L"C:\\a?b.txt"));
    EXPECT_TRUE(ShellPathHasWildcard(L"C:\\*.txt"));
    EXPECT_FALSE(ShellPathHasWildcard(L"C:\\a\u0E01b.txt"));
}

TEST_F(ShellFileOpsTest, ADropListIsAnsiWhenExactAndUtf16Otherwise) {
    const std::wstring plain = ShellPathJoin(m_dir, L"aXb.txt");
    const std::wstring odd = ShellPathJoin(m_dir, L"a\u0E01b.txt");
    for (const std::wstring& path : {plain, odd}) {
        ASSERT_TRUE(ShellPutDropList(nullptr, path));
        ASSERT_TRUE(OpenClipboard(nullptr));
        HGLOBAL mem = GetClipboardData(CF_HDROP);
        ASSERT_NE(mem, nullptr);
        const DROPFILES* drop = static_cast<const DROPFILES*>(GlobalLock(mem));
        EXPECT_EQ(drop->pFiles, sizeof(DROPFILES));
        EXPECT_EQ(drop->fWide != FALSE, path == odd);
        GlobalUnlock(mem);
        CloseClipboard();
        std::vector<std::wstring> read;
        ASSERT_TRUE(ShellReadDropList(nullptr, &read));
        EXPECT_EQ(read, WideNames{path});
    }
}

TEST_F(ShellFileOpsTest, CopyCopiesTheNamedFileOnly) {
    const std::wstring to = ShellPathJoin(m_dir, L"to");
    ASSERT_TRUE(CreateDirectoryW(to.c_str(), nullptr));
    EXPECT_TRUE(ShellCopyInto(nullptr, {ShellPathJoin(m_dir, L"a\u0E01b.txt")}, to).Succeeded());
    EXPECT_EQ(Names(to), (WideNames{L"a\u0E01b.txt"}));
    DeleteFileW(ShellPathJoin(to, L"a\u0E01b.txt").c_str());
    RemoveDirectoryW(to.c_str());
    EXPECT_EQ(Names(m_dir), (WideNames{L"aXb.txt", L"aYb.txt", L"a\u0E01b.txt"}));
}

TEST_F(ShellFileOpsTest, APathWithAWildcardNeverReachesTheShell) {
    const std::wstring pattern = ShellPathJoin(m_dir, L"a?b.txt");
    const std::wstring to = ShellPathJoin(m_dir, L"to");
    ASSERT_TRUE(CreateDirectoryW(to.c_str(), nullptr));
    EXPECT_EQ(ShellCopyInto(nullptr, {pattern}, to).code, ERROR_INVALID_NAME);
    EXPECT_TRUE(Names(to).empty());
    RemoveDirectoryW(to.c_str());
    EXPECT_EQ(ShellDeletePath(nullptr, pattern, false).code, ERROR_INVALID_NAME);
    EXPECT_EQ(Names(m_dir), (WideNames{L"aXb.txt", L"aYb.txt", L"a\u0E01b.txt"}));
}

} // namespace
