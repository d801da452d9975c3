// Randomly damaged library files: reading never crashes, hangs or breaks its limits.
#include "workspace/ClipTextFormat.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

// A small fixed generator, so that a failure repeats.
struct Rng {
    uint32_t s;
    uint32_t Next() {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        return s;
    }
    uint32_t Below(uint32_t n) { return Next() % n; }
};

const char* const kPieces[] = {"#TITLE=",  "#BEGIN=", "#END", "#end",   "#ENDX",  " ",
                               "\t",       "\r\n",    "\r",   "\n",     "=",      "##",
                               "\xD6\xD0", "\xD6",    "^!",   "#title", "#begin", "\x81\x5C"};

std::string Seed() {
    return "## comment\r\n#TITLE=Seed\r\n\r\n#BEGIN=one\r\nbody ^! one\r\n#END\r\n"
           "#BEGIN=\xD6\xD0\xCE\xC4\r\n\r\n#END\r\n#BEGIN=two\r\nline\r\n\r\nline\r\n#END\r\n";
}

std::string Damage(Rng& rng, std::string s) {
    const int edits = 1 + static_cast<int>(rng.Below(8));
    for (int e = 0; e < edits; ++e) {
        const size_t at = s.empty() ? 0 : rng.Below(static_cast<uint32_t>(s.size() + 1));
        switch (rng.Below(5)) {
        case 0: // flip a byte
            if (at < s.size())
                s[at] = static_cast<char>(rng.Next());
            break;
        case 1: // cut the file
            s.resize(at);
            break;
        case 2: // remove a run
            s.erase(at, rng.Below(16));
            break;
        case 3: // insert a keyword or a break
            s.insert(at, kPieces[rng.Below(sizeof kPieces / sizeof kPieces[0])]);
            break;
        default: // insert a long run, now and then past a limit
            s.insert(at, std::string(rng.Below(8) == 0 ? 4200 : rng.Below(300),
                                     static_cast<char>(rng.Next() | 0x80)));
            break;
        }
    }
    return s;
}

} // namespace

TEST(ClipTextFuzz, DamagedFilesReadWithinLimits) {
    Rng rng{0x2545F491u};
    const std::string seed = Seed();
    size_t items = 0;
    for (int i = 0; i < 100000; ++i) {
        const std::string bytes = Damage(rng, seed);
        const ClipLibraryText lib = ParseClipLibrary(bytes);
        ASSERT_LE(lib.title.size(), kClipTitleMax);
        ASSERT_EQ(ParseClipTitle(bytes.data(), bytes.size()), lib.title);
        for (const ClipItem& item : lib.items) {
            ASSERT_FALSE(item.name.empty());
            ASSERT_LE(item.name.size(), kClipNameMax);
            ASSERT_LE(item.body.size(), kClipBodyMax);
        }
        if (!lib.IsWhole()) {
            ASSERT_FALSE(lib.damagedItem.empty());
        }
        items += lib.items.size();
        // What was read writes and reads back to the same items.
        if (i % 16 == 0 && lib.IsWhole() && !lib.title.empty()) {
            const ClipLibraryText again =
                ParseClipLibrary(FormatClipLibrary("##\r\n", lib.title, lib.items));
            ASSERT_EQ(again.items.size(), lib.items.size()) << i;
        }
    }
    EXPECT_GT(items, 100000u); // most files still hold items
}
