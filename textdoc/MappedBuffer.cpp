// FxMappedBuffer over the platform's mappings. Layer: textdoc/.
#include "textdoc/MappedBuffer.h"

#include <new>

bool FxMappedBuffer::OpenFile(fxsys::FileHandle file, uint64_t size) {
    Close();
    if (size == 0)
        return false;
    if (!fxsys::MapFileReadOnly(file, size, m_map))
        throw std::bad_alloc();
    return true;
}

bool FxMappedBuffer::OpenAnonymous(size_t size) {
    Close();
    if (size == 0)
        return false;
    if (!fxsys::MapAnonymous(size, m_map))
        throw std::bad_alloc();
    return true;
}

void FxMappedBuffer::Close() {
    if (m_map.base || m_map.object)
        fxsys::Unmap(m_map);
}
