// The pieces of the tool runner that are plain computation: object names, the block's layout,
// the argument macros, the argument history and the error lines of tool chains.
#include "tools/CaptureObjects.h"
#include "tools/DlgToolArgs.h"
#include "tools/ErrorLine.h"
#include "tools/ToolMacros.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(CaptureNames, TheFileNameIsMadeSafeForOneArgumentAndTheObjectNamespace) {
    EXPECT_EQ(CaptureBaseName("C:\\tools\\my tool.exe", 0x1A2B, 7, 0xABCDEF01),
              "my_tool.exe_00001A2B_7_ABCDEF01");
    // "乗" is 81 5C: both bytes go, never half a character.
    EXPECT_EQ(CaptureBaseName("C:\\t\\\x81\x5C"
                              "a.exe",
                              1, 1, 2),
              "__a.exe_00000001_1_00000002");
    // "/" and ":" separate like "\\"; "*" and "?" are replaced.
    EXPECT_EQ(CaptureBaseName("C:\\t\\a/b:c*d?.exe", 1, 1, 2), "c_d_.exe_00000001_1_00000002");
    const std::string longName(300, 'n');
    EXPECT_EQ(CaptureBaseName(longName, 1, 1, 2).size(), 64u + 20u);
    EXPECT_EQ(CaptureBaseName("C:\\dir\\", 1, 1, 2), "tool_00000001_1_00000002");
}

TEST(CaptureNames, TwoQuickRunsNeverShareAName) {
    const std::string a = NextCaptureBaseName("cc.exe");
    const std::string b = NextCaptureBaseName("cc.exe");
    EXPECT_NE(a, b);
}

TEST(CaptureLayoutTest, TheTextAreaAlwaysLiesInsideTheBlock) {
    // A short argument: text on the first page boundary.
    CaptureLayout l = CaptureBlockLayout(10, 4096, 0);
    EXPECT_EQ(l.textOffset, 4096u);
    EXPECT_EQ(l.textCapacity, 4u * 4096);
    EXPECT_EQ(l.totalSize, 5u * 4096);
    // 1061 + A beyond one page: the text moves past the arguments' terminator.
    l = CaptureBlockLayout(4096 - 1060, 4096, 0); // the terminator sits at 4096
    EXPECT_EQ(l.textOffset, 8192u);
    l = CaptureBlockLayout(4096 - 1061, 4096, 0); // the terminator is the page's last byte
    EXPECT_EQ(l.textOffset, 4096u);
    l = CaptureBlockLayout(20000, 4096, 0);
    EXPECT_GE(l.textOffset, 1061u + 20000u);
    EXPECT_EQ(l.textOffset % 4096, 0u);
    EXPECT_EQ(l.totalSize, l.textOffset + l.textCapacity);
    // A capacity asked for is rounded to whole pages.
    l = CaptureBlockLayout(0, 4096, 100000);
    EXPECT_EQ(l.textCapacity, 25u * 4096);
    EXPECT_EQ(l.totalSize % 4096, 0u);
}

TEST(ToolMacrosTest, TheFiveMacrosComeFromTheDocumentsPath) {
    std::string arg = "$(FileDir)$(FileNameNoExt).exe";
    std::string dir = "";
    ExpandToolMacros("C:\\src\\a.c", arg, dir);
    EXPECT_EQ(arg, "C:\\src\\a.exe");
    arg = "-o \"$(FilePath)\" $(FileName) $(FileExt) $(Other)";
    dir = "$(FileDir)out $(FileName)";
    ExpandToolMacros("D:\\中文\\b.x.cpp", arg, dir);
    EXPECT_EQ(arg, "-o \"D:\\中文\\b.x.cpp\" b.x.cpp .cpp $(Other)");
    EXPECT_EQ(dir, "D:\\中文\\out $(FileName)");
    // A root folder keeps its one backslash.
    arg = "$(FileDir)";
    ExpandToolMacros("C:\\a.c", arg, dir);
    EXPECT_EQ(arg, "C:\\");
    // A replacement is not expanded again.
    arg = "$(FilePath)";
    ExpandToolMacros("C:\\$(FileExt)\\a.c", arg, dir);
    EXPECT_EQ(arg, "C:\\$(FileExt)\\a.c");
}

TEST(ToolMacrosTest, OnlyMacrosNeedADocument) {
    EXPECT_FALSE(ToolNeedsDocumentPath("-v $(Other)", "C:\\x"));
    EXPECT_TRUE(ToolNeedsDocumentPath("$(FileExt)", ""));
    EXPECT_TRUE(ToolNeedsDocumentPath("", "$(FileDir)bin"));
    EXPECT_FALSE(ToolNeedsDocumentPath("", "$(FileName)"));
}

