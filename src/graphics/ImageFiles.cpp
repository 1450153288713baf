#include "graphics/ImageFiles.h"

#include <cstring>

#include "graphics/JpegDecoder.h"
#include "graphics/PngDecoder.h"

namespace lv::misc::imagelib {

namespace {

enum class EKind { None, Png, Jpeg };

bool SameTextIgnoringCase(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b) {
        char x = *a, y = *b;
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return *a == *b;
}

EKind KindOf(const char* path)
{
    const char* dot = path ? std::strrchr(path, '.') : nullptr;
    if (!dot)
        return EKind::None;
    if (SameTextIgnoringCase(dot, ".png"))
        return EKind::Png;
    if (SameTextIgnoringCase(dot, ".jpg"))
        return EKind::Jpeg;
    return EKind::None;
}

} // namespace

bool ReadImageFileSize(const char* path, s32* width, s32* height)
{
    switch (KindOf(path)) {
    case EKind::Png: {
        CPNGDecoder decoder;
        return decoder.ReadHeaderFromFile(path, width, height);
    }
    case EKind::Jpeg: {
        CJPEGDecoder decoder;
        return decoder.ReadHeaderFromFile(path, width, height);
    }
    default:
        return false;
    }
}

bool DecodeImageFile(const char* path, CImageBuffer& out)
{
    switch (KindOf(path)) {
    case EKind::Png: {
        CPNGDecoder decoder;
        return decoder.DecodeFromFile(path, out);
    }
    case EKind::Jpeg: {
        CJPEGDecoder decoder;
        return decoder.DecodeFromFile(path, out);
    }
    default:
        return false;
    }
}

void DownscaleArgb(const u32* source, u32 sourceWidth, u32 sourceHeight, u32* target, u32 targetWidth,
                   u32 targetHeight)
{
    if (targetWidth == 0 || targetHeight == 0 || !source || !target)
        return;
    const float ry = static_cast<float>(sourceHeight) / static_cast<float>(targetHeight);
    const float rx = static_cast<float>(sourceWidth) / static_cast<float>(targetWidth);
    const u32 by = static_cast<u32>(ry) ? static_cast<u32>(ry) : 1;
    const u32 bx = static_cast<u32>(rx) ? static_cast<u32>(rx) : 1;
    for (u32 i = 0; i < targetHeight; ++i) {
        const u32 row0 = static_cast<u32>(static_cast<float>(i) * ry);
        for (u32 j = 0; j < targetWidth; ++j) {
            const u32 col0 = static_cast<u32>(static_cast<float>(j) * rx);
            u32 sum[4] = {};
            u32 n = 0;
            for (u32 y = row0; y < row0 + by && y < sourceHeight; ++y)
                for (u32 x = col0; x < col0 + bx && x < sourceWidth; ++x, ++n) {
                    const u32 p = source[static_cast<size_t>(y) * sourceWidth + x];
                    for (u32 c = 0; c < 4; ++c)
                        sum[c] += (p >> (8 * c)) & 0xFF;
                }
            u32 value = 0;
            for (u32 c = 0; c < 4 && n; ++c)
                value |= (sum[c] / n) << (8 * c);
            target[static_cast<size_t>(i) * targetWidth + j] = value;
        }
    }
}

} // namespace lv::misc::imagelib
