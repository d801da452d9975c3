// Find and replace in files through the worker threads, with the output collected from fake
// channels: the output lines, the encodings and line ends, the filters, replacing and its
// commit, files that cannot be read, stopping, and two workers at once.
// Literals are code page 936 (the test is compiled with a GBK execution character set).
#include "FileSearchTestUtil.h"
#include "search/WideRegex.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdio>

namespace {

const std::string kFileFoundFmt = "\n--------------------------------在该文件中共找到%d个匹配项----"
                                  "--------------------------------\n";
const std::string kFileReplacedFmt = "\n--------------------------------在该文件中共执行了%d项替换-"
                                     "-----------------------------------\n";
const std::string kStoppedLine =
    "\n\n--------------------------------用户终止操作------------------------------------\n\n";

std::string Fmt(const std::string& f, int n) {
    char buf[512];
    wsprintfA(buf, f.c_str(), n);
    return buf;
}

std::string Hit(const std::string& path, int line, int col, const char* code,
                const std::string& text) {
    char buf[1024];
    wsprintfA(buf, "\n\"%s\"(%d,%d)(%s):\t", path.c_str(), line, col, code);
    return buf + text;
}

std::string EndFind(int files, int hits) {
    char buf[256];
    wsprintfA(buf, "\n共搜索了%d个文件，找到%d个匹配项，查找已经结束。\n", files, hits);
    return buf;
}

std::string EndReplace(int files, int hits) {
    char buf[256];
    wsprintfA(buf, "\n共搜索了%d个文件，执行了%d项替换，操作已经结束。\n", files, hits);
    return buf;
}

// Runs a search or replacement to its end and returns what channel 3 (or 4) received.
std::string RunToEnd(FxFileSearch req, bool replace = false) {
    CollectingChannels ch;
    const int key = req.outputKey;
    const bool started = replace ? StartReplaceInFiles(&ch, req) : StartFindInFiles(&ch, req);
    EXPECT_TRUE(started);
    EXPECT_TRUE(WaitForFileSearch());
    return ch.Text(key);
}

class FileSearchTest : public testing::Test {
protected:
    void TearDown() override {
        FxSetCommitFault(FxStepNone);
        StopFileSearch(true);
    }
    ScratchDir dir;
};

TEST(FilterListTest, PiecesTrimmedInOrderWithoutRepeats) {
    EXPECT_EQ(FxSplitFilters(" *.c ; *.h;*.c ;; *.C"), (std::vector<std::string>{"*.c", "*.h"}));
    EXPECT_EQ(FxSplitFilters("*.txt; *.* ;*.c"), (std::vector<std::string>{"*.*"}));
    EXPECT_TRUE(FxSplitFilters(" ; ;").empty());
}

TEST_F(FileSearchTest, TreeInFourEncodingsAndThreeLineEnds) {
    const std::string P = dir.Path();
    dir.Write("a.txt", "first line\r\nneedle here\r\n中文needle needle\r\n");
    dir.Write("u8.txt", AsUtf8("x\n中needle\n"));
    dir.Write("u16.txt", AsUtf16("needle\rab needle", false));
    dir.Write("be.txt", AsUtf16("no\r\nneedle", true));
    dir.Write("empty.txt", "");
    dir.Write("none.txt", "nothing to see");
    dir.MakeDir("sub");
    dir.Write("sub\\deep.txt", "deep needle");

    const std::string out = RunToEnd(Request("needle", P, "*.txt"));
    const std::string start = "在文件夹“" + P + "”的“*.txt”文件中查找“needle”......\n";
    ASSERT_EQ(out.compare(0, start.size(), start), 0) << out;
    const std::string a = P + "\\a.txt";
    EXPECT_NE(out.find(Hit(a, 2, 1, "A", "needle here") + Hit(a, 3, 5, "A", "中文needle needle") +
                       Hit(a, 3, 12, "A", "中文needle needle") + Fmt(kFileFoundFmt, 3)),
              std::string::npos)
        << out;
    EXPECT_NE(out.find(Hit(P + "\\u8.txt", 2, 2, "U8", "中needle") + Fmt(kFileFoundFmt, 1)),
              std::string::npos)
        << out;
    // The mark counts as the first column of the first line.
    EXPECT_NE(out.find(Hit(P + "\\u16.txt", 1, 2, "U", "needle") +
                       Hit(P + "\\u16.txt", 2, 4, "U", "ab needle") + Fmt(kFileFoundFmt, 2)),
              std::string::npos)
        << out;
    EXPECT_NE(out.find(Hit(P + "\\be.txt", 2, 1, "UBE", "needle") + Fmt(kFileFoundFmt, 1)),
              std::string::npos)
        << out;
    EXPECT_NE(
        out.find(Hit(P + "\\sub\\deep.txt", 1, 6, "A", "deep needle") + Fmt(kFileFoundFmt, 1)),
        std::string::npos)
        << out;
    // Six files searched (the empty one is not counted), eight hits, and nothing else.
    const std::string end = EndFind(6, 8);
    ASSERT_GE(out.size(), end.size());
    EXPECT_EQ(out.substr(out.size() - end.size()), end);
    EXPECT_EQ(out.size(),
              start.size() + 2 * 0 +
                  (Hit(a, 2, 1, "A", "needle here") + Hit(a, 3, 5, "A", "中文needle needle") +
                   Hit(a, 3, 12, "A", "中文needle needle") + Fmt(kFileFoundFmt, 3) +
                   Hit(P + "\\u8.txt", 2, 2, "U8", "中needle") + Fmt(kFileFoundFmt, 1) +
                   Hit(P + "\\u16.txt", 1, 2, "U", "needle") +
                   Hit(P + "\\u16.txt", 2, 4, "U", "ab needle") + Fmt(kFileFoundFmt, 2) +
                   Hit(P + "\\be.txt", 2, 1, "UBE", "needle") + Fmt(kFileFoundFmt, 1) +
                   Hit(P + "\\sub\\deep.txt", 1, 6, "A", "deep needle") + Fmt(kFileFoundFmt, 1))
                      .size() +
                  end.size());
}

TEST_F(FileSearchTest, EncodingBoxesSubFoldersAndCase) {
    const std::string P = dir.Path();
    dir.Write("a.txt", "NEEDLE");
    dir.Write("u.txt", AsUtf16("needle", false));
    dir.MakeDir("sub");
    dir.Write("sub\\b.txt", "needle");
    FxFileSearch r = Request("needle", P);
    r.matchCase = true;
    r.subFolders = false;
    r.encodings[2] = false; // no UTF-16 files
    const std::string out = RunToEnd(r);
    // Both files of the top folder are counted, neither yields a hit.
    EXPECT_NE(out.find(EndFind(2, 0)), std::string::npos) << out;
    EXPECT_EQ(out.find("(A)"), std::string::npos);

    r.matchCase = false;
    r.subFolders = true;
    r.encodings[2] = true;
    const std::string all = RunToEnd(r);
    EXPECT_NE(all.find(EndFind(3, 3)), std::string::npos) << all;
}

TEST_F(FileSearchTest, FiltersInOrderOnceEach) {
    const std::string P = dir.Path();
    dir.Write("x.c", "hit");
    dir.Write("y.h", "hit");
    dir.Write("z.txt", "hit");
    const std::string out = RunToEnd(Request("hit", P, "*.c; *.h ;*.c"));
    const size_t c = out.find("x.c\""), h = out.find("y.h\"");
    ASSERT_NE(c, std::string::npos);
    ASSERT_NE(h, std::string::npos);
    EXPECT_LT(c, h);
    EXPECT_EQ(out.find("z.txt"), std::string::npos);
    EXPECT_NE(out.find(EndFind(2, 2)), std::string::npos) << out;
    // "*.*" wins over the other pieces.
    const std::string any = RunToEnd(Request("hit", P, "*.txt;*.*"));
    EXPECT_NE(any.find(EndFind(3, 3)), std::string::npos) << any;
}

TEST_F(FileSearchTest, WholeWordsWithTheFileTypesDelimiters) {
    const std::string P = dir.Path();
    dir.Write("a.txt", "cat,dog category cat");
    FxFileSearch r = Request("cat", P, "*.txt");
    r.wholeWord = true;
    r.patterns.push_back({"*.txt", ","});
    const std::string out = RunToEnd(r);
    EXPECT_NE(out.find(Hit(P + "\\a.txt", 1, 1, "A", "cat,dog category cat") +
                       Hit(P + "\\a.txt", 1, 18, "A", "cat,dog category cat") +
                       Fmt(kFileFoundFmt, 2)),
              std::string::npos)
        << out;
    dir.Write("a.txt", AsUtf16("cat,dog category cat", false));
    const std::string wide = RunToEnd(r);
    EXPECT_NE(wide.find(Hit(P + "\\a.txt", 1, 2, "U", "cat,dog category cat") +
                        Hit(P + "\\a.txt", 1, 19, "U", "cat,dog category cat") +
                        Fmt(kFileFoundFmt, 2)),
              std::string::npos)
        << wide;
}

TEST_F(FileSearchTest, RegularExpressionsInEveryEncoding) {
    const std::string P = dir.Path();
    dir.Write("a.txt", "price: 100 dollars\r\n名字=张三\r\n");
    dir.Write("g.txt", AsUtf8("Greek ΑΒΓ here"));
    FxFileSearch r = Request("(?<=price: )\\d+", P, "a.txt");
    r.regExp = true;
    std::string out = RunToEnd(r);
    EXPECT_NE(out.find(Hit(P + "\\a.txt", 1, 8, "A", "price: 100 dollars")), std::string::npos)
        << out;
    // A class of Chinese characters over code page 936 text.
    r.find = "[\\x{4e00}-\\x{9fa5}]+=";
    out = RunToEnd(r);
    EXPECT_NE(out.find(Hit(P + "\\a.txt", 2, 1, "A", "名字=张三")), std::string::npos) << out;
    // Greek letters in either case, in a UTF-8 file.
    r.find = "αβγ";
    r.filters = "g.txt";
    out = RunToEnd(r);
    EXPECT_NE(out.find(Hit(P + "\\g.txt", 1, 8, "U8", "Greek ΑΒΓ here")), std::string::npos) << out;
    // A literal search folds A-Z only.
    r.regExp = false;
    out = RunToEnd(r);
    EXPECT_NE(out.find(EndFind(1, 0)), std::string::npos) << out;
    // An invalid pattern ends the work with its message.
    r.regExp = true;
    r.find = "(abc";
    out = RunToEnd(r);
    EXPECT_NE(out.find("操作已经停止，原因：正则表达式“(abc”有误"), std::string::npos) << out;
}

TEST_F(FileSearchTest, ReplaceKeepsUntouchedBytesAndEncodings) {
    const std::string P = dir.Path();
    dir.Write("a.txt", "中needle\r\nx needle\ny");
    // An overlong sequence that decoding and encoding again would change.
    const std::string u8 = AsUtf8("needle ") + "\xC0\x80" + " end\rneedle";
    dir.Write("u8.txt", u8);
    dir.Write("be.txt", AsUtf16("needle\r\nab", true));
    dir.Write("le.txt", AsUtf16("a needle b", false));
    dir.Write("same.txt", "no hit here");
    FILETIME before;
    {
        HANDLE h = CreateFileA(dir.File("same.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        GetFileTime(h, nullptr, nullptr, &before);
        CloseHandle(h);
    }
    FxFileSearch r = Request("needle", P);
    r.replacement = "中文";
    const std::string out = RunToEnd(r, true);
    EXPECT_EQ(dir.Read("a.txt"), "中中文\r\nx 中文\ny");
    EXPECT_EQ(dir.Read("u8.txt"), AsUtf8("中文 ") + "\xC0\x80" + " end\r" + AsUtf8("中文", false));
    EXPECT_EQ(dir.Read("be.txt"), AsUtf16("中文\r\nab", true));
    EXPECT_EQ(dir.Read("le.txt"), AsUtf16("a 中文 b", false));
    EXPECT_EQ(dir.Read("same.txt"), "no hit here");
    EXPECT_NE(out.find(Hit(P + "\\a.txt", 1, 3, "A", "中needle") +
                       Hit(P + "\\a.txt", 2, 3, "A", "x needle") + Fmt(kFileReplacedFmt, 2)),
              std::string::npos)
        << out;
    EXPECT_NE(out.find(EndReplace(5, 6)), std::string::npos) << out;
    const std::string start =
        "在文件夹“" + P + "”的“*.*”文件中执行将“needle”替换成“中文”操作......\n";
    EXPECT_EQ(out.compare(0, start.size(), start), 0) << out;
    // Nothing but the files themselves is left in the folder.
    EXPECT_EQ(dir.List(),
              (std::vector<std::string>{"a.txt", "be.txt", "le.txt", "same.txt", "u8.txt"}));
}

TEST_F(FileSearchTest, RegexReplacementWithGroupsInUnicodeFile) {
    const std::string P = dir.Path();
    dir.Write("le.txt", AsUtf16("cost 100 dollars, 7 dollars", false));
    FxFileSearch r = Request("(?<num>\\d+) dollars", P);
    r.regExp = true;
    r.replacement = "${num}元";
    RunToEnd(r, true);
    EXPECT_EQ(dir.Read("le.txt"), AsUtf16("cost 100元, 7元", false));
}

TEST_F(FileSearchTest, ReplacingWithTheSameTextStartsNothing) {
    dir.Write("a.txt", "needle");
    CollectingChannels ch;
    FxFileSearch r = Request("needle", dir.Path());
    r.replacement = "needle";
    EXPECT_TRUE(StartReplaceInFiles(&ch, r));
    EXPECT_FALSE(FxFileSearchSlot(0).IsBusy());
    EXPECT_FALSE(ch.IsOutputChannelBusy(3));
    EXPECT_EQ(ch.Text(3), "");
    // Equal but for case is a real change.
    r.replacement = "NEEDLE";
    EXPECT_TRUE(StartReplaceInFiles(&ch, r));
    ASSERT_TRUE(WaitForFileSearch());
    EXPECT_EQ(dir.Read("a.txt"), "NEEDLE");
}

TEST_F(FileSearchTest, EmptyTextsStartNothing) {
    CollectingChannels ch;
    EXPECT_FALSE(StartFindInFiles(&ch, Request("", dir.Path())));
    EXPECT_FALSE(StartFindInFiles(&ch, Request("x", "")));
    EXPECT_FALSE(StartFindInFiles(&ch, Request("x", dir.Path(), "")));
    EXPECT_FALSE(ch.IsOutputChannelBusy(3));
}

TEST_F(FileSearchTest, BackupReplacesAnOlderOne) {
    dir.Write("a.txt", "old needle");
    dir.Write("a_txt.BAK", "older backup");
    FxFileSearch r = Request("needle", dir.Path(), "*.txt");
    r.replacement = "pin";
    r.backup = true;
    RunToEnd(r, true);
    EXPECT_EQ(dir.Read("a.txt"), "old pin");
    EXPECT_EQ(dir.Read("a_txt.BAK"), "old needle");
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"a.txt", "a_txt.BAK"}));
}

