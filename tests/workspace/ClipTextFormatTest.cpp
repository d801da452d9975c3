// Reading and writing clip text library files, byte by byte.
#include "workspace/ClipTextFormat.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kHeader[] = "## header line\r\n##\r\n";

ClipLibraryText Parse(const std::string& s) {
    return ParseClipLibrary(s);
}

} // namespace

TEST(ClipTextFormat, TitleAndItems) {
    const ClipLibraryText lib = Parse("#TITLE=C++\r\n\r\n#BEGIN=for\r\nfor (;;) {\r\n^!\r\n}\r\n"
                                      "#END\r\n#BEGIN=if\r\nif (^!)\r\n#END\r\n");
    EXPECT_EQ(lib.title, "C++");
    ASSERT_EQ(lib.items.size(), 2u);
    EXPECT_EQ(lib.items[0].name, "for");
    EXPECT_EQ(lib.items[0].body, "for (;;) {\r\n^!\r\n}");
    EXPECT_EQ(lib.items[1].name, "if");
    EXPECT_EQ(lib.items[1].body, "if (^!)");
    EXPECT_TRUE(lib.IsWhole());
}

TEST(ClipTextFormat, OneEmptyBodyLineIsAnEmptyBodyAndIsWrittenWithoutIt) {
    const ClipLibraryText lib = Parse("#TITLE=t\r\n#BEGIN=blank\r\n\r\n#END\r\n");
    ASSERT_EQ(lib.items.size(), 1u);
    EXPECT_EQ(lib.items[0].body, "");
    EXPECT_EQ(FormatClipLibrary(kHeader, lib.title, lib.items),
              std::string(kHeader) + "\r\n#TITLE=t\r\n\r\n#BEGIN=blank\r\n#END\r\n");
}

TEST(ClipTextFormat, NoBodyLinesAndTwoEmptyLines) {
    const ClipLibraryText lib = Parse("#TITLE=t\r\n#BEGIN=a\r\n#END\r\n#BEGIN=b\r\n\r\n\r\n#END");
    ASSERT_EQ(lib.items.size(), 2u);
    EXPECT_EQ(lib.items[0].body, "");
    EXPECT_EQ(lib.items[1].body, "\r\n");
    // Written and read again, the two-line body stays what it was.
    const ClipLibraryText again = Parse(FormatClipLibrary(kHeader, lib.title, lib.items));
    ASSERT_EQ(again.items.size(), 2u);
    EXPECT_EQ(again.items[1].body, "\r\n");
}

TEST(ClipTextFormat, CommentsOnlyHaveNoTitle) {
    const ClipLibraryText lib = Parse("## a comment\r\n## #TITLE=not this\r\n##\r\n");
    EXPECT_EQ(lib.title, "");
    EXPECT_TRUE(lib.items.empty());
}

TEST(ClipTextFormat, LowerCaseTitleWithBlanks) {
    const ClipLibraryText lib = Parse("  \t#title \t=  My Library \t \r\n#TITLE=second\r\n");
    EXPECT_EQ(lib.title, "My Library");
}

TEST(ClipTextFormat, OnlyTheFirstTitleLineCounts) {
    EXPECT_EQ(Parse("#TITLE\r\n#TITLE=later\r\n").title, "");
    EXPECT_EQ(Parse("#TITLE=  \r\n#TITLE=later\r\n").title, "");
    EXPECT_EQ(Parse("#TITLEX=x\r\n").title, "");
}

TEST(ClipTextFormat, LowerCaseEndBetweenBlanksEndsTheItem) {
    const ClipLibraryText lib =
        Parse("#TITLE=t\r\n#BEGIN=a\r\none\r\n#ENDX\r\n #endif\r\n \t#end \t\r\nafter\r\n");
    ASSERT_EQ(lib.items.size(), 1u);
    EXPECT_EQ(lib.items[0].body, "one\r\n#ENDX\r\n #endif");
    EXPECT_TRUE(lib.IsWhole());
}

TEST(ClipTextFormat, BodyLinesAreVerbatim) {
    const ClipLibraryText lib =
        Parse("#TITLE=t\r\n#BEGIN=a\r\n#BEGIN=inner\r\n#TITLE=x\r\n  ## kept  \r\n#END\r\n");
    ASSERT_EQ(lib.items.size(), 1u);
    EXPECT_EQ(lib.items[0].body, "#BEGIN=inner\r\n#TITLE=x\r\n  ## kept  ");
    EXPECT_EQ(lib.title, "t");
}

TEST(ClipTextFormat, BeginWithoutNameIsSkipped) {
    const ClipLibraryText lib =
        Parse("#TITLE=t\r\n#BEGIN\r\n#BEGIN=  \r\n#BEGINx=y\r\n#BEGIN = ok \r\nbody\r\n#END\r\n");
    ASSERT_EQ(lib.items.size(), 1u);
    EXPECT_EQ(lib.items[0].name, "ok");
    EXPECT_EQ(lib.items[0].body, "body");
}

