// The bytes as a ".pvrlzo" file (decompressed, then its header parsed) and as a plain PVR header.
#include <cstdlib>

#include "graphics/PvrContainer.h"

using namespace lv::graphics;

volatile u32 g_Sink;

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    if (size > 0xFFFFFF)
        return 0;
    u32 w = 0, h = 0;
    u8 format = 0;
    ParsePvrHeader(data, static_cast<u32>(size), &w, &h, &format);
    const u8* out = nullptr;
    u32 outSize = 0;
    bool owned = false;
    if (DecompressPvrLzo(data, static_cast<u32>(size), out, outSize, owned)) {
        if (!out || outSize == 0)
            std::abort();
        g_Sink = out[outSize - 1];
        ParsePvrHeader(out, outSize, &w, &h, &format);
        if (owned)
            std::free(const_cast<u8*>(out));
    }
    return 0;
}
