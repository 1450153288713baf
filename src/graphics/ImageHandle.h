#pragma once
// What the program draws: a texture plus the description of its frames (shared inside the
// texture declarations, or owned by the handle for run-time and probed textures).
#include "core/FloatRect.h"
#include "core/Types.h"

namespace lv::graphics {

class CTexture;
class CTextureManager;
struct CImageInfo;

class CImageHandle
{
public:
    CImageHandle() = default;
    CImageHandle(const CImageHandle& other);
    CImageHandle& operator=(const CImageHandle& other);
    ~CImageHandle();

    // Binds a texture with an owned single-frame description of the texture's size; the handle
    // must be empty.
    void BindTexture(CTexture* texture);
    void SetTexture(CTexture* texture);
    void Assign(const CImageHandle& other);
    void Release();

    CTexture* GetTexture() const { return m_Texture; }
    const CImageInfo* GetInfo() const { return m_Info; }

    u16 GetWidth() const;
    u16 GetHeight() const;
    // True when the image has more than one frame delay.
    bool IsMultiFrame() const;
    // An index at or past the frame count selects frame 0.
    const CFloatRect& GetFrameUv(u32 index) const;
    // Frame 0, or an all-zero rectangle when there are no frames.
    const CFloatRect& GetFirstFrameUv() const;
    // The frame to show at an animation time in ms, or -1 (callers then draw frame 0).
    s32 GetFrameForTime(s32 ms) const;
    // The sum of the delays of the first n frame-map entries; 0 when n is past the map.
    s16 GetMapEntryStartTime(u32 n) const;

    // The pixel at (x, y) of a frame (-1: frame 0) in the texture's CPU copy; null without a copy
    // or outside the frame.
    u32* GetPixelAddress(u32 x, u32 y, s32 frame);
    const u32* GetPixelAddress(u32 x, u32 y, s32 frame) const;
    // Gives the texture a zeroed CPU copy when it has none.
    void EnsurePixelCopy();
    // Fills the CPU copy from the device texture.
    void ReadPixels();
    void UploadPixelCopy();
    void FreePixelCopy();
    void EvictTexture();

private:
    friend class CTextureManager;

    CTexture* m_Texture = nullptr;
    CImageInfo* m_Info = nullptr;
};

} // namespace lv::graphics
