// Damaged templates: thousands of randomly mutated copies of a shipped template go through the
// reader, the loader, the line states and the scanner, which must neither crash nor hang.
#include "tests/textview/SyntaxTestUtil.h"
#include "textview/SyntaxState.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

namespace {

std::string ReadFile(const std::string& path) {
    std::string s;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            s.append(buf, n);
        std::fclose(f);
    }
    return s;
}

std::string Mutate(const std::string& src, std::mt19937& rng) {
    static const char kPieces[][12] = {"\r\n", "\r",       "\n",      "\"",    "\\",   "{",
                                       "}",    "[",        "]",       "=",     ",",    "#Ends",
                                       "#",    "\x95\x5C", "[#Ends]", "on=\"", "\x81", "\0"};
    std::string s = src;
    int edits = 1 + static_cast<int>(rng() % 8);
    for (int e = 0; e < edits; ++e) {
        size_t at = s.empty() ? 0 : rng() % s.size();
        switch (rng() % 6) {
        case 0: // flip a byte
            if (!s.empty())
                s[at] = static_cast<char>(rng());
            break;
        case 1: { // insert a piece of syntax
            const char* p = kPieces[rng() % (sizeof kPieces / sizeof kPieces[0])];
            s.insert(at, p[0] ? p : std::string(1, '\0'));
            break;
        }
        case 2: // delete a range
            s.erase(at, rng() % 64);
            break;
        case 3: { // duplicate a range
            std::string part = s.substr(at, rng() % 200);
            s.insert(rng() % (s.size() + 1), part);
            break;
        }
        case 4: // cut the file
            s.resize(at);
            break;
        default: // random bytes
            for (int i = static_cast<int>(rng() % 16); i > 0; --i)
                s.insert(s.begin() + static_cast<long>(rng() % (s.size() + 1)),
                         static_cast<char>(rng()));
            break;
        }
    }
    return s;
}

TEST(SyntaxMutation, DamagedTemplatesNeitherCrashNorHang) {
    std::string original = ReadFile(std::string(QV_STF_SOURCE_DIR) + "/CPP.STF");
    ASSERT_GT(original.size(), 1000u);
    const std::vector<std::string> sample = {"#include <stdio.h>",
                                             "int main(void) { /* start",
                                             "  still comment */ return 0; }",
                                             "char* s = \"a\\\"b\\\\\"; // done",
                                             "'\x95\x5C' \"open\\",
                                             "x->y[3] = (a ? b : c);"};
    std::mt19937 rng(20240917);
    for (int i = 0; i < 3000; ++i) {
        std::string damaged = Mutate(original, rng);
        SyntaxTemplate t;
        t.SetText(damaged.data(), damaged.size());
        SyntaxInfo info;
        info.Load(t);
        std::string v;
        t.GetValue("Title", v);
        t.GetValue("Delimiters", v);
        info.SetDelimiters(v.data(), static_cast<int>(v.size()));
        Records r(sample);
        int32_t mark = -1;
        ComputeLineStates(info, r.recs.data(), 5, 5, -1, mark);
        for (size_t k = 0; k < sample.size(); ++k) {
            std::vector<SyntaxRun> runs;
            ScanPiece(info, sample[k].data(), static_cast<int>(sample[k].size()), r.State(k), runs);
            int pos = runs.empty() ? static_cast<int>(sample[k].size()) : 0;
            for (const SyntaxRun& run : runs)
                pos = run.start == pos ? pos + run.len : -1;
            ASSERT_EQ(static_cast<int>(sample[k].size()), pos) << "mutation " << i;
            IsInCommentOrString(info, r.recs.data(), 6, -1, mark, static_cast<int32_t>(k), 3);
        }
        // The damaged template itself as text to colour.
        std::vector<SyntaxRun> all;
        ScanPiece(info, damaged.data(), static_cast<int>(damaged.size()), 0, all);
        NextLineState(info, damaged.data(), static_cast<int>(damaged.size()), FXL_LINEEND);
    }
}

TEST(SyntaxMutation, ABinaryFileRenamedToStf) {
    std::mt19937 rng(7);
    std::string bin(65536, '\0');
    for (char& c : bin)
        c = static_cast<char>(rng());
    SyntaxTemplate t;
    t.SetText(bin.data(), bin.size());
    SyntaxInfo info;
    info.Load(t);
    std::vector<SyntaxRun> runs;
    ScanPiece(info, bin.data(), static_cast<int>(bin.size()), 0, runs);
    NextLineState(info, bin.data(), static_cast<int>(bin.size()), FXL_LINEEND);
    SUCCEED();
}

} // namespace
