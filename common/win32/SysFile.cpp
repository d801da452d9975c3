// Win32 side of the file seam: handles, mappings, and the rename that completes a safe save.
// Part of common/.
#include "common/SysFile.h"

#include <windows.h>

namespace fxsys {

namespace {
void SetError(uint32_t* error) {
    if (error)
        *error = GetLastError();
}
} // namespace

bool MapFileReadOnly(FileHandle file, uint64_t size, Mapping& out) {
    out = Mapping{};
    if (size == 0 || size > static_cast<uint64_t>(PTRDIFF_MAX)) // more than the address space
        return false;
    HANDLE map = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!map)
        return false;
    void* base = MapViewOfFile(map, FILE_MAP_READ, 0, 0, static_cast<SIZE_T>(size));
    if (!base) {
        CloseHandle(map);
        return false;
    }
    out.base = base;
    out.object = map;
    out.size = static_cast<size_t>(size);
    return true;
}

bool MapAnonymous(size_t size, Mapping& out) {
    out = Mapping{};
    if (size == 0)
        return false;
    size_t rounded = (size + 4095) & ~static_cast<size_t>(4095);
    if (rounded < size)
        return false;
    // The size in two halves: on a 64-bit build it may pass 4 GB.
    const uint64_t bytes = rounded;
    HANDLE map =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE,
                           static_cast<DWORD>(bytes >> 32), static_cast<DWORD>(bytes), nullptr);
    if (!map)
        return false;
    void* base = MapViewOfFile(map, FILE_MAP_WRITE, 0, 0, rounded);
    if (!base) {
        CloseHandle(map);
        return false;
    }
    out.base = base;
    out.object = map;
    out.size = size;
    return true;
}

void Unmap(Mapping& m) {
    if (m.base)
        UnmapViewOfFile(m.base);
    if (m.object)
        CloseHandle(m.object);
    m = Mapping{};
}

FileHandle OpenForRead(const char* path, uint32_t* error) {
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        SetError(error);
        return nullptr;
    }
    return h;
}

FileHandle CreateNew(const char* path, uint32_t* error) {
    HANDLE h = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        SetError(error);
        return nullptr;
    }
    return h;
}

void CloseFile(FileHandle file) {
    if (file)
        CloseHandle(file);
}

bool GetFileSize64(FileHandle file, uint64_t* size, uint32_t* error) {
    LARGE_INTEGER li;
    if (!GetFileSizeEx(file, &li)) {
        SetError(error);
        return false;
    }
    *size = static_cast<uint64_t>(li.QuadPart);
    return true;
}

bool WriteAll(FileHandle file, const void* data, size_t len, uint32_t* error) {
    const char* p = static_cast<const char*>(data);
    while (len > 0) {
        DWORD chunk = len > 0x40000000u ? 0x40000000u : static_cast<DWORD>(len);
        DWORD written = 0;
        if (!WriteFile(file, p, chunk, &written, nullptr)) {
            SetError(error);
            return false;
        }
        if (written == 0) {
            if (error)
                *error = kErrWriteFault;
            return false;
        }
        p += written;
        len -= written;
    }
    return true;
}

bool FlushFile(FileHandle file, uint32_t* error) {
    if (!FlushFileBuffers(file)) {
        SetError(error);
        return false;
    }
    return true;
}

bool ReplaceByRename(const char* source, const char* target, uint32_t* error) {
    if (!MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        SetError(error);
        return false;
    }
    return true;
}

bool CopyFileOverwrite(const char* from, const char* to, uint32_t* error) {
    if (!CopyFileA(from, to, FALSE)) {
        SetError(error);
        return false;
    }
    return true;
}

bool DeleteFilePath(const char* path) {
    return DeleteFileA(path) != 0;
}

bool FileExists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool IsReadOnlyFile(const char* path) {
    DWORD attr = GetFileAttributesA(path);
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY) &&
           (attr & FILE_ATTRIBUTE_READONLY);
}

bool FullPath(const char* path, char* out, size_t cap) {
    if (cap == 0 || cap > 0x7FFFFFFF)
        return false;
    const DWORD n = GetFullPathNameA(path, static_cast<DWORD>(cap), out, nullptr);
    return n > 0 && n < cap;
}

uint32_t TickCount() { return GetTickCount(); }
uint32_t ProcessId() { return GetCurrentProcessId(); }

} // namespace fxsys
