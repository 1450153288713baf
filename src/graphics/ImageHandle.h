#pragma once
// What the program draws: a texture plus the description of its frames.
#include "core/FloatRect.h"
#include "core/Types.h"

namespace lv::graphics {

class CTexture;
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
    // An index at or past the frame count selects frame 0.
    const CFloatRect& GetFrameUv(u32 index) const;
    // Frame 0, or an all-zero rectangle when there are no frames.
    const CFloatRect& GetFirstFrameUv() const;

private:
    CTexture* m_Texture = nullptr;
    CImageInfo* m_Info = nullptr;
};

} // namespace lv::graphics
