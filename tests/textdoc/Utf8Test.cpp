// Encoding detection and the UTF-8 codecs: the detection order, the strict test, decoding of
// malformed input, counting, encoding with a capacity, and the fast ASCII paths against a plain
// byte-by-byte reference.
#include <gtest/gtest.h>

#include "textdoc/Utf8.h"

#include <random>
#include <string>
#include <vector>

namespace {

std::string B(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes)
        s.push_back(static_cast<char>(b));
    return s;
}

int Detect(const std::string& s) {
    return DetectEncoding(s.data(), s.size());
}
bool IsUtf8(const std::string& s) {
    return IsUtf8Text(s.data(), s.size());
}

std::vector<uint16_t> Decode(const std::string& s, size_t capacity = 1000) {
    std::vector<uint16_t> u(capacity);
    u.resize(DecodeUtf8(s.data(), s.size(), u.data(), capacity));
    return u;
}

std::string Encode(const std::vector<uint16_t>& u, size_t capacity = 1000) {
    std::string s(capacity, '\0');
    s.resize(EncodeUtf8(u.data(), u.size(), &s[0], capacity));
    return s;
}

// The decoder written the plain way, one byte at a time.
std::vector<uint16_t> ReferenceDecode(const std::string& s) {
    std::vector<uint16_t> out;
    auto at = [&](size_t i) -> unsigned {
        return i < s.size() ? static_cast<unsigned char>(s[i]) : 0;
    };
    for (size_t i = 0; i < s.size();) {
        unsigned b0 = at(i);
        if (b0 >= 0xC0 && b0 <= 0xDF) {
            out.push_back(static_cast<uint16_t>(((b0 << 6) & 0x7FF) | (at(i + 1) & 0x3F)));
            i += 2;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            out.push_back(static_cast<uint16_t>(((b0 & 0x0F) << 12) | ((at(i + 1) & 0x3F) << 6) |
                                                (at(i + 2) & 0x3F)));
            i += 3;
        } else {
            out.push_back(static_cast<uint16_t>(b0));
            i += 1;
        }
    }
    return out;
}

} // namespace

TEST(Utf8, StrictTestOfOneStretch) {
    EXPECT_FALSE(IsUtf8(""));
    EXPECT_TRUE(IsUtf8("plain ascii"));
    EXPECT_TRUE(IsUtf8(B({0xE4, 0xB8, 0xAD})));        // 中
    EXPECT_TRUE(IsUtf8(B({0xC3, 0xA9, 'x'})));         // é
    EXPECT_TRUE(IsUtf8(B({0xEF, 0xBB, 0xBF, 'a'})));   // the mark is valid UTF-8
    EXPECT_TRUE(IsUtf8(std::string("a\0b", 3)));       // a 0 byte is a one-byte character
    EXPECT_FALSE(IsUtf8(B({0xF0, 0x9F, 0x98, 0x80}))); // four-byte sequences are not taken
    EXPECT_FALSE(IsUtf8(B({0x80})));                   // a continuation byte first
    EXPECT_FALSE(IsUtf8(B({0xFF})));
    EXPECT_FALSE(IsUtf8(B({0xE4, 0xB8}))); // cut off by the end
    EXPECT_FALSE(IsUtf8(B({0xC3})));
    EXPECT_FALSE(IsUtf8(B({0xC3, 0x41})));             // not a continuation byte
    EXPECT_FALSE(IsUtf8(B({0xD6, 0xD0, 0xCE, 0xC4}))); // 中文 in GBK
}

TEST(Utf8, StrictTestPastTheFastPath) {
    // Bad bytes at every offset of a stretch longer than the 16-byte ASCII steps.
    for (size_t at = 0; at < 40; ++at) {
        std::string s(40, 'a');
        s[at] = static_cast<char>(0x80);
        EXPECT_FALSE(IsUtf8(s)) << at;
        s[at] = 'b';
        EXPECT_TRUE(IsUtf8(s)) << at;
    }
    std::string tail(33, 'x');
    tail += B({0xE4, 0xB8});
    EXPECT_FALSE(IsUtf8(tail));
}

