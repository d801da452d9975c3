// Benchmark of the editor's start-up at a pixel density: Quorvane.exe started on one document of
// Chinese text to its first idle time. bench/run.sh runs it with the display at 96 DPI, which
// gives the baseline (kept in the data folder), then at 192 DPI, where the start-up should stay
// within 10 % of it: images, fonts and bars made for the density must not cost more time.
// Usage: startup_dpi_bench DATA_FOLDER BIN_FOLDER DPI
#include "BenchUtil.h"
#include "ProgramStart.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const int kRuns = 9;
const UINT kBaselineDpi = 96;

bool WriteText(const std::string& path, const std::string& text) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                    written == text.size();
    CloseHandle(f);
    return ok;
}

// A page of Chinese text in code page 936 ("中文文本" and "第N行" in GBK bytes).
std::string ChinesePage() {
    std::string text;
    char line[96];
    for (int i = 1; i <= 60; ++i) {
        std::snprintf(line, sizeof line,
                      "\xB5\xDA%d\xD0\xD0 \xD6\xD0\xCE\xC4\xCE\xC4\xB1\xBE text %d\r\n", i, i * 7);
        text += line;
    }
    return text;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::printf("usage: startup_dpi_bench DATA_FOLDER BIN_FOLDER DPI\n");
        return 2;
    }
    const std::string dir = argv[1], bin = argv[2];
    const UINT dpi = static_cast<UINT>(std::atoi(argv[3]));
    const std::string home = dir + "\\startup-dpi";
    const std::string baselineFile = dir + "\\startup-dpi-baseline.txt";
    if (!MakeProgramFolder(bin, home)) {
        std::printf("cannot copy Quorvane.exe from %s\n", bin.c_str());
        return 1;
    }
    const std::string doc = home + "\\chinese.txt";
    if (!WriteText(doc, ChinesePage())) {
        std::printf("cannot write %s\n", doc.c_str());
        return 1;
    }
    const std::string editor = home + "\\Quorvane.exe";
    const std::string args = "\"" + doc + "\"";
    // The first start loads what Wine caches and writes the settings files.
    TimeToFirstIdle(editor, args);
    std::vector<double> runs;
    for (int i = 0; i < kRuns; ++i)
        runs.push_back(TimeToFirstIdle(editor, args));
    RemoveFolder(home);
    const double seconds = Median(runs);
    if (seconds <= 0) {
        std::printf("the editor did not reach its first idle time\n");
        return 1;
    }

    char name[64];
    std::snprintf(name, sizeof name, "Quorvane.exe, one document, %u DPI", dpi);
    if (dpi == kBaselineDpi) {
        std::printf("start-up to the first idle time with one document, median of %d runs\n",
                    kRuns);
        std::printf("%-44s %10.3f s    (baseline)\n", name, seconds);
        char text[32];
        std::snprintf(text, sizeof text, "%.6f", seconds);
        WriteText(baselineFile, text);
        return 0;
    }
    double base = 0;
    HANDLE f = CreateFileA(baselineFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f != INVALID_HANDLE_VALUE) {
        char text[32] = "";
        DWORD got = 0;
        ReadFile(f, text, sizeof text - 1, &got, nullptr);
        CloseHandle(f);
        base = std::atof(text);
    }
    if (base <= 0)
        std::printf("(no baseline: run at %u DPI first)\n", kBaselineDpi);
    PrintFigure(name, seconds, "s", base, 1.10);
    return 0;
}
