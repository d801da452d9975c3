// The block store under line buffers and undo texts: large blocks with bump allocation, waste
// counting and compaction. Layer: textdoc/.
#pragma once

#include <cstddef>
#include <cstdint>

// One allocation: this header followed by the data area. Space is handed out only at the free
// pointer and never reused inside the block; released space only counts as waste.
struct FxTextBlock {
    int32_t wasted;     // bytes released inside the block since it was made
    int32_t wasteLimit; // a tenth of the data area
    int32_t freeBytes;  // left at the end of the data area
    int32_t dataSize;
    char* freePtr; // first free byte
    FxTextBlock* next;
    FxTextBlock* prev;

    char* Data() { return reinterpret_cast<char*>(this + 1); }
    int32_t LiveBytes() const { return dataSize - freeBytes - wasted; }
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(FxTextBlock) == 28, "28-byte block header");
#endif

class FxBlockStore;

// Moves the live buffers of a block being compacted; implemented by the owner of the buffers,
// which alone knows which records point into the block.
class FxBlockRelocator {
public:
    virtual void MoveLiveBuffers(FxBlockStore& store, FxTextBlock* from, FxTextBlock* to) = 0;

protected:
    ~FxBlockRelocator() = default;
};

class FxBlockStore {
public:
    // Blocks are sized as the smallest multiple of `unit` bytes that holds header and request.
    explicit FxBlockStore(int32_t unit) : m_unit(unit) {}
    ~FxBlockStore() { FreeAll(); }
    FxBlockStore(const FxBlockStore&) = delete;
    FxBlockStore& operator=(const FxBlockStore&) = delete;

    // Hands out n > 0 bytes from the first block with room, or from a new block at the head.
    // Throws std::bad_alloc when no block can be made.
    char* Allocate(int32_t n, FxTextBlock** block);
    // Hands out n bytes from the given block, which must have room (used by compaction).
    char* AllocateIn(FxTextBlock* block, int32_t n);
    // Resizes the block's last allocation in place when it ends at the free pointer and the block
    // has room; returns false (and changes nothing) otherwise.
    bool ResizeInPlace(FxTextBlock* block, const char* data, int32_t oldSize, int32_t newSize);
    // Counts n released bytes; an emptied block is freed, a block at its waste limit compacted
    // through the relocator unless compaction is suspended.
    void Release(FxTextBlock* block, int32_t n, bool suspended, FxBlockRelocator& relocator);
    void FreeAll();

    FxTextBlock* Head() const { return m_head; }
    size_t BlockCount() const { return m_count; }
    size_t AllocatedBytes() const { return m_bytes; }

    // Bump allocation for a block of exactly the given size: used by loading, which knows how
    // much text it will store.
    FxTextBlock* MakeBlock(int32_t request);

private:
    void Unlink(FxTextBlock* block);
    void FreeBlock(FxTextBlock* block);

    int32_t m_unit;
    FxTextBlock* m_head = nullptr;
    size_t m_count = 0;
    size_t m_bytes = 0;
};
