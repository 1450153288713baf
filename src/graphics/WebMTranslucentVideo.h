#pragma once
// Plays a WebM colour file whose transparency comes from the luma of a second WebM file of the
// same size, decoding both ahead on the thread pool like the opaque player.
#include "core/Types.h"
#include "graphics/Video.h"
#include "graphics/WebMStream.h"

namespace lv::mt {
class CThreadPool;
}

namespace lv::graphics {

class CDecodeTaskTranslucent;

class CWebMTranslucentVideo : public CVideo
{
public:
    CWebMTranslucentVideo();
    explicit CWebMTranslucentVideo(lv::mt::CThreadPool* pool);
    ~CWebMTranslucentVideo() override;

    // Closes any open video first; both files must open and have the same size.
    bool Open(const char* colourPath, const char* alphaPath);

    using CVideo::Draw;
    void Close() override;
    void Pause() override { ++m_PauseCount; }
    void Resume() override { --m_PauseCount; }
    void Seek(u32 ms) override;
    void Draw(CRenderer& renderer, float x, float y, float w, float h, const CColor& color) override;
    void Update() override;
    u32 GetPosition() override { return m_Position; }
    s64 GetDuration() override { return m_Colour.GetDuration(); }
    u32 GetWidth() override;
    u32 GetHeight() override;
    void SetLooping(bool loop) override { m_Loop = loop; }

    bool IsOpen() const { return m_Open; }
    bool IsEnded() const { return m_Ended; }
    const u8* GetFrame() const { return m_Rgba; }
    void WaitForTask();

private:
    friend class CDecodeTaskTranslucent;

    struct CTimes
    {
        s64 nextTime = 0, nextDuration = 0, shownTime = 0, shownDuration = 0;
        bool ShownCovers(s64 t) const { return shownTime <= t && t < shownTime + shownDuration; }
        bool NextCovers(s64 t) const { return nextTime <= t && t < nextTime + nextDuration; }
    };

    void Advance();
    void Merge();
    // Waits for the queued task; both streams skip the blocks it decoded.
    void FinishTask(bool cancel);
    void QueueNext();

    lv::mt::CThreadPool* m_Pool = nullptr;
    CDecodeTaskTranslucent* m_Task = nullptr;
    s32 m_TaskId = -1;
    CWebMStream m_Colour;
    CWebMStream m_Alpha;
    CTimes m_ColourTimes;
    CTimes m_AlphaTimes;
    u8* m_Rgba = nullptr;
    u32 m_Position = 0;
    s32 m_PauseCount = 0;
    bool m_Loop = false;
    bool m_Ended = false;
    bool m_Open = false;
};

} // namespace lv::graphics
