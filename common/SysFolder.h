// Platform seam for folders, lock files and positioned reads, used by the recovery copies of the
// text document core. Win32 in common/win32/, POSIX for native tests in common/posix/.
#pragma once

#include "common/SysFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fxsys {

// Creates a folder; true when it exists afterwards (made now or before).
bool CreateFolder(const char* path);
// Removes an empty folder.
bool RemoveFolder(const char* path);
bool FolderExists(const char* path);
// The names (not paths) of the entries of a folder, without "." and "..": its subfolders when
// `folders`, else its files. Empty when the folder cannot be read.
std::vector<std::string> ListFolder(const char* folder, bool folders);

// Opens (creating it when missing) a lock file that no other open of it can share while it is
// held: null when another holder, in this process or another, has it. The system lets it go
// when the holder closes it or its process ends in any way.
FileHandle TakeLockFile(const char* path, uint32_t* error);

// Reads exactly `len` bytes at `offset` of an open file; false on a short read or failure.
bool ReadAt(FileHandle file, uint64_t offset, void* data, size_t len, uint32_t* error);

// The last write time (system units) and size of a file; false when it cannot be read.
bool GetFileStamp(const char* path, uint64_t* writeTime, uint64_t* size);

// Creates a file for writing, replacing one of that name, open to others only for reading.
FileHandle CreateAlways(const char* path, uint32_t* error);

// Lowers the calling thread below the normal priority: for workers that must give way to the
// user-interface thread.
void LowerThreadPriority();

} // namespace fxsys
