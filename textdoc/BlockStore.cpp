// Block store: bump allocation in large blocks, waste counting, compaction. Layer: textdoc/.
#include "textdoc/BlockStore.h"

#include <cstdint>
#include <cstdlib>
#include <new>

FxTextBlock* FxBlockStore::MakeBlock(FxSize request) {
    const FxSize header = static_cast<FxSize>(sizeof(FxTextBlock));
    if (request > PTRDIFF_MAX - header - m_unit)
        throw std::bad_alloc();
    FxSize need = header + (request > 0 ? request : 0);
    FxSize total = ((need + m_unit - 1) / m_unit) * m_unit;
#if UINTPTR_MAX > 0xFFFFFFFFu
    if (m_table.empty())
        m_table.push_back(nullptr);
    if (m_freeRefs.empty() && m_table.size() > UINT32_MAX)
        throw std::bad_alloc();
    // Room for the block's number before the block exists, so that nothing fails after it.
    if (m_table.size() == m_table.capacity())
        m_table.reserve(2 * m_table.size() + 16);
    if (m_freeRefs.capacity() < m_table.size())
        m_freeRefs.reserve(m_table.capacity());
#endif
    void* mem = std::malloc(static_cast<size_t>(total));
    if (!mem)
        throw std::bad_alloc();
    FxTextBlock* b = static_cast<FxTextBlock*>(mem);
#if UINTPTR_MAX > 0xFFFFFFFFu
    if (!m_freeRefs.empty()) {
        b->ref = m_freeRefs.back();
        m_freeRefs.pop_back();
        m_table[b->ref] = b;
    } else {
        b->ref = static_cast<FxBlockRef>(m_table.size());
        m_table.push_back(b);
    }
#endif
    b->dataSize = total - header;
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

char* FxBlockStore::Allocate(FxSize n, FxTextBlock** block) {
    FxTextBlock* b = m_head;
    while (b && b->freeBytes < n)
        b = b->next;
    if (!b)
        b = MakeBlock(n);
    *block = b;
    return AllocateIn(b, n);
}

char* FxBlockStore::AllocateIn(FxTextBlock* b, FxSize n) {
    char* p = b->freePtr;
    b->freePtr += n;
    b->freeBytes -= n;
    return p;
}

bool FxBlockStore::ResizeInPlace(FxTextBlock* b, const char* data, FxSize oldSize, FxSize newSize) {
    if (!b || data + oldSize != b->freePtr || oldSize + b->freeBytes < newSize)
        return false;
    b->freePtr += newSize - oldSize;
    b->freeBytes -= newSize - oldSize;
    return true;
}

void FxBlockStore::Release(FxTextBlock* b, FxSize n, bool suspended, FxBlockRelocator& relocator) {
    if (!b || n <= 0)
        return;
    b->wasted += n;
    FxSize live = b->LiveBytes();
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
#if UINTPTR_MAX > 0xFFFFFFFFu
    m_table[b->ref] = nullptr;
    m_freeRefs.push_back(b->ref); // reserved when the block was made
#endif
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
#if UINTPTR_MAX > 0xFFFFFFFFu
    m_table.clear();
    m_freeRefs.clear();
#endif
}
