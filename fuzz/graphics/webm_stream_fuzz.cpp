// Reads arbitrary bytes as a WebM file from memory: mkvparser's load, the walk over the video
// track's blocks with seeks both ways, the VP8 decoder and the conversion of its pictures.
// Nothing may crash or read outside the buffers.
#include "content/WebMWriter.h"
#include "graphics/WebMStream.h"
#include "graphics/YuvConvert.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

namespace {

// A small valid file: mkvparser and libvpx are not instrumented, so the fuzzer would hardly
// build one by itself.
const std::vector<u8>& ValidFile()
{
    static const std::vector<u8> file = [] {
        std::random_device rd;
        const auto path = std::filesystem::temp_directory_path() / ("webm_stream_fuzz-" + std::to_string(rd()) + ".webm");
        lv::content::CWebMWriterOptions options;
        options.width = 32;
        options.height = 24;
        options.keyframeInterval = 3;
        lv::content::CWebMWriter writer(options);
        for (u32 k = 0; k < 7; ++k) {
            lv::content::CYuvFrame frame(32, 24, static_cast<u8>(16 + 25 * k));
            frame.Y(k, k) = 235;
            writer.AddFrame(frame);
        }
        writer.WriteFile(path);
        std::ifstream in(path, std::ios::binary);
        std::vector<u8> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::filesystem::remove(path);
        return bytes;
    }();
    return file;
}

void Convert(lv::graphics::CWebMStream& stream, std::vector<u8>& rgba)
{
    const vpx_image_t* picture = stream.GetFrame();
    if (!picture || static_cast<s64>(picture->d_w) != stream.GetWidth() ||
        static_cast<s64>(picture->d_h) != stream.GetHeight())
        return;
    rgba.resize(static_cast<size_t>(picture->d_w) * picture->d_h * 4);
    lv::graphics::YuvToRgbaOpaque(rgba.data(), *picture);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An odd first byte patches the valid file: two bytes of offset, then the bytes to write.
    std::vector<u8> file;
    if (size >= 3 && (data[0] & 1) && !ValidFile().empty()) {
        file = ValidFile();
        const size_t at = (static_cast<size_t>(data[1]) << 8 | data[2]) % file.size();
        const size_t n = std::min(size - 3, file.size() - at);
        std::memcpy(file.data() + at, data + 3, n);
        if (data[0] & 2)
            file.resize(at + n);
    } else {
        file.assign(data, data + size);
    }
    lv::graphics::CWebMStream stream;
    if (!stream.OpenMemory(file.data(), static_cast<s64>(file.size())))
        return 0;
    std::vector<u8> rgba;
    s64 time = 0, duration = 0;
    for (int i = 0; i < 16; ++i) {
        stream.DecodeNext();
        Convert(stream, rgba);
        stream.GetCurrentTimes(&time, &duration);
        stream.PeekNextTimesPrefetch(&time, &duration);
    }
    stream.SkipBlocks(stream.DecodeAhead());
    const s64 end = stream.GetDuration();
    for (const s64 t : {end / 2, s64{0}, end - 1, end / 3, end}) {
        stream.Seek(t);
        Convert(stream, rgba);
    }
    return 0;
}
