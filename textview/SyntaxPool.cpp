// Size-class pools and the keyword arena. Layer: textview/.
#include "textview/SyntaxPool.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

const size_t kClassSize[6] = {32, 64, 80, 128, 256, 512};
const size_t kClassChunk[6] = {113, 60, 48, 31, 15, 7};
const uint32_t kSyntaxHeapTag = 0xFFu;
// The tag in front of each block; pointer-sized so that what follows stays pointer-aligned.
const size_t kTag = sizeof(void*) > 4 ? sizeof(void*) : 4;
// A chunk's link sits in a header of 16 bytes so that the blocks keep 16-byte alignment.
const size_t kChunkHeader = 16;

SmallBlockPool& PoolOf(int i) {
    // Constructed on first use, never destroyed before the last table that uses them.
    static SmallBlockPool* pools[6] = {new SmallBlockPool(kClassSize[0], kClassChunk[0]),
                                       new SmallBlockPool(kClassSize[1], kClassChunk[1]),
                                       new SmallBlockPool(kClassSize[2], kClassChunk[2]),
                                       new SmallBlockPool(kClassSize[3], kClassChunk[3]),
                                       new SmallBlockPool(kClassSize[4], kClassChunk[4]),
                                       new SmallBlockPool(kClassSize[5], kClassChunk[5])};
    return *pools[i];
}

} // namespace

SmallBlockPool::SmallBlockPool(size_t blockSize, size_t chunkBlocks)
    : m_blockSize(blockSize), m_chunkBlocks(chunkBlocks) {}

SmallBlockPool::~SmallBlockPool() {
    while (m_chunks) {
        Link* next = m_chunks->next;
        std::free(m_chunks);
        m_chunks = next;
    }
}

void* SmallBlockPool::Take() {
    if (!m_free) {
        char* chunk = static_cast<char*>(std::malloc(kChunkHeader + m_blockSize * m_chunkBlocks));
        if (!chunk)
            throw std::bad_alloc();
        Link* c = reinterpret_cast<Link*>(chunk);
        c->next = m_chunks;
        m_chunks = c;
        ++m_chunkCount;
        for (size_t i = m_chunkBlocks; i-- > 0;) {
            Link* b = reinterpret_cast<Link*>(chunk + kChunkHeader + i * m_blockSize);
            b->next = m_free;
            m_free = b;
        }
    }
    Link* b = m_free;
    m_free = b->next;
    ++m_inUse;
    return b;
}

void SmallBlockPool::Give(void* block) {
    Link* b = static_cast<Link*>(block);
    b->next = m_free;
    m_free = b;
    --m_inUse;
}

void* SyntaxAlloc(size_t size) {
    size_t need = size + kTag;
    for (int i = 0; i < 6; ++i) {
        if (need <= kClassSize[i]) {
            char* b = static_cast<char*>(PoolOf(i).Take());
            *reinterpret_cast<uint32_t*>(b) = static_cast<uint32_t>(i);
            return b + kTag;
        }
    }
    char* b = static_cast<char*>(std::malloc(need));
    if (!b)
        throw std::bad_alloc();
    *reinterpret_cast<uint32_t*>(b) = kSyntaxHeapTag;
    return b + kTag;
}

void SyntaxFree(void* p) {
    if (!p)
        return;
    char* b = static_cast<char*>(p) - kTag;
    uint32_t tag = *reinterpret_cast<uint32_t*>(b);
    if (tag < 6)
        PoolOf(static_cast<int>(tag)).Give(b);
    else
        std::free(b);
}

char* SyntaxStrDup(const char* text, size_t len) {
    char* s = static_cast<char*>(SyntaxAlloc(len + 1));
    if (len)
        std::memcpy(s, text, len);
    s[len] = 0;
    return s;
}

const SmallBlockPool& SyntaxPoolOf(int sizeClass) {
    return PoolOf(sizeClass);
}

SyntaxArena& SyntaxArena::operator=(SyntaxArena&& o) noexcept {
    if (this != &o) {
        Clear();
        m_head = o.m_head;
        o.m_head = nullptr;
    }
    return *this;
}

void* SyntaxArena::Alloc(size_t size) {
    const size_t align = alignof(void*);
    size = (size + align - 1) & ~(align - 1);
    if (!m_head || m_head->size - m_head->used < size) {
        size_t blockSize = (size + kHeader + kGranule - 1) / kGranule * kGranule;
        Block* b = static_cast<Block*>(std::malloc(blockSize));
        if (!b)
            throw std::bad_alloc();
        b->next = m_head;
        b->size = blockSize;
        b->used = kHeader;
        m_head = b;
    }
    void* p = reinterpret_cast<char*>(m_head) + m_head->used;
    m_head->used += size;
    return p;
}

void SyntaxArena::Clear() {
    while (m_head) {
        Block* next = m_head->next;
        std::free(m_head);
        m_head = next;
    }
}

size_t SyntaxArena::BlockCount() const {
    size_t n = 0;
    for (Block* b = m_head; b; b = b->next)
        ++n;
    return n;
}
