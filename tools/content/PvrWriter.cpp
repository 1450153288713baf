#include "content/PvrWriter.h"
#include "core/ByteOrder.h"

#include <lzo/lzo1x.h>

#include <cstring>

using lv::core::PutU32;

namespace lv::content {

namespace {

void PutU16(std::vector<u8>& out, u16 value)
{
    out.push_back(static_cast<u8>(value));
    out.push_back(static_cast<u8>(value >> 8));
}

} // namespace

bool ConvertArgbToPvr(const std::vector<u32>& pixels, u32 pixelType, std::vector<u8>& out)
{
    out.clear();
    for (u32 p : pixels) {
        const u32 a = p >> 24, r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        switch (pixelType) {
        case 5:
            for (int i = 0; i < 4; ++i)
                out.push_back(static_cast<u8>(p >> (8 * i)));
            break;
        case 0:
            PutU16(out, static_cast<u16>((a >> 4) << 12 | (r >> 4) << 8 | (g >> 4) << 4 | (b >> 4)));
            break;
        case 1:
            PutU16(out, static_cast<u16>((a >> 7) << 15 | (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3)));
            break;
        case 2:
            PutU16(out, static_cast<u16>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3)));
            break;
        default:
            return false;
        }
    }
    return true;
}

std::vector<u8> BuildPvr(u32 width, u32 height, u32 pixelType, u32 mipMapCount, const std::vector<u8>& data)
{
    std::vector<u8> file(52 + data.size(), 0);
    const u32 bits = pixelType == 5 || pixelType == 18 ? 32 : (pixelType == 32 || pixelType == 25 ? 4 : 16);
    PutU32(file, 0, 52);
    PutU32(file, 4, height);
    PutU32(file, 8, width);
    PutU32(file, 12, mipMapCount);
    PutU32(file, 16, pixelType);
    PutU32(file, 20, static_cast<u32>(data.size()));
    PutU32(file, 24, bits);
    std::memcpy(file.data() + 44, "PVR!", 4);
    PutU32(file, 48, 1);
    if (!data.empty())
        std::memcpy(file.data() + 52, data.data(), data.size());
    return file;
}

std::vector<u8> CompressPvrLzo(const std::vector<u8>& file)
{
    static bool ready = lzo_init() == LZO_E_OK;
    (void)ready;
    std::vector<u8> out(file.size() + file.size() / 16 + 64 + 3 + 8);
    std::vector<u8> work(LZO1X_1_MEM_COMPRESS);
    lzo_uint length = 0;
    lzo1x_1_compress(file.data(), file.size(), out.data(), &length, work.data());
    out.resize(length + 8, 0);
    PutU32(out, length + 4, static_cast<u32>(file.size()));
    return out;
}

} // namespace lv::content
