// Arbitrary bytes as an Ogg Vorbis file in memory: opening, reading, seeking, rewinding and the
// total time must stay inside the data.
#include "sound/OggVorbisStream.h"

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    if (size > (1u << 20) || size < 2)
        return 0;
    lv::sound::COggVorbisStream stream(static_cast<s32>(64 + data[0] * 32));
    if (!stream.OpenMemory(data, static_cast<u32>(size)))
        return 0;
    static s16 buffer[4096];
    u32 total = 0;
    while (u32 got = stream.Read(buffer, sizeof(buffer))) {
        total += got;
        if (total > (4u << 20))
            break;
    }
    const double length = stream.GetTotalTime();
    if (length > 0.002 && length < 600.0)
        stream.SeekTime(length * (data[1] / 255.0));
    stream.Read(nullptr, 8192);
    stream.Rewind();
    stream.Read(buffer, sizeof(buffer));
    return 0;
}
