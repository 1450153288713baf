#include "core/Checksum.h"

#include "core/MappedFile.h"
#include "core/PathUtils.h"
#include "platform/Files.h"

#include <array>

namespace lv::core {

namespace {

constexpr std::array<u32, 256> MakeTable()
{
    std::array<u32, 256> table{};
    for (u32 i = 0; i < 256; ++i) {
        u32 c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

constexpr std::array<u32, 256> kTable = MakeTable();

} // namespace

u32 Crc32(const void* data, size_t length)
{
    return Crc32Update(0, data, length);
}

u32 Crc32Update(u32 crc, const void* data, size_t length)
{
    const u8* p = static_cast<const u8*>(data);
    u32 c = crc;
    for (size_t i = 0; i < length; ++i)
        c = kTable[(p[i] ^ c) & 0xFFu] ^ (c >> 8);
    return c;
}

u32 Crc32OfFile(const WChar* path)
{
    if (!path)
        return 0xFFFFFFFFu;
    u32 size = 0;
    const void* view = MapFileReadOnly(path, &size);
    if (!view) {
        // An empty file has no mapping but a checksum all the same: that of no data.
        u64 fileSize = 0;
        if (lv::platform::GetFileSize(PathToUtf8(path).c_str(), fileSize) && fileSize == 0)
            return Crc32(nullptr, 0);
        return 0xFFFFFFFFu;
    }
    const u32 crc = Crc32(view, size);
    UnmapFile(view);
    return crc;
}

} // namespace lv::core
