#include "core/Thread.h"

#include <system_error>

namespace lv::mt {

CThread::~CThread()
{
    Close();
}

bool CThread::Start(Routine routine, void* userData)
{
    if (m_Held || routine == nullptr)
        return false;
    try {
        m_Thread = std::thread([routine, userData] { routine(userData); });
    } catch (const std::system_error&) {
        return false;
    }
    m_Held = true;
    return true;
}

bool CThread::Join()
{
    if (!m_Held)
        return false;
    if (!m_Thread.joinable())
        return true;
    if (m_Thread.get_id() == std::this_thread::get_id())
        return false;
    try {
        m_Thread.join();
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void CThread::Close()
{
    if (m_Thread.joinable())
        m_Thread.detach();
    m_Held = false;
}

} // namespace lv::mt
