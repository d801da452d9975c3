// The block store: block sizes, bump allocation, in-place resizing, waste and compaction.
#include <gtest/gtest.h>

#include "textdoc/BlockStore.h"

#include <cstring>
#include <vector>

namespace {

// Buffers owned by a plain list, moved when their block is compacted.
struct Owner : FxBlockRelocator {
    struct Buf {
        char* data;
        FxTextBlock* block;
        int32_t len;
    };
    std::vector<Buf> bufs;
    int compactions = 0;
    void MoveLiveBuffers(FxBlockStore& store, FxTextBlock* from, FxTextBlock* to) override {
        ++compactions;
        for (Buf& b : bufs)
            if (b.block == from && b.len > 0) {
                char* p = store.AllocateIn(to, b.len);
                std::memcpy(p, b.data, static_cast<size_t>(b.len));
                b.data = p;
                b.block = to;
            }
    }
};

} // namespace

TEST(BlockStore, BlocksAreMultiplesOfTheUnit) {
    FxBlockStore store(65520);
    FxTextBlock* b = nullptr;
    store.Allocate(10, &b);
    EXPECT_EQ(b->dataSize + sizeof(FxTextBlock), 65520u);
    EXPECT_EQ(b->wasteLimit, b->dataSize / 10);
    FxTextBlock* big = nullptr;
    store.Allocate(65520, &big); // header plus request need two units
    EXPECT_EQ(big->dataSize + sizeof(FxTextBlock), 2u * 65520u);
    EXPECT_EQ(store.Head(), big);
    FxBlockStore undo(32768);
    FxTextBlock* u = nullptr;
    undo.Allocate(32768 - static_cast<int32_t>(sizeof(FxTextBlock)), &u);
    EXPECT_EQ(u->dataSize + sizeof(FxTextBlock), 32768u);
}

TEST(BlockStore, FirstBlockWithRoomIsUsed) {
    FxBlockStore store(65520);
    FxTextBlock *a = nullptr, *b = nullptr, *c = nullptr;
    char* p = store.Allocate(60000, &a);
    store.Allocate(60000, &b); // no room in a: a new block at the head
    EXPECT_NE(a, b);
    char* q = store.Allocate(100, &c); // room in b (the head) first
    EXPECT_EQ(c, b);
    EXPECT_NE(p, q);
    EXPECT_EQ(store.BlockCount(), 2u);
}

TEST(BlockStore, LastAllocationResizesInPlace) {
    FxBlockStore store(65520);
    FxTextBlock* b = nullptr;
    char* p = store.Allocate(10, &b);
    int32_t freeBefore = b->freeBytes;
    EXPECT_TRUE(store.ResizeInPlace(b, p, 10, 30));
    EXPECT_EQ(b->freeBytes, freeBefore - 20);
    EXPECT_TRUE(store.ResizeInPlace(b, p, 30, 5));
    FxTextBlock* b2 = nullptr;
    store.Allocate(4, &b2);
    EXPECT_FALSE(store.ResizeInPlace(b, p, 5, 8)); // no longer at the free pointer
}

TEST(BlockStore, WasteLimitCompactsLiveBuffers) {
    FxBlockStore store(65520);
    Owner owner;
    for (int i = 0; i < 600; ++i) {
        Owner::Buf buf;
        buf.len = 100;
        buf.data = store.Allocate(buf.len, &buf.block);
        std::memset(buf.data, 'a' + i % 26, 100);
        owner.bufs.push_back(buf);
    }
    FxTextBlock* first = owner.bufs[0].block;
    // Release every other buffer of the first block until its waste reaches a tenth.
    int released = 0;
    for (size_t i = 0; i < owner.bufs.size() && owner.compactions == 0; i += 2) {
        if (owner.bufs[i].block != first)
            continue;
        Owner::Buf& buf = owner.bufs[i];
        buf.len = 0;
        FxTextBlock* blk = buf.block;
        buf.block = nullptr;
        store.Release(blk, 100, false, owner);
        ++released;
    }
    EXPECT_EQ(owner.compactions, 1);
    EXPECT_EQ(released, 66); // 6,600 bytes of waste reach the limit of a tenth
    for (size_t i = 0; i < owner.bufs.size(); ++i) {
        if (owner.bufs[i].len) {
            EXPECT_EQ(owner.bufs[i].data[99], 'a' + static_cast<int>(i % 26)) << i;
        }
    }
}

TEST(BlockStore, SuspendedCompactionOnlyCountsWaste) {
    FxBlockStore store(65520);
    Owner owner;
    FxTextBlock* b = nullptr;
    store.Allocate(10000, &b);
    store.Allocate(10000, &b);
    store.Release(b, 10000, true, owner);
    EXPECT_EQ(owner.compactions, 0);
    EXPECT_EQ(b->wasted, 10000);
    store.Release(b, 10000, true, owner); // nothing live: freed even while suspended
    EXPECT_EQ(store.BlockCount(), 0u);
}
