#pragma once
// A bump allocator over a singly linked chain of fixed-size heap blocks, for many small
// records that live until the whole chain is dropped (strings kept while parsing, pooled
// names). There is no individual free.
#include "core/Types.h"

namespace lv::core {

struct ChunkBlock;

// Every allocation starts at a multiple of this, so records may hold any scalar field.
inline constexpr u32 kChunkAlign = 8;

// Returns size bytes from the first block of the chain that has room, appending a new block of
// blockSize bytes (of which blockSize - 8 are usable) when none has. Requests larger than the
// usable size return null. Requests whose sizes are multiples of kChunkAlign get consecutive
// addresses within a block.
void* ChunkAlloc(ChunkBlock*& head, u32 blockSize, u32 size);

// Frees every block of the chain and empties it.
void ChunkFreeAll(ChunkBlock*& head);

} // namespace lv::core
