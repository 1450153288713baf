#include "content/ImagePainter.h"

#include <gtest/gtest.h>

#include <string>

#include "content/ImageWriter.h"
#include "core/TempFolder.h"

using lv::content::CImagePainter;

namespace {

u32 Alpha(u32 pixel)
{
    return pixel >> 24;
}
u32 Red(u32 pixel)
{
    return (pixel >> 16) & 255;
}
u32 Blue(u32 pixel)
{
    return pixel & 255;
}

CImagePainter Painted(const std::string& text)
{
    CImagePainter painter;
    std::string error;
    EXPECT_TRUE(painter.Paint(text, &error)) << error;
    return painter;
}

} // namespace

TEST(ImagePainter, FillsTheCanvasAndSkipsCommentsAndBlankLines)
{
    const CImagePainter painter =
        Painted("# a plain tile\n\ncanvas 5 3   # frame size\ncolor 80102030\r\nfill\n");
    ASSERT_EQ(painter.GetWidth(), 5u);
    ASSERT_EQ(painter.GetHeight(), 3u);
    for (u32 pixel : painter.GetPixels())
        EXPECT_EQ(pixel, 0x80102030u);
    // Six digits are an opaque colour.
    EXPECT_EQ(Painted("canvas 1 1\ncolor 102030\nfill").GetPixel(0, 0), 0xFF102030u);
}

TEST(ImagePainter, FramesStandSideBySideAndCommandsPaintTheChosenOnes)
{
    const CImagePainter painter =
        Painted("canvas 4 2 3\ncolor FF0000FF\nfill\nframe 1\ncolor FFFF0000\nrect 0 0 2 2\n"
                "frame all\ncolor FF00FF00\nrect 3 0 1 1\n");
    ASSERT_EQ(painter.GetWidth(), 12u);
    EXPECT_EQ(painter.GetFrameWidth(), 4u);
    EXPECT_EQ(painter.GetFrameCount(), 3u);
    EXPECT_EQ(painter.GetPixel(0, 0), 0xFF0000FFu);
    EXPECT_EQ(painter.GetPixel(4, 1), 0xFFFF0000u) << "frame 1's own rectangle, in frame coordinates";
    EXPECT_EQ(painter.GetPixel(6, 1), 0xFF0000FFu);
    EXPECT_EQ(painter.GetPixel(8, 0), 0xFF0000FFu);
    for (u32 frame = 0; frame < 3; ++frame) {
        EXPECT_EQ(painter.GetPixel(frame * 4 + 3, 0), 0xFF00FF00u) << frame;
        EXPECT_EQ(painter.GetPixel(frame * 4 + 3, 1), 0xFF0000FFu) << frame;
    }
}

TEST(ImagePainter, ShapesCoverTheirPixelsAndSmoothTheirEdges)
{
    // A rectangle on whole pixels is exact; one ending half-way through a pixel covers half.
    CImagePainter rect = Painted("canvas 6 4\ncolor FFFFFFFF\nrect 1 1 2.5 2\n");
    EXPECT_EQ(rect.GetPixel(1, 1), 0xFFFFFFFFu);
    EXPECT_EQ(rect.GetPixel(2, 2), 0xFFFFFFFFu);
    EXPECT_EQ(rect.GetPixel(0, 1), 0u);
    EXPECT_EQ(rect.GetPixel(1, 3), 0u);
    EXPECT_NEAR(Alpha(rect.GetPixel(3, 1)), 128u, 1u);
    EXPECT_EQ(Red(rect.GetPixel(3, 1)), 255u) << "straight alpha keeps the colour";

    // An ellipse fills its middle, not its box's corners, and is symmetric.
    CImagePainter ellipse = Painted("canvas 20 10\ncolor FF00FF00\nellipse 10 5 10 5\n");
    EXPECT_EQ(ellipse.GetPixel(10, 5), 0xFF00FF00u);
    EXPECT_EQ(ellipse.GetPixel(0, 0), 0u);
    EXPECT_EQ(ellipse.GetPixel(19, 9), 0u);
    for (u32 x = 0; x < 10; ++x)
        EXPECT_EQ(ellipse.GetPixel(x, 2), ellipse.GetPixel(19 - x, 2)) << x;

    // A triangle: inside, outside and along its slanted edge.
    CImagePainter triangle = Painted("canvas 10 10\ncolor FFFFFFFF\npolygon 0 0 10 0 0 10\n");
    EXPECT_EQ(triangle.GetPixel(1, 1), 0xFFFFFFFFu);
    EXPECT_EQ(triangle.GetPixel(8, 8), 0u);
    EXPECT_NEAR(Alpha(triangle.GetPixel(4, 5)), 128u, 40u);

    // Rounded corners leave the corner pixel out but keep the edge's middle.
    CImagePainter rounded = Painted("canvas 20 20\ncolor FFFFFFFF\nrect 0 0 20 20 8\n");
    EXPECT_EQ(rounded.GetPixel(0, 0), 0u);
    EXPECT_EQ(rounded.GetPixel(10, 0), 0xFFFFFFFFu);
    EXPECT_EQ(rounded.GetPixel(0, 10), 0xFFFFFFFFu);

    // Shapes outside the canvas are clipped away.
    CImagePainter outside = Painted("canvas 4 4\ncolor FFFFFFFF\nrect -10 -10 5 5\nellipse 50 50 3 3\n");
    for (u32 pixel : outside.GetPixels())
        EXPECT_EQ(pixel, 0u);
}

