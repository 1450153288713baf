#pragma once
// Plays one WebM (VP8) file. After showing a frame it queues a task on the thread pool that
// decodes and converts the next one while the game runs; when the clock reaches that frame the
// main thread waits for the task (usually long finished), uploads and queues the next. Without a
// running pool, or when the pool refuses a task, the main thread decodes itself.
#include "core/Types.h"
#include "graphics/Video.h"
#include "graphics/WebMStream.h"

namespace lv::mt {
class CThreadPool;
}

namespace lv::graphics {

class CDecodeTask;

class CWebMOpaqueVideo : public CVideo
{
public:
    // Decodes ahead on the process-wide pool when it runs.
    CWebMOpaqueVideo();
    // Decodes ahead on the given pool when it runs; null decodes on the calling thread.
    explicit CWebMOpaqueVideo(lv::mt::CThreadPool* pool);
    ~CWebMOpaqueVideo() override;

    // Closes any open video first.
    bool Open(const char* path);

    using CVideo::Draw;
    void Close() override;
    void Pause() override { ++m_PauseCount; }
    void Resume() override { --m_PauseCount; }
    void Seek(u32 ms) override;
    void Draw(CRenderer& renderer, float x, float y, float w, float h, const CColor& color) override;
    void Update() override;
    u32 GetPosition() override { return m_Position; }
    s64 GetDuration() override { return m_Stream.GetDuration(); }
    u32 GetWidth() override;
    u32 GetHeight() override;
    void SetLooping(bool loop) override { m_Loop = loop; }

    bool IsOpen() const { return m_Open; }
    bool IsEnded() const { return m_Ended; }
    bool HasTask() const { return m_Task != nullptr; }
    // Blocks decoded so far; read only while no task is queued.
    u32 GetDecodeCount() const { return m_Stream.GetDecodeCount(); }
    // The converted frame (B, G, R, A) last uploaded; read only while no task is queued.
    const u8* GetFrame() const { return m_Rgba; }
    // Finishes any queued decode task (tests and callers that read the frame).
    void WaitForTask();

private:
    friend class CDecodeTask;

    void Advance();
    void ConvertCurrent();
    // Cancels and waits for a queued task; the blocks it decoded are skipped.
    void CancelTask();
    void QueueNext();

    lv::mt::CThreadPool* m_Pool = nullptr;
    CDecodeTask* m_Task = nullptr;
    s32 m_TaskId = -1;
    CWebMStream m_Stream;
    u8* m_Rgba = nullptr;
    s64 m_NextTime = 0;
    s64 m_NextDuration = 0;
    s64 m_ShownTime = 0;
    s64 m_ShownDuration = 0;
    u32 m_Position = 0;
    s32 m_PauseCount = 0;
    bool m_Loop = false;
    bool m_Ended = false;
    bool m_Open = false;
};

} // namespace lv::graphics
