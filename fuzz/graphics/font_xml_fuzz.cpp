// The font XML compiler: whatever the document, the block it builds is one the loader admits.
#include <cstdlib>

#include "graphics/FontBlock.h"
#include "graphics/FontBuilder.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    lv::graphics::CFontBuilder builder;
    builder.Parse(reinterpret_cast<const char*>(data), size);
    builder.Finalize(size > 0 ? data[0] : 0, 64);
    u32 blockSize = 0;
    u8* block = builder.Build(blockSize);
    if (block && !lv::graphics::IsValidFontBlock(block, blockSize))
        std::abort();
    std::free(block);
    return 0;
}
