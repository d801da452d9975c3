// The output pane's text store: line breaks of every kind, pieces that split a CR LF, lines
// longer than a block, bookmarks and clearing.
#include "tools/OutputLines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string LineOf(const OutputLines& lines, int32_t i) {
    const OutputLines::Line& rec = lines.At(i);
    return std::string(rec.text ? rec.text : "", static_cast<size_t>(rec.length));
}

std::string Joined(const OutputLines& lines) {
    std::string all;
    for (int32_t i = 0; i < lines.Count(); ++i)
        all += (i ? "|" : "") + LineOf(lines, i);
    return all;
}

void Add(OutputLines& lines, const std::string& text) {
    lines.Append(text.data(), text.size());
}

TEST(OutputLinesTest, NewStoreHasOneEmptyLine) {
    OutputLines lines;
    EXPECT_EQ(lines.Count(), 1);
    EXPECT_EQ(lines.At(0).length, 0);
    EXPECT_FALSE(lines.HasText());
    EXPECT_EQ(lines.TotalBytes(), 0);
}

TEST(OutputLinesTest, FirstSegmentJoinsTheLastLineAndCrLfIsOneBreak) {
    OutputLines lines;
    Add(lines, "x");
    EXPECT_EQ(lines.Append("a\r\nb", 4), 0); // the first changed line
    EXPECT_EQ(Joined(lines), "xa|b");
    EXPECT_EQ(lines.TotalBytes(), 5);
}

TEST(OutputLinesTest, EveryKindOfBreakCountsOnce) {
    OutputLines lines;
    Add(lines, "1\n2\r3\r\n4\n\r5");
    EXPECT_EQ(Joined(lines), "1|2|3|4||5");
}

TEST(OutputLinesTest, CrAndLfInTwoPiecesAreOneBreak) {
    OutputLines lines;
    Add(lines, "a\r");
    Add(lines, "\nb");
    EXPECT_EQ(Joined(lines), "a|b");
    // An empty piece between them changes nothing.
    Add(lines, "\r");
    Add(lines, "");
    Add(lines, "\n");
    Add(lines, "c");
    EXPECT_EQ(Joined(lines), "a|b|c");
}

TEST(OutputLinesTest, ACrEndingAPieceBreaksTheLineAtOnce) {
    OutputLines lines;
    Add(lines, "a\r");
    EXPECT_EQ(Joined(lines), "a|");
    // Not followed by an LF: it was a break of its own.
    Add(lines, "b\r");
    Add(lines, "\r\nc\r");
    Add(lines, "\rd");
    EXPECT_EQ(Joined(lines), "a|b||c||d");
    // Clearing forgets a CR that ended the last piece.
    Add(lines, "\r");
    lines.Clear();
    Add(lines, "\ne");
    EXPECT_EQ(Joined(lines), "|e");
}

// The lines joined by CR LF, as Copy gives them.
std::string Copied(const OutputLines& lines) {
    std::string all;
    for (int32_t i = 0; i < lines.Count(); ++i)
        all += (i ? "\r\n" : "") + LineOf(lines, i);
    return all;
}

TEST(OutputLinesTest, TextCutAnywhereComesBackByteForByte) {
    // CR LF lines of GBK text: "中文" (D6 D0 CE C4), "乗" (81 5C, a "\" second byte), a tab.
    const std::string text = "\xD6\xD0\xCE\xC4 one\r\n\x81\x5C\ttwo\r\n\r\nthree "
                             "\xD6\xD0\r\nfour\r\n";
    for (size_t cut = 0; cut <= text.size(); ++cut) {
        OutputLines lines;
        Add(lines, text.substr(0, cut));
        Add(lines, text.substr(cut));
        EXPECT_EQ(lines.Count(), 6) << "cut at " << cut;
        EXPECT_TRUE(Copied(lines) == text) << "cut at " << cut;
        EXPECT_EQ(LineOf(lines, 0), "\xD6\xD0\xCE\xC4 one") << "cut at " << cut;
    }
    // Every pair of cuts, three pieces.
    for (size_t a = 0; a <= text.size(); ++a) {
        for (size_t b = a; b <= text.size(); ++b) {
            OutputLines lines;
            Add(lines, text.substr(0, a));
            Add(lines, text.substr(a, b - a));
            Add(lines, text.substr(b));
            EXPECT_TRUE(Copied(lines) == text) << "cuts at " << a << ", " << b;
        }
    }
}

