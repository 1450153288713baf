#include "graphics/ImageHandle.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "graphics/ImageInfo.h"
#include "graphics/Texture.h"

namespace lv::graphics {

namespace {
const CFloatRect kNoFrame;

// Truncation toward zero, kept inside the 32-bit range (blob data may hold any float).
s64 Truncate(float value)
{
    if (!(value > -2147483648.0f && value < 2147483647.0f))
        return value > 0 ? 2147483647 : -2147483647;
    return static_cast<s64>(value);
}
} // namespace

CImageHandle::CImageHandle(const CImageHandle& other)
{
    Assign(other);
}

CImageHandle& CImageHandle::operator=(const CImageHandle& other)
{
    if (this != &other)
        Assign(other);
    return *this;
}

CImageHandle::~CImageHandle()
{
    Release();
}

void CImageHandle::BindTexture(CTexture* texture)
{
    SetTexture(texture);
    void* block = std::calloc(1, CImageInfo::BlockSize(1));
    if (!block)
        return;
    CImageInfo* info = static_cast<CImageInfo*>(block);
    new (&info->name) CFixedString();
    info->frameCount = 1;
    info->GetFrames()[0] = CFloatRect(0, 0, 1, 1);
    info->delays[0] = 0;
    info->delayCount = 1;
    info->frameWidth = texture ? texture->GetWidth() : 0;
    info->frameHeight = texture ? texture->GetHeight() : 0;
    m_Info = info;
}

void CImageHandle::SetTexture(CTexture* texture)
{
    if (texture)
        texture->AddRef();
    if (m_Texture)
        m_Texture->Release();
    m_Texture = texture;
}

void CImageHandle::Assign(const CImageHandle& other)
{
    if (&other == this)
        return;
    SetTexture(other.m_Texture);
    if (m_Info && !(m_Info->flags & CImageInfo::kFlagShared))
        std::free(m_Info);
    m_Info = nullptr;
    if (!other.m_Info)
        return;
    if (other.m_Info->flags & CImageInfo::kFlagShared) {
        m_Info = other.m_Info;
        return;
    }
    const u32 size = CImageInfo::BlockSize(other.m_Info->frameCount);
    m_Info = static_cast<CImageInfo*>(std::malloc(size));
    if (m_Info)
        std::memcpy(static_cast<void*>(m_Info), other.m_Info, size);
}

void CImageHandle::Release()
{
    SetTexture(nullptr);
    if (m_Info && !(m_Info->flags & CImageInfo::kFlagShared)) {
        std::free(m_Info);
        m_Info = nullptr;
    }
}

u16 CImageHandle::GetWidth() const
{
    return m_Info ? m_Info->frameWidth : 0;
}

u16 CImageHandle::GetHeight() const
{
    return m_Info ? m_Info->frameHeight : 0;
}

const CFloatRect& CImageHandle::GetFrameUv(u32 index) const
{
    if (!m_Info || m_Info->frameCount == 0)
        return kNoFrame;
    return m_Info->GetFrames()[index < m_Info->frameCount ? index : 0];
}

const CFloatRect& CImageHandle::GetFirstFrameUv() const
{
    return GetFrameUv(0);
}

bool CImageHandle::IsMultiFrame() const
{
    return m_Info && m_Info->delayCount > 1;
}

s32 CImageHandle::GetFrameForTime(s32 ms) const
{
    if (!m_Info || m_Info->delayCount == 0)
        return -1;
    if (m_Info->delayCount == 1)
        return 0;
    const u32 entries = m_Info->mapCount < CImageInfo::kMaxFrames ? m_Info->mapCount : CImageInfo::kMaxFrames;
    if (entries == 0)
        return -1;
    // Map entries are read as signed bytes; anything outside the delay table is no frame.
    const auto frame = [&](u32 i) { return static_cast<s32>(static_cast<s8>(m_Info->frameMap[i])); };
    if (entries == 1)
        return frame(0);
    const s32 total = m_Info->totalDuration;
    if (m_Info->animationType == 1 && ms >= total)
        return frame(entries - 1);
    if (total > 0 && ms >= total)
        ms %= total;
    for (u32 i = 0; i < entries; ++i) {
        const s32 f = frame(i);
        if (f < 0 || f >= static_cast<s32>(CImageInfo::kMaxFrames))
            return -1;
        ms -= m_Info->delays[f];
        if (ms < 0)
            return f;
    }
    return -1;
}

s16 CImageHandle::GetMapEntryStartTime(u32 n) const
{
    if (!m_Info || n >= m_Info->mapCount || n >= CImageInfo::kMaxFrames)
        return 0;
    s32 sum = 0;
    for (u32 i = 0; i < n; ++i) {
        const s32 f = static_cast<s8>(m_Info->frameMap[i]);
        if (f >= 0 && f < static_cast<s32>(CImageInfo::kMaxFrames))
            sum += m_Info->delays[f];
    }
    return static_cast<s16>(sum);
}

const u32* CImageHandle::GetPixelAddress(u32 x, u32 y, s32 frame) const
{
    if (!m_Texture || !m_Info || !m_Texture->GetPixelCopy())
        return nullptr;
    if (x >= m_Info->frameWidth || y >= m_Info->frameHeight)
        return nullptr;
    const CFloatRect& uv = GetFrameUv(frame < 0 ? 0u : static_cast<u32>(frame));
    const u32 w = m_Texture->GetWidth();
    const u32 h = m_Texture->GetHeight();
    const s64 row = y + Truncate(static_cast<float>(h) * uv.Y);
    const s64 column = x + Truncate(static_cast<float>(w) * uv.X);
    // A frame reaching past its texture has no pixel there.
    if (row < 0 || column < 0 || row >= h || column >= w)
        return nullptr;
    return m_Texture->GetPixelCopy() + static_cast<size_t>(row) * w + column;
}

u32* CImageHandle::GetPixelAddress(u32 x, u32 y, s32 frame)
{
    return const_cast<u32*>(static_cast<const CImageHandle*>(this)->GetPixelAddress(x, y, frame));
}

void CImageHandle::EnsurePixelCopy()
{
    if (m_Texture && !m_Texture->GetPixelCopy())
        m_Texture->AllocPixelCopy();
}

void CImageHandle::ReadPixels()
{
    if (m_Texture)
        m_Texture->ReadBack();
}

void CImageHandle::UploadPixelCopy()
{
    if (m_Texture)
        m_Texture->UploadPixelCopy();
}

void CImageHandle::FreePixelCopy()
{
    if (m_Texture)
        m_Texture->FreePixelCopy();
}

void CImageHandle::EvictTexture()
{
    if (m_Texture)
        m_Texture->Evict();
}

} // namespace lv::graphics
