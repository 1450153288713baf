// PVR and ".pvrlzo" files: header checks, decompression into the static or an allocated buffer,
// and uploads of the top level only, into a texture of the same size and format.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TextureTestSupport.h"
#include "content/PvrWriter.h"
#include "TextureTestSupport.h"
#include "graphics/PvrContainer.h"
#include "graphics/TextureFactory.h"

using namespace lv::graphics;

namespace {

std::vector<u8> Bytes(size_t count, u8 seed)
{
    std::vector<u8> out(count);
    for (size_t i = 0; i < count; ++i)
        out[i] = static_cast<u8>(seed + i * 7 + i / 251);
    return out;
}

// A PVR file of exactly `total` bytes: an 8 x 8 ARGB 8888 top level and filler levels.
std::vector<u8> PvrOfSize(size_t total)
{
    return lv::content::BuildPvr(8, 8, 5, 1, Bytes(total - kPvrHeaderSize, 3));
}

} // namespace

TEST(PvrContainerTest, PixelTypesMapToFormatCodes)
{
    const std::pair<u32, u8> table[] = {{0, 3},  {1, 6},   {2, 5},   {5, 1},   {16, 4},  {17, 7}, {18, 2}, {19, 5},
                                        {24, 9}, {25, 8}, {32, 11}, {34, 13}, {36, 15}, {54, 10}, {4, 0}, {3, 0}};
    for (const auto& [type, code] : table)
        EXPECT_EQ(PvrPixelTypeToFormat(type), code) << type;
}

TEST(PvrContainerTest, LzoTrailerAtAndPastTheStaticBuffer)
{
    for (u32 size : {kPvrLzoStaticBufferSize, kPvrLzoStaticBufferSize + 1}) {
        const std::vector<u8> pvr = PvrOfSize(size);
        const std::vector<u8> lzo = lv::content::CompressPvrLzo(pvr);
        const u8* out = nullptr;
        u32 outSize = 0;
        bool owned = true;
        ASSERT_TRUE(DecompressPvrLzo(lzo.data(), static_cast<u32>(lzo.size()), out, outSize, owned)) << size;
        EXPECT_EQ(outSize, size);
        EXPECT_EQ(owned, size > kPvrLzoStaticBufferSize);
        EXPECT_EQ(std::vector<u8>(out, out + outSize), pvr);
        if (owned)
            std::free(const_cast<u8*>(out));
    }
}

TEST(PvrContainerTest, DamagedLzoFailsCleanly)
{
    const std::vector<u8> lzo = lv::content::CompressPvrLzo(PvrOfSize(5000));
    const u8* out = nullptr;
    u32 outSize = 0;
    bool owned = false;
    for (u32 n = 0; n < 9; ++n)
        EXPECT_FALSE(DecompressPvrLzo(lzo.data(), n, out, outSize, owned)) << n;
    std::vector<u8> bad = lzo;
    for (size_t at = 1; at < bad.size() - 8; at += 5)
        bad[at] ^= 0x5A;
    EXPECT_FALSE(DecompressPvrLzo(bad.data(), static_cast<u32>(bad.size()), out, outSize, owned));
    // A trailer announcing more or less than the stream holds.
    for (s32 delta : {-1, 1, 100000}) {
        std::vector<u8> wrong = lzo;
        const u32 size = 5000 + delta;
        std::memcpy(wrong.data() + wrong.size() - 4, &size, 4);
        EXPECT_FALSE(DecompressPvrLzo(wrong.data(), static_cast<u32>(wrong.size()), out, outSize, owned)) << delta;
    }
    std::vector<u8> cut(lzo.begin(), lzo.begin() + lzo.size() / 2);
    cut.insert(cut.end(), lzo.end() - 8, lzo.end());
    EXPECT_FALSE(DecompressPvrLzo(cut.data(), static_cast<u32>(cut.size()), out, outSize, owned));
    EXPECT_EQ(out, nullptr);
}

