#include "graphics/JpegDecoder.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

#include "core/FileUtils.h"

namespace lv::misc::imagelib {

namespace {

constexpr u32 kSourceBufferSize = 4096;
const JOCTET kFakeEnd[2] = {0xFF, JPEG_EOI};

// libjpeg's default error exit ends the process; ours jumps back to the running operation,
// whose frame holds nothing with a destructor.
struct CErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char* text;
    size_t textSize;
};

void ErrorExit(j_common_ptr info)
{
    auto* manager = reinterpret_cast<CErrorManager*>(info->err);
    (*info->err->output_message)(info);
    std::longjmp(manager->jump, 1);
}

void OutputMessage(j_common_ptr info)
{
    auto* manager = reinterpret_cast<CErrorManager*>(info->err);
    char buffer[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, buffer);
    if (manager->text && manager->textSize) {
        std::strncpy(manager->text, buffer, manager->textSize - 1);
        manager->text[manager->textSize - 1] = 0;
    }
}

void InstallErrorManager(CErrorManager& manager, char* text, size_t textSize)
{
    jpeg_std_error(&manager.base);
    manager.base.error_exit = &ErrorExit;
    manager.base.output_message = &OutputMessage;
    manager.text = text;
    manager.textSize = textSize;
}

} // namespace

// A source manager over the decoder's memory reader with its own 4096-byte buffer.
struct CJpegCallbacks
{
    struct CSource
    {
        jpeg_source_mgr base;
        CJPEGDecoder* decoder;
        JOCTET* buffer;
        bool startOfFile;
    };

    static void Init(j_decompress_ptr info) { reinterpret_cast<CSource*>(info->src)->startOfFile = true; }

    static boolean Fill(j_decompress_ptr info)
    {
        auto* source = reinterpret_cast<CSource*>(info->src);
        u32 n = source->decoder->Read(source->buffer, kSourceBufferSize);
        if (n == 0) {
            if (source->startOfFile)
                ERREXIT(info, JERR_INPUT_EMPTY);
            WARNMS(info, JWRN_JPEG_EOF);
            source->base.next_input_byte = kFakeEnd;
            source->base.bytes_in_buffer = 2;
            source->startOfFile = false;
            return TRUE;
        }
        source->base.next_input_byte = source->buffer;
        source->base.bytes_in_buffer = n;
        source->startOfFile = false;
        return TRUE;
    }

    static void Skip(j_decompress_ptr info, long count)
    {
        auto* source = reinterpret_cast<CSource*>(info->src);
        if (count <= 0)
            return;
        while (count > static_cast<long>(source->base.bytes_in_buffer)) {
            count -= static_cast<long>(source->base.bytes_in_buffer);
            Fill(info);
        }
        source->base.next_input_byte += count;
        source->base.bytes_in_buffer -= static_cast<size_t>(count);
    }

    static void Term(j_decompress_ptr) {}

    static void Install(j_decompress_ptr info, CSource& source, CJPEGDecoder* decoder, JOCTET* buffer)
    {
        std::memset(&source, 0, sizeof(source));
        source.decoder = decoder;
        source.buffer = buffer;
        source.base.init_source = &Init;
        source.base.fill_input_buffer = &Fill;
        source.base.skip_input_data = &Skip;
        source.base.resync_to_restart = &jpeg_resync_to_restart;
        source.base.term_source = &Term;
        info->src = &source.base;
    }
};

bool CJPEGDecoder::ReadHeader(const u8* data, u32 size, s32* width, s32* height)
{
    ResetReader(data, size);
    m_ErrorText[0] = 0;
    jpeg_decompress_struct info;
    std::memset(&info, 0, sizeof(info));
    CErrorManager errors;
    CJpegCallbacks::CSource source;
    JOCTET buffer[kSourceBufferSize];
    info.err = &errors.base;
    InstallErrorManager(errors, m_ErrorText, sizeof(m_ErrorText));
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    CJpegCallbacks::Install(&info, source, this, buffer);
    jpeg_read_header(&info, TRUE);
    if (width)
        *width = static_cast<s32>(info.image_width);
    if (height)
        *height = static_cast<s32>(info.image_height);
    jpeg_destroy_decompress(&info);
    return true;
}

