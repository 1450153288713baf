#include "graphics/TheoraOpaqueVideo.h"

#include <cstdlib>
#include <cstring>

#include "graphics/Texture.h"
#include "graphics/YuvConvert.h"

namespace lv::graphics {

CTheoraOpaqueVideo::~CTheoraOpaqueVideo()
{
    Close();
}

bool CTheoraOpaqueVideo::Open(const char* path)
{
    if (m_Open)
        Close();
    if (!m_Stream.Open(path) || !m_Stream.StartDecoder()) {
        m_Stream.Close();
        return false;
    }
    m_Open = true;
    m_Position = 0;
    m_PauseCount = 0;
    m_Loop = false;
    m_Duration = m_Stream.ComputeDuration();
    for (int i = 0; i < 4; ++i)
        m_Stream.DecodeFrame();
    ConvertFrame();
    if (EnsureFrameTexture())
        UploadFrame(m_Rgba);
    return true;
}

void CTheoraOpaqueVideo::Close()
{
    if (m_Open) {
        m_Stream.Close();
        std::free(m_Rgba);
        m_Rgba = nullptr;
        m_Position = m_Duration = 0;
        m_PauseCount = 0;
        m_Open = m_Loop = false;
    }
    ReleaseFrameTexture();
}

bool CTheoraOpaqueVideo::EnsureFrameTexture()
{
    return m_Texture || (m_Open && CreateFrameTexture(m_Stream.GetPictureWidth(), m_Stream.GetPictureHeight()));
}

void CTheoraOpaqueVideo::ConvertFrame()
{
    yuv_buffer picture;
    if (!m_Stream.GetPicture(picture))
        return;
    if (!m_Rgba) {
        const size_t bytes = static_cast<size_t>(picture.y_width) * picture.y_height * 4;
        m_Rgba = static_cast<u8*>(std::malloc(bytes));
        if (!m_Rgba)
            return;
        // Alpha is never written: opaque video keeps 255.
        std::memset(m_Rgba, 0xFF, bytes);
    }
    YuvToRgbaOpaque(m_Rgba, picture);
}

void CTheoraOpaqueVideo::Update()
{
    if (m_PauseCount == 0)
        m_Position += GetFrameDelta();
}

void CTheoraOpaqueVideo::Seek(u32 ms)
{
    if (!m_Open || ms > m_Duration || ms == m_Position)
        return;
    if (ms < m_Position) {
        m_Stream.Restart();
        for (int i = 0; i < 4; ++i)
            m_Stream.DecodeFrame();
    }
    m_Position = ms;
    while (m_Stream.GetFrameTime() < ms && !m_Stream.IsEndOfStream())
        m_Stream.DecodeFrame();
    ConvertFrame();
    m_Stream.ClearEndOfStream();
    if (EnsureFrameTexture())
        UploadFrame(m_Rgba);
}

void CTheoraOpaqueVideo::Draw(CRenderer& renderer, float x, float y, float w, float h, const CColor& color)
{
    if (!EnsureFrameTexture())
        return;
    if (m_Open) {
        if (m_Loop && m_Duration > 0 && m_Duration < m_Position)
            Seek(m_Position % m_Duration);
        if (!m_Stream.IsEndOfStream() && m_Stream.GetFrameTime() < m_Position) {
            while (m_Stream.GetFrameTime() < m_Position && !m_Stream.IsEndOfStream())
                m_Stream.DecodeFrame();
            ConvertFrame();
            UploadFrame(m_Rgba);
        }
    }
    DrawFrame(renderer, x, y, w, h, color);
}

u32 CTheoraOpaqueVideo::GetWidth()
{
    return EnsureFrameTexture() ? m_Texture->GetWidth() : m_Stream.GetPictureWidth();
}

u32 CTheoraOpaqueVideo::GetHeight()
{
    return EnsureFrameTexture() ? m_Texture->GetHeight() : m_Stream.GetPictureHeight();
}

} // namespace lv::graphics