TEST(ClipTextFormat, ItemWithoutEndIsDroppedAndNamed) {
    const ClipLibraryText lib =
        Parse("#TITLE=t\r\n#BEGIN=a\r\nx\r\n#END\r\n#BEGIN=open\r\nnever ends\r\n");
    ASSERT_EQ(lib.items.size(), 1u);
    EXPECT_EQ(lib.damage, ClipLibraryText::kEndMissing);
    EXPECT_EQ(lib.damagedItem, "open");
}

TEST(ClipTextFormat, LoneLineEnds) {
    const ClipLibraryText unix = Parse("#TITLE=u\n#BEGIN=a\nx\ny\n#END\n");
    EXPECT_EQ(unix.title, "u");
    ASSERT_EQ(unix.items.size(), 1u);
    EXPECT_EQ(unix.items[0].body, "x\ny");
    const ClipLibraryText mac = Parse("#TITLE=m\r#BEGIN=a\rx\r#END\r");
    EXPECT_EQ(mac.title, "m");
    ASSERT_EQ(mac.items.size(), 1u);
    EXPECT_EQ(mac.items[0].body, "x");
}

TEST(ClipTextFormat, LongBodyIsCutAndTheLibraryMarked) {
    const std::string body(5000, 'b');
    const ClipLibraryText lib = Parse("#TITLE=t\r\n#BEGIN=a\r\n#END\r\n#BEGIN=long\r\n" + body +
                                      "\r\n#END\r\n#BEGIN=z\r\nlast\r\n#END\r\n");
    ASSERT_EQ(lib.items.size(), 3u);
    EXPECT_EQ(lib.items[1].body, std::string(4095, 'b'));
    EXPECT_EQ(lib.items[2].body, "last");
    EXPECT_EQ(lib.damage, ClipLibraryText::kBodyCut);
    EXPECT_EQ(lib.damagedItem, "long");
}

TEST(ClipTextFormat, LongNameIsCutOnACharacterBoundary) {
    // 129 double-byte characters: 258 bytes, then one more would pass 259.
    std::string name;
    for (int i = 0; i < 140; ++i)
        name += "\xD6\xD0";
    const ClipLibraryText lib = Parse("#TITLE=t\r\n#BEGIN=" + name + "\r\n#END\r\n");
    ASSERT_EQ(lib.items.size(), 1u);
    EXPECT_EQ(lib.items[0].name.size(), 258u);
    EXPECT_EQ(lib.damage, ClipLibraryText::kNameCut);
    EXPECT_EQ(lib.damagedItem, lib.items[0].name);
}

TEST(ClipTextFormat, BodyCutKeepsWholeCharacters) {
    // 4094 single bytes then a double-byte character that would end at 4096.
    const std::string body = std::string(4094, 'a') + "\xD6\xD0" + "tail";
    const ClipLibraryText lib = Parse("#TITLE=t\r\n#BEGIN=a\r\n" + body + "\r\n#END\r\n");
    ASSERT_EQ(lib.items.size(), 1u);
    EXPECT_EQ(lib.items[0].body, std::string(4094, 'a'));
}

TEST(ClipTextFormat, TitleIsTakenUpTo4095BytesAndCutForTheRecord) {
    const std::string title(5000, 't');
    const ClipLibraryText lib = Parse("#TITLE=" + title + "\r\n");
    EXPECT_EQ(lib.title.size(), 4095u);
    EXPECT_EQ(ClipCut(lib.title, kClipRecordTitleMax).size(), 259u);
}

TEST(ClipTextFormat, ExactBytesWritten) {
    std::vector<ClipItem> items = {{"if", "if (^!)"}, {"\xD6\xD0\xCE\xC4", ""}, {"two", "a\r\nb"}};
    EXPECT_EQ(FormatClipLibrary(kHeader, "Title", items),
              std::string("## header line\r\n##\r\n\r\n#TITLE=Title\r\n\r\n"
                          "#BEGIN=if\r\nif (^!)\r\n#END\r\n"
                          "#BEGIN=\xD6\xD0\xCE\xC4\r\n#END\r\n"
                          "#BEGIN=two\r\na\r\nb\r\n#END\r\n"));
}

TEST(ClipTextFormat, CompareNames) {
    EXPECT_EQ(ClipCompareNames("abc", "ABC"), 0);
    EXPECT_LT(ClipCompareNames("abc", "abd"), 0);
    EXPECT_LT(ClipCompareNames("ab", "abc"), 0);
    EXPECT_GT(ClipCompareNames("b", "A"), 0);
    // A trail byte with the value of "A" (0x41) is not folded to "a".
    EXPECT_NE(ClipCompareNames("\x81\x41", "\x81\x61"), 0);
    // Sort keys order as the comparison does.
    const char* names[] = {"abc", "ABD", "ab", "\x81\x41x", "\x81\x61", "B", "\xD6\xD0", "a\xD6"};
    for (const char* a : names)
        for (const char* b : names) {
            const int byKey = ClipSortKey(a).compare(ClipSortKey(b));
            const int direct = ClipCompareNames(a, b);
            EXPECT_EQ(byKey < 0, direct < 0) << a << " " << b;
            EXPECT_EQ(byKey == 0, direct == 0) << a << " " << b;
        }
}