TEST(Utf8, DetectsUtf16LittleEndianByItsMarkAlone) {
    EXPECT_EQ(Detect(B({0xFF, 0xFE, 'A', 0, 'B', 0})), 3);
    EXPECT_EQ(Detect(B({0xFF, 0xFE})), 3); // the mark with no text
    // A U+0000 or a second mark falls through to the other tests.
    EXPECT_EQ(Detect(B({0xFF, 0xFE, 'A', 0, 0, 0, 'B', 0})), 1);
    EXPECT_EQ(Detect(B({0xFF, 0xFE, 'A', 0, 0xFF, 0xFE})), 1);
    EXPECT_EQ(Detect(B({0xFF, 0xFE, 'A'})), 1); // odd size
    EXPECT_EQ(Detect(B({0xFF})), 1);
    // The unit scan past its 8-unit steps.
    std::string big = B({0xFF, 0xFE});
    for (int i = 0; i < 100; ++i)
        big += B({'a' + i % 26, 0});
    EXPECT_EQ(Detect(big), 3);
    big[2 + 2 * 77] = 0;
    EXPECT_EQ(Detect(big), 1);
}

TEST(Utf8, DetectsUtf16BigEndianAfterUtf8) {
    EXPECT_EQ(Detect(B({0xFE, 0xFF, 0, 'A', 0, 'B'})), 4);
    EXPECT_EQ(Detect(B({0xFE, 0xFF, 0, 'A', 0, 0})), 1);
    EXPECT_EQ(Detect(B({0xFE, 0xFF, 0, 'A', 0xFE, 0xFF})), 1);
    EXPECT_EQ(Detect(B({0xFE, 0xFF, 0})), 1);
}

TEST(Utf8, DetectsUtf8ByTheFirstLineWithAHighByte) {
    EXPECT_EQ(Detect("only ascii\r\nlines\n"), 1);
    EXPECT_EQ(Detect(B({0xEF, 0xBB, 0xBF, 'a', 'b'})), 2);
    // The first non-ASCII line decides, whatever follows.
    std::string s = "ascii\r\n" + B({'x', 0xE4, 0xB8, 0xAD, 'y'}) + "\n" + B({0xD6, 0xD0});
    EXPECT_EQ(Detect(s), 2);
    EXPECT_EQ(Detect("ascii\n" + B({0xD6, 0xD0}) + "\n" + B({0xE4, 0xB8, 0xAD})), 1);
    // The line is tested without its break, whichever break it is.
    EXPECT_EQ(Detect(B({0xE4, 0xB8, 0xAD, '\r'})), 2);
    EXPECT_EQ(Detect(B({'a', '\r', 0xE4, 0xB8, 0xAD, '\r', '\n'})), 2);
    EXPECT_EQ(Detect(B({0xE4, 0xB8, 0xAD, '\n', 0xFF})), 2);
    // Only a four-byte sequence: not UTF-8, and so ANSI.
    EXPECT_EQ(Detect(B({'a', '\n', 0xF0, 0x9F, 0x98, 0x80, '\n'})), 1);
    // A CR as the last byte before any such line.
    EXPECT_EQ(Detect("abc\r"), 1);
    // A 0 byte also picks the line, and an ASCII line with it is valid UTF-8.
    EXPECT_EQ(Detect(std::string("a\0b", 3)), 2);
    // Far from the start.
    EXPECT_EQ(Detect(std::string(1000, 'a') + B({0xC3, 0xA9})), 2);
    EXPECT_EQ(Detect(std::string(1000, 'a') + B({0xC3})), 1);
}

