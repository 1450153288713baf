#pragma once
// PNG over libpng: every PNG (palette, grey, grey with alpha, RGB, RGBA, 1 to 16 bits per sample,
// interlaced or not) becomes 8-bit B, G, R, A pixels, alpha 255 where the file has none.
#include "graphics/ImageDecoder.h"

namespace lv::misc::imagelib {

class CPNGDecoder final : public CImageDecoder
{
public:
    bool ReadHeader(const u8* data, u32 size, s32* width, s32* height) override;
    bool Decode(const u8* data, u32 size, CImageBuffer& out) override;

    // The last libpng error message ("" when none).
    const char* GetErrorText() const { return m_ErrorText; }

private:
    friend struct CPngCallbacks;

    char m_ErrorText[256] = {};
};

} // namespace lv::misc::imagelib
