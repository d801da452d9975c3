// Platform seam for files and memory mappings used by the text document core.
// Win32 in common/win32/, POSIX for native tests in common/posix/.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fxsys {

// An open file: a Win32 HANDLE, or a POSIX descriptor cast to a pointer. Null is "no file".
using FileHandle = void*;

// A mapped view and the object behind it.
struct Mapping {
    void* base = nullptr;
    void* object = nullptr;
    size_t size = 0;
};

// Maps `size` bytes of an open file read-only. False on failure (size 0 maps nothing).
bool MapFileReadOnly(FileHandle file, uint64_t size, Mapping& out);
// Page-file-backed read-write mapping of at least `size` bytes, rounded up to 4096.
bool MapAnonymous(size_t size, Mapping& out);
void Unmap(Mapping& m);

// Files. Functions returning bool set *error (when given) to the system error code on failure.
FileHandle OpenForRead(const char* path, uint32_t* error);
FileHandle CreateNew(const char* path, uint32_t* error); // fails if it exists
void CloseFile(FileHandle file);
bool GetFileSize64(FileHandle file, uint64_t* size, uint32_t* error);
bool WriteAll(FileHandle file, const void* data, size_t len, uint32_t* error);
bool FlushFile(FileHandle file, uint32_t* error);
// Replaces `target` with `source` by a rename that overwrites, written through to disk.
bool ReplaceByRename(const char* source, const char* target, uint32_t* error);
bool CopyFileOverwrite(const char* from, const char* to, uint32_t* error);
bool DeleteFilePath(const char* path);
bool FileExists(const char* path);
// True for an existing file marked read-only (the read-only attribute; no write permission).
bool IsReadOnlyFile(const char* path);
// The absolute form of a path against this process's working folder, written to out (cap bytes
// with the terminating zero). False when the system cannot make one or it does not fit.
bool FullPath(const char* path, char* out, size_t cap);
uint32_t TickCount();
uint32_t ProcessId();

// System error codes the core reports itself.
enum : uint32_t {
    kErrFileTooLarge = 223,     // ERROR_FILE_TOO_LARGE
    kErrFilenameExcedRange = 206, // ERROR_FILENAME_EXCED_RANGE
    kErrNotEnoughMemory = 8,    // ERROR_NOT_ENOUGH_MEMORY
    kErrWriteFault = 29,        // ERROR_WRITE_FAULT
    kErrInvalidData = 13,       // ERROR_INVALID_DATA
    kErrAccessDenied = 5,       // ERROR_ACCESS_DENIED
};

} // namespace fxsys
