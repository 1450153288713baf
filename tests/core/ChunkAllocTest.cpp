#include "core/ChunkAlloc.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

using namespace lv::core;

namespace {

struct Chain
{
    ChunkBlock* head = nullptr;
    ~Chain() { ChunkFreeAll(head); }
    char* Alloc(u32 n) { return static_cast<char*>(ChunkAlloc(head, 32768, n)); }
};

} // namespace

TEST(ChunkAlloc, UsableSizeAndConsecutiveAddresses)
{
    Chain c;
    EXPECT_EQ(c.Alloc(32761), nullptr);
    EXPECT_EQ(c.head, nullptr);
    char* a = c.Alloc(16);
    char* b = c.Alloc(24);
    char* d = c.Alloc(8);
    EXPECT_EQ(b, a + 16);
    EXPECT_EQ(d, b + 24);
    // The whole usable size can be handed out in one piece.
    Chain whole;
    char* all = whole.Alloc(32760);
    ASSERT_NE(all, nullptr);
    std::memset(all, 0xAB, 32760);
}

TEST(ChunkAlloc, NewBlockOnlyWhenNothingFitsAndEarlierBlocksKeepTheirRoom)
{
    Chain c;
    char* first = c.Alloc(32000);
    char* second = c.Alloc(1000); // 760 bytes left in the first block: a new one
    char* third = c.Alloc(500);   // fits in the first block again
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(third, first + 32000);
    EXPECT_EQ(c.Alloc(300), second + 1000);
    std::memset(first, 1, 32000);
    std::memset(second, 2, 1000);
    std::memset(third, 3, 500);
    ChunkFreeAll(c.head);
    EXPECT_EQ(c.head, nullptr);
}

TEST(ChunkAlloc, RecordsAreAligned)
{
    Chain c;
    for (u32 n : {1u, 3u, 9u, 2u, 15u, 88u, 7u}) {
        auto* p = c.Alloc(n);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % kChunkAlign, 0u) << n;
        std::memset(p, 0, n);
    }
}
