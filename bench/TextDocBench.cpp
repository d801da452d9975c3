// Benchmark of the text document core on a generated ~100 MB GBK file: loading in every
// encoding, saving, typing, Enter, a replace-all with its undo, and memory. Each figure is
// printed beside the split baseline B measured in the same run.
#include "BenchUtil.h"

#include "textdoc/Dbcs.h"
#include "textdoc/FileIO.h"
#include "textdoc/FxEditDoc.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Doc : CFxEditDoc {
    Doc() { InitDocument(0); }
};

double Load(Doc& doc, const std::string& path) {
    double t0 = NowSeconds();
    bool ok = LoadDocumentFile(doc, path.c_str());
    double t = NowSeconds() - t0;
    doc.InitDocument(0);
    if (!ok)
        std::printf("load of %s failed\n", path.c_str());
    return t;
}

// One typed byte as the view types it: a typing group, the insertion, its record.
void TypeByte(CFxEditDoc& doc, FxTextPos logical, const char* bytes, int len) {
    FxUndoGroupGuard group(doc, FxUndoTyping);
    FxTextPos head = doc.ToHeadPiece(doc.LogicalToPiecePos(logical));
    FxTextPos pos = logical;
    doc.InsertText(pos, bytes, len);
    doc.RecordInsert(head, pos);
}

uint32_t g_seed = 12345;
uint32_t Rand() {
    return g_seed = g_seed * 1103515245u + 12345u, g_seed >> 4;
}

std::vector<double> TypingTimes(CFxEditDoc& doc, int count) {
    std::vector<double> t;
    t.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        int32_t line = static_cast<int32_t>(Rand() % static_cast<uint32_t>(doc.LogicalLineCount()));
        int32_t col =
            static_cast<int32_t>(Rand() % static_cast<uint32_t>(doc.GetLineLength(line) + 1));
        double t0 = NowSeconds();
        TypeByte(doc, FxTextPos(col, line), "x", 1);
        t.push_back(NowSeconds() - t0);
    }
    return t;
}

// Replace every "qvz" by "qvzz" as replace-all does: one group under the bulk guard.
int ReplaceAll(CFxEditDoc& doc) {
    int count = 0;
    FxUndoGroupGuard group(doc, FxUndoReplaceAll);
    CFxEditDoc::BulkGuard bulk(doc, true);
    for (int32_t line = 0; line < doc.LogicalLineCount(); ++line) {
        for (int32_t col = 0;;) {
            const FxLine& r = doc.Record(line);
            if (col + 3 > r.lineLen)
                break;
            const char* hit = static_cast<const char*>(
                std::memchr(r.data + col, 'q', static_cast<size_t>(r.lineLen - col - 2)));
            if (!hit)
                break;
            col = static_cast<int32_t>(hit - r.data);
            if (std::memcmp(hit, "qvz", 3) != 0) {
                ++col;
                continue;
            }
            FxTextPos a(col, line), b(col + 3, line);
            doc.RecordDelete(a, b);
            doc.DeleteText(a, b);
            FxTextPos p(col, line);
            doc.InsertText(p, "qvzz", 4);
            doc.RecordInsert(FxTextPos(col, line), p);
            col += 4;
            ++count;
        }
    }
    return count;
}

// The store of the document into a new file, without the flush and rename of a save.
double StoreOnly(CFxEditDoc& doc, const std::string& path) {
    double t0 = NowSeconds();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    FxArchive ar;
    ar.file = file;
    ar.loading = false;
    doc.Serialize(ar);
    CloseHandle(file);
    double t = NowSeconds() - t0;
    DeleteFileA(path.c_str());
    return t;
}

