// Decompresses arbitrary bytes as a gzip file: every input must end in true or false, never
// in a crash or a read outside the buffers.
#include "core/FileCompression.h"
#include "core/TextConvert.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

const std::string& SourcePath()
{
    static const std::string path = [] {
        std::random_device rd;
        auto dir = std::filesystem::temp_directory_path() / ("gunzip_fuzz-" + std::to_string(rd()));
        std::filesystem::create_directories(dir);
        return (dir / "input.gz").string();
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // zlib is not instrumented, so the fuzzer cannot find the gzip header by itself: an even
    // first byte puts a valid header before the rest, which then reaches the inflater.
    static const char kHeader[10] = {'\x1f', '\x8b', 8, 0, 0, 0, 0, 0, 0, 3};
    {
        std::ofstream out(SourcePath(), std::ios::binary | std::ios::trunc);
        if (size > 0 && (data[0] & 1) == 0) {
            out.write(kHeader, sizeof(kHeader));
            ++data;
            --size;
        }
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    lv::core::GunzipFile(Utf8ToWide(SourcePath()).c_str(), u"/dev/null");
    return 0;
}
