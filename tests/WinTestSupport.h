// Helpers of the Windows tests that run frames in their own process: a log of the message
// boxes shown (answered from a queue), a temporary folder per test, whole-file reads and
// writes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Message boxes shown while a test runs, through the framework's message box hook.
struct BoxLog {
    static std::vector<std::string> texts;
    static std::vector<UINT> types;
    static std::vector<int> answers; // answered in order; IDOK when used up
    static int Hook(const char* text, const char* caption, UINT type);
    static void Clear();
};

// A folder under the temporary folder, made on first use and removed with its files.
class TempFolder {
public:
    explicit TempFolder(const char* prefix) : m_prefix(prefix) {}
    // The full path of `name` in the folder ("" gives the folder with a trailing backslash).
    std::string Path(const char* name);
    void Remove();

private:
    std::string m_prefix;
    std::string m_dir;
};

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);
