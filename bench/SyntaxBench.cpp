// Benchmark of syntax colouring and of reading the settings: line states and coloured runs of a
// generated ~100 MB C source against the split baseline B, loading the C/C++ template, and
// reading every settings block at start-up against a bare private-profile loop.
#include "BenchUtil.h"

#include "settings/SettingsStore.h"
#include "textdoc/Dbcs.h"
#include "textdoc/FileIO.h"
#include "textdoc/FxEditDoc.h"
#include "textview/SyntaxInfo.h"
#include "textview/SyntaxScanner.h"
#include "textview/SyntaxState.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Doc : CFxEditDoc {
    Doc() { InitDocument(0); }
};

// Real-looking C: functions with comments, strings with escapes, keywords and brackets.
void GenerateC(const std::string& path, size_t bytes) {
    static const char* const kLines[] = {
        "/* Copies the buffer into the block store, one line at a time. */",
        "static int copy_lines(const char *src, size_t len, struct block *out)",
        "{",
        "    int count = 0; // lines copied so far",
        "    for (size_t i = 0; i < len; ++i) {",
        "        if (src[i] == '\\n' || src[i] == '\\r')",
        "            count++;",
        "        else if (src[i] == '\"')",
        "            printf(\"quote at %zu: \\\"%c\\\"\\n\", i, src[i]);",
        "    }",
        "    while (out != NULL && out->next) out = out->next;",
        "    /* a comment that runs",
        "       over two lines */",
        "    return count > 0 ? count : -1;",
        "}",
        "#define MAX_LINE 4096 /* bytes */",
        "const char *names[] = { \"alpha\", \"beta\\tgamma\", \"delta\" };",
        "",
        "typedef struct block { char data[MAX_LINE]; struct block *next; } block_t;",
        "switch (kind) { case 1: break; default: goto done; }",
    };
    std::string out;
    out.reserve(bytes + 256);
    size_t i = 0;
    while (out.size() < bytes) {
        out += kLines[i++ % 20];
        out += "\r\n";
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(out.data(), 1, out.size(), f);
    std::fclose(f);
}

struct CountingSink : SyntaxRunSink {
    size_t runs = 0;
    bool OnRun(const SyntaxRun&) override {
        ++runs;
        return true;
    }
};

// Reads every key of the three INI files with a bare GetPrivateProfileStringA loop.
double BareProfileLoop(const SettingsStore& store, int* keys) {
    std::vector<std::pair<std::string, std::vector<std::string>>> layout[3];
    std::vector<char> buf(1 << 16);
    for (int f = 0; f < 3; ++f) {
        const char* ini = store.IniPath(static_cast<IniFile>(f));
        GetPrivateProfileSectionNamesA(buf.data(), static_cast<DWORD>(buf.size()), ini);
        for (const char* s = buf.data(); *s; s += std::strlen(s) + 1)
            layout[f].push_back({s, {}});
        for (auto& sec : layout[f]) {
            std::vector<char> k(1 << 16);
            GetPrivateProfileStringA(sec.first.c_str(), nullptr, "", k.data(),
                                     static_cast<DWORD>(k.size()), ini);
            for (const char* p = k.data(); *p; p += std::strlen(p) + 1)
                sec.second.push_back(p);
        }
    }
    int n = 0;
    char value[4096];
    double t0 = NowSeconds();
    for (int f = 0; f < 3; ++f) {
        const char* ini = store.IniPath(static_cast<IniFile>(f));
        for (auto& sec : layout[f])
            for (auto& key : sec.second) {
                GetPrivateProfileStringA(sec.first.c_str(), key.c_str(), "", value, sizeof value,
                                         ini);
                ++n;
            }
    }
    *keys = n;
    return NowSeconds() - t0;
}

double ReadAllSettings(const char* dir) {
    double t0 = NowSeconds();
    SettingsStore store(dir);
    store.LoadAll();
    store.Search();
    for (int k = 0; k < 4; ++k)
        store.History(static_cast<HistoryKind>(k));
    store.Tools();
    store.LoadKeyMap(nullptr);
    store.Print();
    store.LoadToolbar();
    return NowSeconds() - t0;
}

} // namespace