TEST(ClipTextFormat, TitleAloneIsTheLibrarysTitle) {
    const std::string a = "#BEGIN=x\r\n#TITLE=in a body\r\n#END\r\n  #Title = real \r\n";
    EXPECT_EQ(ParseClipTitle(a.data(), a.size()), "real");
    EXPECT_EQ(ParseClipLibrary(a).title, "real");
    const std::string b = "## none\r\n#BEGIN=open\r\n#TITLE=x\r\n";
    EXPECT_EQ(ParseClipTitle(b.data(), b.size()), "");
}

// A name or title cut at its limit comes back the same after it is written and read again.
TEST(ClipTextFormat, NameCutBeforeABlankLosesTheBlank) {
    // 258 letters, a blank at byte 259, then more: the cut would end in the blank.
    const std::string name = std::string(258, 'n') + " tail";
    const ClipLibraryText lib = Parse("#TITLE=t\r\n#BEGIN=" + name + "\r\nb\r\n#END\r\n");
    ASSERT_EQ(lib.items.size(), 1u);
    EXPECT_EQ(lib.items[0].name, std::string(258, 'n'));
    EXPECT_EQ(lib.damage, ClipLibraryText::kNameCut);
    const ClipLibraryText again = Parse(FormatClipLibrary(kHeader, lib.title, lib.items));
    ASSERT_EQ(again.items.size(), 1u);
    EXPECT_EQ(again.items[0].name, lib.items[0].name);
    EXPECT_TRUE(again.IsWhole());
}

TEST(ClipTextFormat, NameCutBeforeADoubleByteCharacterLosesTheBlanksBeforeIt) {
    // 128 double-byte characters (256 bytes), two blanks, then a character that would end at
    // byte 260: the cut keeps 258 bytes, the blanks go, no half character stays.
    std::string chars;
    for (int i = 0; i < 128; ++i)
        chars += "\xD6\xD0";
    const ClipLibraryText lib =
        Parse("#TITLE=t\r\n#BEGIN=" + chars + " \t\xCE\xC4\r\nb\r\n#END\r\n");
    ASSERT_EQ(lib.items.size(), 1u);
    EXPECT_EQ(lib.items[0].name, chars);
    const ClipLibraryText again = Parse(FormatClipLibrary(kHeader, lib.title, lib.items));
    ASSERT_EQ(again.items.size(), 1u);
    EXPECT_EQ(again.items[0].name, chars);
}

TEST(ClipTextFormat, TitleCutBeforeABlankLosesTheBlank) {
    const std::string title = std::string(4094, 't') + "\tmore";
    const ClipLibraryText lib = Parse("#TITLE=" + title + "\r\n");
    EXPECT_EQ(lib.title, std::string(4094, 't'));
    EXPECT_EQ(Parse(FormatClipLibrary(kHeader, lib.title, lib.items)).title, lib.title);
    const std::string head = std::string(258, 'r') + " x";
    EXPECT_EQ(ClipLineValue(head, kClipRecordTitleMax), std::string(258, 'r'));
}

TEST(ClipTextFormat, LineValueIsWhatALineKeeps) {
    EXPECT_EQ(ClipLineValue("  name \t", kClipNameMax), "name");
    EXPECT_EQ(ClipLineValue(" \t ", kClipNameMax), "");
    EXPECT_EQ(ClipLineValue("first\r\nsecond", kClipNameMax), "first");
    EXPECT_EQ(ClipLineValue("a\nb", kClipNameMax), "a");
    // A trail byte equal to "\" or "@" is kept with its lead byte.
    EXPECT_EQ(ClipLineValue("\x81\x5C\x81\x40 ", 4), "\x81\x5C\x81\x40");
    EXPECT_EQ(ClipLineValue("\x81\x5C\x81\x40", 3), "\x81\x5C");
}

// The longest name and body the window stores read back whole.
TEST(ClipTextFormat, LongestStoredNameAndBodyReadBackWhole) {
    const ClipItem item{std::string(kClipNameMax, 'n'), std::string(kClipBodyMax, 'b')};
    const ClipLibraryText lib = Parse(FormatClipLibrary(kHeader, "t", {item}));
    ASSERT_EQ(lib.items.size(), 1u);
    EXPECT_EQ(lib.items[0].name, item.name);
    EXPECT_EQ(lib.items[0].body, item.body);
    EXPECT_TRUE(lib.IsWhole());
}
