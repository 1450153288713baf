#include "core/Event.h"

#include <chrono>

namespace lv::mt {

bool CEvent::Set()
{
    if (!m_Valid)
        return false;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Signalled = true;
    }
    m_Signal.notify_one();
    return true;
}

bool CEvent::Wait()
{
    if (!m_Valid)
        return false;
    std::unique_lock<std::mutex> lock(m_Mutex);
    m_Signal.wait(lock, [this] { return m_Signalled; });
    m_Signalled = false;
    return true;
}

s32 CEvent::WaitTimeout(u32 ms)
{
    if (!m_Valid)
        return 0;
    std::unique_lock<std::mutex> lock(m_Mutex);
    if (!m_Signal.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_Signalled; }))
        return -1;
    m_Signalled = false;
    return 1;
}

} // namespace lv::mt
