#include "graphics/DecodeTaskTranslucent.h"

#include "graphics/WebMTranslucentVideo.h"

namespace lv::graphics {

bool CDecodeTaskTranslucent::Run(lv::mt::CWorkerState& state)
{
    m_ColourCount = m_AlphaCount = 0;
    if (m_Mode == 0 || m_Mode == 1) {
        m_ColourCount = m_Player->m_Colour.DecodeAhead();
        if (lv::mt::CThreadPool::IsStopRequested(state))
            return false;
    }
    if (m_Mode == 0 || m_Mode == 2) {
        m_AlphaCount = m_Player->m_Alpha.DecodeAhead();
        if (lv::mt::CThreadPool::IsStopRequested(state))
            return false;
    }
    m_Player->Merge();
    return false;
}

} // namespace lv::graphics
