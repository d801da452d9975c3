// Load → save round trips over a generated corpus: GBK and ASCII text with empty lines, every
// kind of line end used throughout, with and without a break at the end, in each encoding; long
// lines that cross the store's conversion runs; large files that span several text blocks; and
// random edits that survive a save and a load in every encoding.
#include <gtest/gtest.h>

#include "FileTestUtil.h"
#include "common/SysFile.h"
#include "textdoc/FileIO.h"

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A character of the corpus: its UTF-16 unit and its bytes in code page 936.
struct Glyph {
    char16_t unit;
    const char* gbk;
};

const Glyph kGlyphs[] = {
    {u'中', "\xD6\xD0"}, {u'文', "\xCE\xC4"}, {u'编', "\xB1\xE0"}, {u'辑', "\xBC\xAD"},
    {u'器', "\xC6\xF7"}, {u'测', "\xB2\xE2"}, {u'试', "\xCA\xD4"}, {u'汉', "\xBA\xBA"},
    {u'字', "\xD7\xD6"}, {u'乗', "\x81\x5C"}, {u'丂', "\x81\x40"}, {u'，', "\xA3\xAC"},
    {u'。', "\xA1\xA3"}, {u'α', "\xA6\xC1"},  {u'Ж', "\xA7\xA8"},  {u'à', "\xA8\xA4"},
    {u'€', "\x80"},
};
const size_t kGlyphCount = sizeof kGlyphs / sizeof kGlyphs[0];

// The same text as ANSI lines and as UTF-16 lines.
struct Corpus {
    std::vector<std::string> ansi;
    std::vector<std::u16string> wide;
};

Corpus Generate(uint32_t seed, int lines, int maxLen) {
    std::mt19937 rng(seed);
    Corpus c;
    for (int i = 0; i < lines; ++i) {
        std::string a;
        std::u16string w;
        if (rng() % 7 != 0) {
            int len = static_cast<int>(rng() % static_cast<uint32_t>(maxLen + 1));
            for (int k = 0; k < len; ++k) {
                if (rng() % 5 < 2) {
                    const Glyph& g = kGlyphs[rng() % kGlyphCount];
                    a += g.gbk;
                    w += g.unit;
                } else {
                    char ch = static_cast<char>(rng() % 10 == 0 ? '\t' : ' ' + rng() % 95);
                    a += ch;
                    w += static_cast<char16_t>(ch);
                }
            }
        }
        c.ansi.push_back(a);
        c.wide.push_back(w);
    }
    // The first line decides detection: GBK that is no UTF-8 for the ANSI file.
    c.ansi[0] = "\xD6\xD0\xCE\xC4 " + c.ansi[0];
    c.wide[0] = u"中文 " + c.wide[0];
    return c;
}

template <class S> S Join(const std::vector<S>& lines, const S& term, bool finalBreak) {
    S out;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            out += term;
        out += lines[i];
    }
    if (finalBreak)
        out += term;
    return out;
}

