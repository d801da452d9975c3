// The block store under line buffers and undo texts: large blocks with bump allocation, waste
// counting and compaction. Layer: textdoc/.
#pragma once

#include "textdoc/FxTypes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// One allocation: this header followed by the data area. Space is handed out only at the free
// pointer and never reused inside the block; released space only counts as waste.
// Sizes are FxSize: a block of the 64-bit build may exceed 2 GB (the saved text of an edit that
// removed more than that), one of the 32-bit build never does.
struct FxTextBlock {
    FxSize wasted;     // bytes released inside the block since it was made
    FxSize wasteLimit; // a tenth of the data area
    FxSize freeBytes;  // left at the end of the data area
    FxSize dataSize;
    char* freePtr; // first free byte
    FxTextBlock* next;
    FxTextBlock* prev;
#if UINTPTR_MAX > 0xFFFFFFFFu
    FxBlockRef ref; // the block's number in its store's table
#endif

    char* Data() {
        return reinterpret_cast<char*>(this + 1);
    }
    const char* Data() const {
        return reinterpret_cast<const char*>(this + 1);
    }
    FxSize LiveBytes() const {
        return dataSize - freeBytes - wasted;
    }
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
    explicit FxBlockStore(FxSize unit) : m_unit(unit) {}
    ~FxBlockStore() { FreeAll(); }
    FxBlockStore(const FxBlockStore&) = delete;
    FxBlockStore& operator=(const FxBlockStore&) = delete;

    // Hands out n > 0 bytes from the first block with room, or from a new block at the head.
    // Throws std::bad_alloc when no block can be made.
    char* Allocate(FxSize n, FxTextBlock** block);
    // Hands out n bytes from the given block, which must have room (used by compaction).
    char* AllocateIn(FxTextBlock* block, FxSize n);
    // Resizes the block's last allocation in place when it ends at the free pointer and the block
    // has room; returns false (and changes nothing) otherwise.
    bool ResizeInPlace(FxTextBlock* block, const char* data, FxSize oldSize, FxSize newSize);
    // Counts n released bytes; an emptied block is freed, a block at its waste limit compacted
    // through the relocator unless compaction is suspended.
    void Release(FxTextBlock* block, FxSize n, bool suspended, FxBlockRelocator& relocator);
    void FreeAll();

    // A line record's reference to a block of this store, and back.
#if UINTPTR_MAX > 0xFFFFFFFFu
    FxTextBlock* Get(FxBlockRef ref) const {
        return ref ? m_table[ref] : nullptr;
    }
    static FxBlockRef RefOf(const FxTextBlock* block) {
        return block ? block->ref : FxBlockRef{};
    }
#else
    FxTextBlock* Get(FxBlockRef ref) const {
        return ref;
    }
    static FxBlockRef RefOf(FxTextBlock* block) {
        return block;
    }
#endif

    FxTextBlock* Head() const {
        return m_head;
    }
    size_t BlockCount() const {
        return m_count;
    }
    size_t AllocatedBytes() const {
        return m_bytes;
    }

    // Bump allocation for a block of exactly the given size: used by loading, which knows how
    // much text it will store.
    FxTextBlock* MakeBlock(FxSize request);

private:
    void Unlink(FxTextBlock* block);
    void FreeBlock(FxTextBlock* block);

    FxSize m_unit;
#if UINTPTR_MAX > 0xFFFFFFFFu
    // Slot 0 stays empty, so that the reference 0 names no block; freed slots are used again.
    std::vector<FxTextBlock*> m_table;
    std::vector<FxBlockRef> m_freeRefs;
#endif
    FxTextBlock* m_head = nullptr;
    size_t m_count = 0;
    size_t m_bytes = 0;
};
