#include "graphics/PngDecoder.h"

#include <png.h>

#include <cstdlib>
#include <cstring>

namespace lv::misc::imagelib {

// libpng reports errors by calling our error function, which must not return: it jumps back to
// the setjmp of the running operation. Nothing with a destructor lives in those frames.

struct CPngCallbacks
{
    static void Read(png_structp png, png_bytep data, size_t length)
    {
        auto* self = static_cast<CPNGDecoder*>(png_get_io_ptr(png));
        if (length > 0xFFFFFFFFu || self->Read(data, static_cast<u32>(length)) != length)
            png_error(png, "Read Error");
    }
    static void Error(png_structp png, png_const_charp message)
    {
        auto* self = static_cast<CPNGDecoder*>(png_get_error_ptr(png));
        if (self) {
            std::strncpy(self->m_ErrorText, message ? message : "", sizeof(self->m_ErrorText) - 1);
            self->m_ErrorText[sizeof(self->m_ErrorText) - 1] = 0;
        }
        png_longjmp(png, 1);
    }
    static void Warning(png_structp, png_const_charp) {}
};

namespace {

png_structp CreateReadStruct(CPNGDecoder* decoder)
{
    return png_create_read_struct(PNG_LIBPNG_VER_STRING, decoder, &CPngCallbacks::Error, &CPngCallbacks::Warning);
}

} // namespace

bool CPNGDecoder::ReadHeader(const u8* data, u32 size, s32* width, s32* height)
{
    ResetReader(data, size);
    m_ErrorText[0] = 0;
    png_structp png = CreateReadStruct(this);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, this, &CPngCallbacks::Read);
    png_read_info(png, info);
    const png_uint_32 w = png_get_image_width(png, info);
    const png_uint_32 h = png_get_image_height(png, info);
    png_destroy_read_struct(&png, &info, nullptr);
    if (width)
        *width = static_cast<s32>(w);
    if (height)
        *height = static_cast<s32>(h);
    return true;
}

bool CPNGDecoder::Decode(const u8* data, u32 size, CImageBuffer& out)
{
    ResetReader(data, size);
    m_ErrorText[0] = 0;
    png_structp png = CreateReadStruct(this);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    u8* volatile pixels = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::free(pixels);
        return false;
    }
    png_set_user_limits(png, kMaxSide, kMaxSide);
    png_set_read_fn(png, this, &CPngCallbacks::Read);
    png_read_info(png, info);

    // Palettes to RGB, low bit depths to 8 bits, transparency chunks to alpha; 16-bit samples
    // are cut to 8 so that every row holds exactly width x 4 bytes.
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);

    const png_uint_32 w = png_get_image_width(png, info);
    const png_uint_32 h = png_get_image_height(png, info);
    const size_t rowBytes = static_cast<size_t>(w) * 4;
    if (w == 0 || h == 0 || png_get_rowbytes(png, info) != rowBytes)
        png_error(png, "Unexpected row layout");
    pixels = static_cast<u8*>(std::malloc(rowBytes * h));
    if (!pixels)
        png_error(png, "Out of memory");
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < h; ++y)
            png_read_row(png, pixels + rowBytes * y, nullptr);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);

    out.Free();
    out.width = static_cast<s32>(w);
    out.height = static_cast<s32>(h);
    out.pixels = pixels;
    return true;
}

} // namespace lv::misc::imagelib
