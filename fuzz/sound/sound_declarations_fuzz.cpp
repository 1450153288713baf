// Arbitrary bytes as a sounds.xml document and as a "SNDS" image: building, reading every
// record and turning the records into sound types must stay inside the data.
#include "core/TimeSystem.h"
#include "sound/AudioManager.h"
#include "sound/SoundDeclarations.h"
#include "sound/SoundDeclarationsBuilder.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    if (size > (1u << 20))
        return 0;
    lv::sound::CSoundDeclarationsBuilder builder;
    builder.AddXml(reinterpret_cast<const char*>(data), size);
    const std::vector<u8> built = builder.Build();

    static lv::core::CTimeSystem timeSystem([] { return 0.0; });
    lv::sound::CAudioManager audio(timeSystem, nullptr);
    for (const std::vector<u8>& image : {built, std::vector<u8>(data, data + size)}) {
        lv::sound::CSoundDeclarations declarations;
        if (!declarations.UseImage(image.data(), static_cast<u32>(image.size())))
            continue;
        lv::sound::CSoundDeclarationRecord record;
        for (u32 i = 0; i < declarations.GetCount(); ++i)
            declarations.GetRecord(i, record);
        audio.LoadSoundTypes(declarations);
        for (u32 i = 0; i < declarations.GetCount(); ++i)
            if (declarations.GetRecord(i, record))
                audio.Play(record.m_Id.GetText());
    }
    return 0;
}
