#include "graphics/WebMTranslucentVideo.h"

#include <cstdio>
#include <cstdlib>

#include "core/ThreadPool.h"
#include "graphics/DecodeTaskTranslucent.h"
#include "graphics/Texture.h"
#include "graphics/YuvConvert.h"

namespace lv::graphics {

CWebMTranslucentVideo::CWebMTranslucentVideo() : CWebMTranslucentVideo(lv::mt::CThreadPool::Instance()) {}

CWebMTranslucentVideo::CWebMTranslucentVideo(lv::mt::CThreadPool* pool)
{
    if (pool && pool->IsRunning()) {
        m_Pool = pool;
        m_Task = new CDecodeTaskTranslucent(this);
    }
}

CWebMTranslucentVideo::~CWebMTranslucentVideo()
{
    Close();
    delete m_Task;
}

bool CWebMTranslucentVideo::Open(const char* colourPath, const char* alphaPath)
{
    if (m_Open)
        Close();
    if (!m_Colour.Open(colourPath) || !m_Alpha.Open(alphaPath)) {
        m_Colour.Close();
        m_Alpha.Close();
        return false;
    }
    if (m_Colour.GetWidth() != m_Alpha.GetWidth() || m_Colour.GetHeight() != m_Alpha.GetHeight()) {
        std::printf("Video \"%s\" and alpha video \"%s\" has diffrent width or height\n", colourPath, alphaPath);
        std::fflush(stdout);
        m_Colour.Close();
        m_Alpha.Close();
        return false;
    }
    // Every byte is written by the merge.
    m_Rgba = static_cast<u8*>(
        std::malloc(static_cast<size_t>(m_Colour.GetWidth()) * static_cast<size_t>(m_Colour.GetHeight()) * 4));
    if (!m_Rgba) {
        std::printf("can't allocate buffer\n");
        m_Colour.Close();
        m_Alpha.Close();
        return false;
    }
    m_Open = true;
    m_Position = 0;
    m_Ended = false;
    for (CTimes* times : {&m_ColourTimes, &m_AlphaTimes}) {
        times->shownTime = times->nextTime = -1;
        times->shownDuration = times->nextDuration = 0;
    }
    if (!m_Texture)
        CreateFrameTexture(static_cast<u32>(m_Colour.GetWidth()), static_cast<u32>(m_Colour.GetHeight()));
    m_Colour.DecodeNext();
    m_Alpha.DecodeNext();
    Merge();
    UploadFrame(m_Rgba);
    m_Colour.GetCurrentTimes(&m_ColourTimes.shownTime, &m_ColourTimes.shownDuration);
    m_Alpha.GetCurrentTimes(&m_AlphaTimes.shownTime, &m_AlphaTimes.shownDuration);
    QueueNext();
    return true;
}

void CWebMTranslucentVideo::Close()
{
    if (m_Open) {
        if (m_TaskId != -1) {
            m_Pool->Cancel(m_TaskId);
            m_Pool->Wait(m_TaskId);
            m_TaskId = -1;
        }
        m_Colour.Close();
        m_Alpha.Close();
        std::free(m_Rgba);
        m_Rgba = nullptr;
        m_Open = false;
        m_ColourTimes = m_AlphaTimes = CTimes();
    }
    ReleaseFrameTexture();
}

void CWebMTranslucentVideo::WaitForTask()
{
    if (m_TaskId != -1)
        m_Pool->Wait(m_TaskId);
}

void CWebMTranslucentVideo::Merge()
{
    const vpx_image_t* colour = m_Colour.GetFrame();
    const vpx_image_t* alpha = m_Alpha.GetFrame();
    const auto fits = [this](const vpx_image_t* p) {
        return p && static_cast<s64>(p->d_w) == m_Colour.GetWidth() && static_cast<s64>(p->d_h) == m_Colour.GetHeight();
    };
    // The buffer has the tracks' size: pictures of another size (or none) keep the last frame.
    if (m_Rgba && fits(colour) && fits(alpha))
        YuvToRgbaWithAlpha(m_Rgba, *colour, *alpha);
}

void CWebMTranslucentVideo::FinishTask(bool cancel)
{
    if (m_TaskId == -1)
        return;
    if (cancel)
        m_Pool->Cancel(m_TaskId);
    m_Pool->Wait(m_TaskId);
    m_TaskId = -1;
    m_Colour.SkipBlocks(m_Task->m_ColourCount);
    m_Alpha.SkipBlocks(m_Task->m_AlphaCount);
    m_Task->m_ColourCount = m_Task->m_AlphaCount = 0;
}

void CWebMTranslucentVideo::QueueNext()
{
    if (!m_Task) {
        m_Colour.PeekNextTimes(&m_ColourTimes.nextTime, &m_ColourTimes.nextDuration);
        m_Alpha.PeekNextTimes(&m_AlphaTimes.nextTime, &m_AlphaTimes.nextDuration);
        return;
    }
    m_Colour.PeekNextTimesPrefetch(&m_ColourTimes.nextTime, &m_ColourTimes.nextDuration);
    m_Alpha.PeekNextTimesPrefetch(&m_AlphaTimes.nextTime, &m_AlphaTimes.nextDuration);
    FinishTask(true);
    m_Task->m_Mode = m_ColourTimes.nextTime == m_AlphaTimes.nextTime ? 0
                     : m_ColourTimes.nextTime > m_AlphaTimes.nextTime ? 2
                                                                       : 1;
    // A refused task (full queue) leaves the id at -1: the next frames are then decoded here.
    m_TaskId = m_Pool->Enqueue(m_Task);
}

void CWebMTranslucentVideo::Update()
{
    if (m_PauseCount != 0 || !m_Open)
        return;
    m_Position += GetFrameDelta();
    Advance();
}

void CWebMTranslucentVideo::Seek(u32 ms)
{
    if (!m_Open || static_cast<s64>(ms) >= m_Colour.GetDuration())
        return;
    m_Position = ms;
    for (CTimes* times : {&m_ColourTimes, &m_AlphaTimes}) {
        times->shownTime = times->nextTime = -1;
        times->shownDuration = times->nextDuration = 0;
    }
    m_Ended = false;
    Advance();
}

void CWebMTranslucentVideo::Advance()
{
    if (!m_Open || m_Ended)
        return;
    s64 t = m_Position;
    bool colourStale = !m_ColourTimes.ShownCovers(t);
    bool alphaStale = !m_AlphaTimes.ShownCovers(t);
    if (!colourStale && !alphaStale)
        return;
    const s64 duration = m_Colour.GetDuration();
    if (t >= duration) {
        if (!m_Loop || duration <= 0) {
            m_Ended = true;
            return;
        }
        t = t % duration;
        m_Position = static_cast<u32>(t);
        // Whatever was prepared belongs to the end of the video.
        for (CTimes* times : {&m_ColourTimes, &m_AlphaTimes})
            times->nextTime = -1, times->nextDuration = 0;
        colourStale = alphaStale = true;
    }
    bool used = false;
    const bool queued = m_TaskId != -1;
    if (m_ColourTimes.NextCovers(t)) {
        if (queued) {
            FinishTask(false);
            used = true;
        } else if (m_Task) {
            // The pool refused the task: its work, here.
            m_Colour.SkipBlocks(m_Colour.DecodeAhead());
        } else {
            m_Colour.DecodeNext();
        }
    } else if (colourStale) {
        FinishTask(true);
        m_Colour.Seek(t);
    }
    if (m_AlphaTimes.NextCovers(t)) {
        if (!m_Task) {
            m_Alpha.DecodeNext();
        } else if (!used && m_TaskId != -1) {
            FinishTask(false);
            used = true;
        } else if (!queued) {
            m_Alpha.SkipBlocks(m_Alpha.DecodeAhead());
        }
    } else if (alphaStale) {
        FinishTask(true);
        m_Alpha.Seek(t);
    }
    if (!used)
        Merge();
    UploadFrame(m_Rgba);
    m_Colour.GetCurrentTimes(&m_ColourTimes.shownTime, &m_ColourTimes.shownDuration);
    m_Alpha.GetCurrentTimes(&m_AlphaTimes.shownTime, &m_AlphaTimes.shownDuration);
    QueueNext();
}

void CWebMTranslucentVideo::Draw(CRenderer& renderer, float x, float y, float w, float h, const CColor& color)
{
    if (m_Open)
        DrawFrame(renderer, x, y, w, h, color);
}

u32 CWebMTranslucentVideo::GetWidth()
{
    return m_Texture ? m_Texture->GetWidth() : 0;
}

u32 CWebMTranslucentVideo::GetHeight()
{
    return m_Texture ? m_Texture->GetHeight() : 0;
}

} // namespace lv::graphics
