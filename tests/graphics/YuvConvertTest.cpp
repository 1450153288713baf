#include "graphics/YuvConvert.h"

#include <gtest/gtest.h>

#include <vector>
#include <vpx/vpx_image.h>

using lv::graphics::CYuvPicture;

namespace {

// A picture over planes of the given sizes filled with one value each.
struct CPlanes
{
    std::vector<u8> y, u, v;
    CYuvPicture Picture(s32 w, s32 h, s32 yStride, s32 uvStride)
    {
        CYuvPicture p;
        p.width = w;
        p.height = h;
        p.y = y.data();
        p.u = u.data();
        p.v = v.data();
        p.yStride = yStride;
        p.uStride = p.vStride = uvStride;
        return p;
    }
};

std::vector<u8> ConvertGrey(u8 luma)
{
    CPlanes planes{{luma}, {128}, {128}};
    std::vector<u8> out(4, 0x77);
    lv::graphics::YuvToRgbaOpaque(out.data(), planes.Picture(1, 1, 1, 1));
    return out;
}

} // namespace

TEST(YuvConvertTest, NeutralChromaGivesTheStudioRangeGreys)
{
    const struct
    {
        u8 luma;
        u8 grey;
    } cases[] = {{16, 0}, {235, 254}, {255, 255}, {0, 0}, {128, 130}};
    for (const auto& c : cases) {
        const std::vector<u8> out = ConvertGrey(c.luma);
        EXPECT_EQ(out[0], c.grey) << int(c.luma);
        EXPECT_EQ(out[1], c.grey) << int(c.luma);
        EXPECT_EQ(out[2], c.grey) << int(c.luma);
        // The opaque form leaves the fourth byte as it was.
        EXPECT_EQ(out[3], 0x77) << int(c.luma);
    }
}

TEST(YuvConvertTest, ChromaMovesTheChannelsApartAndClamps)
{
    // Pure red-ish chroma: V high raises red, lowers green; U low lowers blue below 0 (clamped).
    CPlanes planes{{128}, {0}, {255}};
    std::vector<u8> out(4, 0);
    lv::graphics::YuvToRgbaOpaque(out.data(), planes.Picture(1, 1, 1, 1));
    // Blue falls below 0 and red rises above 255: both clamped.
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[2], 255);
    // Green from the table values: (Yc[128] - Gu[0] - Gv[255]) >> 13.
    const s32 y = static_cast<s32>((8192 * 1.164 + 0.5) * 112);
    const s32 gu = static_cast<s32>((8192 * 0.391 + 0.5) * -128);
    const s32 gv = static_cast<s32>((8192 * 0.813 + 0.5) * 127);
    EXPECT_EQ(out[1], (y - gu - gv) >> 13);
}

TEST(YuvConvertTest, AlphaComesFromTheSecondPicturesLuma)
{
    const u8 lumas[] = {16, 17, 126, 234, 235, 0, 255};
    const u8 alphas[] = {0, 1, 128, 253, 255, 0, 255};
    CPlanes colour{std::vector<u8>(7, 235), {128, 128, 128, 128}, {128, 128, 128, 128}};
    CPlanes alpha{std::vector<u8>(lumas, lumas + 7), {}, {}};
    std::vector<u8> out(7 * 4, 0x11);
    lv::graphics::YuvToRgbaWithAlpha(out.data(), colour.Picture(7, 1, 7, 4), alpha.Picture(7, 1, 7, 0));
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(out[i * 4 + 3], alphas[i]) << "luma " << int(lumas[i]);
        EXPECT_EQ(out[i * 4 + 2], 254);
    }
}

TEST(YuvConvertTest, OddPictureSharesChromaByHalvedCoordinatesAndHonoursStrides)
{
    // 3 x 3 picture in padded planes (Y stride 8, chroma stride 5). Chroma samples are told apart
    // by U; row 1 of chroma is only used by picture row 2.
    CPlanes planes{std::vector<u8>(8 * 3, 128), std::vector<u8>(5 * 2, 0), std::vector<u8>(5 * 2, 128)};
    const u8 marks[2][2] = {{60, 90}, {160, 200}};
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c)
            planes.u[r * 5 + c] = marks[r][c];
    std::vector<u8> out(3 * 3 * 4, 0);
    lv::graphics::YuvToRgbaOpaque(out.data(), planes.Picture(3, 3, 8, 5));
    const auto blueOf = [](u8 u) {
        CPlanes one{{128}, {u}, {128}};
        std::vector<u8> px(4, 0);
        lv::graphics::YuvToRgbaOpaque(px.data(), one.Picture(1, 1, 1, 1));
        return px[0];
    };
    const int expected[3][3] = {{0, 0, 1}, {0, 0, 1}, {2, 2, 3}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            const int sample = expected[r][c];
            EXPECT_EQ(out[(r * 3 + c) * 4], blueOf(marks[sample / 2][sample % 2])) << r << "," << c;
        }
}

TEST(YuvConvertTest, LibvpxAndTheoraFormsReadTheirOwnFields)
{
    std::vector<u8> y(16 * 2, 235), u(8, 128), v(8, 128);
    y[16] = 16; // first pixel of row 1 behind the stride
    vpx_image_t image = {};
    image.d_w = 2;
    image.d_h = 2;
    image.planes[0] = y.data();
    image.planes[1] = u.data();
    image.planes[2] = v.data();
    image.stride[0] = 16;
    image.stride[1] = image.stride[2] = 8;
    yuv_buffer buffer = {};
    buffer.y_width = 2;
    buffer.y_height = 2;
    buffer.y_stride = 16;
    buffer.uv_stride = 8;
    buffer.y = y.data();
    buffer.u = u.data();
    buffer.v = v.data();
    std::vector<u8> fromVpx(16, 1), fromTheora(16, 1);
    lv::graphics::YuvToRgbaOpaque(fromVpx.data(), image);
    lv::graphics::YuvToRgbaOpaque(fromTheora.data(), buffer);
    const std::vector<u8> expected = {254, 254, 254, 1, 254, 254, 254, 1, 0, 0, 0, 1, 254, 254, 254, 1};
    EXPECT_EQ(fromVpx, expected);
    EXPECT_EQ(fromTheora, expected);
    lv::graphics::YuvToRgbaWithAlpha(fromVpx.data(), image, image);
    EXPECT_EQ(fromVpx[3], 255);
    EXPECT_EQ(fromVpx[11], 0);
}
