// The bytes as a PNG or a JPEG (the first byte chooses): header and decode must fail cleanly or
// give width x height whole pixels.
#include <cstdlib>

#include "graphics/JpegDecoder.h"
#include "graphics/PngDecoder.h"

using namespace lv::misc::imagelib;

volatile u32 g_Sink;

namespace {

template <class Decoder>
void Probe(const u8* data, u32 size)
{
    Decoder decoder;
    s32 w = 0, h = 0;
    decoder.ReadHeader(data, size, &w, &h);
    CImageBuffer buffer;
    if (!decoder.Decode(data, size, buffer))
        return;
    if (buffer.width <= 0 || buffer.height <= 0 || !buffer.pixels)
        std::abort();
    const u32* pixels = reinterpret_cast<const u32*>(buffer.pixels);
    g_Sink = pixels[0] ^ pixels[static_cast<size_t>(buffer.width) * buffer.height - 1];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size)
{
    if (size < 1 || size > 0xFFFFFF)
        return 0;
    if (data[0] & 1)
        Probe<CPNGDecoder>(data + 1, static_cast<u32>(size - 1));
    else
        Probe<CJPEGDecoder>(data + 1, static_cast<u32>(size - 1));
    return 0;
}
