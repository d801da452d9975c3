// Native stand-in for the folder seam, used only by the sanitizer build of the engine's tests:
// lock files are advisory locks, which other opens of the file, in this process too, cannot take.
// Part of common/.
#include "common/SysFolder.h"

#include <cerrno>
#include <cstdint>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fxsys {

namespace {
int Fd(FileHandle f) {
    return static_cast<int>(reinterpret_cast<intptr_t>(f)) - 1;
}
FileHandle Handle(int fd) {
    return reinterpret_cast<FileHandle>(static_cast<intptr_t>(fd) + 1);
}
void SetError(uint32_t* error) {
    if (error)
        *error = static_cast<uint32_t>(errno);
}
} // namespace

bool CreateFolder(const char* path) {
    if (mkdir(path, 0755) == 0)
        return true;
    return FolderExists(path);
}

bool RemoveFolder(const char* path) {
    return rmdir(path) == 0;
}

bool FolderExists(const char* path) {
    struct stat st;
    return stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<std::string> ListFolder(const char* folder, bool folders) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder);
    if (!dir)
        return names;
    while (dirent* e = readdir(dir)) {
        std::string name(e->d_name);
        if (name == "." || name == "..")
            continue;
        struct stat st;
        if (stat((std::string(folder) + "/" + name).c_str(), &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode) == folders)
            names.push_back(name);
    }
    closedir(dir);
    return names;
}

FileHandle TakeLockFile(const char* path, uint32_t* error) {
    int fd = open(path, O_RDWR | O_CREAT, 0644);
    if (fd < 0) {
        SetError(error);
        return nullptr;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        SetError(error);
        close(fd);
        return nullptr;
    }
    return Handle(fd);
}

bool ReadAt(FileHandle file, uint64_t offset, void* data, size_t len, uint32_t* error) {
    char* p = static_cast<char*>(data);
    while (len > 0) {
        ssize_t got = pread(Fd(file), p, len, static_cast<off_t>(offset));
        if (got <= 0) {
            if (got < 0)
                SetError(error);
            else if (error)
                *error = 38; // the end of the file
            return false;
        }
        p += got;
        len -= static_cast<size_t>(got);
        offset += static_cast<uint64_t>(got);
    }
    return true;
}

bool GetFileStamp(const char* path, uint64_t* writeTime, uint64_t* size) {
    struct stat st;
    if (stat(path, &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    *writeTime = static_cast<uint64_t>(st.st_mtim.tv_sec) * 10000000u +
                 static_cast<uint64_t>(st.st_mtim.tv_nsec) / 100u;
    *size = static_cast<uint64_t>(st.st_size);
    return true;
}

FileHandle CreateAlways(const char* path, uint32_t* error) {
    int fd = open(path, O_RDWR | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        SetError(error);
        return nullptr;
    }
    return Handle(fd);
}

void LowerThreadPriority() {}

} // namespace fxsys
