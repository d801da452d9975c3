// A console program the tool tests and benchmarks run as a user tool. Each argument is one step,
// done in order:
//   lines:N        N lines "L0000000\r\n" .. on standard output, one write each
//   block:N        N lines like lines:N, all in one write
//   out:TEXT       TEXT on standard output          err:TEXT  TEXT on standard error
//   nl             "\r\n" on standard output        zero:A:B  A, a zero byte, then B, one write
//   sleep:MS       a pause                          exit:N    ends with exit code N
//   flood:BYTES    BYTES bytes of 79-byte lines in 64 KiB writes
//   forever[:PATH] a line every 20 ms, until the file PATH exists (never without one)
//   wait:PATH      waits until the file PATH exists (at most 20 s)
//   touch:PATH     writes the remaining arguments, one per line, into PATH, and ends
//   cwd            the current directory on standard output
//   stamps:N:MS    N times: a pause of MS, then the performance counter as a line
//   pid:PATH       writes its process id into PATH
//   pieces:PATH:N:MS  the bytes of the file PATH on standard output, N bytes a write, a pause of
//                  MS after each
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Write(DWORD which, const char* text, size_t len) {
    DWORD done = 0;
    WriteFile(GetStdHandle(which), text, static_cast<DWORD>(len), &done, nullptr);
}

void Write(DWORD which, const std::string& s) {
    Write(which, s.data(), s.size());
}

std::string Line(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "L%07d\r\n", n);
    return buf;
}

bool Starts(const char* arg, const char* prefix, const char** rest) {
    const size_t n = std::strlen(prefix);
    if (std::strncmp(arg, prefix, n) != 0)
        return false;
    *rest = arg + n;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        const char* v = nullptr;
        if (Starts(a, "lines:", &v)) {
            const int n = std::atoi(v);
            for (int k = 0; k < n; ++k)
                Write(STD_OUTPUT_HANDLE, Line(k));
        } else if (Starts(a, "block:", &v)) {
            std::string all;
            const int n = std::atoi(v);
            for (int k = 0; k < n; ++k)
                all += Line(k);
            Write(STD_OUTPUT_HANDLE, all);
        } else if (Starts(a, "out:", &v)) {
            Write(STD_OUTPUT_HANDLE, v, std::strlen(v));
        } else if (Starts(a, "err:", &v)) {
            Write(STD_ERROR_HANDLE, v, std::strlen(v));
        } else if (std::strcmp(a, "nl") == 0) {
            Write(STD_OUTPUT_HANDLE, "\r\n", 2);
        } else if (Starts(a, "zero:", &v)) {
            std::string s(v);
            const size_t colon = s.find(':');
            std::string first = s.substr(0, colon);
            std::string second = colon == std::string::npos ? "" : s.substr(colon + 1);
            std::string all = first + std::string(1, '\0') + second;
            Write(STD_OUTPUT_HANDLE, all);
        } else if (Starts(a, "sleep:", &v)) {
            Sleep(static_cast<DWORD>(std::atoi(v)));
        } else if (Starts(a, "exit:", &v)) {
            return std::atoi(v);
        } else if (Starts(a, "flood:", &v)) {
            long long left = std::atoll(v);
            std::string chunk;
            while (chunk.size() + 79 <= 65536)
                chunk += std::string(77, 'x') + "\r\n";
            while (left > 0) {
                const size_t n = left < static_cast<long long>(chunk.size())
                                     ? static_cast<size_t>(left)
                                     : chunk.size();
                Write(STD_OUTPUT_HANDLE, chunk.data(), n);
                left -= static_cast<long long>(n);
            }
        } else if (std::strcmp(a, "forever") == 0 || Starts(a, "forever:", &v)) {
            for (int k = 0; !v || GetFileAttributesA(v) == INVALID_FILE_ATTRIBUTES; ++k) {
                Write(STD_OUTPUT_HANDLE, Line(k));
                Sleep(20);
            }
        } else if (Starts(a, "wait:", &v)) {
            for (int k = 0; k < 2000 && GetFileAttributesA(v) == INVALID_FILE_ATTRIBUTES; ++k)
                Sleep(10);
        } else if (Starts(a, "touch:", &v)) {
            std::string body;
            for (int k = i + 1; k < argc; ++k)
                body += std::string(argv[k]) + "\r\n";
            HANDLE f = CreateFileA(v, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            DWORD done = 0;
            WriteFile(f, body.data(), static_cast<DWORD>(body.size()), &done, nullptr);
            CloseHandle(f);
            return 0;
        } else if (Starts(a, "stamps:", &v)) {
            const int n = std::atoi(v);
            const char* colon = std::strchr(v, ':');
            const DWORD pause = colon ? static_cast<DWORD>(std::atoi(colon + 1)) : 100;
            for (int k = 0; k < n; ++k) {
                Sleep(pause);
                LARGE_INTEGER now;
                QueryPerformanceCounter(&now);
                char line[40];
                std::snprintf(line, sizeof line, "%lld\r\n", static_cast<long long>(now.QuadPart));
                Write(STD_OUTPUT_HANDLE, line, std::strlen(line));
            }
        } else if (Starts(a, "pid:", &v)) {
            const std::string id = std::to_string(GetCurrentProcessId());
            HANDLE f = CreateFileA(v, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            DWORD done = 0;
            WriteFile(f, id.data(), static_cast<DWORD>(id.size()), &done, nullptr);
            CloseHandle(f);
        } else if (Starts(a, "pieces:", &v)) {
            // The path may hold a drive's colon: the two numbers are the last two fields.
            std::string step(v);
            const size_t second = step.rfind(':');
            const size_t first = second == std::string::npos ? second : step.rfind(':', second - 1);
            if (first == std::string::npos)
                continue;
            const std::string path = step.substr(0, first);
            const size_t size = static_cast<size_t>(std::atoi(step.c_str() + first + 1));
            const DWORD pause = static_cast<DWORD>(std::atoi(step.c_str() + second + 1));
            HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
            std::string all;
            char buf[65536];
            DWORD got = 0;
            while (f != INVALID_HANDLE_VALUE && ReadFile(f, buf, sizeof buf, &got, nullptr) && got)
                all.append(buf, got);
            if (f != INVALID_HANDLE_VALUE)
                CloseHandle(f);
            for (size_t at = 0; size && at < all.size(); at += size) {
                Write(STD_OUTPUT_HANDLE, all.data() + at, std::min(size, all.size() - at));
                Sleep(pause);
            }
        } else if (std::strcmp(a, "cwd") == 0) {
            char dir[MAX_PATH] = "";
            GetCurrentDirectoryA(sizeof dir, dir);
            Write(STD_OUTPUT_HANDLE, dir, std::strlen(dir));
        }
    }
    return 0;
}