int main(int argc, char** argv) {
    FxInitLeadBytes();
    std::string dir = argc > 1 ? argv[1] : ".";
    size_t megabytes = argc > 2 ? static_cast<size_t>(std::atoi(argv[2])) : 100;
    std::string stfDir = argc > 3 ? argv[3] : dir + "\\STF";
    const std::string source = dir + "\\big.c";
    std::printf("generating %u MB of C...\n", static_cast<unsigned>(megabytes));
    GenerateC(source, megabytes << 20);
    int64_t lines = 0;
    std::vector<double> bs;
    for (int i = 0; i < 3; ++i)
        bs.push_back(SplitBaseline(source, &lines));
    const double B = Median(bs);
    std::printf("lines: %lld; baseline B (map + memchr split + copy): %.3f s\n\n",
                static_cast<long long>(lines), B);

    SyntaxInfo info;
    std::vector<double> tl;
    for (int i = 0; i < 5; ++i) {
        SyntaxInfo t;
        double t0 = NowSeconds();
        t.LoadFile((stfDir + "\\CPP.STF").c_str());
        tl.push_back(NowSeconds() - t0);
    }
    info.LoadFile((stfDir + "\\CPP.STF").c_str());
    std::printf("%-44s %10.3f ms  (%d keyword groups)\n", "load of the C/C++ template",
                Median(tl) * 1e3, info.GroupCount());

    Doc doc;
    LoadDocumentFile(doc, source.c_str());
    doc.InitDocument(0);
    FxLine* recs = &doc.RecordRef(0);
    const int32_t count = doc.RecordCount();
    std::vector<double> ts;
    for (int i = 0; i < 3; ++i) {
        int32_t mark = -1;
        double t0 = NowSeconds();
        ComputeLineStates(info, recs, count, count - 1, -1, mark);
        ts.push_back(NowSeconds() - t0);
    }
    PrintFigure("line states of the whole file", Median(ts), "s", B, 2.0);
    CountingSink sink;
    double t0 = NowSeconds();
    for (int32_t r = 0; r < count; ++r)
        ScanPiece(info, recs[r].data, recs[r].len, recs[r].flags, sink);
    PrintFigure("coloured runs of every line", NowSeconds() - t0, "s", B, 4.0);
    std::printf("  (%zu runs)\n", sink.runs);

    // Settings: a program folder with every block written and 20 file types.
    std::string prog = dir + "\\prog";
    CreateDirectoryA(prog.c_str(), nullptr);
    CreateDirectoryA((prog + "\\STF").c_str(), nullptr);
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((stfDir + "\\*.STF").c_str(), &fd);
    int copied = 0;
    if (find != INVALID_HANDLE_VALUE) {
        do {
            CopyFileA((stfDir + "\\" + fd.cFileName).c_str(),
                      (prog + "\\STF\\" + fd.cFileName).c_str(), FALSE);
            ++copied;
        } while (FindNextFileA(find, &fd));
        FindClose(find);
    }
    for (int extra = 0; copied < 20; ++extra, ++copied)
        CopyFileA((stfDir + "\\CPP.STF").c_str(),
                  (prog + "\\STF\\EXTRA" + std::to_string(extra) + ".STF").c_str(), FALSE);
    {
        SettingsStore store(prog.c_str());
        store.LoadAll();
        store.SetGeneralDirty();
        store.SaveGeneralOptions();
        store.SetBackupDirty();
        store.SaveBackupOptions();
        store.SetFileTypesDirty();
        store.SaveOnExit();
    }
    std::vector<double> tr;
    for (int i = 0; i < 5; ++i)
        tr.push_back(ReadAllSettings(prog.c_str()));
    SettingsStore probe(prog.c_str());
    int keys = 0;
    std::vector<double> tb;
    for (int i = 0; i < 5; ++i)
        tb.push_back(BareProfileLoop(probe, &keys));
    std::printf("settings: %d keys in the three INI files, %d file types\n", keys, copied);
    PrintFigure("read all settings at start-up", Median(tr) * 1e3, "ms", Median(tb) * 1e3, 2.0);
    DeleteFileA(source.c_str());
    return 0;
}