std::string Utf8Of(const std::u16string& w) {
    std::string s;
    for (char16_t c : w) {
        unsigned u = c;
        if (u < 0x80) {
            s += static_cast<char>(u);
        } else if (u < 0x800) {
            s += static_cast<char>(0xC0 | (u >> 6));
            s += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            s += static_cast<char>(0xE0 | (u >> 12));
            s += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            s += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return s;
}

std::string Utf16Of(const std::u16string& w, bool bigEndian) {
    std::string s;
    for (char16_t c : w) {
        char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
        s += bigEndian ? hi : lo;
        s += bigEndian ? lo : hi;
    }
    return s;
}

// The file of a corpus in one encoding, with one kind of line end.
std::string FileOf(const Corpus& c, int encoding, int lineEnd, bool finalBreak) {
    const char* term = FxTerminator(lineEnd);
    std::u16string wterm(term, term + std::char_traits<char>::length(term));
    switch (encoding) {
    case FxEncUtf8:
        return "\xEF\xBB\xBF" + Utf8Of(Join(c.wide, wterm, finalBreak));
    case FxEncUtf16Le:
        return "\xFF\xFE" + Utf16Of(Join(c.wide, wterm, finalBreak), false);
    case FxEncUtf16Be:
        return "\xFE\xFF" + Utf16Of(Join(c.wide, wterm, finalBreak), true);
    default:
        return Join(c.ansi, std::string(term), finalBreak);
    }
}

// Loads the file, checks what the document holds, saves it and returns the saved bytes.
std::string RoundTrip(const Scratch& dir, const std::string& file, const Corpus& c, int encoding,
                      int lineEnd, bool finalBreak) {
    std::string in = dir.Path("in.txt"), out = dir.Path("out.txt");
    WriteBytes(in, file);
    TestDoc doc;
    EXPECT_TRUE(LoadDocumentFile(doc, in.c_str()));
    EXPECT_EQ(doc.Encoding(), encoding);
    EXPECT_FALSE(doc.IsLoadLossy());
    EXPECT_TRUE(doc.events.empty());
    const size_t lines = c.ansi.size() + (finalBreak ? 1 : 0);
    EXPECT_EQ(static_cast<size_t>(doc.RecordCount()), lines);
    if (lines > 1) {
        EXPECT_EQ(doc.LineEndType(), lineEnd);
    }
    std::string expectText = Join(c.ansi, std::string("\r\n"), finalBreak);
    EXPECT_TRUE(LogicalText(doc) == expectText) << "loaded text differs";
    EXPECT_EQ(CheckInvariants(doc), "");
    if (encoding == FxEncAnsi) {
        EXPECT_EQ(doc.DocumentSize(), static_cast<int64_t>(file.size()));
    }
    EXPECT_TRUE(SaveDocumentFile(doc, out.c_str()));
    return ReadBytes(out);
}

} // namespace

TEST(RoundTrip, GeneratedCorpusComesBackByteForByte) {
    Scratch dir;
    const int encodings[] = {FxEncAnsi, FxEncUtf8, FxEncUtf16Le, FxEncUtf16Be};
    const int lineEnds[] = {FxLineEndDos, FxLineEndUnix, FxLineEndMac};
    const struct {
        uint32_t seed;
        int lines, maxLen;
    } sizes[] = {{1, 1, 12}, {2, 6, 20}, {3, 300, 60}, {4, 40, 900}};
    for (const auto& size : sizes) {
        Corpus c = Generate(size.seed, size.lines, size.maxLen);
        for (int enc : encodings)
            for (int le : lineEnds)
                for (bool finalBreak : {false, true}) {
                    SCOPED_TRACE(testing::Message()
                                 << "seed " << size.seed << " encoding " << enc << " line end "
                                 << le << " final break " << finalBreak);
                    std::string file = FileOf(c, enc, le, finalBreak);
                    EXPECT_TRUE(RoundTrip(dir, file, c, enc, le, finalBreak) == file);
                }
    }
}

TEST(RoundTrip, EmptyLinesOnly) {
    Scratch dir;
    for (int le : {FxLineEndDos, FxLineEndUnix, FxLineEndMac}) {
        Corpus c;
        c.ansi.assign(5, "");
        c.wide.assign(5, u"");
        for (int enc : {FxEncUtf8, FxEncUtf16Le, FxEncUtf16Be}) {
            std::string file = FileOf(c, enc, le, false);
            EXPECT_TRUE(RoundTrip(dir, file, c, enc, le, false) == file) << enc << " " << le;
        }
    }
}

TEST(RoundTrip, LargeFilesSpanSeveralTextBlocks) {
    Scratch dir;
    // About 5 MB of text: more than one of the blocks a load makes.
    Corpus c = Generate(77, 120000, 70);
    for (int enc : {FxEncAnsi, FxEncUtf8, FxEncUtf16Le, FxEncUtf16Be}) {
        SCOPED_TRACE(enc);
        std::string file = FileOf(c, enc, FxLineEndDos, true);
        EXPECT_TRUE(RoundTrip(dir, file, c, enc, FxLineEndDos, true) == file);
    }
    TestDoc doc;
    WriteBytes(dir.Path("big.txt"), FileOf(c, FxEncAnsi, FxLineEndUnix, false));
    ASSERT_TRUE(LoadDocumentFile(doc, dir.Path("big.txt").c_str()));
    EXPECT_GT(doc.TextBlocks().BlockCount(), 1u);
    // The blocks hold the text with little to spare.
    size_t text = 0;
    for (const std::string& line : c.ansi)
        text += line.size();
    EXPECT_LT(doc.TextBlocks().AllocatedBytes(), text + text / 50 + 65520);
}

TEST(RoundTrip, LongLinesCrossTheConversionRuns) {
    Scratch dir;
    // Lines of 300,000 characters and more, with a double-byte character across each of the
    // places where the store cuts a line into runs.
    Corpus c;
    for (size_t before : {262143u, 262142u, 524287u, 10u}) {
        std::string a(before, 'a');
        std::u16string w(before, u'a');
        for (int k = 0; k < 40000; ++k) {
            const Glyph& g = kGlyphs[k % kGlyphCount];
            a += g.gbk;
            w += g.unit;
        }
        c.ansi.push_back(a);
        c.wide.push_back(w);
    }
    std::string gbkOnly, ansiTail;
    std::u16string wideOnly;
    for (int k = 0; k < 200000; ++k) {
        gbkOnly += "\xD6\xD0";
        wideOnly += u'中';
    }
    c.ansi.push_back(gbkOnly);
    c.wide.push_back(wideOnly);
    c.ansi.insert(c.ansi.begin(), "\xD6\xD0");
    c.wide.insert(c.wide.begin(), u"中");
    for (int enc : {FxEncAnsi, FxEncUtf8, FxEncUtf16Le, FxEncUtf16Be}) {
        SCOPED_TRACE(enc);
        std::string file = FileOf(c, enc, FxLineEndUnix, false);
        EXPECT_TRUE(RoundTrip(dir, file, c, enc, FxLineEndUnix, false) == file);
    }
    // An ANSI line longer than the store's write buffer.
    Corpus huge;
    huge.ansi = {"\xD6\xD0", std::string(1100000, 'h'), "end"};
    huge.wide = {u"中", std::u16string(1100000, u'h'), u"end"};
    std::string file = FileOf(huge, FxEncAnsi, FxLineEndDos, false);
    EXPECT_TRUE(RoundTrip(dir, file, huge, FxEncAnsi, FxLineEndDos, false) == file);
}

TEST(RoundTrip, BinaryBytesAndALeadByteAtTheEndOfLinesStayInAnAnsiFile) {
    Scratch dir;
    std::string bytes = "\xFF";
    for (int b = 0; b < 256; ++b)
        if (b != '\r' && b != '\n')
            bytes += static_cast<char>(b);
    bytes += "\r\nab\xD6\r\n\xD6\r\n\x81\x5C\\\xFE";
    WriteBytes(dir.Path("bin.dat"), bytes);
    TestDoc doc;
    ASSERT_TRUE(LoadDocumentFile(doc, dir.Path("bin.dat").c_str()));
    EXPECT_EQ(doc.Encoding(), FxEncAnsi);
    EXPECT_EQ(doc.RecordCount(), 4);
    EXPECT_EQ(doc.Record(0).len, 255);
    ASSERT_TRUE(SaveDocumentFile(doc, dir.Path("back.dat").c_str()));
    EXPECT_TRUE(ReadBytes(dir.Path("back.dat")) == bytes);
}

TEST(RoundTrip, ALeadByteWithoutItsSecondByteDoesNotTakeTheLineBreak) {
    Scratch dir;
    WriteBytes(dir.Path("in.txt"), "ab\xD6\r\n\xD6\r\ncd");
    TestDoc doc;
    ASSERT_TRUE(LoadDocumentFile(doc, dir.Path("in.txt").c_str()));
    ASSERT_EQ(doc.RecordCount(), 3);
    for (int enc : {FxEncUtf8, FxEncUtf16Le}) {
        doc.SetEncoding(enc);
        ASSERT_TRUE(SaveDocumentFile(doc, dir.Path("out.txt").c_str()));
        TestDoc back;
        ASSERT_TRUE(LoadDocumentFile(back, dir.Path("out.txt").c_str()));
        EXPECT_EQ(back.RecordCount(), 3) << enc;
        EXPECT_EQ(back.LineEndType(), FxLineEndDos);
        EXPECT_EQ(std::string(back.Record(0).data, 2), "ab");
        EXPECT_EQ(std::string(back.Record(2).data, static_cast<size_t>(back.Record(2).len)), "cd");
    }
}

TEST(RoundTrip, RandomEditsSurviveASaveAndALoad) {
    Scratch dir;
    std::mt19937 rng(1936);
    Corpus c = Generate(5, 30, 25);
    WriteBytes(dir.Path("in.txt"), FileOf(c, FxEncAnsi, FxLineEndUnix, true));
    TestDoc doc;
    ASSERT_TRUE(LoadDocumentFile(doc, dir.Path("in.txt").c_str()));
    const char* pieces[] = {"x", "\xD6\xD0", "\r\n", "new\r\nlines\r\n", "\xA3\xAC"};
    for (int round = 0; round < 200; ++round) {
        if (rng() % 3 != 0) {
            int32_t line =
                static_cast<int32_t>(rng() % static_cast<uint32_t>(doc.LogicalLineCount()));
            int32_t len = doc.GetLineLength(line);
            int32_t col = 0;
            // A column between characters.
            for (int32_t target = static_cast<int32_t>(rng() % static_cast<uint32_t>(len + 1));
                 col < target;) {
                const char* data = doc.Record(line).data;
                col += (static_cast<unsigned char>(data[col]) >= 0x81 && col + 1 < len) ? 2 : 1;
            }
            const char* text = pieces[rng() % 5];
            FxTextPos pos(col, line);
            doc.InsertText(pos, text, static_cast<int32_t>(std::char_traits<char>::length(text)));
        } else if (doc.LogicalLineCount() > 2) {
            int32_t line =
                static_cast<int32_t>(rng() % static_cast<uint32_t>(doc.LogicalLineCount() - 1));
            FxTextPos a(0, line), b(0, line + 1);
            doc.DeleteText(a, b);
        }
    }
    ASSERT_EQ(CheckInvariants(doc), "");
    const std::string text = LogicalText(doc);
    for (int enc : {FxEncAnsi, FxEncUtf8, FxEncUtf16Le, FxEncUtf16Be}) {
        for (int le : {FxLineEndDos, FxLineEndUnix, FxLineEndMac}) {
            doc.SetEncoding(enc);
            doc.SetLineEndType(le);
            ASSERT_TRUE(SaveDocumentFile(doc, dir.Path("out.txt").c_str()));
            TestDoc back;
            back.SetRequestedEncoding(enc);
            ASSERT_TRUE(LoadDocumentFile(back, dir.Path("out.txt").c_str()));
            EXPECT_TRUE(LogicalText(back) == text) << enc << " " << le;
            EXPECT_EQ(back.DocumentSize(), doc.DocumentSize());
            EXPECT_FALSE(back.IsLoadLossy());
        }
    }
}

TEST(RoundTrip, LineBreaksWhereTheLoadTakesItsNextPart) {
    // The load converts and splits the text in parts of 32,768 bytes or units: a CR LF pair cut
    // between two parts is still one break, wherever the cut falls.
    Scratch dir;
    for (size_t len = 32760; len <= 32770; ++len) {
        Corpus c;
        c.ansi = {std::string(len, 'a'), "\xD6\xD0", ""};
        c.wide = {std::u16string(len, u'a'), u"中", u""};
        c.ansi[0][0] = '\x80'; // €, for detection as ANSI
        c.wide[0][0] = u'€';
        for (int enc : {FxEncAnsi, FxEncUtf8, FxEncUtf16Le, FxEncUtf16Be}) {
            SCOPED_TRACE(testing::Message() << "length " << len << " encoding " << enc);
            std::string file = FileOf(c, enc, FxLineEndDos, false);
            EXPECT_TRUE(RoundTrip(dir, file, c, enc, FxLineEndDos, false) == file);
        }
    }
}

TEST(RoundTrip, OneLineLargerThanABlock) {
    Scratch dir;
    Corpus c;
    std::string line;
    std::u16string wide;
    for (int k = 0; k < 1200000; ++k) {
        line += k % 3 ? "\xD6\xD0" : "abc";
        wide += k % 3 ? u"中" : u"abc";
    }
    c.ansi = {"\xD6\xD0" + line};
    c.wide = {u"中" + wide};
    for (int enc : {FxEncAnsi, FxEncUtf8, FxEncUtf16Le}) {
        SCOPED_TRACE(enc);
        std::string file = FileOf(c, enc, FxLineEndDos, false);
        EXPECT_TRUE(RoundTrip(dir, file, c, enc, FxLineEndDos, false) == file);
    }
    // The line moved from block to block as it grew; only the block holding it is left.
    WriteBytes(dir.Path("one.txt"), c.ansi[0]);
    TestDoc doc;
    ASSERT_TRUE(LoadDocumentFile(doc, dir.Path("one.txt").c_str()));
    EXPECT_EQ(doc.TextBlocks().BlockCount(), 1u);
    EXPECT_LT(doc.TextBlocks().AllocatedBytes(), c.ansi[0].size() + 2 * 65520);
}