// Each step of writing and committing made to fail: every file holds its old or its new
// content, and no temporary or staged backup file is left.
TEST_F(FileSearchTest, FaultAtEachCommitStepLeavesOldOrNew) {
    const FxCommitStep steps[] = {FxStepWrite, FxStepFlush,  FxStepTruncate, FxStepCopy,
                                  FxStepMove,  FxStepDelete, FxStepRename};
    for (FxCommitStep step : steps) {
        SCOPED_TRACE(step);
        ScratchDir d;
        d.Write("a.txt", "old needle");
        d.Write("b.txt", "needle two");
        FxSetCommitFault(step);
        FxFileSearch r = Request("needle", d.Path(), "*.txt");
        r.replacement = "new";
        r.backup = true;
        const std::string out = RunToEnd(r, true);
        FxSetCommitFault(FxStepNone);
        const bool replaced = step == FxStepDelete || step == FxStepRename;
        EXPECT_EQ(d.Read("a.txt"), replaced ? "old new" : "old needle");
        EXPECT_EQ(d.Read("b.txt"), replaced ? "new two" : "needle two");
        // The file is replaced but its backup could not be put in place: reported.
        EXPECT_EQ(d.List(), (std::vector<std::string>{"a.txt", "b.txt"}));
        if (replaced)
            EXPECT_NE(out.find("已经替换，但无法建立它的备份文件"), std::string::npos) << out;
        else
            EXPECT_NE(out.find("无法替换文件“" + d.File("a.txt") + "”"), std::string::npos) << out;
        EXPECT_NE(out.find("共有2个文件无法处理") == std::string::npos, !replaced) << out;
    }
}