bool CJPEGDecoder::Decode(const u8* data, u32 size, CImageBuffer& out)
{
    ResetReader(data, size);
    m_ErrorText[0] = 0;
    jpeg_decompress_struct info;
    std::memset(&info, 0, sizeof(info));
    CErrorManager errors;
    CJpegCallbacks::CSource source;
    JOCTET buffer[kSourceBufferSize];
    u8* volatile pixels = nullptr;
    u8* volatile line = nullptr;
    info.err = &errors.base;
    InstallErrorManager(errors, m_ErrorText, sizeof(m_ErrorText));
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        std::free(pixels);
        std::free(line);
        return false;
    }
    jpeg_create_decompress(&info);
    CJpegCallbacks::Install(&info, source, this, buffer);
    jpeg_read_header(&info, TRUE);
    // Colour comes out as R, G, B; grey stays one sample, widened below. Four-component files
    // have no meaningful conversion here.
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK || info.num_components == 4)
        ERREXIT(&info, JERR_CONVERSION_NOTIMPL);
    if (info.image_width == 0 || info.image_height == 0 || info.image_width > kMaxSide ||
        info.image_height > kMaxSide)
        ERREXIT(&info, JERR_IMAGE_TOO_BIG);
#ifdef JCS_EXTENSIONS
    // libjpeg-turbo writes B, G, R, 255 itself, for colour and grey alike, straight into the rows.
    info.out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(&info);
    const u32 w = info.output_width;
    const u32 h = info.output_height;
    if (info.output_components != 4)
        ERREXIT(&info, JERR_CONVERSION_NOTIMPL);
    pixels = static_cast<u8*>(std::malloc(static_cast<size_t>(w) * 4 * h));
    if (!pixels)
        ERREXIT1(&info, JERR_OUT_OF_MEMORY, 0);
    while (info.output_scanline < h) {
        JSAMPROW rows[8];
        JDIMENSION count = 0;
        for (; count < 8 && info.output_scanline + count < h; ++count)
            rows[count] = pixels + static_cast<size_t>(info.output_scanline + count) * w * 4;
        if (jpeg_read_scanlines(&info, rows, count) == 0)
            break;
    }
#else
    info.out_color_space = info.jpeg_color_space == JCS_GRAYSCALE ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_start_decompress(&info);
    const u32 w = info.output_width;
    const u32 h = info.output_height;
    const u32 components = static_cast<u32>(info.output_components);
    if (components != 1 && components != 3)
        ERREXIT(&info, JERR_CONVERSION_NOTIMPL);
    line = static_cast<u8*>(std::malloc(static_cast<size_t>(w) * components));
    pixels = static_cast<u8*>(std::malloc(static_cast<size_t>(w) * 4 * h));
    if (!line || !pixels)
        ERREXIT1(&info, JERR_OUT_OF_MEMORY, 0);
    while (info.output_scanline < h) {
        const u32 y = info.output_scanline;
        JSAMPROW row = line;
        if (jpeg_read_scanlines(&info, &row, 1) != 1)
            break;
        u32* target = reinterpret_cast<u32*>(pixels + static_cast<size_t>(y) * w * 4);
        for (u32 x = 0; x < w; ++x) {
            const u8* s = line + static_cast<size_t>(x) * components;
            const u32 r = s[0];
            const u32 g = components == 3 ? s[1] : s[0];
            const u32 b = components == 3 ? s[2] : s[0];
            target[x] = 0xFF000000u | r << 16 | g << 8 | b;
        }
    }
#endif
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::free(line);
    out.Free();
    out.width = static_cast<s32>(w);
    out.height = static_cast<s32>(h);
    out.pixels = pixels;
    return true;
}

bool WriteJpegFile(const WChar* path, const u32* pixels, u32 width, u32 height, s32 quality)
{
    if (quality > 100)
        quality = 100;
    FILE* volatile file = core::FileOpenW(path, u"wb");
    if (!file)
        return false;
    jpeg_compress_struct info;
    std::memset(&info, 0, sizeof(info));
    CErrorManager errors;
    u8* volatile line = nullptr;
    info.err = &errors.base;
    InstallErrorManager(errors, nullptr, 0);
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        std::fclose(file);
        std::free(line);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = width;
    info.image_height = height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    line = static_cast<u8*>(std::malloc(static_cast<size_t>(width) * 3 + 1));
    if (!line)
        ERREXIT1(&info, JERR_OUT_OF_MEMORY, 0);
    while (info.next_scanline < height) {
        const u32* source = pixels + static_cast<size_t>(info.next_scanline) * width;
        for (u32 x = 0; x < width; ++x) {
            line[x * 3] = static_cast<u8>(source[x] >> 16);
            line[x * 3 + 1] = static_cast<u8>(source[x] >> 8);
            line[x * 3 + 2] = static_cast<u8>(source[x]);
        }
        JSAMPROW row = line;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(file);
    std::free(line);
    return true;
}

} // namespace lv::misc::imagelib
