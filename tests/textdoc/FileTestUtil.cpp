// Helpers of the tests that go through files.
#include "FileTestUtil.h"

#include "common/SysFile.h"
#include "textdoc/FileIO.h"

#include <gtest/gtest.h>

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

std::string B(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes)
        s.push_back(static_cast<char>(b));
    return s;
}

Scratch::Scratch() {
    static int serial = 0;
    m_dir = fs::temp_directory_path() /
            ("qv_test_" + std::to_string(fxsys::ProcessId()) + "_" + std::to_string(++serial));
    fs::create_directories(m_dir);
}

Scratch::~Scratch() {
#ifndef _WIN32
    chmod(m_dir.string().c_str(), 0755);
#endif
    std::error_code ec;
    fs::remove_all(m_dir, ec);
}

size_t Scratch::FileCount() const {
    size_t n = 0;
    for (auto it = fs::recursive_directory_iterator(m_dir);
         it != fs::recursive_directory_iterator(); ++it)
        n += it->is_regular_file() ? 1 : 0;
    return n;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    if (!bytes.empty()) {
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    }
    std::fclose(f);
}

std::string ReadBytes(const std::string& path) {
    std::string s;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return "<missing>";
    static char buf[1 << 16];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        s.append(buf, n);
    std::fclose(f);
    return s;
}

bool LoadBytes(CFxEditDoc& doc, const Scratch& dir, const std::string& bytes, int requested,
               const char* name) {
    std::string path = dir.Path(name);
    WriteBytes(path, bytes);
    doc.SetRequestedEncoding(requested);
    return LoadDocumentFile(doc, path.c_str());
}

#ifdef _WIN32

bool MakeChunkedFile(const std::string& path, uint64_t chunks) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    for (uint64_t k = 0; k < chunks && ok; ++k) {
        char head[16];
        std::snprintf(head, sizeof head, "L%06u\r\n", static_cast<unsigned>(k));
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(k * kMiB);
        DWORD wrote = 0;
        ok = SetFilePointerEx(h, at, nullptr, FILE_BEGIN) &&
             WriteFile(h, head, 9, &wrote, nullptr) && wrote == 9;
    }
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(chunks * kMiB);
    ok = ok && SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && SetEndOfFile(h);
    CloseHandle(h);
    return ok;
}

#endif
