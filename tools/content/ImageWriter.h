#pragma once
// PNG and JPEG files made from pixels: the fixtures of the decoder and texture tests and the
// input of the PVR and alpha-mask tools.
#include <string>
#include <vector>

#include "core/Types.h"

namespace lv::content {

// A PNG as stored: the colour type and bit depth of libpng, raw samples row by row (per pixel
// 1 to 4 samples as the colour type has them; palette images one index), each sample in
// 0 .. 2^bitDepth - 1.
struct CPngLayout
{
    enum EColor { Grey = 0, Rgb = 2, Palette = 3, GreyAlpha = 4, Rgba = 6 };

    u32 width = 0;
    u32 height = 0;
    EColor color = Rgba;
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<u16> samples;
    // Palette images: 0xAARRGGBB entries; entries with alpha below 255 go into a tRNS chunk.
    std::vector<u32> palette;

    static int Channels(EColor color);
};

bool EncodePng(const CPngLayout& layout, std::vector<u8>& out, std::string* error = nullptr);
// An 8-bit RGBA (or, without alpha, RGB) PNG of 0xAARRGGBB pixels.
bool EncodePngArgb(u32 width, u32 height, const std::vector<u32>& pixels, bool alpha, std::vector<u8>& out);

// A baseline JPEG of 0xAARRGGBB pixels (alpha dropped); with grey, a one-component JPEG of the
// green channel. With rgbColorSpace the colour is stored as R, G, B instead of Y, Cb, Cr, so
// that only the transform's rounding remains.
bool EncodeJpeg(u32 width, u32 height, const std::vector<u32>& pixels, int quality, bool grey, std::vector<u8>& out,
                bool rgbColorSpace = false);

// Pixels of a PNG or JPEG disk file, by its extension; false when it cannot be read.
bool DecodeImageDiskFile(const std::string& path, u32& width, u32& height, std::vector<u32>& pixels);

} // namespace lv::content