TEST_F(FileSearchTest, LockedFileAndForeignNameAreReportedAndSkipped) {
    const std::string P = dir.Path();
    dir.Write("a.txt", "needle");
    dir.Write("locked.txt", "needle");
    std::wstring wdir(P.size() + 1, L'\0');
    wdir.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_ACP, 0, P.c_str(), -1, &wdir[0], static_cast<int>(wdir.size())) -
        1));
    HANDLE thai = CreateFileW((wdir + L"\\\x0E01\x0E02.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(thai, INVALID_HANDLE_VALUE);
    DWORD wrote;
    WriteFile(thai, "needle", 6, &wrote, nullptr);
    CloseHandle(thai);
    HANDLE lock = CreateFileA(dir.File("locked.txt").c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    const std::string out = RunToEnd(Request("needle", P));
    CloseHandle(lock);
    EXPECT_NE(out.find("\n无法读取文件“" + P + "\\locked.txt”（"), std::string::npos) << out;
    EXPECT_NE(out.find("\n文件“" + P + "\\??.txt”的名称含有当前代码页不能表示的字符"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find(Hit(P + "\\a.txt", 1, 1, "A", "needle")), std::string::npos) << out;
    EXPECT_NE(out.find(EndFind(1, 1) + "共有2个文件无法处理，已跳过。\n"), std::string::npos)
        << out;
}

TEST_F(FileSearchTest, PathsLongerThan260BytesAreNeverCut) {
    std::wstring w(dir.Path().begin(), dir.Path().end());
    std::string rel;
    for (int i = 0; i < 6; ++i) {
        const std::string part(50, static_cast<char>('a' + i));
        rel += "\\" + part;
        w += L"\\" + std::wstring(part.begin(), part.end());
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + w).c_str(), nullptr));
    }
    HANDLE h = CreateFileW((L"\\\\?\\" + w + L"\\deep.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                           CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD wrote;
    WriteFile(h, "x needle", 8, &wrote, nullptr);
    CloseHandle(h);
    const std::string out = RunToEnd(Request("needle", dir.Path()));
    const std::string path = dir.Path() + rel + "\\deep.txt";
    ASSERT_GT(path.size(), 260u);
    EXPECT_NE(out.find(Hit(path, 1, 3, "A", "x needle")), std::string::npos) << out;
    // Replaced with a backup beside it, named in full.
    FxFileSearch r = Request("needle", dir.Path());
    r.replacement = "pin";
    r.backup = true;
    RunToEnd(r, true);
    const auto readWide = [](const std::wstring& p) {
        HANDLE f = CreateFileW((L"\\\\?\\" + p).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE)
            return std::string("<missing>");
        char buf[64];
        DWORD got = 0;
        ReadFile(f, buf, sizeof buf, &got, nullptr);
        CloseHandle(f);
        return std::string(buf, got);
    };
    EXPECT_EQ(readWide(w + L"\\deep.txt"), "x pin");
    EXPECT_EQ(readWide(w + L"\\deep_txt.BAK"), "x needle");
}

// Hit lines go out in pieces of about 16 KB: a file of many long hits sends several, and a
// stop asked for on the first piece ends the work in that file.
int CountOf(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

std::string ManyHits() {
    std::string text;
    for (int i = 0; i < 400; ++i)
        text += "needle " + std::string(100, 'x') + "\r\n";
    return text;
}

TEST_F(FileSearchTest, StopDuringASearchSendsTheStoppedAndEndLines) {
    dir.Write("a.txt", ManyHits());
    for (int i = 0; i < 5; ++i)
        dir.Write("f" + std::to_string(i) + ".txt", "needle\n");
    CollectingChannels ch;
    std::atomic<int> pieces{0};
    ch.onAppend = [&](int key, const std::string& piece) {
        if (piece.find("(A):") != std::string::npos && ++pieces == 1)
            ch.StopOutputJob(key);
    };
    ASSERT_TRUE(StartFindInFiles(&ch, Request("needle", dir.Path(), "a.txt;*.txt")));
    ASSERT_TRUE(WaitForFileSearch());
    const std::string out = ch.Text(3);
    const int hits = CountOf(out, "(A):");
    EXPECT_GT(hits, 0);
    EXPECT_LT(hits, 400);
    EXPECT_NE(out.find(kStoppedLine + EndFind(1, hits)), std::string::npos) << out;
    EXPECT_EQ(out.find("f0.txt"), std::string::npos);
    EXPECT_EQ(pieces.load(), 1);
}

TEST_F(FileSearchTest, StoppedReplacementLeavesTheFileUnchanged) {
    const std::string text = ManyHits();
    dir.Write("a.txt", text);
    CollectingChannels ch;
    ch.onAppend = [&](int key, const std::string& piece) {
        if (piece.find("(A):") != std::string::npos)
            ch.StopOutputJob(key);
    };
    FxFileSearch r = Request("needle", dir.Path());
    r.replacement = "x";
    ASSERT_TRUE(StartReplaceInFiles(&ch, r));
    ASSERT_TRUE(WaitForFileSearch());
    EXPECT_EQ(dir.Read("a.txt"), text);
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"a.txt"}));
    const std::string out = ch.Text(3);
    EXPECT_NE(out.find(kStoppedLine + EndReplace(1, CountOf(out, "(A):"))), std::string::npos)
        << out;
}

