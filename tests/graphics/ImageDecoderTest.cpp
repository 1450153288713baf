// PNG and JPEG decoding: every PNG colour type and depth becomes 8-bit BGRA, JPEGs decode within
// rounding of their source, damaged files fail cleanly, and the extension picks the decoder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "content/ImageWriter.h"
#include "TextureTestSupport.h"
#include "graphics/ImageFiles.h"
#include "graphics/JpegDecoder.h"
#include "graphics/PngDecoder.h"

using namespace lv::misc::imagelib;
using lv::content::CPngLayout;

namespace {

u32 Argb(u32 a, u32 r, u32 g, u32 b)
{
    return a << 24 | r << 16 | g << 8 | b;
}

struct CPngCase
{
    const char* name;
    CPngLayout layout;
    std::vector<u32> expected;
};

// A w x h image whose pixel i takes sample values from f(i, channel), with the expected BGRA from
// e(i).
CPngCase MakeCase(const char* name, CPngLayout::EColor color, int depth, bool interlaced, u32 w, u32 h,
                  const std::function<u16(u32, int)>& sample, const std::function<u32(u32)>& expected,
                  std::vector<u32> palette = {})
{
    CPngCase c{name, {}, {}};
    c.layout.width = w;
    c.layout.height = h;
    c.layout.color = color;
    c.layout.bitDepth = depth;
    c.layout.interlaced = interlaced;
    c.layout.palette = std::move(palette);
    for (u32 i = 0; i < w * h; ++i) {
        for (int ch = 0; ch < CPngLayout::Channels(color); ++ch)
            c.layout.samples.push_back(sample(i, ch));
        c.expected.push_back(expected(i));
    }
    return c;
}

std::vector<CPngCase> PngCases()
{
    std::vector<CPngCase> cases;
    const auto v = [](u32 i, int ch) { return static_cast<u16>((i * 37 + ch * 71) & 0xFF); };
    cases.push_back(MakeCase("rgb8", CPngLayout::Rgb, 8, false, 7, 5, v,
                             [&](u32 i) { return Argb(255, v(i, 0), v(i, 1), v(i, 2)); }));
    cases.push_back(MakeCase("rgba8", CPngLayout::Rgba, 8, false, 7, 5, v,
                             [&](u32 i) { return Argb(v(i, 3), v(i, 0), v(i, 1), v(i, 2)); }));
    cases.push_back(
        MakeCase("grey8", CPngLayout::Grey, 8, false, 9, 4, v, [&](u32 i) { return Argb(255, v(i, 0), v(i, 0), v(i, 0)); }));
    cases.push_back(MakeCase("grey_alpha8", CPngLayout::GreyAlpha, 8, false, 9, 4, v,
                             [&](u32 i) { return Argb(v(i, 1), v(i, 0), v(i, 0), v(i, 0)); }));
    cases.push_back(MakeCase(
        "grey4", CPngLayout::Grey, 4, false, 11, 3, [](u32 i, int) { return static_cast<u16>(i % 16); },
        [](u32 i) { return Argb(255, (i % 16) * 17, (i % 16) * 17, (i % 16) * 17); }));
    for (int depth : {1, 2, 4, 8}) {
        const u32 entries = 1u << depth;
        std::vector<u32> palette;
        for (u32 e = 0; e < entries; ++e)
            palette.push_back(Argb(e == 0 ? 0 : (e == 1 ? 128 : 255), e * 13 & 0xFF, e * 29 & 0xFF, e * 7 & 0xFF));
        static const char* const names[] = {"", "palette1", "palette2", "", "palette4", "", "", "", "palette8"};
        cases.push_back(MakeCase(
            names[depth], CPngLayout::Palette, depth, false, 13, 3,
            [=](u32 i, int) { return static_cast<u16>(i % entries); },
            [=](u32 i) { return palette[i % entries]; }, palette));
    }
    const auto v16 = [](u32 i, int ch) { return static_cast<u16>((i * 4099 + ch * 12345) & 0xFFFF); };
    cases.push_back(MakeCase("rgba16", CPngLayout::Rgba, 16, false, 6, 5, v16,
                             [&](u32 i) { return Argb(v16(i, 3) >> 8, v16(i, 0) >> 8, v16(i, 1) >> 8, v16(i, 2) >> 8); }));
    cases.push_back(MakeCase("grey16", CPngLayout::Grey, 16, false, 6, 5, v16,
                             [&](u32 i) { return Argb(255, v16(i, 0) >> 8, v16(i, 0) >> 8, v16(i, 0) >> 8); }));
    cases.push_back(MakeCase("rgba8_interlaced", CPngLayout::Rgba, 8, true, 13, 11, v,
                             [&](u32 i) { return Argb(v(i, 3), v(i, 0), v(i, 1), v(i, 2)); }));
    cases.push_back(MakeCase("palette4_interlaced", CPngLayout::Palette, 4, true, 13, 11,
                             [](u32 i, int) { return static_cast<u16>(i % 3); },
                             [](u32 i) { return std::vector<u32>{0x00102030u, 0xFF405060u, 0x80708090u}[i % 3]; },
                             {0x00102030u, 0xFF405060u, 0x80708090u}));
    return cases;
}

std::vector<u32> Pixels(const CImageBuffer& b)
{
    const u32* p = reinterpret_cast<const u32*>(b.pixels);
    return std::vector<u32>(p, p + static_cast<size_t>(b.width) * b.height);
}

std::vector<u32> Gradient(u32 w, u32 h)
{
    std::vector<u32> pixels;
    for (u32 y = 0; y < h; ++y)
        for (u32 x = 0; x < w; ++x)
            pixels.push_back(Argb(255, 40 + x, 60 + y, 128 + (x + y) / 2));
    return pixels;
}

} // namespace

