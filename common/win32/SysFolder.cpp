// Win32 side of the folder seam: folder listing, lock files held without sharing, positioned
// reads and file stamps. Part of common/.
#include "common/SysFolder.h"

#include <windows.h>

namespace fxsys {

namespace {
void SetError(uint32_t* error) {
    if (error)
        *error = GetLastError();
}
} // namespace

bool CreateFolder(const char* path) {
    if (CreateDirectoryA(path, nullptr))
        return true;
    return FolderExists(path);
}

bool RemoveFolder(const char* path) {
    return RemoveDirectoryA(path) != 0;
}

bool FolderExists(const char* path) {
    DWORD attr = GetFileAttributesA(path);
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> ListFolder(const char* folder, bool folders) {
    std::vector<std::string> names;
    std::string pattern(folder);
    // The folder's last byte may be the second byte of a double-byte character: a "\" is
    // appended unless the folder ends with one of its own, which the caller guarantees by
    // passing folders without a trailing separator.
    pattern += "\\*";
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA(pattern.c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        const bool isFolder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isFolder != folders)
            continue;
        if (std::string(fd.cFileName) == "." || std::string(fd.cFileName) == "..")
            continue;
        names.emplace_back(fd.cFileName);
    } while (FindNextFileA(find, &fd));
    FindClose(find);
    return names;
}

FileHandle TakeLockFile(const char* path, uint32_t* error) {
    HANDLE h = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        SetError(error);
        return nullptr;
    }
    return h;
}

bool ReadAt(FileHandle file, uint64_t offset, void* data, size_t len, uint32_t* error) {
    char* p = static_cast<char*>(data);
    while (len > 0) {
        OVERLAPPED ov = {};
        ov.Offset = static_cast<DWORD>(offset);
        ov.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD chunk = len > 0x10000000u ? 0x10000000u : static_cast<DWORD>(len);
        DWORD got = 0;
        if (!ReadFile(file, p, chunk, &got, &ov)) {
            SetError(error);
            return false;
        }
        if (got == 0) {
            if (error)
                *error = ERROR_HANDLE_EOF;
            return false;
        }
        p += got;
        len -= got;
        offset += got;
    }
    return true;
}

bool GetFileStamp(const char* path, uint64_t* writeTime, uint64_t* size) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    *writeTime = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                 data.ftLastWriteTime.dwLowDateTime;
    *size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

FileHandle CreateAlways(const char* path, uint32_t* error) {
    HANDLE h = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        SetError(error);
        return nullptr;
    }
    return h;
}

void LowerThreadPriority() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
}

} // namespace fxsys