TEST_F(FileSearchTest, TwoWorkersAtOnceInPanesThreeAndFour) {
    for (int i = 0; i < 5; ++i)
        dir.Write("f" + std::to_string(i) + ".txt", "needle");
    CollectingChannels ch;
    std::atomic<bool> bothBusy{false};
    ch.onAppend = [&](int, const std::string&) {
        if (FxFileSearchSlot(0).IsBusy() && FxFileSearchSlot(1).IsBusy())
            bothBusy = true;
        Sleep(2);
    };
    ASSERT_TRUE(StartFindInFiles(&ch, Request("needle", dir.Path())));
    ASSERT_TRUE(StartFindInFiles(&ch, Request("needle", dir.Path())));
    // A third request finds both slots busy.
    EXPECT_FALSE(StartFindInFiles(&ch, Request("needle", dir.Path())));
    ASSERT_TRUE(WaitForFileSearch());
    EXPECT_TRUE(bothBusy.load());
    EXPECT_NE(ch.Text(3).find(EndFind(5, 5)), std::string::npos) << ch.Text(3);
    EXPECT_NE(ch.Text(4).find(EndFind(5, 5)), std::string::npos) << ch.Text(4);
    EXPECT_FALSE(ch.IsOutputChannelBusy(3));
    EXPECT_FALSE(ch.IsOutputChannelBusy(4));
}

TEST_F(FileSearchTest, RunawayPatternEndsWithAMessage) {
    dir.Write("a.txt", "ok\r\n" + std::string(40, 'a') + "cb");
    dir.Write("u.txt", AsUtf16(std::string(40, 'a') + "cb", false));
    FxFileSearch r = Request("(a+)+b", dir.Path(), "a.txt");
    r.regExp = true;
    std::string out = RunToEnd(r);
    EXPECT_NE(out.find("操作已经停止，原因：正则表达式“(a+)+b”的匹配过程过于复杂"),
              std::string::npos)
        << out;
    r.filters = "u.txt";
    out = RunToEnd(r);
    EXPECT_NE(out.find("匹配过程过于复杂"), std::string::npos) << out;
}

TEST_F(FileSearchTest, LongLineRegexAnswersQuickly) {
    std::string line(1000000, 'a');
    line += "x \"quoted\"";
    dir.Write("a.txt", line);
    for (const char* pattern : {".*x", "a+x", "\"[^\"]*\""}) {
        FxFileSearch r = Request(pattern, dir.Path());
        r.regExp = true;
        const DWORD t0 = GetTickCount();
        const std::string out = RunToEnd(r);
        EXPECT_LT(GetTickCount() - t0, 10000u) << pattern;
        EXPECT_NE(out.find(EndFind(1, 1)), std::string::npos) << pattern << out.size();
    }
}

// Every hit of a line is found in the line as it was converted for the expression once.
TEST_F(FileSearchTest, HitsOfALongLineConvertItOnce) {
    dir.Write("a.txt", std::string(1000, 'a') + "\r\nbbb\r\n" + std::string(1000, 'a'));
    FxFileSearch r = Request("a", dir.Path(), "a.txt");
    r.regExp = true;
    r.matchCase = true;
    long before = FxWideRegex::LinesConverted();
    std::string out = RunToEnd(r);
    EXPECT_NE(out.find(EndFind(1, 2000)), std::string::npos) << out.size();
    EXPECT_LE(FxWideRegex::LinesConverted() - before, 3);
    r.replacement = "b";
    before = FxWideRegex::LinesConverted();
    out = RunToEnd(r, true);
    EXPECT_NE(out.find(EndReplace(1, 2000)), std::string::npos) << out.size();
    EXPECT_LE(FxWideRegex::LinesConverted() - before, 3);
    EXPECT_EQ(dir.Read("a.txt"), std::string(1000, 'b') + "\r\nbbb\r\n" + std::string(1000, 'b'));
}

// A file that two filters match is searched, and replaced in, once.
TEST_F(FileSearchTest, AFileTwoFiltersMatchIsVisitedOnce) {
    dir.Write("a.c", "needle");
    dir.Write("b.c", "needle");
    dir.Write("ab.txt", "needle");
    const std::string out = RunToEnd(Request("needle", dir.Path(), "*.c;a*"));
    EXPECT_EQ(CountOf(out, "\\a.c\""), 1) << out;
    EXPECT_NE(out.find(EndFind(3, 3)), std::string::npos) << out;
    FxFileSearch r = Request("needle", dir.Path(), "*.c;a*");
    r.replacement = "needles";
    RunToEnd(r, true);
    EXPECT_EQ(dir.Read("a.c"), "needles");
    EXPECT_EQ(dir.Read("b.c"), "needles");
    EXPECT_EQ(dir.Read("ab.txt"), "needles");
}

// A folder reached a second time through a link is not walked again, nor is a link back to a
// folder above it.
TEST_F(FileSearchTest, AFolderReachedThroughALinkIsWalkedOnce) {
    dir.MakeDir("real");
    dir.Write("real\\a.txt", "needle");
    FolderLink link(dir.File("link"), dir.File("real"));
    FolderLink loop(dir.File("real\\up"), dir.Path());
    if (!link.Made() || !loop.Made())
        GTEST_SKIP() << "this system makes no folder links";
    const std::string out = RunToEnd(Request("needle", dir.Path(), "*.txt"));
    EXPECT_EQ(CountOf(out, "(A):"), 1) << out.substr(0, 2000);
    EXPECT_NE(out.find(EndFind(1, 1)), std::string::npos) << out.substr(0, 2000);
    FxFileSearch r = Request("needle", dir.Path(), "*.txt");
    r.replacement = "needles";
    RunToEnd(r, true);
    EXPECT_EQ(dir.Read("real\\a.txt"), "needles");
}

