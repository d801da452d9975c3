// Helpers of the tests that go through files: bytes from a list, a scratch folder of the test's
// own, reading and writing whole files, loading bytes into a document.
#pragma once

#include "DocTestUtil.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>

std::string B(std::initializer_list<int> bytes);

// A folder of the test's own, removed (made writable first) afterwards.
class Scratch {
public:
    Scratch();
    ~Scratch();
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    std::string Dir() const { return m_dir.string(); }
    std::string Path(const std::string& name) const { return (m_dir / name).string(); }
    size_t FileCount() const; // regular files, sub-folders included

private:
    std::filesystem::path m_dir;
};

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path); // "<missing>" when it cannot be opened

// Writes the bytes to a file of the folder and loads it with the requested encoding.
bool LoadBytes(CFxEditDoc& doc, const Scratch& dir, const std::string& bytes, int requested = 0,
               const char* name = "in.txt");

#ifdef _WIN32
const uint64_t kMiB = 1024 * 1024;
// A sparse file of `chunks` MiB whose every MiB starts with "L" and six digits of its number
// and CR LF: line 0 is "L000000"; line k (k > 0) is the zero bytes left of MiB k - 1 and then
// "L" and k's digits; the last line is the zero bytes after the last break.
bool MakeChunkedFile(const std::string& path, uint64_t chunks);
#endif
