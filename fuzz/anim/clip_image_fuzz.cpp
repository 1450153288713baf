// The clip definitions image as the game reads it. The input is either the image itself (magic
// patched in), or, when it holds a zero byte, clip XML before it, compiled into an image and
// then damaged by the (u16 position, u8 xor) triples after it. Whatever the checker accepts is
// walked to the end: every clip found by its index name, every item, key point, sound point,
// marker and path point read, and nothing may read outside the image or write into it.
#include "anim/ClipHeader.h"
#include "anim/ClipItem.h"
#include "anim/ClipManager.h"
#include "anim/ClipsBuilder.h"

#include <cstring>
#include <vector>

using namespace lv::misc::anim;

volatile u64 g_Sink; // keeps the reads from being optimised away

namespace {

u64 Walk(const CClipManager& clips)
{
    u64 sum = 0;
    const u8* image = clips.GetImage();
    for (u32 i = 0; i < clips.GetClipCount(); ++i) {
        const auto& name = *reinterpret_cast<const CFixedString*>(image + 8 + 100 * i);
        const CClipHeader* clip = clips.FindClip(name.GetText());
        if (!clip)
            continue; // an unsorted index may hide a name from the binary search
        sum += clip->Flags;
        for (const CClipItem* item = clip->GetFirstItem(); item->Size != 0; item = item->GetNext()) {
            sum += item->Kind + item->Name.GetHash() + item->ParentName.GetLength();
            for (u32 k = 0; k < item->KeyPointCount; ++k)
                sum += static_cast<u64>(item->GetKeyPoints()[k].Time) + item->GetKeyPoints()[k].Interpolate;
            for (u32 s = 0; s < item->SoundPointCount; ++s)
                sum += item->GetSoundPoints()[s].Name.GetHash();
            for (u32 m = 0; m < item->MarkerCount; ++m)
                sum += item->GetMarkers()[m].Name.GetLength();
            if (item->Kind == ClipItemPath) {
                const CClipPathData& path = item->GetPathData();
                for (u32 p = 0; p < path.PointCount; ++p)
                    sum += static_cast<u64>(path.GetPoints()[p].Anchor.X != 0);
            } else if (item->Kind == ClipItemText) {
                sum += item->GetTextData().Text.GetHash() + item->GetTextData().Font.GetHash();
            } else {
                sum += reinterpret_cast<const CFixedString*>(item->GetKindData())->GetHash();
            }
        }
    }
    return sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    std::vector<u8> image;
    const u8* zero = static_cast<const u8*>(std::memchr(data, 0, size));
    if (zero) {
        CClipsBuilder builder;
        builder.AddXml(reinterpret_cast<const char*>(data), zero - data);
        image = builder.Build();
        for (const u8* p = zero + 1; p + 3 <= data + size; p += 3) {
            const size_t at = (p[0] | (p[1] << 8)) % image.size();
            image[at] ^= p[2];
        }
    } else {
        image.assign(data, data + size);
        if (image.size() >= 4)
            std::memcpy(image.data(), &CClipManager::kMagic, 4);
    }
    CClipManager clips;
    if (!clips.LoadImage(image.data(), static_cast<u32>(image.size())))
        return 0;
    g_Sink = Walk(clips);
    return 0;
}
