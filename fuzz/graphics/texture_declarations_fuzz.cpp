// The bytes as "resources.bindump": a blob that passes the check is walked as the texture manager
// and the image handles use it, finding every image by name and reading its frames.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "graphics/ImageInfo.h"
#include "graphics/TextureDeclarations.h"

using namespace lv::graphics;

volatile float g_Sink;

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    if (size > 0xFFFFFF)
        return 0;
    std::vector<u8> bytes(data, data + size);
    // Random bytes rarely carry the magic; patch it in so the fuzzer works on the structure.
    if (bytes.size() >= 4)
        std::memcpy(bytes.data(), &CTextureDeclarations::kMagic, 4);
    CTextureDeclarations declarations;
    if (!declarations.LoadBlob(bytes.data(), static_cast<u32>(bytes.size())))
        return 0;
    const CImageIndexEntry* index = declarations.GetIndex();
    float sum = 0;
    for (u32 i = 0; i < declarations.GetImageCount(); ++i) {
        const CFixedString name(index[i].id.GetText(), index[i].id.GetLength());
        if (declarations.FindEntry(name) != &index[i])
            std::abort();
        const CImageInfo* info = declarations.GetInfo(index[i]);
        for (u32 m = 0; m < info->mapCount; ++m)
            sum += info->delays[info->frameMap[m]];
        if (info->frameCount)
            sum += info->GetFrames()[info->frameCount - 1].Height;
        const CSurfaceRecord& surface = declarations.GetSurfaces()[CTextureDeclarations::SurfaceNumber(info->surfaceOffset)];
        sum += static_cast<float>(std::strlen(surface.path.GetText()));
    }
    g_Sink = sum;
    return 0;
}
