#pragma once
// An auto-reset event: Set stores one signal (further Sets before a wait add nothing) and the
// first wait that sees it takes it, waking one waiter.
#include "core/Types.h"

#include <condition_variable>
#include <mutex>

namespace lv::mt {

class CEvent
{
public:
    CEvent() = default;
    ~CEvent() { m_Valid = false; }
    CEvent(const CEvent&) = delete;
    CEvent& operator=(const CEvent&) = delete;

    bool Set();
    // Waits without limit; true when the signal was taken.
    bool Wait();
    // 1 signalled, -1 timed out, 0 failed (not valid).
    s32 WaitTimeout(u32 ms);
    bool IsValid() const { return m_Valid; }

private:
    std::mutex m_Mutex;
    std::condition_variable m_Signal;
    bool m_Signalled = false;
    bool m_Valid = true;
};

} // namespace lv::mt
