#include "tests/WinTestSupport.h"

#include <cstdio>
#include <fstream>
#include <sstream>

std::vector<std::string> BoxLog::texts;
std::vector<UINT> BoxLog::types;
std::vector<int> BoxLog::answers;

int BoxLog::Hook(const char* text, const char*, UINT type) {
    texts.push_back(text);
    types.push_back(type);
    if (answers.empty())
        return IDOK;
    int answer = answers.front();
    answers.erase(answers.begin());
    return answer;
}

void BoxLog::Clear() {
    texts.clear();
    types.clear();
    answers.clear();
}

std::string TempFolder::Path(const char* name) {
    if (m_dir.empty()) {
        char base[MAX_PATH];
        GetTempPathA(sizeof base, base);
        char dir[MAX_PATH];
        static int serial = 0;
        std::snprintf(dir, sizeof dir, "%s%s%lu_%d", base, m_prefix.c_str(),
                      static_cast<unsigned long>(GetCurrentProcessId()), ++serial);
        CreateDirectoryA(dir, nullptr);
        char full[MAX_PATH];
        GetFullPathNameA(dir, sizeof full, full, nullptr);
        m_dir = full;
    }
    return m_dir + "\\" + name;
}

void TempFolder::Remove() {
    if (m_dir.empty())
        return;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((m_dir + "\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                std::string file = m_dir + "\\" + fd.cFileName;
                SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(file.c_str());
            }
        } while (FindNextFileA(find, &fd));
        FindClose(find);
    }
    RemoveDirectoryA(m_dir.c_str());
    m_dir.clear();
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}
