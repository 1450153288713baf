// The bytes as "texturesalpha.bindump": a file that passes the check answers hit tests for every
// entry at corners, the centre and outside without reading past its runs.
#include <cstring>
#include <vector>

#include "graphics/TexturesAlpha.h"

using namespace lv::graphics;

volatile u32 g_Sink;

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    if (size > 0xFFFFFF)
        return 0;
    std::vector<u8> bytes(data, data + size);
    if (bytes.size() >= 4)
        std::memcpy(bytes.data(), &CTexturesAlpha::kMagic, 4);
    CTexturesAlpha alpha;
    if (!alpha.LoadData(bytes.data(), static_cast<u32>(bytes.size())))
        return 0;
    u32 count = 0;
    std::memcpy(&count, bytes.data() + 4, 4);
    u32 hits = 0;
    for (u32 i = 0; i < count; ++i) {
        const u8* entry = bytes.data() + 8 + static_cast<size_t>(i) * CTexturesAlpha::kEntrySize;
        u16 length = 0, w = 0, h = 0;
        std::memcpy(&length, entry, 2);
        std::memcpy(&w, entry + 96, 2);
        std::memcpy(&h, entry + 98, 2);
        const CFixedString name(reinterpret_cast<const char*>(entry + 8), length);
        const s32 xs[] = {-1, 0, w / 2, w - 1, w, 70000};
        const s32 ys[] = {-1, 0, h / 2, h - 1, h};
        for (s32 x : xs)
            for (s32 y : ys)
                hits += alpha.HitTest(name, x, y);
    }
    g_Sink = hits;
    return 0;
}