TEST(OutputLinesTest, TrailingBreakLeavesAnEmptyLastLine) {
    OutputLines lines;
    Add(lines, "one\r\n");
    EXPECT_EQ(lines.Count(), 2);
    EXPECT_EQ(Joined(lines), "one|");
    EXPECT_EQ(lines.Append("two", 3), 1);
    EXPECT_EQ(Joined(lines), "one|two");
}

TEST(OutputLinesTest, DoubleByteTextIsKeptWhole) {
    OutputLines lines;
    // Trail bytes 0x5C and 0x7C never end a line.
    Add(lines, "\xD6\xD0\xCE\xC4\x95\x5C\n\x81\x7C");
    ASSERT_EQ(lines.Count(), 2);
    EXPECT_EQ(LineOf(lines, 0), "\xD6\xD0\xCE\xC4\x95\x5C");
    EXPECT_EQ(LineOf(lines, 1), "\x81\x7C");
}

TEST(OutputLinesTest, LinesGrowPastABlockAndEarlierLinesStayPut) {
    OutputLines lines;
    Add(lines, "first\n");
    const char* first = lines.At(0).text;
    std::string expected;
    // A long line built of many small pieces crosses several blocks.
    for (int i = 0; i < 20000; ++i) {
        const std::string piece = std::to_string(i % 10) + "abc";
        expected += piece;
        Add(lines, piece);
    }
    Add(lines, "\nlast");
    ASSERT_EQ(lines.Count(), 3);
    EXPECT_EQ(lines.At(0).text, first);
    EXPECT_EQ(LineOf(lines, 0), "first");
    EXPECT_EQ(LineOf(lines, 1), expected);
    EXPECT_EQ(LineOf(lines, 2), "last");
    EXPECT_EQ(lines.MaxLength(), static_cast<int32_t>(expected.size()));
}

