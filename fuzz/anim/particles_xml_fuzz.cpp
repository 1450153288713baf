// Particle XML compiled into the definitions block, which the manager must then accept and
// find every definition in by name.
#include "anim/ParticleDefinition.h"
#include "anim/ParticleManager.h"
#include "anim/ParticlesBuilder.h"

#include <cstdlib>
#include <vector>

using namespace lv::misc::anim;

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    CParticlesBuilder builder;
    builder.AddXml(reinterpret_cast<const char*>(data), size);
    const std::vector<u8> block = builder.Build();
    CParticleManager particles;
    if (!particles.LoadImage(block.data(), static_cast<u32>(block.size())) || particles.GetCount() != builder.GetCount())
        std::abort();
    for (u32 i = 0; i < particles.GetCount(); ++i) {
        const auto* d = reinterpret_cast<const ParticleDefinition*>(particles.GetBlob() + 8 + ParticleDefinition::kRecordSize * i);
        if (!particles.FindParticle(d->id.GetText()))
            std::abort();
    }
    return 0;
}