// With a backup folder, each file's backup takes the file's place below the searched folder
// under the backup folder, so that files of one name keep a backup each; a backup folder inside
// the searched tree is not searched.
TEST_F(FileSearchTest, BackupFolderKeepsTheTreeAndIsNotSearched) {
    dir.Write("Makefile", "all: needle");
    dir.MakeDir("lib");
    dir.Write("lib\\Makefile", "lib: needle");
    dir.MakeDir("lib\\x");
    dir.Write("lib\\x\\Makefile", "x: needle");
    dir.MakeDir("bak");
    dir.Write("bak\\note.txt", "a needle in the backup folder");
    FxFileSearch r = Request("needle", dir.Path(), "Makefile;*.txt");
    r.replacement = "pin";
    r.backup = true;
    r.backupFolder = dir.File("bak");
    std::string out = RunToEnd(r, true);
    EXPECT_EQ(dir.Read("Makefile"), "all: pin");
    EXPECT_EQ(dir.Read("lib\\Makefile"), "lib: pin");
    EXPECT_EQ(dir.Read("lib\\x\\Makefile"), "x: pin");
    EXPECT_EQ(dir.Read("bak\\Makefile.BAK"), "all: needle");
    EXPECT_EQ(dir.Read("bak\\lib\\Makefile.BAK"), "lib: needle");
    EXPECT_EQ(dir.Read("bak\\lib\\x\\Makefile.BAK"), "x: needle");
    EXPECT_EQ(dir.Read("bak\\note.txt"), "a needle in the backup folder");
    EXPECT_NE(out.find(EndReplace(3, 3)), std::string::npos) << out;

    // A second run backs up the new contents; the backups of the first are not searched.
    dir.Write("Makefile", "all: needle 2");
    dir.Write("lib\\Makefile", "lib: needle 2");
    out = RunToEnd(r, true);
    EXPECT_EQ(dir.Read("bak\\Makefile.BAK"), "all: needle 2");
    EXPECT_EQ(dir.Read("bak\\lib\\Makefile.BAK"), "lib: needle 2");
    EXPECT_EQ(dir.Read("bak\\lib\\x\\Makefile.BAK"), "x: needle");
    EXPECT_EQ(dir.List("bak"), (std::vector<std::string>{"Makefile.BAK", "lib", "note.txt"}));
    EXPECT_EQ(dir.List("bak\\lib"), (std::vector<std::string>{"Makefile.BAK", "x"}));
    EXPECT_NE(out.find(EndReplace(3, 2)), std::string::npos) << out;

    // A backup folder that does not exist yet is made, with the folders below it.
    ScratchDir other;
    r.backupFolder = other.File("new\\bak");
    dir.Write("lib\\x\\Makefile", "x: needle 3");
    RunToEnd(r, true);
    EXPECT_EQ(dir.Read("lib\\x\\Makefile"), "x: pin 3");
    EXPECT_EQ(other.Read("new\\bak\\lib\\x\\Makefile.BAK"), "x: needle 3");
    // The old backup folder is an ordinary folder of the tree now.
    EXPECT_EQ(dir.Read("bak\\note.txt"), "a pin in the backup folder");
    EXPECT_EQ(other.Read("new\\bak\\bak\\note_txt.BAK"), "a needle in the backup folder");

    // The searched folder itself as the backup folder is searched, its backups beside the files.
    r.backupFolder = dir.Path();
    dir.Write("lib\\Makefile", "lib: needle 4");
    out = RunToEnd(r, true);
    EXPECT_EQ(dir.Read("lib\\Makefile"), "lib: pin 4");
    EXPECT_EQ(dir.Read("lib\\Makefile.BAK"), "lib: needle 4");
    EXPECT_NE(out.find(EndReplace(4, 1)), std::string::npos) << out;
}

// Characters beyond the 16-bit range in a UTF-8 file (emoji) are whole characters: the bytes
// of their sequences are no other characters, and replacing beside them keeps them byte for
// byte.
TEST_F(FileSearchTest, Utf8CharactersBeyondSixteenBitsStayWhole) {
    // U+1F430, U+1F431 and U+1F437 end in the bytes that end "°" (C2 B0), "±" (C2 B1) and
    // "·" (C2 B7).
    const std::string rabbit = "\xF0\x9F\x90\xB0", cat = "\xF0\x9F\x90\xB1",
                      pig = "\xF0\x9F\x90\xB7";
    const std::string tail = " 25\xC2\xB0 \xC2\xB1 \xC2\xB7";
    const std::string second = rabbit + cat + pig + "\r\n";
    dir.Write("e.txt", "\xEF\xBB\xBF"
                       "a" +
                           rabbit + "b" + cat + "c" + pig + tail + "\r\n" + second);
    const std::string header = "\n\"" + dir.File("e.txt") + "\"";
    // Columns count 16-bit units: the mark is the first, each of the three characters two.
    const struct {
        const char* find;
        const char* at;
    } cases[] = {{"°", "(1,14)(U8):"}, {"±", "(1,16)(U8):"}, {"·", "(1,18)(U8):"}};
    for (const auto& c : cases) {
        const std::string out = RunToEnd(Request(c.find, dir.Path(), "*.txt"));
        EXPECT_NE(out.find(header + c.at), std::string::npos) << c.find << out;
        EXPECT_NE(out.find(EndFind(1, 1)), std::string::npos) << c.find << out;
    }
    FxFileSearch r = Request("°", dir.Path(), "*.txt");
    r.replacement = "度";
    RunToEnd(r, true);
    const std::string degree = AsUtf8("度", false);
    EXPECT_EQ(dir.Read("e.txt"), "\xEF\xBB\xBF"
                                 "a" +
                                     rabbit + "b" + cat + "c" + pig + " 25" + degree +
                                     " \xC2\xB1 \xC2\xB7\r\n" + second);
    r.find = "c";
    r.replacement = "中";
    RunToEnd(r, true);
    EXPECT_EQ(dir.Read("e.txt"), "\xEF\xBB\xBF"
                                 "a" +
                                     rabbit + "b" + cat + AsUtf8("中", false) + pig + " 25" +
                                     degree + " \xC2\xB1 \xC2\xB7\r\n" + second);
}

} // namespace

namespace {

// Channels whose text goes to a window of the test's thread by SendMessage, as the main
// frame's do: a worker waits in each send until this thread takes the text.
class WindowChannels : public CollectingChannels {
public:
    explicit WindowChannels(HWND pane) : m_pane(pane) {}
    void AppendOutput(const OutputChannel* channel, const char* text, int length) override {
        SendMessageA(m_pane, WM_USER + 3, static_cast<WPARAM>(length),
                     reinterpret_cast<LPARAM>(text));
        CollectingChannels::AppendOutput(channel, text, length);
    }

private:
    HWND m_pane;
};

std::atomic<int> g_paneSends{0};

LRESULT CALLBACK CountingPaneProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_USER + 3) {
        ++g_paneSends;
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

} // namespace

