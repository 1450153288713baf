// Reads arbitrary bytes as an Ogg Theora file: headers, duration search, decoding to the end, a
// rewind and the conversion of every picture. Nothing may crash or read outside the buffers.
#include "content/TheoraWriter.h"
#include "graphics/TheoraStream.h"
#include "graphics/YuvConvert.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// A small valid file: the fuzzer would hardly find Theora's setup header by itself.
const std::vector<u8>& ValidFile()
{
    static const std::vector<u8> file = [] {
        lv::content::CTheoraWriterOptions options;
        options.width = 24;
        options.height = 20;
        options.keyframeInterval = 4;
        lv::content::CTheoraWriter writer(options);
        for (u32 k = 0; k < 8; ++k) {
            lv::content::CYuvFrame frame(24, 20, static_cast<u8>(16 + 20 * k), static_cast<u8>(100 + k));
            frame.Y(k, k) = 235;
            writer.AddFrame(frame);
        }
        return writer.Finish();
    }();
    return file;
}

void Convert(lv::graphics::CTheoraStream& stream, std::vector<u8>& rgba)
{
    yuv_buffer picture;
    if (!stream.GetPicture(picture))
        return;
    rgba.resize(static_cast<size_t>(picture.y_width) * picture.y_height * 4);
    lv::graphics::YuvToRgbaWithAlpha(rgba.data(), picture, picture);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An odd first byte patches the valid file: two bytes of offset, then the bytes to write.
    std::vector<u8> file;
    if (size >= 3 && (data[0] & 1)) {
        file = ValidFile();
        const size_t at = (static_cast<size_t>(data[1]) << 8 | data[2]) % file.size();
        const size_t n = std::min(size - 3, file.size() - at);
        std::memcpy(file.data() + at, data + 3, n);
        if (data[0] & 2)
            file.resize(at + n); // and cut it there
    } else {
        file.assign(data, data + size);
    }
    lv::graphics::CTheoraStream stream;
    if (!stream.OpenMemory(file.data(), static_cast<u32>(file.size())) || !stream.StartDecoder())
        return 0;
    stream.ComputeDuration();
    std::vector<u8> rgba;
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < 64 && !stream.IsEndOfStream(); ++i) {
            stream.DecodeFrame();
            Convert(stream, rgba);
        }
        stream.Restart();
    }
    return 0;
}
