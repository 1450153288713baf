// The particle definitions block as the game reads it: the input itself (magic patched in when
// it is long enough). Whatever is accepted is looked up by every stored name, and nothing may
// read outside the block.
#include "anim/ParticleDefinition.h"
#include "anim/ParticleManager.h"

#include <cstring>
#include <string>
#include <vector>

using namespace lv::misc::anim;

volatile u64 g_Sink; // keeps the reads from being optimised away

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    std::vector<u8> block(data, data + size);
    if (block.size() >= 4) {
        const u32 magic = CParticleManager::kMagic;
        std::memcpy(block.data(), &magic, 4);
    }
    CParticleManager particles;
    if (!particles.LoadImage(block.data(), static_cast<u32>(block.size())))
        return 0;
    u64 sum = 0;
    for (u32 i = 0; i < particles.GetCount(); ++i) {
        const u8* record = particles.GetBlob() + 8 + ParticleDefinition::kRecordSize * i;
        const std::string name(reinterpret_cast<const char*>(record + 8), strnlen(reinterpret_cast<const char*>(record + 8), 88));
        if (const ParticleDefinition* d = particles.FindParticle(name.c_str()))
            sum += d->flags + static_cast<u64>(d->emission != 0);
    }
    g_Sink = sum;
    return 0;
}
