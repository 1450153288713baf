// Feeds arbitrary bytes to the string block check and, when a block passes, looks up every id it
// lists and reads each text to its end: nothing may read outside the block.
#include "core/StringBlock.h"

#include <cstring>
#include <vector>

using namespace lv::core;

volatile u64 g_Sink; // keeps the reads from being optimised away

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    std::vector<u8> block(data, data + size);
    // Random bytes rarely carry the magic; patch it in so the fuzzer works on the index.
    if (size >= 4)
        std::memcpy(block.data(), &StringBlockMagicBindump, 4);
    if (!CheckStringBlock(block.data(), block.size(), StringBlockMagicBindump))
        return 0;
    const u32 count = GetStringBlockCount(block.data());
    u64 sum = 0;
    for (u32 i = 0; i < count; ++i) {
        s32 id;
        std::memcpy(&id, block.data() + 8 + i * 8, 4);
        const u32 offset = FindStringOffset(block.data(), id);
        if (offset == 0)
            continue;
        for (size_t at = offset; block[at] || block[at + 1]; at += 2)
            sum += block[at];
    }
    g_Sink = sum;
    return 0;
}
