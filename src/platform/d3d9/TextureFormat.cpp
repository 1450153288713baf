#include "platform/d3d9/TextureFormat.h"

#include <cstring>

namespace lv::platform {
namespace {

DWORD Expand4(DWORD v) { return v * 17; }
DWORD Expand5(DWORD v) { return (v << 3) | (v >> 2); }
DWORD Expand6(DWORD v) { return (v << 2) | (v >> 4); }

DWORD Pack(DWORD a, DWORD r, DWORD g, DWORD b) { return (a << 24) | (r << 16) | (g << 8) | b; }

void Store(BYTE* out, DWORD argb)
{
    out[0] = BYTE(argb);
    out[1] = BYTE(argb >> 8);
    out[2] = BYTE(argb >> 16);
    out[3] = BYTE(argb >> 24);
}

WORD Read16(const BYTE* p) { return WORD(p[0] | (p[1] << 8)); }

DWORD Expand565(WORD c) { return Pack(255, Expand5(c >> 11), Expand6((c >> 5) & 63), Expand5(c & 31)); }

// The four colours of a DXT colour block; DXT1 with c0 <= c1 has a transparent fourth entry.
void BlockPalette(const BYTE* block, bool dxt1, DWORD palette[4])
{
    const WORD c0 = Read16(block), c1 = Read16(block + 2);
    const DWORD e0 = Expand565(c0), e1 = Expand565(c1);
    palette[0] = e0;
    palette[1] = e1;
    auto channel = [](DWORD c, int shift) { return (c >> shift) & 255; };
    auto mix = [&](DWORD wa, DWORD wb, DWORD div) {
        DWORD out = 255u << 24;
        for (int shift = 0; shift <= 16; shift += 8)
            out |= ((wa * channel(e0, shift) + wb * channel(e1, shift)) / div) << shift;
        return out;
    };
    if (!dxt1 || c0 > c1) {
        palette[2] = mix(2, 1, 3);
        palette[3] = mix(1, 2, 3);
    } else {
        palette[2] = mix(1, 1, 2);
        palette[3] = 0;
    }
}

void DecodeBlock(D3DFORMAT format, const BYTE* block, DWORD texels[16])
{
    const BYTE* colour = format == D3DFMT_DXT1 ? block : block + 8;
    DWORD palette[4];
    BlockPalette(colour, format == D3DFMT_DXT1, palette);
    const DWORD indices = DWORD(colour[4]) | (DWORD(colour[5]) << 8) | (DWORD(colour[6]) << 16) |
                          (DWORD(colour[7]) << 24);
    for (int i = 0; i < 16; ++i)
        texels[i] = palette[(indices >> (2 * i)) & 3];
    if (format == D3DFMT_DXT3) {
        for (int i = 0; i < 16; ++i) {
            const DWORD a = (block[i / 2] >> ((i & 1) * 4)) & 15;
            texels[i] = (texels[i] & 0x00FFFFFF) | (Expand4(a) << 24);
        }
    } else if (format == D3DFMT_DXT5) {
        const DWORD a0 = block[0], a1 = block[1];
        DWORD alpha[8] = {a0, a1};
        if (a0 > a1) {
            for (int i = 1; i < 7; ++i)
                alpha[i + 1] = ((7 - i) * a0 + i * a1) / 7;
        } else {
            for (int i = 1; i < 5; ++i)
                alpha[i + 1] = ((5 - i) * a0 + i * a1) / 5;
            alpha[6] = 0;
            alpha[7] = 255;
        }
        std::uint64_t bits = 0;
        for (int i = 0; i < 6; ++i)
            bits |= std::uint64_t(block[2 + i]) << (8 * i);
        for (int i = 0; i < 16; ++i)
            texels[i] = (texels[i] & 0x00FFFFFF) | (alpha[(bits >> (3 * i)) & 7] << 24);
    }
}

} // namespace

bool IsTextureFormat(D3DFORMAT format)
{
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_R5G6B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_DXT1:
    case D3DFMT_DXT3:
    case D3DFMT_DXT5:
        return true;
    default:
        return false;
    }
}

bool IsBlockFormat(D3DFORMAT format)
{
    return format == D3DFMT_DXT1 || format == D3DFMT_DXT3 || format == D3DFMT_DXT5;
}

UINT FormatUnitBytes(D3DFORMAT format)
{
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
        return 4;
    case D3DFMT_R5G6B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
        return 2;
    case D3DFMT_DXT1:
        return 8;
    case D3DFMT_DXT3:
    case D3DFMT_DXT5:
        return 16;
    default:
        return 0;
    }
}

UINT FormatPitch(D3DFORMAT format, UINT width)
{
    return (IsBlockFormat(format) ? (width + 3) / 4 : width) * FormatUnitBytes(format);
}

UINT FormatRows(D3DFORMAT format, UINT height)
{
    return IsBlockFormat(format) ? (height + 3) / 4 : height;
}

void ExpandToBgra(D3DFORMAT format, const BYTE* level, UINT pitch, UINT width, UINT height, UINT firstRow,
                  UINT endRow, BYTE* out)
{
    if (endRow > height)
        endRow = height;
    if (IsBlockFormat(format)) {
        const UINT unit = FormatUnitBytes(format);
        for (UINT by = firstRow / 4; by * 4 < endRow; ++by) {
            for (UINT bx = 0; bx * 4 < width; ++bx) {
                DWORD texels[16];
                DecodeBlock(format, level + by * pitch + bx * unit, texels);
                for (UINT ty = 0; ty < 4; ++ty) {
                    const UINT y = by * 4 + ty;
                    if (y < firstRow || y >= endRow)
                        continue;
                    for (UINT tx = 0; tx < 4 && bx * 4 + tx < width; ++tx)
                        Store(out + ((y - firstRow) * width + bx * 4 + tx) * 4, texels[ty * 4 + tx]);
                }
            }
        }
        return;
    }
    for (UINT y = firstRow; y < endRow; ++y) {
        const BYTE* src = level + y * pitch;
        BYTE* dst = out + (y - firstRow) * width * 4;
        switch (format) {
        case D3DFMT_A8R8G8B8:
            std::memcpy(dst, src, width * 4);
            break;
        case D3DFMT_X8R8G8B8:
            for (UINT x = 0; x < width; ++x) {
                std::memcpy(dst + x * 4, src + x * 4, 3);
                dst[x * 4 + 3] = 255;
            }
            break;
        case D3DFMT_R5G6B5:
            for (UINT x = 0; x < width; ++x)
                Store(dst + x * 4, Expand565(Read16(src + x * 2)));
            break;
        case D3DFMT_A1R5G5B5:
            for (UINT x = 0; x < width; ++x) {
                const WORD c = Read16(src + x * 2);
                Store(dst + x * 4, Pack((c & 0x8000) ? 255 : 0, Expand5((c >> 10) & 31), Expand5((c >> 5) & 31),
                                        Expand5(c & 31)));
            }
            break;
        case D3DFMT_A4R4G4B4:
            for (UINT x = 0; x < width; ++x) {
                const WORD c = Read16(src + x * 2);
                Store(dst + x * 4, Pack(Expand4(c >> 12), Expand4((c >> 8) & 15), Expand4((c >> 4) & 15),
                                        Expand4(c & 15)));
            }
            break;
        default:
            std::memset(dst, 0, width * 4);
            break;
        }
    }
}

} // namespace lv::platform
