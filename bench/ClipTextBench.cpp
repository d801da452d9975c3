// Benchmark of the clip text window: loading a 10 MB library of 20,000 items into its list,
// beside reading the same file and splitting it into lines (the baseline), in one run.
#include "BenchUtil.h"

#include "framework/WinApp.h"
#include "workspace/ClipTextFile.h"
#include "workspace/ClipTextHost.h"
#include "workspace/WsbClipText.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const int kItems = 20000;
const int kRounds = 5;

class BenchApp : public CWinApp {
public:
    BenchApp() { m_bPostQuitOnMainWndDestroy = false; }
};

class BenchHost : public IClipTextHost {
public:
    std::string folder;
    CFxEditView* ActiveClipTextView() override { return nullptr; }
    bool NewClipLibraryDocument(const std::string&) override { return false; }
    bool OpenClipLibraryFile(const std::string&) override { return false; }
    std::string ClipLibraryFolder() override { return folder; }
    bool ReadClipSortAscending() override { return true; }
    void WriteClipSortAscending(bool) override {}
};

// About 10 MB: 20,000 items with names in mixed order and bodies of about 500 bytes.
void WriteLibrary(const std::string& path) {
    std::string text = "#TITLE=Big\r\n\r\n";
    uint32_t seed = 12345;
    for (int i = 0; i < kItems; ++i) {
        seed = seed * 1103515245u + 12345u;
        char name[64];
        std::snprintf(name, sizeof name, "#BEGIN=\xCF\xEE item %08X %d\r\n", seed, i);
        text += name;
        for (int line = 0; line < 10; ++line)
            text += "    body line of the snippet \xD6\xD0\xCE\xC4 with some text (^!);\r\n";
        text += "#END\r\n";
    }
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

} // namespace

int main(int argc, char** argv) {
    BenchApp* app = new BenchApp; // lives to the end of the process
    (void)app;
    char tempDir[MAX_PATH];
    GetTempPathA(sizeof tempDir, tempDir);
    std::string folder = argc > 1 ? argv[1] : std::string(tempDir) + "qv_clip_bench";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string big = folder + "\\A_BIG.CTF";
    const std::string small = folder + "\\B_SMALL.CTF";
    WriteLibrary(big);
    HANDLE file = CreateFileA(small.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    const char smallText[] = "#TITLE=Small\r\n#BEGIN=x\r\ny\r\n#END\r\n";
    DWORD written = 0;
    WriteFile(file, smallText, sizeof smallText - 1, &written, nullptr);
    CloseHandle(file);

    BenchHost host;
    host.folder = folder;
    CWnd parent;
    parent.CreateEx(0, CWnd::RegisterWndClass(0), "clip bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                    0, 240, 600, nullptr, nullptr);
    CWsbClipText clip;
    clip.SetHost(&host);
    clip.Create(&parent, 0xE902, RECT{0, 0, 220, 560});
    int bigIndex = -1, smallIndex = -1;
    for (int i = 0; i < clip.LibraryCount(); ++i)
        (clip.LibraryAt(i)->title == "Big" ? bigIndex : smallIndex) = i;
    if (bigIndex < 0 || smallIndex < 0) {
        std::printf("the libraries were not found\n");
        return 1;
    }

    std::vector<double> load, base, parse;
    for (int round = 0; round < kRounds; ++round) {
        int64_t lines = 0;
        base.push_back(SplitBaseline(big, &lines));
        const double p0 = NowSeconds();
        ClipLibraryText text;
        LoadClipLibraryFile(big.c_str(), text);
        parse.push_back(NowSeconds() - p0);
        clip.ChooseLibrary(smallIndex);
        const double t0 = NowSeconds();
        clip.ChooseLibrary(bigIndex);
        load.push_back(NowSeconds() - t0);
        if (clip.ItemCount() != kItems) {
            std::printf("loaded %d items, expected %d\n", clip.ItemCount(), kItems);
            return 1;
        }
    }
    std::printf("clip text library: %d items, 10 MB\n", kItems);
    PrintFigure("split the file into lines (baseline)", Median(base), "s", 0, 1e9);
    PrintFigure("read the library's items (no window)", Median(parse), "s", Median(base), 3.0);
    PrintFigure("load the library into the list", Median(load), "s", Median(base), 3.0);
    parent.DestroyWindow();
    DeleteFileA(big.c_str());
    DeleteFileA(small.c_str());
    RemoveDirectoryA(folder.c_str());
    return 0;
}
