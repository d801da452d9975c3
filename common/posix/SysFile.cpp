// Native stand-in for the file seam, used only by the sanitizer build of the engine's tests.
// Part of common/.
#include "common/SysFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

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

bool MapFileReadOnly(FileHandle file, uint64_t size, Mapping& out) {
    out = Mapping{};
    if (size == 0 || size > static_cast<uint64_t>(PTRDIFF_MAX)) // more than the address space
        return false;
    void* base = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, Fd(file), 0);
    if (base == MAP_FAILED)
        return false;
    out.base = base;
    out.size = static_cast<size_t>(size);
    out.object = reinterpret_cast<void*>(static_cast<uintptr_t>(size));
    return true;
}

bool MapAnonymous(size_t size, Mapping& out) {
    out = Mapping{};
    if (size == 0)
        return false;
    size_t rounded = (size + 4095) & ~static_cast<size_t>(4095);
    void* base = mmap(nullptr, rounded, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED)
        return false;
    out.base = base;
    out.size = size;
    out.object = reinterpret_cast<void*>(static_cast<uintptr_t>(rounded));
    return true;
}

void Unmap(Mapping& m) {
    if (m.base)
        munmap(m.base, reinterpret_cast<uintptr_t>(m.object));
    m = Mapping{};
}

FileHandle OpenForRead(const char* path, uint32_t* error) {
    int fd = open(path, O_RDONLY);
    if (fd < 0) {
        SetError(error);
        return nullptr;
    }
    return Handle(fd);
}

FileHandle CreateNew(const char* path, uint32_t* error) {
    int fd = open(path, O_RDWR | O_CREAT | O_EXCL, 0644);
    if (fd < 0) {
        SetError(error);
        return nullptr;
    }
    return Handle(fd);
}

void CloseFile(FileHandle file) {
    if (file)
        close(Fd(file));
}

bool GetFileSize64(FileHandle file, uint64_t* size, uint32_t* error) {
    struct stat st;
    if (fstat(Fd(file), &st) != 0) {
        SetError(error);
        return false;
    }
    *size = static_cast<uint64_t>(st.st_size);
    return true;
}

bool WriteAll(FileHandle file, const void* data, size_t len, uint32_t* error) {
    const char* p = static_cast<const char*>(data);
    while (len > 0) {
        ssize_t n = write(Fd(file), p, len);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            SetError(error);
            return false;
        }
        if (n == 0) {
            if (error)
                *error = kErrWriteFault;
            return false;
        }
        p += n;
        len -= static_cast<size_t>(n);
    }
    return true;
}

bool FlushFile(FileHandle file, uint32_t* error) {
    if (fsync(Fd(file)) != 0) {
        SetError(error);
        return false;
    }
    return true;
}

bool ReplaceByRename(const char* source, const char* target, uint32_t* error) {
    if (rename(source, target) != 0) {
        SetError(error);
        return false;
    }
    return true;
}

bool CopyFileOverwrite(const char* from, const char* to, uint32_t* error) {
    int in = open(from, O_RDONLY);
    if (in < 0) {
        SetError(error);
        return false;
    }
    int out = open(to, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0) {
        SetError(error);
        close(in);
        return false;
    }
    char buf[65536];
    bool ok = true;
    for (;;) {
        ssize_t n = read(in, buf, sizeof buf);
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        if (!WriteAll(Handle(out), buf, static_cast<size_t>(n), error)) {
            ok = false;
            break;
        }
    }
    close(in);
    close(out);
    return ok;
}

bool DeleteFilePath(const char* path) {
    return unlink(path) == 0;
}

bool FileExists(const char* path) {
    struct stat st;
    return stat(path, &st) == 0;
}

bool IsReadOnlyFile(const char* path) {
    struct stat st;
    return stat(path, &st) == 0 && S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR);
}

bool FullPath(const char* path, char* out, size_t cap) {
    // No folder names are resolved: a relative path is put after the working folder.
    std::string full;
    if (path[0] != '/') {
        char cwd[4096];
        if (!getcwd(cwd, sizeof cwd))
            return false;
        full = std::string(cwd) + "/";
    }
    full += path;
    if (full.size() >= cap)
        return false;
    std::memcpy(out, full.c_str(), full.size() + 1);
    return true;
}

uint32_t TickCount() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint32_t>(ts.tv_sec * 1000 + ts.tv_nsec / 1000000);
}

uint32_t ProcessId() {
    return static_cast<uint32_t>(getpid());
}

} // namespace fxsys