TEST(Utf8, DecodesEachSequenceByTheRule) {
    EXPECT_EQ(Decode("A"), std::vector<uint16_t>({0x41}));
    EXPECT_EQ(Decode(B({0xC3, 0xA9})), std::vector<uint16_t>({0xE9}));
    EXPECT_EQ(Decode(B({0xE4, 0xB8, 0xAD})), std::vector<uint16_t>({0x4E2D}));
    EXPECT_EQ(Decode(B({0xEF, 0xBB, 0xBF})), std::vector<uint16_t>({0xFEFF}));
    // Malformed input never fails.
    EXPECT_EQ(Decode(B({0xF0, 0x80})), std::vector<uint16_t>({0xF0, 0x80}));
    EXPECT_EQ(Decode(B({0xC3, 0x41})), std::vector<uint16_t>({0xC1})); // taken as it comes
    EXPECT_EQ(Decode(B({0xC3})), std::vector<uint16_t>({0xC0}));       // beyond the end: 0
    EXPECT_EQ(Decode(B({0xE4, 0xB8})), std::vector<uint16_t>({0x4E00}));
    EXPECT_EQ(Decode(std::string("\0", 1)), std::vector<uint16_t>({0}));
}

TEST(Utf8, DecodingStopsAtTheCapacity) {
    EXPECT_EQ(Decode("abc", 2), std::vector<uint16_t>({'a', 'b'}));
    std::string longer(40, 'q');
    EXPECT_EQ(Decode(longer, 17).size(), 17u); // inside a 16-byte fast step
    EXPECT_EQ(Decode(longer, 16).size(), 16u);
}

TEST(Utf8, CountingGivesAnUpperBound) {
    EXPECT_EQ(DecodeUtf8("abc", 3, nullptr, 0), 3u);
    std::string zh = B({0xE4, 0xB8, 0xAD, 0xC3, 0xA9});
    EXPECT_EQ(DecodeUtf8(zh.data(), zh.size(), nullptr, 0), 2u);
    // A sequence cut off by the end counts its remaining bytes.
    std::string cut = B({'a', 0xE4, 0xB8});
    EXPECT_EQ(DecodeUtf8(cut.data(), cut.size(), nullptr, 0), 3u);
    EXPECT_EQ(Decode(cut).size(), 2u);
    EXPECT_EQ(DecodeUtf8("", 0, nullptr, 0), 0u);
}

TEST(Utf8, EncodesOneTwoOrThreeBytes) {
    EXPECT_EQ(Encode({0x41}), "A");
    EXPECT_EQ(Encode({0x7F}), B({0x7F}));
    EXPECT_EQ(Encode({0x80}), B({0xC2, 0x80}));
    EXPECT_EQ(Encode({0x7FF}), B({0xDF, 0xBF}));
    EXPECT_EQ(Encode({0x800}), B({0xE0, 0xA0, 0x80}));
    EXPECT_EQ(Encode({0x4E2D}), B({0xE4, 0xB8, 0xAD}));
    EXPECT_EQ(Encode({0xFFFF}), B({0xEF, 0xBF, 0xBF}));
    std::vector<uint16_t> mixed = {0x41, 0xE9, 0x4E2D, 0};
    EXPECT_EQ(EncodeUtf8(mixed.data(), mixed.size(), nullptr, 0), 7u);
}

TEST(Utf8, EncodingWritesTheLastSequenceAsFarAsItFits) {
    EXPECT_EQ(Encode({0x4E2D}, 2), B({0xE4, 0xB8}));
    EXPECT_EQ(Encode({0x41, 0xE9}, 2), B({0x41, 0xC3}));
    EXPECT_EQ(Encode({0x41, 0x42, 0x43}, 2), "AB");
}

TEST(Utf8, EveryUnitComesBack) {
    std::vector<uint16_t> all;
    for (unsigned u = 0; u <= 0xFFFF; ++u)
        all.push_back(static_cast<uint16_t>(u));
    std::string bytes(EncodeUtf8(all.data(), all.size(), nullptr, 0), '\0');
    ASSERT_EQ(EncodeUtf8(all.data(), all.size(), &bytes[0], bytes.size()), bytes.size());
    std::vector<uint16_t> back(all.size());
    ASSERT_EQ(DecodeUtf8(bytes.data(), bytes.size(), back.data(), back.size()), all.size());
    EXPECT_EQ(back, all);
    EXPECT_EQ(DecodeUtf8(bytes.data(), bytes.size(), nullptr, 0), all.size());
}

