#include "core/CriticalSection.h"

#include <system_error>

namespace lv::mt {

bool CCriticalSection::Enter()
{
    if (!m_Valid)
        return false;
    try {
        m_Mutex.lock();
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

bool CCriticalSection::TryEnter()
{
    return m_Valid && m_Mutex.try_lock();
}

bool CCriticalSection::Leave()
{
    if (!m_Valid)
        return false;
    m_Mutex.unlock();
    return true;
}

} // namespace lv::mt
