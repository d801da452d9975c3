// Benchmark of the document search engine on a generated ~100 MB GBK file: Find Next and Find
// Previous across the whole document (with and without case), Mark All, Replace All with its
// undo, and regular expressions; then every match of a regular expression in one long line.
// Searches are printed beside M, a memchr + memcmp scan of a flat copy of the same bytes for the
// same pattern; edits beside the split baseline B. All measured in the same run.
#include "BenchUtil.h"

#include "search/FxSearch.h"
#include "textdoc/Dbcs.h"
#include "textdoc/FileIO.h"
#include "textdoc/FxEditDoc.h"

#include <windows.h>
// The common dialogs' FindText and ReplaceText macros would rename the search functions.
#undef FindText
#undef ReplaceText

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Doc : CFxEditDoc {
    Doc() { InitDocument(0); }
    void OnDocEvent(int code, int) override {
        if (code == FxEvSearchWrapped)
            ++wraps;
    }
    int wraps = 0;
};

// Found only on the marker line that closes the generated text.
const char kMarker[] = "Xyzzy";
const char kMarkerLine[] = "Xyzzy marks the end of the text\r\nend\r\n";
const char kWord[] = "qvz"; // on about nine lines in twenty
const char kReplacement[] = "QVZ_";

std::vector<char> ReadFile(const std::string& path) {
    std::vector<char> bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return bytes;
    std::fseek(f, 0, SEEK_END);
    bytes.resize(static_cast<size_t>(std::ftell(f)));
    std::fseek(f, 0, SEEK_SET);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    std::fclose(f);
    return bytes;
}

// The baseline M: memchr for the first byte, memcmp for the rest, over the flat bytes. Counts
// every occurrence (or stops at the first with `firstOnly`); *at gets the first one's offset.
size_t ScanFlat(const std::vector<char>& text, const char* pat, bool firstOnly, size_t* at) {
    const size_t plen = std::strlen(pat);
    const char* p = text.data();
    const char* const end = p + text.size();
    size_t count = 0;
    *at = text.size();
    while (static_cast<size_t>(end - p) >= plen) {
        const char* hit = static_cast<const char*>(
            std::memchr(p, pat[0], static_cast<size_t>(end - p) - plen + 1));
        if (!hit)
            break;
        if (std::memcmp(hit + 1, pat + 1, plen - 1) == 0) {
            if (count++ == 0)
                *at = static_cast<size_t>(hit - text.data());
            if (firstOnly)
                break;
            p = hit + plen;
        } else {
            p = hit + 1;
        }
    }
    return count;
}

// The median of `runs` timings that `once` returns.
template <class Once> double MedianOf(int runs, Once once) {
    std::vector<double> t;
    for (int i = 0; i < runs; ++i)
        t.push_back(once());
    return Median(t);
}

struct FindCase {
    Doc* doc;
    const char* pattern;
    unsigned flags; // 1 match case, 2 regular expression, 4 up
    FxTextPos start;
    bool wrap;
    FxSearchResult result;
};

double FindOnce(FindCase& c) {
    FxSearch req;
    req.pattern = c.pattern;
    req.matchCase = (c.flags & 1) != 0;
    req.regExp = (c.flags & 2) != 0;
    req.down = (c.flags & 4) == 0;
    req.wrap = c.wrap;
    req.start = c.start;
    double t0 = NowSeconds();
    c.result = FindText(*c.doc, req);
    return NowSeconds() - t0;
}

struct MarkCase {
    Doc* doc;
    FxSearchResult result;
};

double MarkOnce(MarkCase& c) {
    FxSearch req;
    req.pattern = kWord;
    req.matchCase = true;
    double t0 = NowSeconds();
    // As the Mark button does: every bookmark cleared, then the matching lines marked.
    FxClearBookmarks(*c.doc);
    c.result = MarkAll(*c.doc, req);
    return NowSeconds() - t0;
}

// M for a pattern: up to its first occurrence, or over the whole text for the frequent word.
double ScanOnce(const std::vector<char>& text, const char* pattern) {
    size_t at;
    double t0 = NowSeconds();
    volatile size_t n = ScanFlat(text, pattern, std::strcmp(pattern, kWord) != 0, &at);
    (void)n;
    return NowSeconds() - t0;
}

