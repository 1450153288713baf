#include "graphics/WebMOpaqueVideo.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/ThreadPool.h"
#include "graphics/DecodeTask.h"
#include "graphics/Texture.h"
#include "graphics/YuvConvert.h"

namespace lv::graphics {

CWebMOpaqueVideo::CWebMOpaqueVideo() : CWebMOpaqueVideo(lv::mt::CThreadPool::Instance()) {}

CWebMOpaqueVideo::CWebMOpaqueVideo(lv::mt::CThreadPool* pool)
{
    if (pool && pool->IsRunning()) {
        m_Pool = pool;
        m_Task = new CDecodeTask(this);
    }
}

CWebMOpaqueVideo::~CWebMOpaqueVideo()
{
    Close();
    delete m_Task;
}

bool CWebMOpaqueVideo::Open(const char* path)
{
    if (m_Open)
        Close();
    if (!m_Stream.Open(path))
        return false;
    const size_t bytes = static_cast<size_t>(m_Stream.GetWidth()) * static_cast<size_t>(m_Stream.GetHeight()) * 4;
    m_Rgba = static_cast<u8*>(std::malloc(bytes));
    if (!m_Rgba) {
        std::printf("can't allocate buffer\n");
        m_Stream.Close();
        return false;
    }
    // Alpha is never written: opaque video keeps 255.
    std::memset(m_Rgba, 0xFF, bytes);
    m_Open = true;
    m_Position = 0;
    m_Ended = false;
    if (!m_Texture)
        CreateFrameTexture(static_cast<u32>(m_Stream.GetWidth()), static_cast<u32>(m_Stream.GetHeight()));
    m_Stream.DecodeNext();
    ConvertCurrent();
    UploadFrame(m_Rgba);
    m_Stream.GetCurrentTimes(&m_ShownTime, &m_ShownDuration);
    QueueNext();
    return true;
}

void CWebMOpaqueVideo::Close()
{
    if (m_Open) {
        if (m_TaskId != -1) {
            m_Pool->Cancel(m_TaskId);
            m_Pool->Wait(m_TaskId);
            m_TaskId = -1;
        }
        m_Stream.Close();
        std::free(m_Rgba);
        m_Rgba = nullptr;
        m_Open = false;
        m_NextTime = m_NextDuration = m_ShownTime = m_ShownDuration = 0;
    }
    ReleaseFrameTexture();
}

void CWebMOpaqueVideo::WaitForTask()
{
    if (m_TaskId != -1)
        m_Pool->Wait(m_TaskId);
}

void CWebMOpaqueVideo::ConvertCurrent()
{
    const vpx_image_t* picture = m_Stream.GetFrame();
    // The buffer has the track's size: a picture of another size (or none) keeps the last frame.
    if (!m_Rgba || !picture || static_cast<s64>(picture->d_w) != m_Stream.GetWidth() ||
        static_cast<s64>(picture->d_h) != m_Stream.GetHeight())
        return;
    YuvToRgbaOpaque(m_Rgba, *picture);
}

void CWebMOpaqueVideo::CancelTask()
{
    if (m_TaskId == -1)
        return;
    m_Pool->Cancel(m_TaskId);
    m_Pool->Wait(m_TaskId);
    m_TaskId = -1;
    m_Stream.SkipBlocks(m_Task->m_Count);
    m_Task->m_Count = 0;
}

void CWebMOpaqueVideo::QueueNext()
{
    if (!m_Task) {
        m_Stream.PeekNextTimes(&m_NextTime, &m_NextDuration);
        return;
    }
    m_Stream.PeekNextTimesPrefetch(&m_NextTime, &m_NextDuration);
    CancelTask();
    m_Task->m_Count = 0;
    // A refused task (full queue) leaves the id at -1: the next frame is then decoded here.
    m_TaskId = m_Pool->Enqueue(m_Task);
}

void CWebMOpaqueVideo::Update()
{
    if (m_PauseCount != 0 || !m_Open)
        return;
    m_Position += GetFrameDelta();
    Advance();
}

void CWebMOpaqueVideo::Seek(u32 ms)
{
    if (!m_Open || static_cast<s64>(ms) >= m_Stream.GetDuration())
        return;
    m_Position = ms;
    m_ShownTime = -1;
    m_ShownDuration = 0;
    m_NextTime = -1;
    m_NextDuration = 0;
    m_Ended = false;
    Advance();
}

void CWebMOpaqueVideo::Advance()
{
    if (!m_Open || m_Ended)
        return;
    s64 t = m_Position;
    if (m_ShownTime <= t && t < m_ShownTime + m_ShownDuration)
        return;
    const s64 duration = m_Stream.GetDuration();
    bool taskFilled = false;
    if (t >= duration) {
        if (!m_Loop || duration <= 0) {
            m_Ended = true;
            return;
        }
        t = t % duration;
        m_Position = static_cast<u32>(t);
        CancelTask();
        m_Stream.Seek(t);
    } else if (m_NextTime <= t && t < m_NextTime + m_NextDuration) {
        if (m_TaskId != -1) {
            m_Pool->Wait(m_TaskId);
            m_TaskId = -1;
            m_Stream.SkipBlocks(m_Task->m_Count);
            taskFilled = true;
        } else if (m_Task) {
            // The pool refused the task: its work, here.
            m_Stream.SkipBlocks(m_Stream.DecodeAhead());
        } else {
            m_Stream.DecodeNext();
        }
    } else {
        // A jump: the prepared frame is of no use.
        CancelTask();
        m_Stream.Seek(t);
    }
    if (!taskFilled)
        ConvertCurrent();
    UploadFrame(m_Rgba);
    m_Stream.GetCurrentTimes(&m_ShownTime, &m_ShownDuration);
    QueueNext();
}

void CWebMOpaqueVideo::Draw(CRenderer& renderer, float x, float y, float w, float h, const CColor& color)
{
    if (m_Open)
        DrawFrame(renderer, x, y, w, h, color);
}

u32 CWebMOpaqueVideo::GetWidth()
{
    return m_Texture ? m_Texture->GetWidth() : 0;
}

u32 CWebMOpaqueVideo::GetHeight()
{
    return m_Texture ? m_Texture->GetHeight() : 0;
}

} // namespace lv::graphics
