#pragma once
// JPEG over libjpeg: colour and greyscale JPEGs become 32-bit pixels with alpha 255; CMYK and
// YCCK files are refused. A file that ends early still decodes (the rest stays grey).
#include "graphics/ImageDecoder.h"

namespace lv::misc::imagelib {

class CJPEGDecoder final : public CImageDecoder
{
public:
    bool ReadHeader(const u8* data, u32 size, s32* width, s32* height) override;
    bool Decode(const u8* data, u32 size, CImageBuffer& out) override;

    // The last libjpeg error or warning message ("" when none).
    const char* GetErrorText() const { return m_ErrorText; }

private:
    friend struct CJpegCallbacks;

    char m_ErrorText[200] = {};
};

// Writes 0xAARRGGBB pixels as a baseline colour JPEG (alpha dropped); quality above 100 is 100.
bool WriteJpegFile(const WChar* path, const u32* pixels, u32 width, u32 height, s32 quality);

} // namespace lv::misc::imagelib
