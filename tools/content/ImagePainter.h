#pragma once
// Paints an image from a small text description, one command a line ('#' starts a comment):
//
//   canvas W H [FRAMES]          the frame size; FRAMES frames stand side by side (a strip)
//   frame N | frame all          later commands paint frame N (from 0), or every frame (the start)
//   color AARRGGBB               solid paint (RRGGBB alone is opaque)
//   gradient X0 Y0 X1 Y1 C0 C1   linear paint: C0 at (X0, Y0), C1 at (X1, Y1), constant beyond
//   fill                         the whole frame
//   rect X Y W H [RADIUS]        a rectangle, its corners rounded by RADIUS
//   ellipse CX CY RX RY          an ellipse by its centre and radii
//   polygon X1 Y1 X2 Y2 ...      a polygon of 3 to 64 points, filled even-odd
//
// Coordinates are frame pixels (floats); shapes are drawn over what is there with their paint's
// alpha, their edges smoothed. The pixels start transparent.
#include "core/Types.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace lv::content {

class CImagePainter
{
public:
    // The largest image (all frames) a description may ask for, in pixels.
    static constexpr u32 kDefaultMaxPixels = 4u * 1024u * 1024u;
    static constexpr u32 kMaxSide = 4096;
    static constexpr u32 kMaxPolygonPoints = 64;

    // Fuzzing keeps the canvas small so that every input paints quickly.
    void SetMaxPixels(u32 pixels) { m_MaxPixels = pixels; }

    // Paints the description into a fresh image; false with "line N: what" on the first bad line
    // or without a canvas.
    bool Paint(std::string_view text, std::string* error);
    bool PaintFile(const std::filesystem::path& file, std::string* error);
    // The painted image as an RGBA PNG.
    bool WritePng(const std::filesystem::path& file, std::string* error) const;

    u32 GetWidth() const { return m_Width; }
    u32 GetHeight() const { return m_Height; }
    u32 GetFrameWidth() const { return m_FrameWidth; }
    u32 GetFrameCount() const { return m_Frames; }
    // 0xAARRGGBB, row by row.
    const std::vector<u32>& GetPixels() const { return m_Pixels; }
    u32 GetPixel(u32 x, u32 y) const { return m_Pixels[size_t(y) * m_Width + x]; }

private:
    struct SPaint
    {
        u32 colour = 0xFF000000u;
        bool gradient = false;
        float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        u32 colour1 = 0;
    };
    // What a shape covers on one sampled row: half-open x spans.
    enum class EShape
    {
        Fill,
        Rect,
        Ellipse,
        Polygon
    };
    struct SShape
    {
        EShape kind = EShape::Fill;
        float v[5] = {};
        std::vector<float> points;
    };

    bool Command(const std::vector<std::string_view>& words, std::string& what);
    void Draw(const SShape& shape);
    void DrawInFrame(const SShape& shape, u32 frame, float top, float bottom);
    void Spans(const SShape& shape, float y, std::vector<float>& out) const;
    u32 PaintAt(float x, float y) const;

    u32 m_MaxPixels = kDefaultMaxPixels;
    u32 m_Width = 0;
    u32 m_Height = 0;
    u32 m_FrameWidth = 0;
    u32 m_Frames = 0;
    // The frame later commands paint; -1 for all.
    s32 m_Frame = -1;
    SPaint m_Paint;
    std::vector<u32> m_Pixels;
    // Per-row scratch: coverage of each pixel and the spans of one sample row.
    std::vector<float> m_Coverage;
    std::vector<float> m_Spans;
};

} // namespace lv::content