// Stopping and waiting from the thread whose window the worker is sending to must let the
// sends through, or both threads would wait for each other (the main frame going away does
// exactly this).
TEST_F(FileSearchTest, StopAndWaitFromThePanesThreadDoesNotDeadlock) {
    for (int i = 0; i < 50; ++i)
        dir.Write("f" + std::to_string(i) + ".txt", "needle\n");
    WNDCLASSA wc = {};
    wc.lpfnWndProc = CountingPaneProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "QvFifTestPane";
    RegisterClassA(&wc);
    HWND pane = CreateWindowA("QvFifTestPane", "", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr,
                              wc.hInstance, nullptr);
    ASSERT_NE(pane, nullptr);
    WindowChannels ch(pane);
    g_paneSends = 0;
    ASSERT_TRUE(StartFindInFiles(&ch, Request("needle", dir.Path())));
    // The worker is now blocked in its first send: this thread has not looked at its queue.
    Sleep(50);
    const DWORD t0 = GetTickCount();
    StopFileSearch(true);
    EXPECT_LT(GetTickCount() - t0, 5000u);
    EXPECT_FALSE(FxFileSearchSlot(0).IsBusy());
    EXPECT_GT(g_paneSends.load(), 0);
    EXPECT_NE(ch.Text(3).find("查找已经结束"), std::string::npos) << ch.Text(3);
    DestroyWindow(pane);
}

// --- Files larger than one window ------------------------------------------------------------

namespace {

// Writes `bytes` at `offset` of an open file.
bool WriteAt(HANDLE h, uint64_t offset, const std::string& bytes) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD wrote = 0;
    return SetFilePointerEx(h, at, nullptr, FILE_BEGIN) &&
           WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) &&
           wrote == bytes.size();
}

std::string HitHead(const std::string& path, long long line, long long col) {
    char buf[600];
    std::snprintf(buf, sizeof buf, "\n\"%s\"(%lld,%lld)(A):\t", path.c_str(), line, col);
    return buf;
}

} // namespace

// ANSI text goes a window of 64 MiB at a time: a CR LF pair at a window's edge, a line longer
// than a window, and hits before, across and after the edges, found and replaced.
TEST_F(FileSearchTest, AFileOfManyWindowsIsSearchedAndReplacedAcrossTheirEdges) {
    const size_t kMiB = 1024 * 1024;
    std::string text = "needle first\r\n";
    text.append(64 * kMiB - 1 - text.size(), 'x'); // its CR is a window's last byte
    text += "\r\n";
    text.append(70 * kMiB, 'y');
    text += "needle long\r\nmid needle\r\n";
    text.append(10 * kMiB, 'z');
    text += "\r\nneedle last";
    const std::string P = dir.Path();
    dir.Write("big.txt", text);

    const std::string out = RunToEnd(Request("needle", P));
    const std::string path = P + "\\big.txt";
    EXPECT_NE(out.find(Hit(path, 1, 1, "A", "needle first")), std::string::npos) << out.size();
    EXPECT_NE(out.find(HitHead(path, 3, 70 * kMiB + 1) + std::string(8192, 'y')),
              std::string::npos);
    EXPECT_NE(out.find(Hit(path, 4, 5, "A", "mid needle")), std::string::npos);
    EXPECT_NE(out.find(Hit(path, 6, 1, "A", "needle last")), std::string::npos);
    EXPECT_NE(out.find(EndFind(1, 4)), std::string::npos);

    FxFileSearch r = Request("needle", P);
    r.replacement = "pin";
    RunToEnd(r, true);
    std::string expected = text;
    for (size_t at = expected.find("needle"); at != std::string::npos;
         at = expected.find("needle", at + 3))
        expected.replace(at, 6, "pin");
    const std::string replaced = dir.Read("big.txt");
    EXPECT_EQ(replaced.size(), expected.size());
    EXPECT_TRUE(replaced == expected);
}

// A file of more than 2 GiB (mostly a hole of zero bytes) is searched, not skipped.
TEST_F(FileSearchTest, AFileOfMoreThanTwoGigabytesIsSearched) {
    const uint64_t kMiB = 1024 * 1024, size = 2112 * kMiB;
    const std::string path = dir.File("huge.log");
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    // The first line, with its double-byte character, makes the file ANSI. A line break every
    // 64 MiB keeps each line within what a 32-bit process can map in one view.
    bool ok = WriteAt(h, 0, "中needle one\r\n");
    for (uint64_t k = 1; k <= 31 && ok; ++k)
        ok = WriteAt(h, k * 64 * kMiB - 1, "\r\n");
    ok = ok && WriteAt(h, (2048 * kMiB) - 3, "needle\r\n") && WriteAt(h, size - 10, "needle end");
    CloseHandle(h);
    ASSERT_TRUE(ok);

    const std::string out = RunToEnd(Request("needle", dir.Path()));
    EXPECT_NE(out.find(Hit(path, 1, 3, "A", "中needle one")), std::string::npos) << out.size();
    const long long line33 = 1984 * kMiB + 1; // the file offset where line 33 starts
    EXPECT_NE(out.find(HitHead(path, 33, static_cast<long long>(2048 * kMiB - 3) - line33 + 1)),
              std::string::npos);
    const long long line34 = 2048 * kMiB + 5;
    EXPECT_NE(out.find(HitHead(path, 34, static_cast<long long>(size - 10) - line34 + 1)),
              std::string::npos);
    EXPECT_NE(out.find(EndFind(1, 3)), std::string::npos);
    DeleteFileA(path.c_str());
}

// --- UTF-8 and UTF-16 files larger than one window -------------------------------------------

namespace {

const size_t kTestWindow = 64 * 1024;
const size_t kTestMaxWindow = 1024 * 1024;

enum UnitEncoding { Utf8, Utf16LE, Utf16BE };

// A UTF-8 or UTF-16 file with its mark, built line by line so that chosen characters fall on
// chosen byte offsets; it knows the places of the hits of a text.
class UnitFile {
public:
    explicit UnitFile(UnitEncoding enc) : m_enc(enc), m_size(enc == Utf8 ? 3 : 2) {}

    size_t Size() const { return m_size; }
    size_t BytesOf(const std::wstring& w) const { return Encode(w).size(); }