TEST(ImageDecoderTest, EveryPngBecomesBgra)
{
    for (const CPngCase& c : PngCases()) {
        SCOPED_TRACE(c.name);
        std::vector<u8> file;
        std::string error;
        ASSERT_TRUE(lv::content::EncodePng(c.layout, file, &error)) << error;
        CPNGDecoder decoder;
        s32 w = 0, h = 0;
        ASSERT_TRUE(decoder.ReadHeader(file.data(), static_cast<u32>(file.size()), &w, &h));
        EXPECT_EQ(w, static_cast<s32>(c.layout.width));
        EXPECT_EQ(h, static_cast<s32>(c.layout.height));
        CImageBuffer buffer;
        ASSERT_TRUE(decoder.Decode(file.data(), static_cast<u32>(file.size()), buffer)) << decoder.GetErrorText();
        EXPECT_EQ(buffer.format, CImageBuffer::kFormatArgb32);
        EXPECT_EQ(Pixels(buffer), c.expected);
    }
}

TEST(ImageDecoderTest, TruncatedOrDamagedPngFails)
{
    std::vector<u8> file;
    ASSERT_TRUE(lv::content::EncodePngArgb(16, 16, Gradient(16, 16), true, file));
    for (size_t keep : {size_t(0), size_t(7), size_t(30), file.size() / 2, file.size() - 13}) {
        CPNGDecoder decoder;
        CImageBuffer buffer;
        EXPECT_FALSE(decoder.Decode(file.data(), static_cast<u32>(keep), buffer)) << keep;
        EXPECT_EQ(buffer.pixels, nullptr);
    }
    CPNGDecoder decoder;
    CImageBuffer buffer;
    EXPECT_FALSE(decoder.Decode(file.data(), static_cast<u32>(file.size() / 2), buffer));
    EXPECT_STREQ(decoder.GetErrorText(), "Read Error");
    std::vector<u8> damaged = file;
    damaged[40] ^= 0xFF; // inside the compressed data
    EXPECT_FALSE(decoder.Decode(damaged.data(), static_cast<u32>(damaged.size()), buffer));
}

TEST(ImageDecoderTest, JpegDecodesNearItsSource)
{
    const std::vector<u32> source = Gradient(64, 48);
    std::vector<u8> file;
    ASSERT_TRUE(lv::content::EncodeJpeg(64, 48, source, 100, false, file, true));
    CJPEGDecoder decoder;
    s32 w = 0, h = 0;
    ASSERT_TRUE(decoder.ReadHeader(file.data(), static_cast<u32>(file.size()), &w, &h));
    EXPECT_EQ(w, 64);
    EXPECT_EQ(h, 48);
    CImageBuffer buffer;
    ASSERT_TRUE(decoder.Decode(file.data(), static_cast<u32>(file.size()), buffer));
    const std::vector<u32> pixels = Pixels(buffer);
    ASSERT_EQ(pixels.size(), source.size());
    for (size_t i = 0; i < pixels.size(); ++i) {
        ASSERT_EQ(pixels[i] >> 24, 255u);
        for (int shift : {0, 8, 16})
            ASSERT_LE(std::abs(static_cast<int>((pixels[i] >> shift) & 0xFF) - static_cast<int>((source[i] >> shift) & 0xFF)), 2)
                << i << " " << std::hex << pixels[i] << " " << source[i];
    }
}

