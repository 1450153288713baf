#pragma once
// Plays an Ogg Theora colour file whose transparency comes from the luma of a second, greyscale
// Theora file of the same size. Decoded lazily on the main thread like the opaque player.
#include "core/Types.h"
#include "graphics/TheoraStream.h"
#include "graphics/Video.h"

namespace lv::graphics {

class CTheoraTranslucentVideo : public CVideo
{
public:
    CTheoraTranslucentVideo() = default;
    ~CTheoraTranslucentVideo() override;

    // Closes any open video first; false (either file failing) leaves the player closed.
    bool Open(const char* colourPath, const char* alphaPath);

    using CVideo::Draw;
    void Close() override;
    void Pause() override { ++m_PauseCount; }
    void Resume() override { --m_PauseCount; }
    void Seek(u32 ms) override;
    void Draw(CRenderer& renderer, float x, float y, float w, float h, const CColor& color) override;
    void Update() override;
    u32 GetPosition() override { return m_Position; }
    s64 GetDuration() override { return m_Duration; }
    u32 GetWidth() override;
    u32 GetHeight() override;
    void SetLooping(bool loop) override { m_Loop = loop; }

    bool IsOpen() const { return m_Open; }
    const CTheoraStream& GetColourStream() const { return m_Colour; }
    const CTheoraStream& GetAlphaStream() const { return m_Alpha; }
    const u8* GetFrame() const { return m_Rgba; }

private:
    void ConvertFrame();
    bool EnsureFrameTexture();
    // Decodes the stream up to the position; true when it decoded anything.
    bool CatchUp(CTheoraStream& stream);

    CTheoraStream m_Colour;
    CTheoraStream m_Alpha;
    u8* m_Rgba = nullptr;
    u32 m_Position = 0;
    u32 m_Duration = 0;
    s32 m_PauseCount = 0;
    bool m_Open = false;
    bool m_Loop = false;
};

} // namespace lv::graphics