TEST(Utf8, MeasureTellsWhetherTheBytesComeBack) {
    bool exact = false;
    EXPECT_EQ(MeasureUtf8("", 0, &exact), 0u);
    EXPECT_TRUE(exact);
    std::string good = "ab" + B({0xE4, 0xB8, 0xAD, 0xC3, 0xA9, 0xEF, 0xBF, 0xBF});
    EXPECT_EQ(MeasureUtf8(good.data(), good.size(), &exact), 5u);
    EXPECT_TRUE(exact);
    const std::string bad[] = {
        B({0xC0, 0x80}),             // overlong two-byte form of U+0000
        B({0xC1, 0xBF}),             // overlong
        B({0xE0, 0x80, 0x80}),       // overlong three-byte form
        B({0xED, 0xA0, 0x80}),       // a surrogate unit
        B({0xF0, 0x9F, 0x98, 0x80}), // four bytes
        B({0x80}),                   // a stray continuation byte
        B({0xE4, 0x41, 0x42}),       // no continuation bytes
        B({'a', 0xE4, 0xB8}),        // cut off
        B({0xD6, 0xD0, 0xCE, 0xC4}), // GBK
    };
    for (const std::string& s : bad) {
        exact = true;
        MeasureUtf8(s.data(), s.size(), &exact);
        EXPECT_FALSE(exact) << testing::PrintToString(s);
    }
}

TEST(Utf8, FastPathsAgreeWithTheReferenceOnRandomInput) {
    std::mt19937 rng(936);
    const std::string pieces[] = {"a",
                                  "0123456789abcdefXYZ",
                                  B({0xE4, 0xB8, 0xAD}),
                                  B({0xC3, 0xA9}),
                                  B({0x80}),
                                  B({0xF0}),
                                  B({0xE4}),
                                  B({0xD6, 0xD0}),
                                  std::string(1, '\0'),
                                  "\r\n"};
    for (int round = 0; round < 2000; ++round) {
        std::string s;
        int n = static_cast<int>(rng() % 12);
        for (int k = 0; k < n; ++k)
            s += pieces[rng() % (sizeof pieces / sizeof pieces[0])];
        std::vector<uint16_t> expect = ReferenceDecode(s);
        EXPECT_EQ(Decode(s, expect.size() + 8), expect) << testing::PrintToString(s);
        EXPECT_GE(DecodeUtf8(s.data(), s.size(), nullptr, 0), expect.size());
        if (!expect.empty()) {
            size_t cap = 1 + rng() % expect.size();
            std::vector<uint16_t> head(expect.begin(), expect.begin() + static_cast<long>(cap));
            EXPECT_EQ(Decode(s, cap), head);
        }
        bool exact = false;
        MeasureUtf8(s.data(), s.size(), &exact);
        // Decoded in parts of any size, the text gives the same units and the same verdict.
        std::vector<uint16_t> parts;
        bool partsExact = true;
        for (size_t pos = 0; pos < s.size();) {
            uint16_t buf[64];
            size_t used = 0, cap = 1 + rng() % 20;
            size_t got =
                DecodeUtf8Part(s.data() + pos, s.size() - pos, buf, cap, &used, &partsExact);
            ASSERT_GT(used, 0u);
            parts.insert(parts.end(), buf, buf + got);
            pos += used;
        }
        EXPECT_EQ(parts, expect);
        EXPECT_EQ(partsExact, exact) << testing::PrintToString(s);
        if (exact) {
            EXPECT_TRUE(s.empty() || IsUtf8(s));
            EXPECT_EQ(Encode(expect, s.size() + 8), s); // exact bytes come back
        }
    }
}
