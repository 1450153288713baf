#include "core/ChunkAlloc.h"

#include <cstdlib>
#include <new>

namespace lv::core {

// The header stands in front of the storage; the storage keeps blockSize - 8 bytes, the
// usable size callers rely on, whatever the header's size on this platform.
struct ChunkBlock
{
    ChunkBlock* next;
    u32 used;
    u32 usable;

    char* Storage() { return reinterpret_cast<char*>(this + 1); }
};

static_assert(sizeof(ChunkBlock) % kChunkAlign == 0, "storage must start aligned");

namespace {

constexpr u32 kHeaderSize = 8;

u32 AlignUp(u32 n)
{
    return (n + kChunkAlign - 1) & ~(kChunkAlign - 1);
}

bool Fits(const ChunkBlock* block, u32 size)
{
    const u32 start = AlignUp(block->used);
    return start <= block->usable && block->usable - start >= size;
}

ChunkBlock* NewBlock(u32 usable)
{
    void* memory = std::malloc(sizeof(ChunkBlock) + usable);
    if (!memory)
        throw std::bad_alloc();
    return new (memory) ChunkBlock{nullptr, 0, usable};
}

} // namespace

void* ChunkAlloc(ChunkBlock*& head, u32 blockSize, u32 size)
{
    if (blockSize <= kHeaderSize || size > blockSize - kHeaderSize)
        return nullptr;
    const u32 usable = blockSize - kHeaderSize;
    if (!head)
        head = NewBlock(usable);
    ChunkBlock* block = head;
    while (!Fits(block, size)) {
        if (!block->next) {
            block->next = NewBlock(usable);
            block = block->next;
            break;
        }
        block = block->next;
    }
    const u32 start = AlignUp(block->used);
    block->used = start + size;
    return block->Storage() + start;
}

void ChunkFreeAll(ChunkBlock*& head)
{
    while (head) {
        ChunkBlock* next = head->next;
        std::free(head);
        head = next;
    }
}

} // namespace lv::core