TEST(ImageDecoderTest, GreyJpegFillsWholePixels)
{
    const std::vector<u32> source = Gradient(33, 17);
    std::vector<u8> file;
    ASSERT_TRUE(lv::content::EncodeJpeg(33, 17, source, 100, true, file));
    CJPEGDecoder decoder;
    CImageBuffer buffer;
    ASSERT_TRUE(decoder.Decode(file.data(), static_cast<u32>(file.size()), buffer));
    const std::vector<u32> pixels = Pixels(buffer);
    for (size_t i = 0; i < pixels.size(); ++i) {
        const u32 g = (pixels[i] >> 8) & 0xFF;
        ASSERT_EQ(pixels[i], Argb(255, g, g, g));
        ASSERT_LE(std::abs(static_cast<int>(g) - static_cast<int>((source[i] >> 8) & 0xFF)), 2);
    }
}

TEST(ImageDecoderTest, TruncatedJpegStillDecodesAndEmptyFails)
{
    std::vector<u8> file;
    ASSERT_TRUE(lv::content::EncodeJpeg(64, 64, Gradient(64, 64), 90, false, file));
    CJPEGDecoder decoder;
    CImageBuffer buffer;
    for (size_t keep = 700; keep < file.size(); keep += 97)
        EXPECT_TRUE(decoder.Decode(file.data(), static_cast<u32>(keep), buffer)) << keep << decoder.GetErrorText();
    EXPECT_EQ(buffer.width, 64);
    EXPECT_NE(std::string(decoder.GetErrorText()), "");
    CImageBuffer empty;
    EXPECT_FALSE(decoder.Decode(file.data(), 0, empty));
    EXPECT_FALSE(decoder.Decode(nullptr, 0, empty));
    EXPECT_FALSE(decoder.ReadHeader(file.data(), 0, nullptr, nullptr));
    EXPECT_EQ(empty.pixels, nullptr);
}

TEST(ImageDecoderTest, ExtensionChoosesTheDecoder)
{
    CContentFolder content;
    std::vector<u8> png, jpg;
    ASSERT_TRUE(lv::content::EncodePngArgb(5, 3, Gradient(5, 3), false, png));
    ASSERT_TRUE(lv::content::EncodeJpeg(5, 3, Gradient(5, 3), 90, false, jpg));
    content.Write("a.PNG", png);
    content.Write("b.jpg", jpg);
    content.Write("c.jpeg", jpg);
    content.Write("nodot", png);
    content.Write("png.dir/file", png);
    content.Write("empty.jpg", {});

    s32 w = 0, h = 0;
    CImageBuffer buffer;
    EXPECT_TRUE(ReadImageFileSize("a.PNG", &w, &h));
    EXPECT_EQ(w, 5);
    EXPECT_EQ(h, 3);
    EXPECT_TRUE(DecodeImageFile("a.PNG", buffer));
    EXPECT_EQ(buffer.width, 5);
    EXPECT_TRUE(ReadImageFileSize("b.jpg", &w, &h));
    EXPECT_TRUE(DecodeImageFile("b.jpg", buffer));
    for (const char* refused : {"c.jpeg", "nodot", "png.dir/file", "empty.jpg", "missing.png"}) {
        SCOPED_TRACE(refused);
        CImageBuffer none;
        EXPECT_FALSE(ReadImageFileSize(refused, &w, &h));
        EXPECT_FALSE(DecodeImageFile(refused, none));
        EXPECT_EQ(none.pixels, nullptr);
    }
}

TEST(ImageDecoderTest, DownscaleAveragesBlocks)
{
    const std::vector<u32> source = {Argb(255, 0, 0, 0), Argb(255, 100, 0, 0), Argb(55, 0, 200, 0),
                                     Argb(255, 0, 0, 40)};
    u32 target = 0;
    DownscaleArgb(source.data(), 2, 2, &target, 1, 1);
    EXPECT_EQ(target, Argb(205, 25, 50, 10));
}
