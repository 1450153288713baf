#include "content/ImageWriter.h"

#include <png.h>

#include <cstdio>
#include <cstring>

#include <jpeglib.h>

#include "content/PackWriter.h"
#include "graphics/JpegDecoder.h"
#include "graphics/PngDecoder.h"

namespace lv::content {

namespace {

void AppendBytes(png_structp png, png_bytep data, size_t length)
{
    auto* out = static_cast<std::vector<u8>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

// Packs one row of samples at the bit depth (big-endian for 16 bits, high bits first below 8).
std::vector<u8> PackRow(const u16* samples, size_t count, int bitDepth)
{
    std::vector<u8> row;
    if (bitDepth == 16) {
        for (size_t i = 0; i < count; ++i) {
            row.push_back(static_cast<u8>(samples[i] >> 8));
            row.push_back(static_cast<u8>(samples[i]));
        }
    } else if (bitDepth == 8) {
        for (size_t i = 0; i < count; ++i)
            row.push_back(static_cast<u8>(samples[i]));
    } else {
        row.assign((count * bitDepth + 7) / 8, 0);
        for (size_t i = 0; i < count; ++i) {
            const size_t bit = i * bitDepth;
            const int shift = 8 - bitDepth - static_cast<int>(bit % 8);
            row[bit / 8] |= static_cast<u8>((samples[i] & ((1 << bitDepth) - 1)) << shift);
        }
    }
    return row;
}

} // namespace

int CPngLayout::Channels(EColor color)
{
    switch (color) {
    case Grey:
    case Palette:
        return 1;
    case GreyAlpha:
        return 2;
    case Rgb:
        return 3;
    default:
        return 4;
    }
}

bool EncodePng(const CPngLayout& layout, std::vector<u8>& out, std::string* error)
{
    const size_t perRow = static_cast<size_t>(layout.width) * CPngLayout::Channels(layout.color);
    if (layout.width == 0 || layout.height == 0 || layout.samples.size() != perRow * layout.height) {
        if (error)
            *error = "sample count does not match the size";
        return false;
    }
    std::vector<std::vector<u8>> rows;
    for (u32 y = 0; y < layout.height; ++y)
        rows.push_back(PackRow(layout.samples.data() + perRow * y, perRow, layout.bitDepth));
    std::vector<png_bytep> pointers;
    for (auto& row : rows)
        pointers.push_back(row.data());

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    out.clear();
    // Everything with a destructor exists before the jump point.
    std::vector<png_color> colors;
    std::vector<png_byte> alphas;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        if (error)
            *error = "libpng refused the image";
        return false;
    }
    png_set_write_fn(png, &out, &AppendBytes, &NoFlush);
    png_set_IHDR(png, info, layout.width, layout.height, layout.bitDepth, layout.color,
                 layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (layout.color == CPngLayout::Palette) {
        for (u32 c : layout.palette) {
            colors.push_back(png_color{static_cast<png_byte>(c >> 16), static_cast<png_byte>(c >> 8),
                                       static_cast<png_byte>(c)});
            alphas.push_back(static_cast<png_byte>(c >> 24));
        }
        png_set_PLTE(png, info, colors.data(), static_cast<int>(colors.size()));
        while (!alphas.empty() && alphas.back() == 255)
            alphas.pop_back();
        if (!alphas.empty())
            png_set_tRNS(png, info, alphas.data(), static_cast<int>(alphas.size()), nullptr);
    }
    png_write_info(png, info);
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool EncodePngArgb(u32 width, u32 height, const std::vector<u32>& pixels, bool alpha, std::vector<u8>& out)
{
    CPngLayout layout;
    layout.width = width;
    layout.height = height;
    layout.color = alpha ? CPngLayout::Rgba : CPngLayout::Rgb;
    for (u32 p : pixels) {
        layout.samples.push_back((p >> 16) & 0xFF);
        layout.samples.push_back((p >> 8) & 0xFF);
        layout.samples.push_back(p & 0xFF);
        if (alpha)
            layout.samples.push_back(p >> 24);
    }
    return EncodePng(layout, out);
}

bool EncodeJpeg(u32 width, u32 height, const std::vector<u32>& pixels, int quality, bool grey, std::vector<u8>& out,
                bool rgbColorSpace)
{
    if (width == 0 || height == 0 || pixels.size() != static_cast<size_t>(width) * height)
        return false;
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = grey ? 1 : 3;
    info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    if (rgbColorSpace && !grey)
        jpeg_set_colorspace(&info, JCS_RGB);
    jpeg_set_quality(&info, quality, TRUE);
    // No chroma subsampling: fixtures should differ from their source by rounding only.
    for (int c = 0; c < info.num_components; ++c)
        info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    jpeg_start_compress(&info, TRUE);
    std::vector<u8> line(static_cast<size_t>(width) * 3);
    while (info.next_scanline < height) {
        const u32* row = pixels.data() + static_cast<size_t>(info.next_scanline) * width;
        for (u32 x = 0; x < width; ++x) {
            if (grey) {
                line[x] = static_cast<u8>(row[x] >> 8);
            } else {
                line[x * 3] = static_cast<u8>(row[x] >> 16);
                line[x * 3 + 1] = static_cast<u8>(row[x] >> 8);
                line[x * 3 + 2] = static_cast<u8>(row[x]);
            }
        }
        JSAMPROW pointer = line.data();
        jpeg_write_scanlines(&info, &pointer, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    out.assign(buffer, buffer + size);
    std::free(buffer);
    return true;
}

bool DecodeImageDiskFile(const std::string& path, u32& width, u32& height, std::vector<u32>& pixels)
{
    std::vector<u8> bytes;
    if (!ReadDiskFile(path, bytes) || bytes.empty())
        return false;
    misc::imagelib::CImageBuffer buffer;
    const size_t dot = path.rfind('.');
    std::string extension = dot == std::string::npos ? "" : path.substr(dot + 1);
    for (char& c : extension)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    bool ok = false;
    if (extension == "png") {
        misc::imagelib::CPNGDecoder decoder;
        ok = decoder.Decode(bytes.data(), static_cast<u32>(bytes.size()), buffer);
    } else if (extension == "jpg" || extension == "jpeg") {
        misc::imagelib::CJPEGDecoder decoder;
        ok = decoder.Decode(bytes.data(), static_cast<u32>(bytes.size()), buffer);
    }
    if (!ok)
        return false;
    width = static_cast<u32>(buffer.width);
    height = static_cast<u32>(buffer.height);
    const u32* p = reinterpret_cast<const u32*>(buffer.pixels);
    pixels.assign(p, p + static_cast<size_t>(width) * height);
    return true;
}

} // namespace lv::content
