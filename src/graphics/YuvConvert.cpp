#include "graphics/YuvConvert.h"

#include <vpx/vpx_image.h>

namespace lv::graphics {

namespace {

struct CYuvTables
{
    s32 yc[256];
    s32 rv[256];
    s32 gu[256];
    s32 gv[256];
    s32 bu[256];
    u8 alpha[256];
    // Indexed by value + 320: every shifted sum lies in -320..703.
    u8 clamp[1024];

    CYuvTables()
    {
        const auto scaled = [](double coefficient, s32 i, s32 centre) {
            return static_cast<s32>((8192.0 * coefficient + 0.5) * static_cast<double>(i - centre));
        };
        for (s32 i = 0; i < 256; ++i) {
            yc[i] = scaled(1.164, i, 16);
            rv[i] = scaled(1.596, i, 128);
            gu[i] = scaled(0.391, i, 128);
            gv[i] = scaled(0.813, i, 128);
            bu[i] = scaled(2.018, i, 128);
            alpha[i] = i <= 16 ? 0 : i >= 235 ? 255 : static_cast<u8>((i - 16) * 255 / 219);
        }
        for (s32 v = -320; v < 704; ++v)
            clamp[v + 320] = static_cast<u8>(v < 0 ? 0 : v > 255 ? 255 : v);
    }
};

const CYuvTables& Tables()
{
    static const CYuvTables s_Tables;
    return s_Tables;
}

template <bool WithAlpha>
void Convert(u8* out, const CYuvPicture& p, const CYuvPicture* alphaPicture)
{
    const CYuvTables& t = Tables();
    const u8* clamp = t.clamp + 320;
    const u8* yRow = p.y;
    const u8* uRow = p.u;
    const u8* vRow = p.v;
    const u8* aRow = WithAlpha ? alphaPicture->y : nullptr;
    for (s32 r = 0; r < p.height; ++r) {
        for (s32 c = 0; c < p.width; ++c) {
            const s32 y = t.yc[yRow[c]];
            const u8 u = uRow[c >> 1];
            const u8 v = vRow[c >> 1];
            out[0] = clamp[(y + t.bu[u]) >> 13];
            out[1] = clamp[(y - t.gu[u] - t.gv[v]) >> 13];
            out[2] = clamp[(y + t.rv[v]) >> 13];
            if constexpr (WithAlpha)
                out[3] = t.alpha[aRow[c]];
            out += 4;
        }
        yRow += p.yStride;
        if constexpr (WithAlpha)
            aRow += alphaPicture->yStride;
        if (r & 1) {
            uRow += p.uStride;
            vRow += p.vStride;
        }
    }
}

} // namespace

void YuvToRgbaOpaque(u8* out, const CYuvPicture& picture)
{
    Convert<false>(out, picture, nullptr);
}

void YuvToRgbaWithAlpha(u8* out, const CYuvPicture& colour, const CYuvPicture& alpha)
{
    Convert<true>(out, colour, &alpha);
}

CYuvPicture YuvPictureOf(const vpx_image& image)
{
    CYuvPicture p;
    p.width = static_cast<s32>(image.d_w);
    p.height = static_cast<s32>(image.d_h);
    p.y = image.planes[0];
    p.u = image.planes[1];
    p.v = image.planes[2];
    p.yStride = image.stride[0];
    p.uStride = image.stride[1];
    p.vStride = image.stride[2];
    return p;
}

void YuvToRgbaOpaque(u8* out, const vpx_image& image)
{
    YuvToRgbaOpaque(out, YuvPictureOf(image));
}

void YuvToRgbaWithAlpha(u8* out, const vpx_image& colour, const vpx_image& alpha)
{
    YuvToRgbaWithAlpha(out, YuvPictureOf(colour), YuvPictureOf(alpha));
}

CYuvPicture YuvPictureOf(const yuv_buffer& buffer)
{
    CYuvPicture p;
    p.width = buffer.y_width;
    p.height = buffer.y_height;
    p.y = buffer.y;
    p.u = buffer.u;
    p.v = buffer.v;
    p.yStride = buffer.y_stride;
    p.uStride = buffer.uv_stride;
    p.vStride = buffer.uv_stride;
    return p;
}

void YuvToRgbaOpaque(u8* out, const yuv_buffer& buffer)
{
    YuvToRgbaOpaque(out, YuvPictureOf(buffer));
}

void YuvToRgbaWithAlpha(u8* out, const yuv_buffer& colour, const yuv_buffer& alpha)
{
    YuvToRgbaWithAlpha(out, YuvPictureOf(colour), YuvPictureOf(alpha));
}

} // namespace lv::graphics
