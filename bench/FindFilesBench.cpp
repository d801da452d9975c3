// Benchmark of find and replace in files over a real source tree (a copy of the cross
// compiler's Windows headers, given as the first argument): literal searches with and without
// case, a regular expression with a literal prefix, and a replacement of many hits in a second
// copy. Each is printed beside W, measured in the same run: a minimal walk with FindFirstFile
// that maps every file and scans it for the same literal with memchr and memcmp; the
// replacement beside W plus copying the files it changed.
// Usage: findfiles_bench <tree> <scratch copy of the tree for the replacement>
#include "BenchUtil.h"

#include "common/OutputChannels.h"
#include "search/FileSearch.h"
#include "textdoc/Dbcs.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Channels that count what the worker writes and keep nothing.
class CountingChannels : public IOutputChannels {
public:
    CountingChannels() {
        for (int i = 0; i < 4; ++i)
            m_slots[i].key = i + 1;
    }
    OutputChannel* AcquireOutputChannel(int key, OutputJob* job) override {
        OutputChannel* c = &m_slots[key - 1];
        if (c->inUse)
            return nullptr;
        c->inUse = true;
        c->job = job;
        return c;
    }
    void ReleaseOutputChannel(OutputChannel* c) override {
        c->inUse = false;
        c->job = nullptr;
    }
    bool HasFreeOutputChannel(int) const override { return true; }
    bool IsOutputChannelBusy(int key) const override { return m_slots[key - 1].inUse; }
    void AppendOutput(const OutputChannel*, const char* text, int length) override {
        bytes += length < 0 ? std::strlen(text) : static_cast<size_t>(length);
        last.assign(text, length < 0 ? std::strlen(text) : static_cast<size_t>(length));
    }
    void ClearOutput(const OutputChannel*) override {}
    void StopOutputJob(int) override {}

    std::atomic<size_t> bytes{0};
    std::string last; // the end line

private:
    OutputChannel m_slots[4];
};

// W: the minimal walk. Returns the hits.
long long Walk(const std::string& dir, const char* lit, size_t litLen, int* files) {
    long long hits = 0;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (!std::strcmp(fd.cFileName, ".") || !std::strcmp(fd.cFileName, ".."))
            continue;
        const std::string path = dir + "\\" + fd.cFileName;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            hits += Walk(path, lit, litLen, files);
            continue;
        }
        if (fd.nFileSizeLow == 0 && fd.nFileSizeHigh == 0)
            continue;
        HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (f == INVALID_HANDLE_VALUE)
            continue;
        ++*files;
        HANDLE m = CreateFileMappingA(f, nullptr, PAGE_READONLY, 0, 0, nullptr);
        const char* base =
            m ? static_cast<const char*>(MapViewOfFile(m, FILE_MAP_READ, 0, 0, 0)) : nullptr;
        if (base) {
            const char* p = base;
            const char* end = base + fd.nFileSizeLow;
            while (end - p >= static_cast<ptrdiff_t>(litLen)) {
                p = static_cast<const char*>(std::memchr(p, lit[0], end - p));
                if (!p || end - p < static_cast<ptrdiff_t>(litLen))
                    break;
                if (!std::memcmp(p, lit, litLen)) {
                    ++hits;
                    p += litLen;
                } else {
                    ++p;
                }
            }
            UnmapViewOfFile(base);
        }
        if (m)
            CloseHandle(m);
        CloseHandle(f);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return hits;
}

double Baseline(const std::string& tree, const char* lit, long long* hits, int* files) {
    std::vector<double> t;
    for (int i = 0; i < 5; ++i) {
        *files = 0;
        const double t0 = NowSeconds();
        *hits = Walk(tree, lit, std::strlen(lit), files);
        t.push_back(NowSeconds() - t0);
    }
    return Median(t);
}

double RunSearch(const std::string& tree, const char* find, bool matchCase, bool regExp,
                 std::string* end, const char* replacement = nullptr) {
    CountingChannels ch;
    FxFileSearch r;
    r.find = find;
    r.filters = "*.*";
    r.folder = tree;
    r.matchCase = matchCase;
    r.regExp = regExp;
    r.texts = FxLoadFileSearchTexts();
    const double t0 = NowSeconds();
    bool started;
    if (replacement) {
        r.replacement = replacement;
        started = StartReplaceInFiles(&ch, r);
    } else {
        started = StartFindInFiles(&ch, r);
    }
    if (!started)
        return -1;
    while (FxFileSearchSlot(0).IsBusy() || FxFileSearchSlot(1).IsBusy())
        Sleep(2);
    const double t = NowSeconds() - t0;
    *end = ch.last;
    while (!end->empty() && (end->back() == '\n'))
        end->pop_back();
    while (!end->empty() && end->front() == '\n')
        end->erase(0, 1);
    return t;
}

