// FxMappedBuffer: a whole file mapped read-only, or a large page-file-backed work buffer, so that
// big files and conversion buffers never fragment the heap. Layer: textdoc/, over common/SysFile.h.
#pragma once

#include "common/SysFile.h"

#include <cstddef>
#include <cstdint>

class FxMappedBuffer {
public:
    FxMappedBuffer() = default;
    ~FxMappedBuffer() { Close(); }
    FxMappedBuffer(const FxMappedBuffer&) = delete;
    FxMappedBuffer& operator=(const FxMappedBuffer&) = delete;

    // Maps `size` bytes of an open file read-only. A size of 0 maps nothing and returns false;
    // a failure of the system throws std::bad_alloc.
    bool OpenFile(fxsys::FileHandle file, uint64_t size);
    // A read-write buffer of `size` bytes (the mapping itself is rounded up to 4096). A size of 0
    // maps nothing and returns false; a failure of the system throws std::bad_alloc.
    bool OpenAnonymous(size_t size);
    void Close();

    bool IsOpen() const { return m_map.base != nullptr; }
    char* Data() const { return static_cast<char*>(m_map.base); }
    size_t Size() const { return m_map.size; } // the size asked for, not the rounded one

private:
    fxsys::Mapping m_map;
};
