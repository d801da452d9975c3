// Clip text library files on disk. Layer: workspace/ (platform seam only).
#include "workspace/ClipTextFile.h"

#include "common/PathName.h"
#include "common/SysFile.h"

#include <cstdio>

namespace {

// Closes the file and, unless kept, deletes it: every early return of a failed write removes
// the temporary file.
class TempFile {
public:
    TempFile(fxsys::FileHandle file, std::string path) : m_file(file), m_path(std::move(path)) {}
    ~TempFile() {
        Close();
        if (!m_kept)
            fxsys::DeleteFilePath(m_path.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    fxsys::FileHandle Get() const { return m_file; }
    void Close() {
        if (m_file)
            fxsys::CloseFile(m_file);
        m_file = nullptr;
    }
    void Keep() { m_kept = true; }

private:
    fxsys::FileHandle m_file;
    std::string m_path;
    bool m_kept = false;
};

const size_t kWriteBuffer = 4096;

} // namespace

bool LoadClipLibraryFile(const char* path, ClipLibraryText& out, uint32_t* error) {
    out = ClipLibraryText();
    fxsys::FileHandle file = fxsys::OpenForRead(path, error);
    if (!file)
        return false;
    uint64_t size = 0;
    bool ok = fxsys::GetFileSize64(file, &size, error);
    if (ok && size > 0) {
        fxsys::Mapping map;
        ok = fxsys::MapFileReadOnly(file, size, map);
        if (ok) {
            out = ParseClipLibrary(static_cast<const char*>(map.base), map.size);
            fxsys::Unmap(map);
        } else if (error) {
            // The mapping says no more than that it failed: too large to map, or no room.
            *error = size > 0x7FFFFFFFu ? fxsys::kErrFileTooLarge : fxsys::kErrNotEnoughMemory;
        }
    }
    fxsys::CloseFile(file);
    return ok;
}

std::string LoadClipLibraryTitle(const char* path) {
    std::string title;
    fxsys::FileHandle file = fxsys::OpenForRead(path, nullptr);
    if (!file)
        return title;
    uint64_t size = 0;
    fxsys::Mapping map;
    if (fxsys::GetFileSize64(file, &size, nullptr) && size > 0 &&
        fxsys::MapFileReadOnly(file, size, map)) {
        title = ParseClipTitle(static_cast<const char*>(map.base), map.size);
        fxsys::Unmap(map);
    }
    fxsys::CloseFile(file);
    return title;
}

std::string ClipTempPath(const std::string& path, uint32_t attempt) {
    char name[32];
    std::snprintf(name, sizeof name, "~ct%04X%04X.tmp", fxsys::ProcessId() & 0xFFFF,
                  attempt & 0xFFFF);
    // The folder part with its own separator, whichever that is.
    return path.substr(0, FxPathNameStart(path)) + name;
}

bool SaveClipLibraryFile(const char* path, const std::string& bytes, uint32_t* error,
                         const ClipWriteFn& write) {
    // A library marked read-only is left alone, whatever the rename would allow.
    if (fxsys::IsReadOnlyFile(path)) {
        if (error)
            *error = fxsys::kErrAccessDenied;
        return false;
    }
    std::string temp;
    fxsys::FileHandle file = nullptr;
    const uint32_t seed = fxsys::TickCount();
    for (uint32_t attempt = 0; attempt < 16 && !file; ++attempt) {
        temp = ClipTempPath(path, seed + attempt);
        if (!fxsys::FileExists(temp.c_str()))
            file = fxsys::CreateNew(temp.c_str(), error);
    }
    if (!file)
        return false;
    TempFile guard(file, temp);
    for (size_t at = 0; at < bytes.size(); at += kWriteBuffer) {
        const size_t n = std::min(kWriteBuffer, bytes.size() - at);
        const bool ok = write ? write(file, bytes.data() + at, n, error)
                              : fxsys::WriteAll(file, bytes.data() + at, n, error);
        if (!ok)
            return false;
    }
    if (!fxsys::FlushFile(file, error))
        return false;
    guard.Close();
    if (!fxsys::ReplaceByRename(temp.c_str(), path, error))
        return false;
    guard.Keep();
    return true;
}