    void Add(const std::wstring& text, const std::wstring& eol) {
        m_lines.push_back({text, eol});
        m_size += BytesOf(text) + BytesOf(eol);
    }
    // Lines of filler (with hits, in all three line ends) until the next line starts at byte
    // `at`; the last one ends with LF.
    void FillTo(size_t at) {
        static const wchar_t* const kEnds[3] = {L"\r\n", L"\n", L"\r"};
        for (int k = 0; at > m_size + 1200; ++k)
            Add(L"填充行 needle " + std::wstring(static_cast<size_t>(50 + k * 37 % 200), L'f'),
                kEnds[k % 3]);
        const size_t unit = m_enc == Utf8 ? 1 : 2;
        Add(std::wstring((at - m_size - unit) / unit, L'f'), L"\n");
    }
    // A line that holds `special` with its byte k at byte `edge`, between "ab" and `post`;
    // returns where the line starts.
    size_t AddAcross(size_t edge, const std::wstring& special, size_t k, const std::wstring& post,
                     const std::wstring& eol = L"\n") {
        const size_t start = edge - BytesOf(L"ab") - k;
        FillTo(start);
        Add(L"ab" + special + post, eol);
        return start;
    }
    // The file's bytes, with every `find` turned into `rep` when `find` is given.
    std::string Bytes(const std::wstring& find = L"", const std::wstring& rep = L"") const {
        std::string out = m_enc == Utf8      ? "\xEF\xBB\xBF"
                          : m_enc == Utf16LE ? "\xFF\xFE"
                                             : "\xFE\xFF";
        for (const auto& l : m_lines) {
            std::wstring text = l.first;
            for (size_t at = find.empty() ? std::wstring::npos : text.find(find);
                 at != std::wstring::npos; at = text.find(find, at + rep.size()))
                text.replace(at, find.size(), rep);
            out += Encode(text) + Encode(l.second);
        }
        return out;
    }
    // (line, column) of each hit, both from 1, columns in 16-bit units with the mark counted.
    std::vector<std::pair<int, int>> Hits(const std::wstring& find) const {
        std::vector<std::pair<int, int>> out;
        for (size_t i = 0; i < m_lines.size(); ++i)
            for (size_t at = m_lines[i].first.find(find); at != std::wstring::npos;
                 at = m_lines[i].first.find(find, at + find.size()))
                out.push_back({static_cast<int>(i + 1), static_cast<int>(at + (i == 0 ? 2 : 1))});
        return out;
    }

private:
    std::string Encode(const std::wstring& w) const {
        if (m_enc == Utf8) {
            std::string out(w.size() * 3, '\0');
            const int n =
                WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &out[0],
                                    static_cast<int>(out.size()), nullptr, nullptr);
            out.resize(static_cast<size_t>(n > 0 ? n : 0));
            return out;
        }
        std::string out;
        for (wchar_t c : w) {
            const char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8 & 0xFF);
            out += m_enc == Utf16BE ? hi : lo;
            out += m_enc == Utf16BE ? lo : hi;
        }
        return out;
    }

    UnitEncoding m_enc;
    size_t m_size;
    std::vector<std::pair<std::wstring, std::wstring>> m_lines;
};

// The (line, column) of every hit header of the file in the output, with the encoding code.
std::vector<std::pair<int, int>> HitPlaces(const std::string& out, const std::string& path,
                                           const std::string& code) {
    std::vector<std::pair<int, int>> places;
    const std::string head = "\n\"" + path + "\"(";
    for (size_t at = out.find(head); at != std::string::npos; at = out.find(head, at + 1)) {
        int line = 0, col = 0;
        char tail[16] = "";
        if (std::sscanf(out.c_str() + at + head.size(), "%d,%d)%15[^:]", &line, &col, tail) == 3 &&
            tail == "(" + code + ")")
            places.push_back({line, col});
    }
    return places;
}

// A file whose windows end on a CR LF pair, inside characters of two, three and four bytes
// (UTF-8) or inside a surrogate pair (UTF-16), inside a hit, and just before a line that starts
// a window; every next window starts with the line that crossed the last edge.
UnitFile EdgeFile(UnitEncoding enc) {
    const std::wstring rabbit = L"\xD83D\xDC30", zhong = L"中";
    UnitFile t(enc);
    t.Add(L"needle at the start 中", L"\r\n");
    size_t s = 0;
    // CR at the window's last unit, LF the next window's first, with a hit just before them;
    // then a lone CR as a window's last unit.
    const size_t cr = t.BytesOf(L"\r");
    s = t.AddAcross(s + kTestWindow, L"needle", t.BytesOf(L"needle") + cr, L"", L"\r\n");
    s = t.AddAcross(s + kTestWindow, L"needle", t.BytesOf(L"needle") + cr, L"", L"\r");
    // A hit that ends a window.
    s = t.AddAcross(s + kTestWindow, L"needle", t.BytesOf(L"needle"), L" more");
    if (enc == Utf8) {
        s = t.AddAcross(s + kTestWindow, zhong, 1, L"needle after one");
        s = t.AddAcross(s + kTestWindow, zhong, 2, L"needle after two");
        s = t.AddAcross(s + kTestWindow, L"é", 1, L"needle after é");
        for (size_t k = 1; k <= 3; ++k)
            s = t.AddAcross(s + kTestWindow, rabbit, k, L"needle after the rabbit");
    } else {
        s = t.AddAcross(s + kTestWindow, rabbit, 2, L"needle after the rabbit");
    }
    // A hit across the edge.
    s = t.AddAcross(s + kTestWindow, L"needle", t.BytesOf(L"nee"), L" across");
    // A line that starts a window exactly, after an LF that ends the one before.
    const size_t edge = s + kTestWindow;
    t.FillTo(edge);
    t.Add(L"needle starts a window", L"\r");
    t.Add(L"last needle " + rabbit + L" needle", L"");
    return t;
}

} // namespace

