#include "graphics/ImageHandle.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "graphics/ImageInfo.h"
#include "graphics/Texture.h"

namespace lv::graphics {

namespace {
const CFloatRect kNoFrame;
}

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

} // namespace lv::graphics