TEST(OutputLinesTest, ManyLinesAcrossBlocks) {
    OutputLines lines;
    std::string text;
    for (int i = 0; i < 30000; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    Add(lines, text);
    ASSERT_EQ(lines.Count(), 30001);
    EXPECT_EQ(LineOf(lines, 0), "line 0");
    EXPECT_EQ(LineOf(lines, 12345), "line 12345");
    EXPECT_EQ(LineOf(lines, 29999), "line 29999");
    EXPECT_EQ(LineOf(lines, 30000), "");
}

TEST(OutputLinesTest, BookmarksAreCountedFoundAndCleared) {
    OutputLines lines;
    Add(lines, "a\nb\nc\nd");
    lines.SetBookmark(1, true);
    lines.SetBookmark(1, true); // twice is once
    lines.SetBookmark(3, true);
    EXPECT_EQ(lines.BookmarkCount(), 2);
    EXPECT_EQ(lines.NextBookmark(1), 3);
    EXPECT_EQ(lines.NextBookmark(3), -1);
    EXPECT_EQ(lines.PrevBookmark(3), 1);
    EXPECT_EQ(lines.PrevBookmark(1), -1);
    EXPECT_EQ(lines.NextBookmark(-1), 1);
    lines.SetBookmark(1, false);
    EXPECT_EQ(lines.BookmarkCount(), 1);
    lines.ClearBookmarks();
    EXPECT_EQ(lines.BookmarkCount(), 0);
    EXPECT_FALSE(lines.IsBookmarked(3));
}

TEST(OutputLinesTest, ClearLeavesOneEmptyLine) {
    OutputLines lines;
    Add(lines, "a\nb");
    lines.SetBookmark(0, true);
    lines.Clear();
    EXPECT_EQ(lines.Count(), 1);
    EXPECT_EQ(lines.At(0).length, 0);
    EXPECT_EQ(lines.TotalBytes(), 0);
    EXPECT_EQ(lines.BookmarkCount(), 0);
    Add(lines, "c");
    EXPECT_EQ(Joined(lines), "c");
}

TEST(OutputLinesTest, PastItsLineLimitTheOldestLinesGoAndANoticeSaysHowMany) {
    OutputLines lines;
    lines.SetLimits(1 << 20, 5);
    lines.SetDropNotice("-- %s lines dropped --");
    Add(lines, "1\n2\n3\n");
    lines.SetBookmark(1, true);
    EXPECT_EQ(lines.Shift(), 0);
    // Six lines where five fit, the notice one of them.
    Add(lines, "4\n5\n6");
    EXPECT_EQ(Joined(lines), "-- 2 lines dropped --|3|4|5|6");
    EXPECT_EQ(lines.DroppedLines(), 2);
    // "3" was line 2 and is line 1 now.
    EXPECT_EQ(lines.Shift(), 1);
    // The bookmark went with its line.
    EXPECT_EQ(lines.BookmarkCount(), 0);
    lines.SetBookmark(4, true);
    Add(lines, "\n7\n8");
    EXPECT_EQ(Joined(lines), "-- 4 lines dropped --|5|6|7|8");
    EXPECT_EQ(lines.Shift(), 3);
    EXPECT_EQ(lines.KeptBytes(), 4u);
    // The bookmark on "6" moved with it.
    EXPECT_EQ(lines.BookmarkCount(), 1);
    EXPECT_TRUE(lines.IsBookmarked(2));
    lines.Clear();
    EXPECT_EQ(lines.DroppedLines(), 0);
    EXPECT_EQ(lines.Shift(), 0);
    Add(lines, "a");
    EXPECT_EQ(Joined(lines), "a");
}

TEST(OutputLinesTest, PastItsByteLimitTheOldestLinesGoAndTheLastLineStopsGrowing) {
    OutputLines lines;
    lines.SetLimits(10, 1000);
    lines.SetDropNotice("%s");
    Add(lines, "aaaa\nbbbb\ncccc");
    EXPECT_EQ(Joined(lines), "1|bbbb|cccc");
    EXPECT_EQ(lines.KeptBytes(), 8u);
    // A line alone longer than the bound keeps its first bytes.
    Add(lines, "\n0123456789abcdef");
    EXPECT_EQ(Joined(lines), "3|0123456789");
    Add(lines, "gh\nnext");
    EXPECT_EQ(Joined(lines), "4|next");
}

TEST(OutputLinesTest, KeptLinesStayWholeWhileBlocksGoBehindThem) {
    OutputLines lines;
    const size_t bound = 200000;
    lines.SetLimits(bound, 1 << 20);
    lines.SetDropNotice("dropped %s");
    std::vector<std::string> all;
    for (int i = 0; i < 40000; ++i) {
        // Now and then a line longer than a block, built from several pieces.
        std::string line = "line " + std::to_string(i);
        if (i % 997 == 0)
            line += std::string(OutputLines::kBlockSize + 100, static_cast<char>('a' + i % 26));
        all.push_back(line);
        const size_t half = line.size() / 2;
        Add(lines, line.substr(0, half));
        Add(lines, line.substr(half) + "\r");
        Add(lines, "\n");
    }
    ASSERT_GT(lines.DroppedLines(), 0);
    EXPECT_LE(lines.KeptBytes(), bound);
    EXPECT_GT(lines.KeptBytes(), bound / 2);
    const int32_t kept = lines.Count() - 2; // the notice and the empty last line besides
    EXPECT_EQ(lines.DroppedLines() + kept, 40000);
    EXPECT_EQ(LineOf(lines, 0), "dropped " + std::to_string(lines.DroppedLines()));
    for (int32_t i = 1; i <= kept; ++i)
        ASSERT_TRUE(LineOf(lines, i) == all[static_cast<size_t>(lines.DroppedLines() + i - 1)])
            << "line " << i;
    EXPECT_EQ(LineOf(lines, lines.Count() - 1), "");
}

} // namespace
