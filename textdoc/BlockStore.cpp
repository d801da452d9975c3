// Block store: bump allocation in large blocks, waste counting, compaction. Layer: textdoc/.
#include "textdoc/BlockStore.h"

#include <cstdlib>
#include <new>

FxTextBlock* FxBlockStore::MakeBlock(int32_t request) {
    const int64_t header = static_cast<int64_t>(sizeof(FxTextBlock));
    int64_t need = header + (request > 0 ? request : 0);
    int64_t total = ((need + m_unit - 1) / m_unit) * m_unit;
    if (total > 0x7FFFFFFF)
        throw std::bad_alloc();
    void* mem = std::malloc(static_cast<size_t>(total));
    if (!mem)
        throw std::bad_alloc();
    FxTextBlock* b = static_cast<FxTextBlock*>(mem);
    b->dataSize = static_cast<int32_t>(total - header);
    b->wasted = 0;
    b->wasteLimit = b->dataSize / 10;
    b->freeBytes = b->dataSize;
    b->freePtr = b->Data();
    b->prev = nullptr;
    b->next = m_head;
    if (m_head)
        m_head->prev = b;
    m_head = b;
    ++m_count;
    m_bytes += static_cast<size_t>(total);
    return b;
}

char* FxBlockStore::Allocate(int32_t n, FxTextBlock** block) {
    FxTextBlock* b = m_head;
    while (b && b->freeBytes < n)
        b = b->next;
    if (!b)
        b = MakeBlock(n);
    *block = b;
    return AllocateIn(b, n);
}

char* FxBlockStore::AllocateIn(FxTextBlock* b, int32_t n) {
    char* p = b->freePtr;
    b->freePtr += n;
    b->freeBytes -= n;
    return p;
}

bool FxBlockStore::ResizeInPlace(FxTextBlock* b, const char* data, int32_t oldSize,
                                 int32_t newSize) {
    if (!b || data + oldSize != b->freePtr || oldSize + b->freeBytes < newSize)
        return false;
    b->freePtr += newSize - oldSize;
    b->freeBytes -= newSize - oldSize;
    return true;
}

void FxBlockStore::Release(FxTextBlock* b, int32_t n, bool suspended, FxBlockRelocator& relocator) {
    if (!b || n <= 0)
        return;
    b->wasted += n;
    int32_t live = b->LiveBytes();
    if (b->wasted < b->wasteLimit && live > 0)
        return;
    if (live <= 0) {
        FreeBlock(b);
        return;
    }
    if (suspended)
        return;
    FxTextBlock* fresh = MakeBlock(live);
    relocator.MoveLiveBuffers(*this, b, fresh);
    FreeBlock(b);
}

void FxBlockStore::Unlink(FxTextBlock* b) {
    if (b->prev)
        b->prev->next = b->next;
    else
        m_head = b->next;
    if (b->next)
        b->next->prev = b->prev;
}

void FxBlockStore::FreeBlock(FxTextBlock* b) {
    Unlink(b);
    --m_count;
    m_bytes -= static_cast<size_t>(b->dataSize) + sizeof(FxTextBlock);
    std::free(b);
}

void FxBlockStore::FreeAll() {
    while (m_head) {
        FxTextBlock* next = m_head->next;
        std::free(m_head);
        m_head = next;
    }
    m_count = 0;
    m_bytes = 0;
}