bool SameAsFile(const CFxEditDoc& doc, const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    std::vector<char> buf(1 << 20);
    std::string pending;
    bool same = true;
    int32_t rec = 0, col = 0;
    size_t n;
    // Walk the records as the bytes of the file would come (CR LF breaks).
    auto nextByte = [&](char& c) {
        while (rec < doc.RecordCount()) {
            const FxLine& r = doc.Record(rec);
            if (col < r.len) {
                c = r.data[col++];
                return true;
            }
            if (r.HasLineEnd() && col == r.len) {
                ++col;
                c = '\r';
                return true;
            }
            if (r.HasLineEnd() && col == r.len + 1) {
                ++col;
                c = '\n';
                return true;
            }
            ++rec;
            col = 0;
        }
        return false;
    };
    while (same && (n = std::fread(buf.data(), 1, buf.size(), f)) > 0)
        for (size_t i = 0; i < n && same; ++i) {
            char c;
            same = nextByte(c) && c == buf[i];
        }
    char extra;
    if (same && nextByte(extra))
        same = false;
    std::fclose(f);
    return same;
}

} // namespace

int main(int argc, char** argv) {
    FxInitLeadBytes();
    std::string dir = argc > 1 ? argv[1] : ".";
    size_t megabytes = argc > 2 ? static_cast<size_t>(std::atoi(argv[2])) : 100;
    const std::string ansi = dir + "\\big_ansi.txt", small = dir + "\\small_ansi.txt";
    std::printf("code page %u; generating %u MB of GBK text...\n", GetACP(),
                static_cast<unsigned>(megabytes));
    int64_t lines = GenerateGbkText(ansi, megabytes << 20, 1);
    GenerateGbkText(small, 1 << 20, 2);
    ConvertFile(ansi, dir + "\\big_utf8.txt", 2);
    ConvertFile(ansi, dir + "\\big_utf16le.txt", 3);
    ConvertFile(ansi, dir + "\\big_utf16be.txt", 4);

    int64_t splitLines = 0;
    std::vector<double> bs;
    for (int i = 0; i < 3; ++i)
        bs.push_back(SplitBaseline(ansi, &splitLines));
    const double B = Median(bs);
    std::printf("lines: %lld; baseline B (map + memchr split + copy): %.3f s\n\n",
                static_cast<long long>(lines), B);

    {
        std::vector<double> t;
        Doc doc;
        for (int i = 0; i < 3; ++i)
            t.push_back(Load(doc, ansi));
        PrintFigure("ANSI load", Median(t), "s", B, 1.5);
        // Memory of the loaded document against its text and line count.
        double text = static_cast<double>(doc.DocumentSize() - 2 * (doc.LogicalLineCount() - 1));
        double used = static_cast<double>(doc.TextBlocks().AllocatedBytes()) +
                      static_cast<double>(doc.RecordCapacity()) * sizeof(FxLine);
        double allowed = (text + 40.0 * doc.LogicalLineCount()) * 1.10;
        std::printf("%-44s %10.1f MB  %6.2f x allowed (text + 40 B/line + 10%% = %.1f MB)  %s\n",
                    "memory of the loaded document", used / 1048576.0, used / allowed,
                    allowed / 1048576.0, used <= allowed ? "ok" : "MISSED");

        // Saving: ours against one WriteFile of the same bytes.
        std::vector<char> bytes;
        {
            FILE* f = std::fopen(ansi.c_str(), "rb");
            std::fseek(f, 0, SEEK_END);
            bytes.resize(static_cast<size_t>(std::ftell(f)));
            std::fseek(f, 0, SEEK_SET);
            size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
            bytes.resize(got);
        }
        std::vector<double> w, wf, s, st;
        const std::string out = dir + "\\saved_ansi.txt";
        for (int i = 0; i < 5; ++i) {
            w.push_back(WriteBaseline(dir + "\\write_base.bin", bytes.data(), bytes.size()));
            wf.push_back(WriteBaseline(dir + "\\write_base.bin", bytes.data(), bytes.size(), true));
            double t0 = NowSeconds();
            SaveDocumentFile(doc, out.c_str());
            s.push_back(NowSeconds() - t0);
            st.push_back(StoreOnly(doc, dir + "\\stored_ansi.txt"));
        }
        std::printf("%-44s %10.3f s\n%-44s %10.3f s\n", "one WriteFile", Median(w),
                    "one WriteFile + flush", Median(wf));
        // The store alone (copying and writing, no flush or rename) against one WriteFile.
        std::printf("%-44s %10.3f s    %6.2f x one WriteFile (printed only)\n",
                    "ANSI store, no flush or rename", Median(st), Median(st) / Median(w));
        PrintFigure("ANSI save (base: one WriteFile)", Median(s), "s", Median(w), 2.0);
        // The save flushes its temporary file before the rename replaces the target.
        PrintFigure("ANSI save (base: one WriteFile + flush)", Median(s), "s", Median(wf), 2.0);
        // The Unicode stores of the same document, which convert as they go.
        for (int enc : {FxEncUtf8, FxEncUtf16Le}) {
            std::vector<double> u;
            doc.SetEncoding(enc);
            for (int i = 0; i < 5; ++i)
                u.push_back(StoreOnly(doc, dir + "\\stored_unicode.txt"));
            std::printf("%-44s %10.3f s\n",
                        enc == FxEncUtf8 ? "UTF-8 store, no flush" : "UTF-16 LE store, no flush",
                        Median(u));
        }
        doc.SetEncoding(FxEncAnsi);
        bool identical = SameAsFile(doc, out);
        std::printf("%-44s %s\n", "saved file identical to the original", identical ? "yes" : "NO");
        DeleteFileA(out.c_str());

        // Typing into the 100 MB document and into a 1 MB one.
        std::vector<double> big = TypingTimes(doc, 100000);
        Doc smallDoc;
        Load(smallDoc, small);
        std::vector<double> little = TypingTimes(smallDoc, 100000);
        double mb = Median(big) * 1e6, ms = Median(little) * 1e6;
        PrintFigure("typing insert, median (100 MB document)", mb, "us", 0, 5.0);
        PrintFigure("typing insert, 100 MB vs 1 MB document", mb, "us", ms, 2.0);

        std::vector<double> enter;
        for (int i = 0; i < 200; ++i) {
            int32_t line =
                static_cast<int32_t>(Rand() % static_cast<uint32_t>(doc.LogicalLineCount()));
            double t0 = NowSeconds();
            TypeByte(doc, FxTextPos(0, line), "\r\n", 2);
            enter.push_back(NowSeconds() - t0);
        }
        PrintFigure("Enter, median (100 MB document)", Median(enter) * 1e3, "ms", 0, 16.0);
    }
    {
        Doc doc;
        Load(doc, ansi);
        double t0 = NowSeconds();
        int n = ReplaceAll(doc);
        double tr = NowSeconds() - t0;
        std::printf("replace-all: %d occurrences, %d undo records\n", n, doc.UndoCount());
        PrintFigure("replace-all 3 -> 4 bytes", tr, "s", B, 4.0);
        t0 = NowSeconds();
        doc.Undo(nullptr);
        double tu = NowSeconds() - t0;
        PrintFigure("undo of the replace-all", tu, "s", B, 4.0);
        bool identical = SameAsFile(doc, ansi);
        std::printf("%-44s %s\n", "text after undo identical to the original",
                    identical ? "yes" : "NO");
    }
    static const struct {
        const char* name;
        const char* file;
        double limit;
    } kLoads[] = {{"UTF-8 load", "big_utf8.txt", 4.0},
                  {"UTF-16 LE load", "big_utf16le.txt", 3.0},
                  {"UTF-16 BE load", "big_utf16be.txt", 3.0}};
    for (const auto& l : kLoads) {
        Doc doc;
        std::vector<double> t;
        for (int i = 0; i < 3; ++i)
            t.push_back(Load(doc, dir + "\\" + l.file));
        PrintFigure(l.name, Median(t), "s", B, l.limit);
        bool ok = doc.LogicalLineCount() == lines;
        if (!ok)
            std::printf("  (loaded %d lines, expected %lld)\n", doc.LogicalLineCount(),
                        static_cast<long long>(lines));
    }
    return 0;
}
