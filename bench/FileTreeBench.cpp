// Benchmark of the file tree: expanding a folder of 20,000 files in the file tree page, beside
// the least a program does to list the same folder with its icons (the baseline): FindFirstFile
// and FindNextFile over the folder and one SHGetFileInfo for each file's small system icon.
// Usage: filetree_bench.exe <data folder>
#include "BenchUtil.h"

#include "common/LeadBytes.h"
#include "workspace/WsbFileTree.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

int kFiles = 20000;
const int kRounds = 3;

// The test folder, made once and kept between runs of the same data folder.
bool MakeFolder(const std::string& dir) {
    CreateDirectoryA(dir.c_str(), nullptr);
    static const char* const kExtensions[] = {".c", ".h", ".txt", ".cpp", ".md"};
    for (int i = 0; i < kFiles; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "\\file%05d%s", i, kExtensions[i % 5]);
        const std::string path = dir + name;
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            continue;
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return false;
        DWORD written = 0;
        WriteFile(h, name, static_cast<DWORD>(i % 50), &written, nullptr);
        CloseHandle(h);
    }
    return true;
}

// The baseline: every file's find data and small icon index.
double ListWithIcons(const std::string& dir, int* count) {
    const double t0 = NowSeconds();
    WIN32_FIND_DATAA find;
    int n = 0;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &find);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (find.cFileName[0] == '.')
                continue;
            SHFILEINFOA info = {};
            SHGetFileInfoA((dir + "\\" + find.cFileName).c_str(), 0, &info, sizeof info,
                           SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
            ++n;
        } while (FindNextFileA(h, &find));
        FindClose(h);
    }
    *count = n;
    return NowSeconds() - t0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: filetree_bench <data folder>\n");
        return 2;
    }
    FxInitLeadBytes();
    CoInitialize(nullptr);
    if (argc > 2)
        kFiles = std::atoi(argv[2]); // a smaller folder, for a quick look
    const std::string dir = std::string(argv[1]) + "\\tree" + std::to_string(kFiles);
    if (!MakeFolder(dir)) {
        std::printf("the test folder could not be made\n");
        return 1;
    }

    CWsbFileTree page;
    const RECT rc = {0, 0, 300, 600};
    if (!page.Create(nullptr, rc, 0, WS_OVERLAPPEDWINDOW | WS_VISIBLE)) {
        std::printf("the file tree window could not be made\n");
        return 1;
    }
    ShellTreeCtrl& tree = page.Tree();
    HTREEITEM folder = tree.SelectPath(dir.c_str());
    if (!folder) {
        std::printf("the test folder is not in the tree\n");
        return 1;
    }

    std::vector<double> base, expand;
    int listed = 0, shown = 0;
    for (int round = 0; round < kRounds; ++round) {
        // The shell answers icon questions slowly under Wine: one round of the baseline.
        if (round == 0)
            base.push_back(ListWithIcons(dir, &listed));
        const double t0 = NowSeconds();
        tree.RefreshItem(folder); // collapses, reads the folder and expands it
        expand.push_back(NowSeconds() - t0);
        shown = 0;
        for (HTREEITEM c = tree.GetChildItem(folder); c; c = tree.GetNextSiblingItem(c))
            ++shown;
    }
    if (listed != kFiles || shown != kFiles) {
        std::printf("listed %d and shown %d of %d files\n", listed, shown, kFiles);
        return 1;
    }
    const double b = Median(base);
    char label[64];
    std::snprintf(label, sizeof label, "baseline: FindFirstFile + icons, %d", kFiles);
    std::printf("%-44s %10.3f s\n", label, b);
    std::snprintf(label, sizeof label, "file tree: expand a folder of %d files", kFiles);
    PrintFigure(label, Median(expand), "s", b, 3.0);
    page.DestroyWindow();
    CoUninitialize();
    return 0;
}