TEST(ImagePainter, PaintsOverWithAlphaAndAlongGradients)
{
    const CImagePainter over = Painted("canvas 2 1\ncolor FF0000FF\nfill\ncolor 80FF0000\nfill\n");
    const u32 pixel = over.GetPixel(0, 0);
    EXPECT_EQ(Alpha(pixel), 255u);
    EXPECT_NEAR(Red(pixel), 128u, 1u);
    EXPECT_NEAR(Blue(pixel), 127u, 1u);
    // Half-transparent paint over nothing keeps its colour and alpha.
    EXPECT_EQ(Painted("canvas 1 1\ncolor 40FF0000\nfill\n").GetPixel(0, 0), 0x40FF0000u);

    const CImagePainter ramp = Painted("canvas 11 2\ngradient 0.5 0 10.5 0 FF000000 FFC8C8C8\nfill\n");
    EXPECT_EQ(ramp.GetPixel(0, 0), 0xFF000000u);
    EXPECT_EQ(ramp.GetPixel(5, 1), 0xFF646464u);
    EXPECT_EQ(ramp.GetPixel(10, 0), 0xFFC8C8C8u);
    // Beyond its ends the gradient keeps its end colours.
    const CImagePainter clamped = Painted("canvas 10 1\ngradient 4 0 6 0 FF000000 FFFFFFFF\nfill\n");
    EXPECT_EQ(clamped.GetPixel(0, 0), 0xFF000000u);
    EXPECT_EQ(clamped.GetPixel(9, 0), 0xFFFFFFFFu);
}

TEST(ImagePainter, BadDescriptionsFailWithTheirLine)
{
    struct CCase
    {
        const char* text;
        const char* message;
    };
    const CCase cases[] = {
        {"", "no canvas"},
        {"# only a comment\n", "no canvas"},
        {"fill\n", "line 1: 'fill' before the canvas"},
        {"canvas 4 4\nswirl\n", "line 2: unknown command 'swirl'"},
        {"canvas 4\n", "'canvas' takes 2 to 3 arguments"},
        {"canvas 4 4\ncanvas 4 4\n", "a second canvas"},
        {"canvas 0 4\n", "canvas size out of range"},
        {"canvas 4097 1\n", "canvas size out of range"},
        {"canvas 2048 2 3\n", "canvas size out of range"},
        {"canvas 4096 4096\n", "canvas size out of range"},
        {"canvas -4 4\n", "whole numbers"},
        {"canvas 4 4\nrect 0 0 x 1\n", "line 2: 'x' is not a number"},
        {"canvas 4 4\nrect 0 0 1e40 1\n", "'1e40' is not a number"},
        {"canvas 4 4\nrect 0 0 nan 1\n", "'nan' is not a number"},
        {"canvas 4 4\nrect 0 0 -1 1\n", "cannot be negative"},
        {"canvas 4 4\nellipse 1 1 -1 1\n", "cannot be negative"},
        {"canvas 4 4\ncolor FF00GG00\n", "is not a colour"},
        {"canvas 4 4\ncolor FFF\n", "is not a colour"},
        {"canvas 4 4\ngradient 0 0 1 1 FF000000\n", "'gradient' takes 6 arguments"},
        {"canvas 4 4\ngradient 0 0 1 1 FF000000 red\n", "two colours"},
        {"canvas 4 4 2\nframe 2\n", "no frame '2'"},
        {"canvas 4 4\npolygon 0 0 1 1\n", "3 to 64 points"},
        {"canvas 4 4\npolygon 0 0 1 1 2\n", "3 to 64 points"},
        {"canvas 4 4\nfill 1\n", "'fill' takes 0 arguments"},
    };
    for (const CCase& c : cases) {
        CImagePainter painter;
        std::string error;
        EXPECT_FALSE(painter.Paint(c.text, &error)) << c.text;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.text << " -> " << error;
        EXPECT_TRUE(painter.GetPixels().empty()) << c.text;
    }
    // A lower limit refuses what the default allows.
    CImagePainter small;
    small.SetMaxPixels(64);
    EXPECT_FALSE(small.Paint("canvas 16 16\n", nullptr));
    EXPECT_TRUE(small.Paint("canvas 8 8\n", nullptr));
}

TEST(ImagePainter, WritesAPngOfItsPixels)
{
    CTempFolder tmp;
    tmp.Write("button.txt", "canvas 3 2 2\ncolor 80FF8000\nrect 0 0 2 2\nframe 1\ncolor FF0000FF\nfill\n");
    CImagePainter painter;
    std::string error;
    ASSERT_TRUE(painter.PaintFile(tmp.Path() / "button.txt", &error)) << error;
    ASSERT_TRUE(painter.WritePng(tmp.Path() / "out/button.png", &error)) << error;
    u32 width = 0, height = 0;
    std::vector<u32> pixels;
    ASSERT_TRUE(
        lv::content::DecodeImageDiskFile((tmp.Path() / "out/button.png").string(), width, height, pixels));
    EXPECT_EQ(width, 6u);
    EXPECT_EQ(height, 2u);
    EXPECT_EQ(pixels, painter.GetPixels());

    EXPECT_FALSE(painter.PaintFile(tmp.Path() / "missing.txt", &error));
    EXPECT_NE(error.find("cannot read"), std::string::npos) << error;
    tmp.Write("bad.txt", "canvas 3 2\nblob\n");
    EXPECT_FALSE(painter.PaintFile(tmp.Path() / "bad.txt", &error));
    EXPECT_NE(error.find("bad.txt: line 2"), std::string::npos) << error;
}