TEST(PvrContainerTest, HeaderChecksTagAndPixelType)
{
    CContentFolder content;
    const std::vector<u8> pvr = lv::content::BuildPvr(16, 4, 2, 0, Bytes(16 * 4 * 2, 1));
    content.Write("a.pvr", pvr);
    content.Write("a.pvrlzo", lv::content::CompressPvrLzo(pvr));
    for (const char* path : {"a.pvr", "a.pvrlzo"}) {
        u32 w = 0, h = 0;
        u8 format = 0;
        EXPECT_TRUE(ReadPvrHeader(path, &w, &h, &format)) << path;
        EXPECT_EQ(w, 16u);
        EXPECT_EQ(h, 4u);
        EXPECT_EQ(format, 5);
        EXPECT_TRUE(ReadPvrHeader(path, nullptr, nullptr, nullptr));
    }
    for (int at = 44; at < 48; ++at) {
        std::vector<u8> bad = pvr;
        bad[at] ^= 0x20;
        content.Write("bad.pvr", bad);
        content.Write("bad.pvrlzo", lv::content::CompressPvrLzo(bad));
        EXPECT_FALSE(ReadPvrHeader("bad.pvr", nullptr, nullptr, nullptr)) << at;
        EXPECT_FALSE(ReadPvrHeader("bad.pvrlzo", nullptr, nullptr, nullptr)) << at;
    }
    content.Write("rgb888.pvr", lv::content::BuildPvr(4, 4, 4, 0, Bytes(48, 0)));
    EXPECT_FALSE(ReadPvrHeader("rgb888.pvr", nullptr, nullptr, nullptr));
    content.Write("short.pvr", std::vector<u8>(pvr.begin(), pvr.begin() + 51));
    EXPECT_FALSE(ReadPvrHeader("short.pvr", nullptr, nullptr, nullptr));
    EXPECT_FALSE(ReadPvrHeader("missing.pvr", nullptr, nullptr, nullptr));
    EXPECT_FALSE(ReadPvrHeader("", nullptr, nullptr, nullptr));
}

TEST(PvrContainerTest, UploadsTheTopLevelOfMatchingTexturesOnly)
{
    CContentFolder content;
    CRecordingDeviceScope device;
    const std::vector<u8> top = Bytes(8 * 8 * 4, 9);
    std::vector<u8> levels = top;
    const std::vector<u8> smaller = Bytes(4 * 4 * 4 + 2 * 2 * 4 + 4, 200);
    levels.insert(levels.end(), smaller.begin(), smaller.end());
    content.Write("mips.pvr", lv::content::BuildPvr(8, 8, 5, 3, levels));
    content.Write("mips.pvrlzo", lv::content::CompressPvrLzo(lv::content::BuildPvr(8, 8, 5, 3, levels)));
    content.Write("wide.pvr", lv::content::BuildPvr(16, 8, 5, 0, Bytes(16 * 8 * 4, 1)));
    content.Write("short.pvr", lv::content::BuildPvr(8, 8, 5, 0, Bytes(8 * 8 * 4 - 1, 1)));
    content.Write("rgb565.pvr", lv::content::BuildPvr(8, 8, 2, 0, Bytes(8 * 8 * 2, 1)));

    for (const char* path : {"mips.pvr", "mips.pvrlzo"}) {
        CTexture* texture = CTextureManager::Instance().CreateTexture(8, 8);
        ASSERT_NE(texture, nullptr);
        EXPECT_TRUE(LoadPvrIntoTexture(path, texture)) << path;
        EXPECT_EQ(DeviceTexels(texture, 4), top) << path;
    }
    for (const char* path : {"wide.pvr", "short.pvr", "rgb565.pvr", "missing.pvr", ""}) {
        CTexture* texture = CTextureManager::Instance().CreateTexture(8, 8);
        ASSERT_NE(texture, nullptr);
        device.Log().Take();
        EXPECT_FALSE(LoadPvrIntoTexture(path, texture)) << path;
        EXPECT_TRUE(device.Log().Matching("LockRect").empty()) << path;
        EXPECT_EQ(DeviceTexels(texture, 4), std::vector<u8>(8 * 8 * 4, 0)) << path;
    }
    EXPECT_FALSE(LoadPvrIntoTexture("mips.pvr", nullptr));
}