// The search and W measured in turns, five times each, so that a busy machine weighs on both
// alike; the medians of both.
double Measured(const std::string& tree, const char* lit, const char* find, bool matchCase,
                bool regExp, std::string* end, double* w) {
    std::vector<double> ts, ws;
    for (int i = 0; i < 5; ++i) {
        int files = 0;
        const double t0 = NowSeconds();
        Walk(tree, lit, std::strlen(lit), &files);
        ws.push_back(NowSeconds() - t0);
        ts.push_back(RunSearch(tree, find, matchCase, regExp, end));
    }
    *w = Median(ws);
    return Median(ts);
}

void Report(const char* name, double t, double w, double limit, const std::string& end) {
    PrintFigure(name, t, "s", w, limit);
    std::printf("    W in the same turns %.3f s; %s\n", w, end.c_str());
}

// Copies every file of `from` that differs from its twin in `to` (the files a replacement
// changed) into a scratch folder, and returns the seconds taken.
double CopyChanged(const std::string& from, const std::string& to, const std::string& scratch,
                   int* count) {
    double total = 0;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((from + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (!std::strcmp(fd.cFileName, ".") || !std::strcmp(fd.cFileName, ".."))
            continue;
        const std::string a = from + "\\" + fd.cFileName, b = to + "\\" + fd.cFileName;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            total += CopyChanged(a, b, scratch, count);
            continue;
        }
        WIN32_FILE_ATTRIBUTE_DATA da;
        if (GetFileAttributesExA(b.c_str(), GetFileExInfoStandard, &da) &&
            da.nFileSizeLow == fd.nFileSizeLow &&
            CompareFileTime(&da.ftLastWriteTime, &fd.ftLastWriteTime) == 0)
            continue;
        const std::string target = scratch + "\\copy" + std::to_string(*count % 64);
        const double t0 = NowSeconds();
        CopyFileA(b.c_str(), target.c_str(), FALSE);
        total += NowSeconds() - t0;
        ++*count;
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return total;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: findfiles_bench <tree> <replace copy> <scratch>\n");
        return 2;
    }
    FxInitLeadBytes();
    const std::string tree = argv[1], copy = argv[2], scratch = argv[3];
    long long hits = 0;
    int files = 0;
    const char* lit = argc > 4 ? argv[4] : "WINAPI";
    const double w = Baseline(tree, lit, &hits, &files);
    std::printf("Find in files over %d files (W: FindFirstFile walk, map, memchr+memcmp scan)\n",
                files);
    std::printf("%-44s %10.3f s    %lld hits of \"%s\"\n", "W (baseline)", w, hits, lit);

    std::string end;
    double wt = 0;
    double t = Measured(tree, lit, lit, true, false, &end, &wt);
    Report("find in files, literal, match case", t, wt, 1.5, end);
    t = Measured(tree, lit, lit, false, false, &end, &wt);
    Report("find in files, literal, any case", t, wt, 2.0, end);
    t = Measured(tree, lit, "WINAPI\\s+[A-Za-z_]+", true, true, &end, &wt);
    Report("find in files, regex with a literal prefix", t, wt, 3.0, end);

    // The replacement runs once over its own copy; its baseline is W over that copy plus
    // copying every file it changed.
    const char* repFind = "HRESULT";
    long long repHits = 0;
    int repFiles = 0;
    const double w2 = Baseline(copy, repFind, &repHits, &repFiles);
    const double replace = RunSearch(copy, repFind, true, false, &end, "HRESULX");
    int changed = 0;
    const double copying = CopyChanged(tree, copy, scratch, &changed);
    std::printf("%-44s %10.3f s    %lld hits of \"%s\"; copying the %d changed files %.3f s\n",
                "W (baseline over the copy)", w2, repHits, repFind, changed, copying);
    PrintFigure("replace in files", replace, "s", w2 + copying, 3.0);
    std::printf("    %s\n", end.c_str());
    return 0;
}
