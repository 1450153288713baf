#include "graphics/DecodeTask.h"

#include "graphics/WebMOpaqueVideo.h"

namespace lv::graphics {

bool CDecodeTask::Run(lv::mt::CWorkerState& state)
{
    m_Count = m_Player->m_Stream.DecodeAhead();
    if (!lv::mt::CThreadPool::IsStopRequested(state))
        m_Player->ConvertCurrent();
    return false;
}

} // namespace lv::graphics
