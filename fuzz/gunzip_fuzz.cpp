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
    {
        std::ofstream out(SourcePath(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    lv::core::GunzipFile(Utf8ToWide(SourcePath()).c_str(), u"/dev/null");
    return 0;
}
