#include "graphics/TheoraTranslucentVideo.h"

#include <cstdlib>

#include "graphics/Texture.h"
#include "graphics/YuvConvert.h"

namespace lv::graphics {

CTheoraTranslucentVideo::~CTheoraTranslucentVideo()
{
    Close();
}

bool CTheoraTranslucentVideo::Open(const char* colourPath, const char* alphaPath)
{
    if (m_Open)
        Close();
    if (!m_Colour.Open(colourPath) || !m_Alpha.Open(alphaPath) || !m_Colour.StartDecoder() ||
        !m_Alpha.StartDecoder()) {
        m_Colour.Close();
        m_Alpha.Close();
        return false;
    }
    m_Open = true;
    m_Position = 0;
    m_PauseCount = 0;
    m_Loop = false;
    m_Duration = m_Colour.ComputeDuration();
    // The colour stream starts three frames ahead of the alpha stream.
    for (int i = 0; i < 3; ++i)
        m_Colour.DecodeFrame();
    m_Colour.DecodeFrame();
    m_Alpha.DecodeFrame();
    ConvertFrame();
    if (EnsureFrameTexture())
        UploadFrame(m_Rgba);
    return true;
}

void CTheoraTranslucentVideo::Close()
{
    if (m_Open) {
        m_Colour.Close();
        m_Alpha.Close();
        std::free(m_Rgba);
        m_Rgba = nullptr;
        m_Position = m_Duration = 0;
        m_PauseCount = 0;
        m_Open = m_Loop = false;
    }
    ReleaseFrameTexture();
}

bool CTheoraTranslucentVideo::EnsureFrameTexture()
{
    return m_Texture || (m_Open && CreateFrameTexture(m_Colour.GetPictureWidth(), m_Colour.GetPictureHeight()));
}

void CTheoraTranslucentVideo::ConvertFrame()
{
    yuv_buffer colour, alpha;
    if (!m_Colour.GetPicture(colour) || !m_Alpha.GetPicture(alpha) || colour.y_width != alpha.y_width ||
        colour.y_height != alpha.y_height)
        return;
    if (!m_Rgba) {
        // Every byte is written by the conversion.
        m_Rgba = static_cast<u8*>(std::calloc(static_cast<size_t>(colour.y_width) * colour.y_height, 4));
        if (!m_Rgba)
            return;
    }
    YuvToRgbaWithAlpha(m_Rgba, colour, alpha);
}

void CTheoraTranslucentVideo::Update()
{
    if (m_PauseCount == 0)
        m_Position += GetFrameDelta();
}

bool CTheoraTranslucentVideo::CatchUp(CTheoraStream& stream)
{
    bool decoded = false;
    while (stream.GetFrameTime() < m_Position && !stream.IsEndOfStream()) {
        stream.DecodeFrame();
        decoded = true;
    }
    return decoded;
}

void CTheoraTranslucentVideo::Seek(u32 ms)
{
    if (!m_Open || ms >= m_Duration || ms == m_Position)
        return;
    if (ms < m_Position) {
        for (CTheoraStream* stream : {&m_Colour, &m_Alpha}) {
            stream->Restart();
            for (int i = 0; i < 4; ++i)
                stream->DecodeFrame();
        }
    }
    m_Position = ms;
    for (CTheoraStream* stream : {&m_Colour, &m_Alpha}) {
        stream->ClearEndOfStream();
        CatchUp(*stream);
    }
    ConvertFrame();
    if (EnsureFrameTexture())
        UploadFrame(m_Rgba);
}

void CTheoraTranslucentVideo::Draw(CRenderer& renderer, float x, float y, float w, float h,
                                   const CColor& color)
{
    if (!EnsureFrameTexture())
        return;
    if (m_Open) {
        if (m_Loop && m_Duration > 0 && m_Duration < m_Position)
            Seek(m_Position % m_Duration);
        if (!m_Colour.IsEndOfStream() || !m_Alpha.IsEndOfStream()) {
            const bool colourDecoded = CatchUp(m_Colour);
            const bool alphaDecoded = CatchUp(m_Alpha);
            if (colourDecoded || alphaDecoded) {
                ConvertFrame();
                UploadFrame(m_Rgba);
            }
        }
    }
    DrawFrame(renderer, x, y, w, h, color);
}

u32 CTheoraTranslucentVideo::GetWidth()
{
    return EnsureFrameTexture() ? m_Texture->GetWidth() : m_Colour.GetPictureWidth();
}

u32 CTheoraTranslucentVideo::GetHeight()
{
    return EnsureFrameTexture() ? m_Texture->GetHeight() : m_Colour.GetPictureHeight();
}

} // namespace lv::graphics
