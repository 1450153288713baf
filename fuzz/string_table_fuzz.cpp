// Two ways into the string table. The bytes as a binary table: when the check passes, every id
// it lists is looked up and its text read to the end, and nothing may read outside the block.
// The bytes as strings.xml: the block built from them must pass the same check.
#include "core/StringBlock.h"
#include "core/StringBlockBuilder.h"

#include <cstdlib>
#include <cstring>
#include <vector>

using namespace lv::core;

volatile u64 g_Sink; // keeps the reads from being optimised away

namespace {

void ProbeBlock(std::vector<u8>& block)
{
    // Random bytes rarely carry the magic; patch it in so the fuzzer works on the index.
    if (block.size() >= 4)
        std::memcpy(block.data(), &StringBlockMagicBindump, 4);
    if (!CheckStringBlock(block.data(), block.size(), StringBlockMagicBindump))
        return;
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
}

void ProbeXml(const u8* data, size_t size)
{
    const std::vector<char> xml(data, data + size);
    CStringBlockBuilder builder;
    builder.AddXml(xml.data(), xml.size());
    const std::vector<u8> block = builder.Build(StringBlockMagicUtf16);
    if (!CheckStringBlock(block.data(), block.size(), StringBlockMagicUtf16))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    std::vector<u8> block(data, data + size);
    ProbeBlock(block);
    ProbeXml(data, size);
    return 0;
}
