#pragma once
// A joinable thread started on a plain routine with one user-data pointer.
#include "core/Types.h"

#include <thread>

namespace lv::mt {

class CThread
{
public:
    using Routine = u32 (*)(void* userData);

    CThread() = default;
    ~CThread();
    CThread(const CThread&) = delete;
    CThread& operator=(const CThread&) = delete;

    // False when this object already holds a thread or the system cannot start one.
    bool Start(Routine routine, void* userData);
    // Waits until the thread has ended. False without a thread or when called from the thread
    // itself. Joining an ended thread again succeeds at once.
    bool Join();
    bool IsValid() const { return m_Held; }
    // Lets go of the thread without waiting for it; a running thread goes on by itself. Nothing
    // ever ends a thread forcibly.
    void Close();

private:
    std::thread m_Thread;
    bool m_Held = false;
};

} // namespace lv::mt
