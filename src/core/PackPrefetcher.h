#pragma once
// The one background reader that pages a mounted pack into memory ahead of use: it touches one
// byte of every 4 KiB page, then ends. At most one such thread is ever started in the life of
// the process; later requests start nothing.
#include "core/Thread.h"
#include "core/Types.h"

#include <mutex>

namespace lv::core {

class CPackPrefetcher
{
public:
    static CPackPrefetcher& Instance();

    CPackPrefetcher() = default;
    ~CPackPrefetcher();
    CPackPrefetcher(const CPackPrefetcher&) = delete;
    CPackPrefetcher& operator=(const CPackPrefetcher&) = delete;

    // Starts the thread over [base, base + size) unless one was started before. True when this
    // call started it.
    bool Start(const u8* base, u32 size);
    // Returns once the thread no longer reads [base, ...): a pack calls this before it unmaps.
    void WaitFor(const u8* base);
    bool WasStarted() const;

private:
    static u32 Run(void* self);

    mutable std::mutex m_Lock;
    mt::CThread m_Thread;
    const u8* m_Base = nullptr;
    u32 m_Size = 0;
    bool m_Started = false;
};

} // namespace lv::core