// The document's bytes as a file would hold them (CR LF breaks, word wrap off).
bool SameAs(const CFxEditDoc& doc, const std::vector<char>& bytes) {
    size_t at = 0;
    for (int32_t line = 0; line < doc.RecordCount(); ++line) {
        const FxLine& r = doc.Record(line);
        const size_t len = static_cast<size_t>(r.lineLen);
        if (at + len > bytes.size() || (len && std::memcmp(bytes.data() + at, r.data, len) != 0))
            return false;
        at += len;
        if (line + 1 < doc.RecordCount()) {
            if (at + 2 > bytes.size() || bytes[at] != '\r' || bytes[at + 1] != '\n')
                return false;
            at += 2;
        }
    }
    return at == bytes.size();
}

// Regular expressions have no target: each is printed beside the literal search it mirrors.
void PrintBeside(const char* name, double value, double literal, bool found) {
    std::printf("%-44s %10.3f s    %6.2f x literal (no target)  %s\n", name, value,
                literal > 0 ? value / literal : 0.0, found ? "found" : "NOT FOUND");
    std::fflush(stdout);
}

void Verify(const char* what, bool ok) {
    std::printf("%-44s %s\n", what, ok ? "yes" : "NO");
}

// One line of `count` "a" in a document of its own, loaded from a file in dir.
bool LoadLongLine(Doc& doc, const std::string& dir, size_t count) {
    const std::string path = dir + "\\search_longline.txt";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const std::string line(count, 'a');
    std::fwrite(line.data(), 1, line.size(), f);
    std::fclose(f);
    const bool loaded = LoadDocumentFile(doc, path.c_str());
    doc.InitDocument(0);
    DeleteFileA(path.c_str());
    return loaded;
}

// Every match of the regular expression "a" over one line of `count` "a": Mark All with its
// hits. *hits gets their number.
double MarkLongLineOnce(Doc& doc, size_t* hits) {
    FxSearch req;
    req.pattern = "a";
    req.matchCase = true;
    req.regExp = true;
    std::vector<FxSearchHit> found;
    found.reserve(*hits);
    const double t0 = NowSeconds();
    MarkAll(doc, req, &found);
    const double t = NowSeconds() - t0;
    *hits = found.size();
    return t;
}

} // namespace

