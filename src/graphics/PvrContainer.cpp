#include "graphics/PvrContainer.h"
#include "core/ByteOrder.h"

#include <lzo/lzo1x.h>

#include <cstdlib>
#include <cstring>

#include "core/FileSystem.h"
#include "graphics/Texture.h"

using lv::core::ReadU32;

namespace lv::graphics {

namespace {

// Only the main thread reads ".pvrlzo" files, so one buffer serves every small one.
alignas(8) u8 s_StaticBuffer[kPvrLzoStaticBufferSize];
bool s_LzoReady = false;

bool IsLzoPath(const char* path)
{
    return std::strstr(path, ".pvrlzo") != nullptr;
}

// The file's data ready to parse, and what to give back afterwards.
struct COpenedPvr
{
    const u8* file = nullptr;
    const u8* data = nullptr;
    u32 size = 0;
    bool owned = false;

    bool Open(const char* path)
    {
        u32 fileSize = 0;
        file = core::CFileSystem::Instance().LoadFile(path, &fileSize);
        if (!file)
            return false;
        if (!IsLzoPath(path)) {
            data = file;
            size = fileSize;
            return true;
        }
        return DecompressPvrLzo(file, fileSize, data, size, owned);
    }
    ~COpenedPvr()
    {
        if (owned)
            std::free(const_cast<u8*>(data));
        if (file)
            core::CFileSystem::Instance().FreeFile(file);
    }
};

} // namespace

u8 PvrPixelTypeToFormat(u32 pixelType)
{
    switch (pixelType) {
    case 0:
        return 3;
    case 1:
        return 6;
    case 2:
        return 5;
    case 5:
        return 1;
    case 16:
        return 4;
    case 17:
        return 7;
    case 18:
        return 2;
    case 19:
        return 5;
    case 24:
        return 9;
    case 25:
        return 8;
    case 32:
        return 11;
    case 34:
        return 13;
    case 36:
        return 15;
    case 54:
        return 10;
    default:
        return 0;
    }
}

u32 PvrTopLevelBytes(u8 format, u32 width, u32 height)
{
    if (format == 11 || format == 13 || format == 15) {
        const u64 blocks = static_cast<u64>((width + 3) / 4) * ((height + 3) / 4);
        const u64 bytes = blocks * (format == 11 ? 8 : 16);
        return bytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<u32>(bytes);
    }
    const u64 bytes = static_cast<u64>(width) * height * TextureBitsPerPixel(format) / 8;
    return bytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<u32>(bytes);
}

bool ParsePvrHeader(const u8* data, u32 size, u32* width, u32* height, u8* format)
{
    if (!data || size < kPvrHeaderSize || std::memcmp(data + 44, "PVR!", 4) != 0)
        return false;
    const u8 code = PvrPixelTypeToFormat(ReadU32(data + 16) & 0xFF);
    if (code == 0)
        return false;
    if (width)
        *width = ReadU32(data + 8);
    if (height)
        *height = ReadU32(data + 4);
    if (format)
        *format = code;
    return true;
}

bool DecompressPvrLzo(const u8* file, u32 fileSize, const u8*& out, u32& outSize, bool& owned)
{
    out = nullptr;
    outSize = 0;
    owned = false;
    if (!file || fileSize < 8)
        return false;
    if (!s_LzoReady) {
        if (lzo_init() != LZO_E_OK)
            return false;
        s_LzoReady = true;
    }
    const u32 expected = ReadU32(file + fileSize - 4);
    if (expected == 0 || expected > kPvrLzoMaxSize)
        return false;
    u8* buffer = s_StaticBuffer;
    if (expected > kPvrLzoStaticBufferSize) {
        buffer = static_cast<u8*>(std::malloc(expected));
        if (!buffer)
            return false;
    }
    lzo_uint produced = expected;
    const int result = lzo1x_decompress_safe(file, fileSize - 8, buffer, &produced, nullptr);
    if (result != LZO_E_OK || produced != expected) {
        if (buffer != s_StaticBuffer)
            std::free(buffer);
        return false;
    }
    out = buffer;
    outSize = expected;
    owned = buffer != s_StaticBuffer;
    return true;
}

bool ReadPvrHeader(const char* path, u32* width, u32* height, u8* format)
{
    if (!path || !*path)
        return false;
    COpenedPvr pvr;
    return pvr.Open(path) && ParsePvrHeader(pvr.data, pvr.size, width, height, format);
}

bool LoadPvrIntoTexture(const char* path, CTexture* texture)
{
    if (!path || !*path || !texture)
        return false;
    COpenedPvr pvr;
    u32 width = 0, height = 0;
    u8 format = 0;
    if (!pvr.Open(path) || !ParsePvrHeader(pvr.data, pvr.size, &width, &height, &format))
        return false;
    // The rows are copied in the texture's own format: another format would be read wrongly and
    // could run past the data.
    if (format != texture->GetFormat() || width != texture->GetWidth() || height != texture->GetHeight())
        return false;
    const u32 bytes = PvrTopLevelBytes(format, width, height);
    if (static_cast<u64>(pvr.size) < static_cast<u64>(kPvrHeaderSize) + bytes)
        return false;
    return texture->UploadData(pvr.data + kPvrHeaderSize, pvr.size - kPvrHeaderSize, width, height, format);
}

} // namespace lv::graphics
