#pragma once
// What a thread-pool worker and the task it runs share: the stop and cancel requests and the id
// of the task being run. Other threads write the flags and read the id while the worker runs.
#include "core/Types.h"

#include <atomic>

namespace lv::mt {

class CThreadPool;

class CWorkerState
{
public:
    std::atomic<bool> m_Stop{false};
    std::atomic<bool> m_Cancel{false};
    std::atomic<s32> m_TaskId{-1}; // -1 while idle
    s32 m_Index = 0;
    CThreadPool* m_Pool = nullptr;
};

} // namespace lv::mt
