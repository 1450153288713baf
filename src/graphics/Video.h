#pragma once
// The one player interface behind every video the game shows. A player decodes into one frame
// buffer of the video's size, uploads it to one run-time texture and draws that texture through an
// image handle. Its clock is the game's frame time, so pausing the game or the player stops it.
#include "core/Color.h"
#include "core/Types.h"
#include "graphics/ImageHandle.h"

namespace lv::core {
class CTimeSystem;
}

namespace lv::graphics {

class CRenderer;
class CTexture;

class CVideo
{
public:
    CVideo() = default;
    // Derived players close in their own destructor; this one releases the image handle.
    virtual ~CVideo();
    CVideo(const CVideo&) = delete;
    CVideo& operator=(const CVideo&) = delete;

    // Stops decoding, releases the streams, the frame buffer and the frame texture.
    virtual void Close() = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    // Moves the position (ms) and shows the frame for it.
    virtual void Seek(u32 ms) = 0;
    // Draws the current frame stretched to (x, y, w, h), tinted by the colour; a width or height
    // below 0 takes the frame texture's.
    virtual void Draw(CRenderer& renderer, float x, float y, float w, float h, const CColor& color) = 0;
    void Draw(CRenderer& renderer, float x, float y, float w, float h);
    void Draw(CRenderer& renderer, float x, float y);
    // Unless paused: the position moves by the last frame's time.
    virtual void Update() = 0;
    virtual u32 GetPosition() = 0;
    virtual s64 GetDuration() = 0;
    virtual u32 GetWidth() = 0;
    virtual u32 GetHeight() = 0;
    virtual void SetLooping(bool loop) = 0;

    // The clock Update reads (the process-wide time system when null).
    void SetTimeSystem(lv::core::CTimeSystem* timeSystem) { m_TimeSystem = timeSystem; }
    CTexture* GetFrameTexture() const { return m_Texture; }

protected:
    // The last frame's time in ms, never negative.
    u32 GetFrameDelta() const;
    // A run-time texture of the size, bound to the image handle; on failure the handle is empty.
    bool CreateFrameTexture(u32 width, u32 height);
    void UploadFrame(const u8* rgba);
    // Empties the image handle and forgets the texture.
    void ReleaseFrameTexture();
    // The drawing common to all players; nothing without a texture.
    void DrawFrame(CRenderer& renderer, float x, float y, float w, float h, const CColor& color);

    CTexture* m_Texture = nullptr;
    CImageHandle m_Image;

private:
    lv::core::CTimeSystem* m_TimeSystem = nullptr;
};

} // namespace lv::graphics
