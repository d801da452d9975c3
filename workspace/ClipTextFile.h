// Reading a clip text library from its file through a read-only mapping, and writing one
// through a temporary file in the library's own folder that replaces the library only after a
// complete write. Layer: workspace/ (platform seam only; also built for the native tests).
#pragma once

#include "workspace/ClipTextFormat.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// Reads the library at path. False (and an empty library) when the file cannot be opened or
// mapped; an empty file is an empty library.
bool LoadClipLibraryFile(const char* path, ClipLibraryText& out, uint32_t* error = nullptr);

// Reads only the title of the library at path; empty when it has none or cannot be read.
std::string LoadClipLibraryTitle(const char* path);

// Writes one piece of a file; false with *error set on failure. Tests give one that fails.
using ClipWriteFn = std::function<bool(void* file, const void* data, size_t len, uint32_t* error)>;

// Replaces the file at path with bytes: written in 4096-byte pieces into a new temporary file
// beside it, flushed, then renamed over it. On any failure the temporary file is removed and
// the old file is left as it was. A library marked read-only is not replaced.
bool SaveClipLibraryFile(const char* path, const std::string& bytes, uint32_t* error = nullptr,
                         const ClipWriteFn& write = ClipWriteFn());

// The temporary file's name for a library path: in the same folder, so that the rename never
// crosses volumes.
std::string ClipTempPath(const std::string& path, uint32_t attempt);
