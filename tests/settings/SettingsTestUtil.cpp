// Helpers of the settings tests.
#include "tests/settings/SettingsTestUtil.h"

#include <cstdio>

namespace {

void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string full = dir + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full + "\\");
            else
                DeleteFileA(full.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}

} // namespace

std::string ReadWholeFile(const std::string& path) {
    std::string s;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            s.append(buf, n);
        std::fclose(f);
    }
    return s;
}

void SettingsTest::SetUp() {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    static int counter = 0;
    char name[64];
    std::snprintf(name, sizeof name, "qvsettings_%lu_%d\\", GetCurrentProcessId(), ++counter);
    m_dir = std::string(tmp) + name;
    RemoveTree(m_dir);
    CreateDirectoryA(m_dir.c_str(), nullptr);
}

void SettingsTest::TearDown() {
    RemoveTree(m_dir);
}

std::string SettingsTest::ReadText(const char* name) const {
    return ReadWholeFile(Path(name));
}

void SettingsTest::WriteText(const char* name, const std::string& text) const {
    if (FILE* f = std::fopen(Path(name).c_str(), "wb")) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
}

void SettingsTest::CopyTemplate(const char* name, const char* as) const {
    CreateDirectoryA(Path("STF").c_str(), nullptr);
    std::string src = std::string(QV_STF_SOURCE_DIR) + "/" + name;
    std::string dst = Path("STF\\") + (as ? as : name);
    std::string data = ReadWholeFile(src);
    ASSERT_FALSE(data.empty()) << src;
    if (FILE* f = std::fopen(dst.c_str(), "wb")) {
        std::fwrite(data.data(), 1, data.size(), f);
        std::fclose(f);
    }
}
