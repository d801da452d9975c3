// Storage of the syntax tables: six size-class pools for rule strings, pair records and group
// names, and the arena that holds a keyword table's entries. Layer: textview/ (byte-level).
#pragma once

#include <cstddef>
#include <cstdint>

// A pool of equal blocks carved from chunks of a fixed number of blocks. Chunks are kept until
// the pool is destroyed; freed blocks go onto a free list and are handed out again first.
class SmallBlockPool {
public:
    SmallBlockPool(size_t blockSize, size_t chunkBlocks);
    ~SmallBlockPool();
    SmallBlockPool(const SmallBlockPool&) = delete;
    SmallBlockPool& operator=(const SmallBlockPool&) = delete;

    void* Take();
    void Give(void* block);
    size_t BlockSize() const { return m_blockSize; }
    size_t InUse() const { return m_inUse; }
    size_t ChunkCount() const { return m_chunkCount; }

private:
    struct Link {
        Link* next;
    };
    size_t m_blockSize, m_chunkBlocks;
    size_t m_inUse = 0, m_chunkCount = 0;
    Link* m_chunks = nullptr; // chunk list, newest first
    Link* m_free = nullptr;
};

// Allocation for the syntax tables. Every block carries a size tag in front of the caller's
// bytes: the index of its pool, or kSyntaxHeapTag for a request too large for any pool.
// The tag is 4 bytes on the 32-bit target (pointer-sized, so the caller's bytes stay aligned
// for pointers on any build).
void* SyntaxAlloc(size_t size);
void SyntaxFree(void* p);
char* SyntaxStrDup(const char* text, size_t len); // zero-terminated copy, from the pools
// The pool of size class i (0..5: 32, 64, 80, 128, 256, 512 bytes), for tests.
const SmallBlockPool& SyntaxPoolOf(int sizeClass);

// Bump allocation from blocks of (request + 24-byte header) rounded up to 8192 bytes, newest
// block first; everything is freed at once.
class SyntaxArena {
public:
    SyntaxArena() = default;
    ~SyntaxArena() { Clear(); }
    SyntaxArena(const SyntaxArena&) = delete;
    SyntaxArena& operator=(const SyntaxArena&) = delete;
    SyntaxArena(SyntaxArena&& o) noexcept : m_head(o.m_head) { o.m_head = nullptr; }
    SyntaxArena& operator=(SyntaxArena&& o) noexcept;

    // Pointer-aligned (4 bytes on the target). Throws std::bad_alloc.
    void* Alloc(size_t size);
    void Clear();
    size_t BlockCount() const;

private:
    struct Block {
        Block* next;
        size_t size; // whole block, header included
        size_t used; // header included
    };
    static const size_t kHeader = 24;
    static const size_t kGranule = 8192;
    static_assert(sizeof(Block) <= kHeader, "the block header fits in 24 bytes");
    Block* m_head = nullptr;
};