TEST(ToolArgsHistory, TheChosenTextMovesToTheTop) {
    using V = std::vector<std::string>;
    EXPECT_EQ(CDlgToolArgs::PutFirst({"a", "b", "c"}, "c", 16), (V{"c", "a", "b"}));
    EXPECT_EQ(CDlgToolArgs::PutFirst({"a", "b"}, "a", 16), (V{"a", "b"}));
    EXPECT_EQ(CDlgToolArgs::PutFirst({"a", "b"}, "", 16), (V{"a", "b"}));
    // Case counts: "A" is another text than "a".
    EXPECT_EQ(CDlgToolArgs::PutFirst({"a"}, "A", 16), (V{"A", "a"}));
    V full;
    for (int i = 0; i < 16; ++i)
        full.push_back(std::to_string(i));
    V got = CDlgToolArgs::PutFirst(full, "new", 16);
    EXPECT_EQ(got.size(), 16u);
    EXPECT_EQ(got.front(), "new");
    EXPECT_EQ(got.back(), "14");
}

struct ErrorCase {
    const char* line;
    bool ok;
    const char* path;
    int lineNo;
    int column;
};

TEST(ErrorLines, TheFourFormsOfTheCommonToolChains) {
    const ErrorCase cases[] = {
        {"src\\a.c(12): error C2065: 'x': undeclared", true, "C:\\w\\src\\a.c", 12, 0},
        {"C:\\p\\a.cpp(7,15): warning C4100", true, "C:\\p\\a.cpp", 7, 15},
        {"a.c:3: error: expected ';'", true, "C:\\w\\a.c", 3, 0},
        {"src/b.c:10:5: error: unknown type", true, "C:\\w\\src/b.c", 10, 5},
        {"C:\\p\\c.c:8:2: note", true, "C:\\p\\c.c", 8, 2},
        {"  C:\\p\\d.c:9: x", true, "C:\\p\\d.c", 9, 0},
        {"C:\\Program Files (x86)\\k.c(4): e", true, "C:\\Program Files (x86)\\k.c", 4, 0},
        // "表" is B1 ED and "(" never a second byte, but "乗" (81 5C) must not end a path.
        {"\x81\x5C(2): e", true, "C:\\w\\\x81\x5C", 2, 0},
        {"a.c(0): e", false, "", 0, 0},
        {"a.c:0: e", false, "", 0, 0},
        {"make: *** [all] Error 2", false, "", 0, 0},
        {"Compiling...", false, "", 0, 0},
        {"a.c(12) e", false, "", 0, 0},
        {"\"C:\\x.c\"(1,1) (A): text", false, "", 0, 0},
        {"", false, "", 0, 0},
    };
    for (const ErrorCase& c : cases) {
        ErrorLineTarget t;
        const bool ok = ParseErrorLine(c.line, std::strlen(c.line), "C:\\w", &t);
        EXPECT_EQ(ok, c.ok) << c.line;
        if (ok && c.ok) {
            EXPECT_EQ(t.path, c.path) << c.line;
            EXPECT_EQ(t.line, c.lineNo) << c.line;
            EXPECT_EQ(t.column, c.column) << c.line;
        }
    }
}

TEST(ErrorLines, OnlyAnAsciiLetterWithColonAndSeparatorIsADrive) {
    const ErrorCase cases[] = {
        // Files named by one character: the colon after it starts the line number.
        {"7:12: error: expected ';'", true, "C:\\w\\7", 12, 0},
        {"3:1:1: error: unknown type", true, "C:\\w\\3", 1, 1},
        {"C:12: warning: unused", true, "C:\\w\\C", 12, 0},
        {"  x:4:2: note", true, "C:\\w\\x", 4, 2},
        // Drives with either separator.
        {"c:/src/a.c:4:2: error", true, "c:/src/a.c", 4, 2},
        {"D:\\b.c(9): error", true, "D:\\b.c", 9, 0},
        // "中" (D6 D0) before the colon: a file of that name.
        {"\xD6\xD0:5: e", true, "C:\\w\\\xD6\xD0", 5, 0},
        // A colon after a lead byte is its second byte, never a drive's colon: the path is
        // relative.
        {"\x81:\\x.c(3): e", true, "C:\\w\\\x81:\\x.c", 3, 0},
        // "丁" (81 41): its second byte "A" with the colon and "\" after it is no drive either.
        {"\x81\x41:\\y.c(2): e", true, "C:\\w\\\x81\x41:\\y.c", 2, 0},
        {"\\\\server\\s.c(6): e", true, "\\\\server\\s.c", 6, 0},
        {"", false, "", 0, 0},
    };
    for (const ErrorCase& c : cases) {
        ErrorLineTarget t;
        const bool ok = ParseErrorLine(c.line, std::strlen(c.line), "C:\\w", &t);
        EXPECT_EQ(ok, c.ok) << c.line;
        if (ok && c.ok) {
            EXPECT_EQ(t.path, c.path) << c.line;
            EXPECT_EQ(t.line, c.lineNo) << c.line;
            EXPECT_EQ(t.column, c.column) << c.line;
        }
    }
}

} // namespace