int main(int argc, char** argv) {
    FxInitLeadBytes();
    std::string dir = argc > 1 ? argv[1] : ".";
    size_t megabytes = argc > 2 ? static_cast<size_t>(std::atoi(argv[2])) : 100;
    const std::string path = dir + "\\search_ansi.txt";
    std::printf("code page %u; generating %u MB of GBK text...\n", GetACP(),
                static_cast<unsigned>(megabytes));
    GenerateGbkText(path, megabytes << 20, 1);
    {
        FILE* f = std::fopen(path.c_str(), "ab");
        std::fwrite(kMarkerLine, 1, sizeof kMarkerLine - 1, f);
        std::fclose(f);
    }
    const std::vector<char> flat = ReadFile(path);

    int64_t splitLines = 0;
    std::vector<double> bs;
    for (int i = 0; i < 3; ++i)
        bs.push_back(SplitBaseline(path, &splitLines));
    const double B = Median(bs);

    size_t markerAt = 0, wordAt = 0;
    const size_t markers = ScanFlat(flat, kMarker, false, &markerAt);
    const size_t words = ScanFlat(flat, kWord, false, &wordAt);
    const double M = MedianOf(5, [&] { return ScanOnce(flat, kMarker); });
    const double Mw = MedianOf(5, [&] { return ScanOnce(flat, kWord); });
    std::printf("%lld lines, %.1f MB; \"%s\" %u time(s), at %.1f%% of the text; \"%s\" %u times\n",
                static_cast<long long>(splitLines), static_cast<double>(flat.size()) / 1048576.0,
                kMarker, static_cast<unsigned>(markers),
                100.0 * static_cast<double>(markerAt) / static_cast<double>(flat.size()), kWord,
                static_cast<unsigned>(words));
    std::printf("baseline B (map + memchr split + copy): %.3f s\n", B);
    std::printf("baseline M (memchr + memcmp, flat copy): \"%s\" %.3f s, \"%s\" (all) %.3f s\n\n",
                kMarker, M, kWord, Mw);

    Doc doc;
    if (!LoadDocumentFile(doc, path.c_str())) {
        std::printf("load failed\n");
        return 1;
    }
    doc.InitDocument(0);
    const int32_t markerLine = static_cast<int32_t>(
        std::count(flat.begin(), flat.begin() + static_cast<std::ptrdiff_t>(markerAt), '\n'));

    // Find Next from the top of the document: the one match lies on its third last line.
    FindCase down{&doc, kMarker, 1, FxTextPos(0, 0), true, {}};
    double t = MedianOf(3, [&] { return FindOnce(down); });
    PrintFigure("Find Next to the end, match case", t, "s", M, 2.0);
    const double literalDown = t;
    bool ok = down.result.Found() && down.result.matchStart == FxTextPos(0, markerLine);
    // From just after the match: to the end, the wrap, and the whole document again.
    FindCase wrap{&doc, kMarker, 1, FxTextPos(5, markerLine), true, {}};
    doc.wraps = 0;
    t = MedianOf(3, [&] { return FindOnce(wrap); });
    PrintFigure("Find Next after the wrap, match case", t, "s", M, 2.0);
    ok = ok && wrap.result.Found() && wrap.result.wrapped && doc.wraps == 3 &&
         wrap.result.matchStart == FxTextPos(0, markerLine);

    FindCase downNc{&doc, "xYZZY", 0, FxTextPos(0, 0), true, {}};
    t = MedianOf(3, [&] { return FindOnce(downNc); });
    PrintFigure("Find Next to the end, any case", t, "s", M, 4.0);
    const double literalDownNc = t;
    FindCase wrapNc{&doc, "xYZZY", 0, FxTextPos(5, markerLine), true, {}};
    t = MedianOf(3, [&] { return FindOnce(wrapNc); });
    PrintFigure("Find Next after the wrap, any case", t, "s", M, 4.0);
    ok = ok && downNc.result.Found() && downNc.result.matchStart == FxTextPos(0, markerLine) &&
         wrapNc.result.Found() && wrapNc.result.matchStart == FxTextPos(0, markerLine);
    Verify("each Find Next found the one match", ok);
    // Find Previous from the start of the marker line: up to the top, the wrap, and up from the
    // end to the match.
    FindCase up{&doc, kMarker, 5, FxTextPos(0, markerLine), true, {}};
    t = MedianOf(3, [&] { return FindOnce(up); });
    PrintFigure("Find Previous after the wrap, match case", t, "s", M, 2.0);
    FindCase upNc{&doc, "xYZZY", 4, FxTextPos(0, markerLine), true, {}};
    t = MedianOf(3, [&] { return FindOnce(upNc); });
    PrintFigure("Find Previous after the wrap, any case", t, "s", M, 4.0);
    Verify("each Find Previous found the one match",
           up.result.Found() && up.result.wrapped &&
               up.result.matchStart == FxTextPos(0, markerLine) && upNc.result.Found() &&
               upNc.result.matchStart == FxTextPos(0, markerLine));

    // Regular expressions over the same crossing, beside the literal searches.
    {
        FindCase re{&doc, "Xyzzy", 3, FxTextPos(0, 0), false, {}};
        t = MedianOf(3, [&] { return FindOnce(re); });
        PrintBeside("regex Xyzzy to the end, match case", t, literalDown,
                    re.result.Found() && re.result.matchStart.line == markerLine);
        FindCase reNc{&doc, "xYZZY", 2, FxTextPos(0, 0), false, {}};
        t = MedianOf(3, [&] { return FindOnce(reNc); });
        PrintBeside("regex xYZZY to the end, any case", t, literalDownNc,
                    reNc.result.Found() && reNc.result.matchStart.line == markerLine);
        FindCase cls{&doc, "X[a-z]+y\\b", 3, FxTextPos(0, 0), false, {}};
        t = MedianOf(3, [&] { return FindOnce(cls); });
        PrintBeside("regex X[a-z]+y\\b to the end, match case", t, literalDown,
                    cls.result.Found() && cls.result.matchStart.line == markerLine);
        // A class that most bytes of the text can start, but characters that every match holds:
        // only lines holding them are tried.
        FindCase wide{&doc, "[a-z]+zzy", 3, FxTextPos(0, 0), false, {}};
        t = MedianOf(3, [&] { return FindOnce(wide); });
        PrintBeside("regex [a-z]+zzy to the end, match case", t, literalDown,
                    wide.result.Found() && wide.result.matchStart == FxTextPos(1, markerLine));
        // Classes only: an attempt at nearly every letter of the text.
        FindCase classes{&doc, "[a-z]+[xyz][z][xy]", 3, FxTextPos(0, 0), false, {}};
        t = MedianOf(1, [&] { return FindOnce(classes); });
        PrintBeside("regex [a-z]+[xyz][z][xy] to the end, case", t, literalDown,
                    classes.result.Found() &&
                        classes.result.matchStart == FxTextPos(1, markerLine));
    }

    // Mark All of the frequent word: about every second line bookmarked.
    {
        MarkCase mark{&doc, {}};
        t = MedianOf(3, [&] { return MarkOnce(mark); });
        std::printf("mark all: %d lines bookmarked\n", mark.result.count);
        PrintFigure("Mark All", t, "s", Mw, 4.0);
        Verify("every line with the word bookmarked",
               mark.result.count == static_cast<int32_t>(words) &&
                   doc.BookmarkCount() == static_cast<int>(words));
        FxClearBookmarks(doc);
    }

    // Replace All of every occurrence of the word, and its undo.
    {
        FxSearch req;
        req.pattern = kWord;
        req.matchCase = true;
        req.replacement = kReplacement;
        double t0 = NowSeconds();
        FxSearchResult r = ReplaceText(doc, req);
        double tr = NowSeconds() - t0;
        std::printf("replace all: %d replacements of \"%s\" by \"%s\", %d undo records\n", r.count,
                    kWord, kReplacement, doc.UndoCount());
        PrintFigure("Replace All", tr, "s", B, 4.0);
        FxSearch left;
        left.pattern = kWord;
        left.matchCase = true;
        Verify("every occurrence replaced",
               r.count == static_cast<int32_t>(words) && !FindText(doc, left).Found() &&
                   doc.DocumentSize() == static_cast<int64_t>(flat.size() + words));
        t0 = NowSeconds();
        bool undone = doc.Undo(nullptr);
        double tu = NowSeconds() - t0;
        PrintFigure("Undo of the Replace All", tu, "s", B, 4.0);
        Verify("text after undo identical to the original", undone && SameAs(doc, flat));
    }
    // All the matches of one long line: each found after the one before it, the line converted
    // for the expression once. Beside the baseline L, a memchr + memcmp count of the same line,
    // and beside the same work on a line a third as long (linear: 3.3 x; quadratic: 11 x).
    {
        const size_t kLong = 100000, kShort = 30000;
        const std::vector<char> longLine(kLong, 'a');
        size_t at = 0;
        const size_t counted = ScanFlat(longLine, "a", false, &at);
        const double L = MedianOf(5, [&] {
            size_t where;
            const double t0 = NowSeconds();
            volatile size_t n = ScanFlat(longLine, "a", false, &where);
            (void)n;
            return NowSeconds() - t0;
        });
        std::printf("\nbaseline L (memchr + memcmp count of one line of %u \"a\"): %.6f s\n",
                    static_cast<unsigned>(kLong), L);
        Doc shortDoc, longDoc;
        if (!LoadLongLine(shortDoc, dir, kShort) || !LoadLongLine(longDoc, dir, kLong)) {
            std::printf("long line: load failed\n");
            return 1;
        }
        size_t shortHits = kShort, longHits = kLong;
        const double ts = MedianOf(3, [&] { return MarkLongLineOnce(shortDoc, &shortHits); });
        const double tl = MedianOf(3, [&] { return MarkLongLineOnce(longDoc, &longHits); });
        std::printf("%-44s %10.3f s    %8.0f x L\n", "regex a, all matches, 100,000 a in a line",
                    tl, L > 0 ? tl / L : 0.0);
        PrintFigure("  the same over 30,000 a, ratio 100k / 30k", tl / ts, "x", 0, 4.5);
        Verify("every a of the line found", longHits == counted && shortHits == kShort);

        FxSearch req;
        req.pattern = "a";
        req.matchCase = true;
        req.regExp = true;
        req.replacement = "b";
        const double t0 = NowSeconds();
        const FxSearchResult r = ReplaceText(longDoc, req);
        const double tr = NowSeconds() - t0;
        std::printf("%-44s %10.3f s    %8.0f x L\n", "regex Replace All of a by b, same line", tr,
                    L > 0 ? tr / L : 0.0);
        Verify("every a of the line replaced",
               r.count == static_cast<int32_t>(kLong) &&
                   longDoc.Record(0).lineLen == static_cast<int32_t>(kLong) &&
                   longDoc.Record(0).data[kLong - 1] == 'b');
    }
    DeleteFileA(path.c_str());
    return 0;
}
