// Timing, generated inputs and baselines of the benchmarks.
#include "BenchUtil.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

double NowSeconds() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

double Median(std::vector<double> v) {
    if (v.empty())
        return 0;
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

int64_t GenerateGbkText(const std::string& path, size_t bytes, uint32_t seed) {
    static const char* const kWords[] = {"int",    "return", "value", "the",  "editor", "line",
                                         "buffer", "count",  "of",    "text", "while",  "data"};
    // GBK ideographs: lead 0xB0-0xD7, trail 0xA1-0xFE.
    std::string out;
    out.reserve(bytes + 256);
    int64_t lines = 0;
    uint32_t s = seed;
    auto next = [&s]() { return s = s * 1664525u + 1013904223u, s >> 8; };
    while (out.size() < bytes) {
        size_t target = next() % 79;
        size_t start = out.size();
        if (next() % 20 < 9)
            out += "qvz ";
        while (out.size() - start < target) {
            if (next() % 3 == 0) {
                int n = 1 + static_cast<int>(next() % 6);
                for (int i = 0; i < n; ++i) {
                    out += static_cast<char>(0xB0 + next() % 40);
                    out += static_cast<char>(0xA1 + next() % 94);
                }
            } else {
                out += kWords[next() % 12];
            }
            out += next() % 7 == 0 ? "\xA3\xAC" : " ";
        }
        out += "\r\n";
        ++lines;
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return -1;
    std::fwrite(out.data(), 1, out.size(), f);
    std::fclose(f);
    return lines + 1;
}

bool ConvertFile(const std::string& from, const std::string& to, int encoding) {
    FILE* f = std::fopen(from.c_str(), "rb");
    if (!f)
        return false;
    std::string ansi;
    char buf[1 << 16];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        ansi.append(buf, n);
    std::fclose(f);
    int units = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::vector<wchar_t> w(static_cast<size_t>(units));
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), w.data(), units);
    std::string out;
    if (encoding == 2) {
        out = "\xEF\xBB\xBF";
        int len = WideCharToMultiByte(CP_UTF8, 0, w.data(), units, nullptr, 0, nullptr, nullptr);
        size_t at = out.size();
        out.resize(at + static_cast<size_t>(len));
        WideCharToMultiByte(CP_UTF8, 0, w.data(), units, &out[at], len, nullptr, nullptr);
    } else {
        bool big = encoding == 4;
        out = big ? "\xFE\xFF" : "\xFF\xFE";
        out.reserve(2 + w.size() * 2);
        for (wchar_t u : w) {
            char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
            out += big ? hi : lo;
            out += big ? lo : hi;
        }
    }
    f = std::fopen(to.c_str(), "wb");
    if (!f)
        return false;
    std::fwrite(out.data(), 1, out.size(), f);
    std::fclose(f);
    return true;
}

double SplitBaseline(const std::string& path, int64_t* lines) {
    double t0 = NowSeconds();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD size = GetFileSize(file, nullptr);
    HANDLE map = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    const char* base = static_cast<const char*>(MapViewOfFile(map, FILE_MAP_READ, 0, 0, 0));
    char* copy = static_cast<char*>(std::malloc(size));
    char* out = copy;
    int64_t n = 0;
    const char* p = base;
    const char* end = base + size;
    while (p < end) {
        const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
        const char* stop = lf ? lf : end;
        size_t len = static_cast<size_t>(stop - p);
        if (len && stop[-1] == '\r')
            --len;
        std::memcpy(out, p, len);
        out += len;
        ++n;
        p = lf ? lf + 1 : end;
    }
    double t = NowSeconds() - t0;
    volatile char sink = copy[size / 2];
    (void)sink;
    std::free(copy);
    UnmapViewOfFile(base);
    CloseHandle(map);
    CloseHandle(file);
    *lines = n;
    return t;
}

double WriteBaseline(const std::string& path, const char* data, size_t size, bool flush) {
    double t0 = NowSeconds();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr);
    if (flush)
        FlushFileBuffers(file);
    CloseHandle(file);
    double t = NowSeconds() - t0;
    DeleteFileA(path.c_str());
    return t;
}

void PrintFigure(const char* name, double value, const char* unit, double base, double limit) {
    if (base > 0) {
        double ratio = value / base;
        std::printf("%-44s %10.3f %-3s  %6.2f x base   (target <= %.2f x)  %s\n", name, value, unit,
                    ratio, limit, ratio <= limit ? "ok" : "MISSED");
    } else {
        std::printf("%-44s %10.3f %-3s  (target <= %.3f %s)  %s\n", name, value, unit, limit, unit,
                    value <= limit ? "ok" : "MISSED");
    }
    std::fflush(stdout);
}