// UTF-8 and UTF-16 text goes a window at a time as ANSI text does: the lines crossing each
// edge are found whole, with their numbers and columns in units, and replacing writes them
// back byte for byte.
TEST_F(FileSearchTest, UnicodeFilesAreSearchedAndReplacedAcrossWindowEdges) {
    const struct {
        UnitEncoding enc;
        const char* code;
    } cases[] = {{Utf8, "U8"}, {Utf16LE, "U"}, {Utf16BE, "UBE"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        const UnitFile t = EdgeFile(c.enc);
        ASSERT_GT(t.Size(), 4 * kTestWindow);
        dir.Write("edges.txt", t.Bytes());
        const std::string path = dir.File("edges.txt");
        FxFileSearch r = Request("needle", dir.Path());
        r.window = kTestWindow;
        r.maxWindow = kTestMaxWindow;

        const std::string out = RunToEnd(r);
        const std::vector<std::pair<int, int>> expected = t.Hits(L"needle");
        EXPECT_EQ(HitPlaces(out, path, c.code), expected);
        EXPECT_NE(out.find(EndFind(1, static_cast<int>(expected.size()))), std::string::npos)
            << out.substr(out.size() > 600 ? out.size() - 600 : 0);
        const std::string startsWindow = "(" + std::to_string(expected[expected.size() - 3].first) +
                                         ",1)(" + c.code + "):\tneedle starts a window";
        EXPECT_NE(out.find(startsWindow), std::string::npos);
        EXPECT_NE(out.find("):\tabneedle across"), std::string::npos);

        r.replacement = "针";
        RunToEnd(r, true);
        const std::string replaced = dir.Read("edges.txt");
        const std::string want = t.Bytes(L"needle", L"针");
        EXPECT_EQ(replaced.size(), want.size());
        EXPECT_TRUE(replaced == want);
    }
}

namespace {

std::string LongLineLine(const char* fmt, const std::string& path, int line) {
    char buf[1024];
    wsprintfA(buf, fmt, path.c_str(), line);
    return buf;
}

const char* const kLongLineFind =
    "\n文件“%s”的第%d行太长，无法读入内存，已跳过该行及其后的内容。\n";
const char* const kLongLineReplace = "\n文件“%s”的第%d行太长，无法读入内存，该文件保持原样。\n";

} // namespace

// A line longer than the largest window (in a 32-bit process: than it can map) ends the search
// of its file with a message naming the line; the hits before it stand, the file is never
// replaced in, and the search goes on with the next file.
TEST_F(FileSearchTest, ALineTooLongToMapIsReportedAndTheNextFileSearched) {
    const size_t longLine = kTestMaxWindow + 4096;
    const std::string tail = "\r\nneedle after the long line\r\n";
    dir.Write("a1.txt", "needle\r\n" + std::string(longLine, 'x') + tail);
    dir.Write("a2.txt", AsUtf8("needle\n" + std::string(longLine, 'x') + tail));
    dir.Write("a3.txt", AsUtf16("needle\r" + std::string(longLine / 2, 'x') + tail, false));
    dir.Write("a4.txt", AsUtf16("needle\r\n" + std::string(longLine / 2, 'x') + tail, true));
    dir.Write("b.txt", "one needle\r\n");
    const char* const names[] = {"a1.txt", "a2.txt", "a3.txt", "a4.txt"};
    const char* const codes[] = {"A", "U8", "U", "UBE"};
    std::string before[4];
    for (int i = 0; i < 4; ++i)
        before[i] = dir.Read(names[i]);
    FxFileSearch r = Request("needle", dir.Path(), "*.txt");
    r.window = kTestWindow;
    r.maxWindow = kTestMaxWindow;

    const std::string out = RunToEnd(r);
    for (int i = 0; i < 4; ++i) {
        const std::string path = dir.File(names[i]);
        EXPECT_NE(out.find(LongLineLine(kLongLineFind, path, 2)), std::string::npos) << path;
        EXPECT_EQ(HitPlaces(out, path, codes[i]),
                  (std::vector<std::pair<int, int>>{{1, i == 0 ? 1 : 2}}))
            << path;
    }
    EXPECT_NE(out.find(Hit(dir.File("b.txt"), 1, 5, "A", "one needle")), std::string::npos);
    EXPECT_NE(out.find(EndFind(5, 5)), std::string::npos) << out;
    EXPECT_NE(out.find("共有4个文件无法处理，已跳过。\n"), std::string::npos) << out;

    r.replacement = "pin";
    const std::string replaced = RunToEnd(r, true);
    for (int i = 0; i < 4; ++i) {
        EXPECT_NE(replaced.find(LongLineLine(kLongLineReplace, dir.File(names[i]), 2)),
                  std::string::npos);
        EXPECT_TRUE(dir.Read(names[i]) == before[i]) << names[i];
    }
    EXPECT_EQ(dir.Read("b.txt"), "one pin\r\n");
    // Grown windows that still fit search the line whole.
    r.maxWindow = 4 * kTestMaxWindow;
    r.replacement.clear();
    const std::string all = RunToEnd(r);
    EXPECT_EQ(all.find("太长"), std::string::npos);
    EXPECT_NE(all.find(Hit(dir.File("a1.txt"), 3, 1, "A", "needle after the long line")),
              std::string::npos);
    EXPECT_NE(all.find(EndFind(5, 8)), std::string::npos) << all.substr(all.size() - 300);
}

// A UTF-8 file of more than 2 GiB (mostly a hole of zero bytes, lines of 4 MiB) is searched in
// both builds, not skipped.
TEST_F(FileSearchTest, AUtf8FileOfMoreThanTwoGigabytesIsSearched) {
    const uint64_t kMiB = 1024 * 1024, size = 2112 * kMiB;
    const std::string path = dir.File("huge.txt");
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    bool ok = WriteAt(h, 0, AsUtf8("中needle one\r\n"));
    for (uint64_t k = 1; k * 4 * kMiB < size && ok; ++k)
        ok = WriteAt(h, k * 4 * kMiB - 1, "\n");
    ok = ok && WriteAt(h, 2048 * kMiB + 100, "needle\r\n") && WriteAt(h, size - 10, "needle end");
    CloseHandle(h);
    ASSERT_TRUE(ok);

    const std::string out = RunToEnd(Request("needle", dir.Path()));
    // Line 514 starts at 2048 MiB; its break is the file's one CR LF after the first line's.
    const std::vector<std::pair<int, int>> expected = {
        {1, 3}, {514, 101}, {530, static_cast<int>(4 * kMiB - 9)}};
    EXPECT_EQ(HitPlaces(out, path, "U8"), expected);
    EXPECT_NE(out.find(EndFind(1, 3)), std::string::npos) << out.substr(0, 2000);
    DeleteFileA(path.c_str());
}

// A line of nearly 2 GiB: the 64-bit build maps it whole and searches it; the 32-bit build,
// which has no room for a view of it, reports the line and goes on with the next file.
TEST_F(FileSearchTest, ALineOfNearlyTwoGigabytesIsSearchedOrReported) {
    const uint64_t kMiB = 1024 * 1024, lineEnd = 1950 * kMiB;
    const std::string path = dir.File("a.log");
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    const std::string first = "中needle one\r\n";
    bool ok = WriteAt(h, 0, first) && WriteAt(h, 1024 * kMiB, "needle") &&
              WriteAt(h, lineEnd - 6, "needle\r\nneedle after");
    CloseHandle(h);
    ASSERT_TRUE(ok);
    dir.Write("b.log", "one needle");

    const std::string out = RunToEnd(Request("needle", dir.Path(), "*.log"));
    EXPECT_NE(out.find(Hit(path, 1, 3, "A", "中needle one")), std::string::npos);
    EXPECT_NE(out.find(Hit(dir.File("b.log"), 1, 5, "A", "one needle")), std::string::npos);
#if UINTPTR_MAX > 0xFFFFFFFFu
    const long long line2 = static_cast<long long>(first.size());
    EXPECT_NE(out.find(HitHead(path, 2, static_cast<long long>(1024 * kMiB) - line2 + 1)),
              std::string::npos);
    EXPECT_NE(out.find(HitHead(path, 2, static_cast<long long>(lineEnd - 6) - line2 + 1)),
              std::string::npos);
    EXPECT_NE(out.find(Hit(path, 3, 1, "A", "needle after")), std::string::npos);
    EXPECT_NE(out.find(EndFind(2, 5)), std::string::npos) << out.substr(0, 3000);
#else
    EXPECT_NE(out.find(LongLineLine(kLongLineFind, path, 2)), std::string::npos)
        << out.substr(0, 3000);
    EXPECT_EQ(out.find(HitHead(path, 3, 1)), std::string::npos);
    EXPECT_NE(out.find(EndFind(2, 2)), std::string::npos);
#endif
    DeleteFileA(path.c_str());
}
