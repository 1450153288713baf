#pragma once
// Plays one Ogg Theora file. The file is held whole in memory and decoded on the main thread,
// lazily: Update only moves the position, Draw brings the frame up to date.
#include "core/Types.h"
#include "graphics/TheoraStream.h"
#include "graphics/Video.h"

namespace lv::graphics {

class CTheoraOpaqueVideo : public CVideo
{
public:
    CTheoraOpaqueVideo() = default;
    ~CTheoraOpaqueVideo() override;

    // Closes any open video first; false leaves the player closed.
    bool Open(const char* path);

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
    const CTheoraStream& GetStream() const { return m_Stream; }
    // The converted frame (B, G, R, A), or null before the first one.
    const u8* GetFrame() const { return m_Rgba; }

private:
    void ConvertFrame();
    bool EnsureFrameTexture();

    CTheoraStream m_Stream;
    u8* m_Rgba = nullptr;
    u32 m_Position = 0;
    u32 m_Duration = 0;
    s32 m_PauseCount = 0;
    bool m_Open = false;
    bool m_Loop = false;
};

} // namespace lv::graphics
